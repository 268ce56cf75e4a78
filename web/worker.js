// The worker around the engine: it holds the one picture and converts it
// whenever the page asks, so the page never freezes. Messages in, one at a
// time, each answered before the next is sent:
//   {type: 'check', id, values}        which remembered values cannot be read
//   {type: 'file', id, bytes, words, name}   hold this picture and convert it
//   {type: 'convert', id, words, name}       convert the picture held
// Messages out: {type: 'options', options} once, then {type: 'checked', id,
// errors} or {type: 'art', id, result} per message, with the id it answers.
'use strict';

const engineReady = EzeduduEngine().then((engine) => {
  postMessage({ type: 'options', options: engine.optionTable() });
  return engine;
});

// Rows of pixels read back from the browser at a time: a few megabytes, so
// that no second copy of a large picture is ever made beside the engine's.
const BandBytes = 16 << 20;

let file = null; // the bytes of the picture last sent
let held = false; // whether the engine holds it

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
    if (kind === 'VP8X')
      return { width: 1 + (data.getUint32(24, true) & 0xffffff), height: 1 + (data.getUint32(27, true) & 0xffffff) };
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

// Copies the picture's pixels into the engine's buffer, a band of rows at a
// time; answers whether any is not opaque. A 2D canvas keeps pixels
// premultiplied, which loses precision where alpha is below 255; WebGL
// reads such pictures back exactly where it is available.
function copyPixels(engine, image) {
  const { width, height } = image;
  const target = engine.pictureBuffer(width * height * 4);
  const band = Math.max(1, Math.min(height, Math.floor(BandBytes / (width * 4))));
  const context = new OffscreenCanvas(width, band).getContext('2d', { willReadFrequently: true });
  context.imageSmoothingEnabled = false;
  let alpha = false;
  for (let top = 0; top < height; top += band) {
    const rows = Math.min(band, height - top);
    context.clearRect(0, 0, width, band);
    context.drawImage(image, 0, top, width, rows, 0, 0, width, rows);
    const pixels = new Uint8Array(context.getImageData(0, 0, width, rows).data.buffer);
    for (let at = 3; !alpha && at < pixels.length; at += 4) alpha = pixels[at] !== 255;
    target.set(pixels, top * width * 4);
  }
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
  gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, target);
  gl.deleteTexture(texture);
}

// Has the engine hold the picture last sent: bitmaps as their bytes, which
// its own reader reads; other formats decoded by the browser, once their
// header shows they are within the pixel limit. Answers why not, or ''.
async function hold(engine, words) {
  const bytes = new Uint8Array(file);
  if (bytes.length < 2 || (bytes[0] === 0x42 && bytes[1] === 0x4d)) { // "BM"
    engine.pictureBuffer(bytes.length).set(bytes);
    engine.holdFile();
    held = true;
    return '';
  }
  const size = headerSize(bytes);
  const refused = size && engine.pixelLimitError(size.width, size.height, words);
  if (refused) return refused;
  let image;
  try {
    image = await createImageBitmap(new Blob([file]), { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
  } catch {
    return 'not a picture this browser can read';
  }
  try {
    const error = engine.pixelLimitError(image.width, image.height, words) ||
      engine.holdPixels(image.width, image.height, copyPixels(engine, image));
    held = !error;
    return error;
  } finally {
    image.close();
  }
}

function answer(engine, { id, words, name }) {
  // An exception that escapes the engine leaves it unusable: the page starts
  // a fresh worker.
  let result;
  try {
    result = engine.convert(words);
  } catch (failure) {
    result = { error: 'the engine failed: ' + (failure?.message || 'no reason given'), broken: true };
  }
  if (result.arguments) result.command = engine.shellCommand(['ezedudu-cli', ...result.arguments, name]);
  result.memory = engine.memoryBytes();
  const transfer = result.nfo ? [result.nfo.buffer, result.preview?.buffer].filter(Boolean) : [];
  postMessage({ type: 'art', id, result }, transfer);
}

onmessage = async ({ data }) => {
  const engine = await engineReady;
  if (data.type === 'check') {
    postMessage({ type: 'checked', id: data.id, errors: engine.optionErrors(data.values) });
    return;
  }
  if (data.type === 'file') {
    file = data.bytes;
    held = false;
  }
  let error = '';
  try {
    if (!held && file) error = await hold(engine, data.words);
  } catch (failure) {
    error = 'the browser could not hand the picture over: ' + (failure?.message || 'no reason given');
  }
  if (error) postMessage({ type: 'art', id: data.id, result: { error, memory: engine.memoryBytes() } });
  else answer(engine, data);
};
