// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/encoding/cp1253.h"

#include <array>

#include "core/encoding/greek_letters.h"

namespace bivano {
namespace {

constexpr char16_t kUndefined = 0;

// Characters of bytes 0x80 to 0xFF; kUndefined where the code page has none.
constexpr std::array<char16_t, 128> kHighHalf = {
    // 0x80
    u'\u20AC',
    kUndefined,
    u'\u201A',
    u'\u0192',
    u'\u201E',
    u'\u2026',
    u'\u2020',
    u'\u2021',
    kUndefined,
    u'\u2030',
    kUndefined,
    u'\u2039',
    kUndefined,
    kUndefined,
    kUndefined,
    kUndefined,
    // 0x90
    kUndefined,
    u'\u2018',
    u'\u2019',
    u'\u201C',
    u'\u201D',
    u'\u2022',
    u'\u2013',
    u'\u2014',
    kUndefined,
    u'\u2122',
    kUndefined,
    u'\u203A',
    kUndefined,
    kUndefined,
    kUndefined,
    kUndefined,
    // 0xA0
    u'\u00A0',
    u'\u0385',
    u'\u0386',
    u'\u00A3',
    u'\u00A4',
    u'\u00A5',
    u'\u00A6',
    u'\u00A7',
    u'\u00A8',
    u'\u00A9',
    kUndefined,
    u'\u00AB',
    u'\u00AC',
    u'\u00AD',
    u'\u00AE',
    u'\u2015',
    // 0xB0
    u'\u00B0',
    u'\u00B1',
    u'\u00B2',
    u'\u00B3',
    u'\u0384',
    u'\u00B5',
    u'\u00B6',
    u'\u00B7',
    u'\u0388',
    u'\u0389',
    u'\u038A',
    u'\u00BB',
    u'\u038C',
    u'\u00BD',
    u'\u038E',
    u'\u038F',
    // 0xC0
    u'\u0390',
    u'\u0391',
    u'\u0392',
    u'\u0393',
    u'\u0394',
    u'\u0395',
    u'\u0396',
    u'\u0397',
    u'\u0398',
    u'\u0399',
    u'\u039A',
    u'\u039B',
    u'\u039C',
    u'\u039D',
    u'\u039E',
    u'\u039F',
    // 0xD0
    u'\u03A0',
    u'\u03A1',
    kUndefined,
    u'\u03A3',
    u'\u03A4',
    u'\u03A5',
    u'\u03A6',
    u'\u03A7',
    u'\u03A8',
    u'\u03A9',
    u'\u03AA',
    u'\u03AB',
    u'\u03AC',
    u'\u03AD',
    u'\u03AE',
    u'\u03AF',
    // 0xE0
    u'\u03B0',
    u'\u03B1',
    u'\u03B2',
    u'\u03B3',
    u'\u03B4',
    u'\u03B5',
    u'\u03B6',
    u'\u03B7',
    u'\u03B8',
    u'\u03B9',
    u'\u03BA',
    u'\u03BB',
    u'\u03BC',
    u'\u03BD',
    u'\u03BE',
    u'\u03BF',
    // 0xF0
    u'\u03C0',
    u'\u03C1',
    u'\u03C2',
    u'\u03C3',
    u'\u03C4',
    u'\u03C5',
    u'\u03C6',
    u'\u03C7',
    u'\u03C8',
    u'\u03C9',
    u'\u03CA',
    u'\u03CB',
    u'\u03CC',
    u'\u03CD',
    u'\u03CE',
    kUndefined,
};

// The code page's characters of the Greek block are the Greek letters,
// every one of them, and the two tonos signs ΄ and ΅.
constexpr bool HoldsTheGreekLetters() {
    std::size_t letters = 0;
    for (const char16_t c : kHighHalf) {
        if (internal::IsGreekLetter(c)) {
            ++letters;
        } else if (c >= u'\u0370' && c <= u'\u03FF' && c != u'\u0384' && c != u'\u0385') {
            return false;
        }
    }
    std::size_t table = 0;
    for (char16_t c = u'\u0370'; c <= u'\u03FF'; ++c) {
        table += internal::IsGreekLetter(c) ? 1 : 0;
    }
    return letters == table;
}
static_assert(HoldsTheGreekLetters());

// Stand-ins for 0xAA, 0xD2 and 0xFF, from the private use area.
constexpr char16_t kStandInAA = u'\uF8F9';
constexpr char16_t kStandInD2 = u'\uF8FA';
constexpr char16_t kStandInFF = u'\uF8FB';

// The byte of each character that Cp1253Decode gives, 0 for none. Below
// 0x80 a character is its own byte and the table is not asked: those
// entries stay 0, and so out of the web build's data.
using ReverseTable = std::array<std::uint8_t, 0x10000>;

constexpr ReverseTable MakeReverseTable() {
    ReverseTable table{};
    for (unsigned index = 0; index < kHighHalf.size(); ++index) {
        const auto byte = static_cast<std::uint8_t>(0x80 + index);
        if (kHighHalf[index] != kUndefined) {
            table[kHighHalf[index]] = byte;
        } else if (byte < 0xA0) {
            table[byte] = byte;
        }
    }
    table[kStandInAA] = 0xAA;
    table[kStandInD2] = 0xD2;
    table[kStandInFF] = 0xFF;
    return table;
}

const ReverseTable& Reverse() {
    static constexpr ReverseTable kTable = MakeReverseTable();
    return kTable;
}

// What only reading a file gives: the C1 controls of the undefined bytes
// below 0xA0 (no defined byte decodes below 0xA0) and the stand-ins.
constexpr bool ForFilesOnly(char16_t character) {
    return character < 0xA0 || (character >= kStandInAA && character <= kStandInFF);
}
static_assert(kStandInD2 == kStandInAA + 1 && kStandInFF == kStandInAA + 2);
static_assert([] {
    for (const char16_t character : kHighHalf) {
        if (character != kUndefined && character < 0xA0) {
            return false;
        }
    }
    return true;
}());

}  // namespace

std::optional<std::uint8_t> Cp1253Code(char16_t character) {
    if (character < 0x80) {
        return static_cast<std::uint8_t>(character);
    }
    const std::uint8_t code = Reverse()[character];
    if (code == 0 || ForFilesOnly(character)) {
        return std::nullopt;
    }
    return code;
}

char16_t Cp1253Decode(std::uint8_t byte) {
    if (byte < 0x80) {
        return byte;
    }
    const char16_t character = kHighHalf[byte - 0x80];
    if (character != kUndefined) {
        return character;
    }
    switch (byte) {
        case 0xAA:
            return kStandInAA;
        case 0xD2:
            return kStandInD2;
        case 0xFF:
            return kStandInFF;
        default:
            return byte;  // an undefined byte below 0xA0: its C1 control
    }
}

std::optional<std::uint8_t> Cp1253Encode(char16_t character) {
    if (character < 0x80) {
        return static_cast<std::uint8_t>(character);
    }
    const std::uint8_t byte = Reverse()[character];
    if (byte == 0) {
        return std::nullopt;
    }
    return byte;
}

}  // namespace bivano
