#include "frmsendefenster.h"

FrmSendefenster::FrmSendefenster(Module1 &state, QWidget *parent)
    : ChildWindow(state, WindowIndex::kSendefenster, parent)
{
    setWindowTitle(QStringLiteral("Gesendete Daten"));
    resize(480, 320);
}
