// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "core/encoding/text_codec.h"

namespace bivano {

// The bytes of a text file and the text they hold. Files are Windows-1253,
// one byte per character, as the program has always written them; UTF-8,
// which most Linux programs write, is recognised and read as such.

// Reads a file's bytes in the encoding DetectEncoding judges them to be in
// (a byte-order mark is dropped): UTF-8, UTF-16, ISO-8859-7, or else
// Windows-1253, every byte one character.
//   "\xE1\xE2" -> "αβ" (Windows-1253), "\xCE\xB1" -> "α" (UTF-8),
//   "\xB6\xED\xE8" -> "Άνθ" (ISO-8859-7), "abc" -> "abc" (any).
std::u16string DecodeTextFile(std::string_view bytes);

// Writes a text as Windows-1253 when every character has a byte there, and
// otherwise as UTF-8 without a byte-order mark, so that nothing is lost.
// DecodeTextFile reads either back exactly; a lone surrogate, which UTF-8
// cannot carry, is the one exception and becomes U+FFFD.
std::string EncodeTextFile(std::u16string_view text);

}  // namespace bivano
