// A book whose scene (a movie and a picture) and background were chosen in the main
// window and published from it (tests/shell/web ScenesFlowTest), read in Chromium:
// over http the movie plays through the SWF player; opened from file://, where the
// player cannot load, the scene's shot stands in for it and nothing else breaks.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, watchedPage, openBook, DESKTOP } from './support/browser.mjs';
import { publishFromWindow } from './support/publish.mjs';
import { serveFolder, pixel, near, centre, waitForColour } from './support/serve.mjs';

let dir, browser, server, base;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-scenes-'));
  publishFromWindow('ScenesFlowTest', dir);
  server = await serveFolder(dir);
  base = server.base;
  browser = await launch(DESKTOP);
});

after(async () => {
  await browser?.close();
  server?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

// A point where nothing but the window's background shows.
async function backgroundPoint(page) {
  return page.evaluate(() => {
    const plain = (el) => el && (el.id === 'qv-app' || el.classList.contains('qv-stage') || el.classList.contains('qv-scene') ||
      el.classList.contains('qv-book-area'));
    for (let y = 40; y < innerHeight - 60; y += 20) {
      for (let x = 10; x < innerWidth; x += 20) {
        if (plain(document.elementFromPoint(x, y))) return [x, y];
      }
    }
    return null;
  });
}

test('over http the movie plays beside the picture layer, on the background picture', async () => {
  const page = await watchedPage(browser.context);
  const requests = [];
  page.on('request', (r) => requests.push(r.url().slice(base.length)));
  await openBook(page, base + 'Meadow.html');
  await page.waitForSelector('.qv-scene-movie[data-swf="playing"]', { timeout: 60000 });
  await waitForColour(page, '.qv-scene-movie', [0xE5, 0x39, 0x35], 'the movie');
  near(await pixel(page, ...(await centre(page, '.qv-scene-front img'))), [0x43, 0xA0, 0x47], 'the picture layer');
  const point = await backgroundPoint(page);
  assert.ok(point, 'some of the background shows');
  near(await pixel(page, ...point), [0x1E, 0x63, 0xD0], 'the background picture');

  // The player loads after the first pages, never before them.
  const firstPage = requests.findIndex((u) => /^files\/(page|small)\/1\./.test(u));
  const player = requests.indexOf('files/lib/ruffle/ruffle.js');
  assert.ok(firstPage >= 0 && player > firstPage, `page 1 at ${firstPage}, player at ${player}`);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('from file:// the shot stands in for the movie', async () => {
  const page = await watchedPage(browser.context);
  await openBook(page, pathToFileURL(path.join(dir, 'Meadow.html')).href);
  await page.waitForSelector('.qv-scene-movie[data-swf="fallback"]');
  assert.equal(await page.getAttribute('.qv-scene-movie img', 'src'), 'files/scenes/shot.jpg');
  await page.waitForFunction(() => document.querySelector('.qv-scene-movie img').naturalWidth > 0);
  near(await pixel(page, ...(await centre(page, '.qv-scene-front img'))), [0x43, 0xA0, 0x47], 'the picture layer');
  assert.deepEqual(page.problems, []);
  await page.close();
});
