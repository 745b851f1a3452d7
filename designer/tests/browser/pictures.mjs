// The README's pictures of a published page: two buttons, the first focused
// from the keyboard, on a light page, a dark one and in forced colours; and
// close up, one button on the line of its text, focused from the keyboard.
//   TAVISHFENNIC=... FENNIC_TEMPLATES=... node pictures.mjs OUT_DIR
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const out = path.resolve(process.argv[2] || 'docs');
const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'fennic-pictures-'));
const page = path.join(dir, 'index.html');
fs.writeFileSync(page, `<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Spring offers</title>
<style>:root { color-scheme: light dark; } body { margin: 0; padding: 1rem 2rem; font: 1rem/1.6 system-ui, sans-serif; background: #fff; color: #1a1a1a; max-width: 36rem; }
@media (prefers-color-scheme: dark) { body { background: #121212; color: #e8e8e8; } }</style>
</head><body><h1>Spring offers</h1>
<p>Our new season starts today. Read the story, then <!-- button --> and tell your friends.</p>
<p>Prefer to talk first? <!-- other --> We answer within a day.</p>
</body></html>
`);
const publish = (name, marker) => execFileSync(process.env.TAVISHFENNIC, ['--publish',
  path.join(process.env.FENNIC_TEMPLATES, `${name}_PageletServer.FennicButton.pgt`), '--form', 'link', '--out', path.join(dir, name),
  '--into', page, ...(marker ? ['--marker', marker] : [])], { env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' } });
publish('Ocean');
publish('Sunset', '<!-- other -->');
const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
  userDataDir: path.join(dir, 'chromium'),
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run', '--force-device-scale-factor=1'] });
for (const [file, features] of [['light', [{ name: 'prefers-color-scheme', value: 'light' }]],
  ['dark', [{ name: 'prefers-color-scheme', value: 'dark' }]],
  ['forced', [{ name: 'forced-colors', value: 'active' }]]]) {
  const tab = await browser.newPage();
  await tab.setViewport({ width: 640, height: 300 });
  await tab.setRequestInterception(true);
  tab.on('request', (r) => (r.url().startsWith('file:') ? r.continue() : r.abort()));
  const cdp = await tab.createCDPSession();
  await cdp.send('Emulation.setEmulatedMedia', { media: '', features });
  await tab.goto(`file://${page}`);
  await tab.keyboard.press('Tab');
  await tab.keyboard.press('Tab');
  await tab.screenshot({ path: path.join(out, `tavishfennic-page-${file}.png`) });
  await tab.close();
}
{
  const close = path.join(dir, 'line.html');
  fs.writeFileSync(close, `<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>On the line</title>
<style>body { margin: 0; padding: 1rem; font: 1rem/1.6 system-ui, sans-serif; background: #fff; color: #1a1a1a; }</style>
</head><body><p>Read the story, then <!-- button --> and tell your friends.</p></body></html>
`);
  execFileSync(process.env.TAVISHFENNIC, ['--publish',
    path.join(process.env.FENNIC_TEMPLATES, 'Ocean_PageletServer.FennicButton.pgt'), '--form', 'link',
    '--out', path.join(dir, 'line'), '--into', close], { env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' } });
  const tab = await browser.newPage();
  await tab.setViewport({ width: 560, height: 84 });
  await tab.setRequestInterception(true);
  tab.on('request', (r) => (r.url().startsWith('file:') ? r.continue() : r.abort()));
  await tab.goto(`file://${close}`);
  await tab.keyboard.press('Tab');
  await tab.screenshot({ path: path.join(out, 'tavishfennic-html-focus.png') });
  await tab.close();
}
await browser.close();
fs.rmSync(dir, { recursive: true, force: true });
