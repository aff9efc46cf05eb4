#include "TFM_MultiSSIDForm.h"

#include "FormGlobals.h"
#include "KeyText.h"
#include "KvSNMPReadBatch.h"
#include "MainForm.h"
#include "Misc.h"

namespace {

using KvSyntax::DisplayStr;
using KvSyntax::Integer;
constexpr uint32_t RW = KvAccess::ReadWrite;

const FormItemTable kVlanItems = {{"2.9.1.1.1", "adVlanState", Integer, RW, &gAdVlanStateNames}};
// The master SSID is row 1.1 of the SSID table.
const FormItemTable kMasterItems = {
    {"2.9.2.1.3.1.1", "adMSSIDSSID", DisplayStr, RW},
    {"2.9.2.1.4.1.1", "adMSSIDAuth", Integer, RW, &gAdMSSIDAuthNames},
    {"2.9.2.1.5.1.1", "adMSSIDEncryption", Integer, RW, &gAdMSSIDEncryptionNames},
    {"2.9.2.1.6.1.1", "adMSSIDKeyIndex", Integer, RW, &gAdMSSIDKeyIndexNames},
    {"2.9.2.1.8.1.1", "adVlanTagID", Integer, RW},
};
enum MasterItem { kMasterSSID, kMasterAuth, kMasterEncryption, kMasterKeyIndex, kMasterVlan, kMasterItems_ };

// Guest k is row 1.(k+1) of the SSID table.
FormItemTable GuestItems(int row)
{
    const std::string instance = ".1." + std::to_string(row);
    const std::string oid[] = {"2.9.2.1.2" + instance, "2.9.2.1.3" + instance, "2.9.2.1.4" + instance,
                               "2.9.2.1.5" + instance, "2.9.2.1.6" + instance, "2.9.2.1.7" + instance,
                               "2.9.2.1.8" + instance};
    return FormItemTable{
        {oid[0].c_str(), "adMSSIDState", Integer, RW, &gAdMSSIDStateNames},
        {oid[1].c_str(), "adMSSIDSSID", DisplayStr, RW},
        {oid[2].c_str(), "adMSSIDAuth", Integer, RW, &gAdMSSIDAuthNames},
        {oid[3].c_str(), "adMSSIDEncryption", Integer, RW, &gAdMSSIDEncryptionNames},
        {oid[4].c_str(), "adMSSIDKeyIndex", Integer, RW, &gAdMSSIDKeyIndexNames},
        {oid[5].c_str(), "adMSSIDKey", DisplayStr, RW},
        {oid[6].c_str(), "adVlanTagID", Integer, RW},
    };
}
const FormItemTable kGuestItems[3] = {GuestItems(2), GuestItems(3), GuestItems(4)};
// The guests' group boxes.
const char *const kGuestLabels[3] = {"Guest SSID1", "Guest SSID2", "Guest SSID3"};
enum GuestItem {
    kGuestState,
    kGuestSSID,
    kGuestAuth,
    kGuestEncryption,
    kGuestKeyIndex,
    kGuestKey,
    kGuestVlan,
    kGuestItems_
};

const FormItemTable kAPModeItems = {
    {"2.1.1.1.1", "adAPMode", Integer, RW, &gAdAPModeNames2},
    {"2.3.1.11.1", "adSuperMode", Integer, RW, &gAdSuperModeNames},
};

void Warn(const AnsiString &text, const char *caption = "Warning")
{
    Application->MessageBox(text, caption, MB_OK);
}

void SelectText(TComboBox *combo, const AnsiString &text)
{
    combo->SetItemIndex(combo->Items()->IndexOf(text));
}

void EnableAll(std::initializer_list<TControl *> controls, bool enabled)
{
    for (TControl *c : controls)
        c->SetEnabled(enabled);
}

// Access flags of every item of a group: all left out, those named sent.
std::vector<std::pair<int, uint32_t>> NoneSent(int count)
{
    std::vector<std::pair<int, uint32_t>> flags;
    for (int i = 0; i < count; ++i)
        flags.emplace_back(i, KvAccess::Invalid);
    return flags;
}

// Three columns of label and control per line; the middle one shows a security the list
// lacks ("Open System / Shared Key") whole.
constexpr int kLabel[] = {10, 206, 462};
constexpr int kControl[] = {88, 284, 546};
constexpr int kWidth[] = {108, 168, 88};

} // namespace

TFM_MultiSSIDForm::TFM_MultiSSIDForm(TComponent *AOwner) : TForm(AOwner)
{
    BuildLayout();
    Bt_Refresh->OnClick = [this](TObject *s) { Bt_RefreshClick(s); };
    Bt_Apply->OnClick = [this](TObject *s) { Bt_ApplyClick(s); };
    Bt_Close->OnClick = [this](TObject *s) { Bt_CloseClick(s); };
    CheckBox1->OnClick = [this](TObject *s) { CheckBox1Click(s); };
    for (int k = 1; k <= 3; ++k) {
        Guest &g = guest(k);
        g.Box->OnClick = [this, k](TObject *) { GuestCheckBoxClick(k); };
        g.Temp->OnChange = [this, k](TObject *) { GuestSecurityChange(k); };
        g.Security->OnChange = [this, k](TObject *) { GuestSecurityChange(k); };
        g.KeySize->OnChange = [this, k](TObject *) { GuestKeySizeChange(k); };
        g.KeyType->OnChange = [this, k](TObject *) { GuestKeySizeChange(k); };
        g.KeyIndex->OnChange = [this, k](TObject *) { GuestKeyChange(k); };
        g.SSID->OnExit = [this, k](TObject *) { GuestSSIDEditExit(k); };
    }
    // As the resource has it: leaving a guest's VLAN group ID checks guest 1's or guest 2's SSID.
    GuestGroupID1->OnExit = [this](TObject *) { GuestSSIDEditExit(1); };
    GuestGroupID2->OnExit = [this](TObject *) { GuestSSIDEditExit(2); };
    GuestGroupID3->OnExit = [this](TObject *) { GuestSSIDEditExit(2); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
}

void TFM_MultiSSIDForm::BuildLayout()
{
    SetupFormWindow(this, {"FM_MultiSSIDForm", "Advanced\\Multi-SSID", 680, 516});
    StatusBar1 = Make<TStatusBar>(this, "StatusBar1");
    PageControl1 = Make<TPageControl>(this, "PageControl1", {8, 8, 664, 446});
    TabSheet1 = new TTabSheet(this); // owned by the form, shown by its page control
    TabSheet1->SetName("TabSheet1");
    TabSheet1->SetPageControl(PageControl1);
    TabSheet1->SetText(gBand11gName);
    CheckBox1 = Make<TCheckBox>(TabSheet1, "CheckBox1", {12, 8, 160, 17}, "Enable VLAN State ");
    VLan_State = Make<TComboBox>(TabSheet1, "VLan_State", {200, 4, 100, 21});
    VLan_State->Hide();

    GB_Master = Make<TGroupBox>(TabSheet1, "GB_Master", {8, 32, 644, 76}, "Master SSID");
    Lab_MasterSSID = Make<TLabel>(GB_Master, "Lab_MasterSSID", {kLabel[0], 23, 76, 16}, "SSID");
    MasterSSIDEdit = Make<TEdit>(GB_Master, "MasterSSIDEdit", {kControl[0], 20, kWidth[0], 21});
    Lab_MasterSecurity = Make<TLabel>(GB_Master, "Lab_MasterSecurity", {kLabel[1], 23, 76, 16}, "Security");
    SecurityBox = Make<TComboBox>(GB_Master, "SecurityBox", {kControl[1], 20, kWidth[1], 21});
    Lab_GroupID = Make<TLabel>(GB_Master, "Lab_GroupID", {kLabel[2], 23, 82, 16}, "VLAN Group ID");
    GroupIDBox = Make<TEdit>(GB_Master, "GroupIDBox", {kControl[2], 20, kWidth[2], 21});
    Lab_DefaultKey = Make<TLabel>(GB_Master, "Lab_DefaultKey", {kLabel[0], 49, 76, 16}, "Master Key");
    DefaultKey = Make<TComboBox>(GB_Master, "DefaultKey", {kControl[0], 46, kWidth[0], 21});
    Encryption_ComboBox = Make<TComboBox>(GB_Master, "Encryption_ComboBox", {kControl[1], 46, kWidth[1], 21});
    Encryption_ComboBox->Hide();
    for (TControl *c : std::initializer_list<TControl *>{MasterSSIDEdit, SecurityBox, DefaultKey})
        c->SetEnabled(false);

    for (int k = 1; k <= 3; ++k)
        BuildGuest(k, 114 + (k - 1) * 100);
    Guest1CheckBox = guest(1).Box;
    Guest2CheckBox = guest(2).Box;
    Guest3CheckBox = guest(3).Box;
    GuestSSIDEdit1 = guest(1).SSID;
    GuestSSIDEdit2 = guest(2).SSID;
    GuestSSIDEdit3 = guest(3).SSID;
    TempComboBox1 = guest(1).Temp;
    TempComboBox2 = guest(2).Temp;
    TempComboBox3 = guest(3).Temp;
    GuestKeyType1 = guest(1).KeyType;
    GuestKeyType2 = guest(2).KeyType;
    GuestKeyType3 = guest(3).KeyType;
    GuestKeySize1 = guest(1).KeySize;
    GuestKeySize2 = guest(2).KeySize;
    GuestKeySize3 = guest(3).KeySize;
    GuestKey1 = guest(1).KeyIndex;
    GuestKey2 = guest(2).KeyIndex;
    GuestKey3 = guest(3).KeyIndex;
    GuestKeyvalueEdit1 = guest(1).Key;
    GuestKeyvalueEdit2 = guest(2).Key;
    GuestKeyvalueEdit3 = guest(3).Key;
    GuestGroupID1 = guest(1).GroupID;
    GuestGroupID2 = guest(2).GroupID;
    GuestGroupID3 = guest(3).GroupID;
    GuestSSID1 = guest(1).State;
    GuestSSID2 = guest(2).State;
    GuestSSID3 = guest(3).State;
    GuestSecurity1 = guest(1).Security;
    GuestSecurity2 = guest(2).Security;
    GuestSecurity3 = guest(3).Security;
    EnableEncryption1 = guest(1).Encryption;
    EnableEncryption2 = guest(2).Encryption;
    EnableEncryption3 = guest(3).Encryption;

    AP_ModeComboBox = Make<TComboBox>(TabSheet1, "AP_ModeComboBox", {300, 4, 100, 21});
    Supermode_ComboBox = Make<TComboBox>(TabSheet1, "Supermode_ComboBox", {400, 4, 100, 21});
    AP_ModeComboBox->Hide();
    Supermode_ComboBox->Hide();
    Bt_Refresh = Make<TButton>(this, "Bt_Refresh", {412, 462, 80, 25}, "Refresh");
    Bt_Apply = Make<TButton>(this, "Bt_Apply", {502, 462, 80, 25}, "Apply");
    Bt_Close = Make<TButton>(this, "Bt_Close", {592, 462, 80, 25}, "Close");
}

void TFM_MultiSSIDForm::BuildGuest(int k, int top)
{
    const std::string n = std::to_string(k);
    auto name = [&](const char *base) { return std::string(base) + n; };
    Guest &g = guest(k);
    g.Group = Make<TGroupBox>(TabSheet1, name("GB_Guest").c_str(), {8, top, 644, 94}, "Guest SSID" + n);
    // Guests 2 and 3 have a blank after their caption.
    g.Box = Make<TCheckBox>(g.Group, ("Guest" + n + "CheckBox").c_str(), {kLabel[0], 18, 180, 17},
                            "Enable Guest SSID" + n + (k == 1 ? "" : " "));
    Make<TLabel>(g.Group, name("Lab_GuestGroupID").c_str(), {kLabel[2], 20, 82, 16}, "VLAN Group ID");
    g.GroupID = Make<TEdit>(g.Group, name("GuestGroupID").c_str(), {kControl[2], 17, kWidth[2], 21});
    Make<TLabel>(g.Group, name("Lab_GuestSSID").c_str(), {kLabel[0], 45, 76, 16}, "SSID");
    g.SSID = Make<TEdit>(g.Group, name("GuestSSIDEdit").c_str(), {kControl[0], 42, kWidth[0], 21});
    Make<TLabel>(g.Group, name("Lab_GuestSecurity").c_str(), {kLabel[1], 45, 76, 16}, "Security");
    g.Temp = Make<TComboBox>(g.Group, name("TempComboBox").c_str(), {kControl[1], 42, kWidth[1], 21});
    g.Temp->SetStyle(csDropDownList);
    Make<TLabel>(g.Group, name("Lab_GuestKeyIndex").c_str(), {kLabel[2], 45, 82, 16}, "Key Index");
    g.KeyIndex = Make<TComboBox>(g.Group, name("GuestKey").c_str(), {kControl[2], 42, kWidth[2], 21});
    Make<TLabel>(g.Group, name("Lab_GuestKeyType").c_str(), {kLabel[0], 69, 76, 16}, "Key Type");
    g.KeyType = Make<TComboBox>(g.Group, name("GuestKeyType").c_str(), {kControl[0], 66, kWidth[0], 21});
    g.KeyType->SetStyle(csDropDownList);
    Make<TLabel>(g.Group, name("Lab_GuestKeySize").c_str(), {kLabel[1], 69, 76, 16}, "Key Size");
    g.KeySize = Make<TComboBox>(g.Group, name("GuestKeySize").c_str(), {kControl[1], 66, kWidth[1], 21});
    g.KeySize->SetStyle(csDropDownList);
    Make<TLabel>(g.Group, name("Lab_GuestKeyValue").c_str(), {kLabel[2], 69, 82, 16}, "Key");
    g.Key = Make<TEdit>(g.Group, name("GuestKeyvalueEdit").c_str(), {kControl[2], 66, kWidth[2], 21});
    g.Key->SetPasswordChar('*');
    g.State = Make<TComboBox>(g.Group, name("GuestSSID").c_str(), {200, 16, 60, 21});
    g.Security = Make<TComboBox>(g.Group, name("GuestSecurity").c_str(), {260, 16, 60, 21});
    g.Encryption = Make<TComboBox>(g.Group, name("EnableEncryption").c_str(), {320, 16, 60, 21});
    for (TControl *hidden : std::initializer_list<TControl *>{g.State, g.Security, g.Encryption})
        hidden->Hide();
}

void TFM_MultiSSIDForm::FormCreate(TObject *)
{
    GuardCreate(StatusBar1, [this] {
        VlanBinding = MakeBinding(this, {.Items = kVlanItems,
                                         .Label = "VLAN State",
                                         .Type = SVT_SV,
                                         .Mode = BindMode::Sync,
                                         .Timeout = 10000,
                                         .Log = StatusBar1});
        VlanBinding->AssociateCombo(0, VLan_State);
        // The master row and the AP mode are read before the guests' choices depend on them.
        MasterBinding = MakeBinding(
            this, {.Items = kMasterItems, .Label = "Master SSID", .Type = MVT_SV, .Mode = BindMode::Sync});
        MasterBinding->AssociateEdits(kMasterSSID, "%s", MasterSSIDEdit);
        MasterBinding->AssociateCombo(kMasterAuth, SecurityBox);
        MasterBinding->AssociateCombo(kMasterEncryption, Encryption_ComboBox);
        MasterBinding->AssociateCombo(kMasterKeyIndex, DefaultKey);
        MasterBinding->AssociateEdits(kMasterVlan, "%u{n1x4095}", GroupIDBox);
        for (int k = 1; k <= 3; ++k) {
            Guest &g = guest(k);
            auto &b = GuestBindings[static_cast<std::size_t>(k - 1)];
            b = MakeBinding(this, {.Items = kGuestItems[k - 1],
                                   .Label = kGuestLabels[k - 1],
                                   .Type = MVT_SV,
                                   .Mode = BindMode::Sync});
            b->AssociateCombo(kGuestState, g.State);
            b->AssociateEdits(kGuestSSID, "%s", g.SSID);
            b->AssociateCombo(kGuestAuth, g.Security);
            b->AssociateCombo(kGuestEncryption, g.Encryption);
            b->AssociateCombo(kGuestKeyIndex, g.KeyIndex);
            b->AssociateEdits(kGuestKey, "%s", g.Key);
            b->AssociateEdits(kGuestVlan, "%u{n1x4095}", g.GroupID);
        }
        APModeBinding = MakeBinding(
            this,
            {.Items = kAPModeItems, .Label = "AP Mode and Super G", .Type = MVT_SV, .Mode = BindMode::Sync});
        APModeBinding->AssociateCombo(0, AP_ModeComboBox);
        APModeBinding->AssociateCombo(1, Supermode_ComboBox);
        ReadAll();
        SetupKeyLists();
        ShowVlan();
        // The lists first: a guest's key controls follow the security its list shows.
        FillSecurityLists();
        ShowGuests();
        EditLengths();
        KeyEditLengths();
        ShowUnread();
    });
}

void TFM_MultiSSIDForm::ReadAll()
{
    VlanBinding->Get();
    MasterBinding->Get();
    for (auto &b : GuestBindings)
        b->Get();
    APModeBinding->Get();
}

void TFM_MultiSSIDForm::ShowUnread()
{
    // Over the VLAN state's log line, which tells only its own read.
    ShowReadFailure(StatusBar1, {VlanBinding.get(), MasterBinding.get(), GuestBindings[0].get(),
                                 GuestBindings[1].get(), GuestBindings[2].get(), APModeBinding.get()});
}

void TFM_MultiSSIDForm::Bt_RefreshClick(TObject *)
{
    if (!VlanBinding || !APModeBinding)
        return;
    const KvSNMPReadBatch reads;
    ReadAll();
    // Key types and sizes as an opening takes them from the keys read, not as the user left
    // them: a discarded choice would refuse the keys just read.
    SetupKeyLists();
    ShowVlan();
    FillSecurityLists();
    ShowGuests();
    EditLengths();
    KeyEditLengths();
    ShowUnread();
}

void TFM_MultiSSIDForm::Bt_CloseClick(TObject *)
{
    Close();
}

bool TFM_MultiSSIDForm::guestRead(int k) const
{
    const auto &binding = GuestBindings[static_cast<std::size_t>(k - 1)];
    return binding && binding->WasRead();
}

void TFM_MultiSSIDForm::ShowVlan()
{
    // A state that could not be read shows nothing, not "on".
    CheckBox1->SetChecked(VlanBinding->WasRead() && VLan_State->Text() != "disabled");
    CheckBox1Click(nullptr);
}

void TFM_MultiSSIDForm::CheckBox1Click(TObject *)
{
    const bool on = CheckBox1->Checked();
    EnableAll({GroupIDBox, GuestGroupID1, GuestGroupID2, GuestGroupID3}, on);
    // An unread state keeps showing nothing (it is never written).
    if (VlanBinding && VlanBinding->WasRead())
        SelectText(VLan_State, on ? "enabled" : "disabled");
}

void TFM_MultiSSIDForm::ShowGuests()
{
    for (int k = 1; k <= 3; ++k)
        guest(k).Box->SetChecked(guestRead(k) && guest(k).State->Text() != "disabled");
    for (int k = 1; k <= 3; ++k)
        EnableGuest(k);
}

void TFM_MultiSSIDForm::GuestCheckBoxClick(int k)
{
    Guest &g = guest(k);
    if (guestRead(k))
        SelectText(g.State, g.Box->Checked() ? "enabled" : "disabled");
    EnableGuest(k);
}

void TFM_MultiSSIDForm::EnableGuest(int k)
{
    Guest &g = guest(k);
    if (!g.Box->Checked()) {
        EnableAll({g.SSID, g.Temp, g.KeyIndex, g.KeyType, g.KeySize, g.Key}, false);
        return;
    }
    g.SSID->SetEnabled(true);
    // Guests take WEP only beside a master that uses WEP or nothing.
    const AnsiString master = SecurityBox->Text();
    const bool masterEncrypted = Encryption_ComboBox->Text() == "enabled";
    g.Temp->SetEnabled(master == "Open System" || master == "Shared Key" ||
                       (master == "Open System / Shared Key" && !masterEncrypted));
    EnableGuestKey(k);
}

void TFM_MultiSSIDForm::EnableGuestKey(int k)
{
    Guest &g = guest(k);
    EnableAll({g.KeyIndex, g.KeyType, g.KeySize, g.Key},
              g.Encryption->Text() == "enabled" && !keptSecurity(k));
}

void TFM_MultiSSIDForm::GuestSecurityChange(int k)
{
    Guest &g = guest(k);
    if (g.Temp->Text() != "None")
        SelectText(g.Security, g.Temp->Text());
    SetEncryptionFlags();
    EnableGuestKey(k);
}

void TFM_MultiSSIDForm::SetEncryptionFlags()
{
    for (int k = 1; k <= 3; ++k) {
        Guest &g = guest(k);
        // A security kept as read was read encrypted.
        const AnsiString choice = g.Temp->Text();
        const bool encrypted = keptSecurity(k) || choice == "Open System" || choice == "Shared Key";
        SelectText(g.Encryption, encrypted ? "enabled" : "disabled");
    }
}

void TFM_MultiSSIDForm::FillSecurityLists()
{
    for (int k = 1; k <= 3; ++k) {
        Guest &g = guest(k);
        TStrings *items = g.Temp->Items();
        items->Clear();
        for (const char *name : {"None", "Open System", "Shared Key"})
            items->Add(name);
        // The guest's authentication as the device names it, added where the list lacks it;
        // nothing of a guest that was not read.
        FormBinding &binding = *GuestBindings[static_cast<std::size_t>(k - 1)];
        const AnsiString encryption = ReadValueName(binding, kGuestEncryption);
        const AnsiString security =
            encryption != "enabled" ? AnsiString("None") : ReadValueName(binding, kGuestAuth);
        ShowDeviceValue(g.Temp, encryption.empty() ? AnsiString() : security);
    }
}

void TFM_MultiSSIDForm::SetupKeyLists()
{
    for (Guest &g : m_guests) {
        g.KeySize->Items()->Clear();
        for (const char *name : {"64 Bits", "128 Bits", "152 Bits"})
            g.KeySize->Items()->Add(name);
        g.KeySize->SetItemIndex(0);
        g.KeyType->Items()->Clear();
        for (const char *name : {"HEX", "ASCII"})
            g.KeyType->Items()->Add(name);
        g.KeyType->SetItemIndex(0);
    }
    KeySizesFromKeys();
}

void TFM_MultiSSIDForm::KeySizesFromKeys()
{
    for (int k = 1; k <= 3; ++k) {
        Guest &g = guest(k);
        // Nothing of a key that could not be read; a guest read again gets its lists' choice.
        if (!guestRead(k)) {
            g.KeyType->SetItemIndex(-1);
            g.KeySize->SetItemIndex(-1);
            continue;
        }
        if (g.KeyType->ItemIndex() < 0)
            g.KeyType->SetItemIndex(0);
        if (g.KeySize->ItemIndex() < 0)
            g.KeySize->SetItemIndex(0);
        const std::size_t length = g.Key->Text().size();
        if (length == 10 || length == 26 || length == 32)
            g.KeySize->SetItemIndex(length == 10 ? 0 : length == 26 ? 1 : 2);
    }
}

void TFM_MultiSSIDForm::GuestKeySizeChange(int k)
{
    Guest &g = guest(k);
    g.Key->SetMaxLength(WepKeyLength(g.KeyType->ItemIndex(), g.KeySize->ItemIndex()));
}

void TFM_MultiSSIDForm::KeyEditLengths()
{
    for (int k = 1; k <= 3; ++k)
        GuestKeySizeChange(k);
}

void TFM_MultiSSIDForm::EditLengths()
{
    for (Guest &g : m_guests) {
        g.SSID->SetMaxLength(32);
        g.GroupID->SetMaxLength(4);
    }
    GroupIDBox->SetMaxLength(4);
}

void TFM_MultiSSIDForm::GuestKeyChange(int k)
{
    KeyIndexClash(k);
}

void TFM_MultiSSIDForm::GuestSSIDEditExit(int k)
{
    SSIDClash(k);
}

bool TFM_MultiSSIDForm::KeyIndexClash(int k)
{
    Guest &g = guest(k);
    if (!g.KeyIndex->Enabled())
        return false;
    const AnsiString prefix = "The 11g Guest SSID" + std::to_string(k) + "'s key index is same as ";
    if (g.KeyIndex->Text() == DefaultKey->Text() && Encryption_ComboBox->Text() == "enabled") {
        Warn(prefix + "master SSID");
        return true;
    }
    for (int j = 1; j <= 3; ++j) {
        if (j != k && guest(j).KeyIndex->Enabled() && guest(j).KeyIndex->Text() == g.KeyIndex->Text()) {
            Warn(prefix + "Guest SSID" + std::to_string(j));
            return true;
        }
    }
    return false;
}

bool TFM_MultiSSIDForm::SSIDClash(int k)
{
    Guest &g = guest(k);
    if (!g.SSID->Enabled())
        return false;
    const AnsiString prefix = "The 11g Guest SSID" + std::to_string(k) + "'s SSID is same as ";
    AnsiString text;
    if (g.SSID->Text() == MasterSSIDEdit->Text() && Encryption_ComboBox->Text() == "enabled")
        text = prefix + "master SSID";
    for (int j = 1; j <= 3 && text.empty(); ++j)
        if (j != k && guest(j).SSID->Enabled() && guest(j).SSID->Text() == g.SSID->Text())
            text = prefix + "SSID" + std::to_string(j) + "'s SSID";
    if (text.empty())
        return false;
    Warn(text);
    g.SSID->SetFocus();
    return true;
}

bool TFM_MultiSSIDForm::CheckSSIDs()
{
    for (int k = 1; k <= 3; ++k) {
        // A guest not read is neither checked nor written: the user typed none of it.
        if (!guestRead(k))
            continue;
        Guest &g = guest(k);
        const AnsiString ssid = g.SSID->Text();
        const std::string n = std::to_string(k);
        if (ssid.size() > 32) {
            Warn("The Max Length of Guest SSID" + n + "'s SSID is 32.!");
            return false;
        }
        if (ssid.empty()) {
            Warn("Please Input SSID in Guest SSID" + n + ".");
            return false;
        }
        if (ssid[0] == ' ') {
            Warn("The first character can't be blank in Guest SSID" + n + ".", "Error");
            g.SSID->SetFocus();
            return false;
        }
    }
    return true;
}

bool TFM_MultiSSIDForm::CheckGroupIDs()
{
    if (MasterBinding->WasRead() && GroupIDBox->Text().empty()) {
        Warn("The 11g master SSID's ID is invalid.The range of ID is 1 to 4095.");
        GroupIDBox->SetFocus();
        return false;
    }
    for (int k = 1; k <= 3; ++k) {
        if (guestRead(k) && guest(k).GroupID->Text().empty()) {
            Warn("The 11g guest SSID" + std::to_string(k) + "'s ID is invalid.The range of ID is 1 to 4095.");
            guest(k).GroupID->SetFocus();
            return false;
        }
    }
    return true;
}

bool TFM_MultiSSIDForm::CheckKeysAndColumns(std::vector<std::pair<int, uint32_t>> &master,
                                            std::array<std::vector<std::pair<int, uint32_t>>, 3> &guests)
{
    master = NoneSent(kMasterItems_);
    for (auto &flags : guests)
        flags = NoneSent(kGuestItems_);
    auto send = [](std::vector<std::pair<int, uint32_t>> &flags, int item) {
        flags[static_cast<std::size_t>(item)].second = RW;
    };
    for (int k = 1; k <= 3; ++k) {
        Guest &g = guest(k);
        if (!g.Key->Enabled())
            continue;
        const AnsiString subject = "Guest SSID" + std::to_string(k) + "'s key in IEEE802.11g";
        if (!CheckWepKeyLengths(g.KeyType->ItemIndex(), g.KeySize->ItemIndex(), {{g.Key, subject}}))
            return false;
        const int hex = IsHexText(g.Key);
        if (hex == 1)
            return false;
        if (hex == 2)
            send(guests[static_cast<std::size_t>(k - 1)], kGuestKey);
    }
    const bool vlan = VLan_State->Text() == "enabled";
    send(master, kMasterSSID);
    if (vlan)
        send(master, kMasterVlan);
    for (int k = 1; k <= 3; ++k) {
        Guest &g = guest(k);
        auto &flags = guests[static_cast<std::size_t>(k - 1)];
        send(flags, kGuestState);
        if (vlan)
            send(flags, kGuestVlan);
        if (g.State->Text() != "enabled")
            continue;
        send(flags, kGuestSSID);
        // A security the list lacks goes on as the device holds it.
        if (keptSecurity(k))
            continue;
        send(flags, kGuestEncryption);
        if (g.Encryption->Text() == "enabled") {
            send(flags, kGuestAuth);
            send(flags, kGuestKeyIndex);
            send(flags, kGuestKey);
        }
    }
    return true;
}

void TFM_MultiSSIDForm::Bt_ApplyClick(TObject *)
{
    if (!VlanBinding || !APModeBinding)
        return;
    // Groups that could not be read are not checked here and not written below, but named.
    if (!CheckSSIDs() || !CheckGroupIDs())
        return;
    for (int k = 1; k <= 3; ++k)
        if (KeyIndexClash(k))
            return;
    for (int k = 1; k <= 3; ++k)
        if (SSIDClash(k))
            return;
    std::vector<std::pair<int, uint32_t>> master;
    std::array<std::vector<std::pair<int, uint32_t>>, 3> guests;
    if (!CheckKeysAndColumns(master, guests))
        return;
    const bool ok = WriteAll(master, guests);
    ForgetKeptValues(Chain, {{TempComboBox1, GuestBindings[0].get()},
                             {TempComboBox2, GuestBindings[1].get()},
                             {TempComboBox3, GuestBindings[2].get()}});
    if (ok && Chain.WroteAny()) {
        // Shown in either saving mode; the window sends the restart only to a device without
        // deferred saving.
        RunCountdownWindow({});
        SetupKeyLists();
    }
    Chain.Show(StatusBar1, Chain.Text("Set Success!", "Set Error."));
}

bool TFM_MultiSSIDForm::WriteAll(const std::vector<std::pair<int, uint32_t>> &master,
                                 const std::array<std::vector<std::pair<int, uint32_t>>, 3> &guests)
{
    Chain.Begin();
    bool inUse = VLan_State->Text() == "enabled";
    for (Guest &g : m_guests)
        inUse = inUse || g.State->Text() == "enabled";
    const AnsiString heldMode = AP_ModeComboBox->Text();
    const AnsiString heldSuper = Supermode_ComboBox->Text();
    if (inUse) {
        // The device switches Multi-SSID on: as an access point without Super G.
        SelectText(AP_ModeComboBox, "Access Point");
        SelectText(Supermode_ComboBox, "Disable");
        // Not written (refused, unanswered, or not read): the lists show what they showed.
        if (Chain.Put(APModeBinding.get()) != GroupResult::Written) {
            SelectText(AP_ModeComboBox, heldMode);
            SelectText(Supermode_ComboBox, heldSuper);
        }
    }
    // Nothing the mode was switched for came: the device gets its own mode back.
    const auto restoreMode = [&] {
        if (heldMode == AP_ModeComboBox->Text() && heldSuper == Supermode_ComboBox->Text())
            return false;
        SelectText(AP_ModeComboBox, heldMode);
        SelectText(Supermode_ComboBox, heldSuper);
        return true;
    };
    Chain.Put(VlanBinding.get(), {.PutBack = {APModeBinding.get(), restoreMode}});
    {
        AccessPatch patch(*MasterBinding, master);
        Chain.Put(MasterBinding.get());
    }
    for (std::size_t k = 0; k < 3; ++k) {
        AccessPatch patch(*GuestBindings[k], guests[k]);
        Chain.Put(GuestBindings[k].get());
    }
    return !Chain.Stopped();
}
