#include <UIControl.h>

#include <memory>

#include "BuilderKit.h"

using namespace HiveUI;

namespace {

// A copy of this test program with two layouts added as resources of type "XML", loaded
// as a data file: 204 includes 205 by its number.
class ResourceModule : public testing::Test {
protected:
    void SetUp() override {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        copy_ = TestFiles::TempFolder() + L"layouts.bin";
        ASSERT_TRUE(CopyFileW(self, copy_.c_str(), FALSE));
        HANDLE update = BeginUpdateResourceW(copy_.c_str(), FALSE);
        ASSERT_NE(nullptr, update);
        Add(update, 204, "<Window><VerticalLayout><Include source=\"205\" count=\"2\"/></VerticalLayout></Window>");
        Add(update, 205, "<Items><Control name=\"from205\"/></Items>");
        ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
        module_ = LoadLibraryExW(copy_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, module_);
    }
    void TearDown() override {
        if (module_ != nullptr) FreeLibrary(module_);
        DeleteFileW(copy_.c_str());
    }
    static void Add(HANDLE update, int id, const std::string& xml) {
        UpdateResourceW(update, L"XML", MAKEINTRESOURCEW(id), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                        const_cast<char*>(xml.data()), static_cast<DWORD>(xml.size()));
    }

    std::wstring copy_;
    HMODULE module_ = nullptr;
};

TEST_F(ResourceModule, ALayoutFromResourcesIncludesOtherResourcesByNumber) {
    CDialogBuilder builder;
    builder.SetInstance(module_);
    std::unique_ptr<CControlUI> root(builder.Create(MAKEINTRESOURCEW(204), L"XML"));
    ASSERT_NE(nullptr, root);
    EXPECT_EQ((std::vector<std::wstring>{L"from205", L"from205"}), ChildNames(root.get()));
    CDialogBuilder missing;
    missing.SetInstance(module_);
    EXPECT_EQ(nullptr, missing.Create(MAKEINTRESOURCEW(206), L"XML"));
}

TEST(Builder, InALayoutFromAFileANumericIncludeIsAFileName) {
    const std::wstring folder = TestFiles::TempFolder() + L"numeric\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(TestFiles::Write(folder + L"205", "<Items><Control name=\"file205\"/></Items>"));
    ASSERT_TRUE(TestFiles::Write(folder + L"main.xml",
                                 "<Window><VerticalLayout><Include source=\"205\"/></VerticalLayout></Window>"));
    CPaintManagerUI::SetResourcePath(folder.c_str());
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(L"main.xml"));
    ASSERT_NE(nullptr, root);
    EXPECT_EQ((std::vector<std::wstring>{L"file205"}), ChildNames(root.get()));
}

}  // namespace
