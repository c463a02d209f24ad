#include "Log.h"

#include <ctime>
#include <mutex>

#include "AppPaths.h"

LogSink g_logSink = LogStderrSink;
FILE* g_logFile = nullptr;

namespace {

// Held for each whole line, the sink switch and the close, so no thread writes to a
// stream that is being closed.
std::mutex g_logMutex;

const char* const kLevelNames[] = {"TRACE", "DEBUG", "INFO", "WARN", "ERROR", "FATAL"};

const char* LevelName(int level) { return (level >= 0 && level <= LOG_FATAL) ? kLevelNames[level] : ""; }

void WriteLine(FILE* stream, const char* prefixFormat, int level, const char* format, va_list args) {
    const time_t now = time(nullptr);
    struct tm local = {};
    localtime_s(&local, &now);
    char stamp[16] = {};
    strftime(stamp, sizeof(stamp), "%H:%M:%S", &local);
    fprintf(stream, prefixFormat, stamp, LevelName(level));
    vfprintf(stream, format, args);
    fputs("\n", stream);
    fflush(stream);
}

}  // namespace

void LogWrite(int level, const char* file, int line, const char* format, ...) {
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (g_logSink == nullptr) return;
    va_list args;
    va_start(args, format);
    g_logSink(level, file, line, format, args);
    va_end(args);
}

void LogStderrSink(int level, const char*, int, const char* format, va_list args) {
    WriteLine(stderr, "%s %-5s  ", level, format, args);
}

void LogFileSink(int level, const char* file, int line, const char* format, va_list args) {
    if (g_logFile == nullptr) {
        LogStderrSink(level, file, line, format, args);
        return;
    }
    WriteLine(g_logFile, "%s %-5s :", level, format, args);
}

std::string GetLogFilePath() { return g_dataFolder + "\\log.txt"; }

std::string PageTextForLog(const std::string& text) {
    const size_t kShown = 200;
    if (text.size() <= kShown) return text;
    size_t end = kShown;
    // Back over continuation bytes, so the cut falls before a character's lead byte.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end) + "...";
}

bool OpenLogFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_logMutex);
    FILE* file = fopen(path.c_str(), "ab+");
    if (file == nullptr) return false;
    if (g_logFile != nullptr) fclose(g_logFile);
    g_logFile = file;
    g_logSink = LogFileSink;
    return true;
}

void CloseLogFile() {
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (g_logFile == nullptr) return;
    fclose(g_logFile);
    g_logFile = nullptr;
    if (g_logSink == LogFileSink) g_logSink = LogStderrSink;
}
