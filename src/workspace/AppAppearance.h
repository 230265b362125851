#pragma once

#include "model/RawEnum.h"

// The window's colour scheme: "System" follows the platform, the other two force one.
enum class AppAppearance { system, light, dark };
QUILLMARK_ENUM_TEXTS(AppAppearance, {AppAppearance::system, "System"},
                     {AppAppearance::light, "Light"}, {AppAppearance::dark, "Dark"});
