// Whether the executable runs from a removable or USB-attached drive, in which
// case the settings travel with it. Answered from sysfs; any doubt answers false.
#pragma once

#include <QString>
#include <QtGlobal>

// The block device holding the file system of `executablePath`. An optical drive
// is never portable; a file system without a block device of its own (overlay,
// tmpfs, network) and any failure answer false.
bool IsPortableDrive(const QString &executablePath);

// The same judgement for the block device MAJOR:MINOR, reading the sysfs tree
// mounted at `sysRoot` (normally "/sys").
bool IsPortableBlockDevice(quint32 major, quint32 minor, const QString &sysRoot);
