#include "StartupFlow.h"

#include "KvCommonTexts.h"
#include "KvMessageFile.h"
#include "KvPath.h"
#include "KvSNMPErrors.h"
#include "Startup.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <span>
#include <system_error>

std::vector<AnsiString> gCommandLine;

namespace {

void load(const AnsiString &folder, const char *name, std::span<AnsiString> table)
{
    ReadTextLines(table, MessageFilePath(folder, name));
}

// Each file fills its own table, so the order does not matter.
void loadAll(const AnsiString &folder)
{
    load(folder, "snmpclass.err", gSnmpClassTexts);
    load(folder, "snmp.err", gSnmpStatusTexts);
    load(folder, "snmp.msg", gKvSNMPLogFormats);
    load(folder, "kvsnmp.err", gKvSNMPTexts);
    load(folder, "snmpv3.err", gSnmpV3MpTexts);
    load(folder, "snmpusm.err", gSnmpV3UsmTexts);
    load(folder, "common.err", gKvCommonTexts);
}

} // namespace

AnsiString ProgramFolder()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    AnsiString folder = exe.parent_path().string();
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

namespace {

bool holdsMessages(const AnsiString &folder)
{
    std::error_code ec;
    return std::filesystem::is_directory(ResolvePathNoCase(JoinPath(folder, "errmsg")), ec);
}

} // namespace

AnsiString ProgramDataFolder(const AnsiString &programFolder)
{
    if (programFolder.empty() || holdsMessages(programFolder))
        return programFolder;
    const AnsiString installed = JoinPath(programFolder, KV_DATA_FROM_PROGRAM) + "/";
    return holdsMessages(installed) ? installed : programFolder;
}

void LoadMessageFilesFirst(const AnsiString &folder)
{
    loadAll(folder);
}

void LoadMessageFilesSecond(const AnsiString &moduleFolder)
{
    loadAll(moduleFolder);
}

std::unique_ptr<InstanceLock> InstanceLock::Acquire(const AnsiString &path)
{
    std::error_code ec;
    const std::filesystem::path file(path);
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path(), ec);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return nullptr;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<InstanceLock>(new InstanceLock(fd));
}

InstanceLock::~InstanceLock()
{
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
}
