// The location selector: the places a search of the weather service found,
// one row each, for the user to pick one.
#pragma once

#include "WeatherRecords.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;
class TLangController;

class Tdld_nb_LS : public QDialog
{
    Q_OBJECT

public:
    // Shown above `owner` (the application's main window when none is given).
    explicit Tdld_nb_LS(const TCities &cities, QWidget *owner = nullptr);

    QTreeWidget *LocList() const { return FLocList; }
    QPushButton *OkButton() const { return FOk; }
    QPushButton *CancelButton() const { return FCancel; }
    // The selected row's position, or -1 when no row is selected.
    int SelectedIndex() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void ConfirmWhenSelected();
    void UpdateAccessibleNames();
    // Each column as wide as its texts and its header in the language shown.
    void FitColumns();

    QTreeWidget *FLocList;
    QPushButton *FOk;
    QPushButton *FCancel;
    TLangController *FLangCtrl;
};

struct TLocationChoice {
    bool Confirmed = false;
    int Index = -1; // the chosen city's position in the list; -1 for none
};

// Shows the selector modally: confirmed with the selected row's position (-1
// when no row is selected), or not confirmed and -1.
TLocationChoice SelectLocation(const TCities &cities, QWidget *owner = nullptr);
