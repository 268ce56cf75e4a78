// The page: opens a picture, builds the art options' controls from the
// engine's option table, and shows what the worker makes of them. It holds no
// conversion logic: the options go to the engine as command-line words.
'use strict';

const SettingsKey = 'ezedudu.settings';
const ViewerColumns = 80;

const $ = (id) => document.getElementById(id);
const worker = new Worker(URL.createObjectURL(
  new Blob([$('worker-source').textContent], { type: 'text/javascript' })));

let options = [];
const controls = new Map(); // flag -> {option, read(), write(text)}
let pictureName = '';
let art = null; // the last result without an error
let busy = false;
let pending = null; // the request waiting for the worker

function savedSettings() {
  try {
    return JSON.parse(localStorage.getItem(SettingsKey)) || {};
  } catch {
    return {};
  }
}

function saveSettings() {
  const settings = {};
  for (const [flag, control] of controls) settings[flag] = control.read();
  try {
    localStorage.setItem(SettingsKey, JSON.stringify(settings));
  } catch {
    // Storage may be off (private windows, some file:// pages); the page works without it.
  }
}

// One control for an option, made from its row of the table.
function makeControl(option, form) {
  const id = 'option-' + option.flag;
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
    read = () => (input.value.trim() === '' && option.unsetName ? option.unsetName : input.value.trim());
    write = (text) => { input.value = text === option.unsetName ? '' : text; };
  }
  input.id = id;
  input.name = option.flag;
  form.append(label, holder || input);
  controls.set(option.flag, { option, read, write });
  input.addEventListener(option.control === 'slider' ? 'input' : 'change', () => {
    saveSettings();
    requestArt();
  });
}

function buildControls(table) {
  options = table;
  const form = $('controls');
  form.addEventListener('submit', (event) => event.preventDefault());
  const saved = savedSettings();
  for (const option of options) {
    makeControl(option, form);
    controls.get(option.flag).write(saved[option.flag] ?? option.startValue);
  }
}

// The options as command-line words: those that differ from the command
// line's defaults.
function words() {
  const list = [];
  for (const { option, read } of controls.values()) {
    const text = read();
    if (text === option.defaultValue) continue;
    if (option.type === 'switch') {
      if (text === 'true') list.push('--' + option.flag);
    } else {
      list.push('--' + option.flag, text);
    }
  }
  return list;
}

function send(message) {
  if (busy) {
    // Only the newest request matters; a file always replaces a slider move.
    if (!pending || pending.type !== 'file' || message.type === 'file') pending = message;
    return;
  }
  busy = true;
  document.body.dataset.state = 'busy';
  worker.postMessage(message, message.bytes ? [message.bytes] : []);
}

function requestArt() {
  if (pictureName) send({ type: 'convert', words: words() });
}

async function openFile(file) {
  if (!file) return;
  pictureName = file.name || 'pasted';
  $('picture-name').textContent = pictureName;
  send({ type: 'file', bytes: await file.arrayBuffer(), words: words() });
}

function showResult(result) {
  const canvas = $('preview');
  $('note').textContent = '';
  if (result.error) {
    art = null;
    document.body.dataset.state = 'error';
    $('status').textContent = 'Cannot convert ' + pictureName + ': ' + result.error;
    $('warning').textContent = '';
    canvas.width = 0;
    canvas.height = 0;
  } else {
    art = result;
    document.body.dataset.state = 'ready';
    $('status').textContent = result.columns + ' \u00d7 ' + result.rows + ' characters, ' + result.nfo.length + ' bytes';
    $('warning').textContent = result.columns > ViewerColumns
      ? 'Wider than the ' + ViewerColumns + ' columns NFO viewers show: lines will wrap.' : '';
    if (result.preview) {
      canvas.width = result.previewWidth;
      canvas.height = result.previewHeight;
      const pixels = new ImageData(new Uint8ClampedArray(result.preview.buffer), result.previewWidth,
        result.previewHeight);
      canvas.getContext('2d').putImageData(pixels, 0, 0);
    } else {
      canvas.width = 0;
      canvas.height = 0;
      $('warning').textContent += ' The art is too large to preview here.';
    }
  }
  document.body.dataset.renders = Number(document.body.dataset.renders || 0) + 1;
  for (const id of ['save-nfo', 'copy-text', 'copy-command']) $(id).disabled = !art;
  $('save-preview').disabled = !art || !art.preview;
}

worker.onmessage = ({ data }) => {
  if (data.type === 'options') {
    buildControls(data.options);
    document.body.dataset.engine = 'ready';
    return;
  }
  busy = false;
  if (pending) {
    const next = pending;
    pending = null;
    // The options as they are now; a new file makes this result stale.
    next.words = words();
    send(next);
    if (next.type === 'file') return;
  }
  showResult(data.result);
};

function baseName() {
  return pictureName.replace(/\.[^.]*$/, '') || 'art';
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

async function copy(text, what) {
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
  $('note').textContent = what + ' copied to the clipboard.';
}

// A word as a POSIX shell reads it back unchanged.
function shellWord(word) {
  return /^[A-Za-z0-9_.,:/=+@%-]+$/.test(word) ? word : "'" + word.replace(/'/g, "'\\''") + "'";
}

$('save-nfo').addEventListener('click', () => {
  if (art) download(new Blob([art.nfo], { type: 'application/octet-stream' }), baseName() + '.nfo');
});
$('save-preview').addEventListener('click', () => {
  if (art) $('preview').toBlob((blob) => download(blob, baseName() + '.preview.png'), 'image/png');
});
$('copy-text').addEventListener('click', () => art && copy(art.text, 'Text'));
$('copy-command').addEventListener('click', () => {
  if (art) copy(['ezedudu-cli', ...art.arguments, pictureName].map(shellWord).join(' '), 'Command');
});

$('picture').addEventListener('change', (event) => {
  openFile(event.target.files[0]);
  event.target.value = ''; // so that choosing the same file again opens it again
});
document.addEventListener('dragover', (event) => {
  event.preventDefault();
  document.body.classList.add('dragging');
});
document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
document.addEventListener('drop', (event) => {
  event.preventDefault();
  document.body.classList.remove('dragging');
  openFile(event.dataTransfer.files[0]);
});
document.addEventListener('paste', (event) => {
  const file = [...event.clipboardData.files][0];
  if (file) {
    event.preventDefault();
    openFile(file);
  }
});
