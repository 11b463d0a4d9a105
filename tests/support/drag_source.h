#pragma once
// Files dragged onto the icon window of the program running in the test process, through OLE drag
// and drop with the test's own hand on the mouse.
#include <windows.h>
#include <shlobj.h>  // DROPFILES

#include <atomic>
#include <vector>

#include "support/app_fixture.h"

namespace pintaro::test {

// A drag source offering names as a file list (CF_HDROP) or as text, through the clipboard's own data
// object. It lives on the test's stack.
class NamesSource final : public IDropSource {
 public:
  // The names one after another, each ended by a zero, and one more zero; behind a header for a file list.
  NamesSource(const std::vector<std::wstring>& names, UINT format) : NamesSource(Block(names, format), format) {}
  // The block as it is.
  NamesSource(const std::vector<BYTE>& block, UINT format) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, block.size());
    memcpy(LockedGlobal<void>(memory).get(), block.data(), block.size());
    PutOnClipboard(format, memory);
    OleGetClipboard(&data);
  }
  static std::vector<BYTE> Block(const std::vector<std::wstring>& names, UINT format) {
    std::wstring text;
    for (const std::wstring& name : names) text += name + L'\0';
    text += L'\0';
    const std::size_t header = format == CF_HDROP ? sizeof(DROPFILES) : 0;
    std::vector<BYTE> block(header + text.size() * sizeof(wchar_t));
    if (header) *reinterpret_cast<DROPFILES*>(block.data()) = {sizeof(DROPFILES), {}, FALSE, TRUE};
    memcpy(block.data() + header, text.data(), text.size() * sizeof(wchar_t));
    return block;
  }
  ~NamesSource() { data->Release(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IDropSource || iid == IID_IUnknown ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    ++polls;
    return escape ? DRAGDROP_S_CANCEL : (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override {
    POINT at{};
    GetCursorPos(&at);
    if (at.x == target.x && at.y == target.y) fedBackOnTarget = true;
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }

  IDataObject* data = nullptr;
  POINT target{};               // where the drag goes
  int windowsWhenDropped = -1;  // picture windows in the table when DoDragDrop returned
  std::atomic<int> polls{0};
  std::atomic<bool> fedBackOnTarget{false};
};

// The head of the pin: a pixel of the icon that is not keyed away.
inline POINT OnThePin(HWND icon) { return {RectOf(icon).left + 21, RectOf(icon).top + 12}; }

// A user presses the button on a window of the test, drags onto the icon and lets go there, once the
// drag has asked the pin what it takes. Returns the effect the drag ended with.
inline DWORD DragOntoIcon(NamesSource& source, DWORD allowed) {
  using namespace std::chrono_literals;
  HWND grip = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"BUTTON", L"", WS_POPUP | WS_VISIBLE, 100, 100, 40, 40,
                              nullptr, nullptr, nullptr, nullptr);
  const HWND icon = TheIconWindow()->hwnd();
  const POINT from{120, 120}, to = source.target = OnThePin(icon);
  UserActs hand([&] {
    MouseDown(Button::Left, from);
    EXPECT_TRUE(WaitUntil([&] { return source.polls > 0; }, 10s)) << "the drag began";
    // Each move waits for the drag to poll the source after the last one.
    for (int step = 1; step <= 4; ++step) {
      const int seen = source.polls;
      MouseMoveTo({from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
      EXPECT_TRUE(WaitUntil([&] { return source.polls > seen; }, 10s)) << "step " << step;
    }
    EXPECT_TRUE(WaitUntil([&] { return source.fedBackOnTarget.load(); }, 10s)) << "the pin was asked";
    EXPECT_EQ(WindowFromPoint(to), icon) << "nothing covers the pin";
    MouseUp(Button::Left, to);
  });
  // The drag begins once this thread has seen the button go down.
  EXPECT_TRUE(PumpUntil([] { return GetKeyState(VK_LBUTTON) < 0; }, 10s));
  DWORD effect = DROPEFFECT_NONE;
  DoDragDrop(source.data, &source, allowed, &effect);
  source.windowsWhenDropped = PictureWindows().UpperBound();
  EXPECT_TRUE(PumpUntil([&] { return hand.done(); }, 10s));
  DestroyWindow(grip);
  return effect;
}

}  // namespace pintaro::test
