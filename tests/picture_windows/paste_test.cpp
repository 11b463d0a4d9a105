// The real program pastes a bitmap that this process put on the clipboard.
#include <atomic>
#include <set>
#include <thread>

#include "menu/main_menu_ids.h"
#include "picture_reading/picture_loader.h"
#include "support/app_fixture.h"
#include "support/drag_source.h"
#include "win32/dde_names.h"
#include "win32/handles.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

const UniqueKernelHandle g_render(CreateEventW(nullptr, TRUE, FALSE, nullptr));  // the slow owner renders

// A square DIB: 32 bits, or 8 bits with a run-length code that ends the bitmap at once.
HGLOBAL Dib(std::int32_t side, WORD bits, DWORD compression, DWORD dataBytes) {
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 40 + (bits == 8 ? 1024 : 0) + dataBytes);
  const LockedGlobal<BITMAPINFOHEADER> header(block);
  *header.get() = {sizeof(BITMAPINFOHEADER), side, side, 1, bits, compression, compression ? dataBytes : 0};
  if (compression) reinterpret_cast<BYTE*>(header.get())[40 + 1024 + 1] = 1;
  return block;
}

// Each paste has its own file; a run-length bitmap that claims 16384 x 16384 pixels in 1 KB, and an owner
// that renders its bitmap only when the test lets it (they held the program up for 7 s writing an 805 MB
// file, and for as long as the owner liked, and the late bitmap was pasted) give neither; a start after a
// kill and the end delete the files not in use and leave other programs' look-alikes.
TEST(PasteTest, EachPasteHasItsOwnFileNoBombOrSlowOwnerHoldsItUpAndAStartAfterAKillOrTheEndDeletesTheFilesNotInUse) {
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

  DdeClient conversation;
  conversation.Create(nullptr);
  ASSERT_TRUE(conversation.OpenLink(kHandOffLinkTopic, kHandOffLinkItem, 5s));
  HWND pasting = icon;
  const auto paste = [&](HWND clipboardOwner, HANDLE data) {
    ASSERT_TRUE(OpenClipboard(clipboardOwner));
    EmptyClipboard();
    SetClipboardData(CF_DIB, data);
    CloseClipboard();
    PostMessageW(pasting, WM_COMMAND, main_menu::kPaste, 0);
  };
  paste(nullptr, Dib(16384, 8, BI_RLE8, 2));
  EXPECT_TRUE(AnswersThroughout(conversation, 2s, 2s));
  std::atomic<HWND> slowOwner = nullptr;
  std::jthread ownerThread([&] {
    const HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(window, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
                        if (message != WM_RENDERFORMAT) return DefWindowProcW(hwnd, message, wParam, lParam);
                        WaitForSingleObject(g_render.get(), 20000);
                        SetClipboardData(CF_DIB, Dib(4, 32, BI_RGB, 64));
                        return LRESULT{0};
                      }));
    slowOwner = window;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    DestroyWindow(window);
  });
  ASSERT_TRUE(WaitUntil([&] { return slowOwner != nullptr; }, 5s));
  paste(slowOwner, nullptr);
  EXPECT_TRUE(AnswersThroughout(conversation, 3s, 4s));
  SetEvent(g_render.get());
  ASSERT_TRUE(WaitUntil([] { return OpenClipboard(nullptr) && CloseClipboard(); }, 10s)) << "the paste's read is over";
  EXPECT_TRUE(AnswersThroughout(conversation, 3s, 0s));
  PostThreadMessageW(GetWindowThreadProcessId(slowOwner, nullptr), WM_QUIT, 0, 0);
  EXPECT_EQ(VisibleWindowsOfProcess(program.id(), kPictureClass).size(), 2u) << "nothing more pasted";
  EXPECT_EQ(FilesIn(temp), files) << "no file more";

  // Another program cannot remove the running program's files, which it still reads itself.
  EXPECT_FALSE(DeleteFileW(files.begin()->c_str()));
  PostMessageW(icon, WM_COMMAND, main_menu::kSize0, 0);
  EXPECT_TRUE(
      WaitUntil([&] { return SizeText(VisibleWindowsOfProcess(program.id(), kPictureClass)[1]) == L"80x60"; }, 10s));

  // Killed, the program leaves its files; the next start removes them, but not other programs' files, some
  // of whose short names match "pnt*.tmp", nor a file of its form that another program holds open. The
  // orderly end removes what that start pasted, and leaves the same.
  std::set<std::wstring> left;
  for (const wchar_t* other : {L"pin.tmp", L"pntnotes.tmpx", L"pnt_report.tmp_old", L"pntdraft.tmp1", L"pnt12345.tmp",
                               L"pntG1.tmp", L"pntB0B.tmp"}) {
    WriteBytes(temp + L"\\" + other, {1});
    left.insert(temp + L"\\" + other);
  }
  const UniqueKernelHandle held(
      CreateFileW((temp + L"\\pntB0B.tmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(program.Kill());
  ChildProcess next = StartPintaro(L"");
  ASSERT_TRUE(pasting = WaitForIconWindow(next));
  EXPECT_TRUE(WaitUntil([&] { return FilesIn(temp) == left; }, 10s)) << "the killed program's files are gone";
  paste(nullptr, Dib(4, 32, BI_RGB, 64));
  ASSERT_TRUE(WaitUntil([&] { return FilesIn(temp).size() == left.size() + 1; }, 10s));
  ASSERT_TRUE(next.EndSession(10s));
  EXPECT_EQ(FilesIn(temp), left);
}

}  // namespace
}  // namespace pintaro::test
