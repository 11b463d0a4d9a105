#include "support/app_fixture.h"

#include <ole2.h>
#include <objidl.h>
#include <gdiplus.h>
#include <commctrl.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "picture_logic/packed_dib.h"
#include "picture_reading/dib_bitmap.h"
#include "win32/file_access.h"
#include "win32/message_pump.h"

namespace pintaro::test {

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    PumpMessages();
  }
  return true;
}

namespace {
const DWORD g_uiThread = GetCurrentThreadId();
const HANDLE g_letGo = CreateEventW(nullptr, TRUE, TRUE, nullptr);
std::mutex g_heldPath;
void NoteFileRead(const std::wstring& path) noexcept {
  if (GetCurrentThreadId() == g_uiThread) ++FileReads::onThisThread;
  ++FileReads::all;
  if (Locked(g_heldPath, FileReads::held) == path) WaitForSingleObject(g_letGo, 30000);
}
}  // namespace

void FileReads::Hold(const std::wstring& path) {
  const std::lock_guard lock(g_heldPath);
  ResetEvent(g_letGo);
  held = path;
}
void FileReads::LetGo() { SetEvent(g_letGo); }

void AppTest::SetUp() {
  program_.emplace();
  FileReads::onThisThread = 0;
  SetFileReadHook(&NoteFileRead);
  OleInitialize(nullptr);  // as the program does, drag and drop included
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
}

void AppTest::TearDown() {
  EndProgram();
  FileReads::LetGo();
  EXPECT_EQ(FileReads::onThisThread, 0) << "files read on the user-interface thread";
  program_.reset();
}

void AppTest::StartProgram(const std::wstring& commandArguments) {
  program_.emplace();
  RunFirstInstance(commandArguments);
  started_ = true;
  EXPECT_TRUE(WorkDone()) << "the start-up's pictures open";
}

int OpenPictureFile(const std::wstring& path) {
  std::vector<unsigned> before(1);  // each slot's count of pictures taken in
  PictureWindows().ForEach([&](const PictureWindow& window) { before.push_back(window.occupancy); });
  OpenPictureFiles({path});
  EXPECT_TRUE(WorkDone());
  int slot = 1;  // a window made for it, or one that took it in (and may have been closed since)
  while (slot < static_cast<int>(before.size()) && before[slot] == PictureWindows()[slot]->occupancy) ++slot;
  return slot <= PictureWindows().UpperBound() ? slot : 0;
}

ShellStandIn::ShellStandIn(bool busy, Also also) {
  SetNotifyIconHook([state = state_, busy, also = std::move(also)](DWORD message, const NOTIFYICONDATAW& record) {
    if (also) also(message, record);
    if (const std::scoped_lock lock(state->mutex); state->asked.push_back(message), message != NIM_DELETE)
      state->tip = record.szTip;
    if (busy) WaitForSingleObject(state->letGo.get(), 4000);
    return state->taken.load() ? TRUE : FALSE;
  });
}

bool ShellStandIn::Asked(DWORD call) {
  return PumpUntil([&] { return Asked().size() > seen_; }, std::chrono::seconds(5)) && Asked()[seen_++] == call;
}

bool ShellStandIn::Answer(DWORD call, bool taken) {
  return Asked(call) && (state_->taken = taken, SetEvent(state_->letGo.get()) != FALSE);
}

InNextPump::InNextPump(std::function<void()> action, bool postNow, std::function<bool()> when)
    : action_(std::move(action)), when_(std::move(when)) {
  hwnd_ = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC,
                    reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
                      if (message != WM_APP) return DefWindowProcW(hwnd, message, wParam, lParam);
                      auto* self = reinterpret_cast<InNextPump*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
                      if (self->when_ && !self->when_()) return PostMessageW(hwnd, WM_APP, 0, 0), LRESULT{0};
                      self->ran_ = (self->action_(), true);
                      return 0;
                    }));
  if (postNow) PostMessageW(hwnd_, WM_APP, 0, 0);
}

ShowWatch::ShowWatch()
    : hook_(SetWindowsHookExW(
          WH_CALLWNDPROC,
          [](int code, WPARAM wParam, LPARAM lParam) {
            const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
            // Once changed, the window has its place; the window manager has not drawn it yet.
            if (code == HC_ACTION && call->message == WM_WINDOWPOSCHANGED &&
                (reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & SWP_SHOWWINDOW))
              firstShowings.try_emplace(call->hwnd, Showing{RectOf(call->hwnd), WindowOpacity(call->hwnd)});
            return CallNextHookEx(nullptr, code, wParam, lParam);
          },
          nullptr, GetCurrentThreadId())) {
  firstShowings.clear();
}

void AppTest::ExpectOnlyMessage(const std::wstring& text) {
  // One that a worker's answer tells comes once its work is done: reading the largest picture takes seconds, and
  // many more on a machine busy with other builds.
  PumpUntil([&] { return !messages.messages().empty(); }, std::chrono::seconds(60));
  ASSERT_EQ(messages.messages().size(), 1u) << ::testing::PrintToString(text);
  const ShownMessage& shown = messages.messages()[0];
  EXPECT_EQ(std::tuple(shown.text, shown.caption, shown.type, shown.busy, shown.owner),
            std::tuple(text, std::wstring(L"ぴんたろ"), UINT{MB_OK | MB_ICONINFORMATION}, false, MainWindowHandle()))
      << "an information box with OK, the arrow back before it shows, in front with the icon window";
  messages.clear();
}

PictureWindow& AppTest::Slot(int slot) {
  if (PictureWindow* window = PictureWindows()[slot]) return *window;
  throw std::runtime_error("no window in slot " + std::to_string(slot));
}

bool AnswersThroughout(DdeClient& conversation, std::chrono::milliseconds limit, std::chrono::milliseconds period) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + period;
  do {
    const auto asked = Clock::now();
    if (conversation.LinkExecute(L"", asked + limit) != DdeClient::ExecuteResult::Accepted ||
        Clock::now() - asked > limit)
      return false;
  } while (Clock::now() < end);
  return true;
}

std::vector<std::int32_t> ClipboardDibSeen(std::initializer_list<POINT> points) {
  if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, std::chrono::seconds(5))) return {};
  const LockedGlobal<const std::uint8_t> dib(GetClipboardData(CF_DIB));
  const auto layout = dib.get() ? CheckPackedDib(dib.get(), dib.bytes()) : std::nullopt;
  const BITMAPINFOHEADER h = layout ? *reinterpret_cast<const BITMAPINFOHEADER*>(dib.get()) : BITMAPINFOHEADER{};
  std::vector<std::int32_t> seen{h.biWidth, std::abs(h.biHeight)};
  const std::size_t stride = (std::size_t{1} * h.biWidth * h.biBitCount + 31) / 32 * 4;
  for (const POINT at : layout ? points : std::initializer_list<POINT>{}) {
    const std::int32_t row = h.biHeight > 0 ? h.biHeight - 1 - at.y : at.y;
    const std::uint8_t* p = dib.get() + layout->pixelOffset + stride * row + at.x * h.biBitCount / 8;
    seen.push_back(p[0] | p[1] << 8 | p[2] << 16);
  }
  return CloseClipboard(), seen;
}

UniqueWindow DesktopStandIn(RECT r, DWORD style) {
  return UniqueWindow(CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", L"Program Manager", style, r.left,
                                      r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr));
}

namespace {

// Removes a folder and everything in it, however long the paths inside (std::filesystem gives up on
// those).
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &found);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
    const std::wstring name = found.cFileName, path = folder + L"\\" + name;
    if (name == L"." || name == L"..") continue;
    (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveTree(path)
                                                        : void(DeleteFileW((L"\\\\?\\" + path).c_str()));
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
}

}  // namespace

TempDir::TempDir() {
  static int count = 0;
  path_ = std::filesystem::temp_directory_path() /
          (L"pintaro-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++count));
  RemoveTree(path_);  // a test killed before its end leaves its folder, and process numbers come round again
  std::filesystem::create_directory(path_);
}

TempDir::~TempDir() { RemoveTree(path_); }

Image32 MakeGradient(int width, int height) {
  Image32 image = *Image32::Allocate(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.at(x, y) =
          0xFF000040u | (x * 255 / std::max(1, width - 1)) << 16 | (y * 255 / std::max(1, height - 1)) << 8;
  return image;
}

void WritePicture(const std::wstring& path, const Image32& image, PictureFormat format) {
  static const ULONG_PTR gdiplus = [] {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok ? token : 0;
  }();
  // The image encoders' class identifiers: image/bmp, image/jpeg, image/gif and image/png.
  const unsigned long encoders[] = {0x557cf400, 0x557cf401, 0x557cf402, 0x557cf406};
  const CLSID encoder{encoders[static_cast<int>(format)], 0x1a04, 0x11d3, {0x9a, 0x73, 0, 0, 0xf8, 0x1e, 0xf3, 0x2e}};
  const int w = image.width(), h = image.height(), stride = (w + 3) & ~3;
  // GIF takes palette indices: 3 bits of red, 3 of green and 2 of blue.
  std::vector<BYTE> indices(static_cast<std::size_t>(stride) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      indices[y * stride + x] =
          (image.at(x, y) >> 16 & 0xE0) | (image.at(x, y) >> 11 & 0x1C) | (image.at(x, y) >> 6 & 3);
  std::vector<BYTE> palette(sizeof(Gdiplus::ColorPalette) + 255 * sizeof(Gdiplus::ARGB));
  auto* colours = reinterpret_cast<Gdiplus::ColorPalette*>(palette.data());
  colours->Count = 256;
  for (unsigned i = 0; i < 256; ++i)
    colours->Entries[i] = 0xFF000000u | (i & 0xE0) << 16 | (i & 0x1C) << 11 | (i & 3) << 6;
  const bool gif = format == PictureFormat::Gif;
  Gdiplus::Bitmap bitmap(w, h, gif ? stride : w * 4, gif ? PixelFormat8bppIndexed : PixelFormat32bppARGB,
                         gif ? indices.data() : reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(image.data())));
  if (gif) bitmap.SetPalette(colours);
  if (!gdiplus || bitmap.Save(path.c_str(), &encoder, nullptr) != Gdiplus::Ok) throw std::runtime_error("not written");
}

std::wstring WriteWideStripes(const std::wstring& path, std::uint32_t width, std::uint32_t height) {
  constexpr std::uint32_t offset = 62;
  const std::uint32_t row = width / 8, size = offset + row * height,
                      fields[][2] = {{0, 0x4D42},  {2, size},     {10, offset}, {14, 40},       {18, width},
                                     {22, height}, {26, 0x10001}, {46, 2},      {54, 0x336699}, {58, 0xCC8844}};
  std::vector<std::uint8_t> bitmap(size, 0x0F);
  std::fill_n(bitmap.begin(), offset, 0), std::fill_n(bitmap.begin() + offset, row, 0xF0);
  for (const auto& [at, value] : fields) std::memcpy(&bitmap[at], &value, 4);
  return WriteBytes(path, bitmap), path;
}

std::wstring WriteGradient(const std::wstring& folder, const std::wstring& name, int width, int height,
                           PictureFormat format) {
  return WritePicture(folder + L"\\" + name, MakeGradient(width, height), format), folder + L"\\" + name;
}

std::set<std::wstring> FilesIn(const std::wstring& folder) {
  std::set<std::wstring> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.is_regular_file()) files.insert(entry.path().wstring());
  return files;
}

std::vector<std::uint8_t> ReadBytes(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

void WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(std::filesystem::path(path), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace pintaro::test
