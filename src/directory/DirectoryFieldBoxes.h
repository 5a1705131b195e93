#pragma once

#include <array>
#include <functional>

#include <QObject>

#include "DirectoryOps.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The five field boxes txt1(0)..txt1(4) with their captions lbl1(0)..lbl1(4)
// in Frame1, and the behaviour the add and edit windows share: yellow while
// focused, Enter to the next box, no "|", Cmd1 enabled only with a name, the
// name in proper case and line breaks removed on leaving a box.
class DirectoryFieldBoxes final : public QObject {
    Q_OBJECT
public:
    DirectoryFieldBoxes(QWidget* window, QPushButton* cmd1);

    QGroupBox* frame() const { return m_frame; }
    QLineEdit* box(int k) const { return m_boxes[size_t(k)]; }
    DirectoryFields texts() const;
    void setTexts(const DirectoryFields& fields);
    void clear(); // CLEAN

    // Runs when the name box is left, after its proper-case conversion.
    std::function<void()> onNameLeft;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateCommand();
    void refuseSeparator(QLineEdit* box);
    void left(int k);

    QGroupBox* m_frame;
    QPushButton* m_cmd1;
    std::array<QLineEdit*, 5> m_boxes{};
    std::array<QLabel*, 5> m_labels{};
};
