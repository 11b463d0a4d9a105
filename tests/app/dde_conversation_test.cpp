// Both ends of the hand-off conversation in this process: what a running instance makes of the
// commands it is sent, and what a later start leaves behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>

#include "app/application.h"
#include "app/command_line.h"
#include "app/dde_client.h"
#include "app/dde_names.h"
#include "app/single_instance.h"
#include "app/window_base.h"
#include "icon_window/frm_main.h"
#include "icon_window/notify_icon.h"
#include "menu/frm_main_menus.h"
#include "picture_window/frm_clip.h"
#include "pictures/clip_windows.h"
#include "support/app_fixture.h"
#include "support/process_control.h"
#include "support/test_files.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

class ConversationTest : public AppTest {
 protected:
  std::wstring Picture(const std::wstring& name) {
    const std::wstring path = dir / name;
    WritePicture(path, MakeGradient(8, 6), PictureFormat::Bmp);
    return path;
  }
  TempDir dir;
};

TEST_F(ConversationTest, CommandsOpenTheirPicturesInOrderSkipOtherNamesReportUnreadableFilesAndStopAtFiftyNames) {
  StartProgram();
  std::wstring command;
  std::vector<std::wstring> paths;
  for (int i = 1; i <= 60; ++i) {
    paths.push_back(Picture(L"f" + std::to_wstring(i) + L".bmp"));
    command += Quoted(paths.back()) + (i % 2 ? L" " : L"\t");
  }
  EXPECT_TRUE(RunSecondInstance(command));
  ASSERT_EQ(ClipWindows().UpperBound(), 50) << "the 51st name and all after it are dropped";
  for (int slot = 1; slot <= 50; ++slot) EXPECT_EQ(ClipWindows()[slot]->Image1.Tag, paths[slot - 1]);
  EXPECT_TRUE(messages.messages().empty());
  EXPECT_EQ(MainForm()->LinkConversations(), 0u) << "the later start ended its conversation";

  const std::wstring missing = dir / L"missing.jpg";
  EXPECT_TRUE(RunSecondInstance(L"\"\" x.png " + Quoted(missing) + L" photo.jpeg " + Quoted(paths[0])));
  ExpectOnlyFormatMessage(missing);
  ASSERT_EQ(ClipWindows().UpperBound(), 51) << "the loop went on after the failure";
  EXPECT_EQ(ClipWindows()[51]->Image1.Tag, paths[0]);

  MainForm()->DropFile(paths[1]);
  ASSERT_EQ(ClipWindows().UpperBound(), 52) << "a dropped file opens too";
  EXPECT_EQ(ClipWindows()[52]->Image1.Tag, paths[1]);
  EXPECT_TRUE(IsWindowVisible(ClipWindows()[52]->hwnd()));
}

TEST_F(ConversationTest, GarbageIsAcceptedAndOpensNothing) {
  StartProgram();
  std::mt19937 random(7);
  std::wstring garbage;
  const std::wstring often = L"\"\" \t.jpgbm";
  while (garbage.size() < 10000) {
    garbage.push_back(random() % 3 == 0 ? often[random() % often.size()] : static_cast<wchar_t>(1 + random() % 0xD7FF));
  }
  for (const std::wstring& name : ParseCommandLine(kDefaultMaxArgs, garbage)) ASSERT_FALSE(IsPictureName(name));

  for (const std::wstring& command : {garbage, std::wstring(10000, L'"'), std::wstring(10000, L'x')})
    EXPECT_TRUE(RunSecondInstance(command));
  EXPECT_EQ(ClipWindows().UpperBound(), 0);
  EXPECT_TRUE(messages.messages().empty());
  EXPECT_NE(MainForm(), nullptr);
}

TEST_F(ConversationTest, TheIconWindowAnswersUntilShutDownEndsTheConversations) {
  StartProgram();
  DdeClient client;
  client.Create(nullptr);
  ASSERT_TRUE(client.OpenLink(kHandOffLinkTopic, kHandOffLinkItem, 0ms));
  EXPECT_EQ(client.server(), MainForm()->hwnd());
  EXPECT_EQ(MainForm()->LinkConversations(), 1u);

  ShutDown();
  EXPECT_TRUE(PumpUntil([&] { return !client.LinkOpen(); }, 5s)) << "the server ended the conversation";
  EXPECT_FALSE(client.OpenLink(kHandOffLinkTopic, kHandOffLinkItem, 0ms)) << "nothing answers any more";
}

TEST_F(ConversationTest, WithNobodyAnsweringALaterStartTellsTheUserOnce) {
  EXPECT_FALSE(RunSecondInstance(Quoted(Picture(L"a.bmp"))));
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, L"起動中のぴんたろが応答しませんでした。");
  EXPECT_EQ(messages.messages()[0].caption, L"ぴんたろ");
  EXPECT_EQ(messages.messages()[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(LiveWindowCount(), 0) << "no window of the later start remains";
}

// A later start in this process, with the real program running as the first instance.
TEST(LaterStartTest, SetsUpNothingOfTheFirstInstance) {
  TempDir dir;
  const std::wstring path = dir / L"p.jpg";
  WritePicture(path, MakeGradient(64, 48), PictureFormat::Jpeg);
  ASSERT_TRUE(ClaimFirstInstance().has_value()) << "no program left running by an earlier test";
  ChildProcess first = StartPintaro(L"");
  ASSERT_NE(WaitForWindow(first.id(), kIconClass), nullptr);

  MessageRecorder messages;
  Settings() = DisplaySettings{480, 5, 63, 3};
  EXPECT_TRUE(RunSecondInstance(Quoted(path)));
  EXPECT_TRUE(WaitUntil([&] { return VisibleWindowsOfProcess(first.id(), kPictureClass).size() == 1; }, 10s));

  EXPECT_EQ(MainForm(), nullptr);
  EXPECT_EQ(ClipWindows().UpperBound(), 0);
  EXPECT_EQ(Settings().CurrentWidth, 480) << "no global is set";
  EXPECT_EQ(Settings().CurrentAlpha, 63);
  EXPECT_FALSE(TrayIconAdded());
  EXPECT_FALSE(MainMenusExist());
  EXPECT_EQ(LiveWindowCount(), 0);
  EXPECT_TRUE(messages.messages().empty());
  EXPECT_TRUE(first.EndSession(10s));
}

}  // namespace
}  // namespace pintaro::test
