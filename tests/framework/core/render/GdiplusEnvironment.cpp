// The drawing helpers use GDI+, which the paint manager starts in the programs.
#include <windows.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

namespace {

class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&m_token, &input, nullptr));
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};

const ::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace
