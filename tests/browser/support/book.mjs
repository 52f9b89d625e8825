// Assembles a sample book in a temporary folder the way docs/book-format.md describes,
// with page pictures rendered in the browser ("Page 3 apple") and the viewer files taken
// from the build's resources (QUORVEL_RESOURCES, default <repo>/build/resources).
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { launchEngine } from './engine.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
export const RESOURCES = process.env.QUORVEL_RESOURCES || path.resolve(here, '../../../build/resources');

export const WORDS = ['pear', 'plum', 'apple', 'grape', 'lemon', 'mango', 'peach', 'cherry', 'melon', 'olive'];

// The home page placeholders are filled escaped for HTML, except the extra script.
export function escapeHtml(text) {
  return String(text).replace(/[&<>"']/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&#39;' }[c]));
}

export function fillTemplate(template, values) {
  return template.replace(/\{\{([A-Z_]+)\}\}/g, (all, key) => {
    if (!(key in values)) return all;
    return key === 'EXTRA_SCRIPT' ? String(values[key]) : escapeHtml(values[key]);
  });
}

// A tab caption escaped for a double-quoted script string, as the authoring side does it:
// line breaks become "<br/>", backslashes and quotes are escaped, braces and brackets too.
function escapeCaption(text) {
  return String(text)
    .replace(/\r\n|\r|\n/g, '<br/>')
    .replace(/\\/g, '\\\\')
    .replace(/"/g, '\\"')
    .replace(/[{}[\]]/g, (c) => '\\' + c);
}

// The bookmark tabs line appended to the configuration script.
export function bookmarkTabsLine(tabs) {
  const items = tabs.tabs.map((t) =>
    `{"caption":"${escapeCaption(t.caption)}","pageIndex":${t.pageIndex},"color": "${t.color}"}`).join(',');
  return `var bmtConfig = {tabs:[${items}],onSideEdge:${!!tabs.onSideEdge},showPage:${!!tabs.showPage},hasTexture:${!!tabs.hasTexture}};`;
}

function copyFolder(from, to, skip = []) {
  fs.mkdirSync(to, { recursive: true });
  for (const entry of fs.readdirSync(from, { withFileTypes: true })) {
    if (skip.includes(entry.name)) continue;
    const src = path.join(from, entry.name);
    const dst = path.join(to, entry.name);
    if (entry.isDirectory()) copyFolder(src, dst);
    else fs.copyFileSync(src, dst);
  }
}

function pageHtml(label, word, hue) {
  return `<!DOCTYPE html><html><body style="margin:0;height:100vh;display:flex;flex-direction:column;
    align-items:center;justify-content:center;font:bold 12vw sans-serif;background:hsl(${hue},60%,92%);color:#223">
    <div>${label}</div><div style="font-size:9vw;font-weight:normal">${word}</div></body></html>`;
}

// Renders the pictures of all pages: {kind: [{width, height}]} to files <folder>/<kind>/<n>.jpg.
async function renderPictures(context, folder, count, kinds, labelPrefix) {
  const tab = await context.newPage();
  for (const [kind, size] of Object.entries(kinds)) {
    fs.mkdirSync(path.join(folder, kind), { recursive: true });
    await tab.setViewportSize(size);
    for (let n = 1; n <= count; n++) {
      await tab.setContent(pageHtml(`${labelPrefix} ${n}`, WORDS[(n - 1) % WORDS.length], (n * 47) % 360));
      await tab.screenshot({ path: path.join(folder, kind, `${n}.jpg`), type: 'jpeg', quality: 70 });
    }
  }
  await tab.close();
}

function dataScript(name, value) {
  return `var ${name} = ${JSON.stringify(value)};\n`;
}

// Writes one viewer (desktop or phone) of the book below `home` (the folder of its home page).
function writeViewer(home, template, homeFile, placeholders, config, tabs, outline, search) {
  const files = path.join(home, 'files');
  // The phone version reads the desktop book's library, as the engine writes it.
  if (!placeholders.LIB.startsWith('../')) {
    copyFolder(path.join(RESOURCES, 'viewer-lib'), path.join(files, 'lib'));
    copyFolder(path.join(RESOURCES, 'viewer-common'), path.join(files, 'lib'));
  }
  copyFolder(path.join(RESOURCES, 'templates', template, 'viewer'), path.join(files, 'viewer'), ['index.html']);
  const page = fs.readFileSync(path.join(RESOURCES, 'templates', template, 'viewer', 'index.html'), 'utf8');
  fs.writeFileSync(path.join(home, homeFile), fillTemplate(page, placeholders));
  let script = dataScript('bookConfig', config);
  if (tabs && tabs.tabs.length) script += bookmarkTabsLine(tabs) + '\n';
  fs.writeFileSync(path.join(files, 'config.js'), script);
  fs.writeFileSync(path.join(files, 'outline.js'), dataScript('bookOutline', outline));
  fs.writeFileSync(path.join(files, 'search.js'), dataScript('bookSearch', search));
  fs.writeFileSync(path.join(files, 'annotations.js'), dataScript('bookAnnotations', []));
}

function pageRecords(count, withLarge) {
  const records = [];
  for (let n = 1; n <= count; n++) {
    const r = { normal: `files/page/${n}.jpg`, thumb: `files/thumb/${n}.jpg` };
    if (withLarge) r.large = `files/large/${n}.jpg`;
    records.push(r);
  }
  return records;
}

// Makes a book. Options: name, pageCount, title, loadType, config (extra bookConfig keys),
// mobileConfig, tabs (bmtConfig form), outline, search (texts), extraScript, extfiles
// ({relative path: contents}). The pictures are drawn in context, a playwright browser
// context; without one, in a Chromium started for them.
export async function makeBook(context, options = {}) {
  if (!context) {
    const chromium = await launchEngine({ engine: 'chromium' });
    try {
      return await makeBook(chromium.context, options);
    } finally {
      await chromium.close();
    }
  }
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-book-'));
  const name = options.name || 'sample';
  const count = options.pageCount || 8;
  const loadType = options.loadType ?? 0;
  const title = options.title ?? 'Sample book';
  const search = options.search || Array.from({ length: count }, (_, i) =>
    `Page ${i + 1}. A page about the ${WORDS[i % WORDS.length]}, with some other words.`);
  const outline = options.outline || [];
  const placeholders = {
    TITLE: title, KEYWORDS: 'fruit, sample', DESCRIPTION: 'A sample book', SHARE_IMAGE: 'files/thumb/1.jpg',
    LOAD_TYPE: String(loadType), EXTRA_SCRIPT: options.extraScript || '', LIB: 'files/lib/'
  };

  await renderPictures(context, path.join(dir, 'files'), count,
    { page: { width: 540, height: 720 }, large: { width: 1080, height: 1440 }, thumb: { width: 120, height: 160 } }, 'Page');
  const config = { title, pages: pageRecords(count, true), pageWidth: 1080, pageHeight: 1440, flipDuration: 300, ...(options.config || {}) };
  // Page 1 as the engine names it to the home page, which shows it before the viewer
  // stands (unless the book has a preloader picture, which comes first then).
  const cover = config.pages[0] && (config.pages[0].normal || config.pages[0]);
  placeholders.FIRST_PAGE = typeof cover === 'string' && !config.pages[0].secure && !config.preloaderImage
    ? JSON.stringify({ normal: cover, width: config.pageWidth, height: config.pageHeight, background: config.backgroundColor || '' })
    : '';
  writeViewer(dir, 'Aurora', `${name}.html`, placeholders, config, options.tabs, outline, search);

  if (loadType !== 2) {
    const mobile = path.join(dir, 'mobile');
    await renderPictures(context, path.join(mobile, 'files'), count,
      { page: { width: 360, height: 480 }, thumb: { width: 120, height: 160 } }, 'Phone');
    const mobileConfig = { title, pages: pageRecords(count, false), pageWidth: 1080, pageHeight: 1440, flipDuration: 150, ...(options.mobileConfig || {}) };
    writeViewer(mobile, 'Metro', 'index.html', { ...placeholders, LIB: '../files/lib/' }, mobileConfig, options.mobileTabs,
      outline, search);
  }

  for (const [rel, contents] of Object.entries(options.extfiles || {})) {
    const file = path.join(dir, rel);
    fs.mkdirSync(path.dirname(file), { recursive: true });
    fs.writeFileSync(file, contents);
  }

  return {
    dir,
    url: pathToFileURL(path.join(dir, `${name}.html`)).href,
    mobileUrl: pathToFileURL(path.join(dir, 'mobile', 'index.html')).href,
    remove() { fs.rmSync(dir, { recursive: true, force: true }); }
  };
}
