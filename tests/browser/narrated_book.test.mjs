// Narrated books as the program publishes them (publish_bench --sound ...), read in the
// real viewers of each browser engine: which sound the player is asked to play on which
// spread, and real sounds played through the engine's sound output under the engine's
// own autoplay rule. In the first books the browser's sound object is a stand-in
// (support/sounds.mjs) that records what it was given and ends when the test says.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { ENGINE, launchEngine, openBook, waitForPages } from './support/engine.mjs';
import { makePdf, publish, extraScript } from './support/publish.mjs';
import { SOUND_STAND_IN, PAGE_CLOCK, passTime, toneMp3 } from './support/sounds.mjs';

let dir, browser, automatic, manual, spoken, erring, locked, refusing;
const DELAY = 1200; // more than the second after a sound in which WebKit lets the next one play

// What the page's sound objects play, in window.heard: ["playing", time, sound, duration]
// when one begins to play a sound, ["refused", time] when the browser refuses to play,
// ["spread", time, index] when the viewer opens a spread, ["click", time] when the reader
// clicks; window.furthest[sound] is the
// furthest point of a sound heard playing, in seconds. A refusal the page does not catch
// stays uncaught.
const HEARD = `<script>(function () {
  var heard = window.heard = [], furthest = window.furthest = {}, Sound = window.Audio;
  var name = function (a) { return String(a.src).replace(/^.*[/]/, ''); };
  window.Audio = function (url) {
    var sound = url === undefined ? new Sound() : new Sound(url), last = '';
    sound.addEventListener('playing', function () {
      if (name(sound) !== last) heard.push(['playing', performance.now(), last = name(sound), sound.duration]);
    });
    sound.addEventListener('timeupdate', function () {
      if (!sound.paused) furthest[name(sound)] = Math.max(furthest[name(sound)] || 0, sound.currentTime);
    });
    var play = sound.play;
    sound.play = function () {
      return play.apply(sound, arguments).catch(function (e) {
        if (e && e.name === 'NotAllowedError') heard.push(['refused', performance.now()]);
        throw e;
      });
    };
    return sound;
  };
  document.addEventListener('DOMContentLoaded', function () {
    Quorvel.events.on('spread', function (e) { heard.push(['spread', performance.now(), e.index]); });
  });
  document.addEventListener('click', function () { heard.push(['click', performance.now()]); }, true);
})();</script>`;

// As Firefox does without a sound output: a sound reports an error just after it begins
// to play, and ends a tenth of a second later, long before its time.
const CUT_SHORT = `<script>(function () {
  var Sound = window.Audio;
  window.Audio = function (url) {
    var sound = url === undefined ? new Sound() : new Sound(url);
    sound.addEventListener('playing', function () {
      var src = sound.src;
      setTimeout(function () { if (sound.src === src) sound.dispatchEvent(new Event('error')); }, 10);
      setTimeout(function () { if (sound.src === src) { sound.pause(); sound.dispatchEvent(new Event('ended')); } }, 100);
    });
    return sound;
  };
})();</script>`;

// Stand-in sounds of a minute that the browser refuses to play while window.refuse is set.
const REFUSED = `<script>(function () {
  window.refuse = true;
  var play = window.Audio.prototype.play;
  window.Audio.prototype.play = function () {
    this.duration = 60;
    if (!window.refuse) return play.apply(this, arguments);
    window.refusals = (window.refusals || 0) + 1;
    return Promise.reject(new DOMException('not before the reader has started', 'NotAllowedError'));
  };
})();</script>`;

before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-narrated-'));
  const pdf = path.join(dir, 'source.pdf');
  await makePdf(pdf, ['one', 'two', 'three', 'four', 'five', 'six', 'seven']);
  for (const name of ['cover', 'middle', 'two']) fs.writeFileSync(path.join(dir, name + '.mp3'), 'ID3 ' + name);
  const sound = (spread, file) => ['--sound', `${spread}=${file}`];
  const fake = (name) => path.join(dir, name + '.mp3');
  const standIn = extraScript(dir, SOUND_STAND_IN);
  automatic = pathToFileURL(publish(pdf, path.join(dir, 'automatic'), 'book',
    [...sound(0, fake('cover')), ...sound(2, fake('middle')), '--delay', '100', '--mute', '200', ...standIn])).href;
  manual = pathToFileURL(publish(pdf, path.join(dir, 'manual'), 'book', [...sound(1, fake('two')), '--manual',
    ...extraScript(dir, SOUND_STAND_IN + PAGE_CLOCK)])).href;
  refusing = pathToFileURL(publish(pdf, path.join(dir, 'refusing'), 'book',
    [...sound(0, fake('cover')), ...sound(1, fake('two')), '--delay', '100', ...extraScript(dir, SOUND_STAND_IN + REFUSED + PAGE_CLOCK)])).href;
  // Real sounds of three seconds on spreads 1, 2 and 3; a protected book has them on
  // spreads 3 and 4 only, after two silent ones.
  const tone = toneMp3(path.join(dir, 'tone.mp3'), 3);
  const tones = (...spreads) => spreads.flatMap((spread) => sound(spread, tone));
  spoken = pathToFileURL(publish(pdf, path.join(dir, 'spoken'), 'book',
    [...tones(0, 1, 2), '--delay', String(DELAY), ...extraScript(dir, HEARD)])).href;
  fs.writeFileSync(path.join(dir, 'users.txt'), 'reader\tsecret\n');
  locked = pathToFileURL(publish(pdf, path.join(dir, 'locked'), 'book', [...tones(2, 3), '--delay', String(DELAY),
    '--mute', '2800', '--users', path.join(dir, 'users.txt'), ...extraScript(dir, HEARD)])).href;
  erring = pathToFileURL(publish(pdf, path.join(dir, 'erring'), 'book',
    [...tones(0, 1), '--delay', '50', '--mute', '50', ...extraScript(dir, HEARD + CUT_SHORT)])).href;
  browser = await launchEngine({ sound: 'gesture' });
});

after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

const requests = (page) => page.evaluate(() => Quorvel.narration.requests.map((r) => [r.spread, r.sound, r.reason]));

test('automatic narration plays each spread\'s sound and turns on after the pauses', async () => {
  const page = await browser.newPage();
  await openBook(page, automatic);
  await page.waitFor(() => Quorvel.narration && sounds.length === 1);
  assert.deepEqual(await requests(page), [[0, 'files/narration/1.mp3', 'auto']]);
  assert.equal(await page.visible('.qv-button-narration'), false, 'no play button in automatic mode');

  // The cover's sound ends: after the pause the book turns to spread 1 (no sound), and
  // after the silent pause to spread 2, whose sound plays.
  await page.evaluate(() => sounds[0].end());
  await waitForPages(page, [2, 3]);
  await page.waitFor(() => sounds.length === 2);
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [4, 5]);
  assert.deepEqual(await requests(page), [[0, 'files/narration/1.mp3', 'auto'], [2, 'files/narration/4_5.mp3', 'auto']]);
  assert.equal(fs.readFileSync(new URL('files/narration/4_5.mp3', automatic), 'utf8'), 'ID3 middle');

  // Turning the page by hand stops the sound that plays.
  await page.click('.qv-button-prev');
  await waitForPages(page, [2, 3]);
  assert.equal(await page.evaluate(() => sounds[1].paused), true);
  assert.deepEqual(await page.problems(), []);
  await page.close();
});

test('manual narration plays the open spread\'s sound when the reader asks', async () => {
  const page = await browser.newPage();
  await openBook(page, manual);
  await page.waitFor(() => Quorvel.narration && document.querySelector('.qv-button-narration'));
  assert.equal(await page.disabled('.qv-button-narration'), true, 'the cover has no sound');
  await passTime(page, 2000);
  assert.equal(await page.evaluate(() => sounds.length), 0);

  await page.click('.qv-button-next');
  await waitForPages(page, [2, 3]);
  await page.waitFor(() => !document.querySelector('.qv-button-narration').disabled);
  await page.click('.qv-button-narration');
  assert.deepEqual(await requests(page), [[1, 'files/narration/2_3.mp3', 'manual']]);
  assert.deepEqual(await page.evaluate(() => sounds.map((s) => [s.url, s.paused])), [['files/narration/2_3.mp3', false]]);
  // A second press stops it; a sound that ends turns no page in manual mode.
  await page.click('.qv-button-narration');
  assert.equal(await page.evaluate(() => sounds[0].paused), true);
  await page.click('.qv-button-narration');
  await page.evaluate(() => sounds[1].end());
  await passTime(page, 5000);
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [2, 3]);
  assert.deepEqual(await page.problems(), []);
  await page.close();
});

// Opens url in a new page of the engine, runs read(page) and closes the page.
async function reading(engine, url, read) {
  const page = await engine.newPage();
  try {
    await openBook(page, url);
    await read(page);
  } finally {
    await page.close();
  }
}

// The reader's one start: a click beside the book, once the browser has refused the
// cover's sound (no engine lets a page play sound before the reader has done something).
async function start(page) {
  await page.waitFor(() => window.heard.some((e) => e[0] === 'refused'));
  await page.clickAt(5, 5);
}

// Waits until the sounds of the spreads named have begun to play, one after the other,
// and checks that each spread stayed open for its sound's length and the pause after it.
// Answers what heard says of each sound: [name, when it began] (ms).
async function heardInTurn(page, spreads, pause) {
  await page.waitFor((n) => window.heard.filter((e) => e[0] === 'playing').length >= n, spreads.length, 20000 * spreads.length);
  const heard = await page.evaluate(() => window.heard);
  const played = heard.filter((e) => e[0] === 'playing').slice(0, spreads.length);
  for (let k = 0; k + 1 < spreads.length; k++) {
    const [, began, , seconds] = played[k];
    const opened = heard.find((e) => e[0] === 'spread' && e[2] === spreads[k] + 1);
    assert.ok(opened && opened[1] > began, `spread ${spreads[k] + 1} opened after the sound of spread ${spreads[k]} began`);
    const open = opened[1] - began;
    assert.ok(open >= seconds * 1000 + pause, `spread ${spreads[k]} turned ${Math.round(open)} ms after its sound began, ` +
      `which lasts ${seconds * 1000} ms and is followed by ${pause} ms`);
  }
  return played.map((e) => [e[2], e[1]]);
}

test('after one start the sounds of spreads 1, 2 and 3 play in turn, each for its length', () => reading(browser, spoken, async (page) => {
  await start(page);
  const played = await heardInTurn(page, [0, 1, 2], DELAY);
  assert.deepEqual(played.map((p) => p[0]), ['1.mp3', '2_3.mp3', '4_5.mp3']);
  // Each was heard: its time ran on while it played.
  await page.waitFor(() => window.furthest['4_5.mp3'] >= 1, null, 20000);
  const furthest = await page.evaluate(() => window.furthest);
  for (const name of ['1.mp3', '2_3.mp3']) assert.ok(furthest[name] >= 2, `${name} played to ${furthest[name]} s`);
  assert.deepEqual(await requests(page), [0, 1, 2].map((i) => [i, `files/narration/${['1', '2_3', '4_5'][i]}.mp3`, 'auto']));
}));

test('the login is the start of a protected book: its spreads play in turn once it is open', () => reading(browser, locked, async (page) => {
  await page.fill('.qv-secure-user', 'reader');
  await page.fill('.qv-secure-password', 'secret');
  await page.click('.qv-secure-open');
  // Two silent spreads first: the first sound comes long after the login (WebKit
  // forgets a gesture after a few seconds, except for the element it readied).
  const played = await heardInTurn(page, [2, 3], DELAY);
  const login = (await page.evaluate(() => window.heard)).filter((e) => e[0] === 'click').pop()[1];
  assert.ok(played[0][1] - login > 5000, `the first sound began ${Math.round(played[0][1] - login)} ms after the login`);
  const names = played.map((p) => p[0]);
  assert.ok(names.every((name) => /^[0-9a-f-]{36}$/.test(name)) && names[0] !== names[1], `the decrypted sounds play: ${names}`);
  await page.waitFor((name) => window.furthest[name] >= 1, names[1], 20000);
  assert.deepEqual((await requests(page)).map((r) => r[0]), [2, 3]);
}));

test('a sound that reports an error and ends early keeps its spread open for its length', () => reading(browser, erring, async (page) => {
  await start(page);
  await heardInTurn(page, [0, 1], 50);
}));

test('without a sound output each spread lasts its sound\'s length', { skip: ENGINE !== 'firefox' && 'only Firefox cuts sounds short without one' }, async () => {
  // No sound server answers: Firefox reports an error as each sound begins and ends it a
  // second later.
  const quiet = await launchEngine({ sound: 'gesture', soundOutput: false });
  try {
    await reading(quiet, spoken, async (page) => {
      await start(page);
      const played = await heardInTurn(page, [0, 1, 2], DELAY);
      assert.deepEqual(played.map((p) => p[0]), ['1.mp3', '2_3.mp3', '4_5.mp3']);
    });
  } finally {
    await quiet.close();
  }
});

test('a refused sound waits quietly for the reader, and once started a refused spread still lasts its sound', () => reading(browser, refusing, async (page) => {
  await page.waitFor(() => window.refusals === 1);
  // A key the browser does not take for leave to play: refused again, and no refusal
  // goes uncaught; the sound waits for the next gesture.
  await page.press('Escape');
  await page.waitFor(() => window.refusals === 2);
  await page.evaluate(() => { window.refuse = false; });
  await page.clickAt(5, 5);
  await page.waitFor(() => sounds.length === 1 && !sounds[0].paused);

  // The browser refuses the next spread's sound of a minute: the spread lasts it, then
  // the pause, and the book turns on.
  await page.evaluate(() => { window.refuse = true; sounds[0].end(); });
  await waitForPages(page, [2, 3]);
  await page.waitFor(() => window.refusals === 3);
  await passTime(page, 50000);
  assert.deepEqual(await page.evaluate(() => Quorvel.reader.pages), [2, 3]);
  await passTime(page, 10200);
  await waitForPages(page, [4, 5]);
  assert.deepEqual(await page.problems(), []);
}));

test('the phone version follows the narration one page at a time', async () => {
  const phone = await launchEngine({ phone: true });
  try {
    const page = await phone.newPage();
    await page.goto(automatic);
    await page.waitFor(() => /mobile\/index\.html/.test(location.href) && window.Quorvel && Quorvel.narration && sounds.length === 1);
    assert.equal(await page.evaluate(() => sounds[0].url), '../files/narration/1.mp3');
    await page.evaluate(() => sounds[0].end());
    // Spread 1 shows page 2 alone on a phone; the narration goes on to spread 2 all the same.
    await page.waitFor(() => sounds.length === 2);
    assert.deepEqual(await page.evaluate(() => [Quorvel.reader.pages, sounds[1].url]), [[4], '../files/narration/4_5.mp3']);
    assert.deepEqual(await page.problems(), []);
    await page.close();
  } finally {
    await phone.close();
  }
});
