#include "storage/PaymentJournal.h"

#include <optional>

#include "core/MoneyText.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int FieldCount = 11;

QString Field(const QString& text) {
    QString f = text;
    for (QChar& c : f)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return f;
}

bool ReadInt(const QString& text, int& out, int lowest, int highest) {
    bool ok = false;
    out = text.toInt(&ok);
    return ok && out >= lowest && out <= highest;
}

std::optional<JournalEntry> ReadLine(const QString& line) {
    const QStringList f = line.split(u'\t');
    if (f.size() != FieldCount)
        return std::nullopt;
    JournalEntry e;
    e.account = f[0];
    e.number = f[1];
    e.dateText = f[2];
    const auto kopecks = ReadKopecks(f[3]);
    if (!kopecks)
        return std::nullopt;
    e.kopecks = *kopecks;
    e.payerAccount = f[4];
    e.payerInn = f[5];
    e.name = f[7];
    if (!ReadInt(f[6], e.row, 0, 1'000'000) || !ReadInt(f[8], e.month, 1, 12) ||
        !ReadInt(f[9], e.year, 1, 9999))
        return std::nullopt;
    e.written = QDateTime::fromString(f[10], Qt::ISODate);
    if (!e.written.isValid())
        return std::nullopt;
    return e;
}

} // namespace

size_t qHash(const PaymentKey& key, size_t seed) {
    return qHashMulti(seed, key.account, key.number, key.dateText, key.kopecks, key.payerAccount);
}

PaymentKey KeyOf(const JournalEntry& e) {
    return {e.account, e.number, e.dateText, e.kopecks, e.payerAccount};
}

PaymentJournal PaymentJournal::fromBytes(QByteArrayView utf8) {
    PaymentJournal j;
    const QString text = QString::fromUtf8(utf8);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QString l = line.toString();
        if (auto e = ReadLine(l))
            j.m_entries.push_back(std::move(*e));
        else
            j.m_unreadable << l;
    }
    j.rebuildIndex();
    return j;
}

QByteArray PaymentJournal::toBytes() const {
    QString out;
    for (const JournalEntry& e : m_entries) {
        const QStringList f = {Field(e.account),
                               Field(e.number),
                               Field(e.dateText),
                               KopecksText(e.kopecks),
                               Field(e.payerAccount),
                               Field(e.payerInn),
                               QString::number(e.row),
                               Field(e.name),
                               QString::number(e.month),
                               QString::number(e.year),
                               e.written.toString(Qt::ISODate)};
        out += f.join(u'\t') + u'\n';
    }
    for (const QString& l : m_unreadable)
        out += l + u'\n';
    return out.toUtf8();
}

void PaymentJournal::add(JournalEntry entry) {
    const PaymentKey key = KeyOf(entry);
    m_entries.push_back(std::move(entry));
    if (!m_index.contains(key))
        m_index.insert(key, m_entries.size() - 1);
}

void PaymentJournal::truncate(size_t count) {
    if (count >= m_entries.size())
        return;
    m_entries.resize(count);
    rebuildIndex();
}

const JournalEntry* PaymentJournal::find(const PaymentKey& key) const {
    const auto it = m_index.constFind(key);
    return it == m_index.cend() ? nullptr : &m_entries[*it];
}

void PaymentJournal::renumberAfterDelete(int deleted) {
    for (JournalEntry& e : m_entries) {
        if (e.row == deleted)
            e.row = 0;
        else if (e.row > deleted)
            --e.row;
    }
}

QHash<QString, int> PaymentJournal::soleAccountOwners() const {
    QHash<QString, int> owners; // -1: several subscribers
    for (const JournalEntry& e : m_entries) {
        if (e.row <= 0 || e.payerAccount.isEmpty())
            continue;
        const auto it = owners.find(e.payerAccount);
        if (it == owners.end())
            owners.insert(e.payerAccount, e.row);
        else if (*it != e.row)
            *it = -1;
    }
    owners.removeIf([](const auto& it) { return it.value() < 0; });
    return owners;
}

void PaymentJournal::rebuildIndex() {
    m_index.clear();
    for (size_t i = 0; i < m_entries.size(); ++i) {
        PaymentKey key = KeyOf(m_entries[i]);
        if (!m_index.contains(key))
            m_index.insert(std::move(key), i);
    }
}
