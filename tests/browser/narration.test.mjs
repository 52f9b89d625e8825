// The narration player in the browser, with the narration data the program writes: which
// sound it plays on which spread, the pauses of automatic play, and manual play.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { launch, removeBooks, runTool, writeBook } from './support/secure-book.mjs';
import { installPageClock, passTime } from './support/sounds.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); removeBooks(); });

// A five-page book (spreads "1", "2_3", "4_5") with sounds on spreads 0 and 2.
function narratedBook(extra) {
  const book = writeBook(5);
  const sounds = path.join(book.folder, 'sources');
  fs.mkdirSync(sounds);
  fs.writeFileSync(path.join(sounds, 'cover.mp3'), 'not really a sound');
  fs.writeFileSync(path.join(sounds, 'end.mp3'), 'not really a sound either');
  runTool('quorvel-narrate-book', ['--book', book.folder, '--pages', '5', '--sound', `0=${sounds}/cover.mp3`,
    '--sound', `2=${sounds}/end.mp3`, ...extra]);
  return book;
}

// A stand-in for the viewer (its events and reader) and for the sound object, so the
// test decides when a sound ends; every step is logged with its time. The page runs on a
// clock of its own, so that a test can let time pass where nothing is to happen.
async function openWithFakes(page, book) {
  await installPageClock(page);
  await page.goto(book.url);
  await page.evaluate(async () => {
    const handlers = [];
    window.log = [];
    window.sounds = [];
    window.Quorvel = {
      events: { on: (t, fn) => handlers.push(fn), off() {} },
      reader: {
        pages: [1],
        next() {
          const spread = Math.floor(this.pages[0] / 2) + 1;
          this.pages = [2 * spread, 2 * spread + 1];
          log.push(['turn', spread, performance.now()]);
          handlers.forEach((fn) => fn({ index: spread, pages: this.pages }));
        }
      }
    };
    window.showSpread = (index) => { Quorvel.reader.pages = [2 * index]; handlers.forEach((fn) => fn({ index })); };
    // The player's one sound object; sounds lists each sound it is given.
    class FakeSound {
      constructor() { this.listeners = {}; this.src = ''; }
      set src(url) {
        this.url = url;
        if (url) sounds.push({ url, paused: false, end: () => { if (this.url === url) this.end(); } });
      }
      get src() { return this.url; }
      addEventListener(type, fn) { (this.listeners[type] = this.listeners[type] || []).push(fn); }
      play() { log.push(['play', this.url, performance.now()]); return Promise.resolve(); }
      pause() { sounds[sounds.length - 1].paused = true; }
      end() { (this.listeners.ended || []).forEach((fn) => fn()); }
    }
    window.player = await QuorvelNarration.install({ createAudio: () => new FakeSound() });
  });
}

const steps = (page) => page.evaluate(() => log.map((e) => e.slice(0, 2)));

test('automatic play plays each spread and turns on after the pauses', async () => {
  const book = narratedBook(['--delay', '150', '--mute', '300']);
  assert.deepEqual(fs.readFileSync(path.join(book.folder, 'files/narration/4_5.mp3'), 'utf8'), 'not really a sound either');
  const page = await browser.page();
  await openWithFakes(page, book);

  // The cover's sound starts as soon as the player follows the book.
  assert.deepEqual(await steps(page), [['play', 'files/narration/1.mp3']]);
  await page.evaluate(() => { window.ended = performance.now(); sounds[0].end(); });
  await page.waitForFunction(() => log.length >= 3, null, { timeout: 5000 });
  // Spread 1 has no sound: the player waits the silent pause and turns on again.
  await page.waitForFunction(() => log.some((e) => e[0] === 'play' && e[1].endsWith('4_5.mp3')), null, { timeout: 5000 });
  assert.deepEqual(await steps(page), [['play', 'files/narration/1.mp3'], ['turn', 1], ['turn', 2],
    ['play', 'files/narration/4_5.mp3']]);
  const times = await page.evaluate(() => ({ ended, turns: log.filter((e) => e[0] === 'turn').map((e) => e[2]) }));
  assert.ok(times.turns[0] - times.ended >= 140, 'waited the pause after the sound');
  assert.ok(times.turns[1] - times.turns[0] >= 290, 'waited the pause of the silent spread');

  // The last spread ends the narration: no further turn.
  await page.evaluate(() => sounds[1].end());
  await passTime(page, 2000);
  assert.equal((await steps(page)).length, 4);
  const requests = await page.evaluate(() => player.requests);
  assert.deepEqual(requests, [{ spread: 0, sound: 'files/narration/1.mp3', reason: 'auto' },
    { spread: 2, sound: 'files/narration/4_5.mp3', reason: 'auto' }]);
  assert.deepEqual(page.problems, []);
});

test('turning the page stops the sound and plays the new spread', async () => {
  const book = narratedBook(['--delay', '100']);
  const page = await browser.page();
  await openWithFakes(page, book);
  await page.evaluate(() => showSpread(2));
  assert.equal(await page.evaluate(() => sounds[0].paused), true);
  assert.deepEqual((await steps(page)).map((e) => e[1]), ['files/narration/1.mp3', 'files/narration/4_5.mp3']);
  // An ended sound of a spread already left does not turn the book.
  await page.evaluate(() => sounds[0].end());
  await passTime(page, 2000);
  assert.equal((await steps(page)).filter((e) => e[0] === 'turn').length, 0);
});

test('a sound the browser cannot play does not stop automatic play', async () => {
  const book = narratedBook(['--delay', '50', '--mute', '100']);
  const page = await browser.page();
  await page.goto(book.url);
  const turned = await page.evaluate(async () => {
    window.Quorvel = { events: { on() {}, off() {} } };
    const data = await QuorvelNarration.load();
    return new Promise((resolve) => {
      const player = QuorvelNarration.create(data, { turnPage: () => resolve(player.requests.length) });
      player.openSpread(0); // a real sound object with a file that is no MP3
      setTimeout(() => resolve('stalled'), 5000);
    });
  });
  assert.equal(turned, 1);
});
