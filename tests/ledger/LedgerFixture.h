#pragma once

#include <QStringList>
#include <QTemporaryDir>

#include "core/AppState.h"
#include "core/SubscriberTable.h"

// A small ledger: n subscribers with names, the database in a temporary folder.
inline void FillSubscribers(AppState& state, int n, const QTemporaryDir& dir) {
    static const QStringList names = {
        QStringLiteral("Иванов И. И."), QStringLiteral("Петров П. П."),
        QStringLiteral("Сидорова А. Б."), QStringLiteral("Иваненко В. В.")};
    state.table = SubscriberTable();
    state.table.setSubscriberCount(n);
    for (int r = 1; r <= n; ++r) {
        state.table.setCell(r, ColRowNumber, QString::number(r));
        state.table.setCell(r, ColName, names.at((r - 1) % names.size()));
    }
    state.programFolder = dir.path();
}
