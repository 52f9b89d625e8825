// Pages whose sound objects are stand-ins: window.sounds lists every sound the page gave
// one (its url and whether it is paused; a sound object that is given another sound
// keeps the list going); sound.end() ends one as if it had played out (nothing once its
// object has another).
// window.plays lists every play() of a sound or media element, window.downloads every
// download the page starts (address and name; nothing is saved).
// SOUND_STAND_IN is all of that as markup for a book's extra script, so it works in every
// engine (support/engine.mjs); narratedPage() puts it into a playwright page instead.
// PAGE_CLOCK is a clock of the page's own, also as extra-script markup: timers, animation
// frames, Date.now and performance.now run as usual until passTime() moves them on.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { watchedPage } from './browser.mjs';
import { BIN } from './publish.mjs';

function standIn() {
  window.sounds = [];
  window.plays = [];
  window.downloads = [];
  window.Audio = class {
    constructor(url) { this.listeners = {}; this.sound = null; if (url !== undefined) this.src = url; }
    get src() { return this.sound ? this.sound.url : ''; }
    set src(url) {
      const sound = this.sound = { url: String(url), paused: true, end: () => { if (this.sound === sound) this.end(); } };
      window.sounds.push(sound);
    }
    get paused() { return !this.sound || this.sound.paused; }
    removeAttribute(name) { if (name === 'src') this.sound = null; }
    load() {}
    addEventListener(type, fn) { (this.listeners[type] = this.listeners[type] || []).push(fn); }
    play() {
      if (!this.sound) return new Promise(() => {});
      window.plays.push(this.sound.url);
      this.sound.paused = false;
      return Promise.resolve();
    }
    pause() { if (this.sound) this.sound.paused = true; }
    end() { this.pause(); (this.listeners.ended || []).forEach((fn) => fn()); }
  };
  const play = HTMLMediaElement.prototype.play;
  HTMLMediaElement.prototype.play = function () { window.plays.push(this.currentSrc || this.src); return play.apply(this, arguments); };
  const click = HTMLAnchorElement.prototype.click;
  HTMLAnchorElement.prototype.click = function () {
    if (!this.hasAttribute('download')) return click.apply(this, arguments);
    window.downloads.push({ url: this.href, name: this.getAttribute('download') });
  };
}

export const SOUND_STAND_IN = `<script>(${standIn})();</script>`;

// A watched page (support/browser.mjs) with the stand-ins; with clock, also the page
// clock of PAGE_CLOCK, which passTime() moves on.
export async function narratedPage(context, { clock = false } = {}) {
  const page = await watchedPage(context);
  await page.addInitScript(standIn);
  if (clock) await page.addInitScript(pageClock);
  return page;
}

// The page's timers run on a clock that is real time plus a jump; window.qvClock.passTime
// makes the jump and fires, in order and each at its own time, every timer due meanwhile,
// those they set included.
function pageClock() {
  const native = { set: setTimeout.bind(window), clear: clearTimeout.bind(window), now: performance.now.bind(performance), date: Date.now };
  const timers = new Map();
  let jump = 0, last = 0;
  const now = () => native.now() + jump;
  const fire = (timer) => {
    if (!timers.has(timer.id)) return;
    native.clear(timer.native);
    if (timer.every) { timer.due += timer.every; arm(timer); } else timers.delete(timer.id);
    if (typeof timer.fn === 'function') timer.fn.apply(window, timer.args); else (0, eval)(String(timer.fn));
  };
  const arm = (timer) => { native.clear(timer.native); timer.native = native.set(() => fire(timer), Math.max(0, timer.due - now())); };
  const add = (fn, ms, args, every) => {
    ms = Math.max(0, Number(ms) || 0);
    const timer = { id: ++last, fn, args, due: now() + ms, every: every ? Math.max(1, ms) : 0 };
    timers.set(timer.id, timer);
    arm(timer);
    return timer.id;
  };
  const clear = (id) => { const timer = timers.get(id); if (timer) { native.clear(timer.native); timers.delete(id); } };
  window.setTimeout = (fn, ms, ...args) => add(fn, ms, args, false);
  window.setInterval = (fn, ms, ...args) => add(fn, ms, args, true);
  window.clearTimeout = window.clearInterval = window.cancelAnimationFrame = clear;
  window.requestAnimationFrame = (fn) => add(() => fn(now()), 16, [], false);
  performance.now = now;
  Date.now = () => native.date() + jump;
  // A task of its own between two timers, so that what they start (promises, events) goes on.
  const channel = new MessageChannel();
  const yieldTask = () => new Promise((resolve) => { channel.port1.onmessage = () => resolve(); channel.port2.postMessage(0); });
  window.qvClock = {
    async passTime(ms) {
      const end = now() + ms;
      for (;;) {
        let first = null;
        for (const timer of timers.values()) if (timer.due <= end && (!first || timer.due < first.due)) first = timer;
        if (!first) break;
        jump += Math.max(0, first.due - now());
        fire(first);
        await yieldTask();
      }
      jump += Math.max(0, end - now());
      timers.forEach(arm);
    }
  };
}

export const PAGE_CLOCK = `<script>(${pageClock})();</script>`;

// Gives a playwright page the clock of PAGE_CLOCK from its first script on.
export function installPageClock(page) {
  return page.addInitScript(pageClock);
}

// Lets ms of the page's time pass at once (a book carrying PAGE_CLOCK): every timer due
// meanwhile fires.
export async function passTime(page, ms) {
  await page.evaluate((ms) => window.qvClock.passTime(ms), ms);
}

// The SHA-256 of what an address of the page (a blob: address among them) holds.
export function digestOf(page, url) {
  return page.evaluate(async (url) => {
    const bytes = await (await fetch(url)).arrayBuffer();
    return Array.from(new Uint8Array(await crypto.subtle.digest('SHA-256', bytes)))
      .map((b) => b.toString(16).padStart(2, '0')).join('');
  }, url);
}

// An MP3 of a 440 Hz tone lasting `seconds`, made by the program's own "audiotool".
export function toneMp3(file, seconds) {
  const rate = 22050;
  const count = Math.round(seconds * rate);
  const wav = Buffer.alloc(44 + 2 * count);
  wav.write('RIFF', 0);
  wav.writeUInt32LE(36 + 2 * count, 4);
  wav.write('WAVEfmt ', 8);
  wav.writeUInt32LE(16, 16);
  wav.writeUInt16LE(1, 20); // PCM
  wav.writeUInt16LE(1, 22); // mono
  wav.writeUInt32LE(rate, 24);
  wav.writeUInt32LE(2 * rate, 28);
  wav.writeUInt16LE(2, 32);
  wav.writeUInt16LE(16, 34);
  wav.write('data', 36);
  wav.writeUInt32LE(2 * count, 40);
  for (let i = 0; i < count; i++) wav.writeInt16LE(Math.round(8000 * Math.sin((2 * Math.PI * 440 * i) / rate)), 44 + 2 * i);
  fs.writeFileSync(file + '.wav', wav);
  execFileSync(path.join(BIN, 'audiotool'), [`--alt-preset|cbr|64|i=${file}.wav|o=${file}|--silent`]);
  fs.rmSync(file + '.wav');
  return file;
}
