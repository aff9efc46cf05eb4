#include "BindingSupport.h"

#include "EventLoop.h"
#include "TestEnv.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char **environ;

namespace bindtest {

std::string devsimProgram()
{
    return kvtest::binaryDir() + "/tools/devsim/devsim";
}

std::string tablesCatalog()
{
    return kvtest::sourceDir() + "/tests/library/snmp/catalog/binding-tables.cat";
}

Devsim::Devsim(const std::vector<std::string> &extraArgs)
{
    m_state = kvtest::makeTempDir("kv-binding-devsim");
    m_port = kvtest::freeUdpPort();
    std::vector<std::string> args = {devsimProgram(),        "--address",  "127.0.0.1", "--port",
                                     std::to_string(m_port), "--state",    m_state,     "--profile",
                                     tablesCatalog(),        "--lifetime", "600"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    std::vector<char *> argv;
    for (auto &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        m_why = "pipe";
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        m_why = "cannot start " + args[0];
        return;
    }
    m_pid = pid;
    m_out = fds[0];
    std::string seen;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (seen.find("devsim ready") == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                .count();
        if (left <= 0)
            break;
        pollfd p{m_out, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        char buffer[512];
        const ssize_t n = read(m_out, buffer, sizeof buffer);
        if (n <= 0)
            break;
        seen.append(buffer, static_cast<std::size_t>(n));
    }
    m_ready = seen.find("devsim ready") != std::string::npos;
    if (!m_ready)
        m_why = "devsim did not start: " + seen;
}

Devsim::~Devsim()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        for (int i = 0; i < 500 && waitpid(m_pid, &status, WNOHANG) == 0; ++i)
            usleep(10000);
        if (waitpid(m_pid, &status, WNOHANG) == 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, &status, 0);
        }
    }
    if (m_out >= 0)
        close(m_out);
    std::error_code ec;
    std::filesystem::remove_all(m_state, ec);
}

std::string Devsim::writeLog() const
{
    std::ifstream in(m_state + "/writes.log");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

KvSNMPVarList makeList(const std::vector<Col> &cols, KvSNMPItemType type, int keyCount,
                       const std::string &name)
{
    std::vector<KvSNMPItem> table;
    for (const Col &c : cols) {
        KvSNMPItem item;
        item.Oid = c.oid;
        item.Name = c.name;
        item.Syntax = c.syntax;
        item.Access = c.access;
        item.Options = c.options;
        item.Value = c.value;
        table.push_back(item);
    }
    table.push_back(KvSNMPItem{});
    KvSNMPVarList list(table.data(), type, keyCount);
    list.ListName = name;
    return list;
}

KvSNMPVarList tableList(KvSNMPItemType type)
{
    const std::string base = kTableBase;
    return makeList({{base + ".1", "Index", KvSyntax::Integer, KvAccess::Hidden},
                     {base + ".2", "Name", KvSyntax::DisplayStr, KvAccess::ReadWrite},
                     {base + ".3", "Number", KvSyntax::Integer, KvAccess::ReadWrite},
                     {base + ".4", "Address", KvSyntax::IpAddress, KvAccess::ReadWrite}},
                    type, 1, "BindTable");
}

void target(KvSNMPRequest &r, int port)
{
    enginetest::ensureGlobalSession();
    r.Device.Address = "127.0.0.1";
    r.Device.Port = static_cast<uint16_t>(port);
    r.Security.Version = 1;
    r.Security.ReadCommunity = "public";
    r.Security.WriteCommunity = "private";
    r.Timeout = 100;
    r.Retries = 0;
}

bool pumpUntil(const std::function<bool()> &done, int maxMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        kv::waitForEvents(20);
    }
    return true;
}

void BindingTest::SetUp()
{
    kv::MessageBoxService::instance().reset();
    kv::MessageBoxService::instance().setInteractive(0);
    app = std::make_unique<TApplication>();
    app->SetTitle("C:\\Morvix\\QRN-5290AP");
    form = new TForm(app.get());
}

void BindingTest::TearDown()
{
    app.reset();
    kv::processMessages();
    kv::MessageBoxService::instance().reset();
}

} // namespace bindtest
