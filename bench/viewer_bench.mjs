// Measures the desktop viewer of a published book in headless Chromium, each figure
// against its anchor in the same run, the two taking turns (A, B, A, B ...):
//
// - first page: the time until page 1 is painted (Element Timing), over a connection
//   throttled to 10 Mbit/s with 40 ms latency and no cache, against a plain viewer: a
//   page with the two pictures of a spread, here the cover alone, as a picture that
//   fits the page box on screen (made from the book's zoom picture, JPEG quality 0.75);
//   and the requests and bytes each needed until then;
// - flipping: frames per second while a page turns, against the bare page-flip library
//   showing the same pictures at the same size with the same settings;
// - search: from asking to the first result, for a word of the first page and one of
//   the last page (served from this machine, so mostly the viewer's own work), the
//   longest the page was held up meanwhile (long tasks), and the search data read until
//   the first result against all of the book's search data (what one search needed
//   while the texts came in one file).
//
//   node bench/viewer_bench.mjs --book FOLDER [--home book.html] [--runs 7]
//
// FOLDER is a web folder written by the program (e.g. publish_bench --out FOLDER). Needs
// playwright-core (npm) and /usr/bin/chromium (or CHROMIUM). Targets: first page at
// most 1.3 times the plain viewer's time; flipping at least 0.9 times the library's
// frame rate.
import { chromium } from 'playwright-core';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

const args = Object.fromEntries(process.argv.slice(2).reduce((pairs, a, i, all) => {
  if (a.startsWith('--')) pairs.push([a.slice(2), all[i + 1] && !all[i + 1].startsWith('--') ? all[i + 1] : 'true']);
  return pairs;
}, []));
if (!args.book) {
  console.error('usage: node bench/viewer_bench.mjs --book FOLDER [--home book.html] [--runs 7]');
  process.exit(2);
}
const bookDir = path.resolve(args.book);
const home = args.home || fs.readdirSync(bookDir).find((f) => f.endsWith('.html'));
const runs = Math.max(1, parseInt(args.runs || '7', 10));
const VIEWPORT = { width: 1280, height: 800 };
const THROTTLE = { offline: false, latency: 40, downloadThroughput: 10e6 / 8, uploadThroughput: 10e6 / 8 };

// The anchors live beside the book, in a folder of their own.
const anchorDir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-anchor-'));
const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8', '.css': 'text/css',
  '.jpg': 'image/jpeg', '.png': 'image/png', '.json': 'application/json' };
const server = http.createServer((req, res) => {
  const url = new URL(req.url, 'http://x');
  let rel = decodeURIComponent(url.pathname);
  const root = rel.startsWith('/__anchor/') ? anchorDir : bookDir;
  if (rel.startsWith('/__anchor/')) rel = rel.slice('/__anchor'.length);
  const file = path.join(root, path.normalize(rel));
  if (!file.startsWith(root) || !fs.existsSync(file) || !fs.statSync(file).isFile()) { res.writeHead(404); res.end(); return; }
  res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream', 'Cache-Control': 'no-cache' });
  fs.createReadStream(file).pipe(res);
});
await new Promise((r) => server.listen(0, '127.0.0.1', r));
const base = `http://127.0.0.1:${server.address().port}`;

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-bench-profile-'));
const context = await chromium.launchPersistentContext(profile, {
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true, viewport: VIEWPORT,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-quic']
});

function median(values) {
  const v = values.slice().sort((a, b) => a - b);
  return v.length % 2 ? v[(v.length - 1) / 2] : (v[v.length / 2 - 1] + v[v.length / 2]) / 2;
}

// The book's configuration, read as the viewer reads it.
const configText = fs.readFileSync(path.join(bookDir, 'files/config.js'), 'utf8');
const bookConfig = new Function(configText + '; return bookConfig;')();
if (bookConfig.pages && !Array.isArray(bookConfig.pages)) { // a large book's records as patterns
  const p = bookConfig.pages;
  bookConfig.pages = Array.from({ length: p.count }, (_, i) => (p.except || {})[i + 1] ||
    Object.fromEntries(['normal', 'large', 'thumb'].filter((f) => p[f]).map((f) => [f, p[f].replace('*', String(i + 1))])));
}
const cover = bookConfig.pages[0];
const ratio = (bookConfig.pageWidth || 1080) / (bookConfig.pageHeight || 1440);

// The plain viewer: the cover fitted into the page box the desktop viewer gives it here.
{
  const tab = await context.newPage();
  await tab.goto(`${base}/${home}`);
  await tab.waitForFunction(() => window.Quorvel && Quorvel.reader && Quorvel.reader.view.size.height > 0);
  const box = await tab.evaluate(() => Quorvel.reader.view.size);
  const picture = await tab.evaluate(async ([src, w, h]) => {
    const img = new Image();
    img.src = src;
    await img.decode();
    const canvas = document.createElement('canvas');
    canvas.width = w;
    canvas.height = h;
    const g = canvas.getContext('2d');
    g.imageSmoothingQuality = 'high';
    g.drawImage(img, 0, 0, w, h);
    return canvas.toDataURL('image/jpeg', 0.75).split(',')[1];
  }, [cover.large || cover.normal, box.pageWidth, box.height]);
  fs.writeFileSync(path.join(anchorDir, 'p1.jpg'), Buffer.from(picture, 'base64'));
  fs.writeFileSync(path.join(anchorDir, 'plain.html'), `<!DOCTYPE html><html><head><meta charset="utf-8"><title>Plain</title></head>
<body style="margin:0;background:${bookConfig.backgroundColor || '#2E3B4E'}">
<div style="display:flex;justify-content:center;align-items:center;height:100vh">
<img alt="" style="display:none"><img alt="" elementtiming="first-page" src="p1.jpg" width="${box.pageWidth}" height="${box.height}">
</div></body></html>`);
  await tab.close();
}

// Time to the first paint of page 1 over the throttled line, with the requests and bytes
// that came in until then.
async function firstPage(url) {
  const tab = await context.newPage();
  const cdp = await context.newCDPSession(tab);
  await cdp.send('Network.enable');
  await cdp.send('Network.setCacheDisabled', { cacheDisabled: true });
  await cdp.send('Network.emulateNetworkConditions', THROTTLE);
  const done = [];
  cdp.on('Network.loadingFinished', (e) => done.push({ at: e.timestamp, bytes: e.encodedDataLength }));
  let start = 0;
  cdp.on('Network.requestWillBeSent', (e) => { if (!start) start = e.timestamp; });
  await tab.goto(url, { waitUntil: 'commit' });
  const paint = await tab.evaluate(() => new Promise((resolve) => {
    new PerformanceObserver((list) => {
      for (const e of list.getEntries()) if (e.identifier === 'first-page') resolve(e.renderTime || e.loadTime);
    }).observe({ type: 'element', buffered: true });
  }));
  const navigationStart = await tab.evaluate(() => performance.timeOrigin);
  const wallAtPaint = (navigationStart + paint) / 1000;
  // CDP timestamps are monotonic seconds; line them up through the paint's distance.
  const monotonicAtPaint = start + (wallAtPaint - navigationStart / 1000);
  const before = done.filter((d) => d.at <= monotonicAtPaint + 0.001);
  await tab.close();
  return { ms: paint, requests: before.length, kb: before.reduce((a, d) => a + d.bytes, 0) / 1024 };
}

// Frames painted per second while pages turn: the mean over `turns` turns forward.
async function flipRate(url, turns) {
  const tab = await context.newPage();
  await tab.goto(url);
  await tab.waitForFunction(() => window.benchFlip && window.benchFlip.ready());
  await tab.waitForTimeout(300);
  const fps = await tab.evaluate(async (n) => {
    const rates = [];
    for (let i = 0; i < n; i++) {
      await new Promise((r) => setTimeout(r, 150));
      let frames = 0;
      let counting = true;
      const tick = () => { if (counting) { frames++; requestAnimationFrame(tick); } };
      const began = performance.now();
      requestAnimationFrame(tick);
      await window.benchFlip.turn();
      counting = false;
      rates.push(frames / ((performance.now() - began) / 1000));
    }
    return rates.reduce((a, b) => a + b, 0) / rates.length;
  }, turns);
  await tab.close();
  return fps;
}

// The bare library: the same pictures in page elements of the same size, the library's
// defaults for everything the book does not set.
{
  const pages = bookConfig.pages.slice(0, 24).map((p) => `<div class="page"><img src="${base}/${p.normal}" alt=""></div>`).join('\n');
  fs.writeFileSync(path.join(anchorDir, 'bare.html'), `<!DOCTYPE html><html><head><meta charset="utf-8"><title>Bare</title>
<style>html,body{margin:0;height:100%;background:#2E3B4E}#book{margin:40px auto}.page{background:#fff}
.page img{display:block;width:100%;height:100%;object-fit:contain}</style></head><body>
<div id="book">${pages}</div>
<script src="${base}/files/lib/page-flip.browser.js"></script>
<script>
const box = JSON.parse(decodeURIComponent(location.hash.slice(1)));
document.getElementById('book').style.width = (box.pageWidth * 2) + 'px';
const flip = new St.PageFlip(document.getElementById('book'), { width: box.pageWidth, height: box.height, size: 'fixed',
  showCover: true, drawShadow: ${bookConfig.pageShadow !== false}, maxShadowOpacity: 0.5, flippingTime: ${bookConfig.flipDuration || 700} });
flip.loadFromHTML(document.querySelectorAll('.page'));
flip.turnToPage(1);
window.benchFlip = {
  ready: () => Array.from(document.images).slice(0, 6).every((i) => i.complete),
  turn: () => new Promise((r) => { flip.on('changeState', function s(e) { if (e.data === 'read') { flip.off('changeState'); r(); } }); flip.flipNext('top'); })
};
</script></body></html>`);
}

// The book's viewer, driven the same way.
await context.addInitScript(() => {
  if (location.pathname.includes('__anchor')) return;
  // A book whose home page does not show page 1 itself: its page in the view counts.
  new MutationObserver((changes, observer) => {
    if (document.querySelector('[elementtiming="first-page"]')) { observer.disconnect(); return; }
    const img = document.querySelector('.qv-page[data-page="1"] img');
    if (img) { img.setAttribute('elementtiming', 'first-page'); observer.disconnect(); }
  }).observe(document, { childList: true, subtree: true });
  window.benchFlip = {
    ready: () => !!(window.Quorvel && Quorvel.reader && Quorvel.reader.view.flip) &&
      Array.from(document.querySelectorAll('.qv-page img')).filter((i) => i.src).slice(0, 6).every((i) => i.complete),
    turn: () => new Promise((r) => {
      const flip = Quorvel.reader.view.flip;
      const s = (e) => { if (e.data === 'read') { flip.off('changeState'); r(); } };
      flip.on('changeState', s);
      flip.flipNext('top');
    })
  };
});

const ours = [], plain = [], ratios = [];
for (let i = 0; i < runs; i++) {
  const a = await firstPage(`${base}/${home}`);
  const b = await firstPage(`${base}/__anchor/plain.html`);
  ours.push(a);
  plain.push(b);
  ratios.push(a.ms / b.ms);
  console.log(`first page run ${i + 1}: book ${a.ms.toFixed(0)} ms (${a.requests} requests, ${a.kb.toFixed(0)} KB), ` +
    `plain viewer ${b.ms.toFixed(0)} ms (${b.requests} requests, ${b.kb.toFixed(0)} KB), ratio ${(a.ms / b.ms).toFixed(2)}`);
}
console.log(`first page (10 Mbit/s, 40 ms): book ${median(ours.map((r) => r.ms)).toFixed(0)} ms, plain viewer ` +
  `${median(plain.map((r) => r.ms)).toFixed(0)} ms; median of paired ratios ${median(ratios).toFixed(2)} (target <= 1.30); ` +
  `requests ${median(ours.map((r) => r.requests))} against ${median(plain.map((r) => r.requests))}, ` +
  `${median(ours.map((r) => r.kb)).toFixed(0)} KB against ${median(plain.map((r) => r.kb)).toFixed(0)} KB`);

// The page box of the viewer on this screen, for the bare library.
let box;
{
  const tab = await context.newPage();
  await tab.goto(`${base}/${home}`);
  await tab.waitForFunction(() => window.Quorvel && Quorvel.reader && Quorvel.reader.view.size.height > 0);
  box = await tab.evaluate(() => Quorvel.reader.view.size);
  await tab.close();
}
const bookFps = [], bareFps = [], fpsRatios = [];
for (let i = 0; i < runs; i++) {
  const a = await flipRate(`${base}/${home}#p=2`, 4);
  const b = await flipRate(`${base}/__anchor/bare.html#${encodeURIComponent(JSON.stringify(box))}`, 4);
  bookFps.push(a);
  bareFps.push(b);
  fpsRatios.push(a / b);
  console.log(`flipping run ${i + 1}: book ${a.toFixed(1)} fps, bare library ${b.toFixed(1)} fps, ratio ${(a / b).toFixed(2)}`);
}
console.log(`flipping: book ${median(bookFps).toFixed(1)} fps, bare library ${median(bareFps).toFixed(1)} fps; ` +
  `median of paired ratios ${median(fpsRatios).toFixed(2)} (target >= 0.90)`);

// Search: the first result of a word, the longest task, the search bytes read until then.
function searchBytesOnDisk(folder) {
  let total = 0;
  const visit = (p) => {
    for (const e of fs.readdirSync(p, { withFileTypes: true })) {
      const f = path.join(p, e.name);
      if (e.isDirectory()) visit(f); else total += fs.statSync(f).size;
    }
  };
  const files = path.join(folder, 'files');
  if (fs.existsSync(path.join(files, 'search.js'))) total += fs.statSync(path.join(files, 'search.js')).size;
  if (fs.existsSync(path.join(files, 'search'))) visit(path.join(files, 'search'));
  return total;
}
async function searchRun(url, word) {
  const tab = await context.newPage();
  await tab.goto(url);
  await tab.waitForFunction(() => window.Quorvel && Quorvel.reader && document.querySelector('.qv-button-search'));
  const r = await tab.evaluate(async (w) => {
    let longest = 0;
    new PerformanceObserver((l) => { for (const e of l.getEntries()) longest = Math.max(longest, e.duration); }).observe({ type: 'longtask' });
    document.querySelector('.qv-button-search').click();
    const input = document.querySelector('.qv-search-input');
    input.value = w;
    const start = performance.now();
    const first = new Promise((resolve) => {
      const mo = new MutationObserver(() => {
        if (document.querySelector('.qv-search-result')) { mo.disconnect(); resolve(performance.now()); }
      });
      mo.observe(document.body, { childList: true, subtree: true });
    });
    input.form.requestSubmit();
    const at = await Promise.race([first, new Promise((resolve) => setTimeout(() => resolve(-1), 20000))]);
    const bytes = performance.getEntriesByType('resource').filter((e) => /\/search(\/|\.js)/.test(e.name))
      .reduce((a, e) => a + (e.encodedBodySize || e.transferSize || 0), 0);
    await new Promise((resolve) => setTimeout(resolve, 1500)); // the rest of the search
    return { first: at < 0 ? -1 : at - start, longest, bytes };
  }, word);
  await tab.close();
  return r;
}
{
  const texts = [];
  const data = fs.readFileSync(path.join(bookDir, 'files/search.js'), 'utf8');
  const value = new Function(data + '; return bookSearch;')();
  if (Array.isArray(value)) texts.push(value[0], value[value.length - 1]);
  else {
    const part = (p) => new Function(fs.readFileSync(path.join(bookDir, 'files', p.file), 'utf8') + '; return bookSearchPart;')();
    texts.push(part(value.parts[0]).texts[0]);
    const last = part(value.parts[value.parts.length - 1]).texts;
    texts.push(last[last.length - 1]);
  }
  const wordOf = (t) => (String(t || '').match(/[A-Za-z]{6,}/g) || []).sort((a, b) => b.length - a.length)[0];
  const all = searchBytesOnDisk(bookDir);
  for (const [label, word] of [['first page', wordOf(texts[0])], ['last page', wordOf(texts[1])]]) {
    if (!word) continue;
    const rounds = [];
    for (let i = 0; i < runs; i++) rounds.push(await searchRun(`${base}/${home}`, word));
    console.log(`search "${word}" (a word of the ${label}): first result ${median(rounds.map((r) => r.first)).toFixed(0)} ms ` +
      `(target <= 200), longest task ${median(rounds.map((r) => r.longest)).toFixed(0)} ms (target <= 50), search data read ` +
      `${(median(rounds.map((r) => r.bytes)) / 1024).toFixed(0)} KB of ${(all / 1024).toFixed(0)} KB, ` +
      `ratio ${(median(rounds.map((r) => r.bytes)) / all).toFixed(2)} (target <= 0.25)`);
  }
}

await context.close();
server.close();
fs.rmSync(profile, { recursive: true, force: true });
fs.rmSync(anchorDir, { recursive: true, force: true });
