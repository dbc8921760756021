#include "archive/export/VideoFileWriter.h"

#include <cerrno>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include "archive/export/ExclusiveAvioFile.h"
#include "platform/FileSystem.h"

namespace exportfile {

int64_t EstimatedAviBytes(int64_t frames) {
    // Each frame: its data, an 8-byte chunk header and a 16-byte index entry; plus headers.
    return frames * (kVideoFrameBytes + 24) + (1 << 20);
}

struct VideoFileWriter::Impl {
    ExclusiveAvioFile file;
    AVFormatContext* format = nullptr;
    AVStream* stream = nullptr;
    AVCodecContext* encoder = nullptr;  // none for the uncompressed stream
    SwsContext* sws = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    std::vector<uint8_t> bgr;  // one frame, bottom-up BGR24
    bool headerWritten = false;
    int width = kVideoSize;
    int height = kVideoSize;
    AVRational timeBase{1, 12};

    size_t FrameBytes() const { return static_cast<size_t>(width) * static_cast<size_t>(height) * 3; }

    ~Impl() { Release(); }

    void Release() {
        avcodec_free_context(&encoder);
        sws_freeContext(sws);
        sws = nullptr;
        av_frame_free(&frame);
        av_packet_free(&packet);
        if (format) {
            format->pb = nullptr;  // owned by `file`
            avformat_free_context(format);
            format = nullptr;
        }
        stream = nullptr;
        headerWritten = false;
    }

    int OpenEncoder(const VideoCodecChoice& codec) {
        const AVCodec* c = avcodec_find_encoder_by_name(codec.encoder.c_str());
        if (!c)
            return AVERROR_ENCODER_NOT_FOUND;
        encoder = avcodec_alloc_context3(c);
        if (!encoder)
            return AVERROR(ENOMEM);
        encoder->width = width;
        encoder->height = height;
        encoder->time_base = timeBase;
        encoder->framerate = av_inv_q(timeBase);
        encoder->pix_fmt = c->pix_fmts ? c->pix_fmts[0] : AV_PIX_FMT_YUV420P;
        if (codec.encoder == "mjpeg")
            encoder->pix_fmt = AV_PIX_FMT_YUVJ420P;
        if (codec.keyFrameEvery > 0)
            encoder->gop_size = codec.keyFrameEvery;
        if (codec.bytesPerSecond > 0)
            encoder->bit_rate = codec.bytesPerSecond * 8;
        if (codec.quality >= 0 && codec.bytesPerSecond <= 0) {
            // 10000 is the best: map onto the encoders' quantiser scale 2..31.
            encoder->flags |= AV_CODEC_FLAG_QSCALE;
            encoder->global_quality = FF_QP2LAMBDA * (31 - codec.quality * 29 / 10000);
        }
        if (format->oformat->flags & AVFMT_GLOBALHEADER)
            encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        int rc = avcodec_open2(encoder, c, nullptr);
        if (rc < 0)
            return rc;
        rc = avcodec_parameters_from_context(stream->codecpar, encoder);
        if (rc < 0)
            return rc;
        sws = sws_getContext(width, height, AV_PIX_FMT_BGR24, width, height, encoder->pix_fmt, SWS_BICUBIC,
                             nullptr, nullptr, nullptr);
        frame = av_frame_alloc();
        if (!sws || !frame)
            return AVERROR(ENOMEM);
        frame->format = encoder->pix_fmt;
        frame->width = width;
        frame->height = height;
        return av_frame_get_buffer(frame, 0);
    }

    int Drain(AVFrame* input) {
        int rc = avcodec_send_frame(encoder, input);
        while (rc >= 0) {
            rc = avcodec_receive_packet(encoder, packet);
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
                return 0;
            if (rc < 0)
                return rc;
            av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
            packet->stream_index = stream->index;
            rc = av_write_frame(format, packet);
            av_packet_unref(packet);
        }
        return rc;
    }
};

VideoFileWriter::VideoFileWriter() = default;

VideoFileWriter::~VideoFileWriter() {
    Abort();
}

int VideoFileWriter::Open(const std::string& path, int64_t plannedFrames, const VideoCodecChoice& codec) {
    return Open(path, plannedFrames, codec, VideoStreamFormat{});
}

int VideoFileWriter::Open(const std::string& path, int64_t plannedFrames, const VideoCodecChoice& codec,
                          const VideoStreamFormat& format) {
    Abort();
    frames_ = 0;
    if (format.width <= 0 || format.height <= 0 || format.framesPerSecond <= 0)
        return AVERROR(EINVAL);
    const int64_t frameBytes = int64_t{format.width} * format.height * 3;
    const int64_t free = FreeBytesIn(platform::ParentFolder(path));
    if (free >= 0 && free < plannedFrames * (frameBytes + 24) + (1 << 20))
        return AVERROR(ENOSPC);
    impl_ = std::make_unique<Impl>();
    Impl& m = *impl_;
    m.width = format.width;
    m.height = format.height;
    m.timeBase = {1, format.framesPerSecond};
    int rc = m.file.Open(path, format.replaceReservedFile ? TargetMode::ReplaceReserved
                               : format.replaceLeftover   ? TargetMode::ReplaceLeftover
                                                          : TargetMode::Exclusive);
    if (rc < 0)
        return rc;
    rc = avformat_alloc_output_context2(&m.format, nullptr, "avi", nullptr);
    if (rc < 0)
        return rc;
    m.format->pb = m.file.context();
    m.format->flags |= AVFMT_FLAG_CUSTOM_IO;
    m.stream = avformat_new_stream(m.format, nullptr);
    m.packet = av_packet_alloc();
    if (!m.stream || !m.packet)
        return AVERROR(ENOMEM);
    m.stream->time_base = m.timeBase;
    m.stream->avg_frame_rate = av_inv_q(m.timeBase);
    av_dict_set(&m.stream->metadata, "title", "Video #1", 0);
    if (codec.encoder.empty() || codec.encoder == "rawvideo") {
        AVCodecParameters* par = m.stream->codecpar;
        par->codec_type = AVMEDIA_TYPE_VIDEO;
        par->codec_id = AV_CODEC_ID_RAWVIDEO;
        par->codec_tag = 0;  // BI_RGB
        par->format = AV_PIX_FMT_BGR24;
        par->width = m.width;
        par->height = m.height;
        par->bits_per_coded_sample = 24;
    } else {
        rc = m.OpenEncoder(codec);
        if (rc < 0)
            return rc;
    }
    AVDictionary* options = nullptr;
    av_dict_set(&options, "flipped_raw_rgb", "1", 0);  // rows stay bottom-up, height positive
    rc = avformat_write_header(m.format, &options);
    av_dict_free(&options);
    if (rc < 0)
        return rc;
    m.headerWritten = true;
    return 0;
}

int VideoFileWriter::WriteGreyFrame(const Image8& frame) {
    if (!impl_ || !impl_->headerWritten)
        return AVERROR(EINVAL);
    Impl& m = *impl_;
    if (frame.width() != m.width || frame.height() != m.height)
        return AVERROR(EINVAL);
    // Bottom-up rows of B, G, R: the last image row is the first stored row.
    m.bgr.resize(m.FrameBytes());
    uint8_t* out = m.bgr.data();
    for (int y = m.height - 1; y >= 0; --y) {
        const uint8_t* row = frame.Row(y);
        for (int x = 0; x < m.width; ++x, out += 3)
            out[0] = out[1] = out[2] = row[x];
    }
    return WriteBgrFrame(frames_, m.bgr.data(), m.bgr.size());
}

int VideoFileWriter::WriteBgrFrame(int64_t index, const uint8_t* bottomUpBgr, size_t bytes) {
    if (!impl_ || !impl_->headerWritten)
        return AVERROR(EINVAL);
    Impl& m = *impl_;
    if (bytes != m.FrameBytes() || index < 0)
        return AVERROR(EINVAL);
    if (!m.encoder) {
        av_packet_unref(m.packet);
        int rc = av_new_packet(m.packet, static_cast<int>(bytes));
        if (rc < 0)
            return rc;
        std::copy(bottomUpBgr, bottomUpBgr + bytes, m.packet->data);
        // The sample number is the index: the muxer fills skipped numbers with empty chunks.
        m.packet->pts = m.packet->dts = av_rescale_q(index, m.timeBase, m.stream->time_base);
        m.packet->duration = av_rescale_q(1, m.timeBase, m.stream->time_base);
        m.packet->flags |= AV_PKT_FLAG_KEY;
        m.packet->stream_index = m.stream->index;
        rc = av_write_frame(m.format, m.packet);
        av_packet_unref(m.packet);
        if (rc < 0)
            return rc;
        if (m.format->pb->error < 0)
            return m.format->pb->error;
    } else {
        int rc = av_frame_make_writable(m.frame);
        if (rc < 0)
            return rc;
        // Bottom-up rows: start at the last stored row and walk backwards.
        const int stride = m.width * 3;
        const uint8_t* src[1] = {bottomUpBgr +
                                 static_cast<size_t>(m.height - 1) * static_cast<size_t>(stride)};
        const int strides[1] = {-stride};
        sws_scale(m.sws, src, strides, 0, m.height, m.frame->data, m.frame->linesize);
        m.frame->pts = index;
        rc = m.Drain(m.frame);
        if (rc < 0)
            return rc;
        if (m.format->pb->error < 0)
            return m.format->pb->error;
    }
    ++frames_;
    return 0;
}

int VideoFileWriter::Finish() {
    const int rc = Complete();
    return rc < 0 ? rc : Place();
}

int VideoFileWriter::Complete() {
    if (!impl_ || !impl_->headerWritten)
        return AVERROR(EINVAL);
    Impl& m = *impl_;
    int rc = m.encoder ? m.Drain(nullptr) : 0;
    const int trailer = av_write_trailer(m.format);
    if (rc >= 0)
        rc = trailer;
    if (rc >= 0 && m.format->pb->error < 0)
        rc = m.format->pb->error;
    m.headerWritten = false;
    m.Release();
    if (rc >= 0)
        rc = m.file.Close();
    if (rc < 0)
        Abort();
    return rc < 0 ? rc : 0;
}

const std::string& VideoFileWriter::CompletedPath() const {
    static const std::string none;
    return impl_ ? impl_->file.temporary() : none;
}

int VideoFileWriter::Place() {
    if (!impl_)
        return AVERROR(EINVAL);
    const int rc = impl_->file.Place();
    Abort();
    return rc < 0 ? rc : 0;
}

void VideoFileWriter::Abort() {
    if (impl_) {
        impl_->Release();
        impl_->file.Discard();
        impl_.reset();
    }
}

}  // namespace exportfile
