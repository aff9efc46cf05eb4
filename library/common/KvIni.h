#pragma once
// Reads values of an ini file by the rules of the Windows profile-string call:
// sections and keys match without regard to letter case, the first match wins, blanks
// around keys and values are dropped, a value in matching quotes loses them, and a value
// is at most 4095 characters.
#include "AnsiString.h"

class KvIni {
public:
    explicit KvIni(const AnsiString &fileName) : m_fileName(fileName) {}
    ~KvIni() = default;

    const AnsiString &FileName() const { return m_fileName; }

    // The value trimmed of spaces and control characters; an empty value (or a missing
    // key with an empty default) gives def unchanged; a missing key or file gives def
    // trimmed.
    AnsiString ReadString(const AnsiString &section, const AnsiString &key, const AnsiString &def) const;

private:
    AnsiString m_fileName;
};

// The raw profile-string lookup: what the Windows call would copy into a 4096-byte buffer.
AnsiString KvProfileString(const AnsiString &fileName, const AnsiString &section, const AnsiString &key,
                           const AnsiString &def);
