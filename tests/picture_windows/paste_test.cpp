// The real program pastes a bitmap that this process put on the clipboard.
#include <set>

#include "picture_reading/picture_loader.h"
#include "support/app_fixture.h"
#include "support/drag_source.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

TEST(PasteTest, EachPasteOpensFromItsOwnTemporaryFileAndTheEndDeletesTheFilesNotInUse) {
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
  SetClipboardData(CF_BITMAP, CreateBitmap(640, 480, 1, 32, pattern.data()));
  CloseClipboard();
  DestroyWindow(owner);  // the picture stays on the clipboard without its owner
  const auto choose = [&](WORD key) {
    ClickAt(OnThePin(icon), Button::Right);
    ASSERT_TRUE(WaitUntil([&] { return MenuShown(program.id()); }, 10s));
    TapKeyFor(program.id(), key);
  };
  for (std::size_t pastes = 1; pastes <= 2; ++pastes) {
    choose('P');
    ASSERT_TRUE(WaitUntil([&] { return VisibleWindowsOfProcess(program.id(), kPictureClass).size() == pastes; }, 10s));
  }
  for (HWND window : VisibleWindowsOfProcess(program.id(), kPictureClass)) EXPECT_EQ(SizeText(window), L"160x120");
  const std::set<std::wstring> files = FilesIn(temp);
  ASSERT_EQ(files.size(), 2u);
  for (const std::wstring& file : files) {
    const std::optional<LoadedPicture> loaded = LoadPicture(file);
    ASSERT_TRUE(loaded && loaded->pixels.width() == 640 && loaded->pixels.height() == 480);
    const Image32* saved = &loaded->pixels;
    for (int i = 0; i < 640 * 480; ++i)
      ASSERT_EQ(saved->data()[i] & 0xFFFFFF, pattern.data()[i] & 0xFFFFFF) << "the clipboard's picture, at " << i;
  }

  // Other programs' files, some of whose short names match "pnt*.tmp": the end leaves them alone.
  std::set<std::wstring> left{*files.begin()};
  for (const wchar_t* other : {L"pin.tmp", L"pntnotes.tmpx", L"pnt_report.tmp_old", L"pntdraft.tmp1"}) {
    WriteBytes(temp + L"\\" + other, {1});
    left.insert(temp + L"\\" + other);
  }
  HANDLE held = CreateFileW(files.begin()->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  choose('X');
  EXPECT_TRUE(program.WaitForExit(10s)) << "no message waits for an answer";
  EXPECT_EQ(FilesIn(temp), left) << "only the program's file in use is left, and the others' files";
  CloseHandle(held);
}

}  // namespace
}  // namespace pintaro::test
