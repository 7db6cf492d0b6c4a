// SPDX-License-Identifier: MIT
// The result pane's input: where a point falls in the text, what the mouse and the keys do (the
// pane's model decides, this passes them on), a drag held past the view scrolling it on a timer,
// scrolling sideways to the caret, and the copy: the browser's own Copy (keys, context menu)
// answered with the model's selected text.

// A step of a drag's scrolling sideways.
const kHorizontalStep = 20; // px

class PaneInput {
    constructor(pane) {
        this.pane = pane;
        this.element = pane.element;
        this.page = pane.page;
        this.dragging = false;
        this.dragPoint = null;
        this.scrollTimer = 0;
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
            Math.floor(this.pane.drawnTop() + y / this.pane.lineHeight)));
        const x = clientX - box.left - this.element.clientLeft + this.pane.lineLeft()
            - kRowPadding;
        return { line, column: this.columnAt(line, x) };
    }

    // In the cell under x, the boundary between characters nearest to it. Past a cell's
    // text, its TAB counts as one character as wide as the gap.
    columnAt(line, x) {
        const piece = this.page.linePiece(line, x, x);
        const cells = piece.text.split('\t');
        const starts = piece.starts; // and of cells after the piece
        let cell = cells.length - 1;
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
        if (low === text.length && cell + 1 < cells.length
            && x > (edge(low) + starts[cell + 1]) / 2) {
            ++low;
        }
        return cells.slice(0, cell).reduce((column, c) => column + c.length + 1,
            piece.column + low);
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

    mouseMove(event) {
        if (!this.dragging) {
            return;
        }
        if ((event.buttons & 1) === 0) {
            this.mouseUp();
            return;
        }
        this.dragPoint = [event.clientX, event.clientY];
        this.extendToDragPoint();
        this.scrollOn();
    }

    extendToDragPoint() {
        const at = this.positionAt(...this.dragPoint);
        this.pane.model('DragTo', at.line, at.column);
        this.pane.draw();
        this.revealCaret();
    }

    // While the drag is held past the view's edges, the view scrolls towards it a step at a
    // time, as often as the model says, and the selection follows.
    scrollOn() {
        clearTimeout(this.scrollTimer);
        const box = this.element.getBoundingClientRect();
        const left = box.left + this.element.clientLeft;
        const top = box.top + this.element.clientTop;
        const code = this.page.module._WebAutoScroll(left, top, left + this.element.clientWidth,
            top + this.element.clientHeight, ...this.dragPoint);
        if (code === 0) {
            return;
        }
        this.scrollTimer = setTimeout(() => {
            const down = Math.floor(code / 3) % 3 - 1;
            const across = code % 3 - 1;
            if (down !== 0) {
                this.pane.model('ScrollTo', Math.max(0, this.pane.top + down));
                this.pane.draw();
            }
            this.element.scrollLeft += across * kHorizontalStep;
            this.extendToDragPoint();
            this.scrollOn();
        }, Math.floor(code / 9));
    }

    mouseUp() {
        if (this.dragging) {
            clearTimeout(this.scrollTimer);
            this.dragging = false;
            this.pane.model('Release');
            this.pane.draw();
        }
    }

    keyDown(event) {
        const taken = this.page.paneKey(event);
        if (taken === 2) {
            this.holdNativeSelection(); // the browser copies, and asks the copy event
        } else if (taken === 1) {
            event.preventDefault();
            this.pane.draw();
            this.revealCaret();
        }
    }

    // Scrolls sideways as little as shows the caret.
    revealCaret() {
        const x = this.page.xOf(this.pane.caret.line, this.pane.caret.column) + kRowPadding;
        const left = this.pane.lineLeft();
        const wanted = this.page.module._WebScrollToReveal(x, left, this.element.clientWidth,
            kRowPadding);
        if (wanted !== left) {
            this.element.scrollLeft = this.pane.scrollLeftFor(wanted);
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
