// The page: reads the user's structures, shifts and options, runs the steps
// that page-model.js lays out through window.mirelon one after the other
// (stopping at the first that fails), and shows every step's command line,
// exit status and messages, the files written, kesta.prot and the report.
(function () {
  'use strict';

  const M = window.mirelonPage;
  const $ = (id) => document.getElementById(id);
  const decode = (bytes) => new TextDecoder().decode(bytes);
  const EXAMPLE = '>hairpin\nGGCACUGGAAACCUGGUGCA\n.((((((......)))))).\n';

  const structureFiles = []; // [{name, bytes}] in the order chosen
  let shiftsFile = null; // {name, bytes} or null
  let tableFile = null;
  let known = []; // the structures of the last reading of the inputs
  let readingTurn = 0;
  let urls = [];

  function el(tag, props, ...children) {
    const node = Object.assign(document.createElement(tag), props || {});
    for (const child of children) node.append(child);
    return node;
  }

  async function bytesOfFile(file) {
    return new Uint8Array(await file.arrayBuffer());
  }

  // The structure sources: the pasted text first, then the files.
  function sources() {
    const text = $('structure-text').value;
    const out = [];
    if (text.trim() !== '') {
      out.push({ name: M.safeStem(M.pastedName(text) || 'rna') + '.txt', bytes: new TextEncoder().encode(text) });
    }
    return out.concat(structureFiles);
  }

  // How many structures each source holds, as mirelon-ct sees it: a file it
  // refuses for holding several is taken structure by structure (-k).
  async function readStructures() {
    const turn = ++readingTurn;
    const list = sources();
    const counted = [];
    for (const source of list) {
      const result = await window.mirelon.run('mirelon-ct', [M.INPUT_FOLDER + source.name],
                                              { [M.INPUT_FOLDER + source.name]: source.bytes });
      counted.push({ name: source.name, bytes: source.bytes,
                     count: Math.max(1, M.structureCount(decode(result.stderr))) });
    }
    if (turn !== readingTurn) return null; // the inputs changed meanwhile
    const previous = known[$('structure-choice').selectedIndex];
    known = M.structuresOf(counted);
    const choice = $('structure-choice');
    choice.replaceChildren(...(known.length ? known : [{ label: 'the first structure' }])
      .map((s) => el('option', { textContent: s.label })));
    const keep = previous ? known.findIndex((s) => s.label === previous.label) : -1;
    choice.selectedIndex = Math.max(0, keep);
    choice.disabled = known.length < 2;
    return counted;
  }

  function listFiles(listId, files, onRemove) {
    $(listId).replaceChildren(...files.map((file, i) => {
      const remove = el('button', { type: 'button', textContent: 'Remove',
                                    onclick: () => onRemove(i) });
      remove.setAttribute('aria-label', 'Remove ' + file.name);
      return el('li', {}, file.name + ' (' + file.bytes.length + ' bytes) ', remove);
    }));
  }

  function showStructureFiles() {
    listFiles('structure-list', structureFiles, (i) => {
      structureFiles.splice(i, 1);
      showStructureFiles();
      $('structure-files').focus();
    });
    readStructures();
  }

  function showShiftsFile() {
    listFiles('shifts-list', shiftsFile ? [shiftsFile] : [], () => {
      shiftsFile = null;
      showShiftsFile();
      $('shifts-file').focus();
    });
  }

  async function addStructureFiles(files) {
    // A copy: the input's own list empties when the input is cleared.
    for (const file of Array.from(files)) structureFiles.push({ name: file.name, bytes: await bytesOfFile(file) });
    showStructureFiles();
  }

  async function setShiftsFile(file) {
    shiftsFile = file ? { name: file.name, bytes: await bytesOfFile(file) } : null;
    showShiftsFile();
  }

  function levelOptions() {
    for (const select of document.querySelectorAll('select[data-default]')) {
      M.LEVEL_PERCENT.forEach((percent, i) => {
        select.append(el('option', { value: String(i + 1), textContent: i + 1 + ' (' + percent + ' %)' }));
      });
      select.value = select.dataset.default;
    }
  }

  function pre(text, label, className) {
    const node = el('pre', { tabIndex: 0, textContent: text, className: className || '' });
    node.setAttribute('aria-label', label);
    return node;
  }

  // A labelled block of a step's output; an empty one is one line saying so.
  // Messages wrap, so that a long warning is read whole; other output keeps
  // its columns.
  function stream(title, text, program, wrap) {
    if (text === '') return [el('p', { className: 'label' }, title + ': ', el('em', { textContent: 'empty' }))];
    return [el('p', { className: 'label', textContent: title }),
      pre(text, title + ' of ' + program, wrap ? 'messages' : '')];
  }

  function tableName() {
    return tableFile ? M.INPUT_FOLDER + tableFile.name
      : 'statfile.tab (shipped with mirelon ' + window.mirelon.version + ')';
  }

  function showStep(step, number, result) {
    const ok = result.status === 0;
    const stdout = decode(result.stdout);
    const stderr = decode(result.stderr);
    const outcome = ok ? 'Exit status 0: done.'
      : 'Failed with exit status ' + result.status + (number ? '; the later steps did not run.' : '.');
    const facts = 'Program: ' + step.program + ' (mirelon ' + window.mirelon.version + ')' +
      (step.program === 'mirelon-ct' ? '' : '. Table: ' + tableName()) + '.';
    const item = el('li', { className: ok ? 'step' : 'step failed' },
      el('h3', { textContent: step.program + ': ' + step.title }),
      el('p', { className: 'outcome' }, el('strong', { textContent: outcome })),
      el('p', { textContent: facts }),
      el('p', { className: 'label', textContent: 'Command line' }),
      pre(M.commandLine(step), 'Command line of ' + step.program),
      ...stream('Standard output', stdout, step.program),
      ...stream('Standard error (warnings, notes and errors)', stderr, step.program, true));
    $('steps').append(item);
    return item;
  }

  function download(name, bytes, type) {
    const url = URL.createObjectURL(new Blob([bytes], { type: type || 'application/octet-stream' }));
    urls.push(url);
    return url;
  }

  function showFiles(written, epoch) {
    const names = Object.keys(written);
    $('files-none').hidden = names.length > 0;
    $('zip').parentNode.hidden = names.length === 0;
    $('file-list').replaceChildren(...names.map((name) => el('li', {},
      el('a', { href: download(name, written[name]), download: name, textContent: name }),
      ' ', el('span', { className: 'size', textContent: written[name].length + ' bytes' }))));
    if (names.length) {
      const date = epoch === '' ? new Date() : new Date(Number(epoch) * 1000);
      const zip = window.mirelonZip.makeZip(names.map((name) => ({ name, bytes: written[name] })),
                                            isNaN(date) ? new Date() : date);
      $('zip').href = download('mirelon.zip', zip, 'application/zip');
      $('zip').download = (known[$('structure-choice').selectedIndex] || { stem: 'mirelon' }).stem + '-mirelon.zip';
      $('zip').textContent = 'Download all ' + names.length + ' files as one .zip (' + zip.length + ' bytes)';
    }
  }

  function showRanking(check, chosen) {
    const order = M.ranking(check).map((r) => ({ ...r, structure: known.find((s) => s.ct === r.name) }));
    const best = order.length ? order[0].structure : null;
    $('ranking').hidden = !best;
    Array.from($('structure-choice').options).forEach((option, i) => {
      option.textContent = known[i] ? known[i].label + (known[i] === best ? ' (best-ranked)' : '') : option.textContent;
    });
    if (!best) return;
    $('ranking-list').replaceChildren(...order.map((r) => el('li', {
      textContent: (r.structure ? r.structure.label + ' (' + r.name + ')' : r.name) + ': log-likelihood ' + r.fit +
        (r.rank > 1 ? ' (' + r.behind + ' against the best)' : '') })));
    const chosenIsBest = best === chosen;
    $('ranking-text').textContent = chosenIsBest ? 'mirelon and mirelon-nef used the best-ranked structure, ' + best.label + '.'
      : 'mirelon and mirelon-nef used ' + chosen.label + '; the best-ranked structure is ' + best.label + '.';
    $('use-best').parentNode.hidden = chosenIsBest;
    $('use-best').textContent = 'Use ' + best.label + ' for mirelon and mirelon-nef and run again';
    $('use-best').onclick = () => {
      $('structure-choice').selectedIndex = known.indexOf(best);
      $('form').requestSubmit();
    };
  }

  async function run() {
    $('run').disabled = true;
    const status = $('status');
    status.textContent = 'Reading the structures…';
    for (const url of urls) URL.revokeObjectURL(url);
    urls = [];
    const counted = await readStructures();
    if (!counted || !counted.length) {
      status.textContent = counted ? 'Give a structure first: paste one or choose a file.' : 'The inputs changed; run again.';
      $('run').disabled = false;
      return;
    }
    const shiftsText = $('shifts-text').value;
    const shifts = shiftsFile || (shiftsText.trim() ? { name: 'shifts.txt', bytes: new TextEncoder().encode(shiftsText) } : null);
    const epoch = $('epoch').value.trim();
    const plan = M.steps({
      structures: known, sources: counted, selected: Math.max(0, $('structure-choice').selectedIndex),
      level: $('level').value, checkLevel: $('check-level').value, pictureLevel: $('picture-level').value,
      macro: $('macro-name').value.trim(), gu: $('gu').checked, natural: $('natural').checked,
      upper: $('upper').checked, offsets: $('offsets').value.trim(), shifts: shifts ? shifts.name : '',
      table: tableFile ? tableFile.name : '', epoch,
    });
    // Every file a run can be given: the user's under input/, and what the
    // earlier steps wrote.
    const available = {};
    for (const source of counted) available[M.INPUT_FOLDER + source.name] = source.bytes;
    if (shifts) available[M.INPUT_FOLDER + shifts.name] = shifts.bytes;
    if (tableFile) available[M.INPUT_FOLDER + tableFile.name] = tableFile.bytes;
    const written = {};
    $('steps').replaceChildren();
    $('results').hidden = false;
    let failed = null;
    let checkOut = '';
    // The steps whose warnings the status line names: they are easy to miss
    // below the files and the report.
    const warned = [];
    for (const [i, step] of plan.entries()) {
      status.textContent = 'Running step ' + (i + 1) + ' of ' + plan.length + ': ' + step.program + '…';
      const files = {};
      for (const name of step.inputs) files[name] = available[name];
      const result = await window.mirelon.runWith(step.program, step.args, files, { env: step.env || {} });
      const item = showStep(step, i + 1 < plan.length, result);
      for (const [name, bytes] of Object.entries(result.files)) {
        written[name] = bytes;
        available[name] = bytes;
      }
      if (step.program === 'mirelon-check') checkOut = decode(result.stdout);
      const warnings = M.warningCount(decode(result.stderr));
      if (warnings) warned.push(step.program + ' ' + warnings);
      if (result.status !== 0) {
        failed = { step, item, status: result.status };
        break;
      }
    }
    showFiles(written, epoch);
    const chosen = known[Math.max(0, $('structure-choice').selectedIndex)];
    const report = Object.keys(written).find((name) => name.endsWith('.html'));
    $('report').hidden = !report;
    if (!report) $('report-frame').removeAttribute('srcdoc');
    if (report) {
      $('report-frame').srcdoc = decode(written[report]);
      $('report-open').href = download(report, written[report], 'text/html');
    }
    $('prot').hidden = !written['kesta.prot'];
    $('prot-text').textContent = written['kesta.prot'] ? decode(written['kesta.prot']) : '';
    showRanking(checkOut, chosen);
    status.textContent = failed
      ? failed.step.program + ' failed with exit status ' + failed.status +
        '; the later steps did not run. Its messages are under Steps.'
      : 'Done: ' + plan.length + ' steps, ' + Object.keys(written).length + ' files.' +
        (warned.length ? ' Warnings (' + warned.join(', ') + '): see Steps.' : '');
    status.className = failed ? 'failed' : '';
    $('run').disabled = false;
    (failed ? failed.item : $('results')).scrollIntoView({ block: 'start' });
  }

  function dropOn(box, take) {
    box.addEventListener('dragover', (e) => {
      e.preventDefault();
      box.classList.add('over');
    });
    box.addEventListener('dragleave', () => box.classList.remove('over'));
    box.addEventListener('drop', (e) => {
      e.preventDefault();
      box.classList.remove('over');
      take(e.dataTransfer.files);
    });
  }

  levelOptions();
  let typing = 0;
  $('structure-text').addEventListener('input', () => {
    clearTimeout(typing);
    typing = setTimeout(readStructures, 400);
  });
  $('example').onclick = () => {
    $('structure-text').value = EXAMPLE;
    readStructures();
  };
  $('structure-files').onchange = (e) => {
    addStructureFiles(e.target.files);
    e.target.value = '';
  };
  $('shifts-file').onchange = (e) => {
    setShiftsFile(e.target.files[0]);
    e.target.value = '';
  };
  $('table-file').onchange = async (e) => {
    const file = e.target.files[0];
    tableFile = file ? { name: file.name, bytes: await bytesOfFile(file) } : null;
  };
  dropOn($('structure-box'), addStructureFiles);
  dropOn($('shifts-box'), (files) => setShiftsFile(files[0]));
  $('form').addEventListener('submit', (e) => {
    e.preventDefault();
    run();
  });
  window.mirelon.ready.then(() => {
    $('version').textContent = 'mirelon ' + window.mirelon.version + ', with its shipped statistics table.';
    $('status').textContent = 'Ready.';
    $('run').disabled = false;
  }, (e) => {
    $('status').textContent = 'The programs could not be loaded: ' + e.message;
  });
})();
