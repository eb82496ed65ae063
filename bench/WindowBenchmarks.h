#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

#include <functional>

namespace zelvora::bench {

// Runs the benchmarks of windows, which need an application object: on the offscreen platform
// unless told otherwise. `add` registers the benchmarks made at run time, after the command line
// was read.
inline void RunWindowBenchmarks(int argc, char** argv, const std::function<void()>& add = {}) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    if (add)
        add();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}

} // namespace zelvora::bench
