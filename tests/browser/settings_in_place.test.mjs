// The viewer takes new settings of a book on show in place (the live preview's
// Quorvel.applySettings): what it shows then is what a fresh load of the book with those
// settings shows; what it cannot show in place, it refuses, changing nothing.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { launch, watchedPage, openBook, waitForPages, PHONE } from './support/browser.mjs';
import { makeBook, bookmarkTabsLine } from './support/book.mjs';

const DOT = Buffer.from('iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==', 'base64');
const TABS = { tabs: [{ caption: 'Intro', pageIndex: 1, color: '#E53935' }, { caption: 'Fruit', pageIndex: 5, color: '#43A047' }],
  onSideEdge: true, showPage: true, hasTexture: false };
const MARKUP = '<img src=x onerror="window.hacked=1">';

let desktop, phone, book;

before(async () => {
  desktop = await launch();
  phone = await launch(PHONE);
  book = await makeBook(desktop.context, {
    tabs: TABS,
    mobileTabs: TABS,
    outline: [{ caption: 'Chapter', pageIndex: 3, children: [] }],
    extfiles: { 'files/extfiles/linen.png': DOT, 'files/extfiles/icon.png': DOT, 'files/extfiles/next.png': DOT },
    config: {
      backgroundColor: '#203040',
      captions: ['Cover', 'ii', 'iii', '1', '2', '3', '4', 'Back'],
      shareButtons: [{ title: 'Mail', link: 'mailto:?body=${url}', logo: '' }],
      menuItems: [{ caption: 'To page 3', type: 'goToPage', value: '3' }],
      hardCover: false
    },
    mobileConfig: { captions: ['Cover', 'ii', 'iii', '1', '2', '3', '4', 'Back'], backgroundColor: '#203040' }
  });
});

after(async () => {
  await desktop.close();
  await phone.close();
  book.remove();
});

// Writes the configuration script of the desktop book (or its phone version) as the
// engine does after a change of settings.
function writeConfig(mobile, config) {
  const file = path.join(book.dir, mobile ? 'mobile/files/config.js' : 'files/config.js');
  fs.writeFileSync(file, `var bookConfig = ${JSON.stringify(config)};\n${bookmarkTabsLine(TABS)}\n`);
}

// What the reader sees of the settings: colours and pictures as drawn, the bars, the
// tabs, the page box, the open panel, and how pages turn.
function snapshot(page) {
  return page.evaluate(() => {
    const style = (selector, names) => {
      const el = document.querySelector(selector);
      if (!el) return null;
      const s = getComputedStyle(el);
      return Object.fromEntries(names.map((n) => [n, s.getPropertyValue(n)]));
    };
    // The markup, with the classes of each element in one order (the order they were
    // given in says nothing).
    const html = (selector) => {
      const el = document.querySelector(selector);
      if (!el) return null;
      const copy = el.cloneNode(true);
      for (const e of [copy, ...copy.querySelectorAll('[class]')]) e.setAttribute('class', Array.from(e.classList).sort().join(' '));
      return copy.outerHTML;
    };
    const panel = document.querySelector('.qv-panel');
    const reader = window.Quorvel.reader;
    const flip = reader.view.flip;
    return {
      app: Array.from(document.getElementById('qv-app').classList).sort(),
      appStyle: document.getElementById('qv-app').getAttribute('style'),
      background: style('#qv-app', ['background-color', 'background-image']),
      toolbarColours: style('.qv-toolbar', ['background-color', 'color']),
      toolbar: html('.qv-toolbar'),
      topbar: html('.qv-topbar'),
      tabs: html('.qv-tabs'),
      pageBox: document.querySelector('.qv-page-input') ? document.querySelector('.qv-page-input').value : null,
      panel: [panel.dataset.view || null, panel.querySelector('.qv-panel-title').textContent],
      panelEntries: Array.from(panel.querySelectorAll('.qv-panel-body button, .qv-panel-body a'))
        .map((b) => [b.className, b.title, b.textContent]),
      turning: flip
        ? { time: flip.getSettings().flippingTime, shadow: flip.getSettings().drawShadow,
          covers: flip.getPageCollection().getPages().map((p) => p.createdDensity) }
        : { time: reader.view.duration },
      pages: reader.pages
    };
  });
}

// Waits until what moves has come to rest (a panel sliding in) and the viewer has laid
// the book out again.
async function settled(page) {
  await page.waitForFunction(() => document.getAnimations().every((a) => a.playState !== 'running'));
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
}

// Opens the book fresh on page 5 with the panel open (when the toolbar offers it), as a
// reader would have it.
async function openAt(page, url, panel) {
  await page.goto('about:blank');
  await openBook(page, url + '#p=5');
  await waitForPages(page, page.viewportSize().width > 600 ? [4, 5] : [5]);
  await page.waitForFunction(() => !document.querySelector('.qv-button-outline') || !document.querySelector('.qv-button-outline').hidden);
  if (panel && await page.$(`.qv-button-${panel}`)) {
    await page.click(`.qv-button-${panel}`);
    await page.waitForSelector(`.qv-panel[data-view="${panel}"]`);
  }
  await settled(page);
}

// Shows `change` in place in a book opened with the written settings, then loads the
// book fresh with them, and compares.
async function compareWithFreshLoad(page, url, mobile, change, panel) {
  writeConfig(mobile, page.baseConfig);
  await openAt(page, url, panel);
  const next = { ...page.baseConfig, ...change };
  for (const key of Object.keys(change)) if (change[key] === undefined) delete next[key];
  await page.evaluate(() => { window.sameDocument = true; });
  assert.equal(await page.evaluate((c) => window.Quorvel.applySettings(c), next), 'applied', JSON.stringify(change));
  assert.equal(await page.evaluate(() => window.sameDocument), true, 'no new load');
  await settled(page);
  const inPlace = await snapshot(page);
  writeConfig(mobile, next);
  await openAt(page, url, panel);
  const fresh = await snapshot(page);
  assert.deepEqual(inPlace, fresh, JSON.stringify(change));
  return inPlace;
}

async function baseConfig(page, url) {
  await openBook(page, url);
  return page.evaluate(() => JSON.parse(JSON.stringify(window.bookConfig)));
}

test('desktop viewer: settings shown in place look as a fresh load shows them', async () => {
  const page = await watchedPage(desktop.context);
  page.baseConfig = await baseConfig(page, book.url);
  const compare = (change, panel) => compareWithFreshLoad(page, book.url, false, change, panel);

  // Colours and the background picture, set and taken away again.
  let shown = await compare({ backgroundColor: '#AA3300', toolbarColor: '#FFFFFF', iconColor: '#102030',
    backgroundImage: 'files/extfiles/linen.png' });
  assert.equal(shown.background['background-color'], 'rgb(170, 51, 0)');
  assert.match(shown.background['background-image'], /linen\.png/);
  page.baseConfig = { ...page.baseConfig, backgroundImage: 'files/extfiles/linen.png' };
  shown = await compare({ backgroundImage: '' });
  assert.equal(shown.background['background-image'], 'none');
  assert.ok(!shown.app.includes('qv-has-background'));
  page.baseConfig.backgroundImage = '';

  // The toolbar: buttons away and back, the author's icons and menu, replacement icons,
  // the title; with the share panel open, which shows the new links.
  shown = await compare({ showZoomButton: false, showPageNumber: false, title: 'Another title',
    extraIcons: [{ caption: 'Home', icon: 'files/extfiles/icon.png', type: 0, content: '1', target: '' }],
    menuItems: [], toolbarIcons: { next: 'files/extfiles/next.png' },
    shareButtons: [{ title: 'Post', link: 'https://example.com/?u=${url}', logo: '' }, { title: 'Mail', link: 'mailto:?body=${url}', logo: '' }]
  }, 'share');
  assert.equal(shown.panel[0], 'share');
  assert.deepEqual(shown.panelEntries.map((e) => e[2]), ['Post', 'Mail']);
  assert.doesNotMatch(shown.toolbar, /qv-button-zoom|qv-button-menu|qv-page-input/);
  assert.match(shown.toolbar, /Another title/);
  // The share button goes: its panel closes, as a fresh book has none open.
  shown = await compare({ showShareButton: false }, 'share');
  assert.deepEqual(shown.panel, [null, '']);

  // Captions: the page box, the tabs and the thumbnails say the new ones.
  shown = await compare({ captions: ['C', 'b', 'c', 'd', 'Four', 'Five', 'g', 'h'] }, 'thumbnails');
  assert.equal(shown.pageBox, 'd-Four');
  assert.match(shown.tabs, /qv-tab-page">Four</);
  assert.ok(shown.panelEntries.some((e) => e[2] === 'Five'));
  shown = await compare({ captions: undefined });
  assert.equal(shown.pageBox, '4-5');

  // How pages turn.
  shown = await compare({ flipDuration: 1200, pageShadow: false, hardCover: true });
  assert.deepEqual([shown.turning.time, shown.turning.shadow, shown.turning.covers[0], shown.turning.covers.at(-1)],
    [1200, false, 'hard', 'hard']);
  await page.close();
});

test('phone viewer: settings shown in place look as a fresh load shows them', async () => {
  const page = await watchedPage(phone.context);
  page.baseConfig = await baseConfig(page, book.mobileUrl);
  const compare = (change, panel) => compareWithFreshLoad(page, book.mobileUrl, true, change, panel);
  let shown = await compare({ backgroundColor: '#00AA00', iconColor: '#000000', flipDuration: 900,
    showSearchButton: false, menuItems: [{ caption: 'Menu', type: 'goToPage', value: '2' }] }, 'thumbnails');
  assert.equal(shown.background['background-color'], 'rgb(0, 170, 0)');
  assert.equal(shown.turning.time, 900);
  assert.match(shown.topbar, /qv-button-menu/);
  shown = await compare({ captions: ['a', 'b', 'c', 'd', 'Five', 'f', 'g', 'h'] }, 'outline');
  assert.equal(shown.pageBox, 'Five');
  await page.close();
});

test('what the viewer cannot show in place it refuses, and shows as it was', async () => {
  const page = await watchedPage(desktop.context);
  writeConfig(false, (page.baseConfig = await baseConfig(page, book.url)));
  await openAt(page, book.url, 'thumbnails');
  const before = await snapshot(page);
  const base = page.baseConfig;
  const refused = [
    { rightToLeft: true }, { language: 'Deutsch' }, { pageWidth: 500 }, { preloaderImage: 'files/extfiles/icon.png' },
    { scene: { background: [{ file: 'files/extfiles/icon.png', position: 'Top Left' }], foreground: [] } },
    { narration: true }, { somethingNew: 1 },
    // Other pages, or the same ones as the patterns of a large book that name other files.
    { pages: base.pages.slice(0, 6) }, { pages: { count: 8, normal: 'files/large/*.jpg', except: {} } },
    // A colour with a change it cannot show: nothing of it is shown either.
    { backgroundColor: '#FF0000', rightToLeft: true }
  ];
  for (const change of refused) {
    assert.equal(await page.evaluate((c) => window.Quorvel.applySettings(c), { ...base, ...change }), 'reload', JSON.stringify(change));
  }
  for (const junk of [null, 'text', [1, 2], 42]) {
    assert.equal(await page.evaluate((c) => window.Quorvel.applySettings(c), junk), 'reload', JSON.stringify(junk));
  }
  assert.deepEqual(await snapshot(page), before);
  assert.equal(await page.evaluate((c) => window.Quorvel.applySettings(c), base), 'same');
  // Pages written as patterns are the same pages when they name the same files.
  const patterns = { count: 8, normal: 'files/page/*.jpg', large: 'files/large/*.jpg', thumb: 'files/thumb/*.jpg', except: {} };
  assert.equal(await page.evaluate((c) => window.Quorvel.applySettings(c), { ...base, pages: patterns }), 'same');

  // Texts of the settings stay texts.
  assert.equal(await page.evaluate((c) => window.Quorvel.applySettings(c),
    { ...base, title: MARKUP, captions: Array(8).fill(MARKUP), extraIcons: [{ caption: MARKUP, icon: '', type: 0, content: '1' }] }), 'applied');
  assert.equal(await page.textContent('.qv-title'), MARKUP);
  assert.equal(await page.evaluate(() => document.querySelectorAll('.qv-toolbar img[src="x"], .qv-tabs img, .qv-panel img[src="x"]').length), 0);
  assert.equal(await page.evaluate(() => window.hacked), undefined);
  await page.close();
});
