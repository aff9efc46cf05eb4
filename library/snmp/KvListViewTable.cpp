// A table binding shown in a report list view: one column per item (hidden items first,
// width 0), one row per table row; the selected row flows back into the bound controls.
#include "ComCtrls.h"
#include "KvSNMPRequest2Edits.h"

namespace {

// The selection handler the binding puts on its list view.
struct SelectHook {
    KvSNMPRequest2Edits *binding = nullptr;
    std::weak_ptr<int> life;
    void operator()(TObject *sender, TListItem *item, bool selected) const
    {
        if (!life.expired())
            binding->ListViewSelectItem(sender, item, selected);
    }
};

} // namespace

bool KvSNMPRequest2Edits::IsOurSelectHook(const TLVSelectItemEvent &handler) const
{
    const auto *hook = handler.target<SelectHook>();
    return hook && hook->binding == this;
}

void KvSNMPRequest2Edits::fixColumnLayout()
{
    const KvSNMPVarList &list = Request.VarList;
    m_columnItems.clear();
    m_columnOids.clear();
    for (int i = 0; i < list.Count(); ++i) {
        m_columnOids.push_back(list.GetItem(i)->Oid);
        if (list.IsHiddenItem(i))
            m_columnItems.push_back(i);
    }
    m_hiddenColumns = static_cast<int>(m_columnItems.size());
    for (int i = 0; i < list.Count(); ++i)
        if (list.IsGetItem(i))
            m_columnItems.push_back(i);
}

bool KvSNMPRequest2Edits::columnLayoutFits() const
{
    const KvSNMPVarList &list = Request.VarList;
    if (static_cast<std::size_t>(list.Count()) != m_columnOids.size())
        return false;
    for (int i = 0; i < list.Count(); ++i)
        if (list.GetItem(i)->Oid != m_columnOids[static_cast<std::size_t>(i)])
            return false;
    return true;
}

std::vector<int> KvSNMPRequest2Edits::ColumnItems() const
{
    if (ListView && columnLayoutFits())
        return m_columnItems;
    const KvSNMPVarList &list = Request.VarList;
    std::vector<int> order;
    for (int i = 0; i < list.Count(); ++i)
        if (list.IsHiddenItem(i))
            order.push_back(i);
    for (int i = 0; i < list.Count(); ++i)
        if (list.IsGetItem(i))
            order.push_back(i);
    return order;
}

void KvSNMPRequest2Edits::SetupListView(TListView *listView, bool enableOnSelect)
{
    ListView = listView;
    m_listWidget = listView ? listView->Widget() : nullptr;
    EnableOnSelect = enableOnSelect;
    if (!listView)
        return;
    listView->SetReadOnly(true);
    listView->SetRowSelect(true);
    listView->SetHideSelection(false);
    listView->SetGridLines(true);
    listView->SetViewStyle(vsReport);
    // Bound again: the list view's own handler is the one saved the first time.
    if (!IsOurSelectHook(listView->OnSelectItem))
        SavedSelectItem = listView->OnSelectItem;
    SelectHook hook;
    hook.binding = this;
    hook.life = LifeToken();
    listView->OnSelectItem = hook;
    fixColumnLayout();
    SetupListColumns();
}

void KvSNMPRequest2Edits::SetupListColumns()
{
    if (!ListView || !m_listWidget)
        return;
    // The layout follows the flags only when the list is new to this list view.
    if (!columnLayoutFits())
        fixColumnLayout();
    const KvSNMPVarList &list = Request.VarList;
    const int n = static_cast<int>(m_columnItems.size());
    TListColumns *columns = ListView->Columns();
    if (columns->Count() >= n)
        return;
    columns->Clear();
    for (int k = 0; k < n; ++k) {
        TListColumn *c = columns->Add();
        c->SetCaption(list.GetItem(m_columnItems[static_cast<std::size_t>(k)])->Name);
        c->SetAutoSize(false);
        c->SetWidth(k < m_hiddenColumns ? 0 : -2);
    }
}

void KvSNMPRequest2Edits::AddListRow()
{
    if (!ListView || !m_listWidget)
        return;
    const std::vector<int> order = ColumnItems();
    TListItem *row = ListView->Items()->Add();
    if (order.empty())
        return;
    TStrings *cells = row->SubItems();
    cells->BeginUpdate();
    for (std::size_t k = 1; k < order.size(); ++k)
        cells->Add(Request.VarList.GetItem(order[k])->Value);
    cells->EndUpdate();
    row->SetCaption(Request.VarList.GetItem(order[0])->Value);
}

void KvSNMPRequest2Edits::SelectedRowToValues()
{
    if (!ListView || !m_listWidget)
        return;
    TListItem *row = ListView->Selected();
    if (!row)
        return;
    const std::vector<int> order = ColumnItems();
    for (std::size_t k = 0; k < order.size(); ++k) {
        KvSNMPItem *item = Request.VarList.GetItem(order[k]);
        item->Value = k == 0 ? row->Caption() : row->SubItems()->Strings(static_cast<int>(k - 1));
    }
}

void KvSNMPRequest2Edits::ListViewSelectItem(TObject *sender, TListItem *item, bool selected)
{
    if (Detached())
        return;
    std::weak_ptr<int> life = LifeToken();
    if (SavedSelectItem) {
        TLVSelectItemEvent own = SavedSelectItem;
        own(sender, item, selected);
        if (life.expired())
            return;
    }
    if (!selected)
        return;
    if (EnableOnSelect)
        EnableControls(true);
    if (ListView)
        SelectedRowToValues();
    ValuesToControls(-1);
    if (life.expired())
        return;
    Modified = false;
}
