// The engine's command line: switches in the order they were given, then arguments,
// parsed and printed the way the browser's own command line is on Windows.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "include/cef_command_line.h"

namespace engine {

class CommandLine : public CefCommandLine {
public:
    CommandLine() = default;

    bool IsValid() override { return true; }
    bool IsReadOnly() override { return false; }
    CefRefPtr<CefCommandLine> Copy() override;
    void InitFromString(const CefString& command_line) override;
    void Reset() override;
    CefString GetCommandLineString() override;
    CefString GetProgram() override { return program_; }
    void SetProgram(const CefString& program) override { program_ = program.ToWString(); }
    bool HasSwitches() override { return !switches_.empty(); }
    bool HasSwitch(const CefString& name) override;
    CefString GetSwitchValue(const CefString& name) override;
    void GetSwitches(SwitchMap& switches) override;
    void AppendSwitch(const CefString& name) override { AppendSwitchWithValue(name, CefString()); }
    void AppendSwitchWithValue(const CefString& name, const CefString& value) override;
    bool HasArguments() override { return !arguments_.empty(); }
    void GetArguments(ArgumentList& arguments) override;
    void AppendArgument(const CefString& argument) override { arguments_.push_back(argument.ToWString()); }

    // Switches in the order they were added, each as name and value.
    const std::vector<std::pair<std::wstring, std::wstring>>& OrderedSwitches() const { return switches_; }

private:
    const std::pair<std::wstring, std::wstring>* Find(const std::wstring& name) const;

    std::wstring program_;
    std::vector<std::pair<std::wstring, std::wstring>> switches_;
    std::vector<std::wstring> arguments_;

    IMPLEMENT_REFCOUNTING(CommandLine);
};

}  // namespace engine
