// Finding controls: by name through the map filled when a tree is attached, and by
// point through a hit-testing walk where the topmost control wins.
#include "../routing/RoutingKit.h"

using namespace HiveUI;

namespace {

TEST_F(RoutingWindow, NamesAreCollectedWhenATreeIsAttachedAndTheLaterOfTwoWins) {
    EXPECT_EQ(a_, manager().FindControl(L"a"));
    EXPECT_EQ(b_, manager().FindControl(L"b"));
    EXPECT_EQ(nullptr, manager().FindControl(L"missing"));
    TestBox* tree = new TestBox;
    Probe* first = tree->Add(new Probe(log_, L"twin"), RECT{0, 0, 10, 10});
    Probe* second = tree->Add(new Probe(log_, L"twin"), RECT{0, 0, 10, 10});
    tree->Add(new Probe(log_, L""), RECT{0, 0, 10, 10});
    manager().AttachRoot(tree);
    EXPECT_EQ(second, manager().FindControl(L"twin"));
    // Forgetting the first twin leaves the map entry of the second alone.
    tree->children.erase(tree->children.begin());
    delete first;
    EXPECT_EQ(second, manager().FindControl(L"twin"));
    tree->children.erase(tree->children.begin());
    delete second;
    EXPECT_EQ(nullptr, manager().FindControl(L"twin"));
    Pump();
}

TEST_F(RoutingWindow, AControlNamedOrRenamedAfterAttachingIsFoundByItsNewName) {
    Probe* late = root_->Add(new Probe(log_, L""), RECT{0, 0, 5, 5});
    late->SetName(L"late");
    EXPECT_EQ(late, manager().FindControl(L"late"));
    a_->SetName(L"renamed");
    EXPECT_EQ(a_, manager().FindControl(L"renamed"));
    EXPECT_EQ(nullptr, manager().FindControl(L"a"));
}

TEST_F(RoutingWindow, PointSearchesFindTheTopmostVisibleMouseEnabledControl) {
    const struct {
        POINT pt;
        CControlUI* expected;
    } cases[] = {
        {{20, 20}, a_}, {{50, 50}, b_}, {{90, 90}, b_}, {{5, 5}, root_}, {{300, 300}, nullptr},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, manager().FindControlAt(c.pt)) << c.pt.x << "," << c.pt.y;
    b_->SetVisible(false);
    EXPECT_EQ(a_, manager().FindControlAt(POINT{50, 50}));
    b_->SetVisible(true);
    b_->SetMouseEnabled(false);
    EXPECT_EQ(a_, manager().FindControlAt(POINT{50, 50}));
    EXPECT_EQ(root_, manager().FindControlAt(POINT{90, 90}));
}

}  // namespace
