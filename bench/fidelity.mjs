// Helper of bench/fidelity: renders with the resvg npm package, and compares
// the three renderers' pictures.
//   node fidelity.mjs resvg MODULES_DIR OUT_DIR WIDTH LIST_FILE
//   node fidelity.mjs report MODULES_DIR RUN_DIR WIDTH WORST SET...
// MODULES_DIR is the node_modules folder that holds @resvg/resvg-js and pngjs.
// LIST_FILE names one SVG file a line; each picture goes to OUT_DIR/NAME.png.
// "report" reads RUN_DIR/SET/{files.txt,kelsvg,resvg,rsvg}/ for every SET,
// writes RUN_DIR/SET/results.tsv and the montage RUN_DIR/SET-worst.png, and
// prints the Markdown report on standard output.
import { readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { basename, join } from 'node:path';
import { AGREE_DISTANCE, AGREE_SHARE, loadPictures, percent } from './pictures.mjs';

const [command, modules, ...args] = process.argv.slice(2);
if (!modules) {
  console.error('usage: fidelity.mjs (resvg MODULES OUT WIDTH LIST | report MODULES RUN WIDTH WORST SET...)');
  process.exit(1);
}
const { Resvg, readOverWhite, difference, writeMontage, diffPicture } = loadPictures(modules);

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
