// A book whose captions, viewer menu, extra icons and toolbar icons were set in their
// windows from the main window and published (tests/shell/web FurnishingsFlowTest),
// read in the browser.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, watchedPage, openBook, waitForPages, DESKTOP } from './support/browser.mjs';
import { publishFromWindow } from './support/publish.mjs';

let dir, browser, url;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-furnishings-'));
  publishFromWindow('FurnishingsFlowTest', dir);
  url = pathToFileURL(path.join(dir, 'Herbarium.html')).href;
  browser = await launch(DESKTOP);
});

after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

test('the published book shows its captions, menu, extra icons and toolbar icons', async () => {
  const page = await watchedPage(browser.context);
  await page.addInitScript(() => {
    window.opened = [];
    window.open = (...args) => { window.opened.push(args); return null; };
  });
  await openBook(page, url);

  // Roman numerals on the front pages: the page box shows them and takes them.
  assert.equal(await page.inputValue('.qv-page-input'), 'i');
  await page.fill('.qv-page-input', '2');
  await page.press('.qv-page-input', 'Enter');
  await waitForPages(page, [4, 5]);
  assert.match(await page.inputValue('.qv-page-input'), /^2\D+3$/);
  await page.fill('.qv-page-input', 'ii');
  await page.press('.qv-page-input', 'Enter');
  await waitForPages(page, [2, 3]);

  // The menu's link and e-mail entries open their addresses.
  await page.click('.qv-button-menu');
  await page.click('.qv-popup-entry >> text=Our site');
  await page.click('.qv-button-menu');
  await page.click('.qv-popup-entry >> text=Write to us');
  const opened = await page.evaluate(() => window.opened.map((o) => o[0]));
  assert.deepEqual(opened, ['https://example.com/herbs', 'mailto:herbs@example.com']);

  // Two extra icons with their pictures: one goes to a page, one opens a link.
  const icons = await page.$$eval('.qv-extra-icon', (els) => els.map((e) => [e.title, e.querySelector('img')?.getAttribute('src')]));
  assert.equal(icons.length, 2);
  assert.equal(icons[0][0], 'Contents');
  for (const [, src] of icons) assert.match(src, /^files\/extfiles\/icons\//);
  for (const [, src] of icons) assert.ok(fs.existsSync(path.join(dir, src)), src);
  await page.keyboard.press('Home');
  await waitForPages(page, [1]);
  await page.click('.qv-extra-icon[title="Contents"]');
  await waitForPages(page, [2, 3]);

  // The next-page button shows the replaced picture; the others keep theirs.
  const next = await page.getAttribute('.qv-button-next img', 'src');
  assert.match(next, /^files\/extfiles\/toolbar\//);
  assert.ok(await page.evaluate(() => {
    const img = document.querySelector('.qv-button-next img');
    return img.complete && img.naturalWidth === 32;
  }));
  assert.ok(await page.isVisible('.qv-button-prev svg'));
  assert.deepEqual(page.problems, []);
  await page.close();
});
