#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

#include "../printing/PdfInspect.h"
#include "core/Settings.h"
#include "core/SubscriberTable.h"
#include "core/YearLayout.h"
#include "documents/MonthReceiptPdfs.h"
#include "documents/ReceiptFiles.h"
#include "documents/ReceiptPdf.h"
#include "support/ScriptedPlatform.h"
#include "support/TestFiles.h"
#include "QrDecode.h"
#include "ReceiptFixture.h"
#include "SamplePayee.h"

using namespace Qt::StringLiterals;

namespace {

const QString Title = u"Квитанции в PDF по абонентам"_s;

using ReceiptFixture::AddSubscriber;
using ReceiptFixture::March;
using ReceiptFixture::Year;

// `count` subscribers, each owing 100 + row.
SubscriberTable ManyOwing(int count) {
    SubscriberTable t;
    for (int r = 1; r <= count; ++r)
        AddSubscriber(t, r, u"Абонент %1 А. А."_s.arg(r, 3, 10, QLatin1Char('0')),
                      QString::number(r), QString::number(100 + r));
    return t;
}

QStringList Names(const std::vector<ReceiptFile>& files, size_t count) {
    QStringList names;
    for (size_t i = 0; i < count && i < files.size(); ++i)
        names << files[i].fileName;
    names.sort();
    return names;
}

// Everything in the folder, hidden files (a temporary one) too.
QStringList FolderEntries(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

// pdfinfo reads the file to its end: a cut file fails.
int PdfPages(const QString& path) {
    QProcess p;
    p.start(u"pdfinfo"_s, {path});
    p.waitForFinished(30000);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return 0;
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n'))
        if (line.startsWith(u"Pages:"_s))
            return line.mid(6).trimmed().toInt();
    return 0;
}

// A file whose PDF trailer is there: written to its end.
bool EndsWholePdf(const QString& path) {
    const QByteArray bytes = readFile(path);
    return bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF");
}

QString Native(const QString& folder) {
    return QDir::toNativeSeparators(folder);
}

// A folder on a tmpfs of `bytes`: a disk that really fills up.
struct SmallDisk {
    QTemporaryDir mountPoint;
    bool mounted = false;
    explicit SmallDisk(qint64 bytes) {
        mounted = QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s,
                                                 u"size="_s + QString::number(bytes), u"tmpfs"_s,
                                                 mountPoint.path()}) == 0;
    }
    ~SmallDisk() {
        if (mounted)
            QProcess::execute(u"umount"_s, {mountPoint.path()});
    }
};

} // namespace

// "Квитанции в PDF по абонентам...": a PDF for each member to be sent to,
// with the code their bank's app reads.
class tst_ReceiptPdfs final : public QObject {
    Q_OBJECT
private slots:
    void init();
    void eachOwingSubscriberGetsHisFile();
    void existingFilesAskOnce_data();
    void existingFilesAskOnce();
    void withoutValidPayeeNothingIsWritten_data();
    void withoutValidPayeeNothingIsWritten();
    void nothingToBillIsTold();
    void noFolderChosenWritesNothing();
    void stopFinishesOnlyTheFilesBegun();
    void cancelInTheProgressDialog();
    void fullDiskLeavesNoHalfFile();

private:
    QTemporaryDir m_dir;
    QString m_folder;
};

void tst_ReceiptPdfs::init() {
    ScriptedPlatform platform;
    QSettings raw(platform.settings().fileName(), QSettings::IniFormat);
    raw.remove(PayeeDetails::Section);
    raw.remove(u"Nastr"_s);
    raw.sync();
    m_folder = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + u'-' +
                              QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(m_folder));
}

void tst_ReceiptPdfs::eachOwingSubscriberGetsHisFile() {
    SubscriberTable t;
    AddSubscriber(t, 1, u"Андреев А. А."_s, u"11"_s, u"100,00"_s);
    AddSubscriber(t, 2, u"Борисов Б. Б."_s, u"12"_s, u"0"_s);
    AddSubscriber(t, 3, u"Васильев В. В."_s, u"12/3"_s, u"250,75"_s);
    AddSubscriber(t, 4, u"Григорьев Г. Г."_s, u"14"_s, u"-10"_s);
    ScriptedPlatform platform;
    StorePayeeDetails(platform.settings(), SamplePayee());
    platform.settings().setText(u"Nastr"_s, u"txtOPL"_s, u"25.04.2019"_s);
    // Printed receipts go in two copies; a file to send holds one.
    platform.settings().setText(u"Nastr"_s, u"Ch100"_s, u"1"_s);
    platform.folders = {m_folder};

    QCOMPARE(SaveMonthReceiptPdfs(t, platform, March, Year), 2);
    const QString first = u"11 Андреев А. А. Март 2019.pdf"_s;
    const QString second = u"12_3 Васильев В. В. Март 2019.pdf"_s;
    QCOMPARE(FolderEntries(m_folder), (QStringList{first, second}));
    QCOMPARE(platform.dialogProposals, QStringList{QDir::homePath()});
    QCOMPARE(platform.messages.size(), size_t(1));
    QCOMPARE(platform.messages[0].title, Title);
    QCOMPARE(platform.messages[0].icon, MsgIcon::Information);
    QCOMPARE(platform.messages[0].text,
             u"Записано квитанций: 2 в папку «"_s + Native(m_folder) + u"»."_s);

    struct Receipt {
        QString file, name, plot, total, kopecks;
    };
    for (const Receipt& r :
         {Receipt{first, u"Андреев А. А."_s, u"11"_s, u"100,00"_s, u"10000"_s},
          Receipt{second, u"Васильев В. В."_s, u"12/3"_s, u"250,75"_s, u"25075"_s}}) {
        const QString pdf = QDir(m_folder).filePath(r.file);
        QCOMPARE(PdfPages(pdf), 1);
        QVERIFY(!PdfInspect::isLandscape(pdf));
        const QString text = PdfInspect::text(pdf);
        QCOMPARE(text.count(r.name), 1);
        QVERIFY2(text.contains(u"ИТОГО К ОПЛАТЕ "_s + r.total + u" руб."_s), qPrintable(text));
        QVERIFY(text.contains(u"Оплата до 25.04.2019"_s));
        QVERIFY(text.contains(u"Получатель: СНТ «Остреванка»"_s));
        QTemporaryDir pages;
        const auto codes = QrDecode::pdf(pdf, pages.path());
        QCOMPARE(codes.size(), 1);
        QCOMPARE(codes[0].size(), 1);
        // The code carries the plot as it is; only the file name is made safe.
        QCOMPARE(QrDecode::split(codes[0][0]),
                 ReceiptFixture::SampleCode(r.name, r.plot, r.kopecks));
    }
    PdfInspect::keepPdf(QDir(m_folder).filePath(first), u"receipt-pdf.pdf"_s);

    // The next time the folder chosen last is offered.
    platform.answers = {MsgAnswer::Yes};
    platform.folders = {m_folder};
    QCOMPARE(SaveMonthReceiptPdfs(t, platform, March, Year), 2);
    QCOMPARE(platform.dialogProposals.last(), m_folder);
}

void tst_ReceiptPdfs::existingFilesAskOnce_data() {
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<int>("written");
    QTest::addColumn<QString>("summary");
    QTest::newRow("Да: replaced") << MsgAnswer::Yes << 3 << QString();
    QTest::newRow("Нет: kept") << MsgAnswer::No << 1 << u"\nОставлены прежние файлы: 2."_s;
    QTest::newRow("Отмена: nothing") << MsgAnswer::Cancel << 0 << QString();
}

void tst_ReceiptPdfs::existingFilesAskOnce() {
    QFETCH(MsgAnswer, answer);
    QFETCH(int, written);
    QFETCH(QString, summary);
    SubscriberTable t;
    AddSubscriber(t, 1, u"Андреев А. А."_s, u"1"_s, u"100"_s);
    AddSubscriber(t, 2, u"Борисов Б. Б."_s, u"2"_s, u"200"_s);
    AddSubscriber(t, 3, u"Васильев В. В."_s, u"3"_s, u"300,00"_s);
    const QDir dir(m_folder);
    // Last month's files of two of them, and a file of the user's own.
    const QString one = u"1 Андреев А. А. Март 2019.pdf"_s;
    const QString three = u"3 Васильев В. В. Март 2019.pdf"_s;
    QVERIFY(writeFile(dir.filePath(one), "earlier one"));
    QVERIFY(writeFile(dir.filePath(three), "earlier three"));
    QVERIFY(writeFile(dir.filePath(u"1 Андреев А. А. Февраль 2019.pdf"_s), "february"));
    const auto before = snapshot(m_folder);

    ScriptedPlatform platform;
    StorePayeeDetails(platform.settings(), SamplePayee());
    platform.folders = {m_folder};
    platform.answers = {answer};
    QCOMPARE(SaveMonthReceiptPdfs(t, platform, March, Year), written);

    // One question for both files.
    QCOMPARE(platform.messages.size(), size_t(answer == MsgAnswer::Cancel ? 1 : 2));
    const auto& question = platform.messages[0];
    QCOMPARE(question.text, u"В папке «"_s + Native(m_folder) +
                                u"» уже есть файлы квитанций за Март 2019: 2 (например, «"_s + one +
                                u"»).\nЗаменить их?\n«Нет» — оставить их и записать только "
                                u"остальные."_s);
    QCOMPARE(question.buttons, MsgButtons::YesNoCancel);
    QCOMPARE(question.defaultButton, MsgAnswer::No);

    const auto after = snapshot(m_folder);
    QCOMPARE(after.at(u"1 Андреев А. А. Февраль 2019.pdf"_s), QByteArray("february"));
    if (answer == MsgAnswer::Cancel) {
        QCOMPARE(after, before);
        return;
    }
    QCOMPARE(platform.messages[1].text, u"Записано квитанций: %1 в папку «"_s.arg(written) +
                                            Native(m_folder) + u"»."_s + summary);
    QCOMPARE(after.size(), size_t(4));
    QVERIFY(EndsWholePdf(dir.filePath(u"2 Борисов Б. Б. Март 2019.pdf"_s)));
    if (answer == MsgAnswer::No) {
        QCOMPARE(after.at(one), QByteArray("earlier one"));
        QCOMPARE(after.at(three), QByteArray("earlier three"));
    } else {
        QVERIFY(EndsWholePdf(dir.filePath(one)));
        QVERIFY(PdfInspect::text(dir.filePath(three)).contains(u"ИТОГО К ОПЛАТЕ 300,00 руб."_s));
    }
}

void tst_ReceiptPdfs::withoutValidPayeeNothingIsWritten_data() {
    QTest::addColumn<bool>("handEdited");
    QTest::newRow("no details") << false;
    QTest::newRow("details spoilt by hand") << true;
}

void tst_ReceiptPdfs::withoutValidPayeeNothingIsWritten() {
    QFETCH(bool, handEdited);
    SubscriberTable t;
    AddSubscriber(t, 1, u"Андреев А. А."_s, u"1"_s, u"100"_s);
    ScriptedPlatform platform;
    if (handEdited) {
        StorePayeeDetails(platform.settings(), SamplePayee());
        QSettings raw(platform.settings().fileName(), QSettings::IniFormat);
        // A key that matches the БИК, but not a correspondent account's prefix.
        raw.setValue(u"Rekv/CorrAccount"_s, u"30102810700000000225"_s);
    }
    platform.folders = {m_folder};
    QCOMPARE(SaveMonthReceiptPdfs(t, platform, March, Year), 0);
    QCOMPARE(platform.messages.size(), size_t(1));
    QCOMPARE(platform.messages[0].text,
             u"Нет верных реквизитов получателя, а без них в квитанции нет QR-кода для оплаты. "
             u"Заполните их: Настройки → Реквизиты получателя..."_s);
    QCOMPARE(platform.messages[0].icon, MsgIcon::Warning);
    // Not even a folder asked for.
    QVERIFY(platform.dialogProposals.isEmpty());
    QCOMPARE(FolderEntries(m_folder), QStringList());
}

void tst_ReceiptPdfs::nothingToBillIsTold() {
    SubscriberTable t;
    AddSubscriber(t, 1, u"Андреев А. А."_s, u"1"_s, u"0"_s);
    ScriptedPlatform platform;
    StorePayeeDetails(platform.settings(), SamplePayee());
    platform.folders = {m_folder};
    QCOMPARE(SaveMonthReceiptPdfs(t, platform, March, Year), 0);
    QCOMPARE(platform.messages.size(), size_t(1));
    QCOMPARE(platform.messages[0].text, u"За Март 2019 нет квитанций к оплате."_s);
    QVERIFY(platform.dialogProposals.isEmpty());
}

void tst_ReceiptPdfs::noFolderChosenWritesNothing() {
    SubscriberTable t;
    AddSubscriber(t, 1, u"Андреев А. А."_s, u"1"_s, u"100"_s);
    ScriptedPlatform platform;
    StorePayeeDetails(platform.settings(), SamplePayee());
    QCOMPARE(SaveMonthReceiptPdfs(t, platform, March, Year), 0);
    QCOMPARE(platform.dialogProposals.size(), 1);
    QVERIFY(platform.messages.empty());
    // Nothing remembered either.
    QVERIFY(!platform.settings().contains(u"Nastr"_s, u"KvitPdfDir"_s));
}

void tst_ReceiptPdfs::stopFinishesOnlyTheFilesBegun() {
    const SubscriberTable t = ManyOwing(12);
    const std::vector<ReceiptFile> files = MonthReceiptFiles(t, March, Year);
    QCOMPARE(files.size(), size_t(12));
    QList<int> told;
    const ReceiptPdfsWritten result = WriteReceiptPdfs(t, SamplePayee(), QString(), March, Year,
                                                       m_folder, files, [&told](int done) {
                                                           told << done;
                                                           return done < 2;
                                                       });
    QCOMPARE(told, (QList<int>{1, 2}));
    QVERIFY(result.stopped);
    QVERIFY(result.failedFile.isEmpty());
    // Besides the two told, at most one more begun on each other core.
    const int cores = QThreadPool::globalInstance()->maxThreadCount();
    QVERIFY2(result.written >= 2 && result.written <= 1 + cores,
             qPrintable(QString::number(result.written)));
    // The first files, each whole, and nothing else: no temporary file left.
    QCOMPARE(FolderEntries(m_folder), Names(files, size_t(result.written)));
    for (const QString& name : FolderEntries(m_folder))
        QCOMPARE(PdfPages(QDir(m_folder).filePath(name)), 1);
}

void tst_ReceiptPdfs::cancelInTheProgressDialog() {
    // The largest community: the work takes long enough for the dialog.
    const SubscriberTable t = ManyOwing(SubscriberTable::MaxRow);
    ScriptedPlatform platform;
    StorePayeeDetails(platform.settings(), SamplePayee());
    platform.folders = {m_folder};
    bool clicked = false;
    QTimer user;
    user.setInterval(20);
    connect(&user, &QTimer::timeout, this, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<QProgressDialog*>(w);
            if (!progress || !progress->isVisible() || clicked)
                continue;
            QCOMPARE(progress->windowTitle(), Title);
            QCOMPARE(progress->labelText(), u"Запись квитанций в PDF..."_s);
            auto* cancel = progress->findChild<QPushButton*>();
            QCOMPARE(cancel->text(), u"Отмена"_s);
            clicked = true;
            QTest::mouseClick(cancel, Qt::LeftButton);
        }
    });
    user.start();
    const int written = SaveMonthReceiptPdfs(t, platform, March, Year);
    user.stop();
    QVERIFY2(clicked, "the progress dialog never showed");
    QVERIFY2(written > 0 && written < SubscriberTable::MaxRow,
             qPrintable(QString::number(written)));

    QCOMPARE(platform.messages.size(), size_t(1));
    QCOMPARE(platform.messages[0].text,
             u"Записано квитанций: %1 в папку «%2».\nЗапись остановлена: не записано %3."_s.arg(
                 QString::number(written), Native(m_folder),
                 QString::number(SubscriberTable::MaxRow - written)));
    // The files written stay, each whole; no temporary is left.
    const std::vector<ReceiptFile> files = MonthReceiptFiles(t, March, Year);
    const QStringList entries = FolderEntries(m_folder);
    QCOMPARE(entries, Names(files, size_t(written)));
    for (const QString& name : entries)
        QVERIFY2(EndsWholePdf(QDir(m_folder).filePath(name)), qPrintable(name));
    QCOMPARE(PdfPages(QDir(m_folder).filePath(files[size_t(written) - 1].fileName)), 1);
}

void tst_ReceiptPdfs::fullDiskLeavesNoHalfFile() {
    const SubscriberTable t = ManyOwing(8);
    // Room for about three receipts.
    const QString probe = m_dir.filePath(u"probe.pdf"_s);
    QVERIFY(WriteReceiptPdf(probe,
                            {MakeReceipt(t, 1, March, Year),
                             MakeReceiptPayment(SamplePayee(), t, 1, March, Year)},
                            QString())
                .isEmpty());
    const qint64 size = QFileInfo(probe).size();
    QVERIFY(size > 1000);
    SmallDisk disk((3 * size + size / 2 + 4095) / 4096 * 4096);
    if (!disk.mounted)
        QSKIP("a tmpfs could not be mounted (the test needs root and a kernel that lets it)");
    const QString folder = disk.mountPoint.path();

    ScriptedPlatform platform;
    StorePayeeDetails(platform.settings(), SamplePayee());
    platform.folders = {folder};
    const int written = SaveMonthReceiptPdfs(t, platform, March, Year);
    QVERIFY2(written >= 2 && written < 8, qPrintable(QString::number(written)));
    QCOMPARE(platform.messages.size(), size_t(1));
    const auto& summary = platform.messages[0];
    QCOMPARE(summary.icon, MsgIcon::Warning);
    QVERIFY2(summary.text.startsWith(
                 u"Записано квитанций: %1 в папку «%2».\nНе удалось записать «"_s.arg(written).arg(
                     Native(folder))),
             qPrintable(summary.text));
    QVERIFY2(summary.text.endsWith(u"\nНе записано: %1."_s.arg(8 - written)),
             qPrintable(summary.text));
    // What is there is whole; the file that did not fit left nothing behind.
    // (Another core's file, begun before, may have fitted after it.)
    const QStringList all = Names(MonthReceiptFiles(t, March, Year), 8);
    const QStringList entries = FolderEntries(folder);
    QCOMPARE(entries.size(), written);
    for (const QString& name : entries) {
        QVERIFY2(all.contains(name), qPrintable(name));
        QCOMPARE(PdfPages(QDir(folder).filePath(name)), 1);
    }
    const qsizetype from = summary.text.indexOf(u'«', summary.text.indexOf(u'\n')) + 1;
    const QString failed = summary.text.mid(from, summary.text.indexOf(u'»', from) - from);
    QVERIFY2(all.contains(failed), qPrintable(failed));
    QVERIFY(!entries.contains(failed));
}

QTEST_MAIN(tst_ReceiptPdfs)
#include "tst_ReceiptPdfs.moc"
