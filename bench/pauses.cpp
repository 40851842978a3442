#include "bench_window.h"
#include "measurements.h"
#include "support/probe.h"

#include <cmath>

double measurePauses(const ZorbleckProbe& probe, BenchWindow& window, Report& report)
{
    // 200 pauses of each length and as many bare waits on the same clock,
    // interleaved in chunks of ten so that both meet the same load.
    constexpr int Rounds = 20, Chunk = 10;
    struct Series {
        std::vector<double> overshoot, bare, pumps;
    } series[Pauses.size()];
    double bareCpu = 0, bareWall = 0;

    for (int round = 0; round < Rounds; ++round) {
        for (std::size_t i = 0; i < Pauses.size(); ++i) {
            const double pause = Pauses.at(i).seconds;
            for (int k = 0; k < Chunk; ++k) {
                const long pumps = window.pumps;
                const double start = window.clock();
                probe.timeOut(pause);
                series[i].overshoot.push_back((window.clock() - start - pause) * 1e6);
                series[i].pumps.push_back(static_cast<double>(window.pumps - pumps));
            }
            for (int k = 0; k < Chunk; ++k) {
                const double cpu = threadCpuSeconds(), start = window.clock();
                while (window.clock() - start < pause) { }
                const double end = window.clock();
                series[i].bare.push_back((end - start - pause) * 1e6);
                bareCpu += threadCpuSeconds() - cpu;
                bareWall += end - start;
            }
        }
    }

    for (std::size_t i = 0; i < Pauses.size(); ++i) {
        const std::string name = "pause " + std::to_string(std::lround(Pauses.at(i).seconds * 1000)) + " ms";
        report.add(name + ": TimeOut overshoot", "us", series[i].overshoot).asDelays().atMost(Goal::Median, 10);
        report.reference("bare busy-wait on the same clock", "us", series[i].bare).asDelays();
        report.add(name + ": pumps per pause", "pumps", series[i].pumps);
    }
    return 100 * bareCpu / bareWall;
}
