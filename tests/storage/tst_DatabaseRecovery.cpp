#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/Cp1251.h"
#include "storage/DatabaseRecovery.h"
#include "storage/JournalFile.h"
#include "storage/SafetyCopies.h"
#include "support/TestFiles.h"

using namespace Qt::StringLiterals;
using Status = DatabaseFile::Status;

Q_DECLARE_METATYPE(DatabaseFile::Status)

namespace {

// A database whose second line lost its tail.
QByteArray damaged(const QString& tag) {
    return TaggedDatabase(tag, 1) + Cp1251::encode(QString(u"2|"_s + tag + u"|||"_s)) + "\r\n";
}

} // namespace

class tst_DatabaseRecovery : public QObject {
    Q_OBJECT
private slots:
    void init();

    void whichFailuresAreOffered_data();
    void whichFailuresAreOffered();
    void damagedNewestCopyIsPassedOver();
    void copyBeforeARestoreIsOfferedLikeTheOthers();
    void noUsableCopy();
    void damagedFileIsKeptByteForByte();
    void keptFilesAreNeverOverwritten();
    void failedRestorePutsTheDamagedFileBack();
    void journalGoesWithTheCopy_data();
    void journalGoesWithTheCopy();

private:
    QString dbPath() const { return m_dir->filePath(DatabaseFile::FileName); }
    QString copyPath(const QDate& d) const {
        return QDir(SafetyCopies::folderFor(dbPath())).filePath(SafetyCopies::fileName(d));
    }
    void putCopy(const QDate& d, const QByteArray& bytes) {
        QVERIFY(QDir().mkpath(SafetyCopies::folderFor(dbPath())));
        QVERIFY(writeFile(copyPath(d), bytes));
    }
    QString journalPath() const { return m_dir->filePath(u"Ostrevanka21.pay"_s); }
    QStringList folderNames() const {
        return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    const QDateTime m_when = QDateTime(QDate(2026, 12, 10), QTime(14, 5, 7));
};

void tst_DatabaseRecovery::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_DatabaseRecovery::whichFailuresAreOffered_data() {
    QTest::addColumn<Status>("status");
    QTest::addColumn<bool>("offered");
    QTest::newRow("format error") << Status::FormatError << true;
    QTest::newRow("empty") << Status::Empty << true;
    QTest::newRow("more than 501 lines") << Status::TooManyLines << true;
    // The file is missing or cannot be read: a copy would replace a file
    // that may well be sound.
    QTest::newRow("not found") << Status::NotFound << false;
    QTest::newRow("access denied") << Status::AccessDenied << false;
    QTest::newRow("read error") << Status::ReadError << false;
}

void tst_DatabaseRecovery::whichFailuresAreOffered() {
    QFETCH(Status, status);
    QFETCH(bool, offered);
    QCOMPARE(DatabaseRecovery::canRecover(status), offered);
}

void tst_DatabaseRecovery::damagedNewestCopyIsPassedOver() {
    putCopy(QDate(2026, 12, 8), TaggedDatabase(u"Восьмое"_s));
    putCopy(QDate(2026, 12, 9), damaged(u"Девятое"_s));
    putCopy(QDate(2026, 12, 7), TaggedDatabase(u"Седьмое"_s));
    const auto candidate = DatabaseRecovery::newestUsable(dbPath());
    QVERIFY(candidate);
    QCOMPARE(candidate->date, QDate(2026, 12, 8));
    QCOMPARE(candidate->bytes, TaggedDatabase(u"Восьмое"_s));
}

void tst_DatabaseRecovery::copyBeforeARestoreIsOfferedLikeTheOthers() {
    putCopy(QDate(2026, 12, 10), TaggedDatabase(u"Утро"_s));
    const QString before = QDir(SafetyCopies::folderFor(dbPath()))
                               .filePath(SafetyCopies::beforeRestoreName(
                                   QDateTime(QDate(2026, 12, 10), QTime(15, 30, 2))));
    QVERIFY(writeFile(before, TaggedDatabase(u"До восстановления"_s)));
    // Later the same day than the day's copy, which counts from midnight.
    auto candidate = DatabaseRecovery::newestUsable(dbPath());
    QVERIFY(candidate);
    QCOMPARE(candidate->path, before);
    QVERIFY(candidate->beforeRestore);
    QCOMPARE(candidate->date, QDate(2026, 12, 10));
    QCOMPARE(candidate->time, QTime(15, 30, 2));
    QCOMPARE(candidate->bytes, TaggedDatabase(u"До восстановления"_s));

    // The next day's copy is newer.
    putCopy(QDate(2026, 12, 11), TaggedDatabase(u"Завтра"_s));
    candidate = DatabaseRecovery::newestUsable(dbPath());
    QVERIFY(candidate);
    QVERIFY(!candidate->beforeRestore);
    QCOMPARE(candidate->time, QTime(0, 0));
    QCOMPARE(candidate->bytes, TaggedDatabase(u"Завтра"_s));

    // A damaged one is passed over for it as for any copy.
    QVERIFY(writeFile(copyPath(QDate(2026, 12, 11)), damaged(u"Завтра"_s)));
    candidate = DatabaseRecovery::newestUsable(dbPath());
    QVERIFY(candidate);
    QCOMPARE(candidate->path, before);
}

void tst_DatabaseRecovery::noUsableCopy() {
    QVERIFY(!DatabaseRecovery::newestUsable(dbPath())); // no folder
    putCopy(QDate(2026, 12, 9), damaged(u"Девятое"_s));
    putCopy(QDate(2026, 12, 8), QByteArray());
    QVERIFY(writeFile(QDir(SafetyCopies::folderFor(dbPath())).filePath(u"other.spb"_s),
                      TaggedDatabase(u"Чужая"_s)));
    QVERIFY(!DatabaseRecovery::newestUsable(dbPath()));
}

void tst_DatabaseRecovery::damagedFileIsKeptByteForByte() {
    const QByteArray broken = damaged(u"Испорчена"_s);
    QVERIFY(writeFile(dbPath(), broken));
    putCopy(QDate(2026, 12, 8), TaggedDatabase(u"Восьмое"_s));
    putCopy(QDate(2026, 12, 9), damaged(u"Девятое"_s));

    const auto candidate = DatabaseRecovery::newestUsable(dbPath());
    QVERIFY(candidate);
    const auto r = DatabaseRecovery::restore(dbPath(), *candidate, m_when);
    QVERIFY(r.ok());
    const QString kept = u"Ostrevanka21.spb.damaged-20261210-140507"_s;
    QCOMPARE(QFileInfo(r.damagedPath).fileName(), kept);
    QCOMPARE(readFile(m_dir->filePath(kept)), broken);
    QCOMPARE(readFile(dbPath()), TaggedDatabase(u"Восьмое"_s));
    QCOMPARE(folderNames(), (QStringList{DatabaseFile::FileName, kept}));
    // The copies stay as they were.
    QCOMPARE(readFile(copyPath(QDate(2026, 12, 8))), TaggedDatabase(u"Восьмое"_s));
    QCOMPARE(readFile(copyPath(QDate(2026, 12, 9))), damaged(u"Девятое"_s));
    SubscriberTable table;
    QCOMPARE(DatabaseFile::load(dbPath(), table).status, Status::Ok);
    QCOMPARE(table.cell(2, 2), u"Восьмое"_s);
}

void tst_DatabaseRecovery::keptFilesAreNeverOverwritten() {
    putCopy(QDate(2026, 12, 8), TaggedDatabase(u"Восьмое"_s));
    const auto candidate = DatabaseRecovery::newestUsable(dbPath());
    QVERIFY(candidate);
    // Damaged twice within one second: the first kept file stays.
    QVERIFY(writeFile(dbPath(), "first"));
    auto r = DatabaseRecovery::restore(dbPath(), *candidate, m_when);
    QVERIFY(r.ok());
    QVERIFY(writeFile(dbPath(), "second"));
    r = DatabaseRecovery::restore(dbPath(), *candidate, m_when);
    QVERIFY(r.ok());
    const QString name = DatabaseRecovery::damagedName(m_when);
    QCOMPARE(QFileInfo(r.damagedPath).fileName(), name + u"-2"_s);
    QCOMPARE(readFile(m_dir->filePath(name)), QByteArray("first"));
    QCOMPARE(readFile(m_dir->filePath(name + u"-2"_s)), QByteArray("second"));
}

void tst_DatabaseRecovery::failedRestorePutsTheDamagedFileBack() {
    const QByteArray broken = damaged(u"Испорчена"_s);
    QVERIFY(writeFile(dbPath(), broken));
    QVERIFY(writeFile(journalPath(), "current journal"));
    putCopy(QDate(2026, 12, 8), TaggedDatabase(u"Восьмое"_s));
    QVERIFY(writeFile(JournalFile::pathFor(copyPath(QDate(2026, 12, 8))), "copy's journal"));
    const auto candidate = DatabaseRecovery::newestUsable(dbPath());
    QVERIFY(candidate);
    const auto r = DatabaseRecovery::restore(dbPath(), *candidate, m_when, [](const QString& path) {
        return std::make_unique<FullDiskFile>(path);
    });
    QCOMPARE(r.error, DatabaseRecovery::Error::RestoreFailed);
    // As before: the damaged file and its journal in their place, nothing beside them.
    QCOMPARE(readFile(dbPath()), broken);
    QCOMPARE(readFile(journalPath()), QByteArray("current journal"));
    QCOMPARE(folderNames(), (QStringList{u"Ostrevanka21.pay"_s, DatabaseFile::FileName}));
}

void tst_DatabaseRecovery::journalGoesWithTheCopy_data() {
    QTest::addColumn<QByteArray>("current"); // empty: no journal beside the damaged file
    QTest::addColumn<QByteArray>("copys");   // empty: the copy has none
    QTest::newRow("both have one") << QByteArray("current") << QByteArray("copy's");
    // The copy was taken while the journal was empty.
    QTest::newRow("the copy has none") << QByteArray("current") << QByteArray();
    QTest::newRow("only the copy has one") << QByteArray() << QByteArray("copy's");
}

void tst_DatabaseRecovery::journalGoesWithTheCopy() {
    QFETCH(QByteArray, current);
    QFETCH(QByteArray, copys);
    QVERIFY(writeFile(dbPath(), damaged(u"Испорчена"_s)));
    if (!current.isEmpty())
        QVERIFY(writeFile(journalPath(), current));
    putCopy(QDate(2026, 12, 8), TaggedDatabase(u"Восьмое"_s));
    if (!copys.isEmpty())
        QVERIFY(writeFile(JournalFile::pathFor(copyPath(QDate(2026, 12, 8))), copys));
    // Kept at this second already: the journal's kept name moves on with the table's.
    const QString taken = DatabaseRecovery::damagedName(m_when);
    QVERIFY(writeFile(m_dir->filePath(taken), "earlier"));

    const auto candidate = DatabaseRecovery::newestUsable(dbPath());
    QVERIFY(candidate);
    QCOMPARE(candidate->journal.value_or(QByteArray()), copys);
    QCOMPARE(candidate->journal.has_value(), !copys.isEmpty());
    QVERIFY(DatabaseRecovery::restore(dbPath(), *candidate, m_when).ok());
    QCOMPARE(readFile(dbPath()), TaggedDatabase(u"Восьмое"_s));
    QCOMPARE(QFileInfo::exists(journalPath()), !copys.isEmpty());
    QCOMPARE(readFile(journalPath()), copys);
    QStringList names = {u"Ostrevanka21.spb"_s, taken, taken + u"-2"_s};
    if (!copys.isEmpty())
        names << u"Ostrevanka21.pay"_s;
    const QString keptJournal = u"Ostrevanka21.pay.damaged-20261210-140507-2"_s;
    if (!current.isEmpty()) {
        names << keptJournal;
        QCOMPARE(readFile(m_dir->filePath(keptJournal)), current);
    }
    names.sort();
    QCOMPARE(folderNames(), names);
}

QTEST_GUILESS_MAIN(tst_DatabaseRecovery)
#include "tst_DatabaseRecovery.moc"
