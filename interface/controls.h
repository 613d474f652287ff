// The controls of the interface program's windows as plain objects: what the
// program reads and writes (texts, items and item index, check states,
// visibility, enabled state, captions, fonts, positions, the grid's cells, the
// pickers' dates and times, the memo's lines), with no window system behind
// them. A front end shows them and feeds the user's input back through the
// same setters; every setter that changes a value tells the control's
// subscribers which property changed, so a front end can follow the program.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace pelko::ui {

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Color&) const = default;
};

inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kWhite{255, 255, 255};
inline constexpr Color kGreen{0, 128, 0};
inline constexpr Color kRed{255, 0, 0};
inline constexpr Color kSilver{192, 192, 192};
inline constexpr Color kSkyBlue{166, 202, 240};
inline constexpr Color kPurple{128, 0, 128};

struct Font {
    std::string name = "MS Sans Serif";
    int size = 8;  // points
    Color color = kBlack;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const Font&) const = default;
};

enum class Property {
    Caption,
    Hint,
    Visible,
    Enabled,
    Bounds,
    Font,
    Color,
    Text,
    ReadOnly,
    Items,
    ItemIndex,
    Checked,
    DateTime,
    Cells,
    RowCount,
    ColWidths,
    Lines,
    WindowState,
};

class Control {
  public:
    using Handler = std::function<void(Control&, Property)>;

    explicit Control(std::string name) : name_(std::move(name)) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    const std::string& hint() const { return hint_; }
    void setHint(std::string hint);
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void setLeft(int left) { setBounds(left, top_, width_, height_); }
    void setTop(int top) { setBounds(left_, top, width_, height_); }
    void setWidth(int width) { setBounds(left_, top_, width, height_); }
    void setHeight(int height) { setBounds(left_, top_, width_, height); }
    void setBounds(int left, int top, int width, int height);

    const Font& font() const { return font_; }
    void setFont(const Font& font);
    void setFontColor(Color color);
    void setFontBold(bool bold);
    Color color() const { return color_; }
    void setColor(Color color);

    // Subscribers hear of every change; the number unsubscribes.
    int subscribe(Handler handler);
    void unsubscribe(int id);

  protected:
    void changed(Property property);

  private:
    std::string name_;
    std::string caption_;
    std::string hint_;
    bool visible_ = true;
    bool enabled_ = true;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    Font font_;
    Color color_ = kSilver;
    std::vector<std::pair<int, Handler>> handlers_;
    int nextId_ = 1;
};

// A label, a panel or group box header, a button: a caption and nothing more.
class TLabel : public Control {
    using Control::Control;
};
class TPanel : public Control {
    using Control::Control;
};
class TGroupBox : public Control {
    using Control::Control;
};
class TBitBtn : public Control {
    using Control::Control;
};

class TEdit : public Control {
  public:
    using Control::Control;
    const std::string& text() const { return text_; }
    // Sets the text as typed or loaded, without control characters (bytes
    // below 0x20 and 0x7F); a text longer than the maximum length (when
    // there is one) is cut.
    virtual void setText(std::string text);
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);
    std::size_t maxLength() const { return maxLength_; }
    void setMaxLength(std::size_t maxLength);  // 0: no limit

  protected:
    void storeText(std::string text);

  private:
    std::string text_;
    bool readOnly_ = false;
    std::size_t maxLength_ = 0;
};

// An edit with an input mask of digit places ("99;0; ", "999;0; "): its text
// is the digits typed, in order, blanks left out, at most one per place. So a
// partly filled field holds just its digits ("7" in a two-place field), and
// that text is what the settings file and the command files receive. Without
// a mask it is an edit with a maximum length.
class TMaskEdit : public TEdit {
  public:
    using TEdit::TEdit;
    const std::string& editMask() const { return editMask_; }
    void setEditMask(std::string mask);
    void setText(std::string text) override;

  private:
    std::string editMask_;
    std::size_t places_ = 0;
};

class TComboBox : public Control {
  public:
    enum class Style { DropDown, DropDownList };
    using Control::Control;

    Style style() const { return style_; }
    void setStyle(Style style) { style_ = style; }
    const std::vector<std::string>& items() const { return items_; }
    void setItems(std::vector<std::string> items);
    int itemIndex() const { return itemIndex_; }
    // An index the list does not have leaves the box without a selection.
    void setItemIndex(int index);
    const std::string& text() const { return text_; }
    // Text typed into the box: the box then has no selected item. A list
    // that takes no typing selects the item with exactly that text, if any.
    void setText(std::string text);
    int dropDownCount() const { return dropDownCount_; }
    void setDropDownCount(int count) { dropDownCount_ = count; }

  private:
    Style style_ = Style::DropDown;
    std::vector<std::string> items_;
    int itemIndex_ = -1;
    std::string text_;
    int dropDownCount_ = 8;
};

class TCheckBox : public Control {
  public:
    using Control::Control;
    bool checked() const { return checked_; }
    void setChecked(bool checked);

  private:
    bool checked_ = false;
};

class TDateTimePicker : public Control {
  public:
    enum class Kind { Date, Time };
    using Control::Control;
    Kind kind() const { return kind_; }
    void setKind(Kind kind) { kind_ = kind; }
    const plat::DateTime& dateTime() const { return dateTime_; }
    void setDateTime(const plat::DateTime& t);
    // Sets the time of day (the date stays) or the date (the time stays).
    void setTime(int hour, int minute, int second);
    void setDate(int year, int month, int day);

  private:
    Kind kind_ = Kind::Date;
    plat::DateTime dateTime_;
};

class TStringGrid : public Control {
  public:
    // The table never grows beyond this many rows, header included; a larger
    // row count is cut to it.
    static constexpr int kMaxRows = 100000;

    using Control::Control;
    int colCount() const { return colCount_; }
    void setColCount(int count);
    int rowCount() const { return rowCount_; }
    // At least one row. Rows cut off lose their cells; new rows are empty.
    void setRowCount(int count);
    int fixedCols() const { return fixedCols_; }
    int fixedRows() const { return fixedRows_; }
    void setFixed(int cols, int rows);
    // The text of a cell; empty outside the table.
    const std::string& cell(int col, int row) const;
    // Outside the table nothing is stored.
    void setCell(int col, int row, std::string text);
    int colWidth(int col) const;
    void setColWidth(int col, int width);
    bool editing() const { return editing_; }
    void setEditing(bool editing) { editing_ = editing; }

  private:
    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    bool editing_ = false;
    std::vector<std::vector<std::string>> cells_;  // [row][col]
    std::vector<int> colWidths_ = std::vector<int>(5, 64);
};

class TMemo : public Control {
  public:
    using Control::Control;
    const std::vector<std::string>& lines() const { return lines_; }
    void clear();
    void setLines(std::vector<std::string> lines);
    void add(std::string line);
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

  private:
    std::vector<std::string> lines_;
    bool readOnly_ = false;
};

// The one-second timer: whoever drives the program calls its owner's tick
// handler every interval while it is enabled.
class TTimer : public Control {
  public:
    using Control::Control;
    int interval() const { return interval_; }
    void setInterval(int ms) { interval_ = ms; }

  private:
    int interval_ = 1000;
};

// The file-open dialog's settings; the dialog itself is shown by the front end.
class TOpenDialog : public Control {
  public:
    using Control::Control;
    std::string title, fileName, filter, defaultExt, initialDir;
};

class TForm : public Control {
  public:
    enum class WindowState { Normal, Minimized };
    using Control::Control;
    WindowState windowState() const { return windowState_; }
    void setWindowState(WindowState state);

  private:
    WindowState windowState_ = WindowState::Normal;
};

}  // namespace pelko::ui
