// Reads what scripts/package.sh laid out from the release build (TALLYHIVE_RELEASE_DIR):
// the package holds exactly the two programs; each exe carries no debug sections but a
// link to its debug file beside the build; its manifest is read by the system's own
// activation-context parser; its resources are Chinese, its version names it, and its
// icon group holds every size, each one the system can load.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "XmlDocument.h"

namespace {

struct Shipped {
    const char* name;
    const wchar_t* exe;
    const wchar_t* debugFile;  // below the release build
    const wchar_t* assembly;
    int runLevel;  // ACTCTX_REQUESTED_RUN_LEVEL
    const wchar_t* description;
    const wchar_t* internalName;
    WORD iconGroup;
};

const Shipped kPrograms[] = {
    {"client", L"tallyhive.exe", L"client\\tallyhive.debug", L"tallyhive.client", ACTCTX_RUN_LEVEL_AS_INVOKER,
     L"tallyhive宠物店管理系统", L"tallyhive", 132},
    {"uninstall", L"uninstall.exe", L"uninstall\\uninstall.debug", L"tallyhive.uninstall", ACTCTX_RUN_LEVEL_REQUIRE_ADMIN,
     L"tallyhive卸载程序", L"uninstall", 108},
};

// Names the case in gtest's messages.
void PrintTo(const Shipped& program, std::ostream* out) { *out << program.name; }

const WORD kChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

std::wstring ReleaseFolder() {
    const char* dir = getenv("TALLYHIVE_RELEASE_DIR");
    return dir != nullptr ? TestFiles::UnixPath(dir) + L"\\" : std::wstring();
}

std::wstring PackageFolder() { return ReleaseFolder() + L"package\\tallyhive\\"; }

class ReleasePackage : public testing::TestWithParam<Shipped> {
protected:
    void SetUp() override {
        if (ReleaseFolder().empty()) GTEST_FAIL() << "TALLYHIVE_RELEASE_DIR names no release build";
    }
    std::wstring Exe() const { return PackageFolder() + GetParam().exe; }
};

// Section names of a PE image: long names ("/4") are offsets into the COFF string table.
std::vector<std::string> SectionNames(const std::string& image, std::string* debugLink) {
    std::vector<std::string> names;
    if (image.size() < sizeof(IMAGE_DOS_HEADER)) return names;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || image.size() < dos->e_lfanew + sizeof(IMAGE_NT_HEADERS32)) return names;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(image.data() + dos->e_lfanew);
    const auto* section = IMAGE_FIRST_SECTION(nt);
    const size_t strings = nt->FileHeader.PointerToSymbolTable + nt->FileHeader.NumberOfSymbols * 18;
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        std::string name(reinterpret_cast<const char*>(section->Name), strnlen(reinterpret_cast<const char*>(section->Name), 8));
        if (name.size() > 1 && name[0] == '/') {
            const size_t at = strings + std::stoul(name.substr(1));
            name = at < image.size() ? std::string(image.c_str() + at) : std::string();
        }
        if (name == ".gnu_debuglink" && debugLink != nullptr && section->PointerToRawData + section->SizeOfRawData <= image.size()) {
            *debugLink = image.substr(section->PointerToRawData, section->SizeOfRawData);
        }
        names.push_back(name);
    }
    return names;
}

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

bool IsDebugSection(const std::string& name) { return name.compare(0, 7, ".debug_") == 0; }

TEST(ReleasePackageFolder, HoldsExactlyTheTwoPrograms) {
    std::set<std::wstring> files;
    WIN32_FIND_DATAW found = {};
    HANDLE find = FindFirstFileW((PackageFolder() + L"*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, find) << "no package: scripts/package.sh makes it";
    do {
        if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0) files.insert(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    EXPECT_EQ((std::set<std::wstring>{L"tallyhive.exe", L"uninstall.exe"}), files);
}

TEST_P(ReleasePackage, CarriesNoDebugSectionsButALinkToItsDebugFile) {
    std::string link;
    const std::vector<std::string> names = SectionNames(TestFiles::ReadAll(Exe()), &link);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.end(), std::find_if(names.begin(), names.end(), IsDebugSection));

    const std::wstring debugPath = ReleaseFolder() + GetParam().debugFile;
    const std::string debug = TestFiles::ReadAll(debugPath);
    const std::vector<std::string> debugNames = SectionNames(debug, nullptr);
    EXPECT_NE(debugNames.end(), std::find(debugNames.begin(), debugNames.end(), ".debug_info"));
    // The link: the file's name, NULs up to a multiple of four, its CRC-32.
    const std::string file(debugPath.begin() + debugPath.find_last_of(L'\\') + 1, debugPath.end());
    ASSERT_GE(link.size(), (file.size() + 4) / 4 * 4 + 4);
    EXPECT_EQ(file, std::string(link.c_str()));
    uint32_t crc = 0;
    memcpy(&crc, link.data() + (file.size() + 4) / 4 * 4, 4);
    EXPECT_EQ(Crc32(debug), crc);
}

// The element as Windows 10 and Wine give it; the toolchain's header has an older,
// shorter one.
struct CompatibilityElement {
    GUID id;
    DWORD type;
    ULONGLONG maxVersionTested;
};

TEST_P(ReleasePackage, ManifestAsTheSystemReadsIt) {
    ACTCTXW request = {};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    const std::wstring exe = Exe();
    request.lpSource = exe.c_str();
    request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    // Fails when the manifest is malformed or names a dependency that cannot be had.
    HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(INVALID_HANDLE_VALUE, context) << GetLastError();

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = {};
    SIZE_T size = 0;
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level, sizeof(level), &size));
    EXPECT_EQ(GetParam().runLevel, static_cast<int>(level.RunLevel));
    EXPECT_EQ(0u, level.UiAccess);

    std::vector<char> buffer(1024);
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, buffer.data(),
                             buffer.size(), &size));
    const DWORD count = *reinterpret_cast<DWORD*>(buffer.data());
    ASSERT_EQ(sizeof(ULONGLONG) + count * sizeof(CompatibilityElement), size);
    std::set<unsigned long> systems;
    const auto* element = reinterpret_cast<const CompatibilityElement*>(buffer.data() + sizeof(ULONGLONG));
    for (DWORD i = 0; i < count; ++i, ++element) {
        if (element->type == ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) systems.insert(element->id.Data1);
    }
    // Windows 7, 8, 8.1, and 10 with 11.
    EXPECT_EQ((std::set<unsigned long>{0x35138b9a, 0x4a2f28e3, 0x1f676c76, 0x8e0f7a12}), systems);

    const struct {
        const wchar_t* space;
        const wchar_t* name;
        const wchar_t* value;
    } dpi[] = {{L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", L"true"},
               {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness", L"system"}};
    for (const auto& setting : dpi) {
        wchar_t value[32] = {};
        EXPECT_TRUE(QueryActCtxSettingsW(0, context, setting.space, setting.name, value, 32, &size)) << setting.name;
        EXPECT_STREQ(setting.value, value);
    }
    ReleaseActCtx(context);
}

// What the activation context does not tell: the names of the assembly and of the
// common-controls dependency, read from the manifest's XML.
TEST_P(ReleasePackage, ManifestNamesItselfAndCommonControls6) {
    HMODULE module = LoadLibraryExW(Exe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    HRSRC found = FindResourceW(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    ASSERT_NE(nullptr, found);
    HiveUI::CXmlDocument manifest;
    ASSERT_TRUE(manifest.LoadFromMem(static_cast<const BYTE*>(LockResource(LoadResource(module, found))),
                                     SizeofResource(module, found)))
        << manifest.GetLastErrorMessage();
    FreeLibrary(module);

    std::vector<std::wstring> identities;  // name and version of each assemblyIdentity, in order
    std::vector<HiveUI::CXmlNode> stack{manifest.GetRoot()};
    while (!stack.empty()) {
        HiveUI::CXmlNode node = stack.back();
        stack.pop_back();
        if (!node.IsValid()) continue;
        stack.push_back(node.GetSibling());
        stack.push_back(node.GetChild());
        if (wcscmp(node.GetName(), L"assemblyIdentity") != 0) continue;
        wchar_t name[128] = {}, version[32] = {};
        node.GetAttributeValueByName(L"name", name, 127);
        node.GetAttributeValueByName(L"version", version, 31);
        identities.push_back(std::wstring(name) + L" " + version);
    }
    EXPECT_EQ((std::vector<std::wstring>{std::wstring(GetParam().assembly) + L" 4.0.0.0",
                                         L"Microsoft.Windows.Common-Controls 6.0.0.0"}),
              identities);
}

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages) {
    reinterpret_cast<std::set<WORD>*>(languages)->insert(language);
    return TRUE;
}

BOOL CALLBACK AddNameLanguages(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR languages) {
    EnumResourceLanguagesW(module, type, name, AddLanguage, languages);
    return TRUE;
}

BOOL CALLBACK AddTypeLanguages(HMODULE module, LPWSTR type, LONG_PTR languages) {
    EnumResourceNamesW(module, type, AddNameLanguages, languages);
    return TRUE;
}

std::wstring VersionText(const std::vector<char>& info, const wchar_t* key) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\080404b0\\") + key;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return L"(none)";
    return value;
}

TEST_P(ReleasePackage, EveryResourceIsChineseAndTheVersionNamesTheProgram) {
    HMODULE module = LoadLibraryExW(Exe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    std::set<WORD> languages;
    EnumResourceTypesW(module, AddTypeLanguages, reinterpret_cast<LONG_PTR>(&languages));
    FreeLibrary(module);
    EXPECT_EQ(std::set<WORD>{kChinese}, languages);

    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeW(Exe().c_str(), &ignored));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(Exe().c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(kChinese, translation[0]);
    EXPECT_EQ(1200, translation[1]);  // UTF-16
    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00040000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);

    const struct {
        const wchar_t* key;
        std::wstring value;
    } texts[] = {{L"CompanyName", L"tallyhive"},
                 {L"LegalCopyright", L"版权所有 © tallyhive"},
                 {L"ProductName", L"tallyhive"},
                 {L"FileDescription", GetParam().description},
                 {L"FileVersion", L"4.0.0.0"},
                 {L"InternalName", GetParam().internalName},
                 {L"OriginalFilename", GetParam().exe}};
    for (const auto& text : texts) EXPECT_EQ(text.value, VersionText(info, text.key)) << text.key;
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_P(ReleasePackage, IconGroupHoldsEverySizeTheSystemLoads) {
    HMODULE module = LoadLibraryExW(Exe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(GetParam().iconGroup), RT_GROUP_ICON);
    ASSERT_NE(nullptr, group);
    const BYTE* directory = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    const WORD count = reinterpret_cast<const WORD*>(directory)[2];
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(directory + 6);
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const int side = entries[i].width == 0 ? 256 : entries[i].width;
        sizes.push_back(side);
        EXPECT_EQ(32, entries[i].bitCount) << side;
        HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(entries[i].id), RT_ICON);
        ASSERT_NE(nullptr, image) << side;
        HICON icon = CreateIconFromResourceEx(static_cast<BYTE*>(LockResource(LoadResource(module, image))),
                                              SizeofResource(module, image), TRUE, 0x00030000, side, side, 0);
        ASSERT_NE(nullptr, icon) << side;
        ICONINFO parts = {};
        ASSERT_TRUE(GetIconInfo(icon, &parts));
        BITMAP bitmap = {};
        GetObjectW(parts.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(side, bitmap.bmWidth);
        DeleteObject(parts.hbmColor);
        DeleteObject(parts.hbmMask);
        DestroyIcon(icon);
    }
    FreeLibrary(module);
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ((std::vector<int>{16, 20, 24, 32, 48, 256}), sizes);
}

INSTANTIATE_TEST_SUITE_P(Programs, ReleasePackage, testing::ValuesIn(kPrograms),
                         [](const testing::TestParamInfo<Shipped>& info) { return std::string(info.param.name); });

}  // namespace
