#!/usr/bin/env node
// Checks the viewer against the browsers it must work in (package.json's "browserslist":
// the last two versions of the major browsers, and Safari 13 on iOS): its style sheets
// with doiuse, its scripts with ESLint and eslint-plugin-compat (browser interfaces),
// parsed as the language Safari 13 reads (ES2019). Prints each use outside the baseline
// and exits non-zero when there is one. Everything runs from node_modules, offline.
//
//   node scripts/check-viewer-baseline.mjs [file.css|file.js ...]   (default: the viewer)
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import postcss from 'postcss';
import doiuse from 'doiuse';
import { ESLint } from 'eslint';
import compat from 'eslint-plugin-compat';
import browserslist from 'browserslist';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const baseline = JSON.parse(fs.readFileSync(path.join(root, 'package.json'), 'utf8')).browserslist;

// Features left out of the check, each for its reason. Partly supported, for a part the
// viewer does not use: css-overflow ("overflow: clip" and two values), css-gradients
// (interpolation hints), css-math-functions (clamp(); min() and max() are there; grid's
// minmax() counts here too), intrinsic-width ("stretch"). Enhancements whose absence
// leaves the book working and laid out as it is: flexbox-gap (the spacing between
// toolbar buttons), css3-cursors-grab, css-focus-visible, css-resize, css-overscroll-
// behavior, css-touch-action and pointer (both flag the phone viewer's "touch-action",
// which only leaves pinching to the browser: desktop Safari has no touch, and iOS 13.0
// and 13.1 take it in part). css-logical-props stays
// checked: the "inset" shorthand counts under it, and without it iOS 13 and 14 lay out
// the phone viewer blank.
const IGNORED = ['css-overflow', 'css-gradients', 'css-math-functions', 'intrinsic-width', 'flexbox-gap',
  'css3-cursors-grab', 'css-focus-visible', 'css-resize', 'css-overscroll-behavior', 'css-touch-action', 'pointer'];

function viewerFiles() {
  const found = [];
  const walk = (dir) => {
    for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
      const file = path.join(dir, entry.name);
      if (entry.isDirectory()) walk(file);
      else if (/\.(css|js)$/.test(entry.name)) found.push(file);
    }
  };
  for (const dir of ['resources/viewer-lib', 'resources/viewer-common']) walk(path.join(root, dir));
  for (const template of fs.readdirSync(path.join(root, 'resources/templates'))) {
    const viewer = path.join(root, 'resources/templates', template, 'viewer');
    if (fs.existsSync(viewer)) walk(viewer);
  }
  return found.sort();
}

async function checkCss(file) {
  const problems = [];
  await postcss([doiuse({
    browsers: baseline,
    ignore: IGNORED,
    onFeatureUsage: (usage) => {
      const at = usage.usage.source.start;
      problems.push(`${path.relative(root, file)}:${at.line}:${at.column}: ${usage.message.replace(/^.*?: (?=\S)/, '')}`);
    }
  })]).process(fs.readFileSync(file, 'utf8'), { from: file });
  return problems;
}

async function checkJs(files) {
  if (!files.length) return [];
  const eslint = new ESLint({
    cwd: root,
    overrideConfigFile: true,
    overrideConfig: [{
      files: ['**/*.js'],
      plugins: { compat },
      settings: { browsers: baseline, polyfills: [] },
      languageOptions: {
        ecmaVersion: 2019,
        sourceType: 'script',
        globals: { window: 'readonly', document: 'readonly', navigator: 'readonly' }
      },
      rules: { 'compat/compat': 'error' }
    }]
  });
  const problems = [];
  for (const result of await eslint.lintFiles(files)) {
    for (const m of result.messages) problems.push(`${path.relative(root, result.filePath)}:${m.line}:${m.column}: ${m.message}`);
  }
  return problems;
}

const files = process.argv.length > 2 ? process.argv.slice(2).map((f) => path.resolve(f)) : viewerFiles();
const problems = [];
for (const file of files.filter((f) => f.endsWith('.css'))) problems.push(...await checkCss(file));
problems.push(...await checkJs(files.filter((f) => f.endsWith('.js'))));
for (const p of problems) console.log(p);
console.log(`${files.length} files checked against ${browserslist(baseline).length} browser versions (${baseline.join(', ')}): ` +
  `${problems.length} uses outside the baseline`);
process.exit(problems.length ? 1 : 0);
