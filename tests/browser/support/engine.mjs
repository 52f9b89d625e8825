// One small driver for the viewer tests that run in every browser engine: Chromium
// (playwright-core), Firefox ESR (puppeteer-core over WebDriver BiDi) and WebKitGTK
// (selenium-webdriver against a WebKitWebDriver started here, driving MiniBrowser).
// Nothing is downloaded: each engine is the Debian package's binary, and a missing one
// fails the test. The engine is QUORVEL_ENGINE (chromium, firefox or webkit; default
// chromium); ctest runs such a test once per engine (browser.<test>.<engine>).
//
//   const browser = await launchEngine({ phone })   // the engine of this run
//     (sound: 'gesture' plays sound only after the reader's first click or key, by the
//     engine's own autoplay rule, where by default every page may play sound at once;
//     soundOutput: false starts no sound server, as on a machine without sound)
//   const page = await browser.newPage()            // one page at a time
//   await page.goto(url)
//   await page.evaluate(fn, arg)      // runs fn(arg) in the page; JSON-like values, promises awaited
//   await page.waitFor(fn, arg, ms)   // polls fn(arg) (in the page) until it gives a true value
//   await page.click(selector)        // a real click in the middle of the element
//   await page.fill(selector, text)   // replaces the text of an input field
//   await page.press(key)             // 'Enter', 'Escape', 'ArrowLeft', 'End'... to what has focus
//   await page.drag(selector, fromX, toX, { touch })  // a horizontal swipe across the element
//                                     // (with a finger where browser.touch says the engine can)
//   await page.clickAt(x, y)          // a click at a point of the viewport
//   await page.screenshot()           // PNG bytes of the viewport
//   await page.problems()             // script errors and console errors seen so far
//   expectErrors(/pattern/)           // errors the running test expects (others fail it)
//   await page.close(); await browser.close()
// plus text, attribute, count, visible and disabled of the first element a selector finds.
//
// WebDriver gives no console events for WebKit, so there problems() reads the recorder
// that books under test carry in their extra script (RECORDER below); a page without
// it fails the test rather than report no problems. Narrated books get sound through a
// PulseAudio server with a null sink that the driver starts for Firefox and WebKit.
import { afterEach } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';

export const ENGINE = process.env.QUORVEL_ENGINE || 'chromium';
export const ENGINES = ['chromium', 'firefox', 'webkit'];

const BINARIES = {
  chromium: process.env.CHROMIUM || '/usr/bin/chromium',
  firefox: process.env.FIREFOX || '/usr/bin/firefox-esr',
  webkitDriver: process.env.WEBKIT_DRIVER || '/usr/bin/WebKitWebDriver',
  webkit: process.env.WEBKIT_BROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser'
};

export const PHONE_AGENT = 'Mozilla/5.0 (Linux; Android 13; Pixel 7) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0 Mobile Safari/537.36';
const SIZES = { desktop: { width: 1280, height: 800 }, phone: { width: 390, height: 780 } };
const TIMEOUT = 15000;

// The extra script of a book under test: records uncaught errors, refused promises,
// pictures and scripts that do not load, and console.error calls in window.qvProblems.
export const RECORDER = `<script>(function () {
  var list = window.qvProblems = [];
  window.addEventListener('error', function (e) {
    var t = e.target;
    list.push(t && t !== window && (t.src || t.href) ? 'cannot load ' + (t.src || t.href) : String(e.message || e.error));
  }, true);
  window.addEventListener('unhandledrejection', function (e) { list.push('unhandled: ' + String(e.reason)); });
  var error = console.error;
  console.error = function () { list.push([].map.call(arguments, String).join(' ')); return error.apply(console, arguments); };
})();</script>`;

function need(file, what) {
  if (!fs.existsSync(file)) throw new Error(`${what} is missing: ${file} (scripts/setup.sh installs it)`);
  return file;
}

// fn(arg) in the page, its value sent as JSON text so that every engine gives the same
// (undefined stays undefined, as does a property whose value is undefined).
function wrapped(fn) {
  return `(async (arg) => { const v = await (${fn})(arg); return v === undefined ? '' : JSON.stringify(v); })`;
}
const unwrap = (r) => (r === '' || r === undefined || r === null ? undefined : JSON.parse(r));

// What every engine shares: waits, element queries and the recorder, over evaluate.
class Page {
  waitFor(fn, arg, timeout = TIMEOUT) {
    const truth = `async (arg) => !!(await (${fn})(arg))`;
    return this.poll(() => this.evaluate(truth, arg), String(fn), timeout);
  }
  // Calls check (in node) every 50 ms until it gives a true value, which it returns.
  async poll(check, what, timeout = TIMEOUT) {
    const end = Date.now() + timeout;
    let last;
    for (;;) {
      try {
        last = await check();
        if (last) return last;
      } catch (e) {
        last = e; // the page may be between two documents
      }
      if (Date.now() > end) throw new Error(`waited ${timeout} ms for ${what.slice(0, 200)} (last: ${last})`);
      await new Promise((r) => setTimeout(r, 50));
    }
  }
  box(selector) {
    return this.evaluate((s) => {
      const el = document.querySelector(s);
      if (!el) return null;
      const r = el.getBoundingClientRect();
      return { x: r.x, y: r.y, width: r.width, height: r.height };
    }, selector);
  }
  // The element's box once a reader could click it: shown, enabled, its middle within the
  // window and not covered by anything else (an ancestor that clips it, as a panel still
  // sliding open does, covers it too), and nothing on it or around it animating. The box
  // alone cannot tell: a panel that opens by growing its width clips a link whose box
  // never moves, and an engine that paints seldom shows the same box twice mid-slide.
  async waitForBox(selector) {
    let last = '';
    return this.poll(async () => {
      const box = await this.evaluate((s) => {
        const el = document.querySelector(s);
        if (!el || el.disabled || getComputedStyle(el).visibility === 'hidden') return null;
        const r = el.getBoundingClientRect();
        const x = r.x + r.width / 2, y = r.y + r.height / 2;
        if (!(r.width > 0 && r.height > 0 && x >= 0 && y >= 0 && x < innerWidth && y < innerHeight)) return null;
        const hit = document.elementFromPoint(x, y);
        if (!hit || !(hit === el || el.contains(hit))) return null;
        for (let node = el; node; node = node.parentElement) {
          if (node.getAnimations().some((a) => a.playState === 'running' && a.effect?.getTiming().iterations !== Infinity)) return null;
        }
        return { x: r.x, y: r.y, width: r.width, height: r.height };
      }, selector);
      const seen = JSON.stringify(box);
      const still = box && seen === last;
      last = seen;
      return still ? box : null;
    }, `${selector} to be shown, uncovered and still`);
  }
  // Waits until what has the keyboard (the page itself when nothing has) is shown and
  // nothing around it animates, as before a reader's key press.
  waitForKeyTarget() {
    return this.poll(() => this.evaluate(() => {
      const el = document.activeElement;
      if (!el || el === document.body || el === document.documentElement) return true;
      for (let node = el; node; node = node.parentElement) {
        if (node.getAnimations().some((a) => a.playState === 'running' && a.effect?.getTiming().iterations !== Infinity)) return false;
      }
      return el.getClientRects().length > 0;
    }), 'the focused element to be shown and still');
  }
  text(selector) { return this.evaluate((s) => document.querySelector(s)?.textContent ?? null, selector); }
  attribute(selector, name) { return this.evaluate(([s, n]) => document.querySelector(s)?.getAttribute(n) ?? null, [selector, name]); }
  count(selector) { return this.evaluate((s) => document.querySelectorAll(s).length, selector); }
  disabled(selector) { return this.evaluate((s) => !!document.querySelector(s)?.disabled, selector); }
  visible(selector) {
    return this.evaluate((s) => {
      const el = document.querySelector(s);
      if (!el) return false;
      const r = el.getBoundingClientRect();
      return r.width > 0 && r.height > 0 && getComputedStyle(el).visibility !== 'hidden';
    }, selector);
  }
  url() { return this.evaluate(() => location.href); }
  title() { return this.evaluate(() => document.title); }
  recorded() {
    return this.evaluate(() => (Array.isArray(window.qvProblems) ? window.qvProblems.slice() : null));
  }
  sleep(ms) { return new Promise((r) => setTimeout(r, ms)); }
}

// Chromium through playwright-core.
class ChromiumPage extends Page {
  constructor(page) {
    super();
    this.page = page;
    this.seen = [];
    page.on('console', (m) => { if (m.type() === 'error') this.seen.push(m.text()); });
    page.on('pageerror', (e) => this.seen.push(String(e)));
  }
  goto(url) { return this.page.goto(url); }
  reload() { return this.page.reload(); }
  async evaluate(fn, arg) { return unwrap(await this.page.evaluate(wrapped(fn) + '(' + JSON.stringify(arg ?? null) + ')')); }
  async click(selector) { await this.waitForBox(selector); await this.page.click(selector); }
  async fill(selector, text) { await this.waitForBox(selector); await this.page.fill(selector, text); }
  async press(key) { await this.waitForKeyTarget(); await this.page.keyboard.press(key); }
  async clickAt(x, y) { await this.page.mouse.click(x, y); }
  async drag(selector, fromX, toX, { touch = false, steps = 8 } = {}) {
    const box = await this.waitForBox(selector);
    const y = Math.round(box.y + box.height / 2);
    const at = (i) => Math.round(box.x + fromX + ((toX - fromX) * i) / steps);
    if (!touch) {
      await this.page.mouse.move(at(0), y);
      await this.page.mouse.down();
      for (let i = 1; i <= steps; i++) await this.page.mouse.move(at(i), y);
      await this.page.mouse.up();
      return;
    }
    const cdp = await this.page.context().newCDPSession(this.page);
    const point = (i) => [{ x: at(i), y }];
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: point(0) });
    for (let i = 1; i <= steps; i++) await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: point(i) });
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    await cdp.detach();
  }
  screenshot() { return this.page.screenshot(); }
  async problems() { return this.seen.slice(); }
  close() { return this.page.close(); }
}

// Firefox through puppeteer-core (WebDriver BiDi).
class FirefoxPage extends Page {
  constructor(page) {
    super();
    this.page = page;
    this.seen = [];
    page.on('console', (m) => { if (m.type() === 'error') this.seen.push(m.text()); });
    page.on('pageerror', (e) => this.seen.push(String(e)));
  }
  goto(url) { return this.page.goto(url, { waitUntil: 'load' }); }
  reload() { return this.page.reload({ waitUntil: 'load' }); }
  async evaluate(fn, arg) { return unwrap(await this.page.evaluate(wrapped(fn) + '(' + JSON.stringify(arg ?? null) + ')')); }
  async click(selector) { await this.waitForBox(selector); await this.page.click(selector); }
  async fill(selector, text) {
    await this.waitForBox(selector);
    await this.page.$eval(selector, (el) => { el.focus(); el.value = ''; });
    await this.page.type(selector, text);
  }
  async press(key) { await this.waitForKeyTarget(); await this.page.keyboard.press(key); }
  clickAt(x, y) { return this.page.mouse.click(x, y); }
  async drag(selector, fromX, toX, { touch = false, steps = 8 } = {}) {
    const box = await this.waitForBox(selector);
    const y = Math.round(box.y + box.height / 2);
    const at = (i) => Math.round(box.x + fromX + ((toX - fromX) * i) / steps);
    if (touch) {
      const finger = await this.page.touchscreen.touchStart(at(0), y);
      for (let i = 1; i <= steps; i++) await finger.move(at(i), y);
      await finger.end();
      return;
    }
    await this.page.mouse.move(at(0), y);
    await this.page.mouse.down();
    for (let i = 1; i <= steps; i++) await this.page.mouse.move(at(i), y);
    await this.page.mouse.up();
  }
  async screenshot() { return Buffer.from(await this.page.screenshot()); }
  async problems() { return this.seen.slice(); }
  close() { return this.page.close(); }
}

// WebKitGTK through selenium-webdriver: one window, handed from page to page.
class WebKitPage extends Page {
  constructor(session, modules) {
    super();
    this.driver = session;
    this.m = modules;
  }
  goto(url) { return this.driver.get(url); }
  reload() { return this.driver.navigate().refresh(); }
  async evaluate(fn, arg) {
    const result = await this.driver.executeAsyncScript(`const done = arguments[arguments.length - 1];
      ${wrapped(fn)}(arguments[0]).then(done, (e) => done({ thrown: String(e && e.stack || e) }));`, arg ?? null);
    if (result && typeof result === 'object') throw new Error(result.thrown);
    return unwrap(result);
  }
  async click(selector) {
    await this.waitForBox(selector);
    await this.driver.findElement(this.m.By.css(selector)).click();
  }
  async fill(selector, text) {
    await this.waitForBox(selector);
    const field = await this.driver.findElement(this.m.By.css(selector));
    await field.clear();
    await field.sendKeys(text);
  }
  async press(key) {
    await this.waitForKeyTarget();
    const { Key } = this.m;
    const keys = { Enter: Key.ENTER, Escape: Key.ESCAPE, ArrowLeft: Key.ARROW_LEFT, ArrowRight: Key.ARROW_RIGHT,
      ArrowUp: Key.ARROW_UP, ArrowDown: Key.ARROW_DOWN, Home: Key.HOME, End: Key.END, PageUp: Key.PAGE_UP,
      PageDown: Key.PAGE_DOWN, Tab: Key.TAB, Space: Key.SPACE };
    return this.driver.actions().sendKeys(keys[key] ?? key).perform();
  }
  async clickAt(x, y) {
    await this.driver.actions().move({ x: Math.round(x), y: Math.round(y), origin: this.m.Origin.VIEWPORT }).click().perform();
  }
  async drag(selector, fromX, toX, { touch = false, steps = 8 } = {}) {
    if (touch) throw new Error('WebKitGTK takes no touch input through WebDriver (see browser.touch)');
    const box = await this.waitForBox(selector);
    const y = Math.round(box.y + box.height / 2);
    const at = (i) => Math.round(box.x + fromX + ((toX - fromX) * i) / steps);
    const { Pointer, Origin } = this.m;
    const device = new Pointer('default mouse', Pointer.Type.MOUSE);
    const moves = [];
    for (let i = 1; i <= steps; i++) moves.push(device.move({ x: at(i), y, origin: Origin.VIEWPORT, duration: 16 }));
    const actions = this.driver.actions();
    actions.insert(device, device.move({ x: at(0), y, origin: Origin.VIEWPORT, duration: 0 }), device.press(), ...moves,
      device.release());
    await actions.perform();
  }
  async screenshot() { return Buffer.from(await this.driver.takeScreenshot(), 'base64'); }
  async problems() {
    const recorded = await this.recorded();
    if (!recorded) throw new Error('the page carries no error recorder (RECORDER in its extra script)');
    return recorded;
  }
  async close() { await this.driver.get('about:blank'); }
}

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.on('error', reject);
    server.listen(0, '127.0.0.1', () => { const { port } = server.address(); server.close(() => resolve(port)); });
  });
}

async function until(what, test, timeout = 20000) {
  const end = Date.now() + timeout;
  for (;;) {
    if (await test()) return;
    if (Date.now() > end) throw new Error(`${what} did not start within ${timeout} ms`);
    await new Promise((r) => setTimeout(r, 100));
  }
}

// A PulseAudio server of this run with a null sink, so a browser has somewhere to play
// sound to (a machine without a sound card, as root). Returns { server, stop }.
async function startSound(folder) {
  const runtime = path.join(folder, 'pulse');
  fs.mkdirSync(runtime, { recursive: true });
  const env = { ...process.env, HOME: folder, XDG_RUNTIME_DIR: folder, PULSE_RUNTIME_PATH: runtime, XDG_CONFIG_HOME: folder };
  const daemon = spawn('pulseaudio', ['--daemonize=no', '-n', '--exit-idle-time=-1', '--use-pid-file=no',
    '--load=module-native-protocol-unix', '--load=module-null-sink sink_name=quiet', '--load=module-always-sink',
    '--log-level=error'], { env, stdio: 'ignore' });
  let failed = null;
  daemon.on('error', (e) => { failed = e; });
  const socket = path.join(runtime, 'native');
  await until('PulseAudio', () => { if (failed) throw new Error(`PulseAudio cannot start: ${failed.message}`); return fs.existsSync(socket); });
  return { server: 'unix:' + socket, stop: () => daemon.kill() };
}

// No sound server: the address names a socket nobody listens on.
function noSound(folder) {
  return { server: 'unix:' + path.join(folder, 'no-sound-server'), stop() {} };
}

async function launchChromium(phone, profile, sound) {
  const { chromium } = await import('playwright-core');
  const options = phone
    ? { viewport: SIZES.phone, userAgent: PHONE_AGENT, isMobile: true, hasTouch: true, deviceScaleFactor: 1 }
    : { viewport: SIZES.desktop };
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: need(BINARIES.chromium, 'Chromium'), headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync',
      sound.gesture ? '--autoplay-policy=document-user-activation-required' : '--autoplay-policy=no-user-gesture-required'],
    ...options
  });
  context.setDefaultTimeout(TIMEOUT);
  return {
    context,
    async newPage() { return new ChromiumPage(await context.newPage()); },
    close: () => context.close()
  };
}

async function launchFirefox(phone, profile, { gesture, output }) {
  const puppeteer = (await import('puppeteer-core')).default;
  const sound = output ? await startSound(profile) : noSound(profile);
  // Firefox's own rule blocks audible sound until the page has had the reader's activation.
  const prefs = { 'media.autoplay.default': gesture ? 1 : 0, 'media.autoplay.blocking_policy': 0, 'browser.shell.checkDefaultBrowser': false };
  if (phone) prefs['general.useragent.override'] = PHONE_AGENT;
  let browser;
  try {
    browser = await puppeteer.launch({
      browser: 'firefox', executablePath: need(BINARIES.firefox, 'Firefox ESR'), headless: true,
      userDataDir: path.join(profile, 'firefox'), extraPrefsFirefox: prefs,
      env: { ...process.env, PULSE_SERVER: sound.server }, protocolTimeout: 60000
    });
  } catch (e) {
    sound.stop();
    throw e;
  }
  const size = phone ? SIZES.phone : SIZES.desktop;
  return {
    async newPage() {
      const page = await browser.newPage();
      page.setDefaultTimeout(TIMEOUT);
      await page.setViewport({ ...size, hasTouch: phone });
      return new FirefoxPage(page);
    },
    async close() { await browser.close(); sound.stop(); }
  };
}

async function launchWebKit(phone, profile, { gesture, output }) {
  const selenium = await import('selenium-webdriver');
  const { Pointer, Origin } = await import('selenium-webdriver/lib/input.js');
  if (!process.env.DISPLAY) throw new Error('WebKit needs a display: run the tests under xvfb-run (scripts/test.sh does)');
  need(BINARIES.webkit, 'MiniBrowser (webkit2gtk-driver)');
  const sound = output ? await startSound(profile) : noSound(profile);
  const port = await freePort();
  const server = spawn(need(BINARIES.webkitDriver, 'WebKitWebDriver (webkit2gtk-driver)'), [`--port=${port}`, '--host=127.0.0.1'],
    // Without the DMA-BUF renderer, which under Xvfb draws a frame twice a second at most
    // (animation frames, transitions and everything waiting for them would crawl).
    { env: { ...process.env, WEBKIT_DISABLE_DMABUF_RENDERER: '1', PULSE_SERVER: sound.server, HOME: profile, XDG_CACHE_HOME: path.join(profile, 'cache'),
      XDG_DATA_HOME: path.join(profile, 'data') }, stdio: 'ignore' });
  const stopAll = () => { server.kill(); sound.stop(); };
  let session;
  try {
    await until('WebKitWebDriver', () => new Promise((resolve) => {
      const socket = net.connect(port, '127.0.0.1', () => { socket.end(); resolve(true); });
      socket.on('error', () => resolve(false));
    }));
    const args = ['--automation', ...(gesture ? ['--autoplay-policy=allow-without-sound', '--media-playback-requires-user-gesture=true']
      : ['--autoplay-policy=allow', '--media-playback-requires-user-gesture=false'])];
    if (phone) args.push(`--user-agent=${PHONE_AGENT}`);
    const capabilities = { browserName: 'MiniBrowser', 'webkitgtk:browserOptions': { binary: BINARIES.webkit, args } };
    session = await new selenium.Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities(capabilities).build();
    await session.manage().setTimeouts({ script: 60000, pageLoad: 60000 });
    const want = phone ? SIZES.phone : SIZES.desktop;
    await session.manage().window().setRect(want);
    // The window's frame takes its share: grow it until the page has the size wanted.
    const inner = await session.executeScript('return [innerWidth, innerHeight]');
    if (inner[0] !== want.width || inner[1] !== want.height) {
      await session.manage().window().setRect({ width: 2 * want.width - inner[0], height: 2 * want.height - inner[1] });
    }
  } catch (e) {
    if (session) await session.quit().catch(() => {});
    stopAll();
    throw e;
  }
  const modules = { By: selenium.By, Key: selenium.Key, Pointer, Origin };
  let open = null;
  return {
    async newPage() {
      if (open) throw new Error('the WebKit driver shows one page at a time: close the other first');
      open = new WebKitPage(session, modules);
      const close = open.close.bind(open);
      open.close = async () => { await close(); open = null; };
      return open;
    },
    async close() { await session.quit().catch(() => {}); stopAll(); }
  };
}

// Every error a page of these browsers reports (problems()) fails the test it comes in,
// unless the test said it expects it: read when the page closes and after each test.
const openPages = new Set();
let unexpected = [];
let expected = [];

export function expectErrors(...patterns) {
  expected.push(...patterns);
}

async function collect(page) {
  const seen = await page.problems().catch(() => []); // a WebKit page without the recorder
  for (const text of seen.slice(page.reported || 0)) if (!expected.some((p) => p.test(text))) unexpected.push(text);
  page.reported = seen.length;
}

afterEach(async () => {
  for (const page of openPages) await collect(page);
  const found = unexpected;
  unexpected = [];
  expected = [];
  assert.deepEqual(found, [], 'errors in the browser');
});

function watched(page, owner) {
  page.owner = owner;
  openPages.add(page);
  const close = page.close.bind(page);
  page.close = async () => { await collect(page); openPages.delete(page); return close(); };
  return page;
}

// Starts the engine of this run (or the one named) with a fresh profile of its own;
// { phone: true } gives a phone's screen size and user agent.
export async function launchEngine({ phone = false, engine = ENGINE, sound = 'always', soundOutput = true } = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), `qv-${engine}-`));
  const launcher = { chromium: launchChromium, firefox: launchFirefox, webkit: launchWebKit }[engine];
  if (!launcher) throw new Error(`no such engine: ${engine} (one of ${ENGINES.join(', ')})`);
  let browser;
  try {
    browser = await launcher(phone, profile, { gesture: sound === 'gesture', output: soundOutput });
  } catch (e) {
    fs.rmSync(profile, { recursive: true, force: true });
    throw e;
  }
  return {
    engine,
    // Whether drag() can swipe with a finger (WebKitGTK's WebDriver has no touch input).
    touch: engine !== 'webkit',
    ...browser,
    async newPage() { return watched(await browser.newPage(), browser); },
    async close() {
      for (const page of [...openPages].filter((p) => p.owner === browser)) { await collect(page); openPages.delete(page); }
      await browser.close();
      fs.rmSync(profile, { recursive: true, force: true });
    }
  };
}

// Opens a book's page and waits until the viewer stands and shows its first pages.
export async function openBook(page, url) {
  await page.goto(url);
  await page.waitFor(() => window.Quorvel && window.Quorvel.reader && !document.querySelector('.qv-preloader'));
}

export function waitForPages(page, expected) {
  return page.waitFor((want) => JSON.stringify(window.Quorvel.reader.pages) === want, JSON.stringify(expected));
}
