#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The npm package as a user gets it: packed with npm pack, installed from
# the tarball into a project of its own, used from Node (its model read
# from a path) and checked against bivano; its types checked by tsc when
# Debian's node-typescript is there.
#   package_test.sh PACKAGE_DIR BIVANO
set -euo pipefail
package_dir=$(realpath "$1")
bivano=$(realpath "$2")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cd "$scratch"
tarball=$(npm pack --silent "$package_dir" | tail -n 1)
echo "packed: $tarball ($(stat -c %s "$tarball") bytes)"
mkdir app
cd app
printf '{ "name": "app", "version": "1.0.0", "type": "module", "private": true }\n' > package.json
npm install --offline --no-audit --no-fund --silent "../$tarball"

printf 'Θεσσαλονίκη, ψυχή, ξένος: ώρα 8!\r\n' > greek.txt
printf 'Kalimera ti kaneis? 8a to kanw auto k gt oxi.\n' > greeklish.txt
"$bivano" latin -s elot743 greek.txt > latin.expected
"$bivano" latin -x ks -t th greek.txt > lativo.expected
"$bivano" greek --accents --chat greeklish.txt > accents.expected

cat > use.mjs <<'JS'
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname, join } from 'node:path';
import assert from 'node:assert/strict';
import { Converter, loadModel, slug, toGreek, toLatin, ModelError } from 'lativo-bivano';
import modelInfo from 'lativo-bivano/model-info';

const read = (name) => readFileSync(name, 'utf8');
assert.equal(toLatin(read('greek.txt'), { scheme: 'elot743' }), read('latin.expected'));
assert.equal(toLatin(read('greek.txt'), { xi: 'ks', theta: 'th' }), read('lativo.expected'));
assert.equal(slug('Καλημέρα κόσμε!'), 'kalimera-kosme');
assert.throws(() => toGreek('kalimera', { accents: true }), ModelError);
const folder = dirname(createRequire(import.meta.url).resolve('lativo-bivano/package.json'));
const { words } = await loadModel(join(folder, modelInfo.file));
assert.ok(words > 100000);
assert.equal(toGreek(read('greeklish.txt'), { accents: true, chat: true }), read('accents.expected'));
const converter = new Converter('latin', { scheme: 'slug' });
assert.equal(converter.convert('Αθήνα ') + converter.convert('2024') + converter.finish(), 'athina-2024');
console.log(`the package works: ${words} words`);
JS
node use.mjs

if command -v tsc > /dev/null; then
    cat > use.ts <<'TS'
import { toLatin, toGreek, loadModel, Converter, FileConverter, TextFileEncoder, type LatinOptions } from 'lativo-bivano';
import { LativoWorker, compileCore, type LargeResult } from 'lativo-bivano/client';
const options: LatinOptions = { scheme: 'iso843' };
const latin: string = toLatin('θάλασσα', options);
const greek: string = toGreek(latin, { accents: false, chat: false });
const loading: Promise<{ words: number }> = loadModel('greek.model');
new Converter('accents', { chat: true }).close();
const units: Uint16Array = new Converter('latin').convertUnits(new Uint16Array([0x3b8]));
const file = new FileConverter('latin', { scheme: 'elot743' }, { from: 'windows-1253', to: 'utf-8' });
const bytes: Uint8Array = file.convert(new Uint8Array([0xe8]), true);
const written: Uint8Array = new TextFileEncoder('windows-1253').encodeUnits(units, true);
const make = (): LativoWorker => new LativoWorker(new URL('https://example.org/worker.js'), { core: compileCore() });
const large = async (worker: LativoWorker, source: Blob): Promise<number> => {
    const result: LargeResult = await worker.convertLarge('greek', source, { accents: true }, undefined, { shown: 1000 }).result;
    return result.length + (await worker.withLineFeeds(result.blob)).size;
};
void [greek, loading, make, bytes, written, file.text, large];
TS
    tsc --noEmit --strict --module nodenext --moduleResolution nodenext --target es2022 \
        --lib es2022,dom use.ts
    echo "the types check"
fi
