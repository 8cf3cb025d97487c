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

    QLabel* logoImage;
    QLabel* versionLabel;
    QLabel* subtitleLabel;
    QLabel* noticeLabel;
    QPushButton* okButton;

    void okButtonClick();
};
