// CResourceStore: the process-wide lookup of layout paths, image paths and control texts.
// Unregistered names and ids pass through unchanged.
#pragma once

#include "QueryControlText.h"
#include "UIString.h"
#include "UIStringMap.h"

namespace HiveUI {

class CResourceStore {
public:
    static CResourceStore* GetInstance();
    static void Release();

    const wchar_t* GetImagePath(const wchar_t* name) const;
    const wchar_t* GetXmlPath(const wchar_t* name) const;
    CUIString GetText(const wchar_t* id, const wchar_t* type = nullptr);

    CResourceStore(const CResourceStore&) = delete;
    CResourceStore& operator=(const CResourceStore&) = delete;

private:
    CResourceStore() = default;
    ~CResourceStore();
    static void FreeStrings(CUIStringMap& map);

    CUIStringMap m_texts{83};
    IQueryControlText* m_textSource = nullptr;
    CUIStringMap m_imagePaths{83};
    CUIStringMap m_xmlPaths{83};

    static CResourceStore* s_instance;
};

}  // namespace HiveUI
