// Helper of bench/conformance and bench/fidelity: renders SVG files with
// Chromium as a page shows each in an <img> WIDTH device pixels wide (height
// from the file's aspect ratio), one browser for the whole run.
//   node chromium.mjs [--fonts FONT_JSON] MODULES WIDTH LIST_FILE OUT_DIR [LIST_FILE OUT_DIR]...
// MODULES is the node_modules folder that holds puppeteer-core; CHROMIUM (or
// /usr/bin/chromium) is the browser it drives. Each file named in a LIST_FILE
// goes to OUT_DIR/NAME.png, transparent where nothing is drawn; a file that
// does not decode, or takes longer than KELSVG_CHROMIUM_TIMEOUT seconds
// (default 60), gets no picture. The browser reads its fonts through
// fontconfig, so FONTCONFIG_FILE chooses them.
//
// Two things a page's <img> does otherwise than the browser showing the file
// itself, mended before the file is handed over: an SVG image loads nothing
// from outside itself, where the other renderers read pictures beside the
// file (`image` references to files become data: URLs), and it reads only
// UTF-8 and UTF-16 with a byte-order mark (a file in another encoding is
// converted to UTF-8 as its XML declaration says). Text is drawn unhinted, as
// the other renderers draw it: the browser is given a fontconfig file that
// reads FONTCONFIG_FILE (or the system's) and turns hinting off. Animated
// GIF and WebP pictures stay on their first frame, as the others draw them.
// With --fonts FONT_JSON (bench/conformance's font options for resvg), the
// browser's standard, serif, sans-serif, monospace, cursive and fantasy
// families are fontconfig's answers given there, not the browser's own.
import { createRequire } from 'node:module';
import { existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, dirname, extname, join, resolve } from 'node:path';

const args = process.argv.slice(2);
let fonts = null;
if (args[0] === '--fonts') {
  fonts = JSON.parse(args[1]);
  args.splice(0, 2);
}
const [modules, widthText, ...pairs] = args;
const width = Number(widthText);
if (!modules || !(width > 0) || !pairs.length || pairs.length % 2) {
  console.error('usage: chromium.mjs [--fonts FONT_JSON] MODULES WIDTH LIST_FILE OUT_DIR [LIST_FILE OUT_DIR]...');
  process.exit(1);
}
const require = createRequire(join(modules, 'noop.js'));
const puppeteer = require('puppeteer-core');
const executablePath = process.env.CHROMIUM || '/usr/bin/chromium';
const timeout = 1000 * (Number(process.env.KELSVG_CHROMIUM_TIMEOUT) || 60);

const pictureName = (file) => basename(file).replace(/\.svg$/i, '');
const readList = (file) => readFileSync(file, 'utf8').split('\n').filter(Boolean);

const TYPES = {
  '.png': 'image/png', '.jpg': 'image/jpeg', '.jpeg': 'image/jpeg', '.gif': 'image/gif',
  '.webp': 'image/webp', '.svg': 'image/svg+xml', '.bmp': 'image/bmp',
};

// Windows-1252's characters 0x80-0x9f (undefined ones as they are).
const CP1252 = [
  '\u20ac', null, '\u201a', '\u0192', '\u201e', '\u2026', '\u2020', '\u2021',
  '\u02c6', '\u2030', '\u0160', '\u2039', '\u0152', null, '\u017d', null,
  null, '\u2018', '\u2019', '\u201c', '\u201d', '\u2022', '\u2013', '\u2014',
  '\u02dc', '\u2122', '\u0161', '\u203a', '\u0153', null, '\u017e', '\u0178',
];

// The file's bytes as UTF-8 (or UTF-16 with a byte-order mark), decoded as
// its XML declaration says, or as UTF-16 when it starts with "<?" in it.
function asUnicode(bytes) {
  if (bytes.length >= 2 && ((bytes[0] === 0xfe && bytes[1] === 0xff) || (bytes[0] === 0xff && bytes[1] === 0xfe))) return bytes;
  if (bytes.length >= 3 && bytes[0] === 0xef && bytes[1] === 0xbb && bytes[2] === 0xbf) return bytes;
  let label = null;
  if (bytes[0] === 0x3c && bytes[1] === 0 && bytes[2] === 0x3f && bytes[3] === 0) label = 'utf-16le';
  else if (bytes[0] === 0 && bytes[1] === 0x3c && bytes[2] === 0 && bytes[3] === 0x3f) label = 'utf-16be';
  else label = /^\s*<\?xml[^>]*?\sencoding\s*=\s*["']([^"']+)["']/.exec(bytes.subarray(0, 200).toString('latin1'))?.[1];
  if (!label || /^utf-?8$/i.test(label)) return bytes;
  let text;
  try {
    const decoder = new TextDecoder(label);
    text = decoder.decode(bytes);
    // Node's decoder reads windows-1252 (and the labels that mean it) as Latin-1.
    if (decoder.encoding === 'windows-1252') text = text.replace(/[\x80-\x9f]/g, (c) => CP1252[c.charCodeAt(0) - 0x80] ?? c);
  } catch {
    return bytes;
  }
  return Buffer.from(text.replace(/^(\s*<\?xml[^>]*?\sencoding\s*=\s*)(["'])[^"']*\2/, '$1$2UTF-8$2'), 'utf8');
}

// The file in UTF-8, with every href of an `image` element that names a file
// (relative, absolute or file:) replaced by a data: URL of that file. Works on
// the bytes as Latin-1, so that other encodings pass through unchanged.
function prepared(file) {
  const bytes = asUnicode(readFileSync(file));
  const text = bytes.toString('latin1');
  if (!/<(\w+:)?image\b/.test(text)) return bytes;
  const inlined = text.replace(/(<(?:\w+:)?image\b[^>]*?\s(?:[\w-]+:)?href\s*=\s*)(["'])([^"']*)\2/g, (all, head, quote, href) => {
    if (!href || href.startsWith('#') || (/^[a-z][a-z0-9+.-]*:/i.test(href) && !href.startsWith('file:'))) return all;
    try {
      const path = href.startsWith('file:') ? new URL(href).pathname : resolve(dirname(file), decodeURIComponent(href));
      const type = TYPES[extname(path).toLowerCase()] ?? 'application/octet-stream';
      return `${head}${quote}data:${type};base64,${readFileSync(path).toString('base64')}${quote}`;
    } catch {
      return all;
    }
  });
  return Buffer.from(inlined, 'latin1');
}

const pageHtml =
  '<!DOCTYPE html><html><head><style>html,body{margin:0;padding:0;background:transparent}' +
  'img{display:block}</style></head><body></body></html>';

let browser = null;
let page = null;
let profile = null;

// The profile: pictures not animated, the browser's families for the generic
// names when given, and a fontconfig file that reads the one in force and
// turns hinting off.
function makeProfile() {
  profile = mkdtempSync(join(tmpdir(), 'kelsvg-chromium-'));
  const preferences = { settings: { a11y: { animation_policy: 'none' } } };
  if (fonts) {
    const { aliases = {}, defaultFontFamily } = fonts;
    const script = (family) => (family ? { Zyyy: family } : undefined);
    const webprefs = {
      fonts: {
        standard: script(defaultFontFamily), serif: script(aliases.serif), sansserif: script(aliases['sans-serif']),
        fixed: script(aliases.monospace), cursive: script(aliases.cursive), fantasy: script(aliases.fantasy),
      },
    };
    preferences.webkit = { webprefs };
  }
  mkdirSync(join(profile, 'Default'));
  writeFileSync(join(profile, 'Default', 'Preferences'), JSON.stringify(preferences));
  const base = process.env.FONTCONFIG_FILE ? resolve(process.env.FONTCONFIG_FILE) : '/etc/fonts/fonts.conf';
  writeFileSync(join(profile, 'fonts.conf'),
    '<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd"><fontconfig>' +
    `<include ignore_missing="no">${escapeXml(base)}</include>` +
    '<match target="font"><edit name="hinting" mode="assign"><bool>false</bool></edit>' +
    '<edit name="hintstyle" mode="assign"><const>hintnone</const></edit></match></fontconfig>\n');
}

const escapeXml = (text) => text.replace(/[&<>"]/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' })[c]);

async function start() {
  makeProfile();
  browser = await puppeteer.launch({
    executablePath,
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--force-color-profile=srgb', '--hide-scrollbars',
      '--disable-extensions', '--no-first-run', '--mute-audio'],
    defaultViewport: { width, height: width, deviceScaleFactor: 1 },
    protocolTimeout: timeout + 30000,
    env: { ...process.env, FONTCONFIG_FILE: join(profile, 'fonts.conf') },
  });
  page = await browser.newPage();
  await page.setContent(pageHtml);
}

// Ends the browser however it is (a hung renderer may not answer).
async function stop() {
  const process_ = browser?.process();
  try {
    await Promise.race([browser?.close(), new Promise((done) => setTimeout(done, 5000))]);
  } catch {
    // killed below
  }
  if (process_ && process_.exitCode === null) process_.kill('SIGKILL');
  browser = null;
  page = null;
  if (profile) rmSync(profile, { recursive: true, force: true });
  profile = null;
}

// Shows the file in a fresh <img> at its own size; resolves to that box in
// CSS pixels, or to null when the image does not decode.
function show(bytes) {
  return page.evaluate(async (base64) => {
    const binary = atob(base64);
    const data = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) data[i] = binary.charCodeAt(i);
    for (const old of document.querySelectorAll('img')) {
      URL.revokeObjectURL(old.src);
      old.remove();
    }
    const img = document.createElement('img');
    img.src = URL.createObjectURL(new Blob([data], { type: 'image/svg+xml' }));
    document.body.appendChild(img);
    try {
      await img.decode();
    } catch {
      return null;
    }
    const box = img.getBoundingClientRect();
    return { width: box.width, height: box.height };
  }, bytes.toString('base64'));
}

// Sets the <img>'s width in CSS pixels; resolves to its height.
function resize(cssWidth) {
  return page.evaluate((cssWidth) => {
    const img = document.querySelector('img');
    img.style.width = `${cssWidth}px`;
    return img.getBoundingClientRect().height;
  }, cssWidth);
}

// The picture WIDTH device pixels wide: the file at its own size on a screen
// of the density that makes it so. Zooming the <img> instead changes how the
// browser lays out SVG text (kerning across tspans, percentages of
// letter-spacing), so only a density beyond 1/16 to 16 is made up by zoom.
async function render(bytes, png) {
  let timer;
  let late = false;
  const expired = new Promise((_, fail) => {
    timer = setTimeout(() => {
      late = true;
      fail(new Error(`no picture after ${timeout / 1000} s`));
    }, timeout);
  });
  try {
    await Promise.race([
      (async () => {
        const box = await show(bytes);
        if (!box || box.width <= 0 || box.height <= 0) throw new Error('the image did not decode');
        const density = Math.min(16, Math.max(1 / 16, width / box.width));
        const cssWidth = width / density;
        const cssHeight = cssWidth === box.width ? box.height : await resize(cssWidth);
        // The height rounded to whole pixels as the other renderers round it.
        const height = Math.max(1, Math.round(cssHeight * density));
        await page.setViewport({
          width: Math.ceil(cssWidth), height: Math.ceil(height / density), deviceScaleFactor: density,
        });
        const picture = await page.screenshot({
          type: 'png',
          omitBackground: true,
          clip: { x: 0, y: 0, width: cssWidth, height: height / density },
        });
        if (!late) writeFileSync(png, picture);
      })(),
      expired,
    ]);
  } finally {
    clearTimeout(timer);
  }
}

let failed = 0;
try {
  await start();
  for (let i = 0; i < pairs.length; i += 2) {
    const outDir = pairs[i + 1];
    mkdirSync(outDir, { recursive: true });
    for (const file of readList(pairs[i])) {
      const png = join(outDir, pictureName(file) + '.png');
      let bytes;
      try {
        bytes = prepared(file);
      } catch (error) {
        ++failed;
        console.error(`chromium: ${file}: ${error.message ?? error}`);
        continue;
      }
      try {
        await render(bytes, png);
      } catch (error) {
        ++failed;
        console.error(`chromium: ${file}: ${error.message ?? error}`);
        if (existsSync(png)) rmSync(png);
        // After a hang or a crash, a new browser for the next file.
        if (!/did not decode/.test(error.message ?? '')) {
          await stop();
          await start();
        }
      }
    }
  }
} finally {
  await stop();
}
if (failed) console.error(`chromium: ${failed} files without a picture`);
