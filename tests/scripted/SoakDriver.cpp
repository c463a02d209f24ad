// The long run of the real client: a page served from a loopback server of our own calls
// ResizeWindow, SetThemeColor, WindowFlash and PlayMp3 in a loop; the client's GDI
// objects, user objects, handles, threads and private bytes are read after a warm-up and
// at the end, and must be back within a small bound. Started by scripts/soak.sh:
//   soak_client.exe SECONDS PROMPT.mp3 [WARMUP_SECONDS]
// Exit code 0 when the figures held, 1 when they did not, 2 when the run could not start.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "../engine/common/LoopbackServer.h"
#include "MainFrameMessages.h"
#include "ProcessResources.h"
#include "ProgramDriver.h"

using namespace ProgramDriver;

namespace {

const std::string kLineUrl = "http://" TALLYHIVE_LINE_HOST "/";

// How far each figure may stand above its value after the warm-up.
const TProcessResources kBound = [] {
    TProcessResources bound;
    bound.gdiObjects = 8;
    bound.userObjects = 2;
    bound.handles = 16;
    bound.threads = 2;
    bound.privateBytes = 4 << 20;
    return bound;
}();

// Two sizes, two theme colours, a flash, and a prompt every third tick; every load
// starts with 20,000 bridge calls that the client drops (a wrong argument count) and the
// page loads itself again every ten seconds, so whatever a call leaves behind adds up.
std::string SoakPage() {
    return "<title>Shop</title><p>soak</p><script>"
           "for (var i = 0; i < 20000; ++i) AppExtension.SetBorder();"
           "var tick = 0;"
           "setInterval(function () {"
           "  tick++;"
           "  if (tick % 20 === 0) location.reload();"
           "  if (tick % 2) AppExtension.ResizeWindow(1000, 700); else AppExtension.ResizeWindow(1200, 770);"
           "  AppExtension.SetThemeColor(tick % 2 ? (0xFFE8F0FE | 0) : (0xFFFEFAE8 | 0));"
           "  AppExtension.WindowFlash();"
           "  if (tick % 3 === 0) AppExtension.PlayMp3('" + kLineUrl + "prompt.mp3');"
           "}, 500);"
           "</script>";
}

std::string ReadAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Each figure's least value over readings half a second apart for four seconds: a
// prompt's thread or a request that is under way at one moment does not count as held.
// The four seconds are kept on the clock: under load a reading itself takes a second,
// and fewer readings over the same span still meet the moments between prompts.
TProcessResources SettledFigures(const Process& program) {
    const ULONGLONG first = GetTickCount64();
    TProcessResources least = ReadProcessResources(program.Handle(), program.Id());
    for (ULONGLONG due = first + 500; due <= first + 3500; due += 500) {
        const ULONGLONG tick = GetTickCount64();
        if (tick >= due + 500) continue;  // the last reading took this one's turn
        if (tick < due) Sleep(static_cast<DWORD>(due - tick));
        const TProcessResources now = ReadProcessResources(program.Handle(), program.Id());
        least.gdiObjects = std::min(least.gdiObjects, now.gdiObjects);
        least.userObjects = std::min(least.userObjects, now.userObjects);
        least.handles = std::min(least.handles, now.handles);
        least.threads = std::min(least.threads, now.threads);
        least.privateBytes = std::min(least.privateBytes, now.privateBytes);
    }
    return least;
}

bool Held(const char* name, long long start, long long end, long long bound) {
    const bool held = start >= 0 && end >= 0 && end - start <= bound;
    std::printf("  %-14s start %12lld  end %12lld  change %+10lld  bound %+lld  %s\n", name, start, end, end - start,
                bound, held ? "ok" : "EXCEEDED");
    return held;
}

// Counts the size changes the page asked for while waiting out the run, and past its end
// until `wanted` were seen (two minutes at most): a loaded machine slows the page, which
// still asks for every one of them.
int WatchResizes(HWND main, DWORD seconds, int wanted = 0) {
    int changes = 0;
    LONG width = ClientSize(main).cx;
    const ULONGLONG end = GetTickCount64() + seconds * 1000ULL;
    const auto watching = [&] {
        const ULONGLONG now = GetTickCount64();
        return now < end || (changes < wanted && now < end + 120000);
    };
    while (watching() && IsWindow(main)) {
        Sleep(250);
        const LONG now = ClientSize(main).cx;
        changes += now != width;
        width = now;
    }
    return changes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: soak_client.exe SECONDS PROMPT.mp3 [WARMUP_SECONDS]\n");
        return 2;
    }
    // The script shows the report from a file as it grows.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const DWORD seconds = static_cast<DWORD>(std::max(1, std::atoi(argv[1])));
    const DWORD warmup = static_cast<DWORD>(argc > 3 ? std::max(0, std::atoi(argv[3])) : 60);
    const std::string checked = CheckCountersSeeNewObjects();
    if (!checked.empty()) {
        std::fprintf(stderr, "soak: the counters do not work here: %s\n", checked.c_str());
        return 2;
    }
    std::printf("soak: every counter saw objects made for it\n");

    LoopbackServer server;
    LoopbackServer::Reply prompt;
    prompt.body = ReadAll(argv[2]);
    if (prompt.body.empty()) {
        std::fprintf(stderr, "soak: no prompt in %s\n", argv[2]);
        return 2;
    }
    server.Serve(kLineUrl + "prompt.mp3", prompt);
    // The update check asks once at start; the reply names the client's own version.
    LoopbackServer::Reply current;
    current.body = "{\"Result\":0,\"Data\":{\"version_id\":\"4.0\",\"downloadlink\":\"" + kLineUrl + "setup.exe\"}}";
    server.Serve("http://" TALLYHIVE_UPDATE_HOST "/UpdateVersion/index", current);
    LoopbackServer::Reply page;
    page.body = SoakPage();
    server.Serve(kLineUrl, page);
    const std::string proxy = "http://127.0.0.1:" + std::to_string(server.Port());
    SetEnvironmentVariableA("http_proxy", proxy.c_str());
    SetEnvironmentVariableA("no_proxy", "127.0.0.1");

    Process program(BesideSelf(TALLYHIVE_EXE_RELATIVE), L"");
    HWND main = program.Started() ? WaitForWindow(L"TallyHiveMainFrameWnd", program.Id(), 180000) : nullptr;
    if (main == nullptr) {
        std::fprintf(stderr, "soak: the client's main window did not show\n");
        return 2;
    }
    std::printf("soak: warming up for %lu s\n", warmup);
    const int warmResizes = WatchResizes(main, warmup);
    const TProcessResources start = SettledFigures(program);
    std::printf("soak: after start: %s\nsoak: running for %lu s\n", start.Describe().c_str(), seconds);
    // The page must really have driven the window all along: it asks for a resize every
    // half second, and a quarter of them must be seen.
    const int wanted = static_cast<int>(seconds) / 2;
    const int resizes = WatchResizes(main, seconds, wanted);
    if (!program.Running()) {
        std::fprintf(stderr, "soak: the client ended during the run (exit code %lu)\n", program.Wait(0));
        return 1;
    }
    const TProcessResources end = SettledFigures(program);
    std::printf("soak: at the end: %s\n", end.Describe().c_str());

    int prompts = 0;
    // A prompt every third tick: its fetch reaches the server in its own time.
    WaitUntil([&] {
        prompts = 0;
        for (const auto& request : server.Requests()) prompts += request.find("prompt.mp3") != std::string::npos;
        return prompts >= 1;
    }, 120000);
    std::printf("soak: size changes seen: %d in the warm-up, %d in the run; prompt requests: %d\n", warmResizes,
                resizes, prompts);
    bool held = Held("GDI objects", start.gdiObjects, end.gdiObjects, kBound.gdiObjects);
    held &= Held("user objects", start.userObjects, end.userObjects, kBound.userObjects);
    held &= Held("handles", start.handles, end.handles, kBound.handles);
    held &= Held("threads", start.threads, end.threads, kBound.threads);
    held &= Held("private bytes", start.privateBytes, end.privateBytes, kBound.privateBytes);
    const bool drove = resizes >= wanted && prompts >= 1;
    if (!drove) std::fprintf(stderr, "soak: the page did not drive the window through the run\n");

    const ULONGLONG quit = GetTickCount64();
    PostMessageW(main, WM_COMMAND, kQuitCommand, 0);
    const DWORD code = program.Wait(300000);
    if (code == STILL_ACTIVE) {
        std::fprintf(stderr, "soak: the client did not end within 300 s of the quit: %s\n",
                     ReadProcessResources(program.Handle(), program.Id()).Describe().c_str());
        return 1;
    }
    std::printf("soak: the client ended with exit code %lu, %.1f s after the quit\n", code,
                (GetTickCount64() - quit) / 1000.0);
    // The script takes the run as held only on this line: a driver cut short prints none.
    const bool ok = held && drove && code == 1;
    std::printf("soak: verdict: %s\n", ok ? "held" : "failed");
    return ok ? 0 : 1;
}
