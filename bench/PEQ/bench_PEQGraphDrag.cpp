// Recompute time of the PEQ response graph while a band is dragged.
//
//   bench_PEQGraphDrag [steps]      (default 1000)
//
// A 649 x 325 graph with six bands (a low shelf, four bells, a high shelf) and its combined curve.
// Each step drags one bell to a new point and runs the graph's update timer until it is idle: the
// bell's quick pass, its full pass, and the combined curve of all six bands with the simplification
// of every path. Printed: the median, the 99th percentile and the worst step, in wall-clock time and
// in the thread's own CPU time (which a busy machine's preemptions do not inflate), against the goal
// of 2 ms (a drag step fits in one 60 Hz frame with room left for rendering).

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBackEnd2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBand2.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace
{

constexpr double GOAL_MS = 2.0;

// Runs the graph's update timer until nothing is scheduled.
void RunUpdates(const cPEQQmlBackEnd2& backEnd)
{
    for (int i = 0; i < 100 && backEnd.IsUpdateScheduled(); ++i)
    {
        QCoreApplication::processEvents();
    }
}

double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct sFigures
{
    double mMedian;
    double mP99;
    double mWorst;
};

sFigures Figures(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[std::min(times.size() - 1, times.size() * 99 / 100)],
            times.back()};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int steps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;

    cPEQQmlBackEnd2 backEnd;
    cPEQQmlBand2 bands[6];
    const nPEQ::eParametricEQType types[6] = {nPEQ::LFSHELF, nPEQ::BELL, nPEQ::BELL,
                                              nPEQ::BELL,    nPEQ::BELL, nPEQ::HFSHELF};
    const double hertz[6] = {60.0, 200.0, 800.0, 2500.0, 6000.0, 12000.0};
    const double gains[6] = {4.0, -3.0, 6.0, -9.0, 2.0, -4.0};
    for (int i = 0; i < 6; ++i)
    {
        backEnd.AppendBand(&bands[i]);
        bands[i].SetBandTypeValue(UBYTE(types[i]));
        bands[i].SetFrequency(ConvertFrequencyToUWORD(hertz[i]));
        bands[i].SetWidth(UWORD(20 << 8));
        bands[i].SetGain(UWORD(GAIN(gains[i] * 256.0)));
    }
    RunUpdates(backEnd);

    cPEQQmlBand2& dragged = bands[2];
    std::vector<double> wallTimes;
    std::vector<double> cpuTimes;
    wallTimes.reserve(size_t(steps));
    cpuTimes.reserve(size_t(steps));
    const int warmUp = 20;
    for (int step = -warmUp; step < steps; ++step)
    {
        const double phase = double(step) / 37.0;
        const int x = 60 + int(270.0 * (1.0 + std::sin(phase)));
        const int y = 40 + int(120.0 * (1.0 + std::cos(phase * 1.3)));
        QElapsedTimer timer;
        const double cpuStart = ThreadCpuMs();
        timer.start();
        dragged.setDragPos(x, y);
        RunUpdates(backEnd);
        const double wallMs = double(timer.nsecsElapsed()) / 1e6;
        const double cpuMs = ThreadCpuMs() - cpuStart;
        if (backEnd.IsUpdateScheduled() || dragged.GetMagnitudes().size() != 650)
        {
            std::printf("the graph did not settle after step %d\n", step);
            return 1;
        }
        if (step >= 0)
        {
            wallTimes.push_back(wallMs);
            cpuTimes.push_back(cpuMs);
        }
    }

    const sFigures wall = Figures(wallTimes);
    const sFigures cpu = Figures(cpuTimes);
    std::printf("PEQ graph drag, %d steps, 649 x 325 pixels, 6 bands and the combined curve\n", steps);
    std::printf("  recompute per step, wall clock: median %.3f ms, 99%% %.3f ms, worst %.3f ms\n",
                wall.mMedian, wall.mP99, wall.mWorst);
    std::printf("  recompute per step, thread CPU: median %.3f ms, 99%% %.3f ms, worst %.3f ms\n",
                cpu.mMedian, cpu.mP99, cpu.mWorst);
    std::printf("  goal: under %.1f ms per step; worst %s (wall clock), %s (thread CPU)\n", GOAL_MS,
                wall.mWorst < GOAL_MS ? "within" : "OVER", cpu.mWorst < GOAL_MS ? "within" : "OVER");
    return 0;
}
