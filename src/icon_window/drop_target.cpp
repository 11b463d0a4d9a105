#include "icon_window/drop_target.h"

#include <cstring>
#include <optional>

#include "win32/handles.h"
#include "win32/system_libraries.h"
#include "icon_window/drop_list.h"
#include "win32/program.h"

namespace pintaro {

namespace {

FORMATETC FileListFormat() noexcept { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool OffersFileList(IDataObject* data) noexcept {
  FORMATETC format = FileListFormat();
  return data && data->QueryGetData(&format) == S_OK;
}

std::wstring NameFrom(const std::uint8_t* block, const DroppedName& name, bool wide) {
  std::wstring text;
  if (wide) {
    text.resize(name.length);
    std::memcpy(text.data(), block + name.offset, name.length * sizeof(wchar_t));
  } else {
    const char* bytes = reinterpret_cast<const char*>(block + name.offset);
    const int length = static_cast<int>(name.length);
    text.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, bytes, length, nullptr, 0)));
    MultiByteToWideChar(CP_ACP, 0, bytes, length, text.data(), static_cast<int>(text.size()));
  }
  return text;
}

// The names of the file list, or nothing when its block is not one.
std::optional<std::vector<std::wstring>> FileNames(IDataObject* data) {
  FORMATETC format = FileListFormat();
  STGMEDIUM medium{};
  if (data->GetData(&format, &medium) != S_OK) return std::nullopt;
  struct Release {
    STGMEDIUM& medium;
    ~Release() { ole32::ReleaseStgMedium(&medium); }
  } release{medium};
  // A source may answer in another medium than the one asked for; only a memory block is read.
  const LockedGlobal<const std::uint8_t> locked(medium.tymed == TYMED_HGLOBAL ? medium.hGlobal : nullptr);
  const std::uint8_t* block = locked.get();
  if (!block) return std::nullopt;
  const std::optional<DropList> list = ReadDropList(block, locked.bytes());
  if (!list) return std::nullopt;
  std::vector<std::wstring> names;
  names.reserve(list->names.size());
  for (const DroppedName& name : list->names) names.push_back(NameFrom(block, name, list->wide));
  return names;
}

}  // namespace

bool FileDropTarget::Register(HWND window) noexcept {
  if (window_) return true;
  if (FAILED(ole32::RegisterDragDrop(window, this))) return false;
  window_ = window;
  return true;
}

void FileDropTarget::Revoke() noexcept {
  if (window_) ole32::RevokeDragDrop(window_);
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

// Never more than the copy effect comes back, so a source that offered a move keeps its files; none
// comes back for a list that is not one.
HRESULT FileDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) noexcept {
  offersFiles_ = OffersFileList(data);
  SetEffect(effect);
  if (!offersFiles_) return S_OK;
  offersFiles_ = false;
  try {
    std::optional<std::vector<std::wstring>> names = FileNames(data);
    if (!names) {
      if (effect) *effect = DROPEFFECT_NONE;
      return S_OK;
    }
    // The source's GetData lets messages run, in which the program may have ended.
    if (!ProgramEnded()) onDrop_(std::move(*names));
  } catch (...) {
    // Out of memory for the list: nothing more opens.
  }
  return S_OK;
}

}  // namespace pintaro
