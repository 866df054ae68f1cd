// SPDX-License-Identifier: GPL-3.0-or-later
// Starts, while the rest of the page loads, what the first conversion
// waits for most: the core's compilation (its bytes preloaded by the
// page's head). app.js hands the compiled core to the worker and keeps it
// for short texts of its own.
'use strict';
self.lativoBoot = {
    core: typeof WebAssembly === 'object' && typeof WebAssembly.compileStreaming === 'function'
        ? WebAssembly.compileStreaming(fetch('lativo-core.wasm', { credentials: 'same-origin' })).catch(() => null)
        : Promise.resolve(null),
};
