// The transmission log viewer, and the main window's button that shows it.
#include "interface/form_protokoll.h"

#include "interface/form_pelko.h"
#include "platform/regional.h"
#include "platform/text.h"

namespace pelko {

TFormProtokoll::TFormProtokoll(TFormPelko& main) : ui::TForm("FormProtokoll"), main_(main) {
    setCaption("Protokoll");
    setBounds(0, 0, 672, 486);  // client area, centred on the screen
    setVisible(false);
    Label1.setCaption("Übertragungs-Protokoll");
    ui::Font big;
    big.size = 18;
    Label1.setFont(big);
    ui::Font memoFont;
    memoFont.size = 10;
    Memo1.setFont(memoFont);
    Memo1.setReadOnly(true);
    BitBtnSchliesen.setCaption("S&chließen");
    BitBtnSchliesen.setHint("Dieses Fenster schließen");
}

void TFormProtokoll::Show() {
    if (visible()) return;
    setVisible(true);
    FormShow();
}

void TFormProtokoll::FormShow() {
    TFormPelko::FileWork work(main_);
    std::string path = main_.workDir + "/LOG/" +
                       plat::formatDateTime("yyyymmdd", main_.DateTimePickerProtokoll.dateTime()) +
                       ".LOG";
    std::string text;
    if (!plat::readTextFile(path, text)) {
        main_.Meldung(" LOG Datei kann nicht gelesen werden");
        return;
    }
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) nl = text.size();
        lines.push_back(text.substr(pos, nl - pos));
        pos = nl + 1;
    }
    Memo1.setLines(std::move(lines));
}

void TFormProtokoll::BitBtnSchliesenClick() {
    Memo1.clear();
    setVisible(false);
}

void TFormProtokoll::Close() {
    setVisible(false);
}

void TFormPelko::BitBtnProtokollClick() {
    FormProtokoll.Show();
}

}  // namespace pelko
