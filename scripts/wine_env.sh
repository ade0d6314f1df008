# Sourced by the scripts that run Windows programs under Wine. Sets a private
# prefix and HOME under build/wine, so the user's own ~/.wine is never touched.
_vesk_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="$_vesk_root/build/wine/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
export VESK_WINE_HOME="$_vesk_root/build/wine/home"
mkdir -p "$VESK_WINE_HOME"

# Creates the prefix once (about 15 s) and starts a lasting Wine session for it
# so later starts are fast. The session belongs to the current $DISPLAY (none
# for console programs): Wine's desktop process keeps the display it was
# started with, so a session begun without one cannot open windows later. A
# session of this prefix begun for another display is therefore ended first.
wine_prefix_ready() {
  local stamp="$WINEPREFIX/vesk-session-display" want="display=${DISPLAY:-}"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating prefix $WINEPREFIX"
    HOME="$VESK_WINE_HOME" timeout 180 wine wineboot -i </dev/null >/dev/null 2>&1 || return 1
    HOME="$VESK_WINE_HOME" timeout 60 wineserver -w || true
  fi
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" != "$want" ]; then
    wine_prefix_stop
  fi
  HOME="$VESK_WINE_HOME" wineserver -p </dev/null >/dev/null 2>&1 || true
  # The first program of a session starts Wine's background services, which
  # keep its standard streams open for as long as the session lasts. Started
  # here with /dev/null, they never hold a test's output pipe (a test runner
  # would otherwise wait for that pipe to close until its timeout).
  HOME="$VESK_WINE_HOME" timeout 120 wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  echo "$want" >"$stamp"
  return 0
}

# Ends every process of the prefix's Wine session and waits for them.
wine_prefix_stop() {
  HOME="$VESK_WINE_HOME" timeout 20 wineserver -k </dev/null >/dev/null 2>&1 || true
  HOME="$VESK_WINE_HOME" timeout 30 wineserver -w </dev/null >/dev/null 2>&1 || true
  rm -f "$WINEPREFIX/vesk-session-display"
}
