#include "BenchSupport.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include <benchmark/benchmark.h>

#include <QFile>

#include "core/NumberText.h"

using namespace Qt::StringLiterals;

ThreadClock::time_point ThreadClock::now() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return time_point(duration(qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec));
}

namespace {

const QStringList Surnames = {u"Иванов"_s,   u"Петров"_s,  u"Сидоров"_s,  u"Ёлкин"_s,
                              u"Кузнецов"_s, u"Смирнов"_s, u"Фёдоров"_s,  u"Соколов"_s,
                              u"Михайлов"_s, u"Новиков"_s, u"Морозов"_s,  u"Волков"_s,
                              u"Алексеев"_s, u"Лебедев"_s, u"Семёнов"_s,  u"Егоров"_s,
                              u"Павлов"_s,   u"Козлов"_s,  u"Степанов"_s, u"Николаев"_s};
const QString Initials = u"АБВГДЕЖЗИКЛМНОПРСТУФ"_s;

} // namespace

SubscriberTable MakeLargestTable(int lastYear) {
    const int years = lastYear - YearLayout::FirstYear + 1;
    SubscriberTable t;
    t.setSubscriberCount(SubscriberTable::MaxRow);
    for (int r = 1; r <= SubscriberTable::MaxRow; ++r) {
        t.setCell(r, ColRowNumber, QString::number(r));
        t.setCell(r, ColName,
                  Surnames.at(r % Surnames.size()) + u' ' + Initials.at(r % Initials.size()) +
                      u". " + Initials.at((r * 7) % Initials.size()) + u'.');
        t.setCell(r, ColAddress, u"уч. №%1, ул. Лесная"_s.arg(r));
        t.setCell(r, ColPhone,
                  u"+7 921 %1-%2-%3"_s.arg(100 + r % 900).arg(10 + r % 90).arg(r % 90 + 10));
        t.setCell(r, ColMeterType, u"Меркурий 200.02"_s);
        t.setCell(r, ColNote, r % 3 ? u"оплата по квитанции"_s : u"льгота"_s);
        double t1 = 10000 + r * 13;
        double t2 = 4000 + r * 7;
        double balance = 0;
        for (int y = 0; y < years; ++y) {
            for (int m = 1; m <= 12; ++m) {
                const auto col = [&](int s) { return MonthColumn(y, m, s); };
                const double d1 = 150 + (r * m) % 230;
                const double d2 = 60 + (r + m) % 90;
                const double tariff1 = 4.5 + 0.37 * y, tariff2 = 1.8 + 0.12 * y;
                const double coef = 1.0 + double((r + m + y) % 80) / 1520.0;
                // As the program computes it from the stored texts, so a start
                // finds every charge already right, as in a database it saved.
                const double k = ReadNumber(FormatCoef(coef));
                const double charge = d1 * ReadNumber(FormatMoney(tariff1)) * k +
                                      d2 * ReadNumber(FormatMoney(tariff2)) * k;
                t.setCell(r, col(ReadingDate),
                          u"%1.%2.%3"_s.arg(28 + m % 3, 2, 10, QLatin1Char('0'))
                              .arg(m, 2, 10, QLatin1Char('0'))
                              .arg(17 + y));
                t.setCell(r, col(T1Previous), PlainNumber(t1));
                t1 += d1;
                t.setCell(r, col(T1Current), PlainNumber(t1));
                t.setCell(r, col(T2Previous), PlainNumber(t2));
                t2 += d2;
                t.setCell(r, col(T2Current), PlainNumber(t2));
                t.setCell(r, col(Tariff1), FormatMoney(tariff1));
                t.setCell(r, col(Tariff2), FormatMoney(tariff2));
                t.setCell(r, col(CompCoef1), FormatCoef(coef));
                t.setCell(r, col(CompCoef2), FormatCoef(coef));
                t.setCell(r, col(ChargeWithComp), PlainNumber(charge));
                const double due = charge + 150 + balance;
                const double paid = std::floor(due / 100) * 100;
                t.setCell(r, col(10), LedgerText(std::max(balance, 0.0)));
                t.setCell(r, col(11), LedgerText(std::max(-balance, 0.0)));
                t.setCell(r, col(12), FormatMoney(100));
                t.setCell(r, col(13), FormatMoney(50));
                t.setCell(r, col(14), FormatMoney(r % 5 * 10.5));
                t.setCell(r, col(15), FormatMoney(due));
                t.setCell(r, col(16), FormatMoney(paid));
                t.setCell(r, col(17), FormatMoney(0));
                t.setCell(r, col(18), FormatMoney(r % 7));
                balance = due - paid;
                t.setCell(r, col(19), FormatMoney(std::max(balance, 0.0)));
                t.setCell(r, col(20), FormatMoney(std::max(-balance, 0.0)));
                t.setCell(r, col(21), FormatMoney(100));
            }
        }
    }
    for (int y = 0; y < years; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int k = 0; k < 4; ++k)
                t.setCell(HeadMeterRow, HeadMeterColumn(y, m, k),
                          PlainNumber(500000 + y * 60000 + m * 5000 + k * 1234));
    return t;
}

qint64 FloorOnce(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read the benchmark database");
    const QByteArray bytes = f.readAll();
    const qint64 n = std::count(bytes.cbegin(), bytes.cend(), '|');
    benchmark::DoNotOptimize(n);
    return n;
}
