#pragma once

#include <QString>

// Creates the folder with mode 0700, or checks that an existing one is a real folder owned by
// this user, and makes it private. Empty on success, else what is wrong.
QString PreparePrivateFolder(const QString& folder);

// The user's folder for the program's sockets: $XDG_RUNTIME_DIR/tarvik-control-centre.
QString RuntimeFolder();
