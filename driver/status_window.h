// The driver's status window as a model: the texts of its lines, the register
// line, the Abort button and the window height, and the dragging flag. A front
// end (a desktop window, a one-line terminal display, or nothing) shows the
// model and feeds the user's actions back into it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tarvik {

class MessageTable;
class StatusWindow;

// What the model asks of a front end. Every wait of a job goes through
// StatusWindow::refresh, which calls processEvents and then repaint; there is
// no message loop besides that.
class StatusFrontEnd {
  public:
    virtual ~StatusFrontEnd() = default;

    // The application icon file (the executable's path with ".ICO"), when it exists.
    virtual void setIcon(const std::string& /*path*/) {}
    // The window was prepared for a visible job (caption and texts set).
    virtual void prepare(const StatusWindow& /*window*/) {}
    virtual void show(const StatusWindow& /*window*/) {}
    // Handles pending user actions by calling the model's event operations
    // (B_abortClick, FormStartDock, FormEndDock).
    virtual void processEvents(StatusWindow& /*window*/) {}
    // Shows the current state at once (visible jobs only).
    virtual void repaint(const StatusWindow& /*window*/) {}
    virtual void close(const StatusWindow& /*window*/) {}
    // A message box without owner window, kept on top; returns once it is
    // confirmed. `stopIcon` chooses the stop icon, otherwise the information icon.
    virtual void resultBox(std::string_view caption, std::string_view text, bool stopIcon) = 0;
};

struct Label {
    std::string caption;
    bool visible = true;
};

class StatusWindow {
  public:
    // The design size of the client area and the top of the Abort button.
    static constexpr int kClientWidth = 227;
    static constexpr int kClientHeight = 132;
    static constexpr int kAbortButtonTop = 101;

    explicit StatusWindow(StatusFrontEnd& frontEnd) : frontEnd_(frontEnd) {}

    // Called when the Abort button is pressed (sets the job's status code).
    void setAbortHandler(std::function<void()> handler) { onAbort_ = std::move(handler); }
    // Visible flag of the job (VISIBLE): an invisible job never shows the window.
    void setVisible(bool visible) { visible_ = visible; }

    // Operations of the job.
    void prepare(std::string_view title, const MessageTable& messages);
    void show();
    void refresh();
    void setCommand(std::string_view text) { L_cmd.caption = text; }
    void setStatus(std::string_view text) { L_stat.caption = text; }
    void setRecords(std::string_view text) { L_rec.caption = text; }
    void showRegister(int number);   // 0 hides the register line
    void setAbortShown(bool shown);  // grows or shrinks the window, then refreshes
    void close();

    // Events from the front end.
    void B_abortClick();
    void FormStartDock() { dragging_ = true; }
    void FormEndDock() { dragging_ = false; }
    bool FormCloseQuery() const { return !dragging_; }  // may the window close?

    // State.
    const std::string& caption() const { return caption_; }
    bool visible() const { return visible_; }
    bool isShown() const { return shown_; }
    bool abortShown() const { return abortShown_; }
    int abortPanelHeight() const { return abortPanelHeight_; }
    int clientHeight() const { return clientHeight_; }
    bool dragging() const { return dragging_; }

    // The lines: captions (message 29, 6, 7, 8) and their values.
    Label L_mcno_29{"", false}, L_mcno{"", false};
    Label L_cmd_6, L_cmd;
    Label L_stat_7, L_stat;
    Label L_rec_8, L_rec;

  private:
    StatusFrontEnd& frontEnd_;
    std::function<void()> onAbort_;
    std::string caption_;
    bool visible_ = true;
    bool shown_ = false;
    bool abortShown_ = true;  // as designed, until prepare hides it
    int abortPanelHeight_ = 0;
    int clientHeight_ = kClientHeight;
    bool dragging_ = false;
};

}  // namespace tarvik
