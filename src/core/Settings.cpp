#include "Settings.h"

#include <QHash>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace {

struct KeyDefault {
    const char16_t* section;
    const char16_t* key;
    const char16_t* value;
};

// Every known key with its default.
constexpr KeyDefault Defaults[] = {
    {u"Nastr", u"Color1", u"15137717"},
    {u"Nastr", u"Color2", u"16776960"},
    {u"Nastr", u"Color3", u"65535"},
    {u"Nastr", u"Cmb0", u""}, // the caller falls back to row 1's name
    {u"Nastr", u"Cmb1", u"2017"},
    {u"Nastr", u"flSave", u"1"},
    {u"Nastr", u"flPls", u"True"},
    {u"Nastr", u"flPs", u"1"},
    {u"Nastr", u"Form1.Ch1", u"0"},
    {u"Nastr", u"Form1.Ch2", u"0"},
    {u"Nastr", u"Ch1", u"1"},
    {u"Nastr", u"Ch2", u"1"},
    {u"Nastr", u"txtOPL", u""},
    {u"Nastr", u"Ch100", u"0"},
    {u"Nastr", u"lb0", u"СНТ \"Остреванка\""},
    {u"Nastr", u"lb1", u"0"},
    {u"Nastr", u"lb4", u"Основание: Оплата эл. энергии"},
    {u"Nastr", u"lb14", u"Оплата эл. энергии"},
    {u"Nastr", u"lb19", u"Петрова А. В."},
    {u"Nastr", u"lb20", u"Петрова А. В."},
    {u"Nastr", u"BezNDS", u"0"}, // the order's VAT: 0 the rate by date, 1 "без НДС"
    {u"Nastr", u"Cmb10", u""},
    {u"Nastr", u"Li", u"0"},
    {u"Rekv", u"Purpose", u"Оплата электроэнергии за {месяц} {год}, участок {участок}, {фио}"},
    {u"TunGrid", u"CW(0)", u"405"},
    {u"TunGrid", u"CW(1)", u"3675"},
    {u"TunGrid", u"CW(2)", u"2370"},
    {u"TunGrid", u"CW(3)", u"1755"},
    {u"TunGrid", u"CW(4)", u"2100"},
    {u"TunGrid", u"CW(5)", u"2640"},
};

QString path(const QString& section, const QString& key) {
    return section + u'/' + key;
}

} // namespace

Settings::Settings(const QString& app)
    : m_store(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, app, app)) {}

Settings::~Settings() = default;

QString Settings::defaultText(const QString& section, const QString& key) {
    for (const auto& d : Defaults)
        if (section == QStringView(d.section) && key == QStringView(d.key))
            return QString::fromUtf16(d.value);
    return {};
}

bool Settings::contains(const QString& section, const QString& key) const {
    return m_store->contains(path(section, key));
}

QString Settings::text(const QString& section, const QString& key) const {
    return text(section, key, defaultText(section, key));
}

QString Settings::text(const QString& section, const QString& key, const QString& fallback) const {
    const QVariant v = m_store->value(path(section, key));
    if (!v.isValid())
        return fallback;
    return v.toString();
}

int Settings::number(const QString& section, const QString& key) const {
    bool ok = false;
    const int v = text(section, key).trimmed().toInt(&ok);
    if (ok)
        return v;
    return defaultText(section, key).toInt();
}

bool Settings::flag(const QString& section, const QString& key) const {
    const auto parse = [](const QString& t, bool* ok) {
        const QString s = t.trimmed().toLower();
        *ok = true;
        if (s == u"1"_s || s == u"true"_s || s == u"-1"_s)
            return true;
        if (s == u"0"_s || s == u"false"_s)
            return false;
        *ok = false;
        return false;
    };
    bool ok = false;
    const bool v = parse(text(section, key), &ok);
    if (ok)
        return v;
    return parse(defaultText(section, key), &ok);
}

void Settings::setText(const QString& section, const QString& key, const QString& value) {
    m_store->setValue(path(section, key), value);
}

void Settings::setNumber(const QString& section, const QString& key, int value) {
    setText(section, key, QString::number(value));
}

void Settings::sync() {
    m_store->sync();
}

QString Settings::fileName() const {
    return m_store->fileName();
}
