#pragma once

#include <QWidget>

// An empty form, created at start-up and never shown.
class TForm1 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
};
