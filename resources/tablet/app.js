'use strict';
// The tablet's side of the classroom server: it shows what the server sends and sends what the pupil taps.
// It never judges and never holds an answer.

const $ = (id) => document.getElementById(id);
const state = { names: [], learner: -1, info: null, unit: null, exercise: null, current: 1, scale: 1 };
const pad = { whole: '', numerator: '', denominator: '', numeratorState: false, barRed: false };

async function call(method, path, body) {
  const options = { method, headers: {}, credentials: 'same-origin' };
  if (body !== undefined) {
    options.headers['Content-Type'] = 'application/json';
    options.body = JSON.stringify(body);
  }
  let response;
  try {
    response = await fetch(path, options);
  } catch (e) {
    return { status: 0, body: { message: 'サーバーにつながりません。先生に知らせてください。' } };
  }
  let data = {};
  try { data = await response.json(); } catch (e) { data = {}; }
  if (response.status === 401 && path !== '/api/logon') {
    showLogon('もう一度ログオンしてください。');
  }
  return { status: response.status, body: data };
}

function show(view) {
  for (const v of document.querySelectorAll('.view')) v.hidden = v.id !== view;
}

function button(text, className, onClick) {
  const b = document.createElement('button');
  b.textContent = text;
  if (className) b.className = className;
  b.addEventListener('click', onClick);
  return b;
}

// ---- dialogs (messages and questions of the practice, in the page) ----

let dialogQueue = Promise.resolve();
function dialog(text, buttons) {
  dialogQueue = dialogQueue.then(() => new Promise((resolve) => {
    $('dialogText').textContent = text;
    const row = $('dialogButtons');
    row.replaceChildren();
    for (const [caption, value] of buttons) {
      const b = button(caption, 'big', () => { $('dialog').hidden = true; resolve(value); });
      b.id = value === true ? 'dialogYes' : value === false ? 'dialogNo' : 'dialogOk';
      row.appendChild(b);
    }
    $('dialog').hidden = false;
    row.firstChild.focus();
  }));
  return dialogQueue;
}
const notice = (text) => dialog(text, [['OK', 'ok']]);
const ask = (text) => dialog(text, [['はい', true], ['いいえ', false]]);

// ---- log-on ----

async function showLogon(message) {
  show('logonView');
  $('who').textContent = '';
  $('passwordPanel').hidden = true;
  $('namePanel').hidden = false;
  $('logonMessage').textContent = message || '';
  const r = await call('GET', '/api/names');
  if (r.status !== 200) { $('logonMessage').textContent = r.body.message || ''; return; }
  state.names = r.body.names;
  $('lessonName').textContent = r.body.lessonName;
  const list = $('names');
  list.replaceChildren();
  r.body.names.forEach((name, i) => {
    const b = button(name, 'name big', () => chooseName(i));
    b.dataset.i = i;
    list.appendChild(b);
  });
}

async function chooseName(i) {
  const r = await call('POST', '/api/learner', { learner: i });
  if (r.status !== 200) { $('logonMessage').textContent = r.body.message || ''; return; }
  state.learner = i;
  state.info = r.body;
  $('logonMessage').textContent = '';
  if (!r.body.needsPassword) return logOn();
  $('namePanel').hidden = true;
  $('passwordPanel').hidden = false;
  $('greeting').textContent = r.body.greeting;
  $('instruction').textContent = r.body.instruction;
  $('pw').value = '';
  $('pw2').value = '';
  $('pw2Label').hidden = !r.body.newPassword;
  $('pw').focus();
}

async function logOn() {
  const r = await call('POST', '/api/logon', { learner: state.learner, password: $('pw').value, confirmation: $('pw2').value });
  if (r.status !== 200) {
    $('logonMessage').textContent = r.body.message || '';
    if (r.body.field === 'confirmation') { $('pw2').value = ''; $('pw2').focus(); }
    else { $('pw').value = ''; $('pw').focus(); }
    return;
  }
  $('who').textContent = r.body.learner + ' さん';
  showUnits();
}

// ---- units ----

async function showUnits() {
  const r = await call('GET', '/api/units');
  if (r.status !== 200) return;
  show('unitsView');
  $('unitsTitle').textContent = r.body.lessonName;
  const sections = $('sections');
  sections.replaceChildren();
  for (const section of r.body.sections) {
    const box = document.createElement('div');
    box.className = 'section';
    const h = document.createElement('h2');
    h.textContent = section.name;
    box.appendChild(h);
    for (const unit of section.units) {
      const row = document.createElement('div');
      row.className = 'row unitRow';
      const b = button(unit.mark + ' ' + unit.line, 'unit', () => openUnit(unit.section, unit.unit, 0));
      b.dataset.s = unit.section;
      b.dataset.u = unit.unit;
      row.appendChild(b);
      for (let k = 1; k <= unit.similar; k++) {
        const s = button('類題' + k, 'similar', () => openUnit(unit.section, unit.unit, k));
        s.dataset.s = unit.section; s.dataset.u = unit.unit; s.dataset.r = k;
        row.appendChild(s);
      }
      box.appendChild(row);
    }
    sections.appendChild(box);
  }
}

// ---- practice ----

async function openUnit(section, unit, similar) {
  const r = await call('POST', '/api/open', { section, unit, similar });
  if (r.status !== 200) { if (r.body.message) notice(r.body.message); return; }
  state.unit = r.body;
  show('practiceView');
  $('page').innerHTML = r.body.page;
  const overlay = $('overlay');
  overlay.setAttribute('viewBox', '0 0 ' + r.body.width + ' ' + r.body.height);
  $('boxes').replaceChildren();
  r.body.boxes.forEach((b, k) => {
    const input = document.createElement('input');
    input.className = 'box';
    input.id = 'M' + (k + 1);
    input.autocomplete = 'off';
    input.setAttribute('inputmode', 'none');
    input.setAttribute('autocapitalize', 'off');
    input.spellcheck = false;
    input.addEventListener('focus', () => { state.current = k + 1; });
    input.addEventListener('keydown', (e) => {
      if (e.key === 'Enter') { e.preventDefault(); enter(k + 1); }
    });
    $('boxes').appendChild(input);
  });
  clearPad();
  wipeMemo(true);
  layoutSheet();
  apply(r.body);
}

function layoutSheet() {
  if (!state.unit) return;
  const scroll = $('sheetScroll');
  const width = scroll.clientWidth - 8;
  state.scale = Math.max(0.5, Math.min(2.5, width / state.unit.width));
  const sheet = $('sheet');
  sheet.style.width = Math.round(state.unit.width * state.scale) + 'px';
  sheet.style.height = Math.round(state.unit.height * state.scale) + 'px';
  if (state.exercise) placeBoxes(state.exercise.boxes);
}

function placeBoxes(boxes) {
  const s = state.scale;
  boxes.forEach((b, k) => {
    const input = $('M' + (k + 1));
    if (!input) return;
    input.style.left = (b.left * s) + 'px';
    input.style.top = (b.top * s) + 'px';
    input.style.width = (b.width * s) + 'px';
    input.style.height = (b.height * s) + 'px';
    input.style.fontSize = (state.unit.fontPx * s) + 'px';
  });
}

function texts() {
  const out = [];
  for (let k = 1; k <= (state.exercise ? state.exercise.boxes.length : 0); k++) out.push($('M' + k).value);
  return out;
}

function apply(s) {
  state.exercise = s;
  s.boxes.forEach((b, k) => {
    const input = $('M' + (k + 1));
    if (input.value !== b.text) input.value = b.text;
    input.hidden = !b.visible;
    input.readOnly = !b.editable;
    input.classList.toggle('red', b.red);
  });
  placeBoxes(s.boxes);
  $('overlay').innerHTML = s.overlay;
  const idle = s.mode === 'idle';
  const c = s.controls;
  $('btnRenshu').hidden = !idle;
  $('btnTest').hidden = !idle;
  $('btnTest').disabled = !c.test;
  $('btnFukushu').hidden = !idle;
  $('btnFukushu').disabled = !c.fukushu;
  $('btnRecords').hidden = !idle;
  $('btnEnd').hidden = !idle;
  $('btnSaiten').hidden = idle || !c.saiten;
  $('btnAnswer').hidden = idle || !c.answer;
  $('btnHint').hidden = idle || !c.hint;
  $('btnHint').disabled = !c.hintEnabled;
  $('btnAbort').hidden = idle;
  $('fractionPad').hidden = c.choices;
  $('numberPad').hidden = c.choices;
  $('choicePad').hidden = !c.choices || idle;
  $('score').textContent = s.score === null ? '' : s.score + '点';
  showMessage(idle ? (s.idleMessage.length ? s.idleMessage : []) : s.message);
  if (s.focus >= 1) {
    const input = $('M' + s.focus);
    state.current = s.focus;
    input.focus({ preventScroll: true });
    // Only the sheet scrolls to the box: the buttons and pads stay where they are.
    const sheet = $('sheetScroll');
    const top = input.offsetTop;
    const bottom = top + input.offsetHeight;
    if (top < sheet.scrollTop) sheet.scrollTop = top - 20;
    else if (bottom > sheet.scrollTop + sheet.clientHeight) sheet.scrollTop = bottom - sheet.clientHeight + 20;
    if (s.select) input.select(); else input.setSelectionRange(input.value.length, input.value.length);
  }
  (async () => {
    for (const text of s.notices) await notice(text);
    if (s.allCorrect) await dialog('★★★★★★\n全問正解です\n★★★★★★', [['OK', 'ok']]);
  })();
}

function showMessage(lines) {
  const box = $('messages');
  box.replaceChildren();
  for (const line of lines) {
    const div = document.createElement('div');
    div.textContent = line.text;
    div.style.fontSize = Math.round(line.size * 4 / 3) + 'px';
    div.style.color = line.colour;
    box.appendChild(div);
  }
}

async function act(action, box) {
  const r = await call('POST', '/api/act', { action, texts: texts(), box: box || state.current });
  if (r.status !== 200) { if (r.body.message) notice(r.body.message); return; }
  if (action === 'close') { state.exercise = null; state.unit = null; return showUnits(); }
  apply(r.body);
}

async function enter(i) {
  const input = $('M' + i);
  if (!input || input.hidden || input.readOnly) return;
  if (input.value === '') return;
  if (input.value.trim() === '' && state.exercise.mode !== 'test') {
    input.value = '';
    if (await ask('正解を表示しますか')) return act('answer', i);
    input.focus();
    return;
  }
  return act('enter', i);
}

// ---- the pads ----

function currentInput() {
  const input = $('M' + state.current);
  return input && !input.hidden && !input.readOnly ? input : null;
}

function putInBox(text, andEnter) {
  const input = currentInput();
  if (!input) return;
  input.value = text;
  input.focus({ preventScroll: true });
  if (andEnter) enter(state.current);
}

function appendToBox(text) {
  const input = currentInput();
  if (!input) return;
  const all = input.selectionStart === 0 && input.selectionEnd === input.value.length && input.value.length > 0;
  input.value = all ? text : input.value + text;
  input.focus({ preventScroll: true });
  input.setSelectionRange(input.value.length, input.value.length);
}

function showPad() {
  $('edtSign').textContent = pad.whole;
  $('edtBunshi').textContent = pad.numerator;
  $('edtBunbo').textContent = pad.denominator;
  $('shpBunno').classList.toggle('red', pad.barRed);
}

function clearPad() {
  Object.assign(pad, { whole: '', numerator: '', denominator: '', numeratorState: false, barRed: false });
  showPad();
}

// Denominator, 分の, numerator, as a fraction is read aloud; と makes what was typed the whole part.
function compose() {
  if (pad.numerator === '') return null;
  const answer = (pad.whole === '' ? '' : pad.whole + '&') + pad.numerator + '/' + pad.denominator;
  clearPad();
  return answer;
}

function buildPads() {
  const order = [7, 8, 9, 4, 5, 6, 1, 2, 3, 0];
  for (const d of order) {
    const f = button(String(d), 'key', () => {
      if (pad.numeratorState) pad.numerator += d; else pad.denominator += d;
      showPad();
    });
    f.id = 'f' + d;
    $('fractionKeys').appendChild(f);
    const n = button(String(d), 'key', () => appendToBox(String(d)));
    n.id = 'n' + d;
    $('numberKeys').appendChild(n);
  }
  for (const [id, text] of [['btnMinus', '-'], ['btnDot', '.']]) {
    const b = button(text, 'key', () => appendToBox(text));
    b.id = id;
    $('numberKeys').appendChild(b);
  }
  $('btnBunno').addEventListener('click', () => { pad.barRed = true; pad.numeratorState = true; showPad(); });
  $('btnTo').addEventListener('click', () => { pad.whole = pad.denominator; pad.denominator = ''; pad.numeratorState = false; showPad(); });
  $('btnInsert').addEventListener('click', () => { const a = compose(); putInBox(a === null ? (currentInput() || {}).value || '' : a, false); });
  $('btnInputBun').addEventListener('click', () => { const a = compose(); if (a === null) putInBox((currentInput() || {}).value || '', false); else putInBox(a, true); });
  $('btnClear').addEventListener('click', () => { clearPad(); putInBox('', false); });
  $('btnInputNum').addEventListener('click', () => { const a = compose(); if (a !== null) putInBox(a, true); else enter(state.current); });
  $('btnClear2').addEventListener('click', () => putInBox('', false));
  $('btnNext2').addEventListener('click', () => enter(state.current));
  // A tap on a pad key leaves the focus in the answer box.
  for (const id of ['fractionPad', 'numberPad', 'choicePad']) {
    $(id).addEventListener('pointerdown', (e) => { if (e.target.tagName === 'BUTTON') e.preventDefault(); });
    $(id).addEventListener('mousedown', (e) => { if (e.target.tagName === 'BUTTON') e.preventDefault(); });
  }
}

// ---- the scratch pad: draw with a finger ----

const memo = { erasing: false, down: false, last: null };
function wipeMemo(withUsage) {
  const canvas = $('imgMemo');
  const ratio = window.devicePixelRatio || 1;
  const rect = canvas.getBoundingClientRect();
  canvas.width = Math.max(1, Math.round(rect.width * ratio));
  canvas.height = Math.max(1, Math.round(rect.height * ratio));
  const g = canvas.getContext('2d');
  g.setTransform(ratio, 0, 0, ratio, 0, 0);
  g.fillStyle = '#ffffff';
  g.fillRect(0, 0, rect.width, rect.height);
  g.fillStyle = '#000000';
  g.font = '11px sans-serif';
  g.fillText('    指で線が描けます', 10, 14);
  if (withUsage) {
    g.font = '16px sans-serif';
    g.fillText('描く：指でなぞる', 10, 40);
    g.fillText('消す：［消す］を押してなぞる', 10, 60);
  }
}

function buildMemo() {
  const canvas = $('imgMemo');
  const point = (e) => { const r = canvas.getBoundingClientRect(); return { x: e.clientX - r.left, y: e.clientY - r.top }; };
  const stroke = (from, to) => {
    const g = canvas.getContext('2d');
    g.strokeStyle = memo.erasing ? '#ffffff' : '#ff0000';
    g.lineWidth = memo.erasing ? 10 : 2;
    g.lineCap = 'round';
    g.beginPath(); g.moveTo(from.x, from.y); g.lineTo(to.x, to.y); g.stroke();
  };
  canvas.addEventListener('pointerdown', (e) => { memo.down = true; memo.last = point(e); canvas.setPointerCapture(e.pointerId); e.preventDefault(); });
  canvas.addEventListener('pointermove', (e) => { if (!memo.down) return; const p = point(e); stroke(memo.last, p); memo.last = p; e.preventDefault(); });
  const up = (e) => { if (!memo.down) return; stroke(memo.last, point(e)); memo.down = false; };
  canvas.addEventListener('pointerup', up);
  canvas.addEventListener('pointercancel', () => { memo.down = false; });
  const mode = (erasing) => { memo.erasing = erasing; $('memoDraw').classList.toggle('on', !erasing); $('memoErase').classList.toggle('on', erasing); };
  $('memoDraw').addEventListener('click', () => mode(false));
  $('memoErase').addEventListener('click', () => mode(true));
  $('memoWipe').addEventListener('click', () => wipeMemo(false));
}

// ---- start ----

function start() {
  $('logon').addEventListener('click', logOn);
  $('logonBack').addEventListener('click', () => showLogon());
  for (const id of ['pw', 'pw2']) $(id).addEventListener('keydown', (e) => { if (e.key === 'Enter') { e.preventDefault(); logOn(); } });
  $('logoff').addEventListener('click', async () => { await call('POST', '/api/logoff', {}); showLogon(); });
  $('btnRenshu').addEventListener('click', () => { clearPad(); act('practice'); });
  $('btnTest').addEventListener('click', () => { clearPad(); act('test'); });
  $('btnFukushu').addEventListener('click', () => act('review'));
  $('btnSaiten').addEventListener('click', () => act('score'));
  $('btnAnswer').addEventListener('click', () => act('answer'));
  $('btnHint').addEventListener('click', () => act('hint'));
  $('btnAbort').addEventListener('click', () => act('abort'));
  $('btnEnd').addEventListener('click', () => act('close'));
  $('btnRecords').addEventListener('click', async () => {
    const r = await call('GET', '/api/records');
    if (r.status === 200) notice(r.body.label + '\n\n' + (r.body.lines.length ? r.body.lines.join('\n') : '練習の記録はありません'));
  });
  buildPads();
  buildMemo();
  window.addEventListener('resize', layoutSheet);
  showLogon();
}

document.addEventListener('DOMContentLoaded', start);
