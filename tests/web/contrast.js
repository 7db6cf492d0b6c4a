// SPDX-License-Identifier: MIT
// From a screenshot of the view (PNG, base64), the weakest contrast of each kind of part: marker
// rings (their strongest pixel) and box borders against the window beside them, frame lines
// against the window inside them, dots against their marker's fill.
async function partContrasts(png) {
    const image = new Image();
    image.src = 'data:image/png;base64,' + png;
    await image.decode();
    const context = new OffscreenCanvas(image.width, image.height).getContext('2d');
    context.drawImage(image, 0, 0);
    const data = context.getImageData(0, 0, image.width, image.height).data;
    const scale = image.width / innerWidth;
    const luminance = ([x, y]) => [0.2126, 0.7152, 0.0722].reduce((sum, weight, c) => {
        const v = data[(Math.floor(y * scale) * image.width + Math.floor(x * scale)) * 4 + c] / 255;
        return sum + weight * (v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4);
    }, 0);
    const ratio = (a, b) => (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05);
    // Over the parts in view, the weakest of each part's best contrast between the point pairs
    // `points` gives from its box and the middle of its left side.
    const weakest = (selector, points) => Math.min(...[...document.querySelectorAll(selector)]
        .map((part) => part.getBoundingClientRect())
        .filter((box) => box.left >= 2 && box.top >= 0 && box.bottom <= innerHeight)
        .map((box) => Math.max(...points(box, box.left, box.top + box.height / 2)
            .map(([a, b]) => ratio(luminance(a), luminance(b))))));
    const pixels = (box) => Array.from({ length: box.width * box.height * scale * scale },
        (_, i) => [box.left + (i % (box.width * scale)) / scale,
            box.top + Math.floor(i / (box.width * scale)) / scale]);
    return {
        ring: weakest('#Form1 input[type=radio]:not(:checked)',
            (box, x, y) => pixels(box).map((pixel) => [pixel, [x - 2, y]])),
        dot: weakest('#Form1 input[type=radio]:checked',
            (box, x, y) => [[[x + box.width / 2, y], [x + box.width / 2 + 4, y]]]),
        frame: weakest('#Form1 .frame-line', (box, x, y) => [[[x, y], [x + 3, y]]]),
        box: weakest('#Form1 input[type=text]', (box, x, y) => [[[x, y], [x - 2, y]]]),
    };
}
