#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fetches the Greek text that scripts/make_greek_frequencies.py counts, into
# FOLDER, without installing anything:
#   - the help, language packs, manual pages and data packages named below,
#     each unpacked into FOLDER/x_PACKAGE;
#   - the Greek message catalogues (.mo) of every other package that has
#     them, as apt-file lists them, into FOLDER/mo.
# Left out: Debian's installation guide, debian-installer and tasksel (kept
# for evaluation), and the packages the second evaluation reads, listed in
# HELD_OUT:
#   apt-get download PACKAGE... && for deb in *.deb; do dpkg-deb -x "$deb" held; done
#   bench/make_accents_eval_text.py --packages held > sentences.txt
#   scripts/fetch-greek-sources.sh FOLDER
# then
#   scripts/make_greek_frequencies.py core/spelling /usr/share/locale/el FOLDER/x_* FOLDER/mo
# Needs apt-file (it is installed and its lists updated if missing); about
# 2.6 GB are downloaded and 5 GB unpacked.
set -euo pipefail
folder=${1:?usage: fetch-greek-sources.sh FOLDER}
mkdir -p "$folder"
cd "$folder"

PACKAGES=(libreoffice-help-el libreoffice-l10n-el gimp-help-el firefox-esr-l10n-el
    thunderbird-l10n-el manpages-el gnome-user-docs vlc-l10n inkscape gimp-data libgtk-3-common
    gnome-control-center-data evolution-common nautilus-data gnucash-common calibre
    gnome-shell-common libreoffice-common xfce4-session scribus-data gnumeric-common
    rhythmbox-data totem-common gedit-common shotwell-common pidgin-data hexchat-common
    filezilla-common transmission-common wesnoth-1.16-data widelands-data supertuxkart-data
    hedgewars-data freeciv-data warzone2100-data)
HELD_OUT=(gparted synaptic gnome-disk-utility network-manager-gnome xfce4-settings thunar
    mousepad evince eog gnome-system-monitor gnome-software baobab simple-scan cheese
    gnome-calendar gnome-maps)
NEVER=(tasksel tasksel-data)

apt-get download "${PACKAGES[@]}"
for deb in *.deb; do
    dpkg-deb -x "$deb" "x_${deb%%_*}"
done

if ! command -v apt-file > /dev/null; then
    apt-get install -y apt-file
fi
apt-file update > /dev/null
mkdir -p catalogues mo
apt-file search -x '/usr/share/locale/el/LC_MESSAGES/.*\.mo$' | cut -d: -f1 | sort -u |
    grep -v -x -F -f <(printf '%s\n' "${PACKAGES[@]}" "${HELD_OUT[@]}" "${NEVER[@]}") |
    grep -v -e debian-installer -e installation-guide > catalogues/packages.txt
(cd catalogues && xargs -a packages.txt apt-get download)
for deb in catalogues/*.deb; do
    dpkg-deb --fsys-tarfile "$deb" | tar -x -C mo --wildcards '*/locale/el/*' 2> /dev/null || true
done
echo "$(wc -l < catalogues/packages.txt) packages' catalogues in $folder/mo"
