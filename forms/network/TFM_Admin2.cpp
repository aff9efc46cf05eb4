#include "TFM_Admin2.h"

#include "FormGlobals.h"
#include "MainMenu.h"
#include "NetUtils.h"

TFM_Admin2::TFM_Admin2(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_Admin2", "Tools \\ Administrator Settings", 380, 560});
    LB_AdminSet = Make<TLabel>(this, "LB_AdminSet", {8, 2, 200, 16}, "    Administrator Settings ");
    LB_AdminSet->SetVisible(false);

    GroupBox2 = Make<TGroupBox>(this, "GroupBox2", {8, 8, 364, 86}, " Limit Administrator IP ");
    CkBx_ManagerState = Make<TCheckBox>(GroupBox2, "CkBx_ManagerState", {12, 20, 20, 17});
    Label5 = Make<TLabel>(GroupBox2, "Label5", {36, 22, 160, 16}, "Limit Administrator IP 1");
    Ed_IP1 = Make<TEdit>(GroupBox2, "Ed_IP1", {200, 20, 150, 21});
    Label6 = Make<TLabel>(GroupBox2, "Label6", {36, 52, 160, 16}, "Limit Administrator IP 2");
    Ed_IP2 = Make<TEdit>(GroupBox2, "Ed_IP2", {200, 50, 150, 21});

    GroupBox5 = Make<TGroupBox>(this, "GroupBox5", {8, 100, 364, 54}, "Limit Administrator by vlan setting");
    CB_VID = Make<TCheckBox>(GroupBox5, "CB_VID", {12, 22, 180, 17}, "Limit Administrator VID");
    Ed_VID = Make<TEdit>(GroupBox5, "Ed_VID", {200, 20, 60, 21});

    GroupBox1 = Make<TGroupBox>(this, "GroupBox1", {8, 160, 364, 144}, " Login");
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

    GroupBox3 = Make<TGroupBox>(this, "GroupBox3", {8, 310, 364, 84}, "Console");
    Label7 = Make<TLabel>(GroupBox3, "Label7", {12, 24, 110, 16}, "Console Protocol");
    RB_None = Make<TRadioButton>(GroupBox3, "RB_None", {130, 22, 64, 17}, "None ");
    RB_Telnet = Make<TRadioButton>(GroupBox3, "RB_Telnet", {200, 22, 76, 17}, "Telnet");
    RB_SHH = Make<TRadioButton>(GroupBox3, "RB_SHH", {282, 22, 64, 17}, "SSH");
    Label8 = Make<TLabel>(GroupBox3, "Label8", {12, 54, 110, 16}, "Timeout");
    CB_Timeout = Make<TComboBox>(GroupBox3, "CB_Timeout", {130, 52, 120, 21});

    GB_Led = Make<TGroupBox>(this, "GB_Led", {8, 400, 364, 50}, "LED Setting");
    CB_Led = Make<TCheckBox>(GB_Led, "CB_Led", {12, 22, 160, 17}, "LED Status");

    GroupBox4 = Make<TGroupBox>(this, "GroupBox4", {8, 400, 364, 50}, "SNMP");
    Ed_TrapServIP = Make<TEdit>(GroupBox4, "Ed_TrapServIP", {200, 20, 150, 21});
    CkBx_LBS = Make<TCheckBox>(GroupBox4, "CkBx_LBS", {12, 22, 20, 17});
    GroupBox4->SetVisible(false);

    RG_PingSet = Make<TRadioGroup>(this, "RG_PingSet", {8, 456, 364, 48});
    RG_PingSet->SetText("Ping Control Setting");
    RG_PingSet->SetColumns(2);

    CB_Telnet = Make<TComboBox>(this, "CB_Telnet", {8, 0, 80, 21});
    CB_SHH = Make<TComboBox>(this, "CB_SHH", {8, 0, 80, 21});
    Ed_PingSupport = Make<TEdit>(this, "Ed_PingSupport", {8, 0, 80, 21});
    CB_VLanState = Make<TCheckBox>(this, "CB_VLanState", {8, 0, 80, 17});
    for (TControl *c : std::initializer_list<TControl *>{CB_Telnet, CB_SHH, Ed_PingSupport, CB_VLanState})
        c->SetVisible(false);

    OK = Make<TButton>(this, "OK", {104, 512, 75, 25}, "Apply");
    Cancel = Make<TButton>(this, "Cancel", {200, 512, 75, 25}, "Cancel");
    StatusBar = Make<TStatusBar>(this, "StatusBar");

    OK->OnClick = [this](TObject *s) { OKClick(s); };
    Cancel->OnClick = [this](TObject *s) { CancelClick(s); };
    for (TRadioButton *rb : {RB_None, RB_Telnet, RB_SHH})
        rb->OnClick = [this](TObject *s) { RB_NoneClick(s); };
    CkBx_ManagerState->OnClick = [this](TObject *s) { CkBx_ManagerStateClick(s); };
    CB_VID->OnClick = [this](TObject *s) { CB_VIDClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    m_guard.Watch(LimitReq);
    m_guard.WatchIdle(m_writes.Idle());
    m_guard.Install(this);
}

ConsoleControls TFM_Admin2::Console() const
{
    return {RB_None, RB_Telnet, RB_SHH, CB_Telnet, CB_SHH, CB_Timeout};
}

void TFM_Admin2::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        const auto sync = [this](const FormItemTable &items, KvSNMPItemType type, TObject *log = nullptr) {
            return MakeBinding(this, {.Items = items, .Type = type, .Mode = BindMode::Sync, .Log = log});
        };
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

        ManagerIPReq = sync(kAdminManagerIPItems, MVT_SV);
        ManagerIPReq->AssociateEdits(0, "%s", Ed_IP1);
        ManagerIPReq->AssociateEdits(1, "%s", Ed_IP2);
        ManagerIPReq->Get();

        LedReq = sync(kAdminLedItems, SVT_SV);
        LedReq->Associate(0, CB_Led);
        LedSupported = LedReq->Get() ? 1 : 0;
        GB_Led->SetVisible(LedSupported != 0);

        LimitReq = MakeBinding(this, {.Items = kAdminLimitItems,
                                      .Type = SVT_SV,
                                      .Mode = BindMode::Async,
                                      .OnGetDone = [this](auto *s, auto *e) { OnLimitIPStatusGot(s, e); },
                                      .OnSetDone = [this](auto *, auto *e) { m_writes.LimitSetDone(e); }});
        LimitReq->Associate(0, CkBx_ManagerState);
        LimitReq->Get();

        PingSupportReq = sync(kAdminPingSupportItems, SVT_SV);
        PingSupportReq->AssociateEdits(0, "%s", Ed_PingSupport);
        PingSupportReq->Get();
        if (CapabilityNumber(Ed_PingSupport->Text()) == 1) {
            PingReq = sync(kAdminPingItems, SVT_SV);
            PingReq->AssociateOptions(0, RG_PingSet, 2);
            PingReq->Get();
        }

        VlanStateReq = sync(kAdminVlanStateItems, SVT_SV);
        VlanStateReq->Associate(0, CB_VLanState);
        VlanStateReq->Get();

        ManagerVlanReq = sync(kAdminManagerVlanItems, SVT_SV);
        ManagerVlanReq->Associate(0, CB_VID);
        ManagerVlanSupported = ManagerVlanReq->Get() ? 1 : 0;
        if (ManagerVlanSupported) {
            ManagerVlanIdReq = sync(kAdminManagerVlanIdItems, SVT_SV);
            ManagerVlanIdReq->AssociateEdits(0, "%s", Ed_VID);
            ManagerVlanIdReq->Get();
        }
    });
    SetEditLimits();
    ShowConsoleState();
    ArrangeOptionalGroups();
    CB_VIDClick(this);
    // An Apply that leaves the password edits alone writes the same password again.
    for (TEdit *e : {Ed_OPwd, Ed_NPwd, Ed_CNP})
        e->SetText(Ed_Pwd->Text());
}

void TFM_Admin2::SetEditLimits()
{
    Ed_Usr->SetMaxLength(64);
    for (TEdit *e : {Ed_OPwd, Ed_NPwd, Ed_CNP})
        e->SetMaxLength(12);
    Ed_IP1->SetMaxLength(15);
    Ed_IP2->SetMaxLength(15);
    Ed_VID->SetMaxLength(4);
}

void TFM_Admin2::ArrangeOptionalGroups()
{
    GroupBox5->SetVisible(ManagerVlanIdReq != nullptr);
    RG_PingSet->SetVisible(PingReq != nullptr);
    const int bottom = StackShown({GroupBox2, GroupBox5, GroupBox1, GroupBox3, GB_Led, RG_PingSet}, 8, 6);
    OK->SetTop(bottom + 10);
    Cancel->SetTop(bottom + 10);
    SetClientHeight(OK->Top() + OK->Height() + 10 + StatusBar->Height());
}

void TFM_Admin2::RB_NoneClick(TObject *)
{
    ConsoleRadioClick(Console());
}

void TFM_Admin2::ShowConsoleState()
{
    ::ShowConsoleState(Console());
}

void TFM_Admin2::CkBx_ManagerStateClick(TObject *)
{
    const bool on = CkBx_ManagerState->Checked();
    Ed_IP1->SetEnabled(on);
    Ed_IP2->SetEnabled(on);
    LimitManagerIPs = on ? 1 : 0;
}

void TFM_Admin2::CB_VIDClick(TObject *)
{
    Ed_VID->SetEnabled(CB_VID->Checked());
}

void TFM_Admin2::ClearZeroManagerIPs()
{
    for (TEdit *e : {Ed_IP1, Ed_IP2})
        if (e->Text() == "0.0.0.0")
            e->SetText("");
}

void TFM_Admin2::OnLimitIPStatusGot(KvSNMPRequest2Controls *, KvSNMPError *)
{
    ClearZeroManagerIPs();
    CkBx_ManagerStateClick(this);
}

bool TFM_Admin2::IsValidUserName(const AnsiString &name)
{
    return IsValidAdminUserName(name);
}

bool TFM_Admin2::CheckManagerIPs()
{
    if (Ed_IP1->Text().empty() && Ed_IP2->Text().empty()) {
        AdminWarning("You at least must input one IP address!");
        FocusControl(Ed_IP1);
        return false;
    }
    for (TEdit *e : {Ed_IP1, Ed_IP2}) {
        if (e->Text().empty()) {
            e->SetText("0.0.0.0");
            continue;
        }
        if (!IsValidIPAddress(e->Text())) {
            AdminWarning("Invalid IP address!");
            ClearZeroManagerIPs();
            FocusControl(e);
            return false;
        }
    }
    return true;
}

bool TFM_Admin2::CheckInput()
{
    if (CkBx_ManagerState->Checked() && !CheckManagerIPs())
        return false;
    const LoginCheckTexts texts{.WrongOld = "Please input the current password correctly!",
                                .WrongOldClears = false,
                                .Mismatch = "Please input the confirm new password correctly!",
                                .MismatchFocus = Ed_NPwd,
                                .Tidy = [this] { ClearZeroManagerIPs(); }};
    if (!CheckLogin({Ed_Usr, Ed_Pwd, Ed_OPwd, Ed_NPwd, Ed_CNP}, texts))
        return false;
    if (ManagerVlanSupported && !IsValidManagerVlanId(Ed_VID->Text())) {
        AdminWarning("Please input a number between 0 and 4095.", "Error");
        ClearZeroManagerIPs();
        FocusControl(Ed_VID);
        return false;
    }
    if (!CB_VLanState->Checked() && CB_VID->Checked()) {
        AdminWarning("Please enable Multi-SSID and VLAN first!");
        CB_VID->SetChecked(false);
        return false;
    }
    return true;
}

void TFM_Admin2::OKClick(TObject *)
{
    if (!m_writes.Idle())
        return; // the last Apply still waits for the device
    if (!CheckInput())
        return;
    // Nothing goes out unless every group to be written was read: a group written from a
    // failed read would blank the login or switch the console off.
    const bool allRead =
        AllRead({LoginReq.get(), LimitReq.get(), LedSupported ? LedReq.get() : nullptr,
                 LimitManagerIPs ? ManagerIPReq.get() : nullptr, ConsoleReq.get(),
                 SshSupported ? SshReq.get() : nullptr, PingReq.get(),
                 ManagerVlanSupported ? ManagerVlanReq.get() : nullptr, ManagerVlanIdReq.get()});
    if (!allRead || !LoginReq || !LimitReq || !ConsoleReq) {
        StatusBar->SetSimpleText(gMsgGroupNotRead);
        ClearZeroManagerIPs();
        return;
    }
    m_oldPassword = Ed_Pwd->Text();
    Ed_Pwd->SetText(Ed_NPwd->Text());
    ConsolePreStep(Console(), *ConsoleReq, SshSupported ? SshReq.get() : nullptr);
    m_writes.Start(*LoginReq, *LimitReq,
                   {LedSupported ? LedReq.get() : nullptr, LimitManagerIPs ? ManagerIPReq.get() : nullptr,
                    ConsoleReq.get(), SshSupported ? SshReq.get() : nullptr, PingReq.get(),
                    ManagerVlanSupported ? ManagerVlanReq.get() : nullptr,
                    ManagerVlanSupported ? ManagerVlanIdReq.get() : nullptr},
                   [this](bool ok, bool loginWritten) { ApplyEnded(ok, loginWritten); });
}

void TFM_Admin2::ApplyEnded(bool ok, bool loginWritten)
{
    if (!loginWritten)
        Ed_Pwd->SetText(m_oldPassword);
    StatusBar->SetSimpleText(ok ? "Set OK!" : "Setting Error!");
    if (ok)
        ClearZeroManagerIPs();
}

void TFM_Admin2::CancelClick(TObject *)
{
    Close();
}
