#pragma once

#include <optional>

#include <QString>
#include <QStringList>

// The years the year selectors offer: 2017 up to a last year, never before
// 2024 nor after 2099. The table holds the ones its windows offer.
class OfferedYears {
public:
    OfferedYears(); // 2017..2024
    explicit OfferedYears(int lastYear);

    const QStringList& texts() const { return m_texts; }
    int count() const { return int(m_texts.size()); }
    QString first() const { return m_texts.front(); }
    QString last() const { return m_texts.back(); }
    // The year index of an offered year's text; none for any other text.
    std::optional<int> indexOf(const QString& yearText) const;
    bool offers(int yearIndex) const { return yearIndex >= 0 && yearIndex < count(); }

private:
    QStringList m_texts;
};
