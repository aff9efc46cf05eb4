#include "BootCounter.h"
#include "SnmpStatus.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string encodeEngineId(const OctetStr &id)
{
    std::string out;
    out.reserve(id.len() * 2);
    for (std::size_t i = 0; i < id.len(); ++i) {
        out += static_cast<char>(0x40 + (id[i] >> 4));
        out += static_cast<char>(0x40 + (id[i] & 0x0F));
    }
    return out;
}

bool readLines(const std::string &fileName, std::vector<std::string> &lines)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return true;
}

// Splits "KEY boots"; false for comments and malformed lines.
bool parseEntry(std::string_view line, std::string_view &key, unsigned long long &boots)
{
    if (line.empty() || line[0] == '#')
        return false;
    auto blank = line.find(' ');
    if (blank == std::string_view::npos || blank == 0)
        return false;
    key = line.substr(0, blank);
    std::string_view num = line.substr(blank + 1);
    while (!num.empty() && num.front() == ' ')
        num.remove_prefix(1);
    auto [end, ec] = std::from_chars(num.data(), num.data() + num.size(), boots);
    return ec == std::errc() && end != num.data();
}

} // namespace

int getBootCounter(const std::string &fileName, const OctetStr &engineId, unsigned int &boots)
{
    boots = 0;
    std::vector<std::string> lines;
    if (!readLines(fileName, lines))
        return SNMPv3_FILEOPEN_ERROR;
    const std::string wanted = encodeEngineId(engineId);
    for (const auto &line : lines) {
        std::string_view key;
        unsigned long long value = 0;
        if (parseEntry(line, key, value) && key == wanted) {
            boots = static_cast<unsigned int>(value > MAX_ENGINE_BOOTS ? MAX_ENGINE_BOOTS : value);
            return SNMPv3_OK;
        }
    }
    return SNMPv3_NO_ENTRY_ERROR;
}

int saveBootCounter(const std::string &fileName, const OctetStr &engineId, unsigned int boots)
{
    if (boots > MAX_ENGINE_BOOTS)
        boots = MAX_ENGINE_BOOTS;
    const std::string wanted = encodeEngineId(engineId);
    // A file marked read-only stays as it is, also for a user (root) whom access() lets write.
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0 &&
        ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(fileName.c_str(), W_OK) != 0))
        return SNMPv3_FILECREATE_ERROR;
    std::vector<std::string> lines;
    readLines(fileName, lines); // a missing file starts empty

    std::ostringstream text;
    bool written = false;
    bool hasHeader = !lines.empty() && !lines.front().empty() && lines.front()[0] == '#';
    if (!hasHeader)
        text << "# engine-boots counters: engine id, blank, boots\n";
    for (const auto &line : lines) {
        std::string_view key;
        unsigned long long value = 0;
        if (parseEntry(line, key, value) && key == wanted) {
            if (!written)
                text << wanted << ' ' << boots << '\n';
            written = true;
            continue;
        }
        if (!line.empty())
            text << line << '\n';
    }
    if (!written)
        text << wanted << ' ' << boots << '\n';

    // A unique temporary file next to the target, then an atomic rename.
    std::string tmpl = fileName + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0)
        return SNMPv3_FILECREATE_ERROR;
    const std::string data = text.str();
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            ::unlink(name.data());
            return SNMPv3_FILEWRITE_ERROR;
        }
        done += static_cast<std::size_t>(n);
    }
    fchmod(fd, 0644);
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        ::unlink(name.data());
        return SNMPv3_FILEWRITE_ERROR;
    }
    if (std::rename(name.data(), fileName.c_str()) != 0) {
        ::unlink(name.data());
        return SNMPv3_FILERENAME_ERROR;
    }
    return SNMPv3_OK;
}
