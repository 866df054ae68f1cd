// SPDX-License-Identifier: GPL-3.0-or-later
// The page: two boxes, "Lativo" and "Ελληνικά", the repair of text typed
// with the wrong keyboard layout and the automatic way, the options, files
// in and out, copy. Conversions run in the worker; short texts convert as one
// types, long ones on a button, with progress and a way to stop them.
import { CancelledError, LativoWorker, MAX_TEXT_LENGTH, TooLongError } from './client.js';

// Texts up to this length convert as one types.
const LIVE_LENGTH = 100_000;
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
    },
};

const $ = (id) => document.getElementById(id);
const ui = {
    source: $('source'),
    result: $('result'),
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
    sourceName: null,
    resultText: '',     // the result exactly, CR LF and all, for Save
    run: null,          // the conversion under way
    liveTimer: 0,
    model: 'none',      // none, loading, ready, failed, missing
};

const lativo = new LativoWorker();

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

function showResult(text) {
    state.resultText = text;
    ui.result.value = text;
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
    const text = sourceText();
    if (text.length > MAX_TEXT_LENGTH) {
        cancelRun();
        say(t('tooLong', text.length), true);
        return;
    }
    if (judgesWords(direction) && state.model !== 'ready') {
        cancelRun();
        if (state.model === 'failed' || state.model === 'missing') {
            // The text as it is, and why, said once.
            showResult(text);
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
    const long = text.length > LIVE_LENGTH;
    const run = lativo.convert(direction, text, options(direction, withAccents), (done, total) => {
        if (long && state.run === run) {
            ui.progress.value = done / total;
            say(t('progress', Math.floor((100 * done) / total)));
        }
    });
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
            say(error instanceof TooLongError ? t('tooLong', text.length) : t('failed', error.message), true);
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

// What the model's absence costs: the accents, or for layout and auto the
// whole conversion, whose text then stays as it is.
function modelUnavailable(reason) {
    const missing = reason === 'missing';
    if (judgesWords(state.direction)) {
        cancelRun();
        showResult(sourceText());
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
    if (!state.direction || sourceText().length > LIVE_LENGTH) {
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
    let decoded;
    try {
        decoded = await lativo.decode(await file.arrayBuffer());
    } catch {
        say(t('unreadable', file.name), true);
        return;
    }
    // Text has no NUL in it; a program's or a picture's bytes do.
    if (decoded.text.includes('\0')) {
        say(t('notText', file.name), true);
        return;
    }
    if (decoded.text.length > MAX_TEXT_LENGTH) {
        say(t('tooLong', decoded.text.length), true);
        return;
    }
    cancelRun();
    state.sourceText = decoded.text;
    state.sourceName = file.name;
    ui.source.value = decoded.text;
    say(t('opened', file.name, decoded.encoding.toUpperCase().replace('WINDOWS', 'Windows')));
    if (state.direction) {
        convert({ live: true });  // the file's name and encoding stay on show
    }
}

function saveName() {
    const base = (state.sourceName ?? 'lativo').replace(/\.[^.]*$/, '');
    const suffix = { greek: 'greek', layout: 'layout', auto: 'auto' }[state.direction] ?? 'latin';
    return `${base}-${suffix}.txt`;
}

async function save() {
    if (!state.resultText) {
        say(t('nothingToSave'), true);
        return;
    }
    const encoding = ui.saveEncoding.value;
    // As the program saves: the text and one line break.
    const reply = await lativo.encode(`${state.resultText}\r\n`, encoding);
    if (reply.type === 'notEncodable') {
        say(t('notEncodable', reply.line, reply.column, reply.character.toString(16).toUpperCase().padStart(4, '0')), true);
        return;
    }
    const name = saveName();
    const url = URL.createObjectURL(new Blob([reply.bytes], { type: `text/plain;charset=${encoding}` }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60_000);
    say(t('saved', name, encoding === 'utf-8' ? 'UTF-8' : 'Windows-1253'));
}

async function copy() {
    // As the program copies: with LF line breaks, as Linux programs expect.
    const text = state.resultText.replace(/\r\n/g, '\n');
    try {
        await navigator.clipboard.writeText(text);
        say(t('copied'));
    } catch {
        ui.result.select();
        const copied = document.execCommand('copy');
        say(copied ? t('copied') : t('copyFailed'), !copied);
    }
}

function clearBoxes() {
    cancelRun();
    state.sourceText = null;
    state.sourceName = null;
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
    convertSoon();
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

if ('serviceWorker' in navigator) {
    navigator.serviceWorker.register('sw.js').catch(() => {});  // works online all the same
}
