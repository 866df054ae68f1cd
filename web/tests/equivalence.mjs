// SPDX-License-Identifier: GPL-3.0-or-later
// The module under node against the native bivano, byte for byte: every
// scheme and choice, Greek, accents and chat, the keyboard layout repaired
// and each line turned its own way (auto), files in every encoding the
// program reads, texts in pieces of 1 to 4099 characters, and a damaged
// model refused with one message.
//
//   node web/tests/equivalence.mjs MODULE_DIR BIVANO MODEL [REPO_DIR]
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

const [moduleDir, bivano, modelPath, repoDir = new URL('../..', import.meta.url).pathname] = process.argv.slice(2);
if (!moduleDir || !bivano || !modelPath) {
    console.error('usage: equivalence.mjs MODULE_DIR BIVANO MODEL [REPO_DIR]');
    process.exit(2);
}
const lativo = await import(pathToFileURL(join(moduleDir, 'lativo.js')).href);

function native(args, input) {
    const run = spawnSync(bivano, args, { input, maxBuffer: 1 << 30, env: { ...process.env, BIVANO_MODEL: modelPath } });
    assert.equal(run.status, 0, `bivano ${args.join(' ')}: ${run.stderr}`);
    return run.stdout;
}

function utf8(text) {
    return Buffer.from(lativo.encodeText(text, 'utf-8'));
}

// A reproducible random text of Greek (with accents and capitals), Latin
// letters, digits, marks, line breaks, groups between asterisks, letters
// outside the BMP and Cyrillic.
function generated(seed, length) {
    let state = seed >>> 0 || 1;
    const next = (n) => {
        state ^= state << 13;
        state ^= state >>> 17;
        state ^= state << 5;
        return (state >>> 0) % n;
    };
    const pieces = [
        'αβγδεζηθικλμνξοπρστυφχψω', 'ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ', 'άέήίόύώϊϋΐΰς', 'ΆΈΉΊΌΎΏΪΫ',
        'abcdefghijklmnopqrstuvwxyz', 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', '0123456789', ' ', ' ', ' ',
        '.,;:!?-\'"()/', '\r\n', '\n', '*e-mail*', 'αυ ευ ου μπ ντ γκ τσ τζ', 'th ps ks 8 3 c w v u',
        '😀𝔸', 'жЖ', '\t', '«»…€',
    ];
    let text = '';
    while (text.length < length) {
        const from = pieces[next(pieces.length)];
        const chars = [...from];
        text += chars.length > 5 && next(3) ? chars[next(chars.length)] : from;
    }
    return text;
}

const realTexts = ['bench/greek_paragraph.txt', 'README.md', 'bench/accents_sample.txt'].map((name) => ({
    name,
    text: readFileSync(join(repoDir, name), 'utf8'),
}));
const texts = [
    ...realTexts,
    { name: 'generated-1', text: generated(1, 3000) },
    { name: 'generated-2', text: generated(2, 20000) },
    { name: 'greeklish', text: 'Kalimera ti kaneis? 8a to kanw auto k gt tpt, dld ntks. Pws eisai? *e-mail* psyxh 3ero thalassa\r\n' },
    { name: 'empty', text: '' },
];

const xis = ['3', 'j', 'ks'];
const thetas = ['8', 'u', 'th'];
const psis = ['c', 'ps'];
const omegas = ['w', 'v'];

test('every Lativo choice gives bivano latin\'s bytes', () => {
    for (const { name, text } of texts) {
        for (const xi of xis) for (const theta of thetas) for (const psi of psis) for (const omega of omegas) {
            const options = { xi, theta, psi, omega };
            const expected = native(['latin', '-x', xi, '-t', theta, '-p', psi, '-w', omega], Buffer.from(text));
            assert.deepEqual(utf8(lativo.toLatin(text, options)), expected, `${name} ${JSON.stringify(options)}`);
        }
    }
});

test('every scheme, with and without the credit line, gives bivano latin\'s bytes', () => {
    for (const { name, text } of texts) {
        for (const scheme of lativo.SCHEMES) {
            for (const credit of [false, true]) {
                const args = ['latin', '-s', scheme, ...(credit ? ['--credit'] : [])];
                assert.deepEqual(utf8(lativo.toLatin(text, { scheme, credit })), native(args, Buffer.from(text)), `${name} ${scheme} ${credit}`);
            }
        }
        assert.deepEqual(utf8(lativo.slug(text)), native(['latin', '-s', 'slug'], Buffer.from(text)), `${name} slug()`);
    }
});

test('Greek, plain and with the credit line, gives bivano greek\'s bytes', () => {
    for (const { name, text } of texts) {
        assert.deepEqual(utf8(lativo.toGreek(text)), native(['greek'], Buffer.from(text)), name);
        assert.deepEqual(utf8(lativo.toGreek(text, { credit: true })), native(['greek', '--credit'], Buffer.from(text)), name);
    }
});

test('accents need a model, and a damaged one is refused with one message', async () => {
    assert.throws(() => lativo.toGreek('kalimera', { accents: true }), { name: 'ModelError' });
    // Without a model no word can be judged: said, never handed back as it is.
    assert.throws(() => lativo.layout('Kalhm;era'), { name: 'ModelError', message: /no word can be judged/ });
    assert.throws(() => lativo.auto('kalimera'), { name: 'ModelError', message: /no word can be judged/ });
    const good = readFileSync(modelPath);
    const damaged = Buffer.from(good);
    damaged[damaged.length >> 1] ^= 0x40;
    const cut = good.subarray(0, good.length >> 1);
    const said = [];
    const saved = { error: console.error, warn: console.warn, log: console.log };
    console.error = console.warn = console.log = (...args) => said.push(args.join(' '));
    try {
        for (const bad of [damaged, cut, Buffer.from('not a model at all')]) {
            await assert.rejects(lativo.loadModel(bad), (error) => {
                assert.equal(error.name, 'ModelError');
                assert.equal(error.message, lativo.MODEL_REFUSED);
                return true;
            });
        }
    } finally {
        Object.assign(console, saved);
    }
    assert.deepEqual(said, [], 'nothing printed besides the one message');
    assert.equal(lativo.hasModel(), false);
});

test('accents and chat give bivano\'s bytes, whole and in pieces', async () => {
    const { words } = await lativo.loadModel(modelPath);
    assert.ok(words > 100000, `${words} words`);
    for (const { name, text } of texts) {
        const greekText = lativo.toGreek(text);
        for (const chat of [false, true]) {
            const flags = chat ? ['--chat'] : [];
            assert.deepEqual(utf8(lativo.toGreek(text, { accents: true, chat })), native(['greek', '--accents', ...flags], Buffer.from(text)), `${name} greek chat=${chat}`);
            assert.deepEqual(utf8(lativo.accents(greekText, { chat })), native(['accents', ...flags], Buffer.from(greekText)), `${name} accents chat=${chat}`);
        }
    }
    // The model given again as a stream of small chunks reads the same.
    const bytes = readFileSync(modelPath);
    const stream = new ReadableStream({
        start(controller) {
            for (let at = 0; at < bytes.length; at += 1 << 20) {
                controller.enqueue(new Uint8Array(bytes.subarray(at, at + (1 << 20))));
            }
            controller.close();
        },
    });
    await lativo.loadModel(stream, { size: bytes.length });
    const sample = realTexts[2].text;
    assert.deepEqual(utf8(lativo.toGreek(sample, { accents: true })), native(['greek', '--accents'], Buffer.from(sample)));
});

// The keys of the Greek layout (X11 gr, Windows' Greek) and the US letters
// on them: a text typed with the wrong one on is made by these.
const GREEK_KEYS = 'αβγδεζηθικλμνξοπρστυφχψως';
const LATIN_KEYS = 'abgdezhuiklmnjoprstyfxcvw';

// Greek typed on the Latin layout: each letter its key, the accent (;) and
// diaeresis (:) dead keys before the letter they go on.
function typedOnLatinLayout(text) {
    let out = '';
    for (const char of text.normalize('NFD')) {
        const lower = char.toLowerCase();
        const key = GREEK_KEYS.indexOf(lower);
        if (key >= 0) {
            const latin = LATIN_KEYS[key];
            out += char === lower ? latin : latin.toUpperCase();
        } else if (char === '\u0301') {
            out = out.slice(0, -1) + ';' + out.slice(-1);
        } else if (char === '\u0308') {
            out = out.slice(0, -1) + ':' + out.slice(-1);
        } else {
            out += char;
        }
    }
    return out;
}

// English typed on the Greek layout: each Latin letter the Greek one on its key.
function typedOnGreekLayout(text) {
    let out = '';
    for (const char of text) {
        const lower = char.toLowerCase();
        const key = LATIN_KEYS.indexOf(lower);
        if (key < 0) {
            out += lower === 'q' ? ';' : char;  // q is the Greek question mark's key
        } else {
            const greek = GREEK_KEYS[key];
            out += char === lower ? greek : greek.toUpperCase();
        }
    }
    return out;
}

const englishText = readFileSync(join(repoDir, 'README.md'), 'utf8').split('\n').slice(0, 120).join('\n');
const mistyped = [
    { name: 'the examples', text: 'Kalhm;era ;ola ka:i :;i\nηελλο ςορλδ ςςς.γοογλε.ψομ και ok\nΤηισ ισ α τεστ, Kalhm;era k;osme!\n' },
    { name: 'greek_paragraph.txt typed on the Latin layout', text: typedOnLatinLayout(realTexts[0].text) },
    { name: 'accents_sample.txt typed on the Latin layout', text: typedOnLatinLayout(realTexts[2].text) },
    { name: 'README.md typed on the Greek layout', text: typedOnGreekLayout(englishText) },
    { name: 'both in one text', text: typedOnLatinLayout(realTexts[0].text.slice(0, 2000)) + '\n' + typedOnGreekLayout(englishText.slice(0, 2000)) },
];

test('the layout repaired gives bivano layout\'s bytes, on typed and correctly typed texts', () => {
    assert.ok(lativo.hasModel());
    assert.equal(lativo.layout('Kalhm;era'), 'Καλημέρα');
    assert.equal(lativo.layout('ηελλο ςορλδ'), 'hello world');
    for (const { name, text } of [...mistyped, ...texts]) {
        assert.deepEqual(utf8(lativo.layout(text)), native(['layout'], Buffer.from(text)), name);
    }
    const { text } = mistyped[0];
    assert.deepEqual(utf8(lativo.layout(text, { credit: true })), native(['layout', '--credit'], Buffer.from(text)));
});

test('auto gives bivano auto\'s bytes, every scheme and choice, with and without chat', () => {
    const mixed = `${realTexts[0].text}\n${lativo.toLatin(realTexts[0].text)}\n${englishText.slice(0, 3000)}\n` +
        `${texts.find(({ name }) => name === 'greeklish').text}\n`;
    for (const { name, text } of [{ name: 'mixed paragraphs', text: mixed }, ...texts, ...mistyped.slice(0, 1)]) {
        for (const chat of [false, true]) {
            const flags = chat ? ['--chat'] : [];
            assert.deepEqual(utf8(lativo.auto(text, { chat })), native(['auto', ...flags], Buffer.from(text)), `${name} chat=${chat}`);
        }
        for (const scheme of lativo.SCHEMES) {
            assert.deepEqual(utf8(lativo.auto(text, { scheme })), native(['auto', '-s', scheme], Buffer.from(text)), `${name} ${scheme}`);
        }
        const options = { xi: 'ks', theta: 'th', psi: 'ps', omega: 'v', credit: true };
        assert.deepEqual(utf8(lativo.auto(text, options)),
            native(['auto', '-x', 'ks', '-t', 'th', '-p', 'ps', '-w', 'v', '--credit'], Buffer.from(text)), `${name} choices`);
    }
});

// Converts `text` in pieces whose lengths follow `sizes`, round and round.
function inPieces(direction, options, text, sizes) {
    const converter = new lativo.Converter(direction, options);
    let out = '';
    for (let at = 0, i = 0; at < text.length; ++i) {
        const size = sizes[i % sizes.length];
        out += converter.convert(text.slice(at, at + size));
        at += size;
    }
    return out + converter.finish();
}

test('pieces of 1 to 4099 characters add up to the whole, a cut surrogate pair included', () => {
    // The pair 😀 sits across the first cut of every size.
    const text = generated(7, 6000);
    const cuts = [1, 2, 3, 5, 64, 1000, 4097, 4098, 4099];
    const settings = [
        ['latin', {}], ['latin', { scheme: 'elot743' }], ['latin', { scheme: 'iso843', credit: true }],
        ['latin', { scheme: 'slug' }], ['latin', { scheme: 'bgn1962' }], ['latin', { scheme: 'alalc' }],
        ['greek', {}], ['greek', { accents: true }], ['greek', { accents: true, chat: true }],
        ['accents', {}], ['layout', {}], ['auto', {}], ['auto', { chat: true, scheme: 'elot743' }],
    ];
    for (const size of cuts) {
        const split = '😀'.charAt(0);
        const withPair = text.slice(0, size - 1) + '😀' + text.slice(size - 1);
        assert.equal(withPair.charAt(size - 1), split);
        for (const [direction, options] of settings) {
            const whole = new lativo.Converter(direction, options);
            const expected = whole.convert(withPair) + whole.finish();
            assert.equal(inPieces(direction, options, withPair, [size]), expected, `${direction} ${JSON.stringify(options)} pieces of ${size}`);
        }
    }
    // And a text typed in the wrong layout, against bivano itself.
    const typed = mistyped.map(({ text }) => text).join('\n');
    const repaired = native(['layout'], Buffer.from(typed));
    const autoTurned = native(['auto'], Buffer.from(typed));
    for (const size of cuts) {
        assert.deepEqual(utf8(inPieces('layout', {}, typed, [size])), repaired, `layout pieces of ${size}`);
        assert.deepEqual(utf8(inPieces('auto', {}, typed, [size])), autoTurned, `auto pieces of ${size}`);
    }
    // Pieces of changing sizes too.
    for (const [direction, options] of settings) {
        const whole = new lativo.Converter(direction, options);
        const expected = whole.convert(text) + whole.finish();
        assert.equal(inPieces(direction, options, text, [1, 4099, 2, 17, 3]), expected, `${direction} ${JSON.stringify(options)}`);
    }
});

test('files in every encoding the program reads convert as bivano converts them', () => {
    const greek = 'Άνθρωπος θάλασσα, ψυχή ξένος.\r\nΏρα Ϊ ΰ «»\r\n';
    const cp1253 = Buffer.from(lativo.encodeText(greek, 'windows-1253'));
    const iso = Buffer.from(cp1253.map((byte) => (byte === 0xa2 ? 0xb6 : byte)));
    const utf16le = Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(greek, 'utf16le')]);
    const utf16be = Buffer.from(utf16le).swap16();
    const files = {
        'utf-8': Buffer.from(greek),
        'utf-8 with mark': Buffer.concat([Buffer.from([0xef, 0xbb, 0xbf]), Buffer.from(greek)]),
        'utf-16le': utf16le,
        'utf-16be': utf16be,
        'windows-1253': cp1253,
        'iso-8859-7': iso,
    };
    for (const [name, bytes] of Object.entries(files)) {
        const { text, encoding } = lativo.decodeText(bytes);
        assert.equal(encoding, name.replace(' with mark', ''), 'the encoding read in');
        assert.deepEqual(utf8(lativo.toLatin(text)), native(['latin'], bytes), name);
        assert.deepEqual(Buffer.from(lativo.encodeText(lativo.toLatin(text), 'windows-1253')),
            native(['latin', '--to', 'windows-1253'], bytes), `${name} to windows-1253`);
    }
});

test('code units in pieces, bytes in pieces, written in pieces: the same as whole strings', async () => {
    if (!lativo.hasModel()) {
        await lativo.loadModel(modelPath);
    }
    const text = `${generated(11, 9000)}\uD800 lone\uDC00`;
    const units = lativo.textToUnits(text);
    assert.equal(lativo.unitsToText(units), text, 'units and back, lone surrogates kept');
    for (const [direction, options] of [['latin', {}], ['latin', { scheme: 'elot743' }], ['greek', {}], ['greek', { accents: true, chat: true }]]) {
        const whole = new lativo.Converter(direction, options);
        const expected = whole.convert(text) + whole.finish();
        for (const size of [1, 3, 4099, 262_144]) {
            const converter = new lativo.Converter(direction, options);
            const pieces = [];
            for (let at = 0; at < units.length; at += size) {
                pieces.push(lativo.unitsToText(converter.convertUnits(units.subarray(at, at + size))));
            }
            pieces.push(lativo.unitsToText(converter.finishUnits()));
            assert.equal(pieces.join(''), expected, `${direction} ${JSON.stringify(options)} units in pieces of ${size}`);
        }
    }
    // A file's bytes decoded a piece at a time, a character cut at each end.
    const greek = 'Άνθρωπος θάλασσα, ψυχή 😀 ξένος.\r\n'.repeat(50);
    const plain = greek.replaceAll('😀', 'ώ');
    for (const [name, bytes, expected] of [
        ['utf-8', Buffer.from(greek), greek],
        ['windows-1253', Buffer.from(lativo.encodeText(plain, 'windows-1253')), plain],
    ]) {
        for (const size of [1, 2, 5, 1000]) {
            const decoder = new lativo.TextFileDecoder();
            const pieces = [];
            for (let at = 0; at < bytes.length; at += size) {
                pieces.push(decoder.decodeUnits(bytes.subarray(at, at + size)));
            }
            pieces.push(decoder.decodeUnits(new Uint8Array(0), true));
            assert.equal(pieces.map((piece) => lativo.unitsToText(piece)).join(''), expected, `${name} in pieces of ${size}`);
            assert.equal(decoder.encoding, name);
        }
    }
    // Written a piece at a time, a surrogate pair cut: bivano's bytes.
    const latin = lativo.toLatin(greek);
    for (const size of [1, 7, 33]) {
        const encoder = new lativo.TextFileEncoder('utf-8');
        const parts = [];
        for (let at = 0; at < latin.length; at += size) {
            parts.push(Buffer.from(encoder.encodeUnits(lativo.textToUnits(latin, at, Math.min(latin.length, at + size)))));
        }
        parts.push(Buffer.from(encoder.encode('', true)));
        assert.deepEqual(Buffer.concat(parts), native(['latin'], Buffer.from(greek)), `UTF-8 in pieces of ${size}`);
    }
    // Windows-1253 lacks 😀: the place is told whatever the pieces.
    const encoder = new lativo.TextFileEncoder('windows-1253');
    assert.throws(() => {
        for (let at = 0; at < greek.length; at += 10) {
            encoder.encode(greek.slice(at, at + 10), at + 10 >= greek.length);
        }
    }, (error) => error instanceof lativo.EncodingError && error.line === 1 && error.column === 24 && error.character === 0x1f600);
    assert.throws(() => encoder.encode('α'), /finished/, 'a failed encoder is closed');
});

test('files converted bytes to bytes, a piece at a time, give bivano\'s bytes', async () => {
    if (!lativo.hasModel()) {
        await lativo.loadModel(modelPath);
    }
    const greek = 'Άνθρωπος θάλασσα, ψυχή ξένος ώρα.\r\nΩραία μέρα!\r\n'.repeat(300);
    const greeklish = 'Kalimera ti kaneis? 8a to kanw auto k gt oxi.\r\n'.repeat(300);
    const files = [
        ['utf-8', Buffer.from(greek), ['latin'], 'latin', {}],
        ['windows-1253', Buffer.from(lativo.encodeText(greek, 'windows-1253')), ['latin', '-s', 'iso843'], 'latin', { scheme: 'iso843' }],
        ['utf-16le', Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(greek, 'utf16le')]), ['latin', '--to', 'windows-1253'], 'latin', {}, 'windows-1253'],
        // ASCII alone reads as Windows-1253, as the program reads it.
        ['windows-1253', Buffer.from(greeklish), ['greek', '--accents', '--chat'], 'greek', { accents: true, chat: true }],
    ];
    for (const [encoding, bytes, args, direction, options, to = 'utf-8'] of files) {
        const expected = native(args, bytes);
        for (const size of [1, 3, 1000, 1 << 20]) {
            const converter = new lativo.FileConverter(direction, options, { to });
            const parts = [];
            let length = 0;
            for (let at = 0; at < bytes.length; at += size) {
                const last = at + size >= bytes.length;
                parts.push(Buffer.from(converter.convert(bytes.subarray(at, at + size), last)));
                length += converter.text.length;
            }
            assert.equal(converter.encoding, encoding, `${args.join(' ')}: the encoding read in`);
            converter.close();
            assert.deepEqual(Buffer.concat(parts), expected, `${args.join(' ')}, ${encoding} in pieces of ${size}`);
            assert.equal(length, String(native([...args.filter((arg) => arg !== '--to' && arg !== 'windows-1253')], bytes)).length,
                'the converted text\'s length');
        }
        // The decoder's views add up to the text, a piece at a time.
        const decoder = new lativo.TextFileDecoder();
        let text = '';
        for (let at = 0; at < bytes.length; at += 7) {
            text += lativo.unitsToText(decoder.decodeView(bytes.subarray(at, at + 7), at + 7 >= bytes.length));
        }
        assert.equal(text, lativo.decodeText(bytes).text, `${encoding}: decoded in views`);
        assert.equal(decoder.encoding, encoding);
        decoder.close();
    }
    // A character the output lacks: told, and the converter closed.
    const converter = new lativo.FileConverter('latin', {}, { to: 'windows-1253' });
    assert.throws(() => converter.convert(Buffer.from('θάλασσα\nжa'), true),
        (error) => error instanceof lativo.EncodingError && error.line === 2 && error.column === 1);
    assert.throws(() => converter.convert(Buffer.from('a')), /finished/);
    assert.throws(() => new lativo.FileConverter('layout', {}, { from: 'klingon' }), RangeError);
});
