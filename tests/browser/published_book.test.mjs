// End to end: a PDF printed by the browser is imported and published by the program
// (publish_bench), and the book it wrote opens from disk and works in the browser.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, watchedPage, openBook, waitForPages, visiblePages, DESKTOP, PHONE } from './support/browser.mjs';
import { printPdf, publish } from './support/publish.mjs';

const WORDS = ['meadow', 'harbour', 'lantern', 'orchard', 'glacier', 'violin', 'compass', 'thimble'];
const TITLE = 'Field <notes> & "tales"';

let dir, browser, url;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-published-'));
  browser = await launch(DESKTOP);
  const pdf = path.join(dir, 'source.pdf');
  await printPdf(browser.context, pdf, WORDS);
  const tabs = path.join(dir, 'tabs.xml');
  fs.writeFileSync(tabs, '<Tabs alpha="0.80" BookMarkTips="true" BookMarkShowhading="false" TopOrSide="Top">' +
    '<Tab pageIndex="1" color="0xE53935"><![CDATA[Start]]></Tab>' +
    '<Tab pageIndex="5" color="0x43A047"><![CDATA[Glacier "cold"]]></Tab></Tabs>');
  const out = path.join(dir, 'book');
  url = pathToFileURL(publish(pdf, out, 'field-notes', ['--title', TITLE, '--tabs', tabs])).href;
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
  await page.keyboard.press('ArrowLeft');
  await waitForPages(page, [1]);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('page 1 comes first: asked for before the viewer, in a size for the screen, the rest after it', async () => {
  const page = await watchedPage(browser.context);
  const asked = [];
  page.on('request', (r) => asked.push(r.url().slice(r.url().indexOf('/book/') + 6)));
  await openBook(page, url);
  const cover = asked.findIndex((u) => /^files\/(small|page)\/1\.jpg$/.test(u));
  // Only the home page's style sheets and the small loader may come before it.
  assert.ok(cover > 0 && asked.slice(1, cover).every((u) => /\.css$|qv-boot\.js$/.test(u)), asked.join(', '));
  assert.ok(cover < asked.indexOf('files/config.js'), asked.join(', '));
  // On this screen the cover is small: its small picture, half the page picture's size.
  assert.equal(asked[cover], 'files/small/1.jpg');
  const sizes = await page.evaluate(async () => {
    const size = async (src) => { const i = new Image(); i.src = src; await i.decode(); return [i.naturalWidth, i.naturalHeight]; };
    return [await size('files/small/1.jpg'), await size('files/page/1.jpg')];
  });
  assert.ok(Math.abs(sizes[0][1] * 2 - sizes[1][1]) <= 2, `small ${sizes[0]}, page ${sizes[1]}`);
  const lookAhead = asked.findIndex((u) => /^files\/page\/[2-9]\.jpg$/.test(u));
  assert.ok(lookAhead > asked.indexOf('files/viewer/aurora.js'), 'the next pages only once the viewer shows page 1');
  // A book without protection or narration loads neither module.
  assert.ok(!asked.some((u) => /security\.js|narration\.js/.test(u)), asked.join(', '));
  assert.deepEqual(await visiblePages(page), [1]);
  assert.equal(await page.$$eval('.qv-first-page', (els) => els.length), 0, 'the early picture gives way to the book');
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
    // Its search reads the desktop book's text, from its files/, with the library there.
    await page.click('.qv-button-search');
    await page.fill('.qv-search-input', WORDS[6]);
    await page.press('.qv-search-input', 'Enter');
    await page.waitForSelector('.qv-search-result');
    assert.deepEqual(await page.$$eval('.qv-search-result', (els) => els.map((e) => e.dataset.page)), ['7']);
    const scripts = await page.$$eval('script[src]', (els) => els.map((e) => e.getAttribute('src')));
    assert.ok(scripts.includes('../files/search.js') && scripts.includes('../files/lib/qv-core.js'), scripts.join(' '));
    assert.ok(!fs.existsSync(path.join(path.dirname(new URL(url).pathname), 'mobile', 'files', 'search.js')));
    assert.deepEqual(page.problems, []);
  } finally {
    await phone.close();
  }
});

test('the HTML5 kind writes the same book, which opens and turns', async () => {
  const pdf = path.join(dir, 'source.pdf');
  const kind4 = pathToFileURL(publish(pdf, path.join(dir, 'kind4'), 'html5', ['--kind', '4'])).href;
  const page = await watchedPage(browser.context);
  await openBook(page, kind4 + '#p=3');
  assert.deepEqual(await visiblePages(page), [2, 3]);
  await page.click('.qv-button-next');
  await waitForPages(page, [4, 5]);
  assert.deepEqual(page.problems, []);
  await page.close();
});
