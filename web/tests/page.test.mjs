// SPDX-License-Identifier: GPL-3.0-or-later
// The page as a user meets it, in Debian's headless Chromium driven by
// puppeteer-core, served from 127.0.0.1 by a server this test starts and
// stops by its process id: type, choose, click, read; open (pick or drop)
// and save files; copy; long texts shown in part and given whole; accents
// with the model fetched once; the keyboard layout repaired and each
// paragraph turned its own way; a damaged model; offline. The client's
// ways of carrying long texts (buffers, Blobs) against bivano.
//
//   node web/tests/page.test.mjs WEB_DIR BIVANO SHOTS_DIR
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, readdirSync, rmSync, mkdirSync, writeFileSync } from 'node:fs';
import net from 'node:net';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { after, before, test } from 'node:test';
import puppeteer from 'puppeteer-core';

const [webDir, bivano, shotsDir] = process.argv.slice(2).map((path) => path && resolve(path));
if (!webDir || !bivano || !shotsDir) {
    console.error('usage: page.test.mjs WEB_DIR BIVANO SHOTS_DIR');
    process.exit(2);
}
const CHROMIUM = ['/usr/lib/chromium/chromium', '/usr/bin/chromium'].find(existsSync);
const model = readdirSync(webDir).find((name) => /^greek-.*\.model\.gz$/.test(name));
const scratch = mkdtempSync(join(tmpdir(), 'lativo-page-'));
const downloads = join(scratch, 'downloads');
mkdirSync(downloads);
mkdirSync(shotsDir, { recursive: true });

function native(args, input) {
    const run = spawnSync(bivano, args, { input, maxBuffer: 1 << 30 });
    assert.equal(run.status, 0, String(run.stderr));
    return run.stdout;
}

function freePort() {
    return new Promise((done, fail) => {
        const probe = net.createServer();
        probe.once('error', fail);
        probe.listen(0, '127.0.0.1', () => {
            const { port } = probe.address();
            probe.close(() => done(port));
        });
    });
}

async function waitForPort(port) {
    for (let tries = 0; tries < 100; ++tries) {
        const open = await new Promise((done) => {
            const socket = net.connect(port, '127.0.0.1', () => {
                socket.end();
                done(true);
            });
            socket.once('error', () => done(false));
        });
        if (open) {
            return;
        }
        await new Promise((done) => setTimeout(done, 100));
    }
    throw new Error(`the server on port ${port} did not start`);
}

let server;
let browser;
let origin;
const requests = [];

before(async () => {
    assert.ok(CHROMIUM, 'Chromium is installed');
    const port = await freePort();
    server = spawn('python3', ['-m', 'http.server', '-b', '127.0.0.1', '-d', webDir, String(port)], { stdio: 'ignore' });
    origin = `http://127.0.0.1:${port}`;
    await waitForPort(port);
    browser = await puppeteer.launch({
        executablePath: CHROMIUM,
        userDataDir: join(scratch, 'profile'),
        headless: true,
        args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
            '--disable-background-networking', '--disable-component-update', '--disable-sync', '--lang=el-GR'],
    });
    await browser.defaultBrowserContext().overridePermissions(origin, ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
});

after(async () => {
    await browser?.close();
    if (server?.pid) {
        process.kill(server.pid);  // by its process id, as it was started
    }
    rmSync(scratch, { recursive: true, force: true });
});

async function openPage({ languages = ['el-GR', 'el'], width = 1100, height = 900, url = origin } = {}) {
    const page = await browser.newPage();
    await page.setViewport({ width, height });
    await page.evaluateOnNewDocument((list) => {
        Object.defineProperty(navigator, 'languages', { get: () => list });
    }, languages);
    page.on('request', (request) => requests.push(request.url()));
    page.on('pageerror', (error) => assert.fail(`page error: ${error.message}`));
    if (process.env.LATIVO_DEBUG) {
        page.on('console', (message) => console.log('page:', message.text()));
    }
    const session = await page.createCDPSession();
    await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await page.goto(`${url}/index.html`);
    await page.waitForSelector('body[data-ready]');
    return page;
}

async function typeSource(page, text) {
    await page.$eval('#source', (box) => {
        box.value = '';
    });
    await page.type('#source', text);
}

async function resultAfter(page, action, previous) {
    await action();
    await page.waitForFunction((old) => document.getElementById('result').value !== old, { timeout: 60_000 }, previous);
    return page.$eval('#result', (box) => box.value);
}

async function status(page) {
    return page.$eval('#status', (element) => element.textContent);
}

async function waitForStatus(page, pattern) {
    await page.waitForFunction((source) => new RegExp(source).test(document.getElementById('status').textContent),
        { timeout: 120_000 }, pattern.source);
    return status(page);
}

// Greek letters sit at the same bytes in both single-byte encodings
// (α 0xE1, ά 0xDC); Ά is 0xA2 in Windows-1253 and 0xB6 in ISO-8859-7.
function singleByte(text, alpha) {
    return Buffer.from([...text].map((c) => {
        const code = c.codePointAt(0);
        if (c === 'Ά') {
            return alpha;
        }
        return code >= 0x391 && code <= 0x3ce ? code - 0x391 + 0xc1 : code;
    }));
}

// A file dropped on the page, as a browser delivers it.
async function dropFile(page, name, bytes) {
    return page.evaluate((fileName, content) => {
        const file = new File([new Uint8Array(content)], fileName, { type: 'text/plain' });
        const data = new DataTransfer();
        data.items.add(file);
        const box = document.getElementById('source');
        const over = new DragEvent('dragover', { dataTransfer: data, bubbles: true, cancelable: true });
        box.dispatchEvent(over);
        const shown = { accepted: over.defaultPrevented, marked: document.body.classList.contains('dragging') };
        const drop = new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true });
        box.dispatchEvent(drop);
        return { ...shown, taken: drop.defaultPrevented, unmarked: !document.body.classList.contains('dragging') };
    }, name, [...bytes]);
}

async function download(name) {
    const path = join(downloads, name);
    for (let tries = 0; tries < 100 && !existsSync(path); ++tries) {
        await new Promise((done) => setTimeout(done, 100));
    }
    const bytes = readFileSync(path);
    rmSync(path);
    return bytes;
}

test('greets in Greek, switches to English and back', async () => {
    const page = await openPage();
    assert.equal(await page.$eval('html', (html) => html.lang), 'el');
    assert.equal(await page.$eval('label[for=source]', (label) => label.textContent), 'Πρότυπο Κείμενο:');
    await page.click('#language');
    assert.equal(await page.$eval('html', (html) => html.lang), 'en');
    assert.equal(await page.$eval('label[for=source]', (label) => label.textContent), 'Source text:');
    await page.click('#language');
    assert.equal(await page.$eval('#to-greek', (button) => button.textContent), 'Ελληνικά');
    await page.close();

    const english = await openPage({ languages: ['en-GB', 'el'] });
    assert.equal(await english.$eval('html', (html) => html.lang), 'en');
    await english.close();
});

test('converts as one types, by button and keyboard, with every choice', async () => {
    const page = await openPage();
    await typeSource(page, 'Kalimera, ti kaneis? 8alassa');
    let result = await resultAfter(page, () => page.click('#to-greek'), '');
    assert.equal(result, 'Καλιμερα, τι κανεις? θαλασσα');
    // Typing on converts by itself, a moment later.
    result = await resultAfter(page, () => page.type('#source', ' psyxh'), result);
    assert.equal(result, 'Καλιμερα, τι κανεις? θαλασσα ψυχη');

    const greek = 'Θεσσαλονίκη, ξένος ψυχή ώρα θάλασσα';
    await typeSource(page, greek);
    // Tab from the source box to... the buttons: the keyboard reaches Lativo.
    await page.focus('#to-latin');
    result = await resultAfter(page, () => page.keyboard.press('Enter'), result);
    assert.equal(result, String(native(['latin'], Buffer.from(greek))));
    for (const [name, value, args] of [
        ['xi', 'ks', ['-x', 'ks']], ['theta', 'th', ['-x', 'ks', '-t', 'th']],
        ['psi', 'ps', ['-x', 'ks', '-t', 'th', '-p', 'ps']], ['omega', 'v', ['-x', 'ks', '-t', 'th', '-p', 'ps', '-w', 'v']],
    ]) {
        result = await resultAfter(page, () => page.click(`input[name=${name}][value=${value}]`), result);
        assert.equal(result, String(native(['latin', ...args], Buffer.from(greek))), name);
    }
    for (const scheme of ['elot743', 'iso843', 'alalc', 'bgn1962', 'slug']) {
        result = await resultAfter(page, () => page.click(`input[name=scheme][value=${scheme}]`), result);
        assert.equal(result, String(native(['latin', '-s', scheme], Buffer.from(greek))), scheme);
    }
    await page.close();
});

test('opens files in the program\'s encodings, saves, refuses what is not text', async () => {
    const page = await openPage();
    const greek = 'Άνθρωπος θάλασσα,\r\nψυχή ξένος.\r\n';
    const files = {
        'utf8.txt': Buffer.from(greek),
        'utf16.txt': Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(greek, 'utf16le')]),
        'cp1253.txt': singleByte(greek, 0xa2),
        'iso8859-7.txt': singleByte(greek, 0xb6),
    };
    for (const [name, bytes] of Object.entries(files)) {
        writeFileSync(join(scratch, name), bytes);
    }
    await page.click('#to-latin');
    for (const [name, bytes] of Object.entries(files)) {
        const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#open')]);
        await chooser.accept([join(scratch, name)]);
        await waitForStatus(page, new RegExp(name.replace('.', '\\.')));
        await page.waitForFunction(() => document.getElementById('result').value.length > 0);
        await page.waitForFunction((expected) => document.getElementById('result').value === expected, {},
            String(native(['latin'], bytes)).replace(/\r\n/g, '\n'));
        // Saved as UTF-8: the program's bytes and one CR LF, the CR LF of the file kept.
        await page.select('#save-encoding', 'utf-8');
        await page.click('#save');
        const saved = await download('' + name.replace(/\.txt$/, '') + '-latin.txt');
        assert.deepEqual(saved, Buffer.concat([native(['latin'], bytes), Buffer.from('\r\n')]), name);
    }
    await page.select('#save-encoding', 'windows-1253');
    await page.click('#to-greek');
    await page.waitForFunction((expected) => document.getElementById('result').value === expected, {},
        String(native(['greek'], files['iso8859-7.txt'])).replace(/\r\n/g, '\n'));
    await page.click('#save');
    assert.deepEqual(await download('iso8859-7-greek.txt'),
        Buffer.concat([native(['greek', '--to', 'windows-1253'], files['iso8859-7.txt']), Buffer.from('\r\n')]));

    // Cyrillic has no place in Windows-1253: said, nothing saved.
    await typeSource(page, 'ab\nжa');
    await page.waitForFunction(() => document.getElementById('result').value.includes('ж'));
    await page.click('#save');
    assert.match(await waitForStatus(page, /U\+0436/), /γραμμή 2, στήλη 1/);

    writeFileSync(join(scratch, 'picture.png'), Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0, 0, 0, 13]));
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#open')]);
    await chooser.accept([join(scratch, 'picture.png')]);
    assert.match(await waitForStatus(page, /picture\.png/), /δεν είναι αρχείο κειμένου/);
    assert.equal(await page.$eval('#source', (box) => box.value), 'ab\nжa', 'the source stays');
    await page.close();
});

test('opens a file dropped on the page, in UTF-8 and in Windows-1253', async () => {
    const page = await openPage();
    const greek = 'Άνθρωπος θάλασσα,\r\nψυχή ξένος ώρα.\r\n';
    await page.click('#to-latin');
    for (const [name, bytes, encoding] of [
        ['dropped-utf8.txt', Buffer.from(greek), 'UTF-8'],
        ['dropped-cp1253.txt', singleByte(greek, 0xa2), 'Windows-1253'],
    ]) {
        const drag = await dropFile(page, name, bytes);
        assert.deepEqual(drag, { accepted: true, marked: true, taken: true, unmarked: true }, name);
        const said = await waitForStatus(page, new RegExp(name.replace('.', '\\.')));
        assert.ok(said.includes(`(${encoding})`), `${name}: ${said}`);
        assert.equal(await page.$eval('#source', (box) => box.value), greek.replace(/\r\n/g, '\n'), name);
        await page.waitForFunction((expected) => document.getElementById('result').value === expected, {},
            String(native(['latin'], bytes)).replace(/\r\n/g, '\n'));
        // The file's own line breaks are kept for Save.
        await page.click('#save');
        assert.deepEqual(await download(name.replace(/\.txt$/, '-latin.txt')),
            Buffer.concat([native(['latin'], bytes), Buffer.from('\r\n')]), name);
    }
    // A picture dropped is refused, and the text stays.
    await dropFile(page, 'dropped.png', Buffer.from([0x89, 0x50, 0x4e, 0x47, 0, 0, 0, 13]));
    assert.match(await waitForStatus(page, /dropped\.png/), /δεν είναι αρχείο κειμένου/);
    assert.equal(await page.$eval('#source', (box) => box.value), greek.replace(/\r\n/g, '\n'));
    await page.close();
});

test('a long text shows its beginning; converting, saving and copying take all of it', async () => {
    const page = await openPage();
    const line = 'Η Ελλάδα είναι χώρα της νοτιοανατολικής Ευρώπης, θάλασσα ψυχή ξένος ώρα.\r\n';
    const greek = line.repeat(4000);
    assert.ok(greek.length > 250_000);
    const bytes = Buffer.from(greek);
    const shownPart = (text) => `${text.slice(0, 100_000)}…`.replace(/\r\n?/g, '\n');
    await page.click('#to-latin');
    await dropFile(page, 'long.txt', bytes);
    await page.waitForFunction(() => document.getElementById('source').readOnly);
    assert.equal(await page.$eval('#source', (box) => box.value), shownPart(greek));
    assert.equal(await page.$eval('#source', (box) => box.readOnly), true, 'a text shown in part takes no typing');
    assert.match(await page.$eval('#source-note', (note) => note.textContent), new RegExp(`100\\.000 από τους ${greek.length.toLocaleString('el').replace('.', '\\.')}`));
    // Long texts convert with progress, and their result shows in part too.
    const latin = native(['latin'], bytes);
    await waitForStatus(page, /^Έτοιμο\.$/);
    assert.equal(await page.$eval('#result', (box) => box.value), shownPart(String(latin)));
    assert.equal(await page.$eval('#result-note', (note) => note.hidden), false);
    await page.screenshot({ path: join(shotsDir, 'page-long-text.png'), fullPage: true });
    // Save and copy give all of it.
    await page.select('#save-encoding', 'utf-8');
    await page.click('#save');
    assert.deepEqual(await download('long-latin.txt'), Buffer.concat([latin, Buffer.from('\r\n')]));
    await page.click('#copy');
    await waitForStatus(page, /αντιγράφηκε/);
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), String(latin).replace(/\r\n/g, '\n'));
    await page.click('#to-greek');
    await page.waitForFunction(() => document.getElementById('to-greek').getAttribute('aria-pressed') === 'true');
    await waitForStatus(page, /^Έτοιμο\.$/);
    await page.select('#save-encoding', 'windows-1253');
    await page.click('#save');
    assert.deepEqual(await download('long-greek.txt'),
        Buffer.concat([native(['greek', '--to', 'windows-1253'], bytes), Buffer.from('\r\n')]));
    // The notes speak the page's language.
    await page.click('#language');
    assert.match(await page.$eval('#result-note', (note) => note.textContent), /Showing the first 100,000 of/);
    await page.click('#language');

    // Cleared, the box takes typing again.
    await page.click('#clear');
    assert.deepEqual(await page.$eval('#source', (box) => [box.value, box.readOnly]), ['', false]);
    assert.deepEqual(await page.$$eval('.note', (notes) => notes.map((note) => note.hidden)), [true, true]);

    // A long text pasted: kept whole, shown in part. Windows-1253 has no
    // Cyrillic: the place of the first letter it lacks is said.
    const pasted = 'Καλημέρα θάλασσα.\n'.repeat(9000) + 'жa\n' + 'ψυχή\n'.repeat(100);
    await page.evaluate((text) => {
        const data = new DataTransfer();
        data.setData('text/plain', text);
        document.getElementById('source').dispatchEvent(new ClipboardEvent('paste', { clipboardData: data, bubbles: true, cancelable: true }));
    }, pasted);
    assert.equal(await page.$eval('#source', (box) => box.value), shownPart(pasted));
    await page.click('#to-latin');
    await waitForStatus(page, /^Έτοιμο\.$/);
    await page.select('#save-encoding', 'utf-8');
    await page.click('#save');
    assert.deepEqual(await download('lativo-latin.txt'), Buffer.concat([native(['latin'], Buffer.from(pasted)), Buffer.from('\r\n')]));
    await page.select('#save-encoding', 'windows-1253');
    await page.click('#save');
    assert.match(await waitForStatus(page, /U\+0436/), /γραμμή 9001, στήλη 1/);
    await page.close();
});

test('the client carries long texts in buffers and Blobs, as bivano converts them', async () => {
    const page = await openPage();
    const paragraph = readFileSync(new URL('../../bench/greek_paragraph.txt', import.meta.url), 'utf8');
    // Past the size sent as a buffer, with a pair of surrogates and CR LF.
    const greek = `${paragraph.repeat(40)}😀 θάλασσα\r\n`.repeat(3);
    assert.ok(greek.length > 64 * 1024);
    const cp1253 = singleByte('Άνθρωπος θάλασσα,\r\nψυχή ξένος.\r\n'.repeat(20_000), 0xa2);
    const outcome = await page.evaluate(async (text, windows) => {
        const { LativoWorker } = await import('./client.js');
        const lativo = await import('./lativo.js');
        const worker = new LativoWorker();
        const bytes = async (blob) => Array.from(new Uint8Array(await blob.arrayBuffer()));
        try {
            // Lone surrogates and a pair cut at every piece's end come back as they went.
            const odd = `${'α'.repeat(262_143)}😀${'β'.repeat(1000)}\uD800x\uDC00`;
            const fromFile = await worker.convertLarge('latin', new Blob([new Uint8Array(windows)]), {}, undefined, { shown: 1000 }).result;
            const fromText = await worker.convertLarge('greek', text, {}, undefined, { shown: 70_000 }).result;
            const cr = new Uint8Array((1 << 20) + 3).fill(0x61);
            cr.set([0x0d, 0x0a], (1 << 20) - 1);
            const opened = await worker.open(new Blob([new Uint8Array(windows)]), { shown: 10 });
            return {
                latin: await worker.convert('latin', text).result,
                odd: (await worker.convert('latin', odd).result) === lativo.toLatin(odd),
                oddGreek: (await worker.convert('greek', odd).result) === lativo.toGreek(odd),
                fileBytes: await bytes(fromFile.blob),
                fileHead: fromFile.text,
                fileLength: fromFile.length,
                fileEncoding: fromFile.encoding,
                textHead: fromText.text,
                textBytes: await bytes(fromText.blob),
                saved: await bytes((await worker.encodeBlob(fromFile.blob, 'windows-1253', '\r\n')).blob),
                lineFeeds: await (await worker.withLineFeeds(new Blob([cr]))).text(),
                opened,
            };
        } finally {
            worker.terminate();
        }
    }, greek, [...cp1253]);
    assert.equal(outcome.latin, String(native(['latin'], Buffer.from(greek))));
    assert.ok(outcome.odd, 'lone surrogates and cut pairs kept, to Latin');
    assert.ok(outcome.oddGreek, 'lone surrogates and cut pairs kept, to Greek');
    const latin = native(['latin'], cp1253);
    assert.deepEqual(Buffer.from(outcome.fileBytes), latin);
    assert.equal(outcome.fileHead, String(latin).slice(0, 1000));
    assert.equal(outcome.fileLength, String(latin).length);
    assert.equal(outcome.fileEncoding, 'windows-1253');
    const greekBytes = native(['greek'], Buffer.from(greek));
    assert.deepEqual(Buffer.from(outcome.textBytes), greekBytes);
    assert.equal(outcome.textHead, String(greekBytes).slice(0, 70_000));
    assert.deepEqual(Buffer.from(outcome.saved), Buffer.concat([native(['latin', '--to', 'windows-1253'], cp1253), Buffer.from('\r\n')]));
    assert.equal(outcome.lineFeeds, `${'a'.repeat((1 << 20) - 1)}\naa`, 'a CR LF across two reads');
    assert.deepEqual(outcome.opened, { type: 'opened', id: outcome.opened.id, encoding: 'windows-1253', length: String(latin).length,
        whole: false, text: 'Άνθρωπος θ' });
    await page.close();
});

test('copies the result with LF line breaks', async () => {
    const page = await openPage();
    await typeSource(page, 'a\nb');
    await page.click('#to-greek');
    await page.waitForFunction(() => document.getElementById('result').value === 'α\nβ');
    await page.click('#copy');
    await waitForStatus(page, /αντιγράφηκε/);
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), 'α\nβ');
    await page.close();
});

test('refuses a text past 64 Mi characters at once', async () => {
    const page = await openPage();
    const message = await page.evaluate(async () => {
        const { LativoWorker } = await import('./client.js');
        const worker = new LativoWorker();
        try {
            await worker.convert('latin', 'a'.repeat(64 * 1024 * 1024 + 1)).result;
            return 'converted';
        } catch (error) {
            return error.name;
        } finally {
            worker.terminate();
        }
    });
    assert.equal(message, 'TooLongError');
    await page.close();
});

test('accents fetch the model once, as bivano spells', async () => {
    const page = await openPage();
    const text = 'Kalimera ti kaneis? 8a to kanw auto k gt oxi';
    await typeSource(page, text);
    await page.click('#to-greek');
    await page.waitForFunction(() => document.getElementById('result').value.startsWith('Καλιμερα'));
    await page.click('input[name=spelling][value=accents]');
    await waitForStatus(page, /λεξικό είναι έτοιμο/);
    await page.waitForFunction((expected) => document.getElementById('result').value === expected, { timeout: 60_000 },
        String(native(['greek', '--accents'], Buffer.from(text))));
    await page.click('#chat');
    await page.waitForFunction((expected) => document.getElementById('result').value === expected, { timeout: 60_000 },
        String(native(['greek', '--accents', '--chat'], Buffer.from(text))));
    // At rest, neither progress bar shows.
    assert.deepEqual(await page.$$eval('.progress-row', (rows) => rows.map((row) => getComputedStyle(row).display)), ['none', 'none']);
    await page.screenshot({ path: join(shotsDir, 'page.png'), fullPage: true });
    await page.close();

    const phone = await openPage({ width: 390, height: 844 });
    await typeSource(phone, 'Θεσσαλονίκη');
    await phone.click('#to-latin');
    await phone.waitForFunction(() => document.getElementById('result').value === '8essalonikh');
    await phone.screenshot({ path: join(shotsDir, 'page-phone.png'), fullPage: true });
    await phone.close();
});

test('fixes the keyboard layout and turns each paragraph its own way, from the keyboard', async () => {
    const page = await openPage();
    await typeSource(page, 'Kalhm;era');
    // From Ελληνικά the Tab key goes on to the two new buttons.
    await page.focus('#to-greek');
    await page.keyboard.press('Tab');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'fix-layout');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => document.getElementById('result').value === 'Καλημέρα', { timeout: 120_000 });
    assert.equal(await page.$eval('#fix-layout', (button) => button.getAttribute('aria-pressed')), 'true');
    assert.equal(await page.$eval('#to-greek', (button) => button.getAttribute('aria-pressed')), 'false');
    // Typing on repairs as one types, the other way too.
    await typeSource(page, 'ηελλο ςορλδ');
    await page.waitForFunction(() => document.getElementById('result').value === 'hello world', { timeout: 60_000 });
    const mixed = 'Kalhm;era, ti k;aneis? ηελλο ςορλδ ςςς.γοογλε.ψομ και ok';
    await typeSource(page, mixed);
    await page.waitForFunction((expected) => document.getElementById('result').value === expected, { timeout: 60_000 },
        String(native(['layout'], Buffer.from(mixed))));

    const paragraphs = 'Θεσσαλονίκη, ξένος ψυχή ώρα θάλασσα.\nkalimera ti kaneis? 8a ta poume k gt oxi\nhello world\n';
    await typeSource(page, paragraphs);
    await page.focus('#auto');
    await page.keyboard.press('Space');
    await page.waitForFunction((expected) => document.getElementById('result').value === expected, { timeout: 60_000 },
        String(native(['auto'], Buffer.from(paragraphs))));
    // The Latin choices and the chat steer auto as they steer bivano auto.
    await page.click('input[name=xi][value=ks]');
    await page.waitForFunction((expected) => document.getElementById('result').value === expected, { timeout: 60_000 },
        String(native(['auto', '-x', 'ks'], Buffer.from(paragraphs))));
    await page.click('input[name=spelling][value=accents]');
    await page.click('#chat');
    await page.waitForFunction((expected) => document.getElementById('result').value === expected, { timeout: 60_000 },
        String(native(['auto', '-x', 'ks', '--chat'], Buffer.from(paragraphs))));

    await page.click('#language');
    assert.deepEqual(await page.$$eval('#fix-layout, #auto', (buttons) => buttons.map((button) => button.textContent)), ['Fix layout', 'Auto']);
    await page.click('#language');
    assert.deepEqual(await page.$$eval('#fix-layout, #auto', (buttons) => buttons.map((button) => button.textContent)), ['Διόρθωση διάταξης', 'Αυτόματα']);
    await page.close();
});

test('a long text shows progress and can be cancelled', async () => {
    const page = await openPage();
    // Lines of words drawn at random, so that the reader's memories of words
    // and phrases do not make the run too short to stop.
    const words = ['kalimera', 'ti', 'kaneis', '8a', 'to', 'kanw', 'auto', 'spiti', '8alassa',
        'nero', 'mera', 'nyxta', 'filos', 'douleia', 'sxoleio', 'paidi', 'dromos', 'polh',
        'vivlio', 'trapezi'];
    let seed = 12345;
    const lines = [];
    for (let i = 0; i < 300_000; ++i) {
        const line = [];
        for (let k = 0; k < 5; ++k) {
            seed = (seed * 1103515245 + 12345) % 2147483648;
            line.push(words[seed % words.length]);
        }
        lines.push(`${line.join(' ')}.\n`);
    }
    const text = lines.join('');
    await page.$eval('#source', (box, value) => {
        box.value = value;
        box.dispatchEvent(new Event('input'));
    }, text);
    // Accents take a while over millions of characters: long enough to stop them.
    await page.click('input[name=spelling][value=accents]');
    await waitForStatus(page, /λεξικό είναι έτοιμο/);
    await page.click('#to-greek');
    await page.waitForSelector('#progress-row:not([hidden])');
    // Pressed as soon as the bar moves, from inside the page: from outside,
    // a fast machine could finish first.
    await page.evaluate(() => new Promise((done) => {
        const check = () => {
            if (document.getElementById('progress').value > 0) {
                document.getElementById('cancel').click();
                done();
            } else {
                setTimeout(check, 2);
            }
        };
        check();
    }));
    await waitForStatus(page, /σταμάτησε/);
    assert.equal(await page.$eval('#result', (box) => box.value), '');
    assert.equal(await page.$eval('#progress-row', (row) => getComputedStyle(row).display), 'none');
    // Run to the end it gives the whole text.
    await page.click('input[name=spelling][value=as-written]');
    await page.click('#to-greek');
    await waitForStatus(page, /Έτοιμο/);
    // Its beginning shows; the note tells how much there is.
    const whole = String(native(['greek'], Buffer.from(text)));
    assert.equal(await page.$eval('#result', (box) => box.value), `${whole.slice(0, 100_000)}…`);
    const note = await page.$eval('#result-note', (element) => element.textContent);
    assert.equal(note.match(/από τους ([\d.]+) χαρακτήρες/)?.[1].replaceAll('.', ''), String(whole.length));
    await page.close();
});

test('works offline after the first visit, accents included', async () => {
    const page = await openPage();
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.reload();
    await page.waitForSelector('body[data-ready]');
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.setOfflineMode(true);
    await page.reload();
    await page.waitForSelector('body[data-ready]');
    await typeSource(page, 'thalasa');
    await page.click('input[name=spelling][value=accents]');
    await page.click('#to-greek');
    await page.waitForFunction(() => document.getElementById('result').value === 'θάλασσα', { timeout: 60_000 });
    await page.setOfflineMode(false);
    await page.close();
});

test('a damaged model leaves the plain conversions and says so once', async () => {
    // The same page from a folder whose model is damaged, on a server of its own.
    const damagedDir = join(scratch, 'damaged');
    mkdirSync(damagedDir);
    for (const name of readdirSync(webDir)) {
        const bytes = readFileSync(join(webDir, name));
        if (name === model) {
            bytes.fill(0x55, 1000, 2000);
        }
        writeFileSync(join(damagedDir, name), bytes);
    }
    const port = await freePort();
    const second = spawn('python3', ['-m', 'http.server', '-b', '127.0.0.1', '-d', damagedDir, String(port)], { stdio: 'ignore' });
    try {
        await waitForPort(port);
        const page = await openPage({ url: `http://127.0.0.1:${port}` });
        await typeSource(page, 'thalasa');
        await page.click('#to-greek');
        await page.waitForFunction(() => document.getElementById('result').value === 'θαλασα');
        await page.click('input[name=spelling][value=accents]');
        const said = await waitForStatus(page, /λεξικό δεν φορτώθηκε/);
        assert.match(said, /χωρίς τόνους/);
        // Later conversions go on without accents and say nothing more.
        await page.type('#source', ' kai');
        await page.waitForFunction(() => document.getElementById('result').value === 'θαλασα και');
        await page.click('#to-greek');
        await waitForStatus(page, /^Έτοιμο\.$/);
        // Layout cannot be repaired without the model: the text stays, and
        // the page says why, once, rather than pretending.
        await typeSource(page, 'Kalhm;era');
        await page.click('#fix-layout');
        const why = await waitForStatus(page, /καμία λέξη δεν κρίνεται/);
        assert.match(why, /λεξικό δεν φορτώθηκε/);
        await page.waitForFunction(() => document.getElementById('result').value === 'Kalhm;era');
        await page.type('#source', ' k;osme');
        await page.waitForFunction(() => document.getElementById('result').value === 'Kalhm;era k;osme');
        assert.equal(await status(page), why);
        await page.click('#auto');
        await page.waitForFunction(() => document.getElementById('result').value === 'Kalhm;era k;osme');
        await waitForStatus(page, /καμία λέξη δεν κρίνεται/);
        // Nothing damaged is kept in the cache.
        assert.deepEqual(await page.evaluate(async () => (await caches.keys()).filter((name) => name.startsWith('lativo-model-'))), []);
        await page.close();
    } finally {
        process.kill(second.pid);
    }
});

test('the core loads though its server calls it other than application/wasm', async () => {
    // The browser then compiles it only once it is read whole, which
    // lativo.js falls back to. The page from a server of its own that
    // serves .wasm as application/octet-stream.
    const port = await freePort();
    const serve = 'import functools, http.server, sys\n' +
        'handler = http.server.SimpleHTTPRequestHandler\n' +
        "handler.extensions_map['.wasm'] = 'application/octet-stream'\n" +
        'http.server.test(HandlerClass=functools.partial(handler, directory=sys.argv[1]), ' +
        "bind='127.0.0.1', port=int(sys.argv[2]))\n";
    const second = spawn('python3', ['-c', serve, webDir, String(port)], { stdio: 'ignore' });
    try {
        await waitForPort(port);
        const page = await openPage({ url: `http://127.0.0.1:${port}` });
        const [streamed, latin] = await page.evaluate(async () => [
            await WebAssembly.compileStreaming(fetch('lativo-core.wasm')).then(() => 'compiled', () => 'refused'),
            (await import('./lativo.js')).toLatin('Καλημέρα, θάλασσα!'),
        ]);
        assert.equal(streamed, 'refused');
        assert.equal(latin, 'Kalhmera, 8alassa!');
        await typeSource(page, 'Καλημέρα');
        await page.click('#to-latin');
        await page.waitForFunction(() => document.getElementById('result').value === 'Kalhmera');
        await page.close();
    } finally {
        process.kill(second.pid);
    }
});

test('no request left the page', () => {
    assert.ok(requests.length > 0);
    const elsewhere = requests.filter((url) => !url.startsWith('http://127.0.0.1:') && !url.startsWith('blob:') && !url.startsWith('data:'));
    assert.deepEqual(elsewhere, []);
    // The model came over the network once; the cache served it after.
    assert.equal(requests.filter((url) => url.endsWith(model)).length >= 1, true);
});
