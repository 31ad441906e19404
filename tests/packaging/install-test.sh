#!/usr/bin/env bash
# install-test.sh BUILD SOURCE VERSION DESKTOP_ID: installs the build into a temporary folder
# (DESTDIR, prefix /usr), checks what was installed, and runs the installed programs from a
# folder of their own on the sample card.
set -euo pipefail
build="$1" source="$2" version="$3" id="$4"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR="$work/root" cmake --install "$build" --prefix /usr --strip >"$work/install.log" || {
  cat "$work/install.log"; fail "cmake --install"; }
usr="$work/root/usr"

expected=(
  bin/dcv bin/dcv-viewer
  "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$id.svg"
  share/man/man1/dcv.1.gz share/man/man1/dcv-viewer.1.gz
  share/bash-completion/completions/dcv
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x$size/apps/$id.png")
done
for f in "${expected[@]}"; do
  [ -s "$usr/$f" ] || fail "not installed: $f"
done
for size in 16 48 256; do
  got="$(identify -format '%wx%h' "$usr/share/icons/hicolor/${size}x$size/apps/$id.png")"
  [ "$got" = "${size}x$size" ] || fail "the ${size} px icon is $got"
done
# Nothing of the installed programs may point back into the build or the source folder.
for f in bin/dcv bin/dcv-viewer; do
  if strings "$usr/$f" | grep -qF -e "$source" -e "$build"; then fail "$f names the source or build folder"; fi
done

desktop-file-validate "$usr/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net --no-color "$usr/share/metainfo/$id.metainfo.xml" >"$work/as.log" || {
  cat "$work/as.log"; fail "metainfo"; }
grep -qx "Exec=dcv-viewer %f" "$usr/share/applications/$id.desktop" || fail "desktop entry: Exec"

# From a folder of their own, with a home of their own: nothing found through the working folder.
mkdir "$work/elsewhere"
cd "$work/elsewhere"
export HOME="$work/elsewhere" XDG_RUNTIME_DIR="$work/elsewhere"

[ "$("$usr/bin/dcv" --version)" = "dcv $version" ] || fail "dcv --version: $("$usr/bin/dcv" --version)"
"$usr/bin/dcv" list "$source/samples/card" >list.txt || fail "dcv list"
[ "$(wc -l <list.txt)" -eq 6 ] || fail "dcv list gave $(wc -l <list.txt) lines"
cut -f1 list.txt | sort -u | paste -sd' ' | grep -qx "always event motion" || fail "dcv list kinds: $(cat list.txt)"

viewer="$usr/bin/dcv-viewer"
# Without a display as well.
[ "$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$viewer" --version 2>/dev/null)" = "dcv-viewer $version" ] ||
  fail "dcv-viewer --version"
export QT_QPA_PLATFORM=offscreen DCV_MAP_OFFLINE=1 DCV_VLC_ARGS=--aout=dummy
timeout 120 "$viewer" --screenshot shot.png "$source/samples/card" >viewer.log 2>&1 || {
  cat viewer.log; fail "dcv-viewer --screenshot"; }
[ "$(identify -format '%wx%h' shot.png)" = "1020x640" ] || fail "screenshot size $(identify -format '%wx%h' shot.png)"
# A window with the table, the buttons and the graph has many colours; a blank one has a few.
colours="$(identify -format '%k' shot.png)"
[ "$colours" -gt 500 ] || fail "the screenshot has $colours colours"

# The viewer's manual page describes every option it takes, and the desktop entry's actions
# use an option it has.
help="$("$viewer" --help 2>/dev/null)"
page="$(zcat "$usr/share/man/man1/dcv-viewer.1.gz" | sed 's/\\-/-/g')"
for option in $(grep -oE '^ +(-[a-z], )?--[a-z-]+' <<<"$help" | grep -oE -- '--[a-z-]+'); do
  grep -qF -- "$option" <<<"$page" || fail "dcv-viewer.1 does not describe $option"
done
if grep -q "^Actions=" "$usr/share/applications/$id.desktop"; then
  grep -qF -- "--open" <<<"$help" || fail "the desktop entry's actions use --open, which dcv-viewer does not take"
  # Each action's window is one the viewer knows (it refuses others with status 2 at once).
  for value in $(sed -n 's/^Exec=dcv-viewer --open //p' "$usr/share/applications/$id.desktop"); do
    timeout 120 "$viewer" --open "$value" --screenshot action.png >>viewer.log 2>&1 ||
      fail "dcv-viewer --open $value (the desktop entry's action) exits with $?"
  done
fi
echo "installed and ran: ${#expected[@]} files, dcv $version, screenshot with $colours colours"
