// Water and steam properties from the industrial formulation IAPWS-IF97: region 1 (compressed
// liquid), region 2 (superheated vapour), region 4 (saturation) and the backward equations the
// cylinder's states need. SI units throughout: pressure in Pa, temperature in K, specific volume
// in m^3/kg, specific energies in J/kg, specific entropy in J/(kg K). Valid from 273.16 K to
// 1073.15 K and up to 16.5 MPa on the saturation line (region 3 is not covered: a locomotive's
// steam never comes near it).
#pragma once

namespace tarn::steam {

// Where a state lies.
enum class Phase { Liquid, Wet, Vapour };

// A state with all the properties the engine model reads. For wet steam x is the dryness
// fraction (0 saturated liquid .. 1 saturated vapour); single-phase states have x = 0 (liquid)
// or 1 (vapour).
struct State {
    double p = 0;  // Pa
    double T = 0;  // K
    double v = 0;  // m^3/kg
    double u = 0;  // J/kg
    double h = 0;  // J/kg
    double s = 0;  // J/(kg K)
    double x = 1;
    Phase phase = Phase::Vapour;
    bool valid = false;  // false: the inputs lie outside the formulation's range
};

// Region 4: the saturation pressure at T (273.15 K .. 647.096 K) and its inverse.
double SaturationPressure(double T);
double SaturationTemperature(double p);

// Single-phase states: region 1 below the saturation temperature, region 2 above it.
State FromPT(double p, double T);
// Saturated mixtures at pressure p, dryness x in 0..1.
State FromPX(double p, double x);
// The state of given pressure and specific enthalpy or entropy: wet between the saturation
// lines, otherwise region 1 or 2 by the backward equations refined to the forward ones.
State FromPH(double p, double h);
State FromPS(double p, double s);
// The state of given specific volume and internal energy, as a closed cylinder holds it (mass
// and energy known). `guess`, when given, is a nearby state (the previous step's) to start the
// iteration from; the result agrees with the forward equations to 1e-9 relative.
State FromVU(double v, double u, const State* guess = nullptr);

// The backward equations alone: temperatures within some 25 mK of the forward equations' (the
// starting values FromPH and FromPS refine). Region 1 (liquid) and region 2 (vapour, its
// subregions chosen by pressure and by h or s).
double Region1TemperaturePH(double p, double h);
double Region1TemperaturePS(double p, double s);
double Region2TemperaturePH(double p, double h);
double Region2TemperaturePS(double p, double s);

}  // namespace tarn::steam
