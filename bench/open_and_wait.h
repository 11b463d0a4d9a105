#pragma once
// Opens a picture as a drop does, and runs the messages until its window shows.
#include <windows.h>

#include <string>

#include "picture_windows/picture_windows.h"

inline void OpenAndWait(const std::wstring& path) {
  pintaro::OpenPictureFiles({path});
  MSG msg;
  while (pintaro::OpeningsUnderWay() && GetMessageW(&msg, nullptr, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}
