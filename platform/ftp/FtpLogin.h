#pragma once
// The login test of an FTP server: connect, log in, disconnect; nothing is transferred. It runs
// on the GUI thread's events (libcurl's multi interface over socket watchers and a timer), so
// the program keeps answering the device while it waits. Both waits are bounded: the connect
// and each reply of the server.
#include <functional>
#include <memory>
#include <string>

namespace kv {

struct FtpLoginTarget {
    std::string Host; // IPv4 address
    int Port = 21;
    std::string User;
    std::string Password;
    int ConnectTimeoutMs = 10000;
    int ReplyTimeoutMs = 10000;
};

struct FtpLoginOutcome {
    bool LoggedIn = false;
    bool Refused = false; // the server answered the login with a refusal (530)
    std::string Reason;   // why not, in libcurl's words
};

class FtpLoginCheck {
public:
    FtpLoginCheck();
    // A check under way is abandoned: its handler is not called.
    ~FtpLoginCheck();
    FtpLoginCheck(const FtpLoginCheck &) = delete;
    FtpLoginCheck &operator=(const FtpLoginCheck &) = delete;

    // Starts a check; done runs from the event loop when it has ended (also when it could not
    // start). A check already under way is abandoned first.
    void Start(const FtpLoginTarget &target, std::function<void(const FtpLoginOutcome &)> done);
    bool Running() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace kv
