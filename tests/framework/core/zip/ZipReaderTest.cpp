#include <ZipReader.h>

#include <TestFiles.h>
#include <ZipBuilder.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using namespace HiveUI;

namespace {

struct Archive {
    explicit Archive(const std::string& bytes, const char* password = nullptr)
        : data(bytes), handle(CZipReader::OpenFromMemory(data.data(), static_cast<DWORD>(data.size()), password)) {}
    ~Archive() {
        if (handle != nullptr) CZipReader::Close(handle);
    }
    std::string data;
    TZipHandle* handle;
};

int Find(TZipHandle* handle, const wchar_t* name, TZipEntry* entry, bool ignoreCase = true) {
    int index = -2;
    EXPECT_EQ(ZIP_OK, CZipReader::FindItem(handle, name, ignoreCase, &index, entry)) << name;
    return index;
}

// Reads a whole entry through a buffer of `chunk` bytes; returns the last result.
DWORD ReadAll(TZipHandle* handle, int index, DWORD chunk, std::string& out) {
    std::vector<char> buffer(chunk);
    for (int guard = 0; guard < 100000; ++guard) {
        DWORD written = 12345;
        const DWORD result = CZipReader::UnzipToMemory(handle, index, buffer.data(), chunk, &written);
        out.append(buffer.data(), written);
        if (result != ZIP_ERR_MORE) return result;
    }
    return 0xFFFFFFFF;
}

std::wstring TempPath(const wchar_t* name) { return TestFiles::TempFolder() + name; }

void WriteFile(const std::wstring& path, const std::string& bytes) { ASSERT_TRUE(TestFiles::Write(path, bytes)); }

const std::string kBig = TestZip::Text(100000, 7);

std::string SampleArchive() {
    TestZip::Entry folder = TestZip::Make("skin/", "", 0);
    folder.externalAttributes = 0x10;
    return TestZip::Build({TestZip::Make("readme.txt", "stored text", 0), folder,
                           TestZip::Make("skin/Main.XML", kBig, 8), TestZip::Make("empty.txt", "", 0)});
}

}  // namespace

TEST(ZipReader, StoredDeflatedFolderAndEmptyEntriesReadBackExactly) {
    Archive zip(SampleArchive());
    ASSERT_NE(nullptr, zip.handle);
    struct Case {
        const wchar_t* name;
        std::string data;
        DWORD attributes;
    } cases[] = {{L"readme.txt", "stored text", 0}, {L"skin/", "", FILE_ATTRIBUTE_DIRECTORY},
                 {L"skin/Main.XML", kBig, 0}, {L"empty.txt", "", 0}};
    for (const Case& c : cases) {
        TZipEntry entry;
        const int index = Find(zip.handle, c.name, &entry, false);
        EXPECT_EQ(index, entry.index);
        EXPECT_STREQ(c.name, entry.name);
        EXPECT_EQ(c.data.size(), entry.uncompressedSize);
        EXPECT_EQ(c.attributes, entry.attributes);
        std::string out(c.data.size() + 1, '\x55');
        DWORD written = 0;
        EXPECT_EQ(ZIP_OK, CZipReader::UnzipToMemory(zip.handle, index, &out[0], entry.uncompressedSize, &written))
            << c.name;
        EXPECT_EQ(c.data.size(), written);
        EXPECT_EQ(c.data + '\x55', out);
    }
    TZipEntry entry;
    Find(zip.handle, L"skin/Main.XML", &entry);
    EXPECT_LT(entry.compressedSize, entry.uncompressedSize);
}

TEST(ZipReader, ShortBuffersGiveMoreDataAndContinueWhereTheyStopped) {
    Archive zip(SampleArchive());
    TZipEntry entry;
    const int big = Find(zip.handle, L"SKIN/main.xml", &entry);
    const int small = Find(zip.handle, L"readme.txt", &entry);
    for (DWORD chunk : {1u, 7u, 4096u, 99999u}) {
        std::string out;
        EXPECT_EQ(ZIP_OK, ReadAll(zip.handle, big, chunk, out)) << chunk;
        EXPECT_EQ(kBig, out) << chunk;
    }
    // One byte short: the caller keeps the truncated bytes.
    std::string out(10, '\0');
    DWORD written = 0;
    EXPECT_EQ(ZIP_ERR_MORE, CZipReader::UnzipToMemory(zip.handle, small, &out[0], 10, &written));
    EXPECT_EQ(10u, written);
    EXPECT_EQ("stored tex", out);
    EXPECT_EQ(ZIP_ERR_MORE, CZipReader::GetLastResult());
    // Switching to another entry and back starts the first one again.
    std::string again;
    EXPECT_EQ(ZIP_OK, ReadAll(zip.handle, big, 50000, again));
    EXPECT_EQ(ZIP_OK, ReadAll(zip.handle, small, 100, again = ""));
    EXPECT_EQ("stored text", again);
}

TEST(ZipReader, NamesAreCleanedOfDrivesLeadingSeparatorsAndParentSteps) {
    const std::vector<std::pair<std::string, const wchar_t*>> names = {
        {"C:/skins/../img/a.png", L"img/a.png"}, {"/lead.txt", L"lead.txt"},
        {"d:\\x\\..\\y\\z.txt", L"y\\z.txt"},    {"a/b/../c/..\\d.txt", L"d.txt"},
        {"\\\\c:x/..\\w.txt", L"w.txt"},         {"plain/name.txt", L"plain/name.txt"},
    };
    std::vector<TestZip::Entry> entries;
    for (const auto& n : names) entries.push_back(TestZip::Make(n.first, "x", 0));
    Archive zip(TestZip::Build(entries));
    ASSERT_NE(nullptr, zip.handle);
    for (const auto& n : names) {
        std::wstring wide(n.first.begin(), n.first.end());
        TZipEntry entry;
        Find(zip.handle, wide.c_str(), &entry, false);
        EXPECT_STREQ(n.second, entry.name) << n.first;
    }
}

TEST(ZipReader, LookupIsCaseSensitiveOnlyWhenAsked) {
    Archive zip(SampleArchive());
    int index = 5;
    TZipEntry entry;
    entry.index = 9;
    entry.name[0] = L'q';
    EXPECT_EQ(ZIP_ERR_NOT_FOUND, CZipReader::FindItem(zip.handle, L"SKIN/MAIN.XML", false, &index, &entry));
    EXPECT_EQ(-1, index);
    EXPECT_EQ(-1, entry.index);
    EXPECT_EQ(L'\0', entry.name[0]);
    EXPECT_EQ(ZIP_ERR_NOT_FOUND, CZipReader::GetLastResult());
    EXPECT_EQ(ZIP_OK, CZipReader::FindItem(zip.handle, L"SKIN/MAIN.XML", true, &index, &entry));
    EXPECT_EQ(2, index);
    EXPECT_EQ(ZIP_ERR_NOT_FOUND, CZipReader::FindItem(zip.handle, L"skin\\main.xml", true, &index, &entry));
}

// Names that differ only in case, or not at all: ignoring case finds the first in the
// directory, exact look-ups their own; only ASCII letters fold; names of 256 bytes or
// more are never found, as minizip never finds them.
TEST(ZipReader, LookupFindsTheFirstOfEqualNamesAsADirectorySearchWould) {
    const std::string longName = std::string(255, 'n');
    Archive zip(TestZip::Build({TestZip::Make("a.txt", "first", 0), TestZip::Make("A.TXT", "second", 0),
                                TestZip::Make("a.txt", "third", 0), TestZip::Make("\xC3\xA9.txt", "accent", 0),
                                TestZip::Make(longName, "long", 0), TestZip::Make(longName + "x", "longer", 0)}));
    const struct {
        std::wstring name;
        bool ignoreCase;
        int index;  // -1: not found
    } cases[] = {
        {L"A.txt", true, 0},          {L"a.txt", false, 0}, {L"A.TXT", false, 1}, {L"A.txt", false, -1},
        {L"\u00E9.TXT", true, 3},     {L"\u00C9.txt", true, -1},
        {std::wstring(255, L'N'), true, 4}, {std::wstring(255, L'n') + L"x", true, -1},
    };
    for (const auto& c : cases) {
        int index = -2;
        TZipEntry entry;
        const DWORD result = CZipReader::FindItem(zip.handle, c.name.c_str(), c.ignoreCase, &index, &entry);
        EXPECT_EQ(c.index < 0 ? ZIP_ERR_NOT_FOUND : ZIP_OK, result) << c.index;
        EXPECT_EQ(c.index, index);
    }
    // A look-up in the middle of a read leaves the next read of the found entry whole.
    std::string part(2, '\0'), whole;
    TZipEntry entry;
    EXPECT_EQ(ZIP_ERR_MORE, CZipReader::UnzipToMemory(zip.handle, 2, &part[0], 2));
    EXPECT_EQ(1, Find(zip.handle, L"A.TXT", &entry, false));
    EXPECT_EQ(ZIP_OK, ReadAll(zip.handle, 2, 64, whole));
    EXPECT_EQ("third", whole);
}

TEST(ZipReader, EncryptedEntriesNeedTheRightPassword) {
    const std::string secret = TestZip::Text(5000, 3);
    const std::string bytes = TestZip::Build({TestZip::Make("s.bin", secret, 0, "pa55"),
                                              TestZip::Make("d.bin", secret, 8, "pa55"),
                                              TestZip::Make("open.txt", "plain", 8)});
    struct Case {
        const char* password;
        DWORD expected;
    } cases[] = {{"pa55", ZIP_OK}, {"pa56", ZIP_ERR_PASSWORD}, {"", ZIP_ERR_PASSWORD}, {nullptr, ZIP_ERR_PASSWORD}};
    for (const Case& c : cases) {
        Archive zip(bytes, c.password);
        ASSERT_NE(nullptr, zip.handle);
        for (int index : {0, 1}) {
            std::string out;
            EXPECT_EQ(c.expected, ReadAll(zip.handle, index, 777, out)) << (c.password ? c.password : "null") << index;
            if (c.expected == ZIP_OK) EXPECT_EQ(secret, out);
            else EXPECT_EQ("", out);
        }
        // An unencrypted entry reads the same with or without a password.
        std::string plain;
        EXPECT_EQ(ZIP_OK, ReadAll(zip.handle, 2, 100, plain));
        EXPECT_EQ("plain", plain);
    }
}

TEST(ZipReader, CorruptedEntriesFailInsteadOfPassingGarbage) {
    std::string bytes = TestZip::Build({TestZip::Make("a.txt", "0123456789", 0), TestZip::Make("b.txt", kBig, 8)});
    std::string badCrc = bytes;
    badCrc[30 + 5 + 3] ^= 1;  // a byte of a.txt's stored data
    {
        Archive zip(badCrc);
        std::string out(10, '\0');
        DWORD written = 0;
        EXPECT_EQ(ZIP_ERR_INFLATE, CZipReader::UnzipToMemory(zip.handle, 0, &out[0], 10, &written));
    }
    std::string badHeader = bytes;
    badHeader[0] = 'X';
    {
        Archive zip(badHeader);
        ASSERT_NE(nullptr, zip.handle);
        std::string out;
        EXPECT_EQ(ZIP_ERR_LOCAL_HEADER, ReadAll(zip.handle, 0, 100, out));
    }
    std::string badDeflate = bytes;
    const size_t second = bytes.find("b.txt") + 5;
    for (size_t i = second + 10; i < second + 200; ++i) badDeflate[i] = static_cast<char>(0xFF);
    {
        Archive zip(badDeflate);
        std::string out;
        EXPECT_EQ(ZIP_ERR_INFLATE, ReadAll(zip.handle, 1, 4096, out));
    }
}

TEST(ZipReader, TruncatedAndMisdirectedArchivesDoNotOpen) {
    const std::string bytes = SampleArchive();
    for (size_t length = 0; length < bytes.size(); length += (length < 200 ? 1 : 97)) {
        const std::string part = bytes.substr(0, length);
        TZipHandle* handle = CZipReader::OpenFromMemory(part.data(), static_cast<DWORD>(part.size()), nullptr);
        EXPECT_EQ(nullptr, handle) << length;
        EXPECT_EQ(ZIP_ERR_OPEN, CZipReader::GetLastResult());
        if (handle != nullptr) CZipReader::Close(handle);
    }
    std::string misdirected = bytes;
    misdirected[misdirected.size() - 6] = '\x7F';  // central directory offset far past the end
    EXPECT_EQ(nullptr, CZipReader::OpenFromMemory(misdirected.data(), static_cast<DWORD>(misdirected.size()), nullptr));
    EXPECT_EQ(ZIP_ERR_OPEN, CZipReader::GetLastResult());
}

TEST(ZipReader, BadHandlesAndIndexesAreRefused) {
    Archive zip(SampleArchive());
    char buffer[8];
    int index = 0;
    TZipEntry entry;
    EXPECT_EQ(ZIP_ERR_ARGS, CZipReader::UnzipToMemory(nullptr, 0, buffer, 8));
    EXPECT_EQ(ZIP_ERR_ARGS, CZipReader::FindItem(nullptr, L"a", true, &index, &entry));
    EXPECT_EQ(ZIP_ERR_ARGS, CZipReader::Close(nullptr));
    TZipHandle other{2, zip.handle->archive};
    EXPECT_EQ(ZIP_ERR_NOT_ARCHIVE, CZipReader::UnzipToMemory(&other, 0, buffer, 8));
    EXPECT_EQ(ZIP_ERR_NOT_ARCHIVE, CZipReader::FindItem(&other, L"a", true, &index, &entry));
    EXPECT_EQ(ZIP_ERR_NOT_ARCHIVE, CZipReader::Close(&other));
    EXPECT_EQ(ZIP_ERR_ARGS, CZipReader::UnzipToMemory(zip.handle, 4, buffer, 8));
    EXPECT_EQ(ZIP_ERR_ARGS, CZipReader::UnzipToMemory(zip.handle, -1, buffer, 8));
    EXPECT_EQ(ZIP_ERR_ARGS, CZipReader::GetLastResult());
    EXPECT_EQ(nullptr, CZipReader::Open(buffer, 8, 9, nullptr));
    EXPECT_EQ(ZIP_ERR_ARGS, CZipReader::GetLastResult());
}

TEST(ZipReader, FileArchiveIsReadAndItsFileReleasedOnClose) {
    const std::wstring path = TempPath(L"skin.zip");
    WriteFile(path, SampleArchive());
    EXPECT_EQ(nullptr, CZipReader::OpenFromFile((path + L".missing").c_str(), nullptr));
    EXPECT_EQ(ZIP_ERR_OPEN, CZipReader::GetLastResult());
    TZipHandle* handle = CZipReader::OpenFromFile(path.c_str(), nullptr);
    ASSERT_NE(nullptr, handle);
    TZipEntry entry;
    const int index = Find(handle, L"skin/main.xml", &entry);
    std::string out;
    EXPECT_EQ(ZIP_OK, ReadAll(handle, index, 65536, out));
    EXPECT_EQ(kBig, out);
    EXPECT_FALSE(DeleteFileW(path.c_str()));  // still open
    EXPECT_EQ(ZIP_OK, CZipReader::Close(handle));
    EXPECT_TRUE(DeleteFileW(path.c_str()));
}

TEST(ZipReader, HandleArchiveCountsFromTheHandlesPositionAndNeedsSeeking) {
    const std::wstring path = TempPath(L"prefixed.zip");
    WriteFile(path, std::string(37, 'J') + SampleArchive());
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    SetFilePointer(file, 37, nullptr, FILE_BEGIN);
    TZipHandle* handle = CZipReader::Open(file, 0, ZIP_STREAM_HANDLE, nullptr);
    ASSERT_NE(nullptr, handle);
    TZipEntry entry;
    std::string out;
    EXPECT_EQ(ZIP_OK, ReadAll(handle, Find(handle, L"readme.txt", &entry), 64, out));
    EXPECT_EQ("stored text", out);
    CZipReader::Close(handle);
    // The caller's handle stays open.
    EXPECT_NE(INVALID_SET_FILE_POINTER, SetFilePointer(file, 0, nullptr, FILE_CURRENT));
    CloseHandle(file);

    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    EXPECT_EQ(nullptr, CZipReader::Open(readEnd, 0, ZIP_STREAM_HANDLE, nullptr));
    EXPECT_EQ(ZIP_ERR_NO_SEEK, CZipReader::GetLastResult());
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
}

TEST(ZipReader, EntryTimesAndAttributesFollowTheHostAndTheExtendedTimeStamp) {
    TestZip::Entry dos = TestZip::Make("dos.txt", "d", 0);
    dos.externalAttributes = 0x27;  // read-only, hidden, system, archive
    TestZip::Entry unix = TestZip::Make("unix.txt", "u", 0);
    unix.host = 3;
    unix.externalAttributes = 0x40000000;  // directory, no owner write bit
    std::string ut;
    TestZip::Put16(ut, 0x5455);
    TestZip::Put16(ut, 9);
    ut += '\x03';
    TestZip::Put32(ut, 1000000000u);  // modification
    TestZip::Put32(ut, 1500000000u);  // access
    unix.extra = ut;
    unix.dosTime = (13 << 11) | (30 << 5) | 5;  // 13:30:10
    Archive zip(TestZip::Build({dos, unix}));
    TZipEntry entry;
    Find(zip.handle, L"dos.txt", &entry);
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                 FILE_ATTRIBUTE_ARCHIVE),
              entry.attributes);
    Find(zip.handle, L"unix.txt", &entry);
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE),
              entry.attributes);
    auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    EXPECT_EQ(1000000000ULL * 10000000ULL + 116444736000000000ULL, ticks(entry.modificationTime));
    EXPECT_EQ(1500000000ULL * 10000000ULL + 116444736000000000ULL, ticks(entry.accessTime));
    FILETIME local = {};
    FileTimeToLocalFileTime(&entry.creationTime, &local);
    SYSTEMTIME st = {};
    FileTimeToSystemTime(&local, &st);
    EXPECT_EQ(2025, st.wYear);
    EXPECT_EQ(1, st.wMonth);
    EXPECT_EQ(1, st.wDay);
    EXPECT_EQ(13, st.wHour);
    EXPECT_EQ(30, st.wMinute);
    EXPECT_EQ(10, st.wSecond);
}

TEST(ZipStream, MemorySeeksStayInsideTheBlock) {
    const char block[10] = "abcdefghi";
    DWORD error = 1;
    TZipStream* stream = zip_stream_open(block, 10, ZIP_STREAM_MEMORY, &error);
    ASSERT_NE(nullptr, stream);
    EXPECT_EQ(0u, error);
    char out[16] = {};
    EXPECT_NE(0, zip_stream_seek(stream, -1, SEEK_SET));
    EXPECT_NE(0, zip_stream_seek(stream, 11, SEEK_SET));
    EXPECT_NE(0, zip_stream_seek(stream, 1, SEEK_END));
    EXPECT_EQ(0, zip_stream_seek(stream, -3, SEEK_END));
    EXPECT_EQ(7, zip_stream_tell(stream));
    EXPECT_EQ(1u, zip_stream_read(stream, out, 2, 5));  // whole items only
    EXPECT_EQ(10, zip_stream_tell(stream));
    EXPECT_EQ(0u, zip_stream_read(stream, out, 1, 5));
    EXPECT_EQ(19, zip_stream_seek(stream, 0, 7));
    EXPECT_EQ(0, zip_stream_error(stream));
    EXPECT_EQ(0, zip_stream_close(stream));
    EXPECT_EQ(-1, zip_stream_close(nullptr));
}

TEST(ZipReader, SeededMutationsNeverCrashOrSucceedWithWrongBytes) {
    const std::string secret = TestZip::Text(3000, 9);
    const std::string good = TestZip::Build({TestZip::Make("a.txt", secret, 0), TestZip::Make("b.txt", secret, 8),
                                             TestZip::Make("c.txt", secret, 8, "pw")});
    std::mt19937 random(4242);
    for (int round = 0; round < 40000; ++round) {
        std::string bytes = good;
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < flips; ++i) bytes[random() % bytes.size()] = static_cast<char>(random());
        if (round % 5 == 0) bytes.resize(random() % bytes.size());
        TZipHandle* handle = CZipReader::OpenFromMemory(bytes.data(), static_cast<DWORD>(bytes.size()), "pw");
        if (handle == nullptr) continue;
        for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"}) {
            int index = -1;
            TZipEntry entry;
            if (CZipReader::FindItem(handle, name, true, &index, &entry) != ZIP_OK) continue;
            std::string out;
            const DWORD result = ReadAll(handle, index, 1024, out);
            // Success must mean the real bytes: CRC and password are checked.
            if (result == ZIP_OK && entry.uncompressedSize == secret.size()) {
                EXPECT_EQ(secret, out) << round;
            }
        }
        CZipReader::Close(handle);
    }
}
