// The phone viewer in each browser engine: one page at a time, turned by swiping (mouse,
// and a finger where the engine's driver has touch input) and tapping.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launchEngine, openBook, waitForPages, RECORDER } from './support/engine.mjs';
import { makeBook } from './support/book.mjs';

let browser, book;

before(async () => {
  book = await makeBook(null, {
    pageCount: 5,
    extraScript: RECORDER,
    outline: [{ caption: 'Apples', pageIndex: 3, children: [] }],
    mobileTabs: { tabs: [{ caption: 'Last<br/>one', pageIndex: 5, color: '#3949AB' }], onSideEdge: false, showPage: false, hasTexture: false }
  });
  browser = await launchEngine({ phone: true });
});

after(async () => {
  await browser?.close();
  book.remove();
});

const pages = (page) => page.evaluate(() => Quorvel.reader.pages);
// The page strip at rest: nothing sliding, the current page in the middle.
const settled = (page) => page.waitFor(() => {
  const strip = document.querySelector('.qv-strip');
  return !strip.getAnimations().some((a) => a.playState === 'running') && /^translate3d\(0px/.test(strip.style.transform);
});

test('the phone viewer shows one phone page and turns it by swiping and tapping', async () => {
  const page = await browser.newPage();
  await openBook(page, book.mobileUrl);
  assert.deepEqual(await pages(page), [1]);
  assert.equal(await page.attribute('.qv-slot[data-offset="0"] img', 'src'), 'files/page/1.jpg');

  await page.drag('.qv-swipe', 300, 60);
  await waitForPages(page, [2]);
  assert.equal(await page.evaluate(() => location.hash), '#p=2');
  if (browser.touch) {
    await page.drag('.qv-swipe', 300, 40, { touch: true });
    await waitForPages(page, [3]);
    await page.drag('.qv-swipe', 40, 320, { touch: true });
    await waitForPages(page, [2]);
  }

  // A short drag springs back; swiping back from the first page does nothing.
  await page.drag('.qv-swipe', 200, 180);
  await settled(page);
  assert.deepEqual(await pages(page), [2]);
  await page.drag('.qv-swipe', 60, 330);
  await waitForPages(page, [1]);
  await page.drag('.qv-swipe', 60, 330);
  await settled(page);
  assert.deepEqual(await pages(page), [1]);

  // Taps on the right and left edges, the toolbar and the keyboard.
  const box = await page.box('.qv-swipe');
  await page.clickAt(box.x + box.width - 20, box.y + box.height / 2);
  await waitForPages(page, [2]);
  await page.clickAt(box.x + 20, box.y + box.height / 2);
  await waitForPages(page, [1]);
  await page.click('.qv-button-next');
  await waitForPages(page, [2]);
  await page.press('End');
  await waitForPages(page, [5]);
  assert.ok(await page.disabled('.qv-button-next'));
  assert.deepEqual(await page.problems(), []);
  await page.close();
});

test('the phone viewer opens at #p=N and reaches pages through search and contents', async () => {
  const page = await browser.newPage();
  await openBook(page, book.mobileUrl + '#p=4');
  assert.deepEqual(await pages(page), [4]);
  assert.equal(await page.attribute('.qv-slot[data-offset="0"] img', 'src'), 'files/page/4.jpg');

  await page.click('.qv-button-search');
  await page.fill('.qv-search-input', 'APPLE');
  await page.press('Enter');
  await page.click('.qv-search-result[data-page="3"]');
  await waitForPages(page, [3]);
  assert.equal(await page.attribute('.qv-panel', 'data-view'), null, 'the panel closes after a choice');

  await page.click('.qv-button-outline');
  assert.equal(await page.evaluate(() => document.querySelector('.qv-outline-tab .qv-outline-caption').innerText), 'Last\none');
  await page.click('.qv-outline-tab');
  await waitForPages(page, [5]);
  await page.click('.qv-button-outline');
  await page.click('.qv-outline-entry[data-page="3"]:not(.qv-outline-tab)');
  await waitForPages(page, [3]);
  assert.deepEqual(await page.problems(), []);
  await page.close();
});
