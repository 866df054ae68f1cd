// SPDX-License-Identifier: GPL-3.0-or-later
// The page's scripts compacted (web/cmake/compact_js.cjs) must do what
// they did: each case is a module whose exported value is compared before
// and after, and the page's own scripts must still parse as modules.
//
//   node compact_js.test.mjs WEB_SOURCE_DIR
import assert from 'node:assert/strict';
import { readFileSync, readdirSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';
import vm from 'node:vm';

const sourceDir = resolve(process.argv[2] ?? new URL('..', import.meta.url).pathname);
const { compact } = createRequire(import.meta.url)(join(sourceDir, 'cmake', 'compact_js.cjs'));

// A module's `result`, evaluated as the browser would.
async function resultOf(source) {
    const module = new vm.SourceTextModule(source);
    await module.link(() => {
        throw new Error('no imports here');
    });
    await module.evaluate();
    return module.namespace.result;
}

const cases = [
    ['a return before a line break returns nothing', 'function f() {\n  return\n    42;\n}\nexport const result = f();'],
    ['no semicolons: the line breaks end the statements', 'let a = 1\nlet b = a\n++b\nexport const result = [a, b]'],
    ['a regular expression is no comment', 'export const result = "a//b/*c*/d".replace(/\\/\\/|\\/\\*/g, "-");'],
    ['division beside a regular expression', 'const x = 12 / 4 / 3; const r = /=\\d/; export const result = [x, r.test("=5")];'],
    ['a template keeps its lines and indentation', 'const n = 2;\nexport const result = `one\n    two ${n /* a comment */ + 1}\n  // not a comment\n`;'],
    ['strings keep comment marks, spaces and continued lines', "export const result = ['  // a', \"/* b */  \", 'c\\\n    d'];"],
    ['comments between tokens that must stay apart', 'const a = 1;\nexport const result = typeof/* x */a + (a +/* y */+a) + (a -/**/-a);'],
    ['a line comment ending a statement', 'let a = 1 // one\n;[a] = [2]\nexport const result = a;'],
    ['private fields, optional chaining and nullish', 'class C {\n  #x = 1; // kept\n  get x() { return this.#x; }\n}\nexport const result = [new C().x, null?.y ?? 3];'],
];

let failed = 0;
for (const [name, source] of cases) {
    try {
        const compacted = compact(source);
        assert.ok(compacted.length <= source.length + 1, 'no longer than it was');
        assert.deepEqual(await resultOf(compacted), await resultOf(source));
    } catch (error) {
        ++failed;
        console.error(`FAILED: ${name}: ${error.message}`);
    }
}

// The licence line stays; other comments go.
{
    const compacted = compact('// SPDX-License-Identifier: GPL-3.0-or-later\n// About it.\nexport const result = 1; // one\n');
    assert.equal(compacted, '// SPDX-License-Identifier: GPL-3.0-or-later\nexport const result = 1;\n');
}

// The scripts the page serves still parse, and lose their comments.
for (const folder of ['lib', 'page']) {
    for (const name of readdirSync(join(sourceDir, folder)).filter((file) => file.endsWith('.js'))) {
        const source = readFileSync(join(sourceDir, folder, name), 'utf8');
        const compacted = compact(source);
        try {
            new vm.SourceTextModule(compacted, { identifier: name });
            assert.ok(compacted.length < source.length, `${name} is no shorter`);
        } catch (error) {
            ++failed;
            console.error(`FAILED: ${folder}/${name}: ${error.message}`);
        }
    }
}

if (failed > 0) {
    process.exit(1);
}
console.log(`compact_js: ${cases.length} cases and the page's scripts passed`);
