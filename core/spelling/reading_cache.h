// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/spelling/greek_model.h"

namespace bivano::internal {

// One choice for a typed word: a word of the model, how unlikely the
// reading that gives it, and its score alone (the word's log likelihood
// less the reading's cost).
struct Choice {
    std::uint32_t word;
    float cost;
    double score;
    std::uint32_t ending;  // the word's ending, for the counts
    // The word's entry in the model, copied: the phrase writes it from
    // here, without a look into the model's words (in room that the
    // alignment leaves free).
    GreekModel::Word entry{};
};
static_assert(sizeof(Choice) == 24);

// What a typed word (in small letters) may be.
struct WordReading {
    std::vector<Choice> choices;  // best first; empty for an unknown word
    // The first choice, which phrases mostly write: its entry and, when it
    // is no longer than kFirstLetters, its letters as the model's bytes
    // (GreekModel::LetterBytes). Kept beside the choices, so that a phrase
    // writes it without a look there or into the model.
    static constexpr std::size_t kFirstLetters = 21;
    std::uint8_t first_length = 0;  // 0: not kept here
    GreekModel::Word first_entry{};
    std::array<std::uint8_t, kFirstLetters> first_letters{};
    std::u16string fixed;      // an unknown word spelled by its ending, a chat word
    std::u16string converted;  // an unknown word's letters, small
    bool chat = false;         // a chat abbreviation, written out
    bool in_english = false;   // in the English word list
    bool exact = false;        // a Greek word in use reads from its very letters
    bool english = false;      // and reads as no Greek word as typed
    bool mended = false;       // read only with a slip of typing, or as two words
};

// A hash of a short text: four letters at a time, the last four (which
// may overlap the four before) or the few there are to end it.
inline std::uint64_t HashOf(std::u16string_view key) {
    std::uint64_t hash = 0x9E3779B97F4A7C15ULL ^ key.size();
    const auto mix = [&hash](std::uint64_t four) {
        hash = (hash ^ four) * 0xFF51AFD7ED558CCDULL;
        hash ^= hash >> 32;
    };
    const auto four_at = [&key](std::size_t at) {
        std::uint64_t four;
        std::memcpy(&four, key.data() + at, sizeof four);
        return four;
    };
    std::size_t at = 0;
    for (; at + 4 <= key.size(); at += 4) {
        mix(four_at(at));
    }
    if (at < key.size()) {
        if (key.size() >= 4) {
            mix(four_at(key.size() - 4));
        } else {
            std::uint64_t few = 0;
            std::memcpy(&few, key.data() + at, (key.size() - at) * sizeof(char16_t));
            mix(few);
        }
    }
    hash ^= hash >> 33;
    hash *= 0xC4CEB9FE1A85EC53ULL;
    return hash ^ (hash >> 33);
}

// Whether two texts of `size` characters are the same, four at a step.
inline bool SameText(const char16_t* a, const char16_t* b, std::size_t size) {
    std::size_t at = 0;
    for (; at + 4 <= size; at += 4) {
        std::uint64_t four_a;
        std::uint64_t four_b;
        std::memcpy(&four_a, a + at, sizeof four_a);
        std::memcpy(&four_b, b + at, sizeof four_b);
        if (four_a != four_b) {
            return false;
        }
    }
    for (; at < size; ++at) {
        if (a[at] != b[at]) {
            return false;
        }
    }
    return true;
}

// Values by text, for the words met so far: most words of a text are met
// again and again. Numbers given out stay good until Clear.
template <class Value>
class TextKeyed {
  public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;

    std::uint32_t Find(std::u16string_view key, std::uint64_t hash) const {
        if (slots_.empty()) {
            return kNone;
        }
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const std::uint32_t slot = slots_[at];
            if (slot == 0) {
                return kNone;
            }
            const Entry& entry = entries_[slot - 1];
            if (entry.hash == hash && entry.key_length == key.size() &&
                SameText(keys_.data() + entry.key_offset, key.data(), key.size())) {
                return slot - 1;
            }
        }
    }
    std::uint32_t Add(std::u16string_view key, std::uint64_t hash, Value value) {
        if (2 * (entries_.size() + 1) > slots_.size()) {
            Grow();
        }
        entries_.push_back({static_cast<std::uint32_t>(keys_.size()),
                            static_cast<std::uint32_t>(key.size()), hash, std::move(value)});
        keys_.append(key);
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = hash & mask;
        while (slots_[at] != 0) {
            at = (at + 1) & mask;
        }
        slots_[at] = static_cast<std::uint32_t>(entries_.size());
        return static_cast<std::uint32_t>(entries_.size() - 1);
    }
    // Room for `count` values, taken from memory as they come.
    void Reserve(std::size_t count) { entries_.reserve(count); }
    const Value& At(std::uint32_t index) const { return entries_[index].value; }
    Value& At(std::uint32_t index) { return entries_[index].value; }
    std::size_t size() const { return entries_.size(); }
    // The characters of all keys together.
    std::size_t key_characters() const { return keys_.size(); }
    // Changes whenever Clear makes the numbers given out void.
    std::uint64_t generation() const { return generation_; }
    void Clear() {
        ++generation_;
        entries_.clear();
        keys_.clear();
        std::fill(slots_.begin(), slots_.end(), 0);
    }

  private:
    struct Entry {
        std::uint32_t key_offset;
        std::uint32_t key_length;
        std::uint64_t hash;
        Value value;
    };
    void Grow() {
        slots_.assign(std::max<std::size_t>(1024, slots_.size() * 2), 0);
        const std::size_t mask = slots_.size() - 1;
        for (std::uint32_t number = 0; number < entries_.size(); ++number) {
            std::size_t at = entries_[number].hash & mask;
            while (slots_[at] != 0) {
                at = (at + 1) & mask;
            }
            slots_[at] = number + 1;
        }
    }

    std::vector<Entry> entries_;
    std::u16string keys_;
    std::vector<std::uint32_t> slots_;
    std::uint64_t generation_ = 0;
};

// Small plain values by text, as TextKeyed, each kept with its key in one
// record: a value found costs a look at its slot and one at its record,
// not three places apart. The slots hold a part of each hash, so that a
// slot of another key is passed without a look at its record.
template <class Value, std::uint64_t (*Hash)(std::u16string_view) = HashOf>
class PackedTextKeyed {
    static_assert(std::is_trivially_copyable_v<Value>);

  public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;

    // The place of the value of `key`, or kNone. (The tables hash their
    // keys themselves, so that a growing table places them again alike.)
    std::uint32_t Find(std::u16string_view key) const {
        if (slots_.empty()) {
            return kNone;
        }
        const std::uint64_t hash = Hash(key);
        const std::size_t mask = slots_.size() - 1;
        const std::uint32_t tag = TagOf(hash);
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const std::uint64_t slot = slots_[at];
            if (slot == 0) {
                return kNone;
            }
            if (static_cast<std::uint32_t>(slot >> 32) != tag) {
                continue;
            }
            const auto place = static_cast<std::uint32_t>(slot) - 1;
            const std::byte* record = records_.data() + place;
            std::uint32_t length;
            std::memcpy(&length, record + kLengthAt, sizeof length);
            if (length == key.size() &&
                std::memcmp(record + kKeyAt, key.data(), key.size() * sizeof(char16_t)) == 0) {
                return place;
            }
        }
    }
    // Adds a key not yet there; its value's place.
    std::uint32_t Add(std::u16string_view key, const Value& value) {
        const std::uint64_t hash = Hash(key);
        if (2 * (count_ + 1) > slots_.size()) {
            Grow();
        }
        const auto place = static_cast<std::uint32_t>(records_.size());
        const auto length = static_cast<std::uint32_t>(key.size());
        records_.resize(records_.size() + RecordSize(key.size()));
        std::byte* record = records_.data() + place;
        std::memcpy(record, &value, sizeof value);
        std::memcpy(record + kLengthAt, &length, sizeof length);
        std::memcpy(record + kKeyAt, key.data(), key.size() * sizeof(char16_t));
        Place(hash, place);
        ++count_;
        key_characters_ += key.size();
        return place;
    }
    Value At(std::uint32_t place) const {
        Value value;
        std::memcpy(&value, records_.data() + place, sizeof value);
        return value;
    }
    void Set(std::uint32_t place, const Value& value) {
        std::memcpy(records_.data() + place, &value, sizeof value);
    }
    std::size_t size() const { return count_; }
    std::size_t key_characters() const { return key_characters_; }
    void Clear() {
        records_.clear();
        count_ = 0;
        key_characters_ = 0;
        std::fill(slots_.begin(), slots_.end(), 0);
    }

  private:
    // A record: the value, the key's length, the key's characters, then
    // room to the next multiple of 8 bytes.
    static constexpr std::size_t kLengthAt = sizeof(Value);
    static constexpr std::size_t kKeyAt = kLengthAt + sizeof(std::uint32_t);
    static constexpr std::size_t RecordSize(std::size_t key_length) {
        return (kKeyAt + key_length * sizeof(char16_t) + 7) & ~std::size_t{7};
    }
    static std::uint32_t TagOf(std::uint64_t hash) {
        return static_cast<std::uint32_t>(hash >> 32);
    }
    void Place(std::uint64_t hash, std::uint32_t place) {
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = hash & mask;
        while (slots_[at] != 0) {
            at = (at + 1) & mask;
        }
        slots_[at] = std::uint64_t{TagOf(hash)} << 32 | (place + 1);
    }
    // Twice the slots, each record placed again by its key's hash.
    void Grow() {
        slots_.assign(std::max<std::size_t>(1024, slots_.size() * 2), 0);
        std::u16string key;  // each record's key in turn, in one buffer
        for (std::size_t place = 0; place < records_.size();) {
            const std::byte* record = records_.data() + place;
            std::uint32_t length;
            std::memcpy(&length, record + kLengthAt, sizeof length);
            key.resize(length);
            std::memcpy(key.data(), record + kKeyAt, length * sizeof(char16_t));
            Place(Hash(key), static_cast<std::uint32_t>(place));
            place += RecordSize(length);
        }
    }

    std::vector<std::byte> records_;
    std::vector<std::uint64_t> slots_;  // tag << 32 | place + 1; 0 for none
    std::size_t count_ = 0;
    std::size_t key_characters_ = 0;
};

// The readings of the typed words met so far, by their small letters.
using ReadingCache = TextKeyed<WordReading>;

}  // namespace bivano::internal
