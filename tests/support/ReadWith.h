// Reads a file's bytes with a track reader, for the reader tests: whole, and a byte at a time,
// which must give the same result (every split of a file reads alike).
#pragma once

#include "CTrackReader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string_view>

// Feeds bytes to reader in pieces of nPiece bytes and finishes it.
inline ReadResult ReadInPieces(CTrackReader& reader, std::string_view bytes, std::size_t nPiece) {
    for (std::size_t at = 0; at < bytes.size(); at += nPiece)
        if (!reader.Feed(bytes.substr(at, nPiece)))
            break;
    return reader.Finish();
}

// The result of reading bytes whole with a reader from make (a Make of the table of file types);
// a byte at a time must give the same record, notes, counts and error.
template <typename Make> ReadResult ReadWith(Make make, std::string_view bytes) {
    const std::unique_ptr<CTrackReader> whole = make(bytes.size());
    ReadResult result = ReadInPieces(*whole, bytes, bytes.size() + 1);
    const std::unique_ptr<CTrackReader> bytewise = make(0);
    const ReadResult split = ReadInPieces(*bytewise, bytes, 1);
    EXPECT_TRUE(split.record == result.record) << "a byte at a time";
    EXPECT_EQ(result.notes, split.notes);
    EXPECT_EQ(result.error, split.error);
    EXPECT_EQ(result.errorLine, split.errorLine);
    EXPECT_EQ(result.skipped.Total(), split.skipped.Total());
    return result;
}
