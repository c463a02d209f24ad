#include <DropSource.h>
#include <DropTarget.h>

#include "DragDropKit.h"

using namespace HiveUI;

namespace {

testing::Environment* const g_ole = testing::AddGlobalTestEnvironment(new OleEnvironment);

FORMATETC Format(CLIPFORMAT format, DWORD tymed, DWORD aspect = DVASPECT_CONTENT) {
    return FORMATETC{format, nullptr, aspect, -1, tymed};
}

void Add(CIDataObject* data, CLIPFORMAT format, DWORD tymed) {
    FORMATETC etc = Format(format, tymed);
    STGMEDIUM medium = {tymed, {nullptr}, nullptr};
    ASSERT_EQ(S_OK, data->SetData(&etc, &medium, TRUE));
}

class Holder : public CUnknownImpl<IUnknown> {};

int References(IUnknown* object) {
    object->AddRef();
    return static_cast<int>(object->Release());
}

TEST(DataObject, QueryGetDataAnswersByAspectTymedAndTheLastFormatLookedAt) {
    CIDataObject* data = DataWith(CF_BITMAP, TYMED_GDI, nullptr);
    Add(data, CF_DIB, TYMED_HGLOBAL);
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
    };
    for (const auto& c : cases) {
        FORMATETC query = c.query;
        EXPECT_EQ(c.answer, data->QueryGetData(&query)) << query.cfFormat;
    }
    data->Release();
}

// A medium with a release object is released once, by whoever holds it; GetData hands out
// duplicates that are the receiver's own.
TEST(DataObject, SetDataKeepsOrCopiesTheMediumAndGetDataHandsOutDuplicates) {
    const char text[] = "hive";
    FORMATETC query = Format(CF_TEXT, TYMED_HGLOBAL);
    Holder* holder = new Holder;
    holder->AddRef();
    for (BOOL release : {TRUE, FALSE}) {
        auto* data = new CIDataObject(nullptr);
        data->AddRef();
        HGLOBAL memory = GlobalWith(text, sizeof(text));
        STGMEDIUM medium = {TYMED_HGLOBAL, {nullptr}, holder};
        medium.hGlobal = memory;
        holder->AddRef();
        ASSERT_EQ(S_OK, data->SetData(&query, &medium, release));
        STGMEDIUM copy = {};
        ASSERT_EQ(S_OK, data->GetData(&query, &copy));
        EXPECT_NE(memory, copy.hGlobal);
        EXPECT_EQ(nullptr, copy.pUnkForRelease);
        EXPECT_STREQ(text, static_cast<const char*>(GlobalLock(copy.hGlobal)));
        GlobalUnlock(copy.hGlobal);
        ReleaseStgMedium(&copy);
        data->Release();
        if (!release) ReleaseStgMedium(&medium);
        EXPECT_EQ(1, References(holder)) << release;
        GlobalFree(memory);
    }
    holder->Release();
}

TEST(FormatEnumerator, NextSkipResetAndCloneFollowTheCursor) {
    CIDataObject* data = DataWith(CF_BITMAP, TYMED_GDI, nullptr);
    Add(data, CF_DIB, TYMED_HGLOBAL);
    Add(data, CF_HDROP, TYMED_HGLOBAL);
    IEnumFORMATETC* formats = nullptr;
    EXPECT_EQ(E_NOTIMPL, data->EnumFormatEtc(DATADIR_SET, &formats));
    ASSERT_EQ(S_OK, data->EnumFormatEtc(DATADIR_GET, &formats));
    data->Release();

    FORMATETC got[4] = {};
    ULONG fetched = 9;
    EXPECT_EQ(S_FALSE, formats->Next(2, got, nullptr));
    EXPECT_EQ(0, got[0].cfFormat);
    ASSERT_EQ(S_OK, formats->Next(1, got, nullptr));
    EXPECT_EQ(CF_BITMAP, got[0].cfFormat);
    EXPECT_EQ(S_FALSE, formats->Skip(2));  // exactly the two left
    IEnumFORMATETC* clone = nullptr;
    ASSERT_EQ(S_OK, formats->Clone(&clone));
    ASSERT_EQ(S_OK, formats->Next(2, got, &fetched));
    EXPECT_EQ(CF_HDROP, got[1].cfFormat);
    EXPECT_EQ(S_FALSE, formats->Next(1, got, &fetched));
    EXPECT_EQ(0u, fetched);

    EXPECT_EQ(S_OK, clone->Skip(1));
    EXPECT_EQ(S_FALSE, clone->Next(4, got, &fetched));
    EXPECT_EQ(1u, fetched);
    EXPECT_EQ(CF_HDROP, got[0].cfFormat);
    EXPECT_EQ(S_OK, clone->Reset());
    EXPECT_EQ(S_OK, clone->Next(3, got, &fetched));
    clone->Release();
    formats->Release();
}

TEST(DropSource, EscapeCancelsAHeldButtonContinuesAndAReleaseDrops) {
    const struct {
        BOOL escape;
        DWORD keys;
        HRESULT answer;
    } cases[] = {{TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL}, {FALSE, MK_RBUTTON, S_OK}, {FALSE, MK_SHIFT, DRAGDROP_S_DROP}};
    for (const auto& c : cases) {
        CIDropSource source;
        EXPECT_EQ(c.answer, source.QueryContinueDrag(c.escape, c.keys)) << c.keys;
        EXPECT_EQ(c.answer == DRAGDROP_S_DROP, source.IsDropped());
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
    CIDataObject* text = DataWith(CF_TEXT, TYMED_HGLOBAL, nullptr);
    DWORD effect = all;
    ASSERT_EQ(S_OK, target->DragEnter(bitmap, 0, POINTL{0, 0}, &effect));
    for (const auto& c : cases) {
        effect = c.offered;
        EXPECT_EQ(S_OK, target->DragOver(c.keys | MK_LBUTTON, POINTL{1, 1}, &effect));
        EXPECT_EQ(c.effect, effect) << c.keys << " over " << c.offered;
    }
    // Data in none of the accepted formats may not be dropped.
    effect = all;
    EXPECT_EQ(S_OK, target->DragEnter(text, 0, POINTL{0, 0}, &effect));
    EXPECT_EQ(DROPEFFECT_NONE, effect);
    text->Release();
    bitmap->Release();
    target->Release();
}

}  // namespace
