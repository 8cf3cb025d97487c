#include "tests/gui/guidriver.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

GuiDriver::GuiDriver()
{
    Interaction::SetMessageHandler([this](const Interaction::Message& m) {
        messages.push_back(m);
        return answer_;
    });
    Interaction::SetModalHandler([this](QDialog& dialog) {
        std::function<void(QDialog&)> actions = [](QDialog& d) { d.close(); };
        if (!pending_.empty()) {
            actions = pending_.front();
            pending_.erase(pending_.begin());
        }
        QTimer::singleShot(0, &dialog, [&dialog, actions] { actions(dialog); });
        return dialog.exec();
    });
}

GuiDriver::~GuiDriver()
{
    Interaction::SetMessageHandler({});
    Interaction::SetModalHandler({});
}

void GuiDriver::OnShow(std::function<void(QDialog&)> actions)
{
    pending_.push_back(std::move(actions));
}

void PickEntry(QComboBox* box, const QString& text)
{
    int row = EntryTexts(box).indexOf(text);
    ASSERT_GE(row, 0) << text.toStdString() << " is not offered";
    box->setCurrentIndex(row);
    emit box->activated(row);
}

QStringList EntryTexts(QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->model()->rowCount(); ++i)
        texts << box->model()->index(i, box->modelColumn()).data().toString();
    return texts;
}

void ExpectTabCycle(const std::vector<QWidget*>& order)
{
    // Offscreen windows become active as their events are processed, not when shown.
    QWidget* window = order.front()->window();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == window; }));
    for (bool back : {false, true}) {
        std::vector<QWidget*> expected(order);
        if (back)
            std::reverse(expected.begin() + 1, expected.end());
        expected.push_back(order.front());
        order.front()->setFocus(Qt::TabFocusReason);
        std::vector<QWidget*> visited{QApplication::focusWidget()};
        while (visited.size() < expected.size() && visited.back()) {
            QTest::keyClick(visited.back(), back ? Qt::Key_Backtab : Qt::Key_Tab,
                            back ? Qt::ShiftModifier : Qt::NoModifier);
            visited.push_back(QApplication::focusWidget());
        }
        EXPECT_EQ(visited, expected) << (back ? "Shift+Tab" : "Tab");
    }
}
