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

namespace {

std::vector<std::string> withTables(const std::vector<std::string> &extraArgs)
{
    std::vector<std::string> args = {"--profile", tablesCatalog(), "--lifetime", "600"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    return args;
}

} // namespace

Devsim::Devsim(const std::vector<std::string> &extraArgs) : devsimtest::Devsim(withTables(extraArgs))
{
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
