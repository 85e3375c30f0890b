// The pass-band chart: the curve as inline SVG, with round ticks, the axes' titles in the page's
// language and a readout of the value under the pointer.
import {FormatNumber, NearestIndex, RoundRange, TickDecimals, TickStep, Ticks} from './numbers.js';

const svgNs = 'http://www.w3.org/2000/svg';

function Element(name, attributes, parent) {
    const element = document.createElementNS(svgNs, name);
    for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
    if (parent) parent.appendChild(element);
    return element;
}

// Draws `points` ([x_kHz, y_dB], ascending in x) into `svg`, `width` by `height` pixels;
// `readout` shows the point under the pointer. `words` gives xAxis, yAxis, kHz, dB.
export function DrawChart(svg, readout, points, words, separator, width, height) {
    svg.replaceChildren();
    svg.setAttribute('viewBox', `0 0 ${width} ${height}`);
    svg.setAttribute('width', width);
    svg.setAttribute('height', height);
    readout.textContent = '';
    if (points.length < 2) return;
    const left = 58, right = 14, top = 12, bottom = 46;
    const plotWidth = width - left - right, plotHeight = height - top - bottom;
    const xCount = Math.max(3, Math.round(plotWidth / 90)), yCount = Math.max(3, Math.round(plotHeight / 45));
    let low = Infinity, high = -Infinity;
    for (const [, y] of points) {
        if (y === null) continue;
        low = Math.min(low, y);
        high = Math.max(high, y);
    }
    const [x0, x1] = RoundRange(points[0][0], points[points.length - 1][0], xCount);
    const [y0, y1] = RoundRange(low, high, yCount);
    const X = (x) => left + ((x - x0) / (x1 - x0)) * plotWidth;
    const Y = (y) => top + ((y1 - y) / (y1 - y0)) * plotHeight;

    const grid = Element('g', {class: 'grid'}, svg);
    const labels = Element('g', {class: 'ticks'}, svg);
    const xDecimals = TickDecimals(TickStep(x0, x1, xCount));
    for (const x of Ticks(x0, x1, xCount)) {
        Element('line', {x1: X(x), x2: X(x), y1: top, y2: top + plotHeight}, grid);
        Element('text', {x: X(x), y: top + plotHeight + 16, 'text-anchor': 'middle'}, labels)
            .textContent = FormatNumber(x, xDecimals, separator);
    }
    const yDecimals = TickDecimals(TickStep(y0, y1, yCount));
    for (const y of Ticks(y0, y1, yCount)) {
        Element('line', {x1: left, x2: left + plotWidth, y1: Y(y), y2: Y(y)}, grid);
        Element('text', {x: left - 6, y: Y(y) + 4, 'text-anchor': 'end'}, labels)
            .textContent = FormatNumber(y, yDecimals, separator);
    }
    Element('rect', {class: 'frame', x: left, y: top, width: plotWidth, height: plotHeight}, svg);
    Element('text', {class: 'title', x: left + plotWidth / 2, y: height - 8, 'text-anchor': 'middle'},
            svg).textContent = words.xAxis;
    Element('text', {class: 'title', 'text-anchor': 'middle',
                     transform: `translate(14 ${top + plotHeight / 2}) rotate(-90)`}, svg)
        .textContent = words.yAxis;

    let path = '';
    for (const [x, y] of points) {
        if (y === null) continue;
        path += (path ? 'L' : 'M') + X(x).toFixed(1) + ' ' + Y(y).toFixed(1);
    }
    Element('path', {class: 'curve', d: path}, svg);

    const marker = Element('g', {class: 'marker', visibility: 'hidden'}, svg);
    const markerLine = Element('line', {y1: top, y2: top + plotHeight}, marker);
    const markerDot = Element('circle', {r: 3.5}, marker);
    const Show = (event) => {
        const box = svg.getBoundingClientRect();
        const px = ((event.clientX - box.left) / box.width) * width;
        if (px < left || px > left + plotWidth) return Hide();
        const [x, y] = points[NearestIndex(points, x0 + ((px - left) / plotWidth) * (x1 - x0))];
        if (y === null) return Hide();
        markerLine.setAttribute('x1', X(x));
        markerLine.setAttribute('x2', X(x));
        markerDot.setAttribute('cx', X(x));
        markerDot.setAttribute('cy', Y(y));
        marker.setAttribute('visibility', 'visible');
        readout.textContent = `${FormatNumber(x, 3, separator)} ${words.kHz}   ` +
                              `${FormatNumber(y, 3, separator)} ${words.dB}`;
    };
    const Hide = () => {
        marker.setAttribute('visibility', 'hidden');
        readout.textContent = '';
    };
    svg.onpointermove = Show;
    svg.onpointerdown = Show;
    svg.onpointerleave = Hide;
}
