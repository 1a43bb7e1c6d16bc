#pragma once
// The plain-text reports of a mixture shown on the mixtures and designer pages. Every line
// ends with CR LF; numbers use the operator's locale.
#include "core/GasItem.h"

#include <QString>
#include <vector>

struct TReportCondition {
    double TemperatureC;
    double Pressure_BarA;
};
using TReportConditions = std::vector<TReportCondition>;

// The conditions the mixture pages report volumetric flows and humidity at.
inline const TReportConditions MixtureReportConditions = {
    {0, 1.01325}, {21, 1.01325}, {25, 1.01325}, {25, 2.0265}, {150, 1.01325},
};

// Components with molar mass, mass fraction and fraction, then the total flow at three
// temperatures, in g/min and in mol/min. Empty (and logged) for a mixture that is not flat.
QString MixtureDetails(const TGasItem& Mixture);
// The direct components' mass flows.
QString InputsReport(const TGasItem& Mixture);
// The mass flows of all single gases, depth first.
QString LeafMassFlowsReport(const TGasItem& Gas);
// Fractions of a flat mixture in ppm.
QString PartialPressuresReport(const TGasItem& Mixture);
// ml/min of each component and in total at each condition.
QString VolumetricFlowsReport(const TGasItem& Mixture, const TReportConditions& Conditions);
// Water content against saturation at each condition (conditions without pressure skipped),
// with the dew point of that water content at the condition's pressure.
QString HumidityReport(const TGasItem& Mixture, const TReportConditions& Conditions);
