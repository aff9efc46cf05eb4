#include "KvPath.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

AnsiString JoinPath(const AnsiString &folder, const AnsiString &fileName)
{
    if (folder.empty())
        return fileName;
    char last = folder.back();
    if (last == '/' || last == '\\')
        return folder + fileName;
    return folder + "/" + fileName;
}

namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameIgnoringCase(const std::string &a, const std::string &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

} // namespace

AnsiString ResolvePathNoCase(const AnsiString &path)
{
    std::error_code ec;
    if (path.empty() || fs::exists(fs::symlink_status(path, ec)))
        return path;

    std::vector<std::string> names;
    std::string current;
    for (char c : path) {
        if (c != '/') {
            current += c;
        } else if (!current.empty()) {
            names.push_back(current);
            current.clear();
        }
    }
    if (!current.empty())
        names.push_back(current);

    std::string resolved = path.front() == '/' ? "/" : "";
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string &name = names[i];
        std::string chosen = name;
        if (name != "." && name != ".." && !fs::exists(fs::symlink_status(resolved + name, ec))) {
            std::vector<std::string> matches;
            std::string folder = resolved.empty() ? "." : resolved;
            for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
                std::string entry = it->path().filename().string();
                if (sameIgnoringCase(entry, name))
                    matches.push_back(entry);
            }
            if (!matches.empty())
                chosen = *std::min_element(matches.begin(), matches.end());
        }
        resolved += chosen;
        if (i + 1 < names.size() || path.back() == '/')
            resolved += "/";
    }
    return resolved;
}
