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
    Ed_VID = Make<TEdit>(GroupBox6, "Ed_VID", {190, 52, 60, 21});
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

    GroupBox2 = Make<TGroupBox>(this, "GroupBox2", {8, 286, 372, 86}, " Limit Administrator IP ");
    CkBx_ManagerState = Make<TCheckBox>(GroupBox2, "CkBx_ManagerState", {12, 20, 20, 17});
    Label5 = Make<TLabel>(GroupBox2, "Label5", {36, 22, 160, 16}, "Limit Administrator IP 1");
    Ed_IP1 = Make<TEdit>(GroupBox2, "Ed_IP1", {208, 20, 150, 21});
    Label6 = Make<TLabel>(GroupBox2, "Label6", {36, 52, 160, 16}, "Limit Administrator IP 2");
    Ed_IP2 = Make<TEdit>(GroupBox2, "Ed_IP2", {208, 50, 150, 21});

    GroupBox1 = Make<TGroupBox>(this, "GroupBox1", {388, 8, 364, 144}, " Login Settings");
    Label1 = Make<TLabel>(GroupBox1, "Label1", {12, 24, 180, 16}, "User Name");
    Ed_Usr = Make<TEdit>(GroupBox1, "Ed_Usr", {200, 22, 150, 21});
    Label2 = Make<TLabel>(GroupBox1, "Label2", {12, 54, 180, 16}, "Old Password");
    Ed_OPwd = Make<TEdit>(GroupBox1, "Ed_OPwd", {200, 52, 150, 21});
    Label3 = Make<TLabel>(GroupBox1, "Label3", {12, 84, 180, 16}, "New Password");
    Ed_NPwd = Make<TEdit>(GroupBox1, "Ed_NPwd", {200, 82, 150, 21});
    Label4 = Make<TLabel>(GroupBox1, "Label4", {12, 114, 180, 16}, "Confirm New Password");
    Ed_CNP = Make<TEdit>(GroupBox1, "Ed_CNP", {200, 112, 150, 21});
    for (TEdit *e : {Ed_OPwd, Ed_NPwd, Ed_CNP})
        e->SetPasswordChar('*');
    Ed_Pwd = Make<TEdit>(GroupBox1, "Ed_Pwd", {200, 22, 150, 21});
    Ed_Pwd->SetVisible(false);

    GroupBox3 = Make<TGroupBox>(this, "GroupBox3", {388, 158, 364, 84}, "Console Settings");
    Label7 = Make<TLabel>(GroupBox3, "Label7", {12, 24, 110, 16}, "Console Protocol");
    RB_None = Make<TRadioButton>(GroupBox3, "RB_None", {130, 22, 64, 17}, "None ");
    RB_Telnet = Make<TRadioButton>(GroupBox3, "RB_Telnet", {200, 22, 76, 17}, "Telnet");
    RB_SHH = Make<TRadioButton>(GroupBox3, "RB_SHH", {282, 22, 64, 17}, "SSH");
    Label8 = Make<TLabel>(GroupBox3, "Label8", {12, 54, 110, 16}, "Timeout");
    CB_Timeout = Make<TComboBox>(GroupBox3, "CB_Timeout", {130, 52, 120, 21});

    GB_Led = Make<TGroupBox>(this, "GB_Led", {388, 248, 364, 50}, "LED Status");
    CB_Led = Make<TCheckBox>(GB_Led, "CB_Led", {12, 22, 160, 17}, "LED Status");

    RG_PingSet = Make<TGroupBox>(this, "RG_PingSet", {388, 304, 364, 50}, "Ping Control Setting");
    Label13 = Make<TLabel>(RG_PingSet, "Label13", {12, 24, 110, 16}, "Status");
    CB_Ping = Make<TComboBox>(RG_PingSet, "CB_Ping", {130, 22, 120, 21});

    CB_Telnet = Make<TComboBox>(this, "CB_Telnet", {8, 0, 80, 21});
    CB_SHH = Make<TComboBox>(this, "CB_SHH", {8, 0, 80, 21});
    Ed_PingSupport = Make<TEdit>(this, "Ed_PingSupport", {8, 0, 80, 21});
    CB_VLanState = Make<TCheckBox>(this, "CB_VLanState", {8, 0, 80, 17});
    for (TControl *c : std::initializer_list<TControl *>{CB_Telnet, CB_SHH, Ed_PingSupport, CB_VLanState})
        c->SetVisible(false);

    OK = Make<TButton>(this, "OK", {296, 384, 75, 25}, "Apply");
    Cancel = Make<TButton>(this, "Cancel", {388, 384, 75, 25}, "Cancel");
    StatusBar = Make<TStatusBar>(this, "StatusBar");

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
    m_guard.WatchIdle(m_writes.Idle());
    m_guard.WatchIdle(m_rangeIdle);
    m_guard.Install(this);
}

ConsoleControls TFM_Admin3::Console() const
{
    return {RB_None, RB_Telnet, RB_SHH, CB_Telnet, CB_SHH, CB_Timeout};
}

void TFM_Admin3::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        const auto sync = [this](const FormItemTable &items, KvSNMPItemType type, TObject *log = nullptr) {
            return MakeBinding(this, {.Items = items, .Type = type, .Mode = BindMode::Sync, .Log = log});
        };
        VlanStateReq = sync(kAdminVlanStateItems, SVT_SV);
        VlanStateReq->Associate(0, CB_VLanState);
        VlanStateReq->Get();

        WlanReq = sync(kAdminWlanItems, SVT_SV);
        WlanReq->AssociateCombo(0, CB_WLAN);
        WlanAdminSupported = WlanReq->Get() ? 1 : 0;
        Label9->SetVisible(WlanAdminSupported != 0);
        CB_WLAN->SetVisible(WlanAdminSupported != 0);

        ManagerVlanReq = sync(kAdminManagerVlanItems, SVT_SV);
        ManagerVlanReq->Associate(0, CheckBox_VID);
        ManagerVlanSupported = ManagerVlanReq->Get() ? 1 : 0;
        if (ManagerVlanSupported) {
            ManagerVlanIdReq = sync(kAdminManagerVlanIdItems, SVT_SV);
            ManagerVlanIdReq->AssociateEdits(0, "%s", Ed_VID);
            ManagerVlanIdReq->Get();
        }

        LimitReq = MakeBinding(this, {.Items = kAdminLimitItems,
                                      .Type = SVT_SV,
                                      .Mode = BindMode::Async,
                                      .OnGetDone = [this](auto *s, auto *e) { OnLimitIPStatusGot(s, e); },
                                      .OnSetDone = [this](auto *, auto *e) { m_writes.LimitSetDone(e); }});
        LimitReq->Associate(0, CB_LimitIPStatus);
        LimitIPStatusRead = LimitReq->Get() ? 1 : 0;

        ManagerIPReq = sync(kAdminManagerIPItems, MVT_SV);
        ManagerIPReq->AssociateEdits(0, "%s", Ed_IP1);
        ManagerIPReq->AssociateEdits(1, "%s", Ed_IP2);
        ManagerIPsRead = ManagerIPReq->Get() ? 1 : 0;
        GroupBox2->SetVisible(ManagerIPsRead != 0);

        CreateRangeBindings();

        ConsoleReq = sync(kAdminConsoleItems, SVT_SV, StatusBar);
        ConsoleReq->AssociateCombo(0, CB_Telnet);
        ConsoleReq->AssociateCombo(1, CB_Timeout);
        ConsoleReq->Get();

        SshReq = sync(kAdminSshItems, SVT_SV);
        SshReq->AssociateCombo(0, CB_SHH);
        SshSupported = SshReq->Get() ? 1 : 0;
        RB_SHH->SetVisible(SshSupported != 0);

        LoginReq = sync(kAdminLoginItems, SVT_SV, StatusBar);
        LoginReq->AssociateEdits(0, "%s", Ed_Usr);
        LoginReq->AssociateEdits(1, "%s", Ed_Pwd);
        LoginReq->Get();

        LedReq = sync(kAdminLedItems, SVT_SV);
        LedReq->Associate(0, CB_Led);
        LedSupported = LedReq->Get() ? 1 : 0;
        GB_Led->SetVisible(LedSupported != 0);

        PingSupportReq = sync(kAdminPingSupportItems, SVT_SV);
        PingSupportReq->AssociateEdits(0, "%s", Ed_PingSupport);
        PingSupportReq->Get();
        if (CapabilityNumber(Ed_PingSupport->Text()) == 1) {
            PingReq = sync(kAdminPingItems, SVT_SV);
            PingReq->AssociateCombo(0, CB_Ping);
            PingReq->Get();
        }
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
    for (TEdit *e : {Ed_OPwd, Ed_NPwd, Ed_CNP})
        e->SetText(Ed_Pwd->Text());
}

void TFM_Admin3::CreateRangeBindings()
{
    RangeTableBinding = MakeBinding(this, {.Items = kAdminRangeItems,
                                           .Type = MVT_UMV,
                                           .KeyCount = 1,
                                           .Mode = BindMode::Async,
                                           .Timeout = 1000,
                                           .Log = StatusBar,
                                           .OnGetDone = [this](auto *, auto *) { RangeReadDone(); },
                                           .OnSetDone = [this](auto *, auto *e) { RangeSetDone(e); }});
    RangeTableBinding->SetupListView(ListView_IpRange, true);
    RangeTableBinding->OnAfterSet = [this] { ReloadIPRangeLists(); };
    RangeTableBinding->OnAfterGet = [] {};
    RangeTableBinding->Associate(0, LA_Index);
    RangeTableBinding->AssociateEdits(1, "%s", Ed_From);
    RangeTableBinding->AssociateEdits(2, "%s", Ed_To);
    RangeTableBinding->Get();

    RangeWalk = MakeBinding<New_req2Edit>(this, {.Items = kAdminRangeItems,
                                                 .Type = MVT_UMV,
                                                 .KeyCount = 1,
                                                 .Mode = BindMode::Async,
                                                 .Timeout = 10000});
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
    Ed_Usr->SetMaxLength(64);
    for (TEdit *e : {Ed_OPwd, Ed_NPwd, Ed_CNP})
        e->SetMaxLength(12);
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
    ::ShowConsoleState(Console());
}

void TFM_Admin3::CB_LimitIPStatusClick(TObject *)
{
    const bool on = CB_LimitIPStatus->Checked();
    for (TControl *c : std::initializer_list<TControl *>{Ed_IP1, Ed_IP2, Ed_FromIP, Ed_ToIP, Btn_Add})
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
    m_rangeWrite = RangeWrite::Add;
    m_rangeIdle = false;
    if (RangeTableBinding->Write(true, true) != WriteResult::Started) {
        m_rangeIdle = true;
        m_rangeWrite = RangeWrite::None;
        StatusBar->SetSimpleText("Setting Error!");
    }
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
    m_rangeWrite = RangeWrite::Delete;
    m_rangeIdle = false;
    if (RangeTableBinding->Write(false, true) != WriteResult::Started) {
        m_rangeIdle = true;
        m_rangeWrite = RangeWrite::None;
        StatusBar->SetSimpleText("Delete Error!");
    }
    Ed_From->SetText("");
    Ed_To->SetText("");
}

void TFM_Admin3::RangeSetDone(KvSNMPError *e)
{
    const bool ok = e != nullptr && e->Code == 0;
    const RangeWrite done = m_rangeWrite;
    m_rangeWrite = RangeWrite::None;
    m_rangeIdle = true;
    if (done == RangeWrite::Add) {
        if (ok) {
            Ed_FromIP->SetText("");
            Ed_ToIP->SetText("");
        }
        m_rangeResult = ok ? "Set OK!" : "Setting Error!";
    } else if (done == RangeWrite::Delete) {
        m_rangeResult = ok ? "Delete OK!" : "Delete Error!";
    } else {
        return;
    }
    StatusBar->SetSimpleText(m_rangeResult);
    if (!ok)
        m_rangeResult.clear(); // no lists are read back after a refused row
}

void TFM_Admin3::RangeReadDone()
{
    // The read-back's log line must not hide what the add or delete came to.
    if (m_rangeResult.empty())
        return;
    StatusBar->SetSimpleText(m_rangeResult);
    m_rangeResult.clear();
}

bool TFM_Admin3::CheckInput()
{
    if (CB_LimitIPStatus->Checked() && ListView_User->Items()->Count() == 0) {
        AdminWarning("The IP Range list is empty,The limit administrator IP will be disabled!");
        CB_LimitIPStatus->SetChecked(false);
        return false;
    }
    const LoginCheckTexts texts{.WrongOld = "Old password is wrong!Please input again",
                                .WrongOldClears = true,
                                .Mismatch = "The Password is not match!Please enter again!",
                                .MismatchFocus = Ed_CNP,
                                .Tidy = [this] { ClearZeroManagerIPs(); }};
    if (!CheckLogin({Ed_Usr, Ed_Pwd, Ed_OPwd, Ed_NPwd, Ed_CNP}, texts))
        return false;
    if (ManagerVlanSupported && !IsValidManagerVlanId(Ed_VID->Text())) {
        AdminWarning("Please input a number between 0 and 4095.", "Error");
        ClearZeroManagerIPs();
        FocusControl(Ed_VID);
        return false;
    }
    if (!CB_VLanState->Checked() && CheckBox_VID->Checked()) {
        AdminWarning("Please enable Multi-SSID and VLAN first!");
        CheckBox_VID->SetChecked(false);
        return false;
    }
    return true;
}

void TFM_Admin3::OKClick(TObject *)
{
    if (!m_writes.Idle())
        return; // the last Apply still waits for the device
    if (!CheckInput())
        return;
    FormBinding *limit = LimitIPStatusRead ? LimitReq.get() : nullptr;
    const bool allRead = AllRead(
        {LoginReq.get(), limit, ManagerVlanSupported ? ManagerVlanReq.get() : nullptr, ManagerVlanIdReq.get(),
         LedSupported ? LedReq.get() : nullptr, ConsoleReq.get(), SshSupported ? SshReq.get() : nullptr,
         PingReq.get(), WlanAdminSupported ? WlanReq.get() : nullptr});
    if (!allRead || !LoginReq || !ConsoleReq || !limit) {
        StatusBar->SetSimpleText(gMsgGroupNotRead);
        return;
    }
    m_oldPassword = Ed_Pwd->Text();
    Ed_Pwd->SetText(Ed_NPwd->Text());
    ConsolePreStep(Console(), *ConsoleReq, SshSupported ? SshReq.get() : nullptr);
    // The range rows are written by Add and Delete alone: the row they last loaded is
    // history by now.
    m_writes.Start(*LoginReq, *limit,
                   {ManagerVlanSupported ? ManagerVlanReq.get() : nullptr,
                    ManagerVlanSupported ? ManagerVlanIdReq.get() : nullptr,
                    LedSupported ? LedReq.get() : nullptr, ConsoleReq.get(),
                    SshSupported ? SshReq.get() : nullptr, PingReq.get(),
                    WlanAdminSupported ? WlanReq.get() : nullptr},
                   [this](bool ok, bool loginWritten) { ApplyEnded(ok, loginWritten); });
}

void TFM_Admin3::ApplyEnded(bool ok, bool loginWritten)
{
    if (!loginWritten)
        Ed_Pwd->SetText(m_oldPassword);
    StatusBar->SetSimpleText(ok ? "Set OK!" : "Setting Error!");
    if (ok)
        ClearZeroManagerIPs();
}

void TFM_Admin3::CancelClick(TObject *)
{
    Close();
}
