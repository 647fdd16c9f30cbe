// The web page end to end, in Debian's headless Chromium with software
// WebGL (SwiftShader), driven through playwright-core:
//
//   node tests/web/page_test.js BUILD_WEB_DIR NATIVE_SWAPS_DIR WORK_DIR
//
// NATIVE_SWAPS_DIR holds the native game's first buffer swaps (swapN.ppm).
//
// 1. The first frame is the native game's first frame (real pixels: a blank
//    or missing picture fails).
// 2. A flight of more than 660 frames, ended with Escape, is kept; the
//    browser is killed the moment the page says so, and a new browser on
//    the same profile has it.
// 3. A flight file dropped on the page takes the next number.
// 4. A second flight, steered with the keyboard, is kept; the next start
//    ("fly again", no reload) flies the first flight as a ghost straight
//    ahead in the tint of entry 1, and the dropped one in that of entry 2.
// 5. Damaged files in the browser's storage do not stop the page.
// 6. Two tabs adding flights at the same moment never claim one number.
//
// The script waits for frames the page has presented, never for a number
// of seconds; the time limits only stop a hung page.
'use strict';
const { chromium } = require('playwright-core');
const { spawn } = require('child_process');
const fs = require('fs');
const http = require('http');
const path = require('path');

const [buildDir, nativeSwaps, work] = process.argv.slice(2);
const HANG_MS = 20 * 60 * 1000;
const SAVED_FRAMES = 700;  // more than 660, as the desktop tests fly
const SHOT_AT_FRAME = 188;
const profile = path.join(work, 'profile');
const shots = process.env.VANTALOOP_WEB_SHOTS || work;

// The browser the test runs now: it runs in a process group of its own,
// which the test ends however it ends.
let running = null;
function fail(text) {
  console.error('FAIL: ' + text);
  if (running) kill(running);
  process.exit(1);
}

// The folder served as a static host serves it: plain files, no special headers.
function serve(dir) {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
  const server = http.createServer((req, res) => {
    const file = path.join(dir, path.normalize(decodeURIComponent(req.url.split('?')[0])).replace(/^(\.\.[/\\])+/, ''));
    fs.readFile(file, (err, data) => {
      if (err) { res.writeHead(404); return res.end(); }
      res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
      res.end(data);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// A browser of its own on the profile, which the test may kill outright.
async function startBrowser() {
  const child = spawn('/usr/bin/chromium', ['--headless', '--no-sandbox', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--no-first-run', '--use-angle=swiftshader',
    '--enable-unsafe-swiftshader', '--remote-debugging-port=0', `--user-data-dir=${profile}`, 'about:blank'],
  { detached: true, stdio: ['ignore', 'ignore', 'pipe'] });
  const ws = await new Promise((resolve, reject) => {
    let text = '';
    child.stderr.on('data', (d) => {
      text += d;
      const m = /DevTools listening on (ws:\S+)/.exec(text);
      if (m) resolve(m[1]);
    });
    child.on('exit', () => reject(new Error('chromium ended: ' + text)));
  });
  const browser = await chromium.connectOverCDP(ws);
  const context = browser.contexts()[0];
  running = { child, browser, context };
  return running;
}
function kill(b) {
  try { process.kill(-b.child.pid, 'SIGKILL'); } catch (e) { /* gone already */ }
}

async function open(b, url) {
  const page = await b.context.newPage();
  page.on('pageerror', (e) => console.log('page error: ' + e.message));
  page.on('console', (m) => { if (m.type() === 'error') console.log('console: ' + m.text()); });
  await page.goto(url);
  return page;
}
const until = (page, fn, arg) => page.waitForFunction(fn, arg, { timeout: HANG_MS, polling: 100 });
const waitFrames = (page, n) => until(page, (n) => window.vantaloop.frames() >= n, n);
const waitRunning = (page) => until(page, () => window.vantaloop.state === 'running' && window.vantaloop.frames() > 0);
// The game held at frame n: its picture then, as rows of RGB from the top.
async function pictureAt(page, n) {
  await page.evaluate((n) => { window.vantaloop.holdAt = n; }, n);
  await until(page, (n) => window.vantaloop.grab && window.vantaloop.grab.frame === n, n);
  const grab = await page.evaluate(() => window.vantaloop.grab);
  return { width: grab.width, height: grab.height, rgb: Buffer.from(grab.rgb, 'base64') };
}
const release = (page) => page.evaluate(() => { window.vantaloop.holdAt = 0; });

function readPpm(file) {
  const data = fs.readFileSync(file);
  const m = /^P6\s+(\d+)\s+(\d+)\s+255\s/.exec(data.toString('latin1', 0, 50));
  if (!m) fail(`${file} is no PPM picture`);
  return { width: +m[1], height: +m[2], rgb: data.subarray(m[0].length) };
}
function writePpm(file, pic) {
  fs.writeFileSync(file, Buffer.concat([Buffer.from(`P6\n${pic.width} ${pic.height}\n255\n`), pic.rgb]));
}

// How many pixels of the 60 x 40 middle of the picture (moved `dx` pixels
// to the right) have the colour of one of the ghost's faces in the tint of
// ghost table entry `entry`, within 2 levels per channel (as the desktop's
// recordings test counts them).
function ghostPixels(pic, entry, dx = 0) {
  const palette = [0.15840, 0.34867, 0.42920, 0.29467, 0.46222, 0.49733, 0.24600, 0.42167, 0.47300,
    0.58666, 0.70555, 0.64333, 0.18760, 0.37300, 0.44380, 0.39200, 0.54333, 0.54600];
  const soften = (c) => c + (0.7 - c) * 0.6;
  const tint = [soften((Math.cos(1.21 * entry) + 1) * 0.5), soften((Math.cos(0.31 * entry) + 1) * 0.5 * 0.7),
    soften((Math.sin(7.61 * entry) + 1) * 0.5)];
  const boxes = [[0, 0, 0, 1.3, 0.9, 2.0], [0, -0.4, 1.0, 0.8, 0.5, 4.5], [0, 0, -2.0, 2.0, 1.5, 3.0],
    [0, 0, -3.0, 1.5, 1.0, 3.0], [3.0, 0, -2.0, 4.0, 0.3, 2.0], [2.0, 0.3, -2.0, 2.0, 0.3, 2.0],
    [-3.0, 0, -2.0, 4.0, 0.3, 2.0], [-2.0, 0.3, -2.0, 2.0, 0.3, 2.0], [-0.5, 1.0, -4.0, 0.2, 1.0, 1.5],
    [0.5, 1.0, -4.0, 0.2, 1.0, 1.5]];
  const want = [];
  for (const b of boxes) {
    for (let f = 0; f < 6; f++) {
      want.push([0, 1, 2].map((c) => Math.floor((palette[f * 3 + c] + 0.01 * (b[c] - b[c + 3] / 2)) * tint[c] * 255 + 0.5)));
    }
  }
  const x0 = Math.floor(pic.width / 2) - 30 + dx, y0 = Math.floor(pic.height / 2) - 20;
  let hits = 0;
  for (let y = y0; y < y0 + 40; y++) {
    for (let x = x0; x < x0 + 60; x++) {
      const i = (y * pic.width + x) * 3;
      if (want.some((w) => w.every((v, c) => Math.abs(pic.rgb[i + c] - v) <= 2))) hits++;
    }
  }
  return hits;
}

// Flies until the flight is long enough to be kept, then ends it with
// Escape; resolves with what the page said about it.
async function flyAndKeep(page, steer) {
  await page.locator('#canvas').click();
  if (steer) {
    await waitFrames(page, SHOT_AT_FRAME + 10);
    await page.keyboard.down('ArrowLeft');
    const at = await page.evaluate(() => window.vantaloop.frames());
    await waitFrames(page, at + 30);
    await page.keyboard.up('ArrowLeft');
  }
  await waitFrames(page, SAVED_FRAMES);
  const said = await page.evaluate(() => window.vantaloop.messages.length);
  await page.keyboard.press('Escape');
  await until(page, (n) => window.vantaloop.messages.slice(n).some((m) => / is kept\.$|not kept|could not/.test(m)), said);
  return page.evaluate((n) => window.vantaloop.messages.slice(n).join('\n'), said);
}

const fileFrames = (bytes) => Buffer.from(bytes).readUInt32LE(0);

(async () => {
  fs.rmSync(profile, { recursive: true, force: true });
  fs.mkdirSync(shots, { recursive: true });
  const server = await serve(buildDir);
  const base = `http://127.0.0.1:${server.address().port}/vantaloop.html?frames`;
  const timer = setTimeout(() => fail('the page hung'), HANG_MS);

  // 1. The first frame.
  console.log('1. the first frame');
  let b = await startBrowser();
  let page = await open(b, base + '&hold=1');
  await waitRunning(page);
  const first = await pictureAt(page, 1);
  if (process.env.VANTALOOP_WEB_SHOTS) writePpm(path.join(shots, 'web_first_frame.ppm'), first);
  const colourCount = (pic) => {
    const colours = new Set();
    for (let i = 0; i < pic.rgb.length; i += 3) colours.add(pic.rgb.readUIntBE(i, 3));
    return colours.size;
  };
  // The native window may be presented once or twice before its first
  // frame (a window shown is painted): the first frame is the native swap
  // most like the page's.
  const natives = fs.readdirSync(nativeSwaps).filter((n) => /^swap\d+\.ppm$/.test(n)).sort()
    .map((n) => readPpm(path.join(nativeSwaps, n)));
  let share = 0;
  for (const native of natives) {
    if (first.width !== native.width || first.height !== native.height) {
      fail(`the page's picture is ${first.width} x ${first.height}, the native one ${native.width} x ${native.height}`);
    }
    let same = 0;
    for (let i = 0; i < first.rgb.length; i += 3) {
      if (first.rgb[i] === native.rgb[i] && first.rgb[i + 1] === native.rgb[i + 1] && first.rgb[i + 2] === native.rgb[i + 2]) same++;
    }
    share = Math.max(share, same / (first.rgb.length / 3));
  }
  const colours = colourCount(first);
  console.log(`first frame: ${(share * 100).toFixed(2)} % of the pixels as in the native frame, ${colours} colours`);
  if (colours < 20) fail(`the page's first frame has ${colours} colours: nothing was drawn`);
  if (share < 0.985) fail('the first frame is not the native one');

  console.log('2. a flight kept across a killed browser');
  // 2. A flight kept, the browser killed right after the page says so.
  await release(page);
  const said = await flyAndKeep(page, false);
  kill(b);
  console.log('first flight: ' + said);
  if (!/rec0000\.bin .* is kept\./.test(said)) fail('the first flight was not kept');
  b = await startBrowser();
  page = await open(b, base);
  await waitRunning(page);
  const kept = await page.evaluate(() => window.vantaloop.game.flightFiles());
  if (kept.join() !== 'rec0000.bin') fail(`after the kill the page has the flights '${kept}'`);
  const firstBytes = await page.evaluate(() => Array.from(window.vantaloop.game.FS.readFile('/data/recordings/rec0000.bin')));
  if (fileFrames(firstBytes) < SAVED_FRAMES - 61) fail(`rec0000.bin holds ${fileFrames(firstBytes)} frames`);

  console.log('3. a flight file dropped on the page');
  // 3. A flight file dropped on the page: the first flight moved 3 units to
  //    the side (+x is to the left), so its ghost flies beside the first
  //    one's, some 47 pixels to the left of it at the frame looked at.
  const moved = Buffer.from(firstBytes);
  for (let f = 0; f < fileFrames(moved); f++) moved.writeFloatLE(moved.readFloatLE(4 + f * 76) + 3, 4 + f * 76);
  await page.evaluate(async (bytes) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([new Uint8Array(bytes)], 'beside.bin'));
    document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, Array.from(moved));
  await until(page, () => window.vantaloop.messages.some((m) => /^beside\.bin /.test(m)));
  const dropped = await page.evaluate(() => window.vantaloop.messages.find((m) => /^beside\.bin /.test(m)));
  console.log('dropped: ' + dropped);
  if (!/kept as flight 1;/.test(dropped)) fail('the dropped flight did not take number 1');

  console.log('4. a second flight, then the ghosts');
  // 4. A second flight, steered: no ghost yet in front of the camera.
  const second = await pictureAt(page, SHOT_AT_FRAME);
  await release(page);
  const said2 = await flyAndKeep(page, true);
  console.log('second flight: ' + said2);
  if (!/rec0002\.bin .* is kept\./.test(said2)) fail('the second flight was not kept as rec0002.bin');
  const secondBytes = await page.evaluate(() => Array.from(window.vantaloop.game.FS.readFile('/data/recordings/rec0002.bin')));
  const x = (bytes, f) => Buffer.from(bytes).readFloatLE(4 + f * 76);
  if (Math.abs(x(secondBytes, 500) - x(firstBytes, 500)) < 1) fail('the arrow key did not steer the second flight');
  await until(page, () => window.vantaloop.state === 'ended');
  await page.click('#again');
  await until(page, () => window.vantaloop.state === 'running');
  const third = await pictureAt(page, SHOT_AT_FRAME);
  if (process.env.VANTALOOP_WEB_SHOTS) writePpm(path.join(shots, 'web_ghosts.ppm'), third);
  const counts = { without: ghostPixels(second, 1), first: ghostPixels(third, 1), dropped: ghostPixels(third, 2, -47) };
  console.log(`ghost-coloured pixels near the middle: ${JSON.stringify(counts)}`);
  if (counts.first < 20 || counts.dropped < 20) {
    console.log(await page.evaluate(() => {
      const FS = window.vantaloop.game.FS;
      return `log.txt:\n${FS.readFile('/data/log.txt', { encoding: 'utf8' })}mem.txt: ${FS.readFile('/data/mem.txt', { encoding: 'utf8' })}` +
        `flights: ${window.vantaloop.game.flightFiles()}`;
    }));
  }
  if (counts.without > 5) fail('ghost-coloured pixels in a picture without ghosts');
  if (counts.first < 20) fail('the first flight does not fly as a ghost in the tint of entry 1');
  if (counts.dropped < 20) fail('the dropped flight does not fly as a ghost in the tint of entry 2');

  console.log('5. damaged files in the storage');
  // 5. Damaged files in the storage: a file without contents, a flight
  //    shorter than its count, a mem.txt that holds no number.
  await page.evaluate(() => new Promise((resolve, reject) => {
    const req = indexedDB.open('/data');
    req.onsuccess = () => {
      const tx = req.result.transaction(['FILE_DATA'], 'readwrite');
      const store = tx.objectStore('FILE_DATA');
      const when = new Date(Date.now() + 60000);
      store.put({ timestamp: when, mode: 33206 }, '/data/recordings/rec0001.bin');
      store.put({ timestamp: when, mode: 33206, contents: new Uint8Array([200, 0, 0, 0, 1, 2, 3]) }, '/data/recordings/rec0000.bin');
      store.put({ timestamp: when, mode: 33206, contents: new TextEncoder().encode('no number') }, '/data/mem.txt');
      store.put({ timestamp: 'yesterday', contents: 7 }, '/data/recordings/rec0009.bin');
      tx.oncomplete = resolve;
      tx.onerror = () => reject(tx.error);
    };
  }));
  await page.reload();
  await waitRunning(page);
  const at = await page.evaluate(() => window.vantaloop.frames());
  await waitFrames(page, at + 30);
  console.log('with damaged files: ' + (await page.evaluate(() => window.vantaloop.messages.join(' | '))));

  // 6. Two tabs adding flights at once take turns: every flight is kept,
  //    each under a number of its own.
  console.log('6. two tabs at once');
  const tabs = [page, await open(b, base)];
  await waitRunning(tabs[1]);
  const before = (await page.evaluate(() => window.vantaloop.game.flightFiles())).length;
  const numbers = (await Promise.all(tabs.map((tab) => tab.evaluate((bytes) => Promise.all([1, 2, 3].map(() =>
    window.vantaloop.game.addFlightFile(new Uint8Array(bytes)))), Array.from(moved))))).flat();
  await tabs[1].reload();
  await waitRunning(tabs[1]);
  const after = await tabs[1].evaluate(() => window.vantaloop.game.flightFiles());
  console.log(`numbers taken by the two tabs: ${numbers.join(', ')}; flights now: ${after.length}`);
  if (new Set(numbers).size !== 6 || after.length !== before + 6) fail('two tabs claimed one number or lost a flight');

  clearTimeout(timer);
  kill(b);
  server.close();
  console.log('PASS: the web page draws the native picture, keeps flights across a killed browser, ' +
    'adds dropped flights and flies them all as ghosts');
  process.exit(0);
})().catch((e) => fail(e.stack || String(e)));
