// Helper of bench/fidelity: renders with the resvg npm package, and compares
// the renderers' pictures (Chromium's where the run has them).
//   node fidelity.mjs resvg MODULES_DIR OUT_DIR WIDTH LIST_FILE
//   node fidelity.mjs report MODULES_DIR RUN_DIR WIDTH WORST SET...
// MODULES_DIR is the node_modules folder that holds @resvg/resvg-js and pngjs.
// LIST_FILE names one SVG file a line; each picture goes to OUT_DIR/NAME.png.
// "report" reads RUN_DIR/SET/{files.txt,kelsvg,resvg,rsvg,chromium}/ for every SET,
// writes RUN_DIR/SET/results.tsv and the montage RUN_DIR/SET-worst.png, and
// prints the Markdown report on standard output.
import { existsSync, readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { basename, join } from 'node:path';
import { AGREE_DISTANCE, AGREE_SHARE, loadPictures, percent } from './pictures.mjs';

const [command, modules, ...args] = process.argv.slice(2);
if (!modules) {
  console.error('usage: fidelity.mjs (resvg MODULES OUT WIDTH LIST | report MODULES RUN WIDTH WORST SET...)');
  process.exit(1);
}
const { Resvg, readOverWhite, difference, agrees, writeMontage, diffPicture } = loadPictures(modules);

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

function report(runDir, width, worstCount, sets) {
  const table = [];
  const lists = [];
  let withChromium = false;
  for (const set of sets) {
    const dir = join(runDir, set);
    const chromium = existsSync(join(dir, 'chromium'));
    withChromium ||= chromium;
    const files = readList(join(dir, 'files.txt'));
    const results = files.map((file) => {
      const name = pictureName(file);
      const picture = (renderer) => readOverWhite(join(dir, renderer, name + '.png'));
      const p = { kelsvg: picture('kelsvg'), resvg: picture('resvg'), rsvg: picture('rsvg'), chromium: chromium ? picture('chromium') : null };
      // Against a reference that drew nothing, nothing is compared.
      const against = (a, reference) => (p[reference] ? difference(p[a], p[reference]) : null);
      const r = {
        file, name, p,
        kelsvg: against('kelsvg', 'resvg'), rsvg: against('rsvg', 'resvg'),
        kelsvgChromium: against('kelsvg', 'chromium'), rsvgChromium: against('rsvg', 'chromium'), resvgChromium: against('resvg', 'chromium'),
      };
      const references = [r.kelsvg, r.kelsvgChromium].filter(Boolean);
      r.nearest = references.length ? Math.min(...references.map((d) => d.share)) : 0;
      r.furthest = references.length ? Math.max(...references.map((d) => d.share)) : 0;
      return r;
    });
    const share = (key) => {
      const compared = results.filter((r) => r[key]);
      return compared.length ? percent(compared.filter((r) => agrees(r[key])).length / compared.length) : '–';
    };
    const chromiumCells = chromium ? ` ${share('kelsvgChromium')} | ${share('rsvgChromium')} | ${share('resvgChromium')} |` : ' – | – | – |';
    table.push(`| ${set} | ${files.length} | ${share('kelsvg')} | ${share('rsvg')} |${chromiumCells}`);

    // Worst first: furthest from the nearer reference (resvg or Chromium).
    results.sort((a, b) => b.nearest - a.nearest || b.furthest - a.furthest || a.name.localeCompare(b.name));
    const cell = (diff) => (diff ? percent(diff.share) : 'no reference');
    const tsv = [['file', 'kelsvg differing from resvg %', 'rsvg-convert differing from resvg %']];
    if (chromium) tsv[0].push('kelsvg differing from Chromium %', 'rsvg-convert differing from Chromium %', 'resvg differing from Chromium %');
    tsv[0].push('features');
    for (const r of results) {
      const row = [r.file, cell(r.kelsvg), cell(r.rsvg)];
      if (chromium) row.push(cell(r.kelsvgChromium), cell(r.rsvgChromium), cell(r.resvgChromium));
      row.push(featuresOf(r.file).join('; '));
      tsv.push(row);
    }
    writeFileSync(join(dir, 'results.tsv'), tsv.map((row) => row.join('\t')).join('\n') + '\n');

    const notes = [];
    const missing = (renderer) => results.filter((r) => !r.p[renderer]).length;
    if (missing('resvg')) notes.push(`resvg failed on ${missing('resvg')}, left out of its shares`);
    if (chromium && missing('chromium')) notes.push(`Chromium failed on ${missing('chromium')}, left out of its shares`);
    if (missing('kelsvg')) notes.push(`kelsvg wrote no picture for ${missing('kelsvg')}`);
    if (missing('rsvg')) notes.push(`rsvg-convert wrote no picture for ${missing('rsvg')}`);
    lists.push(`### ${set}${notes.length ? ` (${notes.join('; ')})` : ''}`, '');
    const worst = results.filter((r) => r.furthest > 0).slice(0, worstCount);
    const header = chromium
      ? ['file', 'kelsvg from Chromium', 'kelsvg from resvg', 'rsvg-convert from Chromium', 'rsvg-convert from resvg', 'resvg from Chromium', 'features']
      : ['file', 'kelsvg differs', 'rsvg-convert differs', 'features'];
    lists.push(`| ${header.join(' | ')} |`, `|---|${header.slice(1, -1).map(() => '---:|').join('')}---|`);
    const rows = [];
    for (const r of worst) {
      const features = featuresOf(r.file);
      const text = (picture, diff) => (!picture ? 'no picture' : diff ? `${percent(diff.share)} %` : 'no reference');
      const cells = [r.name];
      if (chromium) cells.push(text(r.p.kelsvg, r.kelsvgChromium));
      cells.push(text(r.p.kelsvg, r.kelsvg));
      if (chromium) cells.push(text(r.p.rsvg, r.rsvgChromium));
      cells.push(text(r.p.rsvg, r.rsvg));
      if (chromium) cells.push(text(r.p.resvg, r.resvgChromium));
      cells.push(features.join(', ') || '–');
      lists.push(`| ${cells.join(' | ')} |`);
      const label = chromium
        ? `${r.name}: ${text(r.p.kelsvg, r.kelsvgChromium)} from Chromium, ${text(r.p.kelsvg, r.kelsvg)} from resvg`
        : `${r.name}: ${text(r.p.kelsvg, r.kelsvg)} (rsvg-convert ${text(r.p.rsvg, r.rsvg)})`;
      const diff = (reference, d) => (d ? diffPicture(reference, d) : null);
      rows.push({
        label: `${label}${features.length ? ' · ' + features.join(', ') : ''}`,
        pictures: chromium
          ? [r.p.kelsvg, r.p.chromium, r.p.resvg, r.p.rsvg, diff(r.p.chromium, r.kelsvgChromium), diff(r.p.resvg, r.kelsvg)]
          : [r.p.kelsvg, r.p.resvg, r.p.rsvg, diff(r.p.resvg, r.kelsvg)],
      });
    }
    lists.push('');
    const columns = chromium
      ? ['kelsvg', 'Chromium', 'resvg', 'rsvg-convert', 'kelsvg ≠ Chromium', 'kelsvg ≠ resvg']
      : ['kelsvg', 'resvg', 'rsvg-convert', 'kelsvg ≠ resvg'];
    if (rows.length) writeMontage(join(runDir, `${set}-worst.png`), set, rows, width, columns);
  }
  console.log(`Pictures ${width} px wide, composited over white; two pictures agree when at least ` +
    `${AGREE_SHARE * 100} % of their pixels are within ${AGREE_DISTANCE}/255 in every channel.`);
  console.log('');
  console.log('| set | files | kelsvg ~ resvg % | rsvg-convert ~ resvg % | kelsvg ~ Chromium % | rsvg-convert ~ Chromium % | resvg ~ Chromium % |');
  console.log('|---|---:|---:|---:|---:|---:|---:|');
  for (const row of table) console.log(row);
  console.log('');
  console.log(withChromium
    ? 'Worst kelsvg files per set, furthest from the nearer of Chromium and resvg first (share of pixels differing):'
    : `Worst kelsvg files per set (share of pixels differing from resvg's):`);
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
