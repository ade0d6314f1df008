# Sourced by the scripts that run Windows programs under Wine. Sets a private
# prefix and HOME under build/wine, so the user's own ~/.wine is never touched.
_vesk_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="$_vesk_root/build/wine/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
export VESK_WINE_HOME="$_vesk_root/build/wine/home"
mkdir -p "$VESK_WINE_HOME"

# Creates the prefix once (about 15 s) and keeps a wineserver alive so later
# starts are fast.
wine_prefix_ready() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating prefix $WINEPREFIX"
    HOME="$VESK_WINE_HOME" timeout 180 wine wineboot -i >/dev/null 2>&1 || return 1
    HOME="$VESK_WINE_HOME" timeout 60 wineserver -w || true
  fi
  HOME="$VESK_WINE_HOME" wineserver -p >/dev/null 2>&1 || true
  return 0
}
