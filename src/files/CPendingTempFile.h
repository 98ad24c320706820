// The one temporary file a program is writing before it renames it over its target, kept where
// a signal handler can remove it: CAtomicFile registers it, vorlan-cli installs the handler so
// that Ctrl+C or a kill leaves no ".vorlan-XXXXXX" file behind.
//
// A signal handler can only reach process-wide storage, so this class is the one deliberate
// piece of global state of the file layer; a process writes one file at a time.
#pragma once

#include <atomic>

class CPendingTempFile {
public:
    static constexpr int kMaxPath = 4096;

    // Remembers path as the file to remove on a signal; false when it is too long to keep (it is
    // then written without that protection).
    static bool Set(const char* pszPath);
    static void Clear();

    // Installs RemoveAndReraise for SIGINT, SIGTERM and SIGHUP.
    static void InstallSignalHandlers();
    // The handler: removes the pending file (unlink is async-signal-safe), then dies of the
    // signal with its default action, so the parent sees the true cause.
    static void RemoveAndReraise(int nSignal);

private:
    static char s_szPath[kMaxPath];
    // A handler may only touch a lock-free atomic (or a volatile sig_atomic_t, which orders
    // nothing against the path's bytes).
    static std::atomic<bool> s_bPending;
    static_assert(std::atomic<bool>::is_always_lock_free);
};
