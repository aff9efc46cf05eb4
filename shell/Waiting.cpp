#include "Waiting.h"

#include "CapabilityProbe.h"
#include "FormGlobals.h"
#include "KvSNMPRequest2Edits.h"
#include "MainForm.h"
#include "Misc.h"

#include <string>

TFM_Waiting *FM_Waiting = nullptr;

namespace {

const KvSNMPItem kRebootItems[] = {
    {"1.3.6.1.4.1.32473.11.37.4.3.3.5", "upgradesettingcommand", KvSyntax::Integer, KvAccess::ReadWrite,
     &gUpgradesettingcommandNames},
    {},
};

TLabel *makeLabel(TFM_Waiting *form, const char *name, const char *text, int left, int top)
{
    auto *label = new TLabel(form);
    label->SetName(name);
    label->SetParent(form);
    label->SetText(text);
    label->SetLeft(left);
    label->SetTop(top);
    return label;
}

} // namespace

TFM_Waiting::TFM_Waiting(TComponent *AOwner) : TForm(AOwner)
{
    SetName("FM_Waiting");
    SetText("Please wait");
    SetBorderStyle(bsSingle);
    SetBorderIcons(true, false);
    SetClientWidth(249);
    SetClientHeight(70);
    SetPosition(poMainFormCenter);

    Timer1 = new TTimer(this);
    Timer1->SetName("Timer1");
    Timer1->SetInterval(1200);
    Timer1->OnTimer = [this](TObject *s) { Timer1Timer(s); };

    Label1 = makeLabel(this, "Label1", "Please waiting for", 40, 48);
    La_Time = makeLabel(this, "La_Time", "", 140, 48);
    seconds = makeLabel(this, "seconds", "seconds", 164, 48);
    Label2 = makeLabel(this, "Label2", "Settings saved.", 40, 8);
    Label3 = makeLabel(this, "Label3", "The device is restarting.", 40, 26);

    Ed_Reboot = new TEdit(this);
    Ed_Reboot->SetName("Ed_Reboot");
    Ed_Reboot->SetParent(this);
    Ed_Reboot->SetVisible(false);

    OnCreate = [this](TObject *s) { FormCreate(s); };
    OnCloseQuery = [this](TObject *s, bool &canClose) { FormCloseQuery(s, canClose); };
    OnClose = [this](TObject *s, TCloseAction &action) { FormClose(s, action); };
    // Created here, as a form built from its layout is, so that what a caller sets between
    // construction and showing (the count above all) is not reset when it is shown.
    DoCreate();
}

TFM_Waiting::~TFM_Waiting()
{
    Timer1->SetEnabled(false);
    if (FM_Waiting == this)
        FM_Waiting = nullptr;
}

void TFM_Waiting::FormCreate(TObject *)
{
    Countdown = 26;
}

void TFM_Waiting::FormCloseQuery(TObject *, bool &CanClose)
{
    CanClose = Countdown <= 0;
}

void TFM_Waiting::FormClose(TObject *, TCloseAction &)
{
    // A closed countdown is over: its timer must not keep re-enabling windows (later modal
    // forms may be open) nor restart the device after the user saw it end.
    Timer1->SetEnabled(false);
    m_closed = true;
    if (MainForm != nullptr)
        MainForm->SetEnabled(true);
    if (TForm *ssl = FindApplicationForm(FM_FirewareSSL))
        ssl->SetEnabled(true);
}

void TFM_Waiting::Timer1Timer(TObject *)
{
    if (m_closed)
        return;
    if (Countdown >= 1) {
        --Countdown;
        La_Time->SetText(std::to_string(Countdown));
    }
    --RebootDelay;
    const bool closing = Countdown < 1;
    // The restart step belongs to the same tick as the close that may come with it.
    if (!gSaveActivateSupported && RebootPending && RebootDelay < 1) {
        if (SendReboot)
            SendRebootCommand();
        RebootPending = false;
    }
    if (closing)
        Close();
}

void TFM_Waiting::SendRebootCommand()
{
    RebootRequest = std::make_unique<KvSNMPRequest2Edits>(this);
    RebootRequest->Request.VarList = KvSNMPVarList(kRebootItems, SVT_SV, 0);
    RebootRequest->AssociateEdits(0, "%s", Ed_Reboot);
    RebootRequest->OnSetDone = [this](KvSNMPRequest2Controls *s, KvSNMPError *e) { RebootSetDone(s, e); };
    Ed_Reboot->SetText("Reboot");
    RebootRequest->Set(true, true, "");
    ++m_rebootsSent;
}

void TFM_Waiting::RebootSetDone(KvSNMPRequest2Controls *, KvSNMPError *)
{
    // Freed from the event loop: the binding is still inside its own completion here.
    Post([this] { RebootRequest.reset(); });
}
