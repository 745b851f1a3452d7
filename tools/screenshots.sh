#!/usr/bin/env bash
# Takes the README's screenshots as a person would see them: both desktop
# programs under a virtual display, Lanyx on a simulated network segment of
# its own (network namespaces, a bridge, one veth pair per host) with
# lanyx-cli peers beside it, so nothing is ever broadcast on a real network.
#
#   tools/screenshots.sh [BUILD_DIR] [OUT_DIR]      (defaults: build docs)
#   SHOTS=designer tools/screenshots.sh ...         (only tavishfennic.png;
#                                                    SHOTS=lanyx only Lanyx's)
#
# Needs root for Lanyx's pictures (network namespaces) and, on Debian 12:
#   apt-get install -y xvfb imagemagick xdotool x11-utils openbox optipng trayer
# openbox (window frames and focus) and optipng (smaller files) are used when
# present; the pictures are taken without them too.
#
# Writes lanyx-main.png, lanyx-userinfo.png, lanyx-popup.png, lanyx-chat.png,
# lanyx-options.png, lanyx-chats-cascaded.png, lanyx-tray-unread.png (with
# trayer installed) and tavishfennic.png, each cropped to its window; and, from
# the window tests' scene on the same display, lanyx-main-de.png,
# lanyx-transfers-de.png and lanyx-popup-three.png (three alerts from one sender),
# and lanyx-shared-chat.png (one shared chat on its three members' screens).
set -euo pipefail
source "$(dirname "$0")/segment.sh"
build=$(cd "${1:-build}" && pwd)
out=${2:-docs}
mkdir -p "$out"
out=$(cd "$out" && pwd)
bin=$build/bin
tfbin=$build/designer/bin
shots=${SHOTS:-lanyx designer}
want() { [[ " $shots " == *" $1 "* ]]; }
for tool in Xvfb import xdotool xwininfo; do
  command -v $tool >/dev/null || { echo "screenshots.sh: $tool is missing" >&2; exit 2; }
done
if want lanyx; then
  command -v ip >/dev/null || { echo "screenshots.sh: ip is missing" >&2; exit 2; }
  [ "$(id -u)" -eq 0 ] || { echo "screenshots.sh: needs root for the network namespaces" >&2; exit 2; }
fi

p=lxs$$
export DISPLAY=:$((300 + $$ % 300))
work=$(mktemp -d)
pids=()
hosts=(ann bob carl dora mallory)

cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  sleep 1
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  want lanyx && drop_segment $p ${#hosts[@]}
  rm -rf "$work"
}
trap cleanup EXIT

# Starts a program in the background and remembers its process for the
# clean-up (ip netns exec becomes the program: same process).
bg() { "$@" >>"$work/log.txt" 2>&1 & pids+=($!); }

# ---- the segment: one switch, one host per user ----------------------------
want lanyx && make_segment $p 10.79.0 ${#hosts[@]}

# One datagram as a user's program would send it (Windows-1252 text to the
# broadcast address): lets a peer that stays present say a line.
say() {
  ip netns exec ${p}h$1 python3 - "$2" <<'EOF'
import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
s.sendto(sys.argv[1].encode("cp1252"), ("255.255.255.255", 1414))
EOF
}
ALERT=$'\u00df'
CHAT=$'\u00de'

# ---- the display -----------------------------------------------------------
# Room for the designer at the size its editor needs; the pictures are
# cropped to their windows, so the screen size shows in none of them.
bg Xvfb "$DISPLAY" -screen 0 1280x1024x24 -dpi 96 -nolisten tcp
for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.2; done
wm=no
if command -v openbox >/dev/null; then
  bg env HOME="$work" openbox
  wm=yes
fi
sleep 1

# The id of the visible window whose title is exactly $1.
window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -1 || true)
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.2
  done
  echo "screenshots.sh: no window '$1' appeared" >&2
  return 1
}
focus() {
  if [ $wm = yes ]; then xdotool windowactivate --sync "$1"; else xdotool windowfocus --sync "$1"; fi
  sleep 0.3
}
# The window with its frame, as small as the picture allows.
shot() {
  local frame=()
  [ $wm = yes ] && frame=(-frame)
  import "${frame[@]}" -window "$1" -strip "$out/$2"
  command -v optipng >/dev/null && optipng -quiet -o5 "$out/$2"
  echo "  $2 ($(stat -c %s "$out/$2") bytes)"
}
# SHOTS_DEBUG=1 keeps a picture of the whole screen at each step.
screen() { [ -n "${SHOTS_DEBUG:-}" ] && import -window root "$out/screen-$1.png" || true; }

# ---- Lanyx -----------------------------------------------------------------
if want lanyx; then
echo "Lanyx on a simulated segment (display $DISPLAY)"
for i in 1 2 3 4; do mkdir -p "$work/${hosts[$i]}"; done
bg ip netns exec ${p}h1 "$bin/lanyx-cli" --dir "$work/bob" --name bob --colour '#c62828' --probe-ms 500 listen
bg ip netns exec ${p}h2 "$bin/lanyx-cli" --dir "$work/carl" --name Carl --colour '#1565c0' --status 1 --probe-ms 500 listen
bg ip netns exec ${p}h3 "$bin/lanyx-cli" --dir "$work/dora" --name dora --colour '#2e7d32' --probe-ms 500 listen
bg ip netns exec ${p}h4 "$bin/lanyx-cli" --dir "$work/mallory" --name mallory --colour '#6a1b9a' --probe-ms 500 listen
sleep 2

# ann's settings: English, main window 4200 x 5100 twips, alerts in the
# top right corner without a sound, mallory blocked, a group "team".
mkdir -p "$work/ann"
printf '%s\r\n' '"English"' 0 '60,60,4200,5100' '"ann","0","2","(S)","0"' '5200,60,5400,5400' \
  1 '"mallory"' 1 '"team|bob|Carl|dora|"' >"$work/ann/User.ini"
bg ip netns exec ${p}h0 "$bin/lanyx" --dir "$work/ann" --probe-ms 1500
lanyx_at=$((${#pids[@]} - 1))
main=$(window Lanyx)
sleep 3
focus "$main"
# Select the fourth row: the toolbar comes alive.
xdotool key --clearmodifiers Home Down Down Down Down
sleep 0.5
shot "$main" lanyx-main.png

# bob's information: the safety number to compare with him, and its QR code.
# Typing a name selects its row.
xdotool type --delay 60 bob
sleep 0.3
xdotool key --clearmodifiers ctrl+i
info=$(window bob)
sleep 1
shot "$info" lanyx-userinfo.png
xdotool key --window "$info" Escape 2>/dev/null || true
sleep 0.3

# An alert from dora, who stays on the network.
say 3 "dora|P/${ALERT}The build server is back up. Deploy when you are ready.|ann"
sleep 3
screen popup
popup=$(window dora)
shot "$popup" lanyx-popup.png
# Its "Close" link, in the lower right corner.
eval "$(xdotool getwindowgeometry --shell "$popup")"
xdotool mousemove --window "$popup" $((WIDTH - 12)) $((HEIGHT - 8)) click 1

# A chat with the group: select "(team)" and press Chat, the toolbar's
# second button.
focus "$main"
xdotool key --clearmodifiers End
sleep 0.3
xdotool mousemove --window "$main" 72 44 click 1
sleep 1
screen chat
chat=$(window 'Chating - Lanyx')
# A new run opens chats at a small centred size; the user drags it bigger.
xdotool windowsize --sync "$chat" 400 380
sleep 0.5
# ... and gives the member list room for everyone (the splitter below it).
xdotool mousemove --window "$chat" 200 77 mousedown 1 sleep 0.2 mousemove --window "$chat" 200 92 \
  sleep 0.2 mousemove --window "$chat" 200 100 sleep 0.2 mouseup 1
focus "$chat"
xdotool type --delay 30 "Stand-up moves to 10:30 today, room 2.14."
xdotool key Return
sleep 0.5
say 1 "bob|P/${CHAT}Fine by me. I'll bring the release notes.|ann"
sleep 0.4
say 2 "Carl|P/${CHAT}I'm on a call until 10:15, then I'm there.|ann"
sleep 0.4
say 3 "dora|P/${CHAT}Can someone book the projector?|ann"
sleep 1
shot "$chat" lanyx-chat.png

# Options from the main window's Lanyx menu.
focus "$main"
xdotool key --clearmodifiers alt+l
sleep 0.5
xdotool key o
options=$(window 'Options - Lanyx')
sleep 1
shot "$options" lanyx-options.png
xdotool key --window "$options" Escape 2>/dev/null || true

# ---- Lanyx in German: two chats from the segment and the unread tray icon ---
# A notification area (trayer draws the X one) for the icon; ann again, in
# German, at the default size.
kill "${pids[${lanyx_at}]}" 2>/dev/null || true
sleep 2
if command -v trayer >/dev/null; then
  bg trayer --edge bottom --align right --widthtype pixel --width 120 --heighttype pixel --height 28 \
    --transparent false --tint 0xdddddd --SetDockType true
  sleep 1
fi
mkdir -p "$work/anna"
printf '%s\r\n' '"Deutsch"' 0 '60,60,2505,4605' '"ann","0","2","(S)","0"' '3600,900,6000,4500' \
  0 1 '"team|bob|Carl|dora|"' >"$work/anna/User.ini"
bg ip netns exec ${p}h0 "$bin/lanyx" --dir "$work/anna" --probe-ms 1500
sleep 4
# With a tray the main window waits behind the icon: Lanyx > Show from its menu.
if command -v trayer >/dev/null; then
  # The icon: the Lanyx window embedded in trayer's panel.
  xwininfo -root -tree >"$work/tree.txt"
  icon=$(awk '/"panel": \("panel" "trayer"\)/{p=1} p && /"Lanyx"/{print $1; exit}' "$work/tree.txt")
  xdotool mousemove --window "$icon" 11 13 click --repeat 2 --delay 120 1
fi
main=$(window Lanyx)
sleep 1
# Two chat lines from two senders no window holds: two windows, cascaded.
say 1 "bob|P/${CHAT}Kurze Frage zum Release?|ann"
sleep 1.5
say 2 "Carl|P/${CHAT}Bin gleich da.|ann"
sleep 1.5
# A new run opens chats at a small size; the user makes them bigger.
for id in $(xdotool search --onlyvisible --name '^Chat - Lanyx$'); do xdotool windowsize --sync "$id" 360 300; done
sleep 0.5
# The user goes back to the main window; a line arrives in the background.
focus "$main"
say 1 "bob|P/${CHAT}Um 10:30 im Raum 2.14?|ann"
sleep 1.5
# The two chat windows with their frames, and the icon with its unread mark.
read -r x0 y0 x1 y1 < <(for id in $(xdotool search --onlyvisible --name '^Chat - Lanyx$'); do
  eval "$(xdotool getwindowgeometry --shell "$id")"; echo "$X $Y $((X + WIDTH)) $((Y + HEIGHT))"; done |
  awk 'NR==1{a=$1;b=$2;c=$3;d=$4} {if($1<a)a=$1; if($2<b)b=$2; if($3>c)c=$3; if($4>d)d=$4} END{print a-4, b-36, c+4, d+4}')
import -window root -crop $((x1 - x0))x$((y1 - y0))+$x0+$y0 +repage -strip "$out/lanyx-chats-cascaded.png"
echo "  lanyx-chats-cascaded.png"
if command -v trayer >/dev/null; then
  eval "$(xdotool getwindowgeometry --shell "$icon")"
  import -window root -crop $((WIDTH + 12))x$((HEIGHT + 2))+$((X - 6))+$((Y - 1)) +repage -resize 300% -strip \
    "$out/lanyx-tray-unread.png"
  echo "  lanyx-tray-unread.png"
fi
fi

# ---- TavishFennic ----------------------------------------------------------
if want designer; then
# A copy of the program folder in a scratch home: its work folder and
# settings stay there.
echo "TavishFennic"
cp -a "$tfbin" "$work/tf"
rm -rf "$work/tf/My Widget"
home=$work/home
mkdir -p "$home"/{.config,.local/share,.cache,run}
chmod 700 "$home/run"
bg env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/run" "$work/tf/tavishfennic"
designer=$(window 'Tavish Fennic - .*')
sleep 2
focus "$designer"
# A new button from a template: File > New > From Template (Ctrl+N).
xdotool key --clearmodifiers ctrl+n
new=$(window New)
focus "$new"
# The template "Ocean", fourth in the list.
xdotool mousemove --window "$new" 60 127 click 1
sleep 0.5
xdotool key --clearmodifiers alt+n ctrl+a
xdotool type --delay 20 "Brochure"
xdotool key --clearmodifiers alt+d
xdotool type --delay 20 "Download link on the product page"
sleep 0.5
screen new
xdotool key Return
sleep 2
designer=$(window 'Tavish Fennic - .*')
# Wide enough for the four looks on light and dark pages beside the
# settings, tall enough for the settings down to the checks.
xdotool windowsize --sync "$designer" 1240 940
focus "$designer"
# The label and the link.
xdotool key --clearmodifiers alt+x ctrl+a
xdotool type --delay 20 "Get the brochure"
xdotool key --clearmodifiers alt+a ctrl+a
xdotool type --delay 20 "https://www.example.com/brochure.pdf"
xdotool key Home
xdotool key --clearmodifiers alt+o
xdotool type --delay 20 "PDF, 2 MB"
xdotool key --clearmodifiers alt+v
xdotool type --delay 20 "Download the spring brochure"
sleep 1
screen editor
shot "$(window 'Tavish Fennic - .*')" tavishfennic.png
fi

# The German main and Transfers windows and a popup holding three alerts,
# from the scene the window tests build (no network: two copies in memory).
LANYX_SCREENSHOTS="$out" QT_QPA_PLATFORM=xcb "$bin/lanyx_ui_walk_tests" --gtest_filter='Pictures.*' >>"$work/log.txt" 2>&1 ||
  echo "screenshots.sh: the pictures of the German windows failed (see lanyx_ui_walk_tests)" >&2
# One shared chat as its three members see it (three copies in memory).
LANYX_SCREENSHOTS="$out" QT_QPA_PLATFORM=xcb "$bin/lanyx_ui_tests" --gtest_filter='SharedChatWindows.OneChatOnThreeScreens*' \
  >>"$work/log.txt" 2>&1 || echo "screenshots.sh: the picture of the shared chat failed (see lanyx_ui_tests)" >&2
command -v optipng >/dev/null && optipng -quiet -o5 "$out"/lanyx-main-de.png "$out"/lanyx-transfers-de.png "$out"/lanyx-popup-three.png \
  "$out"/lanyx-shared-chat.png
echo "screenshots in $out"
