/*
 * Quorvel viewer: the book model. Reads the configuration scripts of a published book
 * (bookConfig, bmtConfig, bookOutline), applies defaults and checks every value, so the
 * views work on clean data only.
 */
(function (global) {
  'use strict';
  const Quorvel = global.Quorvel;

  // Settings of the desktop template and their defaults; the phone viewer passes its own.
  const DESKTOP_DEFAULTS = {
    title: '',
    pageWidth: 1080,
    pageHeight: 1440,
    backgroundColor: '#2E3B4E',
    backgroundImage: '',
    toolbarColor: '#1B2430',
    iconColor: '#FFFFFF',
    flipDuration: 700,
    hardCover: false,
    pageShadow: true,
    rightToLeft: false,
    showThumbnailButton: true,
    showOutlineButton: true,
    showSearchButton: true,
    showZoomButton: true,
    showShareButton: true,
    showDownloadButton: true,
    showFullscreenButton: true,
    showPageNumber: true,
    preloaderImage: '',
    preloaderMovie: '',
    language: 'English',
    analyticsID: ''
  };

  function asBoolean(value, fallback) {
    if (typeof value === 'boolean') return value;
    if (typeof value === 'number') return value !== 0;
    if (typeof value === 'string') {
      const t = value.trim().toLowerCase();
      if (t === 'true' || t === 'yes' || t === '1') return true;
      if (t === 'false' || t === 'no' || t === '0') return false;
    }
    return fallback;
  }

  function asText(value) {
    return value === undefined || value === null ? '' : String(value);
  }

  function asList(value) {
    return Array.isArray(value) ? value : [];
  }

  class Book {
    constructor(config, tabsConfig, defaults) {
      this.defaults = defaults || DESKTOP_DEFAULTS;
      this.setConfig(config);
      this.pages = asList(this.config.pages).map(function (p) {
        if (typeof p === 'string') return { normal: p, large: '', thumb: '', small: '', swf: '' };
        p = p || {};
        // "secure": a protected page, whose fields name encrypted payloads.
        return {
          normal: asText(p.normal), large: asText(p.large), thumb: asText(p.thumb), small: asText(p.small),
          swf: asText(p.swf), secure: p.secure === true
        };
      });
      this.tabs = this.readTabs(tabsConfig);
      this.outline = [];
    }

    // Takes a configuration with the same pages in place of the one read (the live
    // preview's new settings): every setting is read from it from now on.
    setConfig(config) {
      this.config = config && typeof config === 'object' ? config : {};
      this.captions = asList(this.config.captions).map(asText);
    }

    get pageCount() { return this.pages.length; }

    // One setting, converted to the type of its default. Colours are checked; numbers
    // must be positive.
    setting(key) {
      const fallback = this.defaults[key] !== undefined ? this.defaults[key] : DESKTOP_DEFAULTS[key];
      const value = this.config[key];
      if (typeof fallback === 'boolean') return asBoolean(value, fallback);
      if (typeof fallback === 'number') {
        const n = Number(value);
        return value !== '' && value !== null && isFinite(n) && n > 0 ? n : fallback;
      }
      if (/Color$/.test(key)) return Quorvel.cssColor(value, fallback);
      return value === undefined || value === null ? fallback : String(value);
    }

    clampPage(n) { return Quorvel.clampInt(n, 1, Math.max(1, this.pageCount)); }

    // The text shown for page n: its caption when the book has captions, else the number.
    caption(n) {
      const c = this.captions[n - 1];
      return c !== undefined && c !== '' ? c : String(n);
    }

    // The label of what is visible: "5", or "4-5" for a spread.
    label(pages) {
      const self = this;
      return pages.map(function (p) { return self.caption(p); }).join('-');
    }

    // The page a reader typed: a caption ("iv"), else a number. null when neither fits.
    pageFromText(text) {
      const t = asText(text).trim();
      if (!t) return null;
      const lower = t.toLowerCase();
      for (let i = 0; i < this.captions.length; i++) {
        if (this.captions[i].toLowerCase() === lower) return i + 1;
      }
      const m = /^\d+/.exec(t.split('-')[0].trim());
      return m ? this.clampPage(parseInt(m[0], 10)) : null;
    }

    // The page an author's "go to page" names: a whole number is the page number itself,
    // even when another page carries that number as its caption; other text as typed.
    pageFromNumber(text) {
      const t = asText(text).trim();
      return /^\d+$/.test(t) ? this.clampPage(parseInt(t, 10)) : this.pageFromText(t);
    }

    readTabs(cfg) {
      if (!cfg || typeof cfg !== 'object') return null;
      const self = this;
      const tabs = asList(cfg.tabs).map(function (t) {
        t = t || {};
        return {
          caption: asText(t.caption),
          // Pages outside the book go to its first or last page.
          page: self.clampPage(parseInt(t.pageIndex, 10) || 1),
          color: Quorvel.cssColor(t.color, '#7F7F7F')
        };
      });
      return {
        tabs: tabs,
        onSideEdge: asBoolean(cfg.onSideEdge, false),
        showPage: asBoolean(cfg.showPage, false),
        hasTexture: asBoolean(cfg.hasTexture, false)
      };
    }

    setOutline(items) {
      const self = this;
      function read(list, depth) {
        if (depth > 32) return [];
        return asList(list).map(function (item) {
          item = item || {};
          return {
            caption: asText(item.caption),
            page: self.clampPage(parseInt(item.pageIndex, 10) || 1),
            children: read(item.children, depth + 1)
          };
        });
      }
      this.outline = read(items, 0);
    }

    get shareButtons() {
      return asList(this.config.shareButtons).map(function (b) {
        b = b || {};
        return { title: asText(b.title), link: asText(b.link), logo: asText(b.logo) };
      }).filter(function (b) { return b.link; });
    }

    get menuItems() {
      return asList(this.config.menuItems).map(function (m) {
        m = m || {};
        return { caption: asText(m.caption), type: asText(m.type), value: asText(m.value) };
      });
    }

    get extraIcons() {
      return asList(this.config.extraIcons).map(function (i) {
        i = i || {};
        return {
          caption: asText(i.caption), icon: asText(i.icon), type: parseInt(i.type, 10) || 0,
          content: asText(i.content), target: asText(i.target)
        };
      });
    }

    get download() {
      const d = this.config.download && typeof this.config.download === 'object' ? this.config.download : {};
      return {
        wholeFile: asText(d.wholeFile),
        pageFiles: asList(d.pageFiles).map(asText),
        pagePrefix: asText(d.pagePrefix),
        attachments: asList(d.attachments).map(function (a) {
          a = a || {};
          const file = asText(a.file);
          return { name: asText(a.name) || file.split('/').pop(), file: file };
        }).filter(function (a) { return a.file; })
      };
    }

    get hasDownloads() {
      const d = this.download;
      return !!(d.wholeFile || d.pageFiles.length || d.attachments.length);
    }

    get scene() {
      const s = this.config.scene && typeof this.config.scene === 'object' ? this.config.scene : {};
      function layers(list) {
        return asList(list).map(function (l) {
          l = l || {};
          const file = asText(l.file);
          return { file: file, position: asText(l.position), swf: /\.swf$/i.test(file) };
        }).filter(function (l) { return l.file; });
      }
      return { background: layers(s.background), foreground: layers(s.foreground), shot: asText(s.shot) };
    }

    // The plug-in bundle's movie over or under the book: margins in percent of the
    // window, opacity from 0 to 1; null without one.
    get plugin() {
      const p = this.config.plugin && typeof this.config.plugin === 'object' ? this.config.plugin : null;
      if (!p || !asText(p.movie)) return null;
      const percent = function (v) {
        const n = Number(v);
        return isFinite(n) ? Math.min(100, Math.max(0, n)) : 0;
      };
      const opacity = Number(p.opacity);
      return {
        movie: asText(p.movie), shot: asText(p.shot),
        left: percent(p.left), top: percent(p.top), right: percent(p.right), bottom: percent(p.bottom),
        opacity: isFinite(opacity) ? Math.min(1, Math.max(0, opacity)) : 1,
        behind: asBoolean(p.behind, false)
      };
    }

    // Replacement pictures for toolbar buttons, by button key.
    toolbarIcon(key) {
      const map = this.config.toolbarIcons;
      return map && typeof map === 'object' && map[key] ? asText(map[key]) : '';
    }
  }

  // Pages a spread index stands for, as the narration player counts them: spread 0 is the
  // cover (page 1 alone), spread i holds pages 2i and 2i+1.
  function spreadIndexOfPage(page) {
    return Math.floor(page / 2);
  }

  // The one place where page pictures are fetched: Quorvel.pageLoader(record, kind, page)
  // answers an address an <img> can show, or a promise of one. A protected book sets its
  // own loader (before or after this script) that decrypts the page's payload and answers
  // a blob: address; nothing else changes.
  if (typeof Quorvel.pageLoader !== 'function') {
    Quorvel.pageLoader = function (record, kind) {
      return (kind === 'large' && record.large) || (kind === 'thumb' && record.thumb) || (kind === 'small' && record.small) ||
        record.normal || null;
    };
  }

  class PageSource {
    constructor(book) { this.book = book; }
    // Whether the page is protected and the book not opened yet: views load such a page
    // only when it is in sight, so the password is asked for when a reader reaches it.
    isLocked(page) {
      const record = this.book.pages[page - 1];
      return !!record && typeof Quorvel.isPageLocked === 'function' && Quorvel.isPageLocked(record, page);
    }
    picture(page, kind) {
      const record = this.book.pages[page - 1];
      if (!record) return Promise.resolve(null);
      try {
        return Promise.resolve(Quorvel.pageLoader(record, kind || 'normal', page));
      } catch (e) {
        return Promise.reject(e);
      }
    }
  }

  // Deep links: "#p=N" in the address opens page N.
  const Hash = {
    read: function () {
      const m = /(?:^#|[#&])p=(\d+)/.exec(global.location.hash || '');
      return m ? parseInt(m[1], 10) : null;
    },
    write: function (page) {
      const hash = '#p=' + page;
      if (global.location.hash === hash) return;
      try {
        global.history.replaceState(global.history.state, '', hash);
      } catch (e) {
        global.location.replace(hash);
      }
    }
  };

  // Addresses the share links' macros stand for.
  function shareAddresses(page, title) {
    const here = global.location.href.split('#')[0];
    let top = here;
    try { top = global.top.location.href; } catch (e) { /* another site embeds the book */ }
    return {
      title: title,
      url: here + '#p=' + page,
      url_no_page: here,
      url_parent: here.replace(/[^/]*$/, ''),
      url_top: top
    };
  }

  // Fills the macros ${title}, ${url}, ${url_no_page}, ${url_parent} and ${url_top} of a
  // share link; the values are encoded for use inside an address.
  function expandShareLink(link, addresses) {
    return asText(link).replace(/\$\{(title|url|url_no_page|url_parent|url_top)\}/g, function (all, key) {
      return encodeURIComponent(addresses[key] || '');
    });
  }

  Object.assign(Quorvel, {
    DESKTOP_DEFAULTS: DESKTOP_DEFAULTS,
    Book: Book,
    PageSource: PageSource,
    Hash: Hash,
    spreadIndexOfPage: spreadIndexOfPage,
    shareAddresses: shareAddresses,
    expandShareLink: expandShareLink
  });
})(this);
