#include "core/GasItem.h"

#include "core/Errors.h"
#include "core/UserMessages.h"

#include "PointAndCommaLocales.h"
#include "QStringPrinter.h"

namespace {

TGasItem Single(const char* nameShort, double molarMass, int id, double fraction = 1.0, double massFlow = 0)
{
    TGasItem gas;
    gas.NameShort = nameShort;
    gas.SetNameLong(QString(nameShort) + " long");
    gas.SetMolarMass(molarMass);
    gas.SetCorrosive(false);
    gas.AlicatID = id;
    gas.PartialPressure = fraction;
    gas.MassFlow_gmin = massFlow;
    return gas;
}

TGasItem Mix(std::vector<TGasItem> components, double fraction = 1.0)
{
    TGasItem mix;
    mix.PartialPressure = fraction;
    mix.Components = std::move(components);
    return mix;
}

TGasItem Oxygen(double fraction = 1.0, double massFlow = 0) { return Single("O2", 31.998, 11, fraction, massFlow); }
TGasItem Nitrogen(double fraction = 1.0, double massFlow = 0) { return Single("N2", 28.014, 8, fraction, massFlow); }
TGasItem Argon(double fraction = 1.0, double massFlow = 0) { return Single("Ar", 39.95, 1, fraction, massFlow); }
TGasItem Helium(double fraction = 1.0, double massFlow = 0) { return Single("He", 4.0026, 7, fraction, massFlow); }
TGasItem Water(double fraction = 1.0, double massFlow = 0) { return Single("H2O", 18.01488, 1001, fraction, massFlow); }

// Ar 0.5 + (Ar 0.25 + (Ar 0.1 + He 0.9) 0.75) 0.5, each leaf with a mass flow.
TGasItem NestedTestMixture()
{
    return Mix({Argon(0.5, 1), Mix({Argon(0.25, 2), Mix({Argon(0.1, 4), Helium(0.9, 8)}, 0.75)}, 0.5)});
}

TEST(GasItem, FreshAndInitRecordsAreUndefined)
{
    TGasItem gas = Mix({Argon()});
    gas.NameShort = "X";
    gas.SetNameLong("Long");
    gas.Formula = "F";
    gas.AlicatID = 9;
    gas.PartialPressure = 0.3;
    gas.SetCorrosive(false);
    gas.SetMolarMass(5);
    gas.MassFlow_gmin = 2;
    gas.MassFraction = 0.4;
    gas.FluidPartialPressure = 0.1;
    gas.ComponentsNormalized = true;
    gas.Init();
    for (const TGasItem& item : {gas, TGasItem()}) {
        EXPECT_EQ(item.NameShort, "Undefined");
        EXPECT_EQ(item.GetNameLong(), "Undefined");
        EXPECT_TRUE(item.Formula.isEmpty());
        EXPECT_EQ(item.AlicatID, -1);
        EXPECT_EQ(item.PartialPressure, 1.0);
        EXPECT_TRUE(item.GetCorrosive());
        EXPECT_EQ(item.GetMolarMass(), 0);
        EXPECT_TRUE(item.Components.empty());
    }
    // The mass figures and the flat flag survive Init.
    EXPECT_EQ(gas.MassFlow_gmin, 2);
    EXPECT_EQ(gas.MassFraction, 0.4);
    EXPECT_EQ(gas.FluidPartialPressure, 0.1);
    EXPECT_TRUE(gas.ComponentsNormalized);
    EXPECT_EQ(TGasItem().MassFlow_gmin, 0);
    EXPECT_FALSE(TGasItem().ComponentsNormalized);
}

TEST(GasItem, CloneCarriesMassFlowsOnlyWhenAsked)
{
    TGasItem mix = Mix({Oxygen(0.21, 3), Nitrogen(0.79, 4)});
    mix.NameShort = "Air";
    mix.AlicatID = 0;
    mix.MassFlow_gmin = 7;
    mix.MassFraction = 0.5;
    mix.FluidPartialPressure = 0.2;
    mix.Components[0].MassFraction = 0.25;

    for (bool copyMass : {false, true}) {
        const TGasItem clone = mix.Clone(copyMass);
        EXPECT_EQ(clone.NameShort, "Air");
        EXPECT_EQ(clone.AlicatID, 0);
        EXPECT_EQ(clone.GetNameLong(), "21%O2 long, 79%N2 long");
        EXPECT_EQ(clone.MassFlow_gmin, copyMass ? 7 : 0);
        EXPECT_EQ(clone.MassFraction, 0);
        EXPECT_EQ(clone.FluidPartialPressure, 0);
        ASSERT_EQ(clone.Components.size(), 2u);
        EXPECT_EQ(clone.Components[0].MassFlow_gmin, copyMass ? 3 : 0);
        EXPECT_EQ(clone.Components[0].MassFraction, 0);
        EXPECT_EQ(clone.Components[1].PartialPressure, 0.79);
        EXPECT_EQ(clone.Components[1].GetMolarMass(), 28.014);
        EXPECT_FALSE(clone.GetCorrosive());
    }
}

TEST(GasItem, TypeMolarMassAndCorrosionFollowTheComponents)
{
    TGasItem corrosive = Argon();
    corrosive.SetCorrosive(true);
    TGasItem flat = Mix({Oxygen(0.21), Nitrogen(0.79)});
    flat.ComponentsNormalized = true;
    const TGasItem designTime = Mix({Oxygen(0.21), Nitrogen(0.79)});

    EXPECT_EQ(Argon().GasType(), tElemental);
    EXPECT_EQ(flat.GasType(), tMixture);
    EXPECT_EQ(designTime.GasType(), tDesignTimeMix);

    EXPECT_EQ(Argon().GetMolarMass(), 39.95);
    EXPECT_DOUBLE_EQ(flat.GetMolarMass(), 28.85064);
    EXPECT_EQ(designTime.GetMolarMass(), 1.0);

    EXPECT_FALSE(Argon().GetCorrosive());
    EXPECT_TRUE(corrosive.GetCorrosive());
    EXPECT_FALSE(Mix({corrosive, Argon()}).GetCorrosive());
    EXPECT_TRUE(Mix({corrosive, Mix({corrosive, corrosive})}).GetCorrosive());
    EXPECT_FALSE(Mix({corrosive, Mix({corrosive, Argon()})}).GetCorrosive());
}

class GasItemNames : public PointAndCommaLocales {};

TEST_P(GasItemNames, LongNameOfAMixtureIsBuiltFromItsComponents)
{
    EXPECT_EQ(Mix({Oxygen(0.21), Nitrogen(0.79)}).GetNameLong(), "21%O2 long, 79%N2 long");
    EXPECT_EQ(Mix({Helium(0.9), Argon(0.075), Oxygen(0.001)}).GetNameLong(),
              Local("90%He long, 7@5%Ar long, @1%O2 long"));
    EXPECT_EQ(Mix({Argon(0.5), Mix({Helium(0.5), Argon(0.5)}, 0.5)}).GetNameLong(),
              "50%Ar long, 50%50%He long, 50%Ar long");
    TGasItem named = Mix({Oxygen(0.5)});
    named.SetNameLong("50% R-32, 50% R-125");
    EXPECT_EQ(named.GetNameLong(), "50% R-32, 50% R-125");
    EXPECT_EQ(Argon().GetNameLong(), "Ar long");
}

INSTANTIATE_POINT_AND_COMMA_LOCALES(GasItemNames);

TEST(GasItemFlatten, NestedMixtureBecomesItsLeavesWithProductFractions)
{
    const TGasItem flat = NestedTestMixture().Flatten();
    EXPECT_EQ(flat.GasType(), tMixture);
    ASSERT_EQ(flat.Components.size(), 2u);
    const TGasItem& argon = flat.Components[0];
    const TGasItem& helium = flat.Components[1];
    EXPECT_EQ(argon.NameShort, "Ar");
    EXPECT_EQ(helium.NameShort, "He");
    EXPECT_DOUBLE_EQ(argon.PartialPressure, 0.6625);
    EXPECT_DOUBLE_EQ(helium.PartialPressure, 0.3375);
    EXPECT_DOUBLE_EQ(argon.MassFlow_gmin, 7);
    EXPECT_DOUBLE_EQ(helium.MassFlow_gmin, 8);
    EXPECT_DOUBLE_EQ(flat.GetMolarMass(), 27.8177525);
    EXPECT_DOUBLE_EQ(argon.MassFraction, 0.6625 * 39.95 / 27.8177525);
    EXPECT_DOUBLE_EQ(argon.MassFraction + helium.MassFraction, 1);
}

TEST(GasItemFlatten, LeavesKeepTheOrderOfFirstOccurrence)
{
    const TGasItem flat = Mix({Helium(0.2), Mix({Oxygen(0.5), Helium(0.5)}, 0.4), Argon(0.2), Oxygen(0.2)}).Flatten();
    ASSERT_EQ(flat.Components.size(), 3u);
    EXPECT_EQ(flat.Components[0].NameShort, "He");
    EXPECT_EQ(flat.Components[1].NameShort, "O2");
    EXPECT_EQ(flat.Components[2].NameShort, "Ar");
    EXPECT_DOUBLE_EQ(flat.Components[0].PartialPressure, 0.4);
    EXPECT_DOUBLE_EQ(flat.Components[1].PartialPressure, 0.4);
}

TEST(GasItemFlatten, FractionsAreNotRescaledAndAMixtureFractionScalesItsComponents)
{
    const TGasItem short09 = Mix({Oxygen(0.2), Nitrogen(0.7)}).Flatten();
    EXPECT_DOUBLE_EQ(short09.Components[0].PartialPressure + short09.Components[1].PartialPressure, 0.9);
    EXPECT_DOUBLE_EQ(short09.GetMolarMass(), 0.2 * 31.998 + 0.7 * 28.014);

    const TGasItem half = Mix({Oxygen(0.5), Nitrogen(0.5)}, 0.5).Flatten();
    EXPECT_DOUBLE_EQ(half.PartialPressure, 0.5);
    EXPECT_DOUBLE_EQ(half.Components[0].PartialPressure, 0.25);
}

TEST(GasItemFlatten, SingleGasAndMassLessMixtureStayWellDefined)
{
    const TGasItem argon = Argon(1, 5).Flatten();
    EXPECT_EQ(argon.GasType(), tElemental);
    EXPECT_FALSE(argon.ComponentsNormalized);
    EXPECT_EQ(argon.MassFlow_gmin, 5);

    const TGasItem massless = Mix({Single("X", 0, 500), Single("Y", 0, 501)}).Flatten();
    EXPECT_EQ(massless.GasType(), tMixture);
    EXPECT_EQ(massless.Components[0].MassFraction, 0);
    EXPECT_EQ(massless.Components[1].MassFraction, 0);
}

TEST(GasItemMoles, NormalMillilitresPerGramOfArgon)
{
    EXPECT_NEAR(Argon().mlnPerGram(), 561.05, 0.005);
    EXPECT_DOUBLE_EQ(Argon().GramPermln(), 1 / Argon().mlnPerGram());
    EXPECT_DOUBLE_EQ(Argon().MolesPerGram(), 1 / 39.95);
}

TEST(GasItemMoles, ZeroMolarMassRaisesWithTheStoredNameAndType)
{
    TGasItem unnamed;
    try {
        unnamed.MolesPerGram();
        FAIL() << "no error raised";
    } catch (const TessalyError& error) {
        EXPECT_EQ(error.Message(), "Moles per gram pre-work division by zero for: Undefined tElemental");
    }
    TGasItem flat = Mix({Single("X", 0, 500)});
    flat.SetNameLong("Nothing");
    flat.ComponentsNormalized = true;
    try {
        flat.GramPermln();
        FAIL() << "no error raised";
    } catch (const TessalyError& error) {
        EXPECT_EQ(error.Message(), "Moles per gram pre-work division by zero for: Nothing tMixture");
    }
}

TEST(GasItemDistribute, SpreadsTheTotalByMassFraction)
{
    TGasItem air = Mix({Oxygen(0.21), Nitrogen(0.79)});
    air.MassFlow_gmin = 2;
    ASSERT_TRUE(air.DistributeMassFlow());
    EXPECT_DOUBLE_EQ(air.Components[0].MassFraction, 0.21 * 31.998 / 28.85064);
    EXPECT_DOUBLE_EQ(air.Components[0].MassFlow_gmin, 2 * 0.21 * 31.998 / 28.85064);
    EXPECT_DOUBLE_EQ(air.Components[0].MassFlow_gmin + air.Components[1].MassFlow_gmin, 2);
}

TEST(GasItemDistribute, EdgeCases)
{
    struct Case {
        const char* what;
        TGasItem gas;
        bool result;
        double firstFlowAfter;
    };
    TGasItem zeroTotal = Mix({Oxygen(0.5, 3), Nitrogen(0.5, 4)});
    TGasItem massless = Mix({Oxygen(0.5, 3), Single("X", 0, 500, 0.5, 4)});
    massless.MassFlow_gmin = 1;
    TGasItem noFractions = Mix({Oxygen(0, 3), Nitrogen(0, 4)});
    noFractions.MassFlow_gmin = 1;
    const Case cases[] = {
        {"zero total clears the components", zeroTotal, true, 0},
        {"component without molar mass", massless, false, 3},
        {"fractions sum to nothing", noFractions, false, 3},
    };
    for (Case c : cases) {
        EXPECT_EQ(c.gas.DistributeMassFlow(), c.result) << c.what;
        EXPECT_EQ(c.gas.Components[0].MassFlow_gmin, c.firstFlowAfter) << c.what;
        EXPECT_EQ(c.gas.Components[1].MassFraction, 0) << c.what;
    }

    TGasItem argon = Argon(0.3);
    argon.MassFlow_gmin = 5;
    EXPECT_TRUE(argon.DistributeMassFlow());
    EXPECT_EQ(argon.PartialPressure, 1.0);
    EXPECT_EQ(argon.MassFraction, 1.0);
}

TEST(GasItemFractions, NitrogenWithWaterGivesTheWaterFraction)
{
    TGasItem humid = Mix({Nitrogen(1, 1), Water(1, 0.01)});
    ASSERT_TRUE(humid.MassFlowsToFractions());
    const double water = 0.01 / 18.01488 / (1 / 28.014 + 0.01 / 18.01488);
    EXPECT_NEAR(humid.Components[1].PartialPressure, 0.01531, 0.000005);
    EXPECT_DOUBLE_EQ(humid.Components[1].PartialPressure, water);
    EXPECT_DOUBLE_EQ(humid.FluidPartialPressure, water);
    EXPECT_DOUBLE_EQ(humid.Components[0].PartialPressure, 1 - water);
    EXPECT_DOUBLE_EQ(humid.Components[0].MassFraction, 1 / 1.01);
    EXPECT_DOUBLE_EQ(humid.MassFlow_gmin, 1.01);
    EXPECT_TRUE(humid.ComponentsNormalized);
    EXPECT_EQ(humid.GasType(), tMixture);
}

TEST(GasItemFractions, RefusesMixturesWithoutMolarMassOrFlow)
{
    TGasItem massless = Mix({Nitrogen(1, 1), Single("Undefined", 0, -1, 1, 2)});
    TGasItem noFlow = Mix({Nitrogen(1, 0), Water(1, 0)});
    TGasItem empty = Mix({});
    for (TGasItem* gas : {&massless, &noFlow, &empty}) {
        EXPECT_FALSE(gas->MassFlowsToFractions());
        EXPECT_FALSE(gas->ComponentsNormalized);
    }
    EXPECT_EQ(massless.Components[0].PartialPressure, 1);
}

TEST(GasItemLeaves, CollectsSingleGasesOfTheFirstTwoLevels)
{
    const TGasItem recipe =
        Mix({Nitrogen(1, 1), Mix({Oxygen(0.5, 2), Argon(0.5, 3), Mix({Helium(1, 4)})}), Water(1, 5)});
    TGasItem target = Mix({Helium(1, 9)});
    recipe.CollectLeaves(target);
    QStringList names;
    std::vector<double> flows;
    for (const TGasItem& gas : target.Components) {
        names << gas.NameShort;
        flows.push_back(gas.MassFlow_gmin);
    }
    EXPECT_EQ(names, QStringList({"He", "N2", "O2", "Ar", "H2O"}));
    EXPECT_EQ(flows, std::vector<double>({9, 1, 2, 3, 5}));
}

TEST(GasItemFluid, OnlyFlatMixturesAreAsked)
{
    MessageCapture messages;
    TGasItem humid = Mix({Nitrogen(1, 1), Water(1, 0.01)});
    TGasItem dry = Mix({Nitrogen(1, 1), Oxygen(1, 0.01)});
    TGasItem heavyWater = Mix({Single("D2O", 20, 9999, 1, 1)});
    for (TGasItem* gas : {&humid, &dry, &heavyWater})
        ASSERT_TRUE(gas->MassFlowsToFractions());
    EXPECT_TRUE(humid.GetHasFluid());
    EXPECT_FALSE(dry.GetHasFluid());
    EXPECT_TRUE(heavyWater.GetHasFluid());
    EXPECT_TRUE(messages.Texts().isEmpty());

    EXPECT_FALSE(Mix({Water()}).GetHasFluid());
    EXPECT_EQ(messages.Texts(), QStringList({"GasHasFluid on nonflat mixture"}));
}

TEST(GasItemFluid, FluidNumbersAreTheFourDigitOnes)
{
    EXPECT_FALSE(IsFluidGasNumber(999));
    EXPECT_TRUE(IsFluidGasNumber(1000));
    EXPECT_TRUE(IsFluidGasNumber(1001));
    EXPECT_TRUE(IsFluidGasNumber(9999));
    EXPECT_FALSE(IsFluidGasNumber(10000));
    EXPECT_FALSE(IsFluidGasNumber(-1));
}

} // namespace
