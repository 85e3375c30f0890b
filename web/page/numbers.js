// Numbers as the page shows them: the decimal separator of the reader's locale, and the round
// ticks of the chart's axes. No DOM here, so that Node can test it.

// "," or ".": the decimal separator of `locale` (a BCP 47 tag), as the window takes the system's.
export function SeparatorOf(locale) {
    try {
        const parts = new Intl.NumberFormat(locale).formatToParts(1.5);
        const decimal = parts.find((part) => part.type === 'decimal');
        return decimal && decimal.value === ',' ? ',' : '.';
    } catch {
        return '.';
    }
}

// `value` with `decimals` figures after the separator; a minus sign that rounding leaves on a
// zero is dropped.
export function FormatNumber(value, decimals, separator = '.') {
    let text = value.toFixed(decimals);
    if (/^-0(\.0*)?$/.test(text)) text = text.slice(1);
    return separator === ',' ? text.replace('.', ',') : text;
}

// The step between round ticks, 1, 2 or 5 times a power of ten, that cuts [low, high] into
// about `count` parts.
export function TickStep(low, high, count = 6) {
    const span = Math.abs(high - low);
    if (!(span > 0) || !Number.isFinite(span)) return 1;
    const rough = span / Math.max(1, count);
    const power = 10 ** Math.floor(Math.log10(rough));
    const scaled = rough / power;
    const factor = scaled < 1.5 ? 1 : scaled < 3.5 ? 2 : scaled < 7.5 ? 5 : 10;
    return factor * power;
}

// The round ticks within [low, high] (ends included where they are round), in ascending order.
export function Ticks(low, high, count = 6) {
    if (high < low) [low, high] = [high, low];
    const step = TickStep(low, high, count);
    const ticks = [];
    // Ticks are counted in whole steps, so that 0.1 + 0.2 never shows as 0.30000000000000004.
    const first = Math.ceil(low / step - 1e-9), last = Math.floor(high / step + 1e-9);
    for (let k = first; k <= last; k++) ticks.push(Number((k * step).toPrecision(12)));
    return ticks;
}

// The decimals a tick label needs for ticks `step` apart.
export function TickDecimals(step) {
    return Math.max(0, -Math.floor(Math.log10(step) + 1e-9));
}

// [low, high] widened to the ticks just outside them, so that the curve ends on a gridline.
export function RoundRange(low, high, count = 6) {
    if (!(high > low)) return [low - 1, high + 1];
    const step = TickStep(low, high, count);
    return [Math.floor(low / step + 1e-9) * step, Math.ceil(high / step - 1e-9) * step];
}

// The index of the point of `points` (ascending in x) nearest to x.
export function NearestIndex(points, x) {
    let low = 0, high = points.length - 1;
    if (high < 0) return -1;
    while (high - low > 1) {
        const middle = (low + high) >> 1;
        if (points[middle][0] <= x) low = middle; else high = middle;
    }
    return Math.abs(points[high][0] - x) < Math.abs(points[low][0] - x) ? high : low;
}
