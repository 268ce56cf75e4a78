// Debian's Chromium driven through playwright-core, which is installed into
// build/web-test/ by scripts/install-deps web-test; never a downloaded
// browser. Shared by the page's tests and its benchmark.
import { createRequire } from 'node:module';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const { chromium } = createRequire(path.join(root, 'build/web-test/'))('playwright-core');

export const PagePath = path.join(root, 'build/web/index.html');

export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'ezedudu-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    acceptDownloads: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
  return {
    context,
    async close() {
      await context.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

// Serves the built page from a port of its own, as any static server would.
export async function serve() {
  const server = http.createServer((request, response) => {
    if (request.url !== '/' && request.url !== '/index.html') {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' }).end(fs.readFileSync(PagePath));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}

// Runs action and waits until the page shows the art (or the error) it led to.
export async function afterArt(page, action) {
  const before = await page.evaluate(() => Number(document.body.dataset.renders || 0));
  await action();
  await page.waitForFunction((count) => Number(document.body.dataset.renders || 0) > count &&
    document.body.dataset.state !== 'busy', before);
}

// Runs action and waits until the page shows the whole file (or the fault)
// of the template it led to.
export async function afterPage(page, action) {
  const before = await page.evaluate(() => Number(document.body.dataset.pages || 0));
  await action();
  await page.waitForFunction((count) => Number(document.body.dataset.pages || 0) > count &&
    document.body.dataset.page !== 'busy', before);
}

// Lets a test hold back what the page's workers answer (holdWorkers() until
// releaseWorkers()), and the next file read (holdNextRead() until
// finishRead()), so that it provokes a race the same way every time. The
// page starts held.
function steerWorkers() {
  const hold = () => { window.workerGate = new Promise((resolve) => { window.releaseWorkers = resolve; }); };
  window.holdWorkers = hold;
  hold();
  const RealWorker = Worker;
  window.Worker = class extends RealWorker {
    set onmessage(handler) {
      super.onmessage = (event) => { window.workerGate.then(() => handler(event)); };
    }
  };
  const read = Blob.prototype.arrayBuffer;
  let readGate = null;
  window.holdNextRead = () => { readGate = new Promise((resolve) => { window.finishRead = resolve; }); };
  Blob.prototype.arrayBuffer = function () {
    const bytes = read.call(this);
    const gate = readGate;
    readGate = null;
    return gate ? gate.then(() => bytes) : bytes;
  };
}

// The page with the settings it remembers cleared, or kept; with held
// workers, steered by steerWorkers() and not yet released.
export async function openPage(context, url, { keepSettings = false, held = false } = {}) {
  const page = await context.newPage();
  page.on('pageerror', (error) => { throw error; });
  if (held) await page.addInitScript(steerWorkers);
  await page.goto(url);
  if (!keepSettings) {
    await page.evaluate(() => localStorage.clear());
    await page.reload();
  }
  if (!held) await page.waitForSelector('body[data-engine="ready"]');
  return page;
}
