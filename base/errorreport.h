#pragma once

#include "serial/commerror.h"

#include <QString>

// The program's one format for a caught error: "Fehler", the number with a
// blank (or a minus sign) in its sign position, the source, a line break and
// the description.
QString errorReportText(const CommError &error);

// Shows the report in a box titled "Fehler".
void ShowErrorReport(const CommError &error);
