#include "chart/svg_script.hpp"

namespace voziv {

// Written inside CDATA: the text must never hold the three characters that
// end it. Everything the script needs is in the document: the blocks in
// depth-first order, each with its depth, size, tooltip and rectangle, and
// the drawing's figures on the root element.
const char* const svgScript = R"js(
(function () {
  'use strict';
  const SVG = 'http://www.w3.org/2000/svg';
  const XHTML = 'http://www.w3.org/1999/xhtml';
  const svg = document.documentElement;
  const chart = document.getElementById('chart');
  if (!chart) return;
  const figure = (name) => parseFloat(svg.getAttribute(name));
  const W = figure('data-width'), H = figure('data-height');
  const ncols = Math.max(1, Math.round(figure('data-columns')));
  const fontsize = figure('data-fontsize'), em = figure('data-em');
  const minHeight = figure('data-min');
  const cellwidth = W / ncols;
  const drawing = chart.parentNode;  // holds the font, as the labels need it

  const blocks = [];            // in the written, depth-first order
  const blockOf = new Map();    // a block's group to the block
  let touched = [];             // blocks changed from the static view
  let view = 0;                 // counts zooms: a block placed in this one has .view === view
  let zoomed = null;            // the block zoomed into, or null
  const clips = [];             // the clip rectangle of each column

  // A block as the document has it, and what zooms and searches add.
  function newBlock(g, index) {
    const classes = ' ' + (g.getAttribute('class') || '') + ' ';
    const size = +g.getAttribute('data-s');
    const b = {g, index, end: index + 1, depth: +g.getAttribute('data-d'), size,
               span: size, thin: classes.includes(' t '),
               gathered: classes.includes(' m '), parent: null, children: [],
               title: null, rect: null, label: null, written: null,
               offset: 0, relY: 0, relH: 0, view: 0, plan: null, saved: null,  // zooming
               cellText: undefined, name: null, sizeText: null,  // labels
               lower: null, match: false};  // search
    for (let part = g.firstElementChild; part; part = part.nextElementSibling) {
      if (part.localName === 'title') b.title = part;
      else if (part.localName === 'rect') b.rect = part;
      else if (part.localName === 'text') b.label = part;
    }
    if (b.label) {
      b.written = {x: b.label.getAttribute('x'), y: b.label.getAttribute('y'),
                   text: b.label.textContent};
    }
    return b;
  }

  // Rebuilds the tree from the flat groups: a block comes right after its
  // parent's line of ancestors, so a stack of open blocks gives its parent.
  function readBlocks() {
    const open = [];
    for (let g = chart.firstElementChild; g; g = g.nextElementSibling) {
      if (g.localName !== 'g') continue;
      const b = newBlock(g, blocks.length);
      if (!b.rect) continue;
      while (open.length && open[open.length - 1].depth >= b.depth) open.pop().end = b.index;
      if (open.length) {
        b.parent = open[open.length - 1];
        b.parent.children.push(b);
      }
      open.push(b);
      blocks.push(b);
      blockOf.set(g, b);
    }
    for (const b of open) b.end = blocks.length;
  }

  // Where each block lies in its parent and how much of it it spans, in the
  // parent's size, as the writer lays them out: the drawn blocks from the
  // top, the gathered block after them, and the thin blocks in the gathered
  // block's span. Zooms work from these rather than from the written
  // rectangles, whose rounding would show when a thin block fills the
  // drawing.
  function layOut() {
    for (const parent of blocks) {
      let drawn = 0;
      for (const c of parent.children) {
        if (c.thin || c.gathered) continue;
        c.offset = drawn;
        drawn += c.size;
      }
      let thin = drawn;
      for (const c of parent.children) {
        if (c.gathered) {
          // Sizes rounded up (du -h) can add up to more than the parent's:
          // the gathered block ends where the parent does.
          c.offset = drawn;
          c.span = Math.min(c.size, parent.size - drawn);
        } else if (c.thin) {
          c.offset = thin;
          thin += c.size;
        }
      }
    }
  }

  // A gathered block goes under its siblings, so that the thin ones laid
  // out in its span are drawn over it once they are tall enough to show.
  function sinkGatheredBlocks() {
    for (const b of blocks) {
      const first = b.parent && b.parent.children[0];
      if (b.gathered && first !== b) chart.insertBefore(b.g, first.g);
    }
  }

  // The name is the last part of the tooltip's path; the size text begins
  // its second line.
  function nameOf(b) {
    if (b.name === null) {
      const lines = b.title ? b.title.textContent.split('\n') : [''];
      b.name = lines[0].slice(lines[0].lastIndexOf('/') + 1);
      b.sizeText = (lines[1] || String(b.size)).split(' (')[0];
    }
    return b.name;
  }

  // Label widths as this browser sets the font, by a hidden text in the
  // drawing's font.
  const measure = document.createElementNS(SVG, 'text');
  measure.setAttribute('visibility', 'hidden');
  drawing.appendChild(measure);
  function widthOf(text) {
    measure.textContent = text;
    return measure.getComputedTextLength();
  }

  // The longest start of the name, whole characters, at most room wide.
  function fittingStart(name, room) {
    measure.textContent = name;
    const ends = [0];
    for (const ch of name) ends.push(ends[ends.length - 1] + ch.length);
    let low = 0, high = ends.length - 1;
    while (low < high) {
      const mid = (low + high + 1) >> 1;
      if (measure.getSubStringLength(0, ends[mid]) <= room) low = mid;
      else high = mid - 1;
    }
    return name.slice(0, ends[low]);
  }

  // The writer's rule: "name (size)", else "name… (size)" shortened, else
  // "(size)", else nothing.
  function fitLabel(b, cell) {
    const name = nameOf(b), tail = ' (' + b.sizeText + ')';
    const room = cell - 2 * em / 3;
    if (widthOf(name + tail) <= room) return name + tail;
    const rest = widthOf('\u2026' + tail);
    if (rest <= room) return fittingStart(name, room - rest) + '\u2026' + tail;
    const alone = tail.slice(1);
    return widthOf(alone) <= room ? alone : '';
  }

  // The columns of a view zoomed into a block at depth: its ancestors
  // narrowed to at most a quarter of the width together, then as many
  // columns at the cell width as fit, at least the block's own.
  function columnsFor(depth) {
    const columns = [];
    const narrow = depth > 0 ? Math.min(cellwidth, 0.25 * W / depth) : 0;
    for (let d = 0; d < depth; ++d) columns.push({x: d * narrow, width: narrow});
    const rest = W - depth * narrow;
    const count = Math.max(1, Math.floor(rest / cellwidth + 1e-9));
    const width = Math.min(cellwidth, rest);
    for (let k = 0; k < count; ++k) columns.push({x: depth * narrow + k * width, width});
    return columns;
  }

  // The clip rectangle of a column, and where the document has it; made
  // for a column beyond the page's.
  function clipOf(column) {
    if (!clips[column]) {
      let path = document.getElementById('c' + column);
      if (!path) {
        path = document.createElementNS(SVG, 'clipPath');
        path.id = 'c' + column;
        const rect = document.createElementNS(SVG, 'rect');
        rect.setAttribute('y', '0');
        rect.setAttribute('height', String(H));
        path.appendChild(rect);
        svg.querySelector('defs').appendChild(path);
      }
      const rect = path.querySelector('rect');
      clips[column] = {rect, x: rect.getAttribute('x'), width: rect.getAttribute('width')};
    }
    return clips[column];
  }

  // Back to the document as written: every block changed by a zoom gets its
  // written geometry and label again.
  function showStatic() {
    for (const b of touched) {
      const [x, y, width, height] = b.saved;
      b.rect.setAttribute('x', x);
      b.rect.setAttribute('y', y);
      b.rect.setAttribute('width', width);
      b.rect.setAttribute('height', height);
      b.g.classList.remove('v');
      if (b.written) {
        b.label.setAttribute('x', b.written.x);
        b.label.setAttribute('y', b.written.y);
        if (b.label.textContent !== b.written.text) b.label.textContent = b.written.text;
        b.label.classList.remove('h');
      } else if (b.label) {
        b.label.classList.add('h');  // made by a zoom
      }
      b.saved = null;
    }
    touched = [];
    for (const clip of clips) {
      if (clip.x === null) continue;  // a column beyond the page's
      clip.rect.setAttribute('x', clip.x);
      clip.rect.setAttribute('width', clip.width);
    }
    chart.classList.remove('z');
    zoomed = null;
  }

  // What a zoom shows: the block and what lies in its span, or for a
  // gathered block its span with the thin siblings laid out in it.
  function zoomRoots(b) {
    if (!b.gathered) return [b];
    return [b].concat(b.parent.children.filter((s) => s.thin && !s.gathered));
  }

  // Which blocks a zoom into b shows, where, and their labels' texts: all
  // measured before the document changes, so that measuring is cheap.
  function planZoom(b, columns) {
    const plan = [];
    for (let a = b.parent; a; a = a.parent) plan.push({b: a, y: 0, h: H});
    ++view;
    for (const root of zoomRoots(b)) {
      root.relY = (root.offset - b.offset) / b.span;
      root.relH = root.span / b.span;
      // Down the root's subtree, skipping what lies below a hidden block;
      // rel* are shares of the drawing's height.
      for (let i = root.index; i < root.end;) {
        const c = blocks[i], p = c.parent;
        if (c !== root) {
          c.relY = p.relY + p.relH * c.offset / p.size;
          c.relH = p.relH * c.span / p.size;
        }
        // Thin blocks of rounded-up sizes can lie past the parent's end:
        // nothing is drawn below the drawing.
        const h = Math.min(c.relH, 1 - c.relY) * H;
        if (c.depth >= columns.length || !(h >= minHeight)) {
          i = c.end;
          continue;
        }
        c.view = view;
        c.plan = {b: c, y: c.relY * H, h};
        plan.push(c.plan);
        ++i;
      }
    }
    for (const p of plan) labelPlan(p, columns[p.b.depth].width);
    return plan;
  }

  // The label's text and baseline; a gathered block's goes in the largest
  // part of its span that no thin sibling shown covers.
  function labelPlan(p, width) {
    const c = p.b;
    const span = c.gathered ? largestGap(p) : p;
    p.text = null;
    if (span.h <= fontsize) return;
    p.baseline = span.y + (span.h + em) / 2;
    if (Math.abs(width - cellwidth) > 1e-9) {
      p.text = fitLabel(c, width);
    } else {
      // In a cell as wide as the page's, the written label where there is one.
      if (c.cellText === undefined) c.cellText = c.written ? c.written.text : fitLabel(c, width);
      p.text = c.cellText;
    }
  }

  function largestGap(p) {
    const covers = p.b.parent.children
        .filter((s) => s.thin && !s.gathered && s.view === view)
        .map((s) => s.plan)
        .sort((a, b) => a.y - b.y);
    let best = {y: p.y, h: 0}, from = p.y;
    for (const s of covers.concat({y: p.y + p.h, h: 0})) {
      if (s.y - from > best.h) best = {y: from, h: s.y - from};
      from = Math.max(from, s.y + s.h);
    }
    return best;
  }

  function place(p, column) {
    const c = p.b;
    if (!c.saved) {
      c.saved = ['x', 'y', 'width', 'height'].map((name) => c.rect.getAttribute(name));
      touched.push(c);
    }
    c.rect.setAttribute('x', column.x);
    c.rect.setAttribute('y', p.y);
    c.rect.setAttribute('width', column.width);
    c.rect.setAttribute('height', p.h);
    c.g.classList.add('v');
    if (!p.text) {
      if (c.label) c.label.classList.add('h');
      return;
    }
    if (!c.label) {
      c.label = document.createElementNS(SVG, 'text');
      c.label.setAttribute('clip-path', 'url(#c' + c.depth + ')');
      c.g.appendChild(c.label);
    }
    c.label.setAttribute('x', column.x + em / 3);
    c.label.setAttribute('y', p.baseline);
    if (c.label.textContent !== p.text) c.label.textContent = p.text;
    c.label.classList.remove('h');
  }

  // The block's span fills the drawing's height; its ancestors stay as
  // narrow columns to the left; everything else is hidden.
  function zoomTo(b) {
    if (!b.parent && !b.gathered) return showStatic();
    if (!(b.span > 0)) return;
    const columns = columnsFor(b.depth);
    const plan = planZoom(b, columns);
    showStatic();
    columns.forEach((column, k) => {
      const clip = clipOf(k);
      clip.rect.setAttribute('x', column.x);
      clip.rect.setAttribute('width', column.width);
    });
    for (const p of plan) place(p, columns[p.b.depth]);
    chart.classList.add('z');
    zoomed = b;
  }

  // A click on a block zooms into it; on the block zoomed into, out to its
  // parent; on the root, back to the static view.
  function onClick(event) {
    const g = event.target.closest && event.target.closest('#chart > g');
    const b = g && blockOf.get(g);
    if (!b) return;
    zoomTo(b === zoomed && b.parent ? b.parent : b);
  }

  // Highlights the blocks whose names hold the query, any case, and tells
  // their share of the root, a match inside another counted once.
  function search(query, result) {
    const q = query.toLowerCase();
    let count = 0, total = 0, inside = 0;
    for (const b of blocks) {
      if (b.lower === null) b.lower = nameOf(b).toLowerCase();
      const match = q !== '' && !b.gathered && b.lower.includes(q);
      if (match !== b.match) b.g.classList.toggle('s', match);
      b.match = match;
      if (!match) continue;
      ++count;
      if (b.index >= inside) {
        total += b.size;
        inside = b.end;
      }
    }
    chart.classList.toggle('q', q !== '');
    const root = blocks[0];
    const share = root.size ? ', ' + (100 * total / root.size).toFixed(1) + '% of the chart root' : '';
    result.textContent = q === '' ? '' : count + (count === 1 ? ' match' : ' matches') + share;
  }

  // The search field sits in the margin above the title, or over the title
  // where the margin is narrow, as a figure's is; never over the drawing.
  function makeSearchField() {
    const box = svg.viewBox.baseVal;
    const at = drawing.transform.baseVal.consolidate();
    const left = at ? at.matrix.e : 0, top = at ? at.matrix.f : 0;
    const height = Math.max(12, Math.min(18, top - 1));
    const holder = document.createElementNS(SVG, 'foreignObject');
    holder.setAttribute('x', left);
    holder.setAttribute('y', Math.max(0, top - 2 * em - height - 2));
    holder.setAttribute('width', Math.max(0, Math.min(W, box.width - left)));
    holder.setAttribute('height', height);
    const bar = document.createElementNS(XHTML, 'div');
    bar.setAttribute('style', 'display:flex;justify-content:flex-end;align-items:center;' +
                     'gap:6px;height:100%;padding:1px 0;box-sizing:border-box;font:10px sans-serif');
    const result = document.createElementNS(XHTML, 'span');
    const field = document.createElementNS(XHTML, 'input');
    field.setAttribute('type', 'search');
    field.setAttribute('placeholder', 'Search names ( / )');
    field.setAttribute('aria-label', 'Search names');
    field.setAttribute('style', 'font:inherit;width:14em;box-sizing:border-box;height:100%');
    field.addEventListener('input', () => search(field.value, result));
    field.addEventListener('keydown', (event) => {
      if (event.key !== 'Escape') return;
      field.value = '';
      search('', result);
      field.blur();
      event.preventDefault();
      event.stopPropagation();
    });
    bar.append(result, field);
    holder.appendChild(bar);
    svg.appendChild(holder);
    return field;
  }

  function onKey(event, field) {
    if (event.target === field || event.ctrlKey || event.metaKey || event.altKey) return;
    if (event.key === '/') {
      event.preventDefault();
      field.focus();
    } else if (event.key === 'Escape') {
      showStatic();
    }
  }

  readBlocks();
  if (blocks.length === 0) return;
  layOut();
  sinkGatheredBlocks();
  const field = makeSearchField();
  chart.addEventListener('click', onClick);
  document.addEventListener('keydown', (event) => onKey(event, field));
})();
)js";

}  // namespace voziv
