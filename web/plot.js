// The plot window's charts, drawn as SVG from the core's plot figures:
// obtained against predicted scores for the controls and the case with the
// case's interval, and the case's t on the t density with the tail more
// extreme than it shaded. The core lays the charts out (axis ends, ticks and
// their labels, titles, legend texts), as it does for the window: this only
// draws them. Summary statistics have no scores chart.
"use strict";
window.Pavona = window.Pavona || {};

(function (P) {
  const SVG = "http://www.w3.org/2000/svg";
  const Width = 480;
  const ChartHeight = 340;
  const Font = "Liberation Sans, Arial, Helvetica, sans-serif";
  const FontSize = 12;
  const Margin = { left: 64, right: 16, top: 14, bottom: 50 };

  const Colours = {
    control: "rgb(31,119,180)",
    controlFill: "rgba(31,119,180,0.667)",
    controlBorder: "rgb(24,92,138)",
    case: "rgb(214,39,40)",
    interval: "rgb(255,127,14)",
    equal: "rgb(110,110,110)",
    tail: "rgba(214,39,40,0.353)",
    tailLabel: "rgb(153,28,29)",
    grid: "rgb(220,220,220)",
    axis: "rgb(60,60,60)",
  };

  let last = null; // the figures on show, for the downloads

  // ---- SVG helpers --------------------------------------------------------

  function element(name, attributes, parent) {
    const node = document.createElementNS(SVG, name);
    for (const [key, value] of Object.entries(attributes || {})) node.setAttribute(key, value);
    if (parent) parent.appendChild(node);
    return node;
  }

  function text(parent, x, y, content, attributes) {
    const node = element("text", Object.assign({ x, y, "font-family": Font, "font-size": FontSize, fill: Colours.axis }, attributes), parent);
    node.textContent = content;
    return node;
  }

  let measurer = null;
  function textWidth(content, bold) {
    measurer = measurer || document.createElement("canvas").getContext("2d");
    measurer.font = (bold ? "bold " : "") + FontSize + "px " + Font;
    return measurer.measureText(content).width;
  }

  function polyline(parent, xs, ys, attributes) {
    const points = xs.map((x, i) => x.toFixed(2) + "," + ys[i].toFixed(2)).join(" ");
    return element("polyline", Object.assign({ points, fill: "none" }, attributes), parent);
  }

  // A chart's frame: the plot area, its scales, grid, ticks and axis titles,
  // from the core's axes ({ title, low, high, ticks, labels }).
  function frame(svg, x, y) {
    const area = { left: Margin.left, right: Width - Margin.right, top: Margin.top, bottom: ChartHeight - Margin.bottom };
    const px = (v) => area.left + (v - x.low) / (x.high - x.low) * (area.right - area.left);
    const py = (v) => area.bottom - (v - y.low) / (y.high - y.low) * (area.bottom - area.top);
    element("rect", { x: 0, y: 0, width: Width, height: ChartHeight, fill: "#fff" }, svg);
    const grid = element("g", { stroke: Colours.grid, "stroke-width": 1 }, svg);
    x.ticks.forEach((t, i) => {
      element("line", { x1: px(t), x2: px(t), y1: area.top, y2: area.bottom }, grid);
      text(svg, px(t), area.bottom + 16, x.labels[i], { "text-anchor": "middle" });
    });
    y.ticks.forEach((t, i) => {
      element("line", { x1: area.left, x2: area.right, y1: py(t), y2: py(t) }, grid);
      text(svg, area.left - 6, py(t) + 4, y.labels[i], { "text-anchor": "end" });
    });
    element("rect", { x: area.left, y: area.top, width: area.right - area.left, height: area.bottom - area.top,
      fill: "none", stroke: Colours.axis, "stroke-width": 1 }, svg);
    text(svg, (area.left + area.right) / 2, ChartHeight - 12, x.title, { "text-anchor": "middle", "font-weight": "bold" });
    const middle = (area.top + area.bottom) / 2;
    text(svg, 16, middle, y.title, { "text-anchor": "middle", "font-weight": "bold", transform: "rotate(-90 16 " + middle + ")" });
    // Marks stay inside the plot area, as the chart clips them.
    const clipId = "clip-" + svg.id;
    const clip = element("clipPath", { id: clipId }, element("defs", {}, svg));
    element("rect", { x: area.left, y: area.top, width: area.right - area.left, height: area.bottom - area.top }, clip);
    const marks = element("g", { "clip-path": "url(#" + clipId + ")" }, svg);
    return { area, px, py, marks };
  }

  // ---- Legends ------------------------------------------------------------

  // Each mark's symbol, drawn as the chart draws the series.
  function symbol(parent, mark, x, y) {
    const g = element("g", { transform: "translate(" + x + "," + y + ")" }, parent);
    switch (mark) {
      case "controls": element("circle", { cx: 13, cy: 8, r: 3.5, fill: Colours.controlFill, stroke: Colours.controlBorder }, g); break;
      case "case": element("rect", { x: 7.5, y: 2.5, width: 11, height: 11, fill: Colours.case, stroke: "#000" }, g); break;
      case "equalScores": element("line", { x1: 1, y1: 14, x2: 25, y2: 2, stroke: Colours.equal, "stroke-width": 1.5, "stroke-dasharray": "6 3" }, g); break;
      case "density": element("line", { x1: 1, y1: 8, x2: 25, y2: 8, stroke: Colours.control, "stroke-width": 2 }, g); break;
      case "caseT": element("line", { x1: 1, y1: 8, x2: 25, y2: 8, stroke: Colours.case, "stroke-width": 2 }, g); break;
      case "interval":
        for (const [x1, y1, x2, y2] of [[13, 1, 13, 15], [9, 1.5, 17, 1.5], [9, 14.5, 17, 14.5]])
          element("line", { x1, y1, x2, y2, stroke: Colours.interval, "stroke-width": 3 }, g);
        break;
      case "tail": element("rect", { x: 3, y: 3, width: 20, height: 10, fill: Colours.tail }, g); break;
    }
  }

  // Words that fit `width`, a line at a time.
  function wrap(content, width) {
    const lines = [];
    let line = "";
    for (const word of content.split(" ")) {
      const tried = line ? line + " " + word : word;
      if (line && textWidth(tried) > width) { lines.push(line); line = word; } else line = tried;
    }
    if (line) lines.push(line);
    return lines;
  }

  // Two entries a line below the chart; a long text wraps. Returns the height used.
  function legend(svg, entries, top) {
    const column = (Width - 16) / 2;
    let y = top;
    for (let i = 0; i < entries.length; i += 2) {
      let height = 16;
      for (let c = 0; c < 2 && i + c < entries.length; c++) {
        const entry = entries[i + c];
        const x = 8 + c * column;
        symbol(svg, entry.mark, x, y);
        const lines = wrap(entry.text, column - 34);
        lines.forEach((line, n) => text(svg, x + 30, y + 12 + n * 15, line));
        height = Math.max(height, lines.length * 15 + 2);
      }
      y += height + 4;
    }
    return y - top;
  }

  function newChart(id, caption) {
    const svg = element("svg", { id, xmlns: SVG, role: "img", "aria-labelledby": id + "-title" });
    element("title", { id: id + "-title" }, svg).textContent = caption;
    return svg;
  }

  function finish(svg, legendHeight) {
    const height = ChartHeight + legendHeight + 8;
    svg.setAttribute("viewBox", "0 0 " + Width + " " + height);
    svg.setAttribute("width", Width);
    svg.setAttribute("height", height);
    svg.insertBefore(element("rect", { x: 0, y: 0, width: Width, height, fill: "#fff" }), svg.children[1]);
    return svg;
  }

  // ---- The charts ---------------------------------------------------------

  function scoresChart(points) {
    const chart = points.scores;
    const svg = newChart("chart-scores", chart.caption);
    const { px, py, marks } = frame(svg, chart.x, chart.y);
    const low = chart.x.low;
    const high = chart.x.high;

    polyline(marks, [px(low), px(high)], [py(low), py(high)], { stroke: Colours.equal, "stroke-width": 1.5, "stroke-dasharray": "6 3" });
    const dots = element("g", { fill: Colours.controlFill, stroke: Colours.controlBorder }, marks);
    points.controls.predicted.forEach((p, i) =>
      element("circle", { cx: px(p).toFixed(2), cy: py(points.controls.obtained[i]).toFixed(2), r: 3.5 }, dots));
    const cx = px(points.case.predicted);
    const cy = py(points.case.obtained);
    element("rect", { x: cx - 7, y: cy - 7, width: 14, height: 14, fill: Colours.case, stroke: "#000" }, marks);

    // The bar with a cap on each closed end; an open end runs to the border.
    const ends = points.interval;
    const cap = ends.capHalfWidth;
    const at = points.case.predicted;
    const bar = element("g", { stroke: Colours.interval, "stroke-width": 3 }, marks);
    element("line", { x1: px(at), x2: px(at), y1: py(ends.low), y2: py(ends.high) }, bar);
    if (!ends.lowOpen) element("line", { x1: px(at - cap), x2: px(at + cap), y1: py(ends.low), y2: py(ends.low) }, bar);
    if (!ends.highOpen) element("line", { x1: px(at - cap), x2: px(at + cap), y1: py(ends.high), y2: py(ends.high) }, bar);

    return finish(svg, legend(svg, chart.legend, ChartHeight));
  }

  function discrepancyChart(points) {
    const chart = points.discrepancy;
    const svg = newChart("chart-discrepancy", chart.caption);
    const x = chart.x;
    const { area, px, py, marks } = frame(svg, x, chart.y);
    const density = points.density;

    const tail = points.tail;
    if (tail.x.length > 0) {
      const xs = tail.x.map(px);
      const ys = tail.y.map(py);
      const outline = [px(tail.x[0]) + "," + py(0)]
        .concat(xs.map((v, i) => v.toFixed(2) + "," + ys[i].toFixed(2)))
        .concat([px(tail.x[tail.x.length - 1]) + "," + py(0)]);
      element("polygon", { points: outline.join(" "), fill: Colours.tail, stroke: "none" }, marks);
    }
    polyline(marks, density.x.map(px), density.y.map(py), { stroke: Colours.control, "stroke-width": 2 });
    const lineTop = points.caseTTop;
    polyline(marks, [px(points.t), px(points.t)], [py(0), py(lineTop)], { stroke: Colours.case, "stroke-width": 2 });

    // The tail's percentage beside the tail, just above the curve and clear
    // of t's line; where the tail side has no room, above the line's top.
    const label = points.tailArea;
    const width = textWidth(label, true);
    const side = points.tailBelow ? -1 : 1;
    let centre = px(points.t) + side * (6 + width / 2);
    let baseline;
    if (centre - width / 2 >= area.left && centre + width / 2 <= area.right) {
      const toValue = (p) => x.low + (p - area.left) / (area.right - area.left) * (x.high - x.low);
      const from = toValue(centre - width / 2);
      const to = toValue(centre + width / 2);
      let under = 0;
      density.x.forEach((v, i) => { if (v >= from && v <= to) under = Math.max(under, density.y[i]); });
      baseline = py(under) - 3;
    } else {
      centre = Math.min(Math.max(centre, area.left + width / 2), area.right - width / 2);
      baseline = py(lineTop) - 2;
    }
    text(svg, centre, baseline, label, { "text-anchor": "middle", "font-weight": "bold", fill: Colours.tailLabel });

    return finish(svg, legend(svg, chart.legend, ChartHeight));
  }

  // ---- Pictures -----------------------------------------------------------

  // The charts side by side in one SVG document, as the window saves them.
  function pictureSvg() {
    const charts = Array.from(document.querySelectorAll("#plot svg"));
    const height = Math.max(...charts.map((c) => Number(c.getAttribute("height"))));
    const width = Width * charts.length;
    const outer = element("svg", { xmlns: SVG, width, height, viewBox: "0 0 " + width + " " + height });
    element("title", {}, outer).textContent = last.title;
    element("rect", { x: 0, y: 0, width, height, fill: "#fff" }, outer);
    charts.forEach((chart, i) => {
      const copy = chart.cloneNode(true);
      copy.setAttribute("x", i * Width);
      copy.setAttribute("y", 0);
      outer.appendChild(copy);
    });
    return '<?xml version="1.0" encoding="UTF-8"?>\n' + new XMLSerializer().serializeToString(outer);
  }

  // Twice the size, for sharpness in documents, as the window's PNG.
  function picturePng() {
    const svg = pictureSvg();
    return new Promise((resolve, reject) => {
      const image = new Image();
      image.onload = () => {
        const canvas = document.createElement("canvas");
        canvas.width = image.width * 2;
        canvas.height = image.height * 2;
        const context = canvas.getContext("2d");
        context.fillStyle = "#fff";
        context.fillRect(0, 0, canvas.width, canvas.height);
        context.drawImage(image, 0, 0, canvas.width, canvas.height);
        canvas.toBlob((blob) => blob ? resolve(blob) : reject(new Error("The picture could not be drawn")), "image/png");
      };
      image.onerror = () => reject(new Error("The picture could not be drawn"));
      image.src = "data:image/svg+xml;charset=utf-8," + encodeURIComponent(svg);
    });
  }

  P.plot = {
    show(points) {
      last = points;
      const host = document.getElementById("plot");
      host.textContent = "";
      const charts = points.scores ? [scoresChart(points), discrepancyChart(points)] : [discrepancyChart(points)];
      for (const chart of charts) {
        const figure = document.createElement("figure");
        figure.appendChild(chart);
        host.appendChild(figure);
      }
      document.getElementById("plot-heading").textContent = points.title;
      document.getElementById("plot-section").hidden = false;
    },
    clear() {
      last = null;
      document.getElementById("plot").textContent = "";
      document.getElementById("plot-section").hidden = true;
    },
    pictureSvg,
    picturePng,
    wire() {
      document.getElementById("save-svg").addEventListener("click", () =>
        P.download("plot.svg", pictureSvg(), "image/svg+xml"));
      document.getElementById("save-png").addEventListener("click", async () => {
        try {
          P.download("plot.png", await picturePng());
        } catch (error) {
          P.setStatus("report-status", error.message);
        }
      });
    },
  };
})(window.Pavona);
