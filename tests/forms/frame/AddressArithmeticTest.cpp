#include "AddressArithmetic.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t A(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    return (a << 24) | (b << 16) | (c << 8) | d;
}

TEST(AddressArithmetic, LenientConversion)
{
    struct Case {
        const char *text;
        BadPart badPart;
        uint32_t expected;
    } cases[] = {
        {"192.168.0.1", BadPart::Zero, A(192, 168, 0, 1)},
        {"0.0.0.0", BadPart::Zero, 0},
        {"50", BadPart::Zero, 50},
        {"1.2.3.256", BadPart::Zero, A(1, 2, 4, 0)},
        {"1.2.3.4.5", BadPart::Zero, A(2, 3, 4, 5)},     // the first octet shifted out
        {" 10.+1.0.7", BadPart::Zero, A(10, 1, 0, 7)},   // leading blanks and a sign
        {"10.x.0.7", BadPart::Zero, A(10, 0, 0, 7)},     // LAN and administrator forms
        {"10.x.0.7", BadPart::AllOnes, A(9, 255, 0, 7)}, // DHCP form: -1 added before the shift
        {"10.0.0.", BadPart::AllOnes, A(10, 0, 0, 0)},   // the last part counts 0 either way
        {"10.0.0.abc", BadPart::AllOnes, A(10, 0, 0, 0)},
        {"", BadPart::Zero, 0},
        {"1.2.3.-1", BadPart::Zero, A(1, 2, 2, 255)},
        {"99999999999.1", BadPart::Zero, 1}, // beyond 32 bits is not a number
    };
    for (const Case &c : cases)
        EXPECT_EQ(IPTextToInt(c.text, c.badPart), c.expected) << c.text;
    EXPECT_EQ(IPEditToInt(nullptr), 0u);
}

TEST(AddressArithmetic, PoolEdges)
{
    const uint32_t start = A(192, 168, 0, 100);
    EXPECT_TRUE(InPool(A(192, 168, 0, 100), start, IPTextToInt("50")));
    EXPECT_TRUE(InPool(A(192, 168, 0, 149), start, 50));
    EXPECT_FALSE(InPool(A(192, 168, 0, 150), start, 50));
    EXPECT_FALSE(InPool(A(192, 168, 0, 99), start, 50));
    // start + size wraps at 2^32: the comparison is made on the wrapped end.
    EXPECT_FALSE(InPool(A(255, 255, 255, 250), A(255, 255, 255, 240), 20));
    EXPECT_TRUE(InPool(A(255, 255, 255, 250), A(255, 255, 255, 240), 15));
}

TEST(AddressArithmetic, StrictComparison)
{
    EXPECT_EQ(ParseAddress("192.168.0.5"), A(192, 168, 0, 5));
    EXPECT_TRUE(SameAddress("192.168.0.05", "192.168.0.5"));
    EXPECT_FALSE(SameAddress("192.168.0.6", "192.168.0.5"));
    for (const char *bad :
         {"", "1.2.3", "1.2.3.4.5", "1.2.3.256", "a.b.c.d", "1..2.3", " 1.2.3.4", "localhost"})
        EXPECT_FALSE(ParseAddress(bad)) << bad;
    EXPECT_FALSE(SameAddress("1.2.3.4", "x"));
    EXPECT_EQ(AddressText(A(10, 0, 255, 1)), "10.0.255.1");
}

} // namespace
