#pragma once
// One TFTP transfer on its own UDP socket; created and owned by KvTFTPServer.
#include "TFTPServer.h"

#include <netinet/in.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class _TFTPSession {
public:
    enum SessionState : std::int32_t { Failed = 0, Active = 1, Done = 2 };

    _TFTPSession(KvTFTPServer &server, const AnsiString &rootDir, KvTFTPStatusEvent onStatus,
                 const KvTFTPMsg &tmpl, const sockaddr_in &peer, const in_addr &localAddress);
    // Closes socket and file; an unfinished write leaves no file behind. Reports nothing.
    ~_TFTPSession();
    _TFTPSession(const _TFTPSession &) = delete;
    _TFTPSession &operator=(const _TFTPSession &) = delete;

    // Reports status 1 and opens the session's socket (-1109 when that fails).
    void Open();
    void Start();
    void ReceivePacket();
    // The awaited answer did not come in time: resend, or give up (-1113), or end on Cancel.
    void Retransmit(int retries);
    bool Matches(const KvTFTPMsg &tmpl) const;
    // detail, when given, follows the code's text in the message.
    void SetStatus(std::int32_t code, const AnsiString &detail = AnsiString());
    // Status 0, just before the server frees the session.
    void ReportDisconnected();

    bool IsWriting(const AnsiString &fileName) const;
    int Port() const;

    SessionState State = Active;
    std::int64_t Deadline = 0; // monotonic ms by which the peer must answer; 0: none awaited
    // A finished write stays until then (monotonic ms) to acknowledge a repeat of its final
    // block: a lost final ACK must not turn the client's success into a failure. 0: none.
    std::int64_t Linger = 0;
    sockaddr_in Peer{};
    KvTFTPMsg Status;
    KvTFTPStatusEvent OnStatus;
    AnsiString RootDir;
    bool Cancel = false;
    std::int32_t LastBlock = -1;
    // Nesting depth of this session's handlers; the server frees a session only at depth 0.
    int Busy = 0;

private:
    void Fail(std::uint16_t tftpError, std::int32_t status);
    // An ERROR packet from the peer: the transfer fails with the status of its code.
    void PeerError(std::uint16_t tftpError, const AnsiString &message);
    void StartRead(const AnsiString &path);
    void StartWrite(const AnsiString &path);
    // Notes a block the peer answered with; false once the transfer is canceled.
    bool TakeBlock(std::uint16_t block);
    void HandleAck(std::uint16_t block);
    void HandleData(std::uint16_t block, const std::uint8_t *data, std::size_t size);
    bool SendBufferTo(std::size_t length);
    void SendTo(const sockaddr_in &to, const std::uint8_t *data, std::size_t length);
    // Sends the next file block; false when sending failed (already reported).
    bool SendNextBlock();
    // Reads the file ahead into m_readAhead, keeping what was not sent yet.
    void FillReadAhead();
    // Takes a received block into the file; false (errno set) when it cannot be written.
    bool TakeData(const std::uint8_t *data, std::size_t size);
    // Writes what write transfers hold in memory; false (errno set) when that fails.
    bool FlushWrites();
    bool Commit(std::uint16_t &tftpError, std::int32_t &status);
    void CloseFile();
    void Arm();

    KvTFTPServer &m_server;
    in_addr m_localAddress{};
    std::array<std::uint8_t, 2048> SendBuffer{};
    std::size_t m_sendLength = 0;
    std::array<std::uint8_t, 2048> ReceiveBuffer{};
    int Socket = -1;
    int File = -1;
    std::uint16_t m_block = 0; // block number of the last DATA sent (read) or ACK sent (write)
    // Read transfers take the file in large pieces, read while the peer handles a block.
    std::vector<std::uint8_t> m_readAhead;
    std::size_t m_readAt = 0;  // next byte to send
    std::size_t m_readEnd = 0; // end of what was read
    bool m_readEof = false;
    bool m_readFailed = false;
    // Write transfers keep received blocks in memory once the file has room reserved for
    // them, so they cannot fail to be written later; without a reservation each block is
    // written as it comes.
    std::vector<std::uint8_t> m_writeBuffer;
    std::int64_t m_reserved = 0; // bytes of the file allocated ahead
    bool m_writeThrough = false; // no (further) reservation: write every block at once
    AnsiString m_targetPath;
    AnsiString m_tempPath; // unfinished write; removed unless committed
    std::unique_ptr<kv::SocketWatcher> m_watcher;
};
