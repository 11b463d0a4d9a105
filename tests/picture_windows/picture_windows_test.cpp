// Opening pictures: many bad files in one drop, and pastes from another program into the real one.

#include <algorithm>
#include <cstring>
#include <random>

#include "menu/main_menu_ids.h"
#include "picture_reading/picture_loader.h"
#include "picture_reading/read_ahead.h"
#include "picture_windows/all_windows.h"
#include "picture_windows/paste.h"
#include "support/app_fixture.h"
#include "win32/dde_names.h"

namespace pintaro::test {
namespace {

// Good pictures of every format among many bad files at once, in one drop: each good picture opens as
// it should, each bad one has its message, and the program goes on.
using Bytes = std::vector<std::uint8_t>;

Bytes Cut(Bytes bytes, std::size_t size) { return bytes.resize(size), bytes; }
// The bitmap's header claims the size; its pixels are those of the real size.
Bytes Claiming(Bytes bmp, std::uint32_t width, std::uint32_t height) {
  return std::memcpy(&bmp[18], &width, 4), std::memcpy(&bmp[22], &height, 4), bmp;
}

using OpenPictureTest = AppTest;

TEST_F(OpenPictureTest, DroppedWithBadFilesEveryPictureOpensInOrderAtTheCommonTransparencyEachBadOneHasItsMessage) {
  StartProgram();
  Settings().opacityPreset = 2;  // the common transparency, 1/2
  // The files, made in the folder; locked.jpg is held open without sharing until the end.
  const auto encoded = [&](const Image32& image, PictureFormat format) {
    return WritePicture(dir / L"encoded", image, format), ReadBytes(dir / L"encoded");
  };
  const Image32 small = MakeGradient(64, 48);
  const Bytes jpeg = encoded(small, PictureFormat::Jpeg), gif = encoded(small, PictureFormat::Gif);
  const Bytes bmp = encoded(small, PictureFormat::Bmp), png = encoded(small, PictureFormat::Png);
  Image32 board = *Image32::Allocate(640, 480);  // reduced, it shows even grey; Wine's GDI would pick pixels
  for (int i = 0; i < 640 * 480; ++i) board.data()[i] = (i % 640 + i / 640) % 2 ? 0xFFFFFFFFu : 0xFF000000u;
  Bytes noise(4096);
  std::ranges::generate(noise, std::mt19937(7));
  std::wstring deep = dir.path();  // a path of more than 260 characters
  for (wchar_t c : {L'd', L'e'}) CreateDirectoryW((deep += L"\\" + std::wstring(120, c)).c_str(), nullptr);
  // Each name with its bytes, in a list of its kind or none.
  std::vector<std::wstring> names, good, bad;
  const auto add = [&](std::vector<std::wstring>* kind, const std::vector<std::pair<std::wstring, Bytes>>& files) {
    for (const auto& [name, bytes] : files) {
      const std::wstring path = name.starts_with(dir.path()) ? name : dir / name;
      names.push_back(path);
      if (kind) kind->push_back(path);
      if (name == L"folder.jpg") CreateDirectoryW(path.c_str(), nullptr);
      if (name != L"folder.jpg" && name != L"missing.jpg") WriteBytes(path, bytes);
    }
  };
  add(&good, {{L"good.jpg", jpeg}, {L"good.gif", gif}, {L"UPPER.JPG", jpeg}, {L"日本語の写真.jpg", jpeg}});
  add(&good, {{L"png inside.jpg", png}, {L"jpeg inside.gif", jpeg}, {L"bmp inside.jpg", bmp}});
  add(&good, {{L"x.JPEG", jpeg}, {L"y.Jif", jpeg}});  // the drop takes these too, in any case
  add(&good, {{L"絵文字😀🎌.gif", gif}, {deep + L"\\long.bmp", bmp}, {L"board.bmp", encoded(board, PictureFormat::Bmp)}});
  // No decoder takes an empty file or noise, whatever its name.
  add(&bad, {{L"empty.jpg", {}}, {L"missing.jpg", {}}, {L"folder.jpg", {}}, {L"locked.jpg", jpeg}});
  add(&bad, {{L"noise.gif", noise}, {L"cut.jpg", Cut(jpeg, 100)}, {L"cut.gif", Cut(gif, 13)}});
  add(&bad, {{L"cut.bmp", Cut(bmp, 30)}, {L"half.bmp", Cut(bmp, bmp.size() / 2)}, {L"signature.jpg", Cut(jpeg, 2)}});
  add(&bad,
      {{L"65535 square.bmp", Claiming(bmp, 65535, 65535)}, {L"2^20+1 wide.bmp", Claiming(bmp, (1u << 20) + 1, 1)}});
  // Cut in its scans, 600 scans, a 60000 x 60000 progressive one whose coefficients take 20 GB.
  add(&bad, {{L"cut in scan.jpg", ReadBytes(JpegSeed(L"cut_in_scan.jpg"))},
             {L"600 scans.jpg", ReadBytes(JpegSeed(L"600_scans.jpg"))},
             {L"huge progressive.jpg", ReadBytes(JpegSeed(L"huge_progressive.jpg"))}});
  add(nullptr, {{L"notes.txt", {'n', 'o', 't', 'e', 's'}}, {L"real.png", png}});
  UniqueKernelHandle locked(
      CreateFileW((dir / L"locked.jpg").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(locked && !UniqueKernelHandle(CreateFileW((dir / L"missing.jpg").c_str(), GENERIC_READ, 0, nullptr,
                                                        OPEN_EXISTING, 0, nullptr)))
      << "a failed open holds nothing";

  // Text, files that may only be moved, and lists that have no end in their block (read, they crashed the
  // program or opened heap bytes as names) are refused; a file list is taken below, and the names are not
  // looked at while dragging: one with no picture in it gets the copy pointer. Each source offers what the
  // clipboard holds: one at a time. (Lists that lie outside their block: the drop list's fuzzer.)
  std::vector<BYTE> endless(84, 'a');
  *reinterpret_cast<DROPFILES*>(endless.data()) = {sizeof(DROPFILES), {}, FALSE, FALSE};
  const std::tuple<UINT, std::vector<BYTE>, DWORD, DWORD> drags[] = {
      {CF_UNICODETEXT, NamesSource::Block({good[0]}, CF_UNICODETEXT), DROPEFFECT_COPY, DROPEFFECT_NONE},
      {CF_HDROP, NamesSource::Block({good[0]}, CF_HDROP), DROPEFFECT_MOVE, DROPEFFECT_NONE},
      {CF_HDROP, endless, DROPEFFECT_COPY, DROPEFFECT_NONE},
      {CF_HDROP, NamesSource::Block({dir / L"notes.txt"}, CF_HDROP), DROPEFFECT_COPY, DROPEFFECT_COPY}};
  for (const auto& [format, block, allowed, effect] : drags) {
    NamesSource source(block, format);
    EXPECT_EQ(DragOntoIcon(source, allowed), effect) << format;
  }
  // A name of 4,000,000 characters, whose message took 16 s to lay out, is skipped silently.
  names.push_back(std::wstring(3999996, L'x') + L".jpg");
  NamesSource files(names, CF_HDROP);
  EXPECT_EQ(DragOntoIcon(files, DROPEFFECT_COPY | DROPEFFECT_MOVE), static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_FALSE(files.openingWhenDropped) << "the drag source is answered before anything opens";
  EXPECT_NE(files.frontWhenDropped, TheIconWindow()->hwnd()) << "a drop does not bring the icon window to the front";
  ASSERT_TRUE(PumpUntil([&] { return messages.messages().size() == bad.size() && !OpeningsUnderWay(); }, 30s));
  std::vector<std::wstring> texts, expected, opened;
  // Each message shows with the arrow back.
  for (const ShownMessage& shown : messages.messages()) texts.push_back(shown.text + (shown.busy ? L" (busy)" : L""));
  for (const std::wstring& path : bad) expected.push_back(FormatMessageText(path));
  EXPECT_EQ(texts, expected);
  for (int slot = 1; slot <= PictureWindows().UpperBound(); ++slot) {
    const HWND hwnd = Slot(slot).hwnd();
    opened.push_back(Slot(slot).picturePath);
    EXPECT_EQ(WindowText(hwnd) + L" " + SizeText(hwnd), FileNamePart(opened.back()) + L" 160x120");
    EXPECT_TRUE(IsWindowVisible(hwnd) && WindowOpacity(hwnd) == 127 && Slot(slot).IsOpacityChecked(2)) << slot;
  }
  EXPECT_EQ(opened, good);
  std::vector<std::uint32_t> pixels(160 * 120);
  GetBitmapBits(Slot(static_cast<int>(good.size())).shownBitmap.get(), 160 * 120 * 4, pixels.data());
  for (const std::uint32_t px : pixels) ASSERT_NEAR(px & 0xFF, 128, 2) << "even grey";
  messages.clear();
  locked.reset();
  Open(dir / L"locked.jpg");
  EXPECT_TRUE(messages.messages().empty()) << "opens once the lock is gone";
}

// The real program pastes a bitmap that this process put on the clipboard.
const UniqueKernelHandle g_render(CreateEventW(nullptr, TRUE, FALSE, nullptr));  // the slow owner renders

// A square DIB: 32 bits, or 8 bits with a run-length code that ends the bitmap at once.
HGLOBAL Dib(std::int32_t side, WORD bits, DWORD compression, DWORD dataBytes) {
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 40 + (bits == 8 ? 1024 : 0) + dataBytes);
  const LockedGlobal<BITMAPINFOHEADER> header(block);
  *header.get() = {sizeof(BITMAPINFOHEADER), side, side, 1, bits, compression, compression ? dataBytes : 0};
  if (compression) reinterpret_cast<BYTE*>(header.get())[40 + 1024 + 1] = 1;
  return block;
}

// A clipboard owner that renders its bitmap only when the test lets it.
LRESULT CALLBACK SlowOwner(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RENDERFORMAT)
    WaitForSingleObject(g_render.get(), 20000), SetClipboardData(CF_DIB, Dib(4, 32, BI_RGB, 64));
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Pastes in the test process. One that fails says why, once, and leaves no file; a pasted file goes once no
// window shows it, though a drop may name it again, spelt otherwise, and Ctrl+Z can no longer bring it back; a
// file of another folder named as ours stays.
TEST_F(OpenPictureTest, APasteThatFailsSaysWhyOnceLeavingNoFileAndAPastedFileGoesOnceNeitherAWindowNorCtrlZHasIt) {
  StartProgram();
  const std::wstring temp = dir / L"temp", deep = dir / std::wstring(130, L'd'),
                     deeper = deep + L"\\" + std::wstring(130, L'e');
  for (const std::wstring& folder : {temp, deep, deeper}) CreateDirectoryW(folder.c_str(), nullptr);
  const std::tuple<std::wstring, HGLOBAL, std::wstring> cases[] = {
      {dir / L"missing", Dib(4, 32, BI_RGB, 64), L"貼り付けに失敗しました。一時フォルダーに書き込めません。"},
      {deeper, Dib(4, 32, BI_RGB, 64), L"貼り付けに失敗しました。一時フォルダーのパスが長すぎます。"},
      {temp, Dib(32768, 8, BI_RLE8, 2), L"貼り付けに失敗しました。クリップボードの画像が大きすぎます。"},
      {temp, Dib(4, 32, BI_RGB, 64), L""}};
  for (const auto& [folder, dib, told] : cases) {
    for (const wchar_t* name : {L"TMP", L"TEMP"}) SetEnvironmentVariableW(name, folder.c_str());
    PutOnClipboard(CF_DIB, dib);
    PasteFromClipboard();
    ASSERT_TRUE(WorkDone());
    if (!told.empty()) ExpectOnlyMessage(told);
    EXPECT_EQ(FilesIn(temp).size() + FilesIn(deeper).size(), told.empty() ? 1u : 0u) << told;
  }
  ASSERT_EQ(PictureWindows().UpperBound(), 1);
  const std::wstring pasted = Slot(1).picturePath, ours = WriteGradient(dir, L"pnt1.TMP", 4, 4);
  Open(CharLowerW(std::wstring(pasted).data())), Open(ours);  // a drop names the file in lower case
  for (int slot : {1, 3}) SendMessageW(Slot(slot).hwnd(), WM_CLOSE, 0, 0);
  ChooseAndWait(main_menu::kSize0);
  EXPECT_EQ(SizeText(Slot(2).hwnd()) + L" " + std::to_wstring(messages.messages().size()), L"80x80 0") << "still read";
  // Closed, it is kept while Ctrl+Z may bring it back, and goes once ten closes came after.
  SendMessageW(Slot(2).hwnd(), WM_CLOSE, 0, 0);
  PressCtrlZ(TheIconWindow()->hwnd());
  ASSERT_TRUE(PumpUntil([&] { return !Slot(1).isFree; }, 5s));
  SendMessageW(Slot(1).hwnd(), WM_CLOSE, 0, 0);
  for (int i = 0; i < 10; ++i) {
    EXPECT_TRUE(FileExists(pasted)) << i;
    SendMessageW(Open(WriteGradient(dir, L"o.bmp", 4, 4)).hwnd(), WM_CLOSE, 0, 0);
  }
  EXPECT_TRUE(PumpUntil([&] { return !FileExists(pasted); }, 5s)) << "gone once no window shows it nor may";
  EXPECT_TRUE(FileExists(ours));
}

// Past the limit of open pictures no file is read and nothing changes; each batch that goes past it (a
// command line, a drop or a hand-off, a paste) says so once, and a picture closed makes room for one.
// Past the names that may wait to open, a drop, hand-off or paste is not opened, and says so once while
// the queue stays full; a Ctrl+Z is still taken, and a paste waiting behind it keeps its file.
std::atomic<int> g_readPast{0};

TEST_F(OpenPictureTest, PastTheLimitOfOpenPicturesOrOfThoseWaitingNothingIsReadOrOpenedEachBatchSaysSoOnce) {
  SetPictureWindowLimit(3);  // each test runs in a process of its own
  SetReadAheadHook([](const std::wstring& path) noexcept { g_readPast += FileNamePart(path).starts_with(L"past"); });
  std::vector<std::wstring> names;
  std::wstring command;
  for (const wchar_t* name : {L"a.bmp", L"b.bmp", L"c.bmp", L"past d.bmp", L"past e.bmp"})
    command += L"\"" + names.emplace_back(WriteGradient(dir, name, 8, 6)) + L"\" ";
  const auto inSlots = [] {
    std::vector<std::wstring> paths;
    PictureWindows().ForEach([&](const PictureWindow& window) { paths.push_back(window.picturePath); });
    return paths;
  };
  const auto paste = [] {
    PutOnClipboard(CF_DIB, Dib(4, 32, BI_RGB, 64));
    PasteFromClipboard();
    return PumpUntil([] { return !PastesUnderWay(); }, 10s);
  };
  const std::wstring told = L"同時に開ける画像は 3 枚までです。これを超える画像は開きません。";
  StartProgram(command);
  ExpectOnlyMessage(told);
  EXPECT_EQ(inSlots(), std::vector(names.begin(), names.begin() + 3));
  OpenPictureFiles({names[3], names[4]});  // as a drop or a hand-off opens them
  ExpectOnlyMessage(told);
  for (const wchar_t* name : {L"TMP", L"TEMP"}) SetEnvironmentVariableW(name, dir.path().c_str());
  ASSERT_TRUE(paste());
  ExpectOnlyMessage(told);
  EXPECT_EQ(FilesIn(dir).size(), names.size()) << "no file written for the paste";
  Slot(2).CloseAndFreeSlot();
  OpenPictureFiles({names[3], names[4]});
  ExpectOnlyMessage(told);
  EXPECT_EQ(inSlots(), (std::vector{names[0], names[3], names[2]}));
  ASSERT_TRUE(PumpUntil([] { return ReadAheadWorkers() == 0; }, 10s));
  EXPECT_EQ(g_readPast, 1) << "only the picture that opened was read";

  for (int slot : {3, 2, 1}) SendMessageW(Slot(slot).hwnd(), WM_CLOSE, 0, 0);  // a, d, c remembered
  FileReads::Hold(names[1]);
  OpenPictureFiles({names[1]});
  OpenLastClosed();
  ASSERT_TRUE(paste());
  OpenPictureFiles(std::vector(kMostNamesWaitingToOpen - 2, dir / L"missing.bmp"));
  EXPECT_TRUE(messages.messages().empty()) << "as many as may wait";
  OpenPictureFiles({names[4]});
  ExpectOnlyMessage(L"開くのを待っている画像が多すぎます。それらが開き終わってから、もう一度お試しください。");
  OpenPictureFiles({names[4]});
  ASSERT_TRUE(paste());
  EXPECT_TRUE(messages.messages().empty()) << "told once";
  OpenLastClosed();
  FileReads::LetGo();
  ASSERT_TRUE(WorkDone());
  ASSERT_EQ(messages.messages().size(), 2u) << "the limit, for the names that waited and for the Ctrl+Z";
  for (const ShownMessage& shown : messages.messages()) EXPECT_EQ(shown.text, told);
  messages.clear();
  const std::vector<std::wstring> shown = inSlots();
  EXPECT_EQ(std::vector(shown.begin(), shown.begin() + 2), (std::vector{names[1], names[0]}));
  EXPECT_TRUE(FileExists(shown[2])) << "the paste that waited behind the Ctrl+Z kept its file";
  EXPECT_EQ(PictureWindowsState::Of().closed.front().path, names[3]) << "past the limit, remembered again";
  EXPECT_TRUE(PumpUntil([&] { return FilesIn(dir).size() == names.size() + 1; }, 5s)) << "the refused paste's file";
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
  for (const wchar_t* name : {L"TMP", L"TEMP"}) SetEnvironmentVariableW(name, temp.c_str());
  ChildProcess program = StartPintaro(L"");
  HWND icon = WaitForIconWindow(program);  // the next start's, after a kill
  ASSERT_TRUE(icon);
  const Image32 pattern = MakeGradient(640, 480);
  // A device-dependent bitmap, as programs put on the clipboard, there without an owner.
  PutOnClipboard(CF_BITMAP, CreateBitmap(640, 480, 1, 32, pattern.data()));
  for (std::size_t pastes = 1; pastes <= 2; ++pastes) {  // 新しいウィンドウに貼り付け(&P) from the icon's menu
    ClickAt(OnThePin(icon), Button::Right);
    ASSERT_TRUE(WaitUntil([&] { return MenuShown(program.id()); }, 10s));
    TapKeyFor(program.id(), 'P');
    ASSERT_TRUE(WaitUntil([&] { return VisibleWindowsOfProcess(program.id(), kPictureClass).size() == pastes; }, 10s));
  }
  for (HWND window : VisibleWindowsOfProcess(program.id(), kPictureClass)) EXPECT_EQ(SizeText(window), L"160x120");
  const std::set<std::wstring> files = FilesIn(temp);
  ASSERT_EQ(files.size(), 2u);
  for (const std::wstring& file : files) {
    const std::optional<LoadedPicture> loaded = LoadPicture(file);
    ASSERT_TRUE(loaded && loaded->pixels.width() == 640 && loaded->pixels.height() == 480);
    for (int i = 0; i < 640 * 480; ++i)  // the clipboard's picture
      ASSERT_EQ(loaded->pixels.data()[i] & 0xFFFFFF, pattern.data()[i] & 0xFFFFFF) << "at " << i;
  }

  DdeClient conversation;
  conversation.Create(nullptr);
  ASSERT_TRUE(conversation.OpenLink(L"ぴんたろ|frmMain", 5s));
  const auto paste = [&](HWND clipboardOwner, HANDLE data) {
    PutOnClipboard(CF_DIB, data, clipboardOwner);
    PostMessageW(icon, WM_COMMAND, main_menu::kPaste, 0);
  };
  paste(nullptr, Dib(16384, 8, BI_RLE8, 2));
  EXPECT_TRUE(AnswersThroughout(conversation, 2s, 2s));
  std::atomic<HWND> slowOwner = nullptr;
  std::jthread ownerThread([&] {
    const UniqueWindow window(CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
    SetWindowLongPtrW(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SlowOwner));
    slowOwner = window.get();
    for (MSG msg; GetMessageW(&msg, nullptr, 0, 0) > 0;) DispatchMessageW(&msg);
  });
  ASSERT_TRUE(WaitUntil([&] { return slowOwner != nullptr; }, 5s));
  paste(slowOwner, nullptr);
  EXPECT_TRUE(AnswersThroughout(conversation, 3s, 4s));
  SetEvent(g_render.get());
  ASSERT_TRUE(WaitUntil([] { return OpenClipboard(nullptr) && CloseClipboard(); }, 10s)) << "the paste's read is over";
  EXPECT_TRUE(AnswersThroughout(conversation, 3s, 0s));
  PostThreadMessageW(GetWindowThreadProcessId(slowOwner, nullptr), WM_QUIT, 0, 0);
  // Each paste told once why it failed, the slow owner's on top; answered.
  ASSERT_TRUE(WaitUntil([&] { return WindowsOfProcess(program.id(), kDialogClass).size() == 2; }, 10s));
  wchar_t told[100] = {};
  GetDlgItemTextW(WindowsOfProcess(program.id(), kDialogClass)[0], 0xFFFF, told, 100);
  EXPECT_STREQ(told, L"貼り付けに失敗しました。クリップボードの画像を時間内に読み取れませんでした。");
  for (HWND box : WindowsOfProcess(program.id(), kDialogClass)) PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(VisibleWindowsOfProcess(program.id(), kPictureClass).size(), 2u) << "nothing more pasted";
  EXPECT_EQ(FilesIn(temp), files) << "no file more";

  // Another program cannot remove the running program's files, which it still reads itself.
  EXPECT_FALSE(DeleteFileW(files.begin()->c_str()));
  PostMessageW(icon, WM_COMMAND, main_menu::kSize0, 0);
  EXPECT_TRUE(
      WaitUntil([&] { return SizeText(VisibleWindowsOfProcess(program.id(), kPictureClass)[1]) == L"80x60"; }, 10s));

  // Killed, the program leaves its files; the next start removes them, but not other programs' files of the
  // same content whose names, or only short names, match "pnt*.tmp", nor files named in the program's form
  // but empty or of other content, nor a file of the program's that another program holds open. The orderly
  // end removes what that start pasted, and leaves the same.
  std::set<std::wstring> left;
  for (const wchar_t* other : {L"pin.tmp", L"pntnotes.tmpx", L"pnt_report.tmp_old", L"pntdraft.tmp1", L"pnt12345.tmp",
                               L"pntG1.tmp", L"pntE.tmp", L"pnt7.tmp", L"pntB0B.tmp"})
    WriteBytes(*left.insert(temp + L"\\" + other).first, ReadBytes(*files.begin()));  // as the program writes them
  WriteBytes(temp + L"\\pntE.tmp", {});
  WriteBytes(temp + L"\\pnt7.tmp", {1});
  const UniqueKernelHandle held(
      CreateFileW((temp + L"\\pntB0B.tmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(program.Kill());
  ChildProcess next = StartPintaro(L"");
  ASSERT_TRUE(icon = WaitForIconWindow(next));
  EXPECT_TRUE(WaitUntil([&] { return FilesIn(temp) == left; }, 10s)) << "the killed program's files are gone";
  paste(nullptr, Dib(4, 32, BI_RGB, 64));
  ASSERT_TRUE(WaitUntil([&] { return FilesIn(temp).size() == left.size() + 1; }, 10s));
  ASSERT_TRUE(next.EndSession(10s));
  EXPECT_EQ(FilesIn(temp), left);
}

}  // namespace
}  // namespace pintaro::test
