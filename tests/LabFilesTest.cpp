#include "support/ChildProcess.h"
#include "support/LabBuilder.h"

#include "platform/LabTest.h"
#include "platform/WinApi.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

using testsupport::Exists;
using testsupport::LabBuilder;
using testsupport::ReadFile;

namespace {

std::vector<std::string> List(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        names.emplace_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_FILES), GetLastError());
    FindClose(h);
    return names;
}

class LabFiles : public ::testing::Test {
protected:
    void SetUp() override {
        handles_ = lab::test::OpenHandleCount(); // the program's log may hold its lock
        lab.Local("ADMINPC");
        lab.Machine("ADMINPC").File("C:\\Backups\\local.txt", "local");
        lab.Machine("PC1")
            .File("C:\\Docs\\Joe\\Readme.txt", "hello")
            .File("C:\\Docs\\Joe\\ReadOnly.url")
            .Attributes("C:\\Docs\\Joe\\ReadOnly.url", FILE_ATTRIBUTE_READONLY)
            .File("C:\\Docs\\Joe\\Hidden.url")
            .Attributes("C:\\Docs\\Joe\\Hidden.url", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)
            .Folder("C:\\Docs\\Joe\\Sub");
        lab.Machine("RO").Share("read").File("C:\\Data\\a.txt", "a");
        lab.Machine("CLOSED").Share("none").File("C:\\Data\\a.txt", "a");
        lab.Machine("GONE").Unreachable().File("C:\\Data\\a.txt", "a");
        lab.Write();
    }
    void TearDown() override { EXPECT_EQ(handles_, lab::test::OpenHandleCount()); }
    LabBuilder lab;
    int handles_ = 0;
};

} // namespace

TEST_F(LabFiles, SharePathsMapToMachineDrivesWithoutRegardToCase) {
    EXPECT_EQ("hello", ReadFile(lab.Machine("PC1").HostPath("C:\\Docs\\Joe\\Readme.txt")));
    std::string copy = lab.Scratch() + "/copy.txt";
    ASSERT_TRUE(CopyFileA("\\\\pc1\\c$\\DOCS\\joe\\readme.TXT", copy.c_str(), TRUE));
    EXPECT_EQ("hello", ReadFile(copy));
    // A drive path is this computer's own drive in the lab.
    ASSERT_TRUE(CopyFileA("C:\\backups\\LOCAL.txt", (lab.Scratch() + "\\local.txt").c_str(), TRUE));
    EXPECT_EQ("local", ReadFile(lab.Scratch() + "/local.txt"));
    // ".." never leaves the drive of the share.
    EXPECT_TRUE(CreateDirectoryA("\\\\PC1\\C$\\..\\..\\..\\Escape", nullptr));
    EXPECT_TRUE(Exists(lab.Machine("PC1").HostPath("C:\\Escape")));
    EXPECT_FALSE(Exists(lab.Root() + "/Escape"));
    struct Case {
        const char* path;
        DWORD code;
    } cases[] = {
        {"\\\\NOWHERE\\C$\\x", ERROR_BAD_NETPATH},
        {"\\\\GONE\\C$\\Data", ERROR_BAD_NETPATH},
        {"\\\\PC1\\Docs\\x", ERROR_BAD_NET_NAME},
        {"\\\\PC1\\D$\\x", ERROR_BAD_NET_NAME},
        {"\\\\CLOSED\\C$\\Data", ERROR_ACCESS_DENIED},
        {"\\\\PC1\\C$\\Nope\\x", ERROR_PATH_NOT_FOUND},
        {"\\\\PC1\\C$\\Docs\\Nope", ERROR_FILE_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(c.path));
        EXPECT_EQ(c.code, GetLastError());
    }
}

TEST_F(LabFiles, ReadOnlyShareRefusesEveryChange) {
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("\\\\RO\\C$\\Data\\a.txt"));
    std::string local = lab.Scratch() + "/a.txt";
    EXPECT_TRUE(CopyFileA("\\\\RO\\C$\\Data\\a.txt", local.c_str(), FALSE));
    EXPECT_FALSE(CopyFileA(local.c_str(), "\\\\RO\\C$\\Data\\b.txt", FALSE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_FALSE(SetFileAttributesA("\\\\RO\\C$\\Data\\a.txt", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_FALSE(DeleteFileA("\\\\RO\\C$\\Data\\a.txt"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_FALSE(CreateDirectoryA("\\\\RO\\C$\\Data\\New", nullptr));
    EXPECT_FALSE(RemoveDirectoryA("\\\\RO\\C$\\Data"));
    EXPECT_TRUE(Exists(lab.Machine("RO").HostPath("C:\\Data\\a.txt")));
}

TEST_F(LabFiles, AttributesAndTheRulesWindowsKeepsForThem) {
    const std::string dir = "\\\\PC1\\C$\\Docs\\Joe\\";
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL),
              GetFileAttributesA((dir + "Readme.txt").c_str()));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_READONLY),
              GetFileAttributesA((dir + "ReadOnly.url").c_str()));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              GetFileAttributesA((dir + "Hidden.url").c_str()));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY),
              GetFileAttributesA((dir + "Sub").c_str()));
    // Read-only is the owner's write bit.
    struct stat st {};
    ASSERT_EQ(0, stat(lab.Machine("PC1").HostPath("C:\\Docs\\Joe\\ReadOnly.url").c_str(), &st));
    EXPECT_EQ(0u, st.st_mode & S_IWUSR);

    EXPECT_FALSE(DeleteFileA((dir + "ReadOnly.url").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_FALSE(CopyFileA((dir + "Readme.txt").c_str(), (dir + "ReadOnly.url").c_str(), FALSE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_FALSE(CopyFileA((dir + "Readme.txt").c_str(), (dir + "Hidden.url").c_str(), FALSE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_FALSE(CopyFileA((dir + "Hidden.url").c_str(), (dir + "Readme.txt").c_str(), TRUE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), GetLastError());
    EXPECT_FALSE(CopyFileA((dir + "Readme.txt").c_str(), (dir + "readme.txt").c_str(), FALSE));
    EXPECT_EQ("hello", ReadFile(lab.Machine("PC1").HostPath("C:\\Docs\\Joe\\Readme.txt")));

    // A copy keeps the source's attributes; reset to normal, the file can go.
    ASSERT_TRUE(CopyFileA((dir + "Hidden.url").c_str(), (dir + "Copy.url").c_str(), TRUE));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              GetFileAttributesA((dir + "Copy.url").c_str()));
    ASSERT_TRUE(SetFileAttributesA((dir + "ReadOnly.url").c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileA((dir + "ReadOnly.url").c_str()));

    EXPECT_FALSE(RemoveDirectoryA("\\\\PC1\\C$\\Docs"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DIR_NOT_EMPTY), GetLastError());
    EXPECT_FALSE(CreateDirectoryA((dir + "Sub").c_str(), nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_FALSE(DeleteFileA((dir + "Sub").c_str()));
    EXPECT_TRUE(RemoveDirectoryA((dir + "Sub").c_str()));
}

TEST_F(LabFiles, LinksAreReparsePointsAndRemovingOneKeepsItsTarget) {
    std::string target = lab.Scratch() + "/elsewhere";
    testsupport::WriteFile(target + "/precious.txt", "keep");
    lab.Machine("PC1").Link("C:\\Docs\\Joe\\Jump", target);
    lab.Write();
    DWORD a = GetFileAttributesA("\\\\PC1\\C$\\Docs\\Joe\\Jump");
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT), a);
    EXPECT_TRUE(RemoveDirectoryA("\\\\PC1\\C$\\Docs\\Joe\\Jump"));
    EXPECT_EQ("keep", ReadFile(target + "/precious.txt"));
}

TEST_F(LabFiles, SearchesListLikeNtfs) {
    EXPECT_EQ(
        (std::vector<std::string>{".", "..", "Hidden.url", "Readme.txt", "ReadOnly.url", "Sub"}),
        List("\\\\PC1\\C$\\Docs\\Joe\\*.*"));
    EXPECT_EQ((std::vector<std::string>{"Readme.txt"}), List("\\\\PC1\\C$\\Docs\\Joe\\*.TXT"));
    EXPECT_EQ((std::vector<std::string>{"Joe"}), List("\\\\PC1\\C$\\Docs\\JOE"));
    // No "." and ".." at the root of a drive.
    EXPECT_EQ((std::vector<std::string>{"Docs", "WINDOWS"}), List("\\\\PC1\\C$\\*"));
    WIN32_FIND_DATAA fd;
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA("\\\\PC1\\C$\\Nowhere\\*.*", &fd));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA("\\\\PC1\\C$\\Docs\\Joe\\*.zip", &fd));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST(LabLock, NamedLockHoldsOffOtherThreadsAndProcesses) {
    std::string name = "quillmark-test-lock-" + std::to_string(getpid());
    HANDLE mine = CreateMutexA(nullptr, FALSE, name.c_str());
    ASSERT_NE(nullptr, mine);
    ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(mine, 1000));
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0),
              WaitForSingleObject(mine, 0)); // the owner may again
    EXPECT_TRUE(ReleaseMutex(mine));

    std::atomic<DWORD> other{12345};
    std::thread t([&] {
        HANDLE theirs = CreateMutexA(nullptr, FALSE, name.c_str());
        other = WaitForSingleObject(theirs, 50);
        CloseHandle(theirs);
    });
    t.join();
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), other.load());
    EXPECT_TRUE(testsupport::ChildPassed(testsupport::SpawnTest(
        "LabLockChild.DISABLED_FindsTheLockHeld", {{"QUILLMARK_TEST_LOCK", name}})));

    EXPECT_TRUE(ReleaseMutex(mine));
    EXPECT_FALSE(ReleaseMutex(mine)); // no longer the owner
    t = std::thread([&] {
        HANDLE theirs = CreateMutexA(nullptr, FALSE, name.c_str());
        other = WaitForSingleObject(theirs, 50);
        ReleaseMutex(theirs);
        CloseHandle(theirs);
    });
    t.join();
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), other.load());
    CloseHandle(mine);
}

// The other process of the test above.
TEST(LabLockChild, DISABLED_FindsTheLockHeld) {
    const char* name = std::getenv("QUILLMARK_TEST_LOCK");
    ASSERT_NE(nullptr, name);
    HANDLE theirs = CreateMutexA(nullptr, FALSE, name);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(theirs, 100));
    CloseHandle(theirs);
}
