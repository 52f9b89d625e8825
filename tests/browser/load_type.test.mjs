// The home page sends phones, or everyone, to the phone version as the load type says.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, watchedPage, DESKTOP, PHONE } from './support/browser.mjs';
import { makeBook, fillTemplate, RESOURCES } from './support/book.mjs';

let desktop, phone, book;

// One home page per load type, in the same book folder.
function homePage(type) {
  const template = fs.readFileSync(path.join(RESOURCES, 'templates', 'Aurora', 'viewer', 'index.html'), 'utf8');
  const file = path.join(book.dir, `type${type}.html`);
  fs.writeFileSync(file, fillTemplate(template, {
    TITLE: 'Load type ' + type, KEYWORDS: '', DESCRIPTION: '', SHARE_IMAGE: '', LOAD_TYPE: type, EXTRA_SCRIPT: ''
  }));
  return pathToFileURL(file).href;
}

async function landing(browser, url) {
  const page = await watchedPage(browser.context);
  await page.goto(url);
  await page.waitForFunction(() => window.Quorvel && Quorvel.reader);
  const result = {
    viewer: await page.evaluate(() => document.getElementById('qv-app').classList.contains('qv-phone') ? 'phone' : 'desktop'),
    hash: await page.evaluate(() => location.hash),
    pages: await page.evaluate(() => Quorvel.reader.pages)
  };
  assert.deepEqual(page.problems, []);
  await page.close();
  return result;
}

before(async () => {
  desktop = await launch(DESKTOP);
  phone = await launch(PHONE);
  book = await makeBook(desktop.context, { pageCount: 4 });
});

after(async () => {
  await desktop.close();
  await phone.close();
  book.remove();
});

test('load types choose the viewer per device and keep the page asked for', async () => {
  const expected = {
    0: { desktop: 'desktop', phone: 'phone' },
    1: { desktop: 'desktop', phone: 'desktop' },
    2: { desktop: 'desktop', phone: 'desktop' },
    3: { desktop: 'phone', phone: 'phone' },
    '': { desktop: 'desktop', phone: 'phone' }
  };
  for (const [type, want] of Object.entries(expected)) {
    const url = homePage(type) + '#p=3';
    const onDesktop = await landing(desktop, url);
    const onPhone = await landing(phone, url);
    assert.equal(onDesktop.viewer, want.desktop, `load type ${type} on a desktop`);
    assert.equal(onPhone.viewer, want.phone, `load type ${type} on a phone`);
    for (const r of [onDesktop, onPhone]) {
      assert.equal(r.hash, '#p=3');
      assert.ok(r.pages.includes(3), `load type ${type} shows page 3`);
    }
  }
});
