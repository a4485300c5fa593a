// What the program keeps beside its settings (the cache, the condition
// pictures, the calendar copy) tells where the user lives, and the settings
// hold his key: none of it is for other users to read.
#pragma once

#include <QString>
#include <QStringList>

// The folder of the settings, made (0700) when missing. Returns false when it
// cannot be had; `error` then says why.
bool MakeDataFolder(const QString &dataFolder, QString &error);

// Takes the group's and others' access away from the program's files that
// exist now: the settings file, the calendar copy, the cache folder and its
// files, the condition pictures, and the data folder itself when
// `includeFolder` (not for a portable copy, whose folder is the program's).
// Returns the paths it changed.
QStringList MakeDataPrivate(const QString &dataFolder, const QString &settingsFile, const QString &namesFile,
                            bool includeFolder);

// The one line said on stderr about the paths MakeDataPrivate changed; empty
// when there were none.
QString MadePrivateNotice(const QStringList &changed);
