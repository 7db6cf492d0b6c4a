// SPDX-License-Identifier: MIT
// The result pane's view. The pane's model in the module holds the report, the selection and
// where the view stands, and decides what every click, drag and key does; this view draws the
// rows in view at the cell starts the model gives, with the selection and the caret, and keeps
// the browser's scrolling and the model's view in step.

// Up to this many lines every row of the report is in the page, for screen readers to read
// through; beyond, only the rows in view are, so that a million rows scroll at once.
const kAllRowsInPage = 5000;
// Below every browser's largest element height (Firefox's is about 17.9 million pixels): a
// longer report is scrolled through a scaled range.
const kLargestScrollHeight = 8000000;
const kLineHeight = 13; // px: Arial at 11 px, as the desktop pane spaces its lines
const kRowPadding = 4; // px, left and right of each row

function ordered(a, b) {
    return a.line < b.line || (a.line === b.line && a.column <= b.column) ? [a, b] : [b, a];
}

class ReportPane {
    constructor(element, page) {
        this.element = element;
        this.page = page;
        this.content = document.createElement('div');
        this.content.className = 'pane-content';
        element.append(this.content);
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

        this.input = new PaneInput(this);

        element.addEventListener('scroll', () => this.scrolled());
        element.addEventListener('focus', () => this.redrawLine(this.caret.line));
        element.addEventListener('blur', () => this.redrawLine(this.caret.line));
        new ResizeObserver(() => this.resized()).observe(element);
    }

    // Calls the module's WebPane<name> on the window.
    model(name, ...args) {
        return this.page.call('Pane' + name, ...args);
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
        this.input.holdNativeSelection();
    }

    selectAll() {
        this.page.paneKey('a', true, false);
        this.draw();
    }
}
