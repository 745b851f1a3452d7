// The README's pictures of a published page: two buttons, the first focused
// from the keyboard, on a light page, a dark one and in forced colours; and
// close up, one button on the line of its text, focused from the keyboard;
// a button on a page whose theme colours and underlines its links, and two
// under a strict Content-Security-Policy (style-src 'self').
//   TAVISHFENNIC=... FENNIC_TEMPLATES=... node pictures.mjs OUT_DIR
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';
import { serve } from './support.mjs';

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
{
  // Served, so that the policy comes as a header, as sites send it.
  const site = path.join(dir, 'site');
  fs.mkdirSync(path.join(site, 'csp'), { recursive: true });
  const head = `<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>%TITLE%</title>
<link rel="stylesheet" href="site.css">
</head><body><main class="content"><h2>%TITLE%</h2>
%BODY%
</main></body></html>
`;
  const siteCss = `body { margin: 0; padding: 0.5rem 1rem; font: 1rem/1.6 system-ui, sans-serif; background: #fff; color: #1a1a1a; }
a:link, a:visited { color: #0645ad; text-decoration: underline; }
.content a { color: #c00000; text-decoration: underline dotted; border-bottom: 1px solid currentColor; }
`;
  const page = (title, body) => head.replaceAll('%TITLE%', title).replace('%BODY%', body);
  fs.writeFileSync(path.join(site, 'site.css'), siteCss);
  fs.writeFileSync(path.join(site, 'csp', 'site.css'), siteCss);
  fs.writeFileSync(path.join(site, 'theme.html'), page('A theme that colours and underlines links',
    '<p>Read <a href="#story">the story</a>, then <!-- button --> and tell your friends.</p>'));
  fs.writeFileSync(path.join(site, 'csp', 'index.html'), page("Content-Security-Policy: style-src 'self'",
    '<p>As a link: <!-- button --> and as an SVG picture: <!-- svg --></p>'));
  const run = (args) => execFileSync(process.env.TAVISHFENNIC, ['--publish',
    path.join(process.env.FENNIC_TEMPLATES, 'Ocean_PageletServer.FennicButton.pgt'), ...args],
  { env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' } });
  run(['--form', 'link', '--out', path.join(dir, 'theme'), '--into', path.join(site, 'theme.html')]);
  run(['--form', 'link', '--style', 'file', '--out', path.join(dir, 'csp'), '--into', path.join(site, 'csp', 'index.html')]);
  run(['--form', 'svg', '--style', 'file', '--out', path.join(dir, 'csp-svg'), '--into', path.join(site, 'csp', 'index.html'),
    '--marker', '<!-- svg -->']);
  const policy = "default-src 'none'; style-src 'self'; img-src 'self'; object-src 'self'; frame-src 'self'";
  const { server, origin } = await serve(site, (p) => (p.startsWith('/csp/') ? { 'Content-Security-Policy': policy } : {}));
  for (const [url, file, tabs] of [['theme.html', 'tavishfennic-theme.png', 2], ['csp/index.html', 'tavishfennic-csp.png', 1]]) {
    const tab = await browser.newPage();
    await tab.setViewport({ width: 640, height: 150 });
    await tab.setRequestInterception(true);
    tab.on('request', (r) => (r.url().startsWith(origin) ? r.continue() : r.abort()));
    await tab.goto(`${origin}/${url}`, { waitUntil: 'load' });
    for (let i = 0; i < tabs; i++) await tab.keyboard.press('Tab');
    await tab.screenshot({ path: path.join(out, file) });
    await tab.close();
  }
  server.close();
}
await browser.close();
fs.rmSync(dir, { recursive: true, force: true });
