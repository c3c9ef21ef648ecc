// Helper of bench/fidelity: renders with the resvg npm package, and compares
// the three renderers' pictures.
//   node fidelity.mjs resvg MODULES_DIR OUT_DIR WIDTH LIST_FILE
//   node fidelity.mjs report MODULES_DIR RUN_DIR WIDTH WORST SET...
// MODULES_DIR is the node_modules folder that holds @resvg/resvg-js and pngjs.
// LIST_FILE names one SVG file a line; each picture goes to OUT_DIR/NAME.png.
// "report" reads RUN_DIR/SET/{files.txt,kelsvg,resvg,rsvg}/ for every SET,
// writes RUN_DIR/SET/results.tsv and the montage RUN_DIR/SET-worst.png, and
// prints the Markdown report on standard output.
import { createRequire } from 'node:module';
import { existsSync, readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { basename, join } from 'node:path';

const [command, modules, ...args] = process.argv.slice(2);
if (!modules) {
  console.error('usage: fidelity.mjs (resvg MODULES OUT WIDTH LIST | report MODULES RUN WIDTH WORST SET...)');
  process.exit(1);
}
const require = createRequire(join(modules, 'noop.js'));
const { Resvg } = require('@resvg/resvg-js');
const { PNG } = require('pngjs');

// Agreement: this share of pixels within this distance in every channel.
const AGREE_SHARE = 0.97;
const AGREE_DISTANCE = 32;

const pictureName = (file) => basename(file).replace(/\.svg$/i, '');
const readList = (file) => readFileSync(file, 'utf8').split('\n').filter(Boolean);

// Loading the system fonts costs more than rendering an icon, so only files
// with text get them.
function renderResvg(outDir, width, listFile) {
  mkdirSync(outDir, { recursive: true });
  let failed = 0;
  for (const file of readList(listFile)) {
    try {
      const svg = readFileSync(file);
      const hasText = svg.includes('<text');
      const png = new Resvg(svg, {
        fitTo: { mode: 'width', value: width },
        font: { loadSystemFonts: hasText },
      })
        .render()
        .asPng();
      writeFileSync(join(outDir, pictureName(file) + '.png'), png);
    } catch (error) {
      console.error(`resvg: ${file}: ${error.message ?? error}`);
      ++failed;
    }
  }
  if (failed) console.error(`resvg: ${failed} files failed`);
}

// A picture composited over white, as RGB bytes; null when there is none.
function readOverWhite(file) {
  if (!existsSync(file)) return null;
  let png;
  try {
    png = PNG.sync.read(readFileSync(file));
  } catch {
    return null;
  }
  const { width, height, data } = png;
  const rgb = Buffer.alloc(width * height * 3);
  for (let i = 0, o = 0; i < data.length; i += 4, o += 3) {
    const a = data[i + 3];
    for (let c = 0; c < 3; ++c) rgb[o + c] = Math.round((data[i + c] * a + 255 * (255 - a)) / 255);
  }
  return { width, height, rgb };
}

// Share of differing pixels over the overlap, and a mask of them; sizes that
// differ by more than a pixel of rounding differ everywhere.
function difference(a, b) {
  if (!a || !b || Math.abs(a.width - b.width) > 1 || Math.abs(a.height - b.height) > 1)
    return { share: 1, mask: null };
  const width = Math.min(a.width, b.width);
  const height = Math.min(a.height, b.height);
  const mask = new Uint8Array(width * height);
  let differing = 0;
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const i = (y * a.width + x) * 3;
      const j = (y * b.width + x) * 3;
      for (let c = 0; c < 3; ++c) {
        if (Math.abs(a.rgb[i + c] - b.rgb[j + c]) > AGREE_DISTANCE) {
          mask[y * width + x] = 1;
          ++differing;
          break;
        }
      }
    }
  }
  return { share: width * height ? differing / (width * height) : 1, mask, width, height };
}

// Features the library does not draw, found by a plain scan of the text.
const FEATURES = [
  ['clipPath', /<(\w+:)?clipPath\b|[\s;"']clip-path\s*[:=]\s*["']?\s*url/],
  ['mask', /<(\w+:)?mask\b|[\s;"']mask\s*[:=]\s*["']?\s*url/],
  ['style element', /<(\w+:)?style\b/],
  ['filter', /<(\w+:)?filter\b|[\s;"']filter\s*[:=]\s*["']?\s*url/],
  ['pattern', /<(\w+:)?pattern\b/],
  ['marker', /<(\w+:)?marker\b|[\s;"']marker(-start|-mid|-end)?\s*[:=]\s*["']?\s*url/],
  ['image', /<(\w+:)?image\b/],
];
// Elements the library knows, or that draw nothing anyway.
const KNOWN = new Set(
  ('svg g line circle ellipse rect path polyline polygon defs desc title metadata use text ' +
    'tspan stop linearGradient radialGradient symbol image clipPath mask style filter pattern marker')
    .split(' '),
);

function featuresOf(file) {
  let text;
  try {
    text = readFileSync(file, 'utf8').replace(/<!--[\s\S]*?-->/g, '');
  } catch {
    return [];
  }
  const found = FEATURES.filter(([, pattern]) => pattern.test(text)).map(([name]) => name);
  // opacity as an attribute or a declaration, other than 1 (not fill-opacity & co.)
  for (const match of text.matchAll(/[\s;"'{]opacity\s*[:=]\s*["']?\s*([-+.\d]+)(%?)/g)) {
    const value = Number(match[1]) / (match[2] ? 100 : 1);
    if (value !== 1) {
      found.unshift('opacity');
      break;
    }
  }
  const others = new Set();
  for (const [, tag] of text.matchAll(/<([A-Za-z][\w.-]*)[\s/>]/g))
    if (!KNOWN.has(tag) && !tag.startsWith('fe')) others.add(tag);
  if (others.size) found.push(`other elements: ${[...others].sort().join(', ')}`);
  if (/<(\w+:)?text\b/.test(text)) found.push('text');
  return found;
}

const percent = (share) => (100 * share).toFixed(1);

// One row per worst file: kelsvg | resvg | rsvg-convert | differing pixels
// (red) over a pale resvg picture; drawn by resvg from an SVG page.
function writeMontage(file, setName, rows, width) {
  const gap = 8;
  const label = 16;
  const columns = ['kelsvg', 'resvg', 'rsvg-convert', 'kelsvg ≠ resvg'];
  const cell = width + gap;
  let y = 24;
  let body = `<text x="${gap}" y="16" font-size="13" font-weight="bold">${escape(setName)}: ${columns.join(' | ')}</text>`;
  for (const row of rows) {
    body += `<text x="${gap}" y="${y + 12}" font-size="11">${escape(row.label)}</text>`;
    y += label;
    let height = 0;
    row.pictures.forEach((picture, i) => {
      const x = gap + i * cell;
      if (!picture) {
        body += `<text x="${x + 4}" y="${y + 14}" font-size="11" fill="#c00">no picture</text>`;
        height = Math.max(height, 20);
        return;
      }
      const uri = 'data:image/png;base64,' + toPng(picture).toString('base64');
      body += `<rect x="${x - 1}" y="${y - 1}" width="${picture.width + 2}" height="${picture.height + 2}" fill="none" stroke="#ccc"/>`;
      body += `<image x="${x}" y="${y}" width="${picture.width}" height="${picture.height}" href="${uri}"/>`;
      height = Math.max(height, picture.height);
    });
    y += height + gap;
  }
  const page =
    `<svg xmlns="http://www.w3.org/2000/svg" width="${gap + columns.length * cell}" height="${y}">` +
    `<rect width="100%" height="100%" fill="#fff"/>${body}</svg>`;
  const png = new Resvg(page, { font: { loadSystemFonts: true, defaultFontFamily: 'DejaVu Sans' } })
    .render()
    .asPng();
  writeFileSync(file, png);
}

function escape(text) {
  return text.replace(/[&<>"]/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' })[c]);
}

function toPng({ width, height, rgb }) {
  const png = new PNG({ width, height });
  for (let i = 0, o = 0; i < rgb.length; i += 3, o += 4) {
    png.data[o] = rgb[i];
    png.data[o + 1] = rgb[i + 1];
    png.data[o + 2] = rgb[i + 2];
    png.data[o + 3] = 255;
  }
  return PNG.sync.write(png);
}

// The differing pixels in red over a pale copy of the reference.
function diffPicture(reference, diff) {
  if (!reference || !diff.mask) return null;
  const { width, height } = diff;
  const rgb = Buffer.alloc(width * height * 3);
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const o = (y * width + x) * 3;
      if (diff.mask[y * width + x]) {
        rgb[o] = 230;
        rgb[o + 1] = 0;
        rgb[o + 2] = 0;
      } else {
        const i = (y * reference.width + x) * 3;
        for (let c = 0; c < 3; ++c) rgb[o + c] = 191 + (reference.rgb[i + c] >> 2);
      }
    }
  }
  return { width, height, rgb };
}

function report(runDir, width, worstCount, sets) {
  const table = [];
  const lists = [];
  for (const set of sets) {
    const dir = join(runDir, set);
    const files = readList(join(dir, 'files.txt'));
    const results = [];
    const referenceFailed = [];
    for (const file of files) {
      const name = pictureName(file);
      const resvg = readOverWhite(join(dir, 'resvg', name + '.png'));
      if (!resvg) {
        referenceFailed.push(file);
        continue;
      }
      const kelsvg = readOverWhite(join(dir, 'kelsvg', name + '.png'));
      const rsvg = readOverWhite(join(dir, 'rsvg', name + '.png'));
      results.push({ file, name, kelsvg: difference(kelsvg, resvg), rsvg: difference(rsvg, resvg), kelsvgFailed: !kelsvg, rsvgFailed: !rsvg });
    }
    const compared = results.length;
    const agree = (key) => results.filter((r) => r[key].share <= 1 - AGREE_SHARE).length;
    const share = (count) => (compared ? percent(count / compared) : '–');
    table.push(`| ${set} | ${files.length} | ${share(agree('kelsvg'))} | ${share(agree('rsvg'))} |`);

    results.sort((a, b) => b.kelsvg.share - a.kelsvg.share || a.name.localeCompare(b.name));
    const tsv = ['file\tkelsvg differing %\trsvg-convert differing %\tfeatures'];
    for (const r of results)
      tsv.push(`${r.file}\t${percent(r.kelsvg.share)}\t${percent(r.rsvg.share)}\t${featuresOf(r.file).join('; ')}`);
    for (const file of referenceFailed) tsv.push(`${file}\tresvg failed\t\t${featuresOf(file).join('; ')}`);
    writeFileSync(join(dir, 'results.tsv'), tsv.join('\n') + '\n');

    const notes = [];
    if (referenceFailed.length) notes.push(`resvg failed on ${referenceFailed.length}, left out of both shares`);
    const kelsvgFailed = results.filter((r) => r.kelsvgFailed).length;
    if (kelsvgFailed) notes.push(`kelsvg wrote no picture for ${kelsvgFailed}`);
    const rsvgFailed = results.filter((r) => r.rsvgFailed).length;
    if (rsvgFailed) notes.push(`rsvg-convert wrote no picture for ${rsvgFailed}`);
    lists.push(`### ${set}${notes.length ? ` (${notes.join('; ')})` : ''}`, '');
    const worst = results.slice(0, worstCount).filter((r) => r.kelsvg.share > 0);
    lists.push('| file | kelsvg differs | rsvg-convert differs | features |', '|---|---:|---:|---|');
    const rows = [];
    for (const r of worst) {
      const features = featuresOf(r.file);
      const kelsvgText = r.kelsvgFailed ? 'no picture' : `${percent(r.kelsvg.share)} %`;
      const rsvgText = r.rsvgFailed ? 'no picture' : `${percent(r.rsvg.share)} %`;
      lists.push(`| ${r.name} | ${kelsvgText} | ${rsvgText} | ${features.join(', ') || '–'} |`);
      const resvg = readOverWhite(join(dir, 'resvg', r.name + '.png'));
      rows.push({
        label: `${r.name}: ${kelsvgText} (rsvg-convert ${rsvgText})${features.length ? ' · ' + features.join(', ') : ''}`,
        pictures: [
          readOverWhite(join(dir, 'kelsvg', r.name + '.png')),
          resvg,
          readOverWhite(join(dir, 'rsvg', r.name + '.png')),
          diffPicture(resvg, r.kelsvg),
        ],
      });
    }
    lists.push('');
    if (rows.length) writeMontage(join(runDir, `${set}-worst.png`), set, rows, width);
  }
  console.log(`Pictures ${width} px wide, composited over white, compared with resvg's: a file agrees when at ` +
    `least ${AGREE_SHARE * 100} % of its pixels are within ${AGREE_DISTANCE}/255 in every channel.`);
  console.log('');
  console.log('| set | files | kelsvg agree % | rsvg-convert agree % |');
  console.log('|---|---:|---:|---:|');
  for (const row of table) console.log(row);
  console.log('');
  console.log(`Worst kelsvg files per set (share of pixels differing from resvg's):`);
  console.log('');
  for (const line of lists) console.log(line);
}

if (command === 'resvg') {
  const [outDir, width, listFile] = args;
  renderResvg(outDir, Number(width), listFile);
} else if (command === 'report') {
  const [runDir, width, worst, ...sets] = args;
  report(runDir, Number(width), Number(worst), sets);
} else {
  console.error(`fidelity.mjs: unknown command ${command}`);
  process.exit(1);
}
