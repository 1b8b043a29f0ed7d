#pragma once

class QApplication;

// The interface is German whatever the system's locale: Qt's own dialogs and
// buttons get Qt's German translations too ("Abbrechen", "Öffnen").
void installGermanUi(QApplication &app);
