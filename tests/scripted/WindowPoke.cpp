// Pokes a visible window of another program, for scripts that take pictures of windows
// in given states:
//   window_poke.exe CLASS wait            until such a window shows (60 s at most)
//   window_poke.exe CLASS post MSG W L    posts a message (numbers in C notation) at once
//                                         to such a window, shown or hidden
//   window_poke.exe CLASS click X Y       a left click at a point of its client area
//   window_poke.exe CLASS grab OUT.ppm    saves what the screen shows of its client area
//   window_poke.exe CLASS place           prints its rectangle on the screen: X Y WIDTH HEIGHT
// Exit code 0 when the window was there, 1 when it was not, 2 on a wrong command line.
// Posting does not wait: the scripts post to end a program they were told to stop, which
// may have hidden its window or not made it yet.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ProgramDriver.h"

namespace {

HWND VisibleWindow(const wchar_t* className) {
    HWND wnd = nullptr;
    ProgramDriver::WaitUntil([&] {
        wnd = nullptr;
        while ((wnd = FindWindowExW(nullptr, wnd, className, nullptr)) != nullptr && !IsWindowVisible(wnd)) {
        }
        return wnd != nullptr;
    });
    return wnd;
}

// As a binary PPM, which every image tool reads.
bool SaveScreenOf(HWND wnd, const char* path) {
    const ProgramDriver::ScreenPixels screen(wnd);
    FILE* out = std::fopen(path, "wb");
    if (out == nullptr) return false;
    std::fprintf(out, "P6\n%d %d\n255\n", screen.width(), screen.height());
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            const DWORD rgb = screen.rgb(x, y);
            const unsigned char pixel[3] = {static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
                                            static_cast<unsigned char>(rgb)};
            std::fwrite(pixel, 1, 3, out);
        }
    }
    return std::fclose(out) == 0;
}

ULONG_PTR Number(const char* text) { return std::strtoul(text, nullptr, 0); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::string className(argv[1]), command(argv[2]);
    const std::wstring wideClass(className.begin(), className.end());
    if (command == "post" && argc == 6) {
        HWND wnd = FindWindowW(wideClass.c_str(), nullptr);
        return wnd != nullptr && PostMessageW(wnd, static_cast<UINT>(Number(argv[3])), Number(argv[4]),
                                              static_cast<LPARAM>(Number(argv[5])))
                   ? 0
                   : 1;
    }
    HWND wnd = VisibleWindow(wideClass.c_str());
    if (wnd == nullptr) return 1;
    if (command == "click" && argc == 5) {
        ProgramDriver::ClickAt(wnd, std::atoi(argv[3]), std::atoi(argv[4]));
    } else if (command == "grab" && argc == 4) {
        return SaveScreenOf(wnd, argv[3]) ? 0 : 1;
    } else if (command == "place" && argc == 3) {
        RECT rc = {};
        if (!GetWindowRect(wnd, &rc)) return 1;
        std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
        return std::fflush(stdout) == 0 ? 0 : 1;
    } else if (command != "wait") {
        return 2;
    }
    return 0;
}
