#pragma once
// Value-name vocabularies of enumerated objects: raw values as the device stores them and
// the names the forms show, converted both ways, filling and selecting combo boxes and
// radio groups.
#include "AnsiString.h"

#include <cstdint>
#include <vector>

class TComboBox;
class TRadioGroup;

// Kinds of option list.
enum KvOptionKind : uint32_t {
    okNumber = 1, // raw values are signed 32-bit numbers
    okText = 2,   // raw values are texts
    okPrefix = 3, // raw values are text prefixes; the rest of the text is carried over
};

// One pair of a static pair table. A table ends with a pair whose Name is null.
// {5, "Name"} is a numeric pair, {"ab", "Name"} a text pair, {} the end marker.
struct KvOptionPair {
    constexpr KvOptionPair() = default;
    constexpr KvOptionPair(int32_t value, const char *name) : Value(value), Name(name) {}
    constexpr KvOptionPair(const char *valueText, const char *name) : ValueText(valueText), Name(name) {}

    int32_t Value = 0;
    const char *ValueText = nullptr;
    const char *Name = nullptr;
};

// Number of pairs before the first null name; 0 for a null table.
unsigned KvOptionPairCount(const KvOptionPair *table);

// A pair owned by a list (copies of the texts).
struct KvOptionEntry {
    int32_t Value = 0;    // okNumber
    AnsiString ValueText; // okText, okPrefix
    AnsiString Name;
};

class KvOptionList {
public:
    // caseFlag 0: names and value texts compare without regard to letter case.
    explicit KvOptionList(const KvOptionPair *table = nullptr, uint32_t kind = okNumber,
                          uint8_t caseFlag = 0);
    ~KvOptionList();
    KvOptionList(const KvOptionList &) = default;
    KvOptionList &operator=(const KvOptionList &) = default;

    void Clear();
    void Append(const KvOptionPair *table);

    uint32_t Kind() const { return m_kind; }
    uint8_t CaseFlag() const { return m_caseFlag; }
    int32_t Count() const { return static_cast<int32_t>(m_pairs.size()); }
    // The pair at index, or null outside 0..Count-1.
    const KvOptionEntry *GetPair(int index) const;

    int IndexOfName(const AnsiString &name) const;
    int IndexOfValue(const AnsiString &value) const;
    AnsiString ValueToName(const AnsiString &value) const;
    AnsiString NameToValue(const AnsiString &name) const;

    void FillComboItems(TComboBox *combo) const;
    void SelectComboItem(TComboBox *combo, const AnsiString &text) const;
    void FillRadioItems(TRadioGroup *radio) const;
    void SelectRadioItem(TRadioGroup *radio, const AnsiString &text) const;

private:
    bool equal(const AnsiString &a, const AnsiString &b) const;
    bool isPrefix(const AnsiString &prefix, const AnsiString &text) const;

    uint32_t m_kind;
    uint8_t m_caseFlag;
    std::vector<KvOptionEntry> m_pairs;
};
