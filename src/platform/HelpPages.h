#pragma once

#include <QString>
#include <QStringList>

// The help pages are HTML files, one per help context number ("100.html" ...) and a contents
// page ("index.html"), kept in a folder "help" beside the program in the build tree and in
// share/tarvik-control-centre/help when installed.

QString HelpPageFileName(int contextNumber);

// The folders to look in, in order: beside the program, the installation prefix the program
// sits in, then the desktop's data folders (XDG_DATA_HOME, XDG_DATA_DIRS).
QStringList HelpFolders(const QString& programFolder, const QStringList& dataFolders);

// The first folder's copy of the page; empty when none has it.
QString FindHelpPage(int contextNumber, const QStringList& folders);
