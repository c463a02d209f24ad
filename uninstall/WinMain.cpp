// Program entry of the uninstaller: one window on one thread, its skin taken from the
// program's own resources.
#include <windows.h>
#include <ole2.h>

#include <memory>

#include "MainFrame.h"
#include "TextConvert.h"

namespace {

const WORD kSkinZipId = 129;
// "tallyhive卸载程序", kept in GBK.
const char kTitleGbk[] = "tallyhive\xd0\xb6\xd4\xd8\xb3\xcc\xd0\xf2";

void UseSkinZipResource(HINSTANCE instance) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(kSkinZipId), L"ZIPRES");
    if (found == nullptr) return;
    HGLOBAL loaded = LoadResource(instance, found);
    const DWORD size = SizeofResource(instance, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    // Resource memory lives as long as the module, as the framework requires of the block.
    if (data != nullptr && size > 0) HiveUI::CPaintManagerUI::SetResourceZipFromMemory(data, size, nullptr);
    FreeResource(loaded);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    if (FAILED(CoInitialize(nullptr))) return 0;
    OleInitialize(nullptr);
    HiveUI::CPaintManagerUI::SetInstance(instance);
    HiveUI::CPaintManagerUI::SetResourceType(4);
    UseSkinZipResource(instance);

    std::unique_ptr<MainFrame> frame(new (std::nothrow) MainFrame());
    if (frame == nullptr) {
        OleUninitialize();
        CoUninitialize();
        return 0;
    }
    frame->Create(nullptr, GbkToWide(kTitleGbk).c_str(), 0x10CF0000, 0);
    frame->CenterWindow();
    frame->ShowWindow(true, true);
    HiveUI::CPaintManagerUI::MessageLoop();
    frame.reset();
    OleUninitialize();
    CoUninitialize();
    return 1;
}
