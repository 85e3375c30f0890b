// The engine in WebAssembly (feldan_engine.js, loaded by the page before its modules), behind
// calls that take and give plain objects.

export async function LoadEngine() {
    if (typeof globalThis.FeldanEngine !== 'function') {
        throw new Error('feldan_engine.js is missing beside the page');
    }
    const module = await globalThis.FeldanEngine();
    const calculate = module.cwrap('feldan_calculate', 'string', ['string']);
    const curve = module.cwrap('feldan_curve', 'string', ['string']);
    return {
        // The object `feldan-cli --json` prints for the same options (keyed by their long names).
        calculate: (options) => JSON.parse(calculate(JSON.stringify(options ?? {}))),
        // The pass-band curve of the same options: [[x_kHz, y_dB], ...], ascending in x.
        curve: (options) => JSON.parse(curve(JSON.stringify(options ?? {}))),
        // feldan-cli's exit status for the last call: 0 done, 1 a warning, 2 an error.
        status: () => module.ccall('feldan_status', 'number', [], []),
    };
}
