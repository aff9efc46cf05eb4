#include "KvSNMPReadBatch.h"

#include "KvSNMPRequest.h"
#include "Snmp.h"

KvSNMPReadBatch::KvSNMPReadBatch() : m_session(gKvSNMPSession)
{
    if (m_session)
        m_session->begin_read_batch();
}

KvSNMPReadBatch::~KvSNMPReadBatch()
{
    if (m_session)
        m_session->end_read_batch();
}
