#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QWidget>

// A small form with one widget of each kind the language files talk to.
class Twnd_nb_Test : public QWidget
{
    Q_OBJECT

public:
    explicit Twnd_nb_Test(QWidget *parent = nullptr)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("wnd_nb_Test"));
        setWindowTitle(QStringLiteral("Weather"));
        lTemp = Named(new QLabel(QStringLiteral("Temperature"), this), "lTemp");
        bSearch = Named(new QPushButton(QStringLiteral("Search"), this), "bSearch");
        eLoc = Named(new QLineEdit(this), "eLoc");
        cbxPaid = Named(new QCheckBox(QStringLiteral("Paid"), this), "cbxPaid");
        lvForecast = Named(new QTreeWidget(this), "lvForecast");
        lvForecast->setHeaderLabels({QStringLiteral("Day"), QStringLiteral("Temp"), QStringLiteral("Wind")});
        tbl = Named(new QTableWidget(1, 2, this), "tbl");
        cbUnits = Named(new QComboBox(this), "cbUnits");
        cbUnits->addItems({QStringLiteral("Metric"), QStringLiteral("Imperial")});
        rgUnits = Named(new QGroupBox(QStringLiteral("Units"), this), "rgUnits");
        rbMetric = Named(new QRadioButton(QStringLiteral("Metric"), rgUnits), "rbMetric");
        rbImperial = Named(new QRadioButton(QStringLiteral("Imperial"), rgUnits), "rbImperial");
        mNotes = Named(new QPlainTextEdit(this), "mNotes");
        sb = Named(new QStatusBar(this), "sb");
        sb->addWidget(new QLabel(QStringLiteral("one")));
        sb->addWidget(new QLabel(QStringLiteral("two")));
        tabs = Named(new QTabWidget(this), "tabs");
        tabs->addTab(new QWidget, QStringLiteral("First"));
        tabs->addTab(new QWidget, QStringLiteral("Second"));
        pmRefresh = Named(new QAction(QStringLiteral("Refresh"), this), "pmRefresh");
    }

    QLabel *lTemp;
    QPushButton *bSearch;
    QLineEdit *eLoc;
    QCheckBox *cbxPaid;
    QTreeWidget *lvForecast;
    QTableWidget *tbl;
    QComboBox *cbUnits;
    QGroupBox *rgUnits;
    QRadioButton *rbMetric;
    QRadioButton *rbImperial;
    QPlainTextEdit *mNotes;
    QStatusBar *sb;
    QTabWidget *tabs;
    QAction *pmRefresh;

private:
    template<typename T>
    static T *Named(T *object, const char *name)
    {
        object->setObjectName(QLatin1String(name));
        return object;
    }
};
