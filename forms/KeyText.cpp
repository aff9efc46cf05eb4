#include "KeyText.h"

#include "Forms.h"
#include "StdCtrls.h"

#include <cctype>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isPrintable(unsigned char c)
{
    return c >= 0x20 && c <= 0x7E;
}

void warn(const AnsiString &text, const AnsiString &caption)
{
    Application->MessageBox(text, caption, MB_OK);
}

} // namespace

AnsiString StrToHexText(const AnsiString &text)
{
    static const char digits[] = "0123456789abcdef";
    AnsiString hex;
    hex.reserve(text.size() * 2);
    for (unsigned char c : text) {
        hex += digits[c >> 4];
        hex += digits[c & 0x0F];
    }
    return hex;
}

AnsiString HexTextToStr(const AnsiString &hex)
{
    AnsiString text;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int high = hexValue(hex[i]);
        const int low = hexValue(hex[i + 1]);
        text += static_cast<char>((high < 0 ? 0 : high) * 16 + (low < 0 ? 0 : low));
    }
    return text;
}

std::optional<AnsiString> PrintableKeyText(const AnsiString &hex)
{
    const AnsiString text = HexTextToStr(hex);
    for (unsigned char c : text)
        if (!isPrintable(c))
            return std::nullopt;
    return text;
}

bool IsMaskedKey(const AnsiString &text)
{
    return text.find_first_not_of('*') == AnsiString::npos;
}

bool IsKeyEdited(const TEdit *edit)
{
    return !IsMaskedKey(edit->Text());
}

int IsHexText(TEdit *edit)
{
    const AnsiString text = edit->Text();
    if (IsMaskedKey(text))
        return 0;
    for (char c : text) {
        if (hexValue(c) < 0) {
            ShowMessage(gMsgHexDigits);
            edit->SetText("");
            return 1;
        }
    }
    return 2;
}

int WepKeyLength(int keyTypeItem, int keySizeItem)
{
    static const int hex[] = {10, 26, 32};
    static const int ascii[] = {5, 13, 16};
    if (keySizeItem < 0 || keySizeItem > 2)
        return 0;
    return keyTypeItem == 0 ? hex[keySizeItem] : ascii[keySizeItem];
}

AnsiString WepKeyLengthMessage(const AnsiString &subject, int length)
{
    return AnsiString(length == 16 ? "The Lengh of " : "The Length of ") + subject + " must be " +
           std::to_string(length) + "!";
}

AnsiString WepKeySlotSubject(int slot)
{
    static const char *const ordinals[] = {"1st", "2nd", "3rd", "4th"};
    const char *ordinal = slot >= 1 && slot <= 4 ? ordinals[slot - 1] : "";
    return AnsiString("the ") + ordinal + " key in IEEE802.11g";
}

bool CheckWepKeyLengths(int keyTypeItem, int keySizeItem, const std::vector<WepKey> &keys)
{
    const int length = WepKeyLength(keyTypeItem, keySizeItem);
    if (length == 0)
        return true;
    // An ASCII key is sent one octet per character: anything else (a control character, a
    // letter that takes several octets) cannot be a key character.
    for (const WepKey &key : keys) {
        if (keyTypeItem == 0 || !IsKeyEdited(key.Edit))
            continue;
        for (unsigned char c : key.Edit->Text()) {
            if (!isPrintable(c)) {
                warn(gMsgPrintableKey, "Warning");
                return false;
            }
        }
    }
    for (const WepKey &key : keys) {
        // A masked key has the required length already.
        if (static_cast<int>(key.Edit->Text().size()) != length) {
            warn(WepKeyLengthMessage(key.Subject, length), "Warning");
            return false;
        }
    }
    if (keyTypeItem == 0)
        return true;
    for (const WepKey &key : keys)
        if (IsKeyEdited(key.Edit))
            (key.HexEdit != nullptr ? key.HexEdit : key.Edit)->SetText(StrToHexText(key.Edit->Text()));
    return true;
}

bool CheckMacText(TEdit *edit, const MacRule &rule)
{
    if (rule.EmptyIsNone && edit->Text().empty())
        edit->SetText("000000000000");
    const AnsiString text = edit->Text();
    if (text.size() != 12) {
        warn(rule.LengthMessage, rule.Caption);
        return false;
    }
    if (!rule.NoneMessage.empty() && text == "000000000000") {
        warn(rule.NoneMessage, "Warning");
        return false;
    }
    return true;
}

bool SameMacText(const AnsiString &a, const AnsiString &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
