// Another program on the clipboard, for the copy tests (commands in clipboard_peer.h).
#include <windows.h>

#include <cstdio>
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
  std::string report;
  if (auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
    SIZE size{};
    const auto pixels = pintaro::test::BitmapPixels(bitmap, size);
    report += "bitmap " + std::to_string(size.cx) + " " + std::to_string(size.cy) + " " +
              std::to_string(pintaro::test::ColourHash(pixels)) + "\n";
  }
  if (HANDLE dib = GetClipboardData(CF_DIB)) {
    if (const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib))) {
      report += "dib " + std::to_string(header->biWidth) + " " + std::to_string(std::abs(header->biHeight)) + " " +
                std::to_string(header->biBitCount) + "\n";
      GlobalUnlock(dib);
    }
  }
  CloseClipboard();
  FILE* out = _wfopen(file, L"wb");
  if (!out) return 3;
  std::fwrite(report.data(), 1, report.size(), out);
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
