// Differential run: random data files through the native pavona-cli and the
// WebAssembly one (under Node), in random modes. Exit status and messages must
// agree exactly, reports byte for byte, and every JSON and CSV figure within
// 1e-12 of the other build's, relative to the larger; the t test's tail
// within 5e-12 relative or 1e-15 absolute (see Tail_figures).
//
// node differential.mjs NATIVE_CLI WEB_CLI_JS WORK_FOLDER SEED COUNT
//
// The same seed gives the same files and runs. Each disagreement is kept in
// WORK_FOLDER with the two outputs; agreeing files are removed.

import { spawn } from 'node:child_process';
import { mkdirSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

const [nativeCli, webCli, workFolder, seedText, countText] = process.argv.slice(2);
const count = Number(countText);
if (!webCli || !workFolder || !Number.isInteger(count) || count < 1) {
  console.error('usage: node differential.mjs NATIVE_CLI WEB_CLI_JS WORK_FOLDER SEED COUNT');
  process.exit(2);
}
const Tolerance = 1e-12;
// The t test's one-tailed probability and what is made from it. Up to 500 df
// it is 1 minus a double-precision series (down to tails of 1e-6), whose
// sines and cosines come from each platform's own library: it is accurate to
// about 1e-16 absolute, not relative. Beyond that it comes from the
// incomplete beta function, which stops at a relative 5e-12.
const Tail_figures = new Set(['P_one_tailed', 'P_two_tailed', 'Pct_more_extreme', 'p_one_tailed',
  'p_two_tailed', 'pct_more_extreme']);

// mulberry32, seeded from the seed's text, so that a seed names one sequence.
function generator(text) {
  let state = 0x9e3779b9;
  for (const c of String(text)) state = Math.imul(state ^ c.charCodeAt(0), 0x85ebca6b) >>> 0;
  return () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}
const random = generator(seedText);
const between = (low, high) => low + (high - low) * random();
const whole = (low, high) => Math.floor(between(low, high + 1)); // low..high
const pick = (items) => items[whole(0, items.length - 1)];
const chance = (p) => random() < p;
const normal = () => Math.sqrt(-2 * Math.log(1 - random())) * Math.cos(2 * Math.PI * random());

// A number as a data file holds it: fixed decimals, now and then with an
// exponent or a plus sign, never with more than 17 significant digits.
function written(value, decimals) {
  if (chance(0.03)) return value.toExponential(whole(1, 12));
  const text = value.toFixed(decimals);
  return chance(0.02) && value >= 0 ? '+' + text : text;
}

// One data set: controls and case rows of k + 1 scores, the criterion first.
// Spreads stay above what the decimals can show, so that few predictors
// come out constant.
function scores(k, rows, cases, decimals) {
  const smallest = Math.max(-2, 1 - decimals);
  const means = Array.from({ length: k }, () => (chance(0.3) ? 0 : normal() * 10 ** between(-1, 4)));
  const sds = Array.from({ length: k }, () => 10 ** between(smallest, 3));
  const weights = Array.from({ length: k }, () => normal() * between(0, 2));
  const noise = 10 ** between(smallest, 3);
  // Predictors nearly a copy of another, or of a sum of others.
  const collinear = k > 1 && chance(0.2) ? whole(1, k - 1) : 0;
  const closeness = 10 ** between(-9, -2);
  const row = (far) => {
    const x = means.map((m, j) => m + sds[j] * normal());
    if (collinear) x[collinear] = x[0] * (1 + closeness * normal()) + (collinear > 1 ? x[1] : 0);
    let y = 50 + weights.reduce((sum, w, j) => sum + (w * (x[j] - means[j])) / sds[j], 0) * noise;
    y += noise * normal();
    // A far case: its criterion or a predictor many spreads from the controls.
    if (far) {
      const distance = pick([5, 30, 300, 5000, 1e6]) * (chance(0.5) ? 1 : -1);
      if (chance(0.7)) y += distance * noise;
      else x[whole(0, k - 1)] += distance * sds[0];
    }
    return [y, ...x];
  };
  const controls = Array.from({ length: rows }, () => row(false));
  const caseRows = Array.from({ length: cases }, () => row(chance(0.25)));
  return { controls, caseRows };
}

function mean(values) {
  return values.reduce((a, b) => a + b, 0) / values.length;
}

// The summary statistics of the controls (n - 1 in the SDs), as a paper prints them.
function summaryLines(controls, n, decimals) {
  const columns = controls[0].map((_, j) => controls.map((r) => r[j]));
  const means = columns.map(mean);
  const sds = columns.map((c, j) => Math.sqrt(c.reduce((s, v) => s + (v - means[j]) ** 2, 0) / (c.length - 1)));
  const corr = columns.map((a, i) =>
    columns.map((b, j) =>
      i === j ? 1 : a.reduce((s, v, r) => s + (v - means[i]) * (b[r] - means[j]), 0) / ((a.length - 1) * sds[i] * sds[j])
    )
  );
  const corrDecimals = whole(2, 8);
  return [
    String(n),
    means.map((m) => written(m, decimals)).join(' '),
    sds.map((s) => written(s, decimals)).join(' '),
    ...corr.map((r) => r.map((v) => v.toFixed(corrDecimals)).join(' ')),
  ];
}

// A random data file and the runs made on it.
function makeCase(index) {
  const k = whole(1, 5);
  const summary = chance(0.2);
  const n = chance(0.1) ? whole(k + 2, 499) : whole(k + 2, 40);
  const cases = whole(1, 6);
  const decimals = whole(0, 6);
  const { controls, caseRows } = scores(k, n, cases, decimals);
  const separator = pick([' ', '  ', '\t', ' \t ']);
  const lineEnd = pick(['\n', '\r\n', '\r']);
  const line = (values) => values.map((v) => written(v, decimals)).join(separator);
  const lines = summary
    ? [...summaryLines(controls, chance(0.3) ? whole(n, 1000000) : n, decimals), ...caseRows.map(line)]
    : [...controls.map(line), ...caseRows.map(line)];
  const text = lines.join(lineEnd) + (chance(0.8) ? lineEnd : '');
  const file = join(workFolder, `data_${index}.txt`);
  writeFileSync(file, text);

  const entries = summary
    ? ['--predictors', String(k), '--summary']
    : ['--predictors', String(k), '--controls', String(n)];
  const runs = [];
  for (let r = 0; r < 2; ++r) {
    const format = pick(['report', 'report', 'json', 'csv']);
    const args = [...entries, '--limits', pick(['two-sided', 'lower', 'upper'])];
    if (chance(0.3)) args.push('--notes', pick(['Retest', 'Case 17, seen 2024-03-02', 'a "quoted" note']));
    if (format === 'csv' || chance(0.4)) args.push('--cases', chance(0.7) ? 'all' : String(whole(1, cases + 1)));
    if (format === 'json') args.push('--json');
    if (format === 'csv') args.push('--csv');
    if (chance(0.3)) args.push('--jobs', String(whole(1, 3)));
    const input = chance(0.15) ? text : null;
    args.push(input === null ? file : '-');
    runs.push({ format, args, input });
  }
  return { file, text, runs };
}

function run(command, args, input) {
  return new Promise((resolve) => {
    const child = spawn(command, args);
    const out = [], err = [];
    child.stdout.on('data', (d) => out.push(d));
    child.stderr.on('data', (d) => err.push(d));
    // A program that cannot be started is a difference, not the end of the run.
    child.on('error', (error) => resolve({ status: `not started: ${error.message}`, stdout: '', stderr: '' }));
    child.on('close', (status, signal) =>
      resolve({ status: signal ?? status, stdout: Buffer.concat(out).toString('latin1'), stderr: Buffer.concat(err).toString('latin1') })
    );
    child.stdin.on('error', () => {});
    child.stdin.end(input ?? '');
  });
}

function closeEnough(a, b, name) {
  const difference = Math.abs(a - b), larger = Math.max(Math.abs(a), Math.abs(b));
  if (a === b || difference <= Tolerance * larger) return true;
  const scale = name.toLowerCase().startsWith('pct') ? 100 : 1; // a percentage, or a probability
  return Tail_figures.has(name) && (difference <= 5e-12 * larger || difference <= 1e-15 * scale);
}

// The first difference between two parsed JSON values, or null.
function jsonDifference(a, b, key = '', name = '') {
  if (typeof a === 'number' && typeof b === 'number') return closeEnough(a, b, name) ? null : `${key}: ${a} against ${b}`;
  if (Array.isArray(a) && Array.isArray(b)) {
    if (a.length !== b.length) return `${key}: ${a.length} against ${b.length} entries`;
    for (let i = 0; i < a.length; ++i) {
      const d = jsonDifference(a[i], b[i], `${key}[${i}]`, name);
      if (d) return d;
    }
    return null;
  }
  if (a && b && typeof a === 'object' && typeof b === 'object') {
    if (Object.keys(a).join() !== Object.keys(b).join()) return `${key}: the keys differ`;
    for (const k of Object.keys(a)) {
      const d = jsonDifference(a[k], b[k], key ? `${key}.${k}` : k, k);
      if (d) return d;
    }
    return null;
  }
  return a === b ? null : `${key}: ${JSON.stringify(a)} against ${JSON.stringify(b)}`;
}

function csvDifference(a, b) {
  const linesA = a.split('\n'), linesB = b.split('\n');
  if (linesA.length !== linesB.length) return `${linesA.length} against ${linesB.length} lines`;
  const header = linesA[0].split(',');
  for (let i = 0; i < linesA.length; ++i) {
    if (linesA[i] === linesB[i]) continue;
    // Figures first; the message, which may hold commas, last and whole.
    const fieldsA = linesA[i].split(','), fieldsB = linesB[i].split(',');
    const figures = header.length - 1;
    if (fieldsA.slice(figures).join(',') !== fieldsB.slice(figures).join(',')) return `line ${i + 1}: the messages differ`;
    for (let j = 0; j < figures; ++j) {
      const x = fieldsA[j], y = fieldsB[j];
      if (x === y) continue;
      if (x === '' || y === '' || isNaN(x) || isNaN(y) || !closeEnough(+x, +y, header[j]))
        return `line ${i + 1}, ${header[j]}: ${x} against ${y}`;
    }
  }
  return null;
}

function difference(format, native, web) {
  if (native.status !== web.status) return `exit status ${native.status} against ${web.status}`;
  if (native.stderr !== web.stderr) return 'the messages differ';
  if (native.stdout === web.stdout) return null;
  if (format === 'report') return 'the reports differ';
  if (format === 'csv') return csvDifference(native.stdout, web.stdout);
  try {
    return jsonDifference(JSON.parse(native.stdout), JSON.parse(web.stdout));
  } catch (error) {
    return `not JSON: ${error.message}`;
  }
}

rmSync(workFolder, { recursive: true, force: true });
mkdirSync(workFolder, { recursive: true });
const started = Date.now();
const cases = Array.from({ length: count }, (_, i) => makeCase(i + 1));
let runs = 0, identical = 0, refused = 0;
const failures = [];
let next = 0;
const worker = async () => {
  while (next < cases.length) {
    const index = next++;
    const c = cases[index];
    let agreed = true;
    for (const [r, { format, args, input }] of c.runs.entries()) {
      const begun = Date.now();
      const native = await run(nativeCli, args, input);
      const web = await run(process.execPath, [webCli, ...args], input);
      ++runs;
      if (process.env.DIFFERENTIAL_VERBOSE)
        console.log(`${index + 1}.${r + 1} ${Date.now() - begun} ms, status ${native.status}: ` +
          `${args.join(' ')}: ${native.stderr.split('\n')[0].slice(0, 150)}`);
      const found = difference(format, native, web);
      if (!found) {
        if (native.stdout === web.stdout) ++identical;
        if (native.status !== 0) ++refused;
        continue;
      }
      agreed = false;
      const stem = join(workFolder, `data_${index + 1}_run_${r + 1}`);
      writeFileSync(`${stem}.native`, native.stdout + '\n--- messages\n' + native.stderr, 'latin1');
      writeFileSync(`${stem}.web`, web.stdout + '\n--- messages\n' + web.stderr, 'latin1');
      failures.push(`${c.file}: ${args.join(' ')}${input !== null ? ' < ' + c.file : ''}\n  ${found}`);
    }
    if (agreed) rmSync(c.file);
  }
};
await Promise.all([worker(), worker()]);
for (const failure of failures) console.log(failure);
const seconds = ((Date.now() - started) / 1000).toFixed(0);
console.log(
  `seed ${seedText}: ${count} files, ${runs} runs in ${seconds} s: ${runs - failures.length} agree ` +
    `(${identical} byte for byte, ${refused} of them refusals), ${failures.length} differ`
);
process.exit(failures.length === 0 ? 0 : 1);
