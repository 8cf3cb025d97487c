#include "tests/gui/guidriver.h"

#include <QDialog>
#include <QTimer>
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
