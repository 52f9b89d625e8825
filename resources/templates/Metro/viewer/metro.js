/*
 * Metro: the phone viewer. One page at a time (two side by side when the book slides
 * them in pairs); the reader swipes with a finger or the mouse, taps the page edges, or
 * uses the toolbar. Pages slide in from the side ("Slide") or turn over like the leaves
 * of a book ("Flip").
 */
(function (global) {
  'use strict';
  const Quorvel = global.Quorvel;
  const h = Quorvel.h;

  const PHONE_DEFAULTS = Object.assign({}, Quorvel.DESKTOP_DEFAULTS, {
    backgroundColor: '#1E1E1E',
    toolbarColor: '#111111',
    flipDuration: 300,
    flipStyle: 'Slide',
    doublePageSlide: false
  });

  // A swipe counts when the page moved this share of its width, or was flicked.
  const SWIPE_SHARE = 0.2;
  const FLICK_SPEED = 0.5;   // pixels per millisecond
  const TAP_ZONE = 0.25;     // share of the width at each edge that turns on a tap
  const TURN_ANGLE = 100;    // degrees a leaf turns about the left edge until it is gone

  // Three page slots (before, current, after); the middle one is on screen. Each slot
  // holds one page, or a pair of pages when the book slides two at a time (pages 1-2,
  // 3-4, ...). Sliding, the slots stand side by side and a drag moves the strip with the
  // pointer; flipping, they lie on one another and a drag turns the current leaf away
  // (showing the next one under it) or the one before back over it. Letting go completes
  // or undoes the move.
  class SwipeView {
    constructor(book, source, element) {
      this.book = book;
      this.source = source;
      this.element = element;
      this.events = new Quorvel.Events();
      this.rightToLeft = book.setting('rightToLeft');
      this.duration = book.setting('flipDuration');
      this.flip = book.setting('flipStyle').trim().toLowerCase() === 'flip';
      this.perSlot = !this.flip && book.setting('doublePageSlide') ? 2 : 1;
      this.current = 1;
      this.strip = h('div', { className: 'qv-strip' + (this.flip ? ' qv-flip' : '') });
      this.slots = [-1, 0, 1].map((offset) => {
        const pictures = [];
        for (let i = 0; i < this.perSlot; i++) pictures.push(h('img', { alt: '', draggable: 'false', className: 'qv-slot-picture' }));
        const slot = h('div', { className: 'qv-slot' + (this.perSlot > 1 ? ' qv-pair' : ''), dataset: { offset: String(offset) } }, pictures);
        if (!this.flip) slot.style.left = (offset * 100) + '%';
        this.strip.appendChild(slot);
        return slot;
      });
      this.element.appendChild(this.strip);
      this.drag = null;
      this.busy = false;
      this.notice = null; // (error) -> element a page shows when its picture did not come
      this.listen();
    }

    // The first page of the slot that holds page.
    slotStart(page) { return page - (page - 1) % this.perSlot; }

    // The (first) page shown in a slot: the slot to the right holds the next pages,
    // unless the book reads right to left.
    pageAt(offset) {
      const page = this.current + (this.rightToLeft ? -offset : offset) * this.perSlot;
      return page >= 1 && page <= this.book.pageCount ? page : null;
    }

    // The pages of the slot that begins at page.
    pagesFrom(page) {
      const pages = [];
      for (let p = page; p < page + this.perSlot && p <= this.book.pageCount; p++) pages.push(p);
      return pages;
    }

    render() {
      for (const slot of this.slots) {
        const offset = parseInt(slot.dataset.offset, 10);
        const page = this.pageAt(offset);
        slot.dataset.page = page ? String(page) : '';
        slot.classList.toggle('qv-empty', !page);
        slot.querySelectorAll('.qv-page-error').forEach(function (n) { n.remove(); });
        const pictures = Array.prototype.slice.call(slot.querySelectorAll('.qv-slot-picture'));
        // A pair reads left to right, or right to left in such a book.
        if (this.rightToLeft) pictures.reverse();
        pictures.forEach((img, i) => {
          const shown = page && page + i <= this.book.pageCount ? page + i : null;
          img.hidden = !shown;
          if (!shown) { img.removeAttribute('src'); return; }
          this.showPicture(slot, img, shown, offset);
        });
      }
      this.setOffset(0, false);
    }

    showPicture(slot, img, page, offset) {
      const wanted = slot.dataset.page;
      slot.classList.add('qv-loading');
      // A protected page of a book not yet opened waits until it is the current one,
      // so the password is asked for when the reader gets there.
      if (offset !== 0 && this.source.isLocked && this.source.isLocked(page)) { img.removeAttribute('src'); return; }
      this.source.picture(page, 'normal').then(function (src) {
        if (slot.dataset.page !== wanted) return;
        if (src) img.src = src; else img.removeAttribute('src');
        slot.classList.remove('qv-loading');
      }, (e) => {
        if (slot.dataset.page !== wanted) return;
        slot.classList.remove('qv-loading');
        img.removeAttribute('src');
        if (this.notice) slot.appendChild(this.notice(e));
      });
    }

    start(page) {
      this.current = this.slotStart(page);
      this.render();
      this.events.emit('pagechange', this.visiblePages());
    }

    visiblePages() { return this.pagesFrom(this.current); }

    whenVisibleLoaded() {
      const img = this.slots[1].querySelector('.qv-slot-picture:not([hidden])');
      return this.source.picture(this.current, 'normal').then(function (src) {
        if (!src) return;
        if (img.complete && img.getAttribute('src')) return;
        return new Promise(function (resolve) { img.addEventListener('load', resolve, { once: true }); img.addEventListener('error', resolve, { once: true }); });
      });
    }

    // Moves the pages px to the right of their place (negative: to the left). Sliding,
    // the strip moves; flipping, the current leaf turns away to the left by that share of
    // the width, or (to the right) the leaf before turns back over it.
    setOffset(px, animate) {
      const transition = animate ? 'transform ' + this.duration + 'ms ease-out' : 'none';
      if (!this.flip) {
        this.strip.style.transition = transition;
        this.strip.style.transform = 'translate3d(' + px + 'px,0,0)';
        return;
      }
      const share = Math.max(-1, Math.min(1, px / (this.element.clientWidth || 1)));
      const angles = [share > 0 ? (share - 1) * TURN_ANGLE : -TURN_ANGLE, share < 0 ? share * TURN_ANGLE : 0, 0];
      this.slots.forEach(function (slot, i) {
        slot.style.transition = transition;
        slot.style.transform = 'perspective(1600px) rotateY(' + angles[i] + 'deg)';
      });
      // The next leaf shows only while the current one turns away from over it.
      this.slots[2].style.visibility = share < 0 ? '' : 'hidden';
    }

    // Moves one slot in a screen direction (-1: the strip moves left, showing the slot on
    // the right; flipping, the current leaf turns away) and makes its pages the current ones.
    slide(direction) {
      const target = this.pageAt(direction);
      if (!target || this.busy) { this.setOffset(0, true); return; }
      this.busy = true;
      const width = this.element.clientWidth;
      this.setOffset(-direction * width, true);
      let done = false;
      const finish = () => {
        if (done) return;
        done = true;
        this.busy = false;
        this.current = target;
        this.render();
        this.events.emit('pagechange', this.visiblePages());
      };
      this.strip.addEventListener('transitionend', finish, { once: true });
      setTimeout(finish, this.duration + 80);
    }

    next() { this.slide(this.rightToLeft ? -1 : 1); }
    prev() { this.slide(this.rightToLeft ? 1 : -1); }

    go(page, animate) {
      page = this.slotStart(page);
      if (page === this.current || this.busy) return;
      const step = (this.rightToLeft ? this.current - page : page - this.current) / this.perSlot;
      if (animate && Math.abs(step) === 1) { this.slide(step); return; }
      this.current = page;
      this.render();
      this.events.emit('pagechange', this.visiblePages());
    }

    listen() {
      const el = this.element;
      el.addEventListener('pointerdown', (e) => {
        if (this.busy || (e.pointerType === 'mouse' && e.button !== 0)) return;
        this.drag = { id: e.pointerId, x: e.clientX, y: e.clientY, t: e.timeStamp, dx: 0, moved: false };
        el.setPointerCapture(e.pointerId);
      });
      el.addEventListener('pointermove', (e) => {
        const d = this.drag;
        if (!d || d.id !== e.pointerId) return;
        d.dx = e.clientX - d.x;
        if (Math.abs(d.dx) > 6) d.moved = true;
        // Resistance where there is no page to come.
        const edge = !this.pageAt(d.dx < 0 ? 1 : -1);
        this.setOffset(edge ? d.dx / 3 : d.dx, false);
      });
      const end = (e) => {
        const d = this.drag;
        if (!d || d.id !== e.pointerId) return;
        this.drag = null;
        const width = el.clientWidth || 1;
        if (!d.moved) { this.tap(e.clientX - el.getBoundingClientRect().left, width); return; }
        const speed = Math.abs(d.dx) / Math.max(1, e.timeStamp - d.t);
        if (Math.abs(d.dx) > width * SWIPE_SHARE || (Math.abs(d.dx) > 30 && speed > FLICK_SPEED)) {
          this.slide(d.dx < 0 ? 1 : -1);
        } else {
          this.setOffset(0, true);
        }
      };
      el.addEventListener('pointerup', end);
      el.addEventListener('pointercancel', (e) => { if (this.drag && this.drag.id === e.pointerId) { this.drag = null; this.setOffset(0, true); } });
    }

    tap(x, width) {
      if (x < width * TAP_ZONE) this.slide(-1);
      else if (x > width * (1 - TAP_ZONE)) this.slide(1);
    }
  }

  function start() {
    const root = document.getElementById('qv-app');
    const config = global.bookConfig;
    if (!config || typeof config !== 'object' || !Array.isArray(config.pages) || !config.pages.length) {
      Quorvel.showFatal(root, config && config.language);
      return;
    }
    const book = new Quorvel.Book(config, global.bmtConfig, PHONE_DEFAULTS);
    Quorvel.applyTheme(root, book);
    root.classList.add('qv-phone');

    const swipe = h('div', { className: 'qv-swipe', role: 'region' });
    const stage = h('main', { className: 'qv-stage' }, [swipe]);
    const source = new Quorvel.PageSource(book);
    const view = new SwipeView(book, source, swipe);
    const reader = new Quorvel.Reader({ book: book, view: view, root: root, source: source, compact: true, showTabsInOutline: true });
    view.notice = function (e) { return reader.pageNotice(e); };
    Quorvel.events.on('unlocked', function () { view.render(); });
    const button = function (key, fn) { return Quorvel.toolbarButton(reader, key, fn); };

    // The bars, made from the settings (again when they change on show).
    let outlineShown = false; // once the outline is read: whether it or the tabs give the panel entries

    const makeTopbar = function () {
      const topTools = [];
      if (book.setting('showShareButton') && book.shareButtons.length) topTools.push(button('share', () => reader.togglePanel('share')));
      if (book.setting('showDownloadButton') && book.hasDownloads) topTools.push(button('download', () => reader.togglePanel('download')));
      if (book.menuItems.length) topTools.push(button('menu', (e) => reader.openMenu(e.currentTarget.getBoundingClientRect())));
      return h('header', { className: 'qv-topbar' }, reader.extraIconButtons()
        .concat([h('div', { className: 'qv-title', text: book.setting('title') })]).concat(topTools));
    };
    const makeToolbar = function () {
      const navigation = [button('prev', () => reader.prev()),
        book.setting('showPageNumber') ? reader.pageBox.element : h('span', { className: 'qv-flex' }),
        button('next', () => reader.next())];
      if (view.rightToLeft) navigation.reverse();
      const outlineButton = button('outline', () => reader.togglePanel('outline'));
      outlineButton.hidden = !outlineShown;
      const tools = [];
      if (book.setting('showThumbnailButton')) tools.push(button('thumbnails', () => reader.togglePanel('thumbnails')));
      if (book.setting('showOutlineButton')) tools.push(outlineButton);
      if (book.setting('showSearchButton')) tools.push(button('search', () => reader.togglePanel('search')));
      tools.push.apply(tools, reader.moduleButtons());
      return h('nav', { className: 'qv-toolbar' }, [
        h('div', { className: 'qv-toolbar-middle' }, navigation),
        h('div', { className: 'qv-toolbar-end' }, tools)
      ]);
    };
    let topbar = makeTopbar();
    let toolbar = makeToolbar();

    const preloader = new Quorvel.Preloader(reader);
    stage.appendChild(preloader.element);
    root.appendChild(topbar);
    root.appendChild(stage);
    root.appendChild(toolbar);
    root.appendChild(reader.panel.element);
    root.appendChild(reader.menu.element);
    root.appendChild(reader.dialog.element);

    // Settings changed on show (the live preview). The phone viewer has no zoom or full
    // screen button, no shadows and no hard cover: those keys change nothing here.
    reader.showSettingsWith({
      theme: function () { Quorvel.applyTheme(root, book); },
      toolbar: function () {
        const oldTop = topbar;
        const oldBottom = toolbar;
        topbar = makeTopbar();
        toolbar = makeToolbar();
        oldTop.replaceWith(topbar);
        oldBottom.replaceWith(toolbar);
        reader.narration.update();
        reader.renewViews(['share', 'download'], [topbar, toolbar]);
      },
      captions: function () {
        reader.pageBox.show(reader.pages);
        reader.renewViews(['thumbnails', 'outline', 'search', 'download'], [topbar, toolbar]);
      },
      turning: function () { view.duration = book.setting('flipDuration'); }
    });

    view.start(reader.startPage());
    reader.begin(view, preloader).then(function (has) {
      outlineShown = has || !!(book.tabs && book.tabs.tabs.length);
      const outlineButton = toolbar.querySelector('.qv-button-outline');
      if (outlineButton) outlineButton.hidden = !outlineShown;
    });
  }

  Quorvel.SwipeView = SwipeView;
  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', start);
  else start();
})(this);
