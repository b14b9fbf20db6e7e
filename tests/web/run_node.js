// Runs one program of the browser page's WebAssembly module under node, as
// the native program runs: in the current folder (mounted into the module),
// with this process's standard input, and with the program's standard output,
// standard error and exit status as this process's own. The golden cases run
// through it to show that the page gives the native programs' bytes.
//
// usage: node run_node.js PAGE_FOLDER PROGRAM [ARGUMENT...]
'use strict';
const fs = require('fs');
const path = require('path');

const [pageFolder, program, ...args] = process.argv.slice(2);
const page = path.resolve(pageFolder);
const factory = require(path.join(page, 'mirelon-module.js'));
require(path.join(page, 'mirelon-wasm.js'));
require(path.join(page, 'mirelon-build.js'));
const { createRunner, base64Bytes } = require(path.join(page, 'mirelon-runner.js'));

let stdin;
try {
  stdin = fs.readFileSync(0);
} catch (e) {
  stdin = new Uint8Array(0);
}
const env = {};
if (process.env.SOURCE_DATE_EPOCH !== undefined) env.SOURCE_DATE_EPOCH = process.env.SOURCE_DATE_EPOCH;
const runner = createRunner(factory, base64Bytes(globalThis.MIRELON_WASM), globalThis.MIRELON_BUILD);
runner.run(program, args, {}, { stdin, env, folder: process.cwd() }).then((result) => {
  fs.writeSync(1, result.stdout);
  fs.writeSync(2, result.stderr);
  process.exitCode = result.status;
});
