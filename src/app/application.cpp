#include "app/application.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

#include "app/command_line.h"
#include "app/process_command_line.h"
#include "app/single_instance.h"
#include "win32/file_access.h"
#include "win32/message_box.h"
#include "win32/texts.h"
#include "win32/temp_files.h"
#include "win32/window_base.h"
#include "win32/worker.h"
#include "icon_window/icon_window.h"
#include "icon_window/notify_icon.h"
#include "menu/main_menu.h"
#include "picture_window/picture_window.h"
#include "picture_windows/full_screen.h"
#include "picture_windows/paste.h"
#include "picture_windows/picture_windows.h"
#include "picture_logic/bmp_file.h"
#include "picture_reading/read_ahead.h"

namespace pintaro {

namespace {
void EndInOrder();
}  // namespace

IconWindow* TheIconWindow() noexcept {
  IconWindow* icon = static_cast<IconWindow*>(TheMainWindow());
  return icon && icon->exists() ? icon : nullptr;
}

void Main() {
  std::optional<UniqueOwnedMutex> first = ClaimFirstInstance();
  // The running instance has a current folder of its own: relative names are made absolute here.
  if (!first) first = RunSecondInstance(WithAbsolutePictureNames(ProcessCommandArguments(), CurrentFolder()));
  if (!first) return;
  TheProgram().firstInstance = std::move(*first);
  RunFirstInstance(ProcessCommandArguments());
}

namespace {
std::vector<std::wstring> PictureNames(const std::vector<std::wstring>& args) {
  std::vector<std::wstring> names;
  std::copy_if(args.begin(), args.end(), std::back_inserter(names),
               [](const std::wstring& arg) { return IsPictureName(arg); });
  return names;
}
}  // namespace

std::vector<std::wstring> CommandPictureNames(const std::wstring& command) {
  return PictureNames(ParseCommandLine(kDefaultMaxArgs, command));
}

std::optional<UniqueOwnedMutex> RunSecondInstance(std::wstring_view commandArguments,
                                                  std::chrono::milliseconds giveUpAfter) {
  // The conversation's window lives until this start has run as the later one or waited for an end; it
  // goes before a first instance's windows come, and must not end the process.
  const bool quitWhenLast = QuitWhenLastWindowCloses(false);
  std::optional<UniqueOwnedMutex> first;
  {
    DdeClient conversation;
    const bool handedOff = HandOffToRunningInstance(conversation, commandArguments, giveUpAfter);
    if (!handedOff) first = ClaimFirstInstanceAfterAnEnd(kEndingInstanceWait);
    if (!handedOff && !first) ShowMessageBox(nullptr, kRunningInstanceDidNotAnswer, MB_OK | MB_ICONINFORMATION);
  }
  QuitWhenLastWindowCloses(quitWhenLast);
  return first;
}

namespace {

// What the first pictures do not need comes after them, once they are open, from the message loop. A
// log-off may end the program in every step: while a step waits for another program's window, messages
// sent from other threads run. The start-up then stops there.
void FinishStartUp(IconWindow& icon, HWND foregroundAtStart) {
  // The temporary files that a run ended by force left behind go, unless another Pintaro holds them.
  StartOnWorker([] { DeleteUnusedTempFiles(&IsEncodedBmp24); });
  icon.WatchClipboard();
  if (ProgramEnded()) return;
  TheMainMenu().SetPasteEnabled(IsClipboardFormatAvailable(CF_BITMAP) != FALSE);
  if (ProgramEnded()) return;
  icon.AcceptDrops();
  if (ProgramEnded()) return;
  AddNotifyIcon(icon.hwnd());
  if (ProgramEnded()) return;
  icon.Activate(foregroundAtStart);
}

}  // namespace

void RunFirstInstance(std::wstring_view commandArguments) {
  Program& program = TheProgram();
  program.shutDown = &EndInOrder;
  // The pictures named are read on the workers while the icon window is made and shown.
  const std::vector<std::wstring> names = PictureNames(ParseCommandLine(kDefaultMaxArgs, commandArguments));
  auto ahead = std::make_unique<ReadAhead>(names, Settings().DisplaySize());
  const HWND foregroundAtStart = GetForegroundWindow();
  auto iconWindow = std::make_unique<IconWindow>(CommandPictureNames);
  IconWindow& icon = *iconWindow;
  program.mainWindow = std::move(iconWindow);
  icon.Show();
  // A log-off may already have ended the program: the icon window's making lets sent messages run.
  if (ProgramEnded()) return;
  icon.TakeTheWheel();
  OpenPictureFiles(
      names, [&icon, foregroundAtStart] { FinishStartUp(icon, foregroundAtStart); }, std::move(ahead));
}

namespace {

void EndInOrder() {
  Program& program = TheProgram();
  if (program.ended) return;
  program.ended = true;
  AnnounceEnding();
  // The end waits a moment for the workers, whatever they wait on, so that the program is gone within
  // two seconds of the exit command: for those reading ahead to end their decoding, for a paste to end
  // writing its file, and for the one that reads the starts of the temporary files and deletes them.
  StopAllReadAhead(std::chrono::steady_clock::now() + std::chrono::milliseconds(500));
  WaitForWorkers(std::chrono::milliseconds(1000));
  DropAnswers();
  AbandonPastes();
  DeleteTempFiles(&IsEncodedBmp24, std::chrono::milliseconds(300));
  RemoveNotifyIcon();
  PictureWindows().ForEach([](PictureWindow& window) { window.TakeDown(); });
  if (IconWindow* window = TheIconWindow()) window->StopWheelAndClipboard();
  const HWND icon = MainWindowHandle();
  DestroyMainMenu();
  DestroyFullScreen();
  // Its object stays with the program's, as handlers may still be running on it.
  if (icon) DestroyWindow(icon);
  // A start from now on is a first instance again. The mutex goes before the event: a start that finds
  // the mutex held while the program ends finds the event too, and waits for the mutex.
  program.firstInstance.reset();
  program.endingSignal.reset();
}

}  // namespace

void EndOnQuitRequest() noexcept {
  try {
    if (TheIconWindow() && !ProgramEnded() && LiveWindowCount() > 0) ShutDown();
  } catch (...) {
  }
}

}  // namespace pintaro
