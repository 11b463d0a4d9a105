#include "icon_window/drop_target.h"

#include <shellapi.h>

namespace pintaro {

namespace {

FORMATETC FileListFormat() noexcept { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool OffersFileList(IDataObject* data) noexcept {
  FORMATETC format = FileListFormat();
  return data && data->QueryGetData(&format) == S_OK;
}

std::vector<std::wstring> FileNames(IDataObject* data) {
  std::vector<std::wstring> names;
  FORMATETC format = FileListFormat();
  STGMEDIUM medium{};
  if (data->GetData(&format, &medium) != S_OK) return names;
  // A source may answer in another medium than the one asked for; only a memory block is read.
  auto drop = medium.tymed == TYMED_HGLOBAL ? static_cast<HDROP>(GlobalLock(medium.hGlobal)) : nullptr;
  if (drop) {
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      std::wstring name(DragQueryFileW(drop, i, nullptr, 0), L'\0');
      DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size() + 1));
      names.push_back(std::move(name));
    }
    GlobalUnlock(medium.hGlobal);
  }
  ReleaseStgMedium(&medium);
  return names;
}

}  // namespace

bool FileDropTarget::Register(HWND window) noexcept {
  if (window_) return true;
  if (FAILED(RegisterDragDrop(window, this))) return false;
  window_ = window;
  return true;
}

void FileDropTarget::Revoke() noexcept {
  if (window_) RevokeDragDrop(window_);
  window_ = nullptr;
}

HRESULT FileDropTarget::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDropTarget) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

// The names are not looked at while dragging: any file list shows the copy cursor.
void FileDropTarget::SetEffect(DWORD* effect) const noexcept {
  if (effect) *effect = offersFiles_ ? (*effect & DROPEFFECT_COPY) : DROPEFFECT_NONE;
}

HRESULT FileDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) noexcept {
  offersFiles_ = OffersFileList(data);
  SetEffect(effect);
  return S_OK;
}

HRESULT FileDropTarget::DragOver(DWORD, POINTL, DWORD* effect) noexcept {
  SetEffect(effect);
  return S_OK;
}

HRESULT FileDropTarget::DragLeave() noexcept {
  offersFiles_ = false;
  return S_OK;
}

// Never more than the copy effect comes back, so a source that offered a move keeps its files.
HRESULT FileDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) noexcept {
  offersFiles_ = OffersFileList(data);
  SetEffect(effect);
  if (!offersFiles_) return S_OK;
  offersFiles_ = false;
  try {
    onDrop_(FileNames(data));
  } catch (...) {
    // Out of memory for the list: nothing more opens.
  }
  return S_OK;
}

}  // namespace pintaro
