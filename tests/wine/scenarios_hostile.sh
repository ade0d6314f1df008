# Scenarios of what a user meets outside the happy path, sourced by
# run_all.sh: the app folder under a name of Cyrillic and CJK letters and
# under a path longer than 260 characters, the bundled fonts missing or
# damaged on a system without them, an absurdly large skin image, and a
# second start while the clock runs.
# shellcheck shell=bash

ALL_SCENARIOS+=(folder_unicode folder_long fonts_missing skin_huge second_start)
SCENARIO_DEADLINES[folder_unicode]=240
SCENARIO_DEADLINES[folder_long]=150
SCENARIO_DEADLINES[fonts_missing]=180

HOSTILE_INSTANT='2026-12-07 10:08:37'

hostile_not() { ! "$@" >/dev/null; }

# A copy of the app folder at the Windows path $1 (on the prefix's drive C:);
# prints its Unix path.
hostile_copy_app() {
  local unix
  unix="$(timeout 20 winepath -u "$1" 2>/dev/null | tr -d '\r')"
  [ -n "$unix" ] || return 1
  # The prefix's drive link resolved, as the process's open files show it.
  unix="$(realpath -m "$unix")"
  rm -rf "$unix"
  mkdir -p "$(dirname "$unix")"
  cp -r "$APP" "$unix" && echo "$unix"
}

# True when a clock process of this prefix has file $1 mapped (a font in
# use is mapped).
hostile_clock_maps() {
  local pid
  for pid in $(rel_clock_pids VeskClock.exe); do
    rel_maps_file "$pid" "$1" && return 0
  done
  return 1
}

# Hides the system's copies of the bundled fonts once the session is up: its
# first programs list the system's fonts anew, which would bring them back.
hostile_hide_system_fonts() {
  timeout 120 wine cmd /c exit </dev/null >/dev/null 2>&1
  rel_hide_system_fonts
}

# The Run key's value VeskClock as text, read from an export of the key
# (UTF-16; the console's code page of "reg query" cannot show every letter).
hostile_run_value() {
  local file="$VESK_WORK/run_key.reg"
  rm -f "$file"
  timeout 20 wine reg export "HKCU\\$MENU_RUN_KEY" "$(timeout 20 winepath -w "$file" | tr -d '\r')" /y >/dev/null 2>&1 ||
    return 1
  iconv -f UTF-16LE -t UTF-8 "$file" | tr -d '\r' | sed -n 's/^"VeskClock"="\(.*\)"$/\1/p' | sed 's/\\\\/\\/g'
}

# Pixels that differ between the screenshot $1 and the bare face (no text,
# over black) inside the text rectangle "L,T R,B" $2: text drawn there.
hostile_text_pixels() {
  local face="$VESK_WORK/hostile_face.png" mask="$VESK_WORK/hostile_mask.png" size
  size="$(identify -format %wx%h "$1")"
  timeout 20 convert -size "$size" xc:black "$APP/face/clockface.png" -compose over -composite -alpha off "$face"
  timeout 20 convert -size "$size" xc:black -fill white -draw "rectangle $2" -colorspace gray "$mask"
  visual_diff_count "$1" "$face" "$mask"
}

# The running clock of folder $1 draws its text inside the read-out's window
# and the label's and date's ground (the screen equals the frame tool's
# composition everywhere else), and the label and the date are there. $2
# names the case.
hostile_text_fits() {
  local what="$2" saved_app="$APP" label date
  APP="$1"
  scale_frame 96 || { echo "FAIL $what: no composition"; APP="$saved_app"; return 1; }
  scale_check_screen 96 "$what"
  label="$(hostile_text_pixels "$VESK_WORK/scale/screen_$what.png" "60,52 99,67")"
  date="$(hostile_text_pixels "$VESK_WORK/scale/screen_$what.png" "54,105 99,119")"
  check "$what: the label shows ($label pixels)" test "${label:-0}" -gt 20
  check "$what: the date shows ($date pixels)" test "${date:-0}" -gt 30
  APP="$saved_app"
}

# Starts the clock of folder $1 frozen at HOSTILE_INSTANT and waits for it.
hostile_start_frozen() {
  local saved_app="$APP"
  APP="$1"
  visual_start_clock_at "$HOSTILE_INSTANT" frozen
  APP="$saved_app"
  vw_wait_window TfrmMain 40 && sleep 1.5
}

# ---- scenarios ------------------------------------------------------------------

# C:\Часы 時計\VeskClock: the face at 100 % and the drawn 150 % set at
# 144 ppi, the bundled fonts in use, the chime opened at the full hour, and
# the startup registration naming the folder as it is.
scenario_folder_unicode() {
  local win='C:\Часы 時計\VeskClock' dir font
  why="$(visual_frame_tool)" || { echo "FAIL folder_unicode: the frame tool: $why"; return; }
  dir="$(hostile_copy_app "$win")" || { echo "FAIL folder_unicode: no copy"; return; }
  local saved_app="$APP"
  APP="$dir"
  for ppi in 144 96; do
    scale_frame "$ppi" || { echo "FAIL folder_unicode: no composition at $ppi ppi"; continue; }
    scale_set_log_pixels "$ppi"
    # At 96 ppi the text can only be in the folder's own fonts.
    [ "$ppi" = 96 ] && hostile_hide_system_fonts
    FONTCONFIG_FILE="$VESK_WORK/fonts-without-bundled.conf" visual_start_clock_at "$HOSTILE_INSTANT" frozen
    vw_wait_window TfrmMain 40 || { echo "FAIL folder_unicode: the clock did not start at $ppi ppi"; continue; }
    sleep 1.5
    scale_check_screen "$ppi" "folder_unicode_$ppi"
    if [ "$ppi" = 96 ]; then
      for font in "$dir"/fonts/*.ttf; do
        check "folder_unicode: the bundled $(basename "$font") is in use" rel_wait_for 5 hostile_clock_maps "$font"
      done
      check "folder_unicode: the startup registration names the folder ($(hostile_run_value))" \
        test "$(hostile_run_value)" = "$win\\VeskClock.exe"
      rel_show_system_fonts
    fi
    vw_stop_clock
  done
  chime_sink "$VESK_WORK/folder_unicode.raw"
  chime_start_clock "$dir" '2026-12-07 10:59:45'
  vw_wait_window TfrmMain 40
  check "folder_unicode: the chime file is opened at the full hour" chime_wait_file "$dir" open 30
  check "folder_unicode: no error box" test "$(chime_boxes)" = 0
  vw_stop_clock
  APP="$saved_app"
}

# A folder 305 characters long: the fonts are registered all the same, so
# the text fits its places and the label and date show.
scenario_folder_long() {
  local win='C:' part dir
  for part in 1 2 3 4 5 6; do win="$win\\long-folder-$part-$(printf 'x%.0s' $(seq 1 37))"; done
  win="$win\\VeskClock"
  note "folder of ${#win} characters"
  hostile_hide_system_fonts
  dir="$(hostile_copy_app "$win")" || { echo "FAIL folder_long: no copy"; rel_show_system_fonts; return; }
  FONTCONFIG_FILE="$VESK_WORK/fonts-without-bundled.conf" hostile_start_frozen "$dir" ||
    { echo "FAIL folder_long: the clock did not start"; rel_show_system_fonts; return; }
  hostile_text_fits "$dir" folder_long
  vw_stop_clock
  rel_show_system_fonts
}

# Without the fonts folder, and with a damaged seven-segment font, on a
# system without those fonts: the text fits and shows in a system font, no
# box appears and the clock closes normally.
scenario_fonts_missing() {
  local dir kind
  why="$(visual_frame_tool)" || { echo "FAIL fonts_missing: the frame tool: $why"; return; }
  hostile_hide_system_fonts
  for kind in none damaged; do
    dir="$VESK_WORK/app-fonts-$kind"
    rm -rf "$dir"
    cp -r "$APP" "$dir"
    if [ "$kind" = none ]; then
      rm -rf "$dir/fonts"
    else
      head -c 5000 /dev/urandom >"$dir/fonts/DSEG7Classic-Bold.ttf"
      : >"$dir/fonts/DSEG14Classic-Bold.ttf"
    fi
    FONTCONFIG_FILE="$VESK_WORK/fonts-without-bundled.conf" hostile_start_frozen "$dir" ||
      { echo "FAIL fonts_missing: the clock did not start ($kind)"; continue; }
    # The composition to compare with is drawn with the fonts the release
    # brings: away from the text both are the same face.
    hostile_text_fits "$APP" "fonts_missing_$kind"
    check "fonts_missing: no box ($kind)" test "$(chime_boxes)" = 0
    vw_winmsg close TfrmMain >/dev/null
    check "fonts_missing: the clock closes ($kind)" vw_wait_exit "$CLOCK_PID" 5
    CLOCK_PID=""
  done
  rel_show_system_fonts
}

# An 8192 x 8192 face: refused at once with a box naming the limit; the
# program stays closable.
scenario_skin_huge() {
  local dir="$VESK_WORK/app-huge" text t0
  rm -rf "$dir"
  cp -r "$APP" "$dir"
  timeout 60 convert -size 8192x8192 xc:none -define png:compression-level=9 "PNG32:$dir/face/clockface.png"
  vw_start_clock "$dir"
  check "skin_huge: an error box appears" vw_wait_box "Vesk Clock" 40 || return
  text="$(vw_winmsg dialog "Vesk Clock")"
  note "$text"
  check "skin_huge: it names the image and the limit" \
    grep -q 'clockface\.png" is 8192 x 8192 pixels; a skin image may be at most 2048 x 2048 pixels\.' <<<"$text"
  vw_winmsg dismiss "Vesk Clock" >/dev/null
  t0=$(vw_now_ms)
  vw_winmsg close TfrmMain >/dev/null
  check "skin_huge: WM_CLOSE ends the program" vw_wait_exit "$CLOCK_PID" 6
  note "WM_CLOSE to process gone: $(( $(vw_now_ms) - t0 )) ms"
  CLOCK_PID=""
}

# A second start while the clock runs: it brings the running clock forward,
# shows it if it was hidden, and ends within seconds without a window of its
# own, an icon of its own or a registry write; a start after the clock has
# ended runs as usual.
scenario_second_start() {
  local second t0
  tray_start "$APP" || { echo "FAIL second_start: the clock or its icon did not appear"; return; }
  local first="$CLOCK_PID"
  sleep 1
  # What the first start wrote, taken away: a second start must not write it.
  timeout 20 wine reg delete "HKCU\\$MENU_RUN_KEY" /v VeskClock /f >/dev/null 2>&1
  tray_click 1
  check "second_start: the icon hides the clock" tray_wait_visible 0 5
  t0=$(vw_now_ms)
  (cd "$APP" && exec timeout -k 5 30 wine ./VeskClock.exe >"$VESK_WORK/second.out" 2>&1) &
  second=$!
  check "second_start: the second start ends by itself" vw_wait_exit "$second" 10
  note "second start to its end: $(( $(vw_now_ms) - t0 )) ms"
  check "second_start: ... and shows the hidden clock" tray_wait_visible 1 5
  check "second_start: one clock window" \
    test "$(timeout 5 xdotool search --onlyvisible --name '^Vesk Clock$' 2>/dev/null | wc -l)" = 1
  check "second_start: one icon" tray_wait_icons 1 3
  check "second_start: the second start wrote no startup registration" hostile_not menu_run_value VeskClock
  check "second_start: the first clock runs on" vw_alive "$first"
  vw_stop_clock
  # Once it has ended, the next start is a clock of its own.
  vw_start_clock "$APP"
  check "second_start: a start after the end shows the clock again" vw_wait_window TfrmMain 40
  vw_stop_clock
}
