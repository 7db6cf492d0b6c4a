// SPDX-License-Identifier: MIT
// The window on the page: the controls the module's window asks for, each where the shared
// layout places it for the view's width; the user's edits, option choices and clicks passed to
// the window by each control's identity; what the window shows drawn; the error box; and the
// turns of the browser's event loop that a run's yields wait for.

// A key typed during a run shows within about two frames of 60 Hz.
const kLongestWithoutFrame = 25; // ms

class Page extends ModuleBridge {
    constructor(api) {
        super();
        this.api = api;
        this.form = document.getElementById('Form1');
        this.controls = new Map(); // control identity -> element
        this.held = new Map(); // frame identity -> the ids of the elements it holds
        this.boxes = new Map(); // control identity -> input
        this.options = new Map();
        this.startButtons = [];
        this.pane = null;
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

    // The pane's font is the desktop's: a point is 4/3 CSS pixels. `windowId` is the
    // window's identity as the container of its own controls.
    createWindow(window, windowId, caption, width, height, paneFont, panePoints) {
        this.window = window;
        this.windowId = windowId;
        const font = `"${paneFont}", "Liberation Sans", sans-serif`;
        this.form.style.setProperty('--pane-font', font);
        this.form.style.setProperty('--pane-font-size', (panePoints * 4 / 3) + 'px');
        this.measure.font = `${panePoints * 4 / 3}px ${font}`;
        document.title = caption;
        document.getElementById('WindowCaption').textContent = caption;
        this.windowSize = { width, height };
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
        const { placed, height } = this.placesForView(width);
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
            control.addEventListener('input', () => this.writeBoxText(row.id, control.value));
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
                    this.call('OptionChosen', row.id);
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
        control.tabOrder = row.tabIndex;
        if (row.container !== this.windowId) {
            this.held.get(row.container).push(control.id);
        }
        this.controls.set(row.id, control);
        this.form.append(control);
    }

    buttonClicked(id, button) {
        this.lastStartButton = button;
        this.call('ButtonClicked', id);
    }

    setBoxText(id, text) {
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
