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

    // Where every control stands for a view `width` px wide: a Map from identity to its place,
    // and the window's size.
    placesForView(viewWidth) {
        const pointer = this.call('PlacesForView', viewWidth) >>> 0;
        const [count, width, height] = new Int32Array(this.heap().buffer, pointer, 3);
        const numbers = new Int32Array(this.heap().buffer, pointer + 12, 4 * count);
        const placed = new Map();
        for (let id = 0; id < count; ++id) {
            const [left, top, w, h] = numbers.subarray(4 * id, 4 * id + 4);
            placed.set(id, { left, top, width: w, height: h });
        }
        return { placed, width, height };
    }

    paneLine(line) {
        const size = this.call('PaneLineSize', line) >>> 0;
        return this.text(this.call('PaneLine', line), size);
    }

    selectedText() {
        const pointer = this.call('PaneSelectedText');
        return this.text(pointer, this.call('PaneSelectedSize'));
    }

    // Where the model puts each of a line's `count` cells.
    cellStarts(line, count) {
        const pointer = this.call('PaneCellStarts', line) >>> 0;
        return Array.from(new Float64Array(this.heap().buffer, pointer, count));
    }

    textWidth(text) {
        return this.measure.measureText(text).width;
    }

    // A key for the pane, by its DOM name: whether the pane took it.
    paneKey(key, control, shift) {
        const name = this.encoder.encode(key);
        const pointer = this.module._malloc(name.length + 1) >>> 0;
        this.heap().set(name, pointer);
        const taken = this.call('PaneKey', pointer, name.length, control, shift);
        this.module._free(pointer);
        return Boolean(taken);
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
