// The viewer library's handling of book data: sanitising, lenient reading of settings,
// search, the page loader hook and the spread events for narration.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, watchedPage, openBook, waitForPages, DESKTOP } from './support/browser.mjs';
import { makeBook, RESOURCES } from './support/book.mjs';

let browser, page, folder;

before(async () => {
  browser = await launch(DESKTOP);
  folder = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-lib-'));
  const lib = pathToFileURL(path.join(RESOURCES, 'viewer-lib')).href;
  const scripts = ['qv-lang.js', 'qv-core.js', 'qv-book.js', 'qv-search.js', 'qv-ui.js']
    .map((s) => `<script src="${lib}/${s}"></script>`).join('\n');
  fs.writeFileSync(path.join(folder, 'lib.html'), `<!DOCTYPE html><html><head><meta charset="utf-8"></head><body>${scripts}</body></html>`);
  page = await watchedPage(browser.context);
  await page.goto(pathToFileURL(path.join(folder, 'lib.html')).href);
  await page.waitForFunction(() => window.Quorvel && Quorvel.Reader);
});

after(async () => {
  await browser.close();
  fs.rmSync(folder, { recursive: true, force: true });
});

test('colours, addresses and share link macros are sanitised', async () => {
  const r = await page.evaluate(() => ({
    colours: ['#a1b2c3', '0xFF8800', '#abc', 'red', '#12345', 'url(x)', null].map((c) => Quorvel.cssColor(c, 'fallback')),
    links: ['https://example.com/a?b=1', 'mailto:x@example.com', 'files/page/1.jpg', 'javascript:alert(1)',
      'java\tscript:alert(1)', ' JAVASCRIPT:alert(1)', 'data:text/html,x', 'vbscript:x', '']
      .map((l) => { const h = Quorvel.safeHref(l); return h === null ? null : h.split(':')[0]; }),
    targets: ['Blank', 'self', '_top', 'Parent', 'weird', ''].map(Quorvel.linkTarget),
    share: Quorvel.expandShareLink('https://s.example/?u=${url}&t=${title}&p=${url_parent}&x=${unknown}',
      { url: 'file:///b/book.html#p=3', title: 'A & B', url_parent: 'file:///b/' })
  }));
  assert.deepEqual(r.colours, ['#A1B2C3', '#FF8800', '#AABBCC', 'fallback', 'fallback', 'fallback', 'fallback']);
  assert.deepEqual(r.links, ['https', 'mailto', 'file', null, null, null, null, null, null]);
  assert.deepEqual(r.targets, ['_blank', '_self', '_top', '_parent', '_blank', '_blank']);
  assert.equal(r.share, 'https://s.example/?u=file%3A%2F%2F%2Fb%2Fbook.html%23p%3D3&t=A%20%26%20B&p=file%3A%2F%2F%2Fb%2F&x=${unknown}');
});

test('book settings, captions, tabs and outline are read leniently', async () => {
  const r = await page.evaluate(() => {
    const book = new Quorvel.Book({
      pages: ['p1.jpg', { normal: 'p2.jpg', thumb: 't2.jpg' }, null, {}],
      captions: ['Cover', 'i', '', 'IV'],
      hardCover: 'Yes', pageShadow: 'No', rightToLeft: 1, flipDuration: -5, pageWidth: '800',
      backgroundColor: '0x102030', toolbarColor: 'javascript:x', language: 'de'
    }, {
      tabs: [{ caption: 'a', pageIndex: 0, color: 'bad' }, { caption: 'b', pageIndex: '3', color: '#00ff00' }, { pageIndex: 40 }, null],
      onSideEdge: 'true', showPage: true
    });
    book.setOutline([{ caption: 'A', pageIndex: 2, children: [{ caption: 'B', pageIndex: 9 }] }, 'junk']);
    let deep = [];
    for (let i = 0; i < 100; i++) deep = [{ caption: 'x', pageIndex: 1, children: deep }];
    const deepBook = new Quorvel.Book({ pages: ['a'] });
    deepBook.setOutline(deep);
    let depth = 0;
    for (let level = deepBook.outline; level.length; level = level[0].children) depth++;
    return {
      count: book.pageCount,
      pages: book.pages.map((p) => p.normal + '|' + p.thumb),
      settings: ['hardCover', 'pageShadow', 'rightToLeft', 'flipDuration', 'pageWidth', 'backgroundColor', 'toolbarColor', 'showZoomButton']
        .map((k) => book.setting(k)),
      labels: [1, 2, 3, 4].map((p) => book.caption(p)),
      typed: ['iv', 'COVER', '3', '2-3', '99', 'nothing', ''].map((t) => book.pageFromText(t)),
      tabs: book.tabs.tabs.map((t) => [t.caption, t.page, t.color]),
      flags: [book.tabs.onSideEdge, book.tabs.showPage, book.tabs.hasTexture],
      outline: JSON.stringify(book.outline),
      depth,
      language: new Quorvel.Strings(book.setting('language')).t('next'),
      unknownLanguage: new Quorvel.Strings('Klingon').t('next')
    };
  });
  assert.equal(r.count, 4);
  assert.deepEqual(r.pages, ['p1.jpg|', 'p2.jpg|t2.jpg', '|', '|']);
  assert.deepEqual(r.settings, [true, false, true, 700, 800, '#102030', '#1B2430', true]);
  assert.deepEqual(r.labels, ['Cover', 'i', '3', 'IV']);
  assert.deepEqual(r.typed, [4, 1, 3, 2, 4, null, null]);
  assert.deepEqual(r.tabs, [['a', 1, '#7F7F7F'], ['b', 3, '#00FF00'], ['', 4, '#7F7F7F'], ['', 1, '#7F7F7F']]);
  assert.deepEqual(r.flags, [true, true, false]);
  assert.equal(r.outline, JSON.stringify([
    { caption: 'A', page: 2, children: [{ caption: 'B', page: 4, children: [] }] },
    { caption: '', page: 1, children: [] }]));
  assert.equal(r.depth, 33);
  assert.notEqual(r.language, r.unknownLanguage, 'the book\'s language is used');
});

test('search folds case and accents and cuts excerpts from the original text', async () => {
  const r = await page.evaluate(() => {
    const index = new Quorvel.SearchIndex(['Über die Straße', '😀 Crème BRÛLÉE und Äpfel', null, 'uber alles, ÜBER alles', '苹果和梨']);
    const pick = (q) => index.find(q).map((x) => [x.page, x.before, x.match, x.after]);
    return {
      uber: pick('uber'),
      creme: pick('creme brulee'),
      both: pick('äpfel crème'),
      chinese: pick('果'),
      blank: pick('   '),
      empty: new Quorvel.SearchIndex([]).isEmpty,
      spaces: new Quorvel.SearchIndex(['  ', '']).isEmpty
    };
  });
  assert.deepEqual(r.uber, [[1, '', 'Über', ' die Straße'], [4, '', 'uber', ' alles, ÜBER alles']]);
  assert.deepEqual(r.creme, [[2, '😀 ', 'Crème', ' BRÛLÉE und Äpfel']]);
  assert.deepEqual(r.both, [[2, '😀 Crème BRÛLÉE und ', 'Äpfel', '']]);
  assert.deepEqual(r.chinese, [[5, '苹', '果', '和梨']]);
  assert.deepEqual(r.blank, []);
  assert.equal(r.empty, true);
  assert.equal(r.spaces, true);
});

test('a word broken over two lines is found whole and quoted whole', async () => {
  const r = await page.evaluate(() => {
    const index = new Quorvel.SearchIndex([
      'Each value has a cor-\nresponding key, a well-known rule.',
      'The soft\u00ADware and the co-\n  operative; North-\nAmerica stays.']);
    const pick = (q) => index.find(q).map((x) => [x.page, x.before + x.match + x.after]);
    return { corresponding: pick('corresponding'), wellKnown: pick('well-known'), broken: pick('cor-'),
      software: pick('software'), cooperative: pick('cooperative'), america: pick('north-'),
      texts: index.texts.length };
  });
  assert.deepEqual(r.corresponding, [[1, 'Each value has a corresponding key, a well-known rule.']]);
  assert.deepEqual(r.wellKnown.map((x) => x[0]), [1]);
  assert.deepEqual(r.broken, []);
  assert.deepEqual(r.software.map((x) => x[0]), [2]);
  assert.deepEqual(r.cooperative.map((x) => x[0]), [2]);
  assert.deepEqual(r.america.map((x) => x[0]), [2]);
});

test('every page picture goes through the page loader, a refused page shows a notice, and spreads are announced', async () => {
  const book = await makeBook(browser.context, { pageCount: 6, loadType: 2 });
  const reader = await watchedPage(browser.context);
  try {
    // A loader installed before the viewer starts, as a protected book would do.
    await reader.addInitScript(() => {
      window.loads = [];
      window.spreads = [];
      window.Quorvel = {
        pageLoader(record, kind, page) {
          window.loads.push(kind + ':' + page);
          if (page === 4) return Promise.reject(new Error('locked page'));
          return new Promise((resolve) => setTimeout(() => resolve(page === 2 ? 'files/page/1.jpg' : record[kind] || record.normal), 5));
        }
      };
      document.addEventListener('DOMContentLoaded', () => {
        window.Quorvel.events.on('spread', (e) => window.spreads.push(e.index + ':' + e.pages.join('-')));
      });
    });
    await openBook(reader, book.url);
    assert.ok(await reader.evaluate(() => loads.includes('normal:1') && loads.includes('normal:5')));
    await reader.click('.qv-button-next');
    await waitForPages(reader, [2, 3]);
    assert.equal(await reader.getAttribute('.qv-page[data-page="2"] img', 'src'), 'files/page/1.jpg');
    await reader.click('.qv-button-thumbnails');
    await reader.waitForFunction(() => loads.includes('thumb:6'));
    await reader.click('.qv-button-zoom');
    await reader.waitForFunction(() => loads.includes('large:2') && loads.includes('large:3'));
    await reader.keyboard.press('Escape');
    await reader.keyboard.press('ArrowRight');
    await waitForPages(reader, [4, 5]);
    assert.ok(await reader.isVisible('.qv-page[data-page="4"] .qv-page-error'), 'the refused page shows a notice');
    await reader.click('.qv-button-zoom');
    await reader.waitForSelector('.qv-zoom .qv-page-error');
    await reader.keyboard.press('Escape');
    await reader.keyboard.press('End');
    await waitForPages(reader, [6]);
    assert.deepEqual(await reader.evaluate(() => spreads), ['0:1', '1:2-3', '2:4-5', '3:6']);
    assert.deepEqual(reader.problems, []);
  } finally {
    await reader.close();
    book.remove();
  }
});
