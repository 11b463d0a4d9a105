#include "pictures/clip_windows.h"

#include "app/program.h"
#include "icon_window/frm_main.h"
#include "picture_window/frm_clip.h"
#include "pictures/layered.h"
#include "pictures/picture_rendering.h"

namespace pintaro {

namespace {
PlacementRandom g_placement;
}

DisplaySettings& Settings() noexcept {
  static DisplaySettings settings;
  return settings;
}

ClipWindowTable& ClipWindows() noexcept {
  static ClipWindowTable table;
  return table;
}

ClipWindowTable::ClipWindowTable() { slots_.resize(1); }
ClipWindowTable::~ClipWindowTable() = default;

void ClipWindowTable::Reset() {
  slots_.clear();
  slots_.resize(1);
}

FrmClip* ClipWindowTable::operator[](int slot) const noexcept {
  if (slot < 0 || slot > UpperBound()) return nullptr;
  return slots_[static_cast<std::size_t>(slot)].get();
}

int ClipWindowTable::Append(std::unique_ptr<FrmClip> window) {
  slots_.push_back(std::move(window));
  return UpperBound();
}

std::wstring FileNamePart(const std::wstring& path) {
  const auto slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

namespace {

// The lowest free slot, now taken; or a new window in a new slot at the end.
std::pair<FrmClip*, int> TakeSlot() {
  ClipWindowTable& table = ClipWindows();
  for (int slot = 1; slot <= table.UpperBound(); ++slot) {
    FrmClip* window = table[slot];
    if (window && window->IsFree()) {
      window->Tag.clear();
      return {window, slot};
    }
  }
  auto created = std::make_unique<FrmClip>();
  FrmClip* window = created.get();
  return {window, table.Append(std::move(created))};
}

}  // namespace

void OpenPictureFile(const std::wstring& path) {
  std::optional<Image32> picture = ReadPictureOrReport(path);
  if (!picture) return;

  const auto [window, slot] = TakeSlot();
  if (FrmMain* main = MainForm()) main->SetCountCaption(slot);
  window->Image1.Tag = path;
  window->SetToolTipText(FileNamePart(path));
  // The picture just read serves as the rendering's source, so the file is decoded once.
  ResizePictureWindow(*window, std::move(picture));
  PlaceNewWindow(*window);
  SetAlpha(window->hwnd(), Settings().CurrentAlpha);
  window->CheckAlphaItem(Settings().CurrentAlphaIndex);
}

void PlaceNewWindow(FrmClip& window) {
  RECT rect{};
  GetWindowRect(window.hwnd(), &rect);
  const Size screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const Size size{rect.right - rect.left, rect.bottom - rect.top};
  const double r1 = g_placement.Next();
  const double r2 = g_placement.Next();
  const Point at = PlaceAroundCentre(screen, size, TwipsPerPixel(), r1, r2);
  SetWindowPos(window.hwnd(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ResetPlacementSequence() noexcept { g_placement.Reset(); }

}  // namespace pintaro
