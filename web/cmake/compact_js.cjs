// SPDX-License-Identifier: GPL-3.0-or-later
// The page's scripts as the browser gets them: comments and indentation
// left out, every token as it was written. Between two tokens goes a line
// break where there was one (automatic semicolons depend on it), else a
// space where there was any. The licence line stays.
//
//   node compact_js.cjs FILE...   (each file rewritten in place)
'use strict';
const { readFileSync, writeFileSync } = require('node:fs');

function loadAcorn() {
    // Debian's node-acorn, which emscripten's own tools use too.
    for (const name of ['acorn', '/usr/share/nodejs/acorn']) {
        try {
            return require(name);
        } catch {
            // next place
        }
    }
    throw new Error('acorn is missing (Debian: node-acorn)');
}

const acorn = loadAcorn();
const licence = '// SPDX-License-Identifier: GPL-3.0-or-later\n';

function compact(source) {
    const tokens = [];
    acorn.parse(source, {
        ecmaVersion: 'latest',
        sourceType: 'module',
        allowHashBang: true,
        onToken: (token) => tokens.push(token),
    });
    let out = source.startsWith(licence) ? licence : '';
    let end = 0;
    for (const { start, end: tokenEnd } of tokens) {
        if (start === tokenEnd) {
            continue;  // the end of the input
        }
        const gap = source.slice(end, start);
        if (end > 0 && gap.length > 0) {
            out += /[\n\r\u2028\u2029]/.test(gap) ? '\n' : ' ';
        }
        out += source.slice(start, tokenEnd);
        end = tokenEnd;
    }
    return `${out}\n`;
}

if (require.main === module) {
    for (const file of process.argv.slice(2)) {
        writeFileSync(file, compact(readFileSync(file, 'utf8')));
    }
}

module.exports = { compact };
