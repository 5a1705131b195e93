#include "MemberAccountWindow.h"

#include <algorithm>

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "MemberAccountPainter.h"
#include "core/AppState.h"
#include "core/MoneyText.h"
#include "core/Platform.h"
#include "documents/MemberFileName.h"
#include "documents/PayeeDetails.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int MonthColumnWidth = 80;
constexpr int FigureColumnWidth = 84;
constexpr int LineHeight = 21;
constexpr int PaymentLinesShown = 8;
const QColor StaleColour(255, 221, 150);
const QColor TotalsColour(232, 232, 226);

// Two lines of about equal length, so that the columns stay narrow.
QString TwoLines(const QString& heading) {
    if (heading.size() <= 10)
        return heading;
    qsizetype best = -1;
    qsizetype bestLongest = heading.size();
    for (qsizetype i = heading.indexOf(u' '); i >= 0; i = heading.indexOf(u' ', i + 1)) {
        const qsizetype longest = std::max(i, heading.size() - i - 1);
        if (longest < bestLongest) {
            best = i;
            bestLongest = longest;
        }
    }
    if (best < 0)
        return heading;
    QString two = heading;
    two[best] = u'\n';
    return two;
}

QTableWidgetItem* Item(const QString& text, Qt::Alignment align) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(align | Qt::AlignVCenter);
    return item;
}

QTableWidget* MakeGrid(const QString& name, QWidget* parent) {
    auto* grid = new QTableWidget(parent);
    grid->setObjectName(name);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(LineHeight);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return grid;
}

} // namespace

MemberAccountWindow::MemberAccountWindow(const AppState& state, const PaymentJournal& journal,
                                         Platform& platform, int row, const QString& yearText,
                                         QWidget* parent)
    : QWidget(parent), m_state(state), m_journal(journal), m_platform(platform), m_row(row) {
    setObjectName(u"frmLsAbonent"_s);
    const QString caption = MemberAccountCaption(state.table, row);
    setWindowTitle(caption);

    auto* heading = new QLabel(caption, this);
    heading->setObjectName(u"lblCaption"_s);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    heading->setFont(bold);
    auto* yearLabel = new QLabel(u"Год"_s, this);
    m_year = new QComboBox(this);
    m_year->setObjectName(u"cmbYear"_s);
    m_year->addItems(state.table.offeredYears().texts());
    m_year->setCurrentIndex(std::max(0, m_year->findText(yearText)));
    auto* top = new QHBoxLayout;
    top->addWidget(heading);
    top->addStretch();
    top->addWidget(yearLabel);
    top->addWidget(m_year);

    m_months = MakeGrid(u"gMonths"_s, this);
    m_months->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_staleNote = new QLabel(u"Месяцы, выделенные цветом, ещё не показаны в окне «Лицевой "
                             u"счет» после изменения: суммы в них расчётные."_s,
                             this);
    m_staleNote->setObjectName(u"lblStale"_s);
    m_staleNote->setWordWrap(true);
    m_paymentsTitle = new QLabel(this);
    m_paymentsTitle->setObjectName(u"lblPayments"_s);
    m_payments = MakeGrid(u"gPayments"_s, this);
    m_payments->setColumnCount(3);
    m_payments->setHorizontalHeaderLabels({u"Дата"_s, u"Сумма, руб."_s, u"Номер документа"_s});
    m_payments->horizontalHeader()->setStretchLastSection(true);
    m_payments->setColumnWidth(0, 110);
    m_payments->setColumnWidth(1, 120);

    auto* printButton = new QPushButton(u"Печать"_s, this);
    printButton->setObjectName(u"CmdPrint"_s);
    auto* pdfButton = new QPushButton(u"Сохранить PDF"_s, this);
    pdfButton->setObjectName(u"CmdPdf"_s);
    auto* closeButton = new QPushButton(u"Закрыть"_s, this);
    closeButton->setObjectName(u"CmdClose"_s);
    connect(printButton, &QPushButton::clicked, this, &MemberAccountWindow::print);
    connect(pdfButton, &QPushButton::clicked, this, &MemberAccountWindow::savePdf);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(printButton);
    buttons->addWidget(pdfButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_months);
    layout->addWidget(m_staleNote);
    layout->addSpacing(6);
    layout->addWidget(m_paymentsTitle);
    layout->addWidget(m_payments, 1);
    layout->addLayout(buttons);

    connect(m_year, &QComboBox::currentIndexChanged, this, &MemberAccountWindow::showYear);
    showYear();
}

QString MemberAccountWindow::yearText() const {
    return m_year->currentText();
}

void MemberAccountWindow::showYear() {
    const auto year = m_state.table.offeredYears().indexOf(yearText());
    const auto account =
        year ? MakeMemberAccount(m_state.table, m_journal, m_row, *year) : std::nullopt;
    m_account = account.value_or(MemberAccount());
    fillMonths();
    fillPayments();
    resize(sizeHint().expandedTo(minimumSizeHint()));
}

void MemberAccountWindow::fillMonths() {
    const std::vector<int> columns = m_account.columns();
    m_months->clear();
    m_months->setColumnCount(int(columns.size()));
    m_months->setRowCount(13);
    QStringList headings;
    for (const int c : columns)
        headings << TwoLines(MemberAccountHeading(c));
    m_months->setHorizontalHeaderLabels(headings);
    QFont bold = m_months->font();
    bold.setBold(true);
    for (int line = 0; line < 13; ++line) {
        const bool total = line == 12;
        const MemberAccountMonth* month = total ? nullptr : &m_account.months[size_t(line)];
        const MemberAccountCells& cells = month ? month->cells : m_account.totals;
        for (size_t i = 0; i < columns.size(); ++i) {
            auto* item = Item(cells[size_t(columns[i])], i == 0 ? Qt::AlignLeft : Qt::AlignRight);
            if (total) {
                item->setFont(bold);
                item->setBackground(TotalsColour);
            } else if (month->stale) {
                item->setBackground(StaleColour);
                item->setToolTip(StaleMonthNote(*month));
            }
            m_months->setItem(line, int(i), item);
        }
    }
    // Every column as wide as its heading and figures need, and the whole
    // table shown: the window is made as wide as the table.
    m_months->resizeColumnsToContents();
    int width = 2 * m_months->frameWidth();
    for (int i = 0; i < m_months->columnCount(); ++i) {
        const int least = i == 0 ? MonthColumnWidth : FigureColumnWidth;
        m_months->setColumnWidth(i, std::max(least, m_months->columnWidth(i) + 8));
        width += m_months->columnWidth(i);
    }
    m_months->setMinimumWidth(width);
    m_months->setFixedHeight(m_months->horizontalHeader()->sizeHint().height() + 13 * LineHeight +
                             2 * m_months->frameWidth());
    m_staleNote->setVisible(m_account.anyStale());
}

void MemberAccountWindow::fillPayments() {
    const auto& payments = m_account.payments;
    m_payments->setRowCount(int(payments.size()));
    for (int r = 0; r < int(payments.size()); ++r) {
        const MemberAccountPayment& p = payments[size_t(r)];
        m_payments->setItem(r, 0, Item(p.dateText, Qt::AlignLeft));
        m_payments->setItem(r, 1, Item(KopecksText(p.kopecks), Qt::AlignRight));
        m_payments->setItem(r, 2, Item(p.number, Qt::AlignLeft));
    }
    if (payments.empty()) {
        m_paymentsTitle->setText(u"Платежей из выписок банка за %1 год нет."_s.arg(yearText()));
    } else {
        m_paymentsTitle->setText(u"Платежи из выписок банка за %1 год: %2 на сумму %3 руб."_s.arg(
            yearText(), QString::number(payments.size()), KopecksText(m_account.paymentsKopecks)));
    }
    m_payments->setVisible(!payments.empty());
    const int lines = std::min(int(payments.size()), PaymentLinesShown);
    m_payments->setMinimumHeight(m_payments->horizontalHeader()->sizeHint().height() +
                                 lines * LineHeight + 2 * m_payments->frameWidth());
}

MemberAccountSheet MemberAccountWindow::sheet() const {
    const PayeeDetails payee = LoadPayeeDetails(m_platform.settings());
    return {m_account, payee[PayeeField::Name].trimmed(), m_platform.now().date()};
}

void MemberAccountWindow::print() {
    m_platform.print(MemberAccountPrintJob(sheet()));
}

void MemberAccountWindow::savePdf() {
    const QString proposed =
        QDir(m_state.programFolder)
            .filePath(MemberFileName(m_state.table, m_row, yearText(), u"выписка"_s));
    QString path = m_platform.saveFileName(u"Сохранить PDF"_s, proposed, u"Документ PDF (*.pdf)"_s);
    if (path.isEmpty())
        return;
    if (!path.endsWith(u".pdf"_s, Qt::CaseInsensitive))
        path += u".pdf"_s;
    QString error;
    if (WriteMemberAccountPdf(sheet(), path, &error))
        return;
    m_platform.message(u"Не удалось записать файл\n"_s + QDir::toNativeSeparators(path) + u"\n"_s +
                           error,
                       u"Лицевой счёт абонента"_s, MsgIcon::Critical, MsgButtons::Ok);
}

void MemberAccountWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
