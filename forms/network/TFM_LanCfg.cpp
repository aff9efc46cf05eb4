#include "TFM_LanCfg.h"

#include "AddressArithmetic.h"
#include "DhcpItems.h"
#include "FormGlobals.h"
#include "Misc.h"
#include "NetUtils.h"
#include "PingHost.h"
#include "WriteChain.h"

namespace {

const FormItemTable kLanItems = {
    {"1.2.1", "hGetIPFrom", KvSyntax::Integer, KvAccess::ReadWrite, &gHGetIPFromNames},
    {"1.2.2", "hIPAddress", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"1.2.3", "hSubnetMask", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"1.2.4", "hDefaultGateway", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"3.2.1", "sysRestart", KvSyntax::Integer, KvAccess::ReadWrite, &gSysRestartNames},
};
enum LanItem { GetIPFromItem, AddressItem, MaskItem, GatewayItem, RestartItem };

const char *const kPoolsUnread =
    "Reject: The IP cannot be checked against the DHCP server's pools: they could not be read.";
const char *const kStaticPoolUnread =
    "Reject: The IP cannot be checked against the Static DHCP Server IP: the static pool could not be read.";

} // namespace

TFM_LanCfg::TFM_LanCfg(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_LanCfg", "Home \\ LAN", 330, 198});
    Panel1 = Make<TPanel>(this, "Panel1", {8, 8, 314, 128});
    GetIPFrom = Make<TLabel>(Panel1, "GetIPFrom", {12, 14, 120, 16}, "Get IP From");
    CB_IPFrom = Make<TComboBox>(Panel1, "CB_IPFrom", {140, 10, 162, 21});
    LA_IPAddress = Make<TLabel>(Panel1, "LA_IPAddress", {12, 44, 120, 16}, "IP Address");
    ED_IpAddr = Make<TEdit>(Panel1, "ED_IpAddr", {140, 40, 162, 21}, "   .   .   .   ");
    LA_SubnetMask = Make<TLabel>(Panel1, "LA_SubnetMask", {12, 72, 120, 16}, "Subnet Mask");
    ED_SubMask = Make<TEdit>(Panel1, "ED_SubMask", {140, 68, 162, 21}, "255.255.255.0");
    LA_DefGW = Make<TLabel>(Panel1, "LA_DefGW", {12, 100, 120, 16}, "Default Gateway");
    ED_DefGw = Make<TEdit>(Panel1, "ED_DefGw", {140, 96, 162, 21}, "   .   .   .   ");
    ED_Restart = Make<TComboBox>(this, "ED_Restart", {8, 0, 60, 21});
    Ed_IPAF = Make<TEdit>(this, "Ed_IPAF", {72, 0, 60, 21});
    Ed_PoolRan = Make<TEdit>(this, "Ed_PoolRan", {136, 0, 60, 21});
    // The static pool's rows, on a panel behind the visible one.
    Panel2 = Make<TPanel>(this, "Panel2", {8, 8, 314, 128});
    Static_ListView = Make<TListView>(Panel2, "Static_ListView", {0, 0, 314, 128});
    for (TControl *hidden : std::initializer_list<TControl *>{ED_Restart, Ed_IPAF, Ed_PoolRan, Panel2})
        hidden->SetVisible(false);
    BT_LanCfgOk = Make<TButton>(this, "BT_LanCfgOk", {76, 146, 75, 25}, "Apply");
    BT_LanCfgCancel = Make<TButton>(this, "BT_LanCfgCancel", {178, 146, 75, 25}, "Cancel");
    StatusBar = Make<TStatusBar>(this, "StatusBar");

    CB_IPFrom->OnChange = [this](TObject *s) { CB_IPFromChange(s); };
    BT_LanCfgOk->OnClick = [this](TObject *s) { BT_LanCfgOkClick(s); };
    BT_LanCfgCancel->OnClick = [this](TObject *s) { BT_LanCfgCancelClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
}

void TFM_LanCfg::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        LanReq = MakeBinding(
            this,
            {.Items = kLanItems, .Label = "LAN", .Type = SVT_SV, .Mode = BindMode::Sync, .Log = StatusBar});
        LanReq->AssociateCombo(GetIPFromItem, CB_IPFrom);
        LanReq->AssociateEdits(AddressItem, "%s", ED_IpAddr);
        LanReq->AssociateEdits(MaskItem, "%s", ED_SubMask);
        LanReq->AssociateEdits(GatewayItem, "%s", ED_DefGw);
        LanReq->AssociateCombo(RestartItem, ED_Restart);

        DynamicPoolReq = MakeBinding(this, {.Items = kDynamicPoolItems,
                                            .Label = "DHCP Dynamic Pool",
                                            .Type = SVT_SV,
                                            .Mode = BindMode::Async,
                                            .OnGetDone = [this](auto *, auto *) { ShowOpeningReads(); }});
        DynamicPoolReq->AssociateEdits(0, "%s", Ed_IPAF);
        DynamicPoolReq->AssociateEdits(1, "%u", Ed_PoolRan);
        DynamicPoolReq->Get();

        StaticPoolReq = MakeBinding(
            this, {.Items = kStaticPoolItems,
                   .Label = "DHCP Static Pool",
                   .Type = MVT_UMV,
                   .KeyCount = 1,
                   .Mode = BindMode::Async,
                   .Timeout = 10000,
                   .OnGetDone = [this](KvSNMPRequest2Controls *, KvSNMPError *) { StaticPoolGetDone(); }});
        StaticPoolReq->SetupListView(Static_ListView, true);

        if (LanReq->Get()) {
            OpeningAddress = ED_IpAddr->Text();
            OpeningMode = CB_IPFrom->ItemIndex();
            ShowStaticFields();
        }
        ShowOpeningReads();
    });
    ED_DefGw->SetMaxLength(15);
    ED_IpAddr->SetMaxLength(15);
    ED_SubMask->SetMaxLength(15);
}

void TFM_LanCfg::ShowOpeningReads()
{
    // Once both reads of the opening have ended.
    for (const FormBinding *group : {LanReq.get(), DynamicPoolReq.get()})
        if (group == nullptr || group->LastRead() == ReadState::NotRead ||
            group->LastRead() == ReadState::Reading)
            return;
    ShowReadFailure(StatusBar, {LanReq.get(), DynamicPoolReq.get()});
}

void TFM_LanCfg::CB_IPFromChange(TObject *)
{
    ShowStaticFields();
}

void TFM_LanCfg::ShowStaticFields()
{
    const bool visible = CB_IPFrom->ItemIndex() != 1;
    for (TControl *c : std::initializer_list<TControl *>{LA_IPAddress, LA_SubnetMask, LA_DefGW, ED_IpAddr,
                                                         ED_SubMask, ED_DefGw})
        c->SetVisible(visible);
}

void TFM_LanCfg::BT_LanCfgOkClick(TObject *)
{
    if (Probing())
        return;
    // Without the device's values there is no address source to apply.
    if (!LanReq || !LanReq->WasRead()) {
        StatusBar->SetSimpleText(LanReq ? NotWrittenText(AnsiString(), {LanReq->Label()}) : gMsgGroupNotRead);
        return;
    }
    if (CB_IPFrom->ItemIndex() == 0)
        ApplyStatic();
    else if (CB_IPFrom->ItemIndex() == 1)
        ApplyDhcp();
    else
        StatusBar->SetSimpleText("Nothing was set: choose where the device gets its IP address from.");
}

void TFM_LanCfg::BT_LanCfgCancelClick(TObject *)
{
    Close();
}

void TFM_LanCfg::Refuse(const AnsiString &text)
{
    Application->MessageBox(text, "Warning", MB_OK);
}

void TFM_LanCfg::ApplyStatic()
{
    struct Check {
        TEdit *edit;
        bool (*valid)(const AnsiString &);
        const char *text;
    };
    const Check checks[] = {
        {ED_IpAddr, [](const AnsiString &t) { return IsValidIPAddress(t); },
         "Please input valid IP Address."},
        {ED_SubMask, [](const AnsiString &t) { return IsValidSubnetMask(t); },
         "Please input valid Subnet Mask."},
        {ED_DefGw, [](const AnsiString &t) { return IsValidIPAddress(t); }, "Please input valid Gateway."},
    };
    for (const Check &c : checks)
        if (!c.valid(c.edit->Text())) {
            Refuse(c.text);
            c.edit->SetText("");
            return;
        }
    const bool unchanged = SameAddress(ED_IpAddr->Text(), OpeningAddress);
    // Without the pool the check would pass any address; the address the device holds needs
    // none to be written back.
    const bool poolRead = DynamicPoolReq && DynamicPoolReq->WasRead();
    if (!poolRead && !unchanged) {
        Refuse(kPoolsUnread);
        return;
    }
    if (poolRead && InPool(IPEditToInt(ED_IpAddr), IPEditToInt(Ed_IPAF), IPEditToInt(Ed_PoolRan))) {
        Refuse("Reject: The IP conflicts with Dynamic DHCP Server IP");
        LanReq->Get();
        return;
    }
    if (unchanged) {
        WriteStatic();
        return;
    }
    // Apply goes on when the probe answers; meanwhile the input stays as it was probed.
    Panel1->SetEnabled(false);
    BT_LanCfgOk->SetEnabled(false);
    StatusBar->SetSimpleText("Checking whether the IP is already used ...");
    m_probe =
        PingHost(ED_IpAddr->Text(), [this](const kv::IcmpProbeOutcome &outcome) { ProbeDone(outcome); });
}

void TFM_LanCfg::ProbeDone(const kv::IcmpProbeOutcome &outcome)
{
    Panel1->SetEnabled(true);
    BT_LanCfgOk->SetEnabled(true);
    StatusBar->SetSimpleText("");
    const kv::IcmpProbeOutcome result = outcome;
    m_probe.reset();
    if (!AddressFreeAfterProbe(result)) {
        if (result.verdict == kv::IcmpProbeOutcome::Verdict::InUse) {
            LanReq->Get();
            ED_IpAddr->SetFocus();
        }
        return;
    }
    CheckStaticPool();
}

void TFM_LanCfg::CheckStaticPool()
{
    // A walk still running from before refuses a new one: its rows are not this check's.
    if (!StaticPoolReq || !StaticPoolReq->Get()) {
        Refuse(kStaticPoolUnread);
        return;
    }
    // The wait ends when the walk has completed, at the latest after its twelve ticks.
    m_waitingForStaticPool = StaticPoolReq->LastRead() == ReadState::Reading;
    if (m_waitingForStaticPool)
        RunCountdownWindow({.Countdown = 12,
                            .SendReboot = false,
                            .Label2 = AnsiString("Please wait..."),
                            .Label3 = AnsiString("Judge the IP whether can be used.")});
    m_waitingForStaticPool = false;
    if (StaticPoolReq->LastRead() != ReadState::Read) {
        Refuse(kStaticPoolUnread);
        return;
    }
    TListItems *rows = Static_ListView->Items();
    for (int i = 0; i < rows->Count(); ++i) {
        const TStrings *cells = rows->Item(i)->SubItems();
        if (cells->Count() > 0 && SameAddress(cells->Strings(0), ED_IpAddr->Text())) {
            Refuse("Reject: The IP conflicts with Static DHCP Server IP");
            LanReq->Get();
            return;
        }
    }
    WriteStatic();
}

void TFM_LanCfg::StaticPoolGetDone()
{
    if (m_waitingForStaticPool)
        EndCountdown();
}

void TFM_LanCfg::WriteStatic()
{
    const bool wasDhcpClient = OpeningMode == 1;
    // The restart object goes out only as "reboot", when the device must take a new address
    // source; written back as read it could restart the device for nothing.
    if (wasDhcpClient)
        ED_Restart->SetItemIndex(1);
    m_chain.Begin();
    {
        AccessPatch restart(*LanReq,
                            {{RestartItem, wasDhcpClient ? KvAccess::ReadWrite : KvAccess::ReadOnly}});
        // With the restart command in it the set is not repeated: a retry would restart twice.
        const int32_t retries = LanReq->Request.Retries;
        if (wasDhcpClient)
            LanReq->Request.Retries = 0;
        m_chain.Put(LanReq.get());
        LanReq->Request.Retries = retries;
    }
    if (!m_chain.Wrote(LanReq.get())) {
        StatusBar->SetSimpleText(m_chain.Text("Set Success!", "Set Error!"));
        return;
    }
    // Not checked against a pool that was not read: said so.
    std::vector<AnsiString> unchecked;
    if (DynamicPoolReq && !DynamicPoolReq->WasRead())
        unchecked.push_back(DynamicPoolReq->Label());
    StatusBar->SetSimpleText(NotReadText("Set Success!", unchecked));
    const AnsiString newAddress = "The system IP will be " + ED_IpAddr->Text();
    // The set's restart object restarts the device: the countdown sends no restart of its own.
    if (wasDhcpClient)
        RunRestartCountdown(
            {.SendReboot = false, .Label2 = AnsiString("The device is restarting."), .Label3 = newAddress});
    else
        RunRestartCountdown({.Countdown = 5, .Label3 = newAddress});
}

void TFM_LanCfg::ApplyDhcp()
{
    if (Application->MessageBox("Device will reboot,continue?", "Warning", MB_OKCANCEL) != IDOK)
        return;
    m_chain.Begin();
    {
        // Only the address source: the static fields stay as they are on the device.
        AccessPatch sourceOnly(*LanReq, {{AddressItem, KvAccess::Invalid},
                                         {MaskItem, KvAccess::Invalid},
                                         {GatewayItem, KvAccess::Invalid},
                                         {RestartItem, KvAccess::ReadOnly}});
        m_chain.Put(LanReq.get());
    }
    if (!m_chain.Wrote(LanReq.get())) {
        // The library's log line stays, and the chain says how the write failed: one the device
        // left unanswered it may still take.
        StatusBar->SetSimpleText(m_chain.TextAfter(StatusBar->SimpleText()));
        return;
    }
    StatusBar->SetSimpleText("Set Success!");
    RunRestartCountdown();
}
