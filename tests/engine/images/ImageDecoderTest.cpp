// The page pictures' decoder: a picture's decoding takes no more than its declared size
// needs, whatever its compressed data inflates to, and pictures together keep to their
// budget; what decoding took goes back to it exactly, and a decode nobody wants any more
// stops.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "DecodeBudget.h"
#include "ImageDecoder.h"
#include "PngFile.h"

namespace {

using engine::DecodeImage;
using engine::ImageBudget;

// The zlib stream of megabytes of zeros.
std::string Zeros(unsigned megabytes) { return TestPng::Deflated(std::string(1 << 20, '\0'), megabytes - 1); }

TEST(ImageDecoder, APictureDecodesWithinWhatItsDeclaredSizeNeedsAndNoFurther) {
    // Each inflated stream would fit the process, so only the decoder's bound refuses it.
    const struct {
        const char* what;
        std::string png;
        int side;  // decoded, 0: refused
    } cases[] = {
        {"a real 1x1 picture", TestPng::Solid(1, 1, 8, 6, "\x10\x20\x30\x40"), 1},
        {"1x1 declared, 64 MB inflated", TestPng::Make(1, 1, 8, 6, Zeros(64)), 0},
        {"the largest picture in the heaviest layout, interlaced 16-bit RGBA",
         TestPng::Solid(2048, 2048, 16, 6, std::string(8, '\x7f'), true), 2048},
        {"1024x1024 declared, 128 MB inflated", TestPng::Make(1024, 1024, 8, 6, Zeros(128)), 0},
    };
    for (const auto& c : cases) {
        const auto budget = std::make_shared<ImageBudget>(engine::kMaxEngineImageBytes);
        const auto image = DecodeImage(c.png, budget);
        EXPECT_EQ(c.side, image ? image->width : 0) << c.what;
        // Only the pixels shown stay charged.
        EXPECT_EQ(engine::kMaxEngineImageBytes - 4LL * c.side * c.side, budget->Left()) << c.what;
    }
}

TEST(ImageDecoder, PicturesAreLeftOutOnceThoseShownHoldTheBudget) {
    const long long kBudget = 4 << 20;
    const long long kKept = 256 * 256 * 4;
    const std::string png = TestPng::Solid(256, 256, 8, 6, "\x40\x40\x40\x40");
    const auto budget = std::make_shared<ImageBudget>(kBudget);
    std::vector<std::shared_ptr<const engine::DecodedImage>> shown;
    for (int i = 0; i < 20; ++i) shown.push_back(DecodeImage(png, budget));
    const long long count = std::count_if(shown.begin(), shown.end(), [](const auto& s) { return s != nullptr; });
    EXPECT_TRUE(std::is_partitioned(shown.begin(), shown.end(), [](const auto& s) { return s != nullptr; }));
    // The last picture that fits still needs room to decode in: the pixels it is made
    // from beside those it keeps.
    EXPECT_GE(count, kBudget / kKept - 3);
    EXPECT_LT(count, kBudget / kKept);
    EXPECT_EQ(kBudget - count * kKept, budget->Left());
    shown.clear();
    EXPECT_EQ(kBudget, budget->Left());  // pictures that go give their pixels back
}

// The room the decode would wait for is held by the test, as a decode under way that
// started first; the decode's document goes meanwhile, or had gone already.
TEST(ImageDecoder, ADecodeWhoseDocumentHasGoneStopsAndGivesItsRoomBack) {
    const long long kBudget = 8 << 20;
    const std::string png = TestPng::Solid(256, 256, 8, 6, "\x40\x40\x40\x40");
    const struct {
        const char* what;
        bool roomHeld;
    } cases[] = {{"gone before its decode starts", false}, {"gone while it waits for room", true}};
    for (const auto& c : cases) {
        const auto budget = std::make_shared<ImageBudget>(kBudget);
        std::atomic<bool> gone{!c.roomHeld};
        std::shared_ptr<const engine::DecodedImage> image;
        std::thread decoding;
        {
            const DecodeBudget holding(SIZE_MAX, *budget, budget->Ticket(), nullptr);
            void* room = c.roomHeld ? DecodeBudgetMalloc(kBudget - (64 << 10)) : nullptr;
            decoding = std::thread([&] { image = DecodeImage(png, budget, &gone); });
            gone = true;
            budget->Wake();
            DecodeBudgetFree(room);
        }
        decoding.join();
        EXPECT_EQ(nullptr, image) << c.what;
        EXPECT_EQ(kBudget, budget->Left()) << c.what;
    }
}

}  // namespace
