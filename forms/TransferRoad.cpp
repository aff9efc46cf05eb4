#include "TransferRoad.h"

#include "Address.h"
#include "Exception.h"
#include "KvPath.h"
#include "KvSNMPErrors.h"
#include "MainForm.h"
#include "Misc.h"
#include "NetUtils.h"
#include "Startup.h"

#include <cstdlib>
#include <filesystem>

namespace {

int portFromEnvironment(const char *variable, int fallback)
{
    const char *text = std::getenv(variable);
    if (text == nullptr || *text == '\0')
        return fallback;
    int value = 0;
    for (const char *c = text; *c; ++c) {
        if (*c < '0' || *c > '9')
            return fallback;
        value = value * 10 + (*c - '0');
        if (value > 65535)
            return fallback;
    }
    return value >= 1 ? value : fallback;
}

DeviceAddressInfo deviceAddresses()
{
    DeviceAddressInfo device;
    if (MainForm != nullptr) {
        device.IPAddress = MainForm->IPAddressEdit->Text();
        device.SubnetMask = MainForm->SubMaskEdit->Text();
        device.SysIPAddress = MainForm->Ed_SysIpaddress->Text();
    }
    return device;
}

} // namespace

const FormItemTable kTransferTargetItems = {
    {"3.3.1", "remotesrvip", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"3.3.2", "remotefilename", KvSyntax::DisplayStr, KvAccess::ReadWrite},
};
const FormItemTable kTftpCommandItems = {
    {"3.3.4", "tftpcommand", KvSyntax::Integer, KvAccess::ReadWrite, &gTftpcommandNames},
};
const FormItemTable kUpgradeCommandItems = {
    {"3.3.5", "upgradesettingcommand", KvSyntax::Integer, KvAccess::ReadWrite, &gUpgradesettingcommandNames},
};

int TransferTftpPort()
{
    return portFromEnvironment(kTftpPortVariable, 69);
}

int TransferFtpPort()
{
    return portFromEnvironment(kFtpPortVariable, 21);
}

AnsiString ReceivedFilesFolder()
{
    const AnsiString folder =
        JoinPath(DeviceDataFolder(MainForm != nullptr ? MainForm->AgentAddress : AnsiString()), "received");
    std::error_code ec;
    // What the device sends may hold its secrets: the folder is its owner's only.
    if (std::filesystem::create_directories(folder, ec))
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ec);
    return folder;
}

AnsiString ResolveChosenFile(const AnsiString &path)
{
    namespace fs = std::filesystem;
    // Windows-style paths and names without a folder are left to the form's own checks.
    if (path.find('/') == AnsiString::npos)
        return path;
    std::error_code ec;
    const fs::path chosen(path);
    fs::path real = fs::canonical(chosen, ec);
    if (ec) {
        // A file still to be made (a save): its folder is resolved.
        const fs::path folder = fs::canonical(chosen.parent_path(), ec);
        if (ec || !chosen.has_filename())
            return path;
        real = folder / chosen.filename();
    }
    return real.string();
}

bool SplitTransferPath(const AnsiString &path, AnsiString &folder, AnsiString &name)
{
    const auto cut = path.find_last_of("/\\");
    if (cut == AnsiString::npos)
        return false;
    folder = path.substr(0, cut);
    name = path.substr(cut + 1);
    // The root folder itself: keep its separator.
    if (folder.empty())
        folder = path.substr(0, 1);
    return true;
}

bool SelectLocalTftpAddress(TEdit *target)
{
    AnsiString address;
    static LocalAddressLists fallbackLists;
    LocalAddressLists &lists = MainForm != nullptr ? MainForm->LocalAddresses : fallbackLists;
    const bool found = SelectLocalTftpAddress(deviceAddresses(), lists, address);
    target->SetText(address);
    return found;
}

bool SelectInterfaceTftpAddress(TEdit *target)
{
    AnsiString address;
    LocalAddressLists unused;
    const bool found =
        SelectLocalTftpAddress(LocalInterfaceAddresses(), deviceAddresses(), unused, std::nullopt, address);
    target->SetText(address);
    return found;
}

AnsiString InitialServerAddress()
{
    AnsiString address;
    LocalAddressLists unused;
    if (SelectLocalTftpAddress(LocalInterfaceAddresses(), deviceAddresses(), unused, std::nullopt, address))
        return address;
    return "127.0.0.1";
}

void SendOnce(KvSNMPRequest2Controls &binding)
{
    binding.Request.Retries = 0;
}

bool SendGroup(KvSNMPRequest2Controls &binding)
{
    if (WritableItemCount(binding.Request.VarList) == 0)
        return false;
    return binding.Set(true, true);
}

AnsiString FailureText(const KvSNMPError *status)
{
    return status != nullptr ? status->Message : AnsiString();
}

bool IsNoAnswer(const KvSNMPError *status)
{
    return status != nullptr && status->Code == KvSNMPCode::NoAnswer;
}

TransferServer::TransferServer(TForm *form, int timeout, TStatusBar *log)
    : m_form(form), m_log(log), m_server(std::make_unique<KvTFTPServer>(form))
{
    m_server->SetTimeout(timeout, 3);
    m_server->SetOnStatus([this](KvTFTPServer *, const KvTFTPMsg *msg, bool *) {
        if (msg->Code == TFTP_ERR_ACCESS && m_log != nullptr)
            m_log->SetSimpleText(RefusalText(*msg));
        if (m_pending && msg->Kind == 2 && msg->Kind == m_kind && msg->FileName == m_name &&
            msg->Code == TFTP_SUCCESS)
            m_arrived = true;
    });
    // Another host must neither fetch the device's firmware or configuration nor write a file
    // in the device's place.
    m_server->SetAcceptFilter([this](const KvTFTPMsg &request) {
        return m_pending && FromDevice(request) && request.Kind == m_kind && request.FileName == m_name;
    });
}

bool TransferServer::FromDevice(const KvTFTPMsg &request) const
{
    if (MainForm == nullptr)
        return false;
    // Resolved as the SNMP requests resolve it (a name is looked up once for the process).
    const UdpAddress device(MainForm->AgentAddress);
    return device.valid() && device.ip_text() == request.RemoteIP;
}

AnsiString TransferServer::RefusalText(const KvTFTPMsg &request) const
{
    AnsiString text = request.Message + " A TFTP " + (request.Kind == 1 ? "read" : "write") + " of \"" +
                      request.FileName + "\" from " + request.RemoteIP + " was refused";
    if (!FromDevice(request))
        return text + ": only the device may transfer files.";
    if (!m_pending || request.Kind != m_kind || request.FileName != m_name)
        return text + ": it is not the transfer the device was told of.";
    return text + ".";
}

TransferServer::~TransferServer() = default;

bool TransferServer::Start(const AnsiString &folder, const AnsiString &localAddress)
{
    try {
        m_server->SetListenAddress(localAddress);
        m_server->Start(folder, TransferTftpPort());
        return true;
    } catch (const std::exception &e) {
        const auto *framework = dynamic_cast<const Exception *>(&e);
        ShowMessage("TFTP Service Init Error:" + (framework ? framework->Message : AnsiString(e.what())));
        TForm *form = m_form;
        // After the running handler: the form may still be in its creation.
        form->Post([form] { form->Close(); });
        return false;
    }
}

void TransferServer::Expect(const AnsiString &name, bool toDevice)
{
    m_name = name;
    m_kind = toDevice ? 1 : 2;
    m_arrived = false;
    m_pending = true;
}

void TransferServer::Finish()
{
    m_pending = false;
}

void TransferServer::Stop()
{
    m_pending = false;
    if (m_server->IsListening())
        m_server->Stop();
}
