#pragma once

#include <deque>
#include <memory>
#include <optional>

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "core/Platform.h"
#include "core/Settings.h"

// A Platform for tests: answers questions from a script, records what the
// program showed, prints to PDF files and keeps a fixed clock.
class ScriptedPlatform final : public Platform {
public:
    struct Message {
        QString text;
        QString title;
        MsgIcon icon;
        MsgButtons buttons;
        MsgAnswer defaultButton;
    };
    struct Printed {
        QString title;
        PageOrientation orientation;
        int pageCount;
        QString pdfPath;
    };

    ScriptedPlatform();
    ~ScriptedPlatform() override;

    // Answers given in order; when the script runs out the default button is taken.
    std::deque<MsgAnswer> answers;
    std::deque<QString> fileNames; // for open and save dialogs; "" = cancel
    std::deque<QString> folders;   // for folder dialogs; "" = cancel
    std::deque<std::optional<int>> colors;
    bool printAccepted = true; // false: the user cancels the preview
    bool documentOpens = true;
    bool programStarts = true;
    QDateTime clock = QDateTime(QDate(2026, 12, 10), QTime(14, 5));

    std::vector<Message> messages;
    std::vector<Printed> printed;
    QStringList openedDocuments;
    QStringList startedPrograms;
    QStringList dialogProposals; // the proposed path of every file dialog
    QStringList openDialogs;     // "caption | filter" of every open dialog
    std::optional<int> quitCode;

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

    // The folder the printed PDFs go to.
    QString outputFolder() const;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Settings> m_settings;
};
