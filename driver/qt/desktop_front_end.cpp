#include "driver/qt/desktop_front_end.h"
#include "platform/qt/desktop_look.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>

#include "platform/display.h"

namespace tarvik::qt {
namespace {

QString toQ(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

// The window: caption labels at the left, values at x 109, the Abort button
// at 58, 101. Values show "&" as it is.
class StatusWidget : public QWidget {
  public:
    explicit StatusWidget(DesktopFrontEnd& frontEnd)
        : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::MSWindowsFixedSizeDialogHint),
          frontEnd_(frontEnd) {
        setObjectName(QStringLiteral("TMainForm"));
        auto label = [this](const char* name, int left, int top, int width) {
            auto* l = new QLabel(this);
            l->setObjectName(QString::fromLatin1(name));
            l->setTextFormat(Qt::PlainText);
            l->setGeometry(left, top, width, 16);
            return l;
        };
        L_mcno_29 = label("L_mcno_29", 14, 5, 92);
        L_mcno = label("L_mcno", 109, 5, 114);
        L_cmd_6 = label("L_cmd_6", 14, 26, 92);
        L_cmd = label("L_cmd", 109, 26, 114);
        L_stat_7 = label("L_stat_7", 14, 46, 92);
        L_stat = label("L_stat", 109, 46, 114);
        L_rec_8 = label("L_rec_8", 14, 67, 92);
        L_rec = label("L_rec", 109, 67, 114);
        B_abort = new QPushButton(QStringLiteral("Abort"), this);
        B_abort->setObjectName(QStringLiteral("B_abort"));
        B_abort->setGeometry(58, 101, 110, 25);
        B_abort->setFocusPolicy(Qt::NoFocus);
        B_abort->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
        connect(B_abort, &QPushButton::clicked, this,
                [this] { frontEnd_.post(DesktopFrontEnd::Event::Abort); });
    }

    void allowClose(bool allow) { closeAllowed_ = allow; }

    QLabel *L_mcno_29, *L_mcno, *L_cmd_6, *L_cmd, *L_stat_7, *L_stat, *L_rec_8, *L_rec;
    QPushButton* B_abort;

  protected:
    void closeEvent(QCloseEvent* event) override {
        if (closeAllowed_)
            event->accept();
        else
            event->ignore();
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
        dragging_ = true;
        frontEnd_.post(DesktopFrontEnd::Event::StartDrag);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (dragging_) move(event->globalPosition().toPoint() - dragOffset_);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton || !dragging_) return;
        dragging_ = false;
        frontEnd_.post(DesktopFrontEnd::Event::EndDrag);
    }

  private:
    DesktopFrontEnd& frontEnd_;
    bool closeAllowed_ = false;
    bool dragging_ = false;
    QPoint dragOffset_;
};

std::unique_ptr<DesktopFrontEnd> DesktopFrontEnd::create(const char* argv0) {
    if (!plat::displayPresent()) return nullptr;
    auto fe = std::unique_ptr<DesktopFrontEnd>(new DesktopFrontEnd());
    fe->argv0_ = argv0 && *argv0 ? argv0 : "Tarvik";
    fe->platformArg_ = "-platform";
    fe->platforms_ = plat::windowPlatforms();
    fe->argv_.push_back(fe->argv0_.data());
    if (!fe->platforms_.empty()) {
        fe->argv_.push_back(fe->platformArg_.data());
        fe->argv_.push_back(fe->platforms_.data());
    }
    fe->argc_ = static_cast<int>(fe->argv_.size());
    fe->argv_.push_back(nullptr);
    fe->app_ = std::make_unique<QApplication>(fe->argc_, fe->argv_.data());
    // The display was given but could not be reached: no window.
    if (!fe->platforms_.empty() && QGuiApplication::platformName() == QStringLiteral("offscreen"))
        return nullptr;
    QApplication::setApplicationName(QStringLiteral("Tarvik"));
    plat::qt::applyDesktopLook(*fe->app_);
    return fe;
}

DesktopFrontEnd::DesktopFrontEnd() = default;

DesktopFrontEnd::~DesktopFrontEnd() {
    if (widget_) widget_->allowClose(true);
    widget_.reset();
}

QWidget* DesktopFrontEnd::window() const {
    return widget_.get();
}

void DesktopFrontEnd::setIcon(const std::string& path) {
    icon_ = QIcon(QString::fromStdString(path));
    if (qApp) QApplication::setWindowIcon(icon_);
    if (widget_) widget_->setWindowIcon(icon_);
}

void DesktopFrontEnd::prepare(const StatusWindow& window) {
    if (!widget_) {
        widget_ = std::make_unique<StatusWidget>(*this);
        if (!icon_.isNull()) widget_->setWindowIcon(icon_);
    }
    QApplication::setApplicationName(toQ(window.caption()));
    widget_->setWindowTitle(toQ(window.caption()));
    repaint(window);
}

void DesktopFrontEnd::show(const StatusWindow& window) {
    if (!widget_) prepare(window);
    repaint(window);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = screen->availableGeometry();
        widget_->move(r.x() + (r.width() - StatusWindow::kClientWidth) / 2,
                      r.y() + (r.height() - window.clientHeight()) / 2);
    }
    widget_->show();
    widget_->raise();
    QCoreApplication::processEvents();
}

void DesktopFrontEnd::processEvents(StatusWindow& window) {
    QCoreApplication::processEvents();
    std::vector<Event> events;
    events.swap(pending_);
    for (Event e : events) {
        switch (e) {
            case Event::Abort:
                window.B_abortClick();
                break;
            case Event::StartDrag:
                window.FormStartDock();
                break;
            case Event::EndDrag:
                window.FormEndDock();
                break;
        }
    }
}

void DesktopFrontEnd::repaint(const StatusWindow& window) {
    if (!widget_) return;
    StatusWidget& w = *widget_;
    bool changed = false;
    auto set = [&changed](QLabel* label, const Label& model) {
        QString text = toQ(model.caption);
        if (label->text() != text) {
            label->setText(text);
            changed = true;
        }
        if (label->isVisibleTo(label->parentWidget()) != model.visible) {
            label->setVisible(model.visible);
            changed = true;
        }
    };
    set(w.L_mcno_29, window.L_mcno_29);
    set(w.L_mcno, window.L_mcno);
    set(w.L_cmd_6, window.L_cmd_6);
    set(w.L_cmd, window.L_cmd);
    set(w.L_stat_7, window.L_stat_7);
    set(w.L_stat, window.L_stat);
    set(w.L_rec_8, window.L_rec_8);
    set(w.L_rec, window.L_rec);
    QSize size(StatusWindow::kClientWidth, window.clientHeight());
    if (w.size() != size) {
        w.setFixedSize(size);
        changed = true;
    }
    if (changed && w.isVisible()) w.repaint();
}

void DesktopFrontEnd::close(const StatusWindow&) {
    if (!widget_) return;
    widget_->allowClose(true);
    widget_->close();
    widget_->allowClose(false);
    QCoreApplication::processEvents();
}

void DesktopFrontEnd::resultBox(std::string_view caption, std::string_view text, bool stopIcon) {
    QMessageBox box(stopIcon ? QMessageBox::Critical : QMessageBox::Information, toQ(caption),
                    toQ(text), QMessageBox::Ok, nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint);
    box.setObjectName(QStringLiteral("ResultBox"));
    box.setTextFormat(Qt::PlainText);
    if (!icon_.isNull()) box.setWindowIcon(icon_);
    box.exec();
}

}  // namespace tarvik::qt
