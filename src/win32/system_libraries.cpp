#include "win32/system_libraries.h"

#include <imm.h>

namespace pintaro {

namespace {

HMODULE Ole32() noexcept {
  static const HMODULE library = LoadLibraryW(L"ole32.dll");
  return library;
}

HMODULE Imm32() noexcept {
  static const HMODULE library = LoadLibraryW(L"imm32.dll");
  return library;
}

}  // namespace

HMODULE Shell32() noexcept {
  static const HMODULE library = LoadLibraryW(L"shell32.dll");
  return library;
}

namespace ole32 {

HRESULT CoInitializeEx(void* reserved, DWORD model) noexcept {
  static const auto function = LibraryFunction<decltype(::CoInitializeEx)>(Ole32(), "CoInitializeEx");
  return function ? function(reserved, model) : E_FAIL;
}

void CoUninitialize() noexcept {
  static const auto function = LibraryFunction<decltype(::CoUninitialize)>(Ole32(), "CoUninitialize");
  if (function) function();
}

HRESULT CoCreateInstance(REFCLSID what, IUnknown* outer, DWORD context, REFIID iid, void** object) noexcept {
  static const auto function = LibraryFunction<decltype(::CoCreateInstance)>(Ole32(), "CoCreateInstance");
  if (function) return function(what, outer, context, iid, object);
  *object = nullptr;
  return E_FAIL;
}

HRESULT OleInitialize(void* reserved) noexcept {
  static const auto function = LibraryFunction<decltype(::OleInitialize)>(Ole32(), "OleInitialize");
  return function ? function(reserved) : E_FAIL;
}

void OleUninitialize() noexcept {
  static const auto function = LibraryFunction<decltype(::OleUninitialize)>(Ole32(), "OleUninitialize");
  if (function) function();
}

HRESULT RegisterDragDrop(HWND window, IDropTarget* target) noexcept {
  static const auto function = LibraryFunction<decltype(::RegisterDragDrop)>(Ole32(), "RegisterDragDrop");
  return function ? function(window, target) : E_FAIL;
}

HRESULT RevokeDragDrop(HWND window) noexcept {
  static const auto function = LibraryFunction<decltype(::RevokeDragDrop)>(Ole32(), "RevokeDragDrop");
  return function ? function(window) : E_FAIL;
}

void ReleaseStgMedium(STGMEDIUM* medium) noexcept {
  static const auto function = LibraryFunction<decltype(::ReleaseStgMedium)>(Ole32(), "ReleaseStgMedium");
  if (function) function(medium);
}

HRESULT PropVariantClear(PROPVARIANT* value) noexcept {
  static const auto function = LibraryFunction<decltype(::PropVariantClear)>(Ole32(), "PropVariantClear");
  return function ? function(value) : E_FAIL;
}

}  // namespace ole32

namespace imm32 {

BOOL ImmAssociateContextEx(HWND window, HIMC context, DWORD flags) noexcept {
  static const auto function = LibraryFunction<decltype(::ImmAssociateContextEx)>(Imm32(), "ImmAssociateContextEx");
  return function ? function(window, context, flags) : FALSE;
}

}  // namespace imm32

}  // namespace pintaro
