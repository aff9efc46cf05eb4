#pragma once
// The SNMPv3 engine-boots counter file: "#" lines are comments; an entry is the engine id
// with each octet written as two characters (0x40 + high nibble, 0x40 + low nibble), a
// blank, the boots number and a newline. The file is rewritten through a temporary file
// and a rename, so a reader never sees half a file.
#include "OctetStr.h"

#include <cstdint>
#include <string>

constexpr std::uint32_t MAX_ENGINE_BOOTS = 2147483647u;

// SNMPv3_OK with the stored number; SNMPv3_NO_ENTRY_ERROR when the file has no entry for
// the engine id; SNMPv3_FILEOPEN_ERROR when the file cannot be opened; boots is 0 then.
int getBootCounter(const std::string &fileName, const OctetStr &engineId, unsigned int &boots);
// Writes boots (capped at MAX_ENGINE_BOOTS) for the engine id, keeping the other entries.
// SNMPv3_OK, or SNMPv3_FILECREATE_ERROR / SNMPv3_FILEWRITE_ERROR / SNMPv3_FILERENAME_ERROR.
int saveBootCounter(const std::string &fileName, const OctetStr &engineId, unsigned int boots);
