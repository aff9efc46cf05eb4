#include "TFM_Misc.h"

#include "FormGlobals.h"
#include "Misc.h"

namespace {

const char *const kConsoleLabel = "Console Settings";

const FormItemTable kConsoleItems = {
    {"3.4.1", "telnet", KvSyntax::Integer, KvAccess::ReadWrite, &gTelnetNames},
    {"3.4.2", "timeout", KvSyntax::Integer, KvAccess::ReadWrite, &gTimeoutNames},
};

const FormItemTable kSSHItems = {
    {"3.4.3", "ssh", KvSyntax::Integer, KvAccess::ReadWrite, &gSshNames},
};

} // namespace

TFM_Misc::TFM_Misc(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_Misc", "Tools \\ Misc.", 330, 188});
    GB_Telnet = Make<TGroupBox>(this, "GB_Telnet", {8, 8, 314, 124}, " Console Settings  ");
    Label1 = Make<TLabel>(GB_Telnet, "Label1", {16, 28, 110, 16}, "Status");
    CB_Status = Make<TCheckBox>(GB_Telnet, "CB_Status", {136, 26, 100, 17}, "Enable");
    Label2 = Make<TLabel>(GB_Telnet, "Label2", {16, 60, 110, 16}, "Console Protocol");
    CB_Telnet = Make<TRadioButton>(GB_Telnet, "CB_Telnet", {136, 58, 70, 17}, "Telnet");
    CB_SSH = Make<TRadioButton>(GB_Telnet, "CB_SSH", {216, 58, 60, 17}, "SSH");
    CB_Telnet->SetChecked(true);
    Label3 = Make<TLabel>(GB_Telnet, "Label3", {16, 92, 110, 16}, "Timeout");
    CB_Timeout = Make<TComboBox>(GB_Telnet, "CB_Timeout", {136, 88, 100, 21});
    TelnetCoBox = Make<TComboBox>(this, "TelnetCoBox", {8, 0, 60, 21});
    SHHCoBox = Make<TComboBox>(this, "SHHCoBox", {72, 0, 60, 21});
    TelnetCoBox->SetVisible(false);
    SHHCoBox->SetVisible(false);
    Bt_Rfresh = Make<TButton>(this, "Bt_Rfresh", {80, 140, 75, 25}, "Refresh");
    Bt_Apply = Make<TButton>(this, "Bt_Apply", {172, 140, 75, 25}, "Apply");
    StatusBar = Make<TStatusBar>(this, "StatusBar");

    Bt_Rfresh->OnClick = [this](TObject *s) { Bt_RfreshClick(s); };
    Bt_Apply->OnClick = [this](TObject *s) { Bt_ApplyClick(s); };
    CB_Status->OnClick = [this](TObject *s) { CB_StatusClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
}

void TFM_Misc::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        ConsoleReq = MakeBinding(this, {.Items = kConsoleItems,
                                        .Label = kConsoleLabel,
                                        .Type = SVT_SV,
                                        .Mode = BindMode::Sync,
                                        .Log = StatusBar});
        ConsoleReq->AssociateCombo(0, TelnetCoBox);
        ConsoleReq->AssociateCombo(1, CB_Timeout);
        ConsoleReq->Get();
        SSHReq =
            MakeBinding(this, {.Items = kSSHItems, .Label = "SSH", .Type = SVT_SV, .Mode = BindMode::Sync});
        SSHReq->AssociateCombo(0, SHHCoBox);
        SSHSupported = SSHReq->Get();
        CB_SSH->SetVisible(SSHSupported);
        UpdateConsoleState();
        ShowConsoleProtocol();
        ShowUnread();
    });
}

void TFM_Misc::ShowUnread()
{
    // An SSH the device answered it lacks is no failure: only one it left unanswered is named.
    ShowReadFailure(StatusBar, {ConsoleReq.get(), UnlessLacking(SSHReq, SSHSupported)});
}

void TFM_Misc::Bt_RfreshClick(TObject *)
{
    if (ConsoleReq)
        ConsoleReq->Get();
    if (SSHReq && SSHSupported) {
        SSHReq->Get();
    } else if (SSHReq) {
        // An SSH object that did not answer at opening may have been a silent device.
        SSHSupported = ReadAgainIfUnread(SSHReq.get());
        CB_SSH->SetVisible(SSHSupported);
    }
    UpdateConsoleState();
    ShowConsoleProtocol();
    ShowUnread();
}

bool TFM_Misc::ConsoleRead() const
{
    return ConsoleReq && ConsoleReq->WasRead();
}

void TFM_Misc::UpdateConsoleState()
{
    // An SSH the device lacks, or that could not be read, is no console; a console that could
    // not be read is shown neither on nor off.
    const bool sshOn = SSHReq && SSHReq->WasRead() && SHHCoBox->ItemIndex() != 0;
    const bool on = ConsoleRead() && (TelnetCoBox->ItemIndex() != 0 || sshOn);
    // Both on shows Telnet, as the protocol choice does.
    m_held = !ConsoleRead()                  ? ConsoleProtocol::Unknown
             : TelnetCoBox->ItemIndex() != 0 ? ConsoleProtocol::Telnet
             : sshOn                         ? ConsoleProtocol::Ssh
                                             : ConsoleProtocol::None;
    if (ConsoleRead())
        CB_Status->SetChecked(on);
    else
        CB_Status->SetNeither();
    CB_StatusClick(CB_Status);
}

void TFM_Misc::ShowConsoleProtocol()
{
    if (!ConsoleRead()) {
        CB_Telnet->SetChecked(false);
        CB_SSH->SetChecked(false);
    } else if (TelnetCoBox->ItemIndex() == 1)
        CB_Telnet->SetChecked(true);
    else if (SSHReq && SSHReq->WasRead() && SHHCoBox->ItemIndex() == 1)
        CB_SSH->SetChecked(true);
    else
        CB_Telnet->SetChecked(true);
}

void TFM_Misc::CB_StatusClick(TObject *)
{
    const bool on = CB_Status->Checked();
    CB_Telnet->SetEnabled(on);
    CB_SSH->SetEnabled(on);
    CB_Timeout->SetEnabled(on);
}

bool TFM_Misc::WriteConsole(ConsoleProtocol protocol, bool chosen, BesideWrites &beside)
{
    TelnetCoBox->SetItemIndex(protocol == ConsoleProtocol::Telnet ? 1 : 0);
    SHHCoBox->SetItemIndex(protocol == ConsoleProtocol::Ssh ? 1 : 0);
    // The time-out goes with the user's choice only: switching off first and putting back what
    // the device had leave it alone, so a refused switch leaves no new time-out behind.
    const AccessPatch items(*ConsoleReq, {{1, chosen ? KvAccess::ReadWrite : KvAccess::Invalid}});
    // An SSH whose answer was lost is named by the chain, and left alone beside it.
    if (chosen) {
        Chain.Put(ConsoleReq.get());
        Chain.Put(UnlessLacking(SSHReq, SSHSupported));
        return Chain.GoesOn();
    }
    return beside.Write(ConsoleReq.get()) &&
           beside.Write(SSHSupported && SSHReq->WasRead() ? SSHReq.get() : nullptr);
}

void TFM_Misc::Bt_ApplyClick(TObject *)
{
    StatusBar->SetSimpleText("");
    Chain.Begin();
    // Unread on/off objects would go out as "console off": the chain leaves them out, named.
    if (!ConsoleRead()) {
        Chain.Put(ConsoleReq.get());
        Chain.Show(StatusBar, Chain.Text("Setting Success!", "Setting Error!"));
        return;
    }
    const ConsoleProtocol chosen = !CB_Status->Checked() ? ConsoleProtocol::None
                                   : CB_SSH->Checked()   ? ConsoleProtocol::Ssh
                                                         : ConsoleProtocol::Telnet;
    const ConsoleSwitch done =
        SwitchConsole(Chain, kConsoleLabel, m_held, {ConsoleReq.get(), SSHReq.get()}, chosen,
                      [this](ConsoleProtocol protocol, bool isChosen, BesideWrites &beside) {
                          return WriteConsole(protocol, isChosen, beside);
                      });
    if (done == ConsoleSwitch::OffRefused)
        Application->MessageBox("Set error!Please reset.", "Warning", MB_OK);
    if (done == ConsoleSwitch::Done) {
        m_held = chosen;
        RunCountdownWindow({});
    }
    Chain.Show(StatusBar, Chain.Text("Setting Success!", "Setting Error!"));
}
