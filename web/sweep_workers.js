// SPDX-License-Identifier: MIT
// The page's workers, which sweep the parts of a run's quiet stretches on the machine's other
// cores. Each instantiates its own copy of the module the page chose, from the text of that
// module's script. A page opened from disk is not cross-origin isolated and has no shared memory,
// so parts and their stops go by message. The page's module hands the parts out, in order, and
// takes their stops; the run awaits the stretch's stop as it awaits a turn, so the page stays
// responsive meanwhile. Where workers cannot start, or fail, the page sweeps on its own thread.

class SweepWorkers {
    // `source`: the module's script, which defines the factory named `factory`; `count`: how
    // many workers to start, none below two (one core is the page's own).
    constructor(source, factory, count) {
        this.source = source;
        this.factory = factory;
        this.count = count >= 2 ? Math.min(count, SweepWorkers.kMostWorkers) : 0;
        this.workers = null; // started by the first call to ready()
        this.stretch = null; // the stretch being swept: its serial, module, window and readings
        this.serial = 0;
        this.partsSwept = 0;
    }

    // How many workers take parts now; the first call starts them.
    ready() {
        if (!this.workers) {
            this.start();
        }
        return this.workers.filter((worker) => worker.ready && !worker.failed).length;
    }

    // How many workers the page asked for and how many are ready, how many parts they hold
    // (answered or not) and how many they have swept.
    state() {
        const workers = this.workers || [];
        return { wanted: this.count,
            ready: workers.filter((worker) => worker.ready && !worker.failed).length,
            busy: workers.reduce((held, worker) => held + worker.parts.length, 0),
            partsSwept: this.partsSwept };
    }

    start() {
        this.workers = [];
        if (this.count === 0 || typeof Worker !== 'function' || typeof Blob !== 'function') {
            return;
        }
        // The script's address is given up once every worker has loaded it, or failed to.
        const body = `\n(${sweepWorkerMain})(${JSON.stringify(this.factory)});\n`;
        let url = null;
        let unsettled = this.count;
        const settled = () => {
            if (--unsettled === 0) {
                URL.revokeObjectURL(url);
            }
        };
        try {
            url = URL.createObjectURL(new Blob([this.source, body], { type: 'text/javascript' }));
            for (let i = 0; i < this.count; ++i) {
                this.workers.push(this.spawn(url, settled));
            }
        } catch (error) {
            // No workers here (a browser's policy): the page sweeps alone.
            this.workers.forEach((worker) => worker.thread.terminate());
            this.workers = [];
            if (url) {
                URL.revokeObjectURL(url);
            }
        }
    }

    spawn(url, settled) {
        const worker = { thread: new Worker(url), ready: false, failed: false, parts: [] };
        worker.thread.onmessage = (event) => {
            if (event.data.ready || event.data.failed) {
                settled();
            }
            this.answered(worker, event.data);
        };
        worker.thread.onerror = (event) => {
            event.preventDefault();
            if (!worker.ready) {
                settled();
            }
            this.fail(worker);
        };
        return worker;
    }

    // Hands the parts that `module` gives out for its `window` to the workers, to sweep with the
    // readings `job` holds (path, crystal, wanted, maxError), until the stretch ends.
    begin(module, window, job) {
        this.stretch = { serial: ++this.serial, module, window, job, known: () => {} };
        this.handOut();
    }

    // Resolves once the stretch's stop is known. A worker that holds a part of it for seconds,
    // where a part takes milliseconds, has died without a word (a browser may end one that way):
    // it is taken as failed.
    stopKnown() {
        return new Promise((resolve) => {
            const stretch = this.stretch;
            if (!stretch) {
                resolve();
                return;
            }
            const timer = setTimeout(() => {
                this.workers.filter((worker) => worker.parts.some((part) => part.serial
                    === stretch.serial)).forEach((worker) => this.fail(worker));
            }, SweepWorkers.kPatience);
            stretch.known = () => {
                clearTimeout(timer);
                resolve();
            };
        });
    }

    // What the workers still answer for the stretch is dropped.
    end() {
        this.stretch = null;
    }

    // Each worker gets a part, then a second one, which waits in its queue and so starts the
    // moment the first is swept.
    handOut() {
        for (let inHand = 1; inHand <= SweepWorkers.kPartsInHand; ++inHand) {
            for (const worker of this.workers) {
                const stretch = this.stretch;
                if (!stretch || !worker.ready || worker.failed || worker.parts.length >= inHand) {
                    continue;
                }
                const index = stretch.module._WebNextSweepPart(stretch.window);
                if (index < 0) {
                    return;
                }
                const part = { ...stretch.job, serial: stretch.serial, index,
                    first: stretch.module._WebSweepPartFirst(stretch.window),
                    last: stretch.module._WebSweepPartLast(stretch.window) };
                worker.parts.push(part);
                worker.thread.postMessage(part);
            }
        }
    }

    answered(worker, message) {
        if (message.ready) {
            worker.ready = true;
        } else if (message.failed) {
            this.fail(worker);
            return;
        } else {
            const part = worker.parts.shift(); // a worker answers in the order it was sent
            ++this.partsSwept;
            this.report(part, message.stop);
        }
        this.handOut();
    }

    report(part, stop) {
        const stretch = this.stretch;
        if (stretch && part.serial === stretch.serial
            && stretch.module._WebSweepPartDone(stretch.window, part.index, stop)) {
            this.stretch = null;
            stretch.known();
        }
    }

    // A worker that fails takes no more parts. The page sweeps what it held, and, when no
    // worker is left, the rest of the stretch.
    fail(worker) {
        worker.failed = true;
        worker.thread.terminate();
        const held = worker.parts;
        worker.parts = [];
        const stretch = this.stretch;
        if (!stretch) {
            return;
        }
        const sweepHere = (part) => this.report(part, stretch.module._WebFindStoppingDivider(
            part.path, part.crystal, part.wanted, part.maxError, part.first, part.last));
        held.filter((part) => part.serial === stretch.serial).forEach(sweepHere);
        while (this.stretch === stretch && this.ready() === 0) {
            const index = stretch.module._WebNextSweepPart(stretch.window);
            if (index < 0) {
                break;
            }
            sweepHere({ ...stretch.job, serial: stretch.serial, index,
                first: stretch.module._WebSweepPartFirst(stretch.window),
                last: stretch.module._WebSweepPartLast(stretch.window) });
        }
        this.handOut(); // to the workers left
    }
}

SweepWorkers.kMostWorkers = 16;
SweepWorkers.kPartsInHand = 2;
SweepWorkers.kPatience = 5000; // ms

// A worker's whole script after the module's: it instantiates the module, says so, and answers
// each part with its stop. Runs in the worker, from its text.
function sweepWorkerMain(factory) {
    self[factory]({}).then((module) => {
        onmessage = (event) => {
            const part = event.data;
            postMessage({ stop: module._WebFindStoppingDivider(part.path, part.crystal,
                part.wanted, part.maxError, part.first, part.last) });
        };
        postMessage({ ready: true });
    }, () => postMessage({ failed: true }));
}
