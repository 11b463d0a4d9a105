// The full-screen view: fitting, what is hidden and shown again, what ends it, and its failure path.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/application.h"
#include "picture_window/picture_menu_ids.h"
#include "picture_window/full_screen_view.h"
#include "picture_window/full_screen.h"
#include "picture_window_fixture.h"
#include "support/picture_checks.h"
#include "support/process_control.h"
#include "support/real_input.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

// Every message this thread takes from its queue while it lives, so a test knows when the input it
// gave has been handled.
class RetrievedMessages {
 public:
  RetrievedMessages() : hook_(SetWindowsHookExW(WH_GETMESSAGE, &Record, nullptr, GetCurrentThreadId())) {
    seen_.clear();
  }
  ~RetrievedMessages() { UnhookWindowsHookEx(hook_); }
  // Whether a message of the kind was taken: for the window, or with the parameter when no window is given.
  bool Seen(UINT message, HWND hwnd, WPARAM wParam = 0) const {
    return std::any_of(seen_.begin(), seen_.end(), [&](const MSG& msg) {
      return msg.message == message && (hwnd ? msg.hwnd == hwnd : msg.wParam == wParam);
    });
  }

 private:
  static LRESULT CALLBACK Record(int code, WPARAM removed, LPARAM lParam) {
    if (code >= 0 && removed == PM_REMOVE) seen_.push_back(*reinterpret_cast<const MSG*>(lParam));
    return CallNextHookEx(nullptr, code, removed, lParam);
  }
  static inline std::vector<MSG> seen_;
  HHOOK hook_;
};

class FullScreenTest : public PictureWindowTest {
 protected:
  static bool ViewShown() { return TheFullScreenView() && TheFullScreenView()->IsShown(); }
  static RECT ViewImage() { return TheFullScreenView()->ImageRect(); }

  // What the screen shows at a point.
  static COLORREF ScreenPixel(POINT at) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return colour;
  }
};

TEST_F(FullScreenTest, EachPictureIsFittedToTheScreenCentredAndOnlyTheScreenSizedPictureIsHeld) {
  ASSERT_EQ(PrimaryScreenTwips().width, 1024 * 15.f) << "the rows are for a 1024 x 768 screen at 96 dpi";
  ASSERT_EQ(PrimaryScreenTwips().height, 768 * 15.f);
  const std::pair<SIZE, RECT> rows[] = {
      {{2048, 1536}, {0, 0, 1024, 768}},   // the screen's proportions: fills it
      {{1600, 900}, {0, 96, 1024, 672}},   // wider: bands above and below (1440 twips)
      {{600, 800}, {224, 0, 800, 768}},    // taller: bands left and right (3360 twips)
      {{1000, 1000}, {128, 0, 896, 768}},  // square
      {{100, 50}, {0, 128, 1024, 640}},    // smaller than the screen: enlarged
      {{1024, 767}, {0, 0, 1024, 767}},    // 7 twips from the top: less than a pixel
  };
  for (const auto& [picture, shown] : rows) {
    SCOPED_TRACE(::testing::Message() << picture.cx << "x" << picture.cy);
    PictureWindow& window = Open(WriteGradient(L"p.jpg", picture.cx, picture.cy, PictureFormat::Jpeg));
    ShowFullScreen(window);
    ASSERT_TRUE(ViewShown());
    EXPECT_EQ(ViewImage(), shown);
    SIZE held{};
    BitmapPixels(TheFullScreenView()->picture(), held);
    EXPECT_EQ(held, (SIZE{shown.right - shown.left, shown.bottom - shown.top}))
        << "the view holds the screen-sized picture only";
    EXPECT_EQ(RectOf(TheFullScreenView()->hwnd()), (RECT{0, 0, 1024, 768})) << "the view covers the primary screen";
    EXPECT_EQ(WindowText(TheFullScreenView()->hwnd()), L"ぴんたろ");
    EXPECT_EQ(GetWindowLongPtrW(TheFullScreenView()->hwnd(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);

    CloseFullScreen();
    EXPECT_FALSE(ViewShown());
    EXPECT_FALSE(TheFullScreenView()->picture()) << "released when the view ends";
    window.CloseAndFreeSlot();
  }
  EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FullScreenTest, IconAndPictureWindowsInUseHideWhileThePictureShowsOnBlackAndAGoneFileHidesNothing) {
  const std::wstring path = dir / L"red.bmp";
  Image32 red = *Image32::Allocate(300, 200);
  std::fill(red.data(), red.data() + 300 * 200, 0xFFFF0000u);
  WritePicture(path, red, PictureFormat::Bmp);
  PictureWindow& first = Open(path);
  PictureWindow& closed = Open(path);
  PictureWindow& onTop = Open(path);
  PictureWindow& hiddenInUse = Open(path);
  closed.CloseAndFreeSlot();
  onTop.ToggleAlwaysOnTop();
  onTop.SetOwnOpacity(2);
  ShowWindow(hiddenInUse.hwnd(), SW_HIDE);  // as after a failed rendering
  const POINT place = TopLeft(onTop.hwnd());
  const HWND icon = TheIconWindow()->hwnd();
  ASSERT_TRUE(IsWindowVisible(icon));

  SendMessageW(onTop.hwnd(), WM_COMMAND, picture_menu::kFullScreen, 0);
  ASSERT_TRUE(ViewShown());
  for (HWND hwnd : {icon, first.hwnd(), closed.hwnd(), onTop.hwnd(), hiddenInUse.hwnd()}) {
    EXPECT_FALSE(IsWindowVisible(hwnd));
  }
  PumpFor(200ms);
  const RECT image = ViewImage();
  ASSERT_GT(image.top, 10);
  EXPECT_EQ(ScreenPixel({512, image.top / 2}), RGB(0, 0, 0)) << "band above";
  EXPECT_EQ(ScreenPixel({512, 384}), RGB(255, 0, 0)) << "the picture";
  EXPECT_EQ(ScreenPixel({512, (image.bottom + 768) / 2}), RGB(0, 0, 0)) << "band below";

  CloseFullScreen();
  EXPECT_FALSE(ViewShown());
  for (HWND hwnd : {icon, first.hwnd(), onTop.hwnd(), hiddenInUse.hwnd()}) {
    EXPECT_TRUE(IsWindowVisible(hwnd)) << "every window in use comes back";
  }
  EXPECT_FALSE(IsWindowVisible(closed.hwnd())) << "a closed one does not";
  EXPECT_TRUE(IsTopMost(onTop.hwnd())) << "still always on top";
  EXPECT_TRUE(IsTopMost(icon));
  EXPECT_EQ(WindowOpacity(onTop.hwnd()), 127);
  EXPECT_EQ(TopLeft(onTop.hwnd()), place);

  ASSERT_TRUE(DeleteFileW(path.c_str()));
  onTop.ShowFullScreen();
  ExpectOnlyFormatMessage(path);
  EXPECT_FALSE(ViewShown());
  for (HWND hwnd : {icon, first.hwnd(), onTop.hwnd()})
    EXPECT_TRUE(IsWindowVisible(hwnd)) << "a gone file hides nothing";

  ShowWindow(first.hwnd(), SW_HIDE);
  CloseFullScreen();
  EXPECT_FALSE(IsWindowVisible(first.hwnd())) << "ending a view that is not on changes nothing";
}

TEST_F(FullScreenTest, KeysThatTypeACharacterAClickAnywhereOrClosingItsWindowEndTheViewOtherKeysDoNot) {
  PictureWindow& window = Open(WriteGradient(L"wide.bmp", 400, 100));  // bands above and below
  HWND view = nullptr;
  // The ways to end it, each tried once: closing its window (first, so that the view is seen to keep its
  // window for the next time), keys that type a character, either button on the picture and on the
  // black band above it.
  std::vector<std::function<void()>> endings{[&] { SendMessageW(view, WM_CLOSE, 0, 0); }};
  for (WORD key : {WORD{VK_ESCAPE}, WORD{VK_RETURN}, WORD{VK_SPACE}, WORD{'A'}, WORD{'7'}, WORD{VK_BACK}})
    endings.push_back([key] { TapKey(key); });
  for (POINT at : {POINT{512, 384}, POINT{512, 5}})
    for (Button button : {Button::Left, Button::Right}) endings.push_back([at, button] { ClickAt(at, button); });
  for (std::size_t i = 0; i < endings.size(); ++i) {
    SCOPED_TRACE(::testing::Message() << "ending " << i);
    ShowFullScreen(window);
    ASSERT_TRUE(ViewShown());
    if (!view) {
      view = TheFullScreenView()->hwnd();
      RetrievedMessages retrieved;
      for (WORD other : {WORD{VK_LEFT}, WORD{VK_DOWN}, WORD{VK_F2}, WORD{VK_F5}, WORD{VK_SHIFT}}) TapKey(other);
      ASSERT_TRUE(PumpUntil([&] { return retrieved.Seen(WM_KEYUP, nullptr, VK_SHIFT); }, 5s));
      PumpFor(50ms);
      EXPECT_TRUE(ViewShown()) << "keys without a character leave the view on";
    }
    EXPECT_EQ(TheFullScreenView()->hwnd(), view) << "the view's window is kept for next time";
    endings[i]();
    EXPECT_TRUE(PumpUntil([] { return !ViewShown(); }, 5s));
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  }
}

TEST_F(FullScreenTest, TheReleaseOfTheDoubleClickThatOpenedTheViewDoesNotEndIt) {
  PictureWindow& window = Open(WriteGradient(L"p.bmp", 300, 200));
  ModalWatchdog watchdog(10s);
  const POINT at = CentreOf(window.hwnd());
  ClickAt(at);
  MouseDown(Button::Left, at);  // the second press of the double-click opens the view
  ASSERT_TRUE(PumpUntil([] { return ViewShown(); }, 5s));
  RetrievedMessages retrieved;
  MouseUp(Button::Left, at);  // and the button comes up over the view
  ASSERT_TRUE(PumpUntil([&] { return retrieved.Seen(WM_LBUTTONUP, TheFullScreenView()->hwnd()); }, 5s));
  PumpFor(50ms);
  EXPECT_TRUE(ViewShown());
  EXPECT_FALSE(watchdog.fired());
}

TEST_F(FullScreenTest, TheProgramsEndDestroysTheViewAndAnEndWhileTheViewIsMadeLeavesNoViewBehind) {
  ShowFullScreen(Open(WriteGradient(L"p.bmp", 300, 200)));
  const HWND view = TheFullScreenView()->hwnd();
  EndProgram();
  EXPECT_FALSE(IsWindow(view));
  EXPECT_EQ(TheFullScreenView(), nullptr);

  StartProgram();
  PictureWindow& window = Open(dir / L"p.bmp");
  InNextPump end([] { ShutDown(); });
  ShowFullScreen(window);
  EXPECT_TRUE(end.ran());
  EXPECT_EQ(TheIconWindow(), nullptr) << "the program ended inside";
  EXPECT_EQ(TheFullScreenView(), nullptr) << "and no view was made afterwards";
  EXPECT_TRUE(VisibleWindowsOfProcess(GetCurrentProcessId(), FullScreenView::kClassName).empty());
}

}  // namespace
}  // namespace pintaro::test
