// The expression language on arbitrary texts: arithmetic, conditions and item references
// over a list whose values are fuzzed too. Only the library's own errors may escape.
#include "Exception.h"
#include "KvExpression.h"
#include "KvSNMPRequest.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    std::string text(reinterpret_cast<const char *>(data), size);
    // The text before the first newline is the value of the items; the rest the expression.
    std::string value;
    std::size_t newline = text.find('\n');
    if (newline != std::string::npos) {
        value = text.substr(0, newline);
        text.erase(0, newline + 1);
    }
    try {
        EvalArithmetic(text);
    } catch (const Exception &) {
    }
    try {
        EvalCondition(text);
    } catch (const Exception &) {
    }
    static const int32_t syntaxes[] = {1, 2, 4, 67, 70, 72, 75, 76, 193};
    KvSNMPItem table[10] = {};
    for (int i = 0; i < 9; ++i) {
        table[i].Oid = "1.3.6.1.4.1.32473.11.37.4.9.1." + std::to_string(i + 1);
        table[i].Syntax = syntaxes[i];
        table[i].Access = 6;
        table[i].Value = value;
        table[i].GetExpression = text;
    }
    KvSNMPRequest request;
    request.VarList = KvSNMPVarList(table, SVT_SV, 0);
    try {
        request.IsConditionTrue(text);
    } catch (const Exception &) {
    }
    for (int i = 0; i < 9; ++i) {
        try {
            request.EvaluateItem(i, true);
        } catch (const Exception &) {
        }
    }
    return 0;
}
