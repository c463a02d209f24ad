#include "UIManager.h"

#include <memory>

#include "XmlDocument.h"
#include "ZipReader.h"

namespace HiveUI {

HINSTANCE CPaintManagerUI::s_instance = nullptr;
HINSTANCE CPaintManagerUI::s_resourceDll = nullptr;
CUIString CPaintManagerUI::s_resourcePath;
int CPaintManagerUI::s_resourceType = 0;
CUIString CPaintManagerUI::s_resourceZip;
CUIString CPaintManagerUI::s_resourceZipPassword;
bool CPaintManagerUI::s_cachedResourceZip = false;
TZipHandle* CPaintManagerUI::s_resourceZipHandle = nullptr;

HINSTANCE CPaintManagerUI::GetInstance() { return s_instance; }

void CPaintManagerUI::SetInstance(HINSTANCE instance) { s_instance = instance; }

// The folder of the module file, with its trailing backslash.
CUIString CPaintManagerUI::GetInstancePath() {
    if (s_instance == nullptr) return CUIString();
    wchar_t path[MAX_PATH + 1] = {};
    GetModuleFileNameW(s_instance, path, MAX_PATH);
    wchar_t* slash = wcsrchr(path, L'\\');
    if (slash != nullptr) slash[1] = L'\0';
    return CUIString(path);
}

HINSTANCE CPaintManagerUI::GetResourceDll() { return s_resourceDll != nullptr ? s_resourceDll : s_instance; }

void CPaintManagerUI::SetResourcePath(const wchar_t* path) {
    s_resourcePath = path;
    if (s_resourcePath.IsEmpty()) return;
    const wchar_t last = s_resourcePath[s_resourcePath.GetLength() - 1];
    if (last != L'\\' && last != L'/') s_resourcePath += L'\\';
}

const CUIString& CPaintManagerUI::GetResourcePath() { return s_resourcePath; }

void CPaintManagerUI::SetResourceType(int type) { s_resourceType = type; }

int CPaintManagerUI::GetResourceType() { return s_resourceType; }

void CPaintManagerUI::SetResourceZipFromMemory(const void* data, DWORD size, const wchar_t* password) {
    if (s_resourceZip == L"membuffer") return;
    if (s_cachedResourceZip && s_resourceZipHandle != nullptr) CZipReader::Close(s_resourceZipHandle);
    s_resourceZipHandle = nullptr;
    s_resourceZip = L"membuffer";
    s_cachedResourceZip = true;
    s_resourceZipPassword = password;
    std::unique_ptr<char[]> ansi(WideToMultiByte(password, CP_ACP));
    s_resourceZipHandle = CZipReader::OpenFromMemory(data, size, ansi.get());
}

const CUIString& CPaintManagerUI::GetResourceZip() { return s_resourceZip; }

const CUIString& CPaintManagerUI::GetResourceZipPassword() { return s_resourceZipPassword; }

bool CPaintManagerUI::IsCachedResourceZip() { return s_cachedResourceZip; }

TZipHandle* CPaintManagerUI::GetResourceZipHandle() { return s_resourceZipHandle; }

}  // namespace HiveUI
