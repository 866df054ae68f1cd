// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/result.h"

namespace bivano::cli {

// What bivano says of a failure of the core or the file layer, in the
// user's language (its catalogue, else English): the system's
// own words for an errno value, bivano's for the rest.
//   {System, ENOENT}                  "No such file or directory"
//   {System, ENOSPC, "/tmp"}          "the temporary file in /tmp: No space left on device"
//   {NotEncodable, {2, 3}, U'Ж'}      "line 2, column 3: character U+0416 cannot be written in
//                                      windows-1253"
std::string FailureMessage(const Failure& failure);

}  // namespace bivano::cli
