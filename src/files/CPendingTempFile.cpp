#include "CPendingTempFile.h"

#include "TestPause.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/random.h>
#include <unistd.h>

char CPendingTempFile::s_szPath[kMaxPath] = {};
std::atomic<int> CPendingTempFile::s_state = kNone;

namespace {
constexpr int kHandledSignals[] = {SIGINT, SIGTERM, SIGHUP};

bool IsIgnored(int nSignal) {
    struct sigaction old {};
    return sigaction(nSignal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN;
}

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

// Letters or digits for the end of the pattern, from the kernel's random source (which only ever
// waits once, early in boot); false and errno when it gives none.
bool FillName(std::string& pattern) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr std::size_t kCount = sizeof kLetters - 1;
    unsigned char bytes[CPendingTempFile::kNameLength] = {};
    if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes))
        return false;
    const std::size_t start = pattern.size() - sizeof bytes;
    for (std::size_t i = 0; i < sizeof bytes; ++i)
        pattern[start + i] = kLetters[bytes[i] % kCount];
    return true;
}
} // namespace

// open(O_EXCL) with the mode rather than mkostemp, whose 0600 would need the umask read (which
// can only be done by setting it, for every thread at once) to give a new file its usual mode.
// The name is registered as being created before the file exists, so that a handler running in
// another thread meanwhile waits for the outcome instead of finding nothing; this thread holds
// the signals off, or its own handler would wait for it.
int CPendingTempFile::Create(std::string& pattern, mode_t mode) {
    const HandledSignalsHeld held;
    for (int i = 0; i < kMaxNameTries; ++i) {
        if (!FillName(pattern))
            return -1;
        const bool bRegistered = Register(pattern.c_str(), kCreating);
        const int fd = open(pattern.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        const int nError = errno;
        TestPause("temp-created");
        if (bRegistered)
            s_state.store(fd >= 0 ? kPending : kNone, std::memory_order_release);
        errno = nError;
        if (fd < 0 && errno == EEXIST)
            continue;
        return fd;
    }
    return -1;
}

bool CPendingTempFile::Set(const char* pszPath) {
    return Register(pszPath, kPending);
}

// The state goes to kNone before the path changes and up after, so the handler never sees half
// a path. The signal fence keeps the copy after the fall (a handler in this thread is only the
// compiler's concern), the release store keeps it before the rise (the handler's acquire load
// pairs with it, in whatever thread it runs).
bool CPendingTempFile::Register(const char* pszPath, State state) {
    s_state.store(kNone, std::memory_order_relaxed);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    const std::size_t n = std::strlen(pszPath);
    if (n >= sizeof s_szPath)
        return false;
    std::memcpy(s_szPath, pszPath, n + 1);
    s_state.store(state, std::memory_order_release);
    return true;
}

void CPendingTempFile::Clear() {
    s_state.store(kNone, std::memory_order_relaxed);
}

void CPendingTempFile::InstallSignalHandlers() {
    struct sigaction sa {};
    sa.sa_handler = &CPendingTempFile::RemoveAndReraise;
    sigemptyset(&sa.sa_mask);
    // SA_RESETHAND puts the default action back before the handler runs, for the re-raise.
    sa.sa_flags = SA_RESETHAND;
    for (int nSignal : kHandledSignals)
        if (!IsIgnored(nSignal))
            sigaction(nSignal, &sa, nullptr);
}

// A file being created in another thread is a moment from known: the handler waits for it
// (the creating thread holds the signals off, so it is never the one waiting).
void CPendingTempFile::RemoveAndReraise(int nSignal) {
    int state = s_state.load(std::memory_order_acquire);
    while (state == kCreating)
        state = s_state.load(std::memory_order_acquire);
    if (state == kPending)
        unlink(s_szPath);
    s_state.store(kNone, std::memory_order_relaxed);
    std::signal(nSignal, SIG_DFL);
    raise(nSignal);
}

void CPendingTempFile::IgnoreFileSizeSignal() {
    struct sigaction old {};
    if (sigaction(SIGXFSZ, nullptr, &old) == 0 && old.sa_handler == SIG_DFL)
        std::signal(SIGXFSZ, SIG_IGN);
}
