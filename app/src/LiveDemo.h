// KeloViewApp --live SECONDS [--averages N] [--exposure-ms X]: after the
// start-up the window is worked as an operator would (the boxes set, Live
// pressed), runs for that long and ends as Exit does, printing how many
// spectra went through the window and how fast. The demonstration of the
// instrument and the benchmark of the whole window path.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <optional>

class MainWindow;

namespace kelo::app {

struct LiveDemoOptions {
    double seconds = 0.0;
    std::optional<int> averages;
    std::optional<double> exposureMs;
};

// No --live: no options and no error. A malformed command line: the error.
std::optional<LiveDemoOptions> parseLiveDemo(const QStringList& arguments, QString& error);

extern const char* const kLiveDemoUsage;

class LiveDemo : public QObject {
    Q_OBJECT
public:
    LiveDemo(MainWindow& window, LiveDemoOptions options);
    // Call once the window is assembled.
    void start();

private:
    void finish();

    MainWindow& window;
    const LiveDemoOptions options;
    QElapsedTimer running;
    long spectra = 0;
    long replots = 0;
    int lastFps = 0;
};

}  // namespace kelo::app
