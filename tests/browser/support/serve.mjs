// A book folder served over http on 127.0.0.1, as a web server would serve a published
// book (the SWF player needs http: browsers refuse its WebAssembly from file://).
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';
import assert from 'node:assert/strict';

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.png': 'image/png', '.jpg': 'image/jpeg', '.swf': 'application/x-shockwave-flash', '.txt': 'text/plain' };

// Serves dir; requests whose path matches options.hold (a pattern, or a list of them)
// wait until release() is called, or release(pattern) for that pattern's requests.
// Resolves to { base, release, close, requests }: requests holds the path of every request
// the server got, relative to dir ("files/config.js"), in the order asked, whatever the
// browser.
export async function serveFolder(dir, options = {}) {
  const holds = [].concat(options.hold || []).map((pattern) => {
    const hold = { pattern };
    hold.released = new Promise((resolve) => { hold.release = resolve; });
    return hold;
  });
  const release = (pattern) => holds.filter((h) => !pattern || h.pattern === pattern).forEach((h) => h.release());
  const requests = [];
  const server = http.createServer(async (req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    requests.push(name.slice(1));
    for (const hold of holds) if (hold.pattern.test(name)) await hold.released;
    const file = path.join(dir, name);
    if (!file.startsWith(dir) || !fs.existsSync(file) || !fs.statSync(file).isFile()) { res.writeHead(404); res.end(); return; }
    res.writeHead(200, { 'content-type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { base: `http://127.0.0.1:${server.address().port}/`, release, requests, close: () => { release(); server.close(); } };
}

// The colour of one pixel on screen (a 1 by 1 PNG's only pixel needs no unfiltering).
export async function pixel(page, x, y) {
  const png = await page.screenshot({ clip: { x: Math.round(x), y: Math.round(y), width: 1, height: 1 } });
  const chunks = [];
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at);
    if (png.toString('latin1', at + 4, at + 8) === 'IDAT') chunks.push(png.subarray(at + 8, at + 8 + length));
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(chunks));
  return [raw[1], raw[2], raw[3]];
}

const isNear = (actual, expected) => actual.every((v, i) => Math.abs(v - expected[i]) <= 24);

export function near(actual, expected, what) {
  assert.ok(isNear(actual, expected), `${what}: ${actual} is not ${expected}`);
}

// Waits until the pixel at the middle of selector's element shows the colour (a movie
// draws its first frame some time after it reports that it plays).
export async function waitForColour(page, selector, expected, what, timeout = 15000) {
  const end = Date.now() + timeout;
  for (;;) {
    const seen = await pixel(page, ...(await centre(page, selector)));
    if (isNear(seen, expected)) return;
    if (Date.now() > end) throw new Error(`${what}: ${seen} is not ${expected} after ${timeout} ms`);
    await new Promise((r) => setTimeout(r, 50));
  }
}

export async function centre(page, selector) {
  const box = await page.locator(selector).first().boundingBox();
  return [box.x + box.width / 2, box.y + box.height / 2];
}
