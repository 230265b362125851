#pragma once

#include "engine/SidecarClient.h"

// The engine a benchmark drives: the environment's overrides, else the system Java and the jar
// built in this checkout.
inline SidecarClient::Location benchEngineLocation()
{
    return {
        qEnvironmentVariable("QUILLMARK_JAVA", QStringLiteral("/usr/bin/java")),
        qEnvironmentVariable("QUILLMARK_SIDECAR_JAR",
                             QStringLiteral(QUILLMARK_SOURCE_DIR "/sidecar/target/sidecar.jar"))};
}
