#include "TFM_Performace.h"

#include "FormGlobals.h"
#include "FormPages.h"
#include "MainForm.h"
#include "MainMenu.h"
#include "Misc.h"
#include "ShellTexts.h"

#include <string>

namespace {

// The rates of CB_DRate1 .. CB_DRate12.
const char *const kRateLabels[12] = {"1Mb/Sec",  "2Mb/Sec",  "5.5Mb/Sec", "11Mb/Sec", "6Mb/Sec",  "9Mb/Sec",
                                     "12Mb/Sec", "18Mb/Sec", "24Mb/Sec",  "36Mb/Sec", "48Mb/Sec", "54Mb/Sec"};

const int kRowPitch = 26;
const int kFirstRowTop = 20;
const int kControlLeft = 200;
const int kTabHeader = 28;
const int kStatusBarHeight = 20;

const FormItemTable kAPModeItems = {
    {"2.1.1.1.1", "adAPMode", KvSyntax::Integer, KvAccess::ReadWrite, &gAdAPModeNames2}};
const FormItemTable kMSSIDStateItems = {
    {"2.9.3.1.1", "adMSSIDState", KvSyntax::Integer, KvAccess::ReadWrite, &gAdMSSIDStateNames2}};
const FormItemTable kPriorityItems = {{"2.9.4.1.1.1", "adMSSIDPriorityState", KvSyntax::Integer,
                                       KvAccess::ReadWrite, &gAdMSSIDPriorityStateNames}};
const FormItemTable kGonlyItems = {
    {"2.3.1.13.1", "ad80211gonly", KvSyntax::Integer, KvAccess::ReadWrite, &gAd80211gonlyNames}};
const FormItemTable kXRItems = {{"2.3.1.99.1", "adXR", KvSyntax::Integer, KvAccess::ReadWrite, &gAdXRNames}};
const FormItemTable kWMMItems = {{"2.3.1.17", "adWMM", KvSyntax::Integer, KvAccess::ReadWrite, &gAdWMMNames}};
const FormItemTable kPreambleItems = {
    {"2.3.1.19", "adPreamble", KvSyntax::Integer, KvAccess::ReadWrite, &gAdPreambleNames}};
const FormItemTable kBgModeItems = {
    {"2.3.1.24", "adbgMode", KvSyntax::Integer, KvAccess::ReadWrite, &gAdbgModeNames}};
const FormItemTable kAntennaItems = {
    {"2.3.1.23", "adAntenna", KvSyntax::Integer, KvAccess::ReadWrite, &gAdAntennaNames}};
const FormItemTable kSuperModeItems4 = {
    {"2.3.1.11", "adSuperMode", KvSyntax::Integer, KvAccess::ReadWrite, &gAdSuperModeNames}};
const FormItemTable kSuperModeItems3 = {
    {"2.3.1.11", "adSuperMode", KvSyntax::Integer, KvAccess::ReadWrite, &gAdSuperModeNames2}};
const FormItemTable kIgmpItems = {
    {"2.3.1.29.1", "igmpSnooping", KvSyntax::Integer, KvAccess::ReadWrite, &gIgmpSnoopingNames}};
// The radio group's rows as the form names them (the frequency is only read).
const char kRadioLabel[] =
    "Data Rate, Beacon Interval, DTIM, Fragment Length, RTS Length, Transmit Power, Radio";
const FormItemTable kRadioItems = {
    {"2.3.1.1.1", "adFrequency", KvSyntax::DisplayStr, KvAccess::ReadOnly},
    {"2.3.1.4.1", "adDataRate", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"2.3.1.5.1", "adDataRateList", KvSyntax::DisplayStr, KvAccess::ReadOnly},
    {"2.3.1.6.1", "adBeaconInterval", KvSyntax::Integer, KvAccess::ReadWrite},
    {"2.3.1.7.1", "adDTIM", KvSyntax::Integer, KvAccess::ReadWrite},
    {"2.3.1.8.1", "adFragmentLength", KvSyntax::Integer, KvAccess::ReadWrite},
    {"2.3.1.9.1", "adRTSLength", KvSyntax::Integer, KvAccess::ReadWrite},
    {"2.3.1.10.1", "adTransmitPower", KvSyntax::Integer, KvAccess::ReadWrite, &gAdTransmitPowerNames},
    {"2.3.1.12.1", "adRadioWave", KvSyntax::Integer, KvAccess::ReadWrite, &gAdRadioWaveNames},
};
const FormItemTable kChannelItems = {
    {"1.1.1.3.1", "hChannel", KvSyntax::Integer, KvAccess::ReadWrite},
    {"1.1.1.3.2", "hChannel", KvSyntax::Integer, KvAccess::Invalid},
};
const FormItemTable kChannelListItems = {
    {"1.1.1.4.1", "hChannelList", KvSyntax::DisplayStr, KvAccess::ReadOnly},
    {"1.1.1.4.2", "hChannelList", KvSyntax::DisplayStr, KvAccess::ReadOnly},
};
const FormItemTable kDynChannelListItems = {
    {"2.3.1.15", "adDynamicChannelList", KvSyntax::DisplayStr, KvAccess::ReadOnly}};
const FormItemTable kStatChannelListItems = {
    {"2.3.1.16", "adStaticChannelList", KvSyntax::DisplayStr, KvAccess::ReadOnly}};
const FormItemTable kAutoScanItems = {
    {"2.3.1.14.1", "adAutoChannelScan", KvSyntax::Integer, KvAccess::ReadWrite, &gAdAutoChannelScanNames}};
const FormItemTable kDataRateSupportItems = {
    {"99.1.1.40", "dataratecontrolsupport", KvSyntax::Integer, KvAccess::ReadOnly}};
const FormItemTable kDataRateStatusItems = {{"2.14.1.2.1", "adDatarateControlstatus", KvSyntax::Integer,
                                             KvAccess::ReadWrite, &gAdDatarateControlstatusNames}};
const FormItemTable kDataRateTableItems = {
    {"2.13.1.1.1", "adDataRateControlIndex", KvSyntax::Integer, KvAccess::NotAccess},
    {"2.13.1.2.1", "adDataRateStatus", KvSyntax::Integer, KvAccess::ReadWrite, &gAdDataRateStatusNames},
};

// Every binding member, in the order an opening makes them.
std::unique_ptr<FormBinding> TFM_Performace::*const kBindingSlots[] = {
    &TFM_Performace::APModeReq,
    &TFM_Performace::MSSIDStateReq,
    &TFM_Performace::PriorityReq,
    &TFM_Performace::GonlyReq,
    &TFM_Performace::XRReq,
    &TFM_Performace::WMMReq,
    &TFM_Performace::PreambleReq,
    &TFM_Performace::BgModeReq,
    &TFM_Performace::AntennaReq,
    &TFM_Performace::SuperModeReq,
    &TFM_Performace::IgmpReq,
    &TFM_Performace::RadioReq,
    &TFM_Performace::ChannelReq,
    &TFM_Performace::ChannelListReq,
    &TFM_Performace::DynChannelListReq,
    &TFM_Performace::StatChannelListReq,
    &TFM_Performace::AutoScanReq,
    &TFM_Performace::DataRateSupportReq,
    &TFM_Performace::DataRateStatusReq,
    &TFM_Performace::DataRateTableReq,
};

TComboBox *ListCombo(TWinControl *parent, const char *name, Bounds b)
{
    auto *combo = Make<TComboBox>(parent, name, b);
    combo->SetStyle(csDropDownList);
    return combo;
}

} // namespace

TFM_Performace::TFM_Performace(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_Performace", "Advanced \\ Performance", 412, 731});
    PC_Performace = Make<TPageControl>(this, "PC_Performace", {4, 4, 404, 700});
    TabSheetA = MakePage(this, PC_Performace, "TabSheetA", "IEEE802.11a");
    TabSheetG = MakePage(this, PC_Performace, "TabSheetG", "IEEE802.11g");
    TabSheetG->SetTabVisible(false);
    PC_Performace->SetActivePage(TabSheetA);

    GroupBox1 = Make<TGroupBox>(TabSheetA, "GroupBox1", {6, 4, 386, 400}, "Advance Wireless Settings");
    auto label = [this](const char *name, const char *caption) {
        return Make<TLabel>(GroupBox1, name, {10, 0, 160, 16}, caption);
    };
    auto combo = [this](const char *name) { return ListCombo(GroupBox1, name, {kControlLeft, 0, 170, 21}); };
    auto edit = [this](const char *name) { return Make<TEdit>(GroupBox1, name, {kControlLeft, 0, 80, 21}); };
    La_Freq = label("La_Freq", "Frequency");
    Ed_Freqa = edit("Ed_Freqa");
    Ed_Freqa->SetWidth(50);
    Ed_Freqa->SetReadOnly(true);
    Ed_Freqa->SetBorderStyle(bsNone);
    La_GHz = Make<TLabel>(GroupBox1, "La_GHz", {kControlLeft + 56, 0, 30, 16}, "GHz");
    La_Chan = label("La_Chan", "Channel");
    CB_Chana = combo("CB_Chana");
    CB_Chana->SetEnabled(false);
    La_DtRt = label("La_DtRt", "Data Rate");
    CB_DtRta = combo("CB_DtRta");
    La_BeInt = label("La_BeInt", "Beacon Interval (20 - 1000)");
    Ed_BeInta = edit("Ed_BeInta");
    Ed_BeInta->SetMaxLength(4);
    La_DTIM = label("La_DTIM", "DTIM (1 - 255)");
    Ed_DTIMa = edit("Ed_DTIMa");
    La_FragLen = label("La_FragLen", "Fragment Length (256 - 2346)");
    Ed_FragLena = edit("Ed_FragLena");
    La_RTS = label("La_RTS", "RTS Length (256 - 2346)");
    Ed_RTSa = edit("Ed_RTSa");
    La_TranP = label("La_TranP", "Transmit Power");
    CB_TranPa = combo("CB_TranPa");
    La_Super = label("La_Super", "Super G Mode");
    CB_SupModea = combo("CB_SupModea");
    La_Radio = label("La_Radio", "Radio");
    CB_RadWava = combo("CB_RadWava");
    La_Gonly = label("La_Gonly", "802.11g Only");
    CB_Gonly = combo("CB_Gonly");
    La_XRa = label("La_XRa", "XR");
    CB_XRa = combo("CB_XRa");
    La_WMM = label("La_WMM", "WMM");
    CB_WMM = combo("CB_WMM");
    La_Preamble = label("La_Preamble", "Preamble");
    CB_Preamble = combo("CB_Preamble");
    Label37 = label("Label37", "IGMP Snooping");
    CB_Snooping = combo("CB_Snooping");
    Lb_BgMode = label("Lb_BgMode", "Wireless B/G Mode");
    CB_BgMode = combo("CB_BgMode");
    Lab_Antenna = label("Lab_Antenna", "Antenna Diversity");
    CB_Antenna = combo("CB_Antenna");

    // Hidden holders.
    auto hiddenEdit = [this](const char *name) {
        TEdit *e = Make<TEdit>(TabSheetA, name, {0, 0, 60, 21});
        e->SetVisible(false);
        return e;
    };
    auto hiddenCombo = [this](const char *name) {
        TComboBox *c = ListCombo(TabSheetA, name, {0, 0, 60, 21});
        c->SetVisible(false);
        return c;
    };
    Ed_Chana = hiddenEdit("Ed_Chana");
    Ed_DtRta = hiddenEdit("Ed_DtRta");
    Ed_ChLista = hiddenEdit("Ed_ChLista");
    Ed_DtLista = hiddenEdit("Ed_DtLista");
    Ed_DynChLista = hiddenEdit("Ed_DynChLista");
    Ed_StatChLista = hiddenEdit("Ed_StatChLista");
    Ed_dataratecontrolsupport = hiddenEdit("Ed_dataratecontrolsupport");
    CB_AuSc = hiddenCombo("CB_AuSc");
    CB_APModea = hiddenCombo("CB_APModea");
    CB_Multenable = hiddenCombo("CB_Multenable");
    CB_Priority = hiddenCombo("CB_Priority");
    CB_SuperMode_jp = hiddenCombo("CB_SuperMode_jp");
    CB_SuperMode_jp->Items()->Add("Disable");
    CB_SuperMode_jp->Items()->Add("Enable");

    GroupBox2 = Make<TGroupBox>(TabSheetA, "GroupBox2", {6, 0, 386, 172},
                                "Advanced Data Rate Settings in 802.11b/g ");
    La_DateStatus = Make<TLabel>(GroupBox2, "La_DateStatus", {10, 21, 140, 16}, "Enable Data Rate Control");
    CB_DateStatus = ListCombo(GroupBox2, "CB_DateStatus", {160, 18, 80, 21});
    CB_DateStatus->Items()->Add("Disable");
    CB_DateStatus->Items()->Add("Enable");
    CB_DateStatus->SetItemIndex(0);
    // Three columns: the CCK rates, then the OFDM rates.
    for (int i = 0; i < 19; ++i) {
        const std::string name = "CB_DRate" + std::to_string(i + 1);
        const int column = i < 4 ? 0 : (i < 8 ? 1 : 2);
        const int row = i < 4 ? i : (i - 4) % 4;
        const int left = 8 + column * 126;
        const int top = 46 + row * 24;
        if (i < 12) {
            const std::string labelName = "La_DRate" + std::to_string(i + 1);
            La_DRate[static_cast<std::size_t>(i)] =
                Make<TLabel>(GroupBox2, labelName.c_str(), {left, top + 3, 56, 16}, kRateLabels[i]);
        }
        TComboBox *rate = ListCombo(GroupBox2, name.c_str(), {left + 58, top, 64, 21});
        const bool basic = i == 0 || i == 1 || i == 2 || i == 3 || i == 4 || i == 6 || i == 8;
        rate->Items()->Add("Disable");
        rate->Items()->Add("Enable");
        if (basic)
            rate->Items()->Add("Basic");
        rate->SetVisible(i < 12);
        CB_DRate[static_cast<std::size_t>(i)] = rate;
    }
    ListView1 = Make<TListView>(GroupBox2, "ListView1", {260, 12, 100, 30});
    ListView1->SetVisible(false);
    BT_RDateRate = Make<TButton>(GroupBox2, "BT_RDateRate", {8, 142, 170, 23}, "Reset Data Rate Settings");

    Bt_Refresh_a = Make<TButton>(TabSheetA, "Bt_Refresh_a", {114, 0, 75, 25}, "Refresh");
    Bt_Apply_a = Make<TButton>(TabSheetA, "Bt_Apply_a", {204, 0, 75, 25}, "Apply");
    StatusBar = Make<TStatusBar>(this, "StatusBar");

    Bt_Apply_a->OnClick = [this](TObject *s) { Bt_Apply_aClick(s); };
    Bt_Refresh_a->OnClick = [this](TObject *s) { Bt_Refresh_aClick(s); };
    BT_RDateRate->OnClick = [this](TObject *s) { BT_RDateRateClick(s); };
    CB_BgMode->OnChange = [this](TObject *s) { CB_BgModeChange(s); };
    CB_SupModea->OnChange = [this](TObject *s) { CB_SupModeaChange(s); };
    CB_DateStatus->OnChange = [this](TObject *s) { CB_DateStatusChange(s); };
    CB_Priority->OnChange = [this](TObject *s) { CB_PriorityChange(s); };
    CB_DtRta->OnChange = [this](TObject *s) { CB_DtRtaChange(s); };
    Ed_BeInta->OnExit = [this](TObject *s) { Ed_BeIntaExit(s); };
    Ed_DTIMa->OnExit = [this](TObject *s) { Ed_DTIMaExit(s); };
    Ed_FragLena->OnExit = [this](TObject *s) { Ed_FragLenaExit(s); };
    Ed_RTSa->OnExit = [this](TObject *s) { Ed_RTSaExit(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    // The data-rate table is read in the background.
    m_guard.Watch(DataRateTableReq);
    m_guard.Install(this);
    ArrangeRows();
}

void TFM_Performace::ArrangeRows()
{
    struct Row {
        TControl *Label;
        TControl *Control;
        const bool *Present; // null: always there
    };
    const Row rows[] = {
        {La_Freq, Ed_Freqa, nullptr},
        {La_Chan, CB_Chana, nullptr},
        {La_DtRt, CB_DtRta, nullptr},
        {La_BeInt, Ed_BeInta, nullptr},
        {La_DTIM, Ed_DTIMa, nullptr},
        {La_FragLen, Ed_FragLena, nullptr},
        {La_RTS, Ed_RTSa, nullptr},
        {La_TranP, CB_TranPa, nullptr},
        {La_Super, CB_SupModea, nullptr},
        {La_Radio, CB_RadWava, nullptr},
        {La_Gonly, CB_Gonly, &GonlyRead},
        {La_XRa, CB_XRa, &XRRead},
        {La_WMM, CB_WMM, &WMMRead},
        {La_Preamble, CB_Preamble, &PreambleRead},
        {Label37, CB_Snooping, &IgmpRead},
        {Lb_BgMode, CB_BgMode, &BgModeRead},
        {Lab_Antenna, CB_Antenna, &AntennaRead},
    };
    // A row the device lacks leaves no gap: each one makes the form a row shorter.
    int top = kFirstRowTop;
    for (const Row &row : rows) {
        const bool shown = row.Present == nullptr || *row.Present;
        row.Label->SetVisible(shown);
        row.Control->SetVisible(shown);
        if (!shown)
            continue;
        row.Label->SetTop(top + 3);
        row.Control->SetTop(top);
        top += kRowPitch;
    }
    La_GHz->SetTop(Ed_Freqa->Top() + 3);
    GroupBox1->SetHeight(top + 6);

    const int below = GroupBox1->Top() + GroupBox1->Height() + 4;
    GroupBox2->SetTop(below);
    GroupBox2->SetVisible(DataRateControl());
    const int buttons = DataRateControl() ? below + GroupBox2->Height() + 6 : below;
    Bt_Refresh_a->SetTop(buttons);
    Bt_Apply_a->SetTop(buttons);
    PC_Performace->SetHeight(buttons + Bt_Apply_a->Height() + 6 + kTabHeader);
    SetClientHeight(PC_Performace->Top() + PC_Performace->Height() + kStatusBarHeight);
}

bool TFM_Performace::DataRateControl() const
{
    return CapabilityNumber(Ed_dataratecontrolsupport->Text()) == 1;
}

void TFM_Performace::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] { Open(); });
}

std::unique_ptr<FormBinding> TFM_Performace::Scalars(const KvSNMPItem *items, const char *label,
                                                     KvSNMPItemType type, int32_t timeout)
{
    return MakeBinding(
        this, {.Items = items, .Label = label, .Type = type, .Mode = BindMode::Sync, .Timeout = timeout});
}

void TFM_Performace::Open()
{
    m_capabilities = CurrentCapabilities();
    TabSheetA->SetText(gBand11gName);
    ReadModeGroups();
    ReadRadioGroups();
    ReadDataRateGroups();
    ArrangeRows();

    CB_BgModeChange(this);
    FillDataRateControlLists();
    CB_SupModeaChange(this);
    CB_DateStatusChange(this);
    ShowDeviceRateControl();
    ShowDeviceRate();
    // The rate table, read in the background, tells it when it has come.
    if (!DataRateTableReq || !DataRateTableReq->Busy)
        ShowUnread();
}

bool TFM_Performace::ShowUnread()
{
    // A row the device answered it lacks is hidden, not unread; one whose answer was lost is
    // hidden too, and named.
    return ShowReadFailure(
        StatusBar,
        {APModeReq.get(), MSSIDStateReq.get(), PriorityReq.get(), UnlessLacking(GonlyReq, GonlyRead),
         UnlessLacking(XRReq, XRRead), UnlessLacking(WMMReq, WMMRead),
         UnlessLacking(PreambleReq, PreambleRead), UnlessLacking(BgModeReq, BgModeRead),
         UnlessLacking(AntennaReq, AntennaRead), SuperModeReq.get(), UnlessLacking(IgmpReq, IgmpRead),
         RadioReq.get(), ChannelReq.get(), ChannelListReq.get(), AutoScanReq.get(),
         UnlessLacking(DataRateSupportReq, false), DataRateStatusReq.get(), DataRateTableReq.get()});
}

// The AP mode, Multi-SSID and super mode the rules follow, and the optional rows.
void TFM_Performace::ReadModeGroups()
{
    APModeReq = Scalars(kAPModeItems, "AP Mode", MVT_SV);
    APModeReq->AssociateCombo(0, CB_APModea);
    APModeReq->Get();
    MSSIDStateReq = Scalars(kMSSIDStateItems, "Multi-SSID", SVT_SV, 1000);
    MSSIDStateReq->AssociateCombo(0, CB_Multenable);
    MSSIDStateReq->Get();
    PriorityReq = Scalars(kPriorityItems, "Multi-SSID Priority", MVT_SV);
    PriorityReq->AssociateCombo(0, CB_Priority);
    if (PriorityReq->Get())
        CB_PriorityChange(this);

    // Optional rows: shown only when the device answers for them.
    auto optional = [&](std::unique_ptr<FormBinding> &req, const FormItemTable &items, const char *label,
                        KvSNMPItemType type, TComboBox *box, bool &read) {
        req = Scalars(items, label, type);
        req->AssociateCombo(0, box);
        read = req->Get();
    };
    optional(GonlyReq, kGonlyItems, "802.11g Only", MVT_SV, CB_Gonly, GonlyRead);
    optional(XRReq, kXRItems, "XR", MVT_SV, CB_XRa, XRRead);
    optional(WMMReq, kWMMItems, "WMM", SVT_SV, CB_WMM, WMMRead);
    optional(PreambleReq, kPreambleItems, "Preamble", SVT_SV, CB_Preamble, PreambleRead);
    optional(BgModeReq, kBgModeItems, "Wireless B/G Mode", SVT_SV, CB_BgMode, BgModeRead);
    optional(AntennaReq, kAntennaItems, "Antenna Diversity", SVT_SV, CB_Antenna, AntennaRead);

    // The super-mode list depends on the device; with neither list the group stays empty.
    const int32_t rogue = m_capabilities.Rogue;
    if (rogue == 0 || rogue == 1) {
        m_superModeNames = rogue == 0 ? &gAdSuperModeNames : &gAdSuperModeNames2;
        SuperModeReq = Scalars(rogue == 0 ? kSuperModeItems4 : kSuperModeItems3, "Super G Mode", SVT_SV);
        SuperModeReq->AssociateCombo(0, CB_SupModea);
        SuperModeReq->Get();
    }
    // A super mode not read leaves its follower unread too.
    if (m_capabilities.Turbomode == 0)
        CB_SuperMode_jp->SetItemIndex(CB_SupModea->ItemIndex() < 0 ? -1 : (SuperModeDisabled() ? 0 : 1));
    optional(IgmpReq, kIgmpItems, "IGMP Snooping", MVT_SV, CB_Snooping, IgmpRead);
}

void TFM_Performace::ReadRadioGroups()
{
    RadioReq = MakeBinding(this, {.Items = kRadioItems,
                                  .Label = kRadioLabel,
                                  .Type = MVT_SV,
                                  .Mode = BindMode::Sync,
                                  .Log = StatusBar});
    RadioReq->AssociateEdits(0, "%s", Ed_Freqa);
    RadioReq->AssociateEdits(1, "%s", Ed_DtRta);
    RadioReq->AssociateEdits(2, "%s", Ed_DtLista);
    RadioReq->AssociateEdits(3, "%u", Ed_BeInta);
    RadioReq->AssociateEdits(4, "%u", Ed_DTIMa);
    RadioReq->AssociateEdits(5, "%u", Ed_FragLena);
    RadioReq->AssociateEdits(6, "%u", Ed_RTSa);
    RadioReq->AssociateCombo(7, CB_TranPa);
    RadioReq->AssociateCombo(8, CB_RadWava);
    RadioReq->Get();

    ChannelReq = Scalars(kChannelItems, "Channel", MVT_SV);
    ChannelReq->AssociateEdits(0, "%s", Ed_Chana);
    ChannelReq->Get();
    ChannelListReq = Scalars(kChannelListItems, "Channel List", MVT_SV);
    ChannelListReq->AssociateEdits(0, "%s", Ed_ChLista);
    ChannelListReq->Get();
    // Channel lists are texts of blank-separated numbers, bound as text.
    DynChannelListReq = Scalars(kDynChannelListItems, "Dynamic Channel List", SVT_SV, 1000);
    DynChannelListReq->AssociateEdits(0, "%s", Ed_DynChLista);
    if (!DynChannelListReq->Get())
        Ed_DynChLista->SetText("6");
    StatChannelListReq = Scalars(kStatChannelListItems, "Static Channel List", SVT_SV, 1000);
    StatChannelListReq->AssociateEdits(0, "%s", Ed_StatChLista);
    if (!StatChannelListReq->Get())
        Ed_StatChLista->SetText("6");
    AutoScanReq = Scalars(kAutoScanItems, "Auto Channel Scan", MVT_SV);
    AutoScanReq->AssociateCombo(0, CB_AuSc);
    AutoScanReq->Get();
}

void TFM_Performace::ReadDataRateGroups()
{
    DataRateSupportReq = Scalars(kDataRateSupportItems, "Data Rate Control Support", SVT_SV);
    DataRateSupportReq->AssociateEdits(0, "%s", Ed_dataratecontrolsupport);
    DataRateSupportReq->Get();
    if (!DataRateControl())
        return;
    DataRateStatusReq = Scalars(kDataRateStatusItems, "Enable Data Rate Control", MVT_SV);
    DataRateStatusReq->AssociateCombo(0, CB_DateStatus);
    DataRateStatusReq->Get();
    m_rateControlRead = DataRateStatusReq->WasRead() ? CB_DateStatus->ItemIndex() : -1;
    DataRateTableReq = MakeBinding(
        this, {.Items = kDataRateTableItems,
               .Label = "Advanced Data Rate Settings",
               .Type = MVT_UMV,
               .KeyCount = 1,
               .Mode = BindMode::Async,
               .OnGetDone = [this](KvSNMPRequest2Controls *s, KvSNMPError *e) { OnDataRateTableGot(s, e); }});
    DataRateTableReq->SetupListView(ListView1, false);
    // Apply and Refresh wait for the rates, as after a Refresh.
    setDataRateButtons(false);
    DataRateTableReq->Get();
    if (!DataRateTableReq->Busy)
        setDataRateButtons(true);
}

bool TFM_Performace::ReopenIfIncomplete()
{
    std::vector<const ReadOutcome *> groups;
    for (const auto slot : kBindingSlots)
        if (const std::unique_ptr<FormBinding> &b = this->*slot; b && b.get() != DataRateTableReq.get())
            groups.push_back(b.get());
    bool whole = CurrentCapabilities() == m_capabilities;
    // An object the device lacks is answered: only silence leaves the opening incomplete.
    for (const ReadOutcome *g : groups)
        whole = whole && !g->FailedUnanswered();
    if (whole || (DataRateTableReq && DataRateTableReq->Busy))
        return false;
    for (const auto slot : kBindingSlots)
        (this->*slot).reset();
    GonlyRead = XRRead = WMMRead = PreambleRead = BgModeRead = AntennaRead = IgmpRead = false;
    m_superModeNames = nullptr;
    m_rateControlRead = -1;
    CB_WMM->SetEnabled(true);
    GuardCreate(StatusBar, [this] { Open(); });
    return true;
}

bool TFM_Performace::rangeOk(TEdit *edit, int low, int high, bool emptyFails) const
{
    const AnsiString text = edit->Text();
    if (emptyFails && text.empty())
        return false;
    const int32_t value = CapabilityNumber(text);
    return value >= low && value <= high;
}

namespace {
void RefuseOnExit(TEdit *edit, const char *message, bool empty)
{
    Application->MessageBox(message, "Warning", MB_OK);
    edit->SetFocus();
    if (empty)
        edit->SetText("");
}
} // namespace

void TFM_Performace::Ed_BeIntaExit(TObject *)
{
    if (!rangeOk(Ed_BeInta, 20, 1000, true))
        RefuseOnExit(Ed_BeInta, "Please input a number between 20 and 1000.", false);
}

void TFM_Performace::Ed_DTIMaExit(TObject *)
{
    if (!rangeOk(Ed_DTIMa, 1, 255, false))
        RefuseOnExit(Ed_DTIMa, "Please input a number between 1 and 255.", false);
}

void TFM_Performace::Ed_FragLenaExit(TObject *)
{
    if (!rangeOk(Ed_FragLena, 256, 2346, true))
        RefuseOnExit(Ed_FragLena, "Please input a number between 256 and 2346.", false);
}

void TFM_Performace::Ed_RTSaExit(TObject *)
{
    if (!rangeOk(Ed_RTSa, 256, 2346, true))
        RefuseOnExit(Ed_RTSa, "Please input a number between 256 and 2346.", true);
}
