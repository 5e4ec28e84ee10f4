// The SVG document proved through its real consumers: Chromium (geometry
// against Ghostscript's rendering of the PostScript page, tooltips, zoom,
// search, hostile names), rsvg-convert (the static chart without a script)
// and xmllint (every document parses).
//
//   node svg_test.js /path/to/voziv
//
// Exits 77 (skipped) where the npm packages or Chromium are missing, unless
// CI is set.
'use strict';
const assert = require('node:assert/strict');
const {execFileSync, spawnSync} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const here = __dirname;
const chromium = process.env.VOZIV_CHROMIUM || '/usr/bin/chromium';
const voziv = path.resolve(process.argv[2] || process.env.VOZIV_BINARY || '');

function skip(reason) {
  if (process.env.CI) {
    console.error(`browser tests cannot run on CI: ${reason}`);
    process.exit(1);
  }
  console.log(`SKIP: ${reason}`);
  process.exit(77);
}
if (!fs.existsSync(path.join(here, 'node_modules', 'puppeteer-core'))) {
  skip('no node_modules: run npm ci in tests/browser');
}
if (!fs.existsSync(chromium)) skip(`no Chromium at ${chromium}`);
if (!fs.existsSync(voziv)) {
  console.error('usage: node svg_test.js /path/to/voziv');
  process.exit(2);
}

const {test, before, after} = require('node:test');
const puppeteer = require('puppeteer-core');
const {PNG} = require('pngjs');

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'voziv-browser-'));
let browser;
const PX = 96 / 72;  // pixels per point at 96 dpi

// ---------------------------------------------------------------- inputs

// A tree as du writes it: children before their parent, "size<TAB>path".
function node(name, size, children = []) {
  return {name, size, children};
}
function duLines(tree, prefix = '') {
  const here = prefix + tree.name;
  return tree.children.flatMap((c) => duLines(c, here + '/')).concat(`${tree.size}\t${here}`);
}
function duText(tree) {
  return duLines(tree).join('\n') + '\n';
}

// Sizes that give every kind of block: a chain deeper than the columns,
// many siblings whose smallest are thinner than a point (gathered, hidden
// until zoomed), tiny files gathered under the root, names in mixed case.
function chain(depth, size) {
  if (depth === 0) return [];
  return [node(`Level${10 - depth}`, Math.round(size * 0.7), chain(depth - 1, size * 0.7)),
          node(`side${10 - depth}`, Math.round(size * 0.2))];
}
function geometric(stem, count, total) {
  return Array.from({length: count},
                    (_, k) => node(`${stem}${String(k).padStart(2, '0')}`,
                                   Math.round(total * 0.35 * 0.6 ** k) + 1));
}
const sample = node('proj', 100000, [
  node('src', 46000, chain(9, 46000)),
  node('docs', 21000, geometric('page', 24, 21000)),
  node('build', 15000, [node('obj', 9000, [node('x', 5000), node('y', 3000)]),
                        node('bin', 5000)]),
  node('lib', 12000, geometric('mod', 8, 12000)),
  ...Array.from({length: 30}, (_, k) => node(`note${k}`, 10 + k)),
]);
const home = node('home', 210, [node('a', 120), node('b', 80, [node('c', 3)])]);

// ---------------------------------------------------------------- tools

function run(program, args, input) {
  const r = spawnSync(program, args, {input, maxBuffer: 1 << 30});
  if (r.error) throw r.error;
  return r;
}
function vozivDocument(args, input) {
  const r = run(voziv, args, input);
  assert.equal(r.status, 0, `voziv ${args.join(' ')} failed: ${r.stderr}`);
  return r.stdout;
}
let fileCount = 0;
function writeTemp(ext, content) {
  const file = path.join(work, `f${++fileCount}.${ext}`);
  fs.writeFileSync(file, content);
  return file;
}

// An image as width, height and RGB(A) rows, with pixel access.
function image(png) {
  const {width, height, data} = PNG.sync.read(png);
  return {width, height, at: (x, y) => {
    const i = 4 * (y * width + x);
    return [data[i], data[i + 1], data[i + 2]];
  }};
}
// A quarter turn counterclockwise: the page of a landscape PostScript
// document, with the chart turned, seen as the landscape SVG page is.
function turned(img) {
  return {width: img.height, height: img.width,
          at: (x, y) => img.at(img.width - 1 - y, x)};
}

function ghostscript(ps, eps) {
  const file = writeTemp(eps ? 'eps' : 'ps', ps);
  const out = writeTemp('png', '');
  const args = ['-q', '-dSAFER', '-dBATCH', '-dNOPAUSE', '-sDEVICE=png16m', '-r96',
                '-dGraphicsAlphaBits=1', '-dTextAlphaBits=1', `-sOutputFile=${out}`];
  if (eps) args.push('-dEPSCrop');
  const r = run('gs', args.concat(file));
  assert.equal(r.status, 0, `Ghostscript failed: ${r.stdout}${r.stderr}`);
  return image(fs.readFileSync(out));
}

// A page of the document in Chromium, its console watched.
const complaints = [];
async function open(svgBytes, viewport) {
  const file = writeTemp('svg', svgBytes);
  const page = await browser.newPage();
  page.on('console', (m) => {
    if (m.type() === 'error' || m.type() === 'warn' || m.type() === 'warning')
      complaints.push(`${m.type()}: ${m.text()}`);
  });
  page.on('pageerror', (e) => complaints.push(`page error: ${e.message}`));
  page.on('dialog', (d) => {
    complaints.push(`dialog: ${d.message()}`);
    d.dismiss();
  });
  await page.setViewport({...viewport, deviceScaleFactor: 1});
  await page.goto('file://' + file, {waitUntil: 'load'});
  return page;
}
function pageSize(svgBytes) {
  const m = /<svg[^>]* width="([\d.]+)pt" height="([\d.]+)pt"/.exec(svgBytes.toString());
  return {width: +m[1], height: +m[2]};
}
async function withPage(svgBytes, body) {
  const size = pageSize(svgBytes);
  const page = await open(svgBytes, {width: Math.ceil(size.width * PX),
                                     height: Math.ceil(size.height * PX)});
  try {
    return await body(page, size);
  } finally {
    await page.close();
  }
}

// Every rectangle of a block as Chromium lays it out, in page pixels, with
// its fill and its label's box; hidden ones have no box.
function blockBoxes(page) {
  return page.evaluate(() => [...document.querySelectorAll('#chart > g')].map((g) => {
    const rect = g.querySelector('rect');
    const box = rect.getBoundingClientRect();
    const label = [...g.querySelectorAll('text')].find((t) => getComputedStyle(t).display !== 'none');
    const lbox = label && label.getBoundingClientRect();
    return {
      title: g.querySelector('title').textContent,
      depth: +g.getAttribute('data-d'),
      shown: getComputedStyle(g).display !== 'none',
      box: [box.left, box.top, box.right, box.bottom],
      fill: getComputedStyle(rect).fill,
      label: lbox ? [lbox.left, lbox.top, lbox.right, lbox.bottom] : null,
      text: label ? label.textContent : null,
    };
  }));
}

// What the page shows in page pixels: the drawing's box and a point's scale.
function drawingOf(page) {
  return page.evaluate(() => {
    const svg = document.documentElement;
    const bg = document.getElementById('background').getBoundingClientRect();
    return {left: bg.left, top: bg.top, right: bg.right, bottom: bg.bottom,
            scale: bg.width / svg.getAttribute('data-width'),
            height: +svg.getAttribute('data-height'),
            columns: +svg.getAttribute('data-columns'),
            linewidth: +document.getElementById('chart').getAttribute('stroke-width')};
  });
}

// ---------------------------------------------------------------- checks

const isBlack = ([r, g, b]) => r < 64 && g < 64 && b < 64;
function rgbOf(css) {
  return css.match(/\d+/g).slice(0, 3).map(Number);
}

// The colour most pixels of a region have: the fill, whatever text is on it.
function commonColour(img, [x0, y0, x1, y1]) {
  const counts = new Map();
  for (let y = Math.ceil(y0); y < Math.floor(y1); ++y) {
    for (let x = Math.ceil(x0); x < Math.floor(x1); ++x) {
      const key = img.at(x, y).join(',');
      counts.set(key, (counts.get(key) || 0) + 1);
    }
  }
  let best = null, most = 0;
  for (const [key, n] of counts) if (n > most) [best, most] = [key, n];
  return best && best.split(',').map(Number);
}

function near(a, b, tolerance) {
  return a.every((v, k) => Math.abs(v - b[k]) <= tolerance);
}

// The share of points along an edge where a pixel whose centre lies
// within one pixel of it satisfies ink.
function edgeCover(img, horizontal, at, from, to, ink) {
  let hit = 0, all = 0;
  for (let t = Math.ceil(from) + 2; t <= Math.floor(to) - 2; t += 2) {
    ++all;
    for (let s = Math.ceil(at - 1.5); s + 0.5 <= at + 1; ++s) {
      if (ink(horizontal ? img.at(t, s) : img.at(s, t))) {
        ++hit;
        break;
      }
    }
  }
  return all === 0 ? 1 : hit / all;
}
// The least such share of a box's four edges.
function outlineCover(img, [x0, y0, x1, y1], ink) {
  return Math.min(edgeCover(img, true, y0, x0, x1, ink), edgeCover(img, true, y1, x0, x1, ink),
                  edgeCover(img, false, x0, y0, y1, ink), edgeCover(img, false, x1, y0, y1, ink));
}

// Lines Ghostscript drew that no block of the SVG has: a black run across
// most of a cell (horizontal) or longer than any glyph (vertical), further
// than a pixel from every edge, beyond half the line's width.
function strayLines(gs, blocks, {cellwidth, drawing, linewidth}) {
  const reach = 1 + linewidth / 2;
  const stray = [];
  const shown = blocks.filter((b) => b.shown);
  const [left, top, right, bottom] = drawing;
  for (let x0 = left; x0 < right - 1; x0 += cellwidth) {
    const x1 = Math.min(right, x0 + cellwidth);
    const inCell = shown.filter((b) => Math.abs(b.box[0] - x0) < 1.5);
    const edges = inCell.flatMap((b) => [b.box[1], b.box[3]]).concat([top, bottom]);
    for (let y = Math.ceil(top) - 1; y <= Math.floor(bottom) + 1; ++y) {
      let ink = 0, all = 0;
      for (let x = Math.ceil(x0) + 3; x <= Math.floor(x1) - 3; ++x, ++all) ink += isBlack(gs.at(x, y));
      if (all > 0 && ink >= 0.9 * all && !edges.some((e) => Math.abs(e - (y + 0.5)) <= reach))
        stray.push(`row ${y} in the cell at x ${x0.toFixed(0)}`);
    }
  }
  const xs = shown.flatMap((b) => [b.box[0], b.box[2]]);
  for (let x = Math.ceil(left) - 1; x <= Math.floor(right) + 1; ++x) {
    let run = 0, longest = 0;
    for (let y = Math.ceil(top); y < Math.floor(bottom); ++y) {
      run = isBlack(gs.at(x, y)) ? run + 1 : 0;
      longest = Math.max(longest, run);
    }
    if (longest >= 20 && !xs.some((e) => Math.abs(e - (x + 0.5)) <= reach))
      stray.push(`column ${x}`);
  }
  return stray;
}

// The blocks Chromium shows have their edges where Ghostscript drew the
// PostScript page's outlines, and Ghostscript drew no others; Chromium and
// rsvg-convert (no script) outline them there too; inside each block all
// three show its fill.
function compareGeometry(blocks, gs, shot, rsvg, chart) {
  const faults = [];
  const shown = blocks.filter((b) => b.shown);
  assert.ok(shown.length > 0, 'no block shown');
  for (const b of shown) {
    const [x0, y0, x1, y1] = b.box;
    const name = b.title.split('\n')[0];
    if (outlineCover(gs, b.box, isBlack) < 0.95) faults.push(`${name}: Ghostscript draws no outline there`);
    const fill = rgbOf(b.fill);
    // Where the antialiased line is, darker than a full hue or white; the
    // grey of gathered blocks is nearly as dark as the faint line itself.
    const darker = (px) => Math.max(...px) <= 0.8 * Math.max(...fill);
    for (const [who, img] of [['Chromium', shot], ['rsvg-convert', rsvg]]) {
      if (Math.max(...fill) === 255 && y1 - y0 >= 6 && outlineCover(img, b.box, darker) < 0.9)
        faults.push(`${name}: ${who} draws no outline there`);
    }
    if (y1 - y0 < 6) continue;
    const inside = [x0 + 2, y0 + 2, x1 - 2, y1 - 2];
    for (const [who, img] of [['Ghostscript', gs], ['Chromium', shot], ['rsvg-convert', rsvg]]) {
      const seen = commonColour(img, inside);
      if (!seen || !near(seen, fill, 3)) faults.push(`${name}: ${who} fills it ${seen}, not ${fill}`);
    }
  }
  faults.push(...strayLines(gs, blocks, chart));
  assert.deepEqual(faults, []);
}

// ---------------------------------------------------------------- tests

before(async () => {
  browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           `--user-data-dir=${path.join(work, 'profile')}`],
  });
});
after(async () => {
  if (browser) await browser.close();
  fs.rmSync(work, {recursive: true, force: true});
});

const geometryCases = [
  {name: 'portrait', args: [], tree: home},
  {name: 'portrait, many blocks', args: [], tree: sample},
  {name: 'colour', args: ['-color'], tree: sample},
  {name: 'landscape', args: ['-land', '-color'], tree: sample},
  {name: 'figure', args: ['-eps', '400', '300', '-color'], tree: sample},
  {name: 'ten columns', args: ['-ncols', '10', '-ncolor', '5'], tree: sample},
  {name: 'by name', args: ['-sa', '-color'], tree: sample},
  {name: 'another font', args: ['-ff', 'Helvetica-Bold', '-fs', '10', '-lw', '1'], tree: sample},
];

test('geometry against Ghostscript', async (t) => {
  for (const c of geometryCases) {
    await t.test(c.name, async () => {
      const input = duText(c.tree);
      const svg = vozivDocument(['-svg', ...c.args], input);
      // The SVG gathers blocks lower than a point; -fit keeps the labels in
      // their cells as the SVG's are.
      const ps = vozivDocument([...c.args, '-min', '1', '-fit'], input);
      const eps = c.args.includes('-eps');
      let gs = ghostscript(ps, eps);
      if (c.args.includes('-land')) gs = turned(gs);
      const svgFile = writeTemp('svg', svg);
      const rsvgOut = writeTemp('png', '');
      const r = run('rsvg-convert', ['-o', rsvgOut, svgFile]);
      assert.equal(r.status, 0, `rsvg-convert failed: ${r.stderr}`);
      const rsvg = image(fs.readFileSync(rsvgOut));
      await withPage(svg, async (page, size) => {
        for (const img of [gs, rsvg]) {
          assert.ok(Math.abs(img.width - size.width * PX) <= 1 &&
                    Math.abs(img.height - size.height * PX) <= 1,
                    `image ${img.width}x${img.height} for a page of ${size.width}x${size.height} pt`);
        }
        const shot = image(await page.screenshot({type: 'png'}));
        const blocks = await blockBoxes(page);
        const d = await drawingOf(page);
        compareGeometry(blocks, gs, shot, rsvg, {
          cellwidth: (d.right - d.left) / d.columns,
          drawing: [d.left, d.top, d.right, d.bottom],
          linewidth: d.linewidth * d.scale,
        });
      });
    });
  }
});

// ------------------------------------------------ tooltips, zoom, search

// Where the chart puts each node at the root view, drawn ones only (at
// least 3 points high and in the columns): the children of a node stacked
// from its top, largest first, each its share of the parent's height.
function layout(tree, height, ncols) {
  const out = [];
  (function walk(n, path, depth, y, h, parent) {
    if (depth < ncols && h >= 3) out.push({path, size: n.size, depth, y, h, parent});
    let top = y;
    for (const c of [...n.children].sort((a, b) => b.size - a.size)) {
      const ch = h * c.size / n.size;
      walk(c, `${path}/${c.name}`, depth + 1, top, ch, n.size);
      top += ch;
    }
  })(tree, tree.name, 0, 0, height, 0);
  return out;
}

async function clickBlock(page, boxes, path) {
  const b = boxes.find((x) => x.title.split('\n')[0] === path && x.shown);
  assert.ok(b, `${path} is not shown`);
  await page.mouse.click((b.box[0] + b.box[2]) / 2, (b.box[1] + b.box[3]) / 2);
  return blockBoxes(page);
}
const byPath = (boxes, path) => boxes.find((b) => b.title.split('\n')[0] === path);
const nearly = (a, b) => Math.abs(a - b) <= 1;

test('in Chromium', async (t) => {
  const svg = vozivDocument(['-svg'], duText(sample));
  await withPage(svg, async (page) => {
    const d = await drawingOf(page);
    const cell = (d.right - d.left) / d.columns;
    const staticView = await blockBoxes(page);
    // The static view as Chromium paints it, labels clipped to their cells.
    const pixels = async () => PNG.sync.read(Buffer.from(await page.screenshot({type: 'png'}))).data;
    const staticPixels = await pixels();
    const restored = async () => {
      assert.deepEqual(await blockBoxes(page), staticView);
      assert.ok((await pixels()).equals(staticPixels), 'the static view is painted differently');
    };

    await t.test('hovering over a block shows its path, size and share', async () => {
      const nodes = layout(sample, d.height, d.columns);
      assert.ok(nodes.length > 20);
      for (const n of nodes) {
        const x = d.left + (n.depth + 0.5) * cell, y = d.top + (n.y + n.h / 2) * d.scale;
        await page.mouse.move(x, y);
        const tip = await page.evaluate((x, y) => {
          const g = document.elementFromPoint(x, y).closest('#chart > g');
          return g && g.matches(':hover') ? g.querySelector('title').textContent : null;
        }, x, y);
        const lines = (tip || '').split('\n');
        assert.equal(lines[0], n.path);
        assert.equal(lines[1], String(n.size));
        if (n.parent) {
          assert.ok(lines[2].startsWith(`${(100 * n.size / n.parent).toFixed(1)}% of its parent`),
                    `${n.path}: ${lines[2]}`);
        }
      }
    });

    await t.test('a click zooms a block to the drawing height, Escape restores', async () => {
      const level2 = 'proj/src/Level1/Level2';
      let boxes = await clickBlock(page, staticView, level2);
      const [, top, , bottom] = byPath(boxes, level2).box;
      assert.ok(nearly(top, d.top) && nearly(bottom, d.bottom), `spans ${top}..${bottom}`);
      // Its children keep their shares of it; its ancestors stay, full height.
      const level3 = byPath(boxes, `${level2}/Level3`).box;
      assert.ok(nearly(level3[3] - level3[1], (d.bottom - d.top) * 0.7), `Level3 ${level3}`);
      for (const a of ['proj', 'proj/src', 'proj/src/Level1']) {
        const box = byPath(boxes, a).box;
        assert.ok(nearly(box[1], d.top) && nearly(box[3], d.bottom), `${a} ${box}`);
      }
      const deeper = boxes.filter((b) => b.shown && b.depth >= d.columns);
      assert.ok(deeper.length >= 2, 'no deeper column came into view');
      for (const b of boxes.filter((b) => b.shown)) {
        assert.ok(b.box[2] <= d.right + 0.5, `${b.title} beyond the drawing`);
        if (b.label) assert.ok(b.label[0] >= b.box[0] && b.label[2] <= b.box[2] + 0.5, `label ${b.text}`);
        assert.ok(b.title.startsWith(level2) || level2.startsWith(b.title.split('\n')[0]),
                  `${b.title.split('\n')[0]} outside the zoom`);
      }
      assert.match(byPath(boxes, level2).text, /^Level2 \(\d+\)$/);
      assert.ok(deeper.some((b) => b.text), 'no label in the deeper columns');

      await page.keyboard.press('Escape');
      await restored();

      // Clicked again, the block zoomed into zooms out to its parent.
      boxes = await clickBlock(page, await clickBlock(page, staticView, level2), level2);
      const level1 = byPath(boxes, 'proj/src/Level1').box;
      assert.ok(nearly(level1[1], d.top) && nearly(level1[3], d.bottom), `Level1 ${level1}`);
      // An ancestor in the breadcrumb zooms to itself; the root, out.
      boxes = await clickBlock(page, boxes, 'proj/src');
      const src = byPath(boxes, 'proj/src').box;
      const docs = byPath(boxes, 'proj/docs');
      assert.ok(nearly(src[1], d.top) && nearly(src[3], d.bottom) && !docs.shown, `src ${src}`);
      await clickBlock(page, boxes, 'proj');
      await restored();
    });

    await t.test('a gathered block zooms to the thin blocks in it', async () => {
      // The pages lower than a point at the root view are gathered; those
      // that fill a point once docs fills the drawing are kept, hidden.
      const docs = sample.children.find((c) => c.name === 'docs');
      const thin = docs.children.filter((c) => c.size / sample.size * d.height < 1);
      const more = `proj/docs/${thin.length} more`;
      const boxes = await clickBlock(page, staticView, more);
      const span = byPath(boxes, more).box;
      assert.ok(nearly(span[1], d.top) && nearly(span[3], d.bottom), `spans ${span}`);
      const total = thin.reduce((s, c) => s + c.size, 0);
      const first = byPath(boxes, `proj/docs/${thin[0].name}`);
      assert.ok(first.shown && nearly(first.box[1], d.top) &&
                nearly(first.box[3] - first.box[1], (d.bottom - d.top) * thin[0].size / total),
                `${thin[0].name} ${first.box}`);
      const allowed = ['proj', 'proj/docs', more, ...thin.map((c) => `proj/docs/${c.name}`)];
      assert.deepEqual(boxes.filter((b) => b.shown).map((b) => b.title.split('\n')[0])
                           .filter((p) => !allowed.includes(p)), []);
      // Drawn over the gathered block, so its tooltip is the one shown.
      const x = (first.box[0] + first.box[2]) / 2, y = (first.box[1] + first.box[3]) / 2;
      const under = await page.evaluate((x, y) =>
          document.elementFromPoint(x, y).closest('#chart > g').querySelector('title').textContent, x, y);
      assert.equal(under.split('\n')[0], `proj/docs/${thin[0].name}`);
      await clickBlock(page, boxes, 'proj');
      await restored();
    });

    await t.test('a search highlights the matching names and tells their share', async () => {
      for (const query of ['LEVEL', 'b', 'mod', 'zzz']) {
        // The model: matches in the tree, a match inside another once.
        let count = 0, total = 0;
        (function walk(n, inMatch) {
          const match = n.name.toLowerCase().includes(query.toLowerCase());
          if (match) ++count;
          if (match && !inMatch) total += n.size;
          n.children.forEach((c) => walk(c, inMatch || match));
        })(sample, false);
        await page.keyboard.press('/');
        await page.keyboard.type(query);
        const seen = await page.evaluate(() => ({
          said: document.querySelector('foreignObject').textContent,
          lit: [...document.querySelectorAll('#chart > g')]
                   .filter((g) => getComputedStyle(g.querySelector('rect')).fill === 'rgb(255, 215, 0)')
                   .map((g) => g.querySelector('title').textContent.split('\n')[0]),
          all: [...document.querySelectorAll('#chart > g:not(.m)')]
                   .map((g) => g.querySelector('title').textContent.split('\n')[0]),
        }));
        const expected = seen.all.filter((p) => p.split('/').pop().toLowerCase().includes(query.toLowerCase()));
        assert.deepEqual(seen.lit.sort(), expected.sort(), query);
        assert.equal(expected.length, count, `${query}: every match is in the document`);
        const m = /(\d+) match(?:es)?, ([\d.]+)% of the chart root/.exec(seen.said);
        assert.ok(m, `${query}: ${seen.said}`);
        assert.equal(+m[1], count, query);
        assert.equal(m[2], (100 * total / sample.size).toFixed(1), query);
        await page.keyboard.press('Escape');
        assert.equal(await page.evaluate(() => document.querySelector('foreignObject').textContent), '');
      }
      await restored();
    });
  });
  assert.deepEqual(complaints, [], 'console errors or warnings');
});

// du -h rounds sizes up: the children of a block can add up to more than
// it, and a zoom must still draw nothing below the drawing.
test('rounded-up sizes stay inside the drawing when zoomed', async () => {
  const files = Array.from({length: 30}, (_, k) => `4.0K\tr/a/f${k}`);
  const input = ['600K\tr/a/x', '380K\tr/a/y', ...files, '1.0M\tr/a', '9.0M\tr/b', '10M\tr', '']
                    .join('\n');
  await withPage(vozivDocument(['-svg'], input), async (page) => {
    const d = await drawingOf(page);
    const boxes = await clickBlock(page, await blockBoxes(page), 'r/a');
    const shown = boxes.filter((b) => b.shown);
    assert.ok(shown.some((b) => b.title.startsWith('r/a/f')), 'no thin file shown');
    for (const b of shown) assert.ok(b.box[3] <= d.bottom + 0.5, `${b.title} ends at ${b.box[3]}`);
  });
  assert.deepEqual(complaints, [], 'console errors or warnings');
});

// ------------------------------------------------ hostile names, corpus

// No name holds a slash: it would part the path.
const hostile = ['<script>alert(1)', ']]><script>alert(3)', 'a&amp;b', 'q"uo\'te', 'bad\xff\xfeutf8',
                 'ctl\x01\x1b[31m', '<!--', '<![CDATA[x', '<svg onload="alert(2)">', '\u00e9t\u00e9'];

test('names that look like markup stay text', async () => {
  const lines = hostile.map((name, k) => Buffer.concat([
    Buffer.from(`${1000 - 50 * k}\tdir/`), Buffer.from(name, 'latin1'), Buffer.from('\n')]));
  const input = Buffer.concat([...lines, Buffer.from('20000\tdir\n')]);
  const svg = vozivDocument(['-svg'], input);
  const lint = run('xmllint', ['--noout', writeTemp('svg', svg)]);
  assert.equal(lint.status, 0, lint.stderr.toString());
  await withPage(svg, async (page) => {
    const seen = await page.evaluate(() => ({
      scripts: document.getElementsByTagName('script').length,
      elements: [...new Set([...document.querySelectorAll('*')].map((e) => `${e.namespaceURI} ${e.localName}`))],
      titles: [...document.querySelectorAll('#chart > g > title')].map((t) => t.textContent.split('\n')[0]),
    }));
    assert.equal(seen.scripts, 1);
    const svgNs = 'http://www.w3.org/2000/svg', xhtml = 'http://www.w3.org/1999/xhtml';
    const allowed = ['svg', 'style', 'rect', 'defs', 'clipPath', 'g', 'title', 'text', 'script',
                     'foreignObject'].map((n) => `${svgNs} ${n}`)
                        .concat(['div', 'span', 'input'].map((n) => `${xhtml} ${n}`));
    assert.deepEqual(seen.elements.filter((e) => !allowed.includes(e)), []);
    for (const name of ['<script>alert(1)', ']]><script>alert(3)', 'a&amp;b', 'q"uo\'te', 'bad\\xff\\xfeutf8',
                        'ctl\\x01\\x1b[31m', '<!--', '<![CDATA[x', '<svg onload="alert(2)">'])
      assert.ok(seen.titles.includes(`dir/${name}`), `${name} not shown as text`);
  });
  assert.deepEqual(complaints, [], 'console errors or warnings');
});

test('every document parses as XML and renders without the script', () => {
  const corpus = path.join(here, '..', '..', 'fuzz', 'corpus', 'document');
  const inputs = fs.readdirSync(corpus).map((f) => fs.readFileSync(path.join(corpus, f)));
  inputs.push(Buffer.from(duText(sample)), Buffer.from(duText(home)),
              execFileSync('du', ['-k', path.join(here, '..', '..', 'src')]));
  const optionSets = [[], ['-color', '-land', '-sa', '-min', '0.1'],
                      ['-eps', '400', '300', '-ncols', '10', '-unit', '1024', '-ff', 'Courier']];
  const documents = [];
  for (const args of optionSets) {
    for (const input of inputs) {
      const r = run(voziv, ['-svg', ...args], input);
      if (r.status === 0) documents.push(writeTemp('svg', r.stdout));
      else assert.equal(r.stdout.length, 0, 'a failed run wrote a document');
    }
  }
  assert.ok(documents.length >= inputs.length, `only ${documents.length} documents`);
  for (let k = 0; k < documents.length; k += 100) {
    const lint = run('xmllint', ['--noout', ...documents.slice(k, k + 100)]);
    assert.equal(lint.status, 0, lint.stderr.toString());
  }
  for (const file of documents.filter((_, k) => k % 7 === 0)) {
    const out = writeTemp('png', '');
    const r = run('rsvg-convert', ['-o', out, file]);
    assert.equal(r.status, 0, `${file}: ${r.stderr}`);
    const img = image(fs.readFileSync(out));
    const size = pageSize(fs.readFileSync(file));
    assert.ok(Math.abs(img.width - size.width * PX) <= 1 && Math.abs(img.height - size.height * PX) <= 1,
              `${file}: ${img.width}x${img.height} for ${size.width}x${size.height} pt`);
  }
});
