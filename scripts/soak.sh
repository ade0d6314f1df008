#!/usr/bin/env bash
# The accelerated soak of the real program under Wine (tests/soak/soak.sh):
#   scripts/soak.sh MINUTES [--publish]
exec "$(dirname "$0")/../tests/soak/soak.sh" "$@"
