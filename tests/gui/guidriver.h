#pragma once

#include "platform/ui/interaction.h"

#include <QComboBox>
#include <functional>
#include <vector>

class QDialog;

// Drives modal dialogs and answers message boxes for GUI tests, through the seam.
class GuiDriver
{
public:
    GuiDriver();
    ~GuiDriver();

    // What the next modal showings do once they are up, one function each, in order.
    // A showing with no function left is closed with its close box.
    void OnShow(std::function<void(QDialog&)> actions);
    // The answer to every message box; each box is recorded in messages.
    void Answer(QMessageBox::StandardButton button) { answer_ = button; }

    std::vector<Interaction::Message> messages;

private:
    std::vector<std::function<void(QDialog&)>> pending_;
    QMessageBox::StandardButton answer_ = QMessageBox::Ok;
};

// Picks the entry whose first column reads text, as a user would from the open list.
void PickEntry(QComboBox* box, const QString& text);
// The texts of a combo box's entries, first column.
QStringList EntryTexts(QComboBox* box);
// Presses Tab from order's first control once round its window, then Shift+Tab back, as a
// user would: the focus must visit order both ways and nothing else (no trap, no gap).
void ExpectTabCycle(const std::vector<QWidget*>& order);
