#pragma once
// Files dragged onto the icon window of the program running in the test process, through OLE drag
// and drop with the test's own hand on the mouse.
#include <windows.h>
#include <shlobj.h>  // DROPFILES

#include <atomic>

#include "support/app_fixture.h"

namespace pintaro::test {

// A drag source offering names as a file list (CF_HDROP) or as text. It lives on the test's stack.
class NamesSource final : public IDataObject, public IDropSource {
 public:
  NamesSource(std::vector<std::wstring> names, UINT format) : names_(std::move(names)), format_(format) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IDropSource                          ? static_cast<IDropSource*>(this)
           : iid == IID_IDataObject || iid == IID_IUnknown ? static_cast<void*>(static_cast<IDataObject*>(this))
                                                           : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    *medium = {TYMED_HGLOBAL, {.hGlobal = Payload()}, nullptr};
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    return format && format->cfFormat == format_ && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  // A drop onto a window of this process asks for nothing else.
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    ++polls;
    return escape ? DRAGDROP_S_CANCEL : (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override {
    if (effect & DROPEFFECT_COPY) accepted = true;
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }

  std::atomic<int> polls{0};
  std::atomic<bool> accepted{false};

 private:
  // The names one after another, each ended by a zero, and one more zero; behind a header for a file list.
  HGLOBAL Payload() const {
    std::wstring text;
    for (const std::wstring& name : names_) text += name + L'\0';
    text += L'\0';
    const SIZE_T header = format_ == CF_HDROP ? sizeof(DROPFILES) : 0;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, header + text.size() * sizeof(wchar_t));
    auto* bytes = static_cast<BYTE*>(GlobalLock(memory));
    if (header) *reinterpret_cast<DROPFILES*>(bytes) = {sizeof(DROPFILES), {}, FALSE, TRUE};
    memcpy(bytes + header, text.data(), text.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
  }

  std::vector<std::wstring> names_;
  UINT format_;
};

// The head of the pin: a pixel of the icon that is not keyed away.
inline POINT OnThePin(HWND icon) { return {RectOf(icon).left + 21, RectOf(icon).top + 12}; }

// A user presses the button on a window of the test, drags onto the icon and lets go there. Returns
// the effect the drag ended with.
inline DWORD DragOntoIcon(NamesSource& source, DWORD allowed) {
  HWND grip = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"BUTTON", L"", WS_POPUP | WS_VISIBLE, 100, 100, 40, 40,
                              nullptr, nullptr, nullptr, nullptr);
  const POINT from{120, 120}, to = OnThePin(TheIconWindow()->hwnd());
  UserActs hand([&] {
    MouseDown(Button::Left, from);
    WaitUntil([&] { return source.polls > 0; }, std::chrono::seconds(10));
    for (int step = 1; step <= 4; ++step)
      MouseMoveTo({from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
    const int seen = source.polls;
    WaitUntil([&] { return source.accepted || source.polls > seen + 3; }, std::chrono::seconds(10));
    MouseUp(Button::Left, to);
  });
  // The drag begins once this thread has seen the button go down.
  PumpUntil([] { return GetKeyState(VK_LBUTTON) < 0; }, std::chrono::seconds(10));
  DWORD effect = DROPEFFECT_NONE;
  DoDragDrop(&source, &source, allowed, &effect);
  PumpUntil([&] { return hand.done(); }, std::chrono::seconds(10));
  DestroyWindow(grip);
  return effect;
}

}  // namespace pintaro::test
