// SPDX-License-Identifier: MIT
// Between the page and its module: which of the two modules the browser runs, and everything the
// page reads from or writes into the module's memory. Texts cross as UTF-8 with a byte count;
// the window, which the module creates once, is named by its address in every call.

// A module of one function that returns a SIMD vector: valid where WebAssembly SIMD is.
const kSimdProbe = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2,
    1, 0, 10, 8, 1, 6, 0, 65, 0, 253, 15, 11]);

// The module with WebAssembly SIMD where the browser has it (every current one);
// ?core=plain or ?core=simd after the file's name forces one.
function chosenCore() {
    const forced = new URLSearchParams(location.search).get('core');
    if (forced === 'simd' || forced === 'plain') {
        return forced;
    }
    return WebAssembly.validate(kSimdProbe) ? 'simd' : 'plain';
}

class ModuleBridge {
    constructor() {
        this.module = null;
        this.window = 0;
        this.decoder = new TextDecoder();
        this.encoder = new TextEncoder();
        // The pane's font, for measuring its text.
        this.measure = document.createElement('canvas').getContext('2d');
        // Keys go through a Mac's key map on a Mac, an iPhone or an iPad.
        const platform = navigator.platform || navigator.userAgentData?.platform || '';
        this.mac = /^(mac|iphone|ipad|ipod)/i.test(platform);
    }

    // Calls the module's Web<name> on the window.
    call(name, ...args) {
        return this.module['_Web' + name](this.window, ...args);
    }

    heap() {
        return this.module.HEAPU8;
    }

    text(pointer, size) {
        const start = pointer >>> 0;
        return size === 0 ? ''
            : this.decoder.decode(this.heap().subarray(start, start + (size >>> 0)));
    }

    writeText(pointer, capacity, text) {
        const start = pointer >>> 0;
        const heap = this.heap();
        const { written } = this.encoder.encodeInto(text,
            heap.subarray(start, start + capacity - 1));
        heap[start + written] = 0;
    }

    // The box's new text, written straight into the window's copy of it.
    writeBoxText(id, value) {
        const bytes = this.encoder.encode(value);
        const pointer = this.call('BoxBuffer', id, bytes.length) >>> 0;
        this.heap().set(bytes, pointer);
    }

    // Where every control stands for a view `width` px wide, with a finger (`coarse`) or not: a
    // Map from identity to its place, the window's size, whether the layout is a finger's, and
    // its text sizes in px.
    placesForView(viewWidth, coarse) {
        const pointer = this.call('PlacesForView', viewWidth, coarse) >>> 0;
        const [count, width, height, touch, ...sizes] = new Int32Array(this.heap().buffer,
            pointer, 7);
        const [fontSize, paneFontSize, paneLineHeight] = sizes.map((size) => size / 100);
        const numbers = new Int32Array(this.heap().buffer, pointer + 28, 4 * count);
        const placed = new Map();
        for (let id = 0; id < count; ++id) {
            const [left, top, w, h] = numbers.subarray(4 * id, 4 * id + 4);
            placed.set(id, { left, top, width: w, height: h });
        }
        return { placed, width, height, touch: Boolean(touch), fontSize, paneFontSize,
            paneLineHeight };
    }

    paneLine(line) {
        const size = this.call('PaneLineSize', line) >>> 0;
        return this.text(this.call('PaneLine', line), size);
    }

    selectedText() {
        const pointer = this.call('PaneSelectedText');
        return this.text(pointer, this.call('PaneSelectedSize'));
    }

    // Where the model puts each of a line's cells, in px from the line's start.
    cellStarts(line) {
        const count = this.call('PaneCellCount', line) >>> 0;
        const pointer = this.call('PaneCellStarts', line) >>> 0;
        return Array.from(new Float64Array(this.heap().buffer, pointer, count));
    }

    // The piece of a line to draw for x from `left` to `right` in the line (all of a short
    // line): its text, the column it starts at, where each of its cells starts (the first where
    // the piece does) and where the line's do, whether it is the whole line, and how wide the
    // line is.
    linePiece(line, left, right) {
        const pointer = this.call('PanePiece', line, left, right) >>> 0;
        const [begin, end, column, x] = new Float64Array(this.heap().buffer, pointer, 4);
        const size = this.call('PaneLineSize', line) >>> 0;
        const text = this.text((this.call('PaneLine', line) >>> 0) + begin, end - begin);
        const lineStarts = this.cellStarts(line);
        const whole = begin === 0 && end === size;
        return { text, column, x, starts: [x, ...lineStarts.filter((start) => start > x)],
            lineStarts, whole, width: whole ? 0 : this.call('PaneLineWidth', line) };
    }

    // Where a column of a line starts, in px from the line's start.
    xOf(line, column) {
        return this.call('PaneXOf', line, column);
    }

    textWidth(text) {
        return this.measure.measureText(text).width;
    }

    // A caption's width in the window's font at `size` px.
    captionWidth(text, size) {
        this.captionMeasure ??= document.createElement('canvas').getContext('2d');
        this.captionMeasure.font = `${size}px ${getComputedStyle(document.body).fontFamily}`;
        return this.captionMeasure.measureText(text).width;
    }

    // A key for the pane, by its DOM name, through the key map of the browser's platform: 0
    // if the pane has no use for it, 1 if it took it, 2 for Copy.
    paneKey(event) {
        const name = this.encoder.encode(event.key);
        const pointer = this.module._malloc(name.length + 1) >>> 0;
        this.heap().set(name, pointer);
        const taken = this.call('PaneKey', pointer, name.length, this.mac, event.ctrlKey,
            event.altKey, event.metaKey, event.shiftKey);
        this.module._free(pointer);
        return taken;
    }

    // The report exactly as the run wrote it, CR LF line ends included.
    paneText() {
        const parts = [];
        const blocks = this.call('PaneBlockCount') >>> 0;
        for (let block = 0; block < blocks; ++block) {
            parts.push(this.text(this.call('PaneBlock', block),
                this.call('PaneBlockSize', block) >>> 0));
        }
        return parts.join('');
    }
}
