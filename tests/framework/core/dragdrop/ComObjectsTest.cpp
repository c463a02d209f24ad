#include <DropSource.h>
#include <DropTarget.h>
#include <EnumFormatEtc.h>

#include "DragDropKit.h"

using namespace HiveUI;

namespace {

testing::Environment* const g_ole = testing::AddGlobalTestEnvironment(new OleEnvironment);

FORMATETC Format(CLIPFORMAT format, DWORD tymed, DWORD aspect = DVASPECT_CONTENT) {
    return FORMATETC{format, nullptr, aspect, -1, tymed};
}

// An owner of media that counts how often it is held.
class Holder : public CUnknownImpl<IUnknown> {};

int References(IUnknown* object) {
    object->AddRef();
    return static_cast<int>(object->Release());
}

TEST(DataObject, QueryGetDataAnswersByAspectTymedAndTheLastFormatLookedAt) {
    CIDataObject* data = DataWith(CF_BITMAP, TYMED_GDI, nullptr);
    FORMATETC dib = Format(CF_DIB, TYMED_HGLOBAL);
    STGMEDIUM memory = {TYMED_HGLOBAL, {nullptr}, nullptr};
    memory.hGlobal = GlobalAlloc(GMEM_MOVEABLE, 4);
    ASSERT_EQ(S_OK, data->SetData(&dib, &memory, TRUE));
    const struct {
        FORMATETC query;
        HRESULT answer;
    } cases[] = {
        {Format(CF_BITMAP, TYMED_GDI), S_OK},
        {Format(CF_DIB, TYMED_HGLOBAL | TYMED_ISTREAM), S_OK},
        {Format(CF_BITMAP, TYMED_GDI, DVASPECT_THUMBNAIL), DV_E_DVASPECT},
        {Format(CF_TEXT, TYMED_HGLOBAL), DV_E_CLIPFORMAT},
        // The bitmap shares the tymed, but the DIB examined last does not.
        {Format(CF_TEXT, TYMED_GDI), DV_E_TYMED},
        {Format(CF_DIB, TYMED_ISTREAM), DV_E_TYMED},
    };
    for (const auto& c : cases) {
        FORMATETC query = c.query;
        EXPECT_EQ(c.answer, data->QueryGetData(&query)) << query.cfFormat;
    }
    EXPECT_EQ(E_INVALIDARG, data->QueryGetData(nullptr));
    data->Release();

    auto* empty = new CIDataObject(nullptr);
    empty->AddRef();
    FORMATETC any = Format(CF_TEXT, TYMED_HGLOBAL);
    EXPECT_EQ(DV_E_TYMED, empty->QueryGetData(&any));
    FORMATETC out = {};
    EXPECT_EQ(DATA_S_SAMEFORMATETC, empty->GetCanonicalFormatEtc(&any, &out));
    EXPECT_EQ(E_INVALIDARG, empty->GetCanonicalFormatEtc(&any, nullptr));
    EXPECT_EQ(E_NOTIMPL, empty->GetDataHere(&any, nullptr));
    EXPECT_EQ(OLE_E_ADVISENOTSUPPORTED, empty->DAdvise(&any, 0, nullptr, nullptr));
    EXPECT_EQ(OLE_E_ADVISENOTSUPPORTED, empty->EnumDAdvise(nullptr));
    EXPECT_EQ(E_NOTIMPL, empty->DUnadvise(0));
    empty->Release();
}

TEST(DataObject, GetDataHandsOutCopiesAndReleasesEachMediumOnce) {
    const char text[] = "hive";
    CIDataObject* data = DataWith(CF_TEXT, TYMED_HGLOBAL, GlobalWith(text, sizeof(text)));
    FORMATETC query = Format(CF_TEXT, TYMED_HGLOBAL);
    STGMEDIUM first = {}, second = {};
    ASSERT_EQ(S_OK, data->GetData(&query, &first));
    ASSERT_EQ(S_OK, data->GetData(&query, &second));
    EXPECT_NE(first.hGlobal, second.hGlobal);
    EXPECT_STREQ(text, static_cast<const char*>(GlobalLock(second.hGlobal)));
    GlobalUnlock(second.hGlobal);
    ReleaseStgMedium(&first);
    ReleaseStgMedium(&second);
    FORMATETC missing = Format(CF_TEXT, TYMED_HGLOBAL, DVASPECT_ICON);
    STGMEDIUM none = {TYMED_HGLOBAL, {reinterpret_cast<HBITMAP>(1)}, nullptr};
    EXPECT_EQ(DV_E_FORMATETC, data->GetData(&missing, &none));
    EXPECT_EQ(nullptr, none.hGlobal);
    EXPECT_EQ(E_INVALIDARG, data->GetData(nullptr, &none));
    data->Release();

    // A medium with a release object is released once, by whoever holds it; a copy is
    // a duplicate of its own.
    Holder* holder = new Holder;
    holder->AddRef();
    for (BOOL release : {TRUE, FALSE}) {
        auto* object = new CIDataObject(nullptr);
        object->AddRef();
        HGLOBAL memory = GlobalWith(text, sizeof(text));
        STGMEDIUM medium = {TYMED_HGLOBAL, {nullptr}, holder};
        medium.hGlobal = memory;
        holder->AddRef();
        ASSERT_EQ(S_OK, object->SetData(&query, &medium, release));
        STGMEDIUM copy = {};
        ASSERT_EQ(S_OK, object->GetData(&query, &copy));
        EXPECT_NE(memory, copy.hGlobal);
        EXPECT_EQ(nullptr, copy.pUnkForRelease);
        ReleaseStgMedium(&copy);
        EXPECT_EQ(2, References(holder));
        object->Release();
        if (!release) ReleaseStgMedium(&medium);
        EXPECT_EQ(1, References(holder)) << release;
        GlobalFree(memory);
    }
    holder->Release();
}

TEST(FormatEnumerator, NextSkipResetAndCloneFollowTheCursor) {
    CIDataObject* data = DataWith(CF_BITMAP, TYMED_GDI, nullptr);
    for (CLIPFORMAT format : {CF_DIB, CF_HDROP}) {
        FORMATETC etc = Format(format, TYMED_HGLOBAL);
        STGMEDIUM medium = {TYMED_HGLOBAL, {nullptr}, nullptr};
        data->SetData(&etc, &medium, TRUE);
    }
    IEnumFORMATETC* formats = nullptr;
    EXPECT_EQ(E_NOTIMPL, data->EnumFormatEtc(DATADIR_SET, &formats));
    EXPECT_EQ(E_POINTER, data->EnumFormatEtc(DATADIR_GET, nullptr));
    ASSERT_EQ(S_OK, data->EnumFormatEtc(DATADIR_GET, &formats));
    data->Release();

    FORMATETC got[4] = {};
    ULONG fetched = 9;
    EXPECT_EQ(S_FALSE, formats->Next(2, got, nullptr));
    EXPECT_EQ(0, got[0].cfFormat);
    EXPECT_EQ(S_FALSE, formats->Next(0, got, &fetched));
    EXPECT_EQ(0u, fetched);
    ASSERT_EQ(S_OK, formats->Next(1, got, nullptr));
    EXPECT_EQ(CF_BITMAP, got[0].cfFormat);
    EXPECT_EQ(S_FALSE, formats->Skip(2));  // exactly the two left
    IEnumFORMATETC* clone = nullptr;
    EXPECT_EQ(E_POINTER, formats->Clone(nullptr));
    ASSERT_EQ(S_OK, formats->Clone(&clone));
    ASSERT_EQ(S_OK, formats->Next(2, got, &fetched));
    EXPECT_EQ(2u, fetched);
    EXPECT_EQ(CF_DIB, got[0].cfFormat);
    EXPECT_EQ(CF_HDROP, got[1].cfFormat);
    EXPECT_EQ(S_FALSE, formats->Next(1, got, &fetched));
    EXPECT_EQ(0u, fetched);

    EXPECT_EQ(S_OK, clone->Skip(1));
    EXPECT_EQ(S_FALSE, clone->Next(4, got, &fetched));
    EXPECT_EQ(1u, fetched);
    EXPECT_EQ(CF_HDROP, got[0].cfFormat);
    EXPECT_EQ(S_OK, clone->Reset());
    EXPECT_EQ(S_OK, clone->Next(3, got, &fetched));
    EXPECT_EQ(3u, fetched);
    clone->Release();
    formats->Release();
}

TEST(FormatEnumerator, TargetDevicesAreCopiedForEachReceiver) {
    DVTARGETDEVICE device = {sizeof(DVTARGETDEVICE), 0, 0, 0, 0, {7}};
    FORMATETC withDevice = {CF_TEXT, &device, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    auto* formats = new CEnumFormatEtc(std::vector<FORMATETC>{withDevice});
    formats->AddRef();
    FORMATETC got = {};
    ASSERT_EQ(S_OK, formats->Next(1, &got, nullptr));
    ASSERT_NE(nullptr, got.ptd);
    EXPECT_NE(&device, got.ptd);
    EXPECT_EQ(7, got.ptd->tdData[0]);
    CoTaskMemFree(got.ptd);
    formats->Release();
}

TEST(DropSource, EscapeCancelsAHeldButtonContinuesAndAReleaseDrops) {
    const struct {
        BOOL escape;
        DWORD keys;
        HRESULT answer;
        bool dropped;
    } cases[] = {
        {TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL, false},
        {FALSE, MK_LBUTTON | MK_SHIFT, S_OK, false},
        {FALSE, MK_RBUTTON, S_OK, false},
        {FALSE, MK_CONTROL, DRAGDROP_S_DROP, true},
    };
    for (const auto& c : cases) {
        CIDropSource source;
        EXPECT_EQ(c.answer, source.QueryContinueDrag(c.escape, c.keys)) << c.keys;
        EXPECT_EQ(c.dropped, source.IsDropped());
        EXPECT_EQ(DRAGDROP_S_USEDEFAULTCURSORS, source.GiveFeedback(DROPEFFECT_COPY));
    }
}

class BitmapTarget : public CIDropTarget {
public:
    BitmapTarget() { AddSupportedFormat(Format(CF_BITMAP, TYMED_GDI)); }
    bool OnDrop(FORMATETC*, STGMEDIUM&, DWORD*) override { return true; }
};

TEST(DropTarget, TheModifierKeysChooseAmongTheEffectsTheSourceOffers) {
    const DWORD copyMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    const DWORD moveLink = DROPEFFECT_MOVE | DROPEFFECT_LINK;
    const DWORD all = copyMove | DROPEFFECT_LINK;
    const struct {
        DWORD keys;
        DWORD offered;
        DWORD effect;
    } cases[] = {
        {0, all, DROPEFFECT_COPY},
        {0, moveLink, DROPEFFECT_MOVE},
        {0, DROPEFFECT_LINK, DROPEFFECT_LINK},
        {0, DROPEFFECT_NONE, DROPEFFECT_NONE},
        {MK_CONTROL, all, DROPEFFECT_COPY},
        {MK_CONTROL, moveLink, DROPEFFECT_NONE},
        {MK_SHIFT, copyMove, DROPEFFECT_MOVE},
        {MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_NONE},
        {MK_CONTROL | MK_SHIFT, all, DROPEFFECT_LINK},
        {MK_CONTROL | MK_SHIFT, copyMove, DROPEFFECT_NONE},
    };
    auto* target = new BitmapTarget;
    target->AddRef();
    CIDataObject* bitmap = DataWith(CF_BITMAP, TYMED_GDI, nullptr);
    DWORD effect = all;
    ASSERT_EQ(S_OK, target->DragEnter(bitmap, 0, POINTL{0, 0}, &effect));
    for (const auto& c : cases) {
        effect = c.offered;
        EXPECT_EQ(c.effect != DROPEFFECT_NONE, target->QueryDrop(c.keys | MK_LBUTTON, &effect));
        EXPECT_EQ(c.effect, effect) << c.keys << " over " << c.offered;
        effect = c.offered;
        EXPECT_EQ(S_OK, target->DragOver(c.keys, POINTL{1, 1}, &effect));
        EXPECT_EQ(c.effect, effect);
    }
    EXPECT_EQ(S_OK, target->DragLeave());
    effect = all;
    EXPECT_FALSE(target->QueryDrop(0, &effect));
    EXPECT_EQ(DROPEFFECT_NONE, effect);

    // Data offering none of the accepted formats may not be dropped.
    CIDataObject* text = DataWith(CF_TEXT, TYMED_HGLOBAL, nullptr);
    effect = all;
    EXPECT_EQ(S_OK, target->DragEnter(text, 0, POINTL{0, 0}, &effect));
    EXPECT_EQ(DROPEFFECT_NONE, effect);
    EXPECT_EQ(E_INVALIDARG, target->DragEnter(nullptr, 0, POINTL{0, 0}, &effect));
    text->Release();
    bitmap->Release();
    target->Release();
}

}  // namespace
