// SPDX-License-Identifier: MIT
// The result pane's input: where a point falls in the text, what the mouse and the keys do (the
// pane's model decides, this passes them on), scrolling sideways to the caret, and the copy:
// the browser's own Copy (keys, context menu) answered with the model's selected text.

class PaneInput {
    constructor(pane) {
        this.pane = pane;
        this.element = pane.element;
        this.page = pane.page;
        this.dragging = false;
        // The browser offers Copy (keys, context menu) only over a selection of its own: this
        // element holds one while the pane has a selection, and the copy event is answered
        // with the pane's text.
        this.proxy = document.createElement('span');
        this.proxy.className = 'copy-proxy';
        this.proxy.setAttribute('aria-hidden', 'true');
        this.proxy.textContent = 'x';
        const element = this.element;
        element.append(this.proxy);
        element.addEventListener('mousedown', (event) => this.mouseDown(event));
        window.addEventListener('mousemove', (event) => this.mouseMove(event));
        window.addEventListener('mouseup', () => this.mouseUp());
        element.addEventListener('keydown', (event) => this.keyDown(event));
        document.addEventListener('copy', (event) => this.copy(event));
    }

    // Where a point of the page falls in the text: the line under it (the nearest within
    // the view) and the column before the nearest character boundary.
    positionAt(clientX, clientY) {
        const box = this.element.getBoundingClientRect();
        const y = Math.max(0, Math.min(clientY - box.top - this.element.clientTop,
            this.pane.viewHeight() - 1));
        const line = Math.max(0, Math.min(this.pane.lineCount - 1,
            Math.floor(this.pane.drawnTop() + y / kLineHeight)));
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
        this.pane.model('Press', at.line, at.column, event.detail, event.shiftKey);
        this.dragging = true;
        this.pane.draw();
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
            const step = event.clientY < box.top ? -1 : 1;
            this.pane.model('ScrollTo', Math.max(0, this.pane.top + step));
            this.pane.draw();
        }
        const at = this.positionAt(event.clientX, event.clientY);
        this.pane.model('DragTo', at.line, at.column);
        this.pane.draw();
        this.revealCaret();
    }

    mouseUp() {
        if (this.dragging) {
            this.dragging = false;
            this.pane.model('Release');
            this.pane.draw();
        }
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
            this.pane.draw();
            this.revealCaret();
        }
    }

    // Scrolls sideways as little as shows the caret.
    revealCaret() {
        const caret = this.pane.rows.get(this.pane.caret.line)?.querySelector('.caret');
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
        if (!this.pane.hasSelection()) {
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
        if (ours && this.pane.hasSelection()) {
            event.clipboardData.setData('text/plain', this.page.selectedText());
            event.preventDefault();
        }
    }
}
