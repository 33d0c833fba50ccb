// The page around the WebAssembly build: the command line from ?args=, the click
// that lets sound start, the canvas's size and shape, frames kept for whoever asks
// (window.velmoraShots), and the end of the demo (window.velmoraDone).
'use strict';

(function () {
  const canvas = document.getElementById('canvas');
  const overlay = document.getElementById('overlay');
  const action = document.getElementById('action');
  const messages = document.getElementById('messages');
  const stage = document.getElementById('stage');

  window.velmoraShots = {};
  window.velmoraDone = false;

  function say(line) {
    messages.textContent += (messages.textContent ? '\n' : '') + line;
  }

  // ?args=640+480+32: the words of the command line ('+' reads as a space).
  const query = new URLSearchParams(window.location.search).get('args');
  const args = query ? query.split(/\s+/).filter((w) => w.length > 0) : [];
  // A virtual clock has nothing to keep in step with: it starts at once, silent.
  const virtualClock = args.includes('--fps');

  const missing = [];
  if (typeof WebAssembly !== 'object') missing.push('WebAssembly');
  const hasAudio = !!(window.AudioContext || window.webkitAudioContext);
  if (!hasAudio) missing.push('Web Audio (the demo plays without sound)');
  if (missing.length) say('This browser lacks ' + missing.join(' and ') + '.');

  // The picture's width / height on screen (4:3 for 320 x 200 under --aspect crt).
  let shape = 4 / 3;
  const view = document.getElementById('view');
  const button = document.getElementById('fullscreen');
  // Where the picture goes: the largest of its shape in the page, kept clear of
  // the full-screen button (the page gives up the button's strip when the
  // picture would reach under it).
  function layout() {
    const room = stage.getBoundingClientRect();
    const fit = (w, h) => {
      const width = Math.floor(Math.min(w, h * shape));
      return { width: width, height: Math.floor(width / shape) };
    };
    let size = fit(room.width, room.height);
    const b = button.getBoundingClientRect();
    const right = (room.width + size.width) / 2, bottom = (room.height + size.height) / 2;
    if (!button.hidden && right > b.left && bottom > b.top) size = fit(room.width, b.top - (room.height - b.top));
    for (const c of [canvas, view]) {
      c.style.width = size.width + 'px';
      c.style.height = size.height + 'px';
    }
    const placed = canvas.getBoundingClientRect();
    view.style.left = placed.left + 'px';
    view.style.top = placed.top + 'px';
    view.width = Math.max(1, Math.round(size.width * window.devicePixelRatio));
    view.height = Math.max(1, Math.round(size.height * window.devicePixelRatio));
  }

  // The desktop's sharp rule: each pixel enlarged to the largest whole multiple
  // that fits, nearest neighbour, then only the last fraction smoothed. Drawn
  // at every animation frame from the program's canvas.
  const enlarged = document.createElement('canvas');
  const enlargedContext = enlarged.getContext('2d');
  const viewContext = view.getContext('2d');
  function show() {
    window.requestAnimationFrame(show);
    if (!canvas.width || !canvas.height) return;  // between two displays (F8)
    const kx = Math.max(1, Math.floor(view.width / canvas.width));
    const ky = Math.max(1, Math.floor(view.height / canvas.height));
    if (enlarged.width !== canvas.width * kx || enlarged.height !== canvas.height * ky) {
      enlarged.width = canvas.width * kx;
      enlarged.height = canvas.height * ky;
    }
    enlargedContext.imageSmoothingEnabled = false;
    enlargedContext.drawImage(canvas, 0, 0, enlarged.width, enlarged.height);
    viewContext.imageSmoothingEnabled = enlarged.width !== view.width || enlarged.height !== view.height;
    viewContext.imageSmoothingQuality = 'low';  // bilinear, as the desktop's filter
    viewContext.drawImage(enlarged, 0, 0, view.width, view.height);
  }
  window.requestAnimationFrame(show);

  // The screen's refresh rate, from the animation frames before the demo starts:
  // the program paces its frames by it (--refresh).
  const frameTimes = [];
  function measure(time) {
    frameTimes.push(time);
    if (frameTimes.length < 40) window.requestAnimationFrame(measure);
  }
  window.requestAnimationFrame(measure);
  function measuredRefresh() {
    if (frameTimes.length < 10) return 0;
    const gaps = frameTimes.slice(1).map((t, i) => t - frameTimes[i]).sort((a, b) => a - b);
    const median = gaps[Math.floor(gaps.length / 2)];
    return median > 0 ? Math.round(1000 / median) : 0;
  }
  window.addEventListener('resize', layout);
  document.addEventListener('fullscreenchange', layout);
  layout();

  function toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else if (document.documentElement.requestFullscreen) document.documentElement.requestFullscreen().catch(() => {});
  }
  button.addEventListener('click', (e) => {
    toggleFullScreen();
    e.currentTarget.blur();
  });

  function bytesToDataUrl(bytes) {
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return 'data:image/png;base64,' + btoa(text);
  }

  let started = false;
  function start() {
    if (started || !window.Module.calledRun) return;
    started = true;
    overlay.hidden = true;
    canvas.focus();
    let words = virtualClock || !hasAudio ? ['--mute'].concat(args) : args;
    const refresh = measuredRefresh();
    if (refresh >= 20 && refresh <= 1000 && !args.includes('--refresh')) words = ['--refresh', String(refresh)].concat(words);
    window.velmoraStartedAt = performance.now();
    window.Module.callMain(words);
  }

  window.Module = {
    canvas: canvas,
    print: (text) => console.log(text),
    printErr: (text) => {
      console.warn(text);
      say(text);
    },
    velmoraShapeCanvas: (width, height, pictureShape) => {
      // The display is set just before the first frame: the demo's time starts here.
      if (window.velmoraShownAt === undefined) window.velmoraShownAt = performance.now();
      shape = pictureShape;
      layout();
    },
    velmoraKeepShot: (path) => {
      const cwd = window.Module.FS.cwd();
      const name = path.startsWith(cwd) ? path.slice(cwd.length).replace(/^\//, '') : path;
      window.velmoraShots[name] = bytesToDataUrl(window.Module.FS.readFile(path));
    },
    velmoraToggleFullScreen: toggleFullScreen,
    onRuntimeInitialized: () => {
      if (virtualClock) {
        start();
        return;
      }
      action.textContent = 'Click to start';
      overlay.addEventListener('click', start);
      document.addEventListener('keydown', (e) => {
        if (!started && (e.key === 'Enter' || e.key === ' ')) start();
      });
    },
    onExit: (status) => {
      window.velmoraEndedAt = performance.now();
      window.velmoraExitStatus = status;
      window.velmoraDone = true;
      action.textContent = 'Play again';
      overlay.hidden = false;
      overlay.onclick = () => window.location.reload();
    },
    onAbort: (what) => {
      say('The demo stopped: ' + what);
      window.velmoraDone = true;
    },
  };
})();
