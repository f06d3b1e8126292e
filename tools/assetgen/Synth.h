#pragma once

// The building blocks of the generated sounds and music: phase accumulators and wave shapes,
// envelopes, a state-variable filter and the step from floating point to 16-bit samples. It is
// plain arithmetic on doubles, so every run makes the same bytes.

#include "Assets.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace assetgen::synth {

inline constexpr int kRate = 44100;
inline constexpr double kPi = std::numbers::pi;
inline constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The frequency of a MIDI note number (69 is A4, 440 Hz); fractions bend the pitch.
inline double NoteHz(double midi) {
    return 440.0 * std::exp2((midi - 69.0) / 12.0);
}

inline double DbToGain(double db) {
    return std::pow(10.0, db / 20.0);
}

inline std::size_t Frames(double seconds) {
    return static_cast<std::size_t>(std::lround(seconds * kRate));
}

inline double Seconds(std::size_t frame) {
    return static_cast<double>(frame) / kRate;
}

// A phase in [0, 1) that moves on by one sample at a time; the frequency may change from
// sample to sample, so that pitch sweeps stay smooth.
class CPhase {
  public:
    explicit CPhase(double start = 0.0) : m_Phase(start - std::floor(start)) {}
    // Returns the current phase and moves on at the given frequency.
    double Step(double hz) {
        const double phase = m_Phase;
        m_Step = hz / kRate;
        m_Phase += m_Step;
        m_Phase -= std::floor(m_Phase);
        return phase;
    }
    // The phase increment of the last step, for the band-limited shapes.
    double Increment() const { return m_Step; }

  private:
    double m_Phase;
    double m_Step = 0.0;
};

inline double Sine(double phase) {
    return std::sin(kTwoPi * phase);
}

// A triangle starting at zero and rising.
inline double Triangle(double phase) {
    double shifted = phase + 0.25;
    shifted -= std::floor(shifted);
    return 1.0 - 4.0 * std::abs(shifted - 0.5);
}

// The correction that takes the corner out of a jump (polyBLEP), for a phase near a jump at 0.
inline double Blep(double phase, double increment) {
    if (increment <= 0.0) {
        return 0.0;
    }
    if (phase < increment) {
        const double x = phase / increment;
        return x + x - x * x - 1.0;
    }
    if (phase > 1.0 - increment) {
        const double x = (phase - 1.0) / increment;
        return x * x + x + x + 1.0;
    }
    return 0.0;
}

// A band-limited sawtooth from -1 to 1.
inline double Saw(double phase, double increment) {
    return 2.0 * phase - 1.0 - Blep(phase, increment);
}

// A band-limited square wave.
inline double Square(double phase, double increment) {
    double half = phase + 0.5;
    half -= std::floor(half);
    return (phase < 0.5 ? 1.0 : -1.0) + Blep(phase, increment) - Blep(half, increment);
}

// A smooth rise from 0 to 1 over `length` seconds (half a cosine); 1 after it.
inline double Ramp(double t, double length) {
    if (t <= 0.0) {
        return 0.0;
    }
    if (t >= length) {
        return 1.0;
    }
    return 0.5 - 0.5 * std::cos(kPi * t / length);
}

// 1 while the note is held (after a smooth attack), then a smooth fall to 0 over `release`.
inline double Gate(double t, double attack, double held, double release) {
    return Ramp(t, attack) * (1.0 - Ramp(t - held, release));
}

inline double Decay(double t, double tau) {
    return t <= 0.0 ? 1.0 : std::exp(-t / tau);
}

// A smooth step from 0 at `from` to 1 at `to`.
inline double SmoothStep(double from, double to, double t) {
    const double x = std::clamp((t - from) / (to - from), 0.0, 1.0);
    return x * x * (3.0 - 2.0 * x);
}

// A state-variable filter (trapezoidal integration, stable at every cutoff): low-, band- and
// high-pass from one state.
class CFilter {
  public:
    CFilter() { Set(1000.0, 0.7071); }
    CFilter(double hz, double q) { Set(hz, q); }
    void Set(double hz, double q) {
        const double g = std::tan(kPi * std::clamp(hz, 10.0, 0.45 * kRate) / kRate);
        m_K = 1.0 / q;
        m_A1 = 1.0 / (1.0 + g * (g + m_K));
        m_A2 = g * m_A1;
        m_A3 = g * m_A2;
    }
    double Low(double x) {
        Run(x);
        return m_Low;
    }
    // The band-pass with a gain of 1 at its centre.
    double Band(double x) {
        Run(x);
        return m_K * m_Band;
    }
    double High(double x) {
        Run(x);
        return x - m_K * m_Band - m_Low;
    }

  private:
    void Run(double x) {
        const double v3 = x - m_Ic2;
        const double v1 = m_A1 * m_Ic1 + m_A2 * v3;
        const double v2 = m_Ic2 + m_A2 * m_Ic1 + m_A3 * v3;
        m_Ic1 = 2.0 * v1 - m_Ic1;
        m_Ic2 = 2.0 * v2 - m_Ic2;
        m_Band = v1;
        m_Low = v2;
    }

    double m_K = 1.0, m_A1 = 0.0, m_A2 = 0.0, m_A3 = 0.0;
    double m_Ic1 = 0.0, m_Ic2 = 0.0;
    double m_Band = 0.0, m_Low = 0.0;
};

// White noise from -1 to 1 out of the deterministic source.
inline double Noise(CRandom& random) {
    return 2.0 * random.Unit() - 1.0;
}

inline std::int16_t ToPcm(double value) {
    return static_cast<std::int16_t>(std::clamp(std::lround(value * 32767.0), -32767L, 32767L));
}

// Scales the samples so that the loudest is at `peakDb` decibels below full scale.
inline void Normalise(std::vector<double>& samples, double peakDb) {
    double peak = 0.0;
    for (const double v : samples) {
        peak = std::max(peak, std::abs(v));
    }
    if (peak > 0.0) {
        const double gain = DbToGain(peakDb) / peak;
        for (double& v : samples) {
            v *= gain;
        }
    }
}

// Finishes a sound effect: takes out any offset (a high-pass at about 10 Hz), fades its ends
// so that it neither starts nor stops with a click, and brings its peak to `peakDb`.
inline SSound MakeEffect(std::string name, std::vector<double> samples, double peakDb,
                         double fadeIn, double fadeOut) {
    const double r = 1.0 - kTwoPi * 10.0 / kRate;
    double lastIn = 0.0, lastOut = 0.0;
    for (double& v : samples) {
        const double out = v - lastIn + r * lastOut;
        lastIn = v;
        lastOut = out;
        v = out;
    }
    const std::size_t n = samples.size();
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double fromStart = Seconds(i) + 0.5 / kRate;
        const double toEnd = Seconds(n - 1 - i) + 0.5 / kRate;
        samples[i] *= Ramp(fromStart, fadeIn) * Ramp(toEnd, fadeOut);
        sum += samples[i];
    }
    // What offset the high-pass could not take out of a short sound goes with a bump as long as
    // the sound (a raised cosine, which averages 1/2), so that the ends stay at zero.
    const double bump = 2.0 * sum / static_cast<double>(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double x = (static_cast<double>(i) + 0.5) / static_cast<double>(n);
        samples[i] -= bump * (0.5 - 0.5 * std::cos(kTwoPi * x));
    }
    Normalise(samples, peakDb);
    SSound sound;
    sound.name = std::move(name);
    sound.samples.reserve(n);
    for (const double v : samples) {
        sound.samples.push_back(ToPcm(v));
    }
    return sound;
}

} // namespace assetgen::synth
