#pragma once
// The program started in the test process, with picture files written on the spot.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "app/application.h"
#include "icon_window/icon_window.h"
#include "picture_window/picture_window.h"
#include "pictures/picture_windows.h"
#include "support/app_fixture.h"
#include "support/test_files.h"

namespace pintaro::test {

class PictureWindowTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    StartProgram();
  }

  std::wstring WriteGradient(const wchar_t* name, int width, int height, PictureFormat format = PictureFormat::Bmp) {
    const std::wstring path = dir / name;
    WritePicture(path, MakeGradient(width, height), format);
    return path;
  }

  // Opens the file and returns the window it went to: the one of the slot filled last.
  PictureWindow& Open(const std::wstring& path) {
    OpenPictureFile(path);
    return Slot(TheIconWindow()->LastOpenedSlot());
  }

  PictureWindow& Slot(int slot) {
    PictureWindow* window = PictureWindows()[slot];
    if (!window) throw std::runtime_error("no window in slot " + std::to_string(slot));
    return *window;
  }

  static POINT TopLeft(HWND hwnd) { return {RectOf(hwnd).left, RectOf(hwnd).top}; }

  static bool IsTopMost(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

  // The window's parent, or null for a top-level window.
  static HWND ParentOf(HWND hwnd) {
    const HWND parent = GetAncestor(hwnd, GA_PARENT);
    return parent == GetDesktopWindow() ? nullptr : parent;
  }

  TempDir dir;
};

}  // namespace pintaro::test
