// Books protected in the main window's security dialog and user list editor, saved,
// reopened and published from the window (tests/shell/web SecurityFlowTest), read in the
// browser: a wrong or empty password opens nothing; the book's password, and each user's
// own, open the pages, also in a book whose users came from another book's users.txt.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, watchedPage, DESKTOP } from './support/browser.mjs';
import { publishFromWindow } from './support/publish.mjs';

const PASSWORD = 'Sesame 7 öffne';
const USERS = [['user0', 'first secret'], ['user1', 'Zweites Geheimnis']];
let dir, browser;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-secured-'));
  publishFromWindow('SecurityFlowTest', dir);
  browser = await launch(DESKTOP);
});

after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

const bookUrl = (name) => pathToFileURL(path.join(dir, name, 'book.html')).href;

// The cover's picture address once it shows (null while it does not).
const cover = (page) => page.evaluate(() => {
  const img = document.querySelector('.qv-page[data-page="1"] img');
  return img && img.complete && img.naturalWidth > 0 ? img.getAttribute('src') : null;
});

async function answer(page, user, password) {
  if (user !== null) await page.fill('.qv-secure-user', user);
  await page.fill('.qv-secure-password', password);
  await page.click('.qv-secure-open');
}

async function expectRefused(page, message) {
  await page.waitForFunction((m) => new RegExp(m).test(document.querySelector('.qv-secure-message').textContent), message);
  assert.equal(await cover(page), null, 'a wrong answer shows no page');
}

async function expectOpened(page) {
  await page.waitForFunction(() => /^blob:/.test(document.querySelector('.qv-page[data-page="1"] img')?.getAttribute('src') || ''));
  await page.waitForFunction(() => document.querySelector('.qv-page[data-page="1"] img').naturalWidth > 0);
}

test('the book protected by one password opens with it only', async () => {
  const page = await watchedPage(browser.context);
  await page.goto(bookUrl('Guarded'));
  await page.waitForSelector('.qv-secure-dialog');
  assert.equal(await page.isVisible('.qv-secure-user'), false, 'one password asks for no name');
  await answer(page, null, PASSWORD.toLowerCase());
  await expectRefused(page, 'Wrong password');
  await answer(page, null, PASSWORD);
  await expectOpened(page);
  assert.deepEqual(page.problems, []);
  await page.close();
});

// "Reissued" is the book again, its users read back from the users.txt of "Listed"
// (their passwords unknown to the program), saved and reopened before it was published.
for (const book of ['Listed', 'Reissued']) {
  for (const [user, password] of USERS) {
    test(`the book ${book} opens for ${user} with their own password, never without one`, async () => {
      const page = await watchedPage(browser.context);
      await page.goto(bookUrl(book));
      await page.waitForSelector('.qv-secure-dialog');
      await answer(page, user, '');
      await expectRefused(page, 'Wrong user name or password');
      const other = USERS.find(([u]) => u !== user)[1];
      await answer(page, user, other);
      await expectRefused(page, 'Wrong user name or password');
      await answer(page, user, password);
      await expectOpened(page);
      assert.deepEqual(page.problems, []);
      await page.close();
    });
  }
}

test('no book holds a password in the clear', () => {
  for (const name of ['Guarded', 'Listed', 'Reissued']) {
    const files = fs.readdirSync(path.join(dir, name), { recursive: true, withFileTypes: true })
      .filter((e) => e.isFile()).map((e) => fs.readFileSync(path.join(e.parentPath ?? e.path, e.name)));
    for (const secret of [PASSWORD, ...USERS.map(([, p]) => p)])
      assert.ok(!files.some((f) => f.includes(secret)), `${name} holds "${secret}"`);
  }
});
