// CPaintManagerUI: the process-wide skin source, construction, binding to a window,
// window attributes, default colours and the layered-window switches.
#include "UIManager.h"

#include <gdiplus.h>

#include <memory>

#include "ControlFactory.h"
#include "DpiScale.h"
#include "ImageData.h"
#include "ImageDrawSpec.h"
#include "ResourceStore.h"
#include "UIControl.h"
#include "UIRender.h"
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
TSkinResources CPaintManagerUI::s_shared;
CScopedGdiObject<HPEN> CPaintManagerUI::s_updatePen;
HMODULE CPaintManagerUI::s_msimg32 = nullptr;
CUIPtrArray CPaintManagerUI::s_managers;
CUIPtrArray CPaintManagerUI::s_controlCreators;
short CPaintManagerUI::s_hslHue = 180;
short CPaintManagerUI::s_hslSaturation = 100;
short CPaintManagerUI::s_hslLightness = 100;

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

void CPaintManagerUI::GetHSL(short* hue, short* saturation, short* lightness) {
    if (hue != nullptr) *hue = s_hslHue;
    if (saturation != nullptr) *saturation = s_hslSaturation;
    if (lightness != nullptr) *lightness = s_hslLightness;
}

CUIPtrArray* CPaintManagerUI::GetControlCreators() { return &s_controlCreators; }

const CUIPtrArray& CPaintManagerUI::GetManagers() { return s_managers; }


namespace {

using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

FARPROC User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"User32.dll");
    return user32 != nullptr ? GetProcAddress(user32, name) : nullptr;
}

}  // namespace

void CPaintManagerUI::InitSharedResources() {
    s_shared.defaultDisabledColor = 0xFFA7A6AA;
    s_shared.defaultFontColor = 0xFF000000;
    s_shared.defaultLinkFontColor = 0xFF0000FF;
    s_shared.defaultLinkHoverFontColor = 0xFFD3215F;
    s_shared.defaultSelectedBkColor = 0xFFBAE4FF;
    LOGFONTW logFont = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    logFont.lfCharSet = DEFAULT_CHARSET;
    HFONT font = CreateFontIndirectW(&logFont);
    if (font == nullptr) return;
    TFontEntry& entry = s_shared.defaultFont;
    entry.font = font;
    entry.faceName = logFont.lfFaceName;
    entry.size = -logFont.lfHeight;
    entry.bold = logFont.lfWeight >= FW_BOLD;
    entry.underline = logFont.lfUnderline == 1;
    entry.italic = logFont.lfItalic == 1;
    entry.metrics = {};
}

CPaintManagerUI::CPaintManagerUI() {
    const bool first = s_shared.defaultFont.faceName.IsEmpty();
    if (first) InitSharedResources();
    m_resources.defaultDisabledColor = s_shared.defaultDisabledColor;
    m_resources.defaultFontColor = s_shared.defaultFontColor;
    m_resources.defaultLinkFontColor = s_shared.defaultLinkFontColor;
    m_resources.defaultLinkHoverFontColor = s_shared.defaultLinkHoverFontColor;
    m_resources.defaultSelectedBkColor = s_shared.defaultSelectedBkColor;
    // After Term the shared font is made again, but the pen and the library stay. The
    // common controls start with the deferred work after the process's first frame.
    if (first && !s_updatePen.IsValid()) {
        s_updatePen.Reset(CreatePen(PS_SOLID, 1, RGB(220, 0, 0)));
        s_msimg32 = LoadLibraryW(L"msimg32.dll");
    }
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr) != Gdiplus::Ok) m_gdiplusToken = 0;
    CShadowUI::RegisterWindowClass(s_instance);
    AddRef();
}

CPaintManagerUI::~CPaintManagerUI() {
    TermDragDrop();
    for (int i = 0; i < m_delayedCleanup.GetSize(); ++i) delete static_cast<CControlUI*>(m_delayedCleanup[i]);
    m_delayedCleanup.Empty();
    for (int i = 0; i < m_asyncNotify.GetSize(); ++i) delete static_cast<TNotifyInfo*>(m_asyncNotify[i]);
    m_asyncNotify.Empty();
    m_nameHash.Resize(83);
    delete m_root;
    m_root = nullptr;
    RemoveAllTimers();
    if (m_resources.defaultFont.font != nullptr) DeleteObject(m_resources.defaultFont.font);
    m_resources.defaultFont.font = nullptr;
    RemoveAllFonts(false);
    RemoveAllImages(false);
    RemoveAllStyles(false);
    RemoveAllDefaultAttributeList(false);
    RemoveAllOptionGroups();
    RemoveAllImageDrawSpecs();
    if (m_tooltipWnd != nullptr) DestroyWindow(m_tooltipWnd);
    m_memoryFonts.clear();
    m_offscreenDC.Reset();
    m_offscreenBitmap.Reset();
    m_backgroundDC.Reset();
    m_backgroundBitmap.Reset();
    m_paintDC.reset();
    const int index = s_managers.Find(this);
    if (index >= 0) s_managers.Remove(index);
    m_dragBitmap.Reset();
    if (m_gdiplusToken != 0) Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_dpiScale.reset();
}

void CPaintManagerUI::Init(HWND wnd, const wchar_t* name) {
    m_nameHash.Resize(83);
    RemoveAllFonts(false);
    RemoveAllImages(false);
    RemoveAllStyles(false);
    RemoveAllDefaultAttributeList(false);
    RemoveAllOptionGroups();
    RemoveAllTimers();
    m_name = name;
    if (wnd == m_paintWnd) return;
    TermDragDrop();
    m_paintDC.reset();
    m_paintWnd = wnd;
    if (wnd != nullptr) m_paintDC.reset(new CWindowDCGuard(wnd));
    if (s_managers.Find(this) < 0) s_managers.Add(this);
    SetTargetWnd(wnd);
    InitDragDrop();
    // Work queued before there was a window to post to.
    if (!m_asyncNotify.IsEmpty() || !m_delayedCleanup.IsEmpty()) PostAsyncNotify();
}

HDC CPaintManagerUI::GetPaintDC() const { return m_paintDC ? m_paintDC->Get() : nullptr; }

// The tree itself is managed through the control base; what needs only the manager is here.
bool CPaintManagerUI::AttachRoot(CControlUI* control) {
    m_shadow.Create(this);
    if (control == nullptr) return false;
    SetFocus(nullptr);
    m_eventKey = nullptr;
    m_eventHover = nullptr;
    m_eventClick = nullptr;
    if (m_root != nullptr) {
        m_postPaintControls.Empty();
        AddDelayedCleanup(m_root);
    }
    m_root = control;
    m_updateNeeded = true;
    m_firstLayout = true;
    m_focusNeeded = true;
    Invalidate();
    return InitControls(control);
}

// Binding the tree to the manager and collecting its names come with the control base.
bool CPaintManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
    if (control == nullptr) return false;
    control->SetManager(this, parent != nullptr ? parent : control->GetParent(), true);
    control->FindControl(CollectNamedControl, this, UIFIND_ALL);
    return true;
}

void CPaintManagerUI::ForgetControl(CControlUI* control) {
    if (control == m_eventKey) m_eventKey = nullptr;
    if (control == m_eventHover) m_eventHover = nullptr;
    if (control == m_eventClick) m_eventClick = nullptr;
    if (control == m_focus) m_focus = nullptr;
    if (control == m_tabFrom) m_tabFrom = nullptr;
    KillControlTimers(control);
    const CUIString name = control->GetName();
    if (!name.IsEmpty() && m_nameHash.Find(name) == control) m_nameHash.Remove(name);
    for (int i = 0; i < m_asyncNotify.GetSize(); ++i) {
        TNotifyInfo* msg = static_cast<TNotifyInfo*>(m_asyncNotify[i]);
        if (msg->pSender == control) msg->pSender = nullptr;
    }
    for (int i = 0; i < m_deliveringNotify.GetSize(); ++i) {
        TNotifyInfo* msg = static_cast<TNotifyInfo*>(m_deliveringNotify[i]);
        if (msg->pSender == control) msg->pSender = nullptr;
    }
    // A control painted after the tree must not be painted once it is gone.
    RemovePostPaint(control);
}

CDpiScale* CPaintManagerUI::GetDpiScale() {
    if (!m_dpiScale) m_dpiScale.reset(new CDpiScale());
    return m_dpiScale.get();
}

void CPaintManagerUI::SetInitSize(int width, int height) {
    m_initSize = {width, height};
    if (m_root == nullptr && m_paintWnd != nullptr)
        SetWindowPos(m_paintWnd, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

// The whole client area is redrawn, and a layered window repaints all of it.
void CPaintManagerUI::InvalidateWindow() {
    if (m_paintWnd == nullptr) return;
    RECT client = {};
    GetClientRect(m_paintWnd, &client);
    UnionRect(&m_layeredUpdateRect, &m_layeredUpdateRect, &client);
    ::InvalidateRect(m_paintWnd, nullptr, FALSE);
}

// A window painted by UpdateLayeredWindow takes its opacity from the blend at the next
// paint; SetLayeredWindowAttributes there would make every later update fail.
void CPaintManagerUI::SetOpacity(BYTE opacity) {
    m_opacity = opacity;
    if (m_paintWnd == nullptr) return;
    if (m_layered) {
        m_layeredChanged = true;
        InvalidateWindow();
        return;
    }
    auto setAttributes = reinterpret_cast<SetLayeredWindowAttributesFn>(
        reinterpret_cast<void*>(User32Function("SetLayeredWindowAttributes")));
    if (setAttributes == nullptr) return;
    const LONG_PTR exStyle = GetWindowLongPtrW(m_paintWnd, GWL_EXSTYLE);
    if ((exStyle & WS_EX_LAYERED) == 0) SetWindowLongPtrW(m_paintWnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    setAttributes(m_paintWnd, 0, m_opacity, LWA_ALPHA);
}

void CPaintManagerUI::SetLayered(bool layered) {
    if (m_paintWnd == nullptr || layered == m_layered) return;
    if ((GetWindowLongPtrW(m_paintWnd, GWL_STYLE) & WS_CHILD) != 0) return;
    static const FARPROC updateLayered = User32Function("UpdateLayeredWindow");
    if (updateLayered == nullptr) return;
    m_layered = layered;
    // Dropping the layered style forgets attributes set by SetOpacity, which would make
    // UpdateLayeredWindow fail; and GDI painting of a layered window without them is never
    // shown. The first layered paint sets the style again.
    const LONG_PTR exStyle = GetWindowLongPtrW(m_paintWnd, GWL_EXSTYLE);
    if ((exStyle & WS_EX_LAYERED) != 0)
        SetWindowLongPtrW(m_paintWnd, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    if (!layered && m_opacity != 255) SetOpacity(m_opacity);
    if (m_root != nullptr) m_root->NeedLayout();
    InvalidateWindow();
}

void CPaintManagerUI::SetLayeredOpacity(BYTE opacity) {
    m_opacity = opacity;
    m_layeredChanged = true;
    InvalidateWindow();
}

// The image is loaded now so that the first layered paint finds it in the cache.
void CPaintManagerUI::SetLayeredImage(const wchar_t* description) {
    m_layeredImage = description;
    TImageDrawSpec* spec = GetImageDrawSpec(m_layeredImage);
    if (spec != nullptr && !spec->name.IsEmpty()) GetImageEx(spec->name, spec->resType, spec->mask, spec->hsl);
    m_layeredChanged = true;
    InvalidateWindow();
}

namespace {

void SetDefaultColor(DWORD& own, DWORD& sharedColor, DWORD color, bool shared) {
    if (!shared) {
        own = color;
        return;
    }
    if (own == sharedColor) own = color;
    sharedColor = color;
}

}  // namespace

void CPaintManagerUI::SetDefaultDisabledColor(DWORD color, bool shared) {
    SetDefaultColor(m_resources.defaultDisabledColor, s_shared.defaultDisabledColor, color, shared);
}

void CPaintManagerUI::SetDefaultFontColor(DWORD color, bool shared) {
    SetDefaultColor(m_resources.defaultFontColor, s_shared.defaultFontColor, color, shared);
}

void CPaintManagerUI::SetDefaultLinkFontColor(DWORD color, bool shared) {
    SetDefaultColor(m_resources.defaultLinkFontColor, s_shared.defaultLinkFontColor, color, shared);
}

void CPaintManagerUI::SetDefaultLinkHoverFontColor(DWORD color, bool shared) {
    SetDefaultColor(m_resources.defaultLinkHoverFontColor, s_shared.defaultLinkHoverFontColor, color, shared);
}

void CPaintManagerUI::SetDefaultSelectedBkColor(DWORD color, bool shared) {
    SetDefaultColor(m_resources.defaultSelectedBkColor, s_shared.defaultSelectedBkColor, color, shared);
}

void CPaintManagerUI::Term() {
    CControlFactory::Release();
    CResourceStore::Release();
    FreeImages(s_shared.images);
    FreeFonts(s_shared.fonts);
    if (s_shared.defaultFont.font != nullptr) DeleteObject(s_shared.defaultFont.font);
    s_shared.defaultFont = TFontEntry();
    FreeStrings(s_shared.attributes);
    FreeStrings(s_shared.styles);
    if (s_cachedResourceZip && s_resourceZipHandle != nullptr) CZipReader::Close(s_resourceZipHandle);
    s_resourceZipHandle = nullptr;
}

}  // namespace HiveUI
