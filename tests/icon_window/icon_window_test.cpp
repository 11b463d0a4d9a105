// The icon window in the test process, which carries the program's icon: the pin drawn at each scale
// from the icon's image of that size, its square in a colour key whose red equals its blue (Windows lets
// clicks through keyed pixels only then), and a move to a screen of another scale.
#include "menu/main_menu.h"
#include "menu/main_menu_ids.h"
#include "support/app_fixture.h"

namespace pintaro::test {
namespace {

using UniqueHook = UniqueHandle<NullHandleTraits<HHOOK, &UnhookWindowsHookEx>>;
int g_wheelTurns = 0;  // the wheel messages this thread has taken from its queue
LRESULT CALLBACK CountWheelTurns(int code, WPARAM remove, LPARAM msg) {
  g_wheelTurns += remove == PM_REMOVE && reinterpret_cast<const MSG*>(msg)->message == WM_MOUSEWHEEL;
  return CallNextHookEx(nullptr, code, remove, msg);
}

// The window as drawn, a row of text each: '#' where the pin shows, '.' where the key colour is; or the
// icon's own image of that size, '#' where it is opaque (none when it has no image of that size).
std::vector<std::string> Drawn(HWND icon, int size) {
  std::vector<std::string> rows(size, std::string(size, '#'));
  const HDC dc = GetDC(icon);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      if (GetPixel(dc, x, y) == RGB(255, 0, 255)) rows[y][x] = '.';
  ReleaseDC(icon, dc);
  return rows;
}
std::vector<std::string> IconImage(int size) {
  const HMODULE self = GetModuleHandleW(nullptr);
  const auto directory = static_cast<BYTE*>(LockResource(
      LoadResource(self, FindResourceW(self, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)))));  // RT_GROUP_ICON
  const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
  const auto* image = static_cast<const BITMAPINFOHEADER*>(
      LockResource(LoadResource(self, FindResourceW(self, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3)))));  // RT_ICON
  if (image->biWidth != size || image->biBitCount != 32) return {};        // none of its own: it would be stretched
  const auto* pixels = reinterpret_cast<const std::uint32_t*>(image + 1);  // the bottom row first
  std::vector<std::string> rows(size, std::string(size, '.'));
  for (int i = 0; i < size * size; ++i)
    if (pixels[i] >> 24) rows[size - 1 - i / size][i % size] = '#';
  return rows;
}

// A user's hand on the icon window: the left button drags it, the right button opens the main menu at the
// pointer, a double-click arranges the pictures (past the first page), and the wheel steps the size while
// the icon window has the focus, which a size change gives it: at 480 a turn away does nothing. Then the
// pin drawn at each scale, and a move to a screen of another scale.
TEST_F(AppTest, TheIconWindowDragsOpensTheMenuArrangesAndTakesTheWheelAndThePinIsDrawnFromItsImageOfEachScale) {
  const std::wstring path = Quoted(WriteGradient(dir, L"p.bmp", 400, 300));
  StartProgram(path + L" " + path + L" " + path);
  const HWND icon = TheIconWindow()->hwnd();
  const POINT pin = OnThePin(icon);
  UserActs drag([&] { DragWithLeftButton(pin, {pin.x - 200, pin.y - 100}); });
  EXPECT_TRUE(PumpUntil([&] { return drag.done(); }, 10s));
  EXPECT_EQ(TopLeft(icon), (POINT{760, 572}));
  const POINT at = OnThePin(icon);
  std::pair<HMENU, POINT> popup{};
  SetPopupMenuHook([&](HMENU menu, UINT, int x, int y, HWND) { popup = {menu, {x, y}}; });
  for (const UINT nothing : {WM_RBUTTONDOWN, WM_LBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP})
    SendMessageW(icon, nothing, 0, 0);
  EXPECT_EQ(popup.first, nullptr) << "a press of the right button, or the other buttons, open nothing";
  ClickAt(at, Button::Right);
  EXPECT_TRUE(PumpUntil([&] { return popup.first == TheMainMenu().handle(); }, 5s));
  EXPECT_EQ(popup.second, at) << "at the pointer";
  SetPopupMenuHook({});
  // Cells of 480 pixels on a screen of 1024 x 768: two a page, each page shifted by half the icon window.
  ChooseAndWait(main_menu::kSize0 + 5);
  ClickAt(at);
  MouseDown(Button::Left, at);  // the second press of a double-click
  const POINT arranged[] = {{0, 0}, {512, 0}, {16, 16}};
  EXPECT_TRUE(PumpUntil([&] { return TopLeft(Slot(3).hwnd()) == arranged[2]; }, 5s));
  MouseUp(Button::Left, at);
  for (int slot = 1; slot <= 3; ++slot) EXPECT_EQ(TopLeft(Slot(slot).hwnd()), arranged[slot - 1]) << slot;
  // Each turn once the last is handled: from 480 down, up, up again (nothing), down, two notches at once (a
  // step), and a precision wheel's parts of a notch: summed per direction, a step once they make a notch,
  // and what a turn carries beyond a notch kept.
  const UniqueHook counted(SetWindowsHookExW(WH_GETMESSAGE, &CountWheelTurns, nullptr, GetCurrentThreadId()));
  const std::pair<std::vector<int>, LONG> rows[] = {
      {{-120}, 320},           {{120}, 480},     {{120}, 480},          {{-120}, 320},        {{-240}, 240},
      {{30, 30, 30, 30}, 320}, {{60, -60}, 320}, {{40, 40, -120}, 240}, {{-60, 60, 60}, 320}, {{-100, -100, -40}, 160}};
  for (const auto& [distances, width] : rows) {
    for (const int distance : distances) {
      TurnWheel(distance, at);  // taken from the queue only while this thread pumps
      EXPECT_TRUE(PumpUntil([&, before = g_wheelTurns] { return g_wheelTurns > before; }, 5s)) << distance;
    }
    EXPECT_TRUE(WorkDone());
    EXPECT_EQ(RectOf(Slot(3).hwnd()).right - RectOf(Slot(3).hwnd()).left, width) << distances.back();
  }

  COLORREF key = 0;
  DWORD flags = 0;
  EXPECT_TRUE(GetLayeredWindowAttributes(icon, &key, nullptr, &flags) && flags == LWA_COLORKEY);
  EXPECT_EQ(key, RGB(255, 0, 255));
  // Windows suggests a place on the new screen, at its scale.
  for (const auto& [dpi, place] :
       {std::pair{96u, RECT{760, 572, 792, 604}}, {144u, RECT{100, 90, 148, 138}}, {192u, RECT{200, 150, 264, 214}}}) {
    if (dpi != 96) SendMessageW(icon, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
    EXPECT_EQ(RectOf(icon), place);
    UpdateWindow(icon);
    EXPECT_EQ(Drawn(icon, place.right - place.left), IconImage(place.right - place.left)) << dpi;
  }
}

}  // namespace
}  // namespace pintaro::test
