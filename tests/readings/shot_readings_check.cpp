// Renders the readings check and the consumption chart over two years of
// made-up but plausible readings with a few typical mistakes, for the
// documentation: shot_readings_check <folder>.
#include <cmath>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTableView>
#include <QTemporaryDir>

#include "core/AppState.h"
#include "storage/Database.h"
#include "storage/DatabaseFile.h"
#include "core/NumberText.h"
#include "core/Settings.h"
#include "readings/MainWindow.h"
#include "readings/MonthCell.h"
#include "readings/ConsumptionChartWindow.h"
#include "readings/ReadingsCheckWindow.h"
#include "support/ScriptedPlatform.h"

using namespace Qt::StringLiterals;

int main(int argc, char** argv) {
    qputenv("OSTREVANKA_CHART_MODULE", OST_CHART_MODULE_PATH);
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"."_s;
    QDir().mkpath(folder);

    const QStringList names = {
        u"Агафонов П. С."_s, u"Белова Н. И."_s,   u"Васильев К. Д."_s, u"Громова Е. А."_s,
        u"Дьяков С. М."_s,   u"Ершова Т. В."_s,   u"Жуков А. П."_s,    u"Зайцева Л. Н."_s,
        u"Ильин В. Г."_s,    u"Карпова О. Ю."_s,  u"Лебедев И. Р."_s,  u"Морозова А. К."_s,
        u"Никитин Б. Е."_s,  u"Орлова Г. Ф."_s,   u"Павлов Д. О."_s,   u"Романова И. С."_s,
        u"Смирнов Ю. А."_s,  u"Тихонова В. П."_s, u"Уткин Р. Л."_s,    u"Фомина Е. Д."_s};
    AppState state;
    state.table.setSubscriberCount(int(names.size()));
    const int y = *YearIndex(u"2023"_s);

    quint32 seed = 4242;
    const auto next = [&seed](int lo, int hi) {
        seed = seed * 1664525u + 1013904223u;
        return lo + int((seed >> 8) % quint32(hi - lo + 1));
    };
    const double season[12] = {1.6, 1.5, 1.2, 1.0, 0.8, 0.7, 0.75, 0.8, 0.9, 1.1, 1.35, 1.6};
    for (int r = 1; r <= names.size(); ++r) {
        state.table.setCell(r, ColRowNumber, QString::number(r));
        state.table.setCell(r, ColName, names[r - 1]);
        double t1 = next(3000, 30000), t2 = next(1000, 12000);
        for (int year = y - 1; year <= y; ++year)
            for (int m = 1; m <= 12; ++m) {
                const auto put = [&](int slot, const QString& text) {
                    state.table.setCell(r, MonthColumn(year, m, slot), text);
                };
                put(T1Previous, PlainNumber(t1));
                put(T2Previous, PlainNumber(t2));
                t1 += std::round(next(90, 260) * season[m - 1]);
                t2 += std::round(next(30, 120) * season[m - 1]);
                put(T1Current, PlainNumber(t1));
                put(T2Current, PlainNumber(t2));
                put(Tariff1, year < y ? u"5,57"_s : u"5,93"_s);
                put(Tariff2, year < y ? u"3,22"_s : u"3,43"_s);
            }
    }
    const auto cell = [&](int r, int m, int slot) -> QString {
        return state.table.cell(r, MonthColumn(y, m, slot));
    };
    const auto set = [&](int r, int m, int slot, const QString& text) {
        state.table.setCell(r, MonthColumn(y, m, slot), text);
    };
    // Two digits swapped in a current reading.
    {
        QString c = cell(3, 4, T1Current);
        std::swap(c[c.size() - 2], c[c.size() - 3]);
        set(3, 4, T1Current, c);
    }
    set(6, 7, T1Previous, PlainNumber(ReadNumber(cell(6, 7, T1Previous)) + 100));   // typo
    set(9, 9, T2Current, QString());                                                // not read
    set(12, 2, Tariff1, QString());                                                 // no tariff
    set(15, 8, T1Current, PlainNumber(ReadNumber(cell(15, 8, T1Previous)) + 1460)); // jump
    set(15, 9, T1Previous, cell(15, 8, T1Current));
    set(17, 11, T2Previous, PlainNumber(ReadNumber(cell(17, 11, T2Current)) + 85));

    ScriptedPlatform platform;
    ReadingsCheckWindow check(state, platform, u"2023"_s);
    check.move(200, 200);
    check.resize(960, 330);
    check.show();
    check.view()->selectRow(5);
    QApplication::processEvents();
    check.grab().save(folder + u"/readings-check.png"_s);

    ConsumptionChartWindow chart(state.table, 15, u"2023"_s);
    chart.move(200, 200);
    chart.show();
    QApplication::processEvents();
    chart.grab().save(folder + u"/consumption-chart.png"_s);

    // The main window on the subscriber with the jump: September's current
    // reading is below its previous one.
    QTemporaryDir dir;
    Database database(state.table, platform, dir.filePath(DatabaseFile::FileName));
    state.programFolder = dir.path();
    DatabaseFile::save(database.path(), state.table);
    platform.settings().setText(u"Nastr"_s, u"Cmb0"_s, names[14]);
    platform.settings().setText(u"Nastr"_s, u"Cmb1"_s, u"2023"_s);
    MainWindow main(state, database, platform);
    if (!main.load())
        return 1;
    main.move(100, 100);
    main.show();
    QApplication::processEvents();
    main.grab().save(folder + u"/main-window-lower-reading.png"_s);
    return 0;
}
