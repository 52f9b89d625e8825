// End to end: a PDF printed by the browser is imported and published by the program
// (publish_bench), and the book it wrote opens from disk and works in the browser.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, watchedPage, openBook, waitForPages, visiblePages, DESKTOP, PHONE } from './support/browser.mjs';

const BIN = process.env.QUORVEL_BIN || path.resolve(path.dirname(new URL(import.meta.url).pathname), '../../build/bin');
const WORDS = ['meadow', 'harbour', 'lantern', 'orchard', 'glacier', 'violin', 'compass', 'thimble'];
const TITLE = 'Field <notes> & "tales"';

let dir, browser, url;

// Eight A5 pages, each "Page n" and its own word, printed to PDF by Chromium.
async function printPdf(context, file) {
  const page = await context.newPage();
  const pages = WORDS.map((w, i) => `<section style="break-after: page; height: 190mm; padding: 10mm;
    font: 28pt sans-serif; background: hsl(${i * 45}, 60%, 90%)"><h1>Page ${i + 1}</h1><p>${w}</p></section>`).join('');
  await page.setContent(`<!DOCTYPE html><html><body style="margin:0">${pages}</body></html>`);
  await page.pdf({ path: file, width: '148mm', height: '210mm', printBackground: true, margin: { top: 0, bottom: 0, left: 0, right: 0 } });
  await page.close();
}

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-published-'));
  browser = await launch(DESKTOP);
  const pdf = path.join(dir, 'source.pdf');
  await printPdf(browser.context, pdf);
  const tabs = path.join(dir, 'tabs.xml');
  fs.writeFileSync(tabs, '<Tabs alpha="0.80" BookMarkTips="true" BookMarkShowhading="false" TopOrSide="Top">' +
    '<Tab pageIndex="1" color="0xE53935"><![CDATA[Start]]></Tab>' +
    '<Tab pageIndex="5" color="0x43A047"><![CDATA[Glacier "cold"]]></Tab></Tabs>');
  const out = path.join(dir, 'book');
  execFileSync(path.join(BIN, 'publish_bench'), ['--pdf', pdf, '--out', out, '--name', 'field-notes',
    '--title', TITLE, '--tabs', tabs, '--threads', '1'], { env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' }, stdio: 'pipe' });
  url = pathToFileURL(path.join(out, 'field-notes.html')).href;
});

after(async () => {
  await browser.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

test('the published book shows page 1, turns forward and back, and keeps its title as text', async () => {
  const page = await watchedPage(browser.context);
  await openBook(page, url);
  assert.deepEqual(await visiblePages(page), [1]);
  assert.equal(await page.title(), TITLE);
  const loaded = await page.evaluate(() => {
    const img = document.querySelector('.qv-page[data-page="1"] img');
    return img.complete && img.naturalWidth > 0;
  });
  assert.ok(loaded, 'the first page picture shows');
  await page.click('.qv-button-next');
  await waitForPages(page, [2, 3]);
  await page.keyboard.press('ArrowRight');
  await waitForPages(page, [4, 5]);
  await page.click('.qv-button-prev');
  await waitForPages(page, [2, 3]);
  await page.keyboard.press('ArrowLeft');
  await waitForPages(page, [1]);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('#p=5 opens page 5 and search finds the word of page 3', async () => {
  const page = await watchedPage(browser.context);
  await openBook(page, url + '#p=5');
  assert.deepEqual(await visiblePages(page), [4, 5]);
  await page.click('.qv-button-search');
  await page.fill('.qv-search-input', WORDS[2]);
  await page.press('.qv-search-input', 'Enter');
  await page.waitForSelector('.qv-search-result');
  const found = await page.$$eval('.qv-search-result', (els) => els.map((e) => e.dataset.page));
  assert.deepEqual(found, ['3']);
  await page.click('.qv-search-result[data-page="3"]');
  await waitForPages(page, [2, 3]);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('the bookmark tabs show and turn to their pages', async () => {
  const page = await watchedPage(browser.context);
  await openBook(page, url);
  const tabs = await page.$$eval('.qv-tab', (els) => els.map((e) => [e.dataset.page, e.querySelector('.qv-tab-caption').textContent]));
  assert.deepEqual(tabs, [['1', 'Start'], ['5', 'Glacier "cold"']]);
  await page.click('.qv-tab[data-page="5"]');
  await waitForPages(page, [4, 5]);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('a phone gets the phone version with the same pages and tabs', async () => {
  const phone = await launch(PHONE);
  try {
    const page = await watchedPage(phone.context);
    await page.goto(url + '#p=3');
    await page.waitForURL(/mobile\/index\.html#p=3$/);
    await page.waitForFunction(() => window.Quorvel && window.Quorvel.reader);
    assert.deepEqual(await visiblePages(page), [3]);
    assert.equal(await page.evaluate(() => Quorvel.reader.book.pageCount), 8);
    assert.equal(await page.evaluate(() => Quorvel.reader.book.tabs.tabs.length), 2);
    assert.deepEqual(page.problems, []);
  } finally {
    await phone.close();
  }
});
