#pragma once

#include <QString>

class Platform;
class QWidget;
class SubscriberTable;

// "Квитанции в PDF по абонентам...": the receipt of every subscriber with
// something to pay for month 1..12 of yearText, each in a PDF of its own in a
// folder the user chooses, to be sent to the member. Refuses without valid
// payee details (the file is for paying by its QR code); asks once before
// files of the same names are replaced; a progress dialog with "Отмена" shows
// when the work takes over a second; ends with a summary. The number of files
// written.
int SaveMonthReceiptPdfs(const SubscriberTable& table, Platform& platform, int month,
                         const QString& yearText, QWidget* parent = nullptr);
