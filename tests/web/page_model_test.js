// What the page runs: file names, the command line of every step from the
// options, shell quoting, and what it reads from the programs' messages.
//
// usage: node page_model_test.js WEB_FOLDER REPOSITORY_ROOT
'use strict';
const assert = require('assert');
const fs = require('fs');
const path = require('path');

const M = require(path.resolve(process.argv[2], 'page-model.js'));
const root = path.resolve(process.argv[3]);

const check = (got, want, what) => assert.deepStrictEqual(got, want, what + ': ' + JSON.stringify(got));

// Stems of file names: safe for a shell, the programs and a NEF data block.
for (const [name, stem] of [
  ['hairpin.ct', 'hairpin'], ['my rna #2.db', 'my_rna_2'], ['.hidden', 'hidden'], ['-k.ct', 'k'],
  ["o'brien.bpseq", 'o_brien'], ['a.b.ct', 'a.b'], ['C:\\data\\x.ct', 'x'], ['', 'rna'], ['###', 'rna'],
  ['a'.repeat(80) + '.ct', 'a'.repeat(60)],
]) check(M.safeStem(name), stem, 'safeStem ' + name);

for (const [text, name] of [['>hairpin\nGGC\n(.)\n', 'hairpin'], ['\n  > two words \nG\n.\n', 'two words'],
                            ['GGC\n(.)\n', ''], ['', '']]) {
  check(M.pastedName(text), name, 'pastedName ' + JSON.stringify(text));
}

// Command lines as a POSIX shell reads them back.
for (const [word, shown] of [['-c', '-c'], ['input/a.ct', 'input/a.ct'], ['A:0,B:-100', 'A:0,B:-100'],
                             ['my file', "'my file'"], ["o'b", "'o'\\''b'"], ['#1', "'#1'"], ['', "''"],
                             ['$HOME', "'$HOME'"]]) {
  check(M.shellWord(word), shown, 'shellWord ' + word);
}
check(M.commandLine({ program: 'mirelon-nef', args: ['-s', 'a b.ct'], env: { SOURCE_DATE_EPOCH: '0' } }),
      "SOURCE_DATE_EPOCH=0 mirelon-nef -s 'a b.ct'", 'commandLine with environment');

// mirelon-ct's refusal of a file of several structures, and other errors.
check(M.structureCount('input/f.ct: the file holds 4 structures; take one with -k K\n'), 4, 'count');
check(M.structureCount('input/f.ct:3:9: the structure has 8 characters, the sequence 9\n'), 0, 'other error');

// Warnings are the lines that start "Warning: ", wherever they stand.
for (const [text, count] of [['', 0], ['Warning: a\n', 1], ['Note: x\nWarning: a\nWarning: b', 2],
                             ['x Warning: a\n', 0], ['Warnings: a\n', 0], ['Note: Warning: a\n', 0]]) {
  check(M.warningCount(text), count, 'warningCount ' + JSON.stringify(text));
}

// The ranking as mirelon-check writes it (its golden worked example), and a
// summary without one.
const summary = fs.readFileSync(path.join(root, 'tests/check/golden/ranking_worked_example/expected/stdout'), 'utf8');
check(M.ranking(summary), [
  { rank: 1, fit: '-548.99', behind: '0.00', name: '1LDZ.db' },
  { rank: 2, fit: '-585.38', behind: '-36.39', name: 'no-helix.db' },
  { rank: 3, fit: '-586.88', behind: '-37.89', name: 'slipped.db' },
], 'ranking');
check(M.ranking('Structure: a.ct\nTable: statfile.tab\n'), [], 'no ranking');

// Structures of several sources: -k for a file of several, distinct stems.
const structures = M.structuresOf([{ name: 'rna.txt', count: 1 }, { name: 'fold.ct', count: 2 },
                                   { name: 'rna.db', count: 1 }]);
check(structures.map((s) => [s.source, s.k, s.ct, s.label]), [
  [0, 0, 'rna.ct', 'rna.txt'], [1, 1, 'fold-1.ct', 'fold.ct #1'], [1, 2, 'fold-2.ct', 'fold.ct #2'],
  [2, 0, 'rna-2.ct', 'rna.db'],
], 'structuresOf');

// The steps for a table of option sets: the program and arguments of each.
const sources = [{ name: 'rna.txt' }, { name: 'fold.ct' }, { name: 'rna.db' }];
const base = { structures: structures.slice(0, 1), sources, selected: 0, level: '2', checkLevel: '8',
               pictureLevel: '1', macro: '', gu: false, natural: false, upper: true, offsets: '',
               shifts: '', table: '', epoch: '' };
const cases = [
  ['one structure, defaults', {}, [
    'mirelon-ct -u -o rna.ct input/rna.txt',
    'mirelon -c 2 -s rna.ct',
    'mirelon-nef -s rna.ct -c 2 -o rna.nef',
    'mirelon-check -s rna.ct -c 8 -p 1 -o rna']],
  ['every option', { macro: 'hbond.mac', gu: true, natural: true, upper: false, offsets: 'A:0,B:-100',
                     shifts: 'obs.str', table: 'my.tab', epoch: '1700000000', level: '5',
                     checkLevel: '9', pictureLevel: '3' }, [
    'mirelon-ct -o rna.ct input/rna.txt',
    'mirelon -c 5 -f input/my.tab -s rna.ct -w hbond.mac',
    'SOURCE_DATE_EPOCH=1700000000 mirelon-nef -s rna.ct -f input/my.tab -c 5 -N -g -o rna.nef',
    'mirelon-check -s rna.ct -f input/my.tab -c 9 -p 3 -O A:0,B:-100 -N -o rna input/obs.str']],
  ['several structures with shifts: ranked; the chosen one for mirelon',
   { structures, selected: 2, shifts: 'shifts.txt' }, [
    'mirelon-ct -u -o rna.ct input/rna.txt',
    'mirelon-ct -u -k 1 -o fold-1.ct input/fold.ct',
    'mirelon-ct -u -k 2 -o fold-2.ct input/fold.ct',
    'mirelon-ct -u -o rna-2.ct input/rna.db',
    'mirelon -c 2 -s fold-2.ct',
    'mirelon-nef -s fold-2.ct -c 2 -o fold-2.nef',
    'mirelon-check -s rna.ct -s fold-1.ct -s fold-2.ct -s rna-2.ct -c 8 -p 1 -o ranking input/shifts.txt']],
  ['several structures without shifts: the chosen one is checked', { structures, selected: 1 }, [
    'mirelon-ct -u -o rna.ct input/rna.txt',
    'mirelon-ct -u -k 1 -o fold-1.ct input/fold.ct',
    'mirelon-ct -u -k 2 -o fold-2.ct input/fold.ct',
    'mirelon-ct -u -o rna-2.ct input/rna.db',
    'mirelon -c 2 -s fold-1.ct',
    'mirelon-nef -s fold-1.ct -c 2 -o fold-1.nef',
    'mirelon-check -s fold-1.ct -c 8 -p 1 -o fold-1']],
];
for (const [what, options, lines] of cases) {
  const steps = M.steps({ ...base, ...options });
  check(steps.map(M.commandLine), lines, what);
  // Every file a step reads is the user's (input/) or written by an earlier step.
  const written = new Set();
  for (const step of steps) {
    for (const name of step.inputs) {
      assert(name.startsWith(M.INPUT_FOLDER) || written.has(name), what + ': ' + name + ' comes from nowhere');
      assert(step.args.includes(name), what + ': ' + name + ' is not on the command line');
    }
    const o = step.args.indexOf('-o');
    if (o >= 0 && step.program === 'mirelon-ct') written.add(step.args[o + 1]);
  }
}
console.log('page model: ok');
