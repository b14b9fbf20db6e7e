// Runs mirelon, mirelon-ct, mirelon-nef and mirelon-check from the page's
// WebAssembly module, as a shell runs a command: every run gets a fresh
// instance of the module (compiled once), with the input files in its working
// folder, standard input, the environment it is given, and nothing else; it
// gives back the exit status, the bytes of standard output and standard
// error, and every file the run wrote. Loaded by the page, where it sets
// window.mirelon, and by node, where it is a module (the tests' harness).
(function (root) {
  'use strict';

  const PROGRAMS = ['mirelon', 'mirelon-ct', 'mirelon-nef', 'mirelon-check'];
  const WORKING_FOLDER = '/work';

  function bytesOf(value) {
    if (value instanceof Uint8Array) return value;
    if (typeof value === 'string') return new TextEncoder().encode(value);
    throw new TypeError('a file or standard input is a string or a Uint8Array');
  }

  function base64Bytes(text) {
    if (typeof Buffer !== 'undefined') return new Uint8Array(Buffer.from(text, 'base64'));
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }

  function sameBytes(a, b) {
    if (a.length !== b.length) return false;
    for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return false;
    return true;
  }

  function makeFolders(FS, path) {
    let sofar = '';
    for (const folder of path.split('/').filter(Boolean)) {
      sofar += '/' + folder;
      if (!FS.analyzePath(sofar).exists) FS.mkdir(sofar);
    }
  }

  // The regular files under `folder`, by their paths relative to it.
  function regularFiles(FS, folder, prefix, out) {
    for (const name of FS.readdir(folder)) {
      if (name === '.' || name === '..') continue;
      const path = folder + '/' + name;
      const mode = FS.lstat(path).mode;
      if (FS.isDir(mode)) regularFiles(FS, path, prefix + name + '/', out);
      else if (FS.isFile(mode)) out.set(prefix + name, FS.readFile(path));
    }
    return out;
  }

  function checkName(name) {
    const names = name.split('/');
    if (name === '' || name.startsWith('/') || names.some((p) => p === '' || p === '.' || p === '..')) {
      throw new Error('not a file name inside the working folder: ' + JSON.stringify(name));
    }
  }

  // factory: the module's factory (createMirelonModule); wasm: its bytes;
  // build: {version, table: {path, text}}, the shipped table placed where the
  // programs look for it.
  function createRunner(factory, wasm, build) {
    const compiled = WebAssembly.compile(wasm);
    const tableBytes = bytesOf(build.table.text);
    const tableFolder = build.table.path.slice(0, build.table.path.lastIndexOf('/'));

    // options: stdin (string or Uint8Array), env (name to value: added to the
    // module's environment), prepare: a function given the module's file
    // system (FS) before the run, to mount folders or add devices, and
    // folder: a folder of the module's file system, made by `prepare`, that
    // becomes the working folder (files are then read and written there, and
    // `files` and the result's files are left out). The node harness mounts
    // the host's folders at their own paths and runs in the current folder.
    async function run(program, args = [], files = {}, options = {}) {
      if (!PROGRAMS.includes(program)) {
        throw new Error('unknown program ' + JSON.stringify(program) + ': one of ' + PROGRAMS.join(', '));
      }
      args = Array.from(args, String);
      const inputs = new Map();
      for (const [name, content] of Object.entries(files)) {
        checkName(name);
        inputs.set(name, bytesOf(content));
      }
      const stdin = options.stdin === undefined ? new Uint8Array(0) : bytesOf(options.stdin);
      let stdinAt = 0;
      const stdout = [];
      const stderr = [];
      const module = await compiled;
      const instance = await factory({
        noInitialRun: true,
        instantiateWasm(imports, receive) {
          WebAssembly.instantiate(module, imports).then((made) => receive(made));
          return {};
        },
        // The runtime's own messages (an abort) join standard error.
        print: (line) => stdout.push(...bytesOf(line + '\n')),
        printErr: (line) => stderr.push(...bytesOf(line + '\n')),
        quit: (status, thrown) => {
          throw thrown;
        },
        preRun: [
          (m) => {
            const FS = m.FS;
            FS.init(
              () => (stdinAt < stdin.length ? stdin[stdinAt++] : null),
              (byte) => stdout.push(byte & 255),
              (byte) => stderr.push(byte & 255)
            );
            makeFolders(FS, tableFolder);
            FS.writeFile(build.table.path, tableBytes);
            if (options.prepare) options.prepare(FS);
            if (!options.folder) {
              makeFolders(FS, WORKING_FOLDER);
              for (const [name, bytes] of inputs) {
                const slash = name.lastIndexOf('/');
                if (slash > 0) makeFolders(FS, WORKING_FOLDER + '/' + name.slice(0, slash));
                FS.writeFile(WORKING_FOLDER + '/' + name, bytes);
              }
            }
            FS.chdir(options.folder || WORKING_FOLDER);
            Object.assign(m.ENV, options.env || {});
          },
        ],
      });
      let status;
      try {
        status = instance.callMain([program, ...args]);
      } catch (e) {
        // A run the runtime ended (out of memory, a trap) failed.
        stderr.push(...bytesOf('Aborted: ' + (e && e.message ? e.message : String(e)) + '\n'));
        status = 134;
      }
      const written = {};
      if (!options.folder) {
        for (const [name, bytes] of regularFiles(instance.FS, WORKING_FOLDER, '', new Map())) {
          const given = inputs.get(name);
          if (!given || !sameBytes(given, bytes)) written[name] = bytes;
        }
      }
      return {
        status,
        stdout: Uint8Array.from(stdout),
        stderr: Uint8Array.from(stderr),
        files: written,
      };
    }

    return { ready: compiled.then(() => undefined), run, programs: PROGRAMS.slice(), version: build.version };
  }

  if (typeof module === 'object' && module.exports) {
    module.exports = { createRunner, base64Bytes, PROGRAMS };
  } else if (root.createMirelonModule && root.MIRELON_WASM && root.MIRELON_BUILD) {
    const runner = createRunner(root.createMirelonModule, base64Bytes(root.MIRELON_WASM), root.MIRELON_BUILD);
    root.mirelon = {
      ready: runner.ready,
      run: (program, args, files) => runner.run(program, args, files),
      runWith: runner.run,
      programs: runner.programs,
      version: runner.version,
    };
  }
})(typeof globalThis !== 'undefined' ? globalThis : this);
