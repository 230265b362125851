#pragma once

#include "OffscreenScreen.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// The main function of a benchmark program that draws: an offscreen application on a screen of
// a desktop's size unless a platform is named, then every registered benchmark.
#define QUILLMARK_GUI_BENCHMARK_MAIN()                                                             \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        const QTemporaryDir platformFolder;                                                        \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", offscreenscreen::platform(platformFolder));                 \
        QApplication app(argc, argv);                                                              \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
