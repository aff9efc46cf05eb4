#include "Pdu.h"

Pdu::Pdu(const Vb *vbs, int count)
{
    for (int i = 0; vbs && i < count; ++i)
        m_vbs.push_back(vbs[i]);
}

bool Pdu::get_vb(Vb &vb, int index) const
{
    if (index < 0 || index >= get_vb_count())
        return false;
    vb = m_vbs[static_cast<std::size_t>(index)];
    return true;
}

bool Pdu::set_vb(const Vb &vb, int index)
{
    if (index < 0 || index >= get_vb_count())
        return false;
    m_vbs[static_cast<std::size_t>(index)] = vb;
    return true;
}

void Pdu::trim(int count)
{
    if (count < 0)
        count = 0;
    if (static_cast<std::size_t>(count) < m_vbs.size())
        m_vbs.resize(static_cast<std::size_t>(count));
}

void Pdu::clear()
{
    m_vbs.clear();
    m_errorStatus = 0;
    m_errorIndex = 0;
    m_requestId = 0;
}
