// Writes ok.wav, the prompt HourMark plays before it asks EchoLink to record: a short rising
// two-note tone, 22050 Hz, 16-bit mono PCM (the kind every host plays). Built and run on the
// build machine, so the release carries no audio made by hand.
// Usage: oktone OUTPUT.wav
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 22050;

struct Note {
    double hertz;
    double seconds;
};

void Put16(std::vector<unsigned char>& out, std::uint32_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

void Put32(std::vector<unsigned char>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutText(std::vector<unsigned char>& out, const char* text) {
    for (; *text; ++text) {
        out.push_back(static_cast<unsigned char>(*text));
    }
}

std::vector<std::int16_t> Samples() {
    // Half scale, with 8 ms ramps so that neither note starts or ends with a click.
    constexpr double kAmplitude = 0.5 * 32767.0;
    constexpr double kRamp = 0.008;
    const Note notes[] = {{880.0, 0.11}, {0.0, 0.03}, {1318.5, 0.16}};
    std::vector<std::int16_t> samples;
    for (const Note& note : notes) {
        const int count = static_cast<int>(note.seconds * kRate);
        for (int i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double edge = std::min(t, note.seconds - t);
            const double gain = edge < kRamp ? edge / kRamp : 1.0;
            const double v =
                note.hertz == 0.0
                    ? 0.0
                    : kAmplitude * gain * std::sin(2.0 * std::numbers::pi * note.hertz * t);
            samples.push_back(static_cast<std::int16_t>(std::lround(v)));
        }
    }
    return samples;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: oktone OUTPUT.wav\n");
        return 2;
    }
    const std::vector<std::int16_t> samples = Samples();
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<unsigned char> out;
    PutText(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutText(out, "WAVEfmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, kRate);
    Put32(out, kRate * 2);  // bytes a second
    Put16(out, 2);          // bytes a frame
    Put16(out, 16);         // bits a sample
    PutText(out, "data");
    Put32(out, dataBytes);
    for (const std::int16_t s : samples) {
        Put16(out, static_cast<std::uint16_t>(s));
    }
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "oktone: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
