#include "shell/run_settings.h"

#include <string>

#include "host/audio_mixer.h"
#include "host/clock.h"
#include "host/playback.h"
#include "host/settings.h"
#include "host/web_page.h"
#include "shell/seek.h"
#include "shell/timeline_bar.h"

namespace {

host::Filter FilterNamed(const std::string& name, host::Scale scale) {
  // Whole multiples are crisp by themselves; a fit to any size needs the sharp
  // filter's last linear step to keep the pixels even.
  if (name.empty()) return scale == host::Scale::kInteger ? host::Filter::kNearest : host::Filter::kSharp;
  return name == "nearest" ? host::Filter::kNearest : name == "sharp" ? host::Filter::kSharp : host::Filter::kLinear;
}

host::Renderer RendererNamed(const std::string& name) {
  return name == "gpu" ? host::Renderer::kGpu : name == "cpu" ? host::Renderer::kCpu : host::Renderer::kAuto;
}

}  // namespace

void ApplyRunSettings(const Options& options) {
  if (options.windowed) host::SetWindowed(true);
  if (options.tick_pacing)
    host::UseRealClock(options.tick_ms ? options.tick_ms : 10);
  else
    host::UsePacedClock(options.refresh_hz);
  if (options.fps) host::UseVirtualClock(options.fps);  // deterministic runs win over pacing
  host::SetAvOffset(options.av_offset_ms);
  TheTimelineBar().SetEnabled(options.osd);
  host::SetScreen(options.display - 1);
  SetLoopStart(options.loop ? std::optional<long>(options.start_ms > 0 ? options.start_ms : 0) : std::nullopt);
  host::audio::SetSound(options.mute, true);
  host::Aspect aspect = options.aspect;
  host::Scale scale = options.scale;
  std::string filter = options.filter, renderer = options.renderer;
  if (host::kInWebPage) {
    // The canvas holds the mode's pixels one for one and the page scales it,
    // crisp, to the aspect asked for.
    host::SetPageAspect(aspect);
    host::SetWindowed(true);
    aspect = host::Aspect::kSquare;
    scale = host::Scale::kInteger;
    filter = "nearest";
    renderer = "cpu";
  }
  host::SetPictureRules(aspect, scale);
  host::SetPresentation(FilterNamed(filter, scale), RendererNamed(renderer), options.vsync);
}
