// Renders SVG files to PNG with the resvg npm package, all in this one process.
//   node compare-resvg.mjs MODULES_DIR OUT_DIR (--width N | --size W H) [--fonts DIR] FILE...
// MODULES_DIR is the node_modules folder that holds @resvg/resvg-js.
// --size W H scales each picture to W x H (as a square icon fits), --width N
// to N pixels wide with the height in proportion. --fonts DIR gives it the
// fonts of one folder (DejaVu Sans its default family), for inputs with text.
import { createRequire } from 'node:module';
import { readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { basename, join } from 'node:path';

const [modules, outDir, mode, ...rest] = process.argv.slice(2);
const require = createRequire(join(modules, 'noop.js'));
const { Resvg } = require('@resvg/resvg-js');

let fitTo;
let files;
if (mode === '--width') {
  fitTo = { mode: 'width', value: Number(rest[0]) };
  files = rest.slice(1);
} else if (mode === '--size') {
  // The icons are square, so fitting the width gives W x H.
  fitTo = { mode: 'width', value: Number(rest[0]) };
  files = rest.slice(2);
} else {
  console.error('usage: compare-resvg.mjs MODULES_DIR OUT_DIR (--width N | --size W H) [--fonts DIR] FILE...');
  process.exit(1);
}
let fontDirs = [];
if (files[0] === '--fonts') {
  fontDirs = [files[1]];
  files = files.slice(2);
}

mkdirSync(outDir, { recursive: true });
// Icons and maps hold no text: loading the system fonts for every file would
// only slow this renderer down, so it is left off to give it its best case;
// texts get the one folder of fonts they use.
const font = { loadSystemFonts: false, fontDirs, defaultFontFamily: 'DejaVu Sans' };
const options = { fitTo, font };
for (const file of files) {
  const png = new Resvg(readFileSync(file), options).render().asPng();
  writeFileSync(join(outDir, basename(file).replace(/\.svg$/, '') + '.png'), png);
}
