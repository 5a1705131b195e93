#pragma once

#include <memory>

#include <QString>

class QSettings;

// The one gateway to the per-user settings store. Values are texts addressed
// by section and key; every known key has its default in one table, and a
// stored value that does not parse falls back to that default.
class Settings final {
public:
    // app: the executable's name, used as organisation and application.
    explicit Settings(const QString& app);
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // The stored text, or the key's default (the empty text for unknown keys).
    QString text(const QString& section, const QString& key) const;
    // As text(), but the given default when nothing is stored.
    QString text(const QString& section, const QString& key, const QString& fallback) const;
    // The stored number; the key's default when absent or not a whole number.
    int number(const QString& section, const QString& key) const;
    // "1"/"0" or "True"/"False"; the key's default otherwise.
    bool flag(const QString& section, const QString& key) const;
    bool contains(const QString& section, const QString& key) const;

    void setText(const QString& section, const QString& key, const QString& value);
    void setNumber(const QString& section, const QString& key, int value);
    void sync();

    // The default of a known key ("" for unknown keys).
    static QString defaultText(const QString& section, const QString& key);
    QString fileName() const;

private:
    std::unique_ptr<QSettings> m_store;
};
