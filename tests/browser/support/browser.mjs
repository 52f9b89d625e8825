// Starts headless Chromium for the viewer tests and watches pages for script errors.
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

// A browser with a fresh profile folder of its own; close() removes it again.
export async function launch(options = DESKTOP) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-profile-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ARGS,
    ...options
  });
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
  const page = await context.newPage();
  page.problems = [];
  page.on('console', (msg) => { if (msg.type() === 'error') page.problems.push(msg.text()); });
  page.on('pageerror', (err) => page.problems.push(String(err)));
  return page;
}

// Opens a book's page and waits until the viewer has started and shown its first pages.
export async function openBook(page, url) {
  await page.goto(url);
  await page.waitForFunction(() => window.Quorvel && window.Quorvel.reader);
  await page.waitForSelector('.qv-preloader', { state: 'detached' });
}

export function visiblePages(page) {
  return page.evaluate(() => window.Quorvel.reader.pages);
}

export async function waitForPages(page, expected) {
  await page.waitForFunction((want) => JSON.stringify(window.Quorvel.reader.pages) === want,
    JSON.stringify(expected), { timeout: 15000 });
}
