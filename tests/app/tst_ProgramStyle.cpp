#include <QAbstractItemView>
#include <QComboBox>
#include <QMenuBar>
#include <QStyleFactory>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QToolButton>

#include "app/ProgramStyle.h"
#include "readings/ListPopup.h"
#include "readings/ToolbarPixels.h"

using namespace Qt::StringLiterals;

class tst_ProgramStyle : public QObject {
    Q_OBJECT
private slots:
    void menuBarOverflowArrow();
    void markedComboOpensAPlainList();
};

namespace {
QImage imageOf(const QIcon& icon) {
    return icon.pixmap(QSize(24, 24), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
}
} // namespace

void tst_ProgramStyle::menuBarOverflowArrow() {
    auto* style = new ProgramStyle;
    style->setBaseStyle(QStyleFactory::create(u"Fusion"_s));
    QApplication::setStyle(style);
    const QImage arrow = imageOf(ToolbarIcon(u"overflow"));
    QVERIFY(!arrow.isNull());
    // Every other picture is still the platform style's.
    QVERIFY(!style->standardIcon(QStyle::SP_MessageBoxWarning).isNull());
    QCOMPARE(imageOf(style->standardIcon(QStyle::SP_DialogSaveButton)),
             imageOf(style->baseStyle()->standardIcon(QStyle::SP_DialogSaveButton)));

    // A menu bar too narrow for its menus shows the arrow on its overflow button.
    QMenuBar bar;
    for (const QString& title : {u"Справочник"_s, u"Инструменты"_s, u"Настройки"_s, u"Помощь"_s})
        bar.addMenu(title);
    bar.resize(120, bar.sizeHint().height());
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QToolButton* overflow = nullptr;
    for (QToolButton* b : bar.findChildren<QToolButton*>())
        if (b->isVisible())
            overflow = b;
    QVERIFY(overflow);
    QCOMPARE(imageOf(overflow->icon()), arrow);
}

void tst_ProgramStyle::markedComboOpensAPlainList() {
    auto* style = new ProgramStyle;
    style->setBaseStyle(QStyleFactory::create(u"Fusion"_s));
    QApplication::setStyle(style);

    QComboBox plain, marked;
    marked.setProperty(ListPopupProperty, true);
    for (QComboBox* box : {&plain, &marked}) {
        for (int i = 0; i < 100; ++i)
            box->addItem(QString::number(i));
        box->setMaxVisibleItems(20);
    }
    const auto popupHint = [&](QComboBox& box) {
        QStyleOptionComboBox option;
        option.initFrom(&box);
        option.editable = box.isEditable();
        return style->styleHint(QStyle::SH_ComboBox_Popup, &option, &box);
    };
    // Fusion opens a fixed box's list as a menu over the box.
    QCOMPARE(popupHint(plain), 1);
    QCOMPARE(popupHint(marked), 0);

    // The marked box's list shows the items asked for and scrolls to the rest.
    marked.show();
    QVERIFY(QTest::qWaitForWindowExposed(&marked));
    marked.showPopup();
    QAbstractItemView* list = marked.view();
    QTRY_VERIFY(list->isVisible());
    const int rowHeight = list->sizeHintForRow(0);
    QVERIFY(list->height() <= 21 * rowHeight);
    QVERIFY(list->height() >= 19 * rowHeight);
    marked.hidePopup();
}

QTEST_MAIN(tst_ProgramStyle)
#include "tst_ProgramStyle.moc"
