// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace bivano::cli {

// bivano's messages in the user's language: gettext's catalogue "bivano",
// from the folder `locale` beside the program (the build tree), else from
// ../share/locale (where it is installed). English where there is none.
void OpenCatalogue();

// `english` in the user's language and in the locale's character set.
const char* Translate(const char* english);

// `pattern` with %1 … %9 replaced by `values`, all in one pass, so that a
// value holding "%2" stays as it is:
//   Fill("line %1, column %2", {"3", "14"}) == "line 3, column 14"
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace bivano::cli
