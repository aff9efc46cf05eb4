#pragma once
// What a form's named controls show, as texts that compare: a normal opening against another.
#include "Forms.h"

#include <map>
#include <string>

namespace sweep {

// Control name -> its visibility, enabled state and value, as one text.
using Snapshot = std::map<std::string, std::string>;

// The value alone: a combo's choice, a box's check, an edit's text, a list's rows.
std::string ControlValue(TControl *c);
// Nothing chosen, checked, typed or listed.
bool ShowsNothing(TControl *c);
std::string ControlState(TControl *c);
Snapshot TakeSnapshot(TForm &form);
// The named control of the form, null when it has none of that name.
TControl *NamedControl(TForm &form, const std::string &name);

} // namespace sweep
