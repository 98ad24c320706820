// The file rules that need no program around them: quoting content in messages, the kernel's
// rule for links in shared folders, and the signals of a writer (a signal between creating the
// temporary file and registering it, signals the parent ignored).
#include "CAtomicFile.h"
#include "CPendingTempFile.h"
#include "MessageText.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(QuotedText, EscapesWhatATerminalWouldActOnAndStopsAfterEightyCharacters) {
    const std::string a80(80, 'a');
    std::string u81; // 81 times u-umlaut: 81 characters of two bytes
    for (int i = 0; i < 81; ++i)
        u81 += "\xc3\xbc";
    const struct {
        std::string text, quoted;
    } cases[] = {
        {"FIT: bad header", "FIT: bad header"},
        {"\x1b[2Jgone\r\n\t\x7f", "\\x1b[2Jgone\\x0d\\x0a\\x09\\x7f"},
        {"H\xc3\xb6he \xe2\x80\xa6 \xf0\x9f\x98\x80", "H\xc3\xb6he \xe2\x80\xa6 \xf0\x9f\x98\x80"},
        // A C1 control (CSI, U+009B), a lone byte, an overlong slash and a surrogate.
        {"\xc2\x9b\xff\xc0\xaf\xed\xa0\x80", "\\xc2\\x9b\\xff\\xc0\\xaf\\xed\\xa0\\x80"},
        {a80, a80},
        {a80 + "b", a80 + "..."},
        {u81, u81.substr(0, 160) + "..."},
        {std::string(78, 'a') + "\x1b", std::string(78, 'a') + "..."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.quoted, QuotedText(c.text)) << c.text;
    EXPECT_EQ(83u, QuotedText(std::string(10 << 20, 'n')).size());
}

// protected_symlinks: a link in a sticky, world-writable folder is followed only by its owner or
// when the folder's owner owns it. Users: 0 root, 1000 the caller, 2000 someone else.
TEST(AtomicFile, FollowsALinkOnlyWhereTheKernelWould) {
    const struct {
        unsigned int linkOwner, folderOwner, folderMode, follower;
        bool bFollowed;
    } cases[] = {
        {2000, 0, 01777, 0, false},     // another user's link in /tmp, followed by root
        {2000, 0, 01777, 1000, false},  // ... by an ordinary user
        {1000, 0, 01777, 1000, true},   // the caller's own link
        {0, 0, 01777, 1000, true},      // the folder owner's link
        {2000, 2000, 01777, 0, true},   // a shared folder of that user's own
        {2000, 0, 00777, 0, true},      // world-writable, not sticky
        {2000, 0, 01775, 0, true},      // sticky, writable by its group only
        {2000, 1000, 00755, 1000, true} // an ordinary folder
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.bFollowed,
                  CAtomicFile::MayFollowLink(c.linkOwner, c.folderOwner, c.folderMode, c.follower))
            << c.linkOwner << " " << c.folderOwner << " " << std::oct << c.folderMode << " "
            << std::dec << c.follower;
}

int TemporaryFiles(const std::string& dir) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        n += e.path().filename().string().rfind(CAtomicFile::kTempPrefix, 0) == 0;
    return n;
}

// The child stops itself (TestPause) just after creating its temporary file and before knowing
// it as its own; SIGTERM arrives there. It must end the child and take the file with it, whether
// the creating thread takes the signal once it lets it through (vorlan-cli, one thread) or
// another thread takes it at once (the desktop program has several).
TEST(PendingTempFile, ASignalBetweenCreatingAndRegisteringLeavesNoFile) {
    for (const bool bOtherThread : {false, true}) {
        SCOPED_TRACE(bOtherThread ? "another thread" : "one thread");
        const ScratchDir dir;
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            setenv("VORLAN_TEST_STOP_AT", "temp-created", 1);
            CPendingTempFile::InstallSignalHandlers();
            if (bOtherThread)
                std::thread([] {
                    for (;;)
                        pause();
                }).detach();
            CAtomicFile file;
            file.Begin(dir.File("out.vrl"));
            for (;;)
                pause(); // until the handler, in whichever thread, ends the child
        }
        int status = 0;
        ASSERT_EQ(pid, waitpid(pid, &status, WUNTRACED));
        ASSERT_TRUE(WIFSTOPPED(status));
        EXPECT_EQ(1, TemporaryFiles(dir.Path()));
        kill(pid, SIGTERM);
        kill(pid, SIGCONT);
        ASSERT_EQ(pid, waitpid(pid, &status, 0));
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
        EXPECT_EQ(0, TemporaryFiles(dir.Path()));
    }
}

// Under nohup SIGHUP is ignored, in a shell's background job SIGINT: they stay ignored, and the
// one left to the default still removes the file and ends the writer.
TEST(PendingTempFile, SignalsTheParentIgnoredStayIgnored) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::signal(SIGHUP, SIG_IGN);
        std::signal(SIGINT, SIG_IGN);
        CPendingTempFile::InstallSignalHandlers();
        raise(SIGHUP);
        raise(SIGINT);
        raise(SIGTERM);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(pid, waitpid(pid, &status, 0));
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
}

} // namespace
