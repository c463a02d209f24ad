#include "ResourceStore.h"

namespace HiveUI {

CResourceStore* CResourceStore::s_instance = nullptr;

CResourceStore* CResourceStore::GetInstance() {
    if (s_instance == nullptr) s_instance = new CResourceStore();
    return s_instance;
}

void CResourceStore::Release() {
    delete s_instance;
    s_instance = nullptr;
}

void CResourceStore::FreeStrings(CUIStringMap& map) {
    for (int i = 0; i < map.GetSize(); ++i) {
        const wchar_t* key = map.GetAt(i);
        if (key != nullptr) delete static_cast<CUIString*>(map.Find(key, false));
    }
    map.RemoveAll();
}

CResourceStore::~CResourceStore() {
    FreeStrings(m_texts);
    FreeStrings(m_imagePaths);
    FreeStrings(m_xmlPaths);
}

static const wchar_t* FindPath(const CUIStringMap& map, const wchar_t* name) {
    if (name == nullptr) return nullptr;
    const CUIString* path = static_cast<const CUIString*>(map.Find(name));
    return path != nullptr ? path->GetData() : nullptr;
}

const wchar_t* CResourceStore::GetImagePath(const wchar_t* name) const { return FindPath(m_imagePaths, name); }

const wchar_t* CResourceStore::GetXmlPath(const wchar_t* name) const { return FindPath(m_xmlPaths, name); }

CUIString CResourceStore::GetText(const wchar_t* id, const wchar_t* type) {
    if (id == nullptr) return CUIString();
    if (const CUIString* text = static_cast<const CUIString*>(m_texts.Find(id))) return *text;
    if (m_textSource != nullptr) {
        const wchar_t* answer = m_textSource->QueryControlText(id, type);
        if (answer != nullptr) {
            CUIString* stored = new CUIString(answer);
            if (!m_texts.Insert(id, stored)) delete stored;
            return CUIString(answer);
        }
    }
    return CUIString(id);
}

}  // namespace HiveUI
