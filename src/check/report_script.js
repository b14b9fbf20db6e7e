// mirelon-check's report: every spectrum can be zoomed (mouse wheel, the
// buttons, + and - keys) and panned (drag, arrow keys), reset, and read in
// ppm at the cursor. The pictures place their labels themselves, for zooms
// 1, 2 and 4: this script moves the plot, shows each label from its zoom on
// and keeps labels and peak marks at their size on screen. Plain script, no
// library; it loads nothing.
//
// What it relies on in each picture: the plot is
// <g class="plot" data-area="X Y W H" data-ppm="LEFT RIGHT TOP BOTTOM">
// (the plot rectangle in the picture's units and the ppm at its four
// edges); everything inside it zooms and pans; labels are
// <text class="label" data-zoom="Z" data-x="PX" data-y="PY"> tied to the
// peak (PX, PY).
(function () {
  'use strict';

  var SVG_NS = 'http://www.w3.org/2000/svg';
  var LABEL_ZOOMS = [1, 2, 4];
  var MAX_ZOOM = 32;
  // A button press or key doubles or halves the zoom, so that presses from
  // 1 land on the label zooms; a wheel notch (100 pixels) changes it by a
  // factor of about 1.26.
  var STEP = 2;
  var WHEEL_PIXELS_PER_DOUBLING = 300;
  // Arrow keys pan by this share of the plot.
  var KEY_PAN = 0.1;
  // Circles and paths (dots, crosses, rings) no larger than this, in the
  // picture's units, are peak marks: they keep their size on screen.
  var MARK_SIZE = 16;
  var TICK_TARGET = 7;
  // The address follows the view this long after its last change.
  var RECORD_DELAY_MS = 400;

  // ---- Pure functions (tested without a browser) ----

  // The label zoom in force at `zoom`: the largest label zoom not above it.
  function labelZoom(zoom) {
    var level = LABEL_ZOOMS[0];
    for (var i = 0; i < LABEL_ZOOMS.length; i++) {
      if (LABEL_ZOOMS[i] <= zoom * (1 + 1e-9)) level = LABEL_ZOOMS[i];
    }
    return level;
  }

  // A view: the plot drawn at `zoom`, moved by (dx, dy): a point p of the
  // plot is drawn at zoom * p + d. The view is kept inside the plot: the
  // zoomed plot always covers the whole plot rectangle.
  function clampView(view, area) {
    var zoom = Math.min(Math.max(view.zoom, 1), MAX_ZOOM);
    var dx = Math.min(Math.max(view.dx, (area.x + area.w) * (1 - zoom)), area.x * (1 - zoom));
    var dy = Math.min(Math.max(view.dy, (area.y + area.h) * (1 - zoom)), area.y * (1 - zoom));
    return {zoom: zoom, dx: dx, dy: dy};
  }

  // `view` zoomed by `factor` about the drawn point (x, y), which stays where
  // it is (unless the view would leave the plot).
  function zoomAbout(view, factor, x, y, area) {
    var zoom = Math.min(Math.max(view.zoom * factor, 1), MAX_ZOOM);
    var px = (x - view.dx) / view.zoom;
    var py = (y - view.dy) / view.zoom;
    return clampView({zoom: zoom, dx: x - px * zoom, dy: y - py * zoom}, area);
  }

  // The point of the plot drawn at (x, y).
  function plotPoint(view, x, y) {
    return {x: (x - view.dx) / view.zoom, y: (y - view.dy) / view.zoom};
  }

  // The ppm (1H along x, the heteronucleus along y) of the plot point (x, y),
  // and back.
  function ppmAt(area, ppm, x, y) {
    return {
      h: ppm.left + (x - area.x) / area.w * (ppm.right - ppm.left),
      heavy: ppm.top + (y - area.y) / area.h * (ppm.bottom - ppm.top)
    };
  }
  function pointAt(area, ppm, h, heavy) {
    return {
      x: area.x + (h - ppm.left) / (ppm.right - ppm.left) * area.w,
      y: area.y + (heavy - ppm.top) / (ppm.bottom - ppm.top) * area.h
    };
  }

  // The ppm range in view: 1H from `left` to `right`, the heteronucleus from
  // `top` to `bottom`.
  function visiblePpm(view, area, ppm) {
    var a = plotPoint(view, area.x, area.y);
    var b = plotPoint(view, area.x + area.w, area.y + area.h);
    var first = ppmAt(area, ppm, a.x, a.y);
    var last = ppmAt(area, ppm, b.x, b.y);
    return {left: first.h, right: last.h, top: first.heavy, bottom: last.heavy};
  }

  // The transform that keeps an element tied to the plot point (px, py) at
  // its size on screen at `zoom`: a point q of it is drawn as the plot point
  // p + (q - p) / zoom would be.
  function pinnedTransform(zoom, px, py) {
    var s = 1 / zoom;
    return 'matrix(' + [s, 0, 0, s, px * (1 - s), py * (1 - s)].join(' ') + ')';
  }

  // Ticks over the ppm range [low, high] as the pictures draw them: a step of
  // 1, 2 or 5 times a power of ten giving about seven ticks, and as many
  // decimals as the step needs.
  function ticks(a, b) {
    var low = Math.min(a, b);
    var high = Math.max(a, b);
    var raw = (high - low) / TICK_TARGET;
    var power = Math.pow(10, Math.floor(Math.log10(raw)));
    var step = 10 * power;
    var factors = [1, 2, 5];
    for (var i = 0; i < factors.length; i++) {
      if (factors[i] * power >= raw) {
        step = factors[i] * power;
        break;
      }
    }
    var decimals = step >= 1 ? 0 : Math.ceil(-Math.log10(step));
    var values = [];
    for (var k = Math.ceil(low / step); k * step <= high * (1 + 1e-12); k++) {
      var value = k * step;
      values.push({value: value, text: (Math.abs(value) < step / 2 ? 0 : value).toFixed(decimals)});
    }
    return values;
  }

  // Shifts as the read-out shows them: 1H with 3 decimals, 13C and 15N
  // with 2.
  function formatPpm(value, proton) {
    return value.toFixed(proton ? 3 : 2);
  }

  // The view of one spectrum in a link: "#zoom=ID,ZOOM,H,HEAVY", the ppm
  // being those of the middle of the view.
  function formatViewFragment(id, zoom, h, heavy) {
    return '#zoom=' + id + ',' + Number(zoom.toFixed(3)) + ',' + formatPpm(h, true) + ',' +
        formatPpm(heavy, false);
  }
  function parseViewFragment(hash) {
    var match = /^#zoom=([A-Za-z0-9_-]+),([0-9.]+)(?:,(-?[0-9.]+),(-?[0-9.]+))?$/.exec(hash || '');
    if (!match) return null;
    var view = {id: match[1], zoom: Number(match[2])};
    if (match[3] !== undefined) {
      view.h = Number(match[3]);
      view.heavy = Number(match[4]);
    }
    return isFinite(view.zoom) && view.zoom > 0 ? view : null;
  }

  // The view of `zoom` whose middle is the plot point (x, y).
  function viewCentredOn(zoom, x, y, area) {
    var z = Math.min(Math.max(zoom, 1), MAX_ZOOM);
    return clampView(
        {zoom: z, dx: area.x + area.w / 2 - x * z, dy: area.y + area.h / 2 - y * z}, area);
  }

  function numbers(text) {
    return String(text || '').trim().split(/\s+/).map(Number);
  }

  var api = {
    labelZoom: labelZoom,
    clampView: clampView,
    zoomAbout: zoomAbout,
    plotPoint: plotPoint,
    ppmAt: ppmAt,
    pointAt: pointAt,
    visiblePpm: visiblePpm,
    pinnedTransform: pinnedTransform,
    ticks: ticks,
    formatViewFragment: formatViewFragment,
    parseViewFragment: parseViewFragment,
    viewCentredOn: viewCentredOn,
    MAX_ZOOM: MAX_ZOOM
  };
  if (typeof module === 'object' && module.exports) {
    module.exports = api;
    return;
  }
  if (typeof document === 'undefined') return;

  // ---- The spectra of the page ----

  var spectra = [];

  function svgElement(name, attributes) {
    var element = document.createElementNS(SVG_NS, name);
    for (var key in attributes) element.setAttribute(key, attributes[key]);
    return element;
  }

  // Whether `element` or a group between it and `svg` is transformed.
  function transformed(element, svg) {
    for (var e = element; e && e !== svg; e = e.parentNode) {
      if (e.hasAttribute && e.hasAttribute('transform')) return true;
    }
    return false;
  }

  function Spectrum(figure, svg, plot, index) {
    var a = numbers(plot.getAttribute('data-area'));
    var p = numbers(plot.getAttribute('data-ppm'));
    this.figure = figure;
    this.svg = svg;
    this.area = {x: a[0], y: a[1], w: a[2], h: a[3]};
    this.ppm = {left: p[0], right: p[1], top: p[2], bottom: p[3]};
    this.id = figure.getAttribute('data-experiment') || String(index);
    var nuclei = String(figure.getAttribute('data-nuclei') || '1H X').split(/\s+/);
    this.nuclei = {h: nuclei[0], heavy: nuclei[1] || ''};
    this.view = {zoom: 1, dx: 0, dy: 0};
    this.labelZoom = 0;
    this.scheduled = false;
    this.wrapContent(plot, index);
    this.findPinned();
    this.findAxisMarks(plot);
    this.axes = svg.appendChild(svgElement('g', {'class': 'zoomed-axes'}));
    this.makeControls();
    this.listen();
    this.render();
  }

  // Everything in the plot goes into one group that is zoomed and panned;
  // the plot itself is clipped to its rectangle, which stays put.
  Spectrum.prototype.wrapContent = function (plot, index) {
    var clipId = 'mirelon-view-clip-' + index;
    var clip = svgElement('clipPath', {id: clipId});
    clip.appendChild(svgElement('rect', {
      x: this.area.x, y: this.area.y, width: this.area.w, height: this.area.h
    }));
    this.svg.insertBefore(clip, this.svg.firstChild);
    plot.setAttribute('clip-path', 'url(#' + clipId + ')');
    this.content = svgElement('g', {});
    while (plot.firstChild) this.content.appendChild(plot.firstChild);
    plot.appendChild(this.content);
  };

  // Elements drawn at their size on screen: those tied to a peak by data-x
  // and data-y (labels; shown from their data-zoom on), and small circles
  // and paths (peak marks), tied to their own middle.
  Spectrum.prototype.findPinned = function () {
    var pinned = [];
    var content = this.content;
    Array.prototype.forEach.call(content.querySelectorAll('[data-x][data-y]'), function (e) {
      pinned.push({
        element: e,
        x: Number(e.getAttribute('data-x')),
        y: Number(e.getAttribute('data-y')),
        zoom: e.hasAttribute('data-zoom') ? Number(e.getAttribute('data-zoom')) : 1,
        transform: e.getAttribute('transform') || ''
      });
    });
    Array.prototype.forEach.call(content.querySelectorAll('circle, path'), function (e) {
      if (e.closest('[data-x][data-y]') || transformed(e, content)) return;
      var box = e.getBBox();
      if (box.width > MARK_SIZE || box.height > MARK_SIZE) return;
      pinned.push({
        element: e, x: box.x + box.width / 2, y: box.y + box.height / 2, zoom: 0, transform: ''
      });
    });
    this.pinned = pinned;
  };

  // The ticks and numbers of the picture's own axes (lines and texts just
  // below and left of the plot): hidden while zoomed, when the script draws
  // the axes of the range in view.
  Spectrum.prototype.findAxisMarks = function (plot) {
    var area = this.area;
    var svg = this.svg;
    this.axisMarks = Array.prototype.filter.call(svg.querySelectorAll('line, text'), function (e) {
      if (plot.contains(e) || transformed(e, svg)) return false;
      var b = e.getBBox();
      var middleX = b.x + b.width / 2;
      var middleY = b.y + b.height / 2;
      var below = b.y >= area.y + area.h - 1 && b.y + b.height <= area.y + area.h + 24 &&
          middleX >= area.x - 30 && middleX <= area.x + area.w + 30;
      var left = b.x + b.width <= area.x + 1 && b.x >= area.x - 50 && middleY >= area.y - 12 &&
          middleY <= area.y + area.h + 12;
      return below || left;
    });
  };

  Spectrum.prototype.makeControls = function () {
    var self = this;
    var bar = document.createElement('div');
    bar.className = 'view-controls';
    bar.setAttribute('role', 'toolbar');
    bar.setAttribute('aria-label', 'View of the ' + (this.svg.getAttribute('aria-label') || 'spectrum'));
    function button(text, label, action) {
      var b = document.createElement('button');
      b.type = 'button';
      b.textContent = text;
      b.setAttribute('aria-label', label);
      b.title = label;
      b.addEventListener('click', action);
      bar.appendChild(b);
      return b;
    }
    button('+', 'Zoom in (+ key)', function () { self.zoomCentre(STEP); });
    button('\u2212', 'Zoom out (- key)', function () { self.zoomCentre(1 / STEP); });
    button('Reset', 'Reset the view (0 key)', function () { self.setView({zoom: 1, dx: 0, dy: 0}); });
    // The zoom is announced as it changes; the read-out, which follows the
    // mouse, is not.
    this.zoomText = bar.appendChild(document.createElement('span'));
    this.zoomText.className = 'zoom';
    this.zoomText.setAttribute('aria-live', 'polite');
    this.readout = bar.appendChild(document.createElement('output'));
    this.readout.setAttribute('aria-label', 'shifts under the cursor, or the range in view');
    this.figure.insertBefore(bar, this.svg);
    this.svg.setAttribute('tabindex', '0');
  };

  // The point of the picture under the mouse.
  Spectrum.prototype.pictureAt = function (event) {
    var matrix = this.svg.getScreenCTM();
    if (!matrix) return null;
    var point = new DOMPoint(event.clientX, event.clientY).matrixTransform(matrix.inverse());
    return {x: point.x, y: point.y};
  };

  Spectrum.prototype.inArea = function (point) {
    var a = this.area;
    return point && point.x >= a.x && point.x <= a.x + a.w && point.y >= a.y && point.y <= a.y + a.h;
  };

  Spectrum.prototype.listen = function () {
    var self = this;
    var svg = this.svg;
    var drag = null;
    svg.addEventListener('wheel', function (event) {
      var point = self.pictureAt(event);
      if (!self.inArea(point)) return;
      event.preventDefault();
      var pixels = event.deltaY * (event.deltaMode === 1 ? 16 : event.deltaMode === 2 ? 400 : 1);
      self.setView(zoomAbout(self.view, Math.pow(2, -pixels / WHEEL_PIXELS_PER_DOUBLING), point.x,
                             point.y, self.area));
    }, {passive: false});
    svg.addEventListener('pointerdown', function (event) {
      var point = self.pictureAt(event);
      if (event.button !== 0 || !self.inArea(point)) return;
      drag = {id: event.pointerId, point: point, view: self.view};
      svg.setPointerCapture(event.pointerId);
      self.figure.classList.add('dragging');
    });
    svg.addEventListener('pointermove', function (event) {
      var point = self.pictureAt(event);
      if (drag && event.pointerId === drag.id && point) {
        self.setView({
          zoom: drag.view.zoom,
          dx: drag.view.dx + point.x - drag.point.x,
          dy: drag.view.dy + point.y - drag.point.y
        });
      }
      self.showCursor(point);
    });
    function endDrag(event) {
      if (!drag || event.pointerId !== drag.id) return;
      drag = null;
      self.figure.classList.remove('dragging');
    }
    svg.addEventListener('pointerup', endDrag);
    svg.addEventListener('pointercancel', endDrag);
    svg.addEventListener('pointerleave', function () { self.showCursor(null); });
    svg.addEventListener('dblclick', function (event) {
      var point = self.pictureAt(event);
      if (!self.inArea(point)) return;
      self.setView(zoomAbout(self.view, event.shiftKey ? 1 / STEP : STEP, point.x, point.y,
                             self.area));
    });
    svg.addEventListener('keydown', function (event) {
      var a = self.area;
      var moves = {
        ArrowLeft: [KEY_PAN * a.w, 0], ArrowRight: [-KEY_PAN * a.w, 0],
        ArrowUp: [0, KEY_PAN * a.h], ArrowDown: [0, -KEY_PAN * a.h]
      };
      if (event.key === '+' || event.key === '=') {
        self.zoomCentre(STEP);
      } else if (event.key === '-' || event.key === '_') {
        self.zoomCentre(1 / STEP);
      } else if (event.key === '0') {
        self.setView({zoom: 1, dx: 0, dy: 0});
      } else if (moves[event.key] && self.view.zoom > 1) {
        var move = moves[event.key];
        self.setView({zoom: self.view.zoom, dx: self.view.dx + move[0], dy: self.view.dy + move[1]});
      } else {
        return;
      }
      event.preventDefault();
    });
  };

  Spectrum.prototype.zoomCentre = function (factor) {
    var a = this.area;
    this.setView(zoomAbout(this.view, factor, a.x + a.w / 2, a.y + a.h / 2, a));
  };

  Spectrum.prototype.setView = function (view, keepAddress) {
    var self = this;
    this.view = clampView(view, this.area);
    if (!keepAddress) {
      window.clearTimeout(this.recordTimer);
      this.recordTimer = window.setTimeout(function () { self.recordView(); }, RECORD_DELAY_MS);
    }
    if (this.scheduled) return;
    this.scheduled = true;
    window.requestAnimationFrame(function () {
      self.scheduled = false;
      self.render();
    });
  };

  // The address then holds the view last changed, so that a link to the
  // report can show it; reset, it holds none.
  Spectrum.prototype.recordView = function () {
    var view = this.view;
    var fragment = '';
    if (view.zoom > 1) {
      var a = this.area;
      var middle = plotPoint(view, a.x + a.w / 2, a.y + a.h / 2);
      var ppm = ppmAt(a, this.ppm, middle.x, middle.y);
      fragment = formatViewFragment(this.id, view.zoom, ppm.h, ppm.heavy);
    }
    try {
      window.history.replaceState(null, '', window.location.href.split('#')[0] + fragment);
    } catch (e) {
      // A page that may not change its address keeps it.
    }
  };

  Spectrum.prototype.render = function () {
    var view = this.view;
    var zoom = view.zoom;
    var moved = zoom !== 1 || view.dx !== 0 || view.dy !== 0;
    if (moved) {
      this.content.setAttribute('transform',
                                'matrix(' + [zoom, 0, 0, zoom, view.dx, view.dy].join(' ') + ')');
    } else {
      this.content.removeAttribute('transform');
    }
    var level = labelZoom(zoom);
    var levelChanged = level !== this.labelZoom;
    this.labelZoom = level;
    this.pinned.forEach(function (p) {
      var transform = zoom === 1 ? '' : pinnedTransform(zoom, p.x, p.y) + ' ';
      transform += p.transform;
      if (transform) {
        p.element.setAttribute('transform', transform.trim());
      } else {
        p.element.removeAttribute('transform');
      }
      if (levelChanged && p.zoom > 0) {
        var shown = p.zoom <= level;
        p.element.style.display = shown ? 'inline' : 'none';
        p.element.style.visibility = shown ? 'visible' : 'hidden';
      }
    });
    this.renderAxes();
    this.figure.classList.toggle('zoomed', zoom > 1);
    this.zoomText.textContent = 'zoom ' + Number(zoom.toFixed(2)) + '\u00d7';
    this.showCursor(null);
  };

  // Zoomed, the picture's own ticks give way to ticks of the range in view.
  Spectrum.prototype.renderAxes = function () {
    var zoomed = this.view.zoom > 1;
    this.axisMarks.forEach(function (e) { e.style.display = zoomed ? 'none' : ''; });
    while (this.axes.firstChild) this.axes.removeChild(this.axes.firstChild);
    if (!zoomed) return;
    var a = this.area;
    var view = this.view;
    var ppm = this.ppm;
    var range = visiblePpm(view, a, ppm);
    var axes = this.axes;
    var bottom = a.y + a.h;
    ticks(range.left, range.right).forEach(function (tick) {
      var x = view.dx + view.zoom * pointAt(a, ppm, tick.value, ppm.top).x;
      axes.appendChild(svgElement('line', {x1: x, y1: bottom, x2: x, y2: bottom + 5, stroke: '#000'}));
      var text = svgElement('text', {x: x, y: bottom + 18, 'text-anchor': 'middle'});
      text.textContent = tick.text;
      axes.appendChild(text);
    });
    ticks(range.top, range.bottom).forEach(function (tick) {
      var y = view.dy + view.zoom * pointAt(a, ppm, ppm.left, tick.value).y;
      axes.appendChild(svgElement('line', {x1: a.x - 5, y1: y, x2: a.x, y2: y, stroke: '#000'}));
      var text = svgElement('text', {x: a.x - 8, y: y + 4, 'text-anchor': 'end'});
      text.textContent = tick.text;
      axes.appendChild(text);
    });
  };

  // The read-out: the shifts under the cursor, else the range in view.
  Spectrum.prototype.showCursor = function (point) {
    var n = this.nuclei;
    var text;
    if (this.inArea(point)) {
      var p = plotPoint(this.view, point.x, point.y);
      var ppm = ppmAt(this.area, this.ppm, p.x, p.y);
      text = 'cursor: ' + n.h + ' ' + formatPpm(ppm.h, true) + ' ppm, ' + n.heavy + ' ' +
          formatPpm(ppm.heavy, false) + ' ppm';
    } else if (this.view.zoom === 1) {
      text = 'wheel, + and \u2212 or double-click: zoom; drag or arrow keys: pan; 0: reset';
    } else {
      var r = visiblePpm(this.view, this.area, this.ppm);
      text = 'in view: ' + n.h + ' ' + formatPpm(r.left, true) + ' to ' + formatPpm(r.right, true) +
          ' ppm, ' + n.heavy + ' ' + formatPpm(r.top, false) + ' to ' + formatPpm(r.bottom, false) +
          ' ppm';
    }
    this.readout.textContent = text;
  };

  // Shows the view a link names ("#zoom=h1c1,4,5.100,92.00") and scrolls
  // to its spectrum.
  function showLinkedView() {
    var wanted = parseViewFragment(window.location.hash);
    if (!wanted) return;
    spectra.forEach(function (s) {
      if (s.id !== wanted.id) return;
      var a = s.area;
      var middle = wanted.h === undefined ? {x: a.x + a.w / 2, y: a.y + a.h / 2}
                                          : pointAt(a, s.ppm, wanted.h, wanted.heavy);
      s.view = viewCentredOn(wanted.zoom, middle.x, middle.y, a);
      s.render();
      s.figure.scrollIntoView();
    });
  }

  Array.prototype.forEach.call(document.querySelectorAll('figure.spectrum'), function (figure, i) {
    var svg = figure.querySelector('svg');
    var plot = svg && svg.querySelector('g.plot[data-area][data-ppm]');
    if (plot) spectra.push(new Spectrum(figure, svg, plot, i));
  });
  showLinkedView();
  window.addEventListener('hashchange', showLinkedView);
})();
