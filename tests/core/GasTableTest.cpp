#include "core/GasTable.h"

#include "core/Errors.h"
#include "core/NumberText.h"

#include "LogCapture.h"
#include "PointAndCommaLocales.h"
#include "QStringPrinter.h"

#include <set>

namespace {

QStringList ExpectedShortNames()
{
    QStringList names = {"Ar",     "CH4",    "CO",     "CO2",    "C2H6",   "H2",     "H-2",    "He",     "N2",
                         "N2O",    "Ne",     "O2",     "C3H8",   "nC4H10", "C2H2",   "C2H4",   "iC4H10", "Kr",
                         "Xe",     "SF6",    "NO",     "NF3",    "NH3",    "Cl",     "H2S",    "SO2",    "C3H6",
                         "1Buten", "cButen", "iButen", "tButen", "COS",    "DME",    "SiH4",   "R-11",   "R-115",
                         "R-116",  "R-124",  "R-125",  "R-134A", "R-14",   "R-14b",  "R-143a", "R-152a", "R-22",
                         "R-23",   "R-32",   "R-318",  "R-410A", "Air",    "C-25",   "C-10",   "C-8",    "C-2",
                         "C-75",   "He-25",  "He-75",  "A1025",  "Star29", "P-5",    "C-15",   "C-20",   "C-50",
                         "He-50",  "He-90"};
    for (int percent = 5; percent <= 95; percent += 5)
        names << QStringLiteral("Bio%1M").arg(percent);
    names << QStringList{"EAN-32", "EAN-36", "EAN-40", "HeOx20", "HeOx21", "HeOx30", "HeOx40", "HeOx50", "HeOx60",
                         "HeOx80", "HeOx99", "EA-40",  "EA-60",  "EA-80",  "Metab",  "LG-4.5", "LG-6",   "LG-7",
                         "LG-9",   "HeNe-9", "LG-9.4", "SynG-1", "SynG-2", "SynG-3", "SynG-4", "NatG-1", "NatG-2",
                         "NatG-3", "ColG",   "Endo",   "HHO",    "HD5LPG", "HD10LPG", "OCG-89", "OCG-93", "OCG-95",
                         "FG-1",   "FG-2",   "FG-3",   "FG-4",   "FG-5",   "FG-6",   "PG-10",  "H2O",
                         "XTMC_DesignTime", "XTMC_Normalized"};
    return names;
}

const TGasItem& Entry(const char* nameShort)
{
    for (const TGasItem& gas : GasItems())
        if (gas.NameShort == nameShort)
            return gas;
    throw TessalyError(QStringLiteral("no entry ") + nameShort);
}

TEST(GasTable, HoldsTheGasesInTheirFixedOrder)
{
    const std::vector<TGasItem>& items = GasItems();
    ASSERT_EQ(items.size(), 130u);
    QStringList names;
    for (const TGasItem& gas : items)
        names << gas.NameShort;
    EXPECT_EQ(names, ExpectedShortNames());

    struct Position {
        std::size_t index;
        int id;
    };
    for (Position p : {Position{0, 1}, Position{6, 210}, Position{47, 113}, Position{48, 116}, Position{49, 0},
                       Position{126, 206}, Position{127, 1001}, Position{128, 301}, Position{129, 302}})
        EXPECT_EQ(items[p.index].AlicatID, p.id) << p.index;
}

TEST(GasTable, GasNumbersAreUniqueAndTheGapsStayGaps)
{
    std::set<int> numbers;
    for (const TGasItem& gas : GasItems())
        EXPECT_TRUE(numbers.insert(gas.AlicatID).second) << gas.AlicatID;
    for (int missing : {114, 115, 117, -1})
        EXPECT_EQ(numbers.count(missing), 0u) << missing;
}

TEST(GasTable, SingleGasesCarryTheirData)
{
    struct Case {
        const char* nameShort;
        const char* nameLong;
        const char* formula;
        double molarMass;
        bool corrosive;
    };
    const Case cases[] = {
        {"Ar", "Argon", "Ar", 39.95, false},
        {"H-2", "Deuterium", "H2", 4.02820355622, false},
        {"C2H4", "Ethylene/Ethene", "C2H4", 28.05376, false},
        {"NO", "Nitric oxide", "NO", 30.006, true},
        {"DME", "Dimethylether", "C2H6O", 46.06864, true},
        {"R-11", "Trichlorofluoromethane", "CCL3F", 137.359, true},
        {"R-318", "Octafluorocyclobutane", "C4F8", 200.028, true},
        {"H2O", "H2O", "H2O", 18.01488, false},
    };
    for (const Case& c : cases) {
        const TGasItem& gas = Entry(c.nameShort);
        EXPECT_EQ(gas.GetNameLong(), c.nameLong) << c.nameShort;
        EXPECT_EQ(gas.Formula, c.formula) << c.nameShort;
        EXPECT_EQ(gas.GetMolarMass(), c.molarMass) << c.nameShort;
        EXPECT_EQ(gas.GetCorrosive(), c.corrosive) << c.nameShort;
        EXPECT_EQ(gas.GasType(), tElemental) << c.nameShort;
    }
}

TEST(GasTable, MixturesAreStoredFlat)
{
    for (const TGasItem& gas : GasItems()) {
        if (gas.Components.empty())
            continue;
        EXPECT_EQ(gas.GasType(), gas.NameShort == "XTMC_DesignTime" ? tDesignTimeMix : tMixture) << gas.NameShort.toStdString();
        EXPECT_TRUE(gas.Formula.isEmpty()) << gas.NameShort.toStdString();
    }
    EXPECT_DOUBLE_EQ(Entry("Air").GetMolarMass(), 28.85064);
    EXPECT_EQ(Entry("XTMC_DesignTime").GetMolarMass(), 1.0);
    EXPECT_DOUBLE_EQ(Entry("XTMC_Normalized").GetMolarMass(), 27.8177525);
    EXPECT_DOUBLE_EQ(Entry("HHO").GetMolarMass(), 2.0 / 3.0 * 2.01588 + 1.0 / 3.0 * 31.998);

    const TGasItem& lpg = Entry("HD5LPG");
    ASSERT_EQ(lpg.Components.size(), 4u);
    EXPECT_EQ(lpg.Components[0].PartialPressure, 961.0 / 999.0);
    EXPECT_EQ(lpg.Components[3].NameShort, "nC4H10");
    EXPECT_EQ(lpg.Components[3].PartialPressure, 19.0 / 999.0);

    const TGasItem& air = Entry("Air");
    EXPECT_DOUBLE_EQ(air.Components[0].MassFraction, 0.21 * 31.998 / 28.85064);
    EXPECT_EQ(air.MassFlow_gmin, 0);
}

TEST(GasTable, TestMixtureIsNestedAndItsFlatFormMerged)
{
    const TGasItem& designTime = Entry("XTMC_DesignTime");
    ASSERT_EQ(designTime.Components.size(), 2u);
    const TGasItem& middle = designTime.Components[1];
    EXPECT_EQ(middle.AlicatID, -1);
    EXPECT_EQ(middle.PartialPressure, 0.5);
    ASSERT_EQ(middle.Components.size(), 2u);
    EXPECT_EQ(middle.Components[1].PartialPressure, 0.75);
    EXPECT_EQ(middle.Components[1].Components.size(), 2u);

    const TGasItem& flat = Entry("XTMC_Normalized");
    EXPECT_EQ(flat.GetNameLong(), "Test mix for calculations");
    ASSERT_EQ(flat.Components.size(), 2u);
    EXPECT_EQ(flat.Components[0].NameShort, "Ar");
    EXPECT_DOUBLE_EQ(flat.Components[0].PartialPressure, 0.6625);
    EXPECT_EQ(flat.Components[1].NameShort, "He");
    EXPECT_DOUBLE_EQ(flat.Components[1].PartialPressure, 0.3375);
}

TEST(GasTable, NamesAndCorrosionOfMixtures)
{
    EXPECT_EQ(Entry("C-25").GetNameLong(), "25%Carbon Dioxide, 75%Argon");
    EXPECT_EQ(Entry("Air").GetNameLong(), "21%Oxygen, 79%Nitrogen");
    EXPECT_EQ(Entry("R-410A").GetNameLong(), "50% R-32, 50% R-125");
    EXPECT_EQ(Entry("Star29").GetNameLong(), "Stargon CS");
    EXPECT_FALSE(Entry("Air").GetCorrosive());
    EXPECT_TRUE(Entry("R-410A").GetCorrosive());
}

TEST(GasTableLookup, ByShortNameIsCaseSensitive)
{
    TGasItem gas;
    gas.NameShort = "untouched";
    EXPECT_FALSE(GetGas_ShortName("r-32", gas));
    EXPECT_EQ(gas.NameShort, "untouched");
    ASSERT_TRUE(GetGas_ShortName("R-32", gas));
    EXPECT_EQ(gas.AlicatID, 112);
}

TEST(GasTableLookup, ByGasNumber)
{
    TGasItem gas;
    GetGas_ID(0, gas);
    EXPECT_EQ(gas.NameShort, "Air");
    EXPECT_EQ(gas.Components.size(), 2u);

    gas.MassFlow_gmin = 5;
    GetGas_ID(-1, gas);
    EXPECT_EQ(gas.NameShort, "Unconfigured");
    EXPECT_EQ(gas.AlicatID, -1);
    EXPECT_TRUE(gas.Components.empty());

    for (int unknown : {114, 117, 99999}) {
        try {
            GetGas_ID(unknown, gas);
            ADD_FAILURE() << "no error for " << unknown;
        } catch (const TessalyError& error) {
            EXPECT_EQ(error.Message(), "GetGas_ID failed to return gas(ID):" + QString::number(unknown));
        }
    }

    EXPECT_TRUE(TryGetGas_ID(1001, gas));
    EXPECT_EQ(gas.NameShort, "H2O");
    EXPECT_FALSE(TryGetGas_ID(-1, gas));
    EXPECT_EQ(gas.NameShort, "Undefined");
    EXPECT_EQ(gas.GetMolarMass(), 0);
    EXPECT_FALSE(TryGetGas_ID(115, gas));
}

TEST(GasTableLookup, HandsOutClonesThatLeaveTheTableAlone)
{
    TGasItem air;
    GetGas_ID(0, air);
    air.MassFlow_gmin = 3;
    air.Components[0].PartialPressure = 0.9;
    TGasItem again;
    GetGas_ID(0, again);
    EXPECT_EQ(again.Components[0].PartialPressure, 0.21);
    EXPECT_EQ(again.MassFlow_gmin, 0);
}

TEST(GasTableBuild, LogsEachEntryAndTheArgonSelfTest)
{
    LogCapture log("UnitGas");
    const std::vector<TGasItem> items = BuildGasItems();
    const QStringList lines = log.Lines();
    ASSERT_EQ(lines.size(), 134);
    EXPECT_EQ(lines[0], "Ar Components:0 Elemental");
    EXPECT_EQ(lines[49], "Air Components:2 Normalized mixture");
    EXPECT_EQ(lines[128], "XTMC_DesignTime Components:2 Elemental");
    EXPECT_EQ(lines[129], "XTMC_Normalized Components:2 Normalized mixture");
    EXPECT_EQ(lines[130], "Testing");
    const double gramsPerMln = 1 / (1 / 39.95 * 0.0831446261815324 * 273.15 / 1.01325 * 1000);
    EXPECT_EQ(lines[131], "Ar g/mln = " + FloatToStr(items[0].GramPermln()));
    EXPECT_NEAR(items[0].GramPermln(), gramsPerMln, 1e-15);
    EXPECT_EQ(lines[132], "0.5 g of Ar in mln = " + FloatToStr(0.5 * items[0].mlnPerGram()));
    EXPECT_NEAR(0.5 * items[0].mlnPerGram(), 280.525, 0.001);
    EXPECT_EQ(lines[133], "280.6 mln of Ar in g = " + FloatToStr(280.6 * items[0].GramPermln()));
    EXPECT_NEAR(280.6 * items[0].GramPermln(), 0.50013, 0.00001);
}

class GasTableBuildLocales : public PointAndCommaLocales {};

// Table entries keep the long names made when the table was built, in the locale of then.
TEST_P(GasTableBuildLocales, LongNamesOfMixturesUseTheLocaleOfTheBuild)
{
    const std::vector<TGasItem> items = BuildGasItems();
    EXPECT_EQ(items[57].GetNameLong(), Local("90%Helium, 7@5%Argon, 2@5%Carbon Dioxide"));
    EXPECT_EQ(items[57].Components[1].PartialPressure, 0.075);
}

INSTANTIATE_POINT_AND_COMMA_LOCALES(GasTableBuildLocales);

TEST(GasTableLists, GasRowsCarryTheirGasNumber)
{
    const std::vector<TGasListRow> rows = GasListRows();
    ASSERT_EQ(rows.size(), 131u);
    EXPECT_EQ(rows[0].Text, "Shortname Formula   Longname, recipe, comments ");
    EXPECT_FALSE(rows[0].GasID.has_value());
    EXPECT_EQ(rows[1].Text, "Ar        Ar        Argon ");
    EXPECT_EQ(rows[1].GasID, 1);
    EXPECT_EQ(rows[50].Text, "Air                 21%Oxygen, 79%Nitrogen ");
    EXPECT_EQ(rows[50].GasID, 0);
    EXPECT_EQ(rows[58].Text, "A1025               " + GasItems()[57].GetNameLong() + " ");
    EXPECT_EQ(rows[129].Text, "XTMC_Desi           Test mix for calculations ");
    EXPECT_EQ(rows[129].GasID, 301);
    EXPECT_EQ(rows[42].Text, "R-14b     C2H3ClF2  Chlorodifluoroethane ");
}

TEST(GasTableLists, FluidRowsOfferWater)
{
    const std::vector<TGasListRow> rows = FluidListRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Text, "Shortname Formula   Longname (or recipe) ");
    EXPECT_FALSE(rows[0].GasID.has_value());
    EXPECT_EQ(rows[1].Text, "H2O                 Only use deionized or distilled water ");
    EXPECT_EQ(rows[1].GasID, 1001);
}

} // namespace
