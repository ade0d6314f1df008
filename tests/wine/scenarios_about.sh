# Scenarios of the About command, sourced by run_all.sh: the product page
# handed to the browser once per click, with the browser's "AllowWindowReuse"
# setting as it was before after each click, and a setting of the wrong type
# reported without opening anything. Wine hands http addresses to the
# programs listed in its own setting HKCU\Software\Wine\WineBrowser
# "Browsers"; the tests list a small script there that records its
# arguments.
# shellcheck shell=bash

ALL_SCENARIOS+=(about_page about_bad_setting)

ABOUT_IE_KEY='HKCU\Software\Microsoft\Internet Explorer\Main'
ABOUT_WINE_BROWSER_KEY='HKCU\Software\Wine\WineBrowser'
ABOUT_CALLS="$VESK_WORK/about_calls.txt"
ABOUT_BROWSER="$VESK_WORK/about_browser.sh"

# ---- helpers ------------------------------------------------------------------

# The page address the build opens: the host of the Windows build's
# VESK_PRODUCT_HOST, or the built-in example host.
about_expected_address() {
  local host
  host="$(sed -n 's/^VESK_PRODUCT_HOST:STRING=\(.*\)$/\1/p' "$VESK_BUILD_DIR/CMakeCache.txt" 2>/dev/null)"
  echo "http://${host:-veskclock.example.com}/veskclock.php?t=1"
}

# Makes the recording browser and lists it as Wine's only browser. Each call
# appends one line: "call" and each argument in brackets.
about_install_browser() {
  rm -f "$ABOUT_CALLS"
  cat >"$ABOUT_BROWSER" <<SCRIPT
#!/bin/sh
{ printf 'call'; for a in "\$@"; do printf ' [%s]' "\$a"; done; printf '\n'; } >>'$ABOUT_CALLS'
SCRIPT
  chmod +x "$ABOUT_BROWSER"
  timeout 20 wine reg add "$ABOUT_WINE_BROWSER_KEY" /v Browsers /t REG_SZ /d "$ABOUT_BROWSER" /f >/dev/null 2>&1
}

about_remove_browser() {
  timeout 20 wine reg delete "$ABOUT_WINE_BROWSER_KEY" /f >/dev/null 2>&1
}

# "absent", or the type and data of AllowWindowReuse ("REG_DWORD 0x1").
about_setting() {
  local out
  out="$(timeout 20 wine reg query "$ABOUT_IE_KEY" /v AllowWindowReuse 2>/dev/null | tr -d '\r')" ||
    { echo absent; return; }
  sed -n 's/^    AllowWindowReuse    \(REG_[A-Z_]*\)    \(.*\)$/\1 \2/p' <<<"$out"
}

# Waits until the setting is $1, at most 3 s.
about_wait_setting() {
  local end got
  end=$(( $(vw_now_ms) + 3000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    got="$(about_setting)"
    [ "$got" = "$1" ] && return 0
    sleep 0.2
  done
  echo "AllowWindowReuse is '$got', not '$1'" >&2
  return 1
}

# Number of calls the browser received.
about_calls() { [ -f "$ABOUT_CALLS" ] && wc -l <"$ABOUT_CALLS" | tr -d ' ' || echo 0; }

# Waits until the browser received $1 calls, at most $2 s.
about_wait_calls() {
  local end
  end=$(( $(vw_now_ms) + ${2:-10} * 1000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    [ "$(about_calls)" -ge "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

# Opens the clock's menu at the left rim and clicks "About Vesk Clock...".
about_choose() {
  menu_open_at $MENU_RIM_LEFT || return 1
  menu_point_at "About Vesk Clock..." || return 1
  sleep 0.2
  timeout 5 xdotool click 1
  menu_wait_closed 5
}

# Sets AllowWindowReuse as $1 says ("absent" or "1") before the clock starts.
about_seed_setting() {
  timeout 20 wine reg add "$ABOUT_IE_KEY" /f >/dev/null 2>&1  # the key the browser keeps its settings in
  if [ "$1" = absent ]; then
    timeout 20 wine reg delete "$ABOUT_IE_KEY" /v AllowWindowReuse /f >/dev/null 2>&1
  else
    timeout 20 wine reg add "$ABOUT_IE_KEY" /v AllowWindowReuse /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  fi
}

# ---- scenarios ------------------------------------------------------------------

# Two runs, the setting absent and then 1: each of two clicks hands the
# browser exactly the page address, once, and leaves the setting as it was;
# no error box appears.
scenario_about_page() {
  local address before want click t0 line
  address="$(about_expected_address)"
  trap 'if [ -n "$CLOCK_PID" ] && vw_alive "$CLOCK_PID"; then vw_stop_clock; fi; about_remove_browser' EXIT
  about_install_browser
  for before in absent 1; do
    want="$before"
    [ "$before" = 1 ] && want="REG_DWORD 0x1"
    about_seed_setting "$before"
    check "about_page ($before): AllowWindowReuse is '$want' before the start" test "$(about_setting)" = "$want"
    rm -f "$ABOUT_CALLS"
    vw_start_clock "$APP"
    vw_wait_window TfrmMain 40 || { echo "FAIL about_page: the clock did not start"; return; }
    sleep 1  # past the fade-in: invisible pixels take no clicks
    for click in 1 2; do
      t0=$(vw_now_ms)
      check "about_page ($before): About chosen from the menu, click $click" about_choose || break
      check "about_page ($before): the browser is called for click $click" about_wait_calls "$click" 10
      note "click $click to browser call: $(( $(vw_now_ms) - t0 )) ms"
      line="$(sed -n "${click}p" "$ABOUT_CALLS" 2>/dev/null)"
      check "about_page ($before): ... with exactly the page address ($line)" test "$line" = "call [$address]"
      check "about_page ($before): AllowWindowReuse is '$want' again after click $click" about_wait_setting "$want"
    done
    sleep 1
    check "about_page ($before): one browser call per click, no more ($(about_calls))" test "$(about_calls)" = 2
    check "about_page ($before): no error box" test "$(vw_winmsg dialog "Vesk Clock" >/dev/null; echo $?)" = 2
    vw_stop_clock
  done
  about_seed_setting absent
}

# AllowWindowReuse of the wrong type: the error box says so, the browser is
# not called and the value stays as it was; the clock runs on.
scenario_about_bad_setting() {
  local text
  trap 'if [ -n "$CLOCK_PID" ] && vw_alive "$CLOCK_PID"; then vw_stop_clock; fi; about_remove_browser
        timeout 20 wine reg delete "$ABOUT_IE_KEY" /v AllowWindowReuse /f >/dev/null 2>&1' EXIT
  about_install_browser
  timeout 20 wine reg add "$ABOUT_IE_KEY" /v AllowWindowReuse /t REG_SZ /d 1 /f >/dev/null 2>&1
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL about_bad_setting: the clock did not start"; return; }
  sleep 1
  check "about_bad_setting: About chosen from the menu" about_choose || return
  check "about_bad_setting: an error box appears" vw_wait_box "Vesk Clock" 10 || return
  text="$(vw_winmsg dialog "Vesk Clock")"
  note "$text"
  check "about_bad_setting: it says Invalid data type for 'AllowWindowReuse'" \
    test "$text" = "text=Invalid data type for 'AllowWindowReuse'"
  check "about_bad_setting: OK closes the box" menu_dismiss_box
  sleep 1
  check "about_bad_setting: the browser was not called" test "$(about_calls)" = 0
  check "about_bad_setting: the value is unchanged" test "$(about_setting)" = "REG_SZ 1"
  check "about_bad_setting: the clock runs on" vw_alive "$CLOCK_PID"
  vw_stop_clock
}
