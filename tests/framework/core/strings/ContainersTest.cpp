#include <UIGeometry.h>
#include <UIPtrArray.h>
#include <UIStringMap.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace HiveUI;

namespace {

void* P(int i) { return reinterpret_cast<void*>(static_cast<intptr_t>(i)); }

// Keys that share one bucket of an 83-bucket map, found by the map's own hash.
std::vector<std::wstring> CollidingKeys(int count, int buckets = 83) {
    std::vector<std::wstring> keys;
    const unsigned target = CUIStringMap::Hash(L"k0") % buckets;
    for (int i = 0; static_cast<int>(keys.size()) < count; ++i) {
        std::wstring key = L"k" + std::to_wstring(i);
        if (CUIStringMap::Hash(key.c_str()) % buckets == target) keys.push_back(key);
    }
    return keys;
}

std::vector<std::wstring> Enumerate(const CUIStringMap& map) {
    std::vector<std::wstring> keys;
    for (int i = 0; map.GetAt(i) != nullptr; ++i) keys.push_back(map.GetAt(i));
    return keys;
}

}  // namespace

TEST(UIPtrArray, CapacityGrowsElevenTwentyTwoFortyFour) {
    CUIPtrArray a;
    for (int i = 1; i <= 11; ++i) ASSERT_TRUE(a.Add(P(i)));
    // Full at 11 means grown to 22: slots past the count exist. InsertAt at count appends.
    EXPECT_TRUE(a.InsertAt(11, P(12)));
    EXPECT_FALSE(a.InsertAt(13, P(99)));
    EXPECT_FALSE(a.InsertAt(-1, P(99)));
    EXPECT_EQ(12, a.GetSize());
    for (int i = 0; i < 12; ++i) EXPECT_EQ(P(i + 1), a[i]);
}

TEST(UIPtrArray, InsertRemoveFindAndBounds) {
    CUIPtrArray a(4);
    EXPECT_TRUE(a.IsEmpty());
    a.Add(P(1));
    a.Add(P(3));
    EXPECT_TRUE(a.InsertAt(1, P(2)));
    EXPECT_TRUE(a.InsertAt(0, P(0)));
    ASSERT_EQ(4, a.GetSize());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(P(i), a.GetAt(i));
    EXPECT_EQ(nullptr, a.GetAt(4));
    EXPECT_EQ(nullptr, a.GetAt(-1));
    EXPECT_EQ(2, a.Find(P(2)));
    EXPECT_EQ(-1, a.Find(P(7)));
    EXPECT_TRUE(a.Remove(1));
    EXPECT_FALSE(a.Remove(3));
    EXPECT_EQ(P(2), a[1]);
    EXPECT_EQ(P(3), a[2]);
    EXPECT_TRUE(a.SetAt(2, P(9)));
    EXPECT_FALSE(a.SetAt(3, P(9)));
    CUIPtrArray copy(a);
    EXPECT_EQ(3, copy.GetSize());
    EXPECT_EQ(P(9), copy[2]);
    a.Resize(5);
    EXPECT_EQ(5, a.GetSize());
    EXPECT_EQ(nullptr, a[4]);
    EXPECT_TRUE(a.Add(P(6)));
    EXPECT_EQ(P(6), a[5]);
    a.Empty();
    EXPECT_TRUE(a.IsEmpty());
}

TEST(UIStringMap, KeysAreExactAndInsertNeverReplaces) {
    CUIStringMap map;
    EXPECT_TRUE(map.Insert(L"Name", P(1)));
    EXPECT_TRUE(map.Insert(L"name", P(2)));
    EXPECT_FALSE(map.Insert(L"Name", P(3)));
    EXPECT_EQ(P(1), map.Find(L"Name"));
    EXPECT_EQ(P(2), map.Find(L"name"));
    EXPECT_EQ(nullptr, map.Find(L"NAME"));
    EXPECT_EQ(2, map.GetSize());
    EXPECT_EQ(P(1), map.Set(L"Name", P(4)));
    EXPECT_EQ(P(4), map.Find(L"Name"));
    EXPECT_EQ(nullptr, map.Set(L"new", P(5)));
    EXPECT_EQ(3, map.GetSize());
}

TEST(UIStringMap, AKeyStoredWithANullValueIsStillPresent) {
    CUIStringMap map;
    EXPECT_TRUE(map.Insert(L"empty", nullptr));
    EXPECT_FALSE(map.Insert(L"empty", P(1)));
    EXPECT_EQ(1, map.GetSize());
    EXPECT_EQ(nullptr, map.Set(L"empty", P(2)));
    EXPECT_EQ(1, map.GetSize());
    EXPECT_EQ(P(2), map.Find(L"empty"));
}

TEST(UIStringMap, HashFoldsFromTheLastCharacter) {
    // "ab": h = 'b' then h * 33 + 'a'.
    EXPECT_EQ(98u * 33u + 97u, CUIStringMap::Hash(L"ab"));
    EXPECT_EQ(0u, CUIStringMap::Hash(L""));
}

TEST(UIStringMap, RemovingFromHeadMiddleAndTailOfABucketKeepsTheRest) {
    const auto keys = CollidingKeys(5);
    for (int victim = 0; victim < 5; ++victim) {
        CUIStringMap map;
        for (int i = 0; i < 5; ++i) ASSERT_TRUE(map.Insert(keys[i].c_str(), P(i + 1)));
        // Chain order is newest first: keys[4] is the head, keys[0] the tail.
        EXPECT_TRUE(map.Remove(keys[victim].c_str())) << victim;
        EXPECT_FALSE(map.Remove(keys[victim].c_str())) << victim;
        EXPECT_EQ(4, map.GetSize());
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(i == victim ? nullptr : P(i + 1), map.Find(keys[i].c_str(), false)) << victim << " " << i;
        }
        EXPECT_EQ(4u, Enumerate(map).size());
    }
}

TEST(UIStringMap, FindMovesAHitToTheFrontOfItsChain) {
    const auto keys = CollidingKeys(3);
    CUIStringMap map;
    for (const auto& k : keys) map.Insert(k.c_str(), P(1));
    EXPECT_EQ((std::vector<std::wstring>{keys[2], keys[1], keys[0]}), Enumerate(map));
    map.Find(keys[0].c_str(), false);
    EXPECT_EQ((std::vector<std::wstring>{keys[2], keys[1], keys[0]}), Enumerate(map));
    map.Find(keys[0].c_str());
    EXPECT_EQ((std::vector<std::wstring>{keys[0], keys[2], keys[1]}), Enumerate(map));
    // A refused insertion moves the existing item too.
    EXPECT_FALSE(map.Insert(keys[1].c_str(), P(2)));
    EXPECT_EQ((std::vector<std::wstring>{keys[1], keys[0], keys[2]}), Enumerate(map));
}

TEST(UIStringMap, EnumerationRunsFromTheLastBucketDown) {
    CUIStringMap map;
    std::vector<std::pair<unsigned, std::wstring>> expected;
    for (const wchar_t* key : {L"pos", L"text", L"bkcolor", L"name", L"width"}) {
        map.Insert(key, P(1));
        expected.push_back({CUIStringMap::Hash(key) % 83, key});
    }
    const auto order = Enumerate(map);
    ASSERT_EQ(5u, order.size());
    for (size_t i = 1; i < order.size(); ++i) {
        EXPECT_GE(CUIStringMap::Hash(order[i - 1].c_str()) % 83, CUIStringMap::Hash(order[i].c_str()) % 83);
    }
    EXPECT_EQ(nullptr, map.GetAt(5));
    EXPECT_EQ(nullptr, map.GetAt(-1));
}

TEST(UIStringMap, SmallBucketCountsAndAZeroBucketMap) {
    CUIStringMap map(5);
    // With 16 buckets, keys 16 apart in hash share a bucket; with 5 they would not all.
    map.Insert(L"a", P(1));
    EXPECT_EQ(P(1), map.Find(L"a"));
    map.Resize(0);
    EXPECT_EQ(0, map.GetSize());
    EXPECT_FALSE(map.Insert(L"a", P(1)));
    EXPECT_EQ(P(7), map.Set(L"a", P(7)));
    EXPECT_EQ(nullptr, map.Find(L"a"));
    EXPECT_FALSE(map.Remove(L"a"));
    EXPECT_EQ(nullptr, map.GetAt(0));
    map.Resize(-3);
    EXPECT_FALSE(map.Insert(L"b", P(1)));
    map.Resize(83);
    EXPECT_TRUE(map.Insert(L"b", P(1)));
    map.RemoveAll();
    EXPECT_EQ(0, map.GetSize());
    EXPECT_TRUE(map.Insert(L"b", P(1)));
}

TEST(UIStringMap, ManyKeysSurviveLongChains) {
    CUIStringMap map(16);
    for (int i = 0; i < 2000; ++i) ASSERT_TRUE(map.Insert((L"key" + std::to_wstring(i)).c_str(), P(i + 1)));
    for (int i = 0; i < 2000; i += 2) ASSERT_TRUE(map.Remove((L"key" + std::to_wstring(i)).c_str()));
    EXPECT_EQ(1000, map.GetSize());
    for (int i = 0; i < 2000; ++i) {
        EXPECT_EQ(i % 2 ? P(i + 1) : nullptr, map.Find((L"key" + std::to_wstring(i)).c_str()));
    }
    EXPECT_EQ(1000u, Enumerate(map).size());
}

TEST(UIStringMap, AGrowingMapKeepsEveryKeyAcrossItsGrowth) {
    CUIStringMap map(83, true);
    const auto key = [](int i) { return L"control" + std::to_wstring(i); };
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 5000; ++i) ASSERT_TRUE(map.Insert(key(i).c_str(), P(i + 1)));
        EXPECT_FALSE(map.Insert(key(42).c_str(), P(0)));
        for (int i = 0; i < 5000; i += 3) ASSERT_TRUE(map.Remove(key(i).c_str()));
        for (int i = 1; i < 5000; i += 3) EXPECT_EQ(P(i + 1), map.Set(key(i).c_str(), P(-i)));
        for (int i = 0; i < 5000; ++i) {
            void* expected = i % 3 == 0 ? nullptr : i % 3 == 1 ? P(-i) : P(i + 1);
            ASSERT_EQ(expected, map.Find(key(i).c_str())) << i;
        }
        EXPECT_EQ(3333, map.GetSize());
        EXPECT_EQ(3333u, Enumerate(map).size());
        map.Resize(83);
    }
}

TEST(UIGeometry, RectOperations) {
    CUIRect r(10, 20, 110, 70);
    EXPECT_EQ(100, r.GetWidth());
    EXPECT_EQ(50, r.GetHeight());
    EXPECT_FALSE(r.IsNull());
    EXPECT_TRUE(CUIRect().IsNull());
    r.Join(CUIRect(0, 30, 50, 90));
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(20, r.top);
    EXPECT_EQ(110, r.right);
    EXPECT_EQ(90, r.bottom);
    r.Deflate(5, 10);
    EXPECT_EQ((RECT{5, 30, 105, 80}).right, r.right);
    EXPECT_EQ(30, r.top);
    EXPECT_EQ(80, r.bottom);
    r.MoveToOrigin();
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(100, r.right);
    EXPECT_EQ(50, r.bottom);
    r.Offset(-3, 4);
    EXPECT_EQ(-3, r.left);
    EXPECT_EQ(54, r.bottom);
    // The records pass straight to Win32.
    RECT a{0, 0, 10, 10}, b{5, 5, 20, 20}, out{};
    EXPECT_TRUE(IntersectRect(&out, &a, &b));
    CUIRect copy(out);
    EXPECT_EQ(5, copy.GetWidth());
    CUIPoint p(3, 4);
    EXPECT_EQ(4, p.y);
    CUISize s(7, 8);
    EXPECT_EQ(7, s.cx);
    EXPECT_EQ(0, CUISize().cy);
}
