#include "frmempfang.h"

FrmEmpfang::FrmEmpfang(Module1 &state, QWidget *parent)
    : ChildWindow(state, WindowIndex::kEmpfang, parent)
{
    setWindowTitle(QStringLiteral("Empfangene Daten"));
    resize(480, 320);
}
