#pragma once
// Path helpers. Folders are joined with "/"; names that came from a case-insensitive
// file system are found again on a case-sensitive one.
#include "AnsiString.h"

// An empty folder gives the name; a folder ending in "/" (or a Windows "\") is followed
// directly by the name; any other folder gets "/" and the name.
AnsiString JoinPath(const AnsiString &folder, const AnsiString &fileName);

// The path with every component that does not exist as written replaced by the one entry
// of its parent folder whose name differs only in letter case (the first in name order
// when several do). Components that match nothing are kept as written, so the result of
// a missing file is still missing.
AnsiString ResolvePathNoCase(const AnsiString &path);
