#include "ReadingsImportDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QStandardPaths>
#include <QStyle>
#include <QToolButton>

#include "core/Settings.h"
#include "core/SubscriberTable.h"
#include "core/UserWarnings.h"
#include "workbook/WorkbookReadFailure.h"
#include "workbook/WorkbookReader.h"
#include "workbook/WorkbookWriter.h"
#include "readings/ReadingsImport.h"

using namespace Qt::StringLiterals;

namespace {

const QString Section = u"Nastr"_s;

// A small picture of the expected sheet: plot numbers in A, T1 in B, T2 in C.
QPixmap examplePicture() {
    const int cw = 56, ch = 18, head = 22;
    QPixmap pm(head + 3 * cw + 1, ch * 5 + 1);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setPen(QColor(0xA0, 0xA0, 0xA0));
    p.fillRect(0, 0, pm.width(), ch, QColor(0xE8, 0xE8, 0xE8));
    p.fillRect(0, 0, head, pm.height(), QColor(0xE8, 0xE8, 0xE8));
    for (int r = 0; r <= 5; ++r)
        p.drawLine(0, r * ch, pm.width(), r * ch);
    p.drawLine(0, 0, 0, pm.height());
    for (int c = 0; c <= 3; ++c)
        p.drawLine(head + c * cw, 0, head + c * cw, pm.height());
    p.setPen(Qt::black);
    const QString cols[3] = {u"A"_s, u"B"_s, u"C"_s};
    for (int c = 0; c < 3; ++c)
        p.drawText(QRect(head + c * cw, 0, cw, ch), Qt::AlignCenter, cols[c]);
    const QString rows[4][3] = {{u"01"_s, u"10625"_s, u"5120"_s},
                                {u"02"_s, u"8410"_s, u"3305"_s},
                                {u"03"_s, u"12077"_s, u"6048"_s},
                                {u"04"_s, u"956"_s, u"410"_s}};
    for (int r = 0; r < 4; ++r) {
        p.drawText(QRect(0, (r + 1) * ch, head, ch), Qt::AlignCenter, QString::number(r + 1));
        p.drawText(QRect(head + 4, (r + 1) * ch, cw - 8, ch), Qt::AlignLeft | Qt::AlignVCenter,
                   rows[r][0]);
        for (int c = 1; c < 3; ++c)
            p.drawText(QRect(head + c * cw + 4, (r + 1) * ch, cw - 8, ch),
                       Qt::AlignRight | Qt::AlignVCenter, rows[r][c]);
    }
    return pm;
}

} // namespace

ReadingsImportDialog::ReadingsImportDialog(AppState& state, Platform& platform,
                                           const QString& yearText, QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_platform(platform) {
    setObjectName(u"frmImport"_s);
    setWindowTitle(u"Выбор месяца и года импорта"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(520, 300);

    auto* lb1 = new QLabel(u"Месяц"_s, this);
    lb1->setObjectName(u"Lb1"_s);
    lb1->setGeometry(16, 16, 60, 22);
    m_month = new QComboBox(this);
    m_month->setObjectName(u"Cmb1"_s);
    for (int m = 1; m <= 12; ++m)
        m_month->addItem(u"%1"_s.arg(m, 2, 10, QLatin1Char('0')));
    m_month->setCurrentIndex(0);
    m_month->setGeometry(80, 16, 70, 24);

    auto* lb2 = new QLabel(u"Год"_s, this);
    lb2->setObjectName(u"Lb2"_s);
    lb2->setGeometry(176, 16, 40, 22);
    m_year = new QComboBox(this);
    m_year->setObjectName(u"Cmb2"_s);
    const OfferedYears& years = m_state.table.offeredYears();
    m_year->addItems(years.texts());
    m_year->setCurrentIndex(years.indexOf(yearText).value_or(0));
    m_year->setGeometry(216, 16, 80, 24);

    m_keepFilled = new QCheckBox(u"Не производить запись в заполненные ячейки"_s, this);
    m_keepFilled->setObjectName(u"Ch1"_s);
    m_keepFilled->setGeometry(16, 52, 330, 22);
    m_carry = new QCheckBox(u"Переносить показания на следующий месяц"_s, this);
    m_carry->setObjectName(u"Ch2"_s);
    m_carry->setGeometry(16, 76, 330, 22);
    Settings& settings = m_platform.settings();
    m_keepFilled->setChecked(settings.flag(Section, u"Ch1"_s));
    m_carry->setChecked(settings.flag(Section, u"Ch2"_s));

    auto* label = new QLabel(
        u"Формат файла: А1 - Аn номер участрка (такой же как в справочнике);  B1 - Bn показания счетчиков по Т1; C1 - Cn показания счетчиков по Т2 за указанный месяц и год."_s,
        this);
    label->setObjectName(u"Label1"_s);
    label->setWordWrap(true);
    label->setGeometry(16, 110, 270, 110);

    auto* picture = new QLabel(this);
    picture->setObjectName(u"Picture1"_s);
    picture->setPixmap(examplePicture());
    picture->setGeometry(300, 110, 200, 100);

    auto* run = new QToolButton(this);
    run->setObjectName(u"Command1"_s);
    run->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    run->setIconSize(QSize(32, 32));
    run->setToolTip(u"Импорт"_s);
    run->setGeometry(360, 36, 52, 52);
    connect(run, &QToolButton::clicked, this, &ReadingsImportDialog::runImport);
}

void ReadingsImportDialog::runImport() {
    if (m_platform.message(
            u"Вы действительно хотите безвозвратно изменить показания счетчиков абонентов?"_s,
            u"Перед импортом рекомендуется сделать резервную копию базы."_s, MsgIcon::Question,
            MsgButtons::YesNo, MsgAnswer::No) != MsgAnswer::Yes)
        return;
    const auto y = m_state.table.offeredYears().indexOf(m_year->currentText());
    if (!y)
        return;
    const QString path = m_platform.openFileName(
        u"Импорт показаний"_s, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        WorkbookFilter());
    if (path.isEmpty())
        return;
    const WorkbookReadResult sheet = ReadWorkbook(path);
    if (ReportWorkbookReadFailure(m_platform, sheet))
        return;
    ReadingsImportOptions options;
    options.yearIndex = *y;
    options.month = m_month->currentIndex() + 1;
    options.keepFilled = m_keepFilled->isChecked();
    options.carry = m_carry->isChecked();
    ApplyReadingsImport(m_state.table, sheet, options);
    emit imported();
    m_platform.message(u"Импорт успешно завершен."_s, QString(), MsgIcon::None, MsgButtons::Ok);
}

void ReadingsImportDialog::closeEvent(QCloseEvent* event) {
    Settings& settings = m_platform.settings();
    settings.setText(Section, u"Ch1"_s, m_keepFilled->isChecked() ? u"1"_s : u"0"_s);
    settings.setText(Section, u"Ch2"_s, m_carry->isChecked() ? u"1"_s : u"0"_s);
    event->accept();
    emit closed();
}
