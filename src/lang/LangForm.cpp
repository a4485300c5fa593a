#include "LangForm.h"

#include "LangKeyTable.h"
#include "LangMan.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QTreeWidget>

#include <optional>

namespace {

const QString kSelf = QStringLiteral("SELF");
const QString kShortCut = QStringLiteral("SHORTCUT");
const QString kErrorIndent = QStringLiteral("      ");
const QString kErrorBreak = QStringLiteral("\r\n");
const QString kManagerName = QStringLiteral("TLanguageManager");

// Language-file property names and the Qt property they mean for a widget
// kind; the first row whose class the object inherits wins.
struct TPropertyMapping
{
    const char *langName;
    const char *className;
    const char *qtName;
};

constexpr TPropertyMapping kPropertyMap[] = {
    {"CAPTION", "QLabel", "text"},
    {"CAPTION", "QAbstractButton", "text"},
    {"CAPTION", "QGroupBox", "title"},
    {"CAPTION", "QMenu", "title"},
    {"CAPTION", "QAction", "text"},
    {"CAPTION", "QWidget", "windowTitle"},
    {"TEXT", "QLabel", "text"},
    {"TEXT", "QAbstractButton", "text"},
    {"TEXT", "QLineEdit", "text"},
    {"TEXT", "QPlainTextEdit", "plainText"},
    {"TEXT", "QTextEdit", "plainText"},
    {"TEXT", "QComboBox", "currentText"},
    {"TEXT", "QAction", "text"},
    {"HINT", "QWidget", "toolTip"},
    {"HINT", "QAction", "toolTip"},
    {"TITLE", "QGroupBox", "title"},
    {"TITLE", "QMenu", "title"},
    {"TITLE", "QWidget", "windowTitle"},
    {"TEXTHINT", "QLineEdit", "placeholderText"},
    {"TEXTHINT", "QPlainTextEdit", "placeholderText"},
    {"TEXTHINT", "QTextEdit", "placeholderText"},
    {"TEXTHINT", "QComboBox", "placeholderText"},
};

// Where a path segment led: a QObject, or a part of one that is not a QObject
// itself (a font, a list of lines, one column or item).
struct TTarget
{
    enum class TKind { Object, Font, Lines, Column, Item, Tab };
    QObject *object = nullptr;
    TKind kind = TKind::Object;
    int index = 0;
};

using TError = std::optional<QString>;

QString Describe(const QObject *object)
{
    const QString name = object->objectName();
    const QString className = QString::fromLatin1(object->metaObject()->className());
    return name.isEmpty() ? className : name + QStringLiteral(" (") + className + u')';
}

QObject *FindOwned(QObject *owner, const QString &name)
{
    if (name.compare(kSelf, Qt::CaseInsensitive) == 0)
        return owner;
    if (name.isEmpty())
        return nullptr;
    const QList<QObject *> children = owner->findChildren<QObject *>();
    for (QObject *child : children) {
        if (child->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return child;
    }
    return nullptr;
}

// Splits "NAME[n]"; false for a plain name. `numeric` is false for "NAME[x]".
bool SplitIndexed(const QString &segment, QString &name, int &index, bool &numeric)
{
    const qsizetype open = segment.indexOf(u'[');
    if (open < 0 || !segment.endsWith(u']'))
        return false;
    name = segment.left(open).trimmed().toUpper();
    index = segment.mid(open + 1, segment.size() - open - 2).trimmed().toInt(&numeric);
    numeric = numeric && index >= 0;
    return true;
}

template<typename Widget>
QList<Widget *> DirectChildrenOfKind(QObject *parent)
{
    return parent->findChildren<Widget *>(Qt::FindDirectChildrenOnly);
}

QString OutOfBounds(int index)
{
    return QStringLiteral("List index out of bounds (%1)").arg(index);
}

// Item n of the collection `name` of an object.
TError SelectItem(const TTarget &from, const QString &name, int index, TTarget &to)
{
    QObject *object = from.object;
    if (from.kind != TTarget::TKind::Object)
        return QStringLiteral("%1 has no list %2").arg(Describe(object), name);
    auto within = [&](int count) -> TError {
        return index < count ? TError() : TError(OutOfBounds(index));
    };
    if (name == QLatin1String("COLUMNS")) {
        if (auto *view = qobject_cast<QAbstractItemView *>(object); view && view->model()) {
            to = {object, TTarget::TKind::Column, index};
            return within(view->model()->columnCount());
        }
    } else if (name == QLatin1String("ITEMS")) {
        if (auto *combo = qobject_cast<QComboBox *>(object)) {
            to = {object, TTarget::TKind::Item, index};
            return within(combo->count());
        }
        if (auto *list = qobject_cast<QListWidget *>(object)) {
            to = {object, TTarget::TKind::Item, index};
            return within(list->count());
        }
        if (auto *tree = qobject_cast<QTreeWidget *>(object)) {
            to = {object, TTarget::TKind::Item, index};
            return within(tree->topLevelItemCount());
        }
        // A group of radio buttons: its items are the buttons in child order.
        const QList<QRadioButton *> buttons = DirectChildrenOfKind<QRadioButton>(object);
        if (!buttons.isEmpty()) {
            if (index >= buttons.size())
                return OutOfBounds(index);
            to = {buttons.at(index), TTarget::TKind::Object, 0};
            return {};
        }
    } else if (name == QLatin1String("PANELS")) {
        if (qobject_cast<QStatusBar *>(object)) {
            const QList<QLabel *> panels = object->findChildren<QLabel *>();
            if (index >= panels.size())
                return OutOfBounds(index);
            to = {panels.at(index), TTarget::TKind::Object, 0};
            return {};
        }
    } else if (name == QLatin1String("TABS") || name == QLatin1String("PAGES")) {
        if (auto *tabs = qobject_cast<QTabWidget *>(object)) {
            to = {object, TTarget::TKind::Tab, index};
            return within(tabs->count());
        }
        if (auto *bar = qobject_cast<QTabBar *>(object)) {
            to = {object, TTarget::TKind::Tab, index};
            return within(bar->count());
        }
    }
    return QStringLiteral("%1 has no list %2").arg(Describe(object), name);
}

QMetaProperty FindQtProperty(const QObject *object, const QString &name)
{
    const QMetaObject *meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (QString::fromLatin1(property.name()).compare(name, Qt::CaseInsensitive) == 0)
            return property;
    }
    return {};
}

// The object held by property `name`.
TError SelectObject(const TTarget &from, const QString &name, TTarget &to)
{
    QObject *object = from.object;
    if (from.kind == TTarget::TKind::Object) {
        if (name == QLatin1String("FONT") && object->isWidgetType()) {
            to = {object, TTarget::TKind::Font, 0};
            return {};
        }
        if ((name == QLatin1String("LINES") || name == QLatin1String("ITEMS"))
            && (qobject_cast<QPlainTextEdit *>(object) || qobject_cast<QTextEdit *>(object)
                || qobject_cast<QComboBox *>(object) || qobject_cast<QListWidget *>(object)
                || !DirectChildrenOfKind<QRadioButton>(object).isEmpty())) {
            to = {object, TTarget::TKind::Lines, 0};
            return {};
        }
        const QMetaProperty property = FindQtProperty(object, name);
        if (property.isValid() && property.metaType().flags().testFlag(QMetaType::PointerToQObject)) {
            if (QObject *held = property.read(object).value<QObject *>()) {
                to = {held, TTarget::TKind::Object, 0};
                return {};
            }
        }
    }
    return QStringLiteral("%1 has no object %2").arg(Describe(object), name);
}

TError SelectSegment(const TTarget &from, const QString &segment, TTarget &to)
{
    QString name;
    int index = 0;
    bool numeric = false;
    if (SplitIndexed(segment, name, index, numeric)) {
        if (!numeric) {
            to = from;
            return {};
        }
        return SelectItem(from, name, index, to);
    }
    return SelectObject(from, segment.toUpper(), to);
}

TError WriteConverted(QObject *object, const QMetaProperty &property, const QString &text)
{
    QVariant value;
    bool ok = true;
    const int typeId = property.metaType().id();
    if (property.isEnumType()) {
        const QMetaEnum enumerator = property.enumerator();
        const QByteArray keys = text.trimmed().toLatin1();
        const int number = enumerator.isFlag() ? enumerator.keysToValue(keys.constData(), &ok)
                                               : enumerator.keyToValue(keys.constData(), &ok);
        value = number;
    } else if (typeId == QMetaType::QString) {
        value = text;
    } else if (typeId == QMetaType::Bool) {
        const QString word = text.trimmed().toLower();
        ok = word == QLatin1String("true") || word == QLatin1String("false") || word == QLatin1String("1")
             || word == QLatin1String("0");
        value = (word == QLatin1String("true") || word == QLatin1String("1"));
    } else if (typeId == QMetaType::Int) {
        value = text.trimmed().toInt(&ok);
    } else if (typeId == QMetaType::Double) {
        value = text.trimmed().toDouble(&ok);
    } else if (typeId == QMetaType::QKeySequence) {
        value = QKeySequence::fromString(text, QKeySequence::PortableText);
    } else {
        value = text;
        ok = value.convert(property.metaType());
    }
    if (!ok)
        return QStringLiteral("\"%1\" is not a valid value for %2").arg(text, QString::fromLatin1(property.name()));
    if (!property.isWritable() || !property.write(object, value))
        return QStringLiteral("Property %1 of %2 cannot be set").arg(QString::fromLatin1(property.name()), Describe(object));
    return {};
}

TError SetShortcut(QObject *object, const QString &text)
{
    const QKeySequence keys = QKeySequence::fromString(text, QKeySequence::PortableText);
    if (!text.trimmed().isEmpty()) {
        bool valid = !keys.isEmpty();
        for (int i = 0; i < keys.count() && valid; ++i)
            valid = keys[i].key() != Qt::Key_unknown;
        if (!valid)
            return QStringLiteral("\"%1\" is not a valid shortcut").arg(text);
    }
    if (auto *action = qobject_cast<QAction *>(object))
        action->setShortcut(keys);
    else if (auto *button = qobject_cast<QAbstractButton *>(object))
        button->setShortcut(keys);
    else if (auto *shortcut = qobject_cast<QShortcut *>(object))
        shortcut->setKey(keys);
    else
        return QStringLiteral("%1 has no shortcut").arg(Describe(object));
    return {};
}

QStringList SplitLines(const QString &text, const QString &how)
{
    if (how == QLatin1String("TEXT")) {
        QString unified = text;
        unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QStringList lines = unified.split(u'\n');
        if (lines.size() > 1 && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
    // Comma-separated: a part may be put in double quotes to hold commas;
    // two double quotes inside stand for one.
    QStringList parts;
    QString part;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                part.append(u'"');
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                part.append(c);
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            parts.append(part.trimmed());
            part.clear();
        } else {
            part.append(c);
        }
    }
    if (!part.isEmpty() || !parts.isEmpty())
        parts.append(part.trimmed());
    return parts;
}

void SetLines(QObject *object, const QStringList &lines)
{
    if (auto *plain = qobject_cast<QPlainTextEdit *>(object)) {
        plain->setPlainText(lines.join(u'\n'));
    } else if (auto *rich = qobject_cast<QTextEdit *>(object)) {
        rich->setPlainText(lines.join(u'\n'));
    } else if (auto *combo = qobject_cast<QComboBox *>(object)) {
        // Keeps the chosen row where the new list still has it.
        const int current = combo->currentIndex();
        combo->clear();
        combo->addItems(lines);
        if (current >= 0 && current < combo->count())
            combo->setCurrentIndex(current);
    } else if (auto *list = qobject_cast<QListWidget *>(object)) {
        list->clear();
        list->addItems(lines);
    } else {
        const QList<QRadioButton *> buttons = DirectChildrenOfKind<QRadioButton>(object);
        for (int i = 0; i < buttons.size() && i < lines.size(); ++i)
            buttons.at(i)->setText(lines.at(i));
    }
}

TError SetPartText(const TTarget &target, const QString &property, const QString &text)
{
    const bool isText = property == QLatin1String("CAPTION") || property == QLatin1String("TEXT")
                        || property == QLatin1String("TITLE");
    const bool isHint = property == QLatin1String("HINT");
    if (!isText && !isHint)
        return QStringLiteral("%1 has no property %2 on its items").arg(Describe(target.object), property);
    const int role = isHint ? Qt::ToolTipRole : Qt::DisplayRole;
    const int n = target.index;
    switch (target.kind) {
    case TTarget::TKind::Column:
        if (auto *table = qobject_cast<QTableWidget *>(target.object); table && !table->horizontalHeaderItem(n))
            table->setHorizontalHeaderItem(n, new QTableWidgetItem());
        qobject_cast<QAbstractItemView *>(target.object)->model()->setHeaderData(n, Qt::Horizontal, text, role);
        break;
    case TTarget::TKind::Item:
        if (auto *combo = qobject_cast<QComboBox *>(target.object))
            combo->setItemData(n, text, role);
        else if (auto *list = qobject_cast<QListWidget *>(target.object))
            list->item(n)->setData(role, text);
        else if (auto *tree = qobject_cast<QTreeWidget *>(target.object))
            tree->topLevelItem(n)->setData(0, role, text);
        break;
    case TTarget::TKind::Tab:
        if (auto *tabs = qobject_cast<QTabWidget *>(target.object))
            isHint ? tabs->setTabToolTip(n, text) : tabs->setTabText(n, text);
        else if (auto *bar = qobject_cast<QTabBar *>(target.object))
            isHint ? bar->setTabToolTip(n, text) : bar->setTabText(n, text);
        break;
    default:
        break;
    }
    return {};
}

TError SetObjectProperty(const TTarget &target, const QString &property, const QString &text, bool allowSpecial)
{
    QObject *object = target.object;
    QString listName;
    int index = 0;
    bool numeric = false;
    if (SplitIndexed(property, listName, index, numeric)) {
        if (!numeric)
            return {};
        TTarget item;
        if (TError error = SelectItem(target, listName, index, item))
            return error;
        return item.kind == TTarget::TKind::Object ? SetObjectProperty(item, QStringLiteral("TEXT"), text, allowSpecial)
                                                   : SetPartText(item, QStringLiteral("TEXT"), text);
    }
    if (allowSpecial && property == kShortCut)
        return SetShortcut(object, text);
    for (const TPropertyMapping &mapping : kPropertyMap) {
        if (property == QLatin1String(mapping.langName) && object->inherits(mapping.className))
            return WriteConverted(object, FindQtProperty(object, QString::fromLatin1(mapping.qtName)), text);
    }
    const QMetaProperty qtProperty = FindQtProperty(object, property);
    if (!qtProperty.isValid())
        return QStringLiteral("%1 has no property %2").arg(Describe(object), property);
    return WriteConverted(object, qtProperty, text);
}

TError ApplyToTarget(const TTarget &target, const QString &property, const QString &text, bool allowSpecial)
{
    switch (target.kind) {
    case TTarget::TKind::Object:
        return SetObjectProperty(target, property, text, allowSpecial);
    case TTarget::TKind::Font: {
        auto *widget = static_cast<QWidget *>(target.object);
        QFont font = widget->font();
        if (property == QLatin1String("NAME")) {
            font.setFamily(text);
        } else if (property == QLatin1String("SIZE")) {
            bool ok = false;
            const int size = text.trimmed().toInt(&ok);
            if (!ok || size <= 0)
                return QStringLiteral("\"%1\" is not a valid font size").arg(text);
            font.setPointSize(size);
        } else {
            return QStringLiteral("A font has no property %1").arg(property);
        }
        widget->setFont(font);
        return {};
    }
    case TTarget::TKind::Lines:
        // Other list properties change nothing.
        if (property == QLatin1String("TEXT") || property == QLatin1String("COMMATEXT")
            || property == QLatin1String("DELIMITEDTEXT"))
            SetLines(target.object, SplitLines(text, property));
        return {};
    default:
        return SetPartText(target, property, text);
    }
}

// Applies one key; `path` is the part between the class prefix and the
// property name. Unknown components are skipped without error.
TError ApplyKey(QObject *owner, const QString &path, const QString &property, const QString &text,
                QObject *onlyComponent, bool allowSpecial)
{
    const QStringList segments = path.split(u'.');
    QObject *component = FindOwned(owner, segments.first());
    if (!component)
        return {};
    TTarget target{component, TTarget::TKind::Object, 0};
    for (qsizetype i = 1; i + 1 < segments.size(); ++i) {
        if (TError error = SelectSegment(target, segments.at(i), target))
            return error;
    }
    if (onlyComponent && target.object != onlyComponent)
        return {};
    if (segments.size() > 1) {
        if (TError error = SelectSegment(target, segments.last(), target))
            return error;
    }
    return ApplyToTarget(target, property, text, allowSpecial);
}

} // namespace

bool LangVCL(TLanguageManager &manager, QObject *owner, const QString &asClassName, QObject *onlyComponent)
{
    manager.SetLastError(QString());
    if (!owner)
        return true;
    const QString className = asClassName.isEmpty() ? QString::fromLatin1(owner->metaObject()->className())
                                                    : asClassName;
    const QString prefix = TLangKeyTable::NormalKey(className) + u'.';
    const TLangKeyTable &props = manager.Properties();

    QString errors;
    // A sorted table holds a class's keys together; an unsorted one (no load yet) is scanned whole.
    const int first = props.Sorted() ? props.LowerBound(prefix) : 0;
    for (int i = first; i < props.Count(); ++i) {
        const QString &key = props.KeyAt(i);
        if (!key.startsWith(prefix)) {
            if (props.Sorted())
                break;
            continue;
        }
        const QString rest = key.mid(prefix.size());
        const qsizetype dot = rest.lastIndexOf(u'.');
        if (dot < 0)
            continue;
        const TError error = ApplyKey(owner, rest.left(dot), rest.mid(dot + 1), props.TextAt(i), onlyComponent,
                                      manager.AllowSpecialProps());
        if (error)
            errors += kErrorBreak + kErrorBreak + kManagerName + QStringLiteral(" (") + key + QStringLiteral("):")
                      + kErrorBreak + kErrorIndent + *error;
    }
    manager.SetLastError(errors);
    return errors.isEmpty();
}

bool LangForm(TLanguageManager &manager, QObject *owner, const QString &asClassName, QObject *onlyComponent)
{
    return LangVCL(manager, owner, asClassName, onlyComponent);
}
