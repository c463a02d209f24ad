#include "ZipReader.h"

#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <unordered_map>

#include <unzip.h>
#include <zlib.h>

namespace HiveUI {

// ---------------------------------------------------------------- stream

static TZipStream* NewStream() {
    TZipStream* stream = new TZipStream();
    stream->file = INVALID_HANDLE_VALUE;
    return stream;
}

static TZipStream* OpenHandleStream(HANDLE file, bool owns) {
    TZipStream* stream = NewStream();
    stream->isHandle = true;
    stream->file = file;
    stream->ownsHandle = owns;
    LARGE_INTEGER zero = {}, pos = {};
    stream->canSeek = SetFilePointerEx(file, zero, &pos, FILE_CURRENT) != FALSE;
    if (stream->canSeek) stream->initialOffset = pos.QuadPart;
    return stream;
}

TZipStream* zip_stream_open(const void* source, DWORD size, int kind, DWORD* error) {
    *error = ZIP_OK;
    if (kind == ZIP_STREAM_HANDLE) return OpenHandleStream(static_cast<HANDLE>(const_cast<void*>(source)), false);
    if (kind == ZIP_STREAM_FILENAME) {
        HANDLE file = CreateFileW(static_cast<const wchar_t*>(source), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            *error = ZIP_ERR_OPEN;
            return nullptr;
        }
        return OpenHandleStream(file, true);
    }
    if (kind == ZIP_STREAM_MEMORY) {
        TZipStream* stream = NewStream();
        stream->canSeek = true;
        stream->memory = static_cast<const BYTE*>(source);
        stream->memorySize = source != nullptr ? size : 0;
        return stream;
    }
    *error = ZIP_ERR_ARGS;
    return nullptr;
}

int zip_stream_close(TZipStream* stream) {
    if (stream == nullptr) return -1;
    if (stream->ownsHandle && stream->file != INVALID_HANDLE_VALUE) CloseHandle(stream->file);
    delete stream;
    return 0;
}

int zip_stream_error(const TZipStream* stream) { return stream != nullptr && stream->error ? 1 : 0; }

long zip_stream_tell(TZipStream* stream) {
    if (!stream->isHandle) return static_cast<long>(stream->memoryPos);
    if (!stream->canSeek) return 0;
    LARGE_INTEGER zero = {}, pos = {};
    if (!SetFilePointerEx(stream->file, zero, &pos, FILE_CURRENT)) return -1;
    return static_cast<long>(pos.QuadPart - stream->initialOffset);
}

static int SeekMemory(TZipStream* stream, LONGLONG offset, int origin) {
    LONGLONG base = 0;
    if (origin == SEEK_CUR) base = stream->memoryPos;
    else if (origin == SEEK_END) base = stream->memorySize;
    else if (origin != SEEK_SET) return 19;
    const LONGLONG target = base + offset;
    // A position outside the block would let later reads leave it.
    if (target < 0 || target > static_cast<LONGLONG>(stream->memorySize)) return 22;
    stream->memoryPos = static_cast<DWORD>(target);
    return 0;
}

int zip_stream_seek(TZipStream* stream, LONGLONG offset, int origin) {
    if (!stream->isHandle) return SeekMemory(stream, offset, origin);
    if (!stream->canSeek) return 29;
    LARGE_INTEGER move;
    DWORD method = FILE_BEGIN;
    if (origin == SEEK_SET) move.QuadPart = stream->initialOffset + offset;
    else if (origin == SEEK_CUR) move.QuadPart = offset, method = FILE_CURRENT;
    else if (origin == SEEK_END) move.QuadPart = offset, method = FILE_END;
    else return 19;
    return SetFilePointerEx(stream->file, move, nullptr, method) ? 0 : 1;
}

DWORD zip_stream_read(TZipStream* stream, void* buffer, DWORD itemSize, DWORD itemCount) {
    if (itemSize == 0) return 0;
    const ULONGLONG wanted = static_cast<ULONGLONG>(itemSize) * itemCount;
    if (stream->isHandle) {
        DWORD got = 0;
        if (wanted > MAXDWORD || !ReadFile(stream->file, buffer, static_cast<DWORD>(wanted), &got, nullptr)) {
            stream->error = true;
            return 0;
        }
        return got / itemSize;
    }
    const DWORD left = stream->memoryPos < stream->memorySize ? stream->memorySize - stream->memoryPos : 0;
    const DWORD count = wanted < left ? static_cast<DWORD>(wanted) : left;
    if (count > 0) memcpy(buffer, stream->memory + stream->memoryPos, count);
    stream->memoryPos += count;
    return count / itemSize;
}

// minizip's callbacks: the stream is created before the archive opens and handed over
// through the opaque pointer; minizip closes it.
static voidpf ZCALLBACK ZipOpenCallback(voidpf opaque, const void*, int) { return opaque; }

static uLong ZCALLBACK ZipReadCallback(voidpf, voidpf stream, void* buffer, uLong size) {
    return zip_stream_read(static_cast<TZipStream*>(stream), buffer, 1, size);
}

static uLong ZCALLBACK ZipWriteCallback(voidpf, voidpf, const void*, uLong) { return 0; }

static ZPOS64_T ZCALLBACK ZipTellCallback(voidpf, voidpf stream) {
    const long pos = zip_stream_tell(static_cast<TZipStream*>(stream));
    return pos < 0 ? static_cast<ZPOS64_T>(-1) : static_cast<ZPOS64_T>(pos);
}

static long ZCALLBACK ZipSeekCallback(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    // minizip moves backwards with relative seeks of a negative value passed as unsigned.
    return zip_stream_seek(static_cast<TZipStream*>(stream), static_cast<LONGLONG>(offset), origin);
}

static int ZCALLBACK ZipCloseCallback(voidpf, voidpf stream) { return zip_stream_close(static_cast<TZipStream*>(stream)); }

static int ZCALLBACK ZipErrorCallback(voidpf, voidpf stream) { return zip_stream_error(static_cast<TZipStream*>(stream)); }

// ---------------------------------------------------------------- decryption

void zip_update_keys(DWORD keys[3], BYTE c) {
    const z_crc_t* table = get_crc_table();
    keys[0] = (keys[0] >> 8) ^ table[(keys[0] ^ c) & 0xff];
    keys[1] = (keys[1] + (keys[0] & 0xff)) * 134775813UL + 1;
    keys[2] = (keys[2] >> 8) ^ table[(keys[2] ^ (keys[1] >> 24)) & 0xff];
}

BYTE zip_decrypt_byte(const DWORD keys[3]) {
    const DWORD temp = (keys[2] & 0xffff) | 2;
    return static_cast<BYTE>(((temp * (temp ^ 1)) >> 8) & 0xff);
}

BYTE zip_decode_byte(DWORD keys[3], BYTE c) {
    const BYTE plain = static_cast<BYTE>(c ^ zip_decrypt_byte(keys));
    zip_update_keys(keys, plain);
    return plain;
}

void zip_init_keys(DWORD keys[3], const char* password) {
    keys[0] = 305419896UL;
    keys[1] = 591751049UL;
    keys[2] = 878082192UL;
    for (const char* p = password; *p != '\0'; ++p) zip_update_keys(keys, static_cast<BYTE>(*p));
}

// ---------------------------------------------------------------- archive

class CZipArchive {
public:
    explicit CZipArchive(const char* password);
    ~CZipArchive();
    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;

    DWORD Open(const void* source, DWORD size, int kind);
    DWORD Find(const wchar_t* name, bool ignoreCase, int* index, TZipEntry* entry);
    DWORD Unzip(int index, void* buffer, DWORD size, DWORD* written);
    DWORD Close();

private:
    DWORD BuildEntry(int index, TZipEntry* entry);
    // Where minizip's own search would stop for the name: the first entry of that name in
    // the directory, compared as minizip compares (ASCII letters folded when ignoring
    // case, names below its limit of 256 bytes). False when there is none.
    bool Locate(const char* name, bool ignoreCase);
    void IndexNames();
    DWORD OpenEntry(int index);
    DWORD CheckPassword(const unz_file_info& info);
    void CloseEntry();
    int CurrentIndex();

    unzFile m_unz = nullptr;
    int m_currentEntry = -1;
    int m_cachedIndex = -1;
    TZipEntry m_cachedEntry = {};
    // The directory's names, read once: minizip's search reads every header before the
    // one it finds, for every look-up.
    bool m_indexed = false;
    std::unordered_map<std::string, unz64_file_pos> m_exactNames;
    std::unordered_map<std::string, unz64_file_pos> m_foldedNames;
    char* m_password = nullptr;
    wchar_t m_baseFolder[MAX_PATH] = {};
    TZipStream* m_stream = nullptr;  // owned by minizip while the archive is open
};

CZipArchive::CZipArchive(const char* password) {
    if (password == nullptr) return;
    const size_t length = strlen(password);
    m_password = new char[length + 1];
    memcpy(m_password, password, length + 1);
}

CZipArchive::~CZipArchive() {
    Close();
    delete[] m_password;
}

DWORD CZipArchive::Open(const void* source, DWORD size, int kind) {
    if (m_unz != nullptr) return ZIP_ERR_ALREADY_OPEN;
    DWORD length = GetCurrentDirectoryW(MAX_PATH - 1, m_baseFolder);
    if (length == 0 || length >= MAX_PATH - 1) length = 0, m_baseFolder[0] = L'\0';
    if (length > 0 && m_baseFolder[length - 1] != L'\\' && m_baseFolder[length - 1] != L'/') {
        m_baseFolder[length] = L'\\';
        m_baseFolder[length + 1] = L'\0';
    }
    if (kind == ZIP_STREAM_HANDLE &&
        SetFilePointer(static_cast<HANDLE>(const_cast<void*>(source)), 0, nullptr, FILE_CURRENT) == INVALID_SET_FILE_POINTER)
        return ZIP_ERR_NO_SEEK;
    DWORD error = ZIP_OK;
    m_stream = zip_stream_open(source, size, kind, &error);
    if (m_stream == nullptr) return error;
    zlib_filefunc64_def functions = {ZipOpenCallback, ZipReadCallback, ZipWriteCallback, ZipTellCallback,
                                     ZipSeekCallback, ZipCloseCallback, ZipErrorCallback, m_stream};
    m_unz = unzOpen2_64("", &functions);  // closes the stream itself when it fails
    if (m_unz == nullptr) {
        m_stream = nullptr;
        return ZIP_ERR_OPEN;
    }
    return ZIP_OK;
}

void CZipArchive::CloseEntry() {
    if (m_currentEntry != -1) unzCloseCurrentFile(m_unz);
    m_currentEntry = -1;
}

DWORD CZipArchive::Close() {
    if (m_unz == nullptr) return ZIP_OK;
    CloseEntry();
    unzClose(m_unz);
    m_unz = nullptr;
    m_stream = nullptr;
    return ZIP_OK;
}

int CZipArchive::CurrentIndex() {
    unz_file_pos pos = {};
    return unzGetFilePos(m_unz, &pos) == UNZ_OK ? static_cast<int>(pos.num_of_file) : -1;
}

// Removes drive prefixes, leading separators and everything up to the last parent step.
static void CleanEntryName(wchar_t* name) {
    static const wchar_t* const kParentSteps[] = {L"\\..\\", L"\\../", L"/../", L"/..\\"};
    for (bool changed = true; changed;) {
        changed = false;
        if (name[0] != L'\0' && name[1] == L':') {
            memmove(name, name + 2, (wcslen(name + 2) + 1) * sizeof(wchar_t));
            changed = true;
        }
        if (name[0] == L'\\' || name[0] == L'/') {
            memmove(name, name + 1, wcslen(name) * sizeof(wchar_t));
            changed = true;
        }
        const wchar_t* cut = nullptr;
        for (const wchar_t* step : kParentSteps) {
            for (const wchar_t* hit = wcsstr(name, step); hit != nullptr; hit = wcsstr(hit + 1, step))
                if (cut == nullptr || hit + 4 > cut) cut = hit + 4;
        }
        if (cut != nullptr) {
            memmove(name, cut, (wcslen(cut) + 1) * sizeof(wchar_t));
            changed = true;
        }
    }
}

static DWORD EntryAttributes(const unz_file_info& info) {
    const DWORD host = info.version >> 8;
    const DWORD bits = info.external_fa;
    DWORD result = 0;
    if (host == 0 || host == 7 || host == 11 || host == 14) {
        if (bits & 0x01) result |= FILE_ATTRIBUTE_READONLY;
        if (bits & 0x02) result |= FILE_ATTRIBUTE_HIDDEN;
        if (bits & 0x04) result |= FILE_ATTRIBUTE_SYSTEM;
        if (bits & 0x10) result |= FILE_ATTRIBUTE_DIRECTORY;
        if (bits & 0x20) result |= FILE_ATTRIBUTE_ARCHIVE;
        return result;
    }
    if (bits & 0x40000000) result |= FILE_ATTRIBUTE_DIRECTORY;
    if (!(bits & 0x00800000)) result |= FILE_ATTRIBUTE_READONLY;
    return result | FILE_ATTRIBUTE_ARCHIVE;
}

static FILETIME DosTimeToFileTime(DWORD dosDate) {
    const WORD date = static_cast<WORD>(dosDate >> 16), time = static_cast<WORD>(dosDate);
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(1980 + (date >> 9));
    st.wMonth = static_cast<WORD>((date >> 5) & 0x0f);
    st.wDay = static_cast<WORD>(date & 0x1f);
    st.wHour = static_cast<WORD>(time >> 11);
    st.wMinute = static_cast<WORD>((time >> 5) & 0x3f);
    st.wSecond = static_cast<WORD>((time & 0x1f) * 2);
    FILETIME local = {}, utc = {};
    if (SystemTimeToFileTime(&st, &local)) LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

static FILETIME UnixTimeToFileTime(DWORD seconds) {
    const ULONGLONG value = static_cast<ULONGLONG>(seconds) * 10000000ULL + 116444736000000000ULL;
    FILETIME result;
    result.dwLowDateTime = static_cast<DWORD>(value);
    result.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return result;
}

// Applies an extended time stamp block ("UT") of the extra field, reading only inside it.
static void ApplyUnixTimes(const BYTE* extra, DWORD size, TZipEntry* entry) {
    for (DWORD pos = 0; pos + 4 <= size;) {
        const DWORD id = extra[pos] | (extra[pos + 1] << 8);
        const DWORD length = extra[pos + 2] | (extra[pos + 3] << 8);
        const BYTE* block = extra + pos + 4;
        const DWORD blockSize = length < size - pos - 4 ? length : size - pos - 4;
        if (id == 0x5455 && blockSize >= 1) {
            FILETIME* times[] = {&entry->modificationTime, &entry->accessTime, &entry->creationTime};
            DWORD at = 1;
            for (int i = 0; i < 3; ++i) {
                if (!(block[0] & (1 << i)) || at + 4 > blockSize) continue;
                const DWORD seconds = block[at] | (block[at + 1] << 8) | (block[at + 2] << 16) |
                                      (static_cast<DWORD>(block[at + 3]) << 24);
                *times[i] = UnixTimeToFileTime(seconds);
                at += 4;
            }
        }
        pos += 4 + length;
    }
}

DWORD CZipArchive::BuildEntry(int index, TZipEntry* entry) {
    if (index == m_cachedIndex) {
        *entry = m_cachedEntry;
        return ZIP_OK;
    }
    unz_file_info info = {};
    char name[MAX_PATH + 1] = {};
    BYTE extra[0x10000];
    if (unzGetCurrentFileInfo(m_unz, &info, name, MAX_PATH, extra, sizeof(extra), nullptr, 0) != UNZ_OK)
        return ZIP_ERR_LOCAL_HEADER;
    TZipEntry result = {};
    result.index = index;
    MultiByteToWideChar(CP_UTF8, 0, name, -1, result.name, MAX_PATH - 1);
    result.name[MAX_PATH - 1] = L'\0';
    CleanEntryName(result.name);
    result.attributes = EntryAttributes(info);
    result.modificationTime = DosTimeToFileTime(info.dosDate);
    result.accessTime = result.creationTime = result.modificationTime;
    const DWORD extraSize = info.size_file_extra < sizeof(extra) ? info.size_file_extra : sizeof(extra);
    ApplyUnixTimes(extra, extraSize, &result);
    result.compressedSize = info.compressed_size;
    result.uncompressedSize = info.uncompressed_size;
    m_cachedIndex = index;
    m_cachedEntry = result;
    *entry = result;
    return ZIP_OK;
}

// The longest name minizip compares, less its terminator.
static const size_t kMaxComparedName = 255;

static std::string FoldAsciiCase(std::string name) {
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name;
}

void CZipArchive::IndexNames() {
    m_indexed = true;
    unz64_file_pos was = {};
    const bool hadCurrent = unzGetFilePos64(m_unz, &was) == UNZ_OK;
    for (int more = unzGoToFirstFile(m_unz); more == UNZ_OK; more = unzGoToNextFile(m_unz)) {
        char name[kMaxComparedName + 2] = {};
        unz64_file_pos at = {};
        if (unzGetCurrentFileInfo64(m_unz, nullptr, name, kMaxComparedName + 1, nullptr, 0, nullptr, 0) != UNZ_OK ||
            unzGetFilePos64(m_unz, &at) != UNZ_OK)
            continue;
        if (strlen(name) > kMaxComparedName) continue;
        // The first of equal names is the one a search from the start meets.
        m_exactNames.emplace(name, at);
        m_foldedNames.emplace(FoldAsciiCase(name), at);
    }
    if (hadCurrent) unzGoToFilePos64(m_unz, &was);
}

bool CZipArchive::Locate(const char* name, bool ignoreCase) {
    if (strlen(name) > kMaxComparedName) return false;
    if (!m_indexed) IndexNames();
    const auto& names = ignoreCase ? m_foldedNames : m_exactNames;
    const auto found = names.find(ignoreCase ? FoldAsciiCase(name) : std::string(name));
    if (found == names.end()) return false;
    unz64_file_pos at = found->second;
    return unzGoToFilePos64(m_unz, &at) == UNZ_OK;
}

DWORD CZipArchive::Find(const wchar_t* name, bool ignoreCase, int* index, TZipEntry* entry) {
    char utf8[MAX_PATH + 1] = {};
    if (name == nullptr || WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, MAX_PATH, nullptr, nullptr) == 0 ||
        !Locate(utf8, ignoreCase)) {
        *index = -1;
        *entry = TZipEntry();
        entry->index = -1;
        return ZIP_ERR_NOT_FOUND;
    }
    // Locating moved minizip off the entry being read.
    if (m_currentEntry != -1) {
        unzCloseCurrentFile(m_unz);
        m_currentEntry = -1;
    }
    *index = CurrentIndex();
    return BuildEntry(*index, entry);
}

// minizip decrypts but never checks the header's last byte against the entry, so a wrong
// password would pass garbage on; the check is made here on the raw header.
DWORD CZipArchive::CheckPassword(const unz_file_info& info) {
    const ZPOS64_T dataStart = unzGetCurrentFileZStreamPos64(m_unz);
    BYTE header[12];
    if (m_stream == nullptr || dataStart < 12 ||
        zip_stream_seek(m_stream, static_cast<LONGLONG>(dataStart - 12), SEEK_SET) != 0 ||
        zip_stream_read(m_stream, header, 1, 12) != 12)
        return ZIP_ERR_LOCAL_HEADER;
    DWORD keys[3];
    zip_init_keys(keys, m_password);
    BYTE last = 0;
    for (BYTE c : header) last = zip_decode_byte(keys, c);
    const BYTE expected = (info.flag & 8) ? static_cast<BYTE>(info.dosDate >> 8) : static_cast<BYTE>(info.crc >> 24);
    return last == expected ? ZIP_OK : ZIP_ERR_PASSWORD;
}

DWORD CZipArchive::OpenEntry(int index) {
    unz_global_info global = {};
    if (index < 0 || unzGetGlobalInfo(m_unz, &global) != UNZ_OK || static_cast<uLong>(index) >= global.number_entry)
        return ZIP_ERR_ARGS;
    const int current = CurrentIndex();
    int at = current;
    if (current < 0 || index < current) {
        if (unzGoToFirstFile(m_unz) != UNZ_OK) return ZIP_ERR_LOCAL_HEADER;
        at = 0;
    }
    for (; at < index; ++at)
        if (unzGoToNextFile(m_unz) != UNZ_OK) return ZIP_ERR_LOCAL_HEADER;
    unz_file_info info = {};
    if (unzGetCurrentFileInfo(m_unz, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return ZIP_ERR_LOCAL_HEADER;
    const bool encrypted = (info.flag & 1) != 0;
    if (encrypted && m_password == nullptr) return ZIP_ERR_PASSWORD;
    // minizip reads an encryption header whenever a password is given, encrypted or not.
    if (unzOpenCurrentFilePassword(m_unz, encrypted ? m_password : nullptr) != UNZ_OK) return ZIP_ERR_LOCAL_HEADER;
    const DWORD check = encrypted ? CheckPassword(info) : ZIP_OK;
    if (check != ZIP_OK) {
        unzCloseCurrentFile(m_unz);
        return check;
    }
    m_currentEntry = index;
    return ZIP_OK;
}

DWORD CZipArchive::Unzip(int index, void* buffer, DWORD size, DWORD* written) {
    *written = 0;
    if (index < 0) return ZIP_ERR_ARGS;
    if (index != m_currentEntry) {
        CloseEntry();
        const DWORD opened = OpenEntry(index);
        if (opened != ZIP_OK) return opened;
    }
    const int read = unzReadCurrentFile(m_unz, buffer, size);
    if (read > 0) *written = static_cast<DWORD>(read);
    if (read >= 0 && unzeof(m_unz)) {
        // A CRC mismatch shows only when the finished entry is closed.
        const int closed = unzCloseCurrentFile(m_unz);
        m_currentEntry = -1;
        return closed == UNZ_OK ? ZIP_OK : ZIP_ERR_INFLATE;
    }
    if (read > 0) return ZIP_ERR_MORE;
    CloseEntry();
    return ZIP_ERR_INFLATE;
}

// ---------------------------------------------------------------- reader

DWORD CZipReader::s_lastResult = ZIP_OK;

DWORD CZipReader::SetResult(DWORD result) {
    s_lastResult = result;
    return result;
}

DWORD CZipReader::GetLastResult() { return s_lastResult; }

DWORD CZipReader::CheckHandle(const TZipHandle* handle) {
    if (handle == nullptr) return ZIP_ERR_ARGS;
    if (handle->kind != ZIP_HANDLE_ARCHIVE || handle->archive == nullptr) return ZIP_ERR_NOT_ARCHIVE;
    return ZIP_OK;
}

TZipHandle* CZipReader::Open(const void* source, DWORD size, int kind, const char* password) {
    std::unique_ptr<CZipArchive> archive(new CZipArchive(password));
    const DWORD result = SetResult(archive->Open(source, size, kind));
    if (result != ZIP_OK) return nullptr;
    return new TZipHandle{ZIP_HANDLE_ARCHIVE, archive.release()};
}

TZipHandle* CZipReader::OpenFromFile(const wchar_t* fileName, const char* password) {
    if (fileName == nullptr) {
        SetResult(ZIP_ERR_ARGS);
        return nullptr;
    }
    return Open(fileName, 0, ZIP_STREAM_FILENAME, password);
}

TZipHandle* CZipReader::OpenFromMemory(const void* data, DWORD size, const char* password) {
    if (data == nullptr) {
        SetResult(ZIP_ERR_ARGS);
        return nullptr;
    }
    return Open(data, size, ZIP_STREAM_MEMORY, password);
}

DWORD CZipReader::FindItem(TZipHandle* handle, const wchar_t* name, bool ignoreCase, int* index, TZipEntry* entry) {
    const DWORD check = CheckHandle(handle);
    if (check != ZIP_OK) return SetResult(check);
    if (index == nullptr || entry == nullptr) return SetResult(ZIP_ERR_ARGS);
    return SetResult(handle->archive->Find(name, ignoreCase, index, entry));
}

DWORD CZipReader::UnzipToMemory(TZipHandle* handle, int index, void* buffer, DWORD size, DWORD* written) {
    DWORD stored = 0;
    if (written != nullptr) *written = 0;
    const DWORD check = CheckHandle(handle);
    if (check != ZIP_OK) return SetResult(check);
    if (buffer == nullptr && size != 0) return SetResult(ZIP_ERR_ARGS);
    const DWORD result = handle->archive->Unzip(index, buffer, size, &stored);
    if (written != nullptr) *written = stored;
    return SetResult(result);
}

DWORD CZipReader::Close(TZipHandle* handle) {
    const DWORD check = CheckHandle(handle);
    if (check != ZIP_OK) return SetResult(check);
    const DWORD result = handle->archive->Close();
    delete handle->archive;
    delete handle;
    return SetResult(result);
}

}  // namespace HiveUI
