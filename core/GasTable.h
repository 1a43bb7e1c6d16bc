#pragma once
// The built-in table of gases and mixtures, in its fixed order (the window lists the gases in
// this order and finds Air, gas number 0, at position 49). Built once on first use, from any
// thread; never changed afterwards, so readers need no lock. Look-ups hand out clones.
#include "core/GasItem.h"

#include <QString>
#include <optional>
#include <vector>

const std::vector<TGasItem>& GasItems();
// Builds the table afresh, logging one line per entry and the argon self-test. GasItems()
// holds the one built on first use.
std::vector<TGasItem> BuildGasItems();

// Gas number -1 gives an entry named "Unconfigured"; an unknown number throws TessalyError.
void GetGas_ID(int ID, TGasItem& Gas);
// As GetGas_ID without the special -1 and without throwing: False (Gas Init-ed) when unknown.
bool TryGetGas_ID(int ID, TGasItem& Gas);
// Exact, case-sensitive match of NameShort; Gas is untouched when none matches.
bool GetGas_ShortName(const QString& NameShort, TGasItem& Gas);

// A row of the window's gas or fluid drop-down list; the header row carries no gas number.
struct TGasListRow {
    QString Text;
    std::optional<int> GasID;
};

// Header, then every table entry in table order.
std::vector<TGasListRow> GasListRows();
// Header, then water.
std::vector<TGasListRow> FluidListRows();
