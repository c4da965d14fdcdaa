// Writes the notification sound: a soft two-note chime, 16-bit mono PCM in a WAV file.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <vector>

namespace {

constexpr int SampleRate = 22050;
constexpr double Seconds = 0.45;
constexpr double Volume = 0.3;

struct Note {
    double hertz;
    double start; // seconds
};

// A struck tone: 5 ms attack, then an exponential fall.
double Chime(const Note& note, double t)
{
    const double since = t - note.start;
    if (since < 0)
        return 0;
    const double attack = std::min(1.0, since / 0.005);
    const double decay = std::exp(-since * 9.0);
    const double tone = std::sin(2 * std::numbers::pi * note.hertz * since) +
                        0.25 * std::sin(2 * std::numbers::pi * 2 * note.hertz * since);
    return attack * decay * tone / 1.25;
}

void Put(std::ofstream& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.put(char((value >> (8 * i)) & 0xff));
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.wav\n", argv[0]);
        return 2;
    }
    const Note notes[] = {{880.0, 0.0}, {1318.5, 0.11}};
    const int count = int(SampleRate * Seconds);
    std::vector<std::int16_t> samples(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / SampleRate;
        double value = 0;
        for (const Note& note : notes)
            value += Chime(note, t);
        // The last 20 ms fade to silence, so the file ends without a click.
        const double tail = std::min(1.0, (Seconds - t) / 0.02);
        samples[size_t(i)] = std::int16_t(std::lround(32767 * Volume * 0.5 * value * tail));
    }

    std::ofstream out(argv[1], std::ios::binary);
    const std::uint32_t dataBytes = std::uint32_t(samples.size() * 2);
    out.write("RIFF", 4);
    Put(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    Put(out, 16, 4); // format chunk size
    Put(out, 1, 2);  // PCM
    Put(out, 1, 2);  // mono
    Put(out, SampleRate, 4);
    Put(out, SampleRate * 2, 4); // bytes per second
    Put(out, 2, 2);              // bytes per frame
    Put(out, 16, 2);             // bits per sample
    out.write("data", 4);
    Put(out, dataBytes, 4);
    for (std::int16_t sample : samples)
        Put(out, std::uint16_t(sample), 2);
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s\n", argv[1]);
    return 0;
}
