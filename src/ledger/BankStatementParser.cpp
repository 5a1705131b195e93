#include "BankStatementParser.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "StatementEncoding.h"

using namespace Qt::StringLiterals;

namespace {

enum class Key : uint8_t {
    None,
    SectionAccount,
    EndAccount,
    SectionDocument,
    EndDocument,
    EndFile,
    FormatVersion,
    Encoding,
    Sender,
    Created,
    DateFrom,
    DateTo,
    Account,
    Opening,
    Received,
    Spent,
    Closing,
    Number,
    Date,
    Amount,
    PayerAccount,
    PayerSettlement,
    Payer,
    Payer1,
    PayerInn,
    PayeeAccount,
    PayeeSettlement,
    Payee,
    Payee1,
    ReceivedDate,
    DebitedDate,
    Purpose, // Purpose + k for "НазначениеПлатежа" k = 1..6
};
constexpr int PurposeParts = 7;
// Longer than any key's bytes, blanks around it included.
constexpr qsizetype MaxKeyBytes = 40;

struct KeyName {
    QStringView name;
    Key key;
};
const KeyName KeyNames[] = {
    {u"СекцияРасчСчет", Key::SectionAccount},
    {u"КонецРасчСчет", Key::EndAccount},
    {u"СекцияДокумент", Key::SectionDocument},
    {u"КонецДокумента", Key::EndDocument},
    {u"КонецФайла", Key::EndFile},
    {u"ВерсияФормата", Key::FormatVersion},
    {u"Кодировка", Key::Encoding},
    {u"Отправитель", Key::Sender},
    {u"ДатаСоздания", Key::Created},
    {u"ДатаНачала", Key::DateFrom},
    {u"ДатаКонца", Key::DateTo},
    {u"РасчСчет", Key::Account},
    {u"НачальныйОстаток", Key::Opening},
    {u"ВсегоПоступило", Key::Received},
    {u"ВсегоСписано", Key::Spent},
    {u"КонечныйОстаток", Key::Closing},
    {u"Номер", Key::Number},
    {u"Дата", Key::Date},
    {u"Сумма", Key::Amount},
    {u"ПлательщикСчет", Key::PayerAccount},
    {u"ПлательщикРасчСчет", Key::PayerSettlement},
    {u"Плательщик", Key::Payer},
    {u"Плательщик1", Key::Payer1},
    {u"ПлательщикИНН", Key::PayerInn},
    {u"ПолучательСчет", Key::PayeeAccount},
    {u"ПолучательРасчСчет", Key::PayeeSettlement},
    {u"Получатель", Key::Payee},
    {u"Получатель1", Key::Payee1},
    {u"ДатаПоступило", Key::ReceivedDate},
    {u"ДатаСписано", Key::DebitedDate},
    {u"НазначениеПлатежа", Key::Purpose},
};

// The keys as bytes of one code page, in a small open-addressed table: every
// line's key is looked up, and most lines are keys nobody reads.
class KeyTable {
public:
    explicit KeyTable(StatementCodec codec) {
        for (const KeyName& k : KeyNames)
            add(EncodeStatementText(k.name, codec), k.key);
        for (int part = 1; part < PurposeParts; ++part)
            add(EncodeStatementText(QString(u"НазначениеПлатежа" + QString::number(part)), codec),
                Key(int(Key::Purpose) + part));
    }
    Key find(QByteArrayView name) const {
        if (name.isEmpty() || name.size() >= MaxKeyBytes)
            return Key::None;
        for (size_t i = slotOf(name);; i = (i + 1) % Slots) {
            const Slot& slot = m_slots[i];
            if (slot.key == Key::None)
                return Key::None;
            if (slot.bytes.size() == name.size() &&
                std::memcmp(slot.bytes.constData(), name.data(), size_t(name.size())) == 0)
                return slot.key;
        }
    }

private:
    static constexpr size_t Slots = 128; // over three times the keys: few probes
    struct Slot {
        QByteArray bytes;
        Key key = Key::None;
    };

    // The length and three bytes: no hashing loop, and enough to part the keys.
    static size_t slotOf(QByteArrayView name) {
        const auto byte = [name](qsizetype i) { return size_t(uchar(name[i])); };
        return (size_t(name.size()) * 131 + byte(0) * 7919 + byte(name.size() / 2) * 31 +
                byte(name.size() - 1)) %
               Slots;
    }
    void add(QByteArray bytes, Key key) {
        size_t i = slotOf(bytes);
        while (m_slots[i].key != Key::None)
            i = (i + 1) % Slots;
        m_slots[i] = {std::move(bytes), key};
    }

    std::array<Slot, Slots> m_slots;
};

const KeyTable& KeysOf(StatementCodec codec) {
    static const KeyTable windows(StatementCodec::Windows1251);
    static const KeyTable dos(StatementCodec::Cp866);
    return codec == StatementCodec::Cp866 ? dos : windows;
}

QByteArrayView TrimBlanks(QByteArrayView v) {
    while (!v.isEmpty() && (v.front() == ' ' || v.front() == '\t'))
        v = v.sliced(1);
    while (!v.isEmpty() && (v.back() == ' ' || v.back() == '\t'))
        v.chop(1);
    return v;
}

QString Spaceless(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (const QChar c : s)
        if (!c.isSpace())
            out += c;
    return out;
}

// Banks write the purpose whole in "НазначениеПлатежа", its printed lines in
// "НазначениеПлатежа1".."6", or both: a repeated text is taken once.
QString JoinPurpose(const QString (&parts)[PurposeParts]) {
    QString lines;
    for (int k = 1; k < PurposeParts; ++k)
        if (!parts[k].isEmpty())
            lines += (lines.isEmpty() ? QString() : u" "_s) + parts[k];
    const QString& whole = parts[0];
    if (lines.isEmpty())
        return whole;
    if (whole.isEmpty())
        return lines;
    const QString a = Spaceless(whole), b = Spaceless(lines);
    if (a.contains(b))
        return whole;
    if (b.startsWith(a))
        return lines;
    return whole + u' ' + lines;
}

void ReadDocumentValues(StatementDocument& d) {
    QStringList errors;
    if (d.amountText.isEmpty())
        errors << u"нет суммы"_s;
    else if (!(d.kopecks = ReadKopecks(d.amountText)))
        errors << u"сумма «"_s + d.amountText + u"» не читается"_s;
    d.date = ReadStatementDate(d.dateText);
    if (d.dateText.isEmpty())
        errors << u"нет даты"_s;
    else if (!d.date.isValid())
        errors << u"дата «"_s + d.dateText + u"» не читается"_s;
    d.paymentDate = d.date;
    if (!d.receivedText.isEmpty()) {
        // Mostly the document's own day, read already.
        if (d.receivedText != d.dateText)
            d.paymentDate = ReadStatementDate(d.receivedText);
        if (!d.paymentDate.isValid())
            errors << u"дата поступления «"_s + d.receivedText + u"» не читается"_s;
    }
    d.error = errors.join(u"; "_s);
}

class StatementReader {
public:
    StatementReader(BankStatement& st, StatementCodec codec)
        : m_st(st), m_table(StatementByteTable(codec)), m_keys(KeysOf(codec)) {}

    // False once the end of the file is read.
    // eq: where the line's first "=" is, or -1.
    bool line(QByteArrayView text, qsizetype eq, int number);
    void finish();

private:
    enum class Part { Header, Account, Document };

    QString decode(QByteArrayView v) const {
        QString out(v.size(), Qt::Uninitialized);
        char16_t* dst = reinterpret_cast<char16_t*>(out.data());
        for (qsizetype i = 0; i < v.size(); ++i)
            dst[i] = m_table[uchar(v[i])];
        return out;
    }
    QString recentText(Key key, QByteArrayView value);
    void dropOpenPart();
    void headerValue(Key key, QByteArrayView value);
    void accountValue(Key key, QByteArrayView value);
    void documentValue(Key key, QByteArrayView value);

    BankStatement& m_st;
    const std::array<char16_t, 256>& m_table;
    const KeyTable& m_keys;
    Part m_part = Part::Header;
    int m_partLine = 0;
    bool m_ended = false;
    StatementAccountSection m_section;
    StatementDocument m_doc;
    struct Recent {
        QByteArrayView bytes; // into the file's bytes, which outlive the reader
        QString text;
    };
    std::array<Recent, size_t(Key::Purpose) + PurposeParts> m_recent;
    QString m_purpose[PurposeParts];
};

void StatementReader::dropOpenPart() {
    if (m_part == Part::Document)
        m_st.warnings << u"Документ, начатый в строке %1, не закончен строкой «КонецДокумента»: "
                         u"он не прочитан."_s.arg(m_partLine);
    else if (m_part == Part::Account)
        m_st.warnings << u"Раздел счёта, начатый в строке %1, не закончен строкой "
                         u"«КонецРасчСчет»: он не прочитан."_s.arg(m_partLine);
    m_part = Part::Header;
}

bool StatementReader::line(QByteArrayView text, qsizetype eq, int number) {
    const QByteArrayView name = TrimBlanks(eq < 0 ? text : text.first(eq));
    const Key key = m_keys.find(name);
    if (key == Key::None)
        return true;
    const QByteArrayView value = eq < 0 ? QByteArrayView() : TrimBlanks(text.sliced(eq + 1));
    switch (key) {
    case Key::SectionAccount:
        dropOpenPart();
        m_part = Part::Account;
        m_partLine = number;
        m_section = {};
        return true;
    case Key::EndAccount:
        if (m_part == Part::Account) {
            m_st.sections.push_back(std::move(m_section));
            m_part = Part::Header;
        }
        return true;
    case Key::SectionDocument:
        dropOpenPart();
        m_part = Part::Document;
        m_partLine = number;
        m_doc = {};
        m_doc.kind = recentText(key, value);
        m_doc.line = number;
        for (QString& p : m_purpose)
            p.clear();
        return true;
    case Key::EndDocument:
        if (m_part == Part::Document) {
            m_doc.purpose = JoinPurpose(m_purpose);
            ReadDocumentValues(m_doc);
            m_st.documents.push_back(std::move(m_doc));
            m_part = Part::Header;
        }
        return true;
    case Key::EndFile:
        dropOpenPart();
        m_ended = true;
        return false;
    default:
        break;
    }
    switch (m_part) {
    case Part::Header:
        headerValue(key, value);
        break;
    case Part::Account:
        accountValue(key, value);
        break;
    case Part::Document:
        documentValue(key, value);
        break;
    }
    return true;
}

void StatementReader::headerValue(Key key, QByteArrayView value) {
    switch (key) {
    case Key::FormatVersion:
        m_st.formatVersion = decode(value);
        break;
    case Key::Encoding:
        m_st.encoding = decode(value);
        break;
    case Key::Sender:
        m_st.sender = decode(value);
        break;
    case Key::Created:
        m_st.created = decode(value);
        break;
    case Key::DateFrom:
        m_st.dateFrom = decode(value);
        break;
    case Key::DateTo:
        m_st.dateTo = decode(value);
        break;
    case Key::Account:
        if (!value.isEmpty())
            m_st.accounts << decode(value);
        break;
    default:
        break;
    }
}

void StatementReader::accountValue(Key key, QByteArrayView value) {
    switch (key) {
    case Key::DateFrom:
        m_section.dateFrom = decode(value);
        break;
    case Key::DateTo:
        m_section.dateTo = decode(value);
        break;
    case Key::Account:
        m_section.account = decode(value);
        break;
    case Key::Opening:
        m_section.opening = ReadKopecks(decode(value));
        break;
    case Key::Received:
        m_section.received = ReadKopecks(decode(value));
        break;
    case Key::Spent:
        m_section.spent = ReadKopecks(decode(value));
        break;
    case Key::Closing:
        m_section.closing = ReadKopecks(decode(value));
        break;
    default:
        break;
    }
}

void StatementReader::documentValue(Key key, QByteArrayView value) {
    QString* field = nullptr;
    switch (key) {
    case Key::Number:
        field = &m_doc.number;
        break;
    case Key::Date:
        field = &m_doc.dateText;
        break;
    case Key::Amount:
        field = &m_doc.amountText;
        break;
    case Key::PayerAccount:
        field = &m_doc.payerAccount;
        break;
    case Key::PayerSettlement:
        field = &m_doc.payerSettlementAccount;
        break;
    case Key::Payer:
        field = &m_doc.payer;
        break;
    case Key::Payer1:
        field = &m_doc.payer1;
        break;
    case Key::PayerInn:
        field = &m_doc.payerInn;
        break;
    case Key::PayeeAccount:
        field = &m_doc.payeeAccount;
        break;
    case Key::PayeeSettlement:
        field = &m_doc.payeeSettlementAccount;
        break;
    case Key::Payee:
        field = &m_doc.payee;
        break;
    case Key::Payee1:
        field = &m_doc.payee1;
        break;
    case Key::ReceivedDate:
        field = &m_doc.receivedText;
        break;
    case Key::DebitedDate:
        field = &m_doc.debitedText;
        break;
    default:
        if (key >= Key::Purpose && int(key) < int(Key::Purpose) + PurposeParts)
            field = &m_purpose[int(key) - int(Key::Purpose)];
        break;
    }
    if (field)
        *field = recentText(key, value);
}

// Many documents repeat a value (the payee, a bank's transit account, the
// day), and a document's dates are mostly one day: the same bytes share the
// text decoded before.
QString StatementReader::recentText(Key key, QByteArrayView value) {
    if (key == Key::ReceivedDate || key == Key::DebitedDate)
        key = Key::Date;
    Recent& r = m_recent[size_t(key)];
    if (r.bytes.isNull() || r.bytes != value)
        r = {value, decode(value)};
    return r.text;
}

void StatementReader::finish() {
    dropOpenPart();
    if (!m_ended)
        m_st.warnings << u"В файле нет строки «КонецФайла»: возможно, он передан не полностью. "
                         u"Прочитано то, что в нём целиком."_s;
}

bool StartsAsStatement(QByteArrayView bytes) {
    const qsizetype nl = bytes.indexOf('\n');
    QByteArrayView first = nl < 0 ? bytes : bytes.first(nl);
    if (first.startsWith("\xEF\xBB\xBF"))
        first = first.sliced(3);
    return first.trimmed() == "1CClientBankExchange";
}

} // namespace

BankStatementRead ParseBankStatement(QByteArrayView bytes) {
    BankStatementRead res;
    if (bytes.size() > MaxStatementBytes) {
        res.failure = StatementFailure::TooLarge;
        return res;
    }
    if (!StartsAsStatement(bytes)) {
        res.failure = StatementFailure::NotStatement;
        return res;
    }
    BankStatement& st = res.statement;
    const StatementEncoding enc = DetectStatementEncoding(bytes);
    if (!enc.found)
        st.warnings << u"Кодировка не указана: файл прочитан как Windows-1251."_s;
    else if (!enc.known)
        st.warnings << u"Кодировка «"_s + enc.written +
                           u"» неизвестна: файл прочитан как "
                           u"Windows-1251."_s;
    StatementReader reader(st, enc.codec);
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    int number = 0;
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        const char* lineEnd = nl ? nl : end;
        // A key is short: an "=" further on ends no key this reader knows.
        const char* eq = static_cast<const char*>(
            std::memchr(p, '=', size_t(std::min<qsizetype>(lineEnd - p, MaxKeyBytes + 1))));
        QByteArrayView text(p, lineEnd - p);
        if (!text.isEmpty() && text.back() == '\r')
            text.chop(1);
        p = nl ? nl + 1 : end;
        if (++number > 1 && !reader.line(text, eq ? eq - text.data() : -1, number))
            break;
    }
    reader.finish();
    return res;
}

QString StatementFailureText(StatementFailure failure) {
    switch (failure) {
    case StatementFailure::None:
        return {};
    case StatementFailure::NotStatement:
        return u"Файл не похож на выписку банка в формате 1С: первая строка не "
               u"«1CClientBankExchange»."_s;
    case StatementFailure::TooLarge:
        return u"Файл больше 50 МБ: это не выписка банка, он не загружается."_s;
    }
    return {};
}
