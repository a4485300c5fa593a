// Where the update page lies: a build setting, which the settings file may
// replace. Distribution packages update through their package manager and are
// built without an address; then nothing is ever fetched.
#pragma once

#include <QString>

class ILayoutManagerStorage;

// The settings file's key that replaces the built-in address.
inline constexpr char kUpdateSection[] = "Service";
inline constexpr char kUpdateUrlKey[] = "UpdateUrl";

// The address the program was built with; empty when none.
QString BuiltUpdatePageUrl();

struct TUpdateAddress {
    QString Url;     // empty: no update checks
    QString Problem; // why a stored address was not taken; empty when none
};

// A stored http or https address with a host replaces the built one; any
// other stored text is refused (with the reason) and the built one stays.
TUpdateAddress ChooseUpdateAddress(const QString &stored, const QString &built);

// The address from the settings file's [Service] UpdateUrl, else the built one.
TUpdateAddress ReadUpdateAddress(ILayoutManagerStorage &storage);
