#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file names its licence in its first lines. Lists those that
# do not and fails; run from anywhere in the work tree.
set -euo pipefail
cd "$(git -C "$(dirname "$0")" rev-parse --show-toplevel)"
missing=0
while IFS= read -r file; do
    if ! head -n 3 "$file" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later'; then
        echo "no SPDX line: $file"
        missing=1
    fi
done < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h' '*.h.in' '*.sh' '*.py' \
    '*.scd' 'CMakeLists.txt' '*/CMakeLists.txt' '*.cmake' '*.desktop.in' run.sh test.sh .ci/run \
    debian/rules 'desktop/completion/*' '*.js' '*.mjs' '*.js.in' '*.d.ts' '*.css' '*.html' '*.svg')
exit "$missing"
