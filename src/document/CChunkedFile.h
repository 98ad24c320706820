// The container of a versioned document: a header the designed reader refuses, then chunks that
// each carry a tag, a length and a CRC-32, closed by an end chunk. CDocumentFile and
// CRecordChunks write and read documents through it; it knows nothing of what the chunks hold.
//
// Header, 18 bytes: int16 -1 (a point count the designed layout refuses), the magic "VRLDOC\r\n"
// (a copy that turned CR LF into LF no longer matches), uint16 major and minor version, and the
// CRC-32 of the 14 bytes before it. A chunk: a 4-byte tag, a uint32 length, the CRC-32 of tag,
// length and contents, then the contents. The end chunk "END " has no contents, and nothing
// follows it, so a file cut off between two chunks is told from a whole one.
//
// A newer minor version adds chunks of new tags and changes none: a reader skips the tags it
// does not know. A newer major version may change anything and is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct DocumentVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
};

struct FileChunk {
    std::string_view tag; // 4 bytes
    std::string_view contents;
    std::size_t nOffset = 0; // where the chunk starts in the file, for messages
};

class CChunkedFile {
public:
    static constexpr std::size_t kHeaderBytes = 18;
    static constexpr std::size_t kChunkHeaderBytes = 12;
    static constexpr std::size_t kTagBytes = 4;
    static constexpr std::int16_t kMarker = -1;
    static constexpr std::string_view kMagic{"VRLDOC\r\n"};
    static constexpr std::string_view kEndTag{"END "};

    // True when bytes begin with the marker and the magic of a versioned document.
    static bool IsVersioned(std::string_view bytes);

    // Starts a document of the given version; Add its chunks, then Finish.
    explicit CChunkedFile(DocumentVersion version);
    void Add(std::string_view tag, std::string_view contents);
    // The whole document, closed by the end chunk.
    std::string Finish();

    // Splits a versioned document into its chunks (the end chunk left out), checking the header,
    // every checksum and the end; a major version above nNewestMajor is refused before its chunks
    // are looked at. Gives the reason for a refusal, or an empty string; the chunks point into
    // bytes.
    static std::string Split(std::string_view bytes, std::uint16_t nNewestMajor,
                             DocumentVersion& version, std::vector<FileChunk>& chunks);

    // The one chunk of tag, named in messages as name ("the view values chunk"): its contents in
    // contents, or an empty reason when it is missing and not required. A known tag that shows up
    // twice is refused.
    static std::string FindOne(const std::vector<FileChunk>& chunks, std::string_view tag,
                               std::string_view name, bool bRequired, std::string_view& contents,
                               bool* pbFound = nullptr);

private:
    std::string m_bytes;
};
