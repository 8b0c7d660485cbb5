// SPDX-License-Identifier: GPL-3.0-or-later
// Times one whole tick of the counter, Counter::Tick(), through the real Linux layer, in the
// namespace it runs in, and beside it the floor: one bare link dump and one bare IPv4 address dump
// over one kept netlink socket. The argument says which branch the tick must take; the run fails
// when it took the other. Prints one line of medians and 90th percentiles in microseconds.

#include "bench/bench_floor.h"
#include "counter/counter.h"
#include "counter/counter_files.h"
#include "netstats/detail_grid.h"
#include "netstats/traffic_sampler.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The window as far as the tick needs it: the sampler's fills into a real grid, the connected flag;
// the strip, tray and dialogs cost nothing here.
class BenchView : public CounterView {
public:
    explicit BenchView(DetailGrid& grid) : grid_(grid), sampler_(grid) {}

    int lastFill() const { return lastFill_; } // the last fill's flag, -1 before any
    std::size_t interfaces() const { return sampler_.IfStats().size(); }

    Look CurrentLook() const override { return look_; }
    void ShowLook(Look look) override { look_ = look; }
    void ShowCumulatedTime(const QString&) override {}
    void ShowConnectionTime(const QString&) override {}
    void ShowThroughput(const QString&) override {}
    void ShowAlarm(bool) override {}
    void SetDialEnabled(bool, bool) override {}
    void ShowTrayFrame(int) override {}
    void ShowApplicationIcon() override {}
    HWND Handle() override { return nullptr; }
    const DetailGrid& Grid() const override { return grid_; }
    void CaptureMIBData(bool flag) override {
        lastFill_ = flag ? 1 : 0;
        sampler_.CaptureMIBData(flag);
    }
    void ShowResetDayAndMonth(const QString&) override {}
    void ShowMessage(const QString&) override {}
    void ShowError(const QString&) override {}
    bool Confirm(const QString&) override { return false; }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<BillingRule> AskBillingRule(const BillingRule&) override { return std::nullopt; }
    void ShowHelpWindow() override {}
    void Terminate() override {}

private:
    DetailGrid& grid_;
    TrafficSampler sampler_;
    Look look_ = Look::Design;
    int lastFill_ = -1;
};

} // namespace

int main(int argc, char** argv) {
    bench::useOffscreenUnlessSet();
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
    const bool wantConnected = argc > 2 && std::strcmp(argv[2], "connected") == 0;
    // The counter's files are written in the working directory.
    QTemporaryDir workDir;
    if (!workDir.isValid() || !QDir::setCurrent(workDir.path())) {
        std::fprintf(stderr, "no temporary working directory\n");
        return EXIT_FAILURE;
    }

    DetailGrid grid; // the detail window is made only when shown
    BenchView view(grid);
    Counter counter(view);
    // No plan: after an hour of connected ticks, thousands of them here, its alarm would ring.
    WriteCounterFile(NewCounterFile(QStringLiteral("0")));
    // As the window's start: a disconnected fill, then the reload of the counter file.
    counter.ResetConnection();
    view.CaptureMIBData(true);
    counter.Reload();
    // The first tick may change the state; the ones measured keep it.
    counter.Tick();

    bool floorOk = false;
    const bench::Figures floor = bench::measureFloor(seconds, floorOk);
    const bench::Figures tick = bench::measure([&] { counter.Tick(); }, seconds, 15);

    const bool connected = counter.Connected() && view.lastFill() == 0;
    const bool disconnected = !counter.Connected() && view.lastFill() == 1;
    const bool asIntended = wantConnected ? connected : disconnected;
    const double target = wantConnected ? 1.5 : 2.5;
    std::printf("%-12s tick: median %8.1f us  p90 %8.1f us (%6zu runs)   "
                "floor: median %6.1f us  p90 %6.1f us (%6zu runs)   "
                "ratio: median %5.2fx  p90 %5.2fx (target %.1fx: %s)   "
                "branch: %s, last fill CaptureMIBData(%s), rows=%zu\n",
                wantConnected ? "connected" : "disconnected", tick.median, tick.p90, tick.runs,
                floor.median, floor.p90, floor.runs, tick.median / floor.median,
                tick.p90 / floor.p90, target, bench::verdict(tick.median, floor.median, target),
                counter.Connected() ? "connected" : "disconnected",
                view.lastFill() == 0 ? "false" : "true", view.interfaces());
    if (!asIntended || !floorOk) {
        std::fprintf(stderr, "%s\n",
                     floorOk ? "the tick did not take the intended branch" : "a floor dump failed");
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
