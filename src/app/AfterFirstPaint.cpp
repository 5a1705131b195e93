#include "AfterFirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class FirstPaintWatch final : public QObject {
public:
    FirstPaintWatch(QWidget* window, std::function<void()> then, int latest)
        : QObject(window), m_then(std::move(then)) {
        window->installEventFilter(this);
        QTimer::singleShot(latest, this, &FirstPaintWatch::fire);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // Queued: the paint itself goes first.
        if (watched == parent() && event->type() == QEvent::Paint)
            QTimer::singleShot(0, this, &FirstPaintWatch::fire);
        return false;
    }

private:
    void fire() {
        if (!m_then)
            return;
        std::function<void()> then = std::move(m_then);
        m_then = nullptr;
        parent()->removeEventFilter(this);
        deleteLater();
        then();
    }

    std::function<void()> m_then;
};

} // namespace

void AfterFirstPaint(QWidget* window, std::function<void()> then, int latest) {
    new FirstPaintWatch(window, std::move(then), latest);
}
