#pragma once
// The common utilities' replaceable message table: entry i stands for error code -i.
#include "AnsiString.h"

#include <array>

inline constexpr int KvCommonTextCount = 19;
extern std::array<AnsiString, KvCommonTextCount> gKvCommonTexts;

// Error codes of the common utilities (entry -code of gKvCommonTexts).
inline constexpr int KvCommonBadLogicOperand = -1;
inline constexpr int KvCommonBadEditFormat = -2;

// Entry index of the exit-check messages.
enum KvCommonEntry {
    kceOk = 0,
    kceBadLogicOperand = 1,
    kceBadFormat = 2,
    kceEmpty = 3,
    kceMaxLen = 4,
    kceLen = 5,
    kceHexMaxLen = 6,
    kceHexLen = 7,
    kceRange = 8,
    kceMaxCount = 9,
    kceCount = 10,
    kceNumRange = 11,
};

// The text of a code (-18..0); other codes give an empty text.
AnsiString KvCommonText(int code);
// Raises the framework exception with the table's text and the code as help context.
[[noreturn]] void KvCommonRaise(int code);
