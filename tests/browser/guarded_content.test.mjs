// A book protected by a users list, with narration on every spread, page links, the
// whole PDF and an attachment to download. Before the reader is let in it asks for
// nothing of a protected page, plays nothing and turns no page, on the desktop and the
// phone, each from disk and over http; no file of it holds a protected page's text, links,
// attachment or sounds. Each user then hears every spread's own sound and gets the links
// and downloads. It runs in every browser engine (support/engine.mjs); the book carries
// the sound stand-in and a clock of its own in its extra script, so 15 s of the page's
// time pass at once in each of them.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import crypto from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launchEngine } from './support/engine.mjs';
import { makePdf, publish, extraScript } from './support/publish.mjs';
import { serveFolder } from './support/serve.mjs';
import { passTime, digestOf, SOUND_STAND_IN, PAGE_CLOCK } from './support/sounds.mjs';

const WORDS = ['marmalade', 'quarantine', 'pinafore', 'sextant', 'tamarind', 'zeppelin'];
const USERS = [['ann', 'first one'], ['Bo Li', 'second']];
const LINK = (n) => `https://example.com/guarded-link-${n}`;
const ATTACHMENT = 'Price list 2024.csv';
const sha256 = (data) => crypto.createHash('sha256').update(data).digest('hex');
let dir, book, browser, server, pdf, attachment;
const sounds = []; // spread i's sound, which starts like an MP3 frame (MPEG-1 layer III)

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-guarded-'));
  pdf = path.join(dir, 'source.pdf');
  await makePdf(pdf, WORDS);
  const file = (name, data) => { fs.writeFileSync(path.join(dir, name), data); return path.join(dir, name); };
  const options = ['--users', file('users.txt', USERS.map((u) => u.join('\t')).join('\n')), '--delay', '100', '--mute', '100'];
  for (let spread = 0; spread < 4; spread++) { // six pages: [1], [2, 3], [4, 5], [6]
    sounds.push(Buffer.concat([Buffer.from([0xff, 0xfb, 0x90, 0x64]), crypto.randomBytes(600)]));
    options.push('--sound', `${spread}=${file(`${spread}.mp3`, sounds[spread])}`);
  }
  attachment = Buffer.from('item;price\nguarded ' + crypto.randomBytes(24).toString('hex') + ';12\n');
  const links = WORDS.map((w, i) => `<page><link url="${LINK(i + 1)}" rect="10,10,80,20"/></page>`).join('');
  options.push('--whole', pdf, '--attach', file(ATTACHMENT, attachment),
    '--annotations', file('annotations.xml', `<pagesAnnotations version="1">${links}</pagesAnnotations>`));
  options.push(...extraScript(dir, SOUND_STAND_IN + PAGE_CLOCK));
  book = path.dirname(publish(pdf, path.join(dir, 'book'), 'book', options));
  server = await serveFolder(book);
  browser = await launchEngine();
});

after(async () => {
  server?.close();
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

// Spread `spread`'s own sound plays (decrypted), as the count-th sound the page made.
async function playsSpread(page, count, spread) {
  await page.waitFor((n) => window.sounds.length === n && !window.sounds[n - 1].paused, count);
  const url = await page.evaluate((n) => window.sounds[n - 1].url, count);
  assert.equal(await digestOf(page, url), sha256(sounds[spread]), `the sound of spread ${spread}`);
}

async function readAsUser(phone, url, user, password) {
  const engine = phone ? await launchEngine({ phone: true }) : browser;
  const page = await engine.newPage();
  try {
    const asked = server.requests.length;
    await page.goto(url);
    await page.waitFor(() => document.querySelector('.qv-secure-dialog'));
    await passTime(page, 15000);
    const idle = await page.evaluate(() => [Quorvel.reader.pages, window.sounds.length, window.plays, document.body.innerText]);
    assert.deepEqual(idle.slice(0, 3), [[1], 0, []], `${url} did something before the password`);
    // The download panel names no attachment yet; it does once the book is open.
    await page.click('.qv-secure-cancel');
    await page.click('.qv-button-download');
    for (const secret of [...WORDS, ATTACHMENT]) assert.ok(!(idle[3] + await page.text('.qv-download')).includes(secret));
    if (url.startsWith('http')) {
      assert.deepEqual(server.requests.slice(asked).filter((r) => /^files\/(secure\/(?!book\.js)|narration\/|download\/)/.test(r)), []);
    }

    // The attachment asks for the password.
    const [WHOLE, LAST] = ['.qv-download li:first-child .qv-download-link', '.qv-download li:last-child .qv-download-link'];
    await page.click(LAST);
    await page.fill('.qv-secure-user', user);
    await page.fill('.qv-secure-password', password);
    await page.click('.qv-secure-open');
    await playsSpread(page, 1, 0);
    await page.waitFor(() => /^blob:/.test(document.querySelector('.qv-page[data-page="1"] img, .qv-slot[data-offset="0"] img').src));
    await page.evaluate(() => window.sounds[0].end());
    await playsSpread(page, 2, 1);
    const links = await page.evaluate(async () => Promise.all([1, 2, 3, 4, 5, 6].map(async (n) => (await Quorvel.security).pageAnnotations(n))));
    links.forEach((xml, i) => assert.match(xml, new RegExp(`<link url="${LINK(i + 1)}"`)));
    await page.waitFor((name) => document.querySelector('.qv-download').textContent.includes(name), ATTACHMENT);
    const got = [];
    assert.equal(await page.count('.qv-download-link'), 2);
    for (const link of [null, WHOLE, LAST]) {
      if (link) await page.click(link);
      await page.waitFor((n) => window.downloads.length > n, got.length);
      const d = await page.evaluate((n) => window.downloads[n], got.length);
      got.push([d.name, await digestOf(page, d.url)]);
    }
    const [whole, attached] = [['source.pdf', sha256(fs.readFileSync(pdf))], [ATTACHMENT, sha256(attachment)]];
    assert.deepEqual(got, [attached, whole, attached]);
    assert.deepEqual(await page.problems(), []);
  } finally {
    await page.close();
    if (phone) await engine.close();
  }
}

for (const [user, password] of USERS) {
  test(`the desktop book does nothing before ${user} logs in, and everything after`, async () => {
    await readAsUser(false, server.base + 'book.html', user, password);
    await readAsUser(false, pathToFileURL(path.join(book, 'book.html')).href, user, password);
  });
}

test('the phone version does nothing before logging in, and everything after; it shares the sounds', async () => {
  await readAsUser(true, server.base + 'book.html', ...USERS[1]);
  assert.ok(server.requests.includes('files/secure/sound/1.js'));
  // Read from disk, the same.
  await readAsUser(true, pathToFileURL(path.join(book, 'mobile', 'index.html')).href, ...USERS[0]);
});

test('no file of the book holds a protected page\'s text, link, attachment or sound', () => {
  const slices = (data) => Array.from({ length: Math.floor(data.length / 64) }, (_, i) => data.subarray(i * 64, i * 64 + 16));
  const secrets = [...WORDS, ...WORDS.map((w, i) => LINK(i + 1)), ATTACHMENT].map((s) => Buffer.from(s))
    .concat(slices(attachment), ...sounds.map(slices));
  for (const entry of fs.readdirSync(book, { withFileTypes: true, recursive: true }).filter((e) => e.isFile())) {
    const data = fs.readFileSync(path.join(entry.parentPath ?? entry.path, entry.name));
    for (const secret of secrets) assert.ok(!data.includes(secret), `${secret} in ${entry.name}`);
  }
});
