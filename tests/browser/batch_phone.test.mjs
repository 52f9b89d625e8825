// The phone versions a batch row wrote (tests/shell/ui BatchWindowTest: the row's mobile
// settings panel chose a green background, "Slide" with double-page slide, and then
// "Flip"), read in each browser engine: two pages slide at a time on the chosen
// background, and the flipping book turns one page at a time.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launchEngine, openBook, waitForPages, RECORDER } from './support/engine.mjs';
import { BIN } from './support/publish.mjs';

let dir, browser;
const GREEN = 'rgb(46, 125, 50)';

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-batch-'));
  const script = path.join(dir, 'extra-script.html');
  fs.writeFileSync(script, RECORDER);
  execFileSync(path.join(BIN, 'tst_shell_ui'), ['BatchWindowTest', 'rowsKeepTheirOutputSettingsAndBecomeBooks'], {
    env: { ...process.env, QUORVEL_BOOK_OUT: dir, QUORVEL_BOOK_SCRIPT: script, QT_QPA_PLATFORM: 'offscreen' },
    stdio: 'pipe',
    timeout: 300000
  });
  browser = await launchEngine({ phone: true });
});

after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

const phoneUrl = (folder) => pathToFileURL(path.join(dir, folder, 'mobile', 'index.html')).href;
const shown = (page) => page.evaluate(() => Array.from(document.querySelectorAll('.qv-slot[data-offset="0"] img'))
  .filter((img) => !img.hidden).map((img) => img.getAttribute('src').replace(/^.*\/page\/(\d+)\.\w+$/, 'page $1')));
const background = (page) => page.evaluate(() => getComputedStyle(document.getElementById('qv-app')).backgroundColor);

test('the batch row\'s phone version slides two pages at a time on its own background', async () => {
  const page = await browser.newPage();
  await openBook(page, phoneUrl('slide'));
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [1, 2]);
  assert.deepEqual(await shown(page), ['page 1', 'page 2']);
  assert.equal(await background(page), GREEN);

  await page.click('.qv-button-next');
  await waitForPages(page, [3, 4]);
  assert.deepEqual(await shown(page), ['page 3', 'page 4']);
  await page.drag('.qv-swipe', 300, 60);
  await waitForPages(page, [5]);
  assert.deepEqual(await shown(page), ['page 5']);
  await page.click('.qv-button-prev');
  await waitForPages(page, [3, 4]);
  assert.deepEqual(await page.problems(), []);
  await page.close();
});

test('the same book flipping turns one page at a time', async () => {
  const page = await browser.newPage();
  await openBook(page, phoneUrl('flip'));
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [1]);
  assert.ok(await page.evaluate(() => !!document.querySelector('.qv-strip.qv-flip')));
  assert.equal(await background(page), GREEN);

  await page.click('.qv-button-next');
  await waitForPages(page, [2]);
  assert.deepEqual(await shown(page), ['page 2']);
  await page.drag('.qv-swipe', 300, 60);
  await waitForPages(page, [3]);
  // The leaf turned back over the current one, not the strip moved aside.
  await page.drag('.qv-swipe', 60, 330);
  await waitForPages(page, [2]);
  assert.equal(await page.evaluate(() => document.querySelector('.qv-strip').style.transform), '');
  assert.deepEqual(await page.problems(), []);
  await page.close();
});
