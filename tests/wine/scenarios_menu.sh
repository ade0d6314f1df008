# Scenarios of the clock's popup menu, sourced by run_all.sh: opening it on
# the clock, reading its items, On Top, Load at Startup (also for a copy of
# the program under another name), Exit, and a registry that refuses writes.
# The menu's items are read inside the clock's process by `winmsg menu`.
# shellcheck shell=bash

ALL_SCENARIOS+=(menu_items menu_on_top menu_startup menu_startup_copy menu_exit menu_registry_error)

MENU_RUN_KEY='Software\Microsoft\Windows\CurrentVersion\Run'
# Opaque rim points of the face (window coordinates), away from the hands.
MENU_RIM_LEFT="10 75"
MENU_RIM_BOTTOM="75 140"
MENU_ROOT="About Vesk Clock...|-|Settings[On Top+|Load at Startup+|Chimes+]|-|Exit"

# ---- helpers ------------------------------------------------------------------

# The data of value $1 of the Run key; exit 1 when there is no such value.
menu_run_value() {
  local out
  out="$(timeout 20 wine reg query "HKCU\\$MENU_RUN_KEY" /v "$1" 2>/dev/null | tr -d '\r')" || return 1
  sed -n "s/^    $1    REG_SZ    \(.*\)\$/\1/p" <<<"$out"
}

# Waits until value $1 of the Run key is $2 ("" for: no such value), at most
# $3 seconds.
menu_wait_run_value() {
  local name="$1" want="$2" max="${3:-5}" end got
  end=$(( $(vw_now_ms) + max * 1000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    got="$(menu_run_value "$name")" || got=""
    [ "$got" = "$want" ] && return 0
    sleep 0.2
  done
  echo "Run value $name is '$got', not '$want'" >&2
  return 1
}

# A Run key that can be written and holds none of the values named.
menu_clean_run() {
  local value
  vw_winmsg key-writable "$MENU_RUN_KEY" >/dev/null
  for value in "$@"; do
    timeout 20 wine reg delete "HKCU\\$MENU_RUN_KEY" /v "$value" /f >/dev/null 2>&1
  done
}

# True when a value can be written into the Run key.
menu_run_writable() {
  timeout 20 wine reg add "HKCU\\$MENU_RUN_KEY" /v VeskClock /t REG_SZ /d probe /f >/dev/null 2>&1
}

# The Windows path of a Unix file, as the program reports its own.
menu_win_path() { timeout 20 winepath -w "$1" 2>/dev/null | tr -d '\r'; }

# Reads the open menus into MENU_TEXT, waiting until $1 menu windows are
# open (at most $2 seconds).
menu_wait_open() {
  local want="$1" max="${2:-5}" end
  end=$(( $(vw_now_ms) + max * 1000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    MENU_TEXT="$(vw_winmsg menu any)"
    [ "$(grep -c '^menu ' <<<"$MENU_TEXT")" -eq "$want" ] && return 0
    sleep 0.1
  done
  echo "$want menu window(s) did not open; seen: $MENU_TEXT" >&2
  return 1
}

# Waits until no menu is open, at most $1 seconds.
menu_wait_closed() {
  local max="${1:-5}" end
  end=$(( $(vw_now_ms) + max * 1000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    vw_winmsg menu any >/dev/null
    [ $? -eq 2 ] && return 0
    sleep 0.1
  done
  return 1
}

# One line for the menu block of MENU_TEXT whose first item has the text $1:
# items joined by "|", "-" for a separator, "+" after a checked item, a
# submenu's items in brackets after its caption.
menu_summary() {
  awk -v first="$1" '
    function text(line,   i) { i = index(line, " text="); return i ? substr(line, i + 6) : "" }
    function mark(line) { return index(line, " checked=1") ? "+" : "" }
    /^menu / { block++; next }
    { lines[block] = lines[block] $0 "\n"; if (!(block in head)) head[block] = text($0) }
    END {
      for (b = 1; b <= block; b++) if (head[b] == first) chosen = lines[b]
      n = split(chosen, L, "\n"); out = ""; inner = ""; open = 0
      for (k = 1; k <= n; k++) {
        if (L[k] == "") continue
        split(L[k], f, " ")
        if (index(f[2], ".")) { inner = inner (inner == "" ? "" : "|") text(L[k]) mark(L[k]); continue }
        if (open) { out = out inner "]"; open = 0 }
        out = out (k > 1 ? "|" : "")
        if (f[3] == "separator") out = out "-"
        else if (f[3] == "submenu") { out = out text(L[k]) "["; open = 1; inner = "" }
        else out = out text(L[k]) mark(L[k])
      }
      if (open) out = out inner "]"
      print out
    }' <<<"$MENU_TEXT"
}

# "L T R B" of the shown item with the text $1 in MENU_TEXT.
menu_item_rect() {
  sed -n "s/^item [0-9]* .*rect \(-\{0,1\}[0-9]* -\{0,1\}[0-9]* -\{0,1\}[0-9]* -\{0,1\}[0-9]*\) text=$1\$/\1/p" \
    <<<"$MENU_TEXT" | head -1
}

# Moves the mouse to the middle of the shown item $1.
menu_point_at() {
  local r
  r="$(menu_item_rect "$1")"
  [ -n "$r" ] || { echo "no item $1 in: $MENU_TEXT" >&2; return 1; }
  set -- $r
  timeout 5 xdotool mousemove $(( ($1 + $3) / 2 )) $(( ($2 + $4) / 2 ))
}

# Right-clicks the clock at window point ($1, $2) and waits for its menu.
menu_open_at() {
  timeout 5 xdotool mousemove $((WIN_X + $1)) $((WIN_Y + $2))
  sleep 0.2
  timeout 5 xdotool click 3
  menu_wait_open 1 5
}

# Opens the menu at the left rim and picks Settings -> the $1-th setting
# (1 On Top, 2 Load at Startup, 3 Chimes) with the keyboard.
menu_pick_setting() {
  local downs=$(( $1 - 1 ))
  menu_open_at $MENU_RIM_LEFT || return 1
  timeout 5 xdotool key Down Down Right
  menu_wait_open 2 5 || return 1
  while [ "$downs" -gt 0 ]; do timeout 5 xdotool key Down; downs=$((downs - 1)); done
  timeout 5 xdotool key Return
  menu_wait_closed 5
}

# The topmost flag of the clock window ("0" or "1").
menu_topmost() { vw_winmsg info TfrmMain | sed -n 's/.* topmost=\([01]\).*/\1/p'; }

# Waits until the clock's topmost flag is $1, at most 3 s.
menu_wait_topmost() {
  local end
  end=$(( $(vw_now_ms) + 3000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    [ "$(menu_topmost)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

# Alpha of a skin pixel (image coordinates).
menu_skin_alpha() {
  convert "$APP/face/clockface.png" -format "%[fx:int(255*p{$1,$2}.a+.5)]" info:
}

# Presses OK on the error box and waits until it has gone, at most 5 s.
menu_dismiss_box() {
  local end
  vw_winmsg dismiss "Vesk Clock" >/dev/null
  end=$(( $(vw_now_ms) + 5000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    vw_winmsg dialog "Vesk Clock" >/dev/null
    [ $? -eq 2 ] && return 0
    sleep 0.1
  done
  return 1
}

# Starts the program $2 (file name) of the app folder $1 like vw_start_clock.
menu_start_named() {
  (cd "$1" && exec timeout -k 5 120 wine "./$2" >"$VESK_WORK/clock.out" 2>&1) &
  CLOCK_PID=$!
}

# ---- scenarios ------------------------------------------------------------------

# A right-click on a visible pixel opens the menu at the mouse with every item
# in order and the three settings checked; a right-click on a transparent
# pixel reaches no menu; the keyboard opens the submenu; Escape closes it all.
scenario_menu_items() {
  local shot="$VESK_WORK/screenshots/menu_open.png" t0 rect
  mkdir -p "$VESK_WORK/screenshots"
  check "menu_items: the rim points are opaque in the skin" \
    test "$(menu_skin_alpha $MENU_RIM_LEFT)" = 255 -a "$(menu_skin_alpha $MENU_RIM_BOTTOM)" = 255 || return
  menu_clean_run VeskClock
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL menu_items: the clock did not start"; return; }
  sleep 1  # past the fade-in: invisible pixels take no clicks

  timeout 5 xdotool mousemove $((WIN_X + 1)) $((WIN_Y + 1)); sleep 0.2
  timeout 5 xdotool click 3; sleep 0.7
  check "menu_items: a right-click on a transparent pixel opens no menu" \
    test "$(vw_winmsg menu any >/dev/null; echo $?)" = 2

  t0=$(vw_now_ms)
  check "menu_items: a right-click on the rim opens a menu" menu_open_at $MENU_RIM_LEFT || return
  note "right-click to menu read: $(( $(vw_now_ms) - t0 )) ms"
  note "$(head -1 <<<"$MENU_TEXT")"
  rect="$(sed -n 's/^menu 0 rect \([0-9]* [0-9]*\) .*/\1/p' <<<"$MENU_TEXT")"
  set -- $MENU_RIM_LEFT
  check "menu_items: its top-left corner is at the mouse ($rect)" test "$rect" = "$((WIN_X + $1)) $((WIN_Y + $2))"
  check "menu_items: items, separators, submenu and checks are as built ($(menu_summary "About Vesk Clock..."))" \
    test "$(menu_summary "About Vesk Clock...")" = "$MENU_ROOT"
  check "menu_items: the items carry their command ids" \
    test "$(sed -n 's/^item \([0-9.]*\) id=\(0x[0-9a-f]*\) .*/\1=\2/p' <<<"$MENU_TEXT" | tr '\n' ' ')" = \
    "0=0x101 2.0=0x103 2.1=0x104 2.2=0x105 4=0x106 "

  timeout 5 xdotool key Down Down Right
  check "menu_items: Down, Down, Right opens the Settings submenu" menu_wait_open 2 5 &&
    check "menu_items: the open submenu shows the three checked settings" \
      test "$(menu_summary "On Top")" = "On Top+|Load at Startup+|Chimes+"
  sleep 0.3
  vw_shot "$shot"
  note "screenshot: $shot"

  timeout 5 xdotool key Escape Escape
  check "menu_items: Escape closes the menus" menu_wait_closed 5
  check "menu_items: the clock runs on, still on top" \
    grep -q 'visible=1 topmost=1' <<<"$(vw_winmsg info TfrmMain)"
  vw_stop_clock
  menu_clean_run VeskClock
}

# On Top, chosen with the keyboard and then with the mouse: each choice acts
# at once, the window keeps its place and size, and the menu shows the new
# check when opened again.
scenario_menu_on_top() {
  local rect0 rect
  menu_clean_run VeskClock
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL menu_on_top: the clock did not start"; return; }
  sleep 1
  rect0="$(vw_winmsg rect TfrmMain)"
  check "menu_on_top: the clock starts on top" test "$(menu_topmost)" = 1

  check "menu_on_top: Settings, On Top chosen with the keyboard" menu_pick_setting 1
  check "menu_on_top: the window is no longer topmost" menu_wait_topmost 0
  rect="$(vw_winmsg rect TfrmMain)"
  check "menu_on_top: it keeps its place and size ($rect)" test "$rect" = "$rect0"
  check "menu_on_top: the menu opens again" menu_open_at $MENU_RIM_LEFT || return
  check "menu_on_top: On Top shows unchecked, the others checked" \
    test "$(menu_summary "About Vesk Clock...")" = \
    "About Vesk Clock...|-|Settings[On Top|Load at Startup+|Chimes+]|-|Exit"

  # The same with the mouse: hover Settings, click On Top.
  menu_point_at "Settings"
  check "menu_on_top: hovering Settings opens the submenu" menu_wait_open 2 5 || return
  menu_point_at "On Top" && sleep 0.2 && timeout 5 xdotool click 1
  check "menu_on_top: the click closes the menu" menu_wait_closed 5
  check "menu_on_top: the window is topmost again" menu_wait_topmost 1
  rect="$(vw_winmsg rect TfrmMain)"
  check "menu_on_top: still in its place and size ($rect)" test "$rect" = "$rect0"
  check "menu_on_top: the menu opens a third time" menu_open_at $MENU_RIM_LEFT || return
  check "menu_on_top: On Top shows checked again" \
    test "$(menu_summary "About Vesk Clock...")" = "$MENU_ROOT"
  timeout 5 xdotool key Escape
  menu_wait_closed 5
  vw_stop_clock
  menu_clean_run VeskClock
}

# The program registers itself at start; unchecking Load at Startup removes
# the value at once, checking it writes it again; the value stays after exit.
scenario_menu_startup() {
  local path
  path="$(menu_win_path "$APP/VeskClock.exe")"
  menu_clean_run VeskClock
  check "menu_startup: no VeskClock value before the start" test "$(menu_run_value VeskClock; echo $?)" = 1
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL menu_startup: the clock did not start"; return; }
  check "menu_startup: the start registers VeskClock = $path" menu_wait_run_value VeskClock "$path" 5
  sleep 0.5
  check "menu_startup: unchecking Load at Startup" menu_pick_setting 2
  check "menu_startup: ... removes the value" menu_wait_run_value VeskClock "" 5
  check "menu_startup: the menu shows Load at Startup unchecked" menu_open_at $MENU_RIM_LEFT &&
    check "menu_startup: ... and the other two checked" \
      test "$(menu_summary "About Vesk Clock...")" = \
      "About Vesk Clock...|-|Settings[On Top+|Load at Startup|Chimes+]|-|Exit"
  timeout 5 xdotool key Escape
  menu_wait_closed 5
  check "menu_startup: checking it again" menu_pick_setting 2
  check "menu_startup: ... writes the value again" menu_wait_run_value VeskClock "$path" 5
  vw_stop_clock
  check "menu_startup: the value stays after the program ended" test "$(menu_run_value VeskClock)" = "$path"
  menu_clean_run VeskClock
}

# A copy under another name registers a value of its own and leaves the
# first program's value alone, also when it removes its own.
scenario_menu_startup_copy() {
  local first second
  cp "$APP/VeskClock.exe" "$APP/OtherClock.exe"
  first="$(menu_win_path "$APP/VeskClock.exe")"
  second="$(menu_win_path "$APP/OtherClock.exe")"
  menu_clean_run VeskClock OtherClock
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL menu_startup_copy: the clock did not start"; return; }
  check "menu_startup_copy: VeskClock.exe registers VeskClock" menu_wait_run_value VeskClock "$first" 5
  vw_stop_clock
  menu_start_named "$APP" OtherClock.exe
  vw_wait_window TfrmMain 40 || { echo "FAIL menu_startup_copy: the copy did not start"; return; }
  check "menu_startup_copy: OtherClock.exe registers OtherClock = $second" \
    menu_wait_run_value OtherClock "$second" 5
  check "menu_startup_copy: the VeskClock value is untouched" test "$(menu_run_value VeskClock)" = "$first"
  sleep 0.5
  check "menu_startup_copy: the copy unchecks Load at Startup" menu_pick_setting 2
  check "menu_startup_copy: its own value goes" menu_wait_run_value OtherClock "" 5
  check "menu_startup_copy: the first program's value stays" test "$(menu_run_value VeskClock)" = "$first"
  vw_stop_clock
  menu_clean_run VeskClock OtherClock
  rm -f "$APP/OtherClock.exe"
}

# Exit fades the clock out (watched on a rim pixel outside the menu) and
# ends the program.
scenario_menu_exit() {
  local watch="$VESK_WORK/menu_exit_watch.txt" watcher summary changes first gone
  menu_clean_run VeskClock
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL menu_exit: the clock did not start"; return; }
  sleep 1
  check "menu_exit: the menu opens on the bottom rim" menu_open_at $MENU_RIM_BOTTOM || return
  set -- $MENU_RIM_LEFT
  vw_winmsg watch-fade TfrmMain $((WIN_X + $1)) $((WIN_Y + $2)) 8 >"$watch" &
  watcher=$!
  sleep 0.8  # the watcher starts
  timeout 5 xdotool key Down Down Down Return
  wait "$watcher"
  summary="$(tail -1 "$watch")"
  note "$summary"
  note "pixel levels: $(sed '$d' "$watch" | cut -d= -f2 | tr '\n' ' ')"
  changes="$(sed -n 's/.*changes=\([0-9]*\).*/\1/p' <<<"$summary")"
  first="$(sed -n 's/.*first_change_ms=\(-\{0,1\}[0-9]*\).*/\1/p' <<<"$summary")"
  gone="$(sed -n 's/.*gone_ms=\(-\{0,1\}[0-9]*\).*/\1/p' <<<"$summary")"
  check "menu_exit: the clock fades out in at least 10 visible steps (${changes:-0})" test "${changes:-0}" -ge 10
  check "menu_exit: the window is gone 100..1000 ms after the fade began ($(( ${gone:--1} - ${first:-0} )) ms)" \
    test "${gone:--1}" -ge 0 -a $(( ${gone:--1} - ${first:-0} )) -ge 100 -a $(( ${gone:--1} - ${first:-0} )) -le 1000
  check "menu_exit: the process ends" vw_wait_exit "$CLOCK_PID" 3
  CLOCK_PID=""
  menu_clean_run VeskClock
}

# With a Run key that refuses writes, the registration at start and the menu
# command report "Failed to set data for 'VeskClock'" in the error box (no
# full stop after the quote) and the program goes on: the window is shown and
# on top after the start-up box.
scenario_menu_registry_error() {
  local text
  menu_clean_run VeskClock
  # However the scenario ends, later ones find a writable Run key.
  trap 'if [ -n "$CLOCK_PID" ] && vw_alive "$CLOCK_PID"; then vw_stop_clock; fi
        vw_winmsg key-writable "$MENU_RUN_KEY" >/dev/null' EXIT
  check "menu_registry_error: the Run key is made read-only" vw_winmsg key-read-only "$MENU_RUN_KEY" || return
  vw_start_clock "$APP"
  check "menu_registry_error: an error box appears at start" vw_wait_box "Vesk Clock" 40 || {
    menu_clean_run VeskClock
    return
  }
  text="$(vw_winmsg dialog "Vesk Clock")"
  note "$text"
  check "menu_registry_error: it says Failed to set data for 'VeskClock'" \
    test "$text" = "text=Failed to set data for 'VeskClock'"
  check "menu_registry_error: OK closes the box" menu_dismiss_box
  check "menu_registry_error: the window is shown after OK" vw_wait_window TfrmMain 10 &&
    check "menu_registry_error: ... on top" menu_wait_topmost 1 &&
    check "menu_registry_error: ... visible" grep -q 'visible=1' <<<"$(vw_winmsg info TfrmMain)"
  sleep 1
  # Unchecking cannot remove the value either; checking again cannot write it.
  menu_pick_setting 2
  check "menu_registry_error: unchecking reports the failed removal" vw_wait_box "Vesk Clock" 10 &&
    check "menu_registry_error: ... Failed to delete value 'VeskClock'" \
      test "$(vw_winmsg dialog "Vesk Clock")" = "text=Failed to delete value 'VeskClock'"
  menu_dismiss_box
  menu_pick_setting 2
  check "menu_registry_error: checking again reports the failed write" vw_wait_box "Vesk Clock" 10 &&
    check "menu_registry_error: ... Failed to set data for 'VeskClock'" \
      test "$(vw_winmsg dialog "Vesk Clock")" = "text=Failed to set data for 'VeskClock'"
  menu_dismiss_box
  check "menu_registry_error: the program runs on" vw_alive "$CLOCK_PID"
  menu_clean_run VeskClock
  vw_stop_clock
  check "menu_registry_error: the Run key is writable again" menu_run_writable
  menu_clean_run VeskClock
}
