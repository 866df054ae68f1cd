// SPDX-License-Identifier: GPL-3.0-or-later
// The table that remembers small values by text: what goes in is found
// again, exactly, whatever the keys' lengths, across its growth (keys that
// share slots among them) and after a clearing.
#include "core/spelling/reading_cache.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

namespace bivano::internal {
namespace {

struct Remembered {
    std::uint32_t number;
    bool flag;
};

// Keys of every length from none to past a record's alignment, of
// letters, not only ASCII.
std::u16string KeyOf(std::mt19937& random) {
    static constexpr std::u16string_view kLetters = u"abcxyzαβγωΑΩ3";
    std::u16string key(random() % 23, u'\0');
    for (char16_t& c : key) {
        c = kLetters[random() % kLetters.size()];
    }
    return key;
}

TEST(PackedTextKeyed, FindsWhatWasAddedAndNothingElseAcrossItsGrowth) {
    std::mt19937 random(7);
    PackedTextKeyed<Remembered> table;
    std::map<std::u16string, std::uint32_t> added;  // key, and the number kept for it
    std::map<std::u16string, std::uint32_t> places;
    for (std::uint32_t number = 0; number < 20'000; ++number) {
        const std::u16string key = KeyOf(random);
        const std::uint32_t place = table.Find(key);
        if (added.count(key) != 0) {
            ASSERT_EQ(place, places[key]);
            continue;
        }
        ASSERT_EQ(place, table.kNone);
        places[key] = table.Add(key, {number, number % 3 == 0});
        added[key] = number;
    }
    ASSERT_GT(added.size(), 2048u);  // grown several times
    EXPECT_EQ(table.size(), added.size());
    std::size_t characters = 0;
    for (const auto& [key, number] : added) {
        const std::uint32_t place = table.Find(key);
        ASSERT_NE(place, table.kNone);
        EXPECT_EQ(table.At(place).number, number);
        EXPECT_EQ(table.At(place).flag, number % 3 == 0);
        characters += key.size();
        // One letter more or fewer is another key.
        const std::u16string longer = key + u'a';
        if (added.count(longer) == 0) {
            EXPECT_EQ(table.Find(longer), table.kNone);
        }
    }
    EXPECT_EQ(table.key_characters(), characters);
}

// Keys that share their whole hash, or the slot and the part of the hash
// the slots hold, are told apart by their letters.
std::uint64_t OneHash(std::u16string_view) {
    return 42;
}
std::uint64_t HashOfLength(std::u16string_view key) {
    return key.size() << 24;  // the same tag, and for short keys the same slot
}

template <class Table>
void TellsApartKeysOfOneHash() {
    Table table;
    const std::u16string keys[] = {u"pou", u"poy", u"po", u"pouu", u"", u"Pou"};
    for (std::uint32_t number = 0; number < std::size(keys); ++number) {
        EXPECT_EQ(table.Find(keys[number]), table.kNone);
        table.Add(keys[number], {number, false});
    }
    for (std::uint32_t number = 0; number < std::size(keys); ++number) {
        ASSERT_NE(table.Find(keys[number]), table.kNone);
        EXPECT_EQ(table.At(table.Find(keys[number])).number, number);
    }
    EXPECT_EQ(table.Find(u"pov"), table.kNone);
}

TEST(PackedTextKeyed, KeysOfOneHashAreToldApartByTheirLetters) {
    TellsApartKeysOfOneHash<PackedTextKeyed<Remembered, OneHash>>();
    TellsApartKeysOfOneHash<PackedTextKeyed<Remembered, HashOfLength>>();
}

TEST(PackedTextKeyed, AValueChangesInPlaceAndAClearingForgetsAll) {
    PackedTextKeyed<Remembered> table;
    const std::u16string keys[] = {u"", u"a", u"kalimera", u"ενα πολυ μακρυ κλειδι"};
    for (const std::u16string& key : keys) {
        table.Add(key, {static_cast<std::uint32_t>(key.size()), false});
    }
    const std::uint32_t place = table.Find(keys[2]);
    table.Set(place, {99, true});
    EXPECT_EQ(table.At(table.Find(keys[2])).number, 99u);
    // Its neighbours' records are untouched.
    EXPECT_EQ(table.At(table.Find(keys[1])).number, 1u);
    EXPECT_EQ(table.At(table.Find(keys[3])).number, keys[3].size());
    table.Clear();
    EXPECT_EQ(table.size(), 0u);
    EXPECT_EQ(table.key_characters(), 0u);
    for (const std::u16string& key : keys) {
        EXPECT_EQ(table.Find(key), table.kNone);
    }
    const std::uint32_t again = table.Add(keys[1], {5, true});
    EXPECT_EQ(table.At(table.Find(keys[1])).number, 5u);
    EXPECT_EQ(again, 0u);
}

}  // namespace
}  // namespace bivano::internal
