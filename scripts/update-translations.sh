#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Brings bivano's catalogues (cli/translations/LANG.po) up to date with the
# messages in cli/: new ones come in untranslated, gone ones are marked
# obsolete (#~). Translate the new ones, delete the obsolete ones, and
# scripts/check-translations.sh passes again.
#   scripts/update-translations.sh            all catalogues
#   scripts/update-translations.sh --check    change nothing; exit 1 when one is not complete
set -euo pipefail
cd "$(dirname "$0")/.."
check=false
[[ ${1:-} == --check ]] && check=true
for tool in xgettext msgmerge msgattrib; do
    command -v "$tool" > /dev/null || { echo "$tool is missing (package gettext)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Translate("…") marks a message; the catalogue keeps no source lines, so
# that moving code changes nothing in it.
xgettext --from-code=UTF-8 --language=C++ --keyword=Translate --no-location --no-wrap \
    --package-name=bivano -o "$work/bivano.pot" cli/*.cpp
sed -i '/^"POT-Creation-Date:/d' "$work/bivano.pot"
status=0
for catalogue in cli/translations/*.po; do
    msgmerge --quiet --no-fuzzy-matching --no-location --no-wrap "$catalogue" "$work/bivano.pot" \
        -o "$work/merged.po"
    if $check; then
        missing=$(msgattrib --untranslated --no-obsolete "$work/merged.po" | grep -c '^msgid' || true)
        fuzzy=$(msgattrib --only-fuzzy --no-obsolete "$work/merged.po" | grep -c '^msgid' || true)
        gone=$(grep -c '^#~ msgid' "$work/merged.po" || true)
        # msgattrib prints the header alone when nothing is left.
        if (( missing > 1 || fuzzy > 0 || gone > 0 )); then
            echo "$catalogue does not match the messages in cli/ (run scripts/update-translations.sh):"
            msgattrib --untranslated --no-obsolete "$work/merged.po" | grep -A1 '^msgid "[^"]' || true
            grep -A1 '^#~ msgid' "$work/merged.po" || true
            status=1
        fi
    elif ! cmp -s "$work/merged.po" "$catalogue"; then
        cp "$work/merged.po" "$catalogue"
        echo "updated $catalogue"
    fi
done
$check && [[ $status -eq 0 ]] && echo "translations complete"
exit $status
