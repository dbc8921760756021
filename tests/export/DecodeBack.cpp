#include "tests/export/DecodeBack.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace exporttest {

DecodedVideo DecodeVideo(const std::string& path, bool keepFrames) {
    DecodedVideo v;
    AVFormatContext* input = nullptr;
    int rc = avformat_open_input(&input, path.c_str(), nullptr, nullptr);
    if (rc < 0) {
        v.status = rc;
        return v;
    }
    rc = avformat_find_stream_info(input, nullptr);
    int index = -1;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        if (input->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            ++v.videoStreams;
            if (index < 0)
                index = static_cast<int>(i);
        } else {
            ++v.otherStreams;
        }
    }
    AVCodecContext* decoder = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* sws = nullptr;
    SwsContext* swsColour = nullptr;
    if (rc >= 0 && index >= 0) {
        const AVStream* stream = input->streams[index];
        const AVCodecParameters* par = stream->codecpar;
        v.codec = avcodec_get_name(par->codec_id);
        v.profile = par->profile;
        v.width = par->width;
        v.height = par->height;
        v.bitsPerCodedSample = par->bits_per_coded_sample;
        v.timeBaseNum = stream->time_base.num;
        v.timeBaseDen = stream->time_base.den;
        if (const AVDictionaryEntry* t = av_dict_get(stream->metadata, "title", nullptr, 0))
            v.title = t->value;
        const AVCodec* codec = avcodec_find_decoder(par->codec_id);
        decoder = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(decoder, par);
        rc = avcodec_open2(decoder, codec, nullptr);
        v.pixelFormat = av_get_pix_fmt_name(decoder->pix_fmt) ? av_get_pix_fmt_name(decoder->pix_fmt) : "";
        int64_t endPts = 0;
        auto receive = [&]() {
            while (avcodec_receive_frame(decoder, frame) >= 0) {
                ++v.frames;
                if (keepFrames) {
                    Image8 grey(frame->width, frame->height);
                    sws = sws_getCachedContext(
                        sws, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                        frame->width, frame->height, AV_PIX_FMT_GRAY8, SWS_POINT, nullptr, nullptr, nullptr);
                    uint8_t* dst[1] = {grey.data()};
                    const int stride[1] = {grey.width()};
                    sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, stride);
                    v.greyFrames.push_back(std::move(grey));
                    Image32 colour(frame->width, frame->height);
                    swsColour = sws_getCachedContext(
                        swsColour, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                        frame->width, frame->height, AV_PIX_FMT_BGR0, SWS_POINT, nullptr, nullptr, nullptr);
                    uint8_t* cdst[1] = {reinterpret_cast<uint8_t*>(colour.data())};
                    const int cstride[1] = {colour.width() * 4};
                    sws_scale(swsColour, frame->data, frame->linesize, 0, frame->height, cdst, cstride);
                    v.lastColourFrame = std::move(colour);
                }
                av_frame_unref(frame);
            }
        };
        while (rc >= 0 && av_read_frame(input, packet) >= 0) {
            if (packet->stream_index == index && packet->size > 0) {
                ++v.packets;
                if (!(packet->flags & AV_PKT_FLAG_KEY))
                    v.allKeyFrames = false;
                if (packet->pts != AV_NOPTS_VALUE)
                    endPts = std::max(endPts, packet->pts + std::max<int64_t>(packet->duration, 0));
                if (avcodec_send_packet(decoder, packet) >= 0)
                    receive();
            }
            av_packet_unref(packet);
        }
        avcodec_send_packet(decoder, nullptr);
        receive();
        v.durationSeconds = static_cast<double>(endPts) * av_q2d(stream->time_base);
    }
    v.status = rc < 0 ? rc : 0;
    sws_freeContext(sws);
    sws_freeContext(swsColour);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&input);
    return v;
}

double MeanGrey(const Image8& image, int top, int bottom) {
    double sum = 0;
    int64_t count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.width(); ++x, ++count)
            sum += image.At(x, y);
    return count ? sum / static_cast<double>(count) : 0;
}

MeanRgb MeanColour(const Image32& image, int left, int top, int right, int bottom) {
    MeanRgb m;
    int64_t count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x, ++count) {
            const uint32_t p = image.At(x, y);
            m.r += (p >> 16) & 0xFF;
            m.g += (p >> 8) & 0xFF;
            m.b += p & 0xFF;
        }
    if (count) {
        m.r /= static_cast<double>(count);
        m.g /= static_cast<double>(count);
        m.b /= static_cast<double>(count);
    }
    return m;
}

}  // namespace exporttest
