// Pictures for the page's tests, written here so that no binary fixture
// hides what they hold: PNG files made with Node's zlib.
import zlib from 'node:zlib';

const CrcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function crc32(bytes) {
  let c = 0xffffffff;
  for (const b of bytes) c = CrcTable[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function chunk(type, data) {
  const body = Buffer.concat([Buffer.from(type, 'latin1'), data]);
  const length = Buffer.alloc(4);
  length.writeUInt32BE(data.length);
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(body));
  return Buffer.concat([length, body, crc]);
}

const ColourTypes = { 1: 0, 2: 4, 3: 2, 4: 6 }; // by channels: grey, grey and alpha, RGB, RGBA

// PNG's row filters, by type: the byte's prediction from the one to its left,
// the one above, and the one above that.
const Predictors = [
  () => 0,
  (left) => left,
  (left, up) => up,
  (left, up) => (left + up) >> 1,
  (left, up, upLeft) => {
    const p = left + up - upLeft;
    const [a, b, c] = [Math.abs(p - left), Math.abs(p - up), Math.abs(p - upLeft)];
    return a <= b && a <= c ? left : b <= c ? up : upLeft;
  },
];

// A PNG of pixel(x, y) -> [sample, ...] for 1 to 4 channels (grey, grey and
// alpha, RGB, RGBA) of 8 or 16 bits. With filtered, row y uses filter y % 5,
// so that a reader meets every one.
export function png(width, height, channels, pixel, { depth = 8, filtered = false } = {}) {
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header[8] = depth;
  header[9] = ColourTypes[channels];
  const stride = width * channels * (depth / 8);
  const step = channels * (depth / 8);
  const rows = Buffer.alloc(height * (1 + stride));
  let previous = Buffer.alloc(stride);
  for (let y = 0; y < height; y++) {
    const raw = Buffer.alloc(stride);
    let at = 0;
    for (let x = 0; x < width; x++) {
      for (const value of pixel(x, y)) {
        if (depth === 16) raw.writeUInt16BE(value, (at += 2) - 2);
        else raw[at++] = value;
      }
    }
    const filter = filtered ? y % 5 : 0;
    const row = rows.subarray(y * (1 + stride), (y + 1) * (1 + stride));
    row[0] = filter;
    for (let i = 0; i < stride; i++) {
      const left = i >= step ? raw[i - step] : 0;
      const upLeft = i >= step ? previous[i - step] : 0;
      row[1 + i] = (raw[i] - Predictors[filter](left, previous[i], upLeft)) & 255;
    }
    previous = raw;
  }
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]), chunk('IHDR', header),
    chunk('IDAT', zlib.deflateSync(rows)), chunk('IEND', Buffer.alloc(0))]);
}

// A scene with smooth ramps and hard edges, so every glyph and blend shows.
export function scene(x, y) {
  const ring = Math.hypot(x - 150, y - 100) < 60;
  return [(x * 5 + y) & 255, ring ? 230 : (y * 3) & 255, (x ^ y) & 255];
}

// A 32-bit bitmap (V4 header, bit fields with an alpha mask), bottom-up, of
// pixel(x, y) -> [r, g, b, a].
export function bitmap32(width, height, pixel) {
  const offset = 14 + 108;
  const file = Buffer.alloc(offset + width * height * 4);
  file.write('BM', 0, 'latin1');
  file.writeUInt32LE(file.length, 2);
  file.writeUInt32LE(offset, 10);
  file.writeUInt32LE(108, 14);
  file.writeInt32LE(width, 18);
  file.writeInt32LE(height, 22);
  file.writeUInt16LE(1, 26);
  file.writeUInt16LE(32, 28);
  file.writeUInt32LE(3, 30); // bit fields
  file.writeUInt32LE(width * height * 4, 34);
  [0x00ff0000, 0x0000ff00, 0x000000ff, 0xff000000].forEach((mask, i) => file.writeUInt32LE(mask, 54 + 4 * i));
  let at = offset;
  for (let y = height - 1; y >= 0; y--) {
    for (let x = 0; x < width; x++) {
      const [r, g, b, a] = pixel(x, y);
      file.writeUInt32LE(((a << 24) | (r << 16) | (g << 8) | b) >>> 0, at);
      at += 4;
    }
  }
  return file;
}
