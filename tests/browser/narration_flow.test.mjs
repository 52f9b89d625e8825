// A book narrated in the program's windows (tests/shell/web NarrationFlowTest: a spoken
// cover and an imported recording, saved, reopened and published from the main
// window), read in the browser: which sound plays on which spread, and that the
// spoken one is a real sound of the length the program measured.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, openBook, waitForPages, DESKTOP } from './support/browser.mjs';
import { publishFromWindow } from './support/publish.mjs';
import { narratedPage } from './support/sounds.mjs';

const here = path.dirname(new URL(import.meta.url).pathname);
let dir, browser, url;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-narration-flow-'));
  publishFromWindow('NarrationFlowTest', dir);
  url = pathToFileURL(path.join(dir, 'Almanac.html')).href;
  browser = await launch(DESKTOP);
});

after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

test('each spread plays its own sound, the spoken cover first', async () => {
  const page = await narratedPage(browser.context);
  await openBook(page, url);
  await page.waitForFunction(() => window.Quorvel.narration && window.sounds.length === 1);
  assert.deepEqual(await page.evaluate(() => sounds.map((s) => [s.url, s.paused])), [['files/narration/1.mp3', false]]);
  // The chosen character shows, speaking while a sound plays.
  const narrator = () => page.$eval('.qv-narrator', (img) => [img.getAttribute('src'), img.complete && img.naturalWidth > 0,
    img.classList.contains('qv-narrator-speaking')]);
  await page.waitForFunction(() => document.querySelector('.qv-narrator')?.complete);
  assert.deepEqual(await narrator(), ['files/narration/character.png', true, true]);

  // The cover's sound ends: the book turns to pages 2 and 3, whose recording plays.
  await page.evaluate(() => sounds[0].end());
  assert.equal((await narrator())[2], false, 'silent between the sounds');
  await waitForPages(page, [2, 3]);
  await page.waitForFunction(() => sounds.length === 2, null, { timeout: 10000 });
  assert.deepEqual(await page.evaluate(() => [sounds[0].paused, sounds[1].url, sounds[1].paused]),
    [true, 'files/narration/2_3.mp3', false]);
  const played = await page.evaluate(() => Quorvel.narration.requests.map((r) => [r.spread, r.sound]));
  assert.deepEqual(played, [[0, 'files/narration/1.mp3'], [1, 'files/narration/2_3.mp3']]);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('the sounds are the spoken text and the imported recording', async () => {
  const spoken = fs.readFileSync(path.join(dir, 'files/narration/1.mp3'));
  const imported = fs.readFileSync(path.join(dir, 'files/narration/2_3.mp3'));
  assert.deepEqual(imported, fs.readFileSync(path.join(here, '../data/narration/tone.mp3')));
  const page = await browser.context.newPage();
  // The browser decodes both: the spoken cover lasts seconds, the recording one second.
  const seconds = await page.evaluate(async (files) => {
    const context = new OfflineAudioContext(1, 1, 22050);
    const out = [];
    for (const base64 of files) {
      const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
      out.push((await context.decodeAudioData(bytes.buffer)).duration);
    }
    return out;
  }, [spoken.toString('base64'), imported.toString('base64')]);
  assert.ok(seconds[0] > 1.5 && seconds[0] < 15, `the spoken cover lasts ${seconds[0]} s`);
  assert.ok(Math.abs(seconds[1] - 1.0) < 0.15, `the recording lasts ${seconds[1]} s`);
  await page.close();
});
