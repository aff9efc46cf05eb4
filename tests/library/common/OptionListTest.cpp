#include "ExtCtrls.h"
#include "KvOptionList.h"
#include "StdCtrls.h"

#include <gtest/gtest.h>

namespace {

const KvOptionPair kEnable[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kSigned[] = {{-5, "Minus five"}, {7, "Seven"}, {}};
const KvOptionPair kDuplicate[] = {{1, "One"}, {1, "Uno"}, {2, "1"}, {}};
const KvOptionPair kPrefix[] = {{"ab", "Alpha"}, {"x", "Ex"}, {}};
const KvOptionPair kText[] = {{"on", "Switched on"}, {"off", "Switched off"}, {}};

struct Conversion {
    const char *input;
    const char *expected;
};

TEST(OptionListTest, PairCountStopsAtNullName)
{
    EXPECT_EQ(KvOptionPairCount(nullptr), 0u);
    EXPECT_EQ(KvOptionPairCount(kEnable), 2u);
    const KvOptionPair empty[] = {{}};
    EXPECT_EQ(KvOptionPairCount(empty), 0u);
}

TEST(OptionListTest, NumericValueToName)
{
    KvOptionList list(kEnable, okNumber, 0);
    const Conversion cases[] = {
        {"1", "Enable"},   {"0", "Disable"}, {"7", "7"}, {"(NULL)", "(NULL)"},           {"abc", "abc"},
        {"0x1", "0x1"},    {"1.0", "1.0"},   {"", ""},   {"99999999999", "99999999999"}, {"+1", "Enable"},
        {"-0", "Disable"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(list.ValueToName(c.input), c.expected) << c.input;
}

TEST(OptionListTest, NumericNameToValue)
{
    KvOptionList list(kEnable, okNumber, 0);
    const Conversion cases[] = {
        {"Enable", "1"}, {"enable", "1"}, {"DISABLE", "0"}, {"nothing", "nothing"}, {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(list.NameToValue(c.input), c.expected) << c.input;
    KvOptionList exact(kEnable, okNumber, 1);
    EXPECT_EQ(exact.NameToValue("enable"), "enable");
    EXPECT_EQ(exact.NameToValue("Enable"), "1");
}

TEST(OptionListTest, NegativeNumberConvertsBackWithMinus)
{
    KvOptionList list(kSigned, okNumber, 0);
    EXPECT_EQ(list.NameToValue("Minus five"), "-5");
    EXPECT_EQ(list.ValueToName("-5"), "Minus five");
}

TEST(OptionListTest, EarlierPairWins)
{
    KvOptionList list(kDuplicate, okNumber, 0);
    EXPECT_EQ(list.IndexOfValue("1"), 0);
    EXPECT_EQ(list.ValueToName("1"), "One");
}

TEST(OptionListTest, EmptyListMatchesNothing)
{
    KvOptionList list(nullptr, okNumber, 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.IndexOfName("x"), -1);
    EXPECT_EQ(list.IndexOfValue("1"), -1);
    EXPECT_EQ(list.ValueToName("1"), "1");
    EXPECT_EQ(list.NameToValue("x"), "x");
    EXPECT_EQ(list.GetPair(0), nullptr);
    TComboBox combo(nullptr);
    combo.Items()->Add("old");
    list.FillComboItems(&combo);
    EXPECT_EQ(combo.Items()->Count(), 0);
    TRadioGroup radio(nullptr);
    radio.Items()->Add("old");
    list.FillRadioItems(&radio);
    EXPECT_EQ(radio.Items()->Count(), 0);
}

TEST(OptionListTest, PrefixKindCarriesTheRest)
{
    KvOptionList list(kPrefix, okPrefix, 0);
    const Conversion toName[] = {{"abc", "Alphac"}, {"ab", "Alpha"}, {"ABz", "Alphaz"}, {"a", "a"}, {"", ""}};
    for (const auto &c : toName)
        EXPECT_EQ(list.ValueToName(c.input), c.expected) << c.input;
    const Conversion toValue[] = {{"Alphac", "abc"}, {"alphaQ", "abQ"}, {"Alp", "Alp"}, {"Ex1", "x1"}};
    for (const auto &c : toValue)
        EXPECT_EQ(list.NameToValue(c.input), c.expected) << c.input;
    KvOptionList exact(kPrefix, okPrefix, 1);
    EXPECT_EQ(exact.ValueToName("ABc"), "ABc");
}

TEST(OptionListTest, TextKindComparesWholeTexts)
{
    KvOptionList list(kText, okText, 0);
    EXPECT_EQ(list.ValueToName("ON"), "Switched on");
    EXPECT_EQ(list.ValueToName("onx"), "onx");
    EXPECT_EQ(list.NameToValue("switched off"), "off");
    KvOptionList exact(kText, okText, 1);
    EXPECT_EQ(exact.ValueToName("ON"), "ON");
}

TEST(OptionListTest, UnknownKindMatchesNothing)
{
    KvOptionList list(kEnable, 9, 0);
    EXPECT_EQ(list.IndexOfValue("1"), -1);
    EXPECT_EQ(list.ValueToName("1"), "1");
    EXPECT_EQ(list.NameToValue("Enable"), "Enable");
}

TEST(OptionListTest, AppendAndClear)
{
    KvOptionList list(kEnable, okNumber, 0);
    list.Append(kSigned);
    list.Append(nullptr);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.GetPair(2)->Value, -5);
    EXPECT_EQ(list.GetPair(3)->Name, "Seven");
    EXPECT_EQ(list.GetPair(4), nullptr);
    EXPECT_EQ(list.GetPair(-1), nullptr);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(OptionListTest, ComboSelectionByNameOrValue)
{
    KvOptionList list(kEnable, okNumber, 0);
    TComboBox combo(nullptr);
    combo.SetStyle(csDropDownList);
    list.FillComboItems(&combo);
    ASSERT_EQ(combo.Items()->Count(), 2);
    EXPECT_EQ(combo.Items()->Strings(1), "Enable");
    const struct {
        const char *text;
        int index;
    } cases[] = {{"Enable", 1}, {"1", 1}, {"disable", 0}, {"0", 0}, {"(NULL)", -1}, {"5", -1}, {"zz", -1}};
    for (const auto &c : cases) {
        combo.SetItemIndex(0);
        list.SelectComboItem(&combo, c.text);
        EXPECT_EQ(combo.ItemIndex(), c.index) << c.text;
    }
}

TEST(OptionListTest, NameBeatsValueInControls)
{
    // "1" is the name of the third pair and the value of the first two.
    KvOptionList list(kDuplicate, okNumber, 0);
    TComboBox combo(nullptr);
    list.FillComboItems(&combo);
    list.SelectComboItem(&combo, "1");
    EXPECT_EQ(combo.ItemIndex(), 2);
    TRadioGroup radio(nullptr);
    list.FillRadioItems(&radio);
    list.SelectRadioItem(&radio, "1");
    EXPECT_EQ(radio.ItemIndex(), 2);
    list.SelectRadioItem(&radio, "2");
    EXPECT_EQ(radio.ItemIndex(), 2);
}

TEST(OptionListTest, RadioSelectionByNameOrValue)
{
    KvOptionList list(kEnable, okNumber, 0);
    TRadioGroup radio(nullptr);
    list.FillRadioItems(&radio);
    ASSERT_EQ(radio.Items()->Count(), 2);
    list.SelectRadioItem(&radio, "Enable");
    EXPECT_EQ(radio.ItemIndex(), 1);
    list.SelectRadioItem(&radio, "0");
    EXPECT_EQ(radio.ItemIndex(), 0);
    list.SelectRadioItem(&radio, "(NULL)");
    EXPECT_EQ(radio.ItemIndex(), -1);
}

} // namespace
