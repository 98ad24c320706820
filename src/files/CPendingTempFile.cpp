#include "CPendingTempFile.h"

#include <csignal>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

char CPendingTempFile::s_szPath[kMaxPath] = {};
std::atomic<bool> CPendingTempFile::s_bPending = false;

// The flag goes down before the path changes and up after, so the handler never sees half a
// path. The handler interrupts the thread that sets the path (vorlan-cli has one), so only the
// compiler could move the copy across the flag: the signal fence keeps the copy after the flag's
// fall, the release store keeps it before the flag's rise (the handler's acquire load pairs with
// it).
bool CPendingTempFile::Set(const char* pszPath) {
    s_bPending.store(false, std::memory_order_relaxed);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    const std::size_t n = std::strlen(pszPath);
    if (n >= sizeof s_szPath)
        return false;
    std::memcpy(s_szPath, pszPath, n + 1);
    s_bPending.store(true, std::memory_order_release);
    return true;
}

void CPendingTempFile::Clear() {
    s_bPending.store(false, std::memory_order_relaxed);
}

void CPendingTempFile::InstallSignalHandlers() {
    struct sigaction sa {};
    sa.sa_handler = &CPendingTempFile::RemoveAndReraise;
    sigemptyset(&sa.sa_mask);
    // SA_RESETHAND puts the default action back before the handler runs, for the re-raise.
    sa.sa_flags = SA_RESETHAND;
    for (int nSignal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(nSignal, &sa, nullptr);
}

void CPendingTempFile::RemoveAndReraise(int nSignal) {
    if (s_bPending.load(std::memory_order_acquire))
        unlink(s_szPath);
    s_bPending.store(false, std::memory_order_relaxed);
    std::signal(nSignal, SIG_DFL);
    raise(nSignal);
}
