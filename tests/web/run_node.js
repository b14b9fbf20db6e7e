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

// The module sees the host's folders at their own paths, so that absolute
// paths and symbolic links (a case's link to the project's data/, say)
// resolve as they do for a native program. The host's /dev, /proc and /sys
// are not mounted: the module keeps its own devices, to which the host's
// /dev/full is added (every write fails with "No space left on device",
// reading gives zero bytes), for the cases about a full disk.
const ENOSPC = 51; // emscripten's number for it
const tableTop = globalThis.MIRELON_BUILD.table.path.split('/')[1];
function prepare(FS) {
  // emscripten's node file system rewrites an absolute link target relative
  // to the mounted folder; with folders mounted at their own paths the
  // host's target is right as it stands.
  const NODEFS = FS.filesystems.NODEFS;
  NODEFS.node_ops.readlink = (node) => {
    try {
      return fs.readlinkSync(NODEFS.realPath(node));
    } catch (e) {
      throw new FS.ErrnoError(NODEFS.convertNodeCode(e));
    }
  };
  for (const entry of fs.readdirSync('/', { withFileTypes: true })) {
    const place = '/' + entry.name;
    if (['dev', 'proc', 'sys', tableTop].includes(entry.name)) continue;
    if (entry.isSymbolicLink()) {
      if (!FS.analyzePath(place).exists) FS.symlink(fs.readlinkSync(place), place);
    } else if (entry.isDirectory()) {
      if (!FS.analyzePath(place).exists) FS.mkdir(place);
      FS.mount(FS.filesystems.NODEFS, { root: place }, place);
    }
  }
  const full = FS.makedev(64, 0);
  FS.registerDevice(full, {
    read: (stream, buffer, offset, length) => {
      buffer.fill(0, offset, offset + length);
      return length;
    },
    write: () => {
      throw new FS.ErrnoError(ENOSPC);
    },
  });
  FS.mkdev('/dev/full', full);
}

const runner = createRunner(factory, base64Bytes(globalThis.MIRELON_WASM), globalThis.MIRELON_BUILD);
runner.run(program, args, {}, { stdin, env, prepare, folder: fs.realpathSync(process.cwd()) }).then((result) => {
  fs.writeSync(1, result.stdout);
  fs.writeSync(2, result.stderr);
  process.exitCode = result.status;
});
