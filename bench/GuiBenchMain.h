#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

// The main function of a benchmark program that draws: an offscreen application unless a
// platform is named, then every registered benchmark.
#define QUILLMARK_GUI_BENCHMARK_MAIN()                                                             \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        QApplication app(argc, argv);                                                              \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
