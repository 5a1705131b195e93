#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "ReviewFixture.h"
#include "ledger/LedgerMath.h"
#include "ledger/StatementLoadSteps.h"
#include "ledger/StatementReviewModel.h"
#include "ledger/StatementReviewWindow.h"
#include "support/ScriptedPlatform.h"

using namespace Qt::StringLiterals;
using namespace ReviewFixture;
using Model = StatementReviewModel;

namespace {

struct Fixture {
    QTemporaryDir dir;
    AppState state;
    ScriptedPlatform platform;
    PaymentJournal journal;
    StatementToReview read;
    std::unique_ptr<StatementReviewWindow> window;

    Fixture() {
        FillMembers(state, dir.path());
        journal.add(LoadedEntry());
        read = ReadFixture(dir.path(), state.table, journal);
        window = std::make_unique<StatementReviewWindow>(state.table, read, platform, dir.path());
        window->show();
        window->activateWindow();
    }
    QTableView* list() const { return window->findChild<QTableView*>(u"gPayments"_s); }
    QString label(const QString& name) const { return window->findChild<QLabel*>(name)->text(); }
    bool ticked(int row) const { return read.payments.incoming[size_t(row)].ticked; }
    // A click on the row's tick box, where the style draws it.
    void clickTick(int row) {
        QTableView* view = list();
        const QModelIndex index = view->model()->index(row, Model::ColDate);
        QStyleOptionViewItem option;
        option.initFrom(view->viewport());
        option.rect = view->visualRect(index);
        option.features =
            QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        const QRect box =
            view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box.center());
    }
};

} // namespace

class tst_StatementReviewWindow : public QObject {
    Q_OBJECT
private slots:
    void clicksChooseWhatIsWritten();
    void retickingALoadedPayment_data();
    void retickingALoadedPayment();
    void buttons_data();
    void buttons();
};

// Untick a found payment, give the unknown one a subscriber through the
// list of the "Абонент" cell, try the unreadable one: the totals follow.
void tst_StatementReviewWindow::clicksChooseWhatIsWritten() {
    Fixture f;
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QCOMPARE(f.window->windowTitle(), u"Платежи из выписки"_s);
    QVERIFY(f.window->isModal());
    QVERIFY(f.label(u"lblHeader"_s).startsWith(u"Файл: "_s));
    QCOMPARE(f.label(u"lblTicked"_s), u"Записать: 2 на сумму 1750,50 руб."_s);
    auto* mismatch = f.window->findChild<QLabel*>(u"lblMismatch"_s);
    QVERIFY(mismatch->isVisible());
    QCOMPARE(mismatch->text(), u"Расхождение: -450,50 руб."_s);
    QCOMPARE(mismatch->palette().color(QPalette::WindowText), QColor(Qt::red));

    f.clickTick(ByName);
    QVERIFY(!f.ticked(ByName));
    QCOMPARE(f.label(u"lblTicked"_s), u"Записать: 1 на сумму 1500,00 руб."_s);
    QCOMPARE(f.label(u"lblNotWritten"_s), u"Не записывать: 4 на сумму 950,50 руб."_s);
    f.clickTick(Unreadable);
    QVERIFY(!f.ticked(Unreadable));
    f.clickTick(NotFound); // nobody to write it to yet
    QVERIFY(!f.ticked(NotFound));

    QTableView* view = f.list();
    const QModelIndex cell = view->model()->index(NotFound, Model::ColSubscriber);
    // A double click as the window system delivers it.
    const QPoint at = view->visualRect(cell).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
    auto* combo = view->viewport()->findChild<QComboBox*>(u"cmbSubscriber"_s);
    QVERIFY(combo);
    QCOMPARE(combo->currentText(), u"— не записывать —"_s);
    QCOMPARE(combo->count(), 4);
    QTest::mouseClick(combo, Qt::LeftButton);
    QAbstractItemView* popup = combo->view();
    QTRY_VERIFY(popup->isVisible());
    // The list ignores a release as quick as the one of the click that opened it.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    const QPoint item = popup->visualRect(popup->model()->index(2, 0)).center();
    QTest::mouseMove(popup->viewport(), item);
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, item);
    QTRY_VERIFY(!view->viewport()->findChild<QComboBox*>(u"cmbSubscriber"_s));
    QCOMPARE(cell.data().toString(), u"2. Петров П. П."_s);
    QCOMPARE(view->model()->index(NotFound, Model::ColHow).data().toString(), u"выбран вручную"_s);
    QVERIFY(f.ticked(NotFound));
    QCOMPARE(f.read.payments.incoming[NotFound].row, 2);
    QCOMPARE(f.label(u"lblTicked"_s), u"Записать: 2 на сумму 1800,00 руб."_s);
    QVERIFY(f.platform.messages.empty());
}

void tst_StatementReviewWindow::retickingALoadedPayment_data() {
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<bool>("ticked");
    QTest::newRow("no") << MsgAnswer::No << false;
    QTest::newRow("yes") << MsgAnswer::Yes << true;
}

void tst_StatementReviewWindow::retickingALoadedPayment() {
    QFETCH(MsgAnswer, answer);
    QFETCH(bool, ticked);
    Fixture f;
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QVERIFY(!f.ticked(Loaded));
    f.platform.answers = {answer};
    f.clickTick(Loaded);
    QCOMPARE(f.platform.messages.size(), size_t(1));
    const ScriptedPlatform::Message& asked = f.platform.messages[0];
    QCOMPARE(asked.text, u"Этот платёж уже записан 20.03.2026. Записать ещё раз?"_s);
    QCOMPARE(asked.buttons, MsgButtons::YesNo);
    QCOMPARE(asked.defaultButton, MsgAnswer::No);
    QCOMPARE(f.ticked(Loaded), ticked);
    QCOMPARE(f.label(u"lblTicked"_s), ticked ? u"Записать: 3 на сумму 2150,50 руб."_s
                                             : u"Записать: 2 на сумму 1750,50 руб."_s);
    // Unticking asks nothing.
    if (ticked) {
        f.clickTick(Loaded);
        QVERIFY(!f.ticked(Loaded));
        QCOMPARE(f.platform.messages.size(), size_t(1));
    }
}

void tst_StatementReviewWindow::buttons_data() {
    QTest::addColumn<QString>("button"); // empty: Return in the list
    QTest::addColumn<int>("result");
    QTest::newRow("Записать в лицевые счета") << u"cmdWrite"_s << int(QDialog::Accepted);
    QTest::newRow("Return: the default button") << QString() << int(QDialog::Accepted);
    QTest::newRow("Отмена") << u"cmdCancel"_s << int(QDialog::Rejected);
}

void tst_StatementReviewWindow::buttons() {
    QFETCH(QString, button);
    QFETCH(int, result);
    Fixture f;
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    // The export writes the list and leaves the window open.
    const QString exported = f.dir.filePath(u"список.xlsx"_s);
    f.platform.fileNames = {exported};
    QTest::mouseClick(f.window->findChild<QPushButton*>(u"cmdExport"_s), Qt::LeftButton);
    QVERIFY(QFileInfo(exported).size() > 0);
    QCOMPARE(f.platform.dialogProposals,
             QStringList{f.dir.filePath(u"Платежи из выписки statement.xlsx"_s)});
    QVERIFY(f.window->isVisible());

    auto* write = f.window->findChild<QPushButton*>(u"cmdWrite"_s);
    QCOMPARE(write->text(), u"Записать в лицевые счета"_s);
    QVERIFY(write->isDefault());
    QCOMPARE(f.window->findChild<QPushButton*>(u"cmdCancel"_s)->text(), u"Отмена"_s);
    if (button.isEmpty()) {
        f.list()->setFocus();
        QTest::keyClick(f.list(), Qt::Key_Return);
    } else {
        QTest::mouseClick(f.window->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.window->result(), result);
}

QTEST_MAIN(tst_StatementReviewWindow)
#include "tst_StatementReviewWindow.moc"
