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

// A WAV file of silence lasting `seconds` (8 kHz, 8 bits, mono).
export function silentWav(seconds) {
  const samples = Math.round(8000 * seconds);
  const head = Buffer.alloc(44);
  head.write('RIFF', 0, 'latin1');
  head.writeUInt32LE(36 + samples, 4);
  head.write('WAVEfmt ', 8, 'latin1');
  head.writeUInt32LE(16, 16);
  head.writeUInt16LE(1, 20); // PCM
  head.writeUInt16LE(1, 22); // mono
  head.writeUInt32LE(8000, 24);
  head.writeUInt32LE(8000, 28);
  head.writeUInt16LE(1, 32);
  head.writeUInt16LE(8, 34);
  head.write('data', 36, 'latin1');
  head.writeUInt32LE(samples, 40);
  return Buffer.concat([head, Buffer.alloc(samples, 128)]);
}
