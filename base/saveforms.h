#pragma once

#include "traffic/trafficexport.h"

#include <QString>
#include <QStringList>
#include <vector>

// The forms a save dialog offers for traffic: the filter the dialog shows
// ("Rohdaten (*.bin)") and the suffix of the name it suggests, one row per
// form of the export.
namespace SaveForms {

using Format = TrafficExport::Format;

// "Rohdaten (*.bin)"
QString filter(Format format);
// "bin"
QString suffix(Format format);
// The filters of the forms, in their order, as Dialogs::saveFileName takes them.
QStringList filters(const std::vector<Format> &formats);

} // namespace SaveForms
