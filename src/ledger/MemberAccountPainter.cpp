#include "MemberAccountPainter.h"

#include <vector>

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include "DebtorsList.h"
#include "core/MoneyText.h"
#include "core/YearLayout.h"
#include "printing/PageGeometry.h"
#include "storage/DatabaseFile.h"

using namespace Qt::StringLiterals;
using PageGeometry::twipsFont;

namespace {

constexpr int Left = 200;
constexpr int Inner = int(MemberAccountPage::Width) - 2 * Left;
constexpr int PartnershipHeight = 420;
constexpr int TitleHeight = 380;
constexpr int CaptionHeight = 360;
constexpr int Gap = 180;
constexpr int HeaderHeight = 660;
constexpr int RowHeight = 290;
constexpr int NoteHeight = 320;
constexpr int PaymentsTitleHeight = 420;
constexpr int LineHeight = 280;
constexpr int FootHeight = 450;
constexpr int FootTop = int(MemberAccountPage::Height) - FootHeight;
constexpr int MonthWidth = 1100;
constexpr int PaymentWidths[3] = {1700, 1900, 2600};

const QPen Rule(Qt::black, 10);

// Figures are never cut: a text too wide for its cell gets a smaller font.
void DrawFitted(QPainter& p, const QRect& cell, int align, const QString& text, double points,
                bool bold) {
    const QRect inner = cell.adjusted(60, 0, -60, 0);
    QFont f = twipsFont(points, bold);
    p.setFont(f);
    while (points > 5 && p.fontMetrics().horizontalAdvance(text) > inner.width()) {
        points -= 0.5;
        f = twipsFont(points, bold);
        p.setFont(f);
    }
    p.drawText(inner, align | Qt::AlignVCenter, text);
}

// Where the long words of the headings may break: the figure columns are
// narrower than "Электроэнергия" at any readable size.
QString Hyphenated(QString heading) {
    static const std::pair<const char16_t*, const char16_t*> breaks[] = {
        {u"Электроэнергия", u"Электро\u00ADэнергия"}, {u"Предоплата", u"Пред\u00ADоплата"},
        {u"предоплату", u"пред\u00ADоплату"},         {u"начисления", u"начис\u00ADления"},
        {u"поступления", u"поступ\u00ADления"},       {u"Переплата", u"Пере\u00ADплата"},
    };
    for (const auto& [word, parts] : breaks)
        heading.replace(QString::fromUtf16(word), QString::fromUtf16(parts));
    return heading;
}

int TableTop(const MemberAccountSheet& sheet) {
    return (sheet.partnership.isEmpty() ? 0 : PartnershipHeight) + TitleHeight + CaptionHeight +
           Gap;
}

int TableBottom(const MemberAccountSheet& sheet) {
    return TableTop(sheet) + HeaderHeight + 13 * RowHeight +
           (sheet.account.anyStale() ? NoteHeight : 0);
}

std::vector<std::pair<int, int>> PaymentSlices(const MemberAccountSheet& sheet) {
    const int firstRoom =
        (FootTop - TableBottom(sheet) - Gap - PaymentsTitleHeight - LineHeight) / LineHeight;
    const int room = (FootTop - LineHeight) / LineHeight;
    return DebtorsPageSlices(int(sheet.account.payments.size()), firstRoom, room);
}

std::vector<int> ColumnWidths(const std::vector<int>& columns) {
    std::vector<int> w(columns.size(), MonthWidth);
    const int figures = int(columns.size()) - 1;
    for (size_t i = 1; i < w.size(); ++i)
        w[i] = (Inner - MonthWidth) / figures;
    return w;
}

void DrawMonths(QPainter& p, const MemberAccountSheet& sheet, int top) {
    const MemberAccount& a = sheet.account;
    const std::vector<int> columns = a.columns();
    const std::vector<int> widths = ColumnWidths(columns);
    int x = Left;
    for (size_t i = 0; i < columns.size(); ++i) {
        const QRect cell(x, top, widths[i], HeaderHeight);
        p.fillRect(cell, QColor(235, 235, 235));
        p.setPen(Rule);
        p.drawRect(cell);
        p.setFont(twipsFont(6.5, true));
        p.drawText(cell.adjusted(30, 0, -30, 0), Qt::AlignCenter | Qt::TextWordWrap,
                   Hyphenated(MemberAccountHeading(columns[i])));
        x += widths[i];
    }
    int y = top + HeaderHeight;
    for (int line = 0; line < 13; ++line, y += RowHeight) {
        const bool total = line == 12;
        const MemberAccountCells& cells = total ? a.totals : a.months[size_t(line)].cells;
        x = Left;
        for (size_t i = 0; i < columns.size(); ++i) {
            const QRect cell(x, y, widths[i], RowHeight);
            if (total)
                p.fillRect(cell, QColor(245, 245, 245));
            p.setPen(Rule);
            p.drawRect(cell);
            QString text = cells[size_t(columns[i])];
            if (i == 0 && !total && a.months[size_t(line)].stale)
                text += u" *"_s;
            DrawFitted(p, cell, i == 0 ? Qt::AlignLeft : Qt::AlignRight, text, 8, total);
            x += widths[i];
        }
    }
    if (a.anyStale()) {
        p.setFont(twipsFont(7.5));
        p.drawText(QRect(Left, y, Inner, NoteHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   u"* Месяц ещё не показан в окне «Лицевой счет» после изменения: суммы "
                   u"расчётные."_s);
    }
}

void DrawPaymentLine(QPainter& p, int top, const std::array<QString, 3>& texts, bool bold,
                     bool header) {
    int x = Left;
    for (int c = 0; c < 3; ++c) {
        const QRect cell(x, top, PaymentWidths[c], LineHeight);
        if (header)
            p.fillRect(cell, QColor(235, 235, 235));
        p.setPen(Rule);
        p.drawRect(cell);
        const int align = header ? Qt::AlignHCenter : c == 1 ? Qt::AlignRight : Qt::AlignLeft;
        DrawFitted(p, cell, align, texts[size_t(c)], 8, bold || header);
        x += PaymentWidths[c];
    }
}

} // namespace

namespace MemberAccountPage {

QSizeF size() {
    return QSizeF(Width, Height);
}

int pageCount(const MemberAccountSheet& sheet) {
    return sheet.account.payments.empty() ? 1 : int(PaymentSlices(sheet).size());
}

} // namespace MemberAccountPage

void PaintMemberAccountPage(QPainter& p, const MemberAccountSheet& sheet, int page) {
    const int pages = MemberAccountPage::pageCount(sheet);
    if (page < 0 || page >= pages)
        return;
    const MemberAccount& a = sheet.account;
    p.save();
    p.setPen(Qt::black);
    int y = 0;
    if (page == 0) {
        if (!sheet.partnership.isEmpty()) {
            p.setFont(twipsFont(12, true));
            p.drawText(QRect(Left, y, Inner, PartnershipHeight), Qt::AlignCenter,
                       sheet.partnership);
            y += PartnershipHeight;
        }
        p.setFont(twipsFont(11, true));
        p.drawText(QRect(Left, y, Inner, TitleHeight), Qt::AlignCenter,
                   u"Лицевой счёт абонента за %1 год"_s.arg(YearText(a.yearIndex)));
        y += TitleHeight;
        p.setFont(twipsFont(10));
        p.drawText(QRect(Left, y, Inner, CaptionHeight), Qt::AlignCenter, a.caption);
        DrawMonths(p, sheet, TableTop(sheet));
        y = TableBottom(sheet) + Gap;
    }
    if (!a.payments.empty()) {
        const auto [first, count] = PaymentSlices(sheet)[size_t(page)];
        if (page == 0) {
            p.setFont(twipsFont(10, true));
            p.drawText(QRect(Left, y, Inner, PaymentsTitleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                       u"Платежи из выписок банка"_s);
            y += PaymentsTitleHeight;
        }
        DrawPaymentLine(p, y, {u"Дата"_s, u"Сумма, руб."_s, u"Номер документа"_s}, true, true);
        y += LineHeight;
        for (int line = first; line < first + count; ++line, y += LineHeight) {
            if (line < int(a.payments.size())) {
                const MemberAccountPayment& pay = a.payments[size_t(line)];
                DrawPaymentLine(p, y, {pay.dateText, KopecksText(pay.kopecks), pay.number}, false,
                                false);
            } else {
                DrawPaymentLine(p, y, {u"Итого"_s, KopecksText(a.paymentsKopecks), QString()}, true,
                                false);
            }
        }
    }
    p.setFont(twipsFont(8));
    p.setPen(Qt::black);
    const QRect foot(Left, FootTop + 150, Inner, FootHeight - 150);
    p.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter,
               u"Сформировано "_s + sheet.made.toString(u"dd.MM.yyyy"_s));
    p.drawText(foot, Qt::AlignRight | Qt::AlignVCenter,
               u"Страница %1 из %2"_s.arg(page + 1).arg(pages));
    p.restore();
}

PrintJob MemberAccountPrintJob(const MemberAccountSheet& sheet) {
    PrintJob job;
    job.title = u"Лицевой счёт абонента "_s + sheet.account.caption;
    job.orientation = PageOrientation::Portrait;
    job.pageCount = MemberAccountPage::pageCount(sheet);
    job.paint = [sheet](QPainter& painter, int page, double width, double height) {
        PageGeometry::fitPage(painter, MemberAccountPage::size(), width, height);
        PaintMemberAccountPage(painter, sheet, page);
    };
    return job;
}

bool WriteMemberAccountPdf(const MemberAccountSheet& sheet, const QString& path, QString* error) {
    // Made in memory first: the PDF engine does not look at what its device
    // wrote, and a disk that fills up takes a short write without an error,
    // which would leave a cut file in place of the old one.
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    const PrintJob job = MemberAccountPrintJob(sheet);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(job.title);
        writer.setCreator(u"Остреванка"_s);
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        QPainter painter(&writer);
        const QRect area = writer.pageLayout().paintRectPixels(writer.resolution());
        for (int page = 0; page < job.pageCount; ++page) {
            if (page > 0)
                writer.newPage();
            painter.save();
            job.paint(painter, page, area.width(), area.height());
            painter.restore();
        }
    }
    return DatabaseFile::writeAtomically(path, pdf, {}, error);
}
