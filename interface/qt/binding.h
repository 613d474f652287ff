// Binds the widgets of the desktop windows to the controls of the program's
// window model. A binding shows every property of its control (caption, hint,
// visibility, enabled state, place, font, colour, texts, items, checks,
// dates, cells, lines) and follows each change the program makes; what the
// user types, picks or ticks is written back through the control's setters,
// and the control's handler (a click, a change) is run. The program's logic
// stays in the model: the widgets only show it and feed it.
#pragma once

#include <QAbstractTableModel>
#include <QObject>
#include <QString>
#include <functional>
#include <string>

#include "interface/controls.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableView;
class QWidget;

namespace pelko::qt {

inline QString toQ(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string fromQ(const QString& s) {
    return s.toStdString();
}

QColor toQColor(ui::Color color);
// The control's font on top of `base`: the face "MS Sans Serif" is the
// application's own sans-serif face; size in points, bold, italic, underline.
QFont toQFont(const ui::Font& font, const QFont& base);

// Runs a handler of the program. An exception that escapes it is shown in a
// box with the application title and the program goes on.
void guarded(const std::function<void()>& handler);

// Keeps a widget in step with its control. It lives as the widget's child and
// unsubscribes when the widget goes, so the control must outlive the widget.
class Binding : public QObject {
  public:
    using Apply = std::function<void(ui::Property)>;
    Binding(ui::Control& control, QWidget* widget, Apply apply);
    ~Binding() override;
    Binding(const Binding&) = delete;
    Binding& operator=(const Binding&) = delete;

    // True while the binding writes into the widget: the widget's change
    // signals then come from the program, not from the user.
    bool applying() const { return applying_ > 0; }
    // Shows every property once.
    void applyAll();

  private:
    ui::Control& control_;
    int id_ = 0;
    int applying_ = 0;
    Apply apply_;
};

// The properties every control has: visibility, enabled state, hint, font,
// and the place when the control has one (width above 0). The background is
// painted only where the control's colour differs from the window's silver.
void applyCommon(const ui::Control& control, QWidget* widget, ui::Property property);

Binding* bindLabel(ui::Control& control, QLabel* label);
Binding* bindGroup(ui::TGroupBox& control, QGroupBox* group);
Binding* bindButton(ui::Control& control, QAbstractButton* button, std::function<void()> onClick);
Binding* bindEdit(ui::TEdit& control, QLineEdit* edit);
Binding* bindCombo(ui::TComboBox& control, QComboBox* combo, std::function<void()> onChange);
Binding* bindCheck(ui::TCheckBox& control, QCheckBox* check);
Binding* bindPicker(ui::TDateTimePicker& control, QDateTimeEdit* picker);
Binding* bindMemo(ui::TMemo& control, QPlainTextEdit* memo);
Binding* bindGrid(ui::TStringGrid& control, QTableView* view);

// The number of digit places of an edit mask ("99;0; " has two); 0 for none.
int maskPlaces(const std::string& mask);

// The string grid as a table model: row and column counts, cells, the fixed
// rows and columns in the window's face colour and not editable; an edit of
// the user is stored in the control's cell.
class GridModel : public QAbstractTableModel {
  public:
    explicit GridModel(ui::TStringGrid& grid, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The control changed its size: the view asks anew.
    void reset();

  private:
    bool fixed(const QModelIndex& index) const;
    ui::TStringGrid& grid_;
};

}  // namespace pelko::qt
