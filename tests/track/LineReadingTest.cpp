// The reader's text input: lines in pieces with CR LF read as LF (checked against a plain
// character-by-character model on random texts), and numbers read the way "%f" reads them.
#include "CLineScanner.h"
#include "CStdioFile.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

// What fgets in text mode gives: CR LF becomes LF before the count of nMax - 1 characters.
std::vector<std::string> ModelPieces(const std::string& text, int nMax) {
    std::vector<std::string> pieces;
    size_t i = 0;
    while (i < text.size()) {
        std::string piece;
        while (static_cast<int>(piece.size()) < nMax - 1 && i < text.size()) {
            char c = text[i++];
            if (c == '\r' && i < text.size() && text[i] == '\n') {
                c = '\n';
                ++i;
            }
            piece += c;
            if (c == '\n')
                break;
        }
        pieces.push_back(piece);
    }
    return pieces;
}

std::vector<std::string> ReadPieces(const std::string& path, int nMax) {
    std::FILE* fp = std::fopen(path.c_str(), "rb");
    EXPECT_NE(nullptr, fp);
    CStdioFile file(fp);
    std::vector<std::string> pieces;
    std::vector<char> buf(nMax);
    while (file.ReadString(buf.data(), nMax))
        pieces.emplace_back(buf.data());
    std::fclose(fp);
    return pieces;
}

TEST(LineReading, PiecesMatchTextModeFgets) {
    const ScratchDir scratch;
    const std::string path = scratch.File("text.txt");
    std::mt19937 rng(7);
    const char alphabet[] = "ab \t\r\n\r\n";
    // Short texts with every piece size, then texts up to 130 KB that cross the 64 KB read
    // buffer with CR and LF on either side of its edge.
    for (int round = 0; round < 36; ++round) {
        const bool big = round >= 30;
        const size_t size = big ? 65536 * (1 + round % 2) + rng() % 300 - 150 : rng() % 600;
        std::string text;
        for (size_t i = 0; i < size; ++i)
            text += alphabet[rng() % (sizeof alphabet - 1)];
        std::ofstream(path, std::ios::binary) << text;
        for (int nMax : {2, 3, 5, 17, 256}) {
            if (big && nMax < 17)
                continue;
            SCOPED_TRACE("round " + std::to_string(round) + " nMax " + std::to_string(nMax));
            EXPECT_EQ(ModelPieces(text, nMax), ReadPieces(path, nMax));
        }
    }
}

TEST(LineReading, CrLfAroundTheBufferEdgeAndThePieceLimit) {
    const ScratchDir scratch;
    const std::string path = scratch.File("text.txt");
    // The CR is the last byte of the first 64 KB block and the LF the first of the next one.
    std::string text(65535, 'x');
    text += "\r\nend\r";
    std::ofstream(path, std::ios::binary) << text;
    std::vector<std::string> pieces = ReadPieces(path, 65537);
    ASSERT_EQ(2u, pieces.size());
    EXPECT_EQ(std::string(65535, 'x') + "\n", pieces[0]);
    EXPECT_EQ("end\r", pieces[1]); // a CR at the end of the file stays

    // The CR fills the last place of a piece: it still pairs with the LF after it.
    std::ofstream(path, std::ios::binary) << "abc\r\nd";
    EXPECT_EQ((std::vector<std::string>{"abc\n", "d"}), ReadPieces(path, 5));
}

TEST(LineReading, NumbersReadLikeScanf) {
    struct Case {
        const char* text;
        bool read;
        float value;
        const char* rest; // the next word after the number
    } cases[] = {
        {"52 ft", true, 52.0f, "ft"}, {"  -1.5e2x", true, -150.0f, "x"},
        {"+.5", true, 0.5f, ""},      {"52ft", true, 52.0f, "ft"},
        {"--5", false, 0.0f, "--5"},  {"+-5", false, 0.0f, "+-5"},
        {"-+5", false, 0.0f, "-+5"},  {"AM 52", false, 0.0f, "AM"},
        {"nan ft", true, 0.0f, "ft"}, {"-inf", true, 0.0f, ""},
        {"1e39 m", true, 0.0f, "m"},  {". 5", false, 0.0f, "."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CLineScanner scan(c.text);
        EXPECT_EQ(c.read, scan.NextIsNumber());
        float f = 0.0f;
        EXPECT_EQ(c.read, scan.Number(f));
        EXPECT_EQ(c.value, f);
        char word[CLineScanner::kTokenSize] = {};
        scan.Word(word);
        EXPECT_STREQ(c.rest, word);
    }
}

} // namespace
