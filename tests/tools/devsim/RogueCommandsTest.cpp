// The rogue AP commands of the simulated device on its real catalog: detection through the
// filters, the known list that takes at most 30 rows, the deletes.
#include "Device.h"

#include "TestEnv.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace devsim;

namespace {

const std::string kAir = "000000000001 \"g-open\" 6 50 AP g OFF 0\n"
                         "000000000002 \"b-wep\" 11 40 AP b WEP 0\n"
                         "000000000003 \"g-wpa2\" 1 30 AP g WPA2-Personal 0\n"
                         "000000000004 \"adhoc\" 3 20 AdHoc b OFF 0\n";

class RogueCommands : public ::testing::Test {
protected:
    void SetUp() override { state = kvtest::makeTempDir("devsim-rogue-"); }
    void TearDown() override { std::filesystem::remove_all(state); }

    Device make(const std::vector<std::string> &profiles = {})
    {
        const std::string path = kvtest::sourceDir() + "/tools/devsim/catalog/qrn5290ap.cat";
        DeviceOptions o;
        o.stateDir = state;
        o.fixtureDir = kvtest::sourceDir() + "/tools/devsim/catalog/fixtures";
        o.air = parseAir(kAir, "air");
        return Device(loadCatalog(path, defaultSectionsDir(path), profiles), o, nullptr);
    }
    static int set(Device &d, const char *name, int64_t value)
    {
        SetBinding b{d.catalog().findByName(name)->oid, Syntax::Integer, {}};
        b.value.num = value;
        return d.apply({b}, "test").status;
    }
    static std::vector<std::string> ssids(Device &d, const char *table, const char *column)
    {
        std::vector<std::string> out;
        TableRows rows = d.table(table);
        for (const Oid &index : rows.indexes())
            out.push_back(rows.cell(index, column)->bytes);
        return out;
    }
    std::string state;
};

} // namespace

struct Filters {
    int64_t bss, bands, security;
    std::vector<std::string> found;
};

class RogueDetect : public RogueCommands, public ::testing::WithParamInterface<Filters> {};

TEST_P(RogueDetect, FindsTheStationsTheFiltersLetThrough)
{
    Device d = make();
    ASSERT_EQ(set(d, "bssTypeDetected", GetParam().bss), NoError);
    ASSERT_EQ(set(d, "bandTypeDetected", GetParam().bands), NoError);
    ASSERT_EQ(set(d, "securityTypeDetected", GetParam().security), NoError);
    ASSERT_EQ(set(d, "rogueAPDetect", 1), NoError);
    EXPECT_EQ(ssids(d, "rogueDetectedTable", "rogueSSID"), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(Air, RogueDetect,
                         ::testing::Values(Filters{1, 12, 255, {"g-open", "b-wep", "g-wpa2"}},
                                           Filters{1, 8, 255, {"g-open", "g-wpa2"}},
                                           Filters{1, 12, 3, {"g-open", "b-wep"}},
                                           Filters{2, 12, 255, {"adhoc"}}, Filters{3, 4, 1, {"adhoc"}},
                                           Filters{3, 1, 255, {}}));

TEST_F(RogueCommands, AddMovesARowIntoTheKnownListWhichLaterDetectionsLeaveOut)
{
    Device d = make();
    ASSERT_EQ(set(d, "rogueAPDetect", 1), NoError);
    ASSERT_EQ(set(d, "addRogueAPtoAPList", 2), NoError);
    EXPECT_EQ(ssids(d, "rogueAPList", "rogueListSSID"), std::vector<std::string>{"b-wep"});
    EXPECT_EQ(ssids(d, "rogueDetectedTable", "rogueSSID"), (std::vector<std::string>{"g-open", "g-wpa2"}));
    ASSERT_EQ(set(d, "rogueAPDetect", 1), NoError);
    EXPECT_EQ(ssids(d, "rogueDetectedTable", "rogueSSID"), (std::vector<std::string>{"g-open", "g-wpa2"}));
    // Rows that are not there are refused and change nothing.
    EXPECT_EQ(set(d, "addRogueAPtoAPList", 9), InconsistentValue);
    EXPECT_EQ(set(d, "deleteRogueAPFromResult", 9), InconsistentValue);
    EXPECT_EQ(set(d, "deleteRogueAPfromAPList", 2), InconsistentValue);
    ASSERT_EQ(set(d, "deleteRogueAPfromAPList", 1), NoError);
    EXPECT_TRUE(ssids(d, "rogueAPList", "rogueListSSID").empty());
}

TEST_F(RogueCommands, AFullKnownListRefusesTheAdd)
{
    Device d = make({"knownapsfull"});
    ASSERT_EQ(set(d, "rogueAPDetect", 1), NoError);
    EXPECT_EQ(set(d, "addRogueAPtoAPList", 1), ResourceUnavailable);
    EXPECT_EQ(ssids(d, "rogueDetectedTable", "rogueSSID").size(), 3u);
    EXPECT_EQ(d.table("rogueAPList").size(), 30u);
}

TEST_F(RogueCommands, WithTheRadioOffNothingIsFound)
{
    Device d = make({"radiooff"});
    ASSERT_EQ(set(d, "rogueAPDetect", 1), NoError);
    EXPECT_EQ(d.table("rogueDetectedTable").size(), 0u);
}

TEST_F(RogueCommands, TheMultiSSIDProfilesApplyWithTheSections)
{
    Device d = make({"newmssid", "mssidguests"});
    EXPECT_EQ(d.read(*d.catalog().findByName("adMSSIDState")).num, 1);
    EXPECT_EQ(d.read(*d.catalog().findByName("adMSSIDSSID.1.3")).bytes, "staff");
}
