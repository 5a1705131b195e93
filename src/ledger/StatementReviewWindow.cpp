#include "StatementReviewWindow.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "StatementLoadSteps.h"
#include "StatementReviewModel.h"
#include "StatementReviewSheet.h"
#include "StatementReviewText.h"
#include "core/Platform.h"

using namespace Qt::StringLiterals;

namespace {

const QString Title = u"Платежи из выписки"_s;

// The subscriber of a row, chosen from "— не записывать —" and every
// subscriber; a choice is taken as soon as it is made.
class SubscriberDelegate final : public QStyledItemDelegate {
public:
    explicit SubscriberDelegate(const StatementReviewModel& model, QObject* parent)
        : QStyledItemDelegate(parent), m_model(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* combo = new QComboBox(parent);
        combo->setObjectName(u"cmbSubscriber"_s);
        combo->addItems(m_model.subscriberChoices());
        auto* self = const_cast<SubscriberDelegate*>(this);
        connect(combo, &QComboBox::activated, self, [self, combo] {
            emit self->commitData(combo);
            emit self->closeEditor(combo);
        });
        return combo;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QComboBox*>(editor)->setCurrentIndex(index.data(Qt::EditRole).toInt());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentIndex(), Qt::EditRole);
    }

private:
    const StatementReviewModel& m_model;
};

// Widths of the list's columns in pixels: the date, the sum, the payer, the
// purpose, the subscriber, the month, how it was found, what the month holds.
constexpr int ColumnWidths[StatementReviewModel::ColumnCount] = {100, 90,  180, 260,
                                                                 190, 100, 170, 100};

QLabel* TextLine(const QString& name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

} // namespace

StatementReviewWindow::StatementReviewWindow(const SubscriberTable& table,
                                             StatementToReview& review, Platform& platform,
                                             const QString& folder, QWidget* parent)
    : QDialog(parent), m_review(review), m_platform(platform), m_folder(folder) {
    setObjectName(u"frmVypiska"_s);
    setWindowTitle(Title);
    setModal(true);
    m_model = new StatementReviewModel(table, review.statement, review.payments, this);
    m_model->setRetickQuestion([this](const QDateTime& writtenBefore) {
        return m_platform.message(RetickQuestion(writtenBefore), Title, MsgIcon::Question,
                                  MsgButtons::YesNo, MsgAnswer::No) == MsgAnswer::Yes;
    });

    auto* layout = new QVBoxLayout(this);
    auto* about = TextLine(u"lblHeader"_s, this);
    about->setText(StatementReviewHeader(review).join(u'\n'));
    layout->addWidget(about);
    // What the reader could not take as written.
    if (!review.statement.warnings.isEmpty()) {
        auto* warnings = TextLine(u"lblWarnings"_s, this);
        warnings->setText(review.statement.warnings.join(u'\n'));
        QPalette p = warnings->palette();
        p.setColor(QPalette::WindowText, QColor(160, 60, 0));
        warnings->setPalette(p);
        layout->addWidget(warnings);
    }

    m_list = new QTableView(this);
    m_list->setObjectName(u"gPayments"_s);
    m_list->setModel(m_model);
    m_list->setItemDelegateForColumn(StatementReviewModel::ColSubscriber,
                                     new SubscriberDelegate(*m_model, m_list));
    m_list->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                            QAbstractItemView::EditKeyPressed);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    // Rows of one height: a list of 20,000 payments is laid out without
    // measuring any of them.
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_list->horizontalHeader()->setHighlightSections(false);
    m_list->horizontalHeader()->setStretchLastSection(true);
    for (int c = 0; c < StatementReviewModel::ColumnCount; ++c)
        m_list->setColumnWidth(c, ColumnWidths[c]);
    layout->addWidget(m_list, 1);

    m_ticked = TextLine(u"lblTicked"_s, this);
    m_notWritten = TextLine(u"lblNotWritten"_s, this);
    m_stated = TextLine(u"lblStated"_s, this);
    m_mismatch = TextLine(u"lblMismatch"_s, this);
    QPalette red = m_mismatch->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_mismatch->setPalette(red);
    QFont bold = m_mismatch->font();
    bold.setBold(true);
    m_mismatch->setFont(bold);
    auto* statedLine = new QHBoxLayout;
    statedLine->addWidget(m_stated);
    statedLine->addWidget(m_mismatch);
    statedLine->addStretch(1);
    layout->addWidget(m_ticked);
    layout->addWidget(m_notWritten);
    layout->addLayout(statedLine);

    auto* buttons = new QHBoxLayout;
    auto* write = new QPushButton(u"Записать в лицевые счета"_s, this);
    write->setObjectName(u"cmdWrite"_s);
    write->setDefault(true);
    // The others never take the default over, not even once clicked.
    auto* exportButton = new QPushButton(u"Экспорт"_s, this);
    exportButton->setObjectName(u"cmdExport"_s);
    exportButton->setAutoDefault(false);
    auto* cancel = new QPushButton(u"Отмена"_s, this);
    cancel->setObjectName(u"cmdCancel"_s);
    cancel->setAutoDefault(false);
    buttons->addWidget(write);
    buttons->addWidget(exportButton);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(write, &QPushButton::clicked, this, &QDialog::accept);
    connect(exportButton, &QPushButton::clicked, this, &StatementReviewWindow::exportList);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    connect(m_model, &StatementReviewModel::totalsChanged, this,
            &StatementReviewWindow::showTotals);
    showTotals();
    int width = 2 * m_list->frameWidth() + 24;
    for (const int w : ColumnWidths)
        width += w;
    resize(width + 24, 640);
}

void StatementReviewWindow::showTotals() {
    const StatementReviewTotalsText t = StatementReviewTotals(m_model->totals());
    m_ticked->setText(t.ticked);
    m_notWritten->setText(t.notWritten);
    m_stated->setText(t.stated);
    m_mismatch->setText(t.mismatch);
    m_mismatch->setVisible(!t.mismatch.isEmpty());
}

void StatementReviewWindow::exportList() {
    ExportStatementReview(*m_model, Title + u' ' + QFileInfo(m_review.path).completeBaseName(),
                          m_folder, m_platform);
}
