#include "CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include <cwctype>

namespace engine {
namespace {

// Length of the switch prefix ("--", "-" or "/") that starts arg, 0 for an argument.
size_t SwitchPrefixLength(const std::wstring& arg) {
    if (arg.compare(0, 2, L"--") == 0) return 2;
    if (!arg.empty() && (arg[0] == L'-' || arg[0] == L'/')) return 1;
    return 0;
}

// Switch names compare without regard to case, so they are kept lower-cased.
std::wstring NormalizeName(const std::wstring& name) {
    std::wstring out = name.substr(SwitchPrefixLength(name));
    for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(c));
    return out;
}

// Quotes an argument the way CommandLineToArgvW reads it back.
std::wstring Quote(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

}  // namespace

CefRefPtr<CefCommandLine> CommandLine::Copy() {
    CefRefPtr<CommandLine> copy = new CommandLine();
    copy->program_ = program_;
    copy->switches_ = switches_;
    copy->arguments_ = arguments_;
    return copy.get();
}

void CommandLine::InitFromString(const CefString& command_line) {
    Reset();
    const std::wstring text = command_line.ToWString();
    if (text.empty()) return;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(text.c_str(), &argc);
    if (argv == nullptr) return;
    bool switchesDone = false;
    for (int i = 0; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (i == 0) {
            program_ = arg;
        } else if (!switchesDone && arg == L"--") {
            switchesDone = true;
        } else if (!switchesDone && SwitchPrefixLength(arg) > 0) {
            const size_t eq = arg.find(L'=');
            AppendSwitchWithValue(arg.substr(0, eq), eq == std::wstring::npos ? L"" : arg.substr(eq + 1));
        } else {
            arguments_.push_back(arg);
        }
    }
    LocalFree(argv);
}

void CommandLine::Reset() {
    program_.clear();
    switches_.clear();
    arguments_.clear();
}

CefString CommandLine::GetCommandLineString() {
    std::wstring out = Quote(program_);
    for (const auto& sw : switches_) {
        out += L" --" + sw.first;
        if (!sw.second.empty()) out += L"=" + Quote(sw.second);
    }
    if (!arguments_.empty()) out += L" --";
    for (const auto& arg : arguments_) out += L" " + Quote(arg);
    return out;
}

const std::pair<std::wstring, std::wstring>* CommandLine::Find(const std::wstring& name) const {
    const std::wstring key = NormalizeName(name);
    for (const auto& sw : switches_) {
        if (sw.first == key) return &sw;
    }
    return nullptr;
}

bool CommandLine::HasSwitch(const CefString& name) { return Find(name.ToWString()) != nullptr; }

CefString CommandLine::GetSwitchValue(const CefString& name) {
    const auto* sw = Find(name.ToWString());
    return sw != nullptr ? CefString(sw->second) : CefString();
}

void CommandLine::GetSwitches(SwitchMap& switches) {
    switches.clear();
    for (const auto& sw : switches_) switches[sw.first] = sw.second;
}

// A switch given again replaces the earlier value but keeps its place.
void CommandLine::AppendSwitchWithValue(const CefString& name, const CefString& value) {
    const std::wstring key = NormalizeName(name.ToWString());
    if (key.empty()) return;
    for (auto& sw : switches_) {
        if (sw.first == key) {
            sw.second = value.ToWString();
            return;
        }
    }
    switches_.emplace_back(key, value.ToWString());
}

void CommandLine::GetArguments(ArgumentList& arguments) {
    arguments.assign(arguments_.begin(), arguments_.end());
}

}  // namespace engine

CefRefPtr<CefCommandLine> CefCommandLine::CreateCommandLine() { return new engine::CommandLine(); }

CefRefPtr<CefCommandLine> CefCommandLine::GetGlobalCommandLine() {
    static CefRefPtr<engine::CommandLine> global = [] {
        CefRefPtr<engine::CommandLine> line = new engine::CommandLine();
        line->InitFromString(GetCommandLineW());
        return line;
    }();
    return global.get();
}
