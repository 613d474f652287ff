// The main window on the desktop: its controls as designed, the choices of
// hotel software and port, Enter moving the focus, the lock, the closing
// prompt with the help window, the timer inside a message box, the room
// table's exit, the directory chooser, and the window's place.
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTextBrowser>

#include "gui_fixture.h"
#include "interface/qt/help_window.h"
#include "platform/ini.h"

using namespace testsupport;

namespace {

QStringList items(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

}  // namespace

TEST_F(GuiTest, EveryControlHasItsWidgetWithTextHintAndProperties) {
    open();
    EXPECT_EQ(window->windowTitle(), "Pelko Programm Version 2.0");
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(192, 192, 192));
    for (pelko::ui::Control* c : form->controls()) {
        if (c->name() == "Timer1" || c->name() == "OpenDialog1") continue;
        ASSERT_NE(widget(c->name().c_str()), nullptr) << c->name();
        EXPECT_EQ(widget(c->name().c_str())->objectName().toStdString(), c->name());
    }

    struct Button {
        const char *name, *text, *hint;
    };
    for (const Button& b : std::initializer_list<Button>{
             {"BitBtnProgVonKasse", "Programm von Kasse holen", "Programm von der Kasse holen"},
             {"BitBtnVerschliesen", "Verschließen", "Alle Einstellungen verschließen"},
             {"BitBtnSpeichern", "Speichern", "Alle einstellungen Speichern"},
             {"BitBtnMinimieren", "Minimieren", "Das programm minimieren"},
             {"BitBtnSchliesen", "S&chließen", "Das Programm schließen"},
             {"BitBtnEinstellungen", "Einstellungen", "Einstellungen können verändert werden"},
             {"BitBtnHilfe", "&Hilfe", "Hilfe für dieses Programm"},
             {"BitBtnHotelsuchen", "suchen", ""},
             {"BitBtnManuell", "Zim.Bericht  Manuell", "Zimmer Bericht von der Kasse  holen"},
             {"BitBtnZimSenden", "Zim.Manuell Senden", "Vorhandene Zimmer Manuell senden"},
             {"BitBtnProtokoll", "Protokoll", "Übertragungs-Protokoll ausgeben"},
         }) {
        auto* button = get<QPushButton>(b.name);
        EXPECT_EQ(button->text(), QString::fromUtf8(b.text)) << b.name;
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(b.hint)) << b.name;
    }
    EXPECT_FALSE(shown("BitBtnEinstellungen"));
    EXPECT_FALSE(get<QPushButton>("BitBtnHilfe")->icon().isNull());

    // The places the lock relies on.
    EXPECT_EQ(widget("BitBtnVerschliesen")->geometry(), QRect(336, 8, 97, 25));
    EXPECT_EQ(widget("BitBtnMinimieren")->pos(), QPoint(544, 8));
    EXPECT_EQ(widget("BitBtnSchliesen")->pos(), QPoint(648, 8));

    struct Text {
        const char *name, *text;
    };
    for (const Text& t : std::initializer_list<Text>{
             {"Label1", "Schnittstelle  Kasse  -  Hotel"},
             {"Panel1", "Hotelsoftware"},
             {"Panel2", "Verzeichnis für Hoteltransfer"},
             {"Panel3", "Dateiname von Hotelsoftware"},
             {"Panel4", "Dateiname  vom Kassensystem"},
             {"Panel5", "Datum für Protokoll"},
             {"Label2", "Sekunden bis zur nächsten Überprüfung "},
             {"Label3", "____"},
             {"Label4", "Kassen Port"},
             {"Label5", "Baud Rate"},
             {"Label6", "Kunden ID"},
             {"Label7", "Kassen IP"},
             {"Label9", "Zim.Berichts Nr."},
             {"Label10", "Kassen Anzahl"},
             {"Label11", "Ums.Berichts Nr."},
             {"LabelZeit3", "Zim.Bericht Zeit 3"},
         })
        EXPECT_EQ(get<QLabel>(t.name)->text(), QString::fromUtf8(t.text)) << t.name;
    EXPECT_EQ(get<QGroupBox>("GroupBoxHotel")->title(), "Hotel");
    EXPECT_EQ(get<QGroupBox>("GroupBox2")->title(), "Kassensystem");
    EXPECT_TRUE(widget("ComboBoxHotelsoftware")->parentWidget() == widget("GroupBoxHotel"));
    EXPECT_TRUE(widget("MaskEdit_IP1")->parentWidget() == widget("GroupBox2"));
    EXPECT_EQ(get<QCheckBox>("CheckBoxUmsBerAuto")->text(),
              "Umsatz-Bericht automatisch mit Zeit-5");
    EXPECT_EQ(get<QCheckBox>("CheckBoxSichtbar")->text(), "Kommunikation mit Kasse nicht Sichtbar");

    EXPECT_TRUE(get<QLabel>("Label1")->font().bold());
    EXPECT_EQ(get<QLabel>("Label1")->font().pointSize(), 10);
    EXPECT_TRUE(get<QLabel>("Label3")->font().bold());
    EXPECT_EQ(get<QLineEdit>("EditDatumZeit")->palette().color(QPalette::Base),
              QColor(166, 202, 240));
    auto* status = get<QLineEdit>("EditStatus");
    EXPECT_TRUE(status->font().bold());
    EXPECT_EQ(status->palette().color(QPalette::Text), QColor(128, 0, 128));
    EXPECT_TRUE(get<QLineEdit>("EditHotDName")->isReadOnly());
    EXPECT_TRUE(get<QLineEdit>("EditKassDName")->isReadOnly());
    EXPECT_FALSE(get<QLineEdit>("EditHotelTransfer")->isReadOnly());
    EXPECT_EQ(get<QLineEdit>("EditHotelTransfer")->text().toStdString(), w);

    auto* software = get<QComboBox>("ComboBoxHotelsoftware");
    EXPECT_FALSE(software->isEditable());
    EXPECT_EQ(items(software), (QStringList{"HS-3   Hotelsoftware", "Velox  Hotelsoftware",
                                            "Protel  Hotelsoftware", "hotline Hotelsoftware"}));
    auto* port = get<QComboBox>("ComboBoxPort");
    EXPECT_TRUE(port->isEditable());
    ASSERT_EQ(port->count(), 18);
    EXPECT_EQ(port->itemText(0), "ohne Port");
    EXPECT_EQ(port->itemText(16), "Com 16");
    EXPECT_EQ(port->itemText(17), "Ethernet LAN");
    EXPECT_EQ(port->maxVisibleItems(), 14);
    EXPECT_EQ(port->currentText(), "ohne Port");
    auto* baud = get<QComboBox>("ComboBoxBaud");
    EXPECT_TRUE(baud->isEditable());
    EXPECT_EQ(items(baud), (QStringList{"9600", "19200", "38400", "57600", "115200"}));

    // The masks take digits only, two or three of them; the customer ID
    // takes eight characters.
    struct Mask {
        const char* name;
        int places;
    };
    for (const Mask& m : std::initializer_list<Mask>{{"MaskEditKassAnz", 2},
                                                     {"MaskEditBerNr", 2},
                                                     {"MaskEditUmsBerNr", 3},
                                                     {"MaskEdit_IP1", 3},
                                                     {"MaskEdit_FIP4", 3}}) {
        auto* edit = get<QLineEdit>(m.name);
        edit->setFocus();
        QTest::keyClicks(edit, "7a12345");
        EXPECT_EQ(edit->text(), QString("712345").left(m.places)) << m.name;
    }
    EXPECT_EQ(form->MaskEdit_IP1.text(), "712");
    auto* kundId = get<QLineEdit>("MaskEditKund_Id");
    QTest::keyClicks(kundId, "AB12cd34xy");
    EXPECT_EQ(form->MaskEditKund_Id.text(), "AB12cd34");

    auto* picker = get<QDateTimeEdit>("DateTimePicker1");
    EXPECT_EQ(picker->displayFormat(), "HH:mm:ss");
    EXPECT_EQ(picker->time(), QTime(0, 0, 0));
    EXPECT_EQ(get<QDateTimeEdit>("DateTimePickerProtokoll")->date(), QDate(2026, 12, 11));
    auto* grid = get<QTableView>("StringGrid1");
    ASSERT_EQ(grid->model()->rowCount(), 3);
    EXPECT_EQ(grid->model()->index(0, 0).data().toString(), "  Nr");
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), "Zimmer Nr.");
    EXPECT_EQ(grid->model()->index(2, 0).data().toString(), "2");
    EXPECT_EQ(grid->columnWidth(0), 30);
    EXPECT_EQ(grid->columnWidth(1), 60);
    EXPECT_FALSE(grid->model()->flags(grid->model()->index(1, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(grid->model()->flags(grid->model()->index(1, 1)) & Qt::ItemIsEditable);
}

TEST_F(GuiTest, TheFirstStartPlacesTheWindowAtTheSavedDefaults) {
    pelko::FormEnvironment e;
    open();
    EXPECT_EQ(window->pos(), QPoint(193, 113));
    EXPECT_EQ(window->size(), QSize(762, 529));
    // Moving the window counts only once it is saved.
    window->move(250, 160);
    QApplication::processEvents();
    EXPECT_EQ(form->left(), 250);
    EXPECT_EQ(plat::IniFile(dir.file("prog/Pelko_Programm.INI"))
                  .readInteger("Spezial", "FensterLinks", 0),
              0);
    click("BitBtnSpeichern");
    plat::IniFile ini(dir.file("prog/Pelko_Programm.INI"));
    EXPECT_EQ(ini.readInteger("Spezial", "FensterLinks", 0), 250);
    EXPECT_EQ(ini.readInteger("Spezial", "FensterOben", 0), 160);
}

TEST_F(GuiTest, HotelSoftwareAndPortChoicesShowTheirControls) {
    open();
    auto* software = get<QComboBox>("ComboBoxHotelsoftware");
    auto choose = [](QComboBox* box, int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
        QApplication::processEvents();
    };
    EXPECT_FALSE(shown("MaskEditUmsBerNr"));
    choose(software, 2);
    EXPECT_EQ(form->ComboBoxHotelsoftware.itemIndex(), 2);
    EXPECT_EQ(get<QLineEdit>("EditHotDName")->text(), "INHOUSE.DAT");
    EXPECT_EQ(get<QLineEdit>("EditKassDName")->text(), "ROOMBOOK.DAT");
    for (const char* name :
         {"Label11", "MaskEditUmsBerNr", "BitBtnUmsManuell", "CheckBoxUmsBerAuto"})
        EXPECT_TRUE(shown(name)) << name;
    QTest::keyClicks(get<QLineEdit>("MaskEditUmsBerNr"), "010");
    QTest::mouseClick(get<QCheckBox>("CheckBoxUmsBerAuto"), Qt::LeftButton, Qt::NoModifier,
                      QPoint(5, 10));
    EXPECT_EQ(form->MaskEditUmsBerNr.text(), "010");
    EXPECT_TRUE(form->CheckBoxUmsBerAuto.checked());
    choose(software, 1);
    EXPECT_EQ(get<QLineEdit>("EditHotDName")->text(), "ROOM.DAT");
    EXPECT_EQ(get<QLineEdit>("EditKassDName")->text(), "BOOK.DAT");
    EXPECT_FALSE(shown("MaskEditUmsBerNr"));
    EXPECT_EQ(get<QLineEdit>("MaskEditUmsBerNr")->text(), "");
    EXPECT_FALSE(get<QCheckBox>("CheckBoxUmsBerAuto")->isChecked());
    choose(software, 3);
    EXPECT_EQ(get<QLineEdit>("EditHotDName")->text(), "OSNAME.DAT");

    auto* port = get<QComboBox>("ComboBoxPort");
    const char* addressRow[] = {"Label7", "MaskEdit_IP1", "MaskEdit_IP2", "MaskEdit_IP3",
                                "MaskEdit_IP4"};
    const char* neverShown[] = {"Label8",        "MaskEdit_FIP1", "MaskEdit_FIP2",
                                "MaskEdit_FIP3", "MaskEdit_FIP4", "MaskEditDNS"};
    for (int index : {17, 3, 17, 0}) {
        choose(port, index);
        EXPECT_EQ(form->ComboBoxPort.itemIndex(), index);
        for (const char* name : addressRow) EXPECT_EQ(shown(name), index == 17) << name;
        for (const char* name : neverShown) EXPECT_FALSE(shown(name)) << name;
    }
    choose(port, 17);
    // Text typed instead of a choice: no item is selected, the row goes.
    port->lineEdit()->selectAll();
    QTest::keyClicks(port->lineEdit(), "Com 3x");
    EXPECT_EQ(form->ComboBoxPort.itemIndex(), -1);
    EXPECT_EQ(form->ComboBoxPort.text(), "Com 3x");
    EXPECT_FALSE(shown("MaskEdit_IP1"));
}

TEST_F(GuiTest, EnterInAFieldWithAKeyHandlerMovesTheFocusOn) {
    open();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    struct Step {
        const char *from, *to;
    };
    for (const Step& s : std::initializer_list<Step>{{"MaskEditKassAnz", "MaskEditKund_Id"},
                                                     {"MaskEditKund_Id", "MaskEditBerNr"},
                                                     {"ComboBoxBaud", "MaskEditKassAnz"}}) {
        QWidget* from = widget(s.from);
        from->setFocus();
        QApplication::processEvents();
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), widget(s.to)) << s.from;
    }
    // A field without a key handler keeps the focus (and Enter means nothing).
    widget("EditHotelTransfer")->setFocus();
    QTest::keyClick(widget("EditHotelTransfer"), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), widget("EditHotelTransfer"));
    // Other keys pass.
    widget("MaskEditBerNr")->setFocus();
    QTest::keyClicks(widget("MaskEditBerNr"), "12");
    EXPECT_EQ(form->MaskEditBerNr.text(), "12");
}

TEST_F(GuiTest, TheLockDisablesTheSettingsAndOnlyTheCodeLiftsIt) {
    open();
    click("BitBtnVerschliesen");
    EXPECT_FALSE(shown("BitBtnVerschliesen"));
    EXPECT_TRUE(shown("BitBtnEinstellungen"));
    EXPECT_EQ(widget("BitBtnEinstellungen")->pos(), QPoint(336, 8));
    EXPECT_FALSE(shown("BitBtnSchliesen"));
    EXPECT_EQ(widget("BitBtnMinimieren")->pos(), QPoint(648, 8));
    for (pelko::ui::Control* c : form->lockedControls())
        EXPECT_FALSE(widget(c->name().c_str())->isEnabled()) << c->name();
    for (const char* name : {"BitBtnManuell", "BitBtnZimSenden", "BitBtnProtokoll",
                             "DateTimePickerProtokoll", "BitBtnMinimieren", "BitBtnHilfe"})
        EXPECT_TRUE(widget(name)->isEnabled()) << name;

    QString caption, label;
    modal.onNext([&](QWidget* box) {
        caption = box->windowTitle();
        label = qobject_cast<QInputDialog*>(box)->labelText();
        answerPrompt(box, "4971 ");
    });
    click("BitBtnEinstellungen");
    EXPECT_EQ(caption, "Einstellungen ändern ?");
    EXPECT_EQ(label, "Code zum Einstellungen ändern eingeben");
    EXPECT_TRUE(form->locked);
    modal.onNext([&](QWidget* box) { answerPrompt(box, "4971", false); });
    click("BitBtnEinstellungen");
    EXPECT_TRUE(form->locked);
    modal.onNext([&](QWidget* box) { answerPrompt(box, "4971"); });
    click("BitBtnEinstellungen");
    EXPECT_EQ(modal.handled(), 3);
    EXPECT_FALSE(form->locked);
    EXPECT_TRUE(shown("BitBtnVerschliesen"));
    EXPECT_FALSE(shown("BitBtnEinstellungen"));
    EXPECT_TRUE(shown("BitBtnSchliesen"));
    EXPECT_EQ(widget("BitBtnMinimieren")->pos(), QPoint(544, 8));
    for (pelko::ui::Control* c : form->lockedControls())
        EXPECT_TRUE(widget(c->name().c_str())->isEnabled()) << c->name();
}

TEST_F(GuiTest, ClosingAsksForTheCodeAndClosesTheHelp) {
    dir.write("prog/Pelko_Hilfe.html",
              "<html><body><p>Anfang</p>" + std::string(4000, ' ') +
                  "<h1 id=\"10001\">Pelko-Programm</h1><p>Hilfe</p></body></html>");
    open();
    click("BitBtnHilfe");
    ASSERT_NE(host.helpWindow(), nullptr);
    EXPECT_TRUE(host.helpWindow()->isVisible());
    EXPECT_EQ(host.helpWindow()->browser()->source().fragment(), "10001");

    QString caption, label;
    modal.onNext([&](QWidget* box) {
        caption = box->windowTitle();
        label = qobject_cast<QInputDialog*>(box)->labelText();
        answerPrompt(box, "6093", false);
    });
    window->close();  // the window system's close: system menu, Alt+F4
    EXPECT_EQ(caption, "Programm Beenden ?");
    EXPECT_EQ(label, "Sind Sie sicher ? \nzum Programm Beenden geben Sie bitte 6093 ein");
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(host.quitRequested());
    EXPECT_FALSE(host.helpWindow()->isVisible());  // the prompt closed it

    modal.onNext([&](QWidget* box) { answerPrompt(box, "6093 "); });
    click("BitBtnSchliesen");
    EXPECT_FALSE(host.quitRequested());
    // Locked, the close button is gone; the window's close still asks.
    click("BitBtnVerschliesen");
    modal.onNext([&](QWidget* box) { answerPrompt(box, "6093"); });
    window->close();
    EXPECT_EQ(modal.handled(), 3);
    EXPECT_TRUE(host.quitRequested());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(GuiTest, TheTimerTicksInsideAMessageBoxWithoutStartingFileWork) {
    open();
    form->Timer1.setInterval(20);
    // Report time 1 is now: every tick outside file work starts a run.
    form->DateTimePicker1.setTime(11, 59, 50);
    window->startTimer();

    int countdownAtOpen = 0, countdownAtClose = 0;
    std::size_t runsInBox = 0;
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    modal.onNext([&](QWidget* box) {
        auto* message = qobject_cast<QMessageBox*>(box);
        ASSERT_NE(message, nullptr);
        caption = message->windowTitle();
        text = message->text();
        icon = message->icon();
        countdownAtOpen = form->countdown;
        QTest::qWait(300);  // the box stays open; the timer goes on
        countdownAtClose = form->countdown;
        runsInBox = driver.runs.size();
        message->accept();
    });
    // No job log of the day: the viewer's box, shown while it reads files.
    click("BitBtnProtokoll");
    EXPECT_EQ(caption, "Meldung");
    EXPECT_EQ(text, " LOG Datei kann nicht gelesen werden");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_LE(countdownAtClose, countdownAtOpen - 3);
    EXPECT_NE(get<QLabel>("Label3")->text(), "____");
    EXPECT_EQ(runsInBox, 0u);  // the report time waited for the file work to end
    QTest::qWait(100);
    EXPECT_GT(driver.runs.size(), 0u);
    window->timer()->stop();
}

TEST_F(GuiTest, AReportTimeStartsItsRunFromInsideACodePrompt) {
    open();
    click("BitBtnVerschliesen");
    form->Timer1.setInterval(20);
    form->DateTimePicker1.setTime(11, 59, 50);  // the virtual clock stands still
    window->startTimer();
    std::size_t runsInPrompt = 0;
    modal.onNext([&](QWidget* box) {
        QTest::qWait(200);
        runsInPrompt = driver.runs.size();
        answerPrompt(box, "", false);
    });
    click("BitBtnEinstellungen");
    window->timer()->stop();
    EXPECT_GT(runsInPrompt, 0u);
    EXPECT_EQ(driver.runs.front(), "TK.DAT");
}

TEST_F(GuiTest, TheLogViewerShowsTheDaysLogAndItsButtonEmptiesIt) {
    std::string longLine(600, 'x');
    dir.write("w/LOG/20261211.LOG",
              "11.12.2026;11:00:00;START;\"<1.20> Session Started\";0;\"OK\"\r\n" + longLine +
                  "\r\n11.12.2026;11:00:04;END;\"Session Ended\";0;\"OK\"\r\n\r\n");
    open();
    click("BitBtnProtokoll");
    ASSERT_TRUE(protokoll->isVisible());
    EXPECT_EQ(protokoll->windowTitle(), "Protokoll");
    EXPECT_EQ(protokoll->size(), QSize(672, 486));
    EXPECT_EQ(find<QLabel>(protokoll.get(), "Label1")->text(), "Übertragungs-Protokoll");
    EXPECT_EQ(find<QLabel>(protokoll.get(), "Label1")->font().pointSize(), 18);
    auto* memo = find<QPlainTextEdit>(protokoll.get(), "Memo1");
    EXPECT_TRUE(memo->isReadOnly());
    QStringList lines = memo->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1].size(), 600);
    EXPECT_EQ(lines[3], "");
    auto* close = find<QPushButton>(protokoll.get(), "BitBtnSchliesen");
    EXPECT_EQ(close->text(), "S&chließen");
    EXPECT_EQ(close->toolTip(), "Dieses Fenster schließen");
    EXPECT_EQ(close->cursor().shape(), Qt::PointingHandCursor);
    // The main window stays usable: the viewer is not modal.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(protokoll->isVisible());
    EXPECT_TRUE(memo->toPlainText().isEmpty());

    // Closed by its close box, it keeps the lines until it is shown again.
    click("BitBtnProtokoll");
    protokoll->close();
    EXPECT_FALSE(protokoll->isVisible());
    EXPECT_FALSE(form->FormProtokoll.visible());
    EXPECT_EQ(memo->toPlainText().split('\n').size(), 4);
}

TEST_F(GuiTest, LeavingTheRoomTableWritesTheRoomNumberList) {
    dir.write("w/VZ.CSV", "250;1;;0;\"Zi 1\"\r\n250;2;;0;\"Zi 2\"\r\n");
    open();
    auto* grid = get<QTableView>("StringGrid1");
    grid->setFocus();
    grid->model()->setData(grid->model()->index(1, 1), "101");
    grid->model()->setData(grid->model()->index(2, 1), "102");
    EXPECT_EQ(form->StringGrid1.cell(1, 2), "102");
    EXPECT_FALSE(dir.exists("w/VZIMMER.CSV"));
    widget("MaskEditKassAnz")->setFocus();
    QApplication::processEvents();
    std::string list = dir.read("w/VZIMMER.CSV");
    EXPECT_NE(list.find("101"), std::string::npos) << list;
    EXPECT_NE(list.find("102"), std::string::npos) << list;
}

TEST_F(GuiTest, TheDirectoryChooserFillsTheTransferDirectory) {
    dir.write("prog/Pelko_Programm.INI",
              "[HOTEL]\r\nHotelVerzeichnis=" + dir.file("saved") + "\r\n");
    std::filesystem::create_directories(dir.path() / "saved");
    std::filesystem::create_directories(dir.path() / "hotel");
    open();
    QString title;
    modal.onNext([&](QWidget* box) {
        auto* chooser = qobject_cast<QFileDialog*>(box);
        ASSERT_NE(chooser, nullptr);
        title = chooser->windowTitle();
        chooser->setDirectory(QString::fromStdString(dir.file("hotel")));
        chooser->selectFile(QString::fromStdString(dir.file("hotel")));
        static_cast<QDialog*>(chooser)->accept();
    });
    click("BitBtnHotelsuchen");
    EXPECT_EQ(title, "Verzeichnis auswählen");
    EXPECT_EQ(form->EditHotelTransfer.text(), dir.file("hotel"));
    EXPECT_EQ(get<QLineEdit>("EditHotelTransfer")->text().toStdString(), dir.file("hotel"));
    // Cancelled: the saved directory comes back.
    modal.onNext([](QWidget* box) { qobject_cast<QDialog*>(box)->reject(); });
    click("BitBtnHotelsuchen");
    EXPECT_EQ(get<QLineEdit>("EditHotelTransfer")->text().toStdString(), dir.file("saved"));
    EXPECT_EQ(plat::currentDirectory(), w);
}
