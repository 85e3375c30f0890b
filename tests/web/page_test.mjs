// The page's modules that need no DOM (the address, the numbers and ticks, the lists, the views,
// the overlays and the schematic's caption),
// and the engine's bindings: the curve, as many points as the JSON's "points", ascending in x,
// and the same curve and summary as feldan-cli's for the page's own requests; the design files
// read back as written, and refused in the request's language; the time views and a measured
// file refused.
//
//   node tests/web/page_test.mjs [ENGINE_NODE_JS [FELDAN_CLI]]
import {spawnSync} from 'node:child_process';
import {readFileSync, mkdtempSync, rmSync} from 'node:fs';
import {createRequire} from 'node:module';
import {tmpdir} from 'node:os';
import path from 'node:path';

import {DesignFromHash, HashOfDesign, IsTopology, RequestOfDesign, StartDesign} from '../../web/page/address.js';
import {FormatNumber, NearestIndex, RoundRange, SeparatorOf, TickDecimals, TickStep, Ticks} from '../../web/page/numbers.js';
import {Responses, Topologies, Words} from '../../web/page/texts.js';
import {AttenuationFloor, CurveOfView, DelayScale, NextOverlays, SpanOfView, StatusTextAt, TimeFigureCells, ViewOf} from '../../web/page/views.js';
import {EngineOf} from '../../web/page/engine.js';
import {SchematicCaption} from '../../web/page/schematic.js';

let failed = 0, passed = 0;
function Check(what, got, wanted) {
    const same = JSON.stringify(got) === JSON.stringify(wanted);
    if (same) passed++; else failed++;
    if (!same) console.log(`FAILED ${what}: ${JSON.stringify(got)} against ${JSON.stringify(wanted)}`);
}

// Numbers as shown.
for (const [locale, separator] of [['ru-RU', ','], ['de-DE', ','], ['en-US', '.'], ['ja-JP', '.']]) {
    Check(`the separator of ${locale}`, SeparatorOf(locale), separator);
}
for (const [value, decimals, separator, text] of [[-0.0004, 3, '.', '0.000'], [-3.14159, 2, ',', '-3,14'],
                                                  [2827, 0, ',', '2827'], [0.5, 1, '.', '0.5']]) {
    Check(`${value} with ${decimals} decimals`, FormatNumber(value, decimals, separator), text);
}

// Ticks: round values, whole steps of 1, 2 or 5 times a power of ten, inside the range.
for (const [low, high, count, ticks] of [
    [0.596, 3.138, 6, [1, 1.5, 2, 2.5, 3]],
    [-62.8, 0, 6, [-60, -50, -40, -30, -20, -10, 0]],
    [0, 1, 5, [0, 0.2, 0.4, 0.6, 0.8, 1]],
    [-3.81, -0.002, 4, [-3, -2, -1]],
    [-1.5, 1.5, 3, [-1, 0, 1]],
    [8861.5, 8862.1, 6, [8861.5, 8861.6, 8861.7, 8861.8, 8861.9, 8862, 8862.1]],
]) {
    Check(`ticks of [${low}, ${high}]`, Ticks(low, high, count), ticks);
}
for (const [low, high, count] of [[0.0123, 0.0789, 7], [-147, 12, 5], [1e-6, 3e-5, 6], [3, 3e4, 8]]) {
    const step = TickStep(low, high, count), ticks = Ticks(low, high, count);
    const mantissa = step / 10 ** Math.floor(Math.log10(step) + 1e-9);
    Check(`the step of [${low}, ${high}] is 1, 2 or 5`, [1, 2, 5].some((m) => Math.abs(mantissa - m) < 1e-9), true);
    Check(`the ticks of [${low}, ${high}] lie in it, a step apart`,
          ticks.every((t, i) => t >= low && t <= high && (i === 0 || Math.abs(t - ticks[i - 1] - step) < step * 1e-9)), true);
    Check(`about ${count} parts of [${low}, ${high}]`, ticks.length >= count / 2 && ticks.length <= 2 * count + 1, true);
}
Check('a range widened to round ticks', RoundRange(0.596, 3.138, 6), [0.5, 3.5]);
Check('decimals of the ticks', [10, 1, 0.5, 0.2, 0.05, 0.001].map(TickDecimals), [0, 0, 1, 1, 2, 3]);
const line = [[-1, 0], [0, 1], [0.4, 2], [2, 3]];
Check('the nearest points', [-5, -0.6, 0.19, 0.21, 1.3, 9].map((x) => NearestIndex(line, x)), [0, 0, 1, 2, 3, 3]);

// The address: what a link says comes back; what it says wrongly keeps the base design.
Check('the fragment of the start design', HashOfDesign(StartDesign),
      '#fo=8861.736&ld=10.1&cs=6.3&rd=5.7&df=3100&level=-3&topology=ladder&order=4&response=1&exact=0');
for (const design of [
    {...StartDesign, topology: 'cw', order: 12, ck: '82,5', response: 'chebyshev:0,5', exact: true},
    {...StartDesign, fo: '', df: '1e400', level: '-6 & more', response: 'linear-phase:0.05'},
    {...StartDesign, topology: 'ladder', order: 2, fo: '10 700', ld: 'абв', response: 'gaussian12'},
]) {
    Check(`the design of ${HashOfDesign(design)}`, DesignFromHash(HashOfDesign(design)), design);
}
for (const [hash, change] of [
    ['#topology=cw&order=5', {}],
    ['#topology=ladder&order=13', {}],
    ['#topology=cw', {}],
    ['#type=6', {topology: 'cw', order: 6}],
    ['#type=8&response=chebyshev&exact=yes', {exact: false}],
    ['#response=3&fo=%E0%A4&ld=9,5&unknown=1&=2&df', {response: '3', ld: '9,5'}],
    ['', {}],
]) {
    Check(`the design of "${hash}"`, DesignFromHash(hash), {...StartDesign, ...change});
}
Check('the topologies', Topologies.map((t) => IsTopology(t.topology, t.order)).length, 25);
Check('every listed topology is one', Topologies.every((t) => IsTopology(t.topology, t.order)), true);
Check('the ladders 2 to 12, CW 4 to 12 and QER 4 to 12, each once',
      Topologies.map((t) => t.topology + t.order).sort(),
      [...[2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12].map((n) => 'ladder' + n), ...[4, 6, 8, 10, 12].map((n) => 'cw' + n),
       ...[4, 5, 6, 7, 8, 9, 10, 11, 12].map((n) => 'qer' + n)].sort());
Check('the capacitor only in the request of an equal-capacitor ladder',
      [RequestOfDesign({...StartDesign, capacitor: '82'}, 'en', '.').capacitor,
       RequestOfDesign({...StartDesign, topology: 'qer', order: 6, capacitor: '82'}, 'en', '.').capacitor,
       RequestOfDesign({...StartDesign, response: 'cohn', capacitor: '82'}, 'en', '.').capacitor],
      [undefined, '82', '82']);
Check('the words in both languages', Object.keys(Words.en), Object.keys(Words.ru));
Check('Ck only in the request of a CW ladder',
      [RequestOfDesign(StartDesign, 'en', '.').ck, RequestOfDesign({...StartDesign, topology: 'cw'}, 'en', '.').ck],
      [undefined, '91']);

// The views: the wide band of ten band widths either side of the default span's middle, short of
// 0 Hz; the floor of the attenuation; the delay's unit; the return loss as −|S11|.
const sweepOf = (fromHz, toHz) => ({points: [{frequencyHz: fromHz}, {frequencyHz: toHz}]});
Check('the wide band', SpanOfView('wideBand', sweepOf(8000000, 8006000), 8001000), {from: -8, to: 12, points: 4001});
const rounded = (span) => Object.fromEntries(Object.entries(span).map(([k, v]) => [k, Number(v.toFixed(9))]));
Check('the wide band short of 0 Hz', rounded(SpanOfView('wideBand', sweepOf(100, 700), 300)), {from: -0.26, to: 0.46, points: 4001});
Check('the other views take the default span', SpanOfView('groupDelay', sweepOf(1, 2), 0), {});
const depths = Array.from({length: 1000}, (_, k) => -k / 10);
Check('the floor 20 dB under the deepest but half a percent', AttenuationFloor([...depths, null]), -119.4);
Check('the floor never below -120 dB', AttenuationFloor(depths.map((v) => v * 3)), -120);
Check('the delay in µs below 1000 µs, in ms from there', [DelayScale([[0, 999], [1, null]]).unit, DelayScale([[0, -1000]]).unit], ['us', 'ms']);
Check('the return loss of a sweep', CurveOfView(ViewOf('returnLoss'), {points: [{frequencyHz: 1500, s11Db: -20}, {frequencyHz: 3000, s11Db: null}]}, 1000),
      [[0.5, 20], [2, null]]);

// The overlays as the window fills them: five slots, the sixth curve starts a new set; outside
// overlay mode a curve replaces the first and keeps the others.
const filled = (state) => state.slots.map((slot) => slot ?? '-').join('');
let state = {slots: Array(5).fill(null), count: 0};
const after = [];
for (const curve of 'abcdef') {
    state = NextOverlays(state, true, curve);
    after.push(filled(state));
}
Check('six overlaid curves', after, ['a----', 'ab---', 'abc--', 'abcd-', 'abcde', 'f----']);
Check('a curve outside overlay mode', filled(NextOverlays({slots: ['a', 'b', null, null, null], count: 2}, false, 'x')), 'xb---');
Check('the status text renumbered', [StatusTextAt('АЧХ1: B04-3100;', 2), StatusTextAt('Curve 1: Ch4-500 exact;', 4)],
      ['АЧХ3: B04-3100;', 'Curve 5: Ch4-500 exact;']);
Check('the time figures, a dash for one not reached, the gap when keyed',
      TimeFigureCells({delayMs: 0.34159, riseMs: 0.3, overshootPct: 9.48, decay20Ms: null, decay40Ms: 1.27, interDotDb: -80}, true, ','),
      [['delayMs', '0,342'], ['riseMs', '0,300'], ['overshootPct', '9,5'], ['decay20Ms', '—'], ['decay40Ms', '1,270'], ['interDotDb', '-80,0']]);

const [enginePath, cliPath] = process.argv.slice(2);
if (enginePath) {
    const engine = await createRequire(import.meta.url)(path.resolve(enginePath))();
    const calculate = (request) => JSON.parse(engine.ccall('feldan_calculate', 'string', ['string'], [JSON.stringify(request)]));
    const curve = (request) => JSON.parse(engine.ccall('feldan_curve', 'string', ['string'], [JSON.stringify(request)]));
    const ascending = (points) => points.every((p, i) => i === 0 || p[0] > points[i - 1][0]);
    // Every topology with a few responses: the curve's length is the JSON's count.
    for (const {topology, order} of Topologies) {
        for (const response of ['1', '4', 'chebyshev:0.5', 'bessel', 'linear-phase:0.5']) {
            const request = RequestOfDesign({...StartDesign, topology, order, response, df: '1500'}, 'en', '.');
            const points = curve(request), result = calculate(request);
            const name = `${topology} ${order} ${response}`;
            Check(`points of ${name}`, points.length, result.points);
            if (points.length > 0) Check(`${name} ascends in x`, ascending(points), true);
        }
    }
    // Design files: what is written reads back as the same design; what a file cannot hold or is
    // not a file is refused in the request's language, naming the file.
    const files = EngineOf(engine);
    for (const design of [{type: 5, response: '4', fo: '4915,2', ck: '75', exact: false},
                          {topology: 'ladder', order: 9, response: 'chebyshev:0.3', exact: true}]) {
        const request = {...design, df: '700', lang: 'en'};
        for (const [kind, write, read] of [['fdn', files.writeDesign, files.readDesign], ['feldan', files.writeProject, files.readProject]]) {
            if (kind === 'fdn' && design.topology) continue;
            const back = read(write(request).bytes, {name: 'a.' + kind}).design;
            Check(`a .${kind} of ${JSON.stringify(design)} read back`,
                  Object.fromEntries(Object.keys(request).filter((k) => k !== 'lang').map((k) => [k, back[k]])),
                  Object.fromEntries(Object.entries(request).filter(([k]) => k !== 'lang')));
        }
    }
    Check('a design beyond the .fdn lists', files.writeDesign({topology: 'ladder', order: 9, lang: 'en'}).error?.includes('.feldan'), true);
    Check('a .fdn keeps the reserved lines of the file opened',
          new TextDecoder().decode(files.writeDesign({df: '500'}, new TextEncoder().encode('1\r\n2\r\n3\r\n4\r\n5\r\nsix\r\nseven\r\n')).bytes).split('\r\n').slice(5, 7),
          ['six', 'seven']);
    // A project's crystals are not the page's to use, but a save keeps them.
    const project = JSON.parse(new TextDecoder().decode(files.writeProject({df: '500'}).bytes));
    project.crystals = [{name: 'Q7', fsHz: 8861000, lmH: 0.0101, cmF: 1 / ((2 * Math.PI * 8861000) ** 2 * 0.0101), rmOhm: 5.7, c0F: 6.3e-12}];
    const withCrystal = new TextEncoder().encode(JSON.stringify(project));
    Check('a project with crystals is more than its design', files.readProject(withCrystal, {}).beyondDesign, true);
    const resaved = JSON.parse(new TextDecoder().decode(files.writeProject({df: '2400'}, withCrystal).bytes));
    Check('a project saved over its crystals', [resaved.crystals.map((c) => c.name), resaved.design.Df], [['Q7'], '2400']);
    Check('a project that is no JSON', files.readProject(new TextEncoder().encode('{"format": '), {name: 'b.feldan', lang: 'en'}).error.startsWith('b.feldan'), true);
    Check('a .fdn whose type is no number', files.readDesign(new TextEncoder().encode('1\r\n'.repeat(9) + 'x\r\n1\r\n'), {name: 'c.fdn', lang: 'en'}).error,
          "c.fdn: 'x' is not a valid integer value");
    // The time view: a step settles at 1, within the span the window draws; the keyed view has
    // its keying beside the output; time options that are none are refused naming the key.
    const step = files.timeCurve(StartDesign, 'step');
    Check('the step settles at 1', Math.abs(step.output.at(-1) - 1) < 0.01, true);
    Check('the step starts at 0 and has its figures', [Math.abs(step.output[0]) < 0.01, step.figures.delayMs > 0], [true, true]);
    const keyed = files.timeCurve(StartDesign, {kind: 'keyed', wpm: 40});
    Check('the keying beside the output', keyed.input.length === keyed.output.length && keyed.input.reduce((a, b) => Math.max(a, b)) === 1, true);
    for (const [options, key] of [[{kind: 'ramp'}, 'kind'], [{kind: 'step', wpm: 30}, 'wpm'], [{window: 'kaiser:x'}, 'window'],
                                  [{kind: 'keyed', wpm: 30, pulseMs: 5}, 'wpm'], [{speed: 1}, 'speed']]) {
        Check(`the time options ${JSON.stringify(options)}`, files.transient({lang: 'en'}, options).error?.split(':')[0], key);
    }
    Check('a measured file that is no Touchstone', files.measured({lang: 'en'}, new TextEncoder().encode('# Hz S RI R 50\n1 2\n'), {name: 'm.s2p'}).error?.startsWith('m.s2p'), true);
    // The schematic: the classic pictures' widths, every stroke and label inside the picture, a
    // crystal label for each crystal, the window's caption (C12 the last part feldan-cli's summary
    // of the 7-crystal Bessel ladder names: seven crystals and two series capacitors on the
    // line); none for a selection outside the lists.
    const widths = [170, 202, 306, 406, 240, 340, 440];
    for (let type = 1; type <= 7; type++) {
        const drawing = files.schematic({type});
        const inside = ([x, y]) => x >= 0 && x < drawing.width && y >= 0 && y < drawing.height;
        Check(`the schematic of type ${type}`, [drawing.width, drawing.strokes.every(([, x1, y1, x2, y2]) => inside([x1, y1]) && inside([x2, y2])),
                                               drawing.labels.every(([, x, y]) => inside([x, y])),
                                               drawing.labels.filter(([text]) => text.startsWith('ZQ')).length],
              [widths[type - 1], true, true, [3, 4, 6, 8, 4, 6, 8][type - 1]]);
    }
    const apart = files.schematic({topology: 'ladder', order: 7, response: 'bessel'});
    Check('a 7-crystal Bessel ladder has its ends apart', [apart.endsApart, apart.width, SchematicCaption(apart, Words.ru)],
          [true, 59 + 32 * 9 + 32, 'Схема 7-кристального фильтра; на входе Rвх∥C1, на выходе Rвых∥C12']);
    Check('the caption of a classic CW filter', SchematicCaption(files.schematic({type: 5}), Words.ru),
          'Схема 4-х кристального телеграфного фильтра; Ck уже в её конденсаторах');
    Check('no schematic outside the lists', files.schematic({topology: 'ladder', order: 13}).width ?? 0, 0);
    // The curve of a design asked first, and of one that is refused.
    const exact = RequestOfDesign({...StartDesign, exact: true}, 'ru', ',');
    Check('the curve before the summary', curve(exact).length, calculate(exact).points);
    Check('no curve of a refused design', curve({fo: 'abc'}), []);
    Check('a request that is none', Object.keys(curve({fo: 'abc', crystals: 1})), ['error']);
    if (cliPath) {
        const folder = mkdtempSync(path.join(tmpdir(), 'feldan-page-'));
        for (const design of [StartDesign, {...StartDesign, topology: 'cw', order: 6, response: '2', ck: '82', df: '500'},
                              {...StartDesign, order: 9, response: 'chebyshev:0,3', fo: '10700,5', exact: true}]) {
            for (const lang of ['ru', 'en']) {
                const request = RequestOfDesign(design, lang, ',');
                const csv = path.join(folder, 'curve.csv');
                const args = Object.entries(request).map(([key, value]) => value === true ? `--${key}` : `--${key}=${value}`);
                const cli = spawnSync(cliPath, [...args, '--curve', csv], {encoding: 'utf8'});
                const name = HashOfDesign(design) + ' ' + lang;
                Check(`the summary of ${name}`, calculate(request).resultText + '\n', cli.stdout);
                const rows = readFileSync(csv, 'utf8').trim().split('\n').slice(1).map((row) => row.split(',').map(Number));
                const points = curve(request);
                const worst = rows.reduce((most, [x, y], i) => Math.max(most, Math.abs(points[i][0] - x),
                                                                         Math.abs(points[i][1] - y) / Math.max(1, Math.abs(y))), 0);
                Check(`the curve of ${name} as feldan-cli --curve`, [points.length, worst < 1e-9], [rows.length, true]);
            }
        }
        rmSync(folder, {recursive: true});
    }
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
