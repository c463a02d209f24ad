// The client's log: one function hands a level, the caller's place and a printf-style
// message to the current sink, standard error until the log file opens.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

enum LogLevel { LOG_TRACE = 0, LOG_DEBUG, LOG_INFO, LOG_WARN, LOG_ERROR, LOG_FATAL };

typedef void (*LogSink)(int level, const char* file, int line, const char* format, va_list args);

// Null silences logging.
extern LogSink g_logSink;
extern FILE* g_logFile;

void LogWrite(int level, const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
void LogStderrSink(int level, const char* file, int line, const char* format, va_list args);
void LogFileSink(int level, const char* file, int line, const char* format, va_list args);
std::string GetLogFilePath();

// What a page gave (an address, a title) as a log line shows it: cut to a length that
// names it without letting a page fill the log, ending on a whole UTF-8 character.
std::string PageTextForLog(const std::string& text);

// Opens path for appending and switches to the file sink; false leaves standard error.
bool OpenLogFile(const std::string& path);
// Closes the file when it is open; later lines go to standard error.
void CloseLogFile();
