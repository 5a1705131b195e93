#include "StatementLoad.h"

#include "StatementLoadSteps.h"
#include "StatementReviewWindow.h"
#include "core/AppState.h"
#include "core/Platform.h"
#include "documents/PayeeDetails.h"
#include "storage/Database.h"

using namespace Qt::StringLiterals;

namespace {
const QString Title = u"Выписка банка"_s;
}

bool LoadBankStatement(AppState& state, Database& database, Platform& platform, QWidget* parent) {
    const QString path = platform.openFileName(u"Загрузить выписку банка"_s, state.programFolder,
                                               u"Выписка банка (*.txt);;Все файлы (*)"_s);
    if (path.isEmpty())
        return false;
    const QString payeeAccount =
        LoadPayeeDetails(platform.settings()).normalized()[PayeeField::Account];
    StatementToReview review = ReadStatementToReview(
        path, state.table, payeeAccount, database.journal(), database.setAsideJournals());
    if (!review.ok()) {
        platform.message(review.refusal, Title, MsgIcon::Warning, MsgButtons::Ok);
        return false;
    }
    {
        StatementReviewWindow window(state.table, review, platform, state.programFolder, parent);
        if (window.exec() != QDialog::Accepted)
            return false;
    }
    const SavedPayments saved = WriteAndSavePayments(database, state.table, review, platform.now());
    platform.message(saved.message, Title, saved.saved ? MsgIcon::Information : MsgIcon::Critical,
                     MsgButtons::Ok);
    return saved.written > 0;
}
