// The button on pages as real sites have them: a folder that already holds
// a file of the picture's name, a theme whose link and button rules come
// after ours, a strict Content-Security-Policy, a <base href> and a template
// partial without a head. Each is published with `tavishfennic --publish`
// and checked in headless Chromium; every file the program wrote must be in
// its "wrote" lines, and no file of the author's may change.

import { before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {
  check, colours, contrast, counts, launch, openPage, pause, run, serve, templateNames, workFile,
} from './support.mjs';

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'fennic-sites-'));
const names = templateNames();
let browser;
let profile;
let server;
let origin;

// Strict: nothing inline, files of the site's own origin only.
const CSP = "default-src 'none'; style-src 'self'; img-src 'self'; object-src 'self'; frame-src 'self'";
const CSP_NO_OBJECT = "default-src 'none'; style-src 'self'; img-src 'self'; object-src 'none'; frame-src 'self'";

before(async () => {
  ({ server, origin } = await serve(work, (p) =>
    p.startsWith('/csp-noobject/') ? { 'Content-Security-Policy': CSP_NO_OBJECT }
      : p.startsWith('/csp') ? { 'Content-Security-Policy': CSP } : {}));
  ({ browser, profile } = await launch());
});

after(async () => {
  await browser?.close();
  server?.close();
  fs.rmSync(work, { recursive: true, force: true });
  fs.rmSync(profile, { recursive: true, force: true });
  console.log(`${counts.passed} passed, ${counts.failed} failed`);
});

const page = (title, head = '', body = '<p>Read the story, then <!-- button --> and tell your friends.</p>') =>
  `<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>${title}</title>
${head}</head>
<body>
<nav aria-label="Site"><a href="/index.html">Home</a></nav>
<main class="content">
<h1>${title}</h1>
${body}
</main>
</body>
</html>
`;

// Every file under dir with its bytes.
function snapshot(dir) {
  const files = {};
  const walk = (d) => {
    for (const e of fs.readdirSync(d, { withFileTypes: true })) {
      const p = path.join(d, e.name);
      if (e.isDirectory()) walk(p);
      else files[p] = fs.readFileSync(p);
    }
  };
  walk(dir);
  return files;
}
// The files that are new or changed between two snapshots.
function changed(before, after) {
  return Object.keys(after).filter((p) => !before[p] || !before[p].equals(after[p])).sort();
}
const wrote = (stdout) => stdout.split('\n').filter((l) => l.startsWith('wrote ')).map((l) => path.resolve(l.slice(6))).sort();

// A copy of a template under another work name (the picture's name comes
// from it).
function workNamed(name, from = 'Ocean') {
  const dir = path.join(work, 'works');
  fs.mkdirSync(dir, { recursive: true });
  const file = path.join(dir, `${name}_PageletServer.FennicButton.pgt`);
  fs.copyFileSync(workFile(from), file);
  return file;
}

function folder(name, files) {
  const dir = path.join(work, name);
  fs.mkdirSync(dir, { recursive: true });
  for (const [f, text] of Object.entries(files)) {
    fs.mkdirSync(path.dirname(path.join(dir, f)), { recursive: true });
    fs.writeFileSync(path.join(dir, f), text);
  }
  return dir;
}

async function pictureLoaded(p) {
  return p.evaluate(() => {
    const o = document.querySelector('object[class^="fb-"]');
    return !!o?.contentDocument?.querySelector('.fb-face');
  });
}

// ---------------------------------------------------------------- files of the author's

check('a folder with the author\'s own logo.svg keeps it; the picture takes another name the page finds', async () => {
  const authors = '<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10"><!-- the author\'s logo --></svg>\n';
  const site = folder('foreign', { 'logo.svg': authors, 'index.html': page('Logo') });
  const logo = workNamed('logo');
  const before = snapshot(work);
  const out = run(['--publish', logo, '--form', 'svg', '--out', path.join(site, 'out'),
    '--into', path.join(site, 'index.html')]);
  const after = snapshot(work);
  assert.equal(fs.readFileSync(path.join(site, 'logo.svg'), 'utf8'), authors);
  assert.deepEqual(wrote(out), changed(before, after), 'every file written is listed');
  const html = fs.readFileSync(path.join(site, 'index.html'), 'utf8');
  const data = /<object[^>]* data="([^"]+)"/.exec(html)[1];
  assert.notEqual(data, 'logo.svg');
  const p = await openPage(browser, origin, 'foreign/index.html');
  const loaded = await pictureLoaded(p);
  await p.close();
  assert.ok(loaded, `the page's picture ${data} loads`);
});

check('a work named like a page leaves the page in --out alone and the snippets cannot pass for one', async () => {
  const site = folder('pagename', { 'index.html': page('Home') });
  const index = workNamed('index');
  const before = snapshot(work);
  const out = run(['--publish', index, '--form', 'link', '--out', site, '--into', path.join(site, 'index.html')]);
  const after = snapshot(work);
  assert.deepEqual(wrote(out), changed(before, after), 'every file written is listed');
  const html = fs.readFileSync(path.join(site, 'index.html'), 'utf8');
  assert.match(html, /<h1>Home<\/h1>/);
  assert.match(html, /<a class="fb-/);
  for (const f of changed(before, after)) if (f !== path.join(site, 'index.html')) assert.match(path.basename(f), /^index\.(head|body|fennic)\.html$/);
});

// ---------------------------------------------------------------- a theme's link and button rules

// What themes have, after our style (so only weight can win): coloured,
// underlined links in the content, and buttons of their own.
const THEME = `<style>
a:link, a:visited { color: #0645ad; text-decoration: underline; }
.content a { color: #c00000; text-decoration: underline dotted; border-bottom: 1px solid currentColor; }
.content a:hover, .content a:focus { color: #800000; text-decoration: underline; }
main a:active { color: #ff00ff; }
button { color: #333333; background: #eeeeee; font: inherit; }
.content button:hover { background: #cccccc; color: #000000; text-decoration: underline; }
</style>`;

async function focusOurs(p) {
  await p.evaluate(() => document.activeElement?.blur());
  for (let i = 0; i < 8; i++) {
    await p.keyboard.press('Tab');
    if (await p.evaluate(() => document.activeElement?.className?.toString().startsWith('fb-'))) return true;
  }
  return false;
}

async function looks(p) {
  const read = () => p.evaluate(() => {
    const el = document.querySelector('[class^="fb-"]');
    const cs = getComputedStyle(el);
    return { text: cs.color, fill: cs.backgroundImage !== 'none' ? cs.backgroundImage : cs.backgroundColor, line: cs.textDecorationLine };
  });
  const box = await (await p.$('[class^="fb-"]')).boundingBox();
  const seen = { normal: await read() };
  await focusOurs(p);
  seen.focus = await read();
  await p.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await pause(250);
  seen.hover = await read();
  await p.mouse.down();
  await pause(250);
  seen.pressed = await read();
  await p.mouse.up();
  return seen;
}

for (const name of names) {
  for (const form of ['link', 'button']) {
    check(`${name} ${form}: a theme's link and button rules neither recolour nor underline it`, async (t) => {
      const dir = folder(`theme-${name}-${form}`, { 'page.html': page('Theme', '', `<p>Read the story, then <!-- button --> and tell your friends.</p>\n${THEME}`) });
      run(['--publish', workFile(name), '--form', form, '--out', path.join(dir, 'out'), '--into', path.join(dir, 'page.html')]);
      const p = await openPage(browser, origin, `theme-${name}-${form}/page.html`);
      await p.evaluate(() => document.addEventListener('click', (e) => e.preventDefault(), true));
      const seen = await looks(p);
      await p.close();
      const faults = [];
      let worst = 21;
      for (const [state, look] of Object.entries(seen)) {
        const text = colours(look.text)[0];
        // A background the theme took away shows the white page.
        const fills = /^rgba\(0, 0, 0, 0\)$/.test(look.fill) ? [[255, 255, 255]] : colours(look.fill);
        for (const fill of fills) {
          const ratio = contrast(text, fill);
          worst = Math.min(worst, ratio);
          if (ratio < 4.5) faults.push(`${state} ${ratio.toFixed(2)}:1`);
        }
        if (look.line !== 'none') faults.push(`${state} ${look.line}`);
      }
      t.diagnostic(`lowest contrast ${worst.toFixed(2)}:1`);
      assert.deepEqual(faults, []);
    });
  }
}

// ---------------------------------------------------------------- a strict Content-Security-Policy

for (const form of ['link', 'button']) {
  check(`Ocean ${form} with --style file: styled under style-src 'self'`, async () => {
    const dir = folder(`csp-${form}`, { 'page.html': page('Strict') });
    const out = run(['--publish', workFile('Ocean'), '--form', form, '--style', 'file', '--out', path.join(dir, 'out'),
      '--into', path.join(dir, 'page.html')]);
    assert.match(out, /\.css\n/, 'the style sheet is among the files written');
    const html = fs.readFileSync(path.join(dir, 'page.html'), 'utf8');
    assert.ok(!/<style/.test(html.replace(/<style>[^]*?<\/style>/, (m) => (m.includes('fb-') ? m : ''))), 'no inline style of ours');
    const p = await openPage(browser, origin, `csp-${form}/page.html`);
    const seen = await p.evaluate(() => {
      const el = document.querySelector('[class^="fb-"]');
      const r = el.getBoundingClientRect();
      const cs = getComputedStyle(el);
      return { w: r.width, h: r.height, line: cs.textDecorationLine, text: cs.color, fill: cs.backgroundImage };
    });
    await p.close();
    assert.ok(seen.w >= 24 && seen.h >= 24, `target ${seen.w} × ${seen.h}`);
    assert.equal(seen.line, 'none');
    for (const fill of colours(seen.fill)) assert.ok(contrast(colours(seen.text)[0], fill) >= 4.5);
  });
}

check('Ocean svg under style-src \'self\': the picture shows its face, no black box, no ring until focused', async (t) => {
  for (const style of ['file', 'inline']) {
    const dir = folder(`csp-svg-${style}`, { 'page.html': page('Strict') });
    run(['--publish', workFile('Ocean'), '--form', 'svg', '--style', style, '--out', path.join(dir, 'out'),
      '--into', path.join(dir, 'page.html')]);
    const p = await openPage(browser, origin, `csp-svg-${style}/page.html`);
    assert.ok(await pictureLoaded(p), `${style}: the picture loads`);
    const seen = await p.evaluate(() => {
      const o = document.querySelector('object[class^="fb-"]');
      const doc = o.contentDocument;
      const rings = [...doc.querySelectorAll('.fb-ring')].map((r) => {
        const cs = getComputedStyle(r);
        return `${cs.fill} ${cs.visibility}`;
      });
      const face = getComputedStyle(doc.querySelector('.fb-face')).fill;
      const r = o.getBoundingClientRect();
      return { rings, face, w: r.width, h: r.height };
    });
    await p.close();
    t.diagnostic(`${style}: rings ${seen.rings.join(', ')}; face ${seen.face}; ${seen.w} × ${seen.h}`);
    for (const ring of seen.rings) assert.ok(ring.endsWith('hidden') || ring.startsWith('none'), `${style}: ring ${ring}`);
    assert.notEqual(seen.face, 'rgb(0, 0, 0)', `${style}: face`);
    assert.ok(seen.w >= 24 && seen.h >= 24, `${style}: ${seen.w} × ${seen.h}`);
  }
});

check('Ocean svg under object-src \'none\': the page still offers the link', async (t) => {
  const dir = folder('csp-noobject', { 'page.html': page('No objects') });
  run(['--publish', workFile('Ocean'), '--form', 'svg', '--style', 'file', '--out', path.join(dir, 'out'),
    '--into', path.join(dir, 'page.html')]);
  const p = await openPage(browser, origin, 'csp-noobject/page.html');
  const seen = await p.evaluate(() => {
    const o = document.querySelector('object[class^="fb-"]');
    const a = o.querySelector('a');
    return { loaded: !!o.contentDocument?.querySelector('.fb-face'), fallback: a ? a.getBoundingClientRect().width : 0 };
  });
  await p.close();
  t.diagnostic(`picture loaded: ${seen.loaded}; fallback link width ${seen.fallback}`);
  assert.equal(seen.loaded, false);
});

// ---------------------------------------------------------------- <base href> and partials

check('a page with <base href> finds the picture and the style sheet beside it', async () => {
  const dir = folder('based', { 'assets/site.css': 'body { margin: 1rem; }\n',
    'page.html': page('Based', '<base href="assets/">\n<link rel="stylesheet" href="site.css">\n') });
  const out = run(['--publish', workFile('Ocean'), '--form', 'svg', '--style', 'file', '--out', path.join(dir, 'out'),
    '--into', path.join(dir, 'page.html')]);
  const p = await openPage(browser, origin, 'based/page.html');
  const loaded = await pictureLoaded(p);
  const styled = await p.evaluate(() => getComputedStyle(document.querySelector('object[class^="fb-"]')).verticalAlign);
  await p.close();
  assert.ok(loaded, `picture: ${out}`);
  assert.equal(styled, 'middle', 'the style sheet applies');
});

check('a template partial keeps {% extends %} first and gets the style beside the button', async () => {
  const partial = '{% extends "base.html" %}\n{% block content %}\n<p>Read the story, then <!-- button --> and tell your friends.</p>\n{% endblock %}\n';
  const dir = folder('partial', { 'base.html': page('Layout', '', '{% block content %}{% endblock %}'), 'post.html': partial });
  run(['--publish', workFile('Ocean'), '--form', 'link', '--out', path.join(dir, 'out'), '--into', path.join(dir, 'post.html')]);
  const post = fs.readFileSync(path.join(dir, 'post.html'), 'utf8');
  assert.ok(post.startsWith('{% extends "base.html" %}\n{% block content %}\n'), post.slice(0, 80));
  assert.ok(post.indexOf('<style>') < post.indexOf('<a class="fb-') && post.indexOf('<style>') > post.indexOf('{% block'));
  // What the template engine makes of it.
  const block = /{% block content %}([^]*){% endblock %}/.exec(post)[1];
  fs.writeFileSync(path.join(dir, 'rendered.html'), fs.readFileSync(path.join(dir, 'base.html'), 'utf8').replace('{% block content %}{% endblock %}', block));
  const p = await openPage(browser, origin, 'partial/rendered.html');
  const h = await p.evaluate(() => document.querySelector('[class^="fb-"]').getBoundingClientRect().height);
  await p.close();
  assert.ok(h >= 24, `height ${h}`);
});

// ---------------------------------------------------------------- a narrow screen

check('at 320 px and 200 % text no form makes the page scroll sideways', async () => {
  const faults = [];
  for (const form of ['link', 'button', 'svg']) {
    const dir = folder(`narrow-${form}`, { 'page.html': page('Narrow', '<style>body { margin: 0; padding: 0 2rem; }</style>\n') });
    run(['--publish', workFile('Ocean'), '--form', form, '--out', path.join(dir, 'out'), '--into', path.join(dir, 'page.html')]);
    const p = await openPage(browser, origin, `narrow-${form}/page.html`, { width: 320 });
    await p.evaluate(() => { document.documentElement.style.fontSize = '200%'; });
    await pause(100);
    const scrolls = await p.evaluate(() => {
      const w = document.documentElement.clientWidth;
      if (document.documentElement.scrollWidth <= w) return '';
      return [...document.querySelectorAll('body *')].filter((e) => e.getBoundingClientRect().right > w)
        .map((e) => `${e.tagName}.${e.className} ${Math.round(e.getBoundingClientRect().right)}`).join(', ');
    });
    await p.close();
    if (scrolls) faults.push(`${form}: ${scrolls}`);
  }
  assert.deepEqual(faults, []);
});
