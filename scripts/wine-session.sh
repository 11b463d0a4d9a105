#!/usr/bin/env bash
# One Wine session for a build: a private prefix, one Xvfb, one persistent wineserver.
#   wine-session.sh start STATE_DIR   start Xvfb and wineserver (creating the prefix on first use)
#   wine-session.sh run   STATE_DIR PROGRAM [ARGS...]   run a Windows program inside the session
#   wine-session.sh stop  STATE_DIR   end wineserver and Xvfb; nothing is left running
#   wine-session.sh env   STATE_DIR   print the environment as shell assignments
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

display_of_session() {
  [[ -s "$state/display" ]] && echo ":$(head -n1 "$state/display")"
}

xvfb_alive() {
  [[ -s "$state/xvfb.pid" ]] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null
}

start_xvfb() {
  rm -f "$state/display"
  local geometry=${PINTARO_SCREEN:-1024x768x24}
  # -displayfd lets Xvfb pick a free display, so parallel runs never collide.
  Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp 3>"$state/display" >/dev/null 2>&1 &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 100); do
    [[ -s "$state/display" ]] && return 0
    sleep 0.05
  done
  echo "Xvfb did not start" >&2
  return 1
}

case "$cmd" in
start)
  xvfb_alive || start_xvfb
  export DISPLAY
  DISPLAY=$(display_of_session)
  if [[ ! -f "$WINEPREFIX/.initialised" ]]; then
    timeout 300 wine64 wineboot --init >/dev/null 2>&1
    timeout 120 wineserver -w
    touch "$WINEPREFIX/.initialised"
  fi
  wineserver -p </dev/null >/dev/null 2>&1 || true  # already running is fine
  # No window manager runs on the virtual display: without this, Wine waits 2 s for one whenever
  # an activated window is destroyed.
  timeout 60 wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # A crashing program ends at once instead of waiting in the debugger.
  timeout 60 wine64 reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f \
    >/dev/null 2>&1
  # Warm up: the first GUI process after the server starts is slow.
  timeout 60 wine64 cmd /c exit >/dev/null 2>&1 || true
  echo "wine session on DISPLAY=$DISPLAY prefix=$WINEPREFIX"
  ;;
run)
  if ! xvfb_alive; then
    echo "no wine session in $state: run 'wine-session.sh start $state' first" >&2
    exit 2
  fi
  export DISPLAY
  DISPLAY=$(display_of_session)
  export PINTARO_WINE_STATE="$state"
  exec wine64 "$@"
  ;;
env)
  echo "export WINEPREFIX='$WINEPREFIX' WINEARCH=win64 WINEDEBUG='$WINEDEBUG' WINEDLLOVERRIDES='$WINEDLLOVERRIDES' DISPLAY='$(display_of_session)'"
  ;;
stop)
  wineserver -k 2>/dev/null || true
  timeout 20 wineserver -w 2>/dev/null || true
  if xvfb_alive; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
  fi
  rm -f "$state/display" "$state/xvfb.pid"
  ;;
*)
  echo "unknown command $cmd" >&2
  exit 2
  ;;
esac
