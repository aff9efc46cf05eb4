#pragma once
// KvTFTPServer: serves one folder over TFTP (octet transfers, 512-byte blocks) for the
// access point, which is the TFTP client. Every accepted request gets its own _TFTPSession
// with its own UDP socket. Everything runs on the GUI thread: socket readiness and the
// time-out tick arrive as events.
#include "AnsiString.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct in_addr;
struct sockaddr_in;

namespace kv {
class PostGuard;
class SocketWatcher;
class Timer;
} // namespace kv

// Status codes reported to OnStatus.
enum KvTFTPCode : std::int32_t {
    TFTP_SUCCESS = 3,
    TFTP_TRANSFERRING = 2,
    TFTP_CONNECTED = 1,
    TFTP_DISCONNECTED = 0,
    TFTP_ERR_UNDEFINED = -1101,
    TFTP_ERR_NOT_FOUND = -1102,
    TFTP_ERR_ACCESS = -1103,
    TFTP_ERR_DISK_FULL = -1104,
    TFTP_ERR_BAD_OPERATION = -1105,
    TFTP_ERR_UNKNOWN_PORT = -1106,
    TFTP_ERR_FILE_EXISTS = -1107,
    TFTP_ERR_NO_SUCH_USER = -1108,
    TFTP_ERR_SOCKET_OPEN = -1109,
    TFTP_ERR_SOCKET_IO = -1110,
    TFTP_ERR_NOT_READY = -1111,
    TFTP_ERR_BAD_PACKET = -1112,
    TFTP_ERR_TIMEOUT = -1113,
    TFTP_ERR_CANCELED = -1114,
};

// The 18 texts: codes 3, 2, 1, 0, then -1101 to -1114.
extern const char *const gKvTFTPTexts[18];
// Text of a status code; empty for codes outside the table.
AnsiString KvTFTPStatusText(std::int32_t code);
// The same text without a copy; empty for other codes.
const char *KvTFTPStatusTextOf(std::int32_t code);

// Status record of one transfer.
struct KvTFTPMsg {
    std::int32_t Code = TFTP_ERR_NOT_READY;
    AnsiString Message;
    std::int32_t Kind = 1; // 1 the peer reads a file, 2 the peer writes one
    AnsiString Mode = "octet";
    AnsiString RemoteIP = "0.0.0.0";
    AnsiString LocalIP = "127.0.0.1";
    std::int32_t Port = 69;
    AnsiString FileName;
    std::int64_t Bytes = 0; // 64-bit: transfers are not limited in size
    std::int32_t LastBlockLength = -1;
    std::int32_t RemotePort = 0;
    std::int32_t SessionNo = -1;
    std::int32_t Timeout = 1000; // per-packet time-out, 10 ms units
    std::int32_t RetryCount = 0;
};

class KvTFTPServer;
class _TFTPSession;

// Status handler: the server, the record, and a flag the handler may set to cancel.
using KvTFTPStatusEvent = std::function<void(KvTFTPServer *server, const KvTFTPMsg *msg, bool *cancel)>;
// Decides whether a request (Kind, FileName, RemoteIP of the record) may start a transfer.
using KvTFTPAcceptFilter = std::function<bool(const KvTFTPMsg &request)>;

class KvTFTPServer {
public:
    KvTFTPServer();
    // The owner (the form that starts the server) holds the server and destroys it.
    explicit KvTFTPServer(const class TObject *owner) : KvTFTPServer() { (void)owner; }
    ~KvTFTPServer();
    KvTFTPServer(const KvTFTPServer &) = delete;
    KvTFTPServer &operator=(const KvTFTPServer &) = delete;

    // Per-packet time-out in 10 ms units and most sends of one DATA block.
    void SetTimeout(int timeout, int retries);
    void SetOnStatus(KvTFTPStatusEvent handler);
    // Opens the listening socket on port (0: any free port) unless it is open already;
    // always moves the root folder. Raises Exception with help context -1109 on failure.
    void Start(const AnsiString &rootDir, int port);
    // Closes the listening socket and waits (pumping events) up to 10 s for sessions.
    void Stop();

    // Local address the listening socket binds to ("0.0.0.0", any, unless set). A Start after
    // a change binds the listening socket anew on the new address and the same port.
    void SetListenAddress(const AnsiString &address) { m_listenAddress = address; }
    // With a filter, a request it refuses gets an ERROR (access violation) and starts nothing:
    // no session, no file opened; the handler gets one report of it (code -1103 with the
    // request's kind, file name and peer). Without one every request is served.
    void SetAcceptFilter(KvTFTPAcceptFilter filter) { m_acceptFilter = std::move(filter); }
    bool IsListening() const { return ListenSocket >= 0; }
    // The port the listening socket is bound to; 0 while stopped.
    int ListeningPort() const;
    int SessionCount() const { return static_cast<int>(Sessions.size()); }
    const AnsiString &GetRootDir() const { return RootDir; }
    const KvTFTPMsg &GetTemplate() const { return Template; }

    std::int32_t Retries = 3;

    // Transfers served at once, in all and for one peer address: a flood of requests must not
    // use up the process's file descriptors. Requests beyond them get an ERROR packet.
    static constexpr int MaxSessions = 64;
    static constexpr int MaxSessionsPerPeer = 8;

private:
    friend class _TFTPSession;

    void ReceiveRequest();
    bool FindSession(const KvTFTPMsg &tmpl) const;
    void OnTimer();
    void FreeSession(_TFTPSession *session);
    // Frees every session that has ended (a finished write after its linger time) and whose
    // handlers have returned.
    void FreeEndedSessions();
    // The same from the event loop, after the running handler.
    void FreeEndedSessionsSoon();
    // Whether a new session for this peer address would exceed the limits.
    bool AtSessionLimit(const in_addr &peer) const;
    // True while another session writes `fileName`.
    bool IsBeingWritten(const AnsiString &fileName, const _TFTPSession *except) const;
    void CloseListenSocket();
    // Answers a request the accept filter refuses; true when it was refused.
    bool RefuseUnaccepted(const sockaddr_in &from);

    KvTFTPMsg Template;
    KvTFTPStatusEvent OnStatus;
    AnsiString RootDir;
    int ListenSocket = -1;
    AnsiString m_listenAddress = "0.0.0.0";
    AnsiString m_boundAddress;
    KvTFTPAcceptFilter m_acceptFilter;
    std::unique_ptr<kv::SocketWatcher> m_listenWatcher;
    // Watchers of closed sockets, freed at a point where none of their handlers is running.
    std::vector<std::unique_ptr<kv::SocketWatcher>> m_retiredWatchers;
    std::vector<std::unique_ptr<_TFTPSession>> Sessions;
    std::unique_ptr<kv::Timer> Timer;
    bool m_inTimer = false;
    int m_requestDepth = 0;
    bool m_freeScheduled = false;
    std::unique_ptr<kv::PostGuard> m_freeGuard;
};
