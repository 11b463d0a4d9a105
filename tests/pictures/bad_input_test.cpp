// Many bad files among good ones at once, on the command line of the real program and in one drop:
// each good picture opens, each bad one has its message, and the program goes on.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <tuple>
#include <vector>

#include "picture_window/picture_window.h"
#include "pictures/picture_windows.h"
#include "support/app_fixture.h"
#include "support/drag_source.h"
#include "support/process_control.h"
#include "support/test_files.h"
#include "win32/handles.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
enum class Is { Picture, Refused, Skipped };

Bytes Encoded(const TempDir& dir, PictureFormat format) {
  WritePicture(dir / L"encoded", MakeGradient(64, 48), format);
  std::ifstream file(std::filesystem::path(dir / L"encoded"), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}
Bytes Cut(Bytes bytes, std::size_t size) { return bytes.resize(size), bytes; }
Bytes Text(std::string_view text) { return {text.begin(), text.end()}; }
// The bitmap's header claims the size; its pixels are those of the real size.
Bytes Claiming(Bytes bmp, std::uint32_t width, std::uint32_t height) {
  std::memcpy(&bmp[18], &width, 4);
  std::memcpy(&bmp[22], &height, 4);
  return bmp;
}

// The files, made in the folder; locked.jpg is held open without sharing while the object lives.
struct Mix {
  explicit Mix(const TempDir& dir) {
    const Bytes jpeg = Encoded(dir, PictureFormat::Jpeg), gif = Encoded(dir, PictureFormat::Gif);
    const Bytes bmp = Encoded(dir, PictureFormat::Bmp), png = Encoded(dir, PictureFormat::Png);
    Bytes noise(4096);
    std::ranges::generate(noise, std::mt19937(7));
    // A GIF whose screen and only image are 65535 pixels square, its data cut short.
    const Bytes hugeGif{'G', 'I',  'F', '8', '9', 'a', 255, 255, 255, 255, 0, 0,
                        0,   0x2C, 0,   0,   0,   0,   255, 255, 255, 255, 0, 2};
    std::wstring deep = dir.path();  // a path of more than 260 characters
    for (wchar_t c : {L'd', L'e'}) CreateDirectoryW((deep += L"\\" + std::wstring(120, c)).c_str(), nullptr);
    // clang-format off
    const std::tuple<std::wstring, Bytes, Is> rows[] = {
        {L"good.jpg", jpeg, Is::Picture}, {L"good.gif", gif, Is::Picture}, {L"good.bmp", bmp, Is::Picture},
        {L"UPPER.JPG", jpeg, Is::Picture}, {L"png inside.jpg", png, Is::Picture},
        {L"jpeg inside.gif", jpeg, Is::Picture}, {L"bmp inside.jpg", bmp, Is::Picture},
        {L"日本語の写真.jpg", jpeg, Is::Picture}, {L"絵文字😀🎌.gif", gif, Is::Picture},
        {deep + L"\\long.bmp", bmp, Is::Picture},
        {L"empty.jpg", {}, Is::Refused}, {L"empty.gif", {}, Is::Refused}, {L"empty.bmp", {}, Is::Refused},
        {L"noise.jpg", noise, Is::Refused}, {L"noise.gif", noise, Is::Refused},
        {L"text.gif", Text("GIF? no.\r\n"), Is::Refused}, {L"cut.jpg", Cut(jpeg, 100), Is::Refused},
        {L"cut.gif", Cut(gif, 13), Is::Refused}, {L"cut.bmp", Cut(bmp, 30), Is::Refused},
        {L"half.bmp", Cut(bmp, bmp.size() / 2), Is::Refused}, {L"signature.jpg", {0xFF, 0xD8}, Is::Refused},
        {L"signature.gif", Text("GIF89a"), Is::Refused}, {L"signature.bmp", Text("BM"), Is::Refused},
        {L"65535 square.bmp", Claiming(bmp, 65535, 65535), Is::Refused}, {L"65535 square.gif", hugeGif, Is::Refused},
        {L"2^20+1 wide.bmp", Claiming(bmp, (1u << 20) + 1, 1), Is::Refused},
        {L"locked.jpg", jpeg, Is::Refused}, {L"missing.jpg", {}, Is::Refused}, {L"folder.jpg", {}, Is::Refused},
        {L"notes.txt", Text("notes"), Is::Skipped}, {L"real.png", png, Is::Skipped}};
    // clang-format on
    for (const auto& [name, bytes, is] : rows) {
      const std::wstring path = name.starts_with(dir.path()) ? name : dir / name;
      names.push_back(path);
      if (is != Is::Skipped) (is == Is::Picture ? good : refused).push_back(path);
      if (name == L"folder.jpg") CreateDirectoryW(path.c_str(), nullptr);
      if (name != L"folder.jpg" && name != L"missing.jpg") WriteBytes(path, bytes);
    }
    locked.reset(CreateFileW((dir / L"locked.jpg").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  }

  std::vector<std::wstring> names, good, refused;
  UniqueKernelHandle locked;
};

// Everything in the temporary directory.
std::set<std::filesystem::path> TemporaryFiles() {
  const std::filesystem::directory_iterator entries(std::filesystem::temp_directory_path());
  return {std::filesystem::begin(entries), std::filesystem::end(entries)};
}

TEST(BadInputTest, OnTheCommandLineEveryGoodPictureOpensEveryBadOneHasItsMessageAndNothingIsLeftBehind) {
  TempDir dir;
  const Mix mix(dir);
  std::wstring arguments;
  for (const std::wstring& name : mix.names) arguments += Quoted(name) + L" ";
  const auto temporaryBefore = TemporaryFiles();
  ChildProcess program = StartPintaro(arguments);
  for (const std::wstring& path : mix.refused) {
    const HWND box = WaitForWindow(program.id(), kDialogClass, 20s);
    ASSERT_NE(box, nullptr) << "no message for " << ::testing::PrintToString(path);
    EXPECT_EQ(MessageBoxText(box), FormatMessageText(path));
    EXPECT_EQ(WindowText(box), L"ぴんたろ");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 10s));
  }
  EXPECT_TRUE(
      WaitUntil([&] { return VisibleWindowsOfProcess(program.id(), kPictureClass).size() == mix.good.size(); }, 20s));
  std::set<std::wstring> shown, expected;
  for (HWND hwnd : VisibleWindowsOfProcess(program.id(), kPictureClass)) shown.insert(WindowText(hwnd));
  for (const std::wstring& path : mix.good) expected.insert(FileNamePart(path));
  EXPECT_EQ(shown, expected);
  EXPECT_TRUE(VisibleWindowsOfProcess(program.id(), kDialogClass).empty());
  EXPECT_TRUE(program.Running());
  EXPECT_TRUE(program.EndSession(10s));
  EXPECT_EQ(program.ExitCode(), 0u);
  EXPECT_EQ(TemporaryFiles(), temporaryBefore);
}

TEST_F(AppTest, DroppedAllAtOnceEveryGoodPictureOpensInOrderAndEveryBadOneHasItsMessage) {
  OleInitialize(nullptr);
  StartProgram();
  TempDir dir;
  const Mix mix(dir);
  NamesSource files(mix.names, CF_HDROP);
  EXPECT_EQ(DragOntoIcon(files, DROPEFFECT_COPY), static_cast<DWORD>(DROPEFFECT_COPY));
  std::vector<std::wstring> texts, expected;
  for (const ShownMessage& shown : messages.messages()) {
    texts.push_back(shown.text);
    EXPECT_TRUE(shown.caption == L"ぴんたろ" && shown.type == (MB_OK | MB_ICONINFORMATION)) << shown.type;
  }
  for (const std::wstring& path : mix.refused) expected.push_back(FormatMessageText(path));
  EXPECT_EQ(texts, expected);
  std::vector<std::wstring> opened;
  for (int slot = 1; slot <= PictureWindows().UpperBound(); ++slot)
    opened.push_back(PictureWindows()[slot]->picturePath);
  EXPECT_EQ(opened, mix.good);
  EndProgram();
  OleUninitialize();
}

}  // namespace
}  // namespace pintaro::test
