#pragma once
// The capability probe: which features the device has (and a few settings the forms need
// before they open), read into hidden controls of the main window that the menus and forms
// consult, re-read every two seconds.
#include "KvSNMPVarList.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class TMainForm;
class TControl;
class KvSNMPRequest2Edits;
class KvSNMPRequest2Controls;
struct KvSNMPError;

// True when the device keeps settings pending until Save and Activate (its cSaveActivate
// object answered). False while that is not known yet.
extern bool gSaveActivateSupported;

// One probed object or group and how it is read.
struct CapabilityRow {
    int Row;                 // 1 .. 35, the probe order
    const KvSNMPItem *Items; // item table ended by an empty record
    KvSNMPItemType Type;     // SVT_SV, or MVT_SV for the AP mode
    const char *Format;      // edit format; null for combo boxes
    bool Sync;               // read waiting for the answer
    int32_t Timeout;         // in 10 ms units; 0 keeps the library default
    bool Reread;             // read again on every capability tick
    bool EmptiedWhenDead;    // emptied on every seventh tick when its re-read failed
};

// The 35 rows in probe order.
const std::vector<CapabilityRow> &CapabilityRows();

class TCapabilityProbe {
public:
    explicit TCapabilityProbe(TMainForm &form);
    ~TCapabilityProbe();
    TCapabilityProbe(const TCapabilityProbe &) = delete;
    TCapabilityProbe &operator=(const TCapabilityProbe &) = delete;

    // The start-up probe: builds every binding and reads the rows in order (the PC clock
    // written in between), then leaves the re-read to Tick.
    void Run();
    // One capability tick (Timer1): the re-reads, and on every seventh tick the emptying of
    // the rows whose re-read then fails.
    void Tick(KvSNMPRequest2Controls *ledStatus);
    // Stops every binding's deliveries and frees them.
    void Clear();

    KvSNMPRequest2Edits *Binding(int row) const;
    // The hidden controls of a row, in binding order.
    std::vector<TControl *> ControlsOf(int row) const;
    // True while the deferred-saving answer is still outstanding (a time-out so far).
    bool SaveActivateUnknown() const { return m_saveActivateUnknown; }
    int ProbeTickCount() const { return m_tickCount; }
    // How many re-reads the ticks have started (for the endurance run).
    uint64_t RereadsStarted() const { return m_rereads; }

private:
    void BuildRow(const CapabilityRow &row);
    void RowReadDone(int row, KvSNMPError *e);
    void ProbeSaveActivate();
    void SaveActivateAnswer(int32_t code);
    void WriteClock();
    void EmptyRow(int row);

    TMainForm &m_form;
    std::array<std::unique_ptr<KvSNMPRequest2Edits>, 36> m_bindings;
    std::array<bool, 36> m_emptyOnFailure{};
    int m_tickCount = 0;
    bool m_saveActivateUnknown = false;
    uint64_t m_rereads = 0;
};
