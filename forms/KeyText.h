#pragma once
// WEP key and MAC address texts of the wireless forms: ASCII keys to hexadecimal text and
// back, masked keys (only asterisks) that stand for an unchanged key, the key length rule
// and the 12-character MAC rule. The forms differ only in their message texts.
#include "AnsiString.h"

#include <optional>
#include <vector>

class TEdit;

inline const AnsiString gMsgHexDigits = "Please input  Hexadecimal digits!";
// ASCII keys are sent as the hexadecimal text of their octets: one character, one octet.
inline const AnsiString gMsgPrintableKey = "Please input printable ASCII characters (blank to ~) as the key!";

// Two lower-case hexadecimal digits per character: "abc" gives "616263".
AnsiString StrToHexText(const AnsiString &text);
// Pairs of hexadecimal digits (either case; any other character counts 0) to characters; a
// last digit without partner is dropped: "616263" gives "abc".
AnsiString HexTextToStr(const AnsiString &hex);
// The characters of a key read as hexadecimal text, when every octet is printable ASCII;
// otherwise nothing (the form shows the key masked, so it is not sent unless typed again).
std::optional<AnsiString> PrintableKeyText(const AnsiString &hex);

// Only asterisks (or nothing): a key left as shown, which is neither converted nor sent.
bool IsMaskedKey(const AnsiString &text);
bool IsKeyEdited(const TEdit *edit);
// 0 masked; 1 a character is no hexadecimal digit (the message has been shown and the edit
// emptied); 2 every character is a hexadecimal digit.
int IsHexText(TEdit *edit);

// Required key length in characters: key type item 0 HEX, others ASCII; key size item 0, 1, 2
// for 64, 128 and 152 bits. 0 when the size is none of these (nothing is checked).
int WepKeyLength(int keyTypeItem, int keySizeItem);
// "The Length of <subject> must be <n>!" ("Lengh" for 16, as the device's forms have it).
AnsiString WepKeyLengthMessage(const AnsiString &subject, int length);
// "the 1st key in IEEE802.11g" .. "the 4th key in IEEE802.11g" (slot 1 to 4).
AnsiString WepKeySlotSubject(int slot);

struct WepKey {
    TEdit *Edit;              // the key as typed
    AnsiString Subject;       // named in the length message
    TEdit *HexEdit = nullptr; // where an edited ASCII key goes as hexadecimal text (null: Edit)
};
// An edited ASCII key holds only printable ASCII (0x20 to 0x7E), and every covered key has
// the required length (a message box "Warning" on the first that breaks a rule). Then, and
// only then, edited ASCII keys are converted to hexadecimal text. False leaves every edit as
// typed.
bool CheckWepKeyLengths(int keyTypeItem, int keySizeItem, const std::vector<WepKey> &keys);

struct MacRule {
    AnsiString LengthMessage; // "The length is 12 in MAC Address."
    AnsiString Caption;       // of the length message
    bool EmptyIsNone = false; // an empty edit is first filled with "000000000000"
    AnsiString NoneMessage;   // when set, "000000000000" is refused with it (caption "Warning")
};
// The 12-character MAC rule; false after showing the rule's message.
bool CheckMacText(TEdit *edit, const MacRule &rule);
// Two MAC texts name the same address: equal but for the letter case of their digits.
bool SameMacText(const AnsiString &a, const AnsiString &b);
