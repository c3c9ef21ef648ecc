// Helper of bench/conformance: renders with the resvg npm package, and
// compares the three renderers' pictures folder by folder.
//   node conformance.mjs resvg MODULES OUT_DIR WIDTH FONT_JSON LIST_FILE
//   node conformance.mjs report MODULES RUN_DIR WIDTH WORST FOLDER...
// FONT_JSON is resvg's font options (folders, default family) and "aliases",
// fontconfig's answers for the generic families and common names, so that it
// sees the fonts the other two see through fontconfig: resvg reads no
// fontconfig and takes its default family for every generic one, so the
// aliases are written into the document's font-family lists before it reads
// them. Relative image references are resolved against the document's folder.
import { readFileSync, writeFileSync, mkdirSync } from 'node:fs';
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

function report(runDir, width, worstCount, folders) {
  const table = [];
  const lists = [];
  const totals = { files: 0, resvg: 0, rsvg: 0, either: 0 };
  for (const folder of folders) {
    const dir = join(runDir, folder);
    const results = readList(join(dir, 'files.txt')).map((file) => {
      const name = pictureName(file);
      const kelsvg = readOverWhite(join(dir, 'kelsvg', name + '.png'));
      const resvg = readOverWhite(join(dir, 'resvg', name + '.png'));
      const rsvg = readOverWhite(join(dir, 'rsvg', name + '.png'));
      return {
        file, name, kelsvgPicture: kelsvg, resvgPicture: resvg, rsvgPicture: rsvg,
        resvg: difference(kelsvg, resvg), rsvg: difference(kelsvg, rsvg), peers: difference(resvg, rsvg),
      };
    });
    const count = (test) => results.filter(test).length;
    const share = (n) => (results.length ? percent(n / results.length) : '–');
    const withResvg = count((r) => agrees(r.resvg));
    const withRsvg = count((r) => agrees(r.rsvg));
    const withEither = count((r) => agrees(r.resvg) || agrees(r.rsvg));
    totals.files += results.length;
    totals.resvg += withResvg;
    totals.rsvg += withRsvg;
    totals.either += withEither;
    table.push(`| ${folder} | ${results.length} | ${share(withResvg)} | ${share(withRsvg)} | ${share(withEither)} | ${share(count((r) => agrees(r.peers)))} |`);

    const differing = results
      .filter((r) => !agrees(r.resvg) || !agrees(r.rsvg))
      .sort((a, b) => Math.min(b.resvg.share, b.rsvg.share) - Math.min(a.resvg.share, a.rsvg.share) || a.name.localeCompare(b.name));
    const tsv = ['file\tdiffers from resvg %\tdiffers from rsvg-convert %\tresvg differs from rsvg-convert %'];
    for (const r of results) tsv.push(`${r.file}\t${percent(r.resvg.share)}\t${percent(r.rsvg.share)}\t${percent(r.peers.share)}`);
    writeFileSync(join(dir, 'results.tsv'), tsv.join('\n') + '\n');
    if (!differing.length) continue;
    lists.push(`### ${folder}`, '', '| file | differs from resvg | from rsvg-convert | resvg from rsvg-convert |', '|---|---:|---:|---:|');
    const rows = [];
    for (const r of differing.slice(0, worstCount)) {
      const text = (picture, diff) => (picture ? `${percent(diff.share)} %` : 'no picture');
      lists.push(`| ${r.name} | ${r.kelsvgPicture ? text(r.resvgPicture, r.resvg) : 'no picture'} | ${text(r.rsvgPicture, r.rsvg)} | ${text(r.rsvgPicture && r.resvgPicture, r.peers)} |`);
      rows.push({
        label: `${r.name}: ${percent(r.resvg.share)} % from resvg, ${percent(r.rsvg.share)} % from rsvg-convert`,
        pictures: [r.kelsvgPicture, r.resvgPicture, r.rsvgPicture, diffPicture(r.resvgPicture, r.resvg)],
      });
    }
    lists.push('');
    writeMontage(join(runDir, `${folder}-differing.png`), folder, rows, width);
  }
  const all = (n) => (totals.files ? percent(n / totals.files) : '–');
  console.log(`Pictures ${width} px wide, composited over white; two pictures agree when at least ` +
    `${AGREE_SHARE * 100} % of their pixels are within ${AGREE_DISTANCE}/255 in every channel.`);
  console.log('');
  console.log('| folder | files | kelsvg ~ resvg % | kelsvg ~ rsvg-convert % | kelsvg ~ either % | resvg ~ rsvg-convert % |');
  console.log('|---|---:|---:|---:|---:|---:|');
  for (const row of table) console.log(row);
  if (folders.length > 1)
    console.log(`| all | ${totals.files} | ${all(totals.resvg)} | ${all(totals.rsvg)} | ${all(totals.either)} | |`);
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
