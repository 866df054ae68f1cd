// SPDX-License-Identifier: GPL-3.0-or-later
// The page's scripts compacted (web/cmake/compact_js.cjs), their local
// names made short, must do what they did: each case is a module whose
// exported value is compared before and after, and the page's own scripts
// must still parse as modules.
//
//   node compact_js.test.mjs WEB_SOURCE_DIR
import assert from 'node:assert/strict';
import { readFileSync, readdirSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';
import vm from 'node:vm';

const sourceDir = resolve(process.argv[2] ?? new URL('..', import.meta.url).pathname);
const { compact, renameLocals } = createRequire(import.meta.url)(join(sourceDir, 'cmake', 'compact_js.cjs'));

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

// Local names made short: what a name means wherever it is used stays.
const renamed = [
    ['an inner name must not hide an outer one it uses',
        'const longOuter = 5;\nfunction f(longParam) { return () => longOuter + longParam; }\nexport const result = f(2)();'],
    ['a name must not hide a global used inside',
        'function f(values) { const count = values.length; return Math.max(count, 1) + JSON.stringify(values); }\nexport const result = f([1, 2]);'],
    ['shorthand properties keep their keys', 'function f(width, height) { return { width, height }; }\nexport const result = f(3, 4);'],
    ['destructuring keeps the property it reads, with a default',
        'function f({ width, depth = 7 }, [first, ...others]) { return [width, depth, first, others]; }\nexport const result = f({ width: 1 }, [2, 3, 4]);'],
    ['a computed member names the variable, a plain one the property',
        'const table = { key: 1, other: 2 };\nfunction f(key) { return [table[key], table.key]; }\nexport const result = f("other");'],
    ['var is the function\'s, let the block\'s', 'function f() { { var early = 1; let inner = 2; early += inner; } { let inner = 5; early += inner; } return early; }\nexport const result = f();'],
    ['a function declared after its use, a catch parameter, a label',
        'export const result = g();\nfunction g() { outer: for (const item of [1, 2]) { try { throw item; } catch (caught) { if (caught === 2) break outer; } } return typeof caught; }'],
    ['an exported binding and an export list keep their names',
        'function helperWithALongName() { return 4; }\nexport { helperWithALongName as helper };\nexport function result2() { return helperWithALongName(); }\nexport const result = [helperWithALongName.name, result2()];'],
    ['a named function expression sees its own name', 'const f = function again(n) { return n > 0 ? again(n - 1) + 1 : 0; };\nexport const result = f(3);'],
    ['classes: fields, private members and methods keep their names',
        'class Counter { #count = 0; static made = 0; bump(step) { this.#count += step; return this; } get count() { return this.#count; } }\nexport const result = new Counter().bump(2).bump(3).count;'],
    ['arguments is no one\'s to take', 'function f(first) { const rest = [...arguments].slice(1); return [first, rest]; }\nexport const result = f(1, 2, 3);'],
];
for (const [name, source] of renamed) {
    cases.push([`renamed: ${name}`, source, renameLocals]);
}

// A module that uses eval may look a name up by its text: left alone.
{
    const source = 'function f(value) { return eval("value"); }\nexport const result = f(1);';
    assert.equal(renameLocals(source), source);
}

let failed = 0;
for (const [name, source, prepare = (text) => text] of cases) {
    try {
        const compacted = compact(prepare(source));
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
        const compacted = compact(renameLocals(source));
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
