/*
 * Quorvel viewer: the parts of the reading interface that the desktop and phone viewers
 * share: toolbar buttons, page number box, side panels (thumbnails, contents, search,
 * share, download), the viewer menu, the preloader, the keyboard, and the Reader that
 * ties them to a page view.
 *
 * A page view (the flip book or the swipe view) provides:
 *   go(page, animate), next(), prev(), visiblePages() -> [page, ...],
 *   rightToLeft (boolean), on('pagechange', fn) through an Events object `events`.
 */
(function (global) {
  'use strict';
  const Quorvel = global.Quorvel;
  const h = Quorvel.h;

  // A toolbar button: the book's replacement picture when it has one, else the built-in
  // icon. Its tooltip and accessible name come from the language table.
  function toolbarButton(reader, key, onClick) {
    const replacement = reader.book.toolbarIcon(key);
    const label = reader.strings.t(key);
    const content = replacement
      ? h('img', { src: replacement, alt: '', className: 'qv-icon-img', draggable: 'false' })
      : Quorvel.icon(key);
    return h('button', {
      type: 'button', className: 'qv-button qv-button-' + key, title: label, 'aria-label': label,
      dataset: { key: key }, on: { click: function (e) { e.stopPropagation(); onClick(e); } }
    }, [content]);
  }

  // Keys typed into a text field stay there, except Escape, which closes what is open.
  function keepKeys(e) {
    if (e.key !== 'Escape') e.stopPropagation();
  }

  // Shows the visible page(s) and takes a page number or caption typed by the reader.
  class PageBox {
    constructor(reader) {
      this.reader = reader;
      const t = reader.strings;
      this.input = h('input', {
        type: 'text', className: 'qv-page-input', 'aria-label': t.t('pageNumber'),
        spellcheck: 'false', autocomplete: 'off',
        on: {
          focus: () => this.input.select(),
          keydown: (e) => {
            if (e.key === 'Enter') {
              const page = reader.book.pageFromText(this.input.value);
              if (page) reader.go(page);
              this.input.blur();
            } else if (e.key === 'Escape') {
              this.input.blur();
            }
            e.stopPropagation();
          },
          blur: () => this.show(reader.pages)
        }
      });
      this.total = h('span', { className: 'qv-page-total', text: '/ ' + reader.book.pageCount });
      this.element = h('div', { className: 'qv-page-box' }, [this.input, this.total]);
    }
    show(pages) {
      if (document.activeElement !== this.input) this.input.value = this.reader.book.label(pages);
    }
  }

  // A panel beside the book: one view at a time, with a title and a close button.
  class Panel {
    constructor(reader) {
      this.reader = reader;
      this.title = h('h2', { className: 'qv-panel-title' });
      this.body = h('div', { className: 'qv-panel-body' });
      const close = h('button', {
        type: 'button', className: 'qv-button qv-panel-close', title: reader.strings.t('close'),
        'aria-label': reader.strings.t('close'), on: { click: () => this.close() }
      }, [Quorvel.icon('close')]);
      this.element = h('aside', { className: 'qv-panel', 'aria-hidden': 'true' },
        [h('div', { className: 'qv-panel-head' }, [this.title, close]), this.body]);
      this.current = null;
    }
    get isOpen() { return this.current !== null; }
    open(name, view) {
      this.current = name;
      this.title.textContent = this.reader.strings.t(name);
      this.body.textContent = '';
      this.body.appendChild(view.element);
      this.element.classList.add('qv-open');
      this.element.setAttribute('aria-hidden', 'false');
      this.element.dataset.view = name;
      if (view.shown) view.shown();
      Quorvel.events.emit('panel', { name: name });
    }
    close() {
      if (!this.current) return;
      this.current = null;
      this.element.classList.remove('qv-open');
      this.element.setAttribute('aria-hidden', 'true');
      delete this.element.dataset.view;
      Quorvel.events.emit('panel', { name: null });
    }
  }

  // All pages as small pictures; pictures load when they scroll into sight.
  class ThumbnailsView {
    constructor(reader) {
      this.reader = reader;
      this.items = [];
      this.element = h('div', { className: 'qv-thumbnails' });
      this.observer = 'IntersectionObserver' in global
        ? new IntersectionObserver((entries) => this.reveal(entries), { root: null, rootMargin: '200px' })
        : null;
      for (let p = 1; p <= reader.book.pageCount; p++) {
        const img = h('img', { alt: '', draggable: 'false' });
        const item = h('button', {
          type: 'button', className: 'qv-thumb', dataset: { page: String(p) },
          title: reader.strings.t('page', { p: reader.book.caption(p) }),
          on: { click: () => { reader.go(p); if (reader.compact) reader.panel.close(); } }
        }, [h('span', { className: 'qv-thumb-picture' }, [img]),
          h('span', { className: 'qv-thumb-label', text: reader.book.caption(p) })]);
        item.qvImage = img;
        this.items.push(item);
        this.element.appendChild(item);
        if (this.observer) this.observer.observe(item); else this.load(item);
      }
      Quorvel.events.on('unlocked', () => {
        for (const item of this.items) {
          if (item.classList.contains('qv-locked')) { item.classList.remove('qv-locked'); this.load(item); }
        }
      });
    }
    reveal(entries) {
      for (const entry of entries) {
        if (entry.isIntersecting) { this.observer.unobserve(entry.target); this.load(entry.target); }
      }
    }
    load(item) {
      const page = parseInt(item.dataset.page, 10);
      // Thumbnails never ask for the password; they appear once the book is open.
      if (this.reader.source.isLocked(page)) { item.classList.add('qv-locked'); return; }
      this.reader.source.picture(page, 'thumb').then(function (src) {
        if (src) item.qvImage.src = src;
      }, function () { item.classList.add('qv-missing'); });
    }
    update(pages) {
      for (const item of this.items) {
        item.classList.toggle('qv-current', pages.indexOf(parseInt(item.dataset.page, 10)) >= 0);
      }
    }
    shown() {
      const current = this.element.querySelector('.qv-current');
      if (current && current.scrollIntoView) current.scrollIntoView({ block: 'nearest' });
    }
  }

  // The book's outline, nested; a click goes to the entry's page.
  class OutlineView {
    constructor(reader) {
      this.reader = reader;
      this.element = h('div', { className: 'qv-outline' });
      if (reader.showTabsInOutline && reader.book.tabs && reader.book.tabs.tabs.length) {
        const list = h('ul', { className: 'qv-outline-tabs', 'aria-label': reader.strings.t('tabs') });
        for (const tab of reader.book.tabs.tabs) {
          const label = Quorvel.setMultilineText(h('span', { className: 'qv-outline-caption' }), tab.caption);
          list.appendChild(h('li', {}, [h('button', {
            type: 'button', className: 'qv-outline-entry qv-outline-tab', dataset: { page: String(tab.page) },
            style: { borderLeftColor: tab.color }, on: { click: () => this.go(tab.page) }
          }, [label, h('span', { className: 'qv-outline-page', text: reader.book.caption(tab.page) })])]));
        }
        this.element.appendChild(list);
      }
      this.element.appendChild(this.list(reader.book.outline, 0));
    }
    go(page) {
      this.reader.go(page);
      if (this.reader.compact) this.reader.panel.close();
    }
    list(items, depth) {
      const ul = h('ul', { className: 'qv-outline-level', role: depth ? 'group' : 'tree' });
      for (const item of items) {
        const entry = h('button', {
          type: 'button', className: 'qv-outline-entry', dataset: { page: String(item.page) },
          on: { click: () => this.go(item.page) }
        }, [h('span', { className: 'qv-outline-caption', text: item.caption }),
          h('span', { className: 'qv-outline-page', text: this.reader.book.caption(item.page) })]);
        const li = h('li', { role: 'treeitem' });
        if (item.children.length) {
          const children = this.list(item.children, depth + 1);
          children.hidden = true;
          const toggle = h('button', {
            type: 'button', className: 'qv-outline-toggle', 'aria-expanded': 'false',
            on: {
              click: () => {
                children.hidden = !children.hidden;
                toggle.setAttribute('aria-expanded', String(!children.hidden));
              }
            }
          }, [Quorvel.icon('expand')]);
          li.appendChild(h('div', { className: 'qv-outline-row' }, [toggle, entry]));
          li.appendChild(children);
        } else {
          li.appendChild(h('div', { className: 'qv-outline-row' }, [h('span', { className: 'qv-outline-spacer' }), entry]));
        }
        ul.appendChild(li);
      }
      return ul;
    }
  }

  // Search in the book's text; the text file is read on the first search.
  class SearchView {
    constructor(reader) {
      this.reader = reader;
      const t = reader.strings;
      this.input = h('input', {
        type: 'search', className: 'qv-search-input', placeholder: t.t('searchPlaceholder'),
        'aria-label': t.t('search'), autocomplete: 'off', spellcheck: 'false',
        on: { keydown: keepKeys }
      });
      const form = h('form', {
        className: 'qv-search-form', role: 'search',
        on: { submit: (e) => { e.preventDefault(); this.run(this.input.value); } }
      }, [this.input, h('button', { type: 'submit', className: 'qv-button qv-search-go', title: t.t('search'), 'aria-label': t.t('search') }, [Quorvel.icon('search')])]);
      this.status = h('p', { className: 'qv-search-status', role: 'status' });
      this.results = h('ol', { className: 'qv-search-results' });
      this.element = h('div', { className: 'qv-search' }, [form, this.status, this.results]);
      this.index = null;
      this.query = null;
      // Once the book is open, its protected pages are searched too.
      Quorvel.events.on('unlocked', () => {
        this.indexPromise = null;
        if (this.query !== null) this.run(this.query);
      });
    }
    shown() { this.input.focus(); }
    // The index of the book's texts: at once for a book whose search.js holds them all;
    // for one whose texts come in parts, with none of them yet (stretch() loads them). A
    // load that failed is tried again by the next search.
    loadIndex() {
      if (!this.indexPromise) {
        const loading = this.indexPromise = Quorvel.loadScript(this.reader.dataPath('search.js'))
          .then(() => {
            const data = global.bookSearch;
            const parts = data && !Array.isArray(data) && Array.isArray(data.parts) ? data.parts : null;
            const texts = parts ? new Array(Math.max(0, parseInt(data.pageCount, 10) || 0)).fill('') : data;
            return this.reader.protection.searchTexts(texts).then((filled) => {
              const index = new Quorvel.SearchIndex(filled);
              index.parts = (parts || []).map((p) => ({ first: Math.max(0, (parseInt(p.first, 10) || 1) - 1), file: String(p.file || '') }));
              index.loaded = parts ? 0 : 1; // parts read so far
              this.index = index;
              return index;
            });
          });
        loading.catch(() => { if (this.indexPromise === loading) this.indexPromise = null; });
      }
      return this.indexPromise;
    }
    // Pages [from, to) of stretch n of the index (from 0), their texts read first; null
    // past the last. Parts are read one after the other, whoever asks.
    stretch(index, n) {
      if (!index.parts.length) return Promise.resolve(n === 0 ? { from: 0, to: index.texts.length } : null);
      if (n >= index.parts.length) return Promise.resolve(null);
      const part = index.parts[n];
      const to = n + 1 < index.parts.length ? index.parts[n + 1].first : index.texts.length;
      if (!part.ready) {
        const before = n > 0 ? this.stretch(index, n - 1) : Promise.resolve();
        part.ready = before.then(() => Quorvel.loadScript(this.reader.dataPath(part.file))).then(() => {
          const data = global.bookSearchPart;
          if (data && Array.isArray(data.texts)) index.setTexts(Math.max(0, (parseInt(data.first, 10) || 1) - 1), data.texts);
          global.bookSearchPart = undefined;
        }, function () { part.ready = null; }); // finds nothing now; the next search reads it again
      }
      return part.ready.then(function () { return { from: part.first, to: to }; });
    }
    // Shows the pages holding every word of the query as they are found, a stretch of
    // pages at a time with the page free in between; answers them all at the end. The
    // status says it is searching until the end, and then how many pages it found.
    run(query) {
      const t = this.reader.strings;
      this.query = query;
      const protection = this.reader.protection;
      const run = this.running = {};
      const found = [];
      const terms = Quorvel.SearchIndex.terms(query);
      this.showStatus(t.t('searching'), true);
      const status = () => {
        const locked = protection.active && !protection.isUnlocked;
        this.showStatus((found.length === 0 ? t.t('searchNone')
          : found.length === 1 ? t.t('searchCountOne') : t.t('searchCount', { n: found.length })) +
          (locked ? ' ' + t.t('searchLocked') : ''), false);
      };
      const show = (r) => {
        found.push(r);
        this.results.appendChild(h('li', {}, [h('button', {
          type: 'button', className: 'qv-search-result', dataset: { page: String(r.page) },
          on: { click: () => { this.reader.go(r.page); if (this.reader.compact) this.reader.panel.close(); } }
        }, [
          h('span', { className: 'qv-search-page', text: t.t('page', { p: this.reader.book.caption(r.page) }) }),
          h('span', { className: 'qv-search-excerpt' }, [r.before, h('mark', { text: r.match }), r.after])
        ])]));
      };
      const limit = 500;
      const slice = 30; // ms of searching between two chances for the page to draw
      return this.loadIndex().then((index) => {
        if (run !== this.running) return found;
        this.results.textContent = '';
        const next = (n) => this.stretch(index, n).then((range) => {
          if (run !== this.running) return found;
          if (range && found.length < limit) this.stretch(index, n + 1).catch(function () {}); // arrives while this one is searched
          if (!range || !terms.length || found.length >= limit) {
            if (index.isEmpty && !(protection.active && !protection.isUnlocked)) this.showStatus(t.t('searchEmpty'), false);
            else status();
            return found;
          }
          const go = (from) => {
            const at = index.findIn(terms, from, range.to, show, limit - found.length, performance.now() + slice);
            if (at >= range.to || found.length >= limit) return next(n + 1);
            return new Promise(function (resolve) { setTimeout(resolve, 0); })
              .then(() => (run === this.running ? go(at) : found));
          };
          return go(range.from);
        });
        return next(0);
      }, () => {
        if (run !== this.running) return found;
        this.results.textContent = '';
        this.showStatus(t.t('searchError'), false);
        return found;
      });
    }
    // The status line, and whether the results are still coming.
    showStatus(text, busy) {
      this.status.textContent = text;
      this.results.setAttribute('aria-busy', busy ? 'true' : 'false');
    }
  }

  // Share buttons of the book; their links' macros are filled for the current page.
  class ShareView {
    constructor(reader) {
      this.reader = reader;
      this.element = h('ul', { className: 'qv-share' });
      for (const button of reader.book.shareButtons) {
        const logo = button.logo ? h('img', { src: button.logo, alt: '', className: 'qv-share-logo' }) : Quorvel.icon('link');
        this.element.appendChild(h('li', {}, [h('button', {
          type: 'button', className: 'qv-share-button',
          on: { click: () => this.open(button) }
        }, [logo, h('span', { text: button.title || button.link })])]));
      }
    }
    open(button) {
      const reader = this.reader;
      const link = Quorvel.expandShareLink(button.link,
        Quorvel.shareAddresses(reader.pages[0] || 1, reader.book.setting('title') || document.title));
      const href = Quorvel.safeHref(link);
      if (href) global.open(href, '_blank', 'noopener');
    }
  }

  // Files the reader may download: the whole book, the visible pages, attachments.
  class DownloadView {
    constructor(reader) {
      this.reader = reader;
      this.element = h('ul', { className: 'qv-download' });
      // Once the book is open, its encrypted attachments show their names.
      Quorvel.events.on('unlocked', () => { if (reader.panel.current === 'download') this.shown(); });
    }
    shown() {
      const reader = this.reader;
      const t = reader.strings;
      const d = reader.book.download;
      this.element.textContent = '';
      const add = (label, file, name) => {
        if (reader.protection.isPayload(file)) {
          // An encrypted file: decrypted on the click (after the password, when needed).
          const a = h('a', {
            href: '#', className: 'qv-download-link qv-protected',
            on: { click: (e) => { e.preventDefault(); reader.protection.download(file, name); } }
          }, [Quorvel.icon('download'), h('span', { text: label })]);
          this.element.appendChild(h('li', {}, [a]));
          return;
        }
        const href = Quorvel.safeHref(file);
        if (!href) return;
        const a = h('a', { href: href, className: 'qv-download-link', target: '_blank', rel: 'noopener' },
          [Quorvel.icon('download'), h('span', { text: label })]);
        if (name) a.setAttribute('download', name);
        this.element.appendChild(h('li', {}, [a]));
      };
      if (d.wholeFile) add(t.t('downloadWhole'), d.wholeFile, '');
      for (const p of reader.pages) {
        const file = d.pageFiles[p - 1];
        if (file) add(t.t('downloadPage', { p: reader.book.caption(p) }), file, d.pagePrefix + p + '.pdf');
      }
      if (d.attachments.length) {
        this.element.appendChild(h('li', { className: 'qv-download-heading', text: t.t('attachments') }));
        d.attachments.forEach((a, i) => {
          // A protected book's attachment names are encrypted too: shown once it is open.
          if (!reader.protection.isPayload(a.file)) add(a.name, a.file, a.name);
          else add(reader.protection.fileName(a.file) || t.t('attachmentLocked', { n: i + 1 }), a.file, '');
        });
      }
    }
  }

  // A small pop-up list under a button (the viewer menu).
  class PopupMenu {
    constructor(reader) {
      this.reader = reader;
      this.element = h('ul', { className: 'qv-popup', role: 'menu', hidden: true });
      this.outside = (e) => { if (!this.element.contains(e.target)) this.close(); };
    }
    get isOpen() { return !this.element.hidden; }
    // Opens under the anchor rectangle, or above it when there is no room below.
    open(entries, anchor) {
      this.element.textContent = '';
      for (const entry of entries) {
        this.element.appendChild(h('li', { role: 'none' }, [h('button', {
          type: 'button', role: 'menuitem', className: 'qv-popup-entry',
          on: { click: () => { this.close(); entry.action(); } }
        }, [entry.label])]));
      }
      this.element.hidden = false;
      const box = this.element.getBoundingClientRect();
      const left = Math.max(4, Math.min(anchor.left, global.innerWidth - box.width - 4));
      const below = anchor.bottom + 4;
      const top = below + box.height <= global.innerHeight - 4 ? below : Math.max(4, anchor.top - box.height - 4);
      this.element.style.left = left + 'px';
      this.element.style.top = top + 'px';
      setTimeout(() => document.addEventListener('pointerdown', this.outside, true), 0);
      const first = this.element.querySelector('button');
      if (first) first.focus();
    }
    close() {
      this.element.hidden = true;
      document.removeEventListener('pointerdown', this.outside, true);
    }
  }

  // Messages and texts to copy by hand when the clipboard is out of reach.
  class Dialog {
    constructor(reader) {
      this.reader = reader;
      this.message = h('p', { className: 'qv-dialog-message' });
      this.text = h('textarea', { className: 'qv-dialog-text', readonly: true, rows: '3', on: { keydown: keepKeys } });
      const ok = h('button', { type: 'button', className: 'qv-dialog-ok', text: reader.strings.t('close'), on: { click: () => this.close() } });
      this.box = h('div', { className: 'qv-dialog-box', role: 'dialog', 'aria-modal': 'true' }, [this.message, this.text, ok]);
      this.element = h('div', { className: 'qv-dialog', hidden: true, on: { click: (e) => { if (e.target === this.element) this.close(); } } }, [this.box]);
      this.timer = 0;
    }
    get isOpen() { return !this.element.hidden; }
    show(message, text) {
      clearTimeout(this.timer);
      this.message.textContent = message;
      this.text.hidden = text === undefined;
      this.text.value = text === undefined ? '' : text;
      this.element.hidden = false;
      if (text !== undefined) { this.text.focus(); this.text.select(); }
    }
    notice(message) {
      this.show(message);
      this.timer = setTimeout(() => this.close(), 1800);
    }
    close() { this.element.hidden = true; }
  }

  // The book's preloader until the first pages are shown: its picture, from the first
  // paint on when the home page showed it (Quorvel.firstPage of kind "preloader", taken
  // over here), and its movie in the picture's place once the movie plays (through the
  // SWF player); a spinner while it has neither. When the home page shows the first page
  // instead, that stays, and goes once the view shows the page itself.
  class Preloader {
    constructor(reader) {
      const picture = reader.book.setting('preloaderImage');
      const movie = reader.book.setting('preloaderMovie');
      const first = Quorvel.firstPage;
      this.movie = Promise.resolve(false);
      this.stop = null;
      this.first = first && first.element && first.kind !== 'preloader' ? first.element : null;
      const label = reader.strings.t('loading');
      if (this.first) {
        this.element = h('div', { className: 'qv-preloader qv-quiet', role: 'status', 'aria-label': label });
        return;
      }
      let image = first && first.kind === 'preloader' ? first.image : null;
      if (!image && picture) image = h('img', { src: picture, alt: '' });
      const still = image || h('div', { className: 'qv-spinner' });
      if (image) image.className = 'qv-preloader-picture';
      this.element = h('div', { className: 'qv-preloader', role: 'status', 'aria-label': label }, [still]);
      // The home page's picture moves over in the same task, so no frame goes without it.
      if (first && first.element) first.element.remove();
      if (!movie) return;
      const slot = h('div', { className: 'qv-preloader-movie' });
      this.element.appendChild(slot);
      const drawn = new Promise(function (resolve) {
        slot.addEventListener('loadedmetadata', resolve, { capture: true, once: true });
      });
      this.stop = typeof AbortController === 'function' ? new AbortController() : null;
      this.movie = Quorvel.swf.play(slot, movie, '', { signal: this.stop && this.stop.signal });
      this.movie.then((playing) => {
        if (!playing) return;
        // The picture goes once the movie has drawn its first frames.
        const frames = function () { return new Promise(function (r) { requestAnimationFrame(function () { requestAnimationFrame(r); }); }); };
        Promise.race([drawn, new Promise(function (r) { setTimeout(r, 1500); })]).then(frames).then(() => {
          this.element.classList.add('qv-movie-shown');
        });
      });
    }
    // Hides once the promise settles, or after a while at the latest, so a page that never
    // arrives cannot keep the whole book covered: `limit` after the start, or `limit` after
    // the preloader's movie has started (or failed) when that is later; three times `limit`
    // at most.
    hideWhen(promise, limit) {
      const hide = () => this.hide();
      const wait = function (ms) { return new Promise(function (r) { setTimeout(r, ms); }); };
      limit = limit || 10000;
      promise.then(hide, hide);
      Promise.race([this.movie, wait(2 * limit)]).then(() => wait(limit)).then(hide);
    }
    hide() {
      if (this.element.classList.contains('qv-done')) return;
      this.element.classList.add('qv-done');
      if (this.first) this.first.remove();
      // A movie not yet begun is not begun any more; one that is loading keeps its player
      // until the load is over (a player taken out halfway fails).
      if (this.stop) this.stop.abort();
      const remove = () => this.element.remove();
      Promise.all([this.movie, new Promise(function (r) { setTimeout(r, 400); })]).then(remove, remove);
    }
  }

  // Protected pages (files/lib/security.js). The module comes with every book and stays
  // idle unless page records are marked secure: then it decrypts those pages through
  // the page loader, asks for the password in the book's language when a protected page
  // is first in sight, and tells the views when the book has been opened.
  class Protection {
    constructor(reader) {
      this.reader = reader;
      this.guard = null;
      this.ready = null;
      const S = global.QuorvelSecurity;
      const secure = reader.book.pages.some(function (record) {
        return S ? S.isSecureRecord(record) : !!record && record.secure === true;
      });
      this.active = !!S && secure;
      if (secure && !S) reader.partMissing('securityError');
      if (!this.active) return;
      const t = reader.strings;
      const texts = {
        title: t.t('lockTitle'), user: t.t('userName'), password: t.t('password'), open: t.t('open'),
        cancel: t.t('cancel'), checking: t.t('checking'), wrongPassword: t.t('wrongPassword'),
        wrongUser: t.t('wrongUser'), unsupported: t.t('unsupported')
      };
      // A page script may have installed the module already; one guard serves both.
      this.ready = Quorvel.security || S.install({ prompt: true, texts: texts, quorvel: Quorvel });
      Quorvel.isPageLocked = (record) => S.isSecureRecord(record) && !this.isUnlocked;
      this.names = {};
      this.ready.then((guard) => {
        this.guard = guard;
        if (typeof guard.onLocked !== 'function') guard.onLocked = () => S.showPrompt(guard, { texts: texts });
        guard.onUnlocked = () => this.opened();
        this.keepAnswer(guard);
        if (guard.isUnlocked) this.opened();
      }, function () { reader.partMissing('securityError'); });
    }

    // The book is open: the names of its encrypted files are read before the views hear of it.
    opened() {
      const guard = this.guard;
      const names = guard.data.names ? guard.sealedObject(guard.data.names) : Promise.resolve({});
      names.catch(function () { return {}; }).then((list) => {
        this.names = list || {};
        Quorvel.events.emit('unlocked', {});
      });
    }

    // The main window's preview is loaded again after every change of the book; the
    // program keeps the answer that opened it for its session (quorvelAnswerKeeper, set by
    // the program in its preview only) and gives it back, so the author is asked once.
    keepAnswer(guard) {
      const keeper = global.quorvelAnswerKeeper;
      if (!keeper || typeof keeper.remember !== 'function') return;
      guard.onAnswer = function (user, password) { keeper.remember(user, password); };
      const answer = keeper.answer;
      if (!answer || guard.isUnlocked) return;
      // The dialog waits for the kept answer; it asks only when that no longer opens the book.
      const ask = guard.onLocked;
      const attempt = guard.unlock(String(answer.user || ''), String(answer.password || '')).catch(function () {
        if (typeof keeper.forget === 'function') keeper.forget();
      }).then(function () { guard.onLocked = ask; });
      guard.onLocked = function (g) { return attempt.then(function () { return g.isUnlocked || ask(g); }); };
    }

    // Whether a spread (the narration's counting) shows a page that waits for the password.
    isSpreadLocked(index) {
      if (!this.active || this.isUnlocked) return false;
      const pages = this.reader.book.pages;
      const first = index === 0 ? 1 : 2 * index;
      const last = index === 0 ? 1 : Math.min(2 * index + 1, pages.length);
      for (let n = first; n <= last; n++) {
        if (global.QuorvelSecurity.isSecureRecord(pages[n - 1])) return true;
      }
      return false;
    }

    // The address of a narration sound: an encrypted one is decrypted (the book is open).
    soundUrl(path) {
      if (!this.isPayload(path)) return path;
      return this.ready.then(function (guard) { return guard.objectUrl(path); });
    }

    // The name of an encrypted file once the book is open, else ''.
    fileName(path) {
      const id = String(path).replace(/^.*files\/secure\//, '').replace(/\.js$/, '');
      return this.isUnlocked ? String(this.names[id] || '') : '';
    }

    get isUnlocked() { return !!this.guard && this.guard.isUnlocked; }

    // Shows the password dialog; resolves once the book is open.
    requestUnlock() {
      if (!this.active) return Promise.resolve(true);
      return this.ready.then(function (guard) { return guard.requestUnlock(); });
    }

    // Whether an error of the page loader means "not opened" (no password, or cancelled).
    static isRefusal(error) {
      return !!error && (error.code === 'locked' || error.code === 'cancelled');
    }

    isPayload(path) {
      return this.active && global.QuorvelSecurity.isPayloadPath(path);
    }

    // The search texts with those of the protected pages once the book is open.
    searchTexts(list) {
      if (!this.isUnlocked) return Promise.resolve(list);
      return this.guard.fillSearch(list).catch(function () { return list; });
    }

    // Downloads an encrypted file (asks for the password first when needed).
    download(path, name) {
      const t = this.reader.strings;
      return this.ready.then(function (guard) { return guard.fileUrl(path); }).then(function (file) {
        const a = h('a', { href: file.url, download: name || file.name || '' });
        a.hidden = true;
        document.body.appendChild(a);
        a.click();
        a.remove();
      }, (e) => {
        this.reader.dialog.notice(Protection.isRefusal(e) ? t.t('fileLocked') : t.t('pageError'));
      });
    }

    // A toolbar button to give the password again after the dialog was closed; it
    // hides once the book is open.
    button() {
      if (!this.active) return null;
      const button = toolbarButton(this.reader, 'unlock', () => { this.requestUnlock().catch(function () {}); });
      Quorvel.events.on('unlocked', function () { button.hidden = true; });
      return button;
    }
  }

  // The speaking assistant's narration (files/lib/narration.js), started when the
  // configuration says the book has one. In manual mode a toolbar button plays (or
  // stops) the sound of the open spread.
  class Narration {
    constructor(reader) {
      this.reader = reader;
      this.player = null;
      this.toolbarButton = null;
      const flag = reader.book.config.narration;
      this.wanted = flag === true || flag === 'true';
      this.active = !!global.QuorvelNarration && this.wanted;
    }

    button() {
      if (!this.active) return null;
      this.toolbarButton = toolbarButton(this.reader, 'narration', () => this.toggle());
      this.toolbarButton.hidden = true; // shown once the sounds are read, in manual mode
      return this.toolbarButton;
    }

    toggle() {
      const player = this.player;
      if (!player) return;
      if (player.playing) player.stop();
      else player.play();
    }

    update() {
      const button = this.toolbarButton;
      const player = this.player;
      if (!button || !player) return;
      button.hidden = player.mode !== 1;
      button.disabled = !player.soundOf(player.spread) || this.reader.protection.isSpreadLocked(player.spread);
    }

    start() {
      if (this.wanted && !this.active) this.reader.partMissing('narrationError');
      if (!this.active) return Promise.resolve(null);
      // A protected book plays nothing of its protected spreads, and turns to none of
      // them, before it is open; their sounds are encrypted.
      const protection = this.reader.protection;
      const N = global.QuorvelNarration;
      return N.load({}).then(() => N.install({
        quorvel: Quorvel,
        isLocked: (index) => protection.isSpreadLocked(index),
        soundUrl: (sound) => protection.soundUrl(sound)
      })).then((player) => {
        this.player = player;
        Quorvel.narration = player;
        if (player) {
          this.update();
          Quorvel.events.on('spread', () => this.update());
          Quorvel.events.on('unlocked', () => { player.resume(); this.update(); });
        }
        return player;
      }, () => {
        this.reader.partMissing('narrationError');
        return null;
      });
    }
  }

  // The settings a viewer shows again without a new load of the book, by the part of the
  // viewer they change. The live preview gives a book on show its new configuration
  // (Reader.applySettings); a change of any other key needs a new load.
  const IN_PLACE_SETTINGS = {
    theme: ['backgroundColor', 'backgroundImage', 'toolbarColor', 'iconColor'],
    toolbar: ['title', 'showThumbnailButton', 'showOutlineButton', 'showSearchButton', 'showZoomButton',
      'showShareButton', 'showDownloadButton', 'showFullscreenButton', 'showPageNumber', 'shareButtons',
      'menuItems', 'extraIcons', 'toolbarIcons', 'download'],
    captions: ['captions'],
    turning: ['flipDuration', 'pageShadow', 'hardCover']
  };

  // Whether two values read from configuration scripts are the same (objects whatever
  // the order of their keys).
  function sameValue(a, b) {
    if (a === b) return true;
    if (!a || !b || typeof a !== 'object' || typeof b !== 'object' || Array.isArray(a) !== Array.isArray(b)) return false;
    const keys = Object.keys(a);
    if (keys.length !== Object.keys(b).length) return false;
    return keys.every(function (key) { return Object.prototype.hasOwnProperty.call(b, key) && sameValue(a[key], b[key]); });
  }

  // Ties a page view to the shared parts: address, page box, panels, keyboard, menu,
  // and the events other scripts listen to ('pagechange', and 'spread' for narration).
  class Reader {
    constructor(options) {
      this.book = options.book;
      this.view = options.view;
      this.root = options.root;
      this.compact = !!options.compact;
      this.showTabsInOutline = !!options.showTabsInOutline;
      this.strings = new Quorvel.Strings(this.book.setting('language'));
      this.source = options.source || new Quorvel.PageSource(this.book);
      this.pages = [1];
      this.requested = null;
      this.spread = -1;
      this.panel = new Panel(this);
      this.menu = new PopupMenu(this);
      this.dialog = new Dialog(this);
      this.pageBox = new PageBox(this);
      // Before any page is asked for: protected pages go through the module's loader.
      this.protection = new Protection(this);
      this.narration = new Narration(this);
      this.views = {};
      this.inPlace = null; // the viewer's way of showing changed settings, by group
      this.root.lang = { 'Deutsch': 'de', 'Français': 'fr', 'Español': 'es', '中文': 'zh' }[this.strings.language] || 'en';
      this.view.events.on('pagechange', (pages) => this.pagesChanged(pages));
      global.addEventListener('hashchange', () => {
        const page = Quorvel.Hash.read();
        if (page && this.pages.indexOf(page) < 0) this.go(this.book.clampPage(page));
      });
      document.addEventListener('keydown', (e) => this.key(e));
    }

    // The viewer shows changed settings of the groups of IN_PLACE_SETTINGS through these
    // functions, each given the keys that changed: {theme: fn, toolbar: fn, ...}. A
    // group without one needs a new load.
    showSettingsWith(appliers) {
      this.inPlace = appliers;
    }

    // Brings the book on show up to date with config, the configuration its config.js
    // holds now: what changed is shown in place when the viewer can show all of it.
    // Answers "same" (nothing changed), "applied", or "reload" when the book must be
    // loaded again (other pages, a protected book, a setting shown only at the start);
    // then nothing was changed.
    applySettings(config) {
      if (!config || typeof config !== 'object' || Array.isArray(config) || this.protection.active) return 'reload';
      const old = this.book.config;
      // The pages as written first (a large book's are a few patterns), else as the list.
      const samePages = (Quorvel.writtenPages !== undefined && sameValue(config.pages, Quorvel.writtenPages)) ||
        sameValue(typeof Quorvel.pageList === 'function' ? Quorvel.pageList(config.pages) : config.pages, old.pages);
      if (!samePages) return 'reload';
      const changed = Object.keys(Object.assign({}, old, config)).filter(function (key) {
        return key !== 'pages' && !sameValue(old[key], config[key]);
      });
      if (!changed.length) return 'same';
      const groups = Object.keys(IN_PLACE_SETTINGS).filter(function (group) {
        return changed.some(function (key) { return IN_PLACE_SETTINGS[group].indexOf(key) >= 0; });
      });
      const known = changed.every(function (key) {
        return groups.some(function (group) { return IN_PLACE_SETTINGS[group].indexOf(key) >= 0; });
      });
      if (!known || !this.inPlace || groups.some((group) => typeof this.inPlace[group] !== 'function')) return 'reload';
      const next = Object.assign({}, config, { pages: old.pages });
      this.book.setConfig(next);
      global.bookConfig = next;
      for (const group of groups) this.inPlace[group](changed);
      Quorvel.events.emit('settings', { changed: changed });
      return 'applied';
    }

    // Forgets the panel views made from settings that changed; an open one is shown
    // anew, or closed when the toolbar has no button for it any more.
    renewViews(names, toolbars) {
      const open = this.panel.current;
      for (const name of names) delete this.views[name];
      if (!open || names.indexOf(open) < 0) return;
      const button = toolbars.some(function (bar) { return bar && bar.querySelector('.qv-button[data-key="' + open + '"]:not([hidden])'); });
      if (button) {
        this.panel.open(open, this.viewFor(open));
      } else {
        // Closed and empty, as the panel of a book just opened.
        this.panel.close();
        this.panel.title.textContent = '';
        this.panel.body.textContent = '';
      }
    }

    // Tells the reader that a part of the book (its protection, its narration) could
    // not be loaded.
    partMissing(key) {
      this.dialog.show(this.strings.t(key));
    }

    // Path of a data file of the book (outline, search text, annotations): in files/,
    // or where the configuration's dataFolder says (the phone version reading the
    // desktop book's files).
    dataPath(name) {
      const folder = String(this.book.config.dataFolder || '');
      return (/^(\.\.\/)*files\/$/.test(folder) ? folder : 'files/') + name;
    }

    // Toolbar buttons of protection and narration (hidden while they have nothing to do).
    moduleButtons() {
      return [this.protection.button(), this.narration.button()].filter(Boolean);
    }

    // Starts what follows the reader once the viewer stands (narration).
    startModules() {
      return this.narration.start();
    }

    // The last steps of a viewer's start, once its view shows the first pages: the
    // preloader gives way, the outline loads, and the reader is announced. The promise
    // answers whether the book has an outline.
    begin(view, preloader) {
      preloader.hideWhen(view.whenVisibleLoaded());
      const outline = this.loadOutline();
      this.startAnalytics();
      Quorvel.reader = this;
      Quorvel.events.emit('ready', { reader: this });
      this.startModules();
      return outline;
    }

    // What a page shows when its picture could not be loaded.
    pageNotice(error) {
      return h('p', {
        className: 'qv-page-error' + (Protection.isRefusal(error) ? ' qv-page-locked' : ''),
        text: this.strings.t(Protection.isRefusal(error) ? 'pageLocked' : 'pageError')
      });
    }

    // The page the address asks for, else the first.
    startPage() {
      const page = Quorvel.Hash.read();
      return page ? this.book.clampPage(page) : 1;
    }

    // The page the reader is on: the one in the address when it is in sight.
    anchorPage() {
      const page = Quorvel.Hash.read();
      return page !== null && this.pages.indexOf(page) >= 0 ? page : this.pages[0];
    }

    go(page) {
      this.requested = this.book.clampPage(page);
      this.view.go(this.requested, true);
    }
    next() { this.view.next(); }
    prev() { this.view.prev(); }
    first() { this.view.go(1, true); }
    last() { this.view.go(this.book.pageCount, true); }

    pagesChanged(pages) {
      this.pages = pages.slice();
      // The address names the page asked for when it is in sight, else the first visible.
      const hashPage = Quorvel.Hash.read();
      if (pages.indexOf(this.requested) >= 0) Quorvel.Hash.write(this.requested);
      else if (hashPage === null || pages.indexOf(hashPage) < 0) Quorvel.Hash.write(pages[0]);
      this.requested = null;
      this.pageBox.show(pages);
      if (this.views.thumbnails) this.views.thumbnails.update(pages);
      this.root.querySelectorAll('.qv-button-first, .qv-button-prev, .qv-arrow-prev').forEach((b) => { b.disabled = pages.indexOf(1) >= 0; });
      this.root.querySelectorAll('.qv-button-last, .qv-button-next, .qv-arrow-next').forEach((b) => { b.disabled = pages.indexOf(this.book.pageCount) >= 0; });
      if (this.panel.current === 'download') this.views.download.shown();
      Quorvel.events.emit('pagechange', { pages: pages.slice() });
      const spread = Quorvel.spreadIndexOfPage(Math.min.apply(null, pages));
      if (spread !== this.spread) {
        this.spread = spread;
        Quorvel.events.emit('spread', { index: spread, pages: pages.slice() });
      }
    }

    viewFor(name) {
      if (!this.views[name]) {
        const make = {
          thumbnails: ThumbnailsView, outline: OutlineView, search: SearchView,
          share: ShareView, download: DownloadView
        }[name];
        this.views[name] = new make(this);
        if (name === 'thumbnails') this.views.thumbnails.update(this.pages);
      }
      return this.views[name];
    }

    togglePanel(name) {
      if (this.panel.current === name) this.panel.close();
      else this.panel.open(name, this.viewFor(name));
    }

    // Reads the outline file; the promise answers whether the book has an outline.
    loadOutline() {
      return Quorvel.loadScript(this.dataPath('outline.js')).catch(function () {}).then(() => {
        this.book.setOutline(global.bookOutline);
        return this.book.outline.length > 0;
      });
    }

    copy(text) {
      const t = this.strings;
      const fallback = () => this.dialog.show(t.t('copyManually'), text);
      if (navigator.clipboard && navigator.clipboard.writeText) {
        navigator.clipboard.writeText(text).then(() => this.dialog.notice(t.t('copied')), fallback);
      } else {
        fallback();
      }
    }

    // The actions of the viewer menu entries.
    runMenuItem(item) {
      const addresses = Quorvel.shareAddresses(this.pages[0] || 1, '');
      switch (item.type) {
        case 'share': this.togglePanel('share'); break;
        case 'copyBookUrl': this.copy(addresses.url_no_page); break;
        case 'copyEmbedHtml':
          this.copy('<iframe src="' + encodeURI(addresses.url_no_page).replace(/"/g, '%22') +
            '" width="100%" height="600" frameborder="0" allowfullscreen></iframe>');
          break;
        case 'goToPage': {
          const page = this.book.pageFromNumber(item.value);
          if (page) this.go(page);
          break;
        }
        case 'url': {
          const href = Quorvel.safeHref(item.value);
          if (href) global.open(href, '_blank', 'noopener');
          break;
        }
      }
    }

    menuEntries() {
      const names = { share: 'share', copyBookUrl: 'copyBookUrl', copyEmbedHtml: 'copyEmbedHtml' };
      return this.book.menuItems.map((item) => ({
        label: item.caption || (names[item.type] ? this.strings.t(names[item.type]) : item.value),
        action: () => this.runMenuItem(item)
      }));
    }

    openMenu(anchor) { this.menu.open(this.menuEntries(), anchor); }

    // The author's own toolbar icons: go to a page, open a link, or run a script.
    runExtraIcon(icon) {
      if (icon.type === 1) {
        const href = Quorvel.safeHref(icon.content);
        if (href) global.open(href, Quorvel.linkTarget(icon.target), 'noopener');
      } else if (icon.type === 2) {
        try {
          // The author's own script, as written in the book's settings.
          (new Function(icon.content))();
        } catch (e) {
          console.warn('Quorvel: the script of the icon "' + icon.caption + '" failed:', e);
        }
      } else {
        const page = this.book.pageFromNumber(icon.content);
        if (page) this.go(page);
      }
    }

    extraIconButtons() {
      return this.book.extraIcons.map((icon) => {
        const content = icon.icon
          ? h('img', { src: icon.icon, alt: '', className: 'qv-icon-img', draggable: 'false' })
          : h('span', { className: 'qv-extra-caption', text: icon.caption });
        return h('button', {
          type: 'button', className: 'qv-button qv-extra-icon', title: icon.caption, 'aria-label': icon.caption,
          on: { click: (e) => { e.stopPropagation(); this.runExtraIcon(icon); } }
        }, [content]);
      });
    }

    toggleFullscreen() {
      if (document.fullscreenElement) document.exitFullscreen().catch(function () {});
      else if (document.documentElement.requestFullscreen) document.documentElement.requestFullscreen().catch(function () {});
    }

    // Closes the top-most open thing; answers whether something was open.
    closeTop() {
      if (this.dialog.isOpen) { this.dialog.close(); return true; }
      if (this.menu.isOpen) { this.menu.close(); return true; }
      if (this.view.closeOverlay && this.view.closeOverlay()) return true;
      if (this.panel.isOpen) { this.panel.close(); return true; }
      return false;
    }

    key(e) {
      if (e.defaultPrevented || e.altKey || e.ctrlKey || e.metaKey) return;
      const target = e.target;
      const typing = target && (target.tagName === 'INPUT' || target.tagName === 'TEXTAREA' || target.isContentEditable);
      if (e.key === 'Escape') { if (this.closeTop()) e.preventDefault(); return; }
      if (typing) return;
      // Arrows follow the screen: in a right-to-left book the left arrow reads on.
      const rtl = this.view.rightToLeft;
      switch (e.key) {
        case 'ArrowLeft': rtl ? this.next() : this.prev(); break;
        case 'ArrowRight': rtl ? this.prev() : this.next(); break;
        case 'PageUp': case 'ArrowUp': this.prev(); break;
        case 'PageDown': case 'ArrowDown': this.next(); break;
        case 'Home': this.first(); break;
        case 'End': this.last(); break;
        default: return;
      }
      e.preventDefault();
    }

    // Page-view counting by the analytics service named in the book's settings; only for
    // books read from a web server.
    startAnalytics() {
      const id = this.book.setting('analyticsID').trim();
      if (!id || !/^https?:$/.test(global.location.protocol) || !/^[A-Za-z0-9-]+$/.test(id)) return;
      global.dataLayer = global.dataLayer || [];
      const gtag = global.gtag = global.gtag || function () { global.dataLayer.push(arguments); };
      gtag('js', new Date());
      gtag('config', id);
      Quorvel.loadScript('https://www.googletagmanager.com/gtag/js?id=' + encodeURIComponent(id)).catch(function () {});
      Quorvel.events.on('pagechange', function (e) {
        gtag('event', 'page_view', { page_title: document.title, page_location: global.location.href, book_page: e.pages[0] });
      });
    }
  }

  // Shown instead of the book when its configuration script is missing or broken.
  function showFatal(root, language) {
    const strings = new Quorvel.Strings(language);
    root.textContent = '';
    root.appendChild(h('div', { className: 'qv-fatal', role: 'alert', text: strings.t('configError') }));
  }

  // Applies the book's colours and background picture to the viewer.
  function applyTheme(root, book) {
    root.style.setProperty('--qv-background', book.setting('backgroundColor'));
    root.style.setProperty('--qv-toolbar', book.setting('toolbarColor'));
    root.style.setProperty('--qv-icon', book.setting('iconColor'));
    const picture = book.setting('backgroundImage');
    root.style.removeProperty('--qv-background-image');
    if (picture) {
      try {
        root.style.setProperty('--qv-background-image', 'url("' + new URL(picture, document.baseURI).href.replace(/["\\\n\r]/g, encodeURIComponent) + '")');
      } catch (e) { /* not an address: no picture */ }
    }
    root.classList.toggle('qv-has-background', !!picture);
  }

  // The live preview's way in: the reader on show takes the new configuration.
  function applySettings(config) {
    return Quorvel.reader instanceof Reader ? Quorvel.reader.applySettings(config) : 'reload';
  }

  Object.assign(Quorvel, {
    toolbarButton: toolbarButton,
    Protection: Protection,
    Narration: Narration,
    Reader: Reader,
    Preloader: Preloader,
    showFatal: showFatal,
    applyTheme: applyTheme,
    applySettings: applySettings,
    IN_PLACE_SETTINGS: IN_PLACE_SETTINGS
  });
})(this);
