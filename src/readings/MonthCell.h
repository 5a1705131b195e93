#pragma once

#include <memory>

#include <QTextLayout>
#include <QWidget>

class QLineEdit;
class QPainter;
class QStyleOptionFrame;

// An entry or result cell of the main window's month table. It knows its
// month (1..12, 13 for the totals row) and its slot or result index.
//
// The cell paints its text the way a line edit does and makes its line edit
// only when it is first focused, clicked or typed into: 173 line edits were
// the largest part of opening the window, and most cells of a session are
// only looked at. The editor then covers the cell and takes its focus, and
// the cell passes on to it what it is sent.
class MonthCell final : public QWidget {
    Q_OBJECT
public:
    MonthCell(int month, int index, bool result, QWidget* parent);
    int month() const { return m_month; }
    int index() const { return m_index; }
    bool isResult() const { return m_result; }

    QString text() const;
    void setText(const QString& text);
    void clear() { setText(QString()); }
    int cursorPosition() const;
    void setCursorPosition(int position);
    void selectAll();
    void setFrame(bool frame);

    void setBackground(const QColor& color);
    // Red text with the reason as tooltip; an empty reason takes both away.
    void setWarning(const QString& reason);

    // `watcher` filters the editor's events, now or once it is made: the
    // cell's own focus only passes through it on the way to the editor.
    void setEditorWatcher(QObject* watcher);
    // The editor, made if it is not there yet.
    QLineEdit* editor();
    bool hasEditor() const { return m_editor != nullptr; }
    // The cell `object` is, or whose editor it is; null for anything else.
    static MonthCell* of(QObject* object);

signals:
    void textChanged(const QString& text);
    // The user changed the text: typed, pasted, dropped or undid.
    void textEdited(const QString& text);

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Qt::Alignment alignment() const;
    void drawPanel(QPainter& p, const QStyleOptionFrame& panel);
    QTextLine textLine();

    const int m_month;
    const int m_index;
    const bool m_result;
    QString m_text;
    std::unique_ptr<QTextLayout> m_layout; // of m_text, made when painted
    int m_cursor = -1;                     // at the end
    QLineEdit* m_editor = nullptr;
    QObject* m_watcher = nullptr;
    bool m_forwarding = false;
    bool m_frame = true;
};
