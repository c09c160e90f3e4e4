// The eight effect sounds: 44.1 kHz, 16-bit mono, each under 1.5 s, made from
// noise, oscillators and envelopes.
#include <cmath>

#include "art.h"
#include "synth.h"

namespace assetgen {

namespace {

Samples blank(float seconds) { return Samples(size_t(seconds * kRate), 0.f); }

// Sine whose frequency glides exponentially from f0 to f1 over `glide` s.
struct Glide {
  double phase = 0;
  float step(float t, float f0, float f1, float glide) {
    float f = f0 * std::pow(f1 / f0, std::min(1.f, t / glide));
    phase += f / kRate;
    return float(std::sin(2 * M_PI * phase));
  }
};

Samples rocketLaunch() {
  Samples s = blank(1.15f);
  Rng rng("rocket");
  Svf band;
  OnePole rumble;
  Glide thump;
  for (size_t i = 0; i < s.size(); ++i) {
    float t = float(i) / kRate, n = rng.uniform() * 2 - 1;
    float sweep = t < 0.25f ? 300 + 2400 * (t / 0.25f) : 2700 * std::exp(-(t - 0.25f) * 1.6f) + 500;
    float whoosh = band.step(n, sweep, 1.4f).band * attack(t, 0.04f) * expDecay(t, 0.45f);
    float roar = rumble.lowpass(n, 500) * 2.5f * attack(t, 0.02f) * expDecay(t, 0.35f);
    float boom = thump.step(t, 95, 40, 0.2f) * expDecay(t, 0.09f);
    s[i] = whoosh * 1.2f + roar + boom * 0.9f;
  }
  finishSound(s, 0.85f);
  return s;
}

Samples thunderCrack() {
  Samples s = blank(1.4f);
  Rng rng("thunder");
  OnePole low, low2;
  Svf hiss;
  Glide zap;
  std::vector<float> cracks;
  for (int i = 0; i < 14; ++i) cracks.push_back(rng.range(0.f, 0.32f) * rng.uniform());
  for (size_t i = 0; i < s.size(); ++i) {
    float t = float(i) / kRate, n = rng.uniform() * 2 - 1;
    float crack = hiss.step(n, 4500, 0.7f).high * expDecay(t, 0.05f) * 1.4f;
    for (float c : cracks)
      if (t >= c && t < c + 0.012f) crack += n * std::exp(-(t - c) / 0.003f) * 1.1f;
    float saw = float(std::fmod(zap.phase * 7.0, 1.0)) * 2 - 1;
    zap.step(t, 1800, 120, 0.25f);
    float buzz = saw * 0.35f * expDecay(t, 0.12f);
    float brown = low.lowpass(n, 180);
    float rumble = low2.lowpass(brown, 90) * 9.f * attack(t, 0.06f) * expDecay(t, 0.5f) *
                   (0.7f + 0.3f * std::sin(t * 19.f));
    s[i] = crack + buzz + rumble;
  }
  finishSound(s, 0.88f);
  return s;
}

Samples laserShot() {
  Samples s = blank(0.3f);
  Glide main, sub;
  for (size_t i = 0; i < s.size(); ++i) {
    float t = float(i) / kRate;
    float a = main.step(t, 1900, 240, 0.22f), b = sub.step(t, 950, 120, 0.22f);
    float edge = std::tanh(a * 3.f) * 0.5f;  // bright but band-limited enough not to alias
    s[i] = (a * 0.6f + edge * 0.25f + b * 0.35f) * attack(t, 0.004f) * expDecay(t, 0.08f);
  }
  finishSound(s, 0.8f, 0.002f, 0.03f);
  return s;
}

Samples heavyLaser() {
  Samples s = blank(0.75f);
  Rng rng("heavy");
  double p1 = 0, p2 = 0;
  Svf lp, sizzle;
  Glide sub;
  for (size_t i = 0; i < s.size(); ++i) {
    float t = float(i) / kRate;
    float f = 900 * std::pow(90.f / 900.f, std::min(1.f, t / 0.55f));
    p1 += f / kRate;
    p2 += f * 1.012 / kRate;
    float saw = float(std::fmod(p1, 1.0) + std::fmod(p2, 1.0)) - 1.f;
    float body = lp.step(saw, 2500 * expDecay(t, 0.25f) + 300, 2.f).low;
    float fizz = sizzle.step(rng.uniform() * 2 - 1, 5000, 3.f).band * expDecay(t, 0.12f);
    s[i] = (body * 0.9f + fizz * 0.5f + sub.step(t, 160, 55, 0.4f) * 0.6f) * attack(t, 0.005f) *
           expDecay(t, 0.22f);
  }
  finishSound(s, 0.85f);
  return s;
}

Samples minigunShot() {
  Samples s = blank(0.2f);
  Rng rng("minigun");
  Svf band;
  Glide thump;
  for (size_t i = 0; i < s.size(); ++i) {
    float t = float(i) / kRate, n = rng.uniform() * 2 - 1;
    float crack = band.step(n, 1700, 1.2f).band * expDecay(t, 0.025f) * 2.f;
    float knock = thump.step(t, 180, 70, 0.06f) * expDecay(t, 0.035f);
    s[i] = crack + knock * 0.8f;
  }
  finishSound(s, 0.82f, 0.001f, 0.02f);
  return s;
}

Samples sniperShot() {
  Samples s = blank(0.95f);
  Rng rng("sniper");
  Svf crack, tail;
  for (size_t i = 0; i < s.size(); ++i) {
    float t = float(i) / kRate, n = rng.uniform() * 2 - 1;
    float snap = crack.step(n, 6000, 0.8f).high * expDecay(t, 0.012f) * 2.f;
    float ring = float(std::sin(2 * M_PI * 2900 * t) + 0.5 * std::sin(2 * M_PI * 4350 * t)) *
                 expDecay(t, 0.16f) * 0.3f;
    float echo = tail.step(n, 900, 1.f).low * attack(t, 0.03f) * expDecay(t, 0.3f) * 0.9f;
    s[i] = snap + ring + echo;
  }
  finishSound(s, 0.85f, 0.001f, 0.05f);
  return s;
}

Samples explosion() {
  Samples s = blank(1.45f);
  Rng rng("crash");
  Svf body;
  OnePole deep;
  Glide boom;
  for (size_t i = 0; i < s.size(); ++i) {
    float t = float(i) / kRate, n = rng.uniform() * 2 - 1;
    float cutoff = 200 + 3000 * expDecay(t, 0.18f);
    float blast = body.step(n, cutoff, 0.9f).low * attack(t, 0.006f) * expDecay(t, 0.38f) * 1.6f;
    float rumble = deep.lowpass(n, 120) * 4.f * expDecay(t, 0.55f);
    float sub = boom.step(t, 70, 28, 0.8f) * attack(t, 0.01f) * expDecay(t, 0.35f);
    float debris = (rng.uniform() < 0.0009f * expDecay(t, 0.5f)) ? rng.range(-0.6f, 0.6f) : 0.f;
    s[i] = blast + rumble + sub * 0.9f + debris;
  }
  finishSound(s, 0.9f, 0.003f, 0.08f);
  return s;
}

// The own hull struck: a hollow metal clank with a falling two-tone alarm
// beep, short and unlike any weapon, so a hit taken is heard as such.
Samples hullHit() {
  Samples s = blank(0.35f);
  Rng rng("hurt");
  Svf ring;
  Glide beep;
  for (size_t i = 0; i < s.size(); ++i) {
    float t = float(i) / kRate, n = rng.uniform() * 2 - 1;
    float clank = ring.step(n, 420, 9.f).band * expDecay(t, 0.07f) * 1.6f;
    float tone = beep.step(t, 1250, 620, 0.2f);
    float alarm = float(std::tanh(tone * 2.f)) * 0.35f * attack(t, 0.01f) * expDecay(t, 0.12f);
    s[i] = clank + alarm;
  }
  finishSound(s, 0.8f, 0.001f, 0.04f);
  return s;
}

}  // namespace

void makeSounds(Output& out) {
  out.wav("Sounds/RL.wav", rocketLaunch(), kRate);
  out.wav("Sounds/thunder.wav", thunderCrack(), kRate);
  out.wav("Sounds/blasters.wav", laserShot(), kRate);
  out.wav("Sounds/Big_Lasers.wav", heavyLaser(), kRate);
  out.wav("Sounds/Minigun.wav", minigunShot(), kRate);
  out.wav("Sounds/Sniper.wav", sniperShot(), kRate);
  out.wav("Sounds/Crash.wav", explosion(), kRate);
  out.wav("Sounds/Hurt.wav", hullHit(), kRate);
}

}  // namespace assetgen
