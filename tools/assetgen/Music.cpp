#include "Assets.h"
#include "Synth.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

// The music: 32 bars of 4/4 at 120 beats a minute in F major, exactly 64 seconds, that run
// into their own beginning. Every note is written into a buffer of the loop's length; what
// would ring past its end comes back in at its start, and the echo and the room run round the
// loop twice, so the last sample leads into the first as any two neighbours do.
//
// Form (a bar each chord):
//   bars  1– 8  F Am Bb C F Am Bb C   pads, bass, drums and a bell arpeggio
//   bars  9–16  the same, with the tune
//   bars 17–24  Dm Bb F C Dm Bb Gm C  the bridge: a new tune, brighter pads, busier hats
//   bars 25–32  the verse again, tune and arpeggio together; its C leads back to bar 1's F

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

constexpr std::size_t kBeatFrames = 22050; // 120 beats a minute
constexpr std::size_t kBarFrames = 4 * kBeatFrames;
constexpr int kBars = 32;
constexpr std::size_t kLoopFrames = kBars * kBarFrames;
constexpr double kBeatSeconds = 0.5;

std::size_t BeatFrame(double beat) {
    return static_cast<std::size_t>(std::lround(beat * static_cast<double>(kBeatFrames)));
}

// A mono send of the loop's length, for the echo and the room.
struct SSend {
    std::vector<float> samples = std::vector<float>(kLoopFrames, 0.0f);
    void Add(std::size_t frame, double value) {
        samples[frame % kLoopFrames] += static_cast<float>(value);
    }
};

// The stereo mix of the loop's length.
struct SMix {
    std::vector<float> left = std::vector<float>(kLoopFrames, 0.0f);
    std::vector<float> right = std::vector<float>(kLoopFrames, 0.0f);
    SSend echo;
    SSend room;

    void Add(std::size_t frame, double l, double r) {
        frame %= kLoopFrames;
        left[frame] += static_cast<float>(l);
        right[frame] += static_cast<float>(r);
    }
    // A mono sound at `pan` (-1 left, 1 right, equal power), with its share of echo and room.
    void Place(std::size_t frame, double value, double pan, double toEcho = 0.0,
               double toRoom = 0.0) {
        const double angle = (pan + 1.0) * synth::kPi / 4.0;
        Add(frame, value * std::cos(angle), value * std::sin(angle));
        if (toEcho != 0.0) {
            echo.Add(frame, value * toEcho);
        }
        if (toRoom != 0.0) {
            room.Add(frame, value * toRoom);
        }
    }
};

struct SChord {
    int bass;               // the root in the bass octave
    std::array<int, 3> pad; // the voicing around middle C
    std::array<int, 4> arp; // the tones of the arpeggio, low to high
};

constexpr SChord kF{41, {57, 60, 65}, {65, 69, 72, 77}};
constexpr SChord kAm{45, {57, 60, 64}, {64, 69, 72, 76}};
constexpr SChord kBb{46, {58, 62, 65}, {65, 70, 74, 77}};
constexpr SChord kC{48, {55, 60, 64}, {64, 67, 72, 76}};
constexpr SChord kDm{38, {57, 62, 65}, {62, 65, 69, 74}};
constexpr SChord kGm{43, {55, 58, 62}, {62, 67, 70, 74}};

constexpr std::array<SChord, 8> kVerseChords{kF, kAm, kBb, kC, kF, kAm, kBb, kC};
constexpr std::array<SChord, 8> kBridgeChords{kDm, kBb, kF, kC, kDm, kBb, kGm, kC};

// The section of a bar: 0 opening, 1 verse, 2 bridge, 3 last verse.
int Section(int bar) {
    return bar / 8;
}

const SChord& ChordOf(int bar) {
    return Section(bar) == 2 ? kBridgeChords[bar % 8] : kVerseChords[bar % 8];
}

// A tune as notes one after another: a MIDI note (0 for a rest) and its length in beats.
struct SStep {
    int midi;
    double beats;
};

const std::vector<SStep> kVerseTune{
    {72, 1},   {69, 0.5}, {72, 0.5}, {77, 1.5}, {76, 0.5}, // F
    {76, 1},   {72, 1},   {69, 1.5}, {72, 0.5},            // Am
    {74, 1.5}, {72, 0.5}, {70, 1},   {74, 1},              // Bb
    {72, 1.5}, {70, 0.5}, {67, 1},   {0, 1},               // C
    {72, 1},   {69, 0.5}, {72, 0.5}, {77, 1},   {79, 1},   // F
    {81, 1.5}, {79, 0.5}, {76, 1},   {72, 1},              // Am
    {74, 1},   {77, 1},   {74, 1},   {70, 1},              // Bb
    {72, 1},   {76, 1},   {79, 2},                         // C
};

const std::vector<SStep> kBridgeTune{
    {81, 2},   {77, 1},   {74, 1},              // Dm
    {77, 1.5}, {74, 0.5}, {70, 2},              // Bb
    {72, 1},   {77, 1},   {81, 1},   {79, 1},   // F
    {76, 1.5}, {74, 0.5}, {72, 2},              // C
    {74, 1},   {77, 1},   {81, 1.5}, {79, 0.5}, // Dm
    {77, 1},   {74, 1},   {77, 1},   {82, 1},   // Bb
    {79, 1.5}, {77, 0.5}, {74, 1},   {70, 1},   // Gm
    {72, 2},   {76, 1},   {79, 1},              // C
};

// The pad: per note two slightly detuned voices, one on each side, half saw and half
// triangle, through a gentle low-pass; a slow swell and a long release into the next chord.
void Pad(SMix& mix, CRandom& random, std::size_t start, int midi, double held, double cutoff) {
    constexpr double kLevel = 0.15;
    constexpr double kRelease = 0.9;
    for (int side = 0; side < 2; ++side) {
        const double hz = NoteHz(midi + (side == 0 ? -0.08 : 0.08));
        CPhase phase(random.Unit());
        CFilter filter(cutoff, 0.6);
        const std::size_t n = Frames(held + kRelease);
        for (std::size_t i = 0; i < n; ++i) {
            const double t = Seconds(i);
            const double p = phase.Step(hz);
            const double wave = 0.5 * synth::Saw(p, phase.Increment()) + 0.5 * synth::Triangle(p);
            const double v = kLevel * filter.Low(wave) * synth::Gate(t, 0.35, held, kRelease);
            const double near = 0.8 * v;
            const double far = 0.3 * v;
            mix.Add(start + i, side == 0 ? near : far, side == 0 ? far : near);
            mix.room.Add(start + i, 0.3 * v);
        }
    }
}

// The bass: a plucked saw with a sine under it, its low-pass closing quickly after the attack.
void Bass(SMix& mix, std::size_t start, int midi, double accent) {
    constexpr double kHeld = 0.19;
    constexpr double kRelease = 0.04;
    const double hz = NoteHz(midi);
    CPhase saw;
    CPhase sub;
    CFilter filter;
    const std::size_t n = Frames(kHeld + kRelease);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = Seconds(i);
        if (i % 8 == 0) {
            filter.Set(180.0 + 1000.0 * accent * Decay(t, 0.05), 0.9);
        }
        const double s = saw.Step(hz);
        const double raw = 0.6 * synth::Saw(s, saw.Increment()) + 0.7 * Sine(sub.Step(hz));
        const double v = 0.42 * accent * filter.Low(raw) * synth::Gate(t, 0.004, kHeld, kRelease) *
                         (0.8 + 0.2 * Decay(t, 0.1));
        mix.Place(start + i, v, 0.0);
    }
}

// The tune: a soft mix of triangle and square through a low-pass, with a late vibrato; it
// feeds the echo and the room.
void Lead(SMix& mix, std::size_t start, int midi, double beats) {
    const double held = beats * kBeatSeconds - 0.04;
    constexpr double kRelease = 0.15;
    const double hz = NoteHz(midi);
    CPhase phase;
    CFilter filter(2800.0, 0.7071);
    const std::size_t n = Frames(held + kRelease);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = Seconds(i);
        const double vibrato = 0.18 * Ramp(t - 0.2, 0.25) * std::sin(kTwoPi * 5.2 * t);
        const double p = phase.Step(hz * std::exp2(vibrato / 12.0));
        const double wave = 0.65 * synth::Triangle(p) + 0.35 * synth::Square(p, phase.Increment());
        const double envelope =
            synth::Gate(t, 0.015, held, kRelease) * (0.72 + 0.28 * Decay(t, 0.15));
        mix.Place(start + i, 0.2 * filter.Low(wave) * envelope, 0.1, 0.35, 0.3);
    }
}

// The arpeggio: a small frequency-modulated bell, bright at its attack and quickly mellow.
void Arp(SMix& mix, std::size_t start, int midi, double level, double pan) {
    const double hz = NoteHz(midi);
    const std::size_t n = Frames(0.6);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = Seconds(i);
        const double index = 1.5 * Decay(t, 0.08);
        const double v = std::sin(kTwoPi * hz * t + index * std::sin(kTwoPi * 2.0 * hz * t)) *
                         Ramp(t, 0.003) * Decay(t, 0.22) * (1.0 - Ramp(t - 0.5, 0.1));
        mix.Place(start + i, 0.11 * level * v, pan, 0.3, 0.2);
    }
}

void Kick(SMix& mix, std::size_t start, double level) {
    CPhase phase;
    const std::size_t n = Frames(0.35);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = Seconds(i);
        const double p = phase.Step(50.0 + 90.0 * Decay(t, 0.035));
        const double v = Sine(p) * Ramp(t, 0.001) * Decay(t, 0.16) * (1.0 - Ramp(t - 0.28, 0.07));
        mix.Place(start + i, 0.4 * level * v, 0.0);
    }
}

void Snare(SMix& mix, CRandom& random, std::size_t start, double level) {
    CFilter band(2000.0, 0.7);
    CFilter high(5000.0, 0.7071);
    const std::size_t n = Frames(0.25);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = Seconds(i);
        const double noise = synth::Noise(random);
        const double body = 0.4 * std::sin(kTwoPi * 185.0 * t) * Decay(t, 0.05);
        const double hiss = (band.Band(noise) + 0.5 * high.High(noise)) * Decay(t, 0.09);
        const double v = (body + hiss) * Ramp(t, 0.001) * (1.0 - Ramp(t - 0.2, 0.05));
        mix.Place(start + i, 0.32 * level * v, -0.05, 0.0, 0.35);
    }
}

// A hi-hat, closed or (with a longer tail) half open.
void Hat(SMix& mix, CRandom& random, std::size_t start, double level, double tau) {
    CFilter high(7000.0, 0.7071);
    const double seconds = 6.0 * tau;
    const std::size_t n = Frames(seconds);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = Seconds(i);
        const double v = high.High(synth::Noise(random)) * Ramp(t, 0.0005) * Decay(t, tau) *
                         (1.0 - Ramp(t - 0.8 * seconds, 0.2 * seconds));
        mix.Place(start + i, 0.1 * level * v, 0.3);
    }
}

void Crash(SMix& mix, CRandom& random, std::size_t start) {
    CFilter high(5000.0, 0.7071);
    CFilter soft(11000.0, 0.7071);
    const std::size_t n = Frames(2.5);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = Seconds(i);
        const double v = soft.Low(high.High(synth::Noise(random))) * Ramp(t, 0.002) *
                         Decay(t, 0.6) * (1.0 - Ramp(t - 2.0, 0.5));
        mix.Place(start + i, 0.09 * v, -0.3, 0.0, 0.2);
    }
}

void Drums(SMix& mix, CRandom& random, int bar) {
    const int section = Section(bar);
    const std::size_t barStart = static_cast<std::size_t>(bar) * kBarFrames;
    const auto at = [barStart](double beat) { return barStart + BeatFrame(beat); };
    const bool fill = bar % 8 == 7 && section != 0;
    if (bar % 8 == 0) {
        Crash(mix, random, at(0));
    }
    Kick(mix, at(0), 1.0);
    Kick(mix, at(2), 0.9);
    if (section >= 2 && bar % 2 == 1) {
        Kick(mix, at(3.5), 0.6);
    }
    const double snare = section == 0 ? 0.6 : 1.0;
    Snare(mix, random, at(1), snare);
    if (fill) {
        for (int k = 0; k < 4; ++k) {
            Snare(mix, random, at(3.0 + 0.25 * k), 0.45 + 0.15 * k);
        }
    } else {
        Snare(mix, random, at(3), snare);
    }
    for (int k = 0; k < 8; ++k) {
        const bool off = k % 2 == 1;
        const bool open = off && k == 7 && section >= 1;
        Hat(mix, random, at(0.5 * k), off ? 1.0 : 0.6, open ? 0.08 : 0.025);
        if (section == 2) {
            Hat(mix, random, at(0.5 * k + 0.25), 0.35, 0.02);
        }
    }
}

// Lays a tune out note by note from the start of a bar.
void Tune(SMix& mix, const std::vector<SStep>& tune, int firstBar) {
    double beat = 4.0 * firstBar;
    for (const SStep& step : tune) {
        if (step.midi != 0) {
            Lead(mix, BeatFrame(beat), step.midi, step.beats);
        }
        beat += step.beats;
    }
}

// A ping-pong echo a dotted eighth (three quarters of a beat) long; each repeat is duller and
// softer than the one before and on the other side.
class CEcho {
  public:
    CEcho() : m_Left(BeatFrame(0.75), 0.0), m_Right(BeatFrame(0.75), 0.0) {}
    std::pair<double, double> Next(double in) {
        const double l = m_Left[m_Pos];
        const double r = m_Right[m_Pos];
        m_DullL += 0.45 * (l - m_DullL);
        m_DullR += 0.45 * (r - m_DullR);
        m_Left[m_Pos] = in + 0.4 * m_DullR;
        m_Right[m_Pos] = 0.4 * m_DullL;
        m_Pos = (m_Pos + 1) % m_Left.size();
        return {l, r};
    }

  private:
    std::vector<double> m_Left, m_Right;
    std::size_t m_Pos = 0;
    double m_DullL = 0.0, m_DullR = 0.0;
};

// A small room: parallel damped combs and two all-passes per side (the sides differ a little
// in length so that the room is wide).
class CRoom {
  public:
    explicit CRoom(std::size_t spread) {
        for (const std::size_t length : {1116u, 1188u, 1277u, 1356u, 1422u, 1491u}) {
            m_Combs.push_back({std::vector<double>(length + spread, 0.0)});
        }
        for (const std::size_t length : {556u, 441u}) {
            m_Passes.push_back({std::vector<double>(length + spread, 0.0)});
        }
    }
    double Next(double in) {
        double out = 0.0;
        for (SLine& comb : m_Combs) {
            const double delayed = comb.buffer[comb.pos];
            comb.store = 0.75 * delayed + 0.25 * comb.store;
            comb.buffer[comb.pos] = in + 0.8 * comb.store;
            comb.pos = (comb.pos + 1) % comb.buffer.size();
            out += delayed;
        }
        for (SLine& pass : m_Passes) {
            const double delayed = pass.buffer[pass.pos];
            pass.buffer[pass.pos] = out + 0.5 * delayed;
            pass.pos = (pass.pos + 1) % pass.buffer.size();
            out = delayed - out;
        }
        return out;
    }

  private:
    struct SLine {
        std::vector<double> buffer;
        std::size_t pos = 0;
        double store = 0.0;
    };
    std::vector<SLine> m_Combs, m_Passes;
};

// Runs the echo, the room and a gentle cut below 15 Hz round the loop twice and keeps the
// second round, in which the tails of the loop's end have come round to its beginning.
std::vector<double> Master(const SMix& mix) {
    CEcho echo;
    CRoom roomL(0);
    CRoom roomR(23);
    const double r = 1.0 - kTwoPi * 15.0 / synth::kRate;
    std::array<double, 2> lastIn{}, lastOut{};
    std::vector<double> out(2 * kLoopFrames);
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = 0; i < kLoopFrames; ++i) {
            const auto [echoL, echoR] = echo.Next(mix.echo.samples[i]);
            const double room = mix.room.samples[i];
            const std::array<double, 2> sum{mix.left[i] + 0.55 * echoL + 0.05 * roomL.Next(room),
                                            mix.right[i] + 0.55 * echoR + 0.05 * roomR.Next(room)};
            for (int c = 0; c < 2; ++c) {
                const double y = sum[c] - lastIn[c] + r * lastOut[c];
                lastIn[c] = sum[c];
                lastOut[c] = y;
                if (round == 1) {
                    out[2 * i + c] = y;
                }
            }
        }
    }
    return out;
}

} // namespace

SSound MakeMusic() {
    SMix mix;
    CRandom padRandom(0x9AD5u);
    CRandom drumRandom(0xD7A3u);
    constexpr std::array<int, 8> kBassSteps{0, 0, 12, 0, 7, 0, 12, 0};
    constexpr std::array<int, 8> kArpSteps{0, 2, 1, 3, 2, 1, 3, 2};
    constexpr std::array<double, 4> kPadBrightness{800.0, 1000.0, 1400.0, 1200.0};
    for (int bar = 0; bar < kBars; ++bar) {
        const SChord& chord = ChordOf(bar);
        const int section = Section(bar);
        const std::size_t barStart = static_cast<std::size_t>(bar) * kBarFrames;
        const double cutoff = kPadBrightness[static_cast<std::size_t>(section)] *
                              (1.0 + 0.15 * std::sin(kTwoPi * bar / 8.0));
        for (const int midi : chord.pad) {
            Pad(mix, padRandom, barStart, midi, 2.0, cutoff);
        }
        for (std::size_t k = 0; k < kBassSteps.size(); ++k) {
            Bass(mix, barStart + BeatFrame(0.5 * static_cast<double>(k)),
                 chord.bass + kBassSteps[k], k % 2 == 0 ? 1.0 : 0.8);
        }
        if (section == 0 || section == 3) {
            const double level = section == 0 ? 1.0 : 0.7;
            for (std::size_t k = 0; k < kArpSteps.size(); ++k) {
                Arp(mix, barStart + BeatFrame(0.5 * static_cast<double>(k)),
                    chord.arp[static_cast<std::size_t>(kArpSteps[k])] + 12,
                    k % 2 == 0 ? level : 0.75 * level, k % 2 == 0 ? -0.4 : 0.4);
            }
        }
        Drums(mix, drumRandom, bar);
    }
    Tune(mix, kVerseTune, 8);
    Tune(mix, kBridgeTune, 16);
    Tune(mix, kVerseTune, 24);

    std::vector<double> samples = Master(mix);
    synth::Normalise(samples, -1.0);
    SSound music;
    music.name = "musik";
    music.channels = 2;
    music.rate = synth::kRate;
    music.samples.reserve(samples.size());
    for (const double v : samples) {
        music.samples.push_back(synth::ToPcm(v));
    }
    return music;
}

} // namespace assetgen
