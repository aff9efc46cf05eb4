#pragma once
// The format mini-language of edit constraints and the checks it stands for, free of any
// control so that it can be tested and fuzzed alone.
//
// One pattern: "%" kind [delimiter for kind n] ["{" options "}"], kinds s (text),
// h (hex text), i (signed integer), u (unsigned integer), f (decimal number), n (numbers
// separated by the delimiter). Options: w<digits> width in pixels, n<number> minimum,
// x<number> maximum, l<digits>[a|f|n...] length and flags (a auto-advance, f exact,
// n not empty), e<char> exit character.
#include "AnsiString.h"

#include <cstdint>
#include <string_view>
#include <vector>

enum KvEditFlags : uint16_t {
    kefAutoAdvance = 1,
    kefExact = 2,
    kefNotEmpty = 4,
};

struct KvEditFormat {
    char Kind = 's';
    char Delimiter = 0; // kind n only
    double Minimum = 0; // kinds i, u, f, n
    double Maximum = 0; // kinds i, u, f, n
    int32_t Length = 0; // characters; for kind n the count of numbers; 0: none
    uint16_t Flags = 0; // KvEditFlags
    char ExitChar = 0;  // 0: none
    int32_t Width = 0;  // pixels; 0: keep
};

// Parses one pattern; raises the framework exception with code -2 when it is bad.
KvEditFormat KvParseEditFormat(std::string_view pattern);

// Cuts a format before every "%" that is not its first character.
std::vector<AnsiString> KvSplitEditFormat(std::string_view format);

// The text with every character the kind does not allow removed, in one pass.
AnsiString KvFilterEditText(const KvEditFormat &format, std::string_view text);

// The exit check of a whole text: 0 when it passes, else the entry of the common message
// table, with message set to its text with the placeholders filled in. An empty text
// passes unless the not-empty flag is set.
int KvCheckEditText(const KvEditFormat &format, std::string_view text, AnsiString &message);
