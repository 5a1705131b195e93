#pragma once

class Database;
class Platform;
class QWidget;
struct AppState;

// "Загрузить выписку банка", from the ledger and from the main window: asks
// for the file, shows its incoming payments for review over `parent` and, on
// "Записать в лицевые счета", writes the ticked ones into the ledger and saves
// the database. The caller has left its edited cell first. True when
// payments were written (the caller shows the new values).
bool LoadBankStatement(AppState& state, Database& database, Platform& platform, QWidget* parent);
