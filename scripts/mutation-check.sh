#!/usr/bin/env bash
# Proves that the tests catch real faults: each fault below is a small edit of one source file, made in a
# scratch copy of the tree, built, and checked with the tests that should notice it. Prints CAUGHT or
# MISSED per fault and a summary; fails when any fault is missed. On demand, not part of ./test.sh.
#   scripts/mutation-check.sh [NAME...]   only the named faults
# Builds the presets the chosen faults need once in the scratch copy, runs the tests named for them on
# the unchanged tree, then for each fault rebuilds the executables of its tests and runs only those tests.
# A fault whose edit no longer applies or that does not build is reported apart and fails the run.
set -euo pipefail
# Read whole before it runs: an edit of this file during a run must not change the run.
{
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=${PINTARO_MUTATION_DIR:-/tmp/pintaro-mutation-$(id -u)-$(basename "$root")}

# name @@ file @@ perl substitution (on the whole file) @@ ctest preset @@ the tests that should catch it (ctest regex)
faults=(
  "global-opacity-ignored@@src/picture_windows/picture_windows.cpp@@s/SetAlpha\(window->hwnd\(\), kOpacityPresets\[opacity\]\)/SetAlpha(window->hwnd(), 255)/@@mingw-x64@@OpenPictureTest"
  "dde-answers-any-topic@@src/win32/dde_source.cpp@@s/ \|\| !AtomNames\(topic, topic_\)//@@mingw-x64@@HandOffTest"
  "f5-ends-full-screen@@src/picture_window/full_screen_view.cpp@@s/(    case WM_CHAR:)/    case WM_KEYDOWN:\n\$1/@@mingw-x64@@KeysThatTypeACharacter"
  "double-click-release-ends-view@@src/picture_window/full_screen_view.cpp@@s/if \(std::exchange\(pressed_, false\)\) OnClick\(\);/pressed_ = false;\n  OnClick();/@@mingw-x64@@KeysThatTypeACharacter"
  "area-weights-off-by-one@@src/picture_logic/halftone_stretch.cpp@@s/(std::max\(k \* d, lo\));/\$1 + 1;/@@native@@HalftoneStretch"
  "fit-rounds-halves-away-from-zero@@src/picture_logic/fit.cpp@@s/\(diff == 0\.5 && \(result % 2 != 0\)\)/diff == 0.5/@@native@@Fit\\."
  "hand-off-takes-png@@src/app/application.cpp@@s/return IsPictureName\(arg\);/return IsPictureName(arg) || arg.ends_with(L\".png\");/@@mingw-x64@@LaterStartsHandOver"
  "free-slot-not-reused@@src/picture_windows/picture_windows.cpp@@s/if \(window && window->isFree\)/if (window && window->isFree && slot == 0)/@@mingw-x64@@ThenClose"
  "shown-size-copy-at-original-size@@src/picture_window/picture_window.cpp@@s/case picture_menu::kCopyAtShownSize: CopyAtShownSize\(\);/case picture_menu::kCopyAtShownSize: CopyAtOriginalSize();/@@mingw-x64@@RealProgramTest|ShowsFitted"
  "desktop-mode-not-recorded-without-desktop@@src/picture_window/stacking_mode.cpp@@s/(void PictureWindow::ApplyStackingMode\(StackingMode mode\) \{)/\$1\n  if (mode == StackingMode::OnDesktop && !FindWindowW(nullptr, L\"Program Manager\")) return;/@@mingw-x64@@EveryStackingStep"
  "fifty-name-limit-off-by-one@@src/win32/name_limits.h@@s/kMaxNamesHandedOver = 50;/kMaxNamesHandedOver = 51;/@@native@@CommandLine"
  "close-does-not-hide@@src/picture_window/picture_window.cpp@@s/  ShowWindow\(hwnd\(\), SW_HIDE\);\n//@@mingw-x64@@ThenClose|RealProgramTest"
  "busy-cursor-kept-over-failure-message@@src/picture_windows/picture_windows.cpp@@s/  queue\.busy\.reset\(\);\n//@@mingw-x64@@OpenPictureTest"
  "format-message-text-changed@@src/win32/texts.h@@s/対応していません。/対応していません/@@mingw-x64@@OpenPictureTest"
  "icon-window-offsets-swapped@@src/icon_window/icon_window.cpp@@s/kFromRight, dpi/kFromLeftOver, dpi/; s/kFromBottom, dpi/kFromRight, dpi/; s/kFromLeftOver, dpi/kFromBottom, dpi/@@mingw-x64@@HighDpiTest|ThePinIsDrawn"
  "icon-window-not-on-top@@src/icon_window/icon_window.cpp@@s/WS_EX_LAYERED \| WS_EX_TOPMOST/WS_EX_LAYERED/@@mingw-x64@@RealProgramTest|LaterStartsHandOver"
  "new-picture-activated-and-raised@@src/picture_windows/picture_rendering.cpp@@s/ShowWindow\(window\.hwnd\(\), SW_SHOWNA\);/ShowWindow(window.hwnd(), SW_SHOW);/@@mingw-x64@@LaterStartsHandOver"
  "closed-windows-back-after-full-screen@@src/picture_windows/show_and_arrange.cpp@@s/ForEachInUse\(\[&\]\(PictureWindow& window\) \{ ShowWindow/ForEach([&](PictureWindow\& window) { ShowWindow/@@mingw-x64@@ShowsFitted"
  "full-screen-picture-kept@@src/picture_windows/full_screen.cpp@@s/  view->ReleasePicture\(\);\n//@@mingw-x64@@ShowsFitted"
  "hand-off-gives-up-after-one-second@@src/app/single_instance.cpp@@s/kHandOffRetry\{5000\};/kHandOffRetry{1000};/@@mingw-x64@@KeepsAskingForFiveSeconds"
  "quarter-transparency-value@@src/picture_logic/presets.h@@s/\{255, 191, 127, 63\}/{255, 192, 127, 63}/@@mingw-x64@@EveryTextTheUserReads|ThenClose"
  "drag-without-move-loop@@src/win32/window_drag.cpp@@s/HTCAPTION/HTCLIENT/@@mingw-x64@@EveryStackingStep|RealProgramTest"
  "desktop-attach-moves-picture@@src/picture_window/stacking.cpp@@s/(SetParent\(hwnd, desktop\);)\n  KeepOnScreenAt\(hwnd, place\);/\$1/@@mingw-x64@@EveryStackingStep"
  "wheel-steps-past-480@@src/picture_logic/presets.cpp@@s/preset < kLargestWheelPreset \? preset \+ 1/preset <= kLargestWheelPreset ? preset + 1/@@mingw-x64@@TheIconWindowDrags|At144DotsPerInch"
  "size-change-keeps-the-corner@@src/picture_logic/presets.cpp@@s/(Point KeepCentre\(PixelRect old, Size newSize, double twipsPerPixel\) \{)/\$1\n  if (twipsPerPixel > 0) return {old.left, old.top};/@@mingw-x64@@SizeAndTransparencyForAll|At144DotsPerInch"
  "opacity-for-all-skips-free-slots-marks@@src/menu/main_menu.cpp@@s/PictureWindows\(\)\.ForEach\(\[&\]\(PictureWindow& window\) \{ window\.CheckOpacityItem/PictureWindows().ForEachInUse([\&](PictureWindow\& window) { window.CheckOpacityItem/@@mingw-x64@@SizeAndTransparencyForAll"
  "drop-takes-png@@src/icon_window/drop_filter.cpp@@s/std::array<std::wstring_view, 5> kEndings\{/std::array<std::wstring_view, 6> kEndings{L\".png\", /@@mingw-x64@@OpenPictureTest"
  "drop-offers-move@@src/icon_window/drop_target.cpp@@s/\(\*effect & DROPEFFECT_COPY\)/(*effect \& (DROPEFFECT_COPY | DROPEFFECT_MOVE))/@@mingw-x64@@OpenPictureTest"
  "end-task-not-in-order@@src/icon_window/icon_window.cpp@@s/if \(TheMainWindow\(\) == this\) \{/if (false) {/@@mingw-x64@@EndTask"
  "arrangement-divides-by-zero-columns@@src/picture_logic/arrangement.cpp@@s/grid\.columns = std::max<std::int64_t>\(width \/ cell, 1\);/grid.columns = width \/ cell;/@@native@@ScreenPlaces"
  "arrangement-page-shift-off-by-one@@src/picture_logic/arrangement.cpp@@s/const std::int64_t page = place \/ \(/const std::int64_t page = (place + 1) \/ (/@@native@@ScreenPlaces"
  "notify-icon-not-back-with-taskbar@@src/icon_window/icon_window.cpp@@s/  RestoreNotifyIcon\(\);\n  RequestPinning\(\);/  RequestPinning();/@@mingw-x64@@TheNotificationIconHidesAll"
  "version-revision-three-digits@@src/menu/version_text.cpp@@s/ZeroPadded\(revision, 4\)/ZeroPadded(revision, 3)/@@mingw-x64@@TheVersionDialog"
  "dde-takes-a-strangers-execute@@src/win32/dde_source.cpp@@s/if \(IsPartner\(sender\) && GlobalSize/if (IsWindow(sender) \&\& GlobalSize/@@mingw-x64@@LargeExecutes"
  "end-leaves-workers-running@@src/app/application.cpp@@s/  StopAllReadAhead\([^\n]*\n//@@mingw-x64@@EndTaskDuring"
  "read-ahead-stamp-not-checked@@src/picture_reading/read_ahead.cpp@@s/ \&\& StampOf\(path\) == entry\.stamp//@@mingw-x64@@ReadAheadTest.Slow"
  "resampler-source-end-narrowed@@src/picture_logic/halftone_stretch.cpp@@s/std::min<std::int64_t>\(std::int64_t\{sx\} \+ sw, src\.width\)/std::min<std::int64_t>(static_cast<int>(std::int64_t{sx} + sw), src.width)/@@native@@HalftoneStretch"
  "paste-item-ignores-clipboard@@src/icon_window/icon_window.cpp@@s/if \(wheelAndClipboardOn_\) TheMainMenu\(\)\.SetPasteEnabled/if (false) TheMainMenu().SetPasteEnabled/@@mingw-x64@@ThePasteItemFollows"
  "show-windows-item-not-first@@src/menu/main_menu.cpp@@s/InsertMenuW\(menu_\.get\(\), 0, MF_BYPOSITION/InsertMenuW(menu_.get(), -1, MF_BYPOSITION/@@mingw-x64@@TheNotificationIconHidesAll"
  "arrange-and-show-take-free-slots@@src/picture_windows/show_and_arrange.cpp@@s/ForEachInUse\(\[&\]\(PictureWindow& window\) \{\n    const Point at/ForEach([\&](PictureWindow\& window) {\n    const Point at/@@mingw-x64@@TheNotificationIconHidesAll"
  "version-dialog-not-modal@@src/win32/modal_block.cpp@@s/IsWindowEnabled\(window\)\) DisableAndKeep\(window\);/IsWindowEnabled(window)) {}/@@mingw-x64@@TheVersionDialog"
  "bgr-red-and-blue-swapped@@src/picture_reading/picture_loader.cpp@@s/bgr\[0\] \| (static_cast<std::uint32_t>\(bgr\[1\]\) << 8 \| static_cast<std::uint32_t>\()bgr\[2\]/bgr[2] | \$1bgr[0]/@@mingw-x64@@PasteTest"
  "picture-shown-before-it-is-placed@@src/picture_windows/picture_rendering.cpp@@s/(      PlaceAtScreenPoint\(window\.hwnd\(\), placeFor\(size\), size\);\n)(      ShowWindow\(window\.hwnd\(\), SW_SHOWNA\);\n)/\$2\$1/@@mingw-x64@@SizeAndTransparencyForAll"
  "transparency-given-after-the-show@@src/picture_windows/picture_windows.cpp@@s/(    SetAlpha\(window->hwnd\(\), kOpacityPresets\[opacity\]\);\n)(.*?)(    const Rendering rendering = ResizePictureWindow[^\n]*\n)/\$2\$3\$1/s@@mingw-x64@@SizeAndTransparencyForAll"
  "likely-place-takes-the-place@@src/picture_windows/picture_windows.cpp@@s/PlacementRandom ahead = PictureWindowsState::Of\(\)\.placement;/PlacementRandom\& ahead = PictureWindowsState::Of().placement;/@@mingw-x64@@EveryStackingStep|RealProgramTest"
  "unchanged-opacity-check-ignores-the-value@@src/win32/layered.cpp@@s/ \&\& now == opacity\) return;/) return;/@@mingw-x64@@SizeAndTransparencyForAll|OpenPictureTest"
  "recycled-buffer-not-reused@@src/picture_logic/image.cpp@@s/if \(same != kept_\.end\(\)\)/if (false)/@@native@@MemoryBudget"
  "link-not-turning-purple@@src/menu/about_dialog.cpp@@s/    visited_\[index\] = true;\n//@@mingw-x64@@TheVersionDialog"
  "jpeg-scale-rounded-down@@src/picture_reading/jpeg_decoder.cpp@@s/\* eighths \+ 7\) \/ 8/* eighths) \/ 8/@@native@@JpegDecoder"
  "jpeg-adobe-cmyk-not-inverted@@src/picture_reading/jpeg_decoder.cpp@@s/adobeInverted \? 0 : 255/255/@@native@@JpegDecoder"
  "jpeg-cut-file-padded-with-grey@@src/picture_reading/jpeg_decoder.cpp@@s/msg_code == JWRN_JPEG_EOF/msg_code == JWRN_JPEG_EOF \&\& false/@@mingw-x64@@OpenPictureTest"
  "jpeg-every-warning-refused@@src/picture_reading/jpeg_decoder.cpp@@s/if \(level < 0 \&\& cinfo->err->msg_code == JWRN_JPEG_EOF\)/if (level < 0)/@@native@@JpegDecoder"
  "jpeg-scans-unlimited@@src/picture_reading/jpeg_decoder.cpp@@s/input_scan_number > limit->maxScans/input_scan_number < 0/@@mingw-x64@@OpenPictureTest"
  "temp-names-not-checked@@src/win32/temp_files.cpp@@s/ \&\& IsTempFileName\(found\.cFileName\)//@@mingw-x64@@PasteTest"
  "temp-name-digits-unlimited@@src/win32/temp_file_names.cpp@@s/name\.size\(\) > kPrefix \+ 4 \+ kSuffix/name.size() > 100/@@mingw-x64@@PasteTest"
  "clipboard-dib-not-checked@@src/picture_reading/dib_bitmap.cpp@@s/CheckPackedDib\(bytes, size\)/CheckPackedDib(bytes, SIZE_MAX)/@@mingw-x64@@ThePasteItemFollows"
  "dib-pixels-beyond-the-block@@src/picture_logic/packed_dib.cpp@@s/ \|\| layout\.pixelBytes > size - layout\.pixelOffset//@@native@@PackedDib"
  "dib-palette-sum-in-32-bits@@src/picture_logic/packed_dib.cpp@@s/headerSize \+ masks \+ \*colours \* 4/static_cast<std::uint32_t>(headerSize + masks + *colours * 4)/@@native@@PackedDib"
  "rendering-ignores-a-close@@src/picture_windows/all_windows.cpp@@s/ \&\& !window->isFree \&\& window->occupancy == planned\.occupancy//@@mingw-x64@@AChangeChosenWhileAnotherRuns"
  "drop-opens-before-answering@@src/icon_window/icon_window.cpp@@s/OpenLater\(\{\[this, names = std::move\(names\)\]\(const std::function<void\(\)>\&\) \{ OnDrop\(names\); \}\}\);/OnDrop(names);/@@mingw-x64@@OpenPictureTest"
  "hand-off-answered-after-opening@@src/icon_window/icon_window.cpp@@s/OpenLater\(\{\[names = std::move\(names\)\]\(std::function<void\(\)> begun\) \{ OpenPictureFiles\(names, \{\}, nullptr, begun\); \},\n\s*count, bytes\}\);/OpenPictureFiles(names);/@@mingw-x64@@LargeExecutes|HandOffsWaiting"
  "desktop-child-moved-in-screen-coordinates@@src/win32/window_position.cpp@@s/  if \(parent \&\& parent != GetDesktopWindow\(\)\) ScreenToClient\(parent, \&screenPoint\);\n//@@mingw-x64@@EveryStackingStep"
  "size-change-hides-a-file-out-of-reach@@src/picture_windows/picture_rendering.cpp@@s/if \(CannotReadNow\(failure\) \&\& window\.shownBitmap\) return Rendering::Kept;/if (false) return Rendering::Kept;/@@mingw-x64@@ShowsFitted"
  "size-change-keeps-a-file-of-no-picture@@src/picture_windows/picture_rendering.cpp@@s/if \(CannotReadNow\(failure\) \&\& window\.shownBitmap\)/if (window.shownBitmap)/@@mingw-x64@@ShowsFitted"
  "view-says-format-for-a-file-out-of-reach@@src/picture_windows/picture_rendering.cpp@@s/  if \(CannotReadNow\(failure\)\) \{\n    ShowCannotReadNow/  if (false) {\n    ShowCannotReadNow/@@mingw-x64@@ShowsFitted"
  "copy-silent-for-a-file-out-of-reach@@src/picture_window/clipboard_copy.cpp@@s/  if \(CannotReadNow\(failure\)\) ShowCannotReadNow\(copy.path\);\n//@@mingw-x64@@ShowsFitted"
  "missing-file-taken-for-no-picture@@src/picture_reading/picture_loader.cpp@@s/: ReadFailure::Unreachable;/: ReadFailure::NotAPicture;/@@mingw-x64@@ShowsFitted"
  "view-scaled-nowhere@@src/picture_windows/full_screen.cpp@@s/(read->picture = LoadPicture\(path, toScreen, nullptr, \&read->failure, PixelsAs::)Targeted/\$1Decoded/@@mingw-x64@@ShowsFitted"
  "dialog-lets-the-notify-icon-through@@src/icon_window/icon_window.cpp@@s/if \(const HWND dialog = AboutDialogWindow\(\)\)/if (const HWND dialog = nullptr)/@@mingw-x64@@TheVersionDialog"
  "dialog-leaves-new-windows-enabled@@src/win32/window_base.h@@s/    if \(hwnd_ \&\& !parent\) DisableWhileADialogHolds\(hwnd_\);\n//@@mingw-x64@@TheVersionDialog"
  "worker-failure-final@@src/picture_reading/read_ahead.cpp@@s/ \&\& entry\.failure != ReadFailure::MayPass//@@mingw-x64@@ReadAheadTest.Slow"
  "notify-icon-right-button-ignored@@src/icon_window/icon_window.cpp@@s/\} else if \(mouseMessage == WM_RBUTTONUP\) \{/} else if (mouseMessage == 0xFFFF) {/@@mingw-x64@@TheNotificationIcon"
  "picture-menu-left-button-only@@src/picture_window/picture_window.cpp@@s/TrackPopup\(menus_\.get\(\), TPM_RIGHTBUTTON,/TrackPopup(menus_.get(), 0,/@@mingw-x64@@EveryStackingStep"
  "main-menu-left-button-only@@src/icon_window/icon_window.cpp@@s/TrackPopup\(TheMainMenu\(\)\.handle\(\), TPM_RIGHTBUTTON,/TrackPopup(TheMainMenu().handle(), 0,/@@mingw-x64@@TheNotificationIcon"
  "copy-leaks-a-device-context@@src/picture_window/clipboard_copy.cpp@@s/(  if \(!BitBlt\(to\.get\(\), 0, 0, size\.cx, size\.cy, from\.get\(\), 0, 0, SRCCOPY\)\) return \{\};)/\$1\n  from.release();/@@mingw-x64@@ShowsFitted"
  "paste-file-made-before-encoding@@src/picture_windows/paste.cpp@@s/(  void Save\(\) \{\n)/\$1    MakeTempFile();\n/@@mingw-x64@@APictureWithoutMemory"
  "drop-target-not-registered@@src/icon_window/icon_window.cpp@@s/  if \(exists\(\)\) dropTarget_\.Register\(hwnd\(\)\);\n//@@mingw-x64@@OpenPictureTest"
  "later-start-shows-its-window@@src/app/single_instance.cpp@@s/(  conversation\.Create\(nullptr\);)/\$1\n  ShowWindow(CreateWindowExW(WS_EX_TOOLWINDOW, L\"STATIC\", L\"\", WS_POPUP, 0, 0, 32, 32, nullptr, nullptr, nullptr, nullptr), SW_SHOWNA);/@@mingw-x64@@LargeExecutes"
  "message-loop-ends-on-a-failed-message@@src/app/main.cpp@@s/    if \(got < 0\) \{\n      \+\+failures;\n      continue;\n    \}/    if (got < 0) return 0;/@@mingw-x64@@LargeExecutes"
  "posted-initiates-answered@@src/win32/dde_source.cpp@@s/if \(!InSendMessage\(\) \|\| /if (/@@mingw-x64@@LargeExecutes"
  "run-lengths-not-counted@@src/picture_logic/packed_dib.cpp@@s/    if \(imageSize < \([^\n]*\n//@@native@@PackedDib"
  "paste-reads-the-clipboard-long@@src/picture_windows/paste.cpp@@s/kReadDeadline = 2s;/kReadDeadline = 30s;/@@mingw-x64@@PasteTest"
  "drop-list-offset-unchecked@@src/icon_window/drop_list.cpp@@s/ \|\| first >= size//@@fuzz@@fuzz_drop_list"
  "drop-list-without-end-taken@@src/icon_window/drop_list.cpp@@s/if \(size - at < unit\) return std::nullopt;/if (size - at < unit) break;/@@mingw-x64@@OpenPictureTest"
  "long-names-pass-the-picture-test@@src/app/command_line.cpp@@s/  if \(name\.size\(\) > kMaxPathLength\) return false;\n//@@native@@CommandLine"
  "long-names-dropped@@src/icon_window/drop_list.cpp@@s/if \(length <= kMaxPathLength\) list/list/@@mingw-x64@@OpenPictureTest"
  "read-ahead-budget-ignored@@src/picture_logic/image.cpp@@s/  if \(budget_\) budget_->Take/  if (false) budget_->Take/@@native@@MemoryBudget"
  "budget-never-waits@@src/picture_logic/memory_budget.cpp@@s/while \(held_ != 0 && /while (false \&\& /@@native@@MemoryBudget"
  "icon-key-pure-red@@src/icon_window/icon_window.h@@s/RGB\(255, 0, 255\)/RGB(255, 0, 0)/@@mingw-x64@@ThePinIsDrawn"
  "icon-window-not-scaled@@src/icon_window/icon_window.cpp@@s/const UINT dpi = DpiOf\(hwnd\(\)\);/const UINT dpi = 96;/@@mingw-x64@@HighDpiTest"
  "dpi-change-ignored@@src/icon_window/icon_window.cpp@@s/    case WM_DPICHANGED:[^\n]*\n//@@mingw-x64@@ThePinIsDrawn"
  "pin-stretched-from-32@@src/icon_window/icon_window.cpp@@s/IMAGE_ICON, size_, size_, LR_DEFAULTCOLOR/IMAGE_ICON, kIconSize, kIconSize, LR_DEFAULTCOLOR/@@mingw-x64@@ThePinIsDrawn"
  "taskbar-created-only-adds@@src/icon_window/notify_icon.cpp@@s/  LoadSmallIcon\(\);\n  Ask\(true\);/  LoadSmallIcon();\n  Ask(false);/@@mingw-x64@@TheNotificationIconHidesAll"
  "failed-add-not-retried@@src/icon_window/notify_icon.cpp@@s/if \(!taken && icon\.addTries\+\+ < kAddTries\)/if (false)/@@mingw-x64@@TheNotificationIconHidesAll"
  "lost-picture-not-made-again@@src/icon_window/icon_window.cpp@@s/OnPictureWindowsLost\(\) \{ RestoreLostPictureWindows\(\); \}/OnPictureWindowsLost() {}/@@mingw-x64@@RealProgramTest"
  "lost-picture-opaque-again@@src/picture_window/picture_window.cpp@@s/  SetAlpha\(hwnd\(\), lostOpacity_\);\n//@@mingw-x64@@RealProgramTest"
  "message-box-without-owner@@src/win32/message_box.cpp@@s/ShowMessageBox\(MainWindowHandle\(\),/ShowMessageBox(nullptr,/@@mingw-x64@@ShowsFitted"
  "full-screen-keeps-input-method@@src/picture_window/full_screen_view.cpp@@s/  imm32::ImmAssociateContextEx\(hwnd\(\), nullptr, 0\);\n//@@mingw-x64@@ShowsFitted"
  "imm32-function-not-found@@src/win32/system_libraries.cpp@@s/\(Imm32\(\), \"ImmAssociateContextEx\"\)/(Imm32(), \"ImmAssociateContextExW\")/@@mingw-x64@@ShowsFitted"
  "drop-target-function-not-found@@src/win32/system_libraries.cpp@@s/\(Ole32\(\), \"RegisterDragDrop\"\)/(Ole32(), \"RegisterDragDropW\")/@@mingw-x64@@OpenPictureTest"
  "icon-never-takes-the-foreground@@src/app/application.cpp@@s/  icon\.Activate\(foregroundAtStart\);\n//@@mingw-x64@@RealProgramTest|LaterStartsHandOver"
  "denied-mutex-runs-a-first-instance@@src/app/single_instance.cpp@@s/  if \(!mutex && GetLastError\(\) == ERROR_ACCESS_DENIED\) return std::nullopt;\n//@@mingw-x64@@KeepsAskingForFiveSeconds"
  "drawn-link-cursor@@src/menu/about_dialog.cpp@@s/LoadCursorW\(nullptr, IDC_HAND\)/LoadCursorW(nullptr, IDC_ARROW)/@@mingw-x64@@TheVersionDialog"
  "exif-byte-order-ignored@@src/picture_logic/orientation.cpp@@s/const bool big = tiff\[0\] == 'M' && tiff\[1\] == 'M';/const bool big = false;/@@native@@ExifOrientation"
  "exif-not-applied@@src/picture_reading/jpeg_decoder.cpp@@s/const int orientation = SavedOrientation\(s\.cinfo\);/const int orientation = kAsStored;/@@fuzz@@fuzz_jpeg"
  "quarter-turns-swapped@@src/picture_logic/orientation.cpp@@s/\{bottom, -w, 1\}/{right, w, -1}/@@native@@ExifOrientation"
  "scale-from-the-upright-target@@src/picture_reading/jpeg_decoder.cpp@@s/ChooseJpegScale\(stored, UprightSize\(targetFor\(picture\), orientation\)\)/ChooseJpegScale(stored, targetFor(picture))/@@fuzz@@fuzz_jpeg"
  "exif-entries-read-beyond@@src/picture_logic/orientation.cpp@@s/    if \(!bytes\.Has\(entry, kEntrySize\)\) return kAsStored;\n//@@fuzz@@fuzz_jpeg"
  "jpeg-orientation-past-the-scan@@src/picture_logic/orientation.cpp@@s/if \(marker == 0xDA \|\| marker == 0xD9\) break;/if (marker == 0xD9) break;/@@native@@ExifOrientation"
  "read-ahead-after-the-icon-window@@src/app/application.cpp@@s/(  \/\/ The pictures named are read[^\n]*\n[^\n]*\n)(  auto ahead = std::make_unique<ReadAhead>\(names, Settings\(\)\.DisplaySize\(\)\);\n)(.*?)(  icon\.TakeTheWheel\(\);\n)/\$1\$3\$4\$2/s@@mingw-x64@@EndTaskDuring"
  "clipboard-not-watched@@src/app/application.cpp@@s/  icon\.WatchClipboard\(\);\n//@@mingw-x64@@ThePasteItemFollows"
  "drops-never-accepted@@src/app/application.cpp@@s/  icon\.AcceptDrops\(\);\n//@@mingw-x64@@OpenPictureTest"
  "damaged-file-read-again-on-ui-thread@@src/picture_windows/picture_windows.cpp@@s/  if \(!StartOnWorkerThenAnswer\(work, \[path, result\] \{ OnPictureRead\(path, result\); \}\)\) return false;/  work();\n  if (!StartOnWorkerThenAnswer([] {}, [path, result] { OnPictureRead(path, result); })) return false;/@@mingw-x64@@ReadAheadTest.Slow"
  "file-shared-for-reading-only@@src/win32/file_access.cpp@@s/FILE_SHARE_READ \| FILE_SHARE_WRITE \| FILE_SHARE_DELETE/FILE_SHARE_READ/@@mingw-x64@@ReadAheadTest.Slow"
  "rendering-reads-on-ui-thread@@src/picture_windows/all_windows.cpp@@s/    if \(StartOnWorkerThenAnswer\(work,/    if (work(), StartOnWorkerThenAnswer([] {},/@@mingw-x64@@SizeAndTransparencyForAll|ThenClose|TheLargestPictureOpens"
  "end-waits-long-for-workers@@src/app/application.cpp@@s/std::chrono::milliseconds\(500\)/std::chrono::milliseconds(2500)/@@mingw-x64@@ReadAheadTest.Slow"
  "temp-file-deletable-by-others@@src/win32/temp_files.cpp@@s/GENERIC_READ \| GENERIC_WRITE, FILE_SHARE_READ,/GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,/@@mingw-x64@@PasteTest"
  "killed-runs-files-left@@src/app/application.cpp@@s/  StartOnWorker\(\[\] \{ DeleteUnusedTempFiles\(&IsEncodedBmp24\); \}\);\n//@@mingw-x64@@PasteTest"
  "long-path-parent-kept@@src/win32/file_paths.cpp@@s/    if \(name == L\"\.\.\"\) \{/    if (false) {/@@native@@FilePaths"
  "icon-added-during-an-end-stays@@src/icon_window/notify_icon.cpp@@s/        if \(before\) WaitForSingleObject\(before->get\(\), kCallBeforeDeleteMs\);\n//@@mingw-x64@@ALogOffAsTheIconIsAdded"
  "display-change-ignored@@src/icon_window/icon_window.cpp@@s/case WM_DISPLAYCHANGE: OnDisplayChange\(\); break;/case WM_DISPLAYCHANGE: break;/@@mingw-x64@@At144DotsPerInchWithAMonitorLeft"
  "pinned-picture-follows-the-desktop@@src/picture_window/picture_window.cpp@@s/OnAMonitor\(\*home_, \{now\.right/OnAMonitor({now.left, now.top}, {now.right/@@mingw-x64@@At144DotsPerInchWithAMonitorLeft"
  "icon-window-left-on-no-monitor@@src/icon_window/icon_window.cpp@@s/TakeSize\(dpi, PlaceAtScale\(dpi\)\);\n  \}\n  WatchDesktop/TakeSize(dpi, now);\n  }\n  WatchDesktop/@@mingw-x64@@At144DotsPerInchWithAMonitorLeft"
  "window-larger-than-monitor-off-its-top@@src/picture_logic/monitors.cpp@@s/if \(end - start >= monitorEnd - monitorStart \|\| start < monitorStart\)/if (start < monitorStart)/@@native@@ScreenPlaces"
  "end-destroys-picture-in-silent-desktop@@src/picture_window/picture_window.cpp@@s/if \(InsideDesktopWindow\(hwnd\(\)\) && !TakeOutOfDesktop\(hwnd\(\)\)\)/if (false)/@@mingw-x64@@ADesktopWindowThatStopsAnswering"
  "pinned-into-silent-desktop@@src/picture_windows/desktop_pinning.cpp@@s/desktop && !asking_\) Ask\(desktop\);/desktop) PinWaitingPictures(desktop);/@@mingw-x64@@ADesktopWindowThatStopsAnswering"
  "tip-of-lost-picture-left-behind@@src/picture_window/picture_window.cpp@@s/  toolTip_\.reset\(\);\n  if \(ProgramEnded/  if (ProgramEnded/; s/  toolTip_\.reset\(\);\n  const SIZE size/  const SIZE size/@@mingw-x64@@OutlivesItsDesktop"
  "version-dialog-leaves-pinned-pictures@@src/win32/modal_block.cpp@@s/  EnumChildWindows\(window, &DisableProgramWindow, dialog\);\n//@@mingw-x64@@TheVersionDialog"
  "notify-icon-retry-adds-only@@src/icon_window/notify_icon.cpp@@s/!icon\.asking\) Ask\(true\);/!icon.asking) Ask(false);/@@mingw-x64@@TheNotificationIconHidesAll"
  "notify-icon-kept-after-failed-add@@src/icon_window/notify_icon.cpp@@s/(  RunOnWorkerFor\(\n)/  if (icon.shown)\n\$1/@@mingw-x64@@TheNotificationIconHidesAll"
  # What the user sees: texts, input on every window, steps past the first, states in combination, names
  # as other programs spell them.
  "help-caption-without-its-dots@@src/menu/main_menu.cpp@@s/L\"ヘルプ\(&H\)\.\.\.\"/L\"ヘルプ(&H)\"/@@mingw-x64@@EveryTextTheUserReads"
  "pin-item-loses-its-mnemonic@@src/picture_window/picture_window.cpp@@s/L\"最背面に表示\(&B\)\"/L\"最背面に表示(B)\"/@@mingw-x64@@EveryTextTheUserReads"
  "tray-tip-is-the-drop-tip@@src/icon_window/notify_icon.cpp@@s/wcsncpy\(icon\.record\.szTip, kTitle,/wcsncpy(icon.record.szTip, L\"ここに写真をドロップ\",/@@mingw-x64@@EveryTextTheUserReads"
  "size-captions-240-and-320-swapped@@src/menu/main_menu.cpp@@s/std::to_wstring\(kSizePresets\[preset\]\)/std::to_wstring(kSizePresets[preset == 3 ? 4 : preset == 4 ? 3 : preset])/@@mingw-x64@@EveryTextTheUserReads"
  "icon-window-left-button-does-not-drag@@src/icon_window/icon_window.cpp@@s/void IconWindow::OnLeftButtonDown\(\) \{ StartWindowDrag\(hwnd\(\)\); \}/void IconWindow::OnLeftButtonDown() {}/@@mingw-x64@@TheIconWindowDrags"
  "main-menu-at-the-icon-windows-corner@@src/icon_window/icon_window.cpp@@s/  GetCursorPos\(&cursor\);/  ClientToScreen(hwnd(), &cursor);/@@mingw-x64@@TheIconWindowDrags"
  "icon-double-click-does-not-arrange@@src/icon_window/icon_window.cpp@@s/void IconWindow::OnDoubleClick\(\) \{ ArrangeWindows\(\); \}/void IconWindow::OnDoubleClick() {}/@@mingw-x64@@TheIconWindowDrags"
  "wheel-turns-the-wrong-way@@src/picture_logic/presets.cpp@@s/return sum > 0 \? \+1 : -1;/return sum > 0 ? -1 : +1;/@@mingw-x64@@TheIconWindowDrags"
  "hand-off-opens-only-the-first-name@@src/icon_window/icon_window.cpp@@s/\{ OpenPictureFiles\(names, \{\}, nullptr, begun\); \}/{ OpenPictureFiles({names.front()}, {}, nullptr, begun); }/@@mingw-x64@@LaterStartsHandOver"
  "arrangement-skips-hidden-windows@@src/picture_windows/show_and_arrange.cpp@@s/(  PictureWindows\(\)\.ForEachInUse\(\[&\]\(PictureWindow& window\) \{\n)(    const Point at)/\$1    if (!IsWindowVisible(window.hwnd())) return;\n\$2/@@mingw-x64@@TheNotificationIconHidesAll"
  "hide-all-leaves-pinned-pictures@@src/picture_windows/show_and_arrange.cpp@@s/\{ ShowWindow\(window\.hwnd\(\), command\); \}/{ if (window.stacking != StackingMode::OnDesktop) ShowWindow(window.hwnd(), command); }/@@mingw-x64@@TheNotificationIconHidesAll"
  "size-change-while-hidden-shows-the-icon-window@@src/icon_window/icon_window.cpp@@s/  if \(Shown\(\)\) SetFocus\(hwnd\(\)\);/  ShowWindow(hwnd(), SW_SHOWNA);\n  SetFocus(hwnd());/@@mingw-x64@@TheNotificationIconHidesAll"
  "hide-all-ends-the-full-screen-view@@src/menu/main_menu.cpp@@s/(#include \"picture_windows\/paste.h\"\n)/\$1#include \"picture_windows\/full_screen.h\"\n/; s/(  ToggleAllWindows\(false\);\n)/\$1  CloseFullScreen();\n/@@mingw-x64@@TheNotificationIconHidesAll"
  "hand-off-topic-case-sensitive@@src/win32/dde_source.cpp@@s/static_cast<int>\(name\.size\(\)\),\n(\s*)TRUE\)/static_cast<int>(name.size()),\n\$1FALSE)/@@mingw-x64@@LaterStartsHandOver"
  "drop-long-endings-case-sensitive@@src/icon_window/drop_filter.cpp@@s/\{ return EndsWithIgnoringAsciiCase\(name, ending\); \}/{ return ending.size() == 4 ? EndsWithIgnoringAsciiCase(name, ending) : name.ends_with(ending); }/@@mingw-x64@@OpenPictureTest"
  "command-line-endings-case-sensitive@@src/app/command_line.cpp@@s/EndsWithIgnoringAsciiCase\(name, /name.ends_with(/g@@mingw-x64@@RealProgramTest.Only|LaterStartsHandOver"
  "end-keeps-the-full-screen-view@@src/app/application.cpp@@s/  DestroyFullScreen\(\);\n//@@mingw-x64@@ShowsFitted"
  "start-opacity-not-opaque@@src/picture_windows/picture_windows.h@@s/int opacityPreset = 0;/int opacityPreset = 1;/@@mingw-x64@@ThenClose"
  "own-opacity-from-the-next-preset@@src/picture_window/picture_window.cpp@@s/SetAlpha\(hwnd\(\), kOpacityPresets\[preset\]\);/SetAlpha(hwnd(), kOpacityPresets[(preset + 1) % kOpacityPresetCount]);/@@mingw-x64@@EveryTextTheUserReads|ThenClose"
  "quarter-and-half-captions-swapped@@src/win32/texts.h@@s/L\"1\/4 透過\", L\"1\/2 透過\"/L\"1\/2 透過\", L\"1\/4 透過\"/@@mingw-x64@@EveryTextTheUserReads"
  "wheel-part-of-a-notch-steps@@src/picture_logic/presets.cpp@@s/if \(sum > -kNotch && sum < kNotch\) \{/if (false) {/@@mingw-x64@@TheIconWindowDrags"
  "wheel-sum-kept-on-a-change-of-direction@@src/picture_logic/presets.cpp@@s/\(sameWay \? sum_ : 0\)/sum_/@@mingw-x64@@TheIconWindowDrags"
  "wheel-sum-forgets-the-rest-of-a-notch@@src/picture_logic/presets.cpp@@s/sum_ = static_cast<int>\(sum % kNotch\);/sum_ = 0;/@@mingw-x64@@TheIconWindowDrags"
  "wheel-turn-during-a-change-passed-over@@src/icon_window/icon_window.cpp@@s/  if \(!wheelAndClipboardOn_\) return;/  if (!wheelAndClipboardOn_ || SizeChangeUnderWay()) return;/; s/\A/#include \"picture_windows\/all_windows.h\"\n/@@mingw-x64@@SizeAndTransparencyForAll"
  "temp-clean-up-ignores-content@@src/win32/temp_files.cpp@@s/(if \(!isOurs\(\{start, read\}, [^\n]*\)\)) return;/\$1 {}/@@mingw-x64@@PasteTest"
  "written-bitmap-check-ignores-the-length@@src/picture_logic/bmp_file.cpp@@s/return fileSize == size;/return fileSize >= size;/@@native@@BmpFile"
  "written-bitmap-check-ignores-a-reserved-field@@src/picture_logic/bmp_file.cpp@@s/\{6, 0\},//@@fuzz@@fuzz_packed_dib"
  "temp-clean-up-at-the-end-on-the-ui-thread@@src/win32/temp_files.cpp@@s/RunOnWorkerFor\(\[isOurs\] \{ DeleteUnusedTempFiles\(isOurs\); \}, timeout\);/DeleteUnusedTempFiles(isOurs);/@@mingw-x64@@ThePasteItemFollows"
  "posted-pointers-let-through@@src/win32/posted_pointers.cpp@@s/if \(CarriesSystemPointer\(msg\.message, msg\.hwnd\)\)/if (false)/@@mingw-x64@@LargeExecutes"
  "dpi-rectangle-taken-from-any-thread@@src/icon_window/icon_window.cpp@@s/SystemPointer<RECT>\(suggested, SentFrom::ThisThread\)/SystemPointer<RECT>(suggested, SentFrom::AnyThread)/@@mingw-x64@@LargeExecutes"
  "version-dialog-object-from-the-message@@src/menu/about_dialog.cpp@@s/if \(self \|\| !opening_\) return FALSE;\n      self = std::exchange\(opening_, nullptr\);/self = reinterpret_cast<AboutDialog*>(lParam);/@@mingw-x64@@LargeExecutes"
  "tips-take-posted-pointers@@src/win32/posted_pointers.cpp@@s/return to && IsToolTip\(to\);/return false;/@@mingw-x64@@LargeExecutes"
  "waiting-hand-off-names-unbounded@@src/icon_window/icon_window.cpp@@s/handOffNamesWaiting_ \+ names\.size\(\) > kMaxWaitingHandOffNames \|\|//@@mingw-x64@@HandOffsWaiting"
  "waiting-hand-off-bytes-unbounded@@src/icon_window/icon_window.cpp@@s/ \|\|\s*handOffBytesWaiting_ \+ bytes > kMaxWaitingHandOffBytes//@@mingw-x64@@HandOffsWaiting"
  "opened-hand-offs-still-counted@@src/icon_window/icon_window.cpp@@s/        handOffNamesWaiting_ -= names;\n//@@mingw-x64@@HandOffsWaiting"
  "closed-paste-file-kept@@src/picture_window/picture_window.cpp@@s/  slotFreed_\(byUser\);\n//@@mingw-x64@@APasteThatFailsSaysWhy"
  "closed-paste-file-not-deleted@@src/win32/temp_files.cpp@@s/      DeleteFileW\(ForFileFunctions\(gone->path\)\.c_str\(\)\);\n//@@mingw-x64@@APasteThatFailsSaysWhy"
  "paste-file-deleted-though-shown-in-other-case@@src/picture_windows/picture_windows.cpp@@s/name\.c_str\(\), -1, TRUE\)/name.c_str(), -1, FALSE)/@@mingw-x64@@APasteThatFailsSaysWhy"
  "failed-paste-not-told@@src/picture_windows/paste.cpp@@s/void Tell\(const wchar_t\* failure\) \{ ShowMessageBox/void Tell(const wchar_t* failure) { if (failure) return; ShowMessageBox/@@mingw-x64@@APasteThatFailsSaysWhy"
  "long-temp-path-told-as-missing-folder@@src/picture_windows/paste.cpp@@s/ERROR_FILENAME_EXCED_RANGE \? kPasteTempPathTooLong/ERROR_SUCCESS ? kPasteTempPathTooLong/@@mingw-x64@@APasteThatFailsSaysWhy"
  "large-clipboard-picture-told-as-unreadable@@src/picture_windows/paste.cpp@@s/    failure = kPastePictureTooLarge;\n  return ImageFromPackedDib/    ;\n  return ImageFromPackedDib/@@mingw-x64@@APasteThatFailsSaysWhy"
  "paste-without-memory-told-as-unreadable@@src/picture_windows/paste.cpp@@s/    failure_ = kPastePictureTooLarge;\n//@@mingw-x64@@APictureWithoutMemory"
  "damaged-clipboard-picture-told-as-too-large@@src/picture_windows/paste.cpp@@s/  failure = kPasteClipboardUnreadable;\n/  failure = kPastePictureTooLarge;\n/@@mingw-x64@@ThePasteItemFollows"
  "slow-clipboard-told-as-unreadable@@src/picture_windows/paste.cpp@@s/: kPasteClipboardTooSlow;/: kPasteClipboardUnreadable;/@@mingw-x64@@PasteTest"
  "pinned-picture-waits-on-top-of-the-work@@src/picture_window/stacking_mode.cpp@@s/^  PutAtTheBottom\(hwnd\(\)\);\n//m; s/ \&\& WaitsToBePinned\(\)\) position\.hwndInsertAfter = HWND_BOTTOM;/ \&\& false) position.hwndInsertAfter = HWND_BOTTOM;/@@mingw-x64@@PinnedPicturesWait"
  "pinning-gives-up-on-a-slow-desktop@@src/picture_windows/desktop_pinning.h@@s/kAnswerWait\{10000\}/kAnswerWait{200}/@@mingw-x64@@PinnedPicturesWait"
  "pinned-pictures-left-below-explorers-windows@@src/picture_windows/desktop_pinning.cpp@@s/  if \(!covered\) return;/  return;/@@mingw-x64@@PinnedPicturesWait"
  "home-follows-the-rescue@@src/picture_window/picture_window.cpp@@s/if \(!home_ \|\| draggedByUser_ \|\| LiesOnAMonitor\(homeRect\(\), CurrentMonitors\(\)\)\)/if (true)/@@mingw-x64@@HighDpiTest"
  "home-moved-by-pinning@@src/picture_window/stacking_mode.cpp@@s/(  keepingHome_ = true;\n  pintaro::PinInto)/  pintaro::PinInto/@@mingw-x64@@HighDpiTest"
  "notify-icon-told-on-the-user-interface-thread@@src/icon_window/notify_icon.cpp@@s/StartOnWorker\(\[record/[](auto work) { work(); return true; }([record/@@mingw-x64@@TheNotificationIconHidesAll"
  "restart-told-while-a-call-waits-lost@@src/icon_window/notify_icon.cpp@@s/icon\.askAgain = true;\n    return;/return;/@@mingw-x64@@TheNotificationIconHidesAll"
  "start-during-an-end-not-waiting@@src/app/single_instance.cpp@@s/if \(!AnotherInstanceEnding\(\)\) return std::nullopt;/return ClaimFirstInstance();/@@mingw-x64@@ALaterStartKeepsAsking"
  "ending-not-announced-by-the-exit-command@@src/win32/program.cpp@@s/  AnnounceEnding\(\);\n  if \(MainWindow\* window/  if (MainWindow* window/@@mingw-x64@@ALaterStartKeepsAsking"
  "later-starts-window-ends-the-first@@src/app/application.cpp@@s/QuitWhenLastWindowCloses\(false\);/QuitWhenLastWindowCloses(true);/@@mingw-x64@@ALaterStartKeepsAsking"
  "picture-limit-not-checked@@src/picture_windows/picture_windows.cpp@@s/  if \(!RoomForAPicture\(\)\) return \{nullptr, 0\};\n//; s/      const bool room = MayOpenAnotherPicture\(\);/      const bool room = true;/@@mingw-x64@@PastTheLimitOfOpenPictures"
  "waiting-openings-unbounded@@src/picture_windows/picture_windows.cpp@@s/NamesWaiting\(queue\) \+ batch\.names\.size\(\) > kMostNamesWaitingToOpen/false/@@mingw-x64@@PastTheLimitOfOpenPictures"
  "queue-full-told-for-every-batch@@src/picture_windows/picture_windows.cpp@@s/if \(std::exchange\(queue\.fullTold, true\)\) return;//@@mingw-x64@@PastTheLimitOfOpenPictures"
  "ctrl-z-refused-when-the-queue-is-full@@src/picture_windows/picture_windows.cpp@@s/if \(!batch\.again && !queue\.batches\.empty\(\)/if (!queue.batches.empty()/@@mingw-x64@@PastTheLimitOfOpenPictures"
  "waiting-paste-file-let-go@@src/picture_windows/picture_windows.cpp@@s/kept = kept \|\| std::ranges::any_of\(batch\.names, named\);/(void)batch;/@@mingw-x64@@PastTheLimitOfOpenPictures"
  "gif-background-disposal-ignored@@src/picture_logic/gif_animation.cpp@@s/last_->disposal == Disposal::Background && y/false \&\& y/@@native@@GifAnimation"
  "gif-previous-not-restored@@src/picture_logic/gif_animation.cpp@@s/covered_\.top; before_ && y/covered_.top; false \&\& y/@@native@@GifAnimation"
  "gif-transparent-pixels-drawn@@src/picture_logic/gif_animation.cpp@@s/if \(\*from >> 24\) \*to/*to/@@native@@GifAnimation"
  "gif-short-delays-not-raised@@src/picture_logic/gif_animation.cpp@@s/return ms < 20 \? 100 : static_cast<int>\(ms\);/return static_cast<int>(ms);/@@native@@GifAnimation"
  "gif-loop-count-taken-as-plays@@src/picture_logic/gif_animation.cpp@@s/static_cast<int>\(std::min\(\*loopCount, 0xFFFFu\)\) \+ 1/static_cast<int>(std::min(*loopCount, 0xFFFFu))/@@native@@GifAnimation"
  "gif-without-loop-count-plays-forever@@src/picture_logic/gif_animation.cpp@@s/if \(!loopCount\) return 1;/if (!loopCount) return kPlaysForever;/@@mingw-x64@@AnAnimatedGif"
  "gif-empty-screen-not-widened@@src/picture_logic/gif_animation.cpp@@s/return \{std::max\(1, first\.left \+ first\.width\), std::max\(1, first\.top \+ first\.height\)\};/return {1, 1};/@@native@@GifAnimation"
  "animation-budget-unbounded@@src/picture_logic/memory_budget.cpp@@s/  if \(bytes > limit_ - std::min\(held_, limit_\)\) return false;\n//@@native@@GifAnimation"
  "gif-share-ignored@@src/picture_reading/gif_reader.cpp@@s/bytes > kAnimationShareBytes \|\| //@@mingw-x64@@AnAnimatedGif"
  "gif-screen-unbounded@@src/picture_reading/gif_reader.cpp@@s/ \|\| width \* height > kMostAnimatedScreenPixels\) return std::nullopt;/) return std::nullopt;/@@mingw-x64@@AnAnimatedGif"
  "gif-frame-offsets-ignored@@src/picture_reading/gif_reader.cpp@@s/number\(L..imgdesc.Left., 0\)/0/@@mingw-x64@@AnAnimatedGif"
  "gif-disposal-not-read@@src/picture_reading/gif_reader.cpp@@s/DisposalOf\(static_cast<unsigned>\(number\(L..grctlext.Disposal., 0\)\)\)/Disposal::None/@@mingw-x64@@AnAnimatedGif"
  "gif-plays-on-after-its-last-play@@src/picture_window/animation_player.cpp@@s/\+\+playsDone >= animation->plays\) return PlayWhileSeen\(\);/++playsDone >= animation->plays) {}/@@mingw-x64@@AnAnimatedGif"
  "gif-plays-while-hidden@@src/picture_window/animation_player.cpp@@s/ && IsWindowVisible\(hwnd\(\)\);/;/@@mingw-x64@@AnAnimatedGif"
  "gif-frame-reset-by-a-size-change@@src/picture_window/animation_player.cpp@@s/animationFrame = std::min\(animationFrame, animation->frames\.size\(\) - 1\);/animationFrame = 0;/@@mingw-x64@@AnAnimatedGif"
  "gif-frame-not-drawn@@src/picture_window/animation_player.cpp@@s/  std::memcpy\(section\.dsBm\.bmBits, frame\.data\(\), frame\.byteSize\(\)\);\n//@@mingw-x64@@AnAnimatedGif"
  "gif-original-copy-takes-the-first-frame@@src/picture_window/clipboard_copy.cpp@@s/frame = animationFrame\]/frame = std::size_t{0}]/@@mingw-x64@@AnAnimatedGif"
  "gif-full-screen-takes-the-first-frame@@src/picture_windows/full_screen.cpp@@s/frame = window\.animationFrame\]/frame = std::size_t{0}]/@@mingw-x64@@AnAnimatedGif"
  "gif-ctrl-z-starts-from-the-first-frame@@src/picture_windows/picture_windows.cpp@@s/window->animationFrame = again \? again->frame : 0;/window->animationFrame = 0;/@@mingw-x64@@AnAnimatedGif"
  "picture-limit-told-for-every-name@@src/picture_windows/picture_windows.cpp@@s/if \(told \|\| ProgramEnded\(\)\) return;/if (ProgramEnded()) return;/@@mingw-x64@@PastTheLimitOfOpenPictures"
  "picture-limit-told-once-a-run@@src/picture_windows/picture_windows.cpp@@s/(void BeginOpenings\(\) noexcept \{) PictureWindowsState::Of\(\)\.limitTold = false; \}/\$1 }/@@mingw-x64@@PastTheLimitOfOpenPictures"
  "names-past-the-limit-read-ahead@@src/picture_reading/read_ahead.cpp@@s/  if \(purpose == ReadFor::Opening && g_openingStart\) paths\.resize[^\n]*\n//@@mingw-x64@@PastTheLimitOfOpenPictures"
  "paste-past-the-limit-writes-its-file@@src/picture_windows/paste.cpp@@s/  if \(!MayOpenAnotherPicture\(\)\) return;[^\n]*\n//@@mingw-x64@@PastTheLimitOfOpenPictures"
  "picture-limit-ignores-the-gdi-quota@@src/picture_logic/picture_limit.h@@s/std::min\(\{byUser, byGdi, byMemory, byEnd\}\)/std::min({byUser, byMemory, byEnd})/@@native@@PictureLimit"
  "copy-line-at-2-to-27@@src/picture_logic/packed_dib.h@@s/kMaxCopiedPixels = 1ull << 26;/kMaxCopiedPixels = 1ull << 27;/@@native@@PackedDib"
  "copy-rows-top-row-first@@src/picture_logic/packed_dib.cpp@@s/for \(int y = picture\.height\(\) - 1; y >= 0; --y\) \{/for (int y = 0; y < picture.height(); ++y) {/@@native@@PackedDib"
  "copy-waits-without-answering@@src/picture_window/clipboard_copy.cpp@@s/if \(!StartOnWorkerThenAnswer\(read, /read();\n  if (!StartOnWorkerThenAnswer([] {}, /@@mingw-x64@@TheLargestCopy"
  "copy-too-large-not-said@@src/picture_window/clipboard_copy.cpp@@s/  if \(failure == ReadFailure::TooLarge \|\| copy.work->tooLarge\)\n[^\n]*\n//@@mingw-x64@@TheLargestCopy|ShowsFitted"
  "later-copy-leaves-the-earlier-on-its-way@@src/picture_window/clipboard_copy.cpp@@s/(void GiveUpLastCopy\(\) noexcept \{\n)/\$1  return;\n/@@mingw-x64@@ShowsFitted"
  "copy-too-large-still-copied@@src/picture_window/clipboard_copy.cpp@@s/(    tooLarge = !FitsClipboardCopy\(picture->size\);)\n    if \(tooLarge\) return;/\$1/@@mingw-x64@@TheLargestCopy"
  "hand-off-names-left-relative@@src/app/application.cpp@@s/WithAbsolutePictureNames\(ProcessCommandArguments\(\), CurrentFolder\(\)\)/std::wstring(ProcessCommandArguments())/@@mingw-x64@@LaterStartsHandOver"
  "exit-command-ends-nothing@@src/menu/main_menu.cpp@@s/void MainMenu::Exit\(\) \{ StartEndTimer\(\); \}/void MainMenu::Exit() {}/@@mingw-x64@@TheNotificationIconHidesAll"
  "always-on-top-never-set@@src/picture_window/stacking.cpp@@s/topmost \? HWND_TOPMOST : HWND_NOTOPMOST/HWND_NOTOPMOST/@@mingw-x64@@EveryStackingStep"
  "end-keeps-its-temporary-files@@src/app/application.cpp@@s/  DeleteTempFiles\(&IsEncodedBmp24, std::chrono::milliseconds\(300\)\);\n//@@mingw-x64@@PasteTest"
  "paste-of-text-tries-a-bitmap@@src/picture_windows/paste.cpp@@s/  if \(!IsClipboardFormatAvailable\(CF_BITMAP\) \|\| Pastes\(\)/  if (Pastes()/@@mingw-x64@@ThePasteItemFollows"
  "picture-title-not-its-name@@src/picture_window/picture_window.cpp@@s/  SetWindowTextW\(hwnd\(\), tipText\.c_str\(\)\);\n//@@mingw-x64@@EveryTextTheUserReads"
  "opening-quote-joins-the-word@@src/app/command_line.cpp@@s/      if \(inQuote\) \{/      if (inQuote \&\& !inWord) {/@@native@@CommandLine"
  "tab-splits-no-names@@src/app/command_line.cpp@@s/\} else if \(c == L' ' \|\| c == L'\\\\t'\) \{/} else if (c == L' ') {/@@native@@CommandLine"
  "picture-name-without-its-dot@@src/app/command_line.cpp@@s/L\"\.(bmp|jpg|gif)\"/L\"\$1\"/g@@native@@CommandLine"
  "view-always-fills-the-width@@src/picture_logic/fit.cpp@@s/if \(ratio > screenRatio\)/if (ratio > 0)/@@native@@Fit\\."
  "marked-size-renders-again@@src/menu/main_menu.cpp@@s/  if \(IsChecked\(main_menu::kSize0 \+ preset\)\) return;\n//@@mingw-x64@@TheNotificationIconHidesAll"
  "main-menu-marks-its-transparency@@src/menu/main_menu.cpp@@s/(  SetAllAlpha\(preset\);)/  CheckMenuItem(menu_.get(), main_menu::kOpacity0 + preset, MF_BYCOMMAND | MF_CHECKED);\n\$1/@@mingw-x64@@EveryTextTheUserReads"
  "double-click-on-the-icon-shows-again@@src/icon_window/icon_window.cpp@@s/(  if \(mouseMessage == WM_LBUTTONDBLCLK\) \{\n)    HideAllWindows\(\);/\$1    if (IsWindowVisible(hwnd())) HideAllWindows(); else TheMainMenu().ShowAllWindows();/@@mingw-x64@@TheNotificationIconHidesAll"
  "single-click-on-the-icon-hides@@src/icon_window/icon_window.cpp@@s/  if \(mouseMessage == WM_LBUTTONDBLCLK\) \{/  if (mouseMessage == WM_LBUTTONDBLCLK || mouseMessage == WM_LBUTTONUP) {/@@mingw-x64@@TheNotificationIconHidesAll"
  "right-press-opens-the-picture-menu@@src/picture_window/picture_window.cpp@@s/    case WM_RBUTTONUP: OnRightButtonUp\(\); return 0;\n    case WM_RBUTTONDOWN:\n/    case WM_RBUTTONDOWN:\n    case WM_RBUTTONUP: OnRightButtonUp(); return 0;\n/@@mingw-x64@@EveryStackingStep"
  "picture-takes-the-wheel@@src/picture_window/picture_window.cpp@@s/(    case WM_LBUTTONDBLCLK: OnDoubleClick\(\); return 0;)/\$1\n    case WM_MOUSEWHEEL: return SendMessageW(MainWindowHandle(), message, wParam, lParam);/@@mingw-x64@@EveryStackingStep"
  "empty-hand-off-not-acknowledged@@src/icon_window/icon_window.cpp@@s/  cancel = 0;\n  if \(names\.empty\(\)\) return;/  if (names.empty()) return;\n  cancel = 0;/@@mingw-x64@@LaterStartsHandOver"
  "start-up-opens-in-reverse@@src/picture_windows/picture_windows.cpp@@s/const std::wstring path = batch\.names\[index\];/const std::wstring path = batch.names[batch.names.size() - 1 - index];/@@mingw-x64@@EveryTextTheUserReads"
  "log-off-ends-nothing@@src/icon_window/icon_window.cpp@@s/      if \(wParam\) OnEndSession\(\);/      if (!wParam) OnEndSession();/@@mingw-x64@@ALogOffAsTheIconIsAdded|ADesktopWindowThatStops"
  "unanswered-later-start-silent@@src/app/application.cpp@@s/if \(!handedOff \&\& !first\) ShowMessageBox/if (false) ShowMessageBox/@@mingw-x64@@KeepsAskingForFiveSeconds|LargeExecutes"
  "icon-window-without-its-tip@@src/icon_window/icon_window.cpp@@s/if \(!toolTip_\) toolTip_ = /if (false) toolTip_ = /@@mingw-x64@@EveryTextTheUserReads"
  "picture-tip-is-its-path@@src/picture_window/picture_window.cpp@@s/CreateWindowToolTip\(hwnd\(\), tipText\.c_str\(\)\)/CreateWindowToolTip(hwnd(), picturePath.c_str())/@@mingw-x64@@EveryTextTheUserReads"
  "reuse-leaves-the-topmost-band@@src/picture_windows/picture_windows.cpp@@s/(      \+\+window->occupancy;\n)/\$1      SetWindowPos(window->hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);\n/@@mingw-x64@@EveryStackingStep"
  "start-up-reads-a-settings-file@@src/app/application.cpp@@s/(  auto ahead = std::make_unique<ReadAhead>\(names, Settings\(\)\.DisplaySize\(\)\);)/  if (GetPrivateProfileIntW(L\"Pintaro\", L\"Hidden\", 0, L\"Pintaro.ini\")) HideAllWindows();\n\$1/@@mingw-x64@@pintaro_exe_imports"
  "pinned-picture-takes-no-right-click@@src/picture_window/picture_window.cpp@@s/(void PictureWindow::OnRightButtonUp\(\) \{\n)/\$1  if (stacking == StackingMode::OnDesktop) return;\n/@@mingw-x64@@EveryStackingStep"
  "right-press-on-the-view-no-click@@src/picture_window/full_screen_view.cpp@@s/    case WM_RBUTTONDOWN:\n//@@mingw-x64@@ShowsFitted"
  "view-covers-the-virtual-screen@@src/picture_window/full_screen_view.cpp@@s/SetWindowPos\(hwnd\(\), HWND_TOP, 0, 0, GetSystemMetrics\(SM_CXSCREEN\), GetSystemMetrics\(SM_CYSCREEN\)/SetWindowPos(hwnd(), HWND_TOP, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)/@@mingw-x64@@At144DotsPerInch"
  "same-file-shows-in-its-first-window@@src/picture_windows/picture_windows.cpp@@s/(  PictureWindow\* window = nullptr;\n  unsigned occupancy = 0;\n)/\$1  for (int s = 1; s <= PictureWindows().UpperBound(); ++s)\n    if (PictureWindows()[s] \&\& !PictureWindows()[s]->isFree \&\& PictureWindows()[s]->picturePath == path) return;\n/@@mingw-x64@@EveryStackingStep"
  "picture-window-framed-in-the-taskbar@@src/picture_window/picture_window.cpp@@s/CreateWindowOf\(kClassName, WS_EX_TOOLWINDOW \| WS_EX_LAYERED, WS_POPUP,/CreateWindowOf(kClassName, WS_EX_LAYERED, WS_POPUP | WS_CAPTION | WS_SYSMENU,/@@mingw-x64@@EveryTextTheUserReads"
  "quit-from-outside-ignored@@src/app/main.cpp@@s/if \(got == 0\) return static_cast<int>\(msg\.wParam\);/if (got == 0) continue;/@@mingw-x64@@LargeExecutes"
  "twips-at-fifteen-whatever-the-scale@@src/picture_windows/full_screen.cpp@@s/const auto perPixel = static_cast<float>\(TwipsPerPixel\(\)\);/const auto perPixel = 15.0f;/@@mingw-x64@@At144DotsPerInch"
  "version-dialog-opened-twice@@src/menu/about_dialog.cpp@@s/if \(const HWND open = AboutDialogWindow\(\)\) \{/if (const HWND open = AboutDialogWindow(); false) {/@@mingw-x64@@TheVersionDialog"
  "version-dialog-deaf-to-esc@@src/menu/about_dialog.cpp@@s/if \(id == IDOK \|\| id == IDCANCEL\)/if (id == IDOK)/@@mingw-x64@@TheVersionDialog"
  "main-menu-opens-on-the-right-press@@src/icon_window/icon_window.cpp@@s/    case WM_RBUTTONUP: OnRightButtonUp\(\); return 0;/    case WM_RBUTTONDOWN: OnRightButtonUp(); return 0;/@@mingw-x64@@TheIconWindowDrags"
  "marked-transparency-item-toggles-off@@src/picture_window/picture_window.cpp@@s/(  if \(preset < 0 \|\| preset >= kOpacityPresetCount\) return;\n)/\$1  if (IsOpacityChecked(preset)) preset = 0;\n/@@mingw-x64@@EveryTextTheUserReads"
  "transparency-change-renders-again@@src/picture_windows/all_windows.cpp@@s/(    window.CheckOpacityItem\(Settings\(\).opacityPreset\);\n  \}\);\n)/\$1  SetAllSizes(Settings().sizePreset);\n/@@mingw-x64@@SizeAndTransparencyForAll"
  "pasted-tip-is-its-path@@src/picture_window/picture_window.cpp@@s/CreateWindowToolTip\(hwnd\(\), tipText\.c_str\(\)\)/CreateWindowToolTip(hwnd(), picturePath.c_str())/@@mingw-x64@@ThePasteItemFollows"
  "full-screen-view-hides-all@@src/picture_windows/full_screen.cpp@@s/(#include \"picture_windows\/picture_rendering\.h\"\n)/\$1#include \"menu\/main_menu.h\"\n/; s/  ToggleAllWindows\(false\);/  HideAllWindows();/@@mingw-x64@@TheNotificationIconHidesAll"
  "wheel-leaves-the-size-mark@@src/menu/main_menu.cpp@@s/  TheMainMenu\(\)\.CheckSizeItem\(preset\);\n//@@mingw-x64@@SizeAndTransparencyForAll"
  "view-bands-truncated@@src/picture_windows/full_screen.cpp@@s/static_cast<LONG>\(RoundHalfEven\(fit\.topTwips \/ static_cast<double>\(screen\.twipsPerPixelY\)\)\)/static_cast<LONG>(fit.topTwips \/ static_cast<double>(screen.twipsPerPixelY))/@@mingw-x64@@HighDpiTest"
  "rights-notice-shows-the-address@@src/menu/about_dialog.cpp@@s/IDC_ABOUT_RIGHTS, kRightsNotice\)/IDC_ABOUT_RIGHTS, kWebAddress)/@@mingw-x64@@TheVersionDialog"
  "help-page-misnamed@@src/menu/about_dialog.cpp@@s/L\"\\\\\\\\Readme\.html\"/L\"\\\\\\\\Readme.htm\"/@@mingw-x64@@TheVersionDialog"
  "failed-open-holds-a-handle@@src/win32/handles.h@@s/return handle == INVALID_HANDLE_VALUE \? nullptr : handle;/return handle;/@@mingw-x64@@OpenPictureTest"
  "hand-off-topic-renamed@@src/win32/dde_names.h@@s/kLinkTopicName\[\] = L\"frmMain\";/kLinkTopicName[] = L\"frmMain2\";/@@mingw-x64@@LargeExecutes"
  "close-not-remembered@@src/picture_windows/picture_windows.cpp@@s/    closed\.push_front\(\*byUser\);\n//@@mingw-x64@@CtrlZOpens|APasteThatFailsSaysWhy"
  "closed-remembered-without-end@@src/picture_windows/picture_windows.cpp@@s/    if \(closed\.size\(\) > kClosedRemembered\) closed\.pop_back\(\);\n//@@mingw-x64@@APasteThatFailsSaysWhy"
  "remembered-paste-file-deleted@@src/picture_windows/picture_windows.cpp@@s/bool kept = std::ranges::any_of\(/bool kept = false \&\& std::ranges::any_of(/@@mingw-x64@@APasteThatFailsSaysWhy"
  "closed-picture-told-when-gone@@src/picture_windows/picture_windows.cpp@@s/    if \(!again\) ShowUnsupportedFormat\(path\);/    ShowUnsupportedFormat(path);/@@mingw-x64@@CtrlZOpens"
  "closed-picture-at-a-new-place@@src/picture_windows/picture_windows.cpp@@s/if \(!again\) return &PlaceNewWindow;/return \&PlaceNewWindow;/@@mingw-x64@@CtrlZOpens"
  "closed-picture-at-the-common-transparency@@src/picture_windows/picture_windows.cpp@@s/const int opacity = again \? again->opacityPreset/const int opacity = false ? again->opacityPreset/@@mingw-x64@@CtrlZOpens"
  "closed-picture-loses-its-stacking@@src/picture_windows/picture_windows.cpp@@s/if \(again && rendering == Rendering::Shown/if (false \&\& rendering == Rendering::Shown/@@mingw-x64@@CtrlZOpens"
  "ctrl-z-ignored-in-a-picture-window@@src/picture_window/picture_window.cpp@@s/if \(MainWindow\* main = TheMainWindow\(\)\) main->OpenLastClosedLater\(\);/;/@@mingw-x64@@CtrlZOpens"
  "ctrl-z-ignored-in-the-icon-window@@src/icon_window/icon_window.cpp@@s/if \(IsUndoKey\(wParam\)\) OpenLastClosedLater\(\);/;/@@mingw-x64@@CtrlZOpens|APasteThatFailsSaysWhy"
  # What the user sees while the program works, and the order of its start.
  "notify-icon-before-start-up-pictures@@src/app/application.cpp@@s/  icon.TakeTheWheel\(\);\n/  icon.TakeTheWheel();\n  AddNotifyIcon(icon.hwnd());\n/; s/(  icon.AcceptDrops\(\);\n  if \(ProgramEnded\(\)\) return;\n)  AddNotifyIcon\(icon.hwnd\(\)\);\n  if \(ProgramEnded\(\)\) return;\n/\$1/@@mingw-x64@@ALogOffAsTheIconIsAdded"
  "hide-all-needs-a-picture@@src/picture_windows/show_and_arrange.cpp@@s/(void ToggleAllWindows\(bool show\) \{\n)/\$1  if (PictureWindows().UpperBound() == 0) return;\n/@@mingw-x64@@TheNotificationIconHides"
  "rendering-reads-its-file-twice@@src/picture_windows/all_windows.cpp@@s/(      result->picture = read\(path, displaySize, result->failure\);)/      LoadPicture(path, {}, nullptr, nullptr);\n\$1/@@mingw-x64@@SizeAndTransparencyForAll"
  "size-change-reads-free-slots@@src/picture_windows/all_windows.cpp@@s/window \&\& !window->isFree\) \{\n      change\.windows/window) {\n      change.windows/@@mingw-x64@@SizeAndTransparencyForAll"
  "rendering-shows-no-hourglass@@src/picture_windows/all_windows.cpp@@s/      if \(!change\.busy\) change\.busy\.emplace\(\);\n//@@mingw-x64@@SizeAndTransparencyForAll"
  "hand-off-opens-before-the-start-up-pictures@@src/picture_windows/picture_windows.cpp@@s/queue\.batches\.push_back\(std::move\(batch\)\);/queue.batches.push_front(std::move(batch));/@@mingw-x64@@ALogOffAsTheIconIsAdded"
  "full-screen-read-without-hourglass@@src/picture_windows/full_screen.cpp@@s/  state.fullScreenBusy.emplace\(\);\n//@@mingw-x64@@ThePictureShowsFitted"
  "drag-looks-at-the-names@@src/icon_window/drop_target.cpp@@s/(DragEnter\(IDataObject\* data, DWORD, POINTL, DWORD\* effect\) noexcept \{\n  offersFiles_ = OffersFileList\(data\))/\$1 \&\& FileNames(data) \&\& !FileNames(data)->at(0).ends_with(L\".txt\")/@@mingw-x64@@DroppedWithBadFiles"
  "drop-brings-the-icon-window-forward@@src/icon_window/icon_window.cpp@@s/(void IconWindow::OnDropped\(std::vector<std::wstring> names\) \{\n)/\$1  SetForegroundWindow(hwnd());\n/@@mingw-x64@@DroppedWithBadFiles"
  "shell-asked-on-the-user-interface-thread@@src/win32/shell_open.cpp@@s/const bool started = StartOnWorker\(\[owner, target, hook = Hook\(\)\] \{/const bool started = [owner, target, hook = Hook()] {/; s/    --g_openingsUnderWay;\n  \}\);/    --g_openingsUnderWay;\n    return true;\n  }();/@@mingw-x64@@TheVersionDialog"
  "view-shown-for-a-closed-window@@src/picture_windows/full_screen.cpp@@s/  if \(!window.exists\(\) \|\| window.isFree \|\| window.occupancy != occupancy\) return;\n//@@mingw-x64@@ShowsFitted"
  "picture-window-takes-drops@@src/picture_window/picture_window.cpp@@s/CreateWindowOf\(kClassName, WS_EX_TOOLWINDOW \| WS_EX_LAYERED,/CreateWindowOf(kClassName, WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_ACCEPTFILES,/@@mingw-x64@@EveryTextTheUserReads"
)

selected=()
for fault in "${faults[@]}"; do
  name=${fault%%@@*}
  if [[ $# -eq 0 ]] || [[ " $* " =~ " $name " ]]; then selected+=("$fault"); fi
done
[[ ${#selected[@]} -gt 0 ]] || { echo "no fault named $*" >&2; exit 2; }

# The presets the selected faults need, and the tests each preset runs for them.
declare -A tests_of
for fault in "${selected[@]}"; do
  IFS=$'\t' read -r _ _ _ preset tests <<<"${fault//@@/$'\t'}"
  tests_of[$preset]="${tests_of[$preset]:+${tests_of[$preset]}|}$tests"
done

echo "== scratch copy in $scratch"
# Only what differs goes into the scratch tree, with a fresh time, so that its build redoes exactly that:
# a source copied with its old time would leave an object built from a fault in place.
stage="$scratch/stage"
rm -rf "$stage"
mkdir -p "$stage" "$scratch/tree"
tar -C "$root" --exclude=./build --exclude=./.git -cf - . | tar -C "$stage" -xf -
(cd "$stage" && find . -type f) | while IFS= read -r file; do
  cmp -s "$stage/$file" "$scratch/tree/$file" && continue
  mkdir -p "$(dirname "$scratch/tree/$file")"
  cp "$stage/$file" "$scratch/tree/$file"
done
(cd "$scratch/tree" && find . -path ./build -prune -o -type f -print) | while IFS= read -r file; do
  [[ -e "$stage/$file" ]] || rm -f "$scratch/tree/$file"
done
# libjpeg-turbo's source, which scripts/setup.sh fetched into the build folder.
mkdir -p "$scratch/tree/build"
cp -r "$root/build/third_party" "$scratch/tree/build/"
cd "$scratch/tree"
export WINEDEBUG=-all
quietly() { "$@" >"$scratch/last.log" 2>&1 || { tail -40 "$scratch/last.log"; return 1; }; }
run_tests() { # preset, test regex
  local fixture=()
  [[ $1 == mingw-x64 ]] && fixture=(-FS wine -FC wine)
  ctest --preset "$1" -R "$2" "${fixture[@]}" --no-tests=error
}
# The executables that the tests of a fault run, and the program, which some of them start: a fault needs only
# these rebuilt, not every test executable that links the changed file.
targets_of() { # preset, test regex
  ctest --preset "$1" -N -R "$2" --show-only=json-v1 | grep -oE '/bin/[A-Za-z0-9_]+(\.exe)?"' |
    sed -E 's|/bin/||; s|(\.exe)?"$||' | sort -u
  [[ $1 != mingw-* ]] || echo pintaro
}

for preset in "${!tests_of[@]}"; do
  echo "== build: $preset"
  quietly cmake --preset "$preset"
  quietly cmake --build --preset "$preset"
done
if [[ -n ${tests_of[mingw-x64]:-} ]]; then
  state="$scratch/tree/build/mingw-x64/wine"
  PINTARO_MONITORS=1 scripts/wine-session.sh start "$state" >/dev/null  # as CTest starts it
  trap 'scripts/wine-session.sh stop "$state" >/dev/null 2>&1 || true' EXIT
fi
# The unchanged tree must pass the tests the faults are checked with.
for preset in "${!tests_of[@]}"; do
  echo "== unchanged: the tests of the selected faults ($preset)"
  quietly run_tests "$preset" "${tests_of[$preset]}"
done

caught=0
missed=()
unbuilt=()
for fault in "${selected[@]}"; do
  IFS=$'\t' read -r name file edit preset tests <<<"${fault//@@/$'\t'}"
  cp "$file" "$scratch/original"
  perl -0pi -e "$edit" "$file"
  if cmp -s "$file" "$scratch/original"; then
    result="NOT APPLIED (the edit no longer matches $file)"
  elif ! cmake --build --preset "$preset" --target $(targets_of "$preset" "$tests") >"$scratch/last.log" 2>&1; then
    result="NOT BUILT (a fault that does not build proves nothing)"
  elif run_tests "$preset" "$tests" >"$scratch/last.log" 2>&1; then
    result=MISSED
  else
    result=CAUGHT
  fi
  cp "$scratch/original" "$file"
  printf '%-45s %s\n' "$name" "$result"
  case $result in
  CAUGHT) caught=$((caught + 1)) ;;
  MISSED) missed+=("$name") ;;
  *) unbuilt+=("$name") ;;
  esac
done

# The scratch build as the tree is again, for the next run to start from.
for preset in "${!tests_of[@]}"; do cmake --build --preset "$preset" >/dev/null 2>&1 || true; done

echo "faults: ${#selected[@]}; $caught caught, ${#missed[@]} missed${missed:+: ${missed[*]}}," \
  "${#unbuilt[@]} not built or not applied${unbuilt:+: ${unbuilt[*]}}"
[[ ${#missed[@]} -eq 0 && ${#unbuilt[@]} -eq 0 ]]
exit
}
