#include "Preferences.h"

#include "core/AppState.h"
#include "core/Settings.h"

using namespace Qt::StringLiterals;

namespace {
const QString Section = u"Nastr"_s;

QString oneOrZero(bool on) {
    return on ? u"1"_s : u"0"_s;
}
} // namespace

void StoreColors(const AppState& state, Settings& settings) {
    for (int i = 0; i < 3; ++i)
        settings.setNumber(Section, u"Color%1"_s.arg(i + 1), state.cellColors[size_t(i)]);
    settings.sync();
}

void LoadColors(AppState& state, const Settings& settings) {
    const int storedEmpty[3] = {12648384, 8454016, 8421631};
    for (int i = 0; i < 3; ++i) {
        const QString key = u"Color%1"_s.arg(i + 1);
        const QString stored = settings.text(Section, key);
        bool ok = false;
        int value = stored.trimmed().toInt(&ok);
        if (stored.isEmpty())
            value = storedEmpty[i];
        else if (!ok)
            value = Settings::defaultText(Section, key).toInt();
        state.cellColors[size_t(i)] = value;
    }
}

void StoreLedgerPreferences(const AppState& state, Settings& settings) {
    settings.setText(Section, u"flPls"_s, state.flPls ? u"True"_s : u"False"_s);
    settings.setText(Section, u"flPs"_s, oneOrZero(state.flPs));
    settings.sync();
}

void StoreAutosave(bool on, Settings& settings) {
    settings.setText(Section, u"flSave"_s, oneOrZero(on));
    settings.sync();
}
