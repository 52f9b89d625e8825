// A book whose parts were set, saved in a project, reopened and published from the main
// window (tests/shell/web BookPartsFlowTest), read in the browser: its bookmark tabs,
// the password it asks for, its narration, its scene and its download button.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, openBook, DESKTOP } from './support/browser.mjs';
import { publishFromWindow } from './support/publish.mjs';
import { narratedPage } from './support/sounds.mjs';

const PASSWORD = 'open sesame';
let dir, browser, url;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-parts-'));
  publishFromWindow('BookPartsFlowTest', dir);
  url = pathToFileURL(path.join(dir, 'Almanac.html')).href;
  browser = await launch(DESKTOP);
});

after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

test('the published book shows its tabs, scene and download, asks for its password and narrates', async () => {
  const page = await narratedPage(browser.context);
  await openBook(page, url);

  const tabs = await page.$$eval('.qv-tab', (els) => els.map((e) => [e.dataset.page, e.querySelector('.qv-tab-caption').textContent]));
  assert.deepEqual(tabs, [['1', 'Start'], ['3', 'Third']]);
  const layers = await page.$$eval('.qv-scene-back img', (els) => els.map((i) => i.getAttribute('src')));
  assert.deepEqual(layers, ['files/scenes/Resources/tree.png']);
  assert.ok(await page.isVisible('.qv-button-download'), 'the download button shows');

  // Every page is protected: the cover asks at once; a wrong password reveals nothing.
  await page.waitForSelector('.qv-secure-dialog');
  await page.fill('.qv-secure-password', 'wrong');
  await page.click('.qv-secure-open');
  await page.waitForFunction(() => /Wrong password/.test(document.querySelector('.qv-secure-message').textContent));
  assert.doesNotMatch(await page.getAttribute('.qv-page[data-page="1"] img', 'src') || '', /^blob:/);
  await page.fill('.qv-secure-password', PASSWORD);
  await page.click('.qv-secure-open');
  await page.waitForFunction(() => /^blob:/.test(document.querySelector('.qv-page[data-page="1"] img').getAttribute('src') || ''));

  // The cover's sound, decrypted, plays.
  await page.waitForFunction(() => window.Quorvel.narration && window.sounds.some((s) => !s.paused));
  const playing = await page.evaluate(() => window.Quorvel.narration.requests.map((r) => [r.spread, r.sound]));
  assert.deepEqual(playing[0], [0, 'files/secure/sound/0.js']);
  assert.match(await page.evaluate(() => window.sounds[0].url), /^blob:/);
  assert.deepEqual(page.problems, []);
  await page.close();
});
