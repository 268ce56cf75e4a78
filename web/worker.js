// The worker around the engine: it holds the one picture and converts it
// whenever the page asks, so the page never freezes. Messages in, one at a
// time, each answered before the next is sent:
//   {type: 'check', id, values}        which remembered values cannot be read
//   {type: 'file', id, bytes, words, name}   hold this picture and convert it
//   {type: 'convert', id, words, name}       convert the picture held
//   {type: 'compose', id, template, fields, words, pictures}   compose a
//       template; pictures lists the pictures it may name, {name, key}, with
//       the bytes of those the worker does not hold yet
// Messages out: {type: 'options', options, pageOptions} once, then
// {type: 'checked', id, errors}, {type: 'art', id, result} or {type: 'page',
// id, result} per message, with the id it answers; the first art of a
// picture brings its thumbnail along.
'use strict';

const engineReady = EzeduduEngine().then((engine) => {
  postMessage({ type: 'options', options: engine.optionTable(), pageOptions: engine.pageOptionTable() });
  return engine;
});

// The longest side of the picture shown beside the art, in pixels.
const ThumbnailSide = 1024;

let file = null; // the bytes of the picture last sent
let held = false; // whether the engine holds it
let shownYet = false; // whether the page was sent its thumbnail
const templatePictures = new Map(); // name -> key: the pictures templates may name

// A picture's width and height from the first bytes of its file (PNG, GIF,
// JPEG, WebP), or null: known before anything is decoded.
function headerSize(bytes) {
  const data = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const text = (at, length) => String.fromCharCode(...bytes.subarray(at, at + length));
  if (bytes.length >= 24 && text(1, 3) === 'PNG' && text(12, 4) === 'IHDR')
    return { width: data.getUint32(16), height: data.getUint32(20) };
  if (bytes.length >= 10 && text(0, 3) === 'GIF')
    return { width: data.getUint16(6, true), height: data.getUint16(8, true) };
  if (bytes.length >= 30 && text(0, 4) === 'RIFF' && text(8, 4) === 'WEBP') {
    const kind = text(12, 4);
    const threeBytes = (at) => bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16);
    if (kind === 'VP8X') return { width: 1 + threeBytes(24), height: 1 + threeBytes(27) };
    if (kind === 'VP8L') {
      const bits = data.getUint32(21, true);
      return { width: 1 + (bits & 0x3fff), height: 1 + ((bits >>> 14) & 0x3fff) };
    }
    if (kind === 'VP8 ') return { width: data.getUint16(26, true) & 0x3fff, height: data.getUint16(28, true) & 0x3fff };
  }
  if (bytes.length >= 4 && bytes[0] === 0xff && bytes[1] === 0xd8) {
    // JPEG: walk the segments to the first start of frame.
    for (let at = 2; at + 9 < bytes.length;) {
      if (bytes[at] !== 0xff) return null;
      const marker = bytes[at + 1];
      if (marker === 0xff) { at += 1; continue; }
      const isFrame = marker >= 0xc0 && marker <= 0xcf && marker !== 0xc4 && marker !== 0xc8 && marker !== 0xcc;
      if (isFrame) return { width: data.getUint16(at + 7), height: data.getUint16(at + 5) };
      at += 2 + data.getUint16(at + 2);
    }
  }
  return null;
}

// A PNG of 16-bit samples, as ezedudu-cli reads it: browsers hand over only
// 8-bit samples, brought down their own way, so the page reads such files
// itself (the browser's zlib inflates them) and brings each sample to 8 bits
// by Qt's rule, round(v / 257). Writes RGBA pixels into bufferOf(size) and
// answers {width, height, alpha}, or null for any PNG it leaves to the
// browser: interlaced, palette or transparent-colour ones, or any it cannot read.
async function deepPng(bytes, bufferOf) {
  const data = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const type = (at) => String.fromCharCode(...bytes.subarray(at + 4, at + 8));
  if (bytes.length < 33 || type(8) !== 'IHDR' || bytes[24] !== 16 || bytes[28] !== 0) return null;
  const width = data.getUint32(16);
  const height = data.getUint32(20);
  const channels = { 0: 1, 2: 3, 4: 2, 6: 4 }[bytes[25]];
  if (!channels) return null;
  const parts = [];
  for (let at = 8; at + 12 <= bytes.length; at += 12 + data.getUint32(at)) {
    const kind = type(at);
    if (kind === 'tRNS') return null;
    if (kind === 'IDAT') parts.push(bytes.subarray(at + 8, at + 8 + data.getUint32(at)));
    if (kind === 'IEND') break;
  }
  const stride = width * channels * 2;
  let rows;
  try {
    const inflated = new Blob(parts).stream().pipeThrough(new DecompressionStream('deflate'));
    rows = new Uint8Array(await new Response(inflated).arrayBuffer());
  } catch {
    return null;
  }
  if (rows.length < height * (stride + 1)) return null;
  unfilter(rows, height, stride, channels * 2);
  const pixels = bufferOf(width * height * 4);
  const to8 = (row, x) => { // Qt's round(v / 257), exactly
    const v = ((row[x] << 8) | row[x + 1]) + 128;
    return (v - (v >> 8)) >> 8;
  };
  let alpha = false;
  for (let y = 0; y < height; y++) {
    const row = rows.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < width; x++) {
      const sample = x * channels * 2;
      const grey = channels < 3;
      const out = (y * width + x) * 4;
      pixels[out] = to8(row, sample);
      pixels[out + 1] = grey ? pixels[out] : to8(row, sample + 2);
      pixels[out + 2] = grey ? pixels[out] : to8(row, sample + 4);
      pixels[out + 3] = channels % 2 === 0 ? to8(row, sample + (channels - 1) * 2) : 255;
      alpha ||= pixels[out + 3] !== 255;
    }
  }
  return { width, height, alpha };
}

// Undoes PNG's row filters in place: each row is its filter type and then
// stride bytes, each byte predicted from the byte pixelBytes before it, the
// one above, or both.
function unfilter(rows, height, stride, pixelBytes) {
  for (let y = 0; y < height; y++) {
    const at = y * (stride + 1);
    const filter = rows[at];
    for (let i = 0; i < stride; i++) {
      const left = i >= pixelBytes ? rows[at + 1 + i - pixelBytes] : 0;
      const up = y > 0 ? rows[at - stride + i] : 0;
      const upLeft = y > 0 && i >= pixelBytes ? rows[at - stride + i - pixelBytes] : 0;
      let guess = 0;
      if (filter === 1) guess = left;
      else if (filter === 2) guess = up;
      else if (filter === 3) guess = (left + up) >> 1;
      else if (filter === 4) {
        const p = left + up - upLeft;
        const [a, b, c] = [Math.abs(p - left), Math.abs(p - up), Math.abs(p - upLeft)];
        guess = a <= b && a <= c ? left : b <= c ? up : upLeft;
      }
      rows[at + 1 + i] = (rows[at + 1 + i] + guess) & 255;
    }
  }
}

// Copies the picture's pixels into the engine's buffer; answers whether any
// is not opaque. A 2D canvas keeps pixels premultiplied, which loses
// precision where alpha is below 255; WebGL reads such pictures back exactly
// where it is available. (Read in bands of rows, a large picture took more
// memory, not less: 4.7 GB against 4.1 GB for 20000 x 20000 pixels.)
function copyPixels(engine, image, name) {
  const { width, height } = image;
  const context = new OffscreenCanvas(width, height).getContext('2d', { willReadFrequently: true });
  context.drawImage(image, 0, 0);
  const pixels = new Uint8Array(context.getImageData(0, 0, width, height).data.buffer);
  let alpha = false;
  for (let at = 3; !alpha && at < pixels.length; at += 4) alpha = pixels[at] !== 255;
  const target = engine.pictureBuffer(pixels.length, name);
  target.set(pixels);
  if (alpha) readStraight(image, target);
  return alpha;
}

function readStraight(image, target) {
  const { width, height } = image;
  const gl = new OffscreenCanvas(width, height).getContext('webgl2', { premultipliedAlpha: false });
  if (!gl) return;
  gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, false);
  gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);
  const texture = gl.createTexture();
  gl.bindTexture(gl.TEXTURE_2D, texture);
  gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA8, width, height, 0, gl.RGBA, gl.UNSIGNED_BYTE, image);
  gl.bindFramebuffer(gl.FRAMEBUFFER, gl.createFramebuffer());
  gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, texture, 0);
  if (gl.getError() !== gl.NO_ERROR || gl.checkFramebufferStatus(gl.FRAMEBUFFER) !== gl.FRAMEBUFFER_COMPLETE) return;
  // Into memory of its own: read straight into a view of the engine's memory,
  // the pixels stayed as the 2D canvas left them.
  const straight = new Uint8Array(width * height * 4);
  gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, straight);
  if (gl.getError() === gl.NO_ERROR) target.set(straight);
  gl.deleteTexture(texture);
}

// Has the engine hold a picture file's bytes under the name ('' for the one
// converted into art): bitmaps as their bytes, which its own reader reads;
// other formats decoded by the browser, once their header shows they are
// within the pixel limit of the words. Answers why not, or ''.
async function hold(engine, name, bytes, words) {
  if (bytes.length < 2 || (bytes[0] === 0x42 && bytes[1] === 0x4d)) { // "BM"
    engine.pictureBuffer(bytes.length, name).set(bytes);
    engine.holdFile(name);
    return '';
  }
  const size = headerSize(bytes);
  const refused = size && engine.pixelLimitError(size.width, size.height, words);
  if (refused) return refused;
  const deep = await deepPng(bytes, (size) => engine.pictureBuffer(size, name));
  if (deep) return engine.holdPixels(name, deep.width, deep.height, deep.alpha);
  let image;
  try {
    image = await createImageBitmap(new Blob([bytes]), { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
  } catch {
    return 'not a picture this browser can read';
  }
  try {
    return engine.pixelLimitError(image.width, image.height, words) ||
      engine.holdPixels(name, image.width, image.height, copyPixels(engine, image, name));
  } finally {
    image.close();
  }
}

// Holds the pictures a template may name, as listed, and lets go of the rest;
// one that cannot be held keeps why, for the template that names it.
async function holdTemplatePictures(engine, pictures) {
  for (const name of templatePictures.keys()) {
    if (!pictures.some((picture) => picture.name === name)) {
      engine.letGo(name);
      templatePictures.delete(name);
    }
  }
  for (const { name, key, bytes } of pictures) {
    if (!bytes) continue;
    let error;
    try {
      error = await hold(engine, name, new Uint8Array(bytes), []);
    } catch (failure) {
      error = 'the browser could not hand the picture over: ' + (failure?.message || 'no reason given');
    }
    if (error) engine.holdFailure(name, error);
    templatePictures.set(name, key);
  }
}

async function compose(engine, { id, template, fields, words, pictures }) {
  let result;
  try {
    await holdTemplatePictures(engine, pictures);
    result = engine.compose(template, fields, words);
  } catch (failure) {
    result = { error: 'the engine failed: ' + (failure?.message || 'no reason given'), broken: true };
  }
  result.memory = engine.memoryBytes();
  postMessage({ type: 'page', id, result }, [result.nfo?.buffer, result.preview?.buffer].filter(Boolean));
}

function answer(engine, { id, words, name }) {
  // An exception that escapes the engine leaves it unusable: the page starts
  // a fresh worker.
  let result;
  try {
    result = engine.convert(words);
    if (!result.error && !shownYet) {
      result.thumbnail = engine.thumbnail(ThumbnailSide);
      shownYet = true;
    }
  } catch (failure) {
    result = { error: 'the engine failed: ' + (failure?.message || 'no reason given'), broken: true };
  }
  if (result.arguments) result.command = engine.shellCommand(['ezedudu-cli', ...result.arguments, name]);
  result.memory = engine.memoryBytes();
  const transfer = [result.nfo?.buffer, result.preview?.buffer, result.thumbnail?.pixels.buffer].filter(Boolean);
  postMessage({ type: 'art', id, result }, transfer);
}

onmessage = async ({ data }) => {
  const engine = await engineReady;
  if (data.type === 'check') {
    postMessage({ type: 'checked', id: data.id, errors: engine.optionErrors(data.values) });
    return;
  }
  if (data.type === 'compose') {
    await compose(engine, data);
    return;
  }
  if (data.type === 'file') {
    file = data.bytes;
    held = false;
    shownYet = false;
  }
  // Words the engine cannot read are told as such, before any picture is held.
  const refused = engine.wordsError(data.words);
  if (refused.error) {
    postMessage({ type: 'art', id: data.id, result: { ...refused, memory: engine.memoryBytes() } });
    return;
  }
  let error = '';
  try {
    if (!held && file) {
      error = await hold(engine, '', new Uint8Array(file), data.words);
      held = !error;
    }
  } catch (failure) {
    error = 'the browser could not hand the picture over: ' + (failure?.message || 'no reason given');
  }
  if (error) postMessage({ type: 'art', id: data.id, result: { error, memory: engine.memoryBytes() } });
  else answer(engine, data);
};
