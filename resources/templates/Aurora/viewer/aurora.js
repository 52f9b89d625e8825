/*
 * Aurora: the desktop viewer. Pages turn with the page-flip library (St.PageFlip); around
 * the book stand the bookmark tabs, the scene layers, the toolbar and the side panel.
 */
(function (global) {
  'use strict';
  const Quorvel = global.Quorvel;
  const h = Quorvel.h;

  // How many pages around the visible ones have their pictures loaded ahead.
  const LOAD_AHEAD = 4;

  // The flipping book. page-flip counts its own page slots from 0; in a right-to-left book
  // the slots run backwards (slot 0 is the back of the book), and a blank slot is added
  // when the page count is odd, so the cover still stands alone.
  class FlipView {
    constructor(book, source, element) {
      this.book = book;
      this.source = source;
      this.element = element;
      this.events = new Quorvel.Events();
      this.rightToLeft = book.setting('rightToLeft');
      const n = book.pageCount;
      this.slotCount = this.rightToLeft && n % 2 === 1 ? n + 1 : n;
      this.pageElements = [];
      this.loaded = {};
      this.failed = {};
      this.notice = null; // (error) -> element a page shows when its picture did not come
      this.visible = [];
      this.flip = null;
      this.landscape = true;
      this.size = { width: 0, height: 0 };
    }

    toSlot(page) { return this.rightToLeft ? this.slotCount - page : page - 1; }
    toPage(slot) {
      const page = this.rightToLeft ? this.slotCount - slot : slot + 1;
      return page >= 1 && page <= this.book.pageCount ? page : null;
    }

    buildPages() {
      const items = [];
      for (let slot = 0; slot < this.slotCount; slot++) {
        const page = this.toPage(slot);
        const el = h('div', { className: 'qv-page' + (page ? ' qv-loading' : ' qv-blank') });
        if (page) {
          el.dataset.page = String(page);
          el.appendChild(h('img', { alt: '', draggable: 'false', className: 'qv-page-picture' }));
          this.pageElements[page] = el;
        }
        items.push(el);
      }
      return items;
    }

    start(startPage) {
      const book = this.book;
      const items = this.buildPages();
      this.flip = new global.St.PageFlip(this.element, {
        width: book.setting('pageWidth'),
        height: book.setting('pageHeight'),
        size: 'stretch',
        // One page or two from the start, as fit() decided (see there).
        minWidth: this.size.landscape === false ? this.size.width : 1,
        maxWidth: 100000, minHeight: 1, maxHeight: 100000,
        autoSize: true,
        showCover: true,
        usePortrait: true,
        drawShadow: book.setting('pageShadow'),
        maxShadowOpacity: 0.5,
        flippingTime: book.setting('flipDuration'),
        mobileScrollSupport: false,
        startPage: this.toSlot(startPage)
      });
      this.flip.loadFromHTML(items);
      this.setCovers();
      this.flip.on('flip', () => this.changed());
      this.flip.on('changeOrientation', () => this.changed());
      this.flip.on('init', () => this.changed());
      // The library reports a state before it takes it on: look again a moment later.
      this.flip.on('changeState', (e) => {
        if (e.data === 'read') setTimeout(() => { if (!this.busy) this.events.emit('settled'); }, 0);
      });
      this.changed();
    }

    // The library stiffens the first page (and a lone last page) itself; the book's own
    // setting decides instead.
    setCovers() {
      const pages = this.flip.getPageCollection().getPages();
      const hard = this.book.setting('hardCover');
      pages.forEach((p, i) => p.setDensity(hard && (i === 0 || i === pages.length - 1) ? 'hard' : 'soft'));
    }

    // Visible pages by side of the screen: {left, right} (page numbers or null).
    layoutOfSpread() {
      if (!this.flip) return { left: null, right: null };
      const first = this.flip.getCurrentPageIndex();
      const collection = this.flip.getPageCollection();
      const count = collection.getPageCount();
      const landscape = this.flip.getOrientation() === 'landscape';
      if (!landscape) return { left: null, right: this.toPage(first) };
      if (first === 0) return { left: null, right: this.toPage(0) };
      if (first + 1 >= count) return { left: this.toPage(first), right: null };
      return { left: this.toPage(first), right: this.toPage(first + 1) };
    }

    visiblePages() {
      const spread = this.layoutOfSpread();
      return [spread.left, spread.right].filter(Boolean).sort(function (a, b) { return a - b; });
    }

    changed() {
      const pages = this.visiblePages();
      if (!pages.length) return;
      this.landscape = this.flip.getOrientation() === 'landscape';
      this.element.classList.toggle('qv-portrait', !this.landscape);
      this.loadAround(pages);
      if (pages.join() !== this.visible.join()) {
        this.visible = pages;
        this.events.emit('pagechange', pages);
      } else {
        this.events.emit('layout', pages);
      }
    }

    // The picture kind for a page: the small picture when the page has one and it
    // covers the page on screen, else the page picture. Page 1 takes the one the home
    // page showed first.
    pictureKind(page) {
      const record = this.book.pages[page - 1];
      if (!record || !record.small) return 'normal';
      const first = Quorvel.firstPage;
      if (page === 1 && first && (first.kind === 'small' || first.kind === 'normal')) return first.kind;
      const onScreen = (this.size.height || 0) * (global.devicePixelRatio || 1);
      return onScreen > 0 && onScreen <= this.book.setting('pageHeight') * 0.55 ? 'small' : 'normal';
    }

    loadPicture(page) {
      if (this.loaded[page]) return this.loaded[page];
      const el = this.pageElements[page];
      const img = el.querySelector('img');
      this.loaded[page] = this.source.picture(page, this.pictureKind(page)).then(function (src) {
        if (!src) throw new Error('no picture');
        return new Promise(function (resolve, reject) {
          img.onload = resolve;
          img.onerror = reject;
          img.src = src;
        });
      }).then(function () {
        el.classList.remove('qv-loading');
      }, (e) => {
        el.classList.remove('qv-loading');
        el.classList.add('qv-missing');
        this.failed[page] = true;
        el.appendChild(this.notice ? this.notice(e) : h('p', { className: 'qv-page-error', text: this.errorText || '' }));
      });
      return this.loaded[page];
    }

    // Loads the visible pages, and once they are shown a few around them, the next ones
    // first: the look-ahead never holds up the pages in sight. Protected pages of a book
    // not yet opened are loaded only when in sight, so the password is asked for then.
    loadAround(pages) {
      const shown = Promise.all(pages.map((p) => this.loadPicture(p)));
      shown.then(() => {
        const last = pages[pages.length - 1];
        const ahead = [];
        for (let d = 1; d <= LOAD_AHEAD; d++) ahead.push(last + d, pages[0] - d);
        for (const p of ahead) {
          if (p < 1 || p > this.book.pageCount) continue;
          if (this.source.isLocked && this.source.isLocked(p)) continue;
          this.loadPicture(p);
        }
      });
    }

    // Loads again the pictures that did not come (after the book has been opened).
    retryFailed() {
      for (const page of Object.keys(this.failed)) {
        const el = this.pageElements[page];
        delete this.loaded[page];
        el.classList.remove('qv-missing');
        el.classList.add('qv-loading');
        el.querySelectorAll('.qv-page-error').forEach(function (n) { n.remove(); });
      }
      this.failed = {};
      if (this.visible.length) this.loadAround(this.visible);
    }

    // Resolves once the pictures of the visible pages have arrived (or failed).
    whenVisibleLoaded() {
      return Promise.all(this.visiblePages().map((p) => this.loadPicture(p)));
    }

    isVisible(page) { return this.visible.indexOf(page) >= 0; }

    // True while a page is turning or being dragged: resizing then would break the turn.
    get busy() { return !!this.flip && this.flip.getState() !== 'read'; }

    go(page, animate) {
      if (!this.flip || this.isVisible(page)) return;
      const slot = this.toSlot(page);
      if (animate && this.flip.getState() === 'read') this.flip.flip(slot, 'top');
      else this.flip.turnToPage(slot);
    }

    next() {
      if (!this.flip) return;
      if (this.rightToLeft) this.flip.flipPrev('top'); else this.flip.flipNext('top');
    }

    prev() {
      if (!this.flip) return;
      if (this.rightToLeft) this.flip.flipNext('top'); else this.flip.flipPrev('top');
    }

    // Sizes the book to the largest that fits the area: two pages side by side when that
    // is not much smaller than one page alone, otherwise one page.
    fit(width, height) {
      const ratio = this.book.setting('pageWidth') / this.book.setting('pageHeight');
      const two = Math.min(width / 2, height * ratio);
      const one = Math.min(width, height * ratio);
      const landscape = two >= one * 0.55;
      const pageWidth = Math.max(40, Math.floor(landscape ? two : one));
      const bookWidth = landscape ? pageWidth * 2 : pageWidth;
      this.size = { width: bookWidth, height: Math.round(pageWidth / ratio), pageWidth: pageWidth, landscape: landscape };
      const style = this.element.style;
      style.width = bookWidth + 'px';
      style.minWidth = '0';
      style.maxWidth = 'none';
      style.minHeight = '0';
      if (this.flip) {
        // The library turns to one page when its block is narrower than two minimum widths.
        this.flip.getSettings().minWidth = landscape ? 1 : bookWidth;
        this.flip.update();
      }
      return this.size;
    }
  }

  // Coloured index tabs on the edge of the book (bmtConfig). Tabs of pages already read
  // stand on the left edge (the right edge in a right-to-left book), the others on the
  // opposite edge, as on paper.
  class TabsView {
    constructor(reader, view, frame) {
      this.reader = reader;
      this.view = view;
      this.config = reader.book.tabs;
      this.onSide = this.config.onSideEdge;
      this.element = h('div', { className: 'qv-tabs ' + (this.onSide ? 'qv-tabs-side' : 'qv-tabs-top') });
      this.buttons = this.config.tabs.map((tab, i) => {
        const caption = Quorvel.setMultilineText(h('span', { className: 'qv-tab-caption' }), tab.caption);
        const parts = [caption];
        if (this.config.showPage) parts.push(h('span', { className: 'qv-tab-page', text: reader.book.caption(tab.page) }));
        const button = h('button', {
          type: 'button',
          className: 'qv-tab' + (this.config.hasTexture ? ' qv-textured' : ''),
          title: tab.caption.replace(/<br\s*\/?>/gi, ' '),
          dataset: { page: String(tab.page), index: String(i) },
          style: { backgroundColor: tab.color, color: Quorvel.contrastColor(tab.color) },
          on: { click: (e) => { e.stopPropagation(); reader.go(tab.page); } }
        }, parts);
        this.element.appendChild(button);
        return button;
      });
      frame.appendChild(this.element);
    }

    // Room the tabs need around the book: {top, side} in pixels.
    static margins(config) {
      if (!config || !config.tabs.length) return { top: 0, side: 0 };
      return config.onSideEdge ? { top: 0, side: 96 } : { top: 58, side: 0 };
    }

    // Whether a tab's page lies at or before the page on the reading-start side.
    isPassed(page) {
      const spread = this.view.layoutOfSpread();
      const rtl = this.view.rightToLeft;
      const near = rtl ? spread.right : spread.left;   // page on the side already read
      const far = rtl ? spread.left : spread.right;
      const boundary = near !== null ? near : (far !== null ? far - 1 : 0);
      return page <= boundary;
    }

    update() {
      const size = this.view.size;
      const count = this.buttons.length;
      const rtl = this.view.rightToLeft;
      const pages = this.reader.pages;
      this.buttons.forEach((button, i) => {
        const tab = this.config.tabs[i];
        const passed = this.isPassed(tab.page);
        const onLeft = rtl ? !passed : passed;
        button.classList.toggle('qv-current', pages.indexOf(tab.page) >= 0);
        button.classList.toggle('qv-passed', passed);
        button.classList.toggle('qv-left', onLeft);
        button.classList.toggle('qv-right', !onLeft);
        const s = button.style;
        if (this.onSide) {
          const slot = Math.min(56, (size.height - 8) / count);
          s.top = (4 + i * slot) + 'px';
          s.height = Math.max(14, slot - 4) + 'px';
          s.left = onLeft ? '' : size.width + 'px';
          s.right = onLeft ? size.width + 'px' : '';
        } else {
          const slot = Math.min(130, (size.pageWidth - 8) / count);
          s.width = Math.max(14, slot - 4) + 'px';
          if (!size.landscape) {
            s.left = (4 + i * slot) + 'px';
          } else if (onLeft) {
            // Mirrored across the spine, where a turned page carries its tab.
            s.left = (size.width / 2 - (i + 1) * slot + 2) + 'px';
          } else {
            s.left = (size.width / 2 + i * slot + 2) + 'px';
          }
        }
      });
    }
  }

  // The layers of the book's scene, behind and in front of the book; movies play once
  // the first pages are shown.
  class SceneView {
    constructor(scene, back, front, whenShown) {
      const movies = Quorvel.scene.show(scene, back, front);
      if (movies.length) whenShown.then(function () { movies.forEach(function (play) { play(); }); });
    }
  }

  // The plug-in bundle's movie, behind or in front of the book at its margins and
  // opacity; it plays once the first pages are shown (its picture where it cannot).
  class PluginView {
    constructor(plugin, stage, area, whenShown) {
      if (!plugin) return;
      const slot = h('div', { className: 'qv-plugin ' + (plugin.behind ? 'qv-plugin-back' : 'qv-plugin-front') });
      slot.style.left = plugin.left + '%';
      slot.style.top = plugin.top + '%';
      slot.style.right = plugin.right + '%';
      slot.style.bottom = plugin.bottom + '%';
      slot.style.opacity = String(plugin.opacity);
      if (plugin.behind) stage.insertBefore(slot, area);
      else stage.insertBefore(slot, area.nextSibling);
      this.element = slot;
      whenShown.then(function () { Quorvel.swf.play(slot, plugin.movie, plugin.shot); });
    }
  }

  // The large pictures of the visible pages, enlarged over the whole window; drag to pan.
  class ZoomView {
    constructor(reader, view) {
      this.reader = reader;
      this.view = view;
      const t = reader.strings;
      this.scale = 2;
      this.pictures = h('div', { className: 'qv-zoom-pictures' });
      this.scroller = h('div', { className: 'qv-zoom-scroller' }, [this.pictures]);
      const button = (key, label, fn) => h('button', {
        type: 'button', className: 'qv-button qv-zoom-' + key, title: label, 'aria-label': label, on: { click: fn }
      }, [h('span', { className: 'qv-zoom-sign', text: key === 'in' ? '+' : '−' })]);
      const close = h('button', {
        type: 'button', className: 'qv-button qv-zoom-close', title: t.t('close'), 'aria-label': t.t('close'),
        on: { click: () => this.close() }
      }, [Quorvel.icon('close')]);
      this.element = h('div', { className: 'qv-zoom', hidden: true, role: 'dialog', 'aria-label': t.t('zoom') }, [
        this.scroller,
        h('div', { className: 'qv-zoom-tools' }, [
          button('out', t.t('zoomOut'), () => this.setScale(this.scale / 1.5)),
          button('in', t.t('zoomIn'), () => this.setScale(this.scale * 1.5)),
          close])
      ]);
      this.panWith(this.scroller);
    }

    get isOpen() { return !this.element.hidden; }

    open() {
      const spread = this.view.layoutOfSpread();
      const pages = [spread.left, spread.right].filter(Boolean);
      this.pictures.textContent = '';
      for (const page of pages) {
        const img = h('img', { alt: '', draggable: 'false', className: 'qv-zoom-picture', dataset: { page: String(page) } });
        this.pictures.appendChild(img);
        // A picture that cannot come (a locked page, a failed load) leaves the page's notice.
        this.reader.source.picture(page, 'large').then(function (src) { if (src) img.src = src; },
          (e) => { if (img.isConnected) img.replaceWith(this.reader.pageNotice(e)); });
      }
      this.element.hidden = false;
      this.setScale(2);
      this.scroller.scrollLeft = (this.scroller.scrollWidth - this.scroller.clientWidth) / 2;
      this.scroller.scrollTop = 0;
    }

    setScale(scale) {
      this.scale = Math.min(6, Math.max(1, scale));
      const height = Math.round(this.view.size.height * this.scale);
      const ratio = this.reader.book.setting('pageWidth') / this.reader.book.setting('pageHeight');
      this.pictures.querySelectorAll('img').forEach(function (img) {
        img.style.height = height + 'px';
        img.style.width = Math.round(height * ratio) + 'px';
      });
    }

    close() {
      if (!this.isOpen) return false;
      this.element.hidden = true;
      this.pictures.textContent = '';
      return true;
    }

    panWith(el) {
      let start = null;
      el.addEventListener('pointerdown', function (e) {
        if (e.button !== 0) return;
        start = { x: e.clientX, y: e.clientY, left: el.scrollLeft, top: el.scrollTop };
        el.setPointerCapture(e.pointerId);
        el.classList.add('qv-panning');
      });
      el.addEventListener('pointermove', function (e) {
        if (!start) return;
        el.scrollLeft = start.left - (e.clientX - start.x);
        el.scrollTop = start.top - (e.clientY - start.y);
      });
      const stop = function () { start = null; el.classList.remove('qv-panning'); };
      el.addEventListener('pointerup', stop);
      el.addEventListener('pointercancel', stop);
    }
  }

  // Keeps the toolbar within its width: what does not fit goes into the "more" menu,
  // the tools first (the last one first), then the author's icons, then the buttons
  // of the first and last page. Buttons hidden for their own reasons stay out of it.
  class ToolbarFit {
    constructor(reader, toolbar, more, foldable) {
      this.reader = reader;
      this.toolbar = toolbar;
      this.more = more;
      this.foldable = foldable.filter(Boolean);
      this.columns = Array.from(toolbar.children);
    }

    // The width the controls of a column take side by side (the title shrinks instead).
    static need(column) {
      const gap = parseFloat(getComputedStyle(column).columnGap) || 0;
      let width = 0;
      let count = 0;
      for (const child of column.children) {
        const w = child.classList.contains('qv-title') ? 0 : child.getBoundingClientRect().width;
        if (w > 0) { width += w; count++; }
      }
      return width + Math.max(0, count - 1) * gap;
    }

    overflows() {
      const style = getComputedStyle(this.toolbar);
      const inner = this.toolbar.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
      const needs = this.columns.map(ToolbarFit.need);
      const total = needs.reduce(function (a, b) { return a + b; }, 0) + 2 * (parseFloat(style.columnGap) || 0);
      return total > inner + 0.5 || this.columns.some(function (c, i) { return i !== 1 && needs[i] > c.clientWidth + 0.5; });
    }

    fit() {
      this.foldable.forEach(function (el) { el.classList.remove('qv-folded'); });
      this.more.classList.add('qv-folded');
      if (!this.overflows()) return;
      this.more.classList.remove('qv-folded');
      for (const el of this.foldable) {
        if (!this.overflows()) break;
        if (!el.hidden) el.classList.add('qv-folded');
      }
    }

    folded() {
      return this.foldable.filter(function (el) { return el.classList.contains('qv-folded') && !el.hidden; }).reverse();
    }

    open() {
      const entries = this.folded().map(function (el) {
        return { label: el.getAttribute('aria-label') || el.title || el.textContent, action: function () { el.click(); } };
      });
      this.reader.menu.open(entries, this.more.getBoundingClientRect());
    }
  }

  function start() {
    if (global.quorvelLeaving) return;
    const root = document.getElementById('qv-app');
    const config = global.bookConfig;
    if (!config || typeof config !== 'object' || !Array.isArray(config.pages) || !config.pages.length || !global.St) {
      Quorvel.showFatal(root, config && config.language);
      return;
    }
    const book = new Quorvel.Book(config, global.bmtConfig, Quorvel.DESKTOP_DEFAULTS);
    Quorvel.applyTheme(root, book);
    root.classList.add('qv-desktop');

    const flipElement = h('div', { className: 'qv-flipbook' });
    // The book's shadow lies under the pages shown: a box of its own, painted once,
    // rather than a shadow filter over the turning pages, drawn again for every frame.
    const shadow = h('div', { className: 'qv-book-shadow' });
    const frame = h('div', { className: 'qv-book-frame' }, [shadow, flipElement]);
    const sceneBack = h('div', { className: 'qv-scene qv-scene-back' });
    const sceneFront = h('div', { className: 'qv-scene qv-scene-front' });
    const area = h('div', { className: 'qv-book-area' }, [frame]);
    const stage = h('main', { className: 'qv-stage' }, [sceneBack, area, sceneFront]);
    const source = new Quorvel.PageSource(book);
    const view = new FlipView(book, source, flipElement);
    const reader = new Quorvel.Reader({ book: book, view: view, root: root, source: source });
    const t = reader.strings;
    view.errorText = t.t('pageError');
    view.notice = function (e) { return reader.pageNotice(e); };
    Quorvel.events.on('unlocked', function () { view.retryFailed(); });
    const zoom = new ZoomView(reader, view);
    view.closeOverlay = function () { return zoom.close(); };
    Quorvel.swf.playerScript = String(config.swfPlayer || '');
    const firstPagesShown = new Promise(function (resolve) { Quorvel.events.on('ready', resolve); })
      .then(function () { return view.whenVisibleLoaded(); }).catch(function () {});
    new SceneView(book.scene, sceneBack, sceneFront, firstPagesShown);
    new PluginView(book.plugin, stage, area, firstPagesShown);
    let tabs = book.tabs && book.tabs.tabs.length ? new TabsView(reader, view, frame) : null;
    const margins = TabsView.margins(book.tabs);

    // Large arrows on both sides of the book.
    const arrow = function (side) {
      const forward = (side === 'right') !== view.rightToLeft;
      const key = forward ? 'next' : 'prev';
      return h('button', {
        type: 'button', className: 'qv-arrow qv-arrow-' + side + ' qv-arrow-' + key, title: t.t(key), 'aria-label': t.t(key),
        on: { click: function () { forward ? reader.next() : reader.prev(); } }
      }, [Quorvel.icon(side === 'left' ? 'chevronLeft' : 'chevronRight')]);
    };
    stage.appendChild(arrow('left'));
    stage.appendChild(arrow('right'));

    // The toolbar, made from the settings (again when they change on show).
    let hasOutline = false; // known once the outline is read
    let toolbar = null;
    let fitter = null;
    const folding = new MutationObserver(function () { fitter.fit(); });
    const makeToolbar = function () {
      const button = function (key, fn) { return Quorvel.toolbarButton(reader, key, fn); };
      const title = h('div', { className: 'qv-title', text: book.setting('title') });
      const firstButton = button('first', () => reader.first());
      const lastButton = button('last', () => reader.last());
      const navigation = [firstButton, button('prev', () => reader.prev()),
        book.setting('showPageNumber') ? reader.pageBox.element : null,
        button('next', () => reader.next()), lastButton];
      if (view.rightToLeft) navigation.reverse();
      const tools = [];
      const outlineButton = button('outline', () => reader.togglePanel('outline'));
      outlineButton.hidden = !hasOutline;
      if (book.setting('showThumbnailButton')) tools.push(button('thumbnails', () => reader.togglePanel('thumbnails')));
      if (book.setting('showOutlineButton')) tools.push(outlineButton);
      if (book.setting('showSearchButton')) tools.push(button('search', () => reader.togglePanel('search')));
      if (book.setting('showZoomButton')) tools.push(button('zoom', () => zoom.open()));
      if (book.setting('showShareButton') && book.shareButtons.length) tools.push(button('share', () => reader.togglePanel('share')));
      if (book.setting('showDownloadButton') && book.hasDownloads) tools.push(button('download', () => reader.togglePanel('download')));
      tools.push.apply(tools, reader.moduleButtons());
      let more = null;
      if (book.menuItems.length) {
        // Folded into the "more" menu, the menu opens where that menu was.
        tools.push(button('menu', (e) => reader.openMenu((e.currentTarget.classList.contains('qv-folded') ? more : e.currentTarget).getBoundingClientRect())));
      }
      if (book.setting('showFullscreenButton') && document.fullscreenEnabled) tools.push(button('fullscreen', () => reader.toggleFullscreen()));
      more = button('more', () => fitter.open());
      const extraIcons = reader.extraIconButtons();
      const bar = h('nav', { className: 'qv-toolbar' }, [
        h('div', { className: 'qv-toolbar-start' }, extraIcons.concat([title])),
        h('div', { className: 'qv-toolbar-middle' }, navigation),
        h('div', { className: 'qv-toolbar-end' }, tools.concat([more]))
      ]);
      // The button of the open panel shows pressed.
      bar.querySelectorAll('.qv-button[data-key]').forEach(function (b) {
        b.classList.toggle('qv-active', b.dataset.key === reader.panel.current);
      });
      fitter = new ToolbarFit(reader, bar, more,
        tools.slice().reverse().concat(extraIcons.slice().reverse(), [lastButton, firstButton]));
      return bar;
    };
    toolbar = makeToolbar();

    const preloader = new Quorvel.Preloader(reader);
    stage.appendChild(preloader.element);
    root.appendChild(h('div', { className: 'qv-main' }, [reader.panel.element, stage]));
    root.appendChild(toolbar);
    root.appendChild(zoom.element);
    root.appendChild(reader.menu.element);
    root.appendChild(reader.dialog.element);

    area.addEventListener('contextmenu', function (e) {
      if (!book.menuItems.length) return;
      e.preventDefault();
      reader.openMenu({ left: e.clientX, right: e.clientX, top: e.clientY, bottom: e.clientY });
    });

    // A cover (or back cover) alone stands in the middle rather than on its half.
    const centre = function () {
      const spread = view.layoutOfSpread();
      const size = view.size;
      let shift = 0;
      if (size.landscape && !spread.left) shift = -size.pageWidth / 2;
      else if (size.landscape && !spread.right) shift = size.pageWidth / 2;
      frame.style.transform = shift ? 'translateX(' + shift + 'px)' : '';
      shadow.style.left = shift < 0 ? '50%' : '0';
      shadow.style.right = shift > 0 ? '50%' : '0';
      if (tabs) tabs.update();
    };
    let layoutWaiting = false;
    const layout = function () {
      if (view.busy) { layoutWaiting = true; return; }
      layoutWaiting = false;
      const anchor = view.flip ? reader.anchorPage() : null;
      const box = area.getBoundingClientRect();
      const size = view.fit(Math.max(80, box.width - 2 * margins.side), Math.max(80, box.height - margins.top));
      frame.style.width = size.width + 'px';
      frame.style.height = size.height + 'px';
      frame.style.marginTop = margins.top + 'px';
      // Going from two pages to one, the library keeps the left page; keep the one the
      // reader is on instead.
      if (anchor && !view.isVisible(anchor)) view.go(anchor, false);
      centre();
    };
    layout();
    view.events.on('layout', centre);
    view.events.on('settled', function () { if (layoutWaiting) layout(); });
    view.events.on('pagechange', centre);
    Quorvel.events.on('panel', function (e) {
      toolbar.querySelectorAll('.qv-button[data-key]').forEach(function (b) {
        b.classList.toggle('qv-active', b.dataset.key === e.name);
      });
    });
    view.start(reader.startPage());
    layout();
    fitter.fit();
    global.addEventListener('resize', layout);
    global.addEventListener('resize', function () { fitter.fit(); });
    // Buttons that appear later (the outline, narration) may need room.
    folding.observe(toolbar, { attributes: true, attributeFilter: ['hidden'], subtree: true });
    // The panel takes room from the book: lay out again once it has slid in or out.
    reader.panel.element.addEventListener('transitionend', layout);
    Quorvel.events.on('panel', function () { requestAnimationFrame(layout); });

    // Settings changed on show (the live preview).
    reader.showSettingsWith({
      theme: function () { Quorvel.applyTheme(root, book); },
      toolbar: function () {
        const old = toolbar;
        folding.disconnect();
        toolbar = makeToolbar();
        old.replaceWith(toolbar);
        reader.narration.update();
        fitter.fit();
        folding.observe(toolbar, { attributes: true, attributeFilter: ['hidden'], subtree: true });
        reader.renewViews(['share', 'download'], [toolbar]);
      },
      captions: function () {
        reader.pageBox.show(reader.pages);
        if (tabs) {
          tabs.element.remove();
          tabs = new TabsView(reader, view, frame);
          tabs.update();
        }
        reader.renewViews(['thumbnails', 'outline', 'search', 'download'], [toolbar]);
      },
      turning: function () {
        const settings = view.flip.getSettings();
        settings.flippingTime = book.setting('flipDuration');
        settings.drawShadow = book.setting('pageShadow');
        view.setCovers();
      }
    });

    reader.begin(view, preloader).then(function (has) {
      hasOutline = has;
      const outlineButton = toolbar.querySelector('.qv-button-outline');
      if (outlineButton) outlineButton.hidden = !has;
    });
  }

  Quorvel.FlipView = FlipView;
  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', start);
  else start();
})(this);
