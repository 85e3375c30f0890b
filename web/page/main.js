// The page: the design form, the summary, the chart and its views, and the files, over the
// engine in WebAssembly. The design lives in the address (a link opens it) and the last one in
// localStorage.
import {DesignFromHash, HashOfDesign, IsEqualCapacitor, RequestOfDesign, StartDesign} from './address.js';
import {DrawChart, PngBlob, SvgText} from './chart.js';
import {LoadEngine} from './engine.js';
import {DrawSchematic, SchematicCaption} from './schematic.js';
import {SeparatorOf} from './numbers.js';
import {Languages, Responses, Topologies, Words} from './texts.js';
import {AttenuationFloor, CurveOfSamples, CurveOfView, DelayScale, NextOverlays, OverlaySlots, SpanOfView, StatusTextAt,
        TimeFigureCells, ViewOf, Views} from './views.js';

const $ = (id) => document.getElementById(id);
const fieldIds = ['fo', 'ld', 'cs', 'rd', 'ck', 'df', 'level'];
const separator = SeparatorOf(navigator.language);
let engine = null;
let lang = 'ru';
let shownCurves = [];
let shownAxes = null;
// The span of x zoomed into ([from, to]), or null for all of it; another view or design shows
// all of it.
let zoom = null;
// The overlays' five slots ({points, statusText, request}), their counter and the latest slot, as
// the window keeps them; the measured filter laid over the pass band ({name, bytes}), compared
// afresh with every design shown.
let overlays = {slots: Array(OverlaySlots).fill(null), count: 0, latest: 0};
let measured = null;
// The window's curve colours of the five overlay positions, and the measured filter's.
const SeriesColours = ['#ff0000', '#008000', '#0000ff', '#ff00ff', '#400000'];
const MeasuredColour = '#008c96', KeyingColour = '#969696';
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
    $('capacitor').title = words.capacitorHint;
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
    // A QER ladder has its own response, whatever the list says.
    $('response').disabled = $('topology').value.startsWith('qer:');
    $('ripple-row').hidden = $('response').value !== 'chebyshev';
    const design = ReadDesign();
    $('capacitor-row').hidden = !IsEqualCapacitor(design);
    $('df').disabled = IsEqualCapacitor(design) && design.capacitor !== '';
    ShowSchematic();
}

// The schematic of the form's selections, as the window shows it before any Расчет.
let shownDrawing = null;
function ShowSchematic() {
    if (!engine) return;
    const drawing = engine.schematic(RequestOfDesign(ReadDesign(), lang, separator));
    shownDrawing = drawing.error ? null : drawing;
    DrawSchematicShown();
}

function DrawSchematicShown() {
    const width = $('schematic-box').clientWidth - 12;
    const scale = shownDrawing ? Math.min(1.6, Math.max(0.6, width / shownDrawing.width)) : 1;
    DrawSchematic($('schematic'), shownDrawing, Words[lang].terminations, scale);
    $('schematic-caption').textContent = SchematicCaption(shownDrawing, Words[lang]);
    $('schematic-box').hidden = !shownDrawing;
}

function ShowDesign(design) {
    for (const id of fieldIds) $(id).value = design[id];
    $('topology').value = `${design.topology}:${design.order}`;
    const any = design.response.startsWith('chebyshev:');
    $('response').value = any ? 'chebyshev' : design.response;
    if (any) $('ripple').value = design.response.slice('chebyshev:'.length);
    $('exact').checked = design.exact;
    $('capacitor').value = design.capacitor || '';
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
    design.capacitor = $('capacitor').value.trim();
    return design;
}

function DrawShown() {
    const box = $('chart-box');
    const width = Math.max(280, Math.floor(box.clientWidth));
    const height = Math.round(Math.min(420, Math.max(240, width * 0.55)));
    DrawChart($('chart'), $('readout'), shownCurves, {...shownAxes, xRange: zoom}, separator, width, height,
              (range) => { zoom = range; DrawShown(); });
    $('no-curve').hidden = shownCurves.some((curve) => curve.points.length > 1) || !engine;
    $('chart-box').dataset.view = view;
}

// A table under the chart: a head row (with an optional row over it) and the rows of cells.
function ShowTable(over, heads, rows) {
    const table = $('figures');
    table.replaceChildren();
    const row = (cells, tag) => {
        const tr = document.createElement('tr');
        for (const cell of cells) {
            const td = document.createElement(tag);
            if (Array.isArray(cell)) {
                [td.textContent, td.colSpan] = cell;
            } else {
                td.textContent = cell;
            }
            tr.appendChild(td);
        }
        table.appendChild(tr);
    };
    if (over) row(over, 'th');
    if (heads) row(heads, 'th');
    for (const cells of rows) row(cells, 'td');
    table.hidden = rows.length === 0;
}

// The figures of a time view under it, as the window's table shows them.
function ShowTimeFigures(figures) {
    const words = Words[lang];
    const cells = TimeFigureCells(figures, view === 'keyed', separator);
    ShowTable([['', 4], [words.decayAfter, 2], ...(view === 'keyed' ? [''] : [])],
              ['', ...cells.map(([key]) => words[key])], [[words.designColumn, ...cells.map(([, text]) => text)]]);
}

// The figures of the measured filter and of the design side by side, as feldan-cli measured.
function ShowMeasuredFigures(figures) {
    const words = Words[lang];
    const cell = (value, digits) => value === null ? '—' : Number(value.toPrecision(digits)).toString()
        .replace('.', separator);
    const both = (key, digits) => [cell(figures.measured[key], digits), cell(figures.design[key], digits)];
    const rows = [[words.centerHz, ...both('centerHz', 10)], [words.peakDb, ...both('peakDb', 4)]];
    for (const level of Object.keys(figures.measured.bandwidthHz)) {
        rows.push([words.widthAt(level), cell(figures.measured.bandwidthHz[level], 6), cell(figures.design.bandwidthHz[level], 6)]);
    }
    rows.push([words.flatnessDb, ...both('flatnessDb', 3)]);
    rows.push([words.shiftHz, cell(figures.shiftHz, 6), '']);
    ShowTable(null, ['', words.measuredColumn, words.designColumn], rows);
}

// The overlays' status texts under the chart, each in its curve's colour.
function ShowOverlayStatus(shown) {
    const list = $('overlay-status');
    list.replaceChildren(...shown.map(({statusText, position}) => {
        const item = document.createElement('li');
        item.textContent = StatusTextAt(statusText, position);
        item.style.color = SeriesColours[position];
        return item;
    }));
    list.hidden = shown.length === 0;
}

// The pass band: the overlaid curves (the latest over the others) and the measured filter.
function PassBandCurves() {
    const words = Words[lang];
    const latest = overlays.latest;
    const filled = overlays.slots.map((slot, position) => ({...slot, position})).filter((slot) => slot.points);
    filled.sort((a, b) => (b.position === latest) - (a.position === latest));
    const plain = filled.length === 1 && !$('overlay').checked && !measured;
    const curves = filled.map(({points, position}) => ({
        points, name: words.curve + (position + 1), colour: plain ? undefined : SeriesColours[position],
        legendOrder: position}));
    ShowOverlayStatus(filled.filter((slot) => slot.statusText).sort((a, b) => a.position - b.position));
    if (measured) {
        const answer = engine.measured(shownRequest, measured.bytes, {
            name: measured.name, renormalize: $('renormalise').checked ? 'design' : undefined, assumeSymmetric: true});
        if (answer.error) {
            ShowFileMessage(answer.error);
        } else {
            curves.push({points: answer.curve, colour: MeasuredColour, legendOrder: OverlaySlots,
                         name: measured.name + (answer.symmetryAssumed ? words.symmetryAssumed : '')});
            ShowMeasuredFigures(answer.figures);
        }
    }
    return curves;
}

// The span of the view on show over the design shown (the default span for the pass band).
function ViewSpan() {
    if (view !== 'wideBand') return {};
    // The default span's ends are those of any count of its points.
    return SpanOfView(view, engine.sweep(shownRequest, {points: 2}), shownFoHz);
}

// The curves and the axes of the view on show, from the calculation `result` of the design.
function ShowView(result) {
    const words = Words[lang];
    const detuning = {xTitle: words.xAxis, xUnit: words.kHz};
    const chosen = ViewOf(view);
    shownCurves = [];
    $('figures').hidden = true;
    $('overlay-status').hidden = true;
    $('measured-head').hidden = !measured || view !== 'passBand';
    if (!result.resultText) {
        shownAxes = null;
    } else if (view === 'passBand') {
        shownCurves = PassBandCurves();
        shownAxes = {...detuning, yTitle: words.yAxis, yUnit: words.dB, xSpanOfFirst: Boolean(measured)};
    } else if (chosen.time) {
        const answer = engine.timeCurve(shownRequest, chosen.time);
        if (answer.error) {
            ShowFileMessage(answer.error);
        } else {
            shownCurves = [{points: CurveOfSamples(answer.output, answer.dtMs), name: words.designColumn}];
            if (chosen.time === 'keyed') {
                shownCurves.push({points: CurveOfSamples(answer.input, answer.dtMs), name: words.keying, colour: KeyingColour});
            }
            ShowTimeFigures(answer.figures);
        }
        shownAxes = {xTitle: words.timeAxis, xUnit: words.ms, yTitle: words[`${view}Axis`], yUnit: ''};
    } else {
        const sweep = engine.sweep(shownRequest, ViewSpan());
        const points = sweep.points ? CurveOfView(chosen, sweep, shownFoHz) : [];
        shownAxes = {...detuning, yTitle: words[`${view}Axis`], yUnit: words.dB};
        if (chosen.floorsAtDepth) shownAxes.yFloor = AttenuationFloor(points.map(([, y]) => y));
        shownCurves = [{points}];
        if (view === 'groupDelay') {
            const scale = DelayScale(points);
            shownCurves = [{points: points.map(([x, y]) => [x, y === null ? null : y * scale.factor])}];
            shownAxes.yUnit = words[scale.unit];
            if (scale.unit === 'ms') shownAxes.yTitle = words.groupDelayAxisMs;
        }
    }
    DrawShown();
}

// A Расчет of the form's design; `retold` only says the design on show again in the page's
// language (the overlays keep their curves, their status texts in the new language).
function Calculate(retold = false) {
    if (!engine) return;
    const design = ReadDesign();
    const hash = HashOfDesign(design);
    if (location.hash !== hash) history.replaceState(null, '', hash);
    Stored.set('feldan.design', hash);
    const request = RequestOfDesign(design, lang, separator);
    const overlay = $('overlay').checked;
    if (overlay) request.overlay = true;
    if (!retold) zoom = null;
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
    for (const id of ['export-s2p', 'export-ngspice', 'export-ltspice', 'export-csv', 'export-png', 'export-svg', 'measured-open']) {
        $(id).disabled = !result.resultText;
    }
    // A refused calculation leaves the overlays as they were, as the window does.
    if (result.resultText) {
        const points = engine.curve(request);
        const curve = {points: Array.isArray(points) ? points : [], statusText: result.statusText, request};
        if (retold && overlays.slots[overlays.latest]) {
            overlays.slots = overlays.slots.map((slot) => slot &&
                {...slot, statusText: slot.statusText && engine.calculate({...slot.request, lang}).statusText});
            overlays.slots[overlays.latest] = curve;
        } else {
            overlays = NextOverlays(overlays, overlay, curve);
        }
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
    shown.capacitor = design.capacitor || '';
    ShowDesign(shown);
    ShowFileMessage(read.beyondDesign ? Words[lang].beyondDesign : '', true);
    Calculate();
}

// Lays a measured filter's .s2p over the pass band of the design on show.
async function OpenMeasured(file) {
    if (!/\.s2p$/i.test(file.name)) return ShowFileMessage(Words[lang].measuredOnlyS2p);
    const bytes = new Uint8Array(await file.arrayBuffer());
    const answer = engine.measured(shownRequest, bytes, {name: file.name, assumeSymmetric: true});
    if (answer.error) return ShowFileMessage(answer.error);
    ShowFileMessage('');
    measured = {name: file.name, bytes};
    $('measured-remove').hidden = false;
    view = 'passBand';
    $('view').value = view;
    if (shownResult) ShowView(shownResult);
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
    if (engine) {
        DrawSchematicShown();
        Calculate(true);
    } else {
        $('summary').textContent = Words[lang].loading;
    }
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
        zoom = null;
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
    $('measured-open').addEventListener('click', () => $('measured-file').click());
    $('measured-file').addEventListener('change', () => {
        const [file] = $('measured-file').files;
        $('measured-file').value = '';
        if (file) OpenMeasured(file);
    });
    $('measured-remove').addEventListener('click', () => {
        measured = null;
        $('measured-remove').hidden = true;
        if (shownResult) ShowView(shownResult);
    });
    $('renormalise').addEventListener('change', () => { if (shownResult) ShowView(shownResult); });
    // Switching the overlays on starts a new set, as the window's Наложения does.
    $('overlay').addEventListener('change', () => { if ($('overlay').checked) overlays = {...overlays, count: 0}; });
    // A file dropped onto the chart: a measured filter, or a design to open.
    $('chart-box').addEventListener('dragover', (event) => event.preventDefault());
    $('chart-box').addEventListener('drop', (event) => {
        event.preventDefault();
        const [file] = event.dataTransfer.files;
        if (!file || !engine) return;
        if (/\.s2p$/i.test(file.name)) OpenMeasured(file); else OpenFile(file);
    });
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
    new ResizeObserver(() => { if (engine) DrawSchematicShown(); }).observe($('schematic-box'));
    $('ripple').addEventListener('change', ShowSchematic);
    $('capacitor').addEventListener('input', ShowDependent);

    const ready = LoadEngine().then((loaded) => {
        engine = loaded;
        for (const id of ['calculate', 'open', 'save-fdn', 'save-feldan']) $(id).disabled = false;
        ShowSchematic();
        Calculate();
        // For the browser test's measurement: the first result on show, from the navigation's start.
        performance.mark('feldan-first-result');
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
        // The object feldan-cli transient --json prints; kind: 'step', 'impulse', 'keyed' or
        // {kind, wpm, pulseMs, riseMs, window, circuit}.
        transient: (options, kind) => {
            if (!engine) throw new Error('the engine is still loading: await window.feldan.ready');
            return engine.transient(options, kind ?? 'step');
        },
        // The object feldan-cli sweep --json prints; span: from, to, points, circuit, referenceOhm.
        sweep: (options, span) => {
            if (!engine) throw new Error('the engine is still loading: await window.feldan.ready');
            return engine.sweep(options, span);
        },
    };
}

Start();
