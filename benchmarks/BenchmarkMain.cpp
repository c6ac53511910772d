#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <algorithm>
#include <iomanip>
#include <map>
#include <string>

namespace
{
    constexpr int framesPerBuffer = 512; // as in ProcessBlockBenchmarks.cpp

    /** The console table, then the figures that matter, taken from this same run: how much
        faster the shipped detector is than the lag-by-lag one, and processBlock per frame. */
    class SummaryReporter : public benchmark::ConsoleReporter
    {
    public:
        SummaryReporter() : ConsoleReporter (OO_Tabular) {}

        void ReportRuns (const std::vector<Run>& runs) override
        {
            ConsoleReporter::ReportRuns (runs);

            for (const auto& run : runs)
            {
                if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations <= 0)
                    continue;

                auto name = run.run_name.function_name;

                if (! run.run_name.args.empty())
                    name += "/" + run.run_name.args;

                const auto seconds = run.real_accumulated_time / (double) run.iterations;
                const auto [entry, isNew] = fastest.emplace (name, seconds);

                if (! isNew)
                    entry->second = std::min (entry->second, seconds);
            }
        }

        void Finalize() override
        {
            ConsoleReporter::Finalize();
            auto& out = GetOutputStream();
            out << std::fixed << std::setprecision (2) << "\n";

            const auto shipped = fastest.find ("ShippedDetector");
            const auto lagByLag = fastest.find ("LagByLagDetector");

            if (shipped != fastest.end() && lagByLag != fastest.end())
                out << "Detector, one 48 kHz block: shipped " << shipped->second * 1.0e6 << " us, lag by lag "
                    << lagByLag->second * 1.0e6 << " us: the shipped detector is "
                    << lagByLag->second / shipped->second << "x faster\n";

            for (const auto* rate : { "48000", "192000" })
            {
                const auto processBlock = fastest.find (std::string ("ProcessBlock/") + rate);

                if (processBlock != fastest.end())
                    out << "processBlock at " << rate << " Hz, " << framesPerBuffer << "-sample buffers: "
                        << processBlock->second * 1.0e9 / framesPerBuffer << " ns per stereo frame\n";
            }
        }

    private:
        std::map<std::string, double> fastest; // seconds per iteration, by benchmark
    };
}

int main (int argc, char** argv)
{
    // The processor's parameter tree wants JUCE's message machinery, as in the app.
    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    benchmark::Initialize (&argc, argv);

    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks (&reporter);
    benchmark::Shutdown();
    return 0;
}
