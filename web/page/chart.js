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
.marker circle { fill: #c0392b; }`;

function Element(name, attributes, parent) {
    const element = document.createElementNS(svgNs, name);
    for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
    if (parent) parent.appendChild(element);
    return element;
}

// Draws `curves` ({points: [x, y] ascending in x, y null where there is none; colour; name})
// into `svg`, `width` by `height` pixels, with a legend of the named ones where there are two or
// more (in their legendOrder); `readout` shows the point of the first curve under the pointer. `axes` gives xTitle,
// yTitle, xUnit, yUnit and optionally yFloor, the lowest y shown.
export function DrawChart(svg, readout, curves, axes, separator, width, height) {
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
    const [x0, x1] = RoundRange(left0, right0, xCount);
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
    const Show = (event) => {
        const box = svg.getBoundingClientRect();
        const px = ((event.clientX - box.left) / box.width) * width;
        if (px < left || px > left + plotWidth) return Hide();
        const [x, y] = points[NearestIndex(points, x0 + ((px - left) / plotWidth) * (x1 - x0))];
        if (y === null) return Hide();
        markerLine.setAttribute('x1', X(x));
        markerLine.setAttribute('x2', X(x));
        markerDot.setAttribute('cx', X(x));
        marker.setAttribute('visibility', 'visible');
        markerDot.setAttribute('cy', Y(Math.max(y, y0)));
        readout.textContent = `${FormatNumber(x, 3, separator)} ${axes.xUnit}   ` +
                              FormatNumber(y, 3, separator) + (axes.yUnit ? ` ${axes.yUnit}` : '');
    };
    const Hide = () => {
        marker.setAttribute('visibility', 'hidden');
        readout.textContent = '';
    };
    svg.onpointermove = Show;
    svg.onpointerdown = Show;
    svg.onpointerleave = Hide;
}

// The chart as a standalone SVG file's text.
export function SvgText(svg) {
    const copy = svg.cloneNode(true);
    copy.querySelector('.marker')?.remove();
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
