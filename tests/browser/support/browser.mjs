// Starts headless Chromium for the viewer tests and watches pages for script errors:
// a console error or an uncaught exception in any page of these browsers fails the test
// it happens in, unless the test said it expects it (expectErrors).
import { afterEach } from 'node:test';
import assert from 'node:assert/strict';
import { chromium } from 'playwright-core';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

const ARGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

export const PHONE = {
  viewport: { width: 390, height: 780 },
  userAgent: 'Mozilla/5.0 (Linux; Android 13; Pixel 7) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0 Mobile Safari/537.36',
  isMobile: true,
  hasTouch: true,
  deviceScaleFactor: 1
};

export const DESKTOP = { viewport: { width: 1280, height: 800 } };

let unexpected = [];
let expected = [];

// Errors (console texts or exception messages) matching one of the patterns are what
// the running test expects: they do not fail it.
export function expectErrors(...patterns) {
  expected.push(...patterns);
}

afterEach(() => {
  const found = unexpected;
  unexpected = [];
  expected = [];
  assert.deepEqual(found, [], 'errors in the browser');
});

// Records the page's console errors and uncaught exceptions in `page.problems`. What a
// page reports while it is being closed (a player's audio torn down halfway) no reader
// sees, and is left out.
function watch(page) {
  if (page.problems) return page;
  page.problems = [];
  let closing = false;
  const close = page.close.bind(page);
  page.close = (...args) => { closing = true; return close(...args); };
  const note = (text) => {
    if (closing) return;
    page.problems.push(text);
    if (!expected.some((pattern) => pattern.test(text))) unexpected.push(`${page.url()}: ${text}`);
  };
  page.on('console', (msg) => { if (msg.type() === 'error') note(msg.text()); });
  page.on('pageerror', (err) => note(String(err)));
  return page;
}

// A browser with a fresh profile folder of its own; close() removes it again. Every page
// of it is watched for errors.
export async function launch(options = DESKTOP) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-profile-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ARGS,
    ...options
  });
  context.pages().forEach(watch);
  context.on('page', watch);
  // Every wait of a test ends within seconds: a viewer that never gets where it should
  // (a page that stays locked, a picture that never comes) fails the test at once
  // instead of holding it until the run's time is up. Long enough for the viewer's own
  // longest wait (the preloader gives way after 10 s when no page can show).
  context.setDefaultTimeout(15000);
  return {
    context,
    async close() {
      await context.close();
      fs.rmSync(profile, { recursive: true, force: true });
    }
  };
}

// A new tab that records console errors and uncaught exceptions in `page.problems`.
export async function watchedPage(context) {
  return watch(await context.newPage());
}

// Opens a book's page and waits until the viewer has started and shown its first pages.
export async function openBook(page, url) {
  await page.goto(url);
  await page.waitForFunction(() => window.Quorvel && window.Quorvel.reader);
  await page.waitForSelector('.qv-preloader', { state: 'detached' });
}

// Calls check() (in node) until it gives a true value, which it returns; fails after
// timeout ms with what was waited for and the last value seen.
export async function poll(check, what, timeout = 15000) {
  const end = Date.now() + timeout;
  for (let last; ;) {
    last = await check();
    if (last) return last;
    if (Date.now() > end) throw new Error(`waited ${timeout} ms for ${what} (last: ${last})`);
    await new Promise((r) => setTimeout(r, 50));
  }
}

export function visiblePages(page) {
  return page.evaluate(() => window.Quorvel.reader.pages);
}

export async function waitForPages(page, expected) {
  await page.waitForFunction((want) => JSON.stringify(window.Quorvel.reader.pages) === want,
    JSON.stringify(expected), { timeout: 15000 });
}
