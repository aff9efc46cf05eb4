#include "TFM_Admin3.h"

#include "AddressArithmetic.h"
#include "FormGlobals.h"
#include "MainMenu.h"
#include "NetUtils.h"

namespace {

const char *const kFreeRange = "0.0.0.0";

bool IsFreeRange(const AnsiString &from, const AnsiString &to)
{
    return SameAddress(from, kFreeRange) && SameAddress(to, kFreeRange);
}

AnsiString Cell(const TListItem *row, int subItem)
{
    const TStrings *cells = row->SubItems();
    return subItem < cells->Count() ? cells->Strings(subItem) : AnsiString();
}

} // namespace

TFM_Admin3::TFM_Admin3(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_Admin3", "Tools \\ Administrator Settings", 760, 440});

    GroupBox6 = Make<TGroupBox>(this, "GroupBox6", {8, 8, 372, 272}, " Limit Administrator ");
    Label9 = Make<TLabel>(GroupBox6, "Label9", {12, 24, 170, 16}, "Administrate AP with WLAN");
    CB_WLAN = Make<TComboBox>(GroupBox6, "CB_WLAN", {190, 22, 100, 21});
    CheckBox_VID = Make<TCheckBox>(GroupBox6, "CheckBox_VID", {12, 54, 172, 17}, "Limit Administrator VID");
    CB_LimitIPStatus =
        Make<TCheckBox>(GroupBox6, "CB_LimitIPStatus", {12, 84, 172, 17}, "Limit Administrator IP");
    Label10 = Make<TLabel>(GroupBox6, "Label10", {12, 114, 60, 16}, "IP Range");
    Label11 = Make<TLabel>(GroupBox6, "Label11", {78, 114, 36, 16}, "From:");
    Ed_FromIP = Make<TEdit>(GroupBox6, "Ed_FromIP", {116, 112, 110, 21});
    Label12 = Make<TLabel>(GroupBox6, "Label12", {234, 114, 22, 16}, "To:");
    Ed_ToIP = Make<TEdit>(GroupBox6, "Ed_ToIP", {258, 112, 102, 21});
    Btn_Add = Make<TButton>(GroupBox6, "Btn_Add", {116, 142, 75, 25}, "Add");
    Btn_Del = Make<TButton>(GroupBox6, "Btn_Del", {200, 142, 75, 25}, "Delete");
    ListView_User = Make<TListView>(GroupBox6, "ListView_User", {12, 176, 348, 84});
    ListView_IpRange = Make<TListView>(GroupBox6, "ListView_IpRange", {12, 176, 348, 84});
    LA_Index = Make<TLabel>(GroupBox6, "LA_Index", {12, 176, 40, 16});
    Ed_From = Make<TEdit>(GroupBox6, "Ed_From", {116, 112, 110, 21});
    Ed_To = Make<TEdit>(GroupBox6, "Ed_To", {258, 112, 102, 21});
    NetMask = Make<TEdit>(GroupBox6, "NetMask", {116, 112, 110, 21}, "255.255.255.0");
    CB_Mussid = Make<TComboBox>(GroupBox6, "CB_Mussid", {190, 22, 100, 21});
    CB_VLAN = Make<TComboBox>(GroupBox6, "CB_VLAN", {190, 22, 100, 21});
    for (TControl *c : std::initializer_list<TControl *>{ListView_IpRange, LA_Index, Ed_From, Ed_To, NetMask,
                                                         CB_Mussid, CB_VLAN})
        c->SetVisible(false);

    // Stacked in two columns by FormCreate.
    MakeSharedGroups(this, {.ManagerIPs = {8, 286, 372, 86},
                            .Login = {388, 8, 364, 144},
                            .LoginCaption = " Login Settings",
                            .Console = {388, 158, 364, 84},
                            .ConsoleCaption = "Console Settings",
                            .Led = {388, 248, 364, 50},
                            .LedCaption = "LED Status"});
    // Display only: the device's single manager addresses, never written by this form.
    for (TControl *c : std::initializer_list<TControl *>{CkBx_ManagerState, Ed_IP1, Ed_IP2})
        c->SetEnabled(false);
    Ed_VID = Make<TEdit>(GroupBox6, "Ed_VID", {190, 52, 60, 21});
    RG_PingSet = Make<TGroupBox>(this, "RG_PingSet", {388, 304, 364, 50}, "Ping Control Setting");
    Label13 = Make<TLabel>(RG_PingSet, "Label13", {12, 24, 110, 16}, "Status");
    CB_Ping = Make<TComboBox>(RG_PingSet, "CB_Ping", {130, 22, 120, 21});
    CB_Ping->SetStyle(csDropDownList);
    OK->SetLeft(296);
    Cancel->SetLeft(388);

    OK->OnClick = [this](TObject *s) { OKClick(s); };
    Cancel->OnClick = [this](TObject *s) { CancelClick(s); };
    RB_None->OnClick = [this](TObject *s) { RB_NoneClick(s); };
    CB_LimitIPStatus->OnClick = [this](TObject *s) { CB_LimitIPStatusClick(s); };
    CheckBox_VID->OnClick = [this](TObject *s) { CheckBox_VIDClick(s); };
    Btn_Add->OnClick = [this](TObject *s) { Btn_AddClick(s); };
    Btn_Del->OnClick = [this](TObject *s) { Btn_DelClick(s); };
    // Selecting (or losing the selection) by the user or by a new walk alike.
    ListView_User->OnSelectItem = [this](TObject *s, TListItem *, bool) { ListView_UserClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    m_guard.Watch(LimitReq);
    m_guard.WatchIdle(WritesIdle());
    m_guard.WatchIdle(m_rangeIdle);
    m_guard.Install(this);
}

void TFM_Admin3::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        ReadVlanState(this);
        WlanReq = MakeBinding(this, {.Items = kAdminWlanItems,
                                     .Label = "Administrate AP with WLAN",
                                     .Type = SVT_SV,
                                     .Mode = BindMode::Sync});
        WlanReq->AssociateCombo(0, CB_WLAN);
        WlanAdminSupported = WlanReq->Get() ? 1 : 0;
        Label9->SetVisible(WlanAdminSupported != 0);
        CB_WLAN->SetVisible(WlanAdminSupported != 0);
        ReadManagerVlan(this, CheckBox_VID);
        ReadLimit(this, CB_LimitIPStatus, [this](auto *s, auto *e) { OnLimitIPStatusGot(s, e); });
        LimitIPStatusRead = 1;
        ManagerIPsRead = ReadManagerIPs(this) ? 1 : 0;
        GroupBox2->SetVisible(ManagerIPsRead != 0);
        CreateRangeBindings();
        ReadConsoleGroups(this);
        ReadLogin(this, StatusBar);
        ReadLed(this);
        ReadPing(this, CB_Ping);
    });
    RG_PingSet->SetVisible(PingReq != nullptr);
    // The groups the device did not answer leave no gap.
    const int left = StackShown({GroupBox6, GroupBox2}, 8, 6);
    const int right = StackShown({GroupBox1, GroupBox3, GB_Led, RG_PingSet}, 8, 6);
    OK->SetTop(std::max(left, right) + 10);
    Cancel->SetTop(OK->Top());
    SetClientHeight(OK->Top() + OK->Height() + 10 + StatusBar->Height());

    SetEditLimits();
    ShowConsoleState();
    CheckBox_VIDClick(this);
    Btn_Del->SetEnabled(false);
    PrefillPasswords();
    m_created = true;
    ShowUnread();
}

void TFM_Admin3::ShowUnread()
{
    // Once, when the last of the reads has ended (an asynchronous one may end while a
    // synchronous one waits, whose log line would hide it).
    if (m_unreadShown || !m_created)
        return;
    for (const ReadOutcome *read :
         std::initializer_list<const ReadOutcome *>{LimitReq.get(), RangeTableBinding.get(), RangeWalk.get()})
        if (read != nullptr && read->LastRead() == ReadState::Reading)
            return;
    m_unreadShown = true;
    ShowReadFailure(StatusBar,
                    {VlanStateReq.get(), UnlessLacking(WlanReq, WlanAdminSupported != 0), ManagerVlanGroup(),
                     ManagerVlanIdReq.get(), LimitReq.get(), UnlessLacking(ManagerIPReq, ManagerIPsRead != 0),
                     RangeTableBinding.get(), RangeWalk.get(), ConsoleReq.get(), SshGroup(), LoginReq.get(),
                     LedGroup(), PingGroup()});
}

void TFM_Admin3::CreateRangeBindings()
{
    RangeTableBinding = MakeBinding(this, {.Items = kAdminRangeItems,
                                           .Label = "IP Range",
                                           .Type = MVT_UMV,
                                           .KeyCount = 1,
                                           .Mode = BindMode::Async,
                                           .Timeout = 1000,
                                           .Log = StatusBar,
                                           .OnGetDone = [this](auto *, auto *) { RangeReadDone(); },
                                           .OnSetDone = [this](auto *, auto *) { RangeSetDone(); }});
    RangeTableBinding->SetupListView(ListView_IpRange, true);
    RangeTableBinding->OnAfterSet = [this] { ReloadIPRangeLists(); };
    RangeTableBinding->OnAfterGet = [] {};
    RangeTableBinding->Associate(0, LA_Index);
    RangeTableBinding->AssociateEdits(1, "%s", Ed_From);
    RangeTableBinding->AssociateEdits(2, "%s", Ed_To);
    RangeTableBinding->Get();

    RangeWalk = MakeBinding<New_req2Edit>(this, {.Items = kAdminRangeItems,
                                                 .Label = "IP Range List",
                                                 .Type = MVT_UMV,
                                                 .KeyCount = 1,
                                                 .Mode = BindMode::Async,
                                                 .Timeout = 10000,
                                                 .OnGetDone = [this](auto *, auto *) {
                                                     ShowUnread();
                                                     AddAfterRead();
                                                 }});
    RangeWalk->SetupListView(ListView_User, true);
    RangeWalk->RowNumber = 1;
    RangeWalk->Filter = kFreeRange;
    RangeWalk->KeyColumn = 1;
    // Whole addresses in both columns.
    for (int column = 1; column < ListView_User->Columns()->Count(); ++column)
        ListView_User->Columns()->Items(column)->SetWidth(100);
    RangeWalk->Get();
}

void TFM_Admin3::SetEditLimits()
{
    SetLoginEditLimits();
    for (TEdit *e : {Ed_IP1, Ed_IP2, Ed_FromIP, Ed_ToIP})
        e->SetMaxLength(15);
    Ed_VID->SetMaxLength(4);
}

void TFM_Admin3::RB_NoneClick(TObject *)
{
    ConsoleRadioClick(Console());
}

void TFM_Admin3::ShowConsoleState()
{
    ShowConsole();
}

void TFM_Admin3::CB_LimitIPStatusClick(TObject *)
{
    // The single manager addresses are shown only: this form never writes them.
    const bool on = CB_LimitIPStatus->Checked();
    for (TControl *c : std::initializer_list<TControl *>{Ed_FromIP, Ed_ToIP, Btn_Add})
        c->SetEnabled(on);
}

void TFM_Admin3::CheckBox_VIDClick(TObject *)
{
    Ed_VID->SetEnabled(CheckBox_VID->Checked());
}

void TFM_Admin3::ListView_UserClick(TObject *)
{
    if (ListView_User->Selected() == nullptr) {
        Btn_Del->SetEnabled(false);
        return;
    }
    Btn_Del->SetEnabled(true);
    CB_LimitIPStatusClick(this);
}

void TFM_Admin3::ClearZeroManagerIPs()
{
    for (TEdit *e : {Ed_IP1, Ed_IP2})
        if (e->Text() == "0.0.0.0")
            e->SetText("");
    Ed_FromIP->SetText("");
    Ed_ToIP->SetText("");
    Btn_Del->SetEnabled(false);
}

void TFM_Admin3::OnLimitIPStatusGot(KvSNMPRequest2Controls *, KvSNMPError *)
{
    ClearZeroManagerIPs();
    CB_LimitIPStatusClick(this);
    ShowUnread();
}

bool TFM_Admin3::IsValidUserName(const AnsiString &name)
{
    return IsValidAdminUserName(name);
}

AnsiString TFM_Admin3::NetworkAddressOf(const AnsiString &address, const AnsiString &mask)
{
    return ::NetworkAddressOf(address, mask);
}

bool TFM_Admin3::ReloadIPRangeLists()
{
    ListView_IpRange->Items()->Clear();
    RangeTableBinding->Get();
    ListView_User->Items()->Clear();
    Btn_Del->SetEnabled(false); // nothing is selected in the new list
    RangeWalk->RowNumber = 1;
    RangeWalk->KeyColumn = 1;
    RangeWalk->Filter = kFreeRange;
    RangeWalk->Get();
    return true;
}

TListItem *TFM_Admin3::FindRange(const AnsiString &from, const AnsiString &to) const
{
    TListItems *rows = ListView_IpRange->Items();
    for (int i = 0; i < rows->Count(); ++i)
        if (SameAddress(Cell(rows->Item(i), 0), from) && SameAddress(Cell(rows->Item(i), 1), to))
            return rows->Item(i);
    return nullptr;
}

TListItem *TFM_Admin3::FirstFreeRange() const
{
    TListItems *rows = ListView_IpRange->Items();
    for (int i = 0; i < rows->Count(); ++i)
        if (IsFreeRange(Cell(rows->Item(i), 0), Cell(rows->Item(i), 1)))
            return rows->Item(i);
    return nullptr;
}

bool TFM_Admin3::RangesSettled() const
{
    // An add or delete waits for the device, or the lists are being read (back): the free row
    // and the selection would be looked up in half a table.
    return m_rangeIdle && RangeTableBinding && RangeWalk && !RangeTableBinding->Busy && !RangeWalk->Busy;
}

void TFM_Admin3::Btn_AddClick(TObject *)
{
    if (!RangesSettled())
        return;
    // A row write left unanswered may have been taken since: the free row is looked up in the
    // table the device holds now, or the add could overwrite that row.
    if (m_reread.ReadFirst()) {
        ReloadIPRangeLists();
        return;
    }
    if (ListView_User->Items()->Count() >= 4) {
        AdminWarning("Maximum number of IP Range List is 4!", "Waring");
        Ed_FromIP->SetText("");
        Ed_ToIP->SetText("");
        return;
    }
    for (TEdit *e : {Ed_FromIP, Ed_ToIP})
        if (!IsValidIPAddress(e->Text())) {
            AdminWarning("Please input valid IP address", "Waring");
            e->SetText("");
            FocusControl(e);
            return;
        }
    if (IPEditToInt(Ed_FromIP) > IPEditToInt(Ed_ToIP)) {
        AdminWarning("The IP range is not right,Please check...");
        FocusControl(Ed_FromIP);
        return;
    }
    // Every row is compared, also those after the first free one.
    if (FindRange(Ed_FromIP->Text(), Ed_ToIP->Text()) != nullptr) {
        AdminWarning("The same IP range has been added");
        FocusControl(Ed_FromIP);
        return;
    }
    TListItem *free = FirstFreeRange();
    if (free == nullptr) {
        AdminWarning("The IP Range table of the device has no free row!");
        return;
    }
    if (NetworkAddressOf(Ed_ToIP->Text(), NetMask->Text()) !=
        NetworkAddressOf(Ed_FromIP->Text(), NetMask->Text())) {
        AdminWarning("The Two IP address is not in the same subnet,Please check...");
        FocusControl(Ed_FromIP);
        return;
    }
    ListView_IpRange->SetSelected(free);
    Ed_From->SetText(Ed_FromIP->Text());
    Ed_To->SetText(Ed_ToIP->Text());
    WriteRange(RangeWrite::Add);
}

void TFM_Admin3::WriteRange(RangeWrite write)
{
    m_rangeWrite = write;
    m_rangeIdle = false;
    // An added range is read back with the row; a deleted one goes with the lists' read.
    m_rangeChain.Begin();
    const AfterSet after = write == RangeWrite::Add ? AfterSet::ReGet : AfterSet::KeepShown;
    if (m_rangeChain.Put(RangeTableBinding.get(), {.After = after}) != GroupResult::Started)
        RangeSetDone();
}

void TFM_Admin3::Btn_DelClick(TObject *)
{
    TListItem *chosen = ListView_User->Selected();
    if (chosen == nullptr || !RangesSettled())
        return;
    TListItem *row = FindRange(Cell(chosen, 0), Cell(chosen, 1));
    if (row == nullptr) {
        AdminWarning("The IP range is no longer in the device's table; nothing was deleted.");
        return;
    }
    ListView_IpRange->SetSelected(row);
    Ed_From->SetText(kFreeRange);
    Ed_To->SetText(kFreeRange);
    WriteRange(RangeWrite::Delete);
    Ed_From->SetText("");
    Ed_To->SetText("");
}

void TFM_Admin3::RangeSetDone()
{
    // The chain has noted the outcome, sent or not.
    const bool ok = m_rangeChain.Wrote(RangeTableBinding.get());
    const RangeWrite done = m_rangeWrite;
    m_rangeWrite = RangeWrite::None;
    m_rangeIdle = true;
    if (done == RangeWrite::Add) {
        if (ok) {
            Ed_FromIP->SetText("");
            Ed_ToIP->SetText("");
        }
        m_rangeResult = m_rangeChain.Text("Set OK!", "Setting Error!");
    } else if (done == RangeWrite::Delete) {
        m_rangeResult = m_rangeChain.Text("Delete OK!", "Delete Error!");
    } else {
        return;
    }
    StatusBar->SetSimpleText(m_rangeResult);
    m_reread.RowWritten(m_rangeChain.Unanswered());
    if (!ok)
        m_rangeResult.clear(); // no lists are read back after a refused row
}

void TFM_Admin3::RangeReadDone()
{
    // The read-back's log line must not hide what the add or delete came to, nor a group the
    // form could not read.
    if (m_rangeResult.empty()) {
        ShowUnread();
        AddAfterRead();
        return;
    }
    StatusBar->SetSimpleText(m_rangeResult);
    m_rangeResult.clear();
}

void TFM_Admin3::AddAfterRead()
{
    // Lists not read (the device still silent): the next add reads them again first.
    if (RangesSettled() && m_reread.TableRead(RangeTableBinding->WasRead() && RangeWalk->WasRead()))
        Btn_AddClick(this);
}

bool TFM_Admin3::CheckInput()
{
    if (CB_LimitIPStatus->Checked() && ListView_User->Items()->Count() == 0) {
        AdminWarning("The IP Range list is empty,The limit administrator IP will be disabled!");
        CB_LimitIPStatus->SetChecked(false);
        return false;
    }
    const auto tidy = [this] { ClearZeroManagerIPs(); };
    const LoginCheckTexts texts{.WrongOld = "Old password is wrong!Please input again",
                                .WrongOldClears = true,
                                .Mismatch = "The Password is not match!Please enter again!",
                                .MismatchFocus = Ed_CNP,
                                .Tidy = tidy};
    return CheckReadLogin(texts) && CheckManagerVlan(CheckBox_VID, tidy);
}

void TFM_Admin3::OKClick(TObject *)
{
    if (!WritesIdle())
        return; // the last Apply still waits for the device
    if (!CheckInput())
        return;
    // The range rows are written by Add and Delete alone: the row they last loaded is
    // history by now.
    StartWrites(
        Chain, LimitIPStatusRead ? LimitReq.get() : nullptr,
        [this] {
            Chain.Put(ManagerVlanGroup());
            Chain.Put(ManagerVlanIdReq.get());
            Chain.Put(LedGroup());
            WriteConsole(Chain);
            Chain.Put(PingGroup());
            Chain.Put(UnlessLacking(WlanReq, WlanAdminSupported != 0));
        },
        [this] {
            Chain.Show(StatusBar, Chain.Text("Set OK!", "Setting Error!"));
            if (!Chain.Stopped())
                ClearZeroManagerIPs();
        });
}

void TFM_Admin3::CancelClick(TObject *)
{
    Close();
}
