// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "command_line.h"

namespace bivano::cli {

// Converts every input of `request`, writing messages about inputs or
// outputs that fail to standard error. Returns the exit status: 0 when all
// went well, 1 when some input could not be read or some output written.
int Run(const Request& request);

}  // namespace bivano::cli
