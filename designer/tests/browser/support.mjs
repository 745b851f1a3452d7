// What the browser checks share: the program, the colour maths, one
// Chromium and pages opened from a server on 127.0.0.1 that refuses every
// other request.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import puppeteer from 'puppeteer-core';

export const program = process.env.TAVISHFENNIC;
export const templates = process.env.FENNIC_TEMPLATES;
const chromium = process.env.FENNIC_CHROMIUM || '/usr/bin/chromium';
if (!program || !templates) throw new Error('set TAVISHFENNIC and FENNIC_TEMPLATES');

export const workFile = (name) => path.join(templates, `${name}_PageletServer.FennicButton.pgt`);
export const templateNames = () =>
  fs.readdirSync(templates).filter((f) => f.endsWith('.pgt')).map((f) => f.split('_')[0]).sort();

const offscreen = { ...process.env, QT_QPA_PLATFORM: 'offscreen' };
// tavishfennic with args; throws with its stderr when it fails.
export function run(args) {
  const r = spawnSync(program, args, { env: offscreen });
  if (r.status !== 0) throw new Error(`tavishfennic ${args.join(' ')}: status ${r.status}\n${r.stderr}`);
  return r.stdout.toString();
}
// Each check is one test; the closing line counts them.
export const counts = { passed: 0, failed: 0 };
export function check(name, fn) {
  test(name, async (t) => {
    try {
      await fn(t);
      counts.passed++;
    } catch (e) {
      counts.failed++;
      throw e;
    }
  });
}

export function luminance([r, g, b]) {
  const f = (v) => {
    const c = v / 255;
    return c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4;
  };
  return 0.2126 * f(r) + 0.7152 * f(g) + 0.0722 * f(b);
}
export function contrast(a, b) {
  const [x, y] = [luminance(a), luminance(b)].sort((p, q) => q - p);
  return (x + 0.05) / (y + 0.05);
}
export function colours(text) {
  return [...text.matchAll(/rgba?\(([\d.]+),\s*([\d.]+),\s*([\d.]+)/g)].map((m) => [+m[1], +m[2], +m[3]]);
}
export const pause = (ms) => new Promise((r) => setTimeout(r, ms));

// A server for root: headers(urlPath) gives extra response headers (a
// Content-Security-Policy for some folders).
export async function serve(root, headers = () => ({})) {
  const server = http.createServer((req, res) => {
    const urlPath = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const file = path.join(root, urlPath);
    if (!file.startsWith(root) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      res.writeHead(404).end();
      return;
    }
    // No charset from the server: the page's own bytes and meta decide.
    const type = file.endsWith('.svg') ? 'image/svg+xml' : file.endsWith('.css') ? 'text/css' : 'text/html';
    res.writeHead(200, { 'Content-Type': type, ...headers(urlPath) }).end(fs.readFileSync(file));
  });
  await new Promise((r) => server.listen(0, '127.0.0.1', r));
  return { server, origin: `http://127.0.0.1:${server.address().port}` };
}

export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'fennic-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--no-first-run', '--disable-default-apps', '--disable-extensions',
      '--force-device-scale-factor=1'],
  });
  return { browser, profile };
}

// A page of origin opened in browser; navigations elsewhere are refused and
// recorded. The pictures in <object> have loaded (or failed) when it returns.
export async function openPage(browser, origin, url, { media = [], width = 1000, navigations = [] } = {}) {
  const page = await browser.newPage();
  await page.setViewport({ width, height: 900 });
  await page.setRequestInterception(true);
  page.on('request', (req) => {
    if (req.url().startsWith(origin)) req.continue();
    else {
      if (req.isNavigationRequest()) navigations.push(req.url());
      req.abort();
    }
  });
  // Through the protocol: puppeteer's own list lacks forced-colors.
  const cdp = await page.createCDPSession();
  await cdp.send('Emulation.setEmulatedMedia', { media: '', features: media });
  await page.goto(`${origin}/${url}`, { waitUntil: 'load' });
  await page.waitForFunction(() => [...document.querySelectorAll('object')].every((o) => o.contentDocument?.readyState === 'complete'), { timeout: 3000 }).catch(() => {});
  return page;
}
