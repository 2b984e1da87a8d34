#pragma once
// Easing: the 28 classic curves, sampling a curve into an array of values, and a run that
// moves a value along a curve on a light timer, reporting each value through OnTick and
// the end through OnFinish. Values are extended precision (long double).

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "controls/base/uSimpleTimer.h"

// A fixed underlying type, so that any integer is a valid value (those above 27 select
// quartEaseInOut).
enum TEasingType : int {
    etBackEaseIn,
    etbackEaseOut,
    etBackEaseInOut,
    etBounceEaseIn,
    etBounceEaseOut,
    etCircEaseIn,
    etCircEaseOut,
    etCircEaseInOut,
    etCubicEaseIn,
    etCubicEaseOut,
    etCubicEaseInOut,
    etElasticEaseIn,
    etElasticEaseOut,
    etExpoEaseIn,
    etExpoEaseOut,
    etExpoEaseInOut,
    etQuadEaseIn,
    etQuadEaseOut,
    etQuadEaseInOut,
    etQuartEaseIn,
    etQuartEaseOut,
    etQuartEaseInOut,
    etQuintEaseIn,
    etQuintEaseOut,
    etQuintEaseInOut,
    etSineEaseIn,
    etSineEaseOut,
    etSineEaseInOut
};

using TResultArray = std::vector<long double>;
// A curve: start b, change c, progress t in [0, 1].
using TEasingFunc = long double (*)(long double b, long double c, long double t);
using TAnimateTickEvent = std::function<void(TObject* Sender, long double Value)>;

class TQvAnimateEasing : public TObject {
public:
    TQvAnimateEasing();
    ~TQvAnimateEasing() override;

    // StepCount entries, entry i taken at t = i / StepCount (the last one short of 1), from 0
    // by Different. A StepCount of 0 or less leaves Values as they were.
    static void GenerateValues(int Different, int StepCount, TResultArray& Values, TEasingType Easing);
    // The curve of the same name; any value outside the type gives quartEaseInOut.
    static TEasingFunc GetEasingFunc(TEasingType Easing);

    // Runs from StartPos by Different over AnimLength ms, a tick every Interval ms, after
    // Delay ms (-1: at once). Each tick reports the curve's value at the elapsed time; the
    // last one, once AnimLength has passed, reports StartPos + Different exactly, then
    // OnFinish follows. A run of no length (0 or less) reports the end value at once.
    void Animating(int StartPos, int Different, TEasingType Easing, int AnimLength);
    void Animating(int StartPos, int Different, int Delay, TEasingType Easing, int AnimLength);
    void Animating(int StartPos, int Different, int Delay, int Interval, TEasingType Easing, int AnimLength);
    // Back to idle from the delay or the run; reports nothing.
    void StopAnimating();
    // Whether a run waits for its delay or is under way.
    bool Running() const;

    TAnimateTickEvent OnTick;
    TNotifyEvent OnFinish;

    static long double backEaseIn(long double b, long double c, long double t);
    static long double backEaseOut(long double b, long double c, long double t);
    static long double backEaseInOut(long double b, long double c, long double t);
    static long double bounceEaseIn(long double b, long double c, long double t);
    static long double bounceEaseOut(long double b, long double c, long double t);
    static long double circEaseIn(long double b, long double c, long double t);
    static long double circEaseOut(long double b, long double c, long double t);
    static long double circEaseInOut(long double b, long double c, long double t);
    static long double cubicEaseIn(long double b, long double c, long double t);
    static long double cubicEaseOut(long double b, long double c, long double t);
    static long double cubicEaseInOut(long double b, long double c, long double t);
    // The elastic and expo curves give c, not b + c, at t = 1 (and elasticEaseOut 0 for
    // c = 0); with b = 0, as GenerateValues calls them, that is the same.
    static long double elasticEaseIn(long double b, long double c, long double t);
    static long double elasticEaseOut(long double b, long double c, long double t);
    static long double expoEaseIn(long double b, long double c, long double t);
    static long double expoEaseOut(long double b, long double c, long double t);
    static long double expoEaseInOut(long double b, long double c, long double t);
    static long double quadEaseIn(long double b, long double c, long double t);
    static long double quadEaseOut(long double b, long double c, long double t);
    static long double quadEaseInOut(long double b, long double c, long double t);
    static long double quartEaseIn(long double b, long double c, long double t);
    static long double quartEaseOut(long double b, long double c, long double t);
    static long double quartEaseInOut(long double b, long double c, long double t);
    static long double quintEaseIn(long double b, long double c, long double t);
    static long double quintEaseOut(long double b, long double c, long double t);
    static long double quintEaseInOut(long double b, long double c, long double t);
    static long double sineEaseIn(long double b, long double c, long double t);
    static long double sineEaseOut(long double b, long double c, long double t);
    static long double sineEaseInOut(long double b, long double c, long double t);

private:
    void BeginRun();
    void Tick();
    void Finish();

    int FStartPos = 0;
    int FAnimLength = 0;
    int FDifferent = 0;
    uint64_t FStartTime = 0;
    uint64_t FRun = 0;  // counts the runs begun
    TEasingFunc FEasingFunc = nullptr;
    std::unique_ptr<TSimpleTimer> FTimer;
    std::unique_ptr<TSimpleTimer> FDelayTimer;
    // Cleared when the object is freed, so that a handler freeing it ends the tick there.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
