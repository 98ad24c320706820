// The one temporary file a program is writing before it renames it over its target, kept where
// a signal handler can remove it: CAtomicFile creates and registers it, both programs install the
// handler so that Ctrl+C or a kill leaves no ".vorlan-XXXXXX" file behind. Also the signal
// settings both programs make at start for their writers.
//
// A signal handler can only reach process-wide storage, so this class is the one deliberate
// piece of global state of the file layer; a process writes one file at a time.
#pragma once

#include <atomic>
#include <string>
#include <sys/types.h>

class CPendingTempFile {
public:
    static constexpr int kMaxPath = 4096;
    // The "XXXXXX" at the end of a name to create.
    static constexpr int kNameLength = 6;
    // Names tried before giving up on a folder where every one is taken (EEXIST).
    static constexpr int kMaxNameTries = 100;

    // Creates the file of the pattern, its last kNameLength characters replaced in place by
    // random letters and digits, close-on-exec, with the mode less the umask (the kernel takes
    // it off), and registers it in the same step: a signal at any moment, in any thread, either
    // finds no file or removes it. Returns the file descriptor, or -1 with errno.
    static int Create(std::string& pattern, mode_t mode);
    // Registers an existing file as the one to remove on a signal; false when its name is too
    // long to keep (it is then written without that protection).
    static bool Set(const char* pszPath);
    static void Clear();

    // Installs RemoveAndReraise for SIGINT, SIGTERM and SIGHUP, except for a signal that the
    // parent left ignored (nohup, a shell's background job): that one stays ignored.
    static void InstallSignalHandlers();
    // The handler: removes the pending file (unlink is async-signal-safe), then dies of the
    // signal with its default action, so the parent sees the true cause.
    static void RemoveAndReraise(int nSignal);

    // Lets a write beyond the file-size limit (ulimit -f) fail with EFBIG, "File too large",
    // instead of killing the program without a message and leaving its temporary file: SIGXFSZ
    // is ignored unless the parent gave it another action than the default. Both programs call
    // it at start.
    static void IgnoreFileSizeSignal();

private:
    enum State : int {
        kNone,     // nothing to remove
        kCreating, // the file of s_szPath is being created: whether it is ours is not known yet
        kPending,  // the file of s_szPath is ours to remove
    };
    // Copies the path and sets the state; false when the path is too long.
    static bool Register(const char* pszPath, State state);

    static char s_szPath[kMaxPath];
    // A handler may only touch a lock-free atomic (a volatile sig_atomic_t orders nothing
    // against the path's bytes).
    static std::atomic<int> s_state;
    static_assert(std::atomic<int>::is_always_lock_free);
};
