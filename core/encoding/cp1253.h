// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace bivano {

// Windows-1253, the Greek single-byte code page, as the conversions and the
// text files see it.

// The code page value of a character, or nothing when the code page has no
// such character. 'Α' (U+0391) -> 193, 'ς' -> 242, 'A' -> 65, '€' -> 128,
// U+0081 -> nothing, 'Ж' -> nothing.
std::optional<std::uint8_t> Cp1253Code(char16_t character);

// Byte to character for reading files. Total: the bytes the code page leaves
// undefined (0x81, 0x88, 0x8A, 0x8C-0x90, 0x98, 0x9A, 0x9C-0x9F) become the
// C1 control of the same value, and 0xAA, 0xD2, 0xFF become U+F8F9, U+F8FA,
// U+F8FB, so that every file reads and writes back byte for byte.
char16_t Cp1253Decode(std::uint8_t byte);

// Character to byte for writing files: the inverse of Cp1253Decode, or
// nothing for a character that no byte decodes to.
std::optional<std::uint8_t> Cp1253Encode(char16_t character);

}  // namespace bivano
