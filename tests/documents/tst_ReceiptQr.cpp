#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "../printing/PdfInspect.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "core/SubscriberTable.h"
#include "documents/MonthReceiptsPrint.h"
#include "documents/PayeeValidation.h"
#include "documents/QrCodeWindow.h"
#include "documents/ReceiptPainter.h"
#include "documents/ReceiptWindow.h"
#include "documents/PayeeDetailsDialog.h"
#include "support/ScriptedPlatform.h"
#include "QrDecode.h"
#include "ReceiptFixture.h"
#include "SamplePayee.h"

using namespace Qt::StringLiterals;

namespace {

using ReceiptFixture::AddSubscriber;
using ReceiptFixture::March;
using ReceiptFixture::SampleCode;
using ReceiptFixture::Year;

DocumentRequest ChooseReceipt(int row) {
    return {row, March, Year};
}

// Good payee details, and subscriber 3 owing 1234,50 for the receipt.
DocumentRequest ChooseSampleReceipt(AppState& state, ScriptedPlatform& platform) {
    StorePayeeDetails(platform.settings(), SamplePayee());
    AddSubscriber(state.table, 3, u"Иванов Иван Иванович"_s, u"12А"_s, u"1234,50"_s);
    return ChooseReceipt(3);
}

// The receipt on screen with both copies, each with its code.
bool ShowInTwoCopies(ReceiptWindow& receipt) {
    receipt.findChild<QCheckBox*>(u"Ch1"_s)->setChecked(true);
    receipt.show();
    return QTest::qWaitForWindowExposed(&receipt);
}

// Where the code of a copy lies in the receipt window, in pixels.
QRect CodeOnScreen(int copy) {
    const QRectF twips = ReceiptPage::codeRect(copy);
    return QRectF(twips.topLeft() / 15, twips.size() / 15).toRect();
}

// The code's printed width in millimetres: its dark modules' extent on the
// first page rendered at 300 dpi, beside the right-hand edge of the receipt.
double PrintedCodeWidthMm(const QString& pdfPath, const QString& folder) {
    const QString prefix = folder + u"/measure"_s;
    QProcess p;
    p.start(u"pdftoppm"_s,
            {u"-r"_s, u"300"_s, u"-gray"_s, u"-png"_s, u"-singlefile"_s, pdfPath, prefix});
    p.waitForFinished(60000);
    const QImage page(prefix + u".png"_s);
    if (page.isNull())
        return 0;
    // The code is all that is dark right of the payee block, between the
    // table above it and the cut line below.
    const QRect area(page.width() * 735 / 1000, page.height() * 34 / 100, page.width() * 265 / 1000,
                     page.height() * 13 / 100);
    int left = page.width(), right = -1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(page.pixel(x, y)) < 100) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return right < 0 ? 0 : (right - left + 1) * 25.4 / 300;
}

void TypeText(QWidget* w, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::KeyAction::Click, w, Qt::Key_unknown, c, Qt::NoModifier);
}

} // namespace

class tst_ReceiptQr : public QObject {
    Q_OBJECT
private slots:
    void init();

    void printedCodeHoldsEveryField();
    void windowShowsTheSameCode();
    void noCodeForNothingToPay_data();
    void noCodeForNothingToPay();
    void pipeInTheNameStillDecodes();
    void withoutDetailsTheReceiptIsAsBefore();
    void monthReceiptsTwoToAPage();
    void monthReceiptsInTwoCopies();
    void nothingToBillIsTold();
    void detailsWindowStoresOnlyGoodDetails();
    void clickOnTheCodeShowsItLarge();
    void handEditedDetailsAreToldOnScreen_data();
    void handEditedDetailsAreToldOnScreen();
    void detailsWindowNamesTheLengthLimit();

private:
    QTemporaryDir m_dir;
};

void tst_ReceiptQr::init() {
    // Each test starts without payee details, as a first start does.
    ScriptedPlatform platform;
    QSettings raw(platform.settings().fileName(), QSettings::IniFormat);
    raw.remove(PayeeDetails::Section);
    raw.remove(u"Nastr"_s);
}

void tst_ReceiptQr::printedCodeHoldsEveryField() {
    AppState state;
    ScriptedPlatform platform;
    const DocumentRequest request = ChooseSampleReceipt(state, platform);
    ReceiptWindow receipt(state.table, platform, request);
    QVERIFY(receipt.payment() && receipt.payment()->code);
    QVERIFY(!receipt.findChild<QLabel*>(u"lblRekv"_s));
    receipt.show();
    QTest::mouseClick(receipt.findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
    QCOMPARE(platform.printed.size(), size_t(1));
    const QString pdf = platform.printed[0].pdfPath;
    PdfInspect::keepPdf(pdf, u"receipt-qr.pdf"_s);

    QTemporaryDir pages;
    const auto codes = QrDecode::pdf(pdf, pages.path());
    QCOMPARE(codes.size(), 1);
    QCOMPARE(codes[0].size(), 1);
    QCOMPARE(QrDecode::split(codes[0][0]),
             SampleCode(u"Иванов Иван Иванович"_s, u"12А"_s, u"123450"_s));
    const double width = PrintedCodeWidthMm(pdf, pages.path());
    QVERIFY2(width >= 25 && width < 40, qPrintable(QString::number(width)));

    // The payee block is text on the page, as the rest of the receipt.
    const QString text = PdfInspect::text(pdf);
    QVERIFY2(text.contains(u"Получатель: СНТ «Остреванка»"_s), qPrintable(text));
    QVERIFY(text.contains(u"ИНН 7707083893 КПП 773601001"_s));
    QVERIFY(text.contains(u"Р/с 40703810538000001234"_s));
    QVERIFY(text.contains(u"Банк: ПАО Сбербанк"_s));
    QVERIFY(text.contains(u"БИК 044525225 К/с 30101810400000000225"_s));
    QVERIFY(text.contains(u"ИТОГО К ОПЛАТЕ 1234,50 руб."_s));
}

void tst_ReceiptQr::windowShowsTheSameCode() {
    AppState state;
    ScriptedPlatform platform;
    const DocumentRequest request = ChooseSampleReceipt(state, platform);
    ReceiptWindow receipt(state.table, platform, request);
    QVERIFY(ShowInTwoCopies(receipt));
    PdfInspect::screenshot(receipt, u"receipt-qr.png"_s);

    // The window as a screen of four device pixels to the pixel shows it.
    QImage image(receipt.size() * 4, QImage::Format_RGB32);
    image.setDevicePixelRatio(4);
    image.fill(Qt::white);
    receipt.render(&image);
    const QString path = m_dir.filePath(u"window.png"_s);
    QVERIFY(image.save(path));
    const QStringList codes = QrDecode::image(path);
    // One code on each copy.
    QCOMPARE(codes.size(), 2);
    for (const QString& code : codes)
        QCOMPARE(QrDecode::split(code),
                 SampleCode(u"Иванов Иван Иванович"_s, u"12А"_s, u"123450"_s));
}

void tst_ReceiptQr::noCodeForNothingToPay_data() {
    QTest::addColumn<QString>("total");
    QTest::newRow("zero") << u"0"_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("credit") << u"-50,00"_s;
}

void tst_ReceiptQr::noCodeForNothingToPay() {
    QFETCH(QString, total);
    AppState state;
    ScriptedPlatform platform;
    StorePayeeDetails(platform.settings(), SamplePayee());
    AddSubscriber(state.table, 1, u"Петров П. П."_s, u"7"_s, total);
    ReceiptWindow receipt(state.table, platform, ChooseReceipt(1));
    QVERIFY(receipt.payment());
    QVERIFY(!receipt.payment()->code);
    // Nothing to show large.
    QVERIFY(!receipt.findChild<QWidget*>(u"codeSpot(0)"_s));
    receipt.show();
    receipt.findChild<QPushButton*>(u"Command1"_s)->click();
    QCOMPARE(platform.printed.size(), size_t(1));
    QTemporaryDir pages;
    const auto codes = QrDecode::pdf(platform.printed[0].pdfPath, pages.path());
    QCOMPARE(codes.size(), 1);
    QVERIFY(codes[0].isEmpty());
    QVERIFY(PdfInspect::text(platform.printed[0].pdfPath).contains(u"Получатель: СНТ"_s));
}

void tst_ReceiptQr::pipeInTheNameStillDecodes() {
    AppState state;
    ScriptedPlatform platform;
    StorePayeeDetails(platform.settings(), SamplePayee());
    AddSubscriber(state.table, 2, u"Сидоров|Петров С. П."_s, QString(), u"99,9"_s);
    ReceiptWindow receipt(state.table, platform, ChooseReceipt(2));
    receipt.show();
    receipt.findChild<QPushButton*>(u"Command1"_s)->click();
    QTemporaryDir pages;
    const auto codes = QrDecode::pdf(platform.printed[0].pdfPath, pages.path());
    QCOMPARE(codes.value(0).size(), 1);
    // No address: the plot is the row number.
    QCOMPARE(QrDecode::split(codes[0][0]),
             SampleCode(u"Сидоров/Петров С. П."_s, u"2"_s, u"9990"_s));
}

void tst_ReceiptQr::withoutDetailsTheReceiptIsAsBefore() {
    AppState state;
    ScriptedPlatform platform;
    AddSubscriber(state.table, 3, u"Иванов Иван Иванович"_s, u"12А"_s, u"1234,50"_s);
    ReceiptWindow receipt(state.table, platform, ChooseReceipt(3));
    QVERIFY(!receipt.payment());
    // No details at all is no fault.
    QVERIFY(!receipt.findChild<QLabel*>(u"lblRekv"_s));
    receipt.show();
    receipt.findChild<QPushButton*>(u"Command1"_s)->click();
    const QString pdf = platform.printed[0].pdfPath;
    QVERIFY(!PdfInspect::text(pdf).contains(u"Получатель"_s));
    QTemporaryDir pages;
    QCOMPARE(QrDecode::pdf(pdf, pages.path()).value(0), QStringList());
}

void tst_ReceiptQr::monthReceiptsTwoToAPage() {
    AppState state;
    ScriptedPlatform platform;
    StorePayeeDetails(platform.settings(), SamplePayee());
    platform.settings().setText(u"Nastr"_s, u"txtOPL"_s, u"25.04.2019"_s);
    const QStringList names = {u"Андреев А. А."_s,   u"Борисов Б. Б."_s,  u"Васильев В. В."_s,
                               u"Григорьев Г. Г."_s, u"Дмитриев Д. Д."_s, u"Егоров Е. Е."_s};
    const QStringList totals = {u"100"_s, u"0"_s, u"250,75"_s, u"-10"_s, u"1,5"_s, u""_s};
    for (int r = 1; r <= 6; ++r)
        AddSubscriber(state.table, r, names[r - 1], QString::number(10 + r), totals[r - 1]);

    QVERIFY(PrintMonthReceipts(state.table, platform, March, Year));
    QCOMPARE(platform.printed.size(), size_t(1));
    const auto& printed = platform.printed[0];
    QCOMPARE(printed.title, u"Квитанции за Март 2019"_s);
    QCOMPARE(printed.pageCount, 2);
    QVERIFY(!PdfInspect::isLandscape(printed.pdfPath));
    PdfInspect::keepPdf(printed.pdfPath, u"month-receipts.pdf"_s);

    const QString text = PdfInspect::text(printed.pdfPath);
    for (int r : {1, 3, 5})
        QCOMPARE(text.count(names[r - 1]), 1);
    for (int r : {2, 4, 6})
        QVERIFY2(!text.contains(names[r - 1]), qPrintable(names[r - 1]));
    QCOMPARE(text.count(u"Оплата до 25.04.2019"_s), 3);

    QTemporaryDir pages;
    const auto codes = QrDecode::pdf(printed.pdfPath, pages.path());
    QCOMPARE(codes.size(), 2);
    QCOMPARE(codes[0].size(), 2);
    QCOMPARE(codes[1].size(), 1);
    QStringList sums;
    for (const QStringList& page : codes)
        for (const QString& code : page)
            sums << QrDecode::split(code).value(7).second;
    sums.sort();
    QCOMPARE(sums, (QStringList{u"10000"_s, u"150"_s, u"25075"_s}));
}

void tst_ReceiptQr::monthReceiptsInTwoCopies() {
    AppState state;
    ScriptedPlatform platform;
    StorePayeeDetails(platform.settings(), SamplePayee());
    platform.settings().setText(u"Nastr"_s, u"Ch100"_s, u"1"_s);
    AddSubscriber(state.table, 1, u"Андреев А. А."_s, u"1"_s, u"100"_s);
    AddSubscriber(state.table, 2, u"Борисов Б. Б."_s, u"2"_s, u"200"_s);
    QVERIFY(PrintMonthReceipts(state.table, platform, March, Year));
    const auto& printed = platform.printed[0];
    QCOMPARE(printed.pageCount, 2);
    const QString text = PdfInspect::text(printed.pdfPath);
    // One receipt to a page, each in two copies.
    QCOMPARE(text.count(u"Андреев А. А."_s), 2);
    QCOMPARE(text.count(u"ИТОГО К ОПЛАТЕ, Руб 200"_s), 1);
}

void tst_ReceiptQr::nothingToBillIsTold() {
    AppState state;
    ScriptedPlatform platform;
    AddSubscriber(state.table, 1, u"Андреев А. А."_s, u"1"_s, u"0"_s);
    QVERIFY(!PrintMonthReceipts(state.table, platform, March, Year));
    QVERIFY(platform.printed.empty());
    QCOMPARE(platform.messages.size(), size_t(1));
    QCOMPARE(platform.messages[0].text, u"За Март 2019 нет квитанций к оплате."_s);
}

void tst_ReceiptQr::detailsWindowStoresOnlyGoodDetails() {
    AppState state;
    ScriptedPlatform platform;
    PayeeDetailsDialog window(state, platform);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const PayeeDetails good = SamplePayee();
    for (int i = 0; i < PayeeFieldCount; ++i) {
        QLineEdit* edit = window.findChild<QLineEdit*>(u"txtRekv(%1)"_s.arg(i));
        QVERIFY(edit);
        if (PayeeField(i) == PayeeField::Purpose) {
            QCOMPARE(edit->text(), PayeeDetails::defaultPurpose());
            continue;
        }
        edit->clear();
        TypeText(edit, good.fields[size_t(i)]);
    }
    // Two damaged digits: the account's and the ИНН's.
    auto* account = window.findChild<QLineEdit*>(u"txtRekv(3)"_s);
    account->setText(u"40703810538000001235"_s);
    auto* inn = window.findChild<QLineEdit*>(u"txtRekv(1)"_s);
    inn->setText(u"7707083894"_s);
    QSignalSpy closed(&window, &PayeeDetailsDialog::closed);
    QTest::mouseClick(window.findChild<QPushButton*>(u"CmdSave"_s), Qt::LeftButton);
    QCOMPARE(closed.count(), 0);
    QCOMPARE(window.findChild<QLabel*>(u"lblErr(3)"_s)->text(),
             PayeeErrorText({PayeeField::Account, PayeeError::AccountKey}));
    QVERIFY(window.findChild<QLabel*>(u"lblErr(3)"_s)->isVisible());
    QCOMPARE(window.findChild<QLabel*>(u"lblErr(1)"_s)->text(),
             PayeeErrorText({PayeeField::Inn, PayeeError::InnCheck}));
    QVERIFY(!window.findChild<QLabel*>(u"lblErr(5)"_s)->isVisible());
    PdfInspect::screenshot(window, u"frmRekv.png"_s);
    // Nothing stored while anything fails.
    QVERIFY(LoadPayeeDetails(platform.settings()).isEmpty());

    account->setText(u"40703 810 5 3800 0001234"_s);
    inn->setText(u"7707083893"_s);
    QTest::mouseClick(window.findChild<QPushButton*>(u"CmdSave"_s), Qt::LeftButton);
    QCOMPARE(closed.count(), 1);
    const PayeeDetails stored = LoadPayeeDetails(platform.settings());
    QCOMPARE(stored.fields, good.fields);
}

void tst_ReceiptQr::detailsWindowNamesTheLengthLimit() {
    AppState state;
    ScriptedPlatform platform;
    StorePayeeDetails(platform.settings(), SamplePayee());
    PayeeDetailsDialog window(state, platform);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // A branch's full name as the bank's letter gives it: 48 characters.
    auto* bank = window.findChild<QLineEdit*>(u"txtRekv(4)"_s);
    bank->clear();
    TypeText(bank, u"ФИЛИАЛ \"ЦЕНТРАЛЬНЫЙ\" БАНКА ВТБ (ПАО) В Г. МОСКВЕ"_s);
    // The account pasted from a web page, its groups split by no-break spaces.
    QGuiApplication::clipboard()->setText(u"40703\u00A0810\u00A05\u202F3800\t0001234"_s);
    auto* account = window.findChild<QLineEdit*>(u"txtRekv(3)"_s);
    account->setFocus();
    account->selectAll();
    QTest::keyClick(account, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(account->text().contains(QChar(0x00A0)));

    QSignalSpy closed(&window, &PayeeDetailsDialog::closed);
    QTest::mouseClick(window.findChild<QPushButton*>(u"CmdSave"_s), Qt::LeftButton);
    QCOMPARE(closed.count(), 0);
    auto* error = window.findChild<QLabel*>(u"lblErr(4)"_s);
    QVERIFY(error->isVisible());
    QCOMPARE(error->text(), u"Не длиннее 45 знаков"_s);
    // Under its own field.
    QVERIFY(error->geometry().top() >= bank->geometry().bottom());
    QVERIFY(error->geometry().top() < window.findChild<QLineEdit*>(u"txtRekv(5)"_s)->y());
    QVERIFY(!window.findChild<QLabel*>(u"lblErr(3)"_s)->isVisible());
    QCOMPARE(account->text(), u"40703810538000001234"_s);
    QCOMPARE(LoadPayeeDetails(platform.settings())[PayeeField::BankName], u"ПАО Сбербанк"_s);

    // The user shortens it.
    bank->clear();
    TypeText(bank, u"ФИЛИАЛ \"ЦЕНТРАЛЬНЫЙ\" БАНКА ВТБ (ПАО)"_s);
    QTest::mouseClick(window.findChild<QPushButton*>(u"CmdSave"_s), Qt::LeftButton);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(LoadPayeeDetails(platform.settings())[PayeeField::BankName],
             u"ФИЛИАЛ \"ЦЕНТРАЛЬНЫЙ\" БАНКА ВТБ (ПАО)"_s);
}

void tst_ReceiptQr::clickOnTheCodeShowsItLarge() {
    AppState state;
    ScriptedPlatform platform;
    const DocumentRequest request = ChooseSampleReceipt(state, platform);
    ReceiptWindow receipt(state.table, platform, request);
    QVERIFY(ShowInTwoCopies(receipt));
    const int modules = receipt.payment()->code->size();
    const QRect code = CodeOnScreen(1);
    // Drawn at its printed size: too small for a phone to read off a monitor.
    QVERIFY(double(code.width()) / modules < 2.5);

    // The lower copy's code, where the user points.
    QWidget* spot = receipt.childAt(code.center());
    QVERIFY(spot);
    QCOMPARE(spot->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(spot->toolTip(), u"Показать QR-код крупно"_s);
    QVERIFY(!receipt.largeCode());
    QTest::mouseClick(receipt.windowHandle(), Qt::LeftButton, Qt::NoModifier, code.center());
    QrCodeWindow* large = receipt.largeCode();
    QVERIFY(large);
    QVERIFY(QTest::qWaitForWindowExposed(large));
    QVERIFY(large->isWindow());
    PdfInspect::screenshot(*large, u"receipt-qr-large.png"_s);

    // Alone in its window: the dark modules span the code, on white.
    const QImage image = large->grab().toImage();
    QRect dark;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                dark |= QRect(x, y, 1, 1);
    QCOMPARE(dark.width(), dark.height());
    const double module = double(dark.width()) / modules;
    QVERIFY2(module >= QrCodeWindow::MinModulePixels, qPrintable(QString::number(module)));
    QCOMPARE(module, double(large->modulePixels()));
    // A quiet zone of light modules around it.
    QVERIFY(dark.left() >= 4 * module && image.width() - dark.right() - 1 >= 4 * module);
    const QString path = m_dir.filePath(u"large.png"_s);
    QVERIFY(image.save(path));
    QCOMPARE(QrDecode::image(path), QStringList{receipt.payment()->payload});

    // Escape puts it away; the upper copy's code shows it again.
    QTest::keyClick(large, Qt::Key_Escape);
    QTRY_VERIFY(!receipt.largeCode());
    const QRect upper = CodeOnScreen(0);
    QTest::mouseClick(receipt.windowHandle(), Qt::LeftButton, Qt::NoModifier, upper.center());
    QVERIFY(receipt.largeCode() && receipt.largeCode()->isVisible());
}

void tst_ReceiptQr::handEditedDetailsAreToldOnScreen_data() {
    QTest::addColumn<bool>("twoCopies");
    QTest::newRow("one copy") << false;
    QTest::newRow("two copies") << true;
}

void tst_ReceiptQr::handEditedDetailsAreToldOnScreen() {
    QFETCH(bool, twoCopies);
    AppState state;
    ScriptedPlatform platform;
    StorePayeeDetails(platform.settings(), SamplePayee());
    {
        // Edited by hand in the settings file: a 30102 account whose key
        // matches the БИК.
        QSettings raw(platform.settings().fileName(), QSettings::IniFormat);
        raw.setValue(u"Rekv/CorrAccount"_s, u"30102810700000000225"_s);
    }
    platform.settings().setNumber(u"Nastr"_s, u"Ch100"_s, twoCopies ? 1 : 0);
    AddSubscriber(state.table, 3, u"Иванов Иван Иванович"_s, u"12А"_s, u"1234,50"_s);
    ReceiptWindow receipt(state.table, platform, ChooseReceipt(3));
    QVERIFY(!receipt.payment());
    receipt.show();
    QVERIFY(QTest::qWaitForWindowExposed(&receipt));

    auto* warning = receipt.findChild<QLabel*>(u"lblRekv"_s);
    QVERIFY(warning && warning->isVisible());
    QCOMPARE(warning->text(), u"Ошибка в реквизитах: Настройки → Реквизиты получателя..."_s);
    QVERIFY(warning->toolTip().contains(u"без них и без QR-кода"_s));
    QCOMPARE(warning->palette().color(QPalette::WindowText), QColor(200, 0, 0));
    // One line, all of it readable.
    QVERIFY(warning->fontMetrics().horizontalAdvance(warning->text()) <= warning->width());
    QVERIFY(warning->height() < 2 * warning->fontMetrics().height());
    QVERIFY(receipt.rect().contains(warning->geometry()));
    // Right above the print button, which stays above the cut line.
    auto* print = receipt.findChild<QPushButton*>(u"Command1"_s);
    QVERIFY(warning->geometry().bottom() < print->geometry().top());
    QVERIFY(print->geometry().top() - warning->geometry().bottom() < 10);
    QVERIFY(warning->geometry().left() <= print->geometry().left());
    QVERIFY(warning->geometry().right() >= print->geometry().right());
    QVERIFY(print->geometry().bottom() < ReceiptPage::CutLineY / 15);
    QVERIFY(receipt.rect().contains(receipt.findChild<QCheckBox*>(u"Ch1"_s)->geometry()));
    if (!twoCopies)
        PdfInspect::screenshot(receipt, u"receipt-rekv-error.png"_s);

    // Never on paper.
    QTest::mouseClick(print, Qt::LeftButton);
    QCOMPARE(platform.printed.size(), size_t(1));
    const QString text = PdfInspect::text(platform.printed[0].pdfPath);
    QVERIFY(text.contains(u"ИТОГО К ОПЛАТЕ 1234,50 руб."_s));
    for (const QString& absent : {u"Реквизиты"_s, u"Настройки"_s, u"Получатель"_s, u"Печать"_s})
        QVERIFY2(!text.contains(absent), qPrintable(absent));
}

QTEST_MAIN(tst_ReceiptQr)
#include "tst_ReceiptQr.moc"
