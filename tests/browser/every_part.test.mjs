// The book with every part, each set in its window, saved, reopened and published from
// the main window (tests/shell/web EveryPartFlowTest), read in Chromium over http as a
// reader meets it. Before a user logs in nothing of a protected page is asked for, shown
// or played, however long the reader waits; after, every part is there: the pages, the
// tabs, the captions, the menu, the extra and the replaced icon, the scene's movie, the
// plug-in bundle's movie, the cover, the downloads, the narration and the page links.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import crypto from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launch, waitForPages, DESKTOP } from './support/browser.mjs';
import { publishFromWindow } from './support/publish.mjs';
import { serveFolder } from './support/serve.mjs';
import { narratedPage, passTime, digestOf } from './support/sounds.mjs';

const WORDS = ['marmalade', 'quarantine', 'pinafore', 'sextant'];
const USERS = [['user0', 'first secret'], ['user1', 'Zweites Geheimnis']];
const LINK = (n) => `https://links.example/ledger-${n}`;
const sha256 = (data) => crypto.createHash('sha256').update(data).digest('hex');
let dir, server, browser;
const source = (name) => fs.readFileSync(path.join(dir, 'sources', name));

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-every-part-'));
  publishFromWindow('EveryPartFlowTest', dir);
  server = await serveFolder(path.join(dir, 'book'));
  browser = await launch(DESKTOP);
});

after(async () => {
  server?.close();
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

async function openedPage() {
  const page = await narratedPage(browser.context, { clock: true });
  await page.addInitScript(() => {
    window.opened = [];
    window.open = (href) => { window.opened.push(href); return null; };
  });
  await page.goto(server.base + 'Ledger.html');
  await page.waitForSelector('.qv-secure-dialog');
  return page;
}

// Spread `spread`'s own sound plays, decrypted, as the count-th sound the page made.
async function playsSpread(page, count, spread) {
  await page.waitForFunction((n) => window.sounds.length === n && !window.sounds[n - 1].paused, count);
  const url = await page.evaluate((n) => window.sounds[n - 1].url, count);
  assert.match(url, /^blob:/);
  assert.equal(await digestOf(page, url), sha256(source(`spread-${spread}.mp3`)), `the sound of spread ${spread}`);
}

// The pages of the PDF an address of the page holds.
function pagesOf(page, url) {
  return page.evaluate(async (url) => {
    const text = new TextDecoder('latin1').decode(await (await fetch(url)).arrayBuffer());
    return (text.match(/\/Type\s*\/Page(?![a-zA-Z])/g) || []).length;
  }, url);
}

test('before a user logs in, nothing of a protected page is asked for, shown or played', async () => {
  const asked = server.requests.length;
  const page = await openedPage();
  await passTime(page, 15000);
  const idle = await page.evaluate(() => [Quorvel.reader.pages, window.sounds.length, window.plays,
    [...document.querySelectorAll('.qv-page img')].filter((i) => i.complete && i.naturalWidth > 0).length]);
  assert.deepEqual(idle, [[1], 0, [], 0]);
  await page.click('.qv-secure-cancel');
  await page.click('.qv-button-download');
  const shown = await page.evaluate(() => document.body.innerText);
  for (const secret of [...WORDS, 'Price list.csv', ...USERS.map(([, p]) => p)]) assert.ok(!shown.includes(secret), secret);
  const protectedFiles = server.requests.slice(asked).filter((r) => /^(mobile\/)?files\/(secure\/(?!book\.js)|narration\/(?!character)|download\/|page\/|large\/|thumb\/)/.test(r));
  assert.deepEqual(protectedFiles, []);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('after a user logs in, every part is there', async () => {
  const page = await openedPage();
  await page.fill('.qv-secure-user', USERS[1][0]);
  await page.fill('.qv-secure-password', USERS[1][1]);
  await page.click('.qv-secure-open');
  await page.waitForFunction(() => /^blob:/.test(document.querySelector('.qv-page[data-page="1"] img')?.src || ''));
  await page.waitForSelector('.qv-preloader', { state: 'detached' });
  await playsSpread(page, 1, 0);

  // The tabs, the caption of the cover, the extra icon and the replaced next-page icon.
  const tabs = await page.$$eval('.qv-tab', (els) => els.map((e) => [e.dataset.page, e.querySelector('.qv-tab-caption').textContent]));
  assert.deepEqual(tabs, [['1', 'Start'], ['4', 'Close']]);
  assert.equal(await page.inputValue('.qv-page-input'), 'i');
  await page.waitForFunction(() => [...document.querySelectorAll('.qv-extra-icon img, .qv-button-next img')]
    .map((i) => i.complete && i.naturalWidth).join() === '32,32');

  // The scene's movie behind the book and the bundle's movie in front play.
  await page.waitForSelector('.qv-scene-movie[data-swf="playing"]');
  await page.waitForSelector('.qv-scene-front img');
  await page.waitForSelector('.qv-plugin[data-swf="playing"]');

  // The cover shows the protected page 1: the book has no share picture.
  assert.equal(await page.getAttribute('meta[property="og:image"]', 'content') || '', '');

  // Every page's link, decrypted.
  const links = await page.evaluate(async () => Promise.all([1, 2, 3, 4].map(async (n) => (await Quorvel.security).pageAnnotations(n))));
  links.forEach((xml, i) => assert.match(xml, new RegExp(`<link url="${LINK(i + 1)}"`)));

  // The menu's entry opens its address.
  await page.click('.qv-button-menu');
  await page.click('.qv-popup-entry >> text=Our site');
  assert.deepEqual(await page.evaluate(() => window.opened), ['https://example.com/ledger']);

  // The downloads, decrypted: the whole PDF, the cover's page and the attachment by name.
  await page.click('.qv-button-download');
  await page.waitForFunction(() => document.querySelector('.qv-download').textContent.includes('Price list.csv'));
  assert.deepEqual(await page.$$eval('.qv-download-link', (els) => els.map((e) => e.textContent)),
    ['Whole book', 'Page i', 'Price list.csv']);
  const got = [];
  for (let i = 0; i < 3; i++) {
    await page.click(`.qv-download li:has(.qv-download-link) >> nth=${i}`);
    await page.waitForFunction((n) => window.downloads.length > n, i);
    const d = await page.evaluate((n) => window.downloads[n], i);
    got.push([d.name, await digestOf(page, d.url)]);
    if (i === 1) got[1].push(await pagesOf(page, d.url));
  }
  assert.deepEqual(got[0], ['Ledger.pdf', sha256(source('Ledger.pdf'))]);
  assert.deepEqual([got[1][0], got[1][2]], ['ledger-1.pdf', 1]);
  assert.deepEqual(got[2], ['Price list.csv', sha256(source('Price list.csv'))]);

  // The extra icon turns to its page, whose spread plays its own sound.
  await page.keyboard.press('Escape');
  await page.click('.qv-extra-icon[title="Contents"]');
  await waitForPages(page, [2, 3]);
  await playsSpread(page, 2, 1);
  assert.deepEqual(page.problems, []);
  await page.close();
});
