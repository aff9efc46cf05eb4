#include "TFM_Sytem.h"

#include "FormGlobals.h"
#include "KvSNMPErrors.h"
#include "Misc.h"
#include "Waiting.h"

namespace {

const FormItemTable kAPModeItems = {
    {"2.1.1.1.1", "adAPMode", KvSyntax::Integer, KvAccess::ReadWrite, &gAdAPModeNames2},
    {"2.3.1.11.1", "adSuperMode", KvSyntax::Integer, KvAccess::ReadWrite, &gAdSuperModeNames},
};

const FormItemTable kRestartItems = {
    {"3.2.1", "Restart", KvSyntax::Integer, KvAccess::ReadWrite, &gRestartNames},
    {"3.2.2", "FactoryDefault", KvSyntax::Integer, KvAccess::ReadWrite, &gFactoryDefaultNames},
};
const int kFactoryDefault = 1;

// The device refused the write (an error status in its answer); no answer at all is what a
// restarting device gives.
bool IsErrorAnswer(const KvSNMPError *e)
{
    return e != nullptr && KvSNMPCode::IsAgentError(e->Code);
}

} // namespace

TFM_Sytem::TFM_Sytem(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_Sytem", "Tools \\ System", 340, 112});
    SetBorderIcons(true, false);
    Label1 = Make<TLabel>(this, "Label1", {16, 20, 220, 16}, "Apply Settings and Restart ");
    Button1 = Make<TButton>(this, "Button1", {248, 16, 75, 25}, "Restart");
    Label2 = Make<TLabel>(this, "Label2", {16, 56, 220, 16}, "Restore to Factory Default Settings");
    Button2 = Make<TButton>(this, "Button2", {248, 52, 75, 25}, "Restore");
    CB_Restart = Make<TComboBox>(this, "CB_Restart", {16, 0, 60, 21});
    CB_Restore = Make<TComboBox>(this, "CB_Restore", {80, 0, 60, 21});
    ED_APModeComboBox = Make<TComboBox>(this, "ED_APModeComboBox", {144, 0, 60, 21});
    for (TComboBox *hidden : {CB_Restart, CB_Restore, ED_APModeComboBox})
        hidden->SetVisible(false);
    StatusBar = Make<TStatusBar>(this, "StatusBar");

    Button1->OnClick = [this](TObject *s) { Button1Click(s); };
    Button2->OnClick = [this](TObject *s) { Button2Click(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    OnCloseQuery = [this](TObject *s, bool &canClose) { FormCloseQuery(s, canClose); };
    Guard.Watch(RestartReq);
}

void TFM_Sytem::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        APModeReq = MakeBinding(
            this, {.Items = kAPModeItems, .Label = "AP Mode", .Type = MVT_SV, .Mode = BindMode::Sync});
        APModeReq->AssociateCombo(0, ED_APModeComboBox);
        APModeReq->Get();
        RestartReq = MakeBinding(
            this, {.Items = kRestartItems,
                   .Label = "Restart and Restore",
                   .Type = SVT_SV,
                   .Mode = BindMode::Async,
                   .Log = StatusBar,
                   // After its log line: the groups the opening could not read.
                   .OnGetDone = [this](KvSNMPRequest2Controls *, KvSNMPError *) { ShowUnread(); },
                   .OnSetDone = [this](KvSNMPRequest2Controls *s, KvSNMPError *e) { RestartSetDone(s, e); }});
        // A command runs once: a retry would restart the device twice.
        RestartReq->Request.Retries = 0;
        RestartReq->AssociateCombo(0, CB_Restart);
        RestartReq->AssociateCombo(1, CB_Restore);
        RestartReq->Get();
    });
    ShowUnread();
}

void TFM_Sytem::ShowUnread()
{
    if (RestartReq && RestartReq->LastRead() == ReadState::Reading)
        return; // its completion tells
    ShowReadFailure(StatusBar, {APModeReq.get(), RestartReq.get()});
}

void TFM_Sytem::FormCloseQuery(TObject *, bool &CanClose)
{
    CanClose = Guard.CanClose();
}

void TFM_Sytem::Button1Click(TObject *)
{
    RestartDevice(false, {.Caption = AnsiString("System is rebooting, please waiting.....")});
}

void TFM_Sytem::Button2Click(TObject *)
{
    RestartDevice(true, {.Caption = AnsiString("System is rebooting, please waiting.....!"),
                         .Label3 = AnsiString("The system IP will be 192.168.0.50 !")});
}

void TFM_Sytem::RestartDevice(bool factoryDefaults, const CountdownSteps &wait)
{
    // An exception of the library ends the handler with its text in the status bar.
    GuardCreate(StatusBar, [&] {
        if (Application->MessageBox("Device will reboot, continue?", "Warning", MB_OKCANCEL) != IDOK)
            return;
        if (!RestartReq)
            return;
        CB_Restart->SetItemIndex(0);
        bool started = false;
        if (factoryDefaults) {
            CB_Restore->SetItemIndex(0);
            started = RestartReq->Set(true, true);
        } else {
            // The factory object as read is not written: a device that reported "True" there
            // would be reset by a plain restart.
            AccessPatch restartOnly(*RestartReq, {{kFactoryDefault, KvAccess::ReadOnly}});
            started = RestartReq->Set(true, true);
        }
        if (!started)
            return;
        CountdownSteps steps = wait;
        steps.SendReboot = false;
        // An AP mode other than "Access Point" (or none read) takes longer to come back.
        steps.Countdown = ED_APModeComboBox->ItemIndex() == 0 ? 26 : 46;
        RunCountdownWindow(steps);
    });
}

void TFM_Sytem::RestartSetDone(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    // The device said no: it is not restarting, so there is nothing to wait for. The request
    // log line in the status bar names the error.
    if (IsErrorAnswer(Status))
        EndCountdown();
}
