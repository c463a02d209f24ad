#include <shlobj.h>

#include <TestFiles.h>

#include <string>

#include "DragDropKit.h"

using namespace HiveUI;

namespace {

using Bytes = std::string;

template <class T>
Bytes Of(const T& value) {
    return Bytes(reinterpret_cast<const char*>(&value), sizeof(value));
}

Bytes Info(LONG width, LONG height, WORD bits, DWORD compression = BI_RGB, DWORD colors = 0, DWORD sizeImage = 0) {
    return Of(BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, bits, compression, sizeImage, 0, 0, colors, 0});
}

class DropWindow : public testing::Test {
protected:
    void SetUp() override {
        CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        ASSERT_NE(nullptr, window_.Create(nullptr, L"drop", WS_POPUP | WS_VISIBLE, 0, 300, 200, 160, 120));
    }
    void TearDown() override {
        if (IsWindow(window_.GetHWND())) DestroyWindow(window_.GetHWND());
    }
    // Drags the data over the window and drops it there, as OLE would.
    void Drop(IDataObject* data) {
        IDropTarget* target = &window_.manager;
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(S_OK, target->DragEnter(data, MK_LBUTTON, POINTL{310, 210}, &effect));
        EXPECT_EQ(S_OK, target->Drop(data, 0, POINTL{310, 210}, &effect));
        EXPECT_EQ(DROPEFFECT_NONE, effect);
    }
    void Drop(CLIPFORMAT format, DWORD tymed, HANDLE handle) {
        CIDataObject* data = DataWith(format, tymed, handle);
        Drop(data);
        data->Release();
    }
    // The picture the window holds; colours with fewer bits per channel may widen either way.
    void ExpectPicture(SIZE size, const std::vector<DWORD>& pixels) {
        SIZE got = {};
        const std::vector<DWORD> have = Pixels(window_.picture, &got);
        EXPECT_EQ(size.cx, got.cx);
        EXPECT_EQ(size.cy, got.cy);
        ASSERT_EQ(pixels.size(), have.size());
        for (size_t i = 0; i < pixels.size(); ++i) {
            for (int shift : {0, 8, 16})
                ASSERT_NEAR((pixels[i] >> shift) & 0xFF, (have[i] >> shift) & 0xFF, 8) << "pixel " << i;
        }
    }

    PictureWnd window_;
};

TEST_F(DropWindow, TheManagerIsRegisteredAndOleLetsGoOfItWhenTheWindowGoes) {
    IDropTarget* manager = &window_.manager;
    EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, RegisterDragDrop(window_.GetHWND(), manager));
    manager->AddRef();
    EXPECT_GT(manager->Release(), 1u);
    DestroyWindow(window_.GetHWND());
    manager->AddRef();
    EXPECT_EQ(1u, manager->Release());
}

TEST_F(DropWindow, DroppedDibsBecomeBitmapsAndDibsThatContradictTheirBlockAreRefused) {
    const Bytes pixels4x4(16, '\x11');
    const struct {
        Bytes dib;
        SIZE size;  // empty: refused
        std::vector<DWORD> pixels;
    } cases[] = {
        // Bottom-up: the second row comes first.
        {Info(3, 2, 24) + Bytes("\0\0\xFF\0\xFF\0\xFF\0\0\0\0\0" "\xFF\xFF\xFF\0\0\0\x10\x20\x30\0\0\0", 24),
         {3, 2}, {0xFFFFFF, 0, 0x302010, 0xFF0000, 0x00FF00, 0x0000FF}},
        {Info(4, 1, 8, BI_RGB, 2) + Of(0x0000FF) + Of(0x00FF00) + Bytes("\1\0\0\1", 4),
         {4, 1}, {0x00FF00, 0x0000FF, 0x0000FF, 0x00FF00}},
        {Of(BITMAPCOREHEADER{sizeof(BITMAPCOREHEADER), 2, 1, 1, 1}) + Bytes("\0\0\xFF\0\xFF\0" "\x40\0\0\0", 10),
         {2, 1}, {0xFF0000, 0x00FF00}},
        {Info(2, -1, 16, BI_BITFIELDS) + Of(0xF800) + Of(0x07E0) + Of(0x001F) + Bytes("\0\xF8\x1F\0", 4),
         {2, 1}, {0xFF0000, 0x0000FF}},
        {Info(4, 4, 8, BI_RGB, 300) + Bytes(1200, '\0') + pixels4x4, {}, {}},  // more colours than 8 bits index
        {Info(4, 4, 8, BI_RGB, 256) + Bytes(16, '\0') + pixels4x4, {}, {}},    // table cut short
        {Info(4, 4, 24) + Bytes(47, '\0'), {}, {}},                            // a byte short of the pixels
        {Info(4, 4, 8, BI_RLE8, 0, 4000) + Bytes(1040, '\0'), {}, {}},         // runs beyond the block
        {Info(0x10000, 0x10000, 32) + Bytes(64, '\0'), {}, {}},
        {Bytes("\xFF\xFF\xFF\x7F", 4) + Info(4, 4, 8).substr(4) + Bytes(1100, '\0'), {}, {}},
        {Bytes("\x28\0", 2), {}, {}},
    };
    for (const auto& c : cases) {
        window_.images = 0;
        Drop(CF_DIB, TYMED_HGLOBAL, GlobalWith(c.dib.data(), c.dib.size()));
        EXPECT_EQ(c.size.cx != 0 ? 1 : 0, window_.images) << c.dib.size();
        if (c.size.cx != 0) ExpectPicture(c.size, c.pixels);
    }
    EXPECT_EQ(11, window_.releases);
}

TEST_F(DropWindow, TheWindowKeepsADroppedBitmapUnlessItsSourceStillOwnsIt) {
    HBITMAP source = MakeBitmap(5, 4, Checker);
    CIDataObject* data = DataWith(CF_BITMAP, TYMED_GDI, source);
    Drop(data);
    ExpectPicture({5, 4}, Pixels(source));
    HBITMAP first = window_.picture;
    Drop(data);
    data->Release();
    EXPECT_EQ(0u, GetObjectType(first));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(window_.picture));

    // One that the source frees through its release object is copied for the window.
    HBITMAP owned = MakeBitmap(3, 3, Checker);
    FORMATETC format = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    STGMEDIUM medium = {TYMED_GDI, {owned}, static_cast<IDropTarget*>(&window_.manager)};
    EXPECT_TRUE(window_.manager.OnDrop(&format, medium, nullptr));
    EXPECT_NE(owned, window_.picture);
    ExpectPicture({3, 3}, Pixels(owned));
    DeleteObject(owned);
}

TEST_F(DropWindow, ADroppedMetafileIsPlayedIntoABitmapOfItsBounds) {
    HBITMAP picture = MakeBitmap(40, 30, Checker);
    HDC record = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(record, 0, 0, 40, 30, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    Drop(CF_ENHMETAFILE, TYMED_ENHMF, CloseEnhMetaFile(record));
    ExpectPicture({40, 30}, Pixels(picture));
    DeleteObject(picture);
}

HGLOBAL FileList(const std::vector<std::wstring>& names, DWORD offset = sizeof(DROPFILES), bool terminated = true) {
    Bytes list = Of(DROPFILES{offset, {0, 0}, FALSE, TRUE});
    for (const std::wstring& name : names) list.append(reinterpret_cast<const char*>(name.c_str()), (name.size() + 1) * 2);
    if (terminated) list.append(2, '\0');
    return GlobalWith(list.data(), list.size());
}

Bytes BmpFile(int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    Bytes file = Of(BITMAPFILEHEADER{0x4D42, static_cast<DWORD>(54 + stride * height), 0, 0, 54});
    file += Info(width, height, 24);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) file += Of(Checker(x, y)).substr(0, 3);
        file.append(stride - width * 3, '\0');
    }
    return file;
}

TEST_F(DropWindow, OnlyTheFirstDroppedFileIsShownAndOnlyWhenItsNameFits) {
    const std::wstring bmp = TestFiles::TempFolder() + L"dropped.bmp";
    const std::wstring other = TestFiles::TempFolder() + L"other.bmp";
    ASSERT_TRUE(TestFiles::Write(bmp, BmpFile(6, 5)));
    ASSERT_TRUE(TestFiles::Write(other, BmpFile(2, 2)));
    // A cut-off name would be another file; a list that runs off its block is not read.
    const std::wstring longName = TestFiles::TempFolder() + std::wstring(600, L'x') + L".bmp";
    for (HGLOBAL refused :
         {FileList({longName, bmp}), FileList({bmp}, 4096), FileList({bmp}, sizeof(DROPFILES), false), FileList({})}) {
        Drop(CF_HDROP, TYMED_HGLOBAL, refused);
    }
    const char text[] = "not a picture";
    Drop(CF_TEXT, TYMED_HGLOBAL, GlobalWith(text, sizeof(text)));
    EXPECT_EQ(0, window_.images);
    Drop(CF_HDROP, TYMED_HGLOBAL, FileList({bmp, other}));
    EXPECT_EQ(1, window_.images);
    std::vector<DWORD> expected;
    for (int i = 0; i < 30; ++i) expected.push_back(Checker(i % 6, i / 6));
    ExpectPicture({6, 5}, expected);
}

}  // namespace
