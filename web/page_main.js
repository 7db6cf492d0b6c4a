// SPDX-License-Identifier: MIT
// The page's start: the page's object, which the module's window draws through, and what the
// browser tests and a user's own scripts may ask of the page (window.lmx2330a); then the module,
// created with the page, which creates its window.

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
factory({ page }).then((module) => page.start(module));
