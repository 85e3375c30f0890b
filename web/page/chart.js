// The chart of every view: the curve as inline SVG, with round ticks, the axes' titles in the
// page's language and a readout of the value under the pointer in the view's unit. Its style
// lives inside the SVG, so that a saved .svg or .png looks as the page shows it.
import {FormatNumber, NearestIndex, RoundRange, TickDecimals, TickStep, Ticks} from './numbers.js';

const svgNs = 'http://www.w3.org/2000/svg';

const ChartStyle = `
.grid line { stroke: #e3e7ed; stroke-width: 1; }
.frame { fill: none; stroke: #8a94a3; stroke-width: 1; }
text { font-family: system-ui, -apple-system, "Segoe UI", Roboto, sans-serif; }
.ticks text { font-size: 12px; fill: #5b6676; }
.title { font-size: 13px; fill: #1d2430; }
.curve { fill: none; stroke: #1f5fbf; stroke-width: 1.6; }
.legend rect { fill: rgba(255, 255, 255, 0.9); stroke: #d5dbe3; }
.legend text { font-size: 12px; fill: #1d2430; }
.marker line { stroke: #c0392b; stroke-dasharray: 3 3; }
.marker circle { fill: #c0392b; }
.selection { fill: rgba(31, 95, 191, 0.12); stroke: #1f5fbf; stroke-dasharray: 4 2; }`;

function Element(name, attributes, parent) {
    const element = document.createElementNS(svgNs, name);
    for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
    if (parent) parent.appendChild(element);
    return element;
}

// Draws `curves` ({points: [x, y] ascending in x, y null where there is none; colour; name})
// into `svg`, `width` by `height` pixels, with a legend of the named ones where there are two or
// more (in their legendOrder); `readout` shows the point of the first curve under the pointer. `axes` gives xTitle,
// yTitle, xUnit, yUnit and optionally yFloor, the lowest y shown, and xRange, the span of x
// zoomed into. A drag across the plot, the wheel over it and a double click ask `onZoom` for a
// span ([from, to]) or for all of it (null).
export function DrawChart(svg, readout, curves, axes, separator, width, height, onZoom = () => {}) {
    svg.replaceChildren();
    Element('style', {}, svg).textContent = ChartStyle;
    svg.setAttribute('viewBox', `0 0 ${width} ${height}`);
    svg.setAttribute('width', width);
    svg.setAttribute('height', height);
    readout.textContent = '';
    curves = curves.filter((curve) => curve.points.length >= 2);
    if (curves.length === 0) return;
    const points = curves[0].points;
    const left = 58, right = 14, top = 12, bottom = 46;
    const plotWidth = width - left - right, plotHeight = height - top - bottom;
    const xCount = Math.max(3, Math.round(plotWidth / 90)), yCount = Math.max(3, Math.round(plotHeight / 45));
    // A measured sweep wider than the design's span is cut to the design's (xSpanOfFirst).
    let left0 = points[0][0], right0 = points[points.length - 1][0];
    if (!axes.xSpanOfFirst) {
        for (const curve of curves) {
            left0 = Math.min(left0, curve.points[0][0]);
            right0 = Math.max(right0, curve.points[curve.points.length - 1][0]);
        }
    }
    const full = [left0, right0];
    if (axes.xRange) [left0, right0] = [Math.max(left0, axes.xRange[0]), Math.min(right0, axes.xRange[1])];
    const [x0, x1] = axes.xRange ? [left0, right0] : RoundRange(left0, right0, xCount);
    let low = Infinity, high = -Infinity;
    for (const curve of curves) {
        for (const [x, y] of curve.points) {
            if (y === null || x < left0 || x > right0) continue;
            low = Math.min(low, y);
            high = Math.max(high, y);
        }
    }
    if (axes.yFloor !== undefined && axes.yFloor < high) low = Math.max(low, axes.yFloor);
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
            svg).textContent = axes.xTitle;
    Element('text', {class: 'title', 'text-anchor': 'middle',
                     transform: `translate(14 ${top + plotHeight / 2}) rotate(-90)`}, svg)
        .textContent = axes.yTitle;

    // A gap where there is no value; a value below the floor is drawn on it. The first curve is
    // drawn last, over the others.
    const plot = Element('g', {}, svg);
    Element('clipPath', {id: 'plot-area'}, plot).appendChild(
        Element('rect', {x: left, y: top, width: plotWidth, height: plotHeight}));
    for (const curve of [...curves].reverse()) {
        let path = '', drawing = false;
        for (const [x, y] of curve.points) {
            if (y === null) {
                drawing = false;
                continue;
            }
            // The other curves run out of the plot and are clipped there.
            const shown = curve === curves[0] ? Math.max(y, y0) : Math.max(y, y0 - (y1 - y0));
            path += (drawing ? 'L' : 'M') + X(x).toFixed(1) + ' ' + Y(shown).toFixed(1);
            drawing = true;
        }
        const attributes = {class: curve === curves[0] ? 'curve' : 'curve other', d: path,
                            'clip-path': 'url(#plot-area)'};
        if (curve.colour) attributes.style = `stroke: ${curve.colour}`;
        Element('path', attributes, plot);
    }
    const named = curves.filter((curve) => curve.name)
        .sort((a, b) => (a.legendOrder ?? 0) - (b.legendOrder ?? 0));
    if (named.length >= 2) {
        const legend = Element('g', {class: 'legend'}, svg);
        const rowHeight = 16;
        const longest = Math.max(...named.map((curve) => curve.name.length));
        const boxWidth = Math.min(plotWidth - 8, 30 + longest * 6.6);
        const box = Element('rect', {x: left + plotWidth - boxWidth - 4, y: top + 4, width: boxWidth,
                                     height: named.length * rowHeight + 6}, legend);
        const x = Number(box.getAttribute('x'));
        named.forEach((curve, i) => {
            const y = top + 4 + 3 + rowHeight * i + rowHeight / 2;
            Element('line', {x1: x + 6, x2: x + 22, y1: y, y2: y, style: `stroke: ${curve.colour ?? '#1f5fbf'}; stroke-width: 2`}, legend);
            Element('text', {x: x + 27, y: y + 4}, legend).textContent = curve.name;
        });
    }

    const marker = Element('g', {class: 'marker', visibility: 'hidden'}, svg);
    const markerLine = Element('line', {y1: top, y2: top + plotHeight}, marker);
    const markerDot = Element('circle', {r: 3.5}, marker);
    const selection = Element('rect', {class: 'selection', y: top, height: plotHeight, width: 0, visibility: 'hidden'}, svg);
    const PlotX = (event) => {
        const box = svg.getBoundingClientRect();
        return ((event.clientX - box.left) / box.width) * width;
    };
    const XOf = (px) => x0 + ((Math.min(Math.max(px, left), left + plotWidth) - left) / plotWidth) * (x1 - x0);
    const Hide = () => {
        marker.setAttribute('visibility', 'hidden');
        readout.textContent = '';
    };
    const Show = (px) => {
        if (px < left || px > left + plotWidth) return Hide();
        const [x, y] = points[NearestIndex(points, XOf(px))];
        if (y === null) return Hide();
        markerLine.setAttribute('x1', X(x));
        markerLine.setAttribute('x2', X(x));
        markerDot.setAttribute('cx', X(x));
        marker.setAttribute('visibility', 'visible');
        markerDot.setAttribute('cy', Y(Math.max(y, y0)));
        readout.textContent = `${FormatNumber(x, 3, separator)} ${axes.xUnit}   ` +
                              FormatNumber(y, 3, separator) + (axes.yUnit ? ` ${axes.yUnit}` : '');
    };
    // A span inside the curves' own, or all of it where it reaches both ends.
    const Zoom = (from, to) => {
        from = Math.max(from, full[0]);
        to = Math.min(to, full[1]);
        onZoom(from <= full[0] && to >= full[1] ? null : [from, to]);
    };
    let dragFrom = null;
    svg.onpointerdown = (event) => {
        const px = PlotX(event);
        Show(px);
        if (event.button !== 0 || px < left || px > left + plotWidth) return;
        dragFrom = px;
        svg.setPointerCapture?.(event.pointerId);
    };
    svg.onpointermove = (event) => {
        const px = PlotX(event);
        Show(px);
        if (dragFrom === null) return;
        const [a, b] = [Math.min(dragFrom, px), Math.max(dragFrom, px)].map((v) => Math.min(Math.max(v, left), left + plotWidth));
        selection.setAttribute('x', a);
        selection.setAttribute('width', b - a);
        selection.setAttribute('visibility', 'visible');
    };
    svg.onpointerup = (event) => {
        if (dragFrom === null) return;
        const [from, px] = [dragFrom, PlotX(event)];
        dragFrom = null;
        selection.setAttribute('visibility', 'hidden');
        // A click is no drag: the readout stays where it was put.
        if (Math.abs(px - from) >= 6) Zoom(XOf(Math.min(from, px)), XOf(Math.max(from, px)));
    };
    svg.onpointercancel = () => {
        dragFrom = null;
        selection.setAttribute('visibility', 'hidden');
    };
    svg.onpointerleave = () => { if (dragFrom === null) Hide(); };
    // The wheel zooms about the value under the pointer, a notch by a quarter.
    svg.onwheel = (event) => {
        const px = PlotX(event);
        if (px < left || px > left + plotWidth || event.deltaY === 0) return;
        event.preventDefault();
        const at = XOf(px), factor = event.deltaY > 0 ? 1.25 : 0.8;
        Zoom(at - (at - x0) * factor, at + (x1 - at) * factor);
    };
    svg.ondblclick = () => onZoom(null);
}

// The chart as a standalone SVG file's text.
export function SvgText(svg) {
    const copy = svg.cloneNode(true);
    copy.querySelector('.marker')?.remove();
    copy.querySelector('.selection')?.remove();
    return '<?xml version="1.0" encoding="UTF-8"?>\n' + new XMLSerializer().serializeToString(copy);
}

// The chart as a PNG, at twice its size for a sharp print: a Promise of a Blob.
export function PngBlob(svg) {
    const width = Number(svg.getAttribute('width')), height = Number(svg.getAttribute('height'));
    const url = URL.createObjectURL(new Blob([SvgText(svg)], {type: 'image/svg+xml'}));
    return new Promise((resolve, reject) => {
        const image = new Image();
        image.onload = () => {
            const canvas = document.createElement('canvas');
            canvas.width = width * 2;
            canvas.height = height * 2;
            const context = canvas.getContext('2d');
            context.fillStyle = '#fff';
            context.fillRect(0, 0, canvas.width, canvas.height);
            context.drawImage(image, 0, 0, canvas.width, canvas.height);
            URL.revokeObjectURL(url);
            canvas.toBlob((blob) => (blob ? resolve(blob) : reject(new Error('no PNG'))), 'image/png');
        };
        image.onerror = () => {
            URL.revokeObjectURL(url);
            reject(new Error('the chart did not render'));
        };
        image.src = url;
    });
}
