// The two copy commands, read back from the clipboard here and by another program.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "clipboard_peer.h"
#include "picture_window/clip_menu_ids.h"
#include "picture_window_fixture.h"
#include "support/picture_checks.h"
#include "support/process_control.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

struct ClipboardBitmap {
  SIZE size{};
  std::vector<std::uint32_t> pixels;
  bool present = false;
};

// What another program pasting the clipboard finds there.
struct PeerView {
  SIZE bitmap{};
  std::uint32_t hash = 0;
  SIZE dib{};
};

class ClipboardCopyTest : public PictureWindowTest {
 protected:
  static ClipboardBitmap ReadBitmap() {
    ClipboardBitmap result;
    if (!OpenClipboard(nullptr)) throw std::runtime_error("clipboard busy");
    if (auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
      result.present = true;
      result.pixels = BitmapPixels(bitmap, result.size);
    }
    CloseClipboard();
    return result;
  }

  static void PutText(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
  }

  static std::wstring ReadText() {
    if (!OpenClipboard(nullptr)) return L"(busy)";
    std::wstring text;
    if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
      text = static_cast<const wchar_t*>(GlobalLock(memory));
      GlobalUnlock(memory);
    }
    CloseClipboard();
    return text;
  }

  static std::wstring PeerPath() {
    std::wstring path = PintaroExePath();
    return path.substr(0, path.find_last_of(L'\\') + 1) + kClipboardPeerExe;
  }

  PeerView AskPeer() {
    const std::wstring report = dir / L"peer.txt";
    ChildProcess peer(Quoted(PeerPath()) + L" read " + Quoted(report));
    // The clipboard may ask this process, its owner, for the picture: keep answering meanwhile.
    EXPECT_TRUE(PumpUntil([&] { return !peer.Running(); }, 20s));
    EXPECT_EQ(peer.ExitCode(), 0u);
    PeerView view;
    std::ifstream in{std::filesystem::path(report)};
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      std::string kind;
      fields >> kind;
      if (kind == "bitmap") fields >> view.bitmap.cx >> view.bitmap.cy >> view.hash;
      if (kind == "dib") fields >> view.dib.cx >> view.dib.cy;
    }
    return view;
  }

  static std::vector<std::uint32_t> PixelsOf(const Image32& image) {
    return {image.data(), image.data() + static_cast<std::size_t>(image.width()) * image.height()};
  }

  static void ExpectSameColours(const std::vector<std::uint32_t>& actual, const std::vector<std::uint32_t>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < actual.size(); ++i) differing += ((actual[i] ^ expected[i]) & 0xFFFFFFu) != 0;
    EXPECT_EQ(differing, 0u) << "pixels differ from the picture";
  }
};

struct CopyCase {
  int width, height;
  SIZE shown;
};

TEST_F(ClipboardCopyTest, CopiesAtTheShownSizeAndAtTheFilesOwnSizeAndOtherProgramsPasteThem) {
  for (const CopyCase& c : {CopyCase{1024, 768, {160, 120}}, CopyCase{100, 50, {160, 80}}}) {
    SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height);
    const Image32 picture = MakeGradient(c.width, c.height);
    const std::wstring path = dir / (std::to_wstring(c.width) + L".bmp");
    WritePicture(path, picture, PictureFormat::Bmp);
    FrmClip& window = Open(path);

    SendMessageW(window.hwnd(), WM_COMMAND, clip_menu::kCopy, 0);
    ClipboardBitmap copied = ReadBitmap();
    ASSERT_TRUE(copied.present);
    EXPECT_EQ(copied.size.cx, c.shown.cx);
    EXPECT_EQ(copied.size.cy, c.shown.cy);
    SIZE shownSize{};
    const auto shown = BitmapPixels(window.Image1.Picture.get(), shownSize);
    ExpectSameColours(copied.pixels, shown);
    PeerView peer = AskPeer();
    EXPECT_EQ(peer.bitmap.cx, c.shown.cx);
    EXPECT_EQ(peer.bitmap.cy, c.shown.cy);
    EXPECT_EQ(peer.hash, ColourHash(shown)) << "the other program sees the same picture";
    EXPECT_EQ(peer.dib.cx, c.shown.cx) << "and can take it device-independent";

    SendMessageW(window.hwnd(), WM_COMMAND, clip_menu::kCopyOrigSize, 0);
    copied = ReadBitmap();
    ASSERT_TRUE(copied.present);
    EXPECT_EQ(copied.size.cx, c.width);
    EXPECT_EQ(copied.size.cy, c.height);
    ExpectSameColours(copied.pixels, PixelsOf(picture));
    peer = AskPeer();
    EXPECT_EQ(peer.bitmap.cx, c.width);
    EXPECT_EQ(peer.bitmap.cy, c.height);
    EXPECT_EQ(peer.hash, ColourHash(PixelsOf(picture)));
    EXPECT_EQ(peer.dib.cy, c.height);
  }
  EXPECT_TRUE(messages.messages().empty());
}

TEST_F(ClipboardCopyTest, CopyingLeavesTheWindowAsItWasAndATransparentWindowGivesOpaquePixels) {
  FrmClip& window = Open(WriteGradient(L"p.bmp", 400, 300));
  window.mnuAlpha_Click(3);
  const HBITMAP picture = window.Image1.Picture.get();
  const POINT place = TopLeft(window.hwnd());
  window.mnuWindowOrder1_Click();

  window.mnuCopy_Click();
  window.mnuCopyOrigSize_Click();
  const ClipboardBitmap copied = ReadBitmap();
  ASSERT_TRUE(copied.present);
  Image32 expected = MakeGradient(400, 300);
  ExpectSameColours(copied.pixels, PixelsOf(expected));

  EXPECT_EQ(window.Image1.Picture.get(), picture);
  EXPECT_EQ(WindowOpacity(window.hwnd()), 63);
  EXPECT_EQ(TopLeft(window.hwnd()).x, place.x);
  EXPECT_EQ(WindowSize(window.hwnd()).cx, 160);
  EXPECT_TRUE(IsTopMost(window.hwnd()));
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
}

TEST_F(ClipboardCopyTest, AFileGoneOrSpoiledSinceOpeningLeavesTheClipboardAsItWasAndShowsNothing) {
  const std::wstring gone = WriteGradient(L"gone.jpg", 640, 480, PictureFormat::Jpeg);
  const std::wstring spoiled = WriteGradient(L"spoiled.gif", 640, 480, PictureFormat::Gif);
  FrmClip& goneWindow = Open(gone);
  FrmClip& spoiledWindow = Open(spoiled);
  ASSERT_TRUE(DeleteFileW(gone.c_str()));
  WriteBytes(spoiled, {'n', 'o', 'p', 'e'});

  PutText(L"before");
  goneWindow.mnuCopyOrigSize_Click();
  spoiledWindow.mnuCopyOrigSize_Click();
  EXPECT_EQ(ReadText(), L"before");
  EXPECT_FALSE(ReadBitmap().present);
  EXPECT_TRUE(messages.messages().empty()) << "no message";

  goneWindow.mnuCopy_Click();
  const ClipboardBitmap shown = ReadBitmap();
  ASSERT_TRUE(shown.present) << "the copy at the shown size still works";
  EXPECT_EQ(shown.size.cx, 160);
  EXPECT_EQ(shown.size.cy, 120);
}

// Another program holds the clipboard open: the copy tries briefly, gives up without harm, and works
// once the clipboard is free again.
TEST_F(ClipboardCopyTest, WhileAnotherProgramHoldsTheClipboardTheCopyGivesUpAndWorksLater) {
  FrmClip& window = Open(WriteGradient(L"p.bmp", 400, 300));
  PutText(L"before");
  const std::wstring held = L"PintaroTestClipboardHeld" + std::to_wstring(GetCurrentProcessId());
  const std::wstring release = L"PintaroTestClipboardRelease" + std::to_wstring(GetCurrentProcessId());
  const HANDLE heldEvent = CreateEventW(nullptr, TRUE, FALSE, held.c_str());
  const HANDLE releaseEvent = CreateEventW(nullptr, TRUE, FALSE, release.c_str());
  ChildProcess peer(Quoted(PeerPath()) + L" hold " + held + L" " + release);
  ASSERT_EQ(WaitForSingleObject(heldEvent, 20000), WAIT_OBJECT_0);

  window.mnuCopy_Click();
  window.mnuCopyOrigSize_Click();

  SetEvent(releaseEvent);
  EXPECT_TRUE(peer.WaitForExit(20s));
  EXPECT_EQ(peer.ExitCode(), 0u);
  EXPECT_EQ(ReadText(), L"before") << "nothing was changed while the clipboard was held";
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));

  window.mnuCopyOrigSize_Click();
  const ClipboardBitmap copied = ReadBitmap();
  ASSERT_TRUE(copied.present);
  EXPECT_EQ(copied.size.cx, 400);
  CloseHandle(heldEvent);
  CloseHandle(releaseEvent);
}

}  // namespace
}  // namespace pintaro::test
