// Home \ Wireless against the simulated device: what it reads and shows, and what Apply
// writes, in order.
#include "CountdownWatch.h"
#include "KeyText.h"
#include "KvSNMPDeviceWait.h"
#include "MainForm.h"
#include "Misc.h"
#include "Snmp.h"
#include "StatusTrail.h"
#include "WindowFit.h"
#include "WirlessTestSupport.h"

#include <QTimer>

#include <sstream>

using namespace formtest;

namespace {

const char *const kGuestsOff =
    "adVlanState=0 adMSSIDIdvState.1.2=0 adMSSIDIdvState.1.3=0 adMSSIDIdvState.1.4=0 "
    "adMSSIDEncryption.1.2=0 adMSSIDEncryption.1.3=0 adMSSIDEncryption.1.4=0";
const char *const kSSIDLine = "hSSID=\"QRN-5290AP\" hSSIDBroadcast=1 hChannel=6";

std::string zeroMACs(int from)
{
    std::string out;
    for (int i = from; i <= 8; ++i)
        out += " adPtPRemoteAPMACAddress.1." + std::to_string(i) + "=0x000000000000";
    return out;
}

} // namespace

TEST_F(Wirless, OpensFromTheMenuWithWhatItRead)
{
    startDevice();
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.Home1->Click();
    ASSERT_TRUE(menu.hWirelessBand1->Enabled());
    std::string caption, tab, ssid, channel, mode, auth;
    std::vector<std::string> modes;
    EXPECT_TRUE(openFromMenu<TFM_Wirless>(menu.hWirelessBand1, [&](TFM_Wirless &f) {
        caption = f.Text();
        tab = f.TS_11a->Text();
        ssid = f.Ed_SSIDa->Text();
        channel = f.CB_Chana->Text();
        modes = items(f.ED_APModeTempComboBox);
        mode = f.ED_APModeTempComboBox->Text();
        auth = f.Ed_SecAuthaTemp->Text();
        EXPECT_FALSE(f.TS_11g->TabVisible());
        EXPECT_TRUE(f.GroupBox4->Visible());
        EXPECT_FALSE(f.GroupBox1->Visible());
    }));
    EXPECT_EQ(FM_Wirless, nullptr);
    EXPECT_EQ(caption, "Home \\ Wireless");
    EXPECT_EQ(tab, "IEEE 802.11g");
    EXPECT_EQ(ssid, "QRN-5290AP");
    EXPECT_EQ(channel, "6");
    EXPECT_EQ(modes, (std::vector<std::string>{"Access Point", "WDS with AP", "WDS", "Universal Repeater",
                                               "Wireless Client"}));
    EXPECT_EQ(mode, "Access Point");
    EXPECT_EQ(auth, "Open System");
    expectNoSet();
}

// Each group of the form is read with one request when it opens, and nothing more.
TEST_F(Wirless, OpeningReadsEachGroupOnce)
{
    startDevice();
    for (TTimer *t : {mainWindow().Timer1, mainWindow().LedStatus, mainWindow().LedBlink})
        t->SetEnabled(false);
    // The reads the main window sent before its timers stopped are answered (and so logged)
    // first, however slow the machine: none of them is counted as the form's.
    ASSERT_TRUE(pumpUntil([] { return gKvSNMPSession->outstanding() == 0; }, 10000));
    const std::size_t before = sim->requestLog().size();
    auto f = openWireless();
    pump(100);
    std::istringstream log(sim->requestLog().substr(before));
    int requests = 0;
    for (std::string line; std::getline(log, line);)
        ++requests;
    const char *const groups[] = {"hSSIDBroadcast",
                                  "adbgMode",
                                  "adSuperMode",
                                  "adDynamicChannelList",
                                  "adStaticChannelList",
                                  "adRadioWave",
                                  "multioverwdsconsistent",
                                  "adAutoChannelScan",
                                  "adAPMode",
                                  "adSecAuthentication-a",
                                  "adSecKeyType",
                                  "adVlanState",
                                  "adMSSIDKeyIndex.1.2",
                                  "SecRADIUSPort",
                                  "secBackupRadiusSupported",
                                  "secBackupAccountSupported",
                                  "adSecAccountMode",
                                  "adSecPassPhrase"};
    for (const char *first : groups)
        EXPECT_EQ(requestsNaming(first, "get"), 1) << first;
    EXPECT_EQ(requestsNaming("hSSID", "get"), 2); // the SSID and AP-mode groups both hold it
    EXPECT_EQ(requests, static_cast<int>(std::size(groups)));
    EXPECT_EQ(requestsNaming("adRefresh"), 0);
}

TEST_F(Wirless, DeviceWithoutMultiSSIDIsShorterAndWritesTheRadioOnly)
{
    startDevice({"--profile", "nomssid"});
    auto f = openWireless();
    kvtest::expectTextsFit(f.get());
    EXPECT_EQ(f->ClientHeight(), TFM_Wirless::kDesignClientHeight - 480);
    EXPECT_FALSE(f->ED_APModeTempComboBox->Visible());
    EXPECT_FALSE(f->GroupBox4->Visible());
    EXPECT_EQ(f->APModeBinding, nullptr);
    apply(*f);
    expectSets({kSSIDLine, "adSuperMode=4", "adRadioWave=1"});
}

// The device keeps the changes pending until they are activated: no countdown, no restart.
TEST_F(Wirless, ApplyWritesEveryGroupInOrder)
{
    startDevice();
    auto f = openWireless();
    type(f->Ed_SSIDa, "office");
    CountdownWatch watch;
    apply(*f);
    EXPECT_FALSE(watch.shown());
    expectSets({kGuestsOff, "hSSID=\"office\" hSSIDBroadcast=1 hChannel=6", "adSuperMode=4", "adAPMode=1",
                "adAutoChannelScan=0", "adRadioWave=1", "adSecAuthentication-a=1 adSecEncryption-a=0",
                "adSecKeyType=2", "adSecAccountMode=0"});
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting Success!");
    EXPECT_EQ(f->Ed_SSIDa->Text(), "office");
}

TEST_F(Wirless, WDSWithOnePartnerWritesSevenEmptySlotsInOneSet)
{
    startDevice();
    auto f = openWireless();
    choose(f->ED_APModeTempComboBox, "WDS");
    EXPECT_EQ(f->ED_APModeComboBox->Text(), "P2MP Without");
    EXPECT_EQ(f->GroupBox1->Text(), " WDS without AP ");
    type(f->Ed_ReMAddra0, "00904c910001");
    apply(*f);
    expectSets({kGuestsOff, kSSIDLine, "adSuperMode=4",
                "adAPMode=7 adPtPRemoteAPMACAddress.1.1=0x00904C910001" + zeroMACs(2), "adAutoChannelScan=0",
                "adRadioWave=1", "adSecAuthentication-a=1 adSecEncryption-a=0", "adSecKeyType=2",
                "adSecAccountMode=0"});
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting Success!");
    EXPECT_EQ(f->Ed_ReMAddra1->Text(), ""); // empty slots are shown empty again
    EXPECT_EQ(f->ED_APModeTempComboBox->Text(), "WDS");
}

// The client's access point is not chosen yet: the empty MAC goes out, not an empty value.
TEST_F(Wirless, ClientWithoutRootMACWritesTheEmptyMAC)
{
    startDevice();
    auto f = openWireless();
    choose(f->ED_APModeTempComboBox, "Wireless Client");
    EXPECT_EQ(f->ED_APModeComboBox->Text(), "AP Client");
    type(f->Ed_SSID, "Office AP");
    apply(*f);
    const std::vector<std::string> s = sets();
    ASSERT_GE(s.size(), 4u);
    EXPECT_EQ(s[1], "hSSIDBroadcast=1 hChannel=6");
    EXPECT_EQ(s[3], "adAPMode=5 adAPRRootAPMACAddress=0x000000000000 hSSID=\"Office AP\"");
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting Success!");
    EXPECT_EQ(f->ED_APModeTempComboBox->Text(), "Wireless Client"); // read back as written
}

struct WirlessModeName {
    int device;
    int stringChange;
    const char *shown;
    const char *kept; // the device value the form then holds
    int apModes = 91; // the modes the device offers
};

class WirlessModeNames : public Wirless, public ::testing::WithParamInterface<WirlessModeName> {};

// Display names and device values map both ways, the repeater and client under either name.
TEST_P(WirlessModeNames, ShowTheDeviceModeByValue)
{
    const WirlessModeName c = GetParam();
    startDevice({"--profile", profile("set adAPMode " + std::to_string(c.device) +
                                      "\nset apmodestringchangeSupported " + std::to_string(c.stringChange) +
                                      "\nset apmodes " + std::to_string(c.apModes) + "\n")});
    auto f = openWireless();
    EXPECT_EQ(f->ED_APModeTempComboBox->Text(), c.shown);
    EXPECT_EQ(f->ED_APModeComboBox->Text(), c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WirlessModeNames,
    ::testing::Values(WirlessModeName{4, 1, "Universal Repeater", "Universal Repeater"},
                      WirlessModeName{4, 0, "AP Repeater", "Universal Repeater"},
                      WirlessModeName{5, 1, "Wireless Client", "AP Client"},
                      WirlessModeName{5, 0, "AP Client", "AP Client"},
                      WirlessModeName{3, 1, "WDS with AP", "PtMP Bridge"},
                      WirlessModeName{7, 1, "WDS", "P2MP Without"},
                      // The WDS names are multipoint: a point-to-point mode is kept under its name.
                      WirlessModeName{2, 1, "PtP Bridge", "PtP Bridge"},
                      WirlessModeName{6, 1, "PtP Without", "PtP Without"},
                      WirlessModeName{2, 0, "PtP Bridge", "PtP Bridge", 31}));

namespace {

struct WirlessRepeat {
    const char *what;
    int applies;
};

const WirlessRepeat kRepeats[] = {{"applyTwice", 2}, {"refreshThenApply", 1}};

} // namespace

// Values the device holds outside the form's lists, left untouched by the user: every write
// of them carries what the device holds.
class WirlessKeptValues : public Wirless, public ::testing::WithParamInterface<WirlessRepeat> {
protected:
    // Two Applies, or a Refresh then an Apply, each after the radio's read has come back.
    static void act(TFM_Wirless &f)
    {
        auto radioRead = [&] { EXPECT_TRUE(pumpUntil([&] { return !f.RadioWaveBinding->Busy; }, 5000)); };
        if (GetParam().applies == 1) {
            click(f.Bt_Refresh);
            radioRead();
        }
        for (int i = 0; i < GetParam().applies; ++i) {
            apply(f);
            radioRead();
        }
    }
    void expectEveryWrite(const std::string &object, const std::string &value)
    {
        int written = 0;
        for (const std::string &set : sets()) {
            std::istringstream words(set);
            for (std::string word; words >> word;) {
                if (word.rfind(object + "=", 0) != 0)
                    continue;
                ++written;
                EXPECT_EQ(word, object + "=" + value) << set;
            }
        }
        EXPECT_EQ(written, GetParam().applies) << object;
    }
};

// An ASCII key goes out as its hexadecimal text after a Refresh and on a second Apply too.
TEST_P(WirlessKeptValues, AsciiKey)
{
    startDevice(
        {"--profile",
         profile("set adSecKeyType 1\nset adSecEncryption-a 1\nset adSecKey-80211a-1 \"6162636465\"\n")});
    auto f = openWireless();
    act(*f);
    EXPECT_EQ(f->Ed_Key1a->Text(), "abcde");
    EXPECT_EQ(f->Ed_KeySize->Text(), "64 Bits");
    expectEveryWrite("adSecKey-80211a-1", "\"6162636465\"");
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting Success!");
}

// A channel the list lacks, or a list that reads empty: the device's channel is shown and kept,
// never written; the rest of its group is.
TEST_P(WirlessKeptValues, Channel)
{
    for (const char *lines : {"set hChannel 13\n", "set hChannelList \"\"\n"}) {
        SCOPED_TRACE(lines);
        sim.reset();
        startDevice({"--profile", profile(lines)});
        auto f = openWireless();
        const std::string channel = std::string(lines).find("13") != std::string::npos ? "13" : "6";
        EXPECT_EQ(f->CB_Chana->Text(), channel);
        act(*f);
        EXPECT_EQ(f->CB_Chana->Text(), channel);
        // After a Refresh an empty list offers the usual channels, the device's among them.
        if (channel == "13") {
            EXPECT_EQ(requestsNaming("hChannel", "set"), 0);
        }
        for (const std::string &set : sets()) {
            if (set.find("hChannel=") != std::string::npos) {
                EXPECT_NE(set.find("hChannel=" + channel), std::string::npos) << set;
            }
        }
        expectEveryWrite("hSSIDBroadcast", "1");
        EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting Success!");
    }
}

// A point-to-point bridge, which the WDS list does not offer, is shown under its own name with
// its partner, and stays as it is.
TEST_P(WirlessKeptValues, PointToPointBridge)
{
    startDevice({"--profile", profile("set adAPMode 2\nset adPtPRemoteAPMACAddress.1.1 0x00904C910001\n")});
    auto f = openWireless();
    EXPECT_EQ(f->ED_APModeTempComboBox->Text(), "PtP Bridge");
    EXPECT_TRUE(f->GroupBox1->Visible());
    EXPECT_EQ(f->Ed_ReMAddra0->Text(), "00904C910001");
    EXPECT_TRUE(f->Ed_ReMAddra0->ReadOnly());
    act(*f);
    EXPECT_EQ(requestsNaming("adAPMode", "set"), 0);
    EXPECT_EQ(requestsNaming("adPtPRemoteAPMACAddress", "set"), 0);
    EXPECT_EQ(f->ED_APModeComboBox->Text(), "PtP Bridge");
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting Success!");
}

// An SSID with a zero byte, which the edit cannot show: the edit shows the text before it and
// says why, the device keeps its SSID until the user types another, and then that is written.
TEST_P(WirlessKeptValues, SSIDWithAZeroByte)
{
    startDevice({"--profile", profile("set hSSID \"ab\\x00cd\"\n")});
    auto f = openWireless();
    EXPECT_EQ(f->Ed_SSIDa->Text(), "ab");
    EXPECT_EQ(f->Ed_SSIDa->Hint(), "The device holds more than this text shows (a character it cannot show, "
                                   "such as a zero byte). It keeps its value unless you change this text.");
    act(*f);
    EXPECT_EQ(requestsNaming("hSSID", "set"), 0);
    expectEveryWrite("hSSIDBroadcast", "1");
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting Success!");
    EXPECT_EQ(f->Ed_SSIDa->Text(), "ab");
    type(f->Ed_SSIDa, "abcd");
    apply(*f);
    EXPECT_TRUE(pumpUntil([&] { return !f->RadioWaveBinding->Busy; }, 5000));
    const std::vector<std::string> all = sets();
    EXPECT_EQ(
        std::count_if(all.begin(), all.end(),
                      [](const std::string &set) { return set.find("hSSID=\"abcd\"") != std::string::npos; }),
        1);
    EXPECT_EQ(requestsNaming("hSSID", "set"), 1);
    EXPECT_EQ(f->Ed_SSIDa->Hint(), "");
}

INSTANTIATE_TEST_SUITE_P(Sequences, WirlessKeptValues, ::testing::ValuesIn(kRepeats),
                         [](const ::testing::TestParamInfo<WirlessRepeat> &p) {
                             return std::string(p.param.what);
                         });

// A key typed while no key size is chosen (the device's key was empty) is still converted.
TEST_F(Wirless, AsciiKeyTypedWithoutASizeGoesOutAsHex)
{
    startDevice(
        {"--profile", profile("set adSecKeyType 1\nset adSecEncryption-a 1\nset adSecKey-80211a-1 \"\"\n")});
    auto f = openWireless();
    EXPECT_EQ(f->Ed_KeySize->ItemIndex(), -1);
    type(f->Ed_Key1a, "vwxyz");
    apply(*f);
    EXPECT_EQ(setAt(6), "adSecAuthentication-a=1 adSecEncryption-a=1 adSecValidKey-a=1 "
                        "adSecKey-80211a-1=\"767778797a\"");
}

struct WirlessRefusal {
    const char *what;
    std::function<void(Wirless &, TFM_Wirless &)> input;
    const char *text;
    const char *caption;
};

class WirlessRefusals : public Wirless, public ::testing::WithParamInterface<WirlessRefusal> {};

TEST_P(WirlessRefusals, SendNothing)
{
    startDevice();
    auto f = openWireless();
    const WirlessRefusal &c = GetParam();
    c.input(*this, *f);
    expectBox(c.text, c.caption);
    apply(*f);
    expectNoSet();
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, WirlessRefusals,
    ::testing::Values(
        WirlessRefusal{"ssid33", [](Wirless &, TFM_Wirless &f) { f.Ed_SSIDa->SetText(std::string(33, 'a')); },
                       "The Max Length of SSID is 32.!", "Warning"},
        WirlessRefusal{"emptySSID", [](Wirless &, TFM_Wirless &f) { f.Ed_SSIDa->SetText(""); },
                       "Please Input SSID.", "Warning"},
        WirlessRefusal{"leadingBlank", [](Wirless &, TFM_Wirless &f) { f.Ed_SSIDa->SetText(" office"); },
                       "The first character can't be blank.", "Error"},
        WirlessRefusal{"repeaterSSID",
                       [](Wirless &self, TFM_Wirless &f) {
                           self.chooseMode(f, "Universal Repeater");
                           f.Ed_SSID->SetText("");
                       },
                       "Please Input SSID.", "Warning"},
        WirlessRefusal{"sameMAC",
                       [](Wirless &self, TFM_Wirless &f) {
                           self.chooseMode(f, "WDS");
                           f.Ed_ReMAddra0->SetText("00904c910001");
                           f.Ed_ReMAddra3->SetText("00904C910001");
                       },
                       "Exist same MAC address.", "Warning"},
        WirlessRefusal{"shortMAC",
                       [](Wirless &self, TFM_Wirless &f) {
                           self.chooseMode(f, "WDS with AP");
                           f.Ed_ReMAddra0->SetText("00904C91000");
                       },
                       "The length is 12 in IEEE802.11g MAC address.", "Error"},
        WirlessRefusal{"passPhrase7",
                       [](Wirless &self, TFM_Wirless &f) {
                           self.chooseAuth(f, "WPA-Personal");
                           f.PassPhrasePSKEdit->SetText("1234567");
                       },
                       "The length of 802.11g PassPhrase is between 8 and 63.", "Error"},
        WirlessRefusal{"radiusAddress",
                       [](Wirless &self, TFM_Wirless &f) {
                           self.chooseAuth(f, "WPA-Enterprise");
                           f.RadiusServerEdit->SetText("192.168.1.255");
                       },
                       "The Radius server's IP is illegal.", "Error"},
        WirlessRefusal{"interval",
                       [](Wirless &self, TFM_Wirless &f) {
                           self.chooseAuth(f, "WPA2-Personal");
                           f.PassPhrasePSKEdit->SetText("12345678");
                           f.GroupKeyPSKEdit->SetText("299");
                       },
                       "Please input a number between 300 and 9999999.", "Error"},
        WirlessRefusal{"keyLength",
                       [](Wirless &self, TFM_Wirless &f) {
                           self.choose(f.Ed_SecEncypa, "Enable");
                           self.choose(f.Ed_KeySize, "64 Bits");
                           f.Ed_Key1a->SetText("123456789");
                       },
                       "The Length of the 1st key in IEEE802.11g must be 10!", "Warning"},
        WirlessRefusal{"asciiKey",
                       [](Wirless &self, TFM_Wirless &f) {
                           self.choose(f.Ed_SecEncypa, "Enable");
                           self.choose(f.Ed_KeyType, "ASCII");
                           self.choose(f.Ed_KeySize, "64 Bits");
                           f.Ed_Key1a->SetText("ab\tcd");
                       },
                       "Please input printable ASCII characters (blank to ~) as the key!", "Warning"},
        WirlessRefusal{"accounting",
                       [](Wirless &self, TFM_Wirless &f) { self.choose(f.CB_AcntEnable, "Enable"); },
                       "The Accountings server's IP is illegal", "Warning"}),
    [](const ::testing::TestParamInfo<WirlessRefusal> &p) { return std::string(p.param.what); });

TEST_F(Wirless, PersonalWritesSecurityThenPassPhraseAndNoServer)
{
    startDevice();
    auto f = openWireless();
    chooseAuth(*f, "WPA-Personal");
    EXPECT_TRUE(f->GroupBox7->Visible());
    EXPECT_FALSE(f->GroupBox5->Visible());
    type(f->PassPhrasePSKEdit, "a pass phrase");
    apply(*f);
    const std::vector<std::string> s = sets();
    ASSERT_EQ(s.size(), 10u);
    EXPECT_EQ(s[6], "adSecAuthentication-a=4 adSecEncryption-a=1");
    EXPECT_EQ(s[7], "adSecCipherType=1 adSecGroupKeyUpdateInterval=1800 adSecPassPhrase=\"a pass phrase\"");
    EXPECT_EQ(requestsNaming("SecRADIUSServer", "set"), 0);
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting Success!");
}

class WirlessEnterprise : public Wirless, public ::testing::WithParamInterface<bool> {};

TEST_P(WirlessEnterprise, WritesServersAndBackupsOnlyWhereSupported)
{
    const bool backup = GetParam();
    startDevice(backup ? std::vector<std::string>{"--profile", "backup"} : std::vector<std::string>{});
    auto f = openWireless();
    chooseAuth(*f, "WPA2-Enterprise");
    EXPECT_TRUE(f->GroupBox5->Visible());
    EXPECT_TRUE(f->GroupBox6->Visible()); // shown with or without the backup servers
    // Backup servers the device lacks are not bound: nothing of them can be typed.
    choose(f->CB_AcntEnable, "Enable");
    type(f->Ed_AcntServer, "192.168.1.11");
    EXPECT_EQ(f->CB_RadiusMode->Enabled(), backup);
    EXPECT_EQ(f->CB_AccountingMode->Enabled(), backup);
    for (TControl *c :
         std::initializer_list<TControl *>{f->Ed_SecRadiusServer, f->Ed_SecRadiusport, f->Ed_SecRadiusSecret,
                                           f->Ed_SecAccountServer, f->Ed_SecAccountPort})
        EXPECT_FALSE(c->Enabled()) << c->Name(); // with the backup servers: their mode is off
    choose(f->CB_AcntEnable, "Disable");
    type(f->RadiusServerEdit, "192.168.1.10");
    type(f->RadiusSecretEdit, "s3cret");
    apply(*f);
    std::vector<std::string> expected = {
        "adSecAuthentication-a=7 adSecEncryption-a=1",
        "adSecCipherType=1 SecRADIUSPort=1812 adSecGroupKeyUpdateInterval=1800 "
        "SecRADIUSServer=\"192.168.1.10\" SecRADIUSSecret=\"s3cret\"",
        "adSecKeyType=2", "adSecAccountMode=0"};
    if (backup) {
        expected.push_back("adSecbackupRADIUSServer=\"0.0.0.0\" adSecbackupRADIUSPort=1812 "
                           "adSecbackupRADIUSSecret=\"\" adSecbackupRADIUSStatus=0");
        expected.push_back("adSecBackupAccountMode=0 adSecBackupAccountServer=\"0.0.0.0\" "
                           "adSecBackupAccountPort=1813");
    }
    const std::vector<std::string> s = sets();
    ASSERT_GE(s.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(s.begin() + 6, s.end()), expected);
    EXPECT_EQ(requestsNaming("adSecPassPhrase", "set"), 0);
}

INSTANTIATE_TEST_SUITE_P(Backup, WirlessEnterprise, ::testing::Bool());

TEST_F(Wirless, RefusedBackupServerWriteIsShown)
{
    startDevice({"--profile", "backup", "--fault", "adSecbackupRADIUSServer=error:genErr@set"});
    auto f = openWireless();
    chooseAuth(*f, "WPA-Enterprise");
    type(f->RadiusServerEdit, "192.168.1.10");
    apply(*f);
    ASSERT_FALSE(sets().empty());
    EXPECT_EQ(sets().back(), "adSecbackupRADIUSServer=\"0.0.0.0\" adSecbackupRADIUSPort=1812 "
                             "adSecbackupRADIUSSecret=\"\" adSecbackupRADIUSStatus=0 (genErr)");
    EXPECT_EQ(
        f->StatusBar1->SimpleText(),
        "Setting error! Not written: Secondary RADIUS Server. Written before it: VLAN and Guest SSIDs, SSID, "
        "Super G Mode, AP Mode, Auto Channel Scan, Radio Wave, Authentication, RADIUS Server, Key Type, "
        "Accounting.");
}

struct WirlessUnreadGroup {
    const char *object; // read fault on it
    const char *item;   // the group as the status names it
};

class WirlessUnread : public Wirless, public ::testing::WithParamInterface<WirlessUnreadGroup> {};

// A group that could not be read is named by the opening and by each Refresh, and is not written
// back (the radio switch would go "off"); the others are, and the status says what was left out.
TEST_P(WirlessUnread, IsNotWritten)
{
    const WirlessUnreadGroup c = GetParam();
    startDevice({"--fault", std::string(c.object) + "=error:genErr@get"});
    auto f = openWireless();
    // The opening and a Refresh say what they could not read, never "Ok!" alone.
    const std::string notRead = std::string(" Not read: ") + c.item + ".";
    auto endsWithNotRead = [&](const std::string &text) {
        return text.size() > notRead.size() &&
               text.compare(text.size() - notRead.size(), notRead.size(), notRead) == 0;
    };
    EXPECT_PRED1(endsWithNotRead, f->StatusBar1->SimpleText());
    click(f->Bt_Refresh);
    EXPECT_TRUE(pumpUntil([&] { return !f->RadioWaveBinding->Busy; }, 5000));
    EXPECT_PRED1(endsWithNotRead, f->StatusBar1->SimpleText());
    apply(*f);
    EXPECT_EQ(requestsNaming(c.object, "set"), 0);
    EXPECT_EQ(sets().size(), 8u);
    EXPECT_EQ(f->StatusBar1->SimpleText(),
              std::string("Setting Success! Not read, so not written: ") + c.item + ".");
}

INSTANTIATE_TEST_SUITE_P(Faults, WirlessUnread,
                         ::testing::Values(WirlessUnreadGroup{"adRadioWave", "Radio Wave"},
                                           WirlessUnreadGroup{"adSuperMode", "Super G Mode"},
                                           WirlessUnreadGroup{"adSecAuthentication-a", "Authentication"}));

// Optional groups: a device without them, or whose read failed, gets none of them written.
TEST_F(Wirless, MissingOptionalGroupsAreNeitherShownNorWritten)
{
    startDevice({"--profile", profile("set sntp 0\n"), "--fault", "adAutoChannelScan=error:genErr@get"});
    auto f = openWireless();
    EXPECT_FALSE(f->CB_AuSc->Visible());
    EXPECT_FALSE(f->CB_AcntEnable->Visible());
    EXPECT_EQ(f->AccountingBinding, nullptr);
    apply(*f);
    EXPECT_EQ(requestsNaming("adAutoChannelScan", "set"), 0);
    EXPECT_EQ(requestsNaming("adSecAccountMode"), 0);
    EXPECT_EQ(sets().size(), 7u);
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting Success!");
}

// Without Multi-SSID: a group that could not be read is named; the rest is written and the
// device restarted.
TEST_F(Wirless, ShortPathNamesAnUnreadGroup)
{
    startDevice({"--profile", "nomssid", "--profile", "nodeferred", "--reboot-silence", "0.1", "--fault",
                 "adRadioWave=error:genErr@get"});
    auto f = openWireless();
    CountdownWatch watch;
    apply(*f);
    EXPECT_TRUE(watch.shown());
    EXPECT_TRUE(pumpUntil([&] { return sets().size() == 3; }, 3000));
    expectSets({kSSIDLine, "adSuperMode=4", "upgradesettingcommand=4"});
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Not read, so not written: Radio Wave.");
}

TEST_F(Wirless, RefusedRadioWriteStopsWithSettingError)
{
    startDevice({"--profile", "nodeferred", "--fault", "adRadioWave=error:genErr@set"});
    auto f = openWireless();
    StatusTrail trail(f->StatusBar1);
    CountdownWatch watch;
    apply(*f);
    trail.look();
    const std::vector<std::string> s = sets();
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s.back(), "adRadioWave=1 (genErr)");
    // The groups written before the refusal stay written: the status says which.
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting error! Not written: Radio Wave. Written before it: VLAN "
                                           "and Guest SSIDs, SSID, Super G Mode, "
                                           "AP Mode, Auto Channel Scan.");
    EXPECT_FALSE(trail.saw("Setting Success!")) << ::testing::PrintToString(trail.texts);
    EXPECT_FALSE(watch.shown());
}

// A device that stops answering with a set in flight: the groups written before it stay
// written, and the failure says which. Watched between the loop's events while Apply waits:
// from the moment the write went unanswered the failure stands, and no earlier line of the
// status comes back, not during the re-read either.
TEST_F(Wirless, ADeviceStoppedDuringApplyNamesWhatWasWritten)
{
    realTimeOuts();
    startDevice({"--fault", "adSuperMode=delay:4000@set"});
    auto f = openWireless();
    f->SuperModeBinding->Request.Timeout = 100; // a second a try, so the test waits two
    devsimtest::Process &device = sim->process();
    // Stopped once the Super G set has reached it (the groups before it answered, however long
    // this machine took for them); it goes on 2.2 s later.
    kv::Timer resume; // the clock runs timers 50 times faster
    resume.setSingleShot(true);
    resume.onTimeout = [&device] { device.resume(); };
    bool stopped = false;
    QTimer stop;
    QObject::connect(&stop, &QTimer::timeout, [&] {
        if (stopped || requestsNaming("adSuperMode", "set") == 0)
            return;
        device.pause();
        stopped = true;
        resume.start(2200 * 50);
    });
    stop.start(10);
    std::vector<std::string> sinceFailure;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const std::string text = f->StatusBar1->SimpleText();
        if (f->SuperModeBinding->WriteUnanswered() && (sinceFailure.empty() || sinceFailure.back() != text))
            sinceFailure.push_back(text);
    });
    watch.start(0);
    apply(*f);
    watch.stop();
    const std::string failure = "Setting error! The device did not answer; it may still take the setting. "
                                "Not answered: Super G Mode. Written before it: VLAN and Guest SSIDs, SSID.";
    // A re-read the stopped device left unanswered would add what it could not read.
    EXPECT_EQ(f->StatusBar1->SimpleText().rfind(failure, 0), 0u) << f->StatusBar1->SimpleText();
    ASSERT_FALSE(sinceFailure.empty());
    // Only the note of a read that waits for the device (its way out) may stand in between.
    const std::string waiting = WaitNoticeText(sim->target().substr(0, sim->target().find(':')));
    for (const std::string &text : sinceFailure)
        EXPECT_TRUE(text.rfind(failure, 0) == 0 || text == waiting) << ::testing::PrintToString(sinceFailure);
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(pumpUntil([&] { return !resume.isActive(); }, 5000));
}

namespace {

using Held = std::vector<std::pair<std::string, std::string>>;

struct WirlessPreStep {
    const char *what;
    std::vector<std::string> device; // devsim's profiles and fault
    std::function<void(Wirless &, TFM_Wirless &)> choose;
    std::vector<std::string> sets; // the write log
    const char *status;
    Held held;                 // what the device holds afterwards
    const char *box = nullptr; // the warning the choice brings
};

void PrintTo(const WirlessPreStep &c, std::ostream *out)
{
    *out << c.what;
}

// What the device holds of an object: its pending value, else the one in effect.
std::string heldValue(const devsimtest::Devsim &sim, const std::string &name)
{
    for (const char *file : {"pending.txt", "active.txt"}) {
        std::istringstream lines(sim.readFile(file));
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::string oid, object, value;
            if (words >> oid >> object && object == name && std::getline(words >> std::ws, value))
                return value;
        }
    }
    return "(none)";
}

const std::string kGuestsConfigured = "adVlanState=0 adMSSIDIdvState.1.2=0 adMSSIDIdvState.1.3=0 "
                                      "adMSSIDIdvState.1.4=0 adMSSIDEncryption.1.2=";
const char *const kSSIDConfigured = "hSSID=\"office\" hSSIDBroadcast=0 hChannel=11";
const std::string kWDSConfigured =
    "adAPMode=3 adPtPRemoteAPMACAddress.1.1=0x0012AB000101 "
    "adPtPRemoteAPMACAddress.1.2=0x0012AB000202 adPtPRemoteAPMACAddress.1.3=0x0012AB000303" +
    zeroMACs(4);

} // namespace

class WirlessPreSteps : public Wirless, public ::testing::WithParamInterface<WirlessPreStep> {};

// The guest pre-step switches the VLAN and the guest SSIDs off for a mode or super G; when the
// write it served is refused or left unanswered, they are put back as the device held them.
TEST_P(WirlessPreSteps, PutBackWhatTheRefusedWriteNeeded)
{
    const WirlessPreStep &c = GetParam();
    const kv::ScopedClock shorter(std::make_shared<kvtest::FastClock>(50, 20));
    startDevice(c.device);
    auto f = openWireless();
    c.choose(*this, *f);
    if (c.box)
        expectBox(c.box, "Warning");
    apply(*f);
    expectSets(c.sets);
    EXPECT_EQ(f->StatusBar1->SimpleText(), c.status);
    for (const auto &[object, value] : c.held)
        EXPECT_EQ(heldValue(*sim, object), value) << object;
}

const Held kGuestsHeld = {{"adVlanState", "1"},
                          {"adMSSIDIdvState.1.2", "1"},
                          {"adMSSIDIdvState.1.3", "1"},
                          {"adMSSIDEncryption.1.2", "1"},
                          {"adAPMode", "1"},
                          {"adSuperMode", "4"}};

std::vector<std::string> configuredWith(const char *fault)
{
    return {"--profile", "configured", "--fault", fault};
}

INSTANTIATE_TEST_SUITE_P(
    Refused, WirlessPreSteps,
    ::testing::Values(
        WirlessPreStep{"wdsRefused",
                       configuredWith("adAPMode=error:genErr@set"),
                       [](Wirless &self, TFM_Wirless &f) { self.chooseMode(f, "WDS with AP"); },
                       {kGuestsConfigured + "1 adMSSIDEncryption.1.3=0 adMSSIDEncryption.1.4=0",
                        kSSIDConfigured, "adSuperMode=4", kWDSConfigured + " (genErr)",
                        "adVlanState=1 adMSSIDIdvState.1.2=1 adMSSIDIdvState.1.3=1"},
                       "Setting error! Not written: AP Mode. Written before it: VLAN and Guest SSIDs, SSID, "
                       "Super G Mode. "
                       "Put back as before: VLAN and Guest SSIDs.",
                       kGuestsHeld},
        // devsim logs a set it leaves unanswered as not taken; the library asks twice.
        WirlessPreStep{
            "wdsUnanswered",
            configuredWith("adAPMode=drop@set"),
            [](Wirless &self, TFM_Wirless &f) { self.chooseMode(f, "WDS with AP"); },
            {kGuestsConfigured + "1 adMSSIDEncryption.1.3=0 adMSSIDEncryption.1.4=0", kSSIDConfigured,
             "adSuperMode=4", kWDSConfigured + " (genErr)", kWDSConfigured + " (genErr)",
             "adVlanState=1 adMSSIDIdvState.1.2=1 adMSSIDIdvState.1.3=1"},
            "Setting error! The device did not answer; it may still take the setting. Not answered: AP Mode. "
            "Written before it: VLAN and Guest SSIDs, SSID, Super G Mode. Put back as before: VLAN and Guest "
            "SSIDs.",
            kGuestsHeld},
        WirlessPreStep{"superGRefused",
                       configuredWith("adSuperMode=error:genErr@set"),
                       [](Wirless &self, TFM_Wirless &f) { self.choose(f.CB_SuperMode_jp, "Enable"); },
                       {kGuestsConfigured + "0 adMSSIDEncryption.1.3=0 adMSSIDEncryption.1.4=0",
                        kSSIDConfigured, "adSuperMode=1 (genErr)",
                        "adVlanState=1 adMSSIDIdvState.1.2=1 adMSSIDIdvState.1.3=1 adMSSIDEncryption.1.2=1"},
                       "Setting error! Not written: Super G Mode. Written before it: VLAN and Guest SSIDs, "
                       "SSID. Put back "
                       "as before: VLAN and Guest SSIDs.",
                       kGuestsHeld},
        // The newer scheme: an Enterprise guest loses its security only with the primary's.
        WirlessPreStep{
            "authenticationRefused",
            {"--profile", "newmssid", "--profile",
             Wirless::profile("set adMSSIDState 1\nset adMSSIDIdvState.1.3 1\nset adMSSIDEncryption.1.3 "
                              "1\nset adMSSIDAuth.1.3 5\nset adSecAuthentication-a 5\nset "
                              "adSecEncryption-a 1\nset SecRADIUSServer \"127.0.0.20\"\n"),
             "--fault", "adSecAuthentication-a=error:genErr@set"},
            [](Wirless &self, TFM_Wirless &f) { self.chooseAuth(f, "Open System"); },
            {"adMSSIDEncryption.1.3=0", "adMSSIDAuth.1.3=1",
             "hSSID=\"QRN-5290AP\" hSSIDBroadcast=1 hChannel=6", "adSuperMode=4", "adAPMode=1",
             "adAutoChannelScan=0", "adRadioWave=1",
             "adSecAuthentication-a=1 adSecEncryption-a=1 adSecValidKey-a=1 adSecKey-80211a-1=\"0000000000\" "
             "(genErr)",
             "adMSSIDEncryption.1.3=1", "adMSSIDAuth.1.3=5"},
            "Setting error! Not written: Authentication. Written before it: Guest SSID Encryption, Guest "
            "SSID Authentication, SSID, Super G Mode, AP Mode, Auto Channel Scan, Radio Wave. Put back as "
            "before: Guest SSID Encryption, Guest SSID Authentication.",
            {{"adMSSIDEncryption.1.3", "1"}, {"adMSSIDAuth.1.3", "5"}, {"adSecAuthentication-a", "5"}},
            "To change authentication type of Primary SSID will change WPA-Enterprise of Secondary SSID "
            "to non security."}),
    [](const ::testing::TestParamInfo<WirlessPreStep> &p) { return std::string(p.param.what); });

TEST_F(Wirless, RefusedGuestStateWriteIsShown)
{
    startDevice({"--fault", "adVlanState=error:genErr@set"});
    auto f = openWireless();
    apply(*f);
    EXPECT_EQ(sets(), std::vector<std::string>{std::string(kGuestsOff) + " (genErr)"});
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting error! Not written: VLAN and Guest SSIDs.");
}

TEST_F(Wirless, WithoutDeferredSavingTheCountdownRestartsTheDevice)
{
    startDevice({"--profile", "nodeferred", "--reboot-silence", "0.1"});
    auto f = openWireless();
    apply(*f);
    EXPECT_TRUE(
        pumpUntil([&] { return !sets().empty() && sets().back() == "upgradesettingcommand=4"; }, 3000));
    EXPECT_EQ(sets().size(), 10u);
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting Success!");
}

// The channel lists keep their blanks: each channel is one entry.
TEST_F(Wirless, TurboChannelListIsReadAsText)
{
    startDevice({"--profile", profile("set adDynamicChannelList \"1 6 11\"\nset adSuperMode 3\n")});
    auto f = openWireless();
    EXPECT_EQ(f->AD_SuperMode->Text(), "Enable with Dynamic Turbo");
    EXPECT_EQ(items(f->CB_Chana), (std::vector<std::string>{"1", "6", "11"}));
    choose(f->CB_Chana, "11");
    apply(*f);
    EXPECT_EQ(setAt(1), "hSSID=\"QRN-5290AP\" hSSIDBroadcast=1 hChannel=11");
}

struct WirlessKeyCase {
    const char *what;
    const char *slot;  // valid key chosen
    const char *typed; // null: left as shown
    const char *shown; // what the key edit showed after opening
    const char *sent;  // the key object written, or null
};

class WirlessAsciiKeys : public Wirless, public ::testing::WithParamInterface<WirlessKeyCase> {};

// ASCII keys are shown as their characters only when every one is printable; a masked key is
// not sent, an edited one goes out as hexadecimal text.
TEST_P(WirlessAsciiKeys, ShowAndSend)
{
    const WirlessKeyCase c = GetParam();
    startDevice({"--profile",
                 profile("set adSecKeyType 1\nset adSecEncryption-a 1\nset adSecKey-80211a-1 \"6162636465\"\n"
                         "set adSecKey-80211a-2 \"01020304ff\"\n")});
    auto f = openWireless();
    EXPECT_EQ(f->Ed_KeyType->Text(), "ASCII");
    EXPECT_EQ(std::string(c.slot) == "First" ? f->Ed_Key1a->Text() : f->Ed_Key2a->Text(), c.shown);
    choose(f->Ed_SecValKeya, c.slot);
    choose(f->Ed_KeySize, "64 Bits");
    if (c.typed)
        type(std::string(c.slot) == "First" ? f->Ed_Key1a : f->Ed_Key2a, c.typed);
    apply(*f);
    const std::string expected = std::string("adSecAuthentication-a=1 adSecEncryption-a=1 adSecValidKey-a=") +
                                 (std::string(c.slot) == "First" ? "1" : "2") + (c.sent ? c.sent : "");
    EXPECT_EQ(setAt(6), expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, WirlessAsciiKeys,
                         ::testing::Values(WirlessKeyCase{"printable", "First", nullptr, "abcde",
                                                          " adSecKey-80211a-1=\"6162636465\""},
                                           WirlessKeyCase{"masked", "Second", nullptr, "*****", nullptr},
                                           WirlessKeyCase{"retyped", "Second", "vwxyz", "*****",
                                                          " adSecKey-80211a-2=\"767778797a\""}),
                         [](const ::testing::TestParamInfo<WirlessKeyCase> &p) {
                             return std::string(p.param.what);
                         });

TEST_F(Wirless, Layout)
{
    startDevice({"--profile", "backup"});
    auto f = openWireless();
    checkLayout(f.get(), "TFM_Wirless");
    // The other layouts of the modes and authentications.
    const std::pair<const char *, const char *> variants[] = {{"WDS with AP", "WPA-Personal"},
                                                              {"Universal Repeater", "Shared Key"},
                                                              {"Wireless Client", "WPA-Personal"},
                                                              {"Access Point", "WPA-Enterprise"}};
    for (const auto &[mode, auth] : variants) {
        SCOPED_TRACE(std::string(mode) + " " + auth);
        chooseMode(*f, mode);
        chooseAuth(*f, auth);
        pump(20);
        kvtest::expectTextsFit(f.get());
    }
}

// A point-to-point bridge: its mode under its own name, the partner group below it.
TEST_F(Wirless, LayoutOnAPointToPointBridge)
{
    startDevice({"--profile", profile("set adAPMode 2\nset adPtPRemoteAPMACAddress.1.1 0x00904C910001\n")});
    auto f = openWireless();
    checkLayout(f.get(), "TFM_Wirless-3");
}

struct WirlessGuestCase {
    const char *mode;
    const char *guests; // the guest-state set
};

class WirlessGuests : public Wirless, public ::testing::WithParamInterface<WirlessGuestCase> {};

// Guest SSIDs stay on only in the access point mode with super G off (the device's "Disable",
// whichever position it has in the list the device offers).
TEST_P(WirlessGuests, FollowTheModeAndSuperG)
{
    startDevice({"--profile", profile("set adVlanState 1\nset adMSSIDIdvState.1.2 1\n")});
    auto f = openWireless();
    chooseMode(*f, GetParam().mode);
    if (std::string(GetParam().mode) == "WDS")
        type(f->Ed_ReMAddra0, "00904C910001");
    apply(*f);
    EXPECT_EQ(setAt(0), GetParam().guests);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WirlessGuests,
    ::testing::Values(WirlessGuestCase{"Access Point",
                                       "adVlanState=1 adMSSIDIdvState.1.2=1 adMSSIDIdvState.1.3=0 "
                                       "adMSSIDIdvState.1.4=0 adMSSIDEncryption.1.2=0 "
                                       "adMSSIDEncryption.1.3=0 adMSSIDEncryption.1.4=0"},
                      WirlessGuestCase{"WDS", kGuestsOff}));
