// Books published by the program itself: a PDF printed by the browser, imported and
// published with publish_bench (QUORVEL_BIN, default <repo>/build/bin).
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { launchEngine, RECORDER } from './engine.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
export const BIN = process.env.QUORVEL_BIN || path.resolve(here, '../../../build/bin');

// An A5 page per word, "Page n" and the word on a colour of its own, printed to PDF.
export async function printPdf(context, file, words) {
  const page = await context.newPage();
  const pages = words.map((w, i) => `<section style="break-after: page; height: 190mm; padding: 10mm;
    font: 28pt sans-serif; background: hsl(${i * 45}, 60%, 90%)"><h1>Page ${i + 1}</h1><p>${w}</p></section>`).join('');
  await page.setContent(`<!DOCTYPE html><html><body style="margin:0">${pages}</body></html>`);
  await page.pdf({ path: file, width: '148mm', height: '210mm', printBackground: true, margin: { top: 0, bottom: 0, left: 0, right: 0 } });
  await page.close();
}

// The same, printed by a Chromium of its own (for tests that run in another engine).
export async function makePdf(file, words) {
  const chromium = await launchEngine({ engine: 'chromium' });
  try {
    await printPdf(chromium.context, file, words);
  } finally {
    await chromium.close();
  }
}

// publish_bench's options that give a book the error recorder of engine.mjs (and any
// further markup) as its extra script, written to a file in dir.
export function extraScript(dir, markup = '') {
  const file = path.join(dir, 'extra-script.html');
  fs.writeFileSync(file, RECORDER + markup);
  return ['--script', file];
}

// Publishes pdf as the web book <out>/<name>.html with publish_bench's further options.
export function publish(pdf, out, name, options = []) {
  execFileSync(path.join(BIN, 'publish_bench'), ['--pdf', pdf, '--out', out, '--name', name, '--threads', '1', ...options],
    { env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' }, stdio: 'pipe' });
  return path.join(out, `${name}.html`);
}

// Runs one headless test of the main window (tests/shell/web) that publishes a book
// into out (it reads QUORVEL_BOOK_OUT); returns when the test has passed.
export function publishFromWindow(testClass, out) {
  execFileSync(path.join(BIN, 'tst_shell_web'), [testClass], {
    env: {
      ...process.env,
      QUORVEL_BOOK_OUT: out,
      QT_QPA_PLATFORM: 'xcb',
      QTWEBENGINE_DISABLE_SANDBOX: '1',
      QTWEBENGINE_CHROMIUM_FLAGS: '--disable-gpu --no-sandbox'
    },
    stdio: 'pipe',
    timeout: 300000
  });
}
