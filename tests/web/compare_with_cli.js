// The engine built to WebAssembly against the desktop's feldan-cli --json: the 35 classic
// designs and a few hundred random requests. Texts must be equal character for character, the
// exit status the same, and numbers within 1e-12 relative, except for the responses whose
// prototype is found from polynomial roots in long double (Bessel, Gaussian, Gaussian to 6 dB,
// Legendre): long double is the 80-bit extended type on x86-64 and IEEE quadruple on wasm32, and
// those roots are sensitive enough to show it, so they are held to 1e-5 and reported apart.
// Then feldan_sweep against `feldan-cli sweep --json` and feldan_export against `feldan-cli
// export` and `sweep --csv` on a handful of designs and spans: the files byte for byte; and
// feldan_transient and feldan_measured against `feldan-cli transient` and `measured --json`.
//
//   node tests/web/compare_with_cli.js ENGINE_NODE_JS FELDAN_CLI [RANDOM_REQUESTS]
'use strict';
const {spawnSync} = require('child_process');
const {mkdtempSync, readFileSync, rmSync} = require('fs');
const os = require('os');
const path = require('path');

const [enginePath, cliPath, randomText] = process.argv.slice(2);
if (!enginePath || !cliPath) {
    console.error('usage: node compare_with_cli.js ENGINE_NODE_JS FELDAN_CLI [RANDOM_REQUESTS]');
    process.exit(2);
}
const randomCount = randomText === undefined ? 300 : Number(randomText);
const tolerance = 1e-12;
const longDoubleTolerance = 1e-5;
const longDoubleFamilies = ['bessel', 'gaussian', 'gaussian6', 'legendre'];

// A small seeded generator, so that a failure can be run again.
let seed = 38;
function random() {
    seed = (seed * 1103515245 + 12345) % 2147483648;
    return seed / 2147483648;
}
const pick = (list) => list[Math.floor(random() * list.length)];
const between = (low, high, decimals) => (low + random() * (high - low)).toFixed(decimals);

function RandomRequest() {
    const request = {};
    if (random() < 0.5) {
        request.type = 1 + Math.floor(random() * 7);
    } else if (random() < 0.5) {
        request.topology = 'ladder';
        request.order = 2 + Math.floor(random() * 11);
    } else {
        request.topology = 'cw';
        request.order = pick([4, 6, 8, 10, 12]);
    }
    request.response = pick(['1', '2', '3', '4', '5', 'butterworth', 'bessel', 'legendre',
                             'gaussian', 'gaussian6', 'gaussian12', 'linear-phase:0.05',
                             'linear-phase:0.5', 'chebyshev:' + between(0.01, 3, 2)]);
    const separator = random() < 0.3 ? ',' : '.';
    const field = (low, high, decimals) => {
        const roll = random();
        if (roll < 0.03) return '';
        if (roll < 0.05) return pick(['abc', '1e400', '-', '1..2', '0']);
        const text = between(low, high, decimals);
        return random() < 0.3 ? text.replace('.', ',') : text;
    };
    if (random() < 0.8) request.fo = field(1000, 30000, 3);
    if (random() < 0.8) request.ld = field(2, 100, 2);
    if (random() < 0.8) request.cs = field(1, 10, 2);
    if (random() < 0.8) request.rd = field(1, 60, 1);
    if (random() < 0.8) request.df = field(150, 6000, 0);
    if (random() < 0.5) request.ck = field(20, 200, 1);
    if (random() < 0.5) request.level = '-' + between(0.5, 20, 1);
    if (random() < 0.25) request.exact = true;
    if (random() < 0.3) request.overlay = true;
    request.lang = pick(['ru', 'en']);
    request.separator = separator;
    return request;
}

function CliArguments(request) {
    const args = ['--json'];
    for (const [key, value] of Object.entries(request)) {
        if (value === true) {
            args.push('--' + key);
        } else {
            args.push('--' + key + '=' + value);
        }
    }
    return args;
}

// Every difference between the two values, with the path to it; the largest relative
// difference of a number goes into `largest`.
function Compare(web, cli, where, faults, largest, tolerance) {
    if (typeof cli === 'number' && typeof web === 'number') {
        largest.numbers++;
        // A figure in dB (flatnessDb, rippleDb) is often the difference of two levels found by
        // the band's searches: its last bits are those of levels of tens of dB, so it is held
        // against 10 dB at least.
        const scale = Math.max(Math.abs(cli), Math.abs(web), /Db$/.test(where) ? 10 : 0);
        const relative = scale === 0 ? 0 : Math.abs(web - cli) / scale;
        if (relative > largest.relative) Object.assign(largest, {relative, where});
        if (relative > tolerance) faults.push(`${where}: ${web} against ${cli}`);
    } else if (Array.isArray(cli) && Array.isArray(web)) {
        if (web.length !== cli.length) faults.push(`${where}: ${web.length} items against ${cli.length}`);
        for (let i = 0; i < Math.min(web.length, cli.length); i++) {
            Compare(web[i], cli[i], `${where}[${i}]`, faults, largest, tolerance);
        }
    } else if (cli !== null && web !== null && typeof cli === 'object' && typeof web === 'object') {
        const webKeys = Object.keys(web).join(','), cliKeys = Object.keys(cli).join(',');
        if (webKeys !== cliKeys) faults.push(`${where}: keys ${webKeys} against ${cliKeys}`);
        for (const key of Object.keys(cli)) {
            if (key in web) Compare(web[key], cli[key], `${where}.${key}`, faults, largest, tolerance);
        }
    } else if (web !== cli) {
        faults.push(`${where}: ${JSON.stringify(web)} against ${JSON.stringify(cli)}`);
    }
}

// Two sweeps point by point. A phase of a tenth of a degree, a return loss of a thousandth of a dB
// or a group delay taken from the imaginary part of a quotient carry the two math libraries'
// last-bit differences with a larger relative weight than the sweep shows them: each quantity is
// held to 1e-12 of its largest magnitude over the sweep, and the largest pointwise relative
// difference is reported beside it.
function CompareSweeps(web, cli, faults, largest) {
    if (web.points?.length !== cli.points.length) {
        faults.push(`${web.points?.length ?? JSON.stringify(web)} points against ${cli.points.length}`);
        return;
    }
    const values = (point) => Object.entries(point).flatMap(([key, value]) =>
        Array.isArray(value) ? value.map((v, i) => [`${key}[${i}]`, v]) : [[key, value]]);
    const scale = {};
    for (const point of cli.points) {
        for (const [key, value] of values(point)) scale[key] = Math.max(scale[key] ?? 0, Math.abs(value ?? 0));
    }
    cli.points.forEach((point, i) => {
        const webValues = new Map(values(web.points[i]));
        for (const [key, value] of values(point)) {
            const got = webValues.get(key);
            if (value === null || got === null || got === undefined) {
                if (got !== value) faults.push(`.points[${i}].${key}: ${got} against ${value}`);
                continue;
            }
            largest.numbers++;
            const pointwise = value === got ? 0 : Math.abs(got - value) / Math.max(Math.abs(value), Math.abs(got));
            if (pointwise > largest.pointwise) Object.assign(largest, {pointwise, where: `.points[${i}].${key}`});
            const ofScale = scale[key] === 0 ? 0 : Math.abs(got - value) / scale[key];
            largest.ofScale = Math.max(largest.ofScale, ofScale);
            if (ofScale > tolerance) faults.push(`.points[${i}].${key}: ${got} against ${value}`);
        }
    });
}

// Two CSV tables of 17 digits, whose last ones carry the libraries' last bits: the same header
// and frequencies, every column within 1e-12 of its largest magnitude.
function CompareTables(web, cli, faults) {
    const rows = (text) => text.trim().split('\n').map((row) => row.split(','));
    const [webRows, cliRows] = [rows(web), rows(cli)];
    if (webRows[0].join() !== cliRows[0].join() || webRows.length !== cliRows.length) {
        faults.push(`csv: ${webRows[0]} in ${webRows.length} rows against ${cliRows[0]} in ${cliRows.length}`);
        return;
    }
    const scale = cliRows[0].map((_, k) => Math.max(...cliRows.slice(1).map((row) => Math.abs(Number(row[k])) || 0)));
    for (let i = 1; i < cliRows.length; i++) {
        cliRows[i].forEach((cell, k) => {
            const got = webRows[i][k];
            const close = cell === '' ? got === '' : Math.abs(Number(got) - Number(cell)) <= tolerance * scale[k];
            if (!close) faults.push(`csv row ${i}, ${cliRows[0][k]}: ${got} against ${cell}`);
        });
    }
}

require(path.resolve(enginePath))().then((engine) => {
    const calculate = engine.cwrap('feldan_calculate', 'string', ['string']);
    const requests = [];
    for (let type = 1; type <= 7; type++) {
        for (let response = 1; response <= 5; response++) requests.push({type, response: String(response), separator: '.'});
    }
    for (let k = 0; k < randomCount; k++) requests.push(RandomRequest());

    let failed = 0, identical = 0, numbers = 0;
    const largest = {held: {relative: 0, where: ''}, longDouble: {relative: 0, where: ''}};
    const largestOfResponse = {};
    for (const request of requests) {
        const webText = calculate(JSON.stringify(request));
        const webStatus = engine.ccall('feldan_status', 'number', [], []);
        const cli = spawnSync(cliPath, CliArguments(request), {encoding: 'utf8'});
        const faults = [];
        const found = {relative: 0, where: '', numbers: 0};
        if (webStatus !== cli.status) faults.push(`exit status ${webStatus} against ${cli.status}`);
        if (webText + '\n' === cli.stdout) identical++;
        const family = request.response.split(':')[0];
        const kind = longDoubleFamilies.includes(family) ? 'longDouble' : 'held';
        try {
            Compare(JSON.parse(webText), JSON.parse(cli.stdout), '', faults, found,
                    kind === 'held' ? tolerance : longDoubleTolerance);
        } catch (error) {
            faults.push(`not JSON: ${error.message}; web ${webText}; cli ${cli.stdout} ${cli.stderr}`);
        }
        numbers += found.numbers;
        if (found.relative > largest[kind].relative) largest[kind] = found;
        largestOfResponse[family] = Math.max(largestOfResponse[family] || 0, found.relative);
        if (faults.length > 0) {
            failed++;
            console.log(`FAILED ${JSON.stringify(request)}\n  ${faults.slice(0, 5).join('\n  ')}`);
        }
    }
    // Requests that are none: refused with the key they name, in their language.
    const refused = [
        ['not an object', '[1, 2]', 'the request must be a JSON object'],
        ['a broken text', '{"type": ', ''],
        ['an unknown key', '{"crystals": "a.csv", "lang": "en"}', 'crystals: no such key'],
        ['type with topology', '{"type": 2, "topology": "cw", "order": 4, "lang": "en"}',
         'type: type and topology exclude each other'],
        ['a topology without order', '{"topology": "ladder"}', 'topology: topology и order'],
        ['a cw ladder of 5', '{"topology": "cw", "order": 5, "lang": "en"}',
         'order: a cw ladder has 4, 6, 8, 10 or 12 crystals, not 5'],
        ['a type beyond 7', '{"type": 8, "lang": "en"}', 'type: must be a whole number 1…7'],
        ['chebyshev without ripple', '{"response": "chebyshev", "lang": "en"}', 'response: must be'],
        ['a separator', '{"separator": ";"}', 'separator: нужно'],
    ];
    for (const [what, text, start] of refused) {
        const answer = JSON.parse(calculate(text));
        const status = engine.ccall('feldan_status', 'number', [], []);
        if (Object.keys(answer).join() !== 'error' || !answer.error.startsWith(start) || status !== 2) {
            failed++;
            console.log(`FAILED ${what}: ${JSON.stringify(answer)}, status ${status}`);
        }
    }
    // The sweep and the exported files of a few designs and spans, against feldan-cli's.
    const sweep = engine.cwrap('feldan_sweep', 'string', ['string', 'string']);
    const sweepLargest = {pointwise: 0, ofScale: 0, where: '', numbers: 0};
    const spanArguments = (span) => Object.entries(span).map(([key, value]) =>
        '--' + (key === 'referenceOhm' ? 'reference-ohm' : key) + '=' + value);
    // Node's child processes write to sockets, which feldan-cli cannot open as /dev/stdout.
    const folder = mkdtempSync(path.join(os.tmpdir(), 'feldan-export-'));
    const sweeps = [
        [{}, {}],
        [{type: 6, response: '3', ck: '82', df: '500', lang: 'en'}, {points: 301, circuit: 'analysed'}],
        [{topology: 'ladder', order: 9, response: 'chebyshev:0.3', exact: true}, {from: -8, to: 9.5, points: 777}],
        [{topology: 'cw', order: 10, response: 'linear-phase:0.5', df: '400'}, {referenceOhm: 50, points: 2}],
        [{type: 4, response: '5', fo: '4915,2', separator: ','}, {from: -3, to: 3, referenceOhm: 200}],
        [{type: 3, response: '2', df: '2400', level: '-6'}, {from: -60, to: 40, points: 4001}],
    ];
    for (const [request, span] of sweeps) {
        const what = JSON.stringify([request, span]);
        const args = CliArguments(request).slice(1);
        const cli = spawnSync(cliPath, ['sweep', ...args, ...spanArguments(span), '--json'], {encoding: 'utf8'});
        const web = JSON.parse(sweep(JSON.stringify(request), JSON.stringify(span)));
        const faults = [];
        CompareSweeps(web, JSON.parse(cli.stdout), faults, sweepLargest);
        const exports = [
            [{format: 'touchstone'}, ['export', '--touchstone=' + path.join(folder, 'f.s2p')]],
            [{format: 'spice', dialect: 'ltspice', file: 'f.cir'}, ['export', '--dialect=ltspice', '--spice=' + path.join(folder, 'f.cir')]],
            [{format: 'csv'}, ['sweep', '--csv=' + path.join(folder, 'f.csv')]],
        ];
        for (const [format, command] of exports) {
            const pointer = engine.ccall('feldan_export', 'number', ['string', 'string', 'string'],
                                         [JSON.stringify(request), JSON.stringify(span), JSON.stringify(format)]);
            const size = engine.ccall('feldan_answer_size', 'number', [], []);
            const web = Buffer.from(engine.HEAPU8.slice(pointer, pointer + size)).toString('utf8');
            const file = command.at(-1).slice(command.at(-1).indexOf('=') + 1);
            spawnSync(cliPath, [command[0], ...args, ...spanArguments(span), ...command.slice(1)]);
            const wanted = readFileSync(file, 'utf8');
            rmSync(file);
            if (format.format === 'csv') {
                CompareTables(web, wanted, faults);
            } else if (web !== wanted) faults.push(`${format.format}: ${web.length} bytes differ from feldan-cli's ${wanted.length}`);
        }
        if (faults.length > 0) {
            failed++;
            console.log(`FAILED sweep ${what}\n  ${faults.slice(0, 5).join('\n  ')}`);
        }
    }
    rmSync(folder, {recursive: true});
    // Spans and designs that are refused, in the request's language, with feldan-cli's status.
    const refusedSweeps = [
        [{lang: 'en'}, {from: 2, to: 1}, 'from: must lie below to', 2],
        [{lang: 'en', fo: '1', df: '3100'}, {from: -3000, to: 1}, 'the span reaches 0 Hz', 2],
        [{lang: 'en'}, {points: 1}, 'points: must be a whole number 2…100001', 2],
        [{lang: 'en'}, {circuit: 'built'}, 'circuit: must be', 2],
        [{lang: 'en'}, {referenceOhm: 0}, 'referenceOhm: must be a resistance above 0 Ohm', 2],
        [{lang: 'en', fo: 'abc'}, {}, "'abc'", 2],
        [{lang: 'en', rd: '0'}, {}, '', 1],
    ];
    for (const [request, span, start, wantedStatus] of refusedSweeps) {
        const answer = JSON.parse(sweep(JSON.stringify(request), JSON.stringify(span)));
        const status = engine.ccall('feldan_status', 'number', [], []);
        if (Object.keys(answer).join() !== 'error' || !answer.error.startsWith(start) || status !== wantedStatus) {
            failed++;
            console.log(`FAILED the sweep ${JSON.stringify([request, span])}: ${JSON.stringify(answer)}, status ${status}`);
        }
    }
    // The filter in time and a measured filter beside its design, against feldan-cli transient
    // and measured --json: the same keys, exit status and figures within the bound.
    const transient = engine.cwrap('feldan_transient', 'string', ['string', 'string']);
    const timeLargest = {relative: 0, where: '', numbers: 0};
    const timeArguments = (options) => Object.entries(options).map(([key, value]) =>
        '--' + key.replace(/[A-Z]/g, (c) => '-' + c.toLowerCase()) + '=' + value);
    const times = [
        [{}, {}],
        [{}, {kind: 'keyed'}],
        [{type: 6, response: '3', ck: '82', df: '500', lang: 'en'}, {kind: 'keyed', wpm: 40, circuit: 'analysed'}],
        [{topology: 'ladder', order: 9, response: 'chebyshev:0.3', exact: true}, {kind: 'impulse', window: 'hann'}],
        [{type: 3, response: '2', df: '2400', level: '-6'}, {kind: 'keyed', pulseMs: 30, riseMs: 2, window: 'kaiser:6'}],
        [{topology: 'cw', order: 10, response: 'gaussian', df: '400'}, {kind: 'step'}],
        [{rd: '0'}, {}],
        [{lang: 'en'}, {kind: 'step', wpm: 30}],
        [{lang: 'en'}, {window: 'kaiser:60'}],
    ];
    const measuredFile = path.join(__dirname, '..', 'data', 'measured-filter.s2p');
    const measuredBytes = readFileSync(measuredFile);
    const measuredOnes = [
        [{}, {}, []],
        [{lang: 'en'}, {renormalize: 'design', assumeSymmetric: true}, ['--renormalize-ohm=design', '--assume-symmetric']],
        [{type: 6, response: '3', ck: '82', df: '500'}, {referenceOhm: 50, circuit: 'analysed'}, ['--reference-ohm=50', '--circuit=analysed']],
    ];
    const measured = (request, how) => {
        const pointer = engine._malloc(measuredBytes.length);
        engine.HEAPU8.set(measuredBytes, pointer);
        const answer = engine.ccall('feldan_measured', 'string', ['string', 'number', 'number', 'string'],
                                    [JSON.stringify(request), pointer, measuredBytes.length, JSON.stringify({name: 'measured-filter.s2p', ...how})]);
        engine._free(pointer);
        return JSON.parse(answer);
    };
    const timeCases = [
        ...times.map(([request, options]) => [request, () => JSON.parse(transient(JSON.stringify(request), JSON.stringify(options))),
                                              ['transient', ...timeArguments(options)]]),
        ...measuredOnes.map(([request, how, args]) => [request, () => measured(request, how).figures ?? {}, ['measured', measuredFile, ...args]]),
    ];
    for (const [request, web, command] of timeCases) {
        const faults = [];
        const answer = web();
        const webStatus = engine.ccall('feldan_status', 'number', [], []);
        const cli = spawnSync(cliPath, [command[0], ...CliArguments(request).slice(1), ...command.slice(1), '--json'], {encoding: 'utf8'});
        if (webStatus !== cli.status) faults.push(`exit status ${webStatus} against ${cli.status}`);
        if (cli.status === 0) {
            Compare(answer, JSON.parse(cli.stdout), '', faults, timeLargest, tolerance);
        } else if (Object.keys(answer).join() !== 'error') {
            faults.push(`refused with ${JSON.stringify(answer)} against ${cli.stderr.trim()}`);
        }
        if (faults.length > 0) {
            failed++;
            console.log(`FAILED ${command[0]} ${JSON.stringify(request)} ${command.slice(1).join(' ')}\n  ${faults.slice(0, 5).join('\n  ')}`);
        }
    }
    console.log(`${timeCases.length} time responses and measured filters, ${timeLargest.numbers} numbers compared; ` +
                `the largest relative difference ${timeLargest.relative.toExponential(3)}` +
                (timeLargest.where ? ` at ${timeLargest.where}` : '') + ` (bound ${tolerance})`);
    console.log(`${sweeps.length} sweeps, ${sweepLargest.numbers} numbers compared; the largest difference ` +
                `${sweepLargest.ofScale.toExponential(3)} of its quantity's largest magnitude (bound ${tolerance}), ` +
                `the largest pointwise ${sweepLargest.pointwise.toExponential(3)} at ${sweepLargest.where}`);
    const byResponse = Object.entries(largestOfResponse)
        .map(([family, relative]) => `${family} ${relative.toExponential(1)}`).join(', ');
    const shown = ({relative, where}) => relative.toExponential(3) + (where ? ' at ' + where : '');
    console.log(`${requests.length} requests, ${identical} answered byte for byte alike, ` +
                `${numbers} numbers compared; the largest relative difference ` +
                `${shown(largest.held)} (bound ${tolerance}), of ${longDoubleFamilies.join(', ')} ` +
                `${shown(largest.longDouble)} (bound ${longDoubleTolerance})`);
    console.log(`The largest by response: ${byResponse}`);
    console.log(`${requests.length + refused.length + sweeps.length + refusedSweeps.length + timeCases.length - failed} passed, ${failed} failed`);
    process.exit(failed === 0 ? 0 : 1);
});
