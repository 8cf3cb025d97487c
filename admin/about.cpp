#include "admin/about.h"

#include "shared/product.h"

#include <QLabel>
#include <QPushButton>

namespace
{

QLabel* ArialLabel(QWidget* parent, const QRect& geometry, const QString& text, int pixels)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    QFont font("Arial");
    font.setPixelSize(pixels);
    label->setFont(font);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

} // namespace

Taboutfrm::Taboutfrm(QWidget* parent) : ModalDialog(parent)
{
    InitProductPictures();
    setObjectName("aboutfrm");
    setWindowTitle("About");
    SetDialogFrame(this, 364, 236);

    logoImage = new QLabel(this);
    logoImage->setPixmap(QPixmap(":/pictures/logo.png"));
    logoImage->setGeometry(18, 8, 328, 80);
    versionLabel = ArialLabel(this, {18, 92, 328, 26}, kProductVersion, 21);
    subtitleLabel = ArialLabel(this, {18, 120, 328, 24}, kProductSubtitle, 19);
    noticeLabel = new QLabel(kMakerNotice, this);
    noticeLabel->setGeometry(18, 146, 329, 65);
    noticeLabel->setWordWrap(true);
    noticeLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    okButton = new QPushButton("OK", this);
    okButton->setGeometry(144, 205, 75, 25);
    SetDefaultButton(okButton);
    connect(okButton, &QPushButton::clicked, this, &Taboutfrm::okButtonClick);
}

void Taboutfrm::okButtonClick()
{
    done(-1);
}
