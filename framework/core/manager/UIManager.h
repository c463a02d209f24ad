// CPaintManagerUI: the manager every framework window owns. It holds the window's
// control tree, routes its messages, and keeps its drawing resources; its statics
// locate the skin (module instance, skin folder, skin archive) for the whole process.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "DropTarget.h"
#include "MessageFilterUI.h"
#include "NotifyUI.h"
#include "ScopedHandle.h"
#include "TranslateAccelerator.h"
#include "Shadow.h"
#include "SkinResources.h"
#include "UIPtrArray.h"
#include "UIString.h"
#include "UIEvent.h"
#include "UIStringMap.h"

namespace HiveUI {

struct TZipHandle;
struct TImageData;
struct TImageDrawSpec;
class CControlUI;
class CDpiScale;

// Fonts loaded from memory stay installed until their manager goes.
struct CMemoryFontTraits {
    using Handle = HANDLE;
    static HANDLE Null() { return nullptr; }
    static bool IsValid(HANDLE handle) { return handle != nullptr; }
    static void Free(HANDLE handle) { ::RemoveFontMemResourceEx(handle); }
};
using CScopedMemoryFont = CScopedHandle<CMemoryFontTraits>;

// Every manager is its window's OLE drop target. It holds a reference to itself for its
// whole life, so the references OLE takes and drops never delete it: its owner does.
class CPaintManagerUI : public CIDropTarget {
public:
    CPaintManagerUI();
    ~CPaintManagerUI() override;
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // Set-up.
    void Init(HWND wnd, const wchar_t* name = nullptr);
    bool AttachRoot(CControlUI* control);
    bool InitControls(CControlUI* control, CControlUI* parent = nullptr);
    void ForgetControl(CControlUI* control);
    CControlUI* GetRoot() const { return m_root; }
    HWND GetPaintWindow() const { return m_paintWnd; }
    HDC GetPaintDC() const;
    const CUIString& GetName() const { return m_name; }
    POINT GetMousePos() const { return m_lastMousePos; }
    void SetResourceShared(bool shared) { m_resourceShared = shared; }
    bool IsResourceShared() const { return m_resourceShared; }
    CShadowUI* GetShadow() { return &m_shadow; }
    CDpiScale* GetDpiScale();
    // Deletes a heap object handed over in a posted message.
    template <class T>
    static void FreeObject(T* object) { delete object; }

    // Window attributes.
    SIZE GetInitSize() const { return m_initSize; }
    void SetInitSize(int width, int height);
    RECT GetSizeBox() const { return m_sizeBox; }
    void SetSizeBox(const RECT& sizeBox) { m_sizeBox = sizeBox; }
    RECT GetCaptionRect() const { return m_caption; }
    void SetCaptionRect(const RECT& caption) { m_caption = caption; }
    SIZE GetRoundCorner() const { return m_roundCorner; }
    void SetRoundCorner(int width, int height) { m_roundCorner = {width, height}; }
    SIZE GetMinInfo() const { return m_minSize; }
    void SetMinInfo(int width, int height) { m_minSize = {width, height}; }
    SIZE GetMaxInfo() const { return m_maxSize; }
    void SetMaxInfo(int width, int height) { m_maxSize = {width, height}; }
    bool IsShowUpdateRect() const { return m_showUpdateRect; }
    void SetShowUpdateRect(bool show) { m_showUpdateRect = show; }
    bool IsNoActivate() const { return m_noActivate; }
    void SetNoActivate(bool noActivate) { m_noActivate = noActivate; }
    BYTE GetOpacity() const { return m_opacity; }
    void SetOpacity(BYTE opacity);
    bool IsLayered() const { return m_layered; }
    void SetLayered(bool layered);
    void SetLayeredOpacity(BYTE opacity);
    const CUIString& GetLayeredImage() const { return m_layeredImage; }
    void SetLayeredImage(const wchar_t* description);
    int GetHoverTime() const { return m_hoverTime; }
    void SetHoverTime(int milliseconds) { m_hoverTime = milliseconds; }
    bool IsUseGdiplusText() const { return m_useGdiplusText; }
    void SetUseGdiplusText(bool use) { m_useGdiplusText = use; }
    int GetGdiplusTextRenderingHint() const { return m_textRenderingHint; }
    void SetGdiplusTextRenderingHint(int hint) { m_textRenderingHint = hint; }

    // Default colours: with shared the process-wide colour changes, and this manager's
    // follows only when it had not been given a colour of its own.
    DWORD GetDefaultDisabledColor() const { return m_resources.defaultDisabledColor; }
    void SetDefaultDisabledColor(DWORD color, bool shared = false);
    DWORD GetDefaultFontColor() const { return m_resources.defaultFontColor; }
    void SetDefaultFontColor(DWORD color, bool shared = false);
    DWORD GetDefaultLinkFontColor() const { return m_resources.defaultLinkFontColor; }
    void SetDefaultLinkFontColor(DWORD color, bool shared = false);
    DWORD GetDefaultLinkHoverFontColor() const { return m_resources.defaultLinkHoverFontColor; }
    void SetDefaultLinkHoverFontColor(DWORD color, bool shared = false);
    DWORD GetDefaultSelectedBkColor() const { return m_resources.defaultSelectedBkColor; }
    void SetDefaultSelectedBkColor(DWORD color, bool shared = false);

    // Fonts.
    TFontEntry* GetDefaultFontInfo();
    void SetDefaultFont(const wchar_t* face, int size, bool bold, bool underline, bool italic, bool shared = false);
    HFONT AddFont(int id, const wchar_t* face, int size, bool bold, bool underline, bool italic, bool shared = false);
    void AddFontFile(const wchar_t* fileName);
    HFONT GetFont(int id);
    HFONT FindFont(const wchar_t* face, int size, bool bold, bool underline, bool italic);
    TFontEntry* GetFontInfo(int id);
    TFontEntry* GetFontInfoByHandle(HFONT font);
    void RemoveAllFonts(bool shared = false);

    // Images.
    TImageData* GetImage(const wchar_t* name);
    TImageData* GetImageEx(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0, bool useHSL = false,
                           HINSTANCE instance = nullptr);
    TImageData* AddImage(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0, bool useHSL = false,
                         bool shared = false, HINSTANCE instance = nullptr);
    bool RemoveImage(const wchar_t* name, bool shared = false);
    void RemoveAllImages(bool shared = false);

    // Parsed image descriptions.
    TImageDrawSpec* GetImageDrawSpec(const wchar_t* description, const wchar_t* modifier = nullptr);
    void RemoveAllImageDrawSpecs();

    // Default attribute lists (a later one replaces an earlier) and styles (the first stays).
    void AddDefaultAttributeList(const wchar_t* className, const wchar_t* attributes, bool shared = false);
    const wchar_t* GetDefaultAttributeList(const wchar_t* className) const;
    void RemoveAllDefaultAttributeList(bool shared = false);
    void AddStyle(const wchar_t* name, const wchar_t* attributes, bool shared = false);
    const wchar_t* GetStyle(const wchar_t* name) const;
    void RemoveAllStyles(bool shared = false);

    // Option groups.
    bool AddOptionGroup(const wchar_t* group, CControlUI* control);
    CUIPtrArray* GetOptionGroup(const wchar_t* group);
    void RemoveOptionGroup(const wchar_t* group, CControlUI* control);
    void RemoveAllOptionGroups();

    // Process-wide skin source, set once at start-up.
    static HINSTANCE GetInstance();
    static void SetInstance(HINSTANCE instance);
    static CUIString GetInstancePath();
    static HINSTANCE GetResourceDll();
    static void SetResourcePath(const wchar_t* path);
    static const CUIString& GetResourcePath();
    static void SetResourceType(int type);
    static int GetResourceType();
    // The skin archive held in memory: opened once and kept open for every later read,
    // so the block must stay valid for the life of the process.
    static void SetResourceZipFromMemory(const void* data, DWORD size, const wchar_t* password);
    static const CUIString& GetResourceZip();
    static const CUIString& GetResourceZipPassword();
    static bool IsCachedResourceZip();
    static TZipHandle* GetResourceZipHandle();
    static void GetHSL(short* hue, short* saturation, short* lightness);
    static CUIPtrArray* GetControlCreators();
    static const CUIPtrArray& GetManagers();
    // Process exit: frees the shared caches and closes the skin archive.
    static void Term();

private:
    void MeasureFont(TFontEntry& entry) const;
    TSkinResources& TargetResources(bool shared);
    void ReplaceDefaultFont(TFontEntry& target, const LOGFONTW& logFont, const wchar_t* face, int size, bool bold,
                            bool underline, bool italic);
    LOGFONTW MakeLogFont(const wchar_t* face, int size, bool underline, bool italic);
    void InvalidateWindow();
    static void FreeFonts(CUIStringMap& fonts);
    static void FreeImages(CUIStringMap& images);
    static void FreeStrings(CUIStringMap& strings);
    static void FreeDrawSpecs(CUIStringMap& specs);
    static void InitSharedResources();

    // Window and drawing surfaces.
    CUIString m_name;
    HWND m_paintWnd = nullptr;
    std::unique_ptr<CWindowDCGuard> m_paintDC;
    CScopedCreatedDC m_offscreenDC;
    CScopedGdiObject<HBITMAP> m_offscreenBitmap;
    DWORD* m_offscreenBits = nullptr;
    CScopedCreatedDC m_backgroundDC;
    CScopedGdiObject<HBITMAP> m_backgroundBitmap;
    DWORD* m_backgroundBits = nullptr;
    HWND m_tooltipWnd = nullptr;
    TOOLINFOW m_toolInfo = {};
    int m_hoverTime = 400;
    bool m_noActivate = false;
    bool m_showUpdateRect = false;

    // Controls and input state.
    CControlUI* m_root = nullptr;
    CControlUI* m_focus = nullptr;
    CControlUI* m_eventHover = nullptr;
    CControlUI* m_eventClick = nullptr;
    CControlUI* m_eventKey = nullptr;
    POINT m_lastMousePos = {};
    SIZE m_minSize = {};
    SIZE m_maxSize = {};
    SIZE m_initSize = {};
    RECT m_sizeBox = {};
    RECT m_caption = {};
    SIZE m_roundCorner = {};
    int m_timerId = 4096;
    bool m_firstLayout = true;
    bool m_updateNeeded = false;
    bool m_focusNeeded = false;
    bool m_offscreenPaint = true;
    BYTE m_opacity = 255;
    bool m_layered = false;
    bool m_layeredChanged = false;
    RECT m_layeredUpdateRect = {};
    CUIString m_layeredImage;
    bool m_mouseTracking = false;
    bool m_mouseCapture = false;
    bool m_painting = false;
    bool m_asyncNotifyPosted = false;
    bool m_dragMode = false;
    CScopedGdiObject<HBITMAP> m_dragBitmap;

    // Ordered lists.
    CUIPtrArray m_notifiers;
    CUIPtrArray m_timers;
    CUIPtrArray m_translateAccelerators;
    CUIPtrArray m_preMessageFilters;
    CUIPtrArray m_messageFilters;
    CUIPtrArray m_postPaintControls;
    CUIPtrArray m_nativeWindows;
    CUIPtrArray m_nativeWindowControls;
    CUIPtrArray m_delayedCleanup;
    CUIPtrArray m_asyncNotify;
    CUIPtrArray m_foundControls;
    std::vector<CScopedMemoryFont> m_memoryFonts;

    // Nothing enumerates the names, so this map may grow with the tree: a skin of many
    // named controls keeps its lookups short.
    CUIStringMap m_nameHash{83, true};
    CUIStringMap m_optionGroups{83};

    TSkinResources m_resources;
    bool m_resourceShared = false;
    CShadowUI m_shadow;
    std::unique_ptr<CDpiScale> m_dpiScale;
    bool m_useGdiplusText = false;
    int m_textRenderingHint = 0;
    ULONG_PTR m_gdiplusToken = 0;

    static TSkinResources s_shared;
    static CScopedGdiObject<HPEN> s_updatePen;
    static HMODULE s_msimg32;
    static CUIPtrArray s_managers;
    static CUIPtrArray s_controlCreators;
    static short s_hslHue;
    static short s_hslSaturation;
    static short s_hslLightness;
    static HINSTANCE s_instance;
    static HINSTANCE s_resourceDll;
    static CUIString s_resourcePath;
    static int s_resourceType;
    static CUIString s_resourceZip;
    static CUIString s_resourceZipPassword;
    static bool s_cachedResourceZip;
    static TZipHandle* s_resourceZipHandle;

    // ---- Message routing, painting and control events ----
public:
    bool MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool PreMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    static WORD GetKeyState();
    void Invalidate();
    void InvalidateRect(const RECT& rect);
    void NeedUpdate() { m_updateNeeded = true; }
    bool IsUpdateNeeded() const { return m_updateNeeded; }
    void SetPainting(bool painting) { m_painting = painting; }
    bool AddPostPaint(CControlUI* control);
    bool RemovePostPaint(CControlUI* control);
    bool RemoveNativeWindow(HWND wnd);
    RECT GetNativeWindowRect(HWND wnd) const;

    // ---- Notifications, focus, capture and control searches ----
    void SendNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool async = false);
    void SendNotifyInfo(TNotifyInfo& msg, bool async = false);
    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    void PostAsyncNotify();
    void AddDelayedCleanup(CControlUI* control);
    void SetUsedVirtualWnd(bool used) { m_usedVirtualWnd = used; }
    bool AddPreMessageFilter(IMessageFilterUI* filter);
    bool RemovePreMessageFilter(IMessageFilterUI* filter);
    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);
    CControlUI* GetFocus() const { return m_focus; }
    void SetFocus(CControlUI* control);
    bool SetNextTabControl(bool forward = true);
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const { return m_mouseCapture; }
    CControlUI* FindControl(const wchar_t* name) const;
    void RenameControl(CControlUI* control, const CUIString& oldName);
    CControlUI* FindControlAt(POINT pt) const;
    CUIPtrArray* GetFoundControls() { return &m_foundControls; }
    static CControlUI* CALLBACK CollectNamedControl(CControlUI* control, LPVOID data);
    static CControlUI* CALLBACK HitTestControl(CControlUI* control, LPVOID data);
    static CControlUI* CALLBACK NextTabStop(CControlUI* control, LPVOID data);
    static CControlUI* CALLBACK MatchShortcut(CControlUI* control, LPVOID data);
    static CControlUI* CALLBACK CollectLayoutNeeded(CControlUI* control, LPVOID data);

    // ---- Accelerators, focus requests and the message loop ----
    bool AddTranslateAccelerator(ITranslateAccelerator* translator);
    bool RemoveTranslateAccelerator(ITranslateAccelerator* translator);
    bool TranslateAccelerator(MSG* msg);
    void RequestFocus(CControlUI* control);
    static bool PreTranslateMessage(const MSG* msg);
    static void MessageLoop();

private:
    void DropFocus(CControlUI* gaining);
    void DeliverNotify(TNotifyInfo& msg);

public:

    // ---- Control timers ----
    bool SetTimer(CControlUI* control, UINT timerId, UINT elapse);
    bool KillTimer(CControlUI* control, UINT timerId);
    void KillControlTimers(CControlUI* control);
    void RemoveAllTimers();

private:
    bool FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool HandleLayeredNonClient(UINT msg, WPARAM wParam, LRESULT& result);
    bool ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void DoDeferredWork();
    void OnPaint();
    bool LayoutBeforePaint(const RECT& client, bool& sizeChanged);
    void PaintOffscreen(HDC paintDC, const RECT& client, RECT& update);
    void ComposeLayered(const RECT& client, const RECT& update);
    void PaintPostPaint(HDC hdc, const RECT& update);
    void OnPrintClient(HDC hdc, LPARAM flags);
    void OnClose();
    bool OnSetCursor(LPARAM lParam);
    void OnGetMinMaxInfo(MINMAXINFO* info) const;
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    bool OnMouseHover();
    void OnMouseLeave();
    void OnButtonDown(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnButtonUp(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    void OnContextMenu(WPARAM wParam, LPARAM lParam);
    void OnKey(UINT msg, WPARAM wParam, LPARAM lParam);
    void ShowToolTip(CControlUI* control);
    void HideToolTip();
    bool FocusTakesTab() const;
    void OnTimer(WPARAM wParam, LPARAM lParam);
    bool NextFreeTimerId();
    CControlUI* OwnControlAt(POINT pt) const;
    TEventInfo MakeEvent(int type, CControlUI* sender, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Starts an OLE drag of the pressed control's picture.
    void StartDrag();

    // ---- OLE drag and drop ----
public:
    // Registers the paint window as a drop target of bitmaps, DIBs, files and metafiles.
    bool InitDragDrop();
    // Hands a dropped picture to the window with STM_SETIMAGE.
    bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) override;

private:
    // Registration must end while the window exists, or OLE keeps references to a gone manager.
    void TermDragDrop();
    bool m_dropRegistered = false;

    bool m_usedVirtualWnd = false;
    // Notifications being delivered now, innermost last.
    CUIPtrArray m_deliveringNotify;
    // Where a requested focus move starts while no control holds the focus.
    CControlUI* m_tabFrom = nullptr;
    // The tooltip window reads its text from here while it shows.
    CUIString m_toolTipText;
    // Tab navigation and shortcut search state, valid during one tree walk.
    struct TFindTabInfo {
        CControlUI* focus = nullptr;
        CControlUI* last = nullptr;
        bool forward = true;
        bool nextIsIt = false;
    };
    struct TFindShortcut {
        wchar_t ch = 0;
        bool pickNext = false;
    };
};

}  // namespace HiveUI
