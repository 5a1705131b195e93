#pragma once

#include <functional>
#include <optional>

#include <QDateTime>
#include <QString>
#include <QStringList>

class QPainter;
class QWidget;
class Settings;

enum class MsgIcon { None, Information, Warning, Critical, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };
enum class PageOrientation { Portrait, Landscape };

// One printed document: its pages are drawn by `paint` on whatever device the
// platform chooses (a printer, a PDF file, the preview). The painter's window
// is the page's printable area in device pixels; `pageRectPx` says how large.
struct PrintJob {
    QString title;
    PageOrientation orientation = PageOrientation::Portrait;
    int pageCount = 1;
    // page: 0-based; pageWidthPx/pageHeightPx: printable area of the device.
    std::function<void(QPainter& painter, int page, double pageWidthPx, double pageHeightPx)> paint;
};

// Everything outside the program that a window may reach: message boxes,
// dialogs, the printer, the shell, the clock and the settings store. The
// program uses the Qt implementation; tests use a scripted one.
class Platform {
public:
    virtual ~Platform() = default;

    // title empty: the application's own title.
    virtual MsgAnswer message(const QString& text, const QString& title, MsgIcon icon,
                              MsgButtons buttons, MsgAnswer defaultButton = MsgAnswer::Ok) = 0;
    // Empty result: the user cancelled.
    virtual QString openFileName(const QString& caption, const QString& directory,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& proposedPath,
                                 const QString& filter) = 0;
    // A folder to write into; empty when the user cancelled.
    virtual QString chooseFolder(const QString& caption, const QString& directory) = 0;
    // Colours are 0x00BBGGRR numbers as stored in the settings.
    virtual std::optional<int> chooseColor(int initialBgr) = 0;
    // Shows a preview and prints; false when the user cancelled or it failed.
    virtual bool print(const PrintJob& job) = 0;
    // Opens a document with the desktop's viewer; false when none took it.
    virtual bool openDocument(const QString& path) = 0;
    // Starts a program detached; false when it could not be started.
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
    virtual QDateTime now() const = 0;
    virtual Settings& settings() = 0;
    // Ends the program (after a failed load or a restore).
    virtual void quit(int exitCode) = 0;
};
