#!/usr/bin/env bash
# Benchmarks, run on demand: prints figures and ratios, asserts nothing.
#   bench/run.sh
# 1. HalftoneStretch throughput natively (source megapixels per second), beside ImageMagick's
#    -scale on the same picture size in the same run, both on one core; libjpeg-turbo decoding a
#    4000 x 3000 JPEG at 1/1, 1/2, 1/4 and 1/8 of its size, natively.
# 2. Pinning a 4000 x 3000 JPEG, a 4000 x 3000 BMP and a large GIF under Wine, against the system
#    decoder's (WIC's) whole decode of the same file.
# 3. Private memory per pinned window at 160 px, 50 windows.
# 4. A soak under Wine: 500 pictures opened and closed, 100 size changes, 100 copies and 50
#    full-screen views; GDI and USER objects and private memory at the start and at the end.
# 5. Many pictures at once with the files read ahead on worker threads: a size change of 20 windows
#    and a drop of 20 photos against the system decoder's 20 whole decodes, and the drop's peak memory
#    above the steady state.
# 6. Start-up: from CreateProcess until the window is on the screen, for Pintaro's icon window, a small
#    JPEG and a 12 MP photo named on its command line, against a minimal window program's start.
# 7. The user-interface thread's longest unanswered stretch while it opens, resizes and shows
#    full-screen the largest picture the program accepts (16384 x 16384 pixels), and while it copies
#    pictures at their own size (8192 x 8192, the largest copied; 8192 x 8193 and 16384 x 16384, too
#    large to copy).
# 8. Hand-offs while a message is up: 300 Executes of 1 MB from a DDE client, the running program's
#    private memory before and after, and how many it accepted (the rest are refused).
# 9. The limit of open pictures: a drop of 100 names more than the limit, the objects and memory per
#    picture at 160 and 480 pixels, and the orderly end with the limit's number of windows open.
# 10. Animated GIFs: ten pins of a 10-frame GIF at 10 frames a second for five seconds, the
#    user-interface thread's CPU time per frame shown beside a still pin's repaint.
set -euo pipefail
quietly() { local log; log=$(mktemp); "$@" >"$log" 2>&1 || { cat "$log"; rm -f "$log"; return 1; }; rm -f "$log"; }
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"

quietly cmake --preset native
quietly cmake --build --preset native --target halftone_bench jpeg_scale_bench
quietly cmake --preset mingw-x64
quietly cmake --build --preset mingw-x64 --target pin_bench soak_bench read_ahead_bench answer_bench hand_off_memory_bench limit_bench animation_bench startup_bench minimal_window pintaro

work="$root/build/bench"
mkdir -p "$work"
# Each picture is made when missing, so that a folder left half-made by an interrupted run is completed.
make_once() { local file=$1; shift; [[ -f "$file" ]] || "$@"; }
make_once "$work/big.jpg" convert -size 4000x3000 plasma:fractal -quality 90 "$work/big.jpg"
make_once "$work/big.bmp" convert "$work/big.jpg" -type TrueColor "BMP3:$work/big.bmp"
make_once "$work/big.gif" convert "$work/big.jpg" -resize 2400x1800 "$work/big.gif"
make_once "$work/big.mpc" convert "$work/big.jpg" "$work/big.mpc"
make_once "$work/small.jpg" convert -size 64x48 plasma:fractal -quality 90 "$work/small.jpg"
make_once "$work/soak.jpg" convert "$work/big.jpg" -resize 800x600 -quality 90 "$work/soak.jpg"
make_once "$work/soak.gif" convert "$work/big.jpg" -resize 640x480 "$work/soak.gif"
make_once "$work/square.jpg" convert "$work/big.jpg" -resize '1000x1000!' -quality 90 "$work/square.jpg"
make_once "$work/anim.gif" convert -delay 10 -loop 0 -size 320x240 plasma:red-blue plasma:green-yellow \
  plasma:blue-white plasma:red-green plasma:fractal plasma:yellow-blue plasma:white-red plasma:blue-green \
  plasma:green-red plasma:fractal "$work/anim.gif"
make_once "$work/soak.bmp" convert "$work/big.jpg" -resize 400x300 -type TrueColor "BMP3:$work/soak.bmp"

echo "== Halftone stretch (one core)"
"$root/build/native/bin/halftone_bench" 4000 3000

echo "== ImageMagick -scale on the same 4000 x 3000 picture (one thread, read time subtracted)"
export MAGICK_THREAD_LIMIT=1
seconds() { # best of 5 runs of a command, in seconds
  local best=999
  for _ in 1 2 3 4 5; do
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    best=$(echo "if ($end - $start < $best) $end - $start else $best" | bc -l)
  done
  echo "$best"
}
read_only=$(seconds convert "$work/big.mpc" null:)
for target in 160x120 1024x768; do
  total=$(seconds convert "$work/big.mpc" -scale "$target" null:)
  scale=$(echo "$total - $read_only" | bc -l)
  rate=$(echo "if ($scale > 0) 12 / $scale else 0" | bc -l)
  printf '  -> %-9s %8.2f ms  %8.1f source MP/s\n' "$target" "$(echo "$scale * 1000" | bc -l)" "$rate"
done

echo "== libjpeg-turbo at each scale (one core)"
"$root/build/native/bin/jpeg_scale_bench" "$work/big.jpg"

echo "== Pinning under Wine against the system decoder's whole decode (median of 5)"
state="$root/build/bench/wine"
"$root/scripts/wine-session.sh" start "$state" >/dev/null
trap '"$root/scripts/wine-session.sh" stop "$state"' EXIT
winpath() { echo "Z:$(realpath "$1" | tr / '\\')"; }
"$root/scripts/wine-session.sh" run "$state" "$root/build/mingw-x64/bin/pin_bench.exe" \
  "$(winpath "$work/big.jpg")" "$(winpath "$work/big.bmp")" "$(winpath "$work/big.gif")"

echo "== Soak under Wine (objects and memory should come back to the start)"
"$root/scripts/wine-session.sh" run "$state" "$root/build/mingw-x64/bin/soak_bench.exe" \
  "$(winpath "$work/soak.jpg")" "$(winpath "$work/soak.gif")" "$(winpath "$work/soak.bmp")"

echo "== Many pictures at once, read ahead on worker threads"
"$root/scripts/wine-session.sh" run "$state" "$root/build/mingw-x64/bin/read_ahead_bench.exe" "$(winpath "$work/big.jpg")"

echo "== The largest picture: the user-interface thread's longest wait to answer a posted message"
"$root/scripts/wine-session.sh" run "$state" "$root/build/mingw-x64/bin/answer_bench.exe" "$(winpath "$work")"

echo "== Start-up: the window on the screen, against a minimal window program (medians of 31)"
bin="$root/build/mingw-x64/bin"
"$root/scripts/wine-session.sh" run "$state" "$bin/startup_bench.exe" "$(winpath "$bin/minimal_window.exe")" \
  "$(winpath "$bin/pintaro.exe")" "$(winpath "$work/small.jpg")" "$(winpath "$work/big.jpg")"

echo "== Hand-offs waiting while a message is up"
mkdir -p "$work/hand-off"
"$root/scripts/wine-session.sh" run "$state" "$bin/hand_off_memory_bench.exe" "$(winpath "$bin/pintaro.exe")" \
  "$(winpath "$work/hand-off")"

echo "== The limit of open pictures: one drop past it, and the orderly end at it"
"$root/scripts/wine-session.sh" run "$state" "$bin/limit_bench.exe" "$(winpath "$work/square.jpg")"

echo "== Animated GIFs: ten pins playing, against a still pin's repaint"
"$root/scripts/wine-session.sh" run "$state" "$bin/animation_bench.exe" "$(winpath "$work/anim.gif")" \
  "$(winpath "$work/soak.bmp")"
