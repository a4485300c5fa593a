#include "PortableDrive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

const QString kSysRoot = QStringLiteral("/sys");
const QString kMountInfo = QStringLiteral("/proc/self/mountinfo");
// mountinfo: ID PARENT MAJ:MIN ROOT MOUNTPOINT OPTIONS [TAGS...] - TYPE SOURCE SUPER
constexpr int kDeviceField = 2;
constexpr int kSourceAfterSeparator = 2;
constexpr int kOctalEscapeDigits = 3;
constexpr int kOctalBase = 8;
constexpr int kScsiTypeOptical = 5;
// Device-mapper stacks (an encrypted stick, a volume group) are followed this
// deep through their backing devices; real stacks are two or three levels.
constexpr int kMaxStackDepth = 8;
constexpr qint64 kMaxAttributeBytes = 64;

QString ReadAttribute(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.read(kMaxAttributeBytes)).trimmed();
}

// Real paths of the sysfs device directories stay below the sysfs root.
bool IsBelow(const QString &path, const QString &root)
{
    return path.startsWith(root + QLatin1Char('/'));
}

bool IsOptical(const QString &diskDir)
{
    if (QFileInfo(diskDir).fileName().startsWith(QLatin1String("sr")))
        return true;
    bool ok = false;
    const int scsiType = ReadAttribute(diskDir + QStringLiteral("/device/type")).toInt(&ok);
    return ok && scsiType == kScsiTypeOptical;
}

// Some ancestor of the device is a USB device or interface.
bool SitsOnUsb(const QString &deviceDir, const QString &root)
{
    for (QString dir = deviceDir; IsBelow(dir, root); dir = QFileInfo(dir).path()) {
        const QFileInfo subsystem(dir + QStringLiteral("/subsystem"));
        if (subsystem.isSymLink() && QFileInfo(subsystem.symLinkTarget()).fileName() == QLatin1String("usb"))
            return true;
    }
    return false;
}

bool IsPortableDeviceDir(const QString &deviceDir, const QString &root, int depth)
{
    if (deviceDir.isEmpty() || !IsBelow(deviceDir, root) || depth > kMaxStackDepth)
        return false;
    // A partition's attributes live on its parent disk.
    const QString diskDir = QFileInfo::exists(deviceDir + QStringLiteral("/partition"))
                                ? QFileInfo(deviceDir).path()
                                : deviceDir;
    if (IsOptical(diskDir))
        return false;
    if (ReadAttribute(diskDir + QStringLiteral("/removable")) == QLatin1String("1"))
        return true;
    if (SitsOnUsb(diskDir, root))
        return true;
    // A mapped device is portable when everything beneath it is.
    const QFileInfoList slaves = QDir(diskDir + QStringLiteral("/slaves"))
                                     .entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    if (slaves.isEmpty())
        return false;
    for (const QFileInfo &slave : slaves) {
        if (!IsPortableDeviceDir(slave.canonicalFilePath(), root, depth + 1))
            return false;
    }
    return true;
}

// The kernel writes space, tab, newline and backslash in mount fields as \ooo.
QByteArray DecodeMountField(const QByteArray &field)
{
    const auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
    QByteArray decoded;
    for (int i = 0; i < field.size(); ++i) {
        const QByteArray digits = field.mid(i + 1, kOctalEscapeDigits);
        if (field[i] == '\\' && digits.size() == kOctalEscapeDigits
            && std::all_of(digits.begin(), digits.end(), isOctal)) {
            decoded += char(digits.toInt(nullptr, kOctalBase));
            i += kOctalEscapeDigits;
        } else {
            decoded += field[i];
        }
    }
    return decoded;
}

bool BlockDeviceNumber(const QString &path, dev_t &number)
{
    struct stat status {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISBLK(status.st_mode))
        return false;
    number = status.st_rdev;
    return true;
}

} // namespace

QString MountSource(quint32 major, quint32 minor, const QByteArray &mountInfo)
{
    const QByteArray device = QByteArray::number(major) + ':' + QByteArray::number(minor);
    for (const QByteArray &line : mountInfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() <= kDeviceField || fields[kDeviceField] != device)
            continue;
        const qsizetype separator = fields.indexOf(QByteArrayLiteral("-"), kDeviceField + 1);
        if (separator >= 0 && separator + kSourceAfterSeparator < fields.size())
            return QFile::decodeName(DecodeMountField(fields[separator + kSourceAfterSeparator]));
    }
    return {};
}

bool IsPortableBlockDevice(quint32 major, quint32 minor, const QString &sysRoot)
{
    const QString root = QFileInfo(sysRoot).canonicalFilePath();
    if (root.isEmpty())
        return false;
    const QString link = QStringLiteral("%1/dev/block/%2:%3").arg(root).arg(major).arg(minor);
    return IsPortableDeviceDir(QFileInfo(link).canonicalFilePath(), root, 0);
}

bool IsPortableDrive(const QString &executablePath)
{
    if (executablePath.isEmpty())
        return false;
    struct stat status {};
    if (::stat(QFile::encodeName(executablePath).constData(), &status) != 0)
        return false;
    dev_t device = status.st_dev;
    const QString link = QStringLiteral("%1/dev/block/%2:%3").arg(kSysRoot).arg(major(device)).arg(minor(device));
    if (!QFileInfo(link).isSymLink()) {
        QFile mountInfo(kMountInfo);
        if (!mountInfo.open(QIODevice::ReadOnly)
            || !BlockDeviceNumber(MountSource(major(device), minor(device), mountInfo.readAll()), device))
            return false;
    }
    return IsPortableBlockDevice(major(device), minor(device), kSysRoot);
}
