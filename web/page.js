// The page: opens a picture, builds the art options' controls from the
// engine's option table, and shows what the worker makes of them. It holds no
// conversion logic: the options go to the engine as command-line words.
//
// What the page shows is one record: a picture's name, the settings and the
// art the engine made of them, replaced together. Every request to the
// worker has an id; an answer for an older request of another picture is
// never shown, and Save and Copy wait for the answer to the newest.
'use strict';

const SettingsKey = 'ezedudu.settings';
const ViewerColumns = 80;
// A WebAssembly module's memory grows with the largest picture and never
// shrinks: after one that took more than this, the next picture goes to a
// fresh worker.
const FreshWorkerBytes = 128 << 20;

const $ = (id) => document.getElementById(id);
const workerUrl = URL.createObjectURL(new Blob([$('worker-source').textContent], { type: 'text/javascript' }));

const controls = new Map(); // flag -> {option, input, read(), write(text)}
let ready = false; // the controls are built and the remembered values checked
let picture = null; // {name, blob, thumbnail}: the picture the controls apply to
let latest = null; // the newest request {id, picture, values, words}: the art owed
let shown = null; // {request, result}: the art, or the reason there is none, on screen
let problem = ''; // why the settings in the controls cannot be converted
let nextId = 0;
let waiting = []; // resolves Save and Copy once the worker is idle

// The worker and what it has been sent: at most one request in flight, and
// the newest one of each kind queued behind it; the picture it converts, and
// the pictures templates may name (name -> key).
const engine = { worker: null, holds: null, pictures: new Map(), memory: 0, inFlight: null, queued: new Map() };

function startWorker() {
  engine.worker?.terminate();
  const worker = new Worker(workerUrl);
  worker.onmessage = ({ data }) => {
    if (worker === engine.worker) received(data);
  };
  Object.assign(engine, { worker, holds: null, pictures: new Map(), memory: 0 });
}

function savedSettings() {
  try {
    const saved = JSON.parse(localStorage.getItem(SettingsKey));
    return saved && typeof saved === 'object' ? saved : {};
  } catch {
    return {};
  }
}

function saveSettings() {
  try {
    localStorage.setItem(SettingsKey, JSON.stringify(readValues()));
  } catch {
    // Storage may be off (private windows, some file:// pages); the page works without it.
  }
}

// One control for an option, made from its row of the table, kept in into;
// changed runs when the user changes it.
function makeControl(option, form, { into = controls, prefix = 'option-', changed } = {}) {
  const id = prefix + option.flag;
  const label = document.createElement('label');
  label.htmlFor = id;
  label.append(option.label + ' ');
  const flag = document.createElement('code');
  flag.textContent = '--' + option.flag;
  label.append(flag);
  label.title = option.help;

  let input;
  let holder;
  let read;
  let write;
  if (option.type === 'choice') {
    input = document.createElement('select');
    for (const choice of option.choices) {
      const item = document.createElement('option');
      item.value = choice.name;
      item.textContent = choice.label;
      input.append(item);
    }
    read = () => input.value;
    write = (text) => { input.value = text; };
  } else if (option.type === 'switch') {
    input = document.createElement('input');
    input.type = 'checkbox';
    read = () => (input.checked ? 'true' : 'false');
    write = (text) => { input.checked = text === 'true'; };
  } else if (option.control === 'slider') {
    input = document.createElement('input');
    input.type = 'range';
    input.min = option.minimum;
    input.max = option.maximum;
    input.step = option.type === 'whole' ? 1 : 10 ** -Math.max(option.decimals, 1);
    const shown = document.createElement('output');
    shown.htmlFor = id;
    holder = document.createElement('div');
    holder.className = 'slider';
    holder.append(input, shown);
    read = () => input.value;
    write = (text) => { input.value = text; shown.textContent = input.value; };
    input.addEventListener('input', () => { shown.textContent = input.value; });
  } else {
    input = document.createElement('input');
    const numeric = option.type === 'whole' || option.type === 'decimal';
    input.type = numeric ? 'number' : 'text';
    if (numeric) {
      input.min = option.minimum;
      input.max = option.maximum;
      input.step = option.type === 'whole' ? 1 : 'any';
    } else if (option.type === 'text') {
      input.maxLength = option.maximum;
    }
    input.placeholder = option.unsetName || option.valueName;
    if (option.presets.length) {
      const list = document.createElement('datalist');
      list.id = id + '-presets';
      for (const preset of option.presets) {
        const item = document.createElement('option');
        item.value = preset.value;
        item.label = preset.label;
        list.append(item);
      }
      form.append(list);
      input.setAttribute('list', list.id);
    }
    // An empty field leaves the option unset ("auto", "none", ...).
    // A number field hands over no text that is not a number; say so rather than leave the option unset.
    read = () => {
      if (input.validity.badInput) return 'not-a-number';
      return input.value.trim() === '' && option.unsetName ? option.unsetName : input.value.trim();
    };
    write = (text) => { input.value = text === option.unsetName ? '' : text; };
    if (option.type === 'colour') [holder, write] = withColourPicker(input, write, id);
    if (option.type === 'text') label.classList.add('wide');
  }
  input.id = id;
  input.name = option.flag;
  form.append(label, holder || input);
  into.set(option.flag, { option, input, read, write });
  input.addEventListener(option.control === 'slider' ? 'input' : 'change', changed || (() => {
    saveSettings();
    want();
  }));
}

// A colour field with a picker beside it: the picker writes the field, and
// the field, when it holds a colour, sets the picker. Answers the holder of
// both and the field's write that keeps the picker in step.
function withColourPicker(input, write, id) {
  const picker = document.createElement('input');
  picker.type = 'color';
  picker.id = id + '-picker';
  picker.title = 'Pick a colour';
  picker.setAttribute('aria-label', 'Pick a colour');
  picker.value = '#ffffff'; // the paper's colour while the field is left to auto
  const follow = () => { if (/^#[0-9a-f]{6}$/i.test(input.value)) picker.value = input.value.toLowerCase(); };
  picker.addEventListener('change', () => {
    input.value = picker.value;
    input.dispatchEvent(new Event('change'));
  });
  input.addEventListener('input', follow);
  const holder = document.createElement('div');
  holder.className = 'colour';
  holder.append(input, picker);
  return [holder, (text) => { write(text); follow(); }];
}

function buildControls(table, pageTable) {
  const form = $('controls');
  form.addEventListener('submit', (event) => event.preventDefault());
  const saved = savedSettings();
  const remembered = {};
  for (const option of table) {
    makeControl(option, form);
    if (option.flag in saved) remembered[option.flag] = String(saved[option.flag]);
    controls.get(option.flag).write(remembered[option.flag] ?? option.startValue);
  }
  buildComposeControls(table, pageTable);
  post({ id: ++nextId, kind: 'check', values: remembered });
}

// Remembered values the engine cannot read (from an older version, or
// edited by hand) go back to their defaults, with a note.
function forgetBadValues(errors) {
  const forgotten = [];
  for (const [flag, reason] of Object.entries(errors)) {
    const { option, write } = controls.get(flag);
    write(option.startValue);
    forgotten.push(`${option.label} (${reason})`);
  }
  if (forgotten.length) {
    saveSettings();
    note(`Some remembered settings could not be used and are back to their defaults: ${forgotten.join('; ')}.`);
  }
  ready = true;
  document.body.dataset.engine = 'ready';
  want();
  if (document.body.dataset.mode === 'compose') wantPage();
}

function readValues(from = controls) {
  const values = {};
  for (const [flag, { read }] of from) values[flag] = read();
  return values;
}

function writeValues(values) {
  for (const [flag, { write }] of controls) write(values[flag]);
}

// The options as command-line words: those that differ from the command
// line's defaults.
function wordsOf(values, from = controls) {
  const list = [];
  for (const { option } of from.values()) {
    const text = values[option.flag];
    if (text === option.defaultValue) continue;
    if (option.type === 'switch') {
      if (text === 'true') list.push('--' + option.flag);
    } else {
      list.push('--' + option.flag, text);
    }
  }
  return list;
}

// Asks for the art of the picture and the settings the page shows now.
function want() {
  if (!ready || !picture) return;
  const values = readValues();
  latest = { id: ++nextId, kind: 'art', picture, values, words: wordsOf(values) };
  send(latest);
  update();
}

// Sends a request now, or queues it in place of an older one of its kind.
function send(request) {
  if (engine.inFlight) engine.queued.set(request.kind, request);
  else post(request);
}

async function post(request) {
  engine.inFlight = request;
  if (request.kind === 'compose') {
    postPage(request);
    return;
  }
  const message = { type: request.kind, id: request.id, values: request.values, words: request.words,
    name: request.picture?.name };
  if (request.kind === 'art' && engine.holds !== request.picture) {
    if (engine.memory > FreshWorkerBytes) startWorker();
    engine.holds = request.picture;
    let bytes;
    try {
      bytes = await request.picture.blob.arrayBuffer();
    } catch {
      engine.holds = null;
      received({ type: 'art', id: request.id, result: { error: 'the file could not be read' } });
      return;
    }
    if (engine.inFlight !== request) return; // cancelled meanwhile
    engine.worker.postMessage({ ...message, type: 'file', bytes }, [bytes]);
    return;
  }
  engine.worker.postMessage({ ...message, type: request.kind === 'art' ? 'convert' : 'check' });
}

function received(data) {
  if (data.type === 'options') {
    if (!controls.size) buildControls(data.options, data.pageOptions);
    return;
  }
  const request = engine.inFlight;
  if (!request || request.id !== data.id) return;
  engine.inFlight = null;
  if (data.type === 'checked') forgetBadValues(data.errors);
  else if (data.type === 'page') finishPage(request, data.result);
  else finish(request, data.result);
  postQueued();
  update();
}

// Sends the next request queued, once none is in flight.
function postQueued() {
  const [next] = engine.queued.values();
  if (!next || engine.inFlight) return;
  engine.queued.delete(next.kind);
  post(next);
}

function finish(request, result) {
  engine.memory = result.memory || 0;
  if (result.broken) startWorker();
  if (request.picture !== latest.picture) return; // another picture's: never shown
  if (result.thumbnail) request.picture.thumbnail = { ...result.thumbnail, id: request.id };
  if (request === latest) document.body.dataset.renders = Number(document.body.dataset.renders || 0) + 1;
  if (result.field) {
    // A value the engine cannot read: its field is marked, the last art stays.
    if (request === latest) markField(result.field, result.error);
    return;
  }
  if (request === latest) markField('', '');
  show(request, result);
}

function markField(flag, reason) {
  problem = '';
  for (const [name, { option, input }] of controls) {
    const bad = name === flag;
    input.setCustomValidity(bad ? reason : '');
    if (bad) input.setAttribute('aria-invalid', 'true');
    else input.removeAttribute('aria-invalid');
    if (bad) problem = `${option.label}: ${reason}`;
  }
}

function show(request, result) {
  shown = { request, result };
  $('picture-name').textContent = request.picture.name;
  showPicture(result.error ? null : request.picture.thumbnail);
  drawArt(result.error ? null : result);
  if (result.error) {
    $('status').textContent = `Cannot convert ${request.picture.name}: ${result.error}.`;
    $('warning').textContent = '';
    return;
  }
  $('status').textContent = `${result.columns} \u00d7 ${result.rows} characters, ${result.nfo.length} bytes`;
  $('warning').textContent = result.columns > ViewerColumns
    ? `Wider than the ${ViewerColumns} columns NFO viewers show: lines will wrap.` : '';
  if (!result.preview) $('warning').textContent += ' The art is too large to preview here.';
}

// The page's state, its buttons and the waiting Save and Copy, after any change.
function update() {
  const busy = Boolean(engine.inFlight);
  updatePage();
  const current = shown && shown.request === latest;
  document.body.dataset.state = busy ? 'busy' : problem ? 'invalid' : !shown ? 'empty'
    : shown.result.error ? 'error' : 'ready';
  const artShown = shown && !shown.result.error;
  $('problem').textContent = problem
    && `${problem}.` + (artShown ? ' The art shown is of the last settings that worked.' : '');
  const opening = latest && latest.picture !== shown?.request.picture;
  if (opening && busy) $('status').textContent = `Opening ${latest.picture.name}\u2026`;
  else if (opening && problem)
    $('status').textContent = `${latest.picture.name} is converted once the setting is fixed.`;
  // The first answer, which checks the remembered settings, is not cancelled.
  $('cancel').hidden = engine.inFlight?.kind !== 'art';
  const usable = Boolean(latest) && (busy || (current && !shown.result.error && !problem));
  for (const id of ['save-nfo', 'copy-text', 'copy-command']) $(id).disabled = !usable;
  $('save-preview').disabled = !usable || (!busy && !shown.result.preview);
  if (!busy) {
    for (const resolve of waiting) resolve();
    waiting = [];
  }
}

// The art of the settings shown, once the worker has made it; or null, with
// a note that says why there is none.
async function currentArt(verb) {
  const waited = Boolean(engine.inFlight);
  if (waited) {
    note('Waiting for the art of the settings shown\u2026');
    await new Promise((resolve) => waiting.push(resolve));
  }
  const why = problem || (!shown || shown.request !== latest ? 'the art was cancelled' : shown.result.error);
  if (why) {
    note(`Cannot ${verb}: ${why}.`);
    return null;
  }
  if (waited) note('');
  return shown;
}

// Back to the art shown: the worker is stopped and started afresh, and the
// controls and the picture return to those the art was made of.
function cancel() {
  startWorker();
  engine.inFlight = null;
  engine.queued.delete('art');
  if (shown) {
    picture = shown.request.picture;
    writeValues(shown.request.values);
    saveSettings();
  } else {
    picture = null;
    $('status').textContent = 'Open a picture to start.';
  }
  latest = shown?.request ?? null;
  markField('', '');
  note('Cancelled: the settings are back to those of the art shown.');
  postQueued();
  update();
}

// A note under the status line, with a button that undoes what it tells of.
function note(text, undo) {
  $('note').textContent = text;
  if (!undo) return;
  const button = document.createElement('button');
  button.type = 'button';
  button.id = 'undo';
  button.textContent = 'Undo';
  button.addEventListener('click', () => {
    undo();
    note('');
  });
  $('note').append(' ', button);
}

// Every control back to the page's defaults; the note offers the way back.
function reset() {
  const before = readValues();
  const defaults = {};
  for (const [flag, { option }] of controls) defaults[flag] = option.startValue;
  const apply = (values) => {
    writeValues(values);
    saveSettings();
    want();
  };
  apply(defaults);
  note('Every setting is back to its default.', () => apply(before));
}

function openFile(file) {
  if (!file) return;
  picture = { name: file.name || 'pasted', blob: file };
  note('');
  want();
  update();
}

function baseName(name) {
  return name.replace(/\.[^.]*$/, '') || 'art';
}

function download(blob, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

async function copy(text, what, tell = note) {
  try {
    await navigator.clipboard.writeText(text);
  } catch {
    const area = document.createElement('textarea');
    area.value = text;
    document.body.append(area);
    area.select();
    document.execCommand('copy');
    area.remove();
  }
  tell(what + ' copied to the clipboard.');
}

$('save-nfo').addEventListener('click', async () => {
  const art = await currentArt('save');
  if (art) {
    download(new Blob([art.result.nfo], { type: 'application/octet-stream' }),
      baseName(art.request.picture.name) + '.nfo');
  }
});
$('save-preview').addEventListener('click', async () => {
  const art = await currentArt('save the preview');
  if (art && art.result.preview)
    previewCanvas(art.result).convertToBlob({ type: 'image/png' })
      .then((blob) => download(blob, baseName(art.request.picture.name) + '.preview.png'));
});
$('copy-text').addEventListener('click', async () => {
  const art = await currentArt('copy');
  if (art) copy(art.result.text, 'Text');
});
$('copy-command').addEventListener('click', async () => {
  const art = await currentArt('copy');
  if (art) copy(art.result.command, 'Command');
});
$('cancel').addEventListener('click', cancel);
$('reset').addEventListener('click', reset);

$('picture').addEventListener('change', (event) => {
  openFile(event.target.files[0]);
  event.target.value = ''; // so that choosing the same file again opens it again
});
// A picture dropped or pasted is converted into art, or, while a whole file
// is composed, added to the pictures its template may name.
function filesGiven(files) {
  if (document.body.dataset.mode === 'compose') addPictures(files);
  else openFile(files[0]);
}
document.addEventListener('dragover', (event) => {
  event.preventDefault();
  document.body.classList.add('dragging');
});
document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
document.addEventListener('drop', (event) => {
  event.preventDefault();
  document.body.classList.remove('dragging');
  if (event.dataTransfer.files.length) filesGiven([...event.dataTransfer.files]);
});
document.addEventListener('paste', (event) => {
  const files = [...event.clipboardData.files];
  if (files.length) {
    event.preventDefault();
    filesGiven(files);
  }
});

startWorker();
