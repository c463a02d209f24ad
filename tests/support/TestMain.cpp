// Entry of every test executable: GoogleTest's own, kept here so that process-wide
// set-up that all areas need has one place to live.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
