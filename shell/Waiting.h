#pragma once
// The restart countdown: a small modal "Please wait" window that counts down in ticks of
// 1200 ms while the device restarts, refuses to close before the count is out, and (unless
// the caller says otherwise or the device keeps changes pending) sends the device its
// restart command at the tick given by RebootDelay.
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

#include <memory>

class KvSNMPRequest2Edits;
class KvSNMPRequest2Controls;
struct KvSNMPError;

class TFM_Waiting : public TForm {
public:
    explicit TFM_Waiting(TComponent *AOwner);
    ~TFM_Waiting() override;

    TTimer *Timer1;
    TLabel *Label1;
    TLabel *La_Time;
    TLabel *seconds;
    TLabel *Label2;
    TLabel *Label3;
    TEdit *Ed_Reboot;

    bool RebootPending = true;
    // The restart binding while its set is under way; freed once the set has completed.
    std::unique_ptr<KvSNMPRequest2Edits> RebootRequest;
    int32_t Countdown = 26;
    bool SendReboot = true;
    int32_t RebootDelay = 2;

    void FormCreate(TObject *Sender);
    void FormCloseQuery(TObject *Sender, bool &CanClose);
    void FormClose(TObject *Sender, TCloseAction &Action);
    void Timer1Timer(TObject *Sender);

    // How many restart commands this window has sent (0 or 1).
    int RebootsSent() const { return m_rebootsSent; }

private:
    void SendRebootCommand();
    void RebootSetDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    int m_rebootsSent = 0;
    bool m_closed = false;
};

// The countdown window made last (Save and Activate keeps its own in gWaitingForm).
extern TFM_Waiting *FM_Waiting;
