#pragma once
// The icon window as a drop target for file lists from Explorer or any other drag source.
#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

namespace pintaro {

// Accepts a drag that offers a file list (CF_HDROP) with the copy effect, when the source allows
// copying; anything else gets the no-drop cursor. A drop hands every name of the list to the
// handler, in the list's order. The object lives as long as its window: OLE's references end with
// Revoke.
class FileDropTarget final : public IDropTarget {
 public:
  using DropHandler = std::function<void(std::vector<std::wstring> names)>;

  explicit FileDropTarget(DropHandler onDrop) : onDrop_(std::move(onDrop)) {}
  FileDropTarget(const FileDropTarget&) = delete;
  FileDropTarget& operator=(const FileDropTarget&) = delete;
  ~FileDropTarget() { Revoke(); }

  bool Register(HWND window) noexcept;
  void Revoke() noexcept;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return --references_; }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) noexcept override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD* effect) noexcept override;
  HRESULT STDMETHODCALLTYPE DragLeave() noexcept override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) noexcept override;

 private:
  void SetEffect(DWORD* effect) const noexcept;

  DropHandler onDrop_;
  HWND window_ = nullptr;
  ULONG references_ = 0;
  bool offersFiles_ = false;
};

}  // namespace pintaro
