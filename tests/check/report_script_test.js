// The report script's arithmetic, without a browser: which labels a zoom
// shows, views that stay inside the plot, labels that keep their offset from
// their peak on screen, cursor ppm, the links to a view, and axis ticks equal
// to the ones the pictures draw.
//
// usage: node report_script_test.js SCRIPT SVG...
'use strict';
const assert = require('node:assert/strict');
const fs = require('node:fs');
const test = require('node:test');

const [scriptPath, ...svgPaths] = process.argv.slice(2);
const view = require(scriptPath);

const area = {x: 60, y: 40, w: 320, h: 220};
const ppm = {left: 6, right: 4, top: 85, bottom: 100};

// The matrix of an SVG transform "matrix(a b c d e f)" applied to (x, y).
function apply(transform, x, y) {
  const m = /^matrix\(([^)]*)\)$/.exec(transform)[1].split(' ').map(Number);
  return {x: m[0] * x + m[2] * y + m[4], y: m[1] * x + m[3] * y + m[5]};
}
function drawn(v, x, y) {
  return {x: v.zoom * x + v.dx, y: v.zoom * y + v.dy};
}
function near(actual, expected, what) {
  assert.ok(Math.abs(actual - expected) < 1e-9, `${what}: ${actual}, expected ${expected}`);
}

test('a zoom shows the labels of the largest label zoom not above it', () => {
  // Five wheel steps of 120 pixels (2^(2/5) each) land a hair below 4.
  let wheeled = 1;
  for (let i = 0; i < 5; ++i) wheeled *= Math.pow(2, 120 / 300);
  const cases = [[1, 1], [1.99, 1], [2, 2], [3.5, 2], [4, 4], [32, 4], [wheeled, 4]];
  for (const [zoom, level] of cases) assert.equal(view.labelZoom(zoom), level, `zoom ${zoom}`);
});

test('zooming keeps the point under the cursor and the plot covering its area', () => {
  const points = [[100, 80], [370, 250], [220, 150]];
  for (const [x, y] of points) {
    const zoomed = view.zoomAbout({zoom: 1, dx: 0, dy: 0}, 3, x, y, area);
    const before = view.plotPoint({zoom: 1, dx: 0, dy: 0}, x, y);
    const after = view.plotPoint(zoomed, x, y);
    near(after.x, before.x, `x under (${x}, ${y})`);
    near(after.y, before.y, `y under (${x}, ${y})`);
  }
  // Near the frame the view is held inside the plot: its corners show plot
  // points inside the area.
  const corner = view.zoomAbout({zoom: 1, dx: 0, dy: 0}, 4, 61, 41, area);
  const panned = view.clampView({zoom: 4, dx: 1e6, dy: -1e6}, area);
  for (const v of [corner, panned]) {
    const first = view.plotPoint(v, area.x, area.y);
    const last = view.plotPoint(v, area.x + area.w, area.y + area.h);
    assert.ok(first.x >= area.x - 1e-9 && first.y >= area.y - 1e-9, JSON.stringify(v));
    assert.ok(last.x <= area.x + area.w + 1e-9 && last.y <= area.y + area.h + 1e-9);
  }
  // Zoomed out to the limit, the view is the picture as drawn.
  assert.deepEqual(view.zoomAbout(corner, 1 / 8, 200, 200, area), {zoom: 1, dx: 0, dy: 0});
  assert.equal(view.clampView({zoom: 1000, dx: 0, dy: 0}, area).zoom, view.MAX_ZOOM);
});

test('a label stays at its offset from its peak on screen, at its size', () => {
  const peak = {x: 140, y: 113.3};
  const label = {x: 145, y: 117};
  for (const zoom of [1, 2, 4, 6.5]) {
    const v = view.viewCentredOn(zoom, 150, 120, area);
    const transform = view.pinnedTransform(zoom, peak.x, peak.y);
    // Where the label is in the plot: peak + (label - peak) / zoom.
    const placed = apply(transform, label.x, label.y);
    near(placed.x, peak.x + (label.x - peak.x) / zoom, `label x at ${zoom}`);
    near(placed.y, peak.y + (label.y - peak.y) / zoom, `label y at ${zoom}`);
    // On screen: the same offset from the drawn peak as at 1x, the same size.
    const screenLabel = drawn(v, placed.x, placed.y);
    const screenPeak = drawn(v, peak.x, peak.y);
    near(screenLabel.x - screenPeak.x, label.x - peak.x, `offset x at ${zoom}`);
    near(screenLabel.y - screenPeak.y, label.y - peak.y, `offset y at ${zoom}`);
    const other = drawn(v, ...Object.values(apply(transform, label.x + 10, label.y)));
    near(other.x - screenLabel.x, 10, `size at ${zoom}`);
  }
});

test('the cursor reads the ppm of the point under it, zoomed or not', () => {
  const corners = [[60, 40, 6, 85], [380, 260, 4, 100], [220, 150, 5, 92.5]];
  for (const [x, y, h, heavy] of corners) {
    const at = view.ppmAt(area, ppm, x, y);
    near(at.h, h, `1H at ${x}`);
    near(at.heavy, heavy, `13C at ${y}`);
    const back = view.pointAt(area, ppm, h, heavy);
    near(back.x, x, 'x back');
    near(back.y, y, 'y back');
  }
  // Zoomed 2x on the middle: the view spans half of each range around it.
  const v = view.viewCentredOn(2, 220, 150, area);
  const range = view.visiblePpm(v, area, ppm);
  near(range.left, 5.5, 'left');
  near(range.right, 4.5, 'right');
  near(range.top, 88.75, 'top');
  near(range.bottom, 96.25, 'bottom');
  assert.deepEqual(view.visiblePpm({zoom: 1, dx: 0, dy: 0}, area, ppm), ppm);
});

test('a link names a view and brings it back', () => {
  const hash = view.formatViewFragment('h1c1', 4, 5.1, 92);
  assert.equal(hash, '#zoom=h1c1,4,5.100,92.00');
  assert.deepEqual(view.parseViewFragment(hash), {id: 'h1c1', zoom: 4, h: 5.1, heavy: 92});
  assert.deepEqual(view.parseViewFragment('#zoom=imino,2'), {id: 'imino', zoom: 2});
  for (const bad of ['', '#spectrum-h1c1', '#zoom=h1c1', '#zoom=h1c1,x,1,2', '#zoom=a b,2',
    '#zoom=h1c1,0']) {
    assert.equal(view.parseViewFragment(bad), null, bad);
  }
});

test('ticks step by 1, 2 or 5 times a power of ten, with the decimals the step needs', () => {
  const cases = [
    [0, 1.2, ['0.0', '0.2', '0.4', '0.6', '0.8', '1.0', '1.2']],
    [140, 100, ['100', '110', '120', '130', '140']],
    [8.1, 7.9, ['7.90', '7.95', '8.00', '8.05', '8.10']],
    [-0.25, 0.35, ['-0.2', '-0.1', '0.0', '0.1', '0.2', '0.3']],
  ];
  for (const [a, b, expected] of cases) {
    assert.deepEqual(view.ticks(a, b).map((t) => t.text), expected, `${a} to ${b}`);
  }
});

// The tick numbers along each axis of a picture, in order.
function pictureTicks(svg, areaOf) {
  const below = (areaOf.y + areaOf.h + 18).toFixed(1);
  const left = (areaOf.x - 8).toFixed(1);
  const texts = (pattern) => [...svg.matchAll(pattern)].map((m) => m[1]);
  return {
    x: texts(new RegExp(`<text x="[-\\d.]+" y="${below}" text-anchor="middle">([^<]*)</text>`, 'g')),
    y: texts(new RegExp(`<text x="${left}" y="[-\\d.]+" text-anchor="end">([^<]*)</text>`, 'g'))
  };
}

test('zoomed out, the script would draw the ticks the picture draws', () => {
  let compared = 0;
  for (const path of svgPaths) {
    const svg = fs.readFileSync(path, 'utf8');
    const plot = /<g class="plot" data-area="([^"]*)" data-ppm="([^"]*)"/.exec(svg);
    if (!plot) continue;
    const [x, y, w, h] = plot[1].split(' ').map(Number);
    const [left, right, top, bottom] = plot[2].split(' ').map(Number);
    const drawnTicks = pictureTicks(svg, {x, y, w, h});
    // The pictures draw the ticks of each axis from low to high ppm.
    const sorted = (ticks) => ticks.sort((p, q) => p.value - q.value).map((t) => t.text);
    assert.deepEqual(sorted(view.ticks(left, right)), drawnTicks.x, `${path}: 1H ticks`);
    assert.deepEqual(sorted(view.ticks(top, bottom)), drawnTicks.y, `${path}: ticks of y`);
    ++compared;
  }
  assert.ok(compared > 0, 'no picture with a plot group among ' + svgPaths.join(' '));
});
