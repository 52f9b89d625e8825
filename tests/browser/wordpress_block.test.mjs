// The plug-in packages on a site: PHP's own web server runs the WordPress, Joomla and
// Drupal packages the program published, with stand-ins for the three systems, in a page
// laid out like WordPress's default theme.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { launch, watchedPage, DESKTOP, PHONE } from './support/browser.mjs';
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
const TEXT = '<p>Orchards keep their apples in a column of text like this one, which the theme centres.</p>';

// The post: the three systems at their published (default) size, then shortcodes with
// sizes of their own; two in one paragraph, as an author would type them.
const POST = `<?php
$pluginsBase = '/wp-content/plugins/';
include '${path.join(here, '..', 'data', 'php', 'wordpress-stubs.php')}';
function wp_get_global_settings($path) {
    $layout = array('contentSize' => '650px', 'wideSize' => '1200px');
    return $layout[$path[1]];
}
include __DIR__ . '/wp-content/plugins/orchard/orchard.php';
$book = $codes['orchard'];
define('_JEXEC', 1);
class JURI { public static function base($pathOnly = false) { return ''; } }
function base_path() { return '/'; }
function drupal_get_path($type, $name) { return 'sites/all/modules/' . $name; }
function check_plain($text) { return htmlspecialchars($text, ENT_QUOTES, 'UTF-8'); }
include __DIR__ . '/sites/all/modules/orchard_1/orchard_1.module';
$drupal = orchard_1_block_view('book');
?><!DOCTYPE html><html><head><meta charset="utf-8"><meta name="viewport" content="width=device-width, initial-scale=1"><link rel="icon" href="data:,"><style>${THEME_CSS}</style></head>
<body><div class="wp-site-blocks"><main class="entry-content wp-block-post-content has-global-padding is-layout-constrained">
${TEXT}<?php echo $book(''); ?>
<?php include __DIR__ . '/modules/mod_orchard_1/mod_orchard_1.php'; ?>
<?php echo $drupal['content']; ?>${TEXT}
<?php echo $book(array('width' => '80%')); ?>
<?php echo $book(array('height' => '560px')); ?>
<?php echo $book(array('width' => '400px')); ?>${TEXT}
<p><?php echo $book(''); ?> <?php echo $book(array('width' => '1000px')); ?></p>
<?php echo $book(array('width' => '1600px')); echo $book(array('align' => 'full')); ?>${TEXT}
</main></div></body></html>
`;

let dir, browser, server, pageUrl;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-wordpress-'));
  browser = await launch(DESKTOP);
  const pdf = path.join(dir, 'source.pdf');
  await printPdf(browser.context, pdf, ['apple', 'pear', 'plum', 'fig']);
  const site = path.join(dir, 'site');
  // Each package at the default size, unpacked where its system keeps it.
  for (const [kind, where] of [['6', 'wp-content/plugins'], ['7', 'modules/mod_orchard_1'], ['8', 'sites/all/modules']]) {
    const out = path.join(dir, `out${kind}`);
    execFileSync(path.join(BIN, 'publish_bench'), ['--pdf', pdf, '--out', out, '--name', 'orchard', '--kind', kind,
      '--width', '100%', '--height', '100%', '--threads', '1'],
    { env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' }, stdio: 'pipe' });
    fs.mkdirSync(path.join(site, where), { recursive: true });
    execFileSync('unzip', ['-q', path.join(out, 'orchard.zip'), '-d', path.join(site, where)]);
  }
  fs.writeFileSync(path.join(site, 'post.php'), POST);
  // PHP picks a free port and says which once it listens.
  server = spawn('php', ['-S', '127.0.0.1:0', '-t', site], { stdio: ['ignore', 'ignore', 'pipe'] });
  pageUrl = await new Promise((resolve, reject) => {
    let said = '';
    server.stderr.on('data', (d) => { said += d; const m = /\((http:\S+)\) started/.exec(said); if (m) resolve(`${m[1]}/post.php`); });
    server.on('exit', () => reject(new Error(`php -S ended: ${said}`)));
  });
});

after(async () => {
  server?.kill();
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

// The boxes of the text column and of each book's frame, in the order of the page.
function boxes(page) {
  return page.evaluate(() => {
    const box = (el) => el.getBoundingClientRect().toJSON();
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
  assert.equal(books.length, 10);
  const [wordpress, joomla, drupal, part, fixed, narrow, column, wide, wider, full] = books;
  assert.equal(Math.round(text.width), 650);
  for (const [name, b] of Object.entries({ wordpress, joomla, drupal, part, fixed, narrow, column, wide, wider })) {
    assert.ok(Math.abs(centre(b) - centre(text)) <= 1, `${name} is centred on the text column`);
  }
  // Widths in percent are of the column; the three systems give the same block.
  for (const b of [wordpress, joomla, drupal, column]) assert.equal(Math.round(b.width), 650);
  assert.equal(Math.round(part.width), 520);
  assert.deepEqual([joomla.height, drupal.height], [wordpress.height, wordpress.height]);
  assert.equal(Math.round(fixed.height), 560); // a height in pixels stays as given
  assert.equal(Math.round(narrow.width), 400);
  assert.equal(Math.round(wide.width), 1000); // beyond the column, within the wide width
  assert.equal(Math.round(wider.width), window); // beyond the wide width: the full width
  assert.equal(Math.round(full.width), window);
  assert.equal(Math.round(full.left), 0);
  // The two books of one paragraph are one above the other.
  assert.ok(wide.top >= column.bottom, 'the second book of a paragraph starts below the first');
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('on a narrow screen a wide book keeps within the window', async () => {
  const page = await watchedPage(browser.context);
  await page.setViewportSize({ width: 800, height: 900 });
  await page.goto(pageUrl);
  const { text, books, window } = await boxes(page);
  const wide = books[7];
  assert.ok(wide.left >= 0 && wide.right <= window, 'the 1000 pixel book fits an 800 pixel window');
  assert.ok(Math.abs(centre(wide) - centre(text)) <= 1);
  assert.ok(wide.width >= text.width);
  await page.close();
});

// The boxes of the pages shown from page 2 on (2 and 3, or 2 alone) and of the toolbar in
// a frame, once they stand still (turned, and the book moved from where the cover stood),
// and the frame's size.
async function pagesInFrame(frame, pages = [2, 3]) {
  await frame.waitForFunction(() => window.Quorvel && window.Quorvel.reader && window.Quorvel.reader.book.pageCount === 4);
  await frame.evaluate(() => window.Quorvel.reader.view.go(2, false));
  const measure = (pages) => {
    const boxes = pages.map((n) => document.querySelector(`.qv-page[data-page="${n}"]`).getBoundingClientRect().toJSON());
    const still = JSON.stringify(window.Quorvel.reader.pages) === JSON.stringify(pages) && !window.Quorvel.reader.view.busy &&
      document.getAnimations().every((a) => a.playState !== 'running') && boxes.every((r) => r.width > 0);
    return still && { pages: boxes, toolbar: document.querySelector('.qv-toolbar').getBoundingClientRect().toJSON(), width: innerWidth, height: innerHeight };
  };
  return (await frame.waitForFunction(measure, pages)).jsonValue();
}

// Wide enough, the book shows its spread; on a phone's width one page, as large as the
// frame's width allows. Every frame fits the window.
for (const width of [1920, 1024, 768, 390]) {
  const pages = width < 600 ? [2] : [2, 3];
  test(`at ${width} pixels a book of the default size shows ${pages.length > 1 ? 'its whole spread' : 'a whole page'} in every system`, async () => {
    const page = await watchedPage(browser.context);
    page.on('response', (r) => { if (r.status() >= 400) page.problems.push(`${r.status()} ${r.url()}`); });
    await page.setViewportSize({ width, height: 900 });
    await page.goto(pageUrl);
    const { text, books } = await boxes(page);
    const frames = await page.$$('iframe');
    for (const [i, system] of ['WordPress', 'Joomla', 'Drupal'].entries()) {
      const b = books[i];
      assert.ok(Math.abs(b.width - text.width) <= 1, `${system}: the frame is as wide as the column`);
      assert.ok(b.height >= 0.6 * text.width, `${system}: ${Math.round(b.height)} pixels high in a column of ${Math.round(text.width)}`);
      assert.ok(b.height <= 900, `${system}: ${Math.round(b.height)} pixels high in a window of 900`);
      const shown = await pagesInFrame(await frames[i].contentFrame(), pages);
      for (const p of shown.pages) {
        assert.ok(p.width > 0.2 * shown.width && p.left >= 0 && p.right <= shown.width && p.top >= 0 && p.bottom <= shown.toolbar.top + 0.5,
          `${system}: a page within the frame, above the toolbar: ${JSON.stringify(p)} in ${shown.width} x ${shown.height}`);
      }
      if (pages.length === 1) assert.ok(shown.pages[0].width >= 0.8 * shown.width, `${system}: the page fills ${Math.round(shown.pages[0].width)} of ${shown.width} pixels`);
      assert.ok(shown.toolbar.bottom <= shown.height + 0.5, `${system}: the toolbar shows`);
    }
    assert.deepEqual(page.problems, []);
    await page.close();
  });
}

test('a book across the whole width of a wide screen is no taller than the window, its toolbar in sight', async () => {
  const page = await watchedPage(browser.context);
  await page.setViewportSize({ width: 1920, height: 1000 });
  await page.goto(pageUrl);
  const { books, window } = await boxes(page);
  const full = books[9];
  assert.equal(Math.round(full.width), window);
  assert.ok(full.height <= 1000 && full.height >= 900, `the frame is ${Math.round(full.height)} pixels high in a window of 1000`);
  const shown = await pagesInFrame(await (await page.$$('iframe'))[9].contentFrame());
  assert.ok(shown.toolbar.bottom <= shown.height + 0.5 && shown.pages.every((p) => p.bottom <= shown.toolbar.top + 0.5),
    `the spread and the toolbar within the frame: ${JSON.stringify(shown)}`);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test('on a phone the frame has the shape of the phone version\'s one page, which fills its width', async () => {
  const phone = await launch(PHONE);
  try {
    const page = await watchedPage(phone.context);
    await page.goto(pageUrl);
    const { text, books } = await boxes(page);
    const frame = await (await page.$$('iframe'))[0].contentFrame();
    await frame.waitForFunction(() => /mobile\/index\.html/.test(location.href) && window.Quorvel && window.Quorvel.reader);
    const picture = await frame.waitForFunction(() => {
      const img = document.querySelector('.qv-slot[data-offset="0"] img');
      const r = img && img.complete && img.naturalWidth > 0 && img.getBoundingClientRect();
      return r && r.width > 0 && { width: r.width, bottom: r.bottom, toolbar: document.querySelector('.qv-toolbar').getBoundingClientRect().top };
    });
    const { width, bottom, toolbar } = await picture.jsonValue();
    assert.ok(Math.abs(books[0].width - text.width) <= 1 && books[0].height > books[0].width, `a frame of one page's shape: ${JSON.stringify(books[0])}`);
    assert.ok(width >= 0.8 * books[0].width, `the page fills ${Math.round(width)} of ${Math.round(books[0].width)} pixels`);
    assert.ok(bottom <= toolbar + 0.5, 'the page stands above the toolbar');
    assert.deepEqual(page.problems, []);
    await page.close();
  } finally {
    await phone.close();
  }
});
