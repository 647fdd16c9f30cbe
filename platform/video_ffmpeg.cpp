// The video encoder on FFmpeg's libraries: the only code that includes
// their headers. The container writes through the game's own open file, so
// the video is made under a temporary name like every other file and only
// gets its name once it is whole.
#include <cstring>
#include <string_view>

#include "platform/video_encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace vl {

namespace {

// One frame per 16 ms tick: 62.5 frames per second, exactly.
constexpr AVRational kFrameTime = {2, 125};
constexpr AVRational kFrameRate = {125, 2};
constexpr int kIoBufferBytes = 1 << 16;

bool EndsWith(const std::string& name, std::string_view end) {
  if (name.size() < end.size()) return false;
  for (size_t i = 0; i < end.size(); ++i) {
    const char c = name[name.size() - end.size() + i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != end[i]) return false;
  }
  return true;
}

std::string Why(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

class FfmpegEncoder final : public VideoEncoder {
 public:
  FfmpegEncoder(std::FILE* out, int32_t width, int32_t height) : out_(out), width_(width), height_(height) {}
  ~FfmpegEncoder() override {
    sws_freeContext(scaler_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&codec_);
    if (io_) {
      av_freep(&io_->buffer);
      avio_context_free(&io_);
    }
    avformat_free_context(format_);
  }

  bool Open(const std::string& name) {
    const bool webm = EndsWith(name, ".webm");
    const AVOutputFormat* container = av_guess_format(webm ? "webm" : "mp4", nullptr, nullptr);
    const AVCodec* codec = avcodec_find_encoder_by_name(webm ? "libvpx-vp9" : "libx264");
    if (!codec) codec = avcodec_find_encoder(webm ? AV_CODEC_ID_VP9 : AV_CODEC_ID_H264);
    if (!container || !codec) return Fail(std::string("this system's FFmpeg has no ") + (webm ? "VP9" : "H.264") +
                                          " encoder or " + (webm ? "WebM" : "MP4") + " writer");
    if (avformat_alloc_output_context2(&format_, container, nullptr, nullptr) < 0 || !format_)
      return Fail("cannot make the video container");
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
    io_ = buffer ? avio_alloc_context(buffer, kIoBufferBytes, 1, this, nullptr, &Write, &Seek) : nullptr;
    if (!io_) {
      av_free(buffer);
      return Fail("out of memory");
    }
    format_->pb = io_;
    format_->flags |= AVFMT_FLAG_CUSTOM_IO;

    stream_ = avformat_new_stream(format_, nullptr);
    codec_ = avcodec_alloc_context3(codec);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!stream_ || !codec_ || !frame_ || !packet_) return Fail("out of memory");
    codec_->width = width_;
    codec_->height = height_;
    codec_->pix_fmt = AV_PIX_FMT_YUV420P;
    codec_->time_base = kFrameTime;
    codec_->framerate = kFrameRate;
    codec_->gop_size = 125;  // a key frame every two seconds, for seeking
    codec_->thread_count = 0;
    codec_->colorspace = AVCOL_SPC_BT709;
    codec_->color_primaries = AVCOL_PRI_BT709;
    codec_->color_trc = AVCOL_TRC_BT709;
    codec_->color_range = AVCOL_RANGE_MPEG;
    if (format_->oformat->flags & AVFMT_GLOBALHEADER) codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // Flat colours and hard edges: a constant quality high enough that the
    // boxes stay crisp, at a speed that beats the flight's own time.
    if (webm) {
      av_opt_set(codec_->priv_data, "deadline", "realtime", 0);
      av_opt_set(codec_->priv_data, "cpu-used", "8", 0);
      av_opt_set(codec_->priv_data, "row-mt", "1", 0);
      av_opt_set(codec_->priv_data, "crf", "24", 0);
      codec_->bit_rate = 0;
    } else {
      av_opt_set(codec_->priv_data, "preset", "veryfast", 0);
      av_opt_set(codec_->priv_data, "tune", "animation", 0);
      av_opt_set(codec_->priv_data, "crf", "12", 0);
    }
    int code = avcodec_open2(codec_, codec, nullptr);
    if (code < 0) return Fail("cannot start the " + std::string(codec->name) + " encoder: " + Why(code));
    code = avcodec_parameters_from_context(stream_->codecpar, codec_);
    if (code < 0) return Fail(Why(code));
    stream_->time_base = kFrameTime;
    stream_->avg_frame_rate = kFrameRate;
    stream_->r_frame_rate = kFrameRate;
    code = avformat_write_header(format_, nullptr);
    if (code < 0) return Fail("cannot start the video file: " + Why(code));

    frame_->format = codec_->pix_fmt;
    frame_->width = width_;
    frame_->height = height_;
    if (av_frame_get_buffer(frame_, 0) < 0) return Fail("out of memory");
    scaler_ = sws_getContext(width_, height_, AV_PIX_FMT_RGB24, width_, height_, AV_PIX_FMT_YUV420P,
                             SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr, nullptr, nullptr);
    if (!scaler_) return Fail("cannot convert the pictures for the encoder");
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(scaler_, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
    return true;
  }

  bool AddFrame(const uint8_t* rgb) override {
    if (!error_.empty()) return false;
    if (av_frame_make_writable(frame_) < 0) return Fail("out of memory");
    const uint8_t* planes[1] = {rgb};
    const int strides[1] = {width_ * 3};
    sws_scale(scaler_, planes, strides, 0, height_, frame_->data, frame_->linesize);
    frame_->pts = next_++;
    return Send(frame_);
  }

  bool Finish() override {
    if (!error_.empty() || !Send(nullptr)) return false;
    const int code = av_write_trailer(format_);
    if (code < 0) return Fail("cannot finish the video file: " + Why(code));
    avio_flush(io_);
    return error_.empty();
  }

  const std::string& error() const override { return error_; }

 private:
  bool Fail(const std::string& why) {
    if (error_.empty()) error_ = why;
    return false;
  }

  // One frame into the encoder (nullptr: the end), and every packet it
  // has ready into the file.
  bool Send(AVFrame* frame) {
    int code = avcodec_send_frame(codec_, frame);
    if (code < 0) return Fail("the encoder failed: " + Why(code));
    for (;;) {
      code = avcodec_receive_packet(codec_, packet_);
      if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return error_.empty();
      if (code < 0) return Fail("the encoder failed: " + Why(code));
      if (packet_->duration == 0) packet_->duration = 1;
      av_packet_rescale_ts(packet_, codec_->time_base, stream_->time_base);
      packet_->stream_index = stream_->index;
      code = av_interleaved_write_frame(format_, packet_);
      if (code < 0) return Fail("cannot write the video file: " + Why(code));
    }
  }

#if LIBAVFORMAT_VERSION_MAJOR >= 61
  static int Write(void* opaque, const uint8_t* data, int size) {
#else
  static int Write(void* opaque, uint8_t* data, int size) {
#endif
    auto* self = static_cast<FfmpegEncoder*>(opaque);
    if (std::fwrite(data, 1, static_cast<size_t>(size), self->out_) != static_cast<size_t>(size)) {
      self->Fail(std::string("cannot write the video file: ") + std::strerror(errno));
      return AVERROR(EIO);
    }
    return size;
  }

  static int64_t Seek(void* opaque, int64_t offset, int whence) {
    auto* self = static_cast<FfmpegEncoder*>(opaque);
    if (whence & AVSEEK_SIZE) return -1;
    if (std::fflush(self->out_) != 0 || fseeko(self->out_, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE) != 0)
      return AVERROR(errno);
    return static_cast<int64_t>(ftello(self->out_));
  }

  std::FILE* out_;
  int32_t width_, height_;
  AVFormatContext* format_ = nullptr;
  AVIOContext* io_ = nullptr;
  AVStream* stream_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwsContext* scaler_ = nullptr;
  int64_t next_ = 0;
  std::string error_;
};

}  // namespace

bool VideoFormatKnown(const std::string& name) { return EndsWith(name, ".webm") || EndsWith(name, ".mp4"); }

std::unique_ptr<VideoEncoder> OpenVideoEncoder(std::FILE* out, const std::string& name, int32_t width,
                                               int32_t height, std::string& error) {
  av_log_set_level(AV_LOG_ERROR);
  auto encoder = std::make_unique<FfmpegEncoder>(out, width, height);
  if (!encoder->Open(name)) {
    error = encoder->error();
    return nullptr;
  }
  return encoder;
}

}  // namespace vl
