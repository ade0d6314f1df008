# Scenarios of the clock's notification-area icon, sourced by run_all.sh:
# the icon and its tip, hiding and showing the clock with left clicks and a
# double click, the clock's menu opened from the icon (and Exit there while
# the clock is hidden), the icon after a failed start, the shell's
# "TaskbarCreated" broadcast, and 1,000 hide/show cycles without leaks.
# The desktop has no tray, so Wine shows its own tray window; `winmsg tray`
# reads its icons and tips, and xdotool clicks them.
# shellcheck shell=bash

ALL_SCENARIOS+=(tray_toggle tray_double_click tray_menu tray_exit_hidden tray_missing_pma tray_taskbar_created
  tray_cycles)
SCENARIO_DEADLINES[tray_toggle]=520  # may configure and build the frame tool first
SCENARIO_DEADLINES[tray_cycles]=150

TRAY_SHOT="$VESK_WORK/screenshots/tray_menu.png"
# What Wine's X11 driver reads for the clock alone during tray_cycles.
TRAY_APP_X11_KEY='HKCU\Software\Wine\AppDefaults\VeskClock.exe\X11 Driver'

# ---- helpers ------------------------------------------------------------------

# Waits until the tray shows $1 icons (at most $2 s) and sets TRAY_TEXT to
# what `winmsg tray` printed.
tray_wait_icons() {
  local want="$1" max="${2:-10}" end n
  end=$(( $(vw_now_ms) + max * 1000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    TRAY_TEXT="$(vw_winmsg tray any)"
    n="$(sed -n 's/^tray .* icons \([0-9]*\)$/\1/p' <<<"$TRAY_TEXT")"
    [ "${n:-0}" = "$want" ] && return 0
    sleep 0.1
  done
  echo "the tray shows ${n:-no} icons, not $want: $TRAY_TEXT" >&2
  return 1
}

# How many pixels of the first icon of TRAY_TEXT on the screen differ from
# image $2 of the icon file ($1 x $1 pixels) over the tray's background,
# within the rounding of the blend; the pictures go to folder $3 with
# suffix $1.
tray_icon_differ() {
  local size="$1" index="$2" dir="$3" bg ox oy
  set -- $(sed -n 's/^icon 0 rect \(.*\)$/\1/p' <<<"$TRAY_TEXT")
  vw_shot "$dir/tray_$size.png"
  ox=$(( $1 + ($3 - $1 - size) / 2 )); oy=$(( $2 + ($4 - $2 - size) / 2 ))
  bg="$(vw_px "$1" "$2" "$dir/tray_$size.png")"
  timeout 20 convert "$VESK_ROOT/assets/icon/vesk_clock.ico[$index]" "$dir/icon_$size.png"
  timeout 20 convert -size "${size}x$size" "xc:rgb($bg)" "$dir/icon_$size.png" -compose over -composite -alpha off \
    "$dir/icon_expected_$size.png"
  timeout 20 convert "$dir/tray_$size.png" -crop "${size}x$size+$ox+$oy" +repage "$dir/icon_screen_$size.png"
  timeout 20 compare -metric AE -fuzz 2% "$dir/icon_screen_$size.png" "$dir/icon_expected_$size.png" null: 2>&1 |
    cut -d' ' -f1
}

# "X Y": the middle of the first icon of TRAY_TEXT.
tray_icon_center() {
  local r
  r="$(sed -n 's/^icon 0 rect \(.*\)$/\1/p' <<<"$TRAY_TEXT")"
  [ -n "$r" ] || return 1
  set -- $r
  echo "$(( ($1 + $3) / 2 )) $(( ($2 + $4) / 2 ))"
}

# "X Y": the last pixel of the first icon's window (bottom right): a menu
# opened there leaves the icon itself in view.
tray_icon_corner() {
  local r
  r="$(sed -n 's/^icon 0 rect \(.*\)$/\1/p' <<<"$TRAY_TEXT")"
  [ -n "$r" ] || return 1
  set -- $r
  echo "$(( $3 - 1 )) $(( $4 - 1 ))"
}

# Clicks the icon with button $1 ($2 clicks, 80 ms apart), in its middle or,
# with $3 "corner", at its bottom-right pixel.
tray_click() {
  local c
  if [ "${3:-}" = corner ]; then c="$(tray_icon_corner)"; else c="$(tray_icon_center)"; fi
  [ -n "$c" ] || { echo "no icon to click: $TRAY_TEXT" >&2; return 1; }
  set -- "$1" "${2:-1}" $c
  timeout 5 xdotool mousemove "$3" "$4" && sleep 0.2 && timeout 5 xdotool click --repeat "$2" --delay 80 "$1"
}

# The clock window's visibility, "0" or "1".
tray_visible() { vw_winmsg info TfrmMain | sed -n 's/.* visible=\([01]\) .*/\1/p'; }

# Waits until the visibility is $1, at most $2 s (hiding a window takes Wine
# about 2 s where no window manager answers).
tray_wait_visible() {
  local end
  end=$(( $(vw_now_ms) + ${2:-5} * 1000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    [ "$(tray_visible)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

# Waits until the clock is the foreground window, at most 3 s.
tray_wait_foreground() {
  local end
  end=$(( $(vw_now_ms) + 3000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    grep -q '^class=TfrmMain ' <<<"$(vw_winmsg foreground any)" && return 0
    sleep 0.1
  done
  return 1
}

# Waits until the screen shows the black root where the clock's rim is, at
# most $1 s.
tray_wait_background() {
  local end shot="$VESK_WORK/tray_bg.png"
  end=$(( $(vw_now_ms) + ${1:-4} * 1000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    vw_shot "$shot"
    [ "$(vw_px $((WIN_X + 10)) $((WIN_Y + 75)) "$shot")" = "0,0,0" ] && return 0
    sleep 0.2
  done
  return 1
}

# Chooses the item $1 of the open menu with the mouse. (The keyboard goes to
# the window under the pointer here, and the pointer is on the tray.)
tray_menu_choose() {
  menu_point_at "$1" && sleep 0.2 && timeout 5 xdotool click 1
}

# Starts the clock of app folder $1, waits for its window and its icon.
tray_start() {
  vw_start_clock "$1"
  vw_wait_window TfrmMain 40 || return 1
  tray_wait_icons 1 10
}

# "gdi user working_set_kib rss_kib" of the clock (user: its USER objects,
# or where the system keeps no such count its windows), the smallest GDI and USER
# counts of three readings (a face being drawn holds a few objects).
tray_resources() {
  local pid line g u ws gdi=-1 user=-1 i
  pid="$(ps -o pid= --ppid "$CLOCK_PID" 2>/dev/null | head -1 | tr -d ' ')"
  for i in 1 2 3; do
    line="$(vw_winmsg resources TfrmMain)" || return 1
    g="$(sed -n 's/.* gdi=\([0-9]*\) .*/\1/p' <<<"$line")"
    u="$(sed -n 's/.* user=\([0-9]*\) .*/\1/p' <<<"$line")"
    ws="$(sed -n 's/.* working_set=\([0-9]*\) .*/\1/p' <<<"$line")"
    [ -n "$g" ] && [ -n "$u" ] || return 1
    # Wine keeps no USER count (0): the process's windows stand in for it.
    if [ "$u" = 0 ]; then u="$(vw_winmsg windows TfrmMain | sed -n 's/^windows=\([0-9]*\)$/\1/p')"; fi
    if [ "$gdi" -lt 0 ] || [ "$g" -lt "$gdi" ]; then gdi="$g"; fi
    if [ "$user" -lt 0 ] || [ "$u" -lt "$user" ]; then user="$u"; fi
    sleep 0.1
  done
  echo "$gdi $user $((ws / 1024)) $(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")"
}

# ---- scenarios ------------------------------------------------------------------

# The icon is there with the tip "Vesk Clock", drawn from the program's own
# 16 x 16 image. A left click hides the clock (the screen shows the
# background there); the next shows it at the same place, in the
# foreground, with the face of the current (frozen) instant: equal to the
# frame tool's composition away from the text.
scenario_tray_toggle() {
  local instant='2026-12-07 10:08:37' dir="$VESK_WORK/tray" why frame rect0 rect shot geometry size n
  mkdir -p "$dir"
  if ! why="$(visual_frame_tool)"; then
    echo "FAIL tray_toggle: the frame tool is not available: $why"
    return
  fi
  frame="$dir/frame.png"
  "$VISUAL_FRAME" --skin "$APP/face" --fonts "$APP/fonts" --time "$instant" --premultiplied --out "$frame" || return
  timeout 20 convert "$frame" -alpha off "$dir/frame_rgb.png"
  visual_start_clock_at "$instant" frozen
  vw_wait_window TfrmMain 40 || { echo "FAIL tray_toggle: the clock did not start"; return; }
  check "tray_toggle: one icon in the notification area" tray_wait_icons 1 10 || return
  note "$(tr '\n' ';' <<<"$TRAY_TEXT")"
  check "tray_toggle: its tip is Vesk Clock" grep -qx 'tip=Vesk Clock' <<<"$TRAY_TEXT"

  # The icon on the screen is the program's 16 x 16 image over the tray's
  # background, pixel for pixel within the rounding of the blend.
  n="$(tray_icon_differ 16 0 "$dir")"
  check "tray_toggle: the icon shows the program's own 16 x 16 image ($n pixels differ)" test "${n:-1}" = 0

  sleep 1  # past the fade-in
  rect0="$(vw_winmsg rect TfrmMain)"
  tray_click 1
  check "tray_toggle: a left click hides the clock" tray_wait_visible 0 5 || return
  # Wine withdraws the window from the screen a moment after it is hidden.
  check "tray_toggle: the screen shows the background where the rim was" tray_wait_background 4
  check "tray_toggle: the program runs on while hidden" vw_alive "$CLOCK_PID"

  tray_click 1
  check "tray_toggle: the next left click shows it again" tray_wait_visible 1 5 || return
  rect="$(vw_winmsg rect TfrmMain)"
  check "tray_toggle: at the same place ($rect)" test "$rect" = "$rect0"
  check "tray_toggle: in the foreground" tray_wait_foreground
  sleep 0.3
  geometry="$(visual_window_geometry)"
  visual_window_shot "$dir/shown.png" "$geometry"
  set -- $geometry
  size="${3}x$4"
  visual_mask "$dir/mask.png" "$size" text
  n="$(visual_diff_count "$dir/shown.png" "$dir/frame_rgb.png" "$dir/mask.png")"
  check "tray_toggle: the face shown is the composition of the instant away from the text ($n pixels differ)" \
    test "${n:-1}" = 0
  vw_stop_clock
}

# A double click toggles the clock once: its first click hides it, the
# double click itself does nothing.
scenario_tray_double_click() {
  tray_start "$APP" || { echo "FAIL tray_double_click: the clock or its icon did not appear"; return; }
  sleep 1
  tray_click 1 2
  check "tray_double_click: a double click hides the clock" tray_wait_visible 0 5 || return
  sleep 2.5  # the hide takes Wine 2 s; any further toggle would have shown by now
  check "tray_double_click: ... and it stays hidden (toggled once)" test "$(tray_visible)" = 0
  tray_click 1 2
  check "tray_double_click: the next double click shows it once" tray_wait_visible 1 5
  sleep 1
  check "tray_double_click: ... and it stays shown" test "$(tray_visible)" = 1
  vw_stop_clock
}

# A right click opens the clock's own menu at the cursor: the same items and
# the same check marks; a setting changed on the clock's menu shows in the
# icon's. The screenshot of the open menu goes to $TRAY_SHOT.
scenario_tray_menu() {
  local c rect
  menu_clean_run VeskClock
  tray_start "$APP" || { echo "FAIL tray_menu: the clock or its icon did not appear"; return; }
  sleep 1
  tray_click 3 1 corner
  check "tray_menu: a right click on the icon opens a menu" menu_wait_open 1 5 || return
  check "tray_menu: the clock's items and checks ($(menu_summary "About Vesk Clock..."))" \
    test "$(menu_summary "About Vesk Clock...")" = "$MENU_ROOT"
  c="$(tray_icon_corner)"
  rect="$(sed -n 's/^menu 0 rect \([0-9]* [0-9]*\) .*/\1/p' <<<"$MENU_TEXT")"
  check "tray_menu: its top-left corner is at the cursor ($rect)" test "$rect" = "$c"
  check "tray_menu: the clock stays visible" test "$(tray_visible)" = 1
  sleep 0.3
  mkdir -p "$(dirname "$TRAY_SHOT")"
  vw_shot "$VESK_WORK/tray_root.png" && timeout 20 convert "$VESK_WORK/tray_root.png" -crop 240x170+0+0 +repage "$TRAY_SHOT"
  note "screenshot: $TRAY_SHOT"
  # The hidden icon window is the foreground window, so a click elsewhere
  # closes the menu.
  timeout 5 xdotool mousemove 700 600 click 1
  check "tray_menu: a click elsewhere closes it" menu_wait_closed 5

  # On Top unchecked on the clock's menu shows unchecked on the icon's.
  check "tray_menu: the clock's own menu opens" menu_open_at $MENU_RIM_LEFT || return
  menu_point_at Settings
  menu_wait_open 2 5 && tray_menu_choose "On Top"
  check "tray_menu: On Top chosen there takes the clock off the top" menu_wait_topmost 0
  tray_click 3
  check "tray_menu: the icon's menu opens again" menu_wait_open 1 5 &&
    check "tray_menu: ... with On Top unchecked: one menu for both" \
      test "$(menu_summary "About Vesk Clock...")" = \
      "About Vesk Clock...|-|Settings[On Top|Load at Startup+|Chimes+]|-|Exit"
  timeout 5 xdotool mousemove 700 600 click 1
  menu_wait_closed 5
  vw_stop_clock
  menu_clean_run VeskClock
}

# Exit chosen on the icon's menu while the clock is hidden: the fade-out
# runs unseen (the screen does not change where the rim was) and the
# program ends within a second.
scenario_tray_exit_hidden() {
  local watch="$VESK_WORK/tray_exit_watch.txt" watcher t0 t_end changes
  menu_clean_run VeskClock
  tray_start "$APP" || { echo "FAIL tray_exit_hidden: the clock or its icon did not appear"; return; }
  sleep 1
  tray_click 1
  check "tray_exit_hidden: the clock is hidden" tray_wait_visible 0 5 || return
  sleep 2.2  # the hide has ended
  tray_click 3
  check "tray_exit_hidden: the icon's menu opens" menu_wait_open 1 5 || return
  vw_winmsg watch-fade TfrmMain $((WIN_X + 10)) $((WIN_Y + 75)) 5 >"$watch" &
  watcher=$!
  sleep 0.5
  menu_point_at Exit || return
  sleep 0.3
  t0=$(vw_now_ms)
  timeout 5 xdotool click 1
  t_end=""
  while [ $(( $(vw_now_ms) - t0 )) -lt 3000 ]; do
    if ! vw_alive "$CLOCK_PID"; then t_end=$(vw_now_ms); break; fi
    sleep 0.02
  done
  wait "$watcher"
  changes="$(sed -n 's/.*changes=\([0-9]*\).*/\1/p' "$watch")"
  note "Exit to process gone: $([ -n "$t_end" ] && echo "$((t_end - t0)) ms" || echo 'not within 3 s'); $(tail -1 "$watch")"
  check "tray_exit_hidden: the program ends within a second of Exit" \
    test -n "$t_end" -a $(( ${t_end:-0} - t0 )) -le 1000
  check "tray_exit_hidden: ... after its fade-out of 18 ticks (at least 170 ms)" \
    test $(( ${t_end:-0} - t0 )) -ge 170
  check "tray_exit_hidden: nothing was presented on the way (screen changes: ${changes:-?})" test "${changes:-1}" = 0
  CLOCK_PID=""
  check "tray_exit_hidden: the icon has gone with it" tray_wait_icons 0 3
  menu_clean_run VeskClock
}

# Without face\pma.png the start ends in the error box; the icon is there
# all the same, and its menu's Exit ends the program.
scenario_tray_missing_pma() {
  local dir="$VESK_WORK/app-nopma"
  rm -rf "$dir"
  cp -r "$APP" "$dir"
  rm -f "$dir/face/pma.png"
  menu_clean_run VeskClock
  vw_start_clock "$dir"
  check "tray_missing_pma: the error box appears" vw_wait_box "Vesk Clock" 40 || return
  check "tray_missing_pma: ... about pma.png" grep -q 'pma\.png' <<<"$(vw_winmsg dialog "Vesk Clock")"
  check "tray_missing_pma: the icon is there" tray_wait_icons 1 10 || return
  vw_winmsg dismiss "Vesk Clock" >/dev/null
  sleep 0.5
  tray_click 3
  check "tray_missing_pma: the icon's menu opens" menu_wait_open 1 5 || return
  check "tray_missing_pma: ... and offers Exit" grep -q ' text=Exit$' <<<"$MENU_TEXT"
  tray_menu_choose Exit
  check "tray_missing_pma: Exit ends the program" vw_wait_exit "$CLOCK_PID" 3
  CLOCK_PID=""
  menu_clean_run VeskClock
}

# The shell announces a new notification area: the icon stays single when
# the shell still has it, and comes back, once, when the shell lost it (as
# after a restart of the shell). It still works afterwards.
scenario_tray_taskbar_created() {
  tray_start "$APP" || { echo "FAIL tray_taskbar_created: the clock or its icon did not appear"; return; }
  sleep 1
  vw_winmsg broadcast TaskbarCreated >/dev/null
  sleep 0.5
  check "tray_taskbar_created: after the broadcast there is exactly one icon" tray_wait_icons 1 3
  check "tray_taskbar_created: ... with its tip" grep -qx 'tip=Vesk Clock' <<<"$TRAY_TEXT"
  local n
  n="$(tray_icon_differ 16 0 "$VESK_WORK")"
  check "tray_taskbar_created: ... showing the icon file's 16 x 16 image ($n pixels differ)" test "${n:-1}" = 0
  check "tray_taskbar_created: the shell loses the icon" vw_winmsg tray-forget TTrayIconWindow
  vw_winmsg broadcast TaskbarCreated >/dev/null
  check "tray_taskbar_created: the next broadcast brings it back, once" tray_wait_icons 1 5
  sleep 0.3
  n="$(tray_icon_differ 16 0 "$VESK_WORK")"
  check "tray_taskbar_created: ... with the same image ($n pixels differ)" test "${n:-1}" = 0
  sleep 0.5
  vw_winmsg broadcast TaskbarCreated >/dev/null
  sleep 0.5
  check "tray_taskbar_created: and a further broadcast leaves one" tray_wait_icons 1 3
  tray_click 1
  check "tray_taskbar_created: the icon still hides the clock" tray_wait_visible 0 5
  vw_stop_clock
}

# 1,000 hide/show cycles through the icon: 2,000 left clicks sent to the
# icon's window as the shell sends them (button down and up), each checked
# to toggle the window. The GDI and USER objects stay within 4 of their
# count after 50 warm-up cycles, the memory within 1 MiB. The clock's own
# windows are left unmanaged for this run (hiding a managed window costs
# Wine 2 s where no window manager answers, which would make it last an
# hour).
scenario_tray_cycles() {
  local out gdi0 user0 ws0 rss0 gdi user ws rss
  trap 'timeout 20 wine reg delete "$TRAY_APP_X11_KEY" /f >/dev/null 2>&1
        if [ -n "$CLOCK_PID" ] && vw_alive "$CLOCK_PID"; then vw_stop_clock; fi' EXIT
  timeout 20 wine reg add "$TRAY_APP_X11_KEY" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  tray_start "$APP" || { echo "FAIL tray_cycles: the clock or its icon did not appear"; return; }
  sleep 2
  out="$(vw_winmsg tray-clicks TTrayIconWindow TfrmMain 100)"
  check "tray_cycles: 50 warm-up cycles toggle the clock ($out)" grep -q 'clicks=100 toggled=100 ' <<<"$out" || return
  read -r gdi0 user0 ws0 rss0 <<<"$(tray_resources)"
  note "after 50 cycles: gdi=$gdi0 user=$user0 working_set=${ws0}KiB rss=${rss0}KiB"
  out="$(timeout 100 wine "$WINMSG" tray-clicks TTrayIconWindow TfrmMain 2000 2>/dev/null | tr -d '\r')"
  note "$out"
  check "tray_cycles: 1,000 hide/show cycles, every click toggled the clock" \
    grep -q 'clicks=2000 toggled=2000 ' <<<"$out" || return
  read -r gdi user ws rss <<<"$(tray_resources)"
  note "after 1,050 cycles: gdi=$gdi user=$user working_set=${ws}KiB rss=${rss}KiB"
  check "tray_cycles: GDI objects stay flat ($gdi0 -> $gdi)" test "${gdi:-999}" -le $(( ${gdi0:-0} + 4 ))
  check "tray_cycles: USER objects stay flat ($user0 -> $user)" test "${user:-999}" -le $(( ${user0:-0} + 4 ))
  check "tray_cycles: the working set stays flat ($ws0 -> $ws KiB)" test "${ws:-999999}" -le $(( ${ws0:-0} + 1024 ))
  check "tray_cycles: resident memory stays flat ($rss0 -> $rss KiB)" test "${rss:-999999}" -le $(( ${rss0:-0} + 1024 ))
  check "tray_cycles: the clock is shown at the end, in its place" \
    test "$(tray_visible)" = 1 -a "$(vw_winmsg rect TfrmMain | cut -d' ' -f2,3)" = "$WIN_X $WIN_Y"
  vw_stop_clock
}
