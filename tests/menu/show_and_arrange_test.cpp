// Hiding, showing and arranging every window, the notification icon's messages, and paste that
// cannot go ahead; in the test process.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "app/program.h"
#include "icon_window/icon_window.h"
#include "icon_window/notify_icon.h"
#include "menu/main_menu.h"
#include "menu/main_menu_ids.h"
#include "menu/show_and_arrange.h"
#include "picture_window/picture_window.h"
#include "pictures/paste.h"
#include "pictures/picture_windows.h"
#include "support/app_fixture.h"
#include "support/test_files.h"

namespace pintaro::test {
namespace {

class ShowAndArrangeTest : public AppTest {
 protected:
  PictureWindow& Open(int width, int height) {
    const std::wstring path = dir / (std::to_wstring(++opened) + L".bmp");
    WritePicture(path, MakeGradient(width, height), PictureFormat::Bmp);
    OpenPictureFile(path);
    return *PictureWindows()[TheIconWindow()->LastOpenedSlot()];
  }
  static HWND Icon() { return TheIconWindow()->hwnd(); }
  static void NotifyIcon(UINT mouseMessage) { SendMessageW(Icon(), kNotifyIconCallback, 1, mouseMessage); }
  TempDir dir;
  int opened = 0;
};

TEST_F(ShowAndArrangeTest, HidingAndShowingTakeTheIconWindowAndEveryPictureInUse) {
  StartProgram();
  PictureWindow& a = Open(40, 30);
  PictureWindow& free = Open(40, 30);
  free.CloseAndFreeSlot();
  const auto expectShown = [&](bool shown) {
    EXPECT_EQ(IsWindowVisible(Icon()) != FALSE, shown);
    EXPECT_EQ(IsWindowVisible(a.hwnd()) != FALSE, shown);
    EXPECT_FALSE(IsWindowVisible(free.hwnd())) << "a free slot is never shown";
    EXPECT_EQ(TheMainMenu().ShowWindowsItemVisible(), !shown);
  };
  NotifyIcon(WM_LBUTTONDOWN);
  NotifyIcon(WM_LBUTTONUP);
  expectShown(true);  // single clicks on the notification icon do nothing
  for (int twice = 0; twice < 2; ++twice) {
    NotifyIcon(WM_LBUTTONDBLCLK);
    expectShown(false);
  }
  EXPECT_EQ(GetMenuItemID(TheMainMenu().handle(), 0), main_menu::kShowWindows) << "the first item";
  wchar_t first[64] = {};
  GetMenuStringW(TheMainMenu().handle(), 0, first, 64, MF_BYPOSITION);
  EXPECT_STREQ(first, L"ウィンドウを表示する(&S)");
  PopupRecorder popups;
  NotifyIcon(WM_RBUTTONUP);
  ASSERT_EQ(popups.popups().size(), 1u);
  EXPECT_EQ(popups.popups()[0].menu, TheMainMenu().handle());
  EXPECT_EQ(popups.popups()[0].flags, static_cast<UINT>(TPM_RIGHTBUTTON));
  for (int twice = 0; twice < 2; ++twice) {
    TheMainMenu().OnCommand(main_menu::kShowWindows);
    expectShown(true);
  }
}

TEST_F(ShowAndArrangeTest, ArrangingFillsTheScreenRowByRowSkipsFreeSlotsAndShiftsEachNewPage) {
  StartProgram();
  for (int i = 0; i < 27; ++i) Open(40, 30);
  PictureWindows()[2]->CloseAndFreeSlot();
  const POINT freeAt = {RectOf(PictureWindows()[2]->hwnd()).left, RectOf(PictureWindows()[2]->hwnd()).top};
  SendMessageW(Icon(), WM_LBUTTONDBLCLK, 0, 0);  // the icon window's double-click arranges
  // Slot and its top-left corner in pixels: 2560 x 2880 twips a cell at 15 twips a pixel, the
  // second page shifted by 240 twips.
  const std::pair<int, POINT> places[] = {{1, {0, 0}}, {3, {171, 0}}, {8, {0, 192}}, {26, {16, 16}}, {27, {187, 16}}};
  for (const auto& [slot, at] : places) {
    const RECT r = RectOf(PictureWindows()[slot]->hwnd());
    EXPECT_EQ((POINT{r.left, r.top}), at) << "slot " << slot;
    EXPECT_EQ(WindowSize(PictureWindows()[slot]->hwnd()), (SIZE{160, 120}));
  }
  const RECT r = RectOf(PictureWindows()[2]->hwnd());
  EXPECT_EQ((POINT{r.left, r.top}), freeAt) << "a free slot is left where it was";
}

TEST_F(ShowAndArrangeTest, TheNotificationIconComesBackWhenTheTaskbarIsCreatedAgain) {
  StartProgram();
  NOTIFYICONDATAW record{};
  record.cbSize = sizeof(record);
  record.hWnd = Icon();
  record.uID = 1;
  record.uFlags = NIF_TIP;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &record)) << "the icon is there after start-up";
  Shell_NotifyIconW(NIM_DELETE, &record);  // as a taskbar that goes away forgets it
  ASSERT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &record));
  SendMessageW(Icon(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &record));
}

TEST_F(ShowAndArrangeTest, PasteWithoutABitmapOrWithoutAUsableTemporaryDirectoryOpensNothingAndLeavesNoFile) {
  StartProgram();
  SetEnvironmentVariableW(L"TMP", dir.path().c_str());
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4));
  CloseClipboard();
  PasteFromClipboard();
  EXPECT_EQ(PictureWindows().UpperBound(), 0) << "text only";

  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, CreateBitmap(64, 48, 1, 32, nullptr));
  CloseClipboard();
  SetEnvironmentVariableW(L"TMP", (dir / L"gone").c_str());
  PasteFromClipboard();
  EXPECT_EQ(PictureWindows().UpperBound(), 0) << "no temporary directory";
  SetEnvironmentVariableW(L"TMP", dir.path().c_str());
  PasteFromClipboard();
  EXPECT_EQ(PictureWindows().UpperBound(), 1) << "the same bitmap once the directory is there";
  EXPECT_TRUE(messages.messages().empty());
}

}  // namespace
}  // namespace pintaro::test
