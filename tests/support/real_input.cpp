#include "support/real_input.h"

#include <gtest/gtest.h>

#include <string>

namespace pintaro::test {

namespace {

void SendMouse(DWORD flags, POINT at, int wheel = 0) {
  // Normalised absolute coordinates that land exactly on the pixel of the primary screen.
  const auto normalised = [](LONG pixel, int size) { return static_cast<LONG>((pixel * 65536LL + size - 1) / size); };
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = normalised(at.x, GetSystemMetrics(SM_CXSCREEN));
  input.mi.dy = normalised(at.y, GetSystemMetrics(SM_CYSCREEN));
  input.mi.mouseData = static_cast<DWORD>(wheel);
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof(input));
}

// The pointer comes from a corner where nothing is, and the point is free of the tips that pop up where
// a pointer rests: a click or press there reaches the window under the tip.
void Approach(POINT at) {
  SendMouse(0, {GetSystemMetrics(SM_CXSCREEN) - 1, 0});
  const bool free = WaitUntil(
      [&] {
        wchar_t name[64] = {};
        GetClassNameW(WindowFromPoint(at), name, 64);
        return std::wstring(name) != L"tooltips_class32";
      },
      std::chrono::seconds(5));
  if (!free) ADD_FAILURE() << "a tip still covers " << at.x << ", " << at.y;
}

}  // namespace

void MouseMoveTo(POINT screen) { SendMouse(0, screen); }
void MouseDown(Button button, POINT screen) { SendMouse(static_cast<DWORD>(button), screen); }
void MouseUp(Button button, POINT screen) { SendMouse(static_cast<DWORD>(button) << 1, screen); }

void TurnWheel(int distance, POINT screen) { SendMouse(MOUSEEVENTF_WHEEL, screen, distance); }

void ClickAt(POINT screen, Button button) {
  Approach(screen);
  MouseMoveTo(screen);
  MouseDown(button, screen);
  MouseUp(button, screen);
}

void DragWithLeftButton(POINT from, POINT to) {
  constexpr DWORD kHandPace = 30;  // milliseconds between events
  Approach(from);
  MouseMoveTo(from);
  const DWORD thread = GetWindowThreadProcessId(WindowFromPoint(from), nullptr);
  MouseDown(Button::Left, from);
  // The moves wait for the program's move loop, which goes from where the pointer is when it starts.
  const bool moving = WaitUntil(
      [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE);
      },
      std::chrono::seconds(5));
  if (!moving) ADD_FAILURE() << "no move loop began at " << from.x << ", " << from.y;
  for (int step = 1; step <= 4; ++step) {
    Sleep(kHandPace);
    MouseMoveTo({from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
  }
  Sleep(kHandPace);
  MouseUp(Button::Left, to);
}

void TapKeyFor(DWORD processId, WORD virtualKey) {
  const auto inFront = [&] {
    DWORD owner = 0;
    return GetWindowThreadProcessId(GetForegroundWindow(), &owner) && owner == processId;
  };
  // Where a key goes depends on which window Wine gives the focus.
  if (!WaitUntil(inFront, std::chrono::seconds(5))) ADD_FAILURE() << "the keys would not reach process " << processId;
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
  SendInput(1, &input, sizeof(input));
  input.ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof(input));
}

}  // namespace pintaro::test
