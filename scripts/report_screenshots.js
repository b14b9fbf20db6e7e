// Screenshots of mirelon-check's report for docs/images/, as a reader sees
// it in a browser: 1LC6 (its deposited shifts with every 13C raised by
// 2.5 ppm and the H1' of A12 and U19 exchanged) and the 780-nt group II
// intron (predictions only), each spectrum at 1x and zoomed in by the
// report's own link to a view (#zoom=ID,ZOOM,1H,X).
//
// usage: NODE_PATH=DIR/node_modules node scripts/report_screenshots.js \
//          [BUILD_DIR [SHARED_DATA_DIR [OUT_DIR]]]
//
// It needs chromium (Debian's package) and puppeteer-core from npm
// (npm install --prefix DIR puppeteer-core); defaults: build,
// ../shared/data, docs/images. Where pngquant is installed the pictures are
// reduced to 64 colours, which keeps all four near 300 KB.
'use strict';
const {execFileSync, spawnSync} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const [build = 'build', shared = '../shared/data', out = 'docs/images'] = process.argv.slice(2);
const check = path.resolve(build, 'mirelon-check');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'mirelon-screenshots.'));

// 1LC6's structure as the measurements pair it with its shifts: the first
// line of its id in the mcsf list, upper case.
function writeStructure1LC6() {
  const list = fs.readFileSync(path.join(shared, 'shifts/mcsf/structures_wo_dash_210419.txt'),
                               'utf8');
  const line = list.split('\n').find((l) => l.startsWith('1LC6 '));
  const [, sequence, pairs] = line.trim().split(/\s+/);
  fs.writeFileSync(path.join(work, '1LC6.db'), `>1LC6\n${sequence.toUpperCase()}\n${pairs}\n`);
}

// bmr5371's shifts as a four-column list, every 13C raised by 2.5 ppm and
// the H1' values of A12 and U19 exchanged.
function writeShifts1LC6() {
  const star = fs.readFileSync(path.join(shared, 'shifts/nmrstar_examples/bmr5371.str'), 'utf8');
  const rows = [];
  for (const line of star.split('\n')) {
    const w = line.trim().split(/\s+/);
    // _Atom_chem_shift rows: ID ... Comp_index_ID Seq_ID Comp_ID Atom_ID Atom_type ... Val
    if (w.length !== 24 || !/^\d+$/.test(w[0]) || !/^[A-Z]/.test(w[6])) continue;
    let value = Number(w[10]);
    if (w[8] === 'C') value += 2.5;
    rows.push({base: w[6], residue: w[4], atom: w[7], value});
  }
  const h1 = (residue) => rows.find((r) => r.residue === residue && r.atom === "H1'");
  const [a, b] = [h1('12'), h1('19')];
  [a.value, b.value] = [b.value, a.value];
  const text = rows.map((r) => `${r.base} ${r.residue} ${r.atom} ${r.value.toFixed(3)}\n`);
  fs.writeFileSync(path.join(work, '1LC6-shifts.txt'), text.join(''));
}

function runCheck(args) {
  execFileSync(check, args, {cwd: work, stdio: ['ignore', 'ignore', 'inherit']});
}

// One screenshot of a spectrum's figure (its buttons, read-out and picture),
// the mouse on the peak mark whose title starts with `peak` when given (the
// observed one where there is one), so that the read-out shows its shifts.
async function shoot(browser, report, fragment, figure, file, peak) {
  const page = await browser.newPage();
  await page.setViewport({width: 960, height: 900, deviceScaleFactor: 1});
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  await page.goto('file://' + path.join(work, report) + fragment, {waitUntil: 'load'});
  const element = await page.$('#spectrum-' + figure);
  // The figure at the top of the window, where it stays.
  await page.evaluate((e) => window.scrollTo(0, e.getBoundingClientRect().top + window.scrollY),
                      element);
  if (peak) {
    const at = await page.evaluate((id, title) => {
      const marks = Array.prototype.filter.call(
          document.querySelectorAll(`#spectrum-${id} .mark`),
          (m) => m.querySelector('title').textContent.startsWith(title));
      const mark = marks[marks.length - 1];
      const box = mark.getBoundingClientRect();
      return [box.x + box.width / 2, box.y + box.height / 2];
    }, figure, peak);
    await page.mouse.move(at[0], at[1]);
  }
  await new Promise((resolve) => setTimeout(resolve, 300));
  const target = path.join(out, file);
  // The figure as it is in view (a screenshot of the element itself would
  // scroll again and move the figure under the mouse); the clip is in the
  // page's coordinates.
  const box = await element.boundingBox();
  const scrolled = await page.evaluate(() => window.scrollY);
  await page.screenshot({
    path: target,
    clip: {x: box.x, y: box.y + scrolled, width: box.width, height: box.height},
    captureBeyondViewport: false
  });
  await page.close();
  if (errors.length > 0) throw new Error(`${report}${fragment}: ${errors.join('; ')}`);
  const quantized = spawnSync('pngquant', ['--force', '--skip-if-larger', '--output', target,
                                           '64', target]);
  console.log(`${target}: ${fs.statSync(target).size} bytes` +
              (quantized.status === 0 ? ', 64 colours' : ''));
}

(async () => {
  writeStructure1LC6();
  writeShifts1LC6();
  runCheck(['-s', '1LC6.db', '-o', '1LC6', '1LC6-shifts.txt']);
  fs.copyFileSync(path.join(shared, 'ct/archiveII/grp2_a.I2.c.N.tabacum.A.A6.i1.ct'),
                  path.join(work, 'intron.ct'));
  runCheck(['-s', 'intron.ct', '-o', 'intron']);
  fs.mkdirSync(out, {recursive: true});
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--user-data-dir=' + path.join(work, 'profile')]
  });
  try {
    await shoot(browser, '1LC6.html', '', 'h6h8', 'report-1LC6-h6h8.png');
    await shoot(browser, '1LC6.html', '#zoom=h6h8,4,7.780,141.20', 'h6h8',
                'report-1LC6-h6h8-zoom4.png', 'C8 H6/C6');
    await shoot(browser, 'intron.html', '', 'h1c1', 'report-intron-h1c1.png');
    await shoot(browser, 'intron.html', '#zoom=h1c1,4,5.700,91.30', 'h1c1',
                'report-intron-h1c1-zoom4.png', 'U14,');
  } finally {
    await browser.close();
    fs.rmSync(work, {recursive: true, force: true});
  }
})().catch((e) => {
  console.error(e.message);
  process.exit(1);
});
