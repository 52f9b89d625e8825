// The web content system packages published from the main window's "Publish Plug-in…"
// command (tests/shell/web PluginPackageFlowTest): the book inside each package opens
// and turns in the browser, with the title and keywords given in the dialog.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, watchedPage, openBook, waitForPages, visiblePages, DESKTOP } from './support/browser.mjs';
import { publishFromWindow } from './support/publish.mjs';

// Where each package keeps its book, once unpacked into a folder named after its system.
const BOOKS = {
  WordPress: 'almanac/book/book.html',
  Joomla: 'book/book.html',
  Drupal: 'almanac_6/book/book.html'
};

let dir, browser;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-plugins-'));
  publishFromWindow('PluginPackageFlowTest', dir);
  browser = await launch(DESKTOP);
});

after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

for (const [system, book] of Object.entries(BOOKS)) {
  test(`the book of the ${system} package opens and turns`, async () => {
    const page = await watchedPage(browser.context);
    await openBook(page, pathToFileURL(path.join(dir, system, book)).href);
    assert.equal(await page.title(), 'The Almanac');
    assert.equal(await page.getAttribute('meta[name="keywords"]', 'content'), `almanac, ${system}`);
    assert.deepEqual(await visiblePages(page), [1]);
    const shown = await page.evaluate(() => {
      const img = document.querySelector('.qv-page[data-page="1"] img');
      return img.complete && img.naturalWidth > 0;
    });
    assert.ok(shown, 'the first page picture shows');
    await page.click('.qv-button-next');
    await waitForPages(page, [2, 3]);
    assert.deepEqual(page.problems, []);
    await page.close();
  });
}
