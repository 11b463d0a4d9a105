#!/usr/bin/env bash
# One Wine session for a build: a private prefix, one Xvfb, one persistent wineserver.
#   wine-session.sh start   STATE_DIR   start Xvfb and wineserver (creating the prefix on first use)
#   wine-session.sh run     STATE_DIR PROGRAM [ARGS...]   run a Windows program inside the session
#   wine-session.sh stop    STATE_DIR   end wineserver and Xvfb once no other run uses them
#   wine-session.sh env     STATE_DIR   print the environment as shell assignments
#   wine-session.sh prepare STATE_DIR   only create the prefix STATE_DIR/prefix (for a real display)
#   wine-session.sh loader  STATE_DIR   print the Wine loader that runs the 64-bit programs
# With PINTARO_MONITORS=1, start makes a screen that can take a second monitor (tests plug and unplug
# one): a wide root whose monitor MAIN, 1024 x 768, is the primary; Wine sees the monitors through its
# Xinerama handler.
# Start and stop hold a lock on the state folder, so two runs in one build folder never start or end
# the session under each other; the session ends with the last run that started it.
set -euo pipefail

WINE_DIR=/usr/lib/wine
cmd=${1:?command}
state=$(mkdir -p "${2:?state dir}" && cd "$2" && pwd)
shift 2

export WINEPREFIX="$state/prefix"
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=;mshtml="
export PATH="$WINE_DIR:$PATH"
# Wine 10 of Debian 13 aborts at once ("free(): invalid pointer") when TMPDIR is set (seen in a chroot).
unset TMPDIR
# The loader of 64-bit programs: wine64 where 32-bit Wine comes in a package of its own (Debian 12 and
# 13, Ubuntu 24.04), wine where one loader runs both (Wine's WoW64 builds).
wine=$(command -v wine64 || command -v wine || true)

fail() {
  echo "wine-session: $*" >&2
  exit 2
}

# Xvfb of this session, alive: a dead one can linger as a zombie (nothing reaps it here), and a pid
# can be reused by another program.
xvfb_alive() {
  local pid
  pid=$(cat "$state/xvfb.pid" 2>/dev/null) || return 1
  [[ -n $pid && $(cat "/proc/$pid/comm" 2>/dev/null) == Xvfb ]] || return 1
  [[ $(awk '{ print $3 }' "/proc/$pid/stat" 2>/dev/null) != Z ]]
}

# The session's display, once Xvfb has written its number and opened its socket; waits up to 20 s.
display_of_session() {
  local number
  for _ in $(seq 200); do
    xvfb_alive || fail "no Xvfb of this session runs in $state: run 'wine-session.sh start $state' first"
    number=$(head -n1 "$state/display" 2>/dev/null || true)
    if [[ -n $number && -S /tmp/.X11-unix/X$number ]]; then
      echo ":$number"
      return 0
    fi
    sleep 0.1
  done
  fail "Xvfb of this session runs but has not given its display in 20 s"
}

two_monitors() { [[ ${PINTARO_MONITORS:-} == 1 ]]; }

start_xvfb() {
  rm -f "$state/display" "$state/xvfb.pid"
  local geometry=${PINTARO_SCREEN:-1024x768x24}
  # Room for a second monitor left of the primary. Without -noreset the server resets when its last
  # client leaves, and the monitors go with it.
  two_monitors && geometry=2304x1024x24
  # -displayfd lets Xvfb pick a free display, so parallel runs never collide.
  Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp -noreset 3>"$state/display" >/dev/null 2>&1 9>&- &
  echo $! >"$state/xvfb.pid"
}

# One monitor, the primary, 1024 x 768, right of the room a second one takes (1280 x 1024); a test
# that plugged one in and was stopped before it took it out leaves it to the next start.
set_monitors() {
  xrandr --listmonitors | grep -qw SECOND && xrandr --delmonitor SECOND >/dev/null
  xrandr --listmonitors | grep -qw MAIN || xrandr --setmonitor MAIN 1024/271x768/203+1280+0 screen >/dev/null ||
    fail "xrandr could not make the primary monitor"
}

# A setting the session needs; a failure says which, rather than ending the start without a word.
set_registry() {
  local status=0
  timeout 60 "$wine" reg "$@" >/dev/null 2>&1 9>&- || status=$?
  [[ $status -eq 0 ]] || fail "wine reg $1 $2 ${4:-} failed with status $status"
}

# Interface fonts fall back to a Japanese font for characters they lack: without this Wine's menus,
# tips and message boxes show boxes instead of Japanese.
link_japanese_font() {
  local face
  for face in "Tahoma" "Tahoma Bold" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "Segoe UI"; do
    set_registry add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
      /t REG_MULTI_SZ /d 'NotoSansCJK-Regular.ttc,Noto Sans CJK JP' /f
  done
}

prepare_prefix() {
  if [[ ! -f "$WINEPREFIX/.initialised" ]]; then
    local status=0
    timeout 300 "$wine" wineboot --init >/dev/null 2>&1 9>&- || status=$?
    [[ $status -eq 0 ]] || fail "wine wineboot --init failed with status $status"
    touch "$WINEPREFIX/.initialised"
  fi
  if [[ ! -f "$WINEPREFIX/.fontlink" ]]; then
    link_japanese_font
    touch "$WINEPREFIX/.fontlink"
  fi
  timeout 120 wineserver -w 9>&- || true
}

# Held until this script ends; the programs it leaves running must not inherit it.
lock_state() {
  exec 9>"$state/lock"
  flock -w 600 9 || fail "another run holds $state/lock"
}

[[ -n $wine ]] || fail "no Wine loader (wine64 or wine) in $WINE_DIR or on PATH"

case "$cmd" in
start)
  lock_state
  # The runs using this session: the test drivers that started it.
  echo "$PPID" >>"$state/users"
  xvfb_alive || start_xvfb
  export DISPLAY
  DISPLAY=$(display_of_session)
  two_monitors && set_monitors
  [[ -f "$WINEPREFIX/.initialised" && -f "$WINEPREFIX/.fontlink" ]] || prepare_prefix
  if two_monitors && [[ ! -f "$WINEPREFIX/.xinerama" ]]; then
    # Wine's XRandR handler sees one monitor, the whole root: its Xinerama handler sees each. A running
    # desktop process keeps the handler it started with.
    set_registry add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f
    wineserver -k 2>/dev/null 9>&- || true
    timeout 20 wineserver -w 2>/dev/null 9>&- || true
    touch "$WINEPREFIX/.xinerama"
  fi
  wineserver -p </dev/null >/dev/null 2>&1 9>&- || true # already running is fine
  # A high-DPI test that was killed before it put the screen's resolution back leaves it to no other:
  # the user's, and from Wine 10 on the one Wine keeps with each display source.
  timeout 60 "$wine" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 9>&- || true
  sources='HKLM\System\CurrentControlSet\Hardware Profiles\Current\System\CurrentControlSet\Control\Video'
  mapfile -t left < <(timeout 60 "$wine" reg query "$sources" /s /v Dpi 2>/dev/null 9>&- | tr -d '\r' | grep '^HKEY')
  for source in "${left[@]}"; do set_registry add "$source" /v Dpi /t REG_DWORD /d 96 /f; done
  # No window manager runs on the virtual display: without this, Wine waits 2 s for one whenever
  # an activated window is destroyed.
  set_registry add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  # A crashing program ends at once instead of waiting in the debugger.
  set_registry add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f
  # Japanese captions draw as glyphs only through the font link to a Japanese font.
  fc-list | grep 'Noto Sans CJK JP' >/dev/null || fail "no Japanese font (fonts-noto-cjk): captions would draw as boxes"
  timeout 60 "$wine" reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v Tahoma \
    2>/dev/null 9>&- | grep NotoSansCJK >/dev/null || fail "Wine's interface fonts are not linked to the Japanese font"
  # Warm up: the first GUI process after the server starts is slow.
  timeout 60 "$wine" cmd /c exit >/dev/null 2>&1 9>&- || true
  echo "wine session on DISPLAY=$DISPLAY prefix=$WINEPREFIX"
  ;;
run)
  export DISPLAY
  DISPLAY=$(display_of_session)
  export PINTARO_WINE_STATE="$state"
  # Wine's desktop process ends a few seconds after the last program that used it, and the next program
  # starts it again, handing it its own standard error: a test that did so would keep the caller's pipe
  # open after its end, and CTest waited for that until the test's time ran out. So the program's
  # standard error goes to a file, given back once it has ended.
  errors=$(mktemp)
  "$wine" "$@" 2>"$errors" &
  program=$!
  trap 'kill -KILL "$program" 2>/dev/null; cat "$errors" >&2; rm -f "$errors"; exit 143' TERM INT
  status=0
  wait "$program" || status=$?
  cat "$errors" >&2
  rm -f "$errors"
  exit "$status"
  ;;
env)
  echo "export WINEPREFIX='$WINEPREFIX' WINEARCH=win64 WINEDEBUG='$WINEDEBUG' WINEDLLOVERRIDES='$WINEDLLOVERRIDES' DISPLAY='$(display_of_session)'"
  ;;
prepare)
  prepare_prefix
  ;;
loader)
  echo "$wine"
  ;;
stop)
  lock_state
  # Another run that started the session and still goes on keeps it.
  others=()
  while read -r pid; do
    [[ -n $pid && $pid != "$PPID" ]] && kill -0 "$pid" 2>/dev/null && others+=("$pid")
  done < <(cat "$state/users" 2>/dev/null || true)
  printf '%s\n' "${others[@]}" >"$state/users"
  if [[ ${#others[@]} -gt 0 ]]; then
    echo "wine session kept for the run(s) ${others[*]}"
    exit 0
  fi
  wineserver -k 2>/dev/null || true
  timeout 20 wineserver -w 2>/dev/null || true
  if xvfb_alive; then
    pid=$(cat "$state/xvfb.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 100); do xvfb_alive || break; sleep 0.05; done
  fi
  rm -f "$state/display" "$state/xvfb.pid" "$state/users"
  ;;
*)
  echo "unknown command $cmd" >&2
  exit 2
  ;;
esac
