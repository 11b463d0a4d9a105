// The picture window: its menu commands, stacking modes (normal, always on top, inside the desktop
// window), close and reuse, copies and the full-screen view; real windows and input under Wine, in this
// process and in the real pintaro.exe.
#include "picture_windows/full_screen.h"
#include "picture_window/full_screen_view.h"
#include "picture_window/picture_menu_ids.h"
#include "picture_windows/all_windows.h"
#include "picture_windows/show_and_arrange.h"
#include "win32/messages_and_timers.h"
#include "win32/message_pump.h"
#include "picture_reading/dib_bitmap.h"
#include "picture_logic/packed_dib.h"
#include "support/app_fixture.h"

#include <imm.h>

#include <algorithm>

namespace pintaro::test {
namespace {

using namespace picture_menu;

void Choose(PictureWindow& window, UINT command) { SendMessageW(window.hwnd(), WM_COMMAND, command, 0); }
bool ViewShown() { return TheFullScreenView() && TheFullScreenView()->IsShown(); }

// The window's stacking as seen: the marks of its two items, inside the desktop window or in the topmost
// band, and where it shows.
std::string Stacking(const PictureWindow& window) {
  const bool inside = GetAncestor(window.hwnd(), GA_PARENT) != GetDesktopWindow();
  std::string seen{static_cast<char>('0' + window.IsChecked(kAlwaysOnTop)),
                   static_cast<char>('0' + window.IsChecked(kPinnedToDesktop))};
  seen += inside ? " inside" : IsTopMost(window.hwnd()) ? " topmost" : "";
  seen += IsWindowVisible(window.hwnd()) ? " at " : " hidden at ";
  return seen += ::testing::PrintToString(TopLeft(window.hwnd()));
}

TEST_F(AppTest, EveryStackingStepWithAndWithoutADesktopThenTransparencyOfOneThenCloseAndReuseKeepingTheStacking) {
  StartProgram();
  const std::wstring path = WriteGradient(dir, L"p.bmp", 400, 300);
  PictureWindow& window = Open(path);
  Choose(window, kPinnedToDesktop);
  EXPECT_EQ(Stacking(window), "01 at 495, 332") << "without a desktop window: recorded only";
  Choose(window, kPinnedToDesktop);
  // A window titled "Program Manager", as the shell's desktop window is, at the bottom of the window
  // order. It does not start at the screen's corner, as the desktop window of a screen set-up with a
  // screen left of or above the primary one does not either.
  const UniqueWindow desktop = DesktopStandIn({40, 30, 1000, 740});
  SetWindowPos(desktop.get(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // Each transition once: normal -> on top -> desktop -> normal -> desktop -> on top -> normal -> desktop.
  const UINT top = kAlwaysOnTop, pin = kPinnedToDesktop;
  const std::pair<UINT, const char*> steps[] = {{top, "10 topmost"}, {pin, "01 inside"},  {pin, "00"},
                                                {pin, "01 inside"},  {top, "10 topmost"}, {top, "00"},
                                                {pin, "01 inside"}};
  for (const auto& [command, seen] : steps) {
    Choose(window, command);
    EXPECT_EQ(Stacking(window), std::string(seen) += " at 495, 332");
  }
  // A right click opens the menu at the pointer, either button choosing an item.
  std::tuple<HMENU, POINT, UINT> popup{};
  SetPopupMenuHook([&](HMENU menu, UINT flags, int x, int y, HWND) {
    popup = {menu, {x, y}, flags & TPM_RIGHTBUTTON};
  });
  for (const UINT nothing : {WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_LBUTTONUP, WM_MOUSEWHEEL})
    SendMessageW(window.hwnd(), nothing, MAKEWPARAM(0, -120), 0);
  EXPECT_EQ(std::pair(std::get<0>(popup), Stacking(window)), std::pair(HMENU{}, std::string("01 inside at 495, 332")));
  ClickAt(CentreOf(window.hwnd()), Button::Right);
  EXPECT_TRUE(PumpUntil(
      [&] { return popup == std::tuple(window.contextMenu(), CentreOf(window.hwnd()), TPM_RIGHTBUTTON); }, 5s));
  SetPopupMenuHook({});

  for (int i = 0; i < 2; ++i) Open(path);
  PictureWindow& onTop = Slot(2);
  Choose(onTop, kAlwaysOnTop);
  Choose(onTop, kOpacity0 + 1);  // its own transparency, which a reuse forgets
  Choose(onTop, kCloseAndFreeSlot);
  SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(std::tuple(IsWindowVisible(window.hwnd()), window.shownBitmap.get(), IsWindowVisible(onTop.hwnd()),
                       onTop.shownBitmap.get()),
            std::tuple(FALSE, HBITMAP{}, FALSE, HBITMAP{}))
      << "hidden, their pictures released";
  const std::wstring other = WriteGradient(dir, L"other.bmp", 100, 200);
  for (PictureWindow* reused : {&window, &onTop}) {
    EXPECT_EQ(&Open(other), reused) << "the lowest free window is reused";
    EXPECT_EQ(std::tuple(SizeText(reused->hwnd()), WindowOpacity(reused->hwnd()), reused->IsOpacityChecked(0)),
              std::tuple(std::wstring(L"80x160"), 255, true))
        << "at the common transparency";
  }
  EXPECT_EQ(Stacking(onTop), "10 topmost at 569, 352") << "still always on top";
  EXPECT_EQ(Stacking(window), "01 inside at 323, 364") << "still inside the desktop";
  // The desktop window starts at 40, 30: inside it, a size change keeps the centre on the screen, and the
  // arrangement starts at the screen's corner.
  ChooseAndWait(main_menu::kSize0);
  EXPECT_EQ(RectOf(window.hwnd()), (RECT{343, 404, 383, 484}));
  ArrangeWindows();
  EXPECT_EQ(TopLeft(window.hwnd()), (POINT{0, 0}));
}

// Ctrl+Z, in the icon window or a picture window, opens what the user closed again, the newest first: where it
// was, with its transparency and stacking, at the display size of now. A file gone since is passed over silently.
TEST_F(AppTest, CtrlZOpensWhatWasClosedAgainTheNewestFirstAsItWasAndPassesOverAFileGone) {
  StartProgram();
  const std::wstring gone = WriteGradient(dir, L"gone.bmp", 300, 400);
  PictureWindow &a = Open(WriteGradient(dir, L"a.bmp", 400, 300)), &b = Open(gone), &c = Open(gone);
  Choose(a, kAlwaysOnTop);
  Choose(a, kOpacity0 + 2);
  const POINT centre = CentreOf(a.hwnd());
  Choose(a, kCloseAndFreeSlot);
  SendMessageW(b.hwnd(), WM_CLOSE, 0, 0);  // as Alt+F4 asks
  ASSERT_TRUE(DeleteFileW(gone.c_str()));
  Open(WriteGradient(dir, L"d.bmp", 40, 30));  // in the first window: a comes back in the second, b's
  ChooseAndWait(main_menu::kSize0 + 3);
  PressCtrlZ(c.hwnd());  // the file gone: passed over, before the next one comes back
  PressCtrlZ(TheIconWindow()->hwnd());
  ASSERT_TRUE(PumpUntil([&] { return !b.isFree && IsWindowVisible(b.hwnd()); }, 5s));
  EXPECT_EQ(std::tuple(RectOf(b.hwnd()), WindowOpacity(b.hwnd()), b.IsOpacityChecked(2), IsTopMost(b.hwnd())),
            std::tuple(RECT{centre.x - 120, centre.y - 90, centre.x + 120, centre.y + 90}, 127, true, true));
  EXPECT_EQ(std::tuple(WindowText(b.hwnd()), messages.messages().size()), std::tuple(std::wstring(L"a.bmp"), 0u));
}

// A GIF whose frames each fill their rectangle with one index of black, red, green and blue (0, black, is
// transparent), after an application extension with the loop count given, if any. Its codes go out as they
// are, a clear code before each pair, so that they stay 3 bits long.
using Frame = std::array<unsigned, 7>;  // left, top, width, height, delay, colour index, disposal
std::vector<std::uint8_t> Gif(std::uint16_t side, std::optional<std::uint16_t> loops,
                              const std::vector<Frame>& frames) {
  std::vector<std::uint8_t> gif{'G', 'I', 'F', '8', '9', 'a'};
  const auto add = [&](std::initializer_list<unsigned> values) { gif.insert(gif.end(), values.begin(), values.end()); };
  const auto word = [&](unsigned value) { add({value & 0xFF, value >> 8}); };
  word(side), word(side), add({0x81, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF});
  if (loops) add({0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1}), word(*loops), add({0});
  for (const Frame& f : frames) {
    add({0x21, 0xF9, 4, f[6] * 4 + 1}), word(f[4]), add({0, 0, 0x2C});
    word(f[0]), word(f[1]), word(f[2]), word(f[3]), add({0, 2});
    std::vector<std::uint8_t> codes;
    unsigned bits = 0, count = 0;
    const auto code = [&](unsigned value) {
      for (bits |= value << count, count += 3; count >= 8; count -= 8) codes.push_back(bits & 0xFF), bits >>= 8;
    };
    for (unsigned i = 0; i < f[2] * f[3]; ++i) i % 2 ? code(f[5]) : (code(4), code(f[5]));
    code(5), codes.push_back(bits & 0xFF);
    // One sub-block: frames of at most 200 pixels.
    add({static_cast<unsigned>(codes.size())}), gif.insert(gif.end(), codes.begin(), codes.end()), add({0});
  }
  return add({0x3B}), gif;
}

// The shown colour of the picture at a point, as 0xRRGGBB.
std::uint32_t ShownAt(HBITMAP bitmap, int x, int y) {
  DIBSECTION section{};
  return GetObjectW(bitmap, sizeof(section), &section),
         static_cast<const std::uint32_t*>(section.dsBm.bmBits)[y * section.dsBm.bmWidth + x] & 0xFFFFFF;
}

// An animated GIF plays frame after frame, composed on its screen, only while it can be seen, and goes on
// from its frame after a hiding, a size change, the full-screen view or a Ctrl+Z; the copies take the frame
// shown. One without a loop count plays once and stops on its last frame; 10,000 frames stand still.
TEST_F(AppTest, AnAnimatedGifPlaysWhileSeenGoesOnFromItsFrameAndItsCopiesTakeTheFrameShown) {
  StartProgram();
  // Red over the screen; green over its right half, which goes back to the transparent background; blue
  // over its top-left quarter.
  WriteBytes(dir / L"anim.gif", Gif(8, 0, {{0, 0, 8, 8, 80, 1, 1}, {4, 0, 4, 8, 80, 2, 2}, {0, 0, 4, 4, 80, 3, 0}}));
  PictureWindow& window = Open(dir / L"anim.gif");
  ASSERT_TRUE(window.animation && window.animation->frames.size() == 3);
  const std::uint32_t right[] = {0xFF0000, 0x00FF00, 0xFFFFFF}, topLeft[] = {0xFF0000, 0xFF0000, 0x0000FF};
  const auto seen = [&](int side) {
    return std::pair(window.animationFrame, std::pair(ShownAt(window.shownBitmap.get(), side * 7 / 8, side / 2),
                                                      ShownAt(window.shownBitmap.get(), side / 8, side / 8)));
  };
  for (std::size_t frame : {1, 2, 0, 1}) {
    ASSERT_TRUE(PumpUntil([&] { return window.animationFrame == frame; }, 5s));
    EXPECT_EQ(seen(160), std::pair(frame, std::pair(right[frame], topLeft[frame])));
  }
  ToggleAllWindows(false);
  EXPECT_FALSE(KillTimer(window.hwnd(), kAnimationTimer)) << "no timer while hidden";
  ToggleAllWindows(true);
  ChooseAndWait(main_menu::kSize0);
  EXPECT_EQ(seen(80), std::pair(std::size_t{1}, std::pair(right[1], topLeft[1]))) << "from the same frame, at 80";
  ASSERT_TRUE(PumpUntil([&] { return window.animationFrame == 2; }, 5s));
  Choose(window, kCopyAtShownSize);
  EXPECT_EQ(ClipboardDibSeen({{70, 40}, {10, 10}}), (std::vector{80, 80, 0xFFFFFF, 0x0000FF}));
  Choose(window, kCopyAtOriginalSize);
  ASSERT_TRUE(PumpUntil([] { return ClipboardDibSeen().front() == 8; }, 10s));
  EXPECT_EQ(ClipboardDibSeen({{7, 4}, {1, 1}}), (std::vector{8, 8, 0xFFFFFF, 0x0000FF}));
  const std::size_t viewed = window.animationFrame;
  window.ShowFullScreen();
  ASSERT_TRUE(PumpUntil(ViewShown, 10s));
  const HBITMAP view = TheFullScreenView()->picture();
  EXPECT_EQ(std::pair(ShownAt(view, 672, 384), ShownAt(view, 96, 96)), std::pair(right[viewed], topLeft[viewed]));
  EXPECT_FALSE(KillTimer(window.hwnd(), kAnimationTimer)) << "no timer under the full-screen view";
  CloseFullScreen();
  ASSERT_TRUE(PumpUntil([&] { return window.animationFrame == 2; }, 5s));
  SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  PressCtrlZ(TheIconWindow()->hwnd());
  ASSERT_TRUE(PumpUntil([&] { return !window.isFree && IsWindowVisible(window.hwnd()); }, 5s));
  EXPECT_EQ(seen(80), std::pair(std::size_t{2}, std::pair(right[2], topLeft[2])));
  WriteBytes(dir / L"once.gif", Gif(2, std::nullopt, {{0, 0, 2, 2, 0, 1, 0}, {0, 0, 1, 1, 1, 2, 0}}));
  PictureWindow& once = Open(dir / L"once.gif");
  ASSERT_TRUE(PumpUntil([&] { return once.playsDone == 1; }, 5s));
  EXPECT_EQ(std::pair(once.animationFrame, KillTimer(once.hwnd(), kAnimationTimer)), std::pair(std::size_t{1}, FALSE));
  WriteBytes(dir / L"many.gif", Gif(1, 0, std::vector<Frame>(10000, {0, 0, 1, 1, 10, 1, 0})));
  WriteBytes(dir / L"wide.gif", Gif(4097, 0, {{0, 0, 1, 1, 10, 1, 0}, {0, 0, 1, 1, 10, 2, 0}}));
  EXPECT_FALSE(Open(dir / L"wide.gif").animation) << "a screen of more than 16 megapixels";
  PictureWindow& still = Open(dir / L"many.gif");
  EXPECT_TRUE(!still.animation && IsWindowVisible(still.hwnd()) && still.PictureSize() == (SIZE{80, 80}));
}

TEST_F(AppTest, ThePictureShowsFittedAloneUntilKeysThatTypeACharacterAClickOrClosingEndTheViewAndEverythingComesBack) {
  StartProgram();
  const std::wstring path = WriteGradient(dir, L"wide.jpg", 1600, 900, PictureFormat::Jpeg);
  PictureWindow &first = Open(path), &closed = Open(path), &onTop = Open(path);
  Choose(closed, kCloseAndFreeSlot);
  Choose(onTop, kAlwaysOnTop);
  Choose(onTop, kOpacity0 + 2);
  const POINT place = TopLeft(onTop.hwnd()), at = CentreOf(onTop.hwnd());
  const HWND icon = TheIconWindow()->hwnd();
  ClickAt(at);
  MouseDown(Button::Left, at);  // the second press of the double-click opens the view
  ASSERT_TRUE(PumpUntil([] { return ViewShown(); }, 5s));
  MouseUp(Button::Left, at);
  for (HWND hwnd : {icon, first.hwnd(), closed.hwnd(), onTop.hwnd()}) EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(TheFullScreenView()->ImageRect(), (RECT{0, 96, 1024, 672})) << "bands above and below";
  EXPECT_EQ(BitmapSize(TheFullScreenView()->picture()), (SIZE{1024, 576})) << "only the screen-sized one is held";
  EXPECT_EQ(ImmGetContext(TheFullScreenView()->hwnd()), nullptr) << "no input method composes over it";
  // Keys go through the view's queue and the program's translation into characters, as typed keys do;
  // posted, they reach the view whichever window Wine's focus follows meanwhile.
  const auto type = [](WORD key) {
    const LPARAM scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC) << 16;
    PostMessageW(TheFullScreenView()->hwnd(), WM_KEYDOWN, key, scan | 1);
    PostMessageW(TheFullScreenView()->hwnd(), WM_KEYUP, key, scan | 0xC0000001);
    PumpMessages();
  };
  PostMessageW(TheFullScreenView()->hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));  // the double-click's release
  for (WORD other : {WORD{VK_LEFT}, WORD{VK_F2}, WORD{VK_F5}, WORD{VK_SHIFT}}) type(other);
  EXPECT_TRUE(ViewShown()) << "neither the release nor keys without a character end the view";
  const auto clickAt = [](POINT at, Button button) { return [=] { ClickAt(at, button); }; };
  const std::pair<const char*, std::function<void()>> endings[] = {
      {"Esc", [&] { type(VK_ESCAPE); }},
      {"a letter", [&] { type('A'); }},
      {"a left click on the picture", clickAt({512, 384}, Button::Left)},
      {"a right click on the band", clickAt({512, 5}, Button::Right)}};
  for (const auto& [ending, end] : endings) {
    SCOPED_TRACE(ending);
    if (!ViewShown()) Choose(first, kFullScreen);
    ASSERT_TRUE(PumpUntil(ViewShown, 5s));
    end();
    EXPECT_TRUE(PumpUntil([] { return !ViewShown(); }, 5s));
    for (HWND hwnd : {icon, first.hwnd(), onTop.hwnd()}) EXPECT_TRUE(IsWindowVisible(hwnd)) << "back in use";
  }
  EXPECT_FALSE(TheFullScreenView()->picture()) << "the picture is released when the view ends";
  bool busy = false;
  InNextPump meanwhile([&] { busy = BusyCursor::Active(); });
  Choose(first, kFullScreen);
  ASSERT_TRUE(PumpUntil(ViewShown, 5s));
  SendMessageW(TheFullScreenView()->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(std::pair(busy, BusyCursor::Active()), std::pair(true, false)) << "the hourglass while it is prepared";
  Choose(first, kFullScreen);
  Choose(first, kCloseAndFreeSlot);  // before its picture comes: no view
  EXPECT_TRUE(PumpUntil([] { return !BusyCursor::Active(); }, 5s) && !ViewShown());
  EXPECT_FALSE(IsWindowVisible(closed.hwnd())) << "a closed one stays hidden";
  EXPECT_EQ(std::tuple(IsTopMost(onTop.hwnd()), IsTopMost(icon), WindowOpacity(onTop.hwnd()), TopLeft(onTop.hwnd())),
            std::tuple(true, true, 127, place))
      << "as it was";

  // Copies leave no GDI object behind (the clipboard holds the last bitmap, the copy as shown; the copy at the
  // picture's own size is a memory block).
  Choose(onTop, kCopyAtShownSize);
  const long objects = GdiObjects();
  for (UINT copy : {kCopyAtOriginalSize, kCopyAtShownSize, kCopyAtOriginalSize, kCopyAtShownSize}) Choose(onTop, copy);
  EXPECT_EQ(GdiObjects(), objects);
  // A file gone since opening: the copy at its own size leaves the clipboard as it was, the view does not open,
  // each saying the file cannot be read now; a size change leaves its windows as they were. A file that became
  // no picture gets the format message there, and its window hides.
  const std::wstring noPicture = WriteGradient(dir, L"no.bmp", 90, 160);
  PictureWindow& becameNone = Open(noPicture);
  ASSERT_TRUE(DeleteFileW(path.c_str()));
  for (UINT command : {kCopyAtOriginalSize, kFullScreen})
    Choose(onTop, command), ExpectOnlyMessage(path + L"\r\n\r\nこのファイルを今は読み込めません。");
  const auto seen = [&] {
    return std::tuple(RectOf(onTop.hwnd()), onTop.shownBitmap.get(), IsWindowVisible(onTop.hwnd()));
  };
  const auto before = seen();
  EXPECT_EQ(std::tuple(ClipboardDibSeen(), ViewShown(), std::get<2>(before)),
            std::tuple(std::vector<std::int32_t>{160, 90}, false, TRUE));
  WriteBytes(noPicture, {'n', 'o'});
  ChooseAndWait(main_menu::kSize0);
  ExpectOnlyFormatMessage(noPicture);
  EXPECT_EQ(std::pair(seen(), IsWindowVisible(becameNone.hwnd())), std::pair(before, FALSE));
  // 20000 x 20000 pixels, more than the program holds: shown from an eighth.
  EXPECT_EQ(SizeText(Open(JpegSeed(L"huge_grey.jpg")).hwnd()), L"80x80");
  EndProgram();
  EXPECT_EQ(TheFullScreenView(), nullptr) << "the program's end destroys the view";
}

// The largest copy at a picture's own size, 2^26 pixels, lands on the clipboard whole; the largest picture the
// program holds, read on a worker while the program answers, is too large to copy: said once, the clipboard kept.
// (How long Windows, or Wine's server, holds every program up while it takes the block: the answer benchmark.)
TEST_F(AppTest, TheLargestCopyAtItsOwnSizeLandsWholeAndTheLargestPictureIsSaidTooLargeOnceWhileTheProgramAnswers) {
  StartProgram();
  const std::wstring path = WriteWideStripes(dir / L"largest.bmp", 8192, 8192);
  PictureWindow& window = Open(path);
  const std::vector<std::int32_t> copied{8192, 8192, 0x336699, 0xCC8844, 0xCC8844, 0x336699};
  for (const bool larger : {false, true}) {
    // The file grown since it opened: a copy reads it as it is now.
    if (larger) WriteWideStripes(path, 16384, 16384);
    const DWORD sequence = GetClipboardSequenceNumber();
    AnswerTimer answers;
    Choose(window, kCopyAtOriginalSize);
    if (larger) ExpectOnlyMessage(path + L"\r\n\r\n画像が大きすぎるため、元のサイズではコピーできません。");
    EXPECT_LT(larger ? answers.Stop() : (answers.Stop(), 0ms), 500ms);
    EXPECT_EQ(WaitUntil([&] { return GetClipboardSequenceNumber() != sequence; }, larger ? 0s : 30s), !larger);
    EXPECT_EQ(ClipboardDibSeen({{0, 0}, {8191, 0}, {0, 8191}, {8191, 8191}}), copied);
  }
}

HWND Parent(HWND hwnd) { return GetAncestor(hwnd, GA_PARENT); }

// Start-up with a picture and a file that is not one; then a user's drag, a copy chosen from the
// picture's menu by its key, and End task.
TEST(RealProgramTest, OnlyPictureNamesOpenAUserDragsCopiesAndPinsThePictureWhichOutlivesItsDesktopAndEndTaskEnds) {
  TempDir dir;
  ChildProcess program = StartPintaro(Quoted(WriteGradient(dir, L"b.JPG", 1024, 768, PictureFormat::Jpeg)));
  const HWND icon = WaitForWindow(program.id(), kIconClass);
  const HWND picture = WaitForWindow(program.id(), kPictureClass);
  ASSERT_NE(picture, nullptr);
  // The first place of every run, the icon window on top and in the foreground.
  const auto settled = [&] { return TopLeft(picture) == POINT{495, 332} && GetForegroundWindow() == icon; };
  EXPECT_TRUE(WaitUntil(settled, 10s) && IsTopMost(icon)) << ::testing::PrintToString(TopLeft(picture));
  EXPECT_EQ(WindowText(picture), L"b.JPG");

  const POINT grab{495 + 25, 332 + 30};
  DragWithLeftButton(grab, {grab.x + 70, grab.y - 45});
  EXPECT_TRUE(WaitUntil([&] { return TopLeft(picture) == POINT{495 + 70, 332 - 45}; }, 10s));
  ClickAt(CentreOf(picture), Button::Right);
  ASSERT_TRUE(WaitUntil([&] { return MenuShown(program.id()); }, 10s)) << "the menu opens";
  const DWORD clipboard = GetClipboardSequenceNumber();
  TapKeyFor(program.id(), 'O');  // 元のサイズでコピー(&O)
  EXPECT_TRUE(WaitUntil([&] { return GetClipboardSequenceNumber() != clipboard; }, 10s));
  EXPECT_EQ(ClipboardDibSeen(), (std::vector<std::int32_t>{1024, 768})) << "copied at the picture's own size";

  // When Explorer ends, its desktop window takes the windows pinned into it with it, other programs' too:
  // the picture is made again where it was, as it was, and pinned into the next desktop window; the tip
  // it had there goes with it, time after time.
  UniqueWindow explorer = DesktopStandIn();
  PostMessageW(picture, WM_COMMAND, kOpacity0 + 2, 0);
  PostMessageW(picture, WM_COMMAND, kPinnedToDesktop, 0);
  ASSERT_TRUE(PumpUntil([&] { return Parent(picture) == explorer.get(); }, 10s));
  const std::size_t windows = WindowsOfProcess(program.id()).size();
  HWND again = picture;
  const auto seen = [&] { return std::tuple(RectOf(again), WindowOpacity(again), WindowText(again)); };
  for (int restart = 0; restart < 8; ++restart) {
    explorer.reset();
    EXPECT_TRUE(WaitUntil([&] { return (again = WaitForWindow(program.id(), kPictureClass, 1s)) != nullptr; }, 10s))
        << "made again, a window of its own until there is a desktop window";
    explorer = DesktopStandIn();
    SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    EXPECT_TRUE(PumpUntil([&] { return Parent(again) == explorer.get(); }, 10s));
    EXPECT_EQ(seen(), std::tuple(RECT{565, 287, 725, 407}, 127, std::wstring(L"b.JPG")));
    PostMessageW(again, WM_MOUSEMOVE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return TipWindowOf(again) != nullptr; }, 5s)) << "its tip made inside";
  }
  EXPECT_EQ(WindowsOfProcess(program.id()).size(), windows) << "nothing left behind";

  // Closed from outside as by End task, the program ends in order (its temporary files: the tests of
  // paste and of reading ahead). The desktop window's thread answers as Explorer's does meanwhile.
  PostMessageW(icon, WM_CLOSE, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return !program.Running(); }, 10s) && program.ExitCode() == 0);
  EXPECT_EQ(ClipboardDibSeen(), (std::vector<std::int32_t>{1024, 768})) << "the copy outlives the program";
}

// A desktop window whose thread stops answering (this one, while it does not pump) takes no picture in,
// holds up neither the program nor its end at a log-off, though a picture is inside it.
TEST(RealProgramTest, ADesktopWindowThatStopsAnsweringTakesNoPictureAndHoldsUpNeitherTheProgramNorItsEnd) {
  TempDir dir;
  const std::wstring path = Quoted(WriteGradient(dir, L"p.bmp", 64, 48));
  ChildProcess program = StartPintaro(path + L" " + path);
  const HWND icon = WaitForIconWindow(program);
  std::vector<HWND> pictures;
  ASSERT_TRUE(
      WaitUntil([&] { return (pictures = VisibleWindowsOfProcess(program.id(), kPictureClass)).size() == 2; }, 20s));
  const UniqueWindow explorer = DesktopStandIn();
  // This thread answers until the first picture is pinned, and from then on nothing: the transparency
  // chosen once it is inside shows that the program is done with the desktop window.
  PostMessageW(pictures[0], WM_COMMAND, kPinnedToDesktop, 0);
  ASSERT_TRUE(PumpUntil([&] { return Parent(pictures[0]) == explorer.get(); }, 10s));
  PostMessageW(pictures[0], WM_COMMAND, kOpacity0 + 2, 0);
  ASSERT_TRUE(PumpUntil([&] { return WindowOpacity(pictures[0]) == 127; }, 10s));
  for (UINT command : {kPinnedToDesktop, kOpacity0 + 2}) PostMessageW(pictures[1], WM_COMMAND, command, 0);
  EXPECT_TRUE(WaitUntil([&] { return WindowOpacity(pictures[1]) == 127; }, 5s)) << "the program goes on";
  EXPECT_EQ(Parent(pictures[1]), GetDesktopWindow()) << "a window of its own";
  PostMessageW(icon, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_TRUE(program.WaitForExit(3s) && program.ExitCode() == 0) << "ended in order, at once";
}

// The desktop window at a logon or after Explorer restarted: not there yet, then slow to answer (this
// thread takes 300 ms over each question, as a busy Explorer does), then putting a window of its own
// above the pictures inside it, as Explorer's wallpaper does.
WNDPROC g_standInProcedure = nullptr;
LRESULT CALLBACK SlowToAnswer(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NULL) Sleep(300);
  return CallWindowProcW(g_standInProcedure, hwnd, message, wParam, lParam);
}

TEST(RealProgramTest, PinnedPicturesWaitAtTheBottomForALateOrSlowDesktopWindowAndStayAboveItsOwnWindows) {
  TempDir dir;
  const std::wstring path = Quoted(WriteGradient(dir, L"p.bmp", 64, 48));
  ChildProcess program = StartPintaro(path + L" " + path);
  WaitForIconWindow(program);
  std::vector<HWND> pictures;
  ASSERT_TRUE(
      WaitUntil([&] { return (pictures = VisibleWindowsOfProcess(program.id(), kPictureClass)).size() == 2; }, 20s));
  // The upper picture, once pinned, goes below the other and the icon window: only the program's own
  // windows are compared. Side by side first: Wine raises a window above those it overlaps when the X
  // server's word that it was shown comes late, past the window's own handling of its place.
  SetWindowPos(pictures[1], nullptr, RectOf(pictures[0]).right + 8, 0, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const auto atTheBottom = [&](HWND picture) { return VisibleWindowsOfProcess(program.id()).back() == picture; };
  ASSERT_FALSE(atTheBottom(pictures[0]));
  PostMessageW(pictures[0], WM_COMMAND, kPinnedToDesktop, 0);
  EXPECT_TRUE(PumpUntil([&] { return atTheBottom(pictures[0]); }, 10s)) << "while no desktop window is there";

  UniqueWindow explorer = DesktopStandIn();
  g_standInProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(explorer.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SlowToAnswer)));
  EXPECT_TRUE(PumpUntil([&] { return Parent(pictures[0]) == explorer.get(); }, 20s)) << "pinned once it is there";
  PostMessageW(pictures[1], WM_COMMAND, kPinnedToDesktop, 0);
  EXPECT_TRUE(PumpUntil([&] { return Parent(pictures[1]) == explorer.get(); }, 10s)) << "pinned though it is slow";

  // A window of Explorer's own above both, inside its desktop window: the pictures come back above it, in
  // their order.
  const HWND top = GetWindow(explorer.get(), GW_CHILD);
  const UniqueWindow wallpaper(
      CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1024, 768, explorer.get(), nullptr, nullptr, nullptr));
  // The program raises the pictures as soon as it sees the wallpaper there: only the move itself can be checked.
  ASSERT_TRUE(
      SetWindowPos(wallpaper.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW));
  const auto inOrder = [&] {
    const HWND first = GetWindow(explorer.get(), GW_CHILD);
    return first == top && GetWindow(first, GW_HWNDNEXT) != wallpaper.get() &&
           GetWindow(GetWindow(first, GW_HWNDNEXT), GW_HWNDNEXT) == wallpaper.get();
  };
  EXPECT_TRUE(PumpUntil(inOrder, 5s)) << "above the wallpaper again";
  EXPECT_TRUE(program.EndSession(10s) && program.ExitCode() == 0);
}

}  // namespace
}  // namespace pintaro::test
