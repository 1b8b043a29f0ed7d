#include "frmeingabe.h"

FrmEingabe::FrmEingabe(Module1 &state, QWidget *parent)
    : ChildWindow(state, WindowIndex::kEingabe, parent)
{
    setWindowTitle(QStringLiteral("Eingabefenster"));
    resize(480, 320);
}
