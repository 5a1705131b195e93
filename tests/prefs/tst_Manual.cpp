#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString run(const QString& program, const QStringList& args, int* exitCode) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000)) {
        *exitCode = -1;
        return {};
    }
    *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    if (*exitCode != 0)
        qWarning("%s", p.readAllStandardError().constData());
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString simplified(QString s) {
    return s.replace(QChar(0x00AD), QString()).simplified();
}

} // namespace

// The manual the program opens is made from docs/manual at build time.
class tst_Manual : public QObject {
    Q_OBJECT
private slots:
    void pdfHoldsEveryChapter();
};

void tst_Manual::pdfHoldsEveryChapter() {
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir out;
    const QString pdf = out.filePath(u"Help.pdf"_s);
    int code = 0;
    run(QStringLiteral(MAKE_HELP), {QStringLiteral(MANUAL_DIR), pdf}, &code);
    QCOMPARE(code, 0);

    // The chapter titles: the first level-one heading of every file.
    const QDir manual(QStringLiteral(MANUAL_DIR));
    const QStringList files = manual.entryList({u"*.md"_s}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 2);
    QStringList titles;
    static const QRegularExpression heading(u"^# (.+)$"_s, QRegularExpression::MultilineOption);
    for (const QString& name : files) {
        QFile f(manual.filePath(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const auto m = heading.match(QString::fromUtf8(f.readAll()));
        QVERIFY2(m.hasMatch(), qPrintable(name + u" has no title"_s));
        titles << m.captured(1).trimmed();
    }

    const QString info = run(u"pdfinfo"_s, {pdf}, &code);
    QCOMPARE(code, 0);
    const auto pages = QRegularExpression(u"Pages:\\s+(\\d+)"_s).match(info);
    QVERIFY(pages.hasMatch());
    // Every chapter starts on a page of its own.
    QVERIFY2(pages.captured(1).toInt() >= titles.size(), qPrintable(info));

    const QString text =
        simplified(run(u"pdftotext"_s, {u"-enc"_s, u"UTF-8"_s, pdf, u"-"_s}, &code));
    QCOMPARE(code, 0);
    int from = 0;
    for (const QString& title : titles) {
        const int at = int(text.indexOf(simplified(title), from));
        QVERIFY2(at >= 0, qPrintable(u"chapter \"%1\" missing or out of order"_s.arg(title)));
        from = at + 1;
    }
}

QTEST_GUILESS_MAIN(tst_Manual)
#include "tst_Manual.moc"
