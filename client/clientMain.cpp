#include "client/clientMain.h"

#include "client/wdclient.h"
#include "platform/host/textutil.h"
#include "platform/ui/interaction.h"
#include "shared/dbformmain.h"
#include "shared/product.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

namespace
{

QLabel* MakeLabel(QWidget* parent, const QRect& geometry, const QString& text, int pixels,
                  bool bold, const QColor& colour)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    QFont font("Arial");
    font.setPixelSize(pixels);
    font.setBold(bold);
    label->setFont(font);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

} // namespace

TOutline::TOutline(const QColor& colour, int width, QWidget* parent)
    : QWidget(parent), colour_(colour), width_(width)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TOutline::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QPen pen(colour_, width_);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    int inset = width_ / 2;
    painter.drawRect(rect().adjusted(inset, inset, -inset - 1, -inset - 1));
}

TMainClientFrm::TMainClientFrm(std::unique_ptr<PrintSystem> printSystem, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      sc(std::move(printSystem))
{
    InitProductPictures();
    setObjectName("MainClientFrm");
    setWindowTitle("clientmainfrm");
    setFixedSize(395, 240);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(255, 255, 187));
    setPalette(p);
    setAutoFillBackground(true);
    setFont(QFont("Arial"));

    bg = new QLabel(this);
    bg->setGeometry(rect());
    bg->setScaledContents(true);

    frameOutline = new TOutline(QColor("navy"), 3, this);
    frameOutline->setGeometry(rect());

    logoImage = new QLabel(this);
    logoImage->setGeometry(40, 8, 328, 80);
    logoImage->setAttribute(Qt::WA_TranslucentBackground);

    const QColor pale(248, 249, 200);
    versionLabel = MakeLabel(this, {144, 88, 103, 19}, kProductVersion, 16, true, pale);
    subtitleLabel = MakeLabel(this, {64, 112, 265, 19}, kProductSubtitle, 16, true, pale);
    subtitleLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    noticeLabel = MakeLabel(this, {16, 134, 361, 75}, kMakerNotice, 12, false, pale);
    noticeLabel->setAlignment(Qt::AlignCenter);
    noticeLabel->setWordWrap(true);
    status = MakeLabel(this, {8, 216, 379, 22}, "Connecting to Database", 16, true,
                       QColor(192, 250, 197));
    status->setAlignment(Qt::AlignCenter);

    if (!sc)
        sc = CreatePrintSystem();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TMainClientFrm::showEvent(QShowEvent* event)
{
    // The pictures are decoded when first needed: a silent run never shows them.
    if (bg->pixmap().isNull()) {
        bg->setPixmap(QPixmap(":/pictures/background.png"));
        logoImage->setPixmap(QPixmap(":/pictures/logo.png"));
    }
    QWidget::showEvent(event);
}

void TMainClientFrm::SetStatus(const QString& text)
{
    SetStatusText(text);
    QApplication::processEvents();
}

void TMainClientFrm::SetStatusText(const QString& text)
{
    status->setText(text);
    emit statusChanged(text);
}

void ShowMapError(QWidget* parent, const std::string& path, const std::exception& error)
{
    Interaction::Message m;
    m.text = QString::fromStdString(MapErrorMessage(path));
    m.details = QString::fromStdString(error.what());
    m.caption = QApplication::applicationName();
    Interaction::ShowMessage(parent, m);
}
