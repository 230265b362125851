#pragma once

#include <QCoreApplication>
#include <benchmark/benchmark.h>

// The main function of a benchmark program that draws nothing: an application without a
// window system, then every registered benchmark.
#define QUILLMARK_CORE_BENCHMARK_MAIN()                                                            \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        QCoreApplication app(argc, argv);                                                          \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
