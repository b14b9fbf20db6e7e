// What the page runs, without the page: the names of the files in each
// run's working folder, the command line of every step from the options,
// how a command line is written for a shell, and what the page reads from
// the programs' own messages (how many structures a CT file holds, the
// ranking). Loaded by the page (window.mirelonPage) and by node (the tests).
(function (root) {
  'use strict';

  // Where the user's own files go in a run's working folder, so that a
  // converted structure never has the name of the file it came from.
  const INPUT_FOLDER = 'input/';
  const LEVEL_PERCENT = ['50', '60', '70', '80', '90', '95', '98', '99', '99.5', '99.8', '99.9'];

  // A file name stem that a shell, the programs and a NEF data block name all
  // take as it is: letters, digits, '.', '_' and '-' (no blank, quote or '#'),
  // not starting with '.' or '-'; "rna" when nothing is left.
  function safeStem(name) {
    const base = String(name).replace(/^.*[\\/]/, '');
    const stem = base.includes('.') && !base.startsWith('.') ? base.slice(0, base.lastIndexOf('.')) : base;
    const clean = stem.replace(/[^A-Za-z0-9._-]+/g, '_').replace(/^[._-]+/, '').slice(0, 60);
    return clean || 'rna';
  }

  // The name after a ">" on the first line that is not blank, else "".
  function pastedName(text) {
    const first = String(text).split(/\r?\n/).find((line) => line.trim() !== '');
    return first && first.trim().startsWith('>') ? first.trim().slice(1).trim() : '';
  }

  // A word as a POSIX shell reads it back: quoted unless it is plainly safe.
  function shellWord(word) {
    return /^[A-Za-z0-9_./:=,+@%-]+$/.test(word) ? word : "'" + word.replace(/'/g, "'\\''") + "'";
  }

  // The command line of a step as the user would type it.
  function commandLine(step) {
    const env = Object.entries(step.env || {}).map(([k, v]) => k + '=' + shellWord(v));
    return [...env, step.program, ...step.args].map((w, i) => (i < env.length ? w : shellWord(w))).join(' ');
  }

  // How many structures mirelon-ct found in a file it refused for holding
  // several (its message "FILE: the file holds N structures; take one with
  // -k K"), else 0.
  function structureCount(stderrText) {
    const m = /the file holds (\d+) structures; take one with -k/.exec(stderrText);
    return m ? Number(m[1]) : 0;
  }

  // How many lines of a program's standard error are warnings: lines that
  // start "Warning: " (notes and other text are not).
  function warningCount(stderrText) {
    return (stderrText.match(/^Warning: /gm) || []).length;
  }

  // The structures of mirelon-check's ranking, best first, read from its
  // summary: [{rank, fit (log-likelihood), behind (the best's lead over it),
  // name}]; [] when it did not rank.
  function ranking(stdoutText) {
    const lines = stdoutText.split('\n');
    const start = lines.findIndex((line) => line.startsWith('Structures ranked by'));
    const out = [];
    if (start < 0) return out;
    for (const line of lines.slice(start + 1)) {
      const m = /^\s+(\d+)\s+(\S+)\s+(\S+)\s+(\S.*)$/.exec(line);
      if (!m) break;
      out.push({ rank: Number(m[1]), fit: m[2], behind: m[3], name: m[4] });
    }
    return out;
  }

  // sources: [{name, count}] (count: structures in the file, 1 or more).
  // Gives every structure the page knows of: its source, -k (0 when the
  // file holds one), the CT file mirelon-ct writes for it and its label.
  function structuresOf(sources) {
    const used = new Set();
    const out = [];
    sources.forEach((source, index) => {
      let stem = safeStem(source.name);
      for (let n = 2; used.has(stem.toLowerCase()); ++n) stem = safeStem(source.name) + '-' + n;
      used.add(stem.toLowerCase());
      for (let k = 1; k <= source.count; ++k) {
        const several = source.count > 1;
        out.push({
          source: index,
          k: several ? k : 0,
          stem: several ? stem + '-' + k : stem,
          ct: (several ? stem + '-' + k : stem) + '.ct',
          label: several ? source.name + ' #' + k : source.name,
        });
      }
    });
    return out;
  }

  // The steps of a run, in order, each {program, args, inputs, env, title}:
  // inputs names the files of the working folder ("input/NAME" for a file
  // of the user's, a bare name for one an earlier step wrote).
  //   o: {structures (from structuresOf), sources ([{name}]), selected
  //   (index into structures), level, pictureLevel, checkLevel, macro ('' for
  //   none), gu, natural, upper, offsets, shifts (file name or ''), table
  //   (file name or ''), epoch ('' for unset)}
  function steps(o) {
    const out = [];
    const table = o.table ? ['-f', INPUT_FOLDER + o.table] : [];
    const tableInput = o.table ? [INPUT_FOLDER + o.table] : [];
    for (const s of o.structures) {
      const src = INPUT_FOLDER + o.sources[s.source].name;
      const args = [...(o.upper ? ['-u'] : []), ...(s.k ? ['-k', String(s.k)] : []), '-o', s.ct, src];
      out.push({ program: 'mirelon-ct', args, inputs: [src], title: 'Convert ' + s.label + ' to CT' });
    }
    const chosen = o.structures[o.selected];
    const macro = o.macro ? ['-w', o.macro] : [];
    out.push({
      program: 'mirelon',
      args: ['-c', String(o.level), ...table, '-s', chosen.ct, ...macro],
      inputs: [chosen.ct, ...tableInput],
      title: 'KESTA input of ' + chosen.label,
    });
    out.push({
      program: 'mirelon-nef',
      args: ['-s', chosen.ct, ...table, '-c', String(o.level), ...(o.natural ? ['-N'] : []),
             ...(o.gu ? ['-g'] : []), '-o', chosen.stem + '.nef'],
      inputs: [chosen.ct, ...tableInput],
      env: o.epoch === '' ? {} : { SOURCE_DATE_EPOCH: o.epoch },
      title: 'NEF file of ' + chosen.label,
    });
    // Several structures are ranked only against observed shifts; without
    // them the predicted spectra are those of the chosen structure.
    const ranked = o.shifts && o.structures.length > 1 ? o.structures : [chosen];
    const shifts = o.shifts ? [INPUT_FOLDER + o.shifts] : [];
    out.push({
      program: 'mirelon-check',
      args: [...ranked.flatMap((s) => ['-s', s.ct]), ...table, '-c', String(o.checkLevel),
             '-p', String(o.pictureLevel), ...(o.offsets ? ['-O', o.offsets] : []),
             ...(o.natural ? ['-N'] : []), '-o', ranked.length > 1 ? 'ranking' : chosen.stem, ...shifts],
      inputs: [...ranked.map((s) => s.ct), ...tableInput, ...shifts],
      title: ranked.length > 1 ? 'Ranking of ' + ranked.length + ' structures, check and spectra'
        : (o.shifts ? 'Check and predicted spectra of ' : 'Predicted spectra of ') + chosen.label,
    });
    return out;
  }

  const api = { INPUT_FOLDER, LEVEL_PERCENT, safeStem, pastedName, shellWord, commandLine,
                structureCount, warningCount, ranking, structuresOf, steps };
  if (typeof module === 'object' && module.exports) module.exports = api;
  else root.mirelonPage = api;
})(typeof globalThis !== 'undefined' ? globalThis : this);
