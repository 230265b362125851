#pragma once

#include "model/RawEnum.h"

// What the user chose for one image import: keep the picture's size or shrink it to fit
// `maxDimension`, and keep its encoding or write PNG or JPEG.
struct ImageImportOptions {
    enum class SizeMode { keepOriginal, resize };
    enum class FormatMode { keepOriginal, png, jpeg };

    SizeMode sizeMode = SizeMode::keepOriginal;
    // The longest side allowed when resizing, in pixels.
    double maxDimension = 800;
    // Both sides scaled by one factor, or both made `maxDimension`.
    bool preserveAspectRatio = true;
    FormatMode formatMode = FormatMode::keepOriginal;
    // The JPEG compression factor, 0 to 1, whenever JPEG is written.
    double jpegQuality = 0.85;

    bool operator==(const ImageImportOptions &) const = default;
};

// The texts the sheet shows for the choices.
QUILLMARK_ENUM_TEXTS(ImageImportOptions::SizeMode,
                     {ImageImportOptions::SizeMode::keepOriginal, "Keep Original Size"},
                     {ImageImportOptions::SizeMode::resize, "Resize"});
QUILLMARK_ENUM_TEXTS(ImageImportOptions::FormatMode,
                     {ImageImportOptions::FormatMode::keepOriginal, "Keep Original Format"},
                     {ImageImportOptions::FormatMode::png, "Convert to PNG"},
                     {ImageImportOptions::FormatMode::jpeg, "Convert to JPEG"});
