// Estimated fetal weight from BPD, FL and AC by one of two equations.
#pragma once

#include <optional>
#include <string>

enum EfwEquation : int {
    EfwEquationJsum = 0,     // 1.07 BPD³ + 0.30 AC² FL
    EfwEquationHadlock = 1,  // 10^(1.335 − 0.0034 AC FL + 0.0316 BPD + 0.0457 AC + 0.1623 FL)
};

// Grams from the values in millimetres, each taken in centimetres as (int)(mm + 0.5) / 10.
// None for an unknown equation or a value that is not a lookup size (see LookupCentimetres).
std::optional<double> EstimateFetalWeight(int equation, double bpdMm, double flMm, double acMm);

// "%.2f g".
std::string FormatFetalWeight(double grams);
