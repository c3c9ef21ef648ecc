// Helper of bench/conformance: renders with the resvg npm package, and
// compares kelsvg's pictures with those of the other renderers (Chromium's
// where the run has them) folder by folder.
//   node conformance.mjs resvg MODULES OUT_DIR WIDTH FONT_JSON LIST_FILE
//   node conformance.mjs report MODULES RUN_DIR WIDTH WORST FOLDER...
// FONT_JSON is resvg's font options (folders, default family) and "aliases",
// fontconfig's answers for the generic families and common names, so that it
// sees the fonts the other two see through fontconfig: resvg reads no
// fontconfig and takes its default family for every generic one, so the
// aliases are written into the document's font-family lists before it reads
// them. Relative image references are resolved against the document's folder.
import { existsSync, readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { basename, dirname, join, resolve } from 'node:path';
import { AGREE_DISTANCE, AGREE_SHARE, loadPictures, percent } from './pictures.mjs';

const [command, modules, ...args] = process.argv.slice(2);
if (!modules) {
  console.error('usage: conformance.mjs (resvg MODULES OUT WIDTH FONTS LIST | report MODULES RUN WIDTH WORST FOLDER...)');
  process.exit(1);
}
const { Resvg, readOverWhite, difference, agrees, writeMontage, diffPicture } = loadPictures(modules);

const pictureName = (file) => basename(file).replace(/\.svg$/i, '');
const readList = (file) => readFileSync(file, 'utf8').split('\n').filter(Boolean);

// Every family of a font-family list (attribute or declaration) that
// fontconfig would answer with another, replaced by that one's name, unquoted
// (resvg skips to its default after an unknown family when the next is quoted).
function withAliases(text, aliases) {
  const names = Object.keys(aliases).map((n) => n.replace(/[-]/g, '\\-'));
  if (!names.length) return text;
  const family = new RegExp(`(^|[,\\s])(["']?)(${names.join('|')})\\2(?=\\s*(,|$))`, 'gi');
  const rewrite = (list) =>
    list.replace(family, (all, lead, quote, name) => `${lead}${aliases[Object.keys(aliases).find((n) => n.toLowerCase() === name.toLowerCase())]}`);
  return text
    .replace(/(font-family\s*=\s*)"([^"]*)"/g, (all, head, list) => `${head}"${rewrite(list)}"`)
    .replace(/(font-family\s*=\s*)'([^']*)'/g, (all, head, list) => `${head}'${rewrite(list)}'`)
    .replace(/(font-family\s*:\s*)([^;}"<]*)/g, (all, head, list) => head + rewrite(list));
}

function renderResvg(outDir, width, options, listFile) {
  mkdirSync(outDir, { recursive: true });
  const { aliases = {}, ...font } = options;
  for (const file of readList(listFile)) {
    try {
      const svg = withAliases(readFileSync(file, 'utf8'), aliases);
      const resvg = new Resvg(svg, { fitTo: { mode: 'width', value: width }, font });
      for (const href of resvg.imagesToResolve()) {
        if (/^[a-z][a-z0-9+.-]*:/i.test(href) && !href.startsWith('file:')) continue;
        try {
          const path = href.startsWith('file:') ? new URL(href).pathname : resolve(dirname(file), href);
          resvg.resolveImage(href, readFileSync(path));
        } catch {
          // a missing picture draws nothing
        }
      }
      writeFileSync(join(outDir, pictureName(file) + '.png'), resvg.render().asPng());
    } catch (error) {
      console.error(`resvg: ${file}: ${error.message ?? error}`);
    }
  }
}

// One folder's pictures and their differences; Chromium's only where it ran
// (the folder has a chromium/ folder).
function compareFolder(dir) {
  const chromium = existsSync(join(dir, 'chromium'));
  const results = readList(join(dir, 'files.txt')).map((file) => {
    const name = pictureName(file);
    const picture = (renderer) => readOverWhite(join(dir, renderer, name + '.png'));
    const p = { kelsvg: picture('kelsvg'), resvg: picture('resvg'), rsvg: picture('rsvg'), chromium: chromium ? picture('chromium') : null };
    const r = {
      file, name, pictures: p,
      resvg: difference(p.kelsvg, p.resvg), rsvg: difference(p.kelsvg, p.rsvg), peers: difference(p.resvg, p.rsvg),
    };
    if (chromium) {
      r.chromium = difference(p.kelsvg, p.chromium);
      r.resvgChromium = difference(p.resvg, p.chromium);
      r.rsvgChromium = difference(p.rsvg, p.chromium);
    }
    // Which of the references kelsvg agrees with, and its smallest difference.
    r.references = chromium ? [r.chromium, r.resvg, r.rsvg] : [r.resvg, r.rsvg];
    r.nearest = Math.min(...r.references.map((d) => d.share));
    return r;
  });
  return { chromium, results };
}

function report(runDir, width, worstCount, folders) {
  const table = [];
  const lists = [];
  const totals = { files: 0, resvg: 0, rsvg: 0, either: 0, chromium: 0, any: 0 };
  let withChromium = false;
  for (const folder of folders) {
    const dir = join(runDir, folder);
    const { chromium, results } = compareFolder(dir);
    withChromium ||= chromium;
    const count = (test) => results.filter(test).length;
    const share = (n) => (results.length ? percent(n / results.length) : '–');
    const counts = {
      resvg: count((r) => agrees(r.resvg)),
      rsvg: count((r) => agrees(r.rsvg)),
      either: count((r) => agrees(r.resvg) || agrees(r.rsvg)),
      chromium: chromium ? count((r) => agrees(r.chromium)) : 0,
      any: count((r) => r.references.some(agrees)),
    };
    totals.files += results.length;
    for (const key of Object.keys(counts)) totals[key] += counts[key];
    const chromiumCells = chromium ? `${share(counts.chromium)} | ${share(counts.any)}` : '– | –';
    table.push(`| ${folder} | ${results.length} | ${share(counts.resvg)} | ${share(counts.rsvg)} | ${share(counts.either)} | ` +
      `${chromiumCells} | ${share(count((r) => agrees(r.peers)))} |`);

    const tsv = [['file', 'differs from resvg %', 'differs from rsvg-convert %', 'resvg differs from rsvg-convert %']];
    if (chromium) tsv[0].push('differs from Chromium %', 'resvg differs from Chromium %', 'rsvg-convert differs from Chromium %');
    for (const r of results) {
      const row = [r.file, percent(r.resvg.share), percent(r.rsvg.share), percent(r.peers.share)];
      if (chromium) row.push(percent(r.chromium.share), percent(r.resvgChromium.share), percent(r.rsvgChromium.share));
      tsv.push(row);
    }
    writeFileSync(join(dir, 'results.tsv'), tsv.map((row) => row.join('\t')).join('\n') + '\n');

    // Files kelsvg differs from at least one reference: those where it is
    // furthest from the nearest one first (alone against all of them).
    const differing = results
      .filter((r) => !r.references.every(agrees))
      .sort((a, b) => b.nearest - a.nearest || (chromium ? b.chromium.share - a.chromium.share : 0) || a.name.localeCompare(b.name));
    if (!differing.length) continue;
    const text = (a, b, diff) => (!a || !b ? 'no picture' : `${percent(diff.share)} %`);
    const header = chromium
      ? ['file', 'from Chromium', 'from resvg', 'from rsvg-convert', 'resvg from Chromium', 'rsvg-convert from Chromium', 'resvg from rsvg-convert']
      : ['file', 'from resvg', 'from rsvg-convert', 'resvg from rsvg-convert'];
    lists.push(`### ${folder}`, '', `| ${header.join(' | ')} |`, `|---|${header.slice(1).map(() => '---:|').join('')}`);
    const rows = [];
    for (const r of differing.slice(0, worstCount)) {
      const p = r.pictures;
      const cells = [r.name];
      if (chromium) cells.push(text(p.kelsvg, p.chromium, r.chromium));
      cells.push(text(p.kelsvg, p.resvg, r.resvg), text(p.kelsvg, p.rsvg, r.rsvg));
      if (chromium) cells.push(text(p.resvg, p.chromium, r.resvgChromium), text(p.rsvg, p.chromium, r.rsvgChromium));
      cells.push(text(p.resvg, p.rsvg, r.peers));
      lists.push(`| ${cells.join(' | ')} |`);
      const label = (chromium ? `${percent(r.chromium.share)} % from Chromium, ` : '') +
        `${percent(r.resvg.share)} % from resvg, ${percent(r.rsvg.share)} % from rsvg-convert`;
      rows.push({
        label: `${r.name}: ${label}`,
        pictures: chromium
          ? [p.kelsvg, p.chromium, p.resvg, p.rsvg, diffPicture(p.chromium, r.chromium), diffPicture(p.resvg, r.resvg)]
          : [p.kelsvg, p.resvg, p.rsvg, diffPicture(p.resvg, r.resvg)],
      });
    }
    lists.push('');
    const columns = chromium
      ? ['kelsvg', 'Chromium', 'resvg', 'rsvg-convert', 'kelsvg ≠ Chromium', 'kelsvg ≠ resvg']
      : ['kelsvg', 'resvg', 'rsvg-convert', 'kelsvg ≠ resvg'];
    writeMontage(join(runDir, `${folder}-differing.png`), folder, rows, width, columns);
  }
  const all = (n) => (totals.files ? percent(n / totals.files) : '–');
  console.log(`Pictures ${width} px wide, composited over white; two pictures agree when at least ` +
    `${AGREE_SHARE * 100} % of their pixels are within ${AGREE_DISTANCE}/255 in every channel.`);
  console.log('');
  console.log('| folder | files | kelsvg ~ resvg % | kelsvg ~ rsvg-convert % | kelsvg ~ either % | kelsvg ~ Chromium % | kelsvg ~ any % | resvg ~ rsvg-convert % |');
  console.log('|---|---:|---:|---:|---:|---:|---:|---:|');
  for (const row of table) console.log(row);
  if (folders.length > 1) {
    const chromiumCells = withChromium ? `${all(totals.chromium)} | ${all(totals.any)}` : '– | –';
    console.log(`| all | ${totals.files} | ${all(totals.resvg)} | ${all(totals.rsvg)} | ${all(totals.either)} | ${chromiumCells} | |`);
  }
  console.log('');
  console.log('"either": resvg or rsvg-convert; "any": Chromium, resvg or rsvg-convert.');
  console.log('');
  if (lists.length) {
    console.log('Files where kelsvg differs from at least one (share of pixels differing):');
    console.log('');
    for (const line of lists) console.log(line);
  }
}

if (command === 'resvg') {
  const [outDir, width, fontJson, listFile] = args;
  renderResvg(outDir, Number(width), JSON.parse(fontJson), listFile);
} else if (command === 'report') {
  const [runDir, width, worst, ...folders] = args;
  report(runDir, Number(width), Number(worst), folders);
} else {
  console.error(`conformance.mjs: unknown command ${command}`);
  process.exit(1);
}
