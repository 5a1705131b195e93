#include <QMenuBar>
#include <QStyleFactory>
#include <QTest>
#include <QToolButton>

#include "app/ProgramStyle.h"
#include "readings/ToolbarPixels.h"

using namespace Qt::StringLiterals;

class tst_ProgramStyle : public QObject {
    Q_OBJECT
private slots:
    void menuBarOverflowArrow();
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

QTEST_MAIN(tst_ProgramStyle)
#include "tst_ProgramStyle.moc"
