// A scratch folder for one test, used by the tests that write files: its name holds the test's
// name and the process id, so tests that ctest runs side by side never share it, and it is removed
// with everything in it when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

class ScratchDir {
public:
    ScratchDir() : m_path(UniquePath()) {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~ScratchDir() {
        std::error_code ec; // a destructor must not throw; a leftover shows in the test script
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // The folder with a trailing slash, so that a file name can be appended.
    std::string Path() const { return m_path.string() + "/"; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    static std::filesystem::path UniquePath() {
        std::string name = "vorlan_";
        if (const testing::TestInfo* pInfo = testing::UnitTest::GetInstance()->current_test_info())
            name += std::string(pInfo->test_suite_name()) + "_" + pInfo->name() + "_";
        name += std::to_string(getpid());
        // Parameterised tests have names like "Rows/Table.Case/3".
        std::replace(name.begin(), name.end(), '/', '_');
        return std::filesystem::path(testing::TempDir()) / name;
    }

    std::filesystem::path m_path;
};
