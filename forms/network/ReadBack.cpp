#include "ReadBack.h"

AnsiString ReadBackText(const AnsiString &outcome, const WriteChain &chain,
                        std::initializer_list<const ReadOutcome *> groups)
{
    AnsiString named;
    for (const ReadOutcome *group : groups)
        if (group != nullptr && chain.Wrote(group) && group->LastRead() == ReadState::Failed)
            named += (named.empty() ? " " : ", ") + group->Label();
    if (named.empty())
        return outcome;
    return (outcome.empty() ? AnsiString() : outcome + " ") + "Not read back:" + named + ".";
}
