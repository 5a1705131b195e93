#include "MonthReceiptPdfs.h"

#include <QDir>
#include <QProgressDialog>

#include "PayeeDetails.h"
#include "PayeeValidation.h"
#include "ReceiptFiles.h"
#include "ReceiptPdf.h"
#include "core/MonthNames.h"
#include "core/Platform.h"
#include "core/Settings.h"

using namespace Qt::StringLiterals;

namespace {

const QString Title = u"Квитанции в PDF по абонентам"_s;
// The folder chosen last time.
const QString FolderKey = u"KvitPdfDir"_s;

bool PayeeUsable(const PayeeDetails& payee) {
    return !payee.isEmpty() && ValidatePayee(payee.normalized()).empty();
}

// Yes: replace them; No: keep them and write the rest; Cancel: nothing.
MsgAnswer AskToReplace(Platform& platform, const QString& folder, const QString& period,
                       const QStringList& existing) {
    const QString text = u"В папке «%1» уже есть файлы квитанций за %2: %3 (например, «%4»).\n"
                         "Заменить их?\n«Нет» — оставить их и записать только остальные."_s.arg(
                             QDir::toNativeSeparators(folder), period,
                             QString::number(existing.size()), existing.first());
    return platform.message(text, Title, MsgIcon::Question, MsgButtons::YesNoCancel, MsgAnswer::No);
}

void TellSummary(Platform& platform, const QString& folder, int toWrite, int kept,
                 const ReceiptPdfsWritten& result) {
    QString text = u"Записано квитанций: %1 в папку «%2»."_s.arg(result.written)
                       .arg(QDir::toNativeSeparators(folder));
    if (kept > 0)
        text += u"\nОставлены прежние файлы: %1."_s.arg(kept);
    if (result.stopped)
        text += u"\nЗапись остановлена: не записано %1."_s.arg(toWrite - result.written);
    if (!result.failedFile.isEmpty())
        text += u"\nНе удалось записать «%1»: %2\nНе записано: %3."_s.arg(
            result.failedFile, result.error, QString::number(toWrite - result.written));
    platform.message(text, Title,
                     result.failedFile.isEmpty() ? MsgIcon::Information : MsgIcon::Warning,
                     MsgButtons::Ok);
}

} // namespace

int SaveMonthReceiptPdfs(const SubscriberTable& table, Platform& platform, int month,
                         const QString& yearText, QWidget* parent) {
    Settings& settings = platform.settings();
    const PayeeDetails payee = LoadPayeeDetails(settings);
    if (!PayeeUsable(payee)) {
        platform.message(u"Нет верных реквизитов получателя, а без них в квитанции нет QR-кода "
                         "для оплаты. Заполните их: Настройки → Реквизиты получателя..."_s,
                         Title, MsgIcon::Warning, MsgButtons::Ok);
        return 0;
    }
    const QString period = MonthName(month) + u' ' + yearText;
    std::vector<ReceiptFile> files = MonthReceiptFiles(table, month, yearText);
    if (files.empty()) {
        platform.message(u"За "_s + period + u" нет квитанций к оплате."_s, Title,
                         MsgIcon::Information, MsgButtons::Ok);
        return 0;
    }
    const QString folder =
        platform.chooseFolder(u"Папка для квитанций за "_s + period,
                              settings.text(u"Nastr"_s, FolderKey, QDir::homePath()));
    if (folder.isEmpty())
        return 0;
    settings.setText(u"Nastr"_s, FolderKey, folder);

    const QStringList existing = ExistingReceiptFiles(folder, files);
    int kept = 0;
    if (!existing.isEmpty()) {
        const MsgAnswer answer = AskToReplace(platform, folder, period, existing);
        if (answer == MsgAnswer::Cancel)
            return 0;
        if (answer == MsgAnswer::No) {
            std::erase_if(
                files, [&existing](const ReceiptFile& f) { return existing.contains(f.fileName); });
            kept = int(existing.size());
        }
    }

    const int toWrite = int(files.size());
    QProgressDialog progress(u"Запись квитанций в PDF..."_s, u"Отмена"_s, 0, toWrite, parent);
    progress.setWindowTitle(Title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(1000);
    progress.setValue(0);
    const ReceiptPdfsWritten result =
        WriteReceiptPdfs(table, payee, settings.text(u"Nastr"_s, u"txtOPL"_s), month, yearText,
                         folder, files, [&progress](int done) {
                             progress.setValue(done);
                             return !progress.wasCanceled();
                         });
    progress.close();
    TellSummary(platform, folder, toWrite, kept, result);
    return result.written;
}
