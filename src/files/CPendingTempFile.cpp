#include "CPendingTempFile.h"

#include "TestPause.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

char CPendingTempFile::s_szPath[kMaxPath] = {};
volatile std::sig_atomic_t CPendingTempFile::s_bPending = 0;

namespace {
constexpr int kHandledSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Holds the handled signals off while it lives; they arrive when the old mask comes back.
class HandledSignalsHeld {
public:
    HandledSignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (int nSignal : kHandledSignals)
            sigaddset(&held, nSignal);
        pthread_sigmask(SIG_BLOCK, &held, &m_old);
    }
    ~HandledSignalsHeld() { pthread_sigmask(SIG_SETMASK, &m_old, nullptr); }
    HandledSignalsHeld(const HandledSignalsHeld&) = delete;
    HandledSignalsHeld& operator=(const HandledSignalsHeld&) = delete;

private:
    sigset_t m_old;
};
} // namespace

int CPendingTempFile::Create(std::string& pattern) {
    const HandledSignalsHeld held;
    const int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return -1;
    TestPause("temp-created");
    Set(pattern.c_str());
    return fd;
}

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
