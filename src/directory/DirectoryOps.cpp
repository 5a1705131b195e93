#include "DirectoryOps.h"

#include <algorithm>
#include <vector>

#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

DirectoryFields FieldsOf(const SubscriberTable& table, int row) {
    DirectoryFields f;
    for (int k = 0; k < 5; ++k)
        f[size_t(k)] = table.cell(row, ColName + k);
    return f;
}

FindResult FindByName(const SubscriberTable& table, const QString& text) {
    FindResult r;
    r.needle = text.toLower();
    if (r.needle.isEmpty())
        return r;
    for (int i = 1; i <= table.subscriberCount(); ++i)
        if (table.cellView(i, ColName).toString().toLower().contains(r.needle))
            r.rows.append(i);
    return r;
}

QString FindMessageTitle(const FindResult& result) {
    if (result.rows.isEmpty())
        return u"Результаты поиска    "_s;
    return u"Результаты поиска    \""_s + result.needle + u'"';
}

QString FindMessageText(const FindResult& result) {
    if (result.rows.isEmpty())
        return u"Выражение   \""_s + result.needle + u"\"   не найдено."_s;
    return u" Количество найденых строк = "_s + QString::number(result.rows.size()) +
           u".  Номер первой найденной строки = "_s + QString::number(result.firstRow());
}

bool CanDelete(const SubscriberTable& table, int selRow) {
    return table.subscriberCount() > 1 && selRow > 1 && selRow <= table.subscriberCount();
}

QString DeleteQuestion(const SubscriberTable& table, int selRow) {
    return u"Вы действительно хотите удалить из справочника запись № "_s + QString::number(selRow) +
           u" ["_s + table.cell(selRow, ColName) + u"]"_s;
}

bool DeleteSubscriber(SubscriberTable& table, int selRow) {
    if (!CanDelete(table, selRow))
        return false;
    const int count = table.subscriberCount();
    // Every column after the number moves, the years kept after the stored
    // ones included, so nothing of the deleted subscriber stays behind.
    for (int i = selRow; i < count; ++i) {
        const QString number = table.cell(i, ColRowNumber);
        QString text;
        std::vector<uint32_t> starts, lengths;
        const int last = std::max<int>(ColRowNumber, table.heldColumns(i + 1));
        starts.reserve(size_t(last));
        lengths.reserve(size_t(last));
        for (int c = ColRowNumber; c <= last; ++c) {
            const CellText v = c == ColRowNumber ? CellText(number) : table.cellView(i + 1, c);
            starts.push_back(uint32_t(text.size()));
            lengths.push_back(uint32_t(v.size()));
            text += v;
        }
        table.assignRow(i, std::move(text), starts, lengths, ColRowNumber);
    }
    table.setSubscriberCount(count - 1);
    return true;
}

QString TrimSpaces(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == u' ')
        ++from;
    while (to > from && text[to - 1] == u' ')
        --to;
    return text.mid(from, to - from);
}

QString ProperCase(const QString& text) {
    QString out = text;
    bool wordStart = true;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out[i];
        if (c.isSpace() || c == QChar(0)) {
            wordStart = true;
            continue;
        }
        out[i] = wordStart ? c.toUpper() : c.toLower();
        wordStart = false;
    }
    return out;
}

bool NameExists(const SubscriberTable& table, const QString& name, int lastRow) {
    const QString needle = name.toLower();
    if (needle.isEmpty())
        return false;
    for (int i = 1; i <= std::min(lastRow, int(SubscriberTable::MaxRow)); ++i)
        if (table.cellView(i, ColName).toString().toLower() == needle)
            return true;
    return false;
}

AddStatus AddPending(SubscriberTable& table, int addedCount, const DirectoryFields& fields) {
    if (TrimSpaces(fields[0]).isEmpty())
        return AddStatus::EmptyName;
    const int n = table.subscriberCount() + addedCount + 1;
    if (n > SubscriberTable::MaxRow)
        return AddStatus::TableFull;
    table.clearRow(n);
    table.setCell(n, ColRowNumber, QString::number(n));
    for (int k = 0; k < 5; ++k)
        table.setCell(n, ColName + k, TrimSpaces(fields[size_t(k)]));
    return AddStatus::Added;
}

void CommitPending(SubscriberTable& table, int addedCount) {
    table.setSubscriberCount(
        std::min(table.subscriberCount() + addedCount, int(SubscriberTable::MaxRow)));
}

void StoreEdit(SubscriberTable& table, int row, const DirectoryFields& fields) {
    for (int k = 0; k < 5; ++k)
        table.setCell(row, ColName + k, fields[size_t(k)]);
}
