#include "core/GasItem.h"

#include "core/DiagnosticLog.h"
#include "core/Errors.h"
#include "core/GasMixtures.h"
#include "core/NumberText.h"
#include "core/UserMessages.h"

#include <QStringList>
#include <unordered_map>

namespace {

// Multiplies every fraction below gas by the already scaled fraction of its parent, so a
// nested leaf ends with the product of the fractions along its path.
void ScaleFractionsDown(TGasItem& gas)
{
    for (TGasItem& component : gas.Components) {
        component.PartialPressure *= gas.PartialPressure;
        ScaleFractionsDown(component);
    }
}

// Leaves in order of first occurrence; a later occurrence of the same gas number adds its
// fraction and mass flow to the first.
void MergeLeaves(const TGasItem& gas, std::vector<TGasItem>& leaves, std::unordered_map<int, std::size_t>& byNumber)
{
    for (const TGasItem& component : gas.Components) {
        if (!component.Components.empty()) {
            MergeLeaves(component, leaves, byNumber);
            continue;
        }
        const auto [found, inserted] = byNumber.try_emplace(component.AlicatID, leaves.size());
        if (inserted) {
            leaves.push_back(component.Clone(true));
        } else {
            TGasItem& first = leaves[found->second];
            first.PartialPressure += component.PartialPressure;
            first.MassFlow_gmin += component.MassFlow_gmin;
        }
    }
}

} // namespace

QString GasTypeName(TGasType type)
{
    switch (type) {
    case tElemental: return QStringLiteral("tElemental");
    case tMixture: return QStringLiteral("tMixture");
    case tDesignTimeMix: return QStringLiteral("tDesignTimeMix");
    }
    return QString();
}

bool IsFluidGasNumber(int gasNumber) { return gasNumber > 999 && gasNumber < 10000; }

const DiagnosticLogger& UnitGasLog()
{
    static const DiagnosticLogger log(LogCategory::UnitGas);
    return log;
}

void TGasItem::Init()
{
    NameShort = QStringLiteral("Undefined");
    fNameLong = QStringLiteral("Undefined");
    Formula.clear();
    AlicatID = -1;
    PartialPressure = 1.0;
    fCorrosiveFlag = true;
    fMolarMass = 0;
    Components.clear();
}

TGasItem TGasItem::Clone(bool CopyMass) const
{
    TGasItem copy;
    copy.NameShort = NameShort;
    copy.fNameLong = GetNameLong();
    copy.Formula = Formula;
    copy.AlicatID = AlicatID;
    copy.PartialPressure = PartialPressure;
    copy.fCorrosiveFlag = GetCorrosive();
    copy.fMolarMass = fMolarMass;
    copy.ComponentsNormalized = ComponentsNormalized;
    if (CopyMass)
        copy.MassFlow_gmin = MassFlow_gmin;
    copy.Components.reserve(Components.size());
    for (const TGasItem& component : Components)
        copy.Components.push_back(component.Clone(CopyMass));
    return copy;
}

TGasType TGasItem::GasType() const
{
    if (Components.empty())
        return tElemental;
    return ComponentsNormalized ? tMixture : tDesignTimeMix;
}

bool TGasItem::GetCorrosive() const
{
    if (Components.empty())
        return fCorrosiveFlag;
    for (const TGasItem& component : Components)
        if (!component.GetCorrosive())
            return false;
    return true;
}

QString TGasItem::GetNameLong() const
{
    if (fNameLong != QStringLiteral("Undefined") || Components.empty())
        return fNameLong;
    QStringList parts;
    for (const TGasItem& component : Components)
        parts << FormatFloat(QStringLiteral("#.#"), component.PartialPressure * 100) + QStringLiteral("%")
                     + component.GetNameLong();
    return parts.join(QStringLiteral(", "));
}

double TGasItem::GetMolarMass() const
{
    switch (GasType()) {
    case tElemental: return fMolarMass;
    case tDesignTimeMix: return 1.0;
    case tMixture: break;
    }
    double sum = 0;
    for (const TGasItem& component : Components)
        sum += component.GetMolarMass() * component.PartialPressure;
    return sum;
}

TGasItem TGasItem::Flatten() const
{
    TGasItem flat = Clone(true);
    if (Components.empty())
        return flat;
    ScaleFractionsDown(flat);

    std::vector<TGasItem> leaves;
    std::unordered_map<int, std::size_t> byNumber;
    MergeLeaves(flat, leaves, byNumber);
    flat.Components = std::move(leaves);
    flat.ComponentsNormalized = true;

    double total = 0;
    for (const TGasItem& gas : flat.Components)
        total += gas.GetMolarMass() * gas.PartialPressure;
    if (total != 0)
        for (TGasItem& gas : flat.Components)
            gas.MassFraction = gas.GetMolarMass() * gas.PartialPressure / total;
    return flat;
}

double TGasItem::MolesPerGram() const
{
    const double molarMass = GetMolarMass();
    if (molarMass == 0)
        throw TessalyError(QStringLiteral("Moles per gram pre-work division by zero for: ") + fNameLong
                           + QStringLiteral(" ") + GasTypeName(GasType()));
    return 1 / molarMass;
}

double TGasItem::mlnPerGram() const
{
    return double(MolesPerGram() * MixtureGasConstantR * NormalKelvin / NormalPressure_BarA * 1000);
}

double TGasItem::GramPermln() const
{
    const double millilitres = mlnPerGram();
    return millilitres > 0 ? 1 / millilitres : 0;
}

bool TGasItem::GetHasFluid() const
{
    if (!ComponentsNormalized) {
        ShowMessage(QStringLiteral("GasHasFluid on nonflat mixture"));
        return false;
    }
    for (const TGasItem& component : Components)
        if (IsFluidGasNumber(component.AlicatID))
            return true;
    return false;
}

bool TGasItem::DistributeMassFlow()
{
    const double total = MassFlow_gmin;
    if (total == 0) {
        for (TGasItem& component : Components)
            component.MassFlow_gmin = 0;
        return true;
    }
    if (Components.empty()) {
        PartialPressure = 1.0;
        MassFraction = 1.0;
        return true;
    }
    double weightSum = 0;
    for (const TGasItem& component : Components) {
        const double molarMass = component.GetMolarMass();
        if (!(molarMass > 0))
            return false;
        weightSum += molarMass * component.PartialPressure;
    }
    if (!(weightSum > 0))
        return false;
    for (TGasItem& component : Components) {
        component.MassFraction = component.GetMolarMass() * (1 / weightSum * component.PartialPressure);
        component.MassFlow_gmin = component.MassFraction * total;
    }
    return true;
}

bool TGasItem::MassFlowsToFractions()
{
    double moles = 0;
    double mass = 0;
    for (const TGasItem& component : Components) {
        const double molarMass = component.GetMolarMass();
        if (!(molarMass > 0))
            return false;
        moles += component.MassFlow_gmin / molarMass;
        mass += component.MassFlow_gmin;
    }
    if (!(moles > 0) || !(mass > 0))
        return false;
    for (TGasItem& component : Components) {
        component.PartialPressure = component.MassFlow_gmin / component.GetMolarMass() / moles;
        component.MassFraction = component.MassFlow_gmin / mass;
        if (IsFluidGasNumber(component.AlicatID))
            FluidPartialPressure = component.PartialPressure;
    }
    ComponentsNormalized = true;
    MassFlow_gmin = mass;
    return true;
}

void TGasItem::CollectLeaves(TGasItem& Target) const
{
    for (const TGasItem& component : Components) {
        if (component.Components.empty()) {
            Target.Components.push_back(component);
            continue;
        }
        for (const TGasItem& part : component.Components)
            if (part.Components.empty())
                Target.Components.push_back(part);
    }
}
