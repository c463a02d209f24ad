// CPaintManagerUI's caches: fonts, images, parsed image descriptions, default attribute
// lists, styles and option groups. Lookups try the manager's own cache, then the shared one.
#include "UIManager.h"

#include <cstring>
#include <cwctype>
#include <vector>

#include "DpiScale.h"
#include "ImageData.h"
#include "ImageDrawSpec.h"
#include "SkinFile.h"
#include "UIRender.h"

namespace HiveUI {

namespace {

CUIString FontKey(int id) {
    CUIString key;
    key.SmallFormat(L"%d", id);
    return key;
}

// A file read whole by its own path; nothing when it cannot be read completely.
std::vector<BYTE> ReadWholeFile(const wchar_t* path) {
    CScopedKernelHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file.IsValid() || !GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart >= MAXDWORD)
        return {};
    std::vector<BYTE> data(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &read, nullptr) || read != data.size())
        return {};
    return data;
}

// Keeps the pixels as loaded so that later hue changes start from them.
void SavePixelsForHSL(TImageData& image) {
    DIBSECTION section = {};
    if (GetObjectW(image.bitmap, sizeof(section), &section) != sizeof(section) || section.dsBm.bmBits == nullptr)
        return;
    const size_t bytes = static_cast<size_t>(image.width) * image.height * 4;
    image.savedPixels = new BYTE[bytes];
    image.pixels = new BYTE[bytes];
    memcpy(image.savedPixels, section.dsBm.bmBits, bytes);
    memcpy(image.pixels, section.dsBm.bmBits, bytes);
}

TFontEntry* FindFontEntry(const CUIStringMap& fonts, HFONT font) {
    for (int i = 0; i < fonts.GetSize(); ++i) {
        auto* entry = static_cast<TFontEntry*>(fonts.Find(fonts.GetAt(i), false));
        if (entry != nullptr && entry->font == font) return entry;
    }
    return nullptr;
}

TFontEntry* FindFontEntry(const CUIStringMap& fonts, const wchar_t* face, int size, bool bold, bool underline,
                          bool italic) {
    for (int i = 0; i < fonts.GetSize(); ++i) {
        auto* entry = static_cast<TFontEntry*>(fonts.Find(fonts.GetAt(i), false));
        if (entry != nullptr && entry->faceName == face && entry->size == size && entry->bold == bold &&
            entry->underline == underline && entry->italic == italic)
            return entry;
    }
    return nullptr;
}

}  // namespace

TSkinResources& CPaintManagerUI::TargetResources(bool shared) {
    return shared || m_resourceShared ? s_shared : m_resources;
}

void CPaintManagerUI::MeasureFont(TFontEntry& entry) const {
    HDC dc = GetPaintDC();
    if (dc == nullptr || entry.font == nullptr) return;
    CSelectObjectGuard select(dc, entry.font);
    GetTextMetricsW(dc, &entry.metrics);
}

LOGFONTW CPaintManagerUI::MakeLogFont(const wchar_t* face, int size, bool underline, bool italic) {
    LOGFONTW logFont = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    if (face != nullptr && face[0] != L'\0') wcsncpy_s(logFont.lfFaceName, LF_FACESIZE, face, _TRUNCATE);
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfHeight = -GetDpiScale()->Scale(size);
    if (underline) logFont.lfUnderline = 1;
    if (italic) logFont.lfItalic = 1;
    return logFont;
}

TFontEntry* CPaintManagerUI::GetDefaultFontInfo() {
    TFontEntry& entry = m_resources.defaultFont.faceName.IsEmpty() ? s_shared.defaultFont : m_resources.defaultFont;
    if (entry.metrics.tmHeight == 0) MeasureFont(entry);
    return &entry;
}

// Bold adds to the stock font's weight rather than setting it.
void CPaintManagerUI::SetDefaultFont(const wchar_t* face, int size, bool bold, bool underline, bool italic,
                                     bool shared) {
    LOGFONTW logFont = MakeLogFont(face, size, underline, italic);
    if (bold) logFont.lfWeight += FW_BOLD;
    ReplaceDefaultFont(shared ? s_shared.defaultFont : m_resources.defaultFont, logFont, face, size, bold, underline,
                       italic);
}

void CPaintManagerUI::ReplaceDefaultFont(TFontEntry& target, const LOGFONTW& logFont, const wchar_t* face, int size,
                                         bool bold, bool underline, bool italic) {
    HFONT font = CreateFontIndirectW(&logFont);
    if (font == nullptr) return;
    if (target.font != nullptr) DeleteObject(target.font);
    target.font = font;
    target.faceName = face;
    target.size = size;
    target.bold = bold;
    target.underline = underline;
    target.italic = italic;
    target.metrics = {};
    MeasureFont(target);
}

HFONT CPaintManagerUI::AddFont(int id, const wchar_t* face, int size, bool bold, bool underline, bool italic,
                               bool shared) {
    LOGFONTW logFont = MakeLogFont(face, size, underline, italic);
    if (bold) logFont.lfWeight = FW_BOLD;
    HFONT font = CreateFontIndirectW(&logFont);
    if (font == nullptr) return nullptr;
    auto* entry = new TFontEntry;
    entry->font = font;
    entry->faceName = face;
    entry->size = size;
    entry->bold = bold;
    entry->underline = underline;
    entry->italic = italic;
    MeasureFont(*entry);
    CUIStringMap& fonts = TargetResources(shared).fonts;
    const CUIString key = FontKey(id);
    if (auto* old = static_cast<TFontEntry*>(fonts.Find(key))) {
        DeleteObject(old->font);
        delete old;
        fonts.Remove(key);
    }
    if (!fonts.Insert(key, entry)) {
        DeleteObject(font);
        delete entry;
        return nullptr;
    }
    return font;
}

void CPaintManagerUI::AddFontFile(const wchar_t* fileName) {
    if (fileName == nullptr || fileName[0] == L'\0') return;
    std::vector<BYTE> data;
    if (ReadSkinFile(fileName, 0, data) != ESkinFileResult::Ok || data.empty()) data = ReadWholeFile(fileName);
    if (data.empty()) return;
    DWORD installed = 0;
    HANDLE font = AddFontMemResourceEx(data.data(), static_cast<DWORD>(data.size()), nullptr, &installed);
    if (font != nullptr) m_memoryFonts.emplace_back(font);
}

TFontEntry* CPaintManagerUI::GetFontInfo(int id) {
    if (id < 0) return GetDefaultFontInfo();
    const CUIString key = FontKey(id);
    auto* entry = static_cast<TFontEntry*>(m_resources.fonts.Find(key));
    if (entry == nullptr) entry = static_cast<TFontEntry*>(s_shared.fonts.Find(key));
    if (entry == nullptr) return GetDefaultFontInfo();
    if (entry->metrics.tmHeight == 0) MeasureFont(*entry);
    return entry;
}

HFONT CPaintManagerUI::GetFont(int id) {
    if (id < 0) return GetDefaultFontInfo()->font;
    const CUIString key = FontKey(id);
    auto* entry = static_cast<TFontEntry*>(m_resources.fonts.Find(key));
    if (entry == nullptr) entry = static_cast<TFontEntry*>(s_shared.fonts.Find(key));
    return entry != nullptr ? entry->font : GetDefaultFontInfo()->font;
}

HFONT CPaintManagerUI::FindFont(const wchar_t* face, int size, bool bold, bool underline, bool italic) {
    TFontEntry* entry = FindFontEntry(m_resources.fonts, face, size, bold, underline, italic);
    if (entry == nullptr) entry = FindFontEntry(s_shared.fonts, face, size, bold, underline, italic);
    return entry != nullptr ? entry->font : nullptr;
}

TFontEntry* CPaintManagerUI::GetFontInfoByHandle(HFONT font) {
    TFontEntry* entry = FindFontEntry(m_resources.fonts, font);
    if (entry == nullptr) entry = FindFontEntry(s_shared.fonts, font);
    if (entry == nullptr) return GetDefaultFontInfo();
    if (entry->metrics.tmHeight == 0) MeasureFont(*entry);
    return entry;
}

void CPaintManagerUI::FreeFonts(CUIStringMap& fonts) {
    for (int i = 0; i < fonts.GetSize(); ++i) {
        auto* entry = static_cast<TFontEntry*>(fonts.Find(fonts.GetAt(i), false));
        if (entry == nullptr) continue;
        DeleteObject(entry->font);
        delete entry;
    }
    fonts.RemoveAll();
}

void CPaintManagerUI::RemoveAllFonts(bool shared) { FreeFonts(shared ? s_shared.fonts : m_resources.fonts); }

TImageData* CPaintManagerUI::GetImage(const wchar_t* name) {
    if (name == nullptr) return nullptr;
    auto* image = static_cast<TImageData*>(m_resources.images.Find(name));
    return image != nullptr ? image : static_cast<TImageData*>(s_shared.images.Find(name));
}

TImageData* CPaintManagerUI::GetImageEx(const wchar_t* name, const wchar_t* type, DWORD mask, bool useHSL,
                                        HINSTANCE instance) {
    TImageData* image = GetImage(name);
    if (image == nullptr && AddImage(name, type, mask, useHSL, false, instance) != nullptr) image = GetImage(name);
    return image;
}

TImageData* CPaintManagerUI::AddImage(const wchar_t* name, const wchar_t* type, DWORD mask, bool useHSL, bool shared,
                                      HINSTANCE instance) {
    if (name == nullptr || name[0] == L'\0') return nullptr;
    TImageData* image = nullptr;
    if (type == nullptr || type[0] == L'\0') {
        image = CUIRender::LoadImageByName(name, nullptr, mask, instance);
    } else if (iswdigit(name[0])) {
        image = CUIRender::LoadImageById(static_cast<UINT>(_wtoi(name)), type, mask, instance);
    }
    if (image == nullptr) return nullptr;
    image->useHSL = useHSL;
    image->resType = type;
    image->mask = mask;
    if (useHSL) SavePixelsForHSL(*image);
    CUIStringMap& images = TargetResources(shared).images;
    if (auto* old = static_cast<TImageData*>(images.Find(name))) {
        CUIRender::FreeImage(old);
        images.Remove(name);
    }
    if (!images.Insert(name, image)) {
        CUIRender::FreeImage(image);
        return nullptr;
    }
    return image;
}

bool CPaintManagerUI::RemoveImage(const wchar_t* name, bool shared) {
    CUIStringMap& images = shared ? s_shared.images : m_resources.images;
    auto* image = static_cast<TImageData*>(images.Find(name));
    if (image == nullptr) return false;
    CUIRender::FreeImage(image);
    return images.Remove(name);
}

void CPaintManagerUI::FreeImages(CUIStringMap& images) {
    for (int i = 0; i < images.GetSize(); ++i)
        CUIRender::FreeImage(static_cast<TImageData*>(images.Find(images.GetAt(i), false)));
    images.RemoveAll();
}

void CPaintManagerUI::RemoveAllImages(bool shared) { FreeImages(shared ? s_shared.images : m_resources.images); }

TImageDrawSpec* CPaintManagerUI::GetImageDrawSpec(const wchar_t* description, const wchar_t* modifier) {
    const CUIString key = CUIString(description) + modifier;
    if (key.IsEmpty()) return nullptr;
    if (auto* spec = static_cast<TImageDrawSpec*>(m_resources.drawSpecs.Find(key))) return spec;
    auto* spec = new TImageDrawSpec;
    spec->Parse(description, modifier, this);
    if (!m_resources.drawSpecs.Insert(key, spec)) {
        delete spec;
        return nullptr;
    }
    return spec;
}

void CPaintManagerUI::FreeDrawSpecs(CUIStringMap& specs) {
    for (int i = 0; i < specs.GetSize(); ++i) delete static_cast<TImageDrawSpec*>(specs.Find(specs.GetAt(i), false));
    specs.RemoveAll();
}

void CPaintManagerUI::RemoveAllImageDrawSpecs() { FreeDrawSpecs(m_resources.drawSpecs); }

void CPaintManagerUI::FreeStrings(CUIStringMap& strings) {
    for (int i = 0; i < strings.GetSize(); ++i) delete static_cast<CUIString*>(strings.Find(strings.GetAt(i), false));
    strings.RemoveAll();
}

void CPaintManagerUI::AddDefaultAttributeList(const wchar_t* className, const wchar_t* attributes, bool shared) {
    if (className == nullptr) return;
    auto* copy = new CUIString(attributes);
    delete static_cast<CUIString*>(TargetResources(shared).attributes.Set(className, copy));
}

const wchar_t* CPaintManagerUI::GetDefaultAttributeList(const wchar_t* className) const {
    if (className == nullptr) return nullptr;
    auto* list = static_cast<CUIString*>(m_resources.attributes.Find(className));
    if (list == nullptr) list = static_cast<CUIString*>(s_shared.attributes.Find(className));
    return list != nullptr ? list->GetData() : nullptr;
}

void CPaintManagerUI::RemoveAllDefaultAttributeList(bool shared) {
    FreeStrings(shared ? s_shared.attributes : m_resources.attributes);
}

void CPaintManagerUI::AddStyle(const wchar_t* name, const wchar_t* attributes, bool shared) {
    if (name == nullptr) return;
    CUIStringMap& styles = TargetResources(shared).styles;
    if (styles.Find(name) != nullptr) return;
    auto* copy = new CUIString(attributes);
    if (!styles.Insert(name, copy)) delete copy;
}

const wchar_t* CPaintManagerUI::GetStyle(const wchar_t* name) const {
    if (name == nullptr) return nullptr;
    auto* style = static_cast<CUIString*>(m_resources.styles.Find(name));
    if (style == nullptr) style = static_cast<CUIString*>(s_shared.styles.Find(name));
    return style != nullptr ? style->GetData() : nullptr;
}

void CPaintManagerUI::RemoveAllStyles(bool shared) { FreeStrings(shared ? s_shared.styles : m_resources.styles); }

bool CPaintManagerUI::AddOptionGroup(const wchar_t* group, CControlUI* control) {
    if (group == nullptr) return false;
    if (auto* list = static_cast<CUIPtrArray*>(m_optionGroups.Find(group))) {
        if (list->Find(control) >= 0) return false;
        return list->Add(control);
    }
    auto* list = new CUIPtrArray(6);
    list->Add(control);
    if (!m_optionGroups.Insert(group, list)) {
        delete list;
        return false;
    }
    return true;
}

CUIPtrArray* CPaintManagerUI::GetOptionGroup(const wchar_t* group) {
    return group != nullptr ? static_cast<CUIPtrArray*>(m_optionGroups.Find(group)) : nullptr;
}

void CPaintManagerUI::RemoveOptionGroup(const wchar_t* group, CControlUI* control) {
    CUIPtrArray* list = GetOptionGroup(group);
    if (list == nullptr) return;
    const int index = list->Find(control);
    if (index >= 0) list->Remove(index);
    if (!list->IsEmpty()) return;
    delete list;
    m_optionGroups.Remove(group);
}

void CPaintManagerUI::RemoveAllOptionGroups() {
    for (int i = 0; i < m_optionGroups.GetSize(); ++i)
        delete static_cast<CUIPtrArray*>(m_optionGroups.Find(m_optionGroups.GetAt(i), false));
    m_optionGroups.RemoveAll();
}

}  // namespace HiveUI
