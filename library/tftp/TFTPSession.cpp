#include "TFTPSession.h"

#include "Clock.h"
#include "EventLoop.h"
#include "TFTPPacket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

using namespace kv::tftp;

namespace {

// Unfinished writes live under this prefix; requests for such names are refused.
constexpr std::string_view TempPrefix = ".kvtftp-";

struct BusyGuard {
    explicit BusyGuard(int &n) : count(n) { ++count; }
    ~BusyGuard() { --count; }
    int &count;
};

bool samePeer(const sockaddr_in &a, const sockaddr_in &b)
{
    return a.sin_addr.s_addr == b.sin_addr.s_addr && a.sin_port == b.sin_port;
}

// Out-of-space conditions are the peer's "disk full"; anything else is not defined.
void writeErrorCodes(int err, std::uint16_t &tftpError, std::int32_t &status)
{
    if (err == ENOSPC || err == EDQUOT || err == EFBIG) {
        tftpError = ErrDiskFull;
        status = TFTP_ERR_DISK_FULL;
    } else {
        tftpError = ErrNotDefined;
        status = TFTP_ERR_UNDEFINED;
    }
}

// Writes all of data; false (errno set, ENOSPC for a write that takes nothing) otherwise.
bool writeAll(int fd, const std::uint8_t *data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        ssize_t w = ::write(fd, data + done, size - done);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            if (w == 0)
                errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(w);
    }
    return true;
}

AnsiString randomSuffix()
{
    static std::mt19937_64 rng{std::random_device{}()};
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    AnsiString s;
    for (int i = 0; i < 10; ++i)
        s += digits[rng() % 36];
    return s;
}

} // namespace

_TFTPSession::_TFTPSession(KvTFTPServer &server, const AnsiString &rootDir, KvTFTPStatusEvent onStatus,
                           const KvTFTPMsg &tmpl, const sockaddr_in &peer, const in_addr &localAddress)
    : Peer(peer), Status(tmpl), OnStatus(std::move(onStatus)), RootDir(rootDir), m_server(server),
      m_localAddress(localAddress)
{
    Status.Bytes = 0;
    Status.LastBlockLength = -1;
}

_TFTPSession::~_TFTPSession()
{
    m_watcher.reset();
    if (Socket >= 0)
        ::close(Socket);
    CloseFile();
}

void _TFTPSession::Open()
{
    BusyGuard busy(Busy);
    SetStatus(TFTP_CONNECTED);
    Socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr = m_localAddress;
    local.sin_port = 0;
    if (Socket < 0 || ::bind(Socket, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0) {
        if (Socket >= 0)
            ::close(Socket);
        Socket = -1;
        SetStatus(TFTP_ERR_SOCKET_OPEN);
        return;
    }
    m_watcher = std::make_unique<kv::SocketWatcher>(Socket, kv::SocketWatcher::Kind::Read, [this] {
        ReceivePacket();
        if (State != Active)
            m_server.FreeEndedSessionsSoon();
    });
}

int _TFTPSession::Port() const
{
    sockaddr_in a{};
    socklen_t len = sizeof a;
    if (Socket < 0 || ::getsockname(Socket, reinterpret_cast<sockaddr *>(&a), &len) != 0)
        return 0;
    return ntohs(a.sin_port);
}

bool _TFTPSession::Matches(const KvTFTPMsg &tmpl) const
{
    return Status.Kind == tmpl.Kind && Status.Mode == tmpl.Mode && Status.RemoteIP == tmpl.RemoteIP &&
           Status.RemotePort == tmpl.RemotePort && Status.FileName == tmpl.FileName;
}

bool _TFTPSession::IsWriting(const AnsiString &fileName) const
{
    return State == Active && Status.Kind == 2 && Status.FileName == fileName;
}

void _TFTPSession::PeerError(std::uint16_t tftpError, const AnsiString &message)
{
    Deadline = 0;
    // The status texts of -1101 to -1108 are those of the TFTP error codes 0 to 7.
    const std::int32_t code =
        tftpError <= ErrNoSuchUser ? TFTP_ERR_UNDEFINED - tftpError : TFTP_ERR_UNDEFINED;
    AnsiString detail = message;
    if (code != TFTP_ERR_UNDEFINED && !detail.empty())
        detail = "(" + detail + ")";
    SetStatus(code, detail);
}

void _TFTPSession::SetStatus(std::int32_t code, const AnsiString &detail)
{
    BusyGuard busy(Busy);
    // Most reports repeat the text of the one before: it is set only when it changes.
    const char *text = KvTFTPStatusTextOf(code);
    if (!detail.empty())
        Status.Message = AnsiString(text) + " " + detail;
    else if (Status.Message != text)
        Status.Message = text;
    Status.Code = code;
    // The state changes first, so a handler that stops the server sees this session finished.
    if (code == TFTP_SUCCESS) {
        State = Done;
    } else if (code < 0) {
        State = Failed;
        Deadline = 0;
    } else {
        State = Active;
    }
    if (OnStatus) {
        // A copy: the handler may replace the server's handler while it runs.
        auto handler = OnStatus;
        handler(&m_server, &Status, &Cancel);
    }
    if (State != Active)
        CloseFile();
}

void _TFTPSession::ReportDisconnected()
{
    BusyGuard busy(Busy);
    Status.Code = TFTP_DISCONNECTED;
    Status.Message = KvTFTPStatusText(TFTP_DISCONNECTED);
    if (OnStatus) {
        auto handler = OnStatus;
        bool ignored = Cancel;
        handler(&m_server, &Status, &ignored);
    }
}

void _TFTPSession::CloseFile()
{
    if (File >= 0) {
        ::close(File);
        File = -1;
    }
    if (!m_tempPath.empty()) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
}

void _TFTPSession::Arm()
{
    Deadline = kv::Clock::instance().monotonicMs() + static_cast<std::int64_t>(Status.Timeout) * 10;
}

void _TFTPSession::SendTo(const sockaddr_in &to, const std::uint8_t *data, std::size_t length)
{
    if (Socket >= 0)
        ::sendto(Socket, data, length, 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
}

bool _TFTPSession::SendBufferTo(std::size_t length)
{
    m_sendLength = length;
    if (Socket < 0)
        return false;
    auto sent = ::sendto(Socket, SendBuffer.data(), length, 0, reinterpret_cast<const sockaddr *>(&Peer),
                         sizeof Peer);
    return sent == static_cast<ssize_t>(length);
}

// ERROR to the peer and a failure status.
void _TFTPSession::Fail(std::uint16_t tftpError, std::int32_t status)
{
    std::size_t n = buildError(SendBuffer, tftpError);
    if (!SendBufferTo(n))
        status = TFTP_ERR_SOCKET_IO;
    SetStatus(status);
}

void _TFTPSession::Start()
{
    BusyGuard busy(Busy);
    if (State != Active)
        return;
    if (Cancel) {
        SetStatus(TFTP_ERR_CANCELED);
        return;
    }
    const AnsiString &name = Status.FileName;
    // Only bare names of a chosen folder: nothing outside it is ever read or created.
    if (RootDir.empty() || !isAcceptableFileName(name) ||
        name.compare(0, TempPrefix.size(), TempPrefix) == 0 || m_server.IsBeingWritten(name, this)) {
        Fail(ErrAccessViolation, TFTP_ERR_ACCESS);
        return;
    }
    AnsiString path = RootDir + name;
    if (Status.Kind == 1)
        StartRead(path);
    else
        StartWrite(path);
}

void _TFTPSession::StartRead(const AnsiString &path)
{
    // Non-blocking and no symbolic links: a FIFO must not stall the GUI thread.
    File = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (File < 0) {
        int err = errno;
        if (err == ENOENT || err == ENOTDIR)
            Fail(ErrFileNotFound, TFTP_ERR_NOT_FOUND);
        else
            Fail(ErrAccessViolation, TFTP_ERR_ACCESS);
        return;
    }
    struct stat st {};
    if (::fstat(File, &st) != 0 || !S_ISREG(st.st_mode)) {
        CloseFile();
        Fail(ErrAccessViolation, TFTP_ERR_ACCESS);
        return;
    }
    m_block = 0;
    if (!SendNextBlock())
        return;
    SetStatus(TFTP_TRANSFERRING);
}

void _TFTPSession::StartWrite(const AnsiString &path)
{
    struct stat st {};
    // A received file may hold secrets (a saved configuration holds the keys): a new one is
    // its owner's only; a file it replaces keeps its mode.
    mode_t mode = 0600;
    if (::lstat(path.c_str(), &st) == 0) {
        // Only a regular file we could write ourselves is replaced.
        if (!S_ISREG(st.st_mode) || ::access(path.c_str(), W_OK) != 0) {
            Fail(ErrAccessViolation, TFTP_ERR_ACCESS);
            return;
        }
        mode = st.st_mode & 07777;
    }
    for (int attempt = 0; attempt < 8 && File < 0; ++attempt) {
        AnsiString temp = RootDir + AnsiString(TempPrefix) + randomSuffix();
        File = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (File >= 0) {
            m_tempPath = temp;
            if (mode != 0600)
                ::fchmod(File, mode);
        } else if (errno != EEXIST) {
            break;
        }
    }
    if (File < 0) {
        Fail(ErrAccessViolation, TFTP_ERR_ACCESS);
        return;
    }
    m_targetPath = path;
    m_block = 0;
    std::size_t n = buildAck(SendBuffer, 0);
    if (!SendBufferTo(n)) {
        SetStatus(TFTP_ERR_SOCKET_IO);
        return;
    }
    Arm();
    SetStatus(TFTP_TRANSFERRING);
}

void _TFTPSession::FillReadAhead()
{
    constexpr std::size_t ReadAheadSize = 64 * 1024;
    if (m_readAhead.empty())
        m_readAhead.resize(ReadAheadSize);
    if (m_readAt > 0) {
        std::memmove(m_readAhead.data(), m_readAhead.data() + m_readAt, m_readEnd - m_readAt);
        m_readEnd -= m_readAt;
        m_readAt = 0;
    }
    // Fill it: a short read before the end of the file would end the transfer early.
    while (m_readEnd < m_readAhead.size()) {
        ssize_t got = ::read(File, m_readAhead.data() + m_readEnd, m_readAhead.size() - m_readEnd);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            m_readFailed = true;
            return;
        }
        if (got == 0) {
            m_readEof = true;
            return;
        }
        m_readEnd += static_cast<std::size_t>(got);
    }
}

bool _TFTPSession::SendNextBlock()
{
    // As a rule the block was read ahead while the peer handled the previous one.
    if (m_readEnd - m_readAt < BlockSize && !m_readEof && !m_readFailed)
        FillReadAhead();
    if (m_readEnd - m_readAt < BlockSize && m_readFailed) {
        Fail(ErrNotDefined, TFTP_ERR_UNDEFINED);
        return false;
    }
    const std::size_t count = std::min(BlockSize, m_readEnd - m_readAt);
    Status.LastBlockLength = static_cast<std::int32_t>(count);
    Status.Bytes += static_cast<std::int64_t>(count);
    ++m_block; // wraps past 65535, so any size transfers
    std::size_t n =
        buildData(SendBuffer, m_block, std::span<const std::uint8_t>(m_readAhead.data() + m_readAt, count));
    m_readAt += count;
    bool sent = SendBufferTo(n);
    Status.RetryCount = 1;
    if (!sent) {
        SetStatus(TFTP_ERR_SOCKET_IO);
        return false;
    }
    Arm();
    // The disk is read while the block travels, not while the peer waits for it.
    if (count == BlockSize && m_readEnd - m_readAt < BlockSize && !m_readEof && !m_readFailed)
        FillReadAhead();
    return true;
}

void _TFTPSession::ReceivePacket()
{
    BusyGuard busy(Busy);
    if (Socket < 0)
        return;
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    ssize_t n = ::recvfrom(Socket, ReceiveBuffer.data(), ReceiveBuffer.size(), MSG_DONTWAIT | MSG_TRUNC,
                           reinterpret_cast<sockaddr *>(&from), &fromLen);
    if (n < 0 || from.sin_family != AF_INET)
        return;
    std::size_t length = static_cast<std::size_t>(n);
    std::span<const std::uint8_t> got(ReceiveBuffer.data(), std::min(length, ReceiveBuffer.size()));
    auto packet = parsePacket(got, length);
    // The session belongs to the requester's address and port.
    if (!samePeer(from, Peer)) {
        if (!packet || packet->kind != Packet::Kind::Error) {
            std::uint8_t error[MaxErrorPacket];
            SendTo(from, error, buildError(error, ErrUnknownTransferId));
        }
        return;
    }
    if (!packet)
        return;
    if (packet->kind == Packet::Kind::Error) {
        // The peer gave up: the transfer ends now, with the peer's reason (never answered).
        if (State == Active)
            PeerError(packet->block, errorMessage(got));
        return;
    }
    if (Status.Kind == 2 && State == Done) {
        // Our last ACK was lost: acknowledge the final block again.
        if (packet->kind == Packet::Kind::Data && packet->block == m_block)
            SendBufferTo(m_sendLength);
        return;
    }
    if (State != Active || (File < 0 && Status.Kind == 1))
        return;
    if (Status.Kind == 1) {
        if (packet->kind == Packet::Kind::Ack && packet->block == m_block)
            HandleAck(packet->block);
        return;
    }
    if (packet->kind == Packet::Kind::OversizedData) {
        Fail(ErrIllegalOperation, TFTP_ERR_BAD_OPERATION);
        return;
    }
    if (packet->kind != Packet::Kind::Data)
        return;
    std::uint16_t next = static_cast<std::uint16_t>(m_block + 1);
    if (packet->block == next) {
        HandleData(packet->block, packet->data.data(), packet->data.size());
    } else if (packet->block == m_block && LastBlock >= 0) {
        // A repeat of the block just acknowledged: our ACK was lost, so send it again.
        SendBufferTo(m_sendLength);
    }
}

bool _TFTPSession::TakeBlock(std::uint16_t block)
{
    Deadline = 0;
    Status.RemotePort = ntohs(Peer.sin_port);
    LastBlock = block;
    if (Cancel) {
        SetStatus(TFTP_ERR_CANCELED);
        return false;
    }
    return true;
}

void _TFTPSession::HandleAck(std::uint16_t block)
{
    if (!TakeBlock(block))
        return;
    if (Status.LastBlockLength < static_cast<std::int32_t>(BlockSize)) {
        SetStatus(TFTP_SUCCESS);
        return;
    }
    if (!SendNextBlock())
        return;
    SetStatus(TFTP_TRANSFERRING);
}

void _TFTPSession::HandleData(std::uint16_t block, const std::uint8_t *data, std::size_t size)
{
    if (!TakeBlock(block))
        return;
    bool last = size < BlockSize;
    if (!TakeData(data, size) || (last && !FlushWrites())) {
        std::uint16_t tftpError;
        std::int32_t status;
        writeErrorCodes(errno, tftpError, status);
        Fail(tftpError, status);
        return;
    }
    Status.LastBlockLength = static_cast<std::int32_t>(size);
    Status.Bytes += static_cast<std::int64_t>(size);
    m_block = block;
    if (last) {
        std::uint16_t tftpError;
        std::int32_t status;
        if (!Commit(tftpError, status)) {
            Fail(tftpError, status);
            return;
        }
    }
    std::size_t n = buildAck(SendBuffer, block);
    if (!SendBufferTo(n)) {
        SetStatus(TFTP_ERR_SOCKET_IO);
        return;
    }
    if (last) {
        Linger = kv::Clock::instance().monotonicMs() + static_cast<std::int64_t>(Status.Timeout) * 10;
        SetStatus(TFTP_SUCCESS);
        return;
    }
    Arm();
    SetStatus(TFTP_TRANSFERRING);
}

bool _TFTPSession::TakeData(const std::uint8_t *data, std::size_t size)
{
    constexpr std::size_t BufferSize = 64 * 1024;
    constexpr std::int64_t ReserveStep = 4 * 1024 * 1024;
    const std::int64_t end = Status.Bytes + static_cast<std::int64_t>(size);
    if (!m_writeThrough && end > m_reserved) {
        // Room for the next stretch, within the process's file size limit (beyond it the
        // reservation itself would raise SIGXFSZ); where that fails, blocks go straight in.
        rlimit limit{};
        const std::int64_t want = m_reserved + ReserveStep;
        const bool allowed =
            ::getrlimit(RLIMIT_FSIZE, &limit) == 0 &&
            (limit.rlim_cur == RLIM_INFINITY || static_cast<std::int64_t>(limit.rlim_cur) >= want);
        if (allowed && ::fallocate(File, 0, m_reserved, ReserveStep) == 0) {
            m_reserved = want;
        } else {
            m_writeThrough = true;
            if (!FlushWrites())
                return false;
        }
    }
    if (!m_writeThrough) {
        if (m_writeBuffer.capacity() < BufferSize)
            m_writeBuffer.reserve(BufferSize);
        m_writeBuffer.insert(m_writeBuffer.end(), data, data + size);
        return m_writeBuffer.size() < BufferSize || FlushWrites();
    }
    return writeAll(File, data, size);
}

bool _TFTPSession::FlushWrites()
{
    if (!writeAll(File, m_writeBuffer.data(), m_writeBuffer.size()))
        return false;
    m_writeBuffer.clear();
    return true;
}

// Makes the received file the target: flushed, closed, then renamed over the old one.
bool _TFTPSession::Commit(std::uint16_t &tftpError, std::int32_t &status)
{
    int err = 0;
    // The room reserved past the end goes.
    if (m_reserved > Status.Bytes && ::ftruncate(File, static_cast<off_t>(Status.Bytes)) != 0)
        err = errno;
    if (err == 0 && ::fdatasync(File) != 0 && errno != EINVAL && errno != EROFS)
        err = errno;
    if (::close(File) != 0 && err == 0 && errno != EINTR)
        err = errno;
    File = -1;
    if (err == 0 && ::rename(m_tempPath.c_str(), m_targetPath.c_str()) != 0)
        err = errno;
    if (err != 0) {
        writeErrorCodes(err, tftpError, status);
        return false;
    }
    m_tempPath.clear();
    return true;
}

void _TFTPSession::Retransmit(int retries)
{
    BusyGuard busy(Busy);
    Deadline = 0;
    if (Cancel) {
        SetStatus(TFTP_ERR_CANCELED);
        return;
    }
    if (Status.Kind == 1 && Status.RetryCount < retries) {
        bool sent = SendBufferTo(m_sendLength);
        ++Status.RetryCount;
        if (!sent) {
            SetStatus(TFTP_ERR_SOCKET_IO);
            return;
        }
        Arm();
        SetStatus(TFTP_TRANSFERRING);
        return;
    }
    SetStatus(TFTP_ERR_TIMEOUT);
}
