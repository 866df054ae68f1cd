#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The programs given carry no library search path (RPATH or RUNPATH): their
# libraries are the system's, and an empty entry would make the loader look
# in the current folder.
#   scripts/check-no-search-path.sh PROGRAM...
set -euo pipefail
status=0
for program in "$@"; do
    if paths=$(readelf -d "$program" | grep -E '\((RPATH|RUNPATH)\)'); then
        echo "$program: $paths" >&2
        status=1
    fi
done
exit $status
