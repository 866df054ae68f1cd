// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace bivano::io {

// Asks that the heap the calling thread allocates from be served in huge
// pages where the system gives them: a hint, that changes nothing where it
// is not taken. For a thread that fills some megabytes with small pieces and
// reads them at random (the reader's memories of the words met): each 4 KiB
// page otherwise costs a fault when first touched, and in a virtual machine
// a fault costs about as much as reading a few words. The heap's first
// 2 MiB, touched before, are made one huge page at once (Linux 6.1 on).
// Needs the heap to grow in steps of a few megabytes (M_TOP_PAD) to take
// effect.
void PreferHugePagesForThisThread();

// Whether the allocator gives each thread a heap of its own that the above
// can mark (glibc's, 64-bit); if not, it does nothing.
bool ThreadsHaveHeapsOfTheirOwn();

}  // namespace bivano::io
