// SPDX-License-Identifier: MIT
// The page's script: it loads one of the two modules (WebAssembly SIMD where the browser has it),
// creates the controls the window asks for, passes the user's edits, clicks and option choices
// to the window, and draws what a run shows. The window's state and the report's text live in
// the module; the result pane reads the lines it shows out of the module's memory.
'use strict';

(function () {
    const kKinds = ['Frame', 'Label', 'TextBox', 'Option', 'Button', 'ProgressBar', 'ResultPane'];
    // Up to this many lines every row of the report is in the page, for screen readers to read
    // through; beyond, only the rows in view are, so that a million rows scroll at once.
    const kAllRowsInPage = 5000;
    // Below every browser's largest element height (Firefox's is about 17.9 million pixels): a
    // longer report is scrolled through a scaled range.
    const kLargestScrollHeight = 8000000;
    const kLineHeight = 13; // px: Arial at 11 px, as the desktop pane spaces its lines
    const kRowPadding = 4; // px, left and right of each row
    // A key typed during a run shows within about two frames of 60 Hz.
    const kLongestWithoutFrame = 25; // ms

    // A module of one function that returns a SIMD vector: valid where WebAssembly SIMD is.
    const kSimdProbe = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2,
        1, 0, 10, 8, 1, 6, 0, 65, 0, 253, 15, 11]);

    function chosenCore() {
        const forced = new URLSearchParams(location.search).get('core');
        if (forced === 'simd' || forced === 'plain') {
            return forced;
        }
        return WebAssembly.validate(kSimdProbe) ? 'simd' : 'plain';
    }

    function ordered(a, b) {
        return a.line < b.line || (a.line === b.line && a.column <= b.column) ? [a, b] : [b, a];
    }

    function isBlank(character) {
        return character === ' ' || character === '\t';
    }

    // The result pane: a read-only view of the report with its own selection, which copies what
    // the desktop pane copies: the selected lines as shown (without their CR), joined by LF.
    class ReportPane {
        constructor(element, page) {
            this.element = element;
            this.page = page;
            this.content = document.createElement('div');
            this.content.className = 'pane-content';
            element.append(this.content);
            // The browser offers Copy (keys, context menu) only over a selection of its own: this
            // element holds one while the pane has a selection, and the copy event is answered
            // with the pane's text.
            this.proxy = document.createElement('span');
            this.proxy.className = 'copy-proxy';
            this.proxy.setAttribute('aria-hidden', 'true');
            this.proxy.textContent = 'x';
            element.append(this.proxy);
            this.rows = new Map(); // line -> row element
            this.lineCount = 1;
            this.anchor = { line: 0, column: 0 };
            this.cursor = { line: 0, column: 0 };
            this.widest = 0;
            this.scaled = false;
            this.dragging = false;

            element.addEventListener('scroll', () => this.render());
            element.addEventListener('mousedown', (event) => this.mouseDown(event));
            window.addEventListener('mousemove', (event) => this.mouseMove(event));
            window.addEventListener('mouseup', () => { this.dragging = false; });
            element.addEventListener('keydown', (event) => this.keyDown(event));
            element.addEventListener('focus', () => this.redrawLine(this.cursor.line));
            element.addEventListener('blur', () => this.redrawLine(this.cursor.line));
            document.addEventListener('copy', (event) => this.copy(event));
        }

        lineText(line) {
            return this.page.paneLine(line);
        }

        hasSelection() {
            return this.anchor.line !== this.cursor.line
                || this.anchor.column !== this.cursor.column;
        }

        // After the run has set or added text: the rows follow the report's end, as the desktop
        // pane does.
        sync(reset) {
            const count = this.page.paneLineCount();
            if (!reset && count === this.lineCount) {
                return;
            }
            if (reset) {
                for (const row of this.rows.values()) {
                    row.remove();
                }
                this.rows.clear();
                this.widest = 0;
                this.anchor = { line: 0, column: 0 };
                this.cursor = { line: 0, column: 0 };
            } else {
                // The line that was last may have grown.
                this.forget(this.lineCount - 1);
            }
            this.lineCount = count;
            this.layout();
            this.element.scrollTop = this.element.scrollHeight;
            this.render();
        }

        forget(line) {
            const row = this.rows.get(line);
            if (row) {
                row.remove();
                this.rows.delete(line);
            }
        }

        layout() {
            const total = this.lineCount * kLineHeight;
            this.scaled = total > kLargestScrollHeight;
            this.content.style.height = Math.min(total, kLargestScrollHeight) + 'px';
            this.content.style.width = this.widest + 'px';
        }

        viewHeight() {
            return this.element.clientHeight;
        }

        // The line, with its fraction, at the top of the view.
        topLine() {
            const scrollMax = this.content.offsetHeight - this.viewHeight();
            const topMax = Math.max(0, this.lineCount - this.viewHeight() / kLineHeight);
            return scrollMax > 0 ? this.element.scrollTop / scrollMax * topMax : 0;
        }

        scrollToLine(top) {
            const scrollMax = this.content.offsetHeight - this.viewHeight();
            const topMax = Math.max(0, this.lineCount - this.viewHeight() / kLineHeight);
            this.element.scrollTop = topMax > 0 ? top / topMax * scrollMax : 0;
            this.render();
        }

        rowTop(line, top) {
            return this.scaled ? this.element.scrollTop + (line - top) * kLineHeight
                : line * kLineHeight;
        }

        // Puts the rows in view on the page. While no run is going and the report is short
        // enough, the others follow in later tasks, so that a screen reader can read the whole
        // report; during a run only the rows in view are drawn, so that a frame costs little.
        render() {
            const top = this.topLine();
            const first = Math.max(0, Math.floor(top));
            const last = Math.min(this.lineCount - 1,
                Math.floor(top + this.viewHeight() / kLineHeight) + 1);
            const keepAll = this.keepsAllRows();
            if (!keepAll || this.scaled) {
                for (const [line, row] of this.rows) {
                    if (line < first || line > last) {
                        row.remove();
                        this.rows.delete(line);
                    }
                }
            }
            const added = [];
            for (let line = first; line <= last; ++line) {
                let row = this.rows.get(line);
                if (!row) {
                    row = this.newRow(line, top);
                    this.content.append(row);
                    added.push(row);
                } else if (this.scaled) {
                    row.style.top = this.rowTop(line, top) + 'px';
                }
            }
            // Measured after all are in, so that the page is laid out once; the rows in view
            // tell how wide the report is, as on the desktop.
            let widest = this.widest;
            for (const row of added) {
                widest = Math.max(widest, row.offsetWidth);
            }
            if (widest > this.widest) {
                this.widest = widest;
                this.content.style.width = widest + 'px';
            }
            if (keepAll && this.rows.size < this.lineCount && !this.filling) {
                this.filling = true;
                setTimeout(() => this.fill(), 0);
            }
        }

        keepsAllRows() {
            return !this.page.api.running && this.lineCount <= kAllRowsInPage;
        }

        newRow(line, top) {
            const row = document.createElement('div');
            row.className = 'row';
            this.fillRow(row, line);
            row.style.top = this.rowTop(line, top) + 'px';
            this.rows.set(line, row);
            return row;
        }

        // Adds the rows not yet on the page, a few hundred per task.
        fill() {
            this.filling = false;
            if (!this.keepsAllRows()) {
                return;
            }
            const top = this.topLine();
            const rows = document.createDocumentFragment();
            let added = 0;
            for (let line = 0; line < this.lineCount && added < 500; ++line) {
                if (!this.rows.has(line)) {
                    rows.append(this.newRow(line, top));
                    ++added;
                }
            }
            this.content.append(rows);
            if (this.rows.size < this.lineCount) {
                this.filling = true;
                setTimeout(() => this.fill(), 0);
            }
        }

        redrawLine(line) {
            const row = this.rows.get(line);
            if (row) {
                this.fillRow(row, line);
            }
        }

        // A row's text, with its selected part marked and the caret where the cursor is.
        fillRow(row, line) {
            const text = this.lineText(line);
            let start = -1;
            let end = -1;
            if (this.hasSelection()) {
                const [from, to] = ordered(this.anchor, this.cursor);
                if (line >= from.line && line <= to.line) {
                    start = line === from.line ? Math.min(from.column, text.length) : 0;
                    end = line === to.line ? Math.min(to.column, text.length) : text.length;
                }
            }
            const caret = document.activeElement === this.element && line === this.cursor.line
                ? Math.min(this.cursor.column, text.length) : -1;
            const cuts = [...new Set([0, text.length, start, end, caret])]
                .filter((cut) => cut >= 0).sort((a, b) => a - b);
            const parts = [];
            for (let i = 0; i < cuts.length; ++i) {
                if (cuts[i] === caret) {
                    const mark = document.createElement('span');
                    mark.className = 'caret';
                    parts.push(mark);
                }
                if (i + 1 < cuts.length) {
                    const piece = text.slice(cuts[i], cuts[i + 1]);
                    if (cuts[i] >= start && cuts[i + 1] <= end && start < end) {
                        const span = document.createElement('span');
                        span.className = 'selected';
                        span.textContent = piece;
                        parts.push(span);
                    } else {
                        parts.push(piece);
                    }
                }
            }
            row.replaceChildren(...parts);
        }

        // The rows whose marks change when the selection or the caret moves are drawn again.
        setSelection(anchor, cursor) {
            const before = ordered(this.anchor, this.cursor);
            const beforeCursor = this.cursor.line;
            this.anchor = anchor;
            this.cursor = cursor;
            const after = ordered(anchor, cursor);
            const changed = new Set([beforeCursor, cursor.line]);
            for (const [line] of this.rows) {
                const wasIn = line >= before[0].line && line <= before[1].line;
                const isIn = line >= after[0].line && line <= after[1].line;
                if (wasIn || isIn) {
                    changed.add(line);
                }
            }
            for (const line of changed) {
                this.redrawLine(line);
            }
            this.holdNativeSelection();
        }

        clamped(position) {
            const line = Math.max(0, Math.min(position.line, this.lineCount - 1));
            const length = this.lineText(line).length;
            return { line, column: Math.max(0, Math.min(position.column, length)) };
        }

        moveCursor(to, extend) {
            this.setSelection(extend ? this.anchor : to, to);
        }

        selectAll() {
            const last = this.lineCount - 1;
            this.setSelection({ line: 0, column: 0 },
                { line: last, column: this.lineText(last).length });
        }

        selectedText() {
            if (!this.hasSelection()) {
                return '';
            }
            const [from, to] = ordered(this.anchor, this.cursor);
            const first = this.lineText(from.line);
            if (from.line === to.line) {
                return first.slice(from.column, to.column);
            }
            const middle = to.line - from.line > 1
                ? this.page.paneLines(from.line + 1, to.line - 1) + '\n' : '';
            return first.slice(from.column) + '\n' + middle
                + this.lineText(to.line).slice(0, to.column);
        }

        // Where a point of the page falls in the text: the line under it (the nearest within
        // the view) and the column before the nearest character boundary.
        positionAt(clientX, clientY) {
            const box = this.element.getBoundingClientRect();
            const y = Math.max(0, Math.min(clientY - box.top - this.element.clientTop,
                this.viewHeight() - 1));
            const line = Math.max(0, Math.min(this.lineCount - 1,
                Math.floor(this.topLine() + y / kLineHeight)));
            return { line, column: this.columnAt(line, clientX) };
        }

        columnAt(line, clientX) {
            const row = this.rows.get(line);
            if (!row) {
                return 0;
            }
            const nodes = [];
            let offset = 0;
            const walker = document.createTreeWalker(row, NodeFilter.SHOW_TEXT);
            for (let node = walker.nextNode(); node; node = walker.nextNode()) {
                nodes.push({ node, offset });
                offset += node.data.length;
            }
            const range = document.createRange();
            const middleOf = (column) => {
                let i = nodes.length - 1;
                while (nodes[i].offset > column) {
                    --i;
                }
                range.setStart(nodes[i].node, column - nodes[i].offset);
                range.setEnd(nodes[i].node, column - nodes[i].offset + 1);
                const rect = range.getBoundingClientRect();
                return (rect.left + rect.right) / 2;
            };
            let low = 0;
            let high = offset;
            while (low < high) {
                const middle = (low + high) >> 1;
                if (middleOf(middle) < clientX) {
                    low = middle + 1;
                } else {
                    high = middle;
                }
            }
            return low;
        }

        onScrollBar(event) {
            const box = this.element.getBoundingClientRect();
            return event.clientX - box.left - this.element.clientLeft >= this.element.clientWidth
                || event.clientY - box.top - this.element.clientTop >= this.element.clientHeight;
        }

        mouseDown(event) {
            if (event.button === 2) {
                this.holdNativeSelection(event);
                return;
            }
            if (event.button !== 0 || this.onScrollBar(event)) {
                return;
            }
            event.preventDefault();
            this.element.focus({ preventScroll: true });
            const at = this.positionAt(event.clientX, event.clientY);
            if (event.detail === 2) {
                // A word is what lies between blanks and tabs: a divider, a frequency or a
                // register word.
                const text = this.lineText(at.line);
                let start = at.column;
                let end = at.column;
                while (start > 0 && !isBlank(text[start - 1])) {
                    --start;
                }
                while (end < text.length && !isBlank(text[end])) {
                    ++end;
                }
                this.setSelection({ line: at.line, column: start }, { line: at.line, column: end });
            } else if (event.detail >= 3) {
                this.setSelection({ line: at.line, column: 0 },
                    { line: at.line, column: this.lineText(at.line).length });
            } else {
                this.moveCursor(at, event.shiftKey);
                this.dragging = true;
            }
        }

        mouseMove(event) {
            if (!this.dragging || (event.buttons & 1) === 0) {
                this.dragging = false;
                return;
            }
            this.moveCursor(this.positionAt(event.clientX, event.clientY), true);
            this.ensureVisible(this.cursor, event.clientY);
        }

        keyDown(event) {
            const control = event.ctrlKey || event.metaKey;
            const key = event.key;
            if (control && (key === 'a' || key === 'A')) {
                event.preventDefault();
                this.selectAll();
                return;
            }
            if (control && (key === 'c' || key === 'C' || key === 'Insert')) {
                this.holdNativeSelection(); // the browser copies, and asks the copy event
                return;
            }
            const visible = Math.max(1, Math.floor(this.viewHeight() / kLineHeight));
            const cursor = this.cursor;
            let to;
            switch (key) {
            case 'ArrowLeft':
                to = cursor.column > 0 ? { line: cursor.line, column: cursor.column - 1 }
                    : { line: cursor.line - 1, column: Infinity };
                if (to.line < 0) {
                    to = cursor;
                }
                break;
            case 'ArrowRight':
                to = cursor.column < this.lineText(cursor.line).length
                    ? { line: cursor.line, column: cursor.column + 1 }
                    : { line: cursor.line + 1, column: 0 };
                if (to.line >= this.lineCount) {
                    to = cursor;
                }
                break;
            case 'ArrowUp':
                to = { line: cursor.line - 1, column: cursor.column };
                break;
            case 'ArrowDown':
                to = { line: cursor.line + 1, column: cursor.column };
                break;
            case 'PageUp':
                to = { line: cursor.line - visible, column: cursor.column };
                break;
            case 'PageDown':
                to = { line: cursor.line + visible, column: cursor.column };
                break;
            case 'Home':
                to = control ? { line: 0, column: 0 } : { line: cursor.line, column: 0 };
                break;
            case 'End':
                to = control ? { line: this.lineCount - 1, column: Infinity }
                    : { line: cursor.line, column: Infinity };
                break;
            default:
                return;
            }
            event.preventDefault();
            this.moveCursor(this.clamped(to), event.shiftKey);
            this.ensureVisible(this.cursor);
        }

        // Scrolls so that the position is in view; a drag above or below the view scrolls on.
        ensureVisible(position, clientY) {
            const visible = this.viewHeight() / kLineHeight;
            const top = this.topLine();
            let line = position.line;
            if (clientY !== undefined) {
                const box = this.element.getBoundingClientRect();
                if (clientY < box.top) {
                    line = Math.max(0, Math.floor(top) - 1);
                } else if (clientY > box.bottom) {
                    line = Math.min(this.lineCount - 1, Math.ceil(top + visible));
                }
            }
            if (line < top) {
                this.scrollToLine(line);
            } else if (line + 1 > top + visible) {
                this.scrollToLine(line + 1 - visible);
            }
            const caret = this.rows.get(position.line)?.querySelector('.caret');
            if (caret) {
                const x = caret.offsetLeft;
                const width = this.element.clientWidth;
                if (x - kRowPadding < this.element.scrollLeft) {
                    this.element.scrollLeft = Math.max(0, x - kRowPadding);
                } else if (x + kRowPadding > this.element.scrollLeft + width) {
                    this.element.scrollLeft = x + kRowPadding - width;
                }
            }
        }

        // Gives the browser a selection of its own while the pane has one, under the pointer
        // for a context menu.
        holdNativeSelection(event) {
            const selection = document.getSelection();
            if (!this.hasSelection()) {
                if (selection.anchorNode && this.proxy.contains(selection.anchorNode)) {
                    selection.removeAllRanges();
                }
                return;
            }
            if (event) {
                const box = this.element.getBoundingClientRect();
                this.proxy.style.left = (event.clientX - box.left + this.element.scrollLeft) + 'px';
                this.proxy.style.top = (event.clientY - box.top + this.element.scrollTop) + 'px';
            }
            const range = document.createRange();
            range.selectNodeContents(this.proxy);
            selection.removeAllRanges();
            selection.addRange(range);
        }

        copy(event) {
            const selection = document.getSelection();
            const ours = document.activeElement === this.element
                || (selection.anchorNode && this.proxy.contains(selection.anchorNode));
            if (ours && this.hasSelection()) {
                event.clipboardData.setData('text/plain', this.selectedText());
                event.preventDefault();
            }
        }
    }

    class Page {
        constructor(api) {
            this.api = api;
            this.module = null;
            this.window = 0;
            this.form = document.getElementById('Form1');
            this.controls = new Map();
            // Where each frame's top-left corner lies in the window, and what it holds.
            this.origins = new Map([['', { left: 0, top: 0 }]]);
            this.held = new Map();
            this.boxes = new Map(); // control number -> input
            this.options = new Map();
            this.startButtons = [];
            this.pane = null;
            this.decoder = new TextDecoder();
            this.encoder = new TextEncoder();
            // A yield's turn is one task of the browser's event loop: a message to itself, which
            // no browser delays as it does a chain of zero-time timers (4 ms each).
            this.channel = new MessageChannel();
            this.wake = null;
            this.lastFrame = 0;
            this.channel.port1.onmessage = () => {
                const wake = this.wake;
                this.wake = null;
                wake();
            };
        }

        start(module) {
            this.module = module;
            this.window = module._WebCreateWindow();
            this.arrangeFocusOrder();
            this.pane.element.focus({ preventScroll: true });
            this.api.ready = true;
            document.body.dataset.ready = '1';
        }

        heap() {
            return this.module.HEAPU8;
        }

        text(pointer, size) {
            const start = pointer >>> 0;
            return size === 0 ? '' : this.decoder.decode(this.heap().subarray(start, start + (size >>> 0)));
        }

        writeText(pointer, capacity, text) {
            const start = pointer >>> 0;
            const heap = this.heap();
            const { written } = this.encoder.encodeInto(text,
                heap.subarray(start, start + capacity - 1));
            heap[start + written] = 0;
        }

        paneLineCount() {
            return this.module._WebPaneLineCount(this.window) >>> 0;
        }

        paneLine(line) {
            const size = this.module._WebPaneLineSize(this.window, line) >>> 0;
            return this.text(this.module._WebPaneLine(this.window, line), size);
        }

        paneLines(first, last) {
            const pointer = this.module._WebCopyLines(this.window, first, last);
            return this.text(pointer, this.module._WebCopiedSize(this.window) >>> 0);
        }

        paneText() {
            const parts = [];
            const blocks = this.module._WebPaneBlockCount(this.window) >>> 0;
            for (let block = 0; block < blocks; ++block) {
                parts.push(this.text(this.module._WebPaneBlock(this.window, block),
                    this.module._WebPaneBlockSize(this.window, block) >>> 0));
            }
            return parts.join('');
        }

        // The pane's font and tab stops are the desktop's: a point is 4/3 CSS pixels.
        createWindow(window, caption, width, height, paneFont, panePoints, tabStop) {
            this.window = window;
            this.form.style.setProperty('--pane-font', `"${paneFont}", "Liberation Sans", sans-serif`);
            this.form.style.setProperty('--pane-font-size', (panePoints * 4 / 3) + 'px');
            this.form.style.setProperty('--pane-tab-stop', tabStop + 'px');
            document.title = caption;
            document.getElementById('WindowCaption').textContent = caption;
            this.form.style.width = width + 'px';
            this.form.style.height = height + 'px';
        }

        // The window's focus order crosses its frames (the RF side's max error comes after the
        // shared FoLD group), so every control is a child of the window, placed where the
        // table puts it, and the controls that take the focus stand in the page in that order:
        // the browser's own Tab order, with no tab index to override it. Each frame owns what
        // it holds, so that assistive technology still reads a group under its caption.
        arrangeFocusOrder() {
            const frames = [...this.held.keys()].map(name => this.controls.get(name));
            const focusOrder = [...this.controls.values()]
                .filter(control => !frames.includes(control))
                .sort((a, b) => a.tabOrder - b.tabOrder);
            this.form.append(...frames, ...focusOrder);
            for (const [name, held] of this.held) {
                this.controls.get(name).setAttribute('aria-owns', held.join(' '));
            }
        }

        createControl(row) {
            const kind = kKinds[row.kind];
            const origin = this.origins.get(row.container);
            const number = Number(row.name.replace(/^\D+/, '')) || 0;
            let control;
            switch (kind) {
            case 'Frame': {
                control = document.createElement('fieldset');
                this.held.set(row.name, []);
                const legend = document.createElement('legend');
                legend.textContent = row.caption;
                const line = document.createElement('div');
                line.className = 'frame-line';
                control.append(line, legend);
                break;
            }
            case 'Label':
                control = document.createElement('div');
                control.className = 'label';
                control.textContent = row.caption;
                break;
            case 'TextBox':
                control = document.createElement('input');
                control.type = 'text';
                control.spellcheck = false;
                control.autocomplete = 'off';
                control.setAttribute('aria-label', row.accessibleName);
                if (row.whiteBackground) {
                    control.classList.add('white');
                }
                control.addEventListener('input', () => this.fieldEdited(number, control.value));
                this.boxes.set(number, control);
                break;
            case 'Option': {
                control = document.createElement('div');
                control.id = row.name + '-item';
                control.classList.add('option');
                const focusable = document.createElement('input');
                focusable.type = 'radio';
                focusable.id = row.name;
                focusable.name = row.container;
                const label = document.createElement('label');
                label.htmlFor = row.name;
                label.textContent = row.caption;
                control.append(focusable, label);
                focusable.addEventListener('change', () => {
                    if (focusable.checked) {
                        this.module._WebOptionSelected(this.window, number);
                    }
                });
                this.options.set(number, focusable);
                break;
            }
            case 'Button':
                control = document.createElement('button');
                control.type = 'button';
                control.textContent = row.caption;
                control.addEventListener('click', () => this.buttonClicked(number, control));
                this.startButtons.push(control);
                break;
            case 'ProgressBar': {
                control = document.createElement('div');
                control.setAttribute('role', 'progressbar');
                control.setAttribute('aria-label', row.accessibleName);
                control.setAttribute('aria-valuemin', '0');
                control.setAttribute('aria-valuemax', '100');
                const bar = document.createElement('div');
                bar.className = 'bar';
                control.append(bar);
                this.progressBar = control;
                break;
            }
            case 'ResultPane':
                control = document.createElement('div');
                control.setAttribute('role', 'textbox');
                control.setAttribute('aria-readonly', 'true');
                control.setAttribute('aria-multiline', 'true');
                control.tabIndex = 0; // focusable, in the page's order
                control.setAttribute('aria-label', row.accessibleName);
                this.pane = new ReportPane(control, this);
                break;
            default:
                return;
            }
            if (kind !== 'Option') {
                control.id = row.name; // an option's id is its button's
            }
            control.classList.add('control');
            if (kind !== 'TextBox' && kind !== 'ProgressBar' && kind !== 'ResultPane'
                && row.accessibleName !== row.caption) {
                control.setAttribute('aria-label', row.accessibleName);
            }
            const left = origin.left + row.left;
            const top = origin.top + row.top;
            this.origins.set(row.name, { left, top });
            Object.assign(control.style, { left: left + 'px', top: top + 'px',
                width: row.width + 'px', height: row.height + 'px' });
            control.tabOrder = row.tabIndex;
            if (row.container) {
                this.held.get(row.container).push(control.id);
            }
            this.controls.set(row.name, control);
            this.form.append(control);
        }

        fieldEdited(number, value) {
            const bytes = this.encoder.encode(value);
            const pointer = this.module._WebFieldBuffer(this.window, number, bytes.length) >>> 0;
            this.heap().set(bytes, pointer);
        }

        buttonClicked(number, button) {
            if (this.api.running) {
                return;
            }
            this.lastStartButton = button;
            this.module._WebButtonClicked(this.window, number);
        }

        setBoxText(number, text) {
            const box = this.boxes.get(number);
            if (box && box.value !== text) {
                box.value = text;
            }
        }

        setOption(number, selected) {
            this.options.get(number).checked = selected;
        }

        // The bar shows the run's range and value; a range whose minimum lies above its
        // maximum, or a value below the range, shows no progress.
        showProgress(minimum, maximum, value) {
            let percent = 0;
            if (minimum <= maximum && value >= minimum) {
                percent = maximum > minimum
                    ? (Math.min(value, maximum) - minimum) / (maximum - minimum) * 100 : 100;
            }
            const shown = Math.round(percent * 10) / 10;
            this.progressBar.firstChild.style.width = shown + '%';
            this.progressBar.setAttribute('aria-valuenow', String(shown));
        }

        showPane(reset) {
            this.pane.sync(reset);
        }

        setRunning(running) {
            running = Boolean(running);
            this.api.running = running;
            if (running) {
                this.watchFrames();
            }
            for (const button of this.startButtons) {
                button.disabled = running;
            }
            this.pane.render();
            // A button that had the focus gets it back when it is enabled again.
            const active = document.activeElement;
            if (!running && this.lastStartButton
                && (!active || active === document.body || active.closest('dialog'))) {
                this.lastStartButton.focus({ preventScroll: true });
            }
        }

        numberFormat(decimal, group, capacity) {
            let parts = [];
            try {
                parts = new Intl.NumberFormat(navigator.language).formatToParts(1234567.5);
            } catch (error) {
                parts = [];
            }
            const part = (type) => (parts.find((p) => p.type === type) || { value: '' }).value;
            this.writeText(decimal, capacity, part('decimal') || '.');
            this.writeText(group, capacity, part('group'));
            return 0;
        }

        // The error box: modal, and the run waits until the user has closed it.
        showErrorBox(title, text) {
            return new Promise((resolve) => {
                const box = document.getElementById('ErrorBox');
                document.getElementById('ErrorBoxTitle').textContent = title;
                document.getElementById('ErrorBoxText').textContent = text;
                const focused = document.activeElement;
                box.addEventListener('close', () => {
                    if (focused && focused !== document.body && !focused.disabled) {
                        focused.focus({ preventScroll: true });
                    }
                    resolve();
                }, { once: true });
                box.showModal();
                document.getElementById('ErrorBoxOk').focus();
            });
        }

        // A turn lets the browser handle what is pending, then the run goes on. Firefox draws
        // only when no task is waiting, and a run always has one: when no frame has come for a
        // while, the turn waits for the next one, and goes on in a task after it is drawn.
        turn() {
            return new Promise((resolve) => {
                this.wake = resolve;
                // A hidden page draws nothing, and its run goes on without waiting.
                if (!document.hidden && performance.now() - this.lastFrame > kLongestWithoutFrame) {
                    requestAnimationFrame(() => this.channel.port2.postMessage(0));
                } else {
                    this.channel.port2.postMessage(0);
                }
            });
        }

        // While a run goes on, notes when the browser last drew.
        watchFrames() {
            this.lastFrame = performance.now();
            const frame = () => {
                this.lastFrame = performance.now();
                if (this.api.running) {
                    requestAnimationFrame(frame);
                }
            };
            requestAnimationFrame(frame);
        }
    }

    const api = {
        ready: false,
        core: chosenCore(),
        running: false,
        paneText: () => (page.module ? page.paneText() : ''),
        selectedText: () => (page.pane ? page.pane.selectedText() : ''),
    };
    const page = new Page(api);
    window.lmx2330a = api;
    document.getElementById('ErrorBoxOk').addEventListener('click',
        () => document.getElementById('ErrorBox').close());
    const factory = api.core === 'simd' ? Lmx2330aSimd : Lmx2330aPlain;
    factory({ page }).then((module) => page.start(module));
}());
