#pragma once
// A list of numbers read from a delimited text such as "3,10,7" or "192.168.0.1".
// Nothing is rejected while parsing: the callers' texts hold digits and delimiters.
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <vector>

template <typename T> class KvNumList {
    static_assert(std::is_integral_v<T>, "KvNumList holds integers");

public:
    KvNumList() = default;

    int32_t Count = 0;
    std::vector<T> Numbers;
    char Delimiter = '.';

    // 0 for a null or empty text, else the number of delimiters plus one.
    int32_t FieldCount(const char *text) const
    {
        if (!text || !*text)
            return 0;
        int32_t count = 1;
        for (const char *p = text; *p; ++p) {
            if (*p == Delimiter)
                ++count;
        }
        return count;
    }

    void Parse(const char *text)
    {
        Numbers.clear();
        m_overflow = false;
        Count = FieldCount(text);
        if (Count == 0)
            return;
        Numbers.assign(static_cast<std::size_t>(Count), T(0));
        std::size_t at = 0;
        bool fraction = false;
        uint64_t exact = 0; // the field's true value, to notice wrapping
        double scale = 0.1;
        for (const char *p = text; *p; ++p) {
            char c = *p;
            if (c == Delimiter) {
                ++at;
                fraction = false;
                exact = 0;
                continue;
            }
            T &number = Numbers[at];
            if (c == '.') {
                fraction = true;
                scale = 0.1;
                continue;
            }
            int digit = c - '0';
            if (!fraction) {
                // Unsigned arithmetic wraps in the number's width and never overflows.
                using U = std::make_unsigned_t<T>;
                number = static_cast<T>(static_cast<U>(number) * U(10) + static_cast<U>(digit));
                if (digit < 0 || digit > 9 || exact > uint64_t(std::numeric_limits<T>::max())) {
                    m_overflow = true;
                } else {
                    exact = exact * 10 + static_cast<uint64_t>(digit);
                    if (exact > uint64_t(std::numeric_limits<T>::max()))
                        m_overflow = true;
                }
            } else if constexpr (std::is_signed_v<T>) {
                // Fractional digits count and the result is cut toward zero.
                double withFraction = double(number) + digit * scale;
                scale /= 10;
                if (withFraction > double(std::numeric_limits<T>::min()) &&
                    withFraction < double(std::numeric_limits<T>::max()))
                    number = static_cast<T>(withFraction);
            }
        }
    }

    // The first position holding value, or -1.
    int32_t IndexOf(T value) const
    {
        for (int32_t i = 0; i < Count; ++i) {
            if (Numbers[static_cast<std::size_t>(i)] == value)
                return i;
        }
        return -1;
    }

    // Every number n has minimum <= n <= maximum; true for an empty list.
    bool InRange(T minimum, T maximum) const
    {
        for (int32_t i = 0; i < Count; ++i) {
            T n = Numbers[static_cast<std::size_t>(i)];
            if (n < minimum || n > maximum)
                return false;
        }
        return true;
    }

    // Whether the last Parse met a field beyond T's range or a character that is no digit
    // (the stored number then wrapped or is meaningless).
    bool Overflowed() const { return m_overflow; }

    T operator[](int32_t i) const { return Numbers[static_cast<std::size_t>(i)]; }

private:
    bool m_overflow = false;
};
