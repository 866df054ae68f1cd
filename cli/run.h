// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "command_line.h"
#include "io/safe_file.h"

namespace bivano::cli {

// Converts every input of `request`, writing messages about inputs or
// outputs that fail to standard error. Returns the exit status: 0 when all
// went well, 1 when some input could not be read or some output written.
// `standard` says which standard descriptors were closed at start: reading
// or writing one of those fails.
int Run(const Request& request, const io::StandardDescriptors& standard);

}  // namespace bivano::cli
