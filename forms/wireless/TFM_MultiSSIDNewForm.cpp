#include "TFM_MultiSSIDNewForm.h"

#include "FormGlobals.h"
#include "MainForm.h"
#include "MainMenu.h"
#include "Misc.h"

bool gMultiSSIDIdle = false;
bool gMultiSSIDWarnArmed = false;

namespace {

using KvSyntax::DisplayStr;
using KvSyntax::Integer;
constexpr uint32_t RW = KvAccess::ReadWrite;

const FormItemTable kManagerVlanItems = {
    {"3.1.8.1", "admManagerVLANIDStatus", Integer, RW, &gAdmManagerVLANIDStatusNames}};
const FormItemTable kPriorityItems = {
    {"2.9.4.1.1.1", "adMSSIDPriorityState", Integer, RW, &gAdMSSIDPriorityStateNames}};
const FormItemTable kAPModeItems = {
    {"2.1.1.1.1", "adAPMode", Integer, RW, &gAdAPModeNames2},
    {"2.3.1.11.1", "adSuperMode", Integer, RW, &gAdSuperModeNames},
};
const FormItemTable kMSSIDStateItems = {{"2.9.3.1.1", "adMSSIDState", Integer, RW, &gAdMSSIDStateNames2}};
const FormItemTable kVlanStateItems = {{"2.9.1.1.1", "adVlanState", Integer, RW, &gAdVlanStateNames2}};
const FormItemTable kGroupKeyItems = {{"2.5.1.1.6", "adSecGroupKeyUpdateInterval", Integer, RW}};
const FormItemTable kRadiusItems = {
    {"2.5.2.3", "adSecRADIUSServer", DisplayStr, RW},
    {"2.5.2.4", "adSecRADIUSPort", Integer, RW},
    {"2.5.2.5", "adSecRADIUSSecret", DisplayStr, RW},
};

// The SSID table in column order; the index columns have no object of their own. Every device
// has the first 17 columns; the last three only some.
const FormItemTable kSSIDTable = {
    {"2.9.2.1.0", "ifIndex", Integer, KvAccess::NotAccess},
    {"2.9.2.1.1", "adMSSIDIndex", Integer, KvAccess::NotAccess},
    {"2.9.2.1.3", "adMSSIDSSID", DisplayStr, RW},
    {"2.9.2.1.2", "adMSSIDIdvState", Integer, RW, &gAdMSSIDIdvStateNames},
    {"2.9.2.1.4", "adMSSIDAuth", Integer, RW, &gAdMSSIDAuthNames2},
    {"2.9.2.1.5", "adMSSIDEncryption", Integer, RW, &gAdMSSIDEncryptionNames2},
    {"2.9.2.1.6", "adMSSIDKeyIndex", Integer, RW, &gAdMSSIDKeyIndexNames2},
    {"2.9.2.1.7", "adMSSIDKey", DisplayStr, RW},
    {"2.9.2.1.8", "adVlanTagID", Integer, RW},
    {"2.9.2.1.11", "adMSSIDCipherType", Integer, RW, &gAdMSSIDCipherTypeNames},
    {"2.9.2.1.12", "adMSSIDPassPhrase", DisplayStr, RW},
    {"2.9.2.1.13", "adMSSIDKeyType", Integer, RW, &gAdMSSIDKeyTypeNames},
    {"2.9.2.1.15", "adMSSIDIdvAccountMode", Integer, RW, &gAdMSSIDIdvAccountModeNames},
    {"2.9.2.1.16", "adMSSIDIdvAccountServer", DisplayStr, RW},
    {"2.9.2.1.17", "adMSSIDIdvAccountPort", Integer, RW},
    {"2.9.2.1.14", "adMSSIDSuppress", Integer, RW, &gAdMSSIDSuppressNames},
    {"2.9.2.1.18", "adMSSIDWmm", Integer, RW, &gAdMSSIDWmmNames},
    {"2.9.2.1.19", "adMSSIDdyVlanState", Integer, RW, &gAdMSSIDdyVlanStateNames},
    {"2.9.2.1.20", "adMSSIDEthernetWithoutTag", Integer, RW, &gAdMSSIDEthernetWithoutTagNames},
    {"2.9.2.1.21", "adMSSIDPriority", Integer, RW},
};
constexpr int kNarrowColumns = 17;

bool CapabilityIsOne(const TEdit *edit)
{
    return edit != nullptr && CapabilityNumber(edit->Text()) == 1;
}

// Two columns of label and control per line in the row editor and its groups.
constexpr int kLine = 24;
// The first column shows a security its list lacks ("Open System / Shared Key") whole.
constexpr int kLabelA = 10, kControlA = 118, kLabelB = 300, kControlB = 404;
constexpr int kWidthA = 172, kWidthB = 122;
constexpr int kInLabelA = 8, kInControlA = 168, kInLabelB = 300, kInControlB = 394;

} // namespace

TFM_MultiSSIDNewForm::TFM_MultiSSIDNewForm(TComponent *AOwner) : TForm(AOwner)
{
    BuildLayout();
    m_groupKeyInterval.clear();
    GP_PSK->Hide();
    DelButton->SetEnabled(false);
    gMultiSSIDIdle = false;
    m_wpaUsesKeySlots = false;
    m_userListClick = false;
    // The RADIUS server is the device's own setting: shown here, edited in the Wireless form.
    Ed_RadiusPort->SetEnabled(false);
    Ed_RiduisServ->SetEnabled(false);
    Ed_RadiusSec->SetEnabled(false);
    Label3->Hide();
    CB_WMM->Hide();
    Label2->Hide();
    CB_Broadcast->Hide();

    CB_Idx->OnChange = [this](TObject *s) { CB_IdxChange(s); };
    LV_MultiSSID_User->OnClick = [this](TObject *s) { LV_MultiSSID_UserClick(s); };
    LV_MultiSSID_User->OnExit = [this](TObject *s) { LV_MultiSSID_UserExit(s); };
    IfEnabMuSSID->OnClick = [this](TObject *s) {
        if (!m_quiet)
            IfEnabMuSSIDClick(s);
    };
    CB_VLanState->OnClick = [this](TObject *s) {
        if (!m_quiet)
            CB_VLanStateClick(s);
    };
    CheckBox_Priority->OnClick = [this](TObject *s) {
        if (!m_quiet)
            CheckBox_PriorityClick(s);
    };
    CB_SecShow->OnChange = [this](TObject *s) { CB_SecShowChange(s); };
    CB_Sec->OnChange = [this](TObject *s) { CB_SecChange(s); };
    CB_KeyType->OnChange = [this](TObject *s) { CB_KeySizeChange(s); };
    CB_KeySize->OnChange = [this](TObject *s) { CB_KeySizeChange(s); };
    CB_IdxTmp->OnChange = [this](TObject *s) { CB_IdxTmpChange(s); };
    CB_DyVlan->OnChange = [this](TObject *s) { CB_DyVlanChange(s); };
    SaveButton->OnClick = [this](TObject *s) { SaveButtonClick(s); };
    DelButton->OnClick = [this](TObject *s) { DelButtonClick(s); };
    ApplyBtn->OnClick = [this](TObject *s) { ApplyBtnClick(s); };
    CancelBtn->OnClick = [this](TObject *s) { CancelBtnClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    Guard.WatchIdle(gMultiSSIDIdle);
    Guard.Watch(SSIDTableBinding);
    Guard.Install(this);
}

void TFM_MultiSSIDNewForm::BuildLayout()
{
    SetupFormWindow(this, {"FM_MultiSSIDNewForm", "Advanced \\ Multi-SSID", 560, 618});
    StatusBar1 = Make<TStatusBar>(this, "StatusBar1");
    Panel1 = Make<TPanel>(this, "Panel1", {0, 0, 560, 598});
    Panel2 = Make<TPanel>(Panel1, "Panel2", {6, 6, 548, 375});
    IfEnabMuSSID = Make<TCheckBox>(Panel2, "IfEnabMuSSID", {10, 9, 130, 17}, "Enable Multi-SSID ");
    CB_VLanState = Make<TCheckBox>(Panel2, "CB_VLanState", {150, 9, 130, 17}, "Enable VLAN State");
    CheckBox_Priority = Make<TCheckBox>(Panel2, "CheckBox_Priority", {290, 9, 110, 17}, "Enable Priority");
    BandComboBox =
        Make<TComboBox>(Panel2, "BandComboBox", {416, 6, 122, 21}, {"IEEE 802.11a", "IEEE 802.11g"});
    BandComboBox->SetStyle(csDropDownList);
    Panel3 = Make<TPanel>(Panel2, "Panel3", {4, 34, 540, 337});
    GroupBox2 = Make<TGroupBox>(Panel3, "GroupBox2", {4, 2, 532, 331});

    // The row editor: five lines, then the key or pass-phrase group in one place.
    auto line = [](int n) { return 18 + n * kLine; };
    Lab_SSIDIdx = Make<TLabel>(GroupBox2, "Lab_SSIDIdx", {kLabelA, line(0) + 3, 100, 16}, "Index");
    CB_Idx = Make<TComboBox>(GroupBox2, "CB_Idx", {kControlA, line(0), kWidthA, 21},
                             {"Primary SSID", "Multi-SSID 1", "Multi-SSID 2", "Multi-SSID 3", "Multi-SSID 4",
                              "Multi-SSID 5", "Multi-SSID 6", "Multi-SSID 7"});
    CB_Idx->SetStyle(csDropDownList);
    Lab_SSID = Make<TLabel>(GroupBox2, "Lab_SSID", {kLabelB, line(0) + 3, 100, 16}, "SSID");
    Ed_SSID = Make<TEdit>(GroupBox2, "Ed_SSID", {kControlB, line(0), kWidthB, 21});
    LabSec = Make<TLabel>(GroupBox2, "LabSec", {kLabelA, line(1) + 3, 100, 16}, "Security");
    CB_SecShow = Make<TComboBox>(
        GroupBox2, "CB_SecShow", {kControlA, line(1), kWidthA, 21},
        {"None", "Open System", "Shared Key", "WPA-Personal", "WPA2-Personal", "WPA-Auto-Personal"});
    CB_SecShow->SetStyle(csDropDownList);
    CB_Sec =
        Make<TComboBox>(GroupBox2, "CB_Sec", {kControlA, line(1), kWidthA, 21},
                        {"None", "Open System", "Shared Key", "WPA-Personal", "WPA-Enterprise",
                         "WPA2-Personal", "WPA2-Enterprise", "WPA-Auto-Personal", "WPA-Auto-Enterprise"});
    CB_Sec->SetStyle(csDropDownList);
    CB_Sec->Hide();
    Label2 = Make<TLabel>(GroupBox2, "Label2", {kLabelB, line(1) + 3, 100, 16}, "SSID Broadcast");
    CB_Broadcast = Make<TComboBox>(GroupBox2, "CB_Broadcast", {kControlB, line(1), kWidthB, 21});
    Label_VlanTag =
        Make<TLabel>(GroupBox2, "Label_VlanTag", {kLabelA, line(2) + 3, 100, 16}, "VLAN Tag Mode");
    CB_DyVlan = Make<TComboBox>(GroupBox2, "CB_DyVlan", {kControlA, line(2), kWidthA, 21});
    Lab_VLANID = Make<TLabel>(GroupBox2, "Lab_VLANID", {kLabelB, line(2) + 3, 100, 16}, "VLAN ID");
    Ed_WLANID = Make<TEdit>(GroupBox2, "Ed_WLANID", {kControlB, line(2), kWidthB, 21});
    CheckBox_EthernetTag = Make<TCheckBox>(GroupBox2, "CheckBox_EthernetTag", {kLabelB, line(3) + 2, 180, 17},
                                           "Ethernet Without Tag");
    Label_Priority = Make<TLabel>(GroupBox2, "Label_Priority", {kLabelA, line(4) + 3, 100, 16}, "Priority");
    Cb_Priority = Make<TComboBox>(GroupBox2, "Cb_Priority", {kControlA, line(4), kWidthA, 21},
                                  {"0", "1", "2", "3", "4", "5", "6", "7"});
    Cb_Priority->SetStyle(csDropDownList);
    Label3 = Make<TLabel>(GroupBox2, "Label3", {kLabelB, line(4) + 3, 100, 16}, "WMM");
    CB_WMM = Make<TComboBox>(GroupBox2, "CB_WMM", {kControlB, line(4), kWidthB, 21});

    GP_KeySetting =
        Make<TGroupBox>(GroupBox2, "GP_KeySetting", {kLabelA, line(5) + 4, 512, 74}, "Key Settings");
    Lab_KeyType = Make<TLabel>(GP_KeySetting, "Lab_KeyType", {kInLabelA, 21, 100, 16}, "Key Type");
    CB_KeyType = Make<TComboBox>(GP_KeySetting, "CB_KeyType", {kInControlA, 18, 120, 21});
    Lab_KeySize = Make<TLabel>(GP_KeySetting, "Lab_KeySize", {kInLabelB, 21, 90, 16}, "Key Size");
    CB_KeySize = Make<TComboBox>(GP_KeySetting, "CB_KeySize", {kInControlB, 18, 110, 21},
                                 {"64 Bits", "128 Bits", "152 Bits"});
    CB_KeySize->SetStyle(csDropDownList);
    Lab_KeyValue = Make<TLabel>(GP_KeySetting, "Lab_KeyValue", {kInLabelA, 45, 100, 16}, "Key Value");
    Ed_KeyValue = Make<TEdit>(GP_KeySetting, "Ed_KeyValue", {kInControlA, 42, 120, 21});
    Ed_KeyValue->SetPasswordChar('*');
    Lab_KeyIndex = Make<TLabel>(GP_KeySetting, "Lab_KeyIndex", {kInLabelB, 45, 90, 16}, "Key Index");
    CB_IdxTmp = Make<TComboBox>(GP_KeySetting, "CB_IdxTmp", {kInControlB, 42, 110, 21});
    CB_IdxTmp->SetStyle(csDropDownList);
    CB_KeyIndex = Make<TComboBox>(GP_KeySetting, "CB_KeyIndex", {kInControlB, 42, 110, 21});
    CB_KeyIndex->Hide();

    GP_PSK = Make<TGroupBox>(GroupBox2, "GP_PSK", {kLabelA, line(5) + 4, 512, 140}, "PassPhrase Settings");
    auto inLine = [](int n) { return 18 + n * kLine; };
    Lab_Cipher = Make<TLabel>(GP_PSK, "Lab_Cipher", {kInLabelA, inLine(0) + 3, 150, 16}, "Cipher Type");
    CB_CipherType = Make<TComboBox>(GP_PSK, "CB_CipherType", {kInControlA, inLine(0), 120, 21});
    Lab_PassPhrase = Make<TLabel>(GP_PSK, "Lab_PassPhrase", {kInLabelB, inLine(0) + 3, 90, 16}, "PassPhrase");
    Ed_PassPhrase = Make<TEdit>(GP_PSK, "Ed_PassPhrase", {kInControlB, inLine(0), 110, 21});
    Lab_GrpKey = Make<TLabel>(GP_PSK, "Lab_GrpKey", {kInLabelA, inLine(1) + 3, 158, 16},
                              "Group Key Update Interval   ");
    Ed_GrpKey = Make<TEdit>(GP_PSK, "Ed_GrpKey", {kInControlA, inLine(1), 120, 21});
    Lab_RadiusServ =
        Make<TLabel>(GP_PSK, "Lab_RadiusServ", {kInLabelB, inLine(1) + 3, 90, 16}, "Radius Server");
    Ed_RiduisServ = Make<TEdit>(GP_PSK, "Ed_RiduisServ", {kInControlB, inLine(1), 110, 21});
    Lab_RadiusPort =
        Make<TLabel>(GP_PSK, "Lab_RadiusPort", {kInLabelA, inLine(2) + 3, 150, 16}, "Radius Port");
    Ed_RadiusPort = Make<TEdit>(GP_PSK, "Ed_RadiusPort", {kInControlA, inLine(2), 120, 21});
    Lab_RadiusSec =
        Make<TLabel>(GP_PSK, "Lab_RadiusSec", {kInLabelB, inLine(2) + 3, 90, 16}, "Radius Secret");
    Ed_RadiusSec = Make<TEdit>(GP_PSK, "Ed_RadiusSec", {kInControlB, inLine(2), 110, 21});
    Ed_RadiusSec->SetPasswordChar('*');
    Lab_AcntMode =
        Make<TLabel>(GP_PSK, "Lab_AcntMode", {kInLabelA, inLine(3) + 3, 150, 16}, "Accounting Mode");
    CB_AcnttingMode = Make<TComboBox>(GP_PSK, "CB_AcnttingMode", {kInControlA, inLine(3), 120, 21});
    Lab_AcntServ =
        Make<TLabel>(GP_PSK, "Lab_AcntServ", {kInLabelB, inLine(3) + 3, 90, 16}, "Accounting Server");
    Ed_AcntServ = Make<TEdit>(GP_PSK, "Ed_AcntServ", {kInControlB, inLine(3), 110, 21});
    Lab_AcntPort =
        Make<TLabel>(GP_PSK, "Lab_AcntPort", {kInLabelA, inLine(4) + 3, 150, 16}, "Accounting Port");
    Ed_AcntPort = Make<TEdit>(GP_PSK, "Ed_AcntPort", {kInControlA, inLine(4), 120, 21});
    SaveButton = Make<TButton>(GroupBox2, "SaveButton", {437, 298, 85, 25}, "Save");

    MultiGroupBox = Make<TGroupBox>(Panel1, "MultiGroupBox", {6, 386, 548, 170}, "Multi-SSID");
    LV_MultiSSID_User = Make<TListView>(MultiGroupBox, "LV_MultiSSID_User", {10, 20, 430, 140});
    LV_MultiSSID_User->SetReadOnly(true);
    LV_MultiSSID_User->SetRowSelect(true);
    LV_MultiSSID_User->SetHideSelection(false);
    LV_MultiSSID_User->SetGridLines(true);
    LV_MultiSSID_User->SetViewStyle(vsReport);
    for (const char *caption : {"Index", "SSID", "Encryption", "VLAN ID ", "Band"}) {
        TListColumn *column = LV_MultiSSID_User->Columns()->Add();
        column->SetCaption(caption);
        column->SetWidth(-2);
    }
    DelButton = Make<TButton>(MultiGroupBox, "DelButton", {452, 135, 85, 25}, "Delete");
    MulSSIDListView = Make<TListView>(Panel1, "MulSSIDListView", {6, 386, 200, 60});
    MulSSIDListView->Hide();

    CB_IdvState = Make<TComboBox>(Panel1, "CB_IdvState");
    CB_Security = Make<TComboBox>(Panel1, "CB_Security");
    CB_Encry = Make<TComboBox>(Panel1, "CB_Encry");
    CB_ApMode = Make<TComboBox>(Panel1, "CB_ApMode");
    CB_SuperMode = Make<TComboBox>(Panel1, "CB_SuperMode");
    CB_VID = Make<TComboBox>(Panel1, "CB_VID");
    CB_MultiIndex = Make<TComboBox>(Panel1, "CB_MultiIndex");
    Ed_Priority = Make<TEdit>(Panel1, "Ed_Priority");
    Lab_IfIdx = Make<TLabel>(Panel1, "Lab_IfIdx");
    Lab_Idx = Make<TLabel>(Panel1, "Lab_Idx");
    CHB_VID = Make<TCheckBox>(Panel1, "CHB_VID");
    for (TControl *hidden :
         std::initializer_list<TControl *>{CB_IdvState, CB_Security, CB_Encry, CB_ApMode, CB_SuperMode,
                                           CB_VID, CB_MultiIndex, Ed_Priority, Lab_IfIdx, Lab_Idx, CHB_VID})
        hidden->Hide();

    ApplyBtn = Make<TButton>(Panel1, "ApplyBtn", {378, 564, 80, 25}, "Apply");
    CancelBtn = Make<TButton>(Panel1, "CancelBtn", {468, 564, 80, 25}, "Cancel");
}

void TFM_MultiSSIDNewForm::FormCreate(TObject *)
{
    const bool ok = GuardCreate(StatusBar1, [this] {
        BuildScalarGroups();
        BuildTable();
        ArrangeByCapabilities();
        m_tableReadIssued = true;
        SSIDTableBinding->Get();
    });
    CB_Idx->SetItemIndex(0);
    BandComboBox->SetItemIndex(1);
    BandComboBox->SetEnabled(false);
    LV_MultiSSID_User->Columns()->Items(0)->SetWidth(80);
    LV_MultiSSID_User->Columns()->Items(1)->SetWidth(120);
    LV_MultiSSID_User->Columns()->Items(2)->SetWidth(90);
    // No read under way: nothing will set the flag, and the form must stay closable.
    if (!ok && (!m_tableReadIssued || !SSIDTableBinding || !SSIDTableBinding->Busy))
        gMultiSSIDIdle = true;
}

void TFM_MultiSSIDNewForm::BuildScalarGroups()
{
    // The reads show values; the switches' handlers run for the user's clicks only.
    Quiet quiet(m_quiet);
    auto scalar = [this](const FormItemTable &items, const char *label, KvSNMPItemType type,
                         TObject *log = nullptr) {
        return MakeBinding(
            this, {.Items = items, .Label = label, .Type = type, .Mode = BindMode::Sync, .Log = log});
    };
    ManagerVlanBinding = scalar(kManagerVlanItems, "Manage VLAN Status", SVT_SV);
    ManagerVlanBinding->AssociateCombo(0, CB_VID);
    m_managerVlanKnown = ManagerVlanBinding->Get();

    PriorityBinding = scalar(kPriorityItems, "Priority", MVT_SV);
    PriorityBinding->Associate(0, CheckBox_Priority);
    m_priorityKnown = PriorityBinding->Get();

    APModeBinding = scalar(kAPModeItems, "AP Mode and Super G", MVT_SV);
    APModeBinding->AssociateCombo(0, CB_ApMode);
    APModeBinding->AssociateCombo(1, CB_SuperMode);
    APModeBinding->Get();

    MSSIDStateBinding = scalar(kMSSIDStateItems, "Multi-SSID", SVT_SV, StatusBar1);
    MSSIDStateBinding->Associate(0, IfEnabMuSSID);
    if (MSSIDStateBinding->Get())
        gMultiSSIDWarnArmed = true;

    VlanStateBinding = scalar(kVlanStateItems, "VLAN State", SVT_SV);
    VlanStateBinding->Associate(0, CB_VLanState);
    VlanStateBinding->Get();

    GroupKeyBinding = scalar(kGroupKeyItems, "Group Key Update Interval", SVT_SV);
    GroupKeyBinding->AssociateEdits(0, "%u{n300x9999999}", Ed_GrpKey);
    GroupKeyBinding->Get();
    m_groupKeyInterval = Ed_GrpKey->Text();

    RadiusBinding = scalar(kRadiusItems, "Radius Server", SVT_SV);
    RadiusBinding->AssociateEdits(0, "%s", Ed_RiduisServ);
    RadiusBinding->AssociateEdits(1, "%u{n1x65535}", Ed_RadiusPort);
    RadiusBinding->AssociateEdits(2, "%s", Ed_RadiusSec);
    RadiusBinding->Get();

    if (m_priorityKnown) {
        CheckBox_Priority->Show();
    } else {
        CheckBox_Priority->Hide();
        CB_VLanState->SetLeft(CB_VLanState->Left() + 72);
    }
}

void TFM_MultiSSIDNewForm::BuildTable()
{
    const bool wide =
        CapabilityIsOne(MainForm->Ed_DyvlanSupport) && CapabilityIsOne(MainForm->Ed_prioritybySSIDSupported);
    // A capability whose column the table variant lacks counts as unsupported.
    m_accounting = CapabilityIsOne(MainForm->Ed_spAccounting);
    m_suppress = CapabilityIsOne(MainForm->Ed_Suppress);
    m_wmm = CapabilityIsOne(MainForm->Ed_WMM);
    m_dynamicVlan = wide && CapabilityIsOne(MainForm->Ed_DyvlanSupport);
    m_priorityBySSID = wide && CapabilityIsOne(MainForm->Ed_prioritybySSIDSupported);

    // The narrow variant: the first columns and the end record.
    std::vector<KvSNMPItem> narrow(kSSIDTable.Items(), kSSIDTable.Items() + kNarrowColumns);
    narrow.emplace_back();
    SSIDTableBinding =
        MakeBinding(this, {.Items = wide ? kSSIDTable.Items() : narrow.data(),
                           .Label = "SSID Settings",
                           .Type = MVT_UMV,
                           .KeyCount = 2,
                           .Mode = BindMode::Async,
                           .Timeout = 2000,
                           .OnGetDone = [this](KvSNMPRequest2Controls *, KvSNMPError *e) { OnTableGot(e); }});
    FormBinding &t = *SSIDTableBinding;
    t.SetupListView(MulSSIDListView, true);
    t.Associate(kColIfIndex, Lab_IfIdx);
    t.Associate(kColIndex, Lab_Idx);
    t.AssociateEdits(kColSSID, "%s", Ed_SSID);
    t.AssociateCombo(kColState, CB_IdvState);
    t.AssociateCombo(kColAuth, CB_Security);
    t.AssociateCombo(kColEncryption, CB_Encry);
    t.AssociateCombo(kColKeyIndex, CB_KeyIndex);
    t.AssociateEdits(kColKey, "%s", Ed_KeyValue);
    t.AssociateEdits(kColVlanTag, "%u{n1x4094}", Ed_WLANID);
    t.AssociateCombo(kColCipher, CB_CipherType);
    t.AssociateEdits(kColPassPhrase, "%s", Ed_PassPhrase);
    t.AssociateCombo(kColKeyType, CB_KeyType);
    std::vector<int> bound = {kColSSID, kColState,   kColAuth,   kColEncryption, kColKeyIndex,
                              kColKey,  kColVlanTag, kColCipher, kColPassPhrase, kColKeyType};
    if (m_accounting) {
        t.AssociateCombo(kColAcctMode, CB_AcnttingMode);
        t.AssociateEdits(kColAcctServer, "%s", Ed_AcntServ);
        t.AssociateEdits(kColAcctPort, "%u{n1x65535}", Ed_AcntPort);
        bound.insert(bound.end(), {kColAcctMode, kColAcctServer, kColAcctPort});
    }
    if (m_suppress) {
        t.AssociateCombo(kColSuppress, CB_Broadcast);
        bound.push_back(kColSuppress);
    }
    if (m_wmm) {
        t.AssociateCombo(kColWmm, CB_WMM);
        bound.push_back(kColWmm);
    }
    if (m_dynamicVlan) {
        t.AssociateCombo(kColDyVlan, CB_DyVlan);
        bound.push_back(kColDyVlan);
    }
    if (m_priorityBySSID) {
        t.Associate(kColEthernetTag, CheckBox_EthernetTag);
        t.AssociateEdits(kColPriority, "%s", Ed_Priority);
        bound.insert(bound.end(), {kColEthernetTag, kColPriority});
    }
    for (int column : bound)
        t.Request.VarList.GetItem(column)->Access = RW;
}

void TFM_MultiSSIDNewForm::ArrangeByCapabilities()
{
    if (m_suppress) {
        Label2->Show();
        CB_Broadcast->Show();
    }
    if (m_wmm) {
        Label3->Show();
        CB_WMM->Show();
    }
    if (m_dynamicVlan) {
        CB_DyVlan->Show();
        Label_VlanTag->Show();
    } else {
        CB_DyVlan->Hide();
        Label_VlanTag->Hide();
        const int vlanIdLeft = Lab_VLANID->Left();
        Lab_VLANID->SetLeft(Label_VlanTag->Left());
        Ed_WLANID->SetBounds(CB_DyVlan->Left(), Ed_WLANID->Top(), CB_DyVlan->Width(), Ed_WLANID->Height());
        CheckBox_EthernetTag->SetLeft(vlanIdLeft);
    }
    if (m_priorityBySSID) {
        CheckBox_EthernetTag->Show();
        Cb_Priority->Show();
        Label_Priority->Show();
    } else {
        CheckBox_EthernetTag->Hide();
        Cb_Priority->Hide();
        Label_Priority->Hide();
        Label3->SetLeft(Label_Priority->Left());
        CB_WMM->SetLeft(Cb_Priority->Left());
    }
    if (!m_dynamicVlan && !m_priorityBySSID) {
        // One line less: WMM moves up into the line of the untagged-Ethernet box.
        Label3->SetBounds(LabSec->Left(), CheckBox_EthernetTag->Top() + 2, Label3->Width(), Label3->Height());
        CB_WMM->SetBounds(CB_SecShow->Left(), CheckBox_EthernetTag->Top(), CB_WMM->Width(), CB_WMM->Height());
        GP_PSK->SetTop(Cb_Priority->Top());
        GP_KeySetting->SetTop(Cb_Priority->Top());
        for (TControl *c : std::initializer_list<TControl *>{SaveButton, MultiGroupBox, ApplyBtn, CancelBtn})
            c->SetTop(c->Top() - kLine);
        for (TControl *c : std::initializer_list<TControl *>{GroupBox2, Panel3, Panel2, Panel1})
            c->SetHeight(c->Height() - kLine);
        SetClientHeight(ClientHeight() - kLine);
    }
}

void TFM_MultiSSIDNewForm::OnTableGot(KvSNMPError *status)
{
    // Back up whatever the row load does.
    struct Idle {
        ~Idle() { gMultiSSIDIdle = true; }
    } idle;
    const bool opening = !m_tableShown;
    m_tableShown = true;
    if (status == nullptr || status->Code != 0) {
        if (!opening || !ShowOpeningFailure())
            StatusBar1->SetSimpleText(status ? status->Message : AnsiString());
        // Rows a failed walk brought are no rows of the device's table: none is shown or
        // written.
        MulSSIDListView->Items()->Clear();
        LV_MultiSSID_User->Items()->Clear();
        m_editedIndex.clear();
        ShowNoRow();
        return;
    }
    // The rows show whatever else could not be read.
    CB_IdxChange(nullptr);
    if (m_priorityKnown)
        CheckBox_PriorityClick(nullptr);
    // A Save that could not write all its settings keeps saying so; at the opening, no
    // success stands over a switch or shared setting that could not be read.
    if (!Chain.Refused().empty() || !Chain.Skipped().empty())
        StatusBar1->SetSimpleText(SavedText());
    else if (!opening || !ShowOpeningFailure())
        StatusBar1->SetSimpleText("Get OK!");
}

bool TFM_MultiSSIDNewForm::ShowOpeningFailure()
{
    // The table is read last: once it has ended, every group of the opening has. A manager
    // VLAN or priority the device answered it lacks is no failure.
    return ShowReadFailure(StatusBar1,
                           {SSIDTableBinding.get(), UnlessLacking(ManagerVlanBinding, m_managerVlanKnown),
                            UnlessLacking(PriorityBinding, m_priorityKnown), MSSIDStateBinding.get(),
                            VlanStateBinding.get(), APModeBinding.get(), GroupKeyBinding.get(),
                            RadiusBinding.get()});
}

void TFM_MultiSSIDNewForm::CancelBtnClick(TObject *)
{
    Close();
}
