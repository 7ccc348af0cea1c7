#!/usr/bin/env bash
# Takes the pictures of the README and of the user guide from a real run: the demo site server
# and Pagequill on a private Xvfb display, driven with xdotool. Needs a build (scripts/build.sh).
#   scripts/take-screenshots.sh            writes docs/screenshot.png and data/help/website/pictures/
set -euo pipefail
cd "$(dirname "$0")/.."
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/setup.sh"; exit 1; }
done
work="$(mktemp -d "${TMPDIR:-/tmp}/pagequill-shots.XXXXXX")"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A free display number, and Xvfb on it.
for n in $(seq 90 140); do [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }; done
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 & pids+=($!)
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done

cp -r demo/site "$work/site"
# The demo's own port when it is free, so that the pictures show the address a user sees.
url=""
for port in 8080 0; do
  PAGEQUILL_SITE_PASSWORD=demo build/bin/pagequill-site --root "$work/site" --port "$port" \
    --vendor-check --backup-dir "$work/backups" >"$work/site.log" 2>&1 & server=$!
  for _ in $(seq 50); do
    grep -q '^listening on' "$work/site.log" && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
  done
  url="$(sed -n 's/^listening on //p' "$work/site.log" | head -1)"
  if [ -n "$url" ]; then pids+=("$server"); break; fi
done
[ -n "$url" ] || { echo "The site server did not start:"; cat "$work/site.log"; exit 1; }

mkdir -p "$work/temp" "$work/config"
# The different-layout notice would cover the Edit tab.
mkdir -p "$work/config/pagequill"
printf '[HideMsg]\nDifferentLayout=Y\n' >"$work/config/pagequill/settings.ini"
chmod 600 "$work/config/pagequill/settings.ini"  # as the program writes it
DISPLAY="$display" TEMP="$work/temp" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/config" \
  XDG_DATA_HOME="$work/config" PAGEQUILL_HOME="${url}index.htm" PAGEQUILL_SERVICE_URL="${url}check.php" \
  build/bin/pagequill >"$work/app.log" 2>&1 & pids+=($!)

shot() { DISPLAY="$display" import -window root "$1"; }
# The home page's edit copy is written once the page is shown; the edit pane then loads it.
copy="$work/temp/pagequill-$(id -u)/webed.htm"
for _ in $(seq 200); do [ -s "$copy" ] && break; sleep 0.1; done
[ -s "$copy" ] || { echo "Pagequill did not show the home page"; cat "$work/app.log"; exit 1; }
sleep 3

mkdir -p docs data/help/website/pictures
shot "$work/browse.png"
convert "$work/browse.png" -crop 860x140+0+0 +repage data/help/website/pictures/browse-toolbar.png
DISPLAY="$display" xdotool mousemove 160 64 click 1
sleep 2
shot "$work/edit.png"
cp "$work/edit.png" docs/screenshot.png
convert "$work/edit.png" -crop 1280x560+0+0 +repage -resize 860x data/help/website/pictures/edit-tab.png
# The edit status bar of the home page and of a page closed to editing.
statusbar() { convert "$1" -crop 560x30+14+756 +repage "data/help/website/pictures/$2"; }
statusbar "$work/edit.png" status-ed.png
open_page() {
  DISPLAY="$display" xdotool mousemove 66 64 click 1; sleep 0.5
  DISPLAY="$display" xdotool mousemove 600 107 click 1 key ctrl+a
  DISPLAY="$display" xdotool type --delay 10 "$1"; DISPLAY="$display" xdotool key Return
  sleep 4
  DISPLAY="$display" xdotool mousemove 160 64 click 1; sleep 2
}
open_page "${url}staff.htm"; shot "$work/noned.png"; statusbar "$work/noned.png" status-noned.png
echo "Wrote docs/screenshot.png and data/help/website/pictures/"
