// CZipReader: reads skin zip archives from an open file, a file name or a memory block,
// with optional traditional PKWARE decryption. minizip walks the archive; the stream
// under it and the entry records are ours.
#pragma once

#include <windows.h>

namespace HiveUI {

// Results of the zip reader; the latest one is kept process-wide.
enum : DWORD {
    ZIP_OK = 0,
    ZIP_ERR_OPEN = 0x200,
    ZIP_ERR_NOT_FOUND = 0x500,
    ZIP_ERR_MORE = 0x600,
    ZIP_ERR_LOCAL_HEADER = 0x700,
    ZIP_ERR_EXTRA_FIELD = 0x800,
    ZIP_ERR_PASSWORD = 0x1000,
    ZIP_ERR_ARGS = 0x10000,
    ZIP_ERR_NOT_ARCHIVE = 0x80000,
    ZIP_ERR_ALREADY_OPEN = 0x1000000,
    ZIP_ERR_NO_SEEK = 0x2000000,
    ZIP_ERR_INFLATE = 0x5000000,
};

// Kinds of input under an archive.
enum : int { ZIP_STREAM_HANDLE = 1, ZIP_STREAM_FILENAME = 2, ZIP_STREAM_MEMORY = 3 };

struct TZipStream {
    bool isHandle;
    bool canSeek;
    HANDLE file;
    bool error;
    LONGLONG initialOffset;
    bool ownsHandle;
    const BYTE* memory;
    DWORD memorySize;
    DWORD memoryPos;
};

// Stream functions minizip reads through. Positions are relative to where the stream began.
TZipStream* zip_stream_open(const void* source, DWORD size, int kind, DWORD* error);
int zip_stream_close(TZipStream* stream);
int zip_stream_error(const TZipStream* stream);
long zip_stream_tell(TZipStream* stream);
int zip_stream_seek(TZipStream* stream, LONGLONG offset, int origin);
DWORD zip_stream_read(TZipStream* stream, void* buffer, DWORD itemSize, DWORD itemCount);

// Traditional PKWARE encryption state: three keys seeded from the password.
void zip_update_keys(DWORD keys[3], BYTE c);
BYTE zip_decrypt_byte(const DWORD keys[3]);
BYTE zip_decode_byte(DWORD keys[3], BYTE c);
void zip_init_keys(DWORD keys[3], const char* password);

struct TZipEntry {
    int index;
    wchar_t name[MAX_PATH];
    DWORD attributes;
    FILETIME accessTime;
    FILETIME creationTime;
    FILETIME modificationTime;
    DWORD compressedSize;
    DWORD uncompressedSize;
};

class CZipArchive;

enum : DWORD { ZIP_HANDLE_ARCHIVE = 1 };

struct TZipHandle {
    DWORD kind;
    CZipArchive* archive;
};

class CZipReader {
public:
    static TZipHandle* OpenFromFile(const wchar_t* fileName, const char* password);
    static TZipHandle* OpenFromMemory(const void* data, DWORD size, const char* password);
    static TZipHandle* Open(const void* source, DWORD size, int kind, const char* password);
    // Index -1 and a zeroed entry with index -1 when the name is absent.
    static DWORD FindItem(TZipHandle* handle, const wchar_t* name, bool ignoreCase, int* index,
                          TZipEntry* entry);
    // Continues where the previous call with the same index stopped. written (optional)
    // receives the bytes really stored in the buffer.
    static DWORD UnzipToMemory(TZipHandle* handle, int index, void* buffer, DWORD size,
                               DWORD* written = nullptr);
    static DWORD Close(TZipHandle* handle);
    static DWORD GetLastResult();

private:
    static DWORD SetResult(DWORD result);
    static DWORD CheckHandle(const TZipHandle* handle);
    static DWORD s_lastResult;
};

// Closes a reader handle when it goes out of scope.
class CZipHandleGuard {
public:
    explicit CZipHandleGuard(TZipHandle* handle) : m_handle(handle) {}
    ~CZipHandleGuard() { if (m_handle != nullptr) CZipReader::Close(m_handle); }
    CZipHandleGuard(const CZipHandleGuard&) = delete;
    CZipHandleGuard& operator=(const CZipHandleGuard&) = delete;
    TZipHandle* Get() const { return m_handle; }

private:
    TZipHandle* m_handle;
};

}  // namespace HiveUI
