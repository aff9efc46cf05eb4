#include "SaveActivate.h"

#include "CapabilityProbe.h"
#include "EventLoop.h"
#include "KvSNMPRequest.h"
#include "KvSNMPRequest2Edits.h"
#include "MainForm.h"
#include "Waiting.h"

#include <algorithm>

namespace {

constexpr int kSaveActivateRow = 21;
constexpr int kSaveItem = 0;
constexpr int kDiscardItem = 1;

bool anyOutstanding(const std::vector<KvSNMPRequest *> &requests)
{
    return std::any_of(requests.begin(), requests.end(),
                       [](const KvSNMPRequest *r) { return r != nullptr && r->Outstanding > 0; });
}

} // namespace

int32_t ActivationCountdownTicks(int apModeIndex)
{
    return apModeIndex != 0 ? 46 : 26;
}

void StopRequestsWithin(const std::vector<KvSNMPRequest *> &requests, int waitMs)
{
    // No answer is taken in any more, and walks send no further row.
    for (KvSNMPRequest *r : requests)
        if (r != nullptr)
            r->Alive = 0;
    kv::handleEventsUntil([&] { return !anyOutstanding(requests); }, waitMs);
    // What is still out after the common wait is given up, so that no destructor waits
    // once more for it (each would wait its own six seconds).
    for (KvSNMPRequest *r : requests)
        if (r != nullptr)
            r->Outstanding = 0;
}

KvSNMPRequest2Edits *TMainForm::SaveActivateBinding() const
{
    return Probe ? Probe->Binding(kSaveActivateRow) : nullptr;
}

void TMainForm::SendSaveActivateSet(int item, TComboBox *combo)
{
    KvSNMPRequest2Edits *b = SaveActivateBinding();
    if (b == nullptr)
        return;
    KvSNMPVarList &list = b->Request.VarList;
    list.GetItem(item)->Access = KvAccess::ReadWrite;
    list.GetItem(item == kSaveItem ? kDiscardItem : kSaveItem)->Access = KvAccess::Invalid;
    combo->SetItemIndex(1);
    b->Set(true, true, "");
}

void TMainForm::cfgSave1Click(TObject *)
{
    if (SaveActivateBinding() == nullptr)
        return;
    const bool timerWasOn = Timer1->Enabled();
    const bool wasPending = gSaveActivatePending;
    Timer1->SetEnabled(false);
    gSaveActivatePending = true;
    SaveActivateOperation = SaveActivateOp::Save;
    try {
        SendSaveActivateSet(kSaveItem, CB_Active);
    } catch (...) {
        // Nothing went out: no completion will put these back.
        Timer1->SetEnabled(timerWasOn);
        gSaveActivatePending = wasPending;
        throw;
    }
}

void TMainForm::cfgDiscard1Click(TObject *)
{
    if (SaveActivateBinding() == nullptr)
        return;
    if (Application->MessageBox("All of your changes will be discarded! continue?", "Warning", MB_OKCANCEL) !=
        IDOK)
        return;
    SaveActivateOperation = SaveActivateOp::Discard;
    SendSaveActivateSet(kDiscardItem, CB_Discard);
}

void TMainForm::SaveActivateDone(KvSNMPRequest2Controls *, KvSNMPError *e)
{
    if (ShuttingDown)
        return;
    const bool ok = e != nullptr && e->Code == 0;
    if (ok && gSaveActivatePending) {
        gSaveActivatePending = false;
        ActivationCountdownActive = true;
        // A modal window must not run inside this completion: it is shown from the event
        // loop, and the capability re-read stays off until it has closed.
        const int32_t ticks = ActivationCountdownTicks(ED_APModeComboBox->ItemIndex());
        Post([this, ticks] { ShowActivationCountdown(ticks); });
        return;
    }
    if (!ok) {
        const AnsiString message = e != nullptr ? e->Message : AnsiString("Setting Error!");
        Post([message] { Application->MessageBox(message, "Warning", MB_OK | MB_ICONWARNING); });
    }
    gSaveActivatePending = false;
    if (!ActivationCountdownActive)
        Timer1->SetEnabled(true);
}

void TMainForm::ShowActivationCountdown(int32_t ticks)
{
    struct Resume {
        TMainForm *form;
        ~Resume()
        {
            form->ActivationCountdownActive = false;
            if (!form->ShuttingDown)
                form->Timer1->SetEnabled(true);
        }
    } resume{this};
    if (ShuttingDown)
        return;
    delete gWaitingForm;
    gWaitingForm = nullptr;
    // Created first, so that its creation handler does not overwrite the count set here.
    gWaitingForm = TForm::Create<TFM_Waiting>(Application);
    gWaitingForm->Countdown = ticks;
    gWaitingForm->ShowModal();
}

void TMainForm::ShutDown()
{
    if (ShuttingDown)
        return;
    ShuttingDown = true;
    // The module is ending: a new start for this device need not wait for what follows.
    m_lock.reset();
    Timer1->SetEnabled(false);
    LedStatus->SetEnabled(false);
    LedBlink->SetEnabled(false);

    std::vector<KvSNMPRequest *> requests;
    if (Probe)
        for (int row = 1; row <= 35; ++row)
            if (KvSNMPRequest2Edits *b = Probe->Binding(row))
                requests.push_back(&b->Request);
    if (SysDescrReq)
        requests.push_back(SysDescrReq.get());
    if (LedStatusReq)
        requests.push_back(&LedStatusReq->Request);
    if (ClientInfoReq)
        requests.push_back(&ClientInfoReq->Request);
    StopRequestsWithin(requests);

    if (Probe)
        Probe->Clear();
    SysDescrReq.reset();
    ClientInfoReq.reset();
    LedStatusReq.reset();
    Probe.reset();
}
