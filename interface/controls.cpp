#include "interface/controls.h"

#include <algorithm>

namespace pelko::ui {

void Control::setCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    changed(Property::Caption);
}

void Control::setHint(std::string hint) {
    if (hint_ == hint) return;
    hint_ = std::move(hint);
    changed(Property::Hint);
}

void Control::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    changed(Property::Visible);
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    changed(Property::Enabled);
}

void Control::setBounds(int left, int top, int width, int height) {
    if (left_ == left && top_ == top && width_ == width && height_ == height) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    changed(Property::Bounds);
}

void Control::setFont(const Font& font) {
    if (font_ == font) return;
    font_ = font;
    changed(Property::Font);
}

void Control::setFontColor(Color color) {
    Font f = font_;
    f.color = color;
    setFont(f);
}

void Control::setFontBold(bool bold) {
    Font f = font_;
    f.bold = bold;
    setFont(f);
}

void Control::setColor(Color color) {
    if (color_ == color) return;
    color_ = color;
    changed(Property::Color);
}

int Control::subscribe(Handler handler) {
    int id = nextId_++;
    handlers_.emplace_back(id, std::move(handler));
    return id;
}

void Control::unsubscribe(int id) {
    handlers_.erase(std::remove_if(handlers_.begin(), handlers_.end(),
                                   [id](const auto& h) { return h.first == id; }),
                    handlers_.end());
}

void Control::changed(Property property) {
    // A handler may subscribe or unsubscribe while it is told.
    auto handlers = handlers_;
    for (auto& h : handlers) h.second(*this, property);
}

void TEdit::setText(std::string text) {
    // A one-line field holds no control characters: none can be typed, and
    // one loaded from the settings file (a NUL, a line break) must not reach
    // the driver's command files, where it would break a line.
    std::erase_if(text, [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
    if (maxLength_ > 0 && text.size() > maxLength_) text.resize(maxLength_);
    storeText(std::move(text));
}

void TEdit::storeText(std::string text) {
    if (text_ == text) return;
    text_ = std::move(text);
    changed(Property::Text);
}

void TEdit::setReadOnly(bool readOnly) {
    if (readOnly_ == readOnly) return;
    readOnly_ = readOnly;
    changed(Property::ReadOnly);
}

void TEdit::setMaxLength(std::size_t maxLength) {
    maxLength_ = maxLength;
    setText(text());
}

void TMaskEdit::setEditMask(std::string mask) {
    editMask_ = std::move(mask);
    std::size_t end = editMask_.find(';');
    std::string places = editMask_.substr(0, end);
    places_ = static_cast<std::size_t>(
        std::count_if(places.begin(), places.end(), [](char c) { return c == '9' || c == '0'; }));
    setText(text());
}

void TMaskEdit::setText(std::string text) {
    if (places_ == 0) {
        TEdit::setText(std::move(text));
        return;
    }
    std::string digits;
    for (char c : text) {
        if (c >= '0' && c <= '9' && digits.size() < places_) digits += c;
    }
    storeText(std::move(digits));
}

void TComboBox::setItems(std::vector<std::string> items) {
    items_ = std::move(items);
    changed(Property::Items);
    setItemIndex(itemIndex_);
}

void TComboBox::setItemIndex(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) index = -1;
    std::string text = index < 0 ? std::string() : items_[static_cast<std::size_t>(index)];
    bool indexChanged = itemIndex_ != index;
    bool textChanged = text_ != text;
    itemIndex_ = index;
    text_ = std::move(text);
    if (indexChanged) changed(Property::ItemIndex);
    if (textChanged) changed(Property::Text);
}

void TComboBox::setText(std::string text) {
    if (style_ == Style::DropDownList) {
        auto it = std::find(items_.begin(), items_.end(), text);
        if (it != items_.end()) setItemIndex(static_cast<int>(it - items_.begin()));
        return;
    }
    bool indexChanged = itemIndex_ != -1;
    bool textChanged = text_ != text;
    itemIndex_ = -1;
    text_ = std::move(text);
    if (indexChanged) changed(Property::ItemIndex);
    if (textChanged) changed(Property::Text);
}

void TCheckBox::setChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    changed(Property::Checked);
}

void TDateTimePicker::setDateTime(const plat::DateTime& t) {
    if (dateTime_ == t) return;
    dateTime_ = t;
    changed(Property::DateTime);
}

void TDateTimePicker::setTime(int hour, int minute, int second) {
    plat::DateTime t = dateTime_;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    t.millisecond = 0;
    setDateTime(t);
}

void TDateTimePicker::setDate(int year, int month, int day) {
    plat::DateTime t = dateTime_;
    t.year = year;
    t.month = month;
    t.day = day;
    // Keeps the weekday right for the date.
    plat::DateTime norm = plat::fromSerialSeconds(plat::toSerialSeconds(t), t.millisecond);
    setDateTime(norm);
}

void TStringGrid::setColCount(int count) {
    count = std::max(1, count);
    if (count == colCount_) return;
    colCount_ = count;
    for (auto& row : cells_) row.resize(static_cast<std::size_t>(count));
    colWidths_.resize(static_cast<std::size_t>(count), 64);
    changed(Property::Cells);
}

void TStringGrid::setRowCount(int count) {
    count = std::clamp(count, 1, kMaxRows);
    if (count == rowCount_) return;
    rowCount_ = count;
    if (cells_.size() > static_cast<std::size_t>(count))
        cells_.resize(static_cast<std::size_t>(count));
    changed(Property::RowCount);
}

void TStringGrid::setFixed(int cols, int rows) {
    fixedCols_ = cols;
    fixedRows_ = rows;
}

const std::string& TStringGrid::cell(int col, int row) const {
    static const std::string empty;
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return empty;
    if (static_cast<std::size_t>(row) >= cells_.size()) return empty;
    const auto& r = cells_[static_cast<std::size_t>(row)];
    if (static_cast<std::size_t>(col) >= r.size()) return empty;
    return r[static_cast<std::size_t>(col)];
}

void TStringGrid::setCell(int col, int row, std::string text) {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return;
    if (cell(col, row) == text) return;
    if (static_cast<std::size_t>(row) >= cells_.size())
        cells_.resize(static_cast<std::size_t>(row) + 1);
    auto& r = cells_[static_cast<std::size_t>(row)];
    if (r.size() < static_cast<std::size_t>(colCount_))
        r.resize(static_cast<std::size_t>(colCount_));
    r[static_cast<std::size_t>(col)] = std::move(text);
    changed(Property::Cells);
}

int TStringGrid::colWidth(int col) const {
    if (col < 0 || static_cast<std::size_t>(col) >= colWidths_.size()) return 0;
    return colWidths_[static_cast<std::size_t>(col)];
}

void TStringGrid::setColWidth(int col, int width) {
    if (col < 0 || col >= colCount_) return;
    if (colWidths_[static_cast<std::size_t>(col)] == width) return;
    colWidths_[static_cast<std::size_t>(col)] = width;
    changed(Property::ColWidths);
}

void TMemo::clear() {
    if (lines_.empty()) return;
    lines_.clear();
    changed(Property::Lines);
}

void TMemo::setLines(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    changed(Property::Lines);
}

void TMemo::add(std::string line) {
    lines_.push_back(std::move(line));
    changed(Property::Lines);
}

void TForm::setWindowState(WindowState state) {
    if (windowState_ == state) return;
    windowState_ = state;
    changed(Property::WindowState);
}

}  // namespace pelko::ui
