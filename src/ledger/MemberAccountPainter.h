#pragma once

#include <QDate>
#include <QSizeF>
#include <QString>

#include "MemberAccount.h"
#include "core/Platform.h"

class QPainter;

// What a printed member's account shows besides the account itself.
struct MemberAccountSheet {
    MemberAccount account;
    QString partnership; // the payee's name; empty: no line for it
    QDate made;
};

// The printed account: portrait pages in twips; the heading, the months and
// the totals on the first page, the bank payments after them, continued on
// further pages with their header repeated; the date and the page number at
// the foot of every page.
namespace MemberAccountPage {
constexpr double Width = 10800;
constexpr double Height = 15600;
QSizeF size();
int pageCount(const MemberAccountSheet& sheet);
} // namespace MemberAccountPage

// Draws page `page` (0-based) of the sheet.
void PaintMemberAccountPage(QPainter& painter, const MemberAccountSheet& sheet, int page);

PrintJob MemberAccountPrintJob(const MemberAccountSheet& sheet);

// Writes the pages as an A4 portrait PDF. The file is made under a temporary
// name beside `path` and renamed over it once whole, so a failed write leaves
// no half-written file and any earlier file of that name as it was. false,
// with the reason in *error, when it could not be written.
bool WriteMemberAccountPdf(const MemberAccountSheet& sheet, const QString& path, QString* error);
