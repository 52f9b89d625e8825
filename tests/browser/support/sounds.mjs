// Pages whose sound objects are stand-ins: window.sounds lists every one the page made
// (its url and whether it is paused); sound.end() ends one as if it had played out.
// window.plays lists every play() of a sound or media element, window.downloads every
// download the page starts (address and name; nothing is saved); the page's clock runs
// as usual until passTime() moves it on. All of it is the page's own script or the
// driver's clock, so the driver of another engine needs only these functions of its own.
import { watchedPage } from './browser.mjs';

export async function narratedPage(context) {
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
    HTMLMediaElement.prototype.play = function () { window.plays.push(this.currentSrc || this.src); return play.apply(this, arguments); };
    const click = HTMLAnchorElement.prototype.click;
    HTMLAnchorElement.prototype.click = function () {
      if (!this.hasAttribute('download')) return click.apply(this, arguments);
      window.downloads.push({ url: this.href, name: this.getAttribute('download') });
    };
  });
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
