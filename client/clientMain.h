#pragma once

#include "platform/print/printsystem.h"

#include <QWidget>
#include <exception>
#include <memory>
#include <string>

class QLabel;

// A rectangle outline over the whole of its parent, drawn with a pen of the given width.
class TOutline : public QWidget
{
    Q_OBJECT
public:
    TOutline(const QColor& colour, int width, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
    int width_;
};

// The status window: borderless, on top, centred; one line of progress in `status`.
class TMainClientFrm : public QWidget
{
    Q_OBJECT
public:
    // printSystem: the printing system to connect through; the OS's own when null.
    explicit TMainClientFrm(std::unique_ptr<PrintSystem> printSystem = nullptr,
                            QWidget* parent = nullptr);

    // Replaces the whole status text, then processes pending window messages once.
    void SetStatus(const QString& text);
    // Replaces the status text only.
    void SetStatusText(const QString& text);

    QLabel* bg;
    TOutline* frameOutline;
    QLabel* logoImage;
    QLabel* versionLabel;
    QLabel* subtitleLabel;
    QLabel* noticeLabel;
    QLabel* status;
    // Stands in for the script host: the printing system of this OS.
    std::unique_ptr<PrintSystem> sc;

signals:
    void statusChanged(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
};

// The message of a printer that could not be connected, whatever the switches say.
void ShowMapError(QWidget* parent, const std::string& path, const std::exception& error);
