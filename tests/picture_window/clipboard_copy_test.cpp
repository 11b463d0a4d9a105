// The two copy commands, read back from the clipboard here and by another program.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "clipboard_peer.h"
#include "picture_window/picture_menu_ids.h"
#include "picture_window_fixture.h"
#include "support/picture_checks.h"
#include "support/process_control.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

// The bitmap on the clipboard, as a program pasting it finds it.
struct Pasted {
  SIZE size{};             // 0 x 0 for none
  std::uint32_t hash = 0;  // of its colours
  SIZE dib{};              // the device-independent form, as read by another program
};

class ClipboardCopyTest : public PictureWindowTest {
 protected:
  static Pasted PasteHere() {
    Pasted result;
    if (!OpenClipboard(nullptr)) throw std::runtime_error("clipboard busy");
    if (auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)))
      result.hash = ColourHash(BitmapPixels(bitmap, result.size));
    CloseClipboard();
    return result;
  }

  Pasted PasteInAnotherProgram() {
    const std::wstring report = dir / L"peer.txt";
    ChildProcess peer(Quoted(BesideTests(kClipboardPeerExe)) + L" read " + Quoted(report));
    // The clipboard may ask this process, its owner, for the picture: keep answering meanwhile.
    EXPECT_TRUE(PumpUntil([&] { return !peer.Running(); }, 20s));
    EXPECT_EQ(peer.ExitCode(), 0u);
    Pasted result;
    std::ifstream{std::filesystem::path(report)} >> result.size.cx >> result.size.cy >> result.hash >> result.dib.cx >>
        result.dib.cy;
    return result;
  }
};

// The window is transparent and always on top: neither changes what is copied, and copying changes
// nothing of the window.
TEST_F(ClipboardCopyTest, BothCopiesArePastedHereAndInAnotherProgramAndLeaveTheWindowAsItWas) {
  const Image32 picture = MakeGradient(1024, 768);
  WritePicture(dir / L"p.bmp", picture, PictureFormat::Bmp);
  PictureWindow& window = Open(dir / L"p.bmp");
  window.SetOwnOpacity(3);
  window.ToggleAlwaysOnTop();
  const HBITMAP shown = window.shownBitmap.get();
  const POINT place = TopLeft(window.hwnd());
  SIZE shownSize{};
  struct Copy {
    UINT command;
    SIZE size;
    std::uint32_t hash;
  } const copies[] = {
      {picture_menu::kCopyAtShownSize, {160, 120}, ColourHash(BitmapPixels(shown, shownSize))},
      {picture_menu::kCopyAtOriginalSize, {1024, 768}, ColourHash({picture.data(), picture.data() + 1024 * 768})},
  };
  for (const Copy& copy : copies) {
    SCOPED_TRACE(copy.command);
    SendMessageW(window.hwnd(), WM_COMMAND, copy.command, 0);
    const Pasted here = PasteHere();
    const Pasted there = PasteInAnotherProgram();
    for (const Pasted& pasted : {here, there}) {
      EXPECT_EQ(pasted.size, copy.size);
      EXPECT_EQ(pasted.hash, copy.hash) << "the same colours";
    }
    EXPECT_EQ(there.dib, copy.size) << "and device-independent";
  }
  EXPECT_TRUE(messages.messages().empty());
  EXPECT_EQ(window.shownBitmap.get(), shown);
  EXPECT_EQ(WindowOpacity(window.hwnd()), 63);
  EXPECT_EQ(TopLeft(window.hwnd()).x, place.x);
  EXPECT_EQ(WindowSize(window.hwnd()).cx, 160);
  EXPECT_TRUE(IsTopMost(window.hwnd()));
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
}

// A file gone since opening, or another program holding the clipboard open (the copy tries briefly,
// then gives up): the clipboard keeps what it held, nothing is shown, and copying works again later.
TEST_F(ClipboardCopyTest, ACopyOfAGoneFileOrWhileAnotherProgramHoldsTheClipboardLeavesItAsItWas) {
  const std::wstring path = WriteGradient(L"gone.jpg", 640, 480, PictureFormat::Jpeg);
  PictureWindow& gone = Open(path);
  PictureWindow& window = Open(WriteGradient(L"p.bmp", 400, 300));
  Open(WriteGradient(L"before.bmp", 100, 200)).CopyAtShownSize();
  const SIZE before{80, 160};
  ASSERT_EQ(PasteHere().size, before);

  ASSERT_TRUE(DeleteFileW(path.c_str()));
  gone.CopyAtOriginalSize();
  EXPECT_EQ(PasteHere().size, before);
  EXPECT_TRUE(messages.messages().empty()) << "no message";

  const std::wstring held = L"PintaroTestClipboardHeld" + std::to_wstring(GetCurrentProcessId());
  const std::wstring release = L"PintaroTestClipboardRelease" + std::to_wstring(GetCurrentProcessId());
  const HANDLE heldEvent = CreateEventW(nullptr, TRUE, FALSE, held.c_str());
  const HANDLE releaseEvent = CreateEventW(nullptr, TRUE, FALSE, release.c_str());
  ChildProcess peer(Quoted(BesideTests(kClipboardPeerExe)) + L" hold " + held + L" " + release);
  ASSERT_EQ(WaitForSingleObject(heldEvent, 20000), WAIT_OBJECT_0);
  window.CopyAtShownSize();
  window.CopyAtOriginalSize();
  SetEvent(releaseEvent);
  EXPECT_TRUE(peer.WaitForExit(20s));
  EXPECT_EQ(peer.ExitCode(), 0u);
  CloseHandle(heldEvent);
  CloseHandle(releaseEvent);
  EXPECT_EQ(PasteHere().size, before) << "nothing was changed while the clipboard was held";
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));

  window.CopyAtOriginalSize();
  EXPECT_EQ(PasteHere().size, (SIZE{400, 300}));
  gone.CopyAtShownSize();
  EXPECT_EQ(PasteHere().size, (SIZE{160, 120})) << "the copy at the shown size still works";
}

}  // namespace
}  // namespace pintaro::test
