#!/usr/bin/env bash
# Puts the Windows program together with the folders it reads beside it:
# the "app" files of assets/app_folder.txt (the program, face\ with every
# skin image at every scale, sound\chime.mp3, fonts\ with the bundled fonts
# copied from the installed Debian packages that scripts/setup.sh installs).
# The release holds the same files, plus its README and licence texts.
#
#   scripts/assemble_app.sh [BUILD_DIR [DEST]]
#     BUILD_DIR  the Windows build (default build/windows)
#     DEST       the folder to fill (default build/wine/app); emptied first
#
# Exit codes: 0 done, 2 the program or a listed skin, sound or font file
# is missing (the message names what), 1 anything else.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
# shellcheck source=scripts/app_folder.sh
source "$root/scripts/app_folder.sh"
build="${1:-$root/build/windows}"
dest="${2:-$root/build/wine/app}"

missing="$(app_folder_missing app "$build")" || exit 1
if [ -n "$missing" ]; then
  echo "assemble_app: missing: $(tr '\n' ' ' <<<"$missing")(scripts/setup.sh installs the font packages)" >&2
  exit 2
fi

rm -rf "$dest"
mkdir -p "$dest"
app_folder_copy app "$build" "$dest"
echo "$dest"
