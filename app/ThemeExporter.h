#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class Dialogs;
class QObject;
class QWidget;

// File > Export Theme… and the collection's Export: a theme bundle written
// as one archive, "<bundle name>.zip" (ThemeArchive::write), where the user
// says through the save panel. A typed name gets ".docktheme.zip" or ".zip"
// when it lacks it; a regular file of that name is replaced only after the
// user says so, anything else there (a link, a folder) never. The theme is
// checked as its import would check it and the archive written in a worker
// (a temporary renamed into place, so a failure or a kill leaves the old file
// or none, and the next write there sweeps what a kill left); a refusal or
// failure is told in an alert on window, naming the file concerned. GUI thread; the worker's end is
// handled on it, within context (nothing happens when context goes first).
class ThemeExporter {
    Q_DECLARE_TR_FUNCTIONS(ThemeExporter)

public:
    // Asks where and starts the export of bundle; done gets the archive's
    // path once it is written, or nothing when the user cancelled or it
    // failed (after the alert).
    static void exportBundle(QWidget* window, Dialogs& dialogs, const std::string& bundle,
                             QObject* context,
                             const std::function<void(std::optional<QString>)>& done = {});
};
