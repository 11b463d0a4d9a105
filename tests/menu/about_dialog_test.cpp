// The version dialog and help, in the test process: the dialog is found by its caption and worked
// with real clicks and keys from another thread while this one runs its modal loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "app/program.h"
#include "build_texts.h"
#include "icon_window/icon_window.h"
#include "menu/main_menu.h"
#include "menu/main_menu_ids.h"
#include "menu/version_text.h"
#include "picture_window/picture_window.h"
#include "pictures/picture_windows.h"
#include "resources/resource_ids.h"
#include "support/app_fixture.h"
#include "support/process_control.h"
#include "support/real_input.h"
#include "support/test_files.h"
#include "version.h"
#include "win32/shell_open.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kPurple = RGB(136, 0, 136);

// The colours the two links show on the screen (each underline is drawn in its link's colour).
std::vector<COLORREF> LinkColours(HWND dialog) {
  std::vector<COLORREF> colours;
  for (int link : {IDC_ABOUT_WEB, IDC_ABOUT_MAIL}) {
    HWND label = GetDlgItem(dialog, link);
    HDC dc = GetDC(label);
    RECT r{};
    GetClientRect(label, &r);
    colours.push_back(CLR_INVALID);
    for (int i = 0; i < r.right * r.bottom && colours.back() == CLR_INVALID; ++i) {
      const COLORREF pixel = GetPixel(dc, i % r.right, i / r.right);
      if (pixel == kBlue || pixel == kPurple) colours.back() = pixel;
    }
    ReleaseDC(label, dc);
  }
  return colours;
}

class AboutDialogTest : public AppTest {
 protected:
  // Notes what the shell is asked to open, and the links' colours at that moment.
  AboutDialogTest() {
    SetShellOpenHook([this](HWND owner, const std::wstring& target) {
      owners.push_back(owner);
      targets.push_back(target);
      coloursAtOpening.push_back(LinkColours(owner));
      ++opened;
    });
  }
  ~AboutDialogTest() override { SetShellOpenHook({}); }

  // Opens the dialog from the main menu; the user's hand waits until its links are painted and acts
  // on it. Returns when the dialog has closed.
  static void WithDialog(const std::function<void(HWND dialog, std::vector<COLORREF> firstPainted)>& act) {
    UserActs user([&] {
      HWND dialog = nullptr;
      WaitUntil([&] { return dialog = FindWindowW(kDialogClass, L"ぴんたろ のバージョン情報"); }, 10s);
      std::vector<COLORREF> colours;
      WaitUntil([&] { return std::ranges::count(colours = LinkColours(dialog), CLR_INVALID) == 0; }, 10s);
      act(dialog, colours);
    });
    TheMainMenu().OnCommand(main_menu::kAbout);
    PumpUntil([&] { return user.done(); }, 10s);
  }

  std::vector<HWND> owners;
  std::vector<std::wstring> targets;
  std::vector<std::vector<COLORREF>> coloursAtOpening;
  std::atomic<int> opened{0};
};

TEST_F(AboutDialogTest, ShowsTheProgramsTextsHoldsOtherWindowsAndOpensLinksAndHelpThroughTheShell) {
  TempDir dir;
  WritePicture(dir / L"a.bmp", MakeGradient(40, 30), PictureFormat::Bmp);
  StartProgram(L"\"" + dir / L"a.bmp" + L"\"");
  ASSERT_NE(PictureWindows()[1], nullptr);
  const HWND others[] = {TheIconWindow()->hwnd(), PictureWindows()[1]->hwnd()};

  WithDialog([&](HWND dialog, std::vector<COLORREF> firstPainted) {
    EXPECT_EQ(firstPainted, (std::vector<COLORREF>{kBlue, kBlue}));
    std::vector<std::wstring> texts;
    for (int id : {IDC_ABOUT_TITLE, IDC_ABOUT_VERSION, IDC_ABOUT_RIGHTS, IDC_ABOUT_WEB, IDC_ABOUT_MAIL}) {
      texts.push_back(WindowText(GetDlgItem(dialog, id)));
    }
    const std::wstring version = VersionText(PINTARO_VERSION_MAJOR, PINTARO_VERSION_MINOR, PINTARO_VERSION_PATCH);
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"ぴんたろ", version, kRightsNotice, kWebAddress, kMailAddress}));
    EXPECT_NE(SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0), 0);
    for (HWND other : others) EXPECT_FALSE(IsWindowEnabled(other)) << "takes no input while the dialog is open";
    ClickAt(CentreOf(GetDlgItem(dialog, IDC_ABOUT_WEB)));
    EXPECT_TRUE(WaitUntil([&] { return opened == 1; }, 5s));
    ClickAt(CentreOf(GetDlgItem(dialog, IDC_ABOUT_MAIL)));
    EXPECT_TRUE(WaitUntil([&] { return opened == 2; }, 5s));
    TapKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5s)) << "Esc closes it";
  });
  for (HWND other : others) EXPECT_TRUE(IsWindowEnabled(other));
  EXPECT_EQ(targets, (std::vector<std::wstring>{kWebAddress, L"mailto:" + std::wstring(kMailAddress)}));
  // Painted purple before the shell is called, and purple until the dialog closes.
  EXPECT_EQ(coloursAtOpening, (std::vector<std::vector<COLORREF>>{{kPurple, kBlue}, {kPurple, kPurple}}));

  WithDialog([&](HWND dialog, std::vector<COLORREF> firstPainted) {
    EXPECT_EQ(firstPainted, (std::vector<COLORREF>{kBlue, kBlue})) << "built afresh";
    TapKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5s)) << "Enter closes it";
  });

  // Help: the document beside the program, which the build puts there.
  TheMainMenu().OnCommand(main_menu::kHelp);
  EXPECT_EQ(owners.back(), TheIconWindow()->hwnd());
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  EXPECT_EQ(targets.back(), std::wstring(exe).substr(0, std::wstring(exe).rfind(L'\\')) + L"\\Readme.html");
  EXPECT_TRUE(FileExists(targets.back()));
}

}  // namespace
}  // namespace pintaro::test
