// Narrated books as the program publishes them (publish_bench --sound ...), read in the
// real viewers of each browser engine: which sound the player is asked to play on which
// spread, and a real sound played through the engine's sound output. In the first
// books the browser's sound object is a stand-in (support/sounds.mjs) that records what
// it was given and ends when the test says.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launchEngine, openBook, waitForPages } from './support/engine.mjs';
import { makePdf, publish, extraScript } from './support/publish.mjs';
import { SOUND_STAND_IN } from './support/sounds.mjs';

const here = path.dirname(new URL(import.meta.url).pathname);
let dir, browser, automatic, manual, spoken;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-narrated-'));
  const pdf = path.join(dir, 'source.pdf');
  await makePdf(pdf, ['one', 'two', 'three', 'four', 'five', 'six', 'seven']);
  for (const name of ['cover', 'middle', 'two']) fs.writeFileSync(path.join(dir, name + '.mp3'), 'ID3 ' + name);
  const sound = (spread, file) => ['--sound', `${spread}=${file}`];
  const fake = (name) => path.join(dir, name + '.mp3');
  const standIn = extraScript(dir, SOUND_STAND_IN);
  automatic = pathToFileURL(publish(pdf, path.join(dir, 'automatic'), 'book',
    [...sound(0, fake('cover')), ...sound(2, fake('middle')), '--delay', '100', '--mute', '200', ...standIn])).href;
  manual = pathToFileURL(publish(pdf, path.join(dir, 'manual'), 'book', [...sound(1, fake('two')), '--manual', ...standIn])).href;
  const tone = path.join(here, '../data/narration/tone.mp3');
  spoken = pathToFileURL(publish(pdf, path.join(dir, 'spoken'), 'book',
    [...sound(0, tone), ...sound(1, tone), '--delay', '50', ...extraScript(dir)])).href;
  browser = await launchEngine();
});

after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

const requests = (page) => page.evaluate(() => Quorvel.narration.requests.map((r) => [r.spread, r.sound, r.reason]));

test('automatic narration plays each spread\'s sound and turns on after the pauses', async () => {
  const page = await browser.newPage();
  await openBook(page, automatic);
  await page.waitFor(() => Quorvel.narration && sounds.length === 1);
  assert.deepEqual(await requests(page), [[0, 'files/narration/1.mp3', 'auto']]);
  assert.equal(await page.visible('.qv-button-narration'), false, 'no play button in automatic mode');

  // The cover's sound ends: after the pause the book turns to spread 1 (no sound), and
  // after the silent pause to spread 2, whose sound plays.
  await page.evaluate(() => sounds[0].end());
  await waitForPages(page, [2, 3]);
  await page.waitFor(() => sounds.length === 2);
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [4, 5]);
  assert.deepEqual(await requests(page), [[0, 'files/narration/1.mp3', 'auto'], [2, 'files/narration/4_5.mp3', 'auto']]);
  assert.equal(fs.readFileSync(new URL('files/narration/4_5.mp3', automatic), 'utf8'), 'ID3 middle');

  // Turning the page by hand stops the sound that plays.
  await page.click('.qv-button-prev');
  await waitForPages(page, [2, 3]);
  assert.equal(await page.evaluate(() => sounds[1].paused), true);
  assert.deepEqual(await page.problems(), []);
  await page.close();
});

test('manual narration plays the open spread\'s sound when the reader asks', async () => {
  const page = await browser.newPage();
  await openBook(page, manual);
  await page.waitFor(() => Quorvel.narration && document.querySelector('.qv-button-narration'));
  assert.equal(await page.disabled('.qv-button-narration'), true, 'the cover has no sound');
  await page.sleep(200);
  assert.equal(await page.evaluate(() => sounds.length), 0);

  await page.click('.qv-button-next');
  await waitForPages(page, [2, 3]);
  await page.waitFor(() => !document.querySelector('.qv-button-narration').disabled);
  await page.click('.qv-button-narration');
  assert.deepEqual(await requests(page), [[1, 'files/narration/2_3.mp3', 'manual']]);
  assert.deepEqual(await page.evaluate(() => sounds.map((s) => [s.url, s.paused])), [['files/narration/2_3.mp3', false]]);
  // A second press stops it; a sound that ends turns no page in manual mode.
  await page.click('.qv-button-narration');
  assert.equal(await page.evaluate(() => sounds[0].paused), true);
  await page.click('.qv-button-narration');
  await page.evaluate(() => sounds[1].end());
  await page.sleep(300);
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [2, 3]);
  assert.deepEqual(await page.problems(), []);
  await page.close();
});

test('a real recording plays through the sound output and its end turns the page', async () => {
  const page = await browser.newPage();
  await openBook(page, spoken);
  // The cover's second of sound plays: its time runs.
  await page.waitFor(() => Quorvel.narration && Quorvel.narration.audio && Quorvel.narration.audio.currentTime > 0.2);
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [1]);
  // Its end turns the book to pages 2 and 3, whose recording plays in turn.
  await waitForPages(page, [2, 3]);
  await page.waitFor(() => Quorvel.narration.audio && Quorvel.narration.audio.currentTime > 0.2);
  assert.deepEqual(await requests(page), [[0, 'files/narration/1.mp3', 'auto'], [1, 'files/narration/2_3.mp3', 'auto']]);
  assert.deepEqual(await page.problems(), []);
  await page.close();
});

test('the phone version follows the narration one page at a time', async () => {
  const phone = await launchEngine({ phone: true });
  try {
    const page = await phone.newPage();
    await page.goto(automatic);
    await page.waitFor(() => /mobile\/index\.html/.test(location.href) && window.Quorvel && Quorvel.narration && sounds.length === 1);
    assert.equal(await page.evaluate(() => sounds[0].url), '../files/narration/1.mp3');
    await page.evaluate(() => sounds[0].end());
    // Spread 1 shows page 2 alone on a phone; the narration goes on to spread 2 all the same.
    await page.waitFor(() => sounds.length === 2);
    assert.deepEqual(await page.evaluate(() => [Quorvel.reader.pages, sounds[1].url]), [[4], '../files/narration/4_5.mp3']);
    assert.deepEqual(await page.problems(), []);
    await page.close();
  } finally {
    await phone.close();
  }
});
