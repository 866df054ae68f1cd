// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <string>

namespace bivano::cli {

// File names are bytes, and need not be UTF-8. An argument is read as
// UTF-8 with every byte that is not part of a well-formed sequence kept as
// the lone surrogate U+DC80 + byte, so that the bytes come back exactly:
//   "x\xFF.txt" -> u"x\uDCFF.txt" -> "x\xFF.txt", "θ.txt" -> u"θ.txt".
QString ArgumentFromBytes(std::string_view bytes);
std::string BytesFromArgument(const QString& argument);

}  // namespace bivano::cli
