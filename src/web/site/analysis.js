// The analysis page: the premises and an analysis as the batch tool takes
// them on its command line, played by Web Workers (one per core) and
// reported by the core as the tool reports them.
const core = await createPopchanAnalysis();
const call = (name, ...args) =>
  JSON.parse(
    core.ccall(
      name,
      'string',
      args.map((a) => (typeof a === 'number' ? 'number' : 'string')),
      args,
    ),
  );
const face = call('an_face');
const $ = (id) => document.getElementById(id);
const fill = (name, figures = {}) => face.texts[name].replace(/\{(\w+)\}/g, (_, key) => String(figures[key]));

document.title = face.texts.title;
for (const element of document.querySelectorAll('[data-text]')) element.textContent = face.texts[element.dataset.text];
$('back').textContent = face.texts.back;
$('seed').placeholder = face.texts.seed_hint;
$('sweep-values').placeholder = face.texts.sweep_hint;
$('days').value = String(face.days);

// Each premise: its text, with the premises dialog's list beside it.
const premises = face.premises.map((row, index) => {
  const label = document.createElement('label');
  const name = document.createElement('span');
  name.textContent = row.label;
  const combo = document.createElement('span');
  combo.className = 'combo';
  const input = document.createElement('input');
  input.id = `premise-${index}`;
  input.value = row.start;
  const list = document.createElement('select');
  list.setAttribute('aria-label', row.label);
  for (const item of ['', ...row.items]) list.add(new Option(item.trim(), item));
  list.addEventListener('change', () => {
    if (list.value) input.value = list.value;
    list.value = '';
  });
  combo.append(input, list);
  label.append(name, combo);
  $('premises').append(label);
  $('sweep-premise').add(new Option(row.label, row.option.slice(2)));
  return { row, input };
});
for (const kind of face.kinds) $('kind').add(new Option(kind.label, kind.name));
const kindOf = () => face.kinds.find((k) => k.name === $('kind').value);
const showFields = () => {
  const kind = kindOf().name;
  for (const element of document.querySelectorAll('.days')) element.hidden = kind === 'exact';
  for (const element of document.querySelectorAll('.sweep')) element.hidden = kind !== 'sweep';
  for (const element of document.querySelectorAll('.run')) element.hidden = kind !== 'run';
};
$('kind').addEventListener('change', showFields);
$('sweep-premise').value = 'spin-rate';
showFields();
$('form').hidden = false;

// The command line of what the form asks for; a seed is chosen when none is given.
function commandArguments() {
  const kind = kindOf();
  if (!$('seed').value.trim()) $('seed').value = crypto.getRandomValues(new BigUint64Array(1))[0].toString();
  const swept = kind.name === 'sweep' ? `--${$('sweep-premise').value}` : '';
  const args = kind.name === 'exact' ? [] : ['--days', $('days').value, '--seed', $('seed').value];
  for (const { row, input } of premises) {
    const own = row.option === swept || (kind.name === 'border' && row.option === '--spin-rate');
    if (input.value !== row.start && !own) args.push(row.option, input.value);
  }
  if (kind.option) args.push(kind.option);
  if (swept) args.push(`${swept.slice(2)}=${$('sweep-values').value}`);
  const files = { run: ['plot'], sweep: ['csv', 'plot'] }[kind.name] ?? [];
  if (kind.name === 'run' && $('per-day').checked) files.unshift('per_day');
  for (const name of files) args.push(face.files[name].option, face.files[name].file);
  args.push(face.files.json.option);
  return args;
}

// The workers stay between runs, each with its module loaded; the stop button ends them.
let workers = [];
const stopWorkers = () => {
  for (const worker of workers) worker.terminate();
  workers = [];
};
const idle = () => {
  $('stop').disabled = true;
  $('start').disabled = false;
  $('progress').hidden = true;
};

// Each call on a worker of its own; `progress` hears every worker's days done.
function onWorkers(calls, progress) {
  while (workers.length < calls.length) workers.push(new Worker('analysis_worker.js'));
  const done = calls.map(() => [0, 0]);
  const started = performance.now();
  return Promise.all(
    calls.map(
      (c, index) =>
        new Promise((resolve, reject) => {
          const worker = workers[index];
          worker.onerror = (event) => reject(new Error(event.message));
          worker.onmessage = ({ data }) => {
            if (data.progress) {
              done[index] = data.progress;
              const sum = (i) => done.reduce((s, d) => s + d[i], 0);
              progress(sum(0), sum(1), performance.now() - started, calls.length);
            } else if (data.result.error) reject(new Error(data.result.error));
            else resolve(data.result);
          };
          worker.postMessage(c);
        }),
    ),
  );
}

function showProgress(done, total, milliseconds, cores) {
  $('bar').max = total || 1;
  $('bar').value = done;
  const left = done > 0 ? Math.ceil(((total - done) * milliseconds) / done / 1000) : '';
  $('progress-text').textContent = [
    fill('progress', { done, total }),
    done > 0 ? fill('time_left', { seconds: left }) : '',
    fill('cores', { cores }),
  ].join(' ');
}

const urls = [];
function showResult(command, result, files) {
  for (const url of urls.splice(0)) URL.revokeObjectURL(url);
  $('command').textContent = command;
  $('text').textContent = result.table;
  const links = $('downloads');
  while (links.children.length > 1) links.lastChild.remove();
  for (const [name, text] of Object.entries(files)) {
    if (text === undefined) continue;
    const type = name === 'plot' ? 'image/svg+xml' : name === 'json' ? 'application/json' : 'text/csv';
    const url = URL.createObjectURL(new Blob([text], { type }));
    urls.push(url);
    const a = document.createElement('a');
    a.href = url;
    a.download = face.files[name].file;
    a.textContent = face.files[name].file;
    a.id = `download-${name}`;
    links.append(a);
    if (name === 'plot') $('plot').src = url;
  }
  $('plot').hidden = files.plot === undefined;
  $('result').hidden = false;
}

// The parts of a run or a sweep: one per core, never more than there is to share.
const partsOf = (count) => Math.max(1, Math.min(navigator.hardwareConcurrency || 1, count));

async function analyse(args, check) {
  const json = JSON.stringify(args);
  const kind = kindOf().name;
  if (kind === 'exact') {
    const result = call('an_exact', json);
    return showResult(check.command, result, { json: result.json });
  }
  const parts = partsOf(kind === 'sweep' ? check.values : kind === 'run' ? check.days : 1);
  const list = Array.from({ length: parts }, (_, i) => i + 1);
  if (kind === 'run') {
    const perDay = $('per-day').checked ? 1 : 0;
    const done = await onWorkers(
      list.map((i) => ({ call: 'an_part', args: [json, i, parts, perDay] })),
      showProgress,
    );
    const result = call('an_merge', JSON.stringify(done.map((d) => d.summary)));
    if (result.error) throw new Error(result.error);
    const csv = perDay ? done.map((d) => d.csv).join('') : undefined;
    return showResult(check.command, result, { json: result.json, per_day: csv, plot: result.plot });
  }
  if (kind === 'sweep') {
    const done = await onWorkers(
      list.map((i) => ({ call: 'an_sweep_part', args: [json, i, parts] })),
      showProgress,
    );
    const result = call('an_sweep_report', json, JSON.stringify(done.map((d) => d.rows)));
    return showResult(check.command, result, { json: result.json, csv: result.csv, plot: result.plot });
  }
  const [result] = await onWorkers([{ call: 'an_border', args: [json] }], showProgress);
  return showResult(check.command, result, { json: result.json });
}

$('form').addEventListener('submit', async (event) => {
  event.preventDefault();
  const args = commandArguments();
  const check = call('an_check', JSON.stringify(args));
  const errors = [...check.errors];
  const perDay = kindOf().name === 'run' && $('per-day').checked;
  const need = Math.ceil((check.days * face.per_day_row_bytes) / 2 ** 20);
  const limit = Math.min(face.per_day_most_megabytes, ((navigator.deviceMemory || 4) * 1024) / 4);
  if (!errors.length && perDay && need > limit) errors.push(fill('too_big', { days: check.days, need, limit }));
  $('errors').textContent = errors.join('\n');
  if (errors.length) return;
  $('start').disabled = true;
  $('stop').disabled = false;
  $('progress').hidden = false;
  showProgress(0, 0, 0, 1);
  try {
    await analyse(args, check);
  } catch (error) {
    stopWorkers();
    $('errors').textContent = error.message;
  } finally {
    idle();
  }
});

$('stop').addEventListener('click', () => {
  stopWorkers();
  idle();
  $('errors').textContent = face.texts.stopped;
});

if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
