#!/usr/bin/env bash
# Wine prefixes for the tests: one template per build tree, cheap clones of it per test, and a
# teardown that leaves no wineserver and no /tmp folder behind.
#
#   prefix.sh template <root>                  make <root>/template once (others wait for it)
#   prefix.sh clone <root> <dest> [null|x11]   a fresh prefix at <dest>, graphics driver chosen
#   prefix.sh run <prefix> <program> [arg...]  run a program in the prefix (environment below)
#   prefix.sh backtraces <prefix>              every thread's stack in every process of it
#   prefix.sh teardown <prefix>                stop its wineserver, remove its /tmp folder
#
# Every call runs Wine with WINEDEBUG=-all, a private HOME beside the prefix, no
# winemenubuilder (it would write .desktop files into HOME), no winedbg (a crashing program
# must end with its exception code; the debugger Wine starts for it otherwise waits for ever,
# headless, and keeps the prefix's server and every lock it inherited), no Mono or Gecko
# prompts, and without a display unless UINSTALLER_WINE_DISPLAY names one.
set -euo pipefail

WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
# Every call runs without winemenubuilder, Mono and Gecko; all but backtraces also without
# winedbg.
QUIET_OVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="

wine_env() {
  local prefix=$1 display=()
  shift
  # Headless unless a scenario hands over the display of its own Xvfb.
  if [ -n "${UINSTALLER_WINE_DISPLAY:-}" ]; then
    display=(DISPLAY="$UINSTALLER_WINE_DISPLAY")
  fi
  env -u DISPLAY -u WAYLAND_DISPLAY -u UINSTALLER_WINE_DISPLAY "${display[@]}" \
    WINEPREFIX="$prefix" HOME="$prefix/../home" WINEDEBUG=-all \
    WINEDLLOVERRIDES="$QUIET_OVERRIDES;winedbg.exe=d" "$@"
}

stop_server() {
  local prefix=$1
  WINEPREFIX="$prefix" "$WINESERVER" -k >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" "$WINESERVER" -w >/dev/null 2>&1 || true
}

remove_server_folder() {
  local prefix=$1 folder
  if [ -f "$prefix/wineserver" ]; then
    folder=$(cat "$prefix/wineserver")
    case "$folder" in
      wine-*) rm -rf "/tmp/$folder" ;;
    esac
  fi
}

make_template() {
  local root=$1 template="$1/template" work
  mkdir -p "$root"
  exec 9>"$root/template.lock"
  flock 9
  [ -f "$template/.ready" ] && return
  rm -rf "$template"
  work="$template/prefix"
  mkdir -p "$template/home"
  echo "prefix.sh: creating the Wine template prefix in $template (about 20 s, once)" >&2
  wine_env "$work" "$WINE64" wineboot -i >"$template/wineboot.log" 2>&1
  wine_env "$work" "$WINE64" winecfg -v win10 >>"$template/wineboot.log" 2>&1
  stop_server "$work"
  # The user's shell folders are links into the Linux HOME; a shortcut on the desktop would
  # land outside the prefix. Real folders keep everything a test does inside its clone.
  find "$work/drive_c/users" -mindepth 2 -maxdepth 2 -type l | while read -r link; do
    rm "$link"
    mkdir "$link"
  done
  # Wine's own fonts (Tahoma, Marlett, ...) make message boxes and captions render properly.
  mkdir -p "$work/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf "$work/drive_c/windows/Fonts/" 2>/dev/null || true
  remove_server_folder "$work"
  rm -f "$work/wineserver"
  touch "$template/.ready"
}

clone() {
  local root=$1 dest=$2 graphics=${3:-null} source
  make_template "$root"
  source="$root/template/prefix"
  rm -rf "$dest"
  mkdir -p "$dest/home"
  # A full copy, never hard links: a program that rewrites a file of the windows folder in place
  # (a system .ini, a library it registers) would otherwise change the template, and with it
  # every later test. Symbolic links stay links (dosdevices). About a second for 700 MB.
  cp -a "$source" "$dest/prefix"
  # The copied server file would name the template's /tmp folder; without it the clone gets
  # its own, and its teardown cannot remove a sibling's sockets.
  rm -f "$dest/prefix/wineserver"
  # The graphics driver is read when the first process starts: "null" gives real, drivable
  # windows without any display; "x11" draws them on the DISPLAY of the test's Xvfb.
  printf '\n[Software\\\\Wine\\\\Drivers]\n"Graphics"="%s"\n' "$graphics" >>"$dest/prefix/user.reg"
}

run() {
  local prefix=$1
  shift
  wine_env "$prefix" "$WINE64" "$@"
}

# winedbg is kept from starting on a crash (see above); asked for by name, it attaches to each
# process of the prefix in turn and prints the stack of every thread: where a hung program
# waits. The processes go on running when it detaches.
backtraces() {
  local prefix=$1
  wine_env "$prefix" env WINEDLLOVERRIDES="$QUIET_OVERRIDES" "$WINE64" winedbg --command "bt all"
}

teardown() {
  local prefix=$1
  stop_server "$prefix"
  remove_server_folder "$prefix"
}

command=${1:-}
shift || true
case "$command" in
  template) make_template "$@" ;;
  clone) clone "$@" ;;
  run) run "$@" ;;
  backtraces) backtraces "$@" ;;
  teardown) teardown "$@" ;;
  *)
    echo "usage: prefix.sh template|clone|run|backtraces|teardown ..." >&2
    exit 2
    ;;
esac
