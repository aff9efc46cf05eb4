#include "FormSnapshot.h"

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"

#include <QWidget>

#include <sstream>

namespace sweep {

std::string ControlValue(TControl *c)
{
    std::ostringstream s;
    if (auto *combo = dynamic_cast<TComboBox *>(c))
        s << "index " << combo->ItemIndex() << " \"" << combo->Text() << "\" of " << combo->Items()->Count();
    else if (auto *box = dynamic_cast<TCheckBox *>(c))
        s << (box->Checked() ? "checked" : "unchecked");
    else if (auto *radio = dynamic_cast<TRadioButton *>(c))
        s << (radio->Checked() ? "checked" : "unchecked");
    else if (auto *group = dynamic_cast<TRadioGroup *>(c))
        s << "index " << group->ItemIndex();
    else if (auto *list = dynamic_cast<TListView *>(c))
        s << list->Items()->Count() << " rows";
    else
        s << "\"" << c->Text() << "\"";
    return s.str();
}

bool ShowsNothing(TControl *c)
{
    if (auto *combo = dynamic_cast<TComboBox *>(c))
        return combo->ItemIndex() < 0 && combo->Text().empty();
    if (auto *box = dynamic_cast<TCheckBox *>(c))
        return !box->Checked();
    if (auto *radio = dynamic_cast<TRadioButton *>(c))
        return !radio->Checked();
    if (auto *group = dynamic_cast<TRadioGroup *>(c))
        return group->ItemIndex() < 0;
    if (auto *list = dynamic_cast<TListView *>(c))
        return list->Items()->Count() == 0;
    return c->Text().empty();
}

std::string ControlState(TControl *c)
{
    return std::string(c->Widget()->isVisibleTo(c->Widget()->window()) ? "shown" : "hidden") + "," +
           (c->Enabled() ? "enabled" : "disabled") + "," + ControlValue(c);
}

Snapshot TakeSnapshot(TForm &form)
{
    Snapshot shot;
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto *c = dynamic_cast<TControl *>(form.Components(i)); c && !c->Name().empty())
            shot[c->Name()] = ControlState(c);
    return shot;
}

TControl *NamedControl(TForm &form, const std::string &name)
{
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto *c = dynamic_cast<TControl *>(form.Components(i)); c && c->Name() == name)
            return c;
    return nullptr;
}

} // namespace sweep
