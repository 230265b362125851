#include "setup/HeifPicture.h"

#include <libheif/heif.h>
#include <memory>

namespace {

struct ContextFree {
    void operator()(heif_context *context) const { heif_context_free(context); }
};
struct HandleRelease {
    void operator()(const heif_image_handle *handle) const { heif_image_handle_release(handle); }
};
struct ImageRelease {
    void operator()(const heif_image *image) const { heif_image_release(image); }
};
using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<const heif_image_handle, HandleRelease>;
using Image = std::unique_ptr<const heif_image, ImageRelease>;

// Registers libheif's decoders once, for the life of the program.
void initialise()
{
    static const bool initialised = [] {
        heif_init(nullptr);
        return true;
    }();
    (void)initialised;
}

// The context over `file` (which must outlive it) and its primary picture; a null handle when
// the file does not read.
struct Primary {
    Context context;
    Handle handle;
};

Primary primaryOf(const QByteArray &file)
{
    initialise();
    Primary primary{Context(heif_context_alloc()), nullptr};
    if (!primary.context)
        return primary;
    if (heif_context_read_from_memory_without_copy(primary.context.get(), file.constData(),
                                                   size_t(file.size()), nullptr)
            .code != heif_error_Ok)
        return primary;
    heif_image_handle *handle = nullptr;
    if (heif_context_get_primary_image_handle(primary.context.get(), &handle).code == heif_error_Ok)
        primary.handle.reset(handle);
    return primary;
}

} // namespace

namespace HeifPicture {

bool isHeif(const QByteArray &head)
{
    if (head.size() < 12)
        return false;
    return heif_check_filetype(reinterpret_cast<const uint8_t *>(head.constData()),
                               int(head.size())) == heif_filetype_yes_supported;
}

QSize size(const QByteArray &file)
{
    const Primary primary = primaryOf(file);
    if (!primary.handle)
        return {};
    return QSize(heif_image_handle_get_width(primary.handle.get()),
                 heif_image_handle_get_height(primary.handle.get()));
}

QImage decode(const QByteArray &file, qint64 byteLimit)
{
    const Primary primary = primaryOf(file);
    if (!primary.handle)
        return {};
    const heif_image_handle *handle = primary.handle.get();
    const qint64 pixels =
        qint64(heif_image_handle_get_width(handle)) * qint64(heif_image_handle_get_height(handle));
    if (pixels <= 0 || pixels * 4 > byteLimit)
        return {};
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    heif_image *decoded = nullptr;
    if (heif_decode_image(handle, &decoded, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                          nullptr)
            .code != heif_error_Ok)
        return {};
    const Image image(decoded);
    const int width = heif_image_get_width(decoded, heif_channel_interleaved);
    const int height = heif_image_get_height(decoded, heif_channel_interleaved);
    int stride = 0;
    const uint8_t *plane =
        heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    if (!plane || width <= 0 || height <= 0)
        return {};
    // Copied out of libheif's buffer, which goes with the decoded image.
    return QImage(plane, width, height, stride,
                  alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888)
        .copy();
}

} // namespace HeifPicture
