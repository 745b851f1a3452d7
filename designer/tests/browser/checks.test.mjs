// Publishes every shipped template in every form with `tavishfennic
// --publish`, puts each twice into a realistic page beside a second,
// different button, and checks the result in headless Chromium: axe-core
// (WCAG 2.0 to 2.2 A and AA, target size), the contrast of every state on a
// light and a dark page, a focus indicator that changes enough pixels by
// 3:1, keyboard activation, forced colours, reduced motion, 200 % text, a
// right-to-left page, a valid page (style in the head once, no duplicate
// ids) and pages in UTF-8, UTF-16 and Windows-1252 that keep every character.
// Nothing leaves the machine: pages come from a server on 127.0.0.1 and
// every other request is refused.

import { before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';
import puppeteer from 'puppeteer-core';
import { check, colours, contrast, counts, pause } from './support.mjs';

const require = createRequire(import.meta.url);
const axeSource = fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');

const program = process.env.TAVISHFENNIC;
const templates = process.env.FENNIC_TEMPLATES;
const chromium = process.env.FENNIC_CHROMIUM || '/usr/bin/chromium';
if (!program || !templates) throw new Error('set TAVISHFENNIC and FENNIC_TEMPLATES');

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'fennic-browser-'));
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'fennic-chromium-'));
const forms = ['link', 'button', 'svg'];
const names = fs.readdirSync(templates).filter((f) => f.endsWith('.pgt')).map((f) => f.split('_')[0]).sort();

// ---------------------------------------------------------------- pages

const PAGE = (dir, title, extraHead = '') => `<!DOCTYPE html>
<html lang="en" dir="${dir}">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>${title}</title>
<style>
:root { color-scheme: light dark; }
body { margin: 0; font: 1rem/1.6 system-ui, sans-serif; background: #ffffff; color: #1a1a1a; }
@media (prefers-color-scheme: dark) { body { background: #121212; color: #e8e8e8; } a { color: #9cc4ff; } }
header, main, footer { padding: 1rem 2rem; max-width: 48rem; }
</style>
${extraHead}</head>
<body>
<header><nav aria-label="Site"><a href="/index.html">Home</a> · <a href="/about.html">About</a></nav></header>
<main>
<h1>Spring offers</h1>
<p>Our new season starts today. Read the story, then <!-- button --> and tell your friends about it.</p>
<p>Prefer to talk first? <!-- other --> We answer within a day.</p>
<p>One more chance at the end of the page: <!-- button --></p>
</main>
<footer><p>Small print goes here.</p></footer>
</body>
</html>
`;

const workFile = (name) => path.join(templates, `${name}_PageletServer.FennicButton.pgt`);

// A shipped template must pass the editor's checks in every form: the
// publishing fails (and with it the harness) where one does not.
function publish(name, form, out, into = [], marker, work = workFile(name)) {
  const args = ['--publish', work, '--form', form, '--out', out];
  for (const page of into) args.push('--into', page);
  if (marker) args.push('--marker', marker);
  if (work === workFile(name)) args.push('--check');
  execFileSync(program, args, { env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' }, stdio: 'pipe' });
}

function otherOf(name) {
  return name === 'Graphite' ? 'Mint' : 'Graphite';
}

// One folder per template and form: the page with the button twice and the
// other button once, and a right-to-left copy. With addressless, the
// template without its address: a button for the page's own script.
function makePages(name, form, addressless = false) {
  const dir = path.join(work, `${addressless ? 'nowhere-' : ''}${name}-${form}`);
  fs.mkdirSync(dir, { recursive: true });
  let from = workFile(name);
  if (addressless) {
    from = path.join(dir, path.basename(from));
    fs.writeFileSync(from, fs.readFileSync(workFile(name), 'utf8').replace(/^Link = .*$/m, 'Link = ""'));
  }
  for (const [file, direction] of [['page.html', 'ltr'], ['rtl.html', 'rtl']]) {
    const page = path.join(dir, file);
    fs.writeFileSync(page, PAGE(direction, `${name} as ${form}`));
    publish(name, form, dir, [page, page], undefined, from);
    // The other button's picture goes beside the page, where its code looks.
    publish(otherOf(name), form, path.join(dir, 'other'), [page], '<!-- other -->');
  }
  return dir;
}

// The same page in three encodings, with characters each can and cannot hold.
const TEXT_UTF = 'Grüße – “Ünïcode” ✓ 𝄞 naïve café';
const TEXT_1252 = 'Grüße – “Ünïcode” naïve café €';
function makeEncodedPages(name, form) {
  const dir = path.join(work, `enc-${name}-${form}`);
  fs.mkdirSync(dir, { recursive: true });
  const pages = {};
  const body = (text, charset) =>
    PAGE('ltr', 'Encodings').replace('<meta charset="utf-8">', charset ? `<meta charset="${charset}">` : '')
      .replace('Our new season starts today.', `<span id="probe">${text}</span>`)
      .replace(/\n/g, '\r\n');
  pages.utf8 = path.join(dir, 'utf8.html');
  fs.writeFileSync(pages.utf8, body(TEXT_UTF, 'utf-8'));
  pages.utf16 = path.join(dir, 'utf16.html');
  fs.writeFileSync(pages.utf16, Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(body(TEXT_UTF, ''), 'utf16le')]));
  pages.w1252 = path.join(dir, 'w1252.html');
  fs.writeFileSync(pages.w1252, encode1252(body(TEXT_1252, 'windows-1252')));
  const before = Object.fromEntries(Object.entries(pages).map(([k, p]) => [k, fs.readFileSync(p)]));
  for (const p of Object.values(pages)) publish(name, form, dir, [p, p]);
  return { dir, pages, before };
}

function encode1252(text) {
  const high = { '€': 0x80, '–': 0x96, '“': 0x93, '”': 0x94 };
  return Buffer.from([...text].map((c) => high[c] ?? c.charCodeAt(0)));
}

// ---------------------------------------------------------------- browser

let browser;
let server;
let origin;
const navigations = [];

before(async () => {
  for (const name of names) for (const form of forms) makePages(name, form);
  for (const name of names) for (const form of forms) makePages(name, form, true);
  server = http.createServer((req, res) => {
    const file = path.join(work, decodeURIComponent(new URL(req.url, 'http://x').pathname));
    if (!file.startsWith(work) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      res.writeHead(404).end();
      return;
    }
    // No charset from the server: the page's own bytes and meta decide.
    const type = file.endsWith('.svg') ? 'image/svg+xml' : 'text/html';
    res.writeHead(200, { 'Content-Type': type }).end(fs.readFileSync(file));
  });
  await new Promise((r) => server.listen(0, '127.0.0.1', r));
  origin = `http://127.0.0.1:${server.address().port}`;
  browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--no-first-run', '--disable-default-apps', '--disable-extensions',
      '--force-device-scale-factor=1'],
  });
});

after(async () => {
  await browser?.close();
  server?.close();
  fs.rmSync(work, { recursive: true, force: true });
  fs.rmSync(profile, { recursive: true, force: true });
  console.log(`${counts.passed} passed, ${counts.failed} failed`);
});

async function open(url, media = []) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 900 });
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
  // Pictures in <object> load after the page.
  await page.waitForFunction(() => [...document.querySelectorAll('object')].every((o) => o.contentDocument?.readyState === 'complete'), { timeout: 5000 }).catch(() => {});
  return page;
}

// The first of our buttons (two share the look): its box and, for the SVG
// form, its picture's document.
async function ourButton(page) {
  return page.evaluateHandle(() => {
    const all = [...document.querySelectorAll('[class^="fb-"]')];
    return all[0];
  });
}

// The state's text and fill colours as the browser computes them.
async function stateColours(page, form) {
  return page.evaluate((form) => {
    const el = document.querySelector('[class^="fb-"]');
    if (form !== 'svg') {
      const cs = getComputedStyle(el);
      return { text: cs.color, fill: cs.backgroundImage !== 'none' ? cs.backgroundImage : cs.backgroundColor };
    }
    const doc = el.contentDocument;
    const face = doc.querySelector('.fb-face');
    const label = doc.querySelector('.fb-label');
    let fill = getComputedStyle(face).fill;
    const ref = /url\("?#([^")]+)"?\)/.exec(fill);
    if (ref) fill = [...doc.getElementById(ref[1]).querySelectorAll('stop')].map((s) => getComputedStyle(s).stopColor).join(' ');
    return { text: getComputedStyle(label).fill, fill };
  }, form);
}

async function focusByKeyboard(page) {
  // Tab from the top until one of our buttons (or the link in its picture) has the focus.
  await page.evaluate(() => document.activeElement?.blur());
  for (let i = 0; i < 12; i++) {
    await page.keyboard.press('Tab');
    const ours = await page.evaluate(() => {
      const a = document.activeElement;
      return !!a && (a.className?.toString().startsWith('fb-') || a.tagName === 'OBJECT');
    });
    if (ours) return true;
  }
  return false;
}

async function centre(page) {
  const box = await (await ourButton(page)).boundingBox();
  return { x: box.x + box.width / 2, y: box.y + box.height / 2, box };
}

async function region(page, box, pad = 10) {
  return page.screenshot({ clip: { x: Math.max(0, box.x - pad), y: Math.max(0, box.y - pad), width: box.width + 2 * pad, height: box.height + 2 * pad }, encoding: 'binary', type: 'png' });
}

// Pixels of two same-sized screenshots that differ by 3:1 or more.
async function changedPixels(page, a, b) {
  return page.evaluate(async (a, b) => {
    const load = async (bytes) => {
      const img = await createImageBitmap(new Blob([new Uint8Array(bytes)], { type: 'image/png' }));
      const c = new OffscreenCanvas(img.width, img.height);
      const g = c.getContext('2d');
      g.drawImage(img, 0, 0);
      return g.getImageData(0, 0, img.width, img.height).data;
    };
    const [x, y] = [await load(a), await load(b)];
    const lum = (r, g, b) => [r, g, b].map((v) => (v / 255 <= 0.04045 ? v / 255 / 12.92 : ((v / 255 + 0.055) / 1.055) ** 2.4)).reduce((s, v, i) => s + v * [0.2126, 0.7152, 0.0722][i], 0);
    let n = 0;
    for (let i = 0; i < x.length; i += 4) {
      const p = lum(x[i], x[i + 1], x[i + 2]);
      const q = lum(y[i], y[i + 1], y[i + 2]);
      if ((Math.max(p, q) + 0.05) / (Math.min(p, q) + 0.05) >= 3) n++;
    }
    return n;
  }, [...a], [...b]);
}

// Pixels of two same-sized screenshots that differ at all.
async function differentPixels(page, a, b) {
  return page.evaluate(async (a, b) => {
    const load = async (bytes) => {
      const img = await createImageBitmap(new Blob([new Uint8Array(bytes)], { type: 'image/png' }));
      const c = new OffscreenCanvas(img.width, img.height);
      const g = c.getContext('2d');
      g.drawImage(img, 0, 0);
      return g.getImageData(0, 0, img.width, img.height).data;
    };
    const [x, y] = [await load(a), await load(b)];
    let n = 0;
    for (let i = 0; i < x.length; i += 4) if (x[i] !== y[i] || x[i + 1] !== y[i + 1] || x[i + 2] !== y[i + 2]) n++;
    return n;
  }, [...a], [...b]);
}


// Normal, hover and pressed pictures of the button at box: each look must
// differ from the one before in a tenth of the button's pixels or more.
async function looksDiffer(page, box, x, y) {
  // The press is a click: the link stays where it is.
  await page.evaluate(() => {
    const stay = (e) => e.preventDefault();
    document.addEventListener('click', stay, true);
    for (const o of document.querySelectorAll('object')) o.contentDocument?.addEventListener('click', stay, true);
  });
  const normal = await region(page, box);
  await page.mouse.move(x, y);
  await pause(250);
  const hover = await region(page, box);
  await page.mouse.down();
  await pause(250);
  const pressed = await region(page, box);
  await page.mouse.up();
  const enough = 0.1 * box.width * box.height;
  const hovered = await differentPixels(page, normal, hover);
  const pressedChange = await differentPixels(page, hover, pressed);
  assert.ok(hovered >= enough, `hover changes ${hovered} pixels, ${Math.round(enough)} wanted`);
  assert.ok(pressedChange >= enough, `press changes ${pressedChange} pixels, ${Math.round(enough)} wanted`);
}

// ---------------------------------------------------------------- checks

for (const name of names) {
  for (const form of forms) {
    const url = `${name}-${form}/page.html`;
    const label = `${name} ${form}`;

    check(`${label}: the page is valid (style in the head once, no duplicate ids)`, async () => {
      const html = fs.readFileSync(path.join(work, `${name}-${form}`, 'page.html'), 'utf8');
      const head = html.slice(0, html.indexOf('</head>'));
      const bodyPart = html.slice(html.indexOf('<body'));
      const ours = /class="(fb-[a-z0-9-]+)"/.exec(bodyPart)[1];
      assert.equal(head.split(`.${ours} `).length - 1 + head.split(`.${ours}{`).length - 1 >= 1, true, 'style in head');
      assert.equal((html.match(new RegExp(`<style>\\n(object)?(\\.${ours})+ `, 'g')) || []).length, 1, 'one style block per look');
      assert.ok(!/<style/.test(bodyPart), 'no style in the body');
      assert.equal((bodyPart.match(new RegExp(`class="${ours}"`, 'g')) || []).length, 2, 'the button twice');
      assert.ok(!/onclick|<script/i.test(html), 'no script');
      const page = await open(url);
      const dup = await page.evaluate(() => {
        const ids = [...document.querySelectorAll('[id]')].map((e) => e.id);
        return ids.filter((id, i) => ids.indexOf(id) !== i);
      });
      await page.close();
      assert.deepEqual(dup, []);
    });

    for (const scheme of ['light', 'dark']) {
      check(`${label}: axe-core finds nothing on a ${scheme} page`, async () => {
        const page = await open(url, [{ name: 'prefers-color-scheme', value: scheme }]);
        await page.evaluate(axeSource);
        const result = await page.evaluate(() => axe.run(document, {
          runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa'] },
          rules: { 'target-size': { enabled: true } },
        }));
        await page.close();
        assert.deepEqual(result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`), []);
      });

      check(`${label}: every state's text reads at 4.5:1 on a ${scheme} page`, async () => {
        const page = await open(url, [{ name: 'prefers-color-scheme', value: scheme }]);
        const { x, y } = await centre(page);
        const looks = {};
        looks.normal = await stateColours(page, form);
        await focusByKeyboard(page);
        looks.focus = await stateColours(page, form);
        await page.mouse.move(x, y);
        await new Promise((r) => setTimeout(r, 250));
        looks.hover = await stateColours(page, form);
        await page.mouse.down();
        await new Promise((r) => setTimeout(r, 250));
        looks.pressed = await stateColours(page, form);
        await page.mouse.up();
        await page.close();
        const low = [];
        for (const [state, look] of Object.entries(looks)) {
          const text = colours(look.text)[0];
          for (const fill of colours(look.fill)) {
            const ratio = contrast(text, fill);
            if (ratio < 4.5) low.push(`${state} ${ratio.toFixed(2)}:1`);
          }
        }
        assert.deepEqual(low, []);
      });

      check(`${label}: the focus indicator changes enough pixels by 3:1 on a ${scheme} page`, async () => {
        const page = await open(url, [{ name: 'prefers-color-scheme', value: scheme }]);
        const { box } = await centre(page);
        const before = await region(page, box);
        assert.ok(await focusByKeyboard(page), 'Tab reaches the button');
        await new Promise((r) => setTimeout(r, 250));
        const after = await region(page, box);
        const changed = await changedPixels(page, before, after);
        // The HTML forms draw the ring as an outline, which forced colours keep.
        const outline = await page.evaluate(() => {
          const s = getComputedStyle(document.activeElement);
          return `${s.outlineStyle} ${parseFloat(s.outlineWidth)}`;
        });
        await page.close();
        if (form !== 'svg') assert.ok(!outline.startsWith('none') && !outline.endsWith(' 0'), `outline: ${outline}`);
        // A 2 px line around the button: twice its perimeter.
        const needed = 2 * 2 * (box.width + box.height);
        assert.ok(changed >= needed, `${changed} changed pixels, ${Math.round(needed)} needed`);
      });
    }

    check(`${label}: Enter on the focused button ${form === 'button' ? 'presses it' : 'follows its link'}`, async () => {
      const page = await open(url);
      navigations.length = 0;
      assert.ok(await focusByKeyboard(page));
      if (form === 'button') {
        // The <button> form is a <button>: Enter presses it for the page.
        await page.evaluate(() => {
          window.pressed = 0;
          document.activeElement.addEventListener('click', () => { window.pressed++; });
        });
        await page.keyboard.press('Enter');
        const pressed = await page.evaluate(() => window.pressed);
        await page.close();
        assert.equal(pressed, 1);
        assert.deepEqual(navigations, []);
        return;
      }
      if (form === 'svg') {
        // Tab went into the picture, onto its link, which takes the key.
        const inside = await page.evaluate(() => document.activeElement.contentDocument?.activeElement?.tagName);
        assert.equal(inside, 'a', 'focus on the link inside the picture');
      }
      await page.keyboard.press('Enter');
      await new Promise((r) => setTimeout(r, 500));
      await page.close();
      assert.ok(navigations.some((u) => u.startsWith('https://www.example.com/')), `navigations: ${navigations}`);
    });

    check(`${label}: hover and press each change the button's look`, async () => {
      const page = await open(url);
      const { x, y, box } = await centre(page);
      try {
        await looksDiffer(page, box, x, y);
      } finally {
        await page.close();
      }
    });

    check(`${label}: the button sits on the line of the text before it`, async () => {
      const page = await open(url);
      const where = await page.evaluate(() => {
        const el = document.querySelector('[class^="fb-"]');
        const r = el.getBoundingClientRect();
        let t = el.previousSibling;
        while (t && (t.nodeType !== Node.TEXT_NODE || !t.textContent.trim())) t = t.previousSibling;
        if (!t) return 'no text before the button';
        const range = document.createRange();
        const end = t.textContent.trimEnd().length;
        range.setStart(t, end - 1);
        range.setEnd(t, end);
        const c = range.getBoundingClientRect();
        return r.top <= c.bottom && r.bottom >= c.top && r.left >= c.right - 1 ? 'on the line'
          : `button ${JSON.stringify(r)}, text ends at ${JSON.stringify(c)}`;
      });
      await page.close();
      assert.equal(where, 'on the line');
    });

    check(`${label}: forced colours show a border and an outline focus`, async () => {
      const page = await open(url, [{ name: 'forced-colors', value: 'active' }]);
      await focusByKeyboard(page);
      const seen = await page.evaluate((form) => {
        const el = document.querySelector('[class^="fb-"]');
        if (form !== 'svg') {
          const cs = getComputedStyle(document.activeElement);
          return { border: parseFloat(getComputedStyle(el).borderTopWidth), outline: cs.outlineStyle, width: parseFloat(cs.outlineWidth) };
        }
        const doc = el.contentDocument;
        const face = getComputedStyle(doc.querySelector('.fb-face'));
        return { border: parseFloat(face.strokeWidth), outline: face.stroke === 'none' ? 'none' : 'solid', width: 2, forced: el.contentWindow.matchMedia('(forced-colors: active)').matches };
      }, form);
      await page.close();
      assert.ok(seen.border >= 1, `border ${seen.border}`);
      assert.equal(seen.outline, 'solid');
      assert.ok(seen.width >= 2);
      if (form === 'svg') assert.ok(seen.forced);
    });

    check(`${label}: nothing moves on press under reduced motion`, async () => {
      const page = await open(url, [{ name: 'prefers-reduced-motion', value: 'reduce' }]);
      const { x, y } = await centre(page);
      const where = () => page.evaluate((form) => {
        const el = document.querySelector('[class^="fb-"]');
        if (form === 'svg') return getComputedStyle(el.contentDocument.querySelector('.fb-content')).transform;
        return JSON.stringify(el.getBoundingClientRect());
      }, form);
      await page.mouse.move(x, y);
      const before = await where();
      await page.mouse.down();
      await new Promise((r) => setTimeout(r, 200));
      const during = await where();
      await page.mouse.up();
      await page.close();
      assert.equal(during, before);
    });

    check(`${label}: the button grows with 200 % text and stays within the page`, async () => {
      const page = await open(url);
      const size = () => page.evaluate(() => {
        const r = document.querySelector('[class^="fb-"]').getBoundingClientRect();
        return { w: r.width, h: r.height, scroll: document.documentElement.scrollWidth > document.documentElement.clientWidth };
      });
      const one = await size();
      await page.evaluate(() => { document.documentElement.style.fontSize = '200%'; });
      await new Promise((r) => setTimeout(r, 100));
      const two = await size();
      await page.close();
      assert.ok(two.h >= 1.8 * one.h, `height ${one.h} -> ${two.h}`);
      assert.ok(!two.scroll, 'no sideways scrolling');
    });

    check(`${label}: a right-to-left page shows the button whole`, async () => {
      const page = await open(`${name}-${form}/rtl.html`);
      const box = await page.evaluate(() => {
        const el = document.querySelector('[class^="fb-"]');
        const r = el.getBoundingClientRect();
        return { x: r.left, right: r.right, w: document.documentElement.clientWidth, clipped: el.scrollWidth > el.clientWidth + 1 };
      });
      await page.evaluate(axeSource);
      const result = await page.evaluate(() => axe.run(document, { runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21aa', 'wcag22aa'] } }));
      await page.close();
      assert.ok(box.x >= 0 && box.right <= box.w, JSON.stringify(box));
      assert.ok(!box.clipped || form === 'svg');
      assert.deepEqual(result.violations.map((v) => v.id), []);
    });
  }
}

// The picture of the SVG form opened on its own, as a visitor may follow its
// address: the Tab key reaches its link, and focus, hover and press show.
for (const name of names) {
  check(`${name} svg: the picture on its own takes Tab, hover and press`, async () => {
    const html = fs.readFileSync(path.join(work, `${name}-svg`, 'page.html'), 'utf8');
    const picture = /<object class="fb-[a-z0-9-]+" type="image\/svg\+xml" data="([^"]+)"/.exec(html)[1];
    const page = await open(`${name}-svg/${picture}`);
    const box = await page.evaluate(() => {
      const r = document.documentElement.getBoundingClientRect();
      return { x: r.x, y: r.y, width: r.width, height: r.height };
    });
    try {
      const before = await region(page, box, 0);
      await page.keyboard.press('Tab');
      await pause(250);
      assert.equal(await page.evaluate(() => document.activeElement?.tagName), 'a', 'Tab reaches the link');
      const focused = await region(page, box, 0);
      const ring = await changedPixels(page, before, focused);
      const needed = 2 * 2 * (box.width - 10 + box.height - 10);
      assert.ok(ring >= needed, `focus changes ${ring} pixels by 3:1, ${needed} needed`);
      await page.evaluate(() => document.activeElement.blur());
      await looksDiffer(page, { ...box, x: box.x + 5, y: box.y + 5, width: box.width - 10, height: box.height - 10 },
        box.x + box.width / 2, box.y + box.height / 2);
    } finally {
      await page.close();
    }
  });
}

// Without an address a button is for the page's own script. Wherever the Tab
// key stops in it, Enter and Space must press it (a click the page hears);
// what the keyboard cannot press must not take the focus or be announced as
// a button.
for (const name of names) {
  for (const form of forms) {
    check(`${name} ${form} without an address: the keyboard presses what Tab reaches, nothing else poses as a button`, async () => {
      const page = await open(`nowhere-${name}-${form}/page.html`);
      navigations.length = 0;
      try {
        // Ours are the first button and its twin; the other one has an address.
        await page.evaluate(() => {
          window.ours = [...document.querySelectorAll(`.${document.querySelector('[class^="fb-"]').className}`)];
          window.clicks = 0;
          const count = () => { window.clicks++; };
          for (const el of window.ours) {
            el.addEventListener('click', count);
            el.contentDocument?.addEventListener('click', count);
          }
        });
        const stops = [];
        const seen = new Set();
        // Once round the page (its links and three buttons), and a little more.
        for (let i = 0; i < 8; i++) {
          await page.keyboard.press('Tab');
          const where = await page.evaluate(() => {
            const a = document.activeElement;
            const n = window.ours.indexOf(a);
            if (n < 0) return null;
            const inner = a.contentDocument?.activeElement;
            return `#${n} ${a.tagName}` + (inner && inner !== a.contentDocument.documentElement ? ` > ${inner.tagName}` : '');
          });
          if (!where || seen.has(where)) continue;
          seen.add(where);
          for (const key of ['Enter', 'Space']) {
            const before = await page.evaluate(() => window.clicks);
            await page.keyboard.press(key);
            await pause(100);
            const after = await page.evaluate(() => window.clicks);
            stops.push(`${where} ${key}: ${after > before ? 'pressed' : 'nothing'}`);
          }
        }
        const posing = await page.evaluate(() => window.ours.flatMap((el) => {
          const inside = el.contentDocument ? [...el.contentDocument.querySelectorAll('[role="button"], [tabindex], a')] : [];
          return inside.map((e) => `${e.tagName} role=${e.getAttribute('role')} tabindex=${e.getAttribute('tabindex')}`);
        }));
        assert.deepEqual(stops.filter((s) => !s.endsWith('pressed')), [], stops.join('; '));
        if (form === 'svg') {
          assert.deepEqual(posing, [], 'inside the picture');
          // A build gated on the editor's checks stops here, and says why.
          const gate = spawnSync(program, ['--publish', path.join(work, `nowhere-${name}-svg`, path.basename(workFile(name))),
            '--form', 'svg', '--out', path.join(work, 'gate'), '--check'], { env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' } });
          assert.equal(gate.status, 1);
          assert.match(gate.stderr.toString(), /every state, any page, keyboard: /);
          assert.deepEqual(await page.evaluate(() => window.ours.map((el) => el.getAttribute('role'))), ['img', 'img']);
        } else {
          assert.equal(stops.length, 2 * 2, 'Tab stops on both buttons');
        }
        assert.deepEqual(navigations, [], 'no navigation');
        await page.evaluate(axeSource);
        const result = await page.evaluate(() => axe.run(document, {
          runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa'] },
          rules: { 'target-size': { enabled: true } },
        }));
        assert.deepEqual(result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`), []);
      } finally {
        await page.close();
      }
    });
  }
}

for (const form of forms) {
  check(`Encodings ${form}: UTF-8, UTF-16 and Windows-1252 pages keep every character`, async () => {
    const { dir, pages, before } = makeEncodedPages('Ocean', form);
    const rel = path.relative(work, dir);
    for (const [kind, file] of Object.entries(pages)) {
      // Bytes before the first insertion are the page's own.
      const after = fs.readFileSync(file);
      const cut = before[kind].indexOf(kind === 'utf16' ? Buffer.from('<!-- button -->', 'utf16le') : Buffer.from('<!-- button -->'));
      const headEnd = before[kind].indexOf(kind === 'utf16' ? Buffer.from('</style>', 'utf16le') : Buffer.from('</style>'));
      assert.ok(after.subarray(0, Math.min(cut, headEnd)).equals(before[kind].subarray(0, Math.min(cut, headEnd))), `${kind}: own bytes kept`);
      const page = await open(`${rel}/${path.basename(file)}`);
      const seen = await page.evaluate(() => ({
        probe: document.getElementById('probe').textContent,
        buttons: document.querySelectorAll('[class^="fb-"]').length,
        charset: document.characterSet,
      }));
      await page.close();
      assert.equal(seen.probe, kind === 'w1252' ? TEXT_1252 : TEXT_UTF, `${kind} (${seen.charset})`);
      assert.equal(seen.buttons, 2, kind);
    }
  });
}
