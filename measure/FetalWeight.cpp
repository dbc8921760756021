#include "measure/FetalWeight.h"

#include <cmath>

#include "measure/GrowthTable.h"
#include "platform/StringUtil.h"

std::optional<double> EstimateFetalWeight(int equation, double bpdMm, double flMm, double acMm) {
    const std::optional<double> bpd = LookupCentimetres(bpdMm);
    const std::optional<double> fl = LookupCentimetres(flMm);
    const std::optional<double> ac = LookupCentimetres(acMm);
    if (!bpd || !fl || !ac)
        return std::nullopt;
    switch (equation) {
        case EfwEquationJsum:
            return 1.07 * (*bpd * *bpd * *bpd) + 0.30 * (*ac * *ac) * *fl;
        case EfwEquationHadlock:
            return std::pow(10.0, 1.335 - 0.0034 * *ac * *fl + 0.0316 * *bpd + 0.0457 * *ac + 0.1623 * *fl);
        default:
            return std::nullopt;
    }
}

std::string FormatFetalWeight(double grams) {
    return platform::Format("%.2f g", grams);
}
