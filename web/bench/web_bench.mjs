// SPDX-License-Identifier: GPL-3.0-or-later
// The web build's sizes, speeds and memory against their budgets:
//   the module (core, loader, ES module) ≤ 60 KB gzip'ed; page, module and
//   worker ≤ 150 KB; the model ≤ 6 MB gzip'ed, its load time; the first
//   plain conversion ≤ 200 ms after the page loads; speed in the browser
//   ≥ 50% of bivano's on the same 10 MB, each mode; the page's memory
//   ≤ 200 MB during a 10 MB accents conversion.
//
//   node web/bench/web_bench.mjs WEB_DIR BIVANO [MEGABYTES] [--against OTHER_WEB_DIR] [--rounds N] [--shots DIR]
//
// Run from web/ after npm ci (puppeteer-core); it serves each build from
// 127.0.0.1 with a server of its own, stopped by its process id. With
// --against, a second build (an earlier one, say) is measured in the same
// run, each measurement taken on both in turn, so that a busy machine
// weighs on both alike. Prints a table; exits 1 when WEB_DIR misses a budget.
//
// The first conversion: a fresh browser profile opens the page, and as soon
// as its DOM is there (DOMContentLoaded: the page has loaded, its scripts
// have run) types a word and presses Lativo; measured from then to the
// result on screen, and from the start of navigation (the median of the
// rounds), and again on a second visit, from the caches.
// Speed: the page's client (client.js) converts the text, fetched into the
// page as a string, and gives a string; bivano converts the same file. The
// best of several rounds, and the same in processor time (bivano's, and
// that of the page's renderer with its workers), which a busy machine
// disturbs less.
// Memory: the proportional set size of the page's renderer process (which
// runs its workers too), sampled every 50 ms while the page, as a user
// would use it, opens a 10 MB Greeklish file and converts it to Greek with
// accents.
import { spawn, spawnSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import net from 'node:net';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';
import puppeteer from 'puppeteer-core';

const args = process.argv.slice(2);
function option(name, fallback) {
    const at = args.indexOf(name);
    if (at < 0) {
        return fallback;
    }
    const [, value] = args.splice(at, 2);
    return value;
}
const againstDir = option('--against');
const rounds = Number(option('--rounds', 5));
const shotsDir = option('--shots');
const [webDir, bivano] = args.slice(0, 2).map((path) => path && resolve(path));
const megabytes = Number(args[2] ?? 10);
if (!webDir || !bivano) {
    console.error('usage: web_bench.mjs WEB_DIR BIVANO [MEGABYTES] [--against OTHER_WEB_DIR] [--rounds N]');
    process.exit(2);
}
const CHROMIUM = ['/usr/lib/chromium/chromium', '/usr/bin/chromium'].find(existsSync);
const builds = [{ name: 'this build', dir: webDir }];
if (againstDir) {
    builds.push({ name: 'against', dir: resolve(againstDir) });
}
const scratch = mkdtempSync(join(tmpdir(), 'lativo-bench-'));
const rows = [];
let missed = false;

// One row: a value per build, the budget applying to this build's.
function report(what, values, unit, budget = undefined, better = 'lower') {
    const shown = builds.map((_, index) => values[index]).map((value) =>
        value === undefined || value === null ? '—' : `${value.toFixed(unit === '%' || unit === 'ms' || unit === 'MB' ? 0 : 1)} ${unit}`);
    const value = values[0];
    const within = budget === undefined || value === undefined || value === null || (better === 'lower' ? value <= budget : value >= budget);
    missed ||= !within;
    rows.push([what, ...shown, budget === undefined ? '' : `${better === 'lower' ? '≤' : '≥'} ${budget} ${unit}`, within ? '' : 'MISSED']);
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// Sizes.
const gz = (dir, name) => (existsSync(join(dir, name)) ? gzipSync(readFileSync(join(dir, name)), { level: 9 }).length / 1024 : 0);
// lativo-core.js: emscripten's loader, which earlier builds served (lativo.js loads the core now).
const moduleFiles = ['lativo-core.wasm', 'lativo-core.js', 'lativo.js'];
const pageFiles = [...moduleFiles, 'index.html', 'boot.js', 'app.js', 'style.css', 'icon.svg', 'client.js', 'worker.js', 'sw.js', 'model-info.js'];
const modelFile = (dir) => readdirSync(dir).find((name) => /^greek-.*\.model\.gz$/.test(name));
report('module, gzip\'ed (core, loader, ES module)', builds.map(({ dir }) => moduleFiles.reduce((sum, name) => sum + gz(dir, name), 0)), 'KB', 60);
report('page, module and worker, gzip\'ed', builds.map(({ dir }) => pageFiles.reduce((sum, name) => sum + gz(dir, name), 0)), 'KB', 150);
report('model, gzip\'ed', builds.map(({ dir }) => readFileSync(join(dir, modelFile(dir))).length / 1024 / 1024), 'MB', 6);

// The texts: Greek prose for latin, its Lativo for greek (the same 10 MB
// for both), and 10 MB of Greeklish for the page's memory.
const texts = join(scratch, 'texts');
mkdirSync(texts);
const paragraph = readFileSync(new URL('../../bench/greek_paragraph.txt', import.meta.url), 'utf8');
const greekFile = join(texts, 'greek.txt');
writeFileSync(greekFile, paragraph.repeat(Math.ceil((megabytes * 1e6) / Buffer.byteLength(paragraph))));
const latinFile = join(texts, 'latin.txt');
const latin = spawnSync(bivano, ['latin', greekFile], { maxBuffer: 1 << 30 }).stdout;
writeFileSync(latinFile, latin);
const greeklishFile = join(texts, 'greeklish.txt');
writeFileSync(greeklishFile, Buffer.concat(Array(Math.ceil((megabytes * 1e6) / latin.length)).fill(latin)).subarray(0, megabytes * 1e6));
const modes = [
    { name: 'latin', args: ['latin'], file: 'greek.txt', options: {} },
    { name: 'latin elot743', args: ['latin', '-s', 'elot743'], file: 'greek.txt', options: { scheme: 'elot743' } },
    { name: 'greek', args: ['greek'], file: 'latin.txt', options: {}, direction: 'greek' },
    { name: 'greek --accents', args: ['greek', '--accents'], file: 'latin.txt', options: { accents: true }, direction: 'greek' },
];

function bestOf(times, run) {
    let fastest = Infinity;
    for (let i = 0; i < times; ++i) {
        const start = process.hrtime.bigint();
        run();
        fastest = Math.min(fastest, Number(process.hrtime.bigint() - start) / 1e6);
    }
    return fastest;
}

// Node: the module itself, for reference.
{
    const lativo = await import(pathToFileURL(join(webDir, 'lativo.js')).href);
    const start = performance.now();
    await lativo.loadModel(readFileSync(join(webDir, modelFile(webDir))));
    report('model load under node (gunzip and check)', [performance.now() - start], 'ms');
    lativo.unloadModel();
}

function freePort() {
    return new Promise((done) => {
        const probe = net.createServer().listen(0, '127.0.0.1', () => {
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

// Each build's files and the texts, served from a folder of links.
const servers = [];
for (const [index, build] of builds.entries()) {
    const site = join(scratch, `site-${index}`);
    mkdirSync(site);
    for (const name of readdirSync(build.dir)) {
        symlinkSync(join(build.dir, name), join(site, name));
    }
    symlinkSync(texts, join(site, 'texts'));
    const port = await freePort();
    const server = spawn('python3', ['-m', 'http.server', '-b', '127.0.0.1', '-d', site, String(port)], { stdio: 'ignore' });
    servers.push(server);
    await waitForPort(port);
    build.origin = `http://127.0.0.1:${port}`;
}

async function launch() {
    return puppeteer.launch({
        executablePath: CHROMIUM,
        userDataDir: mkdtempSync(join(scratch, 'profile-')),
        headless: true,
        args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--lang=el-GR',
            '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
}

async function openPage(browserOrContext, origin, beforeLoad = undefined) {
    const page = await browserOrContext.newPage();
    await page.setViewport({ width: 1100, height: 900 });
    await page.evaluateOnNewDocument(() => {
        Object.defineProperty(navigator, 'languages', { get: () => ['el-GR', 'el'] });
    });
    if (beforeLoad) {
        await page.evaluateOnNewDocument(beforeLoad);
    }
    await page.goto(`${origin}/index.html`);
    return page;
}

// Processor time (user and system) a process has used, in milliseconds.
function cpuMs(pid) {
    try {
        const fields = readFileSync(`/proc/${pid}/stat`, 'utf8').replace(/^.*\) /, '').split(' ');
        return (Number(fields[11]) + Number(fields[12])) * 10;  // clock ticks of 10 ms
    } catch {
        return 0;
    }
}

function pss(pid) {
    try {
        return Number(/Pss:\s+(\d+) kB/.exec(readFileSync(`/proc/${pid}/smaps_rollup`, 'utf8'))[1]) / 1024;
    } catch {
        return 0;
    }
}

function renderers(browser) {
    const browserPid = browser.process().pid;
    const found = new Map();
    for (const pid of readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
        try {
            if (!readFileSync(`/proc/${pid}/cmdline`, 'utf8').includes('--type=renderer')) {
                continue;
            }
            const parent = Number(/PPid:\s+(\d+)/.exec(readFileSync(`/proc/${pid}/status`, 'utf8'))[1]);
            const grand = Number(/PPid:\s+(\d+)/.exec(readFileSync(`/proc/${parent}/status`, 'utf8'))[1]);
            if (parent === browserPid || grand === browserPid) {
                found.set(pid, pss(pid));
            }
        } catch {
            // gone meanwhile
        }
    }
    return found;
}

// The page's renderer: the one that grows when the page takes 64 MB, which
// is then given back at once rather than left for the garbage collector.
async function rendererOf(browser, page) {
    const before = renderers(browser);
    await page.evaluate(() => {
        window.benchMarker = new Uint8Array(64 << 20).fill(1);
    });
    const grown = [...renderers(browser)].map(([pid, megabytes]) => [pid, megabytes - (before.get(pid) ?? 0)]);
    await page.evaluate(() => {
        window.benchMarker = null;
    });
    const session = await page.createCDPSession();
    await session.send('HeapProfiler.collectGarbage');
    await session.detach();
    return grown.sort((a, b) => b[1] - a[1])[0][0];
}

// As soon as the DOM is there: a word typed, Lativo pressed, and the time
// at which the result shows.
function typeAndPressAtOnce() {
    document.addEventListener('DOMContentLoaded', () => {
        document.getElementById('source').value = 'Καλημέρα, θάλασσα!';
        document.getElementById('to-latin').click();
        const check = setInterval(() => {
            if (document.getElementById('result').value) {
                window.benchFirstResult = performance.now();
                clearInterval(check);
            }
        }, 1);
    });
}

async function firstConversion(browser, build) {
    const context = await browser.createBrowserContext();
    try {
        const times = [];
        for (let visit = 0; visit < 2; ++visit) {
            const page = await openPage(context, build.origin, typeAndPressAtOnce);
            await page.waitForFunction(() => window.benchFirstResult, { timeout: 30_000 });
            const [ms, loaded, result] = await page.evaluate(() => [window.benchFirstResult,
                performance.getEntriesByType('navigation')[0].domContentLoadedEventEnd,
                document.getElementById('result').value]);
            if (result !== 'Kalhmera, 8alassa!') {
                throw new Error(`${build.name}: the first conversion gave "${result}"`);
            }
            times.push({ ms, loaded });
            // A second visit finds what the first one cached.
            await page.evaluate(() => Promise.race([navigator.serviceWorker?.ready, new Promise((done) => setTimeout(done, 5000))]));
            await page.close();
        }
        return times;
    } finally {
        await context.close();
    }
}

const nativeMs = {};
const nativeCpu = {};          // mode → processor ms
const browserMs = new Map();   // build → mode → ms
const browserCpu = new Map();  // build → mode → processor ms of the page's renderer
const largeMs = new Map();     // build → mode → ms (file in, Blob out)
const modePeak = new Map();    // build → mode → MB
const memory = new Map();      // build → { rest, model, peak, ms }
try {
    // The first conversion, each build in turn, in fresh profiles.
    const browser = await launch();
    const first = new Map(builds.map((build) => [build, []]));
    try {
        for (let round = 0; round < rounds; ++round) {
            for (const build of builds) {
                first.get(build).push(await firstConversion(browser, build));
            }
        }
    } finally {
        await browser.close();
    }
    const firstOf = (visit, measure) => builds.map((build) => median(first.get(build).map((times) => measure(times[visit]))));
    report('first plain conversion after the page loads, first visit', firstOf(0, ({ ms, loaded }) => ms - loaded), 'ms', 200);
    report('  the same, second visit', firstOf(1, ({ ms, loaded }) => ms - loaded), 'ms', 200);
    report('  from the start of navigation, first visit', firstOf(0, ({ ms }) => ms), 'ms');
    report('  from the start of navigation, second visit', firstOf(1, ({ ms }) => ms), 'ms');

    // Speed, each mode: bivano, then the builds in turn.
    const speedBrowser = await launch();
    try {
        const pages = [];
        for (const build of builds) {
            const page = await openPage(speedBrowser, build.origin);
            await page.waitForSelector('body[data-ready]');
            const modelMs = await page.evaluate(async (files) => {
                const { LativoWorker } = await import('./client.js');
                window.benchWorker = new LativoWorker();
                await window.benchWorker.ready;
                window.benchTexts = {};
                for (const name of files) {
                    window.benchTexts[name] = await (await fetch(`texts/${name}`)).text();
                }
                const start = performance.now();
                await window.benchWorker.loadModel();
                return performance.now() - start;
            }, [...new Set(modes.map((mode) => mode.file))]);
            build.modelMs = modelMs;
            pages.push({ build, page, pid: await rendererOf(speedBrowser, page) });
            if (new Set(pages.map(({ pid }) => pid)).size < pages.length) {
                throw new Error('two builds\' pages share a renderer: their memory and processor time cannot be told apart');
            }
            browserMs.set(build, {});
            browserCpu.set(build, {});
            largeMs.set(build, {});
            modePeak.set(build, {});
        }
        // Round by round, bivano and each build in turn, so that a busy
        // machine weighs on all of them alike; the best of each counts.
        const speedRounds = 6;
        for (const mode of modes) {
            nativeMs[mode.name] = Infinity;
            for (const { build, page } of pages) {
                browserMs.get(build)[mode.name] = Infinity;
                modePeak.get(build)[mode.name] = 0;
                // Once to warm up.
                await page.evaluate((direction, file, options) => window.benchWorker.convert(direction, window.benchTexts[file], options).result
                    .then(() => undefined), mode.direction ?? 'latin', mode.file, mode.options);
                await page.evaluate(async (file) => {
                    window.benchBlob = await (await fetch(`texts/${file}`)).blob();
                }, mode.file);
            }
            for (let round = 0; round < speedRounds; ++round) {
                nativeMs[mode.name] = Math.min(nativeMs[mode.name], bestOf(1, () => {
                    const run = spawnSync('/usr/bin/time', ['-f', '%U %S', bivano, ...mode.args, '-o', join(scratch, 'out.txt'), join(texts, mode.file)]);
                    if (run.status !== 0) {
                        throw new Error(String(run.stderr));
                    }
                    const [user, system] = String(run.stderr).trim().split('\n').pop().split(' ').map(Number);
                    nativeCpu[mode.name] = Math.min(nativeCpu[mode.name] ?? Infinity, (user + system) * 1000);
                }));
                for (const { build, page, pid } of pages) {
                    const cpuBefore = cpuMs(pid);
                    let peak = 0;
                    const sampler = setInterval(() => {
                        peak = Math.max(peak, pss(pid));
                    }, 50);
                    const [ms] = await page.evaluate(async (direction, file, options) => {
                        const start = performance.now();
                        const result = await window.benchWorker.convert(direction, window.benchTexts[file], options).result;
                        const ms = performance.now() - start;
                        window.benchLength = result.length;
                        return [ms];
                    }, mode.direction ?? 'latin', mode.file, mode.options);
                    const cpu = cpuMs(pid) - cpuBefore;
                    const [large] = await page.evaluate(async (direction, options) => {
                        if (!window.benchWorker.convertLarge) {
                            return [undefined];
                        }
                        const start = performance.now();
                        await window.benchWorker.convertLarge(direction, window.benchBlob, options).result;
                        return [performance.now() - start];
                    }, mode.direction ?? 'latin', mode.options);
                    clearInterval(sampler);
                    browserMs.get(build)[mode.name] = Math.min(browserMs.get(build)[mode.name], ms);
                    browserCpu.get(build)[mode.name] = Math.min(browserCpu.get(build)[mode.name] ?? Infinity, cpu);
                    largeMs.get(build)[mode.name] = large === null ? undefined : Math.min(largeMs.get(build)[mode.name] ?? Infinity, large);
                    modePeak.get(build)[mode.name] = Math.max(modePeak.get(build)[mode.name], peak, pss(pid));
                }
            }
        }
    } finally {
        await speedBrowser.close();
    }
    report('model fetch, gunzip and load in the browser', builds.map((build) => build.modelMs), 'ms');
    for (const mode of modes) {
        const mb = readFileSync(join(texts, mode.file)).length / 1e6;
        report(`${mode.name}: bivano`, [mb / (nativeMs[mode.name] / 1000)], 'MB/s');
        report(`${mode.name}: browser, string in and out`, builds.map((build) => mb / (browserMs.get(build)[mode.name] / 1000)), 'MB/s');
        report(`${mode.name}: browser against bivano`, builds.map((build) => (100 * nativeMs[mode.name]) / browserMs.get(build)[mode.name]), '%', 50, 'higher');
        report(`${mode.name}: the same in processor time`, builds.map((build) => (100 * nativeCpu[mode.name]) / browserCpu.get(build)[mode.name]), '%');
        report(`${mode.name}: browser, file in, Blob out, against bivano`,
            builds.map((build) => largeMs.get(build)[mode.name] ? (100 * nativeMs[mode.name]) / largeMs.get(build)[mode.name] : undefined), '%');
        report(`${mode.name}: page's renderer at most`, builds.map((build) => modePeak.get(build)[mode.name]), 'MB');
    }

    // The page's memory as a user converts a 10 MB file with accents, each
    // build in a browser of its own.
    for (const build of builds) {
        const browser = await launch();
        try {
            const page = await openPage(browser, build.origin);
            await page.waitForSelector('body[data-ready]');
            const pid = await rendererOf(browser, page);
            await new Promise((done) => setTimeout(done, 1000));
            const rest = pss(pid);
            await page.click('input[name=spelling][value=accents]');
            await page.waitForFunction(() => /λεξικό είναι έτοιμο/.test(document.getElementById('status').textContent), { timeout: 120_000 });
            const model = pss(pid);
            let peak = 0;
            const sampler = setInterval(() => {
                peak = Math.max(peak, pss(pid));
            }, 50);
            const start = Date.now();
            const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#open')]);
            await chooser.accept([greeklishFile]);
            await page.waitForFunction(() => /Άνοιξε/.test(document.getElementById('status').textContent), { timeout: 120_000 });
            await page.click('#to-greek');
            await page.waitForFunction(() => /Έτοιμο/.test(document.getElementById('status').textContent), { timeout: 600_000, polling: 100 });
            clearInterval(sampler);
            memory.set(build, { rest, model, peak: Math.max(peak, pss(pid)), ms: Date.now() - start });
            if (shotsDir) {
                mkdirSync(shotsDir, { recursive: true });
                await page.screenshot({ path: join(shotsDir, `long-text-${builds.indexOf(build)}.png`), fullPage: true });
            }
        } finally {
            await browser.close();
        }
    }
    report('page at rest', builds.map((build) => memory.get(build).rest), 'MB');
    report('page with the model loaded', builds.map((build) => memory.get(build).model), 'MB');
    report('page at most, 10 MB file opened and given accents', builds.map((build) => memory.get(build).peak), 'MB', 200);
    report('  of which above the page with the model', builds.map((build) => memory.get(build).peak - memory.get(build).model), 'MB');
    report('  time to open and convert it', builds.map((build) => memory.get(build).ms), 'ms');
} finally {
    for (const server of servers) {
        process.kill(server.pid);
    }
    rmSync(scratch, { recursive: true, force: true });
}

const header = ['', ...builds.map((build) => build.name), 'budget', ''];
const table = [header, ...rows];
const widths = header.map((_, column) => Math.max(...table.map((row) => row[column].length)));
for (const row of table) {
    console.log(row.map((cell, column) => (column === 0 || column >= header.length - 2 ? cell.padEnd(widths[column]) : cell.padStart(widths[column]))).join('  ').trimEnd());
}
process.exit(missed ? 1 : 0);
