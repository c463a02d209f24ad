// The page pictures' decoder: a picture's decoding takes no more than its declared size
// needs, whatever its compressed data inflates to, and a document's pictures together
// keep to their budget; what decoding took goes back to it exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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
        ImageBudget budget(engine::kMaxDocumentImageBytes);
        const auto image = DecodeImage(c.png, budget);
        EXPECT_EQ(c.side, image ? image->width : 0) << c.what;
        // Only the pixels shown stay charged.
        EXPECT_EQ(engine::kMaxDocumentImageBytes - 4LL * c.side * c.side, budget.load()) << c.what;
    }
}

TEST(ImageDecoder, ADocumentsPicturesAreLeftOutOnceItsBudgetIsSpent) {
    const long long kBudget = 4 << 20;
    const long long kKept = 256 * 256 * 4;
    const std::string png = TestPng::Solid(256, 256, 8, 6, "\x40\x40\x40\x40");
    ImageBudget budget(kBudget);
    std::vector<bool> shown;
    for (int i = 0; i < 20; ++i) shown.push_back(DecodeImage(png, budget) != nullptr);
    const long long count = std::count(shown.begin(), shown.end(), true);
    EXPECT_TRUE(std::is_partitioned(shown.begin(), shown.end(), [](bool s) { return s; }));
    // The last picture that fits still needs room to decode in: the pixels it is made
    // from beside those it keeps.
    EXPECT_GE(count, kBudget / kKept - 3);
    EXPECT_LT(count, kBudget / kKept);
    EXPECT_EQ(kBudget - count * kKept, budget.load());
}

}  // namespace
