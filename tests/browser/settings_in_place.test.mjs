// The viewer takes new settings of a book on show in place (the live preview's
// Quorvel.applySettings): what it shows then is what a fresh load with those settings
// shows; what it cannot show in place, it refuses, changing nothing.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { launch, watchedPage, openBook, waitForPages, PHONE } from './support/browser.mjs';
import { makeBook, bookmarkTabsLine } from './support/book.mjs';

const DOT = Buffer.from('iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==', 'base64');
const TABS = { tabs: [{ caption: 'Intro', pageIndex: 1, color: '#E53935' }, { caption: 'Fruit', pageIndex: 5, color: '#43A047' }],
  onSideEdge: true, showPage: true, hasTexture: false };
const CAPTIONS = ['Cover', 'ii', 'iii', '1', '2', '3', '4', 'Back'];
let desktop, phone, book;

before(async () => {
  [desktop, phone] = [await launch(), await launch(PHONE)];
  book = await makeBook(desktop.context, {
    tabs: TABS, mobileTabs: TABS, outline: [{ caption: 'Chapter', pageIndex: 3, children: [] }],
    extfiles: { 'files/extfiles/linen.png': DOT, 'files/extfiles/icon.png': DOT },
    config: { captions: CAPTIONS, shareButtons: [{ title: 'Mail', link: 'mailto:?body=${url}', logo: '' }],
      menuItems: [{ caption: 'To page 3', type: 'goToPage', value: '3' }] },
    mobileConfig: { captions: CAPTIONS }
  });
});

after(async () => {
  await desktop.close();
  await phone.close();
  book.remove();
});

// The configuration script as the engine writes it after a change of settings.
function writeConfig(mobile, config) {
  fs.writeFileSync(path.join(book.dir, mobile ? 'mobile/files/config.js' : 'files/config.js'),
    `var bookConfig = ${JSON.stringify(config)};\n${bookmarkTabsLine(TABS)}\n`);
}

// What the reader sees of the settings: the book's own style, colours as drawn, the
// bars, tabs, page box and open panel (classes in one order), and how pages turn.
function snapshot(page) {
  return page.evaluate(() => {
    const html = (selector) => {
      const el = document.querySelector(selector);
      if (!el) return null;
      const copy = el.cloneNode(true);
      for (const e of [copy, ...copy.querySelectorAll('[class]')]) e.setAttribute('class', Array.from(e.classList).sort().join(' '));
      return copy.outerHTML;
    };
    const app = document.getElementById('qv-app');
    const panel = document.querySelector('.qv-panel');
    const view = window.Quorvel.reader.view;
    return {
      app: [Array.from(app.classList).sort(), app.getAttribute('style'), getComputedStyle(app).backgroundImage],
      toolbarColour: getComputedStyle(document.querySelector('.qv-toolbar')).backgroundColor,
      bars: [html('.qv-toolbar'), html('.qv-topbar'), html('.qv-tabs')],
      pageBox: document.querySelector('.qv-page-input') && document.querySelector('.qv-page-input').value,
      panel: [panel.dataset.view || null, panel.querySelector('.qv-panel-title').textContent,
        Array.from(panel.querySelectorAll('.qv-panel-body button')).map((b) => [b.className, b.title, b.textContent])],
      turning: view.flip ? [view.flip.getSettings().flippingTime, view.flip.getSettings().drawShadow,
        view.flip.getPageCollection().getPages().map((p) => p.createdDensity)] : [view.duration]
    };
  });
}

// Opens the book fresh on page 5 with the panel open (when the toolbar offers it), and
// waits until what moves (a panel sliding in) has come to rest and the book is laid out.
async function openAt(page, url, panel) {
  await page.goto('about:blank');
  await openBook(page, url + '#p=5');
  await waitForPages(page, page.viewportSize().width > 600 ? [4, 5] : [5]);
  await page.waitForFunction(() => !document.querySelector('.qv-button-outline') || !document.querySelector('.qv-button-outline').hidden);
  if (panel && await page.$(`.qv-button-${panel}`)) await page.click(`.qv-button-${panel}`);
  await settled(page);
}

async function settled(page) {
  await page.waitForFunction(() => document.getAnimations().every((a) => a.playState !== 'running'));
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
}

// Shows `change` in place in the book opened with the written settings, then loads the
// book fresh with them; the two must look alike. Answers what was shown.
async function compare(page, mobile, change, panel) {
  const url = mobile ? book.mobileUrl : book.url;
  if (!page.base) page.base = await openBook(page, url).then(() => page.evaluate(() => JSON.parse(JSON.stringify(window.bookConfig))));
  writeConfig(mobile, page.base);
  await openAt(page, url, panel);
  const next = Object.fromEntries(Object.entries({ ...page.base, ...change }).filter(([, v]) => v !== undefined));
  await page.evaluate(() => { window.sameDocument = true; });
  assert.equal(await page.evaluate((c) => window.Quorvel.applySettings(c), next), 'applied', JSON.stringify(change));
  await settled(page);
  const inPlace = await snapshot(page);
  assert.equal(await page.evaluate(() => window.sameDocument), true, 'no new load');
  writeConfig(mobile, next);
  await openAt(page, url, panel);
  assert.deepEqual(inPlace, await snapshot(page), JSON.stringify(change));
  return inPlace;
}

test('settings shown in place look as a fresh load shows them', async () => {
  const page = await watchedPage(desktop.context);
  let shown = await compare(page, false, { backgroundColor: '#AA3300', toolbarColor: '#FFFFFF', backgroundImage: 'files/extfiles/linen.png' });
  assert.deepEqual([shown.app[2].includes('linen.png'), shown.toolbarColour], [true, 'rgb(255, 255, 255)']);
  page.base.backgroundImage = 'files/extfiles/linen.png';
  shown = await compare(page, false, { backgroundImage: '' }); // the picture taken away again
  assert.equal(shown.app[2], 'none');
  page.base.backgroundImage = '';
  // The toolbar, with the share panel open: it shows the new links, and closes empty
  // once its button goes, as no panel is open in a book just loaded.
  shown = await compare(page, false, { showZoomButton: false, showPageNumber: false, title: 'Another', menuItems: [],
    extraIcons: [{ caption: 'Home', icon: 'files/extfiles/icon.png', type: 0, content: '1' }],
    toolbarIcons: { next: 'files/extfiles/icon.png' }, shareButtons: [{ title: 'Post', link: 'https://example.com/', logo: '' }] }, 'share');
  assert.deepEqual(shown.panel[2].map((e) => e[2]), ['Post']);
  assert.doesNotMatch(shown.bars[0], /qv-button-zoom|qv-button-menu|qv-page-input/);
  assert.deepEqual((await compare(page, false, { showShareButton: false }, 'share')).panel, [null, '', []]);
  // Captions reach the page box, the tabs and the thumbnails; and go again.
  shown = await compare(page, false, { captions: ['C', 'b', 'c', 'd', 'Four', 'f', 'g', 'h'] }, 'thumbnails');
  assert.equal(shown.pageBox, 'd-Four');
  assert.match(shown.bars[2], /qv-tab-page">Four</);
  assert.equal((await compare(page, false, { captions: undefined })).pageBox, '4-5');
  shown = await compare(page, false, { flipDuration: 1200, pageShadow: false, hardCover: true });
  assert.deepEqual([shown.turning[0], shown.turning[1], shown.turning[2][0]], [1200, false, 'hard']);

  const small = await watchedPage(phone.context);
  shown = await compare(small, true, { backgroundColor: '#00AA00', flipDuration: 900, showSearchButton: false,
    captions: ['a', 'b', 'c', 'd', 'Five', 'f', 'g', 'h'] }, 'thumbnails');
  assert.deepEqual([shown.turning[0], shown.pageBox], [900, 'Five']);
});

test('what the viewer cannot show in place it refuses, and shows as it was', async () => {
  const page = await watchedPage(desktop.context);
  await openBook(page, book.url);
  const base = await page.evaluate(() => JSON.parse(JSON.stringify(window.bookConfig)));
  await page.click('.qv-button-thumbnails');
  await settled(page);
  const before = await snapshot(page);
  const apply = (config) => page.evaluate((c) => window.Quorvel.applySettings(c), config);
  for (const change of [{ rightToLeft: true }, { language: 'Deutsch' }, { pageWidth: 500 }, { narration: true },
    { preloaderImage: 'files/extfiles/icon.png' }, { scene: { background: [], foreground: [] } }, { somethingNew: 1 },
    { pages: base.pages.slice(0, 6) }, { pages: { count: 8, normal: 'files/large/*.jpg', except: {} } },
    { backgroundColor: '#FF0000', rightToLeft: true }]) {
    assert.equal(await apply({ ...base, ...change }), 'reload', JSON.stringify(change));
  }
  for (const junk of [null, 'text', [1, 2], 42]) assert.equal(await apply(junk), 'reload', JSON.stringify(junk));
  assert.deepEqual(await snapshot(page), before);
  // The same pages, written as the patterns of a large book: nothing to show.
  assert.equal(await apply({ ...base, pages: { count: 8, normal: 'files/page/*.jpg', large: 'files/large/*.jpg', thumb: 'files/thumb/*.jpg', except: {} } }), 'same');
  // Texts of the settings stay texts.
  const markup = '<img src=x onerror="window.hacked=1">';
  assert.equal(await apply({ ...base, title: markup, captions: Array(8).fill(markup) }), 'applied');
  assert.equal(await page.textContent('.qv-title'), markup);
  assert.equal(await page.evaluate(() => document.querySelectorAll('img[src="x"]').length + (window.hacked || 0)), 0);
});
