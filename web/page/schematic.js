// The schematic of the chosen design as inline SVG, drawn from the strokes the engine gives
// (feldan_schematic): the window paints the same strokes.
const svgNs = 'http://www.w3.org/2000/svg';

const SchematicStyle = `
line, rect, circle { stroke: #000; stroke-width: 1; fill: none; }
.white { stroke: #fff; }
circle { fill: #fff; }
circle.filled { fill: #000; }
text { font: 11px Arial, "Liberation Sans", sans-serif; fill: #000; }`;

// The window's hint of the picture, in the page's `words`: the filter, where Rвх and Rвых go
// for ends apart, and where a CW ladder's Ck went.
export function SchematicCaption(drawing, words) {
    if (!drawing || !drawing.width) return '';
    const classic = drawing.circuit >= 1 && drawing.circuit <= words.schematicClassic.length;
    let caption = classic ? words.schematicClassic[drawing.circuit - 1]
                          : words.schematicOf(drawing.crystals, drawing.cw);
    if (drawing.endsApart) {
        const parts = drawing.labels.map(([text]) => text).filter((text) => !(text in words.terminations));
        caption += words.endsAt(parts[0], parts[parts.length - 1]);
    }
    return drawing.cw ? caption + words.ckInside : caption;
}

function Element(name, attributes, parent) {
    const element = document.createElementNS(svgNs, name);
    for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
    parent.appendChild(element);
    return element;
}

// Draws `drawing` into `svg`, at `scale` pixels per pixel of the picture; `names` gives the
// terminations' labels ({Rin, Rout}) in the page's language. The one-pixel strokes sit on the
// pixels' middles, as the window's.
export function DrawSchematic(svg, drawing, names, scale = 1) {
    svg.replaceChildren();
    if (!drawing || !drawing.width) return;
    Element('style', {}, svg).textContent = SchematicStyle;
    svg.setAttribute('viewBox', `0 0 ${drawing.width} ${drawing.height}`);
    svg.setAttribute('width', Math.round(drawing.width * scale));
    svg.setAttribute('height', Math.round(drawing.height * scale));
    Element('rect', {x: 0, y: 0, width: drawing.width, height: drawing.height, style: 'fill: #fff; stroke: none'}, svg);
    const half = (value) => value + 0.5;
    for (const [kind, x1, y1, x2, y2, r, white, filled] of drawing.strokes) {
        if (kind === 'line') {
            // A line of pixels from one end to the other, both ends included.
            const dx = Math.sign(x2 - x1) * 0.5, dy = Math.sign(y2 - y1) * 0.5;
            const attributes = {x1: half(x1) - dx, y1: half(y1) - dy, x2: half(x2) + dx, y2: half(y2) + dy};
            if (x1 === x2 && y1 === y2) Object.assign(attributes, {x1: x1, x2: x1 + 1});
            if (white) attributes.class = 'white';
            Element('line', attributes, svg);
        } else if (kind === 'rect') {
            Element('rect', {x: half(x1), y: half(y1), width: x2 - x1, height: y2 - y1}, svg);
        } else {
            Element('circle', {cx: half(x1), cy: half(y1), r, ...(filled ? {class: 'filled'} : {})}, svg);
        }
    }
    for (const [text, x, y, align, edge] of drawing.labels) {
        const label = Element('text', {x, y, 'text-anchor': align,
                                       'dominant-baseline': edge === 'top' ? 'hanging' : 'alphabetic'}, svg);
        label.textContent = names[text] ?? text;
    }
}
