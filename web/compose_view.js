// Whole NFO files: a template, the fields it asks for, the pictures it may
// name, and the file the engine composes of them, drawn as the art is. The
// page holds no composing logic: the template, the values and the options go
// to the engine as they are. Every request has an id and answers come in
// order; a template that does not compose leaves the last file that did on
// screen, and Save and Copy wait for the answer to the newest request.

const examples = JSON.parse($('examples').textContent);
const TemplateKey = 'ezedudu.template';
const composer = {
  controls: new Map(), // the file's options: layout, closing line, preview
  pictures: new Map(), // name -> {name, key, blob}: what {{art NAME}} may name
  values: {}, // the fields' values as typed, by name
  names: [], // the fields the form shows
  name: 'release', // of the file saved, without its extension
  latest: null, // the newest request: the file owed
  answered: null, // {request, result}: the newest answer
  drawn: null, // {result, shrink}: the file on screen, the last that composed
};
let nextPictureKey = 0;

function buildComposeControls(table, pageTable) {
  const form = $('compose-controls');
  form.addEventListener('submit', (event) => event.preventDefault());
  const options = [pageTable.find(({ flag }) => flag === 'layout'),
    ...table.filter(({ flag }) => flag === 'signature' || flag === 'preview-theme')];
  // They start as ezedudu-cli --compose does.
  for (const option of options) {
    makeControl(option, form, { into: composer.controls, prefix: 'compose-', changed: wantPage });
    composer.controls.get(option.flag).write(option.defaultValue);
  }
  for (const [index, { label }] of examples.entries()) {
    const item = document.createElement('option');
    item.value = index;
    item.textContent = label;
    $('example').append(item);
  }
  restoreTemplate();
  if (document.body.dataset.mode === 'compose') showMode('compose');
}

// The template, the values and the file's options as the page last had them
// (its pictures are not kept: the user adds them again).
function restoreTemplate() {
  let saved;
  try {
    saved = JSON.parse(localStorage.getItem(TemplateKey));
  } catch {
    return;
  }
  if (!saved || typeof saved.template !== 'string') return;
  $('template').value = saved.template;
  composer.name = String(saved.name || composer.name);
  composer.values = typeof saved.values === 'object' ? { ...saved.values } : {};
  for (const [flag, { write }] of composer.controls) {
    if (typeof saved.options?.[flag] === 'string') write(saved.options[flag]);
  }
  drawGutter();
}

function saveTemplate() {
  try {
    localStorage.setItem(TemplateKey, JSON.stringify({ template: $('template').value, name: composer.name,
      values: composer.values, options: readValues(composer.controls) }));
  } catch {
    // Storage may be off or full; the page works without it.
  }
}

function today() {
  const now = new Date();
  return [now.getFullYear(), now.getMonth() + 1, now.getDate()].map((n) => String(n).padStart(2, '0')).join('-');
}

// Asks for the file of the template, the values and the options shown now.
function wantPage() {
  if (!ready) return;
  saveTemplate();
  const fields = {};
  for (const [name, value] of Object.entries(composer.values)) if (value !== '') fields[name] = value;
  const values = readValues(composer.controls);
  composer.latest = { id: ++nextId, kind: 'compose', template: $('template').value, fields, values,
    words: wordsOf(values, composer.controls), pictures: [...composer.pictures.values()], name: composer.name };
  send(composer.latest);
  update();
}

// Sends a compose request with the bytes of the pictures the worker does not
// hold yet.
async function postPage(request) {
  const pictures = [];
  for (const { name, key, blob } of request.pictures) {
    const picture = { name, key };
    if (engine.pictures.get(name) !== key) {
      try {
        picture.bytes = await blob.arrayBuffer();
      } catch {
        picture.bytes = new ArrayBuffer(0); // told as an empty picture where it is named
      }
    }
    pictures.push(picture);
  }
  if (engine.inFlight !== request) return; // cancelled meanwhile
  engine.pictures = new Map(pictures.map(({ name, key }) => [name, key]));
  const { id, template, fields, words } = request;
  engine.worker.postMessage({ type: 'compose', id, template, fields, words, pictures },
    pictures.map(({ bytes }) => bytes).filter(Boolean));
}

function finishPage(request, result) {
  engine.memory = result.memory || 0;
  if (result.broken) startWorker();
  composer.answered = { request, result };
  if (request === composer.latest) document.body.dataset.pages = Number(document.body.dataset.pages || 0) + 1;
  for (const [flag, { input }] of composer.controls) {
    const bad = flag === result.field;
    input.setCustomValidity(bad ? result.error : '');
    if (bad) input.setAttribute('aria-invalid', 'true');
    else input.removeAttribute('aria-invalid');
  }
  if (result.fields) showFields(result.fields);
  if (!result.error) {
    composer.drawn = { result, shrink: 0 };
    fitPage();
  }
  drawGutter();
}

// The form of the fields the template asks for, with the values typed
// before; the date starts as today's.
function showFields(names) {
  if (names.join('\n') === composer.names.join('\n')) return;
  composer.names = names;
  const form = $('fields');
  for (const old of form.querySelectorAll('label, input')) old.remove();
  let filled = false;
  for (const name of names) {
    if (name === 'date' && composer.values.date === undefined) {
      composer.values.date = today();
      filled = true;
    }
    const label = document.createElement('label');
    label.htmlFor = 'field-' + name;
    label.textContent = name;
    const input = document.createElement('input');
    input.id = 'field-' + name;
    input.value = composer.values[name] ?? '';
    input.addEventListener('input', () => {
      composer.values[name] = input.value;
      wantPage();
    });
    form.append(label, input);
  }
  $('no-fields').hidden = names.length > 0;
  if (filled) wantPage();
}

// Files added while composing: a text file is the template, UTF-8 as the
// page edits it; anything else a picture the template may name.
function addPictures(files) {
  const [text] = files.filter(isTemplateFile);
  if (text) openTemplate(text);
  const pictures = files.filter((file) => !isTemplateFile(file));
  if (!pictures.length) return;
  for (const file of pictures) {
    const name = file.name || 'pasted.png';
    composer.pictures.set(name, { name, key: ++nextPictureKey, blob: file });
  }
  showPictures();
  wantPage();
}

function isTemplateFile(file) {
  return /\.(txt|nfo|diz)$/i.test(file.name) || file.type === 'text/plain';
}

async function openTemplate(file) {
  let text;
  try {
    text = new TextDecoder('utf-8', { fatal: true }).decode(await file.arrayBuffer());
  } catch {
    pageNote(`Cannot open ${file.name}: it is not UTF-8 text. ezedudu-cli --compose reads code page 437 files too.`);
    return;
  }
  $('template').value = text;
  composer.name = file.name.replace(/\.[^.]*$/, '') || 'release';
  pageNote('');
  drawGutter();
  wantPage();
}

function showPictures() {
  const list = $('picture-list');
  list.replaceChildren();
  for (const name of composer.pictures.keys()) {
    const item = document.createElement('li');
    const remove = document.createElement('button');
    remove.type = 'button';
    remove.textContent = '\u00d7';
    remove.title = remove.ariaLabel = `Remove ${name}`;
    remove.addEventListener('click', () => {
      composer.pictures.delete(name);
      showPictures();
      wantPage();
    });
    item.append(name, ' ', remove);
    list.append(item);
  }
}

function loadExample({ name, template, fields, layout, pictures }) {
  $('template').value = template;
  composer.name = name;
  composer.values = { ...composer.values, ...fields };
  composer.names = []; // so that the form shows the example's values
  composer.controls.get('layout').write(layout);
  for (const [file, base64] of Object.entries(pictures)) {
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    composer.pictures.set(file, { name: file, key: ++nextPictureKey, blob: new Blob([bytes]) });
  }
  showPictures();
  drawGutter();
  wantPage();
}

// The template's line numbers, the line at fault marked.
function drawGutter() {
  const area = $('template');
  const gutter = $('gutter');
  const count = area.value.split('\n').length;
  while (gutter.childElementCount < count) {
    const number = document.createElement('div');
    number.textContent = gutter.childElementCount + 1;
    gutter.append(number);
  }
  while (gutter.childElementCount > count) gutter.lastElementChild.remove();
  gutter.querySelector('.fault')?.classList.remove('fault');
  const { result } = composer.answered || {};
  if (result?.line) gutter.children[result.line - 1]?.classList.add('fault');
  gutter.scrollTop = area.scrollTop;
}

// Selects the text from the column to the end of its line, in view.
function goToLine(line, column) {
  const area = $('template');
  const lines = area.value.split('\n');
  const start = lines.slice(0, line - 1).reduce((sum, text) => sum + text.length + 1, 0);
  area.focus();
  area.setSelectionRange(start + column - 1, start + (lines[line - 1] ?? '').length);
  area.scrollTop = Math.max(0, line - 4) * parseFloat(getComputedStyle(area).lineHeight);
}

function pageNote(text) {
  $('compose-note').textContent = text;
}

// The mode's status, its fault and its buttons, after any change.
function updatePage() {
  const busy = Boolean(engine.inFlight);
  const { request, result } = composer.answered || {};
  const fault = result?.error;
  const drawn = composer.drawn?.result;
  document.body.dataset.page = busy ? 'busy' : fault ? 'error' : drawn ? 'ready' : 'empty';
  if (drawn) {
    $('compose-status').textContent =
      `${drawn.rows} lines, ${drawn.columns} columns at the widest, ${drawn.nfo.length} bytes`;
  }
  const problem = $('compose-problem');
  problem.replaceChildren();
  if (result?.line) $('template').setAttribute('aria-invalid', 'true');
  else $('template').removeAttribute('aria-invalid');
  if (fault) {
    const where = result.line ? `Line ${result.line}, column ${result.column}: ` : '';
    problem.append(`${where}${fault}.` + (drawn ? ' The file shown is the last that composed.' : ''));
    if (result.line) {
      const show = document.createElement('button');
      show.type = 'button';
      show.textContent = `Show line ${result.line}`;
      show.addEventListener('click', () => goToLine(result.line, result.column));
      problem.append(' ', show);
    }
  }
  const usable = Boolean(composer.latest) && (busy || (request === composer.latest && !fault));
  for (const id of ['save-page', 'copy-page']) $(id).disabled = !usable;
  $('save-page-preview').disabled = !usable || (!busy && !result.preview);
}

// The answer to the newest request, once the worker has made it; or null,
// with a note that says why there is none.
async function currentPage(verb) {
  const waited = Boolean(engine.inFlight);
  if (waited) {
    pageNote('Waiting for the file of the template shown\u2026');
    await new Promise((resolve) => waiting.push(resolve));
  }
  const { request, result } = composer.answered || {};
  const why = request !== composer.latest ? 'the template is not composed yet' : result.error;
  if (why) {
    pageNote(`Cannot ${verb}: ${why}.`);
    return null;
  }
  if (waited) pageNote('');
  return { request, result };
}

// The file beside the template where both fit (the editor at least 30rem
// wide, and a gap), otherwise under it, as large as the room allows.
function fitPage() {
  if (!composer.drawn || $('compose-mode').hidden) return;
  const room = $('compose-views').clientWidth;
  const beside = room - 31 * parseFloat(getComputedStyle(document.documentElement).fontSize);
  const width = composer.drawn.result.previewWidth / (window.devicePixelRatio || 1);
  fitPreview($('page-preview'), composer.drawn, beside >= width ? beside : room, 1);
}

function showMode(mode) {
  document.body.dataset.mode = mode;
  $('art-mode').hidden = mode !== 'art';
  $('compose-mode').hidden = mode !== 'compose';
  $('mode-art').setAttribute('aria-selected', String(mode === 'art'));
  $('mode-compose').setAttribute('aria-selected', String(mode === 'compose'));
  if (mode === 'compose' && composer.controls.size && !$('template').value) loadExample(examples[0]);
  if (mode === 'compose') fitPage();
  else fitArt();
  try {
    history.replaceState(null, '', mode === 'compose' ? '#compose' : location.pathname + location.search);
  } catch {
    // Some browsers keep pages opened from disk from changing their address.
  }
}

$('mode-art').addEventListener('click', () => showMode('art'));
$('mode-compose').addEventListener('click', () => showMode('compose'));
$('template').addEventListener('input', () => {
  drawGutter();
  wantPage();
});
$('template').addEventListener('scroll', () => { $('gutter').scrollTop = $('template').scrollTop; });
$('example').addEventListener('change', (event) => {
  if (event.target.value !== '') loadExample(examples[Number(event.target.value)]);
  event.target.value = '';
});
$('open-template').addEventListener('change', (event) => {
  if (event.target.files[0]) openTemplate(event.target.files[0]);
  event.target.value = '';
});
$('add-pictures').addEventListener('change', (event) => {
  addPictures([...event.target.files]);
  event.target.value = ''; // so that choosing the same files again adds them again
});
$('save-page').addEventListener('click', async () => {
  const page = await currentPage('save');
  if (page) {
    const extension = page.request.values.layout === 'diz' ? '.diz' : '.nfo';
    download(new Blob([page.result.nfo], { type: 'application/octet-stream' }), page.request.name + extension);
  }
});
$('save-page-preview').addEventListener('click', async () => {
  const page = await currentPage('save the preview');
  if (page && page.result.preview)
    previewCanvas(page.result).convertToBlob({ type: 'image/png' })
      .then((blob) => download(blob, page.request.name + '.preview.png'));
});
$('copy-page').addEventListener('click', async () => {
  const page = await currentPage('copy');
  if (page) copy(page.result.text, 'Text', pageNote);
});
$('save-template').addEventListener('click', () => {
  download(new Blob([$('template').value], { type: 'text/plain' }), composer.name + '.txt');
});
new ResizeObserver(fitPage).observe($('compose-views'));
window.addEventListener('resize', fitPage);
if (location.hash === '#compose') showMode('compose');
