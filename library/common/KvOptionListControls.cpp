// Filling and selecting controls from an option list.
#include "ExtCtrls.h"
#include "KvOptionList.h"
#include "StdCtrls.h"

void KvOptionList::FillComboItems(TComboBox *combo) const
{
    if (!combo)
        return;
    TStrings *items = combo->Items();
    items->BeginUpdate();
    items->Clear();
    for (const KvOptionEntry &pair : m_pairs)
        items->Add(pair.Name);
    items->EndUpdate();
}

void KvOptionList::SelectComboItem(TComboBox *combo, const AnsiString &text) const
{
    if (!combo)
        return;
    // Names first, so a text that is one pair's name and another's value picks the name.
    combo->SetItemIndex(IndexOfName(text));
    if (combo->ItemIndex() < 0)
        combo->SetItemIndex(IndexOfValue(text));
}

void KvOptionList::FillRadioItems(TRadioGroup *radio) const
{
    if (!radio)
        return;
    TStrings *items = radio->Items();
    items->BeginUpdate();
    items->Clear();
    for (const KvOptionEntry &pair : m_pairs)
        items->Add(pair.Name);
    items->EndUpdate();
}

void KvOptionList::SelectRadioItem(TRadioGroup *radio, const AnsiString &text) const
{
    if (!radio)
        return;
    radio->SetItemIndex(IndexOfName(text));
    if (radio->ItemIndex() < 0)
        radio->SetItemIndex(IndexOfValue(text));
}
