#include "driver/job_format.h"
#include "driver/main_form.h"
#include "platform/clock.h"
#include "platform/paths.h"

namespace tarvik {

void TMainForm::openOutputFile(std::string_view keyword, std::string_view name) {
    closeOutputFile();
    bool append = keyword == "FILE" || keyword == "BFILE";
    dated_ = keyword == "DFILE" || keyword == "DBFILE";
    offsetEncoding_ = keyword == "BFILE" || keyword == "BNEWFILE" || keyword == "DBFILE";
    outputFileName_ = std::string(name);

    if (!dated_) {
        plat::File::Mode mode = append ? plat::File::Mode::Append : plat::File::Mode::Create;
        if (!outputFile_.open(outputFileName_, mode, plat::File::Share::Exclusive)) {
            status_ = kErrorOpeningFile;
        }
        return;
    }
    // A dated file is always a new one: while a file of the dated name
    // exists, wait 1100 ms for the next name. Creating it refuses a file that
    // appeared meanwhile, so no dated file is ever overwritten.
    for (;;) {
        outputFileName_ = datedName(name, plat::now());
        if (!plat::fileExists(outputFileName_)) {
            if (outputFile_.open(outputFileName_, plat::File::Mode::CreateNew,
                                 plat::File::Share::Exclusive)) {
                return;
            }
            if (!plat::fileExists(outputFileName_)) {
                status_ = kErrorOpeningFile;
                return;
            }
        }
        waitProcessingEvents(1100);
        if (status_ == kUserBreak) return;  // no output file
    }
}

void TMainForm::closeOutputFile() {
    if (!outputFile_.isOpen()) return;
    std::int64_t size = outputFile_.size();
    std::string path = outputFile_.path();
    outputFile_.close();
    if (dated_ && size == 0) plat::removeFile(path);
}

bool TMainForm::writeRecord(std::string_view record) {
    if (!outputFile_.isOpen()) return false;
    std::string line(record);
    line += "\r\n";
    if (offsetEncoding_) offsetEncode(reinterpret_cast<std::uint8_t*>(line.data()), line.size());
    return outputFile_.write(line);
}

}  // namespace tarvik
