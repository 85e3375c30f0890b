// The design in the page's address, #fo=…&ld=…&topology=ladder&order=4&response=1&…, under the
// keys of the engine's JSON request, so that a link opens the same design. No DOM here.

// The window's start state.
export const StartDesign = Object.freeze({
    fo: '8861.736',
    ld: '10.1',
    cs: '6.3',
    rd: '5.7',
    ck: '91',
    df: '3100',
    level: '-3',
    topology: 'ladder',
    order: 4,
    response: '1',
    exact: false,
    capacitor: '',
});

const FieldKeys = ['fo', 'ld', 'cs', 'rd', 'ck', 'df', 'level'];
// The classic types 1 to 7 as a structure and a crystal count.
const ClassicTypes = [['ladder', 3], ['ladder', 4], ['ladder', 6], ['ladder', 8],
                      ['cw', 4], ['cw', 6], ['cw', 8]];
const Responses = /^([1-5]|butterworth|bessel|legendre|gaussian|gaussian6|gaussian12|linear-phase:0\.05|linear-phase:0\.5|cohn|chebyshev:.+)$/;

// Whether every coupling of the design is one capacitor (QER, or the Cohn response of a plain
// ladder), so that it may be designed around a capacitor given.
export function IsEqualCapacitor(design) {
    return design.topology === 'qer' || (design.topology === 'ladder' && design.response === 'cohn');
}

// Whether `order` makes a ladder of `topology`: 2 to 12 crystals plain, 4 to 12 even for CW,
// 4 to 12 poles for QER.
export function IsTopology(topology, order) {
    if (!Number.isInteger(order)) return false;
    if (topology === 'ladder') return order >= 2 && order <= 12;
    if (topology === 'cw') return order >= 4 && order <= 12 && order % 2 === 0;
    if (topology === 'qer') return order >= 4 && order <= 12;
    return false;
}

// The design an address's fragment names: what it does not say, or says wrongly, stays as in
// `base`.
export function DesignFromHash(hash, base = StartDesign) {
    const design = {...base};
    const text = hash.startsWith('#') ? hash.slice(1) : hash;
    const found = {};
    for (const pair of text.split('&')) {
        const equals = pair.indexOf('=');
        if (equals <= 0) continue;
        try {
            found[decodeURIComponent(pair.slice(0, equals))] =
                decodeURIComponent(pair.slice(equals + 1));
        } catch {
            // A broken %-escape names nothing.
        }
    }
    for (const key of FieldKeys) {
        if (typeof found[key] === 'string') design[key] = found[key];
    }
    if (/^[1-7]$/.test(found.type || '')) {
        [design.topology, design.order] = ClassicTypes[Number(found.type) - 1];
    }
    const order = /^\d+$/.test(found.order || '') ? Number(found.order) : NaN;
    if (IsTopology(found.topology, order)) [design.topology, design.order] = [found.topology, order];
    if (Responses.test(found.response || '')) design.response = found.response;
    if ('exact' in found) design.exact = found.exact === '1' || found.exact === 'true';
    if (typeof found.capacitor === 'string') design.capacitor = found.capacitor;
    return design;
}

// A value as the fragment holds it: escaped where it must be, but ':' and ',' kept readable.
function Escaped(value) {
    return encodeURIComponent(String(value)).replace(/%3A/gi, ':').replace(/%2C/gi, ',');
}

// The fragment of a design, "#fo=…&…"; Ck only for a CW ladder, the one that uses it.
export function HashOfDesign(design) {
    const pairs = [['fo', design.fo], ['ld', design.ld], ['cs', design.cs], ['rd', design.rd]];
    if (design.topology === 'cw') pairs.push(['ck', design.ck]);
    pairs.push(['df', design.df], ['level', design.level], ['topology', design.topology],
               ['order', design.order], ['response', design.response],
               ['exact', design.exact ? 1 : 0]);
    if (IsEqualCapacitor(design) && design.capacitor) pairs.push(['capacitor', design.capacitor]);
    return '#' + pairs.map(([key, value]) => key + '=' + Escaped(value)).join('&');
}

// The engine's request of a design (keyed as feldan-cli's long options), in a language and
// with a decimal separator for the summary.
export function RequestOfDesign(design, lang, separator) {
    const request = {
        topology: design.topology,
        order: design.order,
        response: design.response,
        fo: design.fo,
        ld: design.ld,
        cs: design.cs,
        rd: design.rd,
        df: design.df,
        level: design.level,
    };
    if (design.topology === 'cw') request.ck = design.ck;
    if (design.exact) request.exact = true;
    if (IsEqualCapacitor(design) && design.capacitor) request.capacitor = design.capacitor;
    request.lang = lang;
    request.separator = separator;
    return request;
}
