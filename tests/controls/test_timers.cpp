// Light timers and easing on the virtual clock, and the position and margin objects.

#include <memory>

#include "controls/base/uQvAE.h"
#include "controls/base/uQvLocate.h"
#include "controls/base/uSimpleTimer.h"
#include "framework/uQvAppInit.h"
#include "platform/uQvMessages.h"
#include "support/qv_headless_fixture.h"

namespace {

class TimersTest : public TQvHeadlessTest {
protected:
    void Wait(uint64_t Ms) {
        Headless->Advance(Ms);
        ProcessMessages();
    }
    static int Active() { return TSimpleTimerHandler::Instance()->ActiveCount(); }
};

TEST_F(TimersTest, TicksAutoDisableAndIntervalZero) {
    int Ticks = 0;
    TSimpleTimer T(100, [&](TObject* Sender) {
        EXPECT_EQ(Sender, &T);
        ++Ticks;
    });
    EXPECT_FALSE(T.Enabled());
    T.SetEnabled(true);
    Wait(100);
    Wait(100);
    EXPECT_EQ(Ticks, 2);
    EXPECT_EQ(Active(), 1);

    // One tick per start, and the timer reads disabled in its own handler.
    T.SetAutoDisable(true);
    T.SetOnTimer([&](TObject*) {
        EXPECT_FALSE(T.Enabled());
        ++Ticks;
    });
    Wait(100);
    Wait(500);
    EXPECT_EQ(Ticks, 3);
    EXPECT_EQ(Active(), 0);
    T.SetEnabled(true);
    Wait(1000);
    EXPECT_EQ(Ticks, 4);

    // Interval 0 stops the ticks but not Enabled; a new interval starts them again.
    T.SetAutoDisable(false);
    T.SetOnTimer([&](TObject*) { ++Ticks; });
    T.SetEnabled(true);
    T.SetInterval(0);
    EXPECT_TRUE(T.Enabled());
    EXPECT_FALSE(T.Running());
    EXPECT_EQ(Active(), 0);
    Wait(1000);
    EXPECT_EQ(Ticks, 4);
    T.SetInterval(50);
    Wait(50);
    EXPECT_EQ(Ticks, 5);
    EXPECT_EQ(Active(), 1);

    // No handler, no platform timer; the handler back, the ticks back.
    T.SetOnTimer(nullptr);
    EXPECT_FALSE(T.Running());
    T.SetOnTimer([&](TObject*) { Ticks += 10; });
    Wait(50);
    EXPECT_EQ(Ticks, 15);

    T.SetEnabled(false);
    EXPECT_EQ(Active(), 0);
    // A start with interval 0 fails and leaves the timer disabled.
    T.SetInterval(0);
    T.SetEnabled(true);
    EXPECT_FALSE(T.Enabled());
}

TEST_F(TimersTest, SharedHandlerLivesWithItsTimersAndDropsStrayTicks) {
    EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr);
    auto A = std::make_unique<TSimpleTimer>();
    EXPECT_EQ(A->Interval(), 1000u);
    int BTicks = 0;
    auto* B = new TSimpleTimer(10, [&](TObject*) { ++BTicks; });
    EXPECT_NE(A->TimerId(), B->TimerId());
    EXPECT_EQ(TSimpleTimerHandler::Instance()->RefCount(), 2);
    B->SetEnabled(true);

    // A tick already queued for a freed timer, and one naming no timer, are dropped.
    const HWND W = TSimpleTimerHandler::Instance()->Window();
    PostMessage(W, WM_TIMER, B->TimerId(), 0);
    PostMessage(W, WM_TIMER, reinterpret_cast<WPARAM>(A.get()), 0);
    delete B;
    ProcessMessages();
    EXPECT_EQ(BTicks, 0);

    // A timer freed by its own handler, the last one: the handler goes with it.
    A.reset();
    EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr);
    int Ticks = 0;
    auto* C = new TSimpleTimer(10, [&](TObject* Sender) {
        ++Ticks;
        delete static_cast<TSimpleTimer*>(Sender);
    });
    C->SetEnabled(true);
    Wait(10);
    Wait(10);
    EXPECT_EQ(Ticks, 1);
    EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr);
}

TEST_F(TimersTest, WindowComesWithTheSetUpOrOnDemand) {
    RegisterSimpleTimers();
    RegisterSimpleTimers();
    int Ticks = 0;
    TSimpleTimer Early(100, [&](TObject*) { ++Ticks; });
    Early.SetEnabled(true);
    Wait(100);
    EXPECT_EQ(Ticks, 1);

    AppInit();
    const HWND W = TSimpleTimerHandler::Instance()->CurrentWindow();
    ASSERT_NE(W, nullptr);
    Wait(100);
    EXPECT_EQ(Ticks, 2);

    // Shut-down stops the timers and frees the window; a later start makes a new one.
    AppShutdown();
    EXPECT_FALSE(Early.Enabled());
    EXPECT_EQ(TSimpleTimerHandler::Instance()->CurrentWindow(), nullptr);
    Early.SetEnabled(true);
    Wait(100);
    EXPECT_EQ(Ticks, 3);
    EXPECT_NE(TSimpleTimerHandler::Instance()->CurrentWindow(), W);
}

TEST(EasingTest, CurvesAndSampling) {
    TResultArray V;
    TQvAnimateEasing::GenerateValues(100, 4, V, etQuadEaseIn);
    EXPECT_EQ(V, (TResultArray{0, 6.25L, 25, 56.25L}));
    TQvAnimateEasing::GenerateValues(100, 0, V, etCubicEaseIn);
    TQvAnimateEasing::GenerateValues(100, -2, V, etCubicEaseIn);
    EXPECT_EQ(V.size(), 4u);
    EXPECT_EQ(V[3], 56.25L);

    EXPECT_EQ(TQvAnimateEasing::GetEasingFunc(etQuartEaseInOut), &TQvAnimateEasing::quartEaseInOut);
    EXPECT_EQ(TQvAnimateEasing::GetEasingFunc(static_cast<TEasingType>(28)),
              &TQvAnimateEasing::quartEaseInOut);
    EXPECT_EQ(TQvAnimateEasing::GetEasingFunc(static_cast<TEasingType>(-1)),
              &TQvAnimateEasing::quartEaseInOut);
    EXPECT_EQ(TQvAnimateEasing::GetEasingFunc(etBackEaseIn), &TQvAnimateEasing::backEaseIn);
    EXPECT_EQ(TQvAnimateEasing::GetEasingFunc(etElasticEaseOut), &TQvAnimateEasing::elasticEaseOut);
    EXPECT_EQ(TQvAnimateEasing::GetEasingFunc(etSineEaseInOut), &TQvAnimateEasing::sineEaseInOut);

    using E = TQvAnimateEasing;
    EXPECT_EQ(E::quadEaseInOut(0, 100, 0.75L), 87.5L);
    EXPECT_EQ(E::cubicEaseOut(10, 100, 0.5L), 97.5L);
    EXPECT_EQ(E::quintEaseInOut(0, 64, 0.25L), 1);
    EXPECT_EQ(E::circEaseInOut(0, 100, 0.5L), 50);
    EXPECT_EQ(E::quartEaseOut(0, 16, 0.5L), 15);
    EXPECT_NEAR(static_cast<double>(E::expoEaseIn(0, 100, 0.5L)), 3.025, 1e-12);
    EXPECT_NEAR(static_cast<double>(E::sineEaseIn(0, 100, 1)), 100, 1e-12);
    EXPECT_NEAR(static_cast<double>(E::bounceEaseOut(0, 100, 1)), 100, 1e-12);
    EXPECT_NEAR(static_cast<double>(E::bounceEaseIn(0, 100, 0.5L)), 23.4375, 1e-12);
    EXPECT_NEAR(static_cast<double>(E::backEaseIn(0, 100, 0.5L)), -8.76975, 1e-12);
    EXPECT_NEAR(static_cast<double>(E::elasticEaseOut(0, 100, 0.5L)), 100 + 100.0 / 32, 1e-12);
    // The end cases that give the change alone.
    EXPECT_EQ(E::elasticEaseIn(5, 10, 1), 10);
    EXPECT_EQ(E::expoEaseOut(5, 10, 1), 10);
    EXPECT_EQ(E::elasticEaseOut(5, 0, 0.5L), 0);
}

TEST_F(TimersTest, AnimationRunsOnTheClock) {
    TQvAnimateEasing A;
    std::vector<long double> Values;
    int Finished = 0;
    A.OnTick = [&](TObject*, long double V) { Values.push_back(V); };
    A.OnFinish = [&](TObject*) { ++Finished; };

    A.Animating(100, 50, etQuadEaseIn, 100);
    EXPECT_TRUE(A.Running());
    for (int I = 0; I < 15; ++I) Wait(10);
    ASSERT_EQ(Values.size(), 10u);
    EXPECT_EQ(Values[0], 100.5L);
    EXPECT_EQ(Values[4], 112.5L);
    EXPECT_EQ(Values.back(), 150);
    EXPECT_EQ(Finished, 1);
    EXPECT_FALSE(A.Running());

    // A delay, then ticks of the given interval; the curve at 20 of 40 ms, then the end
    // exactly although elastic at t = 1 alone would give the change only.
    Values.clear();
    A.Animating(5, 10, 50, 20, etElasticEaseIn, 40);
    Wait(40);
    EXPECT_TRUE(Values.empty());
    Wait(10);
    Wait(20);
    Wait(20);
    EXPECT_EQ(Values, (std::vector<long double>{TQvAnimateEasing::elasticEaseIn(5, 10, 0.5L), 15}));
    EXPECT_EQ(Finished, 2);

    // No length: the end at once. Stopped: nothing more.
    Values.clear();
    A.Animating(7, 3, etQuadEaseIn, 0);
    A.Animating(7, 4, etQuadEaseIn, -5);
    EXPECT_EQ(Values, (std::vector<long double>{10, 11}));
    EXPECT_EQ(Finished, 4);
    A.Animating(0, 100, etQuadEaseIn, 100);
    Wait(10);
    A.StopAnimating();
    Wait(200);
    EXPECT_EQ(Values.size(), 3u);
    EXPECT_EQ(Finished, 4);

    // Freed by its own last report: the run ends there, with no OnFinish.
    auto* B = new TQvAnimateEasing();
    int BTicks = 0;
    B->OnTick = [&](TObject* Sender, long double V) {
        ++BTicks;
        if (V == 1) delete static_cast<TQvAnimateEasing*>(Sender);
    };
    B->OnFinish = [&](TObject*) { ++Finished; };
    B->Animating(0, 1, etQuadEaseIn, 20);
    Wait(10);
    Wait(10);
    Wait(10);
    EXPECT_EQ(BTicks, 2);
    EXPECT_EQ(Finished, 4);
}

TEST(LocateTest, ChangesAndAssign) {
    TQvLocateObj P, Q;
    int Changes = 0;
    P.OnChange = [&](TObject*) { ++Changes; };
    P.SetX(0);
    P.SetAlign(agLeft);
    EXPECT_EQ(Changes, 0);
    Q.SetX(4);
    Q.SetAlign(agRight);
    P.Assign(&Q);
    EXPECT_EQ(Changes, 2);
    EXPECT_EQ(P.X(), 4);
    EXPECT_EQ(P.Align(), agRight);

    TQvSpaceSize M, N;
    M.OnChange = [&](TObject*) { ++Changes; };
    EXPECT_TRUE(M.Active());
    N.SetActive(false);
    N.SetRight(3);
    N.SetBottom(2);
    M.Assign(&N);
    EXPECT_EQ(Changes, 5);
    EXPECT_FALSE(M.Active());
    EXPECT_EQ(M.Right(), 3);
    EXPECT_EQ(M.Bottom(), 2);
    M.SetBottom(2);
    EXPECT_EQ(Changes, 5);
    EXPECT_THROW(M.Assign(&P), EQvError);
}

}  // namespace
