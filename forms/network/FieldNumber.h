#pragma once
// An edit's text as a number, as the network forms check their ranges: a text that is not a
// whole decimal number (empty included) counts as bad.
#include "AnsiString.h"
#include "KvNumberText.h"

#include <cstdint>

inline int32_t FieldNumber(const AnsiString &text, int32_t bad)
{
    int32_t value = 0;
    return kv::parseInt32(text, value) ? value : bad;
}
