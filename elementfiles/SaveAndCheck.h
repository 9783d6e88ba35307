#pragma once
// Saving a downloaded element-set text into the group data folder once it has been checked by
// loading it, with the update of the chosen historic files.

#include "elementfiles/AnswerGate.h"
#include "elementfiles/ElementFileText.h"
#include "elementfiles/ElementFolders.h"
#include "elementfiles/RunLog.h"

#include <memory>
#include <string>
#include <vector>

namespace elsetry {

// What a saved answer came to.
struct TSaveResult {
    int Sets = 0;
    // Historic files that should have been extended and could not be.
    int HistoricFailures = 0;
    // The sets saved as element lines (a name line and two element lines a set): in the default
    // form, the text saved; CR LF line ends, but for a CSV or JSON file's, which are the lines
    // read back from it, with LF.
    std::shared_ptr<const std::string> Text;
    // The catalogue numbers of the objects of a CSV or JSON file numbered past 339999, which the
    // lines of Text cannot hold.
    std::vector<long> PastElementLines;
};

// Removes up to two leading comment lines from Lines and passes the rest through the answer gate
// (AnswerGate.h), which leaves only whole, plausible sets and, for a list query (Question's
// numbers), only those asked for. Writes them (CR LF line ends) to a hidden temporary beside the
// group data folder text followed by FileName, loads that at idle priority, and only when
// it reads as element sets renames it over the earlier file. Then logs "   Saved: ", what the
// gate left out, extends the historic files of the checked historic items and of the extra
// historic entries, and logs the counts and the names that did not load.
// Raises EGroupFailed, having written and logged nothing, when FileName is not a plain file name,
// the text is larger than one answer may be ("too large"), holds no complete set or does not read
// as element sets ("not element sets"), the gate refuses it (a damaged answer, no plausible set,
// a group's answer far smaller than its earlier file), or the file's place holds a symbolic link
// or anything but a regular file, or the file cannot be written ("cannot write: <cause>"). The
// earlier file of that name then stays as it was, byte for byte.
// Lines is let go of once the text to write is made, so that the lines and the loaded list never
// take memory at the same time.
// The file is written as Writing says (ElementFileText.h): the sets the gate left, without those
// numbered past 99999 when the file's choice leaves them out ("      42 sets numbered past 99999
// left out, as chosen for this file"; all of them left out fails the group). What is checked is
// the file as written, read back: its element lines, those of a two-line file with the answer's
// names, and the element lines a CSV or JSON file's objects make, which must be the sets written;
// objects numbered past 339999 must read too and are counted apart; of a list's, only those asked
// for are kept. An answer of such objects alone (no lines) is saved when any of them is kept,
// and a group's then fails when they are fewer than a tenth of its earlier file's (of 20 or more). The historic files
// are written with Writing's line ends.
TSaveResult SaveAndCheck(TRunLog& Host, const TElementFolders& Folders, std::vector<std::string>&& Lines,
                         const std::string& FileName, TAnswerQuestion Question = {}, TFileWriting Writing = {});

} // namespace elsetry
