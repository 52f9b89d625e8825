// A book protected by a users list that has everything a page can have besides its
// picture: narration on every spread, page links (annotations), the whole PDF to
// download and an attachment. Before the reader is let in, the book does nothing: it
// asks for nothing of a protected page, plays nothing, turns no page, and no file of it
// holds a protected page's text, links, attachment or sounds in the clear. After logging
// in as each user, every spread plays its own sound, the links and downloads are there.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import crypto from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, DESKTOP, PHONE } from './support/browser.mjs';
import { printPdf, publish } from './support/publish.mjs';
import { serveFolder } from './support/serve.mjs';
import { recordingPage, passTime, digestOf } from './support/activity.mjs';

const WORDS = ['marmalade', 'quarantine', 'pinafore', 'sextant', 'tamarind', 'zeppelin'];
const USERS = [['ann', 'first one'], ['Bo Li', 'second']];
const LINK = (n) => `https://example.com/guarded-link-${n}`;
const ATTACHMENT = 'Price list 2024.csv';

let dir, book, browser, server;
const sounds = [];    // the MP3 of spread i
let attachment, pdf;

const sha256 = (data) => crypto.createHash('sha256').update(data).digest('hex');

// A sound that starts like an MP3 frame (MPEG-1 layer III, 128 kbit/s) and is no other.
function mp3() {
  return Buffer.concat([Buffer.from([0xff, 0xfb, 0x90, 0x64]), crypto.randomBytes(600)]);
}

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-guarded-'));
  browser = await launch(DESKTOP);
  pdf = path.join(dir, 'source.pdf');
  await printPdf(browser.context, pdf, WORDS);
  fs.writeFileSync(path.join(dir, 'users.txt'), USERS.map((u) => u.join('\t')).join('\n') + '\n');
  const options = ['--users', path.join(dir, 'users.txt'), '--delay', '100', '--mute', '100'];
  // Six pages: the spreads [1], [2, 3], [4, 5], [6].
  for (let spread = 0; spread < 4; spread++) {
    sounds.push(mp3());
    fs.writeFileSync(path.join(dir, `${spread}.mp3`), sounds[spread]);
    options.push('--sound', `${spread}=${path.join(dir, `${spread}.mp3`)}`);
  }
  attachment = Buffer.from('item;price\nguarded attachment ' + crypto.randomBytes(24).toString('hex') + ';12\n');
  fs.writeFileSync(path.join(dir, ATTACHMENT), attachment);
  const pages = WORDS.map((w, i) => `<page><link url="${LINK(i + 1)}" rect="10,10,80,20"/></page>`).join('');
  fs.writeFileSync(path.join(dir, 'annotations.xml'), `<pagesAnnotations version="1">${pages}</pagesAnnotations>`);
  options.push('--whole', pdf, '--attach', path.join(dir, ATTACHMENT), '--annotations', path.join(dir, 'annotations.xml'));
  book = path.dirname(publish(pdf, path.join(dir, 'book'), 'book', options));
  server = await serveFolder(book);
});

after(async () => {
  server.close();
  await browser.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

// Opens the book and waits for the password dialog, which the first page in sight asks
// for; the test moves the page's clock 15 s on from there.
async function openLocked(page, url) {
  await page.goto(url);
  await page.waitForFunction(() => window.Quorvel && Quorvel.reader && Quorvel.narration !== undefined);
  await page.waitForSelector('.qv-secure-dialog');
}

// What a locked book has done: pages it shows, sounds asked for and played.
function activity(page) {
  return page.evaluate(() => ({
    pages: Quorvel.reader.pages, box: document.querySelector('.qv-page-input').value,
    sounds: window.sounds.length, plays: window.plays, requests: Quorvel.narration ? Quorvel.narration.requests.length : 0,
    text: document.body.innerText
  }));
}

// Requests of a protected page's files: anything below files/secure/ but the access
// data, the sounds, the downloads.
function protectedRequests(requests) {
  return requests.filter((r) => /\/files\/(secure\/(?!book\.js$)|narration\/.*\.mp3$|download\/)/.test(r));
}

async function logIn(page, user, password) {
  await page.fill('.qv-secure-user', user);
  await page.fill('.qv-secure-password', password);
  await page.click('.qv-secure-open');
  await page.waitForSelector('.qv-secure-dialog', { state: 'detached' });
}

// The narration plays spread `spread`'s own sound: its bytes are those of that spread.
async function playsSpread(page, count, spread) {
  await page.waitForFunction((n) => window.sounds.length === n && !window.sounds[n - 1].paused, count);
  const url = await page.evaluate((n) => window.sounds[n - 1].url, count);
  assert.match(url, /^blob:/);
  assert.equal(await digestOf(page, url), sha256(sounds[spread]), `the sound of spread ${spread}`);
}

// The downloads of the panel: each one's name and the digest of its bytes.
async function downloadAll(page) {
  await page.click('.qv-button-download');
  await page.waitForFunction((name) => document.querySelector('.qv-download').textContent.includes(name), ATTACHMENT);
  const links = await page.$$('.qv-download-link');
  const got = [];
  for (const link of links) {
    const before = await page.evaluate(() => window.downloads.length);
    await link.click();
    await page.waitForFunction((n) => window.downloads.length > n, before);
    const d = await page.evaluate(() => window.downloads[window.downloads.length - 1]);
    got.push([d.name, await digestOf(page, d.url)]);
  }
  return got;
}

test('before logging in the desktop book asks for, plays and turns nothing', async () => {
  for (const url of [server.base + 'book.html', pathToFileURL(path.join(book, 'book.html')).href]) {
    const page = await recordingPage(browser.context);
    const asked = server.requests.length;
    await openLocked(page, url);
    await passTime(page, 15000);
    const done = await activity(page);
    assert.deepEqual([done.pages, done.box, done.sounds, done.plays, done.requests], [[1], '1', 0, [], 0], url);
    // The download panel offers the files without naming the attachment.
    await page.click('.qv-secure-cancel');
    await page.click('.qv-button-download');
    assert.doesNotMatch(await page.textContent('.qv-download'), /Price list/);
    await passTime(page, 15000);
    assert.deepEqual((await activity(page)).pages, [1]);
    for (const word of WORDS) assert.ok(!done.text.includes(word), word);
    if (url.startsWith('http')) assert.deepEqual(protectedRequests(server.requests.slice(asked)), []);
    assert.deepEqual(page.problems, []);
    await page.close();
  }
});

test('every user hears each spread\'s own sound, follows the links and downloads the files', async () => {
  for (const [user, password] of USERS) {
    const page = await recordingPage(browser.context);
    await openLocked(page, server.base + 'book.html');
    await logIn(page, user, password);
    await playsSpread(page, 1, 0);
    await page.evaluate(() => window.sounds[0].end());
    await playsSpread(page, 2, 1);
    assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [2, 3]);
    // The links of the pages come back whole.
    const links = await page.evaluate(async () => {
      const guard = await Quorvel.security;
      return Promise.all([1, 2, 3, 4, 5, 6].map((n) => guard.pageAnnotations(n)));
    });
    links.forEach((xml, i) => assert.match(xml, new RegExp(`<link url="${LINK(i + 1)}"`)));
    assert.deepEqual(await downloadAll(page), [['source.pdf', sha256(fs.readFileSync(pdf))],
      [ATTACHMENT, sha256(attachment)]]);
    assert.deepEqual(page.problems, [], user);
    await page.close();
  }
});

test('the phone version does nothing before logging in, and everything after', async () => {
  const phone = await launch(PHONE);
  try {
    const page = await recordingPage(phone.context);
    const asked = server.requests.length;
    await openLocked(page, server.base + 'book.html');
    assert.match(page.url(), /mobile\/index\.html/);
    await passTime(page, 15000);
    const done = await activity(page);
    assert.deepEqual([done.pages, done.sounds, done.plays, done.requests], [[1], 0, [], 0]);
    assert.deepEqual(protectedRequests(server.requests.slice(asked)), []);

    await logIn(page, ...USERS[1]);
    await playsSpread(page, 1, 0);
    await page.evaluate(() => window.sounds[0].end());
    await playsSpread(page, 2, 1);
    // The phone version's sounds and attachment are the desktop book's payloads.
    assert.ok(server.requests.includes('/files/secure/sound/1.js'));
    assert.deepEqual(await downloadAll(page), [['source.pdf', sha256(fs.readFileSync(pdf))],
      [ATTACHMENT, sha256(attachment)]]);
    assert.deepEqual(page.problems, []);
  } finally {
    await phone.close();
  }
});

// Slices of a secret: found in a file only when the secret is there in the clear.
function slices(data) {
  const out = [];
  for (let at = 0; at + 16 <= data.length; at += 64) out.push(data.subarray(at, at + 16));
  return out;
}

test('no file of the book holds a protected page\'s text, link, attachment or sound', () => {
  const files = fs.readdirSync(book, { withFileTypes: true, recursive: true }).filter((e) => e.isFile())
    .map((e) => path.join(e.parentPath ?? e.path, e.name));
  const secrets = [...WORDS.map((w) => [w, Buffer.from(w)]), ...WORDS.map((w, i) => [LINK(i + 1), Buffer.from(LINK(i + 1))]),
    [ATTACHMENT, Buffer.from(ATTACHMENT)], ...slices(attachment).map((s) => ['attachment bytes', s]),
    ...sounds.flatMap((s, i) => slices(s).map((piece) => [`sound ${i}`, piece]))];
  for (const file of files) {
    const data = fs.readFileSync(file);
    for (const [what, secret] of secrets) assert.ok(!data.includes(secret), `${what} in ${path.relative(book, file)}`);
  }
  // What says a page is protected stays: the spreads name their encrypted sounds.
  assert.match(fs.readFileSync(path.join(book, 'files/narration.js'), 'utf8'), /"sound":"files\/secure\/sound\/3\.js"/);
  assert.match(fs.readFileSync(path.join(book, 'mobile/files/narration.js'), 'utf8'), /"sound":"\.\.\/files\/secure\/sound\/0\.js"/);
});
