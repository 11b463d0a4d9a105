// The full-screen view: fitting, what is hidden and shown again, what ends it, and its failure path.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/application.h"
#include "picture_window/clip_menu_ids.h"
#include "picture_window/frm_full_screen.h"
#include "picture_window/full_screen.h"
#include "picture_window_fixture.h"
#include "support/picture_checks.h"
#include "support/process_control.h"
#include "support/real_input.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

// Every message this thread takes from its queue, so a test knows when the input it gave has been
// handled.
class RetrievedMessages {
 public:
  RetrievedMessages() {
    seen_.clear();
    hook_ = SetWindowsHookExW(WH_GETMESSAGE, &Record, nullptr, GetCurrentThreadId());
  }
  ~RetrievedMessages() { UnhookWindowsHookEx(hook_); }
  RetrievedMessages(const RetrievedMessages&) = delete;
  RetrievedMessages& operator=(const RetrievedMessages&) = delete;

  bool Seen(UINT message, WPARAM wParam) const {
    for (const MSG& msg : seen_) {
      if (msg.message == message && msg.wParam == wParam) return true;
    }
    return false;
  }
  bool Seen(UINT message, HWND hwnd) const {
    for (const MSG& msg : seen_) {
      if (msg.message == message && msg.hwnd == hwnd) return true;
    }
    return false;
  }

 private:
  static LRESULT CALLBACK Record(int code, WPARAM removed, LPARAM lParam) {
    if (code >= 0 && removed == PM_REMOVE) seen_.push_back(*reinterpret_cast<const MSG*>(lParam));
    return CallNextHookEx(nullptr, code, removed, lParam);
  }
  static inline std::vector<MSG> seen_;
  HHOOK hook_ = nullptr;
};

class FullScreenTest : public PictureWindowTest {
 protected:
  static bool ViewShown() { return FullScreenForm() && FullScreenForm()->IsShown(); }

  static RECT ViewImage() { return FullScreenForm()->ImageRect(); }

  // What the screen shows at a point.
  static COLORREF ScreenPixel(POINT at) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return colour;
  }

  void RequireTheTestScreen() {
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    const ScreenTwips screen = PrimaryScreenTwips();
    ASSERT_EQ(screen.twipsPerPixelX, 15.0f);
    ASSERT_EQ(screen.width, 15360.0f);
    ASSERT_EQ(screen.height, 11520.0f);
  }
};

struct FitRow {
  int width, height;
  RECT shown;  // in pixels on a 1024 x 768 screen
};

TEST_F(FullScreenTest, EachPictureIsFittedToTheScreenCentredAndOnlyTheScreenSizedPictureIsHeld) {
  RequireTheTestScreen();
  const FitRow rows[] = {
      {2048, 1536, {0, 0, 1024, 768}},   // the screen's proportions: fills it
      {1600, 900, {0, 96, 1024, 672}},   // wider: bands above and below (1440 twips)
      {600, 800, {224, 0, 800, 768}},    // taller: bands left and right (3360 twips)
      {1000, 1000, {128, 0, 896, 768}},  // square
      {100, 50, {0, 128, 1024, 640}},    // smaller than the screen: enlarged
      {1024, 767, {0, 0, 1024, 767}},    // 7 twips from the top: less than a pixel
  };
  for (const FitRow& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.width << "x" << row.height);
    FrmClip& window = Open(WriteGradient(L"p.jpg", row.width, row.height, PictureFormat::Jpeg));
    ShowFullScreen(window);
    ASSERT_TRUE(ViewShown());
    const RECT image = ViewImage();
    EXPECT_TRUE(EqualRect(&image, &row.shown))
        << image.left << "," << image.top << " - " << image.right << "," << image.bottom;
    SIZE held{};
    BitmapPixels(FullScreenForm()->imgImage().Picture.get(), held);
    EXPECT_EQ(held.cx, row.shown.right - row.shown.left) << "the view holds the screen-sized picture only";
    EXPECT_EQ(held.cy, row.shown.bottom - row.shown.top);
    RECT view{};
    GetWindowRect(FullScreenForm()->hwnd(), &view);
    const RECT screen{0, 0, 1024, 768};
    EXPECT_TRUE(EqualRect(&view, &screen)) << "the view covers the primary screen";
    EXPECT_EQ(WindowText(FullScreenForm()->hwnd()), L"ぴんたろ");
    EXPECT_EQ(GetWindowLongPtrW(FullScreenForm()->hwnd(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);

    CloseFullScreen();
    EXPECT_FALSE(ViewShown());
    EXPECT_FALSE(FullScreenForm()->imgImage().Picture) << "released when the view ends";
    window.mnuCloseWindow_Click();
  }
  EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FullScreenTest, ThePictureIsShownOnBlack) {
  const std::wstring path = dir / L"red.bmp";
  WritePicture(path, MakeSolid(1600, 900, 0xFFFF0000u), PictureFormat::Bmp);
  FrmClip& window = Open(path);
  ShowFullScreen(window);
  ASSERT_TRUE(ViewShown());
  PumpFor(200ms);
  const RECT image = ViewImage();
  const int middle = (image.left + image.right) / 2;
  EXPECT_EQ(ScreenPixel({middle, image.top / 2}), RGB(0, 0, 0)) << "band above";
  EXPECT_EQ(ScreenPixel({middle, (image.top + image.bottom) / 2}), RGB(255, 0, 0)) << "the picture";
  EXPECT_EQ(ScreenPixel({middle, (image.bottom + 768) / 2}), RGB(0, 0, 0)) << "band below";
  CloseFullScreen();
}

TEST_F(FullScreenTest, TheIconWindowAndExactlyThePictureWindowsInUseAreHiddenAndShownAgain) {
  const std::wstring path = WriteGradient(L"p.bmp", 300, 200);
  FrmClip& first = Open(path);
  FrmClip& closed = Open(path);
  FrmClip& onTop = Open(path);
  FrmClip& hiddenInUse = Open(path);
  closed.mnuCloseWindow_Click();
  onTop.mnuWindowOrder1_Click();
  onTop.mnuAlpha_Click(2);
  ShowWindow(hiddenInUse.hwnd(), SW_HIDE);  // as after a failed rendering
  const POINT place = TopLeft(onTop.hwnd());
  const HWND icon = MainForm()->hwnd();
  ASSERT_TRUE(IsWindowVisible(icon));

  SendMessageW(onTop.hwnd(), WM_COMMAND, clip_menu::kFullScreen, 0);
  ASSERT_TRUE(ViewShown());
  EXPECT_EQ(FullScreenForm()->imgImage().Picture ? ViewImage().right : 0, 1024);
  for (HWND hwnd : {icon, first.hwnd(), closed.hwnd(), onTop.hwnd(), hiddenInUse.hwnd()}) {
    EXPECT_FALSE(IsWindowVisible(hwnd));
  }

  CloseFullScreen();
  EXPECT_FALSE(ViewShown());
  EXPECT_TRUE(IsWindowVisible(icon));
  EXPECT_TRUE(IsWindowVisible(first.hwnd()));
  EXPECT_TRUE(IsWindowVisible(onTop.hwnd()));
  EXPECT_TRUE(IsWindowVisible(hiddenInUse.hwnd())) << "every window in use comes back";
  EXPECT_FALSE(IsWindowVisible(closed.hwnd())) << "a closed one does not";
  EXPECT_TRUE(IsTopMost(onTop.hwnd())) << "still always on top";
  EXPECT_TRUE(IsTopMost(icon));
  EXPECT_EQ(WindowOpacity(onTop.hwnd()), 127);
  EXPECT_EQ(TopLeft(onTop.hwnd()).x, place.x);
  EXPECT_EQ(TopLeft(onTop.hwnd()).y, place.y);

  CloseFullScreen();
  ShowWindow(first.hwnd(), SW_HIDE);
  CloseFullScreen();
  EXPECT_FALSE(IsWindowVisible(first.hwnd())) << "ending a view that is not on changes nothing";
}

TEST_F(FullScreenTest, KeysThatTypeACharacterEndTheViewArrowsShiftAndFunctionKeysDoNot) {
  FrmClip& window = Open(WriteGradient(L"p.bmp", 300, 200));
  for (WORD key : {WORD{VK_ESCAPE}, WORD{VK_RETURN}, WORD{VK_SPACE}, WORD{'A'}, WORD{'7'}, WORD{VK_BACK}}) {
    SCOPED_TRACE(key);
    ShowFullScreen(window);
    ASSERT_TRUE(ViewShown());
    {
      RetrievedMessages retrieved;
      for (WORD other : {WORD{VK_LEFT}, WORD{VK_DOWN}, WORD{VK_F2}, WORD{VK_F5}, WORD{VK_SHIFT}}) TapKey(other);
      ASSERT_TRUE(PumpUntil([&] { return retrieved.Seen(WM_KEYUP, WPARAM{VK_SHIFT}); }, 5s));
      PumpFor(50ms);
      EXPECT_TRUE(ViewShown()) << "keys without a character leave the view on";
    }
    TapKey(key);
    EXPECT_TRUE(PumpUntil([] { return !ViewShown(); }, 5s));
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  }
}

TEST_F(FullScreenTest, AClickOnThePictureOrOnTheBlackAreaEndsTheView) {
  FrmClip& window = Open(WriteGradient(L"wide.bmp", 400, 100));
  for (Button button : {Button::Left, Button::Right}) {
    ShowFullScreen(window);
    ASSERT_TRUE(ViewShown());
    ClickAt({512, 384}, button);  // the picture
    EXPECT_TRUE(PumpUntil([] { return !ViewShown(); }, 5s));

    ShowFullScreen(window);
    ASSERT_TRUE(ViewShown());
    ASSERT_GT(ViewImage().top, 10);
    ClickAt({512, 5}, button);  // the black band above it
    EXPECT_TRUE(PumpUntil([] { return !ViewShown(); }, 5s));
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  }
}

TEST_F(FullScreenTest, TheReleaseOfTheDoubleClickThatOpenedTheViewDoesNotEndIt) {
  FrmClip& window = Open(WriteGradient(L"p.bmp", 300, 200));
  ModalWatchdog watchdog(10s);
  const POINT at = CentreOf(window.hwnd());
  ClickAt(at);
  MouseDown(Button::Left, at);  // the second press of the double-click opens the view
  ASSERT_TRUE(PumpUntil([] { return ViewShown(); }, 5s));
  RetrievedMessages retrieved;
  MouseUp(Button::Left, at);  // and the button comes up over the view
  ASSERT_TRUE(PumpUntil([&] { return retrieved.Seen(WM_LBUTTONUP, FullScreenForm()->hwnd()); }, 5s));
  PumpFor(50ms);
  EXPECT_TRUE(ViewShown());
  EXPECT_FALSE(watchdog.fired());
}

TEST_F(FullScreenTest, AFileGoneSinceOpeningGivesTheMessageAndHidesNothing) {
  const std::wstring path = WriteGradient(L"gone.jpg", 300, 200, PictureFormat::Jpeg);
  FrmClip& window = Open(path);
  FrmClip& other = Open(WriteGradient(L"other.bmp", 300, 200));
  ASSERT_TRUE(DeleteFileW(path.c_str()));

  window.mnuFullScreen_Click();
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, path + L"\r\n\r\nこのファイル形式には対応していません。");
  EXPECT_EQ(messages.messages()[0].caption, L"ぴんたろ");
  EXPECT_EQ(messages.messages()[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_FALSE(ViewShown());
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  EXPECT_TRUE(IsWindowVisible(other.hwnd()));
  EXPECT_TRUE(IsWindowVisible(MainForm()->hwnd()));
}

TEST_F(FullScreenTest, ClosingTheViewsWindowEndsTheViewAndKeepsTheWindowForNextTime) {
  FrmClip& window = Open(WriteGradient(L"p.bmp", 300, 200));
  ShowFullScreen(window);
  const HWND view = FullScreenForm()->hwnd();
  SendMessageW(view, WM_CLOSE, 0, 0);
  EXPECT_FALSE(ViewShown());
  EXPECT_TRUE(IsWindow(view));
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  ShowFullScreen(window);
  EXPECT_EQ(FullScreenForm()->hwnd(), view);
  EXPECT_TRUE(ViewShown());
}

// Posts itself a message that ends the program, which runs in the first message pump it meets.
class EndInNextPump {
 public:
  EndInNextPump() {
    hwnd_ = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
    PostMessageW(hwnd_, WM_APP, 0, 0);
  }
  ~EndInNextPump() { DestroyWindow(hwnd_); }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
      ShutDown();
      return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  HWND hwnd_ = nullptr;
};

TEST_F(FullScreenTest, AnEndOfTheProgramWhileTheViewIsMadeLeavesNoViewBehind) {
  FrmClip& window = Open(WriteGradient(L"p.bmp", 300, 200));
  EndInNextPump end;
  ShowFullScreen(window);
  EXPECT_EQ(MainForm(), nullptr) << "the program ended inside";
  EXPECT_EQ(FullScreenForm(), nullptr) << "and no view was made afterwards";
  EXPECT_TRUE(VisibleWindowsOfProcess(GetCurrentProcessId(), FrmFullScreen::kClassName).empty());
}

TEST_F(FullScreenTest, TheProgramsEndDestroysTheView) {
  FrmClip& window = Open(WriteGradient(L"p.bmp", 300, 200));
  ShowFullScreen(window);
  const HWND view = FullScreenForm()->hwnd();
  EndProgram();
  EXPECT_FALSE(IsWindow(view));
  EXPECT_EQ(FullScreenForm(), nullptr);
}

}  // namespace
}  // namespace pintaro::test
