#pragma once
// The system libraries the start-up does without, each loaded at its first use: nothing on the way to
// the first picture needs them, and loading them with the program costs every start.
#include <windows.h>
#include <ole2.h>

namespace pintaro {

// The function of that name in the library, of the type given; null without the library or the
// function (one of a later Windows).
template <typename Function>
Function* LibraryFunction(HMODULE library, const char* name) noexcept {
  return library ? reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

HMODULE Shell32() noexcept;

}  // namespace pintaro

// The functions of ole32 and imm32 the program uses.
namespace pintaro::ole32 {

HRESULT CoInitializeEx(void* reserved, DWORD model) noexcept;
void CoUninitialize() noexcept;
HRESULT CoCreateInstance(REFCLSID what, IUnknown* outer, DWORD context, REFIID iid, void** object) noexcept;
HRESULT OleInitialize(void* reserved) noexcept;
void OleUninitialize() noexcept;
HRESULT RegisterDragDrop(HWND window, IDropTarget* target) noexcept;
HRESULT RevokeDragDrop(HWND window) noexcept;
void ReleaseStgMedium(STGMEDIUM* medium) noexcept;
HRESULT PropVariantClear(PROPVARIANT* value) noexcept;

}  // namespace pintaro::ole32

namespace pintaro::imm32 {

// Without imm32, as on a system without input methods, there is no input context to take away.
BOOL ImmAssociateContextEx(HWND window, HIMC context, DWORD flags) noexcept;

}  // namespace pintaro::imm32
