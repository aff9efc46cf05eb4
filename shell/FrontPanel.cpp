#include "FrontPanel.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: jump back to the
// decoder instead of letting the library end the process.
struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void jpegErrorExit(j_common_ptr info)
{
    auto *err = reinterpret_cast<JpegError *>(info->err);
    std::longjmp(err->jump, 1);
}

void jpegSilentMessage(j_common_ptr)
{
}

// Everything the decoder changes after setjmp lives here, behind a pointer that stays put,
// so the values are still valid when a jump lands back.
struct JpegDecoder {
    jpeg_decompress_struct info{};
    JpegError err{};
    bool created = false;
    std::vector<unsigned char> pixels;
    int width = 0;
    int height = 0;
};

bool decodeInto(JpegDecoder *d, const unsigned char *data, std::size_t size)
{
    d->info.err = jpeg_std_error(&d->err.mgr);
    d->err.mgr.error_exit = jpegErrorExit;
    d->err.mgr.output_message = jpegSilentMessage;
    if (setjmp(d->err.jump)) {
        if (d->created)
            jpeg_destroy_decompress(&d->info);
        d->created = false;
        return false;
    }
    jpeg_create_decompress(&d->info);
    d->created = true;
    jpeg_mem_src(&d->info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&d->info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&d->info);
        d->created = false;
        return false;
    }
    d->info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d->info);
    d->width = static_cast<int>(d->info.output_width);
    d->height = static_cast<int>(d->info.output_height);
    const std::size_t stride = static_cast<std::size_t>(d->width) * 3;
    d->pixels.assign(stride * static_cast<std::size_t>(d->height), 0);
    while (d->info.output_scanline < d->info.output_height) {
        JSAMPROW row = d->pixels.data() + stride * d->info.output_scanline;
        jpeg_read_scanlines(&d->info, &row, 1);
    }
    jpeg_finish_decompress(&d->info);
    jpeg_destroy_decompress(&d->info);
    d->created = false;
    return d->width > 0 && d->height > 0;
}

} // namespace

QImage DecodeJpeg(const unsigned char *data, std::size_t size)
{
    if (data == nullptr || size < 4)
        return {};
    auto d = std::make_unique<JpegDecoder>();
    if (!decodeInto(d.get(), data, size))
        return {};
    QImage image(d->width, d->height, QImage::Format_RGB888);
    if (image.isNull())
        return {};
    const std::size_t stride = static_cast<std::size_t>(d->width) * 3;
    for (int y = 0; y < d->height; ++y)
        std::memcpy(image.scanLine(y), d->pixels.data() + stride * static_cast<std::size_t>(y), stride);
    return image;
}

QImage ShellPicture(const std::string &name)
{
    const ShellPictureData bytes = ShellPictureBytes(name);
    if (bytes.size == 0)
        return {};
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".jpg") == 0)
        return DecodeJpeg(bytes.data, bytes.size);
    QImage image;
    image.loadFromData(bytes.data, static_cast<int>(bytes.size));
    return image;
}
