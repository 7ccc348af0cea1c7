// The in-page runtime of Pagequill's web views. It is installed once per document, at
// document start, in every frame, in the script world "pagequill" (page scripts cannot see or
// replace it). It reports each frame's path and address when the frame starts loading and when it
// has loaded, forwards the events of documents the edit pane hooks, and offers the operations the
// adapter calls from the top document as window.__pq.<name>(...).
//
// Each operation takes the frame path of the document it works on and walks from the top window,
// so same-origin frames (and local edit copies with file access allowed) are reached; an
// unreadable frame throws, and the adapter turns that into "no result".
(() => {
  if (window.__pq) return;
  const channel = () => window.webkit.messageHandlers.pq;
  const post = (m) => { try { channel().postMessage(m); } catch (e) {} };

  const pathOf = (w) => {
    const path = [];
    try {
      while (w !== w.parent && path.length < 16) {
        const p = w.parent;
        let found = -1;
        for (let i = 0; i < p.frames.length; i++) if (p.frames[i] === w) { found = i; break; }
        if (found < 0) return null;
        path.unshift(found);
        w = p;
      }
    } catch (e) { return null; }
    return path;
  };
  const win = (path) => {
    let w = window;
    for (const i of path) {
      if (!w.frames || i >= w.frames.length) throw new Error('no such frame');
      w = w.frames[i];
    }
    return w;
  };
  const doc = (path) => {
    const d = win(path).document;
    if (!d) throw new Error('no document');
    return d;
  };
  const linkIn = (path, id) => {
    const span = doc(path).getElementById(id);
    return span ? span.getElementsByTagName('a')[0] || null : null;
  };
  const textOf = (e) => (e ? (e.innerText ?? e.textContent ?? '') : '');

  // Documents travel to the program as one packed string (engine/packed_records.h): records end
  // with \x1e, fields with \x1f, and a backslash escapes those two, \x1d and itself. A boolean
  // is '1' or ''.
  const escapes = { '\\': '\\\\', '\x1d': '\\l', '\x1e': '\\r', '\x1f': '\\f' };
  // Most fields hold none of the four: a test is far cheaper than a replace on every field.
  const special = /[\\\x1d\x1e\x1f]/;
  const esc = (v) => {
    const s = String(typeof v === 'boolean' ? (v ? 1 : '') : (v ?? ''));
    return special.test(s) ? s.replace(/[\\\x1d\x1e\x1f]/g, (c) => escapes[c]) : s;
  };
  const pack = (rows) => {
    const out = [];
    for (const row of rows) { for (const f of row) out.push(esc(f), '\x1f'); out.push('\x1e'); }
    return out.join('');
  };
  const unescapes = { l: '\x1d', r: '\x1e', f: '\x1f' };
  const un = (v) => v.replace(/\\(.)/g, (m, c) => unescapes[c] ?? c);
  const unpack = (packed) => {
    const rows = String(packed).split('\x1e');
    rows.pop();
    return rows.map((row) => { const f = row.split('\x1f'); f.pop(); return f.map(un); });
  };

  // One element as a packed record: tag, id, editable, parentId, parentTag, html, text.
  const describe = (e, whole) => {
    if (!e) return null;
    const parent = e.parentElement;
    return pack([[
      e.tagName || '', e.id || '', !!e.isContentEditable,
      parent ? (parent.id || '') : '', parent ? (parent.tagName || '') : '',
      // Only editable elements carry their HTML: the body of a large page would be copied
      // on every keystroke otherwise.
      whole || e.isContentEditable ? e.innerHTML : '', whole ? textOf(e) : ''
    ]]);
  };

  // Records [depth, ok, url, html, text] of a document and its frames, depth first.
  const snapshot = (w, depth, rows) => {
    const r = [depth, false, '', '', ''];
    rows.push(r);
    try {
      const d = w.document;
      r[2] = String(w.location.href);
      const e = d.documentElement;
      r[3] = e ? e.outerHTML : '';
      r[4] = textOf(e);
      r[1] = true;
    } catch (e) { return rows; }
    if (depth < 16) {
      for (let i = 0; i < w.frames.length; i++) snapshot(w.frames[i], depth + 1, rows);
    }
    return rows;
  };

  // What the site check reads of a document: "<html>", the comments directly inside the
  // document element or its head (where the origin markers land), every META element, "</html>".
  const markersAndMeta = (d) => {
    const root = d.documentElement;
    if (!root) return '';
    let s = '<html>';
    for (const n of root.childNodes) {
      if (n.nodeType === 8) s += '<!--' + n.data + '-->';
      else if (n === d.head) for (const h of n.childNodes) if (h.nodeType === 8) s += '<!--' + h.data + '-->';
    }
    for (const m of d.getElementsByTagName('meta')) s += m.outerHTML;
    return s + '</html>';
  };

  // The elements of the body in document order, kept on the document so that a batch of
  // changes can refer to them by their index.
  const listElements = (d) => {
    const list = d.body ? Array.from(d.body.getElementsByTagName('*')) : [];
    d.__pqList = list;
    return list;
  };
  const parentIndex = (list) => {
    const index = new Map(list.map((e, i) => [e, i]));
    return (e) => (e.parentElement && index.has(e.parentElement)) ? index.get(e.parentElement) : -1;
  };

  // The live contents of every edit and anchor span: [id, html, editable link HTML...].
  const spanRecords = (d) => {
    const rows = [];
    const seen = new Set();
    for (const e of d.querySelectorAll('[id]')) {
      const up = e.id.toUpperCase();
      if (!(up.startsWith('ZZZEDIT') || up.startsWith('ZZZANCHOR')) || seen.has(e.id)) continue;
      seen.add(e.id);
      rows.push([e.id, e.innerHTML,
                 ...Array.from(e.getElementsByTagName('a')).filter((a) => a.isContentEditable).map((a) => a.innerHTML)]);
    }
    return rows;
  };

  const readers = {
    tag: (e) => e.tagName || '',
    id: (e) => e.id || '',
    text: (e) => textOf(e),
    html: (e) => e.innerHTML,
    editable: (e) => !!e.isContentEditable,
    parent: (e, parentOf) => parentOf(e),
    parentId: (e) => (e.parentElement ? (e.parentElement.id || '') : ''),
    href: (e) => (e.getAttribute ? (e.getAttribute('href') || '') : ''),
  };
  // Elements whose clicks do nothing: their own and the page's click handlers are skipped and
  // a link does not navigate. Kept here rather than in attributes, so the page's HTML stays as
  // it was.
  // Whether the focus is in editable text, in whichever frame it is.
  const editingAnywhere = () => {
    let d = document;
    for (let depth = 0; d && depth < 16; depth++) {
      const a = d.activeElement;
      if (!a) return false;
      if (a.isContentEditable) return true;
      try { d = a.contentDocument; } catch (x) { return false; }
    }
    return false;
  };
  const noClick = new WeakSet();
  const guarded = new WeakSet();
  const guardClicks = (d) => {
    if (guarded.has(d)) return;
    guarded.add(d);
    d.addEventListener('click', (ev) => {
      for (const n of ev.composedPath()) {
        if (noClick.has(n)) { ev.preventDefault(); ev.stopPropagation(); return; }
      }
    }, true);
  };
  const setters = {
    innerHTML: (e, v) => { e.innerHTML = String(v); },
    contentEditable: (e, v) => { e.contentEditable = String(v); },
    border: (e, v) => {
      e.style.border = String(v);
      // The engine repaints only the changed part of an inline frame as text is typed, which
      // leaves it in pieces: after every change of the span's contents it is drawn again whole.
      if (!e.__pqFrameWatch && String(v)) {
        e.__pqFrameWatch = true;
        e.addEventListener('input', () => {
          const frame = e.style.border;
          if (!frame) return;
          e.style.border = 'none';
          e.getBoundingClientRect();
          e.style.border = frame;
        });
      }
    },
    disabled: (e, v) => { e.disabled = !!v; },
    href: (e, v) => { e.href = String(v); },
    target: (e, v) => { e.target = String(v); },
    onclick: (e) => { guardClicks(e.ownerDocument); noClick.add(e); },
    focus: (e) => { e.focus(); },
    // The program's first caret position: never taken from text the user has clicked into
    // meanwhile (the check and the focus happen in one step in the page).
    focusUnlessEditing: (e) => {
      if (editingAnywhere()) return false;
      e.focus();
      return true;
    },
  };

  const hooked = new WeakSet();
  // Each hooked document gets a number of its own, so a frame that loads again is told apart
  // from the document it had before.
  let loads = 0;
  // passCtrl: [keyCode, withShift] of the keys with Ctrl that reach the engine in editable text.
  const hook = (path, passCtrl) => {
    const d = doc(path);
    if (hooked.has(d)) return true;
    hooked.add(d);
    const load = ++loads;
    const report = (ev) => {
      const sel = d.getSelection ? d.getSelection() : null;
      post({
        kind: 'event', path, load, type: ev.type,
        keyCode: ev.keyCode || 0, ctrlKey: !!ev.ctrlKey, shiftKey: !!ev.shiftKey,
        x: ev.clientX || 0, y: ev.clientY || 0,
        hasText: !!(sel && String(sel).length > 0),
        active: describe(d.activeElement, false)
      });
    };
    const cancel = (ev) => { ev.preventDefault(); ev.stopPropagation(); };
    const passes = (ev) => {
      if (!Array.isArray(passCtrl) || !ev.type.startsWith('key') || ev.altKey || ev.metaKey) return false;
      const a = d.activeElement;
      if (!(a && a.isContentEditable)) return false;
      return passCtrl.some(([k, shift]) => k === ev.keyCode && (shift || !ev.shiftKey));
    };
    const onEvent = (ev) => {
      report(ev);
      if (ev.type === 'selectionchange') {
        // Nothing outside the editable elements stays selected.
        const a = d.activeElement;
        const sel = d.getSelection();
        if (!(a && a.isContentEditable) && sel && sel.rangeCount && !sel.isCollapsed) sel.removeAllRanges();
        return;
      }
      if (ev.ctrlKey && !passes(ev)) return cancel(ev);
      if (ev.type === 'dragstart' || ev.type === 'contextmenu') return cancel(ev);
      if (ev.type === 'keydown' && ev.keyCode === 13) {
        cancel(ev);
        d.execCommand('insertLineBreak');
      } else if (ev.type === 'keypress' && ev.keyCode === 13) {
        cancel(ev);
      }
    };
    for (const t of ['keypress', 'keydown', 'keyup', 'dragstart', 'contextmenu', 'click',
                     'mouseup', 'selectionchange', 'focusin']) {
      d.addEventListener(t, onEvent, true);
    }
    return true;
  };

  const addStyle = (d, css) => {
    const s = d.createElement('style');
    s.id = 'pagequill-style';
    s.textContent = css;
    (d.head || d.documentElement).appendChild(s);
    return true;
  };
  // Changes of one batch: [index, property, value]. A failing change is skipped.
  const apply = (d, changes) => {
    const list = d.__pqList || [];
    let done = 0;
    for (const [i, prop, value] of changes) {
      const e = list[Number(i)];
      const set = setters[prop];
      if (!e || !set) continue;
      try { set(e, value); done++; } catch (x) {}
    }
    return done;
  };

  // What activation reads, in one call: [markersAndMeta, frame count], then per element of the
  // body [tag, id, parent, text, html]: text only of edit spans and of links inside anchor spans
  // (the only texts the plan weighs; each one is a walk over laid-out text), html only of edit
  // and anchor spans (any element with such an id) and of links.
  const activationRead = (path) => {
    const w = win(path);
    const d = doc(path);
    const list = listElements(d);
    const parentOf = parentIndex(list);
    const rows = [[markersAndMeta(d), w.frames.length]];
    // Per element: inside an anchor span (elements come in document order, parents first).
    const inAnchor = new Uint8Array(list.length);
    list.forEach((e, i) => {
      const tag = e.tagName || '';
      const up = tag.toUpperCase();
      const id = e.id || '';
      const upId = id.toUpperCase();
      const parent = parentOf(e);
      if (parent >= 0) {
        const p = list[parent];
        inAnchor[i] = inAnchor[parent] ||
            ((p.tagName || '').toUpperCase() === 'SPAN' && (p.id || '').toUpperCase().startsWith('ZZZANCHOR')) ? 1 : 0;
      }
      const edit = upId.startsWith('ZZZEDIT');
      rows.push([tag, id, parent, (up === 'SPAN' && edit) || (up === 'A' && inAnchor[i]) ? textOf(e) : '',
                 up === 'A' || edit || upId.startsWith('ZZZANCHOR') ? e.innerHTML : '']);
    });
    return pack(rows);
  };

  // What activation does, in one call: the style sheet, the packed batch of changes, the
  // events hooked. Answers only the contents the batch changed, as [id, html, link HTML...]
  // (the program knows the rest from its read): reading every span back cost as much as the
  // load, and asking whether a link is editable made the engine restyle the whole page at once.
  // The batch changes the contents only of spans it opens, so all their links are editable.
  const activate = (path, css, packed, passCtrl) => {
    const d = doc(path);
    addStyle(d, css);
    const changes = unpack(packed);
    apply(d, changes);
    hook(path, passCtrl);
    const list = d.__pqList || [];
    const rows = [];
    for (const [i, prop] of changes) {
      const e = list[Number(i)];
      if (prop !== 'innerHTML' || !e || !e.id) continue;
      rows.push([e.id, e.innerHTML, ...Array.from(e.getElementsByTagName('a'), (a) => a.innerHTML)]);
    }
    return pack(rows);
  };

  window.__pq = {
    snapshot: (path) => pack(snapshot(win(path), 0, [])),
    frameCount: (path) => win(path).frames.length,
    location: (path) => String(win(path).location.href),
    outerHTML: (path) => { const e = doc(path).documentElement; return e ? e.outerHTML : ''; },
    navigateFrame: (path, url) => { win(path).location.href = url; return true; },
    markersAndMeta: (path) => markersAndMeta(doc(path)),
    // One walk: the requested fields of every element of the body, in document order, packed.
    elements: (path, fields) => {
      const list = listElements(doc(path));
      const parentOf = parentIndex(list);
      return pack(list.map((e) => fields.map((f) => {
        try { return readers[f] ? readers[f](e, parentOf) : ''; } catch (x) { return ''; }
      })));
    },
    // A packed batch of changes (index, property, value).
    apply: (path, packed) => apply(doc(path), unpack(packed)),
    activationRead,
    // Several documents' reads in one call, in the order asked; null for one that cannot be read.
    activationReads: (paths) => paths.map((p) => { try { return activationRead(p); } catch (x) { return null; } }),
    activate,
    // Several documents' activations in one call: [path, css, packed] each, answered in order;
    // null for one that cannot be reached.
    activateAll: (batch, passCtrl) => batch.map(([p, css, packed]) => {
      try { return activate(p, css, packed, passCtrl); } catch (x) { return null; }
    }),
    // The addresses the frame elements of a document name ('' where there is none to read).
    frameSources: (path) => {
      const w = win(path);
      const out = [];
      for (let i = 0; i < w.frames.length; i++) {
        let src = '';
        try { const e = w.frames[i].frameElement; src = e && e.src ? String(e.src) : ''; } catch (x) {}
        out.push(src);
      }
      return pack([out]);
    },
    // Sends several frames of one document to their addresses at once ('' leaves a frame be).
    navigateFrames: (path, urls) => {
      const w = win(path);
      let sent = 0;
      urls.forEach((url, i) => {
        if (!url || i >= w.frames.length) return;
        w.frames[i].location.href = url;
        sent++;
      });
      return sent;
    },
    byId: (path, id) => describe(doc(path).getElementById(id), true),
    setById: (path, id, prop, value) => {
      const e = doc(path).getElementById(id);
      const set = setters[prop];
      if (!e || !set) return false;
      return set(e, value) !== false;
    },
    active: (path) => describe(doc(path).activeElement, false),
    // The live contents of every edit and anchor span (the first element of each id), packed.
    spans: (path) => pack(spanRecords(doc(path))),
    selectionText: (path) => { const s = doc(path).getSelection(); return s ? String(s) : ''; },
    exec: (path, command, value) => {
      const d = doc(path);
      if (command.toLowerCase() === 'unselect') {
        const s = d.getSelection();
        if (s) s.removeAllRanges();
        return true;
      }
      return d.execCommand(command, false, value);
    },
    addStyle: (path, css) => addStyle(doc(path), css),
    submitForm: (path, index) => { doc(path).forms[index].submit(); return true; },
    // An element's inner HTML alone: unlike its text, it needs no layout of the page.
    htmlById: (path, id) => { const e = doc(path).getElementById(id); return e ? e.innerHTML : null; },
    // The editable link inside an anchor span: read, write, focus.
    link: (path, id) => {
      const a = linkIn(path, id);
      return a ? { text: textOf(a), html: a.innerHTML } : null;
    },
    setLink: (path, id, html) => {
      const a = linkIn(path, id);
      if (!a) return false;
      a.innerHTML = String(html);
      return true;
    },
    focusLink: (path, id) => {
      const a = linkIn(path, id);
      if (!a) return false;
      a.focus();
      return a.ownerDocument.activeElement === a;
    },
    // Gives the focus back to the document's focused element if it is editable.
    focusActive: (path) => {
      const e = doc(path).activeElement;
      if (!e || !e.isContentEditable) return false;
      e.focus();
      return true;
    },
    activeEditable: (path) => { const e = doc(path).activeElement; return !!(e && e.isContentEditable); },
    collapse: (path) => {
      const s = doc(path).getSelection();
      if (s && s.rangeCount) s.collapseToStart();
      return true;
    },
    // Where the document's window lies in the top window (for pop-ups at a mouse position).
    frameOffset: (path) => {
      let x = 0, y = 0, w = win(path);
      while (w !== window && w.frameElement) {
        const r = w.frameElement.getBoundingClientRect();
        x += r.left + w.frameElement.clientLeft;
        y += r.top + w.frameElement.clientTop;
        w = w.parent;
      }
      return { x, y };
    },
    hook,
  };

  // Every press the page sees, so that the keys typed after it are let through (the engine's
  // keys can otherwise overtake a click still on its way).
  addEventListener('mousedown', (ev) => { if (ev.isTrusted) post({ kind: 'pressed' }); }, true);

  const here = pathOf(window);
  if (here) {
    post({ kind: 'navigated', path: here, url: String(location.href) });
    addEventListener('load', () => post({ kind: 'loaded', path: here, url: String(location.href) }));
  }
})();
