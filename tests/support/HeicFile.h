#pragma once

#include <QFile>
#include <QImage>
#include <QString>
#include <libheif/heif.h>

namespace testsupport {

// Writes `image` to `path` as a HEIC file through libheif's HEVC encoder (at high quality; HEVC
// is lossy). False when libheif has no HEVC encoder here or the write fails.
inline bool writeHeic(const QImage &image, const QString &path)
{
    heif_init(nullptr);
    if (!heif_have_encoder_for_format(heif_compression_HEVC))
        return false;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    heif_context *context = heif_context_alloc();
    heif_encoder *encoder = nullptr;
    heif_image *picture = nullptr;
    bool written = false;
    if (heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code ==
            heif_error_Ok &&
        heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB,
                          heif_chroma_interleaved_RGB, &picture)
                .code == heif_error_Ok &&
        heif_image_add_plane(picture, heif_channel_interleaved, rgb.width(), rgb.height(), 8)
                .code == heif_error_Ok) {
        int stride = 0;
        uint8_t *plane = heif_image_get_plane(picture, heif_channel_interleaved, &stride);
        for (int y = 0; y < rgb.height(); ++y)
            memcpy(plane + qsizetype(y) * stride, rgb.constScanLine(y), size_t(rgb.width()) * 3);
        heif_encoder_set_lossy_quality(encoder, 95);
        written = heif_context_encode_image(context, picture, encoder, nullptr, nullptr).code ==
                      heif_error_Ok &&
                  heif_context_write_to_file(context, QFile::encodeName(path).constData()).code ==
                      heif_error_Ok;
    }
    if (picture)
        heif_image_release(picture);
    if (encoder)
        heif_encoder_release(encoder);
    heif_context_free(context);
    return written;
}

} // namespace testsupport
