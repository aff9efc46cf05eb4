#pragma once
// The synchronous reads of one form's opening or Refresh. While they wait for the device,
// every window stays painted, timers and answers go on and keyboard and mouse input is kept
// for later; an ending application makes them give up. Once one of them times out, the rest
// end at once with the same time-out error, so a device that stopped answering costs one
// time-out, not one per group. Batches nest: an inner one's reads belong to the outermost.

class Snmp;

class KvSNMPReadBatch {
public:
    KvSNMPReadBatch();
    ~KvSNMPReadBatch();
    KvSNMPReadBatch(const KvSNMPReadBatch &) = delete;
    KvSNMPReadBatch &operator=(const KvSNMPReadBatch &) = delete;

private:
    Snmp *m_session = nullptr;
    bool m_installedWait = false;
};
