#pragma once

#include <functional>

class QWidget;

// Runs `then` once, from the event loop, after `window` has first been
// painted, or after `latest` milliseconds if it has not been by then (a
// window started minimized).
void AfterFirstPaint(QWidget* window, std::function<void()> then, int latest = 2000);
