#include "archive/export/Mp4Transcode.h"

#include <cerrno>
#include <chrono>
#include <cstdint>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include "archive/export/ExclusiveAvioFile.h"

namespace exportfile {

const Mp4ProfileParams g_aMp4ProfileParams[6] = {
    {66, 12, 1, 960, 480, 10'000'000}, {66, 12, 1, 960, 480, 5'000'000}, {66, 12, 1, 960, 480, 1'000'000},
    {66, 12, 1, 480, 480, 10'000'000}, {66, 12, 1, 480, 480, 5'000'000}, {66, 12, 1, 480, 480, 1'000'000},
};

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProgressEvery = std::chrono::milliseconds(500);

class Transcoder {
public:
    Transcoder(const TranscodeProgress& progress, const Mp4ProfileParams& params)
        : progress_(progress), params_(params) {}

    ~Transcoder() {
        avcodec_free_context(&decoder_);
        avcodec_free_context(&encoder_);
        sws_freeContext(sws_);
        av_frame_free(&decoded_);
        av_frame_free(&scaled_);
        av_packet_free(&packet_);
        avformat_close_input(&input_);
        if (output_) {
            output_->pb = nullptr;  // owned by file_
            avformat_free_context(output_);
        }
        file_.Discard();
    }

    int Run(const std::string& source, const std::string& destination) {
        int rc = OpenInput(source);
        if (rc < 0)
            return rc;
        rc = OpenOutput(destination);
        if (rc < 0)
            return rc;
        lastReport_ = Clock::now();
        while ((rc = av_read_frame(input_, packet_)) >= 0) {
            // Gaps that a recorder left as empty chunks are no frames.
            const bool frame = packet_->stream_index == streamIndex_ && packet_->size > 0;
            if (frame)
                rc = avcodec_send_packet(decoder_, packet_);
            av_packet_unref(packet_);
            if (frame && rc >= 0)
                rc = ReceiveDecoded();
            if (rc < 0)
                return rc;
        }
        if (rc != AVERROR_EOF)
            return rc;
        rc = avcodec_send_packet(decoder_, nullptr);
        if (rc >= 0)
            rc = ReceiveDecoded();
        if (rc >= 0)
            rc = Encode(nullptr);
        if (rc >= 0)
            rc = av_write_trailer(output_);
        if (rc >= 0 && output_->pb->error < 0)
            rc = output_->pb->error;
        if (rc >= 0)
            rc = file_.Commit();
        return rc < 0 ? rc : 0;
    }

private:
    int OpenInput(const std::string& source) {
        int rc = avformat_open_input(&input_, source.c_str(), nullptr, nullptr);
        if (rc < 0)
            return rc;
        rc = avformat_find_stream_info(input_, nullptr);
        if (rc < 0)
            return rc;
        const AVCodec* codec = nullptr;
        streamIndex_ = av_find_best_stream(input_, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
        if (streamIndex_ < 0)
            return streamIndex_;
        const AVStream* stream = input_->streams[streamIndex_];
        decoder_ = avcodec_alloc_context3(codec);
        if (!decoder_)
            return AVERROR(ENOMEM);
        rc = avcodec_parameters_to_context(decoder_, stream->codecpar);
        if (rc < 0)
            return rc;
        rc = avcodec_open2(decoder_, codec, nullptr);
        if (rc < 0)
            return rc;
        sourceTimeBase_ = stream->time_base;
        if (stream->duration > 0) {
            duration_ = stream->duration;
        } else if (input_->duration > 0) {
            duration_ = av_rescale_q(input_->duration, AV_TIME_BASE_Q, sourceTimeBase_);
        }
        decoded_ = av_frame_alloc();
        packet_ = av_packet_alloc();
        return decoded_ && packet_ ? 0 : AVERROR(ENOMEM);
    }

    int OpenOutput(const std::string& destination) {
        int rc = file_.Open(destination);
        if (rc < 0)
            return rc;
        rc = avformat_alloc_output_context2(&output_, nullptr, "mp4", nullptr);
        if (rc < 0)
            return rc;
        output_->pb = file_.context();
        output_->flags |= AVFMT_FLAG_CUSTOM_IO;
        const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
        if (!codec)
            return AVERROR_ENCODER_NOT_FOUND;
        encoder_ = avcodec_alloc_context3(codec);
        if (!encoder_)
            return AVERROR(ENOMEM);
        encoder_->width = static_cast<int>(params_.width);
        encoder_->height = static_cast<int>(params_.height);
        encoder_->pix_fmt = AV_PIX_FMT_YUV420P;
        encoder_->time_base = sourceTimeBase_;  // the source's timestamps are kept
        encoder_->framerate = {static_cast<int>(params_.frameRateNumerator),
                               static_cast<int>(params_.frameRateDenominator)};
        encoder_->bit_rate = params_.averageBitRate;
        encoder_->profile = static_cast<int>(params_.profile);
        encoder_->max_b_frames = 0;
        if (output_->oformat->flags & AVFMT_GLOBALHEADER)
            encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        av_opt_set(encoder_->priv_data, "profile", params_.profile == 66 ? "baseline" : "main", 0);
        av_opt_set(encoder_->priv_data, "preset", "veryfast", 0);
        rc = avcodec_open2(encoder_, codec, nullptr);
        if (rc < 0)
            return rc;
        AVStream* stream = avformat_new_stream(output_, nullptr);
        if (!stream)
            return AVERROR(ENOMEM);
        rc = avcodec_parameters_from_context(stream->codecpar, encoder_);
        if (rc < 0)
            return rc;
        stream->time_base = encoder_->time_base;
        stream->avg_frame_rate = encoder_->framerate;
        rc = avformat_write_header(output_, nullptr);
        if (rc < 0)
            return rc;
        outStream_ = stream;
        scaled_ = av_frame_alloc();
        if (!scaled_)
            return AVERROR(ENOMEM);
        scaled_->format = AV_PIX_FMT_YUV420P;
        scaled_->width = encoder_->width;
        scaled_->height = encoder_->height;
        return av_frame_get_buffer(scaled_, 0);
    }

    int ReceiveDecoded() {
        for (;;) {
            int rc = avcodec_receive_frame(decoder_, decoded_);
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
                return 0;
            if (rc < 0)
                return rc;
            rc = ConvertAndEncode();
            av_frame_unref(decoded_);
            if (rc < 0)
                return rc;
        }
    }

    int ConvertAndEncode() {
        int64_t pts = decoded_->best_effort_timestamp;
        if (pts == AV_NOPTS_VALUE)
            pts = lastPts_ == AV_NOPTS_VALUE ? 0 : lastPts_ + 1;
        if (lastPts_ != AV_NOPTS_VALUE && pts <= lastPts_)
            return 0;  // a repeated time is no new frame
        lastPts_ = pts;
        sws_ = sws_getCachedContext(
            sws_, decoded_->width, decoded_->height, static_cast<AVPixelFormat>(decoded_->format),
            scaled_->width, scaled_->height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (!sws_)
            return AVERROR(EINVAL);
        int rc = av_frame_make_writable(scaled_);
        if (rc < 0)
            return rc;
        sws_scale(sws_, decoded_->data, decoded_->linesize, 0, decoded_->height, scaled_->data,
                  scaled_->linesize);
        scaled_->pts = pts;
        rc = Encode(scaled_);
        Report(pts);
        return rc;
    }

    int Encode(AVFrame* frame) {
        int rc = avcodec_send_frame(encoder_, frame);
        while (rc >= 0) {
            rc = avcodec_receive_packet(encoder_, packet_);
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
                return 0;
            if (rc < 0)
                return rc;
            av_packet_rescale_ts(packet_, encoder_->time_base, outStream_->time_base);
            packet_->stream_index = outStream_->index;
            rc = av_interleaved_write_frame(output_, packet_);
            if (rc >= 0 && output_->pb->error < 0)
                rc = output_->pb->error;
        }
        return rc;
    }

    void Report(int64_t pts) {
        if (!progress_ || duration_ <= 0)
            return;
        const auto now = Clock::now();
        if (now - lastReport_ < kProgressEvery)
            return;
        lastReport_ = now;
        progress_(static_cast<int>(std::min<int64_t>(100, pts * 100 / duration_)));
    }

    const TranscodeProgress& progress_;
    Mp4ProfileParams params_;
    AVFormatContext* input_ = nullptr;
    AVFormatContext* output_ = nullptr;
    AVStream* outStream_ = nullptr;
    AVCodecContext* decoder_ = nullptr;
    AVCodecContext* encoder_ = nullptr;
    SwsContext* sws_ = nullptr;
    AVFrame* decoded_ = nullptr;
    AVFrame* scaled_ = nullptr;
    AVPacket* packet_ = nullptr;
    ExclusiveAvioFile file_;
    int streamIndex_ = -1;
    AVRational sourceTimeBase_{1, 12};
    int64_t duration_ = 0;
    int64_t lastPts_ = AV_NOPTS_VALUE;
    Clock::time_point lastReport_{};
};

}  // namespace

int TranscodeToMp4(const TranscodeProgress& progress, const Mp4ProfileParams& params,
                   const std::string& source, const std::string& destination) {
    if (params.width == 0 || params.height == 0 || params.width > 8192 || params.height > 8192 ||
        params.frameRateNumerator == 0 || params.frameRateDenominator == 0)
        return AVERROR(EINVAL);
    Transcoder transcoder(progress, params);
    return transcoder.Run(source, destination);
}

}  // namespace exportfile
