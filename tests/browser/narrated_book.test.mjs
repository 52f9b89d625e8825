// Narrated books as the program publishes them (publish_bench --sound ...), read in the
// real viewers: which sound the player is asked to play on which spread. The browser's
// sound object is replaced by a stand-in that records what it was given and ends when
// the test says.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, watchedPage, openBook, waitForPages, DESKTOP, PHONE } from './support/browser.mjs';
import { printPdf, publish } from './support/publish.mjs';
import { narratedPage, silentWav } from './support/sounds.mjs';

let dir, browser, automatic, manual, spoken;
const LENGTHS = [1.5, 1.2]; // seconds of the sounds of spreads 0 and 1 of the spoken book

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-narrated-'));
  browser = await launch(DESKTOP);
  const pdf = path.join(dir, 'source.pdf');
  await printPdf(browser.context, pdf, ['one', 'two', 'three', 'four', 'five', 'six', 'seven']);
  for (const name of ['cover', 'middle', 'two']) fs.writeFileSync(path.join(dir, name + '.mp3'), 'ID3 ' + name);
  const sound = (spread, name) => ['--sound', `${spread}=${path.join(dir, name + '.mp3')}`];
  automatic = pathToFileURL(publish(pdf, path.join(dir, 'automatic'), 'book',
    [...sound(0, 'cover'), ...sound(2, 'middle'), '--delay', '100', '--mute', '200'])).href;
  manual = pathToFileURL(publish(pdf, path.join(dir, 'manual'), 'book', [...sound(1, 'two'), '--manual'])).href;
  LENGTHS.forEach((seconds, spread) => fs.writeFileSync(path.join(dir, `spoken${spread}.mp3`), silentWav(seconds)));
  spoken = pathToFileURL(publish(pdf, path.join(dir, 'spoken'), 'book',
    [...LENGTHS.flatMap((s, spread) => sound(spread, `spoken${spread}`)), '--delay', '100', '--mute', '100'])).href;
});

after(async () => {
  await browser.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

const requests = (page) => page.evaluate(() => Quorvel.narration.requests.map((r) => [r.spread, r.sound, r.reason]));

test('automatic narration plays each spread\'s sound and turns on after the pauses', async () => {
  const page = await narratedPage(browser.context);
  await openBook(page, automatic);
  await page.waitForFunction(() => Quorvel.narration && sounds.length === 1);
  assert.deepEqual(await requests(page), [[0, 'files/narration/1.mp3', 'auto']]);
  assert.equal(await page.isVisible('.qv-button-narration'), false, 'no play button in automatic mode');

  // The cover's sound ends: after the pause the book turns to spread 1 (no sound), and
  // after the silent pause to spread 2, whose sound plays.
  await page.evaluate(() => sounds[0].end());
  await waitForPages(page, [2, 3]);
  await page.waitForFunction(() => sounds.length === 2, null, { timeout: 5000 });
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [4, 5]);
  assert.deepEqual(await requests(page), [[0, 'files/narration/1.mp3', 'auto'], [2, 'files/narration/4_5.mp3', 'auto']]);
  assert.equal(fs.readFileSync(new URL('files/narration/4_5.mp3', automatic), 'utf8'), 'ID3 middle');

  // Turning the page by hand stops the sound that plays.
  await page.click('.qv-button-prev');
  await waitForPages(page, [2, 3]);
  assert.equal(await page.evaluate(() => sounds[1].paused), true);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('manual narration plays the open spread\'s sound when the reader asks', async () => {
  const page = await narratedPage(browser.context);
  await openBook(page, manual);
  await page.waitForFunction(() => Quorvel.narration);
  await page.waitForSelector('.qv-button-narration');
  assert.equal(await page.isDisabled('.qv-button-narration'), true, 'the cover has no sound');
  await page.waitForTimeout(200);
  assert.deepEqual(await page.evaluate(() => sounds.length), 0);

  await page.click('.qv-button-next');
  await waitForPages(page, [2, 3]);
  await page.waitForFunction(() => !document.querySelector('.qv-button-narration').disabled);
  await page.click('.qv-button-narration');
  assert.deepEqual(await requests(page), [[1, 'files/narration/2_3.mp3', 'manual']]);
  assert.deepEqual(await page.evaluate(() => sounds.map((s) => [s.url, s.paused])), [['files/narration/2_3.mp3', false]]);
  // A second press stops it; the sound ending turns no page in manual mode.
  await page.click('.qv-button-narration');
  assert.equal(await page.evaluate(() => sounds[0].paused), true);
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [2, 3]);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('the phone version follows the narration one page at a time', async () => {
  const phone = await launch(PHONE);
  try {
    const page = await narratedPage(phone.context);
    await page.goto(automatic);
    await page.waitForURL(/mobile\/index\.html/);
    await page.waitForFunction(() => window.Quorvel && Quorvel.narration && sounds.length === 1);
    assert.equal(await page.evaluate(() => sounds[0].url), '../files/narration/1.mp3');
    await page.evaluate(() => sounds[0].end());
    // Spread 1 shows page 2 alone on a phone; the narration goes on to spread 2 all the same.
    await page.waitForFunction(() => sounds.length === 2, null, { timeout: 5000 });
    assert.deepEqual(await page.evaluate(() => [Quorvel.reader.pages, sounds[1].url]), [[4], '../files/narration/4_5.mp3']);
    assert.deepEqual(page.problems, []);
  } finally {
    await phone.close();
  }
});

test('a sound that reports an error once it plays keeps its spread open for its length', async () => {
  // As Firefox does without a sound output: "error" soon after "playing", then it plays on silently.
  const page = await watchedPage(browser.context);
  await page.addInitScript(() => {
    window.events = [];
    const Sound = window.Audio;
    window.Audio = function (url) {
      const sound = new Sound(url);
      sound.addEventListener('playing', () => {
        events.push(['playing', performance.now()]);
        setTimeout(() => sound.dispatchEvent(new Event('error')), 10);
      }, { once: true });
      return sound;
    };
    document.addEventListener('DOMContentLoaded', () => Quorvel.events.on('spread', () => events.push(['spread', performance.now()])));
  });
  await openBook(page, spoken);
  await page.keyboard.press('Shift'); // the browser may wait for the reader's touch before sound
  await page.waitForFunction((n) => events.filter((e) => e[0] === 'spread').length > n, LENGTHS.length, { timeout: 20000 });
  const events = await page.evaluate(() => events);
  const [played, opened] = ['playing', 'spread'].map((kind) => events.filter((e) => e[0] === kind).map((e) => e[1]));
  LENGTHS.forEach((seconds, i) => {
    const open = opened[i + 1] - played[i];
    assert.ok(open >= seconds * 1000, `spread ${i} turned ${Math.round(open)} ms after its sound began, which lasts ${seconds * 1000} ms`);
  });
  await page.close();
});
