#include "KvExpression.h"

#include "KvCommonTexts.h"
#include "KvSNMPErrors.h"
#include "KvValueText.h"

#include <cmath>

const char *const gKvCompareOperators[] = {"<>", ">=", "<=", ">", "<", "=", nullptr};

namespace {

// Nesting deeper than this is refused rather than risking the stack.
constexpr int kMaxDepth = 200;

bool isBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

AnsiString trim(const AnsiString &text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && isBlankOrControl(text[b]))
        ++b;
    while (e > b && isBlankOrControl(text[e - 1]))
        --e;
    return text.substr(b, e - b);
}

bool equalsNoCase(const AnsiString &a, const char *b)
{
    std::size_t n = 0;
    for (; b[n]; ++n) {
        if (n >= a.size())
            return false;
        char x = a[n], y = b[n];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y + 32);
        if (x != y)
            return false;
    }
    return n == a.size();
}

// Index just past the quoted literal that starts at i (a quote); an unterminated literal
// runs to the end.
std::size_t skipLiteral(const AnsiString &text, std::size_t i)
{
    ++i;
    while (i < text.size()) {
        if (text[i] == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

[[noreturn]] void tooDeep()
{
    KvSNMPRaise(KvSNMPCode::BadSyntaxInExpression);
}

// The reading position shared by both expression parsers.
class Scanner {
protected:
    explicit Scanner(const AnsiString &text) : m_text(text) {}

    void blanks()
    {
        while (m_at < m_text.size() && isBlankOrControl(m_text[m_at]))
            ++m_at;
    }
    bool peek(char c)
    {
        blanks();
        return m_at < m_text.size() && m_text[m_at] == c;
    }

    const AnsiString &m_text;
    std::size_t m_at = 0;
};

class Arithmetic : Scanner {
public:
    explicit Arithmetic(const AnsiString &text) : Scanner(text) {}

    double run()
    {
        double v = sum(0);
        return v;
    }

private:
    double sum(int depth)
    {
        double v = product(depth);
        for (;;) {
            if (peek('+')) {
                ++m_at;
                v += product(depth);
            } else if (peek('-')) {
                ++m_at;
                v -= product(depth);
            } else {
                return v;
            }
        }
    }

    double product(int depth)
    {
        double v = unary(depth);
        for (;;) {
            if (peek('*')) {
                ++m_at;
                v *= unary(depth);
            } else if (peek('/')) {
                ++m_at;
                v /= unary(depth);
            } else {
                return v;
            }
        }
    }

    double unary(int depth)
    {
        bool negative = false;
        for (;;) {
            if (peek('-'))
                negative = !negative;
            else if (!peek('+'))
                break;
            ++m_at;
        }
        double v = primary(depth);
        return negative ? -v : v;
    }

    double primary(int depth)
    {
        blanks();
        if (m_at < m_text.size() && m_text[m_at] == '(') {
            if (depth >= kMaxDepth)
                tooDeep();
            ++m_at;
            double v = sum(depth + 1);
            if (peek(')'))
                ++m_at;
            return v;
        }
        // An operand runs to the next operator or parenthesis; a number at its front counts
        // (its exponent sign included), whatever follows it up to there does not.
        std::size_t start = m_at;
        std::size_t numberLen = kvsnmp::numberLength(m_text, start);
        m_at += numberLen;
        while (m_at < m_text.size() && !isOperatorChar(m_text[m_at]))
            ++m_at;
        if (numberLen > 0)
            return kvsnmp::readDouble(std::string_view(m_text).substr(start, numberLen));
        AnsiString operand = trim(m_text.substr(start, m_at - start));
        if (equalsNoCase(operand, "NOW"))
            return kvsnmp::nowDateTime();
        return 0.0;
    }

    static bool isOperatorChar(char c)
    {
        return c == '+' || c == '-' || c == '*' || c == '/' || c == '(' || c == ')';
    }
};

class Condition : Scanner {
public:
    explicit Condition(const AnsiString &text) : Scanner(text) {}

    bool run()
    {
        bool v = anyOf(true, 0);
        // Anything left (a closing parenthesis without its opening one) is a bad term.
        blanks();
        if (m_at < m_text.size())
            KvCommonRaise(KvCommonBadLogicOperand);
        return v;
    }

private:
    bool anyOf(bool evaluate, int depth)
    {
        bool v = allOf(evaluate, depth);
        while (peek('|')) {
            ++m_at;
            bool r = allOf(evaluate && !v, depth);
            v = v || r;
        }
        return v;
    }

    bool allOf(bool evaluate, int depth)
    {
        bool v = negation(evaluate, depth);
        while (peek('&')) {
            ++m_at;
            bool r = negation(evaluate && v, depth);
            v = v && r;
        }
        return v;
    }

    bool negation(bool evaluate, int depth)
    {
        bool negate = false;
        while (peek('!')) {
            ++m_at;
            negate = !negate;
        }
        bool v;
        if (peek('(')) {
            if (depth >= kMaxDepth)
                tooDeep();
            ++m_at;
            v = anyOf(evaluate, depth + 1);
            if (peek(')'))
                ++m_at;
            // A group stands alone between operators.
            blanks();
            if (m_at < m_text.size() && m_text[m_at] != '|' && m_text[m_at] != '&' && m_text[m_at] != ')') {
                term(depth);
                if (evaluate)
                    KvCommonRaise(KvCommonBadLogicOperand);
            }
        } else {
            AnsiString t = term(depth);
            v = evaluate ? EvalOperand(t) : false;
        }
        return negate ? !v : v;
    }

    // The text up to the next "|", "&" or the ")" that closes the current group, quoted
    // texts and balanced parentheses inside it included.
    AnsiString term(int depth)
    {
        std::size_t start = m_at;
        int open = 0;
        while (m_at < m_text.size()) {
            char c = m_text[m_at];
            if (c == '"') {
                m_at = skipLiteral(m_text, m_at);
                continue;
            }
            if (c == '|' || c == '&')
                break;
            if (c == '(')
                ++open;
            if (c == ')') {
                if (open == 0 && depth > 0)
                    break;
                if (open > 0)
                    --open;
            }
            ++m_at;
        }
        return m_text.substr(start, m_at - start);
    }
};

// A side of a comparison: its text, whether it was quoted, and its number when it is one.
struct Side {
    AnsiString text;
    bool number = false;
    double value = 0;
};

Side readSide(const AnsiString &raw)
{
    Side side;
    AnsiString t = trim(raw);
    bool quoted = !t.empty() && t.front() == '"';
    side.text = Unquote(t);
    if (quoted)
        return side;
    if (equalsNoCase(t, "NOW")) {
        side.value = kvsnmp::nowDateTime();
        side.text = kvsnmp::floatToStr(side.value);
        side.number = true;
        return side;
    }
    side.number = kvsnmp::isNumberText(t, &side.value);
    return side;
}

} // namespace

double EvalArithmetic(AnsiString text)
{
    return Arithmetic(text).run();
}

bool EvalCondition(AnsiString text)
{
    return Condition(text).run();
}

int FindOperator(const char *const *table, AnsiString text, AnsiString &left, AnsiString &right)
{
    if (!table)
        return -1;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '"') {
            i = skipLiteral(text, i);
            continue;
        }
        for (int k = 0; table[k]; ++k) {
            std::string_view op(table[k]);
            if (!op.empty() && text.compare(i, op.size(), op) == 0) {
                left = text.substr(0, i);
                right = text.substr(i + op.size());
                return k;
            }
        }
        ++i;
    }
    return -1;
}

bool EvalOperand(AnsiString term)
{
    AnsiString leftText, rightText;
    int op = FindOperator(gKvCompareOperators, term, leftText, rightText);
    if (op < 0) {
        AnsiString t = trim(term);
        if (equalsNoCase(t, "true"))
            return true;
        if (equalsNoCase(t, "false"))
            return false;
        KvCommonRaise(KvCommonBadLogicOperand);
    }
    Side left = readSide(leftText);
    Side right = readSide(rightText);
    int order;
    if (left.number && right.number)
        order = left.value < right.value ? -1 : (left.value > right.value ? 1 : 0);
    else {
        int c = left.text.compare(right.text);
        order = c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    switch (op) {
    case 0:
        return order != 0;
    case 1:
        return order >= 0;
    case 2:
        return order <= 0;
    case 3:
        return order > 0;
    case 4:
        return order < 0;
    default:
        return order == 0;
    }
}

AnsiString Unquote(AnsiString text)
{
    if (text == "\"")
        return {};
    if (text.size() < 2 || text.front() != '"' || text.back() != '"')
        return text;
    AnsiString out;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        out += text[i];
        if (text[i] == '"' && i + 2 < text.size() && text[i + 1] == '"')
            ++i;
    }
    return out;
}

AnsiString Quote(const AnsiString &text)
{
    AnsiString out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"')
            out += '"';
    }
    out += '"';
    return out;
}

AnsiString ReplaceAll(AnsiString text, AnsiString pattern, AnsiString replacement)
{
    if (pattern.empty())
        return text;
    AnsiString out;
    std::size_t from = 0;
    for (;;) {
        std::size_t at = text.find(pattern, from);
        if (at == AnsiString::npos)
            break;
        out.append(text, from, at - from);
        out += replacement;
        from = at + pattern.size();
    }
    out.append(text, from, AnsiString::npos);
    return out;
}

int ScanNumber(AnsiString text, int start, AnsiString allowed)
{
    if (start < 1 || static_cast<std::size_t>(start) > text.size())
        return 0;
    int at = start;
    while (static_cast<std::size_t>(at) <= text.size() &&
           allowed.find(text[static_cast<std::size_t>(at - 1)]) != AnsiString::npos)
        ++at;
    return at == start ? 0 : at - 1;
}
