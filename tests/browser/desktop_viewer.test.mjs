// The desktop viewer on a sample book opened from disk: page turning, deep links, search,
// thumbnails, outline, bookmark tabs, zoom, menu, share and extra icons.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { launch, watchedPage, openBook, waitForPages, expectErrors, DESKTOP } from './support/browser.mjs';
import { makeBook } from './support/book.mjs';
import { serveFolder } from './support/serve.mjs';

// A 1 x 1 PNG for the furnishing pictures.
const DOT = Buffer.from('iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==', 'base64');
const TITLE = '<img src=x onerror="window.hacked=1"> Fruit & "Friends"';
// A menu entry and a share button whose names hold markup, shown as text.
const MENU_CAPTION = 'To <b>page</b> 3 <img src=x onerror="window.hacked=1">';
const SHARE_NAME = '<i>Mail</i> <img src=x onerror="window.hacked=1">';
const TABS = {
  tabs: [
    { caption: 'Intro', pageIndex: 1, color: '#E53935' },
    { caption: 'Fruit\nsalad', pageIndex: 3, color: '#43A047' },
    { caption: '<b>Bold</b> & "quoted" {x}', pageIndex: 6, color: '#FDD835' },
    { caption: 'Far away', pageIndex: 99, color: '#1E88E5' }
  ],
  onSideEdge: true, showPage: true, hasTexture: false
};

let browser, book;

before(async () => {
  browser = await launch(DESKTOP);
  book = await makeBook(browser.context, {
    title: TITLE,
    tabs: TABS,
    outline: [
      { caption: 'Chapter 1', pageIndex: 1, children: [{ caption: 'Apples <i>', pageIndex: 3, children: [] }] },
      { caption: 'Chapter 2', pageIndex: 6, children: [] }
    ],
    extraScript: '<script>window.extraScriptRan = typeof Quorvel === "undefined";</script>',
    extfiles: Object.fromEntries(['files/extfiles/preloader.png', 'files/scenes/tree.png', 'files/scenes/frame.png']
      .map((f) => [f, DOT])),
    search: ['Cover', 'Plums', 'The apple tree', 'Crème brûlée recipe', 'Apple pie and cream', 'Mangoes', 'Peaches', 'End'],
    config: {
      captions: ['Cover', 'ii', 'iii', '1', '2', '3', '4', 'Back'],
      shareButtons: [{ title: SHARE_NAME, link: 'mailto:?subject=${title}&body=${url}', logo: '' },
        { title: 'Bad', link: 'javascript:window.hacked=1', logo: '' }],
      // Page 3 is captioned "iii"; the page captioned "3" is page 6.
      menuItems: [{ caption: MENU_CAPTION, type: 'goToPage', value: '3' }, { caption: '', type: 'copyBookUrl', value: '' }],
      download: {
        wholeFile: 'files/download/All%20pages.pdf',
        pageFiles: ['', 'files/download/pages/2.pdf', 'files/download/pages/3.pdf'],
        pagePrefix: 'fruit-',
        attachments: [{ name: 'Prices.csv', file: 'files/download/attachments/Prices.csv' }, { name: 'Evil', file: 'javascript:alert(1)' }]
      },
      preloaderImage: 'files/extfiles/preloader.png',
      scene: {
        background: [{ file: 'files/scenes/tree.png', position: 'Top Left' }, { file: 'files/scenes/movie.SWF', position: 'Top Right' }],
        foreground: [{ file: 'files/scenes/frame.png', position: 'Scale to Fit' }]
      },
      extraIcons: [
        { caption: 'Peaches', icon: '', type: 0, content: '7', target: '' },
        { caption: 'Script', icon: '', type: 2, content: 'window.iconRan = (window.iconRan || 0) + 1;', target: '' },
        { caption: 'Evil link', icon: '', type: 1, content: 'javascript:window.hacked=1', target: 'Blank' }
      ]
    }
  });
});

after(async () => {
  await browser.close();
  book.remove();
});

async function freshPage(url) {
  const page = await watchedPage(browser.context);
  await openBook(page, url);
  // Record what the viewer would open in new windows instead of opening them.
  await page.evaluate(() => { window.opened = []; window.open = (u, target) => { window.opened.push([u, target]); return null; }; });
  return page;
}

test('opens from disk at page 1 and turns pages with buttons, arrows and keys', async () => {
  const page = await freshPage(book.url);
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [1]);
  const picture = await page.evaluate(() => {
    const img = document.querySelector('.qv-page[data-page="1"] img');
    return { loaded: img.complete && img.naturalWidth > 0, src: img.getAttribute('src') };
  });
  assert.deepEqual(picture, { loaded: true, src: 'files/page/1.jpg' });
  assert.equal(await page.inputValue('.qv-page-input'), 'Cover');
  const densities = await page.evaluate(() => Quorvel.reader.view.flip.getPageCollection().getPages().map((p) => p.getDensity()));
  assert.deepEqual(new Set(densities), new Set(['soft']), 'soft covers unless the book asks for hard ones');
  assert.ok(await page.isDisabled('.qv-button-prev'));

  await page.click('.qv-button-next');
  await waitForPages(page, [2, 3]);
  assert.equal(await page.evaluate(() => location.hash), '#p=2');
  assert.equal(await page.inputValue('.qv-page-input'), 'ii-iii');
  await page.keyboard.press('ArrowRight');
  await waitForPages(page, [4, 5]);
  await page.keyboard.press('ArrowLeft');
  await waitForPages(page, [2, 3]);
  await page.click('.qv-arrow-right');
  await waitForPages(page, [4, 5]);
  await page.click('.qv-button-prev');
  await waitForPages(page, [2, 3]);
  await page.keyboard.press('End');
  await waitForPages(page, [8]);
  assert.ok(await page.isDisabled('.qv-button-next'));
  await page.keyboard.press('Home');
  await waitForPages(page, [1]);

  // A caption or a number typed into the page box; captions come first.
  await page.fill('.qv-page-input', '3');
  await page.press('.qv-page-input', 'Enter');
  await waitForPages(page, [6, 7]);
  await page.fill('.qv-page-input', '8');
  await page.press('.qv-page-input', 'Enter');
  await waitForPages(page, [8]);
  await page.fill('.qv-page-input', 'iii');
  await page.press('.qv-page-input', 'Enter');
  await waitForPages(page, [2, 3]);
  assert.equal(await page.evaluate(() => location.hash), '#p=3');
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('#p=5 opens at page 5, the address follows the page and a reload returns there', async () => {
  const page = await freshPage(book.url + '#p=5');
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [4, 5]);
  assert.equal(await page.evaluate(() => location.hash), '#p=5');
  await page.keyboard.press('ArrowRight');
  await waitForPages(page, [6, 7]);
  assert.equal(await page.evaluate(() => location.hash), '#p=6');
  await page.reload();
  await page.waitForFunction(() => window.Quorvel && Quorvel.reader);
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [6, 7]);
  // Out-of-range and edited addresses.
  await page.evaluate(() => { location.hash = '#p=2'; });
  await waitForPages(page, [2, 3]);
  await page.goto('about:blank');
  await page.goto(book.url + '#p=500');
  await page.waitForFunction(() => window.Quorvel && Quorvel.reader);
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [8]);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('search lists the pages holding every word, ignoring case and accents, and goes there', async () => {
  const page = await freshPage(book.url);
  await page.click('.qv-button-search');
  await page.fill('.qv-search-input', 'apple');
  await page.press('.qv-search-input', 'Enter');
  await page.waitForSelector('.qv-search-result');
  const results = await page.$$eval('.qv-search-result', (els) => els.map((e) => [e.dataset.page, e.querySelector('mark').textContent]));
  assert.deepEqual(results, [['3', 'apple'], ['5', 'Apple']]);
  await page.fill('.qv-search-input', 'APPLE cream');
  await page.press('.qv-search-input', 'Enter');
  await page.waitForFunction(() => document.querySelectorAll('.qv-search-result').length === 1);
  await page.fill('.qv-search-input', 'creme brulee');
  await page.press('.qv-search-input', 'Enter');
  await page.waitForFunction(() => document.querySelector('.qv-search-result mark')?.textContent === 'Crème');
  await page.fill('.qv-search-input', 'durian');
  await page.press('.qv-search-input', 'Enter');
  await page.waitForFunction(() => document.querySelectorAll('.qv-search-result').length === 0);

  await page.fill('.qv-search-input', 'apple tree');
  await page.press('.qv-search-input', 'Enter');
  await page.click('.qv-search-result[data-page="3"]');
  await waitForPages(page, [2, 3]);
  assert.equal(await page.evaluate(() => location.hash), '#p=3');
  // Keys typed into the search field stay there; Escape closes the panel.
  await page.focus('.qv-search-input');
  await page.keyboard.press('ArrowRight');
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [2, 3]);
  await page.keyboard.press('Escape');
  assert.equal(await page.getAttribute('.qv-panel', 'data-view'), null);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('page records written as patterns reach the viewer as the list they stand for', async () => {
  const configFile = path.join(book.dir, 'files', 'config.js');
  const original = fs.readFileSync(configFile, 'utf8');
  const config = new Function(original + '; return bookConfig;')();
  const records = config.pages;
  config.pages = { count: 8, normal: 'files/page/*.jpg', large: 'files/large/*.jpg', thumb: 'files/thumb/*.jpg',
    except: { 2: { normal: records[4].normal, thumb: records[1].thumb } } };
  fs.writeFileSync(configFile, original.replace(/^var bookConfig = .*;$/m, `var bookConfig = ${JSON.stringify(config)};`));
  try {
    const page = await freshPage(book.url + '#p=2');
    await waitForPages(page, [2, 3]);
    assert.deepEqual(await page.evaluate(() => Quorvel.reader.book.pages.map((p) => p.normal)),
      ['files/page/1.jpg', records[4].normal, ...[3, 4, 5, 6, 7, 8].map((n) => `files/page/${n}.jpg`)]);
    assert.equal(await page.evaluate(() => Quorvel.reader.book.pages[6].large), 'files/large/7.jpg');
    await page.waitForFunction(() => document.querySelector('.qv-page[data-page="3"] img')?.complete);
    assert.match(await page.getAttribute('.qv-page[data-page="3"] img', 'src'), /files\/page\/3\.jpg$/);
    assert.deepEqual(page.problems, []);
    await page.close();
  } finally {
    fs.writeFileSync(configFile, original);
  }
});

test('the search text of a large book in parts finds the same pages, part by part; a part that failed is read again', async () => {
  const texts = ['Cover', 'Plums', 'The apple tree', 'Crème brûlée recipe', 'Apple pie and cream', 'Mangoes', 'Peaches', 'End'];
  const files = path.join(book.dir, 'files');
  const whole = fs.readFileSync(path.join(files, 'search.js'));
  fs.mkdirSync(path.join(files, 'search'), { recursive: true });
  const parts = [[1, 3], [4, 2], [6, 3]].map(([first, count], k) => {
    fs.writeFileSync(path.join(files, 'search', `${k + 1}.js`),
      `var bookSearchPart = ${JSON.stringify({ first, texts: texts.slice(first - 1, first - 1 + count) })};\n`);
    return { first, file: `search/${k + 1}.js` };
  });
  fs.writeFileSync(path.join(files, 'search.js'), `var bookSearch = ${JSON.stringify({ pageCount: 8, parts })};\n`);
  const server = await serveFolder(book.dir);
  try {
    // The part of pages 4 and 5 does not come the first time it is asked for.
    expectErrors(/Failed to load resource/);
    const page = await watchedPage(browser.context);
    let asked = 0;
    await page.route('**/files/search/2.js', (route) => (asked++ === 0 ? route.abort() : route.continue()));
    await openBook(page, server.base + path.basename(new URL(book.url).pathname));
    await page.click('.qv-button-search');
    await page.fill('.qv-search-input', 'creme brulee');
    await page.press('.qv-search-input', 'Enter');
    await page.waitForFunction(() => document.querySelector('.qv-search-status').textContent === new Quorvel.Strings('English').t('searchNone'));
    // Every later search reads it again, and finds its pages.
    for (const [query, expected] of [['apple', [['3', 'apple'], ['5', 'Apple']]], ['creme brulee', [['4', 'Crème']]],
      ['peaches', [['7', 'Peaches']]]]) {
      await page.fill('.qv-search-input', query);
      await page.press('.qv-search-input', 'Enter');
      await page.waitForFunction((n) => document.querySelectorAll('.qv-search-result').length === n, expected.length);
      assert.deepEqual(await page.$$eval('.qv-search-result', (els) => els.map((e) => [e.dataset.page, e.querySelector('mark').textContent])),
        expected, query);
    }
    assert.equal(asked, 2);
    await page.close();

    // While a part is still on its way the status says the search goes on, though pages
    // were found; the count comes once, at the end.
    const held = await serveFolder(book.dir, { hold: /search\/2\.js$/ });
    try {
      const slow = await freshPage(held.base + 'sample.html');
      await slow.click('.qv-button-search');
      await slow.evaluate(() => {
        const status = document.querySelector('.qv-search-status');
        window.statusSeen = [];
        new MutationObserver(() => window.statusSeen.push(status.textContent)).observe(status, { childList: true, characterData: true, subtree: true });
      });
      await slow.fill('.qv-search-input', 'apple');
      await slow.press('.qv-search-input', 'Enter');
      await slow.waitForSelector('.qv-search-result[data-page="3"]');
      await slow.waitForFunction(() => document.querySelectorAll('.qv-search-result').length === 1 && window.statusSeen.length > 0);
      const english = (key, n) => slow.evaluate(([key, n]) => new Quorvel.Strings('English').t(key, { n }), [key, n]);
      assert.equal(await slow.textContent('.qv-search-status'), await english('searching'));
      assert.equal(await slow.getAttribute('.qv-search-results', 'aria-busy'), 'true');
      held.release();
      await slow.waitForFunction(() => document.querySelectorAll('.qv-search-result').length === 2);
      await slow.waitForFunction(() => document.querySelector('.qv-search-results').getAttribute('aria-busy') === 'false');
      const final = await english('searchCount', 2);
      assert.equal(await slow.textContent('.qv-search-status'), final);
      assert.deepEqual(await slow.evaluate(() => window.statusSeen), [await english('searching'), final]);
      assert.deepEqual(slow.problems, []);
      await slow.close();
    } finally {
      held.close();
    }
  } finally {
    server.close();
    fs.writeFileSync(path.join(files, 'search.js'), whole);
  }
});

test('thumbnails and the outline go to their pages', async () => {
  const page = await freshPage(book.url);
  await page.click('.qv-button-thumbnails');
  await page.waitForFunction(() => document.querySelector('.qv-thumb[data-page="6"] img')?.getAttribute('src') === 'files/thumb/6.jpg');
  assert.equal(await page.textContent('.qv-thumb[data-page="6"] .qv-thumb-label'), '3');
  await page.click('.qv-thumb[data-page="6"]');
  await waitForPages(page, [6, 7]);
  const current = await page.$$eval('.qv-thumb.qv-current', (els) => els.map((e) => e.dataset.page));
  assert.deepEqual(current, ['6', '7']);

  await page.click('.qv-button-outline');
  assert.equal(await page.getAttribute('.qv-panel', 'data-view'), 'outline');
  assert.ok(!(await page.isVisible('.qv-outline-entry[data-page="3"]')), 'nested entries start folded');
  await page.click('.qv-outline-toggle');
  assert.equal(await page.textContent('.qv-outline-entry[data-page="3"] .qv-outline-caption'), 'Apples <i>');
  await page.click('.qv-outline-entry[data-page="3"]');
  await waitForPages(page, [2, 3]);
  await page.keyboard.press('Escape');
  assert.equal(await page.getAttribute('.qv-panel', 'data-view'), null);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('bookmark tabs stand on the edge, show their captions as text and turn to their page', async () => {
  const page = await freshPage(book.url);
  const tabs = await page.$$eval('.qv-tab', (els) => els.map((e) => ({
    page: e.dataset.page, text: e.querySelector('.qv-tab-caption').textContent,
    lines: e.querySelectorAll('.qv-tab-caption br').length, markup: e.querySelectorAll('b, img').length,
    label: e.querySelector('.qv-tab-page')?.textContent, right: e.classList.contains('qv-right'),
    colour: getComputedStyle(e).backgroundColor
  })));
  assert.deepEqual(tabs.map((t) => t.page), ['1', '3', '6', '8'], 'a page past the end goes to the last page');
  assert.equal(tabs[1].text, 'Fruitsalad');
  assert.equal(tabs[1].lines, 1);
  assert.equal(tabs[2].text, '<b>Bold</b> & "quoted" {x}');
  assert.equal(tabs[2].markup, 0);
  assert.equal(tabs[2].label, '3');
  assert.equal(tabs[0].colour, 'rgb(229, 57, 53)');
  assert.ok(tabs.every((t) => t.right), 'on the cover every tab stands on the right edge');

  await page.click('.qv-tab[data-page="6"]');
  await waitForPages(page, [6, 7]);
  const sides = await page.$$eval('.qv-tab', (els) => els.map((e) => e.classList.contains('qv-left') ? 'left' : 'right'));
  assert.deepEqual(sides, ['left', 'left', 'left', 'right']);
  assert.equal(await page.evaluate(() => location.hash), '#p=6');
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('the book title and captions are shown as text, never as markup', async () => {
  const page = await freshPage(book.url);
  assert.equal(await page.textContent('.qv-toolbar .qv-title'), TITLE);
  assert.equal(await page.$$eval('.qv-title *', (els) => els.length), 0);
  await page.click('.qv-button-outline');
  await page.click('.qv-outline-toggle');
  assert.equal(await page.$$eval('.qv-outline-caption *', (els) => els.length), 0);
  assert.equal(await page.evaluate(() => window.hacked), undefined);
  await page.close();
});

test('zoom shows the large pictures of the visible pages', async () => {
  const page = await freshPage(book.url + '#p=4');
  await page.click('.qv-button-zoom');
  await page.waitForFunction(() => [...document.querySelectorAll('.qv-zoom-picture')].every((i) => i.complete && i.naturalWidth > 0));
  const sources = await page.$$eval('.qv-zoom-picture', (els) => els.map((e) => e.getAttribute('src')));
  assert.deepEqual(sources, ['files/large/4.jpg', 'files/large/5.jpg']);
  await page.keyboard.press('Escape');
  assert.ok(await page.isHidden('.qv-zoom'));
  await page.keyboard.press('ArrowRight');
  await waitForPages(page, [6, 7]);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('menu, share buttons and extra icons do what the book says, and refuse script links', async () => {
  const page = await freshPage(book.url + '#p=8');
  await page.click('.qv-button-menu');
  // Names are text; "go to page 3" goes to the third page, not to the one captioned "3".
  const names = (selector) => page.$$eval(selector, (els) => els.map((e) => [e.textContent, e.querySelectorAll('*').length]));
  assert.deepEqual(await names('.qv-popup-entry'), [[MENU_CAPTION, 0], ['Copy book URL', 0]]);
  await page.click('.qv-popup-entry >> nth=0');
  await waitForPages(page, [2, 3]);
  await page.click('.qv-tab[data-page="1"]');
  await waitForPages(page, [1]);

  await page.click('.qv-button-share');
  assert.deepEqual(await names('.qv-share-button span'), [[SHARE_NAME, 0], ['Bad', 0]]);
  await page.click('.qv-share-button >> nth=0');
  await page.click('.qv-share-button >> text=Bad');
  const opened = await page.evaluate(() => window.opened);
  assert.equal(opened.length, 1);
  const mail = new URL(opened[0][0]);
  assert.equal(mail.protocol, 'mailto:');
  assert.equal(mail.searchParams.get('subject'), TITLE);
  assert.equal(mail.searchParams.get('body'), book.url + '#p=1');

  // Copying the book's address: without a clipboard the text is offered to copy by hand.
  await page.evaluate(() => { navigator.clipboard.writeText = () => Promise.reject(new Error('no clipboard')); });
  await page.click('.qv-button-menu');
  await page.click('.qv-popup-entry >> text=Copy book URL');
  await page.waitForSelector('.qv-dialog:not([hidden])');
  assert.equal(await page.inputValue('.qv-dialog-text'), book.url);
  await page.keyboard.press('Escape');
  assert.ok(await page.isHidden('.qv-dialog'));

  await page.click('.qv-extra-icon[title="Peaches"]');
  await waitForPages(page, [6, 7]);
  await page.click('.qv-extra-icon[title="Script"]');
  await page.click('.qv-extra-icon[title="Evil link"]');
  assert.equal(await page.evaluate(() => window.iconRan), 1);
  assert.equal(await page.evaluate(() => window.hacked), undefined);
  assert.equal(await page.evaluate(() => window.opened.length), 1);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('downloads offer the whole book, the visible pages and attachments', async () => {
  const page = await freshPage(book.url + '#p=2');
  await page.click('.qv-button-download');
  const links = () => page.$$eval('.qv-download-link', (els) => els.map((a) => [a.textContent, a.getAttribute('href').replace(/^.*\/files\//, 'files/'), a.getAttribute('download')]));
  assert.deepEqual(await links(), [
    ['Whole book', 'files/download/All%20pages.pdf', null],
    ['Page ii', 'files/download/pages/2.pdf', 'fruit-2.pdf'],
    ['Page iii', 'files/download/pages/3.pdf', 'fruit-3.pdf'],
    ['Prices.csv', 'files/download/attachments/Prices.csv', 'Prices.csv']
  ]);
  await page.keyboard.press('Home');
  await waitForPages(page, [1]);
  assert.equal((await links()).length, 2, 'page 1 has no page file');
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('furnishings: scene layers in their places, preloader picture and the extra script', async () => {
  const page = await watchedPage(browser.context);
  await page.addInitScript(() => {
    window.preloaderPictures = [];
    new MutationObserver(() => {
      const img = document.querySelector('.qv-preloader-picture');
      if (img && !window.preloaderPictures.length) window.preloaderPictures.push(img.getAttribute('src'));
    }).observe(document, { childList: true, subtree: true });
  });
  await openBook(page, book.url);
  const r = await page.evaluate(() => ({
    extra: window.extraScriptRan,
    back: [...document.querySelectorAll('.qv-scene-back img')].map((i) => [i.getAttribute('src'), i.className]),
    front: [...document.querySelectorAll('.qv-scene-front img')].map((i) => [i.getAttribute('src'), i.className]),
    preloader: window.preloaderPictures
  }));
  assert.equal(r.extra, true, 'the extra script runs in the head, before the viewer');
  assert.deepEqual(r.back, [['files/scenes/tree.png', 'qv-scene-layer qv-top-left']]);
  assert.deepEqual(r.front, [['files/scenes/frame.png', 'qv-scene-layer qv-fill']]);
  assert.deepEqual(r.preloader, ['files/extfiles/preloader.png']);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('a right-to-left book starts with the cover on the left and reads leftwards', async () => {
  const rtl = await makeBook(browser.context, { pageCount: 5, loadType: 2, config: { rightToLeft: true, hardCover: true } });
  try {
    const page = await freshPage(rtl.url);
    const layout = () => page.evaluate(() => Quorvel.reader.view.layoutOfSpread());
    assert.deepEqual(await layout(), { left: 1, right: null });
    await page.keyboard.press('ArrowLeft');
    await waitForPages(page, [2, 3]);
    assert.deepEqual(await layout(), { left: 3, right: 2 });
    await page.click('.qv-button-next');
    await waitForPages(page, [4, 5]);
    await page.keyboard.press('ArrowRight');
    await waitForPages(page, [2, 3]);
    assert.equal(await page.$$eval('.qv-page.qv-blank', (els) => els.length), 1, 'odd page count gets a blank back');
    const densities = await page.evaluate(() => Quorvel.reader.view.flip.getPageCollection().getPages().map((p) => p.getDensity()));
    assert.deepEqual(densities, ['hard', 'soft', 'soft', 'soft', 'soft', 'hard']);
    assert.deepEqual(page.problems, []);
    await page.close();
  } finally {
    rtl.remove();
  }
});

test('served over http the book opens the same way, and an outline-less book hides the outline button', async () => {
  const plain = await makeBook(browser.context, { pageCount: 3, loadType: 2 });
  const server = await serveFolder(plain.dir);
  try {
    const page = await freshPage(server.base + 'sample.html#p=3');
    assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [2, 3]);
    assert.ok(await page.isHidden('.qv-button-outline'));
    assert.equal(await page.$$eval('.qv-button-share, .qv-button-download, .qv-button-menu, .qv-tab', (els) => els.length), 0);
    await page.click('.qv-button-prev');
    await waitForPages(page, [1]);
    assert.deepEqual(page.problems, []);
    await page.close();
  } finally {
    server.close();
    plain.remove();
  }
});

test('the reader is told of a part of the book that could not be loaded, and a failed search is tried again', async () => {
  // The narration's sounds list is missing; the search text fails once.
  const narrated = await makeBook(browser.context, { pageCount: 3, loadType: 2, config: { narration: true } });
  const server = await serveFolder(narrated.dir);
  try {
    expectErrors(/Failed to load resource/);
    const page = await watchedPage(browser.context);
    let asked = 0;
    await page.route('**/files/search.js', (route) => (asked++ === 0 ? route.abort() : route.continue()));
    await openBook(page, server.base + 'sample.html');
    await page.waitForSelector('.qv-dialog:not([hidden])');
    assert.equal(await page.textContent('.qv-dialog-message'), await page.evaluate(() => new Quorvel.Strings('English').t('narrationError')));
    await page.click('.qv-dialog-ok');
    await page.click('.qv-button-search');
    await page.fill('.qv-search-input', 'apple');
    await page.press('.qv-search-input', 'Enter');
    await page.waitForFunction(() => document.querySelector('.qv-search-status').textContent === new Quorvel.Strings('English').t('searchError'));
    await page.press('.qv-search-input', 'Enter');
    await page.waitForSelector('.qv-search-result[data-page="3"]');
    assert.equal(asked, 2);
    await page.close();
  } finally {
    server.close();
    narrated.remove();
  }
});

test('a damaged configuration shows a message instead of a blank window', async () => {
  const broken = await makeBook(browser.context, { pageCount: 2, loadType: 2 });
  try {
    fs.writeFileSync(path.join(broken.dir, 'files', 'config.js'), 'var bookConfig = {"pages": [}\n');
    expectErrors(/SyntaxError/);
    const page = await watchedPage(browser.context);
    await page.goto(broken.url);
    await page.waitForSelector('.qv-fatal');
    assert.match(await page.textContent('.qv-fatal'), /cannot be opened/);
    await page.close();
  } finally {
    broken.remove();
  }
});
