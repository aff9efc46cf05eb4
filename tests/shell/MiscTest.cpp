#include "Misc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

// The value-name lists as the device's MIB documentation gives them: position, list and its
// pairs written as in the documentation (value, blank, quoted name; pairs separated by ", ").
struct ExpectedList {
    int number;
    const KvOptionList *list;
    const char *name;
    const char *pairs;
};

const ExpectedList kExpected[] = {
    {1, &gHSSIDBroadcastNames, "gHSSIDBroadcastNames", R"x(0 "Disable", 1 "Enable")x"},
    {2, &gSysRestartNames, "gSysRestartNames", R"x(0 "nothing", 1 "reboot")x"},
    {3, &gHGetIPFromNames, "gHGetIPFromNames", R"x(1 "Static (Manual)", 2 "Dynamic (DHCP)")x"},
    {4, &gAdAPModeNames, "gAdAPModeNames", R"x(1 "Access Point", 2 "PtP Bridge", 3 "PtMP Bridge")x"},
    {5, &gAdAPModeNames2, "gAdAPModeNames2",
     R"x(1 "Access Point", 2 "PtP Bridge", 3 "PtMP Bridge", 4 "Universal Repeater", 5 "AP Client", 6 "PtP Without", 7 "P2MP Without")x"},
    {6, &gAdTransmitPowerNames, "gAdTransmitPowerNames",
     R"x(1 "Full", 2 "Half(-3dB)", 3 "Quarter(-6dB)", 4 "Eighth(-9dB)", 5 "Min")x"},
    {7, &gAdSuperModeNames, "gAdSuperModeNames",
     R"x(1 "Enable without Turbo", 2 "Enable with Static Turbo", 3 "Enable with Dynamic Turbo", 4 "Disable")x"},
    {8, &gAdSuperModeNames2, "gAdSuperModeNames2",
     R"x(1 "Enable without Turbo", 3 "Enable with Dynamic Turbo", 4 "Disable")x"},
    {9, &gAdSuperModeNames3, "gAdSuperModeNames3",
     R"x(1 "Enable without Turbo", 2 "Enable with Static Turbo", 3 "Enable with Dynamic Turbo", 4 "Disable")x"},
    {10, &gDisable4Enable1Names, "gDisable4Enable1Names", R"x(4 "Disable", 1 "Enable")x"},
    {11, &gAdRadioWaveNames, "gAdRadioWaveNames", R"x(0 "Off", 1 "On")x"},
    {12, &gAdWMMNames, "gAdWMMNames", R"x(0 "Disable", 1 "Enable")x"},
    {13, &gAdPreambleNames, "gAdPreambleNames", R"x(0 "Long Only", 1 "Short and Long")x"},
    {14, &gAd80211gonlyNames, "gAd80211gonlyNames", R"x(0 "Disable", 1 "Enable")x"},
    {15, &gAdAutoChannelScanNames, "gAdAutoChannelScanNames", R"x(0 "Disable", 1 "Enable")x"},
    {16, &gAdXRNames, "gAdXRNames", R"x(0 "Disable", 1 "Enable")x"},
    {17, &gAdAccSettingWirelessAccessControlNames, "gAdAccSettingWirelessAccessControlNames",
     R"x(1 "Accept", 2 "Reject", 3 "Disable")x"},
    {18, &gAdInternalStationConnectionNames, "gAdInternalStationConnectionNames",
     R"x(1 "Enable", 0 "Disable")x"},
    {19, &gAdEthernet2WLANAccessNames, "gAdEthernet2WLANAccessNames", R"x(1 "Enable", 0 "Disable")x"},
    {20, &gAdInternaStationConnectionBetweenagNames, "gAdInternaStationConnectionBetweenagNames",
     R"x(1 "Enable", 0 "Disable")x"},
    {21, &gAdAccSettingWirelessAccessControlNames2, "gAdAccSettingWirelessAccessControlNames2",
     R"x(1 "Accept", 2 "Reject", 3 "Disable")x"},
    {22, &gAdInternalStationConnectionNames2, "gAdInternalStationConnectionNames2",
     R"x(0 "Disabled", 1 "Enabled")x"},
    {23, &gAdEthernet2WLANAccessNames2, "gAdEthernet2WLANAccessNames2", R"x(0 "Disabled", 1 "Enabled")x"},
    {24, &gAdSecAuthenticationNames, "gAdSecAuthenticationNames",
     R"x(1 "Open System", 2 "Shared Key", 3 "Open System / Shared Key", 4 "WPA-Personal", 5 "WPA-Enterprise", 6 "WPA2-Personal", 7 "WPA2-Enterprise", 8 "WPA-Auto-Personal", 9 "WPA-Auto-Enterprise")x"},
    {25, &gAdSecEncryptionNames, "gAdSecEncryptionNames", R"x(0 "Disable", 1 "Enable")x"},
    {26, &gAdSecValidKeyNames, "gAdSecValidKeyNames", R"x(1 "First", 2 "Second", 3 "Third", 4 "Fourth")x"},
    {27, &gAdSecCipherTypeNames, "gAdSecCipherTypeNames", R"x(1 "Auto", 2 "AES", 3 "TKIP")x"},
    {28, &gLoadBalanceNames, "gLoadBalanceNames", R"x(0 "Disable", 1 "Enable")x"},
    {29, &gLinkIntegrateNames, "gLinkIntegrateNames", R"x(0 "Disable", 1 "Enable")x"},
    {30, &gStaticStatusNames, "gStaticStatusNames", R"x(0 "Disable", 1 "Enable")x"},
    {31, &gRestartNames, "gRestartNames", R"x(1 "True", 2 "False")x"},
    {32, &gFactoryDefaultNames, "gFactoryDefaultNames", R"x(1 "True", 2 "False")x"},
    {33, &gTftpcommandNames, "gTftpcommandNames", R"x(1 "Connect", 2 "Get", 3 "Put", 4 "Nothing")x"},
    {34, &gUpgradesettingcommandNames, "gUpgradesettingcommandNames",
     R"x(1 "Firmwareupdate", 2 "Configsetting", 3 "Configsave", 4 "Reboot", 5 "Factoryreset", 6 "Nothing")x"},
    {35, &gUSSLCertUpdateNames, "gUSSLCertUpdateNames", R"x(1 "sslcertupdate", 2 "nothing")x"},
    {36, &gAdmlimitIPStatusNames, "gAdmlimitIPStatusNames", R"x(0 "Disable", 1 "Enable")x"},
    {37, &gTelnetNames, "gTelnetNames", R"x(0 "Disable", 1 "Enable")x"},
    {38, &gTimeoutNames, "gTimeoutNames",
     R"x(0 "Never", 1 "1 Min", 2 "3 Mins", 3 "5 Mins", 4 "10 Mins", 5 "15 Mins")x"},
    {39, &gSshNames, "gSshNames", R"x(0 "Disable", 1 "Enable")x"},
    {40, &gGetIPFromNames, "gGetIPFromNames", R"x(1 "Manual", 2 "Dynamic")x"},
    {41, &gTurboNames, "gTurboNames", R"x(1 "Turbo", 2 "Static", 3 "Dynamic", 4 "Disable")x"},
    {42, &gOpensystemNames, "gOpensystemNames",
     R"x(1 "Opensystem", 2 "Sharedkey", 3 "Opensystemsharedkey", 4 "Wpa-psk", 5 "Wpa-eap")x"},
    {43, &gEnableDisableNames, "gEnableDisableNames", R"x(1 "Enable", 0 "Disable")x"},
    {44, &gEnableDisableNames2, "gEnableDisableNames2", R"x(1 "Enable", 0 "Disable")x"},
    {45, &gStSuperModeNames, "gStSuperModeNames",
     R"x(1 "Enable without Turbo", 2 "Enable with Static Turbo", 3 "Enable with Dynamic Turbo", 4 "Disabled")x"},
    {46, &gStSuperModeNames2, "gStSuperModeNames2",
     R"x(1 "Enable without Turbo", 2 "Enable with Static Turbo", 3 "Enable with Dynamic Turbo", 4 "Disabled")x"},
    {47, &gAdGetClientNames, "gAdGetClientNames", R"x(0 "Nothing", 1 "acquire")x"},
    {48, &gClientAuthenticationNames, "gClientAuthenticationNames",
     R"x(0 "Open System", 1 "Shared Key", 2 "WPA-Enterprise", 3 "WPA-Personal", 4 "Auto", 5 "WPA2-Enterprise", 6 "WPA2-Personal", 7 "WPA-Auto-Enterprise", 8 "WPA-Auto-Personal")x"},
    {49, &gDynamicIPFunctionNames, "gDynamicIPFunctionNames", R"x(0 "Disable", 1 "Enable")x"},
    {50, &gDynamicStatusNames, "gDynamicStatusNames", R"x(0 "OFF", 1 "ON")x"},
    {51, &gStatusNames, "gStatusNames", R"x(0 "OFF", 1 "ON")x"},
    {52, &gAdRefreshNames, "gAdRefreshNames", R"x(0 "nothing", 1 "refresh")x"},
    {53, &gAdVlanStateNames, "gAdVlanStateNames", R"x(0 "disabled", 1 "enabled")x"},
    {54, &gAdMSSIDStateNames, "gAdMSSIDStateNames", R"x(0 "disabled", 1 "enabled")x"},
    {55, &gAdMSSIDAuthNames, "gAdMSSIDAuthNames",
     R"x(1 "Open System", 2 "Shared Key", 3 "Open System / Shared Key", 4 "WPA-Personal", 5 "WPA-Enterprise", 6 "WPA2-Personal", 7 "WPA2-Enterprise", 8 "WPA-Auto-Personal", 9 "WPA-Auto-Enterprise")x"},
    {56, &gAdMSSIDEncryptionNames, "gAdMSSIDEncryptionNames", R"x(0 "disabled", 1 "enabled")x"},
    {57, &gAdMSSIDKeyIndexNames, "gAdMSSIDKeyIndexNames",
     R"x(1 "first", 2 "second", 3 "third", 4 "fourth")x"},
    {58, &gAdVlanStateNames2, "gAdVlanStateNames2", R"x(0 "Disable", 1 "Enable")x"},
    {59, &gAdMSSIDIdvStateNames, "gAdMSSIDIdvStateNames", R"x(0 "Disable", 1 "Enable")x"},
    {60, &gAdMSSIDAuthNames2, "gAdMSSIDAuthNames2",
     R"x(1 "Open System", 2 "Shared Key", 3 "Open System / Shared Key", 4 "WPA-Personal", 5 "WPA-Enterprise", 6 "WPA2-Personal", 7 "WPA2-Enterprise", 8 "WPA-Auto-Personal", 9 "WPA-Auto-Enterprise")x"},
    {61, &gAdMSSIDEncryptionNames2, "gAdMSSIDEncryptionNames2", R"x(0 "Disable", 1 "Enable")x"},
    {62, &gAdMSSIDKeyIndexNames2, "gAdMSSIDKeyIndexNames2",
     R"x(1 "First", 2 "Second", 3 "Third", 4 "Fourth")x"},
    {63, &gAdMSSIDCipherTypeNames, "gAdMSSIDCipherTypeNames", R"x(1 "Auto", 2 "AES", 3 "TKIP")x"},
    {64, &gAdMSSIDKeyTypeNames, "gAdMSSIDKeyTypeNames", R"x(2 "HEX", 1 "ASCII")x"},
    {65, &gAdMSSIDIdvAccountModeNames, "gAdMSSIDIdvAccountModeNames", R"x(0 "Disable", 1 "Enable")x"},
    {66, &gAdMSSIDSuppressNames, "gAdMSSIDSuppressNames", R"x(0 "Disable", 1 "Enable")x"},
    {67, &gAdMSSIDWmmNames, "gAdMSSIDWmmNames", R"x(0 "Disable", 1 "Enable")x"},
    {68, &gAdMSSIDdyVlanStateNames, "gAdMSSIDdyVlanStateNames", R"x(1 "Manual", 2 "Dynamic")x"},
    {69, &gAdMSSIDEthernetWithoutTagNames, "gAdMSSIDEthernetWithoutTagNames", R"x(0 "Disable", 1 "Enable")x"},
    {70, &gAdMSSIDStateNames2, "gAdMSSIDStateNames2", R"x(0 "Disabled", 1 "Enabled")x"},
    {71, &gAdMSSIDEncryptionNames3, "gAdMSSIDEncryptionNames3", R"x(0 "Disable", 1 "Enable")x"},
    {72, &gBssTypeDetectedNames, "gBssTypeDetectedNames", R"x(1 "AP BSS", 2 "Ad Hoc", 3 "Both")x"},
    {73, &gRogueAPDetectNames, "gRogueAPDetectNames", R"x(0 "nothing", 1 "detect")x"},
    {74, &gRogueModeNames, "gRogueModeNames", R"x(0 "a", 2 "b", 3 "g")x"},
    {75, &gRogueSecurityNames, "gRogueSecurityNames",
     R"x(0 "OFF", 1 "WEP", 2 "WPA-Enterprise", 3 "WPA-Personal", 4 "WPA2-Enterprise", 5 "WPA2-Personal", 6 "WPA-Auto-Enterprise", 7 "WPA-Auto-Personal")x"},
    {76, &gRogueModeNames2, "gRogueModeNames2", R"x(0 "a", 2 "b", 3 "g")x"},
    {77, &gRogueSecurityNames2, "gRogueSecurityNames2",
     R"x(0 "OFF", 1 "WEP", 2 "WPA-Enterprise", 3 "WPA-Personal", 4 "WPA2-Enterprise", 5 "WPA2-Personal", 6 "WPA-Auto-Enterprise", 7 "WPA-Auto-Personal")x"},
    {78, &gAdSystemLevelNames, "gAdSystemLevelNames", R"x(0 "disable", 1 "enable")x"},
    {79, &gAdWirelessLevelNames, "gAdWirelessLevelNames", R"x(0 "disable", 1 "enable")x"},
    {80, &gAdNoticeLevelNames, "gAdNoticeLevelNames", R"x(0 "disable", 1 "enable")x"},
    {81, &gSystemLogGetLogNames, "gSystemLogGetLogNames", R"x(0 "nothing", 1 "get")x"},
    {82, &gDisableEnableNames, "gDisableEnableNames", R"x(0 "disable", 1 "enable")x"},
    {83, &gAdRemoteLogStateNames, "gAdRemoteLogStateNames", R"x(0 "disable", 1 "enable")x"},
    {84, &gAdClearLocalLogNames, "gAdClearLocalLogNames", R"x(0 "nothing", 1 "clear")x"},
    {85, &gSmtpStateNames, "gSmtpStateNames", R"x(1 "Disable", 2 "Enable")x"},
    {86, &gAdSecKeyTypeNames, "gAdSecKeyTypeNames", R"x(2 "HEX", 1 "ASCII")x"},
    {87, &gAdAntennaNames, "gAdAntennaNames", R"x(0 "Diversity", 1 "Left Antenna", 2 "Right Antenna")x"},
    {88, &gAdbgModeNames, "gAdbgModeNames", R"x(0 "11g only", 1 "11b only", 2 "Mixed")x"},
    {89, &gWdsGetNames, "gWdsGetNames", R"x(0 "nothing", 1 "get")x"},
    {90, &gWdsBandNames, "gWdsBandNames", R"x(0 "A", 1 "B", 2 "G")x"},
    {91, &gWdsAuthenticationNames, "gWdsAuthenticationNames",
     R"x(0 "Open System", 1 "Shared Key", 2 "WPA-Enterprise", 3 "WPA-Personal", 4 "Open System / Shared Key", 5 "WPA2-Enterprise", 6 "WPA2-Personal", 7 "WPA-Auto-Enterprise", 8 "WPA-Auto-Personal")x"},
    {92, &gWdsChannelNames, "gWdsChannelNames", R"x(0 "Disable", 1 "Enable")x"},
    {93, &gAdSecAccountModeNames, "gAdSecAccountModeNames", R"x(0 "Disable", 1 "Enable")x"},
    {94, &gCSaveActivateNames, "gCSaveActivateNames", R"x(0 "Nothing", 1 "Activate")x"},
    {95, &gCDiscardChangesNames, "gCDiscardChangesNames", R"x(0 "Nothing", 1 "Discard")x"},
    {96, &gAdAPModeNames3, "gAdAPModeNames3",
     R"x(1 "ap", 2 "ptpBridge", 3 "ptmpBridge", 6 "ptpBridgeNoap", 7 "ptmpBridgeNoap")x"},
    {97, &gAdmLedStatusNames, "gAdmLedStatusNames", R"x(0 "Disabled", 1 "Enabled")x"},
    {98, &gAdDatarateControlstatusNames, "gAdDatarateControlstatusNames", R"x(0 "Disable", 1 "Enable")x"},
    {99, &gAdDataRateStatusNames, "gAdDataRateStatusNames", R"x(0 "Disable", 1 "Enable", 2 "Basic")x"},
    {100, &gAdSecbackupRADIUSStatusNames, "gAdSecbackupRADIUSStatusNames", R"x(0 "Disable", 1 "Enable")x"},
    {101, &gAdSecBackupAccountModeNames, "gAdSecBackupAccountModeNames", R"x(0 "Disable", 1 "Enable")x"},
    {102, &gMultioverwdsconsistentNames, "gMultioverwdsconsistentNames", R"x(0 "nothing", 1 "consistent")x"},
    {103, &gUsedSntpServNames, "gUsedSntpServNames", R"x(1 "usedSntpServ", 2 "manually")x"},
    {104, &gAdmManagerVLANIDStatusNames, "gAdmManagerVLANIDStatusNames", R"x(0 "Disable", 1 "Enable")x"},
    {105, &gIgmpSnoopingNames, "gIgmpSnoopingNames", R"x(0 "Disable", 1 "Enable")x"},
    {106, &gAdministrateApWithWlanNames, "gAdministrateApWithWlanNames", R"x(0 "Disable", 1 "Enable")x"},
    {107, &gAdmManagerVLANIDStatusNames2, "gAdmManagerVLANIDStatusNames2", R"x(0 "Disable", 1 "Enable")x"},
    {108, &gSnmpTrapStatusNames, "gSnmpTrapStatusNames", R"x(0 "Disable", 1 "Enable")x"},
    {109, &gSnmpTrapSystemLevelNames, "gSnmpTrapSystemLevelNames", R"x(0 "Disable", 1 "Enable")x"},
    {110, &gSnmpTrapWirelessLevelNames, "gSnmpTrapWirelessLevelNames", R"x(0 "Disable", 1 "Enable")x"},
    {111, &gPingcontrolNames, "gPingcontrolNames", R"x(0 "Disable", 1 "Enable")x"},
    {112, &gManagementSSIDstateNames, "gManagementSSIDstateNames", R"x(0 "Disable", 1 "Enable")x"},
    {113, &gAdMSSIDIdvStateNames2, "gAdMSSIDIdvStateNames2", R"x(0 "Disable", 1 "Enable")x"},
    {114, &gAdMSSIDPriorityStateNames, "gAdMSSIDPriorityStateNames", R"x(0 "Disable", 1 "Enable")x"},
};

std::vector<std::pair<int, std::string>> parsePairs(const std::string &text)
{
    std::vector<std::pair<int, std::string>> pairs;
    std::size_t at = 0;
    while (at < text.size()) {
        auto blank = text.find(' ', at);
        auto open = text.find('"', blank);
        auto close = text.find('"', open + 1);
        if (blank == std::string::npos || open != blank + 1 || close == std::string::npos)
            ADD_FAILURE() << "bad expected pair text: " << text.substr(at);
        if (blank == std::string::npos || close == std::string::npos)
            break;
        pairs.emplace_back(std::stoi(text.substr(at, blank - at)), text.substr(open + 1, close - open - 1));
        at = close + 1;
        if (text.compare(at, 2, ", ") == 0)
            at += 2;
    }
    return pairs;
}

TEST(MibOptionLists, ThereAre114InConstructionOrder)
{
    ASSERT_EQ(std::size(kExpected), 114u);
    ASSERT_EQ(kMibOptionListCount, 114u);
    for (std::size_t i = 0; i < std::size(kExpected); ++i) {
        EXPECT_EQ(kExpected[i].number, static_cast<int>(i + 1));
        EXPECT_EQ(gMibOptionLists[i], kExpected[i].list)
            << "position " << i + 1 << " should be " << kExpected[i].name;
    }
}

TEST(MibOptionLists, EveryListHoldsItsPairsInOrder)
{
    for (const auto &e : kExpected) {
        SCOPED_TRACE(e.name);
        auto pairs = parsePairs(e.pairs);
        ASSERT_FALSE(pairs.empty());
        EXPECT_EQ(e.list->Kind(), static_cast<uint32_t>(okNumber));
        EXPECT_EQ(e.list->CaseFlag(), 0);
        ASSERT_EQ(e.list->Count(), static_cast<int32_t>(pairs.size()));
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const KvOptionEntry *p = e.list->GetPair(static_cast<int>(i));
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->Value, pairs[i].first) << "pair " << i;
            EXPECT_EQ(p->Name, pairs[i].second) << "pair " << i;
        }
    }
}

TEST(MibOptionLists, TotalPairCount)
{
    int total = 0;
    for (auto *list : gMibOptionLists)
        total += list->Count();
    EXPECT_EQ(total, 328);
}

struct Conversion {
    const KvOptionList *list;
    const char *from;
    const char *to;
    bool toName; // value to name, else name to value
};

TEST(MibOptionLists, Conversions)
{
    const Conversion cases[] = {
        {&gAdAPModeNames2, "5", "AP Client", true},
        {&gAdAPModeNames2, "PtP Without", "6", false},
        {&gAdAPModeNames2, "8", "8", true},
        {&gAdAPModeNames2, "0", "0", true},
        {&gUpgradesettingcommandNames, "Reboot", "4", false},
        {&gTftpcommandNames, "Put", "3", false},
        {&gAdSuperModeNames2, "2", "2", true},
        {&gAdSuperModeNames2, "3", "Enable with Dynamic Turbo", true},
        {&gCSaveActivateNames, "activate", "1", false},
        {&gAdMSSIDKeyTypeNames, "HEX", "2", false},
        {&gRogueModeNames, "2", "b", true},
        {&gHSSIDBroadcastNames, "(NULL)", "(NULL)", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        if (c.toName)
            EXPECT_EQ(c.list->ValueToName(c.from), c.to);
        else
            EXPECT_EQ(c.list->NameToValue(c.from), c.to);
    }
}

TEST(MibOptionLists, NonAscendingListsKeepTheirOrder)
{
    EXPECT_EQ(gAdInternalStationConnectionNames.IndexOfName("Enable"), 0);
    EXPECT_EQ(gAdInternalStationConnectionNames.IndexOfValue("0"), 1);
    EXPECT_EQ(gDisable4Enable1Names.IndexOfValue("4"), 0);
    EXPECT_EQ(gAdSuperModeNames2.IndexOfValue("2"), -1);
}

} // namespace
