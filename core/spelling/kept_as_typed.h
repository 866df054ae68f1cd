// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/spelling/word_reader.h"

namespace bivano::internal {

// A word in Latin letters, as the rules that keep words as typed see it:
// the blank-delimited word without the punctuation around it.
struct TypedWord {
    std::u16string_view word;
    bool inside;  // inside a sentence, not its first word
    std::size_t capitals = 0;
    std::size_t digits = 0;
    bool other_digits = false;  // digits but 3 and 8, which may be ξ and θ
    // The first character that settles the word alone, when there is one.
    enum class Mark : std::uint8_t {
        None,
        CapitalAfterSmall,  // ScriptForge
        Joiner,             // a + or = between letters or digits: Ctrl+Alt, vga=normal
        Hyphen,             // apt-get
        Other,              // anything but Latin letters and digits: '.', '/', '@'
    } mark = Mark::None;
    // The readings of the whole word, once a rule has looked them up.
    std::uint32_t reading = ReadingCache::kNone;
};

enum class Verdict : std::uint8_t { Undecided, Kept, Read };

// One rule: its name, and what it says of a word (Undecided to leave it to
// the rules after it).
struct KeptRule {
    std::string_view name;
    Verdict (*judge)(TypedWord& word, WordReader& reader);
};

// The rules, in the order they are asked; a word no rule keeps is read.
std::span<const KeptRule> KeptAsTypedRules();

struct KeptJudgement {
    bool kept = false;
    std::string_view rule;  // the rule that settled it; empty when none did
    // The readings of the whole word when a rule looked them up.
    std::uint32_t reading = ReadingCache::kNone;
};

// Whether a word in Latin letters stays as typed, and by which rule: web
// and e-mail addresses, paths, names of files and hosts, keys pressed
// together, names in Latin letters (LibreOffice), acronyms (LVM, USB2) and
// English words that read as no Greek word in use ("super", not "to").
KeptJudgement JudgeKeptAsTyped(std::u16string_view word, bool inside, WordReader& reader);

}  // namespace bivano::internal
