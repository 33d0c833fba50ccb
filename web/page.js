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
  function layout() {
    const room = stage.getBoundingClientRect();
    let width = Math.min(room.width, room.height * shape);
    let height = width / shape;
    canvas.style.width = Math.floor(width) + 'px';
    canvas.style.height = Math.floor(height) + 'px';
  }
  window.addEventListener('resize', layout);
  document.addEventListener('fullscreenchange', layout);
  layout();

  function toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else if (document.documentElement.requestFullscreen) document.documentElement.requestFullscreen().catch(() => {});
  }
  document.getElementById('fullscreen').addEventListener('click', (e) => {
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
    const words = virtualClock || !hasAudio ? ['--mute'].concat(args) : args;
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
