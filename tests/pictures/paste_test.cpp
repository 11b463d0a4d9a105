// The real program pastes a bitmap that this process put on the clipboard.
#include "pictures/picture_loader.h"
#include "support/app_fixture.h"
#include "support/drag_source.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

TEST(PasteTest, EachPasteOpensFromItsOwnTemporaryFileTheTrayIconHidesAndShowsAllAndTheEndDeletesTheFilesNotInUse) {
  // A temporary directory whose path takes more than 260 bytes in the Japanese ANSI code page.
  TempDir top;
  const std::wstring temp = top / std::wstring(120, L'一');
  ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
  SetEnvironmentVariableW(L"TMP", temp.c_str());
  SetEnvironmentVariableW(L"TEMP", temp.c_str());
  ChildProcess program = StartPintaro(L"");
  const HWND icon = WaitForIconWindow(program);
  ASSERT_TRUE(icon);
  const Image32 pattern = MakeGradient(640, 480);
  // The clipboard's owner must be a window, or another process sees nothing there.
  const HWND owner = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  // A device-dependent bitmap, as programs put on the clipboard.
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 640, 480);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 640, -480, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  SetDIBits(screen, bitmap, 0, 480, pattern.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  SetClipboardData(CF_BITMAP, bitmap);
  CloseClipboard();
  DestroyWindow(owner);  // the picture stays on the clipboard without its owner
  const auto choose = [&](WORD key) {
    ClickAt(OnThePin(icon), Button::Right);
    ASSERT_TRUE(WaitUntil([&] { return MenuShown(program.id()); }, 10s));
    TapKey(key);
  };
  for (std::size_t pastes = 1; pastes <= 2; ++pastes) {
    choose('P');
    ASSERT_TRUE(WaitUntil([&] { return VisibleWindowsOfProcess(program.id(), kPictureClass).size() == pastes; }, 10s));
  }
  for (HWND window : VisibleWindowsOfProcess(program.id(), kPictureClass)) EXPECT_EQ(SizeText(window), L"160x120");
  const std::set<std::wstring> files = FilesMatching(temp + L"\\pnt*.tmp");
  ASSERT_EQ(files.size(), 2u);
  for (const std::wstring& file : files) {
    const std::optional<Image32> saved = LoadPicture(file);
    ASSERT_TRUE(saved && saved->width() == 640 && saved->height() == 480);
    for (int i = 0; i < 640 * 480; ++i)
      ASSERT_EQ(saved->data()[i] & 0xFFFFFF, pattern.data()[i] & 0xFFFFFF) << "the clipboard's picture, at " << i;
  }

  // Wine's tray window shows the notification icon: a double click on it hides every window of the
  // program, and the first item of its menu shows them again.
  const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
  const HWND trayIcon = FindWindowExW(tray, nullptr, L"__winex11_tray_icon", nullptr);
  ASSERT_TRUE(trayIcon);
  const POINT onIcon = CentreOf(trayIcon);
  const auto shownWindows = [&] { return VisibleWindowsOfProcess(program.id()).size(); };
  const std::size_t shown = shownWindows();
  ClickAt(onIcon);
  ClickAt(onIcon);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(icon) && shownWindows() == shown - 3; }, 10s));
  ClickAt(onIcon, Button::Right);
  ASSERT_TRUE(WaitUntil([&] { return MenuShown(program.id()); }, 10s));
  TapKey('S');  // ウィンドウを表示する(&S)
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(icon) && shownWindows() == shown; }, 10s));

  WriteBytes(temp + L"\\pin.tmp", {});  // not the program's
  HANDLE held = CreateFileW(files.begin()->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  choose('X');
  EXPECT_TRUE(program.WaitForExit(10s)) << "no message waits for an answer";
  EXPECT_EQ(FilesMatching(temp + L"\\p*.tmp"), (std::set<std::wstring>{temp + L"\\pin.tmp", *files.begin()}))
      << "only the file in use is left";
  CloseHandle(held);
}

}  // namespace
}  // namespace pintaro::test
