#include "setup/HeifPicture.h"

#include <QLibrary>
#include <libheif/heif.h>
#include <malloc.h>
#include <memory>

namespace {

// libheif and its codecs, loaded the first time a HEIF file is read: a designer that never meets
// one does not carry them.
struct Heif {
    decltype(&heif_init) init = nullptr;
    decltype(&heif_check_filetype) checkFiletype = nullptr;
    decltype(&heif_context_alloc) contextAlloc = nullptr;
    decltype(&heif_context_free) contextFree = nullptr;
    decltype(&heif_context_read_from_memory_without_copy) readFromMemory = nullptr;
    decltype(&heif_context_get_primary_image_handle) primaryHandle = nullptr;
    decltype(&heif_image_handle_release) handleRelease = nullptr;
    decltype(&heif_image_handle_get_width) handleWidth = nullptr;
    decltype(&heif_image_handle_get_height) handleHeight = nullptr;
    decltype(&heif_image_handle_has_alpha_channel) handleHasAlpha = nullptr;
    decltype(&heif_decode_image) decodeImage = nullptr;
    decltype(&heif_image_get_width) imageWidth = nullptr;
    decltype(&heif_image_get_height) imageHeight = nullptr;
    decltype(&heif_image_get_plane_readonly) planeReadonly = nullptr;
    decltype(&heif_image_release) imageRelease = nullptr;

    // The library with every function found and initialised, or null.
    static const Heif *loaded()
    {
        static const std::unique_ptr<Heif> heif = load();
        return heif.get();
    }

private:
    static std::unique_ptr<Heif> load()
    {
        QLibrary library(QStringLiteral("heif"), 1);
        if (!library.load())
            return nullptr;
        auto heif = std::make_unique<Heif>();
        bool found = true;
        const auto resolve = [&](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                library.resolve(name));
            found = found && function;
        };
        resolve(heif->init, "heif_init");
        resolve(heif->checkFiletype, "heif_check_filetype");
        resolve(heif->contextAlloc, "heif_context_alloc");
        resolve(heif->contextFree, "heif_context_free");
        resolve(heif->readFromMemory, "heif_context_read_from_memory_without_copy");
        resolve(heif->primaryHandle, "heif_context_get_primary_image_handle");
        resolve(heif->handleRelease, "heif_image_handle_release");
        resolve(heif->handleWidth, "heif_image_handle_get_width");
        resolve(heif->handleHeight, "heif_image_handle_get_height");
        resolve(heif->handleHasAlpha, "heif_image_handle_has_alpha_channel");
        resolve(heif->decodeImage, "heif_decode_image");
        resolve(heif->imageWidth, "heif_image_get_width");
        resolve(heif->imageHeight, "heif_image_get_height");
        resolve(heif->planeReadonly, "heif_image_get_plane_readonly");
        resolve(heif->imageRelease, "heif_image_release");
        if (!found)
            return nullptr;
        // Registers the decoders; the library stays loaded for the life of the program.
        heif->init(nullptr);
        return heif;
    }
};

// The context over `file` (which must outlive it) and its primary picture; a null handle when
// the file does not read.
class Primary {
public:
    Primary(const Heif &heif, const QByteArray &file) : heif_(heif), context_(heif.contextAlloc())
    {
        heif_image_handle *handle = nullptr;
        if (context_ &&
            heif.readFromMemory(context_, file.constData(), size_t(file.size()), nullptr).code ==
                heif_error_Ok &&
            heif.primaryHandle(context_, &handle).code == heif_error_Ok)
            handle_ = handle;
    }
    ~Primary()
    {
        if (handle_)
            heif_.handleRelease(handle_);
        if (context_)
            heif_.contextFree(context_);
    }
    Primary(const Primary &) = delete;
    Primary &operator=(const Primary &) = delete;

    const heif_image_handle *handle() const { return handle_; }

private:
    const Heif &heif_;
    heif_context *context_;
    heif_image_handle *handle_ = nullptr;
};

// Whether the file's first box names a brand of the HEIF family: told without the library.
bool hasHeifBrand(const QByteArray &head)
{
    if (head.size() < 12 || head.mid(4, 4) != "ftyp")
        return false;
    const QByteArray brand = head.mid(8, 4);
    for (const char *known : {"heic", "heix", "heim", "heis", "hevc", "hevx", "hevm", "hevs",
                              "mif1", "msf1", "avif", "avis"}) {
        if (brand == known)
            return true;
    }
    return false;
}

} // namespace

namespace HeifPicture {

bool isHeif(const QByteArray &head)
{
    if (!hasHeifBrand(head))
        return false;
    const Heif *heif = Heif::loaded();
    return heif && heif->checkFiletype(reinterpret_cast<const uint8_t *>(head.constData()),
                                       int(head.size())) == heif_filetype_yes_supported;
}

QSize size(const QByteArray &file)
{
    const Heif *heif = Heif::loaded();
    if (!heif)
        return {};
    const Primary primary(*heif, file);
    if (!primary.handle())
        return {};
    return QSize(heif->handleWidth(primary.handle()), heif->handleHeight(primary.handle()));
}

namespace {

QImage decodeScaled(const QByteArray &file, qint64 byteLimit, const QSize &size)
{
    const Heif *heif = Heif::loaded();
    if (!heif)
        return {};
    const Primary primary(*heif, file);
    const heif_image_handle *handle = primary.handle();
    if (!handle)
        return {};
    const qint64 pixels = qint64(heif->handleWidth(handle)) * qint64(heif->handleHeight(handle));
    if (pixels <= 0 || pixels * 4 > byteLimit)
        return {};
    const bool alpha = heif->handleHasAlpha(handle) != 0;
    heif_image *decoded = nullptr;
    if (heif->decodeImage(handle, &decoded, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                          nullptr)
            .code != heif_error_Ok)
        return {};
    const std::unique_ptr<heif_image, decltype(heif->imageRelease)> image(decoded,
                                                                          heif->imageRelease);
    const int width = heif->imageWidth(decoded, heif_channel_interleaved);
    const int height = heif->imageHeight(decoded, heif_channel_interleaved);
    int stride = 0;
    const uint8_t *plane = heif->planeReadonly(decoded, heif_channel_interleaved, &stride);
    if (!plane || width <= 0 || height <= 0)
        return {};
    // Read in place; what is returned is copied or scaled out of libheif's buffer, which goes
    // with the decoded image.
    const QImage inPlace(plane, width, height, stride,
                         alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    if (size.isEmpty() || size == inPlace.size())
        return inPlace.copy();
    return inPlace.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QImage decode(const QByteArray &file, qint64 byteLimit, const QSize &size)
{
    QImage picture = decodeScaled(file, byteLimit, size);
    // The decoder's buffers of some hundred megabytes were freed on this thread's heap, where
    // they would stay resident; they go back to the system at once.
    malloc_trim(0);
    return picture;
}

} // namespace HeifPicture
