// The page: the design form, the summary and the pass-band chart, over the engine in
// WebAssembly. The design lives in the address (a link opens it) and the last one in
// localStorage.
import {DesignFromHash, HashOfDesign, RequestOfDesign, StartDesign} from './address.js';
import {DrawChart} from './chart.js';
import {LoadEngine} from './engine.js';
import {SeparatorOf} from './numbers.js';
import {Languages, Responses, Topologies, Words} from './texts.js';

const $ = (id) => document.getElementById(id);
const fieldIds = ['fo', 'ld', 'cs', 'rd', 'ck', 'df', 'level'];
const separator = SeparatorOf(navigator.language);
let engine = null;
let lang = 'ru';
let shownPoints = [];

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
    DrawChart($('chart'), $('readout'), shownPoints, Words[lang], separator, width, height);
    $('no-curve').hidden = shownPoints.length > 1 || !engine;
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
    shownPoints = result.resultText ? engine.curve(request) : [];
    if (!Array.isArray(shownPoints)) shownPoints = [];
    DrawShown();
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
        $('calculate').disabled = false;
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
