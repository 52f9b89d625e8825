// Protected books in the browser: the password and users-list kinds, wrong answers, the
// readable front pages, and that nothing of a protected page is left in the clear.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { launch, removeBooks, runTool, sha256, writeBook } from './support/secure-book.mjs';
import { makeBook } from './support/book.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); removeBooks(); });

// What the viewer would show for a page: the loader's address, the picture's width and,
// for a decrypted page, the digest of the bytes behind the address.
async function showPage(page, number, kind) {
  return page.evaluate(async ({ number, kind }) => {
    const url = await Quorvel.pageLoader(bookConfig.pages[number - 1], kind, number);
    const img = new Image();
    img.src = url;
    await img.decode();
    if (!url.startsWith('blob:')) return { url, width: img.naturalWidth }; // file:// refuses fetch
    const bytes = await (await fetch(url)).arrayBuffer();
    const digest = Array.from(new Uint8Array(await crypto.subtle.digest('SHA-256', bytes)))
      .map((b) => b.toString(16).padStart(2, '0')).join('');
    return { url, width: img.naturalWidth, digest };
  }, { number, kind });
}

async function tryUnlock(page, ...args) {
  return page.evaluate(async (args) => {
    const guard = await Quorvel.security;
    try {
      await guard.unlock(...args);
      return 'opened';
    } catch (e) {
      return e.code + (guard.isUnlocked ? ' but unlocked' : '');
    }
  }, args);
}

test('a single password opens exactly the protected pages', async () => {
  const book = writeBook(6);
  runTool('quorvel-protect-book', ['--book', book.folder, '--pages', '6', '--password', 'pa55 wörd', '--except', '2']);

  const page = await browser.page();
  await page.goto(book.url);
  await page.evaluate(() => { QuorvelSecurity.install(); });

  // Front pages need no password; protected ones stay shut until it is given.
  const front = await showPage(page, 2, 'normal');
  assert.deepEqual(front, { url: 'files/page/2.png', width: 60 });
  const locked = await page.evaluate(async () => {
    try { await Quorvel.pageLoader(bookConfig.pages[2], 'normal', 3); return 'shown'; } catch (e) { return e.code; }
  });
  assert.equal(locked, 'locked');

  assert.equal(await tryUnlock(page, 'pa55 word'), 'wrong-password');
  assert.equal(await tryUnlock(page, ''), 'wrong-password');
  assert.equal(await tryUnlock(page, 'pa55 wörd'), 'opened');

  for (const [number, kind, folder, width] of [[3, 'normal', 'page', 60], [4, 'large', 'large', 90], [6, 'thumb', 'thumb', 15]]) {
    const shown = await showPage(page, number, kind);
    assert.match(shown.url, /^blob:/);
    assert.equal(shown.width, width);
    assert.equal(shown.digest, sha256(book.pictures[`files/${folder}/${number}.png`]));
  }

  // The search text of protected pages comes back only with the key.
  const search = await page.evaluate(async () => {
    const guard = await Quorvel.security;
    return { published: window.bookSearch, filled: await guard.fillSearch(window.bookSearch), page5: await guard.pageText(5) };
  });
  assert.deepEqual(search.published, ['words of page 1', 'words of page 2', '', '', '', '']);
  assert.equal(search.filled[3], 'words of page 4');
  assert.equal(search.page5, 'words of page 5');
  assert.deepEqual(page.problems, []);
});

test('a users list opens for each user with their own password only', async () => {
  const book = writeBook(4);
  runTool('quorvel-protect-book', ['--book', book.folder, '--pages', '4', '--user', 'user0=first', '--user', 'Anne Marie=second']);
  const usersFile = path.join(book.folder, 'files/extfiles/users.txt');
  const lines = fs.readFileSync(usersFile, 'utf8').split('\r\n');
  assert.deepEqual(lines.map((l) => l.slice(0, l.lastIndexOf(' '))), ['user0', 'Anne Marie', '']);

  const page = await browser.page();
  await page.goto(book.url);
  await page.evaluate(() => { QuorvelSecurity.install(); });
  assert.equal(await page.evaluate(async () => (await Quorvel.security).needsUserName), true);
  assert.equal(await tryUnlock(page, 'user0', 'second'), 'wrong-password');
  assert.equal(await tryUnlock(page, 'nobody', 'first'), 'wrong-password');
  assert.equal(await tryUnlock(page, 'Anne Marie', 'second'), 'opened');
  assert.equal((await showPage(page, 1, 'normal')).digest, sha256(book.pictures['files/page/1.png']));
  await page.evaluate(async () => (await Quorvel.security).lock());
  assert.equal(await tryUnlock(page, 'user0', 'first'), 'opened');

  // Served over http, a users.txt replaced on the server decides who may open.
  fs.writeFileSync(usersFile, lines[1] + '\r\n');
  const server = http.createServer((req, res) => {
    const file = path.join(book.folder, decodeURIComponent(new URL(req.url, 'http://x').pathname));
    if (!file.startsWith(book.folder) || !fs.existsSync(file)) { res.writeHead(404); res.end(); return; }
    const type = { '.js': 'text/javascript', '.html': 'text/html', '.png': 'image/png' }[path.extname(file)];
    res.writeHead(200, { 'content-type': type || 'text/plain' });
    res.end(fs.readFileSync(file));
  });
  await new Promise((r) => server.listen(0, '127.0.0.1', r));
  try {
    const served = await browser.page();
    await served.goto(`http://127.0.0.1:${server.address().port}/probe.html`);
    await served.evaluate(() => { QuorvelSecurity.install(); });
    assert.equal(await tryUnlock(served, 'user0', 'first'), 'wrong-password');
    assert.equal(await tryUnlock(served, 'Anne Marie', 'second'), 'opened');
    assert.deepEqual(served.problems, []);
  } finally {
    server.close();
  }
});

test('the desktop viewer asks for the password in the book\'s language', async () => {
  const book = await makeBook(browser.context, { pageCount: 6, config: { language: 'Deutsch' } });
  try {
    runTool('quorvel-protect-book', ['--book', book.dir, '--pages', '6', '--password', 'fruit', '--except', '1']);
    const page = await browser.page();
    await page.goto(book.url);
    await page.waitForFunction(() => document.querySelector('.qv-page[data-page="1"] img')?.naturalWidth > 0);
    await page.click('.qv-button-next');
    await page.fill('.qv-secure-password', 'fruits');
    await page.click('.qv-secure-open');
    await page.waitForFunction(() => /Falsches Passwort/.test(document.querySelector('.qv-secure-message').textContent));
    assert.equal(await page.textContent('.qv-secure-open'), 'Öffnen');
    await page.fill('.qv-secure-password', 'fruit');
    await page.click('.qv-secure-open');
    await page.waitForFunction(() => /^blob:/.test(document.querySelector('.qv-page[data-page="3"] img')?.getAttribute('src') || ''));
    assert.deepEqual(page.problems, []);
  } finally {
    book.remove();
  }
});

test('downloads of protected pages are decrypted on the click, after the password', async () => {
  const book = await makeBook(browser.context, {
    pageCount: 4,
    config: { download: { wholeFile: 'files/download/Whole book.pdf', pageFiles: ['files/download/pages/1.pdf', 'files/download/pages/2.pdf'], pagePrefix: 'leaf-' } },
    extfiles: { 'files/download/Whole book.pdf': '%PDF whole book', 'files/download/pages/1.pdf': '%PDF page one', 'files/download/pages/2.pdf': '%PDF page two' }
  });
  try {
    runTool('quorvel-protect-book', ['--book', book.dir, '--pages', '4', '--password', 'leaf', '--except', '1']);
    assert.ok(!fs.existsSync(path.join(book.dir, 'files/download/Whole book.pdf')));
    assert.ok(fs.existsSync(path.join(book.dir, 'files/download/pages/1.pdf')), 'the free page keeps its file');
    const page = await browser.page();
    await page.goto(book.url);
    await page.waitForFunction(() => window.Quorvel && window.Quorvel.reader);
    await page.click('.qv-button-download');
    const links = await page.$$eval('.qv-download-link', (els) => els.map((e) => [e.textContent, e.classList.contains('qv-protected')]));
    assert.deepEqual(links, [['Whole book', true], ['Page 1', false]]);

    // Page 2 asks for the password; its file is offered with the book's prefix.
    await page.evaluate(() => Quorvel.reader.go(2));
    await page.fill('.qv-secure-password', 'leaf');
    await page.click('.qv-secure-open');
    await page.waitForFunction(() => document.querySelectorAll('.qv-download-link').length === 2);
    const next = page.waitForEvent('download');
    await page.click('.qv-download-link.qv-protected >> nth=1');
    const leaf = await next;
    assert.equal(leaf.suggestedFilename(), 'leaf-2.pdf');
    assert.equal(fs.readFileSync(await leaf.path(), 'utf8'), '%PDF page two');
    assert.deepEqual(page.problems, []);
  } finally {
    book.remove();
  }
});
