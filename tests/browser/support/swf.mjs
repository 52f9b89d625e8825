// Small SWF movies for the tests: one frame holding a filled rectangle of one colour.
// Written bit by bit as the format lays them out (uncompressed "FWS", version 10).

class Bits {
  constructor() { this.bytes = []; this.acc = 0; this.count = 0; }
  put(value, n) {
    for (let i = n - 1; i >= 0; i--) {
      this.acc = (this.acc << 1) | ((value >>> i) & 1);
      if (++this.count === 8) { this.bytes.push(this.acc); this.acc = 0; this.count = 0; }
    }
  }
  signed(value, n) { this.put(value < 0 ? (1 << n) + value : value, n); }
  align() { if (this.count) this.put(0, 8 - this.count); return this.bytes; }
}

function signedBits(...values) {
  let n = 2;
  for (const v of values) {
    const need = Math.abs(v).toString(2).length + 1;
    if (need > n) n = need;
  }
  return n;
}

function rect(bits, w, h) {
  const n = signedBits(w, h);
  bits.put(n, 5);
  for (const v of [0, w, 0, h]) bits.signed(v, n);
}

function tag(code, body) {
  if (body.length < 63) return [(code << 6 | body.length) & 255, code >> 2, ...body];
  const n = body.length;
  return [(code << 6 | 63) & 255, code >> 2, n & 255, n >> 8 & 255, n >> 16 & 255, n >>> 24, ...body];
}

// A movie of width by height pixels whose whole stage is a rectangle of colour
// ("#RRGGBB"), on a transparent stage.
export function rectangleSwf(color, width = 100, height = 100) {
  const rgb = [1, 3, 5].map((i) => parseInt(color.slice(i, i + 2), 16));
  const w = width * 20, h = height * 20; // twips
  const head = new Bits(); rect(head, w, h);
  const shape = new Bits(); rect(shape, w, h);
  const bounds = shape.align().slice();
  const records = new Bits();
  records.put(1, 4); records.put(0, 4); // fill and line index bits
  // Style change: move to (0, 0) and take fill style 1 on the right of the edges.
  records.put(0b000101, 6);
  records.put(2, 5); records.signed(0, 2); records.signed(0, 2);
  records.put(1, 1);
  for (const [dx, dy] of [[w, 0], [0, h], [-w, 0], [0, -h]]) {
    const n = signedBits(dx, dy);
    records.put(1, 1); records.put(1, 1); records.put(n - 2, 4); records.put(1, 1);
    records.signed(dx, n); records.signed(dy, n);
  }
  records.put(0, 6); // end of shape
  const defineShape = [1, 0, ...bounds, 1, 0x00, ...rgb, 0, ...records.align()];
  const body = [
    ...head.align(), 0, 24, 1, 0, // frame rate 24, one frame
    ...tag(2, defineShape),
    ...tag(26, [0x02, 1, 0, 1, 0]), // place shape 1 at depth 1
    ...tag(1, []), ...tag(0, [])
  ];
  const length = 8 + body.length;
  return Buffer.from([0x46, 0x57, 0x53, 10, length & 255, length >> 8 & 255, length >> 16 & 255, length >>> 24, ...body]);
}
