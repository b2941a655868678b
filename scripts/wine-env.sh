#!/usr/bin/env bash
# Sourced by the scripts that run Windows programs: starts one Xvfb (24-bit, no window manager)
# and one persistent wineserver with the Wine prefix under build/, and stops both by their own
# pids when the calling script exits, whether it succeeded or not.
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX="$root/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
mkdir -p "$WINEPREFIX"

karo_xvfb_pid=""
karo_wineserver_pid=""
karo_stop_wine() {
  set +e
  if [ -n "$karo_wineserver_pid" ]; then
    # Ends the Wine processes of this prefix (explorer, winedevice) before the server itself.
    /usr/lib/wine/wineserver -k >/dev/null 2>&1
    kill "$karo_wineserver_pid" 2>/dev/null
    wait "$karo_wineserver_pid" 2>/dev/null
  fi
  if [ -n "$karo_xvfb_pid" ]; then
    kill "$karo_xvfb_pid" 2>/dev/null
    wait "$karo_xvfb_pid" 2>/dev/null
  fi
  karo_wineserver_pid=""; karo_xvfb_pid=""
  return 0
}
trap karo_stop_wine EXIT

karo_start_wine() {
  local fdfile; fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  karo_xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
  /usr/lib/wine/wineserver -f -p &
  karo_wineserver_pid=$!
  # The first start of a prefix creates it; do that once here rather than inside a test's timeout.
  /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
  # Without a window manager, hiding a managed window waits two seconds for one to answer.
  /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
}
