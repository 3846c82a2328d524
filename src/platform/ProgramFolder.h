#pragma once

#include <QStringList>

// Where the program keeps its files.
//
// The program's folder holds what Vantora writes ("Log Files") and is named by the
// environment variable VANTORA_HOME when set; otherwise it is the executable's folder when
// that folder holds Disclaimer.txt and is writable (a build tree or a portable copy);
// otherwise $XDG_DATA_HOME/Vantora. The files Vantora only reads (Disclaimer.txt, the wave
// files, the help page) are taken from the program's folder when present there, else from
// VANTORA_DATA_DIR, the executable's folder, or the installed data folder, which an installed
// copy finds relative to its own folder ("../share/vantora"), so that any prefix works.
namespace ProgramFolder {

// The program's folder, without a trailing separator; created when missing.
QString path();

// The same folder, left as it is (not created).
QString folder();

// The folders searched for the files Vantora reads, in order, without empty entries.
QStringList dataFolders();

// A file Vantora reads ("Disclaimer.txt", "Click.wav" ...): the first folder holding it;
// the program's folder when none does.
QString dataFile(const QString &name);

// The folder of the system's own programs, ending in a separator; the counterpart of the
// old system-folder query, used to start the text editor and the calculator.
QString systemProgramsFolder();

// Appends a separator to a non-empty folder name that lacks one.
QString withTrailingSeparator(const QString &folder);

} // namespace ProgramFolder
