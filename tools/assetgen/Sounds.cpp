#include "Assets.h"
#include "Synth.h"

#include "platform/Path.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace assetgen {

namespace {

using synth::CFilter;
using synth::CPhase;
using synth::Decay;
using synth::Frames;
using synth::kTwoPi;
using synth::NoteHz;
using synth::Ramp;
using synth::Seconds;
using synth::Sine;

// A ball is lost: a tone that jumps up a little and then sighs downwards by an octave and a
// half, wobbling more and more as it falls.
std::vector<double> Ball() {
    std::vector<double> out(Frames(0.6));
    CPhase phase;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = Seconds(i);
        const double fall = std::pow(std::max(t - 0.05, 0.0) / 0.55, 1.4);
        const double wobble = 0.35 * Ramp(t, 0.3) * std::sin(kTwoPi * 6.0 * t);
        const double semitones = 1.0 - Decay(t, 0.02) - 18.0 * fall + wobble;
        const double p = phase.Step(NoteHz(76.0 + semitones));
        const double tone = Sine(p) + 0.25 * Sine(2.0 * p) + 0.08 * Sine(3.0 * p);
        out[i] = tone * Ramp(t, 0.012) * (1.0 - synth::SmoothStep(0.15, 0.6, t));
    }
    return out;
}

// A ball hits a block: a bright pluck at A5 that starts a little sharp and springs down to
// its pitch.
std::vector<double> Ploing() {
    std::vector<double> out(Frames(0.25));
    CPhase phase;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = Seconds(i);
        const double spring = 1.0 + 0.015 * std::sin(kTwoPi * 18.0 * t) * Decay(t, 0.08);
        const double hz = 880.0 * (1.0 + 0.45 * Decay(t, 0.018)) * spring;
        const double p = phase.Step(hz);
        const double tone =
            Sine(p) + 0.35 * Sine(2.0 * p) * Decay(t, 0.03) + 0.15 * Sine(3.0 * p) * Decay(t, 0.02);
        out[i] = tone * Ramp(t, 0.002) * Decay(t, 0.06);
    }
    return out;
}

// A ball hits metal: the inharmonic partials of a struck plate over a short, bright scrape of
// noise and a dull thud underneath.
std::vector<double> Wall() {
    struct SPartial {
        double ratio, level, tau;
    };
    constexpr std::array<SPartial, 6> kPartials{{{1.0, 0.8, 0.09},
                                                 {2.32, 1.0, 0.075},
                                                 {3.17, 0.6, 0.06},
                                                 {4.53, 0.45, 0.045},
                                                 {5.96, 0.3, 0.035},
                                                 {7.41, 0.2, 0.025}}};
    constexpr double kBase = 420.0;
    std::vector<double> out(Frames(0.3));
    CRandom random(0x57A11u);
    CFilter scrape(3500.0, 1.5);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = Seconds(i);
        double ring = 0.0;
        for (const SPartial& partial : kPartials) {
            ring += partial.level * std::sin(kTwoPi * kBase * partial.ratio * t) *
                    Decay(t, partial.tau);
        }
        const double hit = scrape.Band(synth::Noise(random)) * Decay(t, 0.005);
        const double thud = std::sin(kTwoPi * 140.0 * t) * Decay(t, 0.03);
        out[i] = (0.5 * ring + 0.45 * hit + 0.4 * thud) * Ramp(t, 0.0015);
    }
    return out;
}

// An extra ball: a quick arpeggio up the C major chord, each note a hollow blip with a
// shimmer an octave above.
std::vector<double> NewBall() {
    constexpr std::array<int, 4> kNotes{84, 88, 91, 96};
    std::vector<double> out(Frames(0.4));
    for (std::size_t k = 0; k < kNotes.size(); ++k) {
        const std::size_t start = Frames(0.06 * static_cast<double>(k));
        const double hz = NoteHz(kNotes[k]);
        const bool last = k + 1 == kNotes.size();
        const double tau = last ? 0.1 : 0.06;
        const double level = 0.7 + 0.1 * static_cast<double>(k);
        for (std::size_t i = start; i < out.size(); ++i) {
            const double t = Seconds(i - start);
            const double p = hz * t;
            const double blip = Sine(p) + 0.3 * Sine(3.0 * p) + 0.12 * Sine(5.0 * p);
            const double shimmer = 0.3 * Sine(2.003 * p) * (0.6 + 0.4 * Sine(14.0 * t));
            out[i] +=
                level * (blip * Decay(t, tau) + shimmer * Decay(t, 1.5 * tau)) * Ramp(t, 0.002);
        }
    }
    return out;
}

// A ball leaves the paddle: a breath of noise whose band sweeps upwards, with a faint rising
// tone inside it.
std::vector<double> Launch() {
    std::vector<double> out(Frames(0.3));
    CRandom random(0x1A0C4u);
    CFilter band;
    CPhase phase;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = Seconds(i);
        const double sweep = std::min(t / 0.25, 1.0);
        if (i % 8 == 0) {
            band.Set(350.0 * std::pow(4500.0 / 350.0, sweep), 2.5);
        }
        const double x = t / 0.1;
        const double envelope = x * x * x * std::exp(3.0 * (1.0 - x));
        const double air = band.Band(synth::Noise(random));
        const double tone = Sine(phase.Step(180.0 * std::pow(700.0 / 180.0, sweep)));
        out[i] = (air + 0.25 * tone) * envelope;
    }
    return out;
}

// The ball on the paddle: a soft, round knock near G3 that drops into its pitch, with the
// lightest touch of a tap on top. It sounds all the time, so it stays gentle.
std::vector<double> Paddel() {
    std::vector<double> out(Frames(0.15));
    CRandom random(0xBADDu);
    CFilter soft(1500.0, 0.7071);
    CPhase phase;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = Seconds(i);
        const double p = phase.Step(200.0 * (1.0 + 0.5 * Decay(t, 0.012)));
        const double body = Sine(p) + 0.15 * Sine(2.0 * p) * Decay(t, 0.02);
        const double tap = soft.Low(synth::Noise(random)) * Decay(t, 0.004);
        out[i] = (body * Decay(t, 0.04) + 0.15 * tap) * Ramp(t, 0.003);
    }
    return out;
}

// A hollow, clarinet-like voice (odd partials) with a little vibrato after the attack.
double Reed(double p, double brightness) {
    return Sine(p) + 0.3 * brightness * Sine(3.0 * p) + 0.12 * brightness * Sine(5.0 * p);
}

// Game over: E5, C5, B4 falling to a long A4 that wavers and sinks a little, over a quiet
// A minor chord.
std::vector<double> GameOver() {
    struct SNote {
        double start, length;
        int midi;
    };
    constexpr std::array<SNote, 4> kTune{
        {{0.0, 0.25, 76}, {0.25, 0.25, 72}, {0.5, 0.25, 71}, {0.75, 0.7, 69}}};
    std::vector<double> out(Frames(1.5));
    for (const SNote& note : kTune) {
        const bool last = note.midi == 69;
        const std::size_t start = Frames(note.start);
        CPhase phase;
        for (std::size_t i = start; i < out.size(); ++i) {
            const double t = Seconds(i - start);
            const double vibrato =
                last ? 0.2 * Ramp(t - 0.15, 0.2) * std::sin(kTwoPi * 5.0 * t) : 0.0;
            const double sink = last ? -0.3 * synth::SmoothStep(0.3, 0.75, t) : 0.0;
            const double p = phase.Step(NoteHz(note.midi + vibrato + sink));
            const double envelope = synth::Gate(t, 0.015, note.length - 0.04, 0.06) *
                                    (last ? Decay(t, 0.5) : 0.85 + 0.15 * Decay(t, 0.05));
            out[i] += Reed(p, last ? 0.8 : 1.0) * envelope;
        }
    }
    constexpr std::array<int, 3> kChord{57, 60, 64};
    const std::size_t chordStart = Frames(0.75);
    for (const int midi : kChord) {
        const double hz = NoteHz(midi);
        for (std::size_t i = chordStart; i < out.size(); ++i) {
            const double t = Seconds(i - chordStart);
            out[i] += 0.18 * synth::Triangle(hz * t) * Ramp(t, 0.08) * Decay(t, 0.45);
        }
    }
    return out;
}

// A brass-like voice: two slightly detuned band-limited saws through a low-pass that opens
// with the attack and settles.
class CBrass {
  public:
    explicit CBrass(double hz) : m_Hz(hz) {}
    double Next(double t, double length, bool vibrato) {
        const double bend = vibrato ? 0.12 * Ramp(t - 0.2, 0.2) * std::sin(kTwoPi * 5.5 * t) : 0.0;
        const double hz = m_Hz * std::exp2(bend / 12.0);
        const double a = m_A.Step(hz);
        const double b = m_B.Step(hz * 1.002);
        const double raw = synth::Saw(a, m_A.Increment()) + synth::Saw(b, m_B.Increment());
        if (m_Count++ % 8 == 0) {
            const double open = 2.0 + 6.0 * Ramp(t, 0.03) * (0.5 + 0.5 * Decay(t, 0.08));
            m_Filter.Set(m_Hz * open, 0.8);
        }
        return 0.5 * m_Filter.Low(raw) * synth::Gate(t, 0.015, length, 0.08);
    }

  private:
    double m_Hz;
    CPhase m_A, m_B{0.37};
    CFilter m_Filter;
    unsigned m_Count = 0;
};

// A new highscore: a rising fanfare G4 C5 E5 G5, E5, and a held C6 over the full C major chord
// and a low C.
std::vector<double> Highscore() {
    struct SNote {
        double start, length;
        int midi;
        double level;
    };
    constexpr std::array<SNote, 10> kNotes{{{0.0, 0.11, 67, 0.9},
                                            {0.13, 0.11, 72, 0.95},
                                            {0.26, 0.11, 76, 1.0},
                                            {0.39, 0.28, 79, 1.0},
                                            {0.72, 0.13, 76, 0.95},
                                            {0.88, 0.75, 84, 0.75},
                                            {0.88, 0.75, 79, 0.3},
                                            {0.88, 0.75, 76, 0.25},
                                            {0.88, 0.75, 72, 0.25},
                                            {0.88, 0.75, 60, 0.3}}};
    std::vector<double> out(Frames(1.8));
    for (const SNote& note : kNotes) {
        const std::size_t start = Frames(note.start);
        CBrass voice(NoteHz(note.midi));
        const bool held = note.length > 0.5;
        for (std::size_t i = start; i < out.size(); ++i) {
            const double t = Seconds(i - start);
            if (t > note.length + 0.2) {
                break;
            }
            out[i] += note.level * voice.Next(t, note.length, held);
        }
    }
    // A soft drum under the last chord.
    const std::size_t boom = Frames(0.88);
    CPhase phase;
    for (std::size_t i = boom; i < out.size(); ++i) {
        const double t = Seconds(i - boom);
        const double p = phase.Step(65.0 * (1.0 + 0.6 * Decay(t, 0.03)));
        out[i] += 0.4 * Sine(p) * Ramp(t, 0.002) * Decay(t, 0.25);
    }
    return out;
}

// A bell: partials 1, 2, 3 and a slightly sharp 4.2 that die away faster the higher they are.
double Bell(double hz, double t, double tau) {
    return (Sine(hz * t) * Decay(t, tau) + 0.35 * Sine(2.0 * hz * t) * Decay(t, 0.5 * tau) +
            0.12 * Sine(3.0 * hz * t) * Decay(t, 0.3 * tau) +
            0.1 * Sine(4.2 * hz * t) * Decay(t, 0.15 * tau)) *
           Ramp(t, 0.002);
}

// Level complete: three bells rising G5, C6, E6.
std::vector<double> Next() {
    constexpr std::array<int, 3> kNotes{79, 84, 88};
    std::vector<double> out(Frames(1.0));
    for (std::size_t k = 0; k < kNotes.size(); ++k) {
        const std::size_t start = Frames(0.16 * static_cast<double>(k));
        const double hz = NoteHz(kNotes[k]);
        const double tau = k + 1 == kNotes.size() ? 0.3 : 0.22;
        for (std::size_t i = start; i < out.size(); ++i) {
            out[i] += Bell(hz, Seconds(i - start), tau);
        }
    }
    return out;
}

// A menu button: a tiny, dry tick of two high tones and a grain of noise.
std::vector<double> Klick() {
    std::vector<double> out(Frames(0.06));
    CRandom random(0xC11Cu);
    CFilter grain(4000.0, 0.7071);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = Seconds(i);
        const double tick = std::sin(kTwoPi * 2400.0 * t) * Decay(t, 0.004) +
                            0.5 * std::sin(kTwoPi * 1300.0 * t) * Decay(t, 0.008);
        const double noise = grain.High(synth::Noise(random)) * Decay(t, 0.0015);
        out[i] = tick + 0.4 * noise;
    }
    return out;
}

} // namespace

std::vector<SSound> MakeSounds() {
    using synth::MakeEffect;
    std::vector<SSound> sounds;
    sounds.push_back(MakeEffect("ball", Ball(), -1.0, 0.005, 0.03));
    sounds.push_back(MakeEffect("ploing", Ploing(), -1.0, 0.002, 0.02));
    sounds.push_back(MakeEffect("wall", Wall(), -1.0, 0.0015, 0.05));
    sounds.push_back(MakeEffect("newball", NewBall(), -1.5, 0.002, 0.04));
    sounds.push_back(MakeEffect("launch", Launch(), -3.0, 0.005, 0.05));
    sounds.push_back(MakeEffect("paddel", Paddel(), -3.0, 0.003, 0.03));
    sounds.push_back(MakeEffect("gameover", GameOver(), -1.0, 0.005, 0.15));
    sounds.push_back(MakeEffect("highscore", Highscore(), -1.0, 0.005, 0.15));
    sounds.push_back(MakeEffect("next", Next(), -1.5, 0.002, 0.2));
    sounds.push_back(MakeEffect("klick", Klick(), -4.0, 0.001, 0.01));
    return sounds;
}

bool WriteWave(const std::string& path, const SSound& sound) {
    platform::FilePtr file = platform::OpenFile(path, "wb");
    if (!file) {
        return false;
    }
    const auto dataBytes = static_cast<std::uint32_t>(sound.samples.size() * 2);
    const auto blockAlign = static_cast<std::uint16_t>(sound.channels * 2);
    std::string header = "RIFF";
    const auto put32 = [&header](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            header += static_cast<char>((v >> (8 * i)) & 0xFF);
        }
    };
    const auto put16 = [&header](std::uint16_t v) {
        header += static_cast<char>(v & 0xFF);
        header += static_cast<char>(v >> 8);
    };
    put32(36 + dataBytes);
    header += "WAVEfmt ";
    put32(16);
    put16(1); // PCM
    put16(static_cast<std::uint16_t>(sound.channels));
    put32(static_cast<std::uint32_t>(sound.rate));
    put32(static_cast<std::uint32_t>(sound.rate) * blockAlign);
    put16(blockAlign);
    put16(16);
    header += "data";
    put32(dataBytes);
    // The samples are written little-endian, as the machine holds them.
    return std::fwrite(header.data(), 1, header.size(), file.get()) == header.size() &&
           std::fwrite(sound.samples.data(), 2, sound.samples.size(), file.get()) ==
               sound.samples.size();
}

} // namespace assetgen
