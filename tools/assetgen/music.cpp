// The menu and game music: 64 s of a slow, calm space theme in D minor (pads,
// a soft bass, bell arpeggios, a breath of wind) that loops without a seam.
// Every note is written into a circular buffer, so a tail that runs past the
// end continues at the start; the echo and reverb run over the loop twice and
// keep the second pass, whose input already holds the tails of the first.
#include <algorithm>
#include <array>
#include <cmath>

#include "art.h"
#include "synth.h"

namespace assetgen {

namespace {

constexpr float kChord = 4.f;  // seconds per chord
constexpr int kChords = 16;
constexpr size_t kLength = size_t(kChord * kChords * kRate);

float midiHz(float m) { return 440.f * std::pow(2.f, (m - 69.f) / 12.f); }

struct Stereo {
  Samples l = Samples(kLength, 0.f), r = Samples(kLength, 0.f);
  void add(size_t i, float v, float pan) {  // pan -1 left .. 1 right
    i %= kLength;
    l[i] += v * std::sqrt(0.5f * (1 - pan));
    r[i] += v * std::sqrt(0.5f * (1 + pan));
  }
};

using Chord = std::array<int, 4>;
const Chord kDm7{50, 57, 60, 65}, kBb{46, 53, 57, 62}, kGm7{43, 50, 53, 58}, kAsus{45, 52, 57, 62},
    kF{41, 48, 52, 57}, kC{48, 55, 62, 64};
const Chord kProgression[kChords] = {kDm7, kBb, kGm7, kAsus, kDm7, kBb, kGm7, kAsus,
                                     kF,   kC,  kBb,  kAsus, kDm7, kBb, kGm7, kAsus};

// Warm pad wave: few soft harmonics, read from a table for speed.
std::vector<float> padTable() {
  std::vector<float> t(4096);
  for (size_t i = 0; i < t.size(); ++i) {
    double ph = 2 * M_PI * double(i) / double(t.size()), v = 0;
    for (int h = 1; h <= 7; ++h) v += std::sin(ph * h) / std::pow(h, 1.6);
    t[i] = float(v * 0.5);
  }
  return t;
}

void padNote(Stereo& out, const std::vector<float>& table, size_t start, float midi, float len,
             float pan, Rng& rng) {
  const float attackS = 1.6f, releaseS = 2.4f;
  size_t n = size_t((len + releaseS) * kRate);
  for (float detune : {-0.0022f, 0.f, 0.0019f}) {
    double phase = rng.uniform(), step = midiHz(midi) * (1 + detune) / kRate;
    float p = std::clamp(pan + detune * 180.f, -1.f, 1.f);
    for (size_t i = 0; i < n; ++i) {
      float t = float(i) / kRate;
      float env =
          std::min(1.f, t / attackS) * (t < len ? 1.f : std::exp(-(t - len) / (releaseS * 0.35f)));
      float pos = float(phase * table.size());
      size_t k = size_t(pos) % table.size();
      float frac = pos - std::floor(pos);
      float v = table[k] + (table[(k + 1) % table.size()] - table[k]) * frac;
      out.add(start + i, v * env * 0.05f, p);
      phase += step;
      if (phase >= 1) phase -= 1;
    }
  }
}

void bassNote(Stereo& out, size_t start, float midi, float len) {
  size_t n = size_t((len + 1.5f) * kRate);
  double phase = 0, step = midiHz(midi) / kRate;
  for (size_t i = 0; i < n; ++i) {
    float t = float(i) / kRate;
    float env = std::min(1.f, t / 0.6f) * (t < len ? 1.f : std::exp(-(t - len) / 0.4f));
    float v = float(std::sin(2 * M_PI * phase) + 0.25 * std::sin(4 * M_PI * phase));
    out.add(start + i, v * env * 0.16f, 0.f);
    phase += step;
  }
}

// Soft FM bell: the brightness fades faster than the tone.
void bellNote(Stereo& out, size_t start, float midi, float velocity, float pan) {
  const float f = midiHz(midi);
  size_t n = size_t(3.2f * kRate);
  for (size_t i = 0; i < n; ++i) {
    float t = float(i) / kRate;
    float index = 1.8f * std::exp(-t / 0.35f);
    float mod = std::sin(2 * float(M_PI) * f * 2.f * t) * index;
    float v = std::sin(2 * float(M_PI) * f * t + mod);
    float env = std::min(1.f, t / 0.004f) * std::exp(-t / 0.9f);
    out.add(start + i, v * env * 0.07f * velocity, pan);
  }
}

void arrangement(Stereo& out) {
  Rng rng("music");
  std::vector<float> table = padTable();
  const int scale[] = {62, 65, 67, 69, 72, 74, 77, 79, 81};
  const int pattern[] = {0, 2, 1, 3, 2, 4, 3, 1};
  for (int c = 0; c < kChords; ++c) {
    size_t at = size_t(c * kChord * kRate);
    const Chord& ch = kProgression[c];
    for (int v = 1; v < 4; ++v)
      padNote(out, table, at, float(ch[v] + 12 - (v == 3 ? 12 : 0)), kChord,
              -0.5f + 0.5f * v - 0.5f, rng);
    bassNote(out, at, float(ch[0] - 12), kChord - 0.3f);
    // Bells: chord tones mapped onto the pentatonic scale, sparse at the
    // start and end of the loop, busier in the middle.
    int busy = (c >= 4 && c < 12) ? 8 : 4;
    for (int step = 0; step < 8; ++step) {
      if (busy == 4 && step % 2) continue;
      if (rng.uniform() < 0.18f) continue;
      int root = (ch[1] % 12);
      int idx = (pattern[step] + root / 3 + (c / 4)) % 9;
      float vel = 0.6f + 0.4f * rng.uniform() + (step == 0 ? 0.2f : 0.f);
      bellNote(out, at + size_t(step * 0.5f * kRate), float(scale[idx]), vel,
               step % 2 ? 0.45f : -0.45f);
    }
  }
  // A slow melody over the third phrase.
  const int melody[] = {81, 79, 77, 76, 74, 77, 76, 72};
  for (int i = 0; i < 8; ++i)
    bellNote(out, size_t((8 * kChord + i * 2.f) * kRate), float(melody[i]), 1.1f, 0.1f);
}

// Wind: a fixed noise loop through a band that drifts with a period that
// divides the loop. The filters run over the loop twice so that their state
// at the start equals their state at the end.
void wind(Stereo& out) {
  Rng rng("wind");
  Samples nl(kLength), nr(kLength);
  for (size_t i = 0; i < kLength; ++i) nl[i] = rng.uniform() * 2 - 1, nr[i] = rng.uniform() * 2 - 1;
  Svf fl, fr;
  for (int pass = 0; pass < 2; ++pass)
    for (size_t i = 0; i < kLength; ++i) {
      float t = float(i) / kRate;
      float centre = 500 + 300 * std::sin(2 * float(M_PI) * t / 16.f);
      float a = fl.step(nl[i], centre, 2.5f).band;
      float b = fr.step(nr[i], centre * 1.1f, 2.5f).band;
      float amp = 0.012f * (0.6f + 0.4f * std::sin(2 * float(M_PI) * t / 32.f + 1.f));
      if (pass == 1) {
        out.l[i] += a * amp;
        out.r[i] += b * amp;
      }
    }
}

struct Comb {
  std::vector<float> buf;
  size_t pos = 0;
  float store = 0;
  explicit Comb(size_t n) : buf(n, 0.f) {}
  float step(float in, float feedback, float damp) {
    float out = buf[pos];
    store = out * (1 - damp) + store * damp;
    buf[pos] = in + store * feedback;
    pos = (pos + 1) % buf.size();
    return out;
  }
};

struct Allpass {
  std::vector<float> buf;
  size_t pos = 0;
  explicit Allpass(size_t n) : buf(n, 0.f) {}
  float step(float in) {
    float b = buf[pos], out = b - in;
    buf[pos] = in + b * 0.5f;
    pos = (pos + 1) % buf.size();
    return out;
  }
};

// Echo and reverb over two passes of the loop; keeps the second.
void ambience(Stereo& io) {
  Stereo out;
  const size_t echo = size_t(0.75f * kRate);
  std::vector<float> el(echo, 0.f), er(echo, 0.f);
  std::vector<Comb> cl, cr;
  for (size_t d : {1557u, 1617u, 1491u, 1422u}) cl.emplace_back(d), cr.emplace_back(d + 23);
  Allpass al1(556), al2(441), ar1(579), ar2(464);
  size_t ep = 0;
  for (int pass = 0; pass < 2; ++pass)
    for (size_t i = 0; i < kLength; ++i) {
      float l = io.l[i], r = io.r[i];
      // Ping-pong echo.
      float dl = el[ep], dr = er[ep];
      el[ep] = l + dr * 0.38f;
      er[ep] = r + dl * 0.38f;
      ep = (ep + 1) % echo;
      float wl = l + dl * 0.3f, wr = r + dr * 0.3f;
      float sl = 0, sr = 0;
      for (Comb& c : cl) sl += c.step(wl * 0.1f, 0.86f, 0.25f);
      for (Comb& c : cr) sr += c.step(wr * 0.1f, 0.86f, 0.25f);
      sl = al2.step(al1.step(sl));
      sr = ar2.step(ar1.step(sr));
      if (pass == 1) {
        out.l[i] = wl + sl * 0.9f;
        out.r[i] = wr + sr * 0.9f;
      }
    }
  io = std::move(out);
}

}  // namespace

Samples musicLoop() {
  Stereo mix;
  arrangement(mix);
  wind(mix);
  ambience(mix);
  float peak = std::max(peakOf(mix.l), peakOf(mix.r));
  Samples inter(kLength * 2);
  for (size_t i = 0; i < kLength; ++i) {
    inter[2 * i] = mix.l[i] * 0.8f / peak;
    inter[2 * i + 1] = mix.r[i] * 0.8f / peak;
  }
  return inter;
}

void makeMusic(Output& out) {
  out.ogg("sounds/01 Falling off the captain's log.ogg", musicLoop(), kRate);
}

}  // namespace assetgen
