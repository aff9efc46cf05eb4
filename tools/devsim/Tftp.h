#pragma once
// The device's TFTP client: runs atftp as a child process with an argument list.
#include "Device.h"

#include <string>

namespace devsim {

class AtftpRunner : public TransferRunner {
public:
    // port: the server's UDP port; timeoutMs: the longest a transfer may take; abortFd: a
    // descriptor that becomes readable when the program is asked to stop (or -1).
    AtftpRunner(std::string program, int port, int timeoutMs, int abortFd);
    std::string transfer(bool get, const std::string &server, const std::string &remoteName,
                         const std::string &localPath) override;

private:
    std::string program_;
    int port_;
    int timeoutMs_;
    int abortFd_;
};

// Finds an executable by name in PATH; empty when there is none.
std::string findProgram(const std::string &name);

} // namespace devsim
