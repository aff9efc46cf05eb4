#include "Exception.h"
#include "KvMessageFile.h"
#include "KvSNMPErrors.h"
#include "TestEnv.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

TEST(ErrorsTest, MapsEveryRange)
{
    struct Case {
        int status;
        int code;
        const char *text;
    } cases[] = {
        {0, 0, "(KvSNMP++) Ok!"},
        {-1401, 0, "(KvSNMP++) Ok!"},
        {1400, 0, "(KvSNMP++) Ok!"},
        {2, -102, "(SNMP) Variable does not exist!"},
        {1, -101, "(SNMP) Response PDU Too Big!"},
        {19, -119, "(SNMP) Cannot download the overdue firmware!"},
        {-5, -405, "(SNMPClass) SNMP request timed out!"},
        {-9, -409, "(SNMPClass)Unknown error code!"},
        {-20, -420, "(SNMP Class) Transport is not supported!"},
        {-23, -423, "(SNMPClass) Blocked Mode Shutdown!"},
        {1401, -301, "(SNMPv3USM) error!"},
        {1414, -314, "(SNMPv3USM) Address error!"},
        {-1402, -201, "(SNMPv3) Unsupported Security Model!"},
        {-1418, -217, "(SNMPv3) Report sent!"},
        {1415, -528, "(KvSNMP++) Unknown error code!"},
        {-24, -528, "(KvSNMP++) Unknown error code!"},
        {20, -528, "(KvSNMP++) Unknown error code!"},
        {-1400, -528, "(KvSNMP++) Unknown error code!"},
        {-1419, -528, "(KvSNMP++) Unknown error code!"},
    };
    for (const auto &c : cases) {
        int code = 1;
        AnsiString message;
        KvSNMPMapError(c.status, code, message);
        EXPECT_EQ(code, c.code) << c.status;
        EXPECT_EQ(message, c.text) << c.status;
        // The predicates name exactly the ranges the mapping gives.
        EXPECT_EQ(KvSNMPCode::IsAgentError(code), c.status >= 1 && c.status <= 19) << c.status;
        EXPECT_EQ(KvSNMPCode::IsClassError(code), c.status >= -23 && c.status <= -1) << c.status;
    }
}

TEST(ErrorsTest, TablesHaveTheirSizesAndTags)
{
    EXPECT_EQ(gSnmpStatusTexts.size(), 19u);
    EXPECT_EQ(gSnmpV3MpTexts.size(), 17u);
    EXPECT_EQ(gSnmpV3UsmTexts.size(), 14u);
    EXPECT_EQ(gSnmpClassTexts.size(), 23u);
    EXPECT_EQ(gKvSNMPTexts.size(), 29u);
    EXPECT_EQ(gKvSNMPLogFormats[0], "Get: [ERROR] Request:[VARLIST]. Receive at [TIME].");
    EXPECT_EQ(gKvSNMPLogFormats[1], "Set: [ERROR] Request:[VARLIST]. Receive at [TIME].");
    for (const auto &t : gKvSNMPTexts)
        EXPECT_EQ(t.rfind("(KvSNMP++) ", 0), 0u) << t;
    for (const auto &t : gSnmpStatusTexts)
        EXPECT_EQ(t.rfind("(SNMP) ", 0), 0u) << t;
    EXPECT_EQ(KvSNMPText(-509), "(KvSNMP++) Invalid IP Address or DNS name!");
    EXPECT_EQ(KvSNMPText(-528), "(KvSNMP++) Unknown error code!");
    EXPECT_EQ(KvSNMPText(0), "(KvSNMP++) Ok!");
}

TEST(ErrorsTest, RaiseCarriesTextAndCode)
{
    try {
        KvSNMPRaise(-511);
        FAIL();
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message, "(KvSNMP++) Bad SNMP syntax!");
        EXPECT_EQ(e.HelpContext, -511);
    }
}

TEST(ErrorsTest, LoadedMessageFileReplacesTexts)
{
    std::string dir = kvtest::makeTempDir("snmpcore-msg");
    std::string file = dir + "/snmpclass.err";
    {
        std::ofstream out(file);
        for (int i = 1; i <= 5; ++i)
            out << "Klasse Fehler " << i << "\n";
    }
    ReadTextLines(gSnmpClassTexts, file);
    int code = 0;
    AnsiString message;
    KvSNMPMapError(-5, code, message);
    EXPECT_EQ(code, -405);
    EXPECT_EQ(message, "Klasse Fehler 5");
    KvSNMPMapError(-6, code, message);
    EXPECT_EQ(message, "(SNMPClass) Received SNMP Response!");
    KvSNMPResetTexts();
    KvSNMPMapError(-5, code, message);
    EXPECT_EQ(message, "(SNMPClass) SNMP request timed out!");
    std::filesystem::remove_all(dir);
}
