// The chart's views: the pass band of the calculation, and the quantities of a sweep of the
// designed filter, as the window's Анализ menu shows them, and the overlaid calculations. No DOM
// here, so that Node can test it.
import {FormatNumber} from './numbers.js';

// Each view: its words' key, and for a quantity view how its sweep's points become the curve;
// the time views (step, keyed CW) come from the engine's transient, with the figures under them.
export const Views = [
    {name: 'passBand'},
    {name: 'wideBand', value: (point) => point.s21Db, unit: 'dB', floorsAtDepth: true},
    {name: 'groupDelay', value: (point) => point.groupDelayS === null ? null : point.groupDelayS * 1e6, unit: 'us'},
    {name: 'returnLoss', value: (point) => point.s11Db === null ? null : -point.s11Db, unit: 'dB'},
    {name: 'step', time: 'step'},
    {name: 'keyed', time: 'keyed'},
];

export const ViewOf = (name) => Views.find((view) => view.name === name) ?? Views[0];

// The span of a view, as the window sweeps it: the wide band reaches ten band widths either side
// of the middle of the sweep's default span (three either side of the band's middle), short of
// 0 Hz, in 4001 points; the other quantity views take the default span itself.
export function SpanOfView(name, defaultSweep, foHz) {
    if (name !== 'wideBand') return {};
    const points = defaultSweep.points;
    const fromHz = points[0].frequencyHz, toHz = points[points.length - 1].frequencyHz;
    const middleHz = (fromHz + toHz) / 2;
    const wideHz = Math.min((10 * (toHz - fromHz)) / 6, 0.9 * middleHz);
    const middleKHz = (middleHz - foHz) / 1000;
    return {from: middleKHz - wideHz / 1000, to: middleKHz + wideHz / 1000, points: 4001};
}

// The curve of a quantity view over a sweep: [detuning_kHz, value] in ascending x, null where
// the circuit has no solution.
export function CurveOfView(view, sweep, foHz) {
    return sweep.points.map((point) => [(point.frequencyHz - foHz) / 1000, view.value(point)]);
}

// The lowest attenuation the wide band shows: 20 dB below the depth that all but the deepest
// half percent of the points reach, and never below −120 dB, so a null's spike does not squash
// the skirts.
export function AttenuationFloor(values) {
    const finite = values.filter((v) => v !== null && Number.isFinite(v)).sort((a, b) => a - b);
    if (finite.length === 0) return -120;
    return Math.max(finite[Math.floor(finite.length / 200)] - 20, -120);
}

// The unit a group delay reads best in: milliseconds where it reaches 1000 µs, as a narrow
// filter's does; the values in that unit.
export function DelayScale(points) {
    const largest = points.reduce((most, [, y]) => (y === null ? most : Math.max(most, Math.abs(y))), 0);
    return largest >= 1000 ? {unit: 'ms', factor: 1e-3} : {unit: 'us', factor: 1};
}

// The curve of samples `dtMs` apart from t = 0: [t_ms, value].
export function CurveOfSamples(values, dtMs) {
    return values.map((value, i) => [i * dtMs, value]);
}

// The figures under a time view, as the window's table shows them: [key, text] in its columns'
// order, a dash for a figure the response does not reach; the gap between dots for keyed only.
export function TimeFigureCells(figures, keyed, separator) {
    const cell = (value, decimals) => value === null || value === undefined || !Number.isFinite(value)
        ? '—' : FormatNumber(value, decimals, separator);
    const cells = [['delayMs', cell(figures.delayMs, 3)], ['riseMs', cell(figures.riseMs, 3)],
                   ['overshootPct', cell(figures.overshootPct, 1)], ['decay20Ms', cell(figures.decay20Ms, 3)],
                   ['decay40Ms', cell(figures.decay40Ms, 3)]];
    if (keyed) cells.push(['interDotDb', cell(figures.interDotDb, 1)]);
    return cells;
}

// The overlays' slots as the window fills them: outside overlay mode the next curve replaces
// the first; in it each curve takes the next of five slots, and the sixth starts a new set. A
// refused calculation keeps what is there. `state`: {slots: [5 × curve or null], count, latest:
// the slot of the last curve}.
export const OverlaySlots = 5;

export function NextOverlays(state, overlay, curve) {
    const slots = [...state.slots];
    let count = state.count;
    if (!overlay) slots[0] = null;
    if (count > OverlaySlots - 1) count = 0;
    if (count === 0) slots.fill(null);
    const latest = overlay ? count : 0;
    slots[latest] = curve;
    return {slots, count: count + 1, latest};
}

// "АЧХ1: …" of the engine's status text, renumbered for the slot at `position`.
export function StatusTextAt(statusText, position) {
    return statusText.replace(/^(АЧХ|Curve )1: /, (_, curve) => `${curve}${position + 1}: `);
}
