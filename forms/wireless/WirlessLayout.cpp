// Home \ Wireless: the controls, their places, and how the groups move with the AP mode and
// the authentication.
#include "TFM_Wirless.h"

#include "FormGlobals.h"
#include "FormPages.h"

namespace {

// Rows of the radio page (tops of the controls; labels stand 4 pixels lower).
constexpr int kLabelLeft = 12;
constexpr int kFieldLeft = 130;
constexpr int kModeRow = 6;
constexpr int kSSIDRow = 30;
constexpr int kChannelRow = 54;
constexpr int kBroadcastRow = 78;
constexpr int kSuperRow = 103;
// Where the form's resource had them before LoadSettings placed them.
constexpr int kBroadcastDesignRow = 98;
constexpr int kSuperDesignRow = 113;

constexpr int kGroupLeft = 8;
constexpr int kGroupWidth = 468;
constexpr int kPartnerTop = 127;
constexpr int kWDSHeight = 135;
constexpr int kRepeaterHeight = 67;
constexpr int kSurveyHeight = 123;
constexpr int kKeyHeight = 135;
constexpr int kRadiusHeight = 150;
constexpr int kRadiusHeightNoAccounting = 100;
constexpr int kSecondaryHeight = 125;
constexpr int kPassPhraseHeight = 100;

// Authentication row by layout: the access point, the WDS modes with and without the survey,
// the repeater and client modes; and as the resource has it.
constexpr int kAuthTopAP = 132;
constexpr int kAuthTopWDSSurvey = 395;
constexpr int kAuthTopWDS = 272;
constexpr int kAuthTopRepeater = 328;
constexpr int kAuthTopDesign = 467;
constexpr int kSurveyTopWDS = 267;
constexpr int kSurveyTopRepeater = 199;
constexpr int kSurveyTopDesign = 339;

constexpr int kPageTop = 4;
constexpr int kPageDesignHeight = 661;
constexpr int kButtonGap = 6;
constexpr int kNonMultiSSIDShrink = 480;

TLabel *label(TWinControl *parent, const char *name, int left, int top, int width, const char *text)
{
    return Make<TLabel>(parent, name, {left, top + 4, width, 16}, text);
}

TComboBox *list(TWinControl *parent, const char *name, Bounds b)
{
    auto *combo = Make<TComboBox>(parent, name, b);
    combo->SetStyle(csDropDownList);
    return combo;
}

template <class T> T *hidden(T *control)
{
    control->SetVisible(false);
    return control;
}

} // namespace

TFM_Wirless::TFM_Wirless(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_Wirless", "Home \\ Wireless", 500, kDesignClientHeight});
    BuildControls();

    Bt_Apply->OnClick = [this](TObject *s) { Bt_ApplyClick(s); };
    Bt_Refresh->OnClick = [this](TObject *s) { Bt_RefreshClick(s); };
    Bt_Close->OnClick = [this](TObject *s) { Bt_CloseClick(s); };
    SiteScan->OnClick = [this](TObject *s) { SiteScanClick(s); };
    SiteServeyListView->OnClick = [this](TObject *s) { SiteServeyListViewClick(s); };
    Timer1->OnTimer = [this](TObject *s) { Timer1Timer(s); };
    ED_APModeTempComboBox->OnChange = [this](TObject *s) { ED_APModeTempComboBoxtestChange(s); };
    for (TComboBox *guest : {Master_ComboBox, Guest1_ComboBox, Guest2_ComboBox, Guest3_ComboBox})
        guest->OnChange = [this](TObject *s) { ED_APModeTempComboBoxtestChange(s); };
    ED_APModeComboBox->OnChange = [this](TObject *s) { ED_APModeComboBoxChange(s); };
    Ed_SecAuthaTemp->OnChange = [this](TObject *s) { Ed_SecAuthaTempChange(s); };
    Ed_SecAutha->OnChange = [this](TObject *s) { Ed_SecAuthaChange(s); };
    Ed_SecEncypa->OnChange = [this](TObject *s) { Ed_SecEncypaChange(s); };
    Ed_SecValKeya->OnChange = [this](TObject *s) { Ed_SecValKeyaChange(s); };
    Ed_KeyType->OnChange = [this](TObject *s) { Ed_KeyTypeChange(s); };
    Ed_KeySize->OnChange = [this](TObject *s) { Ed_KeySizeChange(s); };
    CB_AuSc->OnClick = [this](TObject *s) { CB_AuScChange(s); };
    CB_Chana->OnChange = [this](TObject *s) { CB_ChanaChange(s); };
    AD_SuperMode->OnChange = [this](TObject *s) { AD_SuperModeChange(s); };
    CB_SuperMode_jp->OnChange = [this](TObject *s) { CB_SuperMode_jpChange(s); };
    CB_AcntEnable->OnChange = [this](TObject *s) { CB_AcntEnableChange(s); };
    CB_AccountingMode->OnChange = [this](TObject *s) { CB_AccountingModeChange(s); };
    CB_RadiusMode->OnChange = [this](TObject *s) { CB_RadiusModeChange(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    OnCloseQuery = [this](TObject *s, bool &canClose) { FormCloseQuery(s, canClose); };

    // Every binding that may be under way when the form is asked to close.
    for (const std::unique_ptr<FormBinding> *b :
         {&SSIDBinding, &RadiusBinding, &RadioWaveBinding, &MultiOverWDSBinding, &APModeBinding,
          &SecurityBinding, &PassPhraseBinding, &SiteScanBinding, &GuestEncryptionBinding, &GuestAuthBinding})
        m_closeGuard.Watch(*b);
    m_closeGuard.Watch(SiteSurveyBinding);
}

TFM_Wirless::~TFM_Wirless()
{
    // While the form is whole: a binding's end waits for its requests, and what completes
    // meanwhile reaches the form's handlers.
    ResetBindings();
}

namespace {

// Every binding member but the survey walk, in the order an opening makes them.
std::unique_ptr<FormBinding> TFM_Wirless::*const kBindingSlots[] = {
    &TFM_Wirless::SSIDBinding,
    &TFM_Wirless::BgModeBinding,
    &TFM_Wirless::SuperModeBinding,
    &TFM_Wirless::DynChannelListBinding,
    &TFM_Wirless::StatChannelListBinding,
    &TFM_Wirless::RadioWaveBinding,
    &TFM_Wirless::MultiOverWDSBinding,
    &TFM_Wirless::AutoScanBinding,
    &TFM_Wirless::APModeBinding,
    &TFM_Wirless::SecurityBinding,
    &TFM_Wirless::KeyTypeBinding,
    &TFM_Wirless::MSSIDStateBinding,
    &TFM_Wirless::SSIDTableBinding,
    &TFM_Wirless::GuestStateBinding,
    &TFM_Wirless::GuestKeyIndexBinding,
    &TFM_Wirless::RadiusBinding,
    &TFM_Wirless::RadiusBackupSupportBinding,
    &TFM_Wirless::AccountBackupSupportBinding,
    &TFM_Wirless::BackupRadiusBinding,
    &TFM_Wirless::BackupAccountingBinding,
    &TFM_Wirless::AccountingBinding,
    &TFM_Wirless::PassPhraseBinding,
    &TFM_Wirless::SiteScanBinding,
    &TFM_Wirless::GuestEncryptionBinding,
    &TFM_Wirless::GuestAuthBinding,
};

} // namespace

std::vector<FormBinding *> TFM_Wirless::Bindings() const
{
    std::vector<FormBinding *> all;
    for (const auto slot : kBindingSlots)
        if (const std::unique_ptr<FormBinding> &b = this->*slot)
            all.push_back(b.get());
    return all;
}

void TFM_Wirless::ResetBindings()
{
    SiteSurveyBinding.reset();
    for (const auto slot : kBindingSlots)
        (this->*slot).reset();
}

void TFM_Wirless::BuildControls()
{
    PageControl1 = Make<TPageControl>(this, "PageControl1", {4, kPageTop, 492, kPageDesignHeight});
    TS_11a = MakePage(this, PageControl1, "TS_11a", "IEEE802.11a");
    TS_11g = MakePage(this, PageControl1, "TS_11g", "IEEE802.11g");
    TWinControl *page = TS_11a;

    Label12 = label(page, "Label12", kLabelLeft, kModeRow, 110, "AP Mode");
    ED_APModeTempComboBox = list(page, "ED_APModeTempComboBox", {kFieldLeft, kModeRow, 200, 21});
    ED_APModeComboBox = hidden(list(page, "ED_APModeComboBox", {kFieldLeft, kModeRow, 200, 21}));
    Label1 = label(page, "Label1", kLabelLeft, kSSIDRow, 110, "SSID");
    Ed_SSIDa = Make<TEdit>(page, "Ed_SSIDa", {kFieldLeft, kSSIDRow, 200, 21});
    Label3 = label(page, "Label3", kLabelLeft, kChannelRow, 110, "Channel");
    CB_Chana = list(page, "CB_Chana", {kFieldLeft, kChannelRow, 80, 21});
    CB_AuSc = Make<TCheckBox>(page, "CB_AuSc", {230, kChannelRow + 2, 160, 17}, "Auto Channel Scan");
    Label2 = label(page, "Label2", kLabelLeft, kBroadcastDesignRow, 110, "SSID Broadcast ");
    CB_SSIDBcasta = list(page, "CB_SSIDBcasta", {kFieldLeft, kBroadcastDesignRow, 100, 21});
    Label4 = label(page, "Label4", kLabelLeft, kSuperDesignRow, 110, "Super G Mode");
    AD_SuperMode = list(page, "AD_SuperMode", {kFieldLeft, kSuperDesignRow, 200, 21});
    CB_SuperMode_jp = Make<TComboBox>(page, "CB_SuperMode_jp", {kFieldLeft, kSuperDesignRow, 200, 21},
                                      {"Disable", "Enable"});
    CB_SuperMode_jp->SetStyle(csDropDownList);

    // Bound values the user does not see.
    const Bounds none{kFieldLeft, kModeRow, 60, 21};
    Ed_Chana = hidden(Make<TEdit>(page, "Ed_Chana", none));
    Ed_ChanLista = hidden(Make<TEdit>(page, "Ed_ChanLista", none));
    Ed_RaFreqa = hidden(Make<TEdit>(page, "Ed_RaFreqa", none));
    Ed_DynChLista = hidden(Make<TEdit>(page, "Ed_DynChLista", none));
    Ed_StatChLista = hidden(Make<TEdit>(page, "Ed_StatChLista", none));
    CB_bgModea = hidden(list(page, "CB_bgModea", none));
    CbxRadio = hidden(list(page, "CbxRadio", none));
    CB_gmultioverwds = hidden(list(page, "CB_gmultioverwds", none));
    Ed_RaduisSupport = hidden(Make<TEdit>(page, "Ed_RaduisSupport", none));
    Ed_AccountSupport = hidden(Make<TEdit>(page, "Ed_AccountSupport", none));
    CB_MultEnable = hidden(list(page, "CB_MultEnable", none));
    LV_Multi2 = hidden(Make<TListView>(page, "LV_Multi2", {kFieldLeft, kModeRow, 60, 40}));
    Master_ComboBox = hidden(list(page, "Master_ComboBox", none));
    Guest1_ComboBox = hidden(list(page, "Guest1_ComboBox", none));
    Guest2_ComboBox = hidden(list(page, "Guest2_ComboBox", none));
    Guest3_ComboBox = hidden(list(page, "Guest3_ComboBox", none));
    GuestEncry1_ComboBox = hidden(list(page, "GuestEncry1_ComboBox", none));
    GuestEncry2_ComboBox = hidden(list(page, "GuestEncry2_ComboBox", none));
    GuestEncry3_ComboBox = hidden(list(page, "GuestEncry3_ComboBox", none));
    GuestKeyIndex1_ComboBox = hidden(list(page, "GuestKeyIndex1_ComboBox", none));
    GuestKeyIndex2_ComboBox = hidden(list(page, "GuestKeyIndex2_ComboBox", none));
    GuestKeyIndex3_ComboBox = hidden(list(page, "GuestKeyIndex3_ComboBox", none));
    TComboBox **encryption[] = {&CB_MultEncyt1, &CB_MultEncyt2, &CB_MultEncyt3, &CB_MultEncyt4,
                                &CB_MultEncyt5, &CB_MultEncyt6, &CB_MultEncyt7};
    TComboBox **auth[] = {&CB_MultiAuth1, &CB_MultiAuth2, &CB_MultiAuth3, &CB_MultiAuth4,
                          &CB_MultiAuth5, &CB_MultiAuth6, &CB_MultiAuth7};
    for (int i = 0; i < 7; ++i) {
        *encryption[i] = hidden(list(page, ("CB_MultEncyt" + std::to_string(i + 1)).c_str(), none));
        *auth[i] = hidden(list(page, ("CB_MultiAuth" + std::to_string(i + 1)).c_str(), none));
    }
    SiteScanComboBox = hidden(list(page, "SiteScanComboBox", none));

    // WDS partners, two columns of four.
    GroupBox1 = Make<TGroupBox>(page, "GroupBox1", {kGroupLeft, kPartnerTop, kGroupWidth, kWDSHeight},
                                " WDS with AP ");
    TEdit **remote[] = {&Ed_ReMAddra0, &Ed_ReMAddra1, &Ed_ReMAddra2, &Ed_ReMAddra3,
                        &Ed_ReMAddra4, &Ed_ReMAddra5, &Ed_ReMAddra6, &Ed_ReMAddra7};
    for (int i = 0; i < 8; ++i) {
        const int left = i < 4 ? 12 : 240;
        const int top = 20 + (i % 4) * 28;
        const std::string n = std::to_string(i + 1);
        LabelMAC[i] = label(GroupBox1, ("LabelMAC" + n).c_str(), left, top, 90, ("MAC Address " + n).c_str());
        *remote[i] =
            Make<TEdit>(GroupBox1, ("Ed_ReMAddra" + std::to_string(i)).c_str(), {left + 98, top, 110, 21});
    }

    // The access point a repeater or client joins.
    GroupBox2 = hidden(Make<TGroupBox>(
        page, "GroupBox2", {kGroupLeft, kPartnerTop, kGroupWidth, kRepeaterHeight}, " AP Repeater  "));
    Label6 = label(GroupBox2, "Label6", 12, 16, 140, "Root AP MAC Address");
    Ed_RoMAddra0 = Make<TEdit>(GroupBox2, "Ed_RoMAddra0", {160, 16, 120, 21});
    Label7 = label(GroupBox2, "Label7", 12, 40, 140, "Root AP SSID");
    Ed_SSID = Make<TEdit>(GroupBox2, "Ed_SSID", {160, 40, 200, 21});
    Ed_CRoMAddra0 = hidden(Make<TEdit>(GroupBox2, "Ed_CRoMAddra0", {290, 16, 120, 21}));

    GroupBox3 = hidden(Make<TGroupBox>(
        page, "GroupBox3", {kGroupLeft, kSurveyTopDesign, kGroupWidth, kSurveyHeight}, " Site Survey "));
    SiteServeyListView = Make<TListView>(GroupBox3, "SiteServeyListView", {8, 18, 452, 72});
    SiteScan = Make<TButton>(GroupBox3, "SiteScan", {8, 93, 75, 24}, "Scan");

    Label5 = label(page, "Label5", kLabelLeft, kAuthTopDesign, 110, "Authentication");
    Ed_SecAuthaTemp = list(page, "Ed_SecAuthaTemp", {kFieldLeft, kAuthTopDesign - 4, 200, 21});
    Ed_SecAutha = hidden(list(page, "Ed_SecAutha", {kFieldLeft, kAuthTopDesign - 4, 200, 21}));

    const int groupTop = kAuthTopDesign + 18;
    GroupBox4 =
        Make<TGroupBox>(page, "GroupBox4", {kGroupLeft, groupTop, kGroupWidth, kKeyHeight}, " Key Settings ");
    Label8 = label(GroupBox4, "Label8", 12, 18, 80, "Encryption");
    Ed_SecEncypa = list(GroupBox4, "Ed_SecEncypa", {100, 18, 110, 21});
    Label9 = label(GroupBox4, "Label9", 240, 18, 80, "Valid Key");
    Ed_SecValKeya = list(GroupBox4, "Ed_SecValKeya", {330, 18, 110, 21});
    Label10 = label(GroupBox4, "Label10", 12, 44, 80, "Key Type");
    Ed_KeyType = list(GroupBox4, "Ed_KeyType", {100, 44, 110, 21});
    Label11 = label(GroupBox4, "Label11", 240, 44, 80, "Key Size");
    Ed_KeySize = list(GroupBox4, "Ed_KeySize", {330, 44, 110, 21});
    TEdit **keys[] = {&Ed_Key1a, &Ed_Key2a, &Ed_Key3a, &Ed_Key4a};
    const char *const keyNames[] = {"1st Key", "2nd Key", "3rd Key", "4th Key"};
    for (int i = 0; i < 4; ++i) {
        const int left = i % 2 == 0 ? 12 : 240;
        const int top = i < 2 ? 72 : 100;
        LabelKey[i] =
            label(GroupBox4, ("LabelKey" + std::to_string(i + 1)).c_str(), left, top, 56, keyNames[i]);
        *keys[i] = Make<TEdit>(GroupBox4, ("Ed_Key" + std::to_string(i + 1) + "a").c_str(),
                               {left + 60, top, 150, 21});
    }

    GroupBox5 = hidden(Make<TGroupBox>(page, "GroupBox5", {kGroupLeft, groupTop, kGroupWidth, kRadiusHeight},
                                       " Radius Server Settings "));
    Label13 = label(GroupBox5, "Label13", 12, 18, 110, "RADIUS Server");
    RadiusServerEdit = Make<TEdit>(GroupBox5, "RadiusServerEdit", {130, 18, 120, 21});
    Label14 = label(GroupBox5, "Label14", 270, 18, 90, "RADIUS Port");
    RadiusportEdit = Make<TEdit>(GroupBox5, "RadiusportEdit", {370, 18, 70, 21});
    Label15 = label(GroupBox5, "Label15", 12, 44, 110, "RADIUS Secret");
    RadiusSecretEdit = Make<TEdit>(GroupBox5, "RadiusSecretEdit", {130, 44, 120, 21});
    RadiusSecretEdit->SetPasswordChar('*');
    Label16 = label(GroupBox5, "Label16", 270, 44, 90, "Cipher Type");
    CiphertypeComboBox = list(GroupBox5, "CiphertypeComboBox", {370, 44, 70, 21});
    Label17 = label(GroupBox5, "Label17", 12, 70, 230, "Group Key Update Interval (300-9999999)");
    GroupKeyEdit = Make<TEdit>(GroupBox5, "GroupKeyEdit", {250, 70, 80, 21});
    LabelAcntMode = hidden(label(GroupBox5, "LabelAcntMode", 12, 96, 110, "Accounting Mode"));
    CB_AcntEnable = hidden(list(GroupBox5, "CB_AcntEnable", {130, 96, 90, 21}));
    LabelAcntServer = hidden(label(GroupBox5, "LabelAcntServer", 12, 122, 110, "Accounting Server"));
    Ed_AcntServer = hidden(Make<TEdit>(GroupBox5, "Ed_AcntServer", {130, 122, 120, 21}));
    LabelAcntPort = hidden(label(GroupBox5, "LabelAcntPort", 270, 122, 90, "Accounting Port"));
    Ed_AcntPort = hidden(Make<TEdit>(GroupBox5, "Ed_AcntPort", {370, 122, 70, 21}));

    GroupBox6 = hidden(Make<TGroupBox>(
        page, "GroupBox6", {kGroupLeft, groupTop + kRadiusHeight + 10, kGroupWidth, kSecondaryHeight},
        "Secondary  Radius Server Settings "));
    Label18 = label(GroupBox6, "Label18", 12, 18, 110, "Secondary RADIUS");
    CB_RadiusMode = list(GroupBox6, "CB_RadiusMode", {130, 18, 90, 21});
    Label19 = label(GroupBox6, "Label19", 12, 44, 110, "RADIUS Server");
    Ed_SecRadiusServer = Make<TEdit>(GroupBox6, "Ed_SecRadiusServer", {130, 44, 120, 21});
    Label20 = label(GroupBox6, "Label20", 270, 44, 90, "RADIUS Port");
    Ed_SecRadiusport = Make<TEdit>(GroupBox6, "Ed_SecRadiusport", {370, 44, 70, 21});
    Label21 = label(GroupBox6, "Label21", 12, 70, 110, "RADIUS Secret");
    Ed_SecRadiusSecret = Make<TEdit>(GroupBox6, "Ed_SecRadiusSecret", {130, 70, 120, 21});
    Ed_SecRadiusSecret->SetPasswordChar('*');
    Label22 = label(GroupBox6, "Label22", 270, 70, 90, "Accounting");
    CB_AccountingMode = list(GroupBox6, "CB_AccountingMode", {370, 70, 70, 21});
    Label23 = label(GroupBox6, "Label23", 12, 96, 110, "Accounting Server");
    Ed_SecAccountServer = Make<TEdit>(GroupBox6, "Ed_SecAccountServer", {130, 96, 120, 21});
    Label24 = label(GroupBox6, "Label24", 270, 96, 95, "Accounting Port");
    Ed_SecAccountPort = Make<TEdit>(GroupBox6, "Ed_SecAccountPort", {370, 96, 70, 21});

    GroupBox7 = hidden(Make<TGroupBox>(
        page, "GroupBox7", {kGroupLeft, groupTop, kGroupWidth, kPassPhraseHeight}, " PassPhrase Settings "));
    Label25 = label(GroupBox7, "Label25", 12, 18, 110, "Cipher Type");
    CipherforPSKBox = list(GroupBox7, "CipherforPSKBox", {250, 18, 80, 21});
    Label26 = label(GroupBox7, "Label26", 12, 44, 230, "Group Key Update Interval (300-9999999)");
    GroupKeyPSKEdit = Make<TEdit>(GroupBox7, "GroupKeyPSKEdit", {250, 44, 80, 21});
    Label27 = label(GroupBox7, "Label27", 12, 70, 110, "PassPhrase");
    PassPhrasePSKEdit = Make<TEdit>(GroupBox7, "PassPhrasePSKEdit", {130, 70, 320, 21});

    // The second band: never shown on this device.
    Ed_SSIDg = Make<TEdit>(TS_11g, "Ed_SSIDg", {kFieldLeft, kSSIDRow, 200, 21});
    CB_SSIDBcastg = list(TS_11g, "CB_SSIDBcastg", {kFieldLeft, kBroadcastRow, 100, 21});
    CB_Chang = list(TS_11g, "CB_Chang", {kFieldLeft, kChannelRow, 80, 21});
    Ed_RaFreqg = hidden(Make<TEdit>(TS_11g, "Ed_RaFreqg", none));
    Ed_ChanListg = hidden(Make<TEdit>(TS_11g, "Ed_ChanListg", none));
    Ed_Chang = hidden(Make<TEdit>(TS_11g, "Ed_Chang", none));

    const int buttonTop = kPageTop + kPageDesignHeight + kButtonGap;
    Bt_Apply = Make<TButton>(this, "Bt_Apply", {126, buttonTop, 75, 25}, "Apply");
    Bt_Refresh = Make<TButton>(this, "Bt_Refresh", {212, buttonTop, 75, 25}, "Refresh");
    Bt_Close = Make<TButton>(this, "Bt_Close", {298, buttonTop, 75, 25}, "Close");
    StatusBar1 = Make<TStatusBar>(this, "StatusBar1");
    Timer1 = new TTimer(this);
    Timer1->SetName("Timer1");
    Timer1->SetEnabled(false);
    Timer1->SetInterval(1000);

    // Construction: the SSID's length, the accounting rows hidden until the device has them.
    Ed_SSIDa->SetMaxLength(32);
    Ed_SSIDg->SetMaxLength(32);
}

std::array<TEdit *, 8> TFM_Wirless::RemoteMACEdits() const
{
    return {Ed_ReMAddra0, Ed_ReMAddra1, Ed_ReMAddra2, Ed_ReMAddra3,
            Ed_ReMAddra4, Ed_ReMAddra5, Ed_ReMAddra6, Ed_ReMAddra7};
}

std::array<TComboBox *, 7> TFM_Wirless::GuestEncryptionCombos() const
{
    return {CB_MultEncyt1, CB_MultEncyt2, CB_MultEncyt3, CB_MultEncyt4,
            CB_MultEncyt5, CB_MultEncyt6, CB_MultEncyt7};
}

std::array<TComboBox *, 7> TFM_Wirless::GuestAuthCombos() const
{
    return {CB_MultiAuth1, CB_MultiAuth2, CB_MultiAuth3, CB_MultiAuth4,
            CB_MultiAuth5, CB_MultiAuth6, CB_MultiAuth7};
}

std::array<TEdit *, 4> TFM_Wirless::KeyEdits() const
{
    return {Ed_Key1a, Ed_Key2a, Ed_Key3a, Ed_Key4a};
}

void TFM_Wirless::PlaceRows(bool multiSSID)
{
    Label2->SetTop(kBroadcastRow + 4);
    CB_SSIDBcasta->SetTop(kBroadcastRow);
    Label4->SetTop(kSuperRow + 3);
    AD_SuperMode->SetTop(kSuperRow);
    CB_SuperMode_jp->SetTop(kSuperRow);
    // Such a device sets AP mode and security in Advanced \ Mode and Advanced \ Encryption. The
    // places are the design's, whatever an earlier opening made of them.
    for (TControl *c :
         std::initializer_list<TControl *>{Label5, Ed_SecAuthaTemp, Label12, ED_APModeTempComboBox})
        c->SetVisible(multiSSID);
    const int shrink = multiSSID ? 0 : kNonMultiSSIDShrink;
    for (TButton *b : {Bt_Apply, Bt_Refresh, Bt_Close})
        b->SetTop(kPageTop + kPageDesignHeight + kButtonGap - shrink);
    PageControl1->SetHeight(kPageDesignHeight - shrink);
    SetClientHeight(kDesignClientHeight - shrink);
    if (multiSSID)
        return;
    for (TControl *c : std::initializer_list<TControl *>{CB_AuSc, GroupBox1, GroupBox2, GroupBox3, GroupBox4,
                                                         GroupBox5, GroupBox6, GroupBox7, Ed_SecAutha})
        c->SetVisible(false);
    Label1->SetVisible(true);
    Ed_SSIDa->SetVisible(true);
}

void TFM_Wirless::SetEditable(TEdit *edit, bool editable)
{
    edit->SetReadOnly(!editable);
    edit->SetColor(editable ? clWindow : clBtnFace);
}

// The partner groups by AP mode, then the authentication row below them.
void TFM_Wirless::LayOutGroups(int modeItem)
{
    const bool wds = modeItem == 1 || modeItem == 2;
    const bool repeater = modeItem == 3 || modeItem == 4;
    Label1->SetVisible(!repeater);
    Ed_SSIDa->SetVisible(!repeater);
    GroupBox1->SetVisible(wds);
    GroupBox2->SetVisible(repeater);
    int authTop = kAuthTopAP;
    if (wds) {
        GroupBox1->SetText(modeItem == 1 ? " WDS with AP " : " WDS without AP ");
        const bool survey = m_caps.WDSSite == 1;
        GroupBox3->SetVisible(survey);
        GroupBox3->SetTop(kSurveyTopWDS);
        authTop = survey ? kAuthTopWDSSurvey : kAuthTopWDS;
    } else if (repeater) {
        if (modeItem == 3)
            GroupBox2->SetText(m_caps.StringChange == 1 ? " Universal Repeater " : " AP Repeater ");
        else
            GroupBox2->SetText(" AP Client ");
        SetEditable(Ed_RoMAddra0, modeItem == 3);
        SetEditable(Ed_SSID, modeItem == 4);
        GroupBox3->SetVisible(true);
        GroupBox3->SetTop(kSurveyTopRepeater);
        authTop = kAuthTopRepeater;
    } else {
        GroupBox3->SetVisible(false);
    }
    Label5->SetTop(authTop);
    Ed_SecAuthaTemp->SetTop(authTop - 4);
    Ed_SecAutha->SetTop(authTop - 4);
}

// The security group of the authentication below its row; the page, the buttons and the
// form follow the lowest group shown.
void TFM_Wirless::ArrangeSecurityGroups(int auth)
{
    const bool wep = auth >= 0 && auth <= 2;
    const bool personal = auth == 3 || auth == 5 || auth == 7;
    const bool enterprise = auth == 4 || auth == 6 || auth == 8;
    GroupBox4->SetVisible(wep);
    GroupBox7->SetVisible(personal);
    GroupBox5->SetVisible(enterprise);
    GroupBox6->SetVisible(enterprise);
    const int top = Label5->Top() + 18;
    int bottom = Ed_SecAuthaTemp->Top() + Ed_SecAuthaTemp->Height();
    if (wep) {
        GroupBox4->SetTop(top);
        bottom = top + kKeyHeight;
    } else if (personal) {
        GroupBox7->SetTop(top);
        bottom = top + kPassPhraseHeight;
    } else if (enterprise) {
        GroupBox5->SetTop(top);
        GroupBox5->SetHeight(AccountingShown ? kRadiusHeight : kRadiusHeightNoAccounting);
        GroupBox6->SetTop(top + GroupBox5->Height() + 10);
        bottom = GroupBox6->Top() + kSecondaryHeight;
    }
    PageControl1->SetHeight(bottom + 35);
    const int buttonTop = kPageTop + PageControl1->Height() + kButtonGap;
    for (TButton *b : {Bt_Apply, Bt_Refresh, Bt_Close})
        b->SetTop(buttonTop);
    SetClientHeight(buttonTop + (kDesignClientHeight - (kPageTop + kPageDesignHeight + kButtonGap)));
}

void TFM_Wirless::SetEditLimits()
{
    Ed_SSIDa->SetMaxLength(32);
    Ed_SSID->SetMaxLength(32);
    for (TEdit *e : RemoteMACEdits())
        e->SetMaxLength(12);
    Ed_RoMAddra0->SetMaxLength(12);
    GroupKeyEdit->SetMaxLength(7);
    GroupKeyPSKEdit->SetMaxLength(7);
    for (TEdit *e : {RadiusServerEdit, Ed_SecRadiusServer, Ed_SecAccountServer, Ed_AcntServer})
        e->SetMaxLength(15);
    RadiusSecretEdit->SetMaxLength(64);
    Ed_SecRadiusSecret->SetMaxLength(64);
    for (TEdit *e : {RadiusportEdit, Ed_SecRadiusport, Ed_SecAccountPort, Ed_AcntPort})
        e->SetMaxLength(5);
    PassPhrasePSKEdit->SetMaxLength(63);
}
