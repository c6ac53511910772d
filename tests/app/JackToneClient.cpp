// A JACK client for the end-to-end tests: plays tones into the tuner's inputs, records the
// tuner's output, and checks that the output is the input delayed by whole frames.
//
// It reads commands on stdin, one a line, and answers each on stdout:
//   connect <client>         connect to <client>:in_1, in_2 and from <client>:out_1
//   tone <hz> <amplitude>    play a sine from the next period on (phase continuous)
//   silence                  play zeros
//   check                    compare what was recorded with what was played
//   measure                  compare window by window, for a path whose delay may move
//                            (Wine's buffers)
//   quit
// It prints "ready" once it runs, and "ok ..." or "error ..." after every command.

#include <jack/jack.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{
    constexpr double twoPi = 6.283185307179586;
    constexpr size_t maxRecordedFrames = 48000 * 120;

    struct Recorder
    {
        jack_client_t* client = nullptr;
        jack_port_t* output = nullptr;
        jack_port_t* input = nullptr;

        std::atomic<double> frequency { 0.0 };
        std::atomic<float> amplitude { 0.0f };
        double phase = 0.0;
        double sampleRate = 48000.0;

        std::vector<float> played = std::vector<float> (maxRecordedFrames, 0.0f);
        std::vector<float> recorded = std::vector<float> (maxRecordedFrames, 0.0f);
        std::atomic<size_t> framesDone { 0 };
        std::atomic<int> xruns { 0 };
        std::array<std::atomic<size_t>, 64> xrunFrames {};
    };

    int countXrun (void* arg)
    {
        auto& r = *static_cast<Recorder*> (arg);
        // Where the recording was when it happened, near enough to tell which windows it touched.
        const auto index = (size_t) r.xruns.fetch_add (1);

        if (index < r.xrunFrames.size())
            r.xrunFrames[index].store (r.framesDone.load());

        return 0;
    }

    int process (jack_nframes_t numFrames, void* arg)
    {
        auto& r = *static_cast<Recorder*> (arg);
        auto* out = static_cast<float*> (jack_port_get_buffer (r.output, numFrames));
        const auto* in = static_cast<const float*> (jack_port_get_buffer (r.input, numFrames));

        const auto frequency = r.frequency.load();
        const auto amplitude = r.amplitude.load();
        const auto increment = twoPi * frequency / r.sampleRate;
        auto done = r.framesDone.load();

        for (jack_nframes_t i = 0; i < numFrames; ++i)
        {
            out[i] = amplitude > 0.0f ? (float) (amplitude * std::sin (r.phase)) : 0.0f;
            r.phase = std::fmod (r.phase + increment, twoPi);

            if (done < maxRecordedFrames)
            {
                r.played[done] = out[i];
                r.recorded[done] = in[i];
                ++done;
            }
        }

        r.framesDone.store (done);
        return 0;
    }

    /** The longest delay between what is played and what comes back that the checks look for. */
    constexpr size_t maxDelayFrames = 16384;

    /** The first frame played that is not silence; done when there is none. */
    size_t firstSoundFrame (const Recorder& r, size_t done)
    {
        size_t frame = 0;

        while (frame < done && r.played[frame] == 0.0f)
            ++frame;

        return frame;
    }

    /** Finds the delay at which the recording repeats what was played, then checks every
        frame after it. The tuner passes audio through untouched, so the match is exact, except
        where the server reported an xrun: a period the tuner was not run for arrives as
        silence, which is the machine's load, not the tuner's doing. */
    std::string checkPassThrough (const Recorder& r)
    {
        const auto done = r.framesDone.load();
        const auto firstSound = firstSoundFrame (r, done);

        if (firstSound == done)
            return "error nothing was played";

        size_t bestLag = 0, fewestMismatches = done, firstMismatch = 0;

        for (size_t lag = 0; lag <= maxDelayFrames && firstSound + lag < done; ++lag)
        {
            if (r.recorded[firstSound + lag] != r.played[firstSound])
                continue;

            size_t compared = 0, mismatches = 0, lostToXruns = 0, first = 0;

            for (size_t n = firstSound; n + lag < done; ++n, ++compared)
            {
                if (r.recorded[n + lag] == r.played[n])
                    continue;

                if (r.recorded[n + lag] == 0.0f && r.xruns.load() > 0)
                    ++lostToXruns;
                else if (mismatches++ == 0)
                    first = n;
            }

            if (mismatches == 0 && compared > 1000)
            {
                std::ostringstream result;
                result << "ok lag " << lag << " frames, " << compared - lostToXruns << " frames identical";

                if (lostToXruns > 0)
                    result << ", " << lostToXruns << " silent after " << r.xruns.load() << " xruns";

                return result.str();
            }

            if (mismatches < fewestMismatches)
            {
                fewestMismatches = mismatches;
                bestLag = lag;
                firstMismatch = first;
            }
        }

        if (fewestMismatches < done)
        {
            std::ostringstream result;
            result << "error at lag " << bestLag << ", " << fewestMismatches << " frames differ, the first at frame "
                   << firstMismatch << " of " << done << " (played " << r.played[firstMismatch] << ", recorded "
                   << r.recorded[firstMismatch + bestLag] << ", " << r.xruns.load() << " xruns)";
            return result.str();
        }

        return "error the output never matched the input";
    }

    /** For a path whose delay may move (Wine's buffers slip by a period when its timing does
        on a loaded machine, or keep what they hold while JACK skips a period at an xrun): the
        recording is compared window by window, each at the delay that repeats it exactly. A
        window that no delay repeats counts as where the delay moved when the windows around
        it were repeated at different delays, as beside an xrun when one was reported within a
        second of it, and as unexplained otherwise. */
    std::string measurePassThrough (const Recorder& r)
    {
        constexpr size_t windowLength = 4096, maxLag = maxDelayFrames, xrunReach = 48000;
        constexpr long unmatched = -1;
        const auto done = r.framesDone.load();
        const auto xrunCount = std::min ((size_t) r.xruns.load(), r.xrunFrames.size());
        const auto firstSound = firstSoundFrame (r, done);

        const auto repeats = [&r] (size_t start, size_t lag) {
            for (auto n = start; n < start + windowLength; ++n)
                if (r.recorded[n + lag] != r.played[n])
                    return false;

            return true;
        };

        const auto besideAnXrun = [&r, xrunCount] (size_t start) {
            for (size_t i = 0; i < xrunCount; ++i)
            {
                const auto frame = r.xrunFrames[i].load();

                if (frame + xrunReach >= start && frame <= start + windowLength + maxLag + xrunReach)
                    return true;
            }

            return false;
        };

        std::vector<std::pair<size_t, long>> windows; // start, delay
        size_t lag = 0;

        for (auto start = firstSound; start + windowLength + maxLag <= done; start += windowLength)
        {
            if (std::all_of (r.played.begin() + (long) start, r.played.begin() + (long) (start + windowLength),
                             [] (float sample) { return sample == 0.0f; }))
                continue;

            auto found = repeats (start, lag);

            for (size_t candidate = 0; ! found && candidate <= maxLag; ++candidate)
                if (repeats (start, candidate))
                {
                    lag = candidate;
                    found = true;
                }

            windows.emplace_back (start, found ? (long) lag : unmatched);
        }

        if (windows.empty())
            return "error nothing was played";

        size_t identical = 0, moved = 0, beside = 0, unexplained = 0;
        std::set<long> lags;

        for (size_t i = 0; i < windows.size(); ++i)
        {
            if (windows[i].second != unmatched)
            {
                ++identical;
                lags.insert (windows[i].second);
                continue;
            }

            auto before = unmatched, after = unmatched;

            for (auto j = i; j > 0 && before == unmatched; --j)
                before = windows[j - 1].second;

            for (auto j = i + 1; j < windows.size() && after == unmatched; ++j)
                after = windows[j].second;

            if (before != unmatched && after != unmatched && before != after)
                ++moved;
            else if (besideAnXrun (windows[i].first))
                ++beside;
            else
                ++unexplained;
        }

        std::ostringstream result;
        result << "ok " << identical << " of " << windows.size() << " windows of " << windowLength
               << " frames identical, at delays";

        for (auto l : lags)
            result << " " << l;

        result << " frames; " << moved << " where the delay moved, " << beside << " beside the " << xrunCount
               << " xruns, " << unexplained << " unexplained";
        return result.str();
    }

    bool connectPorts (Recorder& r, const std::string& app)
    {
        const auto ownOutput = std::string (jack_port_name (r.output));
        const auto ownInput = std::string (jack_port_name (r.input));

        return jack_connect (r.client, ownOutput.c_str(), (app + ":in_1").c_str()) == 0
            && jack_connect (r.client, ownOutput.c_str(), (app + ":in_2").c_str()) == 0
            && jack_connect (r.client, (app + ":out_1").c_str(), ownInput.c_str()) == 0;
    }
}

int main()
{
    Recorder recorder;
    jack_status_t status;
    recorder.client = jack_client_open ("dravel-tone", JackNoStartServer, &status);

    if (recorder.client == nullptr)
    {
        std::cout << "error cannot open a JACK client (status " << (int) status << ")" << std::endl;
        return 1;
    }

    recorder.sampleRate = jack_get_sample_rate (recorder.client);
    recorder.output = jack_port_register (recorder.client, "tone", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    recorder.input = jack_port_register (recorder.client, "record", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback (recorder.client, process, &recorder);
    jack_set_xrun_callback (recorder.client, countXrun, &recorder);

    if (recorder.output == nullptr || recorder.input == nullptr || jack_activate (recorder.client) != 0)
    {
        std::cout << "error cannot activate the JACK client" << std::endl;
        return 1;
    }

    std::cout << "ready " << recorder.sampleRate << std::endl;

    for (std::string line; std::getline (std::cin, line);)
    {
        std::istringstream words (line);
        std::string command;
        words >> command;

        if (command == "connect")
        {
            std::string app;
            std::getline (words >> std::ws, app);
            std::cout << (connectPorts (recorder, app) ? "ok connected" : "error cannot connect") << std::endl;
        }
        else if (command == "tone")
        {
            double hz = 0.0;
            float level = 0.0f;
            words >> hz >> level;
            recorder.frequency.store (hz);
            recorder.amplitude.store (level);
            std::cout << "ok tone" << std::endl;
        }
        else if (command == "silence")
        {
            recorder.amplitude.store (0.0f);
            std::cout << "ok silence" << std::endl;
        }
        else if (command == "check")
        {
            std::cout << checkPassThrough (recorder) << std::endl;
        }
        else if (command == "measure")
        {
            std::cout << measurePassThrough (recorder) << std::endl;
        }
        else if (command == "quit")
        {
            break;
        }
        else
        {
            std::cout << "error unknown command" << std::endl;
        }
    }

    jack_client_close (recorder.client);
    return 0;
}
