// SPDX-License-Identifier: GPL-3.0-or-later
// The web build's sizes and speeds against its budgets:
//   the module (core, loader, ES module) ≤ 60 KB gzip'ed; page, module and
//   worker ≤ 150 KB; the model's size and load time; the first plain
//   conversion ≤ 200 ms after the page loads; speed in the browser ≥ 50% of
//   bivano's on the same 10 MB, each mode; the page's memory ≤ 200 MB
//   during a 10 MB accents conversion.
//
//   node web/bench/web_bench.mjs WEB_DIR BIVANO [MEGABYTES]
// Run from web/ after npm ci (puppeteer-core); it starts its own server on
// 127.0.0.1 and stops it by its process id. Prints a table; exits 1 when
// a budget is missed.
import { spawn, spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync, existsSync } from 'node:fs';
import net from 'node:net';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';
import puppeteer from 'puppeteer-core';

const [webDir, bivano] = process.argv.slice(2, 4).map((path) => path && resolve(path));
const megabytes = Number(process.argv[4] ?? 10);
if (!webDir || !bivano) {
    console.error('usage: web_bench.mjs WEB_DIR BIVANO [MEGABYTES]');
    process.exit(2);
}
const scratch = mkdtempSync(join(tmpdir(), 'lativo-bench-'));
const rows = [];
let missed = false;

function report(what, value, unit, budget = undefined, better = 'lower') {
    const within = budget === undefined || (better === 'lower' ? value <= budget : value >= budget);
    missed ||= !within;
    rows.push([what, `${value.toFixed(unit === '%' || unit === 'ms' ? 0 : 1)} ${unit}`,
        budget === undefined ? '' : `${better === 'lower' ? '≤' : '≥'} ${budget} ${unit}`, within ? '' : 'MISSED']);
}

const gz = (name) => gzipSync(readFileSync(join(webDir, name)), { level: 9 }).length / 1024;
const moduleFiles = ['lativo-core.wasm', 'lativo-core.js', 'lativo.js'];
const pageFiles = [...moduleFiles, 'index.html', 'app.js', 'style.css', 'icon.svg', 'client.js', 'worker.js', 'sw.js', 'model-info.js'];
report('module, gzip\'ed (core, loader, ES module)', moduleFiles.reduce((sum, name) => sum + gz(name), 0), 'KB', 60);
report('page, module and worker, gzip\'ed', pageFiles.reduce((sum, name) => sum + gz(name), 0), 'KB', 150);
const modelFile = readdirSync(webDir).find((name) => /^greek-.*\.model\.gz$/.test(name));
const modelBytes = readFileSync(join(webDir, modelFile));
report('model, gzip\'ed', modelBytes.length / 1024 / 1024, 'MB', 6);

// The same 10 MB for both: Greek prose for latin, its Lativo for greek.
const paragraph = readFileSync(new URL('../../bench/greek_paragraph.txt', import.meta.url), 'utf8');
const greekText = paragraph.repeat(Math.ceil((megabytes * 1e6) / Buffer.byteLength(paragraph)));
const greekFile = join(scratch, 'greek.txt');
writeFileSync(greekFile, greekText);
const latinFile = join(scratch, 'latin.txt');
writeFileSync(latinFile, spawnSync(bivano, ['latin', greekFile], { maxBuffer: 1 << 30 }).stdout);
const latinText = readFileSync(latinFile, 'utf8');
const modes = [
    { name: 'latin', args: ['latin'], file: greekFile, text: greekText, options: {} },
    { name: 'latin elot743', args: ['latin', '-s', 'elot743'], file: greekFile, text: greekText, options: { scheme: 'elot743' } },
    { name: 'greek', args: ['greek'], file: latinFile, text: latinText, options: {}, direction: 'greek' },
    { name: 'greek --accents', args: ['greek', '--accents'], file: latinFile, text: latinText, options: { accents: true }, direction: 'greek' },
];

function best(times, run) {
    let fastest = Infinity;
    for (let i = 0; i < times; ++i) {
        const start = process.hrtime.bigint();
        run();
        fastest = Math.min(fastest, Number(process.hrtime.bigint() - start) / 1e6);
    }
    return fastest;
}

const nativeMs = {};
for (const mode of modes) {
    nativeMs[mode.name] = best(3, () => {
        const run = spawnSync(bivano, [...mode.args, '-o', join(scratch, 'out.txt'), mode.file]);
        if (run.status !== 0) {
            throw new Error(String(run.stderr));
        }
    });
}

// Node: the module itself, for reference.
const lativo = await import(pathToFileURL(join(webDir, 'lativo.js')).href);
const nativeModel = join(resolve(bivano, '..'), 'share/bivano/greek.model');
const loadStart = performance.now();
await lativo.loadModel(modelBytes);
report('model load under node (gunzip and check)', performance.now() - loadStart, 'ms');
if (existsSync(nativeModel)) {
    const start = performance.now();
    await lativo.loadModel(readFileSync(nativeModel));
    report('model load under node (plain bytes)', performance.now() - start, 'ms');
}

function freePort() {
    return new Promise((done) => {
        const probe = net.createServer().listen(0, '127.0.0.1', () => {
            const { port } = probe.address();
            probe.close(() => done(port));
        });
    });
}

// Proportional memory of the browser's renderers (the page and its worker).
function rendererMegabytes(browserPid) {
    let total = 0;
    for (const pid of readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
        try {
            const command = readFileSync(`/proc/${pid}/cmdline`, 'utf8');
            if (!command.includes('--type=renderer')) {
                continue;
            }
            const status = readFileSync(`/proc/${pid}/status`, 'utf8');
            const parent = Number(/PPid:\s+(\d+)/.exec(status)?.[1]);
            const grand = Number(/PPid:\s+(\d+)/.exec(readFileSync(`/proc/${parent}/status`, 'utf8'))?.[1]);
            if (parent !== browserPid && grand !== browserPid) {
                continue;
            }
            const rollup = readFileSync(`/proc/${pid}/smaps_rollup`, 'utf8');
            total += Number(/Pss:\s+(\d+) kB/.exec(rollup)?.[1] ?? 0) / 1024;
        } catch {
            // gone meanwhile
        }
    }
    return total;
}

const port = await freePort();
const server = spawn('python3', ['-m', 'http.server', '-b', '127.0.0.1', '-d', webDir, String(port)], { stdio: 'ignore' });
const browser = await puppeteer.launch({
    executablePath: ['/usr/lib/chromium/chromium', '/usr/bin/chromium'].find(existsSync),
    userDataDir: join(scratch, 'profile'),
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
        '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
try {
    await new Promise((done) => setTimeout(done, 500));
    const page = await browser.newPage();
    await page.goto(`http://127.0.0.1:${port}/index.html`);
    // From the start of navigation to the first result on screen.
    await page.waitForSelector('body[data-ready]');
    await page.$eval('#source', (box) => {
        box.value = 'Καλημέρα, θάλασσα!';
    });
    await page.click('#to-latin');
    await page.waitForFunction(() => document.getElementById('result').value === 'Kalhmera, 8alassa!');
    const firstMs = await page.evaluate(() => performance.now());
    report('first plain conversion after the page loads', firstMs, 'ms', 200);

    await page.evaluate(async () => {
        const { LativoWorker } = await import('./client.js');
        window.benchWorker = new LativoWorker();
        await window.benchWorker.ready;
    });
    const modelMs = await page.evaluate(async () => {
        const start = performance.now();
        await window.benchWorker.loadModel();
        return performance.now() - start;
    });
    report('model fetch, gunzip and load in the browser', modelMs, 'ms');

    const browserPid = browser.process().pid;
    for (const mode of modes) {
        let peak = 0;
        const sampler = setInterval(() => {
            peak = Math.max(peak, rendererMegabytes(browserPid));
        }, 100);
        const ms = await page.evaluate(async (direction, text, options) => {
            const start = performance.now();
            const result = await window.benchWorker.convert(direction, text, options).result;
            window.benchLength = result.length;
            return performance.now() - start;
        }, mode.direction ?? 'latin', mode.text, mode.options);
        clearInterval(sampler);
        peak = Math.max(peak, rendererMegabytes(browserPid));
        const mb = Buffer.byteLength(mode.text) / 1e6;
        report(`${mode.name}: bivano`, mb / (nativeMs[mode.name] / 1000), 'MB/s');
        report(`${mode.name}: browser`, mb / (ms / 1000), 'MB/s');
        report(`${mode.name}: browser against bivano`, (100 * nativeMs[mode.name]) / ms, '%', 50, 'higher');
        report(`${mode.name}: renderers' memory at most`, peak, 'MB', mode.options.accents ? 200 : undefined);
    }
} finally {
    await browser.close();
    process.kill(server.pid);
    rmSync(scratch, { recursive: true, force: true });
}

const widths = [0, 1, 2].map((column) => Math.max(...rows.map((row) => row[column].length)));
for (const row of rows) {
    console.log(`${row[0].padEnd(widths[0])}  ${row[1].padStart(widths[1])}  ${row[2].padEnd(widths[2])}  ${row[3]}`);
}
process.exit(missed ? 1 : 0);
