#!/usr/bin/env bash
# Builds the Debian package from the build folder given (default build/) and checks it: its
# dependencies and file list, its menu entry, and the program it installs, unpacked into a
# throw-away root and started from there on Xvfb: it listens, loads libparlix1.so from its own
# folder, shows its window (Xvfb has no tray) with the application icon, opens the installed help
# page from "?", writes an autostart entry that starts the same program with the same options, and
# ends cleanly on SIGTERM.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
address=127.0.10.2

fail() { echo "package-check: $*" >&2; exit 1; }

cmake --build "$build" --target parlix parlix1 parlix_help
rm -rf "$build/package"
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/package/parlix_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack wrote no single package: ${debs[*]}"
deb=${debs[0]}
echo "== $(basename "$deb")"

# --- control fields ----------------------------------------------------------------------------
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6printsupport6 qt6-qpa-plugins \
         xdg-utils libx11-6 libxi6 libc6; do
  grep -Eq "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p"
done
[ "$(dpkg-deb -f "$deb" Package)" = parlix ] || fail "the package is not called parlix"

# --- file list ---------------------------------------------------------------------------------
listing=$(dpkg-deb -c "$deb")
files=$(awk '{ print $6 }' <<<"$listing")
expect=(./usr/lib/parlix/parlix ./usr/lib/parlix/libparlix1.so ./usr/bin/parlix
        ./usr/share/applications/parlix.desktop ./usr/share/icons/hicolor/scalable/apps/parlix.svg
        ./usr/share/parlix/parlix.htm)
for size in 16 32 48 64 128 256; do
  expect+=("./usr/share/icons/hicolor/${size}x${size}/apps/parlix.png")
done
# Every picture the help page shows is in the package beside it.
for picture in $(grep -o 'src="[^"]*"' docs/parlix.htm | cut -d'"' -f2); do
  expect+=("./usr/share/parlix/$picture")
done
for f in "${expect[@]}"; do
  grep -qxF "$f" <<<"$files" || fail "the package lacks $f"
done
grep -qF './usr/bin/parlix -> ../lib/parlix/parlix' <<<"$listing" || fail "/usr/bin/parlix is not a link to the program"
grep -E '\./usr/(bin|lib/parlix)/' <<<"$listing"

# --- unpacked into a throw-away root -----------------------------------------------------------
tmp=$(mktemp -d /tmp/parlix-package.XXXXXX)
xvfb_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
root=$tmp/root
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/parlix.desktop"
grep -qx 'Categories=Network;InstantMessaging;' "$root/usr/share/applications/parlix.desktop" || fail "menu category"
grep -q '^Name\[ru\]=' "$root/usr/share/applications/parlix.desktop" || fail "no Russian name"

# An X server of our own: displays :160 to :169.
display=""
for n in $(seq 160 169); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
[ -n "$display" ] || fail "no free X display in :160-:169"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X${display#:}" ] || fail "Xvfb did not start on $display"

# The session as a login shell would have it: the package's bin folder on PATH, a home of its own.
# The desktop's handler for links and files is xdg-open: one of ours notes what it is given.
mkdir -p "$tmp/home" "$tmp/config" "$tmp/handler"
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$tmp/opened" >"$tmp/handler/xdg-open"
chmod +x "$tmp/handler/xdg-open"
run_env=(env -u WAYLAND_DISPLAY -u XDG_SESSION_TYPE -u QT_QPA_PLATFORM -u PARLIX_HOME -u DBUS_SESSION_BUS_ADDRESS
         HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" DISPLAY="$display"
         PATH="$tmp/handler:$root/usr/bin:$PATH")

listening() { (exec 3<>"/dev/tcp/$address/7456") 2>/dev/null; }
wait_until() { # seconds, command...
  local limit=$1; shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}
# The pid of the package's program started with our data folder, however it was started.
program_started_here() {
  local proc
  for proc in /proc/[0-9]*; do
    [ "$(readlink "$proc/exe" 2>/dev/null)" = "$root/usr/lib/parlix/parlix" ] || continue
    tr '\0' '\n' <"$proc/cmdline" 2>/dev/null | grep -qxF "$tmp/h" || continue
    echo "${proc#/proc/}"
    return 0
  done
  return 1
}
running() { # alive and not a zombie
  local state
  state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}
stop_program() { # SIGTERM, then the end within 30 s
  kill -TERM "$program_pid"
  for _ in $(seq 300); do running "$program_pid" || break; sleep 0.1; done
  ! running "$program_pid" || fail "the program did not end within 30 s of SIGTERM"
}
visible_window() {
  local ids
  ids=$(env DISPLAY="$display" xdotool search --onlyvisible --name '^Parlix v' 2>/dev/null) || return 1
  [ -n "$ids" ] && echo "${ids%%$'\n'*}"
}

echo "== parlix --home $tmp/h --listen $address on $display"
"${run_env[@]}" parlix --home "$tmp/h" --listen "$address" >"$tmp/run1.log" 2>&1 &
program_pid=$!
wait_until 60 listening || fail "the program does not listen on $address:7456: $(cat "$tmp/run1.log")"
[ "$(readlink "/proc/$program_pid/exe")" = "$root/usr/lib/parlix/parlix" ] || fail "not the package's program"
# On X the program loads the activity library from its own folder, which is the package's
# lib/parlix although it was started through bin/parlix.
grep -qF "$root/usr/lib/parlix/libparlix1.so" "/proc/$program_pid/maps" \
  || fail "the program has not loaded libparlix1.so from its own folder: $(cat "$tmp/run1.log")"
echo "activity library: $root/usr/lib/parlix/libparlix1.so"
wait_until 30 visible_window >/dev/null || fail "no main window shown on a desktop without a tray"
window=$(visible_window)
echo "main window: $(env DISPLAY="$display" xdotool getwindowname "$window")"
icon=$(env DISPLAY="$display" xprop -id "$window" _NET_WM_ICON)
grep -q '_NET_WM_ICON(CARDINAL) = ' <<<"$icon" || fail "the main window carries no icon"

# "?" at the right of the header strip, beside the green "i" (each 21 pixels wide), opens the
# installed help page.
width=$(env DISPLAY="$display" xdotool getwindowgeometry --shell "$window" | sed -n 's/^WIDTH=//p')
env DISPLAY="$display" xdotool mousemove --window "$window" $((width - 31)) 8 click 1
wait_until 20 test -s "$tmp/opened" || fail '"?" handed nothing to the desktop'
echo "\"?\" opens $(cat "$tmp/opened")"
[ "$(cat "$tmp/opened")" = "file://$root/usr/share/parlix/parlix.htm" ] || fail '"?" opens another file'

entry=$tmp/config/autostart/parlix.desktop
[ -f "$entry" ] || fail "no autostart entry"
desktop-file-validate "$entry"
grep '^Exec=' "$entry"
grep -qxF "Exec=\"$root/usr/bin/parlix\" \"--home\" \"$tmp/h\" \"--listen\" \"$address\"" "$entry" \
  || fail "the autostart entry does not start the installed program with its options"

set +e
stop_program
wait "$program_pid"
status=$?
set -e
program_pid=""
[ $status -eq 0 ] || fail "exit status $status after SIGTERM: $(cat "$tmp/run1.log")"
[ -f "$tmp/h/parlix7.ini" ] && [ -f "$tmp/h/pxusers.ini" ] || fail "settings and contact list not saved at the end"
echo "ended on SIGTERM with status 0; settings saved"

# The autostart entry, started the way a desktop session starts it.
echo "== the autostart entry, through gio launch"
"${run_env[@]}" gio launch "$entry" >"$tmp/run2.log" 2>&1 || fail "gio launch: $(cat "$tmp/run2.log")"
wait_until 60 program_started_here >/dev/null || fail "the autostart entry started no copy of the installed program"
program_pid=$(program_started_here)
wait_until 60 listening || fail "the copy started at login does not listen on $address"
tr '\0' ' ' <"/proc/$program_pid/cmdline"; echo
stop_program
program_pid=""
echo "package-check: all checks passed"
