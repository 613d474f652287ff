#include "driver/status_window.h"

#include "driver/messages.h"

namespace tarvik {

void StatusWindow::prepare(std::string_view title, const MessageTable& messages) {
    caption_ = title;
    L_cmd.caption.clear();
    L_stat.caption.clear();
    L_rec.caption.clear();
    L_mcno.caption.clear();
    L_mcno.visible = false;
    L_cmd_6.caption = messages.text(kMsgCommandCaption);
    L_stat_7.caption = messages.text(kMsgStatusCaption);
    L_rec_8.caption = messages.text(kMsgRecordsCaption);
    L_mcno_29.caption = messages.text(kMsgRegisterCaption);
    L_mcno_29.visible = false;
    // The Abort button is hidden by cutting its panel off the bottom of the window.
    abortPanelHeight_ = clientHeight_ - kAbortButtonTop;
    clientHeight_ -= abortPanelHeight_;
    abortShown_ = false;
    frontEnd_.prepare(*this);
}

void StatusWindow::show() {
    shown_ = true;
    frontEnd_.show(*this);
}

void StatusWindow::refresh() {
    frontEnd_.processEvents(*this);
    if (visible_ && shown_) frontEnd_.repaint(*this);
}

void StatusWindow::showRegister(int number) {
    bool on = number != 0;
    L_mcno_29.visible = on;
    L_mcno.visible = on;
    L_mcno.caption = on ? std::to_string(number) : std::string();
}

void StatusWindow::setAbortShown(bool shown) {
    if (shown && !abortShown_) {
        clientHeight_ += abortPanelHeight_;
        abortShown_ = true;
    } else if (!shown && abortShown_) {
        clientHeight_ -= abortPanelHeight_;
        abortShown_ = false;
    }
    refresh();
}

void StatusWindow::close() {
    if (!shown_) return;
    shown_ = false;
    frontEnd_.close(*this);
}

void StatusWindow::B_abortClick() {
    if (onAbort_) onAbort_();
}

}  // namespace tarvik
