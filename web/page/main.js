// The page: the design form, the summary, the chart and its views, and the files, over the
// engine in WebAssembly. The design lives in the address (a link opens it) and the last one in
// localStorage.
import {DesignFromHash, HashOfDesign, RequestOfDesign, StartDesign} from './address.js';
import {DrawChart, PngBlob, SvgText} from './chart.js';
import {LoadEngine} from './engine.js';
import {SeparatorOf} from './numbers.js';
import {Languages, Responses, Topologies, Words} from './texts.js';
import {AttenuationFloor, CurveOfView, DelayScale, SpanOfView, ViewOf, Views} from './views.js';

const $ = (id) => document.getElementById(id);
const fieldIds = ['fo', 'ld', 'cs', 'rd', 'ck', 'df', 'level'];
const separator = SeparatorOf(navigator.language);
let engine = null;
let lang = 'ru';
let shownPoints = [];
let shownAxes = null;
let view = 'passBand';
// The design last calculated, and what the files take from it.
let shownRequest = null, shownFoHz = 0, shownResult = null;
// The file last opened: its name without the extension, its kind and its bytes, whose reserved
// lines (.fdn) or crystals, rounding and tuning (.feldan) a save keeps.
let opened = {stem: 'feldan', kind: null, bytes: null, beyondDesign: false};

// localStorage may be shut (a file:// page, a private window): the page works without it.
const Stored = {
    get: (key) => { try { return localStorage.getItem(key); } catch { return null; } },
    set: (key, value) => { try { localStorage.setItem(key, value); } catch { /* kept nowhere */ } },
};

function StartLanguage() {
    const stored = Stored.get('feldan.lang');
    if (Languages.includes(stored)) return stored;
    return (navigator.language || '').toLowerCase().startsWith('ru') ? 'ru' : 'en';
}

function FillLists() {
    $('topology').replaceChildren(...Topologies.map(({topology, order}) =>
        new Option('', `${topology}:${order}`)));
    $('response').replaceChildren(...Responses.map(({name}) => new Option('', name)));
    $('view').replaceChildren(...Views.map(({name}) => new Option('', name)));
}

function ApplyWords() {
    const words = Words[lang];
    document.documentElement.lang = lang;
    document.title = words.title;
    for (const element of document.querySelectorAll('[data-word]')) {
        element.textContent = words[element.dataset.word];
    }
    [...$('topology').options].forEach((option, i) => { option.text = Topologies[i][lang]; });
    [...$('response').options].forEach((option, i) => { option.text = Responses[i][lang]; });
    [...$('view').options].forEach((option, i) => { option.text = words[Views[i].name]; });
    for (const button of document.querySelectorAll('[data-lang]')) {
        button.setAttribute('aria-pressed', String(button.dataset.lang === lang));
    }
}

// The form's state follows the design: Ck only for a CW ladder, the ripple only for the
// Chebyshev of any ripple.
function ShowDependent() {
    $('ck').disabled = !$('topology').value.startsWith('cw:');
    $('ripple-row').hidden = $('response').value !== 'chebyshev';
}

function ShowDesign(design) {
    for (const id of fieldIds) $(id).value = design[id];
    $('topology').value = `${design.topology}:${design.order}`;
    const any = design.response.startsWith('chebyshev:');
    $('response').value = any ? 'chebyshev' : design.response;
    if (any) $('ripple').value = design.response.slice('chebyshev:'.length);
    $('exact').checked = design.exact;
    ShowDependent();
}

function ReadDesign() {
    const design = {};
    for (const id of fieldIds) design[id] = $(id).value.trim();
    const [topology, order] = $('topology').value.split(':');
    design.topology = topology;
    design.order = Number(order);
    const response = $('response').value;
    design.response = response === 'chebyshev' ? `chebyshev:${$('ripple').value.trim()}` : response;
    design.exact = $('exact').checked;
    return design;
}

function DrawShown() {
    const box = $('chart-box');
    const width = Math.max(280, Math.floor(box.clientWidth));
    const height = Math.round(Math.min(420, Math.max(240, width * 0.55)));
    DrawChart($('chart'), $('readout'), shownPoints, shownAxes ?? {}, separator, width, height);
    $('no-curve').hidden = shownPoints.length > 1 || !engine;
    $('chart-box').dataset.view = view;
}

// The span of the view on show over the design shown (the default span for the pass band).
function ViewSpan() {
    if (view !== 'wideBand') return {};
    // The default span's ends are those of any count of its points.
    return SpanOfView(view, engine.sweep(shownRequest, {points: 2}), shownFoHz);
}

// The curve and the axes of the view on show, from the calculation `result` of the design.
function ShowView(result) {
    const words = Words[lang];
    const detuning = {xTitle: words.xAxis, xUnit: words.kHz};
    shownPoints = [];
    if (!result.resultText) {
        shownAxes = null;
    } else if (view === 'passBand') {
        shownPoints = engine.curve(shownRequest);
        if (!Array.isArray(shownPoints)) shownPoints = [];
        shownAxes = {...detuning, yTitle: words.yAxis, yUnit: words.dB};
    } else {
        const chosen = ViewOf(view);
        const sweep = engine.sweep(shownRequest, ViewSpan());
        if (sweep.points) shownPoints = CurveOfView(chosen, sweep, shownFoHz);
        shownAxes = {...detuning, yTitle: words[`${view}Axis`], yUnit: words.dB};
        if (chosen.floorsAtDepth) shownAxes.yFloor = AttenuationFloor(shownPoints.map(([, y]) => y));
        if (view === 'groupDelay') {
            const scale = DelayScale(shownPoints);
            shownPoints = shownPoints.map(([x, y]) => [x, y === null ? null : y * scale.factor]);
            shownAxes.yUnit = words[scale.unit];
            if (scale.unit === 'ms') shownAxes.yTitle = words.groupDelayAxisMs;
        }
    }
    DrawShown();
}

function Calculate() {
    if (!engine) return;
    const design = ReadDesign();
    const hash = HashOfDesign(design);
    if (location.hash !== hash) history.replaceState(null, '', hash);
    Stored.set('feldan.design', hash);
    const request = RequestOfDesign(design, lang, separator);
    const result = engine.calculate(request);
    // A refused design shows why instead of the summary; a warning beside a summary goes under it.
    const summary = result.error ?? result.resultText ?? result.message ?? '';
    $('summary').textContent = summary;
    $('summary').classList.toggle('refused', !result.resultText);
    const note = result.resultText ? (result.message ?? result.caution ?? '') : '';
    $('message').textContent = note;
    $('message').hidden = !note;
    shownRequest = request;
    shownResult = result;
    shownFoHz = (result.FoKHz ?? 0) * 1000;
    for (const id of ['export-s2p', 'export-ngspice', 'export-ltspice', 'export-csv', 'export-png', 'export-svg']) {
        $(id).disabled = !result.resultText;
    }
    ShowView(result);
}

// Offers `bytes` to the browser as a download named `name`.
function Download(bytes, name, type) {
    const url = URL.createObjectURL(bytes instanceof Blob ? bytes : new Blob([bytes], {type}));
    const link = Object.assign(document.createElement('a'), {href: url, download: name});
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 1000);
}

// A file's refusal or a note about it, under the file bar; nothing hides it.
function ShowFileMessage(text, note = false) {
    $('file-message').textContent = text ?? '';
    $('file-message').hidden = !text;
    $('file-message').classList.toggle('note', note);
}

// Saves the form's design as the window does, into a .fdn or a .feldan project.
function SaveDesign(kind) {
    const request = RequestOfDesign(ReadDesign(), lang, separator);
    const base = opened.kind === kind ? opened.bytes : null;
    const saved = kind === 'fdn' ? engine.writeDesign(request, base) : engine.writeProject(request, base);
    if (saved.error) return ShowFileMessage(saved.error);
    Download(saved.bytes, `${opened.stem}.${kind}`, 'application/octet-stream');
    // What a design file does not hold stays unsaved, and the page says so, as the window does.
    const keepsLess = kind === 'fdn' && (request.exact || opened.beyondDesign);
    ShowFileMessage(keepsLess ? Words[lang][request.exact ? 'fdnKeepsLessExact' : 'fdnKeepsLess'] : '', true);
}

// Opens a .fdn or .feldan file: its design into the form, and a Расчет of it.
async function OpenFile(file) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    const dot = file.name.lastIndexOf('.');
    const extension = dot > 0 ? file.name.slice(dot + 1).toLowerCase() : '';
    if (extension !== 'fdn' && extension !== 'feldan') return ShowFileMessage(Words[lang].unknownFile);
    const read = extension === 'fdn' ? engine.readDesign(bytes, {name: file.name, lang})
                                     : engine.readProject(bytes, {name: file.name, lang});
    if (read.error) return ShowFileMessage(read.error);
    opened = {stem: file.name.slice(0, dot), kind: extension, bytes, beyondDesign: Boolean(read.beyondDesign)};
    const design = read.design;
    const shown = {...ReadDesign()};
    for (const id of fieldIds) shown[id] = design[id];
    if (design.type) {
        const {topology, order} = Topologies[design.type - 1];
        Object.assign(shown, {topology, order});
    } else if (design.topology) {
        Object.assign(shown, {topology: design.topology, order: design.order});
    }
    if (design.response !== null) shown.response = design.response;
    shown.exact = design.exact;
    ShowDesign(shown);
    ShowFileMessage(read.beyondDesign ? Words[lang].beyondDesign : '', true);
    Calculate();
}

// Exports the design on show, over the span of the view on show.
function ExportFile(what, extension, type) {
    if (!shownRequest) return;
    const exported = engine.exportFile(shownRequest, ViewSpan(), {...what, file: `${opened.stem}.${extension}`});
    if (exported.error) return ShowFileMessage(exported.error);
    Download(exported.bytes, `${opened.stem}.${extension}`, type);
}

function SetLanguage(chosen) {
    lang = chosen;
    Stored.set('feldan.lang', lang);
    ApplyWords();
    if (engine) Calculate(); else $('summary').textContent = Words[lang].loading;
}

function Start() {
    lang = StartLanguage();
    FillLists();
    ApplyWords();
    const stored = Stored.get('feldan.design');
    ShowDesign(location.hash.length > 1 ? DesignFromHash(location.hash)
                                        : DesignFromHash(stored || '', StartDesign));
    $('summary').textContent = Words[lang].loading;
    $('topology').addEventListener('change', ShowDependent);
    $('view').addEventListener('change', () => {
        view = $('view').value;
        if (shownResult) ShowView(shownResult);
    });
    $('open').addEventListener('click', () => $('open-file').click());
    $('open-file').addEventListener('change', () => {
        const [file] = $('open-file').files;
        $('open-file').value = '';
        if (file) OpenFile(file);
    });
    $('save-fdn').addEventListener('click', () => SaveDesign('fdn'));
    $('save-feldan').addEventListener('click', () => SaveDesign('feldan'));
    $('export-s2p').addEventListener('click', () => ExportFile({format: 'touchstone'}, 's2p', 'text/plain'));
    $('export-ngspice').addEventListener('click', () => ExportFile({format: 'spice', dialect: 'ngspice'}, 'cir', 'text/plain'));
    $('export-ltspice').addEventListener('click', () => ExportFile({format: 'spice', dialect: 'ltspice'}, 'cir', 'text/plain'));
    $('export-csv').addEventListener('click', () => ExportFile({format: 'csv'}, 'csv', 'text/csv'));
    $('export-svg').addEventListener('click', () => Download(SvgText($('chart')), `${opened.stem}-${view}.svg`, 'image/svg+xml'));
    $('export-png').addEventListener('click', () => PngBlob($('chart')).then(
        (blob) => Download(blob, `${opened.stem}-${view}.png`), (error) => ShowFileMessage(error.message)));
    $('response').addEventListener('change', ShowDependent);
    $('design').addEventListener('submit', (event) => {
        event.preventDefault();
        Calculate();
    });
    for (const button of document.querySelectorAll('[data-lang]')) {
        button.addEventListener('click', () => SetLanguage(button.dataset.lang));
    }
    window.addEventListener('hashchange', () => {
        ShowDesign(DesignFromHash(location.hash));
        Calculate();
    });
    new ResizeObserver(() => DrawShown()).observe($('chart-box'));

    const ready = LoadEngine().then((loaded) => {
        engine = loaded;
        for (const id of ['calculate', 'open', 'save-fdn', 'save-feldan']) $(id).disabled = false;
        Calculate();
        document.body.dataset.ready = 'true';
    }, (error) => {
        $('summary').textContent = Words[lang].noEngine + error.message;
        $('summary').classList.add('refused');
        throw error;
    });
    // For scripts and the console: the object feldan-cli --json prints for the same options.
    window.feldan = {
        ready,
        calculate: (options) => {
            if (!engine) throw new Error('the engine is still loading: await window.feldan.ready');
            return engine.calculate(options);
        },
        curve: (options) => {
            if (!engine) throw new Error('the engine is still loading: await window.feldan.ready');
            return engine.curve(options);
        },
        // The object feldan-cli sweep --json prints; span: from, to, points, circuit, referenceOhm.
        sweep: (options, span) => {
            if (!engine) throw new Error('the engine is still loading: await window.feldan.ready');
            return engine.sweep(options, span);
        },
    };
}

Start();
