#pragma once

#include <QString>

namespace quillmark {

inline const QString applicationName = QStringLiteral("Quillmark");

// Names the application and its organisation, so settings land under "Quillmark".
void applyApplicationIdentity();

} // namespace quillmark
