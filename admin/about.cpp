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

    Image1 = new QLabel(this);
    Image1->setPixmap(QPixmap(":/pictures/logo.png"));
    Image1->setGeometry(18, 8, 328, 80);
    Label1 = ArialLabel(this, {18, 92, 328, 26}, kProductVersion, 21);
    Label2 = ArialLabel(this, {18, 120, 328, 24}, kProductSubtitle, 19);
    Label3 = new QLabel(kMakerNotice, this);
    Label3->setGeometry(18, 146, 329, 65);
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Button1 = new QPushButton("OK", this);
    Button1->setGeometry(144, 205, 75, 25);
    SetDefaultButton(Button1);
    connect(Button1, &QPushButton::clicked, this, &Taboutfrm::Button1Click);
}

void Taboutfrm::Button1Click()
{
    done(-1);
}
