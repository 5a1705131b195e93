// Renders the imbalance window over a year of made-up but plausible readings
// into PNG files, for the documentation: shot_imbalance <folder>.
#include <QApplication>
#include <QDir>
#include <QPushButton>

#include "core/AppState.h"
#include "core/NumberText.h"
#include "imbalance/ImbalanceWindow.h"
#include "support/ScriptedPlatform.h"

using namespace Qt::StringLiterals;

int main(int argc, char** argv) {
    qputenv("OSTREVANKA_CHART_MODULE", OST_CHART_MODULE_PATH);
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"."_s;
    QDir().mkpath(folder);

    AppState state;
    const QString yearText = u"2023"_s;
    const int y = *YearIndex(yearText);
    constexpr int Subscribers = 46;
    state.table.setSubscriberCount(Subscribers);

    // A small linear congruential generator keeps the picture the same.
    quint32 seed = 12345;
    const auto next = [&seed](int lo, int hi) {
        seed = seed * 1664525u + 1013904223u;
        return lo + int((seed >> 8) % quint32(hi - lo + 1));
    };
    // Winter months use more.
    const double season[12] = {1.6, 1.5, 1.2, 1.0, 0.8, 0.7, 0.75, 0.8, 0.9, 1.1, 1.35, 1.6};

    std::vector<double> t1(Subscribers + 1), t2(Subscribers + 1);
    for (int i = 1; i <= Subscribers; ++i) {
        t1[size_t(i)] = next(2000, 30000);
        t2[size_t(i)] = next(1000, 15000);
    }
    double head1 = 512340, head2 = 241870;
    HeadMeterTexts head;
    for (int m = 1; m <= 12; ++m) {
        double sum1 = 0, sum2 = 0;
        for (int i = 1; i <= Subscribers; ++i) {
            const bool read = m > 10 ? next(0, 9) > 2 : next(0, 19) > 0;
            const double d1 = next(60, 420) * season[m - 1];
            const double d2 = next(20, 190) * season[m - 1];
            auto put = [&](int slot, double v) {
                state.table.setCell(i, MonthColumn(y, m, slot), PlainNumber(std::round(v)));
            };
            put(T1Previous, t1[size_t(i)]);
            put(T2Previous, t2[size_t(i)]);
            if (read) {
                t1[size_t(i)] += std::round(d1);
                t2[size_t(i)] += std::round(d2);
                put(T1Current, t1[size_t(i)]);
                put(T2Current, t2[size_t(i)]);
                sum1 += std::round(d1);
                sum2 += std::round(d2);
            }
        }
        state.table.setCell(1, MonthColumn(y, m, Tariff1), m < 7 ? u"5,57"_s : u"5,93"_s);
        state.table.setCell(1, MonthColumn(y, m, Tariff2), m < 7 ? u"3,22"_s : u"3,43"_s);
        {
            const double loss1 = 1.0 + next(15, 75) / 1000.0, loss2 = 1.0 + next(10, 60) / 1000.0;
            const double new1 = head1 + std::round(sum1 * loss1);
            const double new2 = head2 + std::round(sum2 * loss2);
            head[size_t(m - 1)] = {PlainNumber(new1), PlainNumber(head1), PlainNumber(new2),
                                   PlainNumber(head2)};
            head1 = new1;
            head2 = new2;
        }
    }
    StoreHeadMeter(state.table, y, head);

    ScriptedPlatform platform;
    ImbalanceWindow w(state, platform, yearText);
    w.move(200, 200); // away from the pointer, which would show the export hint
    w.show();
    w.grab().save(folder + u"/razbalans.png"_s);
    w.findChild<QPushButton*>(u"CmdChart"_s)->click();
    QApplication::processEvents();
    w.grab().save(folder + u"/razbalans-chart.png"_s);
    return 0;
}
