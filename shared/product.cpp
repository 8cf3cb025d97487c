#include "shared/product.h"

#include <QFont>
#include <QWidget>
#include <QtGlobal>

QFont FormFont()
{
    QFont font;
    font.setFamilies({"MS Sans Serif", "Liberation Sans", "DejaVu Sans"});
    font.setPixelSize(11);
    return font;
}

void SetDialogFrame(QWidget* form, int clientWidth, int clientHeight)
{
    form->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    form->setFixedSize(clientWidth, clientHeight);
    form->setFont(FormFont());
}

void InitProductPictures()
{
    // Resources compiled into a static library must be registered by name.
    Q_INIT_RESOURCE(pictures);
}
