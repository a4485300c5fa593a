// The portable-drive judgement on fake sysfs trees laid out as the kernel lays
// them out: /sys/dev/block/MAJ:MIN links into /sys/devices, "subsystem" links
// into /sys/bus or /sys/class, "device" links from a disk to its SCSI device.
#include "PortableDrive.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const char *const kUsbStick = "devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0";
const char *const kUsbCdDrive = "devices/pci0000:00/0000:00:14.0/usb2/2-2/2-2:1.0/host7/target7:0:0/7:0:0:0";
const char *const kUsbDvdAsDisk = "devices/pci0000:00/0000:00:14.0/usb2/2-3/2-3:1.0/host8/target8:0:0/8:0:0:0";
const char *const kSataDisk = "devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0";
const char *const kSdReader = "devices/pci0000:00/0000:00:1c.0/0000:02:00.0/mmc_host/mmc0/mmc0:aaaa";
const char *const kNvme = "devices/pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0";

class TFakeSysfs {
public:
    TFakeSysfs()
    {
        for (const char *bus : {"bus/usb", "bus/scsi", "bus/pci", "bus/mmc", "class/block", "class/nvme"})
            QDir(Root()).mkpath(QString::fromLatin1(bus));
    }

    QString Root() const { return FDir.path(); }

    void Write(const QString &relative, const QByteArray &content) const
    {
        const QString path = Root() + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(content);
    }

    // A relative symbolic link, as sysfs has them.
    void Link(const QString &relative, const QString &targetRelative) const
    {
        const QString path = Root() + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(path).path());
        const QString target = QDir(QFileInfo(path).path()).relativeFilePath(Root() + QLatin1Char('/') + targetRelative);
        ASSERT_TRUE(QFile::link(target, path)) << path.toStdString();
    }

    // A device folder with its subsystem link; devices share their upper folders.
    void Subsystem(const QString &device, const QString &subsystem) const
    {
        QDir().mkpath(Root() + QLatin1Char('/') + device);
        if (QFileInfo(Root() + QLatin1Char('/') + device + QStringLiteral("/subsystem")).isSymLink())
            return;
        Link(device + QStringLiteral("/subsystem"), subsystem);
    }

    // A disk below a SCSI device, with its SCSI type, and optional partitions.
    void ScsiDisk(const QString &scsiDevice, const QString &disk, const QString &devNumber, bool removable,
                  int scsiType) const
    {
        const QString diskPath = scsiDevice + QStringLiteral("/block/") + disk;
        Write(scsiDevice + QStringLiteral("/type"), QByteArray::number(scsiType) + '\n');
        Subsystem(scsiDevice, QStringLiteral("bus/scsi"));
        Disk(diskPath, devNumber, removable);
        Link(diskPath + QStringLiteral("/device"), scsiDevice);
    }

    void Disk(const QString &diskPath, const QString &devNumber, bool removable) const
    {
        Write(diskPath + QStringLiteral("/removable"), removable ? "1\n" : "0\n");
        Subsystem(diskPath, QStringLiteral("class/block"));
        Link(QStringLiteral("dev/block/") + devNumber, diskPath);
    }

    void Partition(const QString &diskPath, const QString &name, const QString &devNumber) const
    {
        const QString path = diskPath + QLatin1Char('/') + name;
        Write(path + QStringLiteral("/partition"), "1\n");
        Subsystem(path, QStringLiteral("class/block"));
        Link(QStringLiteral("dev/block/") + devNumber, path);
    }

    void UsbPath(const QString &scsiDevice) const
    {
        // usbN, the device and its interface sit on the USB bus; the host adapter above is PCI.
        const QStringList parts = scsiDevice.split(QLatin1Char('/'));
        QString path = parts.mid(0, 3).join(QLatin1Char('/'));
        Subsystem(path, QStringLiteral("bus/pci"));
        for (int i = 3; i < 6; ++i) {
            path += QLatin1Char('/') + parts[i];
            Subsystem(path, QStringLiteral("bus/usb"));
        }
    }

private:
    QTemporaryDir FDir;
};

class PortableBlockDevice : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        FSys = new TFakeSysfs;
        const TFakeSysfs &sys = *FSys;
        const QString stick = QString::fromLatin1(kUsbStick);
        sys.UsbPath(stick);
        sys.ScsiDisk(stick, QStringLiteral("sdb"), QStringLiteral("8:16"), false, 0);
        sys.Partition(stick + QStringLiteral("/block/sdb"), QStringLiteral("sdb1"), QStringLiteral("8:17"));

        const QString cd = QString::fromLatin1(kUsbCdDrive);
        sys.UsbPath(cd);
        sys.ScsiDisk(cd, QStringLiteral("sr0"), QStringLiteral("11:0"), true, 5);
        const QString dvd = QString::fromLatin1(kUsbDvdAsDisk);
        sys.UsbPath(dvd);
        sys.ScsiDisk(dvd, QStringLiteral("sdd"), QStringLiteral("8:48"), true, 5);

        const QString sata = QString::fromLatin1(kSataDisk);
        sys.Subsystem(QStringLiteral("devices/pci0000:00/0000:00:17.0"), QStringLiteral("bus/pci"));
        sys.ScsiDisk(sata, QStringLiteral("sda"), QStringLiteral("8:0"), false, 0);
        sys.Partition(sata + QStringLiteral("/block/sda"), QStringLiteral("sda2"), QStringLiteral("8:2"));

        const QString sd = QString::fromLatin1(kSdReader);
        sys.Subsystem(sd, QStringLiteral("bus/mmc"));
        sys.Disk(sd + QStringLiteral("/block/mmcblk0"), QStringLiteral("179:0"), true);
        sys.Partition(sd + QStringLiteral("/block/mmcblk0"), QStringLiteral("mmcblk0p1"), QStringLiteral("179:1"));

        const QString nvme = QString::fromLatin1(kNvme) + QStringLiteral("/nvme0n1");
        sys.Disk(nvme, QStringLiteral("259:0"), false);
        sys.Partition(nvme, QStringLiteral("nvme0n1p2"), QStringLiteral("259:2"));

        // Encrypted volumes: one on the stick, one on the internal disk, and a
        // volume group spanning both.
        const QString sdb1 = stick + QStringLiteral("/block/sdb/sdb1");
        const QString sda2 = sata + QStringLiteral("/block/sda/sda2");
        sys.Disk(QStringLiteral("devices/virtual/block/dm-0"), QStringLiteral("254:0"), false);
        sys.Link(QStringLiteral("devices/virtual/block/dm-0/slaves/sdb1"), sdb1);
        sys.Disk(QStringLiteral("devices/virtual/block/dm-1"), QStringLiteral("254:1"), false);
        sys.Link(QStringLiteral("devices/virtual/block/dm-1/slaves/sda2"), sda2);
        sys.Disk(QStringLiteral("devices/virtual/block/dm-2"), QStringLiteral("254:2"), false);
        sys.Link(QStringLiteral("devices/virtual/block/dm-2/slaves/sdb1"), sdb1);
        sys.Link(QStringLiteral("devices/virtual/block/dm-2/slaves/sda2"), sda2);

        // A device without its attributes, and a link to nowhere.
        QDir(sys.Root()).mkpath(QStringLiteral("devices/virtual/block/loop0"));
        sys.Link(QStringLiteral("dev/block/7:0"), QStringLiteral("devices/virtual/block/loop0"));
        sys.Link(QStringLiteral("dev/block/8:64"), QStringLiteral("devices/gone/block/sde"));
    }

    static void TearDownTestSuite()
    {
        delete FSys;
        FSys = nullptr;
    }

    static TFakeSysfs *FSys;
};

TFakeSysfs *PortableBlockDevice::FSys = nullptr;

struct TDeviceCase {
    const char *Description;
    quint32 Major;
    quint32 Minor;
    bool Portable;
};

TEST_F(PortableBlockDevice, JudgesEachKindOfDrive)
{
    const TDeviceCase cases[] = {
        {"USB stick reporting a fixed disk, whole disk", 8, 16, true},
        {"USB stick reporting a fixed disk, partition", 8, 17, true},
        {"SD card in a built-in reader, whole card", 179, 0, true},
        {"SD card in a built-in reader, partition", 179, 1, true},
        {"internal SATA disk", 8, 0, false},
        {"internal SATA partition", 8, 2, false},
        {"internal NVMe disk", 259, 0, false},
        {"internal NVMe partition", 259, 2, false},
        {"USB CD drive, removable and on USB", 11, 0, false},
        {"USB DVD drive named like a disk", 8, 48, false},
        {"encrypted volume on the stick", 254, 0, true},
        {"encrypted volume on the internal disk", 254, 1, false},
        {"volume spanning the stick and the internal disk", 254, 2, false},
        {"device without attributes", 7, 0, false},
        {"link to a vanished device", 8, 64, false},
        {"no such device number", 8, 99, false},
        {"anonymous device of an overlay or tmpfs", 0, 42, false},
    };
    for (const TDeviceCase &c : cases)
        EXPECT_EQ(IsPortableBlockDevice(c.Major, c.Minor, FSys->Root()), c.Portable) << c.Description;
}

TEST_F(PortableBlockDevice, MissingSysfsIsNotPortable)
{
    EXPECT_FALSE(IsPortableBlockDevice(8, 16, FSys->Root() + QStringLiteral("/absent")));
    EXPECT_FALSE(IsPortableBlockDevice(8, 16, QString()));
}

// File systems whose device number is not their block device's.
TEST(MountSource, FindsTheSourceOfTheFileSystem)
{
    const QByteArray mountInfo =
        "28 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
        "40 28 0:45 /@home /home rw,relatime shared:30 - btrfs /dev/nvme0n1p3 rw,ssd\n"
        "41 28 0:45 /@home/ana /srv/ana rw,relatime shared:30 - btrfs /dev/nvme0n1p3 rw,ssd\n"
        "52 28 0:51 / /media/ana/MY\\040STICK rw master:1 shared:7 - fuseblk /dev/sdb1 rw,user_id=0\n"
        "53 28 0:52 / /media/ana/odd rw - fuseblk /dev/disk/by-label/A\\040B\\134C\\9 rw\n"
        "60 28 0:60 / /tmp rw - tmpfs tmpfs rw\n"
        "61 28 0:61 / /broken rw no-separator\n"
        "62 28 0:62 / /cut rw - fuseblk\n";
    struct TCase {
        quint32 Major;
        quint32 Minor;
        const char *Source;
    };
    const TCase cases[] = {
        {254, 0, "/dev/vda"},
        {0, 45, "/dev/nvme0n1p3"},
        {0, 51, "/dev/sdb1"},
        {0, 52, "/dev/disk/by-label/A B\\C\\9"},
        {0, 60, "tmpfs"},
        {0, 61, ""},
        {0, 62, ""},
        {0, 99, ""},
        {0, 5, ""}, // not a prefix match of "0:51"
    };
    for (const TCase &c : cases)
        EXPECT_EQ(MountSource(c.Major, c.Minor, mountInfo), QString::fromUtf8(c.Source)) << c.Major << ':' << c.Minor;
    EXPECT_EQ(MountSource(0, 45, QByteArray()), QString());
}

TEST(PortableDrive, FilesWithoutABlockDeviceAreNotPortable)
{
    EXPECT_FALSE(IsPortableDrive(QStringLiteral("/proc/self/status")));
    EXPECT_FALSE(IsPortableDrive(QStringLiteral("/no/such/executable")));
    EXPECT_FALSE(IsPortableDrive(QString()));
}

} // namespace
