#include "CPendingTempFile.h"

#include <cstring>
#include <unistd.h>

char CPendingTempFile::s_szPath[kMaxPath] = {};
volatile std::sig_atomic_t CPendingTempFile::s_bPending = 0;

namespace {
constexpr int kHandledSignals[] = {SIGINT, SIGTERM, SIGHUP};
} // namespace

// The flag goes down before the path changes and up after, so the handler never sees half a
// path.
bool CPendingTempFile::Set(const char* pszPath) {
    s_bPending = 0;
    const std::size_t n = std::strlen(pszPath);
    if (n >= sizeof s_szPath)
        return false;
    std::memcpy(s_szPath, pszPath, n + 1);
    s_bPending = 1;
    return true;
}

void CPendingTempFile::Clear() {
    s_bPending = 0;
}

void CPendingTempFile::InstallSignalHandlers() {
    struct sigaction sa {};
    sa.sa_handler = &CPendingTempFile::RemoveAndReraise;
    sigemptyset(&sa.sa_mask);
    // SA_RESETHAND puts the default action back before the handler runs, for the re-raise.
    sa.sa_flags = SA_RESETHAND;
    for (int nSignal : kHandledSignals) {
        struct sigaction old {};
        if (sigaction(nSignal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;
        sigaction(nSignal, &sa, nullptr);
    }
}

void CPendingTempFile::RemoveAndReraise(int nSignal) {
    if (s_bPending)
        unlink(s_szPath);
    s_bPending = 0;
    std::signal(nSignal, SIG_DFL);
    raise(nSignal);
}

void CPendingTempFile::IgnoreFileSizeSignal() {
    struct sigaction old {};
    if (sigaction(SIGXFSZ, nullptr, &old) == 0 && old.sa_handler == SIG_DFL)
        std::signal(SIGXFSZ, SIG_IGN);
}
