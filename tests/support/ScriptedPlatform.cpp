#include "ScriptedPlatform.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

using namespace Qt::StringLiterals;

ScriptedPlatform::ScriptedPlatform() : m_settings(std::make_unique<Settings>(u"ostrevanka"_s)) {}

ScriptedPlatform::~ScriptedPlatform() = default;

MsgAnswer ScriptedPlatform::message(const QString& text, const QString& title, MsgIcon icon,
                                    MsgButtons buttons, MsgAnswer defaultButton) {
    messages.push_back({text, title, icon, buttons, defaultButton});
    if (answers.empty())
        return defaultButton;
    const MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
}

QString ScriptedPlatform::openFileName(const QString& caption, const QString& directory,
                                       const QString& filter) {
    dialogProposals << directory;
    openDialogs << caption + u" | "_s + filter;
    if (fileNames.empty())
        return {};
    const QString f = fileNames.front();
    fileNames.pop_front();
    return f;
}

QString ScriptedPlatform::saveFileName(const QString&, const QString& proposedPath,
                                       const QString&) {
    dialogProposals << proposedPath;
    if (fileNames.empty())
        return {};
    const QString f = fileNames.front();
    fileNames.pop_front();
    return f;
}

QString ScriptedPlatform::chooseFolder(const QString&, const QString& directory) {
    dialogProposals << directory;
    if (folders.empty())
        return {};
    const QString f = folders.front();
    folders.pop_front();
    return f;
}

std::optional<int> ScriptedPlatform::chooseColor(int) {
    if (colors.empty())
        return std::nullopt;
    const auto c = colors.front();
    colors.pop_front();
    return c;
}

bool ScriptedPlatform::print(const PrintJob& job) {
    if (!printAccepted)
        return false;
    const QString path =
        m_dir.filePath(u"print-%1.pdf"_s.arg(printed.size() + 1, 3, 10, QLatin1Char('0')));
    {
        QPdfWriter writer(path);
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(job.orientation == PageOrientation::Landscape
                                      ? QPageLayout::Landscape
                                      : QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        QPainter painter(&writer);
        const QRect area = writer.pageLayout().paintRectPixels(writer.resolution());
        for (int p = 0; p < job.pageCount; ++p) {
            if (p > 0)
                writer.newPage();
            painter.save();
            job.paint(painter, p, area.width(), area.height());
            painter.restore();
        }
    }
    printed.push_back({job.title, job.orientation, job.pageCount, path});
    return true;
}

bool ScriptedPlatform::openDocument(const QString& path) {
    openedDocuments << path;
    return documentOpens;
}

bool ScriptedPlatform::startProgram(const QString& program, const QStringList&) {
    startedPrograms << program;
    return programStarts;
}

QDateTime ScriptedPlatform::now() const {
    return clock;
}

Settings& ScriptedPlatform::settings() {
    return *m_settings;
}

void ScriptedPlatform::quit(int exitCode) {
    quitCode = exitCode;
}

QString ScriptedPlatform::outputFolder() const {
    return m_dir.path();
}
