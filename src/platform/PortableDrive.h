// Whether the executable runs from a removable or USB-attached drive, in which
// case the settings travel with it. Answered from sysfs; any doubt answers false.
#pragma once

#include <QString>
#include <QtGlobal>

// The block device holding the file system of `executablePath`. File systems that
// report a device number of their own (btrfs, FUSE drivers such as the common NTFS
// one) are traced to their block device through the mount table. An optical drive
// is never portable; a file system without a block device (overlay, tmpfs,
// network) and any failure answer false.
bool IsPortableDrive(const QString &executablePath);

// The same judgement for the block device MAJOR:MINOR, reading the sysfs tree
// mounted at `sysRoot` (normally "/sys").
bool IsPortableBlockDevice(quint32 major, quint32 minor, const QString &sysRoot);

// The source the mount table (the text of /proc/self/mountinfo) gives for the file
// system with device number MAJOR:MINOR, escapes decoded; empty when none.
QString MountSource(quint32 major, quint32 minor, const QByteArray &mountInfo);
