// The page in headless Chromium against ezedudu-cli: the same bytes, the
// same preview pixels, the same reasons.
//   node tests/web/page_test.mjs CLI
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { PagePath, afterArt, launch, openPage, serve } from './browser.mjs';
import { png, scene } from './pictures.mjs';

const cli = path.resolve(process.argv[2]);
const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'ezedudu-page-'));
const picture = (name, bytes) => {
  const file = path.join(work, name);
  fs.writeFileSync(file, bytes);
  return file;
};
const sample = path.join(root, 'resources/sample.bmp');
const plainPng = picture('scene.png', png(320, 200, 3, scene));
// Alpha from clear to opaque across the picture: partly transparent pixels
// blend with the paper, which the engine does, not the browser.
const alphaPng = picture('fade.png', png(320, 200, 4, (x, y) => [...scene(x, y), (x + 2 * y) % 256]));
const largePng = picture('large.png', png(1200, 900, 3, scene));
const corrupt = picture('header-size.bmp', Buffer.concat([Buffer.from('BM\x10\0\0\0', 'latin1'),
  Buffer.from('garbage-garbage-garbage')]));

let browser;
let server;
before(async () => {
  browser = await launch();
  server = await serve();
});
after(async () => {
  await browser.close();
  server.close();
  fs.rmSync(work, { recursive: true, force: true });
});

// What the page starts with, as ezedudu-cli options; later ones win.
const PageStart = ['--columns', '79', '--glyphs', 'lines'];

function runCli(args, file) {
  const nfo = path.join(work, 'cli.nfo');
  const preview = path.join(work, 'cli.png');
  execFileSync(cli, [...PageStart, ...args, file, '-o', nfo, '--preview', preview]);
  return { nfo: fs.readFileSync(nfo), preview: fs.readFileSync(preview) };
}

async function downloaded(page, button) {
  const [download] = await Promise.all([page.waitForEvent('download'), page.click(button)]);
  return { name: download.suggestedFilename(), bytes: fs.readFileSync(await download.path()) };
}

// Both PNGs' pixels, decoded by the browser, as base64 text to compare.
async function pixelsOf(page, ...pngs) {
  return page.evaluate(async (encoded) => Promise.all(encoded.map(async (text) => {
    const bytes = Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
    const image = await createImageBitmap(new Blob([bytes]));
    const canvas = new OffscreenCanvas(image.width, image.height);
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    const data = context.getImageData(0, 0, image.width, image.height).data;
    let digest = `${image.width}x${image.height}:`;
    for (let i = 0; i < data.length; i += 4096) digest += btoa(String.fromCharCode(...data.subarray(i, i + 4096)));
    return digest;
  })), pngs.map((bytes) => bytes.toString('base64')));
}

const cases = [
  { name: 'a bitmap with half blocks', file: sample, set: (page) => page.selectOption('#option-glyphs', 'blocks'),
    args: ['--glyphs', 'blocks'] },
  { name: 'a PNG dithered', file: plainPng, set: (page) => page.selectOption('#option-dither', 'floyd-steinberg'),
    args: ['--dither', 'floyd-steinberg'] },
  { name: 'a PNG with alpha, inverted', file: alphaPng, set: (page) => page.check('#option-invert'),
    args: ['--invert'] },
];

for (const c of cases) {
  test(`${c.name}: the page saves the CLI's bytes and its preview's pixels`, async () => {
    const page = await openPage(browser.context, server.url);
    await c.set(page);
    await afterArt(page, () => page.setInputFiles('#picture', c.file));
    const want = runCli(c.args, c.file);
    const nfo = await downloaded(page, '#save-nfo');
    assert.equal(nfo.name, path.basename(c.file).replace(/\.[^.]*$/, '.nfo'));
    assert.ok(nfo.bytes.equals(want.nfo), 'the .nfo differs from the CLI\'s');
    const [shown, cliPreview] = await pixelsOf(page, (await downloaded(page, '#save-preview')).bytes, want.preview);
    assert.ok(shown === cliPreview, 'the preview differs from the CLI\'s --preview');
    await page.close();
  });
}

const refusals = [
  { name: 'a corrupt bitmap', file: corrupt, set: async () => {}, args: [] },
  { name: 'a PNG over the pixel limit', file: largePng, args: ['--max-megapixels', '1'],
    set: (page) => page.fill('#option-max-megapixels', '1') },
];

for (const c of refusals) {
  test(`${c.name} shows the CLI's reason and offers nothing to save`, async () => {
    const page = await openPage(browser.context, server.url);
    await c.set(page);
    await afterArt(page, () => page.setInputFiles('#picture', c.file));
    const run = spawnSync(cli, [...c.args, c.file, '-o', path.join(work, 'refused.nfo')], { encoding: 'utf8' });
    const reason = run.stderr.trim().split(`${c.file}: `)[1];
    assert.ok(reason, run.stderr);
    assert.ok((await page.textContent('#status')).endsWith(reason), reason);
    for (const button of ['#save-nfo', '#save-preview', '#copy-text', '#copy-command'])
      assert.ok(await page.isDisabled(button), button);
    await page.close();
  });
}

test('moving a slider from the keyboard updates the art; the command and the settings follow', async () => {
  const page = await openPage(browser.context, server.url);
  await afterArt(page, () => page.setInputFiles('#picture', plainPng));
  const art = () => page.evaluate(() => document.getElementById('preview').toDataURL());
  const first = await art();
  await page.focus('#option-contrast');
  await afterArt(page, () => page.keyboard.press('ArrowRight'));
  assert.notEqual(await art(), first);
  await browser.context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin: server.url });
  await page.click('#copy-command');
  assert.equal(await page.evaluate(() => navigator.clipboard.readText()),
    `ezedudu-cli ${PageStart.join(' ')} --contrast 1 scene.png`);
  await page.close();
  const again = await openPage(browser.context, server.url, { keepSettings: true });
  assert.equal(await again.inputValue('#option-contrast'), '1', 'the page forgot the setting');
  await again.close();
});

test('index.html opened from disk converts a picture, fetching nothing', async () => {
  const url = pathToFileURL(PagePath).href;
  const fetched = [];
  const record = (request) => fetched.push(request.url());
  browser.context.on('request', record);
  const page = await openPage(browser.context, url);
  await page.setViewportSize({ width: 1100, height: 720 });
  await afterArt(page, () => page.setInputFiles('#picture', sample));
  assert.ok((await downloaded(page, '#save-nfo')).bytes.equals(runCli([], sample).nfo));
  // The README's picture of the page.
  await page.screenshot({ path: path.join(root, 'build/web-test/browser.png') });
  await page.close();
  browser.context.off('request', record);
  assert.deepEqual(fetched.filter((address) => address !== url && !/^(blob|data):/.test(address)), []);
});
