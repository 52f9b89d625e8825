/*
 * Quorvel viewer: the speaking assistant's narration (docs/book-security.md, "Narration").
 *
 * files/narration.js declares
 *   var bookNarration = {mode, delay, mute, spreads: [{pages, sound}], character};
 * (character, when present, is the narrator's picture: install() shows it in a corner of
 * the window, with the class "qv-narrator-speaking" while a sound plays).
 * Spread 0 is page 1 alone, spread i holds pages 2i and 2i+1 (the viewer's "spread" event
 * counts the same way). In automatic mode (0) a spread's sound plays when the spread
 * opens; when it has ended the player waits `delay` ms and turns the page; on a spread
 * without sound it waits `mute` ms and turns the page; it stops at the last spread. In
 * manual mode (1) a sound plays only when play() is called. Turning the page stops the
 * sound of the spread that was open.
 *
 * Plain script; defines window.QuorvelNarration:
 *   QuorvelNarration.create(data, options) -> player
 *   QuorvelNarration.load({base}) -> Promise<data>     (reads files/narration.js)
 *   QuorvelNarration.install({base, quorvel, ...options}) -> Promise<player>, following the
 *       viewer's "spread" events and turning pages with Quorvel.reader.next()
 * options: base (prefix of the sound paths), createAudio() (makes the player's one sound
 *   element; default new Audio()), turnPage() (default Quorvel.reader.go(first page of the
 *   next spread), or next()), onRequest(entry) (told of every sound the
 *   player is asked to play: {spread, sound, reason: "auto" | "manual"}).
 *   isLocked(index) (a protected book not yet opened: whether the spread waits for the
 *   password; such a spread plays nothing and no pause turns to it; resume() once the
 *   book is open), soundUrl(sound, index) (the address of a sound, or a promise of one: a
 *   protected spread's sound is decrypted first).
 * player: openSpread(index), play(), stop(), resume(), requests (every entry onRequest got),
 *   spread, mode, playing, audio (the sound element), destroy().
 *
 * Browsers play sound once the reader has started the page (a click, a key). WebKit asks
 * more: a few seconds after the gesture it lets only the elements play that played, or
 * were loaded, meanwhile. So the player plays every spread's sound through one element,
 * which the reader's first gesture starts (the refused sound then plays), or loads when no
 * sound waits (a protected book's password, typed long before its first sound).
 */
(function (global) {
  'use strict';
  // Loaded twice (a page script and the home page both name it): the first stays.
  if (global.QuorvelNarration) return;

  function toMs(value, fallback) {
    const n = Math.floor(Number(value));
    return isFinite(n) && n >= 0 ? n : fallback;
  }

  const now = function () { return performance.now(); };
  // What the reader does that browsers take for leave to play sound.
  const GESTURES = ['pointerdown', 'pointerup', 'keydown', 'touchend', 'click'];

  class Player {
    constructor(data, options) {
      data = data || {};
      options = options || {};
      this.mode = Number(data.mode) === 1 ? 1 : 0;
      this.delay = toMs(data.delay, 3000);
      this.mute = toMs(data.mute, 3000);
      this.spreads = Array.isArray(data.spreads) ? data.spreads : [];
      this.base = options.base || '';
      // Turning goes to the first page of the next spread: a viewer that shows one page
      // at a time (a phone, a narrow window) would otherwise stay inside the spread.
      this.turnPage = options.turnPage || (() => {
        const reader = global.Quorvel && global.Quorvel.reader;
        if (!reader) return;
        if (typeof reader.go === 'function') reader.go(2 * (this.spread + 1));
        else if (typeof reader.next === 'function') reader.next();
      });
      this.onRequest = options.onRequest || null;
      // The gate of a protected book and the decryption of its sounds.
      this.isLocked = options.isLocked || function () { return false; };
      this.soundUrl = options.soundUrl || ((sound) => this.base + sound);
      this.pending = null; // a sound being decrypted
      this.requests = [];
      this.spread = -1;
      // The sound the element has now: {index, reason, address, began (it has played),
      // since (when its length began to count), refused (it waits for a gesture)}.
      this.sound = null;
      this.timer = null;
      this.endTimer = null;
      this.playing = false;
      this.allowed = false; // the browser has let the element play
      this.character = null; // the narrator's picture, when the book has one
      this.audio = (options.createAudio || function () { return new Audio(); })();
      this.listen(this.audio);
      this.gesture = () => this.gestured();
      GESTURES.forEach((type) => document.addEventListener(type, this.gesture, true));
    }

    listen(audio) {
      audio.addEventListener('playing', () => {
        const sound = this.sound;
        if (!sound || sound.began) return;
        sound.began = true;
        sound.since = now() - 1000 * (Number(audio.currentTime) || 0);
      });
      audio.addEventListener('ended', () => { if (this.sound) this.endAfterRest(this.sound); });
      audio.addEventListener('error', () => {
        const sound = this.sound;
        if (!sound || !this.isCurrent(sound)) return;
        // Only a sound that could not start has failed. One that reports an error while
        // it plays keeps its time (Firefox without a sound output says so and ends it
        // early): it ends with "ended", or when its time is up.
        if (sound.began) { this.endAfterRest(sound); return; }
        this.sound = null;
        this.markPlaying(false);
        if (this.mode === 0 && sound.reason === 'auto') this.wait(this.mute);
      });
      // A refused sound keeps its spread for its length once that is known.
      audio.addEventListener('durationchange', () => {
        const sound = this.sound;
        if (sound && sound.refused && sound.since !== null && !this.endTimer) this.endAfterRest(sound);
      });
    }

    // Whether the element still holds this sound (an event of the one before it may
    // come late).
    isCurrent(sound) {
      return this.sound === sound && (!this.audio.src || this.audio.src === sound.address);
    }

    // The narrator's picture shows whether a sound plays.
    markPlaying(on) {
      this.playing = on;
      if (this.character) this.character.classList.toggle('qv-narrator-speaking', on);
    }

    soundOf(index) {
      const s = this.spreads[index];
      return s && typeof s.sound === 'string' && s.sound ? s.sound : '';
    }

    isLastSpread(index) { return index >= this.spreads.length - 1; }

    // Called when the spread at index opens (the viewer's "spread" event).
    openSpread(index) {
      index = Math.floor(Number(index));
      if (!isFinite(index) || index < 0) return;
      if (index === this.spread && (this.playing || this.timer || this.pending)) return;
      this.stop();
      this.spread = index;
      if (this.mode !== 0 || this.isLocked(index)) return;
      if (this.soundOf(index)) this.prepare(index, 'auto');
      else this.wait(this.mute);
    }

    // Plays the open spread's sound on request; false when it has none.
    play() {
      if (this.spread < 0 || !this.soundOf(this.spread) || this.isLocked(this.spread)) return false;
      this.stop();
      this.prepare(this.spread, 'manual');
      return true;
    }

    // Once a protected book is open: the open spread starts as if it had just opened.
    resume() {
      const index = this.spread;
      if (index < 0 || this.playing || this.timer || this.pending) return;
      this.spread = -1;
      this.openSpread(index);
    }

    stop() {
      this.pending = null;
      if (this.timer) { clearTimeout(this.timer); this.timer = null; }
      this.forgetEnd();
      if (this.sound) {
        this.sound = null;
        try { this.audio.pause(); } catch (e) { /* nothing plays */ }
      }
      this.markPlaying(false);
    }

    destroy() {
      this.stop();
      GESTURES.forEach((type) => document.removeEventListener(type, this.gesture, true));
      if (this.detach) this.detach();
    }

    start(index, reason, url) {
      const entry = { spread: index, sound: this.soundOf(index), reason: reason };
      this.requests.push(entry);
      if (this.onRequest) {
        try { this.onRequest(entry); } catch (e) { console.warn('Quorvel narration: onRequest failed:', e); }
      }
      const audio = this.audio;
      const sound = this.sound = { index: index, reason: reason, address: '', began: false, since: null, refused: false };
      this.markPlaying(true);
      audio.src = url;
      sound.address = audio.src;
      this.playSound(sound);
    }

    // Asks the element to play the sound; a refusal waits for the reader's next gesture.
    playSound(sound) {
      sound.refused = false;
      let started;
      try { started = this.audio.play(); } catch (e) { started = Promise.reject(e); }
      if (!started || typeof started.then !== 'function') return;
      started.then(() => { if (this.sound === sound) this.allowed = true; }, (err) => {
        // Stopped or replaced before it began (AbortError): nothing to do.
        if (this.sound !== sound || !err || err.name !== 'NotAllowedError') return;
        sound.refused = true;
        // Once the reader has started the book, a spread whose sound the browser still
        // refuses lasts its sound's length all the same.
        if (this.allowed && sound.since === null) {
          sound.since = now();
          this.endAfterRest(sound);
        }
      });
    }

    // The reader's click, touch or key: a refused sound plays now; with none, the
    // element is readied for the sounds to come (WebKit remembers the gesture).
    gestured() {
      const sound = this.sound;
      if (sound && sound.refused) {
        this.forgetEnd();
        sound.since = null;
        this.playSound(sound);
      } else if (!sound && !this.allowed) {
        try {
          this.audio.removeAttribute('src');
          this.audio.load();
        } catch (e) { /* a stand-in without them */ }
      }
    }

    // Ends the sound once the rest of its length has passed (at once when it has played
    // out). A sound the browser cuts short or never lets play keeps its spread that long.
    endAfterRest(sound) {
      if (!this.isCurrent(sound)) return;
      this.forgetEnd();
      const length = 1000 * Number(this.audio.duration);
      const rest = sound.since === null || !isFinite(length) ? 0 : length - (now() - sound.since);
      if (sound.refused && !isFinite(length)) return; // its length is not known yet
      if (rest <= 0) { this.ended(sound); return; }
      this.endTimer = setTimeout(() => { this.endTimer = null; this.ended(sound); }, rest);
    }

    ended(sound) {
      if (this.sound !== sound) return;
      this.sound = null;
      this.forgetEnd();
      this.markPlaying(false);
      if (this.mode === 0 && sound.reason === 'auto') this.wait(this.delay);
    }

    forgetEnd() {
      if (this.endTimer) { clearTimeout(this.endTimer); this.endTimer = null; }
    }

    // Starts the spread's sound once its address is known: a protected spread's sound is
    // decrypted first, and plays unless the spread has changed meanwhile; one that cannot
    // be read counts as a sound that cannot play.
    prepare(index, reason) {
      const url = this.soundUrl(this.soundOf(index), index);
      if (typeof url === 'string') { this.start(index, reason, url); return; }
      const pending = this.pending = {};
      this.markPlaying(true);
      const self = this;
      const still = function () { return self.pending === pending && self.spread === index; };
      Promise.resolve(url).then(function (address) {
        if (!still()) return;
        self.pending = null;
        self.start(index, reason, address);
      }, function (e) {
        if (!still()) return;
        console.warn('Quorvel narration: the sound of spread ' + index + ' cannot be read:', e);
        self.pending = null;
        self.markPlaying(false);
        if (self.mode === 0 && reason === 'auto') self.wait(self.mute);
      });
    }

    // After the pause, turn to the next spread (never past the last one).
    wait(ms) {
      if (this.isLastSpread(this.spread) || this.isLocked(this.spread + 1)) return;
      const self = this;
      const from = this.spread;
      this.timer = setTimeout(function () {
        self.timer = null;
        if (self.spread === from) self.turnPage();
      }, ms);
    }
  }

  // Files are read through the viewer library's script loader (Quorvel.loadScript in
  // qv-core.js); named before the library, the module waits for it.
  const libraryLoader = global.Quorvel && global.Quorvel.loadScript;
  function loadScript(src) {
    const Q = global.Quorvel = global.Quorvel || {};
    const load = typeof Q.loadScript === 'function' ? Q.loadScript : libraryLoader;
    if (load) return load(src);
    return new Promise(function (resolve) { (Q.waitingForLoader = Q.waitingForLoader || []).push(resolve); })
      .then(function (load) { return load(src); });
  }

  async function load(options) {
    const base = (options && options.base) || '';
    if (!global.bookNarration) await loadScript(base + 'files/narration.js');
    return global.bookNarration;
  }

  // The narrating character in the lower left corner of the window, above a toolbar
  // there; it grows a little while it speaks.
  function showCharacter(base, file) {
    const img = document.createElement('img');
    img.className = 'qv-narrator';
    img.alt = '';
    img.src = base + file;
    img.style.cssText = 'position:fixed;left:12px;bottom:72px;width:96px;height:96px;z-index:50;' +
      'pointer-events:none;transition:transform .3s;';
    const style = document.createElement('style');
    style.textContent = '.qv-narrator-speaking{transform:scale(1.12);}';
    document.head.appendChild(style);
    document.body.appendChild(img);
    return img;
  }

  // Follows the viewer: a book without narration gets no player (the promise gives null).
  // It may run before the viewer library (from the home page's head): it then waits for
  // the document to be read, when the viewer's events exist.
  async function install(options) {
    options = options || {};
    let data;
    try { data = await load(options); } catch (e) { return null; }
    if (document.readyState === 'loading') {
      await new Promise(function (resolve) { document.addEventListener('DOMContentLoaded', resolve, { once: true }); });
    }
    const Q = options.quorvel || global.Quorvel;
    if (!data || !Q || !Q.events) return null;
    const player = new Player(data, options);
    if (typeof data.character === 'string' && data.character) player.character = showCharacter(options.base || '', data.character);
    const onSpread = function (e) { player.openSpread(e && e.index); };
    Q.events.on('spread', onSpread);
    player.detach = function () { Q.events.off('spread', onSpread); };
    // The viewer may have shown its first spread before the sounds were read.
    const pages = Q.reader && Array.isArray(Q.reader.pages) ? Q.reader.pages : [];
    if (pages.length) player.openSpread(Math.floor(Math.min.apply(null, pages) / 2));
    return player;
  }

  global.QuorvelNarration = {
    create: function (data, options) { return new Player(data, options); },
    load: load,
    install: install,
    Player: Player
  };
})(this);
