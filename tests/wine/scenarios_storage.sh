# Scenarios of the settings storage, sourced by run_all.sh: the key written at
# the first close, a moved window and an unchecked On Top surviving a
# restart, a stored position from another resolution or off the screen, a
# value of the wrong type, a stored Load at Startup that is off, and the save
# on the end-of-session path. The key is read and seeded with `wine reg`.
# shellcheck shell=bash

ALL_SCENARIOS+=(storage_first_run storage_round_trip storage_ppi storage_off_screen storage_bad_type
  storage_startup_off storage_end_session)

STORAGE_KEY='HKCU\Software\VeskClock'

# ---- helpers ------------------------------------------------------------------

# `wine reg query` of the key, without carriage returns.
storage_query() { timeout 20 wine reg query "$STORAGE_KEY" 2>/dev/null | tr -d '\r'; }

# "TYPE DATA" of value $1 in the query text $2.
storage_value_in() {
  sed -n "s/^    $1    \(REG_[A-Z_]*\)    \(.*\)\$/\1 \2/p" <<<"$2"
}

storage_reset() { timeout 20 wine reg delete "$STORAGE_KEY" /f >/dev/null 2>&1; return 0; }

# Seeds value $1 of type $2 with data $3.
storage_seed() { timeout 20 wine reg add "$STORAGE_KEY" /v "$1" /t "$2" /d "$3" /f >/dev/null 2>&1; }

# "L T R B" of the clock window.
storage_rect() { vw_winmsg rect TfrmMain | sed -n 's/^rect //p'; }

# The face's size, "W H".
storage_face_size() { identify -format '%w %h' "$APP/face/clockface.png"; }

# Starts the clock and waits for its window and the end of the fade-in.
storage_start() {
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || return 1
  sleep 0.8
}

# Drags the clock by its left rim so that its corner goes to ($1, $2). The
# window manager's move loop trails the pointer by the drag's first step, so
# that step is one pixel, and the pointer ends one pixel beyond the target.
storage_drag_to() {
  local x=$((WIN_X + 10)) y=$((WIN_Y + 75))
  timeout 5 xdotool mousemove "$x" "$y"; sleep 0.1
  timeout 5 xdotool mousedown 1; sleep 0.1
  timeout 5 xdotool mousemove $((x + 1)) $((y + 1)); sleep 0.05
  storage_drag_steps $((x + 1)) $((y + 1)) $(($1 + 10 + 1)) $(($2 + 75 + 1))
  sleep 0.1
  timeout 5 xdotool mouseup 1
}

# Pointer moves from ($1, $2) to ($3, $4) in steps of at most 8 pixels.
storage_drag_steps() {
  local dx=$(($3 - $1)) dy=$(($4 - $2)) n i
  n=$(( (dx < 0 ? -dx : dx) > (dy < 0 ? -dy : dy) ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy) ))
  n=$(( (n + 7) / 8 ))
  [ "$n" -ge 1 ] || n=1
  for i in $(seq 1 "$n"); do
    timeout 5 xdotool mousemove $(($1 + dx * i / n)) $(($2 + dy * i / n))
    sleep 0.03
  done
}

# ---- scenarios ------------------------------------------------------------------

# A first run without a key: the clock stands at its design place and the
# close writes every value as a string.
scenario_storage_first_run() {
  local q w h norm expected name
  read -r w h <<<"$(storage_face_size)"
  norm="192,114,$((192 + w)),$((114 + h))"
  storage_reset
  storage_start || { echo "FAIL storage_first_run: the clock did not start"; return; }
  check "storage_first_run: design position" test "$(storage_rect)" = "192 114 $((192 + w)) $((114 + h))"
  vw_stop_clock
  q="$(storage_query)"
  note "$(grep -c REG_ <<<"$q") values after the first close"
  for expected in "FormVersion=REG_SZ 0" "ShowCmd=REG_SZ 1" "PixelsPerInch=REG_SZ 96" \
    "NormPos(1024x768)=REG_SZ $norm" "NormPos=REG_SZ $norm" "Visible=REG_SZ 0" \
    "LoadatStartup1_Checked=REG_SZ True" "OnTop1_Checked=REG_SZ True" "Chimes1_Checked=REG_SZ True"; do
    name="${expected%%=*}"
    check "storage_first_run: $name is '${expected#*=}'" test "$(storage_value_in "$name" "$q")" = "${expected#*=}"
  done
  check "storage_first_run: Flags, MinMaxPos(1024x768) and MinMaxPos are strings" \
    test "$(storage_value_in Flags "$q" | cut -d' ' -f1)$(storage_value_in 'MinMaxPos(1024x768)' "$q" | cut -d' ' -f1)$(storage_value_in MinMaxPos "$q" | cut -d' ' -f1)" = REG_SZREG_SZREG_SZ
  check "storage_first_run: twelve values, all REG_SZ" \
    test "$(grep -c '    REG_SZ    ' <<<"$q")" = 12 -a "$(grep -c '    REG_' <<<"$q")" = 12
}

# Drag the clock to about (300, 200), uncheck On Top, close: the key holds
# the new place and the mark, and the next start shows both.
scenario_storage_round_trip() {
  local q rect l t r b dump="$VESK_WORK/storage_round_trip.reg.txt"
  storage_reset
  menu_clean_run VeskClock
  storage_start || { echo "FAIL storage_round_trip: the clock did not start"; return; }
  storage_drag_to 300 200
  sleep 0.5
  rect="$(storage_rect)"
  read -r l t r b <<<"$rect"
  note "after the drag: $rect"
  check "storage_round_trip: the drag moved the clock to (300, 200)" test "$l $t" = "300 200"
  WIN_X=$l WIN_Y=$t
  check "storage_round_trip: On Top unchecked in the menu" menu_pick_setting 1
  check "storage_round_trip: ... and the clock is no longer topmost" menu_wait_topmost 0
  vw_stop_clock
  q="$(storage_query)"
  printf '%s\n' "$q" >"$dump"
  note "key after the round trip: $dump (NormPos $(storage_value_in NormPos "$q"), OnTop1_Checked $(storage_value_in OnTop1_Checked "$q"))"
  check "storage_round_trip: NormPos is $l,$t,$r,$b" test "$(storage_value_in NormPos "$q")" = "REG_SZ $l,$t,$r,$b"
  check "storage_round_trip: NormPos(1024x768) too" \
    test "$(storage_value_in 'NormPos(1024x768)' "$q")" = "REG_SZ $l,$t,$r,$b"
  check "storage_round_trip: OnTop1_Checked is False" test "$(storage_value_in OnTop1_Checked "$q")" = "REG_SZ False"
  storage_start || { echo "FAIL storage_round_trip: the clock did not start again"; return; }
  check "storage_round_trip: the next start shows the clock at ($l, $t)" test "$(storage_rect)" = "$l $t $r $b"
  check "storage_round_trip: ... not topmost" test "$(menu_topmost)" = 0
  check "storage_round_trip: the menu opens on the moved clock" menu_open_at $MENU_RIM_LEFT &&
    check "storage_round_trip: ... with On Top unchecked, the others checked" \
      test "$(menu_summary "About Vesk Clock...")" = \
      "About Vesk Clock...|-|Settings[On Top|Load at Startup+|Chimes+]|-|Exit"
  timeout 5 xdotool key Escape
  menu_wait_closed 5
  vw_stop_clock
  WIN_X=192 WIN_Y=114
}

# A position stored at another resolution is not used.
scenario_storage_ppi() {
  local w h
  read -r w h <<<"$(storage_face_size)"
  storage_reset
  storage_seed PixelsPerInch REG_SZ 120
  storage_seed NormPos REG_SZ "300,200,450,350"
  storage_start || { echo "FAIL storage_ppi: the clock did not start"; return; }
  check "storage_ppi: PixelsPerInch 120 keeps the design position" \
    test "$(storage_rect)" = "192 114 $((192 + w)) $((114 + h))"
  vw_stop_clock
}

# A stored position off every monitor: the clock starts visible on the
# screen, with its size; the stored value stays until the next save.
scenario_storage_off_screen() {
  local l t r b w h
  read -r w h <<<"$(storage_face_size)"
  storage_reset
  storage_seed NormPos REG_SZ "5000,5000,5150,5150"
  storage_start || { echo "FAIL storage_off_screen: the clock did not start"; return; }
  read -r l t r b <<<"$(storage_rect)"
  note "placed at $l $t $r $b"
  check "storage_off_screen: the clock lies inside the 1024 x 768 screen" \
    test "$l" -ge 0 -a "$t" -ge 0 -a "$r" -le 1024 -a "$b" -le 768
  check "storage_off_screen: ... with its size" test "$((r - l)) $((b - t))" = "$w $h"
  check "storage_off_screen: ... and visible" grep -q 'visible=1' <<<"$(vw_winmsg info TfrmMain)"
  check "storage_off_screen: the stored NormPos is not rewritten before the close" \
    test "$(storage_value_in NormPos "$(storage_query)")" = "REG_SZ 5000,5000,5150,5150"
  vw_stop_clock
  check "storage_off_screen: the close stores the new place" \
    test "$(storage_value_in NormPos "$(storage_query)")" = "REG_SZ $l,$t,$r,$b"
}

# A REG_DWORD FormVersion: the error box, then the clock carries on as if
# that value were absent (the rest of the key is read: the stored place, not
# on top), the close writes the whole key anew, and the next start is clean.
scenario_storage_bad_type() {
  local after
  storage_reset
  storage_seed FormVersion REG_DWORD 0
  storage_seed NormPos REG_SZ "300,200,450,350"
  storage_seed OnTop1_Checked REG_SZ False
  vw_start_clock "$APP"
  check "storage_bad_type: an error box appears" vw_wait_box "Vesk Clock" 40 || return
  # No full stop is added after a closing quote.
  check "storage_bad_type: it says Invalid data type for 'FormVersion'" \
    test "$(vw_winmsg dialog "Vesk Clock")" = "text=Invalid data type for 'FormVersion'"
  check "storage_bad_type: OK closes the box" menu_dismiss_box
  check "storage_bad_type: the clock is shown" vw_wait_window TfrmMain 10
  sleep 0.8
  check "storage_bad_type: ... at the stored place" test "$(storage_rect | cut -d' ' -f1,2)" = "300 200"
  check "storage_bad_type: ... not on top (OnTop1_Checked False read)" menu_wait_topmost 0
  vw_stop_clock
  after="$(storage_query)"
  check "storage_bad_type: the close rewrites FormVersion as a string" \
    test "$(storage_value_in FormVersion "$after")" = "REG_SZ 0"
  check "storage_bad_type: ... and keeps the place" test "$(storage_value_in NormPos "$after")" = "REG_SZ 300,200,450,350"
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40
  sleep 2
  check "storage_bad_type: the next start shows no box" test "$(vw_winmsg dialog "Vesk Clock" >/dev/null; echo $?)" = 2
  vw_stop_clock
}

# A stored Load at Startup that is off removes the Run value at start.
scenario_storage_startup_off() {
  menu_clean_run VeskClock
  check "storage_startup_off: a Run value VeskClock is there before" menu_run_writable
  storage_reset
  storage_seed LoadatStartup1_Checked REG_SZ False
  storage_start || { echo "FAIL storage_startup_off: the clock did not start"; return; }
  check "storage_startup_off: the start removes it" menu_wait_run_value VeskClock "" 5
  vw_stop_clock
  check "storage_startup_off: the close keeps LoadatStartup1_Checked False" \
    test "$(storage_value_in LoadatStartup1_Checked "$(storage_query)")" = "REG_SZ False"
  menu_clean_run VeskClock
}

# The end of the session closes the clock through its fade-out, and the
# close saves.
scenario_storage_end_session() {
  local q
  storage_reset
  menu_clean_run VeskClock
  storage_start || { echo "FAIL storage_end_session: the clock did not start"; return; }
  check "storage_end_session: Chimes unchecked in the menu" menu_pick_setting 3
  timeout 30 wine wineboot --end-session >/dev/null 2>&1
  check "storage_end_session: the clock closes" vw_wait_exit "$CLOCK_PID" 5
  CLOCK_PID=""
  q="$(storage_query)"
  check "storage_end_session: Chimes1_Checked is False" test "$(storage_value_in Chimes1_Checked "$q")" = "REG_SZ False"
  check "storage_end_session: Visible is 0 (saved at the allowed close)" \
    test "$(storage_value_in Visible "$q")" = "REG_SZ 0"
  menu_clean_run VeskClock
}
