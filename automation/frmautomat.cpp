#include "frmautomat.h"

frmAutomat::frmAutomat(Module1 &state, QWidget *parent)
    : ChildWindow(state, WindowIndex::kAutomat, parent)
{
    setWindowTitle(QStringLiteral("Automatisierung"));
    resize(480, 320);
}
