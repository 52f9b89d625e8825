// Pages whose sound objects are stand-ins: window.sounds lists every one the page made
// (its url and whether it is paused); sound.end() ends one as if it had played out.
import { watchedPage } from './browser.mjs';

export async function narratedPage(context) {
  const page = await watchedPage(context);
  await page.addInitScript(() => {
    window.sounds = [];
    window.Audio = class {
      constructor(url) { this.url = url; this.listeners = {}; this.paused = true; window.sounds.push(this); }
      addEventListener(type, fn) { (this.listeners[type] = this.listeners[type] || []).push(fn); }
      play() { this.paused = false; return Promise.resolve(); }
      pause() { this.paused = true; }
      end() { this.paused = true; (this.listeners.ended || []).forEach((fn) => fn()); }
    };
  });
  return page;
}
