// Memory for a file's bytes or for what is parsed from them, used by CInputFile::ReadAll and by
// the GPX reader for pugixml's pages: one anonymous mapping that the kernel may back with 2 MB
// pages, so that a 1.3 MB GPX file and its 2.7 MB document cost three page faults instead of
// about 1000 of 4 KB (a fifth of a whole 10000-point import's time). Handed out front to back
// and given back all at once.
#pragma once

#include <cstddef>

class CBulkMemory {
public:
    // Mappings of this capacity and up to the next ask for 2 MB pages. Below, the zeroing of a
    // whole 2 MB page costs more than the few small page faults it saves; above, the faults are
    // a few per cent of the parse, and 2 MB pages measured slower: a 100 MB file took 0.4 to
    // 0.95 s of system time with them, 0.2 to 0.27 s without.
    static constexpr std::size_t kHugePagesFrom = std::size_t{1} << 20;
    static constexpr std::size_t kHugePagesUpTo = std::size_t{32} << 20;

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
