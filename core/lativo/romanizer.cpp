// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lativo/romanizer.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "core/encoding/greek_letters.h"
#include "core/lativo/to_latin_folds.h"

namespace bivano::internal {
namespace {

constexpr char16_t kAcute = u'\u0301';
constexpr char16_t kDiaeresis = u'\u0308';

using Letter = Romanizer::Letter;

// The letters of the monotonic table as the standards see them, made once
// at compile time: no letter where `base` is 0.
constexpr std::array<Letter, greek_letters::kLast - greek_letters::kFirst + 1> MakeLetterTable() {
    std::array<Letter, greek_letters::kLast - greek_letters::kFirst + 1> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (const std::optional<GreekLetterParts> parts =
                PartsOf(static_cast<char16_t>(greek_letters::kFirst + i))) {
            table[i] = {parts->base, parts->capital, parts->tonos, parts->diaeresis};
        }
    }
    return table;
}

constexpr std::array<Letter, greek_letters::kLast - greek_letters::kFirst + 1> kLetterTable =
    MakeLetterTable();

// The letters a character stands for: one, or a few for a fold such as
// ϛ -> στ; none when it is no Greek letter.
std::size_t LettersOf(char16_t c, std::array<Letter, 3>& letters) {
    // Most text is no Greek at all: only the two Greek blocks hold letters.
    if (c < u'\u0370' || (c > u'\u03FF' && (c < u'\u1F00' || c > u'\u1FFF'))) {
        return 0;
    }
    if (c >= greek_letters::kFirst && c <= greek_letters::kLast &&
        kLetterTable[c - greek_letters::kFirst].base != 0) {
        letters[0] = kLetterTable[c - greek_letters::kFirst];
        return 1;
    }
    // Polytonic letters and the letter variants, as Lativo folds them.
    const std::optional<std::u16string_view> fold = GreekFold(c);
    if (!fold || fold->size() > letters.size()) {
        return 0;
    }
    std::size_t count = 0;
    for (const char16_t part : *fold) {
        std::array<Letter, 3> inner;
        if (part == c || LettersOf(part, inner) != 1) {
            return 0;
        }
        letters[count++] = inner[0];
    }
    return count;
}

bool IsLineBreak(char16_t c) {
    return c == u'\n' || c == u'\r' || c == u'\u2029' || c == u'\u2028';
}

constexpr bool IsVowel(char16_t base) {
    return IsGreekVowel(base);
}

// Before what αυ, ευ and ηυ sound as av, ev, iv: a vowel or a voiced consonant.
bool VoicedAt(const std::vector<Letter>& word, std::size_t index) {
    return index < word.size() &&
           (IsVowel(word[index].base) ||
            std::u16string_view(u"βγδζλμνρ").find(word[index].base) != std::u16string_view::npos);
}

// Whether υ at `index` closes a diphthong with the vowel before it, one of
// `firsts`: neither a diaeresis on υ nor a tonos on the first vowel parts them.
bool UpsilonCloses(const std::vector<Letter>& word, std::size_t index, std::u16string_view firsts) {
    if (index == 0 || index >= word.size()) {
        return false;
    }
    const Letter& first = word[index - 1];
    const Letter& upsilon = word[index];
    return upsilon.base == u'υ' && !upsilon.diaeresis && !first.tonos && !first.diaeresis &&
           firsts.find(first.base) != std::u16string_view::npos;
}

// What one step of a word gives: Latin text in small letters, how many
// Greek letters it took, and where a kept tonos or diaeresis goes.
struct Step {
    std::u16string_view text;
    std::size_t letters = 1;
    std::size_t mark_at = 0;
};

std::u16string_view SingleLetter(LatinScheme scheme, char16_t base) {
    // α β γ δ ε ζ η θ ι κ λ μ ν ξ ο π ρ σ τ υ φ χ ψ ω
    static constexpr std::array<std::u16string_view, 24> kElot = {
        u"a", u"v", u"g", u"d", u"e", u"z", u"i", u"th", u"i", u"k",  u"l",  u"m",
        u"n", u"x", u"o", u"p", u"r", u"s", u"t", u"y",  u"f", u"ch", u"ps", u"o"};
    static constexpr std::array<std::u16string_view, 24> kIso = {
        u"a", u"v", u"g", u"d", u"e", u"z", u"ī", u"th", u"i", u"k",  u"l",  u"m",
        u"n", u"x", u"o", u"p", u"r", u"s", u"t", u"y",  u"f", u"ch", u"ps", u"ō"};
    static constexpr std::array<std::u16string_view, 24> kAlaLc = {
        u"a", u"v", u"g", u"d", u"e", u"z", u"ē", u"th", u"i",  u"k",  u"l",  u"m",
        u"n", u"x", u"o", u"p", u"r", u"s", u"t", u"y",  u"ph", u"ch", u"ps", u"ō"};
    static constexpr std::array<std::u16string_view, 24> kBgn = {
        u"a", u"v", u"g", u"dh", u"e", u"z", u"i", u"th", u"i", u"k",  u"l",  u"m",
        u"n", u"x", u"o", u"p",  u"r", u"s", u"t", u"i",  u"f", u"kh", u"ps", u"o"};
    // The small letters run from α (U+03B1) to ω (U+03C9), with ς at U+03C2.
    std::size_t index = static_cast<std::size_t>(base - u'α');
    if (base > u'ς') {
        --index;
    }
    switch (scheme) {
        case LatinScheme::Iso843:
            return kIso[index];
        case LatinScheme::AlaLc:
            return kAlaLc[index];
        case LatinScheme::Bgn1962:
            return kBgn[index];
        case LatinScheme::Lativo:
        case LatinScheme::Elot743:
        case LatinScheme::Slug:
            break;
    }
    return kElot[index];
}

// γ before γ, κ, ξ or χ, as each scheme writes the pair; empty before any
// other letter.
std::u16string_view GammaPair(LatinScheme scheme, char16_t next, bool initial) {
    static constexpr std::array<std::u16string_view, 4> kElot = {u"ng", u"gk", u"nx", u"nch"};
    static constexpr std::array<std::u16string_view, 4> kAlaLc = {u"ng", u"nk", u"nx", u"nch"};
    static constexpr std::array<std::u16string_view, 4> kBgn = {u"ng", u"ng", u"nx", u"nkh"};
    const std::size_t which = std::u16string_view(u"γκξχ").find(next);
    if (which == std::u16string_view::npos || scheme == LatinScheme::Iso843) {
        return {};
    }
    if (scheme == LatinScheme::AlaLc) {
        return kAlaLc[which];
    }
    if (scheme == LatinScheme::Bgn1962) {
        return initial && next == u'κ' ? u"g" : kBgn[which];
    }
    return kElot[which];
}

// The step at `i` of `word` under `scheme`.
Step StepAt(LatinScheme scheme, const std::vector<Letter>& word, std::size_t i) {
    const char16_t base = word[i].base;
    const char16_t next = i + 1 < word.size() ? word[i + 1].base : u'\0';
    const bool initial = i == 0;
    switch (scheme) {
        case LatinScheme::Lativo:
        case LatinScheme::Slug:
        case LatinScheme::Elot743:
            if (UpsilonCloses(word, i + 1, u"αεη")) {
                const bool voiced = VoicedAt(word, i + 2);
                switch (base) {
                    case u'α':
                        return {voiced ? u"av" : u"af", 2};
                    case u'ε':
                        return {voiced ? u"ev" : u"ef", 2};
                    default:
                        return {voiced ? u"iv" : u"if", 2};
                }
            }
            if (UpsilonCloses(word, i + 1, u"ο")) {
                return {u"ou", 2};
            }
            if (base == u'μ' && next == u'π') {
                return {initial ? u"b" : u"mp", 2};
            }
            if (base == u'γ' && !GammaPair(scheme, next, initial).empty()) {
                return {GammaPair(scheme, next, initial), 2};
            }
            break;
        case LatinScheme::Iso843:
            // Letter by letter; υ is u in the diphthongs.
            if (base == u'υ' && !word[i].diaeresis &&
                (UpsilonCloses(word, i, u"αεηοω") || (next == u'ι' && !word[i + 1].diaeresis))) {
                return {u"u", 1};
            }
            break;
        case LatinScheme::AlaLc:
            if (base == u'υ' && UpsilonCloses(word, i, u"αεηοω")) {
                return {u"u", 1};
            }
            if (initial && base == u'μ' && next == u'π') {
                return {u"b", 2};
            }
            if (initial && base == u'ν' && next == u'τ') {
                return {u"d", 2};
            }
            if (base == u'γ' && !GammaPair(scheme, next, initial).empty()) {
                return {GammaPair(scheme, next, initial), 2};
            }
            break;
        case LatinScheme::Bgn1962:
            if (UpsilonCloses(word, i + 1, u"αεη")) {
                return {base == u'α' ? u"av" : base == u'ε' ? u"ev" : u"iv", 2, 0};
            }
            if (UpsilonCloses(word, i + 1, u"ο")) {
                return {u"ou", 2, 1};
            }
            if ((base == u'ε' || base == u'ο') && next == u'ι' && !word[i].tonos &&
                !word[i + 1].diaeresis) {
                return {u"i", 2, 0};
            }
            if (base == u'μ' && next == u'π') {
                return {initial ? u"b" : u"mb", 2};
            }
            if (base == u'ν' && next == u'τ') {
                return {initial ? u"d" : u"nd", 2};
            }
            if (base == u'γ' && !GammaPair(scheme, next, initial).empty()) {
                return {GammaPair(scheme, next, initial), 2};
            }
            if (base == u'γ' &&
                std::u16string_view(u"εηιυ").find(next) != std::u16string_view::npos) {
                return {u"y", 1};  // before the front vowels
            }
            break;
    }
    return {SingleLetter(scheme, base), 1};
}

char16_t Upper(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return static_cast<char16_t>(c - 32);
    }
    switch (c) {
        case u'ī':
            return u'Ī';
        case u'ō':
            return u'Ō';
        case u'ē':
            return u'Ē';
        default:
            return c;
    }
}

// A Latin letter followed by a combining mark, as one character where
// Unicode has one.
char16_t Composed(char16_t letter, char16_t mark) {
    static constexpr std::array<std::array<char16_t, 3>, 26> kPairs = {{
        {u'a', kAcute, u'á'},     {u'e', kAcute, u'é'},     {u'i', kAcute, u'í'},
        {u'o', kAcute, u'ó'},     {u'u', kAcute, u'ú'},     {u'y', kAcute, u'ý'},
        {u'ō', kAcute, u'ṓ'},     {u'ē', kAcute, u'ḗ'},     {u'ï', kAcute, u'ḯ'},
        {u'A', kAcute, u'Á'},     {u'E', kAcute, u'É'},     {u'I', kAcute, u'Í'},
        {u'O', kAcute, u'Ó'},     {u'U', kAcute, u'Ú'},     {u'Y', kAcute, u'Ý'},
        {u'Ō', kAcute, u'Ṓ'},     {u'Ē', kAcute, u'Ḗ'},     {u'Ï', kAcute, u'Ḯ'},
        {u'i', kDiaeresis, u'ï'}, {u'y', kDiaeresis, u'ÿ'}, {u'u', kDiaeresis, u'ü'},
        {u'I', kDiaeresis, u'Ï'}, {u'Y', kDiaeresis, u'Ÿ'}, {u'U', kDiaeresis, u'Ü'},
        {u'e', kDiaeresis, u'ë'}, {u'E', kDiaeresis, u'Ë'},
    }};
    for (const auto& [base, combining, composed] : kPairs) {
        if (base == letter && combining == mark) {
            return composed;
        }
    }
    return u'\0';
}

void AppendMarked(std::u16string& out, char16_t letter, bool diaeresis, bool acute) {
    if (!diaeresis && !acute) {
        out.push_back(letter);
        return;
    }
    std::array<char16_t, 2> marks{};
    std::size_t mark_count = 0;
    if (diaeresis) {
        if (const char16_t composed = Composed(letter, kDiaeresis)) {
            letter = composed;
        } else {
            marks[mark_count++] = kDiaeresis;
        }
    }
    if (acute) {
        if (const char16_t composed = mark_count == 0 ? Composed(letter, kAcute) : u'\0') {
            letter = composed;
        } else {
            marks[mark_count++] = kAcute;
        }
    }
    out.push_back(letter);
    out.append(marks.data(), mark_count);
}

// Which marks a scheme keeps: ISO 843 and BGN/PCGN both, ALA-LC the diaeresis.
bool KeepsTonos(LatinScheme scheme) {
    return scheme == LatinScheme::Iso843 || scheme == LatinScheme::Bgn1962;
}
bool KeepsDiaeresis(LatinScheme scheme) {
    return KeepsTonos(scheme) || scheme == LatinScheme::AlaLc;
}

void RomanizeWord(LatinScheme scheme, const std::vector<Letter>& word, std::u16string& out) {
    const bool all_capitals =
        word.size() > 1 &&
        std::all_of(word.begin(), word.end(), [](const Letter& l) { return l.upper; });
    for (std::size_t i = 0; i < word.size();) {
        const Step step = StepAt(scheme, word, i);
        bool tonos = false;
        bool diaeresis = false;
        for (std::size_t k = i; k < i + step.letters; ++k) {
            tonos = tonos || word[k].tonos;
            diaeresis = diaeresis || word[k].diaeresis;
        }
        tonos = tonos && KeepsTonos(scheme);
        diaeresis = diaeresis && KeepsDiaeresis(scheme);
        for (std::size_t k = 0; k < step.text.size(); ++k) {
            char16_t letter = step.text[k];
            if (word[i].upper && (k == 0 || all_capitals)) {
                letter = Upper(letter);
            }
            const bool marked = k == std::min(step.mark_at, step.text.size() - 1);
            AppendMarked(out, letter, marked && diaeresis, marked && tonos);
        }
        i += step.letters;
    }
}

}  // namespace

void Romanizer::Convert(std::u16string_view piece, std::u16string& out) {
    if (held_.empty()) {
        // Read in place; only a word that may go on is kept.
        held_.assign(piece.substr(Run(piece, false, out)));
        return;
    }
    held_.append(piece);
    held_.erase(0, Run(held_, false, out));
}

void Romanizer::Finish(std::u16string& out) {
    Run(held_, true, out);
    held_.clear();
}

void Romanizer::Emit(std::u16string_view text, std::u16string& out) {
    if (scheme_ != LatinScheme::Slug) {
        out.append(text);
        return;
    }
    for (const char16_t c : text) {
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (letter || (c >= u'0' && c <= u'9')) {
            if (hyphen_waiting_ && line_has_text_) {
                out.push_back(u'-');
            }
            hyphen_waiting_ = false;
            line_has_text_ = true;
            out.push_back(letter ? static_cast<char16_t>(c | 0x20) : c);
        } else if (IsLineBreak(c)) {
            hyphen_waiting_ = false;
            line_has_text_ = false;
            out.push_back(c);
        } else {
            hyphen_waiting_ = true;
        }
    }
}

std::size_t Romanizer::Run(std::u16string_view text, bool final, std::u16string& out) {
    // A word longer than this is taken as ending at a piece's end, so that
    // a text without a break never piles up.
    constexpr std::size_t kLongestHeldWord = std::size_t{1} << 16;
    std::array<Letter, 3> letters;
    std::size_t plain_start = 0;  // of text that is no word, not yet emitted
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t count = LettersOf(text[at], letters);
        if (count == 0) {
            ++at;
            continue;
        }
        // A word: its letters and the combining marks after them.
        const std::size_t word_start = at;
        word_.clear();
        while (true) {
            word_.insert(word_.end(), letters.begin(), letters.begin() + count);
            ++at;
            for (; at < text.size(); ++at) {
                const char16_t c = text[at];
                if (!IsCombiningMark(c)) {
                    break;
                }
                if (c == kAcute || c == u'\u0341' || c == u'\u0344') {
                    word_.back().tonos = true;
                }
                if (c == kDiaeresis || c == u'\u0344') {
                    word_.back().diaeresis = true;
                }
            }
            if (at == text.size() || (count = LettersOf(text[at], letters)) == 0) {
                break;
            }
        }
        if (at == text.size() && !final && at - word_start < kLongestHeldWord) {
            at = word_start;  // it may go on in the next piece
            break;
        }
        Emit(text.substr(plain_start, word_start - plain_start), out);
        if (scheme_ == LatinScheme::Slug) {
            word_out_.clear();
            RomanizeWord(scheme_, word_, word_out_);
            Emit(word_out_, out);
        } else {
            RomanizeWord(scheme_, word_, out);
        }
        plain_start = at;
    }
    Emit(text.substr(plain_start, at - plain_start), out);
    return at;
}

}  // namespace bivano::internal
