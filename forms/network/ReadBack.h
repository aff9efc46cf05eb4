#pragma once
// The status after a write whose values the form reads back: the write's outcome stays, and the
// groups written whose read back failed are named after it ("Set Success! Not read back: Log
// Settings."). Their controls show nothing then, as for any group not read.
#include "WriteChain.h"

AnsiString ReadBackText(const AnsiString &outcome, const WriteChain &chain,
                        std::initializer_list<const ReadOutcome *> groups);
