// The virtual receiver's page end to end: build/receiver --serve on loopback, Debian's Chromium
// driven by playwright-core, a person's steps on the page. One part a run (a ctest test each):
//   page          the page opens and shows the screen; every key of the key table is on the
//                 remote; GUIDE clicked shows the guide's titles (screen texts, and the canvas is
//                 the server's picture to the pixel, saved as a screenshot); a held key repeats;
//                 the clock pauses, runs x60 and jumps; the CSV export made from the settings
//                 menu downloads; power cycle restarts the plug-in
//   record_timer  RECORD pressed on the keyboard in the guide: the timer shows in the timer panel
//   command_file  a command file dropped into the plug-in's folder and a power cycle: its timer
//                 shows in the timer panel
// Without Chromium or playwright-core a part exits with 77 (skipped) and says what is missing;
// on CI (CI=true), where `make test` installs them, that is a failure.
//
// Environment: DIRO_RECEIVER_BIN (the program), DIRO_BROWSER_MODULES (the folder holding
// node_modules/playwright-core), DIRO_BROWSER_OUT (screenshots and downloads).
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';

const SKIP = 77;
const CHROMIUM = '/usr/bin/chromium';
const CLOCK = '2026-12-07 20:00';
const part = process.argv[2] || 'page';
const receiverBin = process.env.DIRO_RECEIVER_BIN;
const outDir = process.env.DIRO_BROWSER_OUT || path.join(os.tmpdir(), 'diro-browser-out');

// What this test needs; on CI `make test` installs it, so a gap there is a failure.
function need(ok, what) {
  if (ok) return;
  if (process.env.CI === 'true') {
    console.log(`FAILED ${part}: ${what} is missing (make test installs it)`);
    process.exit(1);
  }
  console.log(`SKIPPED ${part}: ${what} is missing (make test installs it)`);
  process.exit(SKIP);
}
need(receiverBin && fs.existsSync(receiverBin), 'the receiver program (DIRO_RECEIVER_BIN)');
need(fs.existsSync(CHROMIUM), "Debian's chromium");
let chromium;
try {
  const require = createRequire(path.join(process.env.DIRO_BROWSER_MODULES || '.', 'package.json'));
  ({ chromium } = require('playwright-core'));
} catch {
  need(false, 'playwright-core in DIRO_BROWSER_MODULES');
}

const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'diro-browser-'));
fs.mkdirSync(outDir, { recursive: true });
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// Waits until fn() gives a truthy value (returned), or fails naming what was awaited.
async function until(what, fn, timeoutMs = 10000) {
  const end = Date.now() + timeoutMs;
  let last;
  while (Date.now() < end) {
    last = await fn();
    if (last) return last;
    await sleep(100);
  }
  return null;
}
async function mustSee(what, fn, timeoutMs) {
  const v = await until(what, fn, timeoutMs);
  assert.ok(v, `waited in vain for ${what}`);
  return v;
}

// --- The receiver program, serving on a free loopback port ---
function startReceiver() {
  const disk = path.join(tmp, 'disk');
  const child = spawn(receiverBin, ['--serve', '0', '--disk', disk, '--clock', CLOCK], { stdio: ['ignore', 'pipe', 'pipe'] });
  let errText = '';
  child.stderr.on('data', (d) => { errText += d; });
  const url = new Promise((resolve, reject) => {
    let outText = '';
    child.stdout.on('data', (d) => {
      outText += d;
      const m = outText.match(/^(http:\/\/127\.0\.0\.1:\d+\/)$/m);
      if (m) resolve(m[1]);
    });
    child.on('exit', (code) => reject(new Error(`the receiver ended (${code}): ${errText}`)));
  });
  return { child, url, disk, log: () => errText };
}

async function stopReceiver(rx) {
  if (rx.child.exitCode !== null) return rx.child.exitCode;
  const ended = new Promise((r) => rx.child.on('exit', (code) => r(code)));
  rx.child.kill('SIGINT');
  return ended;
}

// --- Steps ---
let base;
async function api(p) {
  const r = await fetch(base + p);
  assert.equal(r.status, 200, `GET ${p}: ${r.status}`);
  return r.json();
}
const state = () => api('api/state');
const screenTexts = async () => (await api('api/screen')).texts.map((t) => t.text);

// The titles the receiver broadcasts on TV channel 1 from the test's clock on, as the receiver
// program's own script dumps them.
function broadcastTitles(count) {
  const r = spawnSync(receiverBin, ['--disk', path.join(tmp, 'dump-disk'), '--clock', CLOCK, '--script', '-'],
    { input: 'dump guide tv:0 -\n', encoding: 'utf8' });
  assert.equal(r.status, 0, r.stderr);
  return r.stdout.trim().split('\n').map((l) => l.split('|'))
    .filter((f) => f[3] > CLOCK).slice(0, count).map((f) => f[4]);
}

async function openPage(context) {
  const page = await context.newPage();
  const problems = [];
  page.on('pageerror', (e) => problems.push(e.message));
  await page.goto(base);
  await mustSee('the page to connect', () => page.locator('#connection.online').count());
  await mustSee('the first picture', () => page.evaluate(() => window.rxFrameVersion > 0));
  page.problems = problems;
  return page;
}

async function pauseClock(page) {
  await page.click('[data-clock="pause"]');
  await mustSee('the paused clock', async () => (await state()).clockMode === 'pause');
}

async function openGuide(page) {
  await page.click('#remote [data-key="GUIDE"]');
  const titles = broadcastTitles(5);
  await mustSee(`the guide's titles ${titles.join(', ')}`, async () => {
    const texts = await screenTexts();
    return titles.every((t) => texts.some((s) => s.includes(t)));
  });
  return titles;
}

// The canvas shows the server's picture to the pixel (the clock is paused, so it settles).
async function canvasIsTheScreen(page) {
  return until('the canvas to show the server picture', () => page.evaluate(async () => {
    const bitmap = await createImageBitmap(await (await fetch('/api/screen.png')).blob());
    const c = new OffscreenCanvas(720, 576);
    const cx = c.getContext('2d');
    cx.drawImage(bitmap, 0, 0);
    const want = cx.getImageData(0, 0, 720, 576).data;
    const have = document.getElementById('screen').getContext('2d').getImageData(0, 0, 720, 576).data;
    for (let i = 0; i < want.length; i++) if (want[i] !== have[i]) return false;
    return true;
  }), 5000);
}

async function keysPressed() { return (await state()).keys.count; }

async function partPage(page) {
  // Every key of the key table is on the remote, and nothing else.
  const { keys } = await api('api/keys');
  const onRemote = await page.$$eval('#remote [data-key]', (bs) => bs.map((b) => b.dataset.key));
  assert.deepEqual([...onRemote].sort(), [...keys].sort());

  await pauseClock(page);
  const titles = await openGuide(page);
  assert.ok(await canvasIsTheScreen(page), 'the canvas differs from the server picture');
  await page.screenshot({ path: path.join(outDir, 'page-guide.png'), fullPage: true });
  console.log(`ok - GUIDE shows ${titles.join(', ')}; screenshot ${path.join(outDir, 'page-guide.png')}`);

  // A key tapped presses once; held for a second it repeats after half a second, every 150 ms.
  let before = await keysPressed();
  await page.keyboard.press('ArrowDown');
  await mustSee('one press of DOWN', async () => (await keysPressed()) === before + 1);
  await sleep(300);
  assert.equal(await keysPressed(), before + 1, 'a tapped key pressed more than once');
  before = await keysPressed();
  await page.keyboard.down('ArrowUp');
  await sleep(1000);
  await page.keyboard.up('ArrowUp');
  await sleep(300);
  const held = (await keysPressed()) - before;
  assert.ok(held >= 4 && held <= 7, `UP held for a second pressed ${held} times`);
  console.log(`ok - a tapped key pressed once, a key held for a second ${held} times`);

  // The clock: paused it stands, x60 runs a minute a second, "jump to" sets it.
  const still = (await state()).clock;
  await sleep(1100);
  assert.equal((await state()).clock, still, 'the paused clock moved');
  await page.click('[data-clock="x60"]');
  await sleep(1500);
  const fast = (await state()).clock;
  assert.ok(fast >= '2026-12-07 20:01', `x60 for 1.5 s reached only ${fast}`);
  await page.click('[data-clock="pause"]');
  await page.fill('#jump-to', '2026-12-07T22:30');
  await page.click('#jump button[type="submit"]');
  await mustSee('the clock at 22:30', async () => (await state()).clock.startsWith('2026-12-07 22:30'));
  console.log('ok - the clock paused, x60, jumped to 22:30');

  // The CSV export made with the settings menu's row 55, downloaded from the folder panel.
  await page.keyboard.press('m');
  for (let i = 0; i < 5; i++) await page.keyboard.press('PageDown');
  for (let i = 0; i < 4; i++) await page.keyboard.press('ArrowDown');
  await mustSee('row 55 of the settings menu', async () => (await screenTexts()).some((t) => t.includes('Create CSV/HTML Export File now')));
  await page.keyboard.press('1');
  const link = page.locator('#files a', { hasText: 'Diro_ROD.Export.CSV' });
  await mustSee('the CSV export in the folder panel', () => link.count(), 20000);
  const [download] = await Promise.all([page.waitForEvent('download'), link.click()]);
  assert.equal(download.suggestedFilename(), 'Diro_ROD.Export.CSV');
  const saved = path.join(outDir, 'Diro_ROD.Export.CSV');
  await download.saveAs(saved);
  const csv = fs.readFileSync(saved, 'latin1');
  assert.ok(csv.includes(`|${titles[0]}|`), `the CSV export lacks ${titles[0]}`);
  assert.equal(csv, fs.readFileSync(path.join(rx.disk, 'Diro_ROD.Export.CSV'), 'latin1'));
  console.log(`ok - the CSV export downloaded (${csv.length} bytes)`);

  // Power cycle: the plug-in is loaded afresh (its guide closed), the disk kept.
  await page.keyboard.press('Escape');
  await page.keyboard.press('g');
  await mustSee('the guide again', async () => (await screenTexts()).some((t) => t.includes('Das Erste HD')));
  await page.click('#power-cycle');
  await mustSee('the plug-in restarted without its guide', async () => {
    const s = await state();
    return s.plugin && !(await screenTexts()).some((t) => t.includes('1. Das Erste HD'));
  });
  assert.ok(fs.existsSync(path.join(rx.disk, 'Diro_ROD.Export.CSV')));
  console.log('ok - power cycle');
}

async function partRecordTimer(page) {
  await pauseClock(page);
  const titles = await openGuide(page);
  // The next event (the running one has begun: RECORD there opens the timer editor instead).
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('r');
  await mustSee('RECORD to reach the receiver', async () => (await state()).keys.last === 'RECORD');
  const timers = await until('a timer in the firmware', async () => {
    const s = await state();
    return s.timers.length ? s.timers : null;
  }, 10000);
  assert.ok(timers, 'RECORD in the guide set no timer');
  const row = page.locator('#timers tbody tr', { hasText: timers[0].name });
  await mustSee(`the timer "${timers[0].name}" in the timer panel`, () => row.count());
  assert.ok(timers[0].name.startsWith(titles[1].slice(0, 10)),
    `the timer ${JSON.stringify(timers[0])} is not for the selected event ${titles[1]}`);
  await page.screenshot({ path: path.join(outDir, 'page-timer.png'), fullPage: true });
  console.log(`ok - RECORD set ${JSON.stringify(timers[0])}, shown in the timer panel`);
}

async function partCommandFile(page) {
  await pauseClock(page);
  const line = 'Command.AddTimer:0003,2026-12-08,21:00,01:00,TV,OT,Rec;Browser test\r\n';
  const file = path.join(tmp, 'my commands.txt');
  fs.writeFileSync(file, line, 'latin1');
  await page.selectOption('#drop-as', 'command');
  await page.setInputFiles('#drop-file', file);
  await mustSee('the upload to be stored', async () => (await page.textContent('#drop-result')).includes('Diro_ROD.Command.ini'));
  await mustSee('the command file in the folder panel', () => page.locator('#files a', { hasText: 'Diro_ROD.Command.ini' }).count());
  assert.equal(fs.readFileSync(path.join(rx.disk, 'Diro_ROD.Command.ini'), 'latin1'), line);

  // The plug-in reads the command file at its start, and deletes it.
  await page.click('#power-cycle');
  const read = await until('the command file to be read', async () =>
    !(await state()).files.some((f) => f.name === 'Diro_ROD.Command.ini'), 10000);
  assert.ok(read, 'the plug-in did not read (and delete) the command file after the power cycle');
  const timer = await until('the command file\'s timer', async () =>
    (await state()).timers.find((t) => t.name.includes('Browser test')), 15000);
  assert.ok(timer, 'the command file was read but set no timer');
  await mustSee('the timer in the timer panel', () => page.locator('#timers tbody tr', { hasText: 'Browser test' }).count());
  assert.equal(timer.channel, 2);
  assert.equal(timer.start, '2026-12-08 21:00');
  console.log(`ok - the command file's timer ${JSON.stringify(timer)} shown in the timer panel`);
}

// --- Run ---
const rx = startReceiver();
let context;
let code = 0;
try {
  base = await rx.url;
  context = await chromium.launchPersistentContext(path.join(tmp, 'profile'), {
    executablePath: CHROMIUM,
    headless: true,
    acceptDownloads: true,
    viewport: { width: 1400, height: 1000 },
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const page = await openPage(context);
  const parts = { page: partPage, record_timer: partRecordTimer, command_file: partCommandFile };
  assert.ok(parts[part], `no part ${part}`);
  await parts[part](page);
  assert.deepEqual(page.problems, [], 'errors in the page\'s script');
  console.log(`PASSED ${part}`);
} catch (err) {
  console.log(`FAILED ${part}: ${err.stack || err}`);
  console.log(`the receiver said:\n${rx.log()}`);
  code = 1;
} finally {
  if (context) await context.close();
  const exit = await stopReceiver(rx);
  if (code !== 1 && exit !== 0) {
    console.log(`FAILED ${part}: the receiver ended with ${exit} on Ctrl-C`);
    code = 1;
  }
  fs.rmSync(tmp, { recursive: true, force: true });
}
process.exit(code);
