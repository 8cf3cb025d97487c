#pragma once

#include "platform/ui/modaldialog.h"

class QLabel;
class QPushButton;

// The about box, shown once at start-up before the main window.
class Taboutfrm : public ModalDialog
{
    Q_OBJECT
public:
    explicit Taboutfrm(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* Button1;

    void Button1Click();
};
