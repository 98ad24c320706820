// Memory for a big file's bytes or for what is parsed from them, used by CInputFile::ReadAll and
// by the GPX reader for pugixml's pages: one anonymous mapping that the kernel may back with
// 2 MB pages, so that a 1.3 MB GPX file and its 2.3 MB document cost a few page faults instead of
// one per 4 KB (nearly half of a whole import's time went to those faults). Handed out front to
// back and given back all at once.
#pragma once

#include <cstddef>

class CBulkMemory {
public:
    // From this capacity on the mapping asks for 2 MB pages; below it the zeroing of a whole
    // 2 MB page would cost more than the few small page faults it saves.
    static constexpr std::size_t kHugePageFrom = std::size_t{1} << 20;

    CBulkMemory() = default;
    // Maps nCapacity bytes of address space; a page costs only once it is touched. Capacity()
    // is 0 when the mapping failed.
    explicit CBulkMemory(std::size_t nCapacity);
    CBulkMemory(CBulkMemory&& other) noexcept;
    CBulkMemory& operator=(CBulkMemory&& other) noexcept;
    CBulkMemory(const CBulkMemory&) = delete;
    CBulkMemory& operator=(const CBulkMemory&) = delete;
    ~CBulkMemory();

    char* Data() const { return m_pData; }
    std::size_t Capacity() const { return m_nCapacity; }
    // The next nBytes, aligned for any type, or nullptr when fewer are left.
    void* Allocate(std::size_t nBytes);
    bool Owns(const void* p) const;

private:
    void Release();

    char* m_pMapping = nullptr; // what mmap gave, for munmap
    std::size_t m_nMapped = 0;
    char* m_pData = nullptr; // the usable part, aligned to a 2 MB page when it asks for them
    std::size_t m_nCapacity = 0;
    std::size_t m_nUsed = 0;
};
