#include "recorder/video_recorder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "base/pixel_bytes.h"

namespace recorder {

struct VideoRecorder::State {
  Options options;
  std::string temporary;
  AVFormatContext* format = nullptr;
  AVCodecContext* video = nullptr;
  AVCodecContext* audio = nullptr;
  AVStream* video_stream = nullptr;
  AVStream* audio_stream = nullptr;
  AVFrame* picture = nullptr;
  AVFrame* sound = nullptr;
  AVPacket* packet = nullptr;
  SwsContext* scaler = nullptr;
  int scaled_width = 0, scaled_height = 0;  // after the whole-multiple step
  std::vector<uint8_t> bgr0;                // the frame as 32-bit pixels at that size
  std::vector<int16_t> pending_audio;       // interleaved, waiting for a whole encoder frame
  int audio_frame_size = 1024;
  uint64_t frames = 0, audio_frames = 0;
  bool header_written = false;

  ~State() {
    sws_freeContext(scaler);
    av_packet_free(&packet);
    av_frame_free(&picture);
    av_frame_free(&sound);
    avcodec_free_context(&video);
    avcodec_free_context(&audio);
    if (format) {
      if (format->pb) avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }
};

namespace {

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// The mode's pixels as 32-bit B, G, R, X bytes, each pixel repeated kx times
// across and each row ky times down; 16-bit channels widen as the PNG frames do.
// The fourth byte is never read: the encoders take BGR0.
void ScaleToBgr0(const PresentedFrame& f, int kx, int ky, std::vector<uint8_t>& out) {
  const int bytes = f.bits_per_pixel / 8, W = f.width * kx;
  out.resize(size_t(W) * f.height * ky * 4);
  for (int y = 0; y < f.height; ++y) {
    const uint8_t* row = f.pixels + size_t(y) * f.pitch;
    uint8_t* to = &out[size_t(y) * ky * W * 4];
    uint32_t* p = reinterpret_cast<uint32_t*>(to);
    for (int x = 0; x < f.width; ++x) {
      const uint32_t v = XrgbAt(row + size_t(x) * bytes, bytes);
      for (int k = 0; k < kx; ++k) *p++ = v;
    }
    for (int k = 1; k < ky; ++k) std::memcpy(to + size_t(k) * W * 4, to, size_t(W) * 4);
  }
}

// Studio-range weights (x 256) of a YCbCr matrix: Y from R, G, B; Cb; Cr.
struct YuvWeights {
  int yr, yg, yb, ur, ug, ub, vr, vg, vb;
};
// BT.601, as swscale writes it, for standard definition; BT.709, the HD standard,
// which players assume for HD pictures whatever the file says.
constexpr YuvWeights kBt601{66, 129, 25, -38, -74, 112, 112, -94, -18};
constexpr YuvWeights kBt709{47, 157, 16, -26, -86, 112, 112, -102, -10};
bool IsHd(RecordSize size) { return size.height >= 720; }

// BGR0 rows into 4:2:0 planes with the matrix's weights; each chroma sample from
// the mean of its 2 x 2 pixels. One pass over the frame in plain loops the
// compiler vectorises, where swscale has no fast path.
void Bgr0ToYuv420(const uint8_t* src, int stride, int width, int height, const YuvWeights& m, AVFrame* out) {
  for (int y = 0; y < height; y += 2) {
    const uint8_t* r0 = src + size_t(y) * stride;
    const uint8_t* r1 = y + 1 < height ? r0 + stride : r0;
    uint8_t* y0 = out->data[0] + size_t(y) * out->linesize[0];
    uint8_t* y1 = y + 1 < height ? y0 + out->linesize[0] : y0;
    uint8_t* u = out->data[1] + size_t(y / 2) * out->linesize[1];
    uint8_t* v = out->data[2] + size_t(y / 2) * out->linesize[2];
    for (int x = 0; x < width; ++x) {
      const uint8_t* a = r0 + size_t(x) * 4;
      const uint8_t* b = r1 + size_t(x) * 4;
      y0[x] = uint8_t(((m.yr * a[2] + m.yg * a[1] + m.yb * a[0] + 128) >> 8) + 16);
      y1[x] = uint8_t(((m.yr * b[2] + m.yg * b[1] + m.yb * b[0] + 128) >> 8) + 16);
    }
    for (int x = 0; x < width / 2; ++x) {
      const uint8_t* a = r0 + size_t(x) * 8;
      const uint8_t* b = r1 + size_t(x) * 8;
      const int R = (a[2] + a[6] + b[2] + b[6] + 2) >> 2, G = (a[1] + a[5] + b[1] + b[5] + 2) >> 2,
                B = (a[0] + a[4] + b[0] + b[4] + 2) >> 2;
      u[x] = uint8_t(((m.ur * R + m.ug * G + m.ub * B + 128) >> 8) + 128);
      v[x] = uint8_t(((m.vr * R + m.vg * G + m.vb * B + 128) >> 8) + 128);
    }
  }
}

bool Encode(VideoRecorder::State& s, AVCodecContext* codec, AVStream* stream, AVFrame* frame, std::string& error) {
  int r = avcodec_send_frame(codec, frame);
  if (r < 0) {
    error = "encoder: " + AvError(r);
    return false;
  }
  for (;;) {
    r = avcodec_receive_packet(codec, s.packet);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
    if (r < 0) {
      error = "encoder: " + AvError(r);
      return false;
    }
    av_packet_rescale_ts(s.packet, codec->time_base, stream->time_base);
    s.packet->stream_index = stream->index;
    r = av_interleaved_write_frame(s.format, s.packet);
    if (r < 0) {
      error = "cannot write the file: " + AvError(r);
      return false;
    }
  }
}

AVCodecContext* OpenEncoder(AVFormatContext* format, const char* name, AVStream*& stream, std::string& error,
                            const std::function<void(AVCodecContext*)>& setup) {
  const AVCodec* codec = avcodec_find_encoder_by_name(name);
  if (!codec) {
    error = std::string("no ") + name + " encoder in this FFmpeg";
    return nullptr;
  }
  AVCodecContext* c = avcodec_alloc_context3(codec);
  stream = avformat_new_stream(format, nullptr);
  if (!c || !stream) {
    error = "out of memory";
    avcodec_free_context(&c);
    return nullptr;
  }
  setup(c);
  if (format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  int r = avcodec_open2(c, codec, nullptr);
  if (r >= 0) r = avcodec_parameters_from_context(stream->codecpar, c);
  if (r < 0) {
    error = std::string(name) + ": " + AvError(r);
    avcodec_free_context(&c);
    return nullptr;
  }
  stream->time_base = c->time_base;
  return c;
}

}  // namespace

VideoRecorder::VideoRecorder() = default;
VideoRecorder::~VideoRecorder() { Abandon(); }

namespace {

// The parts as chapter marks, where the container keeps them (Matroska and MP4;
// WebM players ignore them). The format context owns and frees them.
bool AddChapters(AVFormatContext* format, const VideoOptions& o) {
  if (o.chapters.empty() ||
      !(std::strcmp(o.format->container, "matroska") == 0 || std::strcmp(o.format->container, "mp4") == 0))
    return true;
  format->chapters = static_cast<AVChapter**>(av_calloc(o.chapters.size(), sizeof(AVChapter*)));
  if (!format->chapters) return false;
  for (const Chapter& c : o.chapters) {
    AVChapter* chapter = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
    if (!chapter) return false;
    format->chapters[format->nb_chapters++] = chapter;
    chapter->id = int64_t(format->nb_chapters);
    chapter->time_base = AVRational{1, 1000};
    chapter->start = c.start_ms;
    chapter->end = c.end_ms;
    if (av_dict_set(&chapter->metadata, "title", c.title.c_str(), 0) < 0) return false;
  }
  return true;
}

}  // namespace

bool VideoRecorder::Open(const Options& o, std::string& error) {
  // The encoders' own reports would drown the one line a failure gets.
  av_log_set_level(AV_LOG_QUIET);
  s_ = std::make_unique<State>();
  State& s = *s_;
  s.options = o;
  const std::filesystem::path target(o.path);
  const std::string folder = target.parent_path().empty() ? "." : target.parent_path().string();
  s.temporary = folder + "/." + target.filename().string() + "." + std::to_string(::getpid()) + ".part";
  int r = avformat_alloc_output_context2(&s.format, nullptr, o.format->container, s.temporary.c_str());
  if (r < 0 || !s.format) {
    error = "cannot make a " + std::string(o.format->container) + " file: " + AvError(r);
    return false;
  }

  const bool rgb = o.format->rgb;
  s.video = OpenEncoder(s.format, o.format->video_codec, s.video_stream, error, [&](AVCodecContext* c) {
    c->width = o.size.width;
    c->height = o.size.height;
    c->time_base = AVRational{1, o.fps};
    c->framerate = AVRational{o.fps, 1};
    c->pix_fmt = rgb ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_YUV420P;
    if (!rgb) {  // what the conversion to 4:2:0 writes, said in the stream
      const bool hd = IsHd(o.size);
      c->colorspace = hd ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
      c->color_primaries = hd ? AVCOL_PRI_BT709 : AVCOL_PRI_SMPTE170M;
      c->color_trc = hd ? AVCOL_TRC_BT709 : AVCOL_TRC_SMPTE170M;
      c->color_range = AVCOL_RANGE_MPEG;
    }
    c->gop_size = o.fps * 2;
    c->thread_count = 0;
    if (std::strcmp(o.format->video_codec, "libx264") == 0) {
      // High quality (crf 18) that still records 320 x 200 at 1.5x real time on two
      // cores; at 2160 lines more (crf 16), as a video site re-encodes them at its
      // own rate for that size.
      av_opt_set(c->priv_data, "preset", "superfast", 0);
      av_opt_set(c->priv_data, "crf", o.size.height >= 2160 ? "16" : "18", 0);
    } else if (std::strcmp(o.format->video_codec, "libvpx-vp9") == 0) {
      av_opt_set(c->priv_data, "deadline", "realtime", 0);
      av_opt_set(c->priv_data, "cpu-used", "8", 0);
      av_opt_set(c->priv_data, "crf", "24", 0);
      av_opt_set(c->priv_data, "row-mt", "1", 0);
      c->bit_rate = 0;
    } else if (std::strcmp(o.format->video_codec, "ffv1") == 0) {
      av_opt_set(c->priv_data, "slices", "4", 0);
      c->level = 3;
    }
  });
  if (!s.video) return false;
  s.audio = OpenEncoder(s.format, o.format->audio_codec, s.audio_stream, error, [&](AVCodecContext* c) {
    c->sample_rate = o.sample_rate;
    c->time_base = AVRational{1, o.sample_rate};
    av_channel_layout_default(&c->ch_layout, 2);
    c->sample_fmt = c->codec->sample_fmts ? c->codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    if (std::strcmp(o.format->audio_codec, "aac") == 0) c->bit_rate = 256000;
    if (std::strcmp(o.format->audio_codec, "libopus") == 0) c->bit_rate = 192000;
  });
  if (!s.audio) return false;
  s.audio_frame_size = s.audio->frame_size > 0 ? s.audio->frame_size : 1024;

  s.picture = av_frame_alloc();
  s.sound = av_frame_alloc();
  s.packet = av_packet_alloc();
  if (!s.picture || !s.sound || !s.packet) {
    error = "out of memory";
    return false;
  }
  s.picture->format = s.video->pix_fmt;
  s.picture->width = o.size.width;
  s.picture->height = o.size.height;
  if ((r = av_frame_get_buffer(s.picture, 0)) < 0) {
    error = "out of memory";
    return false;
  }

  if (!o.encode) {
    s.temporary.clear();
    return true;
  }
  if ((r = avio_open(&s.format->pb, s.temporary.c_str(), AVIO_FLAG_WRITE)) < 0) {
    error = AvError(r);
    return false;
  }
  if (!AddChapters(s.format, o)) {
    error = "out of memory";
    return false;
  }
  // MP4's index goes to the front once the file is finished, so that a browser
  // plays it while it downloads.
  AVDictionary* muxer_options = nullptr;
  if (std::strcmp(o.format->container, "mp4") == 0) av_dict_set(&muxer_options, "movflags", "+faststart", 0);
  r = avformat_write_header(s.format, &muxer_options);
  av_dict_free(&muxer_options);
  if (r < 0) {
    error = "cannot write the file: " + AvError(r);
    return false;
  }
  s.header_written = true;
  return true;
}

bool VideoRecorder::AddFrame(const PresentedFrame& f, std::string& error) {
  State& s = *s_;
  const int W = s.options.size.width, H = s.options.size.height;
  const int kx = W >= f.width ? W / f.width : 1, ky = H >= f.height ? H / f.height : 1;
  if (!s.scaler || s.scaled_width != f.width * kx || s.scaled_height != f.height * ky) {
    sws_freeContext(s.scaler);
    s.scaled_width = f.width * kx;
    s.scaled_height = f.height * ky;
    // The rest of the way is smooth; when the multiples fit exactly it is only
    // the conversion of the pixel format.
    const bool exact = s.scaled_width == W && s.scaled_height == H;
    s.scaler = sws_getContext(s.scaled_width, s.scaled_height, AV_PIX_FMT_BGR0, W, H, s.video->pix_fmt,
                              exact ? SWS_POINT : SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!s.scaler) {
      error = "no scaler for this size";
      return false;
    }
    if (IsHd(s.options.size) && s.video->pix_fmt == AV_PIX_FMT_YUV420P) {
      const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
      sws_setColorspaceDetails(s.scaler, sws_getCoefficients(SWS_CS_DEFAULT), 1, bt709, 0, 0, 1 << 16, 1 << 16);
    }
  }
  // 32-bit frames that need no whole multiples go to the converter as they are.
  const bool direct = f.bits_per_pixel == 32 && kx == 1 && ky == 1;
  if (!direct) ScaleToBgr0(f, kx, ky, s.bgr0);
  const uint8_t* source = direct ? f.pixels : s.bgr0.data();
  const int stride = direct ? f.pitch : s.scaled_width * 4;
  int r = av_frame_make_writable(s.picture);
  if (r < 0) {
    error = "out of memory";
    return false;
  }
  if (s.options.format->rgb && s.scaled_width == W && s.scaled_height == H) {
    // Lossless at the frame's size: the pixels go in untouched.
    for (int y = 0; y < H; ++y)
      std::memcpy(s.picture->data[0] + size_t(y) * s.picture->linesize[0], source + size_t(y) * stride, size_t(W) * 4);
  } else if (s.scaled_width == W && s.scaled_height == H && s.video->pix_fmt == AV_PIX_FMT_YUV420P) {
    Bgr0ToYuv420(source, stride, W, H, IsHd(s.options.size) ? kBt709 : kBt601, s.picture);
  } else {
    const uint8_t* planes[1] = {source};
    const int strides[1] = {stride};
    sws_scale(s.scaler, planes, strides, 0, s.scaled_height, s.picture->data, s.picture->linesize);
  }
  s.picture->pts = int64_t(s.frames++);
  return !s.options.encode || Encode(s, s.video, s.video_stream, s.picture, error);
}

namespace {
// `count` interleaved stereo frames into an encoder frame of its sample format.
void FillSound(AVFrame* frame, const int16_t* in, int count) {
  const auto fmt = AVSampleFormat(frame->format);
  for (int i = 0; i < count; ++i)
    for (int c = 0; c < 2; ++c) {
      const int16_t v = in[2 * i + c];
      switch (fmt) {
        case AV_SAMPLE_FMT_S16: reinterpret_cast<int16_t*>(frame->data[0])[2 * i + c] = v; break;
        case AV_SAMPLE_FMT_S16P: reinterpret_cast<int16_t*>(frame->data[c])[i] = v; break;
        case AV_SAMPLE_FMT_FLT: reinterpret_cast<float*>(frame->data[0])[2 * i + c] = v / 32768.0f; break;
        case AV_SAMPLE_FMT_FLTP: reinterpret_cast<float*>(frame->data[c])[i] = v / 32768.0f; break;
        case AV_SAMPLE_FMT_S32: reinterpret_cast<int32_t*>(frame->data[0])[2 * i + c] = int32_t(v) << 16; break;
        case AV_SAMPLE_FMT_S32P: reinterpret_cast<int32_t*>(frame->data[c])[i] = int32_t(v) << 16; break;
        default: break;
      }
    }
}

bool EncodeSound(VideoRecorder::State& s, const int16_t* in, int count, std::string& error) {
  av_frame_unref(s.sound);
  s.sound->format = s.audio->sample_fmt;
  s.sound->sample_rate = s.audio->sample_rate;
  av_channel_layout_copy(&s.sound->ch_layout, &s.audio->ch_layout);
  s.sound->nb_samples = count;
  if (av_frame_get_buffer(s.sound, 0) < 0) {
    error = "out of memory";
    return false;
  }
  FillSound(s.sound, in, count);
  s.sound->pts = int64_t(s.audio_frames);
  s.audio_frames += uint64_t(count);
  return Encode(s, s.audio, s.audio_stream, s.sound, error);
}
}  // namespace

bool VideoRecorder::AddAudio(const int16_t* samples, size_t count, std::string& error) {
  State& s = *s_;
  if (!s.options.encode) {
    s.audio_frames += count;
    return true;
  }
  s.pending_audio.insert(s.pending_audio.end(), samples, samples + count * 2);
  const size_t n = size_t(s.audio_frame_size);
  size_t used = 0;
  while (s.pending_audio.size() - used >= n * 2) {
    if (!EncodeSound(s, s.pending_audio.data() + used, int(n), error)) return false;
    used += n * 2;
  }
  s.pending_audio.erase(s.pending_audio.begin(), s.pending_audio.begin() + long(used));
  return true;
}

bool VideoRecorder::Finish(std::string& error) {
  State& s = *s_;
  if (!s.options.encode) return true;
  if (!s.pending_audio.empty()) {
    // A short last frame where the encoder takes one; otherwise silence fills it.
    const bool small_last =
        (s.audio->codec->capabilities & (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE)) != 0;
    const size_t count = s.pending_audio.size() / 2;
    if (!small_last) s.pending_audio.resize(size_t(s.audio_frame_size) * 2, 0);
    if (!EncodeSound(s, s.pending_audio.data(), int(s.pending_audio.size() / 2), error)) return false;
    if (!small_last) s.audio_frames -= s.audio_frame_size - count;
    s.pending_audio.clear();
  }
  if (!Encode(s, s.video, s.video_stream, nullptr, error) || !Encode(s, s.audio, s.audio_stream, nullptr, error))
    return false;
  int r = av_write_trailer(s.format);
  if (r < 0) {
    error = "cannot write the file: " + AvError(r);
    return false;
  }
  r = avio_closep(&s.format->pb);
  if (r < 0) {
    error = "cannot write the file: " + AvError(r);
    return false;
  }
  std::error_code ec;
  std::filesystem::rename(s.temporary, s.options.path, ec);
  if (ec) {
    error = "cannot name the file: " + ec.message();
    return false;
  }
  s.temporary.clear();
  return true;
}

void VideoRecorder::Abandon() {
  if (!s_) return;
  const std::string temporary = s_->temporary;
  s_.reset();
  if (!temporary.empty()) std::remove(temporary.c_str());
}

uint64_t VideoRecorder::FramesWritten() const { return s_ ? s_->frames : 0; }
uint64_t VideoRecorder::AudioFramesWritten() const { return s_ ? s_->audio_frames : 0; }

}  // namespace recorder

namespace {

// The module's one entry point hands out recorders through the sink interface.
class RecorderSink final : public recorder::VideoSink {
 public:
  bool Open(const recorder::VideoOptions& o, std::string& error) override { return r_.Open(o, error); }
  bool AddFrame(const recorder::PresentedFrame& f, std::string& error) override { return r_.AddFrame(f, error); }
  bool AddAudio(const int16_t* samples, size_t frames, std::string& error) override {
    return r_.AddAudio(samples, frames, error);
  }
  bool Finish(std::string& error) override { return r_.Finish(error); }
  void Abandon() override { r_.Abandon(); }
  uint64_t FramesWritten() const override { return r_.FramesWritten(); }
  uint64_t AudioFramesWritten() const override { return r_.AudioFramesWritten(); }

 private:
  recorder::VideoRecorder r_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) recorder::VideoSink* velmora_make_video_sink() {
  return new RecorderSink();
}
