// The steam tables against the industrial formulation's own verification values (its tables of
// computer-program test values, 9 significant figures) and the inverse solutions against the
// forward equations.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/steam/if97.h"

namespace tarn::steam {
namespace {

// Agreement to the table's 9 significant figures: half a unit in the ninth digit, plus a hair.
void ExpectSig9(double expected, double actual, const char* what) {
    const double unit = std::pow(10.0, std::floor(std::log10(std::abs(expected))) - 8);
    EXPECT_NEAR(actual, expected, 0.501 * unit) << what;
}

// v, h, u, s, cp and w are listed; the state carries v, h, u, s (kJ in the table).
struct PTCase {
    double T, pMPa, v, h, u, s;
};

TEST(If97Verification, Region1AndRegion2SinglePhaseStates) {
    const PTCase liquid[] = {
        {300, 3, 0.100215168e-2, 0.115331273e3, 0.112324818e3, 0.392294792},
        {300, 80, 0.971180894e-3, 0.184142828e3, 0.106448356e3, 0.368563852},
        {500, 3, 0.120241800e-2, 0.975542239e3, 0.971934985e3, 0.258041912e1},
    };
    const PTCase vapour[] = {
        {300, 0.0035, 0.394913866e2, 0.254991145e4, 0.241169160e4, 0.852238967e1},
        {700, 0.0035, 0.923015898e2, 0.333568375e4, 0.301262819e4, 0.101749996e2},
        {700, 30, 0.542946619e-2, 0.263149474e4, 0.246861076e4, 0.517540298e1},
    };
    for (const auto& [cases, phase] : {std::pair{liquid, Phase::Liquid}, {vapour, Phase::Vapour}}) {
        for (int i = 0; i < 3; ++i) {
            const PTCase& c = cases[i];
            SCOPED_TRACE(testing::Message() << "T=" << c.T << " p=" << c.pMPa);
            const State st = FromPT(c.pMPa * 1e6, c.T);
            ASSERT_TRUE(st.valid);
            EXPECT_EQ(st.phase, phase);
            ExpectSig9(c.v, st.v, "v");
            ExpectSig9(c.h * 1e3, st.h, "h");
            ExpectSig9(c.u * 1e3, st.u, "u");
            ExpectSig9(c.s * 1e3, st.s, "s");
        }
    }
}

TEST(If97Verification, SaturationLine) {
    ExpectSig9(0.353658941e-2 * 1e6, SaturationPressure(300), "ps(300 K)");
    ExpectSig9(0.263889776e1 * 1e6, SaturationPressure(500), "ps(500 K)");
    ExpectSig9(0.123443146e2 * 1e6, SaturationPressure(600), "ps(600 K)");
    ExpectSig9(0.372755919e3, SaturationTemperature(0.1e6), "Ts(0.1 MPa)");
    ExpectSig9(0.453035632e3, SaturationTemperature(1e6), "Ts(1 MPa)");
    ExpectSig9(0.584149488e3, SaturationTemperature(10e6), "Ts(10 MPa)");
    EXPECT_TRUE(std::isnan(SaturationPressure(700)));
    EXPECT_TRUE(std::isnan(SaturationTemperature(-1)));
}

// The backward equations' own test values (p in MPa, h in kJ/kg, s in kJ/(kg K)), covering the
// subregions 2a, 2b and 2c in turn; the refined FromPH/FromPS then meet the forward equations.
TEST(If97Verification, BackwardEquations) {
    struct Back {
        double pMPa, arg, T;
    };
    const Back ph1[] = {
        {3, 500, 0.391798509e3}, {80, 500, 0.378108626e3}, {80, 1500, 0.611041229e3}};
    const Back ps1[] = {{3, 0.5, 0.307842258e3}, {80, 0.5, 0.309979785e3}, {80, 3, 0.565899909e3}};
    const Back ph2[] = {
        {0.001, 3000, 0.534433241e3}, {3, 3000, 0.575373370e3},  {3, 4000, 0.101077577e4},
        {5, 3500, 0.801299102e3},     {5, 4000, 0.101531583e4},  {25, 3500, 0.875279054e3},
        {40, 2700, 0.743056411e3},    {60, 2700, 0.791137067e3}, {60, 3200, 0.882756860e3}};
    const Back ps2[] = {
        {0.1, 7.5, 0.399517097e3}, {0.1, 8, 0.514127081e3},   {2.5, 8, 0.103984917e4},
        {8, 6, 0.600484040e3},     {8, 7.5, 0.106495556e4},   {90, 6, 0.103801126e4},
        {20, 5.75, 0.697992849e3}, {80, 5.25, 0.854011484e3}, {80, 5.75, 0.949017998e3}};
    for (const Back& b : ph1) {
        ExpectSig9(b.T, Region1TemperaturePH(b.pMPa * 1e6, b.arg * 1e3), "T1(p,h)");
        const State st = FromPH(b.pMPa * 1e6, b.arg * 1e3);
        ASSERT_TRUE(st.valid);
        EXPECT_EQ(st.phase, Phase::Liquid);
        EXPECT_NEAR(st.h, b.arg * 1e3, 1e-9 * b.arg * 1e3);
        EXPECT_NEAR(st.T, b.T, 0.025);  // the backward equation's tolerated inconsistency
    }
    for (const Back& b : ps1) {
        ExpectSig9(b.T, Region1TemperaturePS(b.pMPa * 1e6, b.arg * 1e3), "T1(p,s)");
        const State st = FromPS(b.pMPa * 1e6, b.arg * 1e3);
        ASSERT_TRUE(st.valid);
        EXPECT_NEAR(st.s, b.arg * 1e3, 1e-9 * b.arg * 1e3);
        EXPECT_NEAR(st.T, b.T, 0.025);
    }
    for (const Back& b : ph2) {
        ExpectSig9(b.T, Region2TemperaturePH(b.pMPa * 1e6, b.arg * 1e3), "T2(p,h)");
        const State st = FromPH(b.pMPa * 1e6, b.arg * 1e3);
        ASSERT_TRUE(st.valid) << b.pMPa << " " << b.arg;
        EXPECT_EQ(st.phase, Phase::Vapour);
        EXPECT_NEAR(st.h, b.arg * 1e3, 1e-9 * b.arg * 1e3);
        EXPECT_NEAR(st.T, b.T, 0.025);
    }
    for (const Back& b : ps2) {
        ExpectSig9(b.T, Region2TemperaturePS(b.pMPa * 1e6, b.arg * 1e3), "T2(p,s)");
        const State st = FromPS(b.pMPa * 1e6, b.arg * 1e3);
        ASSERT_TRUE(st.valid) << b.pMPa << " " << b.arg;
        EXPECT_NEAR(st.s, b.arg * 1e3, 1e-9 * b.arg * 1e3);
        EXPECT_NEAR(st.T, b.T, 0.025);
    }
}

void ExpectSameState(const State& want, const State& got) {
    ASSERT_TRUE(got.valid);
    EXPECT_NEAR(got.p, want.p, 1e-9 * want.p);
    EXPECT_NEAR(got.T, want.T, 1e-9 * want.T);
    EXPECT_NEAR(got.x, want.x, 1e-9);
    EXPECT_NEAR(got.h, want.h, 1e-9 * want.h);
    EXPECT_NEAR(got.s, want.s, 1e-9 * want.s);
}

// The engine's range: 0.02 .. 2.5 MPa, superheated up to 250 K or wet down to half dry.
TEST(If97FromVU, RoundTripsWithAndWithoutGuess) {
    for (double p = 0.02e6; p <= 2.5e6; p *= 1.7) {
        const double Ts = SaturationTemperature(p);
        for (double superheat : {0.05, 3.0, 40.0, 250.0}) {
            const State want = FromPT(p, Ts + superheat);
            SCOPED_TRACE(testing::Message() << "p=" << p << " superheat=" << superheat);
            ExpectSameState(want, FromVU(want.v, want.u));
            // A guess from a neighbouring state, either side of the saturation line.
            const State near = FromPT(p * 1.05, Ts + superheat + 2);
            ExpectSameState(want, FromVU(want.v, want.u, &near));
            const State wetGuess = FromPX(p * 0.95, 0.97);
            ExpectSameState(want, FromVU(want.v, want.u, &wetGuess));
        }
        for (double x : {0.5, 0.7, 0.93, 0.999, 1.0}) {
            const State want = FromPX(p, x);
            SCOPED_TRACE(testing::Message() << "p=" << p << " x=" << x);
            ExpectSameState(want, FromVU(want.v, want.u));
            const State near = FromPX(p * 1.03, std::min(x + 0.01, 1.0));
            ExpectSameState(want, FromVU(want.v, want.u, &near));
            const State dryGuess = FromPT(p * 0.9, Ts + 5);
            ExpectSameState(want, FromVU(want.v, want.u, &dryGuess));
        }
    }
}

TEST(If97FromVU, GarbageIsInvalid) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const State good = FromPT(1e6, 500);
    EXPECT_FALSE(FromVU(nan, 2.6e6).valid);
    EXPECT_FALSE(FromVU(0.2, nan).valid);
    EXPECT_FALSE(FromVU(inf, 2.6e6).valid);
    EXPECT_FALSE(FromVU(-0.2, 2.6e6).valid);
    EXPECT_FALSE(FromVU(0, 2.6e6).valid);
    EXPECT_FALSE(FromVU(0.2, 1e12).valid);
    EXPECT_FALSE(FromVU(0.2, 1e12, &good).valid);
    EXPECT_FALSE(FromVU(0.2, -5e6, &good).valid);
    EXPECT_FALSE(FromVU(1e-4, 2.6e6, &good).valid);  // denser than the liquid
    EXPECT_FALSE(FromVU(0.001, 1e5).valid);          // compressed liquid: not covered
    State bad = good;
    bad.p = nan;
    EXPECT_TRUE(FromVU(good.v, good.u, &bad).valid);  // a useless guess is ignored
    EXPECT_FALSE(FromPT(nan, 400).valid);
    EXPECT_FALSE(FromPT(1e6, 200).valid);
    EXPECT_FALSE(FromPT(30e6, 700 - 50).valid);  // region 3
    EXPECT_FALSE(FromPX(1e6, 1.5).valid);
    EXPECT_FALSE(FromPX(20e6, 0.5).valid);
    EXPECT_FALSE(FromPH(1e6, nan).valid);
    EXPECT_FALSE(FromPS(-1, 7e3).valid);
}

}  // namespace
}  // namespace tarn::steam
