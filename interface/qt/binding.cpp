#include "interface/qt/binding.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <exception>

namespace pelko::qt {

QColor toQColor(ui::Color color) {
    return QColor(color.r, color.g, color.b);
}

QFont toQFont(const ui::Font& font, const QFont& base) {
    QFont f = base;
    if (font.name != "MS Sans Serif" && !font.name.empty()) f.setFamily(toQ(font.name));
    if (font.size > 0) f.setPointSize(font.size);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    return f;
}

void guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(),
                              QString::fromLocal8Bit(e.what()));
    } catch (...) {
        QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(),
                              QStringLiteral("Unbekannter Fehler"));
    }
}

Binding::Binding(ui::Control& control, QWidget* widget, Apply apply)
    : QObject(widget), control_(control), apply_(std::move(apply)) {
    id_ = control_.subscribe([this](ui::Control&, ui::Property p) {
        ++applying_;
        apply_(p);
        --applying_;
    });
}

Binding::~Binding() {
    control_.unsubscribe(id_);
}

void Binding::applyAll() {
    ++applying_;
    for (ui::Property p :
         {ui::Property::Caption, ui::Property::Hint, ui::Property::Font, ui::Property::Color,
          ui::Property::Bounds, ui::Property::Text, ui::Property::ReadOnly, ui::Property::Items,
          ui::Property::ItemIndex, ui::Property::Checked, ui::Property::DateTime,
          ui::Property::Cells, ui::Property::RowCount, ui::Property::ColWidths, ui::Property::Lines,
          ui::Property::WindowState, ui::Property::Enabled, ui::Property::Visible})
        apply_(p);
    --applying_;
}

void applyCommon(const ui::Control& control, QWidget* widget, ui::Property property) {
    switch (property) {
        case ui::Property::Visible:
            if (!widget->isWindow()) widget->setVisible(control.visible());
            break;
        case ui::Property::Enabled:
            widget->setEnabled(control.enabled());
            break;
        case ui::Property::Hint:
            widget->setToolTip(toQ(control.hint()));
            break;
        case ui::Property::Font: {
            widget->setFont(toQFont(control.font(), QApplication::font()));
            QPalette pal = widget->palette();
            QColor c = toQColor(control.font().color);
            for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
                for (QPalette::ColorRole r :
                     {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                    pal.setColor(g, r, c);
            widget->setPalette(pal);
            break;
        }
        case ui::Property::Color:
            if (control.color() != ui::kSilver || widget->isWindow()) {
                QPalette pal = widget->palette();
                QColor c = toQColor(control.color());
                pal.setColor(widget->isWindow() ? QPalette::Window : QPalette::Base, c);
                if (!widget->isWindow()) pal.setColor(QPalette::Window, c);
                widget->setPalette(pal);
                widget->setAutoFillBackground(true);
            }
            break;
        case ui::Property::Bounds:
            if (!widget->isWindow() && control.width() > 0)
                widget->setGeometry(control.left(), control.top(), control.width(),
                                    control.height());
            break;
        default:
            break;
    }
}

Binding* bindLabel(ui::Control& control, QLabel* label) {
    label->setTextFormat(Qt::PlainText);
    auto* b = new Binding(control, label, [&control, label](ui::Property p) {
        if (p == ui::Property::Caption) label->setText(toQ(control.caption()));
        applyCommon(control, label, p);
    });
    b->applyAll();
    return b;
}

Binding* bindGroup(ui::TGroupBox& control, QGroupBox* group) {
    auto* b = new Binding(control, group, [&control, group](ui::Property p) {
        if (p == ui::Property::Caption) group->setTitle(toQ(control.caption()));
        applyCommon(control, group, p);
    });
    b->applyAll();
    return b;
}

Binding* bindButton(ui::Control& control, QAbstractButton* button, std::function<void()> onClick) {
    auto* b = new Binding(control, button, [&control, button](ui::Property p) {
        if (p == ui::Property::Caption) button->setText(toQ(control.caption()));
        applyCommon(control, button, p);
    });
    b->applyAll();
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [onClick = std::move(onClick)] { guarded(onClick); });
    return b;
}

int maskPlaces(const std::string& mask) {
    int places = 0;
    for (char c : mask.substr(0, mask.find(';')))
        if (c == '9' || c == '0') ++places;
    return places;
}

Binding* bindEdit(ui::TEdit& control, QLineEdit* edit) {
    auto* b = new Binding(control, edit, [&control, edit](ui::Property p) {
        switch (p) {
            case ui::Property::Text:
                if (edit->text() != toQ(control.text())) edit->setText(toQ(control.text()));
                break;
            case ui::Property::ReadOnly:
                edit->setReadOnly(control.readOnly());
                break;
            default:
                applyCommon(control, edit, p);
        }
    });
    int places = 0;
    if (auto* mask = dynamic_cast<ui::TMaskEdit*>(&control)) places = maskPlaces(mask->editMask());
    if (places > 0) {
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(places)), edit));
        edit->setMaxLength(places);
    } else if (control.maxLength() > 0) {
        edit->setMaxLength(static_cast<int>(control.maxLength()));
    }
    b->applyAll();
    QObject::connect(edit, &QLineEdit::textEdited, edit, [&control, edit](const QString& text) {
        guarded([&] {
            control.setText(fromQ(text));
            // The control may keep less than was typed.
            if (edit->text() != toQ(control.text())) edit->setText(toQ(control.text()));
        });
    });
    return b;
}

Binding* bindCombo(ui::TComboBox& control, QComboBox* combo, std::function<void()> onChange) {
    bool editable = control.style() == ui::TComboBox::Style::DropDown;
    combo->setEditable(editable);
    if (editable) {
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
    }
    auto* b = new Binding(control, combo, [&control, combo](ui::Property p) {
        switch (p) {
            case ui::Property::Items: {
                QStringList items;
                for (const std::string& s : control.items()) items << toQ(s);
                QSignalBlocker block(combo);
                combo->clear();
                combo->addItems(items);
                combo->setCurrentIndex(control.itemIndex());
                if (combo->isEditable()) combo->setEditText(toQ(control.text()));
                combo->setMaxVisibleItems(control.dropDownCount());
                break;
            }
            case ui::Property::ItemIndex: {
                QSignalBlocker block(combo);
                combo->setCurrentIndex(control.itemIndex());
                if (combo->isEditable()) combo->setEditText(toQ(control.text()));
                break;
            }
            case ui::Property::Text:
                if (combo->isEditable() && combo->currentText() != toQ(control.text())) {
                    QSignalBlocker block(combo);
                    combo->setEditText(toQ(control.text()));
                }
                break;
            default:
                applyCommon(control, combo, p);
        }
    });
    b->applyAll();
    auto change = std::make_shared<std::function<void()>>(std::move(onChange));
    QObject::connect(combo, &QComboBox::activated, combo, [&control, b, change](int index) {
        if (b->applying()) return;
        guarded([&] {
            control.setItemIndex(index);
            if (*change) (*change)();
        });
    });
    if (editable) {
        QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo,
                         [&control, b, change](const QString& text) {
                             if (b->applying()) return;
                             guarded([&] {
                                 control.setText(fromQ(text));
                                 if (*change) (*change)();
                             });
                         });
    }
    return b;
}

Binding* bindCheck(ui::TCheckBox& control, QCheckBox* check) {
    auto* b = new Binding(control, check, [&control, check](ui::Property p) {
        switch (p) {
            case ui::Property::Caption:
                check->setText(toQ(control.caption()));
                break;
            case ui::Property::Checked: {
                QSignalBlocker block(check);
                check->setChecked(control.checked());
                break;
            }
            default:
                applyCommon(control, check, p);
        }
    });
    b->applyAll();
    QObject::connect(check, &QCheckBox::clicked, check,
                     [&control](bool checked) { guarded([&] { control.setChecked(checked); }); });
    return b;
}

Binding* bindPicker(ui::TDateTimePicker& control, QDateTimeEdit* picker) {
    bool time = control.kind() == ui::TDateTimePicker::Kind::Time;
    if (time) {
        picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    } else {
        picker->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        picker->setCalendarPopup(true);
    }
    auto* b = new Binding(control, picker, [&control, picker, time](ui::Property p) {
        if (p != ui::Property::DateTime) {
            applyCommon(control, picker, p);
            return;
        }
        const plat::DateTime& t = control.dateTime();
        QSignalBlocker block(picker);
        if (time)
            picker->setTime(QTime(t.hour, t.minute, t.second));
        else
            picker->setDate(QDate(t.year, t.month, t.day));
    });
    b->applyAll();
    QObject::connect(picker, &QDateTimeEdit::dateTimeChanged, picker,
                     [&control, b, time](const QDateTime& value) {
                         if (b->applying()) return;
                         guarded([&] {
                             if (time)
                                 control.setTime(value.time().hour(), value.time().minute(),
                                                 value.time().second());
                             else
                                 control.setDate(value.date().year(), value.date().month(),
                                                 value.date().day());
                         });
                     });
    return b;
}

Binding* bindMemo(ui::TMemo& control, QPlainTextEdit* memo) {
    memo->setReadOnly(control.readOnly());
    auto* b = new Binding(control, memo, [&control, memo](ui::Property p) {
        if (p != ui::Property::Lines) {
            applyCommon(control, memo, p);
            return;
        }
        QStringList lines;
        for (const std::string& line : control.lines()) lines << toQ(line);
        memo->setPlainText(lines.join(QLatin1Char('\n')));
    });
    b->applyAll();
    return b;
}

GridModel::GridModel(ui::TStringGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.rowCount();
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.colCount();
}

bool GridModel::fixed(const QModelIndex& index) const {
    return index.column() < grid_.fixedCols() || index.row() < grid_.fixedRows();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return toQ(grid_.cell(index.column(), index.row()));
    if (role == Qt::BackgroundRole && fixed(index)) return QColor(212, 208, 200);
    return {};
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || fixed(index)) return false;
    guarded([&] { grid_.setCell(index.column(), index.row(), fromQ(value.toString())); });
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    if (fixed(index)) return Qt::ItemIsEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (grid_.editing()) f |= Qt::ItemIsEditable;
    return f;
}

void GridModel::reset() {
    beginResetModel();
    endResetModel();
}

Binding* bindGrid(ui::TStringGrid& control, QTableView* view) {
    auto* model = new GridModel(control, view);
    view->setModel(model);
    auto rows = std::make_shared<std::pair<int, int>>(control.rowCount(), control.colCount());
    auto* b = new Binding(control, view, [&control, view, model, rows](ui::Property p) {
        switch (p) {
            case ui::Property::Cells:
            case ui::Property::RowCount:
                if (rows->first != control.rowCount() || rows->second != control.colCount()) {
                    *rows = {control.rowCount(), control.colCount()};
                    model->reset();
                    for (int c = 0; c < control.colCount(); ++c)
                        view->setColumnWidth(c, control.colWidth(c));
                } else {
                    view->viewport()->update();
                }
                break;
            case ui::Property::ColWidths:
                for (int c = 0; c < control.colCount(); ++c)
                    view->setColumnWidth(c, control.colWidth(c));
                break;
            default:
                applyCommon(control, view, p);
        }
    });
    b->applyAll();
    return b;
}

}  // namespace pelko::qt
