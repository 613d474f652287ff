// The look both programs' windows share.
#include "platform/qt/desktop_look.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace plat::qt {

void applyDesktopLook(QApplication& app) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"),
        {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial"),
         QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    app.setFont(font);
    QPalette pal = app.style()->standardPalette();
    pal.setColor(QPalette::Button, QColor(212, 208, 200));
    pal.setColor(QPalette::Window, QColor(212, 208, 200));
    // Disabled texts in the grey of the classic desktop, readable on silver.
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(QPalette::Disabled, role, QColor(128, 128, 128));
    app.setPalette(pal);
}

}  // namespace plat::qt
