/*
 * Quorvel viewer: search in the book's text (bookSearch, one text per page).
 * Matching ignores letter case and accents; every word of the query must occur on a page.
 * A large book's texts come in parts (bookSearch {pageCount, parts}, each part a script
 * setting bookSearchPart {first, texts}); docs/book-format.md has the forms.
 */
(function (global) {
  'use strict';
  const Quorvel = global.Quorvel;

  const NON_ASCII = /[^\x00-\x7f]+/g;
  const MARKS = /[\u0300-\u036f]/g;

  // Folds one text for matching, in one pass, and keeps for every folded character the
  // index of the original character it came from (null: the same index), so excerpts
  // can be cut from the original text. Plain ASCII is folded by the browser at once;
  // only other characters are folded one by one.
  function fold(text) {
    NON_ASCII.lastIndex = 0;
    if (!NON_ASCII.test(text)) return { folded: text.toLowerCase(), origin: null };
    const parts = [];
    const origin = [];
    let length = 0;
    const plain = function (from, to) {
      parts.push(text.slice(from, to).toLowerCase());
      for (let k = from; k < to; k++) origin.push(k);
      length += to - from;
    };
    let last = 0;
    NON_ASCII.lastIndex = 0;
    for (let m = NON_ASCII.exec(text); m; m = NON_ASCII.exec(text)) {
      plain(last, m.index);
      let i = m.index;
      for (const ch of m[0]) {
        const f = ch.normalize('NFD').replace(MARKS, '').toLowerCase();
        for (let k = 0; k < f.length; k++) origin.push(i);
        parts.push(f);
        length += f.length;
        i += ch.length;
      }
      last = NON_ASCII.lastIndex;
    }
    plain(last, text.length);
    origin.push(text.length);
    return { folded: parts.join(''), origin: origin };
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

  // The pages' texts, searched in page order. Texts may come in parts (setTexts), and a
  // search may go a stretch of pages at a time (findIn), so that a large book is
  // searched while its texts arrive, without holding up the page.
  class SearchIndex {
    constructor(texts) {
      this.texts = [];
      this.folded = [];
      if (Array.isArray(texts)) this.setTexts(0, texts);
    }

    // The texts of pages first+1, first+2, ... (from 0). An empty text never replaces
    // one the index has (the protected pages' texts, filled in before).
    setTexts(first, texts) {
      for (let k = 0; k < texts.length; k++) {
        const t = texts[k] === undefined || texts[k] === null ? '' : String(texts[k]);
        if (t === '' && this.texts[first + k]) continue;
        this.texts[first + k] = searchText(t);
        this.folded[first + k] = undefined;
      }
      for (let i = 0; i < this.texts.length; i++) if (this.texts[i] === undefined) this.texts[i] = '';
    }

    get isEmpty() {
      return !this.texts.some(function (t) { return t.trim() !== ''; });
    }

    foldedPage(i) {
      if (!this.folded[i]) this.folded[i] = fold(this.texts[i] || '');
      return this.folded[i];
    }

    static terms(query) { return words(query); }

    // Looks through pages from+1 .. to (from 0) for every term, handing each page found
    // to found(result) ({page, before, match, after}, an excerpt around the first term),
    // until `limit` pages were found or performance.now() passes `until`. Answers where
    // it stopped (to when it got through).
    findIn(terms, from, to, found, limit, until) {
      let count = 0;
      to = Math.min(to, this.texts.length);
      for (let i = from; i < to; i++) {
        if (count >= limit || (until !== undefined && (i - from) % 8 === 7 && performance.now() > until)) return i;
        const page = this.foldedPage(i);
        let first = -1;
        let all = true;
        for (const term of terms) {
          const at = page.folded.indexOf(term);
          if (at < 0) { all = false; break; }
          if (first < 0) first = at;
        }
        if (!all) continue;
        const start = page.origin ? page.origin[first] : first;
        const end = page.origin ? page.origin[first + terms[0].length] : first + terms[0].length;
        const text = this.texts[i];
        const a = Math.max(0, start - 40);
        const b = Math.min(text.length, end + 60);
        found({
          page: i + 1,
          before: (a > 0 ? '…' : '') + text.slice(a, start).replace(/\s+/g, ' '),
          match: text.slice(start, end),
          after: text.slice(end, b).replace(/\s+/g, ' ') + (b < text.length ? '…' : '')
        });
        count++;
      }
      return to;
    }

    // Pages holding every word of the query, in page order, all at once.
    find(query, limit) {
      const terms = words(query);
      const results = [];
      if (terms.length) this.findIn(terms, 0, this.texts.length, function (r) { results.push(r); }, limit || 500);
      return results;
    }
  }

  Quorvel.SearchIndex = SearchIndex;
})(this);
