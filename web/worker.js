// The worker around the engine: it holds the one picture and converts it
// whenever the page asks, so the page never freezes. Messages in:
// {type: 'file', bytes, words} and {type: 'convert', words}. Messages out:
// {type: 'options', options} once, then {type: 'art', result} per request.
'use strict';

const engineReady = EzeduduEngine().then((engine) => {
  postMessage({ type: 'options', options: engine.optionTable() });
  return engine;
});

// The picture's pixels as stored, and whether any is not opaque. A 2D
// canvas keeps them premultiplied, which loses precision where alpha is
// below 255; WebGL reads such pictures back exactly where it is available.
function pixelsOf(image) {
  const { width, height } = image;
  const context = new OffscreenCanvas(width, height).getContext('2d', { willReadFrequently: true });
  context.drawImage(image, 0, 0);
  const pixels = new Uint8Array(context.getImageData(0, 0, width, height).data.buffer);
  for (let at = 3; at < pixels.length; at += 4)
    if (pixels[at] !== 255) return { pixels: straightPixels(image) || pixels, alpha: true };
  return { pixels, alpha: false };
}

function straightPixels(image) {
  const { width, height } = image;
  const gl = new OffscreenCanvas(width, height).getContext('webgl2', { premultipliedAlpha: false });
  if (!gl) return null;
  gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, false);
  gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);
  const texture = gl.createTexture();
  gl.bindTexture(gl.TEXTURE_2D, texture);
  gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA8, width, height, 0, gl.RGBA, gl.UNSIGNED_BYTE, image);
  gl.bindFramebuffer(gl.FRAMEBUFFER, gl.createFramebuffer());
  gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, texture, 0);
  if (gl.checkFramebufferStatus(gl.FRAMEBUFFER) !== gl.FRAMEBUFFER_COMPLETE) return null;
  const pixels = new Uint8Array(width * height * 4);
  gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
  return gl.getError() === gl.NO_ERROR ? pixels : null;
}

async function holdFile(engine, bytes) {
  engine.pictureBuffer(bytes.byteLength).set(new Uint8Array(bytes));
  if (engine.holdFile()) return '';
  let image;
  try {
    image = await createImageBitmap(new Blob([bytes]),
      { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
  } catch {
    return 'not a picture this browser can read';
  }
  const { pixels, alpha } = pixelsOf(image);
  engine.pictureBuffer(pixels.length).set(pixels);
  engine.holdPixels(image.width, image.height, alpha);
  image.close();
  return '';
}

onmessage = async ({ data }) => {
  const engine = await engineReady;
  let result;
  try {
    const error = data.type === 'file' ? await holdFile(engine, data.bytes) : '';
    result = error ? { error } : engine.convert(data.words);
  } catch (failure) {
    result = { error: String(failure.message || failure) };
  }
  const transfer = result.nfo ? [result.nfo.buffer, result.preview?.buffer].filter(Boolean) : [];
  postMessage({ type: 'art', result }, transfer);
};
