// The browser page in headless Chromium, opened from disk as a user opens it:
// runs the hairpin, the duplex, a 780-nt RNA through mirelon-ct, mirelon,
// mirelon-nef and mirelon-check, a ranking with observed shifts and a failing
// run through window.mirelon, and compares the exit status, standard output,
// standard error and every file written with what the native programs give
// for the same command lines. It logs every request the page makes and fails
// on any that is not a file:, data: or blob: URL, and keeps a screenshot of
// the page in OUT_FOLDER.
//
// usage: node browser_test.js PAGE_FOLDER NATIVE_FOLDER SOURCE_FOLDER SHARED_DATA OUT_FOLDER
//
// NATIVE_FOLDER holds the native programs (a build folder). Skipped (status
// 77) with the reason where chromium, puppeteer-core (npm ci --prefix
// tests/web) or the page is missing; MIRELON_REQUIRE_TOOLS=1 makes that a
// failure.
'use strict';
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const [pageFolder, nativeFolder, sourceFolder, shared, outFolder] = process.argv.slice(2).map((p) => p && path.resolve(p));
if (!outFolder) {
  console.error('usage: node browser_test.js PAGE_FOLDER NATIVE_FOLDER SOURCE_FOLDER SHARED_DATA OUT_FOLDER');
  process.exit(2);
}
const { executable: chromium, puppeteerCore, launchChromium, rankingStructures, rankingShiftsFile } =
  require('./browser.js');

function skip(reason) {
  console.log(reason + ': skipped');
  if (process.env.MIRELON_REQUIRE_TOOLS === '1') {
    console.log('MIRELON_REQUIRE_TOOLS=1: failing instead of skipping');
    process.exit(1);
  }
  process.exit(77);
}

if (!puppeteerCore()) skip('puppeteer-core not installed (npm ci --prefix tests/web)');
if (!fs.existsSync(chromium)) skip(`no chromium at ${chromium} (Debian package chromium)`);
const pageFile = path.join(pageFolder, 'index.html');
if (!fs.existsSync(pageFile) || !fs.existsSync(path.join(pageFolder, 'mirelon-module.js'))) {
  skip(`no WebAssembly page at ${pageFolder} (emcmake cmake --preset wasm && cmake --build --preset wasm)`);
}
const intronFile = path.join(shared, 'ct/archiveII/grp2_a.I2.c.N.tabacum.A.A6.i1.ct');
const shiftsFolder = path.join(shared, 'shifts');
if (!fs.existsSync(intronFile) || !fs.existsSync(shiftsFolder)) skip(`shared data not found at ${shared}`);

// NEF files carry their date: a fixed one makes them comparable.
const NEF_DATE = { SOURCE_DATE_EPOCH: '1796601600' };
const example = (name, file) => fs.readFileSync(path.join(sourceFolder, 'examples', name, file));

// 1LDZ with its measured shifts and two rival structures: the ranking of
// docs/mirelon-check.md, run with the shipped table.
function rankingFiles() {
  return { ...rankingStructures(shiftsFolder), 'measured_shifts_1LDZ.dat': fs.readFileSync(rankingShiftsFile(shiftsFolder)) };
}

// The runs, in order; `from` names an earlier run whose written files (the
// native ones, the same bytes as the page's when that run passed) join this
// run's input files, as the page hands the 780-nt RNA from step to step.
const runs = [
  { name: 'hairpin', program: 'mirelon', args: ['-s', 'hairpin.ct', '-w', 'hbond.mac'], files: { 'hairpin.ct': example('hairpin', 'hairpin.ct') } },
  { name: 'duplex', program: 'mirelon', args: ['-s', 'duplex.ct', '-c', '5', '-w', 'hbond.mac'], files: { 'duplex.ct': example('duplex', 'duplex.ct') } },
  { name: 'intron-ct', program: 'mirelon-ct', args: ['-u', '-o', 'intron.ct', 'archive.ct'], files: { 'archive.ct': fs.readFileSync(intronFile) } },
  { name: 'intron', program: 'mirelon', args: ['-s', 'intron.ct', '-w', 'hbond.mac'], from: 'intron-ct' },
  { name: 'intron-nef', program: 'mirelon-nef', args: ['-s', 'intron.ct', '-g', '-o', 'intron.nef'], from: 'intron-ct', env: NEF_DATE },
  { name: 'intron-check', program: 'mirelon-check', args: ['-s', 'intron.ct', '-o', 'intron'], from: 'intron-ct' },
  { name: 'ranking', program: 'mirelon-check', args: ['-s', '1LDZ.db', '-s', 'no-helix.db', '-s', 'slipped.db', '-o', '1LDZ', 'measured_shifts_1LDZ.dat'], files: rankingFiles() },
  { name: 'missing-structure', program: 'mirelon-check', args: ['-s', 'nothere.ct'], files: {} },
];

const bytes = (v) => (typeof v === 'string' ? Buffer.from(v, 'utf8') : Buffer.from(v));

// Regular files under `folder` by their relative paths.
function filesUnder(folder, prefix = '', out = new Map()) {
  for (const entry of fs.readdirSync(folder, { withFileTypes: true })) {
    const full = path.join(folder, entry.name);
    if (entry.isDirectory()) filesUnder(full, prefix + entry.name + '/', out);
    else if (entry.isFile()) out.set(prefix + entry.name, fs.readFileSync(full));
  }
  return out;
}

// A native run in a fresh folder: the files it wrote are those new or
// changed, as the page reports them.
function runNative(run, files) {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'mirelon-browser-native.'));
  try {
    for (const [name, content] of Object.entries(files)) fs.writeFileSync(path.join(work, name), content);
    const done = spawnSync(path.join(nativeFolder, run.program), run.args, {
      cwd: work,
      env: { ...(run.env || {}) },
      input: Buffer.alloc(0),
      maxBuffer: 1 << 28,
    });
    if (done.error) throw done.error;
    const written = {};
    for (const [name, content] of filesUnder(work)) {
      if (!(name in files) || !content.equals(files[name])) written[name] = content;
    }
    return { status: done.status, stdout: done.stdout, stderr: done.stderr, files: written };
  } finally {
    fs.rmSync(work, { recursive: true, force: true });
  }
}

// The page's run of the same command line through window.mirelon; bytes
// travel as base64 both ways.
async function runInPage(page, run, files) {
  const encoded = Object.fromEntries(Object.entries(files).map(([n, c]) => [n, c.toString('base64')]));
  const result = await page.evaluate(
    async (program, args, given, env) => {
      const fromBase64 = (text) => Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
      const toBase64 = (data) => {
        let text = '';
        for (let i = 0; i < data.length; i += 0x8000) text += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
        return btoa(text);
      };
      const inputs = {};
      for (const [name, text] of Object.entries(given)) inputs[name] = fromBase64(text);
      const r = env ? await window.mirelon.runWith(program, args, inputs, { env }) : await window.mirelon.run(program, args, inputs);
      const written = {};
      for (const [name, data] of Object.entries(r.files)) written[name] = toBase64(data);
      return { status: r.status, stdout: toBase64(r.stdout), stderr: toBase64(r.stderr), files: written };
    },
    run.program,
    run.args,
    encoded,
    run.env || null
  );
  const decode = (t) => Buffer.from(t, 'base64');
  return {
    status: result.status,
    stdout: decode(result.stdout),
    stderr: decode(result.stderr),
    files: Object.fromEntries(Object.entries(result.files).map(([n, t]) => [n, decode(t)])),
  };
}

// The differences between two runs, as lines; none when they agree byte
// for byte. Mismatching page output is kept in OUT_FOLDER for a look.
function differences(run, native, web) {
  const found = [];
  const compare = (label, a, b) => {
    if (a.equals(b)) return;
    let at = 0;
    while (at < a.length && at < b.length && a[at] === b[at]) ++at;
    found.push(`${label}: ${b.length} bytes in the page, ${a.length} natively; first difference at byte ${at}`);
    const keep = path.join(outFolder, 'mismatch', run.name);
    fs.mkdirSync(keep, { recursive: true });
    fs.writeFileSync(path.join(keep, label.replace(/\//g, '_') + '.page'), b);
    fs.writeFileSync(path.join(keep, label.replace(/\//g, '_') + '.native'), a);
  };
  if (native.status !== web.status) found.push(`status: ${web.status} in the page, ${native.status} natively`);
  compare('stdout', native.stdout, web.stdout);
  compare('stderr', native.stderr, web.stderr);
  const names = [...new Set([...Object.keys(native.files), ...Object.keys(web.files)])].sort();
  for (const name of names) {
    if (!(name in web.files)) found.push(`file ${name}: written natively only`);
    else if (!(name in native.files)) found.push(`file ${name}: written in the page only`);
    else compare('file ' + name, native.files[name], web.files[name]);
  }
  return found;
}

(async () => {
  fs.rmSync(path.join(outFolder, 'mismatch'), { recursive: true, force: true });
  fs.mkdirSync(outFolder, { recursive: true });
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'mirelon-browser-profile.'));
  const browser = await launchChromium(profile);
  let failed = 0;
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1200, height: 900 });
    const outside = [];
    page.on('request', (request) => {
      const url = request.url();
      console.log(`request: ${request.resourceType()} ${url.length > 100 ? url.slice(0, 100) + '...' : url}`);
      if (!/^(file|data|blob):/.test(url)) outside.push(url);
    });
    const errors = [];
    page.on('pageerror', (e) => errors.push(e.message));
    page.on('console', (m) => console.log(`console ${m.type()}: ${m.text()}`));

    await page.goto('file://' + pageFile, { waitUntil: 'load' });
    // (A function that returned the promise itself would be waited on.)
    await page.waitForFunction(() => typeof window.mirelon === 'object' && 'ready' in window.mirelon, { timeout: 30000 });
    await page.evaluate(() => window.mirelon.ready);
    const version = await page.evaluate(() => window.mirelon.version);
    console.log(`page ready: ${pageFile}, version ${version}`);

    const nativeResults = {};
    for (const run of runs) {
      const files = {};
      for (const [name, content] of Object.entries(run.files || {})) files[name] = bytes(content);
      if (run.from) Object.assign(files, nativeResults[run.from].files);
      const native = runNative(run, files);
      nativeResults[run.name] = native;
      const web = await runInPage(page, run, files);
      const found = differences(run, native, web);
      const line = `${run.program} ${run.args.join(' ')}`;
      if (found.length === 0) {
        console.log(`same bytes: ${run.name} (${line}): status ${web.status}, ${Object.keys(web.files).length} files`);
      } else {
        failed = 1;
        console.log(`DIFFERENT: ${run.name} (${line}):\n  ${found.join('\n  ')}`);
      }
    }

    const screenshot = path.join(outFolder, 'page.png');
    await page.screenshot({ path: screenshot, fullPage: true });
    console.log(`screenshot: ${screenshot}`);
    if (outside.length > 0) {
      failed = 1;
      console.log(`REQUESTS OUTSIDE file:, data: and blob: URLs:\n  ${outside.join('\n  ')}`);
    }
    if (errors.length > 0) {
      failed = 1;
      console.log(`ERRORS IN THE PAGE:\n  ${errors.join('\n  ')}`);
    }
  } finally {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  process.exit(failed);
})().catch((e) => {
  console.error(e.stack || e.message);
  process.exit(1);
});
