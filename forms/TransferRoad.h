#pragma once
// What the transfer forms share: the device is the TFTP client and the form's own server
// serves or receives the file. The form picks the PC's address on the device's network, binds
// its server there, announces the one file it expects, tells the device (server address and
// file name, then the command) and learns the end from the command's answer.
//
// Ports. Tests, which run without root, move the well-known ports with the environment:
//   QRN5290AP_TFTP_PORT  UDP port of the forms' TFTP servers (69 when unset); the simulated
//                        device's --tftp-port must name the same port
//   QRN5290AP_FTP_PORT   TCP port the FTP login check connects to (21 when unset)
// A value that is not a port number from 1 to 65535 leaves the default.
#include "FormFrame.h"
#include "TFTPServer.h"

#include <memory>

inline constexpr const char kTftpPortVariable[] = "QRN5290AP_TFTP_PORT";
inline constexpr const char kFtpPortVariable[] = "QRN5290AP_FTP_PORT";
int TransferTftpPort();
int TransferFtpPort();

// received/ in the device's per-user data folder (made when missing): where files the device
// sends are written.
AnsiString ReceivedFilesFolder();

// The file a chosen path names, through symbolic links (the server follows none); for a file
// not made yet, its folder resolved. Unchanged when it cannot be resolved.
AnsiString ResolveChosenFile(const AnsiString &path);

// A chosen path at its last folder separator ("/" or "\"): false when it has none.
bool SplitTransferPath(const AnsiString &path, AnsiString &folder, AnsiString &name);

// The PC's own address on the device's network (the main window's device address and mask,
// then its local address report) into target; false, target empty, when there is none.
bool SelectLocalTftpAddress(TEdit *target);
// The same without the address report.
bool SelectInterfaceTftpAddress(TEdit *target);
// Where a form's server listens before a transfer chose its address: the PC's address on the
// device's network, or loopback when there is none.
AnsiString InitialServerAddress();

// The device's transfer objects: server address and file name (one Set), the transfer
// command (1 Connect, 2 Get, 3 Put, 4 Nothing) and the upgrade command (1 Firmwareupdate ...
// 4 Reboot ...), scalars read with one get.
extern const FormItemTable kTransferTargetItems;
extern const FormItemTable kTftpCommandItems;
extern const FormItemTable kUpgradeCommandItems;
// Item indexes of the commands' combo boxes (value - 1).
inline constexpr int kTftpGetItem = 1, kTftpPutItem = 2;
inline constexpr int kFirmwareUpdateItem = 0, kConfigSaveItem = 2, kRebootItem = 3;

// Command objects go out once: a retried transfer, firmware update or restart runs twice.
void SendOnce(KvSNMPRequest2Controls &binding);

// A never-read group that only carries what the form sends (transfer targets and commands):
// the controls' values in one Set. Synchronous: whether it succeeded; asynchronous: whether
// it started.
bool SendGroup(KvSNMPRequest2Controls &binding);

// Text of a failed request for the status bar.
AnsiString FailureText(const KvSNMPError *status);
// The request got no answer in time (as opposed to an error answer).
bool IsNoAnswer(const KvSNMPError *status);

// A transfer form's TFTP server: bound to the address the form chose, serving only the file
// the form announced, in its direction, to the device (the address the module manages), while
// that transfer is pending; any other request gets an access-violation error, touches no file
// and is logged in the form's status bar.
class TransferServer {
public:
    // timeout in 10 ms units per packet, 3 tries; log shows the refused requests.
    TransferServer(TForm *form, int timeout, TStatusBar *log);
    ~TransferServer();
    TransferServer(const TransferServer &) = delete;
    TransferServer &operator=(const TransferServer &) = delete;

    // Serves folder from localAddress on the transfer port (binding anew when the address
    // changed). On failure shows "TFTP Service Init Error:" with the reason, asks the form to
    // close and returns false; the module goes on.
    bool Start(const AnsiString &folder, const AnsiString &localAddress);
    // From now until Finish only name, in this direction, is served.
    void Expect(const AnsiString &name, bool toDevice);
    void Finish();
    bool Pending() const { return m_pending; }
    // The announced file came from the device completely.
    bool Arrived() const { return m_arrived; }
    void Stop();
    KvTFTPServer &Server() { return *m_server; }

    // Why a request was refused, for the log.
    AnsiString RefusalText(const KvTFTPMsg &request) const;

private:
    bool FromDevice(const KvTFTPMsg &request) const;

    TForm *m_form;
    TStatusBar *m_log;
    std::unique_ptr<KvTFTPServer> m_server;
    bool m_pending = false;
    bool m_arrived = false;
    AnsiString m_name;
    int32_t m_kind = 1;
};
