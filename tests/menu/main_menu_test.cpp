// The main menu's commands on all picture windows, the wheel and the paste item, in the test process.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/program.h"
#include "icon_window/icon_window.h"
#include "menu/main_menu.h"
#include "menu/main_menu_ids.h"
#include "picture_window/picture_window.h"
#include "pictures/picture_windows.h"
#include "support/app_fixture.h"
#include "support/test_files.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

class MainMenuTest : public AppTest {
 protected:
  PictureWindow& Open(const wchar_t* name, int width, int height) {
    WritePicture(dir / name, MakeGradient(width, height), PictureFormat::Bmp);
    OpenPictureFile(dir / name);
    return *PictureWindows()[TheIconWindow()->LastOpenedSlot()];
  }
  static void Wheel(int distance) { SendMessageW(TheIconWindow()->hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, distance), 0); }
  static POINT Centre(HWND hwnd) {
    const RECT r = RectOf(hwnd);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  static int CheckedSize() {
    for (int preset = 0; preset < main_menu::kSizeItemCount; ++preset) {
      if (TheMainMenu().IsChecked(main_menu::kSize0 + preset)) return preset;
    }
    return -1;
  }
  TempDir dir;
};

TEST_F(MainMenuTest, ASizeForAllKeepsEachCentreSkipsFreeSlotsAndTheWheelStepsBetweenItsStops) {
  StartProgram();
  PictureWindow& wide = Open(L"wide.bmp", 400, 300);
  PictureWindow& tall = Open(L"tall.bmp", 300, 400);
  PictureWindow& closed = Open(L"closed.bmp", 400, 300);
  closed.CloseAndFreeSlot();
  SetWindowPos(wide.hwnd(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const POINT tallCentre = Centre(tall.hwnd());
  ASSERT_EQ(CheckedSize(), 2) << "160 at start";

  TheMainMenu().ChooseDisplaySize(0);
  EXPECT_EQ(RectOf(wide.hwnd()), (RECT{140, 130, 220, 190})) << "centre kept at 2700, 2400 twips";
  EXPECT_EQ(WindowSize(tall.hwnd()), (SIZE{60, 80}));
  EXPECT_EQ(Centre(tall.hwnd()), tallCentre);
  EXPECT_FALSE(IsWindowVisible(closed.hwnd())) << "a free slot stays closed";
  EXPECT_EQ(CheckedSize(), 0);
  EXPECT_EQ(&Open(L"again.bmp", 400, 300), &closed);
  EXPECT_EQ(WindowSize(closed.hwnd()), (SIZE{80, 60})) << "the reused slot opens at the new size";

  TheMainMenu().ChooseDisplaySize(0);  // already checked: nothing moves
  EXPECT_EQ(RectOf(wide.hwnd()), (RECT{140, 130, 220, 190}));

  // Wheel distance and the longer side after it.
  const std::pair<int, int> steps[] = {{-120, 80}, {120, 120}, {240, 160}, {120, 240},
                                       {120, 320}, {120, 480}, {120, 480}, {-120, 320}};
  for (const auto& [distance, size] : steps) {
    Wheel(distance);
    EXPECT_EQ(WindowSize(wide.hwnd()).cx, size) << "after " << distance;
    EXPECT_EQ(Settings().displaySize, size);
  }
  EXPECT_EQ(CheckedSize(), 4);

  // A turn that arrives while the size change lets messages run is passed over.
  InNextPump nested([] { Wheel(-120); });
  Wheel(-120);
  EXPECT_TRUE(nested.ran());
  EXPECT_EQ(Settings().displaySize, 240);
  EXPECT_EQ(GetFocus(), TheIconWindow()->hwnd()) << "the icon window keeps the wheel";
}

TEST_F(MainMenuTest, TransparencyForAllMarksEverySlotAndReachesLaterPictures) {
  StartProgram();
  PictureWindow& own = Open(L"own.bmp", 40, 30);
  PictureWindow& closed = Open(L"closed.bmp", 40, 30);
  closed.CloseAndFreeSlot();
  own.SetOwnOpacity(3);

  TheMainMenu().ChooseOpacityForAll(2);
  EXPECT_EQ(WindowOpacity(own.hwnd()), 127);
  for (PictureWindow* window : {&own, &closed}) {
    for (int preset = 0; preset < 4; ++preset) EXPECT_EQ(window->IsOpacityChecked(preset), preset == 2);
  }
  EXPECT_FALSE(TheMainMenu().IsChecked(main_menu::kOpacity0 + 2)) << "the main menu's items carry no mark";
  PictureWindow& later = Open(L"later.bmp", 40, 30);
  EXPECT_EQ(&later, &closed);
  EXPECT_EQ(WindowOpacity(later.hwnd()), 127);

  TheMainMenu().ChooseOpacityForAll(0);
  EXPECT_EQ(WindowOpacity(own.hwnd()), 255) << "overrides the window's own choice";
}

TEST_F(MainMenuTest, ThePasteItemFollowsWhetherTheClipboardHoldsABitmap) {
  StartProgram();
  for (const auto& [format, data] : {std::pair<UINT, HANDLE>{CF_BITMAP, CreateBitmap(8, 8, 1, 32, nullptr)},
                                     {CF_UNICODETEXT, GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4)}}) {
    ASSERT_TRUE(OpenClipboard(TheIconWindow()->hwnd()));
    EmptyClipboard();
    SetClipboardData(format, data);
    CloseClipboard();
    EXPECT_TRUE(PumpUntil([&] { return TheMainMenu().PasteEnabled() == (format == CF_BITMAP); }, 5s));
  }
}

// Under Wine the interface fonts reach Japanese glyphs only through the font link the session sets
// up; without it every character of a caption draws as the same box as a character no font has.
TEST(JapaneseCaptions, DrawAsGlyphsInTheMenuFont) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  const auto drawn = [&](const wchar_t* text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(120, 32, 1, 32, nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, CreateFontIndirectW(&metrics.lfMenuFont));
    RECT all{0, 0, 120, 32};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawTextW(dc, text, -1, &all, DT_SINGLELINE | DT_NOPREFIX);
    std::vector<std::uint32_t> pixels(120 * 32);
    GetBitmapBits(bitmap, static_cast<LONG>(pixels.size() * 4), pixels.data());
    DeleteObject(SelectObject(dc, oldFont));
    DeleteObject(SelectObject(dc, oldBitmap));
    DeleteDC(dc);
    return pixels;
  };
  EXPECT_NE(drawn(L"ぴんたろ の終了"), drawn(L"\x0378\x0378\x0378\x0378 \x0378\x0378\x0378"));
}

}  // namespace
}  // namespace pintaro::test
