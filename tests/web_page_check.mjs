// Drives the web build in headless Chromium (scripts/test-web.sh runs it):
//   node web_page_check.mjs URL NATIVE_SHOTS_DIR OUT_DIR
// 1. Virtual clock: the page's frames at the given demo times, as PNG data URLs
//    in window.velmoraShots, must equal the native program's --shot frames pixel
//    for pixel (both decoded in the browser, so the comparison is of pixels).
// 2. Real time: the click starts the demo within 2 s of opening the page, frames
//    advance (also after F8), the audio context runs, the demo keeps its 106 s
//    with sound all the way, and the page offers to play again.
// 3. Escape ends the demo; the command line's errors show on the page.
// No errors in the browser's console throughout.
// Prints one line per check; exits 1 on the first failure.
import { chromium } from 'playwright-core';
import fs from 'node:fs';
import path from 'node:path';

const [url, nativeDir, outDir] = process.argv.slice(2);
const shotTimes = [5000, 40000, 63000, 90000];
const launch = {
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync', '--autoplay-policy=user-gesture-required'],
};

function fail(message) {
  console.error(`web: FAIL: ${message}`);
  process.exit(1);
}

// Decodes PNGs (data URLs) in the page and compares their pixels.
async function comparePixels(page, a, b) {
  return page.evaluate(async ([x, y]) => {
    async function pixels(src) {
      const img = new Image();
      img.src = src;
      await img.decode();
      const c = new OffscreenCanvas(img.width, img.height);
      const g = c.getContext('2d');
      g.drawImage(img, 0, 0);
      return { w: img.width, h: img.height, d: g.getImageData(0, 0, img.width, img.height).data };
    }
    const p = await pixels(x), q = await pixels(y);
    if (p.w !== q.w || p.h !== q.h) return `sizes differ: ${p.w}x${p.h} against ${q.w}x${q.h}`;
    let differing = 0;
    for (let i = 0; i < p.d.length; i += 4)
      if (p.d[i] !== q.d[i] || p.d[i + 1] !== q.d[i + 1] || p.d[i + 2] !== q.d[i + 2]) ++differing;
    return differing ? `${differing} of ${p.w * p.h} pixels differ` : '';
  }, [a, b]);
}

const browser = await chromium.launch(launch);
const errors = [];

function watch(page) {
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  page.on('pageerror', (e) => errors.push(String(e)));
}

// The sum of the canvas's pixels: 0 while nothing is drawn, moving while the
// demo runs.
function canvasSum(page) {
  return page.evaluate(() => {
    const c = document.getElementById('canvas');
    const copy = document.createElement('canvas');
    copy.width = c.width;
    copy.height = c.height;
    const g = copy.getContext('2d');
    g.drawImage(c, 0, 0);
    const d = g.getImageData(0, 0, copy.width, copy.height).data;
    let sum = 0;
    for (let i = 0; i < d.length; i += 4) sum += d[i] + d[i + 1] + d[i + 2];
    return sum;
  });
}

// Whether the picture changes over the next three seconds.
async function advances(page) {
  const sums = [await canvasSum(page)];
  for (let i = 0; i < 6; ++i) {
    await page.waitForTimeout(500);
    sums.push(await canvasSum(page));
  }
  return new Set(sums).size >= 3;
}

try {
  // 1. Frames on the virtual clock.
  {
    const page = await browser.newPage({ viewport: { width: 1024, height: 700 } });
    watch(page);
    const shots = shotTimes.map((t) => `--shot+${t}:f${t}`).join('+');
    const started = Date.now();
    await page.goto(`${url}?args=--fps+60+${shots}+--end+${shotTimes[shotTimes.length - 1]}`);
    await page.waitForFunction(() => window.velmoraDone === true, null, { timeout: 240000, polling: 500 });
    const seconds = ((Date.now() - started) / 1000).toFixed(1);
    const status = await page.evaluate(() => window.velmoraExitStatus);
    if (status !== 0) fail(`the virtual-clock run ended with status ${status}: ${await page.textContent('#messages')}`);
    for (const t of shotTimes) {
      const web = await page.evaluate((name) => window.velmoraShots[name], `f${t}`);
      if (!web) fail(`no frame at ${t} ms in window.velmoraShots`);
      fs.writeFileSync(path.join(outDir, `web-${t}.png`), Buffer.from(web.split(',')[1], 'base64'));
      const native = 'data:image/png;base64,' + fs.readFileSync(path.join(nativeDir, `native-${t}.png`)).toString('base64');
      const difference = await comparePixels(page, web, native);
      if (difference) fail(`frame at ${t} ms: ${difference}`);
      console.log(`web: frame at ${t} ms equals the native program's`);
    }
    console.log(`web: virtual-clock run to ${shotTimes[shotTimes.length - 1]} ms took ${seconds} s`);
    await page.close();
  }

  // 2. Real time, after a click: the whole demo.
  {
    const page = await browser.newPage({ viewport: { width: 1024, height: 700 } });
    watch(page);
    const opened = Date.now();
    await page.goto(`${url}?args=--audio-report`);
    await page.waitForFunction(() => document.getElementById('action').textContent === 'Click to start', null,
                               { timeout: 30000 });
    await page.click('#overlay');
    let first = 0;
    for (let i = 0; i < 200 && !(first = await canvasSum(page)); ++i) await page.waitForTimeout(25);
    const toFirst = (Date.now() - opened) / 1000;
    if (!first) fail('nothing drawn within 5 s of the click');
    if (toFirst > 2) fail(`the first frame came ${toFirst.toFixed(2)} s after the page was opened (at most 2 s)`);
    console.log(`web: first frame ${toFirst.toFixed(2)} s after the page was opened`);
    if (!(await advances(page))) fail('frames do not advance');
    const audio = await page.evaluate(() => {
      const ctx = (window.Module.SDL2 && window.Module.SDL2.audioContext) || null;
      return ctx ? `${ctx.state} at ${ctx.sampleRate} Hz` : 'none';
    });
    if (!audio.startsWith('running')) fail(`the audio context is ${audio}`);
    console.log(`web: frames advance; audio context ${audio}`);
    await page.screenshot({ path: path.join(outDir, 'page.png') });
    await page.keyboard.press('F8');
    if (!(await advances(page))) fail('frames do not advance after F8');
    console.log('web: F8 re-creates the display and the demo goes on');
    await page.waitForFunction(() => window.velmoraDone === true, null, { timeout: 150000, polling: 100 });
    const run = await page.evaluate(() => ({
      status: window.velmoraExitStatus,
      seconds: (window.velmoraEndedAt - window.velmoraShownAt) / 1000,
      messages: document.getElementById('messages').textContent,
      offer: document.getElementById('action').textContent,
    }));
    if (run.status !== 0) fail(`the real-time run ended with status ${run.status}: ${run.messages}`);
    if (Math.abs(run.seconds - 106) > 0.5) fail(`the demo took ${run.seconds.toFixed(2)} s (106 +- 0.5)`);
    const report = /audio: (\d+) callbacks, worst ([\d.]+) ms for a ([\d.]+) ms buffer/.exec(run.messages);
    if (!report) fail(`no audio report: ${run.messages}`);
    const played = (Number(report[1]) * Number(report[3])) / 1000;
    if (Math.abs(played - run.seconds) > 1) fail(`sound for ${played.toFixed(2)} s in ${run.seconds.toFixed(2)} s`);
    if (run.offer !== 'Play again') fail(`at the end the page offers '${run.offer}'`);
    console.log(`web: the demo took ${run.seconds.toFixed(2)} s of wall time, sound ${played.toFixed(2)} s ` +
                `(${report[1]} buffers, worst callback ${report[2]} ms); the page offers to play again`);
    await page.close();
  }

  // 3. Escape ends at once; the command line's errors show on the page.
  {
    const page = await browser.newPage({ viewport: { width: 800, height: 600 } });
    watch(page);
    await page.goto(url);
    await page.waitForFunction(() => document.getElementById('action').textContent === 'Click to start');
    await page.click('#overlay');
    await page.waitForTimeout(1500);
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => window.velmoraDone === true, null, { timeout: 5000 });
    console.log('web: Escape ends the demo');
    for (const [args, expected] of [['--fps+60+--bogus', 'unknown option --bogus'],
                                    ['--fps+60+--record+x.mkv', '--record is not available in a web page']]) {
      await page.goto(`${url}?args=${args}`);
      await page.waitForFunction(() => window.velmoraDone === true, null, { timeout: 30000 });
      const said = await page.evaluate(() => [window.velmoraExitStatus, document.getElementById('messages').textContent]);
      if (said[0] !== 2 || !said[1].includes(expected)) fail(`?args=${args}: status ${said[0]}, page says '${said[1]}'`);
    }
    console.log('web: the command line\'s errors show on the page');
    await page.close();
  }
  if (errors.length) fail(`errors in the console:\n  ${errors.join('\n  ')}`);
  console.log('web: no errors in the console');
} finally {
  await browser.close();
}
