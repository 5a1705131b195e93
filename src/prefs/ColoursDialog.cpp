#include "ColoursDialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include "Preferences.h"
#include "core/AppState.h"
#include "core/Platform.h"

using namespace Qt::StringLiterals;

ColoursDialog::ColoursDialog(AppState& state, Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_state(state),
      m_platform(platform), m_work(state.cellColors) {
    setObjectName(u"frmColor"_s);
    setWindowTitle(u"Настройка цвета таблицы"_s);

    const QString captions[3] = {u"Цвет нечетных строк таблицы"_s, u"Цвет четных строк таблицы"_s,
                                 u"Цвет выделенной ячейки таблицы"_s};
    for (int i = 0; i < 3; ++i) {
        const int top = 16 + i * 40;
        auto* sample = new QLabel(this);
        sample->setObjectName(u"Lb%1"_s.arg(i + 1));
        sample->setFrameShape(QFrame::Box);
        sample->setAutoFillBackground(true);
        sample->setGeometry(16, top, 64, 28);
        m_samples[size_t(i)] = sample;

        auto* button = new QPushButton(captions[i], this);
        button->setObjectName(u"Cmd%1"_s.arg(i + 1));
        button->setGeometry(92, top, 252, 28);
        connect(button, &QPushButton::clicked, this, [this, i] { choose(i); });
        m_buttons[size_t(i)] = button;
        paintSample(i);
    }

    auto* defaults = new QPushButton(u"По умолчанию"_s, this);
    defaults->setObjectName(u"CmdUmolch"_s);
    defaults->setGeometry(16, 144, 150, 30);
    connect(defaults, &QPushButton::clicked, this, &ColoursDialog::setDefaults);

    auto* ok = new QPushButton(u"OK"_s, this);
    ok->setObjectName(u"CmdOk"_s);
    ok->setDefault(true);
    ok->setGeometry(244, 144, 100, 30);
    connect(ok, &QPushButton::clicked, this, &ColoursDialog::accept);

    setFixedSize(360, 190);
}

void ColoursDialog::choose(int index) {
    QPushButton* button = m_buttons[size_t(index)];
    button->setEnabled(false);
    // A cancelled dialog keeps the colour shown: cancelling means "no change".
    if (const auto chosen = m_platform.chooseColor(m_work[size_t(index)]))
        m_work[size_t(index)] = *chosen;
    button->setEnabled(true);
    paintSample(index);
}

void ColoursDialog::setDefaults() {
    m_work = DefaultCellColors;
    for (int i = 0; i < 3; ++i)
        paintSample(i);
}

void ColoursDialog::accept() {
    m_state.cellColors = m_work;
    StoreColors(m_state, m_platform.settings());
    emit colorsChanged();
    close();
}

void ColoursDialog::paintSample(int index) {
    QLabel* sample = m_samples[size_t(index)];
    QPalette p = sample->palette();
    p.setColor(QPalette::Window, QColor::fromRgb(QRgb(BgrToRgb(m_work[size_t(index)]))));
    sample->setPalette(p);
}

void ColoursDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
