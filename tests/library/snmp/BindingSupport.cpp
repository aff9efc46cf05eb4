#include "BindingSupport.h"

#include "EventLoop.h"
#include "TestEnv.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace bindtest {

std::string devsimProgram()
{
    return devsimtest::devsimPath();
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
    if (!m_process.start(args)) {
        m_why = "cannot start " + args[0];
        return;
    }
    m_ready = m_process.waitForLine("devsim ready", 10000);
    if (!m_ready)
        m_why = "devsim did not start: " + m_process.output();
}

Devsim::~Devsim()
{
    m_process.stop();
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
