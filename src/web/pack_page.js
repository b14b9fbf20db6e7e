// Puts the browser page together in one folder that works opened from disk:
// the page's own files from web/, the module's JavaScript, the module itself
// as a base64 script (a page opened from file:// may load scripts but not
// fetch files), and the shipped table with the program version as a script.
//
// usage: node pack_page.js WEB_SOURCES MODULE_JS MODULE_WASM TABLE TABLE_PLACE VERSION OUT
'use strict';
const fs = require('fs');
const path = require('path');

const [webSources, moduleJs, moduleWasm, table, tablePlace, version, out] = process.argv.slice(2);
if (!out) {
  console.error('usage: node pack_page.js WEB_SOURCES MODULE_JS MODULE_WASM TABLE TABLE_PLACE VERSION OUT');
  process.exit(2);
}
fs.rmSync(out, { recursive: true, force: true });
fs.mkdirSync(out, { recursive: true });
for (const name of fs.readdirSync(webSources)) {
  if (/\.(html|js|css)$/.test(name)) fs.copyFileSync(path.join(webSources, name), path.join(out, name));
}
fs.copyFileSync(moduleJs, path.join(out, 'mirelon-module.js'));
const wasm = fs.readFileSync(moduleWasm).toString('base64');
fs.writeFileSync(path.join(out, 'mirelon-wasm.js'), 'globalThis.MIRELON_WASM = "' + wasm + '";\n');
// The table is plain text: a JSON string of it is a JavaScript string.
const build = { version, table: { path: tablePlace, text: fs.readFileSync(table, 'latin1') } };
fs.writeFileSync(path.join(out, 'mirelon-build.js'), 'globalThis.MIRELON_BUILD = ' + JSON.stringify(build) + ';\n');
