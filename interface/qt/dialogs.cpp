#include "interface/qt/dialogs.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "interface/qt/binding.h"

namespace pelko::qt {
namespace {

QMessageBox::Icon boxIcon(DialogRequest::Icon icon) {
    switch (icon) {
        case DialogRequest::Icon::Information:
            return QMessageBox::Information;
        case DialogRequest::Icon::Warning:
            return QMessageBox::Warning;
        case DialogRequest::Icon::Stop:
            return QMessageBox::Critical;
        case DialogRequest::Icon::Question:
            return QMessageBox::Question;
        case DialogRequest::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QWidget* Dialogs::parentWidget() const {
    return owner_ && owner_->isVisible() ? owner_.data() : nullptr;
}

DialogAnswer Dialogs::ask(const DialogRequest& request) {
    DialogAnswer answer;
    if (request.kind == DialogRequest::Kind::Input) {
        QInputDialog dialog(parentWidget());
        dialog.setObjectName(QStringLiteral("InputQuery"));
        dialog.setWindowTitle(toQ(request.caption));
        dialog.setLabelText(toQ(request.text));
        dialog.setInputMode(QInputDialog::TextInput);
        dialog.setTextValue(toQ(request.input));
        dialog.setOkButtonText(QStringLiteral("OK"));
        dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
        bool ok = dialog.exec() == QDialog::Accepted;
        answer.button = ok ? DialogAnswer::Button::Ok : DialogAnswer::Button::Cancel;
        answer.input = ok ? fromQ(dialog.textValue()) : request.input;
        return answer;
    }
    QMessageBox box(boxIcon(request.icon), toQ(request.caption), toQ(request.text),
                    QMessageBox::NoButton, parentWidget());
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setTextFormat(Qt::PlainText);
    switch (request.buttons) {
        case DialogRequest::Buttons::Ok:
            box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            break;
        case DialogRequest::Buttons::OkCancel:
            box.setDefaultButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
            box.setEscapeButton(
                box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole));
            break;
        case DialogRequest::Buttons::YesNo:
            box.setDefaultButton(box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole));
            box.setEscapeButton(box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole));
            break;
    }
    box.exec();
    QMessageBox::ButtonRole role = box.buttonRole(box.clickedButton());
    switch (request.buttons) {
        case DialogRequest::Buttons::Ok:
            answer.button = DialogAnswer::Button::Ok;
            break;
        case DialogRequest::Buttons::OkCancel:
            answer.button = role == QMessageBox::AcceptRole ? DialogAnswer::Button::Ok
                                                            : DialogAnswer::Button::Cancel;
            break;
        case DialogRequest::Buttons::YesNo:
            answer.button =
                role == QMessageBox::YesRole ? DialogAnswer::Button::Yes : DialogAnswer::Button::No;
            break;
    }
    return answer;
}

}  // namespace pelko::qt
