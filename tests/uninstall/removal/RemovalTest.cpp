// The uninstaller's deletions and record checks on real folders, files and links in the
// test's own Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "FolderRemoval.h"
#include "UninstallRecord.h"

namespace {

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Touch(const std::wstring& path) {
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// A fresh folder below the prefix's temporary folder, emptied by the shell afterwards.
class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        root_ = std::wstring(temp) + L"uninstall-removal-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(root_.c_str(), nullptr);
    }
    void TearDown() override { DeleteFolderByShell(root_); }

    std::wstring root_;
};

TEST_F(ScratchFolder, ContentsGoButDotNamesStay) {
    const std::wstring install = root_ + L"\\Pet Shop tally hive";
    CreateDirectoryW(install.c_str(), nullptr);
    for (const wchar_t* folder : {L"\\data", L"\\data\\img", L"\\.dotdir"}) CreateDirectoryW((install + folder).c_str(), nullptr);
    for (const wchar_t* file : {L"\\a.txt", L"\\data\\img\\b.png", L"\\.keep", L"\\.dotdir\\c.txt", L"\\ro.txt"}) {
        Touch(install + file);
    }
    SetFileAttributesW((install + L"\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(DeleteFolderContents(install));
    for (const wchar_t* gone : {L"\\a.txt", L"\\data", L"\\ro.txt"}) EXPECT_FALSE(Exists(install + gone)) << Narrow(gone);
    for (const wchar_t* kept : {L"\\.keep", L"\\.dotdir\\c.txt"}) EXPECT_TRUE(Exists(install + kept)) << Narrow(kept);
}

TEST_F(ScratchFolder, AFileThatCannotBeDeletedIsReportedUnlessItIsTheOneToKeep) {
    const std::wstring locked = root_ + L"\\locked.txt";
    HANDLE open = CreateFileW(locked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, open);
    EXPECT_FALSE(DeleteFolderContents(root_));
    EXPECT_TRUE(DeleteFolderContents(root_, locked));
    CloseHandle(open);
    EXPECT_TRUE(DeleteFolderContents(root_ + L"\\missing"));
}

TEST_F(ScratchFolder, ShellDeletionRefusesPathsOf260CharactersAndTakes259) {
    // A folder name long enough that a file in it gives the wanted path lengths.
    std::wstring folder = root_ + L"\\";
    folder.append(200 - folder.size(), L'f');
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring base = folder + L"\\";
    const std::wstring file259 = base + std::wstring(259 - base.size(), L'n');
    const std::wstring file260 = base + std::wstring(260 - base.size(), L'n');
    Touch(file259);
    ASSERT_TRUE(Exists(file259));
    EXPECT_FALSE(DeleteFolderByShell(file260));
    EXPECT_FALSE(DeleteFolderByShell(L""));
    EXPECT_TRUE(DeleteFolderByShell(file259));
    EXPECT_FALSE(Exists(file259));
    EXPECT_TRUE(DeleteFolderByShell(folder));
    EXPECT_FALSE(Exists(folder));
}

TEST_F(ScratchFolder, LinksAreRemovedAsLinksAndTheirTargetsStay) {
    const std::wstring target = root_ + L"\\elsewhere";
    const std::wstring install = root_ + L"\\install";
    CreateDirectoryW(target.c_str(), nullptr);
    CreateDirectoryW(install.c_str(), nullptr);
    CreateDirectoryW((install + L"\\sub").c_str(), nullptr);
    Touch(target + L"\\precious.txt");
    if (!CreateSymbolicLinkW((install + L"\\link").c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) {
        GTEST_SKIP() << "this Wine cannot make folder links (error " << GetLastError() << ")";
    }
    CreateSymbolicLinkW((install + L"\\sub\\deep").c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
    EXPECT_TRUE(DeleteFolderContents(install));
    EXPECT_FALSE(Exists(install + L"\\link"));
    EXPECT_FALSE(Exists(install + L"\\sub"));
    EXPECT_TRUE(Exists(target + L"\\precious.txt"));
}

TEST(UninstallRecord, NamesUsedAsOnePathComponentAndOneKey) {
    for (const wchar_t* name : {L"tallyhive", L"Pet Shop tally hive", L"a.b", L"宠物店"}) {
        EXPECT_TRUE(IsSafeName(name)) << Narrow(name);
    }
    for (const wchar_t* name : {L"", L".", L"..", L"...", L"*", L"a\\b", L"a/b", L"c:", L"a?b", L"a\"b", L"a\tb"}) {
        EXPECT_FALSE(IsSafeName(name)) << Narrow(name);
    }
}

TEST(UninstallRecord, InstallPathsThatCouldReachBeyondTheProduct) {
    wchar_t temp[MAX_PATH] = {}, windows[MAX_PATH] = {}, profile[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    GetWindowsDirectoryW(windows, MAX_PATH);
    GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH);
    const std::wstring install = std::wstring(temp) + L"Pet Shop tally hive";
    const std::wstring program = install + L"\\bin\\uninstall.exe";

    EXPECT_TRUE(IsSafeInstallPath(install, program));
    EXPECT_TRUE(IsSafeInstallPath(install + L"\\", program));
    EXPECT_TRUE(IsSafeInstallPath(install + L"\\bin", program));
    const std::wstring refused[] = {
        L"C:\\", L"C:", L"C:\\\\", windows, profile, temp, L"relative\\folder", L"\\no-drive",
        install + L"\\..\\Pet Shop tally hive", install + L"\\.", install + L"\" & del x & \"", install + L"%PATH%",
        install + L"*", install + L":stream", L"C:\\users",
    };
    for (const std::wstring& path : refused) {
        EXPECT_FALSE(IsSafeInstallPath(path, program)) << Narrow(path);
        EXPECT_FALSE(IsSafeInstallPath(path, path + L"\\uninstall.exe")) << Narrow(path);
    }
    // Sound folders that do not hold the uninstaller.
    for (const std::wstring& path : {install + L"-old", install + L"\\other"}) {
        EXPECT_FALSE(IsSafeInstallPath(path, program)) << Narrow(path);
        EXPECT_TRUE(IsSafeInstallPath(path, path + L"\\uninstall.exe")) << Narrow(path);
    }
}

}  // namespace
