// The Encryption form against the simulated device.
#include "CountdownWatch.h"
#include "FormFixture.h"
#include "Misc.h"
#include "ProfileText.h"
#include "TFM_Encrypt.h"

using namespace formtest;

namespace {

class Encrypt : public FormTest {
protected:
    static void choose(TComboBox *combo, const std::string &text)
    {
        combo->SetItemIndex(combo->Items()->IndexOf(text));
        if (combo->OnChange)
            combo->OnChange(combo);
    }
    // WPA-Enterprise with a valid RADIUS server.
    static void enterprise(TFM_Encrypt &f)
    {
        choose(f.CB_SecAutha, "WPA-Enterprise");
        type(f.Ed_RadiusSrv2, "192.0.2.10");
        type(f.Ed_RadiusSec, "secret");
    }
};

const char kShared[] = "adSecAuthentication-a=2 adSecEncryption-a=1 adSecValidKey-a=1";

} // namespace

TEST_F(Encrypt, OpensFromTheMenuWithTheKeysMasked)
{
    startDevice({"--profile", "oldfirmware", "--profile",
                 writeProfile("set adSecKey-80211a-1 \"00112233445566778899aabbcc\"\n"
                              "set adSecEncryption-a 1\n")});
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.advanced2->Click();
    ASSERT_TRUE(menu.adEncryption2->Visible());
    EXPECT_TRUE(openFromMenu<TFM_Encrypt>(menu.adEncryption2, [&](TFM_Encrypt &f) {
        for (TEdit *key : f.PageA.HexKey)
            EXPECT_EQ(key->Text(), std::string(26, '*'));
        EXPECT_EQ(f.CB_SecAutha->Text(), "Open System");
        EXPECT_EQ(f.CB_KeySizeA->Text(), "128 Bits"); // the valid key's length
        EXPECT_EQ(f.CB_KeyTypeA->Text(), "HEX");
        EXPECT_EQ(f.CB_SecAutha->Items()->Count(), 5);
    }));
    expectNoSet();
}

TEST_F(Encrypt, WepWithoutTypedKeysWritesOnlyTheThreeSettings)
{
    startDevice();
    auto f = openForm(FM_Encrypt);
    choose(f->CB_SecAutha, "Shared Key");
    EXPECT_EQ(f->CB_SecEncypa->Text(), "Enable");
    click(f->Bt_Apply);
    expectSets({kShared});
    EXPECT_EQ(f->StatusBar->SimpleText(), "Setting Success!");
}

TEST_F(Encrypt, ThirteenAsciiCharactersGoOutAsTwentySixHexDigits)
{
    startDevice();
    auto f = openForm(FM_Encrypt);
    choose(f->CB_SecAutha, "Shared Key");
    choose(f->CB_KeyTypeA, "ASCII");
    choose(f->CB_KeySizeA, "128 Bits");
    type(f->PageA.AsciiKey[1], "abcdefghijklm");
    click(f->Bt_Apply);
    expectSets({std::string(kShared) + " adSecKey-80211a-2=\"6162636465666768696a6b6c6d\""});
    for (TEdit *key : f->PageA.HexKey)
        EXPECT_EQ(key->Text(), std::string(26, '*'));
}

// The mask of a new key size drops a typed key: the user is told, and Apply names it unsent
// until it is typed again.
TEST_F(Encrypt, KeyTypedThenKeySizeChangedIsNamedUntilTypedAgain)
{
    startDevice();
    auto f = openForm(FM_Encrypt);
    choose(f->CB_SecAutha, "Shared Key");
    type(f->PageA.HexKey[0], "0011223344");
    choose(f->CB_KeySizeA, "128 Bits");
    EXPECT_EQ(f->PageA.HexKey[0]->Text(), std::string(26, '*'));
    EXPECT_EQ(f->StatusBar->SimpleText(), "The WEP keys must be typed again for the new key size.");
    click(f->Bt_Apply);
    EXPECT_EQ(f->StatusBar->SimpleText(), "Setting Success! Not written, to be typed again: First key.");
    type(f->PageA.HexKey[0], "00112233445566778899aabbcc");
    click(f->Bt_Apply);
    expectSets({kShared, std::string(kShared) + " adSecKey-80211a-1=\"00112233445566778899aabbcc\""});
    EXPECT_EQ(f->StatusBar->SimpleText(), "Setting Success!");
}

// The code base without DNS objects: their rows go, and nothing of them is written.
TEST_F(Encrypt, CodebaseWithoutDNSHidesAndSkipsTheDNSRows)
{
    startDevice({"--profile", "codebase156"});
    auto f = openForm(FM_Encrypt);
    EXPECT_FALSE(f->Ed_DNSIP->Visible());
    EXPECT_FALSE(f->Ed_DNS->Visible());
    EXPECT_EQ(f->Ed_RadiusSrv2->Top(), 50 - 26);
    EXPECT_EQ(f->ClientHeight(), 596 - 26);
    ASSERT_TRUE(pumpUntil([&] { return !f->ServersReq->Busy; }, 3000));
    enterprise(*f);
    click(f->Bt_Apply);
    expectSets({"adSecAuthentication-a=5", "adSecCipherType=1 adSecGroupKeyUpdateInterval=1800",
                "SecRADIUSServer=\"192.0.2.10\" SecRADIUSPort=1812 SecRADIUSSecret=\"secret\""});
}

TEST_F(Encrypt, EnterpriseWritesTheServersAfterTheirRead)
{
    startDevice();
    auto f = openForm(FM_Encrypt);
    ASSERT_TRUE(pumpUntil([&] { return !f->ServersReq->Busy; }, 3000));
    enterprise(*f);
    type(f->Ed_DNSIP, "");
    click(f->Bt_Apply);
    expectSets({"adSecAuthentication-a=5", "adSecCipherType=1 adSecGroupKeyUpdateInterval=1800",
                "SecDNSIPAddress=0.0.0.0 SecDNS=\"\" SecRADIUSServer=\"192.0.2.10\" SecRADIUSPort=1812 "
                "SecRADIUSSecret=\"secret\""});
    EXPECT_EQ(f->StatusBar->SimpleText(), "Setting Success!");
}

// Servers read badly are never written back: not with WEP, and WPA-Enterprise names them and
// writes the rest; nothing can be typed into them.
TEST_F(Encrypt, UnreadServersAreNeverWritten)
{
    startDevice({"--fault", "SecRADIUSServer=error:genErr@get"});
    auto f = openForm(FM_Encrypt);
    ASSERT_TRUE(pumpUntil([&] { return !f->ServersReq->Busy; }, 3000));
    choose(f->CB_SecAutha, "Shared Key");
    click(f->Bt_Apply);
    enterprise(*f);
    EXPECT_TRUE(f->Ed_RadiusSrv2->ReadOnly());
    click(f->Bt_Apply);
    EXPECT_EQ(f->StatusBar->SimpleText(),
              "Setting Success! Not read, so not written: Security Server Settings.");
    expectSets({kShared, "adSecAuthentication-a=5", "adSecCipherType=1 adSecGroupKeyUpdateInterval=1800"});
    EXPECT_EQ(requestsNaming("SecRADIUSServer", "set"), 0);
}

TEST_F(Encrypt, WithoutDeferredSavingTheRestartComesAtTheFifthTick)
{
    startDevice({"--profile", "nodeferred", "--reboot-silence", "0.1"});
    auto f = openForm(FM_Encrypt);
    CountdownWatch watch;
    choose(f->CB_SecAutha, "Shared Key");
    click(f->Bt_Apply);
    EXPECT_EQ(watch.ticksLeftAtReboot(), 20 - 5);
    EXPECT_TRUE(pumpUntil([&] { return sets().size() == 2; }, 3000));
    expectSets({kShared, "upgradesettingcommand=4"});
}

struct PassPhraseCase {
    int Length;
    bool Sent;
};

class EncryptPassPhrase : public Encrypt, public ::testing::WithParamInterface<PassPhraseCase> {};

// WPA-Personal writes the authentication and its pass-phrase group; the second band's group,
// with nothing to send, sends nothing.
TEST_P(EncryptPassPhrase, LengthEightToSixtyThree)
{
    startDevice();
    auto f = openForm(FM_Encrypt);
    choose(f->CB_SecAutha, "WPA-Personal");
    const std::string phrase(static_cast<std::size_t>(GetParam().Length), 'p');
    type(f->Ed_PassPha, phrase);
    if (!GetParam().Sent)
        expectBox("The length of 802.11g PassPhrase is between 8 and 63.", "Error");
    click(f->Bt_Apply);
    if (GetParam().Sent)
        expectSets({"adSecAuthentication-a=4",
                    "adSecPassPhrase=\"" + phrase + "\" adSecCipherType=1 adSecGroupKeyUpdateInterval=1800"});
    else
        expectNoSet();
}

INSTANTIATE_TEST_SUITE_P(Lengths, EncryptPassPhrase,
                         ::testing::Values(PassPhraseCase{7, false}, PassPhraseCase{8, true},
                                           PassPhraseCase{63, true}));

// The interval counts only where it is sent: under WEP a device value out of range is no bar.
TEST_F(Encrypt, GroupKeyIntervalIsCheckedOnlyWhenSent)
{
    startDevice({"--profile", writeProfile("set adSecGroupKeyUpdateInterval 100\n")});
    auto f = openForm(FM_Encrypt);
    choose(f->CB_SecAutha, "Shared Key");
    EXPECT_TRUE(f->Ed_GKUIa->ReadOnly());
    click(f->Bt_Apply);
    expectSets({kShared});
    choose(f->CB_SecAutha, "WPA-Personal");
    EXPECT_FALSE(f->Ed_GKUIa->ReadOnly());
    type(f->Ed_PassPha, "passphrase");
    expectBox("Please input a number between 300 and 9999999.", "Error");
    click(f->Bt_Apply);
    EXPECT_EQ(f->Ed_GKUIa->Text(), "");
    expectSets({kShared});
}

namespace {

struct KeptAuthentication {
    std::vector<std::string> profiles;
    int listed;         // entries the AP mode's list offers
    const char *device; // the device's authentication, which the list lacks
    bool enterprise;    // the device's authentication is an Enterprise one
    std::vector<std::string> sets;
    // Then another entry is chosen and written (with a pass phrase where it takes one).
    const char *chosen = "Open System";
    const char *status = "Setting Success!";
    bool keptAfter = false; // that write refused: the device still holds the kept one
};

void PrintTo(const KeptAuthentication &c, std::ostream *out)
{
    for (const std::string &arg : c.profiles)
        *out << arg << " ";
}

class EncryptKept : public Encrypt, public ::testing::WithParamInterface<KeptAuthentication> {};

} // namespace

// An authentication the device holds and the list lacks is added, shown and not written; the
// settings of its kind are laid out and written as for a listed one.
TEST_P(EncryptKept, AuthenticationTheListLacksStaysAndTheRestIsWritten)
{
    startDevice(GetParam().profiles);
    auto f = openForm(FM_Encrypt);
    ASSERT_TRUE(pumpUntil([&] { return !f->ServersReq->Busy; }, 3000));
    EXPECT_EQ(f->CB_SecAutha->Items()->Count(), GetParam().listed + 1);
    EXPECT_EQ(f->CB_SecAutha->ItemIndex(), GetParam().listed);
    EXPECT_EQ(f->CB_SecAutha->Text(), GetParam().device);
    EXPECT_EQ(f->Ed_PassPha->ReadOnly(), GetParam().enterprise);
    EXPECT_EQ(f->Ed_RadiusSrv2->ReadOnly(), !GetParam().enterprise);
    click(f->Bt_Apply);
    click(f->Bt_Apply);
    EXPECT_EQ(f->StatusBar->SimpleText(), "Setting Success!");
    std::vector<std::string> twice = GetParam().sets;
    twice.insert(twice.end(), GetParam().sets.begin(), GetParam().sets.end());
    expectSets(twice);
    // Once another entry is written the device no longer holds the kept one, so the list no
    // longer offers it (chosen again, it would be left out under a success text), also when a
    // later group of the Apply is refused.
    choose(f->CB_SecAutha, GetParam().chosen);
    if (AuthenticationKind(GetParam().chosen) == AuthKind::Personal)
        type(f->Ed_PassPha, "chosen-pass-phrase");
    click(f->Bt_Apply);
    EXPECT_EQ(f->StatusBar->SimpleText(), GetParam().status);
    ASSERT_GT(sets().size(), twice.size());
    const std::string chosenSet =
        "adSecAuthentication-a=" + gAdSecAuthenticationNames.NameToValue(GetParam().chosen);
    EXPECT_EQ(setAt(twice.size()).rfind(chosenSet, 0), 0u) << setAt(twice.size());
    EXPECT_EQ(f->CB_SecAutha->Items()->IndexOf(GetParam().device) >= 0, GetParam().keptAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, EncryptKept,
    ::testing::Values(
        // WPA-Personal on a bridge, whose list holds only the WEP choices.
        KeptAuthentication{
            {"--profile", "nomssid", "--profile", "ptmpbridge"},
            3,
            "WPA-Personal",
            false,
            {"adSecPassPhrase=\"bridge-pass-phrase\" adSecCipherType=3 adSecGroupKeyUpdateInterval=1800"}},
        // WPA2-Enterprise, which no list of this form offers.
        KeptAuthentication{
            {"--profile", "nomssid", "--profile", "enterprise"},
            5,
            "WPA2-Enterprise",
            true,
            {"adSecCipherType=2 adSecGroupKeyUpdateInterval=3600",
             "SecDNSIPAddress=0.0.0.0 SecDNS=\"\" SecRADIUSServer=\"127.0.0.20\" SecRADIUSPort=1645 "
             "SecRADIUSSecret=\"radius-secret\""}},
        // The same, WPA-Personal chosen and its pass phrase refused: the authentication went out.
        KeptAuthentication{
            {"--profile", "nomssid", "--profile", "enterprise", "--fault",
             "adSecPassPhrase=error:genErr@set"},
            5,
            "WPA2-Enterprise",
            true,
            {"adSecCipherType=2 adSecGroupKeyUpdateInterval=3600",
             "SecDNSIPAddress=0.0.0.0 SecDNS=\"\" SecRADIUSServer=\"127.0.0.20\" SecRADIUSPort=1645 "
             "SecRADIUSSecret=\"radius-secret\""},
            "WPA-Personal",
            "Setting error! Not written: PassPhrase, Cipher Type, Group Key Update Interval. Written before "
            "it: Authentication."},
        // The same, the authentication itself refused: the list still offers the device's one.
        KeptAuthentication{
            {"--profile", "nomssid", "--profile", "enterprise", "--fault",
             "adSecAuthentication-a=error:genErr@set"},
            5,
            "WPA2-Enterprise",
            true,
            {"adSecCipherType=2 adSecGroupKeyUpdateInterval=3600",
             "SecDNSIPAddress=0.0.0.0 SecDNS=\"\" SecRADIUSServer=\"127.0.0.20\" SecRADIUSPort=1645 "
             "SecRADIUSSecret=\"radius-secret\""},
            "WPA-Personal",
            "Setting error! Not written: Authentication.",
            true}));

TEST_F(Encrypt, UnreadSecuritySendsNothing)
{
    startDevice({"--fault", "adSecValidKey-a=error:genErr@get"});
    auto f = openForm(FM_Encrypt);
    EXPECT_NE(f->StatusBar->SimpleText().find("General Error"), std::string::npos)
        << f->StatusBar->SimpleText();
    EXPECT_TRUE(pumpUntil([&] { return !f->ServersReq->Busy; }, 3000));
    const std::string unread = " Not read: Authentication.";
    EXPECT_EQ(f->StatusBar->SimpleText().rfind(unread), f->StatusBar->SimpleText().size() - unread.size())
        << f->StatusBar->SimpleText();
    choose(f->CB_SecAutha, "Shared Key");
    click(f->Bt_Apply);
    EXPECT_EQ(f->StatusBar->SimpleText(), "Not read, so not written: Authentication.");
    expectNoSet();
}

TEST_F(Encrypt, ClosingWaitsForTheServersRead)
{
    startDevice({"--fault", "SecRADIUSServer=delay:300@get"});
    auto f = openForm(FM_Encrypt);
    f->Close();
    EXPECT_TRUE(f->Visible());
    EXPECT_TRUE(pumpUntil([&] { return !f->ServersReq->Busy; }, 3000));
    EXPECT_EQ(f->Ed_RadiusSrv2->Text(), "0.0.0.0");
    f->Close();
    EXPECT_FALSE(f->Visible());
}

TEST_F(Encrypt, RefusedWriteShowsTheError)
{
    startDevice({"--fault", "adSecValidKey-a=error:genErr@set"});
    auto f = openForm(FM_Encrypt);
    choose(f->CB_SecAutha, "Shared Key");
    click(f->Bt_Apply);
    EXPECT_EQ(f->StatusBar->SimpleText(), "Setting error! Not written: Authentication.");
    expectSets({std::string(kShared) + " (genErr)"});
}

TEST_F(Encrypt, RefusedServersWriteShowsTheErrorWithoutCountdown)
{
    startDevice({"--profile", "nodeferred", "--fault", "SecRADIUSPort=error:genErr@set"});
    auto f = openForm(FM_Encrypt);
    ASSERT_TRUE(pumpUntil([&] { return !f->ServersReq->Busy; }, 3000));
    enterprise(*f);
    CountdownWatch watch;
    click(f->Bt_Apply);
    EXPECT_FALSE(watch.shown());
    EXPECT_EQ(f->StatusBar->SimpleText(),
              "Setting error! Not written: Security Server Settings. Written before "
              "it: Authentication, PassPhrase, "
              "Cipher Type, Group Key Update Interval.");
    expectSets({"adSecAuthentication-a=5", "adSecCipherType=1 adSecGroupKeyUpdateInterval=1800",
                "SecDNSIPAddress=0.0.0.0 SecDNS=\"\" SecRADIUSServer=\"192.0.2.10\" SecRADIUSPort=1812 "
                "SecRADIUSSecret=\"secret\" (genErr)"});
}

TEST_F(Encrypt, Layout)
{
    startDevice();
    auto f = openForm(FM_Encrypt);
    ASSERT_TRUE(pumpUntil([&] { return !f->ServersReq->Busy; }, 3000));
    checkLayout(f.get(), "TFM_Encrypt");
}
