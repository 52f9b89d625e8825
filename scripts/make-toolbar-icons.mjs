// Draws the built-in toolbar icon pictures of the toolbar icon window
// (resources/dataFiles/resource/Icons/<key>.png) from the viewer's own icon shapes in
// resources/viewer-lib/qv-core.js, and writes the icon list QuorvelIcons.txt beside
// them. Run after changing the viewer's icons: node scripts/make-toolbar-icons.mjs
import { chromium } from 'playwright-core';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const out = path.join(root, 'resources/dataFiles/resource');

// The buttons a book may give pictures of its own, in the order the window lists them.
const ICONS = [
  ['first', 'First page', 'Goes to the first page'],
  ['prev', 'Previous page', 'Turns back one page'],
  ['next', 'Next page', 'Turns to the next page'],
  ['last', 'Last page', 'Goes to the last page'],
  ['thumbnails', 'Thumbnails', 'Shows the pages as small pictures'],
  ['outline', 'Contents', 'Shows the bookmarks of the book'],
  ['search', 'Search', 'Finds words in the book'],
  ['zoom', 'Zoom', 'Enlarges the page'],
  ['share', 'Share', 'Shares the book'],
  ['download', 'Download', 'Offers the book\'s files'],
  ['menu', 'Menu', 'Opens the book\'s menu'],
  ['fullscreen', 'Full screen', 'Shows the book on the whole screen']
];

const core = fs.readFileSync(path.join(root, 'resources/viewer-lib/qv-core.js'), 'utf8');
const shape = (key) => {
  const m = core.match(new RegExp(`\\b${key}: '([^']+)'`));
  if (!m) throw new Error(`no icon shape for ${key}`);
  return m[1];
};

const escape = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;');
fs.mkdirSync(path.join(out, 'Icons'), { recursive: true });
fs.writeFileSync(path.join(out, 'QuorvelIcons.txt'), '<?xml version="1.0" encoding="UTF-8"?>\n<icons>\n' +
  ICONS.map(([key, title, desc]) => `  <icon key="${key}"><title>${escape(title)}</title><desc>${escape(desc)}</desc></icon>\n`).join('') +
  '</icons>\n');

const browser = await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium', args: ['--headless', '--no-sandbox', '--disable-gpu'] });
const page = await browser.newPage({ viewport: { width: 200, height: 200 } });
for (const [key] of ICONS) {
  await page.setContent(`<html><body style="margin:0;background:transparent">
    <svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 24 24" width="32" height="32" style="display:block">
    <path d="${shape(key)}" fill="#3A4756"/></svg></body></html>`);
  await page.screenshot({ path: path.join(out, 'Icons', `${key}.png`), omitBackground: true, clip: { x: 0, y: 0, width: 32, height: 32 } });
}
await browser.close();
