#include "driver/main_form.h"

namespace tarvik {

bool TMainForm::readCommandLine() {
    CommandLine line;
    if (!reader_.next(line)) return false;
    keyword_ = std::move(line.keyword);
    value_ = std::move(line.value);
    lineDamaged_ = line.damaged;
    haveLine_ = true;
    return true;
}

}  // namespace tarvik
