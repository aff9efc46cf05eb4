#pragma once
// The synchronous reads of one form's opening or Refresh, waiting for the device as
// KvSNMPDeviceWait does. A read that times out while the device answered nothing at all
// (another request to it timed out meanwhile, or a short probe got no answer), or that the user
// gave up, ends the rest of the batch's reads at once with the same time-out error, so a device
// that went away costs one time-out, not one per group; a device that answers other requests
// loses only the group whose answer was lost. Batches nest: an inner one's reads belong to the
// outermost.
#include "KvSNMPDeviceWait.h"

class Snmp;

class KvSNMPReadBatch {
public:
    KvSNMPReadBatch();
    ~KvSNMPReadBatch();
    KvSNMPReadBatch(const KvSNMPReadBatch &) = delete;
    KvSNMPReadBatch &operator=(const KvSNMPReadBatch &) = delete;

private:
    Snmp *m_session = nullptr;
    KvSNMPDeviceWait m_wait;
};
