/*
 * Quorvel viewer: shared foundation of the desktop and phone viewers.
 * Plain script (no modules): a book must open from file://, where module scripts,
 * fetch and XHR of local files are refused. Everything hangs off window.Quorvel.
 */
(function (global) {
  'use strict';
  const Quorvel = global.Quorvel = global.Quorvel || {};
  const SVG_NS = 'http://www.w3.org/2000/svg';

  // Builds an element. Texts are only ever set through textContent or attributes, so
  // nothing that comes from a book's configuration can be parsed as markup.
  function h(tag, props, children) {
    const el = document.createElement(tag);
    props = props || {};
    for (const key of Object.keys(props)) {
      const value = props[key];
      if (value === undefined || value === null) continue;
      if (key === 'className') el.className = value;
      else if (key === 'text') el.textContent = String(value);
      else if (key === 'on') {
        for (const type of Object.keys(value)) el.addEventListener(type, value[type]);
      } else if (key === 'style') Object.assign(el.style, value);
      else if (key === 'dataset') Object.assign(el.dataset, value);
      else if (typeof value === 'boolean') { if (value) el.setAttribute(key, ''); }
      else el.setAttribute(key, String(value));
    }
    for (const child of [].concat(children || [])) {
      if (child === null || child === undefined || child === false) continue;
      el.appendChild(typeof child === 'string' ? document.createTextNode(child) : child);
    }
    return el;
  }

  // Shows a text whose line breaks are written "<br/>" (the form captions reach the viewer
  // in) or as real line breaks. Only text nodes and <br> elements are created.
  function setMultilineText(el, text) {
    el.textContent = '';
    const lines = String(text === undefined || text === null ? '' : text)
      .split(/<br\s*\/?>|\r\n|\r|\n/i);
    lines.forEach(function (line, i) {
      if (i > 0) el.appendChild(document.createElement('br'));
      el.appendChild(document.createTextNode(line));
    });
    return el;
  }

  // Colours reach the viewer as "#RRGGBB"; "0xRRGGBB" is accepted as well. Anything else
  // gives the fallback, so a damaged value can never reach a style sheet.
  function cssColor(value, fallback) {
    const text = String(value === undefined || value === null ? '' : value).trim();
    let m = /^#([0-9a-f]{6})$/i.exec(text) || /^0x([0-9a-f]{6})$/i.exec(text);
    if (m) return '#' + m[1].toUpperCase();
    m = /^#([0-9a-f]{3})$/i.exec(text);
    if (m) return '#' + m[1].split('').map(function (c) { return c + c; }).join('').toUpperCase();
    return fallback;
  }

  // Black or white, whichever reads better on the given "#RRGGBB" background.
  function contrastColor(hex) {
    const v = parseInt(hex.slice(1), 16);
    const r = (v >> 16) & 255, g = (v >> 8) & 255, b = v & 255;
    return (0.299 * r + 0.587 * g + 0.114 * b) > 150 ? '#000000' : '#FFFFFF';
  }

  // Addresses that a click may open: web and mail addresses, and files of the book
  // (relative paths). Script and data addresses are refused.
  function safeHref(value) {
    const text = String(value === undefined || value === null ? '' : value).trim();
    if (!text) return null;
    let url;
    try { url = new URL(text, document.baseURI); } catch (e) { return null; }
    // Judged on the parsed address: the parser drops blanks and tabs inside a scheme name.
    return ['http:', 'https:', 'mailto:', 'ftp:', 'tel:', 'file:'].indexOf(url.protocol) >= 0 ? url.href : null;
  }

  // Link targets as the authoring tool names them ("Blank", "Self", ...).
  function linkTarget(value) {
    const t = String(value || '').trim().toLowerCase().replace(/^_/, '');
    return ['self', 'parent', 'top', 'blank'].indexOf(t) >= 0 ? '_' + t : '_blank';
  }

  function clampInt(value, min, max) {
    const n = Math.floor(Number(value));
    if (!isFinite(n)) return min;
    return Math.min(max, Math.max(min, n));
  }

  // A small event emitter; Quorvel.events is the viewer's shared one (page changes,
  // spread changes for the narration player, panel changes).
  class Events {
    constructor() { this.handlers = {}; }
    on(type, fn) {
      (this.handlers[type] = this.handlers[type] || []).push(fn);
      return this;
    }
    off(type, fn) {
      const list = this.handlers[type] || [];
      const i = list.indexOf(fn);
      if (i >= 0) list.splice(i, 1);
    }
    emit(type, data) {
      for (const fn of (this.handlers[type] || []).slice()) {
        try { fn(data); } catch (e) { console.warn('Quorvel: handler of "' + type + '" failed:', e); }
      }
    }
  }

  // The viewer's shared events: the hub a page script made, or a new one that takes over
  // the handlers given to the loader's stand-in (qv-boot.js) before the viewer was read.
  function sharedEvents(existing) {
    if (existing && !existing.early) return existing;
    const events = new Events();
    for (const [type, fn] of (existing && existing.early) || []) events.on(type, fn);
    return events;
  }

  // The one script loader of the viewer and of its modules (security.js, narration.js):
  // every data file of a book is a script, since fetch and XHR fail on file://. A file is
  // loaded once; later calls get the same promise, which settles when it has run or
  // failed. A failed load is forgotten (its element goes), so a later call tries again.
  // With ordered, the script runs after those added before it with ordered (the
  // loader's start of the viewer, qv-boot.js, adds the library that way).
  const loadedScripts = {};
  function loadScript(src, options) {
    const ordered = !!(options && options.ordered);
    let pending = loadedScripts[src];
    if (!pending) {
      pending = loadedScripts[src] = new Promise(function (resolve, reject) {
        const s = document.createElement('script');
        s.src = src;
        s.async = !ordered;
        s.onload = function () { resolve(); };
        s.onerror = function () {
          if (loadedScripts[src] === pending) delete loadedScripts[src];
          s.remove();
          reject(new Error('cannot load ' + src));
        };
        (ordered && document.body ? document.body : document.head).appendChild(s);
      });
    }
    return pending;
  }

  // Plays SWF movies through the Ruffle player, which a book carries only when it holds
  // movies to play (bookConfig.swfPlayer names its script). The player is loaded on the
  // first play() and never before; where it cannot run — a book opened from file://,
  // where the browser refuses to fetch its WebAssembly, or a movie that is missing or
  // damaged — the element shows the fallback picture instead.
  //
  //   Quorvel.swf.play(element, 'files/scenes/Resources/sun.swf', 'files/scenes/shot.jpg')
  //     .then(function (playing) { ... });
  //
  // The element gets data-swf="playing" or "fallback" once it is decided. The promise
  // settles only once the player has finished loading: an element whose movie is still
  // loading must stay in the document until then (the player fails when it is taken
  // out halfway). options.signal (an AbortSignal) stops a movie whose player has not
  // been made yet: the promise then answers false and the element is left as it is.
  const swf = {
    playerScript: '',
    // Options of every movie: transparent, playing at once without sound prompts,
    // no menus, no links or page scripts.
    options: {
      autoplay: 'on', unmuteOverlay: 'hidden', splashScreen: false, wmode: 'transparent',
      letterbox: 'on', contextMenu: 'off', allowScriptAccess: false, allowNetworking: 'internal',
      openUrlMode: 'deny', showSwfDownload: false, warnOnUnsupportedContent: false, polyfills: false,
      logLevel: 'error'
    },
    canPlay() {
      return !!this.playerScript && location.protocol !== 'file:' && typeof WebAssembly === 'object';
    },
    // The player's script; a load that failed is tried again by the next movie.
    loadPlayer() {
      if (!this.player) {
        const script = this.playerScript;
        const base = script.slice(0, script.lastIndexOf('/') + 1);
        const ruffle = global.RufflePlayer = global.RufflePlayer || {};
        ruffle.config = Object.assign({}, ruffle.config, { publicPath: new URL(base || './', document.baseURI).href });
        const player = this.player = loadScript(script).then(function () {
          if (!global.RufflePlayer || typeof global.RufflePlayer.newest !== 'function') throw new Error('no SWF player');
          return global.RufflePlayer.newest();
        });
        player.catch(() => { if (this.player === player) this.player = null; });
      }
      return this.player;
    },
    play(element, url, fallback, options) {
      const settings = Object.assign({}, this.options, options || {});
      const signal = settings.signal || null;
      delete settings.signal;
      const stopped = function () { return !!signal && signal.aborted; };
      const showFallback = function () {
        if (stopped()) return false;
        element.textContent = '';
        if (fallback) element.appendChild(h('img', { src: fallback, alt: '', draggable: 'false', className: 'qv-swf-fallback' }));
        element.dataset.swf = 'fallback';
        return false;
      };
      if (!this.canPlay()) return Promise.resolve(showFallback());
      const movie = fetch(url, signal ? { signal: signal } : {}).then(function (r) {
        if (!r.ok) throw new Error('cannot load ' + url);
        return r.arrayBuffer();
      }).then(function (data) {
        const head = String.fromCharCode.apply(null, new Uint8Array(data.slice(0, 3)));
        if (['FWS', 'CWS', 'ZWS'].indexOf(head) < 0) throw new Error(url + ' is not an SWF movie');
        return data;
      });
      return Promise.all([this.loadPlayer(), movie]).then(function (both) {
        if (stopped()) return false;
        const player = both[0].createPlayer();
        player.style.width = '100%';
        player.style.height = '100%';
        element.textContent = '';
        element.appendChild(player);
        return player.ruffle().load(Object.assign({ data: both[1], swfFileName: url.split('/').pop() }, settings)).then(function () {
          element.dataset.swf = 'playing';
          return true;
        });
      }).catch(function (e) {
        if (stopped()) return false;
        console.warn('Quorvel: the movie ' + url + ' cannot play here: ' + e.message);
        return showFallback();
      });
    }
  };

  // The interface texts of the viewer, in the language the book chose.
  class Strings {
    constructor(language) {
      const table = Quorvel.languageTable || {};
      const name = Quorvel.languageCodes && Quorvel.languageCodes[String(language || '').toLowerCase()];
      this.table = table[language] || table[name] || table.English || {};
      this.fallback = table.English || {};
      this.language = table[language] ? language : (name || 'English');
    }
    t(key, values) {
      let text = this.table[key] !== undefined ? this.table[key] : this.fallback[key];
      if (text === undefined) text = key;
      if (values) {
        text = text.replace(/\{(\w+)\}/g, function (all, k) {
          return values[k] !== undefined ? String(values[k]) : all;
        });
      }
      return text;
    }
  }

  // Toolbar icons, drawn in the current text colour so the book's icon colour applies.
  const ICONS = {
    first: 'M6 5h2v14H6zM20 5v14L9 12z',
    prev: 'M16 4v16L6 12z',
    next: 'M8 4v16l10-8z',
    last: 'M16 5h2v14h-2zM4 5v14l11-7z',
    thumbnails: 'M4 4h7v7H4zM13 4h7v7h-7zM4 13h7v7H4zM13 13h7v7h-7z',
    outline: 'M4 5h3v3H4zM9 5.5h11v2H9zM4 10.5h3v3H4zM9 11h11v2H9zM4 16h3v3H4zM9 16.5h11v2H9z',
    search: 'M10 3a7 7 0 0 1 5.6 11.2l5 5-1.4 1.4-5-5A7 7 0 1 1 10 3zm0 2a5 5 0 1 0 0 10 5 5 0 0 0 0-10z',
    zoom: 'M10 3a7 7 0 0 1 5.6 11.2l5 5-1.4 1.4-5-5A7 7 0 1 1 10 3zm0 2a5 5 0 1 0 0 10 5 5 0 0 0 0-10zM9 7h2v2h2v2h-2v2H9v-2H7V9h2z',
    share: 'M18 3a3 3 0 1 1-2.2 5l-7 3.6a3 3 0 0 1 0 .8l7 3.6A3 3 0 1 1 15 18l-7-3.6a3 3 0 1 1 0-4.8L15 6a3 3 0 0 1 3-3z',
    download: 'M11 3h2v9l3.5-3.5 1.4 1.4L12 15.8l-5.9-5.9 1.4-1.4L11 12zM4 18h16v2H4z',
    fullscreen: 'M4 4h6v2H6v4H4zM14 4h6v6h-2V6h-4zM4 14h2v4h4v2H4zM18 14h2v6h-6v-2h4z',
    menu: 'M4 6h16v2H4zM4 11h16v2H4zM4 16h16v2H4z',
    more: 'M12 4a2 2 0 1 1 0 4 2 2 0 0 1 0-4zm0 6a2 2 0 1 1 0 4 2 2 0 0 1 0-4zm0 6a2 2 0 1 1 0 4 2 2 0 0 1 0-4z',
    unlock: 'M7 10V8a5 5 0 0 1 10 0v2h1.5v11h-13V10zm2 0h6V8a3 3 0 0 0-6 0zm2 4v4h2v-4z',
    narration: 'M4 9h4l5-4v14l-5-4H4zM15.5 8.6a4.5 4.5 0 0 1 0 6.8l-1.3-1.5a2.5 2.5 0 0 0 0-3.8zM18 5.8a8.5 8.5 0 0 1 0 12.4l-1.3-1.5a6.5 6.5 0 0 0 0-9.4z',
    close: 'M6.4 5 12 10.6 17.6 5 19 6.4 13.4 12l5.6 5.6-1.4 1.4L12 13.4 6.4 19 5 17.6 10.6 12 5 6.4z',
    chevronLeft: 'M15.4 4.6 16.8 6l-6 6 6 6-1.4 1.4L8 12z',
    chevronRight: 'M8.6 4.6 16 12l-7.4 7.4L7.2 18l6-6-6-6z',
    expand: 'M9 6l6 6-6 6z',
    link: 'M10.6 13.4a4 4 0 0 1 0-5.7l3-3a4 4 0 0 1 5.7 5.7l-1.5 1.5-1.4-1.4 1.5-1.5a2 2 0 0 0-2.9-2.9l-3 3a2 2 0 0 0 0 2.9zM13.4 10.6a4 4 0 0 1 0 5.7l-3 3a4 4 0 0 1-5.7-5.7l1.5-1.5 1.4 1.4-1.5 1.5a2 2 0 0 0 2.9 2.9l3-3a2 2 0 0 0 0-2.9z'
  };

  // Lays the layers of a book's scene (the shape of Book.scene) into back (behind the
  // book) and front (in front of it): pictures, and places for movies, each layer in its
  // corner or stretched over the whole, in list order, a later layer over an earlier one.
  // Answers one function per movie that starts it (the shot stands in where it cannot
  // play). The viewer and the scenes maker's preview both show a scene through this.
  function showScene(scene, back, front) {
    const positions = {
      'top left': 'qv-top-left', 'top right': 'qv-top-right',
      'bottom left': 'qv-bottom-left', 'bottom right': 'qv-bottom-right'
    };
    const movies = [];
    const add = function (layer, parent) {
      const place = positions[String(layer.position || '').trim().toLowerCase()] || 'qv-fill';
      if (!layer.swf) {
        parent.appendChild(h('img', { src: layer.file, alt: '', className: 'qv-scene-layer ' + place, draggable: 'false' }));
        return;
      }
      const slot = h('div', { className: 'qv-scene-layer qv-scene-movie ' + place });
      slot.addEventListener('loadedmetadata', function () {
        const player = slot.firstElementChild;
        const meta = player && player.ruffle && player.ruffle().metadata;
        if (meta && meta.width > 0 && meta.height > 0 && place !== 'qv-fill') {
          slot.style.width = meta.width + 'px';
          slot.style.aspectRatio = meta.width + ' / ' + meta.height;
        }
      }, true);
      parent.appendChild(slot);
      movies.push(function () { return swf.play(slot, layer.file, scene.shot || ''); });
    };
    (scene.background || []).forEach(function (l) { add(l, back); });
    (scene.foreground || []).forEach(function (l) { add(l, front); });
    return movies;
  }

  function icon(name) {
    const svg = document.createElementNS(SVG_NS, 'svg');
    svg.setAttribute('viewBox', '0 0 24 24');
    svg.setAttribute('aria-hidden', 'true');
    svg.setAttribute('class', 'qv-icon');
    const path = document.createElementNS(SVG_NS, 'path');
    path.setAttribute('d', ICONS[name] || ICONS.menu);
    path.setAttribute('fill', 'currentColor');
    svg.appendChild(path);
    return svg;
  }

  Object.assign(Quorvel, {
    h: h,
    setMultilineText: setMultilineText,
    cssColor: cssColor,
    contrastColor: contrastColor,
    safeHref: safeHref,
    linkTarget: linkTarget,
    clampInt: clampInt,
    Events: Events,
    events: sharedEvents(Quorvel.events),
    loadScript: loadScript,
    swf: swf,
    scene: { show: showScene },
    Strings: Strings,
    icon: icon
  });
  // Modules named before the library (a page script's) wait for its loader.
  (Quorvel.waitingForLoader || []).splice(0).forEach(function (fn) { fn(loadScript); });
})(this);
