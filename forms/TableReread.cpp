#include "TableReread.h"

void TableReread::RowWritten(bool unanswered)
{
    m_stale = m_stale || unanswered;
}

bool TableReread::ReadFirst()
{
    m_addWaits = m_stale;
    return m_stale;
}

bool TableReread::TableRead(bool read)
{
    if (!m_addWaits)
        return false;
    m_addWaits = false;
    m_stale = !read;
    return read;
}
