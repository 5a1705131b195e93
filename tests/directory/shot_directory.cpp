// Renders the directory with 30 made-up subscribers and the add window into
// PNG files, for the documentation: shot_directory <folder>.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "core/AppState.h"
#include "directory/DirectoryGridModel.h"
#include "directory/AddSubscriberDialog.h"
#include "directory/DirectoryWindow.h"
#include "storage/Database.h"
#include "support/ScriptedPlatform.h"

using namespace Qt::StringLiterals;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"."_s;
    QDir().mkpath(folder);
    QTemporaryDir dir;

    AppState state;
    state.programFolder = dir.path();
    const QStringList surnames = {
        u"Иванов"_s,   u"Петрова"_s,   u"Сидоров"_s,  u"Кузнецова"_s, u"Смирнов"_s, u"Попова"_s,
        u"Васильев"_s, u"Соколова"_s,  u"Михайлов"_s, u"Новикова"_s,  u"Фёдоров"_s, u"Морозова"_s,
        u"Волков"_s,   u"Алексеева"_s, u"Лебедев"_s,  u"Семёнова"_s,  u"Егоров"_s,  u"Павлова"_s,
        u"Козлов"_s,   u"Степанова"_s, u"Николаев"_s, u"Орлова"_s,    u"Андреев"_s, u"Макарова"_s,
        u"Никитин"_s,  u"Захарова"_s,  u"Зайцев"_s,   u"Соловьёва"_s, u"Борисов"_s, u"Яковлева"_s};
    const QString initials = u"АБВГДЕИКЛМНОПРСТ"_s;
    const QStringList meters = {u"Меркурий 200"_s, u"СО-И446"_s, u"Энергомера CE102"_s,
                                u"Нева 303"_s};
    for (int i = 1; i <= 30; ++i) {
        state.table.setCell(i, ColRowNumber, QString::number(i));
        state.table.setCell(i, ColName,
                            surnames[i - 1] + u' ' + initials[(i * 7) % 16] + u". "_s +
                                initials[(i * 3) % 16] + u'.');
        state.table.setCell(i, ColAddress, QString::number(i * 3 + (i % 4)));
        state.table.setCell(i, ColPhone,
                            u"8-9%1-%2-%3-%4"_s.arg(10 + i % 90, 2, 10, QLatin1Char('0'))
                                .arg(100 + i * 29 % 900)
                                .arg(10 + i * 7 % 90)
                                .arg(10 + i * 13 % 90));
        state.table.setCell(i, ColMeterType, meters[i % meters.size()]);
        if (i % 5 == 0)
            state.table.setCell(i, ColNote, u"двухтарифный с 2021 г."_s);
    }
    state.table.setSubscriberCount(30);

    ScriptedPlatform platform;
    Database database(state.table, platform, dir.filePath(u"Ostrevanka21.spb"_s));
    auto* spr = new DirectoryWindow(state, database, platform);
    spr->show();
    QTest::qWait(50);
    // A found row and the selected one, as after a search and a click.
    auto* grid = spr->findChild<QTableView*>(u"g"_s);
    spr->model().find(u"ова"_s);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(spr->model().index(3, 1)).center());
    QTest::qWait(50);
    spr->grab().save(folder + u"/frmSpr.png"_s);

    AddSubscriberDialog add(state, database, platform);
    add.show();
    QTest::qWait(50);
    add.findChild<QLineEdit*>(u"txt1(0)"_s)->setText(u"Григорьев Г. Г."_s);
    add.findChild<QLineEdit*>(u"txt1(1)"_s)->setText(u"95"_s);
    add.findChild<QLineEdit*>(u"txt1(2)"_s)->setFocus();
    QTest::qWait(50);
    add.grab().save(folder + u"/frmAdd.png"_s);
    delete spr;
    return 0;
}
