#!/usr/bin/env bash
# Signs one Windows executable in place with an Authenticode signature
# (osslsigncode). make_release.sh runs it on VeskClock.exe, on the
# uninstaller (from makensis) and on the installer.
#
#   scripts/release/sign_file.sh FILE
#
# The certificate comes from the environment that make_release.sh exports:
#   VESK_SIGN_CERT + VESK_SIGN_KEY   PEM (or DER) certificate chain and key, or
#   VESK_SIGN_PKCS12                 a PKCS#12 file holding both;
#   VESK_SIGN_PASS_FILE              optional: the key's password, first line;
#   VESK_SIGN_TIMESTAMP_URL          optional: an RFC 3161 time-stamping server;
#   VESK_SIGN_TIME                   signing time (Unix seconds) written into
#                                    the signature when no server is used, so
#                                    the same inputs give the same bytes.
set -euo pipefail
file="$1"
args=(sign -h sha256 -n "${VESK_SIGN_NAME:-Vesk Clock}")
if [ -n "${VESK_SIGN_PKCS12:-}" ]; then
  args+=(-pkcs12 "$VESK_SIGN_PKCS12")
else
  args+=(-certs "$VESK_SIGN_CERT" -key "$VESK_SIGN_KEY")
fi
[ -z "${VESK_SIGN_PASS_FILE:-}" ] || args+=(-readpass "$VESK_SIGN_PASS_FILE")
if [ -n "${VESK_SIGN_TIMESTAMP_URL:-}" ]; then
  args+=(-ts "$VESK_SIGN_TIMESTAMP_URL")
elif [ -n "${VESK_SIGN_TIME:-}" ]; then
  args+=(-time "$VESK_SIGN_TIME")
fi
rm -f "$file.signed"
if ! osslsigncode "${args[@]}" -in "$file" -out "$file.signed" >"$file.sign.log" 2>&1; then
  cat "$file.sign.log" >&2
  rm -f "$file.signed" "$file.sign.log"
  echo "sign_file: signing $file failed" >&2
  exit 1
fi
mv -f "$file.signed" "$file"
rm -f "$file.sign.log"
