// The virtual receiver's page: draws the screen from the server's events, sends the remote's
// keys (held keys repeat on the server, as on the receiver), and shows the firmware's panels.
'use strict';

// --- The remote control: rows of keys as on the receiver's remote (names of the key table) ---
const REMOTE = [
  { cls: 'four', keys: [['MUTE', 'Mute'], ['SLEEP', 'Sleep ◷'], ['RADIO', 'Radio'], ['TVSAT', 'TV/Sat']] },
  { cls: '', keys: [['1', '1', 'digit'], ['2', '2', 'digit'], ['3', '3', 'digit'], ['4', '4', 'digit'],
    ['5', '5', 'digit'], ['6', '6', 'digit'], ['7', '7', 'digit'], ['8', '8', 'digit'], ['9', '9', 'digit'],
    ['RECALL', 'Recall'], ['0', '0', 'digit'], ['INFO', 'Info']] },
  { cls: '', keys: [['MENU', 'Menu'], ['GUIDE', 'Guide'], ['AUDIO', 'Audio']] },
  { cross: true },
  { cls: 'two', keys: [['EXIT', 'Exit'], ['TIMERLIST', 'Timers']] },
  { cls: 'four', keys: [['TELETEXT', 'Text'], ['SUBTITLE', 'Sub'], ['UHF', 'UHF'], ['SAT', 'Sat']] },
  { cls: 'four', keys: [['RED', '\u00a0', 'red'], ['GREEN', '\u00a0', 'green'], ['YELLOW', '\u00a0', 'yellow'],
    ['BLUE', '\u00a0', 'blue']] },
  { cls: 'four', keys: [['REWIND', '«'], ['PLAY', '▶'], ['FORWARD', '»'], ['SLOW', '|▷']] },
  { cls: 'four', keys: [['PREV', '|◀'], ['PAUSE', '❚❚'], ['NEXT', '▶|'], ['STOP', '■']] },
  { cls: 'two', keys: [['RECORD', '● Rec', 'record'], ['HELP', 'Help']] },
];
const CROSS = [[null], ['UP', '▲'], [null], ['LEFT', '◀'], ['OK', 'OK', 'ok'], ['RIGHT', '▶'], [null], ['DOWN', '▼'], [null]];

// Keyboard shortcuts: KeyboardEvent.key (letters in lower case) -> key name.
const SHORTCUTS = [
  ['ArrowUp', 'UP', '↑'], ['ArrowDown', 'DOWN', '↓'], ['ArrowLeft', 'LEFT', '←'], ['ArrowRight', 'RIGHT', '→'],
  ['Enter', 'OK', 'Enter'], ['Escape', 'EXIT', 'Esc'], ['g', 'GUIDE', 'G'], ['i', 'INFO', 'I'], ['r', 'RECORD', 'R'],
  ['m', 'MENU', 'M'], ['t', 'TIMERLIST', 'T'], ['F1', 'RED', 'F1'], ['F2', 'GREEN', 'F2'], ['F3', 'YELLOW', 'F3'],
  ['F4', 'BLUE', 'F4'], ['p', 'PLAY', 'P'], [' ', 'PAUSE', 'Space'], ['s', 'STOP', 'S'], ['PageUp', 'REWIND', 'PgUp'],
  ['PageDown', 'FORWARD', 'PgDn'], ['Home', 'PREV', 'Home'], ['End', 'NEXT', 'End'], ['f', 'SLOW', 'F'],
  ['x', 'TELETEXT', 'X'], ['u', 'SUBTITLE', 'U'], ['c', 'SLEEP', 'C'], ['h', 'HELP', 'H'], ['a', 'AUDIO', 'A'],
  ['Backspace', 'RECALL', 'Backspace'], ['o', 'RADIO', 'O'], ['q', 'MUTE', 'Q'],
  ...'0123456789'.split('').map((d) => [d, d, d]),
];
const BY_KEYBOARD = new Map(SHORTCUTS.map(([k, name]) => [k, name]));

const $ = (id) => document.getElementById(id);
let lastState = null;

// --- Requests: one at a time, in order, so that a key's release never overtakes its press ---
let queue = Promise.resolve();
function post(path, params) {
  const body = params instanceof FormData ? params : new URLSearchParams(params || {});
  const run = () => fetch(path, { method: 'POST', headers: { 'X-Diro-Page': '1' }, body })
    .then(async (r) => {
      const json = await r.json().catch(() => ({}));
      if (!r.ok) throw new Error(json.error || `${r.status} ${r.statusText}`);
      return json;
    });
  const result = queue.then(run, run);
  queue = result.catch(() => {});
  return result;
}

function keyDown(name) { return post('/api/key', { name, action: 'down' }); }
function keyUp() { return post('/api/key', { action: 'up' }); }

// --- The remote ---
function keyButton(name, label, cls) {
  const b = document.createElement('button');
  b.type = 'button';
  b.className = `key ${cls || ''}`;
  b.dataset.key = name;
  b.textContent = label;
  const shortcut = SHORTCUTS.find(([, n]) => n === name);
  b.title = shortcut ? `${name} (${shortcut[2]})` : name;
  b.setAttribute('aria-label', name);
  let held = false;
  b.addEventListener('pointerdown', (e) => {
    e.preventDefault();
    held = true;
    b.classList.add('down');
    keyDown(name).catch(showError);
  });
  const release = () => {
    if (!held) return;
    held = false;
    b.classList.remove('down');
    keyUp().catch(showError);
  };
  b.addEventListener('pointerup', release);
  b.addEventListener('pointerleave', release);
  b.addEventListener('pointercancel', release);
  b.tabIndex = -1;  // keys of the keyboard go to the receiver, never to a focused button
  return b;
}

function drawRemote() {
  const remote = $('remote');
  for (const row of REMOTE) {
    const div = document.createElement('div');
    if (row.cross) {
      div.className = 'cross';
      for (const [name, label, cls] of CROSS) {
        div.appendChild(name ? keyButton(name, label, cls) : document.createElement('span'));
      }
    } else {
      div.className = `keys ${row.cls}`;
      for (const [name, label, cls] of row.keys) div.appendChild(keyButton(name, label || name, cls));
    }
    remote.appendChild(div);
  }
  const legend = $('legend');
  for (const [, name, shown] of SHORTCUTS.filter(([k]) => !/^[0-9]$/.test(k))) {
    const tr = legend.insertRow();
    tr.insertCell().innerHTML = `<kbd></kbd>`;
    tr.cells[0].firstChild.textContent = shown;
    tr.insertCell().textContent = name;
  }
  const digits = legend.insertRow();
  digits.insertCell().innerHTML = '<kbd>0</kbd> … <kbd>9</kbd>';
  digits.insertCell().textContent = 'digits';
}

// Keyboard: a key pressed is held on the server until it is released; the browser's own
// repeats are ignored (the server repeats as the receiver does).
let keyboardHeld = null;
function onKeyDown(e) {
  if (e.ctrlKey || e.altKey || e.metaKey) return;
  if (e.target.closest && e.target.closest('input, select, textarea')) return;
  const k = e.key.length === 1 ? e.key.toLowerCase() : e.key;
  const name = BY_KEYBOARD.get(k);
  if (!name) return;
  e.preventDefault();
  if (e.repeat || keyboardHeld === k) return;
  keyboardHeld = k;
  keyDown(name).catch(showError);
}
function onKeyUp(e) {
  const k = e.key.length === 1 ? e.key.toLowerCase() : e.key;
  if (keyboardHeld !== k) return;
  keyboardHeld = null;
  e.preventDefault();
  keyUp().catch(showError);
}

// --- The screen: patches of PNG drawn in the order they came ---
const canvas = $('screen');
const ctx = canvas.getContext('2d');
let drawing = Promise.resolve();
window.rxFrameVersion = 0;

function pngBlob(base64) {
  const bin = atob(base64);
  const bytes = new Uint8Array(bin.length);
  for (let i = 0; i < bin.length; i++) bytes[i] = bin.charCodeAt(i);
  return new Blob([bytes], { type: 'image/png' });
}

function onFrame(e) {
  const frame = JSON.parse(e.data);
  drawing = drawing.then(async () => {
    const pictures = await Promise.all(frame.patches.map((p) => createImageBitmap(pngBlob(p.png))));
    frame.patches.forEach((p, i) => ctx.drawImage(pictures[i], p.x, p.y));
    window.rxFrameVersion = frame.version;
    canvas.dataset.version = frame.version;
  }).catch(showError);
}

// --- Panels ---
function channelName(type, number) {
  const names = lastState && lastState.channels ? lastState.channels[type] || [] : [];
  return `${type === 'radio' ? 'Radio' : 'TV'} ${number + 1}${names[number] ? ` ${names[number]}` : ''}`;
}

function fillList(ul, items, empty) {
  ul.replaceChildren(...(items.length ? items : [empty]).map((item) => {
    if (item instanceof Node) return item;
    const li = document.createElement('li');
    li.textContent = item;
    return li;
  }));
}

function onState(e) {
  const s = JSON.parse(e.data);
  lastState = s;
  $('clock').textContent = `${s.weekday} ${s.clock}`;
  for (const b of document.querySelectorAll('[data-clock]')) b.classList.toggle('active', b.dataset.clock === s.clockMode);
  const jump = $('jump-to');
  if (document.activeElement !== jump && !jump.dataset.touched) jump.value = s.clock.slice(0, 16).replace(' ', 'T');
  $('channel').textContent = channelName(s.channel.type, s.channel.number);
  $('plugin').textContent = s.plugin ? 'running' : 'ended (power cycle starts it again)';
  $('free-disk').textContent = `${s.freeMb.toLocaleString('en')} MB`;

  const guide = $('guide');
  if (s.guideFile && guide.options.length === 1) guide.add(new Option(`XMLTV: ${s.guideFile}`, 'xmltv'));
  guide.value = s.guide;

  const tbody = $('timers').tBodies[0];
  tbody.replaceChildren(...s.timers.map((t) => {
    const tr = document.createElement('tr');
    for (const v of [t.index, t.kind, channelName(t.type, t.channel), t.start, t.duration, t.mode, t.tuner, t.name]) {
      tr.insertCell().textContent = v;
    }
    return tr;
  }));
  $('timers-empty').hidden = s.timers.length > 0;

  const rec = (r) => `${channelName(r.type, r.channel)} ${r.start} – ${r.end} ${r.name}`;
  fillList($('running'), s.recordings.running.map(rec), 'none');
  fillList($('finished'), s.recordings.done.map(rec), 'none');

  fillList($('files'), s.files.map((f) => {
    const li = document.createElement('li');
    const a = document.createElement('a');
    a.href = `/files/${encodeURIComponent(f.name)}`;
    a.download = f.name;
    a.textContent = f.name;
    const size = document.createElement('span');
    size.className = 'size';
    size.textContent = `${f.size.toLocaleString('en')} bytes`;
    li.append(a, size);
    return li;
  }), 'empty');
  fillList($('log'), s.log, 'none');
}

// --- Clock, power, guide, files ---
function showResult(id, text, isError) {
  const el = $(id);
  el.textContent = text;
  el.classList.toggle('error', !!isError);
}
function showError(err) { showResult('jump-result', err.message || String(err), true); }

function jumpBy(minutes) {
  if (!lastState) return;
  const [date, time] = lastState.clock.split(' ');
  const t = new Date(`${date}T${time}Z`);
  t.setUTCMinutes(t.getUTCMinutes() + minutes);
  return t.toISOString().slice(0, 16);
}
function jumpToScan() {
  if (!lastState) return;
  const [date, time] = lastState.clock.split(' ');
  const t = new Date(`${date}T02:59:00Z`);
  if (time >= '02:59') t.setUTCDate(t.getUTCDate() + 1);
  return t.toISOString().slice(0, 16);
}
function jump(to) {
  if (!to) return;
  post('/api/clock', { to: to.replace('T', ' ') })
    .then(() => { showResult('jump-result', `clock set to ${to.replace('T', ' ')}`); delete $('jump-to').dataset.touched; })
    .catch((err) => showResult('jump-result', err.message, true));
}

function upload(file) {
  if (!file) return;
  const form = new FormData();
  form.append('as', $('drop-as').value);
  form.append('file', file);
  post('/api/upload', form)
    .then((r) => showResult('drop-result', `${file.name} stored as ${r.file} (${r.bytes} bytes)`))
    .catch((err) => showResult('drop-result', err.message, true));
}

function wire() {
  for (const b of document.querySelectorAll('[data-clock]')) {
    b.addEventListener('click', () => post('/api/clock', { mode: b.dataset.clock }).catch(showError));
  }
  $('jump').addEventListener('submit', (e) => { e.preventDefault(); jump($('jump-to').value); });
  $('jump-to').addEventListener('input', () => { $('jump-to').dataset.touched = '1'; });
  document.querySelector('[data-jump="60"]').addEventListener('click', () => jump(jumpBy(60)));
  document.querySelector('[data-jump="scan"]').addEventListener('click', () => jump(jumpToScan()));
  $('power-cycle').addEventListener('click', () => post('/api/power-cycle').catch(showError));
  $('guide').addEventListener('change', (e) => post('/api/guide', { name: e.target.value }).catch(showError));

  const drop = $('drop');
  drop.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('over'); });
  drop.addEventListener('dragleave', () => drop.classList.remove('over'));
  drop.addEventListener('drop', (e) => {
    e.preventDefault();
    drop.classList.remove('over');
    upload(e.dataTransfer.files[0]);
  });
  $('drop-file').addEventListener('change', (e) => { upload(e.target.files[0]); e.target.value = ''; });

  document.addEventListener('keydown', onKeyDown);
  document.addEventListener('keyup', onKeyUp);
  window.addEventListener('blur', () => { if (keyboardHeld) { keyboardHeld = null; keyUp().catch(showError); } });
}

function connect() {
  const events = new EventSource('/api/events');
  events.addEventListener('frame', onFrame);
  events.addEventListener('state', onState);
  events.onopen = () => { $('connection').textContent = 'connected'; $('connection').className = 'online'; };
  events.onerror = () => {
    $('connection').textContent = 'no connection to the receiver';
    $('connection').className = 'offline';
    // The browser retries a dropped stream by itself, not a refused one: then the page does.
    if (events.readyState === EventSource.CLOSED) setTimeout(connect, 3000);
  };
}

drawRemote();
wire();
connect();
