// The art and the picture it is made of, side by side. The art is drawn at
// a whole scale only, so that every cell looks alike and the shades do not
// shimmer: each pixel repeated 1 to 8 times on the screen, or, where the art
// is wider than its room, each block of 2 x 2 up to 8 x 8 pixels averaged.

const MaxTimes = 8;
const ArtShare = 0.6; // of the width, when the picture is beside the art
let drawn = null; // {result, shrink}: what the canvas holds

// The art's full preview on a canvas of its own, as the CLI's --preview draws it.
function previewCanvas(result) {
  const canvas = new OffscreenCanvas(result.previewWidth, result.previewHeight);
  canvas.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(result.preview.buffer),
    result.previewWidth, result.previewHeight), 0, 0);
  return canvas;
}

// The preview with each shrink x shrink block averaged (smaller at the right
// and bottom edges).
function shrunkPixels(result, shrink) {
  const { previewWidth: width, previewHeight: height } = result;
  const source = result.preview;
  const outWidth = Math.ceil(width / shrink);
  const outHeight = Math.ceil(height / shrink);
  const out = new ImageData(outWidth, outHeight);
  for (let y = 0; y < outHeight; y++) {
    for (let x = 0; x < outWidth; x++) {
      const sums = [0, 0, 0];
      let count = 0;
      for (let sy = y * shrink; sy < Math.min(height, (y + 1) * shrink); sy++) {
        for (let sx = x * shrink; sx < Math.min(width, (x + 1) * shrink); sx++) {
          const at = (sy * width + sx) * 4;
          for (let c = 0; c < 3; c++) sums[c] += source[at + c];
          count++;
        }
      }
      const at = (y * outWidth + x) * 4;
      for (let c = 0; c < 3; c++) out.data[at + c] = Math.floor(sums[c] / count);
      out.data[at + 3] = 255;
    }
  }
  return out;
}

// Shows the art of a result, or none.
function drawArt(result) {
  drawn = result && result.preview ? { result, shrink: 0 } : null;
  const canvas = $('preview');
  if (!drawn) {
    canvas.width = 0;
    canvas.height = 0;
  }
  fitArt();
}

// Sizes a drawn preview ({result, shrink}) on its canvas for the room it has
// now, in CSS pixels, redrawing it where its scale changed: enlarged only as
// far as the share of the room allows, and reduced only where it is wider
// than the whole room. Answers its size on the screen.
function fitPreview(canvas, drawn, roomWidth, share) {
  const { result } = drawn;
  const ratio = window.devicePixelRatio || 1;
  const room = roomWidth * ratio;
  const width = result.previewWidth;
  const times = width <= room * share ? Math.min(MaxTimes, Math.floor((room * share) / width)) : 1;
  const shrink = width <= room ? 1 : Math.min(MaxTimes, Math.ceil(width / room));
  if (shrink !== drawn.shrink) {
    drawn.shrink = shrink;
    const pixels = shrink === 1
      ? new ImageData(new Uint8ClampedArray(result.preview.buffer), width, result.previewHeight)
      : shrunkPixels(result, shrink);
    canvas.width = pixels.width;
    canvas.height = pixels.height;
    canvas.getContext('2d').putImageData(pixels, 0, 0);
  }
  const shownWidth = (canvas.width * times) / ratio;
  const shownHeight = (canvas.height * times) / ratio;
  canvas.style.width = `${shownWidth}px`;
  canvas.style.height = `${shownHeight}px`;
  return { shownWidth, shownHeight };
}

// The art, leaving the picture room beside it.
function fitArt() {
  if (!drawn) return;
  const share = $('original').hidden ? 1 : ArtShare;
  const { shownWidth, shownHeight } = fitPreview($('preview'), drawn, $('views').clientWidth, share);
  fitPicture(shownWidth, shownHeight);
}

// The picture beside the art, as high as it, where that leaves it nearly as
// large as under the art, as wide as it; otherwise under it.
const Gap = 20; // the views' gap and the borders, in CSS pixels
function fitPicture(artWidth, artHeight) {
  const view = $('picture-view');
  if (!view.width) return;
  const aspect = view.width / view.height;
  const whole = $('views').clientWidth;
  const beside = Math.min(whole - artWidth - Gap, artHeight * aspect);
  const under = Math.min(whole, artWidth, artHeight * aspect);
  const width = Math.max(1, beside >= 0.75 * under ? beside : under);
  view.style.width = `${width}px`;
  view.style.height = `${width / aspect}px`;
}

// The picture itself beside its art, so the two can be compared: its
// thumbnail, made by the engine, never the whole picture decoded again; or none.
function showPicture(thumbnail) {
  const view = $('picture-view');
  $('original').hidden = !thumbnail;
  if (!thumbnail || view.dataset.shows === String(thumbnail.id)) return;
  view.dataset.shows = thumbnail.id;
  view.width = thumbnail.width;
  view.height = thumbnail.height;
  view.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(thumbnail.pixels.buffer),
    thumbnail.width, thumbnail.height), 0, 0);
  fitArt();
}

new ResizeObserver(fitArt).observe($('views'));
window.addEventListener('resize', fitArt); // a zoom changes the device pixel ratio
