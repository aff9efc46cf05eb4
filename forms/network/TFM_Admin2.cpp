#include "TFM_Admin2.h"

#include "FormGlobals.h"
#include "NetUtils.h"

TFM_Admin2::TFM_Admin2(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_Admin2", "Tools \\ Administrator Settings", 380, 560});
    LB_AdminSet = Make<TLabel>(this, "LB_AdminSet", {8, 2, 200, 16}, "    Administrator Settings ");
    LB_AdminSet->SetVisible(false);
    // Stacked from the top by ArrangeOptionalGroups.
    MakeSharedGroups(this, {.ManagerIPs = {8, 8, 364, 86},
                            .Login = {8, 160, 364, 144},
                            .LoginCaption = " Login",
                            .Console = {8, 310, 364, 84},
                            .ConsoleCaption = "Console",
                            .Led = {8, 400, 364, 50},
                            .LedCaption = "LED Setting"});
    GroupBox5 = Make<TGroupBox>(this, "GroupBox5", {8, 100, 364, 54}, "Limit Administrator by vlan setting");
    CB_VID = Make<TCheckBox>(GroupBox5, "CB_VID", {12, 22, 180, 17}, "Limit Administrator VID");
    Ed_VID = Make<TEdit>(GroupBox5, "Ed_VID", {200, 20, 60, 21});

    GroupBox4 = Make<TGroupBox>(this, "GroupBox4", {8, 400, 364, 50}, "SNMP");
    Ed_TrapServIP = Make<TEdit>(GroupBox4, "Ed_TrapServIP", {200, 20, 150, 21});
    CkBx_LBS = Make<TCheckBox>(GroupBox4, "CkBx_LBS", {12, 22, 20, 17});
    GroupBox4->SetVisible(false);

    RG_PingSet = Make<TRadioGroup>(this, "RG_PingSet", {8, 456, 364, 48});
    RG_PingSet->SetText("Ping Control Setting");
    RG_PingSet->SetColumns(2);
    OK->SetLeft(104);
    Cancel->SetLeft(200);

    OK->OnClick = [this](TObject *s) { OKClick(s); };
    Cancel->OnClick = [this](TObject *s) { CancelClick(s); };
    for (TRadioButton *rb : {RB_None, RB_Telnet, RB_SHH})
        rb->OnClick = [this](TObject *s) { RB_NoneClick(s); };
    CkBx_ManagerState->OnClick = [this](TObject *s) { CkBx_ManagerStateClick(s); };
    CB_VID->OnClick = [this](TObject *s) { CB_VIDClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    m_guard.Watch(LimitReq);
    m_guard.WatchIdle(WritesIdle());
    m_guard.Install(this);
}

void TFM_Admin2::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        ReadConsoleGroups(this);
        ReadLogin(this, StatusBar);
        ReadManagerIPs(this);
        ReadLed(this);
        ReadLimit(this, CkBx_ManagerState, [this](auto *s, auto *e) { OnLimitIPStatusGot(s, e); });
        ReadPing(this, RG_PingSet);
        ReadVlanState(this);
        ReadManagerVlan(this, CB_VID);
    });
    SetEditLimits();
    ShowConsoleState();
    ArrangeOptionalGroups();
    CB_VIDClick(this);
    PrefillPasswords();
    ShowUnread();
}

void TFM_Admin2::ShowUnread()
{
    if (LimitReq && LimitReq->LastRead() == ReadState::Reading)
        return; // its completion tells
    ShowReadFailure(StatusBar, {ConsoleReq.get(), SshGroup(), LoginReq.get(), ManagerIPReq.get(), LedGroup(),
                                LimitReq.get(), PingGroup(), VlanStateReq.get(), ManagerVlanGroup(),
                                ManagerVlanIdReq.get()});
}

void TFM_Admin2::SetEditLimits()
{
    SetLoginEditLimits();
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
    ShowConsole();
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
    ShowUnread();
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
    // An empty one goes out as "0.0.0.0", filled in only once every check has passed.
    for (TEdit *e : {Ed_IP1, Ed_IP2}) {
        if (e->Text().empty())
            continue;
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
    // Addresses that were not read are not written: their empty edits are no input to refuse.
    if (CkBx_ManagerState->Checked() && ManagerIPReq && ManagerIPReq->WasRead() && !CheckManagerIPs())
        return false;
    const auto tidy = [this] { ClearZeroManagerIPs(); };
    const LoginCheckTexts texts{.WrongOld = "Please input the current password correctly!",
                                .WrongOldClears = false,
                                .Mismatch = "Please input the confirm new password correctly!",
                                .MismatchFocus = Ed_NPwd,
                                .Tidy = tidy};
    return CheckReadLogin(texts) && CheckManagerVlan(CB_VID, tidy);
}

void TFM_Admin2::OKClick(TObject *)
{
    if (!WritesIdle())
        return; // the last Apply still waits for the device
    if (!CheckInput())
        return;
    FormBinding *const addresses = LimitManagerIPs ? ManagerIPReq.get() : nullptr;
    if (addresses != nullptr && addresses->WasRead())
        for (TEdit *e : {Ed_IP1, Ed_IP2})
            if (e->Text().empty())
                e->SetText("0.0.0.0");
    StartWrites(
        Chain, LimitReq.get(),
        [this, addresses] {
            Chain.Put(LedGroup());
            Chain.Put(addresses);
            WriteConsole(Chain);
            Chain.Put(PingGroup());
            Chain.Put(ManagerVlanGroup());
            Chain.Put(ManagerVlanIdReq.get());
        },
        [this] {
            Chain.Show(StatusBar, Chain.Text("Set OK!", "Setting Error!"));
            // The filler goes again whatever the outcome.
            ClearZeroManagerIPs();
        });
}

void TFM_Admin2::CancelClick(TObject *)
{
    Close();
}
