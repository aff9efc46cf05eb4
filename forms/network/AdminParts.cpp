#include "AdminParts.h"

#include "MainMenu.h"

namespace {

const char *const kPingLabel = "Ping Control Setting";

std::unique_ptr<FormBinding> SyncBinding(TForm *form, const FormItemTable &items, KvSNMPItemType type,
                                         const AnsiString &label, TObject *log = nullptr)
{
    return MakeBinding(
        form, {.Items = items, .Label = label.c_str(), .Type = type, .Mode = BindMode::Sync, .Log = log});
}

// A group box's caption as a status text names the group: without its surrounding blanks.
AnsiString CaptionLabel(const char *caption)
{
    const AnsiString text = caption;
    const auto first = text.find_first_not_of(' ');
    return first == AnsiString::npos ? AnsiString()
                                     : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

void AdminLoginParts::MakeLoginEdits(TWinControl *parent, int left, int editLeft, int top, int rowHeight)
{
    const char *const captions[] = {"User Name", "Old Password", "New Password", "Confirm New Password"};
    const char *const labels[] = {"Label1", "Label2", "Label3", "Label4"};
    const char *const edits[] = {"Ed_Usr", "Ed_OPwd", "Ed_NPwd", "Ed_CNP"};
    TLabel **labelMembers[] = {&Label1, &Label2, &Label3, &Label4};
    TEdit **editMembers[] = {&Ed_Usr, &Ed_OPwd, &Ed_NPwd, &Ed_CNP};
    for (int i = 0; i < 4; ++i) {
        const int y = top + rowHeight * i;
        *labelMembers[i] =
            Make<TLabel>(parent, labels[i], {left, y + 2, editLeft - left - 8, 16}, captions[i]);
        *editMembers[i] = Make<TEdit>(parent, edits[i], {editLeft, y, 150, 21});
        if (i > 0)
            (*editMembers[i])->SetPasswordChar('*');
    }
    Ed_Pwd = Make<TEdit>(parent, "Ed_Pwd", {editLeft, top, 150, 21});
    Ed_Pwd->SetVisible(false);
}

void AdminLoginParts::ReadLogin(TForm *form, TStatusBar *log)
{
    LoginReq = SyncBinding(form, kAdminLoginItems, SVT_SV, LoginLabel, log);
    LoginReq->AssociateEdits(0, "%s", Ed_Usr);
    LoginReq->AssociateEdits(1, "%s", Ed_Pwd);
    LoginReq->Get();
}

void AdminLoginParts::SetLoginEditLimits()
{
    Ed_Usr->SetMaxLength(64);
    for (TEdit *e : {Ed_OPwd, Ed_NPwd, Ed_CNP})
        e->SetMaxLength(12);
}

void AdminLoginParts::PrefillPasswords()
{
    for (TEdit *e : {Ed_OPwd, Ed_NPwd, Ed_CNP})
        e->SetText(Ed_Pwd->Text());
}

void AdminSettingsParts::MakeSharedGroups(TForm *form, const AdminGroupsLayout &l)
{
    LoginLabel = CaptionLabel(l.LoginCaption);
    m_consoleLabel = CaptionLabel(l.ConsoleCaption);
    m_ledLabel = CaptionLabel(l.LedCaption);
    GroupBox2 = Make<TGroupBox>(form, "GroupBox2", l.ManagerIPs, " Limit Administrator IP ");
    CkBx_ManagerState = Make<TCheckBox>(GroupBox2, "CkBx_ManagerState", {12, 20, 20, 17});
    Label5 = Make<TLabel>(GroupBox2, "Label5", {36, 22, 160, 16}, "Limit Administrator IP 1");
    Ed_IP1 = Make<TEdit>(GroupBox2, "Ed_IP1", {200, 20, 150, 21});
    Label6 = Make<TLabel>(GroupBox2, "Label6", {36, 52, 160, 16}, "Limit Administrator IP 2");
    Ed_IP2 = Make<TEdit>(GroupBox2, "Ed_IP2", {200, 50, 150, 21});

    GroupBox1 = Make<TGroupBox>(form, "GroupBox1", l.Login, l.LoginCaption);
    MakeLoginEdits(GroupBox1, 12, 200, 22, 30);

    GroupBox3 = Make<TGroupBox>(form, "GroupBox3", l.Console, l.ConsoleCaption);
    Label7 = Make<TLabel>(GroupBox3, "Label7", {12, 24, 110, 16}, "Console Protocol");
    RB_None = Make<TRadioButton>(GroupBox3, "RB_None", {130, 22, 64, 17}, "None ");
    RB_Telnet = Make<TRadioButton>(GroupBox3, "RB_Telnet", {200, 22, 76, 17}, "Telnet");
    RB_SHH = Make<TRadioButton>(GroupBox3, "RB_SHH", {282, 22, 64, 17}, "SSH");
    Label8 = Make<TLabel>(GroupBox3, "Label8", {12, 54, 110, 16}, "Timeout");
    CB_Timeout = Make<TComboBox>(GroupBox3, "CB_Timeout", {130, 52, 120, 21});

    GB_Led = Make<TGroupBox>(form, "GB_Led", l.Led, l.LedCaption);
    CB_Led = Make<TCheckBox>(GB_Led, "CB_Led", {12, 22, 160, 17}, "LED Status");

    CB_Telnet = Make<TComboBox>(form, "CB_Telnet", {8, 0, 80, 21});
    CB_SHH = Make<TComboBox>(form, "CB_SHH", {8, 0, 80, 21});
    Ed_PingSupport = Make<TEdit>(form, "Ed_PingSupport", {8, 0, 80, 21});
    CB_VLanState = Make<TCheckBox>(form, "CB_VLanState", {8, 0, 80, 17});
    for (TControl *c : std::initializer_list<TControl *>{CB_Telnet, CB_SHH, Ed_PingSupport, CB_VLanState})
        c->SetVisible(false);

    OK = Make<TButton>(form, "OK", {8, 0, 75, 25}, "Apply");
    Cancel = Make<TButton>(form, "Cancel", {8, 0, 75, 25}, "Cancel");
    StatusBar = Make<TStatusBar>(form, "StatusBar");
}

void AdminSettingsParts::ReadConsoleGroups(TForm *form)
{
    ConsoleReq = SyncBinding(form, kAdminConsoleItems, SVT_SV, m_consoleLabel, StatusBar);
    ConsoleReq->AssociateCombo(0, CB_Telnet);
    ConsoleReq->AssociateCombo(1, CB_Timeout);
    ConsoleReq->Get();

    SshReq = SyncBinding(form, kAdminSshItems, SVT_SV, "SSH");
    SshReq->AssociateCombo(0, CB_SHH);
    SshSupported = SshReq->Get() ? 1 : 0;
    RB_SHH->SetVisible(SshSupported != 0);
}

bool AdminSettingsParts::ReadManagerIPs(TForm *form)
{
    ManagerIPReq = SyncBinding(form, kAdminManagerIPItems, MVT_SV, "Limit Administrator IP 1 and 2");
    ManagerIPReq->AssociateEdits(0, "%s", Ed_IP1);
    ManagerIPReq->AssociateEdits(1, "%s", Ed_IP2);
    return ManagerIPReq->Get();
}

void AdminSettingsParts::ReadLed(TForm *form)
{
    LedReq = SyncBinding(form, kAdminLedItems, SVT_SV, m_ledLabel);
    LedReq->Associate(0, CB_Led);
    LedSupported = LedReq->Get() ? 1 : 0;
    GB_Led->SetVisible(LedSupported != 0);
}

void AdminSettingsParts::ReadLimit(TForm *form, TCheckBox *box, KvSNMPDoneEvent gotDone)
{
    LimitReq = MakeBinding(form, {.Items = kAdminLimitItems,
                                  .Label = "Limit Administrator IP",
                                  .Type = SVT_SV,
                                  .Mode = BindMode::Async,
                                  .OnGetDone = std::move(gotDone)});
    LimitReq->Associate(0, box);
    LimitReq->Get();
}

void AdminSettingsParts::ReadPing(TForm *form, TControl *control)
{
    PingSupportReq = SyncBinding(form, kAdminPingSupportItems, SVT_SV, kPingLabel);
    PingSupportReq->AssociateEdits(0, "%s", Ed_PingSupport);
    PingSupportReq->Get();
    if (CapabilityNumber(Ed_PingSupport->Text()) != 1)
        return;
    PingReq = SyncBinding(form, kAdminPingItems, SVT_SV, kPingLabel);
    PingReq->Associate(0, control);
    PingReq->Get();
}

void AdminSettingsParts::ReadVlanState(TForm *form)
{
    VlanStateReq = SyncBinding(form, kAdminVlanStateItems, SVT_SV, "Multi-SSID and VLAN");
    VlanStateReq->Associate(0, CB_VLanState);
    VlanStateReq->Get();
}

void AdminSettingsParts::ReadManagerVlan(TForm *form, TCheckBox *stateBox)
{
    ManagerVlanReq = SyncBinding(form, kAdminManagerVlanItems, SVT_SV, "Limit Administrator VID");
    ManagerVlanReq->Associate(0, stateBox);
    ManagerVlanSupported = ManagerVlanReq->Get() ? 1 : 0;
    if (!ManagerVlanSupported)
        return;
    ManagerVlanIdReq = SyncBinding(form, kAdminManagerVlanIdItems, SVT_SV, "Administrator VID");
    ManagerVlanIdReq->AssociateEdits(0, "%s", Ed_VID);
    ManagerVlanIdReq->Get();
}

bool AdminSettingsParts::CheckManagerVlan(TCheckBox *vidBox, const std::function<void()> &tidy)
{
    // An ID that was not read is not written: its empty edit is no input to refuse.
    if (ManagerVlanIdReq && ManagerVlanIdReq->WasRead() && !IsValidManagerVlanId(Ed_VID->Text())) {
        AdminWarning("Please input a number between 0 and 4095.", "Error");
        tidy();
        FocusControl(Ed_VID);
        return false;
    }
    // Nor does an unread VLAN state pass for VLANs switched off.
    if (VlanStateReq && VlanStateReq->WasRead() && !CB_VLanState->Checked() && vidBox->Checked()) {
        AdminWarning("Please enable Multi-SSID and VLAN first!");
        vidBox->SetChecked(false);
        return false;
    }
    return true;
}

bool AdminSettingsParts::CheckReadLogin(const LoginCheckTexts &texts)
{
    // An unread password would be no current password to compare with.
    return !LoginReq || !LoginReq->WasRead() || CheckLogin(Login(), texts);
}

FormBinding *AdminSettingsParts::PingGroup() const
{
    return PingReq ? PingReq.get() : UnlessLacking(PingSupportReq, false);
}

void AdminSettingsParts::ShowConsole()
{
    m_deviceConsole = ShowConsoleState(Console(), ConsoleReq && ConsoleReq->WasRead());
}

bool AdminSettingsParts::WriteConsoleGroups(WriteChain &chain, ConsoleProtocol protocol, bool chosen,
                                            BesideWrites &beside)
{
    // The time-out goes with the chosen protocol; switching off and restoring write the
    // protocol alone, and both objects whatever the first did.
    const bool timeout = chosen && protocol != ConsoleProtocol::None;
    const AccessPatch items(*ConsoleReq, {{kAdminConsoleItems.IndexOf("telnet"), KvAccess::ReadWrite},
                                          {kAdminConsoleItems.IndexOf("timeout"),
                                           timeout ? KvAccess::ReadWrite : KvAccess::Invalid}});
    ShowConsoleValues(Console(), protocol);
    if (chosen) {
        chain.Put(ConsoleReq.get());
        chain.Put(SshGroup());
        return chain.GoesOn();
    }
    const bool telnetOk = beside.Write(ConsoleReq.get());
    return beside.Write(SshSupported && SshReq->WasRead() ? SshReq.get() : nullptr) && telnetOk;
}

void AdminSettingsParts::WriteConsole(WriteChain &chain)
{
    if (chain.Stopped() || !ConsoleReq)
        return;
    if (!ConsoleReq->WasRead()) {
        chain.Put(ConsoleReq.get()); // left out, named
        return;
    }
    const ConsoleControls c = Console();
    const ConsoleProtocol chosen = ChosenConsole(c);
    const ConsoleSwitch done =
        SwitchConsole(chain, ConsoleReq->Label(), m_deviceConsole, {ConsoleReq.get(), SshReq.get()}, chosen,
                      [this, &chain](ConsoleProtocol protocol, bool isChosen, BesideWrites &beside) {
                          return WriteConsoleGroups(chain, protocol, isChosen, beside);
                      });
    if (done == ConsoleSwitch::Done)
        m_deviceConsole = chosen;
    // The hidden values follow the user's choice again.
    ConsoleRadioClick(c);
}

void AdminSettingsParts::StartWrites(WriteChain &chain, FormBinding *limit, std::function<void()> rest,
                                     std::function<void()> ended)
{
    m_oldPassword = Ed_Pwd->Text();
    Ed_Pwd->SetText(Ed_NPwd->Text());
    m_writesIdle = false;
    chain.Begin();
    chain.Put(LoginReq.get());
    chain.PutThen(limit, {}, [this, &chain, rest = std::move(rest), ended = std::move(ended)](bool) {
        rest();
        if (!chain.Wrote(LoginReq.get()))
            Ed_Pwd->SetText(m_oldPassword);
        m_writesIdle = true;
        ended();
    });
}
