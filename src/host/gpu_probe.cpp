#include "host/gpu_probe.h"

#include <SDL.h>

#include <cstring>
#include <string>

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#define VELMORA_PROBE_IN_CHILD 1
#endif

namespace host {
namespace {

bool SoftwareRendererName(const char* renderer) {
  const std::string r = renderer ? renderer : "";
  for (const char* soft : {"llvmpipe", "softpipe", "SwiftShader", "Software Rasterizer"})
    if (r.find(soft) != std::string::npos) return true;
  return false;
}

// The question itself, on a hidden window; needs the video started.
bool AskRenderer() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) return false;
  SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL);
  if (!probe) return false;
  bool real = false;
  if (SDL_Renderer* r = SDL_CreateRenderer(probe, -1, SDL_RENDERER_ACCELERATED)) {
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(r, &info);
    const std::string name = info.name ? info.name : "";
    if (name.rfind("opengl", 0) == 0) {
      using GetString = const unsigned char* (*)(unsigned);
      auto get = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
      const auto* gl_renderer = get ? reinterpret_cast<const char*>(get(0x1F01 /* GL_RENDERER */)) : nullptr;
      real = gl_renderer && !SoftwareRendererName(gl_renderer);
    } else {
      real = name != "software";
    }
    SDL_DestroyRenderer(r);
  }
  SDL_DestroyWindow(probe);
  return real;
}

#ifdef VELMORA_PROBE_IN_CHILD
// The child opens its own display connection, asks, and answers by its exit
// status; a driver that hangs is given two seconds.
bool AskInChild() {
  int answer[2];
  if (pipe(answer) != 0) return false;
  const pid_t child = fork();
  if (child < 0) {
    close(answer[0]);
    close(answer[1]);
    return false;
  }
  if (child == 0) {
    close(answer[0]);
    const char yes = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 && AskRenderer() ? 'y' : 'n';
    if (write(answer[1], &yes, 1) != 1) _exit(1);
    _exit(0);  // without SDL_Quit or static destructors: they belong to the parent
  }
  close(answer[1]);
  pollfd wait{answer[0], POLLIN, 0};
  char reply = 'n';
  if (poll(&wait, 1, 2000) <= 0 || read(answer[0], &reply, 1) != 1) reply = 'n';
  close(answer[0]);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return reply == 'y';
}
#endif

}  // namespace

bool RealGpuAvailable() {
  static int known = -1;
  if (known < 0) {
#ifdef VELMORA_PROBE_IN_CHILD
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
      known = AskInChild();
      return known == 1;
    }
#endif
    known = SDL_WasInit(SDL_INIT_VIDEO) && AskRenderer();
  }
  return known == 1;
}

}  // namespace host
