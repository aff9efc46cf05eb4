#include "KvMessageFile.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr std::size_t PieceLength = 1023;

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};

bool isBlank(const AnsiString &piece)
{
    for (char ch : piece) {
        const auto c = static_cast<unsigned char>(ch);
        if (c > ' ' && c != 0x7f)
            return false;
    }
    return true;
}

// One piece: up to 1023 characters, or up to and including the next line feed.
bool readPiece(std::FILE *file, AnsiString &piece)
{
    piece.clear();
    int c;
    while (piece.size() < PieceLength && (c = std::fgetc(file)) != EOF) {
        // Text mode: a carriage return and line feed arrive as one line feed.
        if (c == '\r') {
            int next = std::fgetc(file);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                std::ungetc(next, file);
        }
        piece += static_cast<char>(c);
        if (c == '\n')
            break;
    }
    return !piece.empty();
}

} // namespace

void ReadTextLines(std::span<AnsiString> table, const AnsiString &fileName)
{
    // Binary mode with our own line-end handling reads Windows-made files the same on Linux.
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
    if (!file)
        return;
    std::vector<AnsiString> lines;
    AnsiString piece;
    while (readPiece(file.get(), piece)) {
        if (isBlank(piece))
            continue;
        if (!piece.empty() && piece.back() == '\n') {
            piece.pop_back();
            if (!piece.empty() && piece.back() == '\r')
                piece.pop_back();
        }
        lines.push_back(piece);
    }
    if (lines.empty())
        return;
    for (std::size_t i = 0; i < lines.size() && i < table.size(); ++i)
        table[i] = std::move(lines[i]);
}
