#!/usr/bin/env bash
# Proves that the tests catch real faults: each fault below is a small edit of one source file, made in a
# scratch copy of the tree, built, and checked with the tests that should notice it. Prints CAUGHT or
# MISSED per fault and a summary; fails when any fault is missed. On demand, not part of ./test.sh.
#   scripts/mutation-check.sh [NAME...]   only the named faults
# Builds once in full in the scratch copy (a few minutes), then about half a minute per fault.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=${PINTARO_MUTATION_DIR:-/tmp/pintaro-mutation-$(id -u)-$(basename "$root")}

# name @@ file @@ perl substitution (on the whole file) @@ ctest preset @@ the tests that should catch it (ctest regex)
faults=(
  "global-opacity-ignored@@src/pictures/picture_windows.cpp@@s/SetAlpha\(window->hwnd\(\), Settings\(\)\.opacity\)/SetAlpha(window->hwnd(), 255)/@@mingw-x64@@OpenPictureTest"
  "dde-answers-any-topic@@src/win32/dde_source.cpp@@s/ \|\| !AtomNames\(topic, topic_\)//@@mingw-x64@@HandOffTest"
  "f5-ends-full-screen@@src/picture_window/full_screen_view.cpp@@s/(    case WM_CHAR:)/    case WM_KEYDOWN:\n\$1/@@mingw-x64@@KeysThatTypeACharacter"
  "double-click-release-ends-view@@src/picture_window/full_screen_view.cpp@@s/if \(std::exchange\(pressed_, false\)\) OnClick\(\);/pressed_ = false;\n  OnClick();/@@mingw-x64@@KeysThatTypeACharacter"
  "area-weights-off-by-one@@src/pictures/halftone_stretch.cpp@@s/(std::max\(k \* d, lo\));/\$1 + 1;/@@native@@HalftoneStretch"
  "fit-rounds-halves-away-from-zero@@src/pictures/fit.cpp@@s/\(diff == 0\.5 && \(result % 2 != 0\)\)/diff == 0.5/@@native@@Fit\\."
  "hand-off-takes-png@@src/app/application.cpp@@s/return IsPictureName\(arg\);/return IsPictureName(arg) || arg.ends_with(L\".png\");/@@mingw-x64@@LaterStartsHandOver"
  "temporary-file-pattern-widened@@src/win32/temp_files.cpp@@s/L\"pnt\*\.tmp\"/L\"p*.tmp\"/@@mingw-x64@@RealProgramTest|PasteTest"
  "free-slot-not-reused@@src/pictures/picture_windows.cpp@@s/if \(window && window->isFree\)/if (window && window->isFree && slot == 0)/@@mingw-x64@@ThenClose"
  "shown-size-copy-at-original-size@@src/picture_window/picture_window.cpp@@s/case picture_menu::kCopyAtShownSize: CopyAtShownSize\(\);/case picture_menu::kCopyAtShownSize: CopyAtOriginalSize();/@@mingw-x64@@RealProgramTest|ShowsFitted"
  "desktop-mode-not-recorded-without-desktop@@src/picture_window/stacking_mode.cpp@@s/(void PictureWindow::ApplyStackingMode\(StackingMode mode\) \{)/\$1\n  if (mode == StackingMode::OnDesktop && !FindWindowW(nullptr, L\"Program Manager\")) return;/@@mingw-x64@@EveryStackingStep"
  "fifty-name-limit-off-by-one@@src/app/command_line.h@@s/kDefaultMaxArgs = 50;/kDefaultMaxArgs = 51;/@@native@@CommandLine"
  "close-does-not-hide@@src/picture_window/picture_window.cpp@@s/  ShowWindow\(hwnd\(\), SW_HIDE\);\n//@@mingw-x64@@ThenClose|RealProgramTest"
  "busy-cursor-kept-over-failure-message@@src/pictures/picture_rendering.cpp@@s/(    picture = ReadPicture\(path, source\);\n)  \}\n(  \/\/[^\n]*\n)?(  if \(!picture && !ProgramEnded\(\)\) ShowUnsupportedFormat\(path\);)/\$1  \$3\n  }/@@mingw-x64@@OpenPictureTest"
  "format-message-text-changed@@src/win32/texts.h@@s/対応していません。/対応していません/@@mingw-x64@@OpenPictureTest"
  "icon-window-offsets-swapped@@src/icon_window/icon_window.cpp@@s/SM_CXSCREEN\) - 64/SM_CXSCREEN) - 96/; s/SM_CYSCREEN\) - 96/SM_CYSCREEN) - 64/@@mingw-x64@@HighDpiTest"
  "icon-window-not-on-top@@src/icon_window/icon_window.cpp@@s/SetTopMost\(hwnd\(\), true\);/SetTopMost(hwnd(), false);/@@mingw-x64@@RealProgramTest|LaterStartsHandOver"
  "new-picture-activated-and-raised@@src/pictures/picture_rendering.cpp@@s/ShowWindow\(window\.hwnd\(\), SW_SHOWNA\);/ShowWindow(window.hwnd(), SW_SHOW);/@@mingw-x64@@LaterStartsHandOver"
  "closed-windows-back-after-full-screen@@src/picture_window/full_screen.cpp@@s/if \(window && !window->isFree\) ShowWindow/if (window) ShowWindow/@@mingw-x64@@ShowsFitted"
  "full-screen-picture-kept@@src/picture_window/full_screen.cpp@@s/  g_view->ReleasePicture\(\);\n//@@mingw-x64@@ShowsFitted"
  "hand-off-gives-up-after-one-second@@src/icon_window/icon_window.cpp@@s/kHandOffRetry = 5s;/kHandOffRetry = 1s;/@@mingw-x64@@KeepsAskingForFiveSeconds"
  "quarter-transparency-value@@src/picture_window/picture_window.cpp@@s/L\"191\"/L\"192\"/@@mingw-x64@@ThenClose"
  "drag-without-move-loop@@src/win32/window_drag.cpp@@s/HTCAPTION/HTCLIENT/@@mingw-x64@@EveryStackingStep|RealProgramTest"
  "desktop-attach-moves-picture@@src/picture_window/stacking.cpp@@s/(SetParent\(hwnd, desktop\);)\n  KeepOnScreenAt\(hwnd, place\);/\$1/@@mingw-x64@@EveryStackingStep"
  "wheel-steps-past-480@@src/pictures/presets.cpp@@s/preset < kLargestWheelPreset \? preset \+ 1/preset <= kLargestWheelPreset ? preset + 1/@@native@@SizeChange"
  "size-change-keeps-the-corner@@src/pictures/presets.cpp@@s/(Point KeepCentre\(PixelRect old, Size newSize, double twipsPerPixel\) \{)/\$1\n  if (twipsPerPixel > 0) return {old.left, old.top};/@@native@@SizeChange"
  "opacity-for-all-skips-free-slots-marks@@src/menu/main_menu.cpp@@s/if \(PictureWindow\* window = table\[slot\]\) window->CheckOpacityItem/if (PictureWindow* window = table[slot]; window \&\& !window->isFree) window->CheckOpacityItem/@@mingw-x64@@SizeAndTransparencyForAll"
  "drop-takes-png@@src/icon_window/drop_filter.cpp@@s/std::array<std::wstring_view, 5> kEndings\{/std::array<std::wstring_view, 6> kEndings{L\".png\", /@@mingw-x64@@OpenPictureTest"
  "drop-offers-move@@src/icon_window/drop_target.cpp@@s/\(\*effect & DROPEFFECT_COPY\)/(*effect \& (DROPEFFECT_COPY | DROPEFFECT_MOVE))/@@mingw-x64@@OpenPictureTest"
  "end-task-not-in-order@@src/icon_window/icon_window.cpp@@s/if \(!secondInstance_ && TheIconWindow\(\) == this\) \{/if (false) {/@@mingw-x64@@EndTask"
  "arrangement-divides-by-zero-columns@@src/menu/arrangement.cpp@@s/grid\.columns = std::max<std::int64_t>\(width \/ cell, 1\);/grid.columns = width \/ cell;/@@native@@Arrangement"
  "arrangement-page-shift-off-by-one@@src/menu/arrangement.cpp@@s/const std::int64_t page = place \/ \(/const std::int64_t page = (place + 1) \/ (/@@native@@Arrangement"
  "notify-icon-not-back-with-taskbar@@src/icon_window/icon_window.cpp@@s/  if \(message == taskbarCreated && taskbarCreated != 0\) RestoreNotifyIcon\(\);\n//@@mingw-x64@@TheNotificationIconHidesAll"
  "version-revision-three-digits@@src/menu/version_text.cpp@@s/ZeroPadded\(revision, 4\)/ZeroPadded(revision, 3)/@@mingw-x64@@TheVersionDialog"
  "dde-takes-a-strangers-execute@@src/win32/dde_source.cpp@@s/      if \(IsPartner\(sender\)\) \{\n        OnExecute/      if (IsWindow(sender)) {\n        OnExecute/@@mingw-x64@@StrangersExecute"
  "size-change-goes-on-after-the-end@@src/pictures/all_windows.cpp@@s/    if \(window && !window->isFree\) ResizeKeepingCentre(.*)\n    if \(ProgramEnded\(\)\) return;/    if (window \&\& !window->isFree) ResizeKeepingCentre\$1/@@mingw-x64@@EndTask"
  "read-ahead-stamp-not-checked@@src/pictures/read_ahead.cpp@@s/if \(!entry\.read \|\| StampOf\(path\) != entry\.stamp\)/if (!entry.read)/@@mingw-x64@@ReadAgainAtItsTurn"
  "resampler-source-end-narrowed@@src/pictures/halftone_stretch.cpp@@s/std::min<std::int64_t>\(std::int64_t\{sx\} \+ sw, src\.width\)/std::min<std::int64_t>(static_cast<int>(std::int64_t{sx} + sw), src.width)/@@native@@HalftoneStretch"
  "wheel-guard-removed@@src/menu/wheel_and_clipboard.cpp@@s/if \(!g_handled \|\| g_busy\) return;/if (!g_handled) return;/@@mingw-x64@@SizeAndTransparencyForAll"
  "paste-item-ignores-clipboard@@src/menu/wheel_and_clipboard.cpp@@s/void OnClipboardChange\(\) \{ TheMainMenu\(\)\.SetPasteEnabled\(IsClipboardFormatAvailable\(CF_BITMAP\) != FALSE\); \}/void OnClipboardChange() {}/@@mingw-x64@@ThePasteItemFollows"
  "show-windows-item-not-first@@src/menu/main_menu.cpp@@s/InsertMenuW\(menu_\.get\(\), 0, MF_BYPOSITION/InsertMenuW(menu_.get(), -1, MF_BYPOSITION/@@mingw-x64@@TheNotificationIconHidesAll"
  "arrange-and-show-take-free-slots@@src/menu/show_and_arrange.cpp@@s/if \(window && !window->isFree\) action\(\*window\);/if (window) action(*window);/@@mingw-x64@@TheNotificationIconHidesAll"
  "version-dialog-not-modal@@src/menu/about_dialog.cpp@@s/for \(HWND window : windows_\) EnableWindow\(window, FALSE\);//@@mingw-x64@@TheVersionDialog"
  "jpeg-red-and-blue-swapped@@src/pictures/picture_loader.cpp@@s/bgr\[0\] \| (static_cast<std::uint32_t>\(bgr\[1\]\) << 8 \| static_cast<std::uint32_t>\()bgr\[2\]/bgr[2] | \$1bgr[0]/@@mingw-x64@@OpenPictureTest"
  "recycled-buffer-not-reused@@src/pictures/image.cpp@@s/if \(same != kept_\.end\(\)\)/if (false)/@@native@@PixelBufferPool"
  "link-not-turning-purple@@src/menu/about_dialog.cpp@@s/    visited_\[index\] = true;\n//@@mingw-x64@@TheVersionDialog"
  "jpeg-scale-rounded-down@@src/pictures/jpeg_decoder.cpp@@s/\* eighths \+ 7\) \/ 8/* eighths) \/ 8/@@native@@JpegScale"
  "jpeg-adobe-cmyk-not-inverted@@src/pictures/jpeg_decoder.cpp@@s/adobeInverted \? 0 : 255/255/@@native@@JpegDecoder"
  "jpeg-cut-file-padded-with-grey@@src/pictures/jpeg_decoder.cpp@@s/msg_code == JWRN_JPEG_EOF/msg_code == JWRN_JPEG_EOF \&\& false/@@native@@JpegDecoder"
  "jpeg-every-warning-refused@@src/pictures/jpeg_decoder.cpp@@s/if \(level < 0 \&\& cinfo->err->msg_code == JWRN_JPEG_EOF\)/if (level < 0)/@@native@@JpegDecoder"
  "jpeg-scans-unlimited@@src/pictures/jpeg_decoder.cpp@@s/input_scan_number > limit->maxScans/input_scan_number < 0/@@native@@JpegDecoder"
)

echo "== scratch copy in $scratch"
mkdir -p "$scratch/tree"
find "$scratch/tree" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
tar -C "$root" --exclude=./build --exclude=./.git -cf - . | tar -C "$scratch/tree" -xf -
# libjpeg-turbo's source, which scripts/setup.sh fetched into the build folder.
mkdir -p "$scratch/tree/build"
cp -r "$root/build/third_party" "$scratch/tree/build/"
cd "$scratch/tree"
export WINEDEBUG=-all
quietly() { "$@" >"$scratch/last.log" 2>&1 || { tail -40 "$scratch/last.log"; return 1; }; }
echo "== full build (native and mingw-x64)"
quietly cmake --preset native
quietly cmake --build --preset native
quietly cmake --preset mingw-x64
quietly cmake --build --preset mingw-x64
state="$scratch/tree/build/mingw-x64/wine"
scripts/wine-session.sh start "$state" >/dev/null
trap 'scripts/wine-session.sh stop "$state" >/dev/null 2>&1 || true' EXIT

# The unchanged tree must pass the tests each fault is checked with.
quietly ctest --preset native
quietly ctest --preset mingw-x64 -FS wine -FC wine

caught=0
missed=()
for fault in "${faults[@]}"; do
  IFS=$'\t' read -r name file edit preset tests <<<"${fault//@@/$'\t'}"
  if [[ $# -gt 0 ]] && [[ ! " $* " =~ " $name " ]]; then continue; fi
  cp "$file" "$scratch/original"
  perl -0pi -e "$edit" "$file"
  if cmp -s "$file" "$scratch/original"; then
    printf '%-45s NOT APPLIED (the edit no longer matches %s)\n' "$name" "$file"
    missed+=("$name")
    continue
  fi
  if ! cmake --build --preset "$preset" >"$scratch/last.log" 2>&1; then
    result="CAUGHT (does not build)"
  elif ctest --preset "$preset" -R "$tests" -FS wine -FC wine --no-tests=error >"$scratch/last.log" 2>&1; then
    result=MISSED
  else
    result=CAUGHT
  fi
  cp "$scratch/original" "$file"
  printf '%-45s %s\n' "$name" "$result"
  if [[ $result == MISSED ]]; then missed+=("$name"); else caught=$((caught + 1)); fi
done
cmake --build --preset native >/dev/null 2>&1 || true
cmake --build --preset mingw-x64 >/dev/null 2>&1 || true

echo "faults: $caught caught, ${#missed[@]} missed${missed:+: ${missed[*]}}"
[[ ${#missed[@]} -eq 0 ]]
