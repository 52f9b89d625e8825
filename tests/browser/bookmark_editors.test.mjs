// A book whose bookmark tabs and outline were edited in the main window, saved,
// reopened and published (tests/shell/web BookmarkEditorsFlowTest), read in the
// browser: the tabs with their colours, captions and edge, the outline in its new order.
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
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-bookmarks-'));
  publishFromWindow('BookmarkEditorsFlowTest', dir);
  url = pathToFileURL(path.join(dir, 'Guide.html')).href;
  browser = await launch(DESKTOP);
});

after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

test('the edited tabs stand on the side edge and the outline shows its new order', async () => {
  const page = await watchedPage(browser.context);
  await openBook(page, url);

  assert.equal(await page.$$eval('.qv-tabs.qv-tabs-side', (els) => els.length), 1, 'the tabs stand on the side edge');
  const tabs = await page.$$eval('.qv-tab', (els) => els.map((e) => ({
    page: e.dataset.page,
    caption: e.querySelector('.qv-tab-caption').textContent,
    markup: e.querySelectorAll('.qv-tab-caption b').length,
    pageLabel: e.querySelector('.qv-tab-page')?.textContent,
    colour: getComputedStyle(e).backgroundColor
  })));
  assert.deepEqual(tabs.map((t) => [t.page, t.caption]), [['1', 'Start'], ['3', 'Middle ]]> & <b>'], ['4', 'End']]);
  assert.equal(tabs[1].markup, 0, 'a caption is text, never markup');
  assert.equal(tabs[0].colour, 'rgb(229, 57, 53)');
  assert.ok(tabs.every((t) => t.pageLabel), 'the tabs show their pages');
  assert.notEqual(tabs[1].colour, tabs[0].colour);

  await page.click('.qv-tab[data-page="4"]');
  await waitForPages(page, [4]);

  await page.click('.qv-button-outline');
  const top = await page.$$eval('.qv-outline > .qv-outline-level > li > .qv-outline-row .qv-outline-caption',
    (els) => els.map((e) => e.textContent));
  assert.deepEqual(top, ['Part One', 'Chapter B', 'Intro']);
  await page.click('.qv-outline-toggle');
  const nested = await page.$$eval('.qv-outline-level .qv-outline-level .qv-outline-entry',
    (els) => els.map((e) => [e.dataset.page, e.querySelector('.qv-outline-caption').textContent]));
  assert.deepEqual(nested, [['3', 'Details']]);
  assert.deepEqual(page.problems, []);
  await page.close();
});
