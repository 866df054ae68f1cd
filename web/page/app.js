// SPDX-License-Identifier: GPL-3.0-or-later
// The page: two boxes, "Lativo" and "Ελληνικά", the repair of text typed
// with the wrong keyboard layout and the automatic way, the options, files
// in and out, copy. Conversions run in the worker; short texts convert as one
// types, long ones on a button, with progress and a way to stop them.
// A long text is shown only in part: laying out millions of characters in
// a box would take the browser hundreds of megabytes. The whole of it is
// kept (an opened file as its File, a result as a Blob) for converting,
// saving and copying.
import { CancelledError, LativoWorker, MAX_TEXT_LENGTH, TooLongError, compileCore } from './client.js';

// Texts up to this length show whole and convert as one types; longer ones
// show their beginning and convert on a button.
const SHOWN_LENGTH = 100_000;
const LIVE_LENGTH = SHOWN_LENGTH;
const LIVE_DELAY_MS = 200;
// Larger files are refused, as the program refuses them.
const MAX_FILE_BYTES = 256 * 1024 * 1024;

const TEXTS = {
    el: {
        tagline: 'Αμφίδρομη μετάφραση Ελληνικών και Lativo κειμένων',
        file: 'Αρχείο',
        open: 'Άνοιγμα…',
        save: 'Αποθήκευση',
        saveEncoding: 'Κωδικοποίηση αποθήκευσης',
        clear: 'Κλείσιμο',
        source: 'Πρότυπο Κείμενο:',
        result: 'Μετατροπή:',
        toGreek: 'Ελληνικά',
        fixLayout: 'Διόρθωση διάταξης',
        auto: 'Αυτόματα',
        fixLayoutHint: 'Κείμενο γραμμένο με λάθος πληκτρολόγιο: Kalhm;era → Καλημέρα, ηελλο → hello.',
        autoHint: 'Κάθε παράγραφος ανάποδα: τα Ελληνικά σε Lativo, τα Greeklish σε Ελληνικά με τόνους.',
        copy: 'Αντιγραφή',
        converting: 'Μετατροπή',
        cancel: 'Ακύρωση',
        modelLoading: 'Λεξικό για τους τόνους',
        options: 'Επιλογές',
        scheme: 'Πρότυπο',
        elot: 'ΕΛΟΤ 743',
        greekFrame: 'Ελληνικά',
        asWritten: 'Όπως γράφτηκαν',
        accents: 'Με τόνους και ορθογραφία',
        chat: 'Και οι συντομογραφίες του chat (k, gt, tpt)',
        privacy: 'Η μετατροπή γίνεται μέσα στη σελίδα: τίποτα απ’ όσα γράφετε δεν στέλνεται πουθενά.',
        languageButton: 'EN',
        languageLabel: 'English version',
        progress: (percent) => `Μετατροπή… ${percent}%`,
        done: 'Έτοιμο.',
        cancelled: 'Η μετατροπή σταμάτησε.',
        tooLong: (length) => `Το κείμενο έχει ${length.toLocaleString('el')} χαρακτήρες· μετατρέπονται έως ${MAX_TEXT_LENGTH.toLocaleString('el')}.`,
        opened: (name, encoding) => `Άνοιξε το «${name}» (${encoding}).`,
        notText: (name) => `Το «${name}» δεν είναι αρχείο κειμένου.`,
        tooBig: (name) => `Το «${name}» είναι μεγαλύτερο από 256 MiB.`,
        unreadable: (name) => `Το «${name}» δεν διαβάζεται.`,
        saved: (name, encoding) => `Αποθηκεύτηκε ως «${name}» (${encoding}).`,
        notEncodable: (line, column, code) => `Ο χαρακτήρας U+${code} (γραμμή ${line}, στήλη ${column}) δεν γράφεται σε Windows-1253· αποθηκεύστε σε UTF-8.`,
        nothingToSave: 'Δεν υπάρχει μετατροπή για αποθήκευση.',
        copied: 'Η μετατροπή αντιγράφηκε.',
        copyFailed: 'Η αντιγραφή δεν έγινε.',
        modelFetching: 'Λήψη του λεξικού για τους τόνους…',
        modelReady: 'Το λεξικό είναι έτοιμο.',
        modelFailed: 'Το λεξικό δεν φορτώθηκε (δίκτυο ή κατεστραμμένο αρχείο): τα Ελληνικά γράφονται χωρίς τόνους.',
        modelMissing: 'Αυτή η έκδοση δεν έχει λεξικό: τα Ελληνικά γράφονται χωρίς τόνους.',
        wordsFailed: 'Το λεξικό δεν φορτώθηκε (δίκτυο ή κατεστραμμένο αρχείο): χωρίς αυτό καμία λέξη δεν κρίνεται, το κείμενο μένει όπως είναι.',
        wordsMissing: 'Αυτή η έκδοση δεν έχει λεξικό: χωρίς αυτό καμία λέξη δεν κρίνεται, το κείμενο μένει όπως είναι.',
        failed: (message) => `Η μετατροπή απέτυχε: ${message}`,
        sourceShown: (shown, length) => `Φαίνονται οι πρώτοι ${shown.toLocaleString('el')} από τους ${length.toLocaleString('el')} χαρακτήρες του κειμένου· μετατρέπεται ολόκληρο. «Κλείσιμο» για νέο κείμενο.`,
        resultShown: (shown, length) => `Φαίνονται οι πρώτοι ${shown.toLocaleString('el')} από τους ${length.toLocaleString('el')} χαρακτήρες· η Αποθήκευση και η Αντιγραφή δίνουν ολόκληρη τη μετατροπή.`,
    },
    en: {
        tagline: 'Two-way conversion of Greek texts and Greek in Latin letters',
        file: 'File',
        open: 'Open…',
        save: 'Save',
        saveEncoding: 'Encoding to save in',
        clear: 'Clear',
        source: 'Source text:',
        result: 'Converted:',
        toGreek: 'Greek',
        fixLayout: 'Fix layout',
        auto: 'Auto',
        fixLayoutHint: 'Text typed with the wrong keyboard layout: Kalhm;era → Καλημέρα, ηελλο → hello.',
        autoHint: 'Each paragraph the other way: Greek to Lativo, Greeklish to Greek with accents.',
        copy: 'Copy',
        converting: 'Converting',
        cancel: 'Cancel',
        modelLoading: 'Dictionary for accents',
        options: 'Options',
        scheme: 'Scheme',
        elot: 'ELOT 743',
        greekFrame: 'Greek',
        asWritten: 'As typed',
        accents: 'With accents and correct spelling',
        chat: 'Also the chat shorthand (k, gt, tpt)',
        privacy: 'Conversion happens inside this page: nothing you type is sent anywhere.',
        languageButton: 'ΕΛ',
        languageLabel: 'Ελληνική έκδοση',
        progress: (percent) => `Converting… ${percent}%`,
        done: 'Done.',
        cancelled: 'Conversion stopped.',
        tooLong: (length) => `The text has ${length.toLocaleString('en')} characters; at most ${MAX_TEXT_LENGTH.toLocaleString('en')} can be converted.`,
        opened: (name, encoding) => `Opened “${name}” (${encoding}).`,
        notText: (name) => `“${name}” is not a text file.`,
        tooBig: (name) => `“${name}” is larger than 256 MiB.`,
        unreadable: (name) => `“${name}” cannot be read.`,
        saved: (name, encoding) => `Saved as “${name}” (${encoding}).`,
        notEncodable: (line, column, code) => `Character U+${code} (line ${line}, column ${column}) cannot be written in Windows-1253; save as UTF-8.`,
        nothingToSave: 'There is no conversion to save.',
        copied: 'Conversion copied.',
        copyFailed: 'Could not copy.',
        modelFetching: 'Fetching the dictionary for accents…',
        modelReady: 'The dictionary is ready.',
        modelFailed: 'The dictionary could not be loaded (network or damaged file): Greek is written without accents.',
        modelMissing: 'This build has no dictionary: Greek is written without accents.',
        wordsFailed: 'The dictionary could not be loaded (network or damaged file): without it no word can be judged, the text stays as it is.',
        wordsMissing: 'This build has no dictionary: without it no word can be judged, the text stays as it is.',
        failed: (message) => `Conversion failed: ${message}`,
        sourceShown: (shown, length) => `Showing the first ${shown.toLocaleString('en')} of the text's ${length.toLocaleString('en')} characters; all of it is converted. “Clear” for a new text.`,
        resultShown: (shown, length) => `Showing the first ${shown.toLocaleString('en')} of ${length.toLocaleString('en')} characters; Save and Copy give the whole conversion.`,
    },
};

const $ = (id) => document.getElementById(id);
const ui = {
    source: $('source'),
    sourceNote: $('source-note'),
    result: $('result'),
    resultNote: $('result-note'),
    toLatin: $('to-latin'),
    toGreek: $('to-greek'),
    fixLayout: $('fix-layout'),
    auto: $('auto'),
    copy: $('copy'),
    open: $('open'),
    fileInput: $('file-input'),
    save: $('save'),
    saveEncoding: $('save-encoding'),
    clear: $('clear'),
    progressRow: $('progress-row'),
    progress: $('progress'),
    cancel: $('cancel'),
    modelRow: $('model-row'),
    modelProgress: $('model-progress'),
    status: $('status'),
    chat: $('chat'),
    language: $('language'),
};

const state = {
    language: 'el',
    direction: null,    // the last button pressed: 'latin', 'greek', 'layout' or 'auto'
    sourceText: null,   // an opened file's text exactly (the box shows its CR LF as LF)
    longSource: null,   // a text shown in part: { file } or { text }, and its length
    sourceName: null,
    result: { text: '' },  // the result exactly, CR LF and all: { text } or, long, { text: its beginning, length, blob }
    run: null,          // the conversion under way
    liveTimer: 0,
    requests: 0,        // conversions asked for, the last one counting
    model: 'none',      // none, loading, ready, failed, missing
};

// The core, compiled since the page's head (boot.js), or from here.
const core = self.lativoBoot?.core ?? compileCore();
const lativo = new LativoWorker(undefined, { core });

// Short plain conversions run here, on the page's thread, over the core
// compiled for the worker: the first result does not wait for the worker
// to start, and typing has its result at once. Everything else (long
// texts, accents, layout, auto, files) is the worker's.
let here = null;
globalThis[Symbol.for('lativo-bivano.compiled-core')] = core;
const hereReady = import('./lativo.js').then((module) => {
    here = module;
}, () => {});

function t(key, ...args) {
    const text = TEXTS[state.language][key];
    return typeof text === 'function' ? text(...args) : text;
}

function say(message, problem = false) {
    ui.status.textContent = message;
    ui.status.classList.toggle('problem', problem);
}

function chooseLanguage(language) {
    state.language = language;
    document.documentElement.lang = language;
    for (const element of document.querySelectorAll('[data-text]')) {
        element.textContent = t(element.dataset.text);
    }
    showNotes();
    ui.language.textContent = t('languageButton');
    ui.language.lang = language === 'el' ? 'en' : 'el';
    ui.language.setAttribute('aria-label', t('languageLabel'));
}

// Greek unless the browser puts English before Greek.
function browserLanguage() {
    for (const language of navigator.languages ?? [navigator.language]) {
        if (/^el\b/i.test(language)) {
            return 'el';
        }
        if (/^en\b/i.test(language)) {
            return 'en';
        }
    }
    return 'el';
}

function chosen(name) {
    return document.querySelector(`input[name="${name}"]:checked`).value;
}

function accentsWanted() {
    return chosen('spelling') === 'accents';
}

function sourceText() {
    return state.sourceText ?? ui.source.value;
}

function sourceLength() {
    return state.longSource?.length ?? sourceText().length;
}

// Under a box shown in part, how much of it shows.
function showNotes() {
    const notes = [
        [ui.sourceNote, 'sourceShown', state.longSource?.length],
        [ui.resultNote, 'resultShown', state.result.length ?? state.result.text.length],
    ];
    for (const [note, key, length] of notes) {
        note.hidden = !(length > SHOWN_LENGTH);
        note.textContent = note.hidden ? '' : t(key, SHOWN_LENGTH, length);
    }
}

// The beginning of a long text, marked as such.
function beginning(text) {
    let end = Math.min(text.length, SHOWN_LENGTH);
    if (end < text.length && /[\uD800-\uDBFF]/.test(text[end - 1])) {
        --end;  // not half a pair
    }
    return `${text.slice(0, end)}…`;
}

// A text past SHOWN_LENGTH becomes the source: its beginning shows, and
// the box takes no typing until it is cleared.
function useLongSource(source, shownText) {
    cancelRun();
    state.longSource = source;
    state.sourceText = null;
    ui.source.value = beginning(shownText);
    ui.source.readOnly = true;
    showNotes();
}

// layout and auto judge the words by the model: without it, nothing.
function judgesWords(direction) {
    return direction === 'layout' || direction === 'auto';
}

function options(direction, withAccents) {
    const latin = { scheme: chosen('scheme'), xi: chosen('xi'), theta: chosen('theta'), psi: chosen('psi'), omega: chosen('omega') };
    if (direction === 'latin') {
        return latin;
    }
    if (direction === 'layout') {
        return {};
    }
    if (direction === 'auto') {
        return { ...latin, chat: accentsWanted() && ui.chat.checked };
    }
    return withAccents ? { accents: true, chat: ui.chat.checked } : {};
}

// A result: a string, or a long one's { text: beginning, length, blob }.
function showResult(result) {
    state.result = typeof result === 'string' ? { text: result } : result;
    const length = state.result.length ?? state.result.text.length;
    ui.result.value = length > SHOWN_LENGTH ? beginning(state.result.text) : state.result.text;
    showNotes();
}

function cancelRun() {
    if (state.run) {
        state.run.cancel();
        state.run = null;
    }
    ui.progressRow.hidden = true;
}

// Converts the source with the last direction chosen. Accents wait for the
// model; until it is there, the plain conversion shows.
async function convert({ live = false } = {}) {
    const direction = state.direction;
    if (!direction) {
        return;
    }
    const request = ++state.requests;
    if (!here && lativo.hasModel === undefined) {
        // Just opened: whichever core is up first converts.
        await Promise.race([hereReady, lativo.ready.catch(() => {})]);
        if (request !== state.requests) {
            return;  // a later request took over
        }
    }
    const length = sourceLength();
    if (length > MAX_TEXT_LENGTH) {
        cancelRun();
        say(t('tooLong', length), true);
        return;
    }
    if (judgesWords(direction) && state.model !== 'ready') {
        cancelRun();
        if (state.model === 'failed' || state.model === 'missing') {
            // The text as it is, and why, said once.
            showUnjudged();
            const why = t(state.model === 'missing' ? 'wordsMissing' : 'wordsFailed');
            if (ui.status.textContent !== why) {
                say(why, true);
            }
        } else {
            requestModel();  // converts when the model is in
        }
        return;
    }
    let withAccents = direction === 'greek' && accentsWanted() && state.model !== 'failed' && state.model !== 'missing';
    if (withAccents && state.model !== 'ready') {
        requestModel();
        withAccents = false;  // the accented text follows when the model is in
    }
    cancelRun();
    if (here && state.longSource === null && length <= LIVE_LENGTH && (direction === 'latin' || (direction === 'greek' && !withAccents))) {
        try {
            const text = sourceText();
            showResult(direction === 'latin' ? here.toLatin(text, options(direction, false)) : here.toGreek(text));
            if (!live) {
                say(t('done'));
            }
        } catch (error) {
            say(t('failed', error.message), true);
        }
        return;
    }
    const long = state.longSource !== null || length > LIVE_LENGTH;
    const onProgress = (done, total) => {
        if (long && state.run === run) {
            ui.progress.value = total ? done / total : 1;
            say(t('progress', total ? Math.floor((100 * done) / total) : 100));
        }
    };
    const chosen = options(direction, withAccents);
    const run = state.longSource
        ? lativo.convertLarge(direction, state.longSource.file ?? state.longSource.text, chosen, onProgress, { shown: SHOWN_LENGTH })
        : lativo.convert(direction, sourceText(), chosen, onProgress);
    state.run = run;
    if (long) {
        ui.progress.value = 0;
        ui.progressRow.hidden = false;
    }
    try {
        const result = await run.result;
        if (state.run !== run) {
            return;
        }
        showResult(result);
        if (long || !live) {
            say(t('done'));
        }
    } catch (error) {
        if (error instanceof CancelledError) {
            if (state.run === null) {
                say(t('cancelled'));
            }
            return;
        }
        if (state.run === run) {
            say(error instanceof TooLongError ? t('tooLong', error.length) : t('failed', error.message), true);
        }
    } finally {
        if (state.run === run) {
            state.run = null;
            ui.progressRow.hidden = true;
        }
    }
}

function requestModel() {
    if (state.model === 'loading' || state.model === 'ready') {
        return;
    }
    if (lativo.hasModel === false) {
        if (state.model !== 'missing') {
            state.model = 'missing';
            modelUnavailable('missing');
        }
        return;
    }
    state.model = 'loading';
    ui.modelProgress.removeAttribute('value');
    ui.modelRow.hidden = false;
    say(t('modelFetching'));
    lativo.loadModel().catch(() => {});  // the outcome arrives through onModel
}

lativo.onModel((news) => {
    switch (news.type) {
        case 'modelProgress':
            ui.modelProgress.value = news.total ? Math.min(1, news.received / news.total) : 0;
            break;
        case 'modelReady':
            state.model = 'ready';
            ui.modelRow.hidden = true;
            say(t('modelReady'));
            if ((state.direction === 'greek' && accentsWanted()) || judgesWords(state.direction)) {
                convert({ live: true });  // the news stays on show
            }
            break;
        case 'modelFailed':
            // Said once; choosing the accents again tries again.
            state.model = news.reason === 'missing' ? 'missing' : 'failed';
            ui.modelRow.hidden = true;
            modelUnavailable(news.reason);
            break;
        default:
            break;
    }
});

// Without the model, layout and auto leave the text as it is: the source
// shows as the result (a long one only where its whole is at hand).
function showUnjudged() {
    if (state.longSource?.text !== undefined) {
        const { text } = state.longSource;
        showResult({ text: text.slice(0, SHOWN_LENGTH), length: text.length, blob: new Blob([text]) });
    } else {
        showResult(state.longSource ? '' : sourceText());
    }
}

// What the model's absence costs: the accents, or for layout and auto the
// whole conversion, whose text then stays as it is.
function modelUnavailable(reason) {
    const missing = reason === 'missing';
    if (judgesWords(state.direction)) {
        cancelRun();
        showUnjudged();
        say(t(missing ? 'wordsMissing' : 'wordsFailed'), true);
    } else {
        say(t(missing ? 'modelMissing' : 'modelFailed'), true);
    }
}

function press(direction) {
    state.direction = direction;
    ui.toLatin.setAttribute('aria-pressed', String(direction === 'latin'));
    ui.toGreek.setAttribute('aria-pressed', String(direction === 'greek'));
    ui.fixLayout.setAttribute('aria-pressed', String(direction === 'layout'));
    ui.auto.setAttribute('aria-pressed', String(direction === 'auto'));
    clearTimeout(state.liveTimer);
    if (judgesWords(direction) && state.model === 'failed') {
        state.model = 'none';  // pressed again: try again
    }
    convert();
}

function convertSoon() {
    clearTimeout(state.liveTimer);
    if (!state.direction || state.longSource || sourceText().length > LIVE_LENGTH) {
        return;
    }
    state.liveTimer = setTimeout(() => convert({ live: true }), LIVE_DELAY_MS);
}

async function openFile(file) {
    if (!file) {
        return;
    }
    if (file.size > MAX_FILE_BYTES) {
        say(t('tooBig', file.name), true);
        return;
    }
    let opened;
    try {
        opened = await lativo.open(file, { shown: SHOWN_LENGTH });
    } catch {
        say(t('unreadable', file.name), true);
        return;
    }
    if (opened.notText) {
        say(t('notText', file.name), true);
        return;
    }
    if (opened.tooLong) {
        say(t('tooLong', opened.length), true);
        return;
    }
    cancelRun();
    if (opened.whole) {
        state.longSource = null;
        state.sourceText = opened.text;
        ui.source.readOnly = false;
        ui.source.value = opened.text;
        showNotes();
    } else {
        // Read again from the file whenever it is converted.
        useLongSource({ file, length: opened.length }, opened.text);
    }
    state.sourceName = file.name;
    say(t('opened', file.name, opened.encoding.toUpperCase().replace('WINDOWS', 'Windows')));
    if (state.direction) {
        convert({ live: true });  // the file's name and encoding stay on show
    }
}

function saveName() {
    const base = (state.sourceName ?? 'lativo').replace(/\.[^.]*$/, '');
    const suffix = { greek: 'greek', layout: 'layout', auto: 'auto' }[state.direction] ?? 'latin';
    return `${base}-${suffix}.txt`;
}

function resultLength() {
    return state.result.length ?? state.result.text.length;
}

// The bytes Save writes, as the program saves: the text and one line break.
async function savedBytes(encoding) {
    if (state.result.blob) {
        if (encoding === 'utf-8') {
            return { blob: new Blob([state.result.blob, '\r\n']) };
        }
        return lativo.encodeBlob(state.result.blob, encoding, '\r\n');
    }
    const reply = await lativo.encode(`${state.result.text}\r\n`, encoding);
    return reply.type === 'encoded' ? { blob: new Blob([reply.bytes]) } : reply;
}

async function save() {
    if (resultLength() === 0) {
        say(t('nothingToSave'), true);
        return;
    }
    const encoding = ui.saveEncoding.value;
    const reply = await savedBytes(encoding);
    if (reply.type === 'notEncodable') {
        say(t('notEncodable', reply.line, reply.column, reply.character.toString(16).toUpperCase().padStart(4, '0')), true);
        return;
    }
    const name = saveName();
    const blob = new Blob([reply.blob], { type: `text/plain;charset=${encoding}` });
    const url = URL.createObjectURL(blob);
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60_000);
    say(t('saved', name, encoding === 'utf-8' ? 'UTF-8' : 'Windows-1253'));
}

// The last way to copy: the whole text selected in a box of its own.
function copyBySelection(text) {
    const box = document.createElement('textarea');
    box.value = text;
    box.setAttribute('readonly', '');
    box.className = 'visually-hidden';
    document.body.append(box);
    box.select();
    const copied = document.execCommand('copy');
    box.remove();
    ui.result.focus();
    return copied;
}

async function copyText(text) {
    try {
        await navigator.clipboard.writeText(text);
        return true;
    } catch {
        return copyBySelection(text);
    }
}

// As the program copies: with LF line breaks, as Linux programs expect.
// A long result goes to the clipboard from its Blob, never whole as a string
// unless the browser can take nothing else.
async function copy() {
    const { blob } = state.result;
    let copied = false;
    if (blob) {
        const text = lativo.withLineFeeds(blob);
        try {
            await navigator.clipboard.write([new ClipboardItem({ 'text/plain': text })]);
            copied = true;
        } catch {
            copied = await copyText(await (await text).text());
        }
    } else {
        copied = await copyText(state.result.text.replace(/\r\n/g, '\n'));
    }
    say(copied ? t('copied') : t('copyFailed'), !copied);
}

function clearBoxes() {
    cancelRun();
    state.sourceText = null;
    state.longSource = null;
    state.sourceName = null;
    ui.source.readOnly = false;
    ui.source.value = '';
    showResult('');
    say('');
}

ui.toLatin.addEventListener('click', () => press('latin'));
ui.toGreek.addEventListener('click', () => press('greek'));
ui.fixLayout.addEventListener('click', () => press('layout'));
ui.auto.addEventListener('click', () => press('auto'));
ui.copy.addEventListener('click', copy);
ui.cancel.addEventListener('click', () => {
    cancelRun();
    say(t('cancelled'));
});
ui.open.addEventListener('click', () => ui.fileInput.click());
ui.fileInput.addEventListener('change', () => {
    openFile(ui.fileInput.files[0]);
    ui.fileInput.value = '';
});
ui.save.addEventListener('click', save);
ui.clear.addEventListener('click', clearBoxes);
ui.source.addEventListener('input', () => {
    state.sourceText = null;  // typed over: the box holds the text now
    if (ui.source.value.length > SHOWN_LENGTH) {
        // Dropped or typed past the bound: kept whole, shown in part.
        const text = ui.source.value;
        useLongSource({ text, length: text.length }, text);
        return;
    }
    convertSoon();
});
// A long text pasted goes straight into the source, never whole into the box.
ui.source.addEventListener('paste', (event) => {
    const pasted = event.clipboardData?.getData('text/plain') ?? '';
    const box = ui.source;
    if (box.readOnly || box.value.length - (box.selectionEnd - box.selectionStart) + pasted.length <= SHOWN_LENGTH) {
        return;
    }
    event.preventDefault();
    state.sourceText = null;
    const text = box.value.slice(0, box.selectionStart) + pasted.replace(/\r\n?/g, '\n') + box.value.slice(box.selectionEnd);
    useLongSource({ text, length: text.length }, text);
});
ui.language.addEventListener('click', () => chooseLanguage(state.language === 'el' ? 'en' : 'el'));
for (const input of document.querySelectorAll('.options input')) {
    input.addEventListener('change', () => {
        ui.chat.disabled = !accentsWanted();
        if (input.name === 'spelling' && accentsWanted()) {
            if (state.model === 'failed') {
                state.model = 'none';  // asked again: try again
            }
            requestModel();
        }
        // The Latin choices steer auto's Greek lines, the chat its Greeklish ones.
        const steered = input.name === 'spelling' || input.id === 'chat' ? ['greek', 'auto'] : ['latin', 'auto'];
        if (steered.includes(state.direction)) {
            convertSoon();
        }
    });
}

// A file dropped anywhere on the page opens into the source box.
document.addEventListener('dragover', (event) => {
    if (event.dataTransfer?.types.includes('Files')) {
        event.preventDefault();
        document.body.classList.add('dragging');
    }
});
document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
document.addEventListener('drop', (event) => {
    document.body.classList.remove('dragging');
    if (event.dataTransfer?.files.length) {
        event.preventDefault();
        openFile(event.dataTransfer.files[0]);
    }
});

chooseLanguage(browserLanguage());
ui.chat.disabled = !accentsWanted();
lativo.ready.then(() => document.body.setAttribute('data-ready', ''));

// Once the worker is up, so that the first visit's caching does not hold
// up its start.
lativo.ready.then(() => {
    if ('serviceWorker' in navigator) {
        navigator.serviceWorker.register('sw.js').catch(() => {});  // works online all the same
    }
});
