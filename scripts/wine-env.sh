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

# The Chinese font the setup installs lacks some two hundred rare characters of the dictionary
# (most beyond the Basic Multilingual Plane) and the message boxes' font lacks full-width marks
# such as U+FF1F: each face Karo's texts are drawn in links to the Chinese font, then to the two
# fonts that cover the rest, so those characters draw as themselves rather than as boxes.
karo_link_fonts() {
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  # Wine names a linked font by its file; HanaMinA may be known by the system's alternatives link
  # to it instead, whichever path the font list met first. An entry whose file is not found is
  # passed over.
  local chinese='wqy-microhei.ttc,WenQuanYi Micro Hei'
  local rare='HanaMinA.ttf,HanaMinA\0fonts-japanese-mincho.ttf,HanaMinA\0HanaMinB.ttf,HanaMinB'
  local face
  for face in 'WenQuanYi Micro Hei' SimSun MingLiU PMingLiU; do
    /usr/lib/wine/wine64 reg add "$key" /v "$face" /t REG_MULTI_SZ /d "$rare" /f >/dev/null 2>&1 || true
  done
  for face in Tahoma 'Microsoft Sans Serif' 'MS Shell Dlg' 'MS Shell Dlg 2'; do
    /usr/lib/wine/wine64 reg add "$key" /v "$face" /t REG_MULTI_SZ /d "$chinese\\0$rare" /f >/dev/null 2>&1 || true
  done
}

# The prefix as the programs expect it, on a display of the caller's or of karo_start_wine.
karo_prepare_prefix() {
  # The first start of a prefix creates it; do that once here rather than inside a test's timeout.
  /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
  # Without a window manager, hiding a managed window waits two seconds for one to answer.
  /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  karo_link_fonts
}

karo_start_wine() {
  local fdfile; fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  karo_xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
  /usr/lib/wine/wineserver -f -p &
  karo_wineserver_pid=$!
  karo_prepare_prefix
  # The desktop process, started here for the whole run. Left to the first GUI program, it would
  # inherit that program's standard error and end about ten seconds after its last window: ctest
  # then waits for that pipe after every test (about 15 s a test), and the next program starts
  # the desktop anew.
  /usr/lib/wine/wine64 explorer.exe /desktop >/dev/null 2>&1 &
  local desktop_pid=$!
  # A test started before the desktop window exists would start a desktop process of its own.
  sleep 2
  kill -0 "$desktop_pid" 2>/dev/null || echo "wine-env: the desktop process did not stay up" >&2
}

# Whether this machine runs 32-bit Windows programs. Some kernels cannot execute 32-bit Linux
# programs at all, so 32-bit Wine cannot start there; the scripts then fall back to the x86_64
# build. The probe runs the smallest 32-bit Linux program (it only exits with 0), so it needs
# nothing installed and says nothing about Wine: any failure other than the kernel refusing the
# format leaves karo_runs_32bit set, and a broken 32-bit Wine still fails the i686 tests loudly.
karo_runs_32bit=1
karo_no_32bit_reason=""
karo_probe_32bit() {
  local probe rc=0
  probe=$(mktemp)
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || rc=$?
  rm -f "$probe"
  if [ $rc -eq 126 ]; then
    karo_runs_32bit=0
    karo_no_32bit_reason="this machine's kernel cannot execute 32-bit programs (Exec format error), so 32-bit Wine cannot start"
  fi
}
karo_probe_32bit

# The Wine loader for a configuration's programs.
karo_wine_for() {
  case "$1" in
    i686) echo /usr/lib/wine/wine ;;
    *) echo /usr/lib/wine/wine64 ;;
  esac
}
