#include "QtPlatform.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageLayout>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QUrl>

#include "core/AppState.h"

using namespace Qt::StringLiterals;

QtPlatform::QtPlatform(const QString& appName) : m_settings(std::make_unique<Settings>(appName)) {}

QtPlatform::~QtPlatform() = default;

MsgAnswer QtPlatform::message(const QString& text, const QString& title, MsgIcon icon,
                              MsgButtons buttons, MsgAnswer defaultButton) {
    QMessageBox box(QApplication::activeWindow());
    box.setText(text);
    // Boxes without a title of their own carry the program's name.
    box.setWindowTitle(title.isEmpty() ? u"Остреванка 2.1"_s : title);
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    QMessageBox::StandardButtons set;
    switch (buttons) {
    case MsgButtons::Ok:
        set = QMessageBox::Ok;
        break;
    case MsgButtons::OkCancel:
        set = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MsgButtons::YesNo:
        set = QMessageBox::Yes | QMessageBox::No;
        break;
    case MsgButtons::YesNoCancel:
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    }
    box.setStandardButtons(set);
    const auto toButton = [](MsgAnswer a) {
        switch (a) {
        case MsgAnswer::Ok:
            return QMessageBox::Ok;
        case MsgAnswer::Cancel:
            return QMessageBox::Cancel;
        case MsgAnswer::Yes:
            return QMessageBox::Yes;
        case MsgAnswer::No:
            return QMessageBox::No;
        }
        return QMessageBox::Ok;
    };
    if (set.testFlag(toButton(defaultButton)))
        box.setDefaultButton(toButton(defaultButton));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    default:
        break;
    }
    // Closed with Escape or the window's cross.
    return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
}

QString QtPlatform::openFileName(const QString& caption, const QString& directory,
                                 const QString& filter) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, directory, filter);
}

QString QtPlatform::saveFileName(const QString& caption, const QString& proposedPath,
                                 const QString& filter) {
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, proposedPath,
                                        filter);
}

QString QtPlatform::chooseFolder(const QString& caption, const QString& directory) {
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption, directory);
}

std::optional<int> QtPlatform::chooseColor(int initialBgr) {
    const int rgb = BgrToRgb(initialBgr);
    const QColor c =
        QColorDialog::getColor(QColor::fromRgb(QRgb(rgb)), QApplication::activeWindow());
    if (!c.isValid())
        return std::nullopt;
    return RgbToBgr(int(c.rgb() & 0xFFFFFF));
}

bool QtPlatform::print(const PrintJob& job) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(job.title);
    printer.setPageOrientation(job.orientation == PageOrientation::Landscape
                                   ? QPageLayout::Landscape
                                   : QPageLayout::Portrait);
    QPrintPreviewDialog preview(&printer, QApplication::activeWindow());
    preview.setWindowTitle(job.title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&job](QPrinter* p) {
        QPainter painter(p);
        const QRectF area = p->pageLayout().paintRectPixels(p->resolution());
        for (int page = 0; page < job.pageCount; ++page) {
            if (page > 0)
                p->newPage();
            painter.save();
            job.paint(painter, page, area.width(), area.height());
            painter.restore();
        }
    });
    return preview.exec() == QDialog::Accepted;
}

bool QtPlatform::openDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool QtPlatform::startProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

QDateTime QtPlatform::now() const {
    return QDateTime::currentDateTime();
}

Settings& QtPlatform::settings() {
    return *m_settings;
}

void QtPlatform::quit(int exitCode) {
    QApplication::exit(exitCode);
}
