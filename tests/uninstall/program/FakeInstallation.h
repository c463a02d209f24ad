// A client installation laid out by the test in its own Wine prefix, the way the
// installer leaves it: install folder (with blanks in its path), uninstall.exe and
// uninstall.dat in it, shortcuts, the start-menu folder, the two registry keys, and a
// copy of a helper program running under the client's file name. Beside it, sentinels
// (a copy running under the client's file name outside the install folder among them)
// with similar names that the uninstaller must leave alone. Everything is removed again
// when the object goes.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

// text in the code page: CP_ACP for the record file, CP_UTF8 for messages.
std::string Narrow(const std::wstring& text, UINT codePage);

class FakeInstallation {
public:
    // name: the product's registry and shortcut name; unique per test run.
    explicit FakeInstallation(const std::wstring& name);
    ~FakeInstallation();
    bool Laid() const { return laid_; }

    // Starts a waiting copy of helperExe in the install folder under the client's
    // file name (in other letter case) and one under the same name outside it.
    bool StartHelpers(const std::wstring& helperExe, const std::wstring& helperArgs);
    // Writes uninstall.dat from "key=value" lines (any key may be left out).
    bool WriteRecord(const std::vector<std::string>& lines) const;
    // The complete record of this installation.
    std::vector<std::string> Record() const;

    // Starts the installed uninstall.exe with the install folder as working folder.
    bool StartUninstaller();
    DWORD UninstallerPid() const { return uninstaller_.dwProcessId; }
    // The uninstaller's exit code, or STILL_ACTIVE when it runs after timeoutMs.
    DWORD WaitUninstaller(DWORD timeoutMs) const;

    // What the uninstaller must remove, and what it must leave.
    std::vector<std::wstring> ProductPaths() const;
    std::vector<std::wstring> SentinelPaths() const;
    bool ProductKeysExist(bool& hklm, bool& hkcu) const;
    bool SentinelKeysExist() const;
    bool ClientHelperRuns() const;
    bool OtherHelperRuns() const;

    std::wstring installFolder;
    std::wstring dotEntries[2];

private:
    bool Lay();

    bool laid_ = false;
    std::wstring name_;
    std::wstring base_;
    std::wstring desktop_;
    std::wstring programs_;
    std::wstring dataFolderSentinel_;
    PROCESS_INFORMATION clientHelper_ = {};
    PROCESS_INFORMATION otherHelper_ = {};
    PROCESS_INFORMATION uninstaller_ = {};
};
