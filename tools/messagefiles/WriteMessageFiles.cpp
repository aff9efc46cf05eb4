// Writes the message tables' built-in texts as the files the program reads at start-up (one
// text a line), so that the messages of an installed program can be reworded or translated
// without rebuilding it. usage: qrn5290ap-messages FOLDER
#include "KvCommonTexts.h"
#include "KvSNMPErrors.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

namespace {

// A text the reader would skip (blank), cut (too long) or split (a line end) would move every
// later one to the wrong code.
bool readsBack(const AnsiString &text)
{
    bool visible = false;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\r' || c == '\n')
            return false;
        visible = visible || (c > ' ' && c != 0x7f);
    }
    return visible && text.size() < 1023;
}

bool write(const std::string &folder, const char *name, std::span<const AnsiString> texts)
{
    std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
    // A file replaces as many texts as it has lines: from the first text a line cannot hold
    // (one of two lines), the built-in texts stay.
    for (const AnsiString &text : texts) {
        if (!readsBack(text))
            break;
        out << text << '\n';
    }
    out.flush();
    if (!out)
        std::fprintf(stderr, "%s: cannot be written in %s\n", name, folder.c_str());
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: qrn5290ap-messages FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const bool ok =
        write(folder, "common.err", gKvCommonTexts) && write(folder, "snmp.err", gSnmpStatusTexts) &&
        write(folder, "snmpv3.err", gSnmpV3MpTexts) && write(folder, "snmpusm.err", gSnmpV3UsmTexts) &&
        write(folder, "snmpclass.err", gSnmpClassTexts) && write(folder, "kvsnmp.err", gKvSNMPTexts) &&
        write(folder, "snmp.msg", gKvSNMPLogFormats);
    return ok ? 0 : 1;
}
