#pragma once

#include <memory>

#include "core/Platform.h"
#include "core/Settings.h"

// The Platform of the real program: Qt's dialogs, printer and desktop services.
class QtPlatform final : public Platform {
public:
    explicit QtPlatform(const QString& appName);
    ~QtPlatform() override;

    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons,
                      MsgAnswer defaultButton = MsgAnswer::Ok) override;
    QString openFileName(const QString& caption, const QString& directory,
                         const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& proposedPath,
                         const QString& filter) override;
    QString chooseFolder(const QString& caption, const QString& directory) override;
    std::optional<int> chooseColor(int initialBgr) override;
    bool print(const PrintJob& job) override;
    bool openDocument(const QString& path) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    QDateTime now() const override;
    Settings& settings() override;
    void quit(int exitCode) override;

private:
    std::unique_ptr<Settings> m_settings;
};
