// Picture comparison shared by bench/fidelity and bench/conformance: reading
// PNG files over white, the agreement rule, and montages of differing files.
//   const pictures = loadPictures(MODULES_DIR)
// MODULES_DIR is the node_modules folder that holds @resvg/resvg-js and pngjs.
import { createRequire } from 'node:module';
import { existsSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

// Agreement: this share of pixels within this distance in every channel.
export const AGREE_SHARE = 0.97;
export const AGREE_DISTANCE = 32;

export const percent = (share) => (100 * share).toFixed(1);

export function loadPictures(modules) {
  const require = createRequire(join(modules, 'noop.js'));
  const { Resvg } = require('@resvg/resvg-js');
  const { PNG } = require('pngjs');

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

  // One row of pictures per file under a title naming the columns (e.g.
  // kelsvg | Chromium | resvg | rsvg-convert | differing pixels in red over a
  // pale reference); drawn by resvg from an SVG page.
  function writeMontage(file, setName, rows, width, columns) {
    const gap = 8;
    const label = 16;
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

  const agrees = (diff) => diff.share <= 1 - AGREE_SHARE;
  return { Resvg, PNG, readOverWhite, difference, agrees, writeMontage, diffPicture };
}
