// Layered-window opacity and colour key on a real window.
#include "pictures/layered.h"

#include <gtest/gtest.h>

#include "support/app_fixture.h"

namespace pintaro::test {
namespace {

TEST(Layered, SetLayeredKeepsOtherStylesAndMapsZeroTo128SetAlphaClampsAndColourKeyAndOpacityReplaceEachOther) {
  const HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"STATIC", L"layered", WS_POPUP | WS_VISIBLE, 10,
                                    10, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  SetLayered(hwnd, 0);
  const LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  EXPECT_EQ(ex & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST), WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
  EXPECT_EQ(WindowOpacity(hwnd), 128);
  SetLayered(hwnd, 255);
  EXPECT_EQ(WindowOpacity(hwnd), 255);
  for (const auto& [alpha, opacity] : {std::pair{0, 1}, {-40, 1}, {300, 255}, {127, 127}}) {
    SetAlpha(hwnd, alpha);
    EXPECT_EQ(WindowOpacity(hwnd), opacity) << alpha;
  }

  SetColorKey(hwnd, RGB(255, 0, 0), 0);
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags));
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
  EXPECT_EQ(key, RGB(255, 0, 0));
  SetAlpha(hwnd, 63);
  ASSERT_TRUE(GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags));
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
  EXPECT_EQ(alpha, 63);
  DestroyWindow(hwnd);
}

}  // namespace
}  // namespace pintaro::test
