// The phone viewer: one page at a time, turned by swiping (mouse and touch) and tapping.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, watchedPage, openBook, waitForPages, PHONE } from './support/browser.mjs';
import { makeBook } from './support/book.mjs';

let browser, book;

before(async () => {
  browser = await launch(PHONE);
  book = await makeBook(browser.context, {
    pageCount: 5,
    outline: [{ caption: 'Apples', pageIndex: 3, children: [] }],
    mobileTabs: { tabs: [{ caption: 'Last<br/>one', pageIndex: 5, color: '#3949AB' }], onSideEdge: false, showPage: false, hasTexture: false }
  });
});

after(async () => {
  await browser.close();
  book.remove();
});

async function mouseSwipe(page, fromX, toX, steps = 8) {
  const box = await page.locator('.qv-swipe').boundingBox();
  const y = box.y + box.height / 2;
  await page.mouse.move(box.x + fromX, y);
  await page.mouse.down();
  for (let i = 1; i <= steps; i++) await page.mouse.move(box.x + fromX + ((toX - fromX) * i) / steps, y);
  await page.mouse.up();
}

async function touchSwipe(page, fromX, toX) {
  const cdp = await page.context().newCDPSession(page);
  const box = await page.locator('.qv-swipe').boundingBox();
  const y = Math.round(box.y + box.height / 2);
  const at = (x) => [{ x: Math.round(box.x + x), y }];
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: at(fromX) });
  for (let i = 1; i <= 6; i++) {
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: at(fromX + ((toX - fromX) * i) / 6) });
  }
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  await cdp.detach();
}

test('the phone viewer shows one phone page and turns it by swiping with mouse and finger', async () => {
  const page = await watchedPage(browser.context);
  await openBook(page, book.mobileUrl);
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [1]);
  assert.equal(await page.getAttribute('.qv-slot[data-offset="0"] img', 'src'), 'files/page/1.jpg');

  await mouseSwipe(page, 300, 60);
  await waitForPages(page, [2]);
  assert.equal(await page.evaluate(() => location.hash), '#p=2');
  await touchSwipe(page, 300, 40);
  await waitForPages(page, [3]);
  await touchSwipe(page, 40, 320);
  await waitForPages(page, [2]);

  // A short drag springs back; swiping back from the first page does nothing.
  await mouseSwipe(page, 200, 180);
  await page.waitForTimeout(300);
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [2]);
  await mouseSwipe(page, 60, 330);
  await waitForPages(page, [1]);
  await mouseSwipe(page, 60, 330);
  await page.waitForTimeout(300);
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [1]);

  // Taps on the right and left edges, the toolbar and the keyboard.
  const box = await page.locator('.qv-swipe').boundingBox();
  await page.mouse.click(box.x + box.width - 20, box.y + box.height / 2);
  await waitForPages(page, [2]);
  await page.mouse.click(box.x + 20, box.y + box.height / 2);
  await waitForPages(page, [1]);
  await page.click('.qv-button-next');
  await waitForPages(page, [2]);
  await page.keyboard.press('End');
  await waitForPages(page, [5]);
  assert.ok(await page.isDisabled('.qv-button-next'));
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('the phone viewer opens at #p=N and reaches pages through search and contents', async () => {
  const page = await watchedPage(browser.context);
  await openBook(page, book.mobileUrl + '#p=4');
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [4]);
  assert.equal(await page.getAttribute('.qv-slot[data-offset="0"] img', 'src'), 'files/page/4.jpg');

  await page.click('.qv-button-search');
  await page.fill('.qv-search-input', 'APPLE');
  await page.press('.qv-search-input', 'Enter');
  await page.click('.qv-search-result[data-page="3"]');
  await waitForPages(page, [3]);
  assert.equal(await page.getAttribute('.qv-panel', 'data-view'), null, 'the panel closes after a choice');

  await page.click('.qv-button-outline');
  const tab = page.locator('.qv-outline-tab');
  assert.equal(await tab.locator('.qv-outline-caption').innerText(), 'Last\none');
  await tab.click();
  await waitForPages(page, [5]);
  await page.click('.qv-button-outline');
  await page.click('.qv-outline-entry[data-page="3"]:not(.qv-outline-tab)');
  await waitForPages(page, [3]);
  assert.deepEqual(page.problems, []);
  await page.close();
});
