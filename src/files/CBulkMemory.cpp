#include "CBulkMemory.h"

#include <cstdint>
#include <sys/mman.h>
#include <utility>

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t n, std::size_t unit) {
    return (n + unit - 1) / unit * unit;
}
} // namespace

// A 2 MB page needs a 2 MB-aligned 2 MB stretch of the mapping, so a big mapping is made one
// such page longer than asked and used from its first aligned byte on.
CBulkMemory::CBulkMemory(std::size_t nCapacity) {
    const bool bHuge = nCapacity >= kHugePagesFrom && nCapacity <= kHugePagesUpTo;
    const std::size_t nUsable = RoundUp(nCapacity, bHuge ? kHugePage : 1);
    const std::size_t nMapped = nUsable + (bHuge ? kHugePage : 0);
    void* p = mmap(nullptr, nMapped, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED)
        return;
    m_pMapping = static_cast<char*>(p);
    m_nMapped = nMapped;
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(p);
    m_pData = m_pMapping + (bHuge ? RoundUp(start, kHugePage) - start : 0);
    m_nCapacity = nUsable;
    // Only advice: without transparent huge pages the memory is the same, in 4 KB pages.
    if (bHuge)
        madvise(m_pData, m_nCapacity, MADV_HUGEPAGE);
}

CBulkMemory::CBulkMemory(CBulkMemory&& other) noexcept
    : m_pMapping(std::exchange(other.m_pMapping, nullptr)),
      m_nMapped(std::exchange(other.m_nMapped, 0)), m_pData(std::exchange(other.m_pData, nullptr)),
      m_nCapacity(std::exchange(other.m_nCapacity, 0)), m_nUsed(std::exchange(other.m_nUsed, 0)) {}

CBulkMemory& CBulkMemory::operator=(CBulkMemory&& other) noexcept {
    if (this != &other) {
        Release();
        m_pMapping = std::exchange(other.m_pMapping, nullptr);
        m_nMapped = std::exchange(other.m_nMapped, 0);
        m_pData = std::exchange(other.m_pData, nullptr);
        m_nCapacity = std::exchange(other.m_nCapacity, 0);
        m_nUsed = std::exchange(other.m_nUsed, 0);
    }
    return *this;
}

CBulkMemory::~CBulkMemory() {
    Release();
}

void CBulkMemory::Release() {
    if (m_pMapping)
        munmap(m_pMapping, m_nMapped);
}

void* CBulkMemory::Allocate(std::size_t nBytes) {
    const std::size_t nStart = RoundUp(m_nUsed, alignof(std::max_align_t));
    if (nStart > m_nCapacity || nBytes > m_nCapacity - nStart)
        return nullptr;
    m_nUsed = nStart + nBytes;
    return m_pData + nStart;
}

bool CBulkMemory::Owns(const void* p) const {
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(m_pData);
    return m_pData && at >= start && at - start < m_nCapacity;
}
