// Drives the web build in headless Chromium (scripts/test-web.sh runs it):
//   node web_page_check.mjs URL NATIVE_SHOTS_DIR OUT_DIR
// 1. Virtual clock: the page's frames at the given demo times, as PNG data URLs
//    in window.velmoraShots, must equal the native program's --shot frames pixel
//    for pixel (both decoded in the browser, so the comparison is of pixels).
// 2. Real time: the click starts the demo, frames advance, the audio context
//    runs, and the console shows no errors.
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
try {
  // 1. Frames on the virtual clock.
  {
    const page = await browser.newPage({ viewport: { width: 1024, height: 700 } });
    page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
    page.on('pageerror', (e) => errors.push(String(e)));
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

  // 2. Real time, after a click.
  {
    const page = await browser.newPage({ viewport: { width: 1024, height: 700 } });
    page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
    page.on('pageerror', (e) => errors.push(String(e)));
    const started = Date.now();
    await page.goto(url);
    await page.waitForFunction(() => document.getElementById('action').textContent === 'Click to start', null,
                               { timeout: 30000 });
    await page.click('#overlay');
    // The first frame drawn: the canvas is no longer all black.
    const lit = () => page.evaluate(() => {
      const c = document.getElementById('canvas');
      const g = document.createElement('canvas');
      g.width = c.width;
      g.height = c.height;
      const x = g.getContext('2d');
      x.drawImage(c, 0, 0);
      const d = x.getImageData(0, 0, g.width, g.height).data;
      let sum = 0;
      for (let i = 0; i < d.length; i += 4) sum += d[i] + d[i + 1] + d[i + 2];
      return sum;
    });
    await page.waitForFunction(() => {
      const c = document.getElementById('canvas');
      return c.width > 0;
    });
    let first = 0;
    for (let i = 0; i < 100 && !(first = await lit()); ++i) await page.waitForTimeout(50);
    if (!first) fail('nothing drawn within 5 s of the click');
    console.log(`web: first frame ${((Date.now() - started) / 1000).toFixed(2)} s after the page was opened`);
    const sums = [first];
    for (let i = 0; i < 6; ++i) {
      await page.waitForTimeout(1000);
      sums.push(await lit());
    }
    if (new Set(sums).size < 3) fail(`frames do not advance: ${sums.join(', ')}`);
    console.log(`web: frames advance (picture sums ${sums.join(', ')})`);
    const audio = await page.evaluate(() => {
      const m = window.Module;
      const ctx = (m.SDL2 && m.SDL2.audioContext) || null;
      return ctx ? `${ctx.state} at ${ctx.sampleRate} Hz` : 'none';
    });
    if (!audio.startsWith('running')) fail(`the audio context is ${audio}`);
    console.log(`web: audio context ${audio}`);
    await page.screenshot({ path: path.join(outDir, 'page.png') });
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => window.velmoraDone === true, null, { timeout: 10000 });
    const again = await page.textContent('#action');
    if (again !== 'Play again') fail(`after Escape the page offers '${again}'`);
    console.log('web: Escape ends the demo and the page offers to play again');
    await page.close();
  }
  if (errors.length) fail(`errors in the console:\n  ${errors.join('\n  ')}`);
  console.log('web: no errors in the console');
} finally {
  await browser.close();
}
