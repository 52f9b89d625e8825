// End to end, in each browser engine (support/engine.mjs): a PDF is imported and
// published by the program (publish_bench), and the book it wrote opens from disk and
// works: pages, title, deep links, search, the phone version and the HTML5 kind.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launchEngine, openBook, waitForPages } from './support/engine.mjs';
import { makePdf, publish, extraScript } from './support/publish.mjs';
import { serveFolder } from './support/serve.mjs';

const WORDS = ['meadow', 'harbour', 'lantern', 'orchard', 'glacier', 'violin', 'compass', 'thimble'];
const TITLE = 'Field <notes> & "tales"';

let dir, browser, out, url;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-published-'));
  const pdf = path.join(dir, 'source.pdf');
  await makePdf(pdf, WORDS);
  const tabs = path.join(dir, 'tabs.xml');
  fs.writeFileSync(tabs, '<Tabs alpha="0.80" BookMarkTips="true" BookMarkShowhading="false" TopOrSide="Top">' +
    '<Tab pageIndex="1" color="0xE53935"><![CDATA[Start]]></Tab>' +
    '<Tab pageIndex="5" color="0x43A047"><![CDATA[Glacier "cold"]]></Tab></Tabs>');
  out = path.join(dir, 'book');
  url = pathToFileURL(publish(pdf, out, 'field-notes', ['--title', TITLE, '--tabs', tabs, ...extraScript(dir)])).href;
  browser = await launchEngine();
});

after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

test('the published book shows page 1, turns forward and back, and keeps its title as text', async () => {
  const page = await browser.newPage();
  await openBook(page, url);
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [1]);
  assert.equal(await page.title(), TITLE);
  await page.waitFor(() => {
    const img = document.querySelector('.qv-page[data-page="1"] img');
    return img && img.complete && img.naturalWidth > 0;
  });
  await page.click('.qv-button-next');
  await waitForPages(page, [2, 3]);
  await page.press('ArrowLeft');
  await waitForPages(page, [1]);
  assert.deepEqual(await page.problems(), []);
  await page.close();
});

test('page 1 comes first: asked for before the viewer, in a size for the screen, the rest after it', async () => {
  // The order in which the browser asks a web server for the book's files.
  const server = await serveFolder(out);
  const asked = server.requests;
  const page = await browser.newPage();
  try {
    await openBook(page, server.base + 'field-notes.html');
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
    assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [1]);
    assert.equal(await page.count('.qv-first-page'), 0, 'the early picture gives way to the book');
    assert.deepEqual(await page.problems(), []);
  } finally {
    await page.close();
    server.close();
  }
});

test('#p=5 opens page 5 and search finds the word of page 3', async () => {
  const page = await browser.newPage();
  await openBook(page, url + '#p=5');
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [4, 5]);
  await page.click('.qv-button-search');
  await page.fill('.qv-search-input', WORDS[2]);
  await page.press('Enter');
  await page.waitFor(() => document.querySelector('.qv-search-result'));
  const found = await page.evaluate(() => [...document.querySelectorAll('.qv-search-result')].map((e) => e.dataset.page));
  assert.deepEqual(found, ['3']);
  await page.click('.qv-search-result[data-page="3"]');
  await waitForPages(page, [2, 3]);
  assert.deepEqual(await page.problems(), []);
  await page.close();
});

test('a phone gets the phone version with the same pages and tabs', async () => {
  const phone = await launchEngine({ phone: true });
  try {
    const page = await phone.newPage();
    await page.goto(url + '#p=3');
    await page.waitFor(() => /mobile\/index\.html#p=3$/.test(location.href) && window.Quorvel && Quorvel.reader);
    assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [3]);
    assert.equal(await page.evaluate(() => Quorvel.reader.book.pageCount), 8);
    assert.equal(await page.evaluate(() => Quorvel.reader.book.tabs.tabs.length), 2);
    // Its search reads the desktop book's text, from its files/, with the library there.
    await page.click('.qv-button-search');
    await page.fill('.qv-search-input', WORDS[6]);
    await page.press('Enter');
    await page.waitFor(() => document.querySelector('.qv-search-result'));
    assert.deepEqual(await page.evaluate(() => [...document.querySelectorAll('.qv-search-result')].map((e) => e.dataset.page)), ['7']);
    const scripts = await page.evaluate(() => [...document.querySelectorAll('script[src]')].map((e) => e.getAttribute('src')));
    assert.ok(scripts.includes('../files/search.js') && scripts.includes('../files/lib/qv-core.js'), scripts.join(' '));
    assert.ok(!fs.existsSync(path.join(out, 'mobile', 'files', 'search.js')));
    assert.deepEqual(await page.problems(), []);
    await page.close();
  } finally {
    await phone.close();
  }
});

test('the HTML5 kind writes the same book, which opens and turns', async () => {
  const pdf = path.join(dir, 'source.pdf');
  const kind4 = pathToFileURL(publish(pdf, path.join(dir, 'kind4'), 'html5', ['--kind', '4', ...extraScript(dir)])).href;
  const page = await browser.newPage();
  await openBook(page, kind4 + '#p=3');
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [2, 3]);
  await page.click('.qv-button-next');
  await waitForPages(page, [4, 5]);
  assert.deepEqual(await page.problems(), []);
  await page.close();
});
