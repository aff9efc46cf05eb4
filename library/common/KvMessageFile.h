#pragma once
// Replaceable message tables: a plain-text file with one message per non-blank line
// rewords or translates a table without rebuilding the program.
#include "AnsiString.h"

#include <span>

// Replaces the first entries of table with the file's non-blank lines (in pieces of at
// most 1023 characters). A missing file, or one without a non-blank line, leaves the
// table alone; lines beyond the table's size are not used.
void ReadTextLines(std::span<AnsiString> table, const AnsiString &fileName);
