// A cover made in the main window's cover dialog and inserted as the first page, then
// published (tests/shell/web BookCoverFlowTest), read in the browser: page 1 is the
// cover, the PDF's first page follows it, and the cover is the book's share picture.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, watchedPage, openBook, waitForPages, poll, DESKTOP } from './support/browser.mjs';
import { publishFromWindow } from './support/publish.mjs';

let dir, browser, url;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-cover-'));
  publishFromWindow('BookCoverFlowTest', dir);
  url = pathToFileURL(path.join(dir, 'Almanac.html')).href;
  browser = await launch(DESKTOP);
});

after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

// The mean brightness (0-255) of a strip at the left edge, halfway down, of the picture a
// page shows, as the browser draws it.
async function brightness(page, number) {
  const shot = await page.locator(`.qv-page[data-page="${number}"] img`).screenshot();
  const probe = await browser.context.newPage();
  const value = await probe.evaluate(async (data) => {
    const img = new Image();
    img.src = 'data:image/png;base64,' + data;
    await img.decode();
    const canvas = document.createElement('canvas');
    canvas.width = img.width;
    canvas.height = img.height;
    const g = canvas.getContext('2d');
    g.drawImage(img, 0, 0);
    const px = g.getImageData(Math.floor(img.width * 0.02), Math.floor(img.height * 0.45),
      Math.max(1, Math.floor(img.width * 0.1)), Math.max(1, Math.floor(img.height * 0.1))).data;
    let sum = 0;
    for (let i = 0; i < px.length; i += 4) sum += (px[i] + px[i + 1] + px[i + 2]) / 3;
    return sum / (px.length / 4);
  }, shot.toString('base64'));
  await probe.close();
  return value;
}

test('the cover is the first page and the share picture of the published book', async () => {
  const page = await watchedPage(browser.context);
  await openBook(page, url);
  assert.equal(await page.evaluate(() => window.Quorvel.reader.book.pageCount), 4);

  // The cover's dark background shows beside its picture on page 1; page 2 is the PDF's
  // white first page.
  await page.waitForSelector('.qv-page[data-page="1"] img');
  assert.ok(await brightness(page, 1) < 110, 'page 1 shows the cover');
  await page.click('.qv-button-next');
  await waitForPages(page, [2, 3]);
  // The page turn may still be drawing: look again until it has settled.
  await poll(async () => await brightness(page, 2) > 200, 'page 2 to show the first page of the PDF');

  const share = await page.getAttribute('meta[property="og:image"]', 'content');
  assert.match(share || '', /files\/shot\.png$/);
  assert.ok(fs.existsSync(path.join(dir, 'files', 'shot.png')));
  assert.deepEqual(page.problems, []);
  await page.close();
});
