# Scenarios of the release, sourced by run_all.sh: the portable zip unpacked
# into a folder whose path has spaces and non-ASCII letters, and the per-user
# installer: a silent installation, the installed clock, an upgrade in place
# while the clock runs, and a silent removal.
#
# The release is the one in $VESK_RELEASE_DIR when it holds one (the release
# stage of scripts/test.sh sets it), otherwise one made from the Windows build
# into $VESK_WORK/release by scripts/make_release.sh (a few seconds), once in
# each run of run_all.sh, so a release left by an earlier run is never tested.
# shellcheck shell=bash

ALL_SCENARIOS+=(release_portable release_install release_upgrade release_uninstall release_scale_installed
  release_scale_portable release_pages)
SCENARIO_DEADLINES[release_portable]=120
SCENARIO_DEADLINES[release_uninstall]=120
# The first scenario to need the frame tool may build it.
SCENARIO_DEADLINES[release_scale_installed]=480
SCENARIO_DEADLINES[release_scale_portable]=180
SCENARIO_DEADLINES[release_pages]=150

REL_UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VeskClock'
REL_RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
REL_SETTINGS_KEY='HKCU\Software\VeskClock'
REL_VERSION_INFO="$VESK_BUILD_DIR/tests/version_info.exe"

# ---- helpers ------------------------------------------------------------------

# Sets REL_DIR, REL_VERSION, REL_ZIP, REL_SETUP, REL_FOLDER (the unpacked
# release folder beside them); makes the release when there is none.
rel_release() {
  [ -f "$VESK_BUILD_DIR/release_info.env" ] || { echo "no $VESK_BUILD_DIR/release_info.env" >&2; return 1; }
  # shellcheck source=/dev/null
  source "$VESK_BUILD_DIR/release_info.env"
  REL_VERSION="$VESK_VERSION"
  REL_DIR="${VESK_RELEASE_DIR:-$VESK_WORK/release}"
  REL_ZIP="$REL_DIR/VeskClock-$REL_VERSION.zip"
  REL_SETUP="$REL_DIR/VeskClock-$REL_VERSION-setup.exe"
  REL_FOLDER="$REL_DIR/VeskClock-$REL_VERSION"
  local made="$VESK_WORK/release.made-in-run"
  if [ ! -f "$REL_ZIP" ] || [ ! -f "$REL_SETUP" ] ||
    { [ -z "${VESK_RELEASE_DIR:-}" ] && [ "$(cat "$made" 2>/dev/null)" != "${VESK_RUN_ID:-}" ]; }; then
    timeout 120 "$VESK_ROOT/scripts/make_release.sh" --no-build --build-dir "$VESK_BUILD_DIR" --out "$REL_DIR" \
      >"$VESK_WORK/make_release.log" 2>&1 || { tail -5 "$VESK_WORK/make_release.log" >&2; return 1; }
    [ -n "${VESK_RELEASE_DIR:-}" ] || echo "${VESK_RUN_ID:-}" >"$made"
  fi
  if [ ! -f "$REL_VERSION_INFO" ]; then
    timeout 300 cmake --build "$VESK_BUILD_DIR" --target version_info >"$VESK_WORK/version_info_build.log" 2>&1 ||
      { tail -5 "$VESK_WORK/version_info_build.log" >&2; return 1; }
  fi
}

# The Unix path of a Windows path.
rel_unix_path() { timeout 20 winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# Sets REL_INSTDIR_WIN / REL_INSTDIR (the default installation folder) and
# REL_SHORTCUT (the Start-menu shortcut), as Windows and Unix paths.
rel_paths() {
  local local_app programs
  local_app="$(timeout 20 wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')"
  programs="$(timeout 20 wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs"
  REL_INSTDIR_WIN="$local_app\\Programs\\Vesk Clock"
  REL_INSTDIR="$(rel_unix_path "$REL_INSTDIR_WIN")"
  REL_SHORTCUT="$(rel_unix_path "$programs")/Vesk Clock.lnk"
  [ -n "$local_app" ] && [ -n "$REL_INSTDIR" ]
}

# Value $2 of key $1 ("" and exit 1 when it does not exist).
rel_reg_value() {
  local out
  out="$(timeout 20 wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r')" || return 1
  sed -n "s/^    $2    REG_[A-Z_]*    \(.*\)\$/\1/p" <<<"$out"
}
rel_key_exists() { timeout 20 wine reg query "$1" >/dev/null 2>&1; }

# Waits until command "$@" succeeds, at most $1 seconds.
rel_wait_for() {
  local max="$1" end
  shift
  end=$(( $(vw_now_ms) + max * 1000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}
rel_not() { ! "$@"; }

# Runs the installer silently; waits for it (60 s at most).
rel_install() { timeout 60 wine "$REL_SETUP" /S >/dev/null 2>&1; }

# True when every file of the release folder is in the installation folder
# with the same bytes (names what is not).
rel_installed_as_released() {
  local rel differ=0
  while IFS= read -r rel; do
    [ -f "$REL_INSTDIR/$rel" ] && cmp -s "$REL_FOLDER/$rel" "$REL_INSTDIR/$rel" || { differ=1; note "not installed as released: $rel"; }
  done < <(cd "$REL_FOLDER" && find . -type f | sed 's|^\./||')
  return "$differ"
}

# True when the installation folder, the shortcut and the Uninstall entry are
# gone.
rel_removed() { [ ! -e "$REL_INSTDIR" ] && [ ! -e "$REL_SHORTCUT" ] && ! rel_key_exists "$REL_UNINSTALL_KEY"; }

# Removes every trace of an earlier installation and the clock's registry
# values, so a scenario starts from a user who never had the clock.
rel_clean() {
  rm -rf "$REL_INSTDIR" "$REL_SHORTCUT"
  timeout 20 wine reg delete "$REL_UNINSTALL_KEY" /f >/dev/null 2>&1
  timeout 20 wine reg delete "$REL_RUN_KEY" /v VeskClock /f >/dev/null 2>&1
  timeout 20 wine reg delete "$REL_SETTINGS_KEY" /f >/dev/null 2>&1
  return 0
}

# The Unix PIDs of running clocks of this prefix whose command line names $1.
rel_clock_pids() {
  local p
  for p in /proc/[0-9]*; do
    tr '\0' '\n' 2>/dev/null <"$p/cmdline" | grep -qF "$1" || continue
    tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    echo "${p#/proc/}"
  done
}

rel_clock_runs() { [ -n "$(rel_clock_pids "$1")" ]; }

# True once the face is lit: the opaque rim point (10, 75) of the face in
# folder $1 shows its own colour at the window's place (4 s at most). Saves
# the screenshot as $2 when given.
rel_face_lit() {
  local face="$1/face/clockface.png" expected rect left top end shot="$VESK_WORK/release_root.png"
  expected="$(convert "$face" -format '%[fx:int(255*p{10,75}.r+.5)],%[fx:int(255*p{10,75}.g+.5)],%[fx:int(255*p{10,75}.b+.5)]' info:)"
  end=$(( $(vw_now_ms) + 4000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    rect="$(vw_winmsg rect TfrmMain)" || { sleep 0.2; continue; }
    left="$(cut -d' ' -f2 <<<"$rect")"
    top="$(cut -d' ' -f3 <<<"$rect")"
    vw_shot "$shot"
    if [ "$(vw_px $((left + 10)) $((top + 75)) "$shot")" = "$expected" ]; then
      if [ -n "${2:-}" ]; then
        sleep 0.5
        vw_shot "$shot"
        # The clock with a margin of 20 px around its window.
        set -- $rect "$2"
        timeout 20 convert "$shot" -crop "$(($4 - $2 + 40))x$(($5 - $3 + 40))+$(($2 - 20))+$(($3 - 20))" +repage "$6"
      fi
      return 0
    fi
    sleep 0.2
  done
  echo "face not lit: pixel $(vw_px $((${left:-0} + 10)) $((${top:-0} + 75)) "$shot"), want $expected" >&2
  return 1
}

# Ends the clock(s) of this prefix by WM_CLOSE (5 s at most each).
rel_stop_clocks() {
  local i
  for i in 1 2 3; do
    vw_winmsg exists TfrmMain >/dev/null || break
    vw_winmsg close TfrmMain >/dev/null
    vw_winmsg wait-gone TfrmMain 5 >/dev/null
  done
  [ -z "$CLOCK_PID" ] || vw_wait_exit "$CLOCK_PID" 5
  CLOCK_PID=""
}

# Hides the system's own copies of the bundled fonts from Wine (the prefix
# lists every font fontconfig knows; a same-named system copy would be drawn
# in place of the private one), saving what it removes for rel_show_system_fonts.
REL_FONT_KEYS=('HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' 'HKCU\Software\Wine\Fonts\External Fonts')
rel_hide_system_fonts() {
  local key names conf="$VESK_WORK/fonts-without-bundled.conf" reg="$VESK_WORK/hide_fonts.reg"
  {
    echo '<?xml version="1.0"?>'
    echo '<fontconfig><dir>/usr/share/fonts/truetype/dejavu</dir>'
    echo "<cachedir>$VESK_WORK/fontconfig-cache</cachedir></fontconfig>"
  } >"$conf"
  printf 'Windows Registry Editor Version 5.00\r\n' >"$reg"
  printf 'Windows Registry Editor Version 5.00\r\n' >"$VESK_WORK/restore_fonts.reg"
  for key in "${REL_FONT_KEYS[@]}"; do
    names="$(timeout 20 wine reg query "$key" 2>/dev/null | tr -d '\r' |
      sed -n 's/^    \(.* (TrueType)\)    REG_SZ    \(.*\\\(dseg\|proggy\)\\.*\)$/\1\t\2/p')"
    printf '\r\n[%s]\r\n' "${key/HKLM/HKEY_LOCAL_MACHINE}" | sed 's/\[HKCU/[HKEY_CURRENT_USER/' | tee -a "$reg" >>"$VESK_WORK/restore_fonts.reg"
    while IFS=$'\t' read -r name path; do
      [ -n "$name" ] || continue
      printf '"%s"=-\r\n' "$name" >>"$reg"
      printf '"%s"="%s"\r\n' "$name" "${path//\\/\\\\}" >>"$VESK_WORK/restore_fonts.reg"
    done <<<"$names"
  done
  timeout 20 wine reg import "$reg" >/dev/null 2>&1
}
rel_show_system_fonts() {
  [ -f "$VESK_WORK/restore_fonts.reg" ] && timeout 20 wine reg import "$VESK_WORK/restore_fonts.reg" >/dev/null 2>&1
  rm -f "$VESK_WORK/restore_fonts.reg"
}

# True when Unix process $1 has file $2 mapped (a font in use is mapped).
rel_maps_file() { grep -qF " $2" "/proc/$1/maps" 2>/dev/null; }

# ---- scenarios ------------------------------------------------------------------

# The zip, unpacked into "Mes Hörloges ü", runs as it is: the window appears,
# the face is lit, and the text is drawn with the fonts of its own fonts\
# folder, registered privately (the system's copies are hidden for the run).
scenario_release_portable() {
  rel_release || { echo "FAIL release_portable: no release"; return; }
  local where="$VESK_WORK/Mes Hörloges ü" folder pid names
  rm -rf "$where"
  mkdir -p "$where"
  (cd "$where" && unzip -q "$REL_ZIP") || { echo "FAIL release_portable: unzip"; return; }
  folder="$where/VeskClock-$REL_VERSION"
  names="$(cd "$where" && find . -mindepth 1 | sed 's|^\./||' | cut -d/ -f1 | sort -u)"
  check "release_portable: the zip has one top folder VeskClock-$REL_VERSION" test "$names" = "VeskClock-$REL_VERSION"

  rel_hide_system_fonts
  FONTCONFIG_FILE="$VESK_WORK/fonts-without-bundled.conf" vw_start_clock "$folder"
  if check "release_portable: the clock starts from a path with spaces and non-ASCII letters" vw_wait_window TfrmMain 40; then
    check "release_portable: its face is lit" rel_face_lit "$folder"
    sleep 1
    pid="$(pgrep -P "$CLOCK_PID" | head -1)"
    local font
    for font in "$folder"/fonts/*.ttf; do
      check "release_portable: the text uses the bundled $(basename "$font") (registered privately)" rel_maps_file "$pid" "$font"
    done
  fi
  vw_stop_clock
  rel_show_system_fonts
}

# A silent installation: the files of the release, the Start-menu shortcut
# and the entry of the list of installed programs; the installed clock
# starts from the shortcut and shows its face.
scenario_release_install() {
  rel_release && rel_paths || { echo "FAIL release_install: no release or paths"; return; }
  rel_clean
  local t0 info
  t0=$(vw_now_ms)
  check "release_install: setup /S succeeds" rel_install
  note "silent installation: $(( $(vw_now_ms) - t0 )) ms"
  check "release_install: every file of the release is installed in $REL_INSTDIR_WIN" rel_installed_as_released
  check "release_install: and the uninstaller" test -f "$REL_INSTDIR/uninstall.exe"
  check "release_install: a Start-menu shortcut Vesk Clock" test -f "$REL_SHORTCUT"

  local exe_win="$REL_INSTDIR_WIN\\VeskClock.exe" uninst_win="$REL_INSTDIR_WIN\\uninstall.exe" name want
  for name in DisplayName DisplayVersion Publisher DisplayIcon InstallLocation UninstallString QuietUninstallString; do
    case "$name" in
      DisplayName) want="$VESK_PRODUCT_NAME" ;;
      DisplayVersion) want="$REL_VERSION" ;;
      Publisher) want="$VESK_PUBLISHER" ;;
      DisplayIcon) want="$exe_win,0" ;;
      InstallLocation) want="$REL_INSTDIR_WIN" ;;
      UninstallString) want="\"$uninst_win\"" ;;
      QuietUninstallString) want="\"$uninst_win\" /S" ;;
    esac
    check "release_install: Uninstall\\VeskClock $name is $want" test "$(rel_reg_value "$REL_UNINSTALL_KEY" "$name")" = "$want"
  done
  local size
  size="$(rel_reg_value "$REL_UNINSTALL_KEY" EstimatedSize)"
  check "release_install: EstimatedSize is the installed size in KiB ($size)" \
    test "$((size))" -ge "$(( $(du -sk --apparent-size "$REL_FOLDER" | cut -f1) - 64 ))" -a "$((size))" -gt 100

  info="$(timeout 20 wine "$REL_VERSION_INFO" "$exe_win" 2>/dev/null | tr -d '\r')"
  check "release_install: the installed program's version is $REL_VERSION" grep -qx "ProductVersion=$REL_VERSION" <<<"$info"
  info="$(timeout 20 wine "$REL_VERSION_INFO" "$(timeout 20 winepath -w "$REL_SETUP" | tr -d '\r')" 2>/dev/null | tr -d '\r')"
  check "release_install: the installer's version is $REL_VERSION" grep -qx "ProductVersion=$REL_VERSION" <<<"$info"

  t0=$(vw_now_ms)
  timeout 20 wine start /unix "$REL_SHORTCUT" >/dev/null 2>&1
  if check "release_install: the shortcut starts the clock" vw_wait_window TfrmMain 40; then
    note "shortcut to window: $(( $(vw_now_ms) - t0 )) ms"
    check "release_install: it runs the installed program" rel_clock_runs "$exe_win"
    mkdir -p "$VESK_WORK/screenshots"
    check "release_install: the installed clock's face is lit" rel_face_lit "$REL_INSTDIR" "$VESK_WORK/screenshots/installed_clock.png"
    note "screenshot: $VESK_WORK/screenshots/installed_clock.png"
  fi
  rel_stop_clocks
}

# Installing again while the installed clock runs closes it, replaces the
# files, keeps the user's settings and, being silent, starts the clock again.
scenario_release_upgrade() {
  rel_release && rel_paths || { echo "FAIL release_upgrade: no release or paths"; return; }
  rel_key_exists "$REL_UNINSTALL_KEY" && [ -f "$REL_INSTDIR/VeskClock.exe" ] || { rel_clean; rel_install; }
  timeout 20 wine reg add "$REL_SETTINGS_KEY" /v ReleaseCheck /t REG_SZ /d kept /f >/dev/null 2>&1
  echo "changed by the test" >"$REL_INSTDIR/README.txt"
  vw_start_clock "$REL_INSTDIR"
  vw_wait_window TfrmMain 40 || { echo "FAIL release_upgrade: the installed clock did not start"; return; }
  sleep 1
  local t0 old_pid="$CLOCK_PID" exe_win="$REL_INSTDIR_WIN\\VeskClock.exe"
  t0=$(vw_now_ms)
  check "release_upgrade: setup /S succeeds while the clock runs" rel_install
  note "upgrade with a running clock: $(( $(vw_now_ms) - t0 )) ms"
  check "release_upgrade: the running clock was closed" vw_wait_exit "$old_pid" 5
  CLOCK_PID=""
  check "release_upgrade: the files are replaced" cmp -s "$REL_FOLDER/README.txt" "$REL_INSTDIR/README.txt"
  check "release_upgrade: HKCU\\Software\\VeskClock is kept" test "$(rel_reg_value "$REL_SETTINGS_KEY" ReleaseCheck)" = kept
  check "release_upgrade: the silent upgrade starts the clock again" vw_wait_window TfrmMain 20
  check "release_upgrade: from the installed program" rel_wait_for 5 rel_clock_runs "$exe_win"
  rel_stop_clocks
}

# The silent uninstaller ends the running clock and removes the files, the
# shortcut, the Uninstall entry and the Run value naming the removed
# program; the settings stay, and a Run value naming another copy stays.
scenario_release_uninstall() {
  rel_release && rel_paths || { echo "FAIL release_uninstall: no release or paths"; return; }
  rel_key_exists "$REL_UNINSTALL_KEY" && [ -f "$REL_INSTDIR/VeskClock.exe" ] || { rel_clean; rel_install; }
  local exe_win="$REL_INSTDIR_WIN\\VeskClock.exe" t0
  timeout 20 wine reg add "$REL_SETTINGS_KEY" /v ReleaseCheck /t REG_SZ /d kept /f >/dev/null 2>&1
  vw_start_clock "$REL_INSTDIR"
  vw_wait_window TfrmMain 40 || { echo "FAIL release_uninstall: the installed clock did not start"; return; }
  # With "Load at Startup" checked the clock registers itself; where it does
  # not (yet), the value is written as it would.
  if ! rel_wait_for 5 test "$(rel_reg_value "$REL_RUN_KEY" VeskClock)" = "$exe_win"; then
    note "the clock did not write its Run value; writing it here"
    timeout 20 wine reg add "$REL_RUN_KEY" /v VeskClock /t REG_SZ /d "$exe_win" /f >/dev/null 2>&1
  fi
  local old_pid="$CLOCK_PID"
  t0=$(vw_now_ms)
  timeout 60 wine "$REL_INSTDIR/uninstall.exe" /S >/dev/null 2>&1
  # The uninstaller runs on from a copy of itself; its last step removes the
  # Uninstall entry.
  check "release_uninstall: the Uninstall entry is removed" rel_wait_for 30 rel_not rel_key_exists "$REL_UNINSTALL_KEY"
  note "silent removal with a running clock: $(( $(vw_now_ms) - t0 )) ms"
  check "release_uninstall: the running clock was ended" vw_wait_exit "$old_pid" 5
  CLOCK_PID=""
  check "release_uninstall: the installation folder is gone" rel_wait_for 5 test ! -e "$REL_INSTDIR"
  check "release_uninstall: the shortcut is gone" test ! -e "$REL_SHORTCUT"
  check "release_uninstall: the Run value naming it is gone" rel_not rel_reg_value "$REL_RUN_KEY" VeskClock
  check "release_uninstall: HKCU\\Software\\VeskClock is kept" test "$(rel_reg_value "$REL_SETTINGS_KEY" ReleaseCheck)" = kept

  # A Run value naming another copy of the clock is not the uninstaller's.
  local other='C:\Portable Clock\VeskClock.exe'
  rel_install
  timeout 20 wine reg add "$REL_RUN_KEY" /v VeskClock /t REG_SZ /d "$other" /f >/dev/null 2>&1
  timeout 60 wine "$REL_INSTDIR/uninstall.exe" /S >/dev/null 2>&1
  rel_wait_for 30 rel_not rel_key_exists "$REL_UNINSTALL_KEY"
  check "release_uninstall: a Run value naming another copy stays" test "$(rel_reg_value "$REL_RUN_KEY" VeskClock)" = "$other"
  rel_clean
}

# The clock of folder $1 at $2 ppi, frozen at the scale scenarios' instant:
# its screen equals the frame tool's composition of the drawn sets of the
# assembled folder ($APP) at that scale, away from the text; $3 names the case.
rel_check_scale() {
  scale_frame "$2" || { echo "FAIL $3: no composition at $2 ppi"; return; }
  scale_set_log_pixels "$2"
  visual_start_clock_at "$SCALE_INSTANT" frozen "$1"
  if vw_wait_window TfrmMain 40; then
    sleep 1.5
    scale_check_screen "$2" "$3"
  else
    echo "FAIL $3: the clock did not start at $2 ppi"
  fi
  vw_stop_clock
}

# Installed silently, the clock at 144 and 192 ppi shows the artwork drawn
# for those scales, as the frame tool composes it.
scenario_release_scale_installed() {
  rel_release && rel_paths || { echo "FAIL release_scale_installed: no release or paths"; return; }
  local why ppi
  why="$(visual_frame_tool)" || { echo "FAIL release_scale_installed: the frame tool is not available: $why"; return; }
  rel_clean
  check "release_scale_installed: setup /S succeeds" rel_install || return
  for ppi in 144 192; do rel_check_scale "$REL_INSTDIR" "$ppi" "release_scale_installed_$ppi"; done
  scale_set_log_pixels 96
  rel_clean
}

# The same for the unpacked zip at 144 ppi.
scenario_release_scale_portable() {
  rel_release || { echo "FAIL release_scale_portable: no release"; return; }
  local why where="$VESK_WORK/portable-scale"
  why="$(visual_frame_tool)" || { echo "FAIL release_scale_portable: the frame tool is not available: $why"; return; }
  rm -rf "$where"
  mkdir -p "$where"
  (cd "$where" && unzip -q "$REL_ZIP") || { echo "FAIL release_scale_portable: unzip"; return; }
  rel_check_scale "$where/VeskClock-$REL_VERSION" 144 release_scale_portable_144
  scale_set_log_pixels 96
}

# ---- the installer's pages, clicked through ---------------------------------------

# Waits until the wizard window whose caption begins with $1 shows a control
# whose winmsg line matches the extended regex $2 (at most $3 s).
rel_has_control() { vw_winmsg controls "$1" | grep -qE "$2"; }
rel_wait_control() { rel_wait_for "$3" rel_has_control "$1" "$2"; }

# Clicks, with the real mouse, the middle of the control of wizard $1 whose
# line matches $2.
rel_click() {
  local line
  line="$(vw_winmsg controls "$1" | grep -E "$2" | head -1)"
  [ -n "$line" ] || { echo "nothing to click matching '$2' in '$1'" >&2; return 1; }
  set -- $(sed -n 's/.* rect \([0-9-]*\) \([0-9-]*\) \([0-9-]*\) \([0-9-]*\) .*/\1 \2 \3 \4/p' <<<"$line")
  timeout 5 xdotool mousemove $((($1 + $3) / 2)) $((($2 + $4) / 2)) click 1
}

# The wizard window $1 as $VESK_WORK/screenshots/$2.png: its X window, which
# without a window manager is the dialog without a frame.
rel_page_shot() {
  local id X Y WIDTH HEIGHT SCREEN WINDOW shot="$VESK_WORK/release_root.png"
  sleep 0.5
  id="$(timeout 5 xdotool search --onlyvisible --name "^$1" | head -1)"
  [ -n "$id" ] || return 1
  eval "$(timeout 5 xdotool getwindowgeometry --shell "$id")"
  vw_shot "$shot" && timeout 20 convert "$shot" -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$VESK_WORK/screenshots/$2.png"
}

# The installer as a user clicks through it: welcome, folder, installation,
# finish with "Start Vesk Clock now" checked, which starts the installed
# clock; then the uninstaller: its confirmation page, which also ends the
# running clock, and its last page. Every page is saved as a screenshot.
scenario_release_pages() {
  rel_release && rel_paths || { echo "FAIL release_pages: no release or paths"; return; }
  rel_clean
  local setup="Vesk Clock Setup" uninstall="Vesk Clock Uninstall" pid exe_win="$REL_INSTDIR_WIN\\VeskClock.exe"
  local next='^control id=1 class=Button .* enabled=1 '
  mkdir -p "$VESK_WORK/screenshots"
  (exec timeout -k 5 100 wine "$REL_SETUP" >/dev/null 2>&1) &
  pid=$!
  check "release_pages: the installer opens on its welcome page" \
    rel_wait_control "$setup" 'text=Welcome to Vesk Clock Setup$' 40 || return
  rel_page_shot "$setup" installer_welcome
  rel_click "$setup" "$next.*text=&Next >$"
  check "release_pages: Next shows the folder page" rel_wait_control "$setup" 'text=Choose Install Location$' 10 || return
  check "release_pages: ... offering $REL_INSTDIR_WIN" \
    bash -c 'grep " class=Edit " | grep -qF "text=$1"' _ "$REL_INSTDIR_WIN" <<<"$(vw_winmsg controls "$setup")"
  rel_page_shot "$setup" installer_folder
  rel_click "$setup" "$next.*text=&Install$"
  check "release_pages: Install installs and shows the finish page" \
    rel_wait_control "$setup" 'text=Completing Vesk Clock Setup$' 40 || return
  check "release_pages: ... with \"Start Vesk Clock now\" checked" \
    rel_wait_control "$setup" ' checked=1 text=Start Vesk Clock now$' 1
  rel_page_shot "$setup" installer_finish
  check "release_pages: every file of the release is installed" rel_installed_as_released
  rel_click "$setup" "$next.*text=&Finish$"
  check "release_pages: Finish closes the installer" vw_wait_exit "$pid" 10
  check "release_pages: ... and starts the installed clock" vw_wait_window TfrmMain 40 &&
    check "release_pages: ... from $exe_win" rel_wait_for 5 rel_clock_runs "$exe_win"

  (exec timeout -k 5 100 wine "$REL_INSTDIR/uninstall.exe" >/dev/null 2>&1) &
  check "release_pages: the uninstaller asks to confirm the folder" \
    rel_wait_control "$uninstall" 'text=Uninstall Vesk Clock$' 40 || { rel_stop_clocks; return; }
  rel_page_shot "$uninstall" uninstaller_confirm
  rel_click "$uninstall" "$next.*text=&Uninstall$"
  check "release_pages: Uninstall removes it and says so" \
    rel_wait_control "$uninstall" 'text=Uninstallation Complete$' 40
  rel_page_shot "$uninstall" uninstaller_done
  check "release_pages: ... after ending the running clock" rel_not rel_clock_runs "$exe_win"
  rel_click "$uninstall" "$next.*text=&Close$"
  check "release_pages: Close closes the uninstaller" rel_wait_for 10 rel_not vw_winmsg controls "$uninstall"
  check "release_pages: the installation folder, the shortcut and the Uninstall entry are gone" rel_removed
  note "screenshots: $VESK_WORK/screenshots/{installer_welcome,installer_folder,installer_finish,uninstaller_confirm,uninstaller_done}.png"
  rel_stop_clocks
  rel_clean
}
