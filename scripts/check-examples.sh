#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every example that the README and the manual pages give runs, and prints
# what they say it prints:
#   - the commands of the README's sh blocks (`echo … | bivano …  # output`,
#     or a command that writes files, which must succeed in silence);
#   - the commands of the manual pages' EXAMPLES ("$ command", then the
#     lines it prints, in literal blocks);
#   - the examples in their prose, listed below with the words that show
#     them, so that a page that changes its example changes this list too.
# Usage: check-examples.sh PATH/TO/bivano
set -uo pipefail
bivano=$(realpath "${1:?usage: $0 PATH/TO/bivano}") || exit 1
cd "$(dirname "$0")/.." || exit 1
root=$PWD
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset BIVANO_MODEL
mkdir "$work/bin"
ln -s "$bivano" "$work/bin/bivano"
export PATH="$work/bin:$PATH"
failures=0
checked=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The files the examples name, made afresh for each command.
make_fixtures() {
    rm -rf "$work/run" && mkdir -p "$work/run/subtitles" && cd "$work/run" || exit 1
    printf '1\r\n00:00:01,000 --> 00:00:02,000\r\nΘάλασσα, ψυχή.\r\n' > subtitles/one.srt
    printf '1\r\n00:00:01,000 --> 00:00:02,000\r\nΚαλημέρα.\r\n' > subtitles/two.srt
    printf 'Agaphte file,\nkalimera!\n' > draft.txt
    printf '\xb6\xed\xe8\xf1\xf9\xf0\xef\xf2 \xe8\xdc\xeb\xe1\xf3\xf3\xe1\n' > old.txt  # ISO-8859-7
}

# Runs one command line as the shell would; with `expected` set, its
# output must be that; otherwise it writes files, and must succeed in
# silence, leaving what it names.
check_command() {
    run_command "$@"
    cd "$root" || exit 1
}

run_command() {
    local where=$1 command=$2 expected=${3-} has_expected=$4
    make_fixtures
    checked=$((checked + 1))
    local out err status
    out=$(bash -c "$command" 2> "$work/err")
    status=$?
    err=$(cat "$work/err")
    if [[ $status -ne 0 || -n $err ]]; then
        fail "$where: $command: status $status${err:+, says: $err}"
        return
    fi
    if [[ $has_expected == yes ]]; then
        [[ $out == "$expected" ]] || fail "$where: $command: prints '$out', the page says '$expected'"
        return
    fi
    # What the command writes: -o FILE, -d FOLDER (with each input's name), > FILE.
    local -a words
    read -r -a words <<< "$command"
    local i
    for ((i = 0; i < ${#words[@]}; i++)); do
        case ${words[i]} in
            -o | --output | '>')
                [[ -s ${words[i + 1]} ]] || fail "$where: $command: ${words[i + 1]} not written" ;;
            -d | --directory)
                local input
                for input in "${words[@]:i+2}"; do
                    for input in $input; do
                        [[ -s ${words[i + 1]}/$(basename "$input") ]] ||
                            fail "$where: $command: ${words[i + 1]}/$(basename "$input") not written"
                    done
                done ;;
        esac
    done
}

# The README's sh blocks: lines that run bivano.
in_block=no
line_number=0
while IFS= read -r line; do
    line_number=$((line_number + 1))
    case $line in
        '```sh') in_block=yes; continue ;;
        '```') in_block=no; continue ;;
    esac
    [[ $in_block == yes ]] || continue
    [[ $line =~ ^(echo\ .*\|\ *bivano\ |bivano\ ) ]] || continue
    [[ $line == *'[OPTIONS]'* ]] && continue
    command=${line%%  #*}
    command=${command%"${command##*[! ]}"}
    comment=
    [[ $line == *'  #'* ]] && comment=${line#*  # }
    if [[ $command =~ (\ -o\ |\ -d\ |\>) ]]; then
        check_command "README.md:$line_number" "$command" "" no
    else
        check_command "README.md:$line_number" "$command" "$comment" yes
    fi
done < README.md

# The manual pages' EXAMPLES: "$ command", then what it prints.
for page in desktop/man/*.scd; do
    in_examples=no
    command=
    expected=
    has_command=no
    line_number=0
    flush() {
        if [[ $has_command == yes ]]; then
            if [[ $command =~ (\ -o\ |\ -d\ |\>) ]]; then
                check_command "$page:$command_line" "$command" "" no
            else
                check_command "$page:$command_line" "$command" "$expected" yes
            fi
        fi
        has_command=no
        command=
        expected=
    }
    while IFS= read -r line; do
        line_number=$((line_number + 1))
        if [[ $line == '# '* ]]; then
            flush
            [[ $line == '# EXAMPLES' || $line == '# ΠΑΡΑΔΕΙΓΜΑΤΑ' ]] && in_examples=yes || in_examples=no
            continue
        fi
        [[ $in_examples == yes ]] || continue
        [[ $line == $'\t```' ]] && continue  # a literal block's fences
        if [[ $line == $'\t$ '* ]]; then
            flush
            command=${line#$'\t$ '}
            command=${command//\\\*/*}
            command_line=$line_number
            has_command=yes
        elif [[ $line == $'\t'* && $has_command == yes ]]; then
            expected+=${expected:+$'\n'}${line#$'\t'}
        elif [[ $line == $'\t'* ]]; then
            fail "$page:$line_number: an example that is not a \"\$ command\": $line"
        else
            flush
        fi
    done < "$page"
    flush
done

# Examples in the prose: the file, words that show the example there, the
# command, its input and what it prints.
while IFS=$'\t' read -r file shown command input expected; do
    [[ -z $file || $file == '#'* ]] && continue
    checked=$((checked + 1))
    grep -qF -- "$shown" "$file" || fail "$file no longer says: $shown (update this list)"
    out=$(printf '%s' "$input" | bash -c "$command" 2> "$work/err")
    status=$?
    [[ $status -eq 0 && ! -s $work/err ]] || fail "$file: $command: status $status, $(cat "$work/err")"
    [[ $out == "$expected" ]] ||
        fail "$file: printf '%s' '$input' | $command: prints '$out', the text says '$expected'"
done < <(sed -n '/^# The prose examples:$/,$p' "$0" | sed '1d;s/^#> //;/^[^\t]*$/d')

echo "$checked examples checked, $failures failed"
[[ $failures -eq 0 ]]
exit

# The prose examples:
#> desktop/man/bivano.1.scd	θάλασσα becomes 8alassa	bivano latin	θάλασσα	8alassa
#> desktop/man/bivano.1.scd	thalassa with *--theta th*	bivano latin --theta th	θάλασσα	thalassa
#> desktop/man/bivano.1.scd	Pws eisai? becomes Πως εισαι?	bivano greek	Pws eisai?	Πως εισαι?
#> desktop/man/bivano.1.scd	\*e-mail\* stays e-mail	bivano greek	*e-mail*	e-mail
#> desktop/man/bivano.1.scd	καλιμερα πως εισαι? becomes καλημέρα πώς είσαι;	bivano accents	καλιμερα πως εισαι?	καλημέρα πώς είσαι;
#> desktop/man/bivano.1.scd	word it cannot place stays exactly as typed (κέικς, ό,τι)	bivano accents	κέικς ό,τι	κέικς ό,τι
#> desktop/man/bivano.1.scd	Kalimera pws eisai? becoming Καλημέρα πώς είσαι;	bivano greek --accents	Kalimera pws eisai?	Καλημέρα πώς είσαι;
#> desktop/man/bivano.1.scd	Καλημέρα πώς είσαι; instead of Καλιμερα πως	bivano greek	Kalimera pws eisai?	Καλιμερα πως εισαι?
#> desktop/man/bivano.1.scd	*lativo*: the program's own, the default: θάλασσα 8alassa.	bivano latin --scheme lativo	θάλασσα	8alassa
#> desktop/man/bivano.1.scd	(also UN and BGN/PCGN 1996): Θεσσαλονίκη Thessaloniki, αύριο avrio,	bivano latin --scheme elot743	Θεσσαλονίκη, αύριο	Thessaloniki, avrio
#> desktop/man/bivano.1.scd	ευχαριστώ efcharisto, Μπαμπάς Bampas; accents are dropped.	bivano latin --scheme elot743	ευχαριστώ, Μπαμπάς	efcharisto, Bampas
#> desktop/man/bivano.1.scd	diacritics: Θεσσαλονίκη Thessaloníkī, ώρα ṓra.	bivano latin --scheme iso843	Θεσσαλονίκη, ώρα	Thessaloníkī, ṓra
#> desktop/man/bivano.1.scd	Φιλοσοφία Philosophia, Αθήνα Athēna.	bivano latin --scheme alalc	Φιλοσοφία, Αθήνα	Philosophia, Athēna
#> desktop/man/bivano.1.scd	Κέρκυρα Kérkira, Άγιος Γεώργιος Áyios Yeóryios.	bivano latin --scheme bgn1962	Κέρκυρα, Άγιος Γεώργιος	Kérkira, Áyios Yeóryios
#> desktop/man/bivano.1.scd	signs as single hyphens: Θεσσαλονίκη, 2024! thessaloniki-2024.	bivano latin --scheme slug	Θεσσαλονίκη, 2024!	thessaloniki-2024
#> desktop/man/bivano.1.scd	s σου, p που, gt γιατί, tpt τίποτα, dld δηλαδή, tlk τελικά, ntks	bivano greek --accents --chat	k dn m s p gt tpt dld tlk ntks kl smr tespa	και δεν μου σου που γιατί τίποτα δηλαδή τελικά εντάξει καλά σήμερα τέλος πάντων
#> desktop/man/bivano.1.scd	or a hyphen: m'aresei stays μ'αρέσει). Laughter (xaxa, haha) is written	bivano greek --accents --chat	m'aresei xaxa haha	μ'αρέσει χαχα χαχα
#> desktop/man/bivano.el.1.scd	μόνη της ως λέξη: k και, dn δεν, m μου, s σου, p που, gt γιατί, tpt	bivano greek --accents --chat	k dn m s p gt tpt	και δεν μου σου που γιατί τίποτα
#> desktop/man/bivano.el.1.scd	8alassa, ή thalassa με *--theta th*	bivano latin --theta th	θάλασσα	thalassa
#> desktop/man/bivano.el.1.scd	\*e-mail\* μένει e-mail	bivano greek	*e-mail*	e-mail
#> desktop/man/bivano.el.1.scd	γραμμένου χωρίς τόνους: το καλιμερα πως εισαι? γίνεται καλημέρα πώς είσαι;	bivano accents	καλιμερα πως εισαι?	καλημέρα πώς είσαι;
#> desktop/man/bivano.el.1.scd	ακριβώς όπως γράφτηκε (κέικς, ό,τι)	bivano accents	κέικς ό,τι	κέικς ό,τι
#> desktop/man/bivano.el.1.scd	ώστε το Kalimera pws eisai? να γίνει Καλημέρα πώς είσαι; αντί για	bivano greek --accents	Kalimera pws eisai?	Καλημέρα πώς είσαι;
#> desktop/man/bivano.el.1.scd	του ΟΗΕ και του BGN/PCGN 1996): Θεσσαλονίκη Thessaloniki, αύριο	bivano latin --scheme elot743	Θεσσαλονίκη, αύριο	Thessaloniki, avrio
#> desktop/man/bivano.el.1.scd	avrio, ευχαριστώ efcharisto, Μπαμπάς Bampas· χωρίς τόνους.	bivano latin --scheme elot743	ευχαριστώ, Μπαμπάς	efcharisto, Bampas
#> desktop/man/bivano.el.1.scd	διακριτικά της: Θεσσαλονίκη Thessaloníkī, ώρα ṓra.	bivano latin --scheme iso843	Θεσσαλονίκη, ώρα	Thessaloníkī, ṓra
#> desktop/man/bivano.el.1.scd	νέα ελληνικά: Φιλοσοφία Philosophia, Αθήνα Athēna.	bivano latin --scheme alalc	Φιλοσοφία, Αθήνα	Philosophia, Athēna
#> desktop/man/bivano.el.1.scd	Κέρκυρα Kérkira, Άγιος Γεώργιος Áyios Yeóryios.	bivano latin --scheme bgn1962	Κέρκυρα, Άγιος Γεώργιος	Kérkira, Áyios Yeóryios
#> desktop/man/bivano.el.1.scd	thessaloniki-2024.	bivano latin --scheme slug	Θεσσαλονίκη, 2024!	thessaloniki-2024
#> README.md	`θάλασσα` → `8alassa` (or `thalassa` with TH), `ψυχή` → `cyxh` (or `psyxh`).	bivano latin	θάλασσα ψυχή	8alassa cyxh
#> README.md	`θάλασσα` → `8alassa` (or `thalassa` with TH), `ψυχή` → `cyxh` (or `psyxh`).	bivano latin -t th -p ps	θάλασσα ψυχή	thalassa psyxh
#> README.md	`8alassa` → `θαλασσα`, `ksero` and `3ero` → `ξερο`, `Pws eisai?` →	bivano greek	thalassa 8alassa ksero 3ero Pws eisai?	θαλασσα θαλασσα ξερο ξερο Πως εισαι?
#> README.md	copied as they are: `*e-mail*` stays `e-mail`.	bivano greek	*e-mail*	e-mail
#> README.md	of Greek passports: `Θεσσαλονίκη, ΨΥΧΗ, αύριο` → `Thessaloniki, PSYCHI,	bivano latin -s elot743	Θεσσαλονίκη, ΨΥΧΗ, αύριο	Thessaloniki, PSYCHI, avrio
#> README.md	**Ελληνικά** writes exactly the letters that were typed: `Kalimera pws	bivano greek	Kalimera pws eisai?	Καλιμερα πως εισαι?
#> README.md	and spelled, `Καλημέρα πώς είσαι;`, with the case of each word kept	bivano greek --accents	Kalimera pws eisai?	Καλημέρα πώς είσαι;
#> README.md	(`KALIMERA` → `ΚΑΛΗΜΕΡΑ`, capitals without accents; `Ela` → `Έλα`), and a `?`	bivano greek --accents	KALIMERA Ela	ΚΑΛΗΜΕΡΑ Έλα
#> README.md	such a word exactly as typed, its final ς and its accents too (`κέικς`,	bivano accents	κέικς ό,τι	κέικς ό,τι
#> README.md	where Greek doubles it (`thalasa` → θάλασσα). Each reading has a cost (a	bivano greek --accents	thalasa	θάλασσα
#> README.md	alone. So `ena arxeio h enas fakelos` gives ένα αρχείο ή ένας φάκελος,	bivano greek --accents	ena arxeio h enas fakelos	ένα αρχείο ή ένας φάκελος
#> README.md	`h synarthsh epistrefei` η συνάρτηση επιστρέφει, `alla arxeia` άλλα αρχεία	bivano greek --accents	h synarthsh epistrefei. alla arxeia	η συνάρτηση επιστρέφει. άλλα αρχεία
#> README.md	but `alla den douleuei` αλλά δεν δουλεύει.	bivano greek --accents	alla den douleuei	αλλά δεν δουλεύει
#> README.md	that ends most like it, with its η where an ι was typed (`egkatastatis` →	bivano greek --accents	egkatastatis	εγκαταστάτης
#> README.md	dictionary knows only with a capital (a name) takes it (`athina` → Αθήνα).	bivano greek --accents	athina	Αθήνα
#> README.md	before an enclitic: before μου, σου, μας, σας always (`to systhma sas` →	bivano greek --accents	to systhma sas	το σύστημά σας
#> README.md	phrase (`to onoma tou.` → το όνομά του., but το σύστημα του υπολογιστή).	bivano greek --accents	to onoma tou.	το όνομά του.
#> README.md	Every `?` of a run after a Greek word becomes `;` (`pws eisai??` → πώς είσαι;;).	bivano greek --accents	pws eisai??	πώς είσαι;;
#> README.md	two Latin words or numbers (`Python h UNO`, `0 h 1`), Η first in a sentence.	bivano greek --accents	Python h UNO, 0 h 1	Python ή UNO, 0 ή 1
#> README.md	(`/dev/sda1`) and names of files and hosts (`sources.list`, `debian.org`);	bivano greek --accents	/dev/sda1 sources.list debian.org	/dev/sda1 sources.list debian.org
#> README.md	keys pressed together and settings (`Ctrl+Alt`, `vga=normal`); words	bivano greek --accents	Ctrl+Alt vga=normal	Ctrl+Alt vga=normal
#> README.md	joined by hyphens that would each stay alone (`apt-get`);	bivano greek --accents	apt-get	apt-get
#> README.md	acronyms in Latin capitals that read as no Greek word (`LVM`, `USB2`,	bivano greek --accents	LVM USB2 BASIC	LVM USB2 BASIC
#> README.md	letters (`ScriptForge`, `A1`, `Sheet2`); English words of Debian's English	bivano greek --accents	ScriptForge A1 Sheet2	ScriptForge A1 Sheet2
#> README.md	| `k` | και | `tpt`, `tpta` | τίποτα |	bivano greek --accents --chat	k dn m s p gt tpt tpta dld tlk ntks ntx kl smr tespa	και δεν μου σου που γιατί τίποτα τίποτα δηλαδή τελικά εντάξει εντάξει καλά σήμερα τέλος πάντων
#> README.md	They are typed in Latin or Greek letters alike (κ, δν, μ, γτ, τπτ, …), and	bivano accents --chat	κ δν γτ τπτ δλδ τλκ ντξ	και δεν γιατί τίποτα δηλαδή τελικά εντάξει
#> README.md	`dn 3erw` → δεν ξέρω,	bivano greek --accents --chat	dn 3erw, to systhma m	δεν ξέρω, το σύστημά μου
#> README.md	words' everyday frequencies, so `ti kaneis?` gives τι κάνεις;, `exw` έχω,	bivano greek --accents	ti kaneis? exw teleia!	τι κάνεις; έχω τέλεια!
#> README.md	`teleia!` τέλεια!, while `kaneis den 3erei` stays κανείς δεν ξέρει and	bivano greek --accents	kaneis den 3erei	κανείς δεν ξέρει
#> README.md	(`denxerw` → δεν ξέρω). One word typed as two is joined only where the model	bivano greek --accents	denxerw	δεν ξέρω
#> README.md	than the two taken apart. So `kali mera` → καλημέρα (the counts never have	bivano greek --accents	kali mera	καλημέρα
#> README.md	two words together), `kalh nyxta` → καληνύχτα, `para kalo` → παρακαλώ,	bivano greek --accents	kalh nyxta, para kalo	καληνύχτα, παρακαλώ
#> README.md	`tou laxiston` → τουλάχιστον, while `kali idea` stays καλή ιδέα, `para	bivano greek --accents	tou laxiston, kali idea, para poli	τουλάχιστον, καλή ιδέα, πάρα πολύ
#> README.md	poli` πάρα πολύ, `me gala` με γάλα and `to systhma ta` το σύστημά τα. Only	bivano greek --accents	me gala, to systhma ta	με γάλα, το σύστημά τα
#> README.md	first's capital (`Kali mera` → Καλημέρα); never across a mark, a line, two	bivano greek --accents	Kali mera. kali, mera	Καλημέρα. καλή, μέρα
#> README.md	reads from its first word: `pou eisai?` → πού είσαι;, `ti 8eleis?` → τι	bivano greek --accents	pou eisai? ti 8eleis?	πού είσαι; τι θέλεις;
#> README.md	| `elot743` | ELOT 743 / ISO 843 transcription; Greek passports, UN, BGN/PCGN 1996 | Thessaloniki | avrio, efcharisto | Bampas, Lampros | Kerkyra |	bivano latin -s elot743	Θεσσαλονίκη αύριο, ευχαριστώ Μπαμπάς, Λάμπρος Κέρκυρα	Thessaloniki avrio, efcharisto Bampas, Lampros Kerkyra
#> README.md	| `iso843` | ISO 843 transliteration, reversible, with its diacritics | Thessaloníkī | aúrio, eucharistṓ | Mpampás, Lámpros | Kérkyra |	bivano latin -s iso843	Θεσσαλονίκη αύριο, ευχαριστώ Μπαμπάς, Λάμπρος Κέρκυρα	Thessaloníkī aúrio, eucharistṓ Mpampás, Lámpros Kérkyra
#> README.md	| `alalc` | Library of Congress (ALA-LC), Modern Greek | Thessalonikē | aurio, eucharistō | Bampas, Lampros | Kerkyra |	bivano latin -s alalc	Θεσσαλονίκη αύριο, ευχαριστώ Μπαμπάς, Λάμπρος Κέρκυρα	Thessalonikē aurio, eucharistō Bampas, Lampros Kerkyra
#> README.md	| `bgn1962` | BGN/PCGN 1962, place names, stress marked | Thessaloníki | ávrio, evkharistó | Bambás, Lámbros | Kérkira |	bivano latin -s bgn1962	Θεσσαλονίκη αύριο, ευχαριστώ Μπαμπάς, Λάμπρος Κέρκυρα	Thessaloníki ávrio, evkharistó Bambás, Lámbros Kérkira
#> README.md	| `slug` | each line in lower-case ASCII from `elot743`, other signs as one hyphen | thessaloniki | avrio-efcharisto | bampas-lampros | kerkyra |	bivano latin -s slug	Θεσσαλονίκη	thessaloniki
#> README.md	| `slug` | each line in lower-case ASCII from `elot743`, other signs as one hyphen | thessaloniki | avrio-efcharisto | bampas-lampros | kerkyra |	bivano latin -s slug	αύριο, ευχαριστώ	avrio-efcharisto
#> README.md	Capitals stay capitals (`ΘΕΣΣΑΛΟΝΙΚΗ` → `THESSALONIKI`, `Θ.` → `Th.`); a	bivano latin -s elot743	ΘΕΣΣΑΛΟΝΙΚΗ Θ.	THESSALONIKI Th.
#> README.md	diaeresis, or a tonos on the first vowel, parts a pair (`Μαΐου` →	bivano latin -s elot743	Μαΐου άυλος	Maiou aylos
#> README.md	`elot743` follows the standard's own table: `Λάμπρος` → `Lampros`,	bivano latin -s elot743	Λάμπρος Ειρήνη	Lampros Eirini
#> README.md	(ἄνθρωπος → `an8rwpos`), letters followed by separate combining accents, and	bivano latin	ἄνθρωπος	an8rwpos
#> README.md	letters as their usual Latin spellings (ϛ → `st`, ϙ → `q`). The table is	bivano latin	ϛ ϙ	st q
