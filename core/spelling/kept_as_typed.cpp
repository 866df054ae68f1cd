// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spelling/kept_as_typed.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "core/spelling/typed_readings.h"

namespace bivano::internal {
namespace {

using namespace std::string_view_literals;
using Mark = TypedWord::Mark;

constexpr std::u16string_view kDigits = u"0123456789";

// Counts a word's capitals and digits up to the first character that
// settles it alone.
TypedWord ShapeOf(std::u16string_view word, bool inside) {
    TypedWord shape{word, inside};
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char16_t c = word[i];
        if (c >= u'A' && c <= u'Z') {
            ++shape.capitals;
            if (i > 0 && word[i - 1] >= u'a' && word[i - 1] <= u'z') {
                shape.mark = Mark::CapitalAfterSmall;
                return shape;
            }
        } else if (c >= u'0' && c <= u'9') {
            ++shape.digits;
            shape.other_digits |= c != u'3' && c != u'8';
        } else if ((c == u'+' || c == u'=') && i > 0 && i + 1 < word.size() &&
                   IsLatinOrDigit(word[i - 1]) && IsLatinOrDigit(word[i + 1])) {
            shape.mark = Mark::Joiner;
            return shape;
        } else if (c == u'-' && i > 0 && i + 1 < word.size()) {
            shape.mark = Mark::Hyphen;
            return shape;
        } else if (!IsLatinLetter(c)) {
            shape.mark = Mark::Other;
            return shape;
        }
    }
    return shape;
}

bool LettersAndDigits(const TypedWord& w) {
    return w.mark == Mark::None && w.digits > 0 && w.digits < w.word.size();
}

bool CapitalsAndDigitsOnly(const TypedWord& w) {
    return w.mark == Mark::None && w.capitals + w.digits == w.word.size();
}

// A capital inside a sentence makes a name or a term.
bool IsName(const TypedWord& w) {
    return w.inside && w.capitals == 1 && IsUpper(w.word.front());
}

const WordReading& WholeWord(TypedWord& w, WordReader& reader) {
    if (w.reading == ReadingCache::kNone) {
        w.reading = reader.Read(w.word);
    }
    return reader.At(w.reading);
}

Verdict KeptIf(bool kept) {
    return kept ? Verdict::Kept : Verdict::Undecided;
}

// ScriptForge, LibreOffice: a capital after a small letter.
Verdict NameInLatinLetters(TypedWord& w, WordReader&) {
    return KeptIf(w.mark == Mark::CapitalAfterSmall);
}

// Keys pressed together, a sum of cells, a setting: Ctrl+Alt, A1+B2,
// vga=normal.
Verdict KeysOrSetting(TypedWord& w, WordReader&) {
    return KeptIf(w.mark == Mark::Joiner);
}

// Words joined by hyphens stay when each stays alone: apt-get,
// task-greek-desktop; but leksh-kleidi is λέξη-κλειδί.
Verdict JoinedByHyphens(TypedWord& w, WordReader& reader) {
    if (w.mark != Mark::Hyphen) {
        return Verdict::Undecided;
    }
    for (std::size_t start = 0; start <= w.word.size();) {
        const std::size_t stop = std::min(w.word.find(u'-', start), w.word.size());
        const std::u16string_view part = w.word.substr(start, stop - start);
        if (part.empty() || !JudgeKeptAsTyped(part, w.inside, reader).kept) {
            return Verdict::Read;
        }
        start = stop + 1;
    }
    return Verdict::Kept;
}

// /dev/sda1, ~/.config, ./configure.
Verdict Path(TypedWord& w, WordReader&) {
    if (w.mark != Mark::Other) {
        return Verdict::Undecided;
    }
    for (const std::u16string_view start : {u"/"sv, u"~/"sv, u"./"sv, u"../"sv}) {
        if (w.word.size() > start.size() && w.word.substr(0, start.size()) == start &&
            (IsLatinOrDigit(w.word[start.size()]) || w.word[start.size()] == u'.')) {
            return Verdict::Kept;
        }
    }
    return Verdict::Undecided;
}

// sources.list, preseed.cfg, debian.org: the end after the last dot is one
// that files and hosts have.
Verdict FileOrHostName(TypedWord& w, WordReader&) {
    static constexpr std::u16string_view kEnds[] = {
        u"com",  u"org", u"net",  u"edu",  u"gov", u"gr",   u"eu",  u"de",   u"uk",  u"io",
        u"info", u"py",  u"sh",   u"txt",  u"cfg", u"conf", u"ini", u"list", u"log", u"html",
        u"htm",  u"xml", u"json", u"deb",  u"iso", u"img",  u"gz",  u"xz",   u"bz2", u"zip",
        u"tar",  u"png", u"jpg",  u"jpeg", u"gif", u"svg",  u"pdf", u"odt",  u"ods", u"doc",
        u"docx", u"xls", u"xlsx", u"cpp",  u"js",  u"css",  u"so",  u"exe",  u"mo",  u"po"};
    const std::u16string_view word = w.word;
    const std::size_t dot = word.rfind(u'.');
    if (w.mark != Mark::Other || dot == std::u16string_view::npos || dot == 0 ||
        dot + 1 == word.size()) {
        return Verdict::Undecided;
    }
    const bool plain_name = std::all_of(word.begin(), word.end(), [](char16_t c) {
        return IsLatinOrDigit(c) || c == u'.' || c == u'_' || c == u'-' || c == u'+';
    });
    std::u16string end(word.substr(dot + 1));
    std::transform(end.begin(), end.end(), end.begin(), ReadingLower);
    return KeptIf(plain_name &&
                  std::find(std::begin(kEnds), std::end(kEnds), end) != std::end(kEnds));
}

// http://…, www.…
Verdict WebAddress(TypedWord& w, WordReader&) {
    if (w.mark != Mark::Other) {
        return Verdict::Undecided;
    }
    const std::u16string_view word = w.word;
    const auto starts = [&](std::u16string_view prefix) {
        if (word.size() < prefix.size()) {
            return false;
        }
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            if (ReadingLower(word[i]) != prefix[i]) {
                return false;
            }
        }
        return true;
    };
    return KeptIf(word.find(u"://"sv) != std::u16string_view::npos || starts(u"www."));
}

// someone@somewhere.gr
Verdict MailAddress(TypedWord& w, WordReader&) {
    const std::size_t at = w.word.find(u'@');
    return KeptIf(w.mark == Mark::Other && at != std::u16string_view::npos && at > 0 &&
                  w.word.find(u'.', at + 2) != std::u16string_view::npos && w.word.back() != u'.');
}

// Any other mark inside a word (an apostrophe, a dot): read as Greek.
Verdict OtherMarks(TypedWord& w, WordReader&) {
    return w.mark == Mark::Other ? Verdict::Read : Verdict::Undecided;
}

// A Greek word with a number after it (Fyllo2, Stili10): its letters are
// read, the number stays. Sheet2 is English; 3 and 8 would be read as
// letters.
Verdict NumberedGreekWord(TypedWord& w, WordReader& reader) {
    if (!LettersAndDigits(w)) {
        return Verdict::Undecided;
    }
    const std::u16string_view word = w.word;
    const std::size_t first_digit = word.find_first_of(kDigits);
    const bool numbered =
        first_digit >= 3 &&
        word.find_first_not_of(kDigits, first_digit) == std::u16string_view::npos &&
        word.find_first_of(u"38"sv, first_digit) == std::u16string_view::npos && w.capitals <= 1 &&
        (w.capitals == 0 || IsUpper(word.front()));
    if (!numbered) {
        return Verdict::Undecided;
    }
    const WordReading& letters = reader.At(reader.Read(word.substr(0, first_digit)));
    return !letters.choices.empty() && !letters.english ? Verdict::Read : Verdict::Undecided;
}

// Capitals then digits: USB2, A1.
Verdict AcronymWithNumber(TypedWord& w, WordReader&) {
    const std::u16string_view word = w.word;
    return KeptIf(LettersAndDigits(w) && w.capitals > 0 &&
                  word.find_first_of(kDigits) == w.capitals &&
                  word.find_first_not_of(kDigits, w.capitals) == std::u16string_view::npos);
}

// Letters and digits that are no Greek reading: Sheet2, x86 (but E3odos
// is Έξοδος: 3 and 8 may be ξ and θ).
Verdict LettersWithDigits(TypedWord& w, WordReader&) {
    return KeptIf(LettersAndDigits(w) && w.other_digits);
}

// Capitals that read as Greek (KALIMERA, ELA; 3ERW is ΞΕΡΩ), or are
// written out (TPT).
Verdict GreekInCapitals(TypedWord& w, WordReader& reader) {
    if (!CapitalsAndDigitsOnly(w) || w.capitals < 2 || w.other_digits) {
        return Verdict::Undecided;
    }
    return reader.ReadsAsGreek(w.word, kWordWeights.capitals_as_greek) || reader.WrittenOut(w.word)
               ? Verdict::Read
               : Verdict::Undecided;
}

// Capitals in Latin letters that read as no Greek word: LVM, BASIC.
Verdict Acronym(TypedWord& w, WordReader&) {
    return KeptIf(CapitalsAndDigitsOnly(w) && w.capitals >= 2);
}

// One letter, a number, a capital with a number: read.
Verdict ShortOrWithDigits(TypedWord& w, WordReader&) {
    return w.digits > 0 || w.word.size() < 2 ? Verdict::Read : Verdict::Undecided;
}

// Tpt, Xaxa.
Verdict ChatWordOrLaughter(TypedWord& w, WordReader& reader) {
    return reader.WrittenOut(w.word) ? Verdict::Read : Verdict::Undecided;
}

// An English word (from Debian's English word list) that reads as no
// Greek word in use as typed: "super", "and"; not "to", "me", "auto".
Verdict EnglishWord(TypedWord& w, WordReader& reader) {
    return KeptIf(WholeWord(w, reader).english);
}

// A capitalised English word inside a sentence (Base, Title), unless a
// Greek word in use reads from its very letters (To, Mia).
Verdict EnglishName(TypedWord& w, WordReader& reader) {
    const WordReading& read = WholeWord(w, reader);
    return KeptIf(IsName(w) && read.in_english && !read.exact);
}

// A capitalised word inside a sentence that reads as no Greek word at all
// and takes no accent from a known ending (Calc; but Diamantidis), or only
// with a slip of typing.
Verdict UnknownName(TypedWord& w, WordReader& reader) {
    const WordReading& read = WholeWord(w, reader);
    return KeptIf(IsName(w) && ((read.choices.empty() && read.fixed.empty()) || read.mended));
}

constexpr KeptRule kRules[] = {
    {"name in Latin letters", NameInLatinLetters},
    {"keys or a setting", KeysOrSetting},
    {"words joined by hyphens", JoinedByHyphens},
    {"path", Path},
    {"file or host name", FileOrHostName},
    {"web address", WebAddress},
    {"e-mail address", MailAddress},
    {"other marks", OtherMarks},
    {"Greek word with a number", NumberedGreekWord},
    {"acronym with a number", AcronymWithNumber},
    {"letters with digits", LettersWithDigits},
    {"Greek in capitals", GreekInCapitals},
    {"acronym", Acronym},
    {"short or with digits", ShortOrWithDigits},
    {"chat word or laughter", ChatWordOrLaughter},
    {"English word", EnglishWord},
    {"English name", EnglishName},
    {"unknown name", UnknownName},
};

}  // namespace

std::span<const KeptRule> KeptAsTypedRules() {
    return kRules;
}

KeptJudgement JudgeKeptAsTyped(std::u16string_view word, bool inside, WordReader& reader) {
    TypedWord shape = ShapeOf(word, inside);
    for (const KeptRule& rule : kRules) {
        const Verdict verdict = rule.judge(shape, reader);
        if (verdict != Verdict::Undecided) {
            return {verdict == Verdict::Kept, rule.name, shape.reading};
        }
    }
    return {false, {}, shape.reading};
}

}  // namespace bivano::internal
