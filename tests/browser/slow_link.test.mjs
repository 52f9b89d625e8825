// A book with a preloader, published by the program, read over slow lines: the preloader's
// picture shows from the first paint, its movie takes its place once it plays, then the
// book; and a preloader that gives way while its player is still loading leaves the
// player to finish. Chromium only (its DevTools protocol throttles the line).
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launch, watchedPage, DESKTOP } from './support/browser.mjs';
import { printPdf, publish } from './support/publish.mjs';
import { serveFolder, pixel, near, centre } from './support/serve.mjs';
import { rectangleSwf } from './support/swf.mjs';

const BLUE = [0x1E, 0x63, 0xD0], YELLOW = [0xFD, 0xD8, 0x35];
const PAGES = /^\/files\/(page|small|large|thumb)\//;
const PLAYER = /\.wasm$/;
let dir, browser, book;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-slow-'));
  browser = await launch(DESKTOP);
  // A preloader of the user's (in the per-user folder the program reads): a blue movie
  // and a yellow picture.
  const preloaders = path.join(dir, 'data/Zendarrow/flipbook/dataFiles/Preloaders');
  fs.mkdirSync(preloaders, { recursive: true });
  fs.writeFileSync(path.join(preloaders, 'Spin.swf'), rectangleSwf('#1E63D0', 120, 120));
  const tab = await browser.context.newPage();
  await tab.setViewportSize({ width: 120, height: 120 });
  await tab.setContent('<body style="margin:0;background:#FDD835"></body>');
  await tab.screenshot({ path: path.join(preloaders, 'Spin.png') });
  await tab.close();
  const pdf = path.join(dir, 'source.pdf');
  await printPdf(browser.context, pdf, ['one', 'two', 'three', 'four']);
  publish(pdf, path.join(dir, 'book'), 'book', ['--preloader', 'Spin'], { XDG_DATA_HOME: path.join(dir, 'data') });
  book = path.join(dir, 'book');
});

after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

// Records on every frame what the reader sees: the preloader's picture, its movie, the book.
function recordFrames() {
  window.seen = [];
  const shown = (el) => !!el && el.isConnected && getComputedStyle(el).visibility === 'visible' && !el.closest('.qv-done');
  const frame = () => {
    const picture = document.querySelector('.qv-preloader-picture');
    const movie = document.querySelector('.qv-preloader.qv-movie-shown .qv-preloader-movie');
    const pages = [...document.querySelectorAll('.qv-flipbook img')].some((img) => img.complete && img.naturalWidth > 0);
    seen.push({
      t: performance.now(),
      picture: shown(picture) && picture.complete && picture.naturalWidth > 0,
      movie: shown(movie),
      book: pages && !document.querySelector('.qv-preloader:not(.qv-done), .qv-first-page'),
      viewer: !!document.querySelector('.qv-stage')
    });
    requestAnimationFrame(frame);
  };
  requestAnimationFrame(frame);
}

async function slowPage(latency, bytesPerSecond) {
  const page = await watchedPage(browser.context);
  await page.addInitScript(recordFrames);
  const cdp = await browser.context.newCDPSession(page);
  await cdp.send('Network.enable');
  await cdp.send('Network.setCacheDisabled', { cacheDisabled: true }); // every test fetches the player anew
  await cdp.send('Network.emulateNetworkConditions',
    { offline: false, latency, downloadThroughput: bytesPerSecond, uploadThroughput: bytesPerSecond });
  return page;
}

// The frames from the first paint on, named by what they show ("picture", "movie", "book",
// or "nothing"), with repeats folded: [[what, ms after the first paint], ...]. The picture
// comes with the home page, before the viewer's scripts have arrived.
async function story(page) {
  const { paint, seen } = await page.evaluate(() => ({
    paint: performance.getEntriesByType('paint').find((e) => e.name === 'first-paint').startTime, seen
  }));
  assert.equal(seen.find((f) => f.picture).viewer, false, 'the picture shows before the viewer stands');
  const steps = [];
  for (const s of seen.filter((f) => f.t >= paint)) {
    const what = s.book ? 'book' : s.movie ? 'movie' : s.picture ? 'picture' : 'nothing';
    if (!steps.length || steps[steps.length - 1][0] !== what) steps.push([what, Math.round(s.t - paint)]);
  }
  return steps;
}

test('over a slow line the preloader picture shows from the first paint until the book', async () => {
  const server = await serveFolder(book);
  try {
    const page = await slowPage(300, 100 * 1024);
    await page.goto(server.base + 'book.html', { waitUntil: 'commit' });
    await page.waitForFunction(() => seen.some((f) => f.book), null, { timeout: 90000 });
    const steps = await story(page);
    if (process.env.QV_STORY) console.log(JSON.stringify(steps));
    const what = steps.map((s) => s[0]);
    assert.ok(what[0] === 'picture' || (what[0] === 'nothing' && steps[1][1] <= 1000), JSON.stringify(steps));
    assert.deepEqual(what.filter((w) => w !== 'nothing'), ['picture', 'book'], JSON.stringify(steps));
    assert.ok(what.lastIndexOf('nothing') <= 0, `the preloader never stands empty: ${JSON.stringify(steps)}`);
    await page.close();
  } finally {
    server.close();
  }
});

test('the movie takes the picture\'s place once it plays, and the book comes after it', async () => {
  // The pages wait at the server until the movie shows.
  const server = await serveFolder(book, { hold: PAGES });
  try {
    const page = await slowPage(300, 40 * 1024 * 1024);
    await page.goto(server.base + 'book.html', { waitUntil: 'commit' });
    await page.waitForFunction(() => seen.some((f) => f.picture), null, { timeout: 30000 });
    near(await pixel(page, ...(await centre(page, '.qv-preloader-picture'))), YELLOW, 'the picture');
    await page.waitForFunction(() => seen.some((f) => f.movie), null, { timeout: 90000 });
    near(await pixel(page, ...(await centre(page, '.qv-preloader-movie'))), BLUE, 'the movie');
    server.release();
    await page.waitForFunction(() => seen.some((f) => f.book), null, { timeout: 60000 });
    const steps = await story(page);
    if (process.env.QV_STORY) console.log(JSON.stringify(steps));
    const what = steps.map((s) => s[0]);
    assert.ok(what[0] === 'picture' || (what[0] === 'nothing' && steps[1][1] <= 1000), JSON.stringify(steps));
    assert.deepEqual(what.filter((w) => w !== 'nothing'), ['picture', 'movie', 'book'], JSON.stringify(steps));
    assert.ok(what.lastIndexOf('nothing') <= 0, `the preloader never stands empty: ${JSON.stringify(steps)}`);
    await page.close();
  } finally {
    server.close();
  }
});

test('a preloader that gives way while its player loads leaves the player to finish', async () => {
  // The player's WebAssembly and the pages wait at the server; the pages come first.
  const server = await serveFolder(book, { hold: [PAGES, PLAYER] });
  try {
    const page = await watchedPage(browser.context);
    const warnings = [];
    page.on('console', (msg) => { if (msg.type() === 'warning') warnings.push(msg.text()); });
    await page.goto(server.base + 'book.html', { waitUntil: 'commit' });
    await page.waitForSelector('.qv-preloader-movie > *', { state: 'attached' }); // the player is being made
    server.release(PAGES);
    await page.waitForSelector('.qv-preloader.qv-done', { state: 'attached' });
    await page.waitForTimeout(800);
    assert.ok(await page.$('.qv-preloader-movie > *'), 'the player stays while it loads');
    server.release(PLAYER);
    await page.waitForSelector('.qv-preloader', { state: 'detached', timeout: 60000 });
    assert.deepEqual(warnings.filter((w) => /movie|SWF/i.test(w)), []);
    await page.close();
  } finally {
    server.close();
  }
});
