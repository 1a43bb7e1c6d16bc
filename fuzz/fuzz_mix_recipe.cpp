// A mixture recipe as the operator types it, evaluated against a device list of several
// controllers (a configured gas, a gas mixture, an unconfigured one, one whose unit cannot be
// converted into) and a water pump, then added as segments to their programs twice.
#include "FuzzSupport.h"

#include "core/SegmentProgram.h"
#include "tests/ui/ConfiguredDevices.h"
#include "ui/pages/MixRecipe.h"

#include <cmath>

namespace {

void InstallDevices()
{
    ResetDevicesLocal();
    DevicesLocal.push_back(ConfiguredController(QStringLiteral("COM6"), 0, 50));   // Air, itself a mixture
    DevicesLocal.push_back(ConfiguredController(QStringLiteral("COM7"), 8, 5000)); // N2
    DevicesLocal.push_back(ConfiguredController(QStringLiteral("COM8"), -1, 100)); // unconfigured
    TDeviceInfo broken = ConfiguredController(QStringLiteral("COM9"), 1, 10);
    broken.FlowUnitUser = TGasFlowDetails();
    DevicesLocal.push_back(broken);
    DevicesLocal.push_back(ConfiguredPump(QStringLiteral("COM5")));
}

// Every component's flow is a number, the leaves' too.
void CheckFlows(const TGasItem& item, const QString& recipe)
{
    FUZZ_CHECK(std::isfinite(item.MassFlow_gmin), recipe);
    for (const TGasItem& component : item.Components)
        CheckFlows(component, recipe);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SilenceMessages();
    std::uint8_t options = 0;
    if (!TakeOptionsByte(data, size, options))
        return 0;
    UseLocale(options & 1);
    const double times[] = {0, 1.5, 59.5, 720, SegmentTimeMax_min};
    const double time = times[(options >> 1) % 5];
    const QString recipe = Utf8Text(data, size);
    InstallDevices();

    TGasItem mixture;
    QString error;
    if (ParseMixRecipe(recipe, mixture, error))
        CheckFlows(mixture, recipe);
    const TMixRecipeEvaluation evaluation = EvaluateMixRecipe(recipe, QStringLiteral("Name"));
    FUZZ_CHECK(!evaluation.Text.isEmpty(), recipe);

    for (double at : {time, time / 2}) {
        const TMixSegmentsAddResult added = AddMixSegments(recipe, evaluation.Valid, at, QStringLiteral("fuzz"));
        if (!evaluation.Valid)
            FUZZ_CHECK(added.ChangedPorts.isEmpty(), recipe);
        for (const QString& port : added.ChangedPorts) {
            TDeviceInfo device;
            FUZZ_CHECK(GetDeviceByPort(port, device), port);
            // A valid recipe leaves programs that validate and ask for setpoints in range.
            FUZZ_CHECK(ValidateSegmentProgram(device.SegmentProgram), device.SegmentProgram);
            for (double t : {-1.0, 0.0, at / 3, at, at + 1})
                FUZZ_CHECK(SegmentAt(device.SegmentProgram, t).Setpoint >= 0
                               && SegmentAt(device.SegmentProgram, t).Setpoint <= 100,
                           device.SegmentProgram);
        }
    }
    return 0;
}
