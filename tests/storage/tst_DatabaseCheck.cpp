// The check of a database file fed in pieces, as the safety copy reads it:
// whatever the pieces, the result is that of the whole file, and the loader
// (which learns the file's kind of line end only after a first split) decides
// the same.
#include <QTest>

#include "storage/DatabaseCheck.h"
#include "storage/DatabaseFile.h"

using Status = DatabaseFile::Status;

Q_DECLARE_METATYPE(DatabaseFile::Status)

namespace {

// Few separators keep the lines short; the rules do not depend on the number.
constexpr int Seps = 3;

QString describe(const DatabaseFile::LoadResult& r) {
    return QStringLiteral("status %1, bad line %2, %3 lines")
        .arg(int(r.status))
        .arg(r.badLine)
        .arg(r.lineCount);
}

bool same(const DatabaseFile::LoadResult& a, const DatabaseFile::LoadResult& b) {
    return a.status == b.status && a.badLine == b.badLine && a.lineCount == b.lineCount;
}

} // namespace

class tst_DatabaseCheck : public QObject {
    Q_OBJECT
private slots:
    void lineEndings_data();
    void lineEndings();
    void decidedAsSoonAsNothingCanChangeIt();
};

void tst_DatabaseCheck::lineEndings_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Status>("status");
    QTest::addColumn<int>("badLine");
    QTest::addColumn<int>("lineCount");
    const QByteArray good = "1|||";
    QTest::newRow("CR LF") << good + "\r\n2|||\r\n" << Status::Ok << 0 << 2;
    QTest::newRow("last line unterminated") << good + "\r\n2|||" << Status::Ok << 0 << 2;
    QTest::newRow("last line ends with a lone CR") << good + "\r\n2|||\r" << Status::Ok << 0 << 2;
    QTest::newRow("a lone CR as the last line") << good + "\r\n\r" << Status::FormatError << 2 << 2;
    QTest::newRow("empty line at the end") << good + "\r\n\r\n" << Status::FormatError << 2 << 2;
    QTest::newRow("short line") << good + "\r\n2||\r\n3|||\r\n" << Status::FormatError << 2 << 2;
    QTest::newRow("lone LF stays in its line")
        << QByteArray("1|\n||\r\n2|||\r\n") << Status::Ok << 0 << 2;
    QTest::newRow("LF at the very start") << "\n" + good + "\r\n" << Status::Ok << 0 << 1;
    QTest::newRow("lone CR inside a line") << QByteArray("1||\r|\r\n") << Status::Ok << 0 << 1;
    QTest::newRow("CR CR LF") << good + "\r\r\n2|||" << Status::Ok << 0 << 2;
    QTest::newRow("one CR LF in the middle")
        << QByteArray("1|\n2|\r\n3|||\n") << Status::FormatError << 1 << 1;
    QTest::newRow("LF only") << good + "\n2|||\n" << Status::Ok << 0 << 2;
    QTest::newRow("LF only, last unterminated") << good + "\n2|||" << Status::Ok << 0 << 2;
    QTest::newRow("LF only, ending in a CR") << good + "\n2|||\r" << Status::Ok << 0 << 2;
    QTest::newRow("LF only, a short line") << good + "\n2|\n3|||\n"
                                           << Status::FormatError << 2 << 2;
    // A file converted to LF that kept a CR LF or two: the LF decide.
    QTest::newRow("lone LF outnumber CR LF: split at LF")
        << QByteArray("1|\n2|\n3|||\r\n") << Status::FormatError << 1 << 1;
    QTest::newRow("converted to LF but for one CR LF")
        << good + "\n2|||\r\n3|||\n4|||" << Status::Ok << 0 << 4;
    QTest::newRow("as many CR LF as lone LF: split at CR LF")
        << QByteArray("1|\n||\r\n2|||\r\n3|||\n") << Status::Ok << 0 << 3;
    QTest::newRow("CR only") << good + "\r2|||\r" << Status::Ok << 0 << 2;
    QTest::newRow("CR only, last unterminated") << good + "\r2|||" << Status::Ok << 0 << 2;
    QTest::newRow("CR only, a short line")
        << good + "\r2|\r3|||\r" << Status::FormatError << 2 << 2;
    QTest::newRow("CR only, an empty line") << good + "\r\r3|||" << Status::FormatError << 2 << 2;
    QTest::newRow("nothing but CR LF") << QByteArray("\r\n") << Status::FormatError << 1 << 1;
    QTest::newRow("nothing but LF") << QByteArray("\n") << Status::FormatError << 1 << 1;
    QTest::newRow("nothing but CR") << QByteArray("\r") << Status::FormatError << 1 << 1;
    QTest::newRow("empty") << QByteArray() << Status::Empty << 0 << 0;
    QTest::newRow("501 lines") << QByteArray("|||\r\n").repeated(501) << Status::Ok << 0 << 501;
    QTest::newRow("502 lines") << QByteArray("|||\r\n").repeated(502) << Status::TooManyLines << 0
                               << 502;
    QTest::newRow("502 lines at LF")
        << QByteArray("|||\n").repeated(502) << Status::TooManyLines << 0 << 502;
    QTest::newRow("600 lines at LF, then a CR LF") << QByteArray("|||\n").repeated(600) + "\r\n"
                                                   << Status::TooManyLines << 0 << 502;
    QTest::newRow("a field past the last year")
        << good + "\r\n" + QByteArray(SubscriberTable::MaxCol + 1, '|') + "\r\n"
        << Status::FormatError << 2 << 2;
    QTest::newRow("every field of the last year")
        << good + "\r\n" + QByteArray(SubscriberTable::MaxCol, '|') + "\r\n"
        << Status::Ok << 0 << 2;
    QTest::newRow("a field past the last year, at LF")
        << good + "\n" + QByteArray(SubscriberTable::MaxCol + 1, '|') + "\n"
        << Status::FormatError << 2 << 2;
}

void tst_DatabaseCheck::lineEndings() {
    QFETCH(QByteArray, bytes);
    QFETCH(Status, status);
    QFETCH(int, badLine);
    QFETCH(int, lineCount);
    DatabaseFile::LoadResult want;
    want.status = status;
    want.badLine = badLine;
    want.lineCount = lineCount;

    const auto whole = DatabaseFile::check(bytes, Seps);
    QVERIFY2(same(whole, want), qPrintable(describe(whole)));
    SubscriberTable table;
    const auto loaded = DatabaseFile::parse(bytes, table, Seps);
    QVERIFY2(same(loaded, want), qPrintable(describe(loaded)));

    // Pieces of every size up to 8 and every split in two: a CR LF, a line
    // or the bytes that decide fall across a piece's end in every way.
    const auto inPieces = [&](const std::vector<qsizetype>& cuts) {
        DatabaseCheck check(Seps);
        qsizetype from = 0;
        for (const qsizetype to : cuts) {
            check.feed(QByteArrayView(bytes).sliced(from, to - from));
            from = to;
            // Decided early only where the whole file fails the same way.
            if (check.failed() && !same(check.finish(), want))
                return false;
        }
        return same(check.finish(), want);
    };
    for (qsizetype size = 1; size <= 8; ++size) {
        std::vector<qsizetype> cuts;
        for (qsizetype at = size; at < bytes.size(); at += size)
            cuts.push_back(at);
        cuts.push_back(bytes.size());
        QVERIFY2(inPieces(cuts), qPrintable(QStringLiteral("pieces of %1").arg(size)));
    }
    for (qsizetype at = 0; at <= bytes.size(); ++at)
        QVERIFY2(inPieces({at, bytes.size()}), qPrintable(QStringLiteral("split at %1").arg(at)));
}

void tst_DatabaseCheck::decidedAsSoonAsNothingCanChangeIt() {
    // A short line ended by CR LF: no later byte can save the file.
    DatabaseCheck crLf(Seps);
    crLf.feed("1|||\r\n2|\r");
    QVERIFY(!crLf.failed());
    crLf.feed("\n3|||");
    QVERIFY(crLf.failed());
    QCOMPARE(crLf.finish().badLine, 2);

    // At LF the same line fails only while the lone LF outnumber the CR LF.
    DatabaseCheck lf(Seps);
    lf.feed("1|||\n2|\n");
    QVERIFY(!lf.failed());
    QCOMPARE(lf.finish().status, Status::FormatError);
    lf.feed("3|||\r\n");
    QCOMPARE(lf.finish().status, Status::FormatError);
    lf.feed("4|||\r\n");
    QCOMPARE(lf.finish().status, Status::Ok);
    QCOMPARE(lf.finish().lineCount, 2);

    // Split at CR the first line is short, but an LF to come would make the
    // whole a single line: only the end tells.
    DatabaseCheck cr(Seps);
    cr.feed("1|\r2|||\r");
    QVERIFY(!cr.failed());
    QCOMPARE(cr.finish().badLine, 1);
    cr.feed("\n");
    QCOMPARE(cr.finish().status, Status::Ok);
}

QTEST_GUILESS_MAIN(tst_DatabaseCheck)
#include "tst_DatabaseCheck.moc"
