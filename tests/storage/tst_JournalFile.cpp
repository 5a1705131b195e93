// The journal's files: their names beside a database, and the write of a
// table with its journal that replaces both or neither.

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "storage/JournalFile.h"
#include "support/TestFiles.h"

using namespace Qt::StringLiterals;

class tst_JournalFile : public QObject {
    Q_OBJECT
private slots:
    void init();
    void journalBesideItsTable_data();
    void journalBesideItsTable();
    void setAsideNames();
    void writeReplacesBothOrNeither_data();
    void writeReplacesBothOrNeither();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_JournalFile::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_JournalFile::journalBesideItsTable_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("journal");
    QTest::newRow("the database") << u"/data/Ostrevanka21.spb"_s << u"/data/Ostrevanka21.pay"_s;
    QTest::newRow("a backup's name") << u"/b/08.12.2026 20ч56мин Ostrevanka21.spb"_s
                                     << u"/b/08.12.2026 20ч56мин Ostrevanka21.pay"_s;
    QTest::newRow("a safety copy")
        << u"backups/Ostrevanka21-2026-12-10.spb"_s << u"backups/Ostrevanka21-2026-12-10.pay"_s;
    QTest::newRow("no extension") << u"/b/копия"_s << u"/b/копия.pay"_s;
    QTest::newRow("another extension") << u"/b/base.bak"_s << u"/b/base.pay"_s;
    // Never the table's own file.
    QTest::newRow("a table named .pay") << u"/b/base.pay"_s << u"/b/base.pay.pay"_s;
    QTest::newRow("in capitals") << u"/b/BASE.PAY"_s << u"/b/BASE.PAY.pay"_s;
    QTest::newRow("a dot in the folder") << u"/b.d/base"_s << u"/b.d/base.pay"_s;
}

void tst_JournalFile::journalBesideItsTable() {
    QFETCH(QString, table);
    QFETCH(QString, journal);
    QCOMPARE(JournalFile::pathFor(table), journal);
}

void tst_JournalFile::setAsideNames() {
    const QString db = path(DatabaseFile::FileName);
    const QDateTime when(QDate(2026, 12, 10), QTime(14, 5, 7));
    const QString first = JournalFile::setAsidePath(db, when);
    QCOMPARE(first, path(u"Ostrevanka21.pay.before-restore-20261210-140507"_s));
    QVERIFY(writeFile(first, "1"));
    // The same second again: nothing set aside is overwritten.
    const QString second = JournalFile::setAsidePath(db, when);
    QCOMPARE(second, first + u"-2"_s);
    QVERIFY(writeFile(second, "2"));
    const QString earlier =
        JournalFile::setAsidePath(db, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    QVERIFY(writeFile(earlier, "3"));
    // Journals of other kinds or of other bases are not among them.
    for (const QString& stranger :
         {u"Ostrevanka21.pay"_s, u"Ostrevanka21.pay.damaged-20261210-140507"_s,
          u"Other.pay.before-restore-20261210-140507"_s,
          u"Ostrevanka21.spb.before-restore-20261210-140507"_s})
        QVERIFY(writeFile(path(stranger), "x"));
    QCOMPARE(JournalFile::setAsidePaths(db), (QStringList{earlier, first, second}));
}

void tst_JournalFile::writeReplacesBothOrNeither_data() {
    QTest::addColumn<QString>("failing"); // the file that cannot be written, by its ending
    QTest::addColumn<bool>("partWay");
    QTest::newRow("both written") << QString() << false;
    QTest::newRow("no room for the table") << u".spb.pending"_s << false;
    QTest::newRow("table cut off part-way") << u".spb.pending"_s << true;
    QTest::newRow("no room for the journal") << u".pay.pending"_s << false;
    QTest::newRow("journal cut off part-way") << u".pay.pending"_s << true;
}

void tst_JournalFile::writeReplacesBothOrNeither() {
    QFETCH(QString, failing);
    QFETCH(bool, partWay);
    const QString db = path(DatabaseFile::FileName);
    const QString journal = path(u"Ostrevanka21.pay"_s);
    QVERIFY(writeFile(db, TaggedDatabase(u"Прежняя"_s)));
    QVERIFY(writeFile(journal, "old journal\n"));
    const auto before = snapshot(m_dir->path());
    const QByteArray newTable = TaggedDatabase(u"Новая"_s);
    const QByteArray newJournal = QByteArray(5000, 'j');
    const auto factory = [&](const QString& file) -> std::unique_ptr<QSaveFile> {
        if (failing.isEmpty() || !file.endsWith(failing))
            return std::make_unique<QSaveFile>(file);
        if (partWay)
            return std::make_unique<FailingSaveFile>(file, 100);
        return std::make_unique<FullDiskFile>(file);
    };

    const bool written =
        JournalFile::writeWith(db, DatabaseFile::producing(newTable), newJournal, factory);
    QCOMPARE(written, failing.isEmpty());
    if (!written) {
        QVERIFY(snapshot(m_dir->path()) == before);
        return;
    }
    QCOMPARE(readFile(db), newTable);
    QCOMPARE(readFile(journal), newJournal);
    // Nothing pending is left beside them.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{u"Ostrevanka21.pay"_s, u"Ostrevanka21.spb"_s}));
}

QTEST_GUILESS_MAIN(tst_JournalFile)
#include "tst_JournalFile.moc"
