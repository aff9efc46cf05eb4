#pragma once
// A table walk into a list view that leaves out the device's empty rows (the rows whose key
// column holds the filter text) and numbers the rows it shows 1, 2, 3 in the first column.
#include "AnsiString.h"
#include "KvSNMPRequest2Edits.h"

#include <cstdint>

class TForm;

class New_req2Edit : public KvSNMPRequest2Edits {
public:
    explicit New_req2Edit(TForm *owner);
    ~New_req2Edit() override;

    int32_t RowCounter = 1;      // number of the next row shown; back to 1 at every walk
    AnsiString FilterText = "0"; // value text of an empty row
    int32_t KeyColumn = 1;       // item whose value is compared with FilterText

    // The same members under the names the forms use.
    AnsiString &Filter = FilterText;
    int32_t &RowNumber = RowCounter;

    void DoBeforeGet() override;
    // Raises a programming error when KeyColumn is not an item of the list.
    void ShowValues() override;
    // Adds the current row to the list view, numbered RowCounter.
    virtual void AddRow();
};
