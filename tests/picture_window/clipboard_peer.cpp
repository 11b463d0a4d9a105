// Another program on the clipboard, for the copy tests (commands in clipboard_peer.h).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "clipboard_peer.h"
#include "support/picture_checks.h"

namespace {

bool OpenWithRetries() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

int Read(const wchar_t* file) {
  if (!OpenWithRetries()) return 2;
  SIZE size{}, dib{};
  std::uint32_t hash = 0;
  if (auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
    hash = pintaro::test::ColourHash(pintaro::test::BitmapPixels(bitmap, size));
  }
  const HANDLE dibData = GetClipboardData(CF_DIB);
  if (const auto* header = dibData ? static_cast<const BITMAPINFOHEADER*>(GlobalLock(dibData)) : nullptr) {
    dib = {header->biWidth, std::abs(header->biHeight)};
    GlobalUnlock(dibData);
  }
  CloseClipboard();
  FILE* out = _wfopen(file, L"wb");
  if (!out) return 3;
  std::fprintf(out, "%ld %ld %u %ld %ld\n", size.cx, size.cy, static_cast<unsigned>(hash), dib.cx, dib.cy);
  std::fclose(out);
  return 0;
}

int Hold(const wchar_t* heldName, const wchar_t* releaseName) {
  const HANDLE held = OpenEventW(EVENT_MODIFY_STATE, FALSE, heldName);
  const HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, releaseName);
  if (!held || !release || !OpenWithRetries()) return 2;
  SetEvent(held);
  WaitForSingleObject(release, 20000);
  CloseClipboard();
  CloseHandle(held);
  CloseHandle(release);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"read") return Read(argv[2]);
  if (argc == 4 && std::wstring(argv[1]) == L"hold") return Hold(argv[2], argv[3]);
  return 1;
}
