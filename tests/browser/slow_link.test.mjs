// A book with a preloader, published by the program, read over slow lines: its picture
// shows from the first paint, before the viewer stands; its movie takes the picture's
// place once it plays; then the book. A preloader that gives way while its player is
// still loading leaves the player to finish. The line is throttled through Chromium's
// DevTools protocol: in other engines those tests are skipped.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launch, watchedPage, DESKTOP } from './support/browser.mjs';
import { printPdf, publish } from './support/publish.mjs';
import { serveFolder, pixel, near, centre } from './support/serve.mjs';
import { rectangleSwf } from './support/swf.mjs';
import { installPageClock, passTime } from './support/sounds.mjs';

const PAGES = /^\/files\/(page|small|large|thumb)\//, PLAYER = /\.wasm$/;
let dir, browser, book, throttles;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-slow-'));
  browser = await launch(DESKTOP);
  // A preloader of the user's: a blue movie with a yellow picture.
  const preloaders = path.join(dir, 'data/Zendarrow/flipbook/dataFiles/Preloaders');
  fs.mkdirSync(preloaders, { recursive: true });
  fs.writeFileSync(path.join(preloaders, 'Spin.swf'), rectangleSwf('#1E63D0', 120, 120));
  const tab = await browser.context.newPage();
  await tab.setViewportSize({ width: 120, height: 120 });
  await tab.setContent('<body style="margin:0;background:#FDD835"></body>');
  await tab.screenshot({ path: path.join(preloaders, 'Spin.png') });
  throttles = await browser.context.newCDPSession(tab).then(() => true, () => false);
  await tab.close();
  await printPdf(browser.context, path.join(dir, 'source.pdf'), ['one', 'two', 'three', 'four']);
  publish(path.join(dir, 'source.pdf'), path.join(dir, 'book'), 'book', ['--preloader', 'Spin'], { XDG_DATA_HOME: path.join(dir, 'data') });
  book = path.join(dir, 'book');
});

after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

// Opens the book over a line of the given latency and bytes a second, recording on every
// frame what the reader sees: the preloader's picture, its movie, the book.
async function openSlowly(url, latency, bytesPerSecond) {
  const page = await watchedPage(browser.context);
  await page.addInitScript(() => {
    window.seen = [];
    const shown = (el) => !!el && getComputedStyle(el).visibility === 'visible' && !el.closest('.qv-done');
    const frame = () => {
      const picture = document.querySelector('.qv-preloader-picture');
      const pages = [...document.querySelectorAll('.qv-flipbook img')].some((img) => img.complete && img.naturalWidth > 0);
      seen.push({
        t: performance.now(),
        picture: shown(picture) && picture.complete && picture.naturalWidth > 0,
        movie: shown(document.querySelector('.qv-preloader.qv-movie-shown .qv-preloader-movie')),
        book: pages && !document.querySelector('.qv-preloader:not(.qv-done), .qv-first-page'),
        viewer: !!document.querySelector('.qv-stage')
      });
      requestAnimationFrame(frame);
    };
    requestAnimationFrame(frame);
  });
  const cdp = await browser.context.newCDPSession(page);
  await cdp.send('Network.enable');
  await cdp.send('Network.setCacheDisabled', { cacheDisabled: true }); // the player comes anew each time
  await cdp.send('Network.emulateNetworkConditions',
    { offline: false, latency, downloadThroughput: bytesPerSecond, uploadThroughput: bytesPerSecond });
  await page.goto(url, { waitUntil: 'commit' });
  return page;
}

// What the reader saw from the first paint on, in order: the picture (within a second of
// the first paint, before the viewer stands), then each of `after`, never nothing between.
async function expectSeen(page, after) {
  const { paint, seen } = await page.evaluate(() => ({
    paint: performance.getEntriesByType('paint').find((e) => e.name === 'first-paint').startTime, seen
  }));
  const steps = [];
  for (const f of seen.filter((f) => f.t >= paint)) {
    const what = f.book ? 'book' : f.movie ? 'movie' : f.picture ? 'picture' : 'nothing';
    if (!steps.length || steps[steps.length - 1][0] !== what) steps.push([what, Math.round(f.t - paint)]);
  }
  const story = JSON.stringify(steps);
  assert.equal(seen.find((f) => f.picture).viewer, false, 'the picture shows before the viewer stands');
  if (steps[0][0] === 'nothing') steps.shift();
  assert.ok(steps[0][1] <= 1000, story);
  assert.deepEqual(steps.map((s) => s[0]), ['picture', ...after], story);
}

test('over a slow line the preloader picture shows from the first paint until the book', async (t) => {
  if (!throttles) return t.skip('needs Chromium');
  const server = await serveFolder(book);
  try {
    const page = await openSlowly(server.base + 'book.html', 300, 100 * 1024);
    await page.waitForFunction(() => seen.some((f) => f.book), null, { timeout: 90000 });
    await expectSeen(page, ['book']);
    await page.close();
  } finally {
    server.close();
  }
});

test('the movie takes the picture\'s place once it plays, and the book comes after it', async (t) => {
  if (!throttles) return t.skip('needs Chromium');
  const server = await serveFolder(book, { hold: PAGES }); // until the movie shows
  try {
    const page = await openSlowly(server.base + 'book.html', 300, 40 * 1024 * 1024);
    await page.waitForFunction(() => seen.some((f) => f.picture));
    near(await pixel(page, ...(await centre(page, '.qv-preloader-picture'))), [0xFD, 0xD8, 0x35], 'the picture');
    await page.waitForFunction(() => seen.some((f) => f.movie), null, { timeout: 90000 });
    near(await pixel(page, ...(await centre(page, '.qv-preloader-movie'))), [0x1E, 0x63, 0xD0], 'the movie');
    server.release();
    await page.waitForFunction(() => seen.some((f) => f.book), null, { timeout: 60000 });
    await expectSeen(page, ['movie', 'book']);
    await page.close();
  } finally {
    server.close();
  }
});

test('a preloader that gives way while its player loads leaves the player to finish', async () => {
  const server = await serveFolder(book, { hold: [PAGES, PLAYER] });
  try {
    const page = await watchedPage(browser.context);
    await installPageClock(page);
    const warnings = [];
    page.on('console', (msg) => { if (msg.type() === 'warning' && /movie|SWF/i.test(msg.text())) warnings.push(msg.text()); });
    await page.goto(server.base + 'book.html', { waitUntil: 'commit' });
    await page.waitForSelector('.qv-preloader-movie > *', { state: 'attached' }); // the player is being made
    server.release(PAGES);
    await page.waitForSelector('.qv-preloader.qv-done', { state: 'attached' });
    await passTime(page, 800); // well past the preloader's fade
    assert.ok(await page.$('.qv-preloader-movie > *'), 'the player stays while it loads');
    server.release(PLAYER);
    await page.waitForSelector('.qv-preloader', { state: 'detached', timeout: 60000 });
    assert.deepEqual(warnings, []);
    await page.close();
  } finally {
    server.close();
  }
});
