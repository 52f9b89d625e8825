// What a page does by itself, recorded so a test can say it did nothing: the sounds it
// plays (window.sounds: stand-ins for every Audio it makes; window.plays: every play()
// of a sound or of a media element), the downloads it starts (window.downloads: the
// address and file name of each, nothing is saved), and time passing on its clock.
// Everything is done in the page's own script or through the test driver's clock, so
// another engine's driver needs only these functions of its own.
import { watchedPage } from './browser.mjs';

export async function recordingPage(context) {
  const page = await watchedPage(context);
  await page.addInitScript(() => {
    window.sounds = [];
    window.plays = [];
    window.downloads = [];
    window.Audio = class {
      constructor(url) { this.url = url; this.listeners = {}; this.paused = true; window.sounds.push(this); }
      addEventListener(type, fn) { (this.listeners[type] = this.listeners[type] || []).push(fn); }
      play() { window.plays.push(this.url); this.paused = false; return Promise.resolve(); }
      pause() { this.paused = true; }
      end() { this.paused = true; (this.listeners.ended || []).forEach((fn) => fn()); }
    };
    const play = HTMLMediaElement.prototype.play;
    HTMLMediaElement.prototype.play = function () {
      window.plays.push(this.currentSrc || this.src);
      return play.apply(this, arguments);
    };
    const click = HTMLAnchorElement.prototype.click;
    HTMLAnchorElement.prototype.click = function () {
      if (!this.hasAttribute('download')) return click.apply(this, arguments);
      window.downloads.push({ url: this.href, name: this.getAttribute('download') });
    };
  });
  // The clock runs as usual until the test moves it on.
  await page.clock.install();
  return page;
}

// Lets ms of the page's time pass at once: every timer due meanwhile fires.
export async function passTime(page, ms) {
  await page.clock.runFor(ms);
}

// The SHA-256 of what an address of the page (a blob: address among them) holds.
export function digestOf(page, url) {
  return page.evaluate(async (url) => {
    const bytes = await (await fetch(url)).arrayBuffer();
    return Array.from(new Uint8Array(await crypto.subtle.digest('SHA-256', bytes)))
      .map((b) => b.toString(16).padStart(2, '0')).join('');
  }, url);
}
