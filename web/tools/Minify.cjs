// node Minify.cjs FILE.js: FILE.js rewritten smaller by terser (Debian's node-terser, found through
// NODE_PATH=/usr/share/nodejs): dead code dropped, local names shortened. Top-level names and
// properties stay as they are, for the page's scripts reach the program through them.
'use strict';
const { readFileSync, writeFileSync } = require('node:fs');
const { minify } = require('terser');

const file = process.argv[2];
if (!file) {
  console.error('usage: node Minify.cjs FILE.js');
  process.exit(2);
}
minify(readFileSync(file, 'utf8'), { compress: true, mangle: true }).then((result) => {
  writeFileSync(file, result.code);
}, (e) => {
  console.error(`${file}: cannot minify: ${e.message}`);
  process.exit(1);
});
