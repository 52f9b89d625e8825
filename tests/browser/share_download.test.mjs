// A book whose share links and downloads were chosen in their editors from the main
// window, saved, reopened and published (tests/shell/web ShareDownloadFlowTest), read
// in the browser: its share buttons open their addresses for this book, and every
// offered file downloads with the bytes it was given (a page file holds one page). The
// book is served over http, as a reader meets it (from disk, a browser shows a PDF link
// in a tab of its own instead of downloading it).
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { launch, watchedPage, openBook, waitForPages, DESKTOP } from './support/browser.mjs';
import { publishFromWindow } from './support/publish.mjs';

let dir, browser, server, url;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-share-download-'));
  publishFromWindow('ShareDownloadFlowTest', dir);
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.jpg': 'image/jpeg',
    '.png': 'image/png', '.ico': 'image/x-icon', '.svg': 'image/svg+xml' };
  server = http.createServer((req, res) => {
    const file = path.join(dir, decodeURIComponent(new URL(req.url, 'http://x').pathname));
    if (!file.startsWith(dir) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) { res.writeHead(404); res.end(); return; }
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  url = `http://127.0.0.1:${server.address().port}/Atlas.html`;
  browser = await launch({ ...DESKTOP, acceptDownloads: true });
});

after(async () => {
  await browser?.close();
  server?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

async function bookPage() {
  const page = await watchedPage(browser.context);
  await page.addInitScript(() => {
    window.opened = [];
    window.open = (href) => { window.opened.push(href); return null; };
  });
  await openBook(page, url);
  return page;
}

// Clicks a download link and answers the downloaded bytes and the offered name. A link
// without a name of its own opens in a new tab, which downloads the file.
async function download(page, link) {
  const here = page.waitForEvent('download');
  const inTab = page.context().waitForEvent('page').then((tab) => tab.waitForEvent('download'));
  here.catch(() => {});
  inTab.catch(() => {});
  await link.click();
  const file = await Promise.any([here, inTab]);
  return { name: file.suggestedFilename(), bytes: fs.readFileSync(await file.path()) };
}

const pagesIn = (pdf) => (pdf.toString('latin1').match(/\/Type\s*\/Page(?![a-zA-Z])/g) || []).length;

test('the share buttons open their addresses for this book', async () => {
  const page = await bookPage();
  await page.click('.qv-button-share');
  const buttons = page.locator('.qv-share-button');
  assert.deepEqual(await buttons.allTextContents(), ['Facebook', 'E-mail', 'Forum']);
  // The known sites show the program's logo for them, and it loads.
  const logos = await page.$$eval('.qv-share-button', (els) => els.map((b) => b.querySelector('.qv-share-logo')?.getAttribute('src') || ''));
  assert.match(logos[0], /^files\/extfiles\/shares\/.+\.ico$/);
  assert.match(logos[1], /^files\/extfiles\/shares\/.+\.ico$/);
  assert.equal(logos[2], '');
  await page.waitForFunction(() => [...document.querySelectorAll('.qv-share-logo')].every((i) => i.complete && i.naturalWidth > 0));

  for (let i = 0; i < 3; ++i) await buttons.nth(i).click();
  const [facebook, mail, forum] = (await page.evaluate(() => window.opened)).map((a) => new URL(a));
  assert.equal(facebook.origin + facebook.pathname, 'https://www.facebook.com/sharer/sharer.php');
  assert.equal(facebook.searchParams.get('u'), url + '#p=1');
  assert.equal(mail.protocol, 'mailto:');
  assert.equal(mail.searchParams.get('subject'), 'The Atlas');
  assert.equal(forum.origin + forum.pathname, 'https://forum.example/new');
  assert.equal(forum.searchParams.get('u'), url + '#p=1');
  assert.equal(forum.searchParams.get('t'), 'The Atlas');
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('every offered file downloads as it was given', async () => {
  const page = await bookPage();
  const source = (name) => fs.readFileSync(path.join(dir, 'sources', name));
  await page.click('.qv-button-download');
  const links = page.locator('.qv-download-link');
  assert.deepEqual(await links.allTextContents(), ['Whole book', 'Page 1', 'Map legend.csv']);

  const whole = await download(page, links.nth(0));
  assert.ok(whole.bytes.equals(source('Atlas.pdf')), 'the whole PDF');
  assert.equal(pagesIn(whole.bytes), 3);
  const first = await download(page, links.nth(1));
  assert.equal(first.name, 'atlas-1.pdf');
  assert.equal(pagesIn(first.bytes), 1);
  const legend = await download(page, links.nth(2));
  assert.equal(legend.name, 'Map legend.csv');
  assert.ok(legend.bytes.equals(source('Map legend.csv')), 'the attachment');

  // The next spread offers its own pages.
  await page.keyboard.press('ArrowRight');
  await waitForPages(page, [2, 3]);
  await page.click('.qv-button-download');
  await page.click('.qv-button-download');
  await page.waitForFunction(() => document.querySelectorAll('.qv-download-link').length === 4);
  const third = await download(page, page.locator('.qv-download-link', { hasText: 'Page 3' }));
  assert.equal(third.name, 'atlas-3.pdf');
  assert.equal(pagesIn(third.bytes), 1);
  assert.notDeepEqual(third.bytes, first.bytes);
  assert.deepEqual(page.problems, []);
  await page.close();
});
