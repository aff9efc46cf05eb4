#include "TFM_WMACACL.h"

#include "Exception.h"
#include "FormGlobals.h"
#include "KeyText.h"
#include "Misc.h"

namespace {

const char kEmptyMac[] = "000000000000";
const char kMsgTableFull[] = "The MAC address table is full: delete an address before adding another.";

const FormItemTable kModeItems = {
    {"2.4.1.1.1", "adAccSettingWirelessAccessControl", KvSyntax::Integer, KvAccess::ReadWrite,
     &gAdAccSettingWirelessAccessControlNames},
};
// The table's columns as plain objects: never read or written, they give Ed_MacAdd its input rule.
const FormItemTable kEntryItems = {
    {"2.4.2.1.1.1", "adEthernetFilterMACIndex", KvSyntax::Integer, KvAccess::NotAccess},
    {"2.4.2.1.2.1", "adEthernetFilterMACAddr", KvSyntax::MacAddress, KvAccess::ReadWrite},
};
const FormItemTable kTableItems = {
    {"2.4.2.1.1.1", "adEthernetFilterMACIndex", KvSyntax::Integer, KvAccess::NotAccess},
    {"2.4.2.1.2.1", "adEthernetFilterMACAddr", KvSyntax::MacAddress, KvAccess::ReadWrite},
};

AnsiString ExceptionText(const std::exception &e)
{
    const auto *framework = dynamic_cast<const Exception *>(&e);
    return framework ? framework->Message : AnsiString(e.what());
}

AnsiString rowMac(const TListItem *row)
{
    return row->SubItems()->Count() > 0 ? row->SubItems()->Strings(0) : AnsiString();
}

} // namespace

TFM_WMACACL::TFM_WMACACL(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_WMACACL", "Advanced \\ Wireless MAC ACL", 420, 300});
    GroupBox1 = Make<TGroupBox>(this, "GroupBox1", {8, 8, 200, 258}, "MAC Address");
    // The full table lies under the list of used slots, which covers it.
    LV_GetMAC = Make<TListView>(GroupBox1, "LV_GetMAC", {10, 22, 180, 190});
    LV_UerMACAddress = Make<TListView>(GroupBox1, "LV_UerMACAddress", {10, 22, 180, 190});
    Bt_Del = Make<TButton>(GroupBox1, "Bt_Del", {62, 222, 75, 25}, "Delete");

    GroupBox2 = Make<TGroupBox>(this, "GroupBox2", {216, 8, 196, 130});
    Label1 = Make<TLabel>(GroupBox2, "Label1", {12, 20, 100, 16}, "Access Control");
    CB_FilterCtrl = Make<TComboBox>(GroupBox2, "CB_FilterCtrl", {12, 38, 172, 21});
    CB_FilterCtrl->SetStyle(csDropDownList);
    Label2 = Make<TLabel>(GroupBox2, "Label2", {12, 70, 100, 16}, "MAC Address");
    Ed_MacAdd = Make<TEdit>(GroupBox2, "Ed_MacAdd", {12, 88, 172, 21});
    Ed_MacAdd->SetMaxLength(12);

    GroupBox3 = Make<TGroupBox>(this, "GroupBox3", {216, 146, 196, 64}, "Wireless Band");
    CB_Band = Make<TComboBox>(GroupBox3, "CB_Band", {12, 26, 172, 21}, {"IEEE802.11g", "IEEE802.11g"});
    CB_Band->SetStyle(csDropDownList);
    CB_Band->SetItemIndex(0);
    CB_Band->SetEnabled(false);

    Bt_Apply = Make<TButton>(this, "Bt_Apply", {276, 230, 75, 25}, "Apply");
    StatusBar1 = Make<TStatusBar>(this, "StatusBar1");
    LA_Index = Make<TLabel>(this, "LA_Index", {216, 270, 40, 13}, "LA_Index");
    LA_Index->SetVisible(false);
    Ed_MACAddr = Make<TEdit>(this, "Ed_MACAddr", {260, 268, 100, 21});
    Ed_MACAddr->SetVisible(false);

    Bt_Apply->OnClick = [this](TObject *s) { Bt_ApplyClick(s); };
    Bt_Del->OnClick = [this](TObject *s) { Bt_DelClick(s); };
    CB_FilterCtrl->OnChange = [this](TObject *s) { CB_FilterCtrlChange(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    m_guard.Watch(TableReq);
    m_guard.Watch(UsedReq);
    m_guard.WatchIdle(Idle);
    m_guard.Install(this);
}

void TFM_WMACACL::FormCreate(TObject *)
{
    GuardCreate(StatusBar1, [this] {
        ModeReq = MakeBinding(
            this, {.Items = kModeItems, .Label = "Access Control", .Type = SVT_SV, .Mode = BindMode::Sync});
        ModeReq->AssociateCombo(0, CB_FilterCtrl);
        ModeReq->Get();

        EntryReq = MakeBinding(
            this, {.Items = kEntryItems, .Label = "MAC Address", .Type = SVT_SV, .Mode = BindMode::Async});
        EntryReq->AssociateEdits(1, "%h", Ed_MacAdd);

        TableReq = MakeBinding(
            this, {.Items = kTableItems,
                   .Label = "MAC Address",
                   .Type = MVT_UMV,
                   .KeyCount = 1,
                   .Mode = BindMode::Async,
                   .OnGetDone = [this](KvSNMPRequest2Controls *s, KvSNMPError *e) { OnTableGot(s, e); }});
        TableReq->SetupListView(LV_GetMAC, false);
        TableReq->Associate(0, LA_Index);
        TableReq->AssociateEdits(1, "%h", Ed_MACAddr);

        UsedReq = MakeBinding<New_req2Edit>(this, {.Items = kTableItems,
                                                   .Label = "MAC Address",
                                                   .Type = MVT_UMV,
                                                   .KeyCount = 1,
                                                   .Mode = BindMode::Async});
        UsedReq->SetupListView(LV_UerMACAddress, false);
        if (LV_UerMACAddress->Columns()->Count() == 2) {
            LV_UerMACAddress->Columns()->Items(0)->SetCaption("ID");
            LV_UerMACAddress->Columns()->Items(0)->SetWidth(40);
            LV_UerMACAddress->Columns()->Items(1)->SetCaption("MAC Address");
            LV_UerMACAddress->Columns()->Items(1)->SetWidth(120);
        }

        StatusBar1->SetSimpleText("Refresh...");
        RefreshTables();
        CB_FilterCtrlChange(this);
    });
}

void TFM_WMACACL::CB_FilterCtrlChange(TObject *)
{
    Ed_MacAdd->SetEnabled(CB_FilterCtrl->ItemIndex() != 2);
}

void TFM_WMACACL::setBusy(bool busy)
{
    Idle = !busy;
    Bt_Apply->SetEnabled(!busy);
    Bt_Del->SetEnabled(!busy);
}

void TFM_WMACACL::RefreshTables()
{
    setBusy(true);
    try {
        UsedReq->RowNumber = 1;
        UsedReq->Filter = kEmptyMac;
        // A walk already under way ends in OnTableGot; a walk that never started must not
        // leave the form unclosable.
        TableReq->Get();
        if (!TableReq->Busy)
            setBusy(false);
        UsedReq->Get();
    } catch (const std::exception &e) {
        if (!TableReq->Busy)
            setBusy(false);
        StatusBar1->SetSimpleText(ExceptionText(e));
    }
}

void TFM_WMACACL::OnTableGot(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    setBusy(false);
    if (Status && Status->Code != 0)
        StatusBar1->SetSimpleText(Status->Message);
    else if (!ShowReadFailure(StatusBar1, {ModeReq.get()})) // an empty list is no success then
        StatusBar1->SetSimpleText("Get OK!");
    // An add that waited for the table goes on, now with the slots the device holds.
    if (m_reread.TableRead(TableReq->WasRead()))
        Bt_ApplyClick(this);
}

void TFM_WMACACL::OnSlotWritten()
{
    if (!Chain.Wrote(TableReq.get())) {
        setBusy(false);
        m_reread.RowWritten(Chain.Unanswered());
        // The mode written before the address stays written: said so, with the library's line
        // for a write the device answered.
        const AnsiString &logged = Chain.FailureDetail();
        Chain.Show(StatusBar1, Chain.Text("Set OK!", logged.empty() ? AnsiString("Set error!") : logged));
        return;
    }
    // An added address is in the list now: a later Apply of the mode alone must not add it again.
    if (!m_deleting)
        Ed_MacAdd->SetText("");
    StatusBar1->SetSimpleText("Refresh...");
    RefreshTables();
    // The device restarts only once the slot has been emptied.
    if (m_deleting)
        Post([] { RunRestartCountdown(); });
}

TListItem *TFM_WMACACL::slotHolding(const AnsiString &mac) const
{
    TListItems *rows = LV_GetMAC->Items();
    for (int i = 0; i < rows->Count(); ++i)
        if (SameMacText(rowMac(rows->Item(i)), mac))
            return rows->Item(i);
    return nullptr;
}

bool TFM_WMACACL::MACExists(const AnsiString &mac) const
{
    return slotHolding(mac) != nullptr;
}

void TFM_WMACACL::writeSelectedSlot(bool deleting)
{
    m_deleting = deleting;
    setBusy(true);
    try {
        Chain.PutThen(TableReq.get(), {.After = AfterSet::KeepShown}, [this](bool) { OnSlotWritten(); });
    } catch (const std::exception &e) {
        // Nothing went out (the chain has noted it).
        setBusy(false);
        StatusBar1->SetSimpleText(Chain.Text(AnsiString(), ExceptionText(e)));
    }
}

void TFM_WMACACL::Bt_ApplyClick(TObject *)
{
    if (!ModeReq || !TableReq || !Idle)
        return;
    const bool adding = CB_FilterCtrl->ItemIndex() != 2 && !Ed_MacAdd->Text().empty();
    TListItem *freeSlot = nullptr;
    const AnsiString mac = Ed_MacAdd->Text();
    // The address is checked before the mode is written: an "Accept" list without the
    // address would lock the station out.
    if (adding) {
        if (!TableReq->WasRead()) {
            StatusBar1->SetSimpleText(NotReadText(gMsgGroupNotRead, {TableReq->Label()}));
            return;
        }
        if (!CheckMacText(Ed_MacAdd, {.LengthMessage = "The length is 12 in MAC Address.",
                                      .Caption = "Error",
                                      .EmptyIsNone = false,
                                      .NoneMessage = "Please input a valid MAC Address."})) {
            Ed_MacAdd->SetFocus();
            return;
        }
        // A slot write left unanswered may have been taken since: the free slot is looked up
        // in the table the device holds now, or the add could overwrite that slot.
        if (m_reread.ReadFirst()) {
            StatusBar1->SetSimpleText("Refresh...");
            RefreshTables();
            return;
        }
        if (MACExists(mac)) {
            Application->MessageBox("Reject: The MAC already exists ", "Warning", MB_OK);
            return;
        }
        freeSlot = slotHolding(kEmptyMac);
        if (freeSlot == nullptr) {
            Application->MessageBox(kMsgTableFull, "Warning", MB_OK);
            return;
        }
    }

    // A mode that could not be read is left out and named; the address still goes in.
    Chain.Begin();
    Chain.Put(ModeReq.get());
    if (!Chain.GoesOn() || !adding) {
        if (!Chain.Stopped() && Chain.WroteAny())
            RunRestartCountdown();
        Chain.Show(StatusBar1, Chain.Text("Set OK!", "Set error!"));
        return;
    }
    LV_GetMAC->SetSelected(freeSlot);
    LA_Index->SetText(freeSlot->Caption());
    Ed_MACAddr->SetText(mac);
    writeSelectedSlot(false);
}

void TFM_WMACACL::Bt_DelClick(TObject *)
{
    if (!TableReq || !Idle)
        return;
    TListItem *chosen = LV_UerMACAddress->Selected();
    if (chosen == nullptr)
        return;
    TListItem *slot = slotHolding(rowMac(chosen));
    if (slot == nullptr)
        return; // the two lists disagree: nothing is written
    LV_GetMAC->SetSelected(slot);
    LA_Index->SetText(slot->Caption());
    Ed_MACAddr->SetText(kEmptyMac);
    Chain.Begin();
    writeSelectedSlot(true);
}
