// Pages whose sound objects are stand-ins: window.sounds lists every one the page made
// (its url and whether it is paused); sound.end() ends one as if it had played out.
// SOUND_STAND_IN is the same as markup for a book's extra script (every engine);
// narratedPage() puts it into a playwright page before the book's scripts run.
import { watchedPage } from './browser.mjs';

function standIn() {
  window.sounds = [];
  window.Audio = class {
    constructor(url) { this.url = url; this.listeners = {}; this.paused = true; window.sounds.push(this); }
    addEventListener(type, fn) { (this.listeners[type] = this.listeners[type] || []).push(fn); }
    play() { this.paused = false; return Promise.resolve(); }
    pause() { this.paused = true; }
    end() { this.paused = true; (this.listeners.ended || []).forEach((fn) => fn()); }
  };
}

export const SOUND_STAND_IN = `<script>(${standIn})();</script>`;

export async function narratedPage(context) {
  const page = await watchedPage(context);
  await page.addInitScript(standIn);
  return page;
}
