#include "Catalog.h"

#include "Harness.h"

#include "TestEnv.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace devsim;

namespace {

Catalog fromText(const std::string &text)
{
    Catalog c;
    c.loadText(text, "test", false);
    return c;
}

} // namespace

TEST(DevsimCatalog, ParsesObjectLinesWithPrefixes)
{
    Catalog c = fromText("prefix E 1.3.6.1.4.1.32473.11.37.4\n"
                         "# comment\n"
                         "E.3.3.4.0 tftpcommand integer readwrite enum:1=connect|2|3|4 4  # trailing\n"
                         "E.3.3.2.0 remotefilename displaystr readwrite+now size:0..64 \"a \\\"b\\\"\"\n"
                         "E.1.2.2.0 hIPAddress ipaddress readwrite - 127.0.0.1\n");
    ASSERT_EQ(c.objects().size(), 3u);
    const Object *t = c.findByName("tftpcommand");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(oidText(t->oid), "1.3.6.1.4.1.32473.11.37.4.3.3.4.0");
    EXPECT_EQ(t->constraint.kind, Constraint::Enum);
    EXPECT_EQ(t->constraint.values, (std::vector<int64_t>{1, 2, 3, 4}));
    EXPECT_EQ(t->initial.num, 4);
    EXPECT_FALSE(t->immediate);
    const Object *f = c.resolve("1.3.6.1.4.1.32473.11.37.4.3.3.2.0");
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->immediate);
    EXPECT_EQ(f->initial.bytes, "a \"b\"");
    EXPECT_EQ(valueText(Syntax::IpAddress, c.findByName("hIPAddress")->initial), "127.0.0.1");
}

TEST(DevsimCatalog, RangeArcMakesOneObjectPerNumber)
{
    Catalog c = fromText("1.3.6.1.4.1.9.{1..3}.0 col integer readonly - 5\n");
    ASSERT_EQ(c.objects().size(), 3u);
    EXPECT_NE(c.findByName("col.2"), nullptr);
    EXPECT_EQ(oidText(c.findByName("col.3")->oid), "1.3.6.1.4.1.9.3.0");
}

TEST(DevsimCatalog, RejectsBadLines)
{
    const char *bad[] = {
        "1.3.6.1.2 x integer readonly -\n",             // missing value
        "1.3.x.1 x integer readonly - 1\n",             // bad OID
        "1.3.6.1.2 x float readonly - 1\n",             // unknown syntax
        "1.3.6.1.2 x integer sometimes - 1\n",          // unknown access
        "1.3.6.1.2 x integer readonly range:5..1 1\n",  // empty range
        "1.3.6.1.2 x integer readonly range:0..3 9\n",  // initial value outside
        "1.3.6.1.2 x integer readonly size:0..3 1\n",   // size on a number
        "1.3.6.1.2 x ipaddress readonly - 300.1.1.1\n", // bad address
        "1.3.6.1.2 x macaddress readonly - 0x0011\n",   // MAC of two octets
        "1.3.6.1.2 x integer readonly - 99999999999\n", // beyond 32 bits
        "1.3.6.1.2 x displaystr readonly - \"unterminated\n",
        "1.3.6.1.2 x integer readonly - 1\n1.3.6.1.2 y integer readonly - 1\n", // duplicate
    };
    for (const char *text : bad) {
        Catalog c;
        EXPECT_THROW(c.loadText(text, "bad", false), std::runtime_error) << text;
    }
}

TEST(DevsimCatalog, ProfileRemovesSetsAndAdds)
{
    Catalog c =
        fromText("1.3.6.1.4.1.9.1.0 a integer readonly - 1\n1.3.6.1.4.1.9.2.0 b integer readonly - 2\n");
    c.loadText("remove a\nset b 7\n1.3.6.1.4.1.9.3.0 c displaystr readonly - \"x\"\n", "profile", true);
    EXPECT_EQ(c.findByName("a"), nullptr);
    EXPECT_EQ(c.findByName("b")->initial.num, 7);
    EXPECT_EQ(c.findByName("c")->initial.bytes, "x");
    Catalog d = c;
    EXPECT_THROW(d.loadText("remove nothere\n", "profile", true), std::runtime_error);
    EXPECT_THROW(d.loadText("set b notanumber\n", "profile", true), std::runtime_error);
}

TEST(DevsimCatalog, ValueTextsQuoteAndHex)
{
    Value v;
    v.bytes = std::string("a\"\\\x01", 4);
    EXPECT_EQ(valueText(Syntax::DisplayStr, v), "\"a\\\"\\\\\\x01\"");
    EXPECT_EQ(valueText(Syntax::OctetStr, v), "0x61225C01");
    auto parsed = parseValue(Syntax::DisplayStr, "\"a\\\"\\\\\\x01\"");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->bytes, v.bytes);
}

// The shipped catalog must carry the objects the shell reads and writes, at their OIDs and
// syntaxes; it is transcribed on its own, so a mismatch with a form's table shows up in tests.
TEST(DevsimCatalog, ShippedCatalogHasTheShellObjects)
{
    Catalog c;
    c.load(kvtest::sourceDir() + "/tools/devsim/catalog/qrn5290ap.cat");
    struct Row {
        const char *name;
        const char *oid;
        Syntax syntax;
        Access access;
    };
    const std::string E = "1.3.6.1.4.1.32473.11.37.4";
    const Row rows[] = {
        {"sysDescr", "1.3.6.1.2.1.1.1.0", Syntax::DisplayStr, Access::ReadOnly},
        {"sysObjectID", "1.3.6.1.2.1.1.2.0", Syntax::ObjectId, Access::ReadOnly},
        {"sysUpTime", "1.3.6.1.2.1.1.3.0", Syntax::TimeTicks, Access::ReadOnly},
        {"sysContact", "1.3.6.1.2.1.1.4.0", Syntax::DisplayStr, Access::ReadWrite},
        {"sysName", "1.3.6.1.2.1.1.5.0", Syntax::DisplayStr, Access::ReadWrite},
        {"sysLocation", "1.3.6.1.2.1.1.6.0", Syntax::DisplayStr, Access::ReadWrite},
        {"stFirmwareVersion", ".4.1.1.1.0", Syntax::DisplayStr, Access::ReadOnly},
        {"countrycode", ".99.1.1.6.0", Syntax::DisplayStr, Access::ReadOnly},
        {"turbomodes", ".99.1.1.2.0", Syntax::Integer, Access::ReadOnly},
        {"apmodes", ".99.1.1.1.0", Syntax::Integer, Access::ReadOnly},
        {"mssidsupported", ".99.1.1.9.0", Syntax::Integer, Access::ReadOnly},
        {"rogueapsupported", ".99.1.1.10.0", Syntax::Integer, Access::ReadOnly},
        {"hGetIPFrom", ".1.2.1.0", Syntax::Integer, Access::ReadWrite},
        {"hIPAddress", ".1.2.2.0", Syntax::IpAddress, Access::ReadWrite},
        {"hSubnetMask", ".1.2.3.0", Syntax::IpAddress, Access::ReadWrite},
        {"hDefaultGateway", ".1.2.4.0", Syntax::IpAddress, Access::ReadWrite},
        {"sysRestart", ".3.2.1.0", Syntax::Integer, Access::ReadWrite},
        {"mssidisolatedsecurity", ".99.1.1.13.0", Syntax::Integer, Access::ReadOnly},
        {"syslogsupported", ".99.1.1.11.0", Syntax::Integer, Access::ReadOnly},
        {"clientinfosupported", ".99.1.1.7.0", Syntax::Integer, Access::ReadOnly},
        {"groupingsupported", ".99.1.1.34.0", Syntax::Integer, Access::ReadOnly},
        {"sslsupported", ".99.1.1.37.0", Syntax::Integer, Access::ReadOnly},
        {"ipRangeSupported", ".99.1.1.55.0", Syntax::Integer, Access::ReadOnly},
        {"cSaveActivate", ".5.1.0", Syntax::Integer, Access::ReadWrite},
        {"cDiscardChanges", ".5.2.0", Syntax::Integer, Access::ReadWrite},
        {"adAPMode", ".2.1.1.1.1", Syntax::Integer, Access::ReadWrite},
        {"sntptimesetmethod", ".3.5.7.0", Syntax::Integer, Access::ReadWrite},
        {"sntptimerefresh", ".3.5.9.0", Syntax::DisplayStr, Access::ReadWrite},
        {"admlimitIPStatus", ".3.1.3.0", Syntax::Integer, Access::ReadWrite},
        {"admLedStatus", ".3.1.5.0", Syntax::Integer, Access::ReadWrite},
        {"remotesrvip", ".3.3.1.0", Syntax::IpAddress, Access::ReadWrite},
        {"remotefilename", ".3.3.2.0", Syntax::DisplayStr, Access::ReadWrite},
        {"tftpcommand", ".3.3.4.0", Syntax::Integer, Access::ReadWrite},
        {"upgradesettingcommand", ".3.3.5.0", Syntax::Integer, Access::ReadWrite},
    };
    for (const Row &r : rows) {
        std::string oid = r.oid[0] == '.' ? E + r.oid : r.oid;
        const Object *o = c.findByName(r.name);
        ASSERT_NE(o, nullptr) << r.name;
        EXPECT_EQ(oidText(o->oid), oid) << r.name;
        EXPECT_EQ(o->syntax, r.syntax) << r.name;
        EXPECT_EQ(o->access, r.access) << r.name;
    }
    EXPECT_EQ(c.findByName("tftpcommand")->constraint.values, (std::vector<int64_t>{1, 2, 3, 4}));
    EXPECT_EQ(c.findByName("upgradesettingcommand")->constraint.values,
              (std::vector<int64_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(c.findByName("cSaveActivate")->constraint.values, (std::vector<int64_t>{0, 1}));
    EXPECT_EQ(c.findByName("admLedStatus")->constraint.values, (std::vector<int64_t>{0, 1}));
    // Every shipped profile applies cleanly.
    for (const char *p : {"nodeferred", "bridge", "newmssid", "admin2", "admin3", "ssl", "oldfirmware"}) {
        Catalog d = c;
        EXPECT_NO_THROW(d.applyProfile(kvtest::sourceDir() + "/tools/devsim/catalog/profiles/" + p + ".cat"))
            << p;
    }
}

namespace {

// Writes section files into a fresh folder and loads them after a small base.
std::string loadSectionsError(const std::vector<std::pair<std::string, std::string>> &files)
{
    std::string dir = kvtest::makeTempDir("devsim-sections-");
    for (const auto &[name, text] : files)
        devsimtest::writeWholeFile(dir + "/" + name, text);
    std::string error;
    try {
        Catalog c = fromText("prefix E 1.3.6.1.4.1.9\n");
        c.loadSections(dir);
        c.finish();
    } catch (const std::runtime_error &e) {
        error = e.what();
    }
    std::filesystem::remove_all(dir);
    return error;
}

} // namespace

TEST(DevsimCatalog, SectionsRepeatAnObjectOnlyWhenTheyAgree)
{
    const std::string a = "E.1.0 mode integer readwrite - 1\n";
    struct Case {
        std::string second;
        bool ok;
    };
    const Case cases[] = {
        {a, true},
        {"E.1.0 mode integer readwrite enum:1|2 1\n", true}, // adds a constraint
        {"E.1.0 mode integer readonly - 1\n", false},
        {"E.1.0 mode integer readwrite+now - 1\n", false},
        {"E.1.0 mode uinteger readwrite - 1\n", false},
        {"E.1.0 mode integer readwrite - 2\n", false},
        {"E.1.0 other integer readwrite - 1\n", false},
        {"E.2.0 mode integer readwrite - 1\n", false}, // one name, two OIDs
        {"prefix E 1.3.6.1.4.1.10\n", false},
    };
    for (const auto &c : cases) {
        std::string error = loadSectionsError({{"10-a.cat", a}, {"20-b.cat", c.second}});
        if (c.ok) {
            EXPECT_EQ(error, "") << c.second;
        } else {
            EXPECT_NE(error.find("20-b.cat:1"), std::string::npos) << c.second << error;
            EXPECT_NE(error.find(":1"), error.rfind(":1")) << "both places: " << error;
        }
    }
    // Constraints agree when they accept the same values.
    EXPECT_EQ(loadSectionsError({{"a.cat", "E.1.0 m integer readwrite range:1..3 1\n"},
                                 {"b.cat", "E.1.0 m integer readwrite enum:3|2|1 1\n"}}),
              "");
    EXPECT_NE(loadSectionsError({{"a.cat", "E.1.0 m integer readwrite range:1..3 1\n"},
                                 {"b.cat", "E.1.0 m integer readwrite enum:1|2 1\n"}}),
              "");
}

TEST(DevsimCatalog, SectionsLoadInNameOrder)
{
    std::string dir = kvtest::makeTempDir("devsim-sections-");
    devsimtest::writeWholeFile(dir + "/b.cat", "alias E.5.0 a.0 a\n");
    devsimtest::writeWholeFile(dir + "/a.cat", "prefix E 1.3.6.1.4.1.9\nE.5.1 a integer readwrite - 3\n");
    devsimtest::writeWholeFile(dir + "/c.txt", "not a catalog\n");
    Catalog c;
    c.loadSections(dir);
    c.finish();
    std::filesystem::remove_all(dir);
    ASSERT_NE(c.findByName("a.0"), nullptr);
    EXPECT_EQ(c.findByName("a.0")->storage, c.findByName("a")->oid);
    Catalog none;
    EXPECT_NO_THROW(none.loadSections("/nonexistent/devsim-sections"));
}

TEST(DevsimCatalog, RangeLinesTakeOneValuePerRowAndSeveralKeys)
{
    Catalog c = fromText("1.3.6.1.4.1.9.3.{1}.{1..3} ssid displaystr readwrite - \"a\" - \"c d\"\n"
                         "1.3.6.1.4.1.9.4.{1..2}.{5..6} t integer readonly - 1 2 3 4\n");
    EXPECT_EQ(oidText(c.findByName("ssid.1.3")->oid), "1.3.6.1.4.1.9.3.1.3");
    EXPECT_EQ(c.findByName("ssid.1.1")->initial.bytes, "a");
    EXPECT_EQ(c.findByName("ssid.1.2")->initial.bytes, "");
    EXPECT_EQ(c.findByName("ssid.1.3")->initial.bytes, "c d");
    EXPECT_EQ(c.findByName("t.1.6")->initial.num, 2);
    EXPECT_EQ(c.findByName("t.2.5")->initial.num, 3);
    // The line's name (or a leading part of a row's) reaches its rows, as a fault target.
    EXPECT_EQ(c.resolveTargets("ssid").size(), 3u);
    EXPECT_EQ(c.resolveTargets("t.2"),
              (std::vector<Oid>{{1, 3, 6, 1, 4, 1, 9, 4, 2, 5}, {1, 3, 6, 1, 4, 1, 9, 4, 2, 6}}));
    EXPECT_TRUE(c.resolveTargets("ssi").empty());
    for (const char *bad :
         {"1.3.9.{1..3} x integer readonly - 1 2\n", "1.3.9.{1..3} x integer readonly - 1 2 3 4\n",
          "1.3.9.{3..1} x integer readonly - 1\n", "1.3.9.{1..5000} x integer readonly - 1\n"}) {
        Catalog d;
        EXPECT_THROW(d.loadText(bad, "bad", false), std::runtime_error) << bad;
    }
}

TEST(DevsimCatalog, AliasesFollowTheirTarget)
{
    Catalog c = fromText("1.3.9.1.1 mode integer readwrite range:1..7 1\nalias 1.3.9.1.0 mode.0 mode\n");
    c.finish();
    const Object *alias = c.findByName("mode.0");
    ASSERT_NE(alias, nullptr);
    EXPECT_EQ(alias->constraint.max, 7);
    // A fault on the setting reaches its alias; one on the alias only the alias.
    EXPECT_EQ(c.resolveTargets("mode"), (std::vector<Oid>{{1, 3, 9, 1, 1}, {1, 3, 9, 1, 0}}));
    EXPECT_EQ(c.resolveTargets("1.3.9.1.0"), (std::vector<Oid>{{1, 3, 9, 1, 0}}));
    c.loadText("set mode.0 4\n", "p", true);
    c.finish();
    EXPECT_EQ(c.findByName("mode")->initial.num, 4);
    // A removed target takes its aliases along; an unknown one is an error.
    c.loadText("remove mode\n", "p", true);
    EXPECT_NO_THROW(c.finish());
    EXPECT_EQ(c.findByName("mode.0"), nullptr);
    Catalog d = fromText("alias 1.3.9.1.0 x.0 x\n");
    EXPECT_THROW(d.finish(), std::runtime_error);
    Catalog e = fromText(
        "1.3.9.1.0 y integer readonly - 1\n1.3.9.1.1 x integer readonly - 1\nalias 1.3.9.1.0 x.0 x\n");
    EXPECT_THROW(e.finish(), std::runtime_error);
}

TEST(DevsimCatalog, TablesRowsTransfersAndCommands)
{
    Catalog c = fromText("1.3.9.1.0 srv ipaddress readwrite - 0.0.0.0\n"
                         "1.3.9.2.0 file displaystr readwrite - -\n"
                         "1.3.9.3.0 get integer readwrite - 0\n"
                         "command get\n"
                         "transfer get=1 put srv file Log.RD\n"
                         "table known 1.3.9.5.1 max=3\n"
                         "1.3.9.5.1.2.* knownSsid displaystr readonly size:0..32 -\n"
                         "1.3.9.5.1.3.* knownCh integer readonly - 1\n"
                         "row known {1..2} knownSsid=\"two words\"\n"
                         "row known 3 knownCh=11\n");
    c.finish();
    const TableDecl *t = c.findTable("known");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->maxRows, 3u);
    ASSERT_EQ(t->rows.size(), 3u);
    EXPECT_EQ(t->rows.at(Oid{2}).at("knownSsid").bytes, "two words");
    EXPECT_EQ(t->rows.at(Oid{3}).at("knownCh").num, 11);
    EXPECT_EQ(c.tableOver(Oid{1, 3, 9, 5, 1, 3, 7}), t);
    EXPECT_EQ(c.resolveTargets("knownCh"), (std::vector<Oid>{{1, 3, 9, 5, 1, 3}}));
    const TransferDecl *x = c.findTransfer("get", 1);
    ASSERT_NE(x, nullptr);
    EXPECT_FALSE(x->get);
    EXPECT_EQ(x->fixture, "Log.RD");
    EXPECT_TRUE(c.isPlainCommand("get"));

    const char *bad[] = {
        "1.3.9.5.1.2.* c integer readonly - 0\n",                                 // no table
        "table t 1.3.9.5.1 keys=0\n",                                             // bad option
        "table t 1.3.9.5.1\nrow t 1.2\n",                                         // index of two arcs
        "table t 1.3.9.5.1\n1.3.9.5.1.2.* c integer readonly - 0\nrow t 1 d=1\n", // no column d
        "table t 1.3.9.5.1 max=1\n1.3.9.5.1.2.* c integer readonly - 0\nrow t {1..2}\n",
        "table t 1.3.9.5.1\ntable t 1.3.9.6.1\n",
        "transfer x=1 both a b\n",
        "transfer x=1 get a b Log.RD\n",
        "transfer x=1 put a b ../Log.RD\n",
    };
    for (const char *text : bad) {
        Catalog d;
        EXPECT_THROW(d.loadText(text, "bad", false), std::runtime_error) << text;
    }
    const char *badFinish[] = {
        "transfer x=1 put a b\n",                                    // no objects
        "1.3.9.5.1.2.0 o integer readonly - 0\ntable t 1.3.9.5.1\n", // object inside a table
        "1.3.9.1.0 x integer readonly - 0\n1.3.9.2.0 f displaystr readonly - -\n"
        "transfer x=1 get x f\n", // server object not an address
        "command nothing\n",
    };
    for (const char *text : badFinish) {
        Catalog d = fromText(text);
        EXPECT_THROW(d.finish(), std::runtime_error) << text;
    }
}
