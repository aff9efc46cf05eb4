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
    // Lets the list view repaint during a long walk.
    kv::processMessages();
}

void New_req2Edit::AddRow()
{
    TListItem *row = ListView->Items()->Add();
    const KvSNMPVarList &list = Request.VarList;
    bool first = true;
    auto put = [&](int i) {
        if (first) {
            row->SetCaption(std::to_string(RowCounter));
            first = false;
        } else {
            row->SubItems()->Add(list.GetItem(i)->Value);
        }
    };
    for (int i = 0; i < list.Count(); ++i)
        if (list.IsHiddenItem(i))
            put(i);
    for (int i = 0; i < list.Count(); ++i)
        if (list.IsGetItem(i))
            put(i);
}
