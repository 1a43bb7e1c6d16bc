#pragma once
// One gas or one gas mixture. Gases are known by their gas number, the number under which
// the mass flow controllers select the gas; 1000..9999 are fluids dosed by the syringe pump.
#include <QString>
#include <cstdint>
#include <vector>

class DiagnosticLogger;

enum TGasType : std::uint8_t {
    tElemental,     // no components
    tMixture,       // flat: single gases, each once, absolute fractions
    tDesignTimeMix, // as written, possibly nested
};

QString GasTypeName(TGasType type);

// Fluid gas numbers: above 999 and below 10000 (water is 1001).
bool IsFluidGasNumber(int gasNumber);

// The diagnostic logger of the gas module (category "UnitGas").
const DiagnosticLogger& UnitGasLog();

struct TGasItem {
private:
    QString fNameLong = QStringLiteral("Undefined"); // or an explicit recipe text
    bool fCorrosiveFlag = true;
    double fMolarMass = 0; // g/mol, meaningful for a single gas

public:
    QString NameShort = QStringLiteral("Undefined"); // unique in the table, key of recipes
    QString Formula;
    std::int32_t AlicatID = -1; // gas number
    double PartialPressure = 1.0; // mole fraction in the parent mixture
    double FluidPartialPressure = 0; // of the fluid component, set by MassFlowsToFractions
    double MassFraction = 0;
    double MassFlow_gmin = 0;
    std::vector<TGasItem> Components;
    bool ComponentsNormalized = false; // flat; see TGasType

    // Resets names, formula, gas number, fraction, flags and components; mass figures and the
    // normalised flag stay as they are.
    void Init();
    // A copy built from Init; MassFraction and FluidPartialPressure are not carried over, the
    // mass flow only with CopyMass (components alike).
    TGasItem Clone(bool CopyMass) const;
    TGasType GasType() const;
    // A mixture is corrosive only when every component is.
    bool GetCorrosive() const;
    // The stored long name, or for a mixture without one "21%Oxygen, 79%Nitrogen" and so on.
    QString GetNameLong() const;
    // A design-time mixture answers the placeholder 1.0.
    double GetMolarMass() const;
    // The flat form: leaves with the products of the fractions along their path, merged by gas
    // number in order of first occurrence, with mass fractions.
    TGasItem Flatten() const;

    // Throws TessalyError when the molar mass is 0.
    double MolesPerGram() const;
    // Normal millilitres (0 °C, 1.01325 bar) per gram, and its inverse (0 when not defined).
    double mlnPerGram() const;
    double GramPermln() const;
    // True when the flat mixture holds a fluid; on a record that is not flat the operator is
    // told and the answer is False.
    bool GetHasFluid() const;
    // Spreads MassFlow_gmin over the components by their fractions. False, with nothing
    // changed, when a component has no positive molar mass or the fractions sum to nothing.
    bool DistributeMassFlow();
    // Derives mole and mass fractions and the total mass flow from the components' mass flows;
    // sets ComponentsNormalized. False when a component has no positive molar mass or there is
    // no flow.
    bool MassFlowsToFractions();
    // Appends the single gases of the first two levels (with their mass flows) to Target.
    void CollectLeaves(TGasItem& Target) const;

    // The stored fields, for building table entries and recipes.
    void SetNameLong(const QString& nameLong) { fNameLong = nameLong; }
    void SetCorrosive(bool corrosive) { fCorrosiveFlag = corrosive; }
    void SetMolarMass(double molarMass) { fMolarMass = molarMass; }
};
