#include "EditPreferences.h"

#include "AppSettings.h"
#include "LangController.h"
#include "LayoutManager.h"

#include <QMessageBox>

bool EditPreferences(TPreferencesHost &host, TPrefsFocus focus)
{
    if (!host.Layout)
        return false;
    TLayoutManagerValues &values = host.Layout->StoredValues();
    Tdlg_nb_Prefs dialog(host.Search, host.Parent);
    if (host.OpenUrl)
        dialog.SetOpenUrl(host.OpenUrl);
    dialog.LoadValues(values, host.StayOnTop);
    dialog.SetUpdateChecksOffered(host.OfferUpdateChecks);
    if (focus == TPrefsFocus::ApiKey)
        dialog.FocusApiKey();
    if (host.OnShow)
        host.OnShow(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    bool stayOnTop = host.StayOnTop;
    dialog.StoreValues(values, stayOnTop);
    // The style first: the layout manager writes it with the window's layout.
    host.StayOnTop = stayOnTop;
    if (host.SetStayOnTop)
        host.SetStayOnTop(stayOnTop);
    if (!host.Layout->Save())
        QMessageBox::warning(host.Parent, MessageBoxCaptions().warning, host.Layout->LastError());
    if (host.ApplySettings)
        host.ApplySettings();
    return true;
}

bool ApiKeyMissing(const TLayoutManagerValues &values)
{
    const TAppSettings settings = ReadSettings(values);
    return settings.Service == wsOwm && settings.ApiKey.trimmed().isEmpty();
}

bool OfferPreferencesWithoutKey(TPreferencesHost &host)
{
    if (!host.Layout || !ApiKeyMissing(host.Layout->StoredValues()))
        return false;
    return EditPreferences(host, TPrefsFocus::ApiKey);
}
