// Layered-window opacity and colour key on real windows.
#include "pictures/layered.h"

#include <gtest/gtest.h>

#include "support/app_fixture.h"

namespace pintaro::test {
namespace {

class LayeredTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"STATIC", L"layered", WS_POPUP | WS_VISIBLE, 10, 10, 50,
                           50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
  }
  void TearDown() override { DestroyWindow(hwnd); }

  void Attributes(COLORREF& key, BYTE& alpha, DWORD& flags) {
    ASSERT_TRUE(GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags));
  }

  HWND hwnd = nullptr;
};

TEST_F(LayeredTest, SetLayeredKeepsOtherStylesAndMapsZeroTo128) {
  SetLayered(hwnd, 0);
  const LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_LAYERED);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_EQ(WindowOpacity(hwnd), 128);
  SetLayered(hwnd, 255);
  EXPECT_EQ(WindowOpacity(hwnd), 255);
}

TEST_F(LayeredTest, SetAlphaClampsToOneTo255) {
  SetLayered(hwnd, 255);
  SetAlpha(hwnd, 0);
  EXPECT_EQ(WindowOpacity(hwnd), 1);
  SetAlpha(hwnd, -40);
  EXPECT_EQ(WindowOpacity(hwnd), 1);
  SetAlpha(hwnd, 300);
  EXPECT_EQ(WindowOpacity(hwnd), 255);
  SetAlpha(hwnd, 127);
  EXPECT_EQ(WindowOpacity(hwnd), 127);
}

TEST_F(LayeredTest, ColourKeyAndOpacityReplaceEachOther) {
  SetLayered(hwnd, 255);
  SetColorKey(hwnd, RGB(255, 0, 0), 0);
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  Attributes(key, alpha, flags);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
  EXPECT_EQ(key, RGB(255, 0, 0));

  SetAlpha(hwnd, 63);
  Attributes(key, alpha, flags);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
  EXPECT_EQ(alpha, 63);
}

}  // namespace
}  // namespace pintaro::test
