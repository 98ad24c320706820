// vorlan-cli and the files it must never lose, expose or hang on: what is read (regular files
// only, read errors fail, the size cap), and how an output is replaced (same file, read-only
// files, mode, links, special files, long names, names that are no file, signals, file-size
// limits).
#include "CAtomicFile.h"
#include "CPendingTempFile.h"
#include "CliRunner.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

const char kTwoPoints[] = "Trackpoint\tN47.5 W122.25\t100 ft\t0.5 mi\n"
                          "Trackpoint\tN47.5 W122.25\t100 ft\t0.5 mi\n"
                          "Trackpoint\tN47.51 W122.25\t200 ft\t0.25 mi\n";
constexpr std::size_t kTwoPointDocument = 14 + 2 * 20;
// Long enough for any of these runs, however loaded the machine: a hang shows as status 124.
constexpr int kTimeLimit = 20;

class FileSafety : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_dir);
        std::ofstream(m_in, std::ios::binary) << kTwoPoints;
        std::ofstream(m_good, std::ios::binary) << "good document";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // The names in the scratch folder that are not the test's own files: temporary files.
    int StrayFiles(const std::string& dir) const {
        int n = 0;
        for (const auto& e : fs::directory_iterator(dir))
            n += e.path().filename().string().rfind(".vorlan-", 0) == 0;
        return n;
    }

    const std::string m_dir = ::testing::TempDir() + "vorlan_safety_" +
                              ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                              "_" + std::to_string(getpid()) + "/";
    const std::string m_in = m_dir + "track.txt";
    const std::string m_good = m_dir + "good.vrl";
};

TEST_F(FileSafety, ReadErrorFailsTheImportAndKeepsTheOutput) {
    // Reading /proc/self/mem at offset 0 fails with EIO.
    const CliResult r = RunCli("convert /proc/self/mem " + m_good);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("vorlan-cli: /proc/self/mem: cannot read file: Input/output error\n", r.out);
    EXPECT_EQ("good document", ReadAll(m_good));
}

// A socket cannot be opened at all (ENXIO), so it is named from stat.
int BindSocket(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    path.copy(addr.sun_path, sizeof addr.sun_path - 1);
    return bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0 ? fd : -1;
}

TEST_F(FileSafety, OnlyRegularFilesAreReadAndOthersAreRefusedAtOnce) {
    const std::string fifo = m_dir + "fifo.txt", zero = m_dir + "zero.txt",
                      sock = m_dir + "sock.txt";
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    fs::create_symlink("/dev/zero", zero);
    const int sockFd = BindSocket(sock);
    ASSERT_GE(sockFd, 0);
    const struct {
        std::string in, message;
    } cases[] = {
        {fifo, fifo + ": is not a regular file (a FIFO)"},
        {zero, zero + ": is not a regular file (a character device)"},
        {sock, sock + ": is not a regular file (a socket)"},
        {m_dir, m_dir + ": is a directory"},
    };
    for (const auto& c : cases) {
        const CliResult r = RunCli("convert " + c.in + " " + m_good, kTimeLimit);
        EXPECT_EQ(1, r.status) << c.in;
        EXPECT_EQ("vorlan-cli: " + c.message + "\n", r.out);
    }
    close(sockFd);
    EXPECT_EQ("good document", ReadAll(m_good));
}

// The cap of GPX holds for MapSource exports too, before a byte is read: a sparse file of
// 1 GiB + 1 byte is refused at once instead of being read to its end.
TEST_F(FileSafety, AMapSourceExportLargerThanOneGibIsRefused) {
    const std::string big = m_dir + "big.txt";
    std::ofstream(big).close();
    fs::resize_file(big, (std::uintmax_t{1} << 30) + 1);
    const CliResult r = RunCli("convert " + big + " " + m_good, kTimeLimit);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("vorlan-cli: " + big + ": is larger than 1 GiB, the most this program reads\n",
              r.out);
    EXPECT_EQ("good document", ReadAll(m_good));
}

TEST_F(FileSafety, OutputThatIsTheInputIsRefused) {
    const std::string link = m_dir + "link.txt";
    fs::create_symlink(m_in, link);
    for (const std::string& out : {m_in, link}) {
        const CliResult r = RunCli("convert " + m_in + " " + out);
        EXPECT_EQ(1, r.status);
        EXPECT_EQ("vorlan-cli: " + out + ": is the input file; choose another output file\n",
                  r.out);
    }
    EXPECT_EQ(kTwoPoints, ReadAll(m_in));
}

TEST_F(FileSafety, ReplacedFileKeepsItsMode) {
    ASSERT_EQ(0, chmod(m_good.c_str(), 0600));
    ASSERT_EQ(0, RunCli("convert --doc-version 1 " + m_in + " " + m_good).status);
    struct stat st {};
    ASSERT_EQ(0, stat(m_good.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 07777);
    EXPECT_EQ(kTwoPointDocument, ReadAll(m_good).size());
}

// A new file gets 0666 less the umask; a replaced file's new bytes are never open to more than
// its old ones were, not even in the temporary file while they are written.
TEST_F(FileSafety, NewFileTakesTheUmaskAndAPrivateFileStaysPrivate) {
    const mode_t oldMask = umask(027);
    const std::string fresh = m_dir + "new.vrl";
    const CFileResult created = CAtomicFile::Replace(fresh, "new");
    ASSERT_EQ(0, chmod(m_good.c_str(), 0600));
    CAtomicFile file;
    const CFileResult begun = file.Begin(m_good);
    umask(oldMask);
    ASSERT_TRUE(created.Ok()) << created.Error();
    ASSERT_TRUE(begun.Ok()) << begun.Error();
    struct stat st {};
    ASSERT_EQ(0, stat(fresh.c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 07777);
    ASSERT_EQ(0, stat(file.TempPath().c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 07777);
    ASSERT_TRUE(file.Commit().Ok());
    ASSERT_EQ(0, stat(m_good.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 07777);
    EXPECT_EQ(0, StrayFiles(m_dir));
}

// The rename would replace a file nobody may write without a word; editors refuse or ask.
TEST_F(FileSafety, ReadOnlyOutputIsRefused) {
    ASSERT_EQ(0, chmod(m_good.c_str(), 0444));
    const std::string svg = m_dir + "plot.svg";
    std::ofstream(svg) << "old drawing";
    ASSERT_EQ(0, chmod(svg.c_str(), 0444));
    for (const auto& [args, out] : {std::pair{"convert " + m_in + " " + m_good, m_good},
                                    std::pair{"render " + m_in + " --plot 3d -o " + svg, svg}}) {
        const CliResult r = RunCli(args);
        EXPECT_EQ(1, r.status) << args;
        EXPECT_EQ("vorlan-cli: " + out + ": is read-only\n", r.out);
    }
    EXPECT_EQ("good document", ReadAll(m_good));
    EXPECT_EQ("old drawing", ReadAll(svg));
}

// SIGXFSZ used to kill both writers without a word and leave their temporary file (status 153).
TEST_F(FileSafety, AFileSizeLimitFailsTheWriteWithAMessage) {
    const std::string doc = m_dir + "long.vrl", svg = m_dir + "long.svg";
    const std::string cli = "ulimit -f 1 && " + std::string(VORLAN_CLI) + " ";
    const std::string sample = std::string(VORLAN_SAMPLES) + "/long-10000.txt";
    for (const auto& [args, out] : {std::pair{"convert " + sample + " " + doc, doc},
                                    std::pair{"render " + m_in + " --plot 3d -o " + svg, svg}}) {
        const CliResult r = RunShell(cli + args + " 2>&1");
        EXPECT_EQ(1, r.status) << args;
        EXPECT_EQ("vorlan-cli: " + out + ": cannot write file: File too large\n", r.out);
        EXPECT_FALSE(fs::exists(out));
    }
    EXPECT_EQ(0, StrayFiles(m_dir));
}

// The kernel follows a link in a sticky, world-writable folder only for the link's owner or the
// folder's; vorlan-cli resolves links itself and must keep the same rule. Only root can give a
// link to another user, so the run is left out for anyone else.
TEST_F(FileSafety, ALinkPlantedByAnotherUserInASharedFolderIsNotFollowed) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give a link to another user";
    const std::string shared = m_dir + "shared", link = m_dir + "shared/out.vrl";
    fs::create_directories(shared);
    ASSERT_EQ(0, chmod(shared.c_str(), 01777));
    fs::create_symlink(m_good, link);
    constexpr uid_t kOtherUser = 54321;
    ASSERT_EQ(0, lchown(link.c_str(), kOtherUser, kOtherUser));
    const CliResult r = RunCli("convert " + m_in + " " + link);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("vorlan-cli: " + link +
                  ": is a link owned by another user in a shared folder; not followed\n",
              r.out);
    EXPECT_EQ("good document", ReadAll(m_good));
    EXPECT_EQ(0, StrayFiles(shared));
}

TEST_F(FileSafety, LinkedOutputUpdatesItsTargetAndStaysALink) {
    const std::string real = m_dir + "sub/real.vrl", link = m_dir + "link.vrl";
    fs::create_directories(m_dir + "sub");
    std::ofstream(real) << "old";
    fs::create_symlink("sub/real.vrl", link);
    ASSERT_EQ(0, RunCli("convert --doc-version 1 " + m_in + " " + link).status);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(kTwoPointDocument, ReadAll(real).size());
    EXPECT_EQ(0, StrayFiles(m_dir));
    EXPECT_EQ(0, StrayFiles(m_dir + "sub"));
}

TEST_F(FileSafety, SpecialOutputsAreRefusedButRenderWritesToStandardOutput) {
    const std::string fifo = m_dir + "out.svg";
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    CliResult r = RunCli("render " + m_in + " --plot 3d -o " + fifo, kTimeLimit);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("vorlan-cli: " + fifo + ": is not a regular file (a FIFO)\n", r.out);
    EXPECT_TRUE(fs::is_fifo(fifo));

    r = RunCli("render " + m_in + " --plot 3d -o -");
    EXPECT_EQ(0, r.status);
    EXPECT_EQ(0u, r.out.rfind("<?xml", 0)) << r.out.substr(0, 80);
    EXPECT_NE(std::string::npos, r.out.find("</svg>"));
}

TEST_F(FileSafety, OutputNameOf250BytesWorks) {
    const std::string name = std::string(246, 'n') + ".vrl";
    ASSERT_EQ(250u, name.size());
    const CliResult r = RunCli("convert --doc-version 1 " + m_in + " " + m_dir + name);
    EXPECT_EQ(0, r.status) << r.out;
    EXPECT_EQ(kTwoPointDocument, ReadAll(m_dir + name).size());
}

TEST_F(FileSafety, NamesThatAreNoFileGetAMessageInTheUsersTerms) {
    const struct {
        std::string args, message;
    } cases[] = {
        {"convert " + m_in + " ''", "the output file name is empty"},
        {"convert " + m_in + " " + m_dir + "folder/",
         m_dir + "folder/: names a folder, not a file"},
        {"convert " + m_dir + " " + m_good, m_dir + ": is a directory"},
    };
    for (const auto& c : cases) {
        const CliResult r = RunCli(c.args);
        EXPECT_EQ(1, r.status) << c.args;
        EXPECT_EQ("vorlan-cli: " + c.message + "\n", r.out);
    }
}

// A name starting with '-' is an unknown option, which names itself (status 2); after "--" it
// is a file for every command.
TEST_F(FileSafety, NamesStartingWithADashFollowDashDash) {
    fs::copy_file(m_in, m_dir + "-odd.txt");
    CliResult r = RunCli("convert -odd.txt odd.vrl", 0, m_dir);
    EXPECT_EQ(2, r.status);
    EXPECT_EQ(0u, r.out.find("vorlan-cli: convert: unknown option '-odd.txt' (for a file of that "
                             "name write './-odd.txt' or put '--' before it)\n"))
        << r.out;
    r = RunCli("render --plot 3d -o odd.svg -odd.txt", 0, m_dir);
    EXPECT_EQ(2, r.status);
    EXPECT_EQ(0u, r.out.find("vorlan-cli: render: unknown option '-odd.txt'")) << r.out;
    r = RunCli("-odd.txt", 0, m_dir);
    EXPECT_EQ(2, r.status);
    EXPECT_EQ(0u, r.out.find("vorlan-cli: unknown option '-odd.txt'\n")) << r.out;
    EXPECT_FALSE(fs::exists(m_dir + "odd.vrl"));

    EXPECT_EQ(0, RunCli("convert --doc-version 1 -- -odd.txt -odd.vrl", 0, m_dir).status);
    EXPECT_EQ(kTwoPointDocument, fs::file_size(m_dir + "-odd.vrl"));
    r = RunCli("info -- -odd.vrl", 0, m_dir);
    EXPECT_EQ(0, r.status);
    EXPECT_NE(std::string::npos, r.out.find("Points: 2\n")) << r.out;
    EXPECT_EQ(0, RunCli("render --plot 3d -o odd.svg -- -odd.vrl", 0, m_dir).status);
    EXPECT_TRUE(fs::is_regular_file(m_dir + "odd.svg"));
}

TEST_F(FileSafety, InputWithoutPointsWritesAnEmptyDocumentWithAWarning) {
    const std::string empty = m_dir + "empty.txt";
    std::ofstream(empty) << "Header\tno points\n";
    const CliResult r = RunCli("convert --doc-version 1 " + empty + " " + m_good);
    EXPECT_EQ(0, r.status);
    EXPECT_EQ("vorlan-cli: No track points in " + empty + ".\n", r.out);
    EXPECT_EQ(14u, ReadAll(m_good).size());
}

// A killed run cannot be caught reliably between creating its temporary file and the rename,
// so the handler itself is run in a child that kills itself with SIGTERM.
TEST_F(FileSafety, SignalRemovesThePendingTemporaryFile) {
    const std::string tmp = m_dir + ".vorlan-pending";
    std::ofstream(tmp) << "half a document";
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        CPendingTempFile::InstallSignalHandlers();
        CPendingTempFile::Set(tmp.c_str());
        raise(SIGTERM);
        _exit(0); // not reached: the handler re-raises with the default action
    }
    int status = 0;
    ASSERT_EQ(pid, waitpid(pid, &status, 0));
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_FALSE(fs::exists(tmp));
}

} // namespace
