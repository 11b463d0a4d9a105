#!/usr/bin/env bash
# Builds pintaro.exe when needed and runs it under Wine.
#   ./run.sh [--menu] [PICTURE...]    pictures to pin; the bundled samples when none are given
# On your display when there is one. Without one (DISPLAY unset), it starts a virtual display,
# lets the program run, saves a screenshot of the desktop (with --menu, with the main menu open
# over the pictures), prints its path and ends the program in order, as at a log-off.
set -euo pipefail
quietly() { local log; log=$(mktemp); "$@" >"$log" 2>&1 || { cat "$log"; rm -f "$log"; return 1; }; rm -f "$log"; }
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"
scripts/setup.sh
menu=false
if [[ ${1:-} == --menu ]]; then menu=true; shift; fi

quietly cmake --preset mingw-x64
quietly cmake --build --preset mingw-x64 --target pintaro
exe="$root/build/mingw-x64/bin/pintaro.exe"

pictures=("$@")
[[ ${#pictures[@]} -gt 0 ]] || pictures=("$root"/samples/*.jpg "$root"/samples/*.gif "$root"/samples/*.bmp)
args=()
for p in "${pictures[@]}"; do
  [[ -e $p ]] || { echo "no such file: $p" >&2; exit 1; }
  args+=("Z:$(realpath "$p" | tr / '\\')")
done

if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
  # Its own prefix, made once, with the Japanese font link for Wine's interface fonts.
  scripts/wine-session.sh prepare "$root/build/run"
  export WINEPREFIX="$root/build/run/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
  exec env -u TMPDIR "$(scripts/wine-session.sh loader "$root/build/run")" "$exe" "${args[@]}"  # as the session runs it
fi

state="$root/build/run/wine"
scripts/wine-session.sh start "$state" >/dev/null
trap 'scripts/wine-session.sh stop "$state"' EXIT
eval "$(scripts/wine-session.sh env "$state")"

scripts/wine-session.sh run "$state" "$exe" "${args[@]}" &
program=$!

# Wait until every picture is pinned (one window each, plus the icon window), or 30 s.
expected=$((${#args[@]} + 1))
for _ in $(seq 150); do
  shown=$(xwininfo -root -children 2>/dev/null | grep '"pintaro.exe"' | grep -vc 'Default IME' || true)
  [[ $shown -ge $expected ]] && break
  sleep 0.2
done
sleep 1

windows() { xwininfo -root -children 2>/dev/null | grep -c '"pintaro.exe"' || true; }
if $menu; then
  # A right click on the pin's head opens the main menu: the icon window is 64 pixels left of the
  # screen's right edge and 96 above its bottom.
  read -r width height < <(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')
  before=$(windows)
  xdotool mousemove $((width - 64 + 21)) $((height - 96 + 12)) click 3
  for _ in $(seq 50); do
    [[ $(windows) -gt $before ]] && break
    sleep 0.1
  done
  xdotool mousemove $((width - 64 + 21 - 60)) $((height - 96 + 12 - 100))  # onto an item, highlighted
  sleep 0.5
fi

mkdir -p "$root/build/run"
shot="$root/build/run/screenshot.png"
import -window root "$shot"
echo "screenshot: $shot"

scripts/wine-session.sh run "$state" wineboot --end-session >/dev/null 2>&1 || true
wait "$program" || true
echo "pintaro ended"
