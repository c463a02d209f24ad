#include <shlobj.h>

#include <TestFiles.h>

#include <cstring>
#include <string>

#include "DragDropKit.h"

using namespace HiveUI;

namespace {

using Bytes = std::string;

template <class T>
void Put(Bytes& bytes, const T& value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof(value));
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

    // Drags the data over the window and drops it there; the effect the drop reports.
    DWORD DropData(IDataObject* data) {
        IDropTarget* target = &window_.manager;
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(S_OK, target->DragEnter(data, MK_LBUTTON, POINTL{310, 210}, &effect));
        EXPECT_EQ(S_OK, target->Drop(data, 0, POINTL{310, 210}, &effect));
        return effect;
    }
    void Drop(CLIPFORMAT format, DWORD tymed, HANDLE handle) {
        CIDataObject* data = DataWith(format, tymed, handle);
        EXPECT_EQ(DROPEFFECT_NONE, DropData(data));
        data->Release();
    }
    void DropDib(const Bytes& dib) { Drop(CF_DIB, TYMED_HGLOBAL, GlobalWith(dib.data(), dib.size())); }
    void ExpectPicture(SIZE size, const std::vector<DWORD>& pixels) {
        ASSERT_EQ(1, window_.images);
        SIZE got = {};
        const std::vector<DWORD> have = Pixels(window_.picture, &got);
        EXPECT_EQ(size.cx, got.cx);
        EXPECT_EQ(size.cy, got.cy);
        ASSERT_EQ(pixels.size(), have.size());
        // Colours with fewer bits per channel may be widened either way.
        for (size_t i = 0; i < pixels.size(); ++i) {
            for (int shift : {0, 8, 16}) {
                const int want = (pixels[i] >> shift) & 0xFF;
                EXPECT_NEAR(want, static_cast<int>((have[i] >> shift) & 0xFF), 8) << "pixel " << i;
            }
        }
    }

    PictureWnd window_;
};

Bytes InfoHeader(LONG width, LONG height, WORD bitCount, DWORD compression = BI_RGB, DWORD colors = 0,
                 DWORD sizeImage = 0) {
    Bytes bytes;
    Put(bytes, BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, bitCount, compression, sizeImage, 0, 0,
                                colors, 0});
    return bytes;
}

Bytes Quads(std::initializer_list<DWORD> colors) {
    Bytes bytes;
    for (DWORD color : colors) Put(bytes, color);
    return bytes;
}

TEST_F(DropWindow, TheManagerIsRegisteredAndOleLetsGoOfItWhenTheWindowGoes) {
    IDropTarget* manager = &window_.manager;
    manager->AddRef();
    const ULONG held = manager->Release();
    EXPECT_GT(held, 1u);
    EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, RegisterDragDrop(window_.GetHWND(), manager));
    DestroyWindow(window_.GetHWND());
    manager->AddRef();
    EXPECT_EQ(1u, manager->Release());
}

TEST_F(DropWindow, DroppedDibsBecomeBitmapsOfTheirSizeAndPixels) {
    struct Case {
        const char* name;
        Bytes dib;
        SIZE size;
        std::vector<DWORD> pixels;
    };
    Bytes rgb = InfoHeader(3, 2, 24);  // bottom-up: the second row comes first
    rgb += Bytes("\x00\x00\xFF\x00\xFF\x00\xFF\x00\x00\x00\x00\x00", 12) + Bytes("\xFF\xFF\xFF\x00\x00\x00\x10\x20\x30\x00\x00\x00", 12);
    Bytes indexed = InfoHeader(4, 1, 8, BI_RGB, 2) + Quads({0x0000FF, 0x00FF00}) + Bytes("\x01\x00\x00\x01", 4);
    Bytes core;
    Put(core, BITMAPCOREHEADER{sizeof(BITMAPCOREHEADER), 2, 1, 1, 1});
    core += Bytes("\x00\x00\xFF\x00\xFF\x00", 6) + Bytes("\x40\x00\x00\x00", 4);
    Bytes fields = InfoHeader(2, -1, 16, BI_BITFIELDS) + Quads({0xF800, 0x07E0, 0x001F}) + Bytes("\x00\xF8\x1F\x00", 4);
    Bytes topDown = InfoHeader(1, -2, 32) + Quads({0x00ABCDEF, 0x00010203});
    const Case cases[] = {
        {"24-bit", rgb, {3, 2}, {0xFFFFFF, 0x000000, 0x302010, 0xFF0000, 0x00FF00, 0x0000FF}},
        {"8-bit, two colours", indexed, {4, 1}, {0x00FF00, 0x0000FF, 0x0000FF, 0x00FF00}},
        {"core 1-bit", core, {2, 1}, {0xFF0000, 0x00FF00}},
        {"16-bit masks", fields, {2, 1}, {0xFF0000, 0x0000FF}},
        {"32-bit top-down", topDown, {1, 2}, {0xABCDEF, 0x010203}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window_.images = 0;
        DropDib(c.dib);
        ExpectPicture(c.size, c.pixels);
    }
    EXPECT_EQ(5, window_.releases);
}

TEST_F(DropWindow, DibsThatContradictTheirBlockAreRefused) {
    const Bytes pixels4x4(16, '\x11');
    Bytes huge = InfoHeader(4, 4, 8, BI_RGB, 0) + Bytes(1024, '\0') + pixels4x4;
    std::memcpy(&huge[0], "\xFF\xFF\xFF\x7F", 4);
    const Bytes cases[] = {
        InfoHeader(4, 4, 8, BI_RGB, 300) + Bytes(1200, '\0') + pixels4x4,    // more colours than 8 bits index
        InfoHeader(4, 4, 8, BI_RGB, 256) + Bytes(16, '\0') + pixels4x4,      // table cut short
        InfoHeader(4, 4, 24) + Bytes(47, '\0'),                              // one byte short of the pixels
        InfoHeader(4, 4, 8, BI_RLE8, 0, 4000) + Bytes(1024, '\0') + "\0\1",  // runs beyond the block
        InfoHeader(0x10000, 0x10000, 32) + Bytes(64, '\0'),
        InfoHeader(4, 4, 7) + Bytes(64, '\0'),
        huge,
        Bytes("\x28\x00", 2),
    };
    for (const Bytes& dib : cases) DropDib(dib);
    EXPECT_EQ(0, window_.images);
}

TEST_F(DropWindow, ADroppedBitmapIsKeptByTheWindowAndTheOneBeforeDeleted) {
    HBITMAP source = MakeBitmap(5, 4, Checker);
    const std::vector<DWORD> expected = Pixels(source);
    CIDataObject* data = DataWith(CF_BITMAP, TYMED_GDI, source);
    DropData(data);
    ExpectPicture({5, 4}, expected);
    HBITMAP first = window_.picture;
    EXPECT_NE(source, first);
    DropData(data);
    EXPECT_NE(first, window_.picture);
    EXPECT_EQ(0u, GetObjectType(first));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(window_.picture));
    data->Release();
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(window_.picture));
}

// A bitmap that its source frees through a release object is not the window's to keep.
TEST_F(DropWindow, ABitmapTheSourceStillOwnsIsCopiedForTheWindow) {
    class Holder : public CUnknownImpl<IUnknown> {};
    Holder* holder = new Holder;
    holder->AddRef();
    HBITMAP source = MakeBitmap(3, 3, Checker);
    FORMATETC format = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    STGMEDIUM medium = {TYMED_GDI, {source}, holder};
    EXPECT_TRUE(window_.manager.OnDrop(&format, medium, nullptr));
    ExpectPicture({3, 3}, Pixels(source));
    EXPECT_NE(source, window_.picture);
    holder->Release();
    DeleteObject(source);
}

TEST_F(DropWindow, ADroppedMetafileIsPlayedIntoABitmapOfItsBounds) {
    HBITMAP picture = MakeBitmap(40, 30, Checker);
    HDC screen = GetDC(nullptr);
    HDC record = CreateEnhMetaFileW(screen, nullptr, nullptr, nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(record, 0, 0, 40, 30, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    Drop(CF_ENHMETAFILE, TYMED_ENHMF, CloseEnhMetaFile(record));
    ExpectPicture({40, 30}, Pixels(picture));
    DeleteObject(picture);
}

Bytes BmpFile(int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    Bytes file;
    Put(file, BITMAPFILEHEADER{0x4D42, static_cast<DWORD>(54 + stride * height), 0, 0, 54});
    Put(file, BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0});
    for (int y = height - 1; y >= 0; --y) {
        Bytes row;
        for (int x = 0; x < width; ++x) Put(row, Checker(x, y));  // BGR plus a spare byte
        for (int x = 0; x < width; ++x) file.append(row, x * 4, 3);
        file.append(stride - width * 3, '\0');
    }
    return file;
}

HGLOBAL FileList(const std::vector<std::wstring>& names, DWORD offset = sizeof(DROPFILES), bool terminated = true) {
    Bytes list;
    Put(list, DROPFILES{offset, {0, 0}, FALSE, TRUE});
    for (const std::wstring& name : names) list.append(reinterpret_cast<const char*>(name.c_str()), (name.size() + 1) * 2);
    if (terminated) list.append(2, '\0');
    return GlobalWith(list.data(), list.size());
}

TEST_F(DropWindow, OnlyTheFirstDroppedFileIsShownAndOnlyWhenItsNameFits) {
    const std::wstring bmp = TestFiles::TempFolder() + L"dropped.bmp";
    const std::wstring other = TestFiles::TempFolder() + L"other.bmp";
    ASSERT_TRUE(TestFiles::Write(bmp, BmpFile(6, 5)));
    ASSERT_TRUE(TestFiles::Write(other, BmpFile(2, 2)));
    std::vector<DWORD> expected;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) expected.push_back(Checker(x, y));

    // A cut-off name would be another file; a list that runs off its block is not read.
    const std::wstring longName = TestFiles::TempFolder() + std::wstring(600, L'x') + L".bmp";
    for (HGLOBAL refused : {FileList({longName, bmp}), FileList({bmp}, 4096), FileList({bmp}, sizeof(DROPFILES), false),
                            FileList({})}) {
        Drop(CF_HDROP, TYMED_HGLOBAL, refused);
    }
    EXPECT_EQ(0, window_.images);
    Drop(CF_HDROP, TYMED_HGLOBAL, FileList({bmp, other}));
    ExpectPicture({6, 5}, expected);
}

TEST_F(DropWindow, DataInNoAcceptedFormatIsNeitherAllowedNorDropped) {
    const char text[] = "not a picture";
    CIDataObject* data = DataWith(CF_TEXT, TYMED_HGLOBAL, GlobalWith(text, sizeof(text)));
    IDropTarget* target = &window_.manager;
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(S_OK, target->DragEnter(data, 0, POINTL{310, 210}, &effect));
    EXPECT_EQ(DROPEFFECT_NONE, effect);
    EXPECT_EQ(DROPEFFECT_NONE, DropData(data));
    data->Release();
    EXPECT_EQ(0, window_.images);
    EXPECT_EQ(0, window_.releases);
}

}  // namespace
