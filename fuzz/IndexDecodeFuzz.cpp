// Table index decoding of arbitrary row indexes: key items of every syntax, with and without
// IMPLIED, read one after the other as a walk does. Only the library's own errors may escape.
#include "Exception.h"
#include "KvSNMPRequest.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

const int32_t kSyntaxes[] = {1, 2, 3, 4, 5, 6, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 193, 0};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    if (size < 3)
        return 0;
    const int keys = 1 + data[0] % 3;
    KvSNMPItem table[4] = {};
    for (int k = 0; k < keys; ++k) {
        table[k].Oid = "1.3.6.1.4.1.32473.11.37.4.9.1." + std::to_string(k + 1);
        table[k].Syntax = kSyntaxes[data[1 + k % 2] / 8 % (sizeof kSyntaxes / sizeof kSyntaxes[0])];
        table[k].Access = 2u | ((data[1] & 1u) ? 64u : 0u);
        if (k == 1)
            table[k].Syntax = kSyntaxes[data[2] % (sizeof kSyntaxes / sizeof kSyntaxes[0])];
    }
    KvSNMPRequest request;
    request.VarList = KvSNMPVarList(table, MVT_FMV, keys);
    std::string rest(reinterpret_cast<const char *>(data + 3), size - 3);
    try {
        for (int k = 0; k < keys; ++k) {
            rest = request.IndexToValue(k, rest);
            AnsiString piece;
            request.ValueToIndex(k, piece);
        }
        request.IsEndOfColumn("1.3.6.1.4.1.32473.11.37.4.9.1.1", "",
                              "1.3.6.1.4.1.32473.11.37.4.9.1.1." + rest);
    } catch (const Exception &) {
    }
    return 0;
}
