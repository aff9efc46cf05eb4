// Feeds the edit-constraint format language and the text checks with arbitrary input:
// the first line is a format, the rest a text typed into its edits.
#include "Exception.h"
#include "KvEditFormat.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string_view input(reinterpret_cast<const char *>(data), size);
    auto newline = input.find('\n');
    std::string_view format = input.substr(0, newline);
    std::string_view text =
        newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);
    for (const AnsiString &piece : KvSplitEditFormat(format)) {
        KvEditFormat parsed;
        try {
            parsed = KvParseEditFormat(piece);
        } catch (const Exception &e) {
            if (e.HelpContext != -2)
                __builtin_trap();
            continue;
        }
        AnsiString kept = KvFilterEditText(parsed, text);
        // Filtering is idempotent and never adds characters.
        if (kept.size() > text.size() || KvFilterEditText(parsed, kept) != kept)
            __builtin_trap();
        AnsiString message;
        int entry = KvCheckEditText(parsed, kept, message);
        if (entry < 0 || entry > 11 || (entry == 0) != message.empty())
            __builtin_trap();
    }
    return 0;
}
