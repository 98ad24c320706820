// The file rules that need no program around them: the signals of a writer (signals the parent
// ignored).
#include "CPendingTempFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

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
