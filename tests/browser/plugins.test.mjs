// A book whose plug-in bundle and preloader were chosen in the main window and
// published from it (tests/shell/web PluginFlowTest), read in Chromium: over http the
// bundle's movie plays in front of the book at the place its margins give; opened from
// file://, where the player cannot load, their pictures stand in for both movies.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, watchedPage, openBook, DESKTOP } from './support/browser.mjs';
import { publishFromWindow } from './support/publish.mjs';
import { serveFolder, waitForColour } from './support/serve.mjs';

const RED = [0xE5, 0x39, 0x35];
let dir, browser;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-plugins-'));
  publishFromWindow('PluginFlowTest', dir);
  browser = await launch(DESKTOP);
});

after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

test('over http the overlay plays at its place in front of the book', async () => {
  const server = await serveFolder(dir);
  try {
    const page = await watchedPage(browser.context);
    await page.goto(server.base + 'Badge.html');
    await page.waitForSelector('.qv-preloader', { state: 'detached', timeout: 60000 });
    await page.waitForSelector('.qv-plugin[data-swf="playing"]', { timeout: 60000 });
    await waitForColour(page, '.qv-plugin', RED, 'the overlay');
    // Margins of 70, 10, 5 and 60 percent of the stage, in front of the book.
    const [stage, box] = await page.evaluate(() => ['.qv-stage', '.qv-plugin']
      .map((s) => { const r = document.querySelector(s).getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; }));
    const width = stage[2] - stage[0], height = stage[3] - stage[1];
    const expected = [stage[0] + 0.70 * width, stage[1] + 0.10 * height, stage[2] - 0.05 * width, stage[3] - 0.60 * height];
    box.forEach((v, i) => assert.ok(Math.abs(v - expected[i]) <= 2, `overlay edge ${i}: ${v} is not ${expected[i]}`));
    assert.ok(await page.evaluate(() => document.querySelector('.qv-plugin').classList.contains('qv-plugin-front')));
    assert.deepEqual(page.problems, []);
    await page.close();
  } finally {
    server.close();
  }
});

test('from file:// the pictures stand in for both movies', async () => {
  const page = await watchedPage(browser.context);
  await page.addInitScript(() => {
    window.preloaderPictures = [];
    new MutationObserver(() => {
      const img = document.querySelector('.qv-preloader-picture');
      if (img && !window.preloaderPictures.length) window.preloaderPictures.push(img.getAttribute('src'));
    }).observe(document, { childList: true, subtree: true });
  });
  await openBook(page, pathToFileURL(path.join(dir, 'Badge.html')).href);
  const config = await page.evaluate(() => window.bookConfig);
  assert.deepEqual(await page.evaluate(() => window.preloaderPictures), [config.preloaderImage]);
  await page.waitForSelector('.qv-plugin[data-swf="fallback"]');
  assert.equal(await page.getAttribute('.qv-plugin img', 'src'), config.plugin.shot);
  assert.deepEqual(page.problems, []);
  await page.close();
});
