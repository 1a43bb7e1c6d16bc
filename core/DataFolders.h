#pragma once
// Where the operator's files live. By default the user's own folders from the system's
// standard locations (on Linux ~/.local/share/Tessaly for the data, ~/.config/Tessaly for the
// configuration); "--data-dir DIR" puts all of them under DIR. Every writer asks here, so an
// installed program never writes beside its executable.
//
//   <data>/Logs               flow logs, message logs, the diagnostic log
//   <data>/Segment Programs   the segment program files
//   <config>/instruments.ini  the lab's instrument file
#include <QString>
#include <QStringList>

namespace DataFolders {

// Puts every folder under dir (made absolute against the working directory); an empty dir
// returns to the standard locations. Returns the previous root, empty for the standard ones.
// Set once at start, before any writer runs.
QString SetRoot(const QString& dir);

QString DataFolder();
QString ConfigFolder();
QString LogsFolder();
QString SegmentProgramsFolder();
QString InstrumentFilePath();

// Creates the folder (and its parents) when missing and checks that a file can be written
// there. Returns empty when usable, otherwise one line naming the path and the system's
// reason. Never removes or changes anything already in the folder.
QString MakeUsable(const QString& folder);

// MakeUsable for the data, Logs, Segment Programs and config folders: one line per folder
// that cannot be used. The program starts anyway; the lines go to the message log.
QStringList Prepare();

} // namespace DataFolders
