#include "interface/qt/form_protokoll_window.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include "interface/qt/binding.h"

namespace pelko::qt {

FormProtokollWindow::FormProtokollWindow(TFormProtokoll& form)
    : FormWindow(form, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      protokoll_(form) {
    auto* title = new QLabel(this);
    title->setGeometry(16, 8, 640, 34);
    bindLabel(form.Label1, title);

    auto* memo = new QPlainTextEdit(this);
    memo->setGeometry(16, 48, 640, 392);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    bindMemo(form.Memo1, memo);

    auto* close = new QPushButton(this);
    close->setGeometry(559, 450, 97, 27);
    close->setCursor(Qt::PointingHandCursor);
    close->setAutoDefault(false);
    close->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    bindButton(form.BitBtnSchliesen, close, [this] { protokoll_.BitBtnSchliesenClick(); });

    for (auto [name, w] : {std::pair<const char*, QWidget*>{"Label1", title},
                           {"Memo1", memo},
                           {"BitBtnSchliesen", close}}) {
        w->setObjectName(QString::fromLatin1(name));
        widgets_[name] = w;
    }
    setFixedSize(form.width(), form.height());
    setCloseHandler([this] { protokoll_.Close(); });
}

QWidget* FormProtokollWindow::widget(const std::string& name) const {
    auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

}  // namespace pelko::qt
