// The WordPress package in a page laid out like WordPress's default theme: the
// program publishes the plug-in, PHP runs its shortcode with stand-ins for WordPress,
// and the blocks it prints stand in the text column like the theme's own blocks.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { launch, watchedPage, DESKTOP } from './support/browser.mjs';
import { printPdf, BIN } from './support/publish.mjs';

// The layout rules WordPress 6.1 writes for a block theme with a content width of 650
// pixels and a wide width of 1200 (the default theme's), padded like that theme.
const THEME_CSS = `
body { margin: 0; font: 18px/1.6 sans-serif;
  --wp--style--global--content-size: 650px; --wp--style--global--wide-size: 1200px;
  --wp--style--root--padding-left: clamp(30px, 5vw, 50px); --wp--style--root--padding-right: clamp(30px, 5vw, 50px); }
.has-global-padding { padding-left: var(--wp--style--root--padding-left); padding-right: var(--wp--style--root--padding-right); }
.has-global-padding > .alignfull { margin-left: calc(var(--wp--style--root--padding-left) * -1);
  margin-right: calc(var(--wp--style--root--padding-right) * -1); }
body .is-layout-constrained > :where(:not(.alignleft):not(.alignright):not(.alignfull)) {
  max-width: var(--wp--style--global--content-size); margin-left: auto !important; margin-right: auto !important; }
body .is-layout-constrained > .alignwide { max-width: var(--wp--style--global--wide-size); }
body .is-layout-constrained > * { margin-block-start: 0; margin-block-end: 0; }
body .is-layout-constrained > * + * { margin-block-start: 1.5rem; }
`;

const here = path.dirname(fileURLToPath(import.meta.url));

// Stand-ins for the WordPress functions the plug-in calls; prints what the shortcode
// gives for each set of attributes (JSON in the second argument).
const HARNESS = `<?php
$pluginsBase = 'file://' . dirname($argv[1], 2) . '/';
include '${path.join(here, '..', 'data', 'php', 'wordpress-stubs.php')}';
function wp_get_global_settings($path) {
    $layout = array('contentSize' => '650px', 'wideSize' => '1200px');
    return $layout[$path[1]];
}
include $argv[1];
$out = array();
foreach (json_decode($argv[2], true) as $atts) { foreach ($codes as $fn) { $out[] = call_user_func($fn, $atts); } }
echo json_encode($out);
`;

let dir, browser, pageUrl;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-wordpress-'));
  browser = await launch(DESKTOP);
  const pdf = path.join(dir, 'source.pdf');
  await printPdf(browser.context, pdf, ['apple', 'pear', 'plum', 'fig']);
  execFileSync(path.join(BIN, 'publish_bench'), ['--pdf', pdf, '--out', path.join(dir, 'out'), '--name', 'orchard',
    '--kind', '6', '--width', '100%', '--height', '560px', '--threads', '1'],
  { env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' }, stdio: 'pipe' });
  const plugins = path.join(dir, 'wp-content', 'plugins');
  fs.mkdirSync(plugins, { recursive: true });
  execFileSync('unzip', ['-q', path.join(dir, 'out', 'orchard.zip'), '-d', plugins]);
  fs.writeFileSync(path.join(dir, 'harness.php'), HARNESS);
  const sets = ['', { width: '400px' }, { width: '1000px' }, { width: '1600px' }, { align: 'full' }];
  const blocks = JSON.parse(execFileSync('php', [path.join(dir, 'harness.php'),
    path.join(plugins, 'orchard', 'orchard.php'), JSON.stringify(sets)]).toString());
  assert.equal(blocks.length, sets.length);
  const [column, narrow, wide, wider, full] = blocks;
  const text = '<p>Orchards keep their apples in a column of text like this one, which the theme centres.</p>';
  // Two books given one after the other in one paragraph, as an author would type them.
  fs.writeFileSync(path.join(dir, 'post.html'), `<!DOCTYPE html><html><head><meta charset="utf-8"><style>${THEME_CSS}</style></head>
<body><div class="wp-site-blocks"><main class="entry-content wp-block-post-content has-global-padding is-layout-constrained">
${text}${narrow}${text}<p>${column} ${wide}</p>${wider}${full}${text}</main></div></body></html>`);
  pageUrl = pathToFileURL(path.join(dir, 'post.html')).href;
});

after(async () => {
  await browser.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

// The boxes of the text column and of each book block, in the order of the page.
function boxes(page) {
  return page.evaluate(() => {
    const box = (el) => { const r = el.getBoundingClientRect(); return { left: r.left, right: r.right, top: r.top, bottom: r.bottom, width: r.width }; };
    return {
      text: box(document.querySelector('main > p')),
      books: [...document.querySelectorAll('iframe')].map((f) => box(f)),
      window: document.documentElement.clientWidth
    };
  });
}

const centre = (b) => (b.left + b.right) / 2;

test('books stand in the text column, each on its own line, and wider ones take the theme\'s wide and full widths', async () => {
  const page = await watchedPage(browser.context);
  await page.setViewportSize({ width: 1400, height: 900 });
  await page.goto(pageUrl);
  const { text, books, window } = await boxes(page);
  assert.equal(books.length, 5);
  const [narrow, column, wide, wider, full] = books;
  assert.equal(Math.round(text.width), 650);
  for (const [name, b] of Object.entries({ narrow, column, wide, wider })) {
    assert.ok(Math.abs(centre(b) - centre(text)) <= 1, `${name} is centred on the text column`);
  }
  assert.equal(Math.round(narrow.width), 400);
  assert.equal(Math.round(column.width), 650); // 100% is the column
  assert.equal(Math.round(wide.width), 1000); // beyond the column, within the wide width
  assert.equal(Math.round(wider.width), window); // beyond the wide width: the full width
  assert.equal(Math.round(full.width), window);
  assert.equal(Math.round(full.left), 0);
  // The two books of one paragraph are one above the other.
  assert.ok(wide.top >= column.bottom, 'the second book of a paragraph starts below the first');

  // The book itself opens in its frame.
  const frame = page.frames().find((f) => f.url().includes('/orchard/book/book.html'));
  assert.ok(frame, 'a frame shows the book');
  await frame.waitForFunction(() => window.Quorvel && window.Quorvel.reader && window.Quorvel.reader.book.pageCount === 4);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('on a narrow screen a wide book keeps within the window', async () => {
  const page = await watchedPage(browser.context);
  await page.setViewportSize({ width: 800, height: 900 });
  await page.goto(pageUrl);
  const { text, books, window } = await boxes(page);
  const wide = books[2];
  assert.ok(wide.left >= 0 && wide.right <= window, 'the 1000 pixel book fits an 800 pixel window');
  assert.ok(Math.abs(centre(wide) - centre(text)) <= 1);
  assert.ok(wide.width >= text.width);
  await page.close();
});
