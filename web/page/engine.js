// The engine in WebAssembly (feldan_engine.js, loaded by the page before its modules), behind
// calls that take and give plain objects, and files as bytes (Uint8Array).

export async function LoadEngine() {
    if (typeof globalThis.FeldanEngine !== 'function') {
        throw new Error('feldan_engine.js is missing beside the page');
    }
    return EngineOf(await globalThis.FeldanEngine());
}

// The calls over a loaded module (the page's, or the one Node loads in the tests).
export function EngineOf(module) {
    const calculate = module.cwrap('feldan_calculate', 'string', ['string']);
    const curve = module.cwrap('feldan_curve', 'string', ['string']);
    const sweep = module.cwrap('feldan_sweep', 'string', ['string', 'string']);
    const transient = module.cwrap('feldan_transient', 'string', ['string', 'string']);
    const timeCurve = module.cwrap('feldan_time_curve', 'string', ['string', 'string']);
    const schematic = module.cwrap('feldan_schematic', 'string', ['string']);
    const status = () => module.ccall('feldan_status', 'number', [], []);
    // The last answer's bytes, copied out of the module's memory; an error is JSON text.
    const answerBytes = (pointer) => {
        const size = module.ccall('feldan_answer_size', 'number', [], []);
        return module.HEAPU8.slice(pointer, pointer + size);
    };
    const text = (bytes) => new TextDecoder().decode(bytes);
    // Calls `name` with the bytes of a file in the module's memory and the other arguments.
    const withBytes = (bytes, call) => {
        const size = bytes ? bytes.length : 0;
        const pointer = module._malloc(Math.max(1, size));
        try {
            if (size > 0) module.HEAPU8.set(bytes, pointer);
            return call(pointer, size);
        } finally {
            module._free(pointer);
        }
    };
    // A file's bytes, or {error} where the engine refused.
    const fileOrError = (pointer) => {
        const bytes = answerBytes(pointer);
        return status() === 0 ? {bytes} : JSON.parse(text(bytes));
    };
    const json = (value) => JSON.stringify(value ?? {});
    // A view's name alone ('step') stands for {kind: 'step'}.
    const timeOptions = (kind) => json(typeof kind === 'string' ? {kind} : kind);
    return {
        // The object `feldan-cli --json` prints for the same options (keyed by their long names).
        calculate: (options) => JSON.parse(calculate(json(options))),
        // The pass-band curve of the same options: [[x_kHz, y_dB], ...], ascending in x.
        curve: (options) => JSON.parse(curve(json(options))),
        // The object `feldan-cli sweep --json` prints; span: from, to (kHz), points, circuit,
        // referenceOhm.
        sweep: (options, span) => JSON.parse(sweep(json(options), json(span))),
        // The object `feldan-cli transient --json` prints; kind: 'step', 'impulse', 'keyed', or
        // {kind, wpm, pulseMs, riseMs, window, circuit}.
        transient: (options, kind) => JSON.parse(transient(json(options), timeOptions(kind))),
        // The time view as the window draws it: {figures, dtMs, output, input}.
        timeCurve: (options, kind) => JSON.parse(timeCurve(json(options), timeOptions(kind))),
        // The schematic of the options' selections as strokes and labels, the window's picture:
        // {circuit, crystals, cw, endsApart, width, height, strokes, labels}.
        schematic: (options) => JSON.parse(schematic(json(options))),
        // A measured .s2p's bytes beside the design: {figures (feldan-cli measured --json), curve,
        // symmetryAssumed}, or {error}; how: {name, renormalize, assumeSymmetric}.
        measured: (options, bytes, how) => withBytes(bytes, (pointer, size) => JSON.parse(module.ccall(
            'feldan_measured', 'string', ['string', 'number', 'number', 'string'], [json(options), pointer, size, json(how)]))),
        // {bytes} of the file `feldan-cli export` (what.format touchstone or spice) or
        // `sweep --csv` (csv) writes, or {error}.
        exportFile: (options, span, what) => fileOrError(module.ccall(
            'feldan_export', 'number', ['string', 'string', 'string'], [json(options), json(span), json(what)])),
        // {design} of a .fdn file's bytes, or {error}; opened: {name, lang}.
        readDesign: (bytes, opened) => withBytes(bytes, (pointer, size) => JSON.parse(module.ccall(
            'feldan_read_design', 'string', ['number', 'number', 'string'], [pointer, size, json(opened)]))),
        // {bytes} of the .fdn the window saves, its reserved lines from `base` (the file opened).
        writeDesign: (options, base) => withBytes(base, (pointer, size) => fileOrError(module.ccall(
            'feldan_write_design', 'number', ['string', 'number', 'number'], [json(options), pointer, size]))),
        // {design, beyondDesign} of a .feldan project's bytes, or {error}.
        readProject: (bytes, opened) => withBytes(bytes, (pointer, size) => JSON.parse(module.ccall(
            'feldan_read_project', 'string', ['number', 'number', 'string'], [pointer, size, json(opened)]))),
        // {bytes} of the .feldan project `base` (the file opened, or none) with the design.
        writeProject: (options, base) => withBytes(base, (pointer, size) => fileOrError(module.ccall(
            'feldan_write_project', 'number', ['string', 'number', 'number'], [json(options), pointer, size]))),
        // feldan-cli's exit status for the last call: 0 done, 1 a warning, 2 an error.
        status,
    };
}
