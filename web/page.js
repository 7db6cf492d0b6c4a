// SPDX-License-Identifier: MIT
// The page's script: it loads one of the two modules (WebAssembly SIMD where the browser has it),
// creates the controls the window asks for, passes the user's edits, clicks, option choices and
// what the user does in the result pane to the window by each control's identity, and draws
// what the window shows. The window's state, the report's text and the pane's selection and
// view live in the module; the pane reads the lines it shows out of the module's memory.
'use strict';

(function () {
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

    // On a view narrower than the window, the controls flow into one column (flowIntoColumn).
    // The window's own spacing, between its frames and between lines of boxes, and the spacing
    // between the groups of option buttons set side by side.
    const kStackGap = 3; // px
    const kFlowGap = 8; // px

    function bounds(places) {
        const left = Math.min(...places.map((place) => place.left));
        const top = Math.min(...places.map((place) => place.top));
        return { left, top,
            width: Math.max(...places.map((place) => place.left + place.width)) - left,
            height: Math.max(...places.map((place) => place.top + place.height)) - top };
    }

    function childrenOf(places, container) {
        return [...places.keys()].filter((id) => places.get(id).container === container);
    }

    function heldBy(places, container) {
        return childrenOf(places, container).flatMap((id) => [id, ...heldBy(places, id)]);
    }

    // What moves as one: a frame with all it holds, a label with the nearest control to its
    // right on its line, or a control on its own. Each keeps its parts where the window has them
    // relative to one another.
    function piecesIn(places, container) {
        const children = childrenOf(places, container);
        const partners = new Map();
        for (const id of children.filter((child) => places.get(child).kind === 'Label')) {
            const label = places.get(id);
            const middle = label.top + label.height / 2;
            const partner = children.map((other) => [other, places.get(other)])
                .filter(([, place]) => place.kind !== 'Label' && place.kind !== 'Frame'
                    && place.left > label.left && place.top <= middle
                    && middle <= place.top + place.height)
                .sort(([, a], [, b]) => a.left - b.left)[0];
            if (partner) {
                partners.set(id, partner[0]);
            }
        }
        const partnered = new Set(partners.values());
        return children.filter((id) => !partnered.has(id)).map((id) => {
            const members = [id, ...heldBy(places, id)];
            if (partners.has(id)) {
                members.push(partners.get(id));
            }
            return { kind: places.get(id).kind, members,
                ...bounds(members.map((member) => places.get(member))) };
        });
    }

    const byReadingOrder = (a, b) => a.top - b.top || a.left - b.left;

    // The window for a view `width` px wide: its frames one below the other across the width, in
    // its reading order, then the progress bar and the result pane, which a user scrolls through
    // last. In a frame, what stands in its first column (the boxes) goes one below the other,
    // then its groups side by side, wrapping as the width allows, then what stands to their
    // right (the match count and the start button). Each control keeps its size.
    // `places` holds each control's place, by identity, in a window `windowWidth` px wide whose
    // own identity is `windowId`; returns the new places and the height.
    function flowIntoColumn(places, windowId, windowWidth, width) {
        const placed = new Map();
        const put = (piece, left, top) => {
            for (const id of piece.members) {
                const place = places.get(id);
                placed.set(id, { left: left + place.left - piece.left,
                    top: top + place.top - piece.top, width: place.width, height: place.height });
            }
        };
        // Lays the frame's pieces out from (left, top), `frameWidth` wide; returns its height.
        const flowFrame = (id, left, top, frameWidth) => {
            const frame = places.get(id);
            const pieces = piecesIn(places, id);
            const inner = bounds(pieces);
            const inset = inner.left - frame.left;
            const groups = pieces.filter((piece) => piece.kind === 'Frame');
            const groupsLeft = Math.min(...groups.map((group) => group.left));
            const others = pieces.filter((piece) => piece.kind !== 'Frame').sort(byReadingOrder);
            let bottom = top + inner.top - frame.top - kStackGap;
            for (const piece of others.filter((other) => other.left < groupsLeft)) {
                put(piece, left + inset, bottom + kStackGap);
                bottom += kStackGap + piece.height;
            }
            for (const row of [groups.sort((a, b) => a.left - b.left),
                others.filter((other) => other.left >= groupsLeft)]) {
                let x = Infinity;
                let lineTop = bottom;
                for (const piece of row) {
                    if (x + piece.width > left + frameWidth - inset) {
                        x = left + inset;
                        lineTop = bottom + kFlowGap;
                    }
                    put(piece, x, lineTop);
                    x += piece.width + kFlowGap;
                    bottom = Math.max(bottom, lineTop + piece.height);
                }
            }
            return bottom + frame.top + frame.height - (inner.top + inner.height) - top;
        };
        const pieces = piecesIn(places, windowId);
        const isPane = (piece) => (piece.kind === 'ResultPane' ? 1 : 0);
        const frames = pieces.filter((piece) => piece.kind === 'Frame').sort(byReadingOrder);
        const others = pieces.filter((piece) => piece.kind !== 'Frame')
            .sort((a, b) => isPane(a) - isPane(b));
        const margin = bounds(pieces).top;
        let bottom = margin - kStackGap;
        for (const piece of [...frames, ...others]) {
            // Each keeps its distance from the nearer side of the window, on both sides.
            const id = piece.members[0];
            const inset = Math.min(piece.left, windowWidth - piece.left - piece.width);
            const top = bottom + kStackGap;
            const pieceWidth = width - 2 * inset;
            const height = piece.kind === 'Frame' ? flowFrame(id, inset, top, pieceWidth)
                : piece.height;
            placed.set(id, { left: inset, top, width: pieceWidth, height });
            bottom = top + height;
        }
        return { placed, height: bottom + margin };
    }

    // A finger held this long opens the pane's menu; taps this close in time and place count
    // as one double tap; a finger that moves further scrolls.
    const kLongPress = 500; // ms
    const kDoubleTap = 400; // ms
    const kTapSlop = 10; // px

    // The result pane by touch. A tap places the caret and a double tap selects a word: the pane
    // gets the mouse events of a click and a double click there, with the taps counted, in
    // place of the browser's own. A long press opens the pane's own menu, Copy and Select All,
    // as the right button opens the browser's. A finger that moves scrolls the pane. The pane
    // holds the finger's events (pointer capture), since a row under it may be drawn anew.
    class PaneTouch {
        constructor(pane, menu) {
            this.pane = pane;
            this.menu = menu;
            this.start = null; // where the finger came down, while it may still tap
            this.lastTap = null;
            this.touching = false;
            this.timer = 0;
            const element = pane.element;
            element.addEventListener('pointerdown', (event) => this.down(event));
            element.addEventListener('pointermove', (event) => this.moved(event));
            element.addEventListener('pointerup', (event) => this.up(event));
            element.addEventListener('pointercancel', () => this.cancel());
            // No mouse events of the browser's own after a tap, nor its menu after a long press.
            element.addEventListener('touchend', (event) => event.preventDefault());
            element.addEventListener('contextmenu', (event) => {
                if (this.touching) {
                    event.preventDefault();
                }
            });
            // The finger that opened the menu may still click where it lifts: only a touch that
            // starts on the menu, or a key, chooses.
            menu.addEventListener('pointerdown', () => { this.armed = true; });
            menu.addEventListener('click', (event) => {
                if (this.armed || event.detail === 0) {
                    this.choose(event.target.dataset.command);
                }
            });
            menu.addEventListener('keydown', (event) => {
                if (event.key === 'Escape') {
                    this.closeMenu();
                }
            });
            document.addEventListener('pointerdown', (event) => {
                if (!menu.hidden && !menu.contains(event.target)) {
                    this.closeMenu();
                }
            }, true);
        }

        down(event) {
            if (event.pointerType !== 'touch') {
                return;
            }
            this.cancel();
            this.touching = true;
            if (event.isPrimary) {
                event.preventDefault();
                this.pane.element.setPointerCapture(event.pointerId);
                const { clientX: x, clientY: y } = event;
                this.start = { x, y };
                this.timer = setTimeout(() => {
                    this.start = null;
                    this.openMenu(x, y);
                }, kLongPress);
            }
        }

        moved(event) {
            const start = this.start;
            if (start && event.pointerType === 'touch'
                && Math.hypot(event.clientX - start.x, event.clientY - start.y) > kTapSlop) {
                this.cancel();
            }
        }

        cancel() {
            clearTimeout(this.timer);
            this.start = null;
            this.touching = false;
        }

        up(event) {
            const start = this.start;
            this.cancel();
            if (!start || event.pointerType !== 'touch') {
                return;
            }
            const last = this.lastTap;
            const count = last && event.timeStamp - last.time < kDoubleTap
                && Math.hypot(start.x - last.x, start.y - last.y) < kTapSlop ? last.count + 1 : 1;
            this.lastTap = { ...start, time: event.timeStamp, count };
            for (const type of ['mousedown', 'mouseup']) {
                this.pane.element.dispatchEvent(new MouseEvent(type, { bubbles: true,
                    cancelable: true, clientX: start.x, clientY: start.y, detail: count, button: 0,
                    buttons: type === 'mousedown' ? 1 : 0 }));
            }
        }

        // Opens at the finger, inside the view; Copy is offered while there is a selection.
        openMenu(x, y) {
            const menu = this.menu;
            menu.querySelector('[data-command="copy"]').disabled = !this.pane.hasSelection()
                || !navigator.clipboard;
            menu.hidden = false;
            this.armed = false;
            const { width, height } = menu.getBoundingClientRect();
            menu.style.left = Math.max(0, Math.min(x, innerWidth - width)) + 'px';
            menu.style.top = Math.max(0, Math.min(y, innerHeight - height)) + 'px';
            menu.querySelector('button:enabled').focus();
        }

        closeMenu() {
            this.menu.hidden = true;
            this.pane.element.focus({ preventScroll: true });
        }

        choose(command) {
            if (command === 'copy') {
                navigator.clipboard.writeText(this.pane.page.selectedText());
            } else if (command === 'selectAll') {
                this.pane.selectAll();
            }
            this.closeMenu();
        }
    }

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

    // The result pane's view. The pane's model in the module holds the report, the selection and
    // where the view stands, and decides what every click, drag and key does; this view turns
    // points into lines and columns, draws the rows in view at the cell starts the model gives,
    // and hands the copied text to the clipboard.
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
            // What the model said at the last drawing.
            this.drawnState = [];
            this.serial = -1;
            this.lineCount = 1;
            this.top = 0;
            this.anchor = { line: 0, column: 0 };
            this.caret = { line: 0, column: 0 };
            // The scroll position the page itself gave the view: any other is the user's.
            this.ownScrollTop = 0;
            this.widest = 0;
            // The view's and the rows' heights in pixels, kept so that nothing the view works out
            // makes the browser lay the page out first.
            this.height = 0;
            this.contentHeight = 0;
            this.scaled = false;
            this.dragging = false;

            element.addEventListener('scroll', () => this.scrolled());
            element.addEventListener('mousedown', (event) => this.mouseDown(event));
            window.addEventListener('mousemove', (event) => this.mouseMove(event));
            window.addEventListener('mouseup', () => this.mouseUp());
            element.addEventListener('keydown', (event) => this.keyDown(event));
            element.addEventListener('focus', () => this.redrawLine(this.caret.line));
            element.addEventListener('blur', () => this.redrawLine(this.caret.line));
            document.addEventListener('copy', (event) => this.copy(event));
            new ResizeObserver(() => this.resized()).observe(element);
        }

        // Calls the module's WebPane<name> on the window.
        model(name, ...args) {
            return this.page.module['_WebPane' + name](this.page.window, ...args);
        }

        hasSelection() {
            return this.anchor.line !== this.caret.line || this.anchor.column !== this.caret.column;
        }

        resized() {
            this.height = this.element.clientHeight;
            this.model('SetVisibleLines', Math.max(1, Math.floor(this.viewHeight() / kLineHeight)));
            this.draw();
        }

        // What the view draws of the model: its text's serial, its line count, its top, the
        // anchor and the caret; and the view's height.
        modelState() {
            return [this.model('Serial'), this.model('LineCount') >>> 0, this.model('Top') >>> 0,
                this.model('AnchorLine') >>> 0, this.model('AnchorColumn') >>> 0,
                this.model('CaretLine') >>> 0, this.model('CaretColumn') >>> 0, this.height];
        }

        // Shows what the model holds: at each frame of a run, and after each of the user's
        // actions. Only the model moves the view (to follow the end, to show the caret); a
        // scroll of the user's that no event has told the model of yet is told first.
        draw() {
            const state = this.modelState();
            if (state.every((value, i) => value === this.drawnState[i])) {
                return; // a frame with nothing new costs no layout
            }
            this.drawnState = state;
            this.takeUserScroll();
            const [serial, count, , anchorLine, anchorColumn, caretLine, caretColumn] = state;
            if (serial !== this.serial) {
                this.serial = serial;
                this.content.replaceChildren();
                this.rows.clear();
                this.widest = 0;
            } else if (count !== this.lineCount) {
                this.forget(this.lineCount - 1); // the line that was last may have grown
            }
            this.lineCount = count;
            this.layout();
            this.top = this.model('Top') >>> 0;
            // In a scaled range the same scroll position moves down the report as rows arrive:
            // the position follows the model's top.
            const wanted = this.scrollTopOf(this.top);
            if (this.shownTop() !== this.top
                || (this.scaled && Math.abs(wanted - this.element.scrollTop) > 1)) {
                this.element.scrollTop = wanted;
            }
            this.ownScrollTop = this.element.scrollTop;
            this.drawSelection({ line: anchorLine, column: anchorColumn },
                { line: caretLine, column: caretColumn });
            this.render();
        }

        scrolled() {
            this.takeUserScroll();
            this.render();
        }

        takeUserScroll() {
            if (this.element.scrollTop !== this.ownScrollTop) {
                this.ownScrollTop = this.element.scrollTop;
                this.model('ScrollTo', this.shownTop());
                this.top = this.model('Top') >>> 0;
            }
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
            this.contentHeight = Math.min(total, kLargestScrollHeight);
            this.content.style.height = this.contentHeight + 'px';
            this.content.style.width = this.widest + 'px';
        }

        viewHeight() {
            return this.height;
        }

        // How far the view scrolls, in pixels and in lines.
        scrollRange() {
            return [this.contentHeight - this.viewHeight(),
                Math.max(0, this.lineCount - this.viewHeight() / kLineHeight)];
        }

        // The line, with its fraction, at the top of the view.
        viewTop() {
            const [scrollMax, topMax] = this.scrollRange();
            return scrollMax > 0 ? this.element.scrollTop / scrollMax * topMax : 0;
        }

        // The first whole line in view: the model's top. At the end of the report it is the
        // model's last top, since the view then shows the last line whole.
        shownTop() {
            return Math.max(0, Math.ceil(this.viewTop() - 0.01));
        }

        // The line, with its fraction, drawn at the top of the view. In a scaled range it is
        // the model's top, so that the rows stay put while the range rescales under them, but
        // at the bottom, where the last line is drawn whole.
        drawnTop() {
            const [scrollMax] = this.scrollRange();
            return this.scaled && this.element.scrollTop < scrollMax - 1 ? this.top : this.viewTop();
        }

        scrollTopOf(top) {
            const [scrollMax, topMax] = this.scrollRange();
            return topMax > 0 ? Math.min(top, topMax) / topMax * scrollMax : 0;
        }

        rowTop(line, top) {
            return this.scaled ? this.element.scrollTop + (line - top) * kLineHeight
                : line * kLineHeight;
        }

        // Puts the rows in view on the page. While no run is going and the report is short
        // enough, the others follow in later tasks, so that a screen reader can read the whole
        // report; during a run only the rows in view are drawn, so that a frame costs little.
        render() {
            const top = this.drawnTop();
            const first = Math.max(0, Math.floor(top));
            const last = Math.min(this.lineCount - 1,
                Math.floor(top + this.viewHeight() / kLineHeight) + 1);
            const keepAll = this.keepsAllRows();
            if ((!keepAll || this.scaled)
                && [...this.rows.keys()].some((line) => line < first || line > last)) {
                for (const line of this.rows.keys()) {
                    if (line < first || line > last) {
                        this.rows.delete(line);
                    }
                }
                this.content.replaceChildren(...this.rows.values()); // at once, however many go
            }
            const added = [];
            for (let line = first; line <= last; ++line) {
                let row = this.rows.get(line);
                if (!row) {
                    row = this.newRow(line, top);
                    this.content.append(row);
                    added.push(row);
                } else if (row.plain) {
                    row.plain = false;
                    row.className = 'row';
                    this.fillRow(row, line);
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

        // Adds the rows not yet on the page, a thousand per task, so that a key waits for none
        // of them for long. Out of view a row is only its text, for screen readers; it is drawn in
        // cells when it comes into view.
        fill() {
            this.filling = false;
            if (!this.keepsAllRows()) {
                return;
            }
            const rows = document.createDocumentFragment();
            let added = 0;
            for (let line = 0; line < this.lineCount && added < 1000; ++line) {
                if (!this.rows.has(line)) {
                    const row = document.createElement('div');
                    row.className = 'row text-only';
                    row.textContent = this.page.paneLine(line);
                    row.style.top = this.rowTop(line, 0) + 'px'; // no report this short is scaled
                    row.plain = true;
                    this.rows.set(line, row);
                    rows.append(row);
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
            if (row && !row.plain) {
                this.fillRow(row, line);
            }
        }

        // A row: each cell where the model says it starts, its selected part marked, the caret
        // where it is. A TAB, drawn with no width of its own, stays in the text for assistive
        // technology; selected, it marks the gap after its cell.
        fillRow(row, line) {
            const text = this.page.paneLine(line);
            const cells = text.split('\t');
            const starts = this.page.cellStarts(line, cells.length);
            let start = -1;
            let end = -1;
            if (this.hasSelection()) {
                const [from, to] = ordered(this.anchor, this.caret);
                if (line >= from.line && line <= to.line) {
                    start = line === from.line ? Math.min(from.column, text.length) : 0;
                    end = line === to.line ? Math.min(to.column, text.length) : text.length;
                }
            }
            const caret = document.activeElement === this.element && line === this.caret.line
                ? Math.min(this.caret.column, text.length) : -1;
            const drawn = [];
            let from = 0;
            cells.forEach((cellText, i) => {
                const to = from + cellText.length;
                const cell = document.createElement('span');
                cell.className = 'cell';
                const parts = this.marked(text, from, to, start, end, caret);
                if (i + 1 < cells.length) {
                    cell.style.width = (starts[i + 1] - starts[i]) + 'px';
                    if (to >= start && to < end) {
                        const tab = document.createElement('span');
                        tab.className = 'tab selected';
                        tab.textContent = '\t';
                        parts.push(tab);
                    } else {
                        parts.push('\t');
                    }
                }
                cell.append(...parts);
                drawn.push(cell);
                from = to + 1;
            });
            row.replaceChildren(...drawn);
        }

        // The text of columns `from` to `to`, with the selected part in a marked span and the
        // caret before the column it stands at.
        marked(text, from, to, start, end, caret) {
            if (!(start < end && start < to && end > from) && (caret < from || caret > to)) {
                return [text.slice(from, to)]; // most cells: nothing marked
            }
            const cuts = [...new Set([from, to, start, end, caret])]
                .filter((cut) => cut >= from && cut <= to).sort((a, b) => a - b);
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
            return parts;
        }

        // The rows whose marks change when the model's selection or caret has moved are drawn
        // again.
        drawSelection(anchor, caret) {
            if (anchor.line === this.anchor.line && anchor.column === this.anchor.column
                && caret.line === this.caret.line && caret.column === this.caret.column) {
                return;
            }
            const before = ordered(this.anchor, this.caret);
            const changed = new Set([this.caret.line, caret.line]);
            this.anchor = anchor;
            this.caret = caret;
            const after = ordered(anchor, caret);
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

        // Where a point of the page falls in the text: the line under it (the nearest within
        // the view) and the column before the nearest character boundary.
        positionAt(clientX, clientY) {
            const box = this.element.getBoundingClientRect();
            const y = Math.max(0, Math.min(clientY - box.top - this.element.clientTop,
                this.viewHeight() - 1));
            const line = Math.max(0, Math.min(this.lineCount - 1,
                Math.floor(this.drawnTop() + y / kLineHeight)));
            const x = clientX - box.left - this.element.clientLeft + this.element.scrollLeft
                - kRowPadding;
            return { line, column: this.columnAt(line, x) };
        }

        // In the cell under x, the boundary between characters nearest to it. Past a cell's
        // text, its TAB counts as one character as wide as the gap.
        columnAt(line, x) {
            const cells = this.page.paneLine(line).split('\t');
            const starts = this.page.cellStarts(line, cells.length);
            let cell = starts.length - 1;
            while (cell > 0 && starts[cell] > x) {
                --cell;
            }
            const text = cells[cell];
            const edge = (column) => starts[cell] + this.page.textWidth(text.slice(0, column));
            let low = 0;
            let high = text.length;
            while (low < high) {
                const middle = (low + high) >> 1;
                if ((edge(middle) + edge(middle + 1)) / 2 < x) {
                    low = middle + 1;
                } else {
                    high = middle;
                }
            }
            if (low === text.length && cell + 1 < starts.length
                && x > (edge(low) + starts[cell + 1]) / 2) {
                ++low;
            }
            return cells.slice(0, cell).reduce((column, c) => column + c.length + 1, low);
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
            this.model('Press', at.line, at.column, event.detail, event.shiftKey);
            this.dragging = true;
            this.draw();
        }

        // A drag held above or below the view scrolls it on, a line at each move.
        mouseMove(event) {
            if (!this.dragging) {
                return;
            }
            if ((event.buttons & 1) === 0) {
                this.mouseUp();
                return;
            }
            const box = this.element.getBoundingClientRect();
            if (event.clientY < box.top || event.clientY > box.bottom) {
                this.model('ScrollTo', Math.max(0, this.top + (event.clientY < box.top ? -1 : 1)));
                this.draw();
            }
            const at = this.positionAt(event.clientX, event.clientY);
            this.model('DragTo', at.line, at.column);
            this.draw();
            this.revealCaret();
        }

        mouseUp() {
            if (this.dragging) {
                this.dragging = false;
                this.model('Release');
                this.draw();
            }
        }

        selectAll() {
            this.page.paneKey('a', true, false);
            this.draw();
        }

        keyDown(event) {
            const control = event.ctrlKey || event.metaKey;
            const key = event.key;
            if (control && (key === 'c' || key === 'C' || key === 'Insert')) {
                this.holdNativeSelection(); // the browser copies, and asks the copy event
                return;
            }
            if (this.page.paneKey(key, control, event.shiftKey)) {
                event.preventDefault();
                this.draw();
                this.revealCaret();
            }
        }

        // Scrolls sideways as little as shows the caret.
        revealCaret() {
            const caret = this.rows.get(this.caret.line)?.querySelector('.caret');
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
                event.clipboardData.setData('text/plain', this.page.selectedText());
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
            this.controls = new Map(); // control identity -> element
            // Where each frame's top-left corner lies in the window, and what it holds.
            this.origins = new Map();
            this.held = new Map();
            // Each control's place in the window, by identity, with its kind and container.
            this.places = new Map();
            this.boxes = new Map(); // control identity -> input
            this.options = new Map();
            this.startButtons = [];
            this.holding = false;
            this.heldTexts = new Map();
            this.heldProgress = null;
            this.pane = null;
            this.decoder = new TextDecoder();
            this.encoder = new TextEncoder();
            // The pane's font, for measuring its text.
            this.measure = document.createElement('canvas').getContext('2d');
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
            this.followView();
            this.readyForTouch();
            this.pane.resized();
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

        paneLine(line) {
            const size = this.module._WebPaneLineSize(this.window, line) >>> 0;
            return this.text(this.module._WebPaneLine(this.window, line), size);
        }

        selectedText() {
            const pointer = this.module._WebPaneSelectedText(this.window);
            return this.text(pointer, this.module._WebPaneSelectedSize(this.window));
        }

        // Where the model puts each of a line's `count` cells.
        cellStarts(line, count) {
            const pointer = this.module._WebPaneCellStarts(this.window, line) >>> 0;
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
            const taken = this.module._WebPaneKey(this.window, pointer, name.length, control, shift);
            this.module._free(pointer);
            return Boolean(taken);
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

        // The pane's font is the desktop's: a point is 4/3 CSS pixels. `windowId` is the
        // window's identity as the container of its own controls.
        createWindow(window, windowId, caption, width, height, paneFont, panePoints) {
            this.window = window;
            this.windowId = windowId;
            this.origins.set(windowId, { left: 0, top: 0 });
            const font = `"${paneFont}", "Liberation Sans", sans-serif`;
            this.form.style.setProperty('--pane-font', font);
            this.form.style.setProperty('--pane-font-size', (panePoints * 4 / 3) + 'px');
            this.measure.font = `${panePoints * 4 / 3}px ${font}`;
            document.title = caption;
            document.getElementById('WindowCaption').textContent = caption;
            this.windowSize = { width, height };
            this.form.style.width = width + 'px';
            this.form.style.height = height + 'px';
        }

        // The window's focus order crosses its frames (the RF side's max error comes after the
        // shared FoLD group), so every control is a child of the window, placed where the
        // table puts it, and the controls that take the focus stand in the page in that order:
        // the browser's own Tab order, with no tab index to override it. Each frame owns what
        // it holds, so that assistive technology still reads a group under its caption.
        arrangeFocusOrder() {
            const frames = [...this.held.keys()].map(id => this.controls.get(id));
            const focusOrder = [...this.controls.values()]
                .filter(control => !frames.includes(control))
                .sort((a, b) => a.tabOrder - b.tabOrder);
            this.form.append(...frames, ...focusOrder);
            for (const [id, held] of this.held) {
                this.controls.get(id).setAttribute('aria-owns', held.join(' '));
            }
        }

        // The window as the desktop lays it out wherever the view has room for it. On a narrower
        // view (a phone, a tablet held upright, a zoomed screen) its controls flow into one
        // column instead, so that the page never scrolls sideways; they keep their order in the
        // page, and with it the window's tab order and the groups a screen reader reads.
        followView() {
            document.documentElement.style.setProperty('--window-width',
                this.windowSize.width + 'px');
            this.fitToView();
            window.addEventListener('resize', () => this.fitToView());
        }

        fitToView(again = false) {
            const view = document.documentElement.clientWidth;
            const narrow = view < this.windowSize.width;
            document.documentElement.classList.toggle('narrow', narrow);
            const width = narrow ? this.form.parentElement.clientWidth : this.windowSize.width;
            if (width === this.laidOutWidth) {
                return;
            }
            this.laidOutWidth = width;
            const { placed, height } = narrow
                ? flowIntoColumn(this.places, this.windowId, this.windowSize.width, width)
                : { placed: this.places, height: this.windowSize.height };
            for (const [id, place] of placed) {
                Object.assign(this.controls.get(id).style, { left: place.left + 'px',
                    top: place.top + 'px', width: place.width + 'px',
                    height: place.height + 'px' });
            }
            this.form.style.width = width + 'px';
            this.form.style.height = height + 'px';
            // A page grown taller may have brought in a scroll bar that takes from the view.
            if (!again && document.documentElement.clientWidth !== view) {
                this.fitToView(true);
            }
        }

        // Phone keyboards neither capitalise nor correct what is typed into a box. The boxes keep
        // the whole keyboard: a decimal pad has no exponents (100e6), and some none of the signs.
        readyForTouch() {
            for (const box of this.boxes.values()) {
                box.setAttribute('autocapitalize', 'off');
                box.setAttribute('autocorrect', 'off');
            }
            this.paneTouch = new PaneTouch(this.pane, document.getElementById('PaneMenu'));
        }

        createControl(row) {
            const kind = row.kind;
            const origin = this.origins.get(row.container);
            let control;
            switch (kind) {
            case 'Frame': {
                control = document.createElement('fieldset');
                this.held.set(row.id, []);
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
                control.addEventListener('input', () => this.boxEdited(row.id, control.value));
                this.boxes.set(row.id, control);
                break;
            case 'Option': {
                control = document.createElement('div');
                control.id = row.name + '-item';
                control.classList.add('option');
                const focusable = document.createElement('input');
                focusable.type = 'radio';
                focusable.id = row.name;
                focusable.name = this.controls.get(row.container).id;
                const label = document.createElement('label');
                label.htmlFor = row.name;
                label.textContent = row.caption;
                control.append(focusable, label);
                focusable.addEventListener('change', () => {
                    if (focusable.checked) {
                        this.module._WebOptionChosen(this.window, row.id);
                    }
                });
                this.options.set(row.id, focusable);
                break;
            }
            case 'Button':
                control = document.createElement('button');
                control.type = 'button';
                control.textContent = row.caption;
                control.addEventListener('click', () => this.buttonClicked(row.id, control));
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
            this.origins.set(row.id, { left, top });
            this.places.set(row.id, { kind, container: row.container, left, top,
                width: row.width, height: row.height });
            Object.assign(control.style, { left: left + 'px', top: top + 'px',
                width: row.width + 'px', height: row.height + 'px' });
            control.tabOrder = row.tabIndex;
            if (row.container !== this.windowId) {
                this.held.get(row.container).push(control.id);
            }
            this.controls.set(row.id, control);
            this.form.append(control);
        }

        boxEdited(id, value) {
            const bytes = this.encoder.encode(value);
            const pointer = this.module._WebBoxBuffer(this.window, id, bytes.length) >>> 0;
            this.heap().set(bytes, pointer);
        }

        buttonClicked(id, button) {
            this.lastStartButton = button;
            this.module._WebButtonClicked(this.window, id);
        }

        // Between a run's frames the boxes and the bar keep what they show, and the browser has
        // nothing to draw again: what the run sets meanwhile is drawn at the next frame.
        holdDrawing(held) {
            this.holding = held;
            if (!held) {
                for (const [id, text] of this.heldTexts) {
                    this.setBoxText(id, text);
                }
                this.heldTexts.clear();
                if (this.heldProgress !== null) {
                    this.showProgress(this.heldProgress);
                }
            }
        }

        setBoxText(id, text) {
            if (this.holding) {
                this.heldTexts.set(id, text);
                return;
            }
            const box = this.boxes.get(id);
            if (box && box.value !== text) {
                box.value = text;
            }
        }

        setOption(id, selected) {
            this.options.get(id).checked = selected;
        }

        // How full the bar is, from 0 to 1, shown to a tenth of a percent.
        showProgress(fraction) {
            this.heldProgress = this.holding ? fraction : null;
            if (this.holding) {
                return;
            }
            const shown = Math.round(fraction * 1000) / 10;
            if (shown !== this.progressShown) {
                this.progressShown = shown;
                this.progressBar.firstChild.style.width = shown + '%';
                this.progressBar.setAttribute('aria-valuenow', String(shown));
            }
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
        selectedText: () => (page.module ? page.selectedText() : ''),
    };
    const page = new Page(api);
    window.lmx2330a = api;
    document.getElementById('ErrorBoxOk').addEventListener('click',
        () => document.getElementById('ErrorBox').close());
    const factory = api.core === 'simd' ? Lmx2330aSimd : Lmx2330aPlain;
    // The run's workers, one a core, of the same module (?workers=N asks for N, 0 for none).
    const workers = new URLSearchParams(location.search).get('workers');
    page.workers = new SweepWorkers(document.getElementById(api.core === 'simd' ? 'SimdModule'
        : 'PlainModule').text, api.core === 'simd' ? 'Lmx2330aSimd' : 'Lmx2330aPlain',
    workers === null ? navigator.hardwareConcurrency || 1 : Number(workers));
    api.workers = () => page.workers.state();
    factory({ page }).then((module) => {
        page.start(module);
        setTimeout(() => page.workers.ready()); // started once the page is up, for its first run
    });
}());
