#include "controls/base/uQvAE.h"

#include <cmath>

#include "platform/uQvTimers.h"

namespace {

using Real = long double;

constexpr Real Pi = 3.141592653589793238462643383279502884L;
// The overshoot of the back curves, and the larger one of their in-out form.
constexpr Real S = 1.70158L;
constexpr Real S2 = S * 1.525L;

constexpr int DefaultInterval = 10;

Real Pow2(Real X) {
    return std::pow(Real{2}, X);
}

}  // namespace

// ---- Curves -------------------------------------------------------------------------------

Real TQvAnimateEasing::backEaseIn(Real b, Real c, Real t) {
    return c * t * t * ((S + 1) * t - S) + b;
}

Real TQvAnimateEasing::backEaseOut(Real b, Real c, Real t) {
    const Real v = t - 1;
    return c * (v * v * ((S + 1) * v + S) + 1) + b;
}

Real TQvAnimateEasing::backEaseInOut(Real b, Real c, Real t) {
    const Real u = 2 * t;
    if (u < 1) return c / 2 * (u * u * ((S2 + 1) * u - S2)) + b;
    const Real v = u - 2;
    return c / 2 * (v * v * ((S2 + 1) * v + S2) + 2) + b;
}

Real TQvAnimateEasing::bounceEaseIn(Real b, Real c, Real t) {
    return c - bounceEaseOut(0, c, 1 - t) + b;
}

Real TQvAnimateEasing::bounceEaseOut(Real b, Real c, Real t) {
    if (t < 1 / 2.75L) return c * (7.5625L * t * t) + b;
    if (t < 2 / 2.75L) {
        const Real v = t - 1.5L / 2.75L;
        return c * (7.5625L * v * v + 0.75L) + b;
    }
    if (t < 2.5L / 2.75L) {
        const Real v = t - 2.25L / 2.75L;
        return c * (7.5625L * v * v + 0.9375L) + b;
    }
    const Real v = t - 2.625L / 2.75L;
    return c * (7.5625L * v * v + 0.984375L) + b;
}

Real TQvAnimateEasing::circEaseIn(Real b, Real c, Real t) {
    return -c * (std::sqrt(1 - t * t) - 1) + b;
}

Real TQvAnimateEasing::circEaseOut(Real b, Real c, Real t) {
    const Real v = t - 1;
    return c * std::sqrt(1 - v * v) + b;
}

Real TQvAnimateEasing::circEaseInOut(Real b, Real c, Real t) {
    const Real u = 2 * t;
    if (u < 1) return -c / 2 * (std::sqrt(1 - u * u) - 1) + b;
    const Real v = u - 2;
    return c / 2 * (std::sqrt(1 - v * v) + 1) + b;
}

Real TQvAnimateEasing::cubicEaseIn(Real b, Real c, Real t) {
    return c * t * t * t + b;
}

Real TQvAnimateEasing::cubicEaseOut(Real b, Real c, Real t) {
    const Real v = t - 1;
    return c * (v * v * v + 1) + b;
}

Real TQvAnimateEasing::cubicEaseInOut(Real b, Real c, Real t) {
    const Real u = 2 * t;
    if (u < 1) return c / 2 * u * u * u + b;
    const Real v = u - 2;
    return c / 2 * (v * v * v + 2) + b;
}

Real TQvAnimateEasing::elasticEaseIn(Real b, Real c, Real t) {
    if (t == 0) return b;
    if (t == 1) return c;
    return b - c * Pow2(10 * (t - 1)) * std::sin((t - 1 - 0.0625L) * (2 * Pi) / 0.25L);
}

Real TQvAnimateEasing::elasticEaseOut(Real b, Real c, Real t) {
    if (c == 0) return 0;
    if (t == 0) return b;
    if (t == 1) return c;
    return b + c - c * Pow2(-10 * t) * std::sin((t - 0.0625L) * (2 * Pi) / 0.25L);
}

Real TQvAnimateEasing::expoEaseIn(Real b, Real c, Real t) {
    if (t == 0) return b;
    return b + c * Pow2(10 * (t - 1)) - c * 0.001L;
}

Real TQvAnimateEasing::expoEaseOut(Real b, Real c, Real t) {
    if (t == 1) return c;
    return (1 - Pow2(-10 * t)) * c * 1.001L + b;
}

Real TQvAnimateEasing::expoEaseInOut(Real b, Real c, Real t) {
    if (t == 0) return b;
    if (t == 1) return c;
    const Real u = 2 * t;
    if (u < 1) return b + c / 2 * Pow2(10 * (u - 1)) - c * 0.0005L;
    return b + (2 - Pow2(-10 * (u - 1))) * c / 2 * 1.0005L;
}

Real TQvAnimateEasing::quadEaseIn(Real b, Real c, Real t) {
    return c * t * t + b;
}

Real TQvAnimateEasing::quadEaseOut(Real b, Real c, Real t) {
    return -c * t * (t - 2) + b;
}

Real TQvAnimateEasing::quadEaseInOut(Real b, Real c, Real t) {
    const Real u = 2 * t;
    if (u < 1) return c / 2 * u * u + b;
    return -c / 2 * ((u - 1) * (u - 3) - 1) + b;
}

Real TQvAnimateEasing::quartEaseIn(Real b, Real c, Real t) {
    return c * t * t * t * t + b;
}

Real TQvAnimateEasing::quartEaseOut(Real b, Real c, Real t) {
    const Real v = t - 1;
    return -c * (v * v * v * v - 1) + b;
}

Real TQvAnimateEasing::quartEaseInOut(Real b, Real c, Real t) {
    const Real u = 2 * t;
    if (u < 1) return c / 2 * u * u * u * u + b;
    const Real v = u - 2;
    return -c / 2 * (v * v * v * v - 2) + b;
}

Real TQvAnimateEasing::quintEaseIn(Real b, Real c, Real t) {
    return c * t * t * t * t * t + b;
}

Real TQvAnimateEasing::quintEaseOut(Real b, Real c, Real t) {
    const Real v = t - 1;
    return c * (v * v * v * v * v + 1) + b;
}

Real TQvAnimateEasing::quintEaseInOut(Real b, Real c, Real t) {
    const Real u = 2 * t;
    if (u < 1) return c / 2 * u * u * u * u * u + b;
    const Real v = u - 2;
    return c / 2 * (v * v * v * v * v + 2) + b;
}

Real TQvAnimateEasing::sineEaseIn(Real b, Real c, Real t) {
    return -c * std::cos(t * (Pi / 2)) + c + b;
}

Real TQvAnimateEasing::sineEaseOut(Real b, Real c, Real t) {
    return c * std::sin(t * (Pi / 2)) + b;
}

Real TQvAnimateEasing::sineEaseInOut(Real b, Real c, Real t) {
    return -c / 2 * (std::cos(Pi * t) - 1) + b;
}

// ---- Sampling -----------------------------------------------------------------------------

TEasingFunc TQvAnimateEasing::GetEasingFunc(TEasingType Easing) {
    // In the order of TEasingType.
    static constexpr TEasingFunc Curves[] = {
        backEaseIn,     backEaseOut,   backEaseInOut, bounceEaseIn,   bounceEaseOut,  circEaseIn,
        circEaseOut,    circEaseInOut, cubicEaseIn,   cubicEaseOut,   cubicEaseInOut, elasticEaseIn,
        elasticEaseOut, expoEaseIn,    expoEaseOut,   expoEaseInOut,  quadEaseIn,     quadEaseOut,
        quadEaseInOut,  quartEaseIn,   quartEaseOut,  quartEaseInOut, quintEaseIn,    quintEaseOut,
        quintEaseInOut, sineEaseIn,    sineEaseOut,   sineEaseInOut};
    static_assert(std::size(Curves) == etSineEaseInOut + 1);
    const int Index = static_cast<int>(Easing);
    if (Index < 0 || Index > etSineEaseInOut) return quartEaseInOut;
    return Curves[Index];
}

void TQvAnimateEasing::GenerateValues(int Different, int StepCount, TResultArray& Values,
                                      TEasingType Easing) {
    if (StepCount <= 0) return;
    const TEasingFunc Curve = GetEasingFunc(Easing);
    Values.resize(static_cast<size_t>(StepCount));
    for (int I = 0; I < StepCount; ++I)
        Values[static_cast<size_t>(I)] = Curve(0, Different, static_cast<Real>(I) / StepCount);
}

// ---- The run ------------------------------------------------------------------------------

TQvAnimateEasing::TQvAnimateEasing()
    : FTimer(std::make_unique<TSimpleTimer>(DefaultInterval, [this](TObject*) { Tick(); })),
      FDelayTimer(std::make_unique<TSimpleTimer>(DefaultInterval, [this](TObject*) {
          FStartTime = GetTickCount64();
          BeginRun();
      })) {
    // Both stop themselves before each tick; Tick starts the next one.
    FTimer->SetAutoDisable(true);
    FDelayTimer->SetAutoDisable(true);
}

TQvAnimateEasing::~TQvAnimateEasing() {
    *FAlive = false;
}

void TQvAnimateEasing::Animating(int StartPos, int Different, TEasingType Easing, int AnimLength) {
    Animating(StartPos, Different, -1, DefaultInterval, Easing, AnimLength);
}

void TQvAnimateEasing::Animating(int StartPos, int Different, int Delay, TEasingType Easing, int AnimLength) {
    Animating(StartPos, Different, Delay, DefaultInterval, Easing, AnimLength);
}

void TQvAnimateEasing::Animating(int StartPos, int Different, int Delay, int Interval, TEasingType Easing,
                                 int AnimLength) {
    StopAnimating();
    ++FRun;
    FEasingFunc = GetEasingFunc(Easing);
    FStartPos = StartPos;
    FDifferent = Different;
    FAnimLength = AnimLength;
    FStartTime = GetTickCount64();
    // A timer of interval 0 never starts: such a run would never move.
    FTimer->SetInterval(Interval > 0 ? static_cast<UINT>(Interval) : DefaultInterval);
    if (Delay <= 0) {
        BeginRun();
        return;
    }
    FDelayTimer->SetInterval(static_cast<UINT>(Delay));
    FDelayTimer->SetEnabled(true);
}

void TQvAnimateEasing::StopAnimating() {
    FTimer->SetEnabled(false);
    FDelayTimer->SetEnabled(false);
}

bool TQvAnimateEasing::Running() const {
    return FTimer->Enabled() || FDelayTimer->Enabled();
}

void TQvAnimateEasing::BeginRun() {
    if (FAnimLength <= 0) {
        Finish();
        return;
    }
    FTimer->SetEnabled(true);
}

void TQvAnimateEasing::Tick() {
    const uint64_t Elapsed = GetTickCount64() - FStartTime;
    if (Elapsed >= static_cast<uint64_t>(FAnimLength)) {
        Finish();
        return;
    }
    const Real Value = FEasingFunc(FStartPos, FDifferent, static_cast<Real>(Elapsed) / FAnimLength);
    // Started before the report, so that a handler's StopAnimating holds.
    FTimer->SetEnabled(true);
    if (OnTick) {
        const TAnimateTickEvent Handler = OnTick;
        Handler(this, Value);
    }
}

void TQvAnimateEasing::Finish() {
    // Exactly the end: past the length a curve would overshoot, and the elastic and expo
    // curves give Different alone at t = 1.
    const Real End = static_cast<Real>(FStartPos) + FDifferent;
    const std::shared_ptr<bool> Alive = FAlive;
    const uint64_t Run = FRun;
    if (OnTick) {
        const TAnimateTickEvent Handler = OnTick;
        Handler(this, End);
    }
    // Not when the report freed this object or began another run.
    if (!*Alive || FRun != Run || !OnFinish) return;
    const TNotifyEvent Handler = OnFinish;
    Handler(this);
}
