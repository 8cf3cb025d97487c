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
        std::function<void(QDialog&)> actions;
        if (!pending_.empty()) {
            actions = pending_.front();
            pending_.erase(pending_.begin());
        }
        QTimer::singleShot(0, &dialog, [&dialog, actions] {
            if (actions)
                actions(dialog);
            else
                dialog.close();
        });
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

namespace
{

std::string Describe(const std::vector<QWidget*>& widgets)
{
    std::string out;
    for (QWidget* w : widgets)
        out += w ? std::string(w->metaObject()->className()) + " \"" +
                       w->property("text").toString().toStdString() + "\"; "
                 : "none; ";
    return out;
}

} // namespace

void ExpectTabCycle(const std::vector<QWidget*>& order)
{
    // Offscreen windows become active as their events are processed, not when shown.
    QWidget* window = order.front()->window();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == window; }));
    std::vector<QWidget*> forward(order);
    forward.push_back(order.front());
    for (bool back : {false, true}) {
        order.front()->setFocus(Qt::TabFocusReason);
        std::vector<QWidget*> visited{QApplication::focusWidget()};
        while (visited.size() < forward.size() && visited.back()) {
            if (back)
                QTest::keyClick(visited.back(), Qt::Key_Backtab, Qt::ShiftModifier);
            else
                QTest::keyClick(visited.back(), Qt::Key_Tab);
            visited.push_back(QApplication::focusWidget());
        }
        std::vector<QWidget*> expected(forward);
        if (back)
            std::reverse(expected.begin(), expected.end());
        EXPECT_EQ(visited, expected) << (back ? "Shift+Tab: " : "Tab: ") << Describe(visited);
    }
}
