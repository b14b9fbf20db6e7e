// Size and speed of the browser page, beside the native programs:
//  (a) every file of the page gzipped with gzip -9, and the total;
//  (b) page ready: from navigation start (opening index.html from disk) to
//      window.mirelon.ready resolved, in headless chromium, each run in a
//      fresh browser context;
//  (c) a 780-nt RNA through mirelon-ct, mirelon, mirelon-nef and
//      mirelon-check in the page, and mirelon alone;
//  (d) the same runs of the native programs (each a process of its own).
// Timed runs are repeated; the median is printed with the fastest and the
// slowest. Targets (at most): 650,000 bytes gzipped, 300 ms ready, 1 s for
// the pipeline.
//
// usage: node bench/web_bench.js [PAGE_FOLDER [NATIVE_FOLDER [SHARED_DATA [RUNS]]]]
//   defaults: build-wasm/page, build, ../shared/data, 7
// Needs gzip, chromium (CHROMIUM, default /usr/bin/chromium) and
// puppeteer-core (npm ci --prefix tests/web).
'use strict';
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const args = process.argv.slice(2);
const pageFolder = path.resolve(args[0] || 'build-wasm/page');
const nativeFolder = path.resolve(args[1] || 'build');
const shared = path.resolve(args[2] || '../shared/data');
const runs = Number(args[3] || 7);
const { launchChromium } = require('../tests/web/browser.js');

const intron = fs.readFileSync(path.join(shared, 'ct/archiveII/grp2_a.I2.c.N.tabacum.A.A6.i1.ct'));
// The page's order of steps for one structure; mirelon-nef with a fixed date.
const pipeline = [
  ['mirelon-ct', ['-u', '-o', 'intron.ct', 'archive.ct']],
  ['mirelon', ['-s', 'intron.ct', '-w', 'hbond.mac']],
  ['mirelon-nef', ['-s', 'intron.ct', '-g', '-o', 'intron.nef']],
  ['mirelon-check', ['-s', 'intron.ct', '-o', 'intron']],
];
const ENV = { SOURCE_DATE_EPOCH: '1796601600' };

function summary(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const median = sorted[Math.floor(sorted.length / 2)];
  const f = (v) => v.toFixed(1).padStart(7);
  return `median ${f(median)} ms  (fastest ${f(sorted[0])}, slowest ${f(sorted[sorted.length - 1])}, ${values.length} runs)`;
}

function sizes() {
  console.log('(a) page files, gzip -9:');
  let total = 0;
  for (const name of fs.readdirSync(pageFolder).sort()) {
    const file = path.join(pageFolder, name);
    if (!fs.statSync(file).isFile()) continue;
    const gz = spawnSync('gzip', ['-9', '-c', file], { maxBuffer: 1 << 28 });
    if (gz.status !== 0) throw new Error('gzip failed on ' + file);
    total += gz.stdout.length;
    console.log(`    ${name.padEnd(24)} ${String(fs.statSync(file).size).padStart(10)} bytes, gzipped ${String(gz.stdout.length).padStart(9)}`);
  }
  console.log(`    total gzipped ${total} bytes (target at most 650000): ${total <= 650000 ? 'met' : 'MISSED'}`);
}

function native() {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'mirelon-web-bench.'));
  const times = { pipeline: [], mirelon: [] };
  try {
    for (let r = 0; r < runs; ++r) {
      fs.writeFileSync(path.join(work, 'archive.ct'), intron);
      let sum = 0;
      for (const [program, argv] of pipeline) {
        const start = process.hrtime.bigint();
        const done = spawnSync(path.join(nativeFolder, program), argv, { cwd: work, env: ENV, stdio: 'ignore' });
        const ms = Number(process.hrtime.bigint() - start) / 1e6;
        if (done.status !== 0) throw new Error(`native ${program} failed (${done.status})`);
        sum += ms;
        if (program === 'mirelon') times.mirelon.push(ms);
      }
      times.pipeline.push(sum);
    }
  } finally {
    fs.rmSync(work, { recursive: true, force: true });
  }
  return times;
}

async function browserFigures() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'mirelon-web-bench-profile.'));
  const browser = await launchChromium(profile);
  const ready = [];
  const times = { pipeline: [], mirelon: [] };
  try {
    for (let r = 0; r < runs; ++r) {
      const context = await browser.createBrowserContext();
      const page = await context.newPage();
      // The moment the runner's promise resolves, on the page's own clock
      // (0 = navigation start): noted as window.mirelon is set.
      await page.evaluateOnNewDocument(() => {
        Object.defineProperty(window, 'mirelon', {
          configurable: true,
          set(value) {
            Object.defineProperty(window, 'mirelon', { value, writable: true, configurable: true });
            value.ready.then(() => {
              window.mirelonReadyAt = performance.now();
            });
          },
        });
      });
      await page.goto('file://' + path.join(pageFolder, 'index.html'), { waitUntil: 'load' });
      await page.waitForFunction(() => window.mirelonReadyAt !== undefined, { timeout: 60000 });
      ready.push(await page.evaluate(() => window.mirelonReadyAt));
      const t = await page.evaluate(
        async (steps, archive, env) => {
          let files = { 'archive.ct': archive };
          const start = performance.now();
          let mirelon = 0;
          for (const [program, argv] of steps) {
            const before = performance.now();
            const result = await window.mirelon.runWith(program, argv, files, { env });
            if (result.status !== 0) throw new Error(program + ' failed');
            if (program === 'mirelon') mirelon = performance.now() - before;
            files = Object.assign({}, files, result.files);
          }
          return { pipeline: performance.now() - start, mirelon };
        },
        pipeline,
        intron.toString('latin1'),
        ENV
      );
      times.pipeline.push(t.pipeline);
      times.mirelon.push(t.mirelon);
      await context.close();
    }
  } finally {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  return { ready, times };
}

(async () => {
  console.log(`page ${pageFolder}, native programs in ${nativeFolder}, ${os.cpus().length} cores`);
  sizes();
  const web = await browserFigures();
  const nat = native();
  const med = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
  console.log('(b) page ready, navigation start to window.mirelon.ready (target at most 300 ms):');
  console.log(`    ${summary(web.ready)}`);
  console.log('(c) 780-nt RNA through mirelon-ct, mirelon, mirelon-nef, mirelon-check in the page (target at most 1000 ms):');
  console.log(`    ${summary(web.times.pipeline)}`);
  console.log('(d) the same natively, one process per program:');
  console.log(`    ${summary(nat.pipeline)}`);
  console.log('    mirelon alone, page:   ' + summary(web.times.mirelon));
  console.log('    mirelon alone, native: ' + summary(nat.mirelon));
  console.log(`    page / native: pipeline ${(med(web.times.pipeline) / med(nat.pipeline)).toFixed(2)}x, ` +
    `mirelon ${(med(web.times.mirelon) / med(nat.mirelon)).toFixed(2)}x`);
})().catch((e) => {
  console.error(e.stack || e.message);
  process.exit(1);
});
