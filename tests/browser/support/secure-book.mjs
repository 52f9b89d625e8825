// Sample books for the security and narration tests: a small book in the published
// layout (docs/book-format.md) with one-colour PNG page pictures, finished by the
// program's own tools (quorvel-protect-book, quorvel-narrate-book), and a probe page
// that loads the viewer modules from the build's resources.
import { launch as launchBrowser, watchedPage, DESKTOP } from './browser.mjs';
import { execFileSync } from 'node:child_process';
import crypto from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const SOURCE = process.env.QUORVEL_SOURCE_DIR || path.resolve(here, '../../..');
export const RESOURCES = process.env.QUORVEL_RESOURCES || path.join(SOURCE, 'build/resources');
export const BIN = process.env.QUORVEL_BIN || path.join(SOURCE, 'build/bin');

const CRC_TABLE = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function crc32(buf) {
  let c = 0xffffffff;
  for (const b of buf) c = CRC_TABLE[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function chunk(type, data) {
  const head = Buffer.alloc(8);
  head.writeUInt32BE(data.length, 0);
  head.write(type, 4, 'latin1');
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])), 0);
  return Buffer.concat([head, data, crc]);
}

// A PNG of the given size with random pixels, so no two pictures share their bytes.
export function png(width, height) {
  const raw = crypto.randomBytes((width * 3 + 1) * height);
  for (let y = 0; y < height; y++) raw[y * (width * 3 + 1)] = 0; // no row filter
  const ihdr = Buffer.alloc(13);
  ihdr.writeUInt32BE(width, 0);
  ihdr.writeUInt32BE(height, 4);
  ihdr[8] = 8; // bit depth
  ihdr[9] = 2; // RGB
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', ihdr), chunk('IDAT', zlib.deflateSync(raw)), chunk('IEND', Buffer.alloc(0))]);
}

export function sha256(data) {
  return crypto.createHash('sha256').update(data).digest('hex');
}

// Sizes of the pictures of a page: normal, large, thumb.
export const SIZES = { page: [60, 80], large: [90, 120], thumb: [15, 20] };

const made = [];

// Removes every book writeBook made.
export function removeBooks() {
  for (const folder of made.splice(0)) fs.rmSync(folder, { recursive: true, force: true });
}

// Writes a book of `pages` pages to a new folder; returns the folder and the pictures.
export function writeBook(pages) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-secure-book-'));
  made.push(folder);
  const pictures = {};
  const records = [];
  const search = [];
  for (let n = 1; n <= pages; n++) {
    const record = {};
    for (const [kind, [w, h]] of Object.entries(SIZES)) {
      const rel = `files/${kind}/${n}.png`;
      const data = png(w, h);
      fs.mkdirSync(path.join(folder, 'files', kind), { recursive: true });
      fs.writeFileSync(path.join(folder, rel), data);
      pictures[rel] = data;
      record[kind === 'page' ? 'normal' : kind] = rel;
    }
    records.push(record);
    search.push(`words of page ${n}`);
  }
  fs.writeFileSync(path.join(folder, 'files/config.js'),
    `var bookConfig = ${JSON.stringify({ title: 'Sample', pages: records })};\n`);
  fs.writeFileSync(path.join(folder, 'files/search.js'), `var bookSearch = ${JSON.stringify(search)};\n`);
  fs.mkdirSync(path.join(folder, 'files/lib'), { recursive: true });
  for (const name of ['security.js', 'narration.js']) {
    fs.copyFileSync(path.join(RESOURCES, 'viewer-common', name), path.join(folder, 'files/lib', name));
  }
  fs.copyFileSync(path.join(RESOURCES, 'viewer-lib', 'qv-core.js'), path.join(folder, 'files/lib/qv-core.js'));
  // The probe page loads what the viewer would load (the modules read their files
  // through the library's loader), without the viewer itself.
  fs.writeFileSync(path.join(folder, 'probe.html'), `<!DOCTYPE html><html><head><meta charset="utf-8">
<link rel="icon" href="data:,">
<script src="files/config.js"></script>
<script src="files/search.js"></script>
<script src="files/lib/qv-core.js"></script>
<script src="files/lib/security.js"></script>
<script src="files/lib/narration.js"></script>
</head><body></body></html>`);
  return { folder, pictures, url: 'file://' + path.join(folder, 'probe.html') };
}

export function runTool(name, args) {
  return execFileSync(path.join(BIN, name), args, { encoding: 'utf8', env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' } });
}

// The shared browser (support/browser.mjs: its pages fail a test on errors), with a
// page() of its own.
export async function launch() {
  const browser = await launchBrowser(DESKTOP);
  return { ...browser, page: () => watchedPage(browser.context) };
}
