#include "recorder/recording.h"

#include <vector>

#include "host/audio_mixer.h"
#include "recorder/video_sink.h"

namespace recorder {

static_assert(Recording::kSampleRate == host::audio::kPullRate, "the recording pulls the mixer at its own rate");

Recording::Recording() = default;
Recording::~Recording() = default;

bool Recording::Prepare(const Request& request, std::string& error) {
  request_ = request;
  format_ = RecordFormatFor(request.path, request.lossless);
  if (!format_) {
    error = request.lossless ? std::string("--lossless records Matroska (.mkv) files")
                             : std::string("cannot record this kind of file; use ") + RecordExtensions();
    return false;
  }
  return true;
}

bool Recording::AddFrame(const PresentedFrame& frame, uint32_t demo_ms) {
  if (failed_) return false;
  if (!opened_) {
    opened_ = true;
    first_ms_ = demo_ms;
    if (request_.native || (request_.lossless && !request_.size.width && !request_.size.height))
      size_ = RecordSize{frame.width, frame.height};
    else if (request_.size.width)
      size_ = request_.size;
    else if (request_.size.height)
      size_ = RecordSizeAtLines(frame.width, frame.height, request_.size.height);
    else
      size_ = DefaultRecordSize(frame.width, frame.height);
    if (!format_->rgb) size_ = RecordSize{size_.width + (size_.width & 1), size_.height + (size_.height & 1)};
    if (!FitsLargestRecordSize(size_)) {
      error_ = "a video of " + std::to_string(size_.width) + " x " + std::to_string(size_.height) +
               " is larger than the largest recorded, " + std::to_string(kLargestRecordSize.width) + " x " +
               std::to_string(kLargestRecordSize.height) + " (--record-size chooses a smaller one)";
      failed_ = true;
      return false;
    }
    recorder_ = MakeVideoSink(error_);
    if (!recorder_) {
      failed_ = true;
      return false;
    }
    VideoOptions o;
    o.path = request_.path;
    o.format = format_;
    o.size = size_;
    o.fps = request_.fps;
    o.sample_rate = kSampleRate;
    o.encode = request_.encode;
    o.chapters = ChaptersFrom(request_.chapters, first_ms_);
    if (!recorder_->Open(o, error_)) {
      failed_ = true;
      return false;
    }
  }
  if (!recorder_->AddFrame(frame, error_)) {
    failed_ = true;
    return false;
  }
  // The sound the demo played up to this frame's time, to the sample frame.
  const uint64_t due = AudioFramesDue(demo_ms - first_ms_, kSampleRate);
  if (due > audio_frames_) {
    pcm_.resize(size_t(due - audio_frames_) * 2);
    host::audio::Lock();
    host::audio::Pull(pcm_.data(), due - audio_frames_);
    host::audio::Unlock();
    if (!recorder_->AddAudio(pcm_.data(), due - audio_frames_, error_)) {
      failed_ = true;
      return false;
    }
    audio_frames_ = due;
  }
  return true;
}

bool Recording::Finish() {
  if (!recorder_) {
    if (error_.empty()) error_ = "no frame was recorded";
    return false;
  }
  if (failed_ || !recorder_->Finish(error_)) {
    recorder_->Abandon();
    return false;
  }
  return true;
}

void Recording::Abandon() {
  if (recorder_) recorder_->Abandon();
}

uint64_t Recording::Frames() const { return recorder_ ? recorder_->FramesWritten() : 0; }
double Recording::Seconds() const { return double(Frames()) / request_.fps; }

}  // namespace recorder
