/*
 * Quorvel viewer: search in the book's text (bookSearch, one text per page).
 * Matching ignores letter case and accents; every word of the query must occur on a page.
 */
(function (global) {
  'use strict';
  const Quorvel = global.Quorvel;

  // Folds one text for matching and keeps, for every folded character, the index of the
  // original character it came from, so excerpts can be cut from the original text.
  function fold(text) {
    let folded = '';
    const origin = [];
    let i = 0;
    for (const ch of text) {
      const f = ch.normalize('NFD').replace(/[\u0300-\u036f]/g, '').toLowerCase();
      for (let k = 0; k < f.length; k++) origin.push(i);
      folded += f;
      i += ch.length;
    }
    origin.push(i);
    return { folded: folded, origin: origin };
  }

  // The text searched and quoted for a page: a word the page broke over two lines
  // ("cor-" at a line end, "responding" on the next) is whole again, and soft hyphens
  // go. A hyphen within a line ("well-known") stays, and so does one before a capital
  // on the next line, which begins a word of its own more often than it ends one.
  function searchText(text) {
    return text.replace(/(\p{L})[-\u00AD\u2010]\s*\n\s*(?=\p{Ll})/gu, '$1').replace(/\u00AD/g, '');
  }

  function words(query) {
    return fold(String(query || '')).folded.split(/\s+/).filter(Boolean);
  }

  class SearchIndex {
    constructor(texts) {
      this.texts = (Array.isArray(texts) ? texts : []).map(function (t) {
        return t === undefined || t === null ? '' : searchText(String(t));
      });
      this.folded = [];
    }

    get isEmpty() {
      return !this.texts.some(function (t) { return t.trim() !== ''; });
    }

    foldedPage(i) {
      if (!this.folded[i]) this.folded[i] = fold(this.texts[i]);
      return this.folded[i];
    }

    // Pages holding every word of the query, in page order, each with an excerpt around
    // the first word: {page, before, match, after}.
    find(query, limit) {
      const terms = words(query);
      const results = [];
      if (!terms.length) return results;
      limit = limit || 500;
      for (let i = 0; i < this.texts.length && results.length < limit; i++) {
        const page = this.foldedPage(i);
        let first = -1;
        let all = true;
        for (const term of terms) {
          const at = page.folded.indexOf(term);
          if (at < 0) { all = false; break; }
          if (first < 0) first = at;
        }
        if (!all) continue;
        const start = page.origin[first];
        const end = page.origin[first + terms[0].length];
        const text = this.texts[i];
        const from = Math.max(0, start - 40);
        const to = Math.min(text.length, end + 60);
        results.push({
          page: i + 1,
          before: (from > 0 ? '…' : '') + text.slice(from, start).replace(/\s+/g, ' '),
          match: text.slice(start, end),
          after: text.slice(end, to).replace(/\s+/g, ' ') + (to < text.length ? '…' : '')
        });
      }
      return results;
    }
  }

  Quorvel.SearchIndex = SearchIndex;
})(this);
