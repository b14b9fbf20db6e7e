// Screenshots of the browser page for docs/images/ (docs/web.md): the
// hairpin's form and steps, the report of the 780-nt group II intron, and a
// ranking of three structures of 1LDZ against its measured shifts, each run
// through the page opened from disk.
//
// usage: node scripts/page_screenshots.js [PAGE_DIR [SHARED_DATA_DIR [OUT_DIR]]]
//
// It needs chromium (Debian's package) and puppeteer-core (npm ci --prefix
// tests/web); defaults: build-wasm/page, ../shared/data, docs/images. Where
// pngquant and optipng are installed the pictures are made smaller.
'use strict';
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { launchChromium, rankingStructures, rankingShiftsFile } = require('../tests/web/browser.js');

const [pageDir = 'build-wasm/page', shared = '../shared/data', out = 'docs/images'] = process.argv.slice(2);
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'mirelon-page-shots.'));
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// The ranking's structures as files to choose.
function rankingInputs() {
  return Object.entries(rankingStructures(path.join(shared, 'shifts'))).map(([name, text]) => {
    fs.writeFileSync(path.join(work, name), text);
    return path.join(work, name);
  });
}

(async () => {
  const browser = await launchChromium(path.join(work, 'profile'));
  async function open() {
    const page = await browser.newPage();
    await page.setViewport({ width: 1200, height: 1000 });
    page.on('pageerror', (e) => console.error('page error:', e.message));
    await page.goto('file://' + path.resolve(pageDir, 'index.html'));
    await page.waitForFunction(() => document.getElementById('status').textContent === 'Ready.');
    return page;
  }
  async function run(page) {
    await sleep(300);
    await page.click('#run');
    await page.waitForFunction(() => /^(Done|.* failed)/.test(document.getElementById('status').textContent),
      { timeout: 60000 });
    await sleep(800);
  }
  // From `above` pixels over the top of element `id`, `height` pixels; a tall
  // viewport, since chromium leaves frames outside the viewport unpainted.
  async function shot(page, name, id, height, above = 16) {
    await page.setViewport({ width: 1200, height });
    await page.evaluate((id, above) => {
      document.getElementById(id).scrollIntoView();
      window.scrollBy(0, -above);
    }, id, above);
    await sleep(500);
    await page.screenshot({ path: path.join(out, name) });
    console.log('wrote', path.join(out, name));
  }

  let page = await open();
  await (await page.$('#structure-files')).uploadFile(path.resolve('examples/hairpin/hairpin.ct'));
  await page.type('#macro-name', 'hbond.mac');
  await run(page);
  await page.focus('#structure-files');
  await shot(page, 'web-hairpin-form.png', 'structure-box', 1180, 130);
  await page.evaluate(() => document.activeElement.blur());
  await shot(page, 'web-hairpin-steps.png', 'steps-title', 1300);
  await page.close();

  page = await open();
  await (await page.$('#structure-files')).uploadFile(
    path.resolve(shared, 'ct/archiveII/grp2_a.I2.c.N.tabacum.A.A6.i1.ct'));
  await run(page);
  await shot(page, 'web-intron.png', 'report-title', 1300);
  await page.close();

  page = await open();
  await (await page.$('#structure-files')).uploadFile(...rankingInputs());
  await (await page.$('#shifts-file')).uploadFile(path.resolve(rankingShiftsFile(path.join(shared, 'shifts'))));
  await run(page);
  await shot(page, 'web-ranking.png', 'status', 1300, 60);
  await page.close();
  await browser.close();

  for (const name of ['web-hairpin-form.png', 'web-hairpin-steps.png', 'web-intron.png', 'web-ranking.png']) {
    const file = path.join(out, name);
    spawnSync('pngquant', ['--force', '--quality=60-90', '--output', file, file]);
    spawnSync('optipng', ['-quiet', '-o5', file]);
  }
  fs.rmSync(work, { recursive: true, force: true });
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
