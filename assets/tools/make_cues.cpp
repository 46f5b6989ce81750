// Makes the two cue sounds the program ships with, by additive synthesis:
//   cue30.wav  a light two-note chime when 30 seconds are left;
//   cue0.wav   a bell struck three times when the time is up, fuller and
//              longer, so a hall tells the two apart without looking.
// Each stays under two seconds, because the countdown waits for its cue.
// Output: 16-bit PCM, mono, 44.1 kHz. Usage: make_cues OUTPUT_FOLDER
// Standard C++ only: the Windows build runs it on the build machine too.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
// A struck bar or bell reaches full level within a few milliseconds; an
// instant start would click.
constexpr double kAttackSeconds = 0.003;

// One mode of vibration: its frequency as a multiple of the note's, its
// level at the strike, and the time it takes to fall to 1/e.
struct Partial {
    double ratio;
    double level;
    double decaySeconds;
};

// Modes of a free metal bar (glockenspiel, tubular chime): inharmonic, the
// upper ones short-lived, which gives the clear "ding" of a chime.
const std::vector<Partial> kChimeBar = {
    {1.000, 1.00, 0.55}, {2.756, 0.30, 0.22}, {5.404, 0.10, 0.10}, {8.933, 0.04, 0.05},
};

// Modes of a cast bell relative to its strike note: the hum an octave below,
// the minor-third tierce, the quint, the nominal, and bright upper modes. The
// doubled prime (1.000 and 1.004) beats slowly, the shimmer of a real bell.
const std::vector<Partial> kBell = {
    {0.500, 0.45, 1.60}, {1.000, 1.00, 1.10}, {1.004, 0.50, 1.10}, {1.183, 0.55, 0.80},
    {1.506, 0.30, 0.60}, {2.000, 0.45, 0.50}, {2.514, 0.20, 0.30}, {2.662, 0.15, 0.25},
    {3.011, 0.12, 0.20}, {4.166, 0.08, 0.12},
};

class Score final {
public:
    explicit Score(double seconds) : samples_(static_cast<std::size_t>(seconds * kRate), 0.0) {}

    void Strike(double at, double frequency, const std::vector<Partial>& partials, double gain) {
        const auto first = static_cast<std::size_t>(at * kRate);
        for (std::size_t i = first; i < samples_.size(); ++i) {
            const double t = static_cast<double>(i - first) / kRate;
            const double attack = std::min(1.0, t / kAttackSeconds);
            double value = 0;
            for (const Partial& p : partials) {
                const double f = frequency * p.ratio;
                if (f >= kRate / 2.0) continue;
                value += p.level * std::exp(-t / p.decaySeconds) * std::sin(2.0 * std::numbers::pi * f * t);
            }
            samples_[i] += gain * attack * value;
        }
    }

    // Scales to the given peak and fades the last moments to silence, so the
    // file ends on zero whatever is still ringing; a longer fade for a longer
    // ring makes the cut sound like the ring dying away.
    std::vector<double> Finish(double peak, double fadeSeconds) const {
        std::vector<double> out = samples_;
        double highest = 0;
        for (double s : out) highest = std::max(highest, std::fabs(s));
        const double scale = highest > 0 ? peak / highest : 0;
        const auto fade = static_cast<std::size_t>(fadeSeconds * kRate);
        for (std::size_t i = 0; i < out.size(); ++i) {
            const std::size_t left = out.size() - i;
            const double end = left < fade ? static_cast<double>(left) / static_cast<double>(fade) : 1.0;
            out[i] *= scale * end;
        }
        return out;
    }

private:
    std::vector<double> samples_;
};

void Put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFFu);
}

// A canonical RIFF WAVE file: "fmt " (PCM, mono, 16 bits) and "data", little-endian.
bool Write(const std::string& path, const std::vector<double>& samples) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string file = "RIFF";
    Put(file, 36 + dataBytes, 4);
    file += "WAVEfmt ";
    Put(file, 16, 4);
    Put(file, 1, 2);  // PCM
    Put(file, 1, 2);  // mono
    Put(file, kRate, 4);
    Put(file, kRate * 2, 4);
    Put(file, 2, 2);
    Put(file, 16, 2);
    file += "data";
    Put(file, dataBytes, 4);
    for (const double s : samples) {
        const long value = std::lrint(std::clamp(s, -1.0, 1.0) * 32767.0);
        Put(file, static_cast<std::uint32_t>(static_cast<std::int16_t>(value)), 2);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "make_cues: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// "Ding-dong": B5 then G5, a falling major third, kept moderate in level.
// Under a second: the tick that finds 30 waits for it before showing "00:29",
// and a longer chime would let the next tick replace "00:29" at once.
std::vector<double> Chime() {
    Score score(0.80);
    score.Strike(0.00, 987.77, kChimeBar, 1.0);
    score.Strike(0.22, 783.99, kChimeBar, 1.0);
    return score.Finish(0.60, 0.12);
}

// Three strikes of a bell on D5, the last left to ring out, near full level.
std::vector<double> Bell() {
    Score score(1.90);
    score.Strike(0.00, 587.33, kBell, 1.0);
    score.Strike(0.42, 587.33, kBell, 0.9);
    score.Strike(0.84, 587.33, kBell, 1.0);
    return score.Finish(0.89, 0.35);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_cues OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const bool ok = Write(folder + "/cue30.wav", Chime()) && Write(folder + "/cue0.wav", Bell());
    return ok ? 0 : 1;
}
