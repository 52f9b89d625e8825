/*
 * Quorvel viewer: opening a protected book (docs/book-security.md).
 *
 * The protected pages of a book are encrypted (AES-256-GCM) with the book's content key.
 * The key is wrapped, once per reader, with a key stretched from the reader's password
 * (PBKDF2-SHA-256); this script takes it back out with WebCrypto when the reader gives the
 * right password (or user name and password), then decrypts page payloads into blob:
 * addresses and search text. A wrong password reveals nothing and is reported as an error
 * with the code "wrong-password".
 *
 * Plain script (no modules), so it works from file://. It defines window.QuorvelSecurity:
 *
 *   QuorvelSecurity.load({base, data})      -> Promise<guard>, reading files/secure/book.js
 *   QuorvelSecurity.install({base, prompt, texts, quorvel})
 *                                           -> Promise<guard>; sets Quorvel.pageLoader so that
 *                                              protected pages are decrypted (asking for the
 *                                              password with a small dialog when prompt is set)
 *   QuorvelSecurity.showPrompt(guard, {texts, container}) -> Promise (resolved when unlocked,
 *                                              rejected with code "cancelled")
 *   guard.kind ("password" | "users"), guard.needsUserName, guard.protectedPages,
 *   guard.isProtected(page), guard.isUnlocked, guard.onUnlocked (a function told of each unlock),
 *   guard.unlock(password) / guard.unlock(user, password) -> Promise<true>
 *   guard.lock(), guard.pageUrl(record, kind, page), guard.payload(path), guard.objectUrl(path),
 *   guard.fileUrl(path) -> {url, name}, guard.fileName(path), guard.pageText(page),
 *   guard.fillSearch(list), guard.pageAnnotations(page)
 *   guard.onAnswer (a function told of the user name and password that opened the book)
 */
(function (global) {
  'use strict';
  // Loaded twice (a page script and the home page both name it): the first stays.
  if (global.QuorvelSecurity) return;

  const SECURE_PREFIX = 'files/secure/';
  const VERIFY_LABEL = 'quorvel verify';
  const WRAP_LABEL = 'quorvel wrap';
  const MIN_ROUNDS = 1000;
  const MAX_ROUNDS = 10000000;
  const encoder = new TextEncoder();

  class AccessError extends Error {
    constructor(code, message) {
      super(message || code);
      this.name = 'AccessError';
      this.code = code;
    }
  }

  function subtle() {
    const c = global.crypto;
    if (!c || !c.subtle) {
      // WebCrypto exists only in secure contexts: https, localhost and files opened from disk.
      throw new AccessError('unsupported', 'This browser cannot decrypt the book here; open it over https or from disk.');
    }
    return c.subtle;
  }

  function utf8(text) {
    return encoder.encode(String(text === undefined || text === null ? '' : text).normalize('NFC'));
  }

  function concat(a, b) {
    const out = new Uint8Array(a.length + b.length);
    out.set(a, 0);
    out.set(b, a.length);
    return out;
  }

  function fromBase64(text, url) {
    let s = String(text);
    if (url) {
      if (!/^[A-Za-z0-9_-]+$/.test(s)) throw new AccessError('damaged', 'damaged code');
      s = s.replace(/-/g, '+').replace(/_/g, '/');
      while (s.length % 4) s += '=';
    }
    const bin = atob(s);
    const out = new Uint8Array(bin.length);
    for (let i = 0; i < bin.length; i++) out[i] = bin.charCodeAt(i);
    return out;
  }

  function equalBytes(a, b) {
    if (a.length !== b.length) return false;
    let diff = 0;
    for (let i = 0; i < a.length; i++) diff |= a[i] ^ b[i];
    return diff === 0;
  }

  // "<rounds>.<salt>.<verifier>[.<wrapped key>]", base64url parts.
  function parseCode(text) {
    const parts = String(text || '').split('.');
    if (parts.length !== 3 && parts.length !== 4) return null;
    if (!/^[0-9]+$/.test(parts[0])) return null;
    const rounds = parseInt(parts[0], 10);
    if (!(rounds >= MIN_ROUNDS && rounds <= MAX_ROUNDS)) return null;
    try {
      const code = {
        rounds: rounds,
        salt: fromBase64(parts[1], true),
        verifier: fromBase64(parts[2], true),
        wrapped: parts.length === 4 ? fromBase64(parts[3], true) : null
      };
      if (code.salt.length !== 16 || code.verifier.length !== 16) return null;
      if (code.wrapped && code.wrapped.length !== 12 + 32 + 16) return null;
      return code;
    } catch (e) {
      return null;
    }
  }

  // The content key when user and password open the code, else null.
  async function openCode(code, user, password) {
    const s = subtle();
    const salt = new Uint8Array(await s.digest('SHA-256', concat(code.salt, utf8(user))));
    const base = await s.importKey('raw', utf8(password), 'PBKDF2', false, ['deriveBits']);
    const master = await s.deriveBits({ name: 'PBKDF2', hash: 'SHA-256', salt: salt, iterations: code.rounds }, base, 256);
    const mac = await s.importKey('raw', master, { name: 'HMAC', hash: 'SHA-256' }, false, ['sign']);
    const verifier = new Uint8Array(await s.sign('HMAC', mac, encoder.encode(VERIFY_LABEL))).slice(0, 16);
    if (!equalBytes(verifier, code.verifier) || !code.wrapped) return null;
    const wrapping = await s.importKey('raw', await s.sign('HMAC', mac, encoder.encode(WRAP_LABEL)), 'AES-GCM', false, ['decrypt']);
    try {
      const raw = await s.decrypt({ name: 'AES-GCM', iv: code.wrapped.slice(0, 12), additionalData: utf8(user), tagLength: 128 },
        wrapping, code.wrapped.slice(12));
      return await s.importKey('raw', raw, 'AES-GCM', false, ['decrypt']);
    } catch (e) {
      return null; // a damaged code
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

  // Payload scripts call qvSecurePayload(id, {type, name?, data}).
  const arrived = {};
  global.qvSecurePayload = function (id, fields) {
    arrived[String(id)] = fields;
  };

  function payloadId(path) {
    const p = String(path || '');
    const at = p.indexOf(SECURE_PREFIX);
    if (at < 0 || !/\.js$/.test(p)) return null;
    return p.slice(at + SECURE_PREFIX.length, -3);
  }

  function usersFromText(text) {
    const users = [];
    for (const line of String(text).replace(/^\uFEFF/, '').split('\n')) {
      const l = line.replace(/\r$/, '');
      const blank = l.lastIndexOf(' ');
      if (blank <= 0) continue;
      const code = l.slice(blank + 1);
      if (parseCode(code)) users.push({ user: l.slice(0, blank), code: code });
    }
    return users;
  }

  class Guard {
    constructor(data, base) {
      this.data = data;
      this.base = base || '';
      this.kind = data.kind === 'users' ? 'users' : 'password';
      this.needsUserName = this.kind === 'users';
      this.protectedPages = Array.isArray(data.protectedPages) ? data.protectedPages.slice() : [];
      this.key = null;
      this.urls = {};
      this.payloads = {};
      this.waiting = null;
      this.onLocked = null;
      this.onUnlocked = null; // told after every successful unlock (the viewer shows what waited)
      this.onAnswer = null;   // told of the answer that opened the book (the preview keeps it)
    }

    get isUnlocked() { return this.key !== null; }

    isProtected(page) { return this.protectedPages.indexOf(Number(page)) >= 0; }

    // A users.txt replaced on the server counts over http(s); the book's own list otherwise.
    async users() {
      if (this.kind !== 'users') return [{ user: '', code: this.data.password }];
      const own = Array.isArray(this.data.users) ? this.data.users : [];
      if (this.data.usersFile && /^https?:$/.test(global.location.protocol) && global.fetch) {
        try {
          const reply = await fetch(this.base + this.data.usersFile, { cache: 'no-cache' });
          if (reply.ok) {
            const listed = usersFromText(await reply.text());
            if (listed.length) return listed;
          }
        } catch (e) { /* the book's own list */ }
      }
      return own;
    }

    async unlock(user, password) {
      if (password === undefined) { password = user; user = ''; }
      if (this.kind === 'password') user = '';
      const name = String(user || '').normalize('NFC');
      let key = null;
      for (const entry of await this.users()) {
        if (String(entry.user).normalize('NFC') !== name) continue;
        const code = parseCode(entry.code);
        if (code && (key = await openCode(code, name, password))) break;
      }
      if (!key) {
        throw new AccessError('wrong-password', this.kind === 'users' ? 'Wrong user name or password.' : 'Wrong password.');
      }
      this.key = key;
      if (typeof this.onAnswer === 'function') {
        try { this.onAnswer(name, password); } catch (e) { console.warn('Quorvel security: onAnswer failed:', e); }
      }
      if (this.waiting) { this.waiting.resolve(true); this.waiting = null; }
      if (typeof this.onUnlocked === 'function') {
        try { this.onUnlocked(this); } catch (e) { console.warn('Quorvel security: onUnlocked failed:', e); }
      }
      return true;
    }

    lock() {
      this.key = null;
      for (const path of Object.keys(this.urls)) {
        this.urls[path].then(function (url) { URL.revokeObjectURL(url); }, function () {});
      }
      this.urls = {};
      this.payloads = {};
    }

    // Resolves once the book is unlocked, through onLocked (the dialog) when it is set;
    // requests that arrive meanwhile wait for the same answer.
    requestUnlock() {
      if (this.isUnlocked) return Promise.resolve(true);
      if (this.waiting) return this.waiting.promise;
      if (typeof this.onLocked !== 'function') return Promise.reject(new AccessError('locked', 'The book is locked.'));
      const waiting = {};
      waiting.promise = new Promise(function (resolve, reject) { waiting.resolve = resolve; waiting.reject = reject; });
      this.waiting = waiting;
      const self = this;
      Promise.resolve().then(function () { return self.onLocked(self); }).then(function () {
        if (!self.isUnlocked) throw new AccessError('locked', 'The book is locked.');
      }).catch(function (e) {
        if (self.waiting === waiting) {
          self.waiting = null;
          waiting.reject(e instanceof AccessError ? e : new AccessError('locked', 'The book is locked.'));
        }
      });
      return waiting.promise;
    }

    // The decrypted bytes of a payload with its type and name.
    payload(path) {
      const id = payloadId(path);
      if (!id) return Promise.reject(new AccessError('damaged', 'not a payload: ' + path));
      if (!this.isUnlocked) return Promise.reject(new AccessError('locked', 'The book is locked.'));
      if (!this.payloads[path]) {
        const key = this.key;
        this.payloads[path] = loadScript(this.base + path).then(async function () {
          const fields = arrived[id];
          if (!fields || typeof fields.data !== 'string') throw new AccessError('damaged', 'missing payload ' + id);
          const sealed = fromBase64(fields.data, false);
          let bytes;
          try {
            bytes = new Uint8Array(await subtle().decrypt(
              { name: 'AES-GCM', iv: sealed.slice(0, 12), additionalData: encoder.encode(id), tagLength: 128 },
              key, sealed.slice(12)));
          } catch (e) {
            throw new AccessError('damaged', 'payload ' + id + ' does not open');
          }
          return { type: String(fields.type || 'application/octet-stream'), name: fields.name ? String(fields.name) : '', bytes: bytes };
        });
        const self = this;
        this.payloads[path].catch(function () { delete self.payloads[path]; });
      }
      return this.payloads[path];
    }

    objectUrl(path) {
      if (!this.urls[path]) {
        this.urls[path] = this.payload(path).then(function (p) {
          return URL.createObjectURL(new Blob([p.bytes], { type: p.type }));
        });
        const self = this;
        this.urls[path].catch(function () { delete self.urls[path]; });
      }
      return this.urls[path];
    }

    // An address for <img> of a page record marked secure (asks to unlock when needed).
    pageUrl(record, kind) {
      const path = (kind === 'large' && record.large) || (kind === 'thumb' && record.thumb) || record.normal;
      const self = this;
      return this.requestUnlock().then(function () { return self.objectUrl(path); });
    }

    // A download of the book that was encrypted with its page: address and file name.
    fileUrl(path) {
      const self = this;
      return this.requestUnlock().then(function () {
        return Promise.all([self.objectUrl(path), self.payload(path), self.fileName(path)]);
      }).then(function (r) { return { url: r[0], name: r[2] || r[1].name }; });
    }

    // An encrypted JSON object of the book (search texts, file names, annotations); {}
    // while the book is locked or when it has none.
    async sealedObject(path) {
      if (!path || !this.isUnlocked) return {};
      const p = await this.payload(path);
      return JSON.parse(new TextDecoder().decode(p.bytes));
    }

    texts() { return this.sealedObject(this.data.text); }

    // The file name of an encrypted download or attachment ('' while locked): the names
    // are encrypted apart from the files, so a list of them needs none of the files.
    async fileName(path) {
      const names = await this.sealedObject(this.data.names);
      return String(names[payloadId(path)] || '');
    }

    // The annotations (links and media, as the book's XML writes them) of a protected page.
    async pageAnnotations(page) {
      const annotations = await this.sealedObject(this.data.annotations);
      return String(annotations[String(page)] || '');
    }

    async pageText(page) {
      const texts = await this.texts();
      return texts[String(page)] || '';
    }

    // The search list (one text per page) with the protected pages' texts put back.
    async fillSearch(list) {
      const out = Array.isArray(list) ? list.slice() : [];
      const texts = await this.texts();
      for (const page of Object.keys(texts)) {
        const i = parseInt(page, 10) - 1;
        if (i >= 0 && i < out.length) out[i] = texts[page];
      }
      return out;
    }
  }

  async function load(options) {
    options = options || {};
    const base = options.base || '';
    let data = options.data;
    if (!data) {
      await loadScript(base + SECURE_PREFIX + 'book.js');
      data = global.bookSecurity;
    }
    if (!data || (data.kind !== 'password' && data.kind !== 'users')) {
      throw new AccessError('damaged', 'The book has no security data.');
    }
    return new Guard(data, base);
  }

  const DEFAULT_TEXTS = {
    title: 'This book is protected',
    user: 'User name',
    password: 'Password',
    open: 'Open',
    cancel: 'Cancel',
    checking: 'Checking...',
    wrongPassword: 'Wrong password. Please try again.',
    wrongUser: 'Wrong user name or password. Please try again.',
    unsupported: 'This browser cannot open protected books here. Open the book over https or from disk.'
  };

  // A small dialog asking for the password (and the user name for a users list).
  function showPrompt(guard, options) {
    options = options || {};
    const texts = Object.assign({}, DEFAULT_TEXTS, options.texts || {});
    const container = options.container || document.body;
    return new Promise(function (resolve, reject) {
      function el(tag, props) {
        const e = document.createElement(tag);
        Object.assign(e, props || {});
        return e;
      }
      const overlay = el('div', { className: 'qv-secure-overlay' });
      overlay.style.cssText = 'position:fixed;top:0;right:0;bottom:0;left:0;display:flex;align-items:center;justify-content:center;' +
        'background:rgba(0,0,0,.55);z-index:2147483000;font:15px sans-serif';
      const form = el('form', { className: 'qv-secure-dialog' });
      form.style.cssText = 'background:#fff;color:#222;padding:20px 24px;border-radius:8px;min-width:260px;' +
        'display:flex;flex-direction:column;gap:10px;box-shadow:0 8px 30px rgba(0,0,0,.4)';
      const title = el('div', { className: 'qv-secure-title', textContent: texts.title });
      title.style.fontWeight = 'bold';
      form.appendChild(title);
      let userField = null;
      if (guard.needsUserName) {
        userField = el('input', { type: 'text', name: 'user', className: 'qv-secure-user', autocomplete: 'username' });
        userField.setAttribute('aria-label', texts.user);
        userField.placeholder = texts.user;
        form.appendChild(userField);
      }
      const passwordField = el('input', { type: 'password', name: 'password', className: 'qv-secure-password', autocomplete: 'current-password' });
      passwordField.setAttribute('aria-label', texts.password);
      passwordField.placeholder = texts.password;
      form.appendChild(passwordField);
      const message = el('div', { className: 'qv-secure-message' });
      message.setAttribute('role', 'alert');
      message.style.cssText = 'color:#B00020;min-height:1.2em';
      form.appendChild(message);
      const buttons = el('div');
      buttons.style.cssText = 'display:flex;gap:8px;justify-content:flex-end';
      const cancel = el('button', { type: 'button', className: 'qv-secure-cancel', textContent: texts.cancel });
      const open = el('button', { type: 'submit', className: 'qv-secure-open', textContent: texts.open });
      buttons.appendChild(cancel);
      buttons.appendChild(open);
      form.appendChild(buttons);
      overlay.appendChild(form);
      container.appendChild(overlay);
      (userField || passwordField).focus();

      function close() { overlay.remove(); }
      cancel.addEventListener('click', function () {
        close();
        reject(new AccessError('cancelled', 'cancelled'));
      });
      form.addEventListener('keydown', function (e) {
        if (e.key === 'Escape') cancel.click();
      });
      form.addEventListener('submit', function (e) {
        e.preventDefault();
        open.disabled = true;
        message.textContent = texts.checking;
        const attempt = guard.needsUserName ? guard.unlock(userField.value, passwordField.value)
          : guard.unlock(passwordField.value);
        attempt.then(function () {
          close();
          resolve(true);
        }, function (err) {
          open.disabled = false;
          passwordField.value = '';
          passwordField.focus();
          message.textContent = err && err.code === 'unsupported' ? texts.unsupported
            : (guard.needsUserName ? texts.wrongUser : texts.wrongPassword);
        });
      });
    });
  }

  // A protected page's record is marked "secure" and names payloads; the viewer may pass
  // records on without the mark, so the payload path counts as well.
  function isSecureRecord(record) {
    return !!record && (record.secure === true || payloadId(record.normal) !== null);
  }

  function defaultLoader(record, kind) {
    return (kind === 'large' && record.large) || (kind === 'thumb' && record.thumb) || record.normal || null;
  }

  // Makes the viewer decrypt protected pages. Works whether it runs before or after the
  // viewer library has set its own loader (which then serves the unprotected pages).
  function install(options) {
    options = options || {};
    const Q = options.quorvel || (global.Quorvel = global.Quorvel || {});
    const previous = typeof Q.pageLoader === 'function' ? Q.pageLoader : defaultLoader;
    const ready = load(options).then(function (guard) {
      if (options.prompt) {
        guard.onLocked = function () { return showPrompt(guard, options); };
      }
      return guard;
    });
    Q.security = ready;
    Q.pageLoader = function (record, kind, page) {
      if (!isSecureRecord(record)) return previous(record, kind, page);
      return ready.then(function (guard) { return guard.pageUrl(record, kind, page); });
    };
    return ready;
  }

  global.QuorvelSecurity = {
    AccessError: AccessError,
    load: load,
    install: install,
    showPrompt: showPrompt,
    isPayloadPath: function (path) { return payloadId(path) !== null; },
    isSecureRecord: isSecureRecord,
    parseCode: parseCode
  };
})(this);
