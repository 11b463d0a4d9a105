// Opening pictures into picture windows, with real windows under Wine.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/message_box.h"
#include "icon_window/frm_main.h"
#include "picture_window/frm_clip.h"
#include "pictures/clip_windows.h"
#include "support/app_fixture.h"
#include "support/picture_checks.h"
#include "support/test_files.h"

namespace pintaro::test {
namespace {

class OpenPictureFileTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    StartProgram();
  }

  std::wstring Picture(const wchar_t* name, int w, int h, PictureFormat format) {
    const std::wstring path = dir / name;
    WritePicture(path, MakeGradient(w, h), format);
    return path;
  }

  FrmClip& Slot(int slot) {
    FrmClip* window = ClipWindows()[slot];
    EXPECT_NE(window, nullptr) << "slot " << slot;
    return *window;
  }

  TempDir dir;
};

TEST_F(OpenPictureFileTest, EachFormatOpensFittedToTheDisplaySize) {
  OpenPictureFile(Picture(L"land.jpg", 1024, 768, PictureFormat::Jpeg));
  OpenPictureFile(Picture(L"port.gif", 768, 1024, PictureFormat::Gif));
  OpenPictureFile(Picture(L"thin.bmp", 640, 10, PictureFormat::Bmp));
  OpenPictureFile(Picture(L"small.png.jpg", 100, 50, PictureFormat::Png));  // told by content

  ASSERT_EQ(ClipWindows().UpperBound(), 4);
  const SIZE expected[] = {{160, 120}, {120, 160}, {160, 2}, {160, 80}};
  for (int slot = 1; slot <= 4; ++slot) {
    FrmClip& window = Slot(slot);
    EXPECT_TRUE(IsWindowVisible(window.hwnd())) << slot;
    EXPECT_EQ(WindowSize(window.hwnd()).cx, expected[slot - 1].cx) << slot;
    EXPECT_EQ(WindowSize(window.hwnd()).cy, expected[slot - 1].cy) << slot;
    EXPECT_EQ(window.PictureSize().cx, expected[slot - 1].cx) << slot;
    EXPECT_TRUE(GetWindowLongPtrW(window.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(GetWindowLongPtrW(window.hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no taskbar button";
    EXPECT_EQ(GetWindowLongPtrW(window.hwnd(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0) << "borderless";
    EXPECT_EQ(window.Tag, L"");
  }
  EXPECT_EQ(Slot(1).Image1.Tag, dir / L"land.jpg");
  EXPECT_EQ(Slot(1).Image1.ToolTipText, L"land.jpg");
  EXPECT_EQ(MainForm()->CountCaption(), L"4");
  EXPECT_TRUE(messages.messages().empty());
}

TEST_F(OpenPictureFileTest, NewWindowsLandAroundTheScreenCentreTheSameWayEveryRun) {
  const std::wstring path = Picture(L"a.bmp", 400, 300, PictureFormat::Bmp);
  std::vector<RECT> first;
  for (int i = 0; i < 5; ++i) {
    OpenPictureFile(path);
    RECT rect{};
    GetWindowRect(Slot(i + 1).hwnd(), &rect);
    first.push_back(rect);
    const int cx = (rect.left + rect.right) / 2;
    const int cy = (rect.top + rect.bottom) / 2;
    const int sw = GetSystemMetrics(SM_CXSCREEN);
    const int sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_LE(std::abs(cx - sw / 2), sw * 15 / 100 + 1);
    EXPECT_LE(std::abs(cy - sh / 2), sh * 15 / 100 + 1);
  }
  EXPECT_FALSE(EqualRect(&first[0], &first[1])) << "windows are scattered";

  EndProgram();
  ResetPlacementSequence();
  StartProgram();
  for (int i = 0; i < 5; ++i) {
    OpenPictureFile(path);
    RECT rect{};
    GetWindowRect(Slot(i + 1).hwnd(), &rect);
    EXPECT_TRUE(EqualRect(&rect, &first[static_cast<std::size_t>(i)])) << i;
  }
}

TEST_F(OpenPictureFileTest, ClosedSlotsAreReusedLowestFirst) {
  const std::wstring path = Picture(L"p.bmp", 64, 48, PictureFormat::Bmp);
  for (int i = 0; i < 4; ++i) OpenPictureFile(path);
  FrmClip* second = &Slot(2);
  const HWND secondHwnd = second->hwnd();
  Slot(2).mnuCloseWindow_Click();
  Slot(4).mnuCloseWindow_Click();
  EXPECT_EQ(Slot(2).Tag, L"close");
  EXPECT_FALSE(IsWindowVisible(secondHwnd));
  EXPECT_EQ(Slot(2).Image1.Tag, L"");
  EXPECT_FALSE(Slot(2).Image1.Picture);

  const wchar_t* expected[] = {L"2", L"4", L"5"};
  for (const wchar_t* slot : expected) {
    OpenPictureFile(path);
    EXPECT_EQ(MainForm()->CountCaption(), slot);
  }
  EXPECT_EQ(ClipWindows().UpperBound(), 5);
  EXPECT_EQ(&Slot(2), second) << "the same window object is reused";
  EXPECT_EQ(Slot(2).hwnd(), secondHwnd);
  EXPECT_TRUE(IsWindowVisible(secondHwnd));
  EXPECT_EQ(Slot(2).Tag, L"");
}

TEST_F(OpenPictureFileTest, TextFileNamedJpgGivesTheMessageAndChangesNothing) {
  const std::wstring good = Picture(L"good.bmp", 32, 32, PictureFormat::Bmp);
  OpenPictureFile(good);
  const std::wstring path = dir / L"notes.jpg";
  WriteBytes(path, {'h', 'e', 'l', 'l', 'o', '\r', '\n'});

  OpenPictureFile(path);
  ASSERT_EQ(messages.messages().size(), 1u);
  const ShownMessage& shown = messages.messages()[0];
  EXPECT_EQ(shown.text, path + L"\r\n\r\nこのファイル形式には対応していません。");
  EXPECT_EQ(shown.caption, L"ぴんたろ");
  EXPECT_EQ(shown.type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(ClipWindows().UpperBound(), 1);
  EXPECT_EQ(MainForm()->CountCaption(), L"1");
}

TEST_F(OpenPictureFileTest, OpacityAndCheckMarkFollowTheGlobalTransparency) {
  const std::wstring path = Picture(L"p.bmp", 64, 48, PictureFormat::Bmp);
  OpenPictureFile(path);
  EXPECT_EQ(WindowOpacity(Slot(1).hwnd()), 255);
  EXPECT_TRUE(Slot(1).IsAlphaChecked(0));

  Settings().CurrentAlpha = 127;
  Settings().CurrentAlphaIndex = 2;
  OpenPictureFile(path);
  EXPECT_EQ(WindowOpacity(Slot(2).hwnd()), 127);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Slot(2).IsAlphaChecked(i), i == 2) << i;
  EXPECT_EQ(WindowOpacity(Slot(1).hwnd()), 255) << "open windows keep theirs";
}

TEST_F(OpenPictureFileTest, SameFileTwiceGivesTwoWindows) {
  const std::wstring path = Picture(L"twice.jpg", 300, 200, PictureFormat::Jpeg);
  OpenPictureFile(path);
  OpenPictureFile(path);
  ASSERT_EQ(ClipWindows().UpperBound(), 2);
  EXPECT_NE(Slot(1).hwnd(), Slot(2).hwnd());
  EXPECT_TRUE(IsWindowVisible(Slot(1).hwnd()));
  EXPECT_TRUE(IsWindowVisible(Slot(2).hwnd()));
}

std::wstring ToolTipTextOf(const FrmClip& window) {
  wchar_t text[512] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = window.hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(window.hwnd());
  tool.lpszText = text;
  SendMessageW(window.toolTip(), TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
  return text;
}

TEST_F(OpenPictureFileTest, JapaneseAndEmojiNamesOpenAndShowInTheTip) {
  const std::wstring folder = dir / L"写真フォルダ";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring path = folder + L"\\ねこ🐱の写真.jpg";
  WritePicture(path, MakeGradient(200, 100), PictureFormat::Jpeg);

  OpenPictureFile(path);
  ASSERT_TRUE(messages.messages().empty());
  EXPECT_EQ(Slot(1).Image1.ToolTipText, L"ねこ🐱の写真.jpg");
  EXPECT_EQ(ToolTipTextOf(Slot(1)), L"ねこ🐱の写真.jpg");
  EXPECT_EQ(WindowSize(Slot(1).hwnd()).cx, 160);
}

TEST_F(OpenPictureFileTest, PathsLongerThan260CharactersOpen) {
  std::wstring folder = dir.path();
  while (folder.size() < 300) {
    folder += L"\\長いフォルダの名前_long_folder_name";
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  }
  const std::wstring path = folder + L"\\picture.bmp";
  WritePicture(L"\\\\?\\" + path, MakeGradient(80, 60), PictureFormat::Bmp);
  ASSERT_GT(path.size(), 260u);

  OpenPictureFile(path);
  EXPECT_TRUE(messages.messages().empty());
  ASSERT_EQ(ClipWindows().UpperBound(), 1);
  EXPECT_EQ(Slot(1).Image1.ToolTipText, L"picture.bmp");
  EXPECT_TRUE(IsWindowVisible(Slot(1).hwnd()));
}

// An open that starts inside another open's message pumping takes its own slot and its own
// buffers: neither picture is disturbed.
class NestedOpener {
 public:
  explicit NestedOpener(std::wstring path) : path_(std::move(path)) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &NestedOpener::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PintaroTestNestedOpener";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~NestedOpener() { DestroyWindow(hwnd_); }
  void Arm() { PostMessageW(hwnd_, WM_APP, 0, 0); }
  bool ran() const { return ran_; }
  bool ranInsideAnotherOpen = false;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) {
      auto* self = reinterpret_cast<NestedOpener*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
      self->ranInsideAnotherOpen = ClipWindows().UpperBound() == 1;
      OpenPictureFile(self->path_);
      self->ran_ = true;
      return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  std::wstring path_;
  HWND hwnd_ = nullptr;
  bool ran_ = false;
};

TEST_F(OpenPictureFileTest, AnOpenInsideAnotherOpenDisturbsNeither) {
  const std::wstring red = dir / L"red.bmp";
  const std::wstring blue = dir / L"blue.bmp";
  WritePicture(red, MakeSolid(400, 300, 0xFFFF0000u), PictureFormat::Bmp);
  WritePicture(blue, MakeSolid(300, 400, 0xFF0000FFu), PictureFormat::Bmp);

  NestedOpener nested(blue);
  nested.Arm();
  OpenPictureFile(red);
  ASSERT_TRUE(nested.ran());
  EXPECT_TRUE(nested.ranInsideAnotherOpen);
  ASSERT_EQ(ClipWindows().UpperBound(), 2);

  SIZE size{};
  const auto outer = BitmapPixels(Slot(1).Image1.Picture.get(), size);
  EXPECT_EQ(size.cx, 160);
  EXPECT_EQ(size.cy, 120);
  for (const auto px : outer) ASSERT_EQ(Red(px), 255);
  const auto inner = BitmapPixels(Slot(2).Image1.Picture.get(), size);
  EXPECT_EQ(size.cx, 120);
  EXPECT_EQ(size.cy, 160);
  for (const auto px : inner) ASSERT_EQ(Blue(px), 255);
  EXPECT_EQ(Slot(1).Image1.Tag, red);
  EXPECT_EQ(Slot(2).Image1.Tag, blue);
}

}  // namespace
}  // namespace pintaro::test
