/*
 * Quorvel viewer: loads the viewer. The first picture comes first: when the home page has
 * asked for the first page's picture or the preloader's (window.quorvelFirstPage, set by a
 * small script in its head; Quorvel.firstPage from here on), that picture is shown at once
 * and the viewer's scripts are asked for only once it has arrived, so they do not share
 * the line with it. The modules of protected and narrated books are loaded only for
 * books that have them.
 *
 * The home page names the viewer script it ends with: <script src="files/lib/qv-boot.js"
 * data-viewer="files/viewer/aurora.js" data-page-flip="true"></script>. A page that
 * loads the library of another book folder (the phone version, the desktop book's)
 * names its own folder of data: data-files="files/".
 */
(function (global) {
  'use strict';
  const Quorvel = global.Quorvel = global.Quorvel || {};
  if (global.quorvelLeaving) return;
  const me = document.currentScript;
  const lib = me.getAttribute('src').replace(/[^/]*$/, '');
  const base = me.getAttribute('data-files') || lib.replace(/lib\/$/, '');
  const viewer = me.getAttribute('data-viewer');
  const withPageFlip = me.getAttribute('data-page-flip') === 'true';

  // Handlers that page scripts give Quorvel.events before the viewer is read are kept
  // for it (qv-core.js takes them over).
  if (!Quorvel.events) {
    Quorvel.events = {
      early: [],
      on: function (type, fn) { this.early.push([type, fn]); return this; },
      off: function (type, fn) { this.early = this.early.filter(function (e) { return e[0] !== type || e[1] !== fn; }); },
      emit: function () {}
    };
  }

  // Scripts run in the order they are added, each once it and those before it are read.
  function add(src) {
    const s = document.createElement('script');
    s.src = src;
    s.async = false;
    document.body.appendChild(s);
    return s;
  }

  // What the home page asked for first, until the viewer shows its own: the first
  // page's picture where the cover will stand, or the preloader's picture (kind
  // "preloader"), which the viewer's preloader then takes over.
  const first = Quorvel.firstPage = global.quorvelFirstPage || null;
  if (first && first.image) {
    const picture = first.image;
    const preloader = first.kind === 'preloader';
    picture.alt = '';
    picture.className = preloader ? 'qv-preloader-picture' : 'qv-first-picture';
    picture.setAttribute('elementtiming', preloader ? 'preloader' : 'first-page');
    first.element = document.createElement('div');
    first.element.className = preloader ? 'qv-first-page qv-first-preloader' : 'qv-first-page';
    if (first.background) first.element.style.background = first.background;
    first.element.appendChild(picture);
    document.getElementById('qv-app').appendChild(first.element);
  }

  // The page records of a large book come as patterns ("*" the page number) with the
  // records that differ: the viewer gets them as the list.
  function pageList(p) {
    if (!p || typeof p !== 'object' || Array.isArray(p)) return p;
    const count = Math.max(0, Math.min(1000000, parseInt(p.count, 10) || 0));
    const except = p.except && typeof p.except === 'object' ? p.except : {};
    const list = new Array(count);
    for (let n = 1; n <= count; n++) {
      if (Object.prototype.hasOwnProperty.call(except, String(n))) { list[n - 1] = except[n]; continue; }
      const record = {};
      for (const f of ['normal', 'large', 'thumb']) if (typeof p[f] === 'string' && p[f]) record[f] = p[f].replace('*', String(n));
      list[n - 1] = record;
    }
    return list;
  }
  // The live preview compares the pages of a new configuration with those on show.
  Quorvel.pageList = pageList;

  function loadViewer() {
    // Everything but the modules now; the modules once the configuration says which,
    // through the library's loader (a module that cannot load is missing for the viewer,
    // which tells the reader).
    add(base + 'config.js');
    const scripts = ['qv-lang.js', 'qv-core.js', 'qv-book.js', 'qv-search.js', 'qv-ui.js'].map(function (name) { return add(lib + name); });
    const rest = function () {
      const c = global.bookConfig;
      if (c && typeof c === 'object') {
        Quorvel.writtenPages = c.pages; // as written, for the live preview's quick comparison
        c.pages = pageList(c.pages);
      }
      const pages = c && Array.isArray(c.pages) ? c.pages : [];
      const later = [];
      if (pages.some(function (p) { return p && p.secure === true; })) later.push(lib + 'security.js');
      if (c && (c.narration === true || c.narration === 'true')) later.push(lib + 'narration.js');
      if (withPageFlip) later.push(lib + 'page-flip.browser.js');
      later.push(viewer);
      later.forEach(function (src) { Quorvel.loadScript(src, { ordered: true }).catch(function () {}); });
    };
    scripts[1].onload = rest; // the loader is there, and the configuration has been read (or not)
  }

  if (first && first.loaded) first.loaded.then(loadViewer, loadViewer);
  else loadViewer();
})(this);
