// The DHCP server form's writes: the dynamic pool's checks and Apply, the static pool's
// Add, Set and Delete through the row dialog, and the static page's Apply.
#include "AddressArithmetic.h"
#include "FieldNumber.h"
#include "FormGlobals.h"
#include "MainForm.h"
#include "NetUtils.h"
#include "TFM_DHCP.h"
#include "TFM_StaticIP.h"

namespace {

bool IsNoAddress(const AnsiString &text)
{
    return text == "0.0.0.0";
}

AnsiString Trimmed(const AnsiString &text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == AnsiString::npos)
        return AnsiString();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A message box; the edit (when given) is emptied and gets the focus.
void Refuse(const char *text, const char *caption, TEdit *emptied = nullptr, TWinControl *focus = nullptr)
{
    Application->MessageBox(text, caption, MB_OK);
    if (emptied)
        emptied->SetText("");
    if (focus)
        focus->SetFocus();
}

} // namespace

bool TFM_DHCP::StaticPoolOutsideDynamicPool()
{
    // Every row of the table, empty ones aside, not only those the visible list has shown.
    const uint32_t start = IPEditToInt(Ed_IPAF, BadPart::AllOnes);
    const uint32_t size = IPEditToInt(Ed_PoolRan, BadPart::AllOnes);
    TListItems *rows = LV_StaticPoolSet->Items();
    for (int i = 0; i < rows->Count(); ++i) {
        const TStrings *cells = rows->Item(i)->SubItems();
        if (cells->Count() == 0 || ParseAddress(cells->Strings(0)).value_or(0) == 0)
            continue;
        IPTemp->SetText(cells->Strings(0));
        if (InPool(IPEditToInt(IPTemp, BadPart::AllOnes), start, size))
            return false;
    }
    return true;
}

bool TFM_DHCP::CheckDynamicPool()
{
    if (Ed_IPAF->Text().empty()) {
        Refuse("Please input valid IP address", "Warning", nullptr, Ed_IPAF);
        return false;
    }
    if (Ed_PoolRan->Text().empty()) {
        Refuse("Please input a number between 1 and 255.", "Warning", nullptr, Ed_PoolRan);
        return false;
    }
    if (InPool(IPEditToInt(Ed_ext, BadPart::AllOnes), IPEditToInt(Ed_IPAF, BadPart::AllOnes),
               IPEditToInt(Ed_PoolRan, BadPart::AllOnes))) {
        Refuse("Reject: The DHCP dynamic IP pool will cover system IP.", "Warning");
        return false;
    }
    if (!StaticPoolOutsideDynamicPool()) {
        Refuse("Reject: The DHCP dynamic IP pool will cover Static IP.", "Warning");
        return false;
    }
    const int32_t size = FieldNumber(Ed_PoolRan->Text(), -1);
    if (size < 1 || size > 255) {
        Refuse("Please input a number between 1 and 255.", "Error", Ed_PoolRan, Ed_PoolRan);
        return false;
    }
    if (Ed_Lease->Text().empty()) {
        Refuse("Please input a number between 60 and 31536000.", "Warning", nullptr, Ed_Lease);
        return false;
    }
    const int32_t lease = FieldNumber(Ed_Lease->Text(), -1);
    if (lease < 60 || lease > 31536000) {
        Refuse("Please input a number between 60 and 31536000.", "Error", Ed_Lease, Ed_Lease);
        return false;
    }
    for (TEdit *e : {Ed_SubMask, Ed_Gateway, Ed_Wins, Ed_DNS})
        if (e->Text().empty())
            e->SetText("0.0.0.0");
    if (!IsValidIPAddress(Ed_IPAF->Text())) {
        Refuse("Invalid IP Address!", "Warning", Ed_IPAF, Ed_IPAF);
        return false;
    }
    if (!IsValidSubnetMask(Ed_SubMask->Text()) || IsNoAddress(Ed_SubMask->Text())) {
        Refuse("Invalid Subnet Mask!", "Warning", Ed_SubMask, Ed_SubMask);
        return false;
    }
    if (!IsValidIPAddress(Ed_Gateway->Text()) || IsNoAddress(Ed_Gateway->Text())) {
        Refuse("Invalid Gateway!", "Warning", Ed_Gateway, Ed_Gateway);
        return false;
    }
    if (!IsNoAddress(Ed_Wins->Text()) && !IsValidIPAddress(Ed_Wins->Text())) {
        Refuse("Invalid WINS!", "Waring", Ed_Wins, Ed_Wins);
        return false;
    }
    if (!IsNoAddress(Ed_DNS->Text()) && !IsValidIPAddress(Ed_DNS->Text())) {
        Refuse("Invalid DNS!", "Waring", Ed_DNS, Ed_DNS);
        return false;
    }
    if (MainForm != nullptr && SameAddress(Trimmed(Ed_IPAF->Text()), MainForm->AgentAddress)) {
        Refuse("Reject:DHCPS dynamic IP pool will cover system IP", "Warning", Ed_IPAF);
        return false;
    }
    return true;
}

bool TFM_DHCP::WriteFunction(TStatusBar *bar, WriteChain &chain)
{
    // The outcome goes to the page whose Apply this is.
    FunctionReq->SetStatusBar(bar);
    chain.Put(FunctionReq.get());
    if (chain.GoesOn())
        return true;
    // Refused or not answered: the switch shows again what the device holds, the failure stays
    // in view.
    const AnsiString failure = bar->SimpleText();
    FunctionReq->Get();
    bar->SetSimpleText(failure);
    CB_Fuction2->SetItemIndex(CB_Fuction1->ItemIndex());
    EnableDynamicPoolEdits(true);
    return false;
}

void TFM_DHCP::Bt_ApplyClick(TObject *)
{
    if (!FunctionReq || !DynamicPoolReq)
        return;
    // The last Apply's outcome is no word on this one.
    StatusBar1->SetSimpleText("");
    const bool serverOn = CB_Fuction1->ItemIndex() == 1;
    // A pool that could not be read shows nothing: it is neither checked nor written.
    if (serverOn && DynamicPoolReq->WasRead() && !CheckDynamicPool())
        return;
    Chain.Begin();
    if (WriteFunction(StatusBar1, Chain) && serverOn)
        Chain.Put(DynamicPoolReq.get());
    if (!Chain.Stopped() && Chain.WroteAny())
        RunRestartCountdown();
    // A failed write has no text of the form's own: its request log line stays.
    Chain.Show(StatusBar1, Chain.Text("Setting Success!", StatusBar1->SimpleText()));
}

void TFM_DHCP::StaticApplyClick(TObject *)
{
    if (!FunctionReq)
        return;
    StatusBar2->SetSimpleText("");
    Chain.Begin();
    WriteFunction(StatusBar2, Chain);
    if (!Chain.Stopped() && Chain.WroteAny())
        RunRestartCountdown();
    // No text of the form's own either way: the request log line stays.
    const AnsiString logged = StatusBar2->SimpleText();
    StatusBar2->SetSimpleText(Chain.TextAfter(logged));
}

TListItem *TFM_DHCP::ChosenRow() const
{
    if (!m_dialog || Busy || (StaticRowReq && StaticRowReq->Busy))
        return nullptr;
    const TListItem *chosen = User_ListView->Selected();
    if (chosen == nullptr || chosen->SubItems()->Count() < 2)
        return nullptr;
    // Several rows may hold the same address: the n-th row listed is the n-th row in use of
    // the whole table, when both lists still show the same rows.
    const auto sameEntry = [chosen](const TListItem *row) {
        const TStrings *cells = row->SubItems();
        return cells->Count() >= 2 && cells->Strings(0) == chosen->SubItems()->Strings(0) &&
               cells->Strings(1) == chosen->SubItems()->Strings(1);
    };
    TListItems *rows = LV_StaticPoolSet->Items();
    int used = 0;
    TListItem *first = nullptr;
    for (int i = 0; i < rows->Count(); ++i) {
        TListItem *row = rows->Item(i);
        if (row->SubItems()->Count() == 0 || row->SubItems()->Strings(0) == "0.0.0.0")
            continue;
        if (used++ == chosen->Index() && sameEntry(row))
            return row;
        if (first == nullptr && sameEntry(row))
            first = row;
    }
    // The lists differ (the device changed between the walks): the row holding that entry.
    return first;
}

void TFM_DHCP::LoadRow(TListItem *row)
{
    // Selected afresh, so the row's values reach the dialog even when it was selected before.
    LV_StaticPoolSet->SetSelected(nullptr);
    LV_StaticPoolSet->SetSelected(row);
}

void TFM_DHCP::ShowRowDialog(const char *caption, bool adding)
{
    TFM_StaticIP &d = *m_dialog;
    d.SetText(caption);
    d.Ed_AsgMac->SetMaxLength(12);
    d.Ed_OldIP->SetEnabled(adding);
    for (TEdit *e : {d.Ed_AsgIP, d.Ed_AsgMac}) {
        e->SetReadOnly(false);
        e->SetColor(clWindow);
    }
    d.ShowModal();
}

void TFM_DHCP::Bt_AddClick(TObject *)
{
    if (!m_dialog || Busy)
        return;
    // A row write left unanswered may have been taken since: the empty row is looked up in the
    // pool the device holds now, or the entry could overwrite that row.
    if (m_reread.ReadFirst()) {
        RelistStaticPool();
        return;
    }
    EditingRow = false;
    TListItems *rows = LV_StaticPoolSet->Items();
    TListItem *empty = nullptr;
    for (int i = 0; i < rows->Count() && !empty; ++i) {
        const TStrings *cells = rows->Item(i)->SubItems();
        if (cells->Count() > 0 && ParseAddress(cells->Strings(0)).value_or(1) == 0)
            empty = rows->Item(i);
    }
    if (!empty) {
        Application->MessageBox("The static pool is full!", "Warning", MB_OK);
        return;
    }
    LoadRow(empty);
    ShowRowDialog("Static IP Pool Adding", true);
}

void TFM_DHCP::Bt_SetClick(TObject *)
{
    EditingRow = true;
    TListItem *row = ChosenRow();
    if (!row)
        return;
    LoadRow(row);
    TFM_StaticIP &d = *m_dialog;
    d.Ed_OldIP->SetText(d.Ed_AsgIP->Text());
    d.ED_OldMAC->SetText(d.Ed_AsgMac->Text());
    d.OldMask = d.Ed_SubMask->Text();
    d.OldGateway = d.Ed_Gatway->Text();
    d.OldWins = d.Ed_Wins->Text();
    d.OldDns = d.Ed_DNS->Text();
    d.OldDomain = d.Ed_DomNa->Text();
    d.OldStatus = d.CB_Stat->ItemIndex();
    ShowRowDialog("Static IP Pool Setting", false);
}

void TFM_DHCP::Bt_DelClick(TObject *)
{
    TListItem *row = ChosenRow();
    if (!row)
        return;
    LoadRow(row);
    m_dialog->Show(TFM_StaticIP::EmptyRow());
    if (WriteGroupAs(*StaticRowReq, {.After = AfterSet::KeepShown}) != WriteResult::Started)
        return;
    RelistPending = true;
    RunRestartCountdown(
        {.Countdown = 20, .RebootDelay = 22, .Label3 = AnsiString("Waiting for listing data...")});
}
