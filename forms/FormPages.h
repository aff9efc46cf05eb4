#pragma once
// A page of a form's page control, owned by the form (a page is placed by its page control,
// not by a parent).
#include "ComCtrls.h"
#include "Forms.h"

inline TTabSheet *MakePage(TForm *form, TPageControl *pages, const char *name, const char *caption)
{
    auto *page = new TTabSheet(form);
    page->SetName(name);
    page->SetPageControl(pages);
    page->SetText(caption);
    return page;
}
