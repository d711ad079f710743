// The step-angle bar's bands.
#include "core/scene/motion.h"

#include <cmath>
#include <iterator>

#include "core/model/numfmt.h"

namespace tarn {

namespace {
constexpr StepBarEntry kStepBar[] = {
    {704, 0.01f, 1, 5},      {1591, 0.02f, 2, 10},    {2408, 0.03f, 3, 15},
    {3612, 0.05f, 5, 25},    {4704, 0.1f, 10, 50},    {5591, 0.2f, 20, 100},
    {6408, 0.3f, 30, 150},   {7612, 0.5f, 50, 250},   {8704, 1, 100, 500},
    {9591, 2, 200, 1000},    {10408, 3, 300, 1500},   {11612, 5, 500, 2500},
    {12704, 10, 1000, 4500}, {13591, 20, 2000, 4500}, {14408, 30, 3000, 4500},
    {14613, 45, 4500, 4500},
};
}  // namespace

const StepBarEntry& StepBarLookup(int position) {
    for (const auto& e : kStepBar)
        if (position <= e.upTo) return e;
    return kStepBar[std::size(kStepBar) - 1];
}

int StepBarPosition(float step) { return Round(std::log10(static_cast<ext>(step) * 100) * 4000); }

}  // namespace tarn
