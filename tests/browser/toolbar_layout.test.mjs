// The desktop viewer's toolbar at every width from a small phone to a large screen: no
// control lies on another or outside the window, and what does not fit is reachable
// through the "more" menu.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, watchedPage, openBook, waitForPages, DESKTOP } from './support/browser.mjs';
import { makeBook } from './support/book.mjs';

const IPAD = 'Mozilla/5.0 (iPad; CPU OS 16_6 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) Version/16.6 Mobile/15E148 Safari/604.1';

let browser, book;

before(async () => {
  browser = await launch(DESKTOP);
  // A book with every toolbar tool, the author's icons and a long title.
  book = await makeBook(browser.context, {
    pageCount: 8,
    loadType: 2,
    title: 'An annual report of the society of orchard keepers, with tables',
    outline: [{ caption: 'Chapter 1', pageIndex: 3, children: [] }],
    config: {
      showDownloadButton: true,
      shareButtons: [{ title: 'Mail', link: 'mailto:?body=${url}', logo: '' }],
      menuItems: [{ caption: 'To page 6', type: 'goToPage', value: '6' }],
      download: { wholeFile: 'files/download/all.pdf', pageFiles: [], pagePrefix: '', attachments: [] },
      extraIcons: [
        { caption: 'Orchard', icon: '', type: 0, content: '5', target: '' },
        { caption: 'Prices', icon: '', type: 0, content: '7', target: '' }
      ]
    }
  });
});

after(async () => {
  await browser.close();
  book.remove();
});

// The shown controls of the toolbar with their boxes.
function controls(page) {
  return page.evaluate(() => [...document.querySelectorAll('.qv-toolbar button, .qv-toolbar .qv-page-box, .qv-toolbar .qv-title')]
    .filter((el) => !el.closest('.qv-page-box') || el.classList.contains('qv-page-box'))
    .map((el) => ({ el, r: el.getBoundingClientRect() }))
    .filter(({ r }) => r.width > 0 && r.height > 0)
    .map(({ el, r }) => ({
      name: el.dataset.key || el.getAttribute('aria-label') || el.className,
      left: r.left, right: r.right, top: r.top, bottom: r.bottom,
      // A title cut short is fine; its box must still stay clear of the buttons.
      title: el.classList.contains('qv-title')
    })));
}

function overlapping(boxes) {
  const pairs = [];
  for (let i = 0; i < boxes.length; i++) {
    for (let j = i + 1; j < boxes.length; j++) {
      const a = boxes[i], b = boxes[j];
      if (a.left < b.right - 0.5 && b.left < a.right - 0.5 && a.top < b.bottom - 0.5 && b.top < a.bottom - 0.5) {
        pairs.push(`${a.name} / ${b.name}`);
      }
    }
  }
  return pairs;
}

const TOOLS = ['thumbnails', 'outline', 'search', 'zoom', 'share', 'download', 'menu'];

for (const width of [320, 390, 480, 768, 1024, 1920]) {
  test(`at ${width} pixels the toolbar controls stand apart and every tool can be reached`, async () => {
    const page = await watchedPage(browser.context);
    await page.setViewportSize({ width, height: 800 });
    await openBook(page, book.url);
    await page.waitForSelector('.qv-button-outline:not([hidden])', { state: 'attached' });
    await page.waitForFunction(() => !document.querySelector('.qv-button-outline').hidden);

    const boxes = await controls(page);
    assert.deepEqual(overlapping(boxes), [], `overlapping at ${width}`);
    for (const box of boxes) {
      assert.ok(box.left >= 0 && box.right <= width, `${box.name} leaves the window at ${width}`);
    }
    const names = boxes.map((b) => b.name);
    for (const must of ['prev', 'next']) assert.ok(names.includes(must), `${must} shows at ${width}`);
    assert.ok(boxes.some((b) => b.name.includes('qv-page-box')), `the page box shows at ${width}`);

    // Every tool is on the toolbar or in the "more" menu, and works from there.
    let inMenu = [];
    if (names.includes('more')) {
      await page.click('.qv-button-more');
      inMenu = await page.$$eval('.qv-popup:not([hidden]) .qv-popup-entry', (els) => els.map((e) => e.textContent));
      await page.keyboard.press('Escape');
      await page.waitForSelector('.qv-popup', { state: 'hidden' });
    }
    const labels = await page.evaluate((keys) => Object.fromEntries(keys.map((k) => [k, Quorvel.reader.strings.t(k)])), TOOLS);
    for (const tool of TOOLS) {
      assert.ok(names.includes(tool) || inMenu.includes(labels[tool]), `${tool} is reachable at ${width}`);
    }
    for (const icon of ['Orchard', 'Prices']) {
      assert.ok(names.includes(icon) || inMenu.includes(icon), `the icon ${icon} is reachable at ${width}`);
    }
    if (width <= 480) {
      assert.ok(names.includes('more'), `tools are folded at ${width}`);
      // A folded tool works from the menu: search opens its panel.
      await page.click('.qv-button-more');
      await page.click(`.qv-popup-entry >> text="${labels.search}"`);
      await page.waitForSelector('.qv-panel.qv-open .qv-search-input');
    } else if (width >= 1024) {
      assert.ok(!names.includes('more'), `nothing is folded at ${width}`);
    }
    await page.click('.qv-button-next');
    await waitForPages(page, width >= 768 ? [2, 3] : [2]);
    assert.deepEqual(page.problems, []);
    await page.close();
  });
}

test('an iPad in portrait gets the desktop viewer with a toolbar that fits', async () => {
  const ipad = await launch({ viewport: { width: 768, height: 1024 }, userAgent: IPAD, isMobile: true, hasTouch: true });
  try {
    const page = await watchedPage(ipad.context);
    await openBook(page, book.url);
    assert.ok(await page.$('#qv-app.qv-desktop'));
    const boxes = await controls(page);
    assert.deepEqual(overlapping(boxes), []);
    assert.ok(boxes.every((b) => b.left >= 0 && b.right <= 768));
    assert.deepEqual(page.problems, []);
  } finally {
    await ipad.close();
  }
});
