#include "LayoutManagerControl.h"

#include "LayoutManager.h"

#include <QMetaEnum>
#include <QWidget>

#include <algorithm>
#include <limits>

namespace {

const QString kSize = QStringLiteral("Size");
const QString kPos = QStringLiteral("Pos");
const QString kAlign = QStringLiteral("Align");
const QString kState = QStringLiteral("State");
const QString kStyle = QStringLiteral("Style");
const QString kLayoutReadOnly = QStringLiteral("LayoutReadOnly");
const QString kMonitor = QStringLiteral("Monitor");
const QString kResolution = QStringLiteral("Resolution");
const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");
const QString kLeft = QStringLiteral("Left");
const QString kTop = QStringLiteral("Top");
const QString kVisible = QStringLiteral("Visible");
const QString kEnabled = QStringLiteral("Enabled");
const char *const kLayoutReadOnlyProperty = "LayoutReadOnly";
// Forms have no alignment here; the key is kept for files shared with earlier versions.
constexpr qint64 kAlignNone = 0;

// Only whole numbers are kept: enumerations, integers, truth values and
// characters, each as its ordinal.
bool IsOrdinal(const QMetaProperty &property)
{
    if (property.isEnumType())
        return true;
    const int id = property.metaType().id();
    return IsIntegerMetaType(id) || id == QMetaType::Bool || id == QMetaType::Char || id == QMetaType::QChar;
}

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString ObjectName(const QObject *object)
{
    const QString name = object->objectName();
    return name.isEmpty() ? QString::fromLatin1(object->metaObject()->className()) : name;
}

QString ClassName(const QObject *object)
{
    return QString::fromLatin1(object->metaObject()->className());
}

bool IsWindow(const QObject *object)
{
    const auto *widget = qobject_cast<const QWidget *>(object);
    return widget != nullptr && widget->isWindow();
}

// An ordinal as the property's own type, or nothing when the stored number cannot
// be one (out of the type's range, or no member of the enumeration): a damaged
// file must not put a value into the object that it never could hold.
QVariant OrdinalFor(const QMetaProperty &property, qint64 stored)
{
    if (property.isEnumType()) {
        const QMetaEnum enumerator = property.enumerator();
        if (stored < std::numeric_limits<int>::min() || stored > std::numeric_limits<int>::max())
            return {};
        const int value = static_cast<int>(stored);
        if (enumerator.isFlag()) {
            const QByteArray keys = enumerator.valueToKeys(value);
            if (enumerator.keysToValue(keys.constData()) != value)
                return {};
        } else if (enumerator.valueToKey(value) == nullptr) {
            return {};
        }
        return value;
    }
    QVariant variant = QVariant::fromValue<qint64>(stored);
    const QMetaType type = property.metaType();
    if (type.id() == QMetaType::Bool)
        return stored != 0;
    if (type.id() == QMetaType::QChar)
        return stored >= 0 && stored <= std::numeric_limits<char16_t>::max()
                   ? QVariant(QChar(static_cast<char16_t>(stored)))
                   : QVariant();
    if (!variant.convert(type) || variant.value<qint64>() != stored)
        return {};
    return variant;
}

qint64 OrdinalOf(const QMetaProperty &property, const QVariant &value)
{
    if (property.metaType().id() == QMetaType::QChar)
        return value.value<QChar>().unicode();
    if (property.isEnumType())
        return value.toInt();
    return value.toLongLong();
}

// Splits "a,b" at its first comma into two integers, each with its own default.
QPoint SplitPair(const QString &text, QPoint defaults)
{
    const qsizetype comma = text.indexOf(u',');
    const QString first = comma < 0 ? text : text.left(comma);
    const QString second = comma < 0 ? QString() : text.mid(comma + 1);
    bool ok = false;
    int x = first.trimmed().toInt(&ok);
    if (!ok)
        x = defaults.x();
    int y = second.trimmed().toInt(&ok);
    if (!ok)
        y = defaults.y();
    return {x, y};
}

} // namespace

TLayoutManagerControl::TLayoutManagerControl(TLayoutManager *manager, QObject *component,
                                             const QStringList &properties, TLayoutManagerControlOptions options)
    : FManager(manager)
    , FComponent(component)
    , FIdentity(component)
    , FOptions(options)
{
    for (const QString &name : properties) {
        const bool known = std::any_of(FProperties.cbegin(), FProperties.cend(),
                                       [&](const QString &p) { return SameName(p, name); });
        if (!known && !name.isEmpty())
            FProperties.append(name);
    }
    std::sort(FProperties.begin(), FProperties.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });

    if (component != nullptr) {
        const QMetaObject *meta = component->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (IsOrdinal(property))
                FPropertyTable.append(property);
        }
    }
}

void TLayoutManagerControl::SetStorage(std::shared_ptr<ILayoutManagerStorage> value)
{
    if (FStorage)
        FStorage->Close();
    FStorage = std::move(value);
}

bool TLayoutManagerControl::IsForm() const
{
    return IsWindow(FComponent);
}

QWidget *TLayoutManagerControl::Window() const
{
    if (auto *widget = qobject_cast<QWidget *>(FComponent.data()))
        return widget->window();
    if (FComponent != nullptr) {
        if (auto *owner = qobject_cast<QWidget *>(FComponent->parent()))
            return owner->window();
    }
    return nullptr;
}

QStringList TLayoutManagerControl::SectionParts() const
{
    if (FComponent == nullptr)
        return {};
    if (IsForm() || FComponent->parent() == nullptr)
        return {ClassName(FComponent)};
    QStringList parts{ObjectName(FComponent)};
    for (const QObject *owner = FComponent->parent(); owner != nullptr; owner = owner->parent()) {
        parts.prepend(ClassName(owner));
        if (IsWindow(owner))
            break;
    }
    return parts;
}

QString TLayoutManagerControl::PlainSection() const
{
    return SectionParts().join(u'\\');
}

QString TLayoutManagerControl::DisplaySection(const QString &displayTag) const
{
    QStringList parts = SectionParts();
    if (parts.isEmpty())
        return {};
    parts.first() += u'#' + displayTag;
    return parts.join(u'\\');
}

QString TLayoutManagerControl::DisplaySectionForSave() const
{
    const ILayoutManagerDisplays &displays = FManager->Displays();
    return DisplaySection(displays.DisplayTag(displays.MonitorOf(Window())));
}

QString TLayoutManagerControl::DisplaySectionForRestore() const
{
    const ILayoutManagerDisplays &displays = FManager->Displays();
    const QString formSection = SectionParts().value(0);
    int monitor = static_cast<int>(FStorage->ReadInteger(formSection, kMonitor, displays.PrimaryMonitor()));
    if (monitor < 0 || monitor >= displays.MonitorCount())
        monitor = displays.MonitorOf(Window());
    return DisplaySection(displays.DisplayTag(monitor));
}

void TLayoutManagerControl::Save()
{
    if (!FStorage || FComponent == nullptr)
        return;
    TStorageCloser closer(FStorage.get());
    FStorage->Open(false);
    const QString plain = PlainSection();
    const bool form = IsForm();
    if (!form && FStorage->SectionExists(plain))
        FStorage->DeleteSectionValues(plain);
    const QString working = FOptions.testFlag(loDisplayIndependent) ? plain : DisplaySectionForSave();
    if (!form && working != plain && FStorage->SectionExists(working))
        FStorage->DeleteSectionValues(working);

    if (form)
        SaveForm(plain, working);
    else if (qobject_cast<QWidget *>(FComponent.data()) != nullptr)
        SaveWidget(working);
    SaveProperties(working);
}

void TLayoutManagerControl::SaveForm(const QString &plain, const QString &working)
{
    auto *form = qobject_cast<QWidget *>(FComponent.data());
    const Qt::WindowStates states = form->windowState();
    // A maximised or minimised form keeps the normal size and place stored before.
    const bool normal = !(states & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    if (FOptions.testFlag(loSize) && normal)
        FStorage->WriteString(working, kSize, QStringLiteral("%1,%2").arg(form->width()).arg(form->height()));
    if (FOptions.testFlag(loPosition)) {
        if (normal)
            FStorage->WriteString(working, kPos, QStringLiteral("%1,%2").arg(form->x()).arg(form->y()));
        FStorage->WriteInteger(working, kAlign, kAlignNone);
    }
    if (FOptions.testFlag(loState) && !(states & Qt::WindowMinimized)) {
        const bool maximised = states & (Qt::WindowMaximized | Qt::WindowFullScreen);
        FStorage->WriteInteger(working, kState, maximised ? lfsMaximized : lfsNormal);
    }
    if (FOptions.testFlag(loStyle)) {
        const bool onTop = form->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        FStorage->WriteInteger(working, kStyle, onTop ? lfsStyleStayOnTop : lfsStyleNormal);
    }
    const QMetaObject *meta = form->metaObject();
    if (meta->indexOfProperty(kLayoutReadOnlyProperty) >= 0) {
        const ILayoutManagerDisplays &displays = FManager->Displays();
        const int monitor = displays.MonitorOf(form);
        FStorage->WriteBoolean(plain, kLayoutReadOnly, form->property(kLayoutReadOnlyProperty).toBool());
        FStorage->WriteInteger(plain, kMonitor, monitor);
        FStorage->WriteString(plain, kResolution, displays.DisplayTag(monitor));
    }
}

void TLayoutManagerControl::SaveWidget(const QString &working)
{
    auto *widget = qobject_cast<QWidget *>(FComponent.data());
    if (FOptions.testFlag(loSize)) {
        FStorage->WriteInteger(working, kWidth, widget->width());
        FStorage->WriteInteger(working, kHeight, widget->height());
    }
    if (FOptions.testFlag(loPosition)) {
        FStorage->WriteInteger(working, kLeft, widget->x());
        FStorage->WriteInteger(working, kTop, widget->y());
    }
    if (FOptions.testFlag(loState)) {
        FStorage->WriteBoolean(working, kVisible, !widget->isHidden());
        FStorage->WriteBoolean(working, kEnabled, !widget->testAttribute(Qt::WA_Disabled));
    }
}

void TLayoutManagerControl::SaveProperties(const QString &working)
{
    for (const QMetaProperty &property : std::as_const(FPropertyTable)) {
        const QString name = QString::fromLatin1(property.name());
        const bool wanted = std::any_of(FProperties.cbegin(), FProperties.cend(),
                                        [&](const QString &p) { return SameName(p, name); });
        if (!wanted)
            continue;
        FStorage->WriteInteger(working, name, OrdinalOf(property, property.read(FComponent)));
    }
}

void TLayoutManagerControl::Restore()
{
    if (!FStorage || FComponent == nullptr)
        return;
    TStorageCloser closer(FStorage.get());
    FStorage->Open(true);
    const QString plain = PlainSection();
    QString working = plain;
    if (!FOptions.testFlag(loDisplayIndependent)) {
        working = DisplaySectionForRestore();
        if (!FStorage->SectionExists(working))
            working = plain;
    }
    if (IsForm())
        RestoreForm(plain, working);
    else if (qobject_cast<QWidget *>(FComponent.data()) != nullptr)
        RestoreWidget(working);
    RestoreProperties(working);
}

void TLayoutManagerControl::RestoreForm(const QString &plain, const QString &working)
{
    auto *form = qobject_cast<QWidget *>(FComponent.data());
    if (FOptions.testFlag(loPosition)) {
        const QString pos = FStorage->ReadString(working, kPos, QString());
        if (!pos.trimmed().isEmpty())
            form->move(SplitPair(pos, form->pos()));
    }
    if (FOptions.testFlag(loSize)) {
        const QString size = FStorage->ReadString(working, kSize, QString());
        if (size.contains(u',')) {
            const QPoint wh = SplitPair(size, QPoint(form->width(), form->height()));
            form->resize(std::max(wh.x(), 0), std::max(wh.y(), 0));
        }
    }
    if (FOptions.testFlag(loStyle) && FStorage->ValueExists(working, kStyle)) {
        const bool onTop = FStorage->ReadInteger(working, kStyle, lfsStyleNormal) == lfsStyleStayOnTop;
        if (onTop != form->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            const bool shown = form->isVisible();
            form->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
            if (shown)
                form->show(); // changing the flags hides a shown window
        }
    }
    if (FOptions.testFlag(loState) && FStorage->ValueExists(working, kState)) {
        const qint64 state = FStorage->ReadInteger(working, kState, lfsNormal);
        Qt::WindowStates states = form->windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized);
        if (state == lfsMaximized)
            states |= Qt::WindowMaximized;
        else if (state == lfsMinimized)
            states |= Qt::WindowMinimized;
        form->setWindowState(states);
    }
    const QMetaObject *meta = form->metaObject();
    if (meta->indexOfProperty(kLayoutReadOnlyProperty) >= 0) {
        const bool current = form->property(kLayoutReadOnlyProperty).toBool();
        form->setProperty(kLayoutReadOnlyProperty, FStorage->ReadBoolean(plain, kLayoutReadOnly, current));
    }
}

void TLayoutManagerControl::RestoreWidget(const QString &working)
{
    auto *widget = qobject_cast<QWidget *>(FComponent.data());
    auto readInt = [&](const QString &key, int current) {
        const qint64 value = FStorage->ReadInteger(working, key, current);
        return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max()
                   ? static_cast<int>(value)
                   : current;
    };
    if (FOptions.testFlag(loSize))
        widget->resize(std::max(readInt(kWidth, widget->width()), 0), std::max(readInt(kHeight, widget->height()), 0));
    if (FOptions.testFlag(loPosition))
        widget->move(readInt(kLeft, widget->x()), readInt(kTop, widget->y()));
    if (FOptions.testFlag(loState)) {
        widget->setVisible(FStorage->ReadBoolean(working, kVisible, !widget->isHidden()));
        widget->setEnabled(FStorage->ReadBoolean(working, kEnabled, !widget->testAttribute(Qt::WA_Disabled)));
    }
}

void TLayoutManagerControl::RestoreProperties(const QString &working)
{
    for (const QMetaProperty &property : std::as_const(FPropertyTable)) {
        const QString name = QString::fromLatin1(property.name());
        const bool wanted = std::any_of(FProperties.cbegin(), FProperties.cend(),
                                        [&](const QString &p) { return SameName(p, name); });
        if (!wanted || !property.isWritable())
            continue;
        const qint64 currentOrdinal = OrdinalOf(property, property.read(FComponent));
        const qint64 stored = FStorage->ReadInteger(working, name, currentOrdinal);
        const QVariant value = OrdinalFor(property, stored);
        if (stored != currentOrdinal && value.isValid())
            property.write(FComponent, value);
    }
}

void TLayoutManagerControl::DeleteData()
{
    if (!FStorage || FComponent == nullptr)
        return;
    TStorageCloser closer(FStorage.get());
    FStorage->DeleteSection(PlainSection(), true);
}
