// The stacking modes of a picture window: normal, always on top, inside the desktop window.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "picture_window/clip_menu_ids.h"
#include "picture_window_fixture.h"
#include "support/real_input.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

// A top-level window titled "Program Manager", as the shell's desktop window is. It does not start
// at the screen's origin, as the desktop window of a screen set-up with a screen left of or above the
// primary one does not either.
class StandInDesktop {
 public:
  static constexpr RECT kPlace{40, 30, 1000, 740};

  StandInDesktop() {
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", L"Program Manager", WS_POPUP | WS_VISIBLE,
                            kPlace.left, kPlace.top, kPlace.right - kPlace.left, kPlace.bottom - kPlace.top, nullptr,
                            nullptr, nullptr, nullptr);
    SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  ~StandInDesktop() { DestroyWindow(hwnd_); }
  StandInDesktop(const StandInDesktop&) = delete;
  StandInDesktop& operator=(const StandInDesktop&) = delete;
  HWND hwnd() const noexcept { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

enum class Item { OnTop, OnDesktop };

struct Step {
  Item chosen;
  short mode;  // after the choice
  bool topmost;
  bool inDesktop;
};

class WindowOrderTest : public PictureWindowTest {
 protected:
  void Choose(FrmClip& window, Item item) {
    SendMessageW(window.hwnd(), WM_COMMAND, item == Item::OnTop ? clip_menu::kWindowOrder1 : clip_menu::kWindowOrder2,
                 0);
  }
};

TEST_F(WindowOrderTest, EveryTransitionSetsModeChecksParentAndTopmostBandAndTheWindowStaysInPlace) {
  StandInDesktop desktop;
  FrmClip& window = Open(WriteGradient(L"p.bmp", 400, 300));
  const RECT before = [&] {
    RECT rect{};
    GetWindowRect(window.hwnd(), &rect);
    return rect;
  }();
  ASSERT_FALSE(IsTopMost(window.hwnd()));
  ASSERT_EQ(ParentOf(window.hwnd()), nullptr);

  // 0 -> 1 -> 0 -> 2 -> 0 -> 1 -> 2 -> 1: each of the six transitions once.
  const std::vector<Step> steps{
      {Item::OnTop, 1, true, false},      {Item::OnTop, 0, false, false}, {Item::OnDesktop, 2, false, true},
      {Item::OnDesktop, 0, false, false}, {Item::OnTop, 1, true, false},  {Item::OnDesktop, 2, false, true},
      {Item::OnTop, 1, true, false},
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const Step& step = steps[i];
    SCOPED_TRACE(::testing::Message() << "step " << i);
    Choose(window, step.chosen);
    EXPECT_EQ(window.WindowOrder, step.mode);
    EXPECT_EQ(window.IsChecked(clip_menu::kWindowOrder1), step.mode == 1);
    EXPECT_EQ(window.IsChecked(clip_menu::kWindowOrder2), step.mode == 2);
    EXPECT_EQ(ParentOf(window.hwnd()), step.inDesktop ? desktop.hwnd() : nullptr);
    if (!step.inDesktop) {
      EXPECT_EQ(IsTopMost(window.hwnd()), step.topmost);
    }
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
    RECT now{};
    GetWindowRect(window.hwnd(), &now);
    EXPECT_TRUE(EqualRect(&now, &before)) << "the picture stays where it is on the screen: " << now.left << ","
                                          << now.top << " instead of " << before.left << "," << before.top;
  }
}

TEST_F(WindowOrderTest, WithoutADesktopWindowTheBackModeIsRecordedAndTheWindowStaysUsable) {
  ASSERT_EQ(FindWindowW(nullptr, L"Program Manager"), nullptr);
  FrmClip& window = Open(WriteGradient(L"p.bmp", 400, 300));
  const POINT place = TopLeft(window.hwnd());
  Choose(window, Item::OnTop);
  Choose(window, Item::OnDesktop);
  EXPECT_EQ(window.WindowOrder, 2);
  EXPECT_FALSE(window.IsChecked(clip_menu::kWindowOrder1));
  EXPECT_TRUE(window.IsChecked(clip_menu::kWindowOrder2));
  EXPECT_EQ(ParentOf(window.hwnd()), nullptr);
  EXPECT_TRUE(IsTopMost(window.hwnd())) << "it keeps its place in the window order";
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  EXPECT_EQ(TopLeft(window.hwnd()).x, place.x);

  {
    PopupRecorder popups;
    ClickAt(CentreOf(window.hwnd()), Button::Right);
    ASSERT_TRUE(PumpUntil([&] { return !popups.popups().empty(); }, 5s)) << "its menu still opens";
  }
  Choose(window, Item::OnDesktop);
  EXPECT_EQ(window.WindowOrder, 0);
  EXPECT_FALSE(IsTopMost(window.hwnd()));
  EXPECT_FALSE(window.IsChecked(clip_menu::kWindowOrder2));
}

TEST_F(WindowOrderTest, AWindowInTheDesktopStillDragsAndOpensItsMenu) {
  StandInDesktop desktop;
  FrmClip& window = Open(WriteGradient(L"p.bmp", 400, 300));
  Choose(window, Item::OnDesktop);
  ASSERT_EQ(ParentOf(window.hwnd()), desktop.hwnd());

  const POINT before = TopLeft(window.hwnd());
  {
    ModalWatchdog watchdog(10s);
    const POINT grab{before.x + 20, before.y + 20};
    UserActs hand([&] { DragWithLeftButton(grab, {grab.x - 55, grab.y + 35}); });
    EXPECT_TRUE(PumpUntil([&] { return hand.done() && TopLeft(window.hwnd()).x == before.x - 55; }, 5s));
    PumpFor(100ms);
    EXPECT_FALSE(watchdog.fired());
  }
  EXPECT_EQ(TopLeft(window.hwnd()).x, before.x - 55);
  EXPECT_EQ(TopLeft(window.hwnd()).y, before.y + 35);
  EXPECT_EQ(ParentOf(window.hwnd()), desktop.hwnd());

  {
    ModalWatchdog watchdog(10s);
    WhenMenuShows user{'B'};
    ClickAt(CentreOf(window.hwnd()), Button::Right);
    EXPECT_TRUE(PumpUntil([&] { return window.WindowOrder == 0; }, 5s)) << "the real menu chose the back mode off";
    EXPECT_FALSE(watchdog.fired());
  }
  EXPECT_EQ(ParentOf(window.hwnd()), nullptr);
  EXPECT_EQ(TopLeft(window.hwnd()).x, before.x - 55);
}

TEST_F(WindowOrderTest, CloseFreesTheSlotAndTheNextPicturesReuseTheLowestFreeWindowsWithTheirStacking) {
  StandInDesktop desktop;
  const std::wstring path = WriteGradient(L"p.bmp", 400, 300);
  for (int i = 0; i < 4; ++i) Open(path);
  FrmClip& onTop = Slot(2);
  FrmClip& inDesktop = Slot(4);
  const HWND onTopHwnd = onTop.hwnd();
  onTop.mnuWindowOrder1_Click();
  onTop.mnuAlpha_Click(3);
  Choose(inDesktop, Item::OnDesktop);
  SendMessageW(onTopHwnd, WM_COMMAND, clip_menu::kCloseWindow, 0);
  inDesktop.mnuCloseWindow_Click();
  for (FrmClip* closed : {&onTop, &inDesktop}) {
    EXPECT_TRUE(closed->IsFree());
    EXPECT_FALSE(IsWindowVisible(closed->hwnd()));
    EXPECT_FALSE(closed->Image1.Picture);
    EXPECT_EQ(closed->Image1.Tag, L"");
    EXPECT_EQ(closed->Image1.ToolTipText, L"p.bmp") << "the tip is kept";
  }
  EXPECT_TRUE(IsWindowVisible(Slot(1).hwnd()));

  const std::wstring other = WriteGradient(L"other.bmp", 100, 200);
  for (const wchar_t* slot : {L"2", L"4", L"5"}) {
    OpenPictureFile(other);
    EXPECT_EQ(MainForm()->CountCaption(), slot);
  }
  ASSERT_EQ(ClipWindows().UpperBound(), 5);
  EXPECT_EQ(&Slot(2), &onTop) << "the same window objects";
  EXPECT_EQ(&Slot(4), &inDesktop);
  EXPECT_EQ(onTop.hwnd(), onTopHwnd);
  for (FrmClip* reused : {&onTop, &inDesktop}) {
    EXPECT_TRUE(IsWindowVisible(reused->hwnd()));
    EXPECT_EQ(reused->Tag, L"");
    EXPECT_EQ(reused->Image1.Tag, other);
    EXPECT_EQ(WindowSize(reused->hwnd()).cx, 80);
    EXPECT_EQ(WindowOpacity(reused->hwnd()), 255) << "opening resets only the opacity and its check mark";
    EXPECT_TRUE(reused->IsAlphaChecked(0));
    EXPECT_FALSE(reused->IsAlphaChecked(3));
  }
  EXPECT_EQ(onTop.WindowOrder, 1);
  EXPECT_TRUE(IsTopMost(onTopHwnd)) << "still always on top";
  EXPECT_TRUE(onTop.IsChecked(clip_menu::kWindowOrder1));
  EXPECT_FALSE(onTop.IsChecked(clip_menu::kWindowOrder2));
  EXPECT_EQ(inDesktop.WindowOrder, 2);
  EXPECT_TRUE(inDesktop.IsChecked(clip_menu::kWindowOrder2));
  EXPECT_EQ(ParentOf(inDesktop.hwnd()), desktop.hwnd());
}

}  // namespace
}  // namespace pintaro::test
