// Key, hex and MAC text checks of the wireless forms: the edge cases, one table each.
#include "KeyText.h"
#include "FormFixture.h"

using namespace formtest;

namespace {

class KeyText : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        startApplication();
        form = new TForm(Application);
        edit = new TEdit(form);
        hex = new TEdit(form);
    }
    TForm *form = nullptr;
    TEdit *edit = nullptr;
    TEdit *hex = nullptr;
};

} // namespace

TEST_F(KeyText, EdgeCases)
{
    const std::pair<std::string, std::string> hexPairs[] = {
        {"abc", "616263"}, {"\x05", "05"}, {"\xe9", "e9"}, {"", ""}};
    for (const auto &[text, hexText] : hexPairs) {
        EXPECT_EQ(StrToHexText(text), hexText);
        EXPECT_EQ(HexTextToStr(hexText), text);
    }
    EXPECT_EQ(HexTextToStr("6A6a"), "jj");
    EXPECT_EQ(HexTextToStr("616"), "a");
    EXPECT_EQ(HexTextToStr("6z"), "\x60");
    EXPECT_EQ(PrintableKeyText("617e20"), std::optional<std::string>("a~ "));
    EXPECT_EQ(PrintableKeyText("61007f"), std::nullopt);

    struct HexCase {
        const char *text;
        int result;
        const char *after;
        bool edited;
    };
    const HexCase hexCases[] = {
        {"**********", 0, "**********", false},
        {"", 0, "", false},
        {"*****1****", 1, "", true},
        {"0123456789aBcDeF", 2, "0123456789aBcDeF", true},
        {"12g4", 1, "", true},
    };
    for (const HexCase &c : hexCases) {
        SCOPED_TRACE(c.text);
        edit->SetText(c.text);
        EXPECT_EQ(IsKeyEdited(edit), c.edited);
        if (c.result == 1)
            expectBox("Please input  Hexadecimal digits!", "QRN-5290AP");
        EXPECT_EQ(IsHexText(edit), c.result);
        EXPECT_EQ(edit->Text(), c.after);
    }

    struct KeyCase {
        int type, size;
        std::string typed;
        bool ok;
        const char *hexAfter; // the HEX edit after the check ("" untouched)
        std::string box;
    };
    const KeyCase keyCases[] = {
        {0, 0, "**********", true, "", ""},
        {1, 0, "*****", true, "", ""},
        {1, 0, "abcde", true, "6162636465", ""},
        {1, 2, "abc", false, "", "The Lengh of the 3rd key in IEEE802.11g must be 16!"},
        {0, 2, "abc", false, "", "The Length of the 3rd key in IEEE802.11g must be 32!"},
        {0, 1, "abc", false, "", "The Length of the 3rd key in IEEE802.11g must be 26!"},
        {1, 1, "abc", false, "", "The Length of the 3rd key in IEEE802.11g must be 13!"},
        {0, -1, "1", true, "", ""},
        {1, 0,
         "ab\x01"
         "de",
         false, "", "Please input printable ASCII characters (blank to ~) as the key!"},
        {1, 0, "ab\xc3\xa9", false, "", "Please input printable ASCII characters (blank to ~) as the key!"},
    };
    for (const KeyCase &c : keyCases) {
        SCOPED_TRACE(c.typed);
        edit->SetText(c.typed);
        hex->SetText("");
        if (!c.box.empty())
            expectBox(c.box, "Warning");
        EXPECT_EQ(CheckWepKeyLengths(c.type, c.size, {{edit, WepKeySlotSubject(3), hex}}), c.ok);
        EXPECT_EQ(edit->Text(), c.typed);
        EXPECT_EQ(hex->Text(), c.hexAfter);
    }
    EXPECT_EQ(WepKeyLength(0, 0), static_cast<int>(StrToHexText("abcde").size()));
    EXPECT_EQ(WepKeyLengthMessage("Guest SSID2's key in IEEE802.11g", 5),
              "The Length of Guest SSID2's key in IEEE802.11g must be 5!");

    const MacRule mode{"The length is 12 in IEEE802.11g MAC address.", "Error", true, ""};
    const MacRule acl{"The length is 12 in MAC Address.", "Error", false,
                      "Please input a valid MAC Address."};
    struct MacCase {
        const MacRule *rule;
        const char *text;
        bool ok;
        const char *after;
        std::string box;
        std::string caption;
    };
    const MacCase macCases[] = {
        {&mode, "", true, "000000000000", "", ""},
        {&mode, "00112233445", false, "00112233445", mode.LengthMessage, "Error"},
        {&acl, "", false, "", acl.LengthMessage, "Error"},
        {&acl, "000000000000", false, "000000000000", acl.NoneMessage, "Warning"},
        {&acl, "00aabbCCddee", true, "00aabbCCddee", "", ""},
    };
    for (const MacCase &c : macCases) {
        SCOPED_TRACE(c.text);
        edit->SetText(c.text);
        if (!c.box.empty())
            expectBox(c.box, c.caption);
        EXPECT_EQ(CheckMacText(edit, *c.rule), c.ok);
        EXPECT_EQ(edit->Text(), c.after);
    }
}
