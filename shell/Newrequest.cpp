// The filtered, numbered table walk.
#include "Newrequest.h"

#include "Vcl.h"

New_req2Edit::New_req2Edit(TForm *owner) : KvSNMPRequest2Edits(owner)
{
}

New_req2Edit::~New_req2Edit() = default;

void New_req2Edit::DoBeforeGet()
{
    KvSNMPRequest2Edits::DoBeforeGet();
    // Each walk numbers its rows from 1, whether or not the caller reset the counter.
    RowCounter = 1;
}

void New_req2Edit::ShowValues()
{
    if (!ListView) {
        ValuesToControls(-1);
        return;
    }
    const KvSNMPVarList &list = Request.VarList;
    if (KeyColumn < 0 || KeyColumn >= list.Count())
        throw Exception("New_req2Edit::ShowValues - KeyColumn " + std::to_string(KeyColumn) +
                        " is not an item of the list (" + std::to_string(list.Count()) + " items)!");
    if (list.GetItem(KeyColumn)->Value == FilterText)
        return;
    AddRow();
    ++RowCounter;
    // Lets the list view repaint during a long walk, a few times a second.
    kv::processMessagesEvery(ListRepaintInterval(ListView->Items()->Count()));
}

void New_req2Edit::AddRow()
{
    TListItem *row = ListView->Items()->Add();
    const KvSNMPVarList &list = Request.VarList;
    const std::vector<int> order = ColumnItems();
    if (order.empty())
        return;
    row->SetCaption(std::to_string(RowCounter));
    for (std::size_t k = 1; k < order.size(); ++k)
        row->SubItems()->Add(list.GetItem(order[k])->Value);
}
