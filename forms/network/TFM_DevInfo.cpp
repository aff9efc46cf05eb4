#include "TFM_DevInfo.h"

#include "FormGlobals.h"
#include "KvSNMPReadBatch.h"
#include "MainForm.h"
#include "MainMenu.h"
#include "Misc.h"
#include "ShellTexts.h"

namespace {

using namespace KvSyntax;
using KvAccess::ReadOnly;

const FormItemTable kRadioItems = {
    {"4.2.1.1.1", "stSSID", DisplayStr, ReadOnly},
    {"4.2.1.2.1", "stChannel", Integer, ReadOnly},
    {"4.2.1.3.1", "stSuperMode", Integer, ReadOnly, &gStSuperModeNames},
    {"4.2.1.4.1", "stDataRate", DisplayStr, ReadOnly},
    {"4.2.1.5.1", "stSecLevelAuth", DisplayStr, ReadOnly},
    {"4.2.1.6.1", "stSecLevelPriv", DisplayStr, ReadOnly},
};
const FormItemTable kInfoItems = {
    {"4.1.1.1", "Firmware Version", DisplayStr, ReadOnly},
    {"4.1.1.2", "MAC Address", MacAddress, ReadOnly},
    {"4.1.1.3", "Get IP From", Integer, ReadOnly, &gGetIPFromNames},
    {"4.1.1.4", "IP Address", IpAddress, ReadOnly},
    {"4.1.1.5", "Subnet Mask", IpAddress, ReadOnly},
    {"4.1.1.6", "Default Gateway", IpAddress, ReadOnly},
};
const FormItemTable kMacItems = {
    {"4.1.1.7", "stEthMACAddress", MacAddress, ReadOnly},
    {"4.1.1.9", "stWlan1MACAddress", MacAddress, ReadOnly},
};
const FormItemTable kApSupportItems = {{"99.1.1.43", "apStatusSupported", Integer, ReadOnly}};
const FormItemTable kApItems = {
    {"4.1.2.1", "deviceInformationCpuUtilization", Integer, ReadOnly},
    {"4.1.2.2", "deviceInformationMemUtilization", Integer, ReadOnly},
};

constexpr uint64_t kMac48 = (uint64_t{1} << 48) - 1;

// Where the device information and Ethernet groups stand, and how far down they move
// without the AP status group.
constexpr int kInfoTop = 8;
constexpr int kEthernetTop = 162;
constexpr int kNoApShift = 40;

} // namespace

std::optional<uint64_t> MacTextToNumber(const AnsiString &text)
{
    if (text.size() != 12)
        return std::nullopt;
    uint64_t n = 0;
    for (const char ch : text) {
        int digit = 0;
        if (ch >= '0' && ch <= '9')
            digit = ch - '0';
        else if (ch >= 'a' && ch <= 'f')
            digit = ch - 'a' + 10;
        else if (ch >= 'A' && ch <= 'F')
            digit = ch - 'A' + 10;
        else
            return std::nullopt;
        n = n << 4 | static_cast<uint64_t>(digit);
    }
    return n;
}

AnsiString MacNumberToText(uint64_t mac)
{
    static const char digits[] = "0123456789ABCDEF";
    AnsiString text(12, '0');
    mac &= kMac48;
    for (int i = 11; i >= 0; --i, mac >>= 4)
        text[static_cast<std::size_t>(i)] = digits[mac & 0xF];
    return text;
}

TFM_DevInfo::TFM_DevInfo(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_DevInfo", "Status \\ Device Info", 652, 362});
    PC_WirlessTraffic = Make<TPageControl>(this, "PC_WirlessTraffic", {8, 8, 298, 326});
    TabSheetA = new TTabSheet(this); // owned by the form, shown by the page control
    TabSheetA->SetName("TabSheetA");
    TabSheetA->SetPageControl(PC_WirlessTraffic);
    TEdit **edits[] = {&Ed_SSIDa, &Ed_Channela, &Ed_SupModusa, &Ed_DatRata, &Ed_SecLevAutha, &Ed_SecLevPria};
    TLabel **labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6};
    const char *const editNames[] = {"Ed_SSIDa",   "Ed_Channela",    "Ed_SupModusa",
                                     "Ed_DatRata", "Ed_SecLevAutha", "Ed_SecLevPria"};
    const char *const captions[] = {"Service Set ID", "Channel",        "Super G Mode",
                                    "Data Rate",      "Authentication", "Privacy"};
    for (int i = 0; i < 6; ++i) {
        const std::string labelName = "Label" + std::to_string(i + 1);
        *labels[i] = Make<TLabel>(TabSheetA, labelName.c_str(), {10, 18 + 34 * i, 100, 16}, captions[i]);
        *edits[i] = Make<TEdit>(TabSheetA, editNames[i], {114, 16 + 34 * i, 166, 21});
    }
    Ed_SupModa = Make<TEdit>(TabSheetA, "Ed_SupModa", {114, 84, 166, 21});
    Ed_SupModa->SetVisible(false);
    Bt_Refa = Make<TButton>(TabSheetA, "Bt_Refa", {110, 236, 75, 25}, "Refresh");

    GroupBox2 = Make<TGroupBox>(this, "GroupBox2", {314, kInfoTop, 330, 148}, "Device Info");
    Label7 = Make<TLabel>(GroupBox2, "Label7", {12, 22, 120, 16}, "Firmware Version:");
    Ed_Firmware = Make<TEdit>(GroupBox2, "Ed_Firmware", {140, 20, 176, 21});
    Label8 = Make<TLabel>(GroupBox2, "Label8", {12, 48, 120, 16}, "MAC Address:");
    Ed_Mac = Make<TEdit>(GroupBox2, "Ed_Mac", {140, 46, 176, 21});
    Label21 = Make<TLabel>(GroupBox2, "Label21", {12, 74, 140, 16}, "WLAN1 MAC Address: ");
    Label26 = Make<TLabel>(GroupBox2, "Label26", {24, 96, 80, 16}, "Primary: ");
    Ed_SMac = Make<TEdit>(GroupBox2, "Ed_SMac", {140, 94, 176, 21});
    Label25 = Make<TLabel>(GroupBox2, "Label25", {24, 122, 80, 16}, "Secondary:");
    Lab_Lan1Mac = Make<TLabel>(GroupBox2, "Lab_Lan1Mac", {140, 122, 84, 16});
    Label29 = Make<TLabel>(GroupBox2, "Label29", {226, 122, 10, 16}, "~");
    Lab_Lan1MacEnd = Make<TLabel>(GroupBox2, "Lab_Lan1MacEnd", {238, 122, 84, 16});
    Ed_PMac = Make<TEdit>(GroupBox2, "Ed_PMac", {140, 94, 176, 21});
    Label19 = Make<TLabel>(GroupBox2, "Label19", {140, 122, 84, 16});
    for (TControl *c : std::initializer_list<TControl *>{Label21, Label26, Ed_SMac, Label25, Lab_Lan1Mac,
                                                         Label29, Lab_Lan1MacEnd, Ed_PMac, Label19})
        c->SetVisible(false);

    GroupBox1 = Make<TGroupBox>(this, "GroupBox1", {314, kEthernetTop, 330, 118}, "Ethernet ");
    Label9 = Make<TLabel>(GroupBox1, "Label9", {12, 22, 120, 16}, "Get IP From:");
    Ed_GetIP = Make<TEdit>(GroupBox1, "Ed_GetIP", {140, 20, 176, 21});
    Label10 = Make<TLabel>(GroupBox1, "Label10", {12, 46, 120, 16}, "IP Address: ");
    Ed_IPaddr = Make<TEdit>(GroupBox1, "Ed_IPaddr", {140, 44, 176, 21});
    Label11 = Make<TLabel>(GroupBox1, "Label11", {12, 70, 120, 16}, "Subnet Mask:");
    Ed_SubMask = Make<TEdit>(GroupBox1, "Ed_SubMask", {140, 68, 176, 21});
    Label12 = Make<TLabel>(GroupBox1, "Label12", {12, 94, 120, 16}, "Gateway: ");
    Ed_Gate = Make<TEdit>(GroupBox1, "Ed_Gate", {140, 92, 176, 21});

    GB_AP = Make<TGroupBox>(this, "GB_AP", {314, 286, 330, 48}, "AP Status");
    Label13 = Make<TLabel>(GB_AP, "Label13", {12, 22, 98, 16}, "CPU Utilization:");
    Ed_Cpu = Make<TEdit>(GB_AP, "Ed_Cpu", {110, 20, 34, 21});
    Label14 = Make<TLabel>(GB_AP, "Label14", {148, 22, 14, 16}, "%");
    Label15 = Make<TLabel>(GB_AP, "Label15", {166, 22, 104, 16}, "Memory Utilization:");
    Ed_Memory = Make<TEdit>(GB_AP, "Ed_Memory", {272, 20, 34, 21});
    Label16 = Make<TLabel>(GB_AP, "Label16", {310, 22, 14, 16}, "%");
    Ed_ApStatusSupport = Make<TEdit>(GB_AP, "Ed_ApStatusSupport", {110, 20, 34, 21});
    Ed_ApStatusSupport->SetVisible(false);
    StatusBar = Make<TStatusBar>(this, "StatusBar");

    for (TEdit *e : {Ed_SSIDa, Ed_Channela, Ed_SupModusa, Ed_SupModa, Ed_DatRata, Ed_SecLevAutha,
                     Ed_SecLevPria, Ed_Firmware, Ed_Mac, Ed_SMac, Ed_PMac, Ed_GetIP, Ed_IPaddr, Ed_SubMask,
                     Ed_Gate, Ed_Cpu, Ed_Memory, Ed_ApStatusSupport})
        e->SetReadOnly(true);

    Bt_Refa->OnClick = [this](TObject *s) { Bt_RefaClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    m_guard.Watch(InfoReq);
    m_guard.Watch(ApReq);
    m_guard.Install(this);
}

void TFM_DevInfo::FormCreate(TObject *)
{
    m_turbo = MainForm != nullptr ? MainForm->ED_Turbomode->Text() : AnsiString();
    GuardCreate(StatusBar, [this] {
        TabSheetA->SetText(gBand11gName);
        RadioReq = MakeBinding(
            this, {.Items = kRadioItems, .Type = MVT_SV, .Mode = BindMode::Sync, .Log = StatusBar});
        TEdit *const radioEdits[] = {Ed_SSIDa,   Ed_Channela,    Ed_SupModa,
                                     Ed_DatRata, Ed_SecLevAutha, Ed_SecLevPria};
        for (int i = 0; i < 6; ++i)
            RadioReq->AssociateEdits(i, "%s", radioEdits[i]);
        RadioReq->Get();
        ShowSuperMode();

        // The range needs the device's MAC address, which this read brings.
        InfoReq = MakeBinding(this, {.Items = kInfoItems,
                                     .Type = SVT_SV,
                                     .Mode = BindMode::Async,
                                     .OnGetDone = [this](auto *, auto *) { ShowMacRange(); }});
        TEdit *const infoEdits[] = {Ed_Firmware, Ed_Mac, Ed_GetIP, Ed_IPaddr, Ed_SubMask, Ed_Gate};
        for (int i = 0; i < 6; ++i)
            InfoReq->AssociateEdits(i, "%s", infoEdits[i]);
        InfoReq->Get();

        MacReq = MakeBinding(this, {.Items = kMacItems, .Type = SVT_SV, .Mode = BindMode::Sync});
        MacReq->AssociateEdits(0, "%s", Ed_PMac);
        MacReq->Associate(1, Label19);
        m_macsRead = MacReq->Get();
        ShowMacRange();

        ApSupportReq = MakeBinding(this, {.Items = kApSupportItems, .Type = SVT_SV, .Mode = BindMode::Sync});
        ApSupportReq->AssociateEdits(0, "%s", Ed_ApStatusSupport);
        ShowApStatus();
    });
}

void TFM_DevInfo::ShowApStatus()
{
    // Shown only where the device says it has it; without it the groups move down into its
    // place. A support read that failed is tried again by Refresh.
    const bool supported =
        ReadAgainIfUnread(ApSupportReq.get()) && CapabilityNumber(Ed_ApStatusSupport->Text()) == 1;
    GB_AP->SetVisible(supported);
    GroupBox2->SetTop(kInfoTop + (supported ? 0 : kNoApShift));
    GroupBox1->SetTop(kEthernetTop + (supported ? 0 : kNoApShift));
    if (!supported || ApReq)
        return;
    ApReq = MakeBinding(this, {.Items = kApItems, .Type = SVT_SV, .Mode = BindMode::Async});
    ApReq->AssociateEdits(0, "%s", Ed_Cpu);
    ApReq->AssociateEdits(1, "%s", Ed_Memory);
    ApReq->Get();
}

void TFM_DevInfo::ShowSuperMode()
{
    // Derived from nothing, it would pass for a mode the device never sent.
    if (!RadioReq || !RadioReq->WasRead()) {
        Ed_SupModusa->SetText("");
        return;
    }
    const AnsiString mode = Ed_SupModa->Text();
    if (m_turbo == "0")
        Ed_SupModusa->SetText(mode == "Disabled" ? "Disabled" : "Enabled");
    else if (Ed_Channela->Text() != "6" && mode != "Disabled")
        Ed_SupModusa->SetText("Super G without Turbo");
    else
        Ed_SupModusa->SetText(mode);
}

void TFM_DevInfo::ShowMacRange()
{
    if (!m_macsRead || !InfoReq || !InfoReq->WasRead() || Ed_SMac->Visible())
        return;
    // A MAC that cannot be read as twelve digits is shown as it came; the range stays hidden.
    const std::optional<uint64_t> mac = MacTextToNumber(Ed_Mac->Text());
    if (!mac)
        return;
    Ed_SMac->SetText(Ed_Mac->Text());
    Lab_Lan1Mac->SetText(MacNumberToText(*mac + 1));
    Lab_Lan1MacEnd->SetText(MacNumberToText(*mac + 7));
    for (TControl *c : std::initializer_list<TControl *>{Label21, Label25, Label26, Label29, Ed_SMac,
                                                         Lab_Lan1Mac, Lab_Lan1MacEnd})
        c->SetVisible(true);
}

void TFM_DevInfo::Bt_RefaClick(TObject *)
{
    const KvSNMPReadBatch reads;
    // What the opening could not read is read now, as a normal opening reads it.
    ReadAgainIfUnread(InfoReq.get());
    if (MacReq) {
        m_macsRead = ReadAgainIfUnread(MacReq.get());
        ShowMacRange();
    }
    if (ApSupportReq && !ApSupportReq->WasRead())
        ShowApStatus();
    if (ApReq && CapabilityNumber(Ed_ApStatusSupport->Text()) == 1 && !ApReq->Busy)
        ApReq->Get();
    if (RadioReq) {
        RadioReq->Get();
        ShowSuperMode();
    }
}
