// The worker around the engine: it holds the one picture and converts it
// whenever the page asks, so the page never freezes. Messages in:
// {type: 'file', bytes, words} and {type: 'convert', words}. Messages out:
// {type: 'options', options} once, then {type: 'art', result} per request.
'use strict';

const engineReady = EzeduduEngine().then((engine) => {
  postMessage({ type: 'options', options: engine.optionTable() });
  return engine;
});

// The pixels exactly as stored: the 2D canvas would premultiply alpha and
// lose precision, so WebGL reads them back where it is available.
function pixelsOf(image) {
  const { width, height } = image;
  const canvas = new OffscreenCanvas(width, height);
  const gl = canvas.getContext('webgl2', { premultipliedAlpha: false });
  if (gl) {
    gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, false);
    gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);
    const texture = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, texture);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA8, width, height, 0, gl.RGBA, gl.UNSIGNED_BYTE, image);
    const framebuffer = gl.createFramebuffer();
    gl.bindFramebuffer(gl.FRAMEBUFFER, framebuffer);
    gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, texture, 0);
    if (gl.checkFramebufferStatus(gl.FRAMEBUFFER) === gl.FRAMEBUFFER_COMPLETE) {
      const pixels = new Uint8Array(width * height * 4);
      gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
      gl.deleteFramebuffer(framebuffer);
      gl.deleteTexture(texture);
      if (gl.getError() === gl.NO_ERROR) return pixels;
    }
  }
  const context = new OffscreenCanvas(width, height).getContext('2d');
  context.drawImage(image, 0, 0);
  return new Uint8Array(context.getImageData(0, 0, width, height).data.buffer);
}

async function holdFile(engine, bytes) {
  if (engine.holdFile(new Uint8Array(bytes))) return '';
  let image;
  try {
    image = await createImageBitmap(new Blob([bytes]),
      { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
  } catch {
    return 'not a picture this browser can read';
  }
  engine.holdPixels(pixelsOf(image), image.width, image.height);
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
