#include "KvSNMPReadBatch.h"

#include "EventLoop.h"
#include "Forms.h"
#include "KvSNMPRequest.h"
#include "Snmp.h"

KvSNMPReadBatch::KvSNMPReadBatch() : m_session(gKvSNMPSession)
{
    if (!m_session)
        return;
    m_session->begin_read_batch();
    // A wait of an enclosing batch (or of the start-up) stays: it paints already.
    if (!m_session->blocking_wait()) {
        m_installedWait = true;
        m_session->set_blocking_wait([](int ms) {
            kv::waitForEventsExceptInput(ms);
            return !(Application != nullptr && Application->Terminated());
        });
    }
}

KvSNMPReadBatch::~KvSNMPReadBatch()
{
    if (!m_session)
        return;
    if (m_installedWait)
        m_session->set_blocking_wait(nullptr);
    m_session->end_read_batch();
}
