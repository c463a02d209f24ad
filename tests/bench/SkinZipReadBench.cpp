// Times reading every entry of the client's skin zip (the archive it carries among its
// resources) through the framework, as the paint manager reads skin files from its open
// archive, against bare minizip reading the same entries by name from the same memory,
// alternating the two. Run by hand under Wine: bench_skin_zip_read.exe [rounds]
#include <SkinFile.h>
#include <UIManager.h>
#include <unzip.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchTiming.h"

namespace {

struct TMemorySource {
    const char* data;
    uLong size;
    uLong position;
};

// minizip's file functions over one memory block; the "file name" is ignored.
voidpf OpenMemory(voidpf opaque, const char*, int) {
    static_cast<TMemorySource*>(opaque)->position = 0;
    return opaque;
}
uLong ReadMemory(voidpf, voidpf stream, void* buffer, uLong size) {
    auto* source = static_cast<TMemorySource*>(stream);
    const uLong n = std::min(size, source->size - source->position);
    std::memcpy(buffer, source->data + source->position, n);
    source->position += n;
    return n;
}
uLong WriteMemory(voidpf, voidpf, const void*, uLong) { return 0; }
long TellMemory(voidpf, voidpf stream) { return static_cast<long>(static_cast<TMemorySource*>(stream)->position); }
long SeekMemory(voidpf, voidpf stream, uLong offset, int origin) {
    auto* source = static_cast<TMemorySource*>(stream);
    const uLong base = origin == ZLIB_FILEFUNC_SEEK_SET ? 0
                       : origin == ZLIB_FILEFUNC_SEEK_CUR ? source->position
                                                          : source->size;
    if (base + offset > source->size) return -1;
    source->position = base + offset;
    return 0;
}
int CloseMemory(voidpf, voidpf) { return 0; }
int ErrorMemory(voidpf, voidpf) { return 0; }

// The archive the client carries: resource 131 of type "ZIPRES".
bool ClientSkin(const char** data, DWORD* size) {
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(131), L"ZIPRES");
    HGLOBAL loaded = resource != nullptr ? LoadResource(nullptr, resource) : nullptr;
    if (loaded == nullptr) return false;
    *data = static_cast<const char*>(LockResource(loaded));
    *size = SizeofResource(nullptr, resource);
    return *size != 0;
}

std::vector<std::string> EntryNames(unzFile archive) {
    std::vector<std::string> names;
    for (int more = unzGoToFirstFile(archive); more == UNZ_OK; more = unzGoToNextFile(archive)) {
        char name[MAX_PATH] = {};
        unz_file_info info = {};
        unzGetCurrentFileInfo(archive, &info, name, sizeof(name), nullptr, 0, nullptr, 0);
        if (info.uncompressed_size != 0) names.push_back(name);
    }
    return names;
}

// Both readers find each entry by name, without regard to case, and inflate it whole.
size_t ReadThroughFramework(const std::vector<std::wstring>& names) {
    size_t bytes = 0;
    std::vector<BYTE> data;
    for (const auto& name : names) {
        if (HiveUI::ReadSkinFile(name.c_str(), 0, data) == HiveUI::ESkinFileResult::Ok) bytes += data.size();
    }
    return bytes;
}

size_t ReadWithMinizip(unzFile archive, const std::vector<std::string>& names) {
    size_t bytes = 0;
    std::vector<char> data;
    for (const auto& name : names) {
        unz_file_info info = {};
        if (unzLocateFile(archive, name.c_str(), 2) != UNZ_OK ||
            unzGetCurrentFileInfo(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
            unzOpenCurrentFile(archive) != UNZ_OK) {
            continue;
        }
        data.resize(info.uncompressed_size);
        const int got = unzReadCurrentFile(archive, data.data(), static_cast<unsigned>(data.size()));
        unzCloseCurrentFile(archive);
        if (got > 0) bytes += static_cast<size_t>(got);
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 100;
    const char* data = nullptr;
    DWORD size = 0;
    if (!ClientSkin(&data, &size)) {
        fprintf(stderr, "this program carries no client skin\n");
        return 1;
    }
    HiveUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    HiveUI::CPaintManagerUI::SetResourceZipFromMemory(data, size, nullptr);

    TMemorySource source = {data, size, 0};
    zlib_filefunc_def functions = {OpenMemory, ReadMemory, WriteMemory, TellMemory, SeekMemory, CloseMemory,
                                   ErrorMemory, &source};
    unzFile archive = unzOpen2("skin.zip", &functions);
    if (archive == nullptr) {
        fprintf(stderr, "minizip cannot open the client's skin\n");
        return 1;
    }
    const std::vector<std::string> names = EntryNames(archive);
    std::vector<std::wstring> wideNames;
    for (const auto& name : names) wideNames.emplace_back(name.begin(), name.end());

    std::vector<double> ours, theirs;
    size_t ourBytes = 0, theirBytes = 0;
    for (int round = 0; round < rounds; ++round) {
        double start = Bench::NowMs();
        ourBytes = ReadThroughFramework(wideNames);
        ours.push_back(Bench::NowMs() - start);
        start = Bench::NowMs();
        theirBytes = ReadWithMinizip(archive, names);
        theirs.push_back(Bench::NowMs() - start);
    }
    unzClose(archive);
    printf("client skin: %lu bytes, %u entries, %u bytes inflated (minizip: %u)\n", size,
           static_cast<unsigned>(names.size()), static_cast<unsigned>(ourBytes), static_cast<unsigned>(theirBytes));
    Bench::Report("every skin entry, framework", ours, "bare minizip", theirs);
    return ourBytes == theirBytes && ourBytes != 0 ? 0 : 1;
}
