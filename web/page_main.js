// SPDX-License-Identifier: MIT
// The page's start: the page's object, which the module's window draws through, and what the
// browser tests and a user's own scripts may ask of the page (window.lmx2330a); then the module,
// created with the page, which creates its window, and the workers that sweep beside it.

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
