// What the configuration forms rely on of the library and the shell: every entry they use
// exists under its name and behaves as they expect.
#include "ExtCtrls.h"
#include "FormGlobals.h"
#include "KvNetInterface.h"
#include "KvNumList.h"
#include "KvOptionList.h"
#include "KvSNMPRequest.h"
#include "KvSNMPRequest2Edits.h"
#include "MainForm.h"
#include "MainWindowSupport.h"
#include "Newrequest.h"
#include "ShellTexts.h"
#include "StdCtrls.h"
#include "TFTPServer.h"
#include "Waiting.h"

#include <type_traits>

using namespace mainwintest;

namespace {

const KvSNMPItem kItems[] = {
    {"1.3.6.1.4.1.32473.11.37.4.3.2.1.0", "sysRestart", KvSyntax::Integer, KvAccess::ReadWrite},
    {"1.3.6.1.4.1.32473.11.37.4.1.2.2.0", "hIPAddress", KvSyntax::IpAddress, KvAccess::ReadOnly},
    {"1.3.6.1.4.1.32473.11.37.4.99.1.1.1.0", "apmodes", KvSyntax::Integer, KvAccess::ReadWrite},
    {},
    {"1.3.6.1.2.1.1.1.0", "after the end", KvSyntax::DisplayStr, KvAccess::ReadOnly},
};

const KvOptionPair kOnOff[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kThree[] = {{3, "Three"}, {1, "One"}, {2, "Two"}, {}};

struct Window {
    std::unique_ptr<TApplication> app = std::make_unique<TApplication>();
    TForm *form = new TForm(app.get());
};

} // namespace

// ---- the library --------------------------------------------------------------------------

TEST(Conformance, ItemTableEndsAtTheFirstEmptyOidAndAccessFlagsSwitchItems)
{
    KvSNMPVarList list(kItems, MVT_SV, 0);
    ASSERT_EQ(list.Count(), 3);
    KvSNMPItem *item = list.GetItem(2);
    EXPECT_EQ(item->Name, "apmodes");
    EXPECT_TRUE(list.IsReadableItem(0));
    EXPECT_TRUE(list.IsSetItem(0));
    EXPECT_TRUE(list.IsReadableItem(1));
    EXPECT_FALSE(list.IsSetItem(1)); // read-only: read, never sent
    item->Access = KvAccess::Invalid;
    EXPECT_FALSE(list.IsReadableItem(2));
    EXPECT_FALSE(list.IsSetItem(2));
}

TEST(Conformance, AssigningAListIntoABindingCopiesIt)
{
    Window w;
    KvSNMPRequest2Edits binding(w.form);
    {
        KvSNMPVarList temporary(kItems, SVT_SV, 0);
        binding.Request.VarList = temporary;
        temporary.GetItem(0)->Value = "changed";
    }
    ASSERT_EQ(binding.Request.VarList.Count(), 3);
    EXPECT_EQ(binding.Request.VarList.GetItem(0)->Value, "");
}

TEST(Conformance, ANewBindingIsEmptyAsynchronousIdleAndUsesTheDefaults)
{
    Window w;
    const int32_t oldTimeout = gKvSNMPDefaultTimeout;
    gKvSNMPDefaultTimeout = 100;
    KvSNMPRequest2Edits binding(w.form);
    EXPECT_EQ(binding.Request.VarList.Count(), 0);
    EXPECT_EQ(binding.Mode, 1);
    EXPECT_FALSE(binding.Busy);
    EXPECT_EQ(binding.ListView, nullptr);
    EXPECT_FALSE(binding.OnGetDone);
    EXPECT_FALSE(binding.OnSetDone);
    EXPECT_FALSE(binding.OnAfterGet);
    EXPECT_FALSE(binding.OnAfterSet);
    EXPECT_FALSE(binding.Request.OnResult);
    EXPECT_EQ(binding.Request.Timeout, 100);
    EXPECT_EQ(binding.Request.Retries, 1);
    EXPECT_EQ(binding.Request.Alive, 1);
    EXPECT_EQ(binding.Request.Device.Address, gKvSNMPDefaultDevice.Address);
    gKvSNMPDefaultTimeout = oldTimeout;
}

TEST(Conformance, CheckBoxAndEditWithAnOptionList)
{
    Window w;
    KvOptionList onOff(kOnOff, okNumber, false);
    KvSNMPItem table[] = {
        {"1.3.6.1.4.1.32473.11.37.4.9.9.0", "flag", KvSyntax::Integer, KvAccess::ReadWrite, &onOff}, {}};
    KvSNMPRequest2Edits binding(w.form);
    binding.Request.VarList = KvSNMPVarList(table, SVT_SV, 0);
    auto *box = new TCheckBox(w.form);
    box->SetParent(w.form);
    auto *edit = new TEdit(w.form);
    edit->SetParent(w.form);
    binding.Associate(0, box);
    binding.Associate(0, edit);

    binding.Request.VarList.GetItem(0)->Value = "1";
    binding.ValuesToControls(-1);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(edit->Text(), "Enable");
    binding.Disassociate(0);
    binding.Associate(0, box);
    // Values are held by their names: a cleared box gives the first entry, a checked one the
    // second (sent as 0 and 1).
    box->SetChecked(false);
    binding.ControlsToValues(-1);
    EXPECT_EQ(binding.Request.VarList.GetItem(0)->Value, "Disable");
    box->SetChecked(true);
    binding.ControlsToValues(-1);
    EXPECT_EQ(binding.Request.VarList.GetItem(0)->Value, "Enable");
}

TEST(Conformance, ComboBoxAndRadioGroupTakeTheOptionNamesInListOrder)
{
    Window w;
    KvOptionList three(kThree, okNumber, false);
    KvSNMPItem table[] = {
        {"1.3.6.1.4.1.32473.11.37.4.9.9.0", "mode", KvSyntax::Integer, KvAccess::ReadWrite, &three}, {}};
    KvSNMPRequest2Edits binding(w.form);
    binding.Request.VarList = KvSNMPVarList(table, SVT_SV, 0);
    auto *combo = new TComboBox(w.form);
    combo->SetParent(w.form);
    binding.AssociateCombo(0, combo);
    EXPECT_EQ(combo->Style(), csDropDownList);
    ASSERT_EQ(combo->Items()->Count(), 3);
    EXPECT_EQ(combo->Items()->Strings(0), "Three");
    EXPECT_EQ(combo->Items()->Strings(2), "Two");
    binding.Request.VarList.GetItem(0)->Value = "1";
    binding.ValuesToControls(-1);
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->SetItemIndex(0); // a form chooses by index: the list's first entry
    binding.ControlsToValues(-1);
    EXPECT_EQ(binding.Request.VarList.GetItem(0)->Value, "Three");

    KvSNMPRequest2Edits radios(w.form);
    radios.Request.VarList = KvSNMPVarList(table, SVT_SV, 0);
    auto *group = new TRadioGroup(w.form);
    group->SetParent(w.form);
    radios.AssociateOptions(0, group, 3);
    ASSERT_EQ(group->Items()->Count(), 3);
    EXPECT_EQ(group->Items()->Strings(1), "One");
    radios.Request.VarList.GetItem(0)->Value = "2";
    radios.ValuesToControls(-1);
    EXPECT_EQ(group->ItemIndex(), 2);
}

TEST(Conformance, SynchronousGetWithoutAnswerReturnsFalseAndRaisesNothing)
{
    Window w;
    KvSNMPCreateGlobalSession(kvtest::makeTempDir("kv-conformance-"));
    KvSNMPRequest2Edits binding(w.form);
    binding.Request.VarList = KvSNMPVarList(kItems, MVT_SV, 0);
    binding.Request.Device.Address = "127.0.0.1";
    binding.Request.Device.Port = static_cast<uint16_t>(kvtest::freeUdpPort());
    binding.Request.Timeout = 10;
    binding.Request.Retries = 0;
    binding.Mode = 0;
    int results = 0;
    binding.Request.OnResult = [&](KvSNMPError *e) { results += e != nullptr && e->Code != 0; };
    bool ok = true;
    EXPECT_NO_THROW(ok = binding.Get());
    EXPECT_FALSE(ok);
    EXPECT_EQ(results, 1);
}

TEST(Conformance, OptionListsNumberLists)
{
    KvOptionList onOff(kOnOff, okNumber, false);
    EXPECT_EQ(onOff.Count(), 2);
    KvNumList<int> numbers;
    numbers.Parse("1.3.6");
    ASSERT_EQ(numbers.Count, 3);
    EXPECT_EQ(numbers.Numbers[2], 6);
}

TEST(Conformance, TftpServerConstructedWithItsOwner)
{
    Window w;
    KvTFTPServer server(w.form);
    EXPECT_EQ(server.Retries, 3);
    EXPECT_EQ(server.GetTemplate().Timeout, 1000);
    EXPECT_EQ(server.GetTemplate().Port, 69);
    EXPECT_EQ(server.GetTemplate().Mode, "octet");
    server.SetTimeout(300, 5);
    EXPECT_EQ(server.GetTemplate().Timeout, 300);
    bool handlerSet = false;
    server.SetOnStatus([&](KvTFTPServer *, const KvTFTPMsg *, bool *) { handlerSet = true; });
    const std::string dir = kvtest::makeTempDir("kv-conformance-tftp-");
    server.SetListenAddress("127.0.0.1");
    server.Start(dir, 0);
    EXPECT_TRUE(server.IsListening());
    EXPECT_EQ(server.GetRootDir().back(), '/');
    server.Start(dir + "/", 0); // moves the root folder only
    EXPECT_TRUE(server.IsListening());
    server.Stop();
    EXPECT_FALSE(server.IsListening());
    EXPECT_FALSE(handlerSet);
}

TEST(Conformance, LocalInterfacesFitTheArray)
{
    KvNetInterface interfaces[KvMaxNetInterfaces];
    const int count = GetLocalInterfaces(interfaces);
    EXPECT_GE(count, 0);
    EXPECT_LE(count, 10);
}

// ---- the shell ----------------------------------------------------------------------------

TEST(Conformance, MainWindowHandlersExist)
{
    using H = void (TMainForm::*)(TObject *);
    const H handlers[] = {
        &TMainForm::hWirelessBand1Click,  &TMainForm::hLan1Click,
        &TMainForm::adMode1Click,         &TMainForm::adPerformance1Click,
        &TMainForm::WirelessMACACL1Click, &TMainForm::WirelessPatrition1Click,
        &TMainForm::adEncryption2Click,   &TMainForm::adGrouping1Click,
        &TMainForm::adDHCPServer2Click,   &TMainForm::Ad_MultiSSIDClick,
        &TMainForm::RogueAPClick,         &TMainForm::tAdmin1Click,
        &TMainForm::tSystem1Click,        &TMainForm::Firmware1Click,
        &TMainForm::tUpdate1Click,        &TMainForm::tMisc1Click,
        &TMainForm::SNTP1Click,           &TMainForm::stEthernet1Click,
        &TMainForm::WLAN80211G1Click,     &TMainForm::Ethernet1Click,
        &TMainForm::Client1Click,         &TMainForm::stViewLog1Click,
        &TMainForm::stLogSetting1Click,
    };
    for (H h : handlers)
        EXPECT_NE(h, nullptr);
}

TEST(Conformance, CapabilityControlsUnderTheirNamesAndTheirGlobals)
{
    std::unique_ptr<TApplication> app = std::make_unique<TApplication>();
    auto *form = new TMainForm(app.get()); // not started: no device is asked
    const std::pair<TControl *, const char *> controls[] = {
        {form->Ed_FwVer, "Ed_FwVer"},
        {form->Ed_Countrycode, "Ed_Countrycode"},
        {form->ED_Turbomode, "ED_Turbomode"},
        {form->APModeSupport, "APModeSupport"},
        {form->ifMultiSSID_Edit, "ifMultiSSID_Edit"},
        {form->Ed_Rogue, "Ed_Rogue"},
        {form->IPAddressEdit, "IPAddressEdit"},
        {form->SubMaskEdit, "SubMaskEdit"},
        {form->Ed_SysIpaddress, "Ed_SysIpaddress"},
        {form->NewMultiSupport, "NewMultiSupport"},
        {form->Ed_ClientAddSSID, "Ed_ClientAddSSID"},
        {form->Ed_KeyTypeSup, "Ed_KeyTypeSup"},
        {form->Ed_spWDSSite, "Ed_spWDSSite"},
        {form->Ed_spSNTP, "Ed_spSNTP"},
        {form->Ed_spAccounting, "Ed_spAccounting"},
        {form->Ed_SpSmtp, "Ed_SpSmtp"},
        {form->Ed_Suppress, "Ed_Suppress"},
        {form->Ed_WMM, "Ed_WMM"},
        {form->Ed_Grouping, "Ed_Grouping"},
        {form->Ed_ManagerIP, "Ed_ManagerIP"},
        {form->Ed_WDSInfoNotSupport, "Ed_WDSInfoNotSupport"},
        {form->Ed_PacketStatNotSupport, "Ed_PacketStatNotSupport"},
        {form->Ed_SSLSupport, "Ed_SSLSupport"},
        {form->Ed_LinkStatusNotSupport, "Ed_LinkStatusNotSupport"},
        {form->ED_APModeComboBox, "ED_APModeComboBox"},
        {form->mssidAndWdssupport, "mssidAndWdssupport"},
        {form->ApmodeStringChangeSupport, "ApmodeStringChangeSupport"},
        {form->Ed_wmmOverWDSSupported, "Ed_wmmOverWDSSupported"},
        {form->Ed_DyvlanSupport, "Ed_DyvlanSupport"},
        {form->Ed_ipRangeSupported, "Ed_ipRangeSupported"},
        {form->Ed_prioritybySSIDSupported, "Ed_prioritybySSIDSupported"},
    };
    for (const auto &[control, name] : controls) {
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->Name(), name);
        EXPECT_FALSE(control->Visible()) << name;
    }
    static_assert(std::is_same_v<decltype(form->AgentAddress), AnsiString>);
    EXPECT_EQ(CapabilityNumber(form->Ed_Rogue->Text()), 0); // an unanswered control reads 0
    EXPECT_EQ(ModelNumber(gModelName), "5290");
    EXPECT_EQ(gBand11gName, "IEEE 802.11g");
    EXPECT_EQ(gMsg11gSetError, "IEEE802.11g Setting Error!");
    EXPECT_EQ(gMsg11gSetSuccess, "IEEE802.11g Setting Success!");
    EXPECT_EQ(FM_FirewareSSL, nullptr);
    EXPECT_EQ(FM_Wirless, nullptr);
    EXPECT_EQ(SNTPForm, nullptr);
    EXPECT_EQ(LogForm, nullptr);
    EXPECT_EQ(ClientInformation, nullptr);
}

TEST(Conformance, CountdownTakesWhatTheCallerSetsBeforeShowing)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(100));
    std::unique_ptr<TApplication> app = std::make_unique<TApplication>();
    const bool supported = gSaveActivateSupported;
    gSaveActivateSupported = true; // nothing is sent
    FM_Waiting = new TFM_Waiting(app.get());
    EXPECT_EQ(FM_Waiting->Text(), "Please wait");
    EXPECT_EQ(FM_Waiting->Label2->Text(), "Settings saved.");
    EXPECT_EQ(FM_Waiting->Label3->Text(), "The device is restarting.");
    EXPECT_EQ(FM_Waiting->Label1->Text(), "Please waiting for");
    EXPECT_EQ(FM_Waiting->seconds->Text(), "seconds");
    EXPECT_EQ(FM_Waiting->Countdown, 26);
    EXPECT_EQ(FM_Waiting->RebootDelay, 2);
    EXPECT_TRUE(FM_Waiting->SendReboot);
    FM_Waiting->Countdown = 3;
    int shownFirst = -1;
    kv::Timer watch;
    watch.onTimeout = [&] {
        if (FM_Waiting != nullptr && shownFirst < 0 && !FM_Waiting->La_Time->Text().empty())
            shownFirst = std::stoi(FM_Waiting->La_Time->Text());
    };
    watch.start(1);
    FM_Waiting->ShowModal();
    EXPECT_EQ(shownFirst, 2);
    EXPECT_EQ(FM_Waiting->Countdown, 0);
    EXPECT_EQ(FM_Waiting->RebootsSent(), 0);
    delete FM_Waiting;
    EXPECT_EQ(FM_Waiting, nullptr);
    gSaveActivateSupported = supported;
}

TEST(Conformance, FilteredWalkMembersAndTheirAliases)
{
    Window w;
    New_req2Edit walk(w.form);
    EXPECT_EQ(walk.Filter, "0");
    EXPECT_EQ(walk.KeyColumn, 1);
    EXPECT_EQ(walk.RowNumber, 1);
    walk.Filter = "000000000000";
    walk.RowNumber = 5;
    EXPECT_EQ(walk.FilterText, "000000000000");
    EXPECT_EQ(walk.RowCounter, 5);
    EXPECT_EQ(walk.Mode, 1);
}

TEST(Conformance, AddressValidators)
{
    const std::pair<const char *, bool> addresses[] = {
        {"192.168.1.1", true}, {"1.0.0.1", true},   {"223.255.255.254", true}, {"0.1.1.1", false},
        {"224.1.1.1", false},  {"10.1.1.0", false}, {"10.1.1.255", false},     {"10.256.1.1", false},
        {".10.1.1", false},    {"10.1.1", false},   {"10.1.1.1.1", false},     {"", false},
        {"a.b.c.d", false},    {"10.1.x.1", false},
    };
    const std::pair<const char *, bool> masks[] = {
        {"255.255.255.0", true},    {"255.255.0.0", true}, {"255.255.255.252", true},
        {"255.255.255.255", false}, {"0.0.0.0", false},    {"255.0.255.0", false},
        {"255.255.255", false},     {"", false},
    };
    for (const auto &[text, valid] : addresses)
        EXPECT_EQ(IsValidIPAddress(text), valid) << text;
    for (const auto &[text, valid] : masks)
        EXPECT_EQ(IsValidSubnetMask(text), valid) << text;
}
