#include "core/GasTable.h"

#include "core/DiagnosticLog.h"
#include "core/Errors.h"
#include "core/NumberText.h"
#include "core/TextTables.h"

#include <initializer_list>
#include <unordered_map>

namespace {

struct SingleGasRow {
    int id;
    const char* nameShort;
    const char* nameLong;
    const char* formula;
    double molarMass;
    bool corrosive;
};

struct ComponentRow {
    const char* nameShort;
    double fraction;
};

struct MixtureRow {
    int id;
    const char* nameShort;
    const char* nameLong; // nullptr: built from the components
    std::initializer_list<ComponentRow> components;
};

const SingleGasRow SingleGases[] = {
    {1, "Ar", "Argon", "Ar", 39.95, false},
    {2, "CH4", "Methane", "CH4", 16.04276, false},
    {3, "CO", "Carbon Monoxide", "CO", 28.01, false},
    {4, "CO2", "Carbon Dioxide", "CO2", 44.009, false},
    {5, "C2H6", "Ethane", "C2H6", 30.06964, false},
    {6, "H2", "Hydrogen", "H2", 2.01588, false},
    {210, "H-2", "Deuterium", "H2", 4.02820355622, false},
    {7, "He", "Helium", "He", 4.0026, false},
    {8, "N2", "Nitrogen", "N2", 28.014, false},
    {9, "N2O", "Nitrous Oxide", "N2O", 44.013, false},
    {10, "Ne", "Neon", "Ne", 20.18, false},
    {11, "O2", "Oxygen", "O2", 31.998, false},
    {12, "C3H8", "Propane", "C3H8", 44.09652, false},
    {13, "nC4H10", "Normal Butane", "nC4H10", 58.1234, false},
    {14, "C2H2", "Acetylene", "C2H2", 26.03788, false},
    {15, "C2H4", "Ethylene/Ethene", "C2H4", 28.05376, false},
    {16, "iC4H10", "Isobutane", "iC4H10", 58.1234, false},
    {17, "Kr", "Krypton", "Kr", 83.798, false},
    {18, "Xe", "Xenon", "Xe", 131.29, false},
    {19, "SF6", "Sulfur Hexafluoride", "SF6", 146.048, false},
    {30, "NO", "Nitric oxide", "NO", 30.006, true},
    {31, "NF3", "Nitric trifluoride", "NF3", 71.001, true},
    {32, "NH3", "Ammonia", "NH3", 17.03082, true},
    {33, "Cl", "Chlorine", "Cl", 35.45, true},
    {34, "H2S", "Hydrogen Sulfide", "H2S", 34.07588, true},
    {35, "SO2", "Sulfur dioxide", "SO2", 64.058, true},
    {36, "C3H6", "Propylene", "C3H6", 42.08064, true},
    {80, "1Buten", "1-Butylene", "C4H8", 56.10752, true},
    {81, "cButen", "cis-2-Butene", "C4H8", 56.10752, true},
    {82, "iButen", "Isobutene", "C4H8", 56.10752, true},
    {83, "tButen", "Trans-2-Butene", "C4H8", 56.10752, true},
    {84, "COS", "Carbonyl Sulfide", "COS", 60.07, true},
    {85, "DME", "Dimethylether", "C2H6O", 46.06864, true},
    {86, "SiH4", "Silane", "H4Si", 32.11676, true},
    {100, "R-11", "Trichlorofluoromethane", "CCL3F", 137.359, true},
    {101, "R-115", "Chloropentafluoroethane", "C2CLF5", 154.462, true},
    {102, "R-116", "Hexafluoroethane", "C2F6", 138.01, true},
    {103, "R-124", "Chlorotetrafluoroethane", "C2HClF4", 136.47194, true},
    {104, "R-125", "Pentafluoroethane", "C2HF5", 120.01994, true},
    {105, "R-134A", "Tetrafluoroethane", "C2H2F4", 102.02988, true},
    {106, "R-14", "Tetrafluoromethane", "CF4", 88.003, true},
    {107, "R-14b", "Chlorodifluoroethane", "C2H3ClF2", 100.49182, true},
    {108, "R-143a", "Trifluoroethane", "C2H3F3", 84.03982, true},
    {109, "R-152a", "Difluoroethane", "C2H4F2", 66.04976, true},
    {110, "R-22", "Difluoromonochloromethane", "CHClF2", 86.46494, true},
    {111, "R-23", "Trifluoromethane", "CHF3", 70.01294, true},
    {112, "R-32", "Difluoromethane", "CH2F2", 52.02288, true},
    {113, "R-318", "Octafluorocyclobutane", "C4F8", 200.028, true},
};

const MixtureRow Mixtures[] = {
    {116, "R-410A", "50% R-32, 50% R-125", {{"R-32", 0.5}, {"R-125", 0.5}}},
    {0, "Air", nullptr, {{"O2", 0.21}, {"N2", 0.79}}},
    {20, "C-25", nullptr, {{"CO2", 0.25}, {"Ar", 0.75}}},
    {21, "C-10", nullptr, {{"CO2", 0.1}, {"Ar", 0.9}}},
    {22, "C-8", nullptr, {{"CO2", 0.08}, {"Ar", 0.92}}},
    {23, "C-2", nullptr, {{"CO2", 0.02}, {"Ar", 0.98}}},
    {24, "C-75", nullptr, {{"CO2", 0.75}, {"Ar", 0.25}}},
    {25, "He-25", nullptr, {{"He", 0.25}, {"Ar", 0.75}}},
    {26, "He-75", nullptr, {{"He", 0.75}, {"Ar", 0.25}}},
    {27, "A1025", nullptr, {{"He", 0.9}, {"Ar", 0.075}, {"CO2", 0.025}}},
    {28, "Star29", "Stargon CS", {{"Ar", 0.9}, {"CO2", 0.08}, {"O2", 0.02}}},
    {29, "P-5", nullptr, {{"CH4", 0.05}, {"Ar", 0.95}}},
    {140, "C-15", nullptr, {{"CO2", 0.15}, {"Ar", 0.85}}},
    {141, "C-20", nullptr, {{"CO2", 0.2}, {"Ar", 0.8}}},
    {142, "C-50", nullptr, {{"CO2", 0.5}, {"Ar", 0.5}}},
    {143, "He-50", nullptr, {{"He", 0.5}, {"Ar", 0.5}}},
    {144, "He-90", nullptr, {{"He", 0.9}, {"Ar", 0.1}}},
    {145, "Bio5M", nullptr, {{"CH4", 0.05}, {"CO2", 0.95}}},
    {146, "Bio10M", nullptr, {{"CH4", 0.1}, {"CO2", 0.9}}},
    {147, "Bio15M", nullptr, {{"CH4", 0.15}, {"CO2", 0.85}}},
    {148, "Bio20M", nullptr, {{"CH4", 0.2}, {"CO2", 0.8}}},
    {149, "Bio25M", nullptr, {{"CH4", 0.25}, {"CO2", 0.75}}},
    {150, "Bio30M", nullptr, {{"CH4", 0.3}, {"CO2", 0.7}}},
    {151, "Bio35M", nullptr, {{"CH4", 0.35}, {"CO2", 0.65}}},
    {152, "Bio40M", nullptr, {{"CH4", 0.4}, {"CO2", 0.6}}},
    {153, "Bio45M", nullptr, {{"CH4", 0.45}, {"CO2", 0.55}}},
    {154, "Bio50M", nullptr, {{"CH4", 0.5}, {"CO2", 0.5}}},
    {155, "Bio55M", nullptr, {{"CH4", 0.55}, {"CO2", 0.45}}},
    {156, "Bio60M", nullptr, {{"CH4", 0.6}, {"CO2", 0.4}}},
    {157, "Bio65M", nullptr, {{"CH4", 0.65}, {"CO2", 0.35}}},
    {158, "Bio70M", nullptr, {{"CH4", 0.7}, {"CO2", 0.3}}},
    {159, "Bio75M", nullptr, {{"CH4", 0.75}, {"CO2", 0.25}}},
    {160, "Bio80M", nullptr, {{"CH4", 0.8}, {"CO2", 0.2}}},
    {161, "Bio85M", nullptr, {{"CH4", 0.85}, {"CO2", 0.15}}},
    {162, "Bio90M", nullptr, {{"CH4", 0.9}, {"CO2", 0.1}}},
    {163, "Bio95M", nullptr, {{"CH4", 0.95}, {"CO2", 0.05}}},
    {164, "EAN-32", nullptr, {{"O2", 0.32}, {"N2", 0.68}}},
    {165, "EAN-36", nullptr, {{"O2", 0.36}, {"N2", 0.64}}},
    {166, "EAN-40", nullptr, {{"O2", 0.4}, {"N2", 0.6}}},
    {167, "HeOx20", nullptr, {{"O2", 0.2}, {"He", 0.8}}},
    {168, "HeOx21", nullptr, {{"O2", 0.21}, {"He", 0.79}}},
    {169, "HeOx30", nullptr, {{"O2", 0.3}, {"He", 0.7}}},
    {170, "HeOx40", nullptr, {{"O2", 0.4}, {"He", 0.6}}},
    {171, "HeOx50", nullptr, {{"O2", 0.5}, {"He", 0.5}}},
    {172, "HeOx60", nullptr, {{"O2", 0.6}, {"He", 0.4}}},
    {173, "HeOx80", nullptr, {{"O2", 0.8}, {"He", 0.2}}},
    {174, "HeOx99", nullptr, {{"O2", 0.99}, {"He", 0.01}}},
    {175, "EA-40", nullptr, {{"O2", 0.4}, {"N2", 0.6}}},
    {176, "EA-60", nullptr, {{"O2", 0.6}, {"N2", 0.4}}},
    {177, "EA-80", nullptr, {{"O2", 0.8}, {"N2", 0.2}}},
    {178, "Metab", nullptr, {{"O2", 0.16}, {"N2", 0.7804}, {"CO2", 0.05}, {"Ar", 0.0096}}},
    {179, "LG-4.5", nullptr, {{"CO2", 0.045}, {"N2", 0.135}, {"He", 0.82}}},
    {180, "LG-6", nullptr, {{"CO2", 0.06}, {"N2", 0.14}, {"He", 0.8}}},
    {181, "LG-7", nullptr, {{"CO2", 0.07}, {"N2", 0.14}, {"He", 0.79}}},
    {182, "LG-9", nullptr, {{"CO2", 0.09}, {"N2", 0.15}, {"He", 0.76}}},
    {183, "HeNe-9", nullptr, {{"Ne", 0.09}, {"He", 0.91}}},
    {184, "LG-9.4", nullptr, {{"CO2", 0.094}, {"N2", 0.1925}, {"He", 0.7135}}},
    {185, "SynG-1", nullptr, {{"H2", 0.4}, {"CO", 0.29}, {"CO2", 0.2}, {"CH4", 0.11}}},
    {186, "SynG-2", nullptr, {{"H2", 0.64}, {"CO", 0.28}, {"CO2", 0.01}, {"CH4", 0.07}}},
    {187, "SynG-3", nullptr, {{"H2", 0.7}, {"CO", 0.04}, {"CO2", 0.25}, {"CH4", 0.01}}},
    {188, "SynG-4", nullptr, {{"H2", 0.83}, {"CO", 0.14}, {"CH4", 0.03}}},
    {189, "NatG-1", nullptr, {{"CH4", 0.93}, {"C2H6", 0.03}, {"C3H8", 0.01}, {"N2", 0.02}, {"CO2", 0.01}}},
    {190, "NatG-2", nullptr, {{"CH4", 0.95}, {"C2H6", 0.03}, {"N2", 0.01}, {"CO2", 0.01}}},
    {191, "NatG-3", nullptr,
     {{"CH4", 0.952}, {"C2H6", 0.025}, {"C3H8", 0.002}, {"iC4H10", 0.001}, {"N2", 0.013}, {"CO2", 0.007}}},
    {192, "ColG", nullptr, {{"H2", 0.5}, {"CH4", 0.35}, {"CO", 0.1}, {"C2H4", 0.05}}},
    {193, "Endo", nullptr, {{"H2", 0.75}, {"N2", 0.25}}},
    {194, "HHO", nullptr, {{"H2", 2.0 / 3.0}, {"O2", 1.0 / 3.0}}},
    {195, "HD5LPG", nullptr,
     {{"C3H8", 961.0 / 999.0}, {"C2H6", 15.0 / 999.0}, {"C3H6", 4.0 / 999.0}, {"nC4H10", 19.0 / 999.0}}},
    {196, "HD10LPG", nullptr, {{"C3H8", 0.85}, {"C3H6", 0.1}, {"nC4H10", 0.05}}},
    {197, "OCG-89", nullptr, {{"O2", 0.89}, {"C3H6", 0.07}, {"nC4H10", 0.04}}},
    {198, "OCG-93", nullptr, {{"O2", 0.93}, {"N2", 0.03}, {"Ar", 0.04}}},
    {199, "OCG-95", nullptr, {{"O2", 0.95}, {"N2", 0.01}, {"Ar", 0.04}}},
    {200, "FG-1", nullptr, {{"O2", 0.025}, {"CO2", 0.108}, {"N2", 0.857}, {"Ar", 0.01}}},
    {201, "FG-2", nullptr, {{"O2", 0.029}, {"CO2", 0.14}, {"N2", 0.821}, {"Ar", 0.01}}},
    {202, "FG-3", nullptr, {{"O2", 0.037}, {"CO2", 0.15}, {"N2", 0.803}, {"Ar", 0.01}}},
    {203, "FG-4", nullptr, {{"O2", 0.07}, {"CO2", 0.12}, {"N2", 0.8}, {"Ar", 0.01}}},
    {204, "FG-5", nullptr, {{"O2", 0.1}, {"CO2", 0.095}, {"N2", 0.795}, {"Ar", 0.01}}},
    {205, "FG-6", nullptr, {{"O2", 0.13}, {"CO2", 0.07}, {"N2", 0.79}, {"Ar", 0.01}}},
    {206, "PG-10", nullptr, {{"CH4", 0.1}, {"Ar", 0.9}}},
};

const SingleGasRow Water = {1001, "H2O", "H2O", "H2O", 18.01488, false};

const TGasItem* FindShortName(const std::vector<TGasItem>& items, const QString& nameShort)
{
    for (const TGasItem& gas : items)
        if (gas.NameShort == nameShort)
            return &gas;
    return nullptr;
}

TGasItem MakeSingleGas(const SingleGasRow& row)
{
    TGasItem gas;
    gas.Init();
    gas.NameShort = QString::fromUtf8(row.nameShort);
    gas.SetNameLong(QString::fromUtf8(row.nameLong));
    gas.Formula = QString::fromUtf8(row.formula);
    gas.SetMolarMass(row.molarMass);
    gas.SetCorrosive(row.corrosive);
    gas.AlicatID = row.id;
    return gas;
}

// A table entry (clone without mass) at the given fraction; none when the table lacks it.
std::optional<TGasItem> Component(const std::vector<TGasItem>& table, const char* nameShort, double fraction)
{
    const TGasItem* found = FindShortName(table, QString::fromUtf8(nameShort));
    if (!found)
        return std::nullopt;
    TGasItem component = found->Clone(false);
    component.PartialPressure = fraction;
    return component;
}

// Ar 0.5 and a sub-mixture 0.5 of Ar 0.25 and a second sub-mixture 0.75 of Ar 0.1, He 0.9:
// nesting three levels deep exercises the flattening.
TGasItem MakeTestMixture(const std::vector<TGasItem>& table)
{
    TGasItem inner;
    inner.Init();
    inner.PartialPressure = 0.75;
    inner.Components = {*Component(table, "Ar", 0.1), *Component(table, "He", 0.9)};

    TGasItem middle;
    middle.Init();
    middle.PartialPressure = 0.5;
    middle.Components = {*Component(table, "Ar", 0.25), inner};

    TGasItem mix;
    mix.Init();
    mix.NameShort = QStringLiteral("XTMC_DesignTime");
    mix.SetNameLong(QStringLiteral("Test mix for calculations"));
    mix.AlicatID = 301;
    mix.Components = {*Component(table, "Ar", 0.5), middle};
    return mix;
}

void LogArgonSelfTest(const std::vector<TGasItem>& table)
{
    const TGasItem* argon = FindShortName(table, QStringLiteral("Ar"));
    UnitGasLog().Send(QStringLiteral("Testing"));
    UnitGasLog().Send(QStringLiteral("Ar g/mln = ") + FloatToStr(argon->GramPermln()));
    UnitGasLog().Send(QStringLiteral("0.5 g of Ar in mln = ") + FloatToStr(0.5 * argon->mlnPerGram()));
    UnitGasLog().Send(QStringLiteral("280.6 mln of Ar in g = ") + FloatToStr(280.6 * argon->GramPermln()));
}

} // namespace

std::vector<TGasItem> BuildGasItems()
{
    std::vector<TGasItem> table;
    for (const SingleGasRow& row : SingleGases)
        table.push_back(MakeSingleGas(row).Flatten());

    for (const MixtureRow& row : Mixtures) {
        TGasItem mix;
        mix.Init();
        mix.NameShort = QString::fromUtf8(row.nameShort);
        mix.AlicatID = row.id;
        if (row.nameLong)
            mix.SetNameLong(QString::fromUtf8(row.nameLong));
        bool complete = true;
        for (const ComponentRow& part : row.components) {
            std::optional<TGasItem> component = Component(table, part.nameShort, part.fraction);
            if (!component) {
                complete = false;
                break;
            }
            mix.Components.push_back(std::move(*component));
        }
        if (complete)
            table.push_back(mix.Flatten());
        else
            UnitGasLog().Send(QStringLiteral("Making mixture failed:") + QString::number(row.id));
    }

    table.push_back(MakeSingleGas(Water).Flatten());
    const TGasItem testMixture = MakeTestMixture(table);
    table.push_back(testMixture);
    TGasItem normalized = testMixture.Flatten();
    normalized.NameShort = QStringLiteral("XTMC_Normalized");
    normalized.AlicatID = 302;
    table.push_back(normalized);

    for (const TGasItem& gas : table)
        UnitGasLog().Send(gas.NameShort + QStringLiteral(" Components:") + QString::number(gas.Components.size())
                          + QStringLiteral(" ")
                          + (gas.ComponentsNormalized ? QStringLiteral("Normalized mixture")
                                                      : QStringLiteral("Elemental")));
    LogArgonSelfTest(table);
    return table;
}

namespace {

struct GasTable {
    std::vector<TGasItem> items;
    std::unordered_map<int, std::size_t> byNumber; // first entry of each gas number

    GasTable() : items(BuildGasItems())
    {
        for (std::size_t i = 0; i < items.size(); ++i)
            byNumber.try_emplace(items[i].AlicatID, i);
    }
};

// Built on first use; the initialisation of a function-local static is thread-safe.
const GasTable& Table()
{
    static const GasTable table;
    return table;
}

const TGasItem* FindNumber(int id)
{
    const GasTable& table = Table();
    const auto found = table.byNumber.find(id);
    return found == table.byNumber.end() ? nullptr : &table.items[found->second];
}

// Every row, the header lines included, ends in a blank.
QString ListRowText(const QString& nameShort, const QString& formula, const QString& rest)
{
    return PadRight(nameShort, 9) + QStringLiteral(" ") + PadRight(formula, 9) + QStringLiteral(" ") + rest
           + QStringLiteral(" ");
}

} // namespace

const std::vector<TGasItem>& GasItems() { return Table().items; }

void GetGas_ID(int ID, TGasItem& Gas)
{
    Gas.Init();
    if (ID == -1) {
        Gas.NameShort = QStringLiteral("Unconfigured");
        return;
    }
    const TGasItem* found = FindNumber(ID);
    if (!found)
        throw TessalyError(QStringLiteral("GetGas_ID failed to return gas(ID):") + QString::number(ID));
    Gas = found->Clone(false);
}

bool TryGetGas_ID(int ID, TGasItem& Gas)
{
    Gas.Init();
    const TGasItem* found = FindNumber(ID);
    if (!found)
        return false;
    Gas = found->Clone(false);
    return true;
}

bool GetGas_ShortName(const QString& NameShort, TGasItem& Gas)
{
    const TGasItem* found = FindShortName(Table().items, NameShort);
    if (!found)
        return false;
    Gas = found->Clone(false);
    return true;
}

std::vector<TGasListRow> GasListRows()
{
    std::vector<TGasListRow> rows;
    rows.push_back({ListRowText(QStringLiteral("Shortname"), QStringLiteral("Formula"),
                                QStringLiteral("Longname, recipe, comments")),
                    std::nullopt});
    for (const TGasItem& gas : GasItems())
        rows.push_back({ListRowText(gas.NameShort, gas.Formula, gas.GetNameLong()), gas.AlicatID});
    return rows;
}

std::vector<TGasListRow> FluidListRows()
{
    return {
        {ListRowText(QStringLiteral("Shortname"), QStringLiteral("Formula"), QStringLiteral("Longname (or recipe)")),
         std::nullopt},
        {ListRowText(QStringLiteral("H2O"), QString(), QStringLiteral("Only use deionized or distilled water")), 1001},
    };
}
