// The chart's views: the pass band of the calculation, and the quantities of a sweep of the
// designed filter, as the window's Анализ menu shows them. No DOM here, so that Node can test it.

// Each view: its words' key, and for a quantity view how its sweep's points become the curve.
// The time views (step, keyed CW) come from the engine's transient, not from a sweep; their
// place is kept here, shown once window.feldan.transient exists.
export const Views = [
    {name: 'passBand'},
    {name: 'wideBand', value: (point) => point.s21Db, unit: 'dB', floorsAtDepth: true},
    {name: 'groupDelay', value: (point) => point.groupDelayS === null ? null : point.groupDelayS * 1e6, unit: 'us'},
    {name: 'returnLoss', value: (point) => point.s11Db === null ? null : -point.s11Db, unit: 'dB'},
    // {name: 'step', time: true}, {name: 'keyed', time: true}: from feldan_transient, later.
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
