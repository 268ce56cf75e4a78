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

import { PagePath, afterArt, afterPage, launch, openPage, serve } from './browser.mjs';
import { bitmap32, png, scene } from './pictures.mjs';

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
// Alpha 0 in every pixel, a common writer's fault: browsers show it opaque.
const clearBitmap = picture('clear.bmp', bitmap32(320, 200, (x, y) => [...scene(x, y), 0]));
// 16-bit samples whose low byte matters: browsers bring them to 8 bits
// otherwise than ezedudu-cli does.
const deep = (x, y) => scene(x, y).map((value, i) => value * 257 + ((x * 37 + y * 11 + i * 89) % 257) - 128 & 0xffff);
const deepPng = picture('deep.png', png(320, 200, 3, deep, { depth: 16, filtered: true }));
const deepGreyPng = picture('deep-grey.png', png(320, 200, 2, (x, y) => [deep(x, y)[0], (x + 2 * y) * 150 % 65536],
  { depth: 16, filtered: true }));
// Headers that say 3000 x 2000 pixels, with (next to) no pixel after them.
const hugePng = png(1, 1, 3, () => [0, 0, 0]);
hugePng.writeUInt32BE(3000, 16);
hugePng.writeUInt32BE(2000, 20);
const bytes = (...parts) => Buffer.concat(parts.map((part) => (typeof part === 'string'
  ? Buffer.from(part, 'latin1') : Buffer.from(part))));
const hugeHeaders = {
  'huge.png': hugePng,
  'huge.gif': bytes('GIF89a', [3000 & 255, 3000 >> 8, 2000 & 255, 2000 >> 8, 0, 0, 0]),
  'huge.jpg': bytes([0xff, 0xd8, 0xff, 0xe0, 0, 4, 0, 0, 0xff, 0xc0, 0, 11, 8, 2000 >> 8, 2000 & 255, 3000 >> 8,
    3000 & 255, 1, 1, 0x11, 0]),
  'huge.webp': bytes('RIFF', [30, 0, 0, 0], 'WEBPVP8L', [10, 0, 0, 0, 0x2f],
    new Uint8Array(new Uint32Array([2999 | (1999 << 14)]).buffer), [0, 0, 0, 0, 0, 0]),
};
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
  { name: 'a bitmap whose alpha is 0 in every pixel', file: clearBitmap, set: async () => {}, args: [],
    opaque: true },
  // Over any paper but black, alpha read back premultiplied shows.
  { name: 'a PNG with alpha over a coloured paper', file: alphaPng,
    set: (page) => page.fill('#option-background', '#102030').then(() => page.press('#option-background', 'Tab')),
    args: ['--background', '#102030'] },
  { name: 'a 16-bit PNG, every row filter', file: deepPng, set: async () => {}, args: [] },
  { name: 'a 16-bit grey PNG with alpha, every row filter', file: deepGreyPng, set: async () => {}, args: [] },
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
    if (c.opaque) assert.ok(nfo.bytes.includes(0xdb), 'the picture came out blank');
    const [shown, cliPreview] = await pixelsOf(page, (await downloaded(page, '#save-preview')).bytes, want.preview);
    assert.ok(shown === cliPreview, 'the preview differs from the CLI\'s --preview');
    await page.close();
  });
}

const refusals = [
  { name: 'a corrupt bitmap', file: corrupt, set: async () => {}, args: [] },
  { name: 'a PNG over the pixel limit', file: largePng, args: ['--max-megapixels', '1'],
    set: (page) => page.fill('#option-max-megapixels', '1') },
  // Refused before their data is read: ezedudu-cli reads the data first.
  ...Object.entries(hugeHeaders).map(([name, header]) => ({
    name: `${name}, over the pixel limit by its header alone`, file: picture(name, header),
    set: (page) => page.fill('#option-max-megapixels', '1'),
    reason: 'the picture has 3000 x 2000 pixels, over the limit of 1000000 pixels (raise it with --max-megapixels)',
  })),
];

for (const c of refusals) {
  test(`${c.name} shows the CLI's reason and offers nothing to save`, async () => {
    const page = await openPage(browser.context, server.url);
    await c.set(page);
    await afterArt(page, () => page.setInputFiles('#picture', c.file));
    const told = () => spawnSync(cli, [...c.args, c.file, '-o', path.join(work, 'refused.nfo')], { encoding: 'utf8' })
      .stderr.trim();
    const reason = c.reason || told().split(`${c.file}: `)[1];
    assert.ok(reason, c.name);
    assert.ok((await page.textContent('#status')).endsWith(`${reason}.`), reason);
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

// What the page shows and saves is one record: the name, the art and the
// settings of the same request.
async function savedArt(page) {
  const nfo = await downloaded(page, '#save-nfo');
  return { name: nfo.name, bytes: nfo.bytes, shownName: await page.textContent('#picture-name') };
}
// Types a value into a field and leaves it, as a user does.
async function setField(page, id, text) {
  await page.fill(id, text);
  await page.press(id, 'Tab');
}
const release = (page) => page.evaluate(() => window.releaseWorkers());
const hold = (page) => page.evaluate(() => window.holdWorkers());

async function readyHeldPage() {
  const page = await openPage(browser.context, server.url, { held: true });
  await release(page);
  await page.waitForSelector('body[data-engine="ready"]');
  return page;
}

const races = [
  { name: 'a picture opened before the engine is ready is converted with the columns shown',
    file: plainPng, args: [],
    provoke: async () => {
      const page = await openPage(browser.context, server.url, { held: true });
      await page.setInputFiles('#picture', plainPng);
      await release(page);
      return page;
    } },
  { name: 'of two pictures opened back to back, the second one\'s art is shown and saved under its name',
    file: plainPng, args: [],
    provoke: async () => {
      const page = await readyHeldPage();
      await hold(page);
      await page.evaluate(() => window.holdNextRead());
      await page.setInputFiles('#picture', largePng);
      await page.setInputFiles('#picture', plainPng);
      await page.evaluate(() => window.finishRead()); // the first picture's bytes come last
      return page;
    } },
  { name: 'Save while another picture loads saves the new picture\'s art',
    file: sample, args: [],
    provoke: async () => {
      const page = await readyHeldPage();
      await afterArt(page, () => page.setInputFiles('#picture', plainPng));
      await hold(page);
      await page.setInputFiles('#picture', sample);
      return page;
    } },
  { name: 'Save while the art of new settings is made saves that art',
    file: plainPng, args: ['--columns', '50'],
    provoke: async () => {
      const page = await readyHeldPage();
      await afterArt(page, () => page.setInputFiles('#picture', plainPng));
      await hold(page);
      await setField(page, '#option-columns', '50');
      return page;
    } },
];

for (const c of races) {
  test(c.name, async () => {
    const page = await c.provoke();
    // Pressed while the worker's answers are held back, and only then released.
    const download = page.waitForEvent('download');
    await page.click('#save-nfo', { timeout: 5000 });
    await release(page);
    const saved = { name: (await download).suggestedFilename(), bytes: fs.readFileSync(await (await download).path()),
      shownName: await page.textContent('#picture-name') };
    assert.equal(saved.name, path.basename(c.file).replace(/\.[^.]*$/, '.nfo'));
    assert.equal(saved.shownName, path.basename(c.file));
    assert.ok(saved.bytes.equals(runCli(c.args, c.file).nfo), 'the .nfo is not the art of the settings shown');
    await page.close();
  });
}

test('a long conversion can be cancelled, and the page goes on working', async () => {
  const page = await readyHeldPage();
  await afterArt(page, () => page.setInputFiles('#picture', plainPng));
  await hold(page);
  await setField(page, '#option-columns', '50');
  await page.click('#cancel');
  assert.equal(await page.inputValue('#option-columns'), '79', 'the settings of the art shown come back');
  assert.match(await page.textContent('#note'), /^Cancelled/);
  await release(page); // the stopped worker's answer is never shown
  assert.ok((await savedArt(page)).bytes.equals(runCli([], plainPng).nfo));
  await afterArt(page, () => setField(page, '#option-columns', '50'));
  assert.ok((await savedArt(page)).bytes.equals(runCli(['--columns', '50'], plainPng).nfo));
  await page.close();
});

test('a bad remembered value is forgotten with a note; a bad typed one marks its field and keeps the art', async () => {
  const page = await openPage(browser.context, server.url);
  await page.evaluate(() => localStorage.setItem('ezedudu.settings',
    JSON.stringify({ columns: 'wide', gamma: '99', invert: 'true' })));
  await page.reload();
  await page.waitForSelector('body[data-engine="ready"]');
  assert.match(await page.textContent('#note'), /Columns.*Gamma/);
  await afterArt(page, () => page.setInputFiles('#picture', plainPng));
  const art = await savedArt(page);
  assert.ok(art.bytes.equals(runCli(['--invert'], plainPng).nfo));

  const preview = () => page.evaluate(() => document.getElementById('preview').toDataURL());
  const before = await preview();
  await afterArt(page, () => setField(page, '#option-columns', '0'));
  assert.equal(await page.getAttribute('#option-columns', 'aria-invalid'), 'true');
  assert.match(await page.textContent('#problem'), /--columns/);
  assert.equal(await preview(), before, 'the last art stays');
  assert.ok(await page.isDisabled('#save-nfo'));
  // A picture opened meanwhile waits for the field to be fixed.
  await afterArt(page, () => page.setInputFiles('#picture', sample));
  assert.equal(await preview(), before, 'the last art stays');
  assert.match(await page.textContent('#status'), /^sample\.bmp is converted once the setting is fixed/);
  await afterArt(page, () => setField(page, '#option-columns', '79'));
  assert.equal(await page.getAttribute('#option-columns', 'aria-invalid'), null);
  assert.ok((await savedArt(page)).bytes.equals(runCli(['--invert'], sample).nfo));
  await page.close();
});

test('the colour picker sets the background; Reset goes back to the defaults, and Undo back again', async () => {
  const page = await openPage(browser.context, server.url);
  await afterArt(page, () => page.setInputFiles('#picture', alphaPng));
  await afterArt(page, () => page.fill('#option-background-picker', '#102030'));
  assert.equal(await page.inputValue('#option-background'), '#102030');
  assert.ok((await savedArt(page)).bytes.equals(runCli(['--background', '#102030'], alphaPng).nfo));
  await afterArt(page, () => setField(page, '#option-columns', '50'));

  await afterArt(page, () => page.click('#reset'));
  assert.deepEqual([await page.inputValue('#option-columns'), await page.inputValue('#option-background')], ['79', '']);
  assert.ok((await savedArt(page)).bytes.equals(runCli([], alphaPng).nfo));
  await afterArt(page, () => page.click('#undo'));
  assert.deepEqual([await page.inputValue('#option-columns'), await page.inputValue('#option-background')],
    ['50', '#102030']);
  await page.close();
});

test('the art is drawn at whole scales beside its picture, and stays in view on a phone', async () => {
  const page = await openPage(browser.context, server.url);
  for (const [width, height] of [[1280, 800], [900, 900], [390, 844]]) {
    await page.setViewportSize({ width, height });
    await afterArt(page, () => page.setInputFiles('#picture', sample));
    const shown = await page.evaluate(() => {
      const canvas = document.getElementById('preview');
      const picture = document.getElementById('picture-view');
      return { screenWidth: canvas.clientWidth * devicePixelRatio, width: canvas.width,
        pictureShown: !picture.closest('[hidden]') && picture.width > 0 };
    });
    const scale = shown.screenWidth / shown.width;
    assert.ok(Number.isInteger(scale) && scale >= 1, `${width} wide: ${scale} screen pixels a pixel`);
    assert.ok(shown.pictureShown, `${width} wide: the picture is not shown`);
  }
  // A phone: the art stays on the screen while the last slider moves.
  await page.locator('#option-sharpen').scrollIntoViewIfNeeded();
  await afterArt(page, () => page.focus('#option-sharpen').then(() => page.keyboard.press('ArrowRight')));
  const art = await page.locator('#preview').boundingBox();
  assert.ok(art.y >= 0 && art.y + art.height <= 844, `the art is at ${art.y} to ${art.y + art.height}`);
  await page.close();
});

// A template beside its pictures, for ezedudu-cli --compose; the page is given
// the same pictures by its picker, and matches them by file name alone.
const composeFolder = fs.mkdtempSync(path.join(work, 'compose-'));
fs.mkdirSync(path.join(composeFolder, 'pictures'));
const templatePictures = [[sample, 'sample.bmp'], [plainPng, 'pictures/scene.png']].map(([file, name]) => {
  fs.copyFileSync(file, path.join(composeFolder, name));
  return file;
});
const template = ['{{center}}', '{{logo ZOR --font standard}}', '{{/center}}', '{{box double "RELEASE"}}',
  'Title: {{title}}', '{{art sample.bmp --columns 30}}', '{{/box}}', '{{art pictures/scene.png --dither ordered}}',
  ''].join('\n');

function composeCli(text, ...args) {
  const file = path.join(composeFolder, 'release.txt');
  fs.writeFileSync(file, text);
  const run = spawnSync(cli, ['--compose', file, '-o', '-', ...args]);
  return { nfo: run.stdout, fault: run.stderr.toString().trim().replace(`${file}:`, '') };
}

async function composePage() {
  const page = await openPage(browser.context, server.url + '#compose');
  await afterPage(page, () => page.setInputFiles('#add-pictures', templatePictures));
  const file = path.join(work, 'release.txt');
  fs.writeFileSync(file, template);
  await afterPage(page, () => page.setInputFiles('#open-template', file));
  await afterPage(page, () => page.fill('#field-title', 'Ezedudu 3.0'));
  return page;
}

test('a template composed in the page saves the bytes of ezedudu-cli --compose', async () => {
  const page = await composePage();
  const nfo = await downloaded(page, '#save-page');
  assert.equal(nfo.name, 'release.nfo');
  assert.ok(nfo.bytes.equals(composeCli(template, '--set', 'title=Ezedudu 3.0').nfo),
    'the .nfo differs from the CLI\'s');
  await page.close();
});

test('the scene example is inside the page, with its fields and picture: the CLI\'s bytes', async () => {
  const page = await openPage(browser.context, server.url + '#compose');
  await page.waitForSelector('#field-date');
  await afterPage(page, () => page.fill('#field-date', '2026-01-02'));
  const example = path.join(root, 'examples/scene-release');
  const want = execFileSync(cli, ['--compose', `${example}.txt`, '--fields', `${example}.fields`, '--set',
    'date=2026-01-02', '-o', '-']);
  assert.ok((await downloaded(page, '#save-page')).bytes.equals(want));
  await page.close();
});

test('Save while the template is composed saves the file of the template shown', async () => {
  const page = await openPage(browser.context, server.url + '#compose', { held: true });
  await release(page);
  await page.waitForSelector('body[data-page="ready"]');
  await hold(page);
  for (const title of ['First', 'Second']) await page.fill('#template', `{{box single "${title}"}}\n{{/box}}`);
  const download = page.waitForEvent('download');
  await page.click('#save-page', { timeout: 5000 });
  await release(page);
  const saved = fs.readFileSync(await (await download).path());
  assert.ok(saved.equals(composeCli('{{box single "Second"}}\n{{/box}}').nfo), saved.toString('latin1'));
  await page.close();
});

test('a fault in the template, or a picture not added, is told at its line and the last file stays', async () => {
  const page = await composePage();
  const preview = () => page.evaluate(() => document.getElementById('page-preview').toDataURL());
  const before = await preview();
  const faults = [
    { text: template.replace('{{/box}}\n', ''), line: 4 },
    { text: template.replace('scene.png', 'missing.png'), line: 8,
      says: /^pictures\/missing\.png: no picture of this name/ },
  ];
  for (const fault of faults) {
    await afterPage(page, () => page.fill('#template', fault.text));
    const cli = composeCli(fault.text, '--set', 'title=Ezedudu 3.0').fault;
    const [where, told] = [cli.split(': ')[0], await page.textContent('#compose-problem')];
    assert.equal(where, `${fault.line}:1`, cli);
    const [line, rest] = told.split(/, column \d+: /);
    assert.equal(line, `Line ${fault.line}`, told);
    if (fault.says) assert.match(rest, fault.says);
    else assert.ok(rest.startsWith(cli.slice(where.length + 2)), `${told} against ${cli}`);
    assert.equal(await page.textContent('#gutter .fault'), String(fault.line));
    assert.equal(await preview(), before, 'the last file stays');
    assert.ok(await page.isDisabled('#save-page'));
  }
  await page.close();
});
