// Expressions over a request's items: reference expansion, get and set expressions, and
// the per-row conditions.
#include "KvExpression.h"
#include "KvOptionList.h"
#include "KvSNMPErrors.h"
#include "KvSNMPRequest.h"
#include "KvValueText.h"

#include <cmath>

using namespace kvsnmp;

namespace {

// The low 32 bits of v truncated toward zero.
uint32_t low32(double v)
{
    double m = std::fmod(std::trunc(v), 4294967296.0);
    if (m < 0)
        m += 4294967296.0;
    return m >= 4294967296.0 ? 0u : static_cast<uint32_t>(m);
}

uint64_t low64(double v)
{
    const double two64 = 18446744073709551616.0;
    double m = std::fmod(std::trunc(v), two64);
    if (m < 0)
        m += two64;
    return m >= two64 ? 0u : static_cast<uint64_t>(m);
}

} // namespace

AnsiString KvSNMPRequest::ExpandExpression(AnsiString expression, bool quoteTexts, AnsiString marker)
{
    if (marker.empty())
        return expression;
    AnsiString out;
    std::size_t i = 0;
    while (i < expression.size()) {
        // Quoted literals are copied as they are: a marker inside one is text, not a reference.
        if (expression[i] == '"') {
            std::size_t end = i + 1;
            while (end < expression.size()) {
                if (expression[end] == '"') {
                    if (end + 1 < expression.size() && expression[end + 1] == '"') {
                        end += 2;
                        continue;
                    }
                    ++end;
                    break;
                }
                ++end;
            }
            out.append(expression, i, end - i);
            i = end;
            continue;
        }
        if (expression.compare(i, marker.size(), marker) != 0) {
            out += expression[i++];
            continue;
        }
        i += marker.size();
        uint64_t index = 0;
        bool tooLarge = false;
        while (i < expression.size() && expression[i] >= '0' && expression[i] <= '9') {
            index = index * 10 + static_cast<uint64_t>(expression[i] - '0');
            tooLarge = tooLarge || index > 0x7FFFFFFF;
            if (tooLarge)
                index = 0x7FFFFFFF;
            ++i;
        }
        // A reference past the end of the list has no value.
        if (tooLarge || index >= static_cast<uint64_t>(VarList.Count()))
            KvSNMPRaise(KvSNMPCode::NullInExpression);
        const KvSNMPItem *item = VarList.GetItem(static_cast<int32_t>(index));
        AnsiString value = item->Options ? item->Options->NameToValue(item->Value) : item->Value;
        if (value == "(NULL)")
            KvSNMPRaise(KvSNMPCode::NullInExpression);

        switch (item->Syntax) {
        case KvSyntax::Boolean:
        case KvSyntax::Bool8:
        case KvSyntax::Bool16:
            out += value == "true" ? "1" : "0";
            break;
        case KvSyntax::Integer:
        case KvSyntax::Counter:
        case KvSyntax::Guage:
        case KvSyntax::Counter64:
        case KvSyntax::UInteger:
        case KvSyntax::Double:
        case KvSyntax::Int8:
        case KvSyntax::UInt8:
        case KvSyntax::Int16:
        case KvSyntax::UInt16: {
            // A number goes in as one token; any other text as the number it begins with.
            if (isNumberText(value))
                out += value.substr(value.find_first_not_of(" \t"),
                                    value.find_last_not_of(" \t") - value.find_first_not_of(" \t") + 1);
            else
                out += floatToStr(readDouble(value));
            break;
        }
        case KvSyntax::TimeTicks:
            out += std::to_string(readTimeTicks(value));
            break;
        case KvSyntax::BcDateTime: {
            double dateTime = 0;
            if (!readDateTime(value, dateTime))
                dateTime = 0;
            out += floatToStr(dateTime);
            break;
        }
        default:
            if (!quoteTexts)
                KvSNMPRaise(KvSNMPCode::BadSyntaxInExpression);
            out += Quote(value);
            break;
        }
    }
    return out;
}

void KvSNMPRequest::EvaluateItem(int index, bool afterRead)
{
    KvSNMPItem *item = VarList.GetItem(index);
    const AnsiString &expression = afterRead ? item->GetExpression : item->SetExpression;
    if (expression.empty())
        return;
    const double v = EvalArithmetic(ExpandExpression(expression, false, "$"));
    if (!std::isfinite(v))
        KvSNMPRaise(KvSNMPCode::BadSyntaxInExpression);

    AnsiString text;
    switch (item->Syntax) {
    case KvSyntax::Boolean:
    case KvSyntax::Bool8:
    case KvSyntax::Bool16:
        text = v == 0 ? "false" : "true";
        break;
    case KvSyntax::Integer:
    case KvSyntax::Int8:
    case KvSyntax::Int16:
        text = std::to_string(static_cast<int32_t>(low32(v)));
        break;
    case KvSyntax::Counter:
    case KvSyntax::Guage:
    case KvSyntax::UInteger:
    case KvSyntax::UInt8:
    case KvSyntax::UInt16:
        text = std::to_string(low32(v));
        break;
    case KvSyntax::TimeTicks:
        text = formatTimeTicks(low32(v));
        break;
    case KvSyntax::Counter64:
        text = std::to_string(low64(v));
        break;
    case KvSyntax::Double:
        text = floatToStr(v);
        break;
    case KvSyntax::BcDateTime:
        text = formatDateTime(v);
        break;
    default:
        KvSNMPRaise(KvSNMPCode::BadSyntaxInExpression);
    }
    if (item->Options)
        text = item->Options->ValueToName(text);
    item->Value = text;
}

bool KvSNMPRequest::IsConditionTrue(AnsiString condition)
{
    if (condition.empty())
        return true;
    return EvalCondition(ExpandExpression(condition, true, "$"));
}

bool KvSNMPRequest::MatchesFilter()
{
    return IsConditionTrue(Filter);
}

bool KvSNMPRequest::MatchesCondition(AnsiString condition)
{
    return IsConditionTrue(condition);
}
