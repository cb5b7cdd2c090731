// Runs the WebAssembly pavona-cli under Node (or another build of it, such as
// the aarch64 one under its emulator) beside the native one on every data
// file, in every mode, and compares: exit status, messages and report text
// exactly; JSON and CSV figures within 1e-12 relative (the limits, found by a
// root search, within 1e-9).
//
// node cross_check.mjs NATIVE_CLI OTHER_CLI DATA_FOLDER
// OTHER_CLI is a .js file run with Node, or a program run as it is.
// Exits 77 (skipped) when OTHER_CLI has not been built.

import { spawn } from 'node:child_process';
import { existsSync, readdirSync, readFileSync, statSync } from 'node:fs';
import { join } from 'node:path';

const [nativeCli, webCli, dataFolder] = process.argv.slice(2);
if (!existsSync(webCli)) {
  console.log(`${webCli} has not been built; skipped`);
  process.exit(77);
}

// Outputs whose printed digits cannot agree, each with the reason. Empty:
// every output agrees.
const knownDifferences = new Map([]);

function run(command, args, input) {
  return new Promise((resolve) => {
    const child = spawn(command, args, { cwd: dataFolder });
    let stdout = '', stderr = '';
    child.stdout.on('data', (d) => (stdout += d));
    child.stderr.on('data', (d) => (stderr += d));
    child.on('close', (status) => resolve({ status, stdout, stderr }));
    child.stdin.on('error', () => {});
    child.stdin.end(input ?? '');
  });
}

const isLimit = (key) => /_(lower|upper)$/i.test(key);

function closeEnough(a, b, key) {
  const tolerance = isLimit(key) ? 1e-9 : 1e-12;
  return a === b || Math.abs(a - b) <= tolerance * Math.max(Math.abs(a), Math.abs(b));
}

// The first difference between two parsed JSON documents, or null.
function jsonDifference(a, b, key = '') {
  if (typeof a === 'number' && typeof b === 'number')
    return closeEnough(a, b, key) ? null : `${key}: ${a} against ${b}`;
  if (Array.isArray(a) && Array.isArray(b)) {
    if (a.length !== b.length) return `${key}: lengths differ`;
    for (let i = 0; i < a.length; ++i) {
      const d = jsonDifference(a[i], b[i], key);
      if (d) return d;
    }
    return null;
  }
  if (a && b && typeof a === 'object' && typeof b === 'object') {
    const keys = Object.keys(a);
    if (keys.join() !== Object.keys(b).join()) return `${key}: keys differ`;
    for (const k of keys) {
      const d = jsonDifference(a[k], b[k], k);
      if (d) return d;
    }
    return null;
  }
  return a === b ? null : `${key}: ${JSON.stringify(a)} against ${JSON.stringify(b)}`;
}

function csvDifference(a, b) {
  const linesA = a.split('\n'), linesB = b.split('\n');
  if (linesA.length !== linesB.length) return 'line counts differ';
  const header = linesA[0].split(',');
  for (let i = 0; i < linesA.length; ++i) {
    // The error text is the last field and may hold commas: compare it whole.
    const fieldsA = linesA[i].split(','), fieldsB = linesB[i].split(',');
    for (let j = 0; j < Math.max(fieldsA.length, fieldsB.length); ++j) {
      const x = fieldsA[j], y = fieldsB[j];
      if (x === y) continue;
      const key = header[j] ?? '';
      if (x !== '' && y !== '' && !isNaN(x) && !isNaN(y) && closeEnough(+x, +y, key)) continue;
      return `line ${i + 1}, ${key}: ${x} against ${y}`;
    }
  }
  return null;
}

function compare(kind, native, web) {
  if (native.status !== web.status)
    return `exit status ${native.status} against ${web.status}: ${web.stderr.slice(0, 300)}`;
  if (native.stderr !== web.stderr) return `messages differ:\n${native.stderr}---\n${web.stderr}`;
  if (kind === 'json') {
    if (native.stdout === web.stdout) return null;
    try {
      return jsonDifference(JSON.parse(native.stdout), JSON.parse(web.stdout));
    } catch {
      return 'output is not JSON';
    }
  }
  if (kind === 'csv') return native.stdout === web.stdout ? null : csvDifference(native.stdout, web.stdout);
  return native.stdout === web.stdout ? null : 'report text differs';
}

// As the snapshots do: k from the file's first row (1 to 5), n from its rows.
function runsFor(file) {
  const text = readFileSync(file, 'latin1');
  const lines = text.split(/\r\n|\r|\n/).filter((l) => l.trim() !== '');
  const columns = (lines[0] ?? '').trim().split(/\s+/).length;
  const k = String(Math.min(5, Math.max(1, columns - 1)));
  const n = String(lines.length > 1 ? lines.length - 1 : 3);
  const sample = ['--predictors', k, '--controls', n, '--notes', 'Cross-check'];
  return [
    ['report', [...sample, '--limits', 'two-sided', file]],
    ['report', [...sample, '--limits', 'lower', '-'], readFileSync(file), file],
    ['report', ['--predictors', '1', '--controls', '10', '--limits', 'upper', file]],
    ['report', [...sample, '--cases', 'all', file]],
    ['json', [...sample, '--limits', 'upper', '--json', file]],
    ['json', [...sample, '--json', '--cases', 'all', file]],
    ['csv', [...sample, '--limits', 'lower', '--csv', '--cases', 'all', file]],
    ['report', ['--predictors', k, '--summary', file]],
    ['json', ['--predictors', k, '--summary', '--json', file]],
  ];
}

const files = [dataFolder, join(dataFolder, 'hostile')].flatMap((folder) =>
  readdirSync(folder)
    .map((name) => join(folder, name))
    .filter((path) => statSync(path).isFile() && !path.endsWith('.expected'))
);
const runs = files.flatMap((file) => runsFor(file));

// Agreeing runs are counted twice over: byte for byte, and those that ended
// in a refusal, so that the count shows what was compared.
let agreed = 0, identical = 0, refused = 0, differed = 0, known = 0;
const failures = [];
const next = async () => {
  for (let run_ = runs.shift(); run_; run_ = runs.shift()) {
    const [kind, args, input, inputFile] = run_;
    const native = await run(nativeCli, args, input);
    const web = webCli.endsWith('.js')
      ? await run(process.execPath, [webCli, ...args], input)
      : await run(webCli, args, input);
    const difference = compare(kind, native, web);
    const name = (args.join(' ') + (inputFile ? ` < ${inputFile}` : '')).replaceAll(dataFolder + '/', '');
    if (!difference) {
      ++agreed;
      if (native.stdout === web.stdout && native.stderr === web.stderr) ++identical;
      if (native.status !== 0) ++refused;
    }
    else if (knownDifferences.has(name)) ++known;
    else {
      ++differed;
      failures.push(`${name}\n  ${difference}`);
    }
  }
};
const started = Date.now();
await Promise.all([next(), next()]);
for (const failure of failures) console.log(failure);
console.log(`${files.length} files: ${agreed} runs agree (${identical} byte for byte, ${refused} of them ` +
  `refusals), ${known} named differences, ${differed} differ; ` +
  `${((Date.now() - started) / 1000).toFixed(1)} s`);
process.exit(differed === 0 ? 0 : 1);
