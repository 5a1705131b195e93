#include <map>

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "storage/DatabaseFile.h"
#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

namespace {

// What a cell holds after a save and a load: CR with the character after it
// removed, "|" and a lone LF made harmless, characters with no Windows-1251
// form as "?", spaces at both ends trimmed.
QString afterRoundTrip(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            ++i;
            continue;
        }
        if (c == u'|')
            out += QChar(0xA6);
        else if (c == u'\n')
            out += u' ';
        else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += u'?';
            ++i;
        } else if (c == QChar(0x6F22) || c.isSurrogate())
            out += u'?';
        else
            out += c;
    }
    qsizetype a = 0, b = out.size();
    while (a < b && out[a] == u' ')
        ++a;
    while (b > a && out[b - 1] == u' ')
        --b;
    return out.mid(a, b - a);
}

QString randomText(QRandomGenerator& random) {
    static const QStringList pieces = {
        u"10625"_s, u"3,22"_s, u"Иванов И. И."_s, u"ё"_s,      u"№"_s,       u" "_s,
        u"|"_s,     u"\r\n"_s, u"\r"_s,           u"\n"_s,     u"漢"_s,      u"😀"_s,
        u"¦"_s,     u"€"_s,    u"31.01.17"_s,     u"-12,75"_s, u"  край  "_s};
    const int kind = random.bounded(20);
    if (kind == 0)
        return {};
    if (kind == 1)
        return QString(random.bounded(1000, 6000), u'Ж'); // a very long text
    QString t;
    const int n = random.bounded(1, 6);
    for (int i = 0; i < n; ++i)
        t += pieces[random.bounded(int(pieces.size()))];
    return t;
}

} // namespace

// Thousands of random edits, saves and reloads, compared after every reload
// with a plain model of what the file keeps.
class tst_TableSoak : public QObject {
    Q_OBJECT
private slots:
    void editsSavesAndReloads();
};

void tst_TableSoak::editsSavesAndReloads() {
    QTemporaryDir dir;
    const QString path = dir.filePath(DatabaseFile::FileName);
    QRandomGenerator random(7);
    SubscriberTable table;
    std::map<std::pair<int, int>, QString> model; // raw texts written since the last reload
    int count = 3;
    table.setSubscriberCount(count);
    for (int round = 0; round < 60; ++round) {
        if (random.bounded(5) == 0) {
            count = random.bounded(1, 25);
            table.setSubscriberCount(count);
        }
        for (int e = 0; e < 150; ++e) {
            const int row = random.bounded(1, count + 1);
            const int col = random.bounded(4) == 0 ? random.bounded(1, 12)
                                                   : random.bounded(1, SubscriberTable::MaxCol + 1);
            const QString text = randomText(random);
            table.setCell(row, col, text);
            model[{row, col}] = text;
            QCOMPARE(table.cell(row, col), text);
        }
        QVERIFY(DatabaseFile::save(path, table));
        SubscriberTable loaded;
        const auto result = DatabaseFile::load(path, loaded);
        QCOMPARE(result.status, DatabaseFile::Status::Ok);
        QCOMPARE(loaded.subscriberCount(), count);
        for (int r = 1; r <= count; ++r) {
            QCOMPARE(loaded.cell(r, ColRowNumber), QString::number(r));
            for (int c = 2; c <= SubscriberTable::MaxCol; ++c) {
                const auto it = model.find({r, c});
                QString expected;
                if (it != model.end())
                    expected = afterRoundTrip(it->second);
                if (loaded.cellView(r, c) != expected)
                    QFAIL(
                        qPrintable(u"round %1, cell (%2, %3): \"%4\" instead of \"%5\""_s.arg(round)
                                       .arg(r)
                                       .arg(c)
                                       .arg(loaded.cell(r, c), expected)));
            }
        }
        // Go on from what the file kept, as the program does after a restart.
        std::map<std::pair<int, int>, QString> kept;
        for (const auto& [key, text] : model)
            if (key.first <= count && key.second >= 2)
                kept[key] = afterRoundTrip(text);
        model = std::move(kept);
        table = std::move(loaded);
    }
}

QTEST_GUILESS_MAIN(tst_TableSoak)
#include "tst_TableSoak.moc"
