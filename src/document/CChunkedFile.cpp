#include "CChunkedFile.h"

#include "CByteReader.h"
#include "CByteWriter.h"
#include "CCrc32.h"
#include "MessageText.h"

namespace {
constexpr std::size_t kVersionedPrefix = sizeof(std::int16_t) + CChunkedFile::kMagic.size();
constexpr std::size_t kHeaderChecked = kVersionedPrefix + 2 * sizeof(std::uint16_t);

std::string At(std::size_t nOffset) {
    return " at byte " + std::to_string(nOffset);
}

std::string ChunkName(std::string_view tag, std::size_t nOffset) {
    return "chunk \"" + QuotedText(tag) + "\"" + At(nOffset);
}

// The checksum a chunk carries covers its tag and length as well as its contents, so that a
// damaged tag does not turn a known chunk into one the reader skips.
std::uint32_t ChunkCrc(std::string_view tagAndLength, std::string_view contents) {
    return CCrc32::Of(contents, CCrc32::Of(tagAndLength));
}

std::string CheckHeader(std::string_view bytes, std::uint16_t nNewestMajor,
                        DocumentVersion& version) {
    if (bytes.size() < CChunkedFile::kHeaderBytes)
        return "it has " + std::to_string(bytes.size()) +
               " bytes, too few for the header of a versioned document";
    CByteReader reader(bytes.substr(kVersionedPrefix));
    const auto major = reader.Get<std::uint16_t>();
    const auto minor = reader.Get<std::uint16_t>();
    if (reader.Get<std::uint32_t>() != CCrc32::Of(bytes.substr(0, kHeaderChecked)))
        return "the checksum of its header does not match";
    const std::string number = std::to_string(major) + "." + std::to_string(minor);
    if (major > nNewestMajor)
        return "its version " + number + " is newer than this program reads (" +
               std::to_string(nNewestMajor) + ".x); a newer Vorlan wrote it";
    if (major < 2)
        return "its version number " + number + " is not one Vorlan writes";
    version = {major, minor};
    return std::string();
}
} // namespace

bool CChunkedFile::IsVersioned(std::string_view bytes) {
    if (bytes.size() < kVersionedPrefix)
        return false;
    CByteReader reader(bytes);
    return reader.Get<std::int16_t>() == kMarker && reader.GetBytes(kMagic.size()) == kMagic;
}

CChunkedFile::CChunkedFile(DocumentVersion version) {
    CByteWriter out(m_bytes);
    out.Put(kMarker);
    out.PutBytes(kMagic);
    out.Put(version.major);
    out.Put(version.minor);
    out.Put(CCrc32::Of(m_bytes));
}

void CChunkedFile::Add(std::string_view tag, std::string_view contents) {
    std::string head;
    CByteWriter out(head);
    out.PutBytes(tag.substr(0, kTagBytes));
    out.Put(static_cast<std::uint32_t>(contents.size()));
    m_bytes.reserve(m_bytes.size() + kChunkHeaderBytes + contents.size());
    m_bytes += head;
    CByteWriter(m_bytes).Put(ChunkCrc(head, contents));
    m_bytes += contents;
}

std::string CChunkedFile::Finish() {
    Add(kEndTag, std::string_view());
    return std::move(m_bytes);
}

std::string CChunkedFile::Split(std::string_view bytes, std::uint16_t nNewestMajor,
                                DocumentVersion& version, std::vector<FileChunk>& chunks) {
    if (std::string reason = CheckHeader(bytes, nNewestMajor, version); !reason.empty())
        return reason;
    std::vector<FileChunk> found;
    std::size_t nAt = kHeaderBytes;
    while (nAt < bytes.size()) {
        if (bytes.size() - nAt < kChunkHeaderBytes)
            return "it is cut off inside the header of a chunk" + At(nAt);
        CByteReader reader(bytes.substr(nAt, kChunkHeaderBytes));
        const std::string_view tag = reader.GetBytes(kTagBytes);
        const auto nLength = reader.Get<std::uint32_t>();
        const auto nCrc = reader.Get<std::uint32_t>();
        const std::size_t nLeft = bytes.size() - nAt - kChunkHeaderBytes;
        if (nLength > nLeft)
            return "the " + ChunkName(tag, nAt) + " is cut off: it has " + std::to_string(nLeft) +
                   " of its " + std::to_string(nLength) + " bytes";
        const std::string_view contents = bytes.substr(nAt + kChunkHeaderBytes, nLength);
        if (ChunkCrc(bytes.substr(nAt, kTagBytes + sizeof nLength), contents) != nCrc)
            return "the checksum of the " + ChunkName(tag, nAt) + " does not match its contents";
        if (tag == kEndTag) {
            if (nLength != 0)
                return "the end chunk has " + std::to_string(nLength) + " bytes of contents";
            const std::size_t nAfter = bytes.size() - nAt - kChunkHeaderBytes;
            if (nAfter != 0)
                return std::to_string(nAfter) + " bytes follow its end chunk";
            chunks = std::move(found);
            return std::string();
        }
        found.push_back({tag, contents, nAt});
        nAt += kChunkHeaderBytes + nLength;
    }
    return "it is cut off after " + std::to_string(nAt) + " bytes: its end chunk is missing";
}

std::string CChunkedFile::FindOne(const std::vector<FileChunk>& chunks, std::string_view tag,
                                  std::string_view name, bool bRequired, std::string_view& contents,
                                  bool* pbFound) {
    bool bFound = false;
    for (const FileChunk& chunk : chunks) {
        if (chunk.tag != tag)
            continue;
        if (bFound)
            return "it holds the " + std::string(name) + " chunk twice";
        contents = chunk.contents;
        bFound = true;
    }
    if (pbFound)
        *pbFound = bFound;
    if (!bFound && bRequired)
        return "its " + std::string(name) + " chunk is missing";
    return std::string();
}
