#pragma once
// pyftpdlib on 127.0.0.1 and a free port, run by Debian's python3, for the FTP login tests.
#include "Harness.h"

#include <string>

namespace kvtest {

class FtpServer {
public:
    FtpServer(const std::string &user, const std::string &password);
    ~FtpServer();
    bool ok() const { return m_port > 0; }
    int port() const { return m_port; }
    std::string why() const { return m_proc.output(); }

private:
    devsimtest::Process m_proc;
    std::string m_folder;
    int m_port = 0;
};

} // namespace kvtest
