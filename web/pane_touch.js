// SPDX-License-Identifier: MIT
// The result pane by touch: taps, double taps, a long press and its menu.

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
