#include "CGpsbabel.h"

#include "MessageText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
constexpr int kExitPollMs = 10;
// How often a conversion that writes nothing asks its sink whether to go on.
constexpr int kQuietTickMs = 100;
constexpr int kMsPerSecond = 1000;
// Rounds of ending the converter's leftover processes: each round ends the orphans that the
// processes ended in the round before left behind. One forking faster than that is left to init.
constexpr int kMaxCleanupRounds = 64;

using Clock = std::chrono::steady_clock;

// A file descriptor closed when it goes out of scope.
class Fd {
public:
    Fd() = default;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { Reset(); }
    int Get() const { return m_fd; }
    void Reset(int fd = -1) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

struct Pipe {
    Fd read, write;
    bool Open() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return false;
        read.Reset(fds[0]);
        write.Reset(fds[1]);
        return true;
    }
};

// The spawn settings: stdin from /dev/null, stdout and stderr into the pipes, a process group of
// its own (so that a time-out stops whatever the program started too), SIGPIPE as default.
class SpawnSetup {
public:
    SpawnSetup(int outFd, int errFd) {
        posix_spawn_file_actions_init(&m_actions);
        posix_spawn_file_actions_addopen(&m_actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&m_actions, outFd, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&m_actions, errFd, STDERR_FILENO);
        posix_spawnattr_init(&m_attr);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        posix_spawnattr_setsigdefault(&m_attr, &defaults);
        posix_spawnattr_setpgroup(&m_attr, 0);
        posix_spawnattr_setflags(&m_attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
    ~SpawnSetup() {
        posix_spawnattr_destroy(&m_attr);
        posix_spawn_file_actions_destroy(&m_actions);
    }
    const posix_spawn_file_actions_t* Actions() const { return &m_actions; }
    const posix_spawnattr_t* Attr() const { return &m_attr; }

private:
    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attr;
};

// The converter's file. A name with a slash stands as it is; a bare name is looked up in the
// absolute entries of PATH only, since an empty or relative entry ("PATH=/usr/bin:") would run
// a program of that name from the current folder, which may be the folder of the file being
// read. Empty when no entry has it.
std::string FindProgram(const std::string& program) {
    if (program.find('/') != std::string::npos)
        return program;
    std::string path;
    if (const char* pszPath = std::getenv("PATH")) {
        path = pszPath;
    } else {
        path.resize(::confstr(_CS_PATH, nullptr, 0));
        ::confstr(_CS_PATH, path.data(), path.size());
        path.resize(std::strlen(path.c_str()));
    }
    std::size_t begin = 0;
    while (begin <= path.size()) {
        const std::size_t end = std::min(path.find(':', begin), path.size());
        const std::string folder = path.substr(begin, end - begin);
        begin = end + 1;
        if (folder.empty() || folder[0] != '/')
            continue;
        const std::string file = folder + "/" + program;
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(file.c_str(), X_OK) == 0)
            return file;
    }
    return std::string();
}

// The process ids whose parent is this process, from /proc.
std::vector<pid_t> Children() {
    std::vector<pid_t> children;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return children;
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0)
            continue;
        // "pid (name) state ppid ...": the name may hold spaces and parentheses.
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        std::getline(stat, line);
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        char state = 0;
        long ppid = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %ld", &state, &ppid) == 2 && ppid == self)
            children.push_back(pid);
    }
    ::closedir(proc);
    return children;
}

// While it lives, this process adopts the orphans of its descendants (a child subreaper), so
// that what the converter started cannot slip away: a process that starts a session of its own
// leaves the converter's process group, but when its parent ends it becomes a child of ours.
// End() ends every adopted process, and what they leave, round after round.
class Adoption {
public:
    Adoption() : m_before(Children()) {
        ::prctl(PR_GET_CHILD_SUBREAPER, &m_nWas);
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    }
    Adoption(const Adoption&) = delete;
    Adoption& operator=(const Adoption&) = delete;
    ~Adoption() { ::prctl(PR_SET_CHILD_SUBREAPER, m_nWas); }

    void End() const {
        for (int round = 0; round < kMaxCleanupRounds; ++round) {
            std::vector<pid_t> adopted = Children();
            std::erase_if(adopted, [this](pid_t pid) {
                return std::find(m_before.begin(), m_before.end(), pid) != m_before.end();
            });
            if (adopted.empty())
                return;
            for (pid_t pid : adopted)
                ::kill(pid, SIGKILL);
            for (pid_t pid : adopted)
                while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
                }
        }
    }

private:
    std::vector<pid_t> m_before; // children of this process before the converter started
    int m_nWas = 0;
};

enum class Outcome { Exited, TimedOut, TooMuchOutput };

struct ChildRun {
    Outcome outcome = Outcome::Exited;
    int status = 0;
    std::size_t nOut = 0;
    std::string err;
};

// Hands what fd has to take (nHave bytes so far, up to limit in all); false at end of file or on
// an error.
template <typename Take>
bool Drain(int fd, std::size_t& nHave, std::size_t limit, bool& bOverLimit, const Take& take) {
    char chunk[kReadChunk];
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0)
        return errno == EINTR || errno == EAGAIN;
    if (n == 0)
        return false;
    const std::size_t room = limit - std::min(limit, nHave);
    if (static_cast<std::size_t>(n) > room)
        bOverLimit = true;
    const std::size_t nTaken = std::min(room, static_cast<std::size_t>(n));
    nHave += nTaken;
    take(std::span<const char>(chunk, nTaken));
    return true;
}

int MsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

// Reads the child's stdout (into sink) and stderr together until both end, the deadline passes or
// the output grows too big; a quiet child gets the sink called with nothing now and then.
Outcome ReadOutput(int outFd, int errFd, Clock::time_point deadline, const GpxSink& sink,
                   ChildRun& run) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    bool bOverLimit = false;
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        const int ms = MsLeft(deadline);
        if (ms == 0)
            return Outcome::TimedOut;
        const int ready = ::poll(fds, 2, std::min(ms, kQuietTickMs));
        if (ready < 0 && errno != EINTR)
            return Outcome::TimedOut;
        if (ready == 0)
            sink(std::span<const char>());
        for (int k = 0; k < 2 && ready > 0; ++k) {
            if (fds[k].fd < 0 || fds[k].revents == 0)
                continue;
            bool bErrOverLimit = false;
            std::size_t nErr = run.err.size();
            const bool bMore =
                k == 0 ? Drain(fds[k].fd, run.nOut, CGpsbabel::kMaxOutputBytes, bOverLimit, sink)
                       : Drain(fds[k].fd, nErr, CGpsbabel::kMaxErrorBytes, bErrOverLimit,
                               [&run](std::span<const char> s) {
                                   run.err.append(s.data(), s.size());
                               });
            if (!bMore)
                fds[k].fd = -1;
        }
        if (bOverLimit)
            return Outcome::TooMuchOutput;
    }
    return Outcome::Exited;
}

// Waits for the child to end by the deadline; false when it is still running then.
bool WaitForExit(pid_t pid, Clock::time_point deadline, int& status) {
    for (;;) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid || (r < 0 && errno != EINTR))
            return true;
        if (MsLeft(deadline) == 0)
            return false;
        ::poll(nullptr, 0, std::min(kExitPollMs, MsLeft(deadline)));
    }
}

void Stop(pid_t pid) {
    ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

std::string FirstLine(const std::string& text) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(begin, end - begin);
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
            line.pop_back();
        const auto first = line.find_first_not_of(" \t");
        if (first != std::string::npos)
            return line.substr(first);
        begin = end + 1;
    }
    return {};
}

std::string Seconds(std::chrono::milliseconds limit) {
    const auto ms = limit.count();
    if (ms % kMsPerSecond == 0)
        return std::to_string(ms / kMsPerSecond) + " s";
    return std::to_string(ms / kMsPerSecond) + "." + std::to_string(ms % kMsPerSecond / 100) + " s";
}

} // namespace

CGpsbabel::CGpsbabel(std::string program, std::chrono::milliseconds timeLimit)
    : m_program(std::move(program)), m_timeLimit(timeLimit) {}

ConversionResult CGpsbabel::ToGpx(const std::string& path, const std::string& format,
                                  const std::string& fileName, const GpxSink& sink) const {
    ConversionResult result;
    Pipe out, err;
    if (!out.Open() || !err.Open()) {
        result.error = "Cannot convert " + fileName + ": " + std::strerror(errno) + ".";
        return result;
    }
    // A path starting with '-' would read as an option, and "-" alone as standard input.
    const std::string input = path.starts_with('-') ? "./" + path : path;
    std::vector<std::string> args = {
        m_program, "-t", "-r", "-i", format, "-f", input, "-o", "gpx,garminextensions", "-F", "-"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const std::string program = FindProgram(m_program);
    const Adoption adoption;
    pid_t pid = 0;
    int spawnError = ENOENT;
    if (!program.empty()) {
        const SpawnSetup setup(out.write.Get(), err.write.Get());
        spawnError = ::posix_spawn(&pid, program.c_str(), setup.Actions(), setup.Attr(),
                                   argv.data(), environ);
    }
    out.write.Reset();
    err.write.Reset();
    if (spawnError == ENOENT) {
        result.error =
            "Cannot convert " + fileName + ": gpsbabel is not installed (Debian package gpsbabel).";
        return result;
    }
    if (spawnError != 0) {
        result.error = "Cannot convert " + fileName + ": gpsbabel could not be started (" +
                       std::strerror(spawnError) + ").";
        return result;
    }

    const Clock::time_point deadline = Clock::now() + m_timeLimit;
    ChildRun run;
    try {
        run.outcome = ReadOutput(out.read.Get(), err.read.Get(), deadline, sink, run);
    } catch (...) {
        Stop(pid);
        throw;
    }
    if (run.outcome == Outcome::Exited && !WaitForExit(pid, deadline, run.status))
        run.outcome = Outcome::TimedOut;
    if (run.outcome != Outcome::Exited)
        Stop(pid);
    adoption.End();
    if (run.outcome != Outcome::Exited) {
        result.error = run.outcome == Outcome::TimedOut
                           ? "GPSBabel did not finish converting " + fileName + " within " +
                                 Seconds(m_timeLimit) + " and was stopped."
                           : "GPSBabel's conversion of " + fileName + " is too big to read.";
        return result;
    }
    if (!WIFEXITED(run.status) || WEXITSTATUS(run.status) != 0) {
        const std::string why = QuotedText(FirstLine(run.err));
        const std::string status = WIFEXITED(run.status)
                                       ? "exit status " + std::to_string(WEXITSTATUS(run.status))
                                       : "signal " + std::to_string(WTERMSIG(run.status));
        result.error = "GPSBabel could not read " + fileName +
                       (why.empty() ? " (" + status + ")." : ": " + why);
        return result;
    }
    result.warnings = std::move(run.err);
    return result;
}
