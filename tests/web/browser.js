// What the page's browser test, its benchmark and its screenshots share:
// headless Chromium started as these machines need it (Debian's chromium, or
// $CHROMIUM, driven by the puppeteer-core that package-lock.json pins, kept
// off the network, with a fresh profile), and the ranking example of
// docs/mirelon-check.md.
'use strict';
const fs = require('node:fs');
const path = require('node:path');

const executable = process.env.CHROMIUM || '/usr/bin/chromium';

// puppeteer-core, or nothing where `npm ci --prefix tests/web` has not run.
function puppeteerCore() {
  try {
    return require(require.resolve('puppeteer-core', { paths: [__dirname] }));
  } catch (e) {
    return null;
  }
}

function launchChromium(profile) {
  return puppeteerCore().launch({
    executablePath: executable,
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--user-data-dir=' + profile],
  });
}

// 1LDZ as the mcsf list of `shifts` (the shared data's shifts folder) pairs
// it, and two rival structures of its sequence: file name to text.
function rankingStructures(shifts) {
  const list = fs.readFileSync(path.join(shifts, 'mcsf/structures_wo_dash_210419.txt'), 'latin1');
  const [, sequence, pairs] = list.split('\n').find((l) => l.startsWith('1LDZ ')).trim().split(/\s+/);
  return {
    '1LDZ.db': `>1LDZ\n${sequence.toUpperCase()}\n${pairs}\n`,
    'no-helix.db': '>no helix\nGCGACCGAGCCAGCGAAAGUUGGGAGUCGC\n.((((....................)))).\n',
    'slipped.db': '>slipped\nGCGACCGAGCCAGCGAAAGUUGGGAGUCGC\n.((((....(((((.....))))).)))).\n',
  };
}

// 1LDZ's measured shifts in the shared data's shifts folder.
const rankingShiftsFile = (shifts) =>
  path.join(shifts, 'cs2structure/corrected_chemical_shifts/measured_shifts_1LDZ.dat');

module.exports = { executable, puppeteerCore, launchChromium, rankingStructures, rankingShiftsFile };
