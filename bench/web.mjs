// The page's figures in headless Chromium (Debian's, with --disable-gpu):
// a 12-megapixel JPEG from choosing the file to its art on the screen at 79
// columns, a slider change on a 640 x 480 picture to the screen, a keystroke
// in the scene example's template to its whole file on the screen, the
// browser's memory (all its processes) and the engine's while an 8000 x 6000
// PNG is opened, held, and after the next picture, and the page's size with
// its WebAssembly, compressed. Medians of several runs.
//   scripts/install-deps web-test && scripts/build-web && node bench/web.mjs
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';

import { PagePath, afterArt, afterPage, launch, openPage, serve } from '../tests/web/browser.mjs';
import { png, scene } from '../tests/web/pictures.mjs';

const Runs = Number(process.env.RUNS || 5);

// The resident memory of every process this one started (the browser's), in MB.
function browserMemory() {
  const rows = execFileSync('ps', ['-eo', 'pid=,ppid=,rss=']).toString().trim().split('\n')
    .map((line) => line.trim().split(/\s+/).map(Number));
  const children = new Map();
  for (const [pid, parent] of rows) children.set(parent, [...(children.get(parent) || []), pid]);
  const resident = new Map(rows.map(([pid, , rss]) => [pid, rss]));
  let total = 0;
  for (const waiting = [...(children.get(process.pid) || [])]; waiting.length;) {
    const pid = waiting.pop();
    total += resident.get(pid) || 0;
    waiting.push(...(children.get(pid) || []));
  }
  return total / 1024;
}
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];

// A photo-like JPEG drawn and encoded by the browser itself: shapes over
// grain, so that it compresses about as a camera's photo does.
async function drawJpeg(page, width, height) {
  const encoded = await page.evaluate(async ([w, h]) => {
    const canvas = new OffscreenCanvas(w, h);
    const context = canvas.getContext('2d');
    const grain = context.createImageData(w, h);
    let seed = 7;
    for (let i = 0; i < grain.data.length; i += 4) {
      seed = (seed * 1103515245 + 12345) >>> 0;
      grain.data[i] = seed >>> 24;
      grain.data[i + 1] = (seed >>> 16) & 255;
      grain.data[i + 2] = (seed >>> 8) & 255;
      grain.data[i + 3] = 255;
    }
    context.putImageData(grain, 0, 0);
    context.globalAlpha = 0.6;
    const gradient = context.createLinearGradient(0, 0, w, h);
    gradient.addColorStop(0, '#123');
    gradient.addColorStop(0.5, '#e8c070');
    gradient.addColorStop(1, '#206040');
    context.fillStyle = gradient;
    context.fillRect(0, 0, w, h);
    for (let i = 0; i < 400; i++) {
      context.fillStyle = `hsla(${(i * 47) % 360}, 60%, ${30 + (i * 13) % 50}%, 0.6)`;
      context.beginPath();
      context.arc((i * 7919) % w, (i * 104729) % h, 20 + (i * 31) % (w / 10), 0, 2 * Math.PI);
      context.fill();
    }
    const blob = await canvas.convertToBlob({ type: 'image/jpeg', quality: 0.98 });
    const bytes = new Uint8Array(await blob.arrayBuffer());
    let text = '';
    for (let i = 0; i < bytes.length; i += 4096) text += String.fromCharCode(...bytes.subarray(i, i + 4096));
    return btoa(text);
  }, [width, height]);
  return Buffer.from(encoded, 'base64');
}

// From the file chosen to the art drawn and the next frame on the screen.
async function openToScreen(page, file) {
  const start = Date.now();
  await afterArt(page, () => page.setInputFiles('#picture', file));
  await page.evaluate(() => new Promise(requestAnimationFrame));
  return Date.now() - start;
}

// Timed inside the page: from a keystroke in the template (its input event)
// to the frame after the whole file composed of it is drawn.
function keystrokeToPage(page, text) {
  return page.evaluate((template) => new Promise((resolve) => {
    const area = document.getElementById('template');
    const pages = Number(document.body.dataset.pages || 0);
    const start = performance.now();
    const watch = new MutationObserver(() => {
      if (Number(document.body.dataset.pages) > pages && document.body.dataset.page !== 'busy') {
        watch.disconnect();
        requestAnimationFrame(() => resolve(performance.now() - start));
      }
    });
    watch.observe(document.body, { attributes: true });
    area.value = template;
    area.dispatchEvent(new Event('input', { bubbles: true }));
  }), text);
}

// Timed inside the page: from the slider's input event to the frame after
// the new art is drawn.
function sliderToScreen(page, value) {
  return page.evaluate((to) => new Promise((resolve) => {
    const slider = document.getElementById('option-contrast');
    const renders = Number(document.body.dataset.renders);
    const start = performance.now();
    const watch = new MutationObserver(() => {
      if (Number(document.body.dataset.renders) > renders && document.body.dataset.state !== 'busy') {
        watch.disconnect();
        requestAnimationFrame(() => resolve(performance.now() - start));
      }
    });
    watch.observe(document.body, { attributes: true });
    slider.value = to;
    slider.dispatchEvent(new Event('input', { bubbles: true }));
  }), value);
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'ezedudu-bench-'));
const browser = await launch();
const server = await serve();
try {
  const page = await openPage(browser.context, server.url);
  const photo = path.join(work, 'photo-4000x3000.jpg');
  fs.writeFileSync(photo, await drawJpeg(page, 4000, 3000));
  const small = path.join(work, 'photo-640x480.jpg');
  fs.writeFileSync(small, await drawJpeg(page, 640, 480));

  const opening = [];
  for (let run = 0; run < Runs; run++) opening.push(await openToScreen(page, photo));
  await openToScreen(page, small);
  const sliding = [];
  for (let run = 0; run < 4 * Runs; run++) sliding.push(await sliderToScreen(page, String((run % 20) - 10)));

  // The engine's memory as its worker reports it (WebAssembly memory only
  // grows): holding a large picture, and once the next one is open.
  const large = path.join(work, 'large-8000x6000.png');
  fs.writeFileSync(large, png(8000, 6000, 3, scene));
  const engineMemory = () => page.evaluate(() => engine.memory / 2 ** 20);
  const idle = browserMemory();
  let peak = idle;
  const sampler = setInterval(() => { peak = Math.max(peak, browserMemory()); }, 100);
  await openToScreen(page, large);
  const [largeMemory, held] = [await engineMemory(), browserMemory()];
  await openToScreen(page, small);
  await new Promise((resolve) => setTimeout(resolve, 1000));
  clearInterval(sampler);
  const [nextMemory, after] = [await engineMemory(), browserMemory()];

  const composing = await openPage(browser.context, server.url + '#compose');
  await composing.waitForFunction(() => document.body.dataset.page === 'ready');
  const example = await composing.inputValue('#template');
  const typing = [];
  for (let run = 0; run < 4 * Runs; run++)
    typing.push(await keystrokeToPage(composing, example.replace('presents', 'presents' + '!'.repeat(run % 2))));
  // The same with the 4000 x 3000 JPEG's art, which is made again at every keystroke.
  await afterPage(composing, () => composing.setInputFiles('#add-pictures', photo));
  const withPhoto = example.replace('sample.png', path.basename(photo));
  const typingPhoto = [];
  for (let run = 0; run < Runs; run++)
    typingPhoto.push(await keystrokeToPage(composing, withPhoto.replace('presents', 'presents' + '!'.repeat(run % 2))));
  await composing.close();

  const html = fs.readFileSync(PagePath);
  console.log('| figure | value |');
  console.log('|---|---|');
  console.log(`| 4000 × 3000 JPEG (${(fs.statSync(photo).size / 1e6).toFixed(1)} MB) to art at 79 columns on the ` +
    `screen, from choosing the file | ${median(opening)} ms (median of ${Runs}) |`);
  console.log(`| a slider change on a 640 × 480 picture, to the screen | ${median(sliding).toFixed(1)} ms ` +
    `(median of ${sliding.length}) |`);
  console.log('| a keystroke in the scene example\'s template (a logo, 60-column art of a 240 × 120 PNG; 75 lines ' +
    `out), to its whole file on the screen | ${median(typing).toFixed(1)} ms (median of ${typing.length}) |`);
  console.log(`| the same with the art of the 4000 × 3000 JPEG instead, made again at every keystroke | ` +
    `${median(typingPhoto).toFixed(1)} ms (median of ${typingPhoto.length}) |`);
  console.log(`| the browser's memory: before; at its peak opening an 8000 × 6000 PNG; holding it; after the next ` +
    `picture | ${[idle, peak, held, after].map((mb) => mb.toFixed(0)).join(' MB; ')} MB |`);
  console.log(`| the engine's memory holding an 8000 × 6000 PNG; after the next picture | ` +
    `${largeMemory.toFixed(0)} MB; ${nextMemory.toFixed(0)} MB |`);
  console.log(`| the page with its WebAssembly: index.html | ${(html.length / 1024).toFixed(0)} KB; gzip -9 ` +
    `${(zlib.gzipSync(html, { level: 9 }).length / 1024).toFixed(0)} KB; brotli ` +
    `${(zlib.brotliCompressSync(html).length / 1024).toFixed(0)} KB |`);
} finally {
  await browser.close();
  server.close();
  fs.rmSync(work, { recursive: true, force: true });
}
