// Protected books as the program publishes them (publish_bench with a password), read in
// the real viewers of each browser engine (support/engine.mjs): the free front pages, the
// password dialog, wrong answers, the protected pages once opened (what the files hold:
// tst_protectedpublish; a users list: guarded_content), and the phone version's free pages.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import crypto from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launchEngine, openBook, waitForPages } from './support/engine.mjs';
import { makePdf, publish, extraScript } from './support/publish.mjs';

const WORDS = ['meadow', 'harbour', 'lantern', 'orchard', 'glacier', 'violin', 'compass', 'thimble'];
const PASSWORD = 'Sesame 7 öffne';

let dir, browser, plain, guarded;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-protected-'));
  const pdf = path.join(dir, 'source.pdf');
  await makePdf(pdf, WORDS);
  plain = path.dirname(publish(pdf, path.join(dir, 'plain'), 'book'));
  guarded = path.dirname(publish(pdf, path.join(dir, 'guarded'), 'book',
    ['--password', PASSWORD, '--except', '2', ...extraScript(dir)]));
  browser = await launchEngine();
});

after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

const url = (folder, file = 'book.html') => pathToFileURL(path.join(folder, file)).href;
const sha256 = (data) => crypto.createHash('sha256').update(data).digest('hex');

// What a desktop page shows: its picture's address, or its notice, or null while loading.
function shown(page, n) {
  return page.evaluate((n) => {
    const el = document.querySelector(`.qv-page[data-page="${n}"]`);
    const img = el && el.querySelector('img');
    if (img && img.complete && img.naturalWidth > 0) return img.getAttribute('src');
    const notice = el && el.querySelector('.qv-page-error');
    return notice ? 'notice: ' + notice.textContent : null;
  }, n);
}

// The digest of the bytes behind a page's blob: address.
function shownDigest(page, n) {
  return page.evaluate(async (n) => {
    const url = document.querySelector(`.qv-page[data-page="${n}"] img`).src;
    const bytes = await (await fetch(url)).arrayBuffer();
    return Array.from(new Uint8Array(await crypto.subtle.digest('SHA-256', bytes)))
      .map((b) => b.toString(16).padStart(2, '0')).join('');
  }, n);
}

async function search(page, word) {
  if (!(await page.visible('.qv-search-input'))) await page.click('.qv-button-search');
  await page.fill('.qv-search-input', word);
  await page.press('Enter');
  await page.waitFor(() => document.querySelector('.qv-search-results').getAttribute('aria-busy') === 'false');
  return page.evaluate(() => [...document.querySelectorAll('.qv-search-result')].map((e) => e.dataset.page));
}

test('the front pages show without a password; the protected ones open with it only', async () => {
  const page = await browser.newPage();
  await openBook(page, url(guarded));
  // The cover, small on this screen, shows its small picture.
  await page.waitFor((n) => document.querySelector(`.qv-page[data-page="${n}"] img`)?.naturalWidth > 0, 1);
  assert.match(await shown(page, 1), /^files\/(small|page)\/1\.jpg$/);
  // The look-ahead has loaded the free page 2 beside it, and passed the protected page 3.
  await page.waitFor((n) => document.querySelector(`.qv-page[data-page="${n}"] img`)?.naturalWidth > 0, 2);
  assert.equal(await page.count('.qv-secure-dialog'), 0, 'nothing asks while only free pages are in sight');
  assert.deepEqual(await search(page, WORDS[4]), [], 'the text of a protected page is not readable yet');
  assert.match(await page.text('.qv-search-status'), /once the book is opened/);

  // Page 3, next to the free page 2, asks; closing the dialog leaves it shut.
  await page.click('.qv-button-next');
  await page.click('.qv-secure-cancel');
  await page.waitFor(() => document.querySelector('.qv-page[data-page="3"] .qv-page-locked'));
  await page.waitFor((n) => document.querySelector(`.qv-page[data-page="${n}"] img`)?.naturalWidth > 0, 2);
  assert.equal(await shown(page, 2), 'files/page/2.jpg');
  assert.match(await shown(page, 3), /^notice: /);

  // The toolbar's button asks again; a wrong password is refused and shows nothing.
  await page.click('.qv-button-unlock');
  await page.fill('.qv-secure-password', PASSWORD.toUpperCase());
  await page.click('.qv-secure-open');
  await page.waitFor(() => /Wrong password/.test(document.querySelector('.qv-secure-message').textContent));
  assert.match(await shown(page, 3), /^notice: /);

  await page.fill('.qv-secure-password', PASSWORD);
  await page.click('.qv-secure-open');
  await page.waitFor(() => /^blob:/.test(document.querySelector('.qv-page[data-page="3"] img').getAttribute('src') || ''));
  assert.equal(await shownDigest(page, 3), sha256(fs.readFileSync(path.join(plain, 'files/page/3.jpg'))));
  assert.equal(await page.visible('.qv-button-unlock'), false);
  // The search that found nothing is run again with the protected pages' texts.
  await page.waitFor(() => document.querySelector('.qv-search-result[data-page="5"]'));
  assert.deepEqual(await page.problems(), []);
  await page.close();
});

test('the phone version shows its free pages and asks on the first protected one', async () => {
  const phone = await launchEngine({ phone: true });
  try {
    const page = await phone.newPage();
    await page.goto(url(guarded) + '#p=2');
    await page.waitFor(() => /mobile\/index\.html#p=2$/.test(location.href));
    await page.waitFor(() => window.Quorvel && Quorvel.reader &&
      document.querySelector('.qv-slot[data-offset="0"] img')?.naturalWidth > 0);
    // The free page shows its own picture; the protected page beside it asks for nothing yet.
    assert.doesNotMatch(await page.attribute('.qv-slot[data-offset="0"] img', 'src'), /^blob:/);
    assert.equal(await page.count('.qv-secure-dialog'), 0);
    await page.evaluate(() => Quorvel.reader.next());
    await waitForPages(page, [3]);
    await page.fill('.qv-secure-password', PASSWORD);
    await page.click('.qv-secure-open');
    await page.waitFor(() => /^blob:/.test(document.querySelector('.qv-slot[data-offset="0"] img').getAttribute('src') || '') &&
      document.querySelector('.qv-slot[data-offset="0"] img').naturalWidth > 0);
    await page.close();
  } finally {
    await phone.close();
  }
});
