#pragma once
// The folders a run writes into, checked before anything is sent: a run that cannot save what
// it fetches only spends the service's patience.

#include "download/RunRequest.h"
#include "elementfiles/RunLog.h"

#include <string>
#include <string_view>

namespace elsetry {

// The two folders as messages name them.
inline constexpr std::string_view KeplerFolderLabel = "The folder to save group data to";
inline constexpr std::string_view HistoricFolderLabel = "The folder to save historic Kepler data to";

// What stands at a folder text a run would write into.
enum class TFolderState { Ready, Missing, CurrentDirectory, NotAFolder, NotWritable };

// The state of Folder (a folder text, "~" already replaced). An empty text is the current
// directory, as is any text that leads there: the files would land wherever the program was
// started.
TFolderState FolderStateOf(const std::string& Folder);

// Whether files may be written into Folder, called Label in messages ("The folder to save
// group data to"): a missing folder is created as PrepareRunFolders creates it; otherwise the
// log is shown why not, unless the user declined the creation.
bool PrepareFolder(TRunLog& Host, bool Unattended, const std::string& Label, const std::string& Folder);

// Whether the run may go on: the group data folder, and the historic folder when any historic
// file is wanted, exist and can be written. A missing folder is created when the user agrees
// (an unattended run and a folder below the program's own data folder need no question), and
// its creation is logged ("Created folder <path>"). Otherwise the user is shown why, unless they
// declined the creation, and the run is not started.
bool PrepareRunFolders(TRunLog& Host, const TRunRequest& Request);

} // namespace elsetry
