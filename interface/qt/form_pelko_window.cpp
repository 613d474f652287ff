#include "interface/qt/form_pelko_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTimeEdit>

#include "interface/qt/binding.h"

namespace pelko::qt {
namespace {

// Where each control sits: in the window or in a group box, left, top,
// width, height. The table's order is the order of the Tab key. A control
// without a place here (all zero) keeps the place the window model gives it:
// the lock, save, minimise and close buttons at the top, and "Einstellungen"
// and "Minimieren", which the lock moves.
struct Place {
    const char* name;
    const char* parent;
    int left, top, width, height;
};

constexpr Place kPlaces[] = {
    {"Label1", "", 8, 6, 180, 32},
    {"BitBtnProgVonKasse", "", 192, 8, 137, 25},
    {"BitBtnVerschliesen", "", 0, 0, 0, 0},
    {"BitBtnEinstellungen", "", 0, 0, 0, 0},
    {"BitBtnSpeichern", "", 0, 0, 0, 0},
    {"BitBtnMinimieren", "", 0, 0, 0, 0},
    {"BitBtnSchliesen", "", 0, 0, 0, 0},
    {"EditDatumZeit", "", 8, 42, 330, 22},

    {"GroupBoxHotel", "", 8, 72, 372, 300},
    {"Panel1", "GroupBoxHotel", 10, 22, 172, 22},
    {"ComboBoxHotelsoftware", "GroupBoxHotel", 190, 22, 172, 22},
    {"Panel3", "GroupBoxHotel", 10, 50, 172, 22},
    {"EditHotDName", "GroupBoxHotel", 190, 50, 172, 22},
    {"Panel4", "GroupBoxHotel", 10, 78, 172, 22},
    {"EditKassDName", "GroupBoxHotel", 190, 78, 172, 22},
    {"Panel2", "GroupBoxHotel", 10, 106, 172, 22},
    {"EditHotelTransfer", "GroupBoxHotel", 10, 132, 286, 22},
    {"BitBtnHotelsuchen", "GroupBoxHotel", 300, 131, 62, 24},
    {"StringGrid1", "GroupBoxHotel", 10, 164, 112, 126},
    {"Label2", "GroupBoxHotel", 132, 170, 230, 34},
    {"Label3", "GroupBoxHotel", 132, 208, 60, 18},

    {"GroupBox2", "", 388, 72, 366, 300},
    {"Label4", "GroupBox2", 10, 25, 110, 16},
    {"ComboBoxPort", "GroupBox2", 125, 22, 130, 22},
    {"Label5", "GroupBox2", 10, 51, 110, 16},
    {"ComboBoxBaud", "GroupBox2", 125, 48, 130, 22},
    {"Label10", "GroupBox2", 10, 77, 110, 16},
    {"MaskEditKassAnz", "GroupBox2", 125, 74, 40, 22},
    {"Label6", "GroupBox2", 10, 103, 110, 16},
    {"MaskEditKund_Id", "GroupBox2", 125, 100, 90, 22},
    {"Label9", "GroupBox2", 10, 129, 110, 16},
    {"MaskEditBerNr", "GroupBox2", 125, 126, 40, 22},
    {"Label7", "GroupBox2", 10, 155, 110, 16},
    {"MaskEdit_IP1", "GroupBox2", 125, 152, 40, 22},
    {"MaskEdit_IP2", "GroupBox2", 171, 152, 40, 22},
    {"MaskEdit_IP3", "GroupBox2", 217, 152, 40, 22},
    {"MaskEdit_IP4", "GroupBox2", 263, 152, 40, 22},
    {"Label11", "GroupBox2", 10, 181, 110, 16},
    {"MaskEditUmsBerNr", "GroupBox2", 125, 178, 40, 22},
    {"BitBtnUmsManuell", "GroupBox2", 200, 177, 150, 25},
    {"CheckBoxUmsBerAuto", "GroupBox2", 10, 210, 340, 20},
    {"CheckBoxSichtbar", "GroupBox2", 10, 234, 340, 20},
    // Always hidden; their values are loaded and saved all the same.
    {"Label8", "GroupBox2", 10, 263, 110, 16},
    {"MaskEdit_FIP1", "GroupBox2", 125, 260, 40, 22},
    {"MaskEdit_FIP2", "GroupBox2", 171, 260, 40, 22},
    {"MaskEdit_FIP3", "GroupBox2", 217, 260, 40, 22},
    {"MaskEdit_FIP4", "GroupBox2", 263, 260, 40, 22},
    {"MaskEditDNS", "GroupBox2", 125, 270, 226, 22},

    {"LabelZeit1", "", 8, 380, 100, 16},
    {"DateTimePicker1", "", 8, 398, 92, 22},
    {"LabelZeit2", "", 112, 380, 100, 16},
    {"DateTimePicker2", "", 112, 398, 92, 22},
    {"LabelZeit3", "", 216, 380, 100, 16},
    {"DateTimePicker3", "", 216, 398, 92, 22},
    {"LabelZeit4", "", 320, 380, 100, 16},
    {"DateTimePicker4", "", 320, 398, 92, 22},
    {"LabelZeit5", "", 424, 380, 100, 16},
    {"DateTimePicker5", "", 424, 398, 92, 22},
    {"BitBtnManuell", "", 534, 396, 108, 25},
    {"BitBtnZimSenden", "", 646, 396, 108, 25},

    {"Panel5", "", 8, 434, 152, 22},
    {"DateTimePickerProtokoll", "", 8, 460, 152, 22},
    {"BitBtnProtokoll", "", 168, 459, 97, 25},
    {"EditStatus", "", 274, 460, 480, 22},
    {"BitBtnHilfe", "", 648, 496, 97, 25},
};

using Click = void (TFormPelko::*)();
using Key = void (TFormPelko::*)(char&);

const std::map<std::string, Click>& clickHandlers() {
    static const std::map<std::string, Click> handlers = {
        {"BitBtnProgVonKasse", &TFormPelko::BitBtnProgVonKasseClick},
        {"BitBtnVerschliesen", &TFormPelko::BitBtnVerschliesenClick},
        {"BitBtnSpeichern", &TFormPelko::BitBtnSpeichernClick},
        {"BitBtnMinimieren", &TFormPelko::BitBtnMinimierenClick},
        {"BitBtnSchliesen", &TFormPelko::BitBtnSchliesenClick},
        {"BitBtnEinstellungen", &TFormPelko::BitBtnEinstellungenClick},
        {"BitBtnHilfe", &TFormPelko::BitBtnHilfeClick},
        {"BitBtnHotelsuchen", &TFormPelko::BitBtnHotelsuchenClick},
        {"BitBtnUmsManuell", &TFormPelko::BitBtnUmsManuellClick},
        {"BitBtnManuell", &TFormPelko::BitBtnManuellClick},
        {"BitBtnZimSenden", &TFormPelko::BitBtnZimSendenClick},
        {"BitBtnProtokoll", &TFormPelko::BitBtnProtokollClick},
    };
    return handlers;
}

const std::map<std::string, Key>& keyHandlers() {
    static const std::map<std::string, Key> handlers = {
        {"ComboBoxPort", &TFormPelko::ComboBoxPortKeyPress},
        {"ComboBoxBaud", &TFormPelko::ComboBoxBaudKeyPress},
        {"MaskEditKassAnz", &TFormPelko::MaskEditKassAnzKeyPress},
        {"MaskEditKund_Id", &TFormPelko::MaskEditKund_IdKeyPress},
        {"MaskEditBerNr", &TFormPelko::MaskEditBerNrKeyPress},
        {"MaskEditUmsBerNr", &TFormPelko::MaskEditUmsBerNrKeyPress},
        {"MaskEdit_IP1", &TFormPelko::MaskEdit_IP1KeyPress},
        {"MaskEdit_IP2", &TFormPelko::MaskEdit_IP2KeyPress},
        {"MaskEdit_IP3", &TFormPelko::MaskEdit_IP3KeyPress},
        {"MaskEdit_IP4", &TFormPelko::MaskEdit_IP4KeyPress},
        {"MaskEditDNS", &TFormPelko::MaskEditDNSKeyPress},
        {"MaskEdit_FIP1", &TFormPelko::MaskEdit_FIP1KeyPress},
        {"MaskEdit_FIP2", &TFormPelko::MaskEdit_FIP2KeyPress},
        {"MaskEdit_FIP3", &TFormPelko::MaskEdit_FIP3KeyPress},
        {"MaskEdit_FIP4", &TFormPelko::MaskEdit_FIP4KeyPress},
    };
    return handlers;
}

// Glyphs of the buttons, from the style's standard icons.
QStyle::StandardPixmap glyph(const std::string& name, bool& has) {
    has = true;
    if (name == "BitBtnHilfe") return QStyle::SP_DialogHelpButton;
    if (name == "BitBtnSpeichern") return QStyle::SP_DialogSaveButton;
    if (name == "BitBtnSchliesen") return QStyle::SP_DialogCloseButton;
    if (name == "BitBtnHotelsuchen") return QStyle::SP_DirOpenIcon;
    if (name == "BitBtnProtokoll") return QStyle::SP_FileDialogDetailedView;
    has = false;
    return QStyle::SP_CustomBase;
}

bool within(const QWidget* outer, const QWidget* w) {
    return w && (w == outer || outer->isAncestorOf(w));
}

}  // namespace

FormPelkoWindow::FormPelkoWindow(TFormPelko& form)
    : FormWindow(form, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      pelko_(form),
      timer_(new QTimer(this)) {
    createControls();
    setCloseHandler([this] { pelko_.Close(); });

    // The grid's exit: the focus leaves it for another control of the window.
    focusConnection_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            QWidget* grid = widget("StringGrid1");
            if (within(grid, old) && now && !within(grid, now) && now->window() == this)
                guarded([this] { pelko_.StringGrid1Exit(); });
        });

    // The tick is posted rather than run in the timer's own handler: the
    // tick may open a box, and inside it the timer has to go on ticking.
    connect(timer_, &QTimer::timeout, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { tick(); }, Qt::QueuedConnection);
    });
}

void FormPelkoWindow::createControls() {
    std::map<std::string, ui::Control*> controls;
    for (ui::Control* c : pelko_.controls()) controls[c->name()] = c;

    for (const Place& place : kPlaces) {
        auto it = controls.find(place.name);
        if (it == controls.end()) continue;
        ui::Control& c = *it->second;
        if (place.width > 0) c.setBounds(place.left, place.top, place.width, place.height);
        QWidget* parent = *place.parent ? widgets_.at(place.parent) : this;
        QWidget* w = nullptr;
        const std::string name = place.name;

        if (auto* edit = dynamic_cast<ui::TEdit*>(&c)) {
            auto* e = new QLineEdit(parent);
            bindEdit(*edit, e);
            w = e;
        } else if (auto* combo = dynamic_cast<ui::TComboBox*>(&c)) {
            auto* box = new QComboBox(parent);
            std::function<void()> change;
            if (name == "ComboBoxHotelsoftware")
                change = [form = &pelko_] { form->ComboBoxHotelsoftwareChange(); };
            else if (name == "ComboBoxPort")
                change = [form = &pelko_] { form->ComboBoxPortChange(); };
            bindCombo(*combo, box, change);
            w = box;
        } else if (auto* check = dynamic_cast<ui::TCheckBox*>(&c)) {
            auto* b = new QCheckBox(parent);
            bindCheck(*check, b);
            w = b;
        } else if (auto* picker = dynamic_cast<ui::TDateTimePicker*>(&c)) {
            QDateTimeEdit* p = picker->kind() == ui::TDateTimePicker::Kind::Time
                                   ? static_cast<QDateTimeEdit*>(new QTimeEdit(parent))
                                   : static_cast<QDateTimeEdit*>(new QDateEdit(parent));
            bindPicker(*picker, p);
            w = p;
        } else if (auto* grid = dynamic_cast<ui::TStringGrid*>(&c)) {
            auto* view = new QTableView(parent);
            view->horizontalHeader()->hide();
            view->verticalHeader()->hide();
            view->verticalHeader()->setDefaultSectionSize(20);
            view->setSelectionMode(QAbstractItemView::SingleSelection);
            view->setEditTriggers(QAbstractItemView::AllEditTriggers);
            bindGrid(*grid, view);
            w = view;
        } else if (auto* group = dynamic_cast<ui::TGroupBox*>(&c)) {
            auto* g = new QGroupBox(parent);
            bindGroup(*group, g);
            w = g;
        } else if (dynamic_cast<ui::TBitBtn*>(&c)) {
            auto* b = new QPushButton(parent);
            b->setAutoDefault(false);
            bool has = false;
            QStyle::StandardPixmap sp = glyph(name, has);
            if (has) b->setIcon(style()->standardIcon(sp));
            auto click = clickHandlers().find(name);
            std::function<void()> onClick;
            if (click != clickHandlers().end())
                onClick = [form = &pelko_, fn = click->second] { (form->*fn)(); };
            bindButton(c, b, onClick);
            w = b;
        } else if (dynamic_cast<ui::TPanel*>(&c)) {
            auto* l = new QLabel(parent);
            l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            l->setAlignment(Qt::AlignCenter);
            l->setAutoFillBackground(true);
            bindLabel(c, l);
            w = l;
        } else if (dynamic_cast<ui::TLabel*>(&c)) {
            auto* l = new QLabel(parent);
            l->setWordWrap(name == "Label1" || name == "Label2");
            l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            bindLabel(c, l);
            w = l;
        }
        if (!w) continue;
        w->setObjectName(QString::fromStdString(name));
        widgets_[name] = w;
        auto key = keyHandlers().find(name);
        if (key != keyHandlers().end()) {
            keyHandlers_[w] = key->second;
            w->installEventFilter(this);
            if (auto* box = qobject_cast<QComboBox*>(w); box && box->lineEdit()) {
                keyHandlers_[box->lineEdit()] = key->second;
                box->lineEdit()->installEventFilter(this);
            }
        }
    }
}

// The focus moves while the widgets go: the grid's exit must not be heard then.
FormPelkoWindow::~FormPelkoWindow() {
    disconnect(focusConnection_);
}

QWidget* FormPelkoWindow::widget(const std::string& name) const {
    auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

// Enter in a field with a key handler: the handler swallows it and moves the
// focus on; every other key goes its way.
bool FormPelkoWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto it = keyHandlers_.find(watched);
        if (it != keyHandlers_.end() &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            char k = 13;
            TFormPelko* form = &pelko_;
            Key handler = it->second;
            guarded([form, handler, &k] { (form->*handler)(k); });
            if (k == 0) return true;
        }
    }
    return FormWindow::eventFilter(watched, event);
}

void FormPelkoWindow::startTimer() {
    timer_->start(pelko_.Timer1.interval());
}

void FormPelkoWindow::tick() {
    if (pelko_.Timer1.enabled()) guarded([this] { pelko_.Timer1Timer(); });
}

}  // namespace pelko::qt
