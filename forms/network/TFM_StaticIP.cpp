#include "TFM_StaticIP.h"

#include "AddressArithmetic.h"
#include "DhcpItems.h"
#include "FormGlobals.h"
#include "KeyText.h"
#include "NetUtils.h"
#include "PingHost.h"
#include "TFM_DHCP.h"

TFM_StaticIP *FM_StaticIP = nullptr;

namespace {

const TFM_StaticIP::Row kEmptyRow = {"0.0.0.0", "000000000000", "0.0.0.0", "0.0.0.0",
                                     "0.0.0.0", "0.0.0.0",      "",        0};

bool IsNoAddress(const AnsiString &text)
{
    return text.empty() || text == "0.0.0.0";
}

AnsiString RowCell(const TListItem *row, int column)
{
    const TStrings *cells = row->SubItems();
    return column < cells->Count() ? cells->Strings(column) : AnsiString();
}

// Sub-items of LV_StaticPoolSet: the IP first, then the MAC.
AnsiString RowIP(const TListItem *row)
{
    return RowCell(row, 0);
}
AnsiString RowMAC(const TListItem *row)
{
    return RowCell(row, 1);
}

void FillEmptyAddresses(TFM_StaticIP::Row &row)
{
    for (AnsiString *a : {&row.Mask, &row.Gateway, &row.Wins, &row.Dns})
        if (a->empty())
            *a = "0.0.0.0";
}

} // namespace

bool MacTextEqual(const AnsiString &typed, const AnsiString &row)
{
    return SameMacText(typed, row);
}

TFM_StaticIP::TFM_StaticIP(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_StaticIP", "Static Pool Settings", 330, 306});
    struct Field {
        TLabel *&label;
        const char *labelName;
        const char *caption;
        TEdit *&edit;
        const char *editName;
        const char *text;
    };
    const Field fields[] = {
        {Label1, "Label1", "Assigned IP", Ed_AsgIP, "Ed_AsgIP", "0.0.0.0"},
        {Label2, "Label2", "Assigned MAC Address", Ed_AsgMac, "Ed_AsgMac", "000000000000"},
        {Label3, "Label3", "SubMask", Ed_SubMask, "Ed_SubMask", "0.0.0.0"},
        {Label4, "Label4", "Gateway", Ed_Gatway, "Ed_Gatway", "0.0.0.0"},
        {Label5, "Label5", "Wins", Ed_Wins, "Ed_Wins", "0.0.0.0"},
        {Label6, "Label6", "DNS", Ed_DNS, "Ed_DNS", "0.0.0.0"},
        {Label7, "Label7", "Domain Name", Ed_DomNa, "Ed_DomNa", ""},
    };
    int top = 14;
    for (const Field &f : fields) {
        f.label = Make<TLabel>(this, f.labelName, {16, top + 4, 150, 16}, f.caption);
        f.edit = Make<TEdit>(this, f.editName, {176, top, 138, 21}, f.text);
        top += 30;
    }
    Label8 = Make<TLabel>(this, "Label8", {16, top + 4, 150, 16}, "Status");
    CB_Stat = Make<TComboBox>(this, "CB_Stat", {176, top, 138, 21});
    CB_Stat->SetStyle(csDropDownList);
    LA_Index = Make<TLabel>(this, "LA_Index", {16, 0, 20, 16}, "1");
    LA_Index->SetVisible(false);
    Apply = Make<TButton>(this, "Apply", {128, top + 36, 75, 25}, "Apply");
    StatusBar1 = Make<TStatusBar>(this, "StatusBar1");
    Ed_OldIP = Make<TEdit>(this, "Ed_OldIP");
    ED_OldMAC = Make<TEdit>(this, "ED_OldMAC");
    Ed_AsgIP2 = Make<TEdit>(this, "Ed_AsgIP2");
    Ed_AsgMac2 = Make<TEdit>(this, "Ed_AsgMac2");
    Ed_SubMask2 = Make<TEdit>(this, "Ed_SubMask2");
    Ed_Gatway2 = Make<TEdit>(this, "Ed_Gatway2");
    Ed_Wins2 = Make<TEdit>(this, "Ed_Wins2");
    Ed_DNS2 = Make<TEdit>(this, "Ed_DNS2");
    Ed_DomNa2 = Make<TEdit>(this, "Ed_DomNa2");
    for (TEdit *hidden :
         {Ed_OldIP, ED_OldMAC, Ed_AsgIP2, Ed_AsgMac2, Ed_SubMask2, Ed_Gatway2, Ed_Wins2, Ed_DNS2, Ed_DomNa2})
        hidden->SetVisible(false);
    for (TEdit *limited : {Ed_AsgIP, Ed_SubMask, Ed_Gatway, Ed_Wins, Ed_DNS})
        limited->SetMaxLength(15);
    Ed_DomNa->SetMaxLength(63);
    Apply->OnClick = [this](TObject *s) { ApplyClick(s); };
    // A dialog the user closed writes nothing: the probe's answer goes with it, and writes
    // under way start no others.
    OnShow = [this](TObject *) { m_abandoned = m_closing = false; };
    OnClose = [this](TObject *, TCloseAction &) {
        DropProbe();
        m_abandoned = !m_closing;
    };
}

void TFM_StaticIP::DropProbe()
{
    m_probe.reset();
    Apply->SetEnabled(true);
}

const TFM_StaticIP::Row &TFM_StaticIP::EmptyRow()
{
    static const Row empty = {"0.0.0.0", "000000000000", "0.0.0.0", "0.0.0.0", "0.0.0.0", "0.0.0.0", "", 0};
    return empty;
}

TFM_StaticIP::Row TFM_StaticIP::Shown() const
{
    return {Ed_AsgIP->Text(), Ed_AsgMac->Text(), Ed_SubMask->Text(), Ed_Gatway->Text(),
            Ed_Wins->Text(),  Ed_DNS->Text(),    Ed_DomNa->Text(),   CB_Stat->ItemIndex()};
}

void TFM_StaticIP::Show(const Row &row)
{
    Ed_AsgIP->SetText(row.IP);
    Ed_AsgMac->SetText(row.MAC);
    Ed_SubMask->SetText(row.Mask);
    Ed_Gatway->SetText(row.Gateway);
    Ed_Wins->SetText(row.Wins);
    Ed_DNS->SetText(row.Dns);
    Ed_DomNa->SetText(row.Domain);
    CB_Stat->SetItemIndex(row.Status);
}

void TFM_StaticIP::Warn(const AnsiString &text, const char *caption, TEdit *emptied)
{
    Application->MessageBox(text, caption, MB_OK);
    if (emptied) {
        emptied->SetText("");
        emptied->SetFocus();
    }
}

void TFM_StaticIP::ApplyClick(TObject *)
{
    if (Probing() || FM_DHCP == nullptr || FM_DHCP->Busy)
        return;
    const AnsiString ip = Ed_AsgIP->Text();
    // Another row with the same address (as numbers; "0.0.0.0" is no address).
    if (ParseAddress(ip).value_or(0) != 0) {
        TListItems *rows = FM_DHCP->LV_StaticPoolSet->Items();
        for (int j = 0; j < rows->Count(); ++j)
            if (rows->Item(j)->Caption() != LA_Index->Text() && SameAddress(RowIP(rows->Item(j)), ip)) {
                Warn("Reject: The IP has already existed. ", "Warning");
                return;
            }
    }
    if (!IsValidIPAddress(ip)) {
        Warn("Invalid IP Address", "Waring", Ed_AsgIP);
        return;
    }
    if (IsNoAddress(Ed_SubMask->Text()) || !IsValidSubnetMask(Ed_SubMask->Text())) {
        Warn("Invalid Subnet Mask.", "Waring", Ed_SubMask);
        return;
    }
    if (IsNoAddress(Ed_Gatway->Text()) || !IsValidIPAddress(Ed_Gatway->Text())) {
        Warn("Invalid Gateway.", "Waring", Ed_Gatway);
        return;
    }
    if (!IsNoAddress(Ed_Wins->Text()) && !IsValidIPAddress(Ed_Wins->Text())) {
        Warn("Invalid WINS!", "Waring", Ed_Wins);
        return;
    }
    if (!IsNoAddress(Ed_DNS->Text()) && !IsValidIPAddress(Ed_DNS->Text())) {
        Warn("Invalid DNS!", "Waring", Ed_DNS);
        return;
    }
    if (!FM_DHCP->EditingRow || !SameAddress(ip, Ed_OldIP->Text())) {
        // Apply goes on when the probe answers.
        Apply->SetEnabled(false);
        m_probe = PingHost(ip, [this](const kv::IcmpProbeOutcome &outcome) { ProbeDone(outcome); });
        return;
    }
    CheckAndWrite();
}

void TFM_StaticIP::ProbeDone(const kv::IcmpProbeOutcome &outcome)
{
    const kv::IcmpProbeOutcome result = outcome;
    DropProbe();
    // Closed, or closing, while the probe ran.
    if (!Visible() || ModalResult() != mrNone)
        return;
    if (!AddressFreeAfterProbe(result)) {
        if (result.verdict == kv::IcmpProbeOutcome::Verdict::InUse)
            Ed_AsgIP->SetFocus();
        return;
    }
    CheckAndWrite();
}

void TFM_StaticIP::CheckAndWrite()
{
    if (FM_DHCP == nullptr)
        return;
    TFM_DHCP &dhcp = *FM_DHCP;
    const AnsiString mac = Ed_AsgMac->Text();
    if (mac.size() < 12 || mac == "000000000000") {
        Warn("Please input valid MAC.", "Warning");
        return;
    }
    // A pool start that is not an address cannot be tested against.
    if (!ParseAddress(dhcp.Ed_IPAF->Text())) {
        Warn("Reject: The IP cannot be checked against the IP Dynamic pool: its first address is not valid.",
             "Warning");
        return;
    }
    if (InPool(IPEditToInt(Ed_AsgIP), IPEditToInt(dhcp.Ed_IPAF), IPEditToInt(dhcp.Ed_PoolRan))) {
        Warn("Reject: The IP has already existed in IP Dynamic pool.", "Warning");
        return;
    }
    if (SameAddress(Ed_AsgIP->Text(), dhcp.Ed_ext->Text())) {
        Warn("Reject: The IP is the system IP.", "Warning");
        return;
    }

    TListItems *rows = dhcp.LV_StaticPoolSet->Items();
    TListItem *sameClient = nullptr;
    for (int j = 0; j < rows->Count() && !sameClient; ++j)
        if (MacTextEqual(mac, RowMAC(rows->Item(j))))
            sameClient = rows->Item(j);
    const bool adding = Ed_OldIP->Enabled();
    if (adding) {
        // A client that has a row already gets that row; otherwise the empty row Add chose.
        if (sameClient)
            WriteRow(sameClient, true);
        else if (rows->Count() > 0)
            WriteRow(dhcp.LV_StaticPoolSet->Selected(), false);
    } else {
        if (SameAddress(Ed_AsgIP->Text(), Ed_OldIP->Text()) && MacTextEqual(mac, ED_OldMAC->Text())) {
            Show({Ed_OldIP->Text(), ED_OldMAC->Text(), OldMask, OldGateway, OldWins, OldDns, OldDomain,
                  OldStatus});
            Warn("Reject: DHCPS static IP already exists in static DHCP server!", "Warning");
            return;
        }
        // The row being edited, unless the client has another row already.
        TListItem *edited = dhcp.LV_StaticPoolSet->Selected();
        const bool keepsItsMac = edited != nullptr && MacTextEqual(mac, RowMAC(edited));
        WriteRow(sameClient && !keepsItsMac ? sameClient : edited, true);
    }
    // The user closed the dialog while it wrote, or every write has ended already (one was
    // refused): nothing to wait for.
    if (m_abandoned)
        return;
    if (dhcp.Busy)
        RunCountdownWindow({.Countdown = 15,
                            .RebootDelay = 22,
                            .SendReboot = false,
                            .Label3 = AnsiString("But the device isn't restarting.")});
    m_closing = true;
    Close();
}

void TFM_StaticIP::WriteRow(TListItem *target, bool emptyFirst)
{
    if (target == nullptr || FM_DHCP == nullptr)
        return;
    m_chain.Begin();
    m_failure.clear();
    m_entered = Shown();
    // The save area, while the row's own values pass through the controls.
    Ed_AsgIP2->SetText(m_entered.IP);
    Ed_AsgMac2->SetText(m_entered.MAC);
    Ed_SubMask2->SetText(m_entered.Mask);
    Ed_Gatway2->SetText(m_entered.Gateway);
    Ed_Wins2->SetText(m_entered.Wins);
    Ed_DNS2->SetText(m_entered.Dns);
    Ed_DomNa2->SetText(m_entered.Domain);
    FM_DHCP->LoadRow(target); // its index and values into the dialog
    m_oldRow = Shown();
    m_emptied = false;
    FM_DHCP->Busy = true;
    if (!emptyFirst) {
        FillRow();
        return;
    }
    Show(EmptyRow());
    // Emptied first, outside the chain: its failure stops the entry it serves.
    StartRowWrite([this](bool emptied) {
        m_emptied = emptied;
        if (emptied) {
            FillRow();
            return;
        }
        m_chain.StopAt(FM_DHCP->StaticRowReq->Label(), FM_DHCP->StaticRowReq->WriteUnanswered());
        m_failure = FM_DHCP->StatusBar2->SimpleText();
        EndWrites(); // the row is as it was
    });
}

void TFM_StaticIP::FillRow()
{
    // A dialog the user closed meanwhile writes nothing more.
    if (m_abandoned) {
        EndWrites();
        return;
    }
    Row row = m_entered;
    FillEmptyAddresses(row);
    Show(row);
    // The entry only with the server switch as chosen: a refused switch is shown, and what
    // the emptied row held goes back.
    if (!FM_DHCP->WriteFunction(FM_DHCP->StatusBar2, m_chain)) {
        m_failure = FM_DHCP->StatusBar2->SimpleText();
        RestoreRow();
        return;
    }
    if (m_abandoned) {
        EndWrites();
        return;
    }
    FM_DHCP->RelistPending = true;
    m_chain.PutThen(FM_DHCP->StaticRowReq.get(), {.After = AfterSet::KeepShown}, [this](bool) {
        if (m_chain.Wrote(FM_DHCP->StaticRowReq.get())) {
            m_emptied = false;
            EndWrites();
            return;
        }
        // Not taken, or left unanswered (the pool is then listed again before the next add):
        // the lists are not read now.
        if (m_chain.Stopped())
            m_failure = FM_DHCP->StatusBar2->SimpleText();
        FM_DHCP->RelistPending = false;
        RestoreRow();
    });
}

void TFM_StaticIP::RestoreRow()
{
    if (!m_emptied || m_abandoned) {
        EndWrites();
        return;
    }
    Show(m_oldRow);
    StartRowWrite([this](bool restored) {
        m_emptied = !restored;
        EndWrites();
    });
}

void TFM_StaticIP::StartRowWrite(std::function<void(bool)> next)
{
    WriteGroupThen(this, *FM_DHCP->StaticRowReq, {.After = AfterSet::KeepShown}, std::move(next));
}

void TFM_StaticIP::EndWrites()
{
    if (FM_DHCP == nullptr)
        return;
    TFM_DHCP &dhcp = *FM_DHCP;
    dhcp.Busy = false;
    Show(m_entered);
    // A row emptied for the entry and not filled stays empty on the device: said so.
    if (m_emptied)
        m_chain.NotePutBack(dhcp.StaticRowReq->Label() + " (row emptied)", false);
    if (m_chain.Stopped())
        dhcp.ShowListing(m_chain.Text(AnsiString(), m_failure));
    else
        dhcp.RowOutcome = m_chain.Text(AnsiString(), AnsiString());
}
