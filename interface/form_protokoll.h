// The transmission log viewer TFormProtokoll: shows the driver's job log of
// the day chosen in the main window's "Datum für Protokoll", read each time
// the window becomes visible.
#pragma once

#include "interface/controls.h"

namespace pelko {

class TFormPelko;

class TFormProtokoll : public ui::TForm {
  public:
    explicit TFormProtokoll(TFormPelko& main);

    ui::TLabel Label1{"Label1"};
    ui::TMemo Memo1{"Memo1"};
    ui::TBitBtn BitBtnSchliesen{"BitBtnSchliesen"};

    // Makes the window visible (not modal); loads the log when it was hidden.
    void Show();
    // The show handler: loads the log of the chosen day into the memo.
    void FormShow();
    // The window's own button: empties the memo and closes the window.
    void BitBtnSchliesenClick();
    // The close box: closes the window, the memo keeps its lines.
    void Close();

  private:
    TFormPelko& main_;
};

}  // namespace pelko
