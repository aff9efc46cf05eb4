#include "KvEditFormat.h"

#include "KvCommonTexts.h"
#include "KvNumList.h"
#include "KvNumberText.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

[[noreturn]] void badFormat()
{
    KvCommonRaise(KvCommonBadEditFormat);
}

// A run of digits starting at at; an empty run or one too large is a bad format.
int32_t digitRun(std::string_view options, std::size_t &at)
{
    std::size_t start = at;
    int64_t value = 0;
    while (at < options.size() && isDigit(options[at])) {
        value = value * 10 + (options[at] - '0');
        if (value > std::numeric_limits<int32_t>::max())
            badFormat();
        ++at;
    }
    if (at == start)
        badFormat();
    return static_cast<int32_t>(value);
}

double numberRun(std::string_view options, std::size_t &at)
{
    std::size_t start = at;
    while (at < options.size() && (isDigit(options[at]) || options[at] == '-' || options[at] == '.'))
        ++at;
    double value = 0;
    // An empty run, or one that is no number ("-", "1-2", "1.2.3"), is a bad format.
    if (!kv::parseDecimal(options.substr(start, at - start), value) || !std::isfinite(value))
        badFormat();
    return value;
}

void replaceAll(AnsiString &text, std::string_view placeholder, const AnsiString &value)
{
    std::size_t at = 0;
    while ((at = text.find(placeholder, at)) != AnsiString::npos) {
        text.replace(at, placeholder.size(), value);
        at += value.size();
    }
}

uint32_t cutToUnsigned(double bound)
{
    if (!(bound > 0))
        return 0;
    if (bound >= 4294967295.0)
        return 4294967295u;
    return static_cast<uint32_t>(bound);
}

AnsiString unsignedText(uint32_t value)
{
    return std::to_string(value);
}

} // namespace

KvEditFormat KvParseEditFormat(std::string_view pattern)
{
    KvEditFormat format;
    if (pattern.size() < 2 || pattern[0] != '%')
        badFormat();
    format.Kind = pattern[1];
    switch (format.Kind) {
    case 's':
    case 'h':
        break;
    case 'i':
        format.Minimum = -2147483648.0;
        format.Maximum = 2147483647.0;
        break;
    case 'u':
    case 'n':
        format.Minimum = 0;
        format.Maximum = 4294967295.0;
        break;
    case 'f':
        format.Minimum = std::numeric_limits<double>::lowest();
        format.Maximum = std::numeric_limits<double>::max();
        break;
    default:
        badFormat();
    }
    std::size_t optionsAt = 2;
    if (format.Kind == 'n') {
        if (pattern.size() < 3)
            badFormat();
        format.Delimiter = pattern[2];
        optionsAt = 3;
    }
    if (pattern.size() <= optionsAt)
        return format;
    if (pattern[optionsAt] != '{' || pattern.back() != '}' || pattern.size() < optionsAt + 2)
        badFormat();
    std::string_view options = pattern.substr(optionsAt + 1, pattern.size() - optionsAt - 2);
    std::size_t at = 0;
    while (at < options.size()) {
        char letter = options[at++];
        switch (letter) {
        case 'w':
            format.Width = digitRun(options, at);
            break;
        case 'n':
            format.Minimum = numberRun(options, at);
            break;
        case 'x':
            format.Maximum = numberRun(options, at);
            break;
        case 'l': {
            format.Length = digitRun(options, at);
            // Up to three flag letters; a repeated letter sets its flag once.
            for (int taken = 0; taken < 3 && at < options.size(); ++taken) {
                char flag = options[at];
                if (flag == 'a')
                    format.Flags |= kefAutoAdvance;
                else if (flag == 'f')
                    format.Flags |= kefExact;
                else if (flag == 'n')
                    format.Flags |= kefNotEmpty;
                else
                    break;
                ++at;
            }
            break;
        }
        case 'e':
            if (at >= options.size())
                badFormat();
            format.ExitChar = options[at++];
            break;
        default:
            badFormat();
        }
    }
    return format;
}

std::vector<AnsiString> KvSplitEditFormat(std::string_view format)
{
    std::vector<AnsiString> pieces;
    std::size_t start = 0;
    for (std::size_t i = 1; i <= format.size(); ++i) {
        if (i == format.size() || format[i] == '%') {
            pieces.emplace_back(format.substr(start, i - start));
            start = i;
        }
    }
    return pieces;
}

AnsiString KvFilterEditText(const KvEditFormat &format, std::string_view text)
{
    AnsiString kept;
    kept.reserve(text.size());
    bool dotSeen = false;
    for (char c : text) {
        bool allowed = false;
        switch (format.Kind) {
        case 'h':
            allowed = isHexDigit(c);
            break;
        case 'i':
            allowed = isDigit(c) || (c == '-' && kept.empty());
            break;
        case 'u':
            allowed = isDigit(c);
            break;
        case 'f':
            allowed = isDigit(c) || (c == '-' && kept.empty()) || (c == '.' && !dotSeen);
            dotSeen = dotSeen || (allowed && c == '.');
            break;
        case 'n':
            allowed =
                (c == format.Delimiter) ? (!kept.empty() && kept.back() != format.Delimiter) : isDigit(c);
            break;
        default:
            allowed = true;
        }
        if (allowed)
            kept += c;
    }
    return kept;
}

int KvCheckEditText(const KvEditFormat &format, std::string_view text, AnsiString &message)
{
    message.clear();
    int entry = 0;
    AnsiString delimiter(1, format.Delimiter);
    if (text.empty()) {
        if (format.Flags & kefNotEmpty) {
            message = gKvCommonTexts[kceEmpty];
            return kceEmpty;
        }
        return 0;
    }
    switch (format.Kind) {
    case 'i':
    case 'u':
    case 'f': {
        double value = 0;
        bool digits = false;
        kv::leadingDecimal(text, value, digits);
        // A text without any digit is no number, not zero.
        if (!digits || value < format.Minimum || value > format.Maximum) {
            entry = kceRange;
            message = gKvCommonTexts[kceRange];
            replaceAll(message, "[MIN]", kv::floatText(format.Minimum));
            replaceAll(message, "[MAX]", kv::floatText(format.Maximum));
        }
        break;
    }
    case 's':
    case 'h': {
        if (format.Length <= 0)
            break;
        auto length = static_cast<std::size_t>(format.Length);
        if (format.Flags & kefExact) {
            if (text.size() != length) {
                entry = format.Kind == 's' ? kceLen : kceHexLen;
                message = gKvCommonTexts[static_cast<std::size_t>(entry)];
                replaceAll(message, "[LEN]", std::to_string(format.Length));
            }
        } else if (text.size() > length) {
            entry = format.Kind == 's' ? kceMaxLen : kceHexMaxLen;
            message = gKvCommonTexts[static_cast<std::size_t>(entry)];
            replaceAll(message, "[MAXLEN]", std::to_string(format.Length));
        }
        break;
    }
    case 'n': {
        KvNumList<unsigned int> numbers;
        numbers.Delimiter = format.Delimiter;
        AnsiString copy(text);
        numbers.Parse(copy.c_str());
        if (format.Length > 0) {
            if ((format.Flags & kefExact) && numbers.Count != format.Length) {
                entry = kceCount;
                message = gKvCommonTexts[kceCount];
                replaceAll(message, "[DELIMITER]", delimiter);
                replaceAll(message, "[COUNT]", std::to_string(format.Length));
                break;
            }
            if (!(format.Flags & kefExact) && numbers.Count > format.Length) {
                entry = kceMaxCount;
                message = gKvCommonTexts[kceMaxCount];
                replaceAll(message, "[DELIMITER]", delimiter);
                replaceAll(message, "[MAXCOUNT]", std::to_string(format.Length));
                break;
            }
        }
        uint32_t minimum = cutToUnsigned(format.Minimum);
        uint32_t maximum = cutToUnsigned(format.Maximum);
        // A number beyond 32 bits is out of range rather than wrapped into it.
        if (numbers.Overflowed() || !numbers.InRange(minimum, maximum)) {
            entry = kceNumRange;
            message = gKvCommonTexts[kceNumRange];
            replaceAll(message, "[DELIMITER]", delimiter);
            replaceAll(message, "[MIN]", unsignedText(minimum));
            replaceAll(message, "[MAX]", unsignedText(maximum));
        }
        break;
    }
    default:
        break;
    }
    return entry;
}
