// SPDX-License-Identifier: MIT
// partContrasts(png): from a screenshot of the view (a PNG in base64), the weakest contrast of
// each kind of part that shows a control: option marker rings (their pixel that stands out most)
// and box borders against the window beside them, frame lines against the window inside them,
// and the selected markers' dots against their fill.
async function partContrasts(png) {
    const image = new Image();
    image.src = 'data:image/png;base64,' + png;
    await image.decode();
    const canvas = Object.assign(document.createElement('canvas'),
        { width: image.width, height: image.height });
    canvas.getContext('2d').drawImage(image, 0, 0);
    const data = canvas.getContext('2d').getImageData(0, 0, image.width, image.height).data;
    const scale = image.width / innerWidth;
    const luminance = (x, y) => [0.2126, 0.7152, 0.0722].reduce((sum, weight, c) => {
        const v = data[(Math.floor(y * scale) * image.width + Math.floor(x * scale)) * 4 + c] / 255;
        return sum + weight * (v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4);
    }, 0);
    const ratio = (a, b) => (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05);
    const weakest = (selector, measure) => Math.min(...[...document.querySelectorAll(selector)]
        .map((part) => part.getBoundingClientRect())
        .filter((box) => box.left >= 2 && box.top >= 0 && box.bottom <= innerHeight)
        .map((box) => measure(box, box.left, box.top + box.height / 2)));
    const ring = (box, x, y) => {
        let strongest = 1;
        for (let v = box.top; v < box.bottom; v += 1 / scale) {
            for (let u = box.left; u < box.right; u += 1 / scale) {
                strongest = Math.max(strongest, ratio(luminance(u, v), luminance(x - 2, y)));
            }
        }
        return strongest;
    };
    const beside = (dx, dy) => (box, x, y) => ratio(luminance(x + dx, y), luminance(x + dy, y));
    return {
        ring: weakest('#Form1 input[type=radio]:not(:checked)', ring),
        dot: weakest('#Form1 input[type=radio]:checked', (box, x, y) =>
            beside(box.width / 2, box.width / 2 + 4)(box, x, y)),
        frame: weakest('#Form1 .frame-line', beside(0, 3)),
        box: weakest('#Form1 input[type=text]', beside(0, -2)),
    };
}
