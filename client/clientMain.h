#pragma once

#include "platform/print/printsystem.h"

#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class Tdbform;

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

    // The data module, created after this form.
    void SetDataModule(Tdbform* dbform) { dbform_ = dbform; }
    // Replaces the whole status text, then processes pending window messages once.
    void SetStatus(const QString& text);
    // Replaces the status text only.
    void SetStatusText(const QString& text);
    // The message of a connection that failed, unless the switch q is given.
    void ReportMapError(const std::string& path, const std::exception& error);

    QLabel* bg;
    TOutline* Shape1;
    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* status;
    // Stands in for the script host: the printing system of this OS.
    std::unique_ptr<PrintSystem> sc;

signals:
    void statusChanged(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    Tdbform* dbform_ = nullptr;
};

// "Error mapping <path> Does the printer still exist and have drivers associated???"
std::string MapErrorMessage(const std::string& path);

// Connects one printer (already expanded) through printers, report(error) told of a
// failure: "connected", "skipped: None", or why not (for the run log).
std::string ConnectPrinter(PrintSystem& printers, const std::string& path,
                           const std::function<void(const std::exception&)>& report);
