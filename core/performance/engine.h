// The engine at work: each cylinder end filled and emptied through the real port openings of the
// gear, revolution after revolution until the indicator card repeats, and what the cards give:
// mean effective pressure, power, tractive effort and steam.
#pragma once

#include <atomic>
#include <span>
#include <string>
#include <vector>

#include "core/model/model.h"
#include "core/performance/conditions.h"

namespace tarn {

// One point of an indicator card: where the crosshead (and with it the piston) stands, counted
// from the front dead centre in the design's length unit, and the absolute pressure in the end.
struct CardPoint {
    double travel = 0;
    double pressure = 0;  // Pa absolute
};

// What one cylinder end does in a converged revolution. Pressures are absolute, in Pa.
struct EndPerformance {
    std::vector<CardPoint> card;  // the revolution, in the crank's turning order
    double mep = 0;               // mean effective pressure, Pa
    double work = 0;              // indicated work per revolution, J
    double steamPerRev = 0;       // steam taken from the chest per revolution, kg
    double cutoffPressure = 0;    // at cut-off, as a share of the chest pressure (absolute)
    double releasePressure = 0;   // at release, Pa
    double peakCompression = 0;   // the highest pressure while the ports are shut, Pa
    bool compressionAboveChest = false;
    // The balances over the converged revolution, for checking: what the chest gave and what
    // the exhaust took, each net of any flow back; masses in kg, enthalpies in J.
    double massIn = 0, massOut = 0;
    double enthalpyIn = 0, enthalpyOut = 0;
};

struct EnginePerformance {
    bool ok = false;
    std::string problem;  // why not ok: bad conditions, a geometry error, no convergence
    float revArmPos = 0;
    double revPerSecond = 0;
    double pistonSpeed = 0;  // mean, m/s: 2 x stroke x rev/s
    EndPerformance front, rear;
    double mepMean = 0;         // Pa: the mean of the two ends
    double indicatedPower = 0;  // W, all cylinders
    double tractiveEffort = 0;  // N at the rail
    double steamPerHour = 0;    // kg/h, all cylinders
    double waterRate = 0;       // kg per kWh indicated
    double efficiency = 0;      // the cards' work over the isentropic drop chest to back pressure
    int revolutions = 0;        // turned until the card repeated
};

// How finely the revolution is followed: the integrator's relative tolerance, and the crank
// angles sampled for the linkage per revolution.
struct EngineSolverOptions {
    double relativeTolerance = 1e-6;
    int samplesPerRev = 720;
    // Stop when each end's mean effective pressure changes by less than this share from one
    // revolution to the next, and as much steam leaves the end as came in, to this share.
    double convergence = 0.001;
    int maxRevolutions = 40;
    // The state each end starts from: the chest steam or the exhaust.
    bool startFromExhaust = false;
    // Set from another thread to stop early; the result is then not ok ("cancelled").
    const std::atomic<bool>* cancel = nullptr;
};

// What the engine does at reverse-arm position revArmPos under the conditions.
EnginePerformance SimulateEngine(const Model& design, const EngineConditions& conditions,
                                 float revArmPos, const EngineSolverOptions& options = {});

// One result per position and speed (rev/min), position-major; the work is spread over the
// machine's cores and each position's linkage is solved once for all speeds.
std::vector<EnginePerformance> SimulateEngineMap(const Model& design,
                                                 const EngineConditions& conditions,
                                                 std::span<const float> positions,
                                                 std::span<const double> revPerMin,
                                                 const EngineSolverOptions& options = {});

}  // namespace tarn
