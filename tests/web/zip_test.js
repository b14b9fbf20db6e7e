// The page's .zip writer: CRC-32 check values, and archives that unzip and
// python3's zipfile read back whole (names, bytes, dates), checked by them
// against the CRCs the writer stored.
//
// usage: node zip_test.js WEB_FOLDER   (exit 77: no unzip and no python3)
'use strict';
const assert = require('assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync, spawnSync } = require('child_process');

const { crc32, makeZip } = require(path.resolve(process.argv[2], 'zip.js'));
const bytes = (text) => new TextEncoder().encode(text);

// Published check values of the CRC-32 of zip.
for (const [input, crc] of [['', 0], ['a', 0xe8b7be43], ['123456789', 0xcbf43926],
                            ['The quick brown fox jumps over the lazy dog', 0x414fa339]]) {
  assert.strictEqual(crc32(bytes(input)), crc, 'crc32 of ' + JSON.stringify(input));
}

const binary = new Uint8Array(70000).map((_, i) => (i * 7919) % 256);
const entries = [
  { name: 'kesta.prot', bytes: bytes('    1   11.0054   0.8894  H1     1   s\n') },
  { name: 'empty.txt', bytes: new Uint8Array(0) },
  { name: 'Ünïcode-ß.nef', bytes: bytes('data_nef_x\n') },
  { name: 'binary.bin', bytes: binary },
];
const when = new Date(Date.UTC(2023, 10, 14, 22, 13, 21)); // odd seconds: zip keeps even ones
const zip = makeZip(entries, when);

// The writer's own stored CRCs and sizes, read from the central directory.
const view = new DataView(zip.buffer, zip.byteOffset, zip.byteLength);
const end = zip.length - 22;
assert.strictEqual(view.getUint32(end, true), 0x06054b50, 'end record');
assert.strictEqual(view.getUint16(end + 10, true), entries.length, 'entry count');
let at = view.getUint32(end + 16, true);
for (const entry of entries) {
  assert.strictEqual(view.getUint32(at, true), 0x02014b50, 'central header of ' + entry.name);
  assert.strictEqual(view.getUint32(at + 16, true), crc32(entry.bytes), 'stored CRC of ' + entry.name);
  assert.strictEqual(view.getUint32(at + 24, true), entry.bytes.length, 'size of ' + entry.name);
  at += 46 + view.getUint16(at + 28, true);
}
assert.strictEqual(at, end, 'central directory ends at the end record');

// Before 1980 (SOURCE_DATE_EPOCH=0) is 1980-01-01 00:00, which zip can hold.
const early = makeZip([{ name: 'a', bytes: bytes('a') }], new Date(0));
assert.strictEqual(new DataView(early.buffer).getUint16(12, true), (1 << 5) | 1, 'date before 1980');

const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'mirelon-zip-'));
const file = path.join(folder, 'all.zip');
fs.writeFileSync(file, zip);
let checked = 0;
if (spawnSync('unzip', ['-v']).status === 0) {
  const test = spawnSync('unzip', ['-t', file], { encoding: 'utf8' });
  assert.strictEqual(test.status, 0, 'unzip -t:\n' + test.stdout + test.stderr);
  for (const entry of entries) {
    const out = execFileSync('unzip', ['-p', file, entry.name]);
    assert.deepStrictEqual(new Uint8Array(out), entry.bytes, 'unzip -p ' + entry.name);
  }
  ++checked;
}
const python = `
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
assert z.testzip() is None
for i in z.infolist():
    print(i.filename, i.file_size, i.compress_type, "%04d-%02d-%02d %02d:%02d:%02d" % i.date_time, len(z.read(i)))
`;
const py = spawnSync('python3', ['-c', python, file], { encoding: 'utf8' });
if (py.error === undefined && py.status !== null && !/No module|not found/.test(py.stderr)) {
  assert.strictEqual(py.status, 0, 'python3 zipfile:\n' + py.stderr);
  assert.strictEqual(py.stdout, entries.map((e) => e.name + ' ' + e.bytes.length + ' 0 2023-11-14 22:13:20 ' +
                                                    e.bytes.length + '\n').join(''), 'python3 zipfile listing');
  ++checked;
}
fs.rmSync(folder, { recursive: true });
if (!checked) {
  console.log('SKIPPED: neither unzip nor python3 is installed to read the archive back');
  process.exit(77);
}
console.log('zip: ok (' + checked + ' readers)');
