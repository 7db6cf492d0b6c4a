// SPDX-License-Identifier: MIT
// The test page's own part of the script, run before the page's: when the page creates its
// window, it adds to window.lmx2330a what the browser tests and the bench call and a user never
// does, over the exports test_hooks.cpp adds to the test page's modules.
'use strict';

(function () {
    // The page's sweep workers, as it starts them, so that a test can end one without a word.
    const workers = [];
    const PageWorker = Worker;
    Worker = class extends PageWorker {
        constructor(...settings) {
            super(...settings);
            workers.push(this);
        }
    };

    function withHooks(factory) {
        return (settings) => factory(settings).then((module) => {
            const createWindow = module._WebCreateWindow;
            module._WebCreateWindow = () => {
                const address = createWindow();
                const api = globalThis.lmx2330a;
                // A run whose report grows beyond this many bytes stops with a box that says why.
                api.setLargestReport = (bytes) => module._WebSetLargestReport(address, bytes);
                // The side's run on the boxes as they stand, with no page around it: no yield,
                // no drawing. The bench times the page's own run beside it.
                api.timeCore = (side) => {
                    const start = performance.now();
                    const bytes = module._WebRunQuietly(address, side === 'IF' ? 1 : 0);
                    return { ms: performance.now() - start, bytes };
                };
                api.endWorker = (index) => workers[index].terminate();
                return address;
            };
            return module;
        });
    }

    // The two modules' factories, which the page's script calls once it has chosen its core.
    Lmx2330aSimd = withHooks(Lmx2330aSimd);
    Lmx2330aPlain = withHooks(Lmx2330aPlain);
}());
